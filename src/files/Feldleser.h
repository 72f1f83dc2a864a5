#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Reading the program's small text files field by field, and turning fields into numbers.
//
// A file is a run of fields. Reading one field:
//  - leading blanks (space, tab) are skipped;
//  - a field that begins with a double quote runs to the next double quote; both quotes are
//    dropped, and whatever follows the closing quote up to the next comma or line end is
//    ignored;
//  - any other field runs to the next comma or line end, taken as it stands;
//  - the comma or line end that ends a field is consumed with it. A line end is CR LF; a lone
//    LF or a lone CR is taken as a line end too.
// When only blanks (or nothing) remain, the data is at its end and no further field is read.
// So "\"1\"\r\n" holds one field, "\r\n" holds one empty field, "" and "   " hold none.
//
// Every byte is looked at a bounded number of times, so reading is linear in the input, and
// any byte sequence is safe to read.
namespace Dateizugriff {

struct Feld {
    QByteArray inhalt;                // the field's bytes without quotes
    bool inAnführungszeichen = false; // began with a double quote
    bool abgeschlossen = true;        // false: a quoted field whose closing quote never came
    // The field's text: UTF-8, or Latin-1 when the bytes are not valid UTF-8 (files written by
    // older Windows installations).
    QString text() const;
};

class Feldleser {
public:
    // A UTF-8 byte order mark at the very start is skipped.
    explicit Feldleser(const QByteArray &daten);

    // The next field, or nothing at the end of the data.
    std::optional<Feld> lesen();
    // True when no further field can be read.
    bool amEnde();

private:
    void leerzeichenÜberspringen();
    void trennerVerbrauchen();

    QByteArray m_daten;
    qsizetype m_pos = 0;
};

// Whole numbers in files and fields. Accepted: optional blanks, an optional sign (+ or -), then
// decimal digits with an optional fractional part after a point ("12", "-3", "+7", "2.5",
// ".5", "4."), then optional blanks. Nothing else: no thousands separators, no comma as decimal
// separator, no exponent, no hex. The fractional part is rounded to the nearest whole number,
// a half to the even neighbour ("2.5" is 2, "3.5" is 4). Numbers outside the target type's range
// after rounding are refused.
enum class Zahlfehler { KeineZahl, AusserhalbDesBereichs };

struct Zahlwert {
    bool negativ = false;
    bool zuGroß = false;          // integer part beyond what is tracked (far outside 32 bits)
    quint64 ganzteil = 0;         // integer part, exact while !zuGroß
    int ersteNachkommastelle = 0; // 0..9
    bool weitereNachkommastellen = false; // any non-zero digit after the first fractional one

    bool istNull() const {
        return !zuGroß && ganzteil == 0 && ersteNachkommastelle == 0 && !weitereNachkommastellen;
    }
    // Exactly the value 1 (not 1.4, not -1; "1.000" is 1).
    bool istEins() const {
        return !negativ && !zuGroß && ganzteil == 1 && ersteNachkommastelle == 0 &&
               !weitereNachkommastellen;
    }
};

// The number a text holds, or nothing when it holds none in the form above.
std::optional<Zahlwert> ZahlLesen(QByteArrayView text);

struct Ganzzahlergebnis {
    std::optional<qint64> wert;
    Zahlfehler fehler = Zahlfehler::KeineZahl; // meaningful only without a value
};

// Rounds half to even and checks [minimum, maximum].
Ganzzahlergebnis GanzzahlLesen(QByteArrayView text, qint64 minimum, qint64 maximum);

std::optional<qint32> Ganzzahl32(QByteArrayView text);
std::optional<qint16> Ganzzahl16(QByteArrayView text);

} // namespace Dateizugriff
