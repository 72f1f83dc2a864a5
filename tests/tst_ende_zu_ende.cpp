// The whole program against the virtual controller zelkor-sim as its own process: the real
// windows, driven as an operator does, send through the real serial link to its
// pseudo-terminal linked as COM1, and its lines say which commands with which values arrived.
#include "Fensterumgebung.h"

#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/ManuelleFahrt.h"
#include "dialogs/ZelkorEinstellungen.h"
#include "files/Programmverzeichnis.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// Replaces a field's text by typing, as the operator does.
void tippen(QLineEdit *feld, const QString &text) {
    feld->setFocus();
    feld->selectAll();
    QTest::keyClick(feld, Qt::Key_Backspace);
    QTest::keyClicks(feld, text);
}

void klicken(QPushButton *knopf) {
    QTest::mousePress(knopf, Qt::LeftButton);
    QTest::mouseRelease(knopf, Qt::LeftButton);
}

} // namespace

class TestEndeZuEnde : public QObject {
    Q_OBJECT
private slots:
    void sitzung();
};

void TestEndeZuEnde::sitzung() {
    // The controller answers a single step late, so each release finds no character yet and
    // has to wait.
    QTemporaryDir dir;
    QProcess sim;
    sim.start(ZELKOR_SIM_PROGRAMM, {"--verzeichnis", dir.path(), "--verzoegerung", "300"});
    QVERIFY(sim.waitForStarted());
    sim.closeWriteChannel();
    QVERIFY(QTest::qWaitFor([&] { return QFileInfo(dir.filePath("COM1")).isSymLink(); }));
    setProgrammverzeichnis(dir.path());
    Nachrichtenfaenger nachrichten;
    auto fenster = HauptfensterStarten();
    PCSteuerung &w = *fenster;
    const auto frei = [&] {
        return QTest::qWaitFor([&] { return w.isEnabled() && !w.offenerDialog(); });
    };
    QVERIFY(w.isEnabled());
    // Block 1 on the first row, block 2 on the blank row below it, then the program's values.
    const auto satz = [&](const char *schritte, const QStringList &werte) {
        w.setAktuellerZellText(schritte);
        for (int i = 0; i < werte.size(); ++i)
            tippen(QList<QLineEdit *>{w.TextStartfrequenz, w.TextMaximalfrequenz,
                                      w.TextSatzdurchläufe, w.TextSatzpause,
                                      w.TextProgrammdurchläufe, w.TextProgrammpause,
                                      w.TextBefehlspause}[i],
                   werte[i]);
    };
    satz("12345", {"500", "6000", "3", "0"});
    w.OptionRampe10ms->click();
    w.OptionLinks->click();
    w.Richtungsumkehrung->click();
    w.setAktuelleZeile(1);
    satz("70000", {"125", "12000", "255", "255", "7", "0", "25"});
    w.OptionRampe20ms->click();
    w.OptionRechts->click();
    QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
    QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    w.setAktuelleZeile(0);
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);

    auto *m = Oeffnen<ManuelleFahrt>(w, w.Manuell);
    QVERIFY(m);
    tippen(m->TextFrequenz, "2500");
    tippen(m->TextSchritte, "70000");
    QTest::mouseClick(m->CommandEilRechts, Qt::LeftButton);
    tippen(m->TextFrequenz, "300");
    tippen(m->TextSchritte, "16777215");
    QTest::mouseClick(m->CommandEilLinks, Qt::LeftButton);
    klicken(m->CommandLinksEinzel);
    klicken(m->CommandRechtsEinzel);
    QTest::mouseClick(m->CommandZurück, Qt::LeftButton);
    QVERIFY(frei());

    // The reference run at the default 200 Hz to the left, then at 450 Hz to the right.
    auto *r = Oeffnen<FormReferenzfahrt>(w, w.Referenzfahrt);
    QVERIFY(r);
    klicken(r->CommandReferenzLinks);
    QVERIFY(QTest::qWaitFor([&] { return r->CommandReferenzRechts->isEnabled(); }));
    tippen(r->TextFrequenz, "450");
    klicken(r->CommandReferenzRechts);
    QVERIFY(QTest::qWaitFor([&] { return r->CommandReferenzRechts->isEnabled(); }));
    QTest::mouseClick(r->CommandOK, Qt::LeftButton);
    QVERIFY(frei());

    auto *e = Oeffnen<ZelkorEinstellungen>(w, w.Parameter);
    QVERIFY(e);
    e->ComboSchrittmodus->setCurrentIndex(e->ComboSchrittmodus->findText("Zehntelschritt"));
    e->ComboPhasenstrom->setCurrentIndex(e->ComboPhasenstrom->findText("6,0 A"));
    QTest::mouseClick(e->OptionAbsenkungAus, Qt::LeftButton);
    QTest::mouseClick(e->CommandÜbernehmen, Qt::LeftButton);
    QVERIFY(frei());

    // No message: each wait ended through the controller's character, not its bound.
    QCOMPARE(nachrichten.anzahl(), 0);
    fenster.reset();
    setProgrammverzeichnis(QString());

    QByteArray ausgabe;
    const auto bis = [&](const char *text) {
        return QTest::qWaitFor([&] {
            ausgabe += sim.readAllStandardOutput();
            return ausgabe.contains(text);
        });
    };
    QVERIFY(bis("Einstellungen:"));
    ::kill(pid_t(sim.processId()), SIGUSR1);
    QVERIFY(bis("Gespeichertes Programm, übertragen um"));
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(dir.filePath("COM1")).isSymLink());
    ausgabe += sim.readAllStandardOutput();
    // Its lines without their times, from the first command to the stored program. 125 Hz
    // travels as the nearest code, which stands for 150 Hz.
    const QString text =
        QString::fromUtf8(ausgabe).remove(QRegularExpression("\\d\\d:\\d\\d:\\d\\d,\\d\\d\\d *"));
    const QString kopf = "Programmübertragung: 2 Sätze, Programmdurchläufe 7, Programmpause 0, "
                         "Befehlspause 25";
    const QString satz1 = "Satz 1: 12345 Schritte, 500 Hz → 6000 Hz, Durchläufe 3, Pause 0, "
                          "links, mit Richtungsänderung, Rampe 3 (10ms/100Hz)";
    const QString satz2 = "Satz 2: 70000 Schritte, 150 Hz → 12000 Hz, Durchläufe 255, Pause "
                          "255, rechts, ohne Richtungsänderung, Rampe 4 (20ms/100Hz)";
    const QString ein(16, QLatin1Char(' ')), antwort = "Antwort: 1 Zeichen gesendet "
                                                       "(Einzelschritt beendet)";
    QCOMPARE(text.section('\n', 2, -3),
             kopf + "\n" + ein + satz1 + "\n" + ein + satz2 +
                 "\nProgrammstart\nSatzstart: Satz 2\n" + ein + satz2 + "\nSatzstart: Satz 1\n" +
                 ein + satz1 +
                 "\nManuelle Fahrt ein\nEilgang rechts: 2500 Hz, 70000 Schritte\n"
                 "Eilgang links: 300 Hz, 16777215 Schritte\nEinzelschritt links\n" +
                 antwort + "\nStopp\nEinzelschritt rechts\n" + antwort +
                 "\nStopp\nManuelle Fahrt aus\nReferenzfahrt links: 200 Hz\nStopp (5-mal)\n"
                 "Referenzfahrt rechts: 450 Hz\nStopp (5-mal)\n"
                 "Einstellungen: Zehntelschritt, 6,0 A, Stromabsenkung aus\n"
                 "Gespeichertes Programm, übertragen um :\n  " +
                 kopf + "\n    " + satz1 + "\n    " + satz2);
}

QTEST_MAIN(TestEndeZuEnde)
#include "tst_ende_zu_ende.moc"
