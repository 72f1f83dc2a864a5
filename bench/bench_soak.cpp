// Soak: the same 20-block program transferred again and again from the real main window to a
// pseudo-terminal and decoded there as the controller would, every decoded program compared
// with the one sent; resident memory and open file descriptors at the start and the end.
//
//   bench_soak [transfers, default 1000]
//
//   soak transfers=1000 identical=1000 rss_start_kib=... rss_after_first_kib=...
//        rss_end_kib=... growth_kib=... fds_start=... fds_end=...
//
// growth_kib counts from after the first transfer (which loads what a transfer needs once);
// goal: under 1024, and fds_end equal to fds_start. A 20-block transfer takes about 1.45 s, so
// the default run lasts about 25 minutes. CTest runs 20 transfers (soak_kurz): the exit code is
// 1 when a decoded program differed or a transfer left a file descriptor open.
#include "Dauerlauf.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int anzahl = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;

    const qint64 rssStart = Dauerlauf::residentKiB();
    const int fdsStart = Dauerlauf::offeneDeskriptoren();
    const QStringList deskriptorenStart = Dauerlauf::deskriptoren();
    int gleich = 0;
    qint64 rssNachErster = 0;
    int fdsNachErster = 0, fdsNachLetzter = 0;
    {
        Dauerlauf lauf;
        if (!lauf.bereit()) {
            std::fprintf(stderr, "Aufbau fehlgeschlagen: %s\n", qPrintable(lauf.fehler()));
            return 1;
        }
        for (int i = 0; i < anzahl; ++i) {
            if (lauf.uebertragen())
                ++gleich;
            else
                std::fprintf(stderr, "%s\n", qPrintable(lauf.fehler()));
            if (i == 0) {
                rssNachErster = Dauerlauf::residentKiB();
                fdsNachErster = Dauerlauf::offeneDeskriptoren();
            }
            if ((i + 1) % 100 == 0) {
                std::printf("progress transfers=%d identical=%d rss_kib=%lld fds=%d\n", i + 1,
                            gleich, static_cast<long long>(Dauerlauf::residentKiB()),
                            Dauerlauf::offeneDeskriptoren());
                std::fflush(stdout);
            }
        }
        fdsNachLetzter = Dauerlauf::offeneDeskriptoren();
        std::printf("inside fds_after_first=%d fds_after_last=%d\n", fdsNachErster, fdsNachLetzter);
    }
    const qint64 rssEnde = Dauerlauf::residentKiB();
    const int fdsEnde = Dauerlauf::offeneDeskriptoren();
    std::printf("soak transfers=%d identical=%d rss_start_kib=%lld rss_after_first_kib=%lld "
                "rss_end_kib=%lld growth_kib=%lld fds_start=%d fds_end=%d\n",
                anzahl, gleich, static_cast<long long>(rssStart),
                static_cast<long long>(rssNachErster), static_cast<long long>(rssEnde),
                static_cast<long long>(rssEnde - rssNachErster), fdsStart, fdsEnde);
    // What is open now that was not at the start: things Qt opens once and keeps.
    for (const QString &d : Dauerlauf::deskriptoren())
        if (!deskriptorenStart.contains(d))
            std::printf("fd_new %s\n", qPrintable(d));
    return gleich == anzahl && fdsNachLetzter == fdsNachErster ? 0 : 1;
}
