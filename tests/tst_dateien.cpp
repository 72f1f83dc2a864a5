// The program's files: the field reader and its numbers, program files and the three small
// files beside the program.
#include "files/Feldleser.h"
#include "files/Kleindateien.h"
#include "files/Programmdatei.h"
#include "files/Programmverzeichnis.h"

#include "Testdaten.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <limits>
#include <sys/resource.h>

using namespace Dateizugriff;

Q_DECLARE_METATYPE(Dateizugriff::ProgrammFelder)

namespace {

SatzFelder Standardsatz() {
    return {"5000", "300", "4000", "1", "10", false, true, 1};
}

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

const QByteArray ZwölfZeilen = "\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n"
                               "\"5000\"\r\n\"300\"\r\n\"4000\"\r\n\"1\"\r\n\"10\"\r\n0\r\n"
                               "\"1\"\r\n\"1\"\r\n";

// The file's lines without their CR LF; empty unless every line ends in CR LF.
QList<QByteArray> Zeilen(const QByteArray &daten) {
    QList<QByteArray> zeilen = daten.split('\n');
    if (zeilen.takeLast() != "")
        return {};
    for (QByteArray &zeile : zeilen) {
        if (!zeile.endsWith('\r'))
            return {};
        zeile.chop(1);
    }
    return zeilen;
}

// The file with some lines (numbered from 1) replaced, or cut after its first lines.
QByteArray Geändert(const QByteArray &daten, std::initializer_list<std::pair<int, QByteArray>> neu,
                    int zeilen = -1) {
    QList<QByteArray> alle = Zeilen(daten);
    for (const auto &[nummer, inhalt] : neu)
        alle[nummer - 1] = inhalt;
    return alle.mid(0, zeilen).join("\r\n") + (zeilen == 0 ? "" : "\r\n");
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

ProgrammFelder AlsFelder(const GelesenesProgramm &gelesen) {
    ProgrammFelder felder{
        gelesen.programmdurchläufe, gelesen.programmpause, gelesen.befehlspause, {}};
    for (const GelesenerSatz &s : gelesen.sätze)
        felder.sätze.append({QString::number(s.schritte), QString::number(s.startfrequenz),
                             QString::number(s.maximalfrequenz), s.satzdurchläufe,
                             QString::number(s.satzpause), s.richtungsumkehr, s.rechts(), s.rampe});
    return felder;
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

} // namespace

class TestDateien : public QObject {
    Q_OBJECT

private slots:
    void felder_data();
    void felder();
    void grosseEingabeLinear();
    void ganzzahl32_data();
    void ganzzahl32();

    void programmSchreibenUndLesen_data();
    void programmSchreibenUndLesen();
    void programmLesen_data();
    void programmLesen();
    void programmSpeichern();

    void kleindateipfade();
    void kleindateienLesen_data();
    void kleindateienLesen();
    void kleindateienSchreiben();

    void speichernFehlgeschlagen_data();
    void speichernFehlgeschlagen();
};

void TestDateien::felder_data() {
    QTest::addColumn<QByteArray>("daten");
    // Each field as "Q:" quoted and closed, "O:" quoted but never closed, "U:" unquoted,
    // followed by its bytes.
    QTest::addColumn<QStringList>("erwartet");
    const auto zeile = [](const char *fall, const QByteArray &daten, const QStringList &felder) {
        QTest::newRow(fall) << daten << felder;
    };

    zeile("quoted lines CR LF", "\"1\"\r\n\"10\"\r\n", {"Q:1", "Q:10"});
    zeile("bare and quoted lines", "1\r\n\"5000\"\r\n0\r\n", {"U:1", "Q:5000", "U:0"});
    zeile("lone LF and lone CR", "\"1\"\n2\r3", {"Q:1", "U:2", "U:3"});
    zeile("comma protected by quotes", "\"2,5 A\"\r\n\"1\"\r\n", {"Q:2,5 A", "Q:1"});
    zeile("comma separates bare fields", "1,2\r\n3", {"U:1", "U:2", "U:3"});
    zeile("leading blanks and tabs skipped", "   \"x\"  ,\t 7\r\n", {"Q:x", "U:7"});
    zeile("blanks inside quotes kept", "\" 3 \"", {"Q: 3 "});
    zeile("trailing blanks of a bare field kept", "7  \r\n8", {"U:7  ", "U:8"});
    zeile("text after closing quote dropped", "\"ab\"cd,ef\r\n", {"Q:ab", "U:ef"});
    zeile("quote inside a bare field is plain", "a\"b,c", {"U:a\"b", "U:c"});
    zeile("line end inside quotes", "\"a\r\nb\",c", {"Q:a\r\nb", "U:c"});
    zeile("unclosed quote runs to the end", "\"1\"\r\n\"ab\r\ncd", {"Q:1", "O:ab\r\ncd"});
    zeile("empty line is an empty field", "\r\n", {"U:"});
    zeile("empty quoted fields", "\"\"\r\n\"\"", {"Q:", "Q:"});
    zeile("trailing comma ends the data", "1,", {"U:1"});
    zeile("last line without line end", "\"1\"\r\n\"2\"  ", {"Q:1", "Q:2"});
    zeile("no data", "", {});
    zeile("blanks only", " \t  ", {});
    zeile("byte order mark skipped", "\xEF\xBB\xBF\"1\"\r\n", {"Q:1"});
}

void TestDateien::felder() {
    QFETCH(QByteArray, daten);
    QFETCH(QStringList, erwartet);

    QStringList felder;
    Feldleser leser(daten);
    while (std::optional<Feld> feld = leser.lesen()) {
        const char *art = !feld->inAnführungszeichen ? "U:" : feld->abgeschlossen ? "Q:" : "O:";
        felder.append(art + QString::fromLatin1(feld->inhalt));
    }
    QCOMPARE(felder, erwartet);
    // The end stays the end.
    QVERIFY(leser.amEnde());
    QVERIFY(!leser.lesen());
}

void TestDateien::grosseEingabeLinear() {
    // Four million empty fields: if a field were searched for again from the start of the
    // data, this would take hours; read once each, it is done at once.
    const qsizetype n = 4 * 1024 * 1024;
    Feldleser leser(QByteArray(n, ','));
    qsizetype anzahl = 0;
    while (leser.lesen())
        ++anzahl;
    QCOMPARE(anzahl, n);
}

void TestDateien::ganzzahl32_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("gültig");
    QTest::addColumn<qint32>("wert");
    QTest::addColumn<bool>("bereichsfehler");

    QTest::newRow("zero") << QByteArray("0") << true << 0 << false;
    QTest::newRow("blanks around, plus sign") << QByteArray("  +42 \t") << true << 42 << false;
    QTest::newRow("half to even down") << QByteArray("2.5") << true << 2 << false;
    QTest::newRow("half to even up") << QByteArray("3.5") << true << 4 << false;
    QTest::newRow("negative half") << QByteArray("-2.5") << true << -2 << false;
    QTest::newRow("just above half") << QByteArray("2.500001") << true << 3 << false;
    QTest::newRow("fraction only") << QByteArray(".6") << true << 1 << false;
    QTest::newRow("point without fraction") << QByteArray("4.") << true << 4 << false;
    QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647 << false;
    QTest::newRow("smallest") << QByteArray("-2147483648") << true << qint32(-2147483648LL)
                              << false;
    QTest::newRow("one too large") << QByteArray("2147483648") << false << 0 << true;
    QTest::newRow("rounded out of range") << QByteArray("2147483647.5") << false << 0 << true;
    QTest::newRow("beyond 64 bits") << QByteArray("99999999999999999999999") << false << 0 << true;
    QTest::newRow("empty") << QByteArray() << false << 0 << false;
    QTest::newRow("sign only") << QByteArray("-") << false << 0 << false;
    QTest::newRow("decimal comma") << QByteArray("1,5") << false << 0 << false;
    QTest::newRow("exponent") << QByteArray("1e3") << false << 0 << false;
    QTest::newRow("hex") << QByteArray("0x10") << false << 0 << false;
    QTest::newRow("blank inside") << QByteArray("1 2") << false << 0 << false;
    QTest::newRow("digits then letters") << QByteArray("12abc") << false << 0 << false;
    QTest::newRow("two points") << QByteArray("1.2.3") << false << 0 << false;
    QTest::newRow("NUL after digits") << QByteArray("12\0", 3) << false << 0 << false;
}

void TestDateien::ganzzahl32() {
    QFETCH(QByteArray, text);
    QFETCH(bool, gültig);
    QFETCH(qint32, wert);
    QFETCH(bool, bereichsfehler);

    const std::optional<qint32> zahl = Ganzzahl32(text);
    QCOMPARE(zahl.has_value(), gültig);
    if (gültig)
        QCOMPARE(*zahl, wert);
    const Ganzzahlergebnis ergebnis =
        GanzzahlLesen(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    QCOMPARE(ergebnis.wert.has_value(), gültig);
    QCOMPARE(!gültig && ergebnis.fehler == Zahlfehler::AusserhalbDesBereichs, bereichsfehler);
}

void TestDateien::programmSchreibenUndLesen_data() {
    QTest::addColumn<ProgrammFelder>("programm");
    QTest::addColumn<QByteArray>("bytes"); // empty: not checked

    QTest::newRow("twelve lines") << ProgrammFelder{"1", "10", "10", {Standardsatz()}}
                                  << ZwölfZeilen;
    QTest::newRow("no block: four lines")
        << Programm(0) << QByteArray("\"1\"\r\n\"10\"\r\n\"10\"\r\n0\r\n");
    QTest::newRow("21 blocks") << Programm(21) << QByteArray();
    QTest::newRow("31 blocks") << Programm(31) << QByteArray();

    QTest::newRow("limits, empty texts, texts with comma, blanks, umlauts")
        << ProgrammFelder{"drei, vier",
                          QStringLiteral("  Größe"),
                          "",
                          {{"16777215", "12000", "12800", "1,5", "0", true, false, 4},
                           {"0", "-1", "2147483647", "", "-2147483648", false, true, 1}}}
        << QByteArray();
}

void TestDateien::programmSchreibenUndLesen() {
    QFETCH(ProgrammFelder, programm);
    QFETCH(QByteArray, bytes);
    QVERIFY(ProgrammFelderUngeeignet(programm).isEmpty());

    const QByteArray daten = ProgrammDateiDaten(programm);
    if (!bytes.isEmpty())
        QCOMPARE(daten, bytes);
    QCOMPARE(Zeilen(daten).size(), 4 + 8 * programm.sätze.size());
    const Programmlesung lesung = ProgrammAusDaten(daten);
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QCOMPARE(lesung.programm.anzahlSätze(), qint16(programm.sätze.size()));
    QVERIFY(AlsFelder(lesung.programm) == programm);
}

void TestDateien::programmLesen_data() {
    QTest::addColumn<QByteArray>("daten"); // the file's bytes, or Fehlt / Verzeichnis
    // The program in short when it is read, else the message after "Die Datei "<path>" ".
    QTest::addColumn<QString>("ergebnis");
    const auto zeile = [](const char *fall, const QByteArray &daten, const QString &ergebnis) {
        QTest::newRow(fall) << daten << ergebnis;
    };

    const QString vorne = "1/10/10 | 5000 300 4000 1 10 ";
    const QByteArray zwölf = ZwölfZeilen;
    zeile("twelve lines", zwölf, vorne + "- 1=rechts 1");
    zeile("0, \"0\": left", Geändert(zwölf, {{10, "0"}, {11, "\"0\""}}), vorne + "- 0=links 1");
    zeile("0.4 is reversal", Geändert(zwölf, {{10, "0.4"}}), vorne + "U 1=rechts 1");
    zeile("0.0 is no reversal", Geändert(zwölf, {{10, "0.0"}}), vorne + "- 1=rechts 1");
    zeile("\"2\" reads as right", Geändert(zwölf, {{11, "\"2\""}}), vorne + "- 2=rechts 1");
    zeile("\"1\", bare 0", Geändert(zwölf, {{10, "\"1\""}, {11, "0"}}), vorne + "U 0=links 1");
    zeile("number lines quoted, number fields bare",
          "\"1\"\r\n\"10\"\r\n\"10\"\r\n\"1\"\r\n5000\r\n300\r\n4000\r\n1\r\n10\r\n\"0\"\r\n1\r\n1",
          vorne + "- 1=rechts 1");
    zeile("lone LF, blanks", QByteArray(zwölf).replace("\r\n", "\n  "), vorne + "- 1=rechts 1");
    zeile("last line end missing", zwölf.chopped(2), vorne + "- 1=rechts 1");
    zeile("after the last block ignored", zwölf + "\r\n\"etwas\"\r\n", vorne + "- 1=rechts 1");
    zeile("block repeats stay text", Geändert(zwölf, {{8, "\"viele\""}}),
          "1/10/10 | 5000 300 4000 viele 10 - 1=rechts 1");

    const QString öffnen = "kann nicht geöffnet werden.\n";
    zeile("missing", Fehlt, öffnen + "Sie ist nicht vorhanden.");
    zeile("directory", Verzeichnis, öffnen + "Unter diesem Namen liegt ein Verzeichnis.");
    zeile("too large", zwölf + QByteArray(1024 * 1024, ' '), öffnen + "Die Datei ist zu groß.");

    // A two-block file: line 4 is the block count, block 2 occupies lines 13 to 20.
    const QByteArray zwei = ProgrammDateiDaten(Programm(2));
    const QString endet = "kann nicht geladen werden.\nDie Programmdatei endet vorzeitig: ";
    zeile("empty file", "", endet + "Es fehlt der Wert \"Programmdurchläufe\".");
    zeile("three lines", Geändert(zwei, {}, 3), endet + "Es fehlt der Wert \"Anzahl der Sätze\".");
    zeile("no block", Geändert(zwei, {}, 4), endet + "Es fehlt der Wert \"Schritte\" von Satz 1.");
    zeile("block 1 without pause", Geändert(zwei, {}, 8),
          endet + "Es fehlt der Wert \"Satzpause\" von Satz 1.");
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
    keineZahl("steps letters", 13, "\"5OOO\"", "\"Schritte\" von Satz 2");
    keineZahl("start frequency empty", 14, "\"\"", "\"Startfrequenz\" von Satz 2");
    keineZahl("maximum with comma", 15, "\"4000,5\"", "\"Maximalfrequenz\" von Satz 2");
    keineZahl("pause with unit", 17, "\"10 s\"", "\"Satzpause\" von Satz 2");
    keineZahl("reversal word", 18, "ja", "\"Richtungsumkehr\" von Satz 2");
    keineZahl("direction word", 19, "\"rechts\"", "\"Richtung\" von Satz 2");
    keineZahl("ramp word", 20, "\"5ms\"", "\"Rampe\" von Satz 2");
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

void TestDateien::programmSpeichern() {
    // A longer old file is replaced completely; nothing else is left in the directory.
    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("Unbenannt.orp");
    QVERIFY(DateiSchreiben(pfad, ProgrammDateiDaten(Programm(20)) + QByteArray(5000, 'x')));
    QString fehler = "unverändert";
    QVERIFY(ProgrammDateiSpeichern(pfad, Programm(7), &fehler));
    QCOMPARE(fehler, QStringLiteral("unverändert"));
    QCOMPARE(DateiInhalt(pfad), ProgrammDateiDaten(Programm(7)));
    QCOMPARE(QDir(verzeichnis.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Unbenannt.orp"});
    const Programmlesung lesung = ProgrammAusDatei(pfad);
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QVERIFY(AlsFelder(lesung.programm) == Programm(7));
}

void TestDateien::kleindateipfade() {
    QTemporaryDir verzeichnis;
    setProgrammverzeichnis(verzeichnis.path());
    QCOMPARE(PortDateipfad(), verzeichnis.filePath("port.txt"));
    QCOMPARE(ManuellDateipfad(), verzeichnis.filePath("manuell.txt"));
    QCOMPARE(ZelkorDateipfad(), verzeichnis.filePath("zelkor.txt"));
    setProgrammverzeichnis(QString());
}

void TestDateien::kleindateienLesen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("daten");
    // port.txt: port number|dialog field; manuell.txt: frequency|steps;
    // zelkor.txt: step mode|phase current|reduction
    QTest::addColumn<QString>("werte");
    const auto zeile = [](const char *fall, const char *name, const QByteArray &daten,
                          const QString &werte) { QTest::newRow(fall) << name << daten << werte; };
    const auto zelkor = [](const char *modus, const char *strom, const char *absenkung) {
        return "\"" + QByteArray(modus) + "\"\r\n\"" + strom + "\"\r\n" + absenkung + "\r\n";
    };

    zeile("port missing", "port.txt", Fehlt, "1|1");
    zeile("port unreadable", "port.txt", Verzeichnis, "1|");
    zeile("port 3", "port.txt", "\"3\"\r\n", "3|3");
    zeile("port bare, no line end", "port.txt", "12", "12|12");
    zeile("port blanks kept in the field", "port.txt", "\" 4 \"\r\n", "4| 4 ");
    zeile("port largest 16-bit", "port.txt", "\"32767\"", "32767|32767");
    zeile("port garbage", "port.txt", "\"COM3\"\r\n", "1|");
    zeile("port 32768", "port.txt", "\"32768\"\r\n", "1|");
    zeile("port 70000", "port.txt", "\"70000\"\r\n", "1|");
    zeile("port unclosed quote", "port.txt", "\"3", "1|");

    zeile("manual missing", "manuell.txt", Fehlt, "1000|1000");
    zeile("manual one field", "manuell.txt", "\"2500\"\r\n", "1000|1000");
    zeile("manual two fields", "manuell.txt", "\"2500\"\r\n\"40000\"\r\n", "2500|40000");
    zeile("manual texts as written", "manuell.txt", "\"abc\"\r\n\" 12 \"\r\n", "abc| 12 ");
    zeile("manual bare, one line", "manuell.txt", "300,5", "300|5");
    zeile("manual second field unclosed", "manuell.txt", "\"2500\"\r\n\"400", "1000|1000");

    zeile("settings missing", "zelkor.txt", Fehlt, "Halbschritt|2,5 A|ein");
    zeile("settings 2,5 A intact", "zelkor.txt", zelkor("Vollschritt", "2,5 A", "\"1\""),
          "Vollschritt|2,5 A|ein");
    zeile("settings 0 is off", "zelkor.txt", zelkor("Zehntelschritt", "6,0 A", "\"0\""),
          "Zehntelschritt|6,0 A|aus");
    zeile("settings 1.0 is on", "zelkor.txt", zelkor("Achtelschritt", "4,0 A", "1.0"),
          "Achtelschritt|4,0 A|ein");
    zeile("settings 1.4 is off", "zelkor.txt", zelkor("Achtelschritt", "4,0 A", "\"1.4\""),
          "Achtelschritt|4,0 A|aus");
    zeile("settings no number: on", "zelkor.txt", zelkor("Achtelschritt", "4,0 A", "\"Aus\""),
          "Achtelschritt|4,0 A|ein");
    zeile("settings unknown mode", "zelkor.txt", zelkor("Sechstelschritt", "5,5 A", "\"0\""),
          "Halbschritt|5,5 A|aus");
    zeile("settings unknown current", "zelkor.txt", zelkor("Viertelschritt", "7,0 A", "0"),
          "Viertelschritt|2,5 A|aus");
    zeile("settings compared exactly", "zelkor.txt", zelkor("halbschritt ", " 3,0 A", "0"),
          "Halbschritt|2,5 A|aus");
    // Without quotes "3,0 A" falls apart into "3" and "0 A": neither the current nor the third
    // value is usable.
    zeile("settings unquoted current", "zelkor.txt", "Vollschritt\r\n3,0 A\r\n0\r\n",
          "Vollschritt|2,5 A|ein");
    zeile("settings one value", "zelkor.txt", "\"Vollschritt\"\r\n", "Vollschritt|2,5 A|ein");
    zeile("settings Latin-1", "zelkor.txt", zelkor("F\xFCnftelschritt", "3,5 A", "1"),
          "Fünftelschritt|3,5 A|ein");
}

void TestDateien::kleindateienLesen() {
    QFETCH(QString, name);
    QFETCH(QByteArray, daten);
    QFETCH(QString, werte);

    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath(name);
    QVERIFY(Anlegen(pfad, daten));

    QString ist;
    if (name == "port.txt") {
        ist = QString::number(PortnummerAusDatei(pfad)) + "|" + PortfeldAusDatei(pfad);
    } else if (name == "manuell.txt") {
        const ManuellWerte w = ManuellWerteAusDatei(pfad);
        ist = w.frequenz + "|" + w.schritte;
    } else {
        const ZelkorWerte w = ZelkorWerteAusDatei(pfad);
        ist = w.schrittmodus + "|" + w.phasenstrom + "|" + (w.absenkungEin ? "ein" : "aus");
    }
    QCOMPARE(ist, werte);
}

void TestDateien::kleindateienSchreiben() {
    // Longer old files are replaced completely; what is written reads back.
    QTemporaryDir verzeichnis;
    const QString port = verzeichnis.filePath("port.txt");
    const QString manuell = verzeichnis.filePath("manuell.txt");
    const QString zelkor = verzeichnis.filePath("zelkor.txt");
    for (const QString &pfad : {port, manuell, zelkor})
        QVERIFY(DateiSchreiben(pfad, "\"7\"\r\nein langer alter Inhalt\r\n\"Vollschritt\"\r\n"));

    QString fehler;
    QVERIFY(PortDateiSpeichern(port, "2", &fehler));
    QVERIFY(fehler.isEmpty());
    QCOMPARE(DateiInhalt(port), QByteArray("\"2\"\r\n"));
    const ManuellWerte hand{"12000", "16777215"};
    QVERIFY(ManuellDateiSpeichern(manuell, hand));
    QCOMPARE(DateiInhalt(manuell), QByteArray("\"12000\"\r\n\"16777215\"\r\n"));
    QVERIFY(ManuellWerteAusDatei(manuell) == hand);
    const ZelkorWerte werte{QStringLiteral("Fünftelschritt"), "4,5 A", false};
    QVERIFY(ZelkorDateiSpeichern(zelkor, werte));
    QCOMPARE(DateiInhalt(zelkor),
             QByteArray("\"F\xC3\xBCnftelschritt\"\r\n\"4,5 A\"\r\n\"0\"\r\n"));
    QVERIFY(ZelkorWerteAusDatei(zelkor) == werte);
}

void TestDateien::speichernFehlgeschlagen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("art");
    QTest::addColumn<ProgrammFelder>("programm");
    QTest::addColumn<QString>("wert");  // port field, or manual steps
    QTest::addColumn<QString>("grund"); // the message after its first line (begins so)

    const QString anlegen = "Die Datei kann dort nicht angelegt werden";
    QTest::newRow("program: parent is a file") << "programm.orp"
                                               << "Datei" << Programm(2) << "" << anlegen;
    // The file size limit applies to root as well, like a full disk.
    QTest::newRow("program: write cut short") << "programm.orp"
                                              << "kurz" << Programm(31) << ""
                                              << "Beim Schreiben ist ein Fehler aufgetreten";
    QTest::newRow("port: parent is a file") << "port.txt"
                                            << "Datei" << ProgrammFelder() << "2" << anlegen;
    QTest::newRow("manual: parent is a file") << "manuell.txt"
                                              << "Datei" << ProgrammFelder() << "1000" << anlegen;
    QTest::newRow("settings: parent is a file") << "zelkor.txt"
                                                << "Datei" << ProgrammFelder() << "" << anlegen;

    // Values that would not read back are refused before anything is written.
    QTest::newRow("manual: quote in a value") << "manuell.txt"
                                              << "" << ProgrammFelder() << "1\"0"
                                              << "Der Wert \"1\"0\" enthält ein Anführungszeichen.";
    QTest::newRow("port: quote") << "port.txt"
                                 << "" << ProgrammFelder() << "\""
                                 << "Der Wert \"\"\" enthält ein Anführungszeichen.";
    const QString zeichen = " enthält ein Anführungszeichen und kann so nicht gespeichert werden.";
    ProgrammFelder p = Programm(2);
    p.befehlspause = "1\"0";
    QTest::newRow("program: quote in a program value") << "programm.orp"
                                                       << "" << p << ""
                                                       << "Der Wert \"Befehlspause\"" + zeichen;
    p = Programm(2);
    p.sätze[1].satzdurchläufe = "\"7\"";
    QTest::newRow("program: quotes in a block text")
        << "programm.orp"
        << "" << p << ""
        << "Der Wert \"Satzdurchläufe\" von Satz 2" + zeichen;
    p = Programm(2);
    p.sätze[1].maximalfrequenz = "";
    QTest::newRow("program: no whole number")
        << "programm.orp"
        << "" << p << ""
        << "Der Wert \"Maximalfrequenz\" von Satz 2 ist keine ganze Zahl (\"\"); so gespeichert "
           "ließe sich das Programm nicht wieder öffnen.";
    QTest::newRow("program: 32 blocks")
        << "programm.orp"
        << "" << Programm(32) << ""
        << "Das Programm hat 32 Sätze; eine Programmdatei kann höchstens 31 Sätze aufnehmen.";
}

void TestDateien::speichernFehlgeschlagen() {
    QFETCH(QString, name);
    QFETCH(QString, art);
    QFETCH(ProgrammFelder, programm);
    QFETCH(QString, wert);
    QFETCH(QString, grund);

    // The old file must stay exactly as it was, and the failure must be reported.
    QTemporaryDir verzeichnis;
    const QString alt = verzeichnis.filePath(name);
    const QByteArray altDaten = ProgrammDateiDaten(Programm(2));
    QVERIFY(DateiSchreiben(alt, altDaten));
    const QString pfad = art == "Datei" ? alt + "/" + name : alt;

    rlimit vorher{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &vorher), 0);
    const auto alterHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit eng = vorher;
    eng.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, art == "kurz" ? &eng : &vorher), 0);
    QString fehler;
    bool gespeichert = true;
    if (name == "programm.orp")
        gespeichert = ProgrammDateiSpeichern(pfad, programm, &fehler);
    else if (name == "port.txt")
        gespeichert = PortDateiSpeichern(pfad, wert, &fehler);
    else if (name == "manuell.txt")
        gespeichert = ManuellDateiSpeichern(pfad, {"1000", wert}, &fehler);
    else
        gespeichert = ZelkorDateiSpeichern(pfad, ZelkorWerte(), &fehler);
    setrlimit(RLIMIT_FSIZE, &vorher);
    std::signal(SIGXFSZ, alterHandler);

    QVERIFY(!gespeichert);
    const QString soll = Kopf(pfad) + "konnte nicht gespeichert werden.\n" + grund;
    if (art.isEmpty())
        QCOMPARE(fehler, soll);
    else
        QVERIFY2(fehler.startsWith(soll), qPrintable(fehler));
    QCOMPARE(DateiInhalt(alt), altDaten);
    QCOMPARE(QDir(verzeichnis.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
}
QTEST_GUILESS_MAIN(TestDateien)
#include "tst_dateien.moc"
