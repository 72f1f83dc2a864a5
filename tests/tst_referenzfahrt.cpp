// The reference run on the real main window and dialog, with a pseudo-terminal as the
// controller: start bytes and frequency checks, the stop sequence with its pauses and the
// disabled buttons, leaving during a stop, the stop when a held button loses the mouse, and a
// port that does not open.
#include "Mitschnitt.h"
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/Linie.h"
#include "app/PCSteuerung.h"
#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/Handbefehle.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Globale.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QByteArray bytes(std::initializer_list<int> werte) {
    QByteArray b;
    for (int w : werte)
        b.append(char(w));
    return b;
}

const QByteArray Stopp = QByteArray(5, char(255));

QWidget *naechsterTabhalt(QWidget *w) {
    QWidget *n = w->nextInFocusChain();
    while (n != w && !(n->focusPolicy() & Qt::TabFocus))
        n = n->nextInFocusChain();
    return n;
}

struct Umgebung {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    std::unique_ptr<PCSteuerung> fenster;
    std::unique_ptr<Mitschnitt> mitschnitt;

    Umgebung() {
        StartAbgeschlossen = false;
        fenster = std::make_unique<PCSteuerung>();
        fenster->show();
        fenster->Laden();
        mitschnitt = std::make_unique<Mitschnitt>(*fenster->MSComm1);
    }

    FormReferenzfahrt *oeffnen() {
        fenster->Referenzfahrt->trigger();
        return qobject_cast<FormReferenzfahrt *>(fenster->offenerDialog());
    }
};

// Records when the button's enabled state changes during a stop.
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
    void fensterAufbau();
    void start_data();
    void start();
    void jedesOeffnenZeigt200();
    void verlassenWaehrendDesStopps();
    void schliessfeldWieZurueck();
    void haltVerloren_data();
    void haltVerloren();
    void portFehltBeimLaden();
    void geraetVerschwindetWaehrendDesStopps();
};

void TestReferenzfahrt::fensterAufbau() {
    Umgebung u;
    FormReferenzfahrt *d = u.oeffnen();
    QVERIFY(d);
    QVERIFY(d->isVisible());
    QVERIFY(!d->isModal());
    QVERIFY(!u.fenster->isEnabled());
    QCOMPARE(d->objectName(), QStringLiteral("FormReferenzfahrt"));
    QCOMPARE(d->windowTitle(), QStringLiteral("Orbalt-Werk") + QString(63, QLatin1Char(' ')) +
                                   QStringLiteral("Referenzfahrt"));
    QCOMPARE(d->size(), QSize(431, 178));
    QCOMPARE(d->palette().color(QPalette::Window), QColor(Qt::white));
    // Opening sends nothing; the port stays open.
    QVERIFY(u.fenster->MSComm1->istOffen());

    struct Soll {
        QWidget *w;
        const char *name;
        QString text;
        QRect twips;
    };
    const QList<Soll> soll{
        {d->CommandOK, "CommandOK", "Zurück", {2565, 1980, 1365, 510}},
        {d->CommandReferenzLinks, "CommandReferenzLinks", "<<", {1260, 945, 1860, 420}},
        {d->CommandReferenzRechts, "CommandReferenzRechts", ">>", {3375, 945, 1860, 420}},
        {d->TextFrequenz, "TextFrequenz", "200", {3375, 1440, 1275, 420}},
        {d->LabelFrequenz, "LabelFrequenz", "Frequenz:", {1665, 1485, 1410, 330}},
        {d->LabelEinheitFrequenz, "LabelEinheitFrequenz", "Hz", {4725, 1485, 465, 330}},
    };
    const QColor dunkelblau(0, 0, 128);
    for (const Soll &s : soll) {
        QVERIFY2(s.w, s.name);
        QCOMPARE(s.w->objectName(), QString::fromUtf8(s.name));
        const QRect r = s.twips;
        QCOMPARE(s.w->geometry(), QRect(r.x() / 15, r.y() / 15, r.width() / 15, r.height() / 15));
        QCOMPARE(s.w->font().family(), QStringLiteral("Arial"));
        QVERIFY(s.w->font().bold());
        if (auto *k = qobject_cast<QPushButton *>(s.w)) {
            QCOMPARE(k->text(), s.text);
            QCOMPARE(k->font().pointSizeF(), 9.75);
        } else if (auto *l = qobject_cast<QLabel *>(s.w)) {
            QCOMPARE(l->text(), s.text);
            QCOMPARE(l->font().pointSizeF(), 12.0);
            QCOMPARE(l->palette().color(QPalette::WindowText), dunkelblau);
        } else if (auto *f = qobject_cast<QLineEdit *>(s.w)) {
            QCOMPARE(f->text(), s.text);
            QCOMPARE(f->font().pointSizeF(), 12.0);
            QCOMPARE(f->palette().color(QPalette::Text), dunkelblau);
            QVERIFY(f->alignment() & Qt::AlignHCenter);
        }
    }
    QVERIFY(d->LabelFrequenz->alignment() & Qt::AlignRight);

    // The drawing: thirteen lines and the carriage, taking no input.
    for (int i = 1; i <= 13; ++i) {
        auto *linie = d->findChild<Linie *>(QStringLiteral("Line%1").arg(i));
        QVERIFY2(linie, qPrintable(QStringLiteral("Line%1").arg(i)));
        QVERIFY(linie->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
    QCOMPARE(d->Line1->von(), QPoint(1305 / 15, 585 / 15));
    QCOMPARE(d->Line1->bis(), QPoint(4995 / 15, 585 / 15));
    QVERIFY(d->Shape1);
    QCOMPARE(d->Shape1->objectName(), QStringLiteral("Shape1"));
    QCOMPARE(d->Shape1->geometry(), QRect(3105 / 15, 180 / 15, 285 / 15, 420 / 15));

    QCOMPARE(d->focusWidget(), d->CommandOK);
    const QList<QWidget *> kette{d->CommandOK, d->CommandReferenzLinks, d->CommandReferenzRechts,
                                 d->TextFrequenz};
    for (int i = 0; i < kette.size(); ++i)
        QCOMPARE(naechsterTabhalt(kette[i]), kette[(i + 1) % kette.size()]);

    QTest::qWait(30);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());
    QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QVERIFY(u.fenster->isEnabled());
    QCOMPARE(u.mitschnitt->anzahl(), 0);
}

void TestReferenzfahrt::start_data() {
    QTest::addColumn<bool>("rechts");
    QTest::addColumn<int>("taste");
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QByteArray>("erwartet"); // empty: refused
    QTest::addColumn<QString>("meldung");

    const int links = int(Qt::LeftButton);
    const int rechteTaste = int(Qt::RightButton);
    const QString keine;
    QTest::newRow("<< 200") << false << links << "200" << bytes({6, 3, 1}) << keine;
    QTest::newRow(">> 200") << true << links << "200" << bytes({6, 3, 2}) << keine;
    QTest::newRow("<< rechte Taste") << false << rechteTaste << "200" << bytes({6, 3, 1}) << keine;
    QTest::newRow("100") << false << links << "100" << bytes({6, 1, 1}) << keine;
    QTest::newRow("600") << true << links << "600" << bytes({6, 11, 2}) << keine;
    QTest::newRow("125") << false << links << "125" << bytes({6, 2, 1}) << keine;
    QTest::newRow("175") << false << links << "175" << bytes({6, 2, 1}) << keine;
    QTest::newRow("225") << false << links << "225" << bytes({6, 4, 1}) << keine;
    QTest::newRow("99.5") << false << links << "99.5" << QByteArray()
                          << Handmeldung::ReferenzZuNiedrig;
    QTest::newRow("600.5") << true << links << "600.5" << QByteArray()
                           << Handmeldung::ReferenzZuHoch;
    QTest::newRow("keine Zahl") << true << links << "schnell" << QByteArray()
                                << Handmeldung::FrequenzKeineZahl;
    QTest::newRow("leer") << false << rechteTaste << "" << QByteArray()
                          << Handmeldung::FrequenzKeineZahl;
}

void TestReferenzfahrt::start() {
    QFETCH(bool, rechts);
    QFETCH(int, taste);
    QFETCH(QString, frequenz);
    QFETCH(QByteArray, erwartet);
    QFETCH(QString, meldung);
    const auto maustaste = Qt::MouseButton(taste);

    Umgebung u;
    FormReferenzfahrt *d = u.oeffnen();
    QVERIFY(d);
    QPushButton *knopf = rechts ? d->CommandReferenzRechts : d->CommandReferenzLinks;
    QPushButton *anderer = rechts ? d->CommandReferenzLinks : d->CommandReferenzRechts;
    d->TextFrequenz->setText(frequenz);

    QTest::mousePress(knopf, maustaste);
    if (erwartet.isEmpty()) {
        QTRY_COMPARE(u.nachrichten.anzahl(), 1);
        QCOMPARE(u.nachrichten.nachrichten()[0].titel, QStringLiteral("Eingabefehler"));
        QCOMPARE(u.nachrichten.letzterText(), meldung);
        QTest::mouseRelease(knopf, maustaste);
        QTest::qWait(30);
        QCOMPARE(u.pty.lesen(0, 10), QByteArray());
        QCOMPARE(u.mitschnitt->anzahl(), 0);
        QCOMPARE(d->TextFrequenz->text(), frequenz);
        QTest::mouseClick(d->CommandOK, Qt::LeftButton);
        return;
    }

    // Start: three bytes with no pause, then nothing while the button is held.
    QCOMPARE(u.pty.lesen(3), erwartet);
    QCOMPARE(u.mitschnitt->bytes(), erwartet);
    QTest::qWait(30);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());

    // Release: five stop bytes with both buttons disabled until half a second after the last.
    Freigabeuhr uhr(knopf);
    QList<bool> freiWaehrendDesStopps;
    QTimer abtaster;
    abtaster.setInterval(20);
    QObject::connect(&abtaster, &QTimer::timeout, [&] {
        freiWaehrendDesStopps << (knopf->isEnabled() || anderer->isEnabled());
    });
    abtaster.start();
    u.mitschnitt->leeren();
    QTest::mouseRelease(knopf, maustaste);
    abtaster.stop();
    QCOMPARE(u.pty.lesen(5), Stopp);
    QCOMPARE(u.mitschnitt->bytes(), Stopp);
    for (int i = 0; i < 4; ++i)
        QVERIFY(u.mitschnitt->abstand(i) >= 0.0001);
    QVERIFY(!freiWaehrendDesStopps.isEmpty());
    QVERIFY(!freiWaehrendDesStopps.contains(true));
    QVERIFY(uhr.gesperrt > 0 && uhr.gesperrt <= u.mitschnitt->zeit(0));
    QVERIFY(uhr.freigegeben - u.mitschnitt->zeit(4) >= 0.5);
    QVERIFY(knopf->isEnabled());
    QVERIFY(anderer->isEnabled());

    // Again, from the other button.
    u.mitschnitt->leeren();
    QTest::mousePress(anderer, Qt::LeftButton);
    QTest::mouseRelease(anderer, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(8), bytes({6, erwartet[1], rechts ? 1 : 2}) + Stopp);
    QCOMPARE(u.nachrichten.anzahl(), 0);
    QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QCOMPARE(u.pty.lesen(0, 20), QByteArray());
}

void TestReferenzfahrt::jedesOeffnenZeigt200() {
    Umgebung u;
    FormReferenzfahrt *d = u.oeffnen();
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text(), QStringLiteral("200"));
    d->TextFrequenz->setText(QStringLiteral("450"));
    QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    QTRY_VERIFY(!u.fenster->offenerDialog());
    d = u.oeffnen();
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text(), QStringLiteral("200"));
    QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    QCOMPARE(u.mitschnitt->anzahl(), 0);
}

void TestReferenzfahrt::verlassenWaehrendDesStopps() {
    Umgebung u;
    FormReferenzfahrt *d = u.oeffnen();
    QVERIFY(d);
    QPointer<FormReferenzfahrt> beobachter(d);
    QTest::mousePress(d->CommandReferenzLinks, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(3), bytes({6, 3, 1}));
    // "Zurück" during the half-second pause: the stop bytes are all out, the port closes at
    // once and nothing is written into it after that.
    bool warOffen = false;
    QTimer::singleShot(100, u.fenster.get(), [&] {
        warOffen = u.fenster->MSComm1->istOffen();
        d->CommandOK->click();
    });
    QTest::mouseRelease(d->CommandReferenzLinks, Qt::LeftButton);
    QVERIFY(warOffen);
    QCOMPARE(u.pty.lesen(5), Stopp);
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QTest::qWait(30);
    QCOMPARE(u.mitschnitt->bytes(), bytes({6, 3, 1}) + Stopp);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());
    QCOMPARE(u.nachrichten.anzahl(), 0);
}

void TestReferenzfahrt::schliessfeldWieZurueck() {
    Umgebung u;
    FormReferenzfahrt *d = u.oeffnen();
    QVERIFY(d);
    QPointer<FormReferenzfahrt> beobachter(d);
    d->close();
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QVERIFY(u.fenster->isEnabled());
    QTRY_VERIFY(!beobachter);
    QCOMPARE(u.mitschnitt->anzahl(), 0);
}

void TestReferenzfahrt::haltVerloren_data() {
    QTest::addColumn<QString>("wie");
    QTest::newRow("Fenster deaktiviert") << "deaktivieren";
    QTest::newRow("Schliessfeld") << "schliessen";
    QTest::newRow("Fenster versteckt") << "verstecken";
}

void TestReferenzfahrt::haltVerloren() {
    QFETCH(QString, wie);
    Umgebung u;
    FormReferenzfahrt *d = u.oeffnen();
    QVERIFY(d);
    QPointer<FormReferenzfahrt> beobachter(d);
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));

    QTest::mousePress(d->CommandReferenzRechts, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(3), bytes({6, 3, 2}));
    QWidget anderes;
    if (wie == QLatin1String("deaktivieren")) {
        anderes.show();
        anderes.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&anderes));
    } else if (wie == QLatin1String("schliessen")) {
        d->close();
    } else {
        d->hide();
    }
    // The stop sequence goes out as on a release.
    QCOMPARE(u.pty.lesen(5), Stopp);
    if (wie == QLatin1String("schliessen")) {
        QTRY_VERIFY(!beobachter);
        QVERIFY(!u.fenster->MSComm1->istOffen());
        QVERIFY(u.fenster->isEnabled());
    } else {
        QTRY_VERIFY(d->CommandReferenzRechts->isEnabled());
        // A release that comes after all sends nothing more.
        QTest::mouseRelease(d->CommandReferenzRechts, Qt::LeftButton);
        QTest::qWait(50);
        QCOMPARE(u.pty.lesen(0, 10), QByteArray());
        QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    }
    QCOMPARE(u.mitschnitt->bytes(), bytes({6, 3, 2}) + Stopp);
    QCOMPARE(u.nachrichten.anzahl(), 0);
}

void TestReferenzfahrt::portFehltBeimLaden() {
    Umgebung u;
    QVERIFY(u.fenster->MSComm1->setPortnummer(32000));
    FormReferenzfahrt *d = u.oeffnen();
    QVERIFY(d);
    QPointer<FormReferenzfahrt> beobachter(d);
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.nachrichten.nachrichten()[0].titel, QStringLiteral("Zelkor_V2"));

    QTest::mousePress(d->CommandReferenzLinks, Qt::LeftButton);
    QTest::mouseRelease(d->CommandReferenzLinks, Qt::LeftButton);
    QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QTest::qWait(30);
    QCOMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.mitschnitt->anzahl(), 0);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());
}

void TestReferenzfahrt::geraetVerschwindetWaehrendDesStopps() {
    Umgebung u;
    FormReferenzfahrt *d = u.oeffnen();
    QVERIFY(d);
    QPointer<FormReferenzfahrt> beobachter(d);
    QTest::mousePress(d->CommandReferenzLinks, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(3), bytes({6, 3, 1}));
    QTimer::singleShot(100, u.fenster.get(), [&] { u.pty.masterSchliessen(); });
    QTest::mouseRelease(d->CommandReferenzLinks, Qt::LeftButton);
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QVERIFY(d->CommandReferenzLinks->isEnabled());
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QTest::qWait(30);
    QCOMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.mitschnitt->bytes(), bytes({6, 3, 1}) + Stopp);
}

QTEST_MAIN(TestReferenzfahrt)
#include "tst_referenzfahrt.moc"
