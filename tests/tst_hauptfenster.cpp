// Start-up, the port dialog, the info window and ending the program, on the real main window
// with a pseudo-terminal as the controller's port.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "app/FormInfo.h"
#include "app/Start.h"
#include "dialogs/RSAdresse.h"
#include "files/Programmverzeichnis.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"
#include "model/NamesData.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QString Hauptfenstertitel = "Orbalt-Werk     Zelkor-Positioniersteuerung: Unbenannt.orp";

QString Portdatei() {
    return ProgrammDateipfad("port.txt");
}

} // namespace

class TestHauptfenster : public QObject {
    Q_OBJECT
private slots:
    void startMitPort();
    void startOhnePort();
    void portdialogNachFehlstart();
    void portdialogVerlassen_data();
    void portdialogVerlassen();
    void infoFenster();
    void beendenSendetNichts();
    void splashVorDemHauptfenster();
};

void TestHauptfenster::startMitPort() {
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    QVERIFY(w.isEnabled());
    QVERIFY(!w.offenerDialog());
    QCOMPARE(w.windowTitle(), Hauptfenstertitel);
    QCOMPARE(w.namesData()->tabellenzeilen(), 1);
    QCOMPARE(w.namesData()->zellText(0), QString("5000"));
    QCOMPARE(w.FrameSatzparameter->title(), QString("Satz - Parameter Satz 1"));
    QCOMPARE(w.CommandSatzstart->text(), QString("Satz Nr. 1 starten"));
    QStringList felder;
    for (QLineEdit *f :
         {w.TextStartfrequenz, w.TextMaximalfrequenz, w.TextSatzdurchläufe, w.TextSatzpause,
          w.TextProgrammdurchläufe, w.TextProgrammpause, w.TextBefehlspause})
        felder << f->text();
    QCOMPARE(felder, QStringList({"300", "4000", "1", "10", "1", "10", "10"}));
    QVERIFY(w.OptionRampe2ms->isChecked() && w.OptionRechts->isChecked());
    QVERIFY(!w.Richtungsumkehrung->isChecked());
    QCOMPARE(w.MSComm1->portnummer(), 1);
    // The probe opens and closes the port, sends nothing and says nothing.
    QVERIFY(!w.MSComm1->istOffen());
    QCOMPARE(u.nachlauf(50), QByteArray());
    QCOMPARE(u.meldungen(), QStringList());
}

void TestHauptfenster::startOhnePort() {
    Fensterumgebung u("\"99\"\r\n"); // COM1 exists, but the port file names port 99
    QVERIFY(!u.w().isEnabled());
    auto *dialog = qobject_cast<RSAdresse *>(u.w().offenerDialog());
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    QCOMPARE(dialog->windowTitle(),
             "Orbalt-Werk" + QString(28, QLatin1Char(' ')) + "Porteinstellung");
    QCOMPARE(dialog->TextPortnummer->text(), QString("99"));
    // The dialog says why it came up, without a message box.
    QVERIFY2(dialog->letzterGrund().contains("COM99"), qPrintable(dialog->letzterGrund()));
    QCOMPARE(u.nachlauf(50), QByteArray());
    QCOMPARE(u.meldungen(), QStringList());
    // Everything before the probe is in place.
    QCOMPARE(u.w().windowTitle(), Hauptfenstertitel);
    QCOMPARE(u.w().CommandSatzstart->text(), QString("Satz Nr. 1 starten"));
    delete dialog;
}

void TestHauptfenster::portdialogNachFehlstart() {
    Fensterumgebung u("\"5\"\r\n");
    PtyPaar zweiter(2, u.pty);
    auto *dialog = qobject_cast<RSAdresse *>(u.w().offenerDialog());
    QVERIFY(dialog);
    QPointer<RSAdresse> beobachter(dialog);

    // Letters and ports that do not exist: the dialog stays, says why, nothing is written.
    for (const char *eingabe : {"abc", "7", "0", "70000"}) {
        dialog->TextPortnummer->setText(eingabe);
        QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
        QVERIFY(beobachter && dialog->isVisible());
        QCOMPARE(dialog->TextPortnummer->text(), QString(eingabe));
        QVERIFY(!u.w().isEnabled());
        QVERIFY(!dialog->letzterGrund().isEmpty());
        QCOMPARE(DateiInhalt(Portdatei()), QByteArray("\"5\"\r\n"));
    }
    dialog->TextPortnummer->setText("7");
    QVERIFY(dialog->LabelGeraet->text().contains("/dev/ttyS6"));

    // A port that opens: the dialog goes, the file takes its number.
    dialog->TextPortnummer->setText("2");
    QVERIFY(dialog->LabelGeraet->text().contains(zweiter.slavePfad()));
    QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
    QVERIFY(u.dialogBeendet());
    QCOMPARE(DateiInhalt(Portdatei()), QByteArray("\"2\"\r\n"));
    QCOMPARE(u.w().MSComm1->portnummer(), 2);
    QCOMPARE(u.meldungen(), QStringList());
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(zweiter.lesen(), QByteArray());
}

void TestHauptfenster::portdialogVerlassen_data() {
    QTest::addColumn<bool>("schliessfeld");
    QTest::newRow("Abbrechen") << false;
    QTest::newRow("Schliessfeld") << true;
}

void TestHauptfenster::portdialogVerlassen() {
    // Opened from the menu, tried with a port that does not open, then left: the old port
    // stays and no file is written.
    QFETCH(bool, schliessfeld);
    Fensterumgebung u;
    auto *dialog = u.oeffnen<RSAdresse>(u.w().Schnittstelle);
    QVERIFY(dialog);
    QVERIFY(!u.w().isEnabled());
    QCOMPARE(dialog->TextPortnummer->text(), QString("1"));
    QPointer<RSAdresse> beobachter(dialog);
    dialog->TextPortnummer->setText("9");
    QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
    QVERIFY(beobachter);
    if (schliessfeld)
        dialog->close();
    else
        QTest::mouseClick(dialog->CommandAbbrechen, Qt::LeftButton);
    QVERIFY(u.dialogBeendet());
    QCOMPARE(u.w().MSComm1->portnummer(), 1);
    QVERIFY(!QFile::exists(Portdatei()));
}

void TestHauptfenster::infoFenster() {
    Fensterumgebung u;
    for (bool schliessfeld : {false, true}) {
        auto *info = u.oeffnen<FormInfo>(u.w().Info);
        QVERIFY(info && info->isVisible());
        QVERIFY(!u.w().isEnabled());
        // While it is open the main window's commands do not react.
        QTest::mouseClick(u.w().CommandProgrammstart, Qt::LeftButton);
        QCOMPARE(u.nachlauf(), QByteArray());
        if (schliessfeld)
            info->close();
        else
            QTest::mouseClick(info->CommandOK, Qt::LeftButton);
        QVERIFY(u.dialogBeendet());
    }
}

void TestHauptfenster::beendenSendetNichts() {
    Fensterumgebung u;
    u.w().Beenden->trigger();
    QVERIFY(!u.w().isVisible());
    QCOMPARE(u.nachlauf(50), QByteArray());
    QVERIFY(!QFile::exists(Portdatei()));
}

void TestHauptfenster::splashVorDemHauptfenster() {
    PtyPaar pty;
    const double anfang = MsTimer::Uhr();
    std::unique_ptr<PCSteuerung> fenster(ProgrammStarten(2.0));
    QVERIFY(MsTimer::Uhr() - anfang >= 2.0);
    QVERIFY(fenster->istGeladen() && fenster->isVisible());
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(w->objectName() != "Begrüßungsbildschirm" || !w->isVisible());
}

QTEST_MAIN(TestHauptfenster)
#include "tst_hauptfenster.moc"
