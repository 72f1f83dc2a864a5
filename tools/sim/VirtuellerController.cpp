#include "VirtuellerController.h"

#include <algorithm>
#include <cmath>

namespace {

// Width of "hh:mm:ss,zzz" and the gap after it.
const QString Einrueckung(14, QLatin1Char(' '));

bool zusammenfassbar(Befehlsart art) {
    return art == Befehlsart::Stopp || art == Befehlsart::UnbekanntesByte;
}

QString saetzeText(size_t anzahl) {
    return anzahl == 1 ? QStringLiteral("1 Satz") : QStringLiteral("%1 Sätze").arg(anzahl);
}

QStringList befehlsZeilen(const DekodierterBefehl &b) {
    if (b.art == Befehlsart::UnbekanntesByte && b.bytes.size() > 1) {
        QStringList werte;
        for (quint8 x : b.bytes)
            werte << QString::number(x);
        // A long run shows its first bytes and how many there were.
        if (size_t(b.stoppAnzahl) > b.bytes.size())
            werte << QStringLiteral("… (%1 Bytes)").arg(b.stoppAnzahl);
        return {QStringLiteral("unbekannte Bytes: ") + werte.join(QStringLiteral(", "))};
    }
    return b.zeilen();
}

} // namespace

VirtuellerController::VirtuellerController(const QDateTime &beginn) : m_beginn(beginn) {}

QString VirtuellerController::uhrzeit(double zeit) const {
    const qint64 ms = std::isfinite(zeit) ? qint64(std::floor(zeit * 1000.0 + 1e-6)) : 0;
    return m_beginn.addMSecs(ms).toString(QStringLiteral("hh:mm:ss,zzz"));
}

QString VirtuellerController::antwortZeile(double zeit) const {
    return uhrzeit(zeit) + QStringLiteral("  Antwort: 1 Zeichen gesendet (Einzelschritt beendet)");
}

VirtuellerController::Ausgabe VirtuellerController::empfangen(const QByteArray &bytes,
                                                              double zeit) {
    // What the waiting time before these bytes has finished comes first.
    Ausgabe aus = ruhe(zeit);
    for (char c : bytes) {
        for (auto &befehl : m_dekodierer.einspeisen(quint8(c), zeit))
            fertig(std::move(befehl), aus);
        m_letztesByte = zeit;
    }
    return aus;
}

VirtuellerController::Ausgabe VirtuellerController::ruhe(double zeit) {
    Ausgabe aus;
    if (m_stopps && zeit >= m_stopps->zeitEnde + StoppFenster)
        stoppsAusgeben(aus);
    if (m_frist > 0 && m_dekodierer.imBefehl() && zeit >= m_letztesByte + m_frist) {
        // A run of stops before the cut command came before it.
        stoppsAusgeben(aus);
        if (auto rest = m_dekodierer.abschliessen())
            melden(*rest, aus);
    }
    return aus;
}

std::optional<double> VirtuellerController::naechsteRuhe() const {
    std::optional<double> wann;
    if (m_stopps)
        wann = m_stopps->zeitEnde + StoppFenster;
    if (m_frist > 0 && m_dekodierer.imBefehl()) {
        const double frist = m_letztesByte + m_frist;
        wann = wann ? std::min(*wann, frist) : frist;
    }
    return wann;
}

void VirtuellerController::fertig(DekodierterBefehl befehl, Ausgabe &aus) {
    if (zusammenfassbar(befehl.art)) {
        if (m_stopps && m_stopps->art == befehl.art &&
            befehl.zeitAnfang - m_stopps->zeitEnde < StoppFenster) {
            m_stopps->stoppAnzahl += befehl.stoppAnzahl;
            auto &bytes = m_stopps->bytes;
            const size_t platz = LaufBytes - std::min(LaufBytes, bytes.size());
            bytes.insert(bytes.end(), befehl.bytes.begin(),
                         befehl.bytes.begin() + std::min(befehl.bytes.size(), platz));
            m_stopps->zeitEnde = befehl.zeitEnde;
            return;
        }
        stoppsAusgeben(aus);
        m_stopps = std::move(befehl);
        return;
    }
    stoppsAusgeben(aus);
    melden(befehl, aus);
}

void VirtuellerController::stoppsAusgeben(Ausgabe &aus) {
    if (!m_stopps)
        return;
    DekodierterBefehl lauf = std::move(*m_stopps);
    m_stopps.reset();
    melden(lauf, aus);
}

QStringList VirtuellerController::hinweise(const DekodierterBefehl &b) const {
    QStringList h;
    switch (b.art) {
    case Befehlsart::Programmuebertragung:
        if (!b.vollstaendig)
            h << QStringLiteral("Hinweis: nicht gespeichert, das gespeicherte Programm bleibt "
                                "unverändert");
        break;
    case Befehlsart::Programmstart:
        if (!m_programm)
            h << QStringLiteral("Hinweis: es wurde kein Programm übertragen");
        break;
    case Befehlsart::Satzstart:
        if (!b.vollstaendig)
            break;
        if (!m_programm) {
            h << QStringLiteral("Hinweis: es wurde kein Programm übertragen");
        } else if (*b.satznummer < 1 || size_t(*b.satznummer) > m_programm->saetze.size()) {
            h << QStringLiteral("Hinweis: Satz %1 gibt es im übertragenen Programm (%2) nicht")
                     .arg(*b.satznummer)
                     .arg(saetzeText(m_programm->saetze.size()));
        } else {
            h << m_programm->saetze[size_t(*b.satznummer) - 1].text(*b.satznummer);
        }
        break;
    case Befehlsart::Einzelschritt:
    case Befehlsart::Eilgang:
        if (!m_handbetrieb)
            h << QStringLiteral("Hinweis: Manuelle Fahrt ist nicht eingeschaltet");
        break;
    default:
        break;
    }
    return h;
}

void VirtuellerController::melden(const DekodierterBefehl &befehl, Ausgabe &aus) {
    const QStringList eigene = befehlsZeilen(befehl);
    const QStringList zusatz = hinweise(befehl);
    for (int i = 0; i < eigene.size(); ++i)
        aus.zeilen << (i == 0 ? uhrzeit(befehl.zeitAnfang) + QStringLiteral("  ") : Einrueckung) +
                          eigene[i];
    for (const QString &z : zusatz)
        aus.zeilen << Einrueckung + QStringLiteral("  ") + z;

    switch (befehl.art) {
    case Befehlsart::ManuellEin:
        m_handbetrieb = true;
        break;
    case Befehlsart::ManuellAus:
        m_handbetrieb = false;
        break;
    case Befehlsart::Programmuebertragung:
        if (befehl.vollstaendig)
            m_programm = befehl;
        break;
    case Befehlsart::Einzelschritt:
        ++aus.antworten;
        break;
    default:
        break;
    }
    if (m_befehle.size() >= Verlauf)
        m_befehle.pop_front();
    m_befehle.push_back(befehl);
    aus.befehle.push_back(befehl);
}

QStringList VirtuellerController::programmZeilen() const {
    if (!m_programm)
        return {QStringLiteral("Kein Programm übertragen.")};
    QStringList zeilen{QStringLiteral("Gespeichertes Programm, übertragen um %1:")
                           .arg(uhrzeit(m_programm->zeitAnfang))};
    for (const QString &z : m_programm->zeilen())
        zeilen << QStringLiteral("  ") + z;
    return zeilen;
}
