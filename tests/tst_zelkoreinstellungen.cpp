// Controller settings on the real main window and dialog, with a pseudo-terminal as the
// controller: the window, the four bytes in one write, the settings file and what a file
// shows, leaving without sending, and a port that does not open or a file that cannot be written.
#include "Fensterumgebung.h"
#include "Testdaten.h"

#include "dialogs/ZelkorEinstellungen.h"
#include "files/Kleindateien.h"
#include "link/SerielleSchnittstelle.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

QStringList Eintraege(const QComboBox *liste) {
    QStringList texte;
    for (int i = 0; i < liste->count(); ++i)
        texte << liste->itemText(i);
    return texte;
}

// Mode, current and reduction as the dialog shows them: "Halbschritt|2,5 A|Ein".
QString Gezeigt(const ZelkorEinstellungen *d) {
    const bool ein = d->OptionAbsenkungEin->isChecked();
    if (ein == d->OptionAbsenkungAus->isChecked())
        return QStringLiteral("beide Optionen gleich");
    return d->ComboSchrittmodus->currentText() + "|" + d->ComboPhasenstrom->currentText() + "|" +
           (ein ? "Ein" : "Aus");
}

} // namespace

class TestZelkorEinstellungen : public QObject {
    Q_OBJECT
private slots:
    void fenster();
    void uebernehmen_data();
    void uebernehmen();
    void dateiBeimOeffnen_data();
    void dateiBeimOeffnen();
    void verlassenOhneSenden_data();
    void verlassenOhneSenden();
    void fehlschlag_data();
    void fehlschlag();
};

void TestZelkorEinstellungen::fenster() {
    Fensterumgebung u;
    auto *d = u.oeffnen<ZelkorEinstellungen>(u.w().Parameter);
    QVERIFY(d);
    QVERIFY(d->isVisible() && !d->isModal());
    QVERIFY(!u.w().isEnabled());
    QCOMPARE(d->windowTitle(), "Orbalt-Werk" + QString(89, QLatin1Char(' ')) + "Zelkor-Modus");
    QCOMPARE(d->size(), QSize(534, 175));
    QCOMPARE(d->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(
        Gestaltabweichungen(d, {{"CommandAbbrechen", "Abbrechen", {5130, 315, 2625, 420}},
                                {"LabelSchrittmode", "Schrittmodus:", {720, 360, 1680, 330}},
                                {"ComboSchrittmodus", "", {2430, 315, 2265, 405}},
                                {"LabelStromeinstellung", "Phasenstrom:", {720, 900, 1680, 330}},
                                {"ComboPhasenstrom", "", {2430, 855, 2265, 405}},
                                {"FrameStromabsenkung", "", {225, 1395, 4065, 1095}},
                                {"LabelStromabsenkung", "Stromabsenkung:", {45, 405, 2085, 330}},
                                {"OptionAbsenkungEin", "", {2565, 270, 240, 195}},
                                {"OptionAbsenkungAus", "", {2565, 630, 240, 195}},
                                {"LabelAbsemkungEin", "Ein", {2880, 225, 645, 330}},
                                {"LabelAbsenkungAus", "Aus", {2880, 585, 645, 330}},
                                {"CommandÜbernehmen", "Übernehmen", {5130, 855, 2625, 420}},
                                {"Picture1", "", {5265, 1350, 2265, 1140}}}),
        QStringList());
    // The group's controls lie in the borderless frame.
    QCOMPARE(d->OptionAbsenkungAus->parentWidget(), d->FrameStromabsenkung);
    QCOMPARE(d->FrameStromabsenkung->frameShape(), QFrame::NoFrame);
    QVERIFY(!d->ComboSchrittmodus->isEditable() && !d->ComboPhasenstrom->isEditable());
    QCOMPARE(Eintraege(d->ComboSchrittmodus),
             QStringList({"Vollschritt", "Halbschritt", "Viertelschritt", "Fünftelschritt",
                          "Achtelschritt", "Zehntelschritt"}));
    QCOMPARE(Eintraege(d->ComboPhasenstrom),
             QStringList({"2,5 A", "3,0 A", "3,5 A", "4,0 A", "4,5 A", "5,0 A", "5,5 A", "6,0 A"}));
    // Without a settings file, the defaults; the labels beside the options do nothing.
    QCOMPARE(Gezeigt(d), QString("Halbschritt|2,5 A|Ein"));
    QTest::mouseClick(d->LabelAbsenkungAus, Qt::LeftButton);
    QCOMPARE(Gezeigt(d), QString("Halbschritt|2,5 A|Ein"));
    QCOMPARE(d->focusWidget(), d->CommandAbbrechen);
    QCOMPARE(Tababweichungen({d->CommandAbbrechen, d->ComboSchrittmodus, d->ComboPhasenstrom,
                              d->OptionAbsenkungEin, d->OptionAbsenkungAus, d->CommandÜbernehmen}),
             QStringList());
    // Opening neither opens the port nor sends.
    QVERIFY(!u.w().MSComm1->istOffen());
    QCOMPARE(u.mitschnitt->anzahl(), 0);
}

void TestZelkorEinstellungen::uebernehmen_data() {
    QTest::addColumn<QString>("modus");
    QTest::addColumn<QString>("strom");
    QTest::addColumn<bool>("ein");
    QTest::addColumn<QByteArray>("erwartet");
    QTest::addColumn<QByteArray>("datei");
    QTest::newRow("Vorgaben") << "Halbschritt"
                              << "2,5 A" << true << Bytes({1, 1, 1, 0})
                              << QByteArray("\"Halbschritt\"\r\n\"2,5 A\"\r\n\"1\"\r\n");
    QTest::newRow("Zehntelschritt 6,0 A Aus")
        << "Zehntelschritt"
        << "6,0 A" << false << Bytes({1, 5, 128, 1})
        << QByteArray("\"Zehntelschritt\"\r\n\"6,0 A\"\r\n\"0\"\r\n");
    QTest::newRow("Vollschritt 4,0 A Ein")
        << "Vollschritt"
        << "4,0 A" << true << Bytes({1, 0, 8, 0})
        << QByteArray("\"Vollschritt\"\r\n\"4,0 A\"\r\n\"1\"\r\n");
    QTest::newRow("Fünftelschritt 5,5 A Aus")
        << "Fünftelschritt"
        << "5,5 A" << false << Bytes({1, 3, 64, 1})
        << QByteArray("\"F\xC3\xBCnftelschritt\"\r\n\"5,5 A\"\r\n\"0\"\r\n");
}

void TestZelkorEinstellungen::uebernehmen() {
    QFETCH(QString, modus);
    QFETCH(QString, strom);
    QFETCH(bool, ein);
    QFETCH(QByteArray, erwartet);
    QFETCH(QByteArray, datei);
    Fensterumgebung u;
    auto *d = u.oeffnen<ZelkorEinstellungen>(u.w().Parameter);
    QVERIFY(d);
    d->ComboSchrittmodus->setCurrentText(modus);
    d->ComboPhasenstrom->setCurrentText(strom);
    QTest::mouseClick(ein ? d->OptionAbsenkungEin : d->OptionAbsenkungAus, Qt::LeftButton);
    QTest::mouseClick(d->CommandÜbernehmen, Qt::LeftButton);
    // One write of four bytes, no pause anywhere; the port is closed again, the dialog gone.
    QCOMPARE(u.pty.lesen(4), erwartet);
    QCOMPARE(u.mitschnitt->bytes(), erwartet);
    for (int i = 1; i < 4; ++i)
        QCOMPARE(u.mitschnitt->zeit(i), u.mitschnitt->zeit(0));
    QVERIFY(!u.w().MSComm1->istOffen());
    QCOMPARE(DateiInhalt(Dateizugriff::ZelkorDateipfad()), datei);
    QVERIFY(u.dialogBeendet());
    QCOMPARE(u.meldungen(), QStringList());
}

void TestZelkorEinstellungen::dateiBeimOeffnen_data() {
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("gezeigt");
    QTest::newRow("dritter Wert 0")
        << QByteArray("\"Achtelschritt\"\r\n\"3,5 A\"\r\n\"0\"\r\n") << "Achtelschritt|3,5 A|Aus";
    QTest::newRow("unbekannte Einträge")
        << QByteArray("\"Drittelschritt\"\r\n\"7,0 A\"\r\n\"0\"\r\n") << "Halbschritt|2,5 A|Aus";
    QTest::newRow("leer") << QByteArray() << "Halbschritt|2,5 A|Ein";
}

void TestZelkorEinstellungen::dateiBeimOeffnen() {
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, gezeigt);
    Fensterumgebung u;
    QVERIFY(DateiSchreiben(Dateizugriff::ZelkorDateipfad(), inhalt));
    auto *d = u.oeffnen<ZelkorEinstellungen>(u.w().Parameter);
    QVERIFY(d);
    QCOMPARE(Gezeigt(d), gezeigt);
    QTest::mouseClick(d->CommandAbbrechen, Qt::LeftButton);
    QCOMPARE(DateiInhalt(Dateizugriff::ZelkorDateipfad()), inhalt);
}

void TestZelkorEinstellungen::verlassenOhneSenden_data() {
    QTest::addColumn<bool>("schliessfeld");
    QTest::newRow("Abbrechen") << false;
    QTest::newRow("Schliessfeld") << true;
}

void TestZelkorEinstellungen::verlassenOhneSenden() {
    QFETCH(bool, schliessfeld);
    Fensterumgebung u;
    const QByteArray inhalt("\"Viertelschritt\"\r\n\"3,0 A\"\r\n\"1\"\r\n");
    QVERIFY(DateiSchreiben(Dateizugriff::ZelkorDateipfad(), inhalt));
    auto *d = u.oeffnen<ZelkorEinstellungen>(u.w().Parameter);
    QVERIFY(d);
    d->ComboSchrittmodus->setCurrentText("Zehntelschritt");
    d->ComboPhasenstrom->setCurrentText("6,0 A");
    QTest::mouseClick(d->OptionAbsenkungAus, Qt::LeftButton);
    if (schliessfeld)
        d->close();
    else
        QTest::mouseClick(d->CommandAbbrechen, Qt::LeftButton);
    QVERIFY(u.dialogBeendet());
    QCOMPARE(DateiInhalt(Dateizugriff::ZelkorDateipfad()), inhalt);
    QCOMPARE(u.nachlauf(), QByteArray());
    QCOMPARE(u.mitschnitt->anzahl(), 0);
}

void TestZelkorEinstellungen::fehlschlag_data() {
    QTest::addColumn<bool>("portFehlt"); // otherwise the file cannot be written
    QTest::addColumn<QByteArray>("gesendet");
    QTest::addColumn<QString>("genannt"); // in the one message
    QTest::newRow("Port fehlt") << true << QByteArray() << "COM32000";
    QTest::newRow("Datei nicht schreibbar") << false << Bytes({1, 1, 1, 1}) << "zelkor.txt";
}

void TestZelkorEinstellungen::fehlschlag() {
    // The settings go out when the port opens and into the file when it can be written; the
    // operator is told once about what failed.
    QFETCH(bool, portFehlt);
    QFETCH(QByteArray, gesendet);
    QFETCH(QString, genannt);
    Fensterumgebung u;
    if (portFehlt)
        QVERIFY(u.w().MSComm1->setPortnummer(32000));
    else
        QVERIFY(QDir().mkpath(Dateizugriff::ZelkorDateipfad()));
    auto *d = u.oeffnen<ZelkorEinstellungen>(u.w().Parameter);
    QVERIFY(d);
    QTest::mouseClick(d->OptionAbsenkungAus, Qt::LeftButton);
    QTest::mouseClick(d->CommandÜbernehmen, Qt::LeftButton);
    QVERIFY(u.dialogBeendet());
    QCOMPARE(u.pty.lesen(int(gesendet.size())) + u.nachlauf(), gesendet);
    QCOMPARE(u.mitschnitt->bytes(), gesendet);
    if (portFehlt)
        QCOMPARE(DateiInhalt(Dateizugriff::ZelkorDateipfad()),
                 QByteArray("\"Halbschritt\"\r\n\"2,5 A\"\r\n\"0\"\r\n"));
    QCOMPARE(u.nachrichten.anzahl(), 1);
    QVERIFY2(u.meldungen()[0].startsWith("Zelkor_V2: ") && u.meldungen()[0].contains(genannt),
             qPrintable(u.meldungen()[0]));
}

QTEST_MAIN(TestZelkorEinstellungen)
#include "tst_zelkoreinstellungen.moc"
