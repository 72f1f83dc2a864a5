// Memory of the virtual controller fed a flood: zelkor-sim runs as its own process on port 1 of
// a temporary folder, and MiB bytes of one kind are written into its link as fast as it takes
// them; its resident memory before, after and at its peak.
//
//   bench_simspeicher [MiB, default 8] [zelkor-sim, default the one built here]
//
//   sim_speicher art=zufall mib=8 rss_start_kib=... rss_end_kib=... rss_peak_kib=...
//        growth_kib=... wall_s=...
//
// Kinds: zufall (random bytes, seeded), unbekannt (one byte no command begins with, so one
// endless run of unknown bytes), start (the one-byte program start over and over). Goal: the
// peak stays within a few MiB of the start whatever the kind and however much is fed.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A field of /proc/<pid>/status in KiB ("VmRSS", "VmHWM").
qint64 statusKiB(qint64 pid, const QByteArray &feld) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &zeile : f.readAll().split('\n'))
        if (zeile.startsWith(feld + ':'))
            return zeile.mid(feld.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Processor ticks the process used so far.
qint64 ticks(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = f.readAll();
    const QList<QByteArray> teile = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return teile.value(11).toLongLong() + teile.value(12).toLongLong();
}

QByteArray flut(const QByteArray &art, qint64 laenge) {
    QByteArray daten(laenge, Qt::Uninitialized);
    QRandomGenerator zufall(12);
    for (qint64 i = 0; i < laenge; ++i)
        daten[i] = art == "zufall" ? char(zufall.bounded(256)) : art == "unbekannt" ? 7 : 4;
    return daten;
}

void messen(const QString &programm, const QByteArray &art, int mib) {
    QTemporaryDir dir;
    QProcess sim;
    sim.setStandardOutputFile(QProcess::nullDevice());
    sim.setStandardErrorFile(QProcess::nullDevice());
    sim.start(programm, {QStringLiteral("-d"), dir.path()});
    const QString link = dir.filePath(QStringLiteral("COM1"));
    for (int i = 0; i < 200 && !QFileInfo(link).isSymLink(); ++i)
        QThread::msleep(10);
    const int fd = ::open(QFile::encodeName(link).constData(), O_WRONLY | O_NOCTTY);
    if (fd < 0) {
        std::printf("sim_speicher art=%s: zelkor-sim did not start\n", art.constData());
        return;
    }
    QThread::msleep(300);
    const qint64 pid = sim.processId();
    const qint64 start = statusKiB(pid, "VmRSS");
    const QByteArray daten = flut(art, qint64(mib) << 20);
    QElapsedTimer uhr;
    uhr.start();
    for (qint64 ab = 0; ab < daten.size();) {
        const ssize_t n =
            ::write(fd, daten.constData() + ab, size_t(std::min<qint64>(4096, daten.size() - ab)));
        if (n <= 0)
            break;
        ab += n;
    }
    // Done once it has stopped working for a while.
    for (qint64 vorher = -2, jetzt = ticks(pid); jetzt != vorher;
         vorher = jetzt, jetzt = ticks(pid))
        QThread::msleep(500);
    const double sekunden = double(uhr.nsecsElapsed()) * 1e-9;
    const qint64 ende = statusKiB(pid, "VmRSS"), spitze = statusKiB(pid, "VmHWM");
    std::printf("sim_speicher art=%s mib=%d rss_start_kib=%lld rss_end_kib=%lld "
                "rss_peak_kib=%lld growth_kib=%lld wall_s=%.1f\n",
                art.constData(), mib, static_cast<long long>(start), static_cast<long long>(ende),
                static_cast<long long>(spitze), static_cast<long long>(spitze - start), sekunden);
    std::fflush(stdout);
    ::close(fd);
    sim.terminate();
    sim.waitForFinished(5000);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int mib = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
    const QString programm =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(ZELKOR_SIM_PROGRAMM);
    for (const QByteArray art : {"zufall", "unbekannt", "start"})
        messen(programm, art, mib);
    return 0;
}
