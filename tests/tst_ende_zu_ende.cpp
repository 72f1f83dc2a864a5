// The whole program against the virtual controller zelkor-sim as its own process: the real
// windows, driven as an operator does, send through the real serial link to its
// pseudo-terminal linked as COM1, and its lines say which commands with which values arrived.
// And zelkor-sim's link COMn, its signals and its bounded memory.
#include "Fensterumgebung.h"
#include "Testdaten.h"
#include "VirtuellerAnschluss.h"
#include "VirtuellerController.h"

#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/ManuelleFahrt.h"
#include "dialogs/ZelkorEinstellungen.h"
#include "files/Programmverzeichnis.h"
#include "link/SerielleSchnittstelle.h"
#include "link/Simulatorlink.h"

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
#include <cstring>

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

// zelkor-sim on port 1 of verzeichnis, its input ended as for a job in the background.
bool simStarten(QProcess &sim, const QString &verzeichnis, const QStringList &argumente) {
    sim.start(ZELKOR_SIM_PROGRAMM, argumente);
    sim.closeWriteChannel();
    return sim.waitForStarted() &&
           QTest::qWaitFor([&] { return QFileInfo(verzeichnis + "/COM1").isSymLink(); });
}

} // namespace

class TestEndeZuEnde : public QObject {
    Q_OBJECT
private slots:
    void sitzung();
    void fremderLinkBleibt();
    void signale_data();
    void signale();
    void speicherBleibtBegrenzt();
};

void TestEndeZuEnde::sitzung() {
    // The controller answers a single step late, so each release finds no character yet and
    // has to wait.
    QTemporaryDir dir;
    QProcess sim;
    QVERIFY(simStarten(sim, dir.path(), {"--verzeichnis", dir.path(), "--verzoegerung", "300"}));
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

// A link it did not make is never replaced, even one that leads nowhere (an unplugged adapter),
// with or without an old marker of another device beside it.
void TestEndeZuEnde::fremderLinkBleibt() {
    for (const QByteArray &marke : {QByteArray(), QByteArray("99999\n/dev/pts/999\n")}) {
        QTemporaryDir dir;
        const QString com1 = dir.filePath("COM1"), ziel = dir.filePath("ttyUSB0");
        QVERIFY(QFile::link(ziel, com1));
        QVERIFY(marke.isEmpty() || DateiSchreiben(Simulatorlink::Markenpfad(com1), marke));
        VirtuellerAnschluss sim;
        QVERIFY(!sim.starten(1, dir.path()));
        QVERIFY2(sim.fehler().startsWith(com1 + " gibt es schon (Verweis auf " + ziel + ")"),
                 qPrintable(sim.fehler()));
        QCOMPARE(QFileInfo(com1).symLinkTarget(), ziel);
    }
}

void TestEndeZuEnde::signale_data() {
    QTest::addColumn<int>("signal");
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGKILL})
        QTest::newRow(strsignal(s)) << s;
}

// A signal it can catch ends zelkor-sim cleanly, link and marker gone. Killed, it leaves its link
// to a pseudo-terminal the system may give to the next program that asks: the program sends
// nothing through it, and the next controller replaces it.
void TestEndeZuEnde::signale() {
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString com1 = dir.filePath("COM1"), marke = Simulatorlink::Markenpfad(com1);
    QProcess sim;
    QVERIFY(simStarten(sim, dir.path(), {"-d", dir.path()}));
    QVERIFY(QFileInfo(marke).isFile());
    const qint64 prozess = sim.processId();
    setProgrammverzeichnis(dir.path());
    SerielleSchnittstelle port;
    // Looking at the link of a running controller takes nothing from it.
    QVERIFY(port.oeffnen(false));
    port.schliessen();
    VirtuellerAnschluss naechster;
    QVERIFY(!naechster.starten(1, dir.path()));
    QVERIFY2(naechster.fehler().contains(QStringLiteral("(Prozess %1)").arg(prozess)),
             qPrintable(naechster.fehler()));

    ::kill(pid_t(prozess), signal);
    QVERIFY(sim.waitForFinished(5000));
    if (signal != SIGKILL) {
        QVERIFY(sim.exitStatus() == QProcess::NormalExit && sim.exitCode() == 0);
        QVERIFY(!QFileInfo(com1).isSymLink() && !QFileInfo::exists(marke));
        return setProgrammverzeichnis(QString());
    }
    QVERIFY(QFileInfo(com1).isSymLink());
    QVERIFY(!SerielleSchnittstelle::LinkVorhanden(1));
    QVERIFY(!port.oeffnen(false));
    QVERIFY2(port.letzterFehler().contains(
                 QStringLiteral("virtuellen Controller, der nicht mehr läuft (Prozess %1)")
                     .arg(prozess)),
             qPrintable(port.letzterFehler()));

    QVERIFY2(naechster.starten(1, dir.path()), qPrintable(naechster.fehler()));
    QCOMPARE(QFileInfo(com1).symLinkTarget(), naechster.geraet());
    QVERIFY2(port.oeffnen(false), qPrintable(port.letzterFehler()));
    port.schliessen();
    setProgrammverzeichnis(QString());
}

// A flood keeps the last commands and, of a run, its first bytes and their count (the run's line
// once its window has passed, after the time of day).
void TestEndeZuEnde::speicherBleibtBegrenzt() {
    const QList<QPair<char, QString>> faelle{
        {char(7), "unbekannte Bytes: " + QString("7, ").repeated(16) + "… (20000 Bytes)"},
        {char(255), "Stopp (20000-mal)"},
        {char(4), QString()}};
    for (const auto &[byte, zeile] : faelle) {
        VirtuellerController c;
        c.empfangen(QByteArray(20000, byte), 1.0);
        QCOMPARE(c.ruhe(2.0).zeilen.join("\n").mid(14), zeile);
        QVERIFY(c.befehle().size() <= VirtuellerController::Verlauf);
        for (const DekodierterBefehl &b : c.befehle())
            QVERIFY(b.bytes.size() <= VirtuellerController::LaufBytes);
    }
}

QTEST_MAIN(TestEndeZuEnde)
#include "tst_ende_zu_ende.moc"
