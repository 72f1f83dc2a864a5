#include "Auftraege.h"

#include "files/Kleindateien.h"
#include "files/Programmdatei.h"
#include "link/Protokoll.h"
#include "link/Uebertragungspruefung.h"
#include "model/Einstellwerte.h"
#include "model/Satz.h"
#include "ramp/Programmzeit.h"
#include "ramp/Rampe.h"
#include "ramp/Zahlentest.h"

#include <QJsonArray>

#include <cmath>

Dateiauftrag DateiPruefen(const QString &pfad) {
    Dateiauftrag auftrag;
    const Dateizugriff::Programmlesung lesung = Dateizugriff::ProgrammAusDatei(pfad);
    if (!lesung.ok) {
        auftrag.meldung = lesung.fehler;
        return auftrag;
    }
    const Dateizugriff::GelesenesProgramm &p = lesung.programm;
    const int n = int(p.sätze.size());
    const Programmpruefung kopf =
        PruefeProgramm(n, p.programmdurchläufe, p.programmpause, p.befehlspause);
    if (!kopf.meldung.isEmpty()) {
        auftrag.meldung = kopf.meldung;
        return auftrag;
    }
    // The fields as the window shows them once the file is open: the numbers in decimal, the
    // runs as written.
    std::vector<Satzwerte> saetze;
    for (int i = 1; i <= n; ++i) {
        const Dateizugriff::GelesenerSatz &g = p.sätze[i - 1];
        const Satzpruefung s = PruefeSatz(
            i, QString::number(g.schritte), QString::number(g.startfrequenz),
            QString::number(g.maximalfrequenz), g.satzdurchläufe, QString::number(g.satzpause));
        if (!s.meldung.isEmpty()) {
            auftrag.meldung = s.meldung;
            return auftrag;
        }
        Satzwerte w;
        w.schritte = s.schritte;
        w.startfrequenz = *s.startfrequenz;
        w.maximalfrequenz = *s.maximalfrequenz;
        w.durchlaeufe = *s.satzdurchlaeufe;
        w.pause = *s.satzpause;
        w.richtung = g.rechts() ? 1 : 0;
        w.richtungsumkehr = g.richtungsumkehr;
        w.rampe = g.rampe;
        saetze.push_back(w);
    }
    for (int i = 1; i <= n; ++i) {
        const int rampe = saetze[size_t(i - 1)].rampe;
        if (rampe < 1 || rampe > 4) {
            auftrag.meldung = QStringLiteral("Rampe in Satz %1 ist ungültig !").arg(i);
            return auftrag;
        }
    }
    auftrag.befehl = Programmuebertragung(
        {kopf.programmdurchlaeufe, kopf.programmpause, kopf.befehlspause}, saetze);
    if (!auftrag.befehl)
        auftrag.meldung = QStringLiteral("Das Programm lässt sich nicht übertragen.");
    auftrag.anzahlSaetze = n;
    return auftrag;
}

Zeitenbericht ZeitenBerechnen(const QString &pfad) {
    Zeitenbericht bericht;
    const Dateizugriff::Programmlesung lesung = Dateizugriff::ProgrammAusDatei(pfad);
    if (!lesung.ok) {
        bericht.meldung = lesung.fehler;
        return bericht;
    }
    const Dateizugriff::GelesenesProgramm &p = lesung.programm;
    QList<Satzfahrt> fahrten;
    QJsonArray saetze;
    int ohneDurchlaeufe = 0; // the first block whose runs are no whole number
    for (int i = 0; i < p.sätze.size(); ++i) {
        const Dateizugriff::GelesenerSatz &g = p.sätze[i];
        Satzfahrt f{QString::number(g.startfrequenz), QString::number(g.maximalfrequenz),
                    QString::number(g.schritte), g.rampe, 1};
        const Ganzzahl d = GanzzahlAusText(g.satzdurchläufe);
        f.durchlaeufe = d.wert;
        if (!d.ok() && ohneDurchlaeufe == 0)
            ohneDurchlaeufe = i + 1;
        fahrten << f;

        // The window's labels after a block is shown: the times hidden when the run failed.
        const RampenErgebnis e = ZeitenBeiFehlerVerbergen(
            BerechneRampe(f.startfrequenz, f.maximalfrequenz, f.schritte, f.rampe));
        QStringList teile;
        QJsonObject satz{{QStringLiteral("satz"), i + 1}};
        const struct {
            const LabelAenderung &label;
            const char *name;
            const char *schluessel;
        } labels[] = {{e.beschleunigungszeit, "Beschleunigungszeit", "beschleunigungszeit"},
                      {e.bremszeit, "Bremszeit", "bremszeit"},
                      {e.gesamtzeit, "Gesamtzeit", "gesamtzeit"}};
        for (const auto &l : labels) {
            if (l.label.sichtbar.value_or(false) && l.label.text) {
                teile << QString::fromUtf8(l.name) + QLatin1Char(' ') + *l.label.text;
                satz.insert(QString::fromLatin1(l.schluessel), *l.label.text);
            }
        }
        if (e.maximalfrequenzWarnung.sichtbar.value_or(false)) {
            teile << MaximalfrequenzWarnungText();
            satz.insert(QStringLiteral("warnung"), MaximalfrequenzWarnungText());
        }
        if (e.frequenzVorschlag.sichtbar.value_or(false) && e.frequenzVorschlag.text) {
            teile << *e.frequenzVorschlag.text;
            satz.insert(QStringLiteral("vorschlag"), *e.frequenzVorschlag.text);
        }
        if (teile.isEmpty())
            teile << QStringLiteral("keine Zeiten (Werte außerhalb der Berechnung)");
        bericht.zeilen << QStringLiteral("Satz %1: ").arg(i + 1) + teile.join(QStringLiteral(", "));
        saetze.append(satz);
    }
    bericht.json.insert(QStringLiteral("datei"), pfad);
    bericht.json.insert(QStringLiteral("saetze"), saetze);

    const Ganzzahl programmdurchlaeufe = GanzzahlAusText(p.programmdurchläufe);
    const Programmfahrzeit zeit = BerechneProgrammfahrzeit(fahrten, programmdurchlaeufe.wert);
    QString text;
    if (!programmdurchlaeufe.ok()) {
        text = QStringLiteral("nicht berechenbar: Programmdurchläufe ist keine ganze Zahl");
    } else if (zeit.satz > 0 || ohneDurchlaeufe > 0) {
        const int satz = zeit.satz > 0 && (ohneDurchlaeufe == 0 || zeit.satz < ohneDurchlaeufe)
                             ? zeit.satz
                             : ohneDurchlaeufe;
        text = satz == zeit.satz
                   ? QStringLiteral("nicht berechenbar: Satz %1 hat keine Gesamtzeit").arg(satz)
                   : QStringLiteral("nicht berechenbar: Satzdurchläufe in Satz %1 ist keine "
                                    "ganze Zahl")
                         .arg(satz);
    } else {
        text = ProgrammfahrzeitText(*zeit.ms);
        bericht.json.insert(QStringLiteral("fahrzeitMs"), std::round(*zeit.ms * 1000.0) / 1000.0);
    }
    bericht.zeilen << QStringLiteral("Programm: ") + text;
    bericht.json.insert(QStringLiteral("fahrzeit"), text);
    return bericht;
}

QString BytesText(const Befehl &befehl) {
    QString text;
    double pause = 0;
    bool offen = false; // a byte's line waits for its pause
    auto zeileBeenden = [&] {
        if (offen) {
            if (pause > 0)
                text += QStringLiteral("  ") + QString::number(pause * 1000.0, 'g', 6) +
                        QStringLiteral(" ms");
            text += QLatin1Char('\n');
        }
        offen = false;
        pause = 0;
    };
    for (const Befehlsschritt &s : befehl) {
        switch (s.art) {
        case Befehlsschritt::Art::Byte:
            zeileBeenden();
            text += QStringLiteral("%1").arg(s.wert, 2, 16, QLatin1Char('0')).toUpper();
            offen = true;
            break;
        case Befehlsschritt::Art::Pause:
            pause += s.sekunden;
            break;
        case Befehlsschritt::Art::Marke:
            zeileBeenden();
            text += QStringLiteral("# Satz %1\n").arg(s.marke);
            break;
        }
    }
    zeileBeenden();
    return text;
}

Befehlsauftrag EinstellungenBauen(const QString &schrittmodus, const QString &phasenstrom,
                                  const QString &stromabsenkung) {
    Befehlsauftrag auftrag;
    const Dateizugriff::ZelkorWerte gespeichert =
        Dateizugriff::ZelkorWerteAusDatei(Dateizugriff::ZelkorDateipfad());
    const QString modus = schrittmodus.isEmpty() ? gespeichert.schrittmodus : schrittmodus;
    const QString strom = phasenstrom.isEmpty() ? gespeichert.phasenstrom : phasenstrom;
    auto unbekannt = [](const char *was, const QString &text, const QStringList &moeglich) {
        return QStringLiteral("%1 „%2“ gibt es nicht; möglich: %3")
            .arg(QString::fromUtf8(was), text, moeglich.join(QStringLiteral(", ")));
    };
    if (!Schrittmodi().contains(modus)) {
        auftrag.meldung = unbekannt("Schrittmodus", modus, Schrittmodi());
        return auftrag;
    }
    if (!Phasenströme().contains(strom)) {
        auftrag.meldung = unbekannt("Phasenstrom", strom, Phasenströme());
        return auftrag;
    }
    bool ein = gespeichert.absenkungEin;
    if (stromabsenkung == QLatin1String("ein") || stromabsenkung == QLatin1String("aus")) {
        ein = stromabsenkung == QLatin1String("ein");
    } else if (!stromabsenkung.isEmpty()) {
        auftrag.meldung = unbekannt("Stromabsenkung", stromabsenkung, {"ein", "aus"});
        return auftrag;
    }
    auftrag.befehl =
        Einstellungen(SchrittmodusCode(modus), PhasenstromCode(strom), AbsenkungCode(ein));
    return auftrag;
}

Befehlsauftrag SatzstartBauen(const QString &nummer) {
    Befehlsauftrag auftrag;
    bool ok = false;
    const int n = nummer.toInt(&ok);
    if (!ok || n < 1 || n > HoechstzahlSaetze) {
        auftrag.meldung = QStringLiteral("Satznummer „%1“ ist keine ganze Zahl von 1 bis %2 !")
                              .arg(nummer)
                              .arg(HoechstzahlSaetze);
        return auftrag;
    }
    auftrag.befehl = Satzstart(n);
    return auftrag;
}
