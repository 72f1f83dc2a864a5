// Controller settings on the real main window and dialog, with a pseudo-terminal as the
// controller: the window, the four bytes in one write, the settings file and its fallbacks,
// leaving without sending, and a port that does not open.
#include "Mitschnitt.h"
#include "Nachrichten.h"
#include "PtyPaar.h"

#include "app/PCSteuerung.h"
#include "dialogs/ZelkorEinstellungen.h"
#include "files/Kleindateien.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Einstellwerte.h"
#include "model/Globale.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {

QByteArray bytes(std::initializer_list<int> werte) {
    QByteArray b;
    for (int w : werte)
        b.append(char(w));
    return b;
}

QByteArray leseDatei(const QString &pfad) {
    QFile datei(pfad);
    return datei.open(QIODevice::ReadOnly) ? datei.readAll() : QByteArray();
}

void schreibeDatei(const QString &pfad, const QByteArray &inhalt) {
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.write(inhalt);
}

QWidget *naechsterTabhalt(QWidget *w) {
    QWidget *n = w->nextInFocusChain();
    while (n != w && !(n->focusPolicy() & Qt::TabFocus))
        n = n->nextInFocusChain();
    return n;
}

struct Umgebung {
    PtyPaar pty;
    Nachrichtenfaenger nachrichten;
    std::unique_ptr<PCSteuerung> fenster;
    std::unique_ptr<Mitschnitt> mitschnitt;

    Umgebung() {
        StartAbgeschlossen = false;
        fenster = std::make_unique<PCSteuerung>();
        fenster->show();
        fenster->Laden();
        mitschnitt = std::make_unique<Mitschnitt>(*fenster->MSComm1);
    }

    ZelkorEinstellungen *oeffnen() {
        fenster->Parameter->trigger();
        return qobject_cast<ZelkorEinstellungen *>(fenster->offenerDialog());
    }
};

} // namespace

class TestZelkorEinstellungen : public QObject {
    Q_OBJECT
private slots:
    void fensterAufbau();
    void uebernehmen_data();
    void uebernehmen();
    void dateiBeimOeffnen_data();
    void dateiBeimOeffnen();
    void abbrechenSendetNichts();
    void schliessfeldWieAbbrechen();
    void portFehlt();
    void dateiNichtSchreibbar();
};

void TestZelkorEinstellungen::fensterAufbau() {
    Umgebung u;
    ZelkorEinstellungen *d = u.oeffnen();
    QVERIFY(d);
    QVERIFY(d->isVisible());
    QVERIFY(!d->isModal());
    QVERIFY(!u.fenster->isEnabled());
    QCOMPARE(d->objectName(), QStringLiteral("ZelkorEinstellungen"));
    QCOMPARE(d->windowTitle(), QStringLiteral("Orbalt-Werk") + QString(89, QLatin1Char(' ')) +
                                   QStringLiteral("Zelkor-Modus"));
    QCOMPARE(d->size(), QSize(534, 175));
    QCOMPARE(d->palette().color(QPalette::Window), QColor(Qt::white));

    struct Soll {
        QWidget *w;
        const char *name;
        QWidget *eltern;
        QString text;
        QRect twips;
    };
    QWidget *gruppe = d->FrameStromabsenkung;
    const QList<Soll> soll{
        {d->CommandAbbrechen, "CommandAbbrechen", d, "Abbrechen", {5130, 315, 2625, 420}},
        {d->LabelSchrittmode, "LabelSchrittmode", d, "Schrittmodus:", {720, 360, 1680, 330}},
        {d->ComboSchrittmodus, "ComboSchrittmodus", d, "", {2430, 315, 2265, 405}},
        {d->LabelStromeinstellung,
         "LabelStromeinstellung",
         d,
         "Phasenstrom:",
         {720, 900, 1680, 330}},
        {d->ComboPhasenstrom, "ComboPhasenstrom", d, "", {2430, 855, 2265, 405}},
        {d->FrameStromabsenkung, "FrameStromabsenkung", d, "", {225, 1395, 4065, 1095}},
        {d->LabelStromabsenkung,
         "LabelStromabsenkung",
         gruppe,
         "Stromabsenkung:",
         {45, 405, 2085, 330}},
        {d->OptionAbsenkungEin, "OptionAbsenkungEin", gruppe, "", {2565, 270, 240, 195}},
        {d->OptionAbsenkungAus, "OptionAbsenkungAus", gruppe, "", {2565, 630, 240, 195}},
        {d->LabelAbsemkungEin, "LabelAbsemkungEin", gruppe, "Ein", {2880, 225, 645, 330}},
        {d->LabelAbsenkungAus, "LabelAbsenkungAus", gruppe, "Aus", {2880, 585, 645, 330}},
        {d->CommandÜbernehmen, "CommandÜbernehmen", d, "Übernehmen", {5130, 855, 2625, 420}},
        {d->Picture1, "Picture1", d, "", {5265, 1350, 2265, 1140}},
    };
    const QColor dunkelblau(0, 0, 128);
    for (const Soll &s : soll) {
        QVERIFY2(s.w, s.name);
        QCOMPARE(s.w->objectName(), QString::fromUtf8(s.name));
        QCOMPARE(s.w->parentWidget(), s.eltern);
        const QRect r = s.twips;
        QCOMPARE(s.w->geometry(), QRect(r.x() / 15, r.y() / 15, r.width() / 15, r.height() / 15));
        if (auto *k = qobject_cast<QPushButton *>(s.w)) {
            QCOMPARE(k->text(), s.text);
            QCOMPARE(k->font().family(), QStringLiteral("Arial"));
            QVERIFY(k->font().bold());
            QCOMPARE(k->font().pointSizeF(), 9.75);
        } else if (auto *o = qobject_cast<QRadioButton *>(s.w)) {
            QCOMPARE(o->text(), s.text);
        } else if (s.w == d->Picture1) {
            QVERIFY(d->Picture1->text().isEmpty());
            QVERIFY(d->Picture1->pixmap().isNull());
        } else if (auto *l = qobject_cast<QLabel *>(s.w)) {
            QCOMPARE(l->text(), s.text);
            QCOMPARE(l->font().family(), QStringLiteral("Arial"));
            QVERIFY(l->font().bold());
            QCOMPARE(l->font().pointSizeF(), 12.0);
            QCOMPARE(l->palette().color(QPalette::WindowText), dunkelblau);
        } else if (auto *c = qobject_cast<QComboBox *>(s.w)) {
            QVERIFY(!c->isEditable());
            QCOMPARE(c->font().family(), QStringLiteral("Arial"));
            QCOMPARE(c->font().pointSizeF(), 12.0);
            QCOMPARE(c->palette().color(QPalette::Text), dunkelblau);
        }
    }
    QCOMPARE(qobject_cast<QFrame *>(d->FrameStromabsenkung)->frameShape(), QFrame::NoFrame);

    QStringList modi, stroeme;
    for (int i = 0; i < d->ComboSchrittmodus->count(); ++i)
        modi << d->ComboSchrittmodus->itemText(i);
    for (int i = 0; i < d->ComboPhasenstrom->count(); ++i)
        stroeme << d->ComboPhasenstrom->itemText(i);
    QCOMPARE(modi, (QStringList{"Vollschritt", "Halbschritt", "Viertelschritt", "Fünftelschritt",
                                "Achtelschritt", "Zehntelschritt"}));
    QCOMPARE(stroeme,
             (QStringList{"2,5 A", "3,0 A", "3,5 A", "4,0 A", "4,5 A", "5,0 A", "5,5 A", "6,0 A"}));

    // No settings file: the defaults.
    QCOMPARE(d->ComboSchrittmodus->currentText(), QStringLiteral("Halbschritt"));
    QCOMPARE(d->ComboPhasenstrom->currentText(), QStringLiteral("2,5 A"));
    QVERIFY(d->OptionAbsenkungEin->isChecked());
    QVERIFY(!d->OptionAbsenkungAus->isChecked());

    // The labels beside the option buttons do nothing when clicked.
    QTest::mouseClick(d->LabelAbsenkungAus, Qt::LeftButton);
    QVERIFY(d->OptionAbsenkungEin->isChecked());

    QCOMPARE(d->focusWidget(), d->CommandAbbrechen);
    const QList<QWidget *> kette{d->CommandAbbrechen,   d->ComboSchrittmodus,
                                 d->ComboPhasenstrom,   d->OptionAbsenkungEin,
                                 d->OptionAbsenkungAus, d->CommandÜbernehmen};
    for (int i = 0; i < kette.size(); ++i)
        QCOMPARE(naechsterTabhalt(kette[i]), kette[(i + 1) % kette.size()]);

    // Opening sends nothing.
    QCOMPARE(u.mitschnitt->anzahl(), 0);
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QTest::mouseClick(d->CommandAbbrechen, Qt::LeftButton);
}

void TestZelkorEinstellungen::uebernehmen_data() {
    QTest::addColumn<QString>("modus");
    QTest::addColumn<QString>("strom");
    QTest::addColumn<bool>("ein");
    QTest::addColumn<QByteArray>("erwartet");
    QTest::addColumn<QByteArray>("datei");

    QTest::newRow("Vorgaben") << "Halbschritt"
                              << "2,5 A" << true << bytes({1, 1, 1, 0})
                              << QByteArray("\"Halbschritt\"\r\n\"2,5 A\"\r\n\"1\"\r\n");
    QTest::newRow("Zehntelschritt 6,0 A Aus")
        << "Zehntelschritt"
        << "6,0 A" << false << bytes({1, 5, 128, 1})
        << QByteArray("\"Zehntelschritt\"\r\n\"6,0 A\"\r\n\"0\"\r\n");
    QTest::newRow("Vollschritt 4,0 A Ein")
        << "Vollschritt"
        << "4,0 A" << true << bytes({1, 0, 8, 0})
        << QByteArray("\"Vollschritt\"\r\n\"4,0 A\"\r\n\"1\"\r\n");
    QTest::newRow("Fünftelschritt 5,5 A Aus")
        << "Fünftelschritt"
        << "5,5 A" << false << bytes({1, 3, 64, 1})
        << QByteArray("\"F\xC3\xBCnftelschritt\"\r\n\"5,5 A\"\r\n\"0\"\r\n");
}

void TestZelkorEinstellungen::uebernehmen() {
    QFETCH(QString, modus);
    QFETCH(QString, strom);
    QFETCH(bool, ein);
    QFETCH(QByteArray, erwartet);
    QFETCH(QByteArray, datei);

    Umgebung u;
    ZelkorEinstellungen *d = u.oeffnen();
    QVERIFY(d);
    QPointer<ZelkorEinstellungen> beobachter(d);
    d->ComboSchrittmodus->setCurrentText(modus);
    d->ComboPhasenstrom->setCurrentText(strom);
    QTest::mouseClick(ein ? d->OptionAbsenkungEin : d->OptionAbsenkungAus, Qt::LeftButton);
    QCOMPARE(d->OptionAbsenkungEin->isChecked(), ein);
    QCOMPARE(d->OptionAbsenkungAus->isChecked(), !ein);

    QTest::mouseClick(d->CommandÜbernehmen, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(4), erwartet);
    // One output of four bytes, no pause anywhere; the port is closed again.
    QCOMPARE(u.mitschnitt->bytes(), erwartet);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(u.mitschnitt->zeit(i + 1), u.mitschnitt->zeit(0));
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QCOMPARE(leseDatei(Dateizugriff::ZelkorDateipfad()), datei);
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QCOMPARE(u.nachrichten.anzahl(), 0);

    // The next opening shows what was stored.
    d = u.oeffnen();
    QVERIFY(d);
    QCOMPARE(d->ComboSchrittmodus->currentText(), modus);
    QCOMPARE(d->ComboPhasenstrom->currentText(), strom);
    QCOMPARE(d->OptionAbsenkungEin->isChecked(), ein);
    QTest::mouseClick(d->CommandAbbrechen, Qt::LeftButton);
}

void TestZelkorEinstellungen::dateiBeimOeffnen_data() {
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("modus");
    QTest::addColumn<QString>("strom");
    QTest::addColumn<bool>("ein");

    QTest::newRow("dritter Wert 0")
        << QByteArray("\"Achtelschritt\"\r\n\"3,5 A\"\r\n\"0\"\r\n") << "Achtelschritt"
        << "3,5 A" << false;
    QTest::newRow("dritter Wert 1 ohne Anfuehrung")
        << QByteArray("\"Viertelschritt\"\r\n\"4,5 A\"\r\n1\r\n") << "Viertelschritt"
        << "4,5 A" << true;
    QTest::newRow("unbekannter Modus")
        << QByteArray("\"Drittelschritt\"\r\n\"5,0 A\"\r\n\"0\"\r\n") << "Halbschritt"
        << "5,0 A" << false;
    QTest::newRow("unbekannter Strom")
        << QByteArray("\"Vollschritt\"\r\n\"7,0 A\"\r\n\"0\"\r\n") << "Vollschritt"
        << "2,5 A" << false;
    QTest::newRow("dritter Wert keine Zahl")
        << QByteArray("\"Vollschritt\"\r\n\"3,0 A\"\r\n\"ja\"\r\n") << "Vollschritt"
        << "3,0 A" << true;
    QTest::newRow("nur zwei Werte")
        << QByteArray("\"Zehntelschritt\"\r\n\"6,0 A\"\r\n") << "Zehntelschritt"
        << "6,0 A" << true;
    QTest::newRow("leer") << QByteArray() << "Halbschritt"
                          << "2,5 A" << true;
}

void TestZelkorEinstellungen::dateiBeimOeffnen() {
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, modus);
    QFETCH(QString, strom);
    QFETCH(bool, ein);

    Umgebung u;
    schreibeDatei(Dateizugriff::ZelkorDateipfad(), inhalt);
    ZelkorEinstellungen *d = u.oeffnen();
    QVERIFY(d);
    QCOMPARE(d->ComboSchrittmodus->currentText(), modus);
    QCOMPARE(d->ComboPhasenstrom->currentText(), strom);
    QCOMPARE(d->OptionAbsenkungEin->isChecked(), ein);
    QCOMPARE(d->OptionAbsenkungAus->isChecked(), !ein);
    QTest::mouseClick(d->CommandAbbrechen, Qt::LeftButton);
    QCOMPARE(leseDatei(Dateizugriff::ZelkorDateipfad()), inhalt);
}

void TestZelkorEinstellungen::abbrechenSendetNichts() {
    Umgebung u;
    const QByteArray inhalt("\"Viertelschritt\"\r\n\"3,0 A\"\r\n\"1\"\r\n");
    schreibeDatei(Dateizugriff::ZelkorDateipfad(), inhalt);
    ZelkorEinstellungen *d = u.oeffnen();
    QVERIFY(d);
    QPointer<ZelkorEinstellungen> beobachter(d);
    d->ComboSchrittmodus->setCurrentText(QStringLiteral("Zehntelschritt"));
    d->ComboPhasenstrom->setCurrentText(QStringLiteral("6,0 A"));
    QTest::mouseClick(d->OptionAbsenkungAus, Qt::LeftButton);
    QTest::mouseClick(d->CommandAbbrechen, Qt::LeftButton);
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QCOMPARE(leseDatei(Dateizugriff::ZelkorDateipfad()), inhalt);
    QCOMPARE(u.mitschnitt->anzahl(), 0);
    QCOMPARE(u.pty.lesen(0, 30), QByteArray());

    d = u.oeffnen();
    QVERIFY(d);
    QCOMPARE(d->ComboSchrittmodus->currentText(), QStringLiteral("Viertelschritt"));
    QCOMPARE(d->ComboPhasenstrom->currentText(), QStringLiteral("3,0 A"));
    QVERIFY(d->OptionAbsenkungEin->isChecked());
    QTest::mouseClick(d->CommandAbbrechen, Qt::LeftButton);
}

void TestZelkorEinstellungen::schliessfeldWieAbbrechen() {
    Umgebung u;
    ZelkorEinstellungen *d = u.oeffnen();
    QVERIFY(d);
    QPointer<ZelkorEinstellungen> beobachter(d);
    d->ComboSchrittmodus->setCurrentText(QStringLiteral("Vollschritt"));
    d->close();
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QVERIFY(!QFile::exists(Dateizugriff::ZelkorDateipfad()));
    QCOMPARE(u.mitschnitt->anzahl(), 0);
}

void TestZelkorEinstellungen::portFehlt() {
    Umgebung u;
    QVERIFY(u.fenster->MSComm1->setPortnummer(32000));
    ZelkorEinstellungen *d = u.oeffnen();
    QVERIFY(d);
    QPointer<ZelkorEinstellungen> beobachter(d);
    QTest::mouseClick(d->OptionAbsenkungAus, Qt::LeftButton);
    QTest::mouseClick(d->CommandÜbernehmen, Qt::LeftButton);
    // The file holds the new values although nothing could be sent; the operator is told once.
    QCOMPARE(leseDatei(Dateizugriff::ZelkorDateipfad()),
             QByteArray("\"Halbschritt\"\r\n\"2,5 A\"\r\n\"0\"\r\n"));
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.nachrichten.nachrichten()[0].titel, QStringLiteral("Zelkor_V2"));
    QTRY_VERIFY(!beobachter);
    QVERIFY(u.fenster->isEnabled());
    QVERIFY(!u.fenster->MSComm1->istOffen());
    QCOMPARE(u.mitschnitt->anzahl(), 0);
    QTest::qWait(30);
    QCOMPARE(u.nachrichten.anzahl(), 1);
}

void TestZelkorEinstellungen::dateiNichtSchreibbar() {
    Umgebung u;
    // A directory where the file should be: the settings are sent, and the operator learns
    // that they were not stored.
    QVERIFY(QDir().mkpath(Dateizugriff::ZelkorDateipfad()));
    ZelkorEinstellungen *d = u.oeffnen();
    QVERIFY(d);
    QCOMPARE(d->ComboSchrittmodus->currentText(), QStringLiteral("Halbschritt"));
    QTest::mouseClick(d->CommandÜbernehmen, Qt::LeftButton);
    QCOMPARE(u.pty.lesen(4), bytes({1, 1, 1, 0}));
    QTRY_COMPARE(u.nachrichten.anzahl(), 1);
    QCOMPARE(u.nachrichten.nachrichten()[0].titel, QStringLiteral("Zelkor_V2"));
    QVERIFY(u.nachrichten.letzterText().contains(QStringLiteral("nicht")));
    QTRY_VERIFY(!u.fenster->offenerDialog());
    QVERIFY(u.fenster->isEnabled());
}

QTEST_MAIN(TestZelkorEinstellungen)
#include "tst_zelkoreinstellungen.moc"
