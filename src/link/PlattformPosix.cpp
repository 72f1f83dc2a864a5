#include "link/Plattform.h"

#include <QFile>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace Plattform {

double Uhr() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void SchlafenBis(double ziel) {
    timespec ts{};
    double ganz = 0;
    const double rest = std::modf(ziel, &ganz);
    ts.tv_sec = time_t(ganz);
    ts.tv_nsec = long(rest * 1e9);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

void FeinesWecken() {
#ifdef __linux__
    // The default timer slack of 50 µs would stretch every short sleep.
    static const bool gesetzt = [] {
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        return true;
    }();
    (void)gesetzt;
#endif
}

void AusgangLeeren(qintptr handle) {
    const int fd = int(handle);
    if (fd < 0)
        return;
    // At 19200 baud a byte takes about 0.5 ms.
    int wartend = 0;
    if (::ioctl(fd, TIOCOUTQ, &wartend) != 0)
        return;
    const double frist = Uhr() + 0.5 + wartend * 0.001;
    while (wartend > 0 && Uhr() < frist) {
        ::usleep(200);
        if (::ioctl(fd, TIOCOUTQ, &wartend) != 0)
            return;
    }
    if (wartend <= 0)
        ::tcdrain(fd);
}

QString Systemgeraet(int portnummer) {
    return QStringLiteral("/dev/ttyS%1").arg(portnummer - 1);
}

bool LesenUndSchreibenErlaubt(const QString &geraet) {
    return ::access(QFile::encodeName(geraet).constData(), R_OK | W_OK) == 0;
}

QString GruppeDesGeraets(const QString &geraet) {
    struct stat st {};
    if (::stat(QFile::encodeName(geraet).constData(), &st) != 0)
        return {};
    if (const group *g = ::getgrgid(st.st_gid))
        return QString::fromLocal8Bit(g->gr_name);
    return QString::number(st.st_gid);
}

namespace {

struct Fehlertext {
    int nummer;
    const char *text;
};

const Fehlertext Fehlertexte[] = {
    {ENOENT, "Datei oder Gerät nicht vorhanden"},
    {ENODEV, "Gerät nicht vorhanden"},
    {ENXIO, "Gerät oder Adresse nicht vorhanden"},
    {EACCES, "Zugriff verweigert"},
    {EPERM, "Vorgang nicht erlaubt"},
    {EBUSY, "Gerät belegt"},
    {EIO, "Ein-/Ausgabefehler"},
    {ENOTTY, "kein Terminal, also keine serielle Schnittstelle"},
    {ENOSPC, "kein Platz mehr auf dem Gerät"},
    {EROFS, "Dateisystem nur lesbar"},
    {EMLINK, "zu viele Verknüpfungen"},
    {ELOOP, "zu viele Ebenen symbolischer Verknüpfungen"},
};

} // namespace

QString SystemfehlerDeutsch(const QString &systemtext) {
    for (const Fehlertext &f : Fehlertexte) {
        if (systemtext == qt_error_string(f.nummer))
            return QString::fromUtf8(f.text);
    }
    return systemtext;
}

QString Geraetefehler(qintptr handle) {
    termios t{};
    if (handle < 0 || ::tcgetattr(int(handle), &t) == 0)
        return {};
    const int nummer = errno;
    for (const Fehlertext &f : Fehlertexte) {
        if (nummer == f.nummer)
            return QString::fromUtf8(f.text);
    }
    return qt_error_string(nummer);
}

namespace {

constexpr qint64 SperrdateiHoechstens = 512;

QByteArray anfangLesen(int fd) {
    QByteArray inhalt(SperrdateiHoechstens, Qt::Uninitialized);
    const ssize_t n = ::pread(fd, inhalt.data(), size_t(inhalt.size()), 0);
    inhalt.truncate(n > 0 ? qsizetype(n) : 0);
    return inhalt;
}

} // namespace

Sperrdatei SperrdateiAnsehen(const QString &pfad) {
    Sperrdatei d;
    // Without waiting even for a FIFO someone put there, and never through a link.
    const int fd = ::open(QFile::encodeName(pfad).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return d;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        d.vorhanden = true;
        // A shared lock fails while the holder keeps its exclusive one and takes nothing from
        // it; when it succeeds nobody held the file, and it is given back at once.
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0)
            ::flock(fd, LOCK_UN);
        else
            d.gesperrt = errno == EWOULDBLOCK;
        d.inhalt = anfangLesen(fd);
    }
    ::close(fd);
    return d;
}

int SperrdateiSperren(const QString &pfad, bool *belegt, QByteArray *inhalt, QString *fehler) {
    *belegt = false;
    const QByteArray name = QFile::encodeName(pfad);
    // Another process may remove the file between our open and our lock (its holder ending):
    // the lock must be on the file that lies there.
    for (int versuch = 0; versuch < 5; ++versuch) {
        const int fd =
            ::open(name.constData(),
                   O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0644);
        if (fd < 0) {
            *fehler = QString::fromLocal8Bit(std::strerror(errno));
            return -1;
        }
        struct stat offen {};
        struct stat dort {};
        if (::fstat(fd, &offen) != 0 || !S_ISREG(offen.st_mode)) {
            *fehler = QStringLiteral("keine gewöhnliche Datei");
            ::close(fd);
            return -1;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int grund = errno;
            ::close(fd);
            if (grund != EWOULDBLOCK) {
                *fehler = QString::fromLocal8Bit(std::strerror(grund));
                return -1;
            }
            // Someone only looking holds a shared lock for a moment.
            *belegt = true;
            ::usleep(20000);
            continue;
        }
        if (::lstat(name.constData(), &dort) == 0 && dort.st_dev == offen.st_dev &&
            dort.st_ino == offen.st_ino) {
            *belegt = false;
            *inhalt = anfangLesen(fd);
            return fd;
        }
        ::close(fd);
    }
    if (!*belegt)
        *fehler = QStringLiteral("die Datei wechselt ständig");
    return -1;
}

bool SperrdateiSchreiben(int handle, const QByteArray &inhalt) {
    return ::ftruncate(handle, 0) == 0 &&
           ::pwrite(handle, inhalt.constData(), size_t(inhalt.size()), 0) == inhalt.size();
}

void SperrdateiFreigeben(int handle, const QString &pfad) {
    if (handle < 0)
        return;
    // Only the file this handle holds.
    const QByteArray name = QFile::encodeName(pfad);
    struct stat offen {};
    struct stat dort {};
    if (::fstat(handle, &offen) == 0 && ::lstat(name.constData(), &dort) == 0 &&
        dort.st_dev == offen.st_dev && dort.st_ino == offen.st_ino)
        ::unlink(name.constData());
    ::close(handle);
}

namespace {
int signalRohr[2] = {-1, -1};

void signalAufschreiben(int nummer) {
    const int alt = errno;
    const unsigned char n = static_cast<unsigned char>(nummer);
    [[maybe_unused]] auto geschrieben = ::write(signalRohr[1], &n, 1);
    errno = alt;
}
} // namespace

int SignaleAlsBytes(std::initializer_list<int> signale) {
    if (signalRohr[0] < 0) {
        if (::pipe(signalRohr) != 0)
            return -1;
        for (int fd : signalRohr) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    struct sigaction sa {};
    sa.sa_handler = signalAufschreiben;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : signale)
        ::sigaction(s, &sa, nullptr);
    return signalRohr[0];
}

int NaechstesSignal() {
    unsigned char n = 0;
    return signalRohr[0] >= 0 && ::read(signalRohr[0], &n, 1) == 1 ? n : 0;
}

void SignaleZuruecksetzen(std::initializer_list<int> signale) {
    for (int s : signale)
        std::signal(s, SIG_DFL);
}

} // namespace Plattform
