// The virtual controller: its lines, answers and program memory without a device, then on a
// real pseudo-terminal through the program's serial link, then the tool zelkor-sim itself.
#include "VirtuellerAnschluss.h"
#include "VirtuellerController.h"

#include "files/Programmverzeichnis.h"
#include "link/Protokoll.h"
#include "link/SerielleSchnittstelle.h"

#include "Testdaten.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Time 0 of the tests' controllers.
const QDateTime Beginn(QDate(2024, 3, 1), QTime(12, 0, 0));
const QString Einrückung(16, QLatin1Char(' '));

// A two-block program whose data holds 255, 10 and 0 (data, not commands).
QByteArray ZweiSätze() {
    return BytesVon(Gebaut(Programmuebertragung(
        Programmkopf{2, 0, 10}, {Testsatz(), Testsatz(65535, 550, 12000, 10, 255, 0, true, 4)})));
}

// Feeds each byte at its own time, stepping by abstand seconds from beginn.
VirtuellerController::Ausgabe Einzeln(VirtuellerController &c, const QByteArray &daten,
                                      double beginn, double abstand) {
    VirtuellerController::Ausgabe alle;
    for (qsizetype i = 0; i < daten.size(); ++i) {
        VirtuellerController::Ausgabe aus = c.empfangen(daten.mid(i, 1), beginn + i * abstand);
        alle.zeilen += aus.zeilen;
        alle.antworten += aus.antworten;
    }
    return alle;
}

} // namespace

class TestVirtuellerController : public QObject {
    Q_OBJECT
private slots:
    void zeilen_data();
    void zeilen();
    void stopps();
    void einzelschrittWirdBeantwortet();
    void programmspeicher();
    void anschlussUndWerkzeug();
};

void TestVirtuellerController::zeilen_data() {
    QTest::addColumn<QByteArray>("vorher"); // received at 0.5 s, its lines not checked
    QTest::addColumn<QByteArray>("eingang");
    QTest::addColumn<QStringList>("erwartet");
    const auto zeile = [](const char *fall, const QByteArray &vorher, const QByteArray &eingang,
                          const QStringList &erwartet) {
        QTest::newRow(fall) << vorher << eingang << erwartet;
    };

    const QString keinProgramm = Einrückung + "Hinweis: es wurde kein Programm übertragen";
    const QString nichtManuell = Einrückung + "Hinweis: Manuelle Fahrt ist nicht eingeschaltet";
    const QString satz2 = Einrückung + "Satz 2: 65535 Schritte, 550 Hz → 12000 Hz, Durchläufe "
                                       "10, Pause 255, links, mit Richtungsänderung, Rampe 4 "
                                       "(20ms/100Hz)";
    zeile("Programmstart ohne Programm", "", Bytes({4}),
          {"12:00:01,250  Programmstart", keinProgramm});
    zeile("Übertragung mit 255 und 10 in den Daten", "", ZweiSätze(),
          {"12:00:01,250  Programmübertragung: 2 Sätze, Programmdurchläufe 2, Programmpause 0, "
           "Befehlspause 10",
           Einrückung + "Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe 1, Pause 10, "
                        "rechts, ohne Richtungsänderung, Rampe 1 (2ms/100Hz)",
           satz2});
    zeile("Unsinn vor einem Befehl", "", Bytes({7, 8, 9, 5, 3}),
          {"12:00:01,250  unbekannte Bytes: 7, 8, 9", "12:00:01,250  Satzstart: Satz 3",
           keinProgramm});
    zeile("Satzstart zeigt den Satz", ZweiSätze(), Bytes({5, 2}),
          {"12:00:01,250  Satzstart: Satz 2", satz2});
    zeile("Satzstart ohne den Satz", ZweiSätze(), Bytes({5, 3}),
          {"12:00:01,250  Satzstart: Satz 3",
           Einrückung + "Hinweis: Satz 3 gibt es im übertragenen Programm (2 Sätze) nicht"});
    zeile("Programmstart mit Programm", ZweiSätze(), Bytes({4}), {"12:00:01,250  Programmstart"});
    zeile("Einzelschritt ohne Handbetrieb", "", Bytes({10}),
          {"12:00:01,250  Einzelschritt links", nichtManuell});
    zeile("Eilgang nach Manuell aus", Bytes({2, 0}), Bytes({30, 19, 0, 0, 0}),
          {"12:00:01,250  Eilgang links: 1000 Hz, 0 Schritte", nichtManuell});
}

void TestVirtuellerController::zeilen() {
    QFETCH(QByteArray, vorher);
    QFETCH(QByteArray, eingang);
    QFETCH(QStringList, erwartet);
    VirtuellerController c(Beginn);
    c.empfangen(vorher, 0.5);
    const VirtuellerController::Ausgabe aus = c.empfangen(eingang, 1.25);
    // A run of unknown bytes waits for its window to pass.
    const VirtuellerController::Ausgabe rest = c.ruhe(1.25 + VirtuellerController::StoppFenster);
    QCOMPARE(aus.zeilen + rest.zeilen, erwartet);
    QVERIFY(!c.naechsteRuhe());
}

void TestVirtuellerController::stopps() {
    // The stop of a reference run: 255 five times, 0.1 ms apart; one line once its window has
    // passed.
    VirtuellerController c(Beginn);
    c.empfangen(Bytes({6, 11, 2}), 0.5);
    QVERIFY(Einzeln(c, Bytes({255, 255, 255, 255, 255}), 1.0, 0.0001).zeilen.isEmpty());
    QVERIFY(c.naechsteRuhe() && *c.naechsteRuhe() > 1.0004);
    QVERIFY(c.ruhe(1.01).zeilen.isEmpty());
    QCOMPARE(c.ruhe(*c.naechsteRuhe()).zeilen, QStringList{"12:00:01,000  Stopp (5-mal)"});
    QCOMPARE(c.befehle().size(), size_t(2));
    QCOMPARE(c.befehle()[1].stoppAnzahl, 5);
    // Stops far apart are two lines; the next command shows the stop before it at once.
    c.empfangen(Bytes({2, 10}), 2.0);
    QVERIFY(c.empfangen(Bytes({255}), 2.2).zeilen.isEmpty());
    QCOMPARE(c.empfangen(Bytes({20}), 2.4).zeilen,
             (QStringList{"12:00:02,200  Stopp", "12:00:02,400  Einzelschritt rechts"}));
    c.empfangen(Bytes({255}), 2.6);
    QCOMPARE(c.empfangen(Bytes({255}), 2.9).zeilen, QStringList{"12:00:02,600  Stopp"});
}

void TestVirtuellerController::einzelschrittWirdBeantwortet() {
    // Only a single step in manual mode is answered, not the bytes 10 and 20 inside other
    // commands. Byte by byte, as slowly as the line allows, and in one piece: the same answers.
    const QList<std::pair<QByteArray, int>> fälle{
        {Bytes({2, 10}), 1},
        {Bytes({2, 10, 255, 20, 255, 0}), 2},
        {Bytes({2, 30, 19, 10, 20, 0}), 0},
        {Bytes({5, 10}), 0},
        {BytesVon(Gebaut(
             Programmuebertragung(Programmkopf{1, 10, 20}, {Testsatz(10, 1050, 1050, 10, 20)}))),
         0}};
    for (const auto &[eingang, antworten] : fälle) {
        VirtuellerController c(Beginn), d(Beginn);
        QCOMPARE(Einzeln(c, eingang, 0.0, 0.001).antworten, antworten);
        QCOMPARE(d.empfangen(eingang, 0.0).antworten, antworten);
    }
}

void TestVirtuellerController::programmspeicher() {
    VirtuellerController c(Beginn);
    QCOMPARE(c.programmZeilen(), QStringList{"Kein Programm übertragen."});
    Einzeln(c, ZweiSätze(), 2.0, 0.001);
    QStringList zeilen = c.programmZeilen();
    QCOMPARE(zeilen.size(), 4);
    QCOMPARE(zeilen[0], QStringLiteral("Gespeichertes Programm, übertragen um 12:00:02,000:"));
    QVERIFY(zeilen[1].startsWith(QStringLiteral("  Programmübertragung: 2 Sätze")));
    QVERIFY(zeilen[3].startsWith(QStringLiteral("    Satz 2: 65535 Schritte")));
    // Commands in between leave it alone.
    c.empfangen(Bytes({4, 5, 1, 2, 10, 255, 0, 1, 1, 1, 0}), 3.0);
    QCOMPARE(c.programm()->saetze.size(), size_t(2));

    // Two blocks announced, one and a half arrive, then nothing: reported, not stored.
    QVERIFY(c.empfangen(ZweiSätze().left(17), 4.0).zeilen.isEmpty());
    QCOMPARE(*c.naechsteRuhe(), 4.0 + c.frist());
    QVERIFY(c.ruhe(4.5).zeilen.isEmpty());
    zeilen = c.ruhe(4.0 + c.frist()).zeilen;
    QCOMPARE(zeilen.size(), 4);
    QVERIFY(zeilen[0].startsWith(
        QStringLiteral("12:00:04,000  Programmübertragung unvollständig (17 von 25 Bytes)")));
    QCOMPARE(zeilen[3], Einrückung + "Hinweis: nicht gespeichert, das gespeicherte Programm "
                                     "bleibt unverändert");
    QCOMPARE(c.programm()->saetze.size(), size_t(2));
    // Reading starts afresh: the next 4 is a start.
    const VirtuellerController::Ausgabe danach = c.empfangen(Bytes({4}), 8.0);
    QCOMPARE(danach.befehle.size(), size_t(1));
    QCOMPARE(danach.befehle[0].art, Befehlsart::Programmstart);
    // The next transfer replaces the program.
    c.empfangen(Bytes({3, 1, 10, 0, 10}), 9.0);
    QCOMPARE(c.programm()->saetze.size(), size_t(0));
    QCOMPARE(c.programmZeilen()[0],
             QStringLiteral("Gespeichertes Programm, übertragen um 12:00:09,000:"));
}

// The controller's link, as the tool a user starts and in this process. (The tool's lines in a
// whole session are checked end to end elsewhere.)
void TestVirtuellerController::anschlussUndWerkzeug() {
    QTemporaryDir dir;
    const QString com1 = dir.filePath("COM1"), com2 = dir.filePath("COM2");
    const QString com3 = dir.filePath("COM3"), protokoll = dir.filePath("sim.txt");
    // Someone else's link is not replaced: the tool says so and ends.
    QVERIFY(QFile::link("/dev/null", com1));
    QProcess belegt;
    belegt.start(ZELKOR_SIM_PROGRAMM, {"-d", dir.path()});
    QVERIFY(belegt.waitForFinished(5000));
    QCOMPARE(belegt.exitCode(), 1);
    const QByteArray meldung = belegt.readAllStandardError();
    QVERIFY2(meldung.contains("COM1") && meldung.contains("/dev/null"), meldung.constData());
    QCOMPARE(QFileInfo(com1).symLinkTarget(), QStringLiteral("/dev/null"));

    // A link to nothing, left by a controller that was killed, is replaced. Its input ends at
    // once, as for a job in the background: it keeps running. A second controller on its port
    // is refused.
    QVERIFY(QFile::link(dir.filePath("weg"), com3));
    QProcess sim;
    sim.start(ZELKOR_SIM_PROGRAMM,
              {"--port", "3", "--verzeichnis", dir.path(), "--protokoll", protokoll});
    QVERIFY(sim.waitForStarted());
    sim.closeWriteChannel();
    QVERIFY(QTest::qWaitFor([&] { return QFileInfo(com3).symLinkTarget().startsWith("/dev/"); }));
    VirtuellerAnschluss zweiter;
    QVERIFY(!zweiter.starten(3, dir.path()));
    QVERIFY(!zweiter.laeuft());
    setProgrammverzeichnis(dir.path());
    SerielleSchnittstelle port;
    QVERIFY(port.setPortnummer(3));
    QVERIFY(port.Sendevorgang(*Einstellungen(0, 8, 0)));
    setProgrammverzeichnis(QString());
    QByteArray ausgabe;
    QVERIFY(QTest::qWaitFor([&] {
        ausgabe += sim.readAllStandardOutput();
        return ausgabe.contains("Einstellungen: Vollschritt, 4,0 A, Stromabsenkung ein");
    }));
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    ausgabe += sim.readAllStandardOutput();
    QVERIFY(!QFileInfo(com3).isSymLink());
    QVERIFY(ausgabe.contains("entfernt."));
    QCOMPARE(DateiInhalt(protokoll), ausgabe);

    // Someone else's link put in place meanwhile is not removed at the end.
    VirtuellerAnschluss anschluss;
    QVERIFY2(anschluss.starten(2, dir.path()), qPrintable(anschluss.fehler()));
    QCOMPARE(QFileInfo(com2).symLinkTarget(), anschluss.geraet());
    QVERIFY(QFile::remove(com2));
    QVERIFY(QFile::link("/dev/null", com2));
    anschluss.beenden();
    QCOMPARE(QFileInfo(com2).symLinkTarget(), QStringLiteral("/dev/null"));
}

QTEST_MAIN(TestVirtuellerController)
#include "tst_virtuellercontroller.moc"
