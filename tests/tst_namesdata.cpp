// The grid's data source on its own: cell texts, what it takes, the blank row.
#include "model/NamesData.h"

#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<qint64>)
Q_DECLARE_METATYPE(NamesData::Eingabe)

namespace {

const QLocale Deutsch(QLocale::German, QLocale::Germany);
const QLocale Englisch(QLocale::English, QLocale::UnitedStates);

} // namespace

class TestNamesData : public QObject {
    Q_OBJECT
private slots:
    void ausText_data();
    void ausText();
    void alsText_data();
    void alsText();
    void eingabe_data();
    void eingabe();

    void neueTabelle();
    void zeileHinzufuegenUndAendern();
    void nichtZahlenAbgewiesen();
    void hoechstensEinunddreissigZeilen();
    void leereZeileNachZwanzigSaetzen();
    void zeileEntfernen();
};

void TestNamesData::ausText_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint64>>("erwartet");

    const std::optional<qint64> keine;
    QTest::newRow("ganz") << Englisch << "5000" << std::optional<qint64>(50000000);
    QTest::newRow("Blanks und Vorzeichen") << Englisch << " -12 " << std::optional<qint64>(-120000);
    QTest::newRow("Bruch mit Punkt") << Englisch << "12.5" << std::optional<qint64>(125000);
    QTest::newRow("Bruch mit Komma") << Deutsch << "12,5" << std::optional<qint64>(125000);
    QTest::newRow("Punkt im Deutschen") << Deutsch << "12.500" << keine;
    QTest::newRow("Tausender") << Englisch << "1,000" << keine;
    QTest::newRow("Exponent") << Englisch << "1e3" << keine;
    QTest::newRow("Buchstaben") << Englisch << "12a" << keine;
    QTest::newRow("leer") << Englisch << "" << keine;
    QTest::newRow("fünfte Stelle ab") << Englisch << "2.12344" << std::optional<qint64>(21234);
    QTest::newRow("fünfte Stelle auf") << Englisch << "2.12346" << std::optional<qint64>(21235);
    QTest::newRow("größte Zahl") << Englisch << "-900000000000"
                                 << std::optional<qint64>(Q_INT64_C(-9000000000000000));
    QTest::newRow("vier Stellen genau")
        << Englisch << "123456789.1234" << std::optional<qint64>(Q_INT64_C(1234567891234));
    QTest::newRow("zu groß") << Englisch << "900000000000.001" << keine;
    QTest::newRow("weit zu groß") << Englisch << "1" + QString(400, QLatin1Char('0')) << keine;
}

void TestNamesData::ausText() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(std::optional<qint64>, erwartet);
    QCOMPARE(NamesData::ausText(text, locale), erwartet);
}

void TestNamesData::alsText_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint64>("wert");
    QTest::addColumn<QString>("text");

    QTest::newRow("ganz") << Deutsch << qint64(50000000) << "5000";
    QTest::newRow("groß ganz") << Deutsch << qint64(123456780000) << "12345678";
    // The cell text is read back by the travel times: no thousands separator.
    QTest::newRow("groß mit Bruch") << Deutsch << qint64(123455000) << "12345,5";
    QTest::newRow("englisch mit Bruch") << Englisch << qint64(123451234) << "12345.1234";
    QTest::newRow("negativ mit Bruch") << Deutsch << qint64(-5000) << "-0,5";
}

void TestNamesData::alsText() {
    QFETCH(QLocale, locale);
    QFETCH(qint64, wert);
    QFETCH(QString, text);
    QCOMPARE(NamesData::alsText(wert, locale), text);
    QCOMPARE(NamesData::ausText(text, locale), std::optional<qint64>(wert));
}

void TestNamesData::eingabe_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<NamesData::Eingabe>("erwartet");

    using E = NamesData::Eingabe;
    QTest::newRow("leer") << Englisch << "" << E::Gueltig;
    QTest::newRow("Zahl") << Englisch << "276" << E::Gueltig;
    QTest::newRow("Komma") << Deutsch << "27,6" << E::Gueltig;
    QTest::newRow("Minus allein") << Englisch << "-" << E::Unfertig;
    QTest::newRow("Trennzeichen allein") << Deutsch << "," << E::Unfertig;
    QTest::newRow("Punkt im Deutschen") << Deutsch << "27.6" << E::Ungueltig;
    QTest::newRow("Buchstabe") << Englisch << "27a" << E::Ungueltig;
    QTest::newRow("Exponent") << Englisch << "2e7" << E::Ungueltig;
    QTest::newRow("Blank nach Vorzeichen") << Englisch << "- 2" << E::Ungueltig;
    QTest::newRow("zu groß") << Englisch << "9999999999999999" << E::Ungueltig;
}

void TestNamesData::eingabe() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(NamesData::Eingabe, erwartet);
    QCOMPARE(NamesData::PruefeEingabe(text, locale), erwartet);
}

void TestNamesData::neueTabelle() {
    NamesData daten(5000);
    QCOMPARE(daten.objectName(), QStringLiteral("Names"));
    QCOMPARE(daten.tabellenzeilen(), 1);
    QCOMPARE(daten.rowCount(), 2); // with the blank row
    QCOMPARE(daten.columnCount(), 1);
    QCOMPARE(daten.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Schritte"));
    QCOMPARE(daten.data(daten.index(0, 0)).toString(), QStringLiteral("5000"));
    QCOMPARE(daten.data(daten.index(1, 0)).toString(), QString());
    QVERIFY(daten.istLeereZeile(1));
}

void TestNamesData::zeileHinzufuegenUndAendern() {
    QLocale::setDefault(QLocale::c());
    NamesData daten(5000);
    QVERIFY(daten.setData(daten.index(1, 0), QStringLiteral("250.75")));
    QCOMPARE(daten.tabellenzeilen(), 2);
    QCOMPARE(daten.zellText(1), QStringLiteral("250.75"));
    QVERIFY(daten.istLeereZeile(2));
    // Nothing typed into the blank row adds nothing.
    QVERIFY(!daten.setData(daten.index(2, 0), QString()));
    QCOMPARE(daten.tabellenzeilen(), 2);
    // An existing cell can be emptied.
    QVERIFY(daten.setData(daten.index(0, 0), QString()));
    QCOMPARE(daten.zellText(0), QString());
    QCOMPARE(daten.tabellenzeilen(), 2);
}

void TestNamesData::nichtZahlenAbgewiesen() {
    QLocale::setDefault(QLocale::c());
    NamesData daten(5000);
    for (const QString &text : {QStringLiteral("abc"), QStringLiteral("-"), QStringLiteral("1e3"),
                                QStringLiteral("5 000")}) {
        QVERIFY2(!daten.setData(daten.index(0, 0), text), qPrintable(text));
        QVERIFY2(!daten.setData(daten.index(1, 0), text), qPrintable(text));
    }
    QCOMPARE(daten.zellText(0), QStringLiteral("5000"));
    QCOMPARE(daten.tabellenzeilen(), 1);
}

void TestNamesData::hoechstensEinunddreissigZeilen() {
    NamesData daten(1);
    while (daten.setData(daten.index(daten.tabellenzeilen(), 0), QStringLiteral("7"))) {
        if (daten.tabellenzeilen() > NamesData::Hoechstzeilen)
            break;
    }
    QCOMPARE(daten.tabellenzeilen(), 31);
}

void TestNamesData::leereZeileNachZwanzigSaetzen() {
    NamesData daten(1);
    for (int i = 1; i < 19; ++i)
        daten.setData(daten.index(i, 0), QStringLiteral("7"));
    QVERIFY(daten.flags(daten.index(19, 0)) & Qt::ItemIsEditable); // the 20th block
    daten.setData(daten.index(19, 0), QStringLiteral("7"));
    QCOMPARE(daten.tabellenzeilen(), 20);
    QVERIFY(!(daten.flags(daten.index(20, 0)) & Qt::ItemIsEditable));
    QVERIFY(daten.flags(daten.index(20, 0)) & Qt::ItemIsSelectable);
    QVERIFY(daten.flags(daten.index(19, 0)) & Qt::ItemIsEditable);
}

void TestNamesData::zeileEntfernen() {
    NamesData daten(1);
    daten.setData(daten.index(1, 0), QStringLiteral("2"));
    daten.setData(daten.index(2, 0), QStringLiteral("3"));
    QVERIFY(!daten.removeRows(3, 1)); // the blank row stays
    QVERIFY(daten.removeRows(1, 1));
    QCOMPARE(daten.tabellenzeilen(), 2);
    QCOMPARE(daten.zellText(1), QStringLiteral("3"));
}

QTEST_MAIN(TestNamesData)
#include "tst_namesdata.moc"
