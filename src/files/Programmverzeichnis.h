#pragma once

#include <QString>

// The directory the program keeps its small files in and looks for COMn port links in:
// the directory of the executable, unless a test or tool has set another one.
QString Programmverzeichnis();
void setProgrammverzeichnis(const QString &verzeichnis);

// Path of a file in that directory, e.g. ProgrammDateipfad("port.txt").
QString ProgrammDateipfad(const QString &dateiname);
