// The program's travel time below the program values, the question before a changed program is
// closed or replaced, the programs used last across a restart, and the menus while a command
// sends; all on the real main window, commands going to a pseudo-terminal.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "files/Kleindateien.h"
#include "link/SerielleSchnittstelle.h"
#include "model/NamesData.h"
#include "ramp/Rampe.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// A program file of blocks "Schritte Startfrequenz Maximalfrequenz Rampe Satzdurchläufe".
QString Programmdatei(const QString &pfad, const QStringList &saetze) {
    Dateizugriff::ProgrammFelder p{"2", "10", "10", {}};
    for (const QString &satz : saetze) {
        const QStringList w = satz.split(' ');
        p.sätze.append({w[0], w[1], w[2], w[4], "10", false, true, w[3].toInt()});
    }
    DateiSchreiben(pfad, Dateizugriff::ProgrammDateiDaten(p));
    return pfad;
}

// Whether "Zuletzt geöffnet" shows exactly these paths, in this order.
bool Zeigt(PCSteuerung &w, const QStringList &pfade) {
    QStringList gezeigt, soll;
    for (QAction *a : w.ZuletztGeoeffnet->actions())
        if (a->isVisible())
            gezeigt << a->objectName() + ' ' + a->text();
    for (int i = 0; i < pfade.size(); ++i)
        soll << QString("ZuletztGeoeffnet%1 &%1 %2").arg(i + 1).arg(pfade[i]);
    return gezeigt == soll;
}

} // namespace

class TestProgrammschutz : public QObject {
    Q_OBJECT
private slots:
    void fahrzeit_data() {
        // Blocks of the file (Programmdurchläufe 2); what the operator changes then ("-": nothing),
        // to which text or on which block; the label's text and tooltip.
        QTest::addColumn<QStringList>("f");
        QString tabelle =
            "ein Satz;5000 300 4000 1 1;-;;{Z}2.66 s{O};|Durchläufe;{3};TextProgrammdurchläufe;3;"
            "{Z}23.39 s{O};|Schritte;{3};Zeile2;90000;{Z}33.09 s{O};|Satz angefügt;{3};Zeile4;7000;"
            "{Z}19.25 s{O};|Satz gelöscht;{3};SatzLöschen;2;{Z}9.07 s{O};|Rampe;{3};"
            "OptionRampe20ms;;{Z}17.98 s{O};|Satzdurchläufe;{3};TextSatzdurchläufe;7;{Z}28.89 s{O};"
            "|leer;;-;;{Z}0 ms{O};|unerreichbar;5000 300 4000 1 1,100 300 4000 1 1;-;;{-};"
            "Satz 2: {M}|unerreichbar getippt;100 300 600 1 1;TextMaximalfrequenz;4000;{-};"
            "Satz 1: {M}|Durchläufe geleert;5000 300 4000 1 1,5000 300 4000 1 1;TextSatzdurchläufe;"
            ";{-};Satzdurchläufe in Satz 1 ist keine ganze Zahl";
        tabelle.replace("{3}", "5000 300 4000 1 2,20000 100 8000 3 1,800 500 2000 4 3")
            .replace("{-}", "{Z}–")
            .replace("{Z}", "Fahrzeit des Programms: ")
            .replace("{O}", " (ohne Pausen)")
            .replace("{M}", MaximalfrequenzWarnungText());
        for (const QStringList &f : Faelle(tabelle))
            QTest::newRow(qPrintable(f[0])) << f;
    }

    void fahrzeit() {
        QFETCH(QStringList, f);
        Fensterumgebung u;
        PCSteuerung &w = u.w();
        const QStringList saetze = f[1].split(',', Qt::SkipEmptyParts);
        QVERIFY(u.dateidialog(w.Öffnen, Programmdatei(u.pty.verzeichnis() + "/p.orp", saetze)));
        if (f[2].startsWith("Zeile"))
            w.setAktuelleZeile(f[2].mid(5).toInt() - 1), w.setAktuellerZellText(f[3]);
        else if (auto *a = w.findChild<QAction *>(f[2])) // on the block of that number
            w.setAktuelleZeile(f[3].toInt() - 1), a->trigger();
        else if (auto *e = w.findChild<QLineEdit *>(f[2]))
            e->setText(f[3]);
        else if (auto *o = w.findChild<QRadioButton *>(f[2]))
            o->click();
        const QString angezeigt = w.LabelProgrammfahrzeit->text();
        for (int i = 0; f[5].isEmpty() && i < w.namesData()->tabellenzeilen(); ++i)
            w.setAktuelleZeile(i); // walking the blocks changes nothing
        QCOMPARE(QStringList({angezeigt, w.LabelProgrammfahrzeit->text(),
                              w.LabelProgrammfahrzeit->toolTip()}),
                 QStringList({f[4], f[4], f[5]}));
    }

    void frage_data() {
        // How the program is left, what changed since it was saved, the answer; then whether it was
        // asked, whether the window closed or the other file opened, whether the file was saved.
        QTest::addColumn<QStringList>("f");
        for (const QStringList &f : Faelle(
                 "Beenden;nichts;Abbrechen;0;1;0|Beenden;Startfrequenz;Speichern;1;1;1|"
                 "Beenden;Startfrequenz;Verwerfen;1;1;0|Beenden;Satz angefügt;Abbrechen;1;0;0|"
                 "Beenden;Programmpause;Speichern scheitert;1;0;0|"
                 "Schließfeld;übertragen und gestartet;Abbrechen;0;1;0|"
                 "Schließfeld;Schritte;Verwerfen;1;1;0|Schließfeld;Startfrequenz;Abbrechen;1;0;0|"
                 "Öffnen;nichts;Abbrechen;0;1;0|Öffnen;Programmpause;Speichern;1;1;1|"
                 "Öffnen;Schritte;Verwerfen;1;1;0|Öffnen;Satz angefügt;Abbrechen;1;0;0"))
            QTest::newRow(qPrintable(f.mid(0, 3).join(", "))) << f;
    }

    void frage() {
        QFETCH(QStringList, f);
        Fensterumgebung u;
        PCSteuerung &w = u.w();
        const QString a = u.pty.verzeichnis() + "/a.orp";
        const QString b = Programmdatei(u.pty.verzeichnis() + "/b.orp", {"7000 300 4000 1 1"});
        w.TextProgrammpause->setText("30");
        QVERIFY(u.dateidialog(w.Speichernunter, a));
        const QByteArray vorher = DateiInhalt(a);
        if (auto *feld = w.findChild<QLineEdit *>("Text" + f[1])) // Startfrequenz, Programmpause
            feld->setText("200");
        else if (f[1] == "Satz angefügt")
            u.saetzeAnlegen(2);
        else if (f[1] == "Schritte")
            w.setAktuellerZellText("6000");
        else if (f[1].startsWith("übertragen"))
            w.CommandProgrammieren->click(), w.CommandProgrammstart->click();
        if (f[2] == "Speichern scheitert") // a folder now stands where the file was
            QVERIFY(QFile::remove(a) && QDir().mkdir(a));
        u.nachrichten.setAntwort(f[2].section(' ', 0, 0));

        if (f[0] != "Öffnen")
            f[0] == "Beenden" ? w.Beenden->trigger() : void(w.close());
        else if (u.dateidialog(w.Öffnen, b) && w.windowTitle() == PCSteuerung::TitelPraefix() + b)
            w.Beenden->trigger(); // what was just opened is left without a question
        const bool weiter = !w.isVisible();
        QStringList fragen;
        for (const Nachrichtenfaenger::Nachricht &n : u.nachrichten.fragen())
            fragen << n.titel + ": " + n.text;
        QCOMPARE(fragen, QStringList(f[3].toInt(), "Zelkor_V2: Das Programm wurde geändert. Sollen "
                                                   "die Änderungen gespeichert werden?"));
        QCOMPARE(weiter, f[4] == "1");
        QCOMPARE(QFileInfo(a).isFile() && DateiInhalt(a) != vorher, f[5] == "1");
        QCOMPARE(u.nachrichten.anzahl(), f[2] == "Speichern scheitert" ? 1 : 0);
    }

    void zuletztGeoeffnet() {
        Fensterumgebung u;
        QStringList pfade;           // newest first
        for (int i = 1; i <= 7; ++i) // p7 only saved later
            pfade.prepend(Programmdatei(u.pty.verzeichnis() + QString("/p%1.orp").arg(i),
                                        {QString("%1000 300 4000 1 1").arg(i)}));
        QVERIFY(QFile::remove(pfade[0]));
        QVERIFY(
            Dateizugriff::ZuletztDateiSpeichern(Dateizugriff::ZuletztDateipfad(), pfade.mid(1)));
        u.mitschnitt.reset(), u.fenster.reset(), u.fenster = HauptfensterStarten(); // started again
        QVERIFY(Zeigt(u.w(), pfade.mid(1)));
        QVERIFY(u.dateidialog(u.w().Speichernunter, pfade[0]));
        pfade.removeLast();
        QVERIFY(Zeigt(u.w(), pfade));
        u.w().findChild<QAction *>("ZuletztGeoeffnet4")->trigger();
        QCOMPARE(u.w().windowTitle(), PCSteuerung::TitelPraefix() + pfade[3]);
        pfade.move(3, 0);
        QVERIFY(Zeigt(u.w(), pfade));

        // A file gone since is taken off the list; started again, the window offers the same list.
        QVERIFY(QFile::remove(pfade[2]));
        u.w().findChild<QAction *>("ZuletztGeoeffnet3")->trigger();
        QCOMPARE(u.meldungen(), {"Zelkor_V2: Die Datei \"" + pfade.takeAt(2) +
                                 "\" gibt es nicht mehr. Sie wurde aus der Liste der zuletzt "
                                 "geöffneten Programme genommen."});
        QCOMPARE(u.w().windowTitle(), PCSteuerung::TitelPraefix() + pfade[0]);
        QVERIFY(Zeigt(u.w(), pfade));
        u.mitschnitt.reset(), u.fenster.reset(), u.fenster = HauptfensterStarten();
        QVERIFY(Zeigt(u.w(), pfade));
    }

    void menuesWaehrendBefehl() {
        // The commands in turn, by their buttons, and what happens at their second byte: at each
        // byte handed to the port no menu or entry is usable, after it all are again.
        Fensterumgebung u;
        PCSteuerung &w = u.w();
        const auto freie = [&w] { // usable menus and entries
            int n = 0;
            for (QAction *a : {w.Datei->menuAction(), w.Zelkor->menuAction(), w.Öffnen, w.Speichern,
                               w.Speichernunter, w.Beenden, w.Parameter, w.Manuell, w.Referenzfahrt,
                               w.Schnittstelle, w.Info})
                n += a->isEnabled();
            return n;
        };
        for (const QStringList &f :
             Faelle("CommandProgrammieren;|CommandSatzstart;|CommandProgrammstart;|"
                    "CommandProgrammieren;CommandProgrammstart|CommandProgrammieren;abgezogen")) {
            QList<int> waehrend; // at each byte handed to the port
            const auto jedesByte =
                QObject::connect(w.MSComm1, &SerielleSchnittstelle::byteGesendet, [&] {
                    waehrend << freie();
                    if (waehrend.size() == 2 && f[1] == "abgezogen")
                        u.pty.masterSchliessen();
                    else if (waehrend.size() == 2 && !f[1].isEmpty())
                        w.findChild<QPushButton *>(f[1])->click();
                });
            w.findChild<QPushButton *>(f[0])->click();
            QObject::disconnect(jedesByte);
            QVERIFY(!waehrend.isEmpty());
            QCOMPARE(waehrend, QList<int>(waehrend.size(), 0));
            QCOMPARE(freie(), 11);
            QTRY_COMPARE(u.nachrichten.anzahl(), f[1] == "abgezogen" ? 1 : 0);
        }
    }
};

QTEST_MAIN(TestProgrammschutz)
#include "tst_programmschutz.moc"
