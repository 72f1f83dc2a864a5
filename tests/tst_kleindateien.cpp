#include "files/Kleindateien.h"
#include "files/Programmverzeichnis.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Dateizugriff;

namespace {

// Marks a row whose file does not exist at all.
const QByteArray KeineDatei = "<keine Datei>";

bool Schreiben(const QString &pfad, const QByteArray &daten) {
    QFile datei(pfad);
    return datei.open(QIODevice::WriteOnly) && datei.write(daten) == daten.size();
}

QByteArray Lesen(const QString &pfad) {
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly))
        return QByteArray("<nicht lesbar>");
    return datei.readAll();
}

// A path for the row's file in the directory: written with the row's bytes, or left absent.
QString Anlegen(const QTemporaryDir &verzeichnis, const QString &name, const QByteArray &daten) {
    const QString pfad = verzeichnis.filePath(name);
    if (daten != KeineDatei && !Schreiben(pfad, daten))
        return QString();
    return pfad;
}

// A path whose parent is a regular file, so that creating it fails even for root.
QString Unerreichbar(const QTemporaryDir &verzeichnis, const QString &name) {
    const QString datei = verzeichnis.filePath("kein_verzeichnis");
    Schreiben(datei, "x");
    return datei + "/" + name;
}

} // namespace

class TestKleindateien : public QObject {
    Q_OBJECT

private slots:
    void dateipfade();

    void port_data();
    void port();
    void portUnlesbar();
    void portSchreiben();

    void manuell_data();
    void manuell();
    void manuellSchreiben();

    void zelkor_data();
    void zelkor();
    void zelkorSchreiben_data();
    void zelkorSchreiben();

    void schreibfehler();
    void anfuehrungszeichenAbgelehnt();
};

void TestKleindateien::dateipfade() {
    QTemporaryDir verzeichnis;
    setProgrammverzeichnis(verzeichnis.path());
    QCOMPARE(PortDateipfad(), verzeichnis.filePath("port.txt"));
    QCOMPARE(ManuellDateipfad(), verzeichnis.filePath("manuell.txt"));
    QCOMPARE(ZelkorDateipfad(), verzeichnis.filePath("zelkor.txt"));
    setProgrammverzeichnis(QString());
}

void TestKleindateien::port_data() {
    QTest::addColumn<QByteArray>("daten");
    QTest::addColumn<qint16>("nummer");
    QTest::addColumn<QString>("feld");

    QTest::newRow("missing") << KeineDatei << qint16(1) << "1";
    QTest::newRow("3") << QByteArray("\"3\"\r\n") << qint16(3) << "3";
    QTest::newRow("bare 12 without line end") << QByteArray("12") << qint16(12) << "12";
    QTest::newRow("blanks kept in the field") << QByteArray("\" 4 \"\r\n") << qint16(4) << " 4 ";
    QTest::newRow("largest 16-bit") << QByteArray("\"32767\"\r\n") << qint16(32767) << "32767";
    QTest::newRow("garbage") << QByteArray("\"COM3\"\r\n") << qint16(1) << "";
    QTest::newRow("not 16-bit") << QByteArray("\"70000\"\r\n") << qint16(1) << "";
    QTest::newRow("empty file") << QByteArray() << qint16(1) << "";
    QTest::newRow("empty field") << QByteArray("\"\"\r\n") << qint16(1) << "";
    QTest::newRow("unclosed quote") << QByteArray("\"3") << qint16(1) << "";
    QTest::newRow("binary") << QByteArray("\x00\xff\x01", 3) << qint16(1) << "";
}

void TestKleindateien::port() {
    QFETCH(QByteArray, daten);
    QFETCH(qint16, nummer);
    QFETCH(QString, feld);

    QTemporaryDir verzeichnis;
    const QString pfad = Anlegen(verzeichnis, "port.txt", daten);
    QVERIFY(!pfad.isEmpty());
    QCOMPARE(PortnummerAusDatei(pfad), nummer);
    QCOMPARE(PortfeldAusDatei(pfad), feld);
    if (daten != KeineDatei) {
        QCOMPARE(PortnummerAusDaten(daten), nummer);
        QCOMPARE(PortfeldAusDaten(daten), feld);
    }
}

void TestKleindateien::portUnlesbar() {
    // A port file that exists but cannot be read: port 1 at start-up, an empty dialog field.
    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("port.txt");
    QVERIFY(QDir().mkdir(pfad));
    QCOMPARE(PortnummerAusDatei(pfad), qint16(1));
    QCOMPARE(PortfeldAusDatei(pfad), QString());
}

void TestKleindateien::portSchreiben() {
    QCOMPARE(PortDateiDaten("2"), QByteArray("\"2\"\r\n"));

    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("port.txt");
    QVERIFY(Schreiben(pfad, "\"7\"\r\nein langer alter Inhalt\r\n"));
    QString fehler;
    QVERIFY(PortDateiSpeichern(pfad, "2", &fehler));
    QVERIFY(fehler.isEmpty());
    QCOMPARE(Lesen(pfad), QByteArray("\"2\"\r\n"));
    QCOMPARE(PortnummerAusDatei(pfad), qint16(2));
    QCOMPARE(PortfeldAusDatei(pfad), QStringLiteral("2"));
}

void TestKleindateien::manuell_data() {
    QTest::addColumn<QByteArray>("daten");
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QString>("schritte");

    QTest::newRow("missing") << KeineDatei << "1000"
                             << "1000";
    QTest::newRow("empty file") << QByteArray() << "1000"
                                << "1000";
    QTest::newRow("one field") << QByteArray("\"2500\"\r\n") << "1000"
                               << "1000";
    QTest::newRow("two fields") << QByteArray("\"2500\"\r\n\"40000\"\r\n") << "2500"
                                << "40000";
    QTest::newRow("texts as written") << QByteArray("\"abc\"\r\n\" 12 \"\r\n") << "abc"
                                      << " 12 ";
    QTest::newRow("empty texts") << QByteArray("\"\"\r\n\"\"\r\n") << ""
                                 << "";
    QTest::newRow("bare, one line") << QByteArray("300,5") << "300"
                                    << "5";
    QTest::newRow("more lines than needed") << QByteArray("\"1\"\r\n\"2\"\r\n\"3\"\r\n") << "1"
                                            << "2";
    QTest::newRow("second field unclosed") << QByteArray("\"2500\"\r\n\"400") << "1000"
                                           << "1000";
}

void TestKleindateien::manuell() {
    QFETCH(QByteArray, daten);
    QFETCH(QString, frequenz);
    QFETCH(QString, schritte);

    QTemporaryDir verzeichnis;
    const QString pfad = Anlegen(verzeichnis, "manuell.txt", daten);
    QVERIFY(!pfad.isEmpty());
    const ManuellWerte werte = ManuellWerteAusDatei(pfad);
    QCOMPARE(werte.frequenz, frequenz);
    QCOMPARE(werte.schritte, schritte);
    if (daten != KeineDatei)
        QVERIFY(ManuellWerteAusDaten(daten) == werte);
}

void TestKleindateien::manuellSchreiben() {
    QCOMPARE(ManuellDateiDaten(ManuellWerte()), QByteArray("\"1000\"\r\n\"1000\"\r\n"));

    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("manuell.txt");
    ManuellWerte werte;
    werte.frequenz = "12000";
    werte.schritte = "16777215";
    QVERIFY(ManuellDateiSpeichern(pfad, werte));
    QCOMPARE(Lesen(pfad), QByteArray("\"12000\"\r\n\"16777215\"\r\n"));
    QVERIFY(ManuellWerteAusDatei(pfad) == werte);
}

void TestKleindateien::zelkor_data() {
    QTest::addColumn<QByteArray>("daten");
    QTest::addColumn<QString>("schrittmodus");
    QTest::addColumn<QString>("phasenstrom");
    QTest::addColumn<bool>("absenkungEin");

    QTest::newRow("missing") << KeineDatei << "Halbschritt"
                             << "2,5 A" << true;
    QTest::newRow("empty file") << QByteArray() << "Halbschritt"
                                << "2,5 A" << true;
    QTest::newRow("as written") << QByteArray("\"Zehntelschritt\"\r\n\"6,0 A\"\r\n\"0\"\r\n")
                                << "Zehntelschritt"
                                << "6,0 A" << false;
    QTest::newRow("2,5 A read back intact")
        << QByteArray("\"Vollschritt\"\r\n\"2,5 A\"\r\n\"1\"\r\n") << "Vollschritt"
        << "2,5 A" << true;
    QTest::newRow("third value 0 is off")
        << QByteArray("\"Halbschritt\"\r\n\"2,5 A\"\r\n\"0\"\r\n") << "Halbschritt"
        << "2,5 A" << false;
    QTest::newRow("third value bare 1 is on")
        << QByteArray("\"Achtelschritt\"\r\n\"4,0 A\"\r\n1\r\n") << "Achtelschritt"
        << "4,0 A" << true;
    QTest::newRow("third value 1.0 is on")
        << QByteArray("\"Achtelschritt\"\r\n\"4,0 A\"\r\n1.0\r\n") << "Achtelschritt"
        << "4,0 A" << true;
    QTest::newRow("third value 2 is off")
        << QByteArray("\"Achtelschritt\"\r\n\"4,0 A\"\r\n\"2\"\r\n") << "Achtelschritt"
        << "4,0 A" << false;
    QTest::newRow("third value not a number: default on")
        << QByteArray("\"Achtelschritt\"\r\n\"4,0 A\"\r\n\"Aus\"\r\n") << "Achtelschritt"
        << "4,0 A" << true;
    QTest::newRow("unknown mode: default mode only")
        << QByteArray("\"Sechstelschritt\"\r\n\"5,5 A\"\r\n\"0\"\r\n") << "Halbschritt"
        << "5,5 A" << false;
    QTest::newRow("unknown current: default current only")
        << QByteArray("\"Viertelschritt\"\r\n\"7,0 A\"\r\n\"0\"\r\n") << "Viertelschritt"
        << "2,5 A" << false;
    QTest::newRow("list entries compared exactly")
        << QByteArray("\"halbschritt \"\r\n\" 3,0 A\"\r\n\"0\"\r\n") << "Halbschritt"
        << "2,5 A" << false;
    // Without quotes "3,0 A" falls apart into "3" and "0 A": neither the current nor the third
    // value is usable.
    QTest::newRow("unquoted current split at its comma")
        << QByteArray("Vollschritt\r\n3,0 A\r\n0\r\n") << "Vollschritt"
        << "2,5 A" << true;
    QTest::newRow("two values: reduction default")
        << QByteArray("\"Vollschritt\"\r\n\"3,0 A\"\r\n") << "Vollschritt"
        << "3,0 A" << true;
    QTest::newRow("one value") << QByteArray("\"Vollschritt\"\r\n") << "Vollschritt"
                               << "2,5 A" << true;
    QTest::newRow("umlaut entry in UTF-8")
        << QByteArray("\"F\xC3\xBCnftelschritt\"\r\n\"3,5 A\"\r\n\"1\"\r\n") << "Fünftelschritt"
        << "3,5 A" << true;
    QTest::newRow("umlaut entry in Latin-1")
        << QByteArray("\"F\xFCnftelschritt\"\r\n\"3,5 A\"\r\n\"1\"\r\n") << "Fünftelschritt"
        << "3,5 A" << true;
}

void TestKleindateien::zelkor() {
    QFETCH(QByteArray, daten);
    QFETCH(QString, schrittmodus);
    QFETCH(QString, phasenstrom);
    QFETCH(bool, absenkungEin);

    QTemporaryDir verzeichnis;
    const QString pfad = Anlegen(verzeichnis, "zelkor.txt", daten);
    QVERIFY(!pfad.isEmpty());
    const ZelkorWerte werte = ZelkorWerteAusDatei(pfad);
    QCOMPARE(werte.schrittmodus, schrittmodus);
    QCOMPARE(werte.phasenstrom, phasenstrom);
    QCOMPARE(werte.absenkungEin, absenkungEin);
    if (daten != KeineDatei)
        QVERIFY(ZelkorWerteAusDaten(daten) == werte);
}

void TestKleindateien::zelkorSchreiben_data() {
    QTest::addColumn<QString>("schrittmodus");
    QTest::addColumn<QString>("phasenstrom");
    QTest::addColumn<bool>("absenkungEin");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("defaults") << "Halbschritt"
                              << "2,5 A" << true
                              << QByteArray("\"Halbschritt\"\r\n\"2,5 A\"\r\n\"1\"\r\n");
    QTest::newRow("tenth, 6 A, off")
        << "Zehntelschritt"
        << "6,0 A" << false << QByteArray("\"Zehntelschritt\"\r\n\"6,0 A\"\r\n\"0\"\r\n");
    QTest::newRow("fifth") << "Fünftelschritt"
                           << "4,5 A" << true
                           << QByteArray("\"F\xC3\xBCnftelschritt\"\r\n\"4,5 A\"\r\n\"1\"\r\n");
}

void TestKleindateien::zelkorSchreiben() {
    QFETCH(QString, schrittmodus);
    QFETCH(QString, phasenstrom);
    QFETCH(bool, absenkungEin);
    QFETCH(QByteArray, bytes);

    ZelkorWerte werte;
    werte.schrittmodus = schrittmodus;
    werte.phasenstrom = phasenstrom;
    werte.absenkungEin = absenkungEin;
    QCOMPARE(ZelkorDateiDaten(werte), bytes);

    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("zelkor.txt");
    QVERIFY(ZelkorDateiSpeichern(pfad, werte));
    QCOMPARE(Lesen(pfad), bytes);
    QVERIFY(ZelkorWerteAusDatei(pfad) == werte);
}

void TestKleindateien::schreibfehler() {
    QTemporaryDir verzeichnis;
    const QString port = Unerreichbar(verzeichnis, "port.txt");
    const QString manuell = Unerreichbar(verzeichnis, "manuell.txt");
    const QString zelkor = Unerreichbar(verzeichnis, "zelkor.txt");
    QString fehler;

    QVERIFY(!PortDateiSpeichern(port, "2", &fehler));
    QVERIFY2(fehler.startsWith("Die Datei \"" + QDir::toNativeSeparators(port) +
                               "\" konnte nicht gespeichert werden."),
             qPrintable(fehler));
    fehler.clear();
    QVERIFY(!ManuellDateiSpeichern(manuell, ManuellWerte(), &fehler));
    QVERIFY2(fehler.contains(QDir::toNativeSeparators(manuell)), qPrintable(fehler));
    fehler.clear();
    QVERIFY(!ZelkorDateiSpeichern(zelkor, ZelkorWerte(), &fehler));
    QVERIFY2(fehler.contains(QDir::toNativeSeparators(zelkor)), qPrintable(fehler));
    QVERIFY(!ZelkorDateiSpeichern(zelkor, ZelkorWerte())); // without a message pointer
}

void TestKleindateien::anfuehrungszeichenAbgelehnt() {
    // A quote in a value would end the field early when read back; the old file stays.
    QTemporaryDir verzeichnis;
    const QString pfad = verzeichnis.filePath("manuell.txt");
    QVERIFY(Schreiben(pfad, "\"300\"\r\n\"5\"\r\n"));
    ManuellWerte werte;
    werte.schritte = "1\"0";
    QString fehler;
    QVERIFY(!ManuellDateiSpeichern(pfad, werte, &fehler));
    QCOMPARE(fehler, "Die Datei \"" + QDir::toNativeSeparators(pfad) +
                         "\" konnte nicht gespeichert werden.\nDer Wert \"1\"0\" enthält ein "
                         "Anführungszeichen.");
    QCOMPARE(Lesen(pfad), QByteArray("\"300\"\r\n\"5\"\r\n"));

    const QString port = verzeichnis.filePath("port.txt");
    QVERIFY(!PortDateiSpeichern(port, "\"", &fehler));
    QVERIFY(!QFile::exists(port));
}

QTEST_GUILESS_MAIN(TestKleindateien)
#include "tst_kleindateien.moc"
