#include "Sender.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalRohr[2] = {-1, -1};

void signalAufschreiben(int nummer) {
    const int alt = errno;
    const unsigned char n = static_cast<unsigned char>(nummer);
    [[maybe_unused]] auto geschrieben = ::write(signalRohr[1], &n, 1);
    errno = alt;
}

bool signaleEinrichten() {
    if (signalRohr[0] < 0) {
        if (::pipe(signalRohr) != 0)
            return false;
        for (int fd : signalRohr) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    struct sigaction sa {};
    sa.sa_handler = signalAufschreiben;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGINT, SIGTERM})
        ::sigaction(s, &sa, nullptr);
    return true;
}

void signaleZuruecksetzen() {
    for (int s : {SIGINT, SIGTERM})
        std::signal(s, SIG_DFL);
}

int bytezahl(const Befehl &befehl) {
    int n = 0;
    for (const Befehlsschritt &s : befehl)
        n += s.art == Befehlsschritt::Art::Byte ? 1 : 0;
    return n;
}

} // namespace

Sender::Sender(QObject *parent) : QObject(parent) {
    m_port.setMithoerer([this](quint8, double) { ++m_gesendet; });
    if (signaleEinrichten()) {
        m_signalmelder = new QSocketNotifier(signalRohr[0], QSocketNotifier::Read, this);
        connect(m_signalmelder, &QSocketNotifier::activated, this, &Sender::signalGekommen);
    }
}

Sender::~Sender() {
    signaleZuruecksetzen();
}

void Sender::signalGekommen() {
    unsigned char n = 0;
    while (::read(signalRohr[0], &n, 1) == 1)
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
