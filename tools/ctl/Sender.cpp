#include "Sender.h"

#include "link/Plattform.h"

#include <QSocketNotifier>

#include <csignal>

namespace {

int bytezahl(const Befehl &befehl) {
    int n = 0;
    for (const Befehlsschritt &s : befehl)
        n += s.art == Befehlsschritt::Art::Byte ? 1 : 0;
    return n;
}

} // namespace

Sender::Sender(QObject *parent) : QObject(parent) {
    connect(&m_port, &SerielleSchnittstelle::byteGesendet, this, [this] { ++m_gesendet; });
    const int signalrohr = Plattform::SignaleAlsBytes({SIGINT, SIGTERM});
    if (signalrohr >= 0) {
        m_signalmelder = new QSocketNotifier(signalrohr, QSocketNotifier::Read, this);
        connect(m_signalmelder, &QSocketNotifier::activated, this, &Sender::signalGekommen);
    }
}

Sender::~Sender() {
    Plattform::SignaleZuruecksetzen({SIGINT, SIGTERM});
}

void Sender::signalGekommen() {
    while (const int n = Plattform::NaechstesSignal())
        m_signal = n;
    // The link stops at its next pause; closing drains the byte already written.
    m_port.schliessen();
}

Sender::Ergebnis Sender::senden(int portnummer, const std::vector<Befehl> &befehle) {
    m_geplant = 0;
    for (const Befehl &b : befehle)
        m_geplant += bytezahl(b);
    if (!m_port.setPortnummer(portnummer)) {
        m_meldung = QStringLiteral("COM%1 ist keine gültige Portnummer.").arg(portnummer);
        return PortUnbrauchbar;
    }
    if (!m_port.oeffnen(false)) {
        m_meldung = m_port.letzterFehler();
        return PortUnbrauchbar;
    }
    bool ok = true;
    for (const Befehl &b : befehle) {
        ok = m_signal == 0 && m_port.Abspielen(b);
        if (!ok)
            break;
    }
    m_port.schliessen();
    if (ok && m_signal == 0)
        return Gesendet;
    const QString grund = m_signal != 0
                              ? QStringLiteral("Abgebrochen durch %1.")
                                    .arg(QLatin1String(m_signal == SIGINT ? "SIGINT" : "SIGTERM"))
                              : m_port.letzterFehler();
    m_meldung = QStringLiteral("Befehl abgebrochen: %1 von %2 Bytes gesendet.\n%3")
                    .arg(m_gesendet)
                    .arg(m_geplant)
                    .arg(grund);
    return Abgebrochen;
}
