#include "PtyPaar.h"

#include "files/Programmverzeichnis.h"

#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPaar::PtyPaar(int portnummer) {
    oeffnen(portnummer, m_verzeichnis.path());
    setProgrammverzeichnis(m_verzeichnis.path());
}

PtyPaar::PtyPaar(int portnummer, const PtyPaar &nachbar) : m_eigenesVerzeichnis(false) {
    oeffnen(portnummer, nachbar.verzeichnis());
}

void PtyPaar::oeffnen(int portnummer, const QString &verzeichnis) {
    m_ort = verzeichnis;
    int slave = -1;
    char name[256] = {};
    if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0) {
        m_master = -1;
        return;
    }
    for (const int seite : {slave, m_master}) {
        termios t{};
        tcgetattr(seite, &t);
        cfmakeraw(&t);
        tcsetattr(seite, TCSANOW, &t);
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePfad = QString::fromLocal8Bit(name);
    m_slaveOffen = slave;
    QFile::link(m_slavePfad, verzeichnis + QStringLiteral("/COM%1").arg(portnummer));
}

PtyPaar::~PtyPaar() {
    masterSchliessen();
    if (m_slaveOffen >= 0)
        ::close(m_slaveOffen);
    if (m_eigenesVerzeichnis)
        setProgrammverzeichnis(QString());
}

QByteArray PtyPaar::lesen(int mindestens, int zeitMs) {
    QByteArray daten;
    if (m_master < 0)
        return daten;
    QElapsedTimer uhr;
    uhr.start();
    for (;;) {
        char puffer[4096];
        const ssize_t n = ::read(m_master, puffer, sizeof puffer);
        if (n > 0) {
            daten.append(puffer, int(n));
            continue;
        }
        if (daten.size() >= mindestens || uhr.elapsed() >= zeitMs)
            break;
        pollfd p{m_master, POLLIN, 0};
        ::poll(&p, 1, 10);
    }
    return daten;
}

QByteArray PtyPaar::lesenBisRuhe(int ruheMs) {
    QByteArray daten;
    for (;;) {
        const QByteArray neu = lesen(1, ruheMs);
        if (neu.isEmpty())
            return daten;
        daten += neu;
    }
}

void PtyPaar::schreiben(const QByteArray &daten) {
    if (m_master >= 0) [[maybe_unused]]
        auto n = ::write(m_master, daten.constData(), size_t(daten.size()));
}

void PtyPaar::masterSchliessen() {
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}
