#pragma once

#include "files/Programmdatei.h"
#include "model/Satz.h"
#include "model/Satzpanel.h"
#include "ramp/Programmzeit.h"

#include <QStringList>

// The program as the main window holds it while it is edited: the step counts in the grid's
// rows, the block of the panel with the panel's values, every other block from the block table,
// and the three program values as typed. Two states hold the same program exactly when they
// compare equal: values that stand for the same number read the same, so showing, storing or
// sending the blocks changes nothing here, while any edit of a value, a step count, a program
// value, or a block added or deleted does.
struct Programmstand {
    QStringList schritte; // cell text of each row of the grid, without the blank row
    const SatzTabelle *saetze = nullptr;
    int panelSatz = 0; // the block the panel belongs to (from 0)
    Satzpanel panel;
    QString programmdurchlaeufe, programmpause, befehlspause;
};

// The state in the form of a program file's fields, one block per row of the grid.
Dateizugriff::ProgrammFelder ProgrammstandFelder(const Programmstand &stand);

// The travel time of the blocks a transfer takes (the rows from the first on that hold a step
// count), each worked out from what its time labels show it with: the panel's texts for the
// panel's block, the block table for the others.
Programmfahrzeit ProgrammstandFahrzeit(const Programmstand &stand);
