#pragma once

#include "dialogs/Handdialog.h"

class Linie;
class QFrame;
class QLabel;
class QLineEdit;

// Reference run: while a direction button is held the controller travels towards its
// reference switch; the release sends the stop sequence, during which both direction buttons
// are disabled. The port stays open from loading to "Zurück"; no byte is sent on opening or
// leaving. Every opening starts with 200 Hz.
//
// Leaving with a direction button held sends the stop sequence first. Leaving during a stop
// sequence lets its remaining stop bytes go out (fractions of a millisecond), skips its final
// half-second pause and closes the port; nothing is sent after that.
class FormReferenzfahrt : public Handdialog {
    Q_OBJECT
public:
    explicit FormReferenzfahrt(Dialogumgebung &umgebung);
    ~FormReferenzfahrt() override;

    QPushButton *CommandOK = nullptr;
    QPushButton *CommandReferenzLinks = nullptr;
    QPushButton *CommandReferenzRechts = nullptr;
    QLineEdit *TextFrequenz = nullptr;
    QLabel *LabelFrequenz = nullptr;
    QLabel *LabelEinheitFrequenz = nullptr;
    // The drawing of the travel axis; it does nothing.
    Linie *Line1 = nullptr, *Line2 = nullptr, *Line3 = nullptr, *Line4 = nullptr, *Line5 = nullptr,
          *Line6 = nullptr, *Line7 = nullptr, *Line8 = nullptr, *Line9 = nullptr, *Line10 = nullptr,
          *Line11 = nullptr, *Line12 = nullptr, *Line13 = nullptr;
    QFrame *Shape1 = nullptr;

protected:
    void Laden() override;
    void Gedrueckt(QPushButton *knopf, const QMouseEvent &ereignis) override;
    void Losgelassen(QPushButton *knopf, const QMouseEvent &ereignis) override;
    void HaltVerloren(QPushButton *knopf) override;
    void VerlassenAnfordern() override;
    void Ruhelage() override;

private:
    enum class Zustand {
        Bereit,
        Laeuft, // start sent, the button is held
        Stoppt, // the stop sequence is being sent
    };

    void Aufbauen();
    void ZeichnungAufbauen();
    void HaltAufgeben();
    void Stoppen();
    void Abschliessen();

    Zustand m_zustand = Zustand::Bereit;
    QPushButton *m_halt = nullptr; // the direction button held since an accepted press
    bool m_verlassen = false;
};
