#pragma once

#include "link/Dekodierer.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

// The controller's side of the line as a plain object: it takes the bytes the controller
// receives with their arrival times, decodes them, keeps the last transferred program, says
// when a single step wants its answer and formats one readable German line per command.
// It reads no device and keeps no clock of its own, so it can be driven from a test as well
// as from the pseudo-terminal of the virtual controller.
//
// Times are seconds since `beginn` (the wall-clock moment of time 0), which the lines show as
// the time of day.
class VirtuellerController {
public:
    // What one call produced.
    struct Ausgabe {
        QStringList zeilen;                     // lines to show, in order
        std::vector<DekodierterBefehl> befehle; // commands finished by this call, in order
        int antworten = 0;                      // single steps that want their answer character
    };

    // Consecutive stops closer together than this are one entry ("Stopp (5-mal)").
    static constexpr double StoppFenster = 0.05;
    // A command whose bytes stop coming for this long is reported as incomplete, and reading
    // starts afresh with the next byte. The longest pause inside a command is 60 ms.
    static constexpr double StandardFrist = 1.0;
    // What is kept whatever the line brings: the last commands, and of a run of stops or unknown
    // bytes its first bytes (stoppAnzahl counts them all).
    static constexpr size_t Verlauf = 100;
    static constexpr size_t LaufBytes = 16;

    explicit VirtuellerController(const QDateTime &beginn = QDateTime::currentDateTime());

    // Bytes read from the line, all arrived at zeit.
    Ausgabe empfangen(const QByteArray &bytes, double zeit);
    // Time zeit has come without further bytes: finishes a run of stops whose window has
    // passed, and reports a command left incomplete for longer than the limit.
    Ausgabe ruhe(double zeit);
    // When ruhe() has something to do next; std::nullopt when nothing is waiting.
    std::optional<double> naechsteRuhe() const;

    // The limit after which an incomplete command is reported; 0 or less waits for ever.
    void setFrist(double sekunden) { m_frist = sekunden; }
    double frist() const { return m_frist; }

    // The last Verlauf commands decoded, runs of stops merged, in order of arrival.
    const std::deque<DekodierterBefehl> &befehle() const { return m_befehle; }
    // The last transfer that arrived complete, and the lines that show it.
    const std::optional<DekodierterBefehl> &programm() const { return m_programm; }
    QStringList programmZeilen() const;
    // Between "Manuelle Fahrt ein" and "Manuelle Fahrt aus".
    bool imHandbetrieb() const { return m_handbetrieb; }

    // A time as the lines show it, e.g. "14:02:13,517".
    QString uhrzeit(double zeit) const;
    // The line that reports an answer character sent at zeit.
    QString antwortZeile(double zeit) const;

private:
    void fertig(DekodierterBefehl befehl, Ausgabe &aus);
    void melden(const DekodierterBefehl &befehl, Ausgabe &aus);
    void stoppsAusgeben(Ausgabe &aus);
    QStringList hinweise(const DekodierterBefehl &befehl) const;

    QDateTime m_beginn;
    Dekodierer m_dekodierer;
    double m_frist = StandardFrist;
    double m_letztesByte = 0;
    std::optional<DekodierterBefehl> m_stopps; // a run of stops not yet shown
    std::deque<DekodierterBefehl> m_befehle;
    std::optional<DekodierterBefehl> m_programm;
    bool m_handbetrieb = false;
};
