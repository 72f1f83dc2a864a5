#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A pseudo-terminal standing in for the controller. The program side (the slave) is reached
// through a link COMn in a temporary program directory, as a user would attach a real device;
// the test reads and writes the master side.
class PtyPaar {
public:
    // Opens the pair and links COM<portnummer> to the slave in a fresh temporary directory,
    // which becomes the program directory (files and port links are looked up there).
    explicit PtyPaar(int portnummer = 1);
    // A further device in the directory of another pair (which stays the program directory).
    PtyPaar(int portnummer, const PtyPaar &nachbar);
    ~PtyPaar();

    bool ok() const { return m_master >= 0; }
    QString verzeichnis() const { return m_ort; }
    QString slavePfad() const { return m_slavePfad; }

    // Everything the program has written so far, waiting up to zeitMs for at least
    // mindestens bytes (0: just take what is there).
    QByteArray lesen(int mindestens = 0, int zeitMs = 2000);
    // Reads until no byte came for ruheMs.
    QByteArray lesenBisRuhe(int ruheMs = 200);
    void schreiben(const QByteArray &daten);

    // The controller goes away: the master is closed, the slave hangs up.
    void masterSchliessen();

private:
    void oeffnen(int portnummer, const QString &verzeichnis);

    QTemporaryDir m_verzeichnis;
    bool m_eigenesVerzeichnis = true;
    QString m_ort;
    QString m_slavePfad;
    int m_master = -1;
    int m_slaveOffen = -1; // keeps the slave alive between the program's opens
};
