#include "link/Uebertragungspruefung.h"

#include "link/Protokoll.h"
#include "ramp/Zahlentest.h"

#include <cmath>

namespace {

// A field's value as the transfer takes it. A number beyond 32 bits cannot be taken; it is
// reported by the range test it would fail.
struct Wert {
    std::optional<qint32> zahl;
    bool zuGross = false, zuKlein = false, keineZahl = false;
};

Wert nehmen(const QString &text) {
    const Ganzzahl g = GanzzahlAusText(text);
    Wert w;
    if (g.ok())
        w.zahl = g.wert;
    else if (g.fehler == Zahlfehler::Ueberlauf)
        (text.trimmed().startsWith(QLatin1Char('-')) ? w.zuKlein : w.zuGross) = true;
    else
        w.keineZahl = true;
    return w;
}

bool ueber(const Wert &w, qint32 grenze) {
    return w.zuGross || (w.zahl && *w.zahl > grenze);
}
bool unter(const Wert &w, qint32 grenze) {
    return w.zuKlein || (w.zahl && *w.zahl < grenze);
}

QString imSatz(const char *vorher, int nummer, const char *nachher) {
    return QString::fromUtf8(vorher) + QString::number(nummer) + QString::fromUtf8(nachher);
}

} // namespace

Programmpruefung PruefeProgramm(int anzahlSaetze, const QString &programmdurchlaeufe,
                                const QString &programmpause, const QString &befehlspause) {
    Programmpruefung p;
    if (anzahlSaetze > 20) {
        p.meldung = QStringLiteral("Höchstwert Anzahl Sätze (20) überschritten !");
        return p;
    }
    struct Feld {
        const QString &text;
        const char *name;
        int *ziel;
    };
    const Feld felder[] = {{programmdurchlaeufe, "Programmdurchläufe", &p.programmdurchlaeufe},
                           {programmpause, "Programmpause", &p.programmpause},
                           {befehlspause, "Befehlspause", &p.befehlspause}};
    for (const Feld &f : felder) {
        const QString name = QString::fromUtf8(f.name);
        if (f.text.isEmpty()) {
            p.meldung = name + QStringLiteral(" nicht angegeben !");
            return p;
        }
        const Wert w = nehmen(f.text);
        if (w.keineZahl) {
            p.meldung = name + QStringLiteral(" ist keine ganze Zahl !");
            return p;
        }
        if (ueber(w, 255)) {
            p.meldung = QStringLiteral("Höchstwert %1 (255) überschritten !").arg(name);
            return p;
        }
        // A negative value has no byte on the line.
        if (unter(w, 0)) {
            p.meldung = QStringLiteral("Mindestwert %1 (0) unterschritten !").arg(name);
            return p;
        }
        *f.ziel = *w.zahl;
    }
    return p;
}

Satzpruefung PruefeSatz(int i, const QString &schritte, const QString &startfrequenz,
                        const QString &maximalfrequenz, const QString &satzdurchlaeufe,
                        const QString &satzpause) {
    Satzpruefung p;
    auto keineZahl = [i](const char *name) {
        return QString::fromUtf8(name) +
               QStringLiteral(" in Satz %1 ist keine ganze Zahl !").arg(i);
    };

    if (startfrequenz.isEmpty()) {
        p.meldung = imSatz("Startfrequenz in Satz ", i, " nicht angegeben !");
        return p;
    }
    const Wert s = nehmen(startfrequenz);
    p.startfrequenz = s.zahl;
    if (s.keineZahl) {
        p.meldung = keineZahl("Startfrequenz");
        return p;
    }
    if (ueber(s, 12000)) {
        p.meldung = imSatz("Höchstwert Startfrequenz (12 kHz) in Satz ", i, " überschritten !");
        return p;
    }
    if (unter(s, 100)) {
        p.meldung = imSatz("Mindestwert Startfrequenz (100 Hz) in Satz ", i, " unterschritten !");
        return p;
    }

    if (maximalfrequenz.isEmpty()) {
        p.meldung = imSatz("Maximalfrequenz in Satz ", i, " nicht angegeben !");
        return p;
    }
    const Wert m = nehmen(maximalfrequenz);
    p.maximalfrequenz = m.zahl;
    if (m.keineZahl) {
        p.meldung = keineZahl("Maximalfrequenz");
        return p;
    }
    if (ueber(m, 12000)) {
        p.meldung = imSatz("Höchstwert Maximalfrequenz (12 kHz) in Satz ", i, " überschritten !");
        return p;
    }
    if (unter(m, 100)) {
        p.meldung = imSatz("Mindestwert Maximalfrequenz (100 Hz) in Satz ", i, " unterschritten !");
        return p;
    }
    if (*s.zahl > *m.zahl) {
        p.meldung = imSatz("Startfrequenz in Satz ", i, " ist größer als die Maximalfrequenz !");
        return p;
    }

    if (satzdurchlaeufe.isEmpty()) {
        p.meldung = imSatz("Satzdurchläufe in Satz ", i, " nicht angegeben !");
        return p;
    }
    const Wert d = nehmen(satzdurchlaeufe);
    p.satzdurchlaeufe = d.zahl;
    if (d.keineZahl) {
        p.meldung = keineZahl("Satzdurchläufe");
        return p;
    }
    if (ueber(d, 255)) {
        p.meldung = imSatz("Höchstwert Satzdurchläufe (255) in Satz ", i, " überschritten !");
        return p;
    }
    if (unter(d, 1)) {
        p.meldung = imSatz("Mindestwert Satzdurchläufe (1) in Satz ", i, " unterschritten !");
        return p;
    }

    if (satzpause.isEmpty()) {
        p.meldung = imSatz("Satzpause in Satz ", i, " nicht angegeben !");
        return p;
    }
    const Wert pause = nehmen(satzpause);
    p.satzpause = pause.zahl;
    if (pause.keineZahl) {
        p.meldung = keineZahl("Satzpause");
        return p;
    }
    if (ueber(pause, 255)) {
        p.meldung = imSatz("Höchstwert Satzpause (255) in Satz ", i, " überschritten !");
        return p;
    }
    if (unter(pause, 0)) {
        p.meldung = imSatz("Mindestwert Satzpause (0) in Satz ", i, " unterschritten !");
        return p;
    }

    // The step count travels in three bytes: only whole numbers 0..16 777 215 fit.
    const Gleitzahl n = GleitzahlAusText(schritte);
    if (!n.ok() || n.wert != std::floor(n.wert) || n.wert < 0 || n.wert > HoechsteSchrittzahl) {
        p.meldung = QStringLiteral("Schritte in Satz %1 müssen eine ganze Zahl von 0 bis "
                                   "16777215 sein !")
                        .arg(i);
        return p;
    }
    p.schritte = qint64(n.wert);
    return p;
}
