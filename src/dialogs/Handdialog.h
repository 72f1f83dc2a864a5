#pragma once

#include "dialogs/Dialogumgebung.h"
#include "link/SerielleSchnittstelle.h"

#include <QPointer>
#include <QWidget>

class QMouseEvent;
class QPushButton;

// Base of the windows that hold the serial port open while the operator moves the motor by
// hand (manual travel, reference run).
//
// Their handlers pause with a live window, so another handler of the same window may run in
// the middle of one. Two rules keep that safe:
// - Every handler runs inside a Rahmen. The window is never deleted while a Rahmen is open:
//   Beenden() hides it, and the deletion is queued when the outermost handler returns.
// - When the outermost handler returns, Ruhelage() runs: a window that was asked to close
//   while a command was under way finishes leaving there.
//
// The motion buttons answer to the mouse alone (press and release, like a held switch); the
// keyboard does nothing with them. While one is held, anything that takes the mouse away from
// it (the window is deactivated or hidden, the button is disabled or hidden, a popup takes
// the focus) is reported through HaltVerloren(), so the window can stop the motor as on a
// release.
class Handdialog : public QWidget {
    Q_OBJECT
public:
    explicit Handdialog(Dialogumgebung &umgebung);
    ~Handdialog() override;

    // The window has finished (port closed, main window enabled) and waits to be deleted.
    bool istBeendet() const { return m_beendet; }

protected:
    class Rahmen {
    public:
        explicit Rahmen(Handdialog &dialog);
        ~Rahmen();
        Rahmen(const Rahmen &) = delete;
        Rahmen &operator=(const Rahmen &) = delete;

    private:
        Handdialog &m_dialog;
    };

    SerielleSchnittstelle &port() const;
    // The port while it still exists; for the destructor, which may run as the main window
    // goes away.
    SerielleSchnittstelle *portFallsVorhanden() const { return m_port.data(); }
    Dialogumgebung &umgebung() const { return m_umgebung; }

    // Registers a button whose mouse press and release are handled by Gedrückt/Losgelassen.
    void BewegungsknopfAnmelden(QPushButton *knopf);

    // Runs once, when the window is first shown.
    virtual void Laden() = 0;
    // A mouse button went down (also the second press of a double click) or up on a
    // registered, enabled button.
    virtual void Gedrueckt(QPushButton *knopf, const QMouseEvent &ereignis) = 0;
    virtual void Losgelassen(QPushButton *knopf, const QMouseEvent &ereignis) = 0;
    // The mouse was taken away: from this button, or from the whole window when knopf is null.
    virtual void HaltVerloren(QPushButton *knopf) = 0;
    // The operator asked to leave (the window's button or its close box).
    virtual void VerlassenAnfordern() = 0;
    // No handler of the window is running any more.
    virtual void Ruhelage() = 0;

    // Hides the window for good; it is deleted once no handler runs.
    void Beenden();
    // From Gedrueckt: the press is refused, and the button does not take it (it is not drawn
    // pressed; its release belongs to no hold).
    void DruckVerwerfen() { m_druckVerworfen = true; }

    bool eventFilter(QObject *objekt, QEvent *ereignis) override;
    bool event(QEvent *ereignis) override;
    void closeEvent(QCloseEvent *ereignis) override;
    void showEvent(QShowEvent *ereignis) override;
    void hideEvent(QHideEvent *ereignis) override;

private:
    void rahmenEnde();

    Dialogumgebung &m_umgebung;
    QPointer<SerielleSchnittstelle> m_port;
    int m_tiefe = 0;
    bool m_geladen = false;
    bool m_beendet = false;
    bool m_loeschen = false;
    bool m_druckVerworfen = false;
};
