// Where the small files and port links live: beside the program when they lie there or its
// folder can be written, otherwise in the user's configuration folder.
#include "files/Programmverzeichnis.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestDateiort : public QObject {
    Q_OBJECT
private slots:
    void dateiort_data();
    void dateiort();
};

void TestDateiort::dateiort_data() {
    QTest::addColumn<QString>("beimProgramm"); // "", "Datei" or "Verknüpfung ins Leere"
    QTest::addColumn<bool>("beschreibbar");
    QTest::addColumn<bool>("imBenutzerordner");
    QTest::newRow("beschreibbar, ohne Datei") << "" << true << false;
    QTest::newRow("schreibgeschützt, ohne Datei") << "" << false << true;
    QTest::newRow("schreibgeschützt, Datei beim Programm") << "Datei" << false << false;
    QTest::newRow("schreibgeschützt, verwaiste Verknüpfung") << "Verknüpfung" << false << false;
}

void TestDateiort::dateiort() {
    QFETCH(QString, beimProgramm);
    QFETCH(bool, beschreibbar);
    QFETCH(bool, imBenutzerordner);
    QTemporaryDir programm, benutzer;
    const QString name = QStringLiteral("COM1");
    const QString dort = QDir(programm.path()).filePath(name);
    if (beimProgramm == QStringLiteral("Datei")) {
        QFile f(dort);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (!beimProgramm.isEmpty()) {
        QVERIFY(QFile::link(QStringLiteral("/dev/ttyUSB9"), dort));
    }
    const QString ort = Dateiort(name, programm.path(), beschreibbar, benutzer.path());
    QCOMPARE(ort, imBenutzerordner ? QDir(benutzer.path()).filePath(name) : dort);
}

QTEST_MAIN(TestDateiort)
#include "tst_dateiort.moc"
