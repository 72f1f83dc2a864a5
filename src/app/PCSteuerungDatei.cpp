// Program files: open, save, save as.
#include "app/PCSteuerung.h"

#include "files/Programmdatei.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

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
    const QString pfad = DateiWaehlen(false);
    if (pfad.isEmpty() || !ProgrammLaden(pfad))
        return;
    ProgrammSettings.setProgrammname(pfad);
    TitelSetzen();
}

void PCSteuerung::Speichernunter_Click() {
    const QString pfad = DateiWaehlen(true);
    if (pfad.isEmpty() || !ProgrammSpeichern(pfad))
        return;
    ProgrammSettings.setProgrammname(pfad);
    TitelSetzen();
}

void PCSteuerung::Speichern_Click() {
    // A program that was never opened or saved under a name has the default caption.
    if (windowTitle() == TitelPraefix() + QStringLiteral("Unbenannt.orp"))
        Speichernunter_Click();
    else
        ProgrammSpeichern(ProgrammSettings.Programmname());
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
