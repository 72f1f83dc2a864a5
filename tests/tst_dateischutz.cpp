// Saving writes only regular files and keeps their links and owner, reading never waits, and a
// program file or port file is taken as its field takes it.
#include "files/Dateiablage.h"
#include "files/Kleindateien.h"
#include "files/Programmdatei.h"

#include "PtyPaar.h"
#include "Testdaten.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Dateizugriff;

namespace {

// What lies at a path: a link and where it leads, "FIFO", "Gerät", or a file as its first byte
// and size, hard links, owner ("eigen" or the number) and permissions.
QString Zustand(const QString &pfad) {
    const QFileInfo info(pfad);
    if (info.isSymLink())
        return "Link→" + Zustand(info.symLinkTarget());
    struct stat st {};
    if (::stat(QFile::encodeName(pfad).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return S_ISFIFO(st.st_mode) ? "FIFO" : S_ISCHR(st.st_mode) ? "Gerät" : "anderes";
    const QByteArray inhalt = DateiInhalt(pfad);
    return QStringLiteral("%1%2 %3x %4 %5")
        .arg(inhalt.left(1))
        .arg(inhalt.size())
        .arg(st.st_nlink)
        .arg(st.st_uid == ::geteuid() ? QString("eigen") : QString::number(st.st_uid))
        .arg(st.st_mode & 07777, 0, 8);
}

// A link to a device: one of its own at ziel where the system allows it, else the null device.
bool LinkAufGerät(const QString &ziel, const QString &pfad) {
    const bool eigenes =
        ::mknod(QFile::encodeName(ziel).constData(), S_IFCHR | 0644, makedev(1, 3)) == 0;
    return QFile::link(eigenes ? ziel : "/dev/null", pfad);
}

const QByteArray Beispiel = "\"1\"\r\n\"10\"\r\n\"10\"\r\n1\r\n\"5000\"\r\n\"300\"\r\n\"4000\"\r\n"
                            "\"1\"\r\n\"10\"\r\n0\r\n\"1\"\r\n\"1\"\r\n";

} // namespace

class TestDateischutz : public QObject {
    Q_OBJECT

private slots:
    void speichern();
    void lesen();
    void programmwerte();
    void portdatei();
};

// Each case: what lies at the path, "voll" when no file may grow beyond 64 bytes, a part of the
// message of a refused save (empty: saved), and Zustand() of the path afterwards.
void TestDateischutz::speichern() {
    ::umask(022);
    std::signal(SIGXFSZ, SIG_IGN); // a full disk is played by a size limit
    QStringList ist, soll;
    for (const QStringList &fall :
         Faelle("Link auf Gerät;;keine gewöhnliche Datei, sondern ein Gerät;Link→Gerät|"
                "FIFO;;keine gewöhnliche Datei, sondern eine benannte Pipe (FIFO);FIFO|"
                "Link auf Datei;;;Link→n100 1x eigen 644|Link ins Leere;;;Link→n100 1x eigen 644|"
                "zwei Links;;;n100 2x eigen 600|"
                "zwei Links;voll;Beim Schreiben ist ein Fehler aufgetreten;a200 2x eigen 600|"
                "fremder Besitzer;;;n100 1x 65534 640")) {
        if (fall[0] == "fremder Besitzer" && ::geteuid() != 0)
            continue; // only root can give a file away
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath("manuell.txt"), ziel = ordner.filePath("ziel");
        const QByteArray p = QFile::encodeName(pfad), alt(200, 'a');
        QVERIFY(fall[0] == "FIFO"             ? ::mkfifo(p, 0644) == 0
                : fall[0] == "Link auf Gerät" ? LinkAufGerät(ziel, pfad)
                : fall[0].startsWith("Link")
                    ? (fall[0].endsWith("Leere") || DateiSchreiben(ziel, alt)) &&
                          QFile::link("ziel", pfad)
                    : DateiSchreiben(pfad, alt) && ::chmod(p, 0600) == 0 &&
                          (fall[0] == "zwei Links"
                               ? ::link(p, QFile::encodeName(ordner.filePath("zweit"))) == 0
                               : ::chown(p, 65534, 65534) == 0 && ::chmod(p, 0640) == 0));

        rlimit vorher{};
        getrlimit(RLIMIT_FSIZE, &vorher);
        const rlimit eng{fall[1] == "voll" ? 64 : vorher.rlim_cur, vorher.rlim_max};
        setrlimit(RLIMIT_FSIZE, &eng);
        QString fehler;
        const bool gespeichert = DateiErsetzen(pfad, QByteArray(100, 'n'), &fehler);
        setrlimit(RLIMIT_FSIZE, &vorher);
        const QString meldung = gespeichert                                      ? QString()
                                : !fall[2].isEmpty() && fehler.contains(fall[2]) ? fall[2]
                                                                                 : fehler;
        ist << QStringList({fall[0], fall[1], meldung, Zustand(pfad)}).join(';');
        soll << fall.join(';');
    }
    QCOMPARE(ist, soll);
}

// A FIFO or a terminal under a file's name is no file: the small files fall back to what a
// missing one means, a program file is refused. Nothing waits for them.
void TestDateischutz::lesen() {
    PtyPaar terminal;
    QVERIFY(terminal.ok());
    QStringList ist;
    for (const QString art : {"FIFO", "Terminal"}) {
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath("port.txt");
        QVERIFY(art == "FIFO" ? ::mkfifo(QFile::encodeName(pfad).constData(), 0644) == 0
                              : QFile::link(terminal.slavePfad(), pfad));
        ist << QStringLiteral("%1: %2/%3/%4/%5")
                   .arg(art)
                   .arg(PortnummerAusDatei(pfad))
                   .arg(PortfeldAusDatei(pfad), ManuellWerteAusDatei(pfad).frequenz,
                        ProgrammAusDatei(pfad).fehler.section('\n', 1));
    }
    const QString keine = "1/1/1000/Unter diesem Namen liegt keine gewöhnliche Datei, sondern ";
    QCOMPARE(ist, QStringList({"FIFO: " + keine + "eine benannte Pipe (FIFO).",
                               "Terminal: " + keine + "ein Gerät."}));
}

// The program values and block repeats as their fields take them, under the given locale; the
// direction is right only for the number 1. Each case: the locale, the line of the twelve-line
// file that is replaced and its new content, then the first block's direction or the refusal.
void TestDateischutz::programmwerte() {
    const QString beim = "Die Programmdatei enthält beim Wert ";
    const QString lang = '"' + QString(32767, '9') + '"';
    QList<QStringList> fälle =
        Faelle("C;1;\"abc\";" + beim + "\"Programmdurchläufe\" keine ganze Zahl: \"abc\".|" +
               "C;3;\"1e309\";" + beim + "\"Befehlspause\" keine ganze Zahl: \"1e309\".|" +
               "C;2;\"2,5\";" + beim + "\"Programmpause\" keine ganze Zahl: \"2,5\".|" +
               "de_DE;2;\"2,5\";rechts 1|C;1;\"\";rechts 1|C;11;\"1.4\";links 0|C;11;0.6;links 0|" +
               "C;11;\"1.000\";rechts 1");
    fälle << QStringList({"C", "8", lang, "rechts 1"})
          << QStringList({"C", "8", QString(lang).insert(1, '9'),
                          beim + "\"Satzdurchläufe\" von Satz 1 einen Text von 32768 Zeichen; "
                                 "das Feld fasst höchstens 32767."});
    QStringList ist, soll;
    for (const QStringList &fall : fälle) {
        QLocale::setDefault(QLocale(fall[0]));
        QList<QByteArray> zeilen = Beispiel.split('\n');
        zeilen[fall[1].toInt() - 1] = fall[2].toUtf8() + '\r';
        const Programmlesung lesung = ProgrammAusDaten(zeilen.join('\n'));
        QLocale::setDefault(QLocale::c());
        const GelesenerSatz satz = lesung.ok ? lesung.programm.sätze.first() : GelesenerSatz();
        ist << fall.mid(0, 3).join(';').left(40) + ";" +
                   (lesung.ok ? (satz.rechts() ? "rechts " : "links ") + satz.richtung
                              : lesung.fehler);
        soll << fall.mid(0, 3).join(';').left(40) + ";" + fall[3];
    }
    QCOMPARE(ist, soll);
}

// What the port dialog takes under a locale is what the port file gives back. Each case: the
// locale, the field's text, then the port number for start-up and the dialog's field as read.
void TestDateischutz::portdatei() {
    QStringList ist, soll;
    for (const QStringList &fall : Faelle("de_DE;2,0;2/2,0|de_DE;2.0;1/|C;2.0;2/2.0|C;2,0;1/")) {
        QLocale::setDefault(QLocale(fall[0]));
        const QByteArray daten = PortDateiDaten(fall[1]);
        // The dialog takes exactly the texts that read back as a port.
        QCOMPARE(PortnummerAusText(fall[1]).has_value(), fall[2] != "1/");
        ist << fall.mid(0, 2).join(';') + ";" + QString::number(PortnummerAusDaten(daten)) + "/" +
                   PortfeldAusDaten(daten);
        QLocale::setDefault(QLocale::c());
        soll << fall.join(';');
    }
    QCOMPARE(ist, soll);
}

QTEST_MAIN(TestDateischutz)
#include "tst_dateischutz.moc"
