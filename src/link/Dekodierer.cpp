#include "link/Dekodierer.h"

#include "model/Einstellwerte.h"

#include <cmath>

namespace {

Befehlsart artVon(quint8 erstesByte) {
    switch (erstesByte) {
    case Befehlsbyte::ManuellAus:
        return Befehlsart::ManuellAus;
    case Befehlsbyte::Einstellungen:
        return Befehlsart::Einstellungen;
    case Befehlsbyte::ManuellEin:
        return Befehlsart::ManuellEin;
    case Befehlsbyte::Programmuebertragung:
        return Befehlsart::Programmuebertragung;
    case Befehlsbyte::Programmstart:
        return Befehlsart::Programmstart;
    case Befehlsbyte::Satzstart:
        return Befehlsart::Satzstart;
    case Befehlsbyte::Referenzfahrt:
        return Befehlsart::ReferenzfahrtStart;
    case Befehlsbyte::EinzelschrittLinks:
    case Befehlsbyte::EinzelschrittRechts:
        return Befehlsart::Einzelschritt;
    case Befehlsbyte::EilgangLinks:
    case Befehlsbyte::EilgangRechts:
        return Befehlsart::Eilgang;
    case Befehlsbyte::Stopp:
        return Befehlsart::Stopp;
    default:
        return Befehlsart::UnbekanntesByte;
    }
}

// Total length of the command begun by these bytes; std::nullopt while it cannot be known yet
// (a transfer before its block count).
std::optional<size_t> laengeVon(const std::vector<quint8> &bytes) {
    switch (artVon(bytes.front())) {
    case Befehlsart::Einstellungen:
        return 4;
    case Befehlsart::Programmuebertragung:
        if (bytes.size() < 4)
            return std::nullopt;
        return KopfLaenge + SatzLaenge * bytes[3];
    case Befehlsart::Satzstart:
        return 2;
    case Befehlsart::ReferenzfahrtStart:
        return 3;
    case Befehlsart::Eilgang:
        return 5;
    default:
        return 1;
    }
}

qint64 zahl24(const std::vector<quint8> &bytes, size_t ab) {
    return qint64(bytes[ab]) | qint64(bytes[ab + 1]) << 8 | qint64(bytes[ab + 2]) << 16;
}

std::optional<int> byteBei(const std::vector<quint8> &bytes, size_t index) {
    if (index < bytes.size())
        return bytes[index];
    return std::nullopt;
}

// Fills the value fields from the bytes received so far.
void werteSetzen(DekodierterBefehl &b) {
    const auto &bytes = b.bytes;
    const quint8 erstes = bytes.front();
    switch (b.art) {
    case Befehlsart::Einstellungen:
        b.schrittmodusCode = byteBei(bytes, 1);
        b.phasenstromCode = byteBei(bytes, 2);
        b.absenkungCode = byteBei(bytes, 3);
        break;
    case Befehlsart::Programmuebertragung:
        b.programmdurchlaeufe = byteBei(bytes, 1);
        b.programmpause = byteBei(bytes, 2);
        b.anzahlSaetze = byteBei(bytes, 3);
        b.befehlspause = byteBei(bytes, 4);
        b.saetze.clear();
        for (size_t ab = KopfLaenge; ab + SatzLaenge <= bytes.size(); ab += SatzLaenge) {
            DekodierterSatz s;
            s.schritte = zahl24(bytes, ab);
            s.startcode = bytes[ab + 3];
            s.maximalcode = bytes[ab + 4];
            s.durchlaeufe = bytes[ab + 5];
            s.pause = bytes[ab + 6];
            s.richtungsbyte = bytes[ab + 7];
            s.umkehrbyte = bytes[ab + 8];
            s.rampe = bytes[ab + 9];
            b.saetze.push_back(s);
        }
        break;
    case Befehlsart::Satzstart:
        b.satznummer = byteBei(bytes, 1);
        break;
    case Befehlsart::ReferenzfahrtStart:
        b.frequenzcode = byteBei(bytes, 1);
        b.richtungsbyte = byteBei(bytes, 2);
        if (b.richtungsbyte == 1)
            b.richtung = Fahrtrichtung::Links;
        else if (b.richtungsbyte == 2)
            b.richtung = Fahrtrichtung::Rechts;
        break;
    case Befehlsart::Einzelschritt:
        b.richtung = erstes == Befehlsbyte::EinzelschrittLinks ? Fahrtrichtung::Links
                                                               : Fahrtrichtung::Rechts;
        break;
    case Befehlsart::Eilgang:
        b.richtung =
            erstes == Befehlsbyte::EilgangLinks ? Fahrtrichtung::Links : Fahrtrichtung::Rechts;
        b.frequenzcode = byteBei(bytes, 1);
        if (bytes.size() >= 5)
            b.schritte = zahl24(bytes, 2);
        break;
    default:
        break;
    }
}

QString bytesText(const std::vector<quint8> &bytes, size_t ab = 0) {
    QStringList teile;
    for (size_t i = ab; i < bytes.size(); ++i)
        teile << QString::number(bytes[i]);
    return teile.join(QStringLiteral(", "));
}

QString richtungsText(Fahrtrichtung r) {
    return r == Fahrtrichtung::Links ? QStringLiteral("links") : QStringLiteral("rechts");
}

QString rampenText(int rampe) {
    static const char *const proHundertHz[] = {"2ms/100Hz", "5ms/100Hz", "10ms/100Hz",
                                               "20ms/100Hz"};
    const QString art = rampe >= 1 && rampe <= 4 ? QString::fromLatin1(proHundertHz[rampe - 1])
                                                 : QStringLiteral("unbekannt");
    return QStringLiteral("Rampe %1 (%2)").arg(rampe).arg(art);
}

QString saetzeText(int anzahl) {
    return anzahl == 1 ? QStringLiteral("1 Satz") : QStringLiteral("%1 Sätze").arg(anzahl);
}

// Name of the command as far as its first byte tells.
QString kopfText(const DekodierterBefehl &b) {
    switch (b.art) {
    case Befehlsart::ManuellAus:
        return QStringLiteral("Manuelle Fahrt aus");
    case Befehlsart::Einstellungen:
        return QStringLiteral("Einstellungen");
    case Befehlsart::ManuellEin:
        return QStringLiteral("Manuelle Fahrt ein");
    case Befehlsart::Programmuebertragung:
        return QStringLiteral("Programmübertragung");
    case Befehlsart::Programmstart:
        return QStringLiteral("Programmstart");
    case Befehlsart::Satzstart:
        return QStringLiteral("Satzstart");
    case Befehlsart::ReferenzfahrtStart:
        if (b.richtung)
            return QStringLiteral("Referenzfahrt ") + richtungsText(*b.richtung);
        return QStringLiteral("Referenzfahrt");
    case Befehlsart::Einzelschritt:
        return QStringLiteral("Einzelschritt ") + richtungsText(*b.richtung);
    case Befehlsart::Eilgang:
        return QStringLiteral("Eilgang ") + richtungsText(*b.richtung);
    case Befehlsart::Stopp:
        return QStringLiteral("Stopp");
    case Befehlsart::UnbekanntesByte:
        return QStringLiteral("unbekanntes Byte");
    }
    return QString();
}

QString einstellungenText(const DekodierterBefehl &b) {
    const QString modus = b.schrittmodus().value_or(
        QStringLiteral("unbekannter Schrittmodus %1").arg(*b.schrittmodusCode));
    const QString strom = b.phasenstrom().value_or(
        QStringLiteral("unbekannter Phasenstrom %1").arg(*b.phasenstromCode));
    const auto ein = b.absenkungEin();
    const QString absenkung =
        ein ? (*ein ? QStringLiteral("Stromabsenkung ein") : QStringLiteral("Stromabsenkung aus"))
            : QStringLiteral("unbekannte Stromabsenkung %1").arg(*b.absenkungCode);
    return QStringLiteral("Einstellungen: %1, %2, %3").arg(modus, strom, absenkung);
}

QStringList uebertragungZeilen(const DekodierterBefehl &b) {
    QStringList zeilen;
    if (!b.befehlspause) {
        // The header itself was cut short.
        zeilen << QStringLiteral("Programmübertragung unvollständig, empfangen: ") +
                      bytesText(b.bytes);
        return zeilen;
    }
    QString kopf = b.vollstaendig ? QStringLiteral("Programmübertragung: ")
                                  : QStringLiteral("Programmübertragung unvollständig (%1 von %2 "
                                                   "Bytes): ")
                                        .arg(b.bytes.size())
                                        .arg(KopfLaenge + SatzLaenge * size_t(*b.anzahlSaetze));
    kopf += QStringLiteral("%1, Programmdurchläufe %2, Programmpause %3, Befehlspause %4")
                .arg(saetzeText(*b.anzahlSaetze))
                .arg(*b.programmdurchlaeufe)
                .arg(*b.programmpause)
                .arg(*b.befehlspause);
    zeilen << kopf;
    for (size_t i = 0; i < b.saetze.size(); ++i)
        zeilen << QStringLiteral("  ") + b.saetze[i].text(int(i) + 1);
    const size_t rest = KopfLaenge + SatzLaenge * b.saetze.size();
    if (rest < b.bytes.size())
        zeilen << QStringLiteral("  Satz %1 unvollständig, empfangen: %2")
                      .arg(b.saetze.size() + 1)
                      .arg(bytesText(b.bytes, rest));
    return zeilen;
}

} // namespace

QString DekodierterSatz::text(int nummer) const {
    QString richtungText;
    if (richtungsbyte == 1)
        richtungText = QStringLiteral("rechts");
    else if (richtungsbyte == 0)
        richtungText = QStringLiteral("links");
    else
        richtungText = QStringLiteral("unbekannte Richtung %1").arg(richtungsbyte);
    QString umkehrText;
    if (umkehrbyte == 0)
        umkehrText = QStringLiteral("ohne Richtungsänderung");
    else if (umkehrbyte == 1)
        umkehrText = QStringLiteral("mit Richtungsänderung");
    else
        umkehrText = QStringLiteral("unbekannte Richtungsänderung %1").arg(umkehrbyte);

    return QStringLiteral("Satz %1: %2 Schritte, %3 Hz → %4 Hz, Durchläufe %5, Pause %6, %7, %8, "
                          "%9")
        .arg(nummer)
        .arg(schritte)
        .arg(startfrequenz())
        .arg(maximalfrequenz())
        .arg(durchlaeufe)
        .arg(pause)
        .arg(richtungText, umkehrText, rampenText(rampe));
}

std::optional<QString> DekodierterBefehl::schrittmodus() const {
    if (!schrittmodusCode || *schrittmodusCode < 0 || *schrittmodusCode >= Schrittmodi().size())
        return std::nullopt;
    return Schrittmodi().at(*schrittmodusCode);
}

std::optional<QString> DekodierterBefehl::phasenstrom() const {
    if (!phasenstromCode)
        return std::nullopt;
    for (int i = 0; i < Phasenströme().size(); ++i)
        if (*phasenstromCode == 1 << i)
            return Phasenströme().at(i);
    return std::nullopt;
}

std::optional<bool> DekodierterBefehl::absenkungEin() const {
    if (absenkungCode == 0)
        return true;
    if (absenkungCode == 1)
        return false;
    return std::nullopt;
}

std::optional<int> DekodierterBefehl::frequenz() const {
    if (!frequenzcode)
        return std::nullopt;
    return FrequenzAusCode(*frequenzcode);
}

QStringList DekodierterBefehl::zeilen() const {
    if (art == Befehlsart::Programmuebertragung)
        return uebertragungZeilen(*this);
    if (!vollstaendig)
        return {kopfText(*this) + QStringLiteral(" unvollständig, empfangen: ") + bytesText(bytes)};

    switch (art) {
    case Befehlsart::Einstellungen:
        return {einstellungenText(*this)};
    case Befehlsart::Satzstart:
        return {QStringLiteral("Satzstart: Satz %1").arg(*satznummer)};
    case Befehlsart::ReferenzfahrtStart:
        if (richtung)
            return {QStringLiteral("%1: %2 Hz").arg(kopfText(*this)).arg(*frequenz())};
        return {QStringLiteral("Referenzfahrt, unbekannte Richtung %1: %2 Hz")
                    .arg(*richtungsbyte)
                    .arg(*frequenz())};
    case Befehlsart::Eilgang:
        return {QStringLiteral("%1: %2 Hz, %3 Schritte")
                    .arg(kopfText(*this))
                    .arg(*frequenz())
                    .arg(*schritte)};
    case Befehlsart::Stopp:
        if (stoppAnzahl > 1)
            return {QStringLiteral("Stopp (%1-mal)").arg(stoppAnzahl)};
        return {kopfText(*this)};
    case Befehlsart::UnbekanntesByte:
        return {QStringLiteral("unbekanntes Byte %1").arg(bytes.front())};
    default:
        return {kopfText(*this)};
    }
}

std::vector<DekodierterBefehl> Dekodierer::einspeisen(quint8 byte, double zeit) {
    std::vector<DekodierterBefehl> fertig;
    if (!m_laufend) {
        m_laufend.emplace();
        m_laufend->art = artVon(byte);
        m_laufend->zeitAnfang = zeit;
    }
    DekodierterBefehl &b = *m_laufend;
    b.bytes.push_back(byte);
    b.zeitEnde = zeit;

    const auto laenge = laengeVon(b.bytes);
    if (laenge && b.bytes.size() >= *laenge) {
        werteSetzen(b);
        fertig.push_back(std::move(b));
        m_laufend.reset();
    }
    return fertig;
}

std::vector<DekodierterBefehl> Dekodierer::einspeisen(const std::vector<quint8> &bytes,
                                                      double zeit) {
    std::vector<DekodierterBefehl> fertig;
    for (quint8 byte : bytes)
        for (auto &b : einspeisen(byte, zeit))
            fertig.push_back(std::move(b));
    return fertig;
}

std::vector<DekodierterBefehl> Dekodierer::einspeisen(const QByteArray &bytes, double zeit) {
    return einspeisen(std::vector<quint8>(bytes.begin(), bytes.end()), zeit);
}

std::optional<DekodierterBefehl> Dekodierer::abschliessen() {
    if (!m_laufend)
        return std::nullopt;
    DekodierterBefehl b = std::move(*m_laufend);
    m_laufend.reset();
    b.vollstaendig = false;
    werteSetzen(b);
    return b;
}

std::vector<DekodierterBefehl> Dekodierer::dekodiere(const QByteArray &bytes) {
    Dekodierer d;
    auto befehle = d.einspeisen(bytes);
    if (auto rest = d.abschliessen())
        befehle.push_back(std::move(*rest));
    return befehle;
}

std::vector<DekodierterBefehl> Dekodierer::dekodiere(const Befehl &befehl) {
    Dekodierer d;
    std::vector<DekodierterBefehl> befehle;
    double zeit = 0;
    for (const auto &schritt : befehl) {
        if (schritt.art == Befehlsschritt::Art::Pause)
            zeit += schritt.sekunden;
        else if (schritt.art == Befehlsschritt::Art::Byte)
            for (auto &b : d.einspeisen(schritt.wert, zeit))
                befehle.push_back(std::move(b));
    }
    if (auto rest = d.abschliessen())
        befehle.push_back(std::move(*rest));
    return befehle;
}

std::vector<DekodierterBefehl> StoppsZusammenfassen(const std::vector<DekodierterBefehl> &befehle) {
    std::vector<DekodierterBefehl> ergebnis;
    for (const auto &b : befehle) {
        if (b.art == Befehlsart::Stopp && !ergebnis.empty() &&
            ergebnis.back().art == Befehlsart::Stopp) {
            auto &vorher = ergebnis.back();
            vorher.stoppAnzahl += b.stoppAnzahl;
            vorher.bytes.insert(vorher.bytes.end(), b.bytes.begin(), b.bytes.end());
            vorher.zeitEnde = b.zeitEnde;
            continue;
        }
        ergebnis.push_back(b);
    }
    return ergebnis;
}
