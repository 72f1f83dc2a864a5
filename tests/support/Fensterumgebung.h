#pragma once

#include "Mitschnitt.h"
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/PCSteuerung.h"

#include <QAction>
#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

// The main window as the program brings it up: shown, then loaded (port probe included).
std::unique_ptr<PCSteuerung> HauptfensterStarten();

// Triggers a menu action and gives the window it opened, or nullptr when none of that kind.
template <typename Dialog> Dialog *Oeffnen(PCSteuerung &fenster, QAction *aktion) {
    aktion->trigger();
    return qobject_cast<Dialog *>(fenster.offenerDialog());
}

// The controller as a pseudo-terminal linked as COM1 in a fresh program directory, a catcher
// that answers and records every message box, the real main window after its start-up and a
// trace of every byte handed to its port.
struct Fensterumgebung {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    std::unique_ptr<PCSteuerung> fenster;
    std::unique_ptr<Mitschnitt> mitschnitt;

    // portdatei: the contents of port.txt, written before the start-up (none when empty).
    explicit Fensterumgebung(const QByteArray &portdatei = QByteArray());

    PCSteuerung &w() { return *fenster; }
    template <typename Dialog> Dialog *oeffnen(QAction *aktion) {
        return Oeffnen<Dialog>(*fenster, aktion);
    }

    // Waits until the open dialog is gone; then true when the main window is enabled again and
    // its port closed.
    bool dialogBeendet();
    // Takes the mouse away from a button held on the dialog in the way a row of
    // HaltVerlorenZeilen() names: another window becomes active, the close box, or the dialog
    // is hidden. False when the other window did not become active.
    bool haltWegnehmen(QWidget *dialog, const QString &wie);

    // Adds blocks through the grid's blank row until there are anzahl, each with the panel's
    // values and the given step count.
    void saetzeAnlegen(int anzahl, const QString &schritte = QStringLiteral("5000"));
    // Triggers an action and answers the file dialog it opens with pfad (empty: cancels it).
    // False when no file dialog came up.
    bool dateidialog(QAction *aktion, const QString &pfad);
    // The controller sends one character after ms milliseconds.
    void antwortNach(int ms);
    // Whatever else reaches the line within ms milliseconds.
    QByteArray nachlauf(int ms = 30);
    // Every message box so far as "title: text".
    QStringList meldungen() const;

private:
    std::unique_ptr<QWidget> m_anderesFenster;
};

// The column "wie" with the three ways haltWegnehmen() knows, for a test's _data function.
void HaltVerlorenZeilen();

// What a control on a dialog looks like: its objectName, its text, its place in twips
// (15 twips to the pixel).
struct Steuerelement {
    const char *name;
    const char *text;
    QRect twips;
};

// Compares the controls of a dialog with a table: each is found by name, in its place, with
// its text, in bold Arial (9.75 pt on buttons; 12 pt and dark blue on labels and fields,
// fields centred). Gives one line per difference.
QStringList Gestaltabweichungen(const QWidget *dialog, const QList<Steuerelement> &soll);

// Follows the tab key from the first control: each next stop must be the next in the list, and
// after the last comes the first again. Gives one line per difference.
QStringList Tababweichungen(const QList<QWidget *> &kette);
