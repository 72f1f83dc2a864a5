// The program's files: the field reader and its numbers, program files read and written
// directly and from the real main window, and the three small files beside the program. Saving
// writes only regular files and keeps their links and owner; reading never waits.
#include "files/Dateiablage.h"
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
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Dateizugriff;

namespace {

// The program a new window holds, as a file.
const QByteArray Beispiel = "\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n\"300\"\r\n\"4000\"\r\n"
                            "\"1\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n";

// A program whose blocks differ in every value.
ProgrammFelder Programm(int sätze) {
    ProgrammFelder programm{"1", "10", "10", {}};
    for (int i = 0; i < sätze; ++i)
        programm.sätze.append({QString::number(1000 + i), QString::number(100 + 50 * (i % 5)),
                               QString::number(2000 + 100 * i), QString::number(1 + i % 255),
                               QString::number(i % 3), i % 2 == 1, i % 3 != 0, 1 + i % 4});
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

// Puts the row's file at the path: its bytes, or for "<Verzeichnis>", "<FIFO>", "<Geraet>" a
// directory, a FIFO, a link to a device (one of its own where the system allows it, else the null
// device), for "<fehlt>" nothing.
bool Anlegen(const QString &pfad, const QByteArray &daten) {
    const QByteArray name = QFile::encodeName(pfad), ziel = name + ".ziel";
    if (daten == "<Geraet>")
        return QFile::link(::mknod(ziel, S_IFCHR | 0644, makedev(1, 3)) == 0 ? ziel : "/dev/null",
                           pfad);
    if (daten == "<Verzeichnis>" || daten == "<FIFO>")
        return daten == "<FIFO>" ? ::mkfifo(name, 0644) == 0 : QDir().mkdir(pfad);
    return daten == "<fehlt>" || DateiSchreiben(pfad, daten);
}

// What lies at a path: a link and where it leads, "FIFO", "Gerät", or a file as its content
// (one byte repeated as that byte, else "?", and the size), hard links, owner ("eigen" or the
// number) and permissions.
QString Zustand(const QString &pfad) {
    if (QFileInfo(pfad).isSymLink())
        return "Link→" + Zustand(QFileInfo(pfad).symLinkTarget());
    struct stat st {};
    if (::stat(QFile::encodeName(pfad).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return S_ISFIFO(st.st_mode) ? "FIFO" : S_ISCHR(st.st_mode) ? "Gerät" : "anderes";
    const QByteArray inhalt = DateiInhalt(pfad);
    const bool gleich = inhalt == QByteArray(inhalt.size(), inhalt.front());
    return QString::asprintf("%s%d %dx %s %o", gleich ? inhalt.left(1).constData() : "?",
                             int(inhalt.size()), int(st.st_nlink),
                             st.st_uid == ::geteuid() ? "eigen"
                                                      : QByteArray::number(st.st_uid).constData(),
                             st.st_mode & 07777);
}

// Runs f while no file may grow beyond 64 bytes, as on a full disk (the limit binds root too).
template <typename F> auto MitVollerPlatte(F f) {
    rlimit vorher{};
    getrlimit(RLIMIT_FSIZE, &vorher);
    const rlimit eng{64, vorher.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails instead of ending the test
    setrlimit(RLIMIT_FSIZE, &eng);
    const auto ergebnis = f();
    setrlimit(RLIMIT_FSIZE, &vorher);
    return ergebnis;
}

} // namespace

class TestDateien : public QObject {
    Q_OBJECT

private slots:
    void felder();
    void programmLesen_data();
    void programmLesen();
    void kleindateienLesen();
    void dateiort();
    void speichern();
    void fenster();
};

// Cases "F": the data, then the fields read, each as "Q:" quoted and closed, "O:" quoted but
// never closed, "U:" unquoted, followed by its bytes, separated by '/'. Cases "Z": a text with
// its 32-bit number, "-" when it is none, "Bereich" when one out of range.
void TestDateien::felder() {
    QList<QStringList> fälle = Faelle(
        "F;\"1\"\r\n5000\n\"2\"\r3;Q:1/U:5000/Q:2/U:3|F;\"2,5 A\",1,2\r\n3;Q:2,5 A/U:1/U:2/U:3|"
        "F;   \"x\"  ,\t 7\r\n;Q:x/U:7|F;\" 3 \"\r\n7  \r\n8;Q: 3 /U:7  /U:8|"
        "F;\"ab\"cd,ef\r\n;Q:ab/U:ef|F;a\"b,c;U:a\"b/U:c|F;\"a\r\nb\",c;Q:a\r\nb/U:c|"
        "F;\"1\"\r\n\"ab\r\ncd;Q:1/O:ab\r\ncd|F;\r\n;U:|F;\"\"\r\n\"\";Q:/Q:|F;1,;U:1|"
        "F;\"1\"\r\n\"2\"  ;Q:1/Q:2|F;;|F; \t  ;|F;\xEF\xBB\xBF\"1\"\r\n;Q:1|"
        "Z;  +42 \t;42|Z;2.5;2|Z;3.5;4|Z;-2.5;-2|Z;2.500001;3|Z;.6;1|Z;4.;4|"
        "Z;2147483647;2147483647|Z;-2147483648;-2147483648|Z;2147483648;Bereich|"
        "Z;2147483647.5;Bereich|Z;99999999999999999999999;Bereich|Z;;-|Z;-;-|Z;1,5;-|Z;1e3;-|"
        "Z;1 2;-|Z;12abc;-|Z;1.2.3;-");
    fälle.append({"Z", QString::fromLatin1("12\0", 3), "-"});
    QStringList ist, soll;
    for (const QStringList &fall : fälle) {
        QStringList felder;
        if (fall[0] == "F") {
            Feldleser leser(fall[1].toUtf8());
            while (std::optional<Dateizugriff::Feld> feld = leser.lesen())
                felder.append(QString(!feld->inAnführungszeichen ? "U:"
                                      : feld->abgeschlossen      ? "Q:"
                                                                 : "O:") +
                              QString::fromUtf8(feld->inhalt));
            // The end stays the end.
            if (!leser.amEnde() || leser.lesen())
                felder << "weiter";
        } else {
            const QByteArray text = fall[1].toLatin1();
            const std::optional<qint32> zahl = Ganzzahl32(text);
            const Ganzzahlergebnis e = GanzzahlLesen(text, std::numeric_limits<qint32>::min(),
                                                     std::numeric_limits<qint32>::max());
            felder << (e.wert.has_value() != zahl.has_value()          ? "uneinig"
                       : zahl                                          ? QString::number(*zahl)
                       : e.fehler == Zahlfehler::AusserhalbDesBereichs ? "Bereich"
                                                                       : "-");
        }
        ist << fall.mid(0, 2).join(';') + ";" + felder.join('/');
        soll << fall.join(';');
    }
    QCOMPARE(ist, soll);
}

void TestDateien::programmLesen_data() {
    QTest::addColumn<QByteArray>("daten"); // the file's bytes, or a stand-in
    // When it is read the program in short: header, then per block its values, reversal (U) or
    // not (-), the direction text and the direction it means. Else the message after
    // "Die Datei "<path>" ", and no block is kept.
    QTest::addColumn<QString>("ergebnis");
    QTest::addColumn<QString>("locale"); // the default locale while reading
    const auto zeile = [](const char *fall, const QByteArray &daten, const QString &ergebnis,
                          const QString &locale = "C") {
        QTest::newRow(fall) << daten << ergebnis << locale;
    };

    const QString vorne = "1/10/10 | 5000 300 4000 1 10 ", hinten = "- 1=rechts 1";
    const QByteArray zwölf = Beispiel;
    zeile("twelve lines", zwölf, vorne + hinten);
    // Reversal is any number but 0; only the number 1 is right.
    zeile("0.4 reversal, \"1.4\" left", Geändert(zwölf, {{10, "0.4"}, {11, "\"1.4\""}}),
          vorne + "U 0=links 1");
    zeile("\"1\" reversal, \"2\" left", Geändert(zwölf, {{10, "\"1\""}, {11, "\"2\""}}),
          vorne + "U 0=links 1");
    zeile("\"1.000\" right, after the last block ignored",
          Geändert(zwölf, {{11, "\"1.000\""}}) + "\r\n\"etwas\"\r\n", vorne + hinten);
    // The program values and block repeats as their fields take them.
    zeile("empty repeats, longest text",
          Geändert(zwölf, {{1, "\"\""}, {8, '"' + QByteArray(32767, '9') + '"'}}),
          "/10/10 | 5000 300 4000 " + QString(32767, '9') + " 10 " + hinten);
    zeile("2,5 in German", Geändert(zwölf, {{2, "\"2,5\""}}),
          "1/2,5/10 | 5000 300 4000 1 10 " + hinten, "de_DE");

    const QString öffnen = "kann nicht geöffnet werden.\n",
                  keine = öffnen + "Unter diesem Namen liegt keine gewöhnliche Datei, sondern ";
    zeile("missing", "<fehlt>", öffnen + "Sie ist nicht vorhanden.");
    zeile("directory", "<Verzeichnis>", öffnen + "Unter diesem Namen liegt ein Verzeichnis.");
    zeile("FIFO", "<FIFO>", keine + "eine benannte Pipe (FIFO).");
    zeile("device", "<Geraet>", keine + "ein Gerät.");
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
                               const QString &wert, const char *art = "keine Zahl") {
        zeile(fall, Geändert(nummer > 4 ? zwei : zwölf, {{nummer, inhalt}}),
              beim + wert + " " + art + ": \"" + QString(inhalt).remove('"') + "\".");
    };
    keineZahl("count letters", 4, "x", "\"Anzahl der Sätze\"");
    keineZahl("reversal word", 18, "ja", "\"Richtungsumkehr\" von Satz 2");
    keineZahl("repeats letters", 1, "\"abc\"", "\"Programmdurchläufe\"", "keine ganze Zahl");
    keineZahl("2,5 in C", 2, "\"2,5\"", "\"Programmpause\"", "keine ganze Zahl");
    keineZahl("pause beyond double", 3, "\"1e309\"", "\"Befehlspause\"", "keine ganze Zahl");
    zeile("text too long", Geändert(zwölf, {{8, '"' + QByteArray(32768, '9') + '"'}}),
          beim + "\"Satzdurchläufe\" von Satz 1 einen Text von 32768 Zeichen; das Feld fasst "
                 "höchstens 32767.");
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
    QFETCH(QString, locale);

    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("programm.orp"), kopf = "Die Datei \"" + pfad + "\" ";
    QVERIFY(Anlegen(pfad, daten));
    QLocale::setDefault(QLocale(locale));
    const Programmlesung lesung = ProgrammAusDatei(pfad);
    QLocale::setDefault(QLocale::c());
    const GelesenesProgramm &p = lesung.programm;
    QString kurz = p.programmdurchläufe + "/" + p.programmpause + "/" + p.befehlspause;
    for (const GelesenerSatz &s : p.sätze)
        kurz += QString::asprintf(" | %d %d %d %s %d %s %s=%s %d", s.schritte, s.startfrequenz,
                                  s.maximalfrequenz, qUtf8Printable(s.satzdurchläufe), s.satzpause,
                                  s.richtungsumkehr ? "U" : "-", qUtf8Printable(s.richtung),
                                  s.rechts() ? "rechts" : "links", s.rampe);
    QCOMPARE(lesung.ok ? kurz + lesung.fehler
             : lesung.fehler.startsWith(kopf) && p.sätze.isEmpty()
                 ? lesung.fehler.mid(kopf.size())
                 : "Sätze oder Kopf falsch: " + lesung.fehler,
             ergebnis);
}

// Cases: the file (port.txt: port number/dialog field; manuell.txt: frequency/steps; zelkor.txt:
// step mode/phase current/reduction), its bytes (or a stand-in) and the values read. "Port" and
// a locale: the port file saved from the dialog's text under that locale, read back under it.
void TestDateien::kleindateienLesen() {
    QList<QStringList> fälle = Faelle(
        "port.txt;<fehlt>;1/1|port.txt;<Verzeichnis>;1/|port.txt;<FIFO>;1/1|port.txt;<Geraet>;1/1|"
        "port.txt;\" 4 \"\r\n;4/ 4 |port.txt;\"COM3\"\r\n;1/|port.txt;\"32768\"\r\n;1/|"
        "port.txt;\"3;1/|Port de_DE;2,0;2/2,0|Port de_DE;2.0;1/|Port C;2.0;2/2.0|Port C;2,0;1/|"
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
        const bool port = fall[0].startsWith("Port ");
        QLocale::setDefault(QLocale(port ? fall[0].mid(5) : "C"));
        // The dialog takes exactly the texts that read back as a port.
        QVERIFY(port ? DateiSchreiben(pfad, PortDateiDaten(fall[1])) &&
                           PortnummerAusText(fall[1]).has_value() == (fall[2] != "1/")
                     : Anlegen(pfad, fall[1].toLatin1()));
        const ManuellWerte m = ManuellWerteAusDatei(pfad);
        const ZelkorWerte z = ZelkorWerteAusDatei(pfad);
        const QString werte =
            fall[0] == "manuell.txt" ? m.frequenz + "/" + m.schritte
            : fall[0] == "zelkor.txt"
                ? z.schrittmodus + "/" + z.phasenstrom + "/" + (z.absenkungEin ? "ein" : "aus")
                : QString::number(PortnummerAusDatei(pfad)) + "/" + PortfeldAusDatei(pfad);
        QLocale::setDefault(QLocale::c());
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

// Each case: what lies at the path ("unter Datei": the path leads below a file), what is saved,
// "voll" when no file may grow beyond 64 bytes, the message of a refused save after its first
// line ("…" stands for a path or the system's reason; empty: saved), and
// Zustand() of what lay there afterwards. Nothing else is left in the folder.
void TestDateien::speichern() {
    ::umask(022);
    QStringList ist, soll;
    for (const QStringList &fall : Faelle(
             "Link auf Gerät;n;;Der Name verweist auf \"…\", und dort liegt keine gewöhnliche "
             "Datei, sondern ein Gerät.;Link→Gerät|FIFO;n;;Unter diesem Namen liegt keine "
             "gewöhnliche Datei, sondern eine benannte Pipe (FIFO).;FIFO|"
             "Link auf Datei;n;;;Link→n100 1x eigen 644|"
             "Link ins Leere;n;;;Link→n100 1x eigen 644|zwei Links;n;;;n100 2x eigen 600|"
             "zwei Links;n;voll;Beim Schreiben ist ein Fehler aufgetreten (…).;a200 2x eigen 600|"
             "fremder Besitzer;n;;;n100 1x 65534 640|"
             "unter Datei;Port;;Die Datei kann dort nicht angelegt werden (…).;a200 1x eigen 600|"
             "Datei;Manuell;;Der Wert \"1\"0\" enthält ein Anführungszeichen.;a200 1x eigen 600|"
             "Datei;Anführungszeichen;;Der Wert \"Satzdurchläufe\" von Satz 2 enthält ein "
             "Anführungszeichen und kann so nicht gespeichert werden.;a200 1x eigen 600|"
             "Datei;leer;;Der Wert \"Maximalfrequenz\" von Satz 2 ist keine ganze Zahl (\"\"); so "
             "gespeichert ließe sich das Programm nicht wieder öffnen.;a200 1x eigen 600|"
             "Datei;32;;Das Programm hat 32 Sätze; eine Programmdatei kann höchstens 31 Sätze "
             "aufnehmen.;a200 1x eigen 600")) {
        if (fall[0] == "fremder Besitzer" && ::geteuid() != 0)
            continue; // only root can give a file away
        QTemporaryDir ordner;
        const QString datei = ordner.filePath("datei"), ziel = ordner.filePath("ziel");
        const QByteArray d = QFile::encodeName(datei), alt(200, 'a');
        QVERIFY(fall[0] == "FIFO"             ? Anlegen(datei, "<FIFO>")
                : fall[0] == "Link auf Gerät" ? Anlegen(datei, "<Geraet>")
                : fall[0].startsWith("Link")
                    ? (fall[0].endsWith("Leere") || DateiSchreiben(ziel, alt)) &&
                          QFile::link("ziel", datei)
                    : DateiSchreiben(datei, alt) && ::chmod(d, 0600) == 0 &&
                          (fall[0] == "zwei Links"
                               ? ::link(d, QFile::encodeName(ordner.filePath("zweit"))) == 0
                           : fall[0] == "fremder Besitzer"
                               ? ::chown(d, 65534, 65534) == 0 && ::chmod(d, 0640) == 0
                               : true));
        const QString pfad = fall[0] == "unter Datei" ? datei + "/port.txt" : datei;
        ProgrammFelder programm = Programm(fall[1] == "32" ? 32 : 2);
        if (fall[1] == "Anführungszeichen")
            programm.sätze[1].satzdurchläufe = "\"7\"";
        if (fall[1] == "leer")
            programm.sätze[1].maximalfrequenz = "";
        QString fehler;
        const auto sichern = [&] {
            return fall[1] == "n"         ? DateiErsetzen(pfad, QByteArray(100, 'n'), &fehler)
                   : fall[1] == "Port"    ? PortDateiSpeichern(pfad, "2", &fehler)
                   : fall[1] == "Manuell" ? ManuellDateiSpeichern(pfad, {"1000", "1\"0"}, &fehler)
                                          : ProgrammDateiSpeichern(pfad, programm, &fehler);
        };
        const bool gespeichert = fall[2] == "voll" ? MitVollerPlatte(sichern) : sichern();
        const QString kopf = "Die Datei \"" + pfad + "\" konnte nicht gespeichert werden.\n";
        const QString erwartet = fall.mid(3, fall.size() - 4).join(';'); // it may hold a ';'
        const QString meldung =
            gespeichert || !fehler.startsWith(kopf) ? fehler : fehler.mid(kopf.size());
        const QRegularExpression muster(
            "^" + QRegularExpression::escape(erwartet).replace("\\…", ".*") + "$");
        const QStringList übrig =
            QDir(ordner.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                .filter(QRegularExpression("^(?!(datei|datei.ziel|ziel|zweit)$)"));
        ist << QStringList({fall[0], fall[1], fall[2],
                            muster.match(meldung).hasMatch() ? erwartet : meldung,
                            Zustand(datei) + übrig.join(" +")})
                   .join(';');
        soll << fall.join(';');
    }
    QCOMPARE(ist, soll);
}

void TestDateien::fenster() {
    // Cancelled dialogs change nothing.
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    const QString titel = "Orbalt-Werk     Zelkor-Positioniersteuerung: ";
    QVERIFY(u.dateidialog(w.Öffnen, QString()));
    QVERIFY(u.dateidialog(w.Speichernunter, QString()));
    QCOMPARE(w.windowTitle(), titel + "Unbenannt.orp");

    // "Speichern" on an unnamed program asks for a name; the file is the program's twelve
    // lines, and its name is the caption. After that "Speichern" writes there without asking,
    // replacing a longer file completely.
    QTemporaryDir ablage;
    const QString pfad = ablage.filePath("erst.orp"), zweit = ablage.filePath("zweit.orp"),
                  schlecht = ablage.filePath("schlecht.orp");
    QVERIFY(u.dateidialog(w.Speichern, pfad));
    QCOMPARE(DateiInhalt(pfad), Beispiel);
    QCOMPARE(w.windowTitle(), titel + pfad);
    QVERIFY(DateiSchreiben(pfad, QByteArray(5000, 'x')));
    w.TextProgrammpause->setText("20");
    QVERIFY(!u.dateidialog(w.Speichern, QString()));
    const QByteArray neu = QByteArray(Beispiel).replace("\"10\"\r\n\"10\"", "\"20\"\r\n\"10\"");
    QCOMPARE(DateiInhalt(pfad), neu);
    // "Speichern unter" a name without an ending: ".orp" is added and the caption follows.
    QVERIFY(u.dateidialog(w.Speichernunter, ablage.filePath("zweit")));
    QCOMPARE(DateiInhalt(zweit), neu);
    QCOMPARE(w.windowTitle(), titel + zweit);

    // Neither a file that cannot be read nor a save that fails on a full disk changes the
    // window or the old file; each is reported.
    w.TextStartfrequenz->setText("777");
    QVERIFY(DateiSchreiben(schlecht, Beispiel.left(Beispiel.size() - 12)));
    QVERIFY(u.dateidialog(w.Öffnen, schlecht));
    MitVollerPlatte([&] { return w.Speichern->trigger(), 0; });
    const QStringList m = u.meldungen();
    QVERIFY2(m.size() == 2 && m[0].startsWith("Zelkor_V2: ") && m[0].contains("schlecht.orp") &&
                 m[1].startsWith("Zelkor_V2: ") && m[1].contains("zweit.orp") &&
                 m[1].contains("Beim Schreiben ist ein Fehler aufgetreten"),
             qPrintable(m.join('\n')));
    QCOMPARE(DateiInhalt(zweit), neu);
    QCOMPARE(w.windowTitle(), titel + zweit);
    // Saved now, the file holds what the window held before the attempts.
    w.Speichern->trigger();
    QCOMPARE(DateiInhalt(zweit), QByteArray(neu).replace("\"300\"", "\"777\""));
    QCOMPARE(QDir(ablage.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"erst.orp", "schlecht.orp", "zweit.orp"}));

    // 21 to 31 blocks open (the transfer refuses them) and are shown; saving writes every one
    // back. The blocks differ in every value.
    ProgrammFelder programm = Programm(23);
    programm.programmdurchläufe = "3";
    programm.programmpause = "20";
    const QString lang = ablage.filePath("lang.orp"), wieder = ablage.filePath("lang2.orp");
    QVERIFY(DateiSchreiben(lang, ProgrammDateiDaten(programm)));
    QVERIFY(u.dateidialog(w.Öffnen, lang));
    QCOMPARE(w.windowTitle(), titel + lang);
    QCOMPARE(w.namesData()->tabellenzeilen(), 23);
    QCOMPARE(w.namesData()->zellText(22), QString("1022"));
    QCOMPARE(w.aktuelleZeile(), 0);
    QCOMPARE(w.CommandSatzstart->text(), QString("Satz Nr. 1 starten"));
    QStringList panels; // the panel of each block and the program's values, as shown
    for (int zeile : {0, 1, 3}) {
        w.setAktuelleZeile(zeile);
        for (const QLineEdit *f : {w.TextStartfrequenz, w.TextMaximalfrequenz, w.TextSatzdurchläufe,
                                   w.TextSatzpause, w.TextProgrammdurchläufe, w.TextProgrammpause})
            panels << f->text();
        panels << (w.OptionLinks->isChecked() ? "links" : "rechts")
               << (w.Richtungsumkehrung->isChecked() ? "Umkehr\n" : "-\n");
    }
    QCOMPARE(panels.join('|'), QString("100|2000|1|0|3|20|links|-\n|150|2100|2|1|3|20|rechts|"
                                       "Umkehr\n|250|2300|4|0|3|20|links|Umkehr\n"));
    QVERIFY(u.dateidialog(w.Speichernunter, wieder));
    QCOMPARE(DateiInhalt(wieder), DateiInhalt(lang));
    QCOMPARE(u.nachrichten.anzahl(), 2);
}

QTEST_MAIN(TestDateien)
#include "tst_dateien.moc"
