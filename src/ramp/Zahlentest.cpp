#include "ramp/Zahlentest.h"

#include <cmath>
#include <limits>

namespace {

// The parts of an accepted text: the sign and the ASCII digits before and after the separator.
struct Zerlegung {
    bool zahl = false;
    bool negativ = false;
    QString ganz;
    QString bruch;
};

bool IstZiffer(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Consumes `vorsatz` at `pos` when it is there (an empty `vorsatz` never matches).
bool Nimm(const QString &text, qsizetype &pos, const QString &vorsatz) {
    if (vorsatz.isEmpty() || !QStringView(text).mid(pos).startsWith(vorsatz))
        return false;
    pos += vorsatz.size();
    return true;
}

Zerlegung Zerlege(const QString &text, const QLocale &locale) {
    Zerlegung z;
    qsizetype anfang = 0;
    qsizetype ende = text.size();
    while (anfang < ende && text.at(anfang).isSpace())
        ++anfang;
    while (ende > anfang && text.at(ende - 1).isSpace())
        --ende;
    const QString kern = text.mid(anfang, ende - anfang);

    qsizetype pos = 0;
    if (Nimm(kern, pos, QStringLiteral("-")) || Nimm(kern, pos, locale.negativeSign()))
        z.negativ = true;
    else if (!Nimm(kern, pos, QStringLiteral("+")))
        Nimm(kern, pos, locale.positiveSign());

    const qsizetype ganzAnfang = pos;
    while (pos < kern.size() && IstZiffer(kern.at(pos)))
        ++pos;
    z.ganz = kern.mid(ganzAnfang, pos - ganzAnfang);

    if (Nimm(kern, pos, locale.decimalPoint())) {
        const qsizetype bruchAnfang = pos;
        while (pos < kern.size() && IstZiffer(kern.at(pos)))
            ++pos;
        z.bruch = kern.mid(bruchAnfang, pos - bruchAnfang);
    }

    z.zahl = pos == kern.size() && (!z.ganz.isEmpty() || !z.bruch.isEmpty());
    return z;
}

} // namespace

Ganzzahl GanzzahlAusText(const QString &text, const QLocale &locale) {
    const Zerlegung z = Zerlege(text, locale);
    if (!z.zahl)
        return {Zahlfehler::Typfehler, 0};

    // More than ten significant digits are beyond 32 bits whatever the fraction does.
    qsizetype erste = 0;
    while (erste < z.ganz.size() && z.ganz.at(erste) == QLatin1Char('0'))
        ++erste;
    const QString signifikant = z.ganz.mid(erste);
    if (signifikant.size() > 10)
        return {Zahlfehler::Ueberlauf, 0};
    qint64 betrag = signifikant.isEmpty() ? 0 : signifikant.toLongLong();

    // Round the magnitude half to even; the sign is symmetric, so this is half to even of the
    // signed value as well.
    if (!z.bruch.isEmpty()) {
        const int erstesBruch = z.bruch.at(0).unicode() - '0';
        bool restUngleichNull = false;
        for (qsizetype i = 1; i < z.bruch.size(); ++i)
            restUngleichNull = restUngleichNull || z.bruch.at(i) != QLatin1Char('0');
        const bool auf =
            erstesBruch > 5 || (erstesBruch == 5 && (restUngleichNull || betrag % 2 != 0));
        if (auf)
            ++betrag;
    }

    const qint64 wert = z.negativ ? -betrag : betrag;
    if (wert < std::numeric_limits<qint32>::min() || wert > std::numeric_limits<qint32>::max())
        return {Zahlfehler::Ueberlauf, 0};
    return {Zahlfehler::Keiner, qint32(wert)};
}

Gleitzahl GleitzahlAusText(const QString &text, const QLocale &locale) {
    const Zerlegung z = Zerlege(text, locale);
    if (!z.zahl)
        return {Zahlfehler::Typfehler, 0.0};

    QString c = z.negativ ? QStringLiteral("-") : QString();
    c += z.ganz.isEmpty() ? QStringLiteral("0") : z.ganz;
    if (!z.bruch.isEmpty())
        c += QLatin1Char('.') + z.bruch;

    bool ok = false;
    const double wert = QLocale::c().toDouble(c, &ok);
    if (!ok) {
        // The text is well formed, so a refusal means the value is out of range: too large is
        // an overflow, too small to tell from zero is zero.
        if (std::isinf(wert) || std::isnan(wert))
            return {Zahlfehler::Ueberlauf, 0.0};
        return {Zahlfehler::Keiner, 0.0};
    }
    if (!std::isfinite(wert))
        return {Zahlfehler::Ueberlauf, 0.0};
    return {Zahlfehler::Keiner, wert};
}

std::optional<double> ZahlAusText(const QString &text, const QLocale &locale) {
    const Gleitzahl g = GleitzahlAusText(text, locale);
    if (!g.ok())
        return std::nullopt;
    return g.wert;
}

qint64 RundeHalbGerade(double wert) {
    if (std::isnan(wert))
        return 0;
    // 2^63 is exactly representable; everything at or above it does not fit.
    constexpr double grenze = 9223372036854775808.0;
    if (wert >= grenze)
        return std::numeric_limits<qint64>::max();
    if (wert < -grenze)
        return std::numeric_limits<qint64>::min();
    const double unten = std::floor(wert);
    const double rest = wert - unten; // exact for doubles
    double ergebnis = unten;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(unten, 2.0) != 0.0))
        ergebnis = unten + 1.0;
    if (ergebnis >= grenze)
        return std::numeric_limits<qint64>::max();
    return qint64(ergebnis);
}
