// The block panel of the main window: shows the block of the grid's current row and takes it
// back. What it shows and what it stores come from model/Satzpanel; here the controls.
#include "app/PCSteuerung.h"

#include "model/Satzpanel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

void PCSteuerung::SatzAnzeigen() {
    const int r = aktuelleZeile();
    const Satzpanel panel = SatzpanelFuer(SatzListe[size_t(qBound(0, r, SatzListeGroesse - 1))]);
    FrameSatzparameter->setTitle(SatzpanelTitel(r));
    // The two frequency fields are checked against each other: a field left empty or too
    // large in the block before must not fail the check of the one written first.
    FrequenzfelderSchreiben(panel.startfrequenz, panel.maximalfrequenz);
    TextSatzdurchläufe->setText(panel.satzdurchläufe);
    TextSatzpause->setText(panel.satzpause);
    waehleRampe(panel.rampe);
    if (panel.richtung == 1)
        OptionRechts->setChecked(true);
    else
        OptionLinks->setChecked(true);
    Richtungsumkehrung->setChecked(panel.richtungsumkehr);
}

Satzpanel PCSteuerung::PanelLesen() const {
    Satzpanel panel;
    panel.startfrequenz = TextStartfrequenz->text();
    panel.maximalfrequenz = TextMaximalfrequenz->text();
    panel.satzdurchläufe = TextSatzdurchläufe->text();
    panel.satzpause = TextSatzpause->text();
    panel.rampe = gewaehlteRampe();
    panel.richtung = OptionRechts->isChecked() ? 1 : OptionLinks->isChecked() ? 0 : -1;
    panel.richtungsumkehr = Richtungsumkehrung->checkState() == Qt::Checked;
    return panel;
}

bool PCSteuerung::SatzÜbernehmen() {
    const int i = ProgrammSettings.aktuellerSatz();
    const Satzpanel panel = PanelLesen();
    if (const QString meldung = SatzpanelFehler(panel, i); !meldung.isEmpty()) {
        ++m_satzfehler;
        Meldung(meldung, QStringLiteral("Programmfehler !"));
        return false;
    }
    if (i < 0 || i >= SatzListeGroesse)
        return false;
    SatzpanelSpeichern(panel, SatzListe[size_t(i)]);
    return true;
}
