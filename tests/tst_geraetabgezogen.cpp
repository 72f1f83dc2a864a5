// The controller's adapter pulled out in the middle of a command, many times over, with the
// real main window and dialogs: during a transfer, during a block start, while manual travel
// holds the port (idle, during a rapid travel, during the wait after a single step) and during
// a reference run's stop. The pseudo-terminal's master side is closed at a chosen byte, or
// after a chosen time where no byte is on its way. Each time: the command ends, the port ends
// closed, the operator gets one German message, the buttons come back, and once a new device
// is linked as COM1 a transfer goes out in full without restarting the program.
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/PCSteuerung.h"
#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/ManuelleFahrt.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

constexpr int Runden = 50;

QByteArray bytes(std::initializer_list<int> werte) {
    QByteArray b;
    for (int w : werte)
        b.append(char(w));
    return b;
}

// The transfer of the default program with the given number of blocks.
QByteArray Standarduebertragung(int saetze) {
    QByteArray b = bytes({3, 1, 10, saetze, 10});
    for (int i = 0; i < saetze; ++i)
        b += bytes({136, 19, 0, 5, 79, 1, 10, 1, 0, 1});
    return b;
}

// A program directory that stays, and in it the device COM1, which can be pulled out and
// replaced by a new one; the main window after its start-up.
struct Umgebung {
    PtyPaar ort{99}; // the program directory; its own device COM99 is never used
    std::unique_ptr<PtyPaar> geraet;
    Nachrichtenfaenger nachrichten;
    std::unique_ptr<PCSteuerung> fenster;
    std::unique_ptr<QSignalSpy> fehler;
    int saetze = 1;

    explicit Umgebung(int saetzeImProgramm = 1) : saetze(saetzeImProgramm) {
        neuesGeraet();
        StartAbgeschlossen = false;
        fenster = std::make_unique<PCSteuerung>();
        fenster->show();
        fenster->Laden();
        fehler = std::make_unique<QSignalSpy>(fenster->MSComm1, &SerielleSchnittstelle::fehler);
        NamesData *daten = fenster->namesData();
        while (daten->tabellenzeilen() < saetze)
            daten->setData(daten->index(daten->tabellenzeilen(), 0), QStringLiteral("5000"));
    }

    ~Umgebung() {
        if (fenster)
            fenster->MSComm1->setMithoerer({});
    }

    SerielleSchnittstelle &port() { return *fenster->MSComm1; }

    // A new adapter is plugged in and linked as COM1 (the old one, if any, is gone).
    void neuesGeraet() {
        geraet.reset();
        QFile::remove(ort.verzeichnis() + QStringLiteral("/COM1"));
        geraet = std::make_unique<PtyPaar>(1, ort);
    }

    // The adapter is pulled out when the n-th byte from now has been handed to it.
    void abziehenBeiByte(int n) {
        auto gezaehlt = std::make_shared<int>(0);
        port().setMithoerer([this, n, gezaehlt](quint8, double) {
            if (++*gezaehlt == n)
                geraet->masterSchliessen();
        });
    }

    void nichtMehrMithoeren() { port().setMithoerer({}); }

    // After a failure: exactly one message more, about the lost connection, and no second
    // report arrives late.
    bool einMeldungMehr(int vorher, QString *grund) {
        QTest::qWait(20);
        if (nachrichten.anzahl() != vorher + 1 || fehler->size() != vorher + 1) {
            *grund = QStringLiteral("%1 Meldungen, %2 Fehlersignale statt %3")
                         .arg(nachrichten.anzahl())
                         .arg(fehler->size())
                         .arg(vorher + 1);
            return false;
        }
        const Nachrichtenfaenger::Nachricht &n = nachrichten.nachrichten().last();
        if (n.titel != QStringLiteral("Zelkor_V2") ||
            !n.text.startsWith(QStringLiteral("Die Verbindung über COM1 ")) ||
            !n.text.contains(QStringLiteral("ist abgebrochen"))) {
            *grund = n.titel + QStringLiteral(": ") + n.text;
            return false;
        }
        return true;
    }

    // The main window and its command buttons as before any command.
    bool hauptfensterBereit() const {
        const PCSteuerung &w = *fenster;
        return w.isEnabled() && w.CommandProgrammieren->isEnabled() &&
               w.CommandSatzstart->isEnabled() && w.CommandProgrammstart->isEnabled() &&
               w.FrameSatzparameter->isEnabled() && w.Frame1->isEnabled() &&
               w.dbgridschritte->isEnabled() && !w.offenerDialog();
    }

    // A new device, and a transfer to it arrives in full with no message.
    bool uebertragungGehtWieder(QString *grund) {
        neuesGeraet();
        const int vorher = nachrichten.anzahl();
        QTest::mouseClick(fenster->CommandProgrammieren, Qt::LeftButton);
        const QByteArray erwartet = Standarduebertragung(saetze);
        const QByteArray angekommen = geraet->lesen(int(erwartet.size()));
        if (angekommen != erwartet || nachrichten.anzahl() != vorher || port().istOffen()) {
            *grund = QStringLiteral("nach dem neuen Gerät: %1 Bytes (%2 erwartet), %3 Meldungen")
                         .arg(angekommen.size())
                         .arg(erwartet.size())
                         .arg(nachrichten.anzahl() - vorher);
            return false;
        }
        return true;
    }

    ManuelleFahrt *manuellOeffnen() {
        fenster->Manuell->trigger();
        auto *d = qobject_cast<ManuelleFahrt *>(fenster->offenerDialog());
        // Manual mode is entered on opening.
        if (!d || geraet->lesen(1) != bytes({2}))
            return nullptr;
        return d;
    }

    FormReferenzfahrt *referenzfahrtOeffnen() {
        fenster->Referenzfahrt->trigger();
        return qobject_cast<FormReferenzfahrt *>(fenster->offenerDialog());
    }
};

#define RUNDE_PRUEFEN(bedingung, grund)                                                            \
    QVERIFY2(bedingung, qPrintable(QStringLiteral("Runde %1: %2").arg(runde).arg(grund)))

} // namespace

enum class Fall {
    Uebertragung,
    Satzstart,
    ManuellOhneBefehl,
    Eilgang,
    AntwortWarten,
    Referenzstopp
};
Q_DECLARE_METATYPE(Fall)

class TestGeraetAbgezogen : public QObject {
    Q_OBJECT
private slots:
    void abziehen_data();
    void abziehen();
};

void TestGeraetAbgezogen::abziehen_data() {
    QTest::addColumn<Fall>("fall");
    QTest::newRow("Übertragung") << Fall::Uebertragung;
    QTest::newRow("Satzstart") << Fall::Satzstart;
    QTest::newRow("manuelle Fahrt ohne Befehl") << Fall::ManuellOhneBefehl;
    QTest::newRow("Eilgang") << Fall::Eilgang;
    QTest::newRow("Warten auf die Antwort") << Fall::AntwortWarten;
    QTest::newRow("Stopp der Referenzfahrt") << Fall::Referenzstopp;
}

void TestGeraetAbgezogen::abziehen() {
    QFETCH(Fall, fall);
    constexpr int Saetze = 3;
    const int laenge = int(Standarduebertragung(Saetze).size());
    Umgebung u(fall == Fall::Uebertragung ? Saetze : 1);
    QString grund;
    for (int runde = 0; runde < Runden; ++runde) {
        QPointer<QWidget> dialog;
        QPushButton *schliessen = nullptr;
        // Buttons of the dialog that must be usable again afterwards.
        QList<QPushButton *> knoepfe;
        if (fall == Fall::ManuellOhneBefehl || fall == Fall::Eilgang ||
            fall == Fall::AntwortWarten) {
            ManuelleFahrt *d = u.manuellOeffnen();
            RUNDE_PRUEFEN(d, "Dialog nicht offen");
            dialog = d;
            schliessen = d->CommandZurück;
            knoepfe = {d->CommandEilLinks, d->CommandEilRechts, d->CommandLinksEinzel,
                       d->CommandRechtsEinzel};
        } else if (fall == Fall::Referenzstopp) {
            FormReferenzfahrt *d = u.referenzfahrtOeffnen();
            RUNDE_PRUEFEN(d, "Dialog nicht offen");
            dialog = d;
            schliessen = d->CommandOK;
            knoepfe = {d->CommandReferenzLinks, d->CommandReferenzRechts};
        }
        const int vorher = u.nachrichten.anzahl();
        switch (fall) {
        case Fall::Uebertragung:
            // Every byte of the transfer in turn, the first and the last included.
            u.abziehenBeiByte(1 + (runde * 11) % laenge);
            QTest::mouseClick(u.fenster->CommandProgrammieren, Qt::LeftButton);
            break;
        case Fall::Satzstart:
            u.abziehenBeiByte(1 + runde % 2); // after the 5 or after the block number
            QTest::mouseClick(u.fenster->CommandSatzstart, Qt::LeftButton);
            break;
        case Fall::ManuellOhneBefehl: {
            auto *d = static_cast<ManuelleFahrt *>(dialog.data());
            u.geraet->masterSchliessen();
            // Noticed while the dialog only waits for the operator.
            QTRY_VERIFY(!u.port().istOffen());
            RUNDE_PRUEFEN(u.einMeldungMehr(vorher, &grund), grund);
            // The motion buttons now send nothing and say nothing more.
            QTest::mousePress(d->CommandRechtsEinzel, Qt::LeftButton);
            QTest::mouseRelease(d->CommandRechtsEinzel, Qt::LeftButton);
            QTest::mouseClick(d->CommandEilLinks, Qt::LeftButton);
            break;
        }
        case Fall::Eilgang: {
            auto *d = static_cast<ManuelleFahrt *>(dialog.data());
            // A rapid travel is five bytes; each one in turn is the last to go.
            u.abziehenBeiByte(1 + runde % 5);
            QTest::mouseClick(runde % 2 ? d->CommandEilRechts : d->CommandEilLinks, Qt::LeftButton);
            u.nichtMehrMithoeren();
            QTRY_VERIFY(!u.port().istOffen());
            break;
        }
        case Fall::AntwortWarten: {
            auto *d = static_cast<ManuelleFahrt *>(dialog.data());
            QPushButton *knopf = runde % 2 ? d->CommandRechtsEinzel : d->CommandLinksEinzel;
            QTest::mousePress(knopf, Qt::LeftButton);
            RUNDE_PRUEFEN(u.geraet->lesen(1).size() == 1, "kein Einzelschritt gesendet");
            // The controller never answers: it goes while the release waits for its character.
            QTimer::singleShot(2 + runde % 30, u.fenster.get(),
                               [&u] { u.geraet->masterSchliessen(); });
            QTest::mouseRelease(knopf, Qt::LeftButton);
            break;
        }
        case Fall::Referenzstopp: {
            auto *d = static_cast<FormReferenzfahrt *>(dialog.data());
            QPushButton *knopf = runde % 2 ? d->CommandReferenzRechts : d->CommandReferenzLinks;
            QTest::mousePress(knopf, Qt::LeftButton);
            RUNDE_PRUEFEN(u.geraet->lesen(3).size() == 3, "kein Start gesendet");
            // The stop is five bytes, then half a second with the buttons disabled: the device
            // goes after one of the bytes, or during that half second.
            const int bei = 1 + runde % 6;
            if (bei <= 5)
                u.abziehenBeiByte(bei);
            else
                QTimer::singleShot(5 + runde % 200, u.fenster.get(),
                                   [&u] { u.geraet->masterSchliessen(); });
            QTest::mouseRelease(knopf, Qt::LeftButton);
            break;
        }
        }
        u.nichtMehrMithoeren();
        RUNDE_PRUEFEN(!u.port().istOffen() && !u.port().beschaeftigt(), "Port noch offen");
        if (fall != Fall::ManuellOhneBefehl)
            RUNDE_PRUEFEN(u.einMeldungMehr(vorher, &grund), grund);
        for (QPushButton *knopf : knoepfe)
            RUNDE_PRUEFEN(knopf->isEnabled(), knopf->objectName() + QStringLiteral(" gesperrt"));
        if (schliessen) {
            QTest::mouseClick(schliessen, Qt::LeftButton);
            QTRY_VERIFY(!dialog);
            RUNDE_PRUEFEN(u.nachrichten.anzahl() == vorher + 1, "weitere Meldung");
        }
        RUNDE_PRUEFEN(u.hauptfensterBereit(), "Knöpfe oder Felder gesperrt");
        RUNDE_PRUEFEN(u.uebertragungGehtWieder(&grund), grund);
    }
}

QTEST_MAIN(TestGeraetAbgezogen)
#include "tst_geraetabgezogen.moc"
