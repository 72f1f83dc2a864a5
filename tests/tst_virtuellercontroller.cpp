// The virtual controller: its lines, answers and program memory without a device, then the tool
// zelkor-sim on a real pseudo-terminal through the program's serial link.
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

class TestVirtuellerController : public QObject {
    Q_OBJECT
private slots:
    void sitzung_data();
    void sitzung();
    void anschlussUndWerkzeug();
};

// A session with one controller, step by step: "1.25:4,5" bytes arriving at 1.25 s ("Z" the
// two-block program, "Z17" its first 17 bytes), "1/0.001:..." byte by byte 1 ms apart, "-" before
// them: their lines not shown (but their answers); "ruhe:1.3" time 1.3 s has come, "ruhe" the time
// the controller waits for, "naechste" that time; "programm" the stored program's lines, "saetze"
// its block count, "befehle" the number of commands so far. Afterwards nothing is left waiting.
void TestVirtuellerController::sitzung_data() {
    QTest::addColumn<QString>("sitzung");
    QTest::addColumn<QStringList>("zeilen");
    const auto zeile = [](const char *fall, const QString &sitzung, const QStringList &zeilen) {
        QTest::newRow(fall) << sitzung << zeilen;
    };
    const QString e(16, QLatin1Char(' '));
    const QString keinProgramm = e + "Hinweis: es wurde kein Programm übertragen";
    const QString nichtManuell = e + "Hinweis: Manuelle Fahrt ist nicht eingeschaltet";
    const QString kopf = "Programmübertragung: 2 Sätze, Programmdurchläufe 2, Programmpause 0, "
                         "Befehlspause 10";
    const QString satz1 = "Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe 1, Pause 10, "
                          "rechts, ohne Richtungsänderung, Rampe 1 (2ms/100Hz)";
    const QString satz2 = "Satz 2: 65535 Schritte, 550 Hz → 12000 Hz, Durchläufe 10, Pause 255, "
                          "links, mit Richtungsänderung, Rampe 4 (20ms/100Hz)";
    // Without a program, without manual mode; a run of unknown bytes waits for its window to
    // pass.
    zeile("ohne Programm, Unsinn, ohne Handbetrieb",
          "1.25:4 2:7,8,9,5,3 ruhe 3:10 -3.5:2,0 4:30,19,0,0,0",
          {"12:00:01,250  Programmstart", keinProgramm, "12:00:02,000  unbekannte Bytes: 7, 8, 9",
           "12:00:02,000  Satzstart: Satz 3", keinProgramm, "12:00:03,000  Einzelschritt links",
           nichtManuell, "Antworten: 1", "12:00:04,000  Eilgang links: 1000 Hz, 0 Schritte",
           nichtManuell});
    zeile("Satzstart und Programmstart mit Programm", "-0.5:Z 1.25:5,2 1.5:5,3 1.75:4",
          {"12:00:01,250  Satzstart: Satz 2", e + satz2, "12:00:01,500  Satzstart: Satz 3",
           e + "Hinweis: Satz 3 gibt es im übertragenen Programm (2 Sätze) nicht",
           "12:00:01,750  Programmstart"});
    // The stop of a reference run: 255 five times, 0.1 ms apart; one line once its window has
    // passed. Stops far apart are two lines; the next command shows the stop before it at once.
    zeile("Stopps",
          "-0.5:6,11,2 1/0.0001:255,255,255,255,255 naechste ruhe:1.01 ruhe befehle 2:2,10 "
          "2.2:255 2.4:20 2.6:255 2.9:255 ruhe",
          {"nächste Ruhe: 1.0504", "12:00:01,000  Stopp (5-mal)", "2 Befehle",
           "12:00:02,000  Manuelle Fahrt ein", "12:00:02,000  Einzelschritt links", "Antworten: 1",
           "12:00:02,200  Stopp", "12:00:02,400  Einzelschritt rechts", "Antworten: 1",
           "12:00:02,600  Stopp", "12:00:02,900  Stopp"});
    // A single step is answered, not the bytes 10 and 20 inside other
    // commands; byte by byte, as slowly as the line allows, and in one piece alike.
    const QString t = ":3,1,10,1,20,10,0,0,20,20,10,20,1,0,1"; // a transfer with 10 and 20
    zeile("Einzelschritte beantwortet",
          "-0/0.001:2,10,255,20,255 -1:10,255,20,255 -2/0.001:30,19,10,20,0 -3:30,19,10,20,0 "
          "-4/0.001:5,10 -5:5,20 -6/0.001" +
              t + " -7" + t,
          {"Antworten: 2", "Antworten: 2"});
    // The last complete transfer is kept; commands in between leave it alone. Two blocks
    // announced, one and a half arrive, then nothing: reported, not stored, and reading starts
    // afresh. The next transfer replaces the program.
    zeile("Programmspeicher",
          "programm -2/0.001:Z programm -3:4,5,1,2,10,255,0,1,1,1,0 saetze 4:Z17 naechste "
          "ruhe:4.5 ruhe saetze 8:4 -9:3,1,10,0,10 programm",
          {"Kein Programm übertragen.",
           "Gespeichertes Programm, übertragen um 12:00:02,000:", "  " + kopf, "    " + satz1,
           "    " + satz2, "Antworten: 1", "2 Sätze gespeichert", "nächste Ruhe: 5",
           "12:00:04,000  Programmübertragung unvollständig (17 von 25 Bytes): 2 Sätze, "
           "Programmdurchläufe 2, Programmpause 0, Befehlspause 10",
           e + satz1, e + "Satz 2 unvollständig, empfangen: 255, 255",
           e + "Hinweis: nicht gespeichert, das gespeicherte Programm bleibt unverändert",
           "2 Sätze gespeichert", "12:00:08,000  Programmstart",
           "Gespeichertes Programm, übertragen um 12:00:09,000:",
           "  Programmübertragung: 0 Sätze, Programmdurchläufe 1, Programmpause 10, Befehlspause "
           "10"});
}

void TestVirtuellerController::sitzung() {
    QFETCH(QString, sitzung);
    QFETCH(QStringList, zeilen);
    VirtuellerController c(QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0)));
    // A two-block program whose data holds 255, 10 and 0 (data, not commands).
    const QByteArray zwei = BytesVon(Gebaut(Programmuebertragung(
        Programmkopf{2, 0, 10}, {Testsatz(), Testsatz(65535, 550, 12000, 10, 255, 0, true, 4)})));
    QStringList ist;
    for (QString t : sitzung.split(' ')) {
        if (t == "naechste")
            ist << "nächste Ruhe: " + (c.naechsteRuhe() ? QString::number(*c.naechsteRuhe()) : "-");
        else if (t.startsWith("ruhe"))
            ist << c.ruhe(t.size() > 4 ? t.mid(5).toDouble() : c.naechsteRuhe().value_or(0)).zeilen;
        else if (t == "programm")
            ist << c.programmZeilen();
        else if (t == "saetze")
            ist << QString("%1 Sätze gespeichert").arg(c.programm()->saetze.size());
        else if (t == "befehle")
            ist << QString("%1 Befehle").arg(c.befehle().size());
        else {
            const bool stumm = t.startsWith('-');
            const QStringList zeit = t.mid(stumm).section(':', 0, 0).split('/');
            QByteArray bytes;
            for (const QString &b : t.section(':', 1).split(','))
                bytes += b.startsWith('Z') ? zwei.left(b.size() > 1 ? b.mid(1).toInt() : 99)
                                           : QByteArray(1, char(b.toInt()));
            // Byte by byte, each at its own time, or all at once.
            const double schritt = zeit.value(1).toDouble();
            VirtuellerController::Ausgabe aus;
            for (qsizetype i = 0; i < bytes.size(); i += schritt ? 1 : bytes.size()) {
                const auto teil =
                    c.empfangen(bytes.mid(i, schritt ? 1 : -1), zeit[0].toDouble() + i * schritt);
                aus.zeilen += teil.zeilen;
                aus.antworten += teil.antworten;
            }
            ist << (stumm ? QStringList() : aus.zeilen)
                << (aus.antworten ? QStringList(QString("Antworten: %1").arg(aus.antworten))
                                  : QStringList());
        }
    }
    QCOMPARE(ist, zeilen);
    QVERIFY(!c.naechsteRuhe());
}

// The tool a user starts: its input ends at once, as for a job in the background, and it keeps
// running; someone else's link put in place meanwhile is not removed at the end, nor replaced
// by the next start, which says so and ends. (Its lines in a whole session are checked end to
// end elsewhere.)
void TestVirtuellerController::anschlussUndWerkzeug() {
    QTemporaryDir dir;
    const QString com3 = dir.filePath("COM3"), protokoll = dir.filePath("sim.txt");
    QProcess sim;
    sim.start(ZELKOR_SIM_PROGRAMM,
              {"--port", "3", "--verzeichnis", dir.path(), "--protokoll", protokoll});
    sim.closeWriteChannel();
    QVERIFY(QTest::qWaitFor([&] { return QFileInfo(com3).symLinkTarget().startsWith("/dev/"); }));
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
    QVERIFY(QFile::remove(com3) && QFile::link("/dev/null", com3));
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY(sim.exitStatus() == QProcess::NormalExit && sim.exitCode() == 0);
    ausgabe += sim.readAllStandardOutput();
    QVERIFY(ausgabe.contains("entfernt."));
    QCOMPARE(DateiInhalt(protokoll), ausgabe);

    sim.start(ZELKOR_SIM_PROGRAMM, {"-d", dir.path(), "-p", "3"});
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 1);
    const QByteArray meldung = sim.readAllStandardError();
    QVERIFY2(meldung.contains("COM3") && meldung.contains("/dev/null"), meldung.constData());
    QCOMPARE(QFileInfo(com3).symLinkTarget(), QStringLiteral("/dev/null"));
}

QTEST_MAIN(TestVirtuellerController)
#include "tst_virtuellercontroller.moc"
