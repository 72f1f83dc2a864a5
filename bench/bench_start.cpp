// How long the program takes to start: from the process's start to the main window shown and
// taking input, less the two seconds the splash must stand. The benchmark starts itself again
// as the program would start, with the controller on a pseudo-terminal as port 1, and reads
// from the child when each step ended (the monotonic clock is the same in both processes).
//
//   startup_ms after_splash=45.1 exec_to_main=9.8 qapplication=12.0
//        splash_window_and_load=14.2 first_frame=2.8
#include "PtyPaar.h"

#include "app/PCSteuerung.h"
#include "app/Start.h"
#include "files/Programmverzeichnis.h"
#include "link/MsTimer.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

// The child: the program's own start, with each step's end on the clock.
int Kind(int argc, char **argv) {
    const double imMain = MsTimer::Uhr();
    QApplication app(argc, argv);
    const double qapp = MsTimer::Uhr();
    setProgrammverzeichnis(QString::fromLocal8Bit(argv[2]));
    std::unique_ptr<PCSteuerung> fenster(ProgrammStarten(2.0));
    const double geladen = MsTimer::Uhr();
    QTest::qWaitForWindowExposed(fenster.get());
    // Taking input: an event posted now is handled.
    bool bereit = false;
    QMetaObject::invokeMethod(
        fenster.get(), [&bereit] { bereit = true; }, Qt::QueuedConnection);
    while (!bereit)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("%.6f %.6f %.6f %.6f\n", imMain, qapp, geladen, MsTimer::Uhr());
    return fenster->isEnabled() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && qstrcmp(argv[1], "--kind") == 0)
        return Kind(argc, argv);
    QCoreApplication app(argc, argv);
    PtyPaar pty;
    for (int lauf = 0; lauf < 5; ++lauf) {
        QProcess kind;
        const double start = MsTimer::Uhr();
        kind.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--kind"), pty.verzeichnis()});
        kind.waitForFinished(30000);
        const QList<QByteArray> t = kind.readAllStandardOutput().trimmed().split(' ');
        if (kind.exitCode() != 0 || t.size() != 4) {
            std::fprintf(stderr, "Start fehlgeschlagen: %s\n", kind.readAllStandardError().data());
            return 1;
        }
        const double main = t[0].toDouble(), qapp = t[1].toDouble(), geladen = t[2].toDouble(),
                     bereit = t[3].toDouble();
        std::printf("startup_ms after_splash=%.1f exec_to_main=%.1f qapplication=%.1f "
                    "splash_window_and_load=%.1f first_frame=%.1f\n",
                    (bereit - start - 2.0) * 1000, (main - start) * 1000, (qapp - main) * 1000,
                    (geladen - qapp - 2.0) * 1000, (bereit - geladen) * 1000);
    }
    return 0;
}
