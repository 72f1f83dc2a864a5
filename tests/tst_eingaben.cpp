// What the operator types, checked without windows: number test, field checks, step counts,
// direct-control input, ramp tables and travel times. Tables list "input;result" (see Faelle).
#include "dialogs/Handbefehle.h"
#include "model/NamesData.h"
#include "ramp/Feldpruefung.h"
#include "ramp/Rampe.h"
#include "ramp/Zahlentest.h"

#include "Testdaten.h"

#include <QTest>

#include <map>

namespace {

const QLocale de(QLocale::German, QLocale::Germany);
const QString riesig(400, QLatin1Char('9'));

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
        .join(QLatin1Char('/'));
}

// Acceleration, braking, total, warning and suggestion, joined by '/': "an"/"aus" for a
// visibility set, "-" for none, then the caption when one is set ("aus 74 ms" is a hidden label
// whose caption was written). verborgen: the three times shown hidden.
QString Labels(const RampenErgebnis &e, bool verborgen = false) {
    QStringList teile;
    for (const LabelAenderung *a : {&e.beschleunigungszeit, &e.bremszeit, &e.gesamtzeit,
                                    &e.maximalfrequenzWarnung, &e.frequenzVorschlag})
        teile << ((verborgen && teile.size() < 3) || (a->sichtbar && !*a->sichtbar) ? "aus"
                  : a->sichtbar                                                     ? "an"
                                                                                    : "-") +
                     (a->text ? " " + *a->text : QString());
    return teile.join('/');
}

} // namespace

class TestEingaben : public QObject {
    Q_OBJECT

private slots:
    void zahlen();
    void feldpruefung();
    void schritte();
    void tabelle();
    void handpruefung();
    void berechneRampe();
};

// Whole numbers in German unless a third column names the locale ("-": none given, the
// program's default locale, German here, applies); a number, or the error
// ("Typ", "Ueber"; "!n" would be a value left behind by a failed conversion). Fractions with
// the locale's separator, rounded half to even on the digits as written; the other separator
// is none, thousands separators are not taken; the 32-bit range after rounding.
void TestEingaben::zahlen() {
    const auto Fehlertext = [](Zahlfehler f) {
        return f == Zahlfehler::Typfehler ? "Typ" : "Ueber";
    };
    QLocale::setDefault(de);
    QStringList ist, soll;
    for (const QStringList &fall :
         Faelle("4000;4000|13,5;14;-|13.5;Typ;-| \t300\t ;300|+12;12|  -12 "
                ";-12|\u22125;-5;sv_SE|12,4;12|12,7;13|12,5;12|"
                "13,5;14|12,5000001;13|-12,5;-12|-13,5;-14|,5;0|,6;1|5,;5|13.5;14;en_US|12.5;Typ|"
                "1,000;Typ;en_US|1,2,3;Typ|;Typ|   ;Typ|-;Typ|,;Typ|300a;Typ|3 00;Typ|- 3;Typ|"
                "+-3;Typ|1e3;Typ;en_US|99999999999x;Typ|2147483647;2147483647|"
                "-2147483648;-2147483648|2147483648;Ueber|-2147483649;Ueber|2147483647,5;Ueber|"
                "-2147483648,5;-2147483648|-2147483648,6;Ueber|9999999999;Ueber|"
                "00000002147483647;2147483647|" +
                riesig + ";Ueber")) {
        const Ganzzahl z = fall.value(2) == "-"
                               ? GanzzahlAusText(fall[0])
                               : GanzzahlAusText(fall[0], fall.size() > 2 ? QLocale(fall[2]) : de);
        ist << fall[0] + ";" +
                   (z.fehler == Zahlfehler::Keiner
                        ? QString::number(z.wert)
                        : Fehlertext(z.fehler) +
                              (z.wert ? "!" + QString::number(z.wert) : QString()));
        soll << fall[0] + ";" + fall[1];
    }
    QLocale::setDefault(QLocale::c());
    // Floating numbers: the same text rules, the range of double.
    for (const QStringList &fall :
         Faelle(" 325,5 ;325.5|325.5;325.5;en_US|-12,25;-12.25|,25;0.25|325.5;Typ|"
                "12345678901;12345678901|" +
                riesig + ";Ueber|0." + QString(400, QLatin1Char('0')) + "1;0;en_US")) {
        const QLocale locale = fall.size() > 2 ? QLocale(fall[2]) : de;
        const Gleitzahl g = GleitzahlAusText(fall[0], locale);
        const std::optional<double> zahl = ZahlAusText(fall[0], locale);
        const bool gut = g.fehler == Zahlfehler::Keiner;
        ist << fall[0] + ";" + (gut ? QString::number(g.wert, 'g', 15) : Fehlertext(g.fehler)) +
                   (zahl != (gut ? std::optional(g.wert) : std::nullopt) || (!gut && g.wert)
                        ? " uneinig"
                        : "");
        soll << fall[0] + ";" + fall[1];
    }
    QCOMPARE(ist, soll);
}

// German locale throughout. Cases: field, text, maximal (frequency fields; the text is then
// the start frequency), start-up finished (1/0), plan.
void TestEingaben::feldpruefung() {
    // Only a type error in a non-empty field after start-up is refused.
    QString tabelle = "Satzpause;a;;1;-/-/-/melden/10|Satzpause;a;;0;-/-/-/nichts/10|"
                      "Satzdurchläufe;-;;1;-/-/-/melden/1|Programmpause;12a;;1;-/-/-/melden/10|"
                      "Befehlspause;  ;;1;-/-/-/melden/10|Befehlspause;12.7;;1;-/-/-/melden/10|"
                      "Programmdurchläufe;;;1;-/-/-/nichts/1|Befehlspause;12,7;;1;-/-/-/nichts/10|"
                      "Programmpause;12345678901;;1;-/-/-/nichts/10|"
                      "Satzpause;-3;;1;-/-/-/nichts/10|";
    // Frequency fields: the graph, then the ramp run. The maximal caption only from the maximal
    // field and only while above the start; captions as typed; the graph compares the rounded
    // whole numbers. Before start-up nothing is reported, but graph and times follow numbers.
    tabelle += "Maximalfrequenz;300;4000;1;an/4000 Hz/-/Rampe, melden/4000|"
               "Startfrequenz;300;4000;1;an/-/300 Hz/Rampe, melden/300|"
               "Maximalfrequenz;1000;1000;1;aus/-/-/Rampe, melden/4000|"
               "Startfrequenz;5000;300;1;aus/-/5000 Hz/Rampe, melden/300|"
               "Maximalfrequenz;300; 4000,4 ;1;an/ 4000,4  Hz/-/Rampe, melden/4000|"
               "Maximalfrequenz;300,4;300,2;1;aus/-/-/Rampe, melden/4000|"
               "Startfrequenz;400;4000;0;an/-/400 Hz/Rampe/300|";
    // The first failed conversion, maximal first, ends the check before the graph.
    tabelle +=
        "Maximalfrequenz;300;40x;1;-/-/-/melden/4000|Startfrequenz;x;4000;0;-/-/-/nichts/300|"
        "Startfrequenz;;4000;1;-/-/-/nichts/300|Maximalfrequenz;;4000;1;-/-/-/melden/4000|"
        "Maximalfrequenz;300;99999999999;1;-/-/-/nichts/4000|"
        "Maximalfrequenz;99999999999;4000;1;-/-/-/nichts/4000|"
        "Startfrequenz;abc;99999999999;1;-/-/-/nichts/300|"
        "Startfrequenz;99999999999;abc;1;-/-/-/melden/300";
    QStringList ist, soll;
    for (const QStringList &fall : Faelle(tabelle)) {
        const std::optional<Feld> feld = FeldAusName("Text" + fall[0]);
        QVERIFY2(feld && Feldname(*feld) == "Text" + fall[0], qPrintable(fall[0]));
        const bool fertig = fall[3] == "1";
        const Pruefplan p = IstFrequenzfeld(*feld)
                                ? PruefeFrequenzfeld(*feld, fall[1], fall[2], fertig, de)
                                : PruefeEinfachesFeld(*feld, fall[1], fertig, de);
        QCOMPARE(p.feld, *feld);
        QVERIFY(!(p.rampeBerechnen && p.meldenUndZuruecksetzen));
        // Only a type error of the run is reported afterwards.
        QVERIFY(!p.NachRampeMelden(RampenEnde::Fertig));
        QVERIFY(!p.NachRampeMelden(RampenEnde::AndererFehler));
        ist << fall.mid(0, 4).join(';') + ";" + Kurz(p);
        soll << fall.join(';');
    }
    QCOMPARE(ist, soll);
}

// Step counts in ten-thousandths: read (L; "-": refused), written (S; no thousands separator,
// the cell text reads back as the number, as the travel times need), and what typing in a cell
// is (E; G: valid, U: unfinished, X: invalid).
void TestEingaben::schritte() {
    QStringList ist, soll;
    for (const QStringList &fall :
         Faelle("L;5000;50000000;en_US|L;12,5;125000|L;12.500;-|L;1,000;-;en_US|L;;-;en_US|"
                "L;2.12344;21234;en_US|L;2.12346;21235;en_US|L;123456789.1234;1234567891234;en_US|"
                "L;-900000000000;-9000000000000000;en_US|L;900000000000.001;-;en_US|"
                "S;123456780000;12345678|S;123455000;12345,5|S;123451234;12345.1234;en_US|"
                "S;-5000;-0,5|E;;G;en_US|E;27,6;G|E;-;U;en_US|E;,;U|E;27.6;X|E;27a;X;en_US|"
                "E;9999999999999999;X;en_US")) {
        const QLocale locale = fall.size() > 3 ? QLocale(fall[3]) : de;
        const std::optional<qint64> wert = NamesData::ausText(fall[1], locale);
        const QString text = NamesData::alsText(fall[1].toLongLong(), locale);
        const NamesData::Eingabe e = NamesData::PruefeEingabe(fall[1], locale);
        ist << fall.mid(0, 2).join(';') + ";" +
                   (fall[0] == "L" ? (wert ? QString::number(*wert) : "-")
                    : fall[0] == "S"
                        ? text + (NamesData::ausText(text, locale) == fall[1].toLongLong()
                                      ? ""
                                      : " liest sich anders")
                    : e == NamesData::Eingabe::Gueltig  ? "G"
                    : e == NamesData::Eingabe::Unfertig ? "U"
                                                        : "X");
        soll << fall.mid(0, 3).join(';');
    }
    QCOMPARE(ist, soll);
}

// The table: a number in the blank row adds a block, anything else is refused, an existing
// cell can be emptied, at most 20 blocks by typing. Each step: the row, then the text typed.
void TestEingaben::tabelle() {
    QLocale::setDefault(QLocale::c());
    NamesData daten(5000);
    QString ist = daten.objectName() + " " + QString::number(daten.rowCount()) + " ";
    for (const char *schritt :
         {"0abc", "1abc", "0-", "1-", "01e3", "11e3", "05 000", "15 000", "1", "1250.75", "0"}) {
        if (schritt[0] == '0' && !schritt[1])
            ist += " " + daten.zellText(0) + "/" + daten.zellText(1) + " ";
        ist += daten.setData(daten.index(schritt[0] - '0', 0), QString(schritt + 1)) ? 'j' : 'n';
    }
    ist += " " + QString::number(daten.tabellenzeilen()) + " " + daten.zellText(0);
    QCOMPARE(ist, QString("Names 2 nnnnnnnnnj 5000/250.75 j 2 "));
    while (daten.tabellenzeilen() < 20)
        QVERIFY(daten.setData(daten.index(daten.tabellenzeilen(), 0), QStringLiteral("7")));
    QVERIFY(daten.flags(daten.index(19, 0)) & Qt::ItemIsEditable);
    QVERIFY(!(daten.flags(daten.index(20, 0)) & Qt::ItemIsEditable));
}

// German locale: rapid travel to the left (code 5..239, steps 0..16777215 after rounding) and
// the reference run to the right (100..600 Hz, no steps). Cases: frequency, steps ("R" for
// the reference run), the command's bytes or the message it is refused with.
void TestEingaben::handpruefung() {
    const std::map<QString, QString> meldungen{{"klein", Handmeldung::FrequenzZuKlein},
                                               {"gross", Handmeldung::FrequenzZuGross},
                                               {"keineZahl", Handmeldung::FrequenzKeineZahl},
                                               {"Schritte", Handmeldung::SchritteAusserhalb},
                                               {"niedrig", Handmeldung::ReferenzZuNiedrig},
                                               {"hoch", Handmeldung::ReferenzZuHoch}};
    QStringList ist, soll;
    for (const QStringList &fall : Faelle(
             "275,9;1;30 5 1 0 0|275,0;1;klein|12024,9;1;30 239 1 0 0|12025,0;1;gross|"
             "1.000;1;keineZahl|100;zehn;klein|" +
             riesig + ";1;gross|-" + riesig +
             ";1;klein|1000;1000,5;30 19 232 3 0|1000;1001,5;30 19 234 3 0|1000;-0,4;30 19 0 0 0|"
             "1000;16777215;30 19 255 255 255|1000;16777215,5;Schritte|99,5;R;niedrig|"
             "100,0;R;6 1 2|275;R;6 4 2|600,0;R;6 11 2|600,01;R;hoch|" +
             riesig + ";R;hoch")) {
        const bool referenz = fall[1] == "R";
        const Handpruefung p = referenz
                                   ? ReferenzfahrtPruefen(Fahrtrichtung::Rechts, fall[0], de)
                                   : EilgangPruefen(Fahrtrichtung::Links, fall[0], fall[1], de);
        QStringList bytes;
        if (p.befehl) {
            for (const Befehlsschritt &s : *p.befehl)
                if (s.art == Befehlsschritt::Art::Byte)
                    bytes << QString::number(s.wert);
            // The reference run's three start bytes follow one another with no pause.
            if (referenz && p.befehl->size() != 3)
                bytes << "mit Pausen";
        }
        ist << fall.mid(0, 2).join(';') + ";" + bytes.join(' ') + p.meldung;
        soll << fall.mid(0, 2).join(';') + ";" +
                    (meldungen.count(fall[2]) ? meldungen.at(fall[2]) : fall[2]);
    }
    QCOMPARE(ist, soll);
}

// Cases: start, maximal, steps, ramp option, end of the run (F: done, T: type error,
// A: other error), steps of the full ramp (-1: the run did not get that far), the labels, and
// a locale other than en_US.
void TestEingaben::berechneRampe() {
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
        QCOMPARE(Labels(ZeitenBeiFehlerVerbergen(e)), Labels(e, e.fehler()));
    }
    QCOMPARE(ist, soll);
}

QTEST_GUILESS_MAIN(TestEingaben)
#include "tst_eingaben.moc"
