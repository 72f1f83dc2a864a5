#pragma once

#include "ramp/Rampe.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// The checks that run on every change of the main window's seven number fields, without the
// window: which texts are refused, what a refused field is set back to, and what the two
// frequency fields do to the ramp graph.
//
// A check refuses only text that is not a number (a type error of GanzzahlAusText), and only
// when the field is not empty and start-up has finished. Overflow, empty text and any range
// are left alone here.

enum class Feld {
    Programmdurchlaeufe, // TextProgrammdurchläufe
    Programmpause,       // TextProgrammpause
    Befehlspause,        // TextBefehlspause
    Startfrequenz,       // TextStartfrequenz
    Maximalfrequenz,     // TextMaximalfrequenz
    Satzdurchlaeufe,     // TextSatzdurchläufe
    Satzpause,           // TextSatzpause
};

// The field's object name, e.g. "TextProgrammdurchläufe".
QString Feldname(Feld feld);
std::optional<Feld> FeldAusName(const QString &objectName);

// How many characters an entry field of the main window holds.
constexpr int Feldlaenge = 32767;

// Whether one of the five plain fields takes a text that is put there from outside (a program
// file) without a word: it fits the field's length, and its check would let it pass after
// start-up (it is empty or a number).
bool FeldNimmtText(Feld feld, const QString &text, const QLocale &locale = QLocale());

// The text a refused field is set back to: "1", "10", "10", "300", "4000", "1", "10".
QString Ruecksetztext(Feld feld);

bool IstFrequenzfeld(Feld feld);

// The message box of every check: text "Nur Ganzzahlen gültig !", title "Eingabefehler".
QString EingabefehlerText();
QString EingabefehlerTitel();

// The ramp graph's elements that show only while the maximal frequency is above the start
// frequency: Line2, Line3, Line4, Line8, Line9, LabelGrafikMaximalfrequenz.
const QStringList &Flankenelemente();

// Whether a failed conversion is reported: a type error, in a non-empty field, after start-up.
bool TypfehlerMelden(bool typfehler, const QString &eigenerText, bool startAbgeschlossen);

// What one run of a field's change handler does. The window applies it in this order:
//
//   1. graph: flankenSichtbar on all Flankenelemente(), then the captions that are set;
//   2. if rampeBerechnen: run ::BerechneRampe(...) and apply its label changes;
//   3. if meldenUndZuruecksetzen, or rampeBerechnen and NachRampeMelden(ende of step 2):
//      show the message (EingabefehlerText/-Titel) and, when it is closed, set the field's
//      text to ruecksetztext. Writing the text runs the same handler again at once.
//
// meldenUndZuruecksetzen and rampeBerechnen are never both set.
struct Pruefplan {
    Feld feld = Feld::Programmdurchlaeufe;

    // Visibility of Flankenelemente(); unset: leave as it is.
    std::optional<bool> flankenSichtbar;
    // Caption of LabelGrafikMaximalfrequenz; unset: leave as it is.
    std::optional<QString> grafikMaximalfrequenzText;
    // Caption of LabelGrafikStartfrequenz; unset: leave as it is.
    std::optional<QString> grafikStartfrequenzText;

    bool rampeBerechnen = false;
    bool meldenUndZuruecksetzen = false;
    QString ruecksetztext;

    // Whether a type error of the ramp run is to be reported (own field not empty, start-up
    // finished); used through NachRampeMelden.
    bool typfehlerMeldbar = false;
    bool NachRampeMelden(RampenEnde ende) const {
        return rampeBerechnen && typfehlerMeldbar && ende == RampenEnde::Typfehler;
    }
};

// Check of one of the five plain fields (Programmdurchläufe, Programmpause, Befehlspause,
// Satzdurchläufe, Satzpause) with its own text. Sets at most meldenUndZuruecksetzen.
// For the two frequency fields use PruefeFrequenzfeld.
Pruefplan PruefeEinfachesFeld(Feld feld, const QString &text, bool startAbgeschlossen,
                              const QLocale &locale = QLocale());

// Check of TextStartfrequenz or TextMaximalfrequenz (feld says whose handler runs), given the
// texts of both fields:
// - both are converted, maximal first; the first failure ends the check: a reportable type
//   error gives meldenUndZuruecksetzen for the handler's own field, anything else nothing at
//   all (no graph update, no ramp run);
// - otherwise the graph: flanks hidden when maximal <= start, shown otherwise; the maximal
//   caption (text + " Hz") only in the maximal field's handler and only while maximal > start;
//   the start caption (text + " Hz") always in the start field's handler; then the ramp run.
Pruefplan PruefeFrequenzfeld(Feld feld, const QString &startfrequenzText,
                             const QString &maximalfrequenzText, bool startAbgeschlossen,
                             const QLocale &locale = QLocale());
