#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Program files (*.orp): the three program values and the blocks, one value a line, each line
// ending in CR LF. A text line is the text between double quotes (no escaping), a number line is
// the bare decimal number.
//
//   "<Programmdurchläufe>"  "<Programmpause>"  "<Befehlspause>"  <number of blocks N>
//   then per block, N times:
//   "<Schritte>" "<Startfrequenz>" "<Maximalfrequenz>" "<Satzdurchläufe>" "<Satzpause>"
//   <Richtungsumkehr 0/1>  "<Richtung 0/1>"  "<Rampe 1..4>"
namespace Dateizugriff {

// Size of the block table; a file with more blocks than this is refused.
constexpr int SatzTabellengröße = 31;

// One block as the main window shows it: the row text of the block list and the panel fields.
struct SatzFelder {
    QString schritte;
    QString startfrequenz;
    QString maximalfrequenz;
    QString satzdurchläufe;
    QString satzpause;
    bool richtungsumkehr = false;
    bool rechts = true; // written as "1", left as "0"
    int rampe = 1;      // 1 = 2ms, 2 = 5ms, 3 = 10ms, 4 = 20ms per 100 Hz; written as is
};

inline bool operator==(const SatzFelder &a, const SatzFelder &b) {
    return a.schritte == b.schritte && a.startfrequenz == b.startfrequenz &&
           a.maximalfrequenz == b.maximalfrequenz && a.satzdurchläufe == b.satzdurchläufe &&
           a.satzpause == b.satzpause && a.richtungsumkehr == b.richtungsumkehr &&
           a.rechts == b.rechts && a.rampe == b.rampe;
}

// The program as the main window shows it, ready to be written.
struct ProgrammFelder {
    QString programmdurchläufe;
    QString programmpause;
    QString befehlspause;
    QList<SatzFelder> sätze;
};

inline bool operator==(const ProgrammFelder &a, const ProgrammFelder &b) {
    return a.programmdurchläufe == b.programmdurchläufe && a.programmpause == b.programmpause &&
           a.befehlspause == b.befehlspause && a.sätze == b.sätze;
}

// One block as read from a file, converted for the block records.
struct GelesenerSatz {
    qint32 schritte = 0;
    qint32 startfrequenz = 0;
    qint32 maximalfrequenz = 0;
    QString satzdurchläufe; // the field's text, unconverted
    qint32 satzpause = 0;
    bool richtungsumkehr = false; // the number 0 is false, any other number true
    QString richtung;             // "1" when the file holds the number 1, else "0"
    qint32 rampe = 0;             // any 32-bit value; only 1..4 stand for a ramp option

    // The direction option the file chooses: right when Richtung is the number 1, else left.
    bool rechts() const;
};

struct GelesenesProgramm {
    QString programmdurchläufe;
    QString programmpause;
    QString befehlspause;
    QList<GelesenerSatz> sätze; // as many as the file's block count, 0 to SatzTabellengröße

    qint16 anzahlSätze() const { return qint16(sätze.size()); }
};

// Either the whole program or, when the file cannot be used, a German message saying why.
struct Programmlesung {
    bool ok = false;
    GelesenesProgramm programm; // filled only when ok
    QString fehler;             // empty when ok
};

// The bytes of a program file. Texts are written unchanged as UTF-8; a text holding a double
// quote would not read back (see ProgrammFelderUngeeignet); this function writes
// whatever it is given.
QByteArray ProgrammDateiDaten(const ProgrammFelder &programm);

// Empty when the program can be written so that it reads back: at most 31 blocks, no text
// holding a double quote, and Schritte, Startfrequenz, Maximalfrequenz and
// Satzpause of every block whole numbers in the sense of Feldleser.h (an empty field is none).
// Otherwise a German message naming the first value that stands in the way.
QString ProgrammFelderUngeeignet(const ProgrammFelder &programm);

// Reads and checks a whole program file. The number fields (block count, Schritte,
// Startfrequenz, Maximalfrequenz, Satzpause, Rampe) take whole numbers as described in
// Feldleser.h, quoted or bare; the block count is 0 to 31. Richtungsumkehr and Richtung must
// hold numbers. The three program values and Satzdurchläufe go into entry fields as they
// stand, so each must be a text its field takes (FeldNimmtText, under the default locale). The file
// is refused when it ends before the last value of the last block, when a quoted value lacks its
// closing quote, or when a number field holds no number in range. Whatever follows the last block
// is ignored.
Programmlesung ProgrammAusDaten(const QByteArray &daten);

// As ProgrammAusDaten, for the file at the path; a file that cannot be opened, or one larger
// than 1 MiB (no program comes near that), is refused with a message naming the path.
Programmlesung ProgrammAusDatei(const QString &pfad);

// Writes the program to the path through a temporary file that replaces the old file only once
// it is complete: on any failure the old file stays as it was. Returns false and puts a German
// message naming the path and the reason into *fehler on failure. A program that would not read
// back (ProgrammFelderUngeeignet) is refused before anything is written.
bool ProgrammDateiSpeichern(const QString &pfad, const ProgrammFelder &programm,
                            QString *fehler = nullptr);

} // namespace Dateizugriff
