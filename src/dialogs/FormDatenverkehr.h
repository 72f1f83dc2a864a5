#pragma once

#include <QWidget>

class Dialogumgebung;
class QCheckBox;
class QListView;
class QPushButton;
class Verkehrsaufzeichnung;
class Verkehrsmodell;

// What the program sent on the line, newest last: one line per command (a transfer with one
// per block), each with its time and port, on request with the bytes and the pause after each.
// It may stay open beside the main window while commands go out: it never disables that
// window and never touches the port; it only shows what the recording holds.
class FormDatenverkehr : public QWidget {
    Q_OBJECT
public:
    FormDatenverkehr(Verkehrsaufzeichnung &aufzeichnung, Dialogumgebung &umgebung);

    QListView *ListeDatenverkehr = nullptr;
    QCheckBox *CheckBytesZeigen = nullptr;
    QPushButton *CommandSpeichern = nullptr;
    QPushButton *CommandLeeren = nullptr;

    // Writes the list as shown (bytes included when they are shown) as UTF-8 with CR LF.
    // Returns false, having said why, when the file cannot be written.
    bool Speichern(const QString &pfad);

private:
    void Nachziehen();
    void CommandSpeichern_Click();

    Verkehrsaufzeichnung &m_aufzeichnung;
    Dialogumgebung &m_umgebung;
    Verkehrsmodell *m_modell = nullptr;
    bool m_nachUntenVorgemerkt = false;
};
