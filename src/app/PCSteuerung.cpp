#include "app/PCSteuerung.h"

#include "app/FormInfo.h"
#include "dialogs/FormDatenverkehr.h"
#include "dialogs/RSAdresse.h"
#include "files/Kleindateien.h"
#include "link/SerielleSchnittstelle.h"
#include "link/Verkehrsaufzeichnung.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

PCSteuerung::PCSteuerung(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("PCSteuerung"));
    MSComm1 = new SerielleSchnittstelle(this);
    m_aufzeichnung = new Verkehrsaufzeichnung(Verkehrsaufzeichnung::HoechstzahlZeilen, this);
    m_aufzeichnung->mithoeren(*MSComm1);
    CommonDialog1 = new QFileDialog(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));
    Aufbauen();
    Verbinden();
}

PCSteuerung::~PCSteuerung() {
    if (m_offenerDialog)
        delete m_offenerDialog.data();
}

QString PCSteuerung::TitelPraefix() {
    return QStringLiteral("Orbalt-Werk     Zelkor-Positioniersteuerung: ");
}

void PCSteuerung::TitelSetzen() {
    setWindowTitle(TitelPraefix() + ProgrammSettings.Programmname());
}

void PCSteuerung::Laden() {
    SatzwechselAktiv = true;
    for (Satz &satz : SatzListe)
        satz.setzeStandard();
    ProgrammSettings.setzeStandard();
    neueDatenquelle(SatzListe[0].Schritte());
    TitelSetzen();
    SatzAnzeigen();
    setAktuelleZeile(0);
    TextProgrammdurchläufe->setText(QStringLiteral("1"));
    TextProgrammpause->setText(QStringLiteral("10"));
    TextBefehlspause->setText(QStringLiteral("10"));
    CommandSatzstart->setText(QStringLiteral("Satz Nr. 1 starten"));
    Portnummer = Dateizugriff::PortnummerAusDatei(Dateizugriff::PortDateipfad());
    StartAbgeschlossen = true;
    BerechneRampe();
    StandMerken();
    ZuletztLesen();
    m_geladen = true;
    if (!PortEinrichten()) {
        // The port dialog in front of the disabled window is the report.
        setEnabled(false);
        SchnittstelleZeigen(
            MSComm1->letzterFehler().isEmpty()
                ? QStringLiteral("COM%1 ist keine gültige Portnummer.").arg(Portnummer)
                : MSComm1->letzterFehler());
    }
}

bool PCSteuerung::PortEinrichten() {
    if (!MSComm1->setPortnummer(Portnummer))
        return false;
    if (!MSComm1->setEinstellungen(QStringLiteral("19200,N,8,1")))
        return false;
    MSComm1->setEmpfangslaenge(1);
    if (!MSComm1->oeffnen(false))
        return false;
    MSComm1->schliessen();
    return true;
}

void PCSteuerung::Verbinden() {
    connect(MSComm1, &SerielleSchnittstelle::fehler, this, &PCSteuerung::SchnittstellenfehlerMelden,
            Qt::QueuedConnection);
    connect(Beenden, &QAction::triggered, this, &QWidget::close);
    connect(Schnittstelle, &QAction::triggered, this,
            [this] { DialogZeigen(new RSAdresse(*this), false); });
    connect(Info, &QAction::triggered, this, [this] { DialogZeigen(new FormInfo(*this), false); });
    VerbindenBearbeiten();
    VerbindenBefehle();
    VerbindenDialoge();
    VerbindenDatei();
    VerbindenVerkehr();
}

void PCSteuerung::SchnittstelleZeigen(const QString &grund) {
    auto *dialog = new RSAdresse(*this);
    dialog->setGrund(grund);
    m_offenerDialog = dialog;
    dialog->show();
}

void PCSteuerung::DialogZeigen(QWidget *dialog, bool zuerstSperren) {
    m_offenerDialog = dialog;
    if (zuerstSperren)
        setEnabled(false);
    dialog->show();
    setEnabled(false);
}

void PCSteuerung::DialogGeschlossen() {
    setEnabled(true);
    activateWindow();
}

void PCSteuerung::closeEvent(QCloseEvent *event) {
    // A dialog that holds the port must be left through its own buttons, which end its work on
    // the controller properly.
    if (m_offenerDialog) {
        event->ignore();
        m_offenerDialog->activateWindow();
        m_offenerDialog->raise();
        return;
    }
    // A command that sends ends first; a changed program is not lost without asking.
    if (MSComm1->beschaeftigt() || (!m_ohneFrage && !AenderungenSichern())) {
        event->ignore();
        return;
    }
    if (m_datenverkehrFenster)
        m_datenverkehrFenster->close();
    event->accept();
}

void PCSteuerung::Meldung(const QString &text, const QString &titel) {
    QWidget *eltern = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, titel, text, QMessageBox::Ok, eltern ? eltern : this);
    box.setObjectName(QStringLiteral("Meldung"));
    box.exec();
}

void PCSteuerung::SchnittstellenfehlerMelden(const QString &meldung) {
    Meldung(meldung, QStringLiteral("Zelkor_V2"));
}

int PCSteuerung::aktuelleZeile() const {
    const QModelIndex index = dbgridschritte->currentIndex();
    return index.isValid() ? index.row() : 0;
}

void PCSteuerung::setAktuelleZeile(int zeile) {
    if (!m_namesData)
        return;
    zeile = qBound(0, zeile, m_namesData->rowCount() - 1);
    dbgridschritte->setCurrentIndex(m_namesData->index(zeile, 0));
}

QString PCSteuerung::aktuellerZellText() const {
    return m_namesData ? m_namesData->zellText(aktuelleZeile()) : QString();
}

void PCSteuerung::setAktuellerZellText(const QString &text) {
    if (m_namesData)
        m_namesData->setData(m_namesData->index(aktuelleZeile(), 0), text);
}

void PCSteuerung::neueDatenquelle(qint64 ersteSchritte) {
    NamesData *alt = m_namesData;
    m_namesData = new NamesData(ersteSchritte, this);
    dbgridschritte->setModel(m_namesData);
    dbgridschritte->setCurrentIndex(m_namesData->index(0, 0));
    GridModellVerbinden();
    delete alt;
}

int PCSteuerung::gewaehlteRampe() const {
    if (OptionRampe2ms->isChecked())
        return 1;
    if (OptionRampe5ms->isChecked())
        return 2;
    if (OptionRampe10ms->isChecked())
        return 3;
    if (OptionRampe20ms->isChecked())
        return 4;
    return 0;
}

void PCSteuerung::waehleRampe(int rampe) {
    switch (rampe) {
    case 1:
        OptionRampe2ms->setChecked(true);
        break;
    case 2:
        OptionRampe5ms->setChecked(true);
        break;
    case 3:
        OptionRampe10ms->setChecked(true);
        break;
    case 4:
        OptionRampe20ms->setChecked(true);
        break;
    default:
        break;
    }
}
