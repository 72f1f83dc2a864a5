// The program's files: the field reader and its numbers, program files read and written
// directly and from the real main window, and the three small files beside the program.
#include "files/Feldleser.h"
#include "files/Kleindateien.h"
#include "files/Programmdatei.h"
#include "files/Programmverzeichnis.h"
#include "model/NamesData.h"

#include "Fensterumgebung.h"
#include "Testdaten.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <limits>
#include <sys/resource.h>

using namespace Dateizugriff;

Q_DECLARE_METATYPE(Dateizugriff::ProgrammFelder)

namespace {

// The program a new window holds, as a file.
const QByteArray Beispiel = "\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n\"300\"\r\n\"4000\"\r\n"
                            "\"1\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n";

// A program whose blocks differ in every value.
ProgrammFelder Programm(int sätze) {
    ProgrammFelder programm{"1", "10", "10", {}};
    for (int i = 0; i < sätze; ++i) {
        programm.sätze.append({QString::number(1000 + i), QString::number(100 + 50 * (i % 5)),
                               QString::number(2000 + 100 * i), QString::number(1 + i % 255),
                               QString::number(i % 3), i % 2 == 1, i % 3 != 0, 1 + i % 4});
    }
    return programm;
}

// The file with some lines (numbered from 1) replaced, or cut after its first lines.
QByteArray Geändert(const QByteArray &daten, std::initializer_list<std::pair<int, QByteArray>> neu,
                    int zeilen = -1) {
    QList<QByteArray> alle = daten.split('\n'); // each line with its CR, an empty one last
    for (const auto &[nummer, inhalt] : neu)
        alle[nummer - 1] = inhalt + '\r';
    return alle.mid(0, zeilen).join('\n') + (zeilen > 0 ? "\n" : "");
}

// The read program in short: header, then per block its values, reversal (U) or not (-),
// the direction text and the direction it means.
QString Kurz(const GelesenesProgramm &p) {
    QString text = p.programmdurchläufe + "/" + p.programmpause + "/" + p.befehlspause;
    for (const GelesenerSatz &s : p.sätze)
        text += QStringLiteral(" | %1 %2 %3 %4 %5 %6 %7=%8 %9")
                    .arg(s.schritte)
                    .arg(s.startfrequenz)
                    .arg(s.maximalfrequenz)
                    .arg(s.satzdurchläufe)
                    .arg(s.satzpause)
                    .arg(s.richtungsumkehr ? "U" : "-", s.richtung, s.rechts() ? "rechts" : "links")
                    .arg(s.rampe);
    return text;
}

QString Kopf(const QString &pfad) {
    return "Die Datei \"" + QDir::toNativeSeparators(pfad) + "\" ";
}

// Stand-ins for a file that is not there and a directory in its place.
const QByteArray Fehlt = "<fehlt>";
const QByteArray Verzeichnis = "<Verzeichnis>";

// Puts the row's file at the path: its bytes, a directory, or nothing.
bool Anlegen(const QString &pfad, const QByteArray &daten) {
    if (daten == Verzeichnis)
        return QDir().mkdir(pfad);
    return daten == Fehlt || DateiSchreiben(pfad, daten);
}

// Runs f while no file may grow beyond 64 bytes, as on a full disk (the limit binds root too).
template <typename F> auto MitVollerPlatte(F f) {
    rlimit vorher{};
    getrlimit(RLIMIT_FSIZE, &vorher);
    rlimit eng = vorher;
    eng.rlim_cur = 64;
    const auto alterHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &eng);
    const auto ergebnis = f();
    setrlimit(RLIMIT_FSIZE, &vorher);
    std::signal(SIGXFSZ, alterHandler);
    return ergebnis;
}

QString Titel(const QString &name) {
    return "Orbalt-Werk     Zelkor-Positioniersteuerung: " + name;
}

// The panel of the current block and the program's values, as shown.
QString Panel(const PCSteuerung &w) {
    QStringList texte;
    for (const QLineEdit *f : {w.TextStartfrequenz, w.TextMaximalfrequenz, w.TextSatzdurchläufe,
                               w.TextSatzpause, w.TextProgrammdurchläufe, w.TextProgrammpause})
        texte << f->text();
    texte << (w.OptionLinks->isChecked() ? "links" : "rechts")
          << (w.Richtungsumkehrung->isChecked() ? "Umkehr" : "-");
    return texte.join('|');
}

} // namespace

class TestDateien : public QObject {
    Q_OBJECT

private slots:
    void felder();
    void ganzzahl32();

    void programmLesen_data();
    void programmLesen();

    void kleindateienLesen();
    void dateiort();
    void speichernFehlgeschlagen();

    void fensterSpeichern();
    void fensterLangesProgramm();
};

// Each case: the data, then the fields read, each as "Q:" quoted and closed, "O:" quoted but
// never closed, "U:" unquoted, followed by its bytes, separated by '/'.
void TestDateien::felder() {
    QStringList ist, soll;
    for (const QStringList &fall :
         Faelle("\"1\"\r\n5000\n\"2\"\r3;Q:1/U:5000/Q:2/U:3|\"2,5 A\",1,2\r\n3;Q:2,5 A/U:1/U:2/U:3|"
                "   \"x\"  ,\t 7\r\n;Q:x/U:7|\" 3 \"\r\n7  \r\n8;Q: 3 /U:7  /U:8|"
                "\"ab\"cd,ef\r\n;Q:ab/U:ef|a\"b,c;U:a\"b/U:c|\"a\r\nb\",c;Q:a\r\nb/U:c|"
                "\"1\"\r\n\"ab\r\ncd;Q:1/O:ab\r\ncd|\r\n;U:|\"\"\r\n\"\";Q:/Q:|1,;U:1|"
                "\"1\"\r\n\"2\"  ;Q:1/Q:2|;| \t  ;|\xEF\xBB\xBF\"1\"\r\n;Q:1")) {
        QStringList felder;
        Feldleser leser(fall[0].toUtf8());
        while (std::optional<Dateizugriff::Feld> feld = leser.lesen()) {
            const char *art = !feld->inAnführungszeichen ? "U:" : feld->abgeschlossen ? "Q:" : "O:";
            felder.append(art + QString::fromUtf8(feld->inhalt));
        }
        // The end stays the end.
        if (!leser.amEnde() || leser.lesen())
            felder << "weiter";
        ist << fall[0] + ";" + felder.join('/');
        soll << fall.join(';');
    }
    QCOMPARE(ist, soll);
}

void TestDateien::ganzzahl32() {
    // Each text with its number, "-" when it is none, "Bereich" when one out of range.
    QList<QStringList> fälle = Faelle("  +42 \t;42|2.5;2|3.5;4|-2.5;-2|2.500001;3|.6;1|4.;4|"
                                      "2147483647;2147483647|-2147483648;-2147483648|"
                                      "2147483648;Bereich|2147483647.5;Bereich|"
                                      "99999999999999999999999;Bereich|;-|-;-|1,5;-|1e3;-|1 2;-|"
                                      "12abc;-|1.2.3;-");
    fälle.append({QString::fromLatin1("12\0", 3), "-"});
    QStringList ist, soll;
    for (const QStringList &fall : fälle) {
        const QByteArray text = fall[0].toLatin1();
        const std::optional<qint32> zahl = Ganzzahl32(text);
        const Ganzzahlergebnis e = GanzzahlLesen(text, std::numeric_limits<qint32>::min(),
                                                 std::numeric_limits<qint32>::max());
        ist << fall[0] + " " +
                   (e.wert.has_value() != zahl.has_value()          ? "uneinig"
                    : zahl                                          ? QString::number(*zahl)
                    : e.fehler == Zahlfehler::AusserhalbDesBereichs ? "Bereich"
                                                                    : "-");
        soll << fall.join(' ');
    }
    QCOMPARE(ist, soll);
}

void TestDateien::programmLesen_data() {
    QTest::addColumn<QByteArray>("daten"); // the file's bytes, or Fehlt / Verzeichnis
    // The program in short when it is read, else the message after "Die Datei "<path>" ".
    QTest::addColumn<QString>("ergebnis");
    const auto zeile = [](const char *fall, const QByteArray &daten, const QString &ergebnis) {
        QTest::newRow(fall) << daten << ergebnis;
    };

    const QString vorne = "1/10/10 | 5000 300 4000 1 10 ";
    const QByteArray zwölf = Beispiel;
    zeile("twelve lines", zwölf, vorne + "- 1=rechts 1");
    zeile("0, \"0\": left", Geändert(zwölf, {{10, "0"}, {11, "\"0\""}}), vorne + "- 0=links 1");
    zeile("0.4 is reversal", Geändert(zwölf, {{10, "0.4"}}), vorne + "U 1=rechts 1");
    zeile("\"1\", \"2\": only 1 is right", Geändert(zwölf, {{10, "\"1\""}, {11, "\"2\""}}),
          vorne + "U 0=links 1");
    zeile("after the last block ignored", zwölf + "\r\n\"etwas\"\r\n", vorne + "- 1=rechts 1");

    const QString öffnen = "kann nicht geöffnet werden.\n";
    zeile("missing", Fehlt, öffnen + "Sie ist nicht vorhanden.");
    zeile("directory", Verzeichnis, öffnen + "Unter diesem Namen liegt ein Verzeichnis.");
    zeile("too large", zwölf + QByteArray(1024 * 1024, ' '), öffnen + "Die Datei ist zu groß.");

    // A two-block file: line 4 is the block count, block 2 occupies lines 13 to 20.
    const QByteArray zwei = ProgrammDateiDaten(Programm(2));
    const QString endet = "kann nicht geladen werden.\nDie Programmdatei endet vorzeitig: ";
    zeile("empty file", "", endet + "Es fehlt der Wert \"Programmdurchläufe\".");
    zeile("block 2 without ramp", Geändert(zwei, {}, 19),
          endet + "Es fehlt der Wert \"Rampe\" von Satz 2.");
    zeile("last value unclosed", zwei.chopped(3),
          endet + "Beim Wert \"Rampe\" von Satz 2 fehlt das schließende Anführungszeichen.");

    const QString beim = "kann nicht geladen werden.\nDie Programmdatei enthält beim Wert ";
    const auto keineZahl = [&](const char *fall, int nummer, const QByteArray &inhalt,
                               const QString &wert) {
        zeile(fall, Geändert(zwei, {{nummer, inhalt}}),
              beim + wert + " keine Zahl: \"" + QString(inhalt).remove('"') + "\".");
    };
    keineZahl("count letters", 4, "x", "\"Anzahl der Sätze\"");
    keineZahl("reversal word", 18, "ja", "\"Richtungsumkehr\" von Satz 2");
    zeile("steps beyond 32 bits", Geändert(zwei, {{13, "\"2147483648\""}}),
          beim + "\"Schritte\" von Satz 2 eine Zahl außerhalb des zulässigen Bereichs "
                 "(-2147483648 bis 2147483647): \"2147483648\".");
    zeile("long text shortened", Geändert(zwei, {{13, "\"\t" + QByteArray(100, 'a') + "\""}}),
          beim + "\"Schritte\" von Satz 2 keine Zahl: \"?" + QString(39, 'a') + QChar(0x2026) +
              "\".");

    const QString enthält = "kann nicht geladen werden.\nDie Programmdatei enthält ";
    const QString höchstens = " Sätze; es können höchstens 31 Sätze geladen werden.";
    zeile("32 blocks", ProgrammDateiDaten(Programm(32)), enthält + "32" + höchstens);
    zeile("count beyond 16 bits", Geändert(zwölf, {{4, "40000"}}), enthält + "40000" + höchstens);
    zeile("negative count", Geändert(zwölf, {{4, "-1"}}),
          enthält + "eine negative Anzahl von Sätzen: \"-1\".");
}

void TestDateien::programmLesen() {
    QFETCH(QByteArray, daten);
    QFETCH(QString, ergebnis);

    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("programm.orp");
    QVERIFY(Anlegen(pfad, daten));

    const Programmlesung lesung = ProgrammAusDatei(pfad);
    QCOMPARE(lesung.ok ? Kurz(lesung.programm) : lesung.fehler.mid(Kopf(pfad).size()), ergebnis);
    QCOMPARE(lesung.fehler.isEmpty(), lesung.ok);
    if (!lesung.ok) {
        QVERIFY(lesung.fehler.startsWith(Kopf(pfad)));
        QVERIFY(lesung.programm.sätze.isEmpty());
    }
}

// Cases: the file (port.txt: port number/dialog field; manuell.txt: frequency/steps; zelkor.txt:
// step mode/phase current/reduction), its bytes (or Fehlt, Verzeichnis) and the values read.
void TestDateien::kleindateienLesen() {
    QList<QStringList> fälle =
        Faelle("port.txt;<fehlt>;1/1|port.txt;<Verzeichnis>;1/|port.txt;\" 4 \"\r\n;4/ 4 |"
               "port.txt;\"COM3\"\r\n;1/|port.txt;\"32768\"\r\n;1/|port.txt;\"3;1/|"
               "manuell.txt;<fehlt>;1000/1000|manuell.txt;\"abc\"\r\n\" 12 \"\r\n;abc/ 12 |"
               "manuell.txt;\"2500\"\r\n\"400;1000/1000|zelkor.txt;<fehlt>;Halbschritt/2,5 A/ein|"
               "zelkor.txt;\"Zehntelschritt\"\r\n\"6,0 A\"\r\n\"0\"\r\n;Zehntelschritt/6,0 A/aus|"
               "zelkor.txt;\"Achtelschritt\"\r\n\"4,0 A\"\r\n\"1.4\"\r\n;Achtelschritt/4,0 A/aus|"
               "zelkor.txt;\"Achtelschritt\"\r\n\"4,0 A\"\r\n\"Aus\"\r\n;Achtelschritt/4,0 A/ein|"
               "zelkor.txt;\"halbschritt \"\r\n\" 3,0 A\"\r\n0\r\n;Halbschritt/2,5 A/aus");
    fälle.append({"zelkor.txt", QString::fromLatin1("\"F\xFCnftelschritt\"\r\n\"3,5 A\"\r\n1\r\n"),
                  "Fünftelschritt/3,5 A/ein"});
    QStringList ist, soll;
    for (const QStringList &fall : fälle) {
        QTemporaryDir verzeichnis;
        const QString pfad = verzeichnis.filePath(fall[0]);
        QVERIFY(Anlegen(pfad, fall[1].toLatin1()));
        QString werte;
        if (fall[0] == "port.txt") {
            werte = QString::number(PortnummerAusDatei(pfad)) + "/" + PortfeldAusDatei(pfad);
        } else if (fall[0] == "manuell.txt") {
            const ManuellWerte w = ManuellWerteAusDatei(pfad);
            werte = w.frequenz + "/" + w.schritte;
        } else {
            const ZelkorWerte w = ZelkorWerteAusDatei(pfad);
            werte = w.schrittmodus + "/" + w.phasenstrom + "/" + (w.absenkungEin ? "ein" : "aus");
        }
        ist << fall.mid(0, 2).join(';') + ";" + werte;
        soll << fall.join(';');
    }
    QCOMPARE(ist, soll);
}

// Where a small file or port link lives: beside the program when it lies there (a dangling link
// too) or the program's folder can be written, else in the user's folder. Each case: what lies
// beside the program, whether its folder can be written, where the name then leads.
void TestDateien::dateiort() {
    QStringList ist, soll;
    for (const QStringList &fall : Faelle(";ja;Programm|;nein;Benutzer|Datei;nein;Programm|"
                                          "Verknüpfung;nein;Programm")) {
        QTemporaryDir programm, benutzer;
        const QString dort = programm.filePath("COM1");
        QVERIFY(fall[0].isEmpty() ||
                (fall[0] == "Datei" ? Anlegen(dort, "") : QFile::link("/dev/ttyUSB9", dort)));
        const QString ort = Dateiort("COM1", programm.path(), fall[1] == "ja", benutzer.path());
        ist << fall.mid(0, 2).join(';') + ";" +
                   (ort == dort                        ? "Programm"
                    : ort == benutzer.filePath("COM1") ? "Benutzer"
                                                       : ort);
        soll << fall.join(';');
    }
    QCOMPARE(ist, soll);
}

void TestDateien::speichernFehlgeschlagen() {
    // Each failed save is reported, and the old file stays exactly as it was, alone.
    QTemporaryDir verzeichnis;
    const QByteArray alt = ProgrammDateiDaten(Programm(2));
    const auto versuch = [&](const QString &name, bool unterDatei, const auto &speichern) {
        const QString datei = verzeichnis.filePath(name);
        DateiSchreiben(datei, alt);
        const QString pfad = unterDatei ? datei + "/" + name : datei;
        const QString kopf = Kopf(pfad) + "konnte nicht gespeichert werden.\n";
        QString fehler;
        if (speichern(pfad, &fehler) || DateiInhalt(datei) != alt || !fehler.startsWith(kopf))
            return "gespeichert oder verändert: " + fehler;
        return fehler.mid(kopf.size());
    };
    QVERIFY(versuch("port.txt", true, [](const QString &pfad, QString *fehler) {
                return PortDateiSpeichern(pfad, "2", fehler);
            }).startsWith("Die Datei kann dort nicht angelegt werden"));
    // Values that would not read back are refused before anything is written.
    QStringList meldungen{versuch("manuell.txt", false, [](const QString &pfad, QString *fehler) {
        return ManuellDateiSpeichern(pfad, {"1000", "1\"0"}, fehler);
    })};
    ProgrammFelder p1 = Programm(2), p2 = Programm(2);
    p1.sätze[1].satzdurchläufe = "\"7\"";
    p2.sätze[1].maximalfrequenz = "";
    for (const ProgrammFelder &programm : {p1, p2, Programm(32)})
        meldungen << versuch("programm.orp", false, [&](const QString &pfad, QString *fehler) {
            return ProgrammDateiSpeichern(pfad, programm, fehler);
        });
    QCOMPARE(meldungen,
             QStringList({"Der Wert \"1\"0\" enthält ein Anführungszeichen.",
                          "Der Wert \"Satzdurchläufe\" von Satz 2 enthält ein Anführungszeichen "
                          "und kann so nicht gespeichert werden.",
                          "Der Wert \"Maximalfrequenz\" von Satz 2 ist keine ganze Zahl (\"\"); so "
                          "gespeichert ließe sich das Programm nicht wieder öffnen.",
                          "Das Programm hat 32 Sätze; eine Programmdatei kann höchstens 31 Sätze "
                          "aufnehmen."}));
    QCOMPARE(QDir(verzeichnis.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"manuell.txt", "port.txt", "programm.orp"}));
}

void TestDateien::fensterSpeichern() {
    // Cancelled dialogs change nothing.
    Fensterumgebung u;
    QVERIFY(u.dateidialog(u.w().Öffnen, QString()));
    QVERIFY(u.dateidialog(u.w().Speichernunter, QString()));
    QCOMPARE(u.w().windowTitle(), Titel("Unbenannt.orp"));

    // "Speichern" on an unnamed program asks for a name; the file is the program's twelve
    // lines, and its name is the caption. After that "Speichern" writes there without asking,
    // replacing a longer file completely.
    QTemporaryDir ablage;
    const QString pfad = ablage.filePath("erst.orp");
    QVERIFY(u.dateidialog(u.w().Speichern, pfad));
    QCOMPARE(DateiInhalt(pfad), Beispiel);
    QCOMPARE(u.w().windowTitle(), Titel(pfad));
    QVERIFY(DateiSchreiben(pfad, QByteArray(5000, 'x')));
    u.w().TextProgrammpause->setText("20");
    QVERIFY(!u.dateidialog(u.w().Speichern, QString()));
    const QByteArray neu = QByteArray(Beispiel).replace("\"10\"\r\n\"10\"", "\"20\"\r\n\"10\"");
    QCOMPARE(DateiInhalt(pfad), neu);
    // "Speichern unter" a name without an ending: ".orp" is added and the caption follows.
    const QString zweit = ablage.filePath("zweit.orp");
    QVERIFY(u.dateidialog(u.w().Speichernunter, ablage.filePath("zweit")));
    QCOMPARE(DateiInhalt(zweit), neu);
    QCOMPARE(u.w().windowTitle(), Titel(zweit));
    QCOMPARE(u.meldungen(), QStringList());

    // Neither a file that cannot be read nor a save that fails on a full disk changes the
    // window or the old file; each is reported.
    u.w().TextStartfrequenz->setText("777");
    const QString schlecht = ablage.filePath("schlecht.orp");
    QVERIFY(DateiSchreiben(schlecht, Beispiel.left(Beispiel.size() - 12)));
    QVERIFY(u.dateidialog(u.w().Öffnen, schlecht));
    MitVollerPlatte([&] { return u.w().Speichern->trigger(), 0; });
    const QStringList m = u.meldungen();
    QVERIFY2(m.size() == 2 && m[0].startsWith("Zelkor_V2: ") && m[0].contains("schlecht.orp") &&
                 m[1].startsWith("Zelkor_V2: ") && m[1].contains("zweit.orp") &&
                 m[1].contains("Beim Schreiben ist ein Fehler aufgetreten"),
             qPrintable(m.join('\n')));
    QCOMPARE(DateiInhalt(zweit), neu);
    QCOMPARE(u.w().windowTitle(), Titel(zweit));
    // Saved now, the file holds what the window held before the attempts.
    u.w().Speichern->trigger();
    QCOMPARE(DateiInhalt(zweit), QByteArray(neu).replace("\"300\"", "\"777\""));
    QCOMPARE(QDir(ablage.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"erst.orp", "schlecht.orp", "zweit.orp"}));
    QCOMPARE(u.nachrichten.anzahl(), 2);
}

void TestDateien::fensterLangesProgramm() {
    // 21 to 31 blocks open (the transfer refuses them) and are shown; saving writes every one
    // back. The blocks differ in every value and go through every direction, reversal and
    // ramp. Any reversal but 0 reverses; only direction 1 is right.
    QByteArray lang = "\"3\"\r\n\"20\"\r\n\"30\"\r\n23\r\n", soll = lang;
    for (int i = 1; i <= 23; ++i) {
        const auto satz = [i](int richtung, int umkehr) {
            return "\"" + QByteArray::number(100 + i) + "\"\r\n\"" + QByteArray::number(200 + i) +
                   "\"\r\n\"" + QByteArray::number(4000 + i) + "\"\r\n\"" + QByteArray::number(i) +
                   "\"\r\n\"" + QByteArray::number(i % 7) + "\"\r\n" + QByteArray::number(umkehr) +
                   "\r\n\"" + QByteArray::number(richtung) + "\"\r\n\"" +
                   QByteArray::number(1 + i % 4) + "\"\r\n";
        };
        lang += satz((i + 1) % 3, i / 2 % 3);
        soll += satz((i + 1) % 3 == 1, i / 2 % 3 ? 1 : 0);
    }
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    QTemporaryDir ablage;
    const QString pfad = ablage.filePath("lang.orp");
    QVERIFY(DateiSchreiben(pfad, lang));
    QVERIFY(u.dateidialog(w.Öffnen, pfad));
    QCOMPARE(w.windowTitle(), Titel(pfad));
    QCOMPARE(w.namesData()->tabellenzeilen(), 23);
    QCOMPARE(w.namesData()->zellText(22), QString("123"));
    QCOMPARE(w.aktuelleZeile(), 0);
    QCOMPARE(w.CommandSatzstart->text(), QString("Satz Nr. 1 starten"));
    QStringList panels;
    for (int zeile : {0, 1, 3}) {
        w.setAktuelleZeile(zeile);
        panels << Panel(w);
    }
    QCOMPARE(panels, QStringList({"201|4001|1|1|3|20|links|-", "202|4002|2|2|3|20|links|Umkehr",
                                  "204|4004|4|4|3|20|links|Umkehr"}));
    const QString wieder = ablage.filePath("lang2.orp");
    QVERIFY(u.dateidialog(w.Speichernunter, wieder));
    QCOMPARE(DateiInhalt(wieder), soll);
    QCOMPARE(u.meldungen(), QStringList());
}

QTEST_MAIN(TestDateien)
#include "tst_dateien.moc"
