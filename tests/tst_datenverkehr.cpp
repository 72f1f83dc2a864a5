// The traffic window and the status line, with commands from the real main window and its
// dialogs to a pseudo-terminal: what each command put on the line, as the operator reads it.
#include "Fensterumgebung.h"

#include "dialogs/FormDatenverkehr.h"
#include "dialogs/ManuelleFahrt.h"
#include "link/Protokoll.h"
#include "link/SerielleSchnittstelle.h"
#include "link/Verkehrsaufzeichnung.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

// Clock times, pauses and durations differ from run to run.
QString ohneZeiten(QString text) {
    text.replace(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d,\\d{3}")), "hh:mm:ss,mmm");
    text.replace(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d")), "hh:mm:ss");
    return text.replace(QRegularExpression(QStringLiteral("\\d+,\\d+ (m?s)\\b")), "x \\1");
}

QString listentext(const FormDatenverkehr &f, bool mitZeiten = false) {
    QStringList zeilen;
    const QAbstractItemModel &m = *f.ListeDatenverkehr->model();
    for (int i = 0; i < m.rowCount(); ++i)
        zeilen << m.index(i, 0).data().toString();
    return mitZeiten ? zeilen.join('\n') : ohneZeiten(zeilen.join('\n'));
}

const QString T = QStringLiteral("hh:mm:ss,mmm  COM1  ");
const QString Kopf = QStringLiteral("Programmübertragung%1: 1 Satz, Programmdurchläufe 1, "
                                    "Programmpause 10, Befehlspause 10");

} // namespace

class TestDatenverkehr : public QObject {
    Q_OBJECT
private slots:
    void befehle_data();
    void befehle();
    void speichernLeerenUndHoechstzahl();
};

void TestDatenverkehr::befehle_data() {
    QTest::addColumn<QString>("befehl");
    QTest::addColumn<QString>("liste");
    QTest::addColumn<QString>("status");
    const QString satz1 = QStringLiteral("  Satz 1: 5000 Schritte, 300 Hz → 4000 Hz, Durchläufe "
                                         "1, Pause 10, rechts, ohne Richtungsänderung, Rampe 1 "
                                         "(2ms/100Hz)");
    const QString einzug = '\n' + QString(T.size(), ' ');
    QTest::newRow("Übertragung mit Bytes")
        << "Übertragung"
        << T + Kopf.arg("") + einzug + "03 (x ms) 01 (x ms) 0A (x ms) 01 (x ms) 0A (x ms)\n" + T +
               satz1 + einzug +
               "88 (x ms) 13 (x ms) 00 (x ms) 05 (x ms) 4F (x ms) 01 (x ms) 0A (x ms) 01 (x ms) "
               "00 (x ms) 01 (x ms)"
        << "Programm übertragen: 1 Satz, 15 Bytes, x s (hh:mm:ss)";
    QTest::newRow("Satzstart") << "Satzstart" << T + "Satzstart: Satz 1"
                               << "Satz 1 gestartet (hh:mm:ss)";
    QTest::newRow("Eilgang") << "Eilgang"
                             << T + "Manuelle Fahrt ein\n" + T +
                                    "Eilgang rechts: 1000 Hz, 1000 Schritte"
                             << "Eilgang rechts gesendet: 1000 Hz, 1000 Schritte (hh:mm:ss)";
    QTest::newRow("Gerät weg nach Byte 8")
        << "abgezogen"
        << T + Kopf.arg(" unvollständig (8 von 15 Bytes)") +
               " – abgebrochen: Verbindung zu COM1 unterbrochen\n" + T +
               "  Satz 1 unvollständig, empfangen: 136, 19, 0"
        << "Übertragung abgebrochen: Verbindung zu COM1 unterbrochen, 8 von 15 Bytes gesendet "
           "(hh:mm:ss)";
    QTest::newRow("Port fehlt")
        << "fehlt" << QString()
        << "Programmstart abgebrochen: Port COM1 nicht verfügbar (hh:mm:ss)";
}

void TestDatenverkehr::befehle() {
    QFETCH(QString, befehl);
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    w.Datenverkehr->trigger();
    FormDatenverkehr *f = w.datenverkehrFenster();
    QVERIFY(f && f->isVisible());
    // Beside the main window, not in front of it as a dialog, and without the port.
    QVERIFY(w.isEnabled() && !w.offenerDialog() && !w.MSComm1->istOffen());
    f->CheckBytesZeigen->setChecked(befehl == "Übertragung");

    if (befehl == "Übertragung") {
        QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
    } else if (befehl == "Satzstart") {
        QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    } else if (befehl == "Eilgang") {
        auto *d = u.oeffnen<ManuelleFahrt>(w.Manuell);
        QVERIFY(d);
        QTest::mouseClick(d->CommandEilRechts, Qt::LeftButton);
        QTRY_COMPARE(f->ListeDatenverkehr->model()->rowCount(), 2);
    } else if (befehl == "abgezogen") {
        int n = 0;
        connect(w.MSComm1, &SerielleSchnittstelle::byteGesendet, f, [&] {
            if (++n == 8)
                u.pty.masterSchliessen();
        });
        QTest::mouseClick(w.CommandProgrammieren, Qt::LeftButton);
    } else {
        QVERIFY(QFile::remove(u.pty.verzeichnis() + "/COM1"));
        QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
    }
    QTEST(listentext(*f), "liste");
    QTEST(ohneZeiten(w.LabelStatus->text()), "status");
    if (f->CheckBytesZeigen
            ->isChecked()) { // each pause shown is at least what the protocol asks after its byte
        const double soll[] = {1, 1, 1, 1, 20, 1, 1, 1, 1, 1, 1, 1, 1, 1, 61};
        auto pausen = QRegularExpression("\\((\\d+,\\d) ms\\)").globalMatch(listentext(*f, true));
        for (double mindestens : soll)
            QVERIFY(pausen.next().captured(1).replace(',', '.').toDouble() >= mindestens);
        QVERIFY(!pausen.hasNext());
    }
}

void TestDatenverkehr::speichernLeerenUndHoechstzahl() {
    Fensterumgebung u;
    PCSteuerung &w = u.w();
    w.DatenverkehrZeigen();
    FormDatenverkehr &f = *w.datenverkehrFenster();
    QTest::mouseClick(w.CommandProgrammstart, Qt::LeftButton);
    QTest::mouseClick(w.CommandSatzstart, Qt::LeftButton);
    const QString pfad = u.pty.verzeichnis() + "/Verkehr.txt";
    QVERIFY(f.Speichern(pfad));
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::ReadOnly));
    QCOMPARE(ohneZeiten(QString::fromUtf8(datei.readAll())),
             T + "Programmstart\r\n" + T + "Satzstart: Satz 1\r\n");

    QTest::mouseClick(f.CommandLeeren, Qt::LeftButton);
    QCOMPARE(listentext(f), QString());
    // The oldest lines drop out.
    Verkehrsaufzeichnung &a = *w.verkehrsaufzeichnung();
    for (int i = 1; i <= Verkehrsaufzeichnung::HoechstzahlZeilen + 2; ++i) {
        a.byteGesendet(Befehlsbyte::Satzstart, 0);
        a.byteGesendet(quint8(i), 0);
        a.befehlBeendet(*Satzstart(i % 256), SerielleSchnittstelle::Ausgang::Gesendet, 1);
    }
    QCOMPARE(f.ListeDatenverkehr->model()->rowCount(), Verkehrsaufzeichnung::HoechstzahlZeilen);
    QCOMPARE(listentext(f).section('\n', 0, 0), T + "Satzstart: Satz 3");
}

QTEST_MAIN(TestDatenverkehr)
#include "tst_datenverkehr.moc"
