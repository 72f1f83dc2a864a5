#pragma once

#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

// Travel time of a whole program: the sum over its blocks of the block's total time (as
// LabelGesamtzeit shows it) times its Satzdurchläufe, all times the Programmdurchläufe. Pauses
// between runs, blocks and commands are not counted.

// One block as its travel time needs it: the texts the time computation reads, the ramp
// setting and the block's number of runs.
struct Satzfahrt {
    QString startfrequenz;
    QString maximalfrequenz;
    QString schritte;
    int rampe = 0;
    std::optional<int> durchlaeufe = 1; // unset when the runs are no whole number
};

struct Programmfahrzeit {
    std::optional<double> ms; // set when every block's time could be worked out
    int satz = 0;             // otherwise the first block (1-based) whose time could not
    QString grund;            // and why, in German ("Satz 2 hat keine Gesamtzeit")
};

// programmdurchlaeufe unset: the Programmdurchläufe are no whole number, so no time either.
Programmfahrzeit BerechneProgrammfahrzeit(const QList<Satzfahrt> &saetze,
                                          std::optional<int> programmdurchlaeufe,
                                          const QLocale &locale = QLocale());

// "12,34 s (ohne Pausen)": the time as the block times show it, marked as leaving out pauses.
QString ProgrammfahrzeitText(double ms, const QLocale &locale = QLocale());

// LabelProgrammfahrzeit: "Fahrzeit des Programms: " and the time, or "–" when there is none,
// with the reason as its tooltip (empty when there is a time).
struct Programmfahrzeitanzeige {
    QString text;
    QString hinweis;
};
Programmfahrzeitanzeige ProgrammfahrzeitAnzeige(const Programmfahrzeit &zeit,
                                                const QLocale &locale = QLocale());
