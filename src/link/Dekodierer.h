#pragma once

#include "link/Befehl.h"
#include "link/Protokoll.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <limits>
#include <optional>
#include <vector>

// Reads the bytes the controller receives and tells which commands they make, as the
// controller would: there is no framing, so a command is recognised by its first byte and
// ends after its known length (a transfer's length follows from its block count). Inside a
// command every byte is data, whatever its value (a 255 among a transfer's bytes is no stop,
// a 0 no "leave manual mode"). A byte that can begin no command is reported on its own as an
// unknown byte and reading goes on with the next byte.

// A transfer: the header's bytes, then those of each block.
constexpr size_t KopfLaenge = 5;
constexpr size_t SatzLaenge = 10;

enum class Befehlsart {
    ManuellAus,           // 0
    Einstellungen,        // 1, step mode, phase current, reduction
    ManuellEin,           // 2
    Programmuebertragung, // 3, header, 10 bytes per block
    Programmstart,        // 4
    Satzstart,            // 5, block number
    ReferenzfahrtStart,   // 6, frequency code, direction
    Einzelschritt,        // 10 links, 20 rechts
    Eilgang,              // 30 links, 40 rechts, frequency code, three step bytes
    Stopp,                // 255
    UnbekanntesByte       // any other first byte
};

// One block of a decoded transfer: the bytes as they came, with their meaning.
struct DekodierterSatz {
    qint64 schritte = 0;
    int startcode = 0; // frequency codes as sent
    int maximalcode = 0;
    int durchlaeufe = 0;
    int pause = 0;
    int richtungsbyte = 0; // 1 = rechts, 0 = links, anything else is not sent by this program
    int umkehrbyte = 0;    // 0 = ohne, 1 = mit Richtungsänderung
    int rampe = 0;         // 1..4: 2, 5, 10, 20 ms per 100 Hz

    int startfrequenz() const { return FrequenzAusCode(startcode); }
    int maximalfrequenz() const { return FrequenzAusCode(maximalcode); }
    bool rechts() const { return richtungsbyte == 1; }
    bool richtungsumkehr() const { return umkehrbyte != 0; }

    // "Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe 1, Pause 10, rechts, ohne
    // Richtungsänderung, Rampe 1 (2ms/100Hz)"
    QString text(int nummer) const;
};

// A decoded command. Which value fields are set depends on the kind; in an incomplete command
// (vollstaendig false) only those whose bytes arrived are set.
struct DekodierterBefehl {
    Befehlsart art = Befehlsart::UnbekanntesByte;
    bool vollstaendig = true;
    std::vector<quint8> bytes; // every byte that belongs to the command, in order
    // Arrival of the first and the last byte in seconds; NaN when no times were given.
    double zeitAnfang = std::numeric_limits<double>::quiet_NaN();
    double zeitEnde = std::numeric_limits<double>::quiet_NaN();

    // Programmuebertragung. saetze holds the complete blocks only; the bytes of a block cut
    // short are in bytes.
    std::optional<int> programmdurchlaeufe;
    std::optional<int> programmpause;
    std::optional<int> anzahlSaetze;
    std::optional<int> befehlspause;
    std::vector<DekodierterSatz> saetze;

    // Satzstart
    std::optional<int> satznummer;

    // Einzelschritt and Eilgang (from the first byte); ReferenzfahrtStart when its direction
    // byte is 1 (links) or 2 (rechts).
    std::optional<Fahrtrichtung> richtung;
    // ReferenzfahrtStart: the direction byte as it came.
    std::optional<int> richtungsbyte;
    // Eilgang, ReferenzfahrtStart
    std::optional<int> frequenzcode;
    // Eilgang
    std::optional<qint64> schritte;

    // Stopp: how many consecutive 255 this entry stands for. The decoder reports every 255 on
    // its own (1); StoppsZusammenfassen merges runs.
    int stoppAnzahl = 1;

    // Einstellungen: the codes as sent, and their meaning (std::nullopt for a code that names
    // no entry).
    std::optional<int> schrittmodusCode;
    std::optional<int> phasenstromCode;
    std::optional<int> absenkungCode;
    std::optional<QString> schrittmodus() const;
    std::optional<QString> phasenstrom() const;
    std::optional<bool> absenkungEin() const;

    // Eilgang, ReferenzfahrtStart: frequency in Hz from the code.
    std::optional<int> frequenz() const;

    // The command as readable German lines: one line, plus one indented line per block of a
    // transfer. An incomplete command says so and lists the bytes that came.
    QStringList zeilen() const;
    QString text() const { return zeilen().join(QLatin1Char('\n')); }
};

// Streaming decoder: feed the bytes as they arrive, in batches of any size; each call returns
// the commands that the new bytes completed.
class Dekodierer {
public:
    std::vector<DekodierterBefehl>
    einspeisen(quint8 byte, double zeit = std::numeric_limits<double>::quiet_NaN());
    // All bytes of a batch get the same arrival time.
    std::vector<DekodierterBefehl>
    einspeisen(const QByteArray &bytes, double zeit = std::numeric_limits<double>::quiet_NaN());
    std::vector<DekodierterBefehl>
    einspeisen(const std::vector<quint8> &bytes,
               double zeit = std::numeric_limits<double>::quiet_NaN());

    // The stream has ended: a command still waiting for bytes is returned as incomplete with
    // what was received. The decoder is then ready for a new stream.
    std::optional<DekodierterBefehl> abschliessen();

    // True while a command has begun and waits for more bytes.
    bool imBefehl() const { return m_laufend.has_value(); }

    // A whole stream at once, closed at its end.
    static std::vector<DekodierterBefehl> dekodiere(const QByteArray &bytes);
    // The bytes of a command (or of several appended), closed at the end. Arrival times are
    // the sums of the pauses before each byte, starting at 0 (time on the line not counted).
    static std::vector<DekodierterBefehl> dekodiere(const Befehl &befehl);

private:
    std::optional<DekodierterBefehl> m_laufend;
};

// Merges each run of consecutive stops into one entry whose stoppAnzahl counts them.
std::vector<DekodierterBefehl> StoppsZusammenfassen(const std::vector<DekodierterBefehl> &befehle);
