#pragma once

#include <QList>
#include <QLocale>
#include <QPair>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// Travel times of one block, worked out from its frequencies, step count and ramp setting.
//
// The controller's ramp is a staircase of 50 Hz levels: level i (0..239) stands for
// (i + 1) * 50 Hz, and at every level the motor runs the number of steps that the ramp table
// of the block's ramp setting gives. Braking mirrors acceleration.

// Steps per level for one ramp setting: T(i) = max(1, floor((i + 1) / teiler)).
class RampenTabelle {
public:
    static constexpr int Stufen = 240;

    // teiler is 20, 8, 4 or 2 (see Tabellenteiler); values below 1 are taken as 1.
    explicit RampenTabelle(int teiler);

    int teiler() const { return m_teiler; }
    static bool EnthaeltStufe(qint64 i) { return i >= 0 && i < Stufen; }
    // T(i), or nothing outside 0..239.
    std::optional<qint16> eintrag(qint64 i) const;
    const std::array<qint16, Stufen> &werte() const { return m_werte; }

private:
    int m_teiler;
    std::array<qint16, Stufen> m_werte{};
};

// The table divisor of a ramp setting: 1 -> 20, 2 -> 8, 3 -> 4, 4 -> 2 (2, 5, 10, 20 ms per
// 100 Hz). Nothing for any other value, 0 standing for "no ramp option selected".
std::optional<int> Tabellenteiler(int rampe);

// Steps of the full ramp from level s up to level m and down again: sum of 2 * T(i) for
// i = s..m (0 when s > m). Nothing when a level outside the table would be needed.
std::optional<qint32> Rampenschritte(const RampenTabelle &tabelle, qint64 s, qint64 m);

// Acceleration time in ms from level s up to and including level m:
// 1000 * sum of T(i) / ((i + 1) * 50), summed from s upwards. Nothing outside the table.
std::optional<double> Beschleunigungszeit(const RampenTabelle &tabelle, qint64 s, qint64 m);

// What one run does to one label. Unset parts stay as the label had them.
struct LabelAenderung {
    std::optional<bool> sichtbar;
    std::optional<QString> text;
};

enum class RampenEnde {
    Fertig,        // the run went through (possibly stopping early as the rules say)
    Typfehler,     // a frequency or the step count is not a number
    AndererFehler, // outside the computation's domain, see BerechneRampe
};

struct RampenErgebnis {
    LabelAenderung beschleunigungszeit;    // LabelBeschleunigungszeit
    LabelAenderung bremszeit;              // LabelBremszeit
    LabelAenderung gesamtzeit;             // LabelGesamtzeit
    LabelAenderung maximalfrequenzWarnung; // LabelMaximalfrequenzWarnung (visibility only)
    LabelAenderung frequenzVorschlag;      // LabelFrequenzVorschlag
    RampenEnde ende = RampenEnde::Fertig;

    // Steps the full ramp needs (acceleration and braking), when the run got that far.
    std::optional<qint32> rampenschritte;
    // The suggested maximal frequency in Hz, when the run made one.
    std::optional<qint16> vorschlag;
    // The total time in ms behind LabelGesamtzeit's text, when the run set that text.
    std::optional<double> gesamtzeitMs;

    bool fehler() const { return ende != RampenEnde::Fertig; }
};

// One run of the travel-time computation.
//
// startfrequenzText, maximalfrequenzText: the texts of TextStartfrequenz and
// TextMaximalfrequenz; schritteText: the text of the grid's current cell; rampe: the ramp
// setting of the selected option (1..4), 0 when none is selected.
//
// The labels that the run touched before it ended are reported also when it ends in an error;
// the window applies them all and the labels keep what was set so far.
//
// Ends with RampenEnde::Typfehler when a frequency text (start first, then maximal) or the
// step count is not a number, and with RampenEnde::AndererFehler when the input lies outside
// what can be computed:
// - a frequency too large for a double, or a step count that large;
// - start below maximal frequency and no ramp option selected, or a start level below 0
//   (start frequency below 25 Hz) or a maximal level above 239 (12 025 Hz and more);
// - a negative step count (only when the run gets to the step count);
// - a maximal frequency of 0 or below with the start frequency not above it.
// No input makes the run read outside a table.
//
// Inside a window method named BerechneRampe, call this one as ::BerechneRampe(...).
RampenErgebnis BerechneRampe(const QString &startfrequenzText, const QString &maximalfrequenzText,
                             const QString &schritteText, int rampe,
                             const QLocale &locale = QLocale());

// A time as the three time labels show it: below one second in whole ms ("85 ms"), from one
// second on in s with two decimals ("1,25 s"), the locale's decimal separator.
QString Zeittext(double ms, const QLocale &locale = QLocale());

// The text of LabelMaximalfrequenzWarnung, shown when the steps end before the maximal
// frequency is reached.
inline QString MaximalfrequenzWarnungText() {
    return QStringLiteral("Maximalfrequenz kann nicht erreicht werden!");
}

// For the callers other than the two frequency-field handlers (ramp options, grid, start-up):
// when the run ended in an error, the three time labels are hidden as well; the other changes
// of the run are kept. A completed run is returned unchanged.
RampenErgebnis ZeitenBeiFehlerVerbergen(RampenErgebnis ergebnis);

// The five changes keyed by the labels' object names, in a fixed order.
QList<QPair<QString, LabelAenderung>> LabelAenderungen(const RampenErgebnis &ergebnis);
