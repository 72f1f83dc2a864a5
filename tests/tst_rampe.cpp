// Ramp tables and travel times: the table, the times and captions of typical blocks, the
// warning and suggestion, and inputs outside what can be computed.
#include "ramp/Rampe.h"

#include <QTest>

Q_DECLARE_METATYPE(RampenEnde)

namespace {

// One label's change in short: "an"/"aus" for a visibility set, "-" for none, then the
// caption when one is set. "aus 74 ms" is a hidden label whose caption was written.
QString Kurz(const LabelAenderung &a) {
    QString s = a.sichtbar ? (*a.sichtbar ? QStringLiteral("an") : QStringLiteral("aus"))
                           : QStringLiteral("-");
    if (a.text)
        s += QLatin1Char(' ') + *a.text;
    return s;
}

// Acceleration, braking, total, warning and suggestion, joined by '|'.
QString Labels(const RampenErgebnis &e) {
    QStringList teile;
    for (const LabelAenderung *a : {&e.beschleunigungszeit, &e.bremszeit, &e.gesamtzeit,
                                    &e.maximalfrequenzWarnung, &e.frequenzVorschlag})
        teile << Kurz(*a);
    return teile.join(QLatin1Char('|'));
}

const RampenEnde F = RampenEnde::Fertig;
const RampenEnde T = RampenEnde::Typfehler;
const RampenEnde A = RampenEnde::AndererFehler;

// n: steps of the full ramp, -1 when the run did not get that far.
void zeile(const char *name, const QString &start, const QString &maximal, const QString &schritte,
           int rampe, RampenEnde ende, int n, const char *labels, const char *locale = "en_US") {
    QTest::newRow(name) << QLocale(QString::fromLatin1(locale)) << start << maximal << schritte
                        << rampe << ende << n << QString::fromUtf8(labels);
}

} // namespace

class TestRampe : public QObject {
    Q_OBJECT

private slots:
    void tabelle_data();
    void tabelle();
    void berechneRampe_data();
    void berechneRampe();
};

// Steps per level for the four divisors; -1: outside the table.
void TestRampe::tabelle_data() {
    QTest::addColumn<int>("i");
    QTest::addColumn<QList<int>>("werte"); // divisors 20, 8, 4, 2
    QTest::newRow("-1") << -1 << QList<int>{-1, -1, -1, -1};
    QTest::newRow("0") << 0 << QList<int>{1, 1, 1, 1};
    QTest::newRow("5") << 5 << QList<int>{1, 1, 1, 3};
    QTest::newRow("19") << 19 << QList<int>{1, 2, 5, 10};
    QTest::newRow("38") << 38 << QList<int>{1, 4, 9, 19};
    QTest::newRow("39") << 39 << QList<int>{2, 5, 10, 20};
    QTest::newRow("159") << 159 << QList<int>{8, 20, 40, 80};
    QTest::newRow("239") << 239 << QList<int>{12, 30, 60, 120};
    QTest::newRow("240") << 240 << QList<int>{-1, -1, -1, -1};
}

void TestRampe::tabelle() {
    QFETCH(int, i);
    QFETCH(QList<int>, werte);
    QList<int> ist;
    for (int teiler : {20, 8, 4, 2})
        ist << int(RampenTabelle(teiler).eintrag(i).value_or(-1));
    QCOMPARE(ist, werte);
}

void TestRampe::berechneRampe_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("maximal");
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<int>("rampe");
    QTest::addColumn<RampenEnde>("ende");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("labels");

    // Defaults of a new block with each ramp.
    zeile("Vorgabe Rampe 1", "300", "4000", "5000", 1, F, 276,
          "an 74 ms|an 1.26 s|an 1.33 s|aus|aus");
    zeile("Vorgabe Rampe 2", "300", "4000", "5000", 2, F, 744,
          "an 170 ms|an 1.23 s|an 1.40 s|aus|aus");
    zeile("Vorgabe Rampe 3", "300", "4000", "5000", 3, F, 1556,
          "an 354 ms|an 1.22 s|an 1.57 s|aus|aus");
    zeile("Vorgabe Rampe 4", "300", "4000", "5000", 4, F, 3188,
          "an 737 ms|an 1.19 s|an 1.93 s|aus|aus");
    zeile("Vorgabe Rampe 1 deutsch", "300", "4000", "5000", 1, F, 276,
          "an 74 ms|an 1,26 s|an 1,33 s|aus|aus", "de_DE");

    // Around the full ramp. Braking's unit follows the total time, acceleration's its own.
    zeile("genau 276", "300", "4000", "276", 1, F, 276, "an 74 ms|an 74 ms|an 148 ms|aus|aus");
    zeile("Bremse unter 1 s in s", "300", "4000", "3188", 4, F, 3188,
          "an 737 ms|an 0.74 s|an 1.47 s|aus|aus");
    // Not reached: the highest level whose ramp fits, minus 100 Hz.
    zeile("275", "300", "4000", "275", 1, F, 276, "aus 74 ms|aus|aus|an|an Vorschlag: 3850 Hz");
    zeile("268", "300", "4000", "268", 1, F, 276, "aus 74 ms|aus|aus|an|an Vorschlag: 3850 Hz");
    zeile("267", "300", "4000", "267", 1, F, 276, "aus 74 ms|aus|aus|an|an Vorschlag: 3800 Hz");
    zeile("200", "300", "4000", "200", 1, F, 276, "aus 74 ms|aus|aus|an|an Vorschlag: 3250 Hz");
    zeile("2", "300", "4000", "2", 1, F, 276, "aus 74 ms|aus|aus|an|an Vorschlag: 200 Hz");
    zeile("1", "300", "4000", "1", 1, F, 276, "aus 74 ms|aus|aus|an|an Vorschlag: 150 Hz");
    zeile("0", "300", "4000", "0", 1, F, 276, "aus 74 ms|aus|aus|an|an Vorschlag: 150 Hz");

    // Start and maximal equal (no table needed), maximal below start, empty grid cell.
    zeile("gleich", "1000", "1000", "5000", 1, F, 0, "aus|aus 5.00 s|an 5.00 s|aus|aus");
    zeile("gleich, ohne Tausendertrenner", "1000", "1000", "5000000", 1, F, 0,
          "aus|aus 5000.00 s|an 5000.00 s|aus|aus");
    zeile("gleich, keine Option", "1000", "1000", "5000", 0, F, 0,
          "aus|aus 5.00 s|an 5.00 s|aus|aus");
    zeile("Maximal unter Start", "4000", "300", "5000", 1, F, -1, "aus|aus|an|aus|aus");
    zeile("leere Zelle, sonst nichts gelesen", "abc", "", "", 0, F, -1, "aus|aus|aus|aus|aus");

    // The ends of the table.
    zeile("300 bis 12000, Rampe 4", "300", "12000", "100000", 4, F, 28788,
          "an 2.33 s|an 8.27 s|an 10.60 s|aus|aus");
    zeile("25 Hz ist Stufe 0", "25", "100", "5000", 1, F, 4,
          "an 30 ms|an 49.99 s|an 50.02 s|aus|aus");
    zeile("12024 Hz ist Stufe 239", "300", "12024", "100000", 4, F, 28788,
          "an 2.33 s|an 8.25 s|an 10.59 s|aus|aus");

    // Half levels: the sums start at the rounded level, comparisons use the unrounded one.
    zeile("325 Hz beginnt bei Stufe 6", "325", "4000", "5000", 1, F, 274,
          "an 71 ms|an 1.25 s|an 1.32 s|aus|aus");
    zeile("375 Hz beginnt bei Stufe 6", "375", "4000", "5000", 1, F, 274,
          "an 71 ms|an 1.25 s|an 1.32 s|aus|aus");
    zeile("326 nach 325", "326", "325", "5000", 1, F, -1, "aus|aus|an|aus|aus");
    zeile("325 nach 326", "325", "326", "2", 1, F, 2, "an 3 ms|an 3 ms|an 6 ms|aus|aus");

    // Not numbers: the run ends where the text is first needed.
    zeile("Start keine Zahl", "abc", "4000", "5000", 1, T, -1, "-|-|an|aus|aus");
    zeile("Maximal keine Zahl", "300", "40x0", "5000", 1, T, -1, "-|-|an|aus|aus");
    zeile("Schritte keine Zahl", "300", "4000", "abc", 1, T, 276, "an 74 ms|an|an|aus|aus");

    // Outside the computation's domain; nothing is read outside a table.
    const QString riesig(400, QLatin1Char('9'));
    zeile("13000 Hz", "300", "13000", "5000", 1, A, -1, "an|an|an|aus|aus");
    zeile("12025 Hz ist Stufe 240", "300", "12025", "5000", 4, A, -1, "an|an|an|aus|aus");
    zeile("Start 24 Hz", "24", "4000", "5000", 1, A, -1, "an|an|an|aus|aus");
    zeile("Maximal jenseits 64 Bit", "300", "1000000000000000000000", "5000", 1, A, -1,
          "an|an|an|aus|aus");
    zeile("Maximal jenseits double", "300", riesig, "5000", 1, A, -1, "-|-|an|aus|aus");
    zeile("keine Option", "300", "4000", "5000", 0, A, -1, "an|an|an|aus|aus");
    zeile("Rampe 5", "300", "4000", "5000", 5, A, -1, "an|an|an|aus|aus");
    zeile("Schritte negativ", "300", "4000", "-5", 1, A, 276, "an 74 ms|an|an|aus|aus");
    zeile("Schritte jenseits double", "300", "4000", riesig, 1, A, 276, "an 74 ms|an|an|aus|aus");
    zeile("beide 0 Hz", "0", "0", "5000", 1, A, 0, "aus|aus|an|aus|aus");
}

void TestRampe::berechneRampe() {
    QFETCH(QLocale, locale);
    QFETCH(QString, start);
    QFETCH(QString, maximal);
    QFETCH(QString, schritte);
    QFETCH(int, rampe);
    QFETCH(RampenEnde, ende);
    QFETCH(int, n);
    QFETCH(QString, labels);

    const RampenErgebnis e = BerechneRampe(start, maximal, schritte, rampe, locale);
    QCOMPARE(e.ende, ende);
    QCOMPARE(e.rampenschritte.value_or(-1), n);
    QCOMPARE(Labels(e), labels);
    QVERIFY(!e.maximalfrequenzWarnung.text); // its caption belongs to the layout

    // The callers other than the frequency fields hide the times of a failed run, and only then.
    RampenErgebnis verborgen = e;
    if (e.fehler()) {
        for (LabelAenderung *a :
             {&verborgen.beschleunigungszeit, &verborgen.bremszeit, &verborgen.gesamtzeit})
            a->sichtbar = false;
    }
    QCOMPARE(Labels(ZeitenBeiFehlerVerbergen(e)), Labels(verborgen));
}

QTEST_GUILESS_MAIN(TestRampe)
#include "tst_rampe.moc"
