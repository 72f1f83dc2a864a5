// zelkorctl as its own process against the program's own oracles: the main window's transfer
// and labels for the same file, a pseudo-terminal for what reached the line, and a second holder
// of the port.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "link/SerielleSchnittstelle.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <fcntl.h>

namespace {

struct Lauf {
    int status = -1;
    QString aus, fehler;
};

// Runs zelkorctl while the event loop serves the virtual controller; waehrend() once it runs.
Lauf zelkorctl(const QStringList &argumente, const std::function<void(QProcess &)> &waehrend = {}) {
    QProcess p;
    // The tool must not inherit this process's pseudo-terminal masters.
    p.setChildProcessModifier([] {
        for (int fd = 3; fd < 1024; ++fd)
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    });
    p.start(ZELKORCTL_PROGRAMM, argumente);
    if (!p.waitForStarted())
        return {};
    if (waehrend)
        waehrend(p);
    (void)QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TestZelkorctl : public QObject {
    Q_OBJECT
private slots:
    void programme_data();
    void programme();
    void portfehler_data();
    void portfehler();
};

// Each program as the window opens and transfers it. Where the window refuses, `pruefen` and
// `senden` end with 1 and its message, and nothing reaches the line. Otherwise `senden
// --starten` puts the window's bytes and a start on the line, and `bytes` lists exactly
// them; `zeiten` shows for every block what the window's labels show for it, and the
// program's travel time (where given).
void TestZelkorctl::programme_data() {
    QTest::addColumn<QStringList>("programm"); // empty: 20 blocks that differ in every value
    QTest::addColumn<QString>("fahrzeit");
    const QStringList k{"1", "10", "10"};
    QTest::newRow("zwanzig Sätze") << QStringList() << QString();
    QTest::newRow("erreicht, Durchläufe")
        << QStringList{"2", "10", "10", "20000 300 4000 1 3"} << "30.48 s (ohne Pausen)";
    QTest::newRow("ohne Rampe, zwei Sätze")
        << k + QStringList{"400 1000 1000 2", "90000 300 4000 4"} << "23.58 s (ohne Pausen)";
    QTest::newRow("nicht erreicht") << k + QStringList{"20000 300 4000 1", "500 300 6000 2"}
                                    << "nicht berechenbar: Satz 2 hat keine Gesamtzeit";
    QTest::newRow("Programmpause") << QStringList{"1", "256", "10", "5000 300 4000 1"} << "";
    QTest::newRow("Schritte") << k + QStringList{"5000 300 4000 1", "-1 300 4000 1"} << "";
    QTest::newRow("21 Sätze") << k + QStringList(21, "9 300 400 2") << "";
    QTest::newRow("Datei abgelehnt") << k + QStringList{"5000 abc 4000 1"} << "";
}

void TestZelkorctl::programme() {
    QFETCH(QStringList, programm);
    QFETCH(QString, fahrzeit);
    Fensterumgebung f;
    PCSteuerung &w = f.w();
    const QString pfad = QDir(f.pty.verzeichnis()).filePath("p.orp");
    // One block per entry "Schritte Start Maximal Rampe Durchläufe" after the three program
    // values, the other fields as a new block has them.
    Dateizugriff::ProgrammFelder p{programm.value(0), programm.value(1), programm.value(2), {}};
    for (const QString &satz : programm.mid(3)) {
        const QStringList w = satz.split(' ');
        p.sätze.append({w[0], w[1], w[2], w.value(4, "1"), "10", false, true, w[3].toInt()});
    }
    QVERIFY(DateiSchreiben(
        pfad, Dateizugriff::ProgrammDateiDaten(programm.isEmpty() ? Dauerlaufprogramm() : p)));
    if (f.dateidialog(w.Öffnen, pfad) && f.nachrichten.anzahl() == 0)
        w.CommandProgrammieren->click();
    const QString meldung = f.nachrichten.letzterText();
    const QByteArray fenster = f.mitschnitt->bytes();
    if (!meldung.isEmpty()) {
        QCOMPARE(fenster, QByteArray());
        for (const char *befehl : {"pruefen", "senden"}) {
            const Lauf l = zelkorctl({"-d", f.pty.verzeichnis(), befehl, pfad});
            QCOMPARE(l.status, 1);
            QCOMPARE(l.fehler, QStringLiteral("zelkorctl: %1: %2\n").arg(pfad, meldung));
        }
        QCOMPARE(f.pty.lesen(0, 100), QByteArray());
        return;
    }

    QCOMPARE(f.pty.lesen(int(fenster.size())), fenster);
    const Lauf senden = zelkorctl({"-d", f.pty.verzeichnis(), "senden", pfad, "--starten"});
    QCOMPARE(senden.fehler, QString());
    QCOMPARE(senden.status, 0);
    const QByteArray bytes = fenster + char(Befehlsbyte::Programmstart);
    QCOMPARE(f.pty.lesen(int(bytes.size())), bytes);
    // The first word of each line but the block marks is a byte.
    QByteArray gelistet;
    for (const QString &zeile :
         zelkorctl({"bytes", pfad, "--starten"}).aus.split('\n', Qt::SkipEmptyParts))
        gelistet += QByteArray::fromHex(zeile.startsWith('#') ? "" : zeile.left(2).toLatin1());
    QCOMPARE(gelistet, bytes);

    if (fahrzeit.isEmpty())
        return;
    QStringList soll;
    for (int i = 0; i < programm.size() - 3; ++i) {
        w.setAktuelleZeile(i);
        QStringList teile;
        for (QLabel *l : {w.LabelBeschleunigungszeit, w.LabelBremszeit, w.LabelGesamtzeit,
                          w.LabelMaximalfrequenzWarnung, w.LabelFrequenzVorschlag})
            if (const QString name = l->objectName(); l->isVisible())
                teile << (name.endsWith("zeit") ? name.mid(5) + ' ' : "") + l->text();
        soll << QStringLiteral("Satz %1: ").arg(i + 1) + teile.join(", ");
    }
    soll << "Programm: " + fahrzeit;
    const Lauf l = zelkorctl({"zeiten", pfad});
    QCOMPARE(l.status, 0);
    QCOMPARE(l.aus, soll.join('\n') + '\n');
}

// Ports that cannot be used (2, nothing sent) and commands cut short (3, as many bytes on the
// line as the message counts); no lock file is left behind.
void TestZelkorctl::portfehler_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("unbekannt") << "0" << 2 << "COM0 ist keine gültige Portnummer.";
    QTest::newRow("belegt") << "1" << 2 << "wird bereits von einem anderen Programm benutzt.";
    QTest::newRow("abgezogen") << "1" << 3 << " von 205 Bytes gesendet.\nDie Verbindung über COM1";
    QTest::newRow("SIGTERM") << "1" << 3 << " von 205 Bytes gesendet.\nAbgebrochen durch SIGTERM.";
}

void TestZelkorctl::portfehler() {
    QFETCH(QString, port);
    QFETCH(int, status);
    QFETCH(QString, meldung);
    const QString fall = QTest::currentDataTag();
    PtyPaar pty;
    const QString pfad = QDir(pty.verzeichnis()).filePath("zwanzig.orp");
    QVERIFY(Dateizugriff::ProgrammDateiSpeichern(pfad, Dauerlaufprogramm()));
    SerielleSchnittstelle halter;
    QVERIFY(fall != "belegt" || halter.oeffnen(false));
    QByteArray angekommen;
    const Lauf l = zelkorctl({"-d", pty.verzeichnis(), "-p", port, "senden", pfad}, [&](auto &p) {
        if (status == 3)
            angekommen = pty.lesen(20, 5000);
        if (fall == "SIGTERM")
            ::kill(pid_t(p.processId()), SIGTERM);
        else if (fall == "abgezogen")
            pty.masterSchliessen();
    });
    halter.schliessen();
    QVERIFY2(l.fehler.contains(meldung), qPrintable(l.fehler));
    QCOMPARE(l.status, status);
    // Where the tool held the port: its lock is gone and it stopped short.
    QVERIFY(status != 3 ||
            !QFileInfo::exists("/var/lock/LCK.." + pty.slavePfad().mid(5).replace('/', '_')));
    const int gesendet = l.fehler.section(' ', 3, 3).toInt(); // 0 where no count is given
    QVERIFY(gesendet < 205);
    if (fall != "abgezogen")
        QCOMPARE((angekommen + pty.lesen(0, 100)).size(), gesendet);
}

QTEST_MAIN(TestZelkorctl)
#include "tst_zelkorctl.moc"
