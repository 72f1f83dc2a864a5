// Open, save and save-as from the real main window: file bytes, name and caption, and files
// that must change nothing.
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/PCSteuerung.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray Beispiel = "\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n\"300\"\r\n\"4000\"\r\n"
                            "\"1\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n";

QByteArray lesen(const QString &pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void schreiben(const QString &pfad, const QByteArray &inhalt) {
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}

struct Aufbau {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    QTemporaryDir ablage;
    std::unique_ptr<PCSteuerung> fenster;
    Aufbau() {
        StartAbgeschlossen = false;
        fenster = std::make_unique<PCSteuerung>();
        fenster->show();
        fenster->Laden();
    }
    PCSteuerung &w() { return *fenster; }
    QString pfad(const QString &name) const { return ablage.filePath(name); }

    bool speichernUnter(const QString &pfad) {
        Dateidialogantwort antwort(pfad);
        w().Speichernunter->trigger();
        return antwort.beantwortet();
    }
    bool oeffnen(const QString &pfad) {
        Dateidialogantwort antwort(pfad);
        w().Öffnen->trigger();
        return antwort.beantwortet();
    }
};

QString titel(const QString &name) {
    return QStringLiteral("Orbalt-Werk     Zelkor-Positioniersteuerung: ") + name;
}

} // namespace

class TestProgrammdateien : public QObject {
    Q_OBJECT
private slots:
    void beispieldateiByteFuerByte();
    void speichernFragtErstNachDemNamen();
    void ohneSaetzeVierZeilen();
    void speichernUndOeffnenGibtDasProgrammZurueck();
    void richtungUndUmkehrAusDerDatei();
    void unbrauchbareDateiAendertNichts_data();
    void unbrauchbareDateiAendertNichts();
    void abgebrochenerDialogAendertNichts();
    void fehlgeschlagenesSpeichernBehaeltAlteDatei();
    void dialogeZeigenIhreFilter();
    void langesProgrammWirdGanzGespeichert();
};

void TestProgrammdateien::beispieldateiByteFuerByte() {
    Aufbau a;
    const QString pfad = a.pfad(QStringLiteral("beispiel.orp"));
    QVERIFY(a.speichernUnter(pfad));
    QCOMPARE(lesen(pfad), Beispiel);
    QCOMPARE(a.w().windowTitle(), titel(pfad));
    QCOMPARE(a.w().ProgrammSettings.Programmname(), pfad);
}

void TestProgrammdateien::speichernFragtErstNachDemNamen() {
    Aufbau a;
    const QString pfad = a.pfad(QStringLiteral("erst.orp"));
    {
        Dateidialogantwort antwort(pfad);
        a.w().Speichern->trigger();
        QVERIFY(antwort.beantwortet());
    }
    QCOMPARE(lesen(pfad), Beispiel);
    a.w().TextProgrammpause->setText(QStringLiteral("20"));
    {
        Dateidialogantwort keinDialog{QString()};
        a.w().Speichern->trigger();
        QVERIFY(!keinDialog.beantwortet());
    }
    QVERIFY(lesen(pfad).startsWith("\"1\"\r\n\"20\"\r\n"));
    QCOMPARE(a.w().windowTitle(), titel(pfad));
}

void TestProgrammdateien::ohneSaetzeVierZeilen() {
    Aufbau a;
    a.w().setAktuellerZellText(QString());
    const QString pfad = a.pfad(QStringLiteral("leer.orp"));
    QVERIFY(a.speichernUnter(pfad));
    QCOMPARE(lesen(pfad), QByteArray("\"1\"\r\n\"10\"\r\n\"10\"\r\n0\r\n"));
    QCOMPARE(a.w().ProgrammSettings.AnzahlSätze(), qint16(0));
    // Opened again it has no block either.
    Aufbau b;
    QVERIFY(b.oeffnen(pfad));
    QCOMPARE(b.w().namesData()->tabellenzeilen(), 0);
}

void TestProgrammdateien::speichernUndOeffnenGibtDasProgrammZurueck() {
    Aufbau a;
    NamesData *daten = a.w().namesData();
    daten->setData(daten->index(1, 0), QStringLiteral("1234"));
    daten->setData(daten->index(2, 0), QStringLiteral("16777215"));
    // Block 1 with its own values; the row change stores them.
    a.w().TextStartfrequenz->setText(QStringLiteral("500"));
    a.w().TextMaximalfrequenz->setText(QStringLiteral("9000"));
    a.w().TextSatzdurchläufe->setText(QStringLiteral("7"));
    a.w().TextSatzpause->setText(QStringLiteral("0"));
    a.w().OptionLinks->setChecked(true);
    a.w().Richtungsumkehrung->setChecked(true);
    a.w().OptionRampe10ms->setChecked(true);
    a.w().setAktuelleZeile(2);
    a.w().OptionRampe20ms->setChecked(true);
    a.w().TextProgrammdurchläufe->setText(QStringLiteral("3"));
    const QString pfad = a.pfad(QStringLiteral("drei.orp"));
    QVERIFY(a.speichernUnter(pfad));
    QCOMPARE(a.w().ProgrammSettings.AnzahlSätze(), qint16(3));
    QCOMPARE(a.w().aktuelleZeile(), 2);

    Aufbau b;
    QVERIFY(b.oeffnen(pfad));
    PCSteuerung &w = b.w();
    QCOMPARE(w.windowTitle(), titel(pfad));
    QCOMPARE(w.namesData()->tabellenzeilen(), 3);
    QCOMPARE(w.namesData()->zellText(0), QStringLiteral("5000"));
    QCOMPARE(w.namesData()->zellText(1), QStringLiteral("1234"));
    QCOMPARE(w.namesData()->zellText(2), QStringLiteral("16777215"));
    QCOMPARE(w.aktuelleZeile(), 0);
    QCOMPARE(w.TextProgrammdurchläufe->text(), QStringLiteral("3"));
    QCOMPARE(w.TextStartfrequenz->text(), QStringLiteral("500"));
    QCOMPARE(w.TextMaximalfrequenz->text(), QStringLiteral("9000"));
    QCOMPARE(w.TextSatzdurchläufe->text(), QStringLiteral("7"));
    QCOMPARE(w.TextSatzpause->text(), QStringLiteral("0"));
    QVERIFY(w.OptionLinks->isChecked());
    QVERIFY(w.Richtungsumkehrung->isChecked());
    QVERIFY(w.OptionRampe10ms->isChecked());
    QCOMPARE(w.SatzListe[2].Rampe(), 4);
    QCOMPARE(w.SatzListe[1].Schritte(), 1234);
    QCOMPARE(w.ProgrammSettings.AnzahlSätze(), qint16(3));
    QCOMPARE(w.ProgrammSettings.aktuellerSatz(), qint16(0));
    QCOMPARE(w.CommandSatzstart->text(), QStringLiteral("Satz Nr. 1 starten"));
    // Saved again, the file is the same.
    const QString zweiter = b.pfad(QStringLiteral("wieder.orp"));
    QVERIFY(b.speichernUnter(zweiter));
    QCOMPARE(lesen(zweiter), lesen(pfad));
}

void TestProgrammdateien::richtungUndUmkehrAusDerDatei() {
    Aufbau a;
    const QString pfad = a.pfad(QStringLiteral("richtung.orp"));
    for (const auto &[richtung, umkehr, links] :
         {std::tuple{"0", "0", true}, std::tuple{"1", "1", false}, std::tuple{"2", "5", false}}) {
        schreiben(pfad, QByteArray("\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n\"300\"\r\n"
                                   "\"4000\"\r\n\"1\"\r\n\"10\"\r\n") +
                            umkehr + "\r\n\"" + richtung + "\"\r\n\"3\"\r\n");
        QVERIFY(a.oeffnen(pfad));
        QCOMPARE(a.w().OptionLinks->isChecked(), links);
        QCOMPARE(a.w().OptionRechts->isChecked(), !links);
        QCOMPARE(a.w().Richtungsumkehrung->isChecked(), QByteArray(umkehr) != "0");
        QVERIFY(a.w().OptionRampe10ms->isChecked());
    }
}

void TestProgrammdateien::unbrauchbareDateiAendertNichts_data() {
    QTest::addColumn<QByteArray>("inhalt");
    QTest::newRow("bricht ab") << Beispiel.left(Beispiel.size() - 12);
    QTest::newRow("keine Zahl") << QByteArray(Beispiel).replace("\"300\"", "\"drei\"");
    QByteArray gross = "\"1\"\r\n\"10\"\r\n\"10\"\r\n32\r\n";
    for (int i = 0; i < 32; ++i)
        gross += "\"5000\"\r\n\"300\"\r\n\"4000\"\r\n\"1\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n";
    QTest::newRow("32 Sätze") << gross;
    QTest::newRow("leer") << QByteArray();
}

void TestProgrammdateien::unbrauchbareDateiAendertNichts() {
    QFETCH(QByteArray, inhalt);
    Aufbau a;
    const QString gut = a.pfad(QStringLiteral("gut.orp"));
    QVERIFY(a.speichernUnter(gut));
    a.w().TextProgrammpause->setText(QStringLiteral("33"));
    a.w().TextStartfrequenz->setText(QStringLiteral("777"));
    const QString schlecht = a.pfad(QStringLiteral("schlecht.orp"));
    schreiben(schlecht, inhalt);
    a.nachrichten.leeren();
    QVERIFY(a.oeffnen(schlecht));
    QTRY_COMPARE(a.nachrichten.anzahl(), 1);
    QVERIFY(a.nachrichten.letzterText().contains(QStringLiteral("schlecht.orp")));
    QCOMPARE(a.w().windowTitle(), titel(gut));
    QCOMPARE(a.w().ProgrammSettings.Programmname(), gut);
    QCOMPARE(a.w().TextProgrammpause->text(), QStringLiteral("33"));
    QCOMPARE(a.w().TextStartfrequenz->text(), QStringLiteral("777"));
    QCOMPARE(a.w().namesData()->tabellenzeilen(), 1);
    for (const Satz &s : a.w().SatzListe)
        QCOMPARE(s.Startfrequenz(), 300);
}

void TestProgrammdateien::abgebrochenerDialogAendertNichts() {
    Aufbau a;
    QVERIFY(a.speichernUnter(QString()));
    QVERIFY(a.oeffnen(QString()));
    QCOMPARE(a.w().windowTitle(), titel(QStringLiteral("Unbenannt.orp")));
    QVERIFY(QDir(a.ablage.path()).entryList(QDir::Files).isEmpty());
}

void TestProgrammdateien::fehlgeschlagenesSpeichernBehaeltAlteDatei() {
    Aufbau a;
    const QString pfad = a.pfad(QStringLiteral("alt.orp"));
    QVERIFY(a.speichernUnter(pfad));
    const QByteArray alt = lesen(pfad);
    // The directory goes away under the file's name: the temporary file cannot be made there.
    const QString verzeichnis = a.pfad(QStringLiteral("weg"));
    QVERIFY(QDir().mkdir(verzeichnis));
    const QString ziel = verzeichnis + QStringLiteral("/neu.orp");
    QVERIFY(a.speichernUnter(ziel));
    QVERIFY(QFile::exists(ziel));
    QVERIFY(QDir(verzeichnis).removeRecursively());
    // A plain file where the directory was: no file can be created below it.
    schreiben(verzeichnis, "kein Verzeichnis");
    a.w().TextProgrammpause->setText(QStringLiteral("99"));
    a.nachrichten.leeren();
    a.w().Speichern->trigger();
    QTRY_COMPARE(a.nachrichten.anzahl(), 1);
    QVERIFY(a.nachrichten.letzterText().contains(QStringLiteral("neu.orp")));
    QCOMPARE(a.w().windowTitle(), titel(ziel));
    QCOMPARE(lesen(pfad), alt);
    QCOMPARE(lesen(verzeichnis), QByteArray("kein Verzeichnis"));
}

void TestProgrammdateien::dialogeZeigenIhreFilter() {
    Aufbau a;
    Dateidialogantwort oeffnen((QString()));
    a.w().Öffnen->trigger();
    QCOMPARE(oeffnen.filter(), (QStringList{QStringLiteral("Zelkor-Programme (*.orp)"),
                                            QStringLiteral("Alle Dateien (*.*)")}));
    Dateidialogantwort speichern((QString()));
    a.w().Speichernunter->trigger();
    QCOMPARE(speichern.filter(), (QStringList{QStringLiteral("Orbaprog-Programme (*.orp)"),
                                              QStringLiteral("Alle Dateien (*.*)")}));
}

void TestProgrammdateien::langesProgrammWirdGanzGespeichert() {
    // 21 to 31 blocks load (the transfer refuses them); saving must write every one of them.
    Aufbau a;
    QByteArray lang = "\"1\"\r\n\"10\"\r\n\"10\"\r\n23\r\n";
    for (int i = 1; i <= 23; ++i)
        lang += "\"" + QByteArray::number(100 + i) + "\"\r\n\"300\"\r\n\"" +
                QByteArray::number(4000 + i) + "\"\r\n\"1\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n";
    const QString pfad = a.pfad(QStringLiteral("lang.orp"));
    schreiben(pfad, lang);
    QVERIFY(a.oeffnen(pfad));
    QCOMPARE(a.w().namesData()->tabellenzeilen(), 23);
    const QString wieder = a.pfad(QStringLiteral("lang2.orp"));
    QVERIFY(a.speichernUnter(wieder));
    QCOMPARE(lesen(wieder), lang);
}

QTEST_MAIN(TestProgrammdateien)
#include "tst_programmdateien.moc"
