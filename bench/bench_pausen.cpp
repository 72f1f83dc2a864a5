// Pacing of the serial link: sends bytes with one pause length each through the link to a
// pseudo-terminal and reads from the link's own trace how long each pause really lasted.
//
//   pause_ms=1 n=1000 short=0 median_over_us=1.4 p99_over_us=40 max_over_us=120 cpu_pct=12
//
// short: pauses shorter than asked (must be 0); *_over_us: how much longer than asked;
// cpu_pct: process CPU time over wall time while sending.
//
// With --datenverkehr the same series runs twice in one process, first with no listener but the
// trace ("fenster=zu"), then with the traffic window open and filling ("fenster=offen"); events
// are handled between the commands in both, as in the idle program.
#include "Messung.h"
#include "PtyPaar.h"

#include "dialogs/Dialogumgebung.h"
#include "dialogs/FormDatenverkehr.h"
#include "link/Befehl.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"
#include "link/Verkehrsaufzeichnung.h"

#include <QApplication>
#include <QListView>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

double quantil(std::vector<double> werte, double q) {
    std::sort(werte.begin(), werte.end());
    return werte[std::min(werte.size() - 1, size_t(q * double(werte.size() - 1) + 0.5))];
}

struct OhneHauptfenster : Dialogumgebung {
    SerielleSchnittstelle *port;
    explicit OhneHauptfenster(SerielleSchnittstelle *p) : port(p) {}
    SerielleSchnittstelle *serielleSchnittstelle() const override { return port; }
    void Meldung(const QString &, const QString &) override {}
    void DialogGeschlossen() override {}
};

// The series of pause lengths through the link; vorsatz begins each printed line, ereignisse
// has the events handled after each command.
int reihe(SerielleSchnittstelle &link, PtyPaar &pty, std::vector<double> &zeiten,
          const char *vorsatz, bool ereignisse) {
    struct Lauf {
        double ms;
        int n;
    };
    for (const Lauf lauf :
         {Lauf{0.1, 1000}, Lauf{1, 1000}, Lauf{20, 200}, Lauf{60, 60}, Lauf{500, 8}}) {
        Befehl befehl;
        for (int i = 0; i < lauf.n; ++i)
            sendePause(befehl, quint8(i), lauf.ms / 1000.0);
        sende(befehl, 0);
        zeiten.clear();
        const double cpu0 = cpuSekunden(), wand0 = MsTimer::Uhr();
        link.Sendevorgang(befehl);
        const double cpu = cpuSekunden() - cpu0, wand = MsTimer::Uhr() - wand0;
        pty.lesenBisRuhe(50);
        if (ereignisse)
            QCoreApplication::processEvents();

        std::vector<double> ueber;
        int kurz = 0;
        for (size_t i = 1; i < zeiten.size(); ++i) {
            const double dauer = zeiten[i] - zeiten[i - 1];
            if (dauer < lauf.ms / 1000.0)
                ++kurz;
            ueber.push_back((dauer - lauf.ms / 1000.0) * 1e6);
        }
        if (ueber.empty()) {
            std::fprintf(stderr, "keine Spur für %g ms\n", lauf.ms);
            return 1;
        }
        std::printf("%spause_ms=%g n=%zu short=%d median_over_us=%.1f p99_over_us=%.0f "
                    "max_over_us=%.0f cpu_pct=%.0f\n",
                    vorsatz, lauf.ms, ueber.size(), kurz, quantil(ueber, 0.5), quantil(ueber, 0.99),
                    *std::max_element(ueber.begin(), ueber.end()), 100.0 * cpu / wand);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const bool mitFenster = argc > 1 && QByteArray(argv[1]) == "--datenverkehr";
    if (mitFenster && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (mitFenster)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    PtyPaar pty;
    if (!pty.ok()) {
        std::fprintf(stderr, "kein Pseudo-Terminal\n");
        return 1;
    }
    SerielleSchnittstelle link;
    std::vector<double> zeiten;
    QObject::connect(&link, &SerielleSchnittstelle::byteGesendet,
                     [&](quint8, double t) { zeiten.push_back(t); });

    if (!mitFenster)
        return reihe(link, pty, zeiten, "", false);
    if (int fehler = reihe(link, pty, zeiten, "fenster=zu ", true))
        return fehler;
    Verkehrsaufzeichnung aufzeichnung;
    aufzeichnung.mithoeren(link);
    OhneHauptfenster umgebung(&link);
    FormDatenverkehr fenster(aufzeichnung, umgebung);
    fenster.show();
    QCoreApplication::processEvents();
    const int fehler = reihe(link, pty, zeiten, "fenster=offen ", true);
    std::printf("fenster=offen zeilen=%d\n", fenster.ListeDatenverkehr->model()->rowCount());
    // What the window's listening adds to each byte, the only part that lies in a pause: the
    // link's signal to the recording, which notes the byte (a command of 4096 bytes at a time).
    constexpr int Bytes = 1 << 20;
    double dauer = 0;
    for (int i = 0; i < Bytes; i += 4096) {
        const double beginn = MsTimer::Uhr();
        for (int j = 0; j < 4096; ++j)
            emit link.byteGesendet(quint8(j), beginn);
        dauer += MsTimer::Uhr() - beginn;
        aufzeichnung.befehlBeendet(Befehl(), SerielleSchnittstelle::Ausgang::Gesendet, 1);
    }
    std::printf("fenster=offen mithoeren_ns_pro_byte=%.0f\n", dauer / Bytes * 1e9);
    return fehler;
}
