#pragma once

#include <QPixmap>
#include <QSize>

// The program's pictures, drawn at run time: no image files to ship or lose.

// The maker's picture of splash and info window (300 x 150 pixels): a stepper motor with its
// shaft, a travel axis and the product name.
QPixmap Firmenbild();

// A small serial connector for the port dialog.
QPixmap Steckerbild(QSize groesse);
