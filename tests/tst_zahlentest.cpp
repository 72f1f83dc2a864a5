// The number test of the entry fields: which texts are numbers in which locale, how a fraction
// is rounded, and where 32 bits end.
#include "ramp/Zahlentest.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(Zahlfehler)

namespace {

QLocale Deutsch() {
    return QLocale(QLocale::German, QLocale::Germany);
}
QLocale Englisch() {
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

QLocale LocaleNamens(const QString &name) {
    if (name == QLatin1String("de"))
        return Deutsch();
    if (name == QLatin1String("en"))
        return Englisch();
    if (name == QLatin1String("sv"))
        return QLocale(QLocale::Swedish, QLocale::Sweden);
    return QLocale::c();
}

} // namespace

class TestZahlentest : public QObject {
    Q_OBJECT

private slots:
    void ganzzahl_data();
    void ganzzahl();
    void gleitzahl_data();
    void gleitzahl();
    void gleitzahlUndGanzzahlAnnehmenDasselbe_data();
    void gleitzahlUndGanzzahlAnnehmenDasselbe();
    void rundeHalbGerade_data();
    void rundeHalbGerade();
    void standardLocaleIstDieDesProgramms();
};

void TestZahlentest::ganzzahl_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Zahlfehler>("fehler");
    QTest::addColumn<int>("wert");

    const auto ok = Zahlfehler::Keiner;
    const auto typ = Zahlfehler::Typfehler;
    const auto ueber = Zahlfehler::Ueberlauf;

    QTest::newRow("Ziffern") << "de"
                             << "4000" << ok << 4000;
    QTest::newRow("Null") << "de"
                          << "0" << ok << 0;
    QTest::newRow("führende Nullen") << "de"
                                     << "000300" << ok << 300;
    QTest::newRow("Blanks um die Zahl") << "de"
                                        << "  300  " << ok << 300;
    QTest::newRow("Tabulator") << "de"
                               << "\t300\t" << ok << 300;
    QTest::newRow("Plus") << "de"
                          << "+12" << ok << 12;
    QTest::newRow("Minus") << "de"
                           << "-12" << ok << -12;
    QTest::newRow("Blanks und Vorzeichen") << "de"
                                           << "  -12 " << ok << -12;
    QTest::newRow("Minus null") << "de"
                                << "-0" << ok << 0;

    // Fractions with the locale's separator, rounded half to even.
    QTest::newRow("12,7 deutsch") << "de"
                                  << "12,7" << ok << 13;
    QTest::newRow("12,4 deutsch") << "de"
                                  << "12,4" << ok << 12;
    QTest::newRow("12,5 deutsch") << "de"
                                  << "12,5" << ok << 12;
    QTest::newRow("13,5 deutsch") << "de"
                                  << "13,5" << ok << 14;
    QTest::newRow("12,50 deutsch") << "de"
                                   << "12,50" << ok << 12;
    QTest::newRow("12,5000001 deutsch") << "de"
                                        << "12,5000001" << ok << 13;
    QTest::newRow("-12,5 deutsch") << "de"
                                   << "-12,5" << ok << -12;
    QTest::newRow("-13,5 deutsch") << "de"
                                   << "-13,5" << ok << -14;
    QTest::newRow("-12,6 deutsch") << "de"
                                   << "-12,6" << ok << -13;
    QTest::newRow("0,5 deutsch") << "de"
                                 << "0,5" << ok << 0;
    QTest::newRow("1,5 deutsch") << "de"
                                 << "1,5" << ok << 2;
    QTest::newRow(",5 deutsch") << "de"
                                << ",5" << ok << 0;
    QTest::newRow(",6 deutsch") << "de"
                                << ",6" << ok << 1;
    QTest::newRow("5, deutsch") << "de"
                                << "5," << ok << 5;
    QTest::newRow("12.5 englisch") << "en"
                                   << "12.5" << ok << 12;
    QTest::newRow("13.5 englisch") << "en"
                                   << "13.5" << ok << 14;
    QTest::newRow("12.7 englisch") << "en"
                                   << "12.7" << ok << 13;
    QTest::newRow("12.5 C") << "C"
                            << "12.5" << ok << 12;

    // The other separator is no decimal separator, and thousands separators are not taken.
    QTest::newRow("12.5 deutsch") << "de"
                                  << "12.5" << typ << 0;
    QTest::newRow("12,5 englisch") << "en"
                                   << "12,5" << typ << 0;
    QTest::newRow("1.000 deutsch") << "de"
                                   << "1.000" << typ << 0;
    QTest::newRow("1,000 englisch") << "en"
                                    << "1,000" << typ << 0;
    QTest::newRow("zwei Trenner") << "de"
                                  << "1,2,3" << typ << 0;

    // Not a number at all.
    QTest::newRow("leer") << "de"
                          << "" << typ << 0;
    QTest::newRow("nur Blanks") << "de"
                                << "   " << typ << 0;
    QTest::newRow("einzelnes Minus") << "de"
                                     << "-" << typ << 0;
    QTest::newRow("einzelnes Plus") << "de"
                                    << "+" << typ << 0;
    QTest::newRow("Minus mit Blanks") << "de"
                                      << " - " << typ << 0;
    QTest::newRow("nur Trenner") << "de"
                                 << "," << typ << 0;
    QTest::newRow("Vorzeichen und Trenner") << "de"
                                            << "-," << typ << 0;
    QTest::newRow("Buchstabe") << "de"
                               << "a" << typ << 0;
    QTest::newRow("Buchstabe hinter Ziffern") << "de"
                                              << "300a" << typ << 0;
    QTest::newRow("Buchstabe vor Ziffern") << "de"
                                           << "x300" << typ << 0;
    QTest::newRow("Buchstabe zwischen Ziffern") << "de"
                                                << "3o0" << typ << 0;
    QTest::newRow("Blank zwischen Ziffern") << "de"
                                            << "3 00" << typ << 0;
    QTest::newRow("Blank hinter Vorzeichen") << "de"
                                             << "- 3" << typ << 0;
    QTest::newRow("zwei Vorzeichen") << "de"
                                     << "+-3" << typ << 0;
    QTest::newRow("Vorzeichen hinten") << "de"
                                       << "3-" << typ << 0;
    QTest::newRow("Exponent") << "en"
                              << "1e3" << typ << 0;
    QTest::newRow("Hexadezimal") << "C"
                                 << "0x10" << typ << 0;
    QTest::newRow("Buchstaben hinter Riesenzahl") << "de"
                                                  << "99999999999x" << typ << 0;

    // The 32-bit range, after rounding.
    QTest::newRow("größte") << "de"
                            << "2147483647" << ok << std::numeric_limits<int>::max();
    QTest::newRow("kleinste") << "de"
                              << "-2147483648" << ok << std::numeric_limits<int>::min();
    QTest::newRow("eins über größte") << "de"
                                      << "2147483648" << ueber << 0;
    QTest::newRow("eins unter kleinste") << "de"
                                         << "-2147483649" << ueber << 0;
    QTest::newRow("größte,4") << "de"
                              << "2147483647,4" << ok << std::numeric_limits<int>::max();
    QTest::newRow("größte,5 rundet hinaus") << "de"
                                            << "2147483647,5" << ueber << 0;
    QTest::newRow("kleinste,5 rundet auf gerade")
        << "de"
        << "-2147483648,5" << ok << std::numeric_limits<int>::min();
    QTest::newRow("kleinste,6 rundet hinaus") << "de"
                                              << "-2147483648,6" << ueber << 0;
    QTest::newRow("elf Ziffern") << "de"
                                 << "12345678901" << ueber << 0;
    QTest::newRow("elf Ziffern negativ") << "de"
                                         << "-12345678901" << ueber << 0;
    QTest::newRow("elf Ziffern mit Nullen vorn")
        << "de"
        << "00000002147483647" << ok << std::numeric_limits<int>::max();
    QTest::newRow("sehr lang") << "de" << QString(400, QLatin1Char('9')) << ueber << 0;
    QTest::newRow("10 Milliarden") << "de"
                                   << "9999999999" << ueber << 0;

    // The locale's own minus sign (U+2212 in Swedish) counts as well as '-'.
    QTest::newRow("schwedisches Minus") << "sv" << QStringLiteral("\u22125") << ok << -5;
    QTest::newRow("Bindestrich schwedisch") << "sv"
                                            << "-5" << ok << -5;
}

void TestZahlentest::ganzzahl() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(Zahlfehler, fehler);
    QFETCH(int, wert);

    const Ganzzahl z = GanzzahlAusText(text, LocaleNamens(locale));
    QCOMPARE(z.fehler, fehler);
    QCOMPARE(z.ok(), fehler == Zahlfehler::Keiner);
    QCOMPARE(z.wert, wert);
}

void TestZahlentest::gleitzahl_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Zahlfehler>("fehler");
    QTest::addColumn<double>("wert");

    const auto ok = Zahlfehler::Keiner;
    const auto typ = Zahlfehler::Typfehler;

    QTest::newRow("ganz") << "de"
                          << "4000" << ok << 4000.0;
    QTest::newRow("Bruch deutsch") << "de"
                                   << " 325,5 " << ok << 325.5;
    QTest::newRow("Bruch englisch") << "en"
                                    << "325.5" << ok << 325.5;
    QTest::newRow("negativ") << "de"
                             << "-12,25" << ok << -12.25;
    QTest::newRow("nur Bruch") << "de"
                               << ",25" << ok << 0.25;
    QTest::newRow("Trenner hinten") << "de"
                                    << "7," << ok << 7.0;
    QTest::newRow("Punkt deutsch") << "de"
                                   << "325.5" << typ << 0.0;
    QTest::newRow("Komma englisch") << "en"
                                    << "325,5" << typ << 0.0;
    QTest::newRow("leer") << "de"
                          << "" << typ << 0.0;
    QTest::newRow("Blanks") << "de"
                            << "  " << typ << 0.0;
    QTest::newRow("Buchstaben") << "de"
                                << "abc" << typ << 0.0;
    QTest::newRow("einzelnes Minus") << "de"
                                     << "-" << typ << 0.0;
    // Beyond 32 bits is still a number here.
    QTest::newRow("elf Ziffern") << "de"
                                 << "12345678901" << ok << 12345678901.0;
    QTest::newRow("jenseits double")
        << "de" << QString(400, QLatin1Char('9')) << Zahlfehler::Ueberlauf << 0.0;
    QTest::newRow("unter double") << "C"
                                  << QStringLiteral("0.") + QString(400, QLatin1Char('0')) +
                                         QStringLiteral("1")
                                  << ok << 0.0;
}

void TestZahlentest::gleitzahl() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(Zahlfehler, fehler);
    QFETCH(double, wert);

    const Gleitzahl g = GleitzahlAusText(text, LocaleNamens(locale));
    QCOMPARE(g.fehler, fehler);
    QCOMPARE(g.wert, wert);
    const std::optional<double> kurz = ZahlAusText(text, LocaleNamens(locale));
    QCOMPARE(kurz.has_value(), fehler == Zahlfehler::Keiner);
    if (kurz)
        QCOMPARE(*kurz, wert);
}

// A text the frequency check let through must not become a type error in the travel-time
// computation, and the other way round.
void TestZahlentest::gleitzahlUndGanzzahlAnnehmenDasselbe_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    for (const char *t : {"300", " -3 ", "12,5", ",5", "5,", "12.5", "1e3", "", "-", "x", "1 2",
                          "99999999999", "+,0"}) {
        QTest::addRow("de '%s'", t) << "de" << QString::fromUtf8(t);
        QTest::addRow("en '%s'", t) << "en" << QString::fromUtf8(t);
    }
}

void TestZahlentest::gleitzahlUndGanzzahlAnnehmenDasselbe() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    const QLocale l = LocaleNamens(locale);
    QCOMPARE(GleitzahlAusText(text, l).fehler == Zahlfehler::Typfehler,
             GanzzahlAusText(text, l).fehler == Zahlfehler::Typfehler);
}

void TestZahlentest::rundeHalbGerade_data() {
    QTest::addColumn<double>("wert");
    QTest::addColumn<qint64>("ergebnis");

    QTest::newRow("5.5") << 5.5 << qint64(6);
    QTest::newRow("6.5") << 6.5 << qint64(6);
    QTest::newRow("0.5") << 0.5 << qint64(0);
    QTest::newRow("1.5") << 1.5 << qint64(2);
    QTest::newRow("-0.5") << -0.5 << qint64(0);
    QTest::newRow("-1.5") << -1.5 << qint64(-2);
    QTest::newRow("-2.5") << -2.5 << qint64(-2);
    QTest::newRow("5.4999") << 5.4999 << qint64(5);
    QTest::newRow("5.5001") << 5.5001 << qint64(6);
    QTest::newRow("-5.5001") << -5.5001 << qint64(-6);
    QTest::newRow("79") << 79.0 << qint64(79);
    QTest::newRow("239.5") << 239.5 << qint64(240);
    QTest::newRow("2^53+2") << 9007199254740994.0 << qint64(9007199254740994LL);
    QTest::newRow("zu groß") << 1e300 << std::numeric_limits<qint64>::max();
    QTest::newRow("zu klein") << -1e300 << std::numeric_limits<qint64>::min();
    QTest::newRow("2^63") << 9223372036854775808.0 << std::numeric_limits<qint64>::max();
    QTest::newRow("-2^63") << -9223372036854775808.0 << std::numeric_limits<qint64>::min();
    QTest::newRow("unendlich") << std::numeric_limits<double>::infinity()
                               << std::numeric_limits<qint64>::max();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
}

void TestZahlentest::rundeHalbGerade() {
    QFETCH(double, wert);
    QFETCH(qint64, ergebnis);
    QCOMPARE(RundeHalbGerade(wert), ergebnis);
}

// Without a locale argument the conversion follows the program's default locale.
void TestZahlentest::standardLocaleIstDieDesProgramms() {
    const QLocale vorher;
    QLocale::setDefault(Deutsch());
    const Ganzzahl komma = GanzzahlAusText(QStringLiteral("13,5"));
    const Ganzzahl punkt = GanzzahlAusText(QStringLiteral("13.5"));
    QLocale::setDefault(Englisch());
    const Ganzzahl punktEnglisch = GanzzahlAusText(QStringLiteral("13.5"));
    QLocale::setDefault(vorher);

    QCOMPARE(komma.wert, 14);
    QCOMPARE(punkt.fehler, Zahlfehler::Typfehler);
    QCOMPARE(punktEnglisch.wert, 14);
}

QTEST_GUILESS_MAIN(TestZahlentest)
#include "tst_zahlentest.moc"
