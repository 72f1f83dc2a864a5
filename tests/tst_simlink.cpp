// The virtual controller's link COMn: whose it is, what the program makes of one left by a
// controller that was killed, what a signal leaves behind, and how much the controller keeps
// of whatever the line brings.
#include "VirtuellerAnschluss.h"
#include "VirtuellerController.h"

#include "files/Programmverzeichnis.h"
#include "link/SerielleSchnittstelle.h"
#include "link/Simulatorlink.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

// zelkor-sim on port 1 of verzeichnis, its input ended as for a job in the background.
bool simStarten(QProcess &sim, const QString &verzeichnis) {
    sim.start(ZELKOR_SIM_PROGRAMM, {"-d", verzeichnis});
    sim.closeWriteChannel();
    return sim.waitForStarted() &&
           QTest::qWaitFor([&] { return QFileInfo(verzeichnis + "/COM1").isSymLink(); });
}

} // namespace

class TestSimlink : public QObject {
    Q_OBJECT
private slots:
    void fremderLinkBleibt_data();
    void fremderLinkBleibt();
    void getoeteterController();
    void signalRaeumtAuf_data();
    void signalRaeumtAuf();
    void speicherBleibtBegrenzt_data();
    void speicherBleibtBegrenzt();
};

// A link it did not make is never replaced, even one that leads nowhere (an unplugged adapter).
void TestSimlink::fremderLinkBleibt_data() {
    QTest::addColumn<QByteArray>("marke"); // beside the link, no process holding it
    QTest::newRow("Verweis ins Leere") << QByteArray();
    QTest::newRow("alte Markierung eines anderen Geräts") << QByteArray("99999\n/dev/pts/999\n");
}

void TestSimlink::fremderLinkBleibt() {
    QFETCH(QByteArray, marke);
    QTemporaryDir dir;
    const QString com1 = dir.filePath("COM1"), ziel = dir.filePath("ttyUSB0");
    QVERIFY(QFile::link(ziel, com1));
    QFile datei(Simulatorlink::Markenpfad(com1));
    QVERIFY(marke.isEmpty() || (datei.open(QIODevice::WriteOnly) && datei.write(marke) > 0));
    VirtuellerAnschluss sim;
    QVERIFY(!sim.starten(1, dir.path()));
    QVERIFY2(sim.fehler().contains(com1), qPrintable(sim.fehler()));
    QCOMPARE(QFileInfo(com1).symLinkTarget(), ziel);
}

// Killed, the controller leaves its link to a pseudo-terminal the system may give to the next
// program that asks: the program sends nothing through it, and the next controller replaces it.
void TestSimlink::getoeteterController() {
    QTemporaryDir dir;
    const QString com1 = dir.filePath("COM1");
    QProcess sim;
    QVERIFY(simStarten(sim, dir.path()));
    const qint64 prozess = sim.processId();
    setProgrammverzeichnis(dir.path());
    SerielleSchnittstelle port;
    // Looking at the link of a running controller takes nothing from it.
    QVERIFY(port.oeffnen(false));
    port.schliessen();
    VirtuellerAnschluss naechster;
    QVERIFY(!naechster.starten(1, dir.path()));
    QVERIFY2(naechster.fehler().contains(QStringLiteral("(Prozess %1)").arg(prozess)),
             qPrintable(naechster.fehler()));

    sim.kill();
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY(QFileInfo(com1).isSymLink());
    QVERIFY(!SerielleSchnittstelle::LinkVorhanden(1));
    QVERIFY(!port.oeffnen(false));
    QVERIFY2(port.letzterFehler().contains(
                 QStringLiteral("virtuellen Controller, der nicht mehr läuft (Prozess %1)")
                     .arg(prozess)),
             qPrintable(port.letzterFehler()));

    QVERIFY2(naechster.starten(1, dir.path()), qPrintable(naechster.fehler()));
    QCOMPARE(QFileInfo(com1).symLinkTarget(), naechster.geraet());
    QVERIFY2(port.oeffnen(false), qPrintable(port.letzterFehler()));
    port.schliessen();
    setProgrammverzeichnis(QString());
}

void TestSimlink::signalRaeumtAuf_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestSimlink::signalRaeumtAuf() {
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString com1 = dir.filePath("COM1"), marke = Simulatorlink::Markenpfad(com1);
    QProcess sim;
    QVERIFY(simStarten(sim, dir.path()));
    QVERIFY(QFileInfo(marke).isFile());
    ::kill(pid_t(sim.processId()), signal);
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY(sim.exitStatus() == QProcess::NormalExit && sim.exitCode() == 0);
    QVERIFY(!QFileInfo(com1).isSymLink());
    QVERIFY(!QFileInfo::exists(marke));
}

// A flood keeps the last commands and, of a run, its first bytes and their count.
void TestSimlink::speicherBleibtBegrenzt_data() {
    QTest::addColumn<char>("byte");
    QTest::addColumn<QString>("zeile"); // the run's line once its window has passed
    QTest::newRow("unbekannte Bytes")
        << char(7) << "unbekannte Bytes: " + QString("7, ").repeated(16) + "… (20000 Bytes)";
    QTest::newRow("Stopps") << char(255) << "Stopp (20000-mal)";
    QTest::newRow("Programmstarts") << char(4) << QString();
}

void TestSimlink::speicherBleibtBegrenzt() {
    QFETCH(char, byte);
    QFETCH(QString, zeile);
    VirtuellerController c;
    c.empfangen(QByteArray(20000, byte), 1.0);
    QCOMPARE(c.ruhe(2.0).zeilen.join("\n").mid(14), zeile); // after the time of day
    QVERIFY(c.befehle().size() <= VirtuellerController::Verlauf);
    for (const DekodierterBefehl &b : c.befehle())
        QVERIFY(b.bytes.size() <= VirtuellerController::LaufBytes);
}

QTEST_MAIN(TestSimlink)
#include "tst_simlink.moc"
