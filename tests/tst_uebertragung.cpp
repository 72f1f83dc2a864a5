// Program transfer, program start and block start from the real main window to a
// pseudo-terminal: the bytes, their pauses, and every check that stops a transfer.
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/PCSteuerung.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace {

QByteArray bytes(std::initializer_list<int> werte) {
    QByteArray a;
    for (int w : werte)
        a.append(char(w));
    return a;
}

struct Aufbau {
    PtyPaar pty;
    std::unique_ptr<PCSteuerung> fenster;
    std::vector<std::pair<quint8, double>> spur;

    Aufbau() {
        StartAbgeschlossen = false;
        fenster = std::make_unique<PCSteuerung>();
        fenster->show();
        fenster->Laden();
        fenster->MSComm1->setMithoerer([this](quint8 b, double t) { spur.emplace_back(b, t); });
    }
    PCSteuerung &w() { return *fenster; }

    // Adds blocks through the grid's blank row, each with the default panel values.
    void saetzeAnlegen(int anzahl, const QString &schritte = QStringLiteral("5000")) {
        NamesData *daten = w().namesData();
        while (daten->tabellenzeilen() < anzahl)
            daten->setData(daten->index(daten->tabellenzeilen(), 0), schritte);
    }

    // Pause after byte i of the trace (to the next byte).
    double pauseNach(size_t i) const { return spur[i + 1].second - spur[i].second; }
};

} // namespace

class TestUebertragung : public QObject {
    Q_OBJECT
private slots:
    void standardsatz();
    void ohneSaetze();
    void zwanzigSaetze();
    void frequenzenWerdenGerundet();
    void grenzfrequenzenGehenDurch();
    void pruefungenSendenNichts_data();
    void pruefungenSendenNichts();
    void geleertesFeldWirdVomSatzErsetzt();
    void leereSatzdurchlaeufeAusDerDatei();
    void satzstart();
    void programmstart();
    void startWaehrendDerUebertragungWirdIgnoriert();
    void portFehltBeimSenden();
};

void TestUebertragung::standardsatz() {
    Aufbau a;
    const double anfang = MsTimer::Uhr();
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    const double ende = MsTimer::Uhr();
    const QByteArray erwartet = bytes({3, 1, 10, 1, 10, 136, 19, 0, 5, 79, 1, 10, 1, 0, 1});
    QCOMPARE(a.pty.lesen(erwartet.size()), erwartet);
    QVERIFY(a.w().CommandProgrammieren->isEnabled());
    QCOMPARE(a.spur.size(), size_t(15));
    // Header: 1 ms after each byte, 20 ms after the command pause; 1 ms after each block byte.
    for (size_t i = 0; i < 4; ++i)
        QVERIFY(a.pauseNach(i) >= 0.001);
    QVERIFY(a.pauseNach(4) >= 0.02);
    for (size_t i = 5; i < 14; ++i)
        QVERIFY(a.pauseNach(i) >= 0.001);
    // After the last block byte 1 ms and a further 60 ms before the port is closed.
    QVERIFY(ende - a.spur.back().second >= 0.061);
    QVERIFY(ende - anfang >= 0.02 + 0.004 + 0.009 + 0.061);
    QCOMPARE(a.w().ProgrammSettings.AnzahlSätze(), qint16(1));
    QVERIFY(!a.w().MSComm1->istOffen());
}

void TestUebertragung::ohneSaetze() {
    Aufbau a;
    a.w().setAktuellerZellText(QString());
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(a.pty.lesenBisRuhe(), bytes({3, 1, 10, 0, 10}));
    QCOMPARE(a.w().ProgrammSettings.AnzahlSätze(), qint16(0));
}

void TestUebertragung::zwanzigSaetze() {
    Aufbau a;
    a.saetzeAnlegen(20, QStringLiteral("70000"));
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    const QByteArray gesendet = a.pty.lesen(205);
    QCOMPARE(gesendet.size(), 205);
    QCOMPARE(gesendet.left(5), bytes({3, 1, 10, 20, 10}));
    for (int i = 1; i < 20; ++i)
        QCOMPARE(gesendet.mid(5 + 10 * i, 10), bytes({112, 17, 1, 5, 79, 1, 10, 1, 0, 1}));
    // Every block ends with 1 ms and 60 ms before the next one begins.
    for (size_t blockEnde = 14; blockEnde + 1 < a.spur.size(); blockEnde += 10)
        QVERIFY(a.pauseNach(blockEnde) >= 0.061);
    QCOMPARE(a.w().aktuelleZeile(), 19);
    QCOMPARE(a.w().ProgrammSettings.AnzahlSätze(), qint16(20));
}

void TestUebertragung::frequenzenWerdenGerundet() {
    Aufbau a;
    a.w().TextStartfrequenz->setText(QStringLiteral("125"));
    a.w().TextMaximalfrequenz->setText(QStringLiteral("175"));
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    const QByteArray gesendet = a.pty.lesen(15);
    QCOMPARE(gesendet.mid(8, 2), bytes({2, 2}));
    QCOMPARE(a.w().SatzListe[0].Startfrequenz(), 125);
}

void TestUebertragung::grenzfrequenzenGehenDurch() {
    Aufbau a;
    a.w().TextMaximalfrequenz->setText(QStringLiteral("12000"));
    a.w().TextStartfrequenz->setText(QStringLiteral("12000"));
    a.w().TextSatzpause->setText(QStringLiteral("0"));
    a.w().OptionLinks->setChecked(true);
    a.w().OptionRampe20ms->setChecked(true);
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(a.pty.lesen(15).mid(5), bytes({136, 19, 0, 239, 239, 1, 0, 0, 0, 4}));
}

void TestUebertragung::pruefungenSendenNichts_data() {
    QTest::addColumn<QString>("feld");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("meldung");
    auto zeile = [](const char *name, const char *feld, const char *text, const char *meldung) {
        QTest::newRow(name) << QString::fromUtf8(feld) << QString::fromUtf8(text)
                            << QString::fromUtf8(meldung);
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
    zeile("Programmpause elf Ziffern", "TextProgrammpause", "12345678901",
          "Höchstwert Programmpause (255) überschritten !");
    zeile("B2", "TextStartfrequenz", "12001",
          "Höchstwert Startfrequenz (12 kHz) in Satz 1 überschritten !");
    zeile("B3", "TextStartfrequenz", "99",
          "Mindestwert Startfrequenz (100 Hz) in Satz 1 unterschritten !");
    zeile("B5", "TextMaximalfrequenz", "12001",
          "Höchstwert Maximalfrequenz (12 kHz) in Satz 1 überschritten !");
    zeile("B6", "TextMaximalfrequenz", "50",
          "Mindestwert Maximalfrequenz (100 Hz) in Satz 1 unterschritten !");
    zeile("B7", "TextMaximalfrequenz", "200",
          "Startfrequenz in Satz 1 ist größer als die Maximalfrequenz !");
    zeile("B9", "TextSatzdurchläufe", "256",
          "Höchstwert Satzdurchläufe (255) in Satz 1 überschritten !");
    zeile("B10", "TextSatzdurchläufe", "0",
          "Mindestwert Satzdurchläufe (1) in Satz 1 unterschritten !");
    zeile("B12", "TextSatzpause", "256", "Höchstwert Satzpause (255) in Satz 1 überschritten !");
    zeile("Satzpause negativ", "TextSatzpause", "-5",
          "Mindestwert Satzpause (0) in Satz 1 unterschritten !");
    zeile("Schritte zu groß", "Schritte", "16777216",
          "Schritte in Satz 1 müssen eine ganze Zahl von 0 bis 16777215 sein !");
    zeile("Schritte negativ", "Schritte", "-1",
          "Schritte in Satz 1 müssen eine ganze Zahl von 0 bis 16777215 sein !");
    zeile("mehr als 20 Sätze", "Sätze", "21", "Höchstwert Anzahl Sätze (20) überschritten !");
}

void TestUebertragung::pruefungenSendenNichts() {
    QFETCH(QString, feld);
    QFETCH(QString, text);
    QFETCH(QString, meldung);
    Aufbau a;
    if (feld == QStringLiteral("Sätze")) {
        a.saetzeAnlegen(text.toInt());
    } else if (feld == QStringLiteral("Schritte")) {
        a.w().setAktuellerZellText(text);
    } else {
        auto *eingabe = a.w().findChild<QLineEdit *>(feld);
        QVERIFY(eingabe);
        eingabe->setText(text);
    }
    Nachrichtenfaenger nachrichten;
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(nachrichten.anzahl(), 1);
    QCOMPARE(nachrichten.nachrichten().last().titel, QStringLiteral("Übertragung abgebrochen !"));
    QCOMPARE(nachrichten.nachrichten().last().text, meldung);
    QVERIFY(a.w().CommandProgrammieren->isEnabled());
    QVERIFY(a.spur.empty());
    QVERIFY(a.pty.lesen(0, 50).isEmpty());
}

void TestUebertragung::geleertesFeldWirdVomSatzErsetzt() {
    // Leaving the block with an empty field reports it and keeps the block as it was; the
    // transfer then goes on with the block's stored value.
    Aufbau a;
    a.w().TextStartfrequenz->setText(QString());
    Nachrichtenfaenger nachrichten;
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(nachrichten.anzahl(), 1);
    QCOMPARE(nachrichten.nachrichten().first().titel, QStringLiteral("Programmfehler !"));
    QCOMPARE(nachrichten.letzterText(), QStringLiteral("Sie müssen eine Startfrequenz angeben"));
    QCOMPARE(a.pty.lesen(15), bytes({3, 1, 10, 1, 10, 136, 19, 0, 5, 79, 1, 10, 1, 0, 1}));
    QCOMPARE(a.w().TextStartfrequenz->text(), QStringLiteral("300"));
}

void TestUebertragung::leereSatzdurchlaeufeAusDerDatei() {
    Aufbau a;
    QTemporaryDir ablage;
    const QString pfad = ablage.filePath(QStringLiteral("leer.orp"));
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.write("\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n\"300\"\r\n\"4000\"\r\n"
                "\"\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n");
    datei.close();
    {
        Dateidialogantwort antwort(pfad);
        a.w().Öffnen->trigger();
        QVERIFY(antwort.beantwortet());
    }
    QCOMPARE(a.w().TextSatzdurchläufe->text(), QString());
    Nachrichtenfaenger nachrichten;
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    QVERIFY(nachrichten.anzahl() >= 1);
    QCOMPARE(nachrichten.nachrichten().last().titel, QStringLiteral("Übertragung abgebrochen !"));
    QCOMPARE(nachrichten.letzterText(),
             QStringLiteral("Satzdurchläufe in Satz 1 nicht angegeben !"));
    QVERIFY(a.pty.lesen(0, 50).isEmpty());
    QVERIFY(a.w().CommandProgrammieren->isEnabled());
}

void TestUebertragung::satzstart() {
    Aufbau a;
    QTest::mouseClick(a.w().CommandSatzstart, Qt::LeftButton);
    QCOMPARE(a.pty.lesen(2), bytes({5, 1}));
    QVERIFY(a.pauseNach(0) >= 0.001);
    a.saetzeAnlegen(20);
    a.w().setAktuelleZeile(19);
    QCOMPARE(a.w().CommandSatzstart->text(), QStringLiteral("Satz Nr. 20 starten"));
    QTest::mouseClick(a.w().CommandSatzstart, Qt::LeftButton);
    QCOMPARE(a.pty.lesen(2), bytes({5, 20}));
    QVERIFY(a.w().CommandSatzstart->isEnabled());
    QCOMPARE(a.w().CommandSatzstart->text(), QStringLiteral("Satz Nr. 20 starten"));
}

void TestUebertragung::programmstart() {
    Aufbau a;
    for (int i = 0; i < 10; ++i) {
        QTest::mouseClick(a.w().CommandProgrammstart, Qt::LeftButton);
        QCOMPARE(a.pty.lesen(1), bytes({4}));
        QVERIFY(!a.w().MSComm1->istOffen());
    }
}

void TestUebertragung::startWaehrendDerUebertragungWirdIgnoriert() {
    Aufbau a;
    a.saetzeAnlegen(3);
    bool geklickt = false;
    QTimer::singleShot(40, [&] {
        geklickt = true;
        QTest::mouseClick(a.w().CommandProgrammstart, Qt::LeftButton);
    });
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    QVERIFY(geklickt);
    const QByteArray gesendet = a.pty.lesenBisRuhe();
    QCOMPARE(gesendet.size(), 35);
    QCOMPARE(gesendet.left(5), bytes({3, 1, 10, 3, 10}));
}

void TestUebertragung::portFehltBeimSenden() {
    Aufbau a;
    a.w().MSComm1->setPortnummer(42);
    Nachrichtenfaenger nachrichten;
    QTest::mouseClick(a.w().CommandProgrammieren, Qt::LeftButton);
    QTRY_COMPARE(nachrichten.anzahl(), 1);
    QVERIFY(nachrichten.letzterText().contains(QStringLiteral("COM42")));
    QVERIFY(a.w().CommandProgrammieren->isEnabled());
    QVERIFY(!a.w().MSComm1->istOffen());
    QTest::mouseClick(a.w().CommandSatzstart, Qt::LeftButton);
    QTRY_COMPARE(nachrichten.anzahl(), 2);
    QVERIFY(a.w().CommandSatzstart->isEnabled());
    QVERIFY(a.pty.lesen(0, 50).isEmpty());
}

QTEST_MAIN(TestUebertragung)
#include "tst_uebertragung.moc"
