// The change checks of the main window's number fields without the window: which texts are
// refused and reset, and what the two frequency fields do to the ramp graph and the travel
// times, including the order in which a window applies it and the re-run that a reset causes.
#include "ramp/Feldpruefung.h"

#include <QMap>
#include <QTest>

Q_DECLARE_METATYPE(Feld)

namespace {

QLocale Deutsch() {
    return QLocale(QLocale::German, QLocale::Germany);
}

QString Kurz(const std::optional<bool> &b) {
    return b ? (*b ? QStringLiteral("an") : QStringLiteral("aus")) : QStringLiteral("-");
}

QString Kurz(const std::optional<QString> &t) {
    return t ? *t : QStringLiteral("-");
}

// Just enough of a main window to apply the plans the way the real one does: field texts whose
// change runs the field's check at once, the graph elements and the five time labels.
struct Fenster {
    QLocale locale = Deutsch();
    bool startAbgeschlossen = true;
    QMap<Feld, QString> felder{
        {Feld::Programmdurchlaeufe, "1"}, {Feld::Programmpause, "10"},
        {Feld::Befehlspause, "10"},       {Feld::Startfrequenz, "300"},
        {Feld::Maximalfrequenz, "4000"},  {Feld::Satzdurchlaeufe, "1"},
        {Feld::Satzpause, "10"},
    };
    QString schritte = QStringLiteral("5000");
    int rampe = 1;
    QMap<QString, bool> sichtbar;
    QMap<QString, QString> beschriftung;
    QStringList meldungen;
    int rampenlaeufe = 0;

    void setzeText(Feld feld, const QString &text) {
        if (felder.value(feld) == text)
            return; // no change, no check
        felder[feld] = text;
        Pruefe(feld);
    }

    void Anwenden(const RampenErgebnis &e) {
        for (const auto &[name, a] : LabelAenderungen(e)) {
            if (a.sichtbar)
                sichtbar[name] = *a.sichtbar;
            if (a.text)
                beschriftung[name] = *a.text;
        }
    }

    void Pruefe(Feld feld) {
        const Pruefplan plan =
            IstFrequenzfeld(feld)
                ? PruefeFrequenzfeld(feld, felder.value(Feld::Startfrequenz),
                                     felder.value(Feld::Maximalfrequenz), startAbgeschlossen,
                                     locale)
                : PruefeEinfachesFeld(feld, felder.value(feld), startAbgeschlossen, locale);
        if (plan.flankenSichtbar) {
            for (const QString &name : Flankenelemente())
                sichtbar[name] = *plan.flankenSichtbar;
        }
        if (plan.grafikMaximalfrequenzText)
            beschriftung[QStringLiteral("LabelGrafikMaximalfrequenz")] =
                *plan.grafikMaximalfrequenzText;
        if (plan.grafikStartfrequenzText)
            beschriftung[QStringLiteral("LabelGrafikStartfrequenz")] =
                *plan.grafikStartfrequenzText;
        bool melden = plan.meldenUndZuruecksetzen;
        if (plan.rampeBerechnen) {
            ++rampenlaeufe;
            const RampenErgebnis e =
                BerechneRampe(felder.value(Feld::Startfrequenz),
                              felder.value(Feld::Maximalfrequenz), schritte, rampe, locale);
            Anwenden(e);
            melden = plan.NachRampeMelden(e.ende);
        }
        if (melden) {
            meldungen << EingabefehlerTitel() + QStringLiteral(": ") + EingabefehlerText();
            setzeText(feld, plan.ruecksetztext);
        }
    }

    bool flanken() const {
        bool alle = true;
        bool keins = true;
        for (const QString &name : Flankenelemente()) {
            alle = alle && sichtbar.value(name, false);
            keins = keins && !sichtbar.value(name, false);
        }
        Q_ASSERT(alle || keins);
        return alle;
    }
};

} // namespace

class TestFeldpruefung : public QObject {
    Q_OBJECT

private slots:
    void felder_data();
    void felder();
    void meldung();
    void einfachesFeld_data();
    void einfachesFeld();
    void frequenzfeld_data();
    void frequenzfeld();
    void nachRampeMelden_data();
    void nachRampeMelden();

    void fensterEinfacheFelder();
    void fensterMaximalNichtUeberStart();
    void fensterBeschriftungNurVomMaximalfeld();
    void fensterAndereFrequenzLeer();
    void fensterAndereFrequenzZuGross();
    void fenster13000Hz();
    void fensterVorDemStart();
};

void TestFeldpruefung::felder_data() {
    QTest::addColumn<Feld>("feld");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ruecksetztext");
    QTest::addColumn<bool>("frequenz");
    QTest::newRow("Programmdurchläufe")
        << Feld::Programmdurchlaeufe << QStringLiteral("TextProgrammdurchläufe") << "1" << false;
    QTest::newRow("Programmpause") << Feld::Programmpause << "TextProgrammpause"
                                   << "10" << false;
    QTest::newRow("Befehlspause") << Feld::Befehlspause << "TextBefehlspause"
                                  << "10" << false;
    QTest::newRow("Startfrequenz") << Feld::Startfrequenz << "TextStartfrequenz"
                                   << "300" << true;
    QTest::newRow("Maximalfrequenz") << Feld::Maximalfrequenz << "TextMaximalfrequenz"
                                     << "4000" << true;
    QTest::newRow("Satzdurchläufe")
        << Feld::Satzdurchlaeufe << QStringLiteral("TextSatzdurchläufe") << "1" << false;
    QTest::newRow("Satzpause") << Feld::Satzpause << "TextSatzpause"
                               << "10" << false;
}

void TestFeldpruefung::felder() {
    QFETCH(Feld, feld);
    QFETCH(QString, name);
    QFETCH(QString, ruecksetztext);
    QFETCH(bool, frequenz);
    QCOMPARE(Feldname(feld), name);
    QCOMPARE(FeldAusName(name), std::optional<Feld>(feld));
    QCOMPARE(Ruecksetztext(feld), ruecksetztext);
    QCOMPARE(IstFrequenzfeld(feld), frequenz);
    QCOMPARE(PruefeEinfachesFeld(feld, QStringLiteral("x"), true).ruecksetztext, ruecksetztext);
}

void TestFeldpruefung::meldung() {
    QCOMPARE(EingabefehlerText(), QStringLiteral("Nur Ganzzahlen gültig !"));
    QCOMPARE(EingabefehlerTitel(), QStringLiteral("Eingabefehler"));
    QCOMPARE(Flankenelemente(), QStringList({"Line2", "Line3", "Line4", "Line8", "Line9",
                                             "LabelGrafikMaximalfrequenz"}));
    QVERIFY(!FeldAusName(QStringLiteral("TextProgrammdurchlaeufe")));
}

void TestFeldpruefung::einfachesFeld_data() {
    QTest::addColumn<Feld>("feld");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("startAbgeschlossen");
    QTest::addColumn<bool>("melden");

    QTest::newRow("Buchstabe in Satzpause") << Feld::Satzpause << "a" << true << true;
    QTest::newRow("Buchstabe vor dem Start") << Feld::Satzpause << "a" << false << false;
    QTest::newRow("einzelnes Minus") << Feld::Satzdurchlaeufe << "-" << true << true;
    QTest::newRow("Ziffern und Buchstabe") << Feld::Programmpause << "12a" << true << true;
    QTest::newRow("nur Blanks") << Feld::Befehlspause << "  " << true << true;
    QTest::newRow("Punkt im Deutschen") << Feld::Befehlspause << "12.7" << true << true;
    QTest::newRow("leer") << Feld::Programmdurchlaeufe << "" << true << false;
    QTest::newRow("Bruch mit Komma") << Feld::Befehlspause << "12,7" << true << false;
    QTest::newRow("elf Ziffern") << Feld::Programmpause << "12345678901" << true << false;
    QTest::newRow("600") << Feld::Satzdurchlaeufe << "600" << true << false;
    QTest::newRow("negativ") << Feld::Satzpause << "-3" << true << false;
    QTest::newRow("Blanks um die Zahl") << Feld::Programmdurchlaeufe << " 7 " << true << false;
}

void TestFeldpruefung::einfachesFeld() {
    QFETCH(Feld, feld);
    QFETCH(QString, text);
    QFETCH(bool, startAbgeschlossen);
    QFETCH(bool, melden);
    const Pruefplan plan = PruefeEinfachesFeld(feld, text, startAbgeschlossen, Deutsch());
    QCOMPARE(plan.feld, feld);
    QCOMPARE(plan.meldenUndZuruecksetzen, melden);
    QCOMPARE(plan.ruecksetztext, Ruecksetztext(feld));
    QVERIFY(!plan.rampeBerechnen);
    QVERIFY(!plan.flankenSichtbar);
    QVERIFY(!plan.grafikMaximalfrequenzText);
    QVERIFY(!plan.grafikStartfrequenzText);
}

void TestFeldpruefung::frequenzfeld_data() {
    QTest::addColumn<Feld>("feld");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("maximal");
    QTest::addColumn<bool>("startAbgeschlossen");
    QTest::addColumn<QString>("flanken");
    QTest::addColumn<QString>("grafikMaximal");
    QTest::addColumn<QString>("grafikStart");
    QTest::addColumn<bool>("rampe");
    QTest::addColumn<bool>("melden");

    const Feld S = Feld::Startfrequenz;
    const Feld M = Feld::Maximalfrequenz;

    QTest::newRow("Maximal über Start, Maximalfeld") << M << "300"
                                                     << "4000" << true << "an"
                                                     << "4000 Hz"
                                                     << "-" << true << false;
    QTest::newRow("Maximal über Start, Startfeld") << S << "300"
                                                   << "4000" << true << "an"
                                                   << "-"
                                                   << "300 Hz" << true << false;
    QTest::newRow("gleich, Maximalfeld") << M << "1000"
                                         << "1000" << true << "aus"
                                         << "-"
                                         << "-" << true << false;
    QTest::newRow("gleich, Startfeld") << S << "1000"
                                       << "1000" << true << "aus"
                                       << "-"
                                       << "1000 Hz" << true << false;
    QTest::newRow("Maximal unter Start, Startfeld") << S << "5000"
                                                    << "300" << true << "aus"
                                                    << "-"
                                                    << "5000 Hz" << true << false;
    // The captions take the texts as typed.
    QTest::newRow("Text wie getippt") << M << "300"
                                      << " 4000,4 " << true << "an"
                                      << " 4000,4  Hz"
                                      << "-" << true << false;
    // The graph compares the rounded whole numbers.
    QTest::newRow("gerundet gleich") << M << "300,4"
                                     << "300,2" << true << "aus"
                                     << "-"
                                     << "-" << true << false;
    QTest::newRow("13000") << M << "300"
                           << "13000" << true << "an"
                           << "13000 Hz"
                           << "-" << true << false;

    // A failed conversion ends the check before the graph.
    QTest::newRow("eigenes Feld Buchstaben") << M << "300"
                                             << "40x" << true << "-"
                                             << "-"
                                             << "-" << false << true;
    QTest::newRow("eigenes Feld Buchstaben vor dem Start") << S << "x"
                                                           << "4000" << false << "-"
                                                           << "-"
                                                           << "-" << false << false;
    QTest::newRow("eigenes Feld leer") << S << ""
                                       << "4000" << true << "-"
                                       << "-"
                                       << "-" << false << false;
    QTest::newRow("anderes Feld leer, eigenes nicht") << M << ""
                                                      << "4000" << true << "-"
                                                      << "-"
                                                      << "-" << false << true;
    QTest::newRow("anderes Feld Buchstaben, Startfeld") << S << "300"
                                                        << "abc" << true << "-"
                                                        << "-"
                                                        << "-" << false << true;
    QTest::newRow("beide leer") << S << ""
                                << "" << true << "-"
                                << "-"
                                << "-" << false << false;
    QTest::newRow("eigenes Feld zu groß") << M << "300"
                                          << "99999999999" << true << "-"
                                          << "-"
                                          << "-" << false << false;
    QTest::newRow("anderes Feld zu groß") << M << "99999999999"
                                          << "4000" << true << "-"
                                          << "-"
                                          << "-" << false << false;
    // The maximal frequency is converted first; its overflow ends the check before the start
    // field's letters are looked at.
    QTest::newRow("Maximal zu groß, Start Buchstaben") << S << "abc"
                                                       << "99999999999" << true << "-"
                                                       << "-"
                                                       << "-" << false << false;
    QTest::newRow("Maximal Buchstaben, Start zu groß") << S << "99999999999"
                                                       << "abc" << true << "-"
                                                       << "-"
                                                       << "-" << false << true;
}

void TestFeldpruefung::frequenzfeld() {
    QFETCH(Feld, feld);
    QFETCH(QString, start);
    QFETCH(QString, maximal);
    QFETCH(bool, startAbgeschlossen);
    QFETCH(QString, flanken);
    QFETCH(QString, grafikMaximal);
    QFETCH(QString, grafikStart);
    QFETCH(bool, rampe);
    QFETCH(bool, melden);

    const Pruefplan plan = PruefeFrequenzfeld(feld, start, maximal, startAbgeschlossen, Deutsch());
    QCOMPARE(plan.feld, feld);
    QCOMPARE(Kurz(plan.flankenSichtbar), flanken);
    QCOMPARE(Kurz(plan.grafikMaximalfrequenzText), grafikMaximal);
    QCOMPARE(Kurz(plan.grafikStartfrequenzText), grafikStart);
    QCOMPARE(plan.rampeBerechnen, rampe);
    QCOMPARE(plan.meldenUndZuruecksetzen, melden);
    QCOMPARE(plan.ruecksetztext, Ruecksetztext(feld));
    QVERIFY(!(plan.rampeBerechnen && plan.meldenUndZuruecksetzen));
}

void TestFeldpruefung::nachRampeMelden_data() {
    QTest::addColumn<Feld>("feld");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("maximal");
    QTest::addColumn<bool>("startAbgeschlossen");
    QTest::addColumn<RampenEnde>("ende");
    QTest::addColumn<bool>("melden");
    const Feld S = Feld::Startfrequenz;
    const Feld M = Feld::Maximalfrequenz;
    QTest::newRow("Typfehler") << S << "300"
                               << "4000" << true << RampenEnde::Typfehler << true;
    QTest::newRow("Typfehler vor dem Start") << S << "300"
                                             << "4000" << false << RampenEnde::Typfehler << false;
    QTest::newRow("anderer Fehler") << M << "300"
                                    << "13000" << true << RampenEnde::AndererFehler << false;
    QTest::newRow("fertig") << M << "300"
                            << "4000" << true << RampenEnde::Fertig << false;
    // Without a ramp run there is nothing to report afterwards.
    QTest::newRow("kein Lauf") << M << "300"
                               << "x" << true << RampenEnde::Typfehler << false;
}

void TestFeldpruefung::nachRampeMelden() {
    QFETCH(Feld, feld);
    QFETCH(QString, start);
    QFETCH(QString, maximal);
    QFETCH(bool, startAbgeschlossen);
    QFETCH(RampenEnde, ende);
    QFETCH(bool, melden);
    const Pruefplan plan = PruefeFrequenzfeld(feld, start, maximal, startAbgeschlossen, Deutsch());
    QCOMPARE(plan.NachRampeMelden(ende), melden);
}

void TestFeldpruefung::fensterEinfacheFelder() {
    Fenster f;
    f.setzeText(Feld::Satzpause, QStringLiteral("1a"));
    QCOMPARE(f.meldungen, QStringList{"Eingabefehler: Nur Ganzzahlen gültig !"});
    QCOMPARE(f.felder.value(Feld::Satzpause), QStringLiteral("10"));

    f.meldungen.clear();
    f.setzeText(Feld::Satzdurchlaeufe, QStringLiteral("-"));
    QCOMPARE(f.meldungen.size(), 1);
    QCOMPARE(f.felder.value(Feld::Satzdurchlaeufe), QStringLiteral("1"));

    f.meldungen.clear();
    f.setzeText(Feld::Programmdurchlaeufe, QString());
    f.setzeText(Feld::Befehlspause, QStringLiteral("12,7"));
    f.setzeText(Feld::Programmpause, QStringLiteral("12345678901"));
    f.setzeText(Feld::Satzdurchlaeufe, QStringLiteral("600"));
    QVERIFY(f.meldungen.isEmpty());
    QCOMPARE(f.felder.value(Feld::Programmdurchlaeufe), QString());
    QCOMPARE(f.felder.value(Feld::Befehlspause), QStringLiteral("12,7"));
    QCOMPARE(f.felder.value(Feld::Programmpause), QStringLiteral("12345678901"));
    QCOMPARE(f.felder.value(Feld::Satzdurchlaeufe), QStringLiteral("600"));
    QCOMPARE(f.rampenlaeufe, 0);
}

void TestFeldpruefung::fensterMaximalNichtUeberStart() {
    Fenster f;
    f.setzeText(Feld::Maximalfrequenz, QStringLiteral("4001"));
    QVERIFY(f.flanken());
    QCOMPARE(f.sichtbar.value("LabelBeschleunigungszeit"), true);
    QCOMPARE(f.sichtbar.value("LabelBremszeit"), true);

    f.setzeText(Feld::Maximalfrequenz, QStringLiteral("300"));
    QVERIFY(!f.flanken());
    QCOMPARE(f.sichtbar.value("LabelBeschleunigungszeit"), false);
    QCOMPARE(f.sichtbar.value("LabelBremszeit"), false);
    QCOMPARE(f.sichtbar.value("LabelGesamtzeit"), true);

    f.setzeText(Feld::Maximalfrequenz, QStringLiteral("200"));
    QVERIFY(!f.flanken());
    QCOMPARE(f.sichtbar.value("LabelBeschleunigungszeit"), false);
    QCOMPARE(f.sichtbar.value("LabelMaximalfrequenzWarnung"), false);
    QCOMPARE(f.sichtbar.value("LabelFrequenzVorschlag"), false);
    QVERIFY(f.meldungen.isEmpty());
}

// The maximal caption is written only by the maximal field and only while it is above the
// start; lowering the start shows the label with the caption last written.
void TestFeldpruefung::fensterBeschriftungNurVomMaximalfeld() {
    Fenster f;
    f.setzeText(Feld::Maximalfrequenz, QStringLiteral("3000"));
    QCOMPARE(f.beschriftung.value("LabelGrafikMaximalfrequenz"), QStringLiteral("3000 Hz"));
    f.setzeText(Feld::Startfrequenz, QStringLiteral("2500"));
    QCOMPARE(f.beschriftung.value("LabelGrafikStartfrequenz"), QStringLiteral("2500 Hz"));
    f.setzeText(Feld::Maximalfrequenz, QStringLiteral("2000")); // below the start
    QVERIFY(!f.flanken());
    QCOMPARE(f.beschriftung.value("LabelGrafikMaximalfrequenz"), QStringLiteral("3000 Hz"));
    f.setzeText(Feld::Startfrequenz, QStringLiteral("500"));
    QVERIFY(f.flanken());
    QCOMPARE(f.beschriftung.value("LabelGrafikMaximalfrequenz"), QStringLiteral("3000 Hz"));
    QCOMPARE(f.beschriftung.value("LabelGrafikStartfrequenz"), QStringLiteral("500 Hz"));
    QVERIFY(f.meldungen.isEmpty());
}

// While one frequency field is empty, a change of the other one is refused and that other
// field is reset; the reset runs the check again, which fails the same way.
void TestFeldpruefung::fensterAndereFrequenzLeer() {
    Fenster f;
    f.setzeText(Feld::Startfrequenz, QString());
    QVERIFY(f.meldungen.isEmpty());

    f.setzeText(Feld::Maximalfrequenz, QStringLiteral("5000"));
    QCOMPARE(f.meldungen.size(), 2);
    QCOMPARE(f.felder.value(Feld::Maximalfrequenz), QStringLiteral("4000"));
    QCOMPARE(f.felder.value(Feld::Startfrequenz), QString());

    // When the reset does not change the text, there is no second run.
    f.meldungen.clear();
    f.felder[Feld::Maximalfrequenz] = QStringLiteral("400");
    f.setzeText(Feld::Maximalfrequenz, QStringLiteral("4000"));
    QCOMPARE(f.meldungen.size(), 1);
}

// While one frequency field holds a number beyond 32 bits, changes of the other one update
// neither the graph nor the times, and say nothing.
void TestFeldpruefung::fensterAndereFrequenzZuGross() {
    Fenster f;
    f.setzeText(Feld::Maximalfrequenz, QStringLiteral("99999999999"));
    const int laeufe = f.rampenlaeufe;
    const auto sichtbar = f.sichtbar;
    const auto beschriftung = f.beschriftung;
    f.setzeText(Feld::Startfrequenz, QStringLiteral("5"));
    f.setzeText(Feld::Startfrequenz, QStringLiteral("50"));
    QVERIFY(f.meldungen.isEmpty());
    QCOMPARE(f.rampenlaeufe, laeufe);
    QCOMPARE(f.sichtbar, sichtbar);
    QCOMPARE(f.beschriftung, beschriftung);
}

void TestFeldpruefung::fenster13000Hz() {
    Fenster f;
    f.setzeText(Feld::Maximalfrequenz, QStringLiteral("13000"));
    QVERIFY(f.meldungen.isEmpty());
    QCOMPARE(f.felder.value(Feld::Maximalfrequenz), QStringLiteral("13000"));
    QVERIFY(f.flanken());
    QCOMPARE(f.beschriftung.value("LabelGrafikMaximalfrequenz"), QStringLiteral("13000 Hz"));
    QCOMPARE(f.rampenlaeufe, 1);
}

// Before start-up has finished nothing is reported or reset, but the graph and the times are
// still brought up to date from numbers.
void TestFeldpruefung::fensterVorDemStart() {
    Fenster f;
    f.startAbgeschlossen = false;
    f.setzeText(Feld::Startfrequenz, QStringLiteral("abc"));
    QVERIFY(f.meldungen.isEmpty());
    QCOMPARE(f.felder.value(Feld::Startfrequenz), QStringLiteral("abc"));
    QCOMPARE(f.rampenlaeufe, 0);

    f.setzeText(Feld::Startfrequenz, QStringLiteral("400"));
    QCOMPARE(f.rampenlaeufe, 1);
    QCOMPARE(f.beschriftung.value("LabelGrafikStartfrequenz"), QStringLiteral("400 Hz"));
    QVERIFY(f.flanken());
}

QTEST_GUILESS_MAIN(TestFeldpruefung)
#include "tst_feldpruefung.moc"
