#pragma once

// What must hold for any input of the readers of outside data. Each check takes the raw bytes
// a fuzz target gets and returns an empty text when everything holds, otherwise which
// invariant broke. The fuzz targets abort on a broken one; the regression rows of the normal
// tests (tests/tst_fuzzfunde.cpp) run the same checks on the inputs the fuzzer once found.
//
// Header only and free of compiler extensions, so both the clang fuzz build and the program's
// own build use it.

#include "files/Dateiablage.h"
#include "files/Feldleser.h"
#include "files/Kleindateien.h"
#include "files/Programmdatei.h"
#include "link/Dekodierer.h"
#include "model/Einstellwerte.h"
#include "ramp/Zahlentest.h"

#include <QByteArray>
#include <QFile>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace Invarianten {

#define INVARIANTE(bedingung)                                                                      \
    do {                                                                                           \
        if (!(bedingung))                                                                          \
            return QStringLiteral("%1:%2: verletzt: %3")                                           \
                .arg(QStringLiteral(__FILE__))                                                     \
                .arg(__LINE__)                                                                     \
                .arg(QStringLiteral(#bedingung));                                                  \
    } while (false)

// The bytes as a regular file in a temporary folder, so that a check also reads them by name, as
// the program does; empty when the file cannot be written.
inline QString AlsDatei(const QByteArray &eingabe) {
    static const QTemporaryDir ordner;
    const QString pfad = ordner.filePath(QStringLiteral("eingabe"));
    QFile datei(pfad);
    if (!datei.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        datei.write(eingabe) != eingabe.size())
        return QString();
    return pfad;
}

// ---- Program files: what reads is written so that it reads again to the same program, and
// writing that again gives the same bytes.

// The program as the main window shows it after opening the file.
inline Dateizugriff::ProgrammFelder alsFelder(const Dateizugriff::GelesenesProgramm &p) {
    Dateizugriff::ProgrammFelder f;
    f.programmdurchläufe = p.programmdurchläufe;
    f.programmpause = p.programmpause;
    f.befehlspause = p.befehlspause;
    for (const Dateizugriff::GelesenerSatz &g : p.sätze) {
        Dateizugriff::SatzFelder s;
        s.schritte = QString::number(g.schritte);
        s.startfrequenz = QString::number(g.startfrequenz);
        s.maximalfrequenz = QString::number(g.maximalfrequenz);
        s.satzdurchläufe = g.satzdurchläufe;
        s.satzpause = QString::number(g.satzpause);
        s.richtungsumkehr = g.richtungsumkehr;
        s.rechts = g.rechts();
        s.rampe = g.rampe;
        f.sätze.append(s);
    }
    return f;
}

inline bool gleich(const Dateizugriff::GelesenesProgramm &a,
                   const Dateizugriff::GelesenesProgramm &b) {
    if (a.programmdurchläufe != b.programmdurchläufe || a.programmpause != b.programmpause ||
        a.befehlspause != b.befehlspause || a.sätze.size() != b.sätze.size())
        return false;
    for (qsizetype i = 0; i < a.sätze.size(); ++i) {
        const Dateizugriff::GelesenerSatz &x = a.sätze[i], &y = b.sätze[i];
        if (x.schritte != y.schritte || x.startfrequenz != y.startfrequenz ||
            x.maximalfrequenz != y.maximalfrequenz || x.satzdurchläufe != y.satzdurchläufe ||
            x.satzpause != y.satzpause || x.richtungsumkehr != y.richtungsumkehr ||
            x.rechts() != y.rechts() || x.rampe != y.rampe)
            return false;
    }
    return true;
}

inline QString Programmdatei(const QByteArray &eingabe) {
    using namespace Dateizugriff;
    const Programmlesung lesung = ProgrammAusDaten(eingabe);
    INVARIANTE(lesung.ok == lesung.fehler.isEmpty());
    // Read by name, the file gives the same program or the same refusal (a file beyond 1 MiB
    // is refused as such).
    if (eingabe.size() <= 1024 * 1024) {
        const QString pfad = AlsDatei(eingabe);
        INVARIANTE(!pfad.isEmpty());
        const Programmlesung vonDatei = ProgrammAusDatei(pfad);
        INVARIANTE(vonDatei.ok == lesung.ok);
        INVARIANTE(lesung.ok ? gleich(vonDatei.programm, lesung.programm)
                             : vonDatei.fehler.endsWith(lesung.fehler));
    }
    if (!lesung.ok) {
        INVARIANTE(lesung.programm.sätze.isEmpty());
        return {};
    }
    const GelesenesProgramm &programm = lesung.programm;
    INVARIANTE(programm.sätze.size() <= SatzTabellengröße);
    for (const GelesenerSatz &s : programm.sätze)
        INVARIANTE(ZahlLesen(s.richtung.toUtf8()).has_value());

    const ProgrammFelder felder = alsFelder(programm);
    if (!ProgrammFelderUngeeignet(felder).isEmpty()) {
        // Only a text with a double quote inside (possible in a bare field) keeps a program
        // that was read from being written.
        const QString q = QStringLiteral("\"");
        INVARIANTE(felder.programmdurchläufe.contains(q) || felder.programmpause.contains(q) ||
                   felder.befehlspause.contains(q) ||
                   std::any_of(felder.sätze.begin(), felder.sätze.end(),
                               [&](const SatzFelder &s) { return s.satzdurchläufe.contains(q); }));
        return {};
    }
    const QByteArray geschrieben = ProgrammDateiDaten(felder);
    const Programmlesung wieder = ProgrammAusDaten(geschrieben);
    INVARIANTE(wieder.ok);
    INVARIANTE(gleich(programm, wieder.programm));
    INVARIANTE(ProgrammDateiDaten(alsFelder(wieder.programm)) == geschrieben);
    return {};
}

// ---- Port file: any bytes give a port number, the field the dialog shows belongs to it, and
// what the dialog writes back reads as the same number and field.

inline QString Portdatei(const QByteArray &eingabe) {
    using namespace Dateizugriff;
    const qint16 nummer = PortnummerAusDaten(eingabe);
    const QString feld = PortfeldAusDaten(eingabe);
    // Read by name, the file gives the same (a file beyond 64 KiB is no port file).
    if (eingabe.size() <= 64 * 1024) {
        const QString pfad = AlsDatei(eingabe);
        INVARIANTE(!pfad.isEmpty());
        INVARIANTE(PortnummerAusDatei(pfad) == nummer && PortfeldAusDatei(pfad) == feld);
    }
    if (feld.isEmpty()) {
        INVARIANTE(nummer == 1);
        return {};
    }
    const std::optional<qint16> ausFeld = PortnummerAusText(feld);
    INVARIANTE(ausFeld && *ausFeld == nummer);
    INVARIANTE(AlsTextZeileLesbar(feld));
    const QByteArray geschrieben = PortDateiDaten(feld);
    INVARIANTE(PortnummerAusDaten(geschrieben) == nummer);
    INVARIANTE(PortfeldAusDaten(geschrieben) == feld);
    return {};
}

// ---- Manual travel file: the two texts written back read the same whenever they can be
// written.

inline QString Manuelldatei(const QByteArray &eingabe) {
    using namespace Dateizugriff;
    const ManuellWerte werte = ManuellWerteAusDaten(eingabe);
    if (eingabe.size() <= 64 * 1024) {
        const QString pfad = AlsDatei(eingabe);
        INVARIANTE(!pfad.isEmpty() && ManuellWerteAusDatei(pfad) == werte);
    }
    if (!AlsTextZeileLesbar(werte.frequenz) || !AlsTextZeileLesbar(werte.schritte))
        return {};
    const QByteArray geschrieben = ManuellDateiDaten(werte);
    INVARIANTE(ManuellWerteAusDaten(geschrieben) == werte);
    INVARIANTE(ManuellDateiDaten(ManuellWerteAusDaten(geschrieben)) == geschrieben);
    return {};
}

// ---- Controller settings file: entries of the dialog's lists, written back unchanged.

inline QString Zelkordatei(const QByteArray &eingabe) {
    using namespace Dateizugriff;
    const ZelkorWerte werte = ZelkorWerteAusDaten(eingabe);
    if (eingabe.size() <= 64 * 1024) {
        const QString pfad = AlsDatei(eingabe);
        INVARIANTE(!pfad.isEmpty() && ZelkorWerteAusDatei(pfad) == werte);
    }
    INVARIANTE(Schrittmodi().contains(werte.schrittmodus));
    INVARIANTE(Phasenströme().contains(werte.phasenstrom));
    INVARIANTE(ZelkorWerteAusDaten(ZelkorDateiDaten(werte)) == werte);
    return {};
}

// ---- Number test of the entry fields. The first byte chooses the locale (low bits) and
// whether the rest is UTF-8 or UTF-16 (high bit), so any character can reach the test.

inline const QLocale &Gebietsschema(uint8_t wahl) {
    // German and English with their different separators, Swedish with its own minus sign
    // (U+2212), Arabic with its own decimal separator and digits, and C.
    static const QLocale schemata[] = {QLocale(QLocale::German, QLocale::Germany),
                                       QLocale(QLocale::English, QLocale::UnitedStates),
                                       QLocale(QLocale::Swedish, QLocale::Sweden),
                                       QLocale(QLocale::Arabic, QLocale::Egypt), QLocale::c()};
    return schemata[wahl % (sizeof schemata / sizeof schemata[0])];
}

inline QString Zahlentest(const QByteArray &eingabe) {
    if (eingabe.isEmpty())
        return {};
    const uint8_t wahl = uint8_t(eingabe[0]);
    const QLocale &locale = Gebietsschema(wahl & 0x7f);
    const QByteArray rest = eingabe.mid(1);
    QString text;
    if (wahl & 0x80) {
        text.resize(rest.size() / 2);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(char16_t(uint8_t(rest[2 * i]) | uint8_t(rest[2 * i + 1]) << 8));
    } else {
        text = QString::fromUtf8(rest);
    }

    const Ganzzahl ganz = GanzzahlAusText(text, locale);
    const Gleitzahl gleit = GleitzahlAusText(text, locale);
    INVARIANTE(ganz.ok() || ganz.wert == 0);
    INVARIANTE(gleit.ok() || gleit.wert == 0.0);
    // One grammar for both.
    INVARIANTE((ganz.fehler == Zahlfehler::Typfehler) == (gleit.fehler == Zahlfehler::Typfehler));
    if (gleit.ok())
        INVARIANTE(std::isfinite(gleit.wert));
    if (gleit.ok() && std::fabs(gleit.wert) < 2147483647.0)
        INVARIANTE(ganz.ok());
    if (ganz.fehler == Zahlfehler::Ueberlauf)
        INVARIANTE(!gleit.ok() || std::fabs(gleit.wert) >= 2147483647.0);
    if (ganz.ok() && gleit.ok()) {
        // The whole number is the floating one rounded; the double may have lost digits.
        const double abstand = std::fabs(gleit.wert - double(ganz.wert));
        INVARIANTE(abstand <= 0.5 + 1e-9 * std::max(1.0, std::fabs(gleit.wert)));
    }
    if (ganz.ok()) {
        const Ganzzahl wieder = GanzzahlAusText(QString::number(ganz.wert), locale);
        INVARIANTE(wieder.ok() && wieder.wert == ganz.wert);
    }
    if (gleit.ok()) {
        // Where Qt's own conversion without thousands separators takes the text as well, the
        // values agree.
        QLocale ohneGruppen = locale;
        ohneGruppen.setNumberOptions(QLocale::RejectGroupSeparator);
        bool qtOk = false;
        const double qtWert = ohneGruppen.toDouble(text, &qtOk);
        if (qtOk && std::isfinite(qtWert)) {
            const double abstand = std::fabs(qtWert - gleit.wert);
            INVARIANTE(abstand <= 1e-12 * std::fabs(gleit.wert) || abstand <= 1e-300);
        }
    }
    return {};
}

// ---- Decoder of the controller's byte stream, fed in chunks through all three ways in.

// Splits an input as libFuzzer's FuzzedDataProvider does: numbers from the end, bytes from
// the front.
class Zerleger {
public:
    explicit Zerleger(const QByteArray &daten) : m_daten(daten), m_ende(daten.size()) {}
    qsizetype rest() const { return m_ende - m_anfang; }
    // A number in 0..hoechstens from the last byte (or two) not yet used.
    int zahl(int hoechstens) {
        int wert = 0;
        for (int bits = 0; bits < 16 && (hoechstens >> bits) > 0 && rest() > 0; bits += 8)
            wert = (wert << 8) | uint8_t(m_daten[--m_ende]);
        return wert % (hoechstens + 1);
    }
    std::vector<quint8> bytes(qsizetype anzahl) {
        anzahl = std::min(anzahl, rest());
        std::vector<quint8> b(m_daten.begin() + m_anfang, m_daten.begin() + m_anfang + anzahl);
        m_anfang += anzahl;
        return b;
    }

private:
    QByteArray m_daten;
    qsizetype m_anfang = 0, m_ende;
};

inline size_t Befehlslaenge(const DekodierterBefehl &b) {
    switch (b.art) {
    case Befehlsart::Einstellungen:
        return 4;
    case Befehlsart::Programmuebertragung:
        return b.bytes.size() >= 4 ? 5 + 10 * size_t(b.bytes[3]) : 0; // 0: not known yet
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

inline QString Dekodierer(const QByteArray &eingabe) {
    Zerleger zerleger(eingabe);
    ::Dekodierer dekodierer;
    std::vector<DekodierterBefehl> befehle;
    std::vector<quint8> strom;
    double zeit = 0;
    while (zerleger.rest() > 0) {
        const int stueck = zerleger.zahl(300);
        const int weg = zerleger.zahl(2);
        const std::vector<quint8> bytes = zerleger.bytes(stueck);
        strom.insert(strom.end(), bytes.begin(), bytes.end());
        zeit += 0.001;
        std::vector<DekodierterBefehl> neu;
        if (weg == 0) {
            for (quint8 b : bytes) {
                const std::vector<DekodierterBefehl> einzeln = dekodierer.einspeisen(b, zeit);
                neu.insert(neu.end(), einzeln.begin(), einzeln.end());
            }
        } else if (weg == 1) {
            neu = dekodierer.einspeisen(
                QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())),
                zeit);
        } else {
            neu = dekodierer.einspeisen(bytes, zeit);
        }
        for (const DekodierterBefehl &b : neu)
            INVARIANTE(b.vollstaendig);
        befehle.insert(befehle.end(), neu.begin(), neu.end());
    }
    const bool offen = dekodierer.imBefehl();
    if (std::optional<DekodierterBefehl> rest = dekodierer.abschliessen()) {
        INVARIANTE(offen);
        INVARIANTE(!rest->vollstaendig);
        befehle.push_back(*rest);
    } else {
        INVARIANTE(!offen);
    }
    INVARIANTE(!dekodierer.imBefehl());

    // Every byte in exactly one command, in order; each command as long as its kind asks.
    std::vector<quint8> zusammen;
    for (const DekodierterBefehl &b : befehle) {
        INVARIANTE(!b.bytes.empty());
        if (b.vollstaendig)
            INVARIANTE(b.bytes.size() == Befehlslaenge(b));
        else
            INVARIANTE(Befehlslaenge(b) == 0 || b.bytes.size() < Befehlslaenge(b));
        if (b.art == Befehlsart::Programmuebertragung) {
            INVARIANTE(b.saetze.size() == (b.bytes.size() >= 5 ? (b.bytes.size() - 5) / 10 : 0));
            if (b.vollstaendig)
                INVARIANTE(b.saetze.size() == b.bytes[3]);
        }
        INVARIANTE(!(b.zeitAnfang > b.zeitEnde));
        INVARIANTE(!b.zeilen().isEmpty());
        zusammen.insert(zusammen.end(), b.bytes.begin(), b.bytes.end());
    }
    INVARIANTE(zusammen == strom);

    // The same stream in one piece gives the same commands.
    const std::vector<DekodierterBefehl> amStueck = ::Dekodierer::dekodiere(
        QByteArray(reinterpret_cast<const char *>(strom.data()), qsizetype(strom.size())));
    INVARIANTE(amStueck.size() == befehle.size());
    for (size_t i = 0; i < befehle.size(); ++i) {
        const DekodierterBefehl &a = amStueck[i], &b = befehle[i];
        // Equal bytes give equal values: the values are read from the bytes alone.
        INVARIANTE(a.art == b.art && a.vollstaendig == b.vollstaendig && a.bytes == b.bytes);
    }

    // Merging the stops loses none.
    int stopps = 0, zusammengefasst = 0;
    for (const DekodierterBefehl &b : befehle)
        stopps += b.art == Befehlsart::Stopp ? 1 : 0;
    for (const DekodierterBefehl &b : StoppsZusammenfassen(befehle))
        zusammengefasst += b.art == Befehlsart::Stopp ? b.stoppAnzahl : 0;
    INVARIANTE(stopps == zusammengefasst);
    return {};
}

#undef INVARIANTE

} // namespace Invarianten
