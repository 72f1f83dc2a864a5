#include "model/Satzpanel.h"

#include "app/PCSteuerung.h"
#include "ramp/Zahlentest.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include <optional>

void SatzAnzeigen(PCSteuerung &fenster) {
    const int r = fenster.aktuelleZeile();
    const Satz &satz = fenster.SatzListe[size_t(qBound(0, r, SatzListeGroesse - 1))];
    fenster.FrameSatzparameter->setTitle(QStringLiteral("Satz - Parameter Satz ") +
                                         QString::number(r + 1));
    // The two frequency fields are checked against each other: a field left empty or too
    // large in the block before must not fail the check of the one written first.
    fenster.FrequenzfelderSchreiben(QString::number(satz.Startfrequenz()),
                                    QString::number(satz.Maximalfrequenz()));
    fenster.TextSatzdurchläufe->setText(satz.Satzdurchläufe().alsText());
    fenster.TextSatzpause->setText(QString::number(satz.Satzpause()));
    fenster.waehleRampe(satz.Rampe());
    if (satz.Richtung().gleich(1))
        fenster.OptionRechts->setChecked(true);
    else
        fenster.OptionLinks->setChecked(true);
    fenster.Richtungsumkehrung->setChecked(satz.Richtungsumkehr());
}

namespace {

struct Pflichtfeld {
    QLineEdit *feld;
    const char *fehltText;
    const char *name; // as the operator reads it in the message for a non-number
};

} // namespace

bool SatzÜbernehmen(PCSteuerung &fenster) {
    const int i = fenster.ProgrammSettings.aktuellerSatz();
    const Pflichtfeld felder[] = {
        {fenster.TextStartfrequenz, "Sie müssen eine Startfrequenz angeben", "Startfrequenz"},
        {fenster.TextMaximalfrequenz, "Sie müssen eine Maximalfrequenz angeben", "Maximalfrequenz"},
        {fenster.TextSatzdurchläufe, "Sie müssen die Satzdurchläufe angeben", "Satzdurchläufe"},
        {fenster.TextSatzpause, "Sie müssen eine Satzpause angeben", "Satzpause"},
    };
    for (const Pflichtfeld &f : felder) {
        if (f.feld->text().isEmpty()) {
            fenster.Meldung(QString::fromUtf8(f.fehltText), QStringLiteral("Programmfehler !"));
            return false;
        }
    }
    // A text that is no 32-bit whole number would store a wrong value: nothing is stored.
    qint32 werte[4] = {};
    for (int k = 0; k < 4; ++k) {
        const Ganzzahl g = GanzzahlAusText(felder[k].feld->text());
        if (!g.ok()) {
            fenster.Meldung(QStringLiteral("%1 in Satz %2 ist keine gültige Ganzzahl: „%3“.\n"
                                           "Der Satz wurde nicht übernommen.")
                                .arg(QString::fromUtf8(felder[k].name))
                                .arg(i + 1)
                                .arg(felder[k].feld->text()),
                            QStringLiteral("Programmfehler !"));
            return false;
        }
        werte[k] = g.wert;
    }
    if (i < 0 || i >= SatzListeGroesse)
        return false;
    Satz &satz = fenster.SatzListe[size_t(i)];
    satz.setStartfrequenz(werte[0]);
    satz.setMaximalfrequenz(werte[1]);
    satz.setSatzdurchläufe(Variante(fenster.TextSatzdurchläufe->text()));
    satz.setSatzpause(werte[3]);
    if (const int rampe = fenster.gewaehlteRampe(); rampe != 0)
        satz.setRampe(rampe);
    satz.setRichtungsumkehr(fenster.Richtungsumkehrung->checkState() == Qt::Checked);
    if (fenster.OptionRechts->isChecked())
        satz.setRichtung(1);
    else if (fenster.OptionLinks->isChecked())
        satz.setRichtung(0);
    return true;
}
