#pragma once

#include <QByteArray>
#include <QString>

// Reading and replacing whole files, shared by the program file and the small files.
namespace Dateizugriff {

enum class Einlesestand { Gelesen, Fehlt, NichtLesbar, ZuGross };

struct Eingelesen {
    Einlesestand stand = Einlesestand::Fehlt;
    QByteArray daten; // the file's bytes when Gelesen
    QString grund;    // German reason when NichtLesbar or ZuGross
};

// Reads the whole file at the path, refusing files of more than höchstens bytes.
Eingelesen DateiEinlesen(const QString &pfad, qint64 höchstens);

// Writes the bytes to the path through a temporary file in the same directory that replaces
// the old file only when it has been written completely (QSaveFile). On failure the old file
// is untouched, and *fehler (when given) gets a German message naming the path and the reason.
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
