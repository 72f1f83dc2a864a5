// Memory of the traffic window while commands keep coming: 100 000 commands (every tenth a
// 20-block transfer, the others block and program starts and rapid travels) go into the
// recording with the window open, events handled after every hundred. Resident memory is read
// when the list first holds its 10 000 lines and at the end; it must not grow in between.
//
//   datenverkehr commands=100000 lines=10000 rss_start_kib=... rss_full_kib=... rss_end_kib=...
//                growth_after_full_kib=... seconds=...
#include "Dauerlauf.h"
#include "Testdaten.h"

#include "dialogs/Dialogumgebung.h"
#include "dialogs/FormDatenverkehr.h"
#include "link/MsTimer.h"
#include "link/Protokoll.h"
#include "link/Verkehrsaufzeichnung.h"

#include <QApplication>
#include <QCheckBox>
#include <QListView>

#include <cstdio>

namespace {

struct OhneHauptfenster : Dialogumgebung {
    SerielleSchnittstelle *serielleSchnittstelle() const override { return nullptr; }
    void Meldung(const QString &, const QString &) override {}
    void DialogGeschlossen() override {}
};

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int Befehle = 100000;
    const std::vector<Befehl> muster = {*Programmuebertragung({1, 10, 10}, Dauerlaufsaetze()),
                                        *Satzstart(3), Programmstart(),
                                        *Eilgang(Fahrtrichtung::Rechts, 19, 1000)};

    Verkehrsaufzeichnung aufzeichnung;
    OhneHauptfenster umgebung;
    FormDatenverkehr fenster(aufzeichnung, umgebung);
    fenster.CheckBytesZeigen->setChecked(true);
    fenster.show();
    QCoreApplication::processEvents();
    const qint64 rssStart = Dauerlauf::residentKiB();
    qint64 rssVoll = 0;
    const double beginn = MsTimer::Uhr();
    double zeit = beginn;
    for (int i = 0; i < Befehle; ++i) {
        const Befehl &befehl = muster[i % 10 == 0 ? 0 : 1 + i % 3];
        for (const Befehlsschritt &schritt : befehl) {
            if (schritt.art == Befehlsschritt::Art::Byte)
                aufzeichnung.byteGesendet(schritt.wert, zeit);
            zeit += schritt.sekunden;
        }
        aufzeichnung.befehlBeendet(befehl, SerielleSchnittstelle::Ausgang::Gesendet, 1);
        if (i % 100 == 99)
            QCoreApplication::processEvents();
        if (!rssVoll && aufzeichnung.erste() > 0)
            rssVoll = Dauerlauf::residentKiB();
    }
    QCoreApplication::processEvents();
    const qint64 rssEnde = Dauerlauf::residentKiB();
    std::printf("datenverkehr commands=%d lines=%d rss_start_kib=%lld rss_full_kib=%lld "
                "rss_end_kib=%lld growth_after_full_kib=%lld seconds=%.1f\n",
                Befehle, fenster.ListeDatenverkehr->model()->rowCount(),
                static_cast<long long>(rssStart), static_cast<long long>(rssVoll),
                static_cast<long long>(rssEnde), static_cast<long long>(rssEnde - rssVoll),
                MsTimer::Uhr() - beginn);
    return 0;
}
