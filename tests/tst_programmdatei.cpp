#include "files/Programmdatei.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace Dateizugriff;

Q_DECLARE_METATYPE(Dateizugriff::ProgrammFelder)

namespace {

SatzFelder Standardsatz() {
    SatzFelder satz;
    satz.schritte = "5000";
    satz.startfrequenz = "300";
    satz.maximalfrequenz = "4000";
    satz.satzdurchläufe = "1";
    satz.satzpause = "10";
    satz.richtungsumkehr = false;
    satz.rechts = true;
    satz.rampe = 1;
    return satz;
}

ProgrammFelder Programm(int sätze) {
    ProgrammFelder programm;
    programm.programmdurchläufe = "1";
    programm.programmpause = "10";
    programm.befehlspause = "10";
    for (int i = 0; i < sätze; ++i) {
        SatzFelder satz = Standardsatz();
        satz.schritte = QString::number(1000 + i);
        satz.startfrequenz = QString::number(100 + 50 * (i % 5));
        satz.maximalfrequenz = QString::number(2000 + 100 * i);
        satz.satzdurchläufe = QString::number(1 + i % 255);
        satz.satzpause = QString::number(i % 3);
        satz.richtungsumkehr = i % 2 == 1;
        satz.rechts = i % 3 != 0;
        satz.rampe = 1 + i % 4;
        programm.sätze.append(satz);
    }
    return programm;
}

const QByteArray ZwölfZeilen = "\"1\"\r\n"
                               "\"10\"\r\n"
                               "\"10\"\r\n"
                               "1\r\n"
                               "\"5000\"\r\n"
                               "\"300\"\r\n"
                               "\"4000\"\r\n"
                               "\"1\"\r\n"
                               "\"10\"\r\n"
                               "0\r\n"
                               "\"1\"\r\n"
                               "\"1\"\r\n";

// The file's lines, each without its CR LF; the file must end in CR LF.
QList<QByteArray> Zeilen(const QByteArray &daten) {
    QList<QByteArray> zeilen = daten.split('\n');
    if (zeilen.isEmpty() || !zeilen.last().isEmpty())
        return {};
    zeilen.removeLast();
    for (QByteArray &zeile : zeilen) {
        if (!zeile.endsWith('\r'))
            return {};
        zeile.chop(1);
    }
    return zeilen;
}

QByteArray Verbinden(const QList<QByteArray> &zeilen) {
    QByteArray daten;
    for (const QByteArray &zeile : zeilen)
        daten.append(zeile).append("\r\n");
    return daten;
}

// The file as the main window would show it after loading.
ProgrammFelder AlsFelder(const GelesenesProgramm &gelesen) {
    ProgrammFelder felder;
    felder.programmdurchläufe = gelesen.programmdurchläufe;
    felder.programmpause = gelesen.programmpause;
    felder.befehlspause = gelesen.befehlspause;
    for (const GelesenerSatz &satz : gelesen.sätze) {
        SatzFelder f;
        f.schritte = QString::number(satz.schritte);
        f.startfrequenz = QString::number(satz.startfrequenz);
        f.maximalfrequenz = QString::number(satz.maximalfrequenz);
        f.satzdurchläufe = satz.satzdurchläufe;
        f.satzpause = QString::number(satz.satzpause);
        f.richtungsumkehr = satz.richtungsumkehr;
        f.rechts = satz.rechts();
        f.rampe = satz.rampe;
        felder.sätze.append(f);
    }
    return felder;
}

QByteArray Lesen(const QString &pfad) {
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly))
        return QByteArray("<nicht lesbar>");
    return datei.readAll();
}

bool Schreiben(const QString &pfad, const QByteArray &daten) {
    QFile datei(pfad);
    return datei.open(QIODevice::WriteOnly) && datei.write(daten) == daten.size();
}

} // namespace

class TestProgrammdatei : public QObject {
    Q_OBJECT

private slots:
    void zwoelfZeilenBytegenau();
    void nullSaetzeVierZeilen();
    void schreibenUndLesen_data();
    void schreibenUndLesen();
    void umkehrUndRichtung_data();
    void umkehrUndRichtung();
    void zahlenGequotetOderBlank();
    void satzdurchlaeufeBleibtText();
    void abgeschnittenAnJederStelle();
    void abgeschnitten_data();
    void abgeschnitten();
    void keineZahl_data();
    void keineZahl();
    void satzanzahl_data();
    void satzanzahl();
    void zeilenendenUndLeerzeichen();
    void nachDemLetztenSatzIgnoriert();
    void veraenderteDateien();

    void ungeeignetesProgramm_data();
    void ungeeignetesProgramm();
    void dateiSpeichernUndLaden();
    void speichernErsetztAlteDatei();
    void speichernOhneVerzeichnis();
    void speichernSchreibfehlerLaesstAlteDatei();
    void speichernSchreibgeschuetztesVerzeichnis();
    void speichernUngeeignetLaesstAlteDatei();
    void ladenFehler_data();
    void ladenFehler();
};

void TestProgrammdatei::zwoelfZeilenBytegenau() {
    ProgrammFelder programm;
    programm.programmdurchläufe = "1";
    programm.programmpause = "10";
    programm.befehlspause = "10";
    programm.sätze.append(Standardsatz());

    const QByteArray daten = ProgrammDateiDaten(programm);
    QCOMPARE(daten, ZwölfZeilen);
    QCOMPARE(Zeilen(daten).size(), 12);

    const Programmlesung lesung = ProgrammAusDaten(ZwölfZeilen);
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QVERIFY(lesung.fehler.isEmpty());
    const GelesenesProgramm &p = lesung.programm;
    QCOMPARE(p.programmdurchläufe, QStringLiteral("1"));
    QCOMPARE(p.programmpause, QStringLiteral("10"));
    QCOMPARE(p.befehlspause, QStringLiteral("10"));
    QCOMPARE(p.anzahlSätze(), qint16(1));
    const GelesenerSatz &satz = p.sätze.first();
    QCOMPARE(satz.schritte, 5000);
    QCOMPARE(satz.startfrequenz, 300);
    QCOMPARE(satz.maximalfrequenz, 4000);
    QCOMPARE(satz.satzdurchläufe, QStringLiteral("1"));
    QCOMPARE(satz.satzpause, 10);
    QCOMPARE(satz.richtungsumkehr, false);
    QCOMPARE(satz.richtung, QStringLiteral("1"));
    QVERIFY(satz.rechts());
    QCOMPARE(satz.rampe, 1);
}

void TestProgrammdatei::nullSaetzeVierZeilen() {
    const QByteArray daten = ProgrammDateiDaten(Programm(0));
    QCOMPARE(daten, QByteArray("\"1\"\r\n\"10\"\r\n\"10\"\r\n0\r\n"));
    QCOMPARE(Zeilen(daten).size(), 4);

    const Programmlesung lesung = ProgrammAusDaten(daten);
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QCOMPARE(lesung.programm.anzahlSätze(), qint16(0));
    QCOMPARE(lesung.programm.befehlspause, QStringLiteral("10"));
}

void TestProgrammdatei::schreibenUndLesen_data() {
    QTest::addColumn<ProgrammFelder>("programm");

    QTest::newRow("one default block") << Programm(1);
    QTest::newRow("no block") << Programm(0);
    QTest::newRow("three blocks") << Programm(3);
    QTest::newRow("twenty blocks") << Programm(20);
    QTest::newRow("thirty-one blocks") << Programm(31);

    ProgrammFelder rampen = Programm(0);
    for (int rampe = 1; rampe <= 4; ++rampe) {
        for (bool rechts : {false, true}) {
            for (bool umkehr : {false, true}) {
                SatzFelder satz = Standardsatz();
                satz.rampe = rampe;
                satz.rechts = rechts;
                satz.richtungsumkehr = umkehr;
                rampen.sätze.append(satz);
            }
        }
    }
    QTest::newRow("every ramp, direction and reversal") << rampen;

    ProgrammFelder grenzen = Programm(0);
    grenzen.programmdurchläufe = "255";
    grenzen.programmpause = "0";
    grenzen.befehlspause = "";
    SatzFelder groß = Standardsatz();
    groß.schritte = "16777215";
    groß.startfrequenz = "12000";
    groß.maximalfrequenz = "12800";
    groß.satzdurchläufe = "255";
    groß.satzpause = "0";
    grenzen.sätze.append(groß);
    SatzFelder klein = Standardsatz();
    klein.schritte = "0";
    klein.startfrequenz = "-1";
    klein.maximalfrequenz = "2147483647";
    klein.satzdurchläufe = "";
    klein.satzpause = "-2147483648";
    grenzen.sätze.append(klein);
    QTest::newRow("limits and empty texts") << grenzen;

    ProgrammFelder texte = Programm(1);
    texte.programmdurchläufe = "drei, vier";
    texte.programmpause = "  leading blanks kept";
    texte.befehlspause = QStringLiteral("Größe");
    texte.sätze[0].satzdurchläufe = "1,5";
    texte.sätze[0].richtungsumkehr = true;
    QTest::newRow("texts with comma, blanks, umlauts") << texte;
}

void TestProgrammdatei::schreibenUndLesen() {
    QFETCH(ProgrammFelder, programm);
    QVERIFY(ProgrammFelderUngeeignet(programm).isEmpty());

    const QByteArray daten = ProgrammDateiDaten(programm);
    QCOMPARE(Zeilen(daten).size(), 4 + 8 * programm.sätze.size());
    const Programmlesung lesung = ProgrammAusDaten(daten);
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QCOMPARE(lesung.programm.anzahlSätze(), qint16(programm.sätze.size()));
    QVERIFY(AlsFelder(lesung.programm) == programm);
    // Written again, the read program gives the same bytes.
    QCOMPARE(ProgrammDateiDaten(AlsFelder(lesung.programm)), daten);
}

void TestProgrammdatei::umkehrUndRichtung_data() {
    QTest::addColumn<QByteArray>("umkehrzeile");
    QTest::addColumn<QByteArray>("richtungszeile");
    QTest::addColumn<bool>("umkehr");
    QTest::addColumn<QString>("richtung");
    QTest::addColumn<bool>("rechts");

    QTest::newRow("0, left") << QByteArray("0") << QByteArray("\"0\"") << false << "0" << false;
    QTest::newRow("1, right") << QByteArray("1") << QByteArray("\"1\"") << true << "1" << true;
    QTest::newRow("any other number is reversal")
        << QByteArray("-1") << QByteArray("\"1\"") << true << "1" << true;
    QTest::newRow("reversal quoted")
        << QByteArray("\"1\"") << QByteArray("\"0\"") << true << "0" << false;
    QTest::newRow("0.0 is no reversal")
        << QByteArray("0.0") << QByteArray("\"1\"") << false << "1" << true;
    QTest::newRow("direction 2 reads as right")
        << QByteArray("0") << QByteArray("\"2\"") << false << "2" << true;
    QTest::newRow("direction bare 0")
        << QByteArray("0") << QByteArray("0") << false << "0" << false;
}

void TestProgrammdatei::umkehrUndRichtung() {
    QFETCH(QByteArray, umkehrzeile);
    QFETCH(QByteArray, richtungszeile);
    QFETCH(bool, umkehr);
    QFETCH(QString, richtung);
    QFETCH(bool, rechts);

    QList<QByteArray> zeilen = Zeilen(ZwölfZeilen);
    zeilen[9] = umkehrzeile;
    zeilen[10] = richtungszeile;
    const Programmlesung lesung = ProgrammAusDaten(Verbinden(zeilen));
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    const GelesenerSatz &satz = lesung.programm.sätze.first();
    QCOMPARE(satz.richtungsumkehr, umkehr);
    QCOMPARE(satz.richtung, richtung);
    QCOMPARE(satz.rechts(), rechts);
}

void TestProgrammdatei::zahlenGequotetOderBlank() {
    // The number lines may be quoted and the number fields bare; both read the same.
    const QByteArray daten = "\"1\"\r\n\"10\"\r\n\"10\"\r\n\"1\"\r\n"
                             "5000\r\n300\r\n4000\r\n1\r\n10\r\n\"0\"\r\n1\r\n1\r\n";
    const Programmlesung lesung = ProgrammAusDaten(daten);
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QCOMPARE(ProgrammDateiDaten(AlsFelder(lesung.programm)), ZwölfZeilen);
}

void TestProgrammdatei::satzdurchlaeufeBleibtText() {
    // Block repeats are taken as text; the panel and the transfer check them.
    QList<QByteArray> zeilen = Zeilen(ZwölfZeilen);
    zeilen[7] = "\"viele\"";
    const Programmlesung lesung = ProgrammAusDaten(Verbinden(zeilen));
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QCOMPARE(lesung.programm.sätze.first().satzdurchläufe, QStringLiteral("viele"));
}

void TestProgrammdatei::abgeschnittenAnJederStelle() {
    // Cut anywhere before the last value is complete, the file is refused as ending early;
    // only the final line end may be missing.
    const QByteArray daten = ProgrammDateiDaten(Programm(2));
    for (qsizetype länge = 0; länge < daten.size(); ++länge) {
        const Programmlesung lesung = ProgrammAusDaten(daten.left(länge));
        const bool vollständig = länge >= daten.size() - 2;
        QVERIFY2(lesung.ok == vollständig, qPrintable(QString::number(länge)));
        if (!vollständig) {
            QVERIFY2(lesung.fehler.startsWith(QStringLiteral("Die Programmdatei endet vorzeitig")),
                     qPrintable(lesung.fehler));
        }
    }
}

void TestProgrammdatei::abgeschnitten_data() {
    QTest::addColumn<int>("zeilen");
    QTest::addColumn<QString>("meldung");

    QTest::newRow("empty file")
        << 0 << "Die Programmdatei endet vorzeitig: Es fehlt der Wert \"Programmdurchläufe\".";
    QTest::newRow("three lines")
        << 3 << "Die Programmdatei endet vorzeitig: Es fehlt der Wert \"Anzahl der Sätze\".";
    QTest::newRow("no block") << 4
                              << "Die Programmdatei endet vorzeitig: Es fehlt der Wert "
                                 "\"Schritte\" von Satz 1.";
    QTest::newRow("block 1 without pause")
        << 8 << "Die Programmdatei endet vorzeitig: Es fehlt der Wert \"Satzpause\" von Satz 1.";
    QTest::newRow("block 2 without ramp")
        << 19 << "Die Programmdatei endet vorzeitig: Es fehlt der Wert \"Rampe\" von Satz 2.";
}

void TestProgrammdatei::abgeschnitten() {
    QFETCH(int, zeilen);
    QFETCH(QString, meldung);

    const QList<QByteArray> alle = Zeilen(ProgrammDateiDaten(Programm(2)));
    const Programmlesung lesung = ProgrammAusDaten(Verbinden(alle.mid(0, zeilen)));
    QVERIFY(!lesung.ok);
    QCOMPARE(lesung.fehler, meldung);
}

void TestProgrammdatei::keineZahl_data() {
    QTest::addColumn<int>("zeile");
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("meldung");

    // Lines of a two-block file: 4 is the block count, block 2 occupies 13 to 20.
    QTest::newRow("block count letters")
        << 4 << QByteArray("x")
        << "Die Programmdatei enthält beim Wert \"Anzahl der Sätze\" keine Zahl: \"x\".";
    QTest::newRow("steps letters")
        << 13 << QByteArray("\"5OOO\"")
        << "Die Programmdatei enthält beim Wert \"Schritte\" von Satz 2 keine Zahl: \"5OOO\".";
    QTest::newRow("start frequency empty")
        << 14 << QByteArray("\"\"")
        << "Die Programmdatei enthält beim Wert \"Startfrequenz\" von Satz 2 keine Zahl: \"\".";
    QTest::newRow("maximum frequency decimal comma")
        << 15 << QByteArray("\"4000,5\"")
        << "Die Programmdatei enthält beim Wert \"Maximalfrequenz\" von Satz 2 keine Zahl: "
           "\"4000,5\".";
    QTest::newRow("pause with unit")
        << 17 << QByteArray("\"10 s\"")
        << "Die Programmdatei enthält beim Wert \"Satzpause\" von Satz 2 keine Zahl: \"10 s\".";
    QTest::newRow("reversal word")
        << 18 << QByteArray("ja")
        << "Die Programmdatei enthält beim Wert \"Richtungsumkehr\" von Satz 2 keine Zahl: "
           "\"ja\".";
    QTest::newRow("direction word")
        << 19 << QByteArray("\"rechts\"")
        << "Die Programmdatei enthält beim Wert \"Richtung\" von Satz 2 keine Zahl: "
           "\"rechts\".";
    QTest::newRow("ramp word")
        << 20 << QByteArray("\"5ms\"")
        << "Die Programmdatei enthält beim Wert \"Rampe\" von Satz 2 keine Zahl: \"5ms\".";
    QTest::newRow("steps beyond 32 bits")
        << 13 << QByteArray("\"2147483648\"")
        << "Die Programmdatei enthält beim Wert \"Schritte\" von Satz 2 eine Zahl außerhalb des "
           "zulässigen Bereichs (-2147483648 bis 2147483647): \"2147483648\".";
    QTest::newRow("long text shortened")
        << 13 << QByteArray("\"\t") + QByteArray(100, 'a') + "\""
        << "Die Programmdatei enthält beim Wert \"Schritte\" von Satz 2 keine Zahl: \"?" +
               QString(39, 'a') + QChar(0x2026) + "\".";
}

void TestProgrammdatei::keineZahl() {
    QFETCH(int, zeile);
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, meldung);

    QList<QByteArray> zeilen = Zeilen(ProgrammDateiDaten(Programm(2)));
    zeilen[zeile - 1] = inhalt;
    const Programmlesung lesung = ProgrammAusDaten(Verbinden(zeilen));
    QVERIFY(!lesung.ok);
    QCOMPARE(lesung.fehler, meldung);
    QCOMPARE(lesung.programm.anzahlSätze(), qint16(0));
}

void TestProgrammdatei::satzanzahl_data() {
    QTest::addColumn<int>("sätze");
    QTest::addColumn<QByteArray>("anzahlzeile");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("meldung");

    QTest::newRow("21 blocks") << 21 << QByteArray("21") << true << QString();
    QTest::newRow("31 blocks") << 31 << QByteArray("31") << true << QString();
    QTest::newRow("32 blocks")
        << 32 << QByteArray("32") << false
        << "Die Programmdatei enthält 32 Sätze; es können höchstens 31 Sätze geladen werden.";
    QTest::newRow("count beyond 16 bits")
        << 1 << QByteArray("40000") << false
        << "Die Programmdatei enthält 40000 Sätze; es können höchstens 31 Sätze geladen werden.";
    QTest::newRow("count far beyond 64 bits")
        << 1 << QByteArray("99999999999999999999999") << false
        << "Die Programmdatei enthält 99999999999999999999999 Sätze; es können höchstens 31 "
           "Sätze geladen werden.";
    QTest::newRow("negative count")
        << 1 << QByteArray("-1") << false
        << "Die Programmdatei enthält eine negative Anzahl von Sätzen: \"-1\".";
    QTest::newRow("far negative count")
        << 1 << QByteArray("-99999999999999999999999") << false
        << "Die Programmdatei enthält eine negative Anzahl von Sätzen: "
           "\"-99999999999999999999999\".";
    QTest::newRow("count smaller than the blocks in the file")
        << 3 << QByteArray("2") << true << QString();
}

void TestProgrammdatei::satzanzahl() {
    QFETCH(int, sätze);
    QFETCH(QByteArray, anzahlzeile);
    QFETCH(bool, ok);
    QFETCH(QString, meldung);

    QList<QByteArray> zeilen = Zeilen(ProgrammDateiDaten(Programm(sätze)));
    zeilen[3] = anzahlzeile;
    const Programmlesung lesung = ProgrammAusDaten(Verbinden(zeilen));
    QCOMPARE(lesung.ok, ok);
    QCOMPARE(lesung.fehler, meldung);
    if (ok) {
        const int anzahl = anzahlzeile.toInt();
        QCOMPARE(int(lesung.programm.anzahlSätze()), anzahl);
        ProgrammFelder erwartet = Programm(sätze);
        erwartet.sätze = erwartet.sätze.mid(0, anzahl);
        QVERIFY(AlsFelder(lesung.programm) == erwartet);
    }
}

void TestProgrammdatei::zeilenendenUndLeerzeichen() {
    // Lone LF line ends and blanks before the values, as a hand-edited file might have.
    QByteArray daten = ZwölfZeilen;
    daten.replace("\r\n", "\n");
    daten.replace("\n", "\n  ");
    const Programmlesung lesung = ProgrammAusDaten(daten);
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QCOMPARE(ProgrammDateiDaten(AlsFelder(lesung.programm)), ZwölfZeilen);
}

void TestProgrammdatei::nachDemLetztenSatzIgnoriert() {
    const Programmlesung lesung = ProgrammAusDaten(ZwölfZeilen + "\r\n\"noch etwas\"\r\n");
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QCOMPARE(ProgrammDateiDaten(AlsFelder(lesung.programm)), ZwölfZeilen);
}

void TestProgrammdatei::veraenderteDateien() {
    // Damaged files: bytes changed, dropped or added at random. Whatever comes back must be
    // whole: either a message, or a program with as many blocks as its count says, at most 31.
    QRandomGenerator zufall(2024);
    const QByteArray vorlage = ProgrammDateiDaten(Programm(5));
    const QByteArray zeichen("\",\r\n 0123456789.-+x");
    for (int runde = 0; runde < 20000; ++runde) {
        QByteArray daten = vorlage;
        const int änderungen = 1 + int(zufall.bounded(6));
        for (int i = 0; i < änderungen && !daten.isEmpty(); ++i) {
            const int stelle = int(zufall.bounded(int(daten.size())));
            const char c = zufall.bounded(3) == 0 ? char(zufall.bounded(256))
                                                  : zeichen.at(zufall.bounded(int(zeichen.size())));
            switch (zufall.bounded(3)) {
            case 0:
                daten[stelle] = c;
                break;
            case 1:
                daten.remove(stelle, 1 + zufall.bounded(4));
                break;
            default:
                daten.insert(stelle, c);
                break;
            }
        }
        const Programmlesung lesung = ProgrammAusDaten(daten);
        if (lesung.ok) {
            QVERIFY(lesung.fehler.isEmpty());
            QVERIFY(lesung.programm.anzahlSätze() >= 0);
            QVERIFY(lesung.programm.anzahlSätze() <= SatzTabellengröße);
        } else {
            QVERIFY(!lesung.fehler.isEmpty());
            QVERIFY(lesung.programm.sätze.isEmpty());
        }
    }
}

void TestProgrammdatei::ungeeignetesProgramm_data() {
    QTest::addColumn<ProgrammFelder>("programm");
    QTest::addColumn<QString>("meldung");

    const QString zeichen =
        QStringLiteral(" enthält ein Anführungszeichen und kann so nicht gespeichert werden.");
    ProgrammFelder p = Programm(2);
    p.befehlspause = "1\"0";
    QTest::newRow("quote in a program value") << p << "Der Wert \"Befehlspause\"" + zeichen;
    p = Programm(2);
    p.sätze[1].satzdurchläufe = "\"7\"";
    QTest::newRow("quotes in a block text")
        << p << "Der Wert \"Satzdurchläufe\" von Satz 2" + zeichen;
    p = Programm(2);
    p.sätze[1].startfrequenz = "";
    QTest::newRow("empty start frequency")
        << p
        << "Der Wert \"Startfrequenz\" von Satz 2 ist keine ganze Zahl (\"\"); so gespeichert "
           "ließe sich das Programm nicht wieder öffnen.";
    p = Programm(2);
    p.sätze[0].schritte = "12a";
    QTest::newRow("letters in steps")
        << p
        << "Der Wert \"Schritte\" von Satz 1 ist keine ganze Zahl (\"12a\"); so gespeichert "
           "ließe sich das Programm nicht wieder öffnen.";
    QTest::newRow("32 blocks") << Programm(32)
                               << "Das Programm hat 32 Sätze; eine Programmdatei kann höchstens 31 "
                                  "Sätze aufnehmen.";
}

void TestProgrammdatei::ungeeignetesProgramm() {
    QFETCH(ProgrammFelder, programm);
    QFETCH(QString, meldung);

    QCOMPARE(ProgrammFelderUngeeignet(programm), meldung);
    // Written anyway, the file would not give the program back.
    const Programmlesung lesung = ProgrammAusDaten(ProgrammDateiDaten(programm));
    QVERIFY(!lesung.ok || !(AlsFelder(lesung.programm) == programm));
}

void TestProgrammdatei::dateiSpeichernUndLaden() {
    QTemporaryDir verzeichnis;
    QVERIFY(verzeichnis.isValid());
    const QString pfad = verzeichnis.filePath("Unbenannt.orp");
    const ProgrammFelder programm = Programm(7);

    QString fehler = "unverändert";
    QVERIFY(ProgrammDateiSpeichern(pfad, programm, &fehler));
    QCOMPARE(fehler, QStringLiteral("unverändert"));
    QCOMPARE(Lesen(pfad), ProgrammDateiDaten(programm));
    QVERIFY(ProgrammDateiSpeichern(pfad, programm)); // without a message pointer

    const Programmlesung lesung = ProgrammAusDatei(pfad);
    QVERIFY2(lesung.ok, qPrintable(lesung.fehler));
    QVERIFY(AlsFelder(lesung.programm) == programm);
    // Nothing but the file itself is left in the directory.
    QCOMPARE(QDir(verzeichnis.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Unbenannt.orp"});
}

void TestProgrammdatei::speichernErsetztAlteDatei() {
    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("alt.orp");
    QVERIFY(Schreiben(pfad, ProgrammDateiDaten(Programm(20)) + QByteArray(5000, 'x')));
    QVERIFY(ProgrammDateiSpeichern(pfad, Programm(1)));
    QCOMPARE(Lesen(pfad), ProgrammDateiDaten(Programm(1)));
}

void TestProgrammdatei::speichernOhneVerzeichnis() {
    // The parent of the path is a regular file: nobody, not even root, can create the file.
    QTemporaryDir verzeichnis;
    const QString datei = verzeichnis.filePath("eine_datei");
    QVERIFY(Schreiben(datei, "kein Verzeichnis"));
    const QString pfad = datei + "/programm.orp";

    QString fehler;
    QVERIFY(!ProgrammDateiSpeichern(pfad, Programm(1), &fehler));
    QVERIFY2(fehler.startsWith("Die Datei \"" + QDir::toNativeSeparators(pfad) +
                               "\" konnte nicht gespeichert werden.\n"),
             qPrintable(fehler));
    QVERIFY2(fehler.contains("Die Datei kann dort nicht angelegt werden"), qPrintable(fehler));
    QCOMPARE(Lesen(datei), QByteArray("kein Verzeichnis"));
}

void TestProgrammdatei::speichernSchreibfehlerLaesstAlteDatei() {
    // A write that fails part-way (the file size limit applies to root as well, like a full
    // disk): the old file must stay exactly as it was, and the failure must be reported.
    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("programm.orp");
    const QByteArray alt = ProgrammDateiDaten(Programm(2));
    QVERIFY(Schreiben(pfad, alt));

    rlimit vorher{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &vorher), 0);
    const auto alterHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit eng = vorher;
    eng.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &eng), 0);
    QString fehler;
    const bool gespeichert = ProgrammDateiSpeichern(pfad, Programm(31), &fehler);
    setrlimit(RLIMIT_FSIZE, &vorher);
    std::signal(SIGXFSZ, alterHandler);

    QVERIFY(!gespeichert);
    QVERIFY2(fehler.startsWith("Die Datei \"" + QDir::toNativeSeparators(pfad) +
                               "\" konnte nicht gespeichert werden.\n"
                               "Beim Schreiben ist ein Fehler aufgetreten"),
             qPrintable(fehler));
    QCOMPARE(Lesen(pfad), alt);
    QCOMPARE(QDir(verzeichnis.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"programm.orp"});
}

void TestProgrammdatei::speichernSchreibgeschuetztesVerzeichnis() {
    if (geteuid() == 0)
        QSKIP("root writes into read-only directories; the write-failure test covers this case");
    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("programm.orp");
    const QByteArray alt = ProgrammDateiDaten(Programm(2));
    QVERIFY(Schreiben(pfad, alt));
    QVERIFY(QFile::setPermissions(verzeichnis.path(), QFile::ReadOwner | QFile::ExeOwner));

    QString fehler;
    const bool gespeichert = ProgrammDateiSpeichern(pfad, Programm(3), &fehler);
    QFile::setPermissions(verzeichnis.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!gespeichert);
    QVERIFY2(fehler.contains(QDir::toNativeSeparators(pfad)), qPrintable(fehler));
    QCOMPARE(Lesen(pfad), alt);
}

void TestProgrammdatei::speichernUngeeignetLaesstAlteDatei() {
    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("programm.orp");
    const QByteArray alt = ProgrammDateiDaten(Programm(2));
    QVERIFY(Schreiben(pfad, alt));

    ProgrammFelder programm = Programm(2);
    programm.sätze[1].maximalfrequenz = "";
    QString fehler;
    QVERIFY(!ProgrammDateiSpeichern(pfad, programm, &fehler));
    QCOMPARE(fehler, "Die Datei \"" + QDir::toNativeSeparators(pfad) +
                         "\" konnte nicht gespeichert werden.\n" +
                         ProgrammFelderUngeeignet(programm));
    QCOMPARE(Lesen(pfad), alt);
}

void TestProgrammdatei::ladenFehler_data() {
    QTest::addColumn<QString>("art");
    QTest::addColumn<QString>("meldungsende");

    QTest::newRow("missing") << "fehlt"
                             << "kann nicht geöffnet werden.\nSie ist nicht vorhanden.";
    QTest::newRow("directory")
        << "verzeichnis"
        << "kann nicht geöffnet werden.\nUnter diesem Namen liegt ein Verzeichnis.";
    QTest::newRow("too large") << "groß"
                               << "kann nicht geöffnet werden.\nDie Datei ist zu groß.";
    QTest::newRow("damaged")
        << "beschädigt"
        << "kann nicht geladen werden.\nDie Programmdatei endet vorzeitig: Es fehlt der Wert "
           "\"Rampe\" von Satz 1.";
}

void TestProgrammdatei::ladenFehler() {
    QFETCH(QString, art);
    QFETCH(QString, meldungsende);

    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("programm.orp");
    if (art == "verzeichnis")
        QVERIFY(QDir().mkdir(pfad));
    else if (art == "groß")
        QVERIFY(Schreiben(pfad, ZwölfZeilen + QByteArray(1024 * 1024, ' ')));
    else if (art == "beschädigt")
        QVERIFY(Schreiben(pfad, ZwölfZeilen.left(ZwölfZeilen.size() - 5)));

    const Programmlesung lesung = ProgrammAusDatei(pfad);
    QVERIFY(!lesung.ok);
    QCOMPARE(lesung.fehler, "Die Datei \"" + QDir::toNativeSeparators(pfad) + "\" " + meldungsende);
}

QTEST_GUILESS_MAIN(TestProgrammdatei)
#include "tst_programmdatei.moc"
