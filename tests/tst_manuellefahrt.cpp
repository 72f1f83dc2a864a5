// Manual travel on the real main window and dialog, with a pseudo-terminal as the controller:
// the bytes of a rapid travel and their pauses, the single step's wait for the controller and
// its bound, one command at a time, leaving in the middle of a command, the stop when a held
// button loses the mouse, and the file that keeps the two fields.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "dialogs/ManuelleFahrt.h"
#include "files/Kleindateien.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Opens the dialog and takes its byte 2 (manual mode on) off the line and the trace.
ManuelleFahrt *bereit(Fensterumgebung &u) {
    auto *d = u.oeffnen<ManuelleFahrt>(u.w().Manuell);
    if (!d || u.pty.lesen(1) != Bytes({2}))
        return nullptr;
    u.mitschnitt->leeren();
    return d;
}

} // namespace

class TestManuelleFahrt : public QObject {
    Q_OBJECT
private slots:
    void fensterUndZurueck();
    void eilgang_data();
    void eilgang();
    void einzelschritt_data();
    void einzelschritt();
    void einzelschrittOhneAntwort();
    void rechteTasteSendetKeinenStart();
    void einBefehlZurZeit();
    void verlassenWaehrendEinesBefehls_data();
    void verlassenWaehrendEinesBefehls();
    void haltVerloren_data();
    void haltVerloren();
    void hauptfensterGehtMitOffenemDialog();
    void dateiRundreise();
    void dateiNichtSchreibbar();
};

void TestManuelleFahrt::fensterUndZurueck() {
    Fensterumgebung u;
    auto *d = u.oeffnen<ManuelleFahrt>(u.w().Manuell);
    QVERIFY(d);
    QVERIFY(d->isVisible() && !d->isModal());
    QVERIFY(!u.w().isEnabled());
    QCOMPARE(d->windowTitle(), "Orbalt-Werk" + QString(82, QLatin1Char(' ')) + "Manuelle Fahrt");
    QCOMPARE(d->size(), QSize(512, 283));
    QCOMPARE(d->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(Gestaltabweichungen(d, {{"LabelEinzelschritt", "Einzelschritt", {2790, 90, 1680, 330}},
                                     {"Label2Hz", "5 mal 2 Hz, dann 30 Hz", {630, 630, 2580, 330}},
                                     {"CommandLinksEinzel", "<", {3465, 585, 1860, 420}},
                                     {"CommandRechtsEinzel", ">", {5580, 585, 1860, 420}},
                                     {"LabelEilgang", "Eilgang", {2790, 1260, 1680, 330}},
                                     {"LabelFrequenz", "Frequenz:", {90, 1800, 1410, 330}},
                                     {"TextFrequenz", "1000", {1620, 1755, 1185, 420}},
                                     {"LabelEinheitFrequenz", "Hz", {2880, 1800, 465, 330}},
                                     {"LabelSchritte", "Schritte:", {90, 2340, 1410, 330}},
                                     {"TextSchritte", "1000", {1620, 2295, 1185, 420}},
                                     {"CommandEilLinks", "<<", {3465, 2025, 1860, 420}},
                                     {"CommandEilRechts", ">>", {5535, 2025, 1860, 420}},
                                     {"Label1", "Beenden", {630, 3240, 2580, 330}},
                                     {"CommandZurück", "Zurück", {3465, 3150, 3930, 420}}}),
             QStringList());
    QVERIFY(d->LabelEinzelschritt->font().underline() && d->LabelEilgang->font().underline());
    QVERIFY(!d->Label2Hz->font().underline());
    QVERIFY(d->LabelFrequenz->alignment() & d->LabelSchritte->alignment() & Qt::AlignRight);
    QCOMPARE(d->focusWidget(), d->CommandLinksEinzel);
    QCOMPARE(Tababweichungen({d->CommandLinksEinzel, d->CommandRechtsEinzel, d->CommandZurück,
                              d->CommandEilRechts, d->CommandEilLinks, d->TextFrequenz,
                              d->TextSchritte}),
             QStringList());

    // Opening puts the controller into manual mode and keeps the port open; "Zurück" leaves it.
    QCOMPARE(u.pty.lesen(1), Bytes({2}));
    QVERIFY(u.w().MSComm1->istOffen());
    QCOMPARE(u.nachlauf(), QByteArray());
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), Bytes({0}));
    QVERIFY(u.dialogBeendet());
    QCOMPARE(u.mitschnitt->bytes(), Bytes({2, 0}));
    QCOMPARE(u.meldungen(), QStringList());
}

void TestManuelleFahrt::eilgang_data() {
    QTest::addColumn<bool>("rechts");
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<QByteArray>("erwartet"); // empty: refused with the message
    QTest::addColumn<QString>("meldung");
    const auto gesendet = [](const char *fall, bool rechts, const char *frequenz,
                             const char *schritte, const QByteArray &bytes) {
        QTest::newRow(fall) << rechts << QString(frequenz) << QString(schritte) << bytes
                            << QString();
    };
    const auto verweigert = [](const char *fall, const char *frequenz, const char *schritte,
                               const char *meldung) {
        QTest::newRow(fall) << true << QString(frequenz) << QString(schritte) << QByteArray()
                            << QString(meldung);
    };
    gesendet("<< 1000 Hz, 1000", false, "1000", "1000", Bytes({30, 19, 232, 3, 0}));
    gesendet(">> 70000", true, "1000", "70000", Bytes({40, 19, 112, 17, 1}));
    gesendet("0 Schritte", true, "1000", "0", Bytes({40, 19, 0, 0, 0}));
    gesendet("16777215 Schritte", false, "1000", "16777215", Bytes({30, 19, 255, 255, 255}));
    gesendet("276 Hz", false, "276", "1000", Bytes({30, 5, 232, 3, 0}));
    gesendet("325 Hz", false, "325", "1000", Bytes({30, 6, 232, 3, 0}));
    gesendet("375 Hz", false, "375", "1000", Bytes({30, 6, 232, 3, 0}));
    gesendet("12000 Hz", true, "12000", "1000", Bytes({40, 239, 232, 3, 0}));
    gesendet("12024 Hz", true, "12024", "1000", Bytes({40, 239, 232, 3, 0}));
    verweigert("275 Hz", "275", "1000", "Frequenz muß mindestens 300 Hz betragen!");
    verweigert("12025 Hz", "12025", "1000", "Frequenz muß kleiner als 12001 Hz sein!");
    verweigert("Frequenz keine Zahl", "abc", "1000", "Frequenz muß eine Zahl sein!");
    verweigert("16777216 Schritte", "1000", "16777216",
               "Schrittzahl muß zwischen 0 und 16777215 liegen!");
    verweigert("Schritte keine Zahl", "1000", "zehn", "Schrittzahl muß eine ganze Zahl sein!");
}

void TestManuelleFahrt::eilgang() {
    QFETCH(bool, rechts);
    QFETCH(QString, frequenz);
    QFETCH(QString, schritte);
    QFETCH(QByteArray, erwartet);
    QFETCH(QString, meldung);
    Fensterumgebung u;
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    d->TextFrequenz->setText(frequenz);
    d->TextSchritte->setText(schritte);
    QTest::mouseClick(rechts ? d->CommandEilRechts : d->CommandEilLinks, Qt::LeftButton);
    if (erwartet.isEmpty()) {
        QTRY_COMPARE(u.meldungen(), QStringList("Zelkor_V2: " + meldung));
        QCOMPARE(u.nachlauf(), QByteArray());
        QCOMPARE(u.mitschnitt->anzahl(), 0);
        return;
    }
    QCOMPARE(u.pty.lesen(5), erwartet);
    QCOMPARE(u.mitschnitt->bytes(), erwartet);
    // 1 ms after the direction byte and after the frequency code, 1 ms before each step byte:
    // two pauses in a row before the low byte.
    const double mindestens[] = {0.001, 0.002, 0.001, 0.001};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(u.mitschnitt->abstand(i) >= mindestens[i], qPrintable(QString::number(i)));
    QCOMPARE(u.meldungen(), QStringList());
}

void TestManuelleFahrt::einzelschritt_data() {
    QTest::addColumn<bool>("rechts");
    QTest::newRow("<") << false;
    QTest::newRow(">") << true;
}

void TestManuelleFahrt::einzelschritt() {
    QFETCH(bool, rechts);
    Fensterumgebung u;
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    QPushButton *knopf = rechts ? d->CommandRechtsEinzel : d->CommandLinksEinzel;
    const QByteArray schritt = Bytes({rechts ? 20 : 10});
    QTest::mousePress(knopf, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), schritt);
    QCOMPARE(u.nachlauf(50), QByteArray()); // nothing more while the button is held

    // The release waits for the controller's character, then stops.
    double geantwortet = 0;
    QTimer::singleShot(100, u.fenster.get(), [&] {
        geantwortet = MsTimer::Uhr();
        u.pty.schreiben("x");
    });
    QTest::mouseRelease(knopf, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), Bytes({255}));
    QCOMPARE(u.mitschnitt->bytes(), schritt + Bytes({255}));
    QVERIFY(geantwortet > 0 && u.mitschnitt->zeit(1) >= geantwortet);
    QCOMPARE(u.meldungen(), QStringList());
}

void TestManuelleFahrt::einzelschrittOhneAntwort() {
    Fensterumgebung u;
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), Bytes({10}));
    const double losgelassen = MsTimer::Uhr();
    QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    // The controller never answers: the wait ends after its bound, the stop goes out anyway and
    // the operator is told.
    QCOMPARE(u.pty.lesen(1), Bytes({255}));
    QVERIFY(u.mitschnitt->zeit(1) - losgelassen >= ManuelleFahrt::Antwortfrist);
    QTRY_COMPARE(u.meldungen(),
                 QStringList("Zelkor_V2: Die Steuerung hat auf den Einzelschritt nicht "
                             "geantwortet.\nDer Stopp wurde trotzdem gesendet."));
    // The dialog goes on.
    QTest::mouseClick(d->CommandEilLinks, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(5), Bytes({30, 19, 232, 3, 0}));
}

void TestManuelleFahrt::rechteTasteSendetKeinenStart() {
    Fensterumgebung u;
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    QTest::mousePress(d->CommandLinksEinzel, Qt::RightButton);
    QCOMPARE(u.nachlauf(50), QByteArray());
    QCOMPARE(u.mitschnitt->anzahl(), 0);
    // Its release ends as every release does: after the controller's character, the stop.
    u.antwortNach(30);
    QTest::mouseRelease(d->CommandLinksEinzel, Qt::RightButton);
    QCOMPARE(u.pty.lesen(1), Bytes({255}));
    QCOMPARE(u.mitschnitt->bytes(), Bytes({255}));
    QCOMPARE(u.meldungen(), QStringList());
}

void TestManuelleFahrt::einBefehlZurZeit() {
    Fensterumgebung u;
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    // While a single step runs, and while its release waits for the controller, rapid travel
    // sends nothing.
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    d->CommandEilRechts->click();
    int geklickt = 0;
    QTimer::singleShot(20, u.fenster.get(), [&] {
        d->CommandEilLinks->click();
        ++geklickt;
    });
    u.antwortNach(80);
    QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(geklickt, 1);
    QCOMPARE(u.pty.lesen(2), Bytes({10, 255}));

    // While a rapid travel is being sent, a single-step press sends nothing and its release
    // needs no stop.
    QTimer::singleShot(0, u.fenster.get(), [&] {
        QTest::mousePress(d->CommandRechtsEinzel, Qt::LeftButton);
        ++geklickt;
    });
    QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
    QCOMPARE(geklickt, 2);
    QTest::mouseRelease(d->CommandRechtsEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(5), Bytes({40, 19, 232, 3, 0}));
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), Bytes({10, 255, 40, 19, 232, 3, 0}));
    QCOMPARE(u.meldungen(), QStringList());
}

void TestManuelleFahrt::verlassenWaehrendEinesBefehls_data() {
    QTest::addColumn<bool>("eilgang");
    QTest::addColumn<QByteArray>("erwartet");
    QTest::newRow("Warten auf die Antwort") << false << Bytes({10, 255, 0});
    QTest::newRow("Eilgang") << true << Bytes({40, 19, 232, 3, 0, 0});
}

void TestManuelleFahrt::verlassenWaehrendEinesBefehls() {
    QFETCH(bool, eilgang);
    QFETCH(QByteArray, erwartet);
    Fensterumgebung u;
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    // "Zurück" in the middle: the command ends whole (a wait at once, with its stop), then
    // byte 0 goes out, the port closes and nothing is written after that.
    QTimer::singleShot(eilgang ? 0 : 50, u.fenster.get(), [&] { d->CommandZurück->click(); });
    if (eilgang) {
        QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
    } else {
        QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
        QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    }
    QCOMPARE(u.pty.lesen(int(erwartet.size())), erwartet);
    QVERIFY(u.dialogBeendet());
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), erwartet);
    QCOMPARE(u.meldungen(), QStringList());
}

void TestManuelleFahrt::haltVerloren_data() {
    HaltVerlorenZeilen();
}

void TestManuelleFahrt::haltVerloren() {
    QFETCH(QString, wie);
    Fensterumgebung u;
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), Bytes({10}));
    u.antwortNach(50);
    QVERIFY(u.haltWegnehmen(d, wie));
    // The stop goes out as on a release, after the controller's character; the close box then
    // leaves as "Zurück" does. A release that comes after all sends nothing more.
    const QByteArray erwartet = wie == "schliessen" ? Bytes({10, 255, 0}) : Bytes({10, 255});
    QCOMPARE(u.pty.lesen(int(erwartet.size()) - 1), erwartet.mid(1));
    if (wie == "schliessen")
        QVERIFY(u.dialogBeendet());
    else
        QTest::mouseRelease(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.nachlauf(50), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), erwartet);
    QCOMPARE(u.meldungen(), QStringList());
}

void TestManuelleFahrt::hauptfensterGehtMitOffenemDialog() {
    Fensterumgebung u;
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    QPointer<ManuelleFahrt> beobachter(d);
    QTest::mousePress(d->CommandLinksEinzel, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), Bytes({10}));
    // The main window takes the dialog with it: the step is stopped and manual mode left
    // without waiting.
    u.mitschnitt.reset();
    u.fenster.reset();
    QVERIFY(!beobachter);
    QCOMPARE(u.pty.lesen(2), Bytes({255, 0}));
}

void TestManuelleFahrt::dateiRundreise() {
    // Without manuell.txt both fields show 1000; leaving (here by the close box) stores them.
    Fensterumgebung u;
    const QString pfad = Dateizugriff::ManuellDateipfad();
    QVERIFY(!QFile::exists(pfad));
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text() + "/" + d->TextSchritte->text(), QString("1000/1000"));
    d->TextFrequenz->setText("2500");
    d->TextSchritte->setText("12 Schritte");
    d->close();
    QCOMPARE(u.pty.lesen(1), Bytes({0}));
    QCOMPARE(DateiInhalt(pfad), QByteArray("\"2500\"\r\n\"12 Schritte\"\r\n"));
    QVERIFY(u.dialogBeendet());
    d = u.oeffnen<ManuelleFahrt>(u.w().Manuell);
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text() + "/" + d->TextSchritte->text(), QString("2500/12 Schritte"));
    QCOMPARE(u.meldungen(), QStringList());
}

void TestManuelleFahrt::dateiNichtSchreibbar() {
    // A directory where the file should be: leaving still sends 0 and closes the port, and the
    // operator learns that the values were not stored.
    Fensterumgebung u;
    QVERIFY(QDir().mkpath(Dateizugriff::ManuellDateipfad()));
    ManuelleFahrt *d = bereit(u);
    QVERIFY(d);
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(1), Bytes({0}));
    QVERIFY(u.dialogBeendet());
    QCOMPARE(u.nachrichten.anzahl(), 1);
    QVERIFY2(u.meldungen()[0].startsWith("Zelkor_V2: ") && u.meldungen()[0].contains("manuell.txt"),
             qPrintable(u.meldungen()[0]));
}

QTEST_MAIN(TestManuelleFahrt)
#include "tst_manuellefahrt.moc"
