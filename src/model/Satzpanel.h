#pragma once

class PCSteuerung;

// The block panel of the main window: shows one block of the table and takes it back.

// Shows the block of the grid's current row in the panel: frame caption, the four fields,
// ramp option, direction and reversal. Writing the fields runs their change checks.
void SatzAnzeigen(PCSteuerung &fenster);

// Stores the panel into block aktuellerSatz. An empty field, or one that holds no whole
// number, is reported and nothing of the panel is stored. Returns whether it was stored.
bool SatzÜbernehmen(PCSteuerung &fenster);
