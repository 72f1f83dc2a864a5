// What the operator types, checked without windows: the number test of the entry fields, the
// change checks of the main window's number fields, the grid's step counts, and the input of
// the direct-control windows.
#include "dialogs/Handbefehle.h"
#include "model/NamesData.h"
#include "ramp/Feldpruefung.h"
#include "ramp/Zahlentest.h"

#include <QTest>

#include <limits>
#include <optional>

Q_DECLARE_METATYPE(Zahlfehler)
Q_DECLARE_METATYPE(Feld)
Q_DECLARE_METATYPE(std::optional<qint64>)
Q_DECLARE_METATYPE(NamesData::Eingabe)

namespace {

const QLocale de(QLocale::German, QLocale::Germany);
const QLocale en(QLocale::English, QLocale::UnitedStates);
const QString riesig(400, QLatin1Char('9'));
constexpr int groesste = std::numeric_limits<int>::max();
constexpr int kleinste = std::numeric_limits<int>::min();

// A check's plan in short: flanks, maximal caption, start caption ("-" where unset), then what
// follows ("Rampe" / "Rampe, melden" when the run's type error is reported / "melden" /
// "nichts"), then the text the field is set back to.
QString Kurz(const Pruefplan &p) {
    const QString folge =
        p.rampeBerechnen ? (p.NachRampeMelden(RampenEnde::Typfehler) ? "Rampe, melden" : "Rampe")
        : p.meldenUndZuruecksetzen ? "melden"
                                   : "nichts";
    return QStringList{p.flankenSichtbar ? (*p.flankenSichtbar ? "an" : "aus") : "-",
                       p.grafikMaximalfrequenzText.value_or("-"),
                       p.grafikStartfrequenzText.value_or("-"), folge, p.ruecksetztext}
        .join(QLatin1Char('|'));
}

void pruefzeile(const char *name, Feld feld, const char *text, const char *maximal,
                bool abgeschlossen, const char *plan) {
    QTest::newRow(name) << feld << QString::fromUtf8(text) << QString::fromUtf8(maximal)
                        << abgeschlossen << QString::fromUtf8(plan);
}

QByteArray bytes(std::initializer_list<int> werte) {
    QByteArray b;
    for (int w : werte)
        b.append(char(w));
    return b;
}

// erwartet: the command's bytes, or empty when refused with the message.
void handzeile(const char *name, bool referenz, const QString &frequenz, const char *schritte,
               const QByteArray &erwartet, const QString &meldung = {}) {
    QTest::newRow(name) << referenz << frequenz << QString::fromUtf8(schritte) << erwartet
                        << meldung;
}

} // namespace

class TestEingaben : public QObject {
    Q_OBJECT

private slots:
    void ganzzahl_data();
    void ganzzahl();
    void gleitzahl_data();
    void gleitzahl();
    void rundeHalbGerade_data();
    void rundeHalbGerade();
    void standardLocaleIstDieDesProgramms();

    void feldpruefung_data();
    void feldpruefung();

    void schritteAusText_data();
    void schritteAusText();
    void schritteAlsText_data();
    void schritteAlsText();
    void zellEingabe_data();
    void zellEingabe();
    void tabelle();

    void handpruefung_data();
    void handpruefung();
};

void TestEingaben::ganzzahl_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Zahlfehler>("fehler");
    QTest::addColumn<int>("wert");

    const auto ok = Zahlfehler::Keiner;
    const auto typ = Zahlfehler::Typfehler;
    const auto ueber = Zahlfehler::Ueberlauf;

    QTest::newRow("Ziffern") << de << "4000" << ok << 4000;
    QTest::newRow("Blanks und Tabulator") << de << " \t300\t " << ok << 300;
    QTest::newRow("Plus") << de << "+12" << ok << 12;
    QTest::newRow("Blanks und Minus") << de << "  -12 " << ok << -12;
    QTest::newRow("Minus der Locale") << QLocale(QLocale::Swedish) << "\u22125" << ok << -5;

    // Fractions with the locale's separator, rounded half to even on the digits as written.
    QTest::newRow("12,4") << de << "12,4" << ok << 12;
    QTest::newRow("12,7") << de << "12,7" << ok << 13;
    QTest::newRow("12,5") << de << "12,5" << ok << 12;
    QTest::newRow("13,5") << de << "13,5" << ok << 14;
    QTest::newRow("12,50") << de << "12,50" << ok << 12;
    QTest::newRow("12,5000001") << de << "12,5000001" << ok << 13;
    QTest::newRow("-12,5") << de << "-12,5" << ok << -12;
    QTest::newRow("-13,5") << de << "-13,5" << ok << -14;
    QTest::newRow(",5") << de << ",5" << ok << 0;
    QTest::newRow(",6") << de << ",6" << ok << 1;
    QTest::newRow("5,") << de << "5," << ok << 5;
    QTest::newRow("13.5 englisch") << en << "13.5" << ok << 14;

    // The other separator is no decimal separator, and thousands separators are not taken.
    QTest::newRow("12.5 deutsch") << de << "12.5" << typ << 0;
    QTest::newRow("1,000 englisch") << en << "1,000" << typ << 0;
    QTest::newRow("zwei Trenner") << de << "1,2,3" << typ << 0;

    // Not a number at all.
    QTest::newRow("leer") << de << "" << typ << 0;
    QTest::newRow("nur Blanks") << de << "   " << typ << 0;
    QTest::newRow("einzelnes Minus") << de << "-" << typ << 0;
    QTest::newRow("nur Trenner") << de << "," << typ << 0;
    QTest::newRow("Buchstabe hinter Ziffern") << de << "300a" << typ << 0;
    QTest::newRow("Blank zwischen Ziffern") << de << "3 00" << typ << 0;
    QTest::newRow("Blank hinter Vorzeichen") << de << "- 3" << typ << 0;
    QTest::newRow("zwei Vorzeichen") << de << "+-3" << typ << 0;
    QTest::newRow("Exponent") << en << "1e3" << typ << 0;
    QTest::newRow("Buchstabe hinter Riesenzahl") << de << "99999999999x" << typ << 0;

    // The 32-bit range, after rounding.
    QTest::newRow("größte") << de << "2147483647" << ok << groesste;
    QTest::newRow("kleinste") << de << "-2147483648" << ok << kleinste;
    QTest::newRow("eins über größte") << de << "2147483648" << ueber << 0;
    QTest::newRow("eins unter kleinste") << de << "-2147483649" << ueber << 0;
    QTest::newRow("größte,5 rundet hinaus") << de << "2147483647,5" << ueber << 0;
    QTest::newRow("kleinste,5 rundet auf gerade") << de << "-2147483648,5" << ok << kleinste;
    QTest::newRow("kleinste,6 rundet hinaus") << de << "-2147483648,6" << ueber << 0;
    QTest::newRow("zehn Ziffern") << de << "9999999999" << ueber << 0;
    QTest::newRow("elf Ziffern") << de << "12345678901" << ueber << 0;
    QTest::newRow("Nullen vorn") << de << "00000002147483647" << ok << groesste;
    QTest::newRow("sehr lang") << de << riesig << ueber << 0;
}

void TestEingaben::ganzzahl() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(Zahlfehler, fehler);
    QFETCH(int, wert);
    const Ganzzahl z = GanzzahlAusText(text, locale);
    QCOMPARE(z.fehler, fehler);
    QCOMPARE(z.wert, wert);
}

void TestEingaben::gleitzahl_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Zahlfehler>("fehler");
    QTest::addColumn<double>("wert");

    const auto ok = Zahlfehler::Keiner;
    QTest::newRow("Bruch deutsch") << de << " 325,5 " << ok << 325.5;
    QTest::newRow("Bruch englisch") << en << "325.5" << ok << 325.5;
    QTest::newRow("negativ") << de << "-12,25" << ok << -12.25;
    QTest::newRow("nur Bruch") << de << ",25" << ok << 0.25;
    QTest::newRow("Punkt deutsch") << de << "325.5" << Zahlfehler::Typfehler << 0.0;
    QTest::newRow("elf Ziffern") << de << "12345678901" << ok << 12345678901.0;
    QTest::newRow("jenseits double") << de << riesig << Zahlfehler::Ueberlauf << 0.0;
    QTest::newRow("unter double") << en << "0." + QString(400, QLatin1Char('0')) + "1" << ok << 0.0;
}

void TestEingaben::gleitzahl() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(Zahlfehler, fehler);
    QFETCH(double, wert);
    const Gleitzahl g = GleitzahlAusText(text, locale);
    QCOMPARE(g.fehler, fehler);
    QCOMPARE(g.wert, wert);
    QCOMPARE(ZahlAusText(text, locale),
             fehler == Zahlfehler::Keiner ? std::optional(wert) : std::nullopt);
}

void TestEingaben::rundeHalbGerade_data() {
    QTest::addColumn<double>("wert");
    QTest::addColumn<qint64>("ergebnis");
    const qint64 max = std::numeric_limits<qint64>::max();
    const qint64 min = std::numeric_limits<qint64>::min();
    QTest::newRow("5.5") << 5.5 << qint64(6);
    QTest::newRow("6.5") << 6.5 << qint64(6);
    QTest::newRow("-1.5") << -1.5 << qint64(-2);
    QTest::newRow("-2.5") << -2.5 << qint64(-2);
    QTest::newRow("5.5001") << 5.5001 << qint64(6);
    QTest::newRow("2^53+2") << 9007199254740994.0 << qint64(9007199254740994LL);
    QTest::newRow("2^63") << 9223372036854775808.0 << max;
    QTest::newRow("-2^63") << -9223372036854775808.0 << min;
    QTest::newRow("zu klein") << -1e300 << min;
    QTest::newRow("unendlich") << std::numeric_limits<double>::infinity() << max;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
}

void TestEingaben::rundeHalbGerade() {
    QFETCH(double, wert);
    QFETCH(qint64, ergebnis);
    QCOMPARE(RundeHalbGerade(wert), ergebnis);
}

// Without a locale argument the conversion follows the program's default locale.
void TestEingaben::standardLocaleIstDieDesProgramms() {
    const QLocale vorher;
    QLocale::setDefault(de);
    const Ganzzahl komma = GanzzahlAusText(QStringLiteral("13,5"));
    const Ganzzahl punkt = GanzzahlAusText(QStringLiteral("13.5"));
    QLocale::setDefault(vorher);
    QCOMPARE(komma.wert, 14);
    QCOMPARE(punkt.fehler, Zahlfehler::Typfehler);
}

// German locale throughout. Plain fields: text is the field's text, maximal unused.
void TestEingaben::feldpruefung_data() {
    QTest::addColumn<Feld>("feld");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("maximal");
    QTest::addColumn<bool>("abgeschlossen");
    QTest::addColumn<QString>("plan");

    // Only a type error in a non-empty field after start-up is refused.
    pruefzeile("Buchstabe", Feld::Satzpause, "a", "", true, "-|-|-|melden|10");
    pruefzeile("Buchstabe vor dem Start", Feld::Satzpause, "a", "", false, "-|-|-|nichts|10");
    pruefzeile("Minus allein", Feld::Satzdurchlaeufe, "-", "", true, "-|-|-|melden|1");
    pruefzeile("Ziffern und Buchstabe", Feld::Programmpause, "12a", "", true, "-|-|-|melden|10");
    pruefzeile("nur Blanks", Feld::Befehlspause, "  ", "", true, "-|-|-|melden|10");
    pruefzeile("Punkt im Deutschen", Feld::Befehlspause, "12.7", "", true, "-|-|-|melden|10");
    pruefzeile("leer", Feld::Programmdurchlaeufe, "", "", true, "-|-|-|nichts|1");
    pruefzeile("Bruch mit Komma", Feld::Befehlspause, "12,7", "", true, "-|-|-|nichts|10");
    pruefzeile("elf Ziffern", Feld::Programmpause, "12345678901", "", true, "-|-|-|nichts|10");
    pruefzeile("negativ", Feld::Satzpause, "-3", "", true, "-|-|-|nichts|10");

    // Frequency fields (text: the start frequency): the graph, then the ramp run. The maximal
    // caption only from the maximal field and only while above the start; captions as typed;
    // the graph compares the rounded whole numbers.
    const Feld S = Feld::Startfrequenz;
    const Feld M = Feld::Maximalfrequenz;
    pruefzeile("über Start, Maximalfeld", M, "300", "4000", true,
               "an|4000 Hz|-|Rampe, melden|4000");
    pruefzeile("über Start, Startfeld", S, "300", "4000", true, "an|-|300 Hz|Rampe, melden|300");
    pruefzeile("gleich, Maximalfeld", M, "1000", "1000", true, "aus|-|-|Rampe, melden|4000");
    pruefzeile("unter Start, Startfeld", S, "5000", "300", true, "aus|-|5000 Hz|Rampe, melden|300");
    pruefzeile("Text wie getippt", M, "300", " 4000,4 ", true,
               "an| 4000,4  Hz|-|Rampe, melden|4000");
    pruefzeile("gerundet gleich", M, "300,4", "300,2", true, "aus|-|-|Rampe, melden|4000");
    // Before start-up nothing is reported, but the graph and the times follow numbers.
    pruefzeile("vor dem Start", S, "400", "4000", false, "an|-|400 Hz|Rampe|300");

    // The first failed conversion, maximal first, ends the check before the graph.
    pruefzeile("eigenes Feld Buchstaben", M, "300", "40x", true, "-|-|-|melden|4000");
    pruefzeile("eigenes Feld Buchstaben vor dem Start", S, "x", "4000", false, "-|-|-|nichts|300");
    pruefzeile("eigenes Feld leer", S, "", "4000", true, "-|-|-|nichts|300");
    pruefzeile("anderes Feld leer", M, "", "4000", true, "-|-|-|melden|4000");
    pruefzeile("eigenes Feld zu groß", M, "300", "99999999999", true, "-|-|-|nichts|4000");
    pruefzeile("anderes Feld zu groß", M, "99999999999", "4000", true, "-|-|-|nichts|4000");
    pruefzeile("Maximal zu groß, Start Buchstaben", S, "abc", "99999999999", true,
               "-|-|-|nichts|300");
    pruefzeile("Maximal Buchstaben, Start zu groß", S, "99999999999", "abc", true,
               "-|-|-|melden|300");
}

void TestEingaben::feldpruefung() {
    QFETCH(Feld, feld);
    QFETCH(QString, text);
    QFETCH(QString, maximal);
    QFETCH(bool, abgeschlossen);
    QFETCH(QString, plan);

    const Pruefplan p = IstFrequenzfeld(feld)
                            ? PruefeFrequenzfeld(feld, text, maximal, abgeschlossen, de)
                            : PruefeEinfachesFeld(feld, text, abgeschlossen, de);
    QCOMPARE(p.feld, feld);
    QCOMPARE(Kurz(p), plan);
    QVERIFY(!(p.rampeBerechnen && p.meldenUndZuruecksetzen));
    // Only a type error of the run is reported afterwards.
    QVERIFY(!p.NachRampeMelden(RampenEnde::Fertig));
    QVERIFY(!p.NachRampeMelden(RampenEnde::AndererFehler));
}

// Step counts in ten-thousandths.
void TestEingaben::schritteAusText_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint64>>("erwartet");

    const std::optional<qint64> keine;
    QTest::newRow("ganz") << en << "5000" << std::optional<qint64>(50000000);
    QTest::newRow("Bruch mit Komma") << de << "12,5" << std::optional<qint64>(125000);
    QTest::newRow("Punkt im Deutschen") << de << "12.500" << keine;
    QTest::newRow("Tausender") << en << "1,000" << keine;
    QTest::newRow("leer") << en << "" << keine;
    QTest::newRow("fünfte Stelle ab") << en << "2.12344" << std::optional<qint64>(21234);
    QTest::newRow("fünfte Stelle auf") << en << "2.12346" << std::optional<qint64>(21235);
    QTest::newRow("vier Stellen genau")
        << en << "123456789.1234" << std::optional<qint64>(Q_INT64_C(1234567891234));
    QTest::newRow("größte Zahl") << en << "-900000000000"
                                 << std::optional<qint64>(Q_INT64_C(-9000000000000000));
    QTest::newRow("zu groß") << en << "900000000000.001" << keine;
}

void TestEingaben::schritteAusText() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(std::optional<qint64>, erwartet);
    QCOMPARE(NamesData::ausText(text, locale), erwartet);
}

// The cell text is read back by the travel times: no thousands separator.
void TestEingaben::schritteAlsText_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint64>("wert");
    QTest::addColumn<QString>("text");
    QTest::newRow("groß ganz") << de << qint64(123456780000) << "12345678";
    QTest::newRow("groß mit Bruch") << de << qint64(123455000) << "12345,5";
    QTest::newRow("englisch mit Bruch") << en << qint64(123451234) << "12345.1234";
    QTest::newRow("negativ mit Bruch") << de << qint64(-5000) << "-0,5";
}

void TestEingaben::schritteAlsText() {
    QFETCH(QLocale, locale);
    QFETCH(qint64, wert);
    QFETCH(QString, text);
    QCOMPARE(NamesData::alsText(wert, locale), text);
    QCOMPARE(NamesData::ausText(text, locale), std::optional<qint64>(wert));
}

void TestEingaben::zellEingabe_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<NamesData::Eingabe>("erwartet");
    using E = NamesData::Eingabe;
    QTest::newRow("leer") << en << "" << E::Gueltig;
    QTest::newRow("Komma") << de << "27,6" << E::Gueltig;
    QTest::newRow("Minus allein") << en << "-" << E::Unfertig;
    QTest::newRow("Trenner allein") << de << "," << E::Unfertig;
    QTest::newRow("Punkt im Deutschen") << de << "27.6" << E::Ungueltig;
    QTest::newRow("Buchstabe") << en << "27a" << E::Ungueltig;
    QTest::newRow("zu groß") << en << "9999999999999999" << E::Ungueltig;
}

void TestEingaben::zellEingabe() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(NamesData::Eingabe, erwartet);
    QCOMPARE(NamesData::PruefeEingabe(text, locale), erwartet);
}

// The table: a number in the blank row adds a block, anything else is refused, at most 20
// blocks by typing and 31 rows in all.
void TestEingaben::tabelle() {
    QLocale::setDefault(QLocale::c());
    NamesData daten(5000);
    QCOMPARE(daten.objectName(), QStringLiteral("Names"));
    QCOMPARE(daten.rowCount(), 2);
    for (const char *text : {"abc", "-", "1e3", "5 000"}) {
        QVERIFY2(!daten.setData(daten.index(0, 0), QString::fromLatin1(text)), text);
        QVERIFY2(!daten.setData(daten.index(1, 0), QString::fromLatin1(text)), text);
    }
    QVERIFY(!daten.setData(daten.index(1, 0), QString()));
    QCOMPARE(daten.tabellenzeilen(), 1);
    QCOMPARE(daten.zellText(0), QStringLiteral("5000"));

    QVERIFY(daten.setData(daten.index(1, 0), QStringLiteral("250.75")));
    QCOMPARE(daten.tabellenzeilen(), 2);
    QCOMPARE(daten.zellText(1), QStringLiteral("250.75"));
    QVERIFY(daten.setData(daten.index(0, 0), QString())); // an existing cell can be emptied
    QCOMPARE(daten.zellText(0), QString());

    while (daten.tabellenzeilen() < 20)
        QVERIFY(daten.setData(daten.index(daten.tabellenzeilen(), 0), QStringLiteral("7")));
    QVERIFY(daten.flags(daten.index(19, 0)) & Qt::ItemIsEditable);
    QVERIFY(!(daten.flags(daten.index(20, 0)) & Qt::ItemIsEditable));
    for (int i = 20; i < 40; ++i)
        daten.setData(daten.index(daten.tabellenzeilen(), 0), QStringLiteral("7"));
    QCOMPARE(daten.tabellenzeilen(), 31);
}

// German locale: rapid travel (code 5..239, steps 0..16777215 after rounding) and the
// reference run (100..600 Hz).
void TestEingaben::handpruefung_data() {
    QTest::addColumn<bool>("referenz");
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<QByteArray>("erwartet");
    QTest::addColumn<QString>("meldung");

    handzeile("275,9", false, "275,9", "1", bytes({30, 5, 1, 0, 0}));
    handzeile("275,0", false, "275,0", "1", {}, Handmeldung::FrequenzZuKlein);
    handzeile("12024,9", false, "12024,9", "1", bytes({30, 239, 1, 0, 0}));
    handzeile("12025,0", false, "12025,0", "1", {}, Handmeldung::FrequenzZuGross);
    handzeile("Punkt ist kein Komma", false, "1.000", "1", {}, Handmeldung::FrequenzKeineZahl);
    handzeile("Frequenz vor Schritten", false, "100", "zehn", {}, Handmeldung::FrequenzZuKlein);
    handzeile("riesige Frequenz", false, riesig, "1", {}, Handmeldung::FrequenzZuGross);
    handzeile("riesige negative Frequenz", false, "-" + riesig, "1", {},
              Handmeldung::FrequenzZuKlein);
    handzeile("Schritte halb gerade ab", false, "1000", "1000,5", bytes({30, 19, 232, 3, 0}));
    handzeile("Schritte halb gerade auf", false, "1000", "1001,5", bytes({30, 19, 234, 3, 0}));
    handzeile("Schritte -0,4", false, "1000", "-0,4", bytes({30, 19, 0, 0, 0}));
    handzeile("Schritte 16777215", false, "1000", "16777215", bytes({30, 19, 255, 255, 255}));
    handzeile("Schritte 16777215,5", false, "1000", "16777215,5", {},
              Handmeldung::SchritteAusserhalb);

    handzeile("Referenz 99,5", true, "99,5", "", {}, Handmeldung::ReferenzZuNiedrig);
    handzeile("Referenz 100,0", true, "100,0", "", bytes({6, 1, 2}));
    handzeile("Referenz 275 halb gerade", true, "275", "", bytes({6, 4, 2}));
    handzeile("Referenz 600,0", true, "600,0", "", bytes({6, 11, 2}));
    handzeile("Referenz 600,01", true, "600,01", "", {}, Handmeldung::ReferenzZuHoch);
    handzeile("Referenz riesig", true, riesig, "", {}, Handmeldung::ReferenzZuHoch);
}

void TestEingaben::handpruefung() {
    QFETCH(bool, referenz);
    QFETCH(QString, frequenz);
    QFETCH(QString, schritte);
    QFETCH(QByteArray, erwartet);
    QFETCH(QString, meldung);
    const Handpruefung p = referenz ? ReferenzfahrtPruefen(Fahrtrichtung::Rechts, frequenz, de)
                                    : EilgangPruefen(Fahrtrichtung::Links, frequenz, schritte, de);
    QCOMPARE(p.meldung, meldung);
    QByteArray ist;
    if (p.befehl) {
        for (const Befehlsschritt &s : *p.befehl)
            if (s.art == Befehlsschritt::Art::Byte)
                ist.append(char(s.wert));
        // The reference run's three start bytes follow one another with no pause.
        if (referenz)
            QCOMPARE(p.befehl->size(), size_t(3));
    }
    QCOMPARE(ist, erwartet);
}

QTEST_GUILESS_MAIN(TestEingaben)
#include "tst_eingaben.moc"
