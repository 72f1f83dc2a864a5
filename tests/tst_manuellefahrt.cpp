// Manual travel on the real main window and dialog, with a pseudo-terminal as the controller:
// the bytes on the line, their pauses, the single-step handshake and its bound, one command
// at a time, leaving in the middle of a command, the stops when a held button loses the mouse,
// the manual travel file and a port that does not open.
#include "Mitschnitt.h"
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/PCSteuerung.h"
#include "dialogs/Handbefehle.h"
#include "dialogs/ManuelleFahrt.h"
#include "files/Kleindateien.h"
#include "files/Programmverzeichnis.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Globale.h"

#include <QAction>
#include <QDir>
#include <QFile>
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

// The next control that the tab key reaches.
QWidget *naechsterTabhalt(QWidget *w) {
    QWidget *n = w->nextInFocusChain();
    while (n != w && !(n->focusPolicy() & Qt::TabFocus))
        n = n->nextInFocusChain();
    return n;
}

QByteArray leseDatei(const QString &pfad) {
    QFile datei(pfad);
    return datei.open(QIODevice::ReadOnly) ? datei.readAll() : QByteArray();
}

void schreibeDatei(const QString &pfad, const QByteArray &inhalt) {
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.write(inhalt);
}

// The controller's port, the real main window after its start-up, and a trace of the line.
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

    ManuelleFahrt *oeffnen() {
        fenster->Manuell->trigger();
        return qobject_cast<ManuelleFahrt *>(fenster->offenerDialog());
    }

    // Opens the dialog and takes its byte 2 off the line.
    ManuelleFahrt *oeffnenBereit() {
        ManuelleFahrt *d = oeffnen();
        if (d && pty.lesen(1) == bytes({2}))
            mitschnitt->leeren();
        else
            d = nullptr;
        return d;
    }

    // The controller answers after the given time.
    void antwortNach(int ms) {
        QTimer::singleShot(ms, fenster.get(), [this] { pty.schreiben("x"); });
    }
};

} // namespace

class TestManuelleFahrt : public QObject {
    Q_OBJECT
private slots:
    void fensterAufbau();
    void ladenUndZurueck();
    void eilgang_data();
    void eilgang();
    void einzelschrittMitAntwort_data();
    void einzelschrittMitAntwort();
    void einzelschrittOhneAntwort();
    void rechteTasteSendetKeinenStart();
    void einBefehlZurZeit();
    void verlassenWaehrendDesWartens();
    void verlassenWaehrendDesEilgangs();
    void schliessfeldWieZurueck();
    void haltVerloren_data();
    void haltVerloren();
    void dateiRundreise();
    void dateiMitZuWenigFeldern();
    void dateiNichtSchreibbar();
    void portFehltBeimLaden();
    void geraetVerschwindet_data();
    void geraetVerschwindet();
    void hauptfensterGehtMitOffenemDialog();
};

void TestManuelleFahrt::fensterAufbau() {
    Umgebung u;
    ManuelleFahrt *d = u.oeffnen();
    QVERIFY(d);
    QVERIFY(d->isVisible());
    QVERIFY(!d->isModal());
    QVERIFY(!u.fenster->isEnabled());
    QVERIFY(u.fenster->isVisible());
    QCOMPARE(d->objectName(), QStringLiteral("ManuelleFahrt"));
    QCOMPARE(d->windowTitle(), QStringLiteral("Orbalt-Werk") + QString(82, QLatin1Char(' ')) +
                                   QStringLiteral("Manuelle Fahrt"));
    QCOMPARE(d->size(), QSize(512, 283));
    QCOMPARE(d->palette().color(QPalette::Window), QColor(Qt::white));

    struct Soll {
        QWidget *w;
        const char *name;
        QString text;
        QRect twips;
    };
    const QList<Soll> soll{
        {d->LabelEinzelschritt, "LabelEinzelschritt", "Einzelschritt", {2790, 90, 1680, 330}},
        {d->Label2Hz, "Label2Hz", "5 mal 2 Hz, dann 30 Hz", {630, 630, 2580, 330}},
        {d->CommandLinksEinzel, "CommandLinksEinzel", "<", {3465, 585, 1860, 420}},
        {d->CommandRechtsEinzel, "CommandRechtsEinzel", ">", {5580, 585, 1860, 420}},
        {d->LabelEilgang, "LabelEilgang", "Eilgang", {2790, 1260, 1680, 330}},
        {d->LabelFrequenz, "LabelFrequenz", "Frequenz:", {90, 1800, 1410, 330}},
        {d->TextFrequenz, "TextFrequenz", "1000", {1620, 1755, 1185, 420}},
        {d->LabelEinheitFrequenz, "LabelEinheitFrequenz", "Hz", {2880, 1800, 465, 330}},
        {d->LabelSchritte, "LabelSchritte", "Schritte:", {90, 2340, 1410, 330}},
        {d->TextSchritte, "TextSchritte", "1000", {1620, 2295, 1185, 420}},
        {d->CommandEilLinks, "CommandEilLinks", "<<", {3465, 2025, 1860, 420}},
        {d->CommandEilRechts, "CommandEilRechts", ">>", {5535, 2025, 1860, 420}},
        {d->Label1, "Label1", "Beenden", {630, 3240, 2580, 330}},
        {d->CommandZurück, "CommandZurück", "Zurück", {3465, 3150, 3930, 420}},
    };
    const QColor dunkelblau(0, 0, 128);
    for (const Soll &s : soll) {
        QVERIFY2(s.w, s.name);
        QCOMPARE(s.w->objectName(), QString::fromUtf8(s.name));
        QCOMPARE(s.w->parentWidget(), d);
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
    QVERIFY(d->LabelEinzelschritt->font().underline());
    QVERIFY(d->LabelEilgang->font().underline());
    QVERIFY(!d->Label2Hz->font().underline());
    QVERIFY(d->LabelFrequenz->alignment() & Qt::AlignRight);
    QVERIFY(d->LabelSchritte->alignment() & Qt::AlignRight);

    // Tab order of the controls that take the focus, starting with "<".
    QCOMPARE(d->focusWidget(), d->CommandLinksEinzel);
    const QList<QWidget *> kette{d->CommandLinksEinzel, d->CommandRechtsEinzel, d->CommandZurück,
                                 d->CommandEilRechts,   d->CommandEilLinks,     d->TextFrequenz,
                                 d->TextSchritte};
    for (int i = 0; i + 1 < kette.size(); ++i)
        QCOMPARE(naechsterTabhalt(kette[i]), kette[i + 1]);
    QCOMPARE(naechsterTabhalt(kette.last()), kette.first());

    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
}

void TestManuelleFahrt::ladenUndZurueck() {
    Umgebung u;
    ManuelleFahrt *d = u.oeffnen();
    QVERIFY(d);
    QPointer<ManuelleFahrt> beobachter(d);
    // Opening puts the controller into manual mode and keeps the port open.
    QCOMPARE(u.pty.lesen(1), bytes({2}));
    QVERIFY(u.fenster->MSComm1->istOffen());
    QTest::qWait(30);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());

    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({0}));
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QVERIFY(u.fenster->isEnabled());
    QTRY_VERIFY(!beobachter);
    QVERIFY(!u.fenster->offenerDialog());
    QCOMPARE(u.mitschnitt->bytes(), bytes({2, 0}));
    QCOMPARE(u.nachrichten.anzahl(), 0);
}

void TestManuelleFahrt::eilgang_data() {
    QTest::addColumn<bool>("rechts");
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<QByteArray>("erwartet"); // empty: refused
    QTest::addColumn<QString>("meldung");

    const QString keine;
    QTest::newRow("links 1000 Hz 1000") << false << "1000"
                                        << "1000" << bytes({30, 19, 232, 3, 0}) << keine;
    QTest::newRow("rechts 70000") << true << "1000"
                                  << "70000" << bytes({40, 19, 112, 17, 1}) << keine;
    QTest::newRow("0 Schritte") << true << "1000"
                                << "0" << bytes({40, 19, 0, 0, 0}) << keine;
    QTest::newRow("16777215 Schritte") << false << "1000"
                                       << "16777215" << bytes({30, 19, 255, 255, 255}) << keine;
    QTest::newRow("275 Hz") << false << "275"
                            << "1000" << QByteArray() << Handmeldung::FrequenzZuKlein;
    QTest::newRow("276 Hz") << false << "276"
                            << "1000" << bytes({30, 5, 232, 3, 0}) << keine;
    QTest::newRow("300 Hz") << false << "300"
                            << "1000" << bytes({30, 5, 232, 3, 0}) << keine;
    QTest::newRow("325 Hz") << false << "325"
                            << "1000" << bytes({30, 6, 232, 3, 0}) << keine;
    QTest::newRow("375 Hz") << false << "375"
                            << "1000" << bytes({30, 6, 232, 3, 0}) << keine;
    QTest::newRow("12000 Hz") << true << "12000"
                              << "1000" << bytes({40, 239, 232, 3, 0}) << keine;
    QTest::newRow("12024 Hz") << true << "12024"
                              << "1000" << bytes({40, 239, 232, 3, 0}) << keine;
    QTest::newRow("12025 Hz") << true << "12025"
                              << "1000" << QByteArray() << Handmeldung::FrequenzZuGross;
    QTest::newRow("0 Hz") << true << "0"
                          << "1000" << QByteArray() << Handmeldung::FrequenzZuKlein;
    QTest::newRow("negativ") << true << "-5000"
                             << "1000" << QByteArray() << Handmeldung::FrequenzZuKlein;
    QTest::newRow("2 MHz, Code jenseits 16 Bit")
        << true << "2000000"
        << "1000" << QByteArray() << Handmeldung::FrequenzZuGross;
    QTest::newRow("Frequenz keine Zahl")
        << true << "abc"
        << "1000" << QByteArray() << Handmeldung::FrequenzKeineZahl;
    QTest::newRow("Frequenz leer") << true << ""
                                   << "1000" << QByteArray() << Handmeldung::FrequenzKeineZahl;
    QTest::newRow("16777216 Schritte")
        << false << "1000"
        << "16777216" << QByteArray() << Handmeldung::SchritteAusserhalb;
    QTest::newRow("negative Schritte") << false << "1000"
                                       << "-1" << QByteArray() << Handmeldung::SchritteAusserhalb;
    QTest::newRow("Schritte jenseits 32 Bit")
        << false << "1000"
        << "99999999999" << QByteArray() << Handmeldung::SchritteAusserhalb;
    QTest::newRow("Schritte keine Zahl")
        << false << "1000"
        << "zehn" << QByteArray() << Handmeldung::SchritteKeineZahl;
}

void TestManuelleFahrt::eilgang() {
    QFETCH(bool, rechts);
    QFETCH(QString, frequenz);
    QFETCH(QString, schritte);
    QFETCH(QByteArray, erwartet);
    QFETCH(QString, meldung);

    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    d->TextFrequenz->setText(frequenz);
    d->TextSchritte->setText(schritte);
    QTest::mouseClick(rechts ? d->CommandEilRechts : d->CommandEilLinks, Qt::LeftButton);

    if (erwartet.isEmpty()) {
        QTRY_COMPARE(u.nachrichten.anzahl(), 1);
        QCOMPARE(u.nachrichten.nachrichten()[0].titel, QStringLiteral("Zelkor_V2"));
        QCOMPARE(u.nachrichten.letzterText(), meldung);
        QCOMPARE(u.pty.lesen(0, 30), QByteArray());
        QCOMPARE(u.mitschnitt->anzahl(), 0);
        QCOMPARE(d->TextFrequenz->text(), frequenz);
        QCOMPARE(d->TextSchritte->text(), schritte);
    } else {
        QCOMPARE(u.pty.lesen(5), erwartet);
        QCOMPARE(u.mitschnitt->bytes(), erwartet);
        // 1 ms after the direction byte, 1 ms after the frequency code and 1 ms before each
        // step byte: two pauses in a row before the low byte.
        QVERIFY(u.mitschnitt->abstand(0) >= 0.001);
        QVERIFY(u.mitschnitt->abstand(1) >= 0.002);
        QVERIFY(u.mitschnitt->abstand(2) >= 0.001);
        QVERIFY(u.mitschnitt->abstand(3) >= 0.001);
        QCOMPARE(u.nachrichten.anzahl(), 0);
    }
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({0}));
}

void TestManuelleFahrt::einzelschrittMitAntwort_data() {
    QTest::addColumn<bool>("rechts");
    QTest::newRow("<") << false;
    QTest::newRow(">") << true;
}

void TestManuelleFahrt::einzelschrittMitAntwort() {
    QFETCH(bool, rechts);
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QPushButton *knopf = rechts ? d->CommandRechtsEinzel : d->CommandLinksEinzel;

    QTest::mousePress(knopf, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({rechts ? 20 : 10}));
    // Nothing more while the button is held.
    QTest::qWait(50);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());

    // The release waits for the controller's character, then stops.
    double geantwortet = 0;
    QTimer::singleShot(100, u.fenster.get(), [&] {
        geantwortet = MsTimer::Uhr();
        u.pty.schreiben("x");
    });
    QTest::mouseRelease(knopf, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({255}));
    QCOMPARE(u.mitschnitt->bytes(), bytes({rechts ? 20 : 10, 255}));
    QVERIFY(geantwortet > 0);
    QVERIFY(u.mitschnitt->zeit(1) >= geantwortet);
    QCOMPARE(u.nachrichten.anzahl(), 0);

    // The next step works the same way.
    QTest::mousePress(knopf, Qt::LeftButton);
    u.antwortNach(20);
    QTest::mouseRelease(knopf, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(2), bytes({rechts ? 20 : 10, 255}));
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({0}));
}

void TestManuelleFahrt::einzelschrittOhneAntwort() {
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({10}));
    const double losgelassen = MsTimer::Uhr();
    QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    // The controller never answers: the wait ends after its bound and the stop goes out.
    QCOMPARE(u.pty.lesen(1), bytes({255}));
    QVERIFY(u.mitschnitt->zeit(1) - losgelassen >= ManuelleFahrt::Antwortfrist);
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.nachrichten.nachrichten()[0].titel, QStringLiteral("Zelkor_V2"));
    QCOMPARE(u.nachrichten.letzterText(), Handmeldung::KeineAntwort);
    // The dialog goes on: rapid travel and leaving work.
    QTest::mouseClick(d->CommandEilLinks, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(5), bytes({30, 19, 232, 3, 0}));
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({0}));
    QCOMPARE(u.nachrichten.anzahl(), 1);
}

void TestManuelleFahrt::rechteTasteSendetKeinenStart() {
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    for (QPushButton *knopf : {d->CommandLinksEinzel, d->CommandRechtsEinzel}) {
        u.mitschnitt->leeren();
        QTest::mousePress(knopf, Qt::RightButton);
        QTest::qWait(50);
        QCOMPARE(u.pty.lesen(0, 10), QByteArray());
        QCOMPARE(u.mitschnitt->anzahl(), 0);
        // Its release ends as every release does: after the controller's character, the stop.
        u.antwortNach(30);
        QTest::mouseRelease(knopf, Qt::RightButton);
        QCOMPARE(u.pty.lesen(1), bytes({255}));
        QCOMPARE(u.mitschnitt->bytes(), bytes({255}));
    }
    QCOMPARE(u.nachrichten.anzahl(), 0);
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({0}));
}

void TestManuelleFahrt::einBefehlZurZeit() {
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);

    // While a single step runs, rapid travel sends nothing.
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({10}));
    d->CommandEilRechts->click();
    d->CommandEilLinks->click();
    QTest::qWait(30);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());

    // Nor while the release waits for the controller.
    int geklickt = 0;
    QTimer::singleShot(20, u.fenster.get(), [&] {
        d->CommandEilRechts->click();
        ++geklickt;
    });
    u.antwortNach(80);
    QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(geklickt, 1);
    QCOMPARE(u.pty.lesen(1), bytes({255}));
    QCOMPARE(u.mitschnitt->bytes(), bytes({10, 255}));

    // While a rapid travel is being sent, a single-step press sends nothing and its release
    // needs no stop.
    u.mitschnitt->leeren();
    QTimer::singleShot(0, u.fenster.get(), [&] {
        QTest::mousePress(d->CommandRechtsEinzel, Qt::LeftButton);
        ++geklickt;
    });
    QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
    QCOMPARE(geklickt, 2);
    QTest::mouseRelease(d->CommandRechtsEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(5), bytes({40, 19, 232, 3, 0}));
    QTest::qWait(30);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), bytes({40, 19, 232, 3, 0}));

    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({0}));
    QCOMPARE(u.nachrichten.anzahl(), 0);
}

void TestManuelleFahrt::verlassenWaehrendDesWartens() {
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QPointer<ManuelleFahrt> beobachter(d);
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({10}));
    // "Zurück" while the release waits: the wait ends, the stop and byte 0 go out, the port
    // closes, and nothing is written after that.
    QTimer::singleShot(50, u.fenster.get(), [&] { d->CommandZurück->click(); });
    QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(2), bytes({255, 0}));
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QTest::qWait(30);
    QCOMPARE(u.mitschnitt->bytes(), bytes({10, 255, 0}));
    QCOMPARE(u.nachrichten.anzahl(), 0);
}

void TestManuelleFahrt::verlassenWaehrendDesEilgangs() {
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QPointer<ManuelleFahrt> beobachter(d);
    // "Zurück" during the first pause of a rapid travel: the command ends whole, then byte 0.
    QTimer::singleShot(0, u.fenster.get(), [&] { d->CommandZurück->click(); });
    QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(6), bytes({40, 19, 232, 3, 0, 0}));
    QTRY_VERIFY(!beobachter);
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QVERIFY(u.fenster->isEnabled());
    QCOMPARE(u.mitschnitt->bytes(), bytes({40, 19, 232, 3, 0, 0}));
    QCOMPARE(u.nachrichten.anzahl(), 0);
}

void TestManuelleFahrt::schliessfeldWieZurueck() {
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QPointer<ManuelleFahrt> beobachter(d);
    d->TextSchritte->setText(QStringLiteral("4711"));
    d->close();
    QCOMPARE(u.pty.lesen(1), bytes({0}));
    QTRY_VERIFY(!beobachter);
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QVERIFY(u.fenster->isEnabled());
    QCOMPARE(leseDatei(Dateizugriff::ManuellDateipfad()), QByteArray("\"1000\"\r\n\"4711\"\r\n"));
}

void TestManuelleFahrt::haltVerloren_data() {
    QTest::addColumn<QString>("wie");
    QTest::newRow("Fenster deaktiviert") << "deaktivieren";
    QTest::newRow("Schliessfeld") << "schliessen";
    QTest::newRow("Fenster versteckt") << "verstecken";
}

void TestManuelleFahrt::haltVerloren() {
    QFETCH(QString, wie);
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QPointer<ManuelleFahrt> beobachter(d);
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));

    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({10}));
    u.antwortNach(50);
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
    // The stop goes out as on a release: after the controller's character.
    if (wie == QLatin1String("schliessen")) {
        // Then the dialog is left as by "Zurück".
        QCOMPARE(u.pty.lesen(2), bytes({255, 0}));
        QTRY_VERIFY(!beobachter);
        QVERIFY(u.fenster->isEnabled());
        QCOMPARE(u.mitschnitt->bytes(), bytes({10, 255, 0}));
        return;
    }
    QCOMPARE(u.pty.lesen(1), bytes({255}));
    // A release that comes after all sends nothing more.
    QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    QTest::qWait(50);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), bytes({10, 255}));
    QCOMPARE(u.nachrichten.anzahl(), 0);
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({0}));
}

void TestManuelleFahrt::dateiRundreise() {
    Umgebung u;
    const QString pfad = Dateizugriff::ManuellDateipfad();
    QVERIFY(!QFile::exists(pfad));
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text(), QStringLiteral("1000"));
    QCOMPARE(d->TextSchritte->text(), QStringLiteral("1000"));
    d->TextFrequenz->setText(QStringLiteral("2500"));
    d->TextSchritte->setText(QStringLiteral("12 Schritte"));
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(leseDatei(pfad), QByteArray("\"2500\"\r\n\"12 Schritte\"\r\n"));
    QTRY_VERIFY(!u.fenster->offenerDialog());

    d = u.oeffnen();
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text(), QStringLiteral("2500"));
    QCOMPARE(d->TextSchritte->text(), QStringLiteral("12 Schritte"));
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.nachrichten.anzahl(), 0);
}

void TestManuelleFahrt::dateiMitZuWenigFeldern() {
    Umgebung u;
    schreibeDatei(Dateizugriff::ManuellDateipfad(), "\"750\"\r\n");
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text(), QStringLiteral("1000"));
    QCOMPARE(d->TextSchritte->text(), QStringLiteral("1000"));
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
}

void TestManuelleFahrt::dateiNichtSchreibbar() {
    Umgebung u;
    // A directory where the file should be: the defaults are shown, leaving still sends 0
    // and closes the port, and the operator learns that the values were not stored.
    QVERIFY(QDir().mkpath(Dateizugriff::ManuellDateipfad()));
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text(), QStringLiteral("1000"));
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({0}));
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.nachrichten.nachrichten()[0].titel, QStringLiteral("Zelkor_V2"));
    QTRY_VERIFY(!u.fenster->offenerDialog());
    QVERIFY(u.fenster->isEnabled());
}

void TestManuelleFahrt::portFehltBeimLaden() {
    Umgebung u;
    // The port goes missing after start-up.
    QVERIFY(u.fenster->MSComm1->setPortnummer(32000));
    ManuelleFahrt *d = u.oeffnen();
    QVERIFY(d);
    QPointer<ManuelleFahrt> beobachter(d);
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.nachrichten.nachrichten()[0].titel, QStringLiteral("Zelkor_V2"));
    QVERIFY(!u.fenster->MSComm1->istOffen());

    // Nothing is sent and nothing more is said.
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QTest::qWait(30);
    QCOMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.mitschnitt->anzahl(), 0);
    QCOMPARE(u.pty.lesen(0, 10), QByteArray());
    QVERIFY(QFile::exists(Dateizugriff::ManuellDateipfad()));
}

void TestManuelleFahrt::geraetVerschwindet_data() {
    QTest::addColumn<bool>("waehrendDesWartens");
    QTest::newRow("Knopf gehalten") << false;
    QTest::newRow("Warten auf die Antwort") << true;
}

void TestManuelleFahrt::geraetVerschwindet() {
    QFETCH(bool, waehrendDesWartens);
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QPointer<ManuelleFahrt> beobachter(d);
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({10}));
    if (waehrendDesWartens) {
        QTimer::singleShot(50, u.fenster.get(), [&] { u.pty.masterSchliessen(); });
    } else {
        u.pty.masterSchliessen();
        QTRY_VERIFY(!u.fenster->MSComm1->istOffen());
    }
    // The link reports the lost device once; the wait ends without writing and without a
    // message of its own.
    QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.nachrichten.nachrichten()[0].titel, QStringLiteral("Zelkor_V2"));
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QTest::qWait(30);
    QCOMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.mitschnitt->bytes(), bytes({10}));
}

void TestManuelleFahrt::hauptfensterGehtMitOffenemDialog() {
    Umgebung u;
    ManuelleFahrt *d = u.oeffnenBereit();
    QVERIFY(d);
    QPointer<ManuelleFahrt> beobachter(d);
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), bytes({10}));
    // The main window takes the dialog with it: the step is stopped and manual mode left
    // without waiting.
    u.mitschnitt.reset();
    u.fenster.reset();
    QVERIFY(!beobachter);
    QCOMPARE(u.pty.lesen(2), bytes({255, 0}));
}

QTEST_MAIN(TestManuelleFahrt)
#include "tst_manuellefahrt.moc"
