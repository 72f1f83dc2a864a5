#pragma once

#include "Mitschnitt.h"
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/PCSteuerung.h"

#include <QAction>

#include <memory>

// The main window as the program brings it up: shown, then loaded (port probe included).
std::unique_ptr<PCSteuerung> HauptfensterStarten();

// Triggers a menu action and gives the window it opened, or nullptr when none of that kind.
template <typename Dialog> Dialog *Oeffnen(PCSteuerung &fenster, QAction *aktion) {
    aktion->trigger();
    return qobject_cast<Dialog *>(fenster.offenerDialog());
}

// The controller as a pseudo-terminal linked as COM1 in a fresh program directory, a catcher
// that answers and records every message box, the real main window after its start-up (with
// port.txt holding portdatei first, when given) and a trace of every byte handed to its port.
struct Fensterumgebung {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    std::unique_ptr<PCSteuerung> fenster;
    std::unique_ptr<Mitschnitt> mitschnitt;

    explicit Fensterumgebung(const QByteArray &portdatei = QByteArray());
    PCSteuerung &w() { return *fenster; }
    template <typename Dialog> Dialog *oeffnen(QAction *aktion) {
        return Oeffnen<Dialog>(*fenster, aktion);
    }
    // Waits until the open dialog is gone; then true when the main window is enabled again and
    // its port closed.
    bool dialogBeendet();
    // Nothing handed to the port, nothing on the line, the port closed, the commands usable.
    bool nichtsGesendet();
    // Takes the mouse away from a button held on the dialog: another window becomes active
    // ("deaktivieren"), the close box ("schliessen"), or the dialog is hidden ("verstecken").
    // False when the other window did not become active.
    bool haltWegnehmen(QWidget *dialog, const QString &wie);
    // Adds blocks through the grid's blank row until there are anzahl.
    void saetzeAnlegen(int anzahl, const QString &schritte = QStringLiteral("5000"));
    // Triggers an action and answers the file dialog it opens with pfad (empty: cancels it).
    // False when no file dialog came up.
    bool dateidialog(QAction *aktion, const QString &pfad);
    QByteArray nachlauf(int ms = 30); // whatever else reaches the line within ms milliseconds
    QStringList meldungen() const;    // every message box so far as "title: text"

private:
    std::unique_ptr<QWidget> m_anderesFenster;
};

// The controls of a dialog whose font is not the house style: buttons bold Arial 9.75 pt;
// labels with text, fields and lists Arial 12 pt in dark blue, bold (lists may be), fields
// centred.
QStringList Schriftabweichungen(const QWidget *dialog);
