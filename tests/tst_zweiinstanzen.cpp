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
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

const char *const ZweiteInstanz = "--zweite-instanz";

QString einzeilig(QString text) {
    return text.replace(QLatin1Char('\n'), QStringLiteral(" | "));
}

void ausgeben(const QString &schluessel, const QString &wert) {
    std::fputs(qPrintable(schluessel + QLatin1Char('=') + einzeilig(wert) + QLatin1Char('\n')),
               stdout);
    std::fflush(stdout);
}

// The second copy: starts as the program does, tries the port dialog, a transfer and manual
// travel, and reports what it saw and how many bytes it handed to a device.
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

    // The start-up probe failed: the port dialog stands in front of the disabled window.
    ausgeben(QStringLiteral("gesperrt"),
             fenster->isEnabled() ? QStringLiteral("nein") : QStringLiteral("ja"));
    auto *dialog = qobject_cast<RSAdresse *>(fenster->offenerDialog());
    ausgeben(QStringLiteral("portdialog"), dialog ? QStringLiteral("ja") : QStringLiteral("nein"));
    if (dialog) {
        QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
        ausgeben(QStringLiteral("grund"), dialog->letzterGrund());
        ausgeben(QStringLiteral("anzeige"), dialog->LabelGeraet->text());
        QTest::mouseClick(dialog->CommandAbbrechen, Qt::LeftButton);
        QTest::qWait(20);
    }

    QTest::mouseClick(fenster->CommandProgrammieren, Qt::LeftButton);
    QTest::qWait(20);
    ausgeben(QStringLiteral("uebertragung"), nachrichten.letzterText());

    const int vorher = nachrichten.anzahl();
    fenster->Manuell->trigger();
    QPointer<QWidget> manuell = fenster->offenerDialog();
    QTest::qWait(20);
    ausgeben(QStringLiteral("manuell"),
             nachrichten.anzahl() > vorher ? nachrichten.letzterText() : QString());
    if (auto *m = qobject_cast<ManuelleFahrt *>(manuell.data())) {
        QTest::mouseClick(m->CommandEilRechts, Qt::LeftButton);
        QTest::mouseClick(m->CommandZurück, Qt::LeftButton);
        QTest::qWait(20);
    }
    ausgeben(QStringLiteral("meldungen"), QString::number(nachrichten.anzahl()));
    ausgeben(QStringLiteral("gesendet"), QString::number(gesendet));
    ausgeben(QStringLiteral("ende"), QStringLiteral("ja"));
    return 0;
}

QMap<QString, QString> befunde(const QByteArray &ausgabe) {
    QMap<QString, QString> werte;
    for (const QString &zeile : QString::fromUtf8(ausgabe).split(QLatin1Char('\n'))) {
        const qsizetype gleich = zeile.indexOf(QLatin1Char('='));
        if (gleich > 0)
            werte.insert(zeile.left(gleich), zeile.mid(gleich + 1));
    }
    return werte;
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
    QVERIFY(fenster->MSComm1->istOffen());
    Mitschnitt mitschnitt(*fenster->MSComm1);

    QProcess zweite;
    zweite.setProcessChannelMode(QProcess::SeparateChannels);
    zweite.start(QCoreApplication::applicationFilePath(),
                 {QString::fromLatin1(ZweiteInstanz), pty.verzeichnis()});
    QVERIFY2(zweite.waitForStarted(10000), qPrintable(zweite.errorString()));

    // The first copy keeps driving the motor while the second one tries its luck.
    QByteArray empfangen;
    QElapsedTimer uhr;
    uhr.start();
    int eilgaenge = 0;
    while (zweite.state() != QProcess::NotRunning && uhr.elapsed() < 120000) {
        QTest::mouseClick(eilgaenge % 2 ? manuell->CommandEilRechts : manuell->CommandEilLinks,
                          Qt::LeftButton);
        ++eilgaenge;
        empfangen += pty.lesen(0, 0);
        zweite.waitForFinished(5);
    }
    QVERIFY2(zweite.state() == QProcess::NotRunning, "die zweite Instanz endet nicht");
    const QByteArray ausgabe = zweite.readAllStandardOutput();
    QVERIFY2(zweite.exitStatus() == QProcess::NormalExit && zweite.exitCode() == 0,
             qPrintable(QString::fromUtf8(zweite.readAllStandardError().right(4000))));

    QTest::mouseClick(manuell->CommandZurück, Qt::LeftButton);
    QTRY_VERIFY(!manuell);
    empfangen += pty.lesenBisRuhe(100);

    // The second copy: refused at every attempt, told why in German, nothing sent.
    const QMap<QString, QString> b = befunde(ausgabe);
    QVERIFY2(b.value(QStringLiteral("ende")) == QStringLiteral("ja"), ausgabe.constData());
    QCOMPARE(b.value(QStringLiteral("gesperrt")), QStringLiteral("ja"));
    QCOMPARE(b.value(QStringLiteral("portdialog")), QStringLiteral("ja"));
    const QString belegt = QStringLiteral("wird bereits von einem anderen Programm benutzt.");
    for (const char *schluessel : {"grund", "anzeige", "uebertragung", "manuell"}) {
        const QString text = b.value(QString::fromLatin1(schluessel));
        QVERIFY2(text.contains(QStringLiteral("COM1")) && text.contains(belegt),
                 qPrintable(QString::fromLatin1(schluessel) + QStringLiteral(": ") + text));
    }
    QVERIFY2(b.value(QStringLiteral("uebertragung"))
                 .startsWith(QStringLiteral("Die Schnittstelle COM1 ")),
             qPrintable(b.value(QStringLiteral("uebertragung"))));
    // One message for the transfer, one for manual travel.
    QCOMPARE(b.value(QStringLiteral("meldungen")), QStringLiteral("2"));
    QCOMPARE(b.value(QStringLiteral("gesendet")), QStringLiteral("0"));

    // The first copy: no message, and the line carries exactly its own bytes, which decode to
    // whole rapid travels and the final leave of manual mode.
    QCOMPARE(nachrichten.anzahl(), 0);
    QVERIFY(eilgaenge > 0);
    QCOMPARE(empfangen, mitschnitt.bytes());
    const std::vector<DekodierterBefehl> befehle = Dekodierer::dekodiere(empfangen);
    QCOMPARE(int(befehle.size()), eilgaenge + 1);
    for (int i = 0; i < eilgaenge; ++i) {
        QVERIFY(befehle[size_t(i)].vollstaendig);
        QCOMPARE(befehle[size_t(i)].art, Befehlsart::Eilgang);
        QCOMPARE(befehle[size_t(i)].schritte, std::optional<qint64>(1000));
    }
    QCOMPARE(befehle.back().art, Befehlsart::ManuellAus);
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
