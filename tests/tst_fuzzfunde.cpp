// Every file of the fuzz targets' seed corpus (fuzz/korpus, which also keeps the inputs that
// once broke an invariant) run through its target's check.
#include "../fuzz/Invarianten.h"

#include <QDir>
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
    const QDir korpus(QStringLiteral(ZELKOR_KORPUS));
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
