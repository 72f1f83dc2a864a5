#pragma once

#include <QWidget>

class PCSteuerung;
class QLabel;
class QPushButton;

// The info window: the maker's picture and contact block, left through "Zurück".
class FormInfo : public QWidget {
    Q_OBJECT
public:
    explicit FormInfo(PCSteuerung &fenster);

    QPushButton *CommandOK = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    PCSteuerung &m_fenster;
};
