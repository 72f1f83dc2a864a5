// Open, save and save-as from the real main window: file bytes, name and caption, files that
// must change nothing and a save that fails.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "model/NamesData.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// The program a new window holds, as a file.
const QByteArray Beispiel = "\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n\"300\"\r\n\"4000\"\r\n"
                            "\"1\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n";

// The example with another Programmpause (its second line).
QByteArray MitProgrammpause(const char *pause) {
    return QByteArray(Beispiel).replace(5, 6, "\"" + QByteArray(pause) + "\"\r\n");
}

QString Titel(const QString &name) {
    return "Orbalt-Werk     Zelkor-Positioniersteuerung: " + name;
}

// The panel of the current block and the program's values, as shown.
QString Panel(const PCSteuerung &w) {
    QStringList texte;
    for (const QLineEdit *f : {w.TextStartfrequenz, w.TextMaximalfrequenz, w.TextSatzdurchläufe,
                               w.TextSatzpause, w.TextProgrammdurchläufe, w.TextProgrammpause})
        texte << f->text();
    texte << (w.OptionLinks->isChecked() ? "links" : "rechts")
          << (w.Richtungsumkehrung->isChecked() ? "Umkehr" : "-");
    return texte.join('|');
}

} // namespace

class TestProgrammdateien : public QObject {
    Q_OBJECT
private slots:
    void speichernUndSpeichernUnter();
    void rundreise();
    void langesProgrammGanzZurueck();
    void richtungAusDerDatei();
    void unbrauchbareDateiAendertNichts_data();
    void unbrauchbareDateiAendertNichts();
    void abgebrocheneDialoge();
    void fehlgeschlagenesSpeichernBehaeltAlteDatei();
};

void TestProgrammdateien::speichernUndSpeichernUnter() {
    // "Speichern" on an unnamed program asks for a name; the file is the program's twelve lines
    // and its name the caption. After that "Speichern" writes there without asking.
    Fensterumgebung u;
    QTemporaryDir ablage;
    const QString pfad = ablage.filePath("erst.orp");
    QVERIFY(u.dateidialog(u.w().Speichern, pfad));
    QCOMPARE(DateiInhalt(pfad), Beispiel);
    QCOMPARE(u.w().windowTitle(), Titel(pfad));
    u.w().TextProgrammpause->setText("20");
    QVERIFY(!u.dateidialog(u.w().Speichern, QString()));
    QCOMPARE(DateiInhalt(pfad), MitProgrammpause("20"));
    // "Speichern unter" a name without an ending: ".orp" is added and the caption follows.
    const QString ohneEndung = ablage.filePath("zweit");
    QVERIFY(u.dateidialog(u.w().Speichernunter, ohneEndung));
    QCOMPARE(DateiInhalt(ohneEndung + ".orp"), MitProgrammpause("20"));
    QCOMPARE(u.w().windowTitle(), Titel(ohneEndung + ".orp"));
    QCOMPARE(u.meldungen(), QStringList());
}

void TestProgrammdateien::rundreise() {
    // Three blocks, the first and the last with their own values, saved and opened in a fresh
    // window: everything comes back, and saved again the file is the same.
    Fensterumgebung a;
    PCSteuerung &w = a.w();
    NamesData *daten = w.namesData();
    daten->setData(daten->index(1, 0), "1234");
    daten->setData(daten->index(2, 0), "16777215");
    w.FrequenzfelderSchreiben("500", "9000");
    w.TextSatzdurchläufe->setText("7");
    w.TextSatzpause->setText("0");
    w.OptionLinks->setChecked(true);
    w.Richtungsumkehrung->setChecked(true);
    w.OptionRampe10ms->setChecked(true);
    w.setAktuelleZeile(2);
    w.OptionRampe20ms->setChecked(true);
    w.TextProgrammdurchläufe->setText("3");
    QTemporaryDir ablage;
    const QString pfad = ablage.filePath("drei.orp");
    QVERIFY(a.dateidialog(w.Speichernunter, pfad));

    Fensterumgebung b;
    PCSteuerung &v = b.w();
    QVERIFY(b.dateidialog(v.Öffnen, pfad));
    QCOMPARE(v.windowTitle(), Titel(pfad));
    QStringList zeilen;
    for (int i = 0; i < v.namesData()->tabellenzeilen(); ++i)
        zeilen << v.namesData()->zellText(i);
    QCOMPARE(zeilen, QStringList({"5000", "1234", "16777215"}));
    QCOMPARE(v.aktuelleZeile(), 0);
    QCOMPARE(v.CommandSatzstart->text(), QString("Satz Nr. 1 starten"));
    QCOMPARE(Panel(v), QString("500|9000|7|0|3|10|links|Umkehr"));
    QVERIFY(v.OptionRampe10ms->isChecked());
    v.setAktuelleZeile(2);
    QCOMPARE(Panel(v), QString("300|4000|1|10|3|10|rechts|-"));
    QVERIFY(v.OptionRampe20ms->isChecked());
    const QString wieder = ablage.filePath("wieder.orp");
    QVERIFY(b.dateidialog(v.Speichernunter, wieder));
    QCOMPARE(DateiInhalt(wieder), DateiInhalt(pfad));
    QCOMPARE(a.meldungen() + b.meldungen(), QStringList());
}

void TestProgrammdateien::langesProgrammGanzZurueck() {
    // 21 to 31 blocks open (the transfer refuses them); saving writes every one back. The
    // blocks go through every direction, reversal and ramp.
    Fensterumgebung u;
    QByteArray lang = "\"1\"\r\n\"10\"\r\n\"10\"\r\n23\r\n";
    for (int i = 1; i <= 23; ++i)
        lang += "\"" + QByteArray::number(100 + i) + "\"\r\n\"300\"\r\n\"" +
                QByteArray::number(4000 + i) + "\"\r\n\"1\"\r\n\"10\"\r\n" +
                QByteArray::number(i / 2 % 2) + "\r\n\"" + QByteArray::number(i % 2) + "\"\r\n\"" +
                QByteArray::number(1 + i % 4) + "\"\r\n";
    QTemporaryDir ablage;
    const QString pfad = ablage.filePath("lang.orp");
    QVERIFY(DateiSchreiben(pfad, lang));
    QVERIFY(u.dateidialog(u.w().Öffnen, pfad));
    QCOMPARE(u.w().namesData()->tabellenzeilen(), 23);
    const QString wieder = ablage.filePath("lang2.orp");
    QVERIFY(u.dateidialog(u.w().Speichernunter, wieder));
    QCOMPARE(DateiInhalt(wieder), lang);
    QCOMPARE(u.meldungen(), QStringList());
}

void TestProgrammdateien::richtungAusDerDatei() {
    // Direction 0 is left, any other right; any reversal value but 0 reverses.
    Fensterumgebung u;
    QTemporaryDir ablage;
    const QString pfad = ablage.filePath("richtung.orp");
    for (const auto &[umkehr, richtung, gezeigt] : {std::tuple{"0", "0", "links|-"},
                                                    {"1", "1", "rechts|Umkehr"},
                                                    {"5", "2", "rechts|Umkehr"}}) {
        QVERIFY(DateiSchreiben(pfad, Beispiel.left(Beispiel.size() - 13) + umkehr + "\r\n\"" +
                                         richtung + "\"\r\n\"3\"\r\n"));
        QVERIFY(u.dateidialog(u.w().Öffnen, pfad));
        QCOMPARE(Panel(u.w()).section(QLatin1Char('|'), 6), QString(gezeigt));
        QVERIFY(u.w().OptionRampe10ms->isChecked());
    }
    QCOMPARE(u.meldungen(), QStringList());
}

void TestProgrammdateien::unbrauchbareDateiAendertNichts_data() {
    QTest::addColumn<QByteArray>("inhalt");
    QTest::newRow("bricht ab") << Beispiel.left(Beispiel.size() - 12);
    QTest::newRow("keine Zahl") << QByteArray(Beispiel).replace("\"300\"", "\"drei\"");
    QByteArray gross = "\"1\"\r\n\"10\"\r\n\"10\"\r\n32\r\n";
    for (int i = 0; i < 32; ++i)
        gross += Beispiel.mid(21);
    QTest::newRow("32 Sätze") << gross;
    QTest::newRow("leer") << QByteArray();
}

void TestProgrammdateien::unbrauchbareDateiAendertNichts() {
    QFETCH(QByteArray, inhalt);
    Fensterumgebung u;
    QTemporaryDir ablage;
    const QString gut = ablage.filePath("gut.orp");
    QVERIFY(u.dateidialog(u.w().Speichernunter, gut));
    u.w().TextProgrammpause->setText("33");
    u.w().TextStartfrequenz->setText("777");
    const QString schlecht = ablage.filePath("schlecht.orp");
    QVERIFY(DateiSchreiben(schlecht, inhalt));
    QVERIFY(u.dateidialog(u.w().Öffnen, schlecht));
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    QVERIFY2(u.meldungen()[0].startsWith("Zelkor_V2: ") &&
                 u.meldungen()[0].contains("schlecht.orp"),
             qPrintable(u.meldungen()[0]));
    QCOMPARE(u.w().windowTitle(), Titel(gut));
    QCOMPARE(u.w().namesData()->tabellenzeilen(), 1);
    // Saved now, the file holds what the window held before the attempt.
    u.w().Speichern->trigger();
    QCOMPARE(DateiInhalt(gut), MitProgrammpause("33").replace("\"300\"", "\"777\""));
    QCOMPARE(u.nachrichten.anzahl(), 1);
}

void TestProgrammdateien::abgebrocheneDialoge() {
    Fensterumgebung u;
    Dateidialogantwort oeffnen((QString()));
    u.w().Öffnen->trigger();
    QCOMPARE(oeffnen.titel(), QString("Programm öffnen"));
    QCOMPARE(oeffnen.filter(), QStringList({"Zelkor-Programme (*.orp)", "Alle Dateien (*.*)"}));
    Dateidialogantwort speichern((QString()));
    u.w().Speichernunter->trigger();
    QCOMPARE(speichern.titel(), QString("Programm speichern unter"));
    QCOMPARE(speichern.filter(), QStringList({"Orbaprog-Programme (*.orp)", "Alle Dateien (*.*)"}));
    QCOMPARE(u.w().windowTitle(), Titel("Unbenannt.orp"));
    QCOMPARE(u.meldungen(), QStringList());
}

void TestProgrammdateien::fehlgeschlagenesSpeichernBehaeltAlteDatei() {
    // The disk fills up while the file is written (a file size limit, which binds root as
    // well): the operator is told, and the old file stays byte for byte with no leftovers.
    Fensterumgebung u;
    QTemporaryDir ablage;
    const QString pfad = ablage.filePath("alt.orp");
    QVERIFY(u.dateidialog(u.w().Speichernunter, pfad));
    u.w().TextProgrammpause->setText("99");
    rlimit vorher{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &vorher), 0);
    const auto alterHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit eng = vorher;
    eng.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &eng), 0);
    u.w().Speichern->trigger();
    setrlimit(RLIMIT_FSIZE, &vorher);
    std::signal(SIGXFSZ, alterHandler);
    QCOMPARE(u.nachrichten.anzahl(), 1);
    QVERIFY2(u.meldungen()[0].startsWith("Zelkor_V2: ") && u.meldungen()[0].contains("alt.orp"),
             qPrintable(u.meldungen()[0]));
    QCOMPARE(DateiInhalt(pfad), Beispiel);
    QCOMPARE(QDir(ablage.path()).entryList(QDir::Files | QDir::Hidden), QStringList("alt.orp"));
    QCOMPARE(u.w().windowTitle(), Titel(pfad));
}

QTEST_MAIN(TestProgrammdateien)
#include "tst_programmdateien.moc"
