// The checks before a transfer, with every message word for word, and what each check takes
// from a field before it tests it.
#include "link/Uebertragungspruefung.h"

#include <QLocale>
#include <QTest>

#include <climits>

// A value the check did not take from its field.
constexpr int N = INT_MIN;

class TestUebertragungspruefung : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void programm_data();
    void programm();
    void satz_data();
    void satz();
};

void TestUebertragungspruefung::programm_data() {
    QTest::addColumn<int>("anzahl");
    QTest::addColumn<QStringList>("felder");
    QTest::addColumn<QString>("meldung");
    const QStringList gut{QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("10")};
    QTest::newRow("gut") << 20 << gut << QString();
    QTest::newRow("Grenzen") << 0 << QStringList{"255", "0", "255"} << QString();
    QTest::newRow("21 Sätze") << 21 << gut
                              << QStringLiteral("Höchstwert Anzahl Sätze (20) überschritten !");
    QTest::newRow("Durchläufe") << 1 << QStringList{"256", "10", "10"}
                                << QStringLiteral(
                                       "Höchstwert Programmdurchläufe (255) überschritten !");
    QTest::newRow("Pause") << 1 << QStringList{"1", "256", "10"}
                           << QStringLiteral("Höchstwert Programmpause (255) überschritten !");
    QTest::newRow("Befehlspause") << 1 << QStringList{"1", "10", "256"}
                                  << QStringLiteral(
                                         "Höchstwert Befehlspause (255) überschritten !");
    QTest::newRow("Reihenfolge") << 1 << QStringList{"300", "300", "300"}
                                 << QStringLiteral(
                                        "Höchstwert Programmdurchläufe (255) überschritten !");
    QTest::newRow("leer") << 1 << QStringList{"1", "", "10"}
                          << QStringLiteral("Programmpause nicht angegeben !");
    QTest::newRow("negativ") << 1 << QStringList{"-1", "10", "10"}
                             << QStringLiteral(
                                    "Mindestwert Programmdurchläufe (0) unterschritten !");
    QTest::newRow("zu groß für 32 Bit")
        << 1 << QStringList{"1", "10", "99999999999"}
        << QStringLiteral("Höchstwert Befehlspause (255) überschritten !");
    QTest::newRow("zu klein für 32 Bit")
        << 1 << QStringList{"1", "-99999999999", "10"}
        << QStringLiteral("Mindestwert Programmpause (0) unterschritten !");
    QTest::newRow("keine Zahl") << 1 << QStringList{"x", "10", "10"}
                                << QStringLiteral("Programmdurchläufe ist keine ganze Zahl !");
}

void TestUebertragungspruefung::programm() {
    QFETCH(int, anzahl);
    QFETCH(QStringList, felder);
    QFETCH(QString, meldung);
    const Programmpruefung p = PruefeProgramm(anzahl, felder[0], felder[1], felder[2]);
    QCOMPARE(p.meldung, meldung);
    if (meldung.isEmpty()) {
        QCOMPARE(p.programmdurchlaeufe, felder[0].toInt());
        QCOMPARE(p.programmpause, felder[1].toInt());
        QCOMPARE(p.befehlspause, felder[2].toInt());
    }
}

void TestUebertragungspruefung::satz_data() {
    // Fields: Schritte, Startfrequenz, Maximalfrequenz, Satzdurchläufe, Satzpause.
    QTest::addColumn<QStringList>("felder");
    QTest::addColumn<QString>("meldung");
    QTest::addColumn<QList<int>>("genommen"); // start, max, durchläufe, pause
    auto zeile = [](const char *name, QStringList felder, const char *meldung,
                    QList<int> genommen) {
        QTest::newRow(name) << felder << QString::fromUtf8(meldung) << genommen;
    };
    zeile("gut", {"5000", "300", "4000", "1", "10"}, "", {300, 4000, 1, 10});
    zeile("Grenzen", {"16777215", "12000", "12000", "255", "0"}, "", {12000, 12000, 255, 0});
    zeile("B1", {"5000", "", "4000", "1", "10"}, "Startfrequenz in Satz 7 nicht angegeben !",
          {N, N, N, N});
    zeile("B2", {"5000", "12001", "4000", "1", "10"},
          "Höchstwert Startfrequenz (12 kHz) in Satz 7 überschritten !", {12001, N, N, N});
    zeile("B3", {"5000", "99", "4000", "1", "10"},
          "Mindestwert Startfrequenz (100 Hz) in Satz 7 unterschritten !", {99, N, N, N});
    zeile("B4", {"5000", "300", "", "1", "10"}, "Maximalfrequenz in Satz 7 nicht angegeben !",
          {300, N, N, N});
    zeile("B5", {"5000", "300", "12001", "1", "10"},
          "Höchstwert Maximalfrequenz (12 kHz) in Satz 7 überschritten !", {300, 12001, N, N});
    zeile("B6", {"5000", "300", "99", "1", "10"},
          "Mindestwert Maximalfrequenz (100 Hz) in Satz 7 unterschritten !", {300, 99, N, N});
    zeile("B7", {"5000", "500", "400", "1", "10"},
          "Startfrequenz in Satz 7 ist größer als die Maximalfrequenz !", {500, 400, N, N});
    zeile("B8", {"5000", "300", "4000", "", "10"}, "Satzdurchläufe in Satz 7 nicht angegeben !",
          {300, 4000, N, N});
    zeile("B9", {"5000", "300", "4000", "256", "10"},
          "Höchstwert Satzdurchläufe (255) in Satz 7 überschritten !", {300, 4000, 256, N});
    zeile("B10", {"5000", "300", "4000", "0", "10"},
          "Mindestwert Satzdurchläufe (1) in Satz 7 unterschritten !", {300, 4000, 0, N});
    zeile("B11", {"5000", "300", "4000", "1", ""}, "Satzpause in Satz 7 nicht angegeben !",
          {300, 4000, 1, N});
    zeile("B12", {"5000", "300", "4000", "1", "256"},
          "Höchstwert Satzpause (255) in Satz 7 überschritten !", {300, 4000, 1, 256});
    zeile("Satzpause negativ", {"5000", "300", "4000", "1", "-1"},
          "Mindestwert Satzpause (0) in Satz 7 unterschritten !", {300, 4000, 1, -1});
    zeile("Startfrequenz über 32 Bit", {"5000", "99999999999", "4000", "1", "10"},
          "Höchstwert Startfrequenz (12 kHz) in Satz 7 überschritten !", {N, N, N, N});
    zeile("Schritte zu groß", {"16777216", "300", "4000", "1", "10"},
          "Schritte in Satz 7 müssen eine ganze Zahl von 0 bis 16777215 sein !",
          {300, 4000, 1, 10});
    zeile("Schritte mit Bruch", {"12.5", "300", "4000", "1", "10"},
          "Schritte in Satz 7 müssen eine ganze Zahl von 0 bis 16777215 sein !",
          {300, 4000, 1, 10});
    zeile("Schritte negativ", {"-1", "300", "4000", "1", "10"},
          "Schritte in Satz 7 müssen eine ganze Zahl von 0 bis 16777215 sein !",
          {300, 4000, 1, 10});
    zeile("Schritte leer", {"", "300", "4000", "1", "10"},
          "Schritte in Satz 7 müssen eine ganze Zahl von 0 bis 16777215 sein !",
          {300, 4000, 1, 10});
}

void TestUebertragungspruefung::satz() {
    QFETCH(QStringList, felder);
    QFETCH(QString, meldung);
    QFETCH(QList<int>, genommen);
    const Satzpruefung p = PruefeSatz(7, felder[0], felder[1], felder[2], felder[3], felder[4]);
    QCOMPARE(p.meldung, meldung);
    const std::optional<qint32> werte[] = {p.startfrequenz, p.maximalfrequenz, p.satzdurchlaeufe,
                                           p.satzpause};
    for (int k = 0; k < 4; ++k) {
        if (genommen[k] == N)
            QVERIFY(!werte[k]);
        else
            QCOMPARE(werte[k].value_or(-12345), genommen[k]);
    }
    if (meldung.isEmpty())
        QCOMPARE(p.schritte, felder[0].toLongLong());
}

QTEST_MAIN(TestUebertragungspruefung)
#include "tst_uebertragungspruefung.moc"
