// Sessions on the real main window and its manual travel and reference run dialogs against a
// pseudo-terminal, each compared whole: the bytes and pauses, refusals, messages, fields.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "dialogs/ManuelleFahrt.h"
#include "files/Kleindateien.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"

#include <QDir>
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
    for (const char b : bytes)
        t << QString::number(quint8(b));
    return "[" + t.join(',') + "]";
}

// The pause due after byte i of a transfer: 20 ms after the header's last, 60 ms more after a
// block's last, 1 ms after all others (also before the next command).
double Uebertragungspause(int i) {
    return i == 4 ? 0.02 : (i - 4) % 10 == 0 ? 0.061 : 0.001;
}

const QByteArray Standardsatz = Bytes({136, 19, 0, 5, 79, 1, 10, 1, 0, 1});

QByteArray Uebertragung(int saetze, const QByteArray &satz = Standardsatz) {
    return Bytes({3, 1, 10, saetze, 10}) + satz.repeated(saetze);
}

// Plays an operator's script token by token and gives it back as it went (a token that went
// otherwise comes back changed). "M"/"R": open manual travel (its byte 2 read off) or the
// reference run, active; "f=300", "s=10", "f?200": set or see its frequency or steps ('_' a
// blank); "+b", "-b", "*b", "!b": press, release, click, click() the button with text b, "r+b",
// "r-b" with the right button; "[10,255*5]": exactly these bytes on the line; ".": nothing more
// within 50 ms; "@50:t": token t after 50 ms; "x@50": the controller answers after 50 ms;
// "nachAntwort"/"frist": the last byte went after that answer/the single step's bound after the
// release; "pausen:1,2": at least 1, then 2 ms between the last three bytes; "gesperrt": "<<"
// and ">>" disabled before the last five bytes until 0.5 s after; "halt:wie": the held button
// loses the mouse; "frei:b": b enabled again; "oben:b": b not drawn pressed; "p?", "zu": the
// port open, closed; "abziehen": the controller goes away; "verbaut": a directory where
// manuell.txt belongs; "ende": the dialog gone; "weg": the main window deleted.
struct Skript : QObject {
    explicit Skript(Fensterumgebung &umgebung) : u(umgebung) {}
    Fensterumgebung &u;
    QPointer<QWidget> d;
    QString schritte = "5000"; // the steps "n=" gives new blocks
    QByteArray gelesen;
    QStringList fehler;
    int ausstehend = 0;
    double antwort = 0, losgelassen = 0;
    double gesperrt = 0, freigegeben = 0; // of "<<", ">>": the last disabling, the first enabling

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
            d = u.oeffnen<QWidget>(t == "M" ? u.w().Manuell : u.w().Referenzfahrt);
            if (d)
                d->activateWindow();
            const QByteArray ein = t == "M" ? u.pty.lesen(1) : QByteArray();
            gelesen += ein;
            const bool gut = d && (t == "R" || ein == Bytes({2})) && QTest::qWaitForWindowActive(d);
            for (QObject *k : {knopf("<<"), knopf(">>")})
                if (t == "R" && k)
                    k->installEventFilter(this);
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
            return ist == soll ? t : Text(ist);
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
        if (t == "gesperrt") {
            const int n = u.mitschnitt->anzahl();
            return wenn(n >= 5 && gesperrt > 0 && gesperrt <= u.mitschnitt->zeit(n - 5) &&
                        freigegeben - u.mitschnitt->zeit(n - 1) >= 0.5 &&
                        knopf("<<")->isEnabled() && knopf(">>")->isEnabled());
        }
        if (t.startsWith("halt:"))
            return wenn(u.haltWegnehmen(d, t.mid(5)));
        if (t.startsWith("frei:"))
            return wenn(QTest::qWaitFor([&] { return knopf(t.mid(5))->isEnabled(); }));
        if (t.startsWith("oben:"))
            return wenn(!knopf(t.mid(5))->isDown());
        if (t == "abziehen")
            return u.pty.masterSchliessen(), t;
        if (t == "verbaut")
            return wenn(QDir().mkpath(Dateizugriff::ManuellDateipfad()));
        if (t == "p?" || t == "zu")
            return wenn(u.w().MSComm1->istOffen() == (t == "p?"));
        if (t == "ende")
            return wenn(u.dialogBeendet());
        if (t == "weg") {
            u.mitschnitt.reset();
            u.fenster.reset();
            return wenn(!d);
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
        // A transfer's pauses, the port closing only after the last block's (or header's) one.
        const int n = u.mitschnitt ? u.mitschnitt->anzahl() : 0;
        bool gut = true;
        for (int i = vorher; b == "Programmieren" && i < n; ++i)
            gut = gut &&
                  (i + 1 < n ? u.mitschnitt->abstand(i) : MsTimer::Uhr() - u.mitschnitt->zeit(i)) >=
                      Uebertragungspause(i - vorher);
        return wenn(gut);
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
};

void TestHanddialoge::ablauf_data() {
    QTest::addColumn<QString>("skript");
    QTest::addColumn<QStringList>("meldungen");
    const auto zeile = [](const char *name, const QString &skript, QStringList meldungen = {}) {
        QTest::newRow(name) << skript << meldungen;
    };
    // A rapid travel goes on the click; a refusal sends nothing. A reference run goes on the
    // press with no pause, nothing more while held, its stop on the release: five bytes 0.1 ms
    // apart, both buttons disabled from before the first until half a second after the last.
    zeile("Eilgang",
          "M *<< [30,19,232,3,0] pausen:1,2,1,1 f=12024 s=70000 *>> [40,239,112,17,1] "
          "pausen:1,2,1,1 s=zehn *>> .",
          {"Zelkor_V2: Schrittzahl muß eine ganze Zahl sein!"});
    zeile("Referenzfahrt", "R r+<< [6,3,1] . r-<< [255*5] pausen:.1,.1,.1,.1 gesperrt f=100 +<< "
                           "[6,1,1] . -<< [255*5] frei:>> f=600 +>> [6,11,2] . ->> [255*5]");
    // A single step: nothing more while held; the release waits for the controller's character,
    // then stops, or at the bound stops anyway and tells. The right button sends nothing.
    zeile("Einzelschritt",
          "M +< [10] . x@100 -< [255] nachAntwort +> [20] . x@100 -> [255] "
          "nachAntwort r+< . r-< . +< [10] -< [255] frist *<< [30,19,232,3,0]",
          {"Zelkor_V2: Die Steuerung hat auf den Einzelschritt nicht geantwortet.\nDer Stopp "
           "wurde trotzdem gesendet."});
    // One command at a time: nothing during a held or waiting single step nor a rapid travel.
    zeile("ein Befehl zur Zeit", "M +< !>> @20:!<< x@80 -< [10,255] @0:+> *>> -> [40,19,232,3,0]");
    // "Zurück" mid-command: the command ends whole (a wait at once), manual travel sends 0, the
    // reference stop's pause is cut short, the port closes, nothing more is written.
    zeile("Zurück beim Warten, beim Eilgang",
          "M @50:!Zurück +< -< [10,255,0] ende M @0:!Zurück *>> [40,19,232,3,0,0] ende");
    // A refused press is not left drawn pressed.
    zeile("Zurück beim Referenzstopp, Frequenz abgelehnt, zeigt 200 Hz",
          "R f?200 f=schnell +>> ->> . f=50 +<< oben:<< -<< . f=275 +<< [6,4,1] @90:p? "
          "@100:!Zurück -<< [255*5] zu ende R f?200",
          {"Eingabefehler: Frequenz muß eine Zahl sein!",
           "Eingabefehler: Mindestfrequenz 100 Hz unterschritten!"});
    // The held button loses the mouse: the stop goes as on a release, the close box leaves as
    // "Zurück" does, a late release sends nothing.
    for (const char *wie : {"deaktivieren", "verstecken"})
        zeile(wie, QString("M +< [10] x@50 halt:%1 [255] -< . !Zurück [0] ende R +>> "
                           "[6,3,2] halt:%1 [255*5] frei:>> ->> .")
                       .arg(wie));
    zeile("schliessen", "M +< [10] x@50 halt:schliessen [255,0] ende . R +>> [6,3,2] "
                        "halt:schliessen [255*5] ende .");
    // Without manuell.txt both fields show 1000; leaving (here by the close box) stores them.
    // The main window takes the dialog with it: stop and manual mode off without waiting.
    // The controller goes away: the port closes and says so, during a motion also that the
    // motor may still run.
    const QString weg = "Zelkor_V2: Die Verbindung über COM1 (PTY) ist abgebrochen "
                        "(Ein-/Ausgabefehler).\nDie Schnittstelle wurde geschlossen; ein "
                        "laufender Befehl wurde nicht zu Ende gesendet.";
    const QString motor =
        weg + "\nDer Motor läuft möglicherweise noch und muss an der Steuerung angehalten werden.";
    zeile("Gerät weg, Einzelschritt gehalten", "M +< [10] abziehen", {motor});
    zeile("Gerät weg, Referenzfahrt gehalten", "R +<< [6,3,1] abziehen", {motor});
    zeile("Gerät weg, Eilgang fährt", "M *>> [40,19,232,3,0] abziehen", {motor});
    zeile("Gerät weg, Manuell ruhend", "M abziehen", {weg});
    // Where manuell.txt cannot be stored, leaving still sends 0 and closes the port, and says so.
    zeile("manuell.txt verbaut", "verbaut M *Zurück [0] ende",
          {"Zelkor_V2: Frequenz und Schritte konnten nicht für den nächsten Aufruf gespeichert "
           "werden.\nDie Datei \"DIR/manuell.txt\" konnte nicht gespeichert werden.\nUnter diesem "
           "Namen liegt ein Verzeichnis."});
    zeile("manuell.txt, Hauptfenster geht", "M f?1000 s?1000 f=2500 s=12_Schritte halt:schliessen "
                                            "[0] ende M f?2500 s?12_Schritte +< [10] weg [255,0]");

    // Transfers from the main window: "S=x" the current block's steps, "n=7" blocks through
    // the grid's blank row, "z=7" block 7 current, "Feld=x" a main window's field (unread
    // messages), "Feld~x" with its check passed by, "Links", "Rampe20ms" an option.
    zeile("ohne Sätze", "S= *Programmieren " + Text(Uebertragung(0)));
    zeile("20 Sätze mit 70000",
          "S=70000 n=20 *Programmieren " +
              Text(Uebertragung(20, Bytes({112, 17, 1}) + Standardsatz.mid(3))));
    zeile("Randwerte, links, 20 ms",
          "Maximalfrequenz=12000 Startfrequenz=12000 Satzpause=0 Links Rampe20ms "
          "Programmdurchläufe=255 Programmpause=0 Befehlspause=255 *Programmieren " +
              Text(Bytes({3, 255, 0, 1, 255, 136, 19, 0, 239, 239, 1, 0, 0, 0, 4})));
    // An emptied field of the block is reported, the block kept, nothing sent.
    zeile("geleerte Startfrequenz", "Startfrequenz= *Programmieren . Startfrequenz?300",
          {"Programmfehler !: Sie müssen eine Startfrequenz angeben"});
    // A program start during a transfer sends nothing; a transfer during a block start is refused.
    zeile("ein Befehl zur Zeit, Satzstart und Programmstart",
          "n=3 @40:*Programmstart *Programmieren " + Text(Uebertragung(3)) +
              " @0:*Programmieren z=1 *Satzstart [5,1] pausen:1 n=20 z=20 *Satzstart "
              "*Programmstart [5,20,4]",
          {"Übertragung abgebrochen !: Es wird gerade ein anderer Befehl gesendet. Bitte die "
           "Übertragung danach noch einmal starten."});
    // Each refusal sends nothing at all.
    const auto nein = [&](const char *vorher, const QString &meldung) {
        zeile(vorher, QString(vorher) + " *Programmieren .",
              {"Übertragung abgebrochen !: " + meldung});
    };
    // The program's values in this order; a number too large for any type breaks the bound of
    // its sign.
    nein("Programmdurchläufe=300 Programmpause=300 Befehlspause=300",
         "Höchstwert Programmdurchläufe (255) überschritten !");
    nein("Programmpause~-99999999999", "Mindestwert Programmpause (0) unterschritten !");
    nein("Programmdurchläufe~x", "Programmdurchläufe ist keine ganze Zahl !");
    nein("Programmpause=256", "Höchstwert Programmpause (255) überschritten !");
    nein("Befehlspause=-1", "Mindestwert Befehlspause (0) unterschritten !");
    nein("n=3 z=3 Startfrequenz=50",
         "Mindestwert Startfrequenz (100 Hz) in Satz 3 unterschritten !");
    nein("n=20 z=20 Maximalfrequenz=12001",
         "Höchstwert Maximalfrequenz (12 kHz) in Satz 20 überschritten !");
    nein("n=21 z=1", "Höchstwert Anzahl Sätze (20) überschritten !");
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
    QTRY_COMPARE(u.meldungen()
                     .replaceInStrings(u.pty.slavePfad(), "PTY")
                     .replaceInStrings(u.pty.verzeichnis(), "DIR"),
                 meldungen);
    // Without a dialog the main window's commands and panel are usable, its port closed.
    if (PCSteuerung *w = u.fenster.get(); w && !w->offenerDialog())
        QVERIFY(w->CommandProgrammieren->isEnabled() && w->CommandSatzstart->isEnabled() &&
                w->CommandProgrammstart->isEnabled() && w->FrameSatzparameter->isEnabled() &&
                w->dbgridschritte->isEnabled() && !w->MSComm1->istOffen());
}

QTEST_MAIN(TestHanddialoge)
#include "tst_handdialoge.moc"
