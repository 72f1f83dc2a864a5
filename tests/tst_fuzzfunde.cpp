// Inputs the fuzz targets (fuzz/) once found breaking an invariant, kept as rows with the same
// checks, and every file of the seed corpus run through its check.
#include "../fuzz/Invarianten.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <functional>
#include <map>

class TestFuzzfunde : public QObject {
    Q_OBJECT
private slots:
    void funde_data();
    void funde();
};

void TestFuzzfunde::funde_data() {
    QTest::addColumn<QString>("ziel");
    QTest::addColumn<QByteArray>("eingabe");
    // A byte order mark at the start of a field was dropped when the field was read, so the
    // second of two fields read back shorter than it was written.
    QTest::newRow("manuelldatei: Feld beginnt mit Byte-Order-Mark")
        << "manuelldatei" << QByteArray(",\xEF\xBB\xBF\xEF\xBB\xBF");
    QTest::newRow("programmdatei: Text beginnt mit Byte-Order-Mark")
        << "programmdatei"
        << QByteArray("\"\xEF\xBB\xBF\xEF\xBB\xBF"
                      "1\"\r\n\"10\"\r\n\"10\"\r\n0\r\n");
    const QDir korpus(QFileInfo(__FILE__).absoluteDir().filePath("../fuzz/korpus"));
    int anzahl = 0;
    for (const QString &ziel : korpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir ordner(korpus.filePath(ziel));
        for (const QString &name : ordner.entryList(QDir::Files, QDir::Name)) {
            QFile datei(ordner.filePath(name));
            QVERIFY(datei.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable(ziel + "/" + name)) << ziel << datei.readAll();
            ++anzahl;
        }
    }
    QVERIFY2(anzahl > 0, qPrintable(korpus.path()));
}

void TestFuzzfunde::funde() {
    QFETCH(QString, ziel);
    QFETCH(QByteArray, eingabe);
    static const std::map<QString, std::function<QString(const QByteArray &)>> pruefungen{
        {"programmdatei", Invarianten::Programmdatei}, {"portdatei", Invarianten::Portdatei},
        {"manuelldatei", Invarianten::Manuelldatei},   {"zelkordatei", Invarianten::Zelkordatei},
        {"zahlentest", Invarianten::Zahlentest},       {"dekodierer", Invarianten::Dekodierer}};
    QVERIFY2(pruefungen.count(ziel), qPrintable(ziel));
    const QString verletzt = pruefungen.at(ziel)(eingabe);
    QVERIFY2(verletzt.isEmpty(), qPrintable(verletzt));
}

QTEST_MAIN(TestFuzzfunde)
#include "tst_fuzzfunde.moc"
