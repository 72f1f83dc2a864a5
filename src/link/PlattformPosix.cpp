#include "link/Plattform.h"

#include <QFile>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <ctime>

#include <fcntl.h>
#include <grp.h>
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
