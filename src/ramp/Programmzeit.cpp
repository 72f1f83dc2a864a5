#include "ramp/Programmzeit.h"

#include "ramp/Rampe.h"

Programmfahrzeit BerechneProgrammfahrzeit(const QList<Satzfahrt> &saetze,
                                          std::optional<int> programmdurchlaeufe,
                                          const QLocale &locale) {
    Programmfahrzeit zeit;
    double summe = 0.0;
    for (int i = 0; i < saetze.size(); ++i) {
        const Satzfahrt &s = saetze[i];
        const RampenErgebnis e =
            BerechneRampe(s.startfrequenz, s.maximalfrequenz, s.schritte, s.rampe, locale);
        if (e.fehler() || !e.gesamtzeitMs || !s.durchlaeufe) {
            zeit.satz = i + 1;
            zeit.grund =
                !e.fehler() && e.gesamtzeitMs
                    ? QStringLiteral("Satzdurchläufe in Satz %1 ist keine ganze Zahl").arg(i + 1)
                : e.maximalfrequenzWarnung.sichtbar.value_or(false)
                    ? QStringLiteral("Satz %1: ").arg(i + 1) + MaximalfrequenzWarnungText()
                    : QStringLiteral("Satz %1 hat keine Gesamtzeit").arg(i + 1);
            return zeit;
        }
        summe += *e.gesamtzeitMs * *s.durchlaeufe;
    }
    if (!programmdurchlaeufe) {
        zeit.grund = QStringLiteral("Programmdurchläufe ist keine ganze Zahl");
        return zeit;
    }
    zeit.ms = summe * *programmdurchlaeufe;
    return zeit;
}

QString ProgrammfahrzeitText(double ms, const QLocale &locale) {
    return Zeittext(ms, locale) + QStringLiteral(" (ohne Pausen)");
}

Programmfahrzeitanzeige ProgrammfahrzeitAnzeige(const Programmfahrzeit &zeit,
                                                const QLocale &locale) {
    const QString vorne = QStringLiteral("Fahrzeit des Programms: ");
    if (!zeit.ms)
        return {vorne + QStringLiteral("–"), zeit.grund};
    return {vorne + ProgrammfahrzeitText(*zeit.ms, locale), QString()};
}
