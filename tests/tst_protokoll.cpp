// The controller's commands: the builders' bytes and pauses, and the decoder that reads them
// back as the controller (and the virtual controller) would.
#include "link/Dekodierer.h"
#include "link/Protokoll.h"
#include "model/Einstellwerte.h"

#include "Testdaten.h"

#include <QtTest>

#include <limits>

namespace {

constexpr int KeinCode = std::numeric_limits<int>::min();

// The decoder's line for the block a new program starts with.
const QString Satz1 = QStringLiteral("  Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe 1, "
                                     "Pause 10, rechts, ohne Richtungsänderung, Rampe 1 "
                                     "(2ms/100Hz)");

Befehl Verbunden(std::initializer_list<Befehl> teile) {
    Befehl alle;
    for (const Befehl &t : teile)
        alle.insert(alle.end(), t.begin(), t.end());
    return alle;
}

Befehl EinstellungenAus(const QString &modus, const QString &strom, bool absenkungEin) {
    return Gebaut(Einstellungen(SchrittmodusCode(modus), PhasenstromCode(strom),
                                AbsenkungCode(absenkungEin)));
}

// Every line the decoded commands show, in order.
QStringList Zeilen(const std::vector<DekodierterBefehl> &befehle) {
    QStringList zeilen;
    for (const DekodierterBefehl &b : befehle)
        zeilen += b.zeilen();
    return zeilen;
}

// The bytes fed in two pieces cut at schnitt, the stream closed at the end.
QStringList InTeilen(const QByteArray &bytes, qsizetype schnitt) {
    Dekodierer d;
    std::vector<DekodierterBefehl> befehle = d.einspeisen(bytes.left(schnitt));
    for (DekodierterBefehl &b : d.einspeisen(bytes.mid(schnitt)))
        befehle.push_back(std::move(b));
    if (std::optional<DekodierterBefehl> rest = d.abschliessen())
        befehle.push_back(std::move(*rest));
    return Zeilen(befehle);
}

} // namespace

class TestProtokoll : public QObject {
    Q_OBJECT

private slots:
    void frequenzcode_data();
    void frequenzcode();
    void befehle_data();
    void befehle();
    void zwanzigSaetze();
    void verweigert_data();
    void verweigert();
    void abgebrochen_data();
    void abgebrochen();
    void aufgeteiltAnJederStelle();
};

void TestProtokoll::frequenzcode_data() {
    QTest::addColumn<double>("hertz");
    QTest::addColumn<int>("code");

    // hertz / 50 - 1, a half to the even neighbour.
    QTest::newRow("100") << 100.0 << 1;
    QTest::newRow("125 (1,5 -> 2)") << 125.0 << 2;
    QTest::newRow("175 (2,5 -> 2)") << 175.0 << 2;
    QTest::newRow("275 (4,5 -> 4)") << 275.0 << 4;
    QTest::newRow("276") << 276.0 << 5;
    QTest::newRow("300") << 300.0 << 5;
    QTest::newRow("325 (5,5 -> 6)") << 325.0 << 6;
    QTest::newRow("375 (6,5 -> 6)") << 375.0 << 6;
    QTest::newRow("4000") << 4000.0 << 79;
    QTest::newRow("12000") << 12000.0 << 239;
    QTest::newRow("12024") << 12024.0 << 239;
    QTest::newRow("12025 (239,5 -> 240)") << 12025.0 << 240;
    QTest::newRow("25 (-0,5 -> 0)") << 25.0 << 0;
    QTest::newRow("-25 (-1,5 -> -2)") << -25.0 << -2;
    QTest::newRow("größter 16-Bit-Code") << 1638400.0 << 32767;
    QTest::newRow("über 16 Bit") << 1638450.0 << KeinCode;
    QTest::newRow("unter 16 Bit") << -1638400.0 << KeinCode;
    QTest::newRow("1e9") << 1e9 << KeinCode;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << KeinCode;
    QTest::newRow("unendlich") << std::numeric_limits<double>::infinity() << KeinCode;
}

void TestProtokoll::frequenzcode() {
    QFETCH(double, hertz);
    QFETCH(int, code);
    const std::optional<int> ist = Frequenzcode(hertz);
    QCOMPARE(ist.value_or(KeinCode), code);
}

void TestProtokoll::befehle_data() {
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<QString>("ablauf");        // empty: not checked
    QTest::addColumn<QStringList>("dekodiert"); // the decoder's lines; empty: not decoded
    const auto zeile = [](const char *fall, const std::optional<Befehl> &befehl,
                          const QString &ablauf, const QStringList &dekodiert) {
        QTest::newRow(fall) << Gebaut(befehl) << ablauf << dekodiert;
    };

    zeile("Zahl 0", SendeZahl24(0), "0 1ms 0 1ms 0 1ms", {});
    zeile("Zahl 5000", SendeZahl24(5000), "136 1ms 19 1ms 0 1ms", {});
    zeile("Zahl 70000", SendeZahl24(70000), "112 1ms 17 1ms 1 1ms", {});
    zeile("Zahl 16777215", SendeZahl24(16777215), "255 1ms 255 1ms 255 1ms", {});

    zeile("Übertragung des Standardsatzes",
          Programmuebertragung(Programmkopf{1, 10, 10}, {Testsatz()}),
          "3 1ms 1 1ms 10 1ms 1 1ms 10 20ms #1 136 1ms 19 1ms 0 1ms 5 1ms 79 1ms 1 1ms 10 1ms 1 "
          "1ms 0 1ms 1 1ms 60ms",
          {"Programmübertragung: 1 Satz, Programmdurchläufe 1, Programmpause 10, Befehlspause 10",
           Satz1});
    zeile("Übertragung ohne Sätze", Programmuebertragung(Programmkopf{7, 0, 255}, {}),
          "3 1ms 7 1ms 0 1ms 0 1ms 255 20ms",
          {"Programmübertragung: 0 Sätze, Programmdurchläufe 7, Programmpause 0, Befehlspause "
           "255"});
    // 255 and 0 inside the data are neither stops nor "manual off".
    zeile("Übertragung mit Randwerten",
          Programmuebertragung(Programmkopf{255, 255, 0},
                               {Testsatz(16777215, 25, 12800, 255, 255, 1, true, 255)}),
          "3 1ms 255 1ms 255 1ms 1 1ms 0 20ms #1 255 1ms 255 1ms 255 1ms 0 1ms 255 1ms 255 1ms "
          "255 1ms 1 1ms 1 1ms 255 1ms 60ms",
          {"Programmübertragung: 1 Satz, Programmdurchläufe 255, Programmpause 255, "
           "Befehlspause 0",
           "  Satz 1: 16777215 Schritte, 50 Hz → 12800 Hz, Durchläufe 255, Pause 255, rechts, "
           "mit Richtungsänderung, Rampe 255 (unbekannt)"});
    // Any direction but 1 goes as links (0), also one that is 1 when cut to a byte.
    zeile("Übertragung, Richtungen",
          Programmuebertragung(Programmkopf{1, 10, 10},
                               {Testsatz(70000, 100, 12000, 2, 0, 0, true, 4),
                                Testsatz(1, 100, 100, 1, 1, 257, false, 2),
                                Testsatz(1, 100, 100, 1, 1, -1, true, 3)}),
          "",
          {"Programmübertragung: 3 Sätze, Programmdurchläufe 1, Programmpause 10, Befehlspause 10",
           "  Satz 1: 70000 Schritte, 100 Hz → 12000 Hz, Durchläufe 2, Pause 0, links, mit "
           "Richtungsänderung, Rampe 4 (20ms/100Hz)",
           "  Satz 2: 1 Schritte, 100 Hz → 100 Hz, Durchläufe 1, Pause 1, links, ohne "
           "Richtungsänderung, Rampe 2 (5ms/100Hz)",
           "  Satz 3: 1 Schritte, 100 Hz → 100 Hz, Durchläufe 1, Pause 1, links, mit "
           "Richtungsänderung, Rampe 3 (10ms/100Hz)"});

    zeile("Programmstart", Programmstart(), "4", {"Programmstart"});
    zeile("Manuell ein", ManuellEin(), "2", {"Manuelle Fahrt ein"});
    zeile("Manuell aus", ManuellAus(), "0", {"Manuelle Fahrt aus"});
    zeile("Einzelschritt links", Einzelschritt(Fahrtrichtung::Links), "10",
          {"Einzelschritt links"});
    zeile("Einzelschritt rechts", Einzelschritt(Fahrtrichtung::Rechts), "20",
          {"Einzelschritt rechts"});
    zeile("Einzelschritt Stopp", EinzelschrittStopp(), "255", {"Stopp"});
    zeile("Satzstart 255", Satzstart(255), "5 1ms 255 1ms", {"Satzstart: Satz 255"});
    zeile("Eilgang links", Eilgang(Fahrtrichtung::Links, *Frequenzcode(1000), 1000),
          "30 1ms 19 1ms 1ms 232 1ms 3 1ms 0", {"Eilgang links: 1000 Hz, 1000 Schritte"});
    zeile("Eilgang rechts", Eilgang(Fahrtrichtung::Rechts, 239, 16777215),
          "40 1ms 239 1ms 1ms 255 1ms 255 1ms 255",
          {"Eilgang rechts: 12000 Hz, 16777215 Schritte"});
    zeile("Referenzfahrt links", ReferenzfahrtStart(*Frequenzcode(200), Fahrtrichtung::Links),
          "6 3 1", {"Referenzfahrt links: 200 Hz"});
    zeile("Referenzfahrt rechts", ReferenzfahrtStart(*Frequenzcode(600), Fahrtrichtung::Rechts),
          "6 11 2", {"Referenzfahrt rechts: 600 Hz"});
    zeile("Referenzfahrt Stopp", ReferenzfahrtStopp(),
          "255 0.1ms 255 0.1ms 255 0.1ms 255 0.1ms 255 500ms", QStringList(5, "Stopp"));

    zeile("Einstellungen Vorgabe",
          EinstellungenAus(StandardSchrittmodus, StandardPhasenstrom, true), "1 1 1 0",
          {"Einstellungen: Halbschritt, 2,5 A, Stromabsenkung ein"});
    zeile("Einstellungen Zehntelschritt", EinstellungenAus("Zehntelschritt", "6,0 A", false),
          "1 5 128 1", {"Einstellungen: Zehntelschritt, 6,0 A, Stromabsenkung aus"});
    zeile("Einstellungen Vollschritt", EinstellungenAus("Vollschritt", "4,0 A", true), "1 0 8 0",
          {"Einstellungen: Vollschritt, 4,0 A, Stromabsenkung ein"});
    // Texts are compared exactly; what matches no entry is code 0.
    zeile("Einstellungen aus fremden Texten", EinstellungenAus("halbschritt", "2.5 A", true),
          "1 0 0 0", {"Einstellungen: Vollschritt, unbekannter Phasenstrom 0, Stromabsenkung ein"});
    zeile("Einstellcodes ohne Eintrag",
          Verbunden({Gebaut(Einstellungen(6, 1, 0)), Gebaut(Einstellungen(0, 3, 2)),
                     Gebaut(Einstellungen(255, 255, 255))}),
          "1 6 1 0 1 0 3 2 1 255 255 255",
          {"Einstellungen: unbekannter Schrittmodus 6, 2,5 A, Stromabsenkung ein",
           "Einstellungen: Vollschritt, unbekannter Phasenstrom 3, unbekannte Stromabsenkung 2",
           "Einstellungen: unbekannter Schrittmodus 255, unbekannter Phasenstrom 255, unbekannte "
           "Stromabsenkung 255"});

    // Bytes that begin no command are reported one by one; the command after them is whole.
    zeile("Unbekannte Bytes vor Befehlen",
          Verbunden({BefehlAus(Bytes({7, 11, 41, 254, 6, 3, 0})),
                     Gebaut(Eilgang(Fahrtrichtung::Links, 19, 1000))}),
          "",
          {"unbekanntes Byte 7", "unbekanntes Byte 11", "unbekanntes Byte 41",
           "unbekanntes Byte 254", "Referenzfahrt, unbekannte Richtung 0: 200 Hz",
           "Eilgang links: 1000 Hz, 1000 Schritte"});
}

void TestProtokoll::befehle() {
    QFETCH(Befehl, befehl);
    QFETCH(QString, ablauf);
    QFETCH(QStringList, dekodiert);

    if (!ablauf.isEmpty())
        QCOMPARE(Ablauf(befehl), ablauf);
    if (dekodiert.isEmpty())
        return;
    const std::vector<DekodierterBefehl> befehle = Dekodierer::dekodiere(befehl);
    QCOMPARE(Zeilen(befehle), dekodiert);
    QByteArray alle;
    for (const DekodierterBefehl &b : befehle) {
        QVERIFY(b.vollstaendig);
        alle.append(reinterpret_cast<const char *>(b.bytes.data()), qsizetype(b.bytes.size()));
    }
    QCOMPARE(alle, BytesVon(befehl));
}

void TestProtokoll::zwanzigSaetze() {
    std::vector<Satzwerte> saetze;
    for (int i = 1; i <= 20; ++i)
        saetze.push_back(Testsatz(i * 1000, 300, 4000, i));
    const Befehl befehl = Gebaut(Programmuebertragung(Programmkopf{2, 3, 4}, saetze));
    QCOMPARE(BytesVon(befehl).size(), 205);

    QString soll = QStringLiteral("3 1ms 2 1ms 3 1ms 20 1ms 4 20ms");
    for (int i = 1; i <= 20; ++i) {
        const int s = i * 1000;
        soll += QStringLiteral(" #%1 %2 1ms %3 1ms 0 1ms 5 1ms 79 1ms %4 1ms 10 1ms 1 1ms 0 1ms "
                               "1 1ms 60ms")
                    .arg(i)
                    .arg(s & 0xFF)
                    .arg(s >> 8)
                    .arg(i);
    }
    QCOMPARE(Ablauf(befehl), soll);
    QCOMPARE(Dekodierer::dekodiere(befehl).front().saetze.size(), size_t(20));
}

void TestProtokoll::verweigert_data() {
    QTest::addColumn<bool>("gebaut");

    // A transfer with one changed header, or with a changed block after two good ones.
    const auto mitKopf = [](const Programmkopf &kopf) {
        return Programmuebertragung(kopf, {Testsatz()}).has_value();
    };
    const auto mitSatz = [](const Satzwerte &satz) {
        return Programmuebertragung(Programmkopf{1, 10, 10}, {Testsatz(), Testsatz(), satz})
            .has_value();
    };
    const qint64 zuGroß = (qint64(1) << 32) + 5000; // 5000 when cut to 32 bits

    QTest::newRow("Zahl -1") << SendeZahl24(-1).has_value();
    QTest::newRow("Zahl 16777216") << SendeZahl24(16777216).has_value();
    QTest::newRow("Zahl 2^32 + 5000") << SendeZahl24(zuGroß).has_value();
    QTest::newRow("Eilgang Schritte 2^32 + 5000")
        << Eilgang(Fahrtrichtung::Links, 19, zuGroß).has_value();
    QTest::newRow("Eilgang Code 256") << Eilgang(Fahrtrichtung::Rechts, 256, 1).has_value();
    QTest::newRow("Eilgang Code -1") << Eilgang(Fahrtrichtung::Links, -1, 1).has_value();
    QTest::newRow("Satzstart 256") << Satzstart(256).has_value();
    QTest::newRow("Satzstart -1") << Satzstart(-1).has_value();
    QTest::newRow("Referenzfahrt Code 256")
        << ReferenzfahrtStart(256, Fahrtrichtung::Links).has_value();
    QTest::newRow("Referenzfahrt Code -1")
        << ReferenzfahrtStart(-1, Fahrtrichtung::Rechts).has_value();
    QTest::newRow("Schrittmodus 256") << Einstellungen(256, 1, 0).has_value();
    QTest::newRow("Phasenstrom 256") << Einstellungen(1, 256, 0).has_value();
    QTest::newRow("Absenkung -1") << Einstellungen(1, 1, -1).has_value();

    QTest::newRow("Programmdurchläufe 256") << mitKopf(Programmkopf{256, 10, 10});
    QTest::newRow("Programmdurchläufe -1") << mitKopf(Programmkopf{-1, 10, 10});
    QTest::newRow("Programmpause 256") << mitKopf(Programmkopf{1, 256, 10});
    QTest::newRow("Befehlspause -1") << mitKopf(Programmkopf{1, 10, -1});
    QTest::newRow("Schritte 16777216") << mitSatz(Testsatz(16777216));
    QTest::newRow("Schritte 2^32 + 5000") << mitSatz(Testsatz(zuGroß));
    QTest::newRow("Startfrequenz 0 (Code -1)") << mitSatz(Testsatz(1, 0));
    QTest::newRow("Startfrequenz 12825 (Code 256)") << mitSatz(Testsatz(1, 12825));
    QTest::newRow("Maximalfrequenz 1000000") << mitSatz(Testsatz(1, 300, 1000000));
    QTest::newRow("Satzdurchläufe 256") << mitSatz(Testsatz(1, 300, 4000, 256));
    QTest::newRow("Satzpause -1") << mitSatz(Testsatz(1, 300, 4000, 1, -1));
    QTest::newRow("Rampe 256") << mitSatz(Testsatz(1, 300, 4000, 1, 10, 1, false, 256));
    QTest::newRow("256 Sätze") << Programmuebertragung(Programmkopf{1, 1, 1},
                                                       std::vector<Satzwerte>(256, Testsatz()))
                                      .has_value();
}

void TestProtokoll::verweigert() {
    QFETCH(bool, gebaut);
    QVERIFY(!gebaut);
}

void TestProtokoll::abgebrochen_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("zeilen");

    const QByteArray zwei = BytesVon(Gebaut(Programmuebertragung(
        Programmkopf{1, 10, 10}, {Testsatz(), Testsatz(70000, 100, 12000, 255, 0, 0, true, 4)})));
    const QString kopf = QStringLiteral("Programmübertragung unvollständig (%1 von 25 Bytes): 2 "
                                        "Sätze, Programmdurchläufe 1, Programmpause 10, "
                                        "Befehlspause 10");
    QTest::newRow("Übertragung nach 1 Byte")
        << zwei.left(1) << QStringList{"Programmübertragung unvollständig, empfangen: 3"};
    QTest::newRow("Übertragung nach dem Kopf") << zwei.left(5) << QStringList{kopf.arg(5)};
    QTest::newRow("Übertragung im zweiten Satz")
        << zwei.left(17)
        << QStringList{kopf.arg(17), Satz1, "  Satz 2 unvollständig, empfangen: 112, 17"};
    QTest::newRow("Übertragung vor dem letzten Byte")
        << zwei.left(24)
        << QStringList{kopf.arg(24), Satz1,
                       "  Satz 2 unvollständig, empfangen: 112, 17, 1, 1, 239, 255, 0, 0, 1"};
    QTest::newRow("Eilgang") << Bytes({40, 19, 232, 3})
                             << QStringList{"Eilgang rechts unvollständig, empfangen: 40, 19, "
                                            "232, 3"};
    QTest::newRow("Einstellungen") << Bytes({1, 1, 1})
                                   << QStringList{"Einstellungen unvollständig, empfangen: 1, 1, "
                                                  "1"};
}

void TestProtokoll::abgebrochen() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, zeilen);

    Dekodierer d;
    QVERIFY(d.einspeisen(bytes).empty());
    QVERIFY(d.imBefehl());
    const std::optional<DekodierterBefehl> rest = d.abschliessen();
    QVERIFY(rest && !rest->vollstaendig);
    QCOMPARE(rest->zeilen(), zeilen);
    // Nothing is left over: the next byte begins a new command.
    QVERIFY(!d.imBefehl());
    const std::vector<DekodierterBefehl> neu = d.einspeisen(Bytes({4}));
    QCOMPARE(neu.size(), size_t(1));
    QCOMPARE(neu.front().art, Befehlsart::Programmstart);
}

void TestProtokoll::aufgeteiltAnJederStelle() {
    // Every kind of command, one after the other; cut anywhere, the stream reads the same.
    const QByteArray bytes = BytesVon(Verbunden(
        {ManuellEin(), Gebaut(Eilgang(Fahrtrichtung::Links, 19, 1000)),
         Einzelschritt(Fahrtrichtung::Rechts), EinzelschrittStopp(), ManuellAus(),
         Gebaut(Programmuebertragung(Programmkopf{1, 10, 10},
                                     {Testsatz(), Testsatz(16777215, 25, 12800, 255, 255)})),
         BefehlAus(Bytes({7})), Gebaut(Satzstart(2)), Programmstart(),
         Gebaut(ReferenzfahrtStart(3, Fahrtrichtung::Links)), ReferenzfahrtStopp(),
         Gebaut(Einstellungen(5, 128, 1))}));
    const QStringList soll = Zeilen(Dekodierer::dekodiere(bytes));
    QCOMPARE(soll.size(), 18);
    for (qsizetype schnitt = 0; schnitt <= bytes.size(); ++schnitt)
        QCOMPARE(InTeilen(bytes, schnitt), soll);
}

QTEST_APPLESS_MAIN(TestProtokoll)
#include "tst_protokoll.moc"
