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

// The current row's number when the row, the block the program record points at, the panel's
// caption and the start button all agree on it; all of them otherwise.
QString stand(PCSteuerung &w) {
    const QString z = n(w.aktuelleZeile()), nr = n(w.aktuelleZeile() + 1);
    const QString t = QStringList{z, n(w.ProgrammSettings.aktuellerSatz()),
                                  w.FrameSatzparameter->title(), w.CommandSatzstart->text()}
                          .join('/');
    return t == QString("%1/%1/Satz - Parameter Satz %2/Satz Nr. %2 starten").arg(z, nr) ? z : t;
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
// The entries past the blank row's get pauses of their own, as if used before.
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
    for (int i = anzahl + 1; i < SatzListeGroesse; ++i)
        w.SatzListe[size_t(i)].setSatzpause(100 + i);
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

// Plays a script on the window and gives it back as it went: an action as written (an unknown
// one marked), an observation "was=wert" with what was seen; a script that goes as written is
// its own result. Actions: "Feld:text" sets a number field (Feld: its name without "Text"),
// "Feld+keys" types at its end, "Feld!" focuses it by mouse; "r1".."r4" click a ramp option;
// "k3"/"kk3" click/double-click row 3's cell, "kopf3" its header, "z3" makes it current; "grid",
// "runter", "Entf" focus the grid, press down/Entf there; "tippen:keys" types into the focus;
// "zelle:text" sets the current cell; "bloecke:n" see bloeckeAnlegen; "rampe1:5" writes ramp 5
// into entry 1; "datei" adds rows as reading a file does, 32 times; "start:0"/"start:1" the
// start-up pending/finished; "menü" chooses "Satz löschen" from the grid's context menu.
// Observations: "Feld=", "stand=" (see stand), "panel=", "satzN=" (entry N), "zellen=" (all
// cells), "zeilen=", "zeiten=", "grafik=", "fokus=grid", "editor=" (a cell editor's text, "-":
// none in view), "meldung=" (taken; the input error as "Eingabefehler"), "ruhig=ja" (graph and
// times as at the start), "gezeigt=ja" (panel and times are the current entry's, worked out
// afresh), "verschoben=z-e" (entries z..e-1 hold the next one's as "bloecke" left them, e the
// defaults, the rest as left; "-": all as left).
QStringList spielen(Fensterumgebung &u, const QStringList &skript) {
    PCSteuerung &w = u.w();
    NamesData *d = w.namesData();
    QTableView *grid = w.dbgridschritte;
    const QString anfang = grafik(w) + zeiten(w);
    SatzTabelle alt = w.SatzListe;
    static const QRegularExpression form("^([^\\d:=+!]*)(\\d*)([:=+!]?)(.*)$",
                                         QRegularExpression::DotMatchesEverythingOption);
    QStringList gespielt;
    for (const QString &t : skript) {
        const QRegularExpressionMatch m = form.match(t);
        const QString was = m.captured(1), art = m.captured(3), wert = m.captured(4);
        const int zahl = m.captured(2).toInt();
        QLineEdit *feld = w.findChild<QLineEdit *>("Text" + was);
        const QString name = (feld ? "Feld" : was) + art;
        QString ist = t; // an action comes back as it was
        const auto klick = [&] {
            grid->scrollTo(d->index(zahl, 0));
            const QPoint mitte = grid->visualRect(d->index(zahl, 0)).center();
            if (was == "kk")
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, mitte);
            else
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, mitte);
        };
        const std::map<QString, std::function<void()>> aktionen{
            {"Feld:", [&] { feld->setText(wert); }},
            {"Feld+", [&] { feld->end(false), QTest::keyClicks(feld, wert); }},
            {"Feld!", [&] { feld->setFocus(Qt::MouseFocusReason); }},
            {"r", [&] { QTest::mouseClick(rampen(w)[zahl - 1], Qt::LeftButton); }},
            {"k", klick},
            {"kk", klick},
            {"z", [&] { w.setAktuelleZeile(zahl); }},
            {"grid", [&] { grid->setFocus(); }},
            {"runter", [&] { QTest::keyClick(grid, Qt::Key_Down); }},
            {"Entf", [&] { QTest::keyClick(grid, Qt::Key_Delete); }},
            {"tippen:", [&] { QTest::keyClicks(QApplication::focusWidget(), wert); }},
            {"zelle:", [&] { w.setAktuellerZellText(wert); }},
            {"bloecke:", [&] { bloeckeAnlegen(w, wert.toInt()), alt = w.SatzListe; }},
            {"rampe:", [&] { w.SatzListe[size_t(zahl)].setRampe(wert.toInt()); }},
            {"start:", [&] { StartAbgeschlossen = wert == "1", QTest::qWait(20); }},
            {"kopf",
             [&] {
                 QHeaderView *kopf = grid->verticalHeader();
                 const int y = kopf->sectionViewportPosition(zahl) + kopf->sectionSize(zahl) / 2;
                 QTest::mouseClick(kopf->viewport(), Qt::LeftButton, {}, {kopf->width() / 2, y});
             }},
            {"menü",
             [&] {
                 auto *a = grid->findChild<QAction *>(QStringLiteral("SatzLöschen"));
                 if (a && grid->contextMenuPolicy() == Qt::ActionsContextMenu &&
                     grid->actions().contains(a) && a->text() == QStringLiteral("Satz löschen"))
                     a->trigger();
                 else
                     ist = "kein Satz löschen im Kontextmenü";
             }},
            {"datei", [&] {
                 for (int i = 0; i <= SatzListeGroesse; ++i)
                     d->setData(d->index(d->tabellenzeilen(), 0), QStringLiteral("9"));
             }}};
        const std::map<QString, std::function<QString()>> blick{
            {"Feld=", [&] { return feld->text(); }},
            {"stand=", [&] { return stand(w); }},
            {"panel=", [&] { return angezeigt(w); }},
            {"satz=", [&] { return text(w.SatzListe[size_t(zahl)]); }},
            {"zeilen=", [&] { return n(d->tabellenzeilen()); }},
            {"zeiten=", [&] { return zeiten(w); }},
            {"grafik=", [&] { return grafik(w); }},
            {"ruhig=",
             [&] { return grafik(w) + zeiten(w) == anfang ? "ja" : grafik(w) + zeiten(w); }},
            {"fokus=", [&] { return QApplication::focusWidget() == grid ? "grid" : "-"; }},
            {"editor=",
             [&] {
                 QTest::qWait(20); // a row selected again after a click
                 QString text = "-";
                 for (QLineEdit *e : grid->findChildren<QLineEdit *>())
                     text = e->isVisible() ? e->text() : text;
                 return text;
             }},
            {"meldung=",
             [&] {
                 QString m = u.meldungen().join(" + ");
                 u.nachrichten.leeren();
                 return m.replace("Eingabefehler: Nur Ganzzahlen gültig !", "Eingabefehler");
             }},
            {"zellen=",
             [&] {
                 QStringList zellen;
                 for (int i = 0; i < d->rowCount(); ++i)
                     zellen << d->zellText(i);
                 return zellen.join(',');
             }},
            {"gezeigt=",
             [&] {
                 const QString g = angezeigt(w) + " " + zeiten(w);
                 w.BerechneRampe();
                 const QString soll = text(w.SatzListe[size_t(w.aktuelleZeile())]);
                 return g == soll + " " + zeiten(w) ? "ja" : g;
             }},
            {"verschoben=", [&] {
                 QStringList ist, soll;
                 for (int i = 0; i < SatzListeGroesse; ++i) {
                     ist << text(w.SatzListe[size_t(i)]);
                     soll << text(alt[size_t(i)]);
                 }
                 if (wert != "-") {
                     soll.removeAt(wert.section('-', 0, 0).toInt());
                     soll.insert(wert.section('-', 1).toInt(), Standard);
                 }
                 return ist == soll ? wert : ist.join(' ');
             }}};
        if (aktionen.count(name))
            aktionen.at(name)();
        else if (blick.count(name))
            ist = t.section('=', 0, 0) + "=" + blick.at(name)();
        else
            ist = "unbekannt: " + t;
        gespielt << ist;
    }
    return gespielt;
}

} // namespace

// Every test starts on a freshly loaded window, which comes up without a message; a message a
// test does not take (and clear), or a byte on the line, counts as a fault.
class TestBearbeiten : public QObject {
    Q_OBJECT
    std::unique_ptr<Fensterumgebung> u;

private slots:
    void init() {
        u = std::make_unique<Fensterumgebung>();
        u->w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&u->w()));
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
        // Field checks. An empty frequency field makes the other one's change fail, which resets
        // it, and the reset fails again; too large to be a number: silently neither drawn nor
        // computed. Before start-up nothing is checked, reported or reset.
        QString t =
            "Buchstabe in Satzpause;Satzpause+a;meldung=Eingabefehler;Satzpause=10;ruhig=ja|Minus "
            "allein;Satzdurchläufe:;meldung=;Satzdurchläufe+-;meldung=Eingabefehler;"
            "Satzdurchläufe=1;ruhig=ja|Buchstabe nach Ziffer;Befehlspause:;meldung=;"
            "Befehlspause+7b;meldung=Eingabefehler;Befehlspause=10;ruhig=ja|Programmpause geleert;"
            "Programmpause:;meldung=;Programmpause+x;meldung=Eingabefehler;Programmpause=10;"
            "ruhig=ja|Programmdurchläufe;Programmdurchläufe+x;meldung=Eingabefehler;"
            "Programmdurchläufe=1;ruhig=ja|Bruch;Befehlspause:;Befehlspause+12.7;meldung=;"
            "Befehlspause=12.7;ruhig=ja|Maximalfrequenz leer;Maximalfrequenz:;meldung=;"
            "Startfrequenz+5;meldung=Eingabefehler + Eingabefehler;Maximalfrequenz=;"
            "Startfrequenz=300;ruhig=ja|Startfrequenz leer;Startfrequenz:;meldung=;"
            "Maximalfrequenz+5;meldung=Eingabefehler + Eingabefehler;Startfrequenz=;"
            "Maximalfrequenz=4000;ruhig=ja|Maximalfrequenz übergroß;Maximalfrequenz:99999999999;"
            "Startfrequenz+5;meldung=;Maximalfrequenz=99999999999;Startfrequenz=3005;ruhig=ja|vor "
            "dem Start;start:0;Startfrequenz:abc;Satzpause:x;start:1;Startfrequenz=abc;Satzpause=x;"
            "ruhig=ja|";
        // Ramp options; a start below the first level: the field's own run keeps the labels as far
        // as it got, an option's run hides the times. Beyond the tables: drawn, no times. Maximal
        // not above start: no flanks, only the total; the hidden label keeps its caption.
        t += "Rampen und Grafik;grafik=an/300 Hz/4000 Hz;zeiten=74 ms/1.26 s/1.33 s;r4;zeiten=737 "
             "ms/1.19 s/1.93 s;r1;zeiten=74 ms/1.26 s/1.33 s;Startfrequenz:10;zeiten=74 ms/1.26 s/"
             "1.33 s;r3;zeiten=-/-/-;Startfrequenz:300;Maximalfrequenz:;Maximalfrequenz+13000;"
             "Maximalfrequenz=13000;grafik=an/300 Hz/13000 Hz;r2;zeiten=-/-/-;Maximalfrequenz:300;"
             "grafik=aus/300 Hz/13000 Hz;zeiten=-/-/16.67 s;Maximalfrequenz:250;grafik=aus/300 Hz/"
             "13000 Hz;zeiten=-/-/16.67 s;Startfrequenz:200;grafik=an/200 Hz/13000 Hz|";
        // Leaving block 1 with a field it cannot take: the message; nothing of the panel reaches
        // the entry, the row changes all the same (%4 checks). Filled fields first: a frequency
        // field emptied before the other one is changed would make that change fail.
        t += QString("Maximalfrequenz geleert;%1Startfrequenz:500;Satzpause:10;Maximalfrequenz:;"
                     "%2Maximalfrequenz angeben;%4|Startfrequenz und Satzpause geleert;%1"
                     "Maximalfrequenz:4000;Startfrequenz:;Satzpause:;%2Startfrequenz angeben;%4|"
                     "Satzpause geleert;%1Startfrequenz:500;Maximalfrequenz:4000;Satzpause:;%2"
                     "Satzpause angeben;%4|Satzpause zu groß;%1Startfrequenz:500;Maximalfrequenz:"
                     "4000;Satzpause:99999999999;%3Satzpause in Satz 1 ist keine gültige Ganzzahl:"
                     " „99999999999“.\nDer Satz wurde nicht übernommen.;%4|")
                 .arg("bloecke:2;Satzdurchläufe:9;",
                      "meldung=;k1;meldung=Programmfehler !: Sie müssen eine ",
                      "meldung=;k1;meldung=Programmfehler !: ",
                      "satz0=200/3000/2/20/1/rechts/-;stand=1;panel=210/3100/3/21/2/links/umkehr;"
                      "grafik=an/210 Hz/3100 Hz;zeiten=136 ms/638 ms/774 ms");
        // Arrow keys change rows like clicks. Not onto the blank row after 20 blocks, by key,
        // click, double click or program; a file's rows past the 20th are reachable, up to the
        // 31st. A ramp no option stands for leaves the option as it was, which leaving stores.
        // Leaving the grid from the blank row goes back to the last block and stores the panel into
        // the blank row's entry. The cell editor takes digits only; the times wait for it to close.
        // Emptied, the only row stays current when the grid is left.
        t += "zwanzig Sätze;bloecke:20;k18;Satzpause:77;grid;runter;stand=19;satz18=380/4800/20/77/"
             "3/rechts/-;runter;stand=19;panel=390/4900/21/39/4/links/umkehr;k20;stand=19;kk20;"
             "stand=19;editor=-;z20;stand=19;zeilen=20;datei;zeilen=31;z21;stand=21;z31;stand=30|"
             "leere Zeile;bloecke:2;rampe1:5;r3;k1;satz0=200/3000/2/20/3/rechts/-;satz1=210/3100/3/"
             "21/5/links/umkehr;panel=210/3100/3/21/3/links/umkehr;Satzpause:33;grid;k2;stand=2;"
             "satz1=210/3100/3/33/3/links/umkehr;panel=300/4000/1/10/1/rechts/-;zeiten=-/-/-;"
             "Satzpause:44;Startfrequenz!;stand=1;satz2=300/4000/1/44/1/rechts/-;Satzpause=33;"
             "zeilen=2;zeiten=275 ms/620 ms/895 ms|erste Zeile;grid;tippen:2;tippen:x7e6;"
             "editor=276;zeiten=74 ms/1.26 s/1.33 s;Startfrequenz!;zellen=276,;zeiten=74 ms/74 ms/"
             "148 ms;k1;Satzpause!;stand=0;grid;zelle:;Satzpause!;zellen=,;stand=0;zeiten=-/-/-|";
        // Deleting the current row (with an edit the panel holds): the rows below move up, in
        // the grid and in the entries up to entry 21 or the blank row's, which starts afresh. Not
        // the only block, nor the blank row. The cursor stays in its row, on the block now there,
        // with its times. Entf on a cell deletes nothing, only on a row chosen by its header.
        t += "dritter von fünf, Zeilenkopf und Entf;bloecke:5;k2;Satzpause:55;fokus=grid;Entf;"
             "zeilen=5;kopf2;fokus=grid;Entf;zellen=1000,2000,4000,5000,;stand=2;verschoben=2-21;"
             "gezeigt=ja;Satzpause:66;k0;satz2=230/3300/5/66/4/links/-|erster von zwei;bloecke:2;"
             "k0;Satzpause:55;menü;zellen=2000,;stand=0;verschoben=0-21;gezeigt=ja;Satzpause:66;k1;"
             "satz0=210/3100/3/66/2/links/umkehr|zweiter von zwei;bloecke:2;k1;Satzpause:55;menü;"
             "zellen=1000,;stand=1;verschoben=1-21;gezeigt=ja;Satzpause:66;k0;satz1=300/4000/1/66/"
             "1/rechts/-|einziger Block;bloecke:1;k0;Satzpause:55;menü;zellen=1000,;stand=0;"
             "verschoben=-|22. von 23 aus einer Datei;bloecke:23;k21;Satzpause:55;menü;zellen=1000,"
             "2000,3000,4000,5000,6000,7000,8000,9000,10000,11000,12000,13000,14000,15000,16000,"
             "17000,18000,19000,20000,21000,23000,;stand=21;verschoben=21-23;gezeigt=ja;"
             "Satzpause:66;k0;satz21=420/5200/24/66/3/rechts/umkehr|leere Zeile;bloecke:3;k3;"
             "Satzpause:55;menü;zellen=1000,2000,3000,;stand=3;verschoben=-";
        for (const QStringList &f : Faelle(t))
            QTest::newRow(qPrintable(f[0])) << f.mid(1);
    }

    void sitzung() {
        QFETCH(QStringList, skript);
        QCOMPARE(spielen(*u, skript), skript);
    }
};

QTEST_MAIN(TestBearbeiten)
#include "tst_bearbeiten.moc"
