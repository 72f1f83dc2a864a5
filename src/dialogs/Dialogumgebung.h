#pragma once

class QString;
class SerielleSchnittstelle;

// What a dialog needs from the window that opens it. The main window provides it; the dialogs
// know nothing else of that window.
class Dialogumgebung {
public:
    // The program's one serial port; it lives as long as the window.
    virtual SerielleSchnittstelle *serielleSchnittstelle() const = 0;

    // Shows a message with one OK button and no icon, as every operator message of the program.
    virtual void Meldung(const QString &text, const QString &titel) = 0;

    // The dialog has closed: the window, disabled while a dialog is open, is enabled again.
    virtual void DialogGeschlossen() = 0;

protected:
    ~Dialogumgebung() = default;
};
