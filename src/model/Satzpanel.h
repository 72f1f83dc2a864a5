#pragma once

#include <QString>

class Satz;

// The block panel of the main window as texts and choices: what a block shows in it, and
// what the panel's texts become when they are taken back into a block. The main window
// writes and reads its controls with these.

struct Satzpanel {
    QString startfrequenz;
    QString maximalfrequenz;
    QString satzdurchläufe;
    QString satzpause;
    int rampe = 0;     // ramp option 1..4 for 2, 5, 10, 20 ms; 0 when none is selected
    int richtung = -1; // 1 rechts, 0 links; -1 when neither is selected
    bool richtungsumkehr = false;
};

// The frame caption while the panel shows the block of grid row zeile (from 0).
QString SatzpanelTitel(int zeile);

// What the panel shows for a block. A ramp outside 1..4 selects no option; any direction
// but 1 shows as links.
Satzpanel SatzpanelFuer(const Satz &satz);

// Why the panel cannot be stored in block satzIndex (from 0): the message for the first
// field that is empty, else for the first that holds no 32-bit whole number. Empty when all
// four can be stored.
QString SatzpanelFehler(const Satzpanel &panel, int satzIndex);

// Stores a panel SatzpanelFehler accepts in satz: the four fields, the ramp and the direction
// when one is selected, and the reversal.
void SatzpanelSpeichern(const Satzpanel &panel, Satz &satz);
