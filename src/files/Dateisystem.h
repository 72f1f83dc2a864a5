#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What reading and replacing files asks of the operating system, in one place.
// DateisystemPosix.cpp holds it for Linux and other POSIX systems.
namespace Dateisystem {

enum class Art { Fehlt, Gewoehnlich, Verzeichnis, Geraet, Pipe, Socket, Andere };

// What lies at a path, symbolic links followed.
struct Angaben {
    Art art = Art::Fehlt;
    qint64 groesse = 0;
    quint64 verweise = 0; // hard links
    uint besitzer = 0;
    uint gruppe = 0;
    uint rechte = 0; // permission bits with set-id and sticky bits
};
Angaben Ansehen(const QString &pfad);

// "ein Gerät", "eine benannte Pipe", ... for messages.
QString ArtText(Art art);

// Opens the file for reading without waiting: a FIFO without a writer or a terminal never holds
// the program up. Only a regular file is opened at all; *art tells what the opened handle is
// (Fehlt when there is nothing at the path). Returns the handle, or -1: with the system's reason
// in *grund when the path could not be looked at or opened, with *grund left alone when it
// leads to something other than a regular file.
int ZumLesenOeffnen(const QString &pfad, Art *art, QString *grund);
void Schliessen(int handle);

// Hands the owner, group and permission bits to the open file behind handle (a new file that is
// to take the place of an old one). False when the system refuses, e.g. another user as owner
// for a process that is not allowed to give files away.
bool BesitzUebertragen(int handle, const Angaben &vorbild);

// Writes the bytes over the regular file at the path in place, so that it keeps its hard links,
// owner and permissions. Its old content is kept in memory until the new one is complete and
// written back when anything fails (room for a longer file is claimed before its first byte is
// overwritten). False with a German reason in *grund on failure.
bool AnOrtUndStelleSchreiben(const QString &pfad, const QByteArray &daten, QString *grund);

} // namespace Dateisystem
