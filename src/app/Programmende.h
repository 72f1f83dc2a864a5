#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class PCSteuerung;
class QSocketNotifier;

// Ends the program on SIGTERM, SIGINT and SIGHUP as "Beenden" does, without leaving the
// controller moving or the port locked. The signal only writes a byte into a pipe; everything
// else happens here, on the event loop:
// - a message box or file dialog is answered as with Escape;
// - a command under way (transfer, start) finishes;
// - an open dialog is left as through its own button: a held single step or reference run
//   sends its stop, manual travel leaves manual mode, the port is closed;
// - then the main window is closed without asking (a changed program is kept aside).
// A further signal ends every wait at once: a command of the main window is cut at its next
// pause, a dialog is asked to leave again (its stop bytes still go out in full).
//
// Waits of the link run the event loop, so a signal can come in the middle of any handler;
// each step is therefore taken only when the state allows it, and tried again on a short
// beat until the window is closed.
class Programmende : public QObject {
    Q_OBJECT
public:
    // Signals are caught from here on and acted upon once a window is given.
    Programmende();
    ~Programmende() override;

    void ueberwachen(PCSteuerung &fenster);

private:
    void signalGekommen();
    void weiter();

    QSocketNotifier *m_melder = nullptr;
    QTimer m_takt;
    QPointer<PCSteuerung> m_fenster;
    int m_signale = 0;
    int m_dialogGefragt = 0; // the signal count at which the open dialog was last asked to go
    bool m_fertig = false;
};
