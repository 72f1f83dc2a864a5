// Every message that refuses an operator's input in the main window sends nothing: the field
// checks while typing, the checks when a block is left in the grid, and the transfer's checks
// on blocks beyond the first, on program values that got past the field checks, and on a
// transfer asked for while another command plays. Each row checks the message and that not
// one byte was handed to the port or reached the pseudo-terminal.
//
// The transfer's checks on block 1 and the program values, manual travel and the reference run
// have such rows in tst_uebertragung (pruefungenSendenNichts), tst_manuellefahrt (eilgang) and
// tst_referenzfahrt (start).
#include "Mitschnitt.h"
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/PCSteuerung.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

struct Umgebung {
    PtyPaar pty;
    std::unique_ptr<PCSteuerung> fenster;
    std::unique_ptr<Mitschnitt> mitschnitt;

    Umgebung() {
        StartAbgeschlossen = false;
        fenster = std::make_unique<PCSteuerung>();
        fenster->show();
        fenster->Laden();
        mitschnitt = std::make_unique<Mitschnitt>(*fenster->MSComm1);
    }

    QLineEdit *feld(const QString &name) const { return fenster->findChild<QLineEdit *>(name); }

    void saetzeAnlegen(int anzahl) {
        NamesData *daten = fenster->namesData();
        while (daten->tabellenzeilen() < anzahl)
            daten->setData(daten->index(daten->tabellenzeilen(), 0), QStringLiteral("5000"));
    }

    // Nothing handed to the port, nothing on the line, the port closed, the commands usable.
    bool nichtsGesendet() {
        return mitschnitt->anzahl() == 0 && pty.lesen(0, 30).isEmpty() &&
               !fenster->MSComm1->istOffen() && fenster->CommandProgrammieren->isEnabled() &&
               fenster->CommandSatzstart->isEnabled();
    }
};

} // namespace

class TestVerweigerungen : public QObject {
    Q_OBJECT
private slots:
    void feldpruefungen_data();
    void feldpruefungen();
    void satzVerlassen_data();
    void satzVerlassen();
    void uebertragung_data();
    void uebertragung();
    void uebertragungWaehrendEinesAnderenBefehls();
};

void TestVerweigerungen::feldpruefungen_data() {
    QTest::addColumn<QString>("feld");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("zurueck");
    const struct {
        const char *feld;
        const char *zurueck;
    } felder[] = {{"TextProgrammdurchläufe", "1"}, {"TextProgrammpause", "10"},
                  {"TextBefehlspause", "10"},      {"TextStartfrequenz", "300"},
                  {"TextMaximalfrequenz", "4000"}, {"TextSatzdurchläufe", "1"},
                  {"TextSatzpause", "10"}};
    for (const auto &f : felder) {
        for (const char *text : {"12x", "x", "1e3", "- 5"}) {
            QTest::addRow("%s %s", f.feld, text)
                << QString::fromUtf8(f.feld) << QString::fromUtf8(text)
                << QString::fromUtf8(f.zurueck);
        }
    }
}

void TestVerweigerungen::feldpruefungen() {
    QFETCH(QString, feld);
    QFETCH(QString, text);
    QFETCH(QString, zurueck);
    Umgebung u;
    QLineEdit *eingabe = u.feld(feld);
    QVERIFY(eingabe);
    Nachrichtenfaenger nachrichten;
    eingabe->setText(text);
    QTRY_COMPARE(nachrichten.anzahl(), 1);
    QCOMPARE(nachrichten.nachrichten()[0].titel, QStringLiteral("Eingabefehler"));
    QCOMPARE(nachrichten.nachrichten()[0].text, QStringLiteral("Nur Ganzzahlen gültig !"));
    QCOMPARE(eingabe->text(), zurueck);
    QVERIFY(u.nichtsGesendet());
    QCOMPARE(nachrichten.anzahl(), 1);
}

void TestVerweigerungen::satzVerlassen_data() {
    QTest::addColumn<QString>("feld");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("Startfrequenz") << "TextStartfrequenz"
                                   << "Sie müssen eine Startfrequenz angeben";
    QTest::newRow("Maximalfrequenz") << "TextMaximalfrequenz"
                                     << "Sie müssen eine Maximalfrequenz angeben";
    QTest::newRow("Satzdurchläufe") << "TextSatzdurchläufe"
                                    << "Sie müssen die Satzdurchläufe angeben";
    QTest::newRow("Satzpause") << "TextSatzpause"
                               << "Sie müssen eine Satzpause angeben";
}

void TestVerweigerungen::satzVerlassen() {
    QFETCH(QString, feld);
    QFETCH(QString, meldung);
    Umgebung u;
    u.saetzeAnlegen(2);
    u.fenster->setAktuelleZeile(0);
    u.feld(feld)->clear();
    Nachrichtenfaenger nachrichten;
    u.fenster->setAktuelleZeile(1);
    QTRY_VERIFY(nachrichten.anzahl() >= 1);
    QCOMPARE(nachrichten.nachrichten()[0].titel, QStringLiteral("Programmfehler !"));
    QCOMPARE(nachrichten.nachrichten()[0].text, meldung);
    QVERIFY(u.nichtsGesendet());
}

void TestVerweigerungen::uebertragung_data() {
    QTest::addColumn<int>("saetze");
    QTest::addColumn<int>("satz");     // the block whose panel is changed; 0: none
    QTest::addColumn<QString>("feld"); // panel or program field
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ungeprueft"); // written past the field check
    QTest::addColumn<QString>("meldung");
    QTest::newRow("Satzpause in Satz 2")
        << 2 << 2 << "TextSatzpause"
        << "300" << false << "Höchstwert Satzpause (255) in Satz 2 überschritten !";
    QTest::newRow("Startfrequenz in Satz 3")
        << 3 << 3 << "TextStartfrequenz"
        << "50" << false << "Mindestwert Startfrequenz (100 Hz) in Satz 3 unterschritten !";
    QTest::newRow("Maximalfrequenz in Satz 20")
        << 20 << 20 << "TextMaximalfrequenz"
        << "12001" << false << "Höchstwert Maximalfrequenz (12 kHz) in Satz 20 überschritten !";
    QTest::newRow("Satzdurchläufe in Satz 7")
        << 7 << 7 << "TextSatzdurchläufe"
        << "0" << false << "Mindestwert Satzdurchläufe (1) in Satz 7 unterschritten !";
    QTest::newRow("Programmpause keine Zahl")
        << 1 << 0 << "TextProgrammpause"
        << "x" << true << "Programmpause ist keine ganze Zahl !";
    QTest::newRow("Befehlspause mit Exponent")
        << 1 << 0 << "TextBefehlspause"
        << "1e3" << true << "Befehlspause ist keine ganze Zahl !";
}

void TestVerweigerungen::uebertragung() {
    QFETCH(int, saetze);
    QFETCH(int, satz);
    QFETCH(QString, feld);
    QFETCH(QString, text);
    QFETCH(bool, ungeprueft);
    QFETCH(QString, meldung);
    Umgebung u;
    u.saetzeAnlegen(saetze);
    if (satz > 0)
        u.fenster->setAktuelleZeile(satz - 1);
    QLineEdit *eingabe = u.feld(feld);
    QVERIFY(eingabe);
    {
        QSignalBlocker ohnePruefung(ungeprueft ? eingabe : nullptr);
        eingabe->setText(text);
    }
    Nachrichtenfaenger nachrichten;
    QTest::mouseClick(u.fenster->CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(nachrichten.anzahl(), 1);
    QCOMPARE(nachrichten.nachrichten()[0].titel, QStringLiteral("Übertragung abgebrochen !"));
    QCOMPARE(nachrichten.nachrichten()[0].text, meldung);
    QVERIFY(u.nichtsGesendet());
    QVERIFY(u.fenster->FrameSatzparameter->isEnabled() && u.fenster->dbgridschritte->isEnabled());
}

void TestVerweigerungen::uebertragungWaehrendEinesAnderenBefehls() {
    // A transfer asked for while a block start still plays (its pause lets the click through)
    // is refused with a message; the line carries the block start alone.
    Umgebung u;
    bool geklickt = false;
    Nachrichtenfaenger nachrichten;
    u.fenster->MSComm1->setMithoerer([&](quint8, double) {
        if (!geklickt) {
            geklickt = true;
            u.fenster->CommandProgrammieren->click();
        }
    });
    QTest::mouseClick(u.fenster->CommandSatzstart, Qt::LeftButton);
    u.fenster->MSComm1->setMithoerer({});
    QVERIFY(geklickt);
    QCOMPARE(nachrichten.anzahl(), 1);
    QCOMPARE(nachrichten.nachrichten()[0].titel, QStringLiteral("Übertragung abgebrochen !"));
    QVERIFY(nachrichten.nachrichten()[0].text.startsWith(
        QStringLiteral("Es wird gerade ein anderer Befehl gesendet.")));
    QCOMPARE(u.pty.lesenBisRuhe(100), QByteArray("\x05\x01", 2));
    QVERIFY(u.fenster->CommandProgrammieren->isEnabled());
    QVERIFY(u.fenster->CommandSatzstart->isEnabled());
}

QTEST_MAIN(TestVerweigerungen)
#include "tst_verweigerungen.moc"
