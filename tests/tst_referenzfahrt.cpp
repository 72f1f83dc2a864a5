// The reference run on the real main window and dialog, with a pseudo-terminal as the
// controller: the start bytes and the frequency checks, the stop with its pauses and the
// disabled buttons, leaving during the stop, and the stop when a held button loses the mouse.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "dialogs/FormReferenzfahrt.h"
#include "gestaltung/Linie.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray Stopp(5, char(255));

// Records when a button's enabled state changes.
class Freigabeuhr : public QObject {
public:
    explicit Freigabeuhr(QWidget *knopf) { knopf->installEventFilter(this); }
    double gesperrt = 0;
    double freigegeben = 0;

protected:
    bool eventFilter(QObject *o, QEvent *e) override {
        if (e->type() == QEvent::EnabledChange)
            (static_cast<QWidget *>(o)->isEnabled() ? freigegeben : gesperrt) = MsTimer::Uhr();
        return false;
    }
};

} // namespace

class TestReferenzfahrt : public QObject {
    Q_OBJECT
private slots:
    void fensterUndZurueck();
    void start_data();
    void start();
    void stoppSperrtDieKnoepfe();
    void verlassenWaehrendDesStopps();
    void haltVerloren_data();
    void haltVerloren();
};

void TestReferenzfahrt::fensterUndZurueck() {
    Fensterumgebung u;
    auto *d = u.oeffnen<FormReferenzfahrt>(u.w().Referenzfahrt);
    QVERIFY(d);
    QVERIFY(d->isVisible() && !d->isModal());
    QVERIFY(!u.w().isEnabled());
    QCOMPARE(d->windowTitle(), "Orbalt-Werk" + QString(63, QLatin1Char(' ')) + "Referenzfahrt");
    QCOMPARE(d->size(), QSize(431, 178));
    QCOMPARE(d->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(Gestaltabweichungen(d, {{"CommandOK", "Zurück", {2565, 1980, 1365, 510}},
                                     {"CommandReferenzLinks", "<<", {1260, 945, 1860, 420}},
                                     {"CommandReferenzRechts", ">>", {3375, 945, 1860, 420}},
                                     {"TextFrequenz", "200", {3375, 1440, 1275, 420}},
                                     {"LabelFrequenz", "Frequenz:", {1665, 1485, 1410, 330}},
                                     {"LabelEinheitFrequenz", "Hz", {4725, 1485, 465, 330}},
                                     {"Shape1", "", {3105, 180, 285, 420}}}),
             QStringList());
    QVERIFY(d->LabelFrequenz->alignment() & Qt::AlignRight);
    // The drawing: thirteen lines and the carriage, taking no input.
    for (int i = 1; i <= 13; ++i) {
        auto *linie = d->findChild<Linie *>(QStringLiteral("Line%1").arg(i));
        QVERIFY2(linie && linie->testAttribute(Qt::WA_TransparentForMouseEvents),
                 qPrintable(QString::number(i)));
    }
    QCOMPARE(d->focusWidget(), d->CommandOK);
    QCOMPARE(Tababweichungen({d->CommandOK, d->CommandReferenzLinks, d->CommandReferenzRechts,
                              d->TextFrequenz}),
             QStringList());

    // Opening sends nothing and keeps the port open; "Zurück" closes it. Every opening shows
    // 200 Hz again.
    QVERIFY(u.w().MSComm1->istOffen());
    d->TextFrequenz->setText("450");
    QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    QVERIFY(!u.w().MSComm1->istOffen());
    QVERIFY(u.dialogBeendet());
    d = u.oeffnen<FormReferenzfahrt>(u.w().Referenzfahrt);
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text(), QString("200"));
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(u.mitschnitt->anzahl(), 0);
}

void TestReferenzfahrt::start_data() {
    QTest::addColumn<bool>("rechts");
    QTest::addColumn<int>("taste");
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QByteArray>("erwartet"); // empty: refused with the message
    QTest::addColumn<QString>("meldung");
    const int links = Qt::LeftButton;
    const auto zeile = [](const char *fall, bool rechts, int taste, const char *frequenz,
                          const QByteArray &bytes, const char *meldung = "") {
        QTest::newRow(fall) << rechts << taste << QString(frequenz) << bytes << QString(meldung);
    };
    zeile("<< 200", false, links, "200", Bytes({6, 3, 1}));
    zeile(">> 200", true, links, "200", Bytes({6, 3, 2}));
    zeile("<< rechte Taste", false, Qt::RightButton, "200", Bytes({6, 3, 1}));
    zeile("100", false, links, "100", Bytes({6, 1, 1}));
    zeile("600", true, links, "600", Bytes({6, 11, 2}));
    zeile("125", false, links, "125", Bytes({6, 2, 1}));
    zeile("175", false, links, "175", Bytes({6, 2, 1}));
    zeile("225", false, links, "225", Bytes({6, 4, 1}));
    zeile("99.5", false, links, "99.5", {}, "Mindestfrequenz 100 Hz unterschritten!");
    zeile("600.5", true, links, "600.5", {}, "Höchstfrequenz 600 Hz überschritten!");
    zeile("keine Zahl", true, links, "schnell", {}, "Frequenz muß eine Zahl sein!");
}

void TestReferenzfahrt::start() {
    QFETCH(bool, rechts);
    QFETCH(int, taste);
    QFETCH(QString, frequenz);
    QFETCH(QByteArray, erwartet);
    QFETCH(QString, meldung);
    const auto maustaste = Qt::MouseButton(taste);
    Fensterumgebung u;
    auto *d = u.oeffnen<FormReferenzfahrt>(u.w().Referenzfahrt);
    QVERIFY(d);
    QPushButton *knopf = rechts ? d->CommandReferenzRechts : d->CommandReferenzLinks;
    d->TextFrequenz->setText(frequenz);
    QTest::mousePress(knopf, maustaste);
    if (erwartet.isEmpty()) {
        QTRY_COMPARE(u.meldungen(), QStringList("Eingabefehler: " + meldung));
        QTest::mouseRelease(knopf, maustaste);
        QCOMPARE(u.nachlauf(), QByteArray());
        QCOMPARE(u.mitschnitt->anzahl(), 0);
        return;
    }
    // Three bytes with no pause, nothing more while the button is held, the stop on release.
    QCOMPARE(u.pty.lesen(3), erwartet);
    QCOMPARE(u.nachlauf(), QByteArray());
    QTest::mouseRelease(knopf, maustaste);
    QCOMPARE(u.pty.lesen(5), Stopp);
    QCOMPARE(u.mitschnitt->bytes(), erwartet + Stopp);
    QCOMPARE(u.meldungen(), QStringList());
}

void TestReferenzfahrt::stoppSperrtDieKnoepfe() {
    Fensterumgebung u;
    auto *d = u.oeffnen<FormReferenzfahrt>(u.w().Referenzfahrt);
    QVERIFY(d);
    QPushButton *knopf = d->CommandReferenzLinks;
    QTest::mousePress(knopf, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(3), Bytes({6, 3, 1}));

    // Five stop bytes, 0.1 ms apart, with both buttons disabled from before the first until
    // half a second after the last.
    Freigabeuhr uhr(knopf);
    QList<bool> freiWaehrendDesStopps;
    QTimer abtaster;
    abtaster.setInterval(20);
    QObject::connect(&abtaster, &QTimer::timeout, [&] {
        freiWaehrendDesStopps << (knopf->isEnabled() || d->CommandReferenzRechts->isEnabled());
    });
    abtaster.start();
    u.mitschnitt->leeren();
    QTest::mouseRelease(knopf, Qt::LeftButton);
    abtaster.stop();
    QCOMPARE(u.pty.lesen(5), Stopp);
    QCOMPARE(u.mitschnitt->bytes(), Stopp);
    for (int i = 0; i < 4; ++i)
        QVERIFY(u.mitschnitt->abstand(i) >= 0.0001);
    QVERIFY(!freiWaehrendDesStopps.isEmpty() && !freiWaehrendDesStopps.contains(true));
    QVERIFY(uhr.gesperrt > 0 && uhr.gesperrt <= u.mitschnitt->zeit(0));
    QVERIFY(uhr.freigegeben - u.mitschnitt->zeit(4) >= 0.5);
    QVERIFY(knopf->isEnabled() && d->CommandReferenzRechts->isEnabled());
    QCOMPARE(u.meldungen(), QStringList());
}

void TestReferenzfahrt::verlassenWaehrendDesStopps() {
    Fensterumgebung u;
    auto *d = u.oeffnen<FormReferenzfahrt>(u.w().Referenzfahrt);
    QVERIFY(d);
    QTest::mousePress(d->CommandReferenzLinks, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(3), Bytes({6, 3, 1}));
    // "Zurück" during the half-second pause: the stop bytes are all out, the port closes at
    // once and nothing is written into it after that.
    bool warOffen = false;
    QTimer::singleShot(100, u.fenster.get(), [&] {
        warOffen = u.w().MSComm1->istOffen();
        d->CommandOK->click();
    });
    QTest::mouseRelease(d->CommandReferenzLinks, Qt::LeftButton);
    QVERIFY(warOffen);
    QCOMPARE(u.pty.lesen(5), Stopp);
    QVERIFY(!u.w().MSComm1->istOffen());
    QVERIFY(u.dialogBeendet());
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), Bytes({6, 3, 1}) + Stopp);
    QCOMPARE(u.meldungen(), QStringList());
}

void TestReferenzfahrt::haltVerloren_data() {
    HaltVerlorenZeilen();
}

void TestReferenzfahrt::haltVerloren() {
    QFETCH(QString, wie);
    Fensterumgebung u;
    auto *d = u.oeffnen<FormReferenzfahrt>(u.w().Referenzfahrt);
    QVERIFY(d);
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));
    QTest::mousePress(d->CommandReferenzRechts, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(3), Bytes({6, 3, 2}));
    QVERIFY(u.haltWegnehmen(d, wie));
    // The stop goes out as on a release; the close box then leaves as "Zurück" does. A release
    // that comes after all sends nothing more.
    QCOMPARE(u.pty.lesen(5), Stopp);
    if (wie == "schliessen") {
        QVERIFY(u.dialogBeendet());
    } else {
        QTRY_VERIFY(d->CommandReferenzRechts->isEnabled());
        QTest::mouseRelease(d->CommandReferenzRechts, Qt::LeftButton);
    }
    QCOMPARE(u.nachlauf(50), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), Bytes({6, 3, 2}) + Stopp);
    QCOMPARE(u.meldungen(), QStringList());
}

QTEST_MAIN(TestReferenzfahrt)
#include "tst_referenzfahrt.moc"
