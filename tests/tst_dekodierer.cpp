#include "link/Dekodierer.h"
#include "link/Protokoll.h"
#include "model/Einstellwerte.h"

#include <QtTest>

Q_DECLARE_METATYPE(Befehlsschritt)
Q_DECLARE_METATYPE(Fahrtrichtung)
Q_DECLARE_METATYPE(Befehlsart)

namespace {

std::vector<quint8> nurBytes(const Befehl &b) {
    std::vector<quint8> bytes;
    for (const auto &s : b)
        if (s.art == Befehlsschritt::Art::Byte)
            bytes.push_back(s.wert);
    return bytes;
}

Befehl verbinde(std::initializer_list<Befehl> teile) {
    Befehl alle;
    for (const auto &t : teile)
        alle.insert(alle.end(), t.begin(), t.end());
    return alle;
}

Befehl ausBytes(std::initializer_list<int> bytes) {
    Befehl b;
    for (int x : bytes)
        sende(b, quint8(x));
    return b;
}

Satzwerte satz(qint64 schritte, int start, int maximal, int durchlaeufe, int pause, int richtung,
               bool umkehr, int rampe) {
    Satzwerte s;
    s.schritte = schritte;
    s.startfrequenz = start;
    s.maximalfrequenz = maximal;
    s.durchlaeufe = durchlaeufe;
    s.pause = pause;
    s.richtung = richtung;
    s.richtungsumkehr = umkehr;
    s.rampe = rampe;
    return s;
}

Programmkopf kopf(int durchlaeufe, int pause, int befehlspause) {
    Programmkopf k;
    k.programmdurchlaeufe = durchlaeufe;
    k.programmpause = pause;
    k.befehlspause = befehlspause;
    return k;
}

// anzahl blocks whose values differ from block to block, then three blocks with edge values
// (bytes 0, 255, 10, 30 inside the data).
std::vector<Satzwerte> gemischteSaetze(int anzahl) {
    std::vector<Satzwerte> saetze;
    for (int i = 0; i < anzahl; ++i)
        saetze.push_back(satz((qint64(i) * 1234567) % (HoechsteSchrittzahl + 1), 100 + 550 * i,
                              12000 - 300 * i, 1 + 13 * i, (37 * i) % 256, i % 3, i % 2 == 1,
                              1 + i % 4));
    saetze.push_back(satz(HoechsteSchrittzahl, 12000, 12000, 255, 255, 1, true, 4));
    saetze.push_back(satz(0, 100, 100, 1, 0, 0, false, 1));
    saetze.push_back(satz(0x0A1E00, 550, 1550, 30, 40, 1, false, 2)); // 0, 30, 10, 10, 30, ...
    return saetze;
}

// Everything that describes a decoded command apart from its text and times.
QString werte(const DekodierterBefehl &b) {
    auto opt = [](const auto &o) { return o ? QString::number(*o) : QStringLiteral("-"); };
    QStringList t;
    t << QString::number(int(b.art)) << QString::number(b.vollstaendig);
    QStringList bytes;
    for (quint8 x : b.bytes)
        bytes << QString::number(x);
    t << bytes.join(QLatin1Char(','));
    t << opt(b.programmdurchlaeufe) << opt(b.programmpause) << opt(b.anzahlSaetze)
      << opt(b.befehlspause) << QString::number(b.saetze.size()) << opt(b.satznummer)
      << (b.richtung ? QString::number(int(*b.richtung)) : QStringLiteral("-"))
      << opt(b.richtungsbyte) << opt(b.frequenzcode) << opt(b.schritte)
      << QString::number(b.stoppAnzahl) << opt(b.schrittmodusCode) << opt(b.phasenstromCode)
      << opt(b.absenkungCode);
    return t.join(QLatin1Char('|'));
}

QStringList alleWerte(const std::vector<DekodierterBefehl> &befehle) {
    QStringList liste;
    for (const auto &b : befehle)
        liste << werte(b);
    return liste;
}

std::vector<DekodierterBefehl> inTeilen(const std::vector<quint8> &bytes,
                                        const std::vector<size_t> &schnitte) {
    Dekodierer d;
    std::vector<DekodierterBefehl> befehle;
    size_t von = 0;
    auto speise = [&](size_t bis) {
        QByteArray teil(reinterpret_cast<const char *>(bytes.data()) + von, int(bis - von));
        for (auto &b : d.einspeisen(teil))
            befehle.push_back(std::move(b));
        von = bis;
    };
    for (size_t s : schnitte)
        speise(s);
    speise(bytes.size());
    if (auto rest = d.abschliessen())
        befehle.push_back(std::move(*rest));
    return befehle;
}

void pruefeSaetze(const std::vector<DekodierterSatz> &ist, const std::vector<Satzwerte> &soll) {
    QCOMPARE(ist.size(), soll.size());
    for (size_t i = 0; i < soll.size(); ++i) {
        const auto &s = soll[i];
        const auto &d = ist[i];
        QCOMPARE(d.schritte, s.schritte);
        QCOMPARE(d.startcode, *Frequenzcode(s.startfrequenz));
        QCOMPARE(d.maximalcode, *Frequenzcode(s.maximalfrequenz));
        QCOMPARE(d.startfrequenz(), FrequenzAusCode(*Frequenzcode(s.startfrequenz)));
        QCOMPARE(d.durchlaeufe, s.durchlaeufe);
        QCOMPARE(d.pause, s.pause);
        QCOMPARE(d.rechts(), s.richtung == 1);
        QCOMPARE(d.richtungsumkehr(), s.richtungsumkehr);
        QCOMPARE(d.rampe, s.rampe);
    }
}

} // namespace

class TestDekodierer : public QObject {
    Q_OBJECT

private slots:
    void uebertragungRundreise_data();
    void uebertragungRundreise();
    void einfacheBefehleRundreise_data();
    void einfacheBefehleRundreise();
    void eilgangRundreise_data();
    void eilgangRundreise();
    void referenzfahrtRundreise_data();
    void referenzfahrtRundreise();
    void einstellungenRundreise();
    void referenzfahrtStoppRundreise();

    void unbekannteBytes_data();
    void unbekannteBytes();
    void datenbytesSindKeineBefehle();
    void unvollstaendig_data();
    void unvollstaendig();
    void aufgeteiltAnJederStelle();
    void einzelnGespeist();
    void unbekannterEinstellcode_data();
    void unbekannterEinstellcode();
    void zeitenAusPausen();
    void texte_data();
    void texte();
    void uebertragungText();
};

void TestDekodierer::uebertragungRundreise_data() {
    QTest::addColumn<int>("anzahl");
    QTest::addColumn<int>("durchlaeufe");
    QTest::addColumn<int>("pause");
    QTest::addColumn<int>("befehlspause");

    QTest::newRow("ohne Sätze") << 0 << 1 << 10 << 10;
    QTest::newRow("1 Satz") << 1 << 255 << 0 << 255;
    QTest::newRow("7 Sätze") << 7 << 3 << 255 << 0;
    QTest::newRow("20 Sätze") << 20 << 0 << 1 << 2;
}

void TestDekodierer::uebertragungRundreise() {
    QFETCH(int, anzahl);
    QFETCH(int, durchlaeufe);
    QFETCH(int, pause);
    QFETCH(int, befehlspause);

    std::vector<Satzwerte> saetze = gemischteSaetze(20);
    saetze.resize(size_t(anzahl));
    const auto befehl = Programmuebertragung(kopf(durchlaeufe, pause, befehlspause), saetze);
    QVERIFY(befehl.has_value());

    const auto befehle = Dekodierer::dekodiere(*befehl);
    QCOMPARE(befehle.size(), size_t(1));
    const auto &b = befehle.front();
    QCOMPARE(b.art, Befehlsart::Programmuebertragung);
    QVERIFY(b.vollstaendig);
    QCOMPARE(b.bytes, nurBytes(*befehl));
    QCOMPARE(b.programmdurchlaeufe, std::optional<int>(durchlaeufe));
    QCOMPARE(b.programmpause, std::optional<int>(pause));
    QCOMPARE(b.anzahlSaetze, std::optional<int>(anzahl));
    QCOMPARE(b.befehlspause, std::optional<int>(befehlspause));
    pruefeSaetze(b.saetze, saetze);
    QCOMPARE(b.zeilen().size(), anzahl + 1);
}

void TestDekodierer::einfacheBefehleRundreise_data() {
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<Befehlsart>("art");
    QTest::addColumn<int>("richtung");   // -1: none, else Fahrtrichtung
    QTest::addColumn<int>("satznummer"); // -1: none

    const int L = int(Fahrtrichtung::Links);
    const int R = int(Fahrtrichtung::Rechts);
    QTest::newRow("Programmstart") << Programmstart() << Befehlsart::Programmstart << -1 << -1;
    QTest::newRow("Manuell ein") << ManuellEin() << Befehlsart::ManuellEin << -1 << -1;
    QTest::newRow("Manuell aus") << ManuellAus() << Befehlsart::ManuellAus << -1 << -1;
    QTest::newRow("Einzelschritt links")
        << Einzelschritt(Fahrtrichtung::Links) << Befehlsart::Einzelschritt << L << -1;
    QTest::newRow("Einzelschritt rechts")
        << Einzelschritt(Fahrtrichtung::Rechts) << Befehlsart::Einzelschritt << R << -1;
    QTest::newRow("Einzelschritt Stopp") << EinzelschrittStopp() << Befehlsart::Stopp << -1 << -1;
    for (int n : {0, 1, 20, 255})
        QTest::addRow("Satzstart %d", n) << *Satzstart(n) << Befehlsart::Satzstart << -1 << n;
}

void TestDekodierer::einfacheBefehleRundreise() {
    QFETCH(Befehl, befehl);
    QFETCH(Befehlsart, art);
    QFETCH(int, richtung);
    QFETCH(int, satznummer);

    const auto befehle = Dekodierer::dekodiere(befehl);
    QCOMPARE(befehle.size(), size_t(1));
    const auto &b = befehle.front();
    QCOMPARE(b.art, art);
    QVERIFY(b.vollstaendig);
    QCOMPARE(b.bytes, nurBytes(befehl));
    if (richtung < 0)
        QVERIFY(!b.richtung);
    else
        QCOMPARE(b.richtung, std::optional<Fahrtrichtung>(Fahrtrichtung(richtung)));
    if (satznummer < 0)
        QVERIFY(!b.satznummer);
    else
        QCOMPARE(b.satznummer, std::optional<int>(satznummer));
}

void TestDekodierer::eilgangRundreise_data() {
    QTest::addColumn<Fahrtrichtung>("richtung");
    QTest::addColumn<int>("code");
    QTest::addColumn<qint64>("schritte");

    QTest::newRow("links 1000 Hz, 1000") << Fahrtrichtung::Links << 19 << qint64(1000);
    QTest::newRow("rechts 300 Hz, 70000") << Fahrtrichtung::Rechts << 5 << qint64(70000);
    QTest::newRow("rechts 12000 Hz, 0") << Fahrtrichtung::Rechts << 239 << qint64(0);
    QTest::newRow("links, 16777215") << Fahrtrichtung::Links << 255 << qint64(HoechsteSchrittzahl);
    QTest::newRow("links, Code 0, Schritte 0x0A1E00")
        << Fahrtrichtung::Links << 0 << qint64(0x0A1E00);
}

void TestDekodierer::eilgangRundreise() {
    QFETCH(Fahrtrichtung, richtung);
    QFETCH(int, code);
    QFETCH(qint64, schritte);

    const auto befehl = Eilgang(richtung, code, schritte);
    QVERIFY(befehl.has_value());
    const auto befehle = Dekodierer::dekodiere(*befehl);
    QCOMPARE(befehle.size(), size_t(1));
    const auto &b = befehle.front();
    QCOMPARE(b.art, Befehlsart::Eilgang);
    QVERIFY(b.vollstaendig);
    QCOMPARE(b.richtung, std::optional<Fahrtrichtung>(richtung));
    QCOMPARE(b.frequenzcode, std::optional<int>(code));
    QCOMPARE(b.frequenz(), std::optional<int>(FrequenzAusCode(code)));
    QCOMPARE(b.schritte, std::optional<qint64>(schritte));
}

void TestDekodierer::referenzfahrtRundreise_data() {
    QTest::addColumn<Fahrtrichtung>("richtung");
    QTest::addColumn<int>("code");
    QTest::newRow("links 200 Hz") << Fahrtrichtung::Links << 3;
    QTest::newRow("rechts 200 Hz") << Fahrtrichtung::Rechts << 3;
    QTest::newRow("rechts 600 Hz") << Fahrtrichtung::Rechts << 11;
    QTest::newRow("links, Code 255") << Fahrtrichtung::Links << 255;
}

void TestDekodierer::referenzfahrtRundreise() {
    QFETCH(Fahrtrichtung, richtung);
    QFETCH(int, code);

    const auto befehl = ReferenzfahrtStart(code, richtung);
    QVERIFY(befehl.has_value());
    const auto befehle = Dekodierer::dekodiere(*befehl);
    QCOMPARE(befehle.size(), size_t(1));
    const auto &b = befehle.front();
    QCOMPARE(b.art, Befehlsart::ReferenzfahrtStart);
    QCOMPARE(b.richtung, std::optional<Fahrtrichtung>(richtung));
    QCOMPARE(b.frequenzcode, std::optional<int>(code));
}

void TestDekodierer::einstellungenRundreise() {
    // Every combination the dialog can offer comes back with its names.
    for (const QString &modus : Schrittmodi())
        for (const QString &strom : Phasenströme())
            for (bool ein : {true, false}) {
                const auto befehl = Einstellungen(SchrittmodusCode(modus), PhasenstromCode(strom),
                                                  AbsenkungCode(ein));
                QVERIFY(befehl.has_value());
                const auto befehle = Dekodierer::dekodiere(*befehl);
                QCOMPARE(befehle.size(), size_t(1));
                const auto &b = befehle.front();
                QCOMPARE(b.art, Befehlsart::Einstellungen);
                QCOMPARE(b.schrittmodus(), std::optional<QString>(modus));
                QCOMPARE(b.phasenstrom(), std::optional<QString>(strom));
                QCOMPARE(b.absenkungEin(), std::optional<bool>(ein));
            }
}

void TestDekodierer::referenzfahrtStoppRundreise() {
    const auto einzeln = Dekodierer::dekodiere(ReferenzfahrtStopp());
    QCOMPARE(einzeln.size(), size_t(5));
    for (const auto &b : einzeln) {
        QCOMPARE(b.art, Befehlsart::Stopp);
        QCOMPARE(b.stoppAnzahl, 1);
    }

    // A single step's stop, then the reference stop after a start: runs are merged only
    // where the stops are adjacent.
    const auto befehle = StoppsZusammenfassen(Dekodierer::dekodiere(
        verbinde({Einzelschritt(Fahrtrichtung::Links), EinzelschrittStopp(),
                  *ReferenzfahrtStart(3, Fahrtrichtung::Rechts), ReferenzfahrtStopp()})));
    QCOMPARE(befehle.size(), size_t(4));
    QCOMPARE(befehle[1].art, Befehlsart::Stopp);
    QCOMPARE(befehle[1].stoppAnzahl, 1);
    QCOMPARE(befehle[2].art, Befehlsart::ReferenzfahrtStart);
    QCOMPARE(befehle[3].art, Befehlsart::Stopp);
    QCOMPARE(befehle[3].stoppAnzahl, 5);
    QCOMPARE(befehle[3].bytes, std::vector<quint8>(5, 255));
}

void TestDekodierer::unbekannteBytes_data() {
    QTest::addColumn<Befehl>("strom");
    QTest::addColumn<QList<int>>("unbekannt"); // the unknown bytes in order
    QTest::addColumn<Befehlsart>("danach");

    QTest::newRow("Müll vor Eilgang")
        << verbinde({ausBytes({7, 8, 9}), *Eilgang(Fahrtrichtung::Links, 19, 1000)})
        << QList<int>{7, 8, 9} << Befehlsart::Eilgang;
    QTest::newRow("Müll vor Übertragung")
        << verbinde({ausBytes({11, 100, 254, 41}), *Programmuebertragung(kopf(1, 1, 1), {})})
        << QList<int>{11, 100, 254, 41} << Befehlsart::Programmuebertragung;
    QTest::newRow("Müll vor Programmstart")
        << verbinde({ausBytes({9}), Programmstart()}) << QList<int>{9} << Befehlsart::Programmstart;
}

void TestDekodierer::unbekannteBytes() {
    QFETCH(Befehl, strom);
    QFETCH(QList<int>, unbekannt);
    QFETCH(Befehlsart, danach);

    const auto befehle = Dekodierer::dekodiere(strom);
    QCOMPARE(befehle.size(), size_t(unbekannt.size() + 1));
    for (int i = 0; i < unbekannt.size(); ++i) {
        QCOMPARE(befehle[size_t(i)].art, Befehlsart::UnbekanntesByte);
        QCOMPARE(befehle[size_t(i)].bytes, std::vector<quint8>{quint8(unbekannt[i])});
        QCOMPARE(befehle[size_t(i)].text(),
                 QStringLiteral("unbekanntes Byte %1").arg(unbekannt[i]));
    }
    QCOMPARE(befehle.back().art, danach);
    QVERIFY(befehle.back().vollstaendig);
}

void TestDekodierer::datenbytesSindKeineBefehle() {
    // Bytes that begin commands elsewhere (255, 0, 10, 30, 3) are data inside a command.
    const auto saetze = gemischteSaetze(3);
    const Befehl strom =
        verbinde({*Programmuebertragung(kopf(255, 0, 255), saetze), *Satzstart(255),
                  *Eilgang(Fahrtrichtung::Rechts, 255, 0xFF00FF), *Einstellungen(0, 255, 3),
                  *ReferenzfahrtStart(0, Fahrtrichtung::Links), ManuellAus()});
    const auto befehle = Dekodierer::dekodiere(strom);
    QCOMPARE(befehle.size(), size_t(6));
    QCOMPARE(befehle[0].art, Befehlsart::Programmuebertragung);
    pruefeSaetze(befehle[0].saetze, saetze);
    QCOMPARE(befehle[1].satznummer, std::optional<int>(255));
    QCOMPARE(befehle[2].schritte, std::optional<qint64>(0xFF00FF));
    QCOMPARE(befehle[3].art, Befehlsart::Einstellungen);
    QCOMPARE(befehle[4].frequenzcode, std::optional<int>(0));
    QCOMPARE(befehle[5].art, Befehlsart::ManuellAus);
    for (const auto &b : befehle)
        QVERIFY(b.vollstaendig);
}

void TestDekodierer::unvollstaendig_data() {
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<int>("behalten"); // bytes that arrive before the stream ends

    const auto uebertragung = *Programmuebertragung(kopf(2, 3, 4), gemischteSaetze(2));
    for (int k : {1, 3, 4, 5, 6, 14, 15, 24, 34})
        QTest::addRow("Übertragung nach %d Bytes", k) << uebertragung << k;
    QTest::newRow("Eilgang nach 1") << *Eilgang(Fahrtrichtung::Links, 19, 1000) << 1;
    QTest::newRow("Eilgang nach 4") << *Eilgang(Fahrtrichtung::Rechts, 19, 1000) << 4;
    QTest::newRow("Satzstart nach 1") << *Satzstart(3) << 1;
    QTest::newRow("Referenzfahrt nach 2") << *ReferenzfahrtStart(3, Fahrtrichtung::Links) << 2;
    QTest::newRow("Einstellungen nach 3") << *Einstellungen(1, 1, 0) << 3;
}

void TestDekodierer::unvollstaendig() {
    QFETCH(Befehl, befehl);
    QFETCH(int, behalten);

    auto bytes = nurBytes(befehl);
    bytes.resize(size_t(behalten));
    Dekodierer d;
    QVERIFY(d.einspeisen(bytes).empty());
    QVERIFY(d.imBefehl());
    const auto rest = d.abschliessen();
    QVERIFY(rest.has_value());
    QVERIFY(!d.imBefehl());
    QVERIFY(!rest->vollstaendig);
    QCOMPARE(rest->bytes, bytes);
    QVERIFY(rest->text().contains(QStringLiteral("unvollständig")));

    // What arrived is decoded; what did not stays unset.
    const auto alles = Dekodierer::dekodiere(befehl).front();
    auto soFern = [&](size_t index, const std::optional<int> &wert) {
        return index < bytes.size() ? wert : std::nullopt;
    };
    switch (rest->art) {
    case Befehlsart::Programmuebertragung: {
        QCOMPARE(rest->programmdurchlaeufe, soFern(1, alles.programmdurchlaeufe));
        QCOMPARE(rest->programmpause, soFern(2, alles.programmpause));
        QCOMPARE(rest->anzahlSaetze, soFern(3, alles.anzahlSaetze));
        QCOMPARE(rest->befehlspause, soFern(4, alles.befehlspause));
        const size_t ganze = bytes.size() < 5 ? 0 : (bytes.size() - 5) / 10;
        QCOMPARE(rest->saetze.size(), ganze);
        for (size_t i = 0; i < ganze; ++i)
            QCOMPARE(rest->saetze[i].schritte, alles.saetze[i].schritte);
        break;
    }
    case Befehlsart::Eilgang:
        QCOMPARE(rest->richtung, alles.richtung);
        QCOMPARE(rest->frequenzcode, soFern(1, alles.frequenzcode));
        QVERIFY(!rest->schritte);
        break;
    case Befehlsart::Satzstart:
        QVERIFY(!rest->satznummer);
        break;
    case Befehlsart::ReferenzfahrtStart:
        QCOMPARE(rest->frequenzcode, alles.frequenzcode);
        QVERIFY(!rest->richtung);
        QVERIFY(!rest->richtungsbyte);
        break;
    case Befehlsart::Einstellungen:
        QCOMPARE(rest->phasenstromCode, alles.phasenstromCode);
        QVERIFY(!rest->absenkungCode);
        break;
    default:
        QFAIL("unerwartete Befehlsart");
    }

    // Nothing is left over for the next stream.
    QVERIFY(!d.abschliessen().has_value());
    const auto neu = d.einspeisen(Programmstart().front().wert);
    QCOMPARE(neu.size(), size_t(1));
    QCOMPARE(neu.front().art, Befehlsart::Programmstart);
}

void TestDekodierer::aufgeteiltAnJederStelle() {
    const Befehl strom =
        verbinde({ManuellEin(), *Eilgang(Fahrtrichtung::Links, 19, 1000),
                  Einzelschritt(Fahrtrichtung::Rechts), EinzelschrittStopp(), ManuellAus(),
                  *Programmuebertragung(kopf(1, 10, 10), gemischteSaetze(2)), ausBytes({7}),
                  *Satzstart(2), Programmstart(), *ReferenzfahrtStart(3, Fahrtrichtung::Links),
                  ReferenzfahrtStopp(), *Einstellungen(5, 128, 1)});
    const auto bytes = nurBytes(strom);
    const QStringList soll = alleWerte(Dekodierer::dekodiere(strom));
    QCOMPARE(soll.size(), 16);

    for (size_t schnitt = 0; schnitt <= bytes.size(); ++schnitt)
        QCOMPARE(alleWerte(inTeilen(bytes, {schnitt})), soll);
    // Three pieces, one cut in every command.
    for (size_t a = 0; a + 7 <= bytes.size(); a += 3)
        QCOMPARE(alleWerte(inTeilen(bytes, {a, a + 7})), soll);
}

void TestDekodierer::einzelnGespeist() {
    // Byte by byte: each command comes out exactly with its last byte.
    const Befehl strom = verbinde({*Eilgang(Fahrtrichtung::Rechts, 5, 70000), ManuellAus(),
                                   *Programmuebertragung(kopf(1, 2, 3), gemischteSaetze(1))});
    const auto bytes = nurBytes(strom);
    Dekodierer d;
    std::vector<size_t> enden;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!d.einspeisen(bytes[i], double(i)).empty())
            enden.push_back(i);
    QCOMPARE(enden, (std::vector<size_t>{4, 5, bytes.size() - 1}));
    QVERIFY(!d.abschliessen().has_value());
}

void TestDekodierer::unbekannterEinstellcode_data() {
    QTest::addColumn<int>("modus");
    QTest::addColumn<int>("strom");
    QTest::addColumn<int>("absenkung");
    QTest::addColumn<bool>("modusBekannt");
    QTest::addColumn<bool>("stromBekannt");
    QTest::addColumn<bool>("absenkungBekannt");
    QTest::addColumn<QString>("text");

    QTest::newRow("Schrittmodus 6") << 6 << 1 << 0 << false << true << true
                                    << "Einstellungen: unbekannter Schrittmodus 6, 2,5 A, "
                                       "Stromabsenkung ein";
    QTest::newRow("Phasenstrom 0 (kein Eintrag)")
        << 1 << 0 << 1 << true << false << true
        << "Einstellungen: Halbschritt, unbekannter Phasenstrom 0, Stromabsenkung aus";
    QTest::newRow("Phasenstrom 3 (zwei Bits)")
        << 0 << 3 << 0 << true << false << true
        << "Einstellungen: Vollschritt, unbekannter Phasenstrom 3, Stromabsenkung ein";
    QTest::newRow("Absenkung 2") << 5 << 128 << 2 << true << true << false
                                 << "Einstellungen: Zehntelschritt, 6,0 A, unbekannte "
                                    "Stromabsenkung 2";
    QTest::newRow("alles 255") << 255 << 255 << 255 << false << false << false
                               << "Einstellungen: unbekannter Schrittmodus 255, unbekannter "
                                  "Phasenstrom 255, unbekannte Stromabsenkung 255";
}

void TestDekodierer::unbekannterEinstellcode() {
    QFETCH(int, modus);
    QFETCH(int, strom);
    QFETCH(int, absenkung);
    QFETCH(bool, modusBekannt);
    QFETCH(bool, stromBekannt);
    QFETCH(bool, absenkungBekannt);
    QFETCH(QString, text);

    const auto befehle = Dekodierer::dekodiere(ausBytes({1, modus, strom, absenkung, 4}));
    QCOMPARE(befehle.size(), size_t(2));
    const auto &b = befehle.front();
    QCOMPARE(b.art, Befehlsart::Einstellungen);
    QCOMPARE(b.schrittmodusCode, std::optional<int>(modus));
    QCOMPARE(b.phasenstromCode, std::optional<int>(strom));
    QCOMPARE(b.absenkungCode, std::optional<int>(absenkung));
    QCOMPARE(b.schrittmodus().has_value(), modusBekannt);
    QCOMPARE(b.phasenstrom().has_value(), stromBekannt);
    QCOMPARE(b.absenkungEin().has_value(), absenkungBekannt);
    QCOMPARE(b.text(), text);
    QCOMPARE(befehle.back().art, Befehlsart::Programmstart);
}

void TestDekodierer::zeitenAusPausen() {
    // The arrival times follow the pauses of the command: rapid travel's last byte comes
    // after five pauses of 1 ms.
    const auto befehle = Dekodierer::dekodiere(verbinde(
        {*Eilgang(Fahrtrichtung::Links, 19, 1000), ReferenzfahrtStopp(), Programmstart()}));
    QCOMPARE(befehle.size(), size_t(7));
    QCOMPARE(befehle[0].zeitAnfang, 0.0);
    QVERIFY(qFuzzyCompare(befehle[0].zeitEnde, 0.005));
    QVERIFY(qFuzzyCompare(befehle[5].zeitAnfang, 0.0054));
    QVERIFY(qFuzzyCompare(befehle[6].zeitAnfang, 0.5054));

    Dekodierer d;
    QVERIFY(std::isnan(d.einspeisen(QByteArray(1, char(4))).front().zeitAnfang));
    d.einspeisen(QByteArray(1, char(30)), 1.5);
    d.einspeisen(QByteArray(3, char(0)), 2.0);
    const auto eilgang = d.einspeisen(QByteArray(1, char(0)), 2.5);
    QCOMPARE(eilgang.size(), size_t(1));
    QCOMPARE(eilgang.front().zeitAnfang, 1.5);
    QCOMPARE(eilgang.front().zeitEnde, 2.5);
}

void TestDekodierer::texte_data() {
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<QString>("text");

    QTest::newRow("Eilgang") << *Eilgang(Fahrtrichtung::Links, 19, 1000)
                             << "Eilgang links: 1000 Hz, 1000 Schritte";
    QTest::newRow("Eilgang rechts") << *Eilgang(Fahrtrichtung::Rechts, 239, 16777215)
                                    << "Eilgang rechts: 12000 Hz, 16777215 Schritte";
    QTest::newRow("Einstellungen")
        << *Einstellungen(1, 1, 0) << "Einstellungen: Halbschritt, 2,5 A, Stromabsenkung ein";
    QTest::newRow("Referenzfahrt")
        << *ReferenzfahrtStart(3, Fahrtrichtung::Rechts) << "Referenzfahrt rechts: 200 Hz";
    QTest::newRow("Referenzfahrt ohne Richtung")
        << ausBytes({6, 3, 0}) << "Referenzfahrt, unbekannte Richtung 0: 200 Hz";
    QTest::newRow("Satzstart") << *Satzstart(12) << "Satzstart: Satz 12";
    QTest::newRow("Einzelschritt") << Einzelschritt(Fahrtrichtung::Links) << "Einzelschritt links";
    QTest::newRow("Eilgang unvollständig")
        << ausBytes({40, 19}) << "Eilgang rechts unvollständig, empfangen: 40, 19";
}

void TestDekodierer::texte() {
    QFETCH(Befehl, befehl);
    QFETCH(QString, text);
    const auto befehle = Dekodierer::dekodiere(befehl);
    QCOMPARE(befehle.size(), size_t(1));
    QCOMPARE(befehle.front().text(), text);
}

void TestDekodierer::uebertragungText() {
    std::vector<Satzwerte> saetze{satz(5000, 300, 4000, 1, 10, 1, false, 1),
                                  satz(70000, 100, 12000, 255, 0, 0, true, 4)};
    const auto befehle = Dekodierer::dekodiere(*Programmuebertragung(kopf(1, 10, 10), saetze));
    QCOMPARE(befehle.size(), size_t(1));
    const QStringList soll{
        QStringLiteral("Programmübertragung: 2 Sätze, Programmdurchläufe 1, Programmpause 10, "
                       "Befehlspause 10"),
        QStringLiteral("  Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe 1, Pause 10, "
                       "rechts, ohne Richtungsänderung, Rampe 1 (2ms/100Hz)"),
        QStringLiteral("  Satz 2: 70000 Schritte, 100 Hz → 12000 Hz, Durchläufe 255, Pause 0, "
                       "links, mit Richtungsänderung, Rampe 4 (20ms/100Hz)")};
    QCOMPARE(befehle.front().zeilen(), soll);

    // Cut inside the second block.
    auto bytes = befehle.front().bytes;
    bytes.resize(17);
    Dekodierer d;
    d.einspeisen(bytes);
    const auto rest = d.abschliessen();
    QVERIFY(rest.has_value());
    const QStringList sollRest{
        QStringLiteral("Programmübertragung unvollständig (17 von 25 Bytes): 2 Sätze, "
                       "Programmdurchläufe 1, Programmpause 10, Befehlspause 10"),
        soll[1], QStringLiteral("  Satz 2 unvollständig, empfangen: 112, 17")};
    QCOMPARE(rest->zeilen(), sollRest);
}

QTEST_APPLESS_MAIN(TestDekodierer)
#include "tst_dekodierer.moc"
