// Ending by a signal, a port lost during a motion, presses and a transfer that send nothing, and
// the traffic window and status line: what each command put on the line, as the operator reads it.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "app/Programmende.h"
#include "dialogs/FormDatenverkehr.h"
#include "dialogs/ManuelleFahrt.h"
#include "files/Programmverzeichnis.h"
#include "link/SerielleSchnittstelle.h"
#include "link/Verkehrsaufzeichnung.h"

#include <QCheckBox>
#include <QElapsedTimer>
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

QPushButton *Knopf(QWidget *dialog, const QString &text) {
    for (QPushButton *k : dialog->findChildren<QPushButton *>())
        if (k->text() == text)
            return k;
    return nullptr;
}

// Opens the reference run ("<<", ">>") or manual travel (its byte 2 taken off the line), then
// presses the button ("*>>": clicks it; "ruhend": none); the start bytes must follow.
QWidget *Bewegen(Fensterumgebung &u, const QString &knopf, const QByteArray &start,
                 Qt::MouseButton taste = Qt::LeftButton, const QString &frequenz = {}) {
    const bool referenz = knopf == "<<" || knopf == ">>";
    QWidget *d = u.oeffnen<QWidget>(referenz ? u.w().Referenzfahrt : u.w().Manuell);
    if (!d || (!referenz && u.pty.lesen(1) != Bytes({2})))
        return nullptr;
    if (!frequenz.isEmpty())
        d->findChild<QLineEdit *>("TextFrequenz")->setText(frequenz);
    if (knopf.startsWith('*'))
        QTest::mouseClick(Knopf(d, knopf.mid(1)), taste);
    else if (Knopf(d, knopf))
        QTest::mousePress(Knopf(d, knopf), taste);
    return u.pty.lesen(int(start.size())) == start ? d : nullptr;
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
    void druecken_data();
    void druecken();
    void verkehr_data();
    void verkehr();
    void verkehrSpeichernLeerenUndHoechstzahl();
};

void TestSignale::beenden_data() {
    QTest::addColumn<QString>("lage"); // "U": a transfer; otherwise the button held
    QTest::addColumn<QList<int>>("signale");
    QTest::addColumn<bool>("antwort"); // the controller answers the single step
    QTest::addColumn<QByteArray>("danach");
    QTest::newRow("Einzelschritt, SIGTERM") << "<" << QList{SIGTERM} << true << Bytes({255, 0});
    QTest::newRow("Einzelschritt ohne Antwort, zweites Signal")
        << "<" << QList{SIGTERM, SIGINT} << false << Bytes({255, 0});
    QTest::newRow("Referenzfahrt, SIGINT") << "<<" << QList{SIGINT} << false << QByteArray(5, -1);
    QTest::newRow("Übertragung, SIGHUP") << "U" << QList{SIGHUP} << false << Uebertragung;
    QTest::newRow("Übertragung, zweites Signal")
        << "U" << QList{SIGHUP, SIGTERM} << false << Uebertragung.left(5);
    QTest::newRow("Programm geändert") << "geändert" << QList{SIGTERM} << false << QByteArray();
}

void TestSignale::beenden() {
    QFETCH(QString, lage);
    QFETCH(QList<int>, signale);
    QFETCH(bool, antwort);
    QFETCH(QByteArray, danach);
    Fensterumgebung u;
    Programmende ende;
    ende.ueberwachen(u.w());
    QElapsedTimer uhr;
    uhr.start();
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
        QVERIFY(Bewegen(u, lage, lage == "<" ? Bytes({10}) : Bytes({6, 3, 1})));
        if (antwort)
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
    QVERIFY(uhr.elapsed() < ManuelleFahrt::Antwortfrist * 1000);
}

void TestSignale::druecken_data() {
    QTest::addColumn<QString>("knopf"); // as for Bewegen; "U": a transfer
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<Qt::MouseButton>("taste"); // NoButton: the device goes away once started
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QString>("meldung");
    const QString weg = "Zelkor_V2: Die Verbindung über COM1 (PTY) ist abgebrochen "
                        "(Ein-/Ausgabefehler).\nDie Schnittstelle wurde geschlossen; ein "
                        "laufender Befehl wurde nicht zu Ende gesendet.";
    const QString motor =
        weg + "\nDer Motor läuft möglicherweise noch und muss an der Steuerung angehalten werden.";
    QTest::newRow("Einzelschritt gehalten, Gerät weg")
        << "<" << Bytes({10}) << Qt::NoButton << "" << motor;
    QTest::newRow("Referenzfahrt gehalten, Gerät weg")
        << "<<" << Bytes({6, 3, 1}) << Qt::NoButton << "" << motor;
    QTest::newRow("Eilgang fährt, Gerät weg")
        << "*>>" << Bytes({40, 19, 232, 3, 0}) << Qt::NoButton << "" << motor;
    QTest::newRow("Manuell ruhend, Gerät weg")
        << "ruhend" << QByteArray() << Qt::NoButton << "" << weg;
    // The press sends nothing, the button is not left drawn pressed, its release sends nothing.
    QTest::newRow("rechte Taste auf >") << ">" << QByteArray() << Qt::RightButton << ""
                                        << "";
    QTest::newRow("<< verweigert") << "<<" << QByteArray() << Qt::LeftButton << "50"
                                   << "Eingabefehler: Mindestfrequenz 100 Hz unterschritten!";
    // The transfer's move to block 1 cannot store block 2, whose field was emptied.
    QTest::newRow("Übertragung, Feld geleert")
        << "U" << QByteArray() << Qt::LeftButton << ""
        << "Programmfehler !: Sie müssen eine Satzpause angeben";
}

void TestSignale::druecken() {
    QFETCH(QString, knopf);
    QFETCH(QByteArray, start);
    QFETCH(Qt::MouseButton, taste);
    QFETCH(QString, frequenz);
    Fensterumgebung u;
    if (knopf == "U") {
        u.saetzeAnlegen(2);
        u.w().setAktuelleZeile(1);
        u.w().TextSatzpause->setText(QString());
        QTest::mouseClick(u.w().CommandProgrammieren, Qt::LeftButton);
        QVERIFY(u.nichtsGesendet());
    } else if (taste == Qt::NoButton) {
        QVERIFY(Bewegen(u, knopf, start));
        u.pty.masterSchliessen();
        QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    } else {
        QWidget *d = Bewegen(u, knopf, start, taste, frequenz);
        QVERIFY(d && !Knopf(d, knopf)->isDown());
        QTest::mouseRelease(Knopf(d, knopf), taste);
        QCOMPARE(u.pty.lesenBisRuhe(50), QByteArray());
    }
    QTEST(u.meldungen().join('\n').replace(u.pty.slavePfad(), "PTY"), "meldung");
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
    QTest::newRow("Satzstart") << "Satzstart" << T + "Satzstart: Satz 1"
                               << "Satz 1 gestartet (hh:mm:ss)";
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
    QTest::newRow("Port fehlt")
        << "fehlt" << QString()
        << "Programmstart abgebrochen: Port COM1 nicht verfügbar (hh:mm:ss)";
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
    if (befehl == "Satzstart") {
        QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    } else if (befehl == "Eilgang") {
        auto *d = u.oeffnen<ManuelleFahrt>(w.Manuell);
        QVERIFY(d);
        QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
        QTRY_COMPARE(f->ListeDatenverkehr->model()->rowCount(), 2);
    } else if (befehl == "fehlt") {
        QVERIFY(QFile::remove(u.pty.verzeichnis() + "/COM1"));
        QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
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
    const QString pfad = u.pty.verzeichnis() + "/Verkehr.txt";
    QVERIFY(f.Speichern(pfad));
    QCOMPARE(ohneZeiten(QString::fromUtf8(DateiInhalt(pfad))),
             T + "Programmstart\r\n" + T + "Satzstart: Satz 1\r\n");

    QTest::mouseClick(f.CommandLeeren, Qt::LeftButton);
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
