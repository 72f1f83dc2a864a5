#pragma once

#include "link/Befehl.h"
#include "link/Protokoll.h"

#include <QLocale>
#include <QString>

#include <optional>

// The commands of the direct-control windows, built from what the operator typed. Each check
// either gives the complete command or the message that tells why nothing is sent; a command
// is never built from a value that does not fit its bytes.

namespace Handmeldung {
// Manual travel, message box titled "Zelkor_V2".
inline const QString FrequenzZuKlein = QStringLiteral("Frequenz muß mindestens 300 Hz betragen!");
inline const QString FrequenzZuGross = QStringLiteral("Frequenz muß kleiner als 12001 Hz sein!");
inline const QString FrequenzKeineZahl = QStringLiteral("Frequenz muß eine Zahl sein!");
inline const QString SchritteKeineZahl = QStringLiteral("Schrittzahl muß eine ganze Zahl sein!");
inline const QString SchritteAusserhalb =
    QStringLiteral("Schrittzahl muß zwischen 0 und 16777215 liegen!");
inline const QString KeineAntwort =
    QStringLiteral("Die Steuerung hat auf den Einzelschritt nicht geantwortet.\n"
                   "Der Stopp wurde trotzdem gesendet.");
// Reference run, message box titled "Eingabefehler".
inline const QString ReferenzZuHoch = QStringLiteral("Höchstfrequenz 600 Hz überschritten!");
inline const QString ReferenzZuNiedrig = QStringLiteral("Mindestfrequenz 100 Hz unterschritten!");
} // namespace Handmeldung

struct Handpruefung {
    std::optional<Befehl> befehl; // the command when the input is accepted
    QString meldung;              // otherwise why it is refused
    double fahrzeit = 0;          // seconds a rapid travel takes at least: steps / frequency
    bool ok() const { return befehl.has_value(); }
};

// Rapid travel: direction byte, frequency code, 1 ms pauses and the step count. The frequency
// (a decimal number) must give a code from 5 to 239, that is above 275 Hz and below 12025 Hz;
// the step count (a whole number, a fractional part rounded half to even) must lie in
// 0..16777215.
Handpruefung EilgangPruefen(Fahrtrichtung richtung, const QString &frequenz,
                            const QString &schritte, const QLocale &locale = QLocale());

// Reference run start: the frequency must lie in 100..600 Hz, both ends included.
Handpruefung ReferenzfahrtPruefen(Fahrtrichtung richtung, const QString &frequenz,
                                  const QLocale &locale = QLocale());

// Controller settings from the two list texts and the reduction switch; a text that is no
// list entry gives code 0.
std::optional<Befehl> EinstellungenAusTexten(const QString &schrittmodus,
                                             const QString &phasenstrom, bool absenkungEin);
