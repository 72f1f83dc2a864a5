#include "link/Verkehrsaufzeichnung.h"

#include "link/MsTimer.h"

#include <QStringList>

#include <cmath>

namespace {

using Ausgang = SerielleSchnittstelle::Ausgang;

constexpr qint64 MsProTag = 24 * 60 * 60 * 1000;

QString kommazahl(double wert, int stellen) {
    return QString::number(wert, 'f', stellen).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString grundText(Ausgang ausgang, int port) {
    switch (ausgang) {
    case Ausgang::PortNichtVerfuegbar:
        return QStringLiteral("Port COM%1 nicht verfügbar").arg(port);
    case Ausgang::VerbindungAbgebrochen:
        return QStringLiteral("Verbindung zu COM%1 unterbrochen").arg(port);
    case Ausgang::Unterbrochen:
        return QStringLiteral("Port COM%1 geschlossen").arg(port);
    case Ausgang::Gesendet:
        break;
    }
    return QString();
}

} // namespace

QString Statustext(const Befehlsergebnis &ergebnis) {
    if (!ergebnis.befehl)
        return QString();
    const DekodierterBefehl &b = *ergebnis.befehl;
    const QString zeit = ergebnis.uhrzeit.toString(QStringLiteral("HH:mm:ss"));
    // The command's own line, "Eilgang rechts: 1000 Hz, 1000 Schritte", split at its colon.
    const QString zeile = b.zeilen().value(0);
    const QString name = zeile.section(QLatin1Char(':'), 0, 0);
    const QString werte = zeile.mid(name.size());

    if (ergebnis.ausgang == Ausgang::Gesendet) {
        switch (b.art) {
        case Befehlsart::Programmuebertragung: {
            const int saetze = b.anzahlSaetze.value_or(0);
            return QStringLiteral("Programm übertragen: %1, %2 Bytes, %3 s (%4)")
                .arg(saetze == 1 ? QStringLiteral("1 Satz")
                                 : QStringLiteral("%1 Sätze").arg(saetze))
                .arg(ergebnis.bytesGesendet)
                .arg(kommazahl(ergebnis.dauer, 2), zeit);
        }
        case Befehlsart::Satzstart:
            return QStringLiteral("Satz %1 gestartet (%2)").arg(b.satznummer.value_or(0)).arg(zeit);
        case Befehlsart::Einstellungen:
            return QStringLiteral("Einstellungen gesendet (%1)").arg(zeit);
        default:
            return QStringLiteral("%1 gesendet%2 (%3)").arg(name, werte, zeit);
        }
    }
    QString grund = grundText(ergebnis.ausgang, ergebnis.port);
    if (ergebnis.ausgang != Ausgang::PortNichtVerfuegbar)
        grund += QStringLiteral(", %1 von %2 Bytes gesendet")
                     .arg(ergebnis.bytesGesendet)
                     .arg(ergebnis.bytesGesamt);
    return QStringLiteral("%1 abgebrochen: %2 (%3)")
        .arg(b.art == Befehlsart::Programmuebertragung ? QStringLiteral("Übertragung") : name,
             grund, zeit);
}

QString Verkehrszeile::anzeige(bool mitBytes) const {
    QString zeile = QTime::fromMSecsSinceStartOfDay(msSeitMitternacht)
                        .toString(QStringLiteral("HH:mm:ss,zzz")) +
                    QStringLiteral("  COM%1  ").arg(port);
    const int einzug = int(zeile.size());
    zeile += text;
    if (mitBytes && !bytes.empty()) {
        zeile += QLatin1Char('\n') + QString(einzug, QLatin1Char(' '));
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0)
                zeile += QLatin1Char(' ');
            zeile +=
                QString::number(bytes[i].first, 16).toUpper().rightJustified(2, QLatin1Char('0'));
            zeile += QStringLiteral(" (%1 ms)").arg(kommazahl(bytes[i].second * 1000.0, 1));
        }
    }
    return zeile;
}

Verkehrsaufzeichnung::Verkehrsaufzeichnung(int hoechstzahl, QObject *parent)
    : QObject(parent), m_hoechstzahl(hoechstzahl) {
    // A command's bytes are noted without a new allocation (a transfer has at most 205).
    m_offen.reserve(4096);
}

void Verkehrsaufzeichnung::mithoeren(SerielleSchnittstelle &link) {
    connect(&link, &SerielleSchnittstelle::byteGesendet, this, &Verkehrsaufzeichnung::byteGesendet);
    connect(&link, &SerielleSchnittstelle::befehlBeendet, this,
            [this, &link](const Befehl &befehl, Ausgang ausgang) {
                befehlBeendet(befehl, ausgang, link.portnummer());
            });
}

void Verkehrsaufzeichnung::befehlBeendet(const Befehl &befehl, Ausgang ausgang, int port) {
    const double jetzt = MsTimer::Uhr();
    const QTime uhrzeit = QTime::currentTime();
    // Times of the link's clock as clock times of the day.
    const auto msVon = [&](double zeit) {
        const qint64 ms = uhrzeit.msecsSinceStartOfDay() - std::llround((jetzt - zeit) * 1000.0);
        return int((ms % MsProTag + MsProTag) % MsProTag);
    };

    Befehlsergebnis ergebnis;
    ergebnis.ausgang = ausgang;
    ergebnis.port = port;
    ergebnis.uhrzeit = uhrzeit;
    ergebnis.bytesGesendet = int(m_offen.size());
    for (const Befehlsschritt &schritt : befehl)
        if (schritt.art == Befehlsschritt::Art::Byte)
            ++ergebnis.bytesGesamt;
    const std::vector<DekodierterBefehl> gemeint =
        StoppsZusammenfassen(Dekodierer::dekodiere(befehl));
    if (!gemeint.empty())
        ergebnis.befehl = gemeint.front();

    if (!m_offen.empty()) {
        ergebnis.dauer = jetzt - m_offen.front().second;
        Dekodierer dekodierer;
        std::vector<DekodierterBefehl> befehle;
        for (const auto &[wert, zeit] : m_offen)
            for (DekodierterBefehl &b : dekodierer.einspeisen(wert, zeit))
                befehle.push_back(std::move(b));
        if (auto rest = dekodierer.abschliessen())
            befehle.push_back(std::move(*rest));
        befehle = StoppsZusammenfassen(befehle);

        size_t ab = 0; // the command's first byte among those noted
        for (size_t k = 0; k < befehle.size(); ++k) {
            const DekodierterBefehl &b = befehle[k];
            const QStringList texte = b.zeilen();
            const size_t n = b.bytes.size();
            for (int j = 0; j < texte.size(); ++j) {
                // A transfer's lines: the header, then one per block, each with its bytes.
                size_t von = 0, bis = n;
                if (b.art == Befehlsart::Programmuebertragung && texte.size() > 1) {
                    von = j == 0 ? 0 : std::min(n, KopfLaenge + SatzLaenge * size_t(j - 1));
                    bis = j + 1 == texte.size() ? n
                                                : std::min(n, KopfLaenge + SatzLaenge * size_t(j));
                }
                Verkehrszeile z;
                z.port = port;
                z.text = texte[j];
                if (j == 0 && k + 1 == befehle.size() && ausgang != Ausgang::Gesendet)
                    z.text += QStringLiteral(" – abgebrochen: ") + grundText(ausgang, port);
                z.msSeitMitternacht = msVon(m_offen[std::min(ab + von, m_offen.size() - 1)].second);
                for (size_t i = ab + von; i < ab + bis && i < m_offen.size(); ++i) {
                    const double folgt = i + 1 < m_offen.size() ? m_offen[i + 1].second : jetzt;
                    z.bytes.emplace_back(m_offen[i].first, float(folgt - m_offen[i].second));
                }
                m_zeilen.push_back(std::move(z));
            }
            ab += n;
        }
        m_offen.clear();
        while (m_zeilen.size() > size_t(m_hoechstzahl)) {
            m_zeilen.pop_front();
            ++m_erste;
        }
        emit zeilenGeaendert();
    }
    emit befehlErledigt(ergebnis);
}

const Verkehrszeile *Verkehrsaufzeichnung::zeile(qint64 nummer) const {
    if (nummer < m_erste || nummer >= ende())
        return nullptr;
    return &m_zeilen[size_t(nummer - m_erste)];
}

void Verkehrsaufzeichnung::leeren() {
    m_erste = ende();
    m_zeilen.clear();
    emit zeilenGeaendert();
}

QString Verkehrsaufzeichnung::text(bool mitBytes) const {
    QString text;
    for (const Verkehrszeile &z : m_zeilen) {
        text += z.anzeige(mitBytes).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        text += QStringLiteral("\r\n");
    }
    return text;
}
