#include "ramp/Rampe.h"

#include "ramp/Zahlentest.h"

#include <algorithm>

RampenTabelle::RampenTabelle(int teiler) : m_teiler(std::max(1, teiler)) {
    for (int i = 0; i < Stufen; ++i)
        m_werte[std::size_t(i)] = qint16(std::max(1, (i + 1) / m_teiler));
}

std::optional<qint16> RampenTabelle::eintrag(qint64 i) const {
    if (!EnthaeltStufe(i))
        return std::nullopt;
    return m_werte[std::size_t(i)];
}

std::optional<int> Tabellenteiler(int rampe) {
    switch (rampe) {
    case 1:
        return 20;
    case 2:
        return 8;
    case 3:
        return 4;
    case 4:
        return 2;
    default:
        return std::nullopt;
    }
}

std::optional<qint32> Rampenschritte(const RampenTabelle &tabelle, qint64 s, qint64 m) {
    if (s > m)
        return 0;
    if (!RampenTabelle::EnthaeltStufe(s) || !RampenTabelle::EnthaeltStufe(m))
        return std::nullopt;
    qint32 n = 0;
    for (qint64 i = s; i <= m; ++i)
        n += 2 * *tabelle.eintrag(i);
    return n;
}

std::optional<double> Beschleunigungszeit(const RampenTabelle &tabelle, qint64 s, qint64 m) {
    if (s > m)
        return 0.0;
    if (!RampenTabelle::EnthaeltStufe(s) || !RampenTabelle::EnthaeltStufe(m))
        return std::nullopt;
    double summe = 0.0;
    for (qint64 i = s; i <= m; ++i)
        summe += double(*tabelle.eintrag(i)) / (double(i + 1) * 50.0);
    return 1000.0 * summe;
}

namespace {

// The "0" and "0.00" display formats: the locale's decimal separator, no thousands separators.
QString Format(double wert, int nachkommastellen, QLocale locale) {
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(wert, 'f', nachkommastellen);
}

// tA, tG and tG - tA below one second in whole ms, from one second on in s with two decimals.
QString Millisekunden(double ms, const QLocale &locale) {
    return Format(ms, 0, locale) + QStringLiteral(" ms");
}

QString Sekunden(double s, const QLocale &locale) {
    return Format(s, 2, locale) + QStringLiteral(" s");
}

RampenEnde EndeBei(Zahlfehler fehler) {
    return fehler == Zahlfehler::Typfehler ? RampenEnde::Typfehler : RampenEnde::AndererFehler;
}

} // namespace

RampenErgebnis BerechneRampe(const QString &startfrequenzText, const QString &maximalfrequenzText,
                             const QString &schritteText, int rampe, const QLocale &locale) {
    RampenErgebnis e;

    // The table of the selected option; without one, only runs that need no table get through.
    std::optional<RampenTabelle> tabelle;
    if (const std::optional<int> teiler = Tabellenteiler(rampe))
        tabelle.emplace(*teiler);

    e.gesamtzeit.sichtbar = true;
    e.maximalfrequenzWarnung.sichtbar = false;
    e.frequenzVorschlag.sichtbar = false;

    if (schritteText.isEmpty()) {
        e.beschleunigungszeit.sichtbar = false;
        e.bremszeit.sichtbar = false;
        e.gesamtzeit.sichtbar = false;
        return e;
    }

    const Gleitzahl start = GleitzahlAusText(startfrequenzText, locale);
    if (!start.ok()) {
        e.ende = EndeBei(start.fehler);
        return e;
    }
    const Gleitzahl maximal = GleitzahlAusText(maximalfrequenzText, locale);
    if (!maximal.ok()) {
        e.ende = EndeBei(maximal.fehler);
        return e;
    }

    // Level positions; comparisons use them unrounded, table indexes use them rounded.
    const double S = start.wert / 50.0 - 1.0;
    const double M = maximal.wert / 50.0 - 1.0;
    const qint64 s = RundeHalbGerade(S);
    const qint64 m = RundeHalbGerade(M);

    // Acceleration.
    double tA = 0.0;
    if (S >= M) {
        e.beschleunigungszeit.sichtbar = false;
        e.bremszeit.sichtbar = false;
    } else {
        e.beschleunigungszeit.sichtbar = true;
        e.bremszeit.sichtbar = true;
        const std::optional<double> zeit =
            tabelle ? Beschleunigungszeit(*tabelle, s, m) : std::nullopt;
        if (!zeit) {
            e.ende = RampenEnde::AndererFehler;
            return e;
        }
        tA = *zeit;
        e.beschleunigungszeit.text =
            tA < 1000.0 ? Millisekunden(tA, locale) : Sekunden(tA / 1000.0, locale);
    }

    if (S > M)
        return e;

    // Steps of the full ramp. Where S < M the indexes were checked above.
    qint32 n = 0;
    if (S < M)
        n = *Rampenschritte(*tabelle, s, m);
    e.rampenschritte = n;

    const Gleitzahl schritte = GleitzahlAusText(schritteText, locale);
    if (!schritte.ok()) {
        e.ende = EndeBei(schritte.fehler);
        return e;
    }
    const double N = schritte.wert;
    if (N < 0.0) {
        e.ende = RampenEnde::AndererFehler;
        return e;
    }

    if (N < n) {
        // The maximal frequency is not reached: take levels off the top until the ramp fits.
        // N >= 0, so at most the levels s..m are taken off and the table is read only there.
        e.beschleunigungszeit.sichtbar = false;
        e.bremszeit.sichtbar = false;
        e.gesamtzeit.sichtbar = false;
        e.maximalfrequenzWarnung.sichtbar = true;
        qint64 k = m;
        while (N < n && k >= s) {
            n -= 2 * *tabelle->eintrag(k);
            --k;
        }
        const qint16 vorschlag = qint16((k - 1) * 50);
        e.vorschlag = vorschlag;
        e.frequenzVorschlag.sichtbar = true;
        e.frequenzVorschlag.text =
            QStringLiteral("Vorschlag: ") + QString::number(vorschlag) + QStringLiteral(" Hz");
        return e;
    }

    // The maximal frequency is reached; the rest of the steps run at it.
    const double fmax = maximal.wert;
    if (!(fmax > 0.0)) {
        e.ende = RampenEnde::AndererFehler;
        return e;
    }
    const double rest = N - n;
    const double tC = 1000.0 * rest / fmax;
    const double tG = tC + 2.0 * tA;
    e.gesamtzeitMs = tG;
    if (tG < 1000.0) {
        e.gesamtzeit.text = Millisekunden(tG, locale);
        e.bremszeit.text = Millisekunden(tG - tA, locale);
    } else {
        e.gesamtzeit.text = Sekunden(tG / 1000.0, locale);
        e.bremszeit.text = Sekunden(tG / 1000.0 - tA / 1000.0, locale);
    }
    return e;
}

QString Zeittext(double ms, const QLocale &locale) {
    return ms < 1000.0 ? Millisekunden(ms, locale) : Sekunden(ms / 1000.0, locale);
}

RampenErgebnis ZeitenBeiFehlerVerbergen(RampenErgebnis ergebnis) {
    if (ergebnis.fehler()) {
        ergebnis.beschleunigungszeit.sichtbar = false;
        ergebnis.bremszeit.sichtbar = false;
        ergebnis.gesamtzeit.sichtbar = false;
    }
    return ergebnis;
}

QList<QPair<QString, LabelAenderung>> LabelAenderungen(const RampenErgebnis &ergebnis) {
    return {
        {QStringLiteral("LabelBeschleunigungszeit"), ergebnis.beschleunigungszeit},
        {QStringLiteral("LabelBremszeit"), ergebnis.bremszeit},
        {QStringLiteral("LabelGesamtzeit"), ergebnis.gesamtzeit},
        {QStringLiteral("LabelMaximalfrequenzWarnung"), ergebnis.maximalfrequenzWarnung},
        {QStringLiteral("LabelFrequenzVorschlag"), ergebnis.frequenzVorschlag},
    };
}
