// The virtual controller: its lines, answers and program memory without a device, then on a
// real pseudo-terminal through the program's serial link, then the tool zelkor-sim itself.
#include "VirtuellerAnschluss.h"
#include "VirtuellerController.h"

#include "files/Programmverzeichnis.h"
#include "link/Protokoll.h"
#include "link/SerielleSchnittstelle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>

namespace {

// Time 0 of the tests' controllers.
const QDateTime Beginn(QDate(2024, 3, 1), QTime(12, 0, 0));

QByteArray bytes(std::initializer_list<int> werte) {
    QByteArray a;
    for (int w : werte)
        a.append(char(w));
    return a;
}

// The bytes of a command as they go on the line.
QByteArray bytesVon(const Befehl &befehl) {
    QByteArray a;
    for (const auto &s : befehl)
        if (s.art == Befehlsschritt::Art::Byte)
            a.append(char(s.wert));
    return a;
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

// A two-block program whose data holds 255, 10 and 0 (data, not commands).
QByteArray zweiSaetze() {
    Programmkopf kopf;
    kopf.programmdurchlaeufe = 2;
    kopf.programmpause = 0;
    kopf.befehlspause = 10;
    return bytesVon(*Programmuebertragung(kopf, {satz(5000, 300, 4000, 1, 10, 1, false, 1),
                                                 satz(65535, 550, 12000, 10, 255, 0, true, 4)}));
}

// Feeds each byte at its own time, stepping by abstand seconds from beginn.
VirtuellerController::Ausgabe einzeln(VirtuellerController &c, const QByteArray &daten,
                                      double beginn, double abstand) {
    VirtuellerController::Ausgabe alle;
    double zeit = beginn;
    for (char b : daten) {
        auto aus = c.empfangen(QByteArray(1, b), zeit);
        alle.zeilen += aus.zeilen;
        alle.antworten += aus.antworten;
        alle.befehle.insert(alle.befehle.end(), aus.befehle.begin(), aus.befehle.end());
        zeit += abstand;
    }
    return alle;
}

bool warteAuf(const std::function<bool()> &bedingung, int ms = 3000) {
    QElapsedTimer uhr;
    uhr.start();
    while (!bedingung()) {
        if (uhr.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace

class TestVirtuellerController : public QObject {
    Q_OBJECT
private slots:
    void zeilen_data();
    void zeilen();
    void stoppsEinerReferenzfahrtSindEineZeile();
    void getrennteStoppsSindZweiZeilen();
    void einzelschrittWirdBeantwortet_data();
    void einzelschrittWirdBeantwortet();
    void programmWirdGespeichert();
    void abgebrocheneUebertragungWirdGemeldet();
    void satzstartZeigtDenSatz();
    void hinweisOhneHandbetrieb();

    void anschlussBeantwortetDenEinzelschritt();
    void anschlussUeberlebtSchliessenUndOeffnen();
    void anschlussEntferntNurSeinenLink();
    void anschlussErsetztVerwaistenLink();
    void anschlussLaesstFremdenLinkStehen();

    void werkzeugZeigtZeilenUndRaeumtAuf();
    void werkzeugMitBelegtemPort();
};

void TestVirtuellerController::zeilen_data() {
    QTest::addColumn<QByteArray>("eingang");
    QTest::addColumn<QStringList>("erwartet");
    auto zeile = [](const char *name, const QByteArray &eingang, QStringList erwartet) {
        QTest::newRow(name) << eingang << erwartet;
    };
    zeile("Programmstart ohne Programm", bytes({4}),
          {QStringLiteral("12:00:01,250  Programmstart"),
           QStringLiteral("                Hinweis: es wurde kein Programm übertragen")});
    zeile("Einstellungen", bytes({1, 5, 128, 1}),
          {QStringLiteral("12:00:01,250  Einstellungen: Zehntelschritt, 6,0 A, Stromabsenkung "
                          "aus")});
    zeile("Eilgang", bytes({2, 40, 19, 112, 17, 1}),
          {QStringLiteral("12:00:01,250  Manuelle Fahrt ein"),
           QStringLiteral("12:00:01,250  Eilgang rechts: 1000 Hz, 70000 Schritte")});
    zeile("Referenzfahrt", bytes({6, 3, 1}),
          {QStringLiteral("12:00:01,250  Referenzfahrt links: 200 Hz")});
    zeile("Übertragung mit 255 und 10 in den Daten", zweiSaetze(),
          {QStringLiteral("12:00:01,250  Programmübertragung: 2 Sätze, Programmdurchläufe 2, "
                          "Programmpause 0, Befehlspause 10"),
           QStringLiteral("                Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe "
                          "1, Pause 10, rechts, ohne Richtungsänderung, Rampe 1 (2ms/100Hz)"),
           QStringLiteral("                Satz 2: 65535 Schritte, 550 Hz → 12000 Hz, "
                          "Durchläufe 10, Pause 255, links, mit Richtungsänderung, Rampe 4 "
                          "(20ms/100Hz)")});
    zeile("Unsinn vor einem Befehl", bytes({7, 8, 9, 5, 3}),
          {QStringLiteral("12:00:01,250  unbekannte Bytes: 7, 8, 9"),
           QStringLiteral("12:00:01,250  Satzstart: Satz 3"),
           QStringLiteral("                Hinweis: es wurde kein Programm übertragen")});
}

void TestVirtuellerController::zeilen() {
    QFETCH(QByteArray, eingang);
    QFETCH(QStringList, erwartet);
    VirtuellerController c(Beginn);
    auto aus = c.empfangen(eingang, 1.25);
    // A run of unknown bytes waits for its window to pass.
    auto rest = c.ruhe(1.25 + VirtuellerController::StoppFenster);
    QCOMPARE(aus.zeilen + rest.zeilen, erwartet);
    QVERIFY(!c.naechsteRuhe());
}

void TestVirtuellerController::stoppsEinerReferenzfahrtSindEineZeile() {
    VirtuellerController c(Beginn);
    auto start = c.empfangen(bytesVon(*ReferenzfahrtStart(11, Fahrtrichtung::Rechts)), 0.5);
    QCOMPARE(start.befehle.size(), size_t(1));
    QCOMPARE(start.befehle[0].frequenz(), 600);
    // The stop: 255 five times, 0.1 ms apart.
    auto stopp = einzeln(c, bytes({255, 255, 255, 255, 255}), 1.0, 0.0001);
    QVERIFY(stopp.zeilen.isEmpty());
    QVERIFY(c.naechsteRuhe());
    QVERIFY(*c.naechsteRuhe() > 1.0004);
    QVERIFY(c.ruhe(1.01).zeilen.isEmpty());
    auto ende = c.ruhe(*c.naechsteRuhe());
    QCOMPARE(ende.zeilen, QStringList{QStringLiteral("12:00:01,000  Stopp (5-mal)")});
    QCOMPARE(c.befehle().size(), size_t(2));
    QCOMPARE(c.befehle()[1].art, Befehlsart::Stopp);
    QCOMPARE(c.befehle()[1].stoppAnzahl, 5);
}

void TestVirtuellerController::getrennteStoppsSindZweiZeilen() {
    VirtuellerController c(Beginn);
    c.empfangen(bytes({2, 10}), 0.0);
    auto erster = c.empfangen(bytes({255}), 0.2);
    // The next command shows the stop before it at once.
    auto naechster = c.empfangen(bytes({20}), 0.4);
    QCOMPARE(naechster.zeilen, (QStringList{QStringLiteral("12:00:00,200  Stopp"),
                                            QStringLiteral("12:00:00,400  Einzelschritt rechts")}));
    c.empfangen(bytes({255}), 0.6);
    auto zweiter = c.empfangen(bytes({255}), 0.9);
    QCOMPARE(zweiter.zeilen, QStringList{QStringLiteral("12:00:00,600  Stopp")});
    QVERIFY(erster.zeilen.isEmpty());
}

void TestVirtuellerController::einzelschrittWirdBeantwortet_data() {
    QTest::addColumn<QByteArray>("eingang");
    QTest::addColumn<int>("antworten");
    QTest::newRow("links") << bytes({2, 10}) << 1;
    QTest::newRow("rechts") << bytes({2, 20}) << 1;
    QTest::newRow("zwei Schritte") << bytes({2, 10, 255, 20, 255, 0}) << 2;
    QTest::newRow("10 und 20 als Schritte eines Eilgangs") << bytes({2, 30, 19, 10, 20, 0}) << 0;
    QTest::newRow("10 als Satzstart") << bytes({5, 10}) << 0;
    QTest::newRow("10 und 20 in einer Übertragung")
        << bytesVon(*Programmuebertragung({1, 10, 20}, {satz(10, 1050, 1050, 10, 20, 1, 0, 1)}))
        << 0;
    QTest::newRow("Eilgang") << bytes({2, 40, 19, 232, 3, 0}) << 0;
}

void TestVirtuellerController::einzelschrittWirdBeantwortet() {
    QFETCH(QByteArray, eingang);
    QFETCH(int, antworten);
    VirtuellerController c(Beginn);
    // Byte by byte, as slowly as the line allows, and in one piece: the same answers.
    QCOMPARE(einzeln(c, eingang, 0.0, 0.001).antworten, antworten);
    VirtuellerController d(Beginn);
    QCOMPARE(d.empfangen(eingang, 0.0).antworten, antworten);
}

void TestVirtuellerController::programmWirdGespeichert() {
    VirtuellerController c(Beginn);
    QCOMPARE(c.programmZeilen(), QStringList{QStringLiteral("Kein Programm übertragen.")});
    einzeln(c, zweiSaetze(), 2.0, 0.001);
    QVERIFY(c.programm());
    QCOMPARE(c.programm()->saetze.size(), size_t(2));
    QCOMPARE(c.programm()->saetze[1].schritte, qint64(65535));
    const QStringList zeilen = c.programmZeilen();
    QCOMPARE(zeilen.size(), 4);
    QCOMPARE(zeilen[0], QStringLiteral("Gespeichertes Programm, übertragen um 12:00:02,000:"));
    QVERIFY(zeilen[1].startsWith(QStringLiteral("  Programmübertragung: 2 Sätze")));
    QVERIFY(zeilen[3].startsWith(QStringLiteral("    Satz 2: 65535 Schritte")));

    // Commands in between leave it alone; the next transfer replaces it.
    c.empfangen(bytes({4, 5, 1, 2, 10, 255, 0, 1, 1, 1, 0}), 3.0);
    QCOMPARE(c.programm()->saetze.size(), size_t(2));
    c.empfangen(bytes({3, 1, 10, 0, 10}), 4.0);
    QCOMPARE(c.programm()->saetze.size(), size_t(0));
    QCOMPARE(c.programmZeilen()[0],
             QStringLiteral("Gespeichertes Programm, übertragen um 12:00:04,000:"));
}

void TestVirtuellerController::abgebrocheneUebertragungWirdGemeldet() {
    VirtuellerController c(Beginn);
    c.empfangen(bytes({3, 1, 10, 0, 10}), 0.0);
    // Two blocks announced, one and a half arrive, then nothing.
    const QByteArray ganz = zweiSaetze();
    auto aus = c.empfangen(ganz.left(17), 1.0);
    QVERIFY(aus.zeilen.isEmpty());
    QCOMPARE(*c.naechsteRuhe(), 1.0 + c.frist());
    QVERIFY(c.ruhe(1.5).zeilen.isEmpty());
    auto gemeldet = c.ruhe(1.0 + c.frist());
    QCOMPARE(gemeldet.befehle.size(), size_t(1));
    QVERIFY(!gemeldet.befehle[0].vollstaendig);
    QCOMPARE(gemeldet.zeilen.size(), 4);
    QVERIFY(gemeldet.zeilen[0].startsWith(
        QStringLiteral("12:00:01,000  Programmübertragung unvollständig (17 von 25 Bytes)")));
    QVERIFY(
        gemeldet.zeilen[2].contains(QStringLiteral("Satz 2 unvollständig, empfangen: 255, 255")));
    QCOMPARE(gemeldet.zeilen[3],
             QStringLiteral("                Hinweis: nicht gespeichert, das gespeicherte "
                            "Programm bleibt unverändert"));
    // The empty program from before stays, and reading starts afresh: the next 4 is a start.
    QCOMPARE(c.programm()->saetze.size(), size_t(0));
    auto danach = c.empfangen(bytes({4}), 5.0);
    QCOMPARE(danach.befehle.size(), size_t(1));
    QCOMPARE(danach.befehle[0].art, Befehlsart::Programmstart);
}

void TestVirtuellerController::satzstartZeigtDenSatz() {
    VirtuellerController c(Beginn);
    c.empfangen(zweiSaetze(), 0.0);
    auto zwei = c.empfangen(bytes({5, 2}), 1.0);
    QCOMPARE(zwei.zeilen.size(), 2);
    QCOMPARE(zwei.zeilen[0], QStringLiteral("12:00:01,000  Satzstart: Satz 2"));
    QVERIFY(zwei.zeilen[1].startsWith(
        QStringLiteral("                Satz 2: 65535 Schritte, 550 Hz")));
    auto drei = c.empfangen(bytes({5, 3}), 2.0);
    QCOMPARE(drei.zeilen[1], QStringLiteral("                Hinweis: Satz 3 gibt es im "
                                            "übertragenen Programm (2 Sätze) nicht"));
    QCOMPARE(c.empfangen(bytes({4}), 3.0).zeilen,
             QStringList{QStringLiteral("12:00:03,000  Programmstart")});
}

void TestVirtuellerController::hinweisOhneHandbetrieb() {
    VirtuellerController c(Beginn);
    auto ohne = c.empfangen(bytes({10}), 0.0);
    QCOMPARE(ohne.zeilen.size(), 2);
    QVERIFY(ohne.zeilen[1].contains(QStringLiteral("nicht eingeschaltet")));
    c.empfangen(bytes({255, 2}), 1.0);
    QVERIFY(c.imHandbetrieb());
    QCOMPARE(c.empfangen(bytes({20}), 2.0).zeilen.size(), 1);
    c.empfangen(bytes({255, 0}), 3.0);
    QVERIFY(!c.imHandbetrieb());
    QCOMPARE(c.empfangen(bytes({30, 19, 0, 0, 0}), 4.0).zeilen.size(), 2);
}

// The program's serial link against the controller on a pseudo-terminal, in this process.
void TestVirtuellerController::anschlussBeantwortetDenEinzelschritt() {
    QTemporaryDir dir;
    setProgrammverzeichnis(dir.path());
    VirtuellerAnschluss anschluss;
    QSignalSpy zeilen(&anschluss, &VirtuellerAnschluss::zeilen);
    QVERIFY2(anschluss.starten(2, dir.path()), qPrintable(anschluss.fehler()));
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("COM2"))).symLinkTarget(), anschluss.geraet());

    SerielleSchnittstelle port;
    QVERIFY(port.setPortnummer(2));
    QVERIFY(port.oeffnen());
    QVERIFY(port.Abspielen(ManuellEin()));
    QVERIFY(port.Abspielen(Einzelschritt(Fahrtrichtung::Links)));
    QByteArray antwort;
    QVERIFY(warteAuf([&] {
        antwort += port.LeseZeichen();
        return !antwort.isEmpty();
    }));
    QCOMPARE(antwort, QByteArray(1, VirtuellerAnschluss::Antwortzeichen));
    QVERIFY(port.Abspielen(EinzelschrittStopp()));
    QVERIFY(port.Abspielen(ManuellAus()));
    port.schliessen();
    QVERIFY(warteAuf([&] { return anschluss.controller().befehle().size() == 4; }));
    const auto &b = anschluss.controller().befehle();
    QCOMPARE(b[0].art, Befehlsart::ManuellEin);
    QCOMPARE(b[1].art, Befehlsart::Einzelschritt);
    QCOMPARE(*b[1].richtung, Fahrtrichtung::Links);
    QCOMPARE(b[2].art, Befehlsart::Stopp);
    QCOMPARE(b[3].art, Befehlsart::ManuellAus);
    QCOMPARE(anschluss.gesendeteAntworten(), 1);
    // One answer: nothing more comes.
    QVERIFY(port.oeffnen());
    QTest::qWait(3 * VirtuellerAnschluss::StandardVerzoegerungMs);
    QVERIFY(port.LeseZeichen().isEmpty());
    port.schliessen();

    QStringList alle;
    for (const auto &s : zeilen)
        alle += s.at(0).toStringList();
    QVERIFY(alle.join(QLatin1Char('\n')).contains(QStringLiteral("Antwort: 1 Zeichen gesendet")));
    setProgrammverzeichnis(QString());
}

void TestVirtuellerController::anschlussUeberlebtSchliessenUndOeffnen() {
    QTemporaryDir dir;
    setProgrammverzeichnis(dir.path());
    VirtuellerAnschluss anschluss;
    QVERIFY(anschluss.starten(1, dir.path()));
    SerielleSchnittstelle port;
    // Each command opens and closes the port, with time between them for the controller to
    // notice the closed line; it keeps hearing all of them.
    for (int n = 1; n <= 5; ++n) {
        QVERIFY(port.Sendevorgang(*Satzstart(n)));
        QTest::qWait(20);
    }
    QVERIFY(port.Sendevorgang(Programmstart()));
    QVERIFY(warteAuf([&] { return anschluss.controller().befehle().size() == 6; }));
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(anschluss.controller().befehle()[size_t(n - 1)].art, Befehlsart::Satzstart);
        QCOMPARE(*anschluss.controller().befehle()[size_t(n - 1)].satznummer, n);
    }
    QCOMPARE(anschluss.controller().befehle()[5].art, Befehlsart::Programmstart);
    QVERIFY(anschluss.laeuft());
    setProgrammverzeichnis(QString());
}

void TestVirtuellerController::anschlussEntferntNurSeinenLink() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("COM1"));
    {
        VirtuellerAnschluss anschluss;
        QVERIFY(anschluss.starten(1, dir.path()));
        QVERIFY(QFileInfo(link).isSymLink());
    }
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo::exists(link));

    // Someone put his own link in place meanwhile: it stays.
    VirtuellerAnschluss anschluss;
    QVERIFY(anschluss.starten(1, dir.path()));
    QVERIFY(QFile::remove(link));
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
    anschluss.beenden();
    QCOMPARE(QFileInfo(link).symLinkTarget(), QStringLiteral("/dev/null"));
}

void TestVirtuellerController::anschlussErsetztVerwaistenLink() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("COM3"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("weg")), link));
    VirtuellerAnschluss anschluss;
    QVERIFY2(anschluss.starten(3, dir.path()), qPrintable(anschluss.fehler()));
    QCOMPARE(QFileInfo(link).symLinkTarget(), anschluss.geraet());
}

void TestVirtuellerController::anschlussLaesstFremdenLinkStehen() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("COM1"));
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
    {
        VirtuellerAnschluss anschluss;
        QVERIFY(!anschluss.starten(1, dir.path()));
        QVERIFY(anschluss.fehler().contains(QStringLiteral("/dev/null")));
        QVERIFY(!anschluss.laeuft());
    }
    QCOMPARE(QFileInfo(link).symLinkTarget(), QStringLiteral("/dev/null"));
    // A second controller on the same port is refused likewise.
    VirtuellerAnschluss erster, zweiter;
    QVERIFY(erster.starten(2, dir.path()));
    QVERIFY(!zweiter.starten(2, dir.path()));
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("COM2"))).symLinkTarget(), erster.geraet());
}

// The tool as a user starts it: its lines, the program on request, its file, its end.
void TestVirtuellerController::werkzeugZeigtZeilenUndRaeumtAuf() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("COM3"));
    const QString protokoll = dir.filePath(QStringLiteral("sim.txt"));
    QProcess sim;
    sim.start(QStringLiteral(ZELKOR_SIM_PROGRAMM),
              {QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("--verzeichnis"),
               dir.path(), QStringLiteral("--protokoll"), protokoll});
    QVERIFY(sim.waitForStarted());
    // Its input ends at once, as for a job in the background: it keeps running.
    sim.closeWriteChannel();
    QVERIFY(warteAuf([&] { return QFileInfo(link).isSymLink(); }, 5000));

    setProgrammverzeichnis(dir.path());
    SerielleSchnittstelle port;
    QVERIFY(port.setPortnummer(3));
    QVERIFY(port.Sendevorgang(*Einstellungen(0, 8, 0)));
    Programmkopf kopf;
    kopf.programmdurchlaeufe = 1;
    kopf.programmpause = 10;
    kopf.befehlspause = 10;
    QVERIFY(port.Sendevorgang(
        *Programmuebertragung(kopf, {satz(5000, 300, 4000, 1, 10, 1, false, 1)})));
    QVERIFY(port.oeffnen());
    QVERIFY(port.Abspielen(ManuellEin()));
    QVERIFY(port.Abspielen(Einzelschritt(Fahrtrichtung::Rechts)));
    QByteArray antwort;
    QVERIFY(warteAuf([&] {
        antwort += port.LeseZeichen();
        return !antwort.isEmpty();
    }));
    QVERIFY(port.Abspielen(EinzelschrittStopp()));
    QVERIFY(port.Abspielen(ManuellAus()));
    port.schliessen();
    setProgrammverzeichnis(QString());

    QByteArray ausgabe;
    QVERIFY(warteAuf(
        [&] {
            ausgabe += sim.readAllStandardOutput();
            return ausgabe.contains("Manuelle Fahrt aus");
        },
        5000));
    ::kill(pid_t(sim.processId()), SIGUSR1);
    QVERIFY(warteAuf(
        [&] {
            ausgabe += sim.readAllStandardOutput();
            return ausgabe.contains("Gespeichertes Programm");
        },
        5000));
    QVERIFY(sim.state() == QProcess::Running);
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    ausgabe += sim.readAllStandardOutput();
    QVERIFY(!QFileInfo(link).isSymLink());

    const QString text = QString::fromUtf8(ausgabe);
    for (const char *erwartet :
         {"Einstellungen: Vollschritt, 4,0 A, Stromabsenkung ein",
          "Programmübertragung: 1 Satz, Programmdurchläufe 1, Programmpause 10, Befehlspause 10",
          "  Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe 1, Pause 10, rechts",
          "Manuelle Fahrt ein", "Einzelschritt rechts", "Antwort: 1 Zeichen gesendet", "Stopp",
          "Gespeichertes Programm, übertragen um", "entfernt."})
        QVERIFY2(text.contains(QString::fromUtf8(erwartet)), erwartet);
    QFile datei(protokoll);
    QVERIFY(datei.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(datei.readAll()), text);
}

void TestVirtuellerController::werkzeugMitBelegtemPort() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("COM1"));
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
    QProcess sim;
    sim.start(QStringLiteral(ZELKOR_SIM_PROGRAMM), {QStringLiteral("-d"), dir.path()});
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 1);
    QVERIFY(sim.readAllStandardError().contains("COM1"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), QStringLiteral("/dev/null"));
}

QTEST_MAIN(TestVirtuellerController)
#include "tst_virtuellercontroller.moc"
