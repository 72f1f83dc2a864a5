// Ramp tables and travel times: the table, the times and captions of typical blocks, the
// warning and suggestion, and inputs outside what can be computed.
#include "ramp/Rampe.h"

#include "Testdaten.h"

#include <QTest>

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

// Acceleration, braking, total, warning and suggestion, joined by '/'.
QString Labels(const RampenErgebnis &e) {
    QStringList teile;
    for (const LabelAenderung *a : {&e.beschleunigungszeit, &e.bremszeit, &e.gesamtzeit,
                                    &e.maximalfrequenzWarnung, &e.frequenzVorschlag})
        teile << Kurz(*a);
    return teile.join(QLatin1Char('/'));
}

} // namespace

class TestRampe : public QObject {
    Q_OBJECT

private slots:
    void tabelle();
    void berechneRampe();
};

// Steps per level for the divisors 20, 8, 4, 2; -1: outside the table.
void TestRampe::tabelle() {
    QStringList ist;
    for (int i : {-1, 0, 5, 19, 38, 39, 159, 239, 240})
        for (int teiler : {20, 8, 4, 2})
            ist << QString::number(RampenTabelle(teiler).eintrag(i).value_or(-1));
    QCOMPARE(ist.join(' '), QString("-1 -1 -1 -1 1 1 1 1 1 1 1 3 1 2 5 10 1 4 9 19 2 5 10 20 8 20 "
                                    "40 80 12 30 60 120 -1 -1 -1 -1"));
}

// Cases: start, maximal, steps, ramp option, end of the run (F: done, T: type error,
// A: other error), steps of the full ramp (-1: the run did not get that far), the labels, and
// a locale other than en_US.
void TestRampe::berechneRampe() {
    const QString riesig(400, QLatin1Char('9'));
    // Defaults of a new block with each ramp.
    QString tabelle = "300;4000;5000;1;F;276;an 74 ms/an 1.26 s/an 1.33 s/aus/aus|"
                      "300;4000;5000;2;F;744;an 170 ms/an 1.23 s/an 1.40 s/aus/aus|"
                      "300;4000;5000;3;F;1556;an 354 ms/an 1.22 s/an 1.57 s/aus/aus|"
                      "300;4000;5000;4;F;3188;an 737 ms/an 1.19 s/an 1.93 s/aus/aus|"
                      "300;4000;5000;1;F;276;an 74 ms/an 1,26 s/an 1,33 s/aus/aus;de_DE|";
    // Around the full ramp. Braking's unit follows the total time, acceleration's its own.
    // Not reached: the highest level whose ramp fits, minus 100 Hz.
    tabelle += "300;4000;276;1;F;276;an 74 ms/an 74 ms/an 148 ms/aus/aus|"
               "300;4000;3188;4;F;3188;an 737 ms/an 0.74 s/an 1.47 s/aus/aus|"
               "300;4000;275;1;F;276;aus 74 ms/aus/aus/an/an Vorschlag: 3850 Hz|"
               "300;4000;268;1;F;276;aus 74 ms/aus/aus/an/an Vorschlag: 3850 Hz|"
               "300;4000;267;1;F;276;aus 74 ms/aus/aus/an/an Vorschlag: 3800 Hz|"
               "300;4000;200;1;F;276;aus 74 ms/aus/aus/an/an Vorschlag: 3250 Hz|"
               "300;4000;2;1;F;276;aus 74 ms/aus/aus/an/an Vorschlag: 200 Hz|"
               "300;4000;1;1;F;276;aus 74 ms/aus/aus/an/an Vorschlag: 150 Hz|"
               "300;4000;0;1;F;276;aus 74 ms/aus/aus/an/an Vorschlag: 150 Hz|";
    // Start and maximal equal (no table needed, no thousands separator), maximal below start,
    // an empty grid cell.
    tabelle += "1000;1000;5000;0;F;0;aus/aus 5.00 s/an 5.00 s/aus/aus|"
               "1000;1000;5000000;1;F;0;aus/aus 5000.00 s/an 5000.00 s/aus/aus|"
               "4000;300;5000;1;F;-1;aus/aus/an/aus/aus|abc;;;0;F;-1;aus/aus/aus/aus/aus|";
    // The ends of the table; half levels: the sums start at the rounded level, comparisons
    // use the unrounded one.
    tabelle +=
        "300;12000;100000;4;F;28788;an 2.33 s/an 8.27 s/an 10.60 s/aus/aus|"
        "25;100;5000;1;F;4;an 30 ms/an 49.99 s/an 50.02 s/aus/aus|"
        "300;12024;100000;4;F;28788;an 2.33 s/an 8.25 s/an 10.59 s/aus/aus|"
        "325;4000;5000;1;F;274;an 71 ms/an 1.25 s/an 1.32 s/aus/aus|"
        "375;4000;5000;1;F;274;an 71 ms/an 1.25 s/an 1.32 s/aus/aus|"
        "326;325;5000;1;F;-1;aus/aus/an/aus/aus|325;326;2;1;F;2;an 3 ms/an 3 ms/an 6 ms/aus/aus|";
    // Not numbers: the run ends where the text is first needed.
    tabelle += "abc;4000;5000;1;T;-1;-/-/an/aus/aus|300;40x0;5000;1;T;-1;-/-/an/aus/aus|"
               "300;4000;abc;1;T;276;an 74 ms/an/an/aus/aus|";
    // Outside the computation's domain; nothing is read outside a table.
    tabelle += "300;12025;5000;4;A;-1;an/an/an/aus/aus|24;4000;5000;1;A;-1;an/an/an/aus/aus|"
               "300;1000000000000000000000;5000;1;A;-1;an/an/an/aus/aus|300;" +
               riesig + ";5000;1;A;-1;-/-/an/aus/aus|" +
               "300;4000;5000;0;A;-1;an/an/an/aus/aus|300;4000;5000;5;A;-1;an/an/an/aus/aus|"
               "300;4000;-5;1;A;276;an 74 ms/an/an/aus/aus|300;4000;" +
               riesig + ";1;A;276;an 74 ms/an/an/aus/aus|0;0;5000;1;A;0;aus/aus/an/aus/aus";
    QStringList ist, soll;
    for (const QStringList &fall : Faelle(tabelle)) {
        const RampenErgebnis e = BerechneRampe(fall[0], fall[1], fall[2], fall[3].toInt(),
                                               QLocale(fall.value(7, "en_US")));
        const char *ende = e.ende == RampenEnde::Fertig      ? "F"
                           : e.ende == RampenEnde::Typfehler ? "T"
                                                             : "A";
        ist << fall.mid(0, 4).join(';') + ";" + ende + ";" +
                   QString::number(e.rampenschritte.value_or(-1)) + ";" + Labels(e);
        soll << fall.mid(0, 7).join(';');
        QVERIFY(!e.maximalfrequenzWarnung.text); // its caption belongs to the layout

        // The callers other than the frequency fields hide the times of a failed run, and
        // only then.
        RampenErgebnis verborgen = e;
        if (e.fehler()) {
            for (LabelAenderung *a :
                 {&verborgen.beschleunigungszeit, &verborgen.bremszeit, &verborgen.gesamtzeit})
                a->sichtbar = false;
        }
        QCOMPARE(Labels(ZeitenBeiFehlerVerbergen(e)), Labels(verborgen));
    }
    QCOMPARE(ist, soll);
}

QTEST_GUILESS_MAIN(TestRampe)
#include "tst_rampe.moc"
