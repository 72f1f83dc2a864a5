// The direct-control commands built from typed text, without windows: frequency and step
// bounds of rapid travel, the reference run range, and the user's number format.
#include "dialogs/Handbefehle.h"

#include <QLocale>
#include <QTest>

namespace {

QByteArray nurBytes(const Befehl &befehl) {
    QByteArray b;
    for (const Befehlsschritt &s : befehl)
        if (s.art == Befehlsschritt::Art::Byte)
            b.append(char(s.wert));
    return b;
}

QByteArray bytes(std::initializer_list<int> werte) {
    QByteArray b;
    for (int w : werte)
        b.append(char(w));
    return b;
}

} // namespace

class TestHandbefehle : public QObject {
    Q_OBJECT
private slots:
    void eilgang_data();
    void eilgang();
    void referenzfahrt_data();
    void referenzfahrt();
    void einstellungen_data();
    void einstellungen();
};

void TestHandbefehle::eilgang_data() {
    QTest::addColumn<QString>("sprache");
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<QByteArray>("erwartet"); // empty: refused
    QTest::addColumn<QString>("meldung");

    const QString keine;
    QTest::newRow("de 275,9") << "de_DE"
                              << "275,9"
                              << "1" << bytes({30, 5, 1, 0, 0}) << keine;
    QTest::newRow("de 275,0") << "de_DE"
                              << "275,0"
                              << "1" << QByteArray() << Handmeldung::FrequenzZuKlein;
    QTest::newRow("de 12024,9") << "de_DE"
                                << "12024,9"
                                << "1" << bytes({30, 239, 1, 0, 0}) << keine;
    QTest::newRow("de 12025,0") << "de_DE"
                                << "12025,0"
                                << "1" << QByteArray() << Handmeldung::FrequenzZuGross;
    QTest::newRow("de Punkt ist kein Komma")
        << "de_DE"
        << "1.000"
        << "1" << QByteArray() << Handmeldung::FrequenzKeineZahl;
    QTest::newRow("de Schritte halb gerade ab") << "de_DE"
                                                << "1000"
                                                << "1000,5" << bytes({30, 19, 232, 3, 0}) << keine;
    QTest::newRow("de Schritte halb gerade auf") << "de_DE"
                                                 << "1000"
                                                 << "1001,5" << bytes({30, 19, 234, 3, 0}) << keine;
    QTest::newRow("de Schritte 16777215,5")
        << "de_DE"
        << "1000"
        << "16777215,5" << QByteArray() << Handmeldung::SchritteAusserhalb;
    QTest::newRow("de Schritte -0,4") << "de_DE"
                                      << "1000"
                                      << "-0,4" << bytes({30, 19, 0, 0, 0}) << keine;
    QTest::newRow("C Frequenz vor Schritten geprueft")
        << "C"
        << "100"
        << "zehn" << QByteArray() << Handmeldung::FrequenzZuKlein;
    QTest::newRow("C riesige Frequenz") << "C" << QString(400, QLatin1Char('9')) << "1"
                                        << QByteArray() << Handmeldung::FrequenzZuGross;
    QTest::newRow("C riesige negative Frequenz")
        << "C" << QLatin1Char('-') + QString(400, QLatin1Char('9')) << "1" << QByteArray()
        << Handmeldung::FrequenzZuKlein;
}

void TestHandbefehle::eilgang() {
    QFETCH(QString, sprache);
    QFETCH(QString, frequenz);
    QFETCH(QString, schritte);
    QFETCH(QByteArray, erwartet);
    QFETCH(QString, meldung);
    const Handpruefung p =
        EilgangPruefen(Fahrtrichtung::Links, frequenz, schritte, QLocale(sprache));
    if (erwartet.isEmpty()) {
        QVERIFY(!p.ok());
        QCOMPARE(p.meldung, meldung);
    } else {
        QVERIFY2(p.ok(), qPrintable(p.meldung));
        QCOMPARE(nurBytes(*p.befehl), erwartet);
    }
}

void TestHandbefehle::referenzfahrt_data() {
    QTest::addColumn<QString>("sprache");
    QTest::addColumn<QString>("frequenz");
    QTest::addColumn<QByteArray>("erwartet");
    QTest::addColumn<QString>("meldung");

    const QString keine;
    QTest::newRow("de 99,5") << "de_DE"
                             << "99,5" << QByteArray() << Handmeldung::ReferenzZuNiedrig;
    QTest::newRow("de 100,0") << "de_DE"
                              << "100,0" << bytes({6, 1, 2}) << keine;
    QTest::newRow("de 600,0") << "de_DE"
                              << "600,0" << bytes({6, 11, 2}) << keine;
    QTest::newRow("de 600,01") << "de_DE"
                               << "600,01" << QByteArray() << Handmeldung::ReferenzZuHoch;
    QTest::newRow("de 274,9") << "de_DE"
                              << "274,9" << bytes({6, 4, 2}) << keine;
    QTest::newRow("de 275") << "de_DE"
                            << "275" << bytes({6, 4, 2}) << keine;
    QTest::newRow("C negativ") << "C"
                               << "-200" << QByteArray() << Handmeldung::ReferenzZuNiedrig;
    QTest::newRow("C riesig") << "C" << QString(400, QLatin1Char('9')) << QByteArray()
                              << Handmeldung::ReferenzZuHoch;
    QTest::newRow("C Blanks") << "C"
                              << "  300  " << bytes({6, 5, 2}) << keine;
}

void TestHandbefehle::referenzfahrt() {
    QFETCH(QString, sprache);
    QFETCH(QString, frequenz);
    QFETCH(QByteArray, erwartet);
    QFETCH(QString, meldung);
    const Handpruefung p = ReferenzfahrtPruefen(Fahrtrichtung::Rechts, frequenz, QLocale(sprache));
    if (erwartet.isEmpty()) {
        QVERIFY(!p.ok());
        QCOMPARE(p.meldung, meldung);
    } else {
        QVERIFY2(p.ok(), qPrintable(p.meldung));
        QCOMPARE(nurBytes(*p.befehl), erwartet);
        // The three start bytes follow one another with no pause.
        QCOMPARE(p.befehl->size(), size_t(3));
    }
}

void TestHandbefehle::einstellungen_data() {
    QTest::addColumn<QString>("modus");
    QTest::addColumn<QString>("strom");
    QTest::addColumn<bool>("ein");
    QTest::addColumn<QByteArray>("erwartet");

    QTest::newRow("Vorgaben") << "Halbschritt"
                              << "2,5 A" << true << bytes({1, 1, 1, 0});
    QTest::newRow("Zehntel 6,0 Aus") << "Zehntelschritt"
                                     << "6,0 A" << false << bytes({1, 5, 128, 1});
    QTest::newRow("unbekannte Texte") << "halbschritt"
                                      << "2,5A" << true << bytes({1, 0, 0, 0});
}

void TestHandbefehle::einstellungen() {
    QFETCH(QString, modus);
    QFETCH(QString, strom);
    QFETCH(bool, ein);
    QFETCH(QByteArray, erwartet);
    const std::optional<Befehl> b = EinstellungenAusTexten(modus, strom, ein);
    QVERIFY(b);
    QCOMPARE(nurBytes(*b), erwartet);
    QCOMPARE(b->size(), size_t(4)); // no pauses
}

QTEST_MAIN(TestHandbefehle)
#include "tst_handbefehle.moc"
