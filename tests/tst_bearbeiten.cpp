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
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

#include <functional>
#include <map>

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

// Acceleration/braking/total as shown, "-" for a hidden one.
QString zeiten(PCSteuerung &w) {
    QStringList t;
    for (QLabel *l : {w.LabelBeschleunigungszeit, w.LabelBremszeit, w.LabelGesamtzeit})
        t << (l->isVisible() ? l->text() : QStringLiteral("-"));
    return t.join(QLatin1Char('/'));
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

// Plays a script on the window token by token and gives it back as it went: an observation
// ("was=wert") comes back with what was seen, so a script that goes as written is its own
// result; an unknown token comes back marked. Actions: "Feld:text" sets a number field,
// "Feld+keys" types at its end, "Feld!" gives it the focus by mouse (Feld: its name without
// "Text"); "r1".."r4" click a ramp option; "k3"/"kk3" click/double-click row 3's step cell, "z3"
// makes row 3 current; "grid" focuses the grid, "runter" presses the down key there;
// "tippen:keys" types into whatever has the focus; "zelle:text" sets the current cell;
// "bloecke:n" see bloeckeAnlegen; "rampe1:5" writes ramp 5 into entry 1; "datei" adds rows as
// reading a file does, 32 times; "start:0"/"start:1" the start-up not yet/finished.
// Observations: "Feld=", "stand=n" (row n current, as stand says), "panel=", "satzN=" (entry
// N), "zelleN=", "zeilen=", "zeiten=", "grafik=", "editor=" (the text of a cell editor in view,
// "-" for none), "fehler=n" (n input errors reported), "meldung=" (the messages; both take
// them), "ruhig=ja" (graph and times as when the script began).
QStringList spielen(Fensterumgebung &u, const QStringList &skript) {
    PCSteuerung &w = u.w();
    NamesData *d = w.namesData();
    const QString anfang = grafik(w) + zeiten(w);
    QStringList gespielt;
    for (const QString &t : skript) {
        const QRegularExpressionMatch m =
            QRegularExpression("^([^\\d:=+!]*)(\\d*)([:=+!]?)(.*)$",
                               QRegularExpression::DotMatchesEverythingOption)
                .match(t);
        const QString was = m.captured(1), art = m.captured(3), wert = m.captured(4);
        const int zahl = m.captured(2).toInt();
        QLineEdit *feld = w.findChild<QLineEdit *>("Text" + was);
        const std::map<QString, std::function<void()>> aktionen{
            {"Feld:", [&] { feld->setText(wert); }},
            {"Feld+", [&] { feld->end(false), QTest::keyClicks(feld, wert); }},
            {"Feld!", [&] { feld->setFocus(Qt::MouseFocusReason); }},
            {"r", [&] { QTest::mouseClick(rampen(w)[zahl - 1], Qt::LeftButton); }},
            {"k", [&] { zeileAnklicken(w, zahl); }},
            {"kk", [&] { zeileAnklicken(w, zahl, true); }},
            {"z", [&] { w.setAktuelleZeile(zahl); }},
            {"grid", [&] { w.dbgridschritte->setFocus(); }},
            {"runter", [&] { QTest::keyClick(w.dbgridschritte, Qt::Key_Down); }},
            {"tippen:",
             [&] {
                 for (const QChar c : wert)
                     QTest::keyClicks(QApplication::focusWidget(), c);
             }},
            {"zelle:", [&] { w.setAktuellerZellText(wert); }},
            {"bloecke:", [&] { bloeckeAnlegen(w, wert.toInt()); }},
            {"rampe:", [&] { w.SatzListe[size_t(zahl)].setRampe(wert.toInt()); }},
            {"start:", [&] { StartAbgeschlossen = wert == "1", QTest::qWait(20); }},
            {"datei", [&] {
                 for (int i = 0; i <= SatzListeGroesse; ++i)
                     d->setData(d->index(d->tabellenzeilen(), 0), QStringLiteral("9"));
             }}};
        const QString aktion = (feld ? "Feld" : was) + art;
        if (art != "=") {
            if (aktionen.count(aktion))
                aktionen.at(aktion)();
            gespielt << (aktionen.count(aktion) ? t : "unbekannt: " + t);
            continue;
        }
        if (was == "editor")
            QTest::qWait(20); // a row selected again after a click
        const QStringList meldungen = u.meldungen();
        if (was == "fehler" || was == "meldung")
            u.nachrichten.leeren();
        QString editor = "-";
        for (QLineEdit *e : w.dbgridschritte->findChildren<QLineEdit *>())
            editor = e->isVisible() ? e->text() : editor;
        const int zeile = w.aktuelleZeile();
        const QString fehler = QStringLiteral("Eingabefehler: Nur Ganzzahlen gültig !");
        const std::map<QString, QString> blick{
            {"stand", stand(w) == stand(zeile) ? n(zeile) : stand(w)},
            {"panel", angezeigt(w)},
            {"satz", text(w.SatzListe[size_t(zahl)])},
            {"zelle", d->zellText(zahl)},
            {"zeilen", n(d->tabellenzeilen())},
            {"zeiten", zeiten(w)},
            {"grafik", grafik(w)},
            {"editor", editor},
            {"fehler", meldungen == QStringList(meldungen.size(), fehler) ? n(meldungen.size())
                                                                          : meldungen.join(" + ")},
            {"meldung", meldungen.join(" + ")},
            {"ruhig", grafik(w) + zeiten(w) == anfang ? "ja" : grafik(w) + zeiten(w)}};
        gespielt << t.section('=', 0, 0) + "=" +
                        (feld               ? feld->text()
                         : blick.count(was) ? blick.at(was)
                                            : "?");
    }
    return gespielt;
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

    void sitzung_data() {
        QTest::addColumn<QStringList>("skript");
        // A field prepared, keys typed at its end: the messages and the fields then. An empty
        // frequency field: the change fails, resets its own field, and the reset fails again.
        // Too large to be a number: silently neither drawn nor computed. While the window fills
        // its fields (before start-up), nothing is checked, reported or reset.
        QString t =
            "Buchstabe in Satzpause;Satzpause+a;fehler=1;Satzpause=10;ruhig=ja|"
            "Minus allein;Satzdurchläufe:;fehler=0;Satzdurchläufe+-;fehler=1;Satzdurchläufe=1;"
            "ruhig=ja|Buchstabe nach Ziffer;Befehlspause:;fehler=0;Befehlspause+7b;fehler=1;"
            "Befehlspause=10;ruhig=ja|Programmpause geleert;Programmpause:;fehler=0;"
            "Programmpause+x;fehler=1;Programmpause=10;ruhig=ja|Programmdurchläufe geleert;"
            "Programmdurchläufe:;fehler=0;Programmdurchläufe=;ruhig=ja|Programmdurchläufe;"
            "Programmdurchläufe+x;fehler=1;Programmdurchläufe=1;ruhig=ja|Bruch;Befehlspause:;"
            "Befehlspause+12.7;fehler=0;Befehlspause=12.7;ruhig=ja|elf Ziffern;Programmpause:;"
            "Programmpause+12345678901;fehler=0;Programmpause=12345678901;ruhig=ja|"
            "Maximalfrequenz leer;Maximalfrequenz:;fehler=0;Startfrequenz+5;fehler=2;"
            "Maximalfrequenz=;Startfrequenz=300;ruhig=ja|Startfrequenz leer;Startfrequenz:;"
            "fehler=0;Maximalfrequenz+5;fehler=2;Startfrequenz=;Maximalfrequenz=4000;ruhig=ja|"
            "Maximalfrequenz übergroß;Maximalfrequenz:99999999999;Startfrequenz+5;fehler=0;"
            "Maximalfrequenz=99999999999;Startfrequenz=3005;ruhig=ja|vor dem Start;start:0;"
            "Startfrequenz:abc;Satzpause:x;start:1;Startfrequenz=abc;Satzpause=x;ruhig=ja|";
        // The ramp options; a start frequency below the first level: the frequency field's own
        // run keeps the labels as far as it got, the option's run hides the times. Beyond the
        // ramp tables: accepted and drawn; an option then finds no times. Maximal not above
        // start: no flanks, only the total (5000 steps at 300 Hz), the hidden label keeps the
        // caption it had; lowering the start below it shows the label with that caption.
        t += "Rampen und Grafik;grafik=an/300 Hz/4000 Hz;zeiten=74 ms/1.26 s/1.33 s;r4;"
             "zeiten=737 ms/1.19 s/1.93 s;r1;zeiten=74 ms/1.26 s/1.33 s;Startfrequenz:10;"
             "zeiten=74 ms/1.26 s/1.33 s;r3;zeiten=-/-/-;Startfrequenz:300;Maximalfrequenz:;"
             "Maximalfrequenz+13000;Maximalfrequenz=13000;grafik=an/300 Hz/13000 Hz;r2;"
             "zeiten=-/-/-;Maximalfrequenz:300;grafik=aus/300 Hz/13000 Hz;zeiten=-/-/16.67 s;"
             "Maximalfrequenz:250;grafik=aus/300 Hz/13000 Hz;zeiten=-/-/16.67 s;Startfrequenz:200;"
             "grafik=an/200 Hz/13000 Hz|";
        // Leaving block 1 with a field it cannot take: the message; nothing of the panel reaches
        // block 1, the row change goes through all the same (the checks after the message:
        // %1). Filled fields first: a frequency field emptied before the other one is changed
        // would make that change fail.
        t += QString("Maximalfrequenz geleert;bloecke:2;Satzdurchläufe:9;Startfrequenz:500;"
                     "Satzpause:10;Maximalfrequenz:;fehler=0;k1;"
                     "meldung=Programmfehler !: Sie müssen eine Maximalfrequenz angeben;%1|"
                     "Startfrequenz und Satzpause geleert;bloecke:2;Satzdurchläufe:9;"
                     "Maximalfrequenz:4000;Startfrequenz:;Satzpause:;fehler=0;k1;"
                     "meldung=Programmfehler !: Sie müssen eine Startfrequenz angeben;%1|"
                     "Satzpause geleert;bloecke:2;Satzdurchläufe:9;Startfrequenz:500;"
                     "Maximalfrequenz:4000;Satzpause:;fehler=0;k1;"
                     "meldung=Programmfehler !: Sie müssen eine Satzpause angeben;%1|"
                     "Satzpause zu groß;bloecke:2;Satzdurchläufe:9;Startfrequenz:500;"
                     "Maximalfrequenz:4000;Satzpause:99999999999;fehler=0;k1;"
                     "meldung=Programmfehler !: Satzpause in Satz 1 ist keine gültige Ganzzahl: "
                     "„99999999999“.\nDer Satz wurde nicht übernommen.;"
                     "%1|")
                 .arg("satz0=200/3000/2/20/1/rechts/-;stand=1;panel=210/3100/3/21/2/links/umkehr;"
                      "grafik=an/210 Hz/3100 Hz;zeiten=136 ms/638 ms/774 ms");
        // Moving with the arrow keys is a row change like any other. Down from row 19 onto the
        // blank row: back to row 19, block 20 in the panel. A click or double click on the blank
        // row does not open it for a 21st block, nor does the program moving there. A program
        // file may bring up to 31 blocks: the rows past the 20th are reachable, the blank row
        // after the 31st has no entry behind it.
        // Block 2 holds a ramp no option stands for (as a file may bring): showing it leaves the
        // option as it was, and leaving it stores that option. The blank row: the defaults, no
        // step count, no times. Leaving the grid without a step count goes back to the last
        // block and stores the panel, edited for the blank row, into the blank row's entry.
        // The cell editor takes digits only; the times wait for the cell to be left. Left from
        // the blank row below it, the grid goes back to it. Emptied, the only row stays the
        // current one when the grid is left.
        t += "zwanzig Sätze;bloecke:20;k18;Satzpause:77;grid;runter;stand=19;"
             "satz18=380/4800/20/77/3/rechts/-;runter;stand=19;"
             "panel=390/4900/21/39/4/links/umkehr;k20;stand=19;kk20;stand=19;editor=-;z20;"
             "stand=19;zeilen=20;datei;zeilen=31;z21;stand=21;z31;stand=30|leere Zeile;bloecke:2;"
             "rampe1:5;r3;k1;satz0=200/3000/2/20/3/rechts/-;satz1=210/3100/3/21/5/links/umkehr;"
             "panel=210/3100/3/21/3/links/umkehr;Satzpause:33;grid;k2;stand=2;"
             "satz1=210/3100/3/33/3/links/umkehr;panel=300/4000/1/10/1/rechts/-;zeiten=-/-/-;"
             "Satzpause:44;Startfrequenz!;stand=1;satz2=300/4000/1/44/1/rechts/-;Satzpause=33;"
             "zeilen=2;zeiten=275 ms/620 ms/895 ms|erste Zeile;grid;tippen:2x7e6;editor=276;"
             "zeiten=74 ms/1.26 s/1.33 s;Startfrequenz!;zelle0=276;zeiten=74 ms/74 ms/148 ms;k1;"
             "Satzpause!;stand=0;grid;zelle:;Satzpause!;zelle0=;stand=0;zeiten=-/-/-";
        for (const QStringList &f : Faelle(t))
            QTest::newRow(qPrintable(f[0])) << f.mid(1);
    }

    void sitzung() {
        QFETCH(QStringList, skript);
        QCOMPARE(spielen(*u, skript), skript);
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
};

QTEST_MAIN(TestBearbeiten)
#include "tst_bearbeiten.moc"
