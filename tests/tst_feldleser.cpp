#include "files/Feldleser.h"

#include <QRandomGenerator>

#include <limits>
#include <QtTest>

using namespace Dateizugriff;

namespace {

// A field written for comparison: "Q:" quoted and closed, "O:" quoted but never closed,
// "U:" unquoted, followed by the field's bytes (Latin-1 view).
QStringList Felder(const QByteArray &daten) {
    QStringList ergebnis;
    Feldleser leser(daten);
    while (std::optional<Feld> feld = leser.lesen()) {
        const QString art = !feld->inAnführungszeichen ? QStringLiteral("U:")
                            : feld->abgeschlossen      ? QStringLiteral("Q:")
                                                       : QStringLiteral("O:");
        ergebnis.append(art + QString::fromLatin1(feld->inhalt));
    }
    return ergebnis;
}

} // namespace

class TestFeldleser : public QObject {
    Q_OBJECT

private slots:
    void felder_data();
    void felder();
    void endeBleibtEnde();
    void textUtf8UndLatin1();
    void grosseEingabenLinear();
    void beliebigeBytes();

    void ganzzahl32_data();
    void ganzzahl32();
    void ganzzahl16_data();
    void ganzzahl16();
    void nullUndEins_data();
    void nullUndEins();
};

void TestFeldleser::felder_data() {
    QTest::addColumn<QByteArray>("daten");
    QTest::addColumn<QStringList>("erwartet");

    QTest::newRow("quoted lines CR LF")
        << QByteArray("\"1\"\r\n\"10\"\r\n") << QStringList{"Q:1", "Q:10"};
    QTest::newRow("bare number line")
        << QByteArray("1\r\n\"5000\"\r\n0\r\n") << QStringList{"U:1", "Q:5000", "U:0"};
    QTest::newRow("lone LF") << QByteArray("\"1\"\n2\n") << QStringList{"Q:1", "U:2"};
    QTest::newRow("lone CR") << QByteArray("a\rb") << QStringList{"U:a", "U:b"};
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
    QTest::newRow("empty line is an empty field") << QByteArray("\r\n") << QStringList{"U:"};
    QTest::newRow("two commas") << QByteArray(",,") << QStringList{"U:", "U:"};
    QTest::newRow("empty quoted field") << QByteArray("\"\"\r\n\"\"") << QStringList{"Q:", "Q:"};
    QTest::newRow("trailing comma ends the data") << QByteArray("1,") << QStringList{"U:1"};
    QTest::newRow("no data") << QByteArray() << QStringList{};
    QTest::newRow("blanks only") << QByteArray(" \t  ") << QStringList{};
    QTest::newRow("last line without line end")
        << QByteArray("\"1\"\r\n\"2\"") << QStringList{"Q:1", "Q:2"};
    QTest::newRow("unclosed quote runs to the end")
        << QByteArray("\"1\"\r\n\"ab\r\ncd") << QStringList{"Q:1", "O:ab\r\ncd"};
    QTest::newRow("lone quote") << QByteArray("\"") << QStringList{"O:"};
    QTest::newRow("line end inside quotes")
        << QByteArray("\"a\r\nb\",c") << QStringList{"Q:a\r\nb", "U:c"};
    QTest::newRow("byte order mark skipped")
        << QByteArray("\xEF\xBB\xBF\"1\"\r\n") << QStringList{"Q:1"};
    QTest::newRow("NUL bytes are plain bytes")
        << QByteArray("a\0b,\"\0\"", 7)
        << QStringList{QStringLiteral("U:a") + QChar(0) + "b", QStringLiteral("Q:") + QChar(0)};
}

void TestFeldleser::felder() {
    QFETCH(QByteArray, daten);
    QFETCH(QStringList, erwartet);
    QCOMPARE(Felder(daten), erwartet);
}

void TestFeldleser::endeBleibtEnde() {
    Feldleser leser(QByteArray("\"1\"\r\n  "));
    QVERIFY(!leser.amEnde());
    QVERIFY(leser.lesen().has_value());
    QVERIFY(leser.amEnde());
    QVERIFY(!leser.lesen().has_value());
    QVERIFY(!leser.lesen().has_value());
    QVERIFY(leser.amEnde());
}

void TestFeldleser::textUtf8UndLatin1() {
    Feldleser utf8(QByteArray("\"F\xC3\xBCnftelschritt\""));
    QCOMPARE(utf8.lesen()->text(), QStringLiteral("Fünftelschritt"));
    // Files from older installations hold Latin-1 text.
    Feldleser latin1(QByteArray("\"F\xFCnftelschritt\""));
    QCOMPARE(latin1.lesen()->text(), QStringLiteral("Fünftelschritt"));
}

void TestFeldleser::grosseEingabenLinear() {
    // Each of these would take hours if a field were searched for again from the start of the
    // data; read once each, they are done at once.
    const qsizetype n = 4 * 1024 * 1024;
    {
        Feldleser leser(QByteArray(n, ','));
        qsizetype anzahl = 0;
        while (leser.lesen())
            ++anzahl;
        QCOMPARE(anzahl, n);
    }
    {
        Feldleser leser(QByteArray(1, '"') + QByteArray(n, 'x'));
        const std::optional<Feld> feld = leser.lesen();
        QVERIFY(feld && !feld->abgeschlossen);
        QCOMPARE(feld->inhalt.size(), n);
        QVERIFY(!leser.lesen());
    }
    {
        Feldleser leser(QByteArray(n, ' ') + "7");
        QCOMPARE(leser.lesen()->inhalt, QByteArray("7"));
        QVERIFY(leser.amEnde());
    }
    {
        QByteArray daten;
        for (int i = 0; i < 200000; ++i)
            daten.append("\"12\"xyz\r\n");
        Feldleser leser(daten);
        int anzahl = 0;
        while (std::optional<Feld> feld = leser.lesen()) {
            QCOMPARE(feld->inhalt, QByteArray("12"));
            ++anzahl;
        }
        QCOMPARE(anzahl, 200000);
    }
}

void TestFeldleser::beliebigeBytes() {
    // Arbitrary bytes, weighted towards the characters the reader cares about. Every field takes
    // at least one byte of the data (except a final empty field after the last separator), so
    // the count is bounded; the reads must stay inside the data (checked by the sanitizer build).
    QRandomGenerator zufall(4711);
    const QByteArray wichtig("\",\r\n \t0123456789.-+");
    for (int runde = 0; runde < 20000; ++runde) {
        const int länge = int(zufall.bounded(64));
        QByteArray daten(länge, '\0');
        for (char &c : daten) {
            c = zufall.bounded(4) == 0 ? char(zufall.bounded(256))
                                       : wichtig.at(zufall.bounded(int(wichtig.size())));
        }
        Feldleser leser(daten);
        qsizetype anzahl = 0;
        qsizetype bytes = 0;
        while (std::optional<Feld> feld = leser.lesen()) {
            ++anzahl;
            bytes += feld->inhalt.size();
            QVERIFY(anzahl <= daten.size());
            (void)feld->text();
            (void)ZahlLesen(feld->inhalt);
        }
        QVERIFY(bytes <= daten.size());
        QVERIFY(leser.amEnde());
        (void)Ganzzahl32(daten);
        (void)Ganzzahl16(daten);
    }
}

void TestFeldleser::ganzzahl32_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("gültig");
    QTest::addColumn<qint32>("wert");
    QTest::addColumn<bool>("bereichsfehler");

    QTest::newRow("zero") << QByteArray("0") << true << 0 << false;
    QTest::newRow("plain") << QByteArray("5000") << true << 5000 << false;
    QTest::newRow("leading zeros") << QByteArray("00012") << true << 12 << false;
    QTest::newRow("blanks around") << QByteArray("  42 \t") << true << 42 << false;
    QTest::newRow("plus sign") << QByteArray("+7") << true << 7 << false;
    QTest::newRow("minus sign") << QByteArray("-3") << true << -3 << false;
    QTest::newRow("minus zero") << QByteArray("-0") << true << 0 << false;
    QTest::newRow("half to even down") << QByteArray("2.5") << true << 2 << false;
    QTest::newRow("half to even up") << QByteArray("3.5") << true << 4 << false;
    QTest::newRow("negative half") << QByteArray("-2.5") << true << -2 << false;
    QTest::newRow("negative half odd") << QByteArray("-3.5") << true << -4 << false;
    QTest::newRow("zero point five") << QByteArray("0.5") << true << 0 << false;
    QTest::newRow("just above half") << QByteArray("2.500001") << true << 3 << false;
    QTest::newRow("just below half") << QByteArray("2.4999") << true << 2 << false;
    QTest::newRow("fraction only") << QByteArray(".6") << true << 1 << false;
    QTest::newRow("point without fraction") << QByteArray("4.") << true << 4 << false;
    QTest::newRow("long fraction")
        << QByteArray("7.0000000000000000000000001") << true << 7 << false;
    QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647 << false;
    QTest::newRow("smallest") << QByteArray("-2147483648") << true << qint32(-2147483648LL)
                              << false;
    QTest::newRow("rounded into range")
        << QByteArray("2147483646.5") << true << 2147483646 << false;
    QTest::newRow("one too large") << QByteArray("2147483648") << false << 0 << true;
    QTest::newRow("one too small") << QByteArray("-2147483649") << false << 0 << true;
    QTest::newRow("rounded out of range") << QByteArray("2147483647.5") << false << 0 << true;
    QTest::newRow("huge") << QByteArray("99999999999999999999999999999") << false << 0 << true;
    QTest::newRow("empty") << QByteArray() << false << 0 << false;
    QTest::newRow("blank") << QByteArray("  ") << false << 0 << false;
    QTest::newRow("sign only") << QByteArray("-") << false << 0 << false;
    QTest::newRow("point only") << QByteArray(".") << false << 0 << false;
    QTest::newRow("decimal comma") << QByteArray("1,5") << false << 0 << false;
    QTest::newRow("exponent") << QByteArray("1e3") << false << 0 << false;
    QTest::newRow("hex") << QByteArray("0x10") << false << 0 << false;
    QTest::newRow("blank inside") << QByteArray("1 2") << false << 0 << false;
    QTest::newRow("blank after sign") << QByteArray("- 2") << false << 0 << false;
    QTest::newRow("two signs") << QByteArray("+-1") << false << 0 << false;
    QTest::newRow("letters") << QByteArray("abc") << false << 0 << false;
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
    if (!gültig) {
        QVERIFY(!ergebnis.wert);
        QCOMPARE(ergebnis.fehler == Zahlfehler::AusserhalbDesBereichs, bereichsfehler);
    }
}

void TestFeldleser::ganzzahl16_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("gültig");
    QTest::addColumn<qint16>("wert");

    QTest::newRow("3") << QByteArray("3") << true << qint16(3);
    QTest::newRow("largest") << QByteArray("32767") << true << qint16(32767);
    QTest::newRow("smallest") << QByteArray("-32768") << true << qint16(-32768);
    QTest::newRow("one too large") << QByteArray("32768") << false << qint16(0);
    QTest::newRow("70000") << QByteArray("70000") << false << qint16(0);
    QTest::newRow("rounded") << QByteArray("2.5") << true << qint16(2);
    QTest::newRow("letters") << QByteArray("COM3") << false << qint16(0);
}

void TestFeldleser::ganzzahl16() {
    QFETCH(QByteArray, text);
    QFETCH(bool, gültig);
    QFETCH(qint16, wert);

    const std::optional<qint16> zahl = Ganzzahl16(text);
    QCOMPARE(zahl.has_value(), gültig);
    if (gültig)
        QCOMPARE(*zahl, wert);
}

void TestFeldleser::nullUndEins_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("null");
    QTest::addColumn<bool>("eins");

    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("0.000") << QByteArray("0.000") << true << false;
    QTest::newRow("-0") << QByteArray("-0") << true << false;
    QTest::newRow("0.4 is not zero") << QByteArray("0.4") << false << false;
    QTest::newRow("0.0001 is not zero") << QByteArray("0.0001") << false << false;
    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("01") << QByteArray("01") << false << true;
    QTest::newRow("1.0") << QByteArray("1.0") << false << true;
    QTest::newRow("1.4 is not one") << QByteArray("1.4") << false << false;
    QTest::newRow("1.00001 is not one") << QByteArray("1.00001") << false << false;
    QTest::newRow("-1 is not one") << QByteArray("-1") << false << false;
    QTest::newRow("2") << QByteArray("2") << false << false;
    QTest::newRow("huge") << QByteArray("100000000000000000000001") << false << false;
}

void TestFeldleser::nullUndEins() {
    QFETCH(QByteArray, text);
    QFETCH(bool, null);
    QFETCH(bool, eins);

    const std::optional<Zahlwert> zahl = ZahlLesen(text);
    QVERIFY(zahl);
    QCOMPARE(zahl->istNull(), null);
    QCOMPARE(zahl->istEins(), eins);
}

QTEST_GUILESS_MAIN(TestFeldleser)
#include "tst_feldleser.moc"
