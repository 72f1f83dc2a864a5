#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The checks a program passes before it is sent to the controller, without the window. Each
// returns the message of the first failed check (empty when everything passed); the window
// shows it titled "Übertragung abgebrochen !" and sends nothing.

struct Programmpruefung {
    QString meldung;
    int programmdurchlaeufe = 0, programmpause = 0, befehlspause = 0; // valid when no meldung
};

// The number of blocks (at most 20) and the three program values (0 to 255 each).
Programmpruefung PruefeProgramm(int anzahlSaetze, const QString &programmdurchlaeufe,
                                const QString &programmpause, const QString &befehlspause);

// One block's fields in the order they are checked. Each value is taken before its range is
// tested; the window stores what was taken into the block, so a value that stops the transfer
// stays in the block as typed.
struct Satzpruefung {
    QString meldung;
    std::optional<qint32> startfrequenz, maximalfrequenz, satzdurchlaeufe, satzpause;
    qint64 schritte = 0; // valid when no meldung
};

Satzpruefung PruefeSatz(int nummer, const QString &schritte, const QString &startfrequenz,
                        const QString &maximalfrequenz, const QString &satzdurchlaeufe,
                        const QString &satzpause);
