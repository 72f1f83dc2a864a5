#pragma once

#include <QtGlobal>

// Switches shared by the main window's handlers.
//
// StartAbgeschlossen: false until the main window has filled its fields at start-up; the
// field checks report wrong entries only while it is true.
// SatzwechselAktiv: the grid's row-change handling runs only while it is true; commands that
// walk the rows themselves switch it off meanwhile.
extern bool StartAbgeschlossen;
extern bool SatzwechselAktiv;

// Number of the serial port, read from the port file at start-up (1 when there is none).
extern qint16 Portnummer;
