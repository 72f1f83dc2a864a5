#include "ramp/Programmzeit.h"

#include "ramp/Rampe.h"

Programmfahrzeit BerechneProgrammfahrzeit(const QList<Satzfahrt> &saetze, int programmdurchlaeufe,
                                          const QLocale &locale) {
    Programmfahrzeit zeit;
    double summe = 0.0;
    for (int i = 0; i < saetze.size(); ++i) {
        const Satzfahrt &s = saetze[i];
        const RampenErgebnis e =
            BerechneRampe(s.startfrequenz, s.maximalfrequenz, s.schritte, s.rampe, locale);
        if (e.fehler() || !e.gesamtzeitMs) {
            zeit.satz = i + 1;
            return zeit;
        }
        summe += *e.gesamtzeitMs * s.durchlaeufe;
    }
    zeit.ms = summe * programmdurchlaeufe;
    return zeit;
}

QString ProgrammfahrzeitText(double ms, const QLocale &locale) {
    return Zeittext(ms, locale) + QStringLiteral(" (ohne Pausen)");
}
