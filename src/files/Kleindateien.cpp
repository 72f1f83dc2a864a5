#include "files/Kleindateien.h"

#include "files/Dateiablage.h"
#include "files/Feldleser.h"
#include "files/Programmverzeichnis.h"
#include "ramp/Zahlentest.h"

#include <QDir>

namespace Dateizugriff {

namespace {

// The small files hold a few short values; anything larger is not one of them.
constexpr qint64 GrößteKleindatei = 64 * 1024;

// The complete fields at the start of the data, at most anzahl of them. Reading stops at the
// first quoted field that lacks its closing quote.
QList<Feld> ErsteFelder(const QByteArray &daten, int anzahl) {
    QList<Feld> felder;
    Feldleser leser(daten);
    while (felder.size() < anzahl) {
        std::optional<Feld> feld = leser.lesen();
        if (!feld || !feld->abgeschlossen)
            break;
        felder.append(std::move(*feld));
    }
    return felder;
}

std::optional<QByteArray> KleindateiLesen(const QString &pfad, bool *fehlt) {
    const Eingelesen datei = DateiEinlesen(pfad, GrößteKleindatei);
    // Something that is no file at all (a FIFO, a device) counts as no file.
    *fehlt = datei.stand == Einlesestand::Fehlt || datei.stand == Einlesestand::KeineDatei;
    if (datei.stand != Einlesestand::Gelesen)
        return std::nullopt;
    return datei.daten;
}

bool KleindateiSpeichern(const QString &pfad, const QStringList &texte, const QByteArray &daten,
                         QString *fehler) {
    for (const QString &text : texte) {
        if (!AlsTextZeileLesbar(text)) {
            if (fehler) {
                *fehler = QStringLiteral("Die Datei \"%1\" konnte nicht gespeichert werden.\n"
                                         "Der Wert \"%2\" enthält ein Anführungszeichen.")
                              .arg(QDir::toNativeSeparators(pfad), FürMeldung(text));
            }
            return false;
        }
    }
    return DateiErsetzen(pfad, daten, fehler);
}

} // namespace

// ---- port.txt

QString PortDateipfad() {
    return ProgrammDateipfad(QStringLiteral("port.txt"));
}

std::optional<qint16> PortnummerAusText(const QString &text, const QLocale &locale) {
    const Ganzzahl zahl = GanzzahlAusText(text, locale);
    if (!zahl.ok() || zahl.wert < -32768 || zahl.wert > 32767)
        return std::nullopt;
    return qint16(zahl.wert);
}

qint16 PortnummerAusDaten(const QByteArray &daten) {
    const QList<Feld> felder = ErsteFelder(daten, 1);
    if (felder.isEmpty())
        return 1;
    return PortnummerAusText(felder.first().text()).value_or(1);
}

qint16 PortnummerAusDatei(const QString &pfad) {
    bool fehlt = false;
    const std::optional<QByteArray> daten = KleindateiLesen(pfad, &fehlt);
    return daten ? PortnummerAusDaten(*daten) : 1;
}

QString PortfeldAusDaten(const QByteArray &daten) {
    const QList<Feld> felder = ErsteFelder(daten, 1);
    if (felder.isEmpty() || !PortnummerAusText(felder.first().text()))
        return QString();
    return felder.first().text();
}

QString PortfeldAusDatei(const QString &pfad) {
    bool fehlt = false;
    const std::optional<QByteArray> daten = KleindateiLesen(pfad, &fehlt);
    if (daten)
        return PortfeldAusDaten(*daten);
    return fehlt ? QStringLiteral("1") : QString();
}

QByteArray PortDateiDaten(const QString &portfeld) {
    return TextZeile(portfeld);
}

bool PortDateiSpeichern(const QString &pfad, const QString &portfeld, QString *fehler) {
    return KleindateiSpeichern(pfad, {portfeld}, PortDateiDaten(portfeld), fehler);
}

// ---- manuell.txt

QString ManuellDateipfad() {
    return ProgrammDateipfad(QStringLiteral("manuell.txt"));
}

ManuellWerte ManuellWerteAusDaten(const QByteArray &daten) {
    const QList<Feld> felder = ErsteFelder(daten, 2);
    ManuellWerte werte;
    if (felder.size() < 2)
        return werte;
    werte.frequenz = felder.at(0).text();
    werte.schritte = felder.at(1).text();
    return werte;
}

ManuellWerte ManuellWerteAusDatei(const QString &pfad) {
    bool fehlt = false;
    const std::optional<QByteArray> daten = KleindateiLesen(pfad, &fehlt);
    return daten ? ManuellWerteAusDaten(*daten) : ManuellWerte();
}

QByteArray ManuellDateiDaten(const ManuellWerte &werte) {
    return TextZeile(werte.frequenz) + TextZeile(werte.schritte);
}

bool ManuellDateiSpeichern(const QString &pfad, const ManuellWerte &werte, QString *fehler) {
    return KleindateiSpeichern(pfad, {werte.frequenz, werte.schritte}, ManuellDateiDaten(werte),
                               fehler);
}

// ---- zelkor.txt

QString ZelkorDateipfad() {
    return ProgrammDateipfad(QStringLiteral("zelkor.txt"));
}

ZelkorWerte ZelkorWerteAusDaten(const QByteArray &daten) {
    const QList<Feld> felder = ErsteFelder(daten, 3);
    ZelkorWerte werte;
    if (felder.size() >= 1) {
        const QString text = felder.at(0).text();
        if (Schrittmodi().contains(text))
            werte.schrittmodus = text;
    }
    if (felder.size() >= 2) {
        const QString text = felder.at(1).text();
        if (Phasenströme().contains(text))
            werte.phasenstrom = text;
    }
    if (felder.size() >= 3) {
        const std::optional<Zahlwert> zahl = ZahlLesen(felder.at(2).inhalt);
        if (zahl)
            werte.absenkungEin = zahl->istEins();
    }
    return werte;
}

ZelkorWerte ZelkorWerteAusDatei(const QString &pfad) {
    bool fehlt = false;
    const std::optional<QByteArray> daten = KleindateiLesen(pfad, &fehlt);
    return daten ? ZelkorWerteAusDaten(*daten) : ZelkorWerte();
}

QByteArray ZelkorDateiDaten(const ZelkorWerte &werte) {
    return TextZeile(werte.schrittmodus) + TextZeile(werte.phasenstrom) +
           TextZeile(werte.absenkungEin ? QStringLiteral("1") : QStringLiteral("0"));
}

bool ZelkorDateiSpeichern(const QString &pfad, const ZelkorWerte &werte, QString *fehler) {
    return KleindateiSpeichern(pfad, {werte.schrittmodus, werte.phasenstrom},
                               ZelkorDateiDaten(werte), fehler);
}

// ---- zuletzt.txt

QString ZuletztDateipfad() {
    return ProgrammDateipfad(QStringLiteral("zuletzt.txt"));
}

QStringList ZuletztAusDaten(const QByteArray &daten) {
    QStringList pfade;
    Feldleser leser(daten);
    while (pfade.size() < ZuletztHöchstzahl) {
        std::optional<Feld> feld = leser.lesen();
        if (!feld || !feld->abgeschlossen)
            break;
        const QString pfad = feld->text();
        if (!pfad.isEmpty() && !pfade.contains(pfad))
            pfade << pfad;
    }
    return pfade;
}

Zuletztlesung ZuletztAusDatei(const QString &pfad) {
    Zuletztlesung lesung;
    const Eingelesen datei = DateiEinlesen(pfad, GrößteKleindatei);
    if (datei.stand == Einlesestand::Gelesen)
        lesung.pfade = ZuletztAusDaten(datei.daten);
    else if (datei.stand != Einlesestand::Fehlt)
        lesung.fehler = QStringLiteral("Die Liste der zuletzt geöffneten Programme \"%1\" konnte "
                                       "nicht gelesen werden.\n%2")
                            .arg(QDir::toNativeSeparators(pfad), datei.grund);
    return lesung;
}

QStringList ZuletztVorne(QStringList liste, const QString &pfad) {
    if (pfad.isEmpty() || !AlsTextZeileLesbar(pfad))
        return liste;
    liste = ZuletztOhne(liste, pfad);
    liste.prepend(pfad);
    while (liste.size() > ZuletztHöchstzahl)
        liste.removeLast();
    return liste;
}

QStringList ZuletztOhne(QStringList liste, const QString &pfad) {
    liste.removeAll(pfad);
    return liste;
}

QByteArray ZuletztDateiDaten(const QStringList &pfade) {
    QByteArray daten;
    for (const QString &pfad : pfade)
        daten += TextZeile(pfad);
    return daten;
}

bool ZuletztDateiSpeichern(const QString &pfad, const QStringList &pfade, QString *fehler) {
    return KleindateiSpeichern(pfad, pfade, ZuletztDateiDaten(pfade), fehler);
}

} // namespace Dateizugriff
