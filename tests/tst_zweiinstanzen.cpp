// A second copy of the program started by mistake while the first holds the port in manual
// travel: the second cannot open the port, says so in German and sends nothing, and the line
// carries only the first one's commands, each whole and in order.
//
// The second copy is this test program started again as its own process with the argument
// --zweite-instanz <program directory>; it drives its real main window as an operator would
// and prints what it was told, one line per finding.
#include "Mitschnitt.h"
#include "Nachrichten.h"
#include "PtyPaar.h"
#include "Testdaten.h"

#include "app/PCSteuerung.h"
#include "dialogs/ManuelleFahrt.h"
#include "dialogs/RSAdresse.h"
#include "files/Programmverzeichnis.h"
#include "link/Dekodierer.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Globale.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

const char *const ZweiteInstanz = "--zweite-instanz";

// The second copy: starts as the program does, tries the port dialog, a transfer and manual
// travel, and prints what it was told and how many bytes it handed to a device, one line each.
int zweiteInstanzLaufen(int argc, char **argv) {
    QApplication app(argc, argv);
    setProgrammverzeichnis(QString::fromLocal8Bit(argv[2]));
    Nachrichtenfaenger nachrichten;
    StartAbgeschlossen = false;
    auto fenster = std::make_unique<PCSteuerung>();
    int gesendet = 0;
    fenster->MSComm1->setMithoerer([&gesendet](quint8, double) { ++gesendet; });
    fenster->show();
    fenster->Laden();
    QStringList befund;
    // The start-up probe failed: the port dialog stands in front of the disabled window.
    auto *dialog = qobject_cast<RSAdresse *>(fenster->offenerDialog());
    befund << QStringLiteral("gesperrt=%1 portdialog=%2").arg(!fenster->isEnabled()).arg(!!dialog);
    if (dialog) {
        QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
        befund << dialog->letzterGrund() << dialog->LabelGeraet->text();
        QTest::mouseClick(dialog->CommandAbbrechen, Qt::LeftButton);
        QTest::qWait(20);
    }
    QTest::mouseClick(fenster->CommandProgrammieren, Qt::LeftButton);
    QTest::qWait(20);
    befund << nachrichten.letzterText();
    fenster->Manuell->trigger();
    QPointer<QWidget> manuell = fenster->offenerDialog();
    QTest::qWait(20);
    befund << (nachrichten.anzahl() == 2 ? nachrichten.letzterText() : QString());
    if (auto *m = qobject_cast<ManuelleFahrt *>(manuell.data())) {
        QTest::mouseClick(m->CommandEilRechts, Qt::LeftButton);
        QTest::mouseClick(m->CommandZurück, Qt::LeftButton);
        QTest::qWait(20);
    }
    befund << QStringLiteral("meldungen=%1 gesendet=%2").arg(nachrichten.anzahl()).arg(gesendet);
    for (QString &zeile : befund)
        std::puts(qPrintable(zeile.replace(QLatin1Char('\n'), QStringLiteral(" | "))));
    return 0;
}

} // namespace

class TestZweiInstanzen : public QObject {
    Q_OBJECT
private slots:
    void zweiteInstanzBekommtDenPortNicht();
};

void TestZweiInstanzen::zweiteInstanzBekommtDenPortNicht() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    StartAbgeschlossen = false;
    auto fenster = std::make_unique<PCSteuerung>();
    fenster->show();
    fenster->Laden();
    fenster->Manuell->trigger();
    QPointer<ManuelleFahrt> manuell = qobject_cast<ManuelleFahrt *>(fenster->offenerDialog());
    QVERIFY(manuell);
    QCOMPARE(pty.lesen(1), QByteArray(1, char(2)));
    Mitschnitt mitschnitt(*fenster->MSComm1);

    QProcess zweite;
    zweite.start(QCoreApplication::applicationFilePath(),
                 {QString::fromLatin1(ZweiteInstanz), pty.verzeichnis()});
    QVERIFY2(zweite.waitForStarted(10000), qPrintable(zweite.errorString()));
    // The first copy keeps driving the motor while the second one tries its luck.
    QByteArray empfangen;
    QElapsedTimer uhr;
    uhr.start();
    int eilgaenge = 0;
    while (zweite.state() != QProcess::NotRunning && uhr.elapsed() < 120000) {
        QTest::mouseClick(eilgaenge++ % 2 ? manuell->CommandEilRechts : manuell->CommandEilLinks,
                          Qt::LeftButton);
        empfangen += pty.lesen(0, 0);
        zweite.waitForFinished(5);
    }
    QVERIFY2(zweite.state() == QProcess::NotRunning && zweite.exitCode() == 0,
             qPrintable(QString::fromUtf8(zweite.readAllStandardError().right(4000))));
    QTest::mouseClick(manuell->CommandZurück, Qt::LeftButton);
    QTRY_VERIFY(!manuell);
    empfangen += pty.lesenBisRuhe(100);

    // The second copy: refused at every attempt, told why in German, nothing sent.
    const QStringList b = QString::fromUtf8(zweite.readAllStandardOutput()).split('\n');
    QVERIFY2(b.size() == 7, qPrintable(b.join('\n')));
    QCOMPARE(b[0], QStringLiteral("gesperrt=1 portdialog=1"));
    for (int i = 1; i <= 4; ++i)
        QVERIFY2(
            b[i].contains(QStringLiteral("COM1")) &&
                b[i].contains(QStringLiteral("wird bereits von einem anderen Programm benutzt.")),
            qPrintable(b[i]));
    QVERIFY2(b[3].startsWith(QStringLiteral("Die Schnittstelle COM1 ")), qPrintable(b[3]));
    QCOMPARE(b[5], QStringLiteral("meldungen=2 gesendet=0"));

    // The first copy: no message, and the line carries exactly its own bytes, which decode to
    // whole rapid travels and the final leave of manual mode.
    QCOMPARE(nachrichten.anzahl(), 0);
    QCOMPARE(empfangen, mitschnitt.bytes());
    QStringList erwartet;
    for (int i = 0; i < eilgaenge; ++i)
        erwartet << Dekodierer::dekodiere(BytesVon(
            Gebaut(Eilgang(i % 2 ? Fahrtrichtung::Rechts : Fahrtrichtung::Links, 19, 1000))))[0]
                        .text();
    erwartet << Dekodierer::dekodiere(BytesVon(ManuellAus()))[0].text();
    QStringList gelesen;
    for (const DekodierterBefehl &befehl : Dekodierer::dekodiere(empfangen))
        gelesen << befehl.text();
    QCOMPARE(gelesen, erwartet);
}

int main(int argc, char **argv) {
    if (argc >= 3 && qstrcmp(argv[1], ZweiteInstanz) == 0)
        return zweiteInstanzLaufen(argc, argv);
    QApplication app(argc, argv);
    TestZweiInstanzen test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zweiinstanzen.moc"
