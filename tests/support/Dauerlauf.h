#pragma once

#include "PtyPaar.h"

#include "files/Programmdatei.h"
#include "link/Dekodierer.h"

#include <QString>
#include <QStringList>

#include <memory>

class PCSteuerung;

// Repeated transfers of one 20-block program from the real main window to a pseudo-terminal,
// where the controller's decoder reads them back. The program is opened from a file through
// the menu, as an operator does; its blocks differ in every value, so a block sent in the wrong
// place or with a value of another block shows.
class Dauerlauf {
public:
    Dauerlauf();
    ~Dauerlauf();
    Dauerlauf(const Dauerlauf &) = delete;
    Dauerlauf &operator=(const Dauerlauf &) = delete;

    // The window is up and the program is loaded.
    bool bereit() const { return m_bereit; }
    // Why the last step failed.
    QString fehler() const { return m_fehler; }

    // One click on "Daten übertragen"; true when the decoder read exactly one complete transfer
    // carrying the program's values.
    bool uebertragen();
    int uebertragungen() const { return m_anzahl; }

    // Resident memory of this process in KiB, and the number of its open file descriptors.
    static qint64 residentKiB();
    static int offeneDeskriptoren();
    // The open file descriptors as "number -> what it refers to".
    static QStringList deskriptoren();

    static Dateizugriff::ProgrammFelder Programm();

private:
    bool vergleichen(const DekodierterBefehl &befehl);

    PtyPaar m_pty;
    std::unique_ptr<PCSteuerung> m_fenster;
    Dekodierer m_dekodierer;
    Dateizugriff::ProgrammFelder m_programm;
    bool m_bereit = false;
    QString m_fehler;
    int m_anzahl = 0;
};
