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
#include "gestaltung/Linie.h"
#include "link/MsTimer.h"
#include "link/SerielleSchnittstelle.h"
#include "model/NamesData.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString Hauptfenstertitel = "Orbalt-Werk     Zelkor-Positioniersteuerung: Unbenannt.orp";

// zelkor.txt holding these values ("Achtelschritt/3,5 A/0"; none: an empty file).
QByteArray Zelkordatei(const QString &werte) {
    QByteArray d;
    for (const QString &w : werte.split('/', Qt::SkipEmptyParts))
        d += "\"" + w.toUtf8() + "\"\r\n";
    return d;
}

} // namespace

class TestHauptfenster : public QObject {
    Q_OBJECT
private slots:
    void startInfoUndBeenden() {
        Fensterumgebung u;
        PCSteuerung &w = u.w();
        QStringList felder{w.windowTitle(), w.namesData()->zellText(0),
                           w.FrameSatzparameter->title(), w.CommandSatzstart->text()};
        for (QLineEdit *f :
             {w.TextStartfrequenz, w.TextMaximalfrequenz, w.TextSatzdurchläufe, w.TextSatzpause,
              w.TextProgrammdurchläufe, w.TextProgrammpause, w.TextBefehlspause})
            felder << f->text();
        for (bool b : {w.OptionRampe2ms->isChecked(), w.OptionRechts->isChecked(),
                       w.Richtungsumkehrung->isChecked(), w.isEnabled(), !w.offenerDialog(),
                       w.MSComm1->istOffen()})
            felder << QString::number(b);
        felder << QString::number(w.namesData()->tabellenzeilen() * 10 + w.MSComm1->portnummer());
        QStringList linien; // the top edge and the ramp drawing, all shown
        for (const Linie *l : w.findChildren<Linie *>())
            linien << (l->isVisible() ? l->objectName() : "");
        felder << (linien.sort(), linien.join(' '));
        QCOMPARE(
            felder,
            QStringList({Hauptfenstertitel, "5000", "Satz - Parameter Satz 1", "Satz Nr. 1 starten",
                         "300", "4000", "1", "10", "1", "10", "10", "1", "1", "0", "1", "1", "0",
                         "11", "Line1 Line10 Line2 Line3 Line4 Line5 Line6 Line7 Line8 Line9"}));
        for (bool schliessfeld : {false, true}) {
            auto *info = u.oeffnen<FormInfo>(w.Info);
            QVERIFY(info && info->isVisible() && !w.isEnabled());
            QCOMPARE(info->palette().color(QPalette::Window), QColor(Qt::white));
            // While it is open the main window's commands do not react.
            QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
            QCOMPARE(u.nachlauf(), QByteArray());
            schliessfeld ? void(info->close()) : QTest::mouseClick(info->CommandOK, Qt::LeftButton);
            QVERIFY(u.dialogBeendet());
        }
        // Neither the probe (it opens and closes the port), the info window nor ending sends or
        // says anything; ending writes no port file.
        w.Beenden->trigger();
        QCOMPARE(u.nachlauf(50), QByteArray());
        QCOMPARE(u.meldungen(), QStringList());
        QVERIFY(!QFile::exists(ProgrammDateipfad("port.txt")));
    }

    void portdialog() {
        // COM1 exists, but the port file names port 99: the dialog comes up at once, says why
        // without a message box; everything before the probe is in place.
        Fensterumgebung u("\"99\"\r\n");
        const QString portdatei = ProgrammDateipfad("port.txt");
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
            QVERIFY(beobachter && dialog->isVisible() && !u.w().isEnabled() &&
                    !dialog->letzterGrund().isEmpty());
            QCOMPARE(dialog->TextPortnummer->text() + DateiInhalt(portdatei),
                     eingabe + QString("\"99\"\r\n"));
        }
        // The devices there are: port links in the order of their numbers, nothing else.
        for (const char *name : {"COM10", "compile_commands.json", "COM01", "COM3x", "COM40000"})
            QVERIFY(DateiSchreiben(ProgrammDateipfad(name), "-"));
        dialog->TextPortnummer->setText("7");
        QVERIFY(dialog->LabelGeraet->text().contains("/dev/ttyS6"));
        QVERIFY2(QRegularExpression("\nVorhanden: COM1, COM2, COM10(, /dev/[^ ,]+)*$")
                     .match(dialog->LabelGeraet->text())
                     .hasMatch(),
                 qPrintable(dialog->LabelGeraet->text()));

        // A port that opens: the dialog goes, the file takes its number.
        dialog->TextPortnummer->setText("2");
        QVERIFY(dialog->LabelGeraet->text().contains(zweiter.slavePfad()));
        QTest::mouseClick(dialog->CommandÜbernehmen, Qt::LeftButton);
        QVERIFY(u.dialogBeendet());
        QCOMPARE(DateiInhalt(portdatei), QByteArray("\"2\"\r\n"));
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
            schliessfeld ? void(dialog->close())
                         : QTest::mouseClick(dialog->CommandAbbrechen, Qt::LeftButton);
            QVERIFY(u.dialogBeendet());
            QCOMPARE(u.w().MSComm1->portnummer(), 2);
            QCOMPARE(DateiInhalt(portdatei), QByteArray("\"2\"\r\n"));
        }
        QCOMPARE(u.meldungen(), QStringList());
        QCOMPARE(u.nachlauf() + zweiter.lesen(), QByteArray());
    }

    void splashVorDemHauptfenster() {
        PtyPaar pty;
        const double anfang = MsTimer::Uhr();
        std::unique_ptr<PCSteuerung> fenster(ProgrammStarten(2.0));
        QVERIFY(MsTimer::Uhr() - anfang >= 2.0);
        QVERIFY(fenster->istGeladen() && fenster->isVisible());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(w->objectName() != "Begrüßungsbildschirm" || !w->isVisible());
    }

    void dialogfenster() {
        // The command dialogs one after the other as their menu entries open them: the title's
        // blanks and text, the size, whether the port stays open, the bytes on opening (hex), the
        // button that leaves with the bytes it sends, the control with the focus.
        Fensterumgebung u;
        QByteArray gesendet;
        for (const QStringList &f :
             Faelle("Manuell;82;Manuelle Fahrt;512x283;1;02;CommandZurück;00;CommandLinksEinzel|"
                    "Referenzfahrt;63;Referenzfahrt;431x178;1;;CommandOK;;CommandOK|"
                    "Parameter;89;Zelkor-Modus;534x175;0;;CommandAbbrechen;;CommandAbbrechen")) {
            QWidget *d = u.oeffnen<QWidget>(u.w().findChild<QAction *>(f[0]));
            QVERIFY(d && d->isVisible() && !d->isModal() && !u.w().isEnabled());
            QCOMPARE(d->windowTitle(),
                     "Orbalt-Werk" + QString(f[1].toInt(), QLatin1Char(' ')) + f[2]);
            QCOMPARE(QString("%1x%2").arg(d->width()).arg(d->height()), f[3]);
            QCOMPARE(d->palette().color(QPalette::Window), QColor(Qt::white));
            QCOMPARE(Schriftabweichungen(d), QStringList());
            QCOMPARE(d->focusWidget()->objectName(), f[8]);
            // Opening sends only what the row says; leaving sends its bytes and closes the port.
            QCOMPARE(u.w().MSComm1->istOffen(), f[4] == "1");
            const QByteArray auf = QByteArray::fromHex(f[5].toLatin1()),
                             zu = QByteArray::fromHex(f[7].toLatin1());
            QCOMPARE(u.pty.lesen(int(auf.size())) + u.nachlauf(), auf);
            QTest::mouseClick(d->findChild<QPushButton *>(f[6]), Qt::LeftButton);
            QCOMPARE(u.pty.lesen(int(zu.size())), zu);
            QVERIFY(u.dialogBeendet());
            QCOMPARE(u.nachlauf(), QByteArray());
            QCOMPARE(u.mitschnitt->bytes(), gesendet += auf + zu);
        }
        QCOMPARE(u.meldungen(), QStringList());
    }

    void einstellungen_data() {
        // zelkor.txt before ("-": none); mode/current/reduction on opening, and as chosen; the
        // button, or the close box; the bytes sent, in hex; what fails (COM32000: the port opens
        // not; zelkor.txt: the file cannot be written).
        QTest::addColumn<QStringList>("f");
        QString t = "Vorgaben;-;{V}Ein;{V}Ein;Übernehmen;01010100;|"
                    "Zehntelschritt;-;{V}Ein;Zehntelschritt/6,0 A/Aus;Übernehmen;01058001;|"
                    "Vollschritt über dritten Wert 0;{A}0;{A}Aus;Vollschritt/4,0 A/Ein;Übernehmen;"
                    "01000800;|"
                    "Fünftelschritt über unbekannte Einträge;Drittelschritt/7,0 A/0;{V}Aus;"
                    "Fünftelschritt/5,5 A/Aus;Übernehmen;01034001;|"
                    "Abbrechen bei leerer Datei;;{V}Ein;Zehntelschritt/6,0 A/Aus;Abbrechen;;|"
                    "Schliessfeld;{A}0;{A}Aus;Zehntelschritt/6,0 A/Ein;Schliessfeld;;|"
                    "Port fehlt;-;{V}Ein;{V}Aus;Übernehmen;;COM32000|"
                    "Datei nicht schreibbar;-;{V}Ein;{V}Aus;Übernehmen;01010101;zelkor.txt";
        t.replace("{A}", "Achtelschritt/3,5 A/").replace("{V}", "Halbschritt/2,5 A/");
        for (const QStringList &f : Faelle(t))
            QTest::newRow(qPrintable(f[0])) << f;
    }

    void einstellungen() {
        // The dialog shows the file. "Übernehmen" sends the settings in one write of four bytes,
        // no pause anywhere, when the port opens, and writes the file when it can; the operator is
        // told once about what failed. Left otherwise, it sends nothing and the file stays.
        QFETCH(QStringList, f);
        Fensterumgebung u;
        const QString pfad = Dateizugriff::ZelkorDateipfad(), fehlschlag = f[6];
        const QByteArray erwartet = QByteArray::fromHex(f[5].toLatin1());
        if (fehlschlag == "COM32000")
            QVERIFY(u.w().MSComm1->setPortnummer(32000));
        else if (!fehlschlag.isEmpty())
            QVERIFY(QDir().mkpath(pfad));
        if (f[1] != "-")
            QVERIFY(DateiSchreiben(pfad, Zelkordatei(f[1])));
        auto *d = u.oeffnen<ZelkorEinstellungen>(u.w().Parameter);
        QVERIFY(d);
        // Mode, current and reduction as shown, "Halbschritt/2,5 A/Ein": one option checked.
        QCOMPARE(d->ComboSchrittmodus->currentText() + "/" + d->ComboPhasenstrom->currentText() +
                     "/" + (d->OptionAbsenkungEin->isChecked() ? "Ein" : "") +
                     (d->OptionAbsenkungAus->isChecked() ? "Aus" : ""),
                 f[2]);
        QVERIFY(!d->ComboSchrittmodus->isEditable() && !d->ComboPhasenstrom->isEditable());
        QStringList eintraege;
        for (QComboBox *liste : {d->ComboSchrittmodus, d->ComboPhasenstrom})
            for (int i = 0; i < liste->count(); ++i)
                eintraege << liste->itemText(i);
        QCOMPARE(eintraege.join('|'), "Vollschritt|Halbschritt|Viertelschritt|Fünftelschritt|"
                                      "Achtelschritt|Zehntelschritt|2,5 A|3,0 A|3,5 A|4,0 A|4,5 A|"
                                      "5,0 A|5,5 A|6,0 A");
        const QStringList werte = f[3].split('/');
        d->ComboSchrittmodus->setCurrentText(werte[0]);
        d->ComboPhasenstrom->setCurrentText(werte[1]);
        QTest::mouseClick(werte[2] == "Ein" ? d->OptionAbsenkungEin : d->OptionAbsenkungAus,
                          Qt::LeftButton);
        f[4] == "Schliessfeld"
            ? void(d->close())
            : QTest::mouseClick(d->findChild<QPushButton *>("Command" + f[4]), Qt::LeftButton);
        QCOMPARE(u.pty.lesen(int(erwartet.size())) + u.nachlauf(), erwartet);
        QCOMPARE(u.mitschnitt->bytes(), erwartet);
        for (int i = 1; i < u.mitschnitt->anzahl(); ++i)
            QCOMPARE(u.mitschnitt->zeit(i), u.mitschnitt->zeit(0));
        QVERIFY(u.dialogBeendet());
        if (fehlschlag != "zelkor.txt") // left otherwise, the file is as before
            QCOMPARE(DateiInhalt(pfad),
                     Zelkordatei(f[4] != "Übernehmen"
                                     ? f[1]
                                     : QString(f[3]).replace("Ein", "1").replace("Aus", "0")));
        const QStringList m = u.meldungen();
        QVERIFY2(m.size() == !fehlschlag.isEmpty() &&
                     (m.isEmpty() || (m[0].startsWith("Zelkor_V2: ") && m[0].contains(fehlschlag))),
                 qPrintable(m.join('\n')));
    }
};

QTEST_MAIN(TestHauptfenster)
#include "tst_hauptfenster.moc"
