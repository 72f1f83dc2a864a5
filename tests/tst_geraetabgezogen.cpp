// The adapter pulled out (the pty's master closed at a chosen byte or time) 50 times during
// each kind of command, with the real windows: the command ends, the port closes, one German
// message, the buttons come back, and a new device linked as COM1 gets a full transfer.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/ManuelleFahrt.h"
#include "link/SerielleSchnittstelle.h"

#include <QFile>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#define RUNDE_PRUEFEN(bedingung, grund)                                                            \
    QVERIFY2(bedingung, qPrintable(QStringLiteral("Runde %1: %2").arg(runde).arg(grund)))

class TestGeraetAbgezogen : public QObject {
    Q_OBJECT
private slots:
    void abziehen_data();
    void abziehen();
};

// Pulled during a transfer, a block start, manual travel without a command, a rapid travel,
// the wait for a single step's answer, a reference run's stop.
enum Fall { Uebertragung, Satzstartfall, OhneBefehl, Eilgangfall, AntwortWarten, Referenzstopp };

void TestGeraetAbgezogen::abziehen_data() {
    QTest::addColumn<int>("fall");
    for (int fall = Uebertragung; fall <= Referenzstopp; ++fall)
        QTest::addRow("Fall %d", fall) << fall;
}

void TestGeraetAbgezogen::abziehen() {
    QFETCH(int, fall);
    Fensterumgebung u;
    PtyPaar *geraet = &u.pty; // the device linked as COM1 now
    std::unique_ptr<PtyPaar> neues;
    PCSteuerung &w = u.w();
    SerielleSchnittstelle &port = *w.MSComm1;
    QSignalSpy fehler(&port, &SerielleSchnittstelle::fehler);
    const int saetze = fall == Uebertragung ? 3 : 1;
    u.saetzeAnlegen(saetze);
    QByteArray uebertragung = Bytes({3, 1, 10, saetze, 10});
    while (uebertragung.size() < 5 + 10 * saetze)
        uebertragung += Bytes({136, 19, 0, 5, 79, 1, 10, 1, 0, 1});
    // The adapter goes when the n-th byte from now has been handed to it, or after ms.
    QMetaObject::Connection beiByte;
    const auto abziehenBeiByte = [&](int n) {
        beiByte = QObject::connect(&port, &SerielleSchnittstelle::byteGesendet,
                                   [&geraet, n, gezaehlt = 0]() mutable {
                                       if (++gezaehlt == n)
                                           geraet->masterSchliessen();
                                   });
    };
    const auto abziehenNach = [&](int ms) {
        QTimer::singleShot(ms, &w, [&] { geraet->masterSchliessen(); });
    };
    // After a failure: exactly one message more, about the lost connection, and no second
    // report arrives late.
    const auto einMeldungMehr = [&](int vorher) {
        QTest::qWait(20);
        const QStringList m = u.meldungen();
        return m.size() == vorher + 1 && fehler.size() == vorher + 1 &&
               m.last().startsWith("Zelkor_V2: Die Verbindung über COM1 ") &&
               m.last().contains("ist abgebrochen");
    };
    for (int runde = 0; runde < 50; ++runde) {
        QPointer<QWidget> dialog;
        QPushButton *schliessen = nullptr;
        QList<QPushButton *> knoepfe; // usable again afterwards
        if (fall >= OhneBefehl && fall <= AntwortWarten) {
            auto *d = u.oeffnen<ManuelleFahrt>(w.Manuell); // enters manual mode
            RUNDE_PRUEFEN(d && geraet->lesen(1) == Bytes({2}), "Dialog nicht offen");
            dialog = d;
            schliessen = d->CommandZurück;
            knoepfe = {d->CommandEilLinks, d->CommandEilRechts, d->CommandLinksEinzel,
                       d->CommandRechtsEinzel};
        } else if (fall == Referenzstopp) {
            auto *d = u.oeffnen<FormReferenzfahrt>(w.Referenzfahrt);
            RUNDE_PRUEFEN(d, "Dialog nicht offen");
            dialog = d;
            schliessen = d->CommandOK;
            knoepfe = {d->CommandReferenzLinks, d->CommandReferenzRechts};
        }
        const int vorher = u.nachrichten.anzahl();
        QPushButton *knopf = knoepfe.value(runde % 2 + (fall == AntwortWarten ? 2 : 0));
        if (fall <= Satzstartfall || fall == Eilgangfall) {
            // Each byte of a transfer in turn (the first and the last included), the 5 or the
            // number of a block start, each of a rapid travel's five bytes.
            abziehenBeiByte(1 + (fall == Uebertragung ? runde * 11 % int(uebertragung.size())
                                                      : runde % (fall == Eilgangfall ? 5 : 2)));
            QTest::mouseClick(fall == Uebertragung    ? w.CommandProgrammieren
                              : fall == Satzstartfall ? w.CommandSatzstart
                                                      : knopf,
                              Qt::LeftButton);
            if (fall == Eilgangfall)
                QTRY_VERIFY(!port.istOffen());
        } else if (fall == OhneBefehl) {
            geraet->masterSchliessen();
            // Noticed while the dialog only waits for the operator.
            QTRY_VERIFY(!port.istOffen());
            RUNDE_PRUEFEN(einMeldungMehr(vorher), u.meldungen().join('\n'));
            // The motion buttons now send nothing and say nothing more.
            QTest::mousePress(knoepfe[3], Qt::LeftButton);
            QTest::mouseRelease(knoepfe[3], Qt::LeftButton);
            QTest::mouseClick(knoepfe[0], Qt::LeftButton);
        } else {
            QTest::mousePress(knopf, Qt::LeftButton);
            RUNDE_PRUEFEN(geraet->lesen(fall == Referenzstopp ? 3 : 1).size() ==
                              (fall == Referenzstopp ? 3 : 1),
                          "kein Einzelschritt oder Start gesendet");
            // The controller never answers: it goes while the release waits for its
            // character. The reference stop is five bytes, then half a second with the
            // buttons disabled: the device goes after one of the bytes, or during that time.
            if (fall == AntwortWarten)
                abziehenNach(2 + runde % 30);
            else if (runde % 6 < 5)
                abziehenBeiByte(1 + runde % 6);
            else
                abziehenNach(5 + runde % 200);
            QTest::mouseRelease(knopf, Qt::LeftButton);
        }
        QObject::disconnect(beiByte);
        RUNDE_PRUEFEN(!port.istOffen() && !port.beschaeftigt(), "Port noch offen");
        if (fall != OhneBefehl)
            RUNDE_PRUEFEN(einMeldungMehr(vorher), u.meldungen().join('\n'));
        for (QPushButton *k : knoepfe)
            RUNDE_PRUEFEN(k->isEnabled(), k->objectName() + " gesperrt");
        if (schliessen) {
            QTest::mouseClick(schliessen, Qt::LeftButton);
            QTRY_VERIFY(!dialog);
            RUNDE_PRUEFEN(u.nachrichten.anzahl() == vorher + 1, "weitere Meldung");
        }
        RUNDE_PRUEFEN(w.isEnabled() && w.CommandProgrammieren->isEnabled() &&
                          w.CommandSatzstart->isEnabled() && w.CommandProgrammstart->isEnabled() &&
                          w.FrameSatzparameter->isEnabled() && w.Frame1->isEnabled() &&
                          w.dbgridschritte->isEnabled() && !w.offenerDialog(),
                      "Knöpfe oder Felder gesperrt");
        // A new device, and a transfer to it arrives in full with no message.
        neues.reset();
        QFile::remove(u.pty.verzeichnis() + "/COM1");
        neues = std::make_unique<PtyPaar>(1, u.pty);
        geraet = neues.get();
        QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
        RUNDE_PRUEFEN(geraet->lesen(int(uebertragung.size())) == uebertragung &&
                          u.nachrichten.anzahl() == vorher + 1 && !port.istOffen(),
                      "neues Gerät: " + u.meldungen().join('\n'));
    }
}

QTEST_MAIN(TestGeraetAbgezogen)
#include "tst_geraetabgezogen.moc"
