// The controller's commands: the checks before a transfer, the builders' bytes and pauses, and
// the decoder that reads them back as the controller (and the virtual controller) would.
#include "link/Dekodierer.h"
#include "link/Protokoll.h"
#include "link/Uebertragungspruefung.h"
#include "model/Einstellwerte.h"

#include "Testdaten.h"

#include <QtTest>

#include <limits>

namespace {

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

} // namespace

class TestProtokoll : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void satzpruefung();
    void frequenzcode();
    void befehle_data();
    void befehle();
    void verweigert();
};

// The checks of a block before a transfer (those of the program's values, and every message as
// the main window shows it: tst_handdialoge). Cases: steps, start and maximal frequency,
// repeats, pause of block 7; the message; what the check took from the four fields after the
// steps before it stopped ("-": nothing), and the steps when it passed.
void TestProtokoll::satzpruefung() {
    const QString schritte = "Schritte in Satz 7 müssen eine ganze Zahl von 0 bis 16777215 sein !";
    QStringList ist, soll;
    for (const QStringList &fall : Faelle(
             "5000;300;4000;1;10;;300 4000 1 10 5000|16777215;12000;12000;255;0;;12000 12000 255 "
             "0 16777215|5000;;4000;1;10;Startfrequenz in Satz 7 nicht angegeben !;- - - -|"
             "5000;12001;4000;1;10;Höchstwert Startfrequenz (12 kHz) in Satz 7 überschritten "
             "!;12001 - - -|5000;300;;1;10;Maximalfrequenz in Satz 7 nicht angegeben !;300 - - -|"
             "5000;300;99;1;10;Mindestwert Maximalfrequenz (100 Hz) in Satz 7 unterschritten !;300 "
             "99 - -|5000;500;400;1;10;Startfrequenz in Satz 7 ist größer als die Maximalfrequenz "
             "!;500 400 - -|5000;300;4000;;10;Satzdurchläufe in Satz 7 nicht angegeben !;300 4000 "
             "- -|5000;300;4000;0;10;Mindestwert Satzdurchläufe (1) in Satz 7 unterschritten !;300 "
             "4000 0 -|5000;300;4000;1;;Satzpause in Satz 7 nicht angegeben !;300 4000 1 -|"
             "5000;300;4000;1;256;Höchstwert Satzpause (255) in Satz 7 überschritten !;300 4000 1 "
             "256|5000;99999999999;4000;1;10;Höchstwert Startfrequenz (12 kHz) in Satz 7 "
             "überschritten !;- - - -|12.5;300;4000;1;10;" +
             schritte + ";300 4000 1 10|-1;300;4000;1;10;" + schritte +
             ";300 4000 1 10|;300;4000;1;10;" + schritte + ";300 4000 1 10")) {
        const Satzpruefung p = PruefeSatz(7, fall[0], fall[1], fall[2], fall[3], fall[4]);
        QStringList genommen;
        for (const std::optional<qint32> &wert :
             {p.startfrequenz, p.maximalfrequenz, p.satzdurchlaeufe, p.satzpause})
            genommen << (wert ? QString::number(*wert) : "-");
        if (p.meldung.isEmpty())
            genommen << QString::number(p.schritte);
        ist << fall.mid(0, 5).join(';') + ";" + p.meldung + ";" + genommen.join(' ');
        soll << fall.join(';');
    }
    QCOMPARE(ist, soll);
}

// hertz / 50 - 1, a half to the even neighbour; "-" where no 16-bit code fits.
void TestProtokoll::frequenzcode() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double unendlich = std::numeric_limits<double>::infinity();
    QStringList ist;
    for (double hertz : {125.0, 175.0, 275.0, 276.0, 325.0, 375.0, 12024.0, 12025.0, 25.0, -25.0,
                         1638400.0, 1638450.0, -1638400.0, 1e9, nan, unendlich}) {
        const std::optional<int> code = Frequenzcode(hertz);
        ist << (code ? QString::number(*code) : "-");
    }
    QCOMPARE(ist.join(' '), QString("2 2 4 5 6 6 239 240 0 -2 32767 - - - - -"));
}

void TestProtokoll::befehle_data() {
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<QString>("ablauf");        // empty: not checked
    QTest::addColumn<QStringList>("dekodiert"); // the decoder's lines
    const auto zeile = [](const char *fall, const std::optional<Befehl> &befehl,
                          const QString &ablauf, const QStringList &dekodiert) {
        QTest::newRow(fall) << Gebaut(befehl) << ablauf << dekodiert;
    };

    zeile("Übertragung des Standardsatzes",
          Programmuebertragung(Programmkopf{1, 10, 10}, {Testsatz()}),
          "3,1,10,1,10 20ms #1 136,19,0,5,79,1,10,1,0,1,60ms",
          {"Programmübertragung: 1 Satz, Programmdurchläufe 1, Programmpause 10, Befehlspause 10",
           Satz1});
    // 255 and 0 inside the data are neither stops nor "manual off".
    zeile("Übertragung mit Randwerten",
          Programmuebertragung(Programmkopf{255, 255, 0},
                               {Testsatz(16777215, 25, 12800, 255, 255, 1, true, 255)}),
          "3,255,255,1,0 20ms #1 255,255,255,0,255,255,255,1,1,255,60ms",
          {"Programmübertragung: 1 Satz, Programmdurchläufe 255, Programmpause 255, Befehlspause 0",
           "  Satz 1: 16777215 Schritte, 50 Hz → 12800 Hz, Durchläufe 255, Pause 255, rechts, mit "
           "Richtungsänderung, Rampe 255 (unbekannt)"});
    // Any direction but 1 goes as links (0), also one that is 1 when cut to a byte.
    zeile("Übertragung, Richtungen",
          Programmuebertragung(Programmkopf{1, 10, 10},
                               {Testsatz(70000, 100, 12000, 2, 0, 0, true, 4),
                                Testsatz(1, 100, 100, 1, 1, 257, false, 2),
                                Testsatz(1, 100, 100, 1, 1, -1, true, 3)}),
          "3,1,10,3,10 20ms #1 112,17,1,1,239,2,0,0,1,4,60ms #2 1,0,0,1,1,1,1,0,0,2,60ms #3 "
          "1,0,0,1,1,1,1,0,1,3,60ms",
          {"Programmübertragung: 3 Sätze, Programmdurchläufe 1, Programmpause 10, Befehlspause 10",
           "  Satz 1: 70000 Schritte, 100 Hz → 12000 Hz, Durchläufe 2, Pause 0, links, mit "
           "Richtungsänderung, Rampe 4 (20ms/100Hz)",
           "  Satz 2: 1 Schritte, 100 Hz → 100 Hz, Durchläufe 1, Pause 1, links, ohne "
           "Richtungsänderung, Rampe 2 (5ms/100Hz)",
           "  Satz 3: 1 Schritte, 100 Hz → 100 Hz, Durchläufe 1, Pause 1, links, mit "
           "Richtungsänderung, Rampe 3 (10ms/100Hz)"});

    zeile("Einbytebefehle, Satzstart, Eilgänge",
          Verbunden({Programmstart(), ManuellEin(), ManuellAus(),
                     Einzelschritt(Fahrtrichtung::Links), Einzelschritt(Fahrtrichtung::Rechts),
                     EinzelschrittStopp(), Gebaut(Satzstart(255)),
                     Gebaut(Eilgang(Fahrtrichtung::Links, *Frequenzcode(1000), 1000)),
                     Gebaut(Eilgang(Fahrtrichtung::Rechts, 239, 16777215))}),
          "4 2 0 10 20 255 5,255,30,19,1ms 232,3,0 40,239,1ms 255,255,255",
          {"Programmstart", "Manuelle Fahrt ein", "Manuelle Fahrt aus", "Einzelschritt links",
           "Einzelschritt rechts", "Stopp", "Satzstart: Satz 255",
           "Eilgang links: 1000 Hz, 1000 Schritte", "Eilgang rechts: 12000 Hz, 16777215 Schritte"});
    zeile("Referenzfahrten",
          Verbunden({Gebaut(ReferenzfahrtStart(*Frequenzcode(200), Fahrtrichtung::Links)),
                     Gebaut(ReferenzfahrtStart(*Frequenzcode(600), Fahrtrichtung::Rechts))}),
          "6 3 1 6 11 2", {"Referenzfahrt links: 200 Hz", "Referenzfahrt rechts: 600 Hz"});
    zeile("Referenzfahrt Stopp", ReferenzfahrtStopp(),
          "255 0.1ms 255 0.1ms 255 0.1ms 255 0.1ms 255 500ms", QStringList(5, "Stopp"));

    // Texts are compared exactly; what matches no entry is code 0.
    zeile("Einstellungen",
          Verbunden({EinstellungenAus(StandardSchrittmodus, StandardPhasenstrom, true),
                     EinstellungenAus("Zehntelschritt", "6,0 A", false),
                     EinstellungenAus("halbschritt", "2.5 A", true), Gebaut(Einstellungen(6, 1, 0)),
                     Gebaut(Einstellungen(0, 3, 2)), Gebaut(Einstellungen(255, 255, 255))}),
          "1 1 1 0 1 5 128 1 1 0 0 0 1 6 1 0 1 0 3 2 1 255 255 255",
          {"Einstellungen: Halbschritt, 2,5 A, Stromabsenkung ein",
           "Einstellungen: Zehntelschritt, 6,0 A, Stromabsenkung aus",
           "Einstellungen: Vollschritt, unbekannter Phasenstrom 0, Stromabsenkung ein",
           "Einstellungen: unbekannter Schrittmodus 6, 2,5 A, Stromabsenkung ein",
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

    // A command cut short by the end of the stream.
    const QByteArray zwei = BytesVon(Gebaut(Programmuebertragung(
        Programmkopf{1, 10, 10}, {Testsatz(), Testsatz(70000, 100, 12000, 255, 0, 0, true, 4)})));
    const QString kopf =
        QStringLiteral("Programmübertragung unvollständig (%1 von 25 Bytes): 2 Sätze, "
                       "Programmdurchläufe 1, Programmpause 10, Befehlspause 10");
    const auto teil = [&](const char *fall, const QByteArray &bytes, const QStringList &zeilen) {
        zeile(fall, BefehlAus(bytes), "", zeilen);
    };
    teil("Übertragung nach 1 Byte", zwei.left(1),
         {"Programmübertragung unvollständig, empfangen: 3"});
    teil("Übertragung nach dem Kopf", zwei.left(5), {kopf.arg(5)});
    teil("Übertragung im zweiten Satz", zwei.left(17),
         {kopf.arg(17), Satz1, "  Satz 2 unvollständig, empfangen: 112, 17"});
    teil("Eilgang abgebrochen", Bytes({40, 19, 232, 3}),
         {"Eilgang rechts unvollständig, empfangen: 40, 19, 232, 3"});
    teil("Einstellungen abgebrochen", Bytes({1, 1, 1}),
         {"Einstellungen unvollständig, empfangen: 1, 1, 1"});
}

void TestProtokoll::befehle() {
    QFETCH(Befehl, befehl);
    QFETCH(QString, ablauf);
    QFETCH(QStringList, dekodiert);

    // "," for a pause of 1 ms after a byte.
    if (!ablauf.isEmpty())
        QCOMPARE(Ablauf(befehl).append(' ').replace(" 1ms ", ",").trimmed(), ablauf);
    // Fed in two pieces cut anywhere, the stream reads the same: only its last command may be
    // unfinished, when the stream ends inside it; after that the next byte begins a new one.
    const QByteArray bytes = BytesVon(befehl);
    for (qsizetype schnitt = 0; schnitt <= bytes.size(); ++schnitt) {
        Dekodierer d;
        std::vector<DekodierterBefehl> befehle = d.einspeisen(bytes.left(schnitt));
        for (DekodierterBefehl &b : d.einspeisen(bytes.mid(schnitt)))
            befehle.push_back(std::move(b));
        const bool offen = d.imBefehl();
        if (std::optional<DekodierterBefehl> rest = d.abschliessen())
            befehle.push_back(std::move(*rest));
        QStringList zeilen;
        QByteArray alle;
        for (const DekodierterBefehl &b : befehle) {
            zeilen += b.zeilen();
            alle.append(reinterpret_cast<const char *>(b.bytes.data()), qsizetype(b.bytes.size()));
            QCOMPARE(b.vollstaendig, !offen || &b != &befehle.back());
        }
        QCOMPARE(zeilen, dekodiert);
        QCOMPARE(alle, bytes);
        QVERIFY(!d.imBefehl());
        const std::vector<DekodierterBefehl> neu = d.einspeisen(Bytes({4}));
        QVERIFY(neu.size() == 1 && neu.front().art == Befehlsart::Programmstart);
    }
}

void TestProtokoll::verweigert() {
    // Commands whose values do not fit their bytes are not built: numbers, codes, a transfer
    // with one changed header, or with a changed block after two good ones, or 256 blocks.
    const auto kopf = [](int durchlaeufe, int pause, int befehlspause) {
        return !Programmuebertragung(Programmkopf{durchlaeufe, pause, befehlspause}, {Testsatz()});
    };
    const auto satz = [](const Satzwerte &satz) {
        return !Programmuebertragung(Programmkopf{1, 10, 10}, {Testsatz(), Testsatz(), satz});
    };
    const qint64 zuGross = (qint64(1) << 32) + 5000; // 5000 when cut to 32 bits
    const std::vector<Satzwerte> zuViele(256, Testsatz());
    const auto alle = [](auto... nein) { return QList<bool>{nein...}; };
    QCOMPARE(alle(!SendeZahl24(-1), !SendeZahl24(16777216), !SendeZahl24(zuGross),
                  !Eilgang(Fahrtrichtung::Links, 19, zuGross),
                  !Eilgang(Fahrtrichtung::Rechts, 256, 1), !Satzstart(256),
                  !ReferenzfahrtStart(256, Fahrtrichtung::Links), !Einstellungen(256, 1, 0),
                  !Einstellungen(1, 256, 0), !Einstellungen(1, 1, -1), kopf(256, 10, 10),
                  kopf(1, 256, 10), kopf(1, 10, -1), satz(Testsatz(zuGross)), satz(Testsatz(1, 0)),
                  satz(Testsatz(1, 12825)), satz(Testsatz(1, 300, 4000, 256)),
                  satz(Testsatz(1, 300, 4000, 1, -1)),
                  satz(Testsatz(1, 300, 4000, 1, 10, 1, false, 256)),
                  !Programmuebertragung(Programmkopf{1, 1, 1}, zuViele)),
             QList<bool>(20, true));
}

QTEST_GUILESS_MAIN(TestProtokoll)
#include "tst_protokoll.moc"
