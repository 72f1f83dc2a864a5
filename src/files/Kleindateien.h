#pragma once

#include "model/Einstellwerte.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// The small files beside the program: port number, manual travel values, controller settings
// and the programs used last. Each holds quoted lines ending in CR LF and is read field by field
// (Feldleser.h). Each file has a pure reader of its bytes, a reader of a path that knows what a
// missing or unreadable file means, a pure writer of its bytes, and a writer of a path that
// replaces the file only once the new one is complete and reports failure in German. A file larger
// than 64 KiB is no such file and counts as unreadable.
namespace Dateizugriff {

// ---- Port file "port.txt": one line, the port field's text in quotes.

QString PortDateipfad(); // port.txt in the program directory

// The port number a text stands for. The port dialog takes the typed text with it and the port
// file is read with it, so that what the dialog accepted and wrote is what the next start-up
// reads: a whole number as an entry field converts it (Zahlentest.h, under the default locale,
// so "2,0" is 2 in German), within the 16-bit range.
std::optional<qint16> PortnummerAusText(const QString &text, const QLocale &locale = QLocale());

// The port number for start-up: the first field as PortnummerAusText takes it, or 1 when the
// data holds no such number.
qint16 PortnummerAusDaten(const QByteArray &daten);
// The same for the file at the path; 1 when it is missing or cannot be read.
qint16 PortnummerAusDatei(const QString &pfad);

// The port field's text for the port dialog: the first field exactly as written when it holds
// a port number as PortnummerAusDaten takes it, otherwise empty.
QString PortfeldAusDaten(const QByteArray &daten);
// The same for the file at the path: "1" when the file is missing (or is no file at all but a
// FIFO, a device or a socket), empty when it cannot be read.
QString PortfeldAusDatei(const QString &pfad);

QByteArray PortDateiDaten(const QString &portfeld);
bool PortDateiSpeichern(const QString &pfad, const QString &portfeld, QString *fehler = nullptr);

// ---- Manual travel file "manuell.txt": frequency text, then step text, each in quotes.

QString ManuellDateipfad(); // manuell.txt in the program directory

struct ManuellWerte {
    QString frequenz = QStringLiteral("1000");
    QString schritte = QStringLiteral("1000");
};

inline bool operator==(const ManuellWerte &a, const ManuellWerte &b) {
    return a.frequenz == b.frequenz && a.schritte == b.schritte;
}

// The two texts as written, not checked; both defaults ("1000", "1000") when the data holds
// fewer than two complete fields.
ManuellWerte ManuellWerteAusDaten(const QByteArray &daten);
// The same for the file at the path; both defaults when it is missing or cannot be read.
ManuellWerte ManuellWerteAusDatei(const QString &pfad);

QByteArray ManuellDateiDaten(const ManuellWerte &werte);
bool ManuellDateiSpeichern(const QString &pfad, const ManuellWerte &werte,
                           QString *fehler = nullptr);

// ---- Controller settings file "zelkor.txt": step mode, phase current, reduction "1"/"0".

QString ZelkorDateipfad(); // zelkor.txt in the program directory

struct ZelkorWerte {
    QString schrittmodus = StandardSchrittmodus; // an entry of Schrittmodi()
    QString phasenstrom = StandardPhasenstrom;   // an entry of Phasenströme()
    bool absenkungEin = true;                    // current reduction on
};

inline bool operator==(const ZelkorWerte &a, const ZelkorWerte &b) {
    return a.schrittmodus == b.schrittmodus && a.phasenstrom == b.phasenstrom &&
           a.absenkungEin == b.absenkungEin;
}

// The three values, each falling back to its default on its own: a step mode or phase current
// that is not exactly one of the list entries, a third value that is not a number, a value
// that is missing. A third value that is the number 1 ("1", 1, "1.0") means on, any other
// number off.
ZelkorWerte ZelkorWerteAusDaten(const QByteArray &daten);
// The same for the file at the path; all defaults when it is missing or cannot be read.
ZelkorWerte ZelkorWerteAusDatei(const QString &pfad);

QByteArray ZelkorDateiDaten(const ZelkorWerte &werte);
bool ZelkorDateiSpeichern(const QString &pfad, const ZelkorWerte &werte, QString *fehler = nullptr);

// ---- Programs used last "zuletzt.txt": one path a line in quotes, the newest first.

QString ZuletztDateipfad(); // zuletzt.txt in the program directory

// How many programs the list keeps.
constexpr int ZuletztHöchstzahl = 6;

// The paths as written, at most ZuletztHöchstzahl, empty ones and repeats left out.
QStringList ZuletztAusDaten(const QByteArray &daten);

struct Zuletztlesung {
    QStringList pfade; // empty when the file is missing or cannot be read
    QString fehler;    // German message when it exists but cannot be read
};
Zuletztlesung ZuletztAusDatei(const QString &pfad);

// The list with pfad in front, taken out further down, cut to ZuletztHöchstzahl. A path that
// could not be written as a quoted line (it holds a double quote) is not taken in.
QStringList ZuletztVorne(QStringList liste, const QString &pfad);
// The list without pfad.
QStringList ZuletztOhne(QStringList liste, const QString &pfad);

QByteArray ZuletztDateiDaten(const QStringList &pfade);
bool ZuletztDateiSpeichern(const QString &pfad, const QStringList &pfade,
                           QString *fehler = nullptr);

} // namespace Dateizugriff
