#pragma once

#include "link/Befehl.h"
#include "link/SerielleSchnittstelle.h"

#include <QObject>
#include <QString>

#include <vector>

class QSocketNotifier;

// Sends commands over port n with the desktop program's link and pacing: the port is opened
// once, the commands are played one after the other and the port is closed.
//
// SIGINT and SIGTERM while it sends end the sending: the handler only writes the signal's
// number into a pipe, a socket notifier on the event loop (which the link's pauses run) closes
// the port after the byte being written, so its lock is released, and the command counts as
// cut short.
class Sender : public QObject {
    Q_OBJECT
public:
    enum Ergebnis { Gesendet = 0, PortUnbrauchbar = 2, Abgebrochen = 3 };

    explicit Sender(QObject *parent = nullptr);
    ~Sender() override;

    // Port n as the desktop program resolves it. PortUnbrauchbar when nothing could be sent.
    Ergebnis senden(int portnummer, const std::vector<Befehl> &befehle);

    int gesendet() const { return m_gesendet; }
    int geplant() const { return m_geplant; }
    // Why the port could not be used or the command was cut short.
    QString meldung() const { return m_meldung; }

private:
    void signalGekommen();

    SerielleSchnittstelle m_port;
    QSocketNotifier *m_signalmelder = nullptr;
    int m_signal = 0;
    int m_gesendet = 0;
    int m_geplant = 0;
    QString m_meldung;
};
