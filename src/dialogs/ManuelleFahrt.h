#pragma once

#include "dialogs/Handdialog.h"

class QLabel;
class QLineEdit;

// Manual travel: single steps while a button is held, rapid travel over a given number of
// steps. The port stays open and the controller in manual mode from loading to "Zurück".
//
// One command at a time: from the start byte of a single step to its stop byte, and while a
// rapid travel is being sent, the other motion buttons send nothing. The wait for the
// controller's answer after a single step is bounded by Antwortfrist; the stop is then sent
// anyway. Leaving during a command lets it end first (a rapid travel takes a few
// milliseconds; a wait for the answer ends at once and sends its stop), then byte 0 goes out
// and the port closes.
class ManuelleFahrt : public Handdialog {
    Q_OBJECT
public:
    explicit ManuelleFahrt(Dialogumgebung &umgebung);
    ~ManuelleFahrt() override;

    // Longest wait for the controller's character after a single step, in seconds.
    static constexpr double Antwortfrist = 3.0;

    QLabel *LabelEinzelschritt = nullptr;
    QLabel *Label2Hz = nullptr;
    QPushButton *CommandLinksEinzel = nullptr;
    QPushButton *CommandRechtsEinzel = nullptr;
    QLabel *LabelEilgang = nullptr;
    QLabel *LabelFrequenz = nullptr;
    QLineEdit *TextFrequenz = nullptr;
    QLabel *LabelEinheitFrequenz = nullptr;
    QLabel *LabelSchritte = nullptr;
    QLineEdit *TextSchritte = nullptr;
    QPushButton *CommandEilLinks = nullptr;
    QPushButton *CommandEilRechts = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *CommandZurück = nullptr;

    // The two fields and the file "manuell.txt" beside the program.
    void ManuellDateiLaden();
    void ManuellDateiLesen();
    bool ManuellDateiSchreiben(QString *fehler = nullptr);

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
        Einzelschritt,    // start byte sent, the button is held
        WartetAufZeichen, // released, waiting for the controller before the stop
        Eilgang,          // a rapid travel is being sent
    };
    enum class Antwort { Zeichen, Frist, Abgebrochen, PortZu };

    // The mouse button held on a single-step button.
    struct Halt {
        QPushButton *knopf = nullptr;
        bool gestartet = false;   // the start byte went out
        bool stoppNoetig = false; // its release waits and sends the stop
    };

    void Aufbauen();
    void Eilgangfahren(bool rechts);
    void HaltAufgeben();
    void EinzelschrittBeenden(bool gestartet);
    Antwort AufZeichenWarten();
    void VeralteteZeichenVerwerfen();
    void Abschliessen();

    Zustand m_zustand = Zustand::Bereit;
    Halt m_halt;
    bool m_verlassen = false;
    bool m_warteAbbrechen = false;
};
