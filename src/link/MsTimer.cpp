#include "link/MsTimer.h"

#include "link/Plattform.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cmath>
#include <vector>

namespace MsTimer {
namespace {

// Below this rest the event loop's timer is too coarse; the wait sleeps on the clock instead.
constexpr double Feinbereich = 0.002;
// The last stretch is polled: a wake-up from sleep may come this late.
constexpr double Pollbereich = 0.0001;
// Longest single precise sleep, so events are still handled about every millisecond.
constexpr double LaengsterSchlaf = 0.001;

std::vector<QEventLoop *> &laufendeSchleifen() {
    static std::vector<QEventLoop *> schleifen;
    return schleifen;
}

} // namespace

double Uhr() {
    return Plattform::Uhr();
}

double Zeitstempel() {
    return std::round(Uhr() * 10000.0) / 10000.0;
}

void Warten(double sekunden) {
    if (sekunden <= 0)
        return;
    WartenBis(Uhr() + sekunden);
}

bool WartenBis(double ziel, const std::function<bool()> &abbrechen) {
    Plattform::FeinesWecken();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (abbrechen && abbrechen())
            return false;
        const double rest = ziel - Uhr();
        if (rest <= 0)
            return true;
        if (rest > Feinbereich + 0.001) {
            // Sleep in a nested event loop: repaints and clicks are handled, no CPU is burnt.
            QEventLoop schleife;
            QTimer wecker;
            wecker.setTimerType(Qt::PreciseTimer);
            wecker.setSingleShot(true);
            QObject::connect(&wecker, &QTimer::timeout, &schleife, &QEventLoop::quit);
            wecker.start(int((rest - Feinbereich) * 1000.0));
            laufendeSchleifen().push_back(&schleife);
            schleife.exec();
            laufendeSchleifen().pop_back();
        } else if (rest > Pollbereich) {
            Plattform::SchlafenBis(std::min(ziel - Pollbereich, Uhr() + LaengsterSchlaf));
        }
        // Within the last 0.1 ms: poll the clock, handling events in between.
    }
}

void Aufwecken() {
    for (QEventLoop *schleife : laufendeSchleifen())
        schleife->quit();
}

} // namespace MsTimer
