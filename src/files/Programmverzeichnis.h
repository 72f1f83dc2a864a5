#pragma once

#include <QString>

// Where the small files (port.txt, manuell.txt, zelkor.txt) and the COMn port links live.
//
// Beside the executable, as in a program folder set up by hand, when that folder can be
// written; for an installed program, whose folder the user cannot write, in the user's
// configuration folder (Benutzerordner()). A file that lies beside the executable is used there
// in either case. A test or tool may set another folder, which then holds everything.
QString Programmverzeichnis();
void setProgrammverzeichnis(const QString &verzeichnis);

// Path of a file or link in the place the rule above gives, e.g. ProgrammDateipfad("port.txt").
QString ProgrammDateipfad(const QString &dateiname);

// The rule itself: name beside the program when it lies there (a dangling link counts) or the
// program folder is writable, otherwise in the user's folder.
QString Dateiort(const QString &dateiname, const QString &programmordner, bool beschreibbar,
                 const QString &benutzerordner);

// The user's configuration folder of the program (~/.config/Zelkor_V2), the same for the
// program, the virtual controller and every other tool of it.
QString Benutzerordner();
