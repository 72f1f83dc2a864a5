// Ending by a signal, and the traffic window and status line: what each command put on the line,
// as the operator reads it.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "app/Programmende.h"
#include "dialogs/FormDatenverkehr.h"
#include "dialogs/ManuelleFahrt.h"
#include "files/Programmverzeichnis.h"
#include "link/SerielleSchnittstelle.h"
#include "link/Verkehrsaufzeichnung.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

const QByteArray Uebertragung = Bytes({3, 1, 10, 1, 10, 136, 19, 0, 5, 79, 1, 10, 1, 0, 1});

// Opens manual travel (its byte 2 taken off the line) or the reference run and holds "<" or
// "<<" down; true when its start bytes followed.
bool Halten(Fensterumgebung &u, const QString &knopf) {
    const bool referenz = knopf == "<<";
    QWidget *d = u.oeffnen<QWidget>(referenz ? u.w().Referenzfahrt : u.w().Manuell);
    if (!d || (!referenz && u.pty.lesen(1) != Bytes({2})))
        return false;
    QTest::mousePress(
        d->findChild<QPushButton *>(referenz ? "CommandReferenzLinks" : "CommandLinksEinzel"),
        Qt::LeftButton);
    return referenz ? u.pty.lesen(3) == Bytes({6, 3, 1}) : u.pty.lesen(1) == Bytes({10});
}

// Clock times, pauses and durations differ from run to run.
QString ohneZeiten(QString text) {
    text.replace(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d,\\d{3}")), "hh:mm:ss,mmm");
    text.replace(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d")), "hh:mm:ss");
    return text.replace(QRegularExpression(QStringLiteral("\\d+,\\d+ (m?s)\\b")), "x \\1");
}

QString listentext(const FormDatenverkehr &f, bool mitZeiten = false) {
    QStringList zeilen;
    const QAbstractItemModel &m = *f.ListeDatenverkehr->model();
    for (int i = 0; i < m.rowCount(); ++i)
        zeilen << m.index(i, 0).data().toString();
    return mitZeiten ? zeilen.join('\n') : ohneZeiten(zeilen.join('\n'));
}

const QString T = QStringLiteral("hh:mm:ss,mmm  COM1  ");

} // namespace

class TestSignale : public QObject {
    Q_OBJECT
private slots:
    void beenden_data();
    void beenden();
    void verkehr_data();
    void verkehr();
    void verkehrSpeichernLeerenUndHoechstzahl();
};

void TestSignale::beenden_data() {
    QTest::addColumn<QString>("lage"); // "U": a transfer; otherwise the button held
    QTest::addColumn<QList<int>>("signale");
    QTest::addColumn<QByteArray>("danach");
    QTest::newRow("Einzelschritt, SIGTERM") << "<" << QList{SIGTERM} << Bytes({255, 0});
    QTest::newRow("Einzelschritt ohne Antwort, zweites Signal")
        << "<" << QList{SIGTERM, SIGINT} << Bytes({255, 0});
    QTest::newRow("Referenzfahrt, SIGINT") << "<<" << QList{SIGINT} << QByteArray(5, -1);
    QTest::newRow("Übertragung, SIGHUP") << "U" << QList{SIGHUP} << Uebertragung;
    QTest::newRow("Übertragung, zweites Signal")
        << "U" << QList{SIGHUP, SIGTERM} << Uebertragung.left(5);
    QTest::newRow("Programm geändert") << "geändert" << QList{SIGTERM} << QByteArray();
}

void TestSignale::beenden() {
    QFETCH(QString, lage);
    QFETCH(QList<int>, signale);
    QFETCH(QByteArray, danach);
    Fensterumgebung u;
    Programmende ende;
    ende.ueberwachen(u.w());
    const QDeadlineTimer frist(int(ManuelleFahrt::Antwortfrist * 1000));
    if (lage == "U") {
        // The signals come once the header is out, in the pause after it.
        const auto nachDemKopf = QObject::connect(
            u.w().MSComm1, &SerielleSchnittstelle::byteGesendet, [&, n = 0]() mutable {
                if (++n == 5)
                    for (int s : signale)
                        std::raise(s);
            });
        QTest::mouseClick(u.w().CommandProgrammieren, Qt::LeftButton);
        QObject::disconnect(nachDemKopf);
    } else if (lage == "geändert") {
        // Nobody is there to answer the question about a changed program: it is kept aside.
        u.w().TextSatzpause->setText("42");
        std::raise(signale[0]);
    } else {
        QVERIFY(Halten(u, lage));
        if (lage == "<" && signale.size() == 1) // the answer ends the wait, or a second signal
            QTimer::singleShot(50, [&] { u.pty.schreiben("x"); });
        std::raise(signale[0]);
        for (int i = 1; i < signale.size(); ++i)
            QTimer::singleShot(100 * i, [s = signale[i]] { std::raise(s); });
    }
    QTRY_VERIFY(!u.w().isVisible());
    QCOMPARE(u.pty.lesenBisRuhe(), danach);
    QCOMPARE(DateiInhalt(ProgrammDateipfad("gerettet.orp")).contains("\"42\""), lage == "geändert");
    QVERIFY(!u.w().offenerDialog() && !u.w().MSComm1->istOffen());
    // No wait ran out: the controller's answer, or the second signal, ended it.
    QVERIFY(!frist.hasExpired());
}

void TestSignale::verkehr_data() {
    QTest::addColumn<QString>("befehl");
    QTest::addColumn<QString>("liste");
    QTest::addColumn<QString>("status");
    const QString kopf = QStringLiteral("Programmübertragung%1: 1 Satz, Programmdurchläufe 1, "
                                        "Programmpause 10, Befehlspause 10");
    const QString einzug = '\n' + QString(T.size(), ' ');
    QTest::newRow("Übertragung mit Bytes")
        << "Übertragung"
        << T + kopf.arg("") + einzug + "03 (x ms) 01 (x ms) 0A (x ms) 01 (x ms) 0A (x ms)\n" + T +
               "  Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe 1, Pause 10, rechts, ohne "
               "Richtungsänderung, Rampe 1 (2ms/100Hz)" +
               einzug +
               "88 (x ms) 13 (x ms) 00 (x ms) 05 (x ms) 4F (x ms) 01 (x ms) 0A (x ms) 01 (x ms) "
               "00 (x ms) 01 (x ms)"
        << "Programm übertragen: 1 Satz, 15 Bytes, x s (hh:mm:ss)";
    QTest::newRow("Eilgang") << "Eilgang"
                             << T + "Manuelle Fahrt ein\n" + T +
                                    "Eilgang rechts: 1000 Hz, 1000 Schritte"
                             << "Eilgang rechts gesendet: 1000 Hz, 1000 Schritte (hh:mm:ss)";
    QTest::newRow("Gerät weg nach Byte 8")
        << "abgezogen"
        << T + kopf.arg(" unvollständig (8 von 15 Bytes)") +
               " – abgebrochen: Verbindung zu COM1 unterbrochen\n" + T +
               "  Satz 1 unvollständig, empfangen: 136, 19, 0"
        << "Übertragung abgebrochen: Verbindung zu COM1 unterbrochen, 8 von 15 Bytes gesendet "
           "(hh:mm:ss)";
}

void TestSignale::verkehr() {
    QFETCH(QString, befehl);
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    w.Datenverkehr->trigger();
    FormDatenverkehr *f = w.datenverkehrFenster();
    QVERIFY(f && f->isVisible());
    // Beside the main window, not in front of it as a dialog, and without the port.
    QVERIFY(w.isEnabled() && !w.offenerDialog() && !w.MSComm1->istOffen());
    f->CheckBytesZeigen->setChecked(befehl == "Übertragung");
    if (befehl == "Eilgang") {
        auto *d = u.oeffnen<ManuelleFahrt>(w.Manuell);
        QVERIFY(d);
        QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
        QTRY_COMPARE(f->ListeDatenverkehr->model()->rowCount(), 2);
    } else {
        connect(w.MSComm1, &SerielleSchnittstelle::byteGesendet, f, [&, n = 0]() mutable {
            if (++n == 8 && befehl == "abgezogen")
                u.pty.masterSchliessen();
        });
        QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
    }
    QTEST(listentext(*f), "liste");
    QTEST(ohneZeiten(w.LabelStatus->text()), "status");
    if (befehl == "Übertragung") { // each pause shown is at least what the protocol asks
        const double soll[] = {1, 1, 1, 1, 20, 1, 1, 1, 1, 1, 1, 1, 1, 1, 61};
        auto pausen = QRegularExpression("\\((\\d+,\\d) ms\\)").globalMatch(listentext(*f, true));
        for (double mindestens : soll)
            QVERIFY(pausen.next().captured(1).replace(',', '.').toDouble() >= mindestens);
        QVERIFY(!pausen.hasNext());
    }
}

void TestSignale::verkehrSpeichernLeerenUndHoechstzahl() {
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    w.DatenverkehrZeigen();
    FormDatenverkehr &f = *w.datenverkehrFenster();
    QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    QCOMPARE(ohneZeiten(w.LabelStatus->text()), QString("Satz 1 gestartet (hh:mm:ss)"));
    const QString pfad = u.pty.verzeichnis() + "/Verkehr.txt";
    QVERIFY(f.Speichern(pfad));
    QCOMPARE(ohneZeiten(QString::fromUtf8(DateiInhalt(pfad))),
             T + "Programmstart\r\n" + T + "Satzstart: Satz 1\r\n");

    // Emptied; a command that never reached the line adds nothing.
    QTest::mouseClick(f.CommandLeeren, Qt::LeftButton);
    QVERIFY(QFile::remove(u.pty.verzeichnis() + "/COM1"));
    QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
    QCOMPARE(ohneZeiten(w.LabelStatus->text()),
             QString("Programmstart abgebrochen: Port COM1 nicht verfügbar (hh:mm:ss)"));
    QCOMPARE(listentext(f), QString());
    // The oldest lines drop out.
    Verkehrsaufzeichnung &a = *w.verkehrsaufzeichnung();
    for (int i = 1; i <= Verkehrsaufzeichnung::HoechstzahlZeilen + 2; ++i) {
        a.byteGesendet(Befehlsbyte::Satzstart, 0);
        a.byteGesendet(quint8(i), 0);
        a.befehlBeendet(*Satzstart(i % 256), SerielleSchnittstelle::Ausgang::Gesendet, 1);
    }
    QCOMPARE(f.ListeDatenverkehr->model()->rowCount(), Verkehrsaufzeichnung::HoechstzahlZeilen);
    QCOMPARE(listentext(f).section('\n', 0, 0), T + "Satzstart: Satz 3");
}

QTEST_MAIN(TestSignale)
#include "tst_signale.moc"
