#pragma once

#include <QWidget>

class Dialogumgebung;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

// Controller settings: step mode, phase current and current reduction. "Übernehmen" stores
// them in "zelkor.txt" beside the program and then sends them as one command; "Abbrechen" and
// the close box leave without storing or sending anything.
class ZelkorEinstellungen : public QWidget {
    Q_OBJECT
public:
    explicit ZelkorEinstellungen(Dialogumgebung &umgebung);

    QPushButton *CommandAbbrechen = nullptr;
    QLabel *LabelSchrittmode = nullptr;
    QComboBox *ComboSchrittmodus = nullptr;
    QLabel *LabelStromeinstellung = nullptr;
    QComboBox *ComboPhasenstrom = nullptr;
    QFrame *FrameStromabsenkung = nullptr;
    QLabel *LabelStromabsenkung = nullptr;
    QRadioButton *OptionAbsenkungEin = nullptr;
    QRadioButton *OptionAbsenkungAus = nullptr;
    QLabel *LabelAbsemkungEin = nullptr;
    QLabel *LabelAbsenkungAus = nullptr;
    QPushButton *CommandÜbernehmen = nullptr;
    QLabel *Picture1 = nullptr;

    // The controls and the file "zelkor.txt"; values the file does not hold in usable form
    // take their defaults ("Halbschritt", "2,5 A", reduction on).
    void ZelkorDateiLaden();
    void ZelkorDateiLesen();
    bool ZelkorDateiSchreiben(QString *fehler = nullptr);
    // One bracket: open the port, the four bytes in one write, close.
    bool EinstellungenSenden();

protected:
    void closeEvent(QCloseEvent *ereignis) override;

private:
    void Aufbauen();
    void CommandÜbernehmen_Click();

    Dialogumgebung &m_umgebung;
    bool m_uebernommen = false;
};
