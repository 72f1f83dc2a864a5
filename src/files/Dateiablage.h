#pragma once

#include <QByteArray>
#include <QString>

// Reading and replacing whole files, shared by the program file and the small files.
namespace Dateizugriff {

// KeineDatei: something other than a regular file or a directory (a device, a FIFO, a socket).
enum class Einlesestand { Gelesen, Fehlt, NichtLesbar, ZuGross, KeineDatei };

struct Eingelesen {
    Einlesestand stand = Einlesestand::Fehlt;
    QByteArray daten; // the file's bytes when Gelesen
    QString grund;    // German reason when NichtLesbar, ZuGross or KeineDatei
};

// Reads the whole file at the path, refusing files of more than höchstens bytes. Only a regular
// file is read, and it is opened without waiting, so that nothing at the path (a FIFO without a
// writer, a terminal) can hold the program up.
Eingelesen DateiEinlesen(const QString &pfad, qint64 höchstens);

// Writes the bytes to the path, and only ever to a regular file: a symbolic link is followed
// when it leads to a regular file or to nothing yet; a device, FIFO, socket or directory at the
// end is refused and left alone. A file is replaced through a temporary file in the same
// directory once that is complete (QSaveFile), which takes over the old file's owner, group and
// permissions. Where that would break something (a file with several hard links, an owner the
// process cannot hand a file to, a directory that takes no new file) the file is written in
// place, its old content kept until the new one is complete. On failure the old file is as it
// was, and *fehler (when given) gets a German message naming the path and the reason.
bool DateiErsetzen(const QString &pfad, const QByteArray &daten, QString *fehler);

// One quoted text line with CR LF, the text as UTF-8.
QByteArray TextZeile(const QString &text);
// One bare number line with CR LF.
QByteArray ZahlZeile(qint64 zahl);
// Whether a text written as a quoted line reads back unchanged: it holds no double quote (the
// quotes protect commas and even line breaks).
bool AlsTextZeileLesbar(const QString &text);

// A field's text made fit for a message: control characters replaced, long texts shortened.
QString FürMeldung(const QString &text);

} // namespace Dateizugriff
