// The serial link against a real pseudo-terminal: bytes, order, pauses, reading, closing, the
// failures an operator meets, and a second copy of the program (this one started again).
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "dialogs/ManuelleFahrt.h"
#include "dialogs/RSAdresse.h"
#include "files/Programmverzeichnis.h"
#include "link/Dekodierer.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

const char *const ZweiteInstanz = "--zweite-instanz";

// The second copy: starts as the program does, tries the port dialog, a transfer and manual
// travel, and prints what it was told and how many bytes it handed to a device.
int zweiteInstanzLaufen(int argc, char **argv) {
    QApplication app(argc, argv);
    setProgrammverzeichnis(QString::fromLocal8Bit(argv[2]));
    Nachrichtenfaenger nachrichten;
    auto fenster = HauptfensterStarten();
    const Mitschnitt gesendet(*fenster->MSComm1);
    QStringList befund;
    // The start-up probe failed: the port dialog stands in front of the disabled window.
    auto *dialog = qobject_cast<RSAdresse *>(fenster->offenerDialog());
    befund << QStringLiteral("gesperrt=%1 portdialog=%2").arg(!fenster->isEnabled()).arg(!!dialog);
    if (dialog) {
        QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
        befund << dialog->letzterGrund() << dialog->LabelGeraet->text();
        QTest::mouseClick(dialog->CommandAbbrechen, Qt::LeftButton);
        QTest::qWait(20);
    }
    QTest::mouseClick(fenster->CommandProgrammieren, Qt::LeftButton);
    QTest::qWait(20);
    befund << nachrichten.letzterText();
    fenster->Manuell->trigger();
    QPointer<QWidget> manuell = fenster->offenerDialog();
    QTest::qWait(20);
    befund << (nachrichten.anzahl() == 2 ? nachrichten.letzterText() : QString());
    if (auto *m = qobject_cast<ManuelleFahrt *>(manuell.data())) {
        QTest::mouseClick(m->CommandEilRechts, Qt::LeftButton);
        QTest::mouseClick(m->CommandZurück, Qt::LeftButton);
        QTest::qWait(20);
    }
    befund << QStringLiteral("meldungen=%1 gesendet=%2")
                  .arg(nachrichten.anzahl())
                  .arg(gesendet.anzahl());
    for (QString &zeile : befund)
        std::puts(qPrintable(zeile.replace(QLatin1Char('\n'), QStringLiteral(" | "))));
    return 0;
}

} // namespace

class TestSerielleSchnittstelle : public QObject {
    Q_OBJECT
private slots:
    void bytesUndPausenKommenAn();
    void lesenUndZweiterSendevorgang();
    void oeffnenScheitert_data();
    void oeffnenScheitert();
    void geraetVerschwindetWaehrendDesBefehls();
    void zweiteInstanzBekommtDenPortNicht();
};

void TestSerielleSchnittstelle::bytesUndPausenKommenAn() {
    PtyPaar pty;
    SerielleSchnittstelle s;
    Mitschnitt spur(s);
    // Every byte value unchanged by the line settings; every eighth byte followed by a pause,
    // some asked in steps finer than the clock's 0.1 ms.
    const QList<double> pausen{0.0001, 0.001, 0.02, 0.06, 0.00015, 0.00105};
    Befehl befehl;
    QByteArray erwartet;
    for (int b = 0; b < 256; ++b) {
        if (b % 8 == 7)
            sendePause(befehl, quint8(b), pausen[(b / 8) % pausen.size()]);
        else
            sende(befehl, quint8(b));
        erwartet.append(char(b));
    }
    QVERIFY(s.Sendevorgang(befehl));
    QCOMPARE(pty.lesen(256), erwartet);
    QCOMPARE(spur.bytes(), erwartet);
    for (int b = 7; b < 255; b += 8)
        QVERIFY2(spur.abstand(b) >= pausen[(b / 8) % pausen.size()],
                 qPrintable(QString::number(b)));

    // A 24-bit number: three bytes, least significant first, each followed by 1 ms.
    spur.leeren();
    QVERIFY(s.oeffnen());
    QVERIFY(s.SendeZahl24(70000));
    const double ende = MsTimer::Uhr();
    QVERIFY(!s.SendeZahl24(-1));
    QVERIFY(!s.SendeZahl24(16777216));
    s.schliessen();
    QCOMPARE(pty.lesen(3), Bytes({112, 17, 1}));
    QVERIFY(spur.abstand(0) >= 0.001 && spur.abstand(1) >= 0.001 && ende - spur.zeit(2) >= 0.001);

    // The last byte before the close arrives (a lost one shows only now and then): single bytes
    // and one write of several.
    for (int runde = 0; runde < 20; ++runde) {
        const QByteArray bytes = runde % 2 ? Bytes({1, 5, 128, runde}) : Bytes({runde});
        QVERIFY(s.Sendevorgang(BefehlAus(bytes)));
        QVERIFY(!s.istOffen());
        QCOMPARE(pty.lesen(int(bytes.size())), bytes);
    }
}

void TestSerielleSchnittstelle::lesenUndZweiterSendevorgang() {
    PtyPaar pty;
    SerielleSchnittstelle s;
    QVERIFY(s.oeffnen());
    QVERIFY(s.LeseZeichen().isEmpty());
    pty.schreiben("x");
    // Collected over the reads: a character handed out twice would show as "xx".
    QByteArray gelesen;
    QTRY_COMPARE(gelesen += s.LeseZeichen(), QByteArray("x"));
    QTest::qWait(20);
    QVERIFY(s.LeseZeichen().isEmpty());
    // A second command while one is on its way is refused.
    s.schliessen();
    bool zweiterAngenommen = true;
    Befehl erster;
    for (int i = 0; i < 10; ++i)
        sendePause(erster, 1, 0.01);
    QTimer::singleShot(20, [&] { zweiterAngenommen = s.Sendevorgang(BefehlAus("c")); });
    QVERIFY(s.Sendevorgang(erster));
    QVERIFY(!zweiterAngenommen);
    QCOMPARE(pty.lesen(10), QByteArray(10, 1));
    QVERIFY(pty.lesen(0, 50).isEmpty());
}

void TestSerielleSchnittstelle::oeffnenScheitert_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("grund");
    QTest::newRow("abgesteckt") << 7 << "ist nicht vorhanden";
    QTest::newRow("belegt") << 1 << "von einem anderen Programm benutzt";
    // The link went away (the virtual controller ended): port 1 would now be /dev/ttyS0.
    QTest::newRow("Verknüpfung verschwunden") << 1 << "Verknüpfung COM1";
}

void TestSerielleSchnittstelle::oeffnenScheitert() {
    QFETCH(int, port);
    QFETCH(QString, grund);
    PtyPaar pty;
    SerielleSchnittstelle s;
    QSignalSpy fehler(&s, &SerielleSchnittstelle::fehler);
    QVERIFY(s.setPortnummer(port));
    const QString link = ProgrammDateipfad(QStringLiteral("COM%1").arg(port));
    const QByteArray fall = QTest::currentDataTag();
    QSerialPort anderer(pty.slavePfad());
    if (fall == "abgesteckt") {
        QVERIFY(QFile::link(pty.verzeichnis() + QStringLiteral("/ttyUSB9"), link));
    } else if (fall == "belegt") {
        QVERIFY(anderer.open(QIODevice::ReadWrite));
    } else {
        QVERIFY(s.Sendevorgang(BefehlAus("a")));
        QCOMPARE(pty.lesen(1), QByteArray("a"));
        QVERIFY(QFile::remove(link));
    }
    QVERIFY(!s.Sendevorgang(BefehlAus("b")));
    QCOMPARE(fehler.size(), 1);
    const QString text = fehler.first().first().toString();
    for (const QString &teil : {QStringLiteral("COM%1").arg(port), s.geraet(), grund})
        QVERIFY2(text.contains(teil), qPrintable(text));
    QVERIFY(!s.istOffen());
    QVERIFY(pty.lesen(0, 50).isEmpty());
    // The probe reports through its result only.
    QVERIFY(!s.oeffnen(false));
    QCOMPARE(fehler.size(), 1);
    QCOMPARE(s.letzterFehler(), text);
    // Device free, plugged in or linked again: the same port works without being chosen anew.
    anderer.close();
    QFile::remove(link);
    QVERIFY(QFile::link(pty.slavePfad(), link));
    QVERIFY(s.Sendevorgang(BefehlAus("c")));
    QCOMPARE(pty.lesen(1), QByteArray("c"));
}

void TestSerielleSchnittstelle::geraetVerschwindetWaehrendDesBefehls() {
    for (int runde = 0; runde < 10; ++runde) {
        PtyPaar pty;
        SerielleSchnittstelle s;
        QSignalSpy fehler(&s, &SerielleSchnittstelle::fehler);
        Mitschnitt spur(s);
        Befehl befehl;
        for (int i = 0; i < 200; ++i)
            sendePause(befehl, quint8(i), 0.002);
        QTimer::singleShot(30 + runde, [&pty] { pty.masterSchliessen(); });
        const double anfang = MsTimer::Uhr();
        QVERIFY(!s.Sendevorgang(befehl));
        QVERIFY(!s.istOffen());
        QVERIFY(!s.beschaeftigt());
        // Ended when the device went, not after the whole command.
        QVERIFY(MsTimer::Uhr() - anfang < 0.3);
        QVERIFY(spur.anzahl() < 200);
        QTest::qWait(50);
        QCOMPARE(fehler.size(), 1);
    }
}

// The second copy cannot open the port, says so in German and sends nothing; the line carries only
// the first one's commands, each whole and in order.
void TestSerielleSchnittstelle::zweiteInstanzBekommtDenPortNicht() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto fenster = HauptfensterStarten();
    fenster->Manuell->trigger();
    QPointer<ManuelleFahrt> manuell = qobject_cast<ManuelleFahrt *>(fenster->offenerDialog());
    QVERIFY(manuell);
    QCOMPARE(pty.lesen(1), QByteArray(1, char(2)));
    Mitschnitt mitschnitt(*fenster->MSComm1);

    QProcess zweite;
    zweite.start(QCoreApplication::applicationFilePath(),
                 {QString::fromLatin1(ZweiteInstanz), pty.verzeichnis()});
    QVERIFY2(zweite.waitForStarted(10000), qPrintable(zweite.errorString()));
    // The first copy keeps driving the motor while the second one tries its luck.
    QByteArray empfangen;
    QElapsedTimer uhr;
    uhr.start();
    int eilgaenge = 0;
    while (zweite.state() != QProcess::NotRunning && uhr.elapsed() < 120000) {
        QTest::mouseClick(eilgaenge++ % 2 ? manuell->CommandEilRechts : manuell->CommandEilLinks,
                          Qt::LeftButton);
        empfangen += pty.lesen(0, 0);
        zweite.waitForFinished(5);
    }
    QVERIFY2(zweite.state() == QProcess::NotRunning && zweite.exitCode() == 0,
             qPrintable(QString::fromUtf8(zweite.readAllStandardError().right(4000))));
    QTest::mouseClick(manuell->CommandZurück, Qt::LeftButton);
    QTRY_VERIFY(!manuell);
    empfangen += pty.lesenBisRuhe(100);

    // The second copy: refused at every attempt, told why in German, nothing sent.
    const QString nein = "Die Schnittstelle COM1 (PTY) kann nicht geöffnet werden. | Das Gerät PTY "
                         "wird bereits von einem anderen Programm benutzt.";
    QCOMPARE(QString::fromUtf8(zweite.readAllStandardOutput())
                 .replace(pty.slavePfad(), "PTY")
                 .remove(QRegularExpression(" \\| Vorhanden: [^\\n]*")),
             "gesperrt=1 portdialog=1\n" + nein + "\n" + nein + " | COM1 ist PTY\n" + nein + "\n" +
                 nein + "\nmeldungen=2 gesendet=0\n");

    // The first copy: no message, and the line carries exactly its own bytes, which decode to
    // whole rapid travels and the final leave of manual mode.
    QCOMPARE(nachrichten.anzahl(), 0);
    QCOMPARE(empfangen, mitschnitt.bytes());
    QStringList erwartet, gelesen;
    for (int i = 0; i < eilgaenge; ++i)
        erwartet
            << QStringLiteral("Eilgang %1: 1000 Hz, 1000 Schritte").arg(i % 2 ? "rechts" : "links");
    erwartet << "Manuelle Fahrt aus";
    for (const DekodierterBefehl &befehl : Dekodierer::dekodiere(empfangen))
        gelesen << befehl.text();
    QCOMPARE(gelesen, erwartet);
}

int main(int argc, char **argv) {
    if (argc >= 3 && qstrcmp(argv[1], ZweiteInstanz) == 0)
        return zweiteInstanzLaufen(argc, argv);
    QApplication app(argc, argv);
    TestSerielleSchnittstelle test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_serielleschnittstelle.moc"
