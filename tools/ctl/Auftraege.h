#pragma once

#include "link/Befehl.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

// What zelkorctl does with a program file and the commands' values, without any port: the
// transfer's checks, the travel times and the bytes as text.

// A program file read and checked as the main window checks it before a transfer.
struct Dateiauftrag {
    QString meldung;              // empty when the file reads and every check passed
    int anzahlSaetze = 0;         // valid when no meldung
    std::optional<Befehl> befehl; // the transfer, set when no meldung
};

// Reads the file (refused as the window refuses it when opening it), then runs the transfer's
// checks in the window's order: the program values, each block's fields, the ramps, and the
// building of the bytes. The message is the window's, for the first check that fails.
Dateiauftrag DateiPruefen(const QString &pfad);

// The travel times of a file's blocks as the window's labels show them, the warning and
// suggestion where the maximal frequency is not reached, and the travel time of the whole
// program. meldung is set (and nothing else) when the file cannot be read.
struct Zeitenbericht {
    QString meldung;
    QStringList zeilen; // one line per block, then the program's line
    QJsonObject json;   // the same values
};
Zeitenbericht ZeitenBerechnen(const QString &pfad);

// The bytes of a command in hex, one line each with the pause that follows it ("03  1 ms"),
// and a line "# Satz i" where block i begins.
QString BytesText(const Befehl &befehl);

// A command built from the command line's values, or the message saying which value is wrong.
struct Befehlsauftrag {
    QString meldung;
    std::optional<Befehl> befehl;
};

// Controller settings from the texts of the settings window's lists and "ein"/"aus". An empty
// text takes the value kept in zelkor.txt in the program directory. meldung names a text that
// is no entry.
Befehlsauftrag EinstellungenBauen(const QString &schrittmodus, const QString &phasenstrom,
                                  const QString &stromabsenkung);

// The block start for the text of a block number (1 to 20).
Befehlsauftrag SatzstartBauen(const QString &nummer);
