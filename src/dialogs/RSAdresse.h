#pragma once

#include <QWidget>

class Dialogumgebung;
class QLabel;
class QLineEdit;
class QPushButton;

// The port dialog: the operator types the number of the port that leads to the controller.
// "Übernehmen" tries the port and, when it opens, keeps it in the serial object and in the port
// file; "Abbrechen" leaves everything as it was before the dialog opened.
class RSAdresse : public QWidget {
    Q_OBJECT
public:
    explicit RSAdresse(Dialogumgebung &umgebung);

    QLabel *LabelPortnummer = nullptr;
    QLineEdit *TextPortnummer = nullptr;
    QPushButton *CommandÜbernehmen = nullptr;
    QPushButton *CommandAbbrechen = nullptr;
    QLabel *Picture1 = nullptr;
    // Below the buttons: the device the typed number stands for, and the devices there are.
    QLabel *LabelGeraet = nullptr;

    // Why the port could not be used: the start-up probe's reason, then that of the last
    // "Übernehmen" (empty after success). It shows below the buttons.
    QString letzterGrund() const { return m_grund; }
    void setGrund(const QString &grund);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void PortDateiLaden();
    bool PortDateiSchreiben();
    void CommandÜbernehmen_Click();
    void CommandAbbrechen_Click();
    void GeraetAnzeigen();

    Dialogumgebung &m_umgebung;
    int m_vorherigePortnummer;
    QString m_grund;
    bool m_uebernommen = false;
};
