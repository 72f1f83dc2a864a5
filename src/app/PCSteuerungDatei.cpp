// Program files: open, save, save as, the programs used last, and the question before a changed
// program is closed or replaced.
#include "app/PCSteuerung.h"

#include "files/Kleindateien.h"
#include "files/Programmdatei.h"
#include "files/Programmverzeichnis.h"
#include "model/Globale.h"
#include "model/NamesData.h"
#include "model/Programmstand.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

namespace {

const QString DateiTitel = QStringLiteral("Zelkor_V2");

// "Beschreibung|Muster|Beschreibung|Muster|" as the dialogs are configured, in Qt's form.
QStringList Filterliste(const QString &filter) {
    const QStringList teile = filter.split(QLatin1Char('|'));
    QStringList liste;
    for (int i = 0; i + 1 < teile.size(); i += 2)
        if (!teile[i].isEmpty())
            liste << teile[i];
    return liste;
}

} // namespace

void PCSteuerung::VerbindenDatei() {
    connect(Öffnen, &QAction::triggered, this, &PCSteuerung::Öffnen_Click);
    connect(Speichern, &QAction::triggered, this, &PCSteuerung::Speichern_Click);
    connect(Speichernunter, &QAction::triggered, this, &PCSteuerung::Speichernunter_Click);
    const QList<QAction *> zuletzt = ZuletztGeoeffnet->actions();
    for (int i = 0; i < zuletzt.size(); ++i)
        connect(zuletzt[i], &QAction::triggered, this, [this, i] { ZuletztGewaehlt(i); });
}

QString PCSteuerung::DateiWaehlen(bool speichern) {
    const QString filter =
        speichern ? QStringLiteral("Orbaprog-Programme (*.orp)|*.orp|Alle Dateien (*.*)|*.*|")
                  : QStringLiteral("Zelkor-Programme (*.orp)|*.orp|Alle Dateien (*.*)|*.*|");
    CommonDialog1->setOption(QFileDialog::DontUseNativeDialog);
    CommonDialog1->setAcceptMode(speichern ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    CommonDialog1->setFileMode(speichern ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A name typed without an ending gets ".orp", so the open dialog finds the file again.
    CommonDialog1->setDefaultSuffix(speichern ? QStringLiteral("orp") : QString());
    if (CommonDialog1->width() < 760)
        CommonDialog1->resize(760, 480);
    CommonDialog1->setWindowTitle(speichern ? QStringLiteral("Programm speichern unter")
                                            : QStringLiteral("Programm öffnen"));
    const QStringList filterliste = Filterliste(filter);
    CommonDialog1->setNameFilters(filterliste);
    CommonDialog1->selectNameFilter(filterliste.first());
    if (CommonDialog1->exec() != QDialog::Accepted || CommonDialog1->selectedFiles().isEmpty())
        return {};
    return CommonDialog1->selectedFiles().first();
}

void PCSteuerung::Öffnen_Click() {
    if (!AenderungenSichern())
        return;
    const QString pfad = DateiWaehlen(false);
    if (!pfad.isEmpty())
        ProgrammOeffnen(pfad);
}

void PCSteuerung::ProgrammOeffnen(const QString &pfad) {
    if (!ProgrammLaden(pfad))
        return;
    ProgrammSettings.setProgrammname(pfad);
    TitelSetzen();
    StandMerken();
    ZuletztSetzen(Dateizugriff::ZuletztVorne(m_zuletzt, QFileInfo(pfad).absoluteFilePath()));
}

bool PCSteuerung::Speichernunter_Click() {
    const QString pfad = DateiWaehlen(true);
    if (pfad.isEmpty() || !ProgrammSpeichern(pfad))
        return false;
    ProgrammSettings.setProgrammname(pfad);
    TitelSetzen();
    return true;
}

bool PCSteuerung::Speichern_Click() {
    // A program that was never opened or saved under a name has the default caption.
    if (windowTitle() == TitelPraefix() + QStringLiteral("Unbenannt.orp"))
        return Speichernunter_Click();
    return ProgrammSpeichern(ProgrammSettings.Programmname());
}

bool PCSteuerung::ProgrammSpeichern(const QString &pfad) {
    const int n = SaetzeZaehlen();
    ProgrammSettings.setAnzahlSätze(qint16(n));

    Dateizugriff::ProgrammFelder programm;
    programm.programmdurchläufe = TextProgrammdurchläufe->text();
    programm.programmpause = TextProgrammpause->text();
    programm.befehlspause = TextBefehlspause->text();
    for (int i = 1; i <= n; ++i) {
        setAktuelleZeile(i - 1);
        Dateizugriff::SatzFelder satz;
        satz.schritte = aktuellerZellText();
        satz.startfrequenz = TextStartfrequenz->text();
        satz.maximalfrequenz = TextMaximalfrequenz->text();
        satz.satzdurchläufe = TextSatzdurchläufe->text();
        satz.satzpause = TextSatzpause->text();
        satz.richtungsumkehr = Richtungsumkehrung->checkState() == Qt::Checked;
        satz.rechts = !OptionLinks->isChecked();
        satz.rampe = gewaehlteRampe() == 0 ? 1 : gewaehlteRampe();
        programm.sätze.append(satz);
    }
    QString fehler;
    if (!Dateizugriff::ProgrammDateiSpeichern(pfad, programm, &fehler)) {
        Meldung(fehler, DateiTitel);
        return false;
    }
    StandMerken();
    ZuletztSetzen(Dateizugriff::ZuletztVorne(m_zuletzt, QFileInfo(pfad).absoluteFilePath()));
    return true;
}

bool PCSteuerung::ProgrammLaden(const QString &pfad) {
    // The whole file is read and checked first: a file that cannot be used changes nothing.
    const Dateizugriff::Programmlesung lesung = Dateizugriff::ProgrammAusDatei(pfad);
    if (!lesung.ok) {
        Meldung(lesung.fehler, DateiTitel);
        return false;
    }
    const Dateizugriff::GelesenesProgramm &programm = lesung.programm;
    TextProgrammdurchläufe->setText(programm.programmdurchläufe);
    TextProgrammpause->setText(programm.programmpause);
    TextBefehlspause->setText(programm.befehlspause);
    ProgrammSettings.setAnzahlSätze(programm.anzahlSätze());
    setAktuelleZeile(0);

    for (int i = 0; i < programm.sätze.size(); ++i) {
        const Dateizugriff::GelesenerSatz &g = programm.sätze[i];
        Satz &satz = SatzListe[size_t(i)];
        satz.setSchritte(g.schritte);
        satz.setStartfrequenz(g.startfrequenz);
        satz.setMaximalfrequenz(g.maximalfrequenz);
        satz.setSatzdurchläufe(Variante(g.satzdurchläufe));
        satz.setSatzpause(g.satzpause);
        satz.setRichtungsumkehr(g.richtungsumkehr);
        satz.setRichtung(Variante(g.richtung));
        satz.setRampe(g.rampe);
    }

    SatzwechselAktiv = false;
    neueDatenquelle(SatzListe[0].Schritte());
    for (int i = 0; i < programm.sätze.size(); ++i) {
        setAktuelleZeile(i);
        setAktuellerZellText(QString::number(SatzListe[size_t(i)].Schritte()));
    }
    // A program without blocks shows no block row, only the row for a new one.
    if (programm.sätze.isEmpty())
        namesData()->removeRows(0, 1);
    setAktuelleZeile(0);
    // The panel belongs to block 1 now; the next row change must store it there.
    ProgrammSettings.setAktuellerSatz(0);
    CommandSatzstart->setText(QStringLiteral("Satz Nr. 1 starten"));
    SatzAnzeigen();
    if (!programm.sätze.isEmpty()) {
        const Dateizugriff::GelesenerSatz &erster = programm.sätze.first();
        (erster.rechts() ? OptionRechts : OptionLinks)->setChecked(true);
    }
    SatzwechselAktiv = true;
    BerechneRampe();
    return true;
}

Programmstand PCSteuerung::ProgrammstandLesen() const {
    Programmstand stand;
    for (int i = 0; m_namesData && i < m_namesData->tabellenzeilen(); ++i)
        stand.schritte << m_namesData->zellText(i);
    stand.saetze = &SatzListe;
    stand.panelSatz = ProgrammSettings.aktuellerSatz();
    stand.panel = PanelLesen();
    stand.programmdurchlaeufe = TextProgrammdurchläufe->text();
    stand.programmpause = TextProgrammpause->text();
    stand.befehlspause = TextBefehlspause->text();
    return stand;
}

void PCSteuerung::StandMerken() {
    m_gemerkterStand = ProgrammstandFelder(ProgrammstandLesen());
}

bool PCSteuerung::ProgrammGeaendert() const {
    return !(ProgrammstandFelder(ProgrammstandLesen()) == m_gemerkterStand);
}

void PCSteuerung::OhneFrageSchliessen() {
    if (ProgrammGeaendert()) {
        const QString pfad = ProgrammDateipfad(QStringLiteral("gerettet.orp"));
        QString fehler;
        if (Dateizugriff::ProgrammDateiSpeichern(pfad, ProgrammstandFelder(ProgrammstandLesen()),
                                                 &fehler))
            std::fprintf(stderr, "Das geänderte Programm wurde in %s gesichert.\n",
                         qPrintable(pfad));
        else
            std::fprintf(stderr, "%s\n", qPrintable(fehler));
    }
    m_ohneFrage = true;
    close();
}

bool PCSteuerung::AenderungenSichern() {
    if (!ProgrammGeaendert())
        return true;
    QMessageBox frage(QMessageBox::NoIcon, DateiTitel,
                      QStringLiteral("Das Programm wurde geändert. Sollen die Änderungen "
                                     "gespeichert werden?"),
                      QMessageBox::NoButton, this);
    frage.setObjectName(QStringLiteral("FrageAenderungen"));
    QPushButton *speichern = frage.addButton(QStringLiteral("Speichern"), QMessageBox::AcceptRole);
    QPushButton *verwerfen =
        frage.addButton(QStringLiteral("Verwerfen"), QMessageBox::DestructiveRole);
    QPushButton *abbrechen = frage.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    frage.setDefaultButton(speichern);
    frage.setEscapeButton(abbrechen);
    frage.exec();
    if (frage.clickedButton() == verwerfen)
        return true;
    if (frage.clickedButton() == speichern)
        return Speichern_Click();
    return false;
}

void PCSteuerung::ZuletztLesen() {
    const Dateizugriff::Zuletztlesung lesung =
        Dateizugriff::ZuletztAusDatei(Dateizugriff::ZuletztDateipfad());
    m_zuletzt = lesung.pfade; // read, so not written back
    ZuletztSetzen(lesung.pfade);
    if (!lesung.fehler.isEmpty())
        Meldung(lesung.fehler, DateiTitel);
}

void PCSteuerung::ZuletztSetzen(const QStringList &pfade) {
    if (pfade != m_zuletzt) {
        QString fehler;
        if (!Dateizugriff::ZuletztDateiSpeichern(Dateizugriff::ZuletztDateipfad(), pfade, &fehler))
            Meldung(fehler, DateiTitel);
    }
    m_zuletzt = pfade;
    const QList<QAction *> eintraege = ZuletztGeoeffnet->actions();
    for (int i = 0; i < eintraege.size(); ++i) {
        QString text = i < m_zuletzt.size() ? QDir::toNativeSeparators(m_zuletzt[i]) : QString();
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        eintraege[i]->setText(QStringLiteral("&%1 ").arg(i + 1) + text);
        eintraege[i]->setVisible(i < m_zuletzt.size());
    }
    ZuletztGeoeffnet->menuAction()->setEnabled(m_menuesFrei && !m_zuletzt.isEmpty());
}

void PCSteuerung::ZuletztGewaehlt(int nummer) {
    if (nummer < 0 || nummer >= m_zuletzt.size())
        return;
    const QString pfad = m_zuletzt[nummer];
    if (!QFileInfo::exists(pfad)) {
        ZuletztSetzen(Dateizugriff::ZuletztOhne(m_zuletzt, pfad));
        Meldung(QStringLiteral("Die Datei \"%1\" gibt es nicht mehr. Sie wurde aus der Liste "
                               "der zuletzt geöffneten Programme genommen.")
                    .arg(QDir::toNativeSeparators(pfad)),
                DateiTitel);
        return;
    }
    if (AenderungenSichern())
        ProgrammOeffnen(pfad);
}
