// Editing a program in the real main window: the grid's row change, deletion and leaving, the
// block panel, the number fields' checks and the travel times they refresh.
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/Linie.h"
#include "app/PCSteuerung.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString Programmfehler = QStringLiteral("Programmfehler !");

std::unique_ptr<PCSteuerung> starten() {
    StartAbgeschlossen = false;
    auto fenster = std::make_unique<PCSteuerung>();
    fenster->show();
    fenster->Laden();
    fenster->activateWindow();
    return fenster;
}

// The values given to block i (entry i) by bloeckeAnlegen.
struct Blockwerte {
    int schritte, start, maximal, durchlaeufe, pause, rampe;
    bool rechts, umkehr;
};

Blockwerte werteVon(int i) {
    return {1000 * (i + 1), 200 + 10 * i, 3000 + 100 * i, 2 + i,
            20 + i,         i % 4 + 1,    i % 2 == 0,     i % 3 == 1};
}

QRadioButton *rampenoption(PCSteuerung &w, int rampe) {
    switch (rampe) {
    case 1:
        return w.OptionRampe2ms;
    case 2:
        return w.OptionRampe5ms;
    case 3:
        return w.OptionRampe10ms;
    default:
        return w.OptionRampe20ms;
    }
}

// Fills rows 0..anzahl-1 the way the operator does: go to the row (the blank row for a new
// block), type the step count, fill the panel. Ends back on row 0, which stores the last block.
void bloeckeAnlegen(PCSteuerung &w, int anzahl) {
    for (int i = 0; i < anzahl; ++i) {
        const Blockwerte b = werteVon(i);
        w.setAktuelleZeile(i);
        w.setAktuellerZellText(QString::number(b.schritte));
        w.TextStartfrequenz->setText(QString::number(b.start));
        w.TextMaximalfrequenz->setText(QString::number(b.maximal));
        w.TextSatzdurchläufe->setText(QString::number(b.durchlaeufe));
        w.TextSatzpause->setText(QString::number(b.pause));
        rampenoption(w, b.rampe)->setChecked(true);
        (b.rechts ? w.OptionRechts : w.OptionLinks)->setChecked(true);
        w.Richtungsumkehrung->setChecked(b.umkehr);
    }
    w.setAktuelleZeile(0);
}

bool gleich(const Satz &s, const Blockwerte &b) {
    return s.Schritte() == 5000 && s.Startfrequenz() == b.start &&
           s.Maximalfrequenz() == b.maximal && s.Satzdurchläufe().gleich(b.durchlaeufe) &&
           s.Satzpause() == b.pause && s.Rampe() == b.rampe && s.Richtung().gleich(1) == b.rechts &&
           s.Richtungsumkehr() == b.umkehr;
}

bool standard(const Satz &s) {
    return s.Schritte() == 5000 && s.Startfrequenz() == 300 && s.Maximalfrequenz() == 4000 &&
           s.Satzdurchläufe().gleich(1) && s.Satzpause() == 10 && s.Rampe() == 1 &&
           s.Richtung().gleich(1) && !s.Richtungsumkehr();
}

QPoint zellMitte(PCSteuerung &w, int zeile) {
    return w.dbgridschritte->visualRect(w.namesData()->index(zeile, 0)).center();
}

void zeileAnklicken(PCSteuerung &w, int zeile) {
    QTest::mouseClick(w.dbgridschritte->viewport(), Qt::LeftButton, {}, zellMitte(w, zeile));
}

void zeilenkopfAnklicken(PCSteuerung &w, int zeile) {
    QHeaderView *kopf = w.dbgridschritte->verticalHeader();
    QTest::mouseClick(kopf->viewport(), Qt::LeftButton, {},
                      QPoint(kopf->width() / 2,
                             kopf->sectionViewportPosition(zeile) + kopf->sectionSize(zeile) / 2));
}

QAction *loeschAktion(PCSteuerung &w) {
    return w.dbgridschritte->findChild<QAction *>(QStringLiteral("SatzLöschen"));
}

QString zeiten(PCSteuerung &w) {
    auto teil = [](QLabel *l) { return l->isVisible() ? l->text() : QStringLiteral("-"); };
    return teil(w.LabelBeschleunigungszeit) + QLatin1Char('|') + teil(w.LabelBremszeit) +
           QLatin1Char('|') + teil(w.LabelGesamtzeit);
}

bool flankenSichtbar(PCSteuerung &w) {
    const bool an = w.Line2->isVisible();
    for (QWidget *e : {static_cast<QWidget *>(w.Line3), static_cast<QWidget *>(w.Line4),
                       static_cast<QWidget *>(w.Line8), static_cast<QWidget *>(w.Line9),
                       static_cast<QWidget *>(w.LabelGrafikMaximalfrequenz)}) {
        if (e->isVisible() != an)
            return !an; // mixed: report the opposite of Line2 so a comparison fails
    }
    return an;
}

QLineEdit *feld(PCSteuerung &w, const QString &name) {
    return w.findChild<QLineEdit *>(name);
}

} // namespace

class TestBearbeiten : public QObject {
    Q_OBJECT
private slots:
    void init();

    void startOhneMeldung();
    void einfacheFelder_data();
    void einfacheFelder();
    void vorStartabschlussKeineMeldung();

    void maximalfrequenzUeberTabelle();
    void maximalNichtUeberStart();
    void leeresFrequenzfeldDoppelteMeldung_data();
    void leeresFrequenzfeldDoppelteMeldung();
    void ueberlaufImAnderenFrequenzfeld();
    void rampenoptionRechnetNeu();

    void zeilenwechselUebernimmtUndZeigt();
    void blockVerlassenMitFehler_data();
    void blockVerlassenMitFehler();
    void fremdeRampeLaesstOption_data();
    void fremdeRampeLaesstOption();

    void loeschenDritterVonFuenf_data();
    void loeschenDritterVonFuenf();
    void loeschenGrenzen_data();
    void loeschenGrenzen();
    void entfOhneZeilenkopf();
    void langesProgrammAusDatei();
    void zwanzigSaetze();
    void leereZeileAnklickenUndVerlassen();
    void ersteZeileGeleertUndVerlassen();
    void schrittzahlErreichtZeiten();
    void gridNimmtNurZahlen();
};

void TestBearbeiten::init() {
    SatzwechselAktiv = true;
}

void TestBearbeiten::startOhneMeldung() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    QVERIFY(w->isEnabled());
    QTest::qWait(30);
    QCOMPARE(nachrichten.anzahl(), 0);
    // The first computation ran at the end of start-up, with a point as the C locale's
    // decimal separator.
    QCOMPARE(zeiten(*w), QStringLiteral("74 ms|1.26 s|1.33 s"));
    QVERIFY(!w->LabelMaximalfrequenzWarnung->isVisible());
    QVERIFY(!w->LabelFrequenzVorschlag->isVisible());
    QVERIFY(flankenSichtbar(*w));
    QCOMPARE(w->dbgridschritteTitel->text(),
             QStringLiteral("Satz") + QString(7, QLatin1Char(' ')) + QStringLiteral("(Programm)"));
    QCOMPARE(w->namesData()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Schritte"));
}

void TestBearbeiten::einfacheFelder_data() {
    QTest::addColumn<QString>("feldname");
    QTest::addColumn<bool>("leeren");
    QTest::addColumn<QString>("tasten");
    QTest::addColumn<int>("meldungen");
    QTest::addColumn<QString>("danach");

    QTest::newRow("Buchstabe in Satzpause") << "TextSatzpause" << false << "a" << 1 << "10";
    QTest::newRow("Minus allein in Satzdurchläufe")
        << "TextSatzdurchläufe" << true << "-" << 1 << "1";
    QTest::newRow("Buchstabe in Programmdurchläufe")
        << "TextProgrammdurchläufe" << false << "x" << 1 << "1";
    QTest::newRow("Buchstabe in Befehlspause") << "TextBefehlspause" << true << "7b" << 1 << "10";
    QTest::newRow("Programmdurchläufe geleert")
        << "TextProgrammdurchläufe" << true << "" << 0 << "";
    QTest::newRow("Bruch in Befehlspause") << "TextBefehlspause" << true << "12.7" << 0 << "12.7";
    QTest::newRow("elf Ziffern in Programmpause")
        << "TextProgrammpause" << true << "12345678901" << 0 << "12345678901";
    QTest::newRow("600 in Satzdurchläufe") << "TextSatzdurchläufe" << true << "600" << 0 << "600";
}

void TestBearbeiten::einfacheFelder() {
    QFETCH(QString, feldname);
    QFETCH(bool, leeren);
    QFETCH(QString, tasten);
    QFETCH(int, meldungen);
    QFETCH(QString, danach);

    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    QLineEdit *f = feld(*w, feldname);
    QVERIFY(f);
    if (leeren)
        f->clear();
    f->setFocus();
    QTest::keyClicks(f, tasten);
    QCOMPARE(nachrichten.anzahl(), meldungen);
    for (const auto &n : nachrichten.nachrichten()) {
        QCOMPARE(n.titel, QStringLiteral("Eingabefehler"));
        QCOMPARE(n.text, QStringLiteral("Nur Ganzzahlen gültig !"));
    }
    QCOMPARE(f->text(), danach);
}

void TestBearbeiten::vorStartabschlussKeineMeldung() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    StartAbgeschlossen = false;
    w->TextStartfrequenz->setText(QStringLiteral("abc"));
    w->TextSatzpause->setText(QStringLiteral("x"));
    StartAbgeschlossen = true;
    QTest::qWait(20);
    QCOMPARE(nachrichten.anzahl(), 0);
    QCOMPARE(w->TextStartfrequenz->text(), QStringLiteral("abc"));
    QCOMPARE(w->TextSatzpause->text(), QStringLiteral("x"));
}

void TestBearbeiten::maximalfrequenzUeberTabelle() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    w->TextMaximalfrequenz->selectAll();
    QTest::keyClicks(w->TextMaximalfrequenz, QStringLiteral("13000"));
    QCOMPARE(nachrichten.anzahl(), 0);
    QCOMPARE(w->TextMaximalfrequenz->text(), QStringLiteral("13000"));
    QVERIFY(flankenSichtbar(*w));
    QCOMPARE(w->LabelGrafikMaximalfrequenz->text(), QStringLiteral("13000 Hz"));
    QVERIFY(!w->LabelMaximalfrequenzWarnung->isVisible());
    // Leaving the field for the ramp options: a run beyond the tables hides the times.
    QTest::mouseClick(w->OptionRampe5ms, Qt::LeftButton);
    QCOMPARE(zeiten(*w), QStringLiteral("-|-|-"));
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::maximalNichtUeberStart() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    w->TextMaximalfrequenz->setText(QStringLiteral("300"));
    QVERIFY(!flankenSichtbar(*w));
    QVERIFY(w->Line5->isVisible());
    QVERIFY(w->LabelGrafikStartfrequenz->isVisible());
    // Equal frequencies: only the total, 5000 steps at 300 Hz.
    QCOMPARE(zeiten(*w), QStringLiteral("-|-|16.67 s"));

    // Below the start: the caption of the maximal label is not written while it is hidden.
    w->TextMaximalfrequenz->setText(QStringLiteral("250"));
    QVERIFY(!flankenSichtbar(*w));
    QCOMPARE(zeiten(*w), QStringLiteral("-|-|16.67 s"));
    QCOMPARE(w->LabelGrafikMaximalfrequenz->text(), QStringLiteral("4000 Hz"));

    // Lowering the start below it shows the label with the caption last written.
    w->TextStartfrequenz->setText(QStringLiteral("200"));
    QVERIFY(flankenSichtbar(*w));
    QCOMPARE(w->LabelGrafikMaximalfrequenz->text(), QStringLiteral("4000 Hz"));
    QCOMPARE(w->LabelGrafikStartfrequenz->text(), QStringLiteral("200 Hz"));
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::leeresFrequenzfeldDoppelteMeldung_data() {
    QTest::addColumn<QString>("leeresFeld");
    QTest::addColumn<QString>("anderesFeld");
    QTest::addColumn<QString>("ruecksetztext");

    QTest::newRow("Maximalfrequenz leer") << "TextMaximalfrequenz"
                                          << "TextStartfrequenz"
                                          << "300";
    QTest::newRow("Startfrequenz leer") << "TextStartfrequenz"
                                        << "TextMaximalfrequenz"
                                        << "4000";
}

void TestBearbeiten::leeresFrequenzfeldDoppelteMeldung() {
    QFETCH(QString, leeresFeld);
    QFETCH(QString, anderesFeld);
    QFETCH(QString, ruecksetztext);

    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    feld(*w, leeresFeld)->clear();
    QCOMPARE(nachrichten.anzahl(), 0);
    QLineEdit *anderes = feld(*w, anderesFeld);
    anderes->end(false);
    QTest::keyClick(anderes, Qt::Key_5);
    // The change fails on the empty field, resets its own field, and the reset fails again.
    QCOMPARE(nachrichten.anzahl(), 2);
    for (const auto &n : nachrichten.nachrichten())
        QCOMPARE(n.text, QStringLiteral("Nur Ganzzahlen gültig !"));
    QCOMPARE(anderes->text(), ruecksetztext);
    QCOMPARE(feld(*w, leeresFeld)->text(), QString());
}

void TestBearbeiten::ueberlaufImAnderenFrequenzfeld() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    w->TextMaximalfrequenz->setText(QStringLiteral("99999999999"));
    const QString vorher = zeiten(*w);
    w->TextStartfrequenz->setText(QStringLiteral("5000"));
    QCOMPARE(nachrichten.anzahl(), 0);
    // Neither the graph nor the times follow.
    QCOMPARE(w->LabelGrafikStartfrequenz->text(), QStringLiteral("300 Hz"));
    QVERIFY(flankenSichtbar(*w));
    QCOMPARE(zeiten(*w), vorher);
    QCOMPARE(w->TextStartfrequenz->text(), QStringLiteral("5000"));
}

void TestBearbeiten::rampenoptionRechnetNeu() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    QTest::mouseClick(w->OptionRampe20ms, Qt::LeftButton);
    QVERIFY(w->OptionRampe20ms->isChecked());
    QCOMPARE(zeiten(*w), QStringLiteral("737 ms|1.19 s|1.93 s"));
    QTest::mouseClick(w->OptionRampe2ms, Qt::LeftButton);
    QCOMPARE(zeiten(*w), QStringLiteral("74 ms|1.26 s|1.33 s"));

    // A start frequency below the first level: the frequency field's own run keeps the labels
    // as far as it got, the option's run hides the times.
    w->TextStartfrequenz->setText(QStringLiteral("10"));
    QCOMPARE(nachrichten.anzahl(), 0);
    QCOMPARE(zeiten(*w), QStringLiteral("74 ms|1.26 s|1.33 s"));
    QTest::mouseClick(w->OptionRampe10ms, Qt::LeftButton);
    QCOMPARE(zeiten(*w), QStringLiteral("-|-|-"));
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::zeilenwechselUebernimmtUndZeigt() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    bloeckeAnlegen(*w, 3);
    QCOMPARE(nachrichten.anzahl(), 0);
    QCOMPARE(w->namesData()->tabellenzeilen(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(gleich(w->SatzListe[size_t(i)], werteVon(i)), qPrintable(QString::number(i)));

    zeileAnklicken(*w, 2);
    QCOMPARE(w->aktuelleZeile(), 2);
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(2));
    QCOMPARE(w->CommandSatzstart->text(), QStringLiteral("Satz Nr. 3 starten"));
    QCOMPARE(w->FrameSatzparameter->title(), QStringLiteral("Satz - Parameter Satz 3"));
    const Blockwerte b = werteVon(2);
    QCOMPARE(w->TextStartfrequenz->text(), QString::number(b.start));
    QCOMPARE(w->TextMaximalfrequenz->text(), QString::number(b.maximal));
    QCOMPARE(w->TextSatzdurchläufe->text(), QString::number(b.durchlaeufe));
    QCOMPARE(w->TextSatzpause->text(), QString::number(b.pause));
    QVERIFY(rampenoption(*w, b.rampe)->isChecked());
    QCOMPARE(w->OptionRechts->isChecked(), b.rechts);
    QCOMPARE(w->Richtungsumkehrung->isChecked(), b.umkehr);
    // The graph and the times belong to the block shown.
    QCOMPARE(w->LabelGrafikStartfrequenz->text(), QString::number(b.start) + QStringLiteral(" Hz"));
    QCOMPARE(w->LabelGrafikMaximalfrequenz->text(),
             QString::number(b.maximal) + QStringLiteral(" Hz"));
    QVERIFY(w->LabelGesamtzeit->isVisible());

    // Moving with the arrow keys is a row change like any other.
    w->TextSatzpause->setText(QStringLiteral("77"));
    w->dbgridschritte->setFocus();
    QTest::keyClick(w->dbgridschritte, Qt::Key_Up);
    QCOMPARE(w->aktuelleZeile(), 1);
    QCOMPARE(w->SatzListe[2].Satzpause(), 77);
    QCOMPARE(w->TextSatzpause->text(), QString::number(werteVon(1).pause));
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::blockVerlassenMitFehler_data() {
    QTest::addColumn<QString>("startText");
    QTest::addColumn<QString>("maximalText");
    QTest::addColumn<QString>("pauseText");
    QTest::addColumn<QString>("meldung");

    QTest::newRow("Maximalfrequenz geleert") << "500"
                                             << ""
                                             << "10"
                                             << "Sie müssen eine Maximalfrequenz angeben";
    QTest::newRow("Startfrequenz und Satzpause geleert") << ""
                                                         << "4000"
                                                         << ""
                                                         << "Sie müssen eine Startfrequenz angeben";
    QTest::newRow("beide Frequenzen geleert") << ""
                                              << ""
                                              << "10"
                                              << "Sie müssen eine Startfrequenz angeben";
    QTest::newRow("Maximalfrequenz zu groß") << "500"
                                             << "99999999999"
                                             << "10"
                                             << "Maximalfrequenz in Satz 1 ist keine gültige "
                                                "Ganzzahl: „99999999999“.\nDer Satz wurde nicht "
                                                "übernommen.";
    QTest::newRow("Satzpause zu groß") << "500"
                                       << "4000"
                                       << "99999999999"
                                       << "Satzpause in Satz 1 ist keine gültige Ganzzahl: "
                                          "„99999999999“.\nDer Satz wurde nicht übernommen.";
}

void TestBearbeiten::blockVerlassenMitFehler() {
    QFETCH(QString, startText);
    QFETCH(QString, maximalText);
    QFETCH(QString, pauseText);
    QFETCH(QString, meldung);

    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    bloeckeAnlegen(*w, 2);
    const Blockwerte b0 = werteVon(0);
    // Filled fields first: a frequency field emptied before the other one is changed would
    // make that change fail.
    const QList<QPair<QLineEdit *, QString>> eingaben{{w->TextStartfrequenz, startText},
                                                      {w->TextMaximalfrequenz, maximalText},
                                                      {w->TextSatzpause, pauseText},
                                                      {w->TextSatzdurchläufe, "9"}};
    for (bool leere : {false, true}) {
        for (const auto &[f, text] : eingaben) {
            if (text.isEmpty() == leere)
                f->setText(text);
        }
    }
    QCOMPARE(nachrichten.anzahl(), 0);

    zeileAnklicken(*w, 1);
    QCOMPARE(nachrichten.anzahl(), 1);
    QCOMPARE(nachrichten.nachrichten().first().titel, Programmfehler);
    QCOMPARE(nachrichten.letzterText(), meldung);
    // Nothing of the panel reached block 1; the row change went through all the same.
    QVERIFY(gleich(w->SatzListe[0], b0));
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(1));
    QCOMPARE(w->FrameSatzparameter->title(), QStringLiteral("Satz - Parameter Satz 2"));
    QCOMPARE(w->TextStartfrequenz->text(), QString::number(werteVon(1).start));
    QCOMPARE(w->TextMaximalfrequenz->text(), QString::number(werteVon(1).maximal));
    // The graph and the times follow block 2 although a frequency field was unusable when
    // the panel began to show it.
    QCOMPARE(w->LabelGrafikStartfrequenz->text(),
             QString::number(werteVon(1).start) + QStringLiteral(" Hz"));
    QCOMPARE(w->LabelGrafikMaximalfrequenz->text(),
             QString::number(werteVon(1).maximal) + QStringLiteral(" Hz"));
    QVERIFY(flankenSichtbar(*w));
    QCOMPARE(zeiten(*w), QStringLiteral("136 ms|638 ms|774 ms"));
}

void TestBearbeiten::fremdeRampeLaesstOption_data() {
    QTest::addColumn<int>("rampe");
    QTest::newRow("Rampe 5") << 5;
    QTest::newRow("Rampe 0") << 0;
}

void TestBearbeiten::fremdeRampeLaesstOption() {
    QFETCH(int, rampe);
    PtyPaar pty;
    auto w = starten();
    bloeckeAnlegen(*w, 2);
    w->SatzListe[1].setRampe(rampe);
    QTest::mouseClick(w->OptionRampe10ms, Qt::LeftButton);
    zeileAnklicken(*w, 1);
    QCOMPARE(w->SatzListe[0].Rampe(), 3);
    QVERIFY(w->OptionRampe10ms->isChecked());
    QCOMPARE(w->SatzListe[1].Rampe(), rampe);
    zeileAnklicken(*w, 0);
    QCOMPARE(w->SatzListe[1].Rampe(), 3);
}

void TestBearbeiten::loeschenDritterVonFuenf_data() {
    QTest::addColumn<bool>("perKontextmenue");
    QTest::newRow("Zeilenkopf und Entf") << false;
    QTest::newRow("Kontextmenü") << true;
}

void TestBearbeiten::loeschenDritterVonFuenf() {
    QFETCH(bool, perKontextmenue);
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    bloeckeAnlegen(*w, 5);
    // Entry 21, past the blank row, has been used before.
    w->SatzListe[21].setSatzpause(99);
    const SatzTabelle vorher = w->SatzListe;

    if (perKontextmenue) {
        zeileAnklicken(*w, 2);
        w->TextSatzpause->setText(QStringLiteral("55")); // an edit that goes with the block
        QAction *aktion = loeschAktion(*w);
        QVERIFY(aktion);
        QCOMPARE(aktion->text(), QStringLiteral("Satz löschen"));
        // The operator opens the grid's context menu on the row and chooses the entry.
        bool angeboten = false;
        QTimer::singleShot(50, this, [&] {
            auto *menue = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menue)
                return;
            angeboten = menue->actions().contains(aktion);
            menue->setActiveAction(aktion);
            QTest::keyClick(menue, Qt::Key_Return);
        });
        QWidget *flaeche = w->dbgridschritte->viewport();
        QContextMenuEvent ereignis(QContextMenuEvent::Mouse, zellMitte(*w, 2),
                                   flaeche->mapToGlobal(zellMitte(*w, 2)));
        QApplication::sendEvent(flaeche, &ereignis);
        QVERIFY(angeboten);
    } else {
        zeileAnklicken(*w, 2);
        w->TextSatzpause->setText(QStringLiteral("55"));
        zeilenkopfAnklicken(*w, 2);
        QCOMPARE(QApplication::focusWidget(), w->dbgridschritte);
        QTest::keyClick(w->dbgridschritte, Qt::Key_Delete);
    }

    QCOMPARE(nachrichten.anzahl(), 0);
    QCOMPARE(w->namesData()->tabellenzeilen(), 4);
    QCOMPARE(w->namesData()->rowCount(), 5);
    const QStringList zellen{w->namesData()->zellText(0), w->namesData()->zellText(1),
                             w->namesData()->zellText(2), w->namesData()->zellText(3)};
    QCOMPARE(zellen, (QStringList{"1000", "2000", "4000", "5000"}));
    QVERIFY(gleich(w->SatzListe[0], werteVon(0)));
    QVERIFY(gleich(w->SatzListe[1], werteVon(1)));
    for (int i = 2; i <= 20; ++i) {
        const Satz &s = w->SatzListe[size_t(i)];
        const Satz &v = vorher[size_t(i + 1)];
        QVERIFY2(s.Startfrequenz() == v.Startfrequenz() && s.Satzpause() == v.Satzpause() &&
                     s.Rampe() == v.Rampe() && s.Richtungsumkehr() == v.Richtungsumkehr() &&
                     s.Satzdurchläufe().alsText() == v.Satzdurchläufe().alsText(),
                 qPrintable(QString::number(i)));
    }
    QCOMPARE(w->SatzListe[20].Satzpause(), 99);
    QVERIFY(standard(w->SatzListe[21]));
    for (int i = 22; i < SatzListeGroesse; ++i)
        QVERIFY(standard(w->SatzListe[size_t(i)]));

    // The cursor stays in row 2, now on the former block 4, shown under its new number.
    QCOMPARE(w->aktuelleZeile(), 2);
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(2));
    QCOMPARE(w->FrameSatzparameter->title(), QStringLiteral("Satz - Parameter Satz 3"));
    QCOMPARE(w->TextStartfrequenz->text(), QString::number(werteVon(3).start));
    QCOMPARE(w->TextSatzpause->text(), QString::number(werteVon(3).pause));
    QVERIFY(rampenoption(*w, werteVon(3).rampe)->isChecked());
    // The times shown are those of the row's step count now, not of the deleted row.
    const QString angezeigt = zeiten(*w);
    w->BerechneRampe();
    QCOMPARE(zeiten(*w), angezeigt);

    // Leaving the row stores the panel into entry 2, the former block 4.
    zeileAnklicken(*w, 0);
    QVERIFY(gleich(w->SatzListe[2], werteVon(3)));
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::loeschenGrenzen_data() {
    QTest::addColumn<int>("bloecke");
    QTest::addColumn<int>("zeile");
    QTest::addColumn<int>("zeilenDanach");

    QTest::newRow("einziger Block") << 1 << 0 << 1;
    QTest::newRow("erster von zwei") << 2 << 0 << 1;
    QTest::newRow("zweiter von zwei") << 2 << 1 << 1;
    QTest::newRow("leere Zeile") << 3 << 3 << 3;
}

void TestBearbeiten::loeschenGrenzen() {
    QFETCH(int, bloecke);
    QFETCH(int, zeile);
    QFETCH(int, zeilenDanach);
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    bloeckeAnlegen(*w, bloecke);
    const SatzTabelle vorher = w->SatzListe;
    zeileAnklicken(*w, zeile);
    loeschAktion(*w)->trigger();
    QCOMPARE(w->namesData()->tabellenzeilen(), zeilenDanach);
    QCOMPARE(nachrichten.anzahl(), 0);
    if (zeilenDanach == bloecke) {
        for (int i = 0; i < SatzListeGroesse; ++i)
            QCOMPARE(w->SatzListe[size_t(i)].Startfrequenz(), vorher[size_t(i)].Startfrequenz());
    } else {
        // The remaining block is in row 0 and entry 0.
        const int bleibt = 1 - zeile;
        QCOMPARE(w->namesData()->zellText(0), QString::number(werteVon(bleibt).schritte));
        QCOMPARE(w->SatzListe[0].Startfrequenz(), werteVon(bleibt).start);
    }
}

void TestBearbeiten::entfOhneZeilenkopf() {
    PtyPaar pty;
    auto w = starten();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    bloeckeAnlegen(*w, 3);
    zeileAnklicken(*w, 1);
    QCOMPARE(QApplication::focusWidget(), w->dbgridschritte);
    QTest::keyClick(w->dbgridschritte, Qt::Key_Delete);
    QCOMPARE(w->namesData()->tabellenzeilen(), 3);
    // Chosen by its header, the row goes.
    zeilenkopfAnklicken(*w, 1);
    QTest::keyClick(w->dbgridschritte, Qt::Key_Delete);
    QCOMPARE(w->namesData()->tabellenzeilen(), 2);
    QCOMPARE(w->namesData()->zellText(1), QString::number(werteVon(2).schritte));
}

void TestBearbeiten::langesProgrammAusDatei() {
    // A program file may hold up to 31 blocks; the grid then shows them all.
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    NamesData *daten = w->namesData();
    while (daten->tabellenzeilen() < 23)
        daten->setData(daten->index(daten->tabellenzeilen(), 0),
                       QString::number(daten->tabellenzeilen() + 1));
    w->setAktuelleZeile(21);
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(21));
    for (int i = 0; i < SatzListeGroesse; ++i)
        w->SatzListe[size_t(i)].setStartfrequenz(1000 + i);

    // Deleting block 22 moves block 23 up, in the rows and in the entries.
    loeschAktion(*w)->trigger();
    QCOMPARE(daten->tabellenzeilen(), 22);
    QCOMPARE(daten->zellText(21), QStringLiteral("23"));
    QCOMPARE(w->SatzListe[20].Startfrequenz(), 1020);
    QCOMPARE(w->SatzListe[21].Startfrequenz(), 1022);
    QCOMPARE(w->SatzListe[22].Startfrequenz(), 1023); // the blank row's entry follows it
    QVERIFY(standard(w->SatzListe[23]));
    QCOMPARE(w->SatzListe[24].Startfrequenz(), 1024);
    QCOMPARE(w->TextStartfrequenz->text(), QStringLiteral("1022"));
    QCOMPARE(w->FrameSatzparameter->title(), QStringLiteral("Satz - Parameter Satz 22"));

    // With all 31 entries in rows, the blank row has no entry behind it.
    while (daten->tabellenzeilen() < SatzListeGroesse)
        daten->setData(daten->index(daten->tabellenzeilen(), 0), QStringLiteral("9"));
    QVERIFY(!daten->setData(daten->index(31, 0), QStringLiteral("9")));
    w->setAktuelleZeile(31);
    QCOMPARE(w->aktuelleZeile(), 30);
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(30));
    QCOMPARE(w->FrameSatzparameter->title(), QStringLiteral("Satz - Parameter Satz 31"));
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::zwanzigSaetze() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    bloeckeAnlegen(*w, 20);
    QCOMPARE(w->namesData()->tabellenzeilen(), 20);
    zeileAnklicken(*w, 19);
    QCOMPARE(w->aktuelleZeile(), 19);

    // Down from row 19 onto the blank row: back to row 19, block 20 in the panel.
    QTest::keyClick(w->dbgridschritte, Qt::Key_Down);
    QCOMPARE(w->aktuelleZeile(), 19);
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(19));
    QCOMPARE(w->FrameSatzparameter->title(), QStringLiteral("Satz - Parameter Satz 20"));
    QCOMPARE(w->CommandSatzstart->text(), QStringLiteral("Satz Nr. 20 starten"));
    QCOMPARE(w->TextStartfrequenz->text(), QString::number(werteVon(19).start));

    // A click or double click on the blank row does not open it for a 21st block.
    zeileAnklicken(*w, 20);
    QCOMPARE(w->aktuelleZeile(), 19);
    QTest::mouseDClick(w->dbgridschritte->viewport(), Qt::LeftButton, {}, zellMitte(*w, 20));
    QCOMPARE(w->aktuelleZeile(), 19);
    QTest::qWait(20);
    const QModelIndexList gewaehlt = w->dbgridschritte->selectionModel()->selectedRows();
    QCOMPARE(gewaehlt.size(), 1);
    QCOMPARE(gewaehlt.first().row(), 19);
    QVERIFY(!(w->namesData()->flags(w->namesData()->index(20, 0)) & Qt::ItemIsEditable));
    for (QLineEdit *editor : w->dbgridschritte->findChildren<QLineEdit *>())
        QVERIFY(!editor->isVisible());
    QCOMPARE(w->namesData()->tabellenzeilen(), 20);

    // The program moving there is set back as well.
    w->setAktuelleZeile(20);
    QCOMPARE(w->aktuelleZeile(), 19);
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(19));
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::leereZeileAnklickenUndVerlassen() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    bloeckeAnlegen(*w, 2);
    zeileAnklicken(*w, 1);
    w->TextSatzpause->setText(QStringLiteral("33"));
    w->dbgridschritte->setFocus();

    zeileAnklicken(*w, 2);
    QCOMPARE(w->aktuelleZeile(), 2);
    QCOMPARE(w->SatzListe[1].Satzpause(), 33);
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(2));
    QCOMPARE(w->CommandSatzstart->text(), QStringLiteral("Satz Nr. 3 starten"));
    QCOMPARE(w->FrameSatzparameter->title(), QStringLiteral("Satz - Parameter Satz 3"));
    QCOMPARE(w->TextSatzpause->text(), QStringLiteral("10")); // entry 2 holds the defaults
    QCOMPARE(zeiten(*w), QStringLiteral("-|-|-"));            // no step count in the blank row
    QCOMPARE(QApplication::focusWidget(), w->dbgridschritte);

    // The panel is edited for the blank row; leaving the grid without a step count goes back
    // to the last block and stores the panel into the blank row's entry.
    w->TextSatzpause->setText(QStringLiteral("44"));
    w->TextStartfrequenz->setFocus(Qt::MouseFocusReason);
    QCOMPARE(w->aktuelleZeile(), 1);
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(1));
    QCOMPARE(w->SatzListe[2].Satzpause(), 44);
    QCOMPARE(w->TextSatzpause->text(), QStringLiteral("33"));
    QCOMPARE(w->CommandSatzstart->text(), QStringLiteral("Satz Nr. 2 starten"));
    QCOMPARE(w->namesData()->tabellenzeilen(), 2);
    QVERIFY(w->LabelGesamtzeit->isVisible());
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::ersteZeileGeleertUndVerlassen() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->dbgridschritte->setFocus();
    w->setAktuellerZellText(QString());
    QCOMPARE(w->namesData()->zellText(0), QString());
    w->TextSatzpause->setFocus(Qt::MouseFocusReason);
    QCOMPARE(w->aktuelleZeile(), 0);
    QCOMPARE(w->ProgrammSettings.aktuellerSatz(), qint16(0));
    QCOMPARE(zeiten(*w), QStringLiteral("-|-|-"));
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::schrittzahlErreichtZeiten() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->dbgridschritte->setFocus();
    QCOMPARE(w->aktuelleZeile(), 0);
    QTest::keyClick(w->dbgridschritte, Qt::Key_2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QVERIFY(w->dbgridschritte->isAncestorOf(editor));
    QTest::keyClicks(editor, QStringLiteral("76"));
    QCOMPARE(editor->text(), QStringLiteral("276"));
    QCOMPARE(zeiten(*w), QStringLiteral("74 ms|1.26 s|1.33 s"));

    w->TextStartfrequenz->setFocus(Qt::MouseFocusReason);
    QCOMPARE(w->namesData()->zellText(0), QStringLiteral("276"));
    QCOMPARE(zeiten(*w), QStringLiteral("74 ms|74 ms|148 ms"));
    QCOMPARE(w->aktuelleZeile(), 0);
    QCOMPARE(nachrichten.anzahl(), 0);
}

void TestBearbeiten::gridNimmtNurZahlen() {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    auto w = starten();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->dbgridschritte->setFocus();
    QTest::keyClick(w->dbgridschritte, Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("1x2e3,4"));
    QCOMPARE(editor->text(), QStringLiteral("1234"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(w->namesData()->zellText(0), QStringLiteral("1234"));

    // A text that is no number, written by the program, does not reach the table either.
    w->setAktuellerZellText(QStringLiteral("zwölf"));
    QCOMPARE(w->namesData()->zellText(0), QStringLiteral("1234"));

    // Typing into the blank row adds a block.
    zeileAnklicken(*w, 1);
    QCOMPARE(w->aktuelleZeile(), 1);
    QTest::keyClicks(w->dbgridschritte, QStringLiteral("8"));
    editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(w->namesData()->tabellenzeilen(), 2);
    QCOMPARE(w->namesData()->zellText(1), QStringLiteral("8"));
    QCOMPARE(nachrichten.anzahl(), 0);
}

QTEST_MAIN(TestBearbeiten)
#include "tst_bearbeiten.moc"
