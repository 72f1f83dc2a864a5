#include "files/Feldleser.h"

#include <QtTest>

#include <limits>

using namespace Dateizugriff;

class TestFeldleser : public QObject {
    Q_OBJECT

private slots:
    void felder_data();
    void felder();
    void grosseEingabeLinear();
    void ganzzahl32_data();
    void ganzzahl32();
};

void TestFeldleser::felder_data() {
    QTest::addColumn<QByteArray>("daten");
    // Each field as "Q:" quoted and closed, "O:" quoted but never closed, "U:" unquoted,
    // followed by its bytes.
    QTest::addColumn<QStringList>("erwartet");

    QTest::newRow("quoted lines CR LF")
        << QByteArray("\"1\"\r\n\"10\"\r\n") << QStringList{"Q:1", "Q:10"};
    QTest::newRow("bare and quoted lines")
        << QByteArray("1\r\n\"5000\"\r\n0\r\n") << QStringList{"U:1", "Q:5000", "U:0"};
    QTest::newRow("lone LF and lone CR")
        << QByteArray("\"1\"\n2\r3") << QStringList{"Q:1", "U:2", "U:3"};
    QTest::newRow("comma protected by quotes")
        << QByteArray("\"2,5 A\"\r\n\"1\"\r\n") << QStringList{"Q:2,5 A", "Q:1"};
    QTest::newRow("comma separates bare fields")
        << QByteArray("1,2\r\n3") << QStringList{"U:1", "U:2", "U:3"};
    QTest::newRow("leading blanks and tabs skipped")
        << QByteArray("   \"x\"  ,\t 7\r\n") << QStringList{"Q:x", "U:7"};
    QTest::newRow("blanks inside quotes kept") << QByteArray("\" 3 \"") << QStringList{"Q: 3 "};
    QTest::newRow("trailing blanks of a bare field kept")
        << QByteArray("7  \r\n8") << QStringList{"U:7  ", "U:8"};
    QTest::newRow("text after closing quote dropped")
        << QByteArray("\"ab\"cd,ef\r\n") << QStringList{"Q:ab", "U:ef"};
    QTest::newRow("quote inside a bare field is plain")
        << QByteArray("a\"b,c") << QStringList{"U:a\"b", "U:c"};
    QTest::newRow("line end inside quotes")
        << QByteArray("\"a\r\nb\",c") << QStringList{"Q:a\r\nb", "U:c"};
    QTest::newRow("unclosed quote runs to the end")
        << QByteArray("\"1\"\r\n\"ab\r\ncd") << QStringList{"Q:1", "O:ab\r\ncd"};
    QTest::newRow("empty line is an empty field") << QByteArray("\r\n") << QStringList{"U:"};
    QTest::newRow("empty quoted fields") << QByteArray("\"\"\r\n\"\"") << QStringList{"Q:", "Q:"};
    QTest::newRow("trailing comma ends the data") << QByteArray("1,") << QStringList{"U:1"};
    QTest::newRow("last line without line end")
        << QByteArray("\"1\"\r\n\"2\"  ") << QStringList{"Q:1", "Q:2"};
    QTest::newRow("no data") << QByteArray() << QStringList{};
    QTest::newRow("blanks only") << QByteArray(" \t  ") << QStringList{};
    QTest::newRow("byte order mark skipped")
        << QByteArray("\xEF\xBB\xBF\"1\"\r\n") << QStringList{"Q:1"};
}

void TestFeldleser::felder() {
    QFETCH(QByteArray, daten);
    QFETCH(QStringList, erwartet);

    QStringList felder;
    Feldleser leser(daten);
    while (std::optional<Feld> feld = leser.lesen()) {
        const char *art = !feld->inAnführungszeichen ? "U:" : feld->abgeschlossen ? "Q:" : "O:";
        felder.append(art + QString::fromLatin1(feld->inhalt));
    }
    QCOMPARE(felder, erwartet);
    // The end stays the end.
    QVERIFY(leser.amEnde());
    QVERIFY(!leser.lesen());
}

void TestFeldleser::grosseEingabeLinear() {
    // Four million empty fields: if a field were searched for again from the start of the
    // data, this would take hours; read once each, it is done at once.
    const qsizetype n = 4 * 1024 * 1024;
    Feldleser leser(QByteArray(n, ','));
    qsizetype anzahl = 0;
    while (leser.lesen())
        ++anzahl;
    QCOMPARE(anzahl, n);
}

void TestFeldleser::ganzzahl32_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("gültig");
    QTest::addColumn<qint32>("wert");
    QTest::addColumn<bool>("bereichsfehler");

    QTest::newRow("zero") << QByteArray("0") << true << 0 << false;
    QTest::newRow("leading zeros") << QByteArray("00012") << true << 12 << false;
    QTest::newRow("blanks around, plus sign") << QByteArray("  +42 \t") << true << 42 << false;
    QTest::newRow("minus sign") << QByteArray("-3") << true << -3 << false;
    QTest::newRow("half to even down") << QByteArray("2.5") << true << 2 << false;
    QTest::newRow("half to even up") << QByteArray("3.5") << true << 4 << false;
    QTest::newRow("negative half") << QByteArray("-2.5") << true << -2 << false;
    QTest::newRow("just above half") << QByteArray("2.500001") << true << 3 << false;
    QTest::newRow("fraction only") << QByteArray(".6") << true << 1 << false;
    QTest::newRow("point without fraction") << QByteArray("4.") << true << 4 << false;
    QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647 << false;
    QTest::newRow("smallest") << QByteArray("-2147483648") << true << qint32(-2147483648LL)
                              << false;
    QTest::newRow("one too large") << QByteArray("2147483648") << false << 0 << true;
    QTest::newRow("one too small") << QByteArray("-2147483649") << false << 0 << true;
    QTest::newRow("rounded out of range") << QByteArray("2147483647.5") << false << 0 << true;
    QTest::newRow("beyond 64 bits") << QByteArray("99999999999999999999999") << false << 0 << true;
    QTest::newRow("empty") << QByteArray() << false << 0 << false;
    QTest::newRow("sign only") << QByteArray("-") << false << 0 << false;
    QTest::newRow("point only") << QByteArray(".") << false << 0 << false;
    QTest::newRow("decimal comma") << QByteArray("1,5") << false << 0 << false;
    QTest::newRow("exponent") << QByteArray("1e3") << false << 0 << false;
    QTest::newRow("hex") << QByteArray("0x10") << false << 0 << false;
    QTest::newRow("blank inside") << QByteArray("1 2") << false << 0 << false;
    QTest::newRow("two signs") << QByteArray("+-1") << false << 0 << false;
    QTest::newRow("digits then letters") << QByteArray("12abc") << false << 0 << false;
    QTest::newRow("two points") << QByteArray("1.2.3") << false << 0 << false;
    QTest::newRow("NUL after digits") << QByteArray("12\0", 3) << false << 0 << false;
}

void TestFeldleser::ganzzahl32() {
    QFETCH(QByteArray, text);
    QFETCH(bool, gültig);
    QFETCH(qint32, wert);
    QFETCH(bool, bereichsfehler);

    const std::optional<qint32> zahl = Ganzzahl32(text);
    QCOMPARE(zahl.has_value(), gültig);
    if (gültig)
        QCOMPARE(*zahl, wert);
    const Ganzzahlergebnis ergebnis =
        GanzzahlLesen(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    QCOMPARE(ergebnis.wert.has_value(), gültig);
    QCOMPARE(!gültig && ergebnis.fehler == Zahlfehler::AusserhalbDesBereichs, bereichsfehler);
}

QTEST_GUILESS_MAIN(TestFeldleser)
#include "tst_feldleser.moc"
