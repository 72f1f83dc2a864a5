#pragma once

#include "files/Programmdatei.h"
#include "link/Protokoll.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <vector>

// Small builders several tests share.

// Bytes from numbers: Bytes({3, 1, 255}).
QByteArray Bytes(std::initializer_list<int> werte);
// The bytes of a command as they go on the line, without its pauses.
QByteArray BytesVon(const Befehl &befehl);
// A command's bytes alone, as a command without pauses (for feeding raw bytes to a decoder).
Befehl BefehlAus(const QByteArray &bytes);
// A built command, or an empty one when the builder refused (so a comparison fails visibly).
Befehl Gebaut(const std::optional<Befehl> &befehl);
// A command as text for exact comparison: bytes as numbers, each pause in milliseconds
// ("1ms", "0.1ms"), markers as "#i", separated by blanks: "30 1ms 19 1ms 1ms 232".
QString Ablauf(const Befehl &befehl);

// A block of a transfer; the defaults are the block a new program starts with.
Satzwerte Testsatz(qint64 schritte = 5000, int startfrequenz = 300, int maximalfrequenz = 4000,
                   int durchlaeufe = 1, int pause = 10, int richtung = 1, bool umkehr = false,
                   int rampe = 1);

// A file's bytes, or "<nicht lesbar>" when it cannot be read.
QByteArray DateiInhalt(const QString &pfad);
// Writes the bytes as the whole file; false when that fails.
bool DateiSchreiben(const QString &pfad, const QByteArray &daten);

// A table of cases written as one text: the cases separated by '|', their columns by ';'.
QList<QStringList> Faelle(const QString &tabelle);
// A 20-block program whose blocks differ in every value (so a block sent in the wrong place or
// with another block's value shows), the last with the most steps: as the blocks' values, and
// as the fields of its file.
std::vector<Satzwerte> Dauerlaufsaetze();
Dateizugriff::ProgrammFelder Dauerlaufprogramm();
