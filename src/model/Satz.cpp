#include "model/Satz.h"

#include "ramp/Zahlentest.h"

std::optional<qint32> Variante::alsZahl() const {
    if (!m_istText)
        return m_zahl;
    const Ganzzahl g = GanzzahlAusText(m_text);
    if (!g.ok())
        return std::nullopt;
    return g.wert;
}

void Satz::setzeStandard() {
    setSchritte(5000);
    setStartfrequenz(300);
    setMaximalfrequenz(4000);
    setRichtung(1);
    setSatzdurchläufe(1);
    setSatzpause(10);
    setRichtungsumkehr(false);
    setRampe(1);
}

void Settings::setzeStandard() {
    setAktuellerSatz(0);
    setAnzahlSätze(1);
    setProgrammname(QStringLiteral("Unbenannt.orp"));
}
