#include "ramp/Feldpruefung.h"

#include "ramp/Zahlentest.h"

#include <array>

namespace {

struct Feldangaben {
    Feld feld;
    const char *name; // UTF-8
    const char *ruecksetztext;
};

const std::array<Feldangaben, 7> &Felder() {
    static const std::array<Feldangaben, 7> felder{{
        {Feld::Programmdurchlaeufe, "TextProgrammdurchläufe", "1"},
        {Feld::Programmpause, "TextProgrammpause", "10"},
        {Feld::Befehlspause, "TextBefehlspause", "10"},
        {Feld::Startfrequenz, "TextStartfrequenz", "300"},
        {Feld::Maximalfrequenz, "TextMaximalfrequenz", "4000"},
        {Feld::Satzdurchlaeufe, "TextSatzdurchläufe", "1"},
        {Feld::Satzpause, "TextSatzpause", "10"},
    }};
    return felder;
}

const Feldangaben &Angaben(Feld feld) {
    for (const Feldangaben &a : Felder()) {
        if (a.feld == feld)
            return a;
    }
    return Felder().front();
}

QString MitHz(const QString &text) {
    return text + QStringLiteral(" Hz");
}

} // namespace

QString Feldname(Feld feld) {
    return QString::fromUtf8(Angaben(feld).name);
}

std::optional<Feld> FeldAusName(const QString &objectName) {
    for (const Feldangaben &a : Felder()) {
        if (objectName == QString::fromUtf8(a.name))
            return a.feld;
    }
    return std::nullopt;
}

QString Ruecksetztext(Feld feld) {
    return QString::fromUtf8(Angaben(feld).ruecksetztext);
}

bool IstFrequenzfeld(Feld feld) {
    return feld == Feld::Startfrequenz || feld == Feld::Maximalfrequenz;
}

QString EingabefehlerText() {
    return QStringLiteral("Nur Ganzzahlen gültig !");
}

QString EingabefehlerTitel() {
    return QStringLiteral("Eingabefehler");
}

const QStringList &Flankenelemente() {
    static const QStringList namen{
        QStringLiteral("Line2"), QStringLiteral("Line3"),
        QStringLiteral("Line4"), QStringLiteral("Line8"),
        QStringLiteral("Line9"), QStringLiteral("LabelGrafikMaximalfrequenz"),
    };
    return namen;
}

bool TypfehlerMelden(bool typfehler, const QString &eigenerText, bool startAbgeschlossen) {
    return typfehler && !eigenerText.isEmpty() && startAbgeschlossen;
}

Pruefplan PruefeEinfachesFeld(Feld feld, const QString &text, bool startAbgeschlossen,
                              const QLocale &locale) {
    Pruefplan plan;
    plan.feld = feld;
    plan.ruecksetztext = Ruecksetztext(feld);
    const Ganzzahl zahl = GanzzahlAusText(text, locale);
    plan.meldenUndZuruecksetzen =
        TypfehlerMelden(zahl.fehler == Zahlfehler::Typfehler, text, startAbgeschlossen);
    return plan;
}

bool FeldNimmtText(Feld feld, const QString &text, const QLocale &locale) {
    return text.size() <= Feldlaenge &&
           !PruefeEinfachesFeld(feld, text, true, locale).meldenUndZuruecksetzen;
}

Pruefplan PruefeFrequenzfeld(Feld feld, const QString &startfrequenzText,
                             const QString &maximalfrequenzText, bool startAbgeschlossen,
                             const QLocale &locale) {
    Pruefplan plan;
    plan.feld = feld;
    plan.ruecksetztext = Ruecksetztext(feld);
    const QString &eigenerText =
        feld == Feld::Maximalfrequenz ? maximalfrequenzText : startfrequenzText;
    plan.typfehlerMeldbar = TypfehlerMelden(true, eigenerText, startAbgeschlossen);

    const Ganzzahl maximal = GanzzahlAusText(maximalfrequenzText, locale);
    const Ganzzahl start = maximal.ok() ? GanzzahlAusText(startfrequenzText, locale) : Ganzzahl{};
    const Zahlfehler fehler = !maximal.ok() ? maximal.fehler : start.fehler;
    if (fehler != Zahlfehler::Keiner) {
        plan.meldenUndZuruecksetzen = fehler == Zahlfehler::Typfehler && plan.typfehlerMeldbar;
        return plan;
    }

    const bool flanken = maximal.wert > start.wert;
    plan.flankenSichtbar = flanken;
    if (flanken && feld == Feld::Maximalfrequenz)
        plan.grafikMaximalfrequenzText = MitHz(maximalfrequenzText);
    if (feld == Feld::Startfrequenz)
        plan.grafikStartfrequenzText = MitHz(startfrequenzText);
    plan.rampeBerechnen = true;
    return plan;
}
