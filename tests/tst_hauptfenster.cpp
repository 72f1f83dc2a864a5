// Start-up, the port dialog, the info window, the look of the three command dialogs, the
// controller settings and ending the program, on the real main window with a pseudo-terminal
// as the controller's port.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "app/FormInfo.h"
#include "app/Start.h"
#include "dialogs/RSAdresse.h"
#include "dialogs/ZelkorEinstellungen.h"
#include "files/Kleindateien.h"
#include "files/Programmverzeichnis.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"
#include "model/NamesData.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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

// Mode, current and reduction as the settings dialog shows them: "Halbschritt|2,5 A|Ein".
QString Gezeigt(const ZelkorEinstellungen *d) {
    const bool ein = d->OptionAbsenkungEin->isChecked();
    if (ein == d->OptionAbsenkungAus->isChecked())
        return QStringLiteral("beide Optionen gleich");
    return d->ComboSchrittmodus->currentText() + "|" + d->ComboPhasenstrom->currentText() + "|" +
           (ein ? "Ein" : "Aus");
}

// A command dialog as its menu entry opens it: the title's blanks and text, the size, the
// control with the focus, whether the port stays open, the bytes on opening, and the button
// that leaves with the bytes it sends.
struct Dialogfall {
    QAction *PCSteuerung::*aktion;
    int abstand;
    QString titel;
    QSize groesse;
    bool offen;
    QByteArray beimOeffnen;
    QString zurueck;
    QByteArray beimVerlassen;
    QString fokus;
};

} // namespace
Q_DECLARE_METATYPE(Dialogfall)

class TestHauptfenster : public QObject {
    Q_OBJECT
private slots:
    void startMitPort();
    void portdialog();
    void infoFensterUndBeenden();
    void splashVorDemHauptfenster();
    void dialogfenster_data();
    void dialogfenster();
    void einstellungen_data();
    void einstellungen();
};

void TestHauptfenster::startMitPort() {
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    QVERIFY(w.isEnabled() && !w.offenerDialog());
    QCOMPARE(w.windowTitle(), Hauptfenstertitel);
    QStringList felder{w.namesData()->zellText(0), w.FrameSatzparameter->title(),
                       w.CommandSatzstart->text()};
    for (QLineEdit *f :
         {w.TextStartfrequenz, w.TextMaximalfrequenz, w.TextSatzdurchläufe, w.TextSatzpause,
          w.TextProgrammdurchläufe, w.TextProgrammpause, w.TextBefehlspause})
        felder << f->text();
    QCOMPARE(felder, QStringList({"5000", "Satz - Parameter Satz 1", "Satz Nr. 1 starten", "300",
                                  "4000", "1", "10", "1", "10", "10"}));
    QCOMPARE(w.namesData()->tabellenzeilen(), 1);
    QVERIFY(w.OptionRampe2ms->isChecked() && w.OptionRechts->isChecked());
    QVERIFY(!w.Richtungsumkehrung->isChecked());
    QCOMPARE(w.MSComm1->portnummer(), 1);
    // The probe opens and closes the port, sends nothing and says nothing.
    QVERIFY(!w.MSComm1->istOffen());
    QCOMPARE(u.nachlauf(50), QByteArray());
    QCOMPARE(u.meldungen(), QStringList());
}

void TestHauptfenster::portdialog() {
    // COM1 exists, but the port file names port 99: the dialog comes up at once, says why
    // without a message box; everything before the probe is in place.
    Fensterumgebung u("\"99\"\r\n");
    PtyPaar zweiter(2, u.pty);
    auto *dialog = qobject_cast<RSAdresse *>(u.w().offenerDialog());
    QVERIFY(dialog && dialog->isVisible() && !u.w().isEnabled());
    QPointer<RSAdresse> beobachter(dialog);
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    QCOMPARE(dialog->windowTitle(),
             "Orbalt-Werk" + QString(28, QLatin1Char(' ')) + "Porteinstellung");
    QCOMPARE(dialog->TextPortnummer->text(), QString("99"));
    QVERIFY2(dialog->letzterGrund().contains("COM99"), qPrintable(dialog->letzterGrund()));
    QVERIFY(u.nachlauf(50).isEmpty() && u.meldungen().isEmpty());
    QCOMPARE(u.w().windowTitle(), Hauptfenstertitel);
    QCOMPARE(u.w().CommandSatzstart->text(), QString("Satz Nr. 1 starten"));

    // Letters and ports that do not exist: the dialog stays, says why, nothing is written.
    for (const char *eingabe : {"abc", "7", "0", "70000"}) {
        dialog->TextPortnummer->setText(eingabe);
        QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
        QVERIFY(beobachter && dialog->isVisible() && !u.w().isEnabled());
        QCOMPARE(dialog->TextPortnummer->text(), QString(eingabe));
        QVERIFY(!dialog->letzterGrund().isEmpty());
        QCOMPARE(DateiInhalt(Portdatei()), QByteArray("\"99\"\r\n"));
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

    // Opened from the menu, tried with a port that does not open, then left by "Abbrechen" or
    // the close box: the port and the file stay.
    for (bool schliessfeld : {false, true}) {
        dialog = u.oeffnen<RSAdresse>(u.w().Schnittstelle);
        QVERIFY(dialog && !u.w().isEnabled());
        QCOMPARE(dialog->TextPortnummer->text(), QString("2"));
        beobachter = dialog;
        dialog->TextPortnummer->setText("9");
        QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
        QVERIFY(beobachter);
        if (schliessfeld)
            dialog->close();
        else
            QTest::mouseClick(dialog->CommandAbbrechen, Qt::LeftButton);
        QVERIFY(u.dialogBeendet());
        QCOMPARE(u.w().MSComm1->portnummer(), 2);
        QCOMPARE(DateiInhalt(Portdatei()), QByteArray("\"2\"\r\n"));
    }
    QCOMPARE(u.meldungen(), QStringList());
    QCOMPARE(u.nachlauf() + zweiter.lesen(), QByteArray());
}

void TestHauptfenster::infoFensterUndBeenden() {
    Fensterumgebung u;
    for (bool schliessfeld : {false, true}) {
        auto *info = u.oeffnen<FormInfo>(u.w().Info);
        QVERIFY(info && info->isVisible() && !u.w().isEnabled());
        QCOMPARE(info->palette().color(QPalette::Window), QColor(Qt::white));
        // While it is open the main window's commands do not react.
        QTest::mouseClick(u.w().CommandProgrammstart, Qt::LeftButton);
        QCOMPARE(u.nachlauf(), QByteArray());
        if (schliessfeld)
            info->close();
        else
            QTest::mouseClick(info->CommandOK, Qt::LeftButton);
        QVERIFY(u.dialogBeendet());
    }
    // Ending sends nothing and writes no port file.
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

void TestHauptfenster::dialogfenster_data() {
    QTest::addColumn<Dialogfall>("f");
    const auto zeile = [](const Dialogfall &f) { QTest::newRow(qPrintable(f.titel)) << f; };
    zeile({&PCSteuerung::Manuell, 82, "Manuelle Fahrt", QSize(512, 283), true, Bytes({2}),
           "CommandZurück", Bytes({0}), "CommandLinksEinzel"});
    zeile({&PCSteuerung::Referenzfahrt, 63, "Referenzfahrt", QSize(431, 178), true, "", "CommandOK",
           "", "CommandOK"});
    zeile({&PCSteuerung::Parameter, 89, "Zelkor-Modus", QSize(534, 175), false, "",
           "CommandAbbrechen", "", "CommandAbbrechen"});
}

void TestHauptfenster::dialogfenster() {
    QFETCH(Dialogfall, f);
    Fensterumgebung u;
    (u.w().*f.aktion)->trigger();
    QWidget *d = u.w().offenerDialog();
    QVERIFY(d && d->isVisible() && !d->isModal() && !u.w().isEnabled());
    QCOMPARE(d->windowTitle(), "Orbalt-Werk" + QString(f.abstand, QLatin1Char(' ')) + f.titel);
    QCOMPARE(d->size(), f.groesse);
    QCOMPARE(d->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(Schriftabweichungen(d), QStringList());
    QCOMPARE(d->focusWidget()->objectName(), f.fokus);
    // Opening sends only what the row says; leaving sends its bytes and closes the port.
    QCOMPARE(u.w().MSComm1->istOffen(), f.offen);
    QCOMPARE(u.pty.lesen(int(f.beimOeffnen.size())) + u.nachlauf(), f.beimOeffnen);
    QTest::mouseClick(d->findChild<QPushButton *>(f.zurueck), Qt::LeftButton);
    QCOMPARE(u.pty.lesen(int(f.beimVerlassen.size())), f.beimVerlassen);
    QVERIFY(u.dialogBeendet());
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(u.mitschnitt->bytes(), f.beimOeffnen + f.beimVerlassen);
    QCOMPARE(u.meldungen(), QStringList());
}

void TestHauptfenster::einstellungen_data() {
    QTest::addColumn<QByteArray>("vorher"); // zelkor.txt before ("-": none)
    QTest::addColumn<QString>("gezeigt");   // mode|current|Ein or Aus, on opening
    QTest::addColumn<QString>("gewaehlt");  // and as chosen
    QTest::addColumn<QString>("weg");       // the button, or the close box
    QTest::addColumn<QByteArray>("erwartet");
    QTest::addColumn<QString>("fehlschlag"); // COM32000: port fails; zelkor.txt: not writable
    const QByteArray achtel("\"Achtelschritt\"\r\n\"3,5 A\"\r\n\"0\"\r\n");
    const QByteArray unbekannt("\"Drittelschritt\"\r\n\"7,0 A\"\r\n\"0\"\r\n");
    const QString vorgabe = "Halbschritt|2,5 A|Ein", aus = "Halbschritt|2,5 A|Aus";
    const auto zeile = [](const char *name, const QByteArray &vorher, const QString &gezeigt,
                          const QString &gewaehlt, const char *weg, const QByteArray &erwartet,
                          const char *fehlschlag = "") {
        QTest::newRow(name) << vorher << gezeigt << gewaehlt << QString(weg) << erwartet
                            << QString(fehlschlag);
    };
    zeile("Vorgaben", "-", vorgabe, vorgabe, "Übernehmen", Bytes({1, 1, 1, 0}));
    zeile("Zehntelschritt", "-", vorgabe, "Zehntelschritt|6,0 A|Aus", "Übernehmen",
          Bytes({1, 5, 128, 1}));
    zeile("Vollschritt über dritten Wert 0", achtel, "Achtelschritt|3,5 A|Aus",
          "Vollschritt|4,0 A|Ein", "Übernehmen", Bytes({1, 0, 8, 0}));
    zeile("Fünftelschritt über unbekannte Einträge", unbekannt, aus, "Fünftelschritt|5,5 A|Aus",
          "Übernehmen", Bytes({1, 3, 64, 1}));
    zeile("Abbrechen bei leerer Datei", "", vorgabe, "Zehntelschritt|6,0 A|Aus", "Abbrechen", {});
    zeile("Schliessfeld", achtel, "Achtelschritt|3,5 A|Aus", "Zehntelschritt|6,0 A|Ein",
          "Schliessfeld", {});
    zeile("Port fehlt", "-", vorgabe, aus, "Übernehmen", {}, "COM32000");
    zeile("Datei nicht schreibbar", "-", vorgabe, aus, "Übernehmen", Bytes({1, 1, 1, 1}),
          "zelkor.txt");
}

void TestHauptfenster::einstellungen() {
    // The dialog shows the file. "Übernehmen" sends the settings in one write of four bytes,
    // no pause anywhere, when the port opens, and writes the file when it can; the operator is
    // told once about what failed. Left otherwise, it sends nothing and the file stays.
    QFETCH(QByteArray, vorher);
    QFETCH(QString, gezeigt);
    QFETCH(QString, gewaehlt);
    QFETCH(QString, weg);
    QFETCH(QByteArray, erwartet);
    QFETCH(QString, fehlschlag);
    Fensterumgebung u;
    const QString pfad = Dateizugriff::ZelkorDateipfad();
    if (fehlschlag == "COM32000")
        QVERIFY(u.w().MSComm1->setPortnummer(32000));
    else if (!fehlschlag.isEmpty())
        QVERIFY(QDir().mkpath(pfad));
    if (vorher != "-")
        QVERIFY(DateiSchreiben(pfad, vorher));
    auto *d = u.oeffnen<ZelkorEinstellungen>(u.w().Parameter);
    QVERIFY(d);
    QCOMPARE(Gezeigt(d), gezeigt);
    QVERIFY(!d->ComboSchrittmodus->isEditable() && !d->ComboPhasenstrom->isEditable());
    QStringList eintraege;
    for (QComboBox *liste : {d->ComboSchrittmodus, d->ComboPhasenstrom})
        for (int i = 0; i < liste->count(); ++i)
            eintraege << liste->itemText(i);
    QCOMPARE(eintraege.join('|'), "Vollschritt|Halbschritt|Viertelschritt|Fünftelschritt|"
                                  "Achtelschritt|Zehntelschritt|2,5 A|3,0 A|3,5 A|4,0 A|4,5 A|"
                                  "5,0 A|5,5 A|6,0 A");
    const QStringList werte = gewaehlt.split('|');
    d->ComboSchrittmodus->setCurrentText(werte[0]);
    d->ComboPhasenstrom->setCurrentText(werte[1]);
    QTest::mouseClick(werte[2] == "Ein" ? d->OptionAbsenkungEin : d->OptionAbsenkungAus,
                      Qt::LeftButton);
    if (weg == "Schliessfeld")
        d->close();
    else
        QTest::mouseClick(d->findChild<QPushButton *>("Command" + weg), Qt::LeftButton);
    QCOMPARE(u.pty.lesen(int(erwartet.size())) + u.nachlauf(), erwartet);
    QCOMPARE(u.mitschnitt->bytes(), erwartet);
    for (int i = 1; i < u.mitschnitt->anzahl(); ++i)
        QCOMPARE(u.mitschnitt->zeit(i), u.mitschnitt->zeit(0));
    QVERIFY(u.dialogBeendet());
    const QString datei = "\"" + werte[0] + "\"\r\n\"" + werte[1] + "\"\r\n\"" +
                          (werte[2] == "Ein" ? "1" : "0") + "\"\r\n";
    if (weg != "Übernehmen")
        QCOMPARE(DateiInhalt(pfad), vorher);
    else if (fehlschlag != "zelkor.txt")
        QCOMPARE(DateiInhalt(pfad), datei.toUtf8());
    if (fehlschlag.isEmpty())
        QCOMPARE(u.meldungen(), QStringList());
    else
        QVERIFY2(u.meldungen().size() == 1 && u.meldungen()[0].startsWith("Zelkor_V2: ") &&
                     u.meldungen()[0].contains(fehlschlag),
                 qPrintable(u.meldungen().join('\n')));
}

QTEST_MAIN(TestHauptfenster)
#include "tst_hauptfenster.moc"
