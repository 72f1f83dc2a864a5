// Inputs the fuzz targets (fuzz/) once found breaking an invariant, kept as rows of the normal
// tests with the same checks, and every file of the seed corpus run through its check.
#include "../fuzz/Invarianten.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTest>

#include <functional>
#include <map>

namespace {

using Pruefung = std::function<QString(const QByteArray &)>;

const std::map<QString, Pruefung> &Pruefungen() {
    static const std::map<QString, Pruefung> pruefungen{
        {QStringLiteral("programmdatei"), Invarianten::Programmdatei},
        {QStringLiteral("portdatei"), Invarianten::Portdatei},
        {QStringLiteral("manuelldatei"), Invarianten::Manuelldatei},
        {QStringLiteral("zelkordatei"), Invarianten::Zelkordatei},
        {QStringLiteral("zahlentest"), Invarianten::Zahlentest},
        {QStringLiteral("dekodierer"), Invarianten::Dekodierer}};
    return pruefungen;
}

QString Korpusverzeichnis() {
    return QFileInfo(QStringLiteral(__FILE__))
        .absoluteDir()
        .filePath(QStringLiteral("../fuzz/korpus"));
}

} // namespace

class TestFuzzfunde : public QObject {
    Q_OBJECT
private slots:
    void funde_data();
    void funde();
    void saatkorpus_data();
    void saatkorpus();
};

void TestFuzzfunde::funde_data() {
    QTest::addColumn<QString>("ziel");
    QTest::addColumn<QByteArray>("eingabe");
    // A byte order mark at the start of a field was dropped when the field was read, so the
    // second of two fields read back shorter than it was written.
    QTest::newRow("manuelldatei: Feld beginnt mit Byte-Order-Mark")
        << QStringLiteral("manuelldatei") << QByteArray(",\xEF\xBB\xBF\xEF\xBB\xBF");
    QTest::newRow("programmdatei: Text beginnt mit Byte-Order-Mark")
        << QStringLiteral("programmdatei")
        << QByteArray("\"\xEF\xBB\xBF\xEF\xBB\xBF"
                      "1\"\r\n\"10\"\r\n\"10\"\r\n0\r\n");
}

void TestFuzzfunde::funde() {
    QFETCH(QString, ziel);
    QFETCH(QByteArray, eingabe);
    const QString verletzt = Pruefungen().at(ziel)(eingabe);
    QVERIFY2(verletzt.isEmpty(), qPrintable(verletzt));
}

void TestFuzzfunde::saatkorpus_data() {
    QTest::addColumn<QString>("ziel");
    QTest::addColumn<QString>("datei");
    const QDir korpus(Korpusverzeichnis());
    QVERIFY2(korpus.exists(), qPrintable(korpus.path()));
    int anzahl = 0;
    for (const auto &[ziel, pruefung] : Pruefungen()) {
        const QDir ordner(korpus.filePath(ziel));
        for (const QString &name : ordner.entryList(QDir::Files, QDir::Name)) {
            QTest::newRow(qPrintable(ziel + QLatin1Char('/') + name))
                << ziel << ordner.filePath(name);
            ++anzahl;
        }
    }
    QVERIFY(anzahl > 0);
}

void TestFuzzfunde::saatkorpus() {
    QFETCH(QString, ziel);
    QFETCH(QString, datei);
    QFile f(datei);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString verletzt = Pruefungen().at(ziel)(f.readAll());
    QVERIFY2(verletzt.isEmpty(), qPrintable(verletzt));
}

QTEST_MAIN(TestFuzzfunde)
#include "tst_fuzzfunde.moc"
