// Manual travel and the reference run on the real main window and dialogs, with a
// pseudo-terminal as the controller: the bytes and their pauses, the single step's wait for
// the controller and its bound, one command at a time, leaving in the middle of a command, the
// stop when a held button loses the mouse, the reference stop that disables the buttons, and
// the file that keeps the manual travel's two fields.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/ManuelleFahrt.h"
#include "files/Kleindateien.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QString Text(const QByteArray &bytes) {
    QStringList t;
    for (int i = 0; i < bytes.size();) {
        int n = 1;
        while (i + n < bytes.size() && bytes[i + n] == bytes[i])
            ++n;
        n = n >= 3 ? n : 1;
        t << QString::number(quint8(bytes[i])) + (n > 1 ? "*" + QString::number(n) : "");
        i += n;
    }
    return "[" + t.join(',') + "]";
}

// Plays an operator's script on a dialog, token by token, and gives the script back as it
// went: a token that did not go as written comes back changed. "M"/"R": open manual travel
// (its byte 2 taken off the line and the trace) or the reference run; "f=300", "s=10": the
// frequency or step field, "f?200": what the frequency field shows; "+b", "-b", "*b": press,
// release, click the button with text b, "r+b", "r-b" with the right mouse button, "!b" its click()
// (as from a running command);
// "[10,255*5]": exactly these bytes reach the line; ".": nothing more within 50 ms; "@50:t":
// token t after 50 ms; "x@50": the controller answers after 50 ms; "nachAntwort": the last
// byte went after that answer; "frist": the last byte went the single step's bound after the
// last release; "eilpausen": the last rapid travel's pauses; "aktiv": the dialog active;
// "halt:wie": the held button loses the mouse (Fensterumgebung::haltWegnehmen); "frei:b": b enabled
// again; "p?", "zu": the port open, closed; "ende": the dialog gone; "weg": the main window
// deleted, its dialog with it.
struct Skript {
    Fensterumgebung &u;
    QWidget *d = nullptr;
    QByteArray gelesen;
    QStringList fehler;
    int ausstehend = 0;
    double antwort = 0, losgelassen = 0;

    QPushButton *knopf(const QString &text) const {
        for (QPushButton *k : d->findChildren<QPushButton *>())
            if (k->text() == text)
                return k;
        return nullptr;
    }
    double letzte() const { return u.mitschnitt->eintraege().last().zeit; }

    QString schritt(const QString &t) {
        const auto wenn = [&](bool gut) { return gut ? t : t + "?"; };
        const Qt::MouseButton taste = t.startsWith('r') ? Qt::RightButton : Qt::LeftButton;
        const QString b = t.mid(taste == Qt::RightButton ? 2 : 1);
        if (t == "M" || t == "R") {
            d = t == "M" ? u.oeffnen<QWidget>(u.w().Manuell)
                         : u.oeffnen<QWidget>(u.w().Referenzfahrt);
            const bool gut = d && (t == "R" || u.pty.lesen(1) == Bytes({2}));
            u.mitschnitt->leeren();
            return wenn(gut);
        }
        if (t.startsWith("f=") || t.startsWith("f?") || t.startsWith("s=")) {
            auto *feld = d->findChild<QLineEdit *>(t[0] == 'f' ? "TextFrequenz" : "TextSchritte");
            if (feld && t[1] == '=')
                feld->setText(t.mid(2));
            return wenn(feld && (t[1] == '=' || feld->text() == t.mid(2)));
        }
        if (t.startsWith('@')) {
            ++ausstehend;
            const QString spaeter = t.section(':', 1);
            QTimer::singleShot(t.section(':', 0, 0).mid(1).toInt(), u.fenster.get(), [=] {
                --ausstehend;
                if (schritt(spaeter) != spaeter)
                    fehler << spaeter;
            });
            return t;
        }
        if (t.startsWith('[')) {
            QByteArray soll;
            for (const QString &z : t.mid(1, t.size() - 2).split(','))
                soll += QByteArray(z.section('*', 1).isEmpty() ? 1 : z.section('*', 1).toInt(),
                                   char(z.section('*', 0, 0).toInt()));
            const QByteArray ist = u.pty.lesen(int(soll.size()));
            gelesen += ist;
            return Text(ist);
        }
        if (t == ".") {
            const QByteArray rest = u.nachlauf(50);
            gelesen += rest;
            return rest.isEmpty() ? t : Text(rest);
        }
        if (t.startsWith("x@")) {
            QTimer::singleShot(t.mid(2).toInt(), u.fenster.get(), [this] {
                antwort = MsTimer::Uhr();
                u.pty.schreiben("x");
            });
            return t;
        }
        if (t == "nachAntwort")
            return wenn(antwort > 0 && letzte() >= antwort);
        if (t == "frist")
            return wenn(letzte() - losgelassen >= ManuelleFahrt::Antwortfrist);
        if (t == "eilpausen") {
            // 1 ms after the direction byte and after the frequency code, 1 ms before each
            // step byte: two pauses in a row before the low byte.
            const int n = u.mitschnitt->anzahl();
            const double mindestens[] = {0.001, 0.002, 0.001, 0.001};
            bool gut = n >= 5;
            for (int i = 0; i < 4 && gut; ++i)
                gut = u.mitschnitt->abstand(n - 5 + i) >= mindestens[i];
            return wenn(gut);
        }
        if (t == "aktiv") {
            d->activateWindow();
            return wenn(QTest::qWaitForWindowActive(d));
        }
        if (t.startsWith("halt:"))
            return wenn(u.haltWegnehmen(d, t.mid(5)));
        if (t.startsWith("frei:"))
            return wenn(QTest::qWaitFor([&] { return knopf(t.mid(5))->isEnabled(); }));
        if (t == "p?" || t == "zu")
            return wenn(u.w().MSComm1->istOffen() == (t == "p?"));
        if (t == "ende")
            return wenn(u.dialogBeendet());
        if (t == "weg") {
            QPointer<QWidget> dialog(d);
            u.mitschnitt.reset();
            u.fenster.reset();
            return wenn(!dialog);
        }
        QPushButton *k = knopf(b);
        if (!k)
            return t + "?";
        if (t[0] == '!')
            k->click();
        else if (t[0] == '*')
            QTest::mouseClick(k, Qt::LeftButton);
        else if (t[taste == Qt::RightButton ? 1 : 0] == '+')
            QTest::mousePress(k, taste);
        else {
            losgelassen = MsTimer::Uhr();
            QTest::mouseRelease(k, taste);
        }
        return t;
    }

    QString laufen(const QString &skript) {
        QStringList wie;
        for (const QString &t : skript.split(' '))
            wie << schritt(t);
        if (ausstehend)
            fehler << "nicht gelaufen";
        return wie.join(' ') + (fehler.isEmpty() ? "" : " FEHLER " + fehler.join(' '));
    }
};

// Records when a button's enabled state changes.
class Freigabeuhr : public QObject {
public:
    explicit Freigabeuhr(QWidget *knopf) { knopf->installEventFilter(this); }
    double gesperrt = 0, freigegeben = 0;

protected:
    bool eventFilter(QObject *o, QEvent *e) override {
        if (e->type() == QEvent::EnabledChange)
            (static_cast<QWidget *>(o)->isEnabled() ? freigegeben : gesperrt) = MsTimer::Uhr();
        return false;
    }
};

} // namespace

class TestHanddialoge : public QObject {
    Q_OBJECT
private slots:
    void ablauf_data();
    void ablauf();
    void referenzStoppSperrtDieKnoepfe();
    void manuellDatei();
};

void TestHanddialoge::ablauf_data() {
    QTest::addColumn<QString>("skript");
    QTest::addColumn<QString>("meldung");
    const auto zeile = [](const char *name, const char *skript, QString meldung = {}) {
        QTest::newRow(name) << QString::fromUtf8(skript) << meldung;
    };
    const auto eil = [](const char *text) { return QString("Zelkor_V2: ") + text; };
    const auto ref = [](const char *text) { return QString("Eingabefehler: ") + text; };
    // A rapid travel goes on the click.
    zeile("<< 1000 Hz, 1000", "M *<< [30,19,232,3,0] eilpausen");
    zeile(">> 70000", "M s=70000 *>> [40,19,112,17,1] eilpausen");
    zeile("0 Schritte", "M s=0 *>> [40,19,0*3] eilpausen");
    zeile("16777215 Schritte", "M s=16777215 *<< [30,19,255*3] eilpausen");
    zeile("276 Hz", "M f=276 *<< [30,5,232,3,0]");
    zeile("325 Hz", "M f=325 *<< [30,6,232,3,0]");
    zeile("375 Hz", "M f=375 *<< [30,6,232,3,0]");
    zeile("12024 Hz", "M f=12024 *>> [40,239,232,3,0]");
    zeile("275 Hz", "M f=275 *>> .", eil("Frequenz muß mindestens 300 Hz betragen!"));
    zeile("12025 Hz", "M f=12025 *>> .", eil("Frequenz muß kleiner als 12001 Hz sein!"));
    zeile("Frequenz keine Zahl", "M f=abc *>> .", eil("Frequenz muß eine Zahl sein!"));
    zeile("16777216 Schritte", "M s=16777216 *>> .",
          eil("Schrittzahl muß zwischen 0 und 16777215 liegen!"));
    zeile("Schritte keine Zahl", "M s=zehn *>> .", eil("Schrittzahl muß eine ganze Zahl sein!"));
    // A reference run goes on the press with no pause, nothing more while the button is held,
    // its stop on the release; every opening shows 200 Hz.
    zeile("Referenz << 200", "R +<< [6,3,1] . -<< [255*5]");
    zeile("Referenz >> 200", "R +>> [6,3,2] . ->> [255*5]");
    zeile("Referenz rechte Taste", "R r+<< [6,3,1] . r-<< [255*5]");
    zeile("Referenz 100", "R f=100 +<< [6,1,1] . -<< [255*5]");
    zeile("Referenz 600", "R f=600 +>> [6,11,2] . ->> [255*5]");
    zeile("Referenz 125", "R f=125 +<< [6,2,1] . -<< [255*5]");
    zeile("Referenz 175", "R f=175 +<< [6,2,1] . -<< [255*5]");
    zeile("Referenz 225", "R f=225 +<< [6,4,1] . -<< [255*5]");
    zeile("Referenz zeigt 200 Hz", "R f?200 f=450 *Zurück ende R f?200");
    zeile("Referenz 99.5", "R f=99.5 +<< -<< .", ref("Mindestfrequenz 100 Hz unterschritten!"));
    zeile("Referenz 600.5", "R f=600.5 +>> ->> .", ref("Höchstfrequenz 600 Hz überschritten!"));
    zeile("Referenz keine Zahl", "R f=schnell +>> ->> .", ref("Frequenz muß eine Zahl sein!"));
    // A single step: nothing more while held (nor any step for the right mouse button); the
    // release waits for the controller's character, then stops. Without it, the wait ends
    // after its bound, the stop goes out anyway, the operator is told, the dialog goes on.
    zeile("Einzelschritt <", "M +< [10] . x@100 -< [255] nachAntwort");
    zeile("Einzelschritt >", "M +> [20] . x@100 -> [255] nachAntwort");
    zeile("Einzelschritt rechte Taste", "M r+< . x@100 r-< [255] nachAntwort");
    zeile("ohne Antwort", "M +< [10] -< [255] frist *<< [30,19,232,3,0]",
          eil("Die Steuerung hat auf den Einzelschritt nicht geantwortet.\nDer Stopp wurde "
              "trotzdem gesendet."));
    // One command at a time: rapid travel sends nothing while a single step is held or waits
    // for the controller; a single-step press during a rapid travel sends nothing, and its
    // release needs no stop.
    zeile("ein Befehl zur Zeit", "M +< !>> @20:!<< x@80 -< [10,255] @0:+> *>> -> [40,19,232,3,0]");
    // "Zurück" in the middle: the command ends whole (a wait at once, with its stop; the
    // reference stop's bytes all out, its pause cut short), manual travel sends 0, the port
    // closes and nothing is written after that.
    zeile("Zurück beim Warten", "M @50:!Zurück +< -< [10,255,0] ende");
    zeile("Zurück beim Eilgang", "M @0:!Zurück *>> [40,19,232,3,0,0] ende");
    zeile("Zurück beim Referenzstopp", "R +<< [6,3,1] @90:p? @100:!Zurück -<< [255*5] zu ende");
    // The held button loses the mouse: the stop goes out as on a release (after the
    // controller's character); the close box leaves as "Zurück" does; a release that comes
    // after all sends nothing more.
    for (const char *wie : {"deaktivieren", "schliessen", "verstecken"}) {
        const bool zu = QByteArray(wie) == "schliessen";
        QTest::addRow("Halt verloren, %s, Einzelschritt", wie)
            << QString("M aktiv +< [10] x@50 halt:%1 %2 .")
                   .arg(wie, zu ? "[255,0] ende" : "[255] -<")
            << QString();
        QTest::addRow("Halt verloren, %s, Referenzfahrt", wie)
            << QString("R aktiv +>> [6,3,2] halt:%1 [255*5] %2 .")
                   .arg(wie, zu ? "ende" : "frei:>> ->>")
            << QString();
    }
    // The main window takes the dialog with it: the step is stopped and manual mode left
    // without waiting.
    zeile("Hauptfenster geht", "M +< [10] weg [255,0]");
}

void TestHanddialoge::ablauf() {
    QFETCH(QString, skript);
    QFETCH(QString, meldung);
    Fensterumgebung u;
    Skript a{u};
    QCOMPARE(a.laufen(skript), skript);
    QCOMPARE(u.nachlauf(), QByteArray());
    if (u.mitschnitt)
        QCOMPARE(u.mitschnitt->bytes(), a.gelesen);
    QTRY_COMPARE(u.meldungen(), meldung.isEmpty() ? QStringList() : QStringList(meldung));
}

void TestHanddialoge::referenzStoppSperrtDieKnoepfe() {
    Fensterumgebung u;
    Skript a{u};
    QCOMPARE(a.laufen("R +<< [6,3,1]"), "R +<< [6,3,1]");
    QPushButton *knopf = a.knopf("<<"), *anderer = a.knopf(">>");
    // Five stop bytes, 0.1 ms apart, with both buttons disabled from before the first until
    // half a second after the last.
    Freigabeuhr uhr(knopf);
    QList<bool> frei;
    QTimer abtaster;
    QObject::connect(&abtaster, &QTimer::timeout,
                     [&] { frei << (knopf->isEnabled() || anderer->isEnabled()); });
    abtaster.start(20);
    u.mitschnitt->leeren();
    QTest::mouseRelease(knopf, Qt::LeftButton);
    abtaster.stop();
    QCOMPARE(u.pty.lesen(5), QByteArray(5, char(255)));
    QCOMPARE(u.mitschnitt->anzahl(), 5);
    for (int i = 0; i < 4; ++i)
        QVERIFY(u.mitschnitt->abstand(i) >= 0.0001);
    QVERIFY(!frei.isEmpty() && !frei.contains(true));
    QVERIFY(uhr.gesperrt > 0 && uhr.gesperrt <= u.mitschnitt->zeit(0));
    QVERIFY(uhr.freigegeben - u.mitschnitt->zeit(4) >= 0.5);
    QVERIFY(knopf->isEnabled() && anderer->isEnabled());
    QCOMPARE(u.meldungen(), QStringList());
}

void TestHanddialoge::manuellDatei() {
    // Without manuell.txt both fields show 1000; leaving (here by the close box) stores them.
    Fensterumgebung u;
    const QString pfad = Dateizugriff::ManuellDateipfad();
    QVERIFY(!QFile::exists(pfad));
    auto *d = u.oeffnen<ManuelleFahrt>(u.w().Manuell);
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text() + "/" + d->TextSchritte->text(), QString("1000/1000"));
    d->TextFrequenz->setText("2500");
    d->TextSchritte->setText("12 Schritte");
    d->close();
    QCOMPARE(u.pty.lesen(2), Bytes({2, 0}));
    QCOMPARE(DateiInhalt(pfad), QByteArray("\"2500\"\r\n\"12 Schritte\"\r\n"));
    QVERIFY(u.dialogBeendet());
    d = u.oeffnen<ManuelleFahrt>(u.w().Manuell);
    QVERIFY(d);
    QCOMPARE(d->TextFrequenz->text() + "/" + d->TextSchritte->text(), QString("2500/12 Schritte"));

    // A directory where the file should be: leaving still sends 0 and closes the port, and
    // the operator learns that the values were not stored.
    QVERIFY(QFile::remove(pfad) && QDir().mkpath(pfad));
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(2), Bytes({2, 0}));
    QVERIFY(u.dialogBeendet());
    QCOMPARE(u.nachrichten.anzahl(), 1);
    QVERIFY2(u.meldungen()[0].startsWith("Zelkor_V2: ") && u.meldungen()[0].contains("manuell.txt"),
             qPrintable(u.meldungen()[0]));
}

QTEST_MAIN(TestHanddialoge)
#include "tst_handdialoge.moc"
