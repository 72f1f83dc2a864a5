#include "dialogs/Handbefehle.h"

#include "ramp/Zahlentest.h"

namespace {

constexpr int KleinsterEilgangcode = 5;   // 300 Hz
constexpr int GroessterEilgangcode = 239; // 12000 Hz
constexpr double KleinsteReferenzfrequenz = 100.0;
constexpr double GroessteReferenzfrequenz = 600.0;

// A number too large for any type: its sign decides which bound it breaks.
bool istNegativ(const QString &text, const QLocale &locale) {
    const QString t = text.trimmed();
    return t.startsWith(QLatin1Char('-')) || t.startsWith(QChar(0x2212)) ||
           (!locale.negativeSign().isEmpty() && t.startsWith(locale.negativeSign()));
}

Handpruefung abgelehnt(const QString &meldung) {
    return {std::nullopt, meldung};
}

} // namespace

Handpruefung EilgangPruefen(Fahrtrichtung richtung, const QString &frequenz,
                            const QString &schritte, const QLocale &locale) {
    const Gleitzahl f = GleitzahlAusText(frequenz, locale);
    if (f.fehler == Zahlfehler::Typfehler)
        return abgelehnt(Handmeldung::FrequenzKeineZahl);
    if (f.fehler == Zahlfehler::Ueberlauf)
        return abgelehnt(istNegativ(frequenz, locale) ? Handmeldung::FrequenzZuKlein
                                                      : Handmeldung::FrequenzZuGross);
    const std::optional<int> code = Frequenzcode(f.wert);
    if (!code)
        return abgelehnt(f.wert < 0 ? Handmeldung::FrequenzZuKlein : Handmeldung::FrequenzZuGross);
    if (*code < KleinsterEilgangcode)
        return abgelehnt(Handmeldung::FrequenzZuKlein);
    if (*code > GroessterEilgangcode)
        return abgelehnt(Handmeldung::FrequenzZuGross);

    const Ganzzahl s = GanzzahlAusText(schritte, locale);
    if (s.fehler == Zahlfehler::Typfehler)
        return abgelehnt(Handmeldung::SchritteKeineZahl);
    if (!s.ok() || s.wert < 0 || s.wert > HoechsteSchrittzahl)
        return abgelehnt(Handmeldung::SchritteAusserhalb);

    return {Eilgang(richtung, *code, s.wert), QString(), double(s.wert) / ((*code + 1) * 50.0)};
}

Handpruefung ReferenzfahrtPruefen(Fahrtrichtung richtung, const QString &frequenz,
                                  const QLocale &locale) {
    const Gleitzahl f = GleitzahlAusText(frequenz, locale);
    if (f.fehler == Zahlfehler::Typfehler)
        return abgelehnt(Handmeldung::FrequenzKeineZahl);
    if (f.fehler == Zahlfehler::Ueberlauf)
        return abgelehnt(istNegativ(frequenz, locale) ? Handmeldung::ReferenzZuNiedrig
                                                      : Handmeldung::ReferenzZuHoch);
    if (f.wert > GroessteReferenzfrequenz)
        return abgelehnt(Handmeldung::ReferenzZuHoch);
    if (f.wert < KleinsteReferenzfrequenz)
        return abgelehnt(Handmeldung::ReferenzZuNiedrig);
    const std::optional<int> code = Frequenzcode(f.wert);
    if (!code)
        return abgelehnt(Handmeldung::FrequenzKeineZahl);
    return {ReferenzfahrtStart(*code, richtung), QString()};
}

std::optional<Befehl> EinstellungenAusTexten(const QString &schrittmodus,
                                             const QString &phasenstrom, bool absenkungEin) {
    return Einstellungen(SchrittmodusCode(schrittmodus), PhasenstromCode(phasenstrom),
                         AbsenkungCode(absenkungEin));
}
