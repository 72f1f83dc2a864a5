#pragma once

#include "dialogs/Dialogumgebung.h"
#include "files/Programmdatei.h"
#include "link/Befehl.h"
#include "model/Satz.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QButtonGroup;
class QCheckBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableView;
class FormDatenverkehr;
class Linie;
class NamesData;
struct RampenErgebnis;
enum class Feld;
class SerielleSchnittstelle;
class Verkehrsaufzeichnung;
struct Programmstand;
struct Satzpanel;

// The main window. It owns the block table, the program record, the grid's data source and the
// serial port for the whole run. Its controls carry the names the handlers and the tests use;
// the dialogs reach the window through the Dialogumgebung it provides.
class PCSteuerung : public QMainWindow, public Dialogumgebung {
    Q_OBJECT
public:
    explicit PCSteuerung(QWidget *parent = nullptr);
    ~PCSteuerung() override;

    // The load sequence, run once when the window is first shown (the splash does that).
    void Laden();
    bool istGeladen() const { return m_geladen; }

    // Caption: the fixed prefix followed by the program name.
    static QString TitelPraefix();
    void TitelSetzen();

    // Travel times of the current block (grid cell, frequency fields, ramp option).
    void BerechneRampe();

    // The grid's current row and cell text.
    int aktuelleZeile() const;
    void setAktuelleZeile(int zeile);
    QString aktuellerZellText() const;
    void setAktuellerZellText(const QString &text);
    NamesData *namesData() const { return m_namesData; }
    // Binds the grid to a fresh data source whose one row holds the given step count.
    void neueDatenquelle(qint64 ersteSchritte);

    // Writes the two frequency fields of the block panel, start first, with their change
    // checks. A check that failed only because the other field did not yet hold the block's
    // value is not reported; both checks run again once both fields are written.
    void FrequenzfelderSchreiben(const QString &start, const QString &maximal);

    // The ramp option selected, 1..4 for 2, 5, 10, 20 ms; 0 when none is.
    int gewaehlteRampe() const;
    void waehleRampe(int rampe); // other values leave the selection as it is

    // Shows a message with one OK button and no icon, as every operator message of the program.
    void Meldung(const QString &text, const QString &titel) override;

    // Opening a dialog from the menu disables the window; the dialog enables it when it closes.
    void DialogGeschlossen() override;
    // The dialogs use MSComm1.
    SerielleSchnittstelle *serielleSchnittstelle() const override { return MSComm1; }

    SatzTabelle SatzListe;
    Settings ProgrammSettings;
    SerielleSchnittstelle *MSComm1 = nullptr;
    QFileDialog *CommonDialog1 = nullptr;

    // Controls.
    QTableView *dbgridschritte = nullptr;
    QLabel *dbgridschritteTitel = nullptr;
    QGroupBox *FrameSatzparameter = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr,
           *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr,
           *Label13 = nullptr, *Label14 = nullptr, *Label15 = nullptr, *Label16 = nullptr,
           *Label17 = nullptr;
    QLineEdit *TextStartfrequenz = nullptr;
    QLineEdit *TextMaximalfrequenz = nullptr;
    QLineEdit *TextSatzdurchläufe = nullptr;
    QLineEdit *TextSatzpause = nullptr;
    QLineEdit *TextProgrammdurchläufe = nullptr;
    QLineEdit *TextProgrammpause = nullptr;
    QLineEdit *TextBefehlspause = nullptr;
    QGroupBox *Rampe = nullptr;
    QRadioButton *OptionRampe20ms = nullptr, *OptionRampe10ms = nullptr, *OptionRampe5ms = nullptr,
                 *OptionRampe2ms = nullptr;
    QGroupBox *Richtung = nullptr;
    QRadioButton *OptionRechts = nullptr, *OptionLinks = nullptr;
    QCheckBox *Richtungsumkehrung = nullptr;
    Linie *Line1 = nullptr, *Line2 = nullptr, *Line3 = nullptr, *Line4 = nullptr, *Line5 = nullptr,
          *Line6 = nullptr, *Line7 = nullptr, *Line8 = nullptr, *Line9 = nullptr, *Line10 = nullptr;
    QLabel *LabelGrafikMaximalfrequenz = nullptr, *LabelGrafikStartfrequenz = nullptr;
    QLabel *LabelBeschleunigungszeit = nullptr, *LabelBremszeit = nullptr,
           *LabelGesamtzeit = nullptr;
    QLabel *LabelMaximalfrequenzWarnung = nullptr, *LabelFrequenzVorschlag = nullptr;
    QLabel *LabelProgrammfahrzeit = nullptr;
    QPushButton *CommandSatzstart = nullptr;
    QPushButton *CommandProgrammstart = nullptr;
    QPushButton *CommandProgrammieren = nullptr;
    QLabel *LabelAdresse = nullptr;
    // Below the work area: what the last command did.
    QStatusBar *Statuszeile = nullptr;
    QLabel *LabelStatus = nullptr;

    // Menu.
    QMenu *Datei = nullptr;
    QAction *Öffnen = nullptr, *Speichern = nullptr, *Speichernunter = nullptr, *Beenden = nullptr;
    QMenu *ZuletztGeoeffnet = nullptr; // one entry per program, ZuletztGeoeffnet1 the newest
    QMenu *Zelkor = nullptr;
    QAction *Parameter = nullptr, *Manuell = nullptr, *Referenzfahrt = nullptr,
            *Schnittstelle = nullptr, *Info = nullptr, *Datenverkehr = nullptr;

    // The dialog open in front of the window, if any.
    QWidget *offenerDialog() const { return m_offenerDialog; }
    // Shows the port dialog (from the menu, or after a failed start-up probe).
    void SchnittstelleZeigen(const QString &grund = QString());

    // Everything sent on the line this run, and the window that shows it (once opened).
    Verkehrsaufzeichnung *verkehrsaufzeichnung() const { return m_aufzeichnung; }
    FormDatenverkehr *datenverkehrFenster() const { return m_datenverkehrFenster.get(); }
    void DatenverkehrZeigen();
    // Whether the program differs from what was last opened or saved (or loaded at start-up).
    bool ProgrammGeaendert() const;
    // Closes without asking, for an end from outside (a signal) with nobody to answer: a changed
    // program is kept as gerettet.orp beside the small files, and where it went is printed.
    void OhneFrageSchliessen();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Aufbauen();
    void MenueAufbauen();
    void RampengrafikAufbauen();
    void Verbinden();
    void VerbindenBearbeiten();
    void VerbindenBefehle();
    void VerbindenDialoge();
    void VerbindenDatei();
    void VerbindenVerkehr();
    void GridModellVerbinden();
    bool PortEinrichten();
    void SchnittstellenfehlerMelden(const QString &meldung);
    void DialogZeigen(QWidget *dialog, bool zuerstSperren);

    // Commands to the controller.
    void ProgrammUebertragen();
    void ProgrammstartSenden();
    void SatzstartSenden();
    // Counts the filled rows from row 0, with the row-change handling off meanwhile.
    int SaetzeZaehlen();
    // Moves to a row and shows its block without storing the panel (while a transfer sends).
    void SatzZeigenOhneSpeichern(int zeile);
    // Sends a command with the menus disabled meanwhile.
    bool Senden(const Befehl &befehl, const std::function<void(int)> &beiMarke = {});
    void MenuesFreigeben(bool frei);

    // The program as the window holds it; what was last opened or saved.
    Programmstand ProgrammstandLesen() const;
    void StandMerken();
    // Before the program is closed or replaced: asks whether to save a changed program. True
    // when the caller may go on (saved, discarded, or nothing to ask).
    bool AenderungenSichern();
    // LabelProgrammfahrzeit from the whole program.
    void ProgrammfahrzeitZeigen();

    // Program files.
    void Öffnen_Click();
    bool Speichern_Click();
    bool Speichernunter_Click();
    void ProgrammOeffnen(const QString &pfad);
    bool ProgrammLaden(const QString &pfad);
    bool ProgrammSpeichern(const QString &pfad);
    QString DateiWaehlen(bool speichern);
    // The programs used last: read at start-up, a path put in front, the submenu.
    void ZuletztLesen();
    void ZuletztSetzen(const QStringList &pfade);
    void ZuletztGewaehlt(int nummer);

    // The block panel. SatzAnzeigen shows the block of the grid's current row: frame caption,
    // the four fields, ramp option, direction and reversal; writing the fields runs their
    // change checks. SatzÜbernehmen stores the panel into block aktuellerSatz; an empty field,
    // or one that holds no whole number, is reported and nothing of the panel is stored.
    // Returns whether it was stored.
    void SatzAnzeigen();
    bool SatzÜbernehmen();
    Satzpanel PanelLesen() const;

    // Editing: the grid's events, the field checks, the travel times.
    void ZeileGewechselt(int zeile);
    bool VorZeileLoeschen(int zeile);
    void ZeileLoeschen();
    void FokusGewechselt(QWidget *alt, QWidget *neu);
    void GridVerlassen();
    void FeldGeaendert(Feld feld);
    QLineEdit *Eingabefeld(Feld feld) const;
    void RampeAnwenden(const RampenErgebnis &ergebnis);

    NamesData *m_namesData = nullptr;
    QButtonGroup *m_rampenGruppe = nullptr;
    QButtonGroup *m_richtungsGruppe = nullptr;
    QPointer<QWidget> m_offenerDialog;
    Verkehrsaufzeichnung *m_aufzeichnung = nullptr;
    std::unique_ptr<FormDatenverkehr> m_datenverkehrFenster;
    bool m_geladen = false;
    QAction *m_satzLoeschen = nullptr;
    int m_kopfZeile = -1;               // row chosen by its row header, for Entf
    bool m_satzwechselGesperrt = false; // the handling itself moves the current row
    bool m_gridVerlassenLaeuft = false;
    bool m_frequenzenWerdenGeschrieben = false;
    bool m_frequenzpruefungNachholen = false;
    int m_satzfehler = 0; // how often SatzÜbernehmen has refused the panel
    QMetaObject::Connection m_zeilenwechselVerbindung;
    Dateizugriff::ProgrammFelder m_gemerkterStand;
    QStringList m_zuletzt;
    bool m_menuesFrei = true;
    bool m_ohneFrage = false;
    // Receiver of the editing handlers' connections; it goes with the window's own members,
    // before the controls are torn down, so no handler runs on a window half destroyed.
    std::unique_ptr<QObject> m_bearbeitenKontext;
};
