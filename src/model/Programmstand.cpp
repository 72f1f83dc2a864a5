#include "model/Programmstand.h"

#include "ramp/Zahlentest.h"

namespace {

// A whole number in its plain form, any other text as it is.
QString Einheitlich(const QString &text) {
    const Ganzzahl zahl = GanzzahlAusText(text);
    return zahl.ok() ? QString::number(zahl.wert) : text;
}

} // namespace

Dateizugriff::ProgrammFelder ProgrammstandFelder(const Programmstand &stand) {
    Dateizugriff::ProgrammFelder felder;
    felder.programmdurchläufe = stand.programmdurchlaeufe;
    felder.programmpause = stand.programmpause;
    felder.befehlspause = stand.befehlspause;
    for (int i = 0; i < stand.schritte.size() && i < SatzListeGroesse; ++i) {
        Satz satz = (*stand.saetze)[size_t(i)];
        Satzpanel panel = SatzpanelFuer(satz);
        if (i == stand.panelSatz) {
            // The panel as the block would store it; a panel that cannot be stored as it is.
            if (SatzpanelFehler(stand.panel, i).isEmpty()) {
                SatzpanelSpeichern(stand.panel, satz);
                panel = SatzpanelFuer(satz);
            } else {
                panel = stand.panel;
                if (panel.rampe == 0)
                    panel.rampe = satz.Rampe();
            }
        }
        Dateizugriff::SatzFelder s;
        s.schritte = stand.schritte[i];
        s.startfrequenz = Einheitlich(panel.startfrequenz);
        s.maximalfrequenz = Einheitlich(panel.maximalfrequenz);
        s.satzdurchläufe = Einheitlich(panel.satzdurchläufe);
        s.satzpause = Einheitlich(panel.satzpause);
        s.richtungsumkehr = panel.richtungsumkehr;
        s.rechts = panel.richtung != 0;
        s.rampe = panel.rampe;
        felder.sätze.append(s);
    }
    return felder;
}

Programmfahrzeit ProgrammstandFahrzeit(const Programmstand &stand) {
    const auto ganzzahl = [](const QString &text) -> std::optional<int> {
        const Ganzzahl zahl = GanzzahlAusText(text);
        return zahl.ok() ? std::optional<int>(zahl.wert) : std::nullopt;
    };
    QList<Satzfahrt> fahrten;
    for (int i = 0; i < stand.schritte.size() && i < SatzListeGroesse; ++i) {
        if (stand.schritte[i].isEmpty())
            break;
        const Satzpanel panel =
            i == stand.panelSatz ? stand.panel : SatzpanelFuer((*stand.saetze)[size_t(i)]);
        fahrten << Satzfahrt{panel.startfrequenz, panel.maximalfrequenz, stand.schritte[i],
                             panel.rampe, ganzzahl(panel.satzdurchläufe)};
    }
    return BerechneProgrammfahrzeit(fahrten, ganzzahl(stand.programmdurchlaeufe));
}
