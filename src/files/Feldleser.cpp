#include "files/Feldleser.h"

#include <QStringDecoder>

#include <limits>

namespace Dateizugriff {

namespace {

bool istLeerzeichen(char c) {
    return c == ' ' || c == '\t';
}
bool istZeilenende(char c) {
    return c == '\r' || c == '\n';
}
bool istTrenner(char c) {
    return c == ',' || istZeilenende(c);
}

// Beyond this the integer part is only remembered as "too large"; it lies far outside every
// range asked for, and stopping here keeps the arithmetic free of overflow.
constexpr quint64 GanzteilGrenze = Q_UINT64_C(1000000000000000000);

} // namespace

QString Feld::text() const {
    // The byte order mark of the file is skipped by the reader; one at the start of a field
    // is part of its text and must not be dropped, or the text would not read back.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString ergebnis = utf8(inhalt);
    if (utf8.hasError())
        return QString::fromLatin1(inhalt);
    return ergebnis;
}

Feldleser::Feldleser(const QByteArray &daten) : m_daten(daten) {
    if (m_daten.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
}

void Feldleser::leerzeichenÜberspringen() {
    const qsizetype n = m_daten.size();
    while (m_pos < n && istLeerzeichen(m_daten.at(m_pos)))
        ++m_pos;
}

void Feldleser::trennerVerbrauchen() {
    const qsizetype n = m_daten.size();
    if (m_pos >= n)
        return;
    const char c = m_daten.at(m_pos);
    if (c == ',' || c == '\n') {
        ++m_pos;
    } else if (c == '\r') {
        ++m_pos;
        if (m_pos < n && m_daten.at(m_pos) == '\n')
            ++m_pos;
    }
}

bool Feldleser::amEnde() {
    leerzeichenÜberspringen();
    return m_pos >= m_daten.size();
}

std::optional<Feld> Feldleser::lesen() {
    if (amEnde())
        return std::nullopt;

    const qsizetype n = m_daten.size();
    const char *daten = m_daten.constData();
    Feld feld;

    if (daten[m_pos] == '"') {
        feld.inAnführungszeichen = true;
        const qsizetype anfang = m_pos + 1;
        qsizetype ende = anfang;
        while (ende < n && daten[ende] != '"')
            ++ende;
        feld.inhalt = m_daten.mid(anfang, ende - anfang);
        if (ende >= n) {
            feld.abgeschlossen = false;
            m_pos = n;
            return feld;
        }
        // Anything between the closing quote and the field's end is dropped.
        m_pos = ende + 1;
        while (m_pos < n && !istTrenner(daten[m_pos]))
            ++m_pos;
    } else {
        const qsizetype anfang = m_pos;
        while (m_pos < n && !istTrenner(daten[m_pos]))
            ++m_pos;
        feld.inhalt = m_daten.mid(anfang, m_pos - anfang);
    }
    trennerVerbrauchen();
    return feld;
}

std::optional<Zahlwert> ZahlLesen(QByteArrayView text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && istLeerzeichen(text[i]))
        ++i;

    Zahlwert zahl;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        zahl.negativ = text[i] == '-';
        ++i;
    }

    int ziffern = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        if (!zahl.zuGroß) {
            zahl.ganzteil = zahl.ganzteil * 10 + quint64(text[i] - '0');
            if (zahl.ganzteil >= GanzteilGrenze)
                zahl.zuGroß = true;
        }
        ++ziffern;
        ++i;
    }

    if (i < n && text[i] == '.') {
        ++i;
        bool erste = true;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            const int ziffer = text[i] - '0';
            if (erste)
                zahl.ersteNachkommastelle = ziffer;
            else if (ziffer != 0)
                zahl.weitereNachkommastellen = true;
            erste = false;
            ++ziffern;
            ++i;
        }
    }

    while (i < n && istLeerzeichen(text[i]))
        ++i;

    if (ziffern == 0 || i != n)
        return std::nullopt;
    return zahl;
}

Ganzzahlergebnis GanzzahlLesen(QByteArrayView text, qint64 minimum, qint64 maximum) {
    Ganzzahlergebnis ergebnis;
    const std::optional<Zahlwert> zahl = ZahlLesen(text);
    if (!zahl) {
        ergebnis.fehler = Zahlfehler::KeineZahl;
        return ergebnis;
    }
    if (zahl->zuGroß) {
        ergebnis.fehler = Zahlfehler::AusserhalbDesBereichs;
        return ergebnis;
    }

    quint64 betrag = zahl->ganzteil;
    const int stelle = zahl->ersteNachkommastelle;
    const bool aufrunden = stelle > 5 || (stelle == 5 && zahl->weitereNachkommastellen) ||
                           (stelle == 5 && (betrag % 2) == 1);
    if (aufrunden)
        ++betrag; // betrag stays below GanzteilGrenze + 1, far inside qint64

    const qint64 wert = zahl->negativ ? -qint64(betrag) : qint64(betrag);
    if (wert < minimum || wert > maximum) {
        ergebnis.fehler = Zahlfehler::AusserhalbDesBereichs;
        return ergebnis;
    }
    ergebnis.wert = wert;
    return ergebnis;
}

std::optional<qint32> Ganzzahl32(QByteArrayView text) {
    const Ganzzahlergebnis ergebnis =
        GanzzahlLesen(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    if (!ergebnis.wert)
        return std::nullopt;
    return qint32(*ergebnis.wert);
}

std::optional<qint16> Ganzzahl16(QByteArrayView text) {
    const Ganzzahlergebnis ergebnis =
        GanzzahlLesen(text, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    if (!ergebnis.wert)
        return std::nullopt;
    return qint16(*ergebnis.wert);
}

} // namespace Dateizugriff
