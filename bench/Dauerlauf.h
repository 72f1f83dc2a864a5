#pragma once

#include "PtyPaar.h"

#include "files/Programmdatei.h"
#include "link/Protokoll.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class PCSteuerung;

// Repeated transfers of the 20-block program of Testdaten from the real main window to a
// pseudo-terminal. The program is opened from a file through the menu, as an operator does.
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

    // One click on "Daten übertragen"; true when exactly the program's bytes arrived.
    bool uebertragen();
    PCSteuerung *fenster() const { return m_fenster.get(); }

    // Resident memory of this process in KiB, and its open file descriptors ("number -> what
    // it refers to").
    static qint64 residentKiB();
    static QStringList deskriptoren();
    static int offeneDeskriptoren() { return int(deskriptoren().size()); }

private:
    PtyPaar m_pty;
    std::unique_ptr<PCSteuerung> m_fenster;
    QByteArray m_erwartet;
    bool m_bereit = false;
    QString m_fehler;
    int m_anzahl = 0;
};
