// Start-up, the port dialog, the info window and ending the program, on the real main window
// with a pseudo-terminal as the controller's port.
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/FormInfo.h"
#include "app/PCSteuerung.h"
#include "app/Start.h"
#include "files/Programmverzeichnis.h"
#include "link/MsTimer.h"
#include "link/RSAdresse.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

void schreibeDatei(const QString &pfad, const QByteArray &inhalt) {
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.write(inhalt);
}

QByteArray leseDatei(const QString &pfad) {
    QFile datei(pfad);
    return datei.open(QIODevice::ReadOnly) ? datei.readAll() : QByteArray();
}

std::unique_ptr<PCSteuerung> starten() {
    StartAbgeschlossen = false;
    auto fenster = std::make_unique<PCSteuerung>();
    fenster->show();
    fenster->Laden();
    return fenster;
}

RSAdresse *portdialog(PCSteuerung &fenster) {
    return qobject_cast<RSAdresse *>(fenster.offenerDialog());
}

} // namespace

class TestHauptfenster : public QObject {
    Q_OBJECT
private slots:
    void startMitPort();
    void startOhnePort();
    void portdialogNachFehlstart();
    void portdialogAbbrechenStelltPortWiederHer();
    void portdialogSchliessfeldWieAbbrechen();
    void portdateiMitUnsinn();
    void infoFensterUndZurueck();
    void beendenSendetNichts();
    void splashZeigtSichVorDemHauptfenster();
};

void TestHauptfenster::startMitPort() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto fenster = starten();
    PCSteuerung &w = *fenster;
    QVERIFY(w.isEnabled());
    QVERIFY(!w.offenerDialog());
    QCOMPARE(w.windowTitle(),
             QStringLiteral("Orbalt-Werk     Zelkor-Positioniersteuerung: Unbenannt.orp"));
    QCOMPARE(w.namesData()->tabellenzeilen(), 1);
    QCOMPARE(w.namesData()->zellText(0), QStringLiteral("5000"));
    QCOMPARE(w.aktuelleZeile(), 0);
    QCOMPARE(w.FrameSatzparameter->title(), QStringLiteral("Satz - Parameter Satz 1"));
    QCOMPARE(w.TextStartfrequenz->text(), QStringLiteral("300"));
    QCOMPARE(w.TextMaximalfrequenz->text(), QStringLiteral("4000"));
    QCOMPARE(w.TextSatzdurchläufe->text(), QStringLiteral("1"));
    QCOMPARE(w.TextSatzpause->text(), QStringLiteral("10"));
    QVERIFY(w.OptionRampe2ms->isChecked());
    QVERIFY(w.OptionRechts->isChecked());
    QVERIFY(!w.Richtungsumkehrung->isChecked());
    QCOMPARE(w.CommandSatzstart->text(), QStringLiteral("Satz Nr. 1 starten"));
    QCOMPARE(w.TextProgrammdurchläufe->text(), QStringLiteral("1"));
    QCOMPARE(w.TextProgrammpause->text(), QStringLiteral("10"));
    QCOMPARE(w.TextBefehlspause->text(), QStringLiteral("10"));
    QCOMPARE(w.ProgrammSettings.AnzahlSätze(), qint16(1));
    QCOMPARE(w.ProgrammSettings.aktuellerSatz(), qint16(0));
    QCOMPARE(w.ProgrammSettings.Programmname(), QStringLiteral("Unbenannt.orp"));
    for (const Satz &s : w.SatzListe) {
        QCOMPARE(s.Schritte(), 5000);
        QCOMPARE(s.Startfrequenz(), 300);
        QCOMPARE(s.Maximalfrequenz(), 4000);
        QVERIFY(s.Satzdurchläufe().gleich(1));
        QCOMPARE(s.Satzpause(), 10);
        QVERIFY(s.Richtung().gleich(1));
        QVERIFY(!s.Richtungsumkehr());
        QCOMPARE(s.Rampe(), 1);
    }
    QVERIFY(StartAbgeschlossen);
    QVERIFY(SatzwechselAktiv);
    QCOMPARE(w.MSComm1->objectName(), QStringLiteral("MSComm1"));
    QCOMPARE(w.MSComm1->portnummer(), 1);
    QVERIFY(!w.MSComm1->istOffen());
    QTest::qWait(50);
    QCOMPARE(nachrichten.anzahl(), 0);
    // The probe opens and closes the port and sends nothing.
    QVERIFY(pty.lesen(0, 50).isEmpty());
}

void TestHauptfenster::startOhnePort() {
    PtyPaar pty; // COM1 exists, but the port file names port 99
    schreibeDatei(ProgrammDateipfad(QStringLiteral("port.txt")), "\"99\"\r\n");
    Nachrichtenfaenger nachrichten;
    auto fenster = starten();
    QVERIFY(!fenster->isEnabled());
    QCOMPARE(Portnummer, qint16(99));
    RSAdresse *dialog = portdialog(*fenster);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->TextPortnummer->text(), QStringLiteral("99"));
    // The dialog says why it came up, without a message box.
    QVERIFY2(dialog->letzterGrund().contains(QStringLiteral("COM99")),
             qPrintable(dialog->letzterGrund()));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Orbalt-Werk") + QString(28, QLatin1Char(' ')) +
                                        QStringLiteral("Porteinstellung"));
    QTest::qWait(50);
    QCOMPARE(nachrichten.anzahl(), 0);
    // Everything before the probe is in place.
    QCOMPARE(fenster->TextProgrammdurchläufe->text(), QStringLiteral("1"));
    QCOMPARE(fenster->CommandSatzstart->text(), QStringLiteral("Satz Nr. 1 starten"));
    delete dialog;
}

void TestHauptfenster::portdialogNachFehlstart() {
    PtyPaar pty(1);
    PtyPaar zweiter(2, pty);
    const QString portdatei = ProgrammDateipfad(QStringLiteral("port.txt"));
    schreibeDatei(portdatei, "\"5\"\r\n");
    Nachrichtenfaenger nachrichten;
    auto fenster = starten();
    RSAdresse *dialog = portdialog(*fenster);
    QVERIFY(dialog);
    QPointer<RSAdresse> beobachter(dialog);

    // Letters and a port that does not exist: the dialog stays, nothing is written.
    for (const QString &eingabe : {QStringLiteral("abc"), QStringLiteral("7"), QStringLiteral("0"),
                                   QStringLiteral("70000")}) {
        dialog->TextPortnummer->setText(eingabe);
        QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
        QVERIFY(beobachter);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->TextPortnummer->text(), eingabe);
        QVERIFY(!fenster->isEnabled());
        QVERIFY(!dialog->letzterGrund().isEmpty());
        QCOMPARE(leseDatei(portdatei), QByteArray("\"5\"\r\n"));
        if (eingabe == QStringLiteral("7"))
            QVERIFY(dialog->LabelGeraet->text().contains(QStringLiteral("/dev/ttyS6")));
    }

    dialog->TextPortnummer->setText(QStringLiteral("2"));
    QVERIFY(dialog->LabelGeraet->text().contains(zweiter.slavePfad()));
    QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
    QTRY_VERIFY(!beobachter);
    QVERIFY(fenster->isEnabled());
    QCOMPARE(leseDatei(portdatei), QByteArray("\"2\"\r\n"));
    QCOMPARE(fenster->MSComm1->portnummer(), 2);
    QCOMPARE(nachrichten.anzahl(), 0);
    QVERIFY(pty.lesen(0, 20).isEmpty());
    QVERIFY(zweiter.lesen(0, 20).isEmpty());
}

void TestHauptfenster::portdialogAbbrechenStelltPortWiederHer() {
    PtyPaar pty;
    auto fenster = starten();
    QVERIFY(fenster->isEnabled());
    fenster->Schnittstelle->trigger();
    QVERIFY(!fenster->isEnabled());
    RSAdresse *dialog = portdialog(*fenster);
    QVERIFY(dialog);
    QCOMPARE(dialog->TextPortnummer->text(), QStringLiteral("1")); // no port file yet
    QPointer<RSAdresse> beobachter(dialog);
    dialog->TextPortnummer->setText(QStringLiteral("9"));
    QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
    QVERIFY(beobachter);
    QTest::mouseClick(dialog->CommandAbbrechen, Qt::LeftButton);
    QTRY_VERIFY(!beobachter);
    QVERIFY(fenster->isEnabled());
    QCOMPARE(fenster->MSComm1->portnummer(), 1);
    QVERIFY(!QFile::exists(ProgrammDateipfad(QStringLiteral("port.txt"))));
}

void TestHauptfenster::portdialogSchliessfeldWieAbbrechen() {
    PtyPaar pty;
    auto fenster = starten();
    fenster->Schnittstelle->trigger();
    QPointer<RSAdresse> dialog = portdialog(*fenster);
    QVERIFY(dialog);
    dialog->close();
    QTRY_VERIFY(!dialog);
    QVERIFY(fenster->isEnabled());
}

void TestHauptfenster::portdateiMitUnsinn() {
    PtyPaar pty;
    schreibeDatei(ProgrammDateipfad(QStringLiteral("port.txt")), "\"COM\"\r\n");
    auto fenster = starten();
    QCOMPARE(Portnummer, qint16(1));
    QVERIFY(fenster->isEnabled());
    fenster->Schnittstelle->trigger();
    RSAdresse *dialog = portdialog(*fenster);
    QVERIFY(dialog);
    QCOMPARE(dialog->TextPortnummer->text(), QString());
    delete dialog;
}

void TestHauptfenster::infoFensterUndZurueck() {
    PtyPaar pty;
    auto fenster = starten();
    for (bool mitSchliessfeld : {false, true}) {
        fenster->Info->trigger();
        QPointer<FormInfo> info = qobject_cast<FormInfo *>(fenster->offenerDialog());
        QVERIFY(info);
        QVERIFY(info->isVisible());
        QVERIFY(!fenster->isEnabled());
        // While the info window is open the main window's commands do not react.
        QTest::mouseClick(fenster->CommandProgrammstart, Qt::LeftButton);
        QVERIFY(pty.lesen(0, 30).isEmpty());
        if (mitSchliessfeld)
            info->close();
        else
            QTest::mouseClick(info->CommandOK, Qt::LeftButton);
        QTRY_VERIFY(!info);
        QVERIFY(fenster->isEnabled());
    }
}

void TestHauptfenster::beendenSendetNichts() {
    PtyPaar pty;
    auto fenster = starten();
    fenster->Beenden->trigger();
    QVERIFY(!fenster->isVisible());
    QVERIFY(pty.lesen(0, 50).isEmpty());
    QVERIFY(!QFile::exists(ProgrammDateipfad(QStringLiteral("port.txt"))));
}

void TestHauptfenster::splashZeigtSichVorDemHauptfenster() {
    PtyPaar pty;
    const double anfang = MsTimer::Uhr();
    std::unique_ptr<PCSteuerung> fenster(ProgrammStarten(2.0));
    QVERIFY(MsTimer::Uhr() - anfang >= 2.0);
    QVERIFY(fenster->istGeladen());
    QVERIFY(fenster->isVisible());
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(w->objectName() != QStringLiteral("Begrüßungsbildschirm") || !w->isVisible());
}

QTEST_MAIN(TestHauptfenster)
#include "tst_hauptfenster.moc"
