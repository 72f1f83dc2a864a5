#include "model/Satzpanel.h"

#include "model/Satz.h"
#include "ramp/Zahlentest.h"

namespace {

struct Pflichtfeld {
    const QString Satzpanel::*text;
    const char *fehltText;
    const char *name; // as the operator reads it in the message for a non-number
};

const Pflichtfeld Pflichtfelder[] = {
    {&Satzpanel::startfrequenz, "Sie müssen eine Startfrequenz angeben", "Startfrequenz"},
    {&Satzpanel::maximalfrequenz, "Sie müssen eine Maximalfrequenz angeben", "Maximalfrequenz"},
    {&Satzpanel::satzdurchläufe, "Sie müssen die Satzdurchläufe angeben", "Satzdurchläufe"},
    {&Satzpanel::satzpause, "Sie müssen eine Satzpause angeben", "Satzpause"},
};

} // namespace

QString SatzpanelTitel(int zeile) {
    return QStringLiteral("Satz - Parameter Satz ") + QString::number(zeile + 1);
}

Satzpanel SatzpanelFuer(const Satz &satz) {
    Satzpanel panel;
    panel.startfrequenz = QString::number(satz.Startfrequenz());
    panel.maximalfrequenz = QString::number(satz.Maximalfrequenz());
    panel.satzdurchläufe = satz.Satzdurchläufe().alsText();
    panel.satzpause = QString::number(satz.Satzpause());
    panel.rampe = satz.Rampe();
    panel.richtung = satz.Richtung().gleich(1) ? 1 : 0;
    panel.richtungsumkehr = satz.Richtungsumkehr();
    return panel;
}

QString SatzpanelFehler(const Satzpanel &panel, int satzIndex) {
    for (const Pflichtfeld &f : Pflichtfelder) {
        if ((panel.*f.text).isEmpty())
            return QString::fromUtf8(f.fehltText);
    }
    // A text that is no 32-bit whole number would store a wrong value: nothing is stored.
    for (const Pflichtfeld &f : Pflichtfelder) {
        if (!GanzzahlAusText(panel.*f.text).ok())
            return QStringLiteral("%1 in Satz %2 ist keine gültige Ganzzahl: „%3“.\n"
                                  "Der Satz wurde nicht übernommen.")
                .arg(QString::fromUtf8(f.name))
                .arg(satzIndex + 1)
                .arg(panel.*f.text);
    }
    return {};
}

void SatzpanelSpeichern(const Satzpanel &panel, Satz &satz) {
    satz.setStartfrequenz(GanzzahlAusText(panel.startfrequenz).wert);
    satz.setMaximalfrequenz(GanzzahlAusText(panel.maximalfrequenz).wert);
    satz.setSatzdurchläufe(Variante(panel.satzdurchläufe));
    satz.setSatzpause(GanzzahlAusText(panel.satzpause).wert);
    if (panel.rampe != 0)
        satz.setRampe(panel.rampe);
    satz.setRichtungsumkehr(panel.richtungsumkehr);
    if (panel.richtung == 1)
        satz.setRichtung(1);
    else if (panel.richtung == 0)
        satz.setRichtung(0);
}
