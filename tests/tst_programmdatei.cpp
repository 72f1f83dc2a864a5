#include "files/Programmdatei.h"

#include "Testdaten.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
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

// Stand-ins for a file that is not there and a directory in its place.
const QByteArray Fehlt = "<fehlt>";
const QByteArray Verzeichnis = "<Verzeichnis>";

QString Kopf(const QString &pfad) {
    return "Die Datei \"" + QDir::toNativeSeparators(pfad) + "\" ";
}

} // namespace

class TestProgrammdatei : public QObject {
    Q_OBJECT

private slots:
    void schreibenUndLesen_data();
    void schreibenUndLesen();
    void lesen_data();
    void lesen();
    void speichern();
    void speichernFehlgeschlagen_data();
    void speichernFehlgeschlagen();
};

void TestProgrammdatei::schreibenUndLesen_data() {
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

void TestProgrammdatei::schreibenUndLesen() {
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

void TestProgrammdatei::lesen_data() {
    QTest::addColumn<QByteArray>("daten"); // the file's bytes, or Fehlt / Verzeichnis
    // The program in short when it is read, else the message after "Die Datei "<path>" ".
    QTest::addColumn<QString>("ergebnis");

    const QString vorne = "1/10/10 | 5000 300 4000 1 10 ";
    QTest::newRow("twelve lines") << ZwölfZeilen << vorne + "- 1=rechts 1";
    QTest::newRow("0 and \"0\": no reversal, left")
        << Geändert(ZwölfZeilen, {{10, "0"}, {11, "\"0\""}}) << vorne + "- 0=links 1";
    QTest::newRow("any other number is reversal")
        << Geändert(ZwölfZeilen, {{10, "-1"}}) << vorne + "U 1=rechts 1";
    QTest::newRow("0.0 is no reversal")
        << Geändert(ZwölfZeilen, {{10, "0.0"}}) << vorne + "- 1=rechts 1";
    QTest::newRow("direction \"2\" reads as right")
        << Geändert(ZwölfZeilen, {{11, "\"2\""}}) << vorne + "- 2=rechts 1";
    QTest::newRow("quoted reversal, bare direction 0")
        << Geändert(ZwölfZeilen, {{10, "\"1\""}, {11, "0"}}) << vorne + "U 0=links 1";
    QTest::newRow("number lines quoted, number fields bare")
        << QByteArray("\"1\"\r\n\"10\"\r\n\"10\"\r\n\"1\"\r\n5000\r\n300\r\n4000\r\n1\r\n10\r\n"
                      "\"0\"\r\n1\r\n1\r\n")
        << vorne + "- 1=rechts 1";
    QByteArray lf = ZwölfZeilen;
    QTest::newRow("lone LF and blanks before the values")
        << lf.replace("\r\n", "\n  ") << vorne + "- 1=rechts 1";
    QTest::newRow("last line end missing") << ZwölfZeilen.chopped(2) << vorne + "- 1=rechts 1";
    QTest::newRow("after the last block ignored") << ZwölfZeilen + "\r\n\"noch etwas\"\r\n"
                                                  << vorne + "- 1=rechts 1";
    QTest::newRow("block repeats stay text") << Geändert(ZwölfZeilen, {{8, "\"viele\""}})
                                             << "1/10/10 | 5000 300 4000 viele 10 - 1=rechts 1";

    const QString öffnen = "kann nicht geöffnet werden.\n";
    QTest::newRow("missing") << Fehlt << öffnen + "Sie ist nicht vorhanden.";
    QTest::newRow("directory") << Verzeichnis
                               << öffnen + "Unter diesem Namen liegt ein Verzeichnis.";
    QTest::newRow("too large") << ZwölfZeilen + QByteArray(1024 * 1024, ' ')
                               << öffnen + "Die Datei ist zu groß.";

    // A two-block file: line 4 is the block count, block 2 occupies lines 13 to 20.
    const QByteArray zwei = ProgrammDateiDaten(Programm(2));
    const QString endet =
        "kann nicht geladen werden.\nDie Programmdatei endet vorzeitig: Es fehlt der Wert ";
    QTest::newRow("empty file") << QByteArray() << endet + "\"Programmdurchläufe\".";
    QTest::newRow("three lines") << Geändert(zwei, {}, 3) << endet + "\"Anzahl der Sätze\".";
    QTest::newRow("no block") << Geändert(zwei, {}, 4) << endet + "\"Schritte\" von Satz 1.";
    QTest::newRow("block 1 without pause")
        << Geändert(zwei, {}, 8) << endet + "\"Satzpause\" von Satz 1.";
    QTest::newRow("block 2 without ramp")
        << Geändert(zwei, {}, 19) << endet + "\"Rampe\" von Satz 2.";
    QTest::newRow("last value unclosed")
        << zwei.chopped(3)
        << "kann nicht geladen werden.\nDie Programmdatei endet vorzeitig: Beim Wert \"Rampe\" "
           "von Satz 2 fehlt das schließende Anführungszeichen.";

    const QString keine = "kann nicht geladen werden.\nDie Programmdatei enthält beim Wert ";
    QTest::newRow("block count letters")
        << Geändert(zwei, {{4, "x"}}) << keine + "\"Anzahl der Sätze\" keine Zahl: \"x\".";
    QTest::newRow("steps letters") << Geändert(zwei, {{13, "\"5OOO\""}})
                                   << keine + "\"Schritte\" von Satz 2 keine Zahl: \"5OOO\".";
    QTest::newRow("start frequency empty")
        << Geändert(zwei, {{14, "\"\""}})
        << keine + "\"Startfrequenz\" von Satz 2 keine Zahl: \"\".";
    QTest::newRow("maximum frequency decimal comma")
        << Geändert(zwei, {{15, "\"4000,5\""}})
        << keine + "\"Maximalfrequenz\" von Satz 2 keine Zahl: \"4000,5\".";
    QTest::newRow("pause with unit") << Geändert(zwei, {{17, "\"10 s\""}})
                                     << keine + "\"Satzpause\" von Satz 2 keine Zahl: \"10 s\".";
    QTest::newRow("reversal word") << Geändert(zwei, {{18, "ja"}})
                                   << keine + "\"Richtungsumkehr\" von Satz 2 keine Zahl: \"ja\".";
    QTest::newRow("direction word") << Geändert(zwei, {{19, "\"rechts\""}})
                                    << keine + "\"Richtung\" von Satz 2 keine Zahl: \"rechts\".";
    QTest::newRow("ramp word") << Geändert(zwei, {{20, "\"5ms\""}})
                               << keine + "\"Rampe\" von Satz 2 keine Zahl: \"5ms\".";
    QTest::newRow("steps beyond 32 bits")
        << Geändert(zwei, {{13, "\"2147483648\""}})
        << keine + "\"Schritte\" von Satz 2 eine Zahl außerhalb des zulässigen Bereichs "
                   "(-2147483648 bis 2147483647): \"2147483648\".";
    QTest::newRow("long text shortened")
        << Geändert(zwei, {{13, "\"\t" + QByteArray(100, 'a') + "\""}})
        << keine + "\"Schritte\" von Satz 2 keine Zahl: \"?" + QString(39, 'a') + QChar(0x2026) +
               "\".";

    const QString enthält = "kann nicht geladen werden.\nDie Programmdatei enthält ";
    const QString höchstens = " Sätze; es können höchstens 31 Sätze geladen werden.";
    QTest::newRow("32 blocks") << ProgrammDateiDaten(Programm(32)) << enthält + "32" + höchstens;
    QTest::newRow("count beyond 16 bits")
        << Geändert(ZwölfZeilen, {{4, "40000"}}) << enthält + "40000" + höchstens;
    QTest::newRow("count beyond 64 bits") << Geändert(ZwölfZeilen, {{4, "99999999999999999999999"}})
                                          << enthält + "99999999999999999999999" + höchstens;
    QTest::newRow("negative count") << Geändert(ZwölfZeilen, {{4, "-1"}})
                                    << enthält + "eine negative Anzahl von Sätzen: \"-1\".";
}

void TestProgrammdatei::lesen() {
    QFETCH(QByteArray, daten);
    QFETCH(QString, ergebnis);

    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("programm.orp");
    if (daten == Verzeichnis)
        QVERIFY(QDir().mkdir(pfad));
    else if (daten != Fehlt)
        QVERIFY(DateiSchreiben(pfad, daten));

    const Programmlesung lesung = ProgrammAusDatei(pfad);
    QCOMPARE(lesung.ok ? Kurz(lesung.programm) : lesung.fehler.mid(Kopf(pfad).size()), ergebnis);
    QCOMPARE(lesung.fehler.isEmpty(), lesung.ok);
    if (!lesung.ok) {
        QVERIFY(lesung.fehler.startsWith(Kopf(pfad)));
        QVERIFY(lesung.programm.sätze.isEmpty());
    }
}

void TestProgrammdatei::speichern() {
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

void TestProgrammdatei::speichernFehlgeschlagen_data() {
    QTest::addColumn<QString>("art");
    QTest::addColumn<ProgrammFelder>("programm");
    QTest::addColumn<QString>("grund"); // the message after its first line begins so

    QTest::newRow("parent is a file")
        << "Datei" << Programm(2) << "Die Datei kann dort nicht angelegt werden";
    // The file size limit applies to root as well, like a full disk.
    QTest::newRow("write cut short")
        << "kurz" << Programm(31) << "Beim Schreiben ist ein Fehler aufgetreten";

    // Programs that would not read back are refused before anything is written.
    const QString zeichen = " enthält ein Anführungszeichen und kann so nicht gespeichert werden.";
    ProgrammFelder p = Programm(2);
    p.befehlspause = "1\"0";
    QTest::newRow("quote in a program value") << "" << p << "Der Wert \"Befehlspause\"" + zeichen;
    p = Programm(2);
    p.sätze[1].satzdurchläufe = "\"7\"";
    QTest::newRow("quotes in a block text")
        << "" << p << "Der Wert \"Satzdurchläufe\" von Satz 2" + zeichen;
    p = Programm(2);
    p.sätze[1].maximalfrequenz = "";
    QTest::newRow("no whole number")
        << "" << p
        << "Der Wert \"Maximalfrequenz\" von Satz 2 ist keine ganze Zahl (\"\"); so gespeichert "
           "ließe sich das Programm nicht wieder öffnen.";
    QTest::newRow("32 blocks")
        << "" << Programm(32)
        << "Das Programm hat 32 Sätze; eine Programmdatei kann höchstens 31 Sätze aufnehmen.";
}

void TestProgrammdatei::speichernFehlgeschlagen() {
    QFETCH(QString, art);
    QFETCH(ProgrammFelder, programm);
    QFETCH(QString, grund);

    // The old file must stay exactly as it was, and the failure must be reported.
    QTemporaryDir verzeichnis;
    const QString alt = verzeichnis.filePath("programm.orp");
    const QByteArray altDaten = ProgrammDateiDaten(Programm(2));
    QVERIFY(DateiSchreiben(alt, altDaten));
    const QString pfad = art == "Datei" ? alt + "/neu.orp" : alt;

    rlimit vorher{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &vorher), 0);
    const auto alterHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit eng = vorher;
    eng.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, art == "kurz" ? &eng : &vorher), 0);
    QString fehler;
    const bool gespeichert = ProgrammDateiSpeichern(pfad, programm, &fehler);
    setrlimit(RLIMIT_FSIZE, &vorher);
    std::signal(SIGXFSZ, alterHandler);

    QVERIFY(!gespeichert);
    const QString soll = Kopf(pfad) + "konnte nicht gespeichert werden.\n" + grund;
    if (art.isEmpty())
        QCOMPARE(fehler, soll);
    else
        QVERIFY2(fehler.startsWith(soll), qPrintable(fehler));
    QCOMPARE(DateiInhalt(alt), altDaten);
    QCOMPARE(QDir(verzeichnis.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"programm.orp"});
}

QTEST_GUILESS_MAIN(TestProgrammdatei)
#include "tst_programmdatei.moc"
