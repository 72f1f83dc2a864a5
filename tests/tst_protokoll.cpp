#include "link/Protokoll.h"
#include "model/Einstellwerte.h"

#include <QtTest>

#include <limits>

Q_DECLARE_METATYPE(Befehlsschritt)
Q_DECLARE_METATYPE(Fahrtrichtung)

namespace {

// A readable form of a command for failure messages: bytes as numbers, pauses in ms in
// brackets, markers as #i.
QByteArray beschreibe(const Befehl &b) {
    QStringList teile;
    for (const auto &s : b) {
        switch (s.art) {
        case Befehlsschritt::Art::Byte:
            teile << QString::number(s.wert);
            break;
        case Befehlsschritt::Art::Pause:
            teile << QStringLiteral("[%1ms]").arg(s.sekunden * 1000);
            break;
        case Befehlsschritt::Art::Marke:
            teile << QStringLiteral("#%1").arg(s.marke);
            break;
        }
    }
    return teile.join(QLatin1Char(' ')).toUtf8();
}

#define VERGLEICHE_BEFEHL(ist, soll)                                                               \
    do {                                                                                           \
        const Befehl ist_ = (ist);                                                                 \
        const Befehl soll_ = (soll);                                                               \
        QVERIFY2(                                                                                  \
            ist_ == soll_,                                                                         \
            ("\n   ist:  " + beschreibe(ist_) + "\n   soll: " + beschreibe(soll_)).constData());   \
    } while (false)

std::vector<quint8> nurBytes(const Befehl &b) {
    std::vector<quint8> bytes;
    for (const auto &s : b)
        if (s.art == Befehlsschritt::Art::Byte)
            bytes.push_back(s.wert);
    return bytes;
}

// The block a new program starts with.
Satzwerte standardsatz() {
    Satzwerte s;
    s.schritte = 5000;
    s.startfrequenz = 300;
    s.maximalfrequenz = 4000;
    s.durchlaeufe = 1;
    s.pause = 10;
    s.richtung = 1;
    s.richtungsumkehr = false;
    s.rampe = 1;
    return s;
}

Programmkopf kopf(int durchlaeufe, int pause, int befehlspause) {
    Programmkopf k;
    k.programmdurchlaeufe = durchlaeufe;
    k.programmpause = pause;
    k.befehlspause = befehlspause;
    return k;
}

constexpr int KeinCode = std::numeric_limits<int>::min();

} // namespace

class TestProtokoll : public QObject {
    Q_OBJECT

private slots:
    void frequenzcode_data();
    void frequenzcode();
    void frequenzcodeUndFrequenzPassenZusammen();

    void sendeZahl24_data();
    void sendeZahl24();
    void schritteSendenPausiertVorJedemByte();
    void zahl24AusserhalbWirdVerweigert_data();
    void zahl24AusserhalbWirdVerweigert();

    void uebertragungEinSatz();
    void uebertragungOhneSaetze();
    void uebertragungZwanzigSaetze();
    void uebertragungRichtungUndUmkehr_data();
    void uebertragungRichtungUndUmkehr();
    void uebertragungVerweigert_data();
    void uebertragungVerweigert();
    void uebertragungMitRandwerten();

    void einfacheBefehle_data();
    void einfacheBefehle();
    void satzstartVerweigert();

    void eilgangLinks();
    void eilgangSchrittbytes_data();
    void eilgangSchrittbytes();
    void eilgangVerweigert_data();
    void eilgangVerweigert();

    void referenzfahrtStart_data();
    void referenzfahrtStart();
    void referenzfahrtStopp();

    void schrittmodusCode_data();
    void schrittmodusCode();
    void phasenstromCode_data();
    void phasenstromCode();
    void einstellungen_data();
    void einstellungen();
    void einstellungenVerweigert();
};

void TestProtokoll::frequenzcode_data() {
    QTest::addColumn<double>("hertz");
    QTest::addColumn<int>("code");

    QTest::newRow("100") << 100.0 << 1;
    QTest::newRow("125 (1,5 -> 2)") << 125.0 << 2;
    QTest::newRow("175 (2,5 -> 2)") << 175.0 << 2;
    QTest::newRow("225 (3,5 -> 4)") << 225.0 << 4;
    QTest::newRow("275 (4,5 -> 4)") << 275.0 << 4;
    QTest::newRow("276") << 276.0 << 5;
    QTest::newRow("300") << 300.0 << 5;
    QTest::newRow("325 (5,5 -> 6)") << 325.0 << 6;
    QTest::newRow("375 (6,5 -> 6)") << 375.0 << 6;
    QTest::newRow("600") << 600.0 << 11;
    QTest::newRow("1000") << 1000.0 << 19;
    QTest::newRow("4000") << 4000.0 << 79;
    QTest::newRow("12000") << 12000.0 << 239;
    QTest::newRow("12024") << 12024.0 << 239;
    QTest::newRow("12025 (239,5 -> 240)") << 12025.0 << 240;
    QTest::newRow("99.5") << 99.5 << 1;
    QTest::newRow("0") << 0.0 << -1;
    QTest::newRow("25 (-0,5 -> 0)") << 25.0 << 0;
    QTest::newRow("-25 (-1,5 -> -2)") << -25.0 << -2;
    QTest::newRow("grösster 16-Bit-Code") << 1638400.0 << 32767;
    QTest::newRow("über 16 Bit") << 1638450.0 << KeinCode;
    QTest::newRow("kleinster 16-Bit-Code") << -1638350.0 << -32768;
    QTest::newRow("unter 16 Bit") << -1638400.0 << KeinCode;
    QTest::newRow("1e9") << 1e9 << KeinCode;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << KeinCode;
    QTest::newRow("+unendlich") << std::numeric_limits<double>::infinity() << KeinCode;
    QTest::newRow("-unendlich") << -std::numeric_limits<double>::infinity() << KeinCode;
}

void TestProtokoll::frequenzcode() {
    QFETCH(double, hertz);
    QFETCH(int, code);
    const auto ist = Frequenzcode(hertz);
    if (code == KeinCode) {
        QVERIFY2(!ist.has_value(), qPrintable(QString::number(ist.value_or(0))));
    } else {
        QVERIFY(ist.has_value());
        QCOMPARE(*ist, code);
    }
}

void TestProtokoll::frequenzcodeUndFrequenzPassenZusammen() {
    // Every byte code turns into a frequency that turns back into the same code, also with
    // a frequency up to 24 Hz off.
    for (int code = 0; code <= 255; ++code) {
        const int hertz = FrequenzAusCode(code);
        QCOMPARE(Frequenzcode(hertz).value_or(-99), code);
        QCOMPARE(Frequenzcode(hertz + 24).value_or(-99), code);
        QCOMPARE(Frequenzcode(hertz - 24).value_or(-99), code);
    }
}

void TestProtokoll::sendeZahl24_data() {
    QTest::addColumn<qint64>("zahl");
    QTest::addColumn<int>("niedrig");
    QTest::addColumn<int>("mitte");
    QTest::addColumn<int>("hoch");

    QTest::newRow("0") << qint64(0) << 0 << 0 << 0;
    QTest::newRow("255") << qint64(255) << 255 << 0 << 0;
    QTest::newRow("256") << qint64(256) << 0 << 1 << 0;
    QTest::newRow("1000") << qint64(1000) << 232 << 3 << 0;
    QTest::newRow("5000") << qint64(5000) << 136 << 19 << 0;
    QTest::newRow("65535") << qint64(65535) << 255 << 255 << 0;
    QTest::newRow("65536") << qint64(65536) << 0 << 0 << 1;
    QTest::newRow("70000") << qint64(70000) << 112 << 17 << 1;
    QTest::newRow("8388608") << qint64(8388608) << 0 << 0 << 128;
    QTest::newRow("16777215") << qint64(16777215) << 255 << 255 << 255;
}

void TestProtokoll::sendeZahl24() {
    QFETCH(qint64, zahl);
    QFETCH(int, niedrig);
    QFETCH(int, mitte);
    QFETCH(int, hoch);

    const auto ist = SendeZahl24(zahl);
    QVERIFY(ist.has_value());
    Befehl soll;
    sendePause(soll, quint8(niedrig), 0.001);
    sendePause(soll, quint8(mitte), 0.001);
    sendePause(soll, quint8(hoch), 0.001);
    VERGLEICHE_BEFEHL(*ist, soll);
}

void TestProtokoll::schritteSendenPausiertVorJedemByte() {
    const auto ist = SchritteSenden(70000);
    QVERIFY(ist.has_value());
    Befehl soll;
    warte(soll, 0.001);
    sende(soll, 112);
    warte(soll, 0.001);
    sende(soll, 17);
    warte(soll, 0.001);
    sende(soll, 1);
    VERGLEICHE_BEFEHL(*ist, soll);
}

void TestProtokoll::zahl24AusserhalbWirdVerweigert_data() {
    QTest::addColumn<qint64>("zahl");
    QTest::newRow("-1") << qint64(-1);
    QTest::newRow("16777216") << qint64(16777216);
    QTest::newRow("2^32") << (qint64(1) << 32);
    QTest::newRow("2^32 + 5000") << (qint64(1) << 32) + 5000;
}

void TestProtokoll::zahl24AusserhalbWirdVerweigert() {
    QFETCH(qint64, zahl);
    QVERIFY(!SendeZahl24(zahl).has_value());
    QVERIFY(!SchritteSenden(zahl).has_value());
    QVERIFY(!Eilgang(Fahrtrichtung::Links, 19, zahl).has_value());
    Satzwerte s = standardsatz();
    s.schritte = zahl;
    QVERIFY(!Programmuebertragung(kopf(1, 10, 10), {s}).has_value());
}

void TestProtokoll::uebertragungEinSatz() {
    const auto ist = Programmuebertragung(kopf(1, 10, 10), {standardsatz()});
    QVERIFY(ist.has_value());

    Befehl soll;
    sendePause(soll, 3, 0.001);
    sendePause(soll, 1, 0.001);
    sendePause(soll, 10, 0.001);
    sendePause(soll, 1, 0.001);
    sendePause(soll, 10, 0.02);
    soll.push_back(Befehlsschritt::markeBei(1));
    for (int b : {136, 19, 0, 5, 79, 1, 10, 1, 0, 1})
        sendePause(soll, quint8(b), 0.001);
    warte(soll, 0.06);
    VERGLEICHE_BEFEHL(*ist, soll);
}

void TestProtokoll::uebertragungOhneSaetze() {
    const auto ist = Programmuebertragung(kopf(7, 0, 255), {});
    QVERIFY(ist.has_value());

    Befehl soll;
    sendePause(soll, 3, 0.001);
    sendePause(soll, 7, 0.001);
    sendePause(soll, 0, 0.001);
    sendePause(soll, 0, 0.001);
    sendePause(soll, 255, 0.02);
    VERGLEICHE_BEFEHL(*ist, soll);
}

void TestProtokoll::uebertragungZwanzigSaetze() {
    std::vector<Satzwerte> saetze;
    for (int i = 1; i <= 20; ++i) {
        Satzwerte s = standardsatz();
        s.schritte = i * 1000;
        s.durchlaeufe = i;
        saetze.push_back(s);
    }
    const auto ist = Programmuebertragung(kopf(2, 3, 4), saetze);
    QVERIFY(ist.has_value());

    const auto bytes = nurBytes(*ist);
    QCOMPARE(bytes.size(), size_t(205));
    QCOMPARE(int(bytes[3]), 20);

    // Walk the steps: every byte is followed by a pause; 20 ms after the header, and a
    // further 60 ms after every tenth block byte; marker i just before block i's first byte.
    int byteNr = 0;
    int naechsteMarke = 1;
    for (size_t k = 0; k < ist->size(); ++k) {
        const auto &s = (*ist)[k];
        if (s.art == Befehlsschritt::Art::Marke) {
            QCOMPARE(s.marke, naechsteMarke);
            QCOMPARE(byteNr, 5 + 10 * (naechsteMarke - 1));
            ++naechsteMarke;
            continue;
        }
        QCOMPARE(s.art, Befehlsschritt::Art::Byte);
        ++byteNr;
        QVERIFY(k + 1 < ist->size());
        const auto &danach = (*ist)[k + 1];
        QCOMPARE(danach.art, Befehlsschritt::Art::Pause);
        QCOMPARE(danach.sekunden, byteNr == 5 ? 0.02 : 0.001);
        ++k;
        if (byteNr > 5 && (byteNr - 5) % 10 == 0) {
            QVERIFY(k + 1 < ist->size());
            QCOMPARE((*ist)[k + 1].art, Befehlsschritt::Art::Pause);
            QCOMPARE((*ist)[k + 1].sekunden, 0.06);
            ++k;
        }
    }
    QCOMPARE(byteNr, 205);
    QCOMPARE(naechsteMarke, 21);

    // Block 20's step count and repeats are where they belong.
    const size_t satz20 = 5 + 10 * 19;
    QCOMPARE(int(bytes[satz20]), 20000 & 0xFF);
    QCOMPARE(int(bytes[satz20 + 1]), 20000 >> 8);
    QCOMPARE(int(bytes[satz20 + 5]), 20);
}

void TestProtokoll::uebertragungRichtungUndUmkehr_data() {
    QTest::addColumn<int>("richtung");
    QTest::addColumn<bool>("umkehr");
    QTest::addColumn<int>("richtungsbyte");
    QTest::addColumn<int>("umkehrbyte");

    QTest::newRow("rechts") << 1 << false << 1 << 0;
    QTest::newRow("links (0)") << 0 << true << 0 << 1;
    QTest::newRow("links (2)") << 2 << false << 0 << 0;
    QTest::newRow("links (-1)") << -1 << true << 0 << 1;
    QTest::newRow("links (257)") << 257 << false << 0 << 0;
}

void TestProtokoll::uebertragungRichtungUndUmkehr() {
    QFETCH(int, richtung);
    QFETCH(bool, umkehr);
    QFETCH(int, richtungsbyte);
    QFETCH(int, umkehrbyte);

    Satzwerte s = standardsatz();
    s.richtung = richtung;
    s.richtungsumkehr = umkehr;
    const auto ist = Programmuebertragung(kopf(1, 1, 1), {s});
    QVERIFY(ist.has_value());
    const auto bytes = nurBytes(*ist);
    QCOMPARE(bytes.size(), size_t(15));
    QCOMPARE(int(bytes[12]), richtungsbyte);
    QCOMPARE(int(bytes[13]), umkehrbyte);
}

void TestProtokoll::uebertragungVerweigert_data() {
    QTest::addColumn<int>("feld");
    QTest::addColumn<qint64>("wert");

    // feld: 0..2 header values, 3 step count, 4 start, 5 maximum frequency, 6 repeats,
    // 7 pause, 8 ramp
    QTest::newRow("Programmdurchläufe 256") << 0 << qint64(256);
    QTest::newRow("Programmdurchläufe -1") << 0 << qint64(-1);
    QTest::newRow("Programmpause 256") << 1 << qint64(256);
    QTest::newRow("Befehlspause 256") << 2 << qint64(256);
    QTest::newRow("Befehlspause -1") << 2 << qint64(-1);
    QTest::newRow("Schritte 16777216") << 3 << qint64(16777216);
    QTest::newRow("Schritte -1") << 3 << qint64(-1);
    QTest::newRow("Startfrequenz 0 (Code -1)") << 4 << qint64(0);
    QTest::newRow("Startfrequenz 12825 (Code 256)") << 4 << qint64(12825);
    QTest::newRow("Maximalfrequenz 1000000") << 5 << qint64(1000000);
    QTest::newRow("Maximalfrequenz -50") << 5 << qint64(-50);
    QTest::newRow("Satzdurchläufe 256") << 6 << qint64(256);
    QTest::newRow("Satzpause -1") << 7 << qint64(-1);
    QTest::newRow("Satzpause 256") << 7 << qint64(256);
    QTest::newRow("Rampe 256") << 8 << qint64(256);
    QTest::newRow("Rampe -1") << 8 << qint64(-1);
}

void TestProtokoll::uebertragungVerweigert() {
    QFETCH(int, feld);
    QFETCH(qint64, wert);

    Programmkopf k = kopf(1, 10, 10);
    // The bad value sits in the last of three blocks: nothing of the earlier ones may escape.
    std::vector<Satzwerte> saetze(3, standardsatz());
    Satzwerte &s = saetze.back();
    switch (feld) {
    case 0:
        k.programmdurchlaeufe = int(wert);
        break;
    case 1:
        k.programmpause = int(wert);
        break;
    case 2:
        k.befehlspause = int(wert);
        break;
    case 3:
        s.schritte = wert;
        break;
    case 4:
        s.startfrequenz = int(wert);
        break;
    case 5:
        s.maximalfrequenz = int(wert);
        break;
    case 6:
        s.durchlaeufe = int(wert);
        break;
    case 7:
        s.pause = int(wert);
        break;
    case 8:
        s.rampe = int(wert);
        break;
    }
    QVERIFY(!Programmuebertragung(k, saetze).has_value());
}

void TestProtokoll::uebertragungMitRandwerten() {
    // The largest values that still fit pass unchanged; 255 blocks is the most a byte counts,
    // 256 are refused.
    Satzwerte s;
    s.schritte = HoechsteSchrittzahl;
    s.startfrequenz = 25;      // code 0 (-0,5 rounds to 0)
    s.maximalfrequenz = 12800; // code 255
    s.durchlaeufe = 255;
    s.pause = 255;
    s.richtung = 1;
    s.richtungsumkehr = true;
    s.rampe = 255;
    const auto ist = Programmuebertragung(kopf(255, 255, 0), {s});
    QVERIFY(ist.has_value());
    const std::vector<quint8> soll{3, 255, 255, 1, 0, 255, 255, 255, 0, 255, 255, 255, 1, 1, 255};
    QCOMPARE(nurBytes(*ist), soll);

    QVERIFY(Programmuebertragung(kopf(1, 1, 1), std::vector<Satzwerte>(255, standardsatz()))
                .has_value());
    QVERIFY(!Programmuebertragung(kopf(1, 1, 1), std::vector<Satzwerte>(256, standardsatz()))
                 .has_value());
}

void TestProtokoll::einfacheBefehle_data() {
    QTest::addColumn<Befehl>("ist");
    QTest::addColumn<Befehl>("soll");

    auto einByte = [](quint8 b) { return Befehl{Befehlsschritt::byte(b)}; };
    auto satzstart = [](quint8 n) {
        Befehl b;
        sendePause(b, 5, 0.001);
        sendePause(b, n, 0.001);
        return b;
    };

    QTest::newRow("Programmstart") << Programmstart() << einByte(4);
    QTest::newRow("Manuell ein") << ManuellEin() << einByte(2);
    QTest::newRow("Manuell aus") << ManuellAus() << einByte(0);
    QTest::newRow("Einzelschritt links") << Einzelschritt(Fahrtrichtung::Links) << einByte(10);
    QTest::newRow("Einzelschritt rechts") << Einzelschritt(Fahrtrichtung::Rechts) << einByte(20);
    QTest::newRow("Einzelschritt Stopp") << EinzelschrittStopp() << einByte(255);
    QTest::newRow("Satzstart 1") << Satzstart(1).value_or(Befehl{}) << satzstart(1);
    QTest::newRow("Satzstart 20") << Satzstart(20).value_or(Befehl{}) << satzstart(20);
    QTest::newRow("Satzstart 255") << Satzstart(255).value_or(Befehl{}) << satzstart(255);
}

void TestProtokoll::einfacheBefehle() {
    QFETCH(Befehl, ist);
    QFETCH(Befehl, soll);
    VERGLEICHE_BEFEHL(ist, soll);
}

void TestProtokoll::satzstartVerweigert() {
    QVERIFY(!Satzstart(256).has_value());
    QVERIFY(!Satzstart(-1).has_value());
    QVERIFY(Satzstart(0).has_value());
}

void TestProtokoll::eilgangLinks() {
    const auto code = Frequenzcode(1000);
    QVERIFY(code.has_value());
    const auto ist = Eilgang(Fahrtrichtung::Links, *code, 1000);
    QVERIFY(ist.has_value());

    // 30, 19, 232, 3, 0 with 1 ms, 2 ms (two pauses of 1 ms), 1 ms, 1 ms between them and
    // nothing after the last byte.
    Befehl soll;
    sende(soll, 30);
    warte(soll, 0.001);
    sende(soll, 19);
    warte(soll, 0.001);
    warte(soll, 0.001);
    sende(soll, 232);
    warte(soll, 0.001);
    sende(soll, 3);
    warte(soll, 0.001);
    sende(soll, 0);
    VERGLEICHE_BEFEHL(*ist, soll);
}

void TestProtokoll::eilgangSchrittbytes_data() {
    QTest::addColumn<Fahrtrichtung>("richtung");
    QTest::addColumn<int>("code");
    QTest::addColumn<qint64>("schritte");
    QTest::addColumn<std::vector<quint8>>("bytes");

    QTest::newRow("rechts 70000") << Fahrtrichtung::Rechts << 5 << qint64(70000)
                                  << std::vector<quint8>{40, 5, 112, 17, 1};
    QTest::newRow("rechts 0") << Fahrtrichtung::Rechts << 239 << qint64(0)
                              << std::vector<quint8>{40, 239, 0, 0, 0};
    QTest::newRow("links 16777215") << Fahrtrichtung::Links << 19 << qint64(16777215)
                                    << std::vector<quint8>{30, 19, 255, 255, 255};
}

void TestProtokoll::eilgangSchrittbytes() {
    QFETCH(Fahrtrichtung, richtung);
    QFETCH(int, code);
    QFETCH(qint64, schritte);
    QFETCH(std::vector<quint8>, bytes);

    const auto ist = Eilgang(richtung, code, schritte);
    QVERIFY(ist.has_value());
    QCOMPARE(nurBytes(*ist), bytes);
    QCOMPARE(ist->back().art, Befehlsschritt::Art::Byte);
}

void TestProtokoll::eilgangVerweigert_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<qint64>("schritte");
    QTest::newRow("Code -1") << -1 << qint64(1000);
    QTest::newRow("Code 256") << 256 << qint64(1000);
    QTest::newRow("Schritte -1") << 19 << qint64(-1);
    QTest::newRow("Schritte 16777216") << 19 << qint64(16777216);
}

void TestProtokoll::eilgangVerweigert() {
    QFETCH(int, code);
    QFETCH(qint64, schritte);
    QVERIFY(!Eilgang(Fahrtrichtung::Links, code, schritte).has_value());
    QVERIFY(!Eilgang(Fahrtrichtung::Rechts, code, schritte).has_value());
}

void TestProtokoll::referenzfahrtStart_data() {
    QTest::addColumn<double>("hertz");
    QTest::addColumn<Fahrtrichtung>("richtung");
    QTest::addColumn<std::vector<quint8>>("bytes");

    QTest::newRow("200 links") << 200.0 << Fahrtrichtung::Links << std::vector<quint8>{6, 3, 1};
    QTest::newRow("200 rechts") << 200.0 << Fahrtrichtung::Rechts << std::vector<quint8>{6, 3, 2};
    QTest::newRow("100 links") << 100.0 << Fahrtrichtung::Links << std::vector<quint8>{6, 1, 1};
    QTest::newRow("600 rechts") << 600.0 << Fahrtrichtung::Rechts << std::vector<quint8>{6, 11, 2};
    QTest::newRow("225 links") << 225.0 << Fahrtrichtung::Links << std::vector<quint8>{6, 4, 1};
}

void TestProtokoll::referenzfahrtStart() {
    QFETCH(double, hertz);
    QFETCH(Fahrtrichtung, richtung);
    QFETCH(std::vector<quint8>, bytes);

    const auto code = Frequenzcode(hertz);
    QVERIFY(code.has_value());
    const auto ist = ReferenzfahrtStart(*code, richtung);
    QVERIFY(ist.has_value());
    Befehl soll;
    for (quint8 b : bytes)
        sende(soll, b); // no pauses between the three bytes
    VERGLEICHE_BEFEHL(*ist, soll);

    QVERIFY(!ReferenzfahrtStart(256, richtung).has_value());
    QVERIFY(!ReferenzfahrtStart(-1, richtung).has_value());
}

void TestProtokoll::referenzfahrtStopp() {
    Befehl soll;
    for (int i = 0; i < 4; ++i)
        sendePause(soll, 255, 0.0001);
    sendePause(soll, 255, 0.5);
    VERGLEICHE_BEFEHL(ReferenzfahrtStopp(), soll);
}

void TestProtokoll::schrittmodusCode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");

    QTest::newRow("Vollschritt") << QStringLiteral("Vollschritt") << 0;
    QTest::newRow("Halbschritt") << QStringLiteral("Halbschritt") << 1;
    QTest::newRow("Viertelschritt") << QStringLiteral("Viertelschritt") << 2;
    QTest::newRow("Fünftelschritt") << QStringLiteral("Fünftelschritt") << 3;
    QTest::newRow("Achtelschritt") << QStringLiteral("Achtelschritt") << 4;
    QTest::newRow("Zehntelschritt") << QStringLiteral("Zehntelschritt") << 5;
    QTest::newRow("leer") << QString() << 0;
    QTest::newRow("klein geschrieben") << QStringLiteral("halbschritt") << 0;
    QTest::newRow("mit Blank") << QStringLiteral("Halbschritt ") << 0;
    QTest::newRow("ohne Umlaut") << QStringLiteral("Fuenftelschritt") << 0;
}

void TestProtokoll::schrittmodusCode() {
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(SchrittmodusCode(text), code);
}

void TestProtokoll::phasenstromCode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");

    QTest::newRow("2,5 A") << QStringLiteral("2,5 A") << 1;
    QTest::newRow("3,0 A") << QStringLiteral("3,0 A") << 2;
    QTest::newRow("3,5 A") << QStringLiteral("3,5 A") << 4;
    QTest::newRow("4,0 A") << QStringLiteral("4,0 A") << 8;
    QTest::newRow("4,5 A") << QStringLiteral("4,5 A") << 16;
    QTest::newRow("5,0 A") << QStringLiteral("5,0 A") << 32;
    QTest::newRow("5,5 A") << QStringLiteral("5,5 A") << 64;
    QTest::newRow("6,0 A") << QStringLiteral("6,0 A") << 128;
    QTest::newRow("leer") << QString() << 0;
    QTest::newRow("Punkt statt Komma") << QStringLiteral("2.5 A") << 0;
    QTest::newRow("ohne Blank") << QStringLiteral("2,5A") << 0;
}

void TestProtokoll::phasenstromCode() {
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(PhasenstromCode(text), code);
}

void TestProtokoll::einstellungen_data() {
    QTest::addColumn<QString>("modus");
    QTest::addColumn<QString>("strom");
    QTest::addColumn<bool>("absenkungEin");
    QTest::addColumn<std::vector<quint8>>("bytes");

    QTest::newRow("Vorgabe") << StandardSchrittmodus << StandardPhasenstrom << true
                             << std::vector<quint8>{1, 1, 1, 0};
    QTest::newRow("Zehntelschritt, 6,0 A, aus")
        << QStringLiteral("Zehntelschritt") << QStringLiteral("6,0 A") << false
        << std::vector<quint8>{1, 5, 128, 1};
    QTest::newRow("Vollschritt, 4,0 A, ein")
        << QStringLiteral("Vollschritt") << QStringLiteral("4,0 A") << true
        << std::vector<quint8>{1, 0, 8, 0};
    QTest::newRow("unbekannte Texte")
        << QStringLiteral("?") << QStringLiteral("?") << true << std::vector<quint8>{1, 0, 0, 0};
}

void TestProtokoll::einstellungen() {
    QFETCH(QString, modus);
    QFETCH(QString, strom);
    QFETCH(bool, absenkungEin);
    QFETCH(std::vector<quint8>, bytes);

    const auto ist =
        Einstellungen(SchrittmodusCode(modus), PhasenstromCode(strom), AbsenkungCode(absenkungEin));
    QVERIFY(ist.has_value());
    Befehl soll;
    for (quint8 b : bytes)
        sende(soll, b); // one output of four characters, no pauses
    VERGLEICHE_BEFEHL(*ist, soll);
}

void TestProtokoll::einstellungenVerweigert() {
    QVERIFY(!Einstellungen(256, 1, 0).has_value());
    QVERIFY(!Einstellungen(1, 256, 0).has_value());
    QVERIFY(!Einstellungen(1, 1, -1).has_value());
    QVERIFY(Einstellungen(255, 255, 255).has_value());
}

QTEST_APPLESS_MAIN(TestProtokoll)
#include "tst_protokoll.moc"
