#include "link/Protokoll.h"

#include "model/Einstellwerte.h"

#include <cmath>

namespace {

constexpr double EineMillisekunde = 0.001;
constexpr double KopfEnde = 0.02;
constexpr double SatzEnde = 0.06;
constexpr double StoppKurz = 0.0001;
constexpr double StoppLang = 0.5;

// Nearest whole number, a half going to the even neighbour; independent of the floating
// point environment's rounding mode.
double rundeHalbAufGerade(double x) {
    const double unten = std::floor(x);
    const double rest = x - unten;
    if (rest > 0.5)
        return unten + 1;
    if (rest < 0.5)
        return unten;
    return std::fmod(unten, 2.0) == 0 ? unten : unten + 1;
}

bool istByte(qint64 wert) {
    return wert >= 0 && wert <= 255;
}

bool istZahl24(qint64 wert) {
    return wert >= 0 && wert <= HoechsteSchrittzahl;
}

quint8 niedrig(qint64 zahl) {
    return quint8(zahl & 0xFF);
}
quint8 mitte(qint64 zahl) {
    return quint8((zahl >> 8) & 0xFF);
}
quint8 hoch(qint64 zahl) {
    return quint8((zahl >> 16) & 0xFF);
}

// Appends the three bytes, each followed by 1 ms. The caller has checked the range.
void zahl24Anhaengen(Befehl &b, qint64 zahl) {
    Q_ASSERT(istZahl24(zahl));
    sendePause(b, niedrig(zahl), EineMillisekunde);
    sendePause(b, mitte(zahl), EineMillisekunde);
    sendePause(b, hoch(zahl), EineMillisekunde);
}

// Appends the three bytes, each preceded by 1 ms. The caller has checked the range.
void schritteAnhaengen(Befehl &b, qint64 zahl) {
    Q_ASSERT(istZahl24(zahl));
    warte(b, EineMillisekunde);
    sende(b, niedrig(zahl));
    warte(b, EineMillisekunde);
    sende(b, mitte(zahl));
    warte(b, EineMillisekunde);
    sende(b, hoch(zahl));
}

std::optional<int> frequenzByte(int hertz) {
    const auto code = Frequenzcode(hertz);
    if (!code || !istByte(*code))
        return std::nullopt;
    return code;
}

} // namespace

std::optional<int> Frequenzcode(double hertz) {
    if (!std::isfinite(hertz))
        return std::nullopt;
    const double code = rundeHalbAufGerade(hertz / 50.0 - 1.0);
    if (code < -32768.0 || code > 32767.0)
        return std::nullopt;
    return int(code);
}

std::optional<Befehl> SendeZahl24(qint64 zahl) {
    if (!istZahl24(zahl))
        return std::nullopt;
    Befehl b;
    zahl24Anhaengen(b, zahl);
    return b;
}

std::optional<Befehl> SchritteSenden(qint64 zahl) {
    if (!istZahl24(zahl))
        return std::nullopt;
    Befehl b;
    schritteAnhaengen(b, zahl);
    return b;
}

std::optional<Befehl> Programmuebertragung(const Programmkopf &kopf,
                                           const std::vector<Satzwerte> &saetze) {
    if (!istByte(kopf.programmdurchlaeufe) || !istByte(kopf.programmpause) ||
        !istByte(kopf.befehlspause) || saetze.size() > 255)
        return std::nullopt;

    Befehl b;
    b.reserve(10 + saetze.size() * 22);
    sendePause(b, Befehlsbyte::Programmuebertragung, EineMillisekunde);
    sendePause(b, quint8(kopf.programmdurchlaeufe), EineMillisekunde);
    sendePause(b, quint8(kopf.programmpause), EineMillisekunde);
    sendePause(b, quint8(saetze.size()), EineMillisekunde);
    sendePause(b, quint8(kopf.befehlspause), KopfEnde);

    int nummer = 0;
    for (const Satzwerte &s : saetze) {
        ++nummer;
        const auto start = frequenzByte(s.startfrequenz);
        const auto maximal = frequenzByte(s.maximalfrequenz);
        if (!istZahl24(s.schritte) || !start || !maximal || !istByte(s.durchlaeufe) ||
            !istByte(s.pause) || !istByte(s.rampe))
            return std::nullopt;

        b.push_back(Befehlsschritt::markeBei(nummer));
        zahl24Anhaengen(b, s.schritte);
        sendePause(b, quint8(*start), EineMillisekunde);
        sendePause(b, quint8(*maximal), EineMillisekunde);
        sendePause(b, quint8(s.durchlaeufe), EineMillisekunde);
        sendePause(b, quint8(s.pause), EineMillisekunde);
        sendePause(b, s.richtung == 1 ? 1 : 0, EineMillisekunde);
        sendePause(b, s.richtungsumkehr ? 1 : 0, EineMillisekunde);
        sendePause(b, quint8(s.rampe), EineMillisekunde);
        warte(b, SatzEnde);
    }
    return b;
}

Befehl Programmstart() {
    return {Befehlsschritt::byte(Befehlsbyte::Programmstart)};
}

std::optional<Befehl> Satzstart(int n) {
    if (!istByte(n))
        return std::nullopt;
    Befehl b;
    sendePause(b, Befehlsbyte::Satzstart, EineMillisekunde);
    sendePause(b, quint8(n), EineMillisekunde);
    return b;
}

Befehl ManuellEin() {
    return {Befehlsschritt::byte(Befehlsbyte::ManuellEin)};
}

Befehl ManuellAus() {
    return {Befehlsschritt::byte(Befehlsbyte::ManuellAus)};
}

Befehl Einzelschritt(Fahrtrichtung richtung) {
    return {Befehlsschritt::byte(richtung == Fahrtrichtung::Links
                                     ? Befehlsbyte::EinzelschrittLinks
                                     : Befehlsbyte::EinzelschrittRechts)};
}

Befehl EinzelschrittStopp() {
    return {Befehlsschritt::byte(Befehlsbyte::Stopp)};
}

std::optional<Befehl> Eilgang(Fahrtrichtung richtung, int frequenzcode, qint64 schritte) {
    if (!istByte(frequenzcode) || !istZahl24(schritte))
        return std::nullopt;
    Befehl b;
    sendePause(b,
               richtung == Fahrtrichtung::Links ? Befehlsbyte::EilgangLinks
                                                : Befehlsbyte::EilgangRechts,
               EineMillisekunde);
    sendePause(b, quint8(frequenzcode), EineMillisekunde);
    schritteAnhaengen(b, schritte);
    return b;
}

std::optional<Befehl> ReferenzfahrtStart(int frequenzcode, Fahrtrichtung richtung) {
    if (!istByte(frequenzcode))
        return std::nullopt;
    Befehl b;
    sende(b, Befehlsbyte::Referenzfahrt);
    sende(b, quint8(frequenzcode));
    sende(b, richtung == Fahrtrichtung::Links ? 1 : 2);
    return b;
}

Befehl ReferenzfahrtStopp() {
    Befehl b;
    for (int i = 0; i < 4; ++i)
        sendePause(b, Befehlsbyte::Stopp, StoppKurz);
    sendePause(b, Befehlsbyte::Stopp, StoppLang);
    return b;
}

std::optional<Befehl> Einstellungen(int schrittmodusCode, int phasenstromCode, int absenkungCode) {
    if (!istByte(schrittmodusCode) || !istByte(phasenstromCode) || !istByte(absenkungCode))
        return std::nullopt;
    Befehl b;
    sende(b, Befehlsbyte::Einstellungen);
    sende(b, quint8(schrittmodusCode));
    sende(b, quint8(phasenstromCode));
    sende(b, quint8(absenkungCode));
    return b;
}

int SchrittmodusCode(const QString &text) {
    const auto position = Schrittmodi().indexOf(text);
    return position < 0 ? 0 : int(position);
}

int PhasenstromCode(const QString &text) {
    const auto position = Phasenströme().indexOf(text);
    return position < 0 ? 0 : 1 << position;
}
