#include "files/Dateisystem.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Dateisystem {

namespace {

// The old content of a file written in place is held in memory; beyond this it is not.
constexpr qint64 GroessteAlteDatei = 64 * 1024 * 1024;

QByteArray Name(const QString &pfad) {
    return QFile::encodeName(pfad);
}

QString Systemtext(int fehler) {
    return QString::fromLocal8Bit(std::strerror(fehler));
}

Art ArtVon(mode_t modus) {
    if (S_ISREG(modus))
        return Art::Gewoehnlich;
    if (S_ISDIR(modus))
        return Art::Verzeichnis;
    if (S_ISCHR(modus) || S_ISBLK(modus))
        return Art::Geraet;
    if (S_ISFIFO(modus))
        return Art::Pipe;
    if (S_ISSOCK(modus))
        return Art::Socket;
    return Art::Andere;
}

// Writes all bytes at the offset; the count written before a failure goes to *geschrieben.
bool AllesSchreiben(int fd, const char *daten, qint64 anzahl, qint64 *geschrieben) {
    *geschrieben = 0;
    while (*geschrieben < anzahl) {
        const ssize_t n =
            ::pwrite(fd, daten + *geschrieben, size_t(anzahl - *geschrieben), off_t(*geschrieben));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        *geschrieben += n;
    }
    return true;
}

bool AllesLesen(int fd, QByteArray *daten) {
    qint64 gelesen = 0;
    while (gelesen < daten->size()) {
        const ssize_t n =
            ::pread(fd, daten->data() + gelesen, size_t(daten->size() - gelesen), off_t(gelesen));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        gelesen += n;
    }
    daten->truncate(gelesen);
    return true;
}

qint64 Groesse(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
}

} // namespace

Angaben Ansehen(const QString &pfad) {
    Angaben angaben;
    struct stat st {};
    if (::stat(Name(pfad).constData(), &st) != 0)
        return angaben;
    angaben.art = ArtVon(st.st_mode);
    angaben.groesse = st.st_size;
    angaben.verweise = st.st_nlink;
    angaben.besitzer = st.st_uid;
    angaben.gruppe = st.st_gid;
    angaben.rechte = st.st_mode & 07777;
    return angaben;
}

QString ArtText(Art art) {
    switch (art) {
    case Art::Verzeichnis:
        return QStringLiteral("ein Verzeichnis");
    case Art::Geraet:
        return QStringLiteral("ein Gerät");
    case Art::Pipe:
        return QStringLiteral("eine benannte Pipe (FIFO)");
    case Art::Socket:
        return QStringLiteral("ein Socket");
    default:
        return QStringLiteral("etwas anderes");
    }
}

int ZumLesenOeffnen(const QString &pfad, Art *art, QString *grund) {
    const QByteArray name = Name(pfad);
    struct stat st {};
    // A device is not even opened: opening some has effects of its own (a serial line's control
    // signals, a tape's rewind).
    if (::stat(name.constData(), &st) != 0) {
        const int fehler = errno;
        *art = fehler == ENOENT || fehler == ENOTDIR ? Art::Fehlt : Art::Andere;
        *grund = Systemtext(fehler);
        return -1;
    }
    *art = ArtVon(st.st_mode);
    if (*art != Art::Gewoehnlich)
        return -1;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *grund = Systemtext(errno);
        return -1;
    }
    // What was opened counts, not what the name showed a moment before.
    if (::fstat(fd, &st) != 0) {
        *grund = Systemtext(errno);
        ::close(fd);
        return -1;
    }
    *art = ArtVon(st.st_mode);
    if (*art != Art::Gewoehnlich) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void Schliessen(int handle) {
    ::close(handle);
}

bool BesitzUebertragen(int handle, const Angaben &vorbild) {
    // Owner first: handing a file over clears its set-id bits, which the mode then restores.
    return ::fchown(handle, vorbild.besitzer, vorbild.gruppe) == 0 &&
           ::fchmod(handle, vorbild.rechte) == 0;
}

bool AnOrtUndStelleSchreiben(const QString &pfad, const QByteArray &daten, QString *grund) {
    const int fd = ::open(Name(pfad).constData(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *grund = QStringLiteral("Die vorhandene Datei lässt sich nicht zum Schreiben öffnen (%1)")
                     .arg(Systemtext(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *grund = QStringLiteral("Unter diesem Namen liegt keine gewöhnliche Datei");
        return false;
    }
    if (st.st_size > GroessteAlteDatei) {
        ::close(fd);
        *grund = QStringLiteral("Die vorhandene Datei ist zu groß, um sie an Ort und Stelle zu "
                                "ersetzen");
        return false;
    }
    QByteArray alt(qsizetype(st.st_size), Qt::Uninitialized);
    if (!AllesLesen(fd, &alt)) {
        *grund = QStringLiteral("Die vorhandene Datei lässt sich nicht lesen (%1)")
                     .arg(Systemtext(errno));
        ::close(fd);
        return false;
    }

    // Up to here nothing has changed. From here on a failure puts the old bytes back: those
    // overwritten, and the old length.
    qint64 überschrieben = 0;
    const auto zurück = [&](int fehler) {
        *grund = QStringLiteral("Beim Schreiben ist ein Fehler aufgetreten (%1)")
                     .arg(Systemtext(fehler));
        qint64 zurückgeschrieben = 0;
        const bool ok = AllesSchreiben(fd, alt.constData(), qMin(überschrieben, qint64(alt.size())),
                                       &zurückgeschrieben) &&
                        (Groesse(fd) == alt.size() || ::ftruncate(fd, off_t(alt.size())) == 0) &&
                        ::fsync(fd) == 0;
        if (!ok)
            grund->append(QStringLiteral(";\ndie alte Fassung ließ sich nicht vollständig "
                                         "zurückschreiben"));
        ::close(fd);
        return false;
    };

    if (daten.size() > alt.size()) {
        const int fehler = ::posix_fallocate(fd, 0, off_t(daten.size()));
        if (fehler != 0 && fehler != EOPNOTSUPP && fehler != EINVAL)
            return zurück(fehler);
    }
    if (!AllesSchreiben(fd, daten.constData(), daten.size(), &überschrieben))
        return zurück(errno);
    if (Groesse(fd) != daten.size() && ::ftruncate(fd, off_t(daten.size())) != 0)
        return zurück(errno);
    if (::fsync(fd) != 0)
        return zurück(errno);
    if (::close(fd) != 0) {
        *grund =
            QStringLiteral("Beim Schreiben ist ein Fehler aufgetreten (%1)").arg(Systemtext(errno));
        return false;
    }
    return true;
}

} // namespace Dateisystem
