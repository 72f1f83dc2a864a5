// The whole program against the virtual controller: the real windows, driven as an operator
// does, send through the real serial link to a pseudo-terminal, and the controller's decoder
// says which commands with which values arrived.
#include "Nachrichten.h"
#include "VirtuellerAnschluss.h"

#include "app/PCSteuerung.h"
#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/ManuelleFahrt.h"
#include "dialogs/ZelkorEinstellungen.h"
#include "files/Programmverzeichnis.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Globale.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <functional>
#include <memory>

namespace {

bool warteAuf(const std::function<bool()> &bedingung, int ms = 5000) {
    QElapsedTimer uhr;
    uhr.start();
    while (!bedingung()) {
        if (uhr.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Replaces a field's text by typing, as the operator does.
void tippen(QLineEdit *feld, const QString &text) {
    feld->setFocus();
    feld->selectAll();
    QTest::keyClick(feld, Qt::Key_Backspace);
    QTest::keyClicks(feld, text);
}

QString liste(const std::vector<DekodierterBefehl> &befehle) {
    QStringList zeilen;
    for (const auto &b : befehle)
        zeilen << b.zeilen();
    return zeilen.join(QLatin1Char('\n'));
}

// The virtual controller on port 1 of a fresh program directory, and the main window after
// its start-up, connected to it.
struct Sitzung {
    QTemporaryDir dir;
    VirtuellerAnschluss sim;
    QStringList zeilen; // what the controller showed
    std::unique_ptr<Nachrichtenfaenger> nachrichten;
    std::unique_ptr<PCSteuerung> fenster;

    explicit Sitzung(int verzoegerungMs = VirtuellerAnschluss::StandardVerzoegerungMs) {
        setProgrammverzeichnis(dir.path());
        sim.setAntwortverzoegerung(verzoegerungMs);
        QObject::connect(&sim, &VirtuellerAnschluss::zeilen,
                         [this](const QStringList &z) { zeilen += z; });
        if (!sim.starten(1, dir.path()))
            qWarning("%s", qPrintable(sim.fehler()));
        nachrichten = std::make_unique<Nachrichtenfaenger>();
        StartAbgeschlossen = false;
        fenster = std::make_unique<PCSteuerung>();
        fenster->show();
        fenster->Laden();
    }
    ~Sitzung() {
        fenster.reset();
        setProgrammverzeichnis(QString());
    }
    PCSteuerung &w() { return *fenster; }

    // Waits until the controller has decoded anzahl commands (runs of stops merged) and has
    // nothing left waiting, then returns them.
    std::vector<DekodierterBefehl> befehle(size_t anzahl) {
        warteAuf([&] {
            return StoppsZusammenfassen(sim.controller().befehle()).size() >= anzahl &&
                   !sim.controller().naechsteRuhe();
        });
        return StoppsZusammenfassen(sim.controller().befehle());
    }

    template <typename Dialog> Dialog *oeffnen(QAction *aktion) {
        aktion->trigger();
        return qobject_cast<Dialog *>(w().offenerDialog());
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
    void einstellungen_data();
    void einstellungen();
    void sitzungMitDemWerkzeug();
};

void TestEndeZuEnde::programmUebertragenUndStarten() {
    Sitzung s;
    QVERIFY(s.sim.laeuft());
    PCSteuerung &w = s.w();
    QVERIFY(w.isEnabled());

    // Block 1 on the first row.
    w.setAktuelleZeile(0);
    w.setAktuellerZellText(QStringLiteral("12345"));
    tippen(w.TextStartfrequenz, QStringLiteral("500"));
    tippen(w.TextMaximalfrequenz, QStringLiteral("6000"));
    tippen(w.TextSatzdurchläufe, QStringLiteral("3"));
    tippen(w.TextSatzpause, QStringLiteral("0"));
    w.OptionRampe10ms->click();
    w.OptionLinks->click();
    w.Richtungsumkehrung->click();
    QVERIFY(w.OptionRampe10ms->isChecked());
    QVERIFY(w.OptionLinks->isChecked());
    QVERIFY(w.Richtungsumkehrung->isChecked());
    // Block 2 on the blank row below it.
    w.setAktuelleZeile(1);
    w.setAktuellerZellText(QStringLiteral("70000"));
    tippen(w.TextStartfrequenz, QStringLiteral("125"));
    tippen(w.TextMaximalfrequenz, QStringLiteral("12000"));
    tippen(w.TextSatzdurchläufe, QStringLiteral("255"));
    tippen(w.TextSatzpause, QStringLiteral("255"));
    w.OptionRampe20ms->click();
    w.OptionRechts->click();
    // The program's own values.
    tippen(w.TextProgrammdurchläufe, QStringLiteral("7"));
    tippen(w.TextProgrammpause, QStringLiteral("0"));
    tippen(w.TextBefehlspause, QStringLiteral("25"));

    QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
    QCOMPARE(s.nachrichten->anzahl(), 0);
    QCOMPARE(s.befehle(1).size(), size_t(1));

    QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
    w.setAktuelleZeile(1);
    QCOMPARE(w.CommandSatzstart->text(), QStringLiteral("Satz Nr. 2 starten"));
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    w.setAktuelleZeile(0);
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);

    const auto befehle = s.befehle(4);
    QVERIFY2(befehle.size() == 4, qPrintable(liste(befehle)));
    const DekodierterBefehl &p = befehle[0];
    QCOMPARE(p.art, Befehlsart::Programmuebertragung);
    QVERIFY(p.vollstaendig);
    QCOMPARE(*p.programmdurchlaeufe, 7);
    QCOMPARE(*p.programmpause, 0);
    QCOMPARE(*p.befehlspause, 25);
    QCOMPARE(*p.anzahlSaetze, 2);
    QCOMPARE(p.saetze.size(), size_t(2));

    const DekodierterSatz &eins = p.saetze[0];
    QCOMPARE(eins.schritte, qint64(12345));
    QCOMPARE(eins.startfrequenz(), 500);
    QCOMPARE(eins.maximalfrequenz(), 6000);
    QCOMPARE(eins.durchlaeufe, 3);
    QCOMPARE(eins.pause, 0);
    QVERIFY(!eins.rechts());
    QCOMPARE(eins.richtungsbyte, 0);
    QVERIFY(eins.richtungsumkehr());
    QCOMPARE(eins.rampe, 3);

    const DekodierterSatz &zwei = p.saetze[1];
    QCOMPARE(zwei.schritte, qint64(70000));
    // 125 Hz travels as the nearest code, which stands for 150 Hz.
    QCOMPARE(zwei.startcode, 2);
    QCOMPARE(zwei.startfrequenz(), 150);
    QCOMPARE(zwei.maximalfrequenz(), 12000);
    QCOMPARE(zwei.durchlaeufe, 255);
    QCOMPARE(zwei.pause, 255);
    QVERIFY(zwei.rechts());
    QVERIFY(!zwei.richtungsumkehr());
    QCOMPARE(zwei.rampe, 4);

    QCOMPARE(befehle[1].art, Befehlsart::Programmstart);
    QCOMPARE(befehle[2].art, Befehlsart::Satzstart);
    QCOMPARE(*befehle[2].satznummer, 2);
    QCOMPARE(befehle[3].art, Befehlsart::Satzstart);
    QCOMPARE(*befehle[3].satznummer, 1);

    // The controller keeps the program, and its block start shows the block it runs.
    QVERIFY(s.sim.controller().programm());
    QCOMPARE(s.sim.controller().programm()->bytes, p.bytes);
    const QString gezeigt = s.zeilen.join(QLatin1Char('\n'));
    QVERIFY2(gezeigt.contains(QStringLiteral("Satzstart: Satz 2\n") +
                              QString(16, QLatin1Char(' ')) +
                              QStringLiteral("Satz 2: 70000 Schritte, 150 Hz → 12000 Hz")),
             qPrintable(gezeigt));
    QVERIFY(!gezeigt.contains(QStringLiteral("Hinweis")));
}

void TestEndeZuEnde::eilgang() {
    Sitzung s;
    auto *d = s.oeffnen<ManuelleFahrt>(s.w().Manuell);
    QVERIFY(d);
    tippen(d->TextFrequenz, QStringLiteral("2500"));
    tippen(d->TextSchritte, QStringLiteral("70000"));
    QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
    tippen(d->TextFrequenz, QStringLiteral("300"));
    tippen(d->TextSchritte, QStringLiteral("16777215"));
    QTest::mouseClick(d->CommandEilLinks, Qt::LeftButton);
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QVERIFY(warteAuf([&] { return s.w().isEnabled(); }));
    QCOMPARE(s.nachrichten->anzahl(), 0);

    const auto befehle = s.befehle(4);
    QVERIFY2(befehle.size() == 4, qPrintable(liste(befehle)));
    QCOMPARE(befehle[0].art, Befehlsart::ManuellEin);
    QCOMPARE(befehle[1].art, Befehlsart::Eilgang);
    QCOMPARE(*befehle[1].richtung, Fahrtrichtung::Rechts);
    QCOMPARE(*befehle[1].frequenzcode, 49);
    QCOMPARE(*befehle[1].frequenz(), 2500);
    QCOMPARE(*befehle[1].schritte, qint64(70000));
    QCOMPARE(befehle[2].art, Befehlsart::Eilgang);
    QCOMPARE(*befehle[2].richtung, Fahrtrichtung::Links);
    QCOMPARE(*befehle[2].frequenz(), 300);
    QCOMPARE(*befehle[2].schritte, qint64(16777215));
    QCOMPARE(befehle[3].art, Befehlsart::ManuellAus);
    QVERIFY(!s.sim.controller().imHandbetrieb());
    QCOMPARE(s.sim.gesendeteAntworten(), 0);
}

void TestEndeZuEnde::einzelschrittMitAntwort() {
    // The controller answers late, so each release finds no character yet and has to wait
    // for it.
    Sitzung s(300);
    auto *d = s.oeffnen<ManuelleFahrt>(s.w().Manuell);
    QVERIFY(d);
    for (QPushButton *knopf : {d->CommandLinksEinzel, d->CommandRechtsEinzel}) {
        QTest::mousePress(knopf, Qt::LeftButton);
        QTest::mouseRelease(knopf, Qt::LeftButton);
    }
    QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
    QVERIFY(warteAuf([&] { return s.w().isEnabled(); }));
    // No message: each wait ended through the controller's character, not its bound.
    QCOMPARE(s.nachrichten->anzahl(), 0);
    QCOMPARE(s.sim.gesendeteAntworten(), 2);

    const auto befehle = s.befehle(6);
    QVERIFY2(befehle.size() == 6, qPrintable(liste(befehle)));
    QCOMPARE(befehle[0].art, Befehlsart::ManuellEin);
    QCOMPARE(befehle[1].art, Befehlsart::Einzelschritt);
    QCOMPARE(*befehle[1].richtung, Fahrtrichtung::Links);
    QCOMPARE(befehle[2].art, Befehlsart::Stopp);
    QCOMPARE(befehle[2].stoppAnzahl, 1);
    QCOMPARE(befehle[3].art, Befehlsart::Einzelschritt);
    QCOMPARE(*befehle[3].richtung, Fahrtrichtung::Rechts);
    QCOMPARE(befehle[4].art, Befehlsart::Stopp);
    QCOMPARE(befehle[4].stoppAnzahl, 1);
    QCOMPARE(befehle[5].art, Befehlsart::ManuellAus);

    // Each stop came after the controller's answer to its step.
    QStringList reihenfolge;
    for (const QString &z : s.zeilen) {
        if (z.contains(QStringLiteral("Antwort:")))
            reihenfolge << QStringLiteral("Antwort");
        else if (z.contains(QStringLiteral("Einzelschritt")))
            reihenfolge << QStringLiteral("Schritt");
        else if (z.contains(QStringLiteral("Stopp")))
            reihenfolge << QStringLiteral("Stopp");
    }
    QCOMPARE(reihenfolge, (QStringList{QStringLiteral("Schritt"), QStringLiteral("Antwort"),
                                       QStringLiteral("Stopp"), QStringLiteral("Schritt"),
                                       QStringLiteral("Antwort"), QStringLiteral("Stopp")}));
}

void TestEndeZuEnde::referenzfahrt() {
    Sitzung s;
    auto *d = s.oeffnen<FormReferenzfahrt>(s.w().Referenzfahrt);
    QVERIFY(d);
    // The default 200 Hz to the left, then 450 Hz to the right.
    QTest::mousePress(d->CommandReferenzLinks, Qt::LeftButton);
    QTest::mouseRelease(d->CommandReferenzLinks, Qt::LeftButton);
    QVERIFY(warteAuf([&] { return d->CommandReferenzRechts->isEnabled(); }));
    tippen(d->TextFrequenz, QStringLiteral("450"));
    QTest::mousePress(d->CommandReferenzRechts, Qt::LeftButton);
    QTest::mouseRelease(d->CommandReferenzRechts, Qt::LeftButton);
    QVERIFY(warteAuf(
        [&] { return d->CommandOK->isEnabled() && d->CommandReferenzRechts->isEnabled(); }));
    QTest::mouseClick(d->CommandOK, Qt::LeftButton);
    QVERIFY(warteAuf([&] { return s.w().isEnabled(); }));
    QCOMPARE(s.nachrichten->anzahl(), 0);

    const auto befehle = s.befehle(4);
    QVERIFY2(befehle.size() == 4, qPrintable(liste(befehle)));
    QCOMPARE(befehle[0].art, Befehlsart::ReferenzfahrtStart);
    QCOMPARE(*befehle[0].richtung, Fahrtrichtung::Links);
    QCOMPARE(*befehle[0].frequenz(), 200);
    QCOMPARE(befehle[1].art, Befehlsart::Stopp);
    QCOMPARE(befehle[1].stoppAnzahl, 5);
    QCOMPARE(befehle[2].art, Befehlsart::ReferenzfahrtStart);
    QCOMPARE(*befehle[2].richtung, Fahrtrichtung::Rechts);
    QCOMPARE(*befehle[2].frequenzcode, 8);
    QCOMPARE(*befehle[2].frequenz(), 450);
    QCOMPARE(befehle[3].art, Befehlsart::Stopp);
    QCOMPARE(befehle[3].stoppAnzahl, 5);
}

void TestEndeZuEnde::einstellungen_data() {
    QTest::addColumn<QString>("schrittmodus");
    QTest::addColumn<QString>("phasenstrom");
    QTest::addColumn<bool>("absenkungEin");
    QTest::newRow("Vorgaben") << QString() << QString() << true;
    QTest::newRow("Zehntelschritt, 6,0 A, aus")
        << QStringLiteral("Zehntelschritt") << QStringLiteral("6,0 A") << false;
    QTest::newRow("Vollschritt, 4,0 A, ein")
        << QStringLiteral("Vollschritt") << QStringLiteral("4,0 A") << true;
    QTest::newRow("Fünftelschritt, 3,5 A, aus")
        << QStringLiteral("Fünftelschritt") << QStringLiteral("3,5 A") << false;
}

void TestEndeZuEnde::einstellungen() {
    QFETCH(QString, schrittmodus);
    QFETCH(QString, phasenstrom);
    QFETCH(bool, absenkungEin);
    Sitzung s;
    auto *d = s.oeffnen<ZelkorEinstellungen>(s.w().Parameter);
    QVERIFY(d);
    if (!schrittmodus.isEmpty()) {
        const int modus = d->ComboSchrittmodus->findText(schrittmodus);
        QVERIFY(modus >= 0);
        d->ComboSchrittmodus->setCurrentIndex(modus);
        const int strom = d->ComboPhasenstrom->findText(phasenstrom);
        QVERIFY(strom >= 0);
        d->ComboPhasenstrom->setCurrentIndex(strom);
        QTest::mouseClick(absenkungEin ? d->OptionAbsenkungEin : d->OptionAbsenkungAus,
                          Qt::LeftButton);
    }
    QTest::mouseClick(d->CommandÜbernehmen, Qt::LeftButton);
    QVERIFY(warteAuf([&] { return s.w().isEnabled(); }));

    const auto befehle = s.befehle(1);
    QVERIFY2(befehle.size() == 1, qPrintable(liste(befehle)));
    const DekodierterBefehl &e = befehle[0];
    QCOMPARE(e.art, Befehlsart::Einstellungen);
    QVERIFY(e.vollstaendig);
    QCOMPARE(*e.schrittmodus(),
             schrittmodus.isEmpty() ? QStringLiteral("Halbschritt") : schrittmodus);
    QCOMPARE(*e.phasenstrom(), phasenstrom.isEmpty() ? QStringLiteral("2,5 A") : phasenstrom);
    QCOMPARE(*e.absenkungEin(), absenkungEin);
}

// The tool zelkor-sim as its own process, the program connected to it through COM1.
void TestEndeZuEnde::sitzungMitDemWerkzeug() {
    QTemporaryDir dir;
    QProcess sim;
    sim.start(QStringLiteral(ZELKOR_SIM_PROGRAMM), {QStringLiteral("--verzeichnis"), dir.path()});
    QVERIFY(sim.waitForStarted());
    sim.closeWriteChannel();
    QVERIFY(warteAuf([&] { return QFileInfo(dir.filePath(QStringLiteral("COM1"))).isSymLink(); }));

    setProgrammverzeichnis(dir.path());
    {
        Nachrichtenfaenger nachrichten;
        StartAbgeschlossen = false;
        PCSteuerung w;
        w.show();
        w.Laden();
        QVERIFY(w.isEnabled());
        QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
        QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
        QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
        w.Manuell->trigger();
        auto *d = qobject_cast<ManuelleFahrt *>(w.offenerDialog());
        QVERIFY(d);
        QTest::mousePress(d->CommandRechtsEinzel, Qt::LeftButton);
        QTest::mouseRelease(d->CommandRechtsEinzel, Qt::LeftButton);
        QTest::mouseClick(d->CommandEilLinks, Qt::LeftButton);
        QTest::mouseClick(d->CommandZurück, Qt::LeftButton);
        QVERIFY(warteAuf([&] { return w.isEnabled(); }));
        QCOMPARE(nachrichten.anzahl(), 0);
    }
    setProgrammverzeichnis(QString());

    QByteArray ausgabe;
    QVERIFY(warteAuf([&] {
        ausgabe += sim.readAllStandardOutput();
        return ausgabe.contains("Manuelle Fahrt aus");
    }));
    ::kill(pid_t(sim.processId()), SIGUSR1);
    QVERIFY(warteAuf([&] {
        ausgabe += sim.readAllStandardOutput();
        return ausgabe.contains("Gespeichertes Programm");
    }));
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 0);
    ausgabe += sim.readAllStandardOutput();
    const QString text = QString::fromUtf8(ausgabe);

    // The lines in the order the commands went out, with their values.
    QStringList soll{
        QStringLiteral("Programmübertragung: 1 Satz, Programmdurchläufe 1, Programmpause 10, "
                       "Befehlspause 10"),
        QStringLiteral("Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe 1, Pause 10, rechts, "
                       "ohne Richtungsänderung, Rampe 1 (2ms/100Hz)"),
        QStringLiteral("Programmstart"),
        QStringLiteral("Satzstart: Satz 1"),
        QStringLiteral("Manuelle Fahrt ein"),
        QStringLiteral("Einzelschritt rechts"),
        QStringLiteral("Antwort: 1 Zeichen gesendet"),
        QStringLiteral("Stopp"),
        QStringLiteral("Eilgang links: 1000 Hz, 1000 Schritte"),
        QStringLiteral("Manuelle Fahrt aus"),
        QStringLiteral("Gespeichertes Programm, übertragen um"),
    };
    qsizetype ab = 0;
    for (const QString &zeile : soll) {
        const qsizetype bei = text.indexOf(zeile, ab);
        QVERIFY2(bei >= 0, qPrintable(zeile + QStringLiteral("\n--- in ---\n") + text));
        ab = bei + zeile.size();
    }
    QVERIFY(!QFileInfo(dir.filePath(QStringLiteral("COM1"))).isSymLink());
}

QTEST_MAIN(TestEndeZuEnde)
#include "tst_ende_zu_ende.moc"
