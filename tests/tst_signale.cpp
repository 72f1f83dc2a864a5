// Ending by a signal, a port lost during a motion, presses and a transfer that send nothing.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "app/Programmende.h"
#include "dialogs/ManuelleFahrt.h"
#include "link/SerielleSchnittstelle.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

const QByteArray Uebertragung = Bytes({3, 1, 10, 1, 10, 136, 19, 0, 5, 79, 1, 10, 1, 0, 1});
const QString Motorhinweis =
    "\nDer Motor läuft möglicherweise noch und muss an der Steuerung angehalten werden.";

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

} // namespace

class TestSignale : public QObject {
    Q_OBJECT
private slots:
    void beenden_data();
    void beenden();
    void portVerlorenBeiBewegung_data();
    void portVerlorenBeiBewegung();
    void druckOhneBefehl_data();
    void druckOhneBefehl();
    void geleertesFeldBeendetUebertragung();
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
        u.mitschnitt.reset();
        u.w().MSComm1->setMithoerer([&, n = 0](quint8, double) mutable {
            if (++n == 5)
                for (int s : signale)
                    std::raise(s);
        });
        QTest::mouseClick(u.w().CommandProgrammieren, Qt::LeftButton);
        u.w().MSComm1->setMithoerer({});
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
    QVERIFY(!u.w().offenerDialog() && !u.w().MSComm1->istOffen());
    // No wait ran out: the controller's answer, or the second signal, ended it.
    QVERIFY(uhr.elapsed() < ManuelleFahrt::Antwortfrist * 1000);
}

void TestSignale::portVerlorenBeiBewegung_data() {
    QTest::addColumn<QString>("knopf");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("hinweis");
    QTest::newRow("Einzelschritt gehalten") << "<" << Bytes({10}) << true;
    QTest::newRow("Referenzfahrt gehalten") << "<<" << Bytes({6, 3, 1}) << true;
    QTest::newRow("Eilgang fährt") << "*>>" << Bytes({40, 19, 232, 3, 0}) << true;
    QTest::newRow("Manuell ruhend") << "ruhend" << QByteArray() << false;
}

void TestSignale::portVerlorenBeiBewegung() {
    QFETCH(QString, knopf);
    QFETCH(QByteArray, start);
    QFETCH(bool, hinweis);
    Fensterumgebung u;
    QVERIFY(Bewegen(u, knopf, start));
    u.pty.masterSchliessen();
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    const QString text = u.nachrichten.letzterText();
    QVERIFY2(text.contains("ist abgebrochen (Ein-/Ausgabefehler).\n"), qPrintable(text));
    QCOMPARE(text.endsWith(Motorhinweis), hinweis);
}

void TestSignale::druckOhneBefehl_data() {
    QTest::addColumn<QString>("knopf");
    QTest::addColumn<Qt::MouseButton>("taste");
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("rechte Taste auf >") << ">" << Qt::RightButton << "" << QString();
    QTest::newRow("<< verweigert") << "<<" << Qt::LeftButton << "50"
                                   << "Eingabefehler: Mindestfrequenz 100 Hz unterschritten!";
}

void TestSignale::druckOhneBefehl() {
    // The press sends nothing, the button is not left drawn pressed, its release sends nothing.
    QFETCH(QString, knopf);
    QFETCH(Qt::MouseButton, taste);
    QFETCH(QString, frequenz);
    QFETCH(QString, meldung);
    Fensterumgebung u;
    QWidget *d = Bewegen(u, knopf, {}, taste, frequenz);
    QVERIFY(d && !Knopf(d, knopf)->isDown());
    QTest::mouseRelease(Knopf(d, knopf), taste);
    QCOMPARE(u.pty.lesenBisRuhe(50), QByteArray());
    QCOMPARE(u.meldungen(), meldung.isEmpty() ? QStringList() : QStringList(meldung));
}

void TestSignale::geleertesFeldBeendetUebertragung() {
    // The transfer's move to block 1 cannot store block 2, whose field was emptied: nothing is
    // sent.
    Fensterumgebung u;
    u.saetzeAnlegen(2);
    u.w().setAktuelleZeile(1);
    u.w().TextSatzpause->setText(QString());
    QTest::mouseClick(u.w().CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(u.meldungen(), QStringList("Programmfehler !: Sie müssen eine Satzpause angeben"));
    QVERIFY(u.nichtsGesendet());
}

QTEST_MAIN(TestSignale)
#include "tst_signale.moc"
