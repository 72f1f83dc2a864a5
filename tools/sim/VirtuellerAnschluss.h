#pragma once

#include "VirtuellerController.h"

#include "link/Simulatorlink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QSocketNotifier;

// The virtual controller on a real pseudo-terminal: the program reaches it as port n through
// the entry COMn in its directory, a link to the pseudo-terminal's device.
//
// The controller reads the master side with a socket notifier on the event loop it lives in,
// hands what arrives to a VirtuellerController and sends each single step's answer character
// after a delay. It holds the device side open itself, so the program may close and reopen
// the port between commands without hanging up the line.
class VirtuellerAnschluss : public QObject {
    Q_OBJECT
public:
    // The character that ends a single step.
    static constexpr char Antwortzeichen = 'E';
    static constexpr int StandardVerzoegerungMs = 50;

    explicit VirtuellerAnschluss(QObject *parent = nullptr);
    // Removes the COMn entry and closes the pseudo-terminal.
    ~VirtuellerAnschluss() override;

    // Opens the pseudo-terminal and creates COM<portnummer> in verzeichnis, marked as a virtual
    // controller's link (Simulatorlink). An existing entry of that name is only replaced when it
    // is the link of a virtual controller that was killed; anything else, a link to nothing
    // included, is refused. false with fehler() on failure.
    bool starten(int portnummer, const QString &verzeichnis);
    // Removes the entry (only if it still points to this controller) and its marker, and closes
    // the device.
    void beenden();
    bool laeuft() const { return m_master >= 0; }
    QString fehler() const { return m_fehler; }

    QString linkPfad() const { return m_link; }
    QString geraet() const { return m_geraet; }

    void setAntwortverzoegerung(int ms) { m_verzoegerungMs = ms; }
    int antwortverzoegerung() const { return m_verzoegerungMs; }
    int gesendeteAntworten() const { return m_antworten; }

    VirtuellerController &controller() { return m_controller; }
    const VirtuellerController &controller() const { return m_controller; }

    // Seconds on the controller's clock (time 0 when it was made).
    double jetzt() const;

signals:
    // Lines to show: decoded commands, answers sent, faults of the device.
    void zeilen(const QStringList &zeilen);

private:
    void lesen();
    void ruhe();
    void ausgeben(const VirtuellerController::Ausgabe &aus);
    void antworten();
    void ruheStellen();

    QElapsedTimer m_uhr;
    VirtuellerController m_controller;
    int m_master = -1;
    int m_slave = -1;
    QString m_geraet;
    QString m_link;
    QString m_fehler;
    Simulatorlink::Besitz m_marke;
    QSocketNotifier *m_leser = nullptr;
    QTimer m_ruheTimer;
    int m_verzoegerungMs = StandardVerzoegerungMs;
    int m_antworten = 0;
};
