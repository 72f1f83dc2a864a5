// Program transfer, program start and block start from the real main window to a
// pseudo-terminal: the bytes, their pauses, and every check that stops a transfer.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray Kopf(int saetze) {
    return Bytes({3, 1, 10, saetze, 10});
}

// A block as it travels: the steps' three bytes, then the other seven.
QByteArray Block(const QByteArray &schritte,
                 const QByteArray &rest = Bytes({5, 79, 1, 10, 1, 0, 1})) {
    return schritte + rest;
}

} // namespace

class TestUebertragung : public QObject {
    Q_OBJECT
private slots:
    void uebertragung_data();
    void uebertragung();
    void pruefungenSendenNichts_data();
    void pruefungenSendenNichts();
    void geleertesFeldWirdVomSatzErsetzt();
    void satzstartUndProgrammstart();
    void programmstartWaehrendDerUebertragung();
};

void TestUebertragung::uebertragung_data() {
    QTest::addColumn<int>("saetze");
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("maximal");
    QTest::addColumn<bool>("links0msRampe20"); // links, Satzpause 0, 20 ms ramp
    QTest::addColumn<QByteArray>("erwartet");

    QTest::newRow("Standardsatz") << 1 << "5000"
                                  << "300"
                                  << "4000" << false
                                  << Bytes({3, 1, 10, 1, 10, 136, 19, 0, 5, 79, 1, 10, 1, 0, 1});
    QTest::newRow("ohne Sätze") << 0 << ""
                                << "300"
                                << "4000" << false << Bytes({3, 1, 10, 0, 10});
    QByteArray zwanzig = Kopf(20);
    for (int i = 0; i < 20; ++i)
        zwanzig += Block(Bytes({112, 17, 1}));
    QTest::newRow("20 Sätze mit 70000") << 20 << "70000"
                                        << "300"
                                        << "4000" << false << zwanzig;
    QTest::newRow("125 und 175 Hz")
        << 1 << "5000"
        << "125"
        << "175" << false << Kopf(1) + Block(Bytes({136, 19, 0}), Bytes({2, 2, 1, 10, 1, 0, 1}));
    QTest::newRow("12000 Hz, links, Pause 0, 20 ms")
        << 1 << "5000"
        << "12000"
        << "12000" << true
        << Kopf(1) + Block(Bytes({136, 19, 0}), Bytes({239, 239, 1, 0, 0, 0, 4}));
}

void TestUebertragung::uebertragung() {
    QFETCH(int, saetze);
    QFETCH(QString, schritte);
    QFETCH(QString, start);
    QFETCH(QString, maximal);
    QFETCH(bool, links0msRampe20);
    QFETCH(QByteArray, erwartet);
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    w.setAktuellerZellText(schritte);
    u.saetzeAnlegen(saetze, schritte);
    w.FrequenzfelderSchreiben(start, maximal);
    if (links0msRampe20) {
        w.TextSatzpause->setText("0");
        w.OptionLinks->setChecked(true);
        w.OptionRampe20ms->setChecked(true);
    }
    QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
    const double ende = MsTimer::Uhr();
    QCOMPARE(u.pty.lesen(int(erwartet.size())), erwartet);
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), erwartet);
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

void TestUebertragung::pruefungenSendenNichts_data() {
    QTest::addColumn<QString>("feld"); // a field's name, "Schritte", "Sätze" or "Datei"
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("meldung");
    const auto zeile = [](const char *name, const char *feld, const char *text,
                          const char *meldung) {
        QTest::newRow(name) << QString(feld) << QString(text) << QString(meldung);
    };
    zeile("Programmdurchläufe 256", "TextProgrammdurchläufe", "256",
          "Höchstwert Programmdurchläufe (255) überschritten !");
    zeile("Programmpause 256", "TextProgrammpause", "256",
          "Höchstwert Programmpause (255) überschritten !");
    zeile("Befehlspause 1000", "TextBefehlspause", "1000",
          "Höchstwert Befehlspause (255) überschritten !");
    zeile("Programmdurchläufe leer", "TextProgrammdurchläufe", "",
          "Programmdurchläufe nicht angegeben !");
    zeile("Befehlspause negativ", "TextBefehlspause", "-1",
          "Mindestwert Befehlspause (0) unterschritten !");
    zeile("Startfrequenz 12001", "TextStartfrequenz", "12001",
          "Höchstwert Startfrequenz (12 kHz) in Satz 1 überschritten !");
    zeile("Startfrequenz 99", "TextStartfrequenz", "99",
          "Mindestwert Startfrequenz (100 Hz) in Satz 1 unterschritten !");
    zeile("Maximalfrequenz 12001", "TextMaximalfrequenz", "12001",
          "Höchstwert Maximalfrequenz (12 kHz) in Satz 1 überschritten !");
    zeile("Maximalfrequenz 50", "TextMaximalfrequenz", "50",
          "Mindestwert Maximalfrequenz (100 Hz) in Satz 1 unterschritten !");
    zeile("Start über Maximal", "TextMaximalfrequenz", "200",
          "Startfrequenz in Satz 1 ist größer als die Maximalfrequenz !");
    zeile("Satzdurchläufe 256", "TextSatzdurchläufe", "256",
          "Höchstwert Satzdurchläufe (255) in Satz 1 überschritten !");
    zeile("Satzdurchläufe 0", "TextSatzdurchläufe", "0",
          "Mindestwert Satzdurchläufe (1) in Satz 1 unterschritten !");
    zeile("Satzdurchläufe leer aus der Datei", "Datei", "",
          "Satzdurchläufe in Satz 1 nicht angegeben !");
    zeile("Satzpause 256", "TextSatzpause", "256",
          "Höchstwert Satzpause (255) in Satz 1 überschritten !");
    zeile("Satzpause negativ", "TextSatzpause", "-5",
          "Mindestwert Satzpause (0) in Satz 1 unterschritten !");
    zeile("Schritte 16777216", "Schritte", "16777216",
          "Schritte in Satz 1 müssen eine ganze Zahl von 0 bis 16777215 sein !");
    zeile("21 Sätze", "Sätze", "21", "Höchstwert Anzahl Sätze (20) überschritten !");
}

void TestUebertragung::pruefungenSendenNichts() {
    QFETCH(QString, feld);
    QFETCH(QString, text);
    QFETCH(QString, meldung);
    Fensterumgebung u;
    QTemporaryDir ablage;
    QStringList erwartet;
    if (feld == "Sätze") {
        u.saetzeAnlegen(text.toInt());
    } else if (feld == "Schritte") {
        u.w().setAktuellerZellText(text);
    } else if (feld == "Datei") {
        // Only a file brings an empty field into the block.
        const QString pfad = ablage.filePath("leer.orp");
        QVERIFY(DateiSchreiben(pfad, "\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n\"300\"\r\n"
                                     "\"4000\"\r\n\"" +
                                         text.toUtf8() +
                                         "\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n"));
        QVERIFY(u.dateidialog(u.w().Öffnen, pfad));
        // Storing the block before the transfer reports the empty field first.
        erwartet << "Programmfehler !: Sie müssen die Satzdurchläufe angeben";
    } else {
        auto *eingabe = u.w().findChild<QLineEdit *>(feld);
        QVERIFY(eingabe);
        eingabe->setText(text);
    }
    u.nachrichten.leeren();
    QTest::mouseClick(u.w().CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(u.meldungen(), erwartet << "Übertragung abgebrochen !: " + meldung);
    QVERIFY(u.w().CommandProgrammieren->isEnabled());
    QCOMPARE(u.mitschnitt->anzahl(), 0);
    QCOMPARE(u.nachlauf(50), QByteArray());
}

void TestUebertragung::geleertesFeldWirdVomSatzErsetzt() {
    // Leaving the block with an empty field reports it and keeps the block as it was; the
    // transfer then goes on with the block's stored value.
    Fensterumgebung u;
    u.w().TextStartfrequenz->setText(QString());
    QTest::mouseClick(u.w().CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(u.meldungen(), QStringList("Programmfehler !: Sie müssen eine Startfrequenz angeben"));
    QCOMPARE(u.pty.lesen(15), Bytes({3, 1, 10, 1, 10, 136, 19, 0, 5, 79, 1, 10, 1, 0, 1}));
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
    QCOMPARE(u.pty.lesen(2), Bytes({5, 20}));
    QVERIFY(w.CommandSatzstart->isEnabled());
    QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), Bytes({4}));
    QVERIFY(w.CommandProgrammstart->isEnabled());
    QVERIFY(!w.MSComm1->istOffen());
    QCOMPARE(u.mitschnitt->bytes(), Bytes({5, 1, 5, 20, 4}));
    QCOMPARE(u.meldungen(), QStringList());
}

void TestUebertragung::programmstartWaehrendDerUebertragung() {
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
}

QTEST_MAIN(TestUebertragung)
#include "tst_uebertragung.moc"
