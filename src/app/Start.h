#pragma once

#include <QWidget>

class PCSteuerung;
class QLabel;

// The splash window: picture, product name and version while the program starts.
class Begruessungsbildschirm : public QWidget {
    Q_OBJECT
public:
    Begruessungsbildschirm();

    QLabel *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label3 = nullptr;
};

// Starts the program: the splash shows for at least two seconds, then the main window is shown
// and loaded (port probe included), then the splash closes. The caller owns the window.
PCSteuerung *ProgrammStarten(double splashSekunden = 2.0);
