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
    int durchlaeufe = 1;
};

struct Programmfahrzeit {
    std::optional<double> ms; // set when every block's time could be worked out
    int satz = 0;             // otherwise the first block (1-based) whose time could not
};

Programmfahrzeit BerechneProgrammfahrzeit(const QList<Satzfahrt> &saetze, int programmdurchlaeufe,
                                          const QLocale &locale = QLocale());

// "12,34 s (ohne Pausen)": the time as the block times show it, marked as leaving out pauses.
QString ProgrammfahrzeitText(double ms, const QLocale &locale = QLocale());
