// Program transfer, program start and block start from the real main window to a
// pseudo-terminal: the bytes and their pauses; and every refusal of a transfer, which sends
// nothing at all.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray Kopf(int saetze) {
    return Bytes({3, 1, 10, saetze, 10});
}
const QByteArray Standardsatz = Bytes({136, 19, 0, 5, 79, 1, 10, 1, 0, 1});

struct Uebertragungsfall {
    int saetze;
    QString schritte, start, maximal;
    bool links0msRampe20; // links, Satzpause 0, 20 ms ramp
    QByteArray erwartet;
};

// The panel or program field feld of block satz (of saetze) gets text, with its check passed
// by when ungeprueft. "Schritte" is the grid's cell; "Datei" loads a file whose block has the
// text as its runs.
struct Verweigerung {
    int saetze, satz;
    QString feld, text, meldung;
    bool ungeprueft;
};

} // namespace
Q_DECLARE_METATYPE(Uebertragungsfall)
Q_DECLARE_METATYPE(Verweigerung)

class TestUebertragung : public QObject {
    Q_OBJECT
private slots:
    void uebertragung_data();
    void uebertragung();
    void verweigert_data();
    void verweigert();
    void geleertesFeldWirdVomSatzErsetzt();
    void satzstartUndProgrammstart();
    void einBefehlZurZeit();
};

void TestUebertragung::uebertragung_data() {
    QTest::addColumn<Uebertragungsfall>("f");
    const auto zeile = [](const char *name, int saetze, const char *schritte, const char *start,
                          const char *maximal, bool links0msRampe20, const QByteArray &satz) {
        QByteArray bytes = Kopf(saetze);
        for (int i = 0; i < saetze; ++i)
            bytes += satz;
        QTest::newRow(name) << Uebertragungsfall{saetze,  schritte,        start,
                                                 maximal, links0msRampe20, bytes};
    };
    const QByteArray rest = Standardsatz.mid(3);
    zeile("Standardsatz", 1, "5000", "300", "4000", false, Standardsatz);
    zeile("ohne Sätze", 0, "", "300", "4000", false, {});
    zeile("20 Sätze mit 70000", 20, "70000", "300", "4000", false, Bytes({112, 17, 1}) + rest);
    zeile("125 und 175 Hz", 1, "5000", "125", "175", false,
          Standardsatz.left(3) + Bytes({2, 2, 1, 10, 1, 0, 1}));
    zeile("12000 Hz, links, Pause 0, 20 ms", 1, "5000", "12000", "12000", true,
          Standardsatz.left(3) + Bytes({239, 239, 1, 0, 0, 0, 4}));
}

void TestUebertragung::uebertragung() {
    QFETCH(Uebertragungsfall, f);
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    w.setAktuellerZellText(f.schritte);
    u.saetzeAnlegen(f.saetze, f.schritte);
    w.FrequenzfelderSchreiben(f.start, f.maximal);
    if (f.links0msRampe20) {
        w.TextSatzpause->setText("0");
        w.OptionLinks->setChecked(true);
        w.OptionRampe20ms->setChecked(true);
    }
    QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
    const double ende = MsTimer::Uhr();
    QCOMPARE(u.pty.lesen(int(f.erwartet.size())), f.erwartet);
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), f.erwartet);
    QVERIFY(w.CommandProgrammieren->isEnabled());
    QVERIFY(!w.MSComm1->istOffen());
    QCOMPARE(u.meldungen(), QStringList());

    // 1 ms after each header byte, 20 ms after its last; 1 ms after each block byte and a
    // further 60 ms after a block's last one, before the next block or the port's closing.
    const Mitschnitt &m = *u.mitschnitt;
    const auto mindestens = [](int i) { return i == 4 ? 0.02 : (i - 4) % 10 == 0 ? 0.061 : 0.001; };
    for (int i = 0; i + 1 < m.anzahl(); ++i)
        QVERIFY2(m.abstand(i) >= mindestens(i),
                 qPrintable(QString("nach Byte %1: %2 s").arg(i).arg(m.abstand(i))));
    QVERIFY(ende - m.zeit(m.anzahl() - 1) >= mindestens(m.anzahl() - 1));
}

void TestUebertragung::verweigert_data() {
    QTest::addColumn<Verweigerung>("v");
    const auto zeile = [](int saetze, int satz, const char *feld, const char *text,
                          const char *meldung, bool ungeprueft = false) {
        QTest::addRow("%s %s in Satz %d von %d", feld, text, satz, saetze)
            << Verweigerung{saetze, satz, feld, text, meldung, ungeprueft};
    };
    zeile(1, 1, "Programmdurchläufe", "256", "Höchstwert Programmdurchläufe (255) überschritten !");
    zeile(1, 1, "Programmpause", "256", "Höchstwert Programmpause (255) überschritten !");
    zeile(1, 1, "Programmpause", "x", "Programmpause ist keine ganze Zahl !", true);
    zeile(1, 1, "Befehlspause", "-1", "Mindestwert Befehlspause (0) unterschritten !");
    zeile(1, 1, "Befehlspause", "1e3", "Befehlspause ist keine ganze Zahl !", true);
    zeile(1, 1, "Startfrequenz", "12001",
          "Höchstwert Startfrequenz (12 kHz) in Satz 1 überschritten !");
    zeile(3, 3, "Startfrequenz", "50",
          "Mindestwert Startfrequenz (100 Hz) in Satz 3 unterschritten !");
    zeile(20, 20, "Maximalfrequenz", "12001",
          "Höchstwert Maximalfrequenz (12 kHz) in Satz 20 überschritten !");
    zeile(1, 1, "Maximalfrequenz", "200",
          "Startfrequenz in Satz 1 ist größer als die Maximalfrequenz !");
    zeile(7, 7, "Satzdurchläufe", "0", "Mindestwert Satzdurchläufe (1) in Satz 7 unterschritten !");
    zeile(2, 2, "Satzpause", "300", "Höchstwert Satzpause (255) in Satz 2 überschritten !");
    zeile(1, 1, "Schritte", "16777216",
          "Schritte in Satz 1 müssen eine ganze Zahl von 0 bis 16777215 sein !");
    zeile(21, 1, "", "", "Höchstwert Anzahl Sätze (20) überschritten !");
    zeile(1, 1, "Datei", "", "Satzdurchläufe in Satz 1 nicht angegeben !");
}

void TestUebertragung::verweigert() {
    QFETCH(Verweigerung, v);
    Fensterumgebung u;
    QTemporaryDir ablage;
    QStringList erwartet;
    u.saetzeAnlegen(v.saetze);
    u.w().setAktuelleZeile(v.satz - 1);
    if (v.feld == "Schritte") {
        u.w().setAktuellerZellText(v.text);
    } else if (v.feld == "Datei") {
        // Only a file brings an empty field into the block.
        const QString pfad = ablage.filePath("leer.orp");
        QVERIFY(DateiSchreiben(pfad, "\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n\"300\"\r\n"
                                     "\"4000\"\r\n\"\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n"));
        QVERIFY(u.dateidialog(u.w().Öffnen, pfad));
        // Storing the block before the transfer reports the empty field first.
        erwartet << "Programmfehler !: Sie müssen die Satzdurchläufe angeben";
    } else if (!v.feld.isEmpty()) {
        auto *eingabe = u.w().findChild<QLineEdit *>("Text" + v.feld);
        QVERIFY(eingabe);
        QSignalBlocker ohnePruefung(v.ungeprueft ? eingabe : nullptr);
        eingabe->setText(v.text);
    }
    u.nachrichten.leeren();
    QTest::mouseClick(u.w().CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(u.meldungen(), erwartet << "Übertragung abgebrochen !: " + v.meldung);
    QVERIFY(u.nichtsGesendet());
    QVERIFY(u.w().FrameSatzparameter->isEnabled() && u.w().dbgridschritte->isEnabled());
}

void TestUebertragung::geleertesFeldWirdVomSatzErsetzt() {
    // Leaving the block with an empty field reports it and keeps the block as it was; the
    // transfer then goes on with the block's stored value.
    Fensterumgebung u;
    u.w().TextStartfrequenz->setText(QString());
    QTest::mouseClick(u.w().CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(u.meldungen(), QStringList("Programmfehler !: Sie müssen eine Startfrequenz angeben"));
    QCOMPARE(u.pty.lesen(15), Kopf(1) + Standardsatz);
    QCOMPARE(u.w().TextStartfrequenz->text(), QString("300"));
}

void TestUebertragung::satzstartUndProgrammstart() {
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(2), Bytes({5, 1}));
    QVERIFY(u.mitschnitt->abstand(0) >= 0.001);
    u.saetzeAnlegen(20);
    w.setAktuelleZeile(19);
    QCOMPARE(w.CommandSatzstart->text(), QString("Satz Nr. 20 starten"));
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(3), Bytes({5, 20, 4}));
    QVERIFY(w.CommandSatzstart->isEnabled() && w.CommandProgrammstart->isEnabled());
    QVERIFY(!w.MSComm1->istOffen());
    QCOMPARE(u.mitschnitt->bytes(), Bytes({5, 1, 5, 20, 4}));
    QCOMPARE(u.meldungen(), QStringList());
}

void TestUebertragung::einBefehlZurZeit() {
    // A click on the program start while a transfer plays sends nothing.
    Fensterumgebung u;
    u.saetzeAnlegen(3);
    bool geklickt = false;
    QTimer::singleShot(40, u.fenster.get(), [&] {
        geklickt = true;
        QTest::mouseClick(u.w().CommandProgrammstart, Qt::LeftButton);
    });
    QTest::mouseClick(u.w().CommandProgrammieren, Qt::LeftButton);
    QVERIFY(geklickt);
    QCOMPARE(u.pty.lesen(35).left(5), Kopf(3));
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(u.mitschnitt->anzahl(), 35);

    // A transfer asked for while a block start still plays (its pause lets the click through)
    // is refused with a message; the line carries the block start alone.
    geklickt = false;
    u.w().setAktuelleZeile(0);
    u.w().MSComm1->setMithoerer([&](quint8, double) {
        if (!geklickt) {
            geklickt = true;
            u.w().CommandProgrammieren->click();
        }
    });
    QTest::mouseClick(u.w().CommandSatzstart, Qt::LeftButton);
    u.w().MSComm1->setMithoerer({});
    QVERIFY(geklickt);
    QCOMPARE(u.meldungen().size(), 1);
    QVERIFY(u.meldungen()[0].startsWith(
        "Übertragung abgebrochen !: Es wird gerade ein anderer Befehl gesendet."));
    QCOMPARE(u.pty.lesenBisRuhe(100), Bytes({5, 1}));
    QVERIFY(u.w().CommandProgrammieren->isEnabled() && u.w().CommandSatzstart->isEnabled());
}

QTEST_MAIN(TestUebertragung)
#include "tst_uebertragung.moc"
