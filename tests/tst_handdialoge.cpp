// Program transfer, block start and program start from the real main window, manual travel
// and the reference run on its dialogs, with a pseudo-terminal as the controller: the bytes
// and their pauses, every refusal of a transfer (which sends nothing at all), the single
// step's wait for the controller and its bound, one command at a time, leaving in the middle
// of a command, the stop when a held button loses the mouse, the reference stop that disables
// the buttons, and the file that keeps the manual travel's two fields.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/ManuelleFahrt.h"
#include "files/Kleindateien.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTableView>
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

// The pause due after byte i of a transfer: 20 ms after the header's last, 60 ms more after a
// block's last, 1 ms after all others.
double Uebertragungspause(int i) {
    return i == 4 ? 0.02 : (i - 4) % 10 == 0 ? 0.061 : 0.001;
}

const QByteArray Standardsatz = Bytes({136, 19, 0, 5, 79, 1, 10, 1, 0, 1});

QByteArray Uebertragung(int saetze, const QByteArray &satz = Standardsatz) {
    QByteArray bytes = Bytes({3, 1, 10, saetze, 10});
    for (int i = 0; i < saetze; ++i)
        bytes += satz;
    return bytes;
}

// Plays an operator's script on a dialog, token by token, and gives the script back as it
// went: a token that did not go as written comes back changed. "M"/"R": open manual travel
// (its byte 2 taken off the line and the trace) or the reference run; "f=300", "s=10": the
// frequency or step field ('_' for a blank), "f?200", "s?10": what the field shows; "+b", "-b",
// "*b": press, release, click the button with text b, "r+b", "r-b" with the right mouse button,
// "!b" its click() (as from a running command);
// "[10,255*5]": exactly these bytes reach the line; ".": nothing more within 50 ms; "@50:t":
// token t after 50 ms; "x@50": the controller answers after 50 ms; "nachAntwort": the last
// byte went after that answer; "frist": the last byte went the single step's bound after the
// last release; "pausen:1,2": at least 1 ms, then 2 ms between the last three bytes; "uhr":
// from now on note when "<<" or ">>" is disabled or enabled; "gesperrt": both were disabled
// before the last five bytes and until half a second after them; "aktiv": the dialog active;
// "halt:wie": the held button loses the mouse (Fensterumgebung::haltWegnehmen); "frei:b": b enabled
// again; "p?", "zu": the port open, closed; "ende": the dialog gone; "weg": the main window
// deleted, its dialog with it.
struct Skript : QObject {
    explicit Skript(Fensterumgebung &umgebung) : u(umgebung) {}
    Fensterumgebung &u;
    QPointer<QWidget> d;
    QString schritte = "5000"; // the steps "n=" gives new blocks
    QByteArray gelesen;
    QStringList fehler;
    int ausstehend = 0;
    double antwort = 0, losgelassen = 0;
    double gesperrt = 0, freigegeben = 0; // the last disabling, the first enabling after "uhr"

    bool eventFilter(QObject *o, QEvent *e) override {
        if (e->type() == QEvent::EnabledChange && static_cast<QWidget *>(o)->isEnabled())
            freigegeben = freigegeben ? freigegeben : MsTimer::Uhr();
        else if (e->type() == QEvent::EnabledChange)
            gesperrt = MsTimer::Uhr();
        return false;
    }

    QPushButton *knopf(const QString &text) const {
        for (QPushButton *k : (d ? d.data() : u.fenster.get())->findChildren<QPushButton *>())
            if (k->text() == text || k->objectName() == "Command" + text)
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
        if (t.startsWith("pausen:")) {
            // At least these milliseconds between the last bytes, in order.
            const QStringList ms = t.mid(7).split(',');
            const int n = u.mitschnitt->anzahl() - int(ms.size()) - 1;
            bool gut = n >= 0;
            for (int i = 0; gut && i < ms.size(); ++i)
                gut = u.mitschnitt->abstand(n + i) >= ms[i].toDouble() / 1000;
            return wenn(gut);
        }
        if (t == "uhr") {
            for (QObject *k : {knopf("<<"), knopf(">>")})
                k->installEventFilter(this);
            return t;
        }
        if (t == "gesperrt") {
            const int n = u.mitschnitt->anzahl();
            return wenn(n >= 5 && gesperrt > 0 && gesperrt <= u.mitschnitt->zeit(n - 5) &&
                        freigegeben - u.mitschnitt->zeit(n - 1) >= 0.5 &&
                        knopf("<<")->isEnabled() && knopf(">>")->isEnabled());
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
        if (t == "takt") {
            // 1 ms after each header byte, 20 ms after its last; 1 ms after each block byte and
            // a further 60 ms after a block's last one, before the next block or the port's
            // closing (or the next command).
            bool gut = true;
            for (int i = 0; gut && i + 1 < u.mitschnitt->anzahl(); ++i)
                gut = u.mitschnitt->abstand(i) >= Uebertragungspause(i);
            return wenn(gut);
        }
        if (t == "Datei") {
            const QString pfad = u.pty.verzeichnis() + "/leer.orp";
            const bool gut = DateiSchreiben(pfad, "\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n"
                                                  "\"300\"\r\n\"4000\"\r\n\"\"\r\n\"10\"\r\n0\r\n"
                                                  "\"1\"\r\n\"1\"\r\n") &&
                             u.dateidialog(u.w().Öffnen, pfad);
            u.nachrichten.leeren();
            return wenn(gut);
        }
        const qsizetype wo = t.indexOf(QRegularExpression("[=~?]"));
        if (wo > 0) {
            // A field: the dialog's ("f", "s") or the main window's.
            const QString name = t.left(wo), wert = t.mid(wo + 1).replace('_', ' ');
            PCSteuerung &w = u.w();
            if (name == "S")
                w.setAktuellerZellText(schritte = wert);
            else if (name == "n")
                u.saetzeAnlegen(wert.toInt(), schritte);
            else if (name == "z")
                w.setAktuelleZeile(wert.toInt() - 1);
            if (name == "S" || name == "n" || name == "z")
                return t;
            auto *feld = (d && name.size() == 1 ? d.data() : u.fenster.get())
                             ->findChild<QLineEdit *>(name == "f"   ? QString("TextFrequenz")
                                                      : name == "s" ? QString("TextSchritte")
                                                                    : "Text" + name);
            if (feld && t[wo] != '?') {
                QSignalBlocker ohnePruefung(t[wo] == '~' ? feld : nullptr);
                feld->setText(wert);
                if (!d)
                    u.nachrichten.leeren(); // what the main window's checks said is not looked at
            }
            return wenn(feld && (t[wo] != '?' || feld->text() == wert));
        }
        if (auto *option = u.w().findChild<QRadioButton *>("Option" + t)) {
            option->setChecked(true);
            return t;
        }
        QPushButton *k = knopf(b);
        if (!k)
            return t + "?";
        const int vorher = u.mitschnitt ? u.mitschnitt->anzahl() : 0;
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
        // After a transfer the port closes only after the last block's (or header's) pause.
        const int n = u.mitschnitt ? u.mitschnitt->anzahl() : 0;
        if (b == "Programmieren" && n > vorher)
            return wenn(MsTimer::Uhr() - u.mitschnitt->zeit(n - 1) >= Uebertragungspause(n - 1));
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

} // namespace

class TestHanddialoge : public QObject {
    Q_OBJECT
private slots:
    void ablauf_data();
    void ablauf();
    void manuellDatei();
};

void TestHanddialoge::ablauf_data() {
    QTest::addColumn<QString>("skript");
    QTest::addColumn<QStringList>("meldungen");
    const auto zeile = [](const char *name, const QString &skript, QStringList meldungen = {}) {
        QTest::newRow(name) << skript << meldungen;
    };
    const auto eil = [](const char *text) { return QStringList(QString("Zelkor_V2: ") + text); };
    const auto ref = [](const char *text) {
        return QStringList("Eingabefehler: " + QString(text));
    };
    // A rapid travel goes on the click.
    zeile("<< 1000 Hz, 1000", "M *<< [30,19,232,3,0] pausen:1,2,1,1");
    zeile(">> 70000", "M s=70000 *>> [40,19,112,17,1] pausen:1,2,1,1");
    zeile("0 Schritte", "M s=0 *>> [40,19,0*3] pausen:1,2,1,1");
    zeile("16777215 Schritte", "M s=16777215 *<< [30,19,255*3] pausen:1,2,1,1");
    zeile("276 Hz", "M f=276 *<< [30,5,232,3,0]");
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
    // The stop: five bytes 0.1 ms apart, both buttons disabled from before the first until half
    // a second after the last.
    zeile("Referenzstopp sperrt", "R +<< [6,3,1] uhr -<< [255*5] pausen:.1,.1,.1,.1 gesperrt");
    zeile("Referenz zeigt 200 Hz", "R f?200 f=450 *Zurück ende R f?200");
    zeile("Referenz 99.5", "R f=99.5 +<< -<< .", ref("Mindestfrequenz 100 Hz unterschritten!"));
    zeile("Referenz 600.5", "R f=600.5 +>> ->> .", ref("Höchstfrequenz 600 Hz überschritten!"));
    zeile("Referenz keine Zahl", "R f=schnell +>> ->> .", ref("Frequenz muß eine Zahl sein!"));
    // A single step: nothing more while held (nor any step for the right mouse button); the
    // release waits for the controller's character, then stops (a right press sends nothing,
    // its release neither, and the next command goes at once). Without it, the wait ends
    // after its bound, the stop goes out anyway, the operator is told, the dialog goes on.
    zeile("Einzelschritt <", "M +< [10] . x@100 -< [255] nachAntwort");
    zeile("Einzelschritt >", "M +> [20] . x@100 -> [255] nachAntwort");
    zeile("Einzelschritt rechte Taste", "M r+< . r-< . *<< [30,19,232,3,0]");
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
            << QStringList();
        QTest::addRow("Halt verloren, %s, Referenzfahrt", wie)
            << QString("R aktiv +>> [6,3,2] halt:%1 [255*5] %2 .")
                   .arg(wie, zu ? "ende" : "frei:>> ->>")
            << QStringList();
    }
    // The main window takes the dialog with it: the step is stopped and manual mode left
    // without waiting.
    zeile("Hauptfenster geht", "M +< [10] weg [255,0]");

    // Transfers from the main window, after "S=x" the current block's steps, "n=7" blocks
    // through the grid's blank row, "z=7" block 7 current, "Feld=x" a field of the main
    // window, "Feld~x" the same with its check passed by, "Links", "Rampe20ms" an option, "Datei"
    // a file whose block has no runs; what the main window said before is not looked at.
    const auto ok = [&](const char *name, const QString &vorher, const QByteArray &bytes,
                        const QStringList &meldungen = {}) {
        zeile(name, vorher + " *Programmieren " + Text(bytes) + " takt", meldungen);
    };
    const QByteArray anfang = Standardsatz.left(3);
    ok("Standardsatz", "n=1", Uebertragung(1));
    ok("ohne Sätze", "S=", Uebertragung(0, {}));
    ok("20 Sätze mit 70000", "S=70000 n=20",
       Uebertragung(20, Bytes({112, 17, 1}) + Standardsatz.mid(3)));
    ok("125 und 175 Hz", "Startfrequenz=125 Maximalfrequenz=175",
       Uebertragung(1, anfang + Bytes({2, 2, 1, 10, 1, 0, 1})));
    ok("12000 Hz, links, Pause 0, 20 ms",
       "Maximalfrequenz=12000 Startfrequenz=12000 Satzpause=0 Links Rampe20ms",
       Uebertragung(1, anfang + Bytes({239, 239, 1, 0, 0, 0, 4})));
    // Leaving the block with an empty field reports it and keeps the block as it was; the
    // transfer then sends nothing.
    zeile("geleerte Startfrequenz", "Startfrequenz= *Programmieren . Startfrequenz?300",
          {"Programmfehler !: Sie müssen eine Startfrequenz angeben"});
    zeile("Satzstart und Programmstart",
          "*Satzstart [5,1] pausen:1 n=20 z=20 *Satzstart *Programmstart [5,20,4]");
    // One command at a time: a program start clicked while a transfer plays sends nothing; a
    // transfer asked for while a block start plays is refused with a message.
    zeile("ein Befehl zur Zeit",
          "n=3 @40:*Programmstart *Programmieren " + Text(Uebertragung(3)) +
              " @0:*Programmieren z=1 *Satzstart [5,1] takt",
          {"Übertragung abgebrochen !: Es wird gerade ein anderer Befehl gesendet. Bitte die "
           "Übertragung danach noch einmal starten."});
    // Each refusal sends nothing at all.
    const auto nein = [&](const char *vorher, const QString &meldung) {
        zeile(vorher, QString(vorher) + " *Programmieren .",
              {"Übertragung abgebrochen !: " + meldung});
    };
    ok("Randwerte", "Programmdurchläufe=255 Programmpause=0 Befehlspause=255",
       Bytes({3, 255, 0, 1, 255}) + Standardsatz);
    // The program's values are checked in this order; a number too large for any type breaks
    // the bound its sign says.
    nein("Programmdurchläufe=300 Programmpause=300 Befehlspause=300",
         "Höchstwert Programmdurchläufe (255) überschritten !");
    nein("Befehlspause~99999999999", "Höchstwert Befehlspause (255) überschritten !");
    nein("Programmpause~-99999999999", "Mindestwert Programmpause (0) unterschritten !");
    nein("Programmdurchläufe~x", "Programmdurchläufe ist keine ganze Zahl !");
    nein("Programmpause=256", "Höchstwert Programmpause (255) überschritten !");
    nein("Befehlspause=-1", "Mindestwert Befehlspause (0) unterschritten !");
    nein("Befehlspause~1e3", "Befehlspause ist keine ganze Zahl !");
    nein("Startfrequenz=12001", "Höchstwert Startfrequenz (12 kHz) in Satz 1 überschritten !");
    nein("n=3 z=3 Startfrequenz=50",
         "Mindestwert Startfrequenz (100 Hz) in Satz 3 unterschritten !");
    nein("n=20 z=20 Maximalfrequenz=12001",
         "Höchstwert Maximalfrequenz (12 kHz) in Satz 20 überschritten !");
    nein("Maximalfrequenz=200", "Startfrequenz in Satz 1 ist größer als die Maximalfrequenz !");
    nein("n=7 z=7 Satzdurchläufe=0", "Mindestwert Satzdurchläufe (1) in Satz 7 unterschritten !");
    nein("n=2 z=2 Satzpause=300", "Höchstwert Satzpause (255) in Satz 2 überschritten !");
    nein("S=16777216", "Schritte in Satz 1 müssen eine ganze Zahl von 0 bis 16777215 sein !");
    nein("n=21 z=1", "Höchstwert Anzahl Sätze (20) überschritten !");
    // Only a file brings an empty field into the block; storing the block before the transfer
    // reports it, and nothing is sent.
    zeile("Datei", "Datei *Programmieren .",
          {"Programmfehler !: Sie müssen die Satzdurchläufe angeben"});
}

void TestHanddialoge::ablauf() {
    QFETCH(QString, skript);
    QFETCH(QStringList, meldungen);
    Fensterumgebung u;
    Skript a{u};
    QCOMPARE(a.laufen(skript), skript);
    QCOMPARE(u.nachlauf(), QByteArray());
    if (u.mitschnitt)
        QCOMPARE(u.mitschnitt->bytes(), a.gelesen);
    QTRY_COMPARE(u.meldungen(), meldungen);
    // Without a dialog the main window's commands and panel are usable, its port closed.
    if (PCSteuerung *w = u.fenster.get(); w && !w->offenerDialog())
        QVERIFY(w->CommandProgrammieren->isEnabled() && w->CommandSatzstart->isEnabled() &&
                w->CommandProgrammstart->isEnabled() && w->FrameSatzparameter->isEnabled() &&
                w->dbgridschritte->isEnabled() && !w->MSComm1->istOffen());
}

void TestHanddialoge::manuellDatei() {
    // Without manuell.txt both fields show 1000; leaving (here by the close box) stores them.
    Fensterumgebung u;
    Skript a{u};
    const QString pfad = Dateizugriff::ManuellDateipfad();
    QVERIFY(!QFile::exists(pfad));
    const QString skript = "M f?1000 s?1000 f=2500 s=12_Schritte halt:schliessen [0] ende";
    QCOMPARE(a.laufen(skript), skript);
    QCOMPARE(DateiInhalt(pfad), QByteArray("\"2500\"\r\n\"12 Schritte\"\r\n"));
    QCOMPARE(a.laufen("M f?2500 s?12_Schritte"), "M f?2500 s?12_Schritte");
    // A directory where the file should be: leaving still sends 0 and closes the port, and
    // the operator learns that the values were not stored.
    QVERIFY(QFile::remove(pfad) && QDir().mkpath(pfad));
    QCOMPARE(a.laufen("*Zurück [0] ende"), "*Zurück [0] ende");
    QCOMPARE(u.nachrichten.anzahl(), 1);
    QVERIFY2(u.meldungen()[0].startsWith("Zelkor_V2: ") && u.meldungen()[0].contains("manuell.txt"),
             qPrintable(u.meldungen()[0]));
}

QTEST_MAIN(TestHanddialoge)
#include "tst_handdialoge.moc"
