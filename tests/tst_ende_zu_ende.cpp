// The whole program against the virtual controller: the real windows, driven as an operator
// does, send through the real serial link to a pseudo-terminal, and the controller's decoder
// says which commands with which values arrived.
#include "Fensterumgebung.h"
#include "VirtuellerAnschluss.h"

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
    void sitzungMitDemWerkzeug();
};

void TestEndeZuEnde::sitzung() {
    // The controller answers a single step late, so each release finds no character yet and
    // has to wait.
    QTemporaryDir dir;
    setProgrammverzeichnis(dir.path());
    VirtuellerAnschluss sim;
    sim.setAntwortverzoegerung(300);
    QVERIFY2(sim.starten(1, dir.path()), qPrintable(sim.fehler()));
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

    // The commands the controller decoded (runs of stops merged), once it waits for nothing
    // more. 125 Hz travels as the nearest code, which stands for 150 Hz.
    (void)QTest::qWaitFor([&] {
        return StoppsZusammenfassen(sim.controller().befehle()).size() >= 17 &&
               !sim.controller().naechsteRuhe();
    });
    QStringList zeilen;
    for (const auto &b : StoppsZusammenfassen(sim.controller().befehle()))
        zeilen << b.zeilen();
    QCOMPARE(zeilen.join('\n'),
             QString("Programmübertragung: 2 Sätze, Programmdurchläufe 7, Programmpause 0, "
                     "Befehlspause 25\n"
                     "  Satz 1: 12345 Schritte, 500 Hz → 6000 Hz, Durchläufe 3, Pause 0, links, "
                     "mit Richtungsänderung, Rampe 3 (10ms/100Hz)\n"
                     "  Satz 2: 70000 Schritte, 150 Hz → 12000 Hz, Durchläufe 255, Pause 255, "
                     "rechts, ohne Richtungsänderung, Rampe 4 (20ms/100Hz)\n"
                     "Programmstart\nSatzstart: Satz 2\nSatzstart: Satz 1\n"
                     "Manuelle Fahrt ein\nEilgang rechts: 2500 Hz, 70000 Schritte\n"
                     "Eilgang links: 300 Hz, 16777215 Schritte\n"
                     "Einzelschritt links\nStopp\nEinzelschritt rechts\nStopp\n"
                     "Manuelle Fahrt aus\n"
                     "Referenzfahrt links: 200 Hz\nStopp (5-mal)\n"
                     "Referenzfahrt rechts: 450 Hz\nStopp (5-mal)\n"
                     "Einstellungen: Zehntelschritt, 6,0 A, Stromabsenkung aus"));
    // No message: each wait ended through the controller's character, not its bound.
    QCOMPARE(nachrichten.anzahl(), 0);
    QCOMPARE(sim.gesendeteAntworten(), 2);
    QVERIFY(!sim.controller().imHandbetrieb());
    fenster.reset();
    setProgrammverzeichnis(QString());
}

// The tool zelkor-sim as its own process, the program connected to it through COM1.
void TestEndeZuEnde::sitzungMitDemWerkzeug() {
    QTemporaryDir dir;
    QProcess sim;
    sim.start(ZELKOR_SIM_PROGRAMM, {"--verzeichnis", dir.path()});
    QVERIFY(sim.waitForStarted());
    sim.closeWriteChannel();
    QVERIFY(QTest::qWaitFor([&] { return QFileInfo(dir.filePath("COM1")).isSymLink(); }));
    setProgrammverzeichnis(dir.path());
    {
        Nachrichtenfaenger nachrichten;
        auto w = HauptfensterStarten();
        QVERIFY(w->isEnabled());
        QTest::mouseClick(w->CommandProgrammieren, Qt::LeftButton);
        auto *d = Oeffnen<ManuelleFahrt>(*w, w->Manuell);
        QVERIFY(d);
        klicken(d->CommandRechtsEinzel);
        QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return w->isEnabled(); }));
        QCOMPARE(nachrichten.anzahl(), 0);
    }
    setProgrammverzeichnis(QString());

    QByteArray ausgabe;
    const auto bis = [&](const char *text) {
        return QTest::qWaitFor([&] {
            ausgabe += sim.readAllStandardOutput();
            return ausgabe.contains(text);
        });
    };
    QVERIFY(bis("Manuelle Fahrt aus"));
    ::kill(pid_t(sim.processId()), SIGUSR1);
    QVERIFY(bis("Gespeichertes Programm"));
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 0);
    ausgabe += sim.readAllStandardOutput();
    const QString text = QString::fromUtf8(ausgabe);

    // The lines in the order the commands went out, with their values.
    qsizetype ab = 0;
    for (const char *zeile :
         {"Programmübertragung: 1 Satz, Programmdurchläufe 1, Programmpause 10, Befehlspause 10",
          "Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe 1, Pause 10, rechts, ohne "
          "Richtungsänderung, Rampe 1 (2ms/100Hz)",
          "Manuelle Fahrt ein", "Einzelschritt rechts", "Antwort: 1 Zeichen gesendet", "Stopp",
          "Manuelle Fahrt aus", "Gespeichertes Programm, übertragen um"}) {
        const qsizetype bei = text.indexOf(QString::fromUtf8(zeile), ab);
        QVERIFY2(bei >= 0, qPrintable(QString::fromUtf8(zeile) + "\n--- in ---\n" + text));
        ab = bei + qsizetype(strlen(zeile));
    }
    QVERIFY(!QFileInfo(dir.filePath("COM1")).isSymLink());
}

QTEST_MAIN(TestEndeZuEnde)
#include "tst_ende_zu_ende.moc"
