// The serial link against a real pseudo-terminal: bytes, order, pauses, reading, closing and
// the failures an operator meets (missing device, busy device, device pulled out).
#include "PtyPaar.h"

#include "files/Programmverzeichnis.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <utility>
#include <vector>

namespace {

struct Spur {
    std::vector<std::pair<quint8, double>> eintraege;
    void anhaengen(SerielleSchnittstelle &s) {
        s.setMithoerer([this](quint8 b, double t) { eintraege.emplace_back(b, t); });
    }
    QByteArray bytes() const {
        QByteArray a;
        for (const auto &e : eintraege)
            a.append(char(e.first));
        return a;
    }
};

QByteArray alsBytes(std::initializer_list<int> werte) {
    QByteArray a;
    for (int w : werte)
        a.append(char(w));
    return a;
}

} // namespace

class TestSerielleSchnittstelle : public QObject {
    Q_OBJECT
private slots:
    void zahl24_data();
    void zahl24();
    void jederBytewertKommtAn();
    void leseZeichenLiefertEinZeichenEinmal();
    void letztesByteVorDemSchliessenKommtAn();
    void pausenSindNieKuerzerAlsVerlangt();
    void fehlendesGeraetWirdGemeldet();
    void belegtesGeraetWirdGemeldet();
    void geraetVerschwindetWaehrendDesBefehls();
    void zweiterSendevorgangWirdAbgewiesen();
    void portnummerOhneLinkFuehrtZuTtyS();
    void verschwundeneVerknuepfungFuehrtNichtZumSystemgeraet();
};

void TestSerielleSchnittstelle::zahl24_data() {
    QTest::addColumn<qint64>("zahl");
    QTest::addColumn<QByteArray>("erwartet");
    QTest::newRow("0") << qint64(0) << alsBytes({0, 0, 0});
    QTest::newRow("5000") << qint64(5000) << alsBytes({136, 19, 0});
    QTest::newRow("70000") << qint64(70000) << alsBytes({112, 17, 1});
    QTest::newRow("16777215") << qint64(16777215) << alsBytes({255, 255, 255});
}

void TestSerielleSchnittstelle::zahl24() {
    QFETCH(qint64, zahl);
    QFETCH(QByteArray, erwartet);
    PtyPaar pty;
    QVERIFY(pty.ok());
    SerielleSchnittstelle s;
    Spur spur;
    spur.anhaengen(s);
    QVERIFY(s.oeffnen());
    QVERIFY(s.SendeZahl24(zahl));
    const double ende = MsTimer::Uhr();
    s.schliessen();
    QCOMPARE(pty.lesen(3), erwartet);
    QCOMPARE(spur.bytes(), erwartet);
    // Each of the three bytes is followed by at least 1 ms.
    for (size_t i = 1; i < spur.eintraege.size(); ++i)
        QVERIFY(spur.eintraege[i].second - spur.eintraege[i - 1].second >= 0.001);
    QVERIFY(ende - spur.eintraege.back().second >= 0.001);
    QVERIFY(!s.SendeZahl24(-1));
    QVERIFY(!s.SendeZahl24(16777216));
}

void TestSerielleSchnittstelle::jederBytewertKommtAn() {
    PtyPaar pty;
    SerielleSchnittstelle s;
    Befehl befehl;
    QByteArray erwartet;
    for (int b = 0; b < 256; ++b) {
        sende(befehl, quint8(b));
        if (b % 16 == 0)
            warte(befehl, 0.0001);
        erwartet.append(char(b));
    }
    QVERIFY(s.Sendevorgang(befehl));
    QCOMPARE(pty.lesen(256), erwartet);
}

void TestSerielleSchnittstelle::leseZeichenLiefertEinZeichenEinmal() {
    PtyPaar pty;
    SerielleSchnittstelle s;
    QVERIFY(s.oeffnen());
    QVERIFY(s.LeseZeichen().isEmpty());
    pty.schreiben("x");
    QByteArray gelesen;
    for (int i = 0; i < 200 && gelesen.isEmpty(); ++i) {
        QTest::qWait(5);
        gelesen = s.LeseZeichen();
    }
    QCOMPARE(gelesen, QByteArray("x"));
    QTest::qWait(20);
    QVERIFY(s.LeseZeichen().isEmpty());
    s.schliessen();
    QVERIFY(s.LeseZeichen().isEmpty());
}

void TestSerielleSchnittstelle::letztesByteVorDemSchliessenKommtAn() {
    PtyPaar pty;
    SerielleSchnittstelle s;
    for (int runde = 0; runde < 20; ++runde) {
        Befehl befehl;
        sende(befehl, 4);
        QVERIFY(s.Sendevorgang(befehl));
        QVERIFY(!s.istOffen());
        QCOMPARE(pty.lesen(1), QByteArray(1, 4));
    }
    // Several bytes in one write, closed at once, likewise.
    QVERIFY(s.Sendevorgang({Befehlsschritt::byte(1), Befehlsschritt::byte(5),
                            Befehlsschritt::byte(128), Befehlsschritt::byte(1)}));
    QCOMPARE(pty.lesen(4), alsBytes({1, 5, 128, 1}));
}

void TestSerielleSchnittstelle::pausenSindNieKuerzerAlsVerlangt() {
    PtyPaar pty;
    SerielleSchnittstelle s;
    Spur spur;
    spur.anhaengen(s);
    const std::vector<double> pausen{0.0001, 0.001, 0.02, 0.06, 0.0001, 0.001};
    Befehl befehl;
    for (int runde = 0; runde < 5; ++runde)
        for (double p : pausen)
            sendePause(befehl, 7, p);
    sende(befehl, 8);
    QVERIFY(s.Sendevorgang(befehl));
    QCOMPARE(spur.eintraege.size(), size_t(5 * pausen.size() + 1));
    for (size_t i = 1; i < spur.eintraege.size(); ++i) {
        const double verlangt = pausen[(i - 1) % pausen.size()];
        const double gemessen = spur.eintraege[i].second - spur.eintraege[i - 1].second;
        QVERIFY2(
            gemessen >= verlangt,
            qPrintable(
                QStringLiteral("Pause %1: %2 s statt %3 s").arg(i).arg(gemessen).arg(verlangt)));
    }
    QCOMPARE(pty.lesen(31).size(), 31);
}

void TestSerielleSchnittstelle::fehlendesGeraetWirdGemeldet() {
    PtyPaar pty; // program directory with COM1 only
    SerielleSchnittstelle s;
    QSignalSpy fehler(&s, &SerielleSchnittstelle::fehler);
    QVERIFY(s.setPortnummer(7));
    QVERIFY(!s.Sendevorgang({Befehlsschritt::byte(4)}));
    QCOMPARE(fehler.size(), 1);
    const QString text = fehler.first().first().toString();
    QVERIFY2(text.contains(QStringLiteral("COM7")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("/dev/ttyS6")), qPrintable(text));
    QVERIFY(!s.istOffen());
    QVERIFY(!s.beschaeftigt());
    // The probe reports through its result only.
    QVERIFY(!s.oeffnen(false));
    QCOMPARE(fehler.size(), 1);
    QVERIFY(!s.letzterFehler().isEmpty());
    QVERIFY(!s.setPortnummer(0));
}

void TestSerielleSchnittstelle::belegtesGeraetWirdGemeldet() {
    PtyPaar pty;
    QSerialPort anderer(pty.slavePfad());
    QVERIFY(anderer.open(QIODevice::ReadWrite));
    SerielleSchnittstelle s;
    QSignalSpy fehler(&s, &SerielleSchnittstelle::fehler);
    QVERIFY(!s.Sendevorgang({Befehlsschritt::byte(4)}));
    QCOMPARE(fehler.size(), 1);
    const QString text = fehler.first().first().toString();
    QVERIFY2(text.contains(QStringLiteral("COM1")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("anderen Programm")), qPrintable(text));
    QVERIFY(!s.istOffen());
    QVERIFY(pty.lesen(0, 50).isEmpty());
    anderer.close();
    QVERIFY(s.Sendevorgang({Befehlsschritt::byte(4)}));
    QCOMPARE(pty.lesen(1), QByteArray(1, 4));
}

void TestSerielleSchnittstelle::geraetVerschwindetWaehrendDesBefehls() {
    for (int runde = 0; runde < 10; ++runde) {
        PtyPaar pty;
        SerielleSchnittstelle s;
        QSignalSpy fehler(&s, &SerielleSchnittstelle::fehler);
        Spur spur;
        spur.anhaengen(s);
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
        QVERIFY(spur.eintraege.size() < 200);
        QTest::qWait(50);
        QCOMPARE(fehler.size(), 1);
    }
}

void TestSerielleSchnittstelle::zweiterSendevorgangWirdAbgewiesen() {
    PtyPaar pty;
    SerielleSchnittstelle s;
    bool zweiterAngenommen = true;
    bool zweiterVersucht = false;
    Befehl erster;
    for (int i = 0; i < 10; ++i)
        sendePause(erster, 1, 0.01);
    QTimer::singleShot(20, [&] {
        zweiterVersucht = true;
        zweiterAngenommen = s.Sendevorgang({Befehlsschritt::byte(99)});
    });
    QVERIFY(s.Sendevorgang(erster));
    QVERIFY(zweiterVersucht);
    QVERIFY(!zweiterAngenommen);
    QCOMPARE(pty.lesen(10), QByteArray(10, 1));
    QVERIFY(pty.lesen(0, 50).isEmpty());
}

void TestSerielleSchnittstelle::portnummerOhneLinkFuehrtZuTtyS() {
    PtyPaar pty;
    QCOMPARE(SerielleSchnittstelle::GeraetFuerPort(3), QStringLiteral("/dev/ttyS2"));
    QCOMPARE(SerielleSchnittstelle::GeraetFuerPort(1), pty.slavePfad());
}

void TestSerielleSchnittstelle::verschwundeneVerknuepfungFuehrtNichtZumSystemgeraet() {
    PtyPaar pty;
    SerielleSchnittstelle s;
    QSignalSpy fehler(&s, &SerielleSchnittstelle::fehler);
    QVERIFY(s.Sendevorgang({Befehlsschritt::byte(4)}));
    QCOMPARE(pty.lesen(1), QByteArray(1, 4));
    // The link goes away (the virtual controller ended): no fallback to /dev/ttyS0.
    const QString link = ProgrammDateipfad(QStringLiteral("COM1"));
    QVERIFY(QFile::remove(link));
    QVERIFY(!s.Sendevorgang({Befehlsschritt::byte(4)}));
    QCOMPARE(fehler.size(), 1);
    QVERIFY2(fehler.first().first().toString().contains(QStringLiteral("Verknüpfung COM1")),
             qPrintable(fehler.first().first().toString()));
    QVERIFY(!s.istOffen());
    // Linked again, the port works without being chosen anew.
    QVERIFY(QFile::link(pty.slavePfad(), link));
    QVERIFY(s.Sendevorgang({Befehlsschritt::byte(5)}));
    QCOMPARE(pty.lesen(1), QByteArray(1, 5));
}

QTEST_MAIN(TestSerielleSchnittstelle)
#include "tst_serielleschnittstelle.moc"
