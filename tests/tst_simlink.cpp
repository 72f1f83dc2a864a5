// The virtual controller's link COMn: whose it is, what a signal leaves behind, what the program
// makes of one left by a controller that was killed, and how much the controller keeps of
// whatever the line brings.
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
#include <cstring>

class TestSimlink : public QObject {
    Q_OBJECT
private slots:
    void fremderLinkBleibt();
    void signale_data();
    void signale();
    void speicherBleibtBegrenzt();
};

// A link it did not make is never replaced, even one that leads nowhere (an unplugged adapter),
// with or without an old marker of another device beside it.
void TestSimlink::fremderLinkBleibt() {
    for (const QByteArray &marke : {QByteArray(), QByteArray("99999\n/dev/pts/999\n")}) {
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
}

void TestSimlink::signale_data() {
    QTest::addColumn<int>("signal");
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGKILL})
        QTest::newRow(strsignal(s)) << s;
}

// A signal it can catch ends zelkor-sim cleanly, link and marker gone. Killed, it leaves its link
// to a pseudo-terminal the system may give to the next program that asks: the program sends
// nothing through it, and the next controller replaces it.
void TestSimlink::signale() {
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString com1 = dir.filePath("COM1"), marke = Simulatorlink::Markenpfad(com1);
    QProcess sim;
    sim.start(ZELKOR_SIM_PROGRAMM, {"-d", dir.path()});
    sim.closeWriteChannel(); // its input ended as for a job in the background
    QVERIFY(sim.waitForStarted() && QTest::qWaitFor([&] { return QFileInfo(com1).isSymLink(); }));
    QVERIFY(QFileInfo(marke).isFile());
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

    ::kill(pid_t(prozess), signal);
    QVERIFY(sim.waitForFinished(5000));
    if (signal != SIGKILL) {
        QVERIFY(sim.exitStatus() == QProcess::NormalExit && sim.exitCode() == 0);
        QVERIFY(!QFileInfo(com1).isSymLink() && !QFileInfo::exists(marke));
        return setProgrammverzeichnis(QString());
    }
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

// A flood keeps the last commands and, of a run, its first bytes and their count (the run's line
// once its window has passed, after the time of day).
void TestSimlink::speicherBleibtBegrenzt() {
    const QList<QPair<char, QString>> faelle{
        {char(7), "unbekannte Bytes: " + QString("7, ").repeated(16) + "… (20000 Bytes)"},
        {char(255), "Stopp (20000-mal)"},
        {char(4), QString()}};
    for (const auto &[byte, zeile] : faelle) {
        VirtuellerController c;
        c.empfangen(QByteArray(20000, byte), 1.0);
        QCOMPARE(c.ruhe(2.0).zeilen.join("\n").mid(14), zeile);
        QVERIFY(c.befehle().size() <= VirtuellerController::Verlauf);
        for (const DekodierterBefehl &b : c.befehle())
            QVERIFY(b.bytes.size() <= VirtuellerController::LaufBytes);
    }
}

QTEST_MAIN(TestSimlink)
#include "tst_simlink.moc"
