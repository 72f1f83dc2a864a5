#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// A value that keeps the form it was given: a whole number, or a text (as the block panel and
// the program file hand it over). Readers convert as they need.
class Variante {
public:
    Variante(qint32 zahl = 0) : m_zahl(zahl) {}
    Variante(const QString &text) : m_text(text), m_istText(true) {}

    bool istText() const { return m_istText; }
    // The text form: the text itself, or the number in decimal.
    QString alsText() const { return m_istText ? m_text : QString::number(m_zahl); }
    // The value as a 32-bit whole number; empty when the text is no number or too large.
    std::optional<qint32> alsZahl() const;
    // Equal to the whole number z (a text is converted first).
    bool gleich(qint32 z) const { return alsZahl() == z; }

private:
    qint32 m_zahl = 0;
    QString m_text;
    bool m_istText = false;
};

// One block of a motion program. Plain storage: no validation.
class Satz {
public:
    qint32 Schritte() const { return m_schritte; }
    void setSchritte(qint32 v) { m_schritte = v; }
    qint32 Startfrequenz() const { return m_startfrequenz; }
    void setStartfrequenz(qint32 v) { m_startfrequenz = v; }
    qint32 Maximalfrequenz() const { return m_maximalfrequenz; }
    void setMaximalfrequenz(qint32 v) { m_maximalfrequenz = v; }
    const Variante &Satzdurchläufe() const { return m_satzdurchläufe; }
    void setSatzdurchläufe(const Variante &v) { m_satzdurchläufe = v; }
    qint32 Satzpause() const { return m_satzpause; }
    void setSatzpause(qint32 v) { m_satzpause = v; }
    // 1 = rechts; any other value reads as links.
    const Variante &Richtung() const { return m_richtung; }
    void setRichtung(const Variante &v) { m_richtung = v; }
    bool Richtungsumkehr() const { return m_richtungsumkehr; }
    void setRichtungsumkehr(bool v) { m_richtungsumkehr = v; }
    // 1..4: 2, 5, 10, 20 ms per 100 Hz.
    qint32 Rampe() const { return m_rampe; }
    void setRampe(qint32 v) { m_rampe = v; }

    // The defaults of a new block, given in their fixed order.
    void setzeStandard();

private:
    qint32 m_schritte = 5000;
    qint32 m_startfrequenz = 300;
    qint32 m_maximalfrequenz = 4000;
    Variante m_satzdurchläufe{1};
    qint32 m_satzpause = 10;
    Variante m_richtung{1};
    bool m_richtungsumkehr = false;
    qint32 m_rampe = 1;
};

// The program-level record.
class Settings {
public:
    QString Programmname() const { return m_programmname; }
    void setProgrammname(const QString &v) { m_programmname = v; }
    // Index of the block shown in the panel; equals the grid's current row.
    qint16 aktuellerSatz() const { return m_aktuellerSatz; }
    void setAktuellerSatz(qint16 v) { m_aktuellerSatz = v; }
    qint16 AnzahlSätze() const { return m_anzahlSätze; }
    void setAnzahlSätze(qint16 v) { m_anzahlSätze = v; }

    void setzeStandard();

private:
    QString m_programmname = QStringLiteral("Unbenannt.orp");
    qint16 m_aktuellerSatz = 0;
    qint16 m_anzahlSätze = 1;
};

// The table of blocks: block n is entry n - 1. Rows 0..19 of the grid hold the program's
// blocks, the blank row maps to the entry after the last block, and deleting a row shifts
// entries up to 21; entries 22..30 change only through a program file.
constexpr int SatzListeGroesse = 31;
constexpr int HoechstzahlSaetze = 20;
using SatzTabelle = std::array<Satz, SatzListeGroesse>;
