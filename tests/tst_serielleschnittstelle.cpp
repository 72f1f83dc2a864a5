// The serial link against a real pseudo-terminal: bytes, order, pauses, reading, closing and
// the failures an operator meets (missing device, busy device, device pulled out).
#include "Mitschnitt.h"
#include "PtyPaar.h"
#include "Testdaten.h"

#include "files/Programmverzeichnis.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestSerielleSchnittstelle : public QObject {
    Q_OBJECT
private slots:
    void bytesUndPausenKommenAn();
    void leseZeichenLiefertEinZeichenEinmal();
    void oeffnenScheitert_data();
    void oeffnenScheitert();
    void geraetVerschwindetWaehrendDesBefehls();
    void zweiterSendevorgangWirdAbgewiesen();
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

void TestSerielleSchnittstelle::leseZeichenLiefertEinZeichenEinmal() {
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

void TestSerielleSchnittstelle::zweiterSendevorgangWirdAbgewiesen() {
    PtyPaar pty;
    SerielleSchnittstelle s;
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

QTEST_MAIN(TestSerielleSchnittstelle)
#include "tst_serielleschnittstelle.moc"
