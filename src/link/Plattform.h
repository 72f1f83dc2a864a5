#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <initializer_list>

// Everything the link asks of the operating system, in one place. PlattformPosix.cpp holds it
// for Linux and other POSIX systems; a port to another system is one new file beside it.
namespace Plattform {

// Seconds on the monotonic clock, unrounded.
double Uhr();
// Sleeps until the monotonic clock reads ziel, as precisely as the system wakes.
void SchlafenBis(double ziel);
// Makes short sleeps wake on time (once per process; a system without the setting ignores it).
void FeinesWecken();

// Waits until the driver has sent every byte handed to the device behind handle, but at most
// half a second plus a millisecond per waiting byte: a stuck adapter must not hang the program.
void AusgangLeeren(qintptr handle);

// The system's own serial device of port n (without a COMn link): /dev/ttyS<n-1>.
QString Systemgeraet(int portnummer);

// Whether this user may read and write the device, and the group it belongs to (by name, or
// its number when the group has none).
bool LesenUndSchreibenErlaubt(const QString &geraet);
QString GruppeDesGeraets(const QString &geraet);

// The system's text for an error (as strerror gives it) in German, for the errors a serial
// device gives; any other text comes back as it is.
QString SystemfehlerDeutsch(const QString &systemtext);
// Why the device behind handle fails, asked afresh (a hung-up line reads as an end of file,
// which leaves no error number behind), in German as above; empty when it still answers.
QString Geraetefehler(qintptr handle);

// Lock files: a regular file that a process keeps locked for as long as it runs, so others can
// tell whether it still does. The lock goes with the process, however it ends.
struct Sperrdatei {
    bool vorhanden = false; // a regular file lies there
    bool gesperrt = false;  // and some process holds its lock
    QByteArray inhalt;      // its first few hundred bytes
};
// Looks at the lock file pfad without waiting and without taking the lock from its holder.
Sperrdatei SperrdateiAnsehen(const QString &pfad);
// Opens pfad (making it when missing) and locks it, without waiting. The handle, or -1 with
// belegt true when another process holds the lock, false when the file cannot be used (fehler
// says why). inhalt receives what the file held before.
int SperrdateiSperren(const QString &pfad, bool *belegt, QByteArray *inhalt, QString *fehler);
// Replaces the content of the locked file.
bool SperrdateiSchreiben(int handle, const QByteArray &inhalt);
// Removes the file and then gives up the lock.
void SperrdateiFreigeben(int handle, const QString &pfad);

// Signals as bytes to read: from now on each of the given signals only writes its number into
// a pipe, whose reading end (non-blocking, closed on exec) is returned, so an event loop can
// take them up with a QSocketNotifier. The same pipe for every call; -1 when none could be made.
int SignaleAlsBytes(std::initializer_list<int> signale);
// The next signal from that pipe, or 0 when none is waiting.
int NaechstesSignal();
// The given signals act as the system's default again.
void SignaleZuruecksetzen(std::initializer_list<int> signale);

} // namespace Plattform
