#pragma once

#include "link/Befehl.h"

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

// The controller's commands as byte sequences with their pauses.
//
// Every builder that takes a value checks that the value fits the bytes it travels in and
// returns std::nullopt otherwise: a command is either built exactly or not at all, a value is
// never cut down to fit. The callers check the user's input with their own messages first; a
// refused build is a last line of defence and means "send nothing".

// First bytes of the commands.
namespace Befehlsbyte {
constexpr quint8 ManuellAus = 0;
constexpr quint8 Einstellungen = 1;
constexpr quint8 ManuellEin = 2;
constexpr quint8 Programmuebertragung = 3;
constexpr quint8 Programmstart = 4;
constexpr quint8 Satzstart = 5;
constexpr quint8 Referenzfahrt = 6;
constexpr quint8 EinzelschrittLinks = 10;
constexpr quint8 EinzelschrittRechts = 20;
constexpr quint8 EilgangLinks = 30;
constexpr quint8 EilgangRechts = 40;
constexpr quint8 Stopp = 255;
} // namespace Befehlsbyte

// Largest step count that three bytes carry.
constexpr qint64 HoechsteSchrittzahl = 16777215;

enum class Fahrtrichtung { Links, Rechts };

// A frequency in Hz as its one-byte code: hertz / 50 - 1, rounded to the nearest whole
// number, a half going to the even neighbour (125 -> 2, 175 -> 2). std::nullopt when hertz is
// not finite or the code does not fit a signed 16-bit number. The result may be negative or
// above 255; the caller checks its own range before sending.
std::optional<int> Frequenzcode(double hertz);

// The frequency in Hz a code stands for: (code + 1) * 50.
inline int FrequenzAusCode(int code) {
    return (code + 1) * 50;
}

// A step count as three bytes, least significant first, each followed by 1 ms.
// std::nullopt outside 0..HoechsteSchrittzahl.
std::optional<Befehl> SendeZahl24(qint64 zahl);
// The manual travel variant: the same three bytes, each preceded by 1 ms, nothing after the
// last one.
std::optional<Befehl> SchritteSenden(qint64 zahl);

// Program-level values of a transfer, each one byte (0..255).
struct Programmkopf {
    int programmdurchlaeufe = 0;
    int programmpause = 0; // 1 = 100 ms, 0 = external start
    int befehlspause = 0;  // 1 = 100 ms, 0 = external start
};

// One block of a transfer, with the values the window has checked.
struct Satzwerte {
    qint64 schritte = 0;     // 0..HoechsteSchrittzahl
    int startfrequenz = 0;   // Hz; sent as its Frequenzcode, which must lie in 0..255
    int maximalfrequenz = 0; // Hz; likewise
    int durchlaeufe = 0;     // 0..255
    int pause = 0;           // 0..255
    int richtung = 0;        // 1 = rechts; any other value is sent as links
    bool richtungsumkehr = false;
    int rampe = 0; // 0..255 (1..4 are the ramps the controller knows)
};

// Program transfer: header 3, Programmdurchläufe, Programmpause, N, Befehlspause (1 ms after
// each, 20 ms after the last), then ten bytes per block, each followed by 1 ms and the block's
// last byte by a further 60 ms. Before the first byte of block i stands Marke i (1-based).
// N is the number of blocks given. std::nullopt when any value does not fit its byte(s) or
// there are more than 255 blocks.
std::optional<Befehl> Programmuebertragung(const Programmkopf &kopf,
                                           const std::vector<Satzwerte> &saetze);

// Program start: 4, no pause.
Befehl Programmstart();
// Block start: 5, block number n (1-based), each followed by 1 ms. std::nullopt unless
// 0 <= n <= 255.
std::optional<Befehl> Satzstart(int n);

// Manual mode: enter (2) and leave (0), no pause.
Befehl ManuellEin();
Befehl ManuellAus();
// Single stepping: 10 (links) or 20 (rechts); its stop is 255. No pauses.
Befehl Einzelschritt(Fahrtrichtung richtung);
Befehl EinzelschrittStopp();
// Rapid travel: 30 (links) or 40 (rechts), 1 ms, frequency code, 1 ms, then SchritteSenden.
// std::nullopt unless 0 <= frequenzcode <= 255 and the step count fits three bytes.
std::optional<Befehl> Eilgang(Fahrtrichtung richtung, int frequenzcode, qint64 schritte);

// Reference run start: 6, frequency code, 1 (links) or 2 (rechts), no pauses.
// std::nullopt unless 0 <= frequenzcode <= 255.
std::optional<Befehl> ReferenzfahrtStart(int frequenzcode, Fahrtrichtung richtung);
// Reference run stop: 255 followed by 0.1 ms four times, then 255 followed by 0.5 s.
Befehl ReferenzfahrtStopp();

// Controller settings: 1, step mode code, phase current code, reduction code, no pauses.
// std::nullopt unless every code lies in 0..255.
std::optional<Befehl> Einstellungen(int schrittmodusCode, int phasenstromCode, int absenkungCode);

// Settings codes from the dialog's texts (entries in model/Einstellwerte.h), compared exactly.
// Step mode: the entry's position; phase current: 2 to the power of the position; 0 when the
// text matches no entry.
int SchrittmodusCode(const QString &text);
int PhasenstromCode(const QString &text);
// Current reduction on the wire: 0 when on, 1 when off.
inline int AbsenkungCode(bool ein) {
    return ein ? 0 : 1;
}
