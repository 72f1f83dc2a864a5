#include "VirtuellerAnschluss.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <algorithm>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

VirtuellerAnschluss::VirtuellerAnschluss(QObject *parent) : QObject(parent) {
    m_uhr.start();
    m_ruheTimer.setSingleShot(true);
    connect(&m_ruheTimer, &QTimer::timeout, this, &VirtuellerAnschluss::ruhe);
}

VirtuellerAnschluss::~VirtuellerAnschluss() {
    beenden();
}

double VirtuellerAnschluss::jetzt() const {
    return double(m_uhr.nsecsElapsed()) * 1e-9;
}

bool VirtuellerAnschluss::starten(int portnummer, const QString &verzeichnis) {
    m_fehler.clear();
    if (laeuft()) {
        m_fehler = QStringLiteral("Der virtuelle Controller läuft bereits (%1).").arg(m_link);
        return false;
    }
    if (portnummer < 1) {
        m_fehler = QStringLiteral("Ungültige Portnummer %1.").arg(portnummer);
        return false;
    }
    const QDir dir(verzeichnis);
    if (!dir.exists()) {
        m_fehler = QStringLiteral("Das Verzeichnis %1 gibt es nicht.").arg(verzeichnis);
        return false;
    }
    const QString link = dir.absoluteFilePath(QStringLiteral("COM%1").arg(portnummer));
    if (!m_marke.sperren(link)) {
        m_fehler = m_marke.fehler();
        return false;
    }
    const QFileInfo vorhanden(link);
    if (m_marke.verwaisterLink()) {
        // Made by a virtual controller that was killed: its device may meanwhile be another
        // program's terminal.
        QFile::remove(link);
    } else if (vorhanden.exists() || vorhanden.isSymLink()) {
        // Someone else's entry, a link to nothing included (a device unplugged): never ours to
        // remove.
        m_marke.freigeben();
        const QString ziel = vorhanden.isSymLink() ? vorhanden.symLinkTarget() : QString();
        m_fehler = ziel.isEmpty()
                       ? QStringLiteral("%1 gibt es schon. Port %2 ist belegt; bitte einen "
                                        "anderen Port wählen (--port) oder %1 entfernen.")
                             .arg(link)
                             .arg(portnummer)
                       : QStringLiteral("%1 gibt es schon (Verweis auf %2). Port %3 ist belegt; "
                                        "bitte einen anderen Port wählen (--port) oder %1 "
                                        "entfernen.")
                             .arg(link, ziel)
                             .arg(portnummer);
        return false;
    }

    int master = -1, slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        m_fehler = QStringLiteral("Kein Pseudoterminal zu bekommen: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    termios t{};
    for (int fd : {slave, master}) {
        if (::tcgetattr(fd, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(fd, TCSANOW, &t);
        }
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    const QString geraet = QString::fromLocal8Bit(name);
    // The marker first: a link is never there without it.
    if (!m_marke.beschriften(geraet) || !QFile::link(geraet, link)) {
        m_fehler = QStringLiteral("%1 kann nicht angelegt werden.").arg(link);
        m_marke.freigeben();
        ::close(master);
        ::close(slave);
        return false;
    }
    m_master = master;
    m_slave = slave;
    m_geraet = geraet;
    m_link = link;
    m_leser = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_leser, &QSocketNotifier::activated, this, &VirtuellerAnschluss::lesen);
    return true;
}

void VirtuellerAnschluss::beenden() {
    m_ruheTimer.stop();
    if (m_leser) {
        m_leser->setEnabled(false);
        delete m_leser;
        m_leser = nullptr;
    }
    if (!m_link.isEmpty()) {
        // Only our own entry: someone may have replaced it meanwhile.
        const QFileInfo link(m_link);
        if (link.isSymLink() && link.symLinkTarget() == m_geraet)
            QFile::remove(m_link);
        m_link.clear();
    }
    m_marke.freigeben();
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
}

void VirtuellerAnschluss::lesen() {
    QByteArray neu;
    // A small piece at a time: what a piece makes is held until it is shown, and a sender that
    // never pauses must not make the piece grow without end.
    while (neu.size() < 1024) {
        char puffer[1024];
        const ssize_t n = ::read(m_master, puffer, sizeof puffer);
        if (n > 0) {
            neu.append(puffer, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && m_leser) {
            // The device side is held open here, so this is a fault of the system; reading
            // again would only repeat it.
            m_leser->setEnabled(false);
            emit zeilen({QStringLiteral("Fehler beim Lesen von %1: %2. Der virtuelle Controller "
                                        "empfängt nichts mehr.")
                             .arg(m_geraet, QString::fromLocal8Bit(std::strerror(errno)))});
        }
        break;
    }
    if (neu.isEmpty())
        return;
    ausgeben(m_controller.empfangen(neu, jetzt()));
}

void VirtuellerAnschluss::ruhe() {
    ausgeben(m_controller.ruhe(jetzt()));
}

void VirtuellerAnschluss::ausgeben(const VirtuellerController::Ausgabe &aus) {
    for (int i = 0; i < aus.antworten; ++i)
        QTimer::singleShot(m_verzoegerungMs, this, &VirtuellerAnschluss::antworten);
    if (!aus.zeilen.isEmpty())
        emit zeilen(aus.zeilen);
    ruheStellen();
}

void VirtuellerAnschluss::ruheStellen() {
    const auto wann = m_controller.naechsteRuhe();
    if (!wann) {
        m_ruheTimer.stop();
        return;
    }
    const double rest = std::max(0.0, *wann - jetzt());
    m_ruheTimer.start(int(std::ceil(rest * 1000.0)) + 1);
}

void VirtuellerAnschluss::antworten() {
    if (m_master < 0)
        return;
    const char zeichen = Antwortzeichen;
    if (::write(m_master, &zeichen, 1) == 1) {
        ++m_antworten;
        emit zeilen({m_controller.antwortZeile(jetzt())});
    }
}
