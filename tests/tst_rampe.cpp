// Ramp tables and travel times: table rules, the times and captions of typical blocks, the
// warning and suggestion, and inputs outside what can be computed.
#include "ramp/Rampe.h"

#include <QTest>

Q_DECLARE_METATYPE(RampenEnde)

namespace {

QLocale LocaleNamens(const QString &name) {
    if (name == QLatin1String("de"))
        return QLocale(QLocale::German, QLocale::Germany);
    if (name == QLatin1String("en"))
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return QLocale::c();
}

// One label's change in short: "an"/"aus" for a visibility set, "-" for none, then the
// caption when one is set. "aus 1.26 s" is a hidden label whose caption was written.
QString Kurz(const LabelAenderung &a) {
    QString s = a.sichtbar ? (*a.sichtbar ? QStringLiteral("an") : QStringLiteral("aus"))
                           : QStringLiteral("-");
    if (a.text)
        s += QLatin1Char(' ') + *a.text;
    return s;
}

} // namespace

class TestRampe : public QObject {
    Q_OBJECT

private slots:
    void tabellenteiler_data();
    void tabellenteiler();
    void tabelle_data();
    void tabelle();
    void tabelleLaeufe_data();
    void tabelleLaeufe();
    void tabelleAusserhalb();
    void teilsummenAusserhalb();

    void berechneRampe_data();
    void berechneRampe();

    void vorschlag_data();
    void vorschlag();

    void zeitenBeiFehlerVerbergen_data();
    void zeitenBeiFehlerVerbergen();
    void labelnamen();
};

void TestRampe::tabellenteiler_data() {
    QTest::addColumn<int>("rampe");
    QTest::addColumn<int>("teiler"); // 0: none
    QTest::newRow("2ms") << 1 << 20;
    QTest::newRow("5ms") << 2 << 8;
    QTest::newRow("10ms") << 3 << 4;
    QTest::newRow("20ms") << 4 << 2;
    QTest::newRow("keine Option") << 0 << 0;
    QTest::newRow("5") << 5 << 0;
    QTest::newRow("-1") << -1 << 0;
}

void TestRampe::tabellenteiler() {
    QFETCH(int, rampe);
    QFETCH(int, teiler);
    QCOMPARE(Tabellenteiler(rampe).value_or(0), teiler);
}

void TestRampe::tabelle_data() {
    QTest::addColumn<int>("i");
    QTest::addColumn<int>("t20");
    QTest::addColumn<int>("t8");
    QTest::addColumn<int>("t4");
    QTest::addColumn<int>("t2");
    QTest::newRow("0") << 0 << 1 << 1 << 1 << 1;
    QTest::newRow("5") << 5 << 1 << 1 << 1 << 3;
    QTest::newRow("19") << 19 << 1 << 2 << 5 << 10;
    QTest::newRow("38") << 38 << 1 << 4 << 9 << 19;
    QTest::newRow("39") << 39 << 2 << 5 << 10 << 20;
    QTest::newRow("79") << 79 << 4 << 10 << 20 << 40;
    QTest::newRow("159") << 159 << 8 << 20 << 40 << 80;
    QTest::newRow("238") << 238 << 11 << 29 << 59 << 119;
    QTest::newRow("239") << 239 << 12 << 30 << 60 << 120;
}

void TestRampe::tabelle() {
    QFETCH(int, i);
    QFETCH(int, t20);
    QFETCH(int, t8);
    QFETCH(int, t4);
    QFETCH(int, t2);
    QCOMPARE(int(RampenTabelle(20).eintrag(i).value_or(-1)), t20);
    QCOMPARE(int(RampenTabelle(8).eintrag(i).value_or(-1)), t8);
    QCOMPARE(int(RampenTabelle(4).eintrag(i).value_or(-1)), t4);
    QCOMPARE(int(RampenTabelle(2).eintrag(i).value_or(-1)), t2);
}

// The runs of equal values: 1 for the first 2d - 1 entries, then each value v = 2 .. 240/d - 1
// for d entries, the last value 240/d only at the end.
void TestRampe::tabelleLaeufe_data() {
    QTest::addColumn<int>("teiler");
    for (int d : {20, 8, 4, 2})
        QTest::addRow("d=%d", d) << d;
}

void TestRampe::tabelleLaeufe() {
    QFETCH(int, teiler);
    const RampenTabelle tabelle(teiler);
    const auto &w = tabelle.werte();
    QList<QPair<int, int>> laeufe; // value, length
    for (qint16 v : w) {
        if (!laeufe.isEmpty() && laeufe.last().first == v)
            ++laeufe.last().second;
        else
            laeufe.append({v, 1});
    }
    QCOMPARE(laeufe.size(), 240 / teiler);
    QCOMPARE(laeufe.first(), qMakePair(1, 2 * teiler - 1));
    for (int k = 1; k + 1 < laeufe.size(); ++k)
        QCOMPARE(laeufe.at(k), qMakePair(k + 1, teiler));
    QCOMPARE(laeufe.last(), qMakePair(240 / teiler, 1));
}

void TestRampe::tabelleAusserhalb() {
    const RampenTabelle t(20);
    QVERIFY(!t.eintrag(-1));
    QVERIFY(!t.eintrag(240));
    QVERIFY(!t.eintrag(std::numeric_limits<qint64>::max()));
    QVERIFY(!t.eintrag(std::numeric_limits<qint64>::min()));
    // A divisor below 1 must not divide by zero.
    QCOMPARE(RampenTabelle(0).eintrag(9).value_or(-1), qint16(10));
}

void TestRampe::teilsummenAusserhalb() {
    const RampenTabelle t(20);
    QCOMPARE(Rampenschritte(t, 5, 79).value_or(-1), 276);
    QCOMPARE(Rampenschritte(t, 0, 239).value_or(-1),
             2 * (39 * 1 + 20 * (2 + 3 + 4 + 5 + 6 + 7 + 8 + 9 + 10 + 11) + 12));
    QCOMPARE(Rampenschritte(t, 6, 5).value_or(-1), 0);
    QVERIFY(!Rampenschritte(t, -1, 79));
    QVERIFY(!Rampenschritte(t, 5, 240));
    QVERIFY(!Beschleunigungszeit(t, -1, 79));
    QVERIFY(!Beschleunigungszeit(t, 5, 240));
    QCOMPARE(Beschleunigungszeit(t, 6, 5).value_or(-1), 0.0);
}

void TestRampe::berechneRampe_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("maximal");
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<int>("rampe");
    QTest::addColumn<RampenEnde>("ende");
    QTest::addColumn<int>("n"); // -1: not computed
    QTest::addColumn<QString>("beschleunigung");
    QTest::addColumn<QString>("bremse");
    QTest::addColumn<QString>("gesamt");
    QTest::addColumn<QString>("warnung");
    QTest::addColumn<QString>("vorschlag");

    const auto fertig = RampenEnde::Fertig;
    const auto typ = RampenEnde::Typfehler;
    const auto anders = RampenEnde::AndererFehler;

    // Defaults of a new block with each ramp.
    QTest::newRow("Vorgabe Rampe 1") << "en"
                                     << "300"
                                     << "4000"
                                     << "5000" << 1 << fertig << 276 << "an 74 ms"
                                     << "an 1.26 s"
                                     << "an 1.33 s"
                                     << "aus"
                                     << "aus";
    QTest::newRow("Vorgabe Rampe 2") << "en"
                                     << "300"
                                     << "4000"
                                     << "5000" << 2 << fertig << 744 << "an 170 ms"
                                     << "an 1.23 s"
                                     << "an 1.40 s"
                                     << "aus"
                                     << "aus";
    QTest::newRow("Vorgabe Rampe 3") << "en"
                                     << "300"
                                     << "4000"
                                     << "5000" << 3 << fertig << 1556 << "an 354 ms"
                                     << "an 1.22 s"
                                     << "an 1.57 s"
                                     << "aus"
                                     << "aus";
    QTest::newRow("Vorgabe Rampe 4") << "en"
                                     << "300"
                                     << "4000"
                                     << "5000" << 4 << fertig << 3188 << "an 737 ms"
                                     << "an 1.19 s"
                                     << "an 1.93 s"
                                     << "aus"
                                     << "aus";
    QTest::newRow("Vorgabe Rampe 1 C") << "C"
                                       << "300"
                                       << "4000"
                                       << "5000" << 1 << fertig << 276 << "an 74 ms"
                                       << "an 1.26 s"
                                       << "an 1.33 s"
                                       << "aus"
                                       << "aus";
    QTest::newRow("Vorgabe Rampe 1 deutsch") << "de"
                                             << "300"
                                             << "4000"
                                             << "5000" << 1 << fertig << 276 << "an 74 ms"
                                             << "an 1,26 s"
                                             << "an 1,33 s"
                                             << "aus"
                                             << "aus";
    QTest::newRow("Vorgabe Rampe 4 deutsch") << "de"
                                             << "300"
                                             << "4000"
                                             << "5000" << 4 << fertig << 3188 << "an 737 ms"
                                             << "an 1,19 s"
                                             << "an 1,93 s"
                                             << "aus"
                                             << "aus";

    // Step counts around the full ramp.
    QTest::newRow("genau 276") << "en"
                               << "300"
                               << "4000"
                               << "276" << 1 << fertig << 276 << "an 74 ms"
                               << "an 74 ms"
                               << "an 148 ms"
                               << "aus"
                               << "aus";
    // Braking's unit follows the total time, acceleration's its own.
    QTest::newRow("Bremsbeginn unter 1 s in s") << "en"
                                                << "300"
                                                << "4000"
                                                << "3188" << 4 << fertig << 3188 << "an 737 ms"
                                                << "an 0.74 s"
                                                << "an 1.47 s"
                                                << "aus"
                                                << "aus";
    QTest::newRow("275") << "en"
                         << "300"
                         << "4000"
                         << "275" << 1 << fertig << 276 << "aus 74 ms"
                         << "aus"
                         << "aus"
                         << "an"
                         << "an Vorschlag: 3850 Hz";
    QTest::newRow("200") << "en"
                         << "300"
                         << "4000"
                         << "200" << 1 << fertig << 276 << "aus 74 ms"
                         << "aus"
                         << "aus"
                         << "an"
                         << "an Vorschlag: 3250 Hz";
    QTest::newRow("0 Schritte") << "en"
                                << "300"
                                << "4000"
                                << "0" << 1 << fertig << 276 << "aus 74 ms"
                                << "aus"
                                << "aus"
                                << "an"
                                << "an Vorschlag: 150 Hz";
    QTest::newRow("275,5 Schritte deutsch") << "de"
                                            << "300"
                                            << "4000"
                                            << "275,5" << 1 << fertig << 276 << "aus 74 ms"
                                            << "aus"
                                            << "aus"
                                            << "an"
                                            << "an Vorschlag: 3850 Hz";

    // Start and maximal frequency equal, or maximal below start.
    QTest::newRow("gleich") << "en"
                            << "1000"
                            << "1000"
                            << "5000" << 1 << fertig << 0 << "aus"
                            << "aus 5.00 s"
                            << "an 5.00 s"
                            << "aus"
                            << "aus";
    QTest::newRow("gleich deutsch") << "de"
                                    << "1000"
                                    << "1000"
                                    << "5000" << 1 << fertig << 0 << "aus"
                                    << "aus 5,00 s"
                                    << "an 5,00 s"
                                    << "aus"
                                    << "aus";
    QTest::newRow("gleich, 0 Schritte") << "en"
                                        << "1000"
                                        << "1000"
                                        << "0" << 1 << fertig << 0 << "aus"
                                        << "aus 0 ms"
                                        << "an 0 ms"
                                        << "aus"
                                        << "aus";
    QTest::newRow("gleich, kein Tausendertrenner") << "en"
                                                   << "1000"
                                                   << "1000"
                                                   << "5000000" << 1 << fertig << 0 << "aus"
                                                   << "aus 5000.00 s"
                                                   << "an 5000.00 s"
                                                   << "aus"
                                                   << "aus";
    QTest::newRow("gleich, keine Option braucht keine Tabelle")
        << "en"
        << "1000"
        << "1000"
        << "5000" << 0 << fertig << 0 << "aus"
        << "aus 5.00 s"
        << "an 5.00 s"
        << "aus"
        << "aus";
    QTest::newRow("Maximal unter Start") << "en"
                                         << "4000"
                                         << "300"
                                         << "5000" << 1 << fertig << -1 << "aus"
                                         << "aus"
                                         << "an"
                                         << "aus"
                                         << "aus";
    QTest::newRow("Maximal unter Start, Schritte keine Zahl") << "en"
                                                              << "4000"
                                                              << "300"
                                                              << "abc" << 1 << fertig << -1 << "aus"
                                                              << "aus"
                                                              << "an"
                                                              << "aus"
                                                              << "aus";
    QTest::newRow("Maximal 0 unter Start") << "en"
                                           << "300"
                                           << "0"
                                           << "5000" << 1 << fertig << -1 << "aus"
                                           << "aus"
                                           << "an"
                                           << "aus"
                                           << "aus";

    // Empty grid cell: nothing else is looked at.
    QTest::newRow("leere Zelle") << "en"
                                 << "300"
                                 << "4000"
                                 << "" << 1 << fertig << -1 << "aus"
                                 << "aus"
                                 << "aus"
                                 << "aus"
                                 << "aus";
    QTest::newRow("leere Zelle, Frequenz keine Zahl") << "en"
                                                      << "abc"
                                                      << ""
                                                      << "" << 0 << fertig << -1 << "aus"
                                                      << "aus"
                                                      << "aus"
                                                      << "aus"
                                                      << "aus";

    // The whole table.
    QTest::newRow("300 bis 12000, Rampe 4") << "en"
                                            << "300"
                                            << "12000"
                                            << "100000" << 4 << fertig << 28788 << "an 2.33 s"
                                            << "an 8.27 s"
                                            << "an 10.60 s"
                                            << "aus"
                                            << "aus";
    QTest::newRow("25 Hz ist Stufe 0") << "en"
                                       << "25"
                                       << "100"
                                       << "5000" << 1 << fertig << 4 << "an 30 ms"
                                       << "an 49.99 s"
                                       << "an 50.02 s"
                                       << "aus"
                                       << "aus";
    QTest::newRow("12024 Hz ist Stufe 239") << "en"
                                            << "300"
                                            << "12024"
                                            << "100000" << 4 << fertig << 28788 << "an 2.33 s"
                                            << "an 8.25 s"
                                            << "an 10.59 s"
                                            << "aus"
                                            << "aus";

    // Half levels: the sums start at the rounded level, comparisons use the unrounded one.
    QTest::newRow("325 Hz beginnt bei Stufe 6") << "en"
                                                << "325"
                                                << "4000"
                                                << "5000" << 1 << fertig << 274 << "an 71 ms"
                                                << "an 1.25 s"
                                                << "an 1.32 s"
                                                << "aus"
                                                << "aus";
    QTest::newRow("375 Hz beginnt bei Stufe 6") << "en"
                                                << "375"
                                                << "4000"
                                                << "5000" << 1 << fertig << 274 << "an 71 ms"
                                                << "an 1.25 s"
                                                << "an 1.32 s"
                                                << "aus"
                                                << "aus";
    QTest::newRow("350 Hz ist Stufe 6") << "en"
                                        << "350"
                                        << "4000"
                                        << "5000" << 1 << fertig << 274 << "an 71 ms"
                                        << "an 1.25 s"
                                        << "an 1.32 s"
                                        << "aus"
                                        << "aus";
    QTest::newRow("325,5 deutsch") << "de"
                                   << "325,5"
                                   << "4000"
                                   << "5000" << 1 << fertig << 274 << "an 71 ms"
                                   << "an 1,25 s"
                                   << "an 1,32 s"
                                   << "aus"
                                   << "aus";
    // 326 Hz above 325 Hz: both round to level 6, but the maximal is below the start.
    QTest::newRow("326 nach 325") << "en"
                                  << "326"
                                  << "325"
                                  << "5000" << 1 << fertig << -1 << "aus"
                                  << "aus"
                                  << "an"
                                  << "aus"
                                  << "aus";
    // 325 Hz to 326 Hz: one level, 6, for acceleration and braking: 2 steps at 350 Hz.
    QTest::newRow("325 nach 326") << "en"
                                  << "325"
                                  << "326"
                                  << "2" << 1 << fertig << 2 << "an 3 ms"
                                  << "an 3 ms"
                                  << "an 6 ms"
                                  << "aus"
                                  << "aus";
    QTest::newRow("325 nach 326, 1 Schritt") << "en"
                                             << "325"
                                             << "326"
                                             << "1" << 1 << fertig << 2 << "aus 3 ms"
                                             << "aus"
                                             << "aus"
                                             << "an"
                                             << "an Vorschlag: 200 Hz";

    // Not numbers: the run ends where the text is first needed.
    QTest::newRow("Start keine Zahl") << "en"
                                      << "abc"
                                      << "4000"
                                      << "5000" << 1 << typ << -1 << "-"
                                      << "-"
                                      << "an"
                                      << "aus"
                                      << "aus";
    QTest::newRow("Start leer") << "en"
                                << ""
                                << "4000"
                                << "5000" << 1 << typ << -1 << "-"
                                << "-"
                                << "an"
                                << "aus"
                                << "aus";
    QTest::newRow("Maximal keine Zahl") << "en"
                                        << "300"
                                        << "40x0"
                                        << "5000" << 1 << typ << -1 << "-"
                                        << "-"
                                        << "an"
                                        << "aus"
                                        << "aus";
    QTest::newRow("Maximal mit Komma englisch") << "en"
                                                << "300"
                                                << "4,000"
                                                << "5000" << 1 << typ << -1 << "-"
                                                << "-"
                                                << "an"
                                                << "aus"
                                                << "aus";
    QTest::newRow("Schritte keine Zahl") << "en"
                                         << "300"
                                         << "4000"
                                         << "abc" << 1 << typ << 276 << "an 74 ms"
                                         << "an"
                                         << "an"
                                         << "aus"
                                         << "aus";
    QTest::newRow("Schritte nur Blank") << "en"
                                        << "300"
                                        << "4000"
                                        << " " << 1 << typ << 276 << "an 74 ms"
                                        << "an"
                                        << "an"
                                        << "aus"
                                        << "aus";

    // Outside the computation's domain.
    QTest::newRow("13000 Hz") << "en"
                              << "300"
                              << "13000"
                              << "5000" << 1 << anders << -1 << "an"
                              << "an"
                              << "an"
                              << "aus"
                              << "aus";
    QTest::newRow("12025 Hz ist Stufe 240") << "en"
                                            << "300"
                                            << "12025"
                                            << "5000" << 4 << anders << -1 << "an"
                                            << "an"
                                            << "an"
                                            << "aus"
                                            << "aus";
    QTest::newRow("Start 24 Hz") << "en"
                                 << "24"
                                 << "4000"
                                 << "5000" << 1 << anders << -1 << "an"
                                 << "an"
                                 << "an"
                                 << "aus"
                                 << "aus";
    QTest::newRow("Start 0 Hz") << "en"
                                << "0"
                                << "4000"
                                << "5000" << 1 << anders << -1 << "an"
                                << "an"
                                << "an"
                                << "aus"
                                << "aus";
    QTest::newRow("Start negativ") << "en"
                                   << "-300"
                                   << "4000"
                                   << "5000" << 1 << anders << -1 << "an"
                                   << "an"
                                   << "an"
                                   << "aus"
                                   << "aus";
    QTest::newRow("Maximal riesig") << "en"
                                    << "300"
                                    << "1000000000000000000000"
                                    << "5000" << 1 << anders << -1 << "an"
                                    << "an"
                                    << "an"
                                    << "aus"
                                    << "aus";
    QTest::newRow("Maximal jenseits double")
        << "en"
        << "300" << QString(400, QLatin1Char('9')) << "5000" << 1 << anders << -1 << "-"
        << "-"
        << "an"
        << "aus"
        << "aus";
    QTest::newRow("keine Option") << "en"
                                  << "300"
                                  << "4000"
                                  << "5000" << 0 << anders << -1 << "an"
                                  << "an"
                                  << "an"
                                  << "aus"
                                  << "aus";
    QTest::newRow("Rampe 5") << "en"
                             << "300"
                             << "4000"
                             << "5000" << 5 << anders << -1 << "an"
                             << "an"
                             << "an"
                             << "aus"
                             << "aus";
    QTest::newRow("Schritte negativ") << "en"
                                      << "300"
                                      << "4000"
                                      << "-5" << 1 << anders << 276 << "an 74 ms"
                                      << "an"
                                      << "an"
                                      << "aus"
                                      << "aus";
    QTest::newRow("Schritte negativ, gleich") << "en"
                                              << "1000"
                                              << "1000"
                                              << "-1" << 1 << anders << 0 << "aus"
                                              << "aus"
                                              << "an"
                                              << "aus"
                                              << "aus";
    QTest::newRow("Schritte jenseits double")
        << "en"
        << "300"
        << "4000" << QString(400, QLatin1Char('9')) << 1 << anders << 276 << "an 74 ms"
        << "an"
        << "an"
        << "aus"
        << "aus";
    QTest::newRow("beide 0 Hz") << "en"
                                << "0"
                                << "0"
                                << "5000" << 1 << anders << 0 << "aus"
                                << "aus"
                                << "an"
                                << "aus"
                                << "aus";
    QTest::newRow("beide 0 Hz, keine Option") << "en"
                                              << "0"
                                              << "0"
                                              << "5000" << 0 << anders << 0 << "aus"
                                              << "aus"
                                              << "an"
                                              << "aus"
                                              << "aus";
    QTest::newRow("beide negativ") << "en"
                                   << "-100"
                                   << "-100"
                                   << "5000" << 1 << anders << 0 << "aus"
                                   << "aus"
                                   << "an"
                                   << "aus"
                                   << "aus";
}

void TestRampe::berechneRampe() {
    QFETCH(QString, locale);
    QFETCH(QString, start);
    QFETCH(QString, maximal);
    QFETCH(QString, schritte);
    QFETCH(int, rampe);
    QFETCH(RampenEnde, ende);
    QFETCH(int, n);
    QFETCH(QString, beschleunigung);
    QFETCH(QString, bremse);
    QFETCH(QString, gesamt);
    QFETCH(QString, warnung);
    QFETCH(QString, vorschlag);

    const RampenErgebnis e = BerechneRampe(start, maximal, schritte, rampe, LocaleNamens(locale));
    QCOMPARE(e.ende, ende);
    QCOMPARE(e.fehler(), ende != RampenEnde::Fertig);
    QCOMPARE(e.rampenschritte.value_or(-1), n);
    QCOMPARE(Kurz(e.beschleunigungszeit), beschleunigung);
    QCOMPARE(Kurz(e.bremszeit), bremse);
    QCOMPARE(Kurz(e.gesamtzeit), gesamt);
    QCOMPARE(Kurz(e.maximalfrequenzWarnung), warnung);
    QCOMPARE(Kurz(e.frequenzVorschlag), vorschlag);
    // The warning's caption belongs to the layout.
    QVERIFY(!e.maximalfrequenzWarnung.text);
}

// The suggestion is the frequency of the highest level whose ramp fits, minus 100 Hz; every
// level taken off lowers it by 50 Hz.
void TestRampe::vorschlag_data() {
    QTest::addColumn<QString>("maximal");
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<int>("hz");
    // Ramp 1 from 300 Hz: levels 5..38 take 1 step each way, 39..58 two, 59..78 three, 79
    // four.
    QTest::newRow("4000, 276") << "4000"
                               << "276" << 0; // reached, no suggestion
    QTest::newRow("4000, 275") << "4000"
                               << "275" << 3850;
    QTest::newRow("4000, 268") << "4000"
                               << "268" << 3850;
    QTest::newRow("4000, 267") << "4000"
                               << "267" << 3800;
    QTest::newRow("4000, 2") << "4000"
                             << "2" << 200;
    QTest::newRow("4000, 1") << "4000"
                             << "1" << 150;
    QTest::newRow("2000, 68") << "2000"
                              << "68" << 1850;
    QTest::newRow("2000, 67") << "2000"
                              << "67" << 1800;
    QTest::newRow("12000, 0") << "12000"
                              << "0" << 150;
}

void TestRampe::vorschlag() {
    QFETCH(QString, maximal);
    QFETCH(QString, schritte);
    QFETCH(int, hz);
    const RampenErgebnis e =
        BerechneRampe(QStringLiteral("300"), maximal, schritte, 1, QLocale::c());
    QCOMPARE(e.ende, RampenEnde::Fertig);
    QCOMPARE(int(e.vorschlag.value_or(0)), hz);
    if (hz != 0)
        QCOMPARE(*e.frequenzVorschlag.text, QStringLiteral("Vorschlag: %1 Hz").arg(hz));
    else
        QVERIFY(!e.frequenzVorschlag.text);
}

void TestRampe::zeitenBeiFehlerVerbergen_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("maximal");
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<int>("rampe");
    QTest::addColumn<bool>("verborgen");
    QTest::newRow("fertig") << "300"
                            << "4000"
                            << "5000" << 1 << false;
    QTest::newRow("Vorschlag") << "300"
                               << "4000"
                               << "200" << 1 << true; // hidden by the run itself
    QTest::newRow("13000 Hz") << "300"
                              << "13000"
                              << "5000" << 1 << true;
    QTest::newRow("keine Option") << "300"
                                  << "4000"
                                  << "5000" << 0 << true;
    QTest::newRow("Start leer") << ""
                                << "4000"
                                << "5000" << 1 << true;
    QTest::newRow("Schritte negativ") << "300"
                                      << "4000"
                                      << "-1" << 1 << true;
    QTest::newRow("beide 0") << "0"
                             << "0"
                             << "5000" << 1 << true;
}

void TestRampe::zeitenBeiFehlerVerbergen() {
    QFETCH(QString, start);
    QFETCH(QString, maximal);
    QFETCH(QString, schritte);
    QFETCH(int, rampe);
    QFETCH(bool, verborgen);

    const RampenErgebnis roh = BerechneRampe(start, maximal, schritte, rampe, QLocale::c());
    const RampenErgebnis e = ZeitenBeiFehlerVerbergen(roh);
    QCOMPARE(e.ende, roh.ende);
    for (const LabelAenderung *a : {&e.beschleunigungszeit, &e.bremszeit, &e.gesamtzeit})
        QCOMPARE(a->sichtbar == std::optional<bool>(false), verborgen);
    if (!roh.fehler()) {
        QCOMPARE(Kurz(e.beschleunigungszeit), Kurz(roh.beschleunigungszeit));
        QCOMPARE(Kurz(e.gesamtzeit), Kurz(roh.gesamtzeit));
    }
    // Warning and suggestion are left as the run set them.
    QCOMPARE(Kurz(e.maximalfrequenzWarnung), Kurz(roh.maximalfrequenzWarnung));
    QCOMPARE(Kurz(e.frequenzVorschlag), Kurz(roh.frequenzVorschlag));
}

void TestRampe::labelnamen() {
    const RampenErgebnis e = BerechneRampe(QStringLiteral("300"), QStringLiteral("4000"),
                                           QStringLiteral("200"), 1, QLocale::c());
    const auto liste = LabelAenderungen(e);
    QCOMPARE(liste.size(), 5);
    QCOMPARE(liste.at(0).first, QStringLiteral("LabelBeschleunigungszeit"));
    QCOMPARE(Kurz(liste.at(0).second), Kurz(e.beschleunigungszeit));
    QCOMPARE(liste.at(1).first, QStringLiteral("LabelBremszeit"));
    QCOMPARE(Kurz(liste.at(1).second), Kurz(e.bremszeit));
    QCOMPARE(liste.at(2).first, QStringLiteral("LabelGesamtzeit"));
    QCOMPARE(Kurz(liste.at(2).second), Kurz(e.gesamtzeit));
    QCOMPARE(liste.at(3).first, QStringLiteral("LabelMaximalfrequenzWarnung"));
    QCOMPARE(Kurz(liste.at(3).second), Kurz(e.maximalfrequenzWarnung));
    QCOMPARE(liste.at(4).first, QStringLiteral("LabelFrequenzVorschlag"));
    QCOMPARE(Kurz(liste.at(4).second), Kurz(e.frequenzVorschlag));
}

QTEST_GUILESS_MAIN(TestRampe)
#include "tst_rampe.moc"
