// A short soak: twenty transfers of a 20-block program from the real main window, each decoded
// on the pseudo-terminal and identical to the program sent, and no file descriptor left behind
// by them. The long run with its memory figures is bench/bench_soak.
#include "Dauerlauf.h"

#include <QTest>

class TestDauerlauf : public QObject {
    Q_OBJECT
private slots:
    void zwanzigUebertragungen();
};

void TestDauerlauf::zwanzigUebertragungen() {
    Dauerlauf lauf;
    QVERIFY2(lauf.bereit(), qPrintable(lauf.fehler()));
    QVERIFY2(lauf.uebertragen(), qPrintable(lauf.fehler()));
    const int deskriptoren = Dauerlauf::offeneDeskriptoren();
    const qint64 speicher = Dauerlauf::residentKiB();
    for (int i = 1; i < 20; ++i)
        QVERIFY2(lauf.uebertragen(), qPrintable(lauf.fehler()));
    QCOMPARE(Dauerlauf::offeneDeskriptoren(), deskriptoren);
    qInfo("resident memory after the first transfer %lld KiB, after the twentieth %lld KiB",
          static_cast<long long>(speicher), static_cast<long long>(Dauerlauf::residentKiB()));
}

QTEST_MAIN(TestDauerlauf)
#include "tst_dauerlauf.moc"
