#include "files/Programmdatei.h"

#include "files/Dateiablage.h"
#include "files/Feldleser.h"
#include "ramp/Feldpruefung.h"

#include <QDir>

#include <limits>

namespace Dateizugriff {

namespace {

constexpr qint64 GrößteProgrammdatei = 1024 * 1024;

QString Wertname(const char *name) {
    return QStringLiteral("\"%1\"").arg(QString::fromUtf8(name));
}

QString Wertname(const char *name, int satz) {
    return QStringLiteral("\"%1\" von Satz %2").arg(QString::fromUtf8(name)).arg(satz);
}

// Takes the fields of a program file one after the other; the first problem ends the reading
// and leaves its message in fehler.
class Programmleser {
public:
    explicit Programmleser(const QByteArray &daten) : m_leser(daten) {}

    QString fehler;

    std::optional<Feld> feld(const QString &wert) {
        std::optional<Feld> feld = m_leser.lesen();
        if (!feld) {
            fehler = QStringLiteral("Die Programmdatei endet vorzeitig: Es fehlt der Wert %1.")
                         .arg(wert);
            return std::nullopt;
        }
        if (!feld->abgeschlossen) {
            fehler = QStringLiteral("Die Programmdatei endet vorzeitig: Beim Wert %1 fehlt das "
                                    "schließende Anführungszeichen.")
                         .arg(wert);
            return std::nullopt;
        }
        return feld;
    }

    std::optional<QString> text(const QString &wert) {
        const std::optional<Feld> f = feld(wert);
        if (!f)
            return std::nullopt;
        return f->text();
    }

    std::optional<qint32> ganzzahl32(const QString &wert) {
        const std::optional<Feld> f = feld(wert);
        if (!f)
            return std::nullopt;
        constexpr qint64 minimum = std::numeric_limits<qint32>::min();
        constexpr qint64 maximum = std::numeric_limits<qint32>::max();
        const Ganzzahlergebnis zahl = GanzzahlLesen(f->inhalt, minimum, maximum);
        if (zahl.wert)
            return qint32(*zahl.wert);
        if (zahl.fehler == Zahlfehler::KeineZahl)
            keineZahl(wert, *f);
        else
            fehler = QStringLiteral("Die Programmdatei enthält beim Wert %1 eine Zahl außerhalb "
                                    "des zulässigen Bereichs (%2 bis %3): \"%4\".")
                         .arg(wert)
                         .arg(minimum)
                         .arg(maximum)
                         .arg(FürMeldung(f->text()));
        return std::nullopt;
    }

    // The text of a value that goes into an entry field as it stands: refused when the field
    // would not take it (Feldpruefung.h), since then it would be cut or set back once shown.
    std::optional<QString> feldtext(const QString &wert, ::Feld eingabefeld) {
        std::optional<QString> t = text(wert);
        if (!t || FeldNimmtText(eingabefeld, *t))
            return t;
        if (t->size() > Feldlaenge)
            fehler = QStringLiteral("Die Programmdatei enthält beim Wert %1 einen Text von %2 "
                                    "Zeichen; das Feld fasst höchstens %3.")
                         .arg(wert)
                         .arg(t->size())
                         .arg(Feldlaenge);
        else
            fehler = QStringLiteral("Die Programmdatei enthält beim Wert %1 keine ganze Zahl: "
                                    "\"%2\".")
                         .arg(wert, FürMeldung(*t));
        return std::nullopt;
    }

    // A field that must hold a number of any size; gives the number's form.
    std::optional<Zahlwert> zahl(const QString &wert, Feld *gelesen = nullptr) {
        const std::optional<Feld> f = feld(wert);
        if (!f)
            return std::nullopt;
        const std::optional<Zahlwert> zahl = ZahlLesen(f->inhalt);
        if (!zahl) {
            keineZahl(wert, *f);
            return std::nullopt;
        }
        if (gelesen)
            *gelesen = *f;
        return zahl;
    }

    std::optional<qint16> satzanzahl() {
        const QString wert = Wertname("Anzahl der Sätze");
        Feld f;
        const std::optional<Zahlwert> zahl = this->zahl(wert, &f);
        if (!zahl)
            return std::nullopt;
        const Ganzzahlergebnis anzahl = GanzzahlLesen(
            f.inhalt, std::numeric_limits<qint64>::min() + 1, std::numeric_limits<qint64>::max());
        const bool negativ = anzahl.wert ? *anzahl.wert < 0 : zahl->negativ;
        if (negativ) {
            fehler = QStringLiteral("Die Programmdatei enthält eine negative Anzahl von Sätzen: "
                                    "\"%1\".")
                         .arg(FürMeldung(f.text()));
            return std::nullopt;
        }
        if (!anzahl.wert || *anzahl.wert > SatzTabellengröße) {
            fehler = QStringLiteral("Die Programmdatei enthält %1 Sätze; es können höchstens %2 "
                                    "Sätze geladen werden.")
                         .arg(FürMeldung(f.text().trimmed()))
                         .arg(SatzTabellengröße);
            return std::nullopt;
        }
        return qint16(*anzahl.wert);
    }

private:
    void keineZahl(const QString &wert, const Feld &f) {
        fehler = QStringLiteral("Die Programmdatei enthält beim Wert %1 keine Zahl: \"%2\".")
                     .arg(wert, FürMeldung(f.text()));
    }

    Feldleser m_leser;
};

std::optional<GelesenerSatz> SatzLesen(Programmleser &leser, int nummer) {
    GelesenerSatz satz;
    const auto schritte = leser.ganzzahl32(Wertname("Schritte", nummer));
    if (!schritte)
        return std::nullopt;
    satz.schritte = *schritte;
    const auto startfrequenz = leser.ganzzahl32(Wertname("Startfrequenz", nummer));
    if (!startfrequenz)
        return std::nullopt;
    satz.startfrequenz = *startfrequenz;
    const auto maximalfrequenz = leser.ganzzahl32(Wertname("Maximalfrequenz", nummer));
    if (!maximalfrequenz)
        return std::nullopt;
    satz.maximalfrequenz = *maximalfrequenz;
    const auto satzdurchläufe =
        leser.feldtext(Wertname("Satzdurchläufe", nummer), ::Feld::Satzdurchlaeufe);
    if (!satzdurchläufe)
        return std::nullopt;
    satz.satzdurchläufe = *satzdurchläufe;
    const auto satzpause = leser.ganzzahl32(Wertname("Satzpause", nummer));
    if (!satzpause)
        return std::nullopt;
    satz.satzpause = *satzpause;
    const auto richtungsumkehr = leser.zahl(Wertname("Richtungsumkehr", nummer));
    if (!richtungsumkehr)
        return std::nullopt;
    satz.richtungsumkehr = !richtungsumkehr->istNull();
    // The direction must be a number; only the number 1 is right, anything else left. It is
    // kept as "1" or "0", so that every later reader of the block sees the same direction.
    const auto richtung = leser.zahl(Wertname("Richtung", nummer));
    if (!richtung)
        return std::nullopt;
    satz.richtung = richtung->istEins() ? QStringLiteral("1") : QStringLiteral("0");
    const auto rampe = leser.ganzzahl32(Wertname("Rampe", nummer));
    if (!rampe)
        return std::nullopt;
    satz.rampe = *rampe;
    return satz;
}

QString Anzeigepfad(const QString &pfad) {
    return QDir::toNativeSeparators(pfad);
}

} // namespace

bool GelesenerSatz::rechts() const {
    const std::optional<Zahlwert> zahl = ZahlLesen(richtung.toUtf8());
    return zahl && zahl->istEins();
}

QByteArray ProgrammDateiDaten(const ProgrammFelder &programm) {
    QByteArray daten;
    daten.append(TextZeile(programm.programmdurchläufe));
    daten.append(TextZeile(programm.programmpause));
    daten.append(TextZeile(programm.befehlspause));
    daten.append(ZahlZeile(programm.sätze.size()));
    for (const SatzFelder &satz : programm.sätze) {
        daten.append(TextZeile(satz.schritte));
        daten.append(TextZeile(satz.startfrequenz));
        daten.append(TextZeile(satz.maximalfrequenz));
        daten.append(TextZeile(satz.satzdurchläufe));
        daten.append(TextZeile(satz.satzpause));
        daten.append(ZahlZeile(satz.richtungsumkehr ? 1 : 0));
        daten.append(TextZeile(satz.rechts ? QStringLiteral("1") : QStringLiteral("0")));
        daten.append(TextZeile(QString::number(satz.rampe)));
    }
    return daten;
}

QString ProgrammFelderUngeeignet(const ProgrammFelder &programm) {
    if (programm.sätze.size() > SatzTabellengröße) {
        return QStringLiteral("Das Programm hat %1 Sätze; eine Programmdatei kann höchstens %2 "
                              "Sätze aufnehmen.")
            .arg(programm.sätze.size())
            .arg(SatzTabellengröße);
    }
    const QString meldung = QStringLiteral("Der Wert %1 enthält ein Anführungszeichen und kann so "
                                           "nicht gespeichert werden.");
    const std::pair<const char *, const QString *> programmwerte[] = {
        {"Programmdurchläufe", &programm.programmdurchläufe},
        {"Programmpause", &programm.programmpause},
        {"Befehlspause", &programm.befehlspause}};
    for (const auto &[name, text] : programmwerte) {
        if (!AlsTextZeileLesbar(*text))
            return meldung.arg(Wertname(name));
    }
    for (int i = 0; i < programm.sätze.size(); ++i) {
        const SatzFelder &satz = programm.sätze.at(i);
        const std::pair<const char *, const QString *> satzwerte[] = {
            {"Schritte", &satz.schritte},
            {"Startfrequenz", &satz.startfrequenz},
            {"Maximalfrequenz", &satz.maximalfrequenz},
            {"Satzdurchläufe", &satz.satzdurchläufe},
            {"Satzpause", &satz.satzpause}};
        for (const auto &[name, text] : satzwerte) {
            if (!AlsTextZeileLesbar(*text))
                return meldung.arg(Wertname(name, i + 1));
        }
        // These four are read back as whole numbers; a file that holds anything else in their
        // place could be written but never opened again.
        const std::pair<const char *, const QString *> zahlwerte[] = {
            {"Schritte", &satz.schritte},
            {"Startfrequenz", &satz.startfrequenz},
            {"Maximalfrequenz", &satz.maximalfrequenz},
            {"Satzpause", &satz.satzpause}};
        for (const auto &[name, text] : zahlwerte) {
            if (!Ganzzahl32(text->toUtf8())) {
                return QStringLiteral("Der Wert %1 ist keine ganze Zahl (\"%2\"); so gespeichert "
                                      "ließe sich das Programm nicht wieder öffnen.")
                    .arg(Wertname(name, i + 1), FürMeldung(*text));
            }
        }
    }
    return QString();
}

Programmlesung ProgrammAusDaten(const QByteArray &daten) {
    Programmlesung lesung;
    Programmleser leser(daten);
    GelesenesProgramm programm;

    const auto programmdurchläufe =
        leser.feldtext(Wertname("Programmdurchläufe"), ::Feld::Programmdurchlaeufe);
    const auto programmpause =
        programmdurchläufe ? leser.feldtext(Wertname("Programmpause"), ::Feld::Programmpause)
                           : std::nullopt;
    const auto befehlspause = programmpause
                                  ? leser.feldtext(Wertname("Befehlspause"), ::Feld::Befehlspause)
                                  : std::nullopt;
    const auto anzahl = befehlspause ? leser.satzanzahl() : std::nullopt;
    if (!anzahl) {
        lesung.fehler = leser.fehler;
        return lesung;
    }
    programm.programmdurchläufe = *programmdurchläufe;
    programm.programmpause = *programmpause;
    programm.befehlspause = *befehlspause;

    programm.sätze.reserve(*anzahl);
    for (int nummer = 1; nummer <= *anzahl; ++nummer) {
        const std::optional<GelesenerSatz> satz = SatzLesen(leser, nummer);
        if (!satz) {
            lesung.fehler = leser.fehler;
            return lesung;
        }
        programm.sätze.append(*satz);
    }

    lesung.ok = true;
    lesung.programm = std::move(programm);
    return lesung;
}

Programmlesung ProgrammAusDatei(const QString &pfad) {
    const Eingelesen datei = DateiEinlesen(pfad, GrößteProgrammdatei);
    Programmlesung lesung;
    switch (datei.stand) {
    case Einlesestand::Gelesen:
        lesung = ProgrammAusDaten(datei.daten);
        if (!lesung.ok) {
            lesung.fehler = QStringLiteral("Die Datei \"%1\" kann nicht geladen werden.\n%2")
                                .arg(Anzeigepfad(pfad), lesung.fehler);
        }
        return lesung;
    case Einlesestand::Fehlt:
        lesung.fehler = QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden.\nSie ist "
                                       "nicht vorhanden.")
                            .arg(Anzeigepfad(pfad));
        return lesung;
    case Einlesestand::NichtLesbar:
    case Einlesestand::ZuGross:
    case Einlesestand::KeineDatei:
        lesung.fehler = QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden.\n%2.")
                            .arg(Anzeigepfad(pfad), datei.grund);
        return lesung;
    }
    return lesung;
}

bool ProgrammDateiSpeichern(const QString &pfad, const ProgrammFelder &programm, QString *fehler) {
    const QString ungeeignet = ProgrammFelderUngeeignet(programm);
    if (!ungeeignet.isEmpty()) {
        if (fehler) {
            *fehler = QStringLiteral("Die Datei \"%1\" konnte nicht gespeichert werden.\n%2")
                          .arg(Anzeigepfad(pfad), ungeeignet);
        }
        return false;
    }
    return DateiErsetzen(pfad, ProgrammDateiDaten(programm), fehler);
}

} // namespace Dateizugriff
