// Editing a program in the real main window: the grid's row change, deletion and leaving, the
// block panel, the number fields' checks and the travel times they refresh. None of it sends.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "app/PCSteuerung.h"
#include "gestaltung/Linie.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

namespace {

QString n(int zahl) {
    return QString::number(zahl);
}

// Start/maximal/runs/pause/ramp/direction/reversal of a block as one text; block i as
// bloeckeAnlegen fills it; a stored block.
QString block(const QStringList &zahlen, bool rechts, bool umkehr) {
    return (zahlen + QStringList{rechts ? "rechts" : "links", umkehr ? "umkehr" : "-"}).join('/');
}
const QString Standard = block({"300", "4000", "1", "10", "1"}, true, false);
QString text(int i) {
    return block({n(200 + 10 * i), n(3000 + 100 * i), n(2 + i), n(20 + i), n(i % 4 + 1)},
                 i % 2 == 0, i % 3 == 1);
}
QString text(const Satz &s) {
    return block({n(s.Startfrequenz()), n(s.Maximalfrequenz()), s.Satzdurchläufe().alsText(),
                  n(s.Satzpause()), n(s.Rampe())},
                 s.Richtung().gleich(1), s.Richtungsumkehr());
}

// The current row, the block the program record points at, the panel's caption and the start
// button; and what they are to be with row zeile current.
QString stand(PCSteuerung &w) {
    return QStringList{n(w.aktuelleZeile()), n(w.ProgrammSettings.aktuellerSatz()),
                       w.FrameSatzparameter->title(), w.CommandSatzstart->text()}
        .join('/');
}
QString stand(int zeile) {
    return QStringLiteral("%1/%1/Satz - Parameter Satz %2/Satz Nr. %2 starten")
        .arg(n(zeile), n(zeile + 1));
}

QList<QRadioButton *> rampen(PCSteuerung &w) {
    return {w.OptionRampe2ms, w.OptionRampe5ms, w.OptionRampe10ms, w.OptionRampe20ms};
}

// The block panel as shown.
QString angezeigt(PCSteuerung &w) {
    QStringList t{w.TextStartfrequenz->text(), w.TextMaximalfrequenz->text(),
                  w.TextSatzdurchläufe->text(), w.TextSatzpause->text(), "0"};
    for (int r = 0; r < 4; ++r)
        if (rampen(w)[r]->isChecked())
            t.last() = n(r + 1);
    return block(t, w.OptionRechts->isChecked(), w.Richtungsumkehrung->isChecked());
}

// Fills rows 0..anzahl-1 as the operator does: go to the row (the blank row for a new block),
// type the step count 1000 * (i + 1), fill the panel. Rows past the 20th, which only a program
// file brings, are added as reading one does. Ends back on row 0, which stores the last block.
void bloeckeAnlegen(PCSteuerung &w, int anzahl) {
    for (int i = 0; i < anzahl; ++i) {
        const QStringList b = text(i).split('/');
        if (i >= 20)
            w.namesData()->setData(w.namesData()->index(i, 0), n(1000 * (i + 1)));
        w.setAktuelleZeile(i);
        if (i < 20)
            w.setAktuellerZellText(n(1000 * (i + 1)));
        w.TextStartfrequenz->setText(b[0]);
        w.TextMaximalfrequenz->setText(b[1]);
        w.TextSatzdurchläufe->setText(b[2]);
        w.TextSatzpause->setText(b[3]);
        rampen(w)[b[4].toInt() - 1]->setChecked(true);
        (b[5] == "rechts" ? w.OptionRechts : w.OptionLinks)->setChecked(true);
        w.Richtungsumkehrung->setChecked(b[6] == "umkehr");
    }
    w.setAktuelleZeile(0);
}

// Clicks (or double-clicks) the step cell of the row.
void zeileAnklicken(PCSteuerung &w, int zeile, bool doppelt = false) {
    w.dbgridschritte->scrollTo(w.namesData()->index(zeile, 0));
    const QPoint mitte = w.dbgridschritte->visualRect(w.namesData()->index(zeile, 0)).center();
    if (doppelt)
        QTest::mouseDClick(w.dbgridschritte->viewport(), Qt::LeftButton, {}, mitte);
    else
        QTest::mouseClick(w.dbgridschritte->viewport(), Qt::LeftButton, {}, mitte);
}

// Acceleration|braking|total as shown, "-" for a hidden one.
QString zeiten(PCSteuerung &w) {
    QStringList t;
    for (QLabel *l : {w.LabelBeschleunigungszeit, w.LabelBremszeit, w.LabelGesamtzeit})
        t << (l->isVisible() ? l->text() : QStringLiteral("-"));
    return t.join(QLatin1Char('|'));
}

// The drawing: "an" or "aus" for flanks, plateau, inner markers and maximal label together
// ("gemischt" otherwise), the start label ("-" when the start marker is hidden), the caption of
// the maximal label.
QString grafik(PCSteuerung &w) {
    int an = 0;
    const QList<QWidget *> teile{w.Line2, w.Line3, w.Line4,
                                 w.Line8, w.Line9, w.LabelGrafikMaximalfrequenz};
    for (QWidget *t : teile)
        an += t->isVisible();
    const char *flanken = an == teile.size() ? "an" : an == 0 ? "aus" : "gemischt";
    const bool start = w.Line5->isVisible() && w.LabelGrafikStartfrequenz->isVisible();
    return QStringList{flanken, start ? w.LabelGrafikStartfrequenz->text() : "-",
                       w.LabelGrafikMaximalfrequenz->text()}
        .join('/');
}

} // namespace

// Every test starts on a freshly loaded window, which comes up without a message; a message a
// test does not take (and clear), or a byte on the line, counts as a fault.
class TestBearbeiten : public QObject {
    Q_OBJECT
    std::unique_ptr<Fensterumgebung> u;
    PCSteuerung *w = nullptr;

private slots:
    void init() {
        u = std::make_unique<Fensterumgebung>();
        w = &u->w();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::qWait(20);
        QCOMPARE(u->meldungen(), QStringList()); // start-up reports nothing
    }

    void cleanup() {
        QTest::qWait(10);
        const QStringList meldungen = u->meldungen();
        const bool still = u->nichtsGesendet();
        u.reset();
        QCOMPARE(meldungen, QStringList());
        QVERIFY(still);
    }

    void vorStartabschlussKeinePruefung() {
        // While the window fills its fields, nothing is checked, reported or reset.
        StartAbgeschlossen = false;
        w->TextStartfrequenz->setText(QStringLiteral("abc"));
        w->TextSatzpause->setText(QStringLiteral("x"));
        StartAbgeschlossen = true;
        QTest::qWait(20);
        QCOMPARE(w->TextStartfrequenz->text() + w->TextSatzpause->text(), QStringLiteral("abcx"));
    }

    void feldpruefung_data() {
        // A field prepared (emptied or filled); keys typed at the end of a field; the messages and
        // that field's text then. An empty frequency field: the change fails, resets its own field,
        // and the reset fails again. Too large to be a number: silently neither drawn nor computed.
        QTest::addColumn<QStringList>("f");
        for (const QStringList &f :
             Faelle("Buchstabe in Satzpause;;;Satzpause;a;1;10|"
                    "Minus allein;Satzdurchläufe;;Satzdurchläufe;-;1;1|"
                    "Buchstabe nach Ziffer;Befehlspause;;Befehlspause;7b;1;10|"
                    "Programmpause geleert;Programmpause;;Programmpause;x;1;10|"
                    "Programmdurchläufe geleert;Programmdurchläufe;;Programmdurchläufe;;0;|"
                    "Programmdurchläufe;Programmdurchläufe;;Programmdurchläufe;x;1;1|"
                    "Bruch;Befehlspause;;Befehlspause;12.7;0;12.7|"
                    "elf Ziffern;Programmpause;;Programmpause;12345678901;0;12345678901|"
                    "Maximalfrequenz leer;Maximalfrequenz;;Startfrequenz;5;2;300|"
                    "Startfrequenz leer;Startfrequenz;;Maximalfrequenz;5;2;4000|"
                    "Maximalfrequenz übergroß;Maximalfrequenz;99999999999;Startfrequenz;5;0;3005"))
            QTest::newRow(qPrintable(f[0])) << f;
    }

    void feldpruefung() {
        QFETCH(QStringList, f);
        auto *v = w->findChild<QLineEdit *>("Text" + f[1]);
        if (v)
            v->setText(f[2]);
        QCOMPARE(u->nachrichten.anzahl(), 0);
        auto *feld = w->findChild<QLineEdit *>("Text" + f[3]);
        QVERIFY(feld);
        feld->end(false);
        const QString zeitenVorher = zeiten(*w);
        QTest::keyClicks(feld, f[4]);
        QCOMPARE(
            u->meldungen(),
            QStringList(f[5].toInt(), QStringLiteral("Eingabefehler: Nur Ganzzahlen gültig !")));
        u->nachrichten.leeren();
        if (v && v != feld)
            QCOMPARE(v->text(), f[2]);
        QCOMPARE(QStringList({feld->text(), grafik(*w), zeiten(*w)}),
                 QStringList({f[6], "an/300 Hz/4000 Hz", zeitenVorher}));
    }

    void rampeUndGrafik() {
        const auto klick = [&](QRadioButton *option) {
            QTest::mouseClick(option, Qt::LeftButton);
            return zeiten(*w);
        };
        QCOMPARE(QStringList({klick(w->OptionRampe20ms), klick(w->OptionRampe2ms)}),
                 QStringList({"737 ms|1.19 s|1.93 s", "74 ms|1.26 s|1.33 s"}));
        // A start frequency below the first level: the frequency field's own run keeps the labels
        // as far as it got, the option's run hides the times.
        w->TextStartfrequenz->setText(QStringLiteral("10"));
        QCOMPARE(QStringList({zeiten(*w), klick(w->OptionRampe10ms)}),
                 QStringList({"74 ms|1.26 s|1.33 s", "-|-|-"}));
        w->TextStartfrequenz->setText(QStringLiteral("300"));

        // Beyond the ramp tables: accepted and drawn; leaving the field for a ramp option finds
        // no times for it.
        w->TextMaximalfrequenz->selectAll();
        QTest::keyClicks(w->TextMaximalfrequenz, QStringLiteral("13000"));
        QCOMPARE(
            QStringList({w->TextMaximalfrequenz->text(), grafik(*w), klick(w->OptionRampe5ms)}),
            QStringList({"13000", "an/300 Hz/13000 Hz", "-|-|-"}));

        // Maximal not above start: no flanks, only the total (5000 steps at 300 Hz); the hidden
        // label keeps the caption it had.
        for (const char *maximal : {"300", "250"}) {
            w->TextMaximalfrequenz->setText(QString::fromLatin1(maximal));
            QCOMPARE(grafik(*w) + " " + zeiten(*w),
                     QStringLiteral("aus/300 Hz/13000 Hz -|-|16.67 s"));
        }
        // Lowering the start below it shows the label with the caption last written.
        w->TextStartfrequenz->setText(QStringLiteral("200"));
        QCOMPARE(grafik(*w), "an/200 Hz/13000 Hz");
    }

    void blockVerlassenMitFehler_data() {
        // Start, maximal, pause; the message.
        QTest::addColumn<QStringList>("f");
        for (const QStringList &f : Faelle(
                 "Maximalfrequenz geleert;500;;10;Sie müssen eine Maximalfrequenz angeben|"
                 "Startfrequenz und Satzpause geleert;;4000;;Sie müssen eine Startfrequenz angeben|"
                 "Satzpause geleert;500;4000;;Sie müssen eine Satzpause angeben|"
                 "Satzpause zu groß;500;4000;99999999999;Satzpause in Satz 1 ist keine gültige "
                 "Ganzzahl: „99999999999“.\nDer Satz wurde nicht übernommen."))
            QTest::newRow(qPrintable(f[0])) << f;
    }

    void blockVerlassenMitFehler() {
        QFETCH(QStringList, f);
        const QStringList felder = f.mid(1, 3);
        bloeckeAnlegen(*w, 2);
        // Filled fields first: a frequency field emptied before the other one is changed would
        // make that change fail.
        w->TextSatzdurchläufe->setText(QStringLiteral("9"));
        const QList<QLineEdit *> eingaben{w->TextStartfrequenz, w->TextMaximalfrequenz,
                                          w->TextSatzpause};
        for (bool leere : {false, true})
            for (int i = 0; i < 3; ++i)
                if (felder[i].isEmpty() == leere)
                    eingaben[i]->setText(felder[i]);
        QCOMPARE(u->nachrichten.anzahl(), 0);

        zeileAnklicken(*w, 1);
        QCOMPARE(u->meldungen(), QStringList("Programmfehler !: " + f[4]));
        u->nachrichten.leeren();
        // Nothing of the panel reached block 1; the row change went through all the same, and
        // the graph and times follow block 2.
        QCOMPARE(
            QStringList({text(w->SatzListe[0]), stand(*w), angezeigt(*w), grafik(*w), zeiten(*w)}),
            QStringList({text(0), stand(1), text(1), "an/210 Hz/3100 Hz", "136 ms|638 ms|774 ms"}));
    }

    void loeschen_data() {
        // Blocks, the row deleted in, how, the block that goes (0: none).
        QTest::addColumn<QStringList>("f");
        for (const QStringList &f : Faelle(
                 "dritter von fünf, Zeilenkopf und Entf;5;2;Zeilenkopf;3|"
                 "erster von zwei;2;0;Kontextmenü;1|zweiter von zwei;2;1;Kontextmenü;2|"
                 "einziger Block;1;0;Kontextmenü;0|22. von 23 aus einer Datei;23;21;Kontextmenü;22|"
                 "leere Zeile;3;3;Kontextmenü;0"))
            QTest::newRow(qPrintable(f[0])) << f;
    }

    void loeschen() {
        QFETCH(QStringList, f);
        const int bloecke = f[1].toInt(), zeile = f[2].toInt();
        const QString weg = f[3];
        QStringList danach; // the step counts left
        for (int i = 1; i <= bloecke; ++i)
            if (i != f[4].toInt())
                danach << n(1000 * i);
        bloeckeAnlegen(*w, bloecke);
        // The entries past the blank row's have been used before.
        for (int i = bloecke + 1; i < SatzListeGroesse; ++i)
            w->SatzListe[size_t(i)].setSatzpause(100 + i);
        const SatzTabelle vorher = w->SatzListe;

        zeileAnklicken(*w, zeile);
        w->TextSatzpause->setText(QStringLiteral("55")); // an edit that goes with the block
        auto *aktion = w->dbgridschritte->findChild<QAction *>(QStringLiteral("SatzLöschen"));
        QVERIFY(aktion);
        if (weg == "Zeilenkopf") {
            // Entf on a cell deletes nothing; only a row chosen by its header goes.
            QCOMPARE(QApplication::focusWidget(), w->dbgridschritte);
            QTest::keyClick(w->dbgridschritte, Qt::Key_Delete);
            QCOMPARE(w->namesData()->tabellenzeilen(), bloecke);
            QHeaderView *kopf = w->dbgridschritte->verticalHeader();
            const int mitte = kopf->sectionViewportPosition(zeile) + kopf->sectionSize(zeile) / 2;
            QTest::mouseClick(kopf->viewport(), Qt::LeftButton, {},
                              QPoint(kopf->width() / 2, mitte));
            QCOMPARE(QApplication::focusWidget(), w->dbgridschritte);
            QTest::keyClick(w->dbgridschritte, Qt::Key_Delete);
        } else { // the grid's context menu offers the entry
            QVERIFY(w->dbgridschritte->contextMenuPolicy() == Qt::ActionsContextMenu &&
                    w->dbgridschritte->actions().contains(aktion));
            QCOMPARE(aktion->text(), QStringLiteral("Satz löschen"));
            aktion->trigger();
        }

        // The rows after the deleted one move up, in the grid and in the entries up to entry 21
        // or, in a longer program, the blank row's entry; that entry starts afresh, those behind
        // it stay. Nothing moves when nothing was deleted.
        QStringList zellen;
        for (int i = 0; i < w->namesData()->tabellenzeilen(); ++i)
            zellen << w->namesData()->zellText(i);
        QCOMPARE(zellen << n(w->namesData()->rowCount()), QStringList(danach)
                                                              << n(danach.size() + 1));
        const bool geloescht = danach.size() < bloecke;
        const int ende = geloescht ? std::max(21, bloecke) : -1;
        // The cursor stays in its row, on the block now there, with the times of its step count.
        QStringList eintraege{stand(*w)}, erwartet{stand(zeile)};
        for (int i = 0; i < SatzListeGroesse; ++i) {
            eintraege << text(w->SatzListe[size_t(i)]);
            erwartet << (i < zeile || i > ende ? text(vorher[size_t(i)])
                         : i < ende            ? text(vorher[size_t(i + 1)])
                                               : Standard);
        }
        QCOMPARE(eintraege, erwartet);
        if (!geloescht)
            return;
        const QString gezeigt = angezeigt(*w) + zeiten(*w);
        w->BerechneRampe();
        QCOMPARE(gezeigt, text(w->SatzListe[size_t(zeile)]) + zeiten(*w));
        // Leaving the row stores the panel into the entry shown.
        w->TextSatzpause->setText(QStringLiteral("66"));
        zeileAnklicken(*w, zeile == 0 ? 1 : 0);
        QCOMPARE(w->SatzListe[size_t(zeile)].Satzpause(), 66);
    }

    void zwanzigSaetze() {
        bloeckeAnlegen(*w, 20);
        // Moving with the arrow keys is a row change like any other.
        zeileAnklicken(*w, 18);
        w->TextSatzpause->setText(QStringLiteral("77"));
        w->dbgridschritte->setFocus();
        QTest::keyClick(w->dbgridschritte, Qt::Key_Down);
        QCOMPARE(w->aktuelleZeile() * 1000 + w->SatzListe[18].Satzpause(), 19077);
        // Down from row 19 onto the blank row: back to row 19, block 20 in the panel.
        QTest::keyClick(w->dbgridschritte, Qt::Key_Down);
        QCOMPARE(stand(*w) + angezeigt(*w), stand(19) + text(19));

        // A click or double click on the blank row does not open it for a 21st block, nor does
        // the program moving there.
        zeileAnklicken(*w, 20);
        const int nachKlick = w->aktuelleZeile();
        zeileAnklicken(*w, 20, true);
        QCOMPARE(nachKlick * 100 + w->aktuelleZeile(), 1919);
        QTest::qWait(20);
        for (QLineEdit *editor : w->dbgridschritte->findChildren<QLineEdit *>())
            QVERIFY(!editor->isVisible());
        w->setAktuelleZeile(20);
        QCOMPARE(stand(*w) + n(w->namesData()->tabellenzeilen()), stand(19) + "20");

        // A program file may bring up to 31 blocks: the rows past the 20th are reachable, the
        // blank row after the 31st has no entry behind it.
        NamesData *daten = w->namesData();
        while (daten->tabellenzeilen() < SatzListeGroesse)
            QVERIFY(daten->setData(daten->index(daten->tabellenzeilen(), 0), QStringLiteral("9")));
        QVERIFY(!daten->setData(daten->index(31, 0), QStringLiteral("9")));
        w->setAktuelleZeile(21);
        const QString bei21 = stand(*w);
        w->setAktuelleZeile(31);
        QCOMPARE(bei21 + stand(*w), stand(21) + stand(30));
    }

    void leereZeileAnklickenUndVerlassen() {
        bloeckeAnlegen(*w, 2);
        // Block 2 holds a ramp no option stands for (as a file may bring): showing it leaves the
        // option as it was, and leaving it stores that option.
        w->SatzListe[1].setRampe(5);
        QTest::mouseClick(w->OptionRampe10ms, Qt::LeftButton);
        zeileAnklicken(*w, 1);
        QCOMPARE(w->SatzListe[0].Rampe() * 10 + w->SatzListe[1].Rampe(), 35);
        QVERIFY(w->OptionRampe10ms->isChecked());
        w->TextSatzpause->setText(QStringLiteral("33"));
        w->dbgridschritte->setFocus();

        zeileAnklicken(*w, 2);
        // Entry 2 holds the defaults; no step count in the blank row, no times.
        QCOMPARE(QStringList({stand(*w), n(w->SatzListe[1].Satzpause()), n(w->SatzListe[1].Rampe()),
                              angezeigt(*w), zeiten(*w)}),
                 QStringList({stand(2), "33", "3", Standard, "-|-|-"}));

        // Leaving the grid without a step count goes back to the last block and stores the panel,
        // edited for the blank row, into the blank row's entry.
        w->TextSatzpause->setText(QStringLiteral("44"));
        w->TextStartfrequenz->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QStringList({stand(*w), n(w->SatzListe[2].Satzpause()), w->TextSatzpause->text(),
                              n(w->namesData()->tabellenzeilen())}),
                 QStringList({stand(1), "44", "33", "2"}));
        QVERIFY(w->LabelGesamtzeit->isVisible());
    }

    void ersteZeileBearbeitenUndVerlassen() {
        w->dbgridschritte->setFocus();
        QTest::keyClick(w->dbgridschritte, Qt::Key_2);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        // The editor takes digits only; the times wait for the cell to be left.
        QTest::keyClicks(editor, QStringLiteral("x7e6"));
        QCOMPARE(editor->text() + zeiten(*w), QStringLiteral("27674 ms|1.26 s|1.33 s"));
        w->TextStartfrequenz->setFocus(Qt::MouseFocusReason);
        QCOMPARE(w->namesData()->zellText(0) + zeiten(*w), QStringLiteral("27674 ms|74 ms|148 ms"));
        // Left from the blank row below it, the grid goes back to it.
        zeileAnklicken(*w, 1);
        w->TextSatzpause->setFocus(Qt::MouseFocusReason);
        QCOMPARE(stand(*w), stand(0));

        // Emptied, the only row stays the current one when the grid is left.
        w->dbgridschritte->setFocus();
        w->setAktuellerZellText(QString());
        w->TextSatzpause->setFocus(Qt::MouseFocusReason);
        QCOMPARE(w->namesData()->zellText(0) + stand(*w) + zeiten(*w), stand(0) + "-|-|-");
    }
};

QTEST_MAIN(TestBearbeiten)
#include "tst_bearbeiten.moc"
