// The whole program against the virtual controller: the real windows, driven as an operator
// does, send through the real serial link to a pseudo-terminal, and the controller's decoder
// says which commands with which values arrived.
#include "Fensterumgebung.h"
#include "Nachrichten.h"
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

// The virtual controller on port 1 of a fresh program directory, and the main window after
// its start-up, connected to it.
struct Sitzung {
    QTemporaryDir dir;
    VirtuellerAnschluss sim;
    std::unique_ptr<Nachrichtenfaenger> nachrichten;
    std::unique_ptr<PCSteuerung> fenster;

    explicit Sitzung(int verzoegerungMs = VirtuellerAnschluss::StandardVerzoegerungMs) {
        setProgrammverzeichnis(dir.path());
        sim.setAntwortverzoegerung(verzoegerungMs);
        if (!sim.starten(1, dir.path()))
            qWarning("%s", qPrintable(sim.fehler()));
        nachrichten = std::make_unique<Nachrichtenfaenger>();
        fenster = HauptfensterStarten();
    }
    ~Sitzung() {
        fenster.reset();
        setProgrammverzeichnis(QString());
    }
    PCSteuerung &w() { return *fenster; }

    // The commands the controller decoded (runs of stops merged), one line each, once it has
    // decoded at least anzahl and waits for nothing more.
    QString befehle(size_t anzahl) {
        // A timeout shows in the caller's comparison.
        (void)QTest::qWaitFor([&] {
            return StoppsZusammenfassen(sim.controller().befehle()).size() >= anzahl &&
                   !sim.controller().naechsteRuhe();
        });
        QStringList zeilen;
        for (const auto &b : StoppsZusammenfassen(sim.controller().befehle()))
            zeilen << b.zeilen();
        return zeilen.join('\n');
    }
    bool fensterFrei() {
        return QTest::qWaitFor([&] { return w().isEnabled(); });
    }
};

} // namespace

class TestEndeZuEnde : public QObject {
    Q_OBJECT
private slots:
    void programmUebertragenUndStarten();
    void eilgang();
    void einzelschrittMitAntwort();
    void referenzfahrt();
    void einstellungen();
    void sitzungMitDemWerkzeug();
};

void TestEndeZuEnde::programmUebertragenUndStarten() {
    Sitzung s;
    QVERIFY(s.sim.laeuft());
    PCSteuerung &w = s.w();
    QVERIFY(w.isEnabled());
    // Block 1 on the first row, block 2 on the blank row below it, then the program's values.
    w.setAktuelleZeile(0);
    w.setAktuellerZellText("12345");
    tippen(w.TextStartfrequenz, "500");
    tippen(w.TextMaximalfrequenz, "6000");
    tippen(w.TextSatzdurchläufe, "3");
    tippen(w.TextSatzpause, "0");
    w.OptionRampe10ms->click();
    w.OptionLinks->click();
    w.Richtungsumkehrung->click();
    w.setAktuelleZeile(1);
    w.setAktuellerZellText("70000");
    tippen(w.TextStartfrequenz, "125");
    tippen(w.TextMaximalfrequenz, "12000");
    tippen(w.TextSatzdurchläufe, "255");
    tippen(w.TextSatzpause, "255");
    w.OptionRampe20ms->click();
    w.OptionRechts->click();
    tippen(w.TextProgrammdurchläufe, "7");
    tippen(w.TextProgrammpause, "0");
    tippen(w.TextBefehlspause, "25");

    QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(s.befehle(1).count('\n'), 2); // the transfer's three lines
    QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
    w.setAktuelleZeile(1);
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    w.setAktuelleZeile(0);
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    // 125 Hz travels as the nearest code, which stands for 150 Hz.
    QCOMPARE(s.befehle(4),
             QString("Programmübertragung: 2 Sätze, Programmdurchläufe 7, Programmpause 0, "
                     "Befehlspause 25\n"
                     "  Satz 1: 12345 Schritte, 500 Hz → 6000 Hz, Durchläufe 3, Pause 0, links, "
                     "mit Richtungsänderung, Rampe 3 (10ms/100Hz)\n"
                     "  Satz 2: 70000 Schritte, 150 Hz → 12000 Hz, Durchläufe 255, Pause 255, "
                     "rechts, ohne Richtungsänderung, Rampe 4 (20ms/100Hz)\n"
                     "Programmstart\nSatzstart: Satz 2\nSatzstart: Satz 1"));
    QCOMPARE(s.nachrichten->anzahl(), 0);
}

void TestEndeZuEnde::eilgang() {
    Sitzung s;
    auto *d = Oeffnen<ManuelleFahrt>(s.w(), s.w().Manuell);
    QVERIFY(d);
    tippen(d->TextFrequenz, "2500");
    tippen(d->TextSchritte, "70000");
    QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
    tippen(d->TextFrequenz, "300");
    tippen(d->TextSchritte, "16777215");
    QTest::mouseClick(d->CommandEilLinks, Qt::LeftButton);
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QVERIFY(s.fensterFrei());
    QCOMPARE(s.befehle(4), QString("Manuelle Fahrt ein\n"
                                   "Eilgang rechts: 2500 Hz, 70000 Schritte\n"
                                   "Eilgang links: 300 Hz, 16777215 Schritte\n"
                                   "Manuelle Fahrt aus"));
    QCOMPARE(s.nachrichten->anzahl(), 0);
    QVERIFY(!s.sim.controller().imHandbetrieb());
    QCOMPARE(s.sim.gesendeteAntworten(), 0);
}

void TestEndeZuEnde::einzelschrittMitAntwort() {
    // The controller answers late, so each release finds no character yet and has to wait.
    Sitzung s(300);
    auto *d = Oeffnen<ManuelleFahrt>(s.w(), s.w().Manuell);
    QVERIFY(d);
    for (QPushButton *knopf : {d->CommandLinksEinzel, d->CommandRechtsEinzel}) {
        QTest::mousePress(knopf, Qt::LeftButton);
        QTest::mouseRelease(knopf, Qt::LeftButton);
    }
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QVERIFY(s.fensterFrei());
    QCOMPARE(s.befehle(6), QString("Manuelle Fahrt ein\nEinzelschritt links\nStopp\n"
                                   "Einzelschritt rechts\nStopp\nManuelle Fahrt aus"));
    // No message: each wait ended through the controller's character, not its bound.
    QCOMPARE(s.nachrichten->anzahl(), 0);
    QCOMPARE(s.sim.gesendeteAntworten(), 2);
}

void TestEndeZuEnde::referenzfahrt() {
    Sitzung s;
    auto *d = Oeffnen<FormReferenzfahrt>(s.w(), s.w().Referenzfahrt);
    QVERIFY(d);
    // The default 200 Hz to the left, then 450 Hz to the right.
    QTest::mousePress(d->CommandReferenzLinks, Qt::LeftButton);
    QTest::mouseRelease(d->CommandReferenzLinks, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return d->CommandReferenzRechts->isEnabled(); }));
    tippen(d->TextFrequenz, "450");
    QTest::mousePress(d->CommandReferenzRechts, Qt::LeftButton);
    QTest::mouseRelease(d->CommandReferenzRechts, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return d->CommandReferenzRechts->isEnabled(); }));
    QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    QVERIFY(s.fensterFrei());
    QCOMPARE(s.befehle(4), QString("Referenzfahrt links: 200 Hz\nStopp (5-mal)\n"
                                   "Referenzfahrt rechts: 450 Hz\nStopp (5-mal)"));
    QCOMPARE(s.nachrichten->anzahl(), 0);
}

void TestEndeZuEnde::einstellungen() {
    Sitzung s;
    auto *d = Oeffnen<ZelkorEinstellungen>(s.w(), s.w().Parameter);
    QVERIFY(d);
    d->ComboSchrittmodus->setCurrentIndex(d->ComboSchrittmodus->findText("Zehntelschritt"));
    d->ComboPhasenstrom->setCurrentIndex(d->ComboPhasenstrom->findText("6,0 A"));
    QTest::mouseClick(d->OptionAbsenkungAus, Qt::LeftButton);
    QTest::mouseClick(d->CommandÜbernehmen, Qt::LeftButton);
    QVERIFY(s.fensterFrei());
    QCOMPARE(s.befehle(1), QString("Einstellungen: Zehntelschritt, 6,0 A, Stromabsenkung aus"));
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
        QTest::mousePress(d->CommandRechtsEinzel, Qt::LeftButton);
        QTest::mouseRelease(d->CommandRechtsEinzel, Qt::LeftButton);
        QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return w->isEnabled(); }));
        QCOMPARE(nachrichten.anzahl(), 0);
    }
    setProgrammverzeichnis(QString());

    QByteArray ausgabe;
    QVERIFY(QTest::qWaitFor([&] {
        ausgabe += sim.readAllStandardOutput();
        return ausgabe.contains("Manuelle Fahrt aus");
    }));
    ::kill(pid_t(sim.processId()), SIGUSR1);
    QVERIFY(QTest::qWaitFor([&] {
        ausgabe += sim.readAllStandardOutput();
        return ausgabe.contains("Gespeichertes Programm");
    }));
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
