#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The look the small windows share: positions in twips, bold Arial, dark-blue texts on
// white, the branded caption, centred on the screen.
namespace Dialoggestaltung {

// 1440 twips make an inch; at 96 dots per inch 15 twips make one pixel.
constexpr int TwipsProPixel = 15;

inline QRect Twips(int links, int oben, int breite, int hoehe) {
    return {links / TwipsProPixel, oben / TwipsProPixel, breite / TwipsProPixel,
            hoehe / TwipsProPixel};
}

inline QSize TwipsGroesse(int breite, int hoehe) {
    return {breite / TwipsProPixel, hoehe / TwipsProPixel};
}

// Labels and fields use 12 point, buttons 9.75 point; all bold.
QFont ArialFett(double punkte, bool unterstrichen = false);

// Red 0, green 0, blue 128.
QColor Dunkelblau();

// "Orbalt-Werk", the given number of blanks, then the window's title.
QString Fenstertitel(int leerzeichen, const QString &titel);

// White background and a fixed client area.
void FensterAnlegen(QWidget *fenster, QSize clientflaeche);

// Text of a label, field or list in dark blue.
void DunkelblauSchreiben(QWidget *w);

// Centres the window on its screen.
void Zentrieren(QWidget *fenster);

// Controls in that look, named and placed: labels and fields in 12 point dark blue, buttons in
// 9.75 point.
QLabel *Beschriftung(QWidget *eltern, const char *name, const QString &text, QRect ort,
                     Qt::Alignment ausrichtung = Qt::AlignLeft | Qt::AlignTop,
                     bool unterstrichen = false);
QPushButton *Knopf(QWidget *eltern, const char *name, const QString &text, QRect ort);
QLineEdit *Eingabefeld(QWidget *eltern, const char *name, QRect ort,
                       Qt::Alignment ausrichtung = Qt::AlignCenter);

} // namespace Dialoggestaltung
