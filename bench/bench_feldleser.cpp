// Reading speed of the field reader and the program-file reader on ordinary and on hostile
// inputs. All of them should run at a similar rate per byte: nothing is searched twice.
#include "files/Feldleser.h"
#include "files/Programmdatei.h"

#include <QElapsedTimer>
#include <QTextStream>

using namespace Dateizugriff;

namespace {

void Messen(QTextStream &aus, const char *name, const QByteArray &daten) {
    QElapsedTimer uhr;
    uhr.start();
    Feldleser leser(daten);
    qsizetype felder = 0;
    while (leser.lesen())
        ++felder;
    const double sekunden = double(uhr.nsecsElapsed()) / 1e9;
    aus << QString("%1: %2 MB, %3 fields, %4 s, %5 MB/s\n")
               .arg(QString::fromLatin1(name), -28)
               .arg(double(daten.size()) / 1e6, 0, 'f', 1)
               .arg(felder)
               .arg(sekunden, 0, 'f', 3)
               .arg(double(daten.size()) / 1e6 / sekunden, 0, 'f', 0);
}

} // namespace

int main() {
    QTextStream aus(stdout);
    const qsizetype größe = 32 * 1024 * 1024;

    QByteArray programmzeilen;
    while (programmzeilen.size() < größe)
        programmzeilen.append(
            "\"5000\"\r\n\"300\"\r\n\"4000\"\r\n\"1\"\r\n\"10\"\r\n0\r\n\"1\"\r\n");
    Messen(aus, "program lines", programmzeilen);
    Messen(aus, "commas only", QByteArray(größe, ','));
    Messen(aus, "blanks only", QByteArray(größe, ' '));
    Messen(aus, "one unclosed quote", QByteArray(1, '"') + QByteArray(größe, 'x'));
    Messen(aus, "quotes only", QByteArray(größe, '"'));
    Messen(aus, "CR only", QByteArray(größe, '\r'));
    QByteArray rest;
    while (rest.size() < größe)
        rest.append("\"1\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\r\n");
    Messen(aus, "text after closing quotes", rest);

    ProgrammFelder programm;
    for (int i = 0; i < SatzTabellengröße; ++i) {
        SatzFelder satz;
        satz.schritte = "16777215";
        satz.startfrequenz = "300";
        satz.maximalfrequenz = "12000";
        satz.satzdurchläufe = "255";
        satz.satzpause = "10";
        programm.sätze.append(satz);
    }
    const QByteArray datei = ProgrammDateiDaten(programm);
    QElapsedTimer uhr;
    uhr.start();
    const int runden = 20000;
    int gelesen = 0;
    for (int i = 0; i < runden; ++i)
        gelesen += ProgrammAusDaten(datei).ok ? 1 : 0;
    aus << QString("program file of 31 blocks: %1 reads, %2 us each\n")
               .arg(gelesen)
               .arg(double(uhr.nsecsElapsed()) / 1e3 / runden, 0, 'f', 2);
    return 0;
}
