#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <optional>

// Turning the text of an entry field into a number.
//
// Accepted texts, for whole and floating numbers alike:
//
//   [blanks] [sign] digits [separator digits] [blanks]
//   [blanks] [sign] [digits] separator digits [blanks]
//   [blanks] [sign] digits separator [blanks]
//
// - blanks: any white space (QChar::isSpace) before and after the number, none inside it;
// - sign: '+' or '-', or the locale's own plus or minus sign (U+2212 in some locales);
// - digits: ASCII 0..9; at least one digit somewhere;
// - separator: the locale's decimal separator and nothing else. A '.' is taken only where it is
//   the locale's separator ("12.5" is a number in an English locale but not in a German one,
//   where the point would be a thousands separator).
//
// Thousands separators, exponents, currency signs and blanks between sign and digits are not
// accepted; any such text, like any other text that does not match, is a type error. So are
// the empty text, blanks alone and a lone sign.

enum class Zahlfehler {
    Keiner,
    Typfehler, // the text is not a number
    Ueberlauf, // a number, but too large for the target type
};

struct Ganzzahl {
    Zahlfehler fehler = Zahlfehler::Keiner;
    qint32 wert = 0; // 0 unless ok()
    bool ok() const { return fehler == Zahlfehler::Keiner; }
};

struct Gleitzahl {
    Zahlfehler fehler = Zahlfehler::Keiner;
    double wert = 0.0; // 0 unless ok()
    bool ok() const { return fehler == Zahlfehler::Keiner; }
};

// A field's text as a 32-bit signed whole number. A fractional part is rounded to the nearest
// whole number, an exact half to the even neighbour ("12,5" -> 12, "13,5" -> 14 in German).
// The rounding is done on the decimal digits as written, so it is exact however long the text
// is. Ueberlauf when the rounded value lies outside -2147483648 .. 2147483647.
Ganzzahl GanzzahlAusText(const QString &text, const QLocale &locale = QLocale());

// A field's text as a floating number (frequencies, the step count of the grid). Ueberlauf
// only when the magnitude exceeds the double range; digits too small for a double give 0.
Gleitzahl GleitzahlAusText(const QString &text, const QLocale &locale = QLocale());

// Shorthand: the value when the text is a number that fits, otherwise nothing.
std::optional<double> ZahlAusText(const QString &text, const QLocale &locale = QLocale());

// Nearest whole number, an exact half going to the even neighbour: 5.5 -> 6, 6.5 -> 6,
// -2.5 -> -2. Values beyond the 64-bit range give the nearest end of the range, NaN gives 0.
qint64 RundeHalbGerade(double wert);
