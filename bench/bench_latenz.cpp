// How long the window waits for its events while a command sends: during 20-block transfers
// from the real main window, another thread posts an event to the window every 5 ms and the
// window notes how late each one is handled.
//
//   ui_latency_ms p50=0.2 p99=1.1 max=2.0 n=870
//
// Goal: p99 within one frame (16 ms).
#include "Dauerlauf.h"

#include "app/PCSteuerung.h"
#include "link/MsTimer.h"

#include <QApplication>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const QEvent::Type Klopfen = QEvent::Type(QEvent::registerEventType());

struct KlopfEreignis : QEvent {
    explicit KlopfEreignis(double zeit) : QEvent(Klopfen), gepostet(zeit) {}
    double gepostet;
};

// Notes, for every knock the window handles, how long after its posting that was.
struct Zuhoerer : QObject {
    std::vector<double> verzug;
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() != Klopfen)
            return false;
        verzug.push_back((MsTimer::Uhr() - static_cast<KlopfEreignis *>(e)->gepostet) * 1000.0);
        return true;
    }
};

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Dauerlauf lauf;
    if (!lauf.bereit()) {
        std::fprintf(stderr, "Aufbau fehlgeschlagen: %s\n", qPrintable(lauf.fehler()));
        return 1;
    }
    Zuhoerer zuhoerer;
    lauf.fenster()->installEventFilter(&zuhoerer);
    std::atomic<bool> ende{false};
    std::thread klopfer([&] {
        double naechstes = MsTimer::Uhr();
        while (!ende) {
            naechstes += 0.005;
            while (MsTimer::Uhr() < naechstes)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            QCoreApplication::postEvent(lauf.fenster(), new KlopfEreignis(MsTimer::Uhr()));
        }
    });
    int fehler = 0;
    for (int i = 0; i < 3; ++i)
        fehler += lauf.uebertragen() ? 0 : 1;
    ende = true;
    klopfer.join();
    QCoreApplication::processEvents();
    std::vector<double> v = zuhoerer.verzug;
    if (v.empty() || fehler) {
        std::fprintf(stderr, "%s\n", qPrintable(lauf.fehler()));
        return 1;
    }
    std::sort(v.begin(), v.end());
    auto q = [&v](double anteil) { return v[size_t(anteil * double(v.size() - 1) + 0.5)]; };
    std::printf("ui_latency_ms p50=%.2f p99=%.2f max=%.2f n=%zu\n", q(0.5), q(0.99), v.back(),
                v.size());
    return 0;
}
