// zelkor-sim: a virtual Zelkor controller on a pseudo-terminal, reachable by the program as
// port n through the entry COMn in the program's directory. It prints one line per command it
// receives and answers single steps as the controller does.
//
//   zelkor-sim [--port N] [--verzeichnis DIR] [--protokoll DATEI] [--verzoegerung MS]
//
// Ends on SIGINT, SIGTERM, SIGHUP, on "q" and on the end of input at a terminal (Ctrl-D),
// and removes its COMn entry then. When its input is no terminal (a pipe, a file, /dev/null as
// for a job started in the background by a script), the end of that input does not end it.
// Enter or "p" (or SIGUSR1) prints the last transferred program again.
#include "VirtuellerAnschluss.h"

#include "files/Programmverzeichnis.h"
#include "link/Plattform.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Standard input, output and error must be taken, or the pseudo-terminal could end up as one
// of them and the lines would go to the program.
void standardkanaeleBelegen() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int leer = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            if (leer >= 0 && leer != fd) {
                ::dup2(leer, fd);
                ::close(leer);
            }
        }
    }
}

int signaleEinrichten() {
    const int rohr = Plattform::SignaleAlsBytes({SIGINT, SIGTERM, SIGHUP, SIGUSR1});
    // Reading the terminal from the background must not stop the process; the read then fails
    // and the input is left alone.
    std::signal(SIGTTIN, SIG_IGN);
    // A reader of the output that goes away must not end the process before it has removed
    // its entry.
    std::signal(SIGPIPE, SIG_IGN);
    return rohr;
}

class Ausgabe {
public:
    bool protokollOeffnen(const QString &pfad) {
        m_datei.setFileName(pfad);
        return m_datei.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
    }
    QString protokollFehler() const { return m_datei.errorString(); }

    void zeilen(const QStringList &zeilen) {
        QByteArray text;
        for (const QString &z : zeilen)
            text += z.toUtf8() + '\n';
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fflush(stdout);
        if (m_datei.isOpen()) {
            m_datei.write(text);
            m_datei.flush();
        }
    }

private:
    QFile m_datei;
};

} // namespace

int main(int argc, char **argv) {
    standardkanaeleBelegen();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelkor-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Virtueller Zelkor-Controller an einem Pseudoterminal. Er legt COMn im "
                       "Programmverzeichnis an, zeigt jeden empfangenen Befehl als Zeile und "
                       "beantwortet Einzelschritte.\nEnter oder p: gespeichertes Programm "
                       "zeigen (auch SIGUSR1); q, Strg+C oder SIGTERM: beenden."));
    const QCommandLineOption hilfe(
        {QStringLiteral("h"), QStringLiteral("hilfe"), QStringLiteral("help")},
        QStringLiteral("Diese Hilfe zeigen."));
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("Portnummer n: das Programm erreicht den "
                                                 "Controller als COMn (Vorgabe 1)."),
                                  QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption verzeichnis(
        {QStringLiteral("d"), QStringLiteral("verzeichnis"), QStringLiteral("dir")},
        QStringLiteral("Verzeichnis des Programms, in dem COMn angelegt wird (Vorgabe: wo "
                       "zelkor seine Ports sucht: das Verzeichnis von zelkor-sim und zelkor, "
                       "wenn es beschreibbar ist, sonst ~/.config/Zelkor_V2)."),
        QStringLiteral("verzeichnis"));
    const QCommandLineOption protokoll(
        {QStringLiteral("protokoll"), QStringLiteral("log")},
        QStringLiteral("Die Zeilen zusätzlich an diese Datei anhängen."), QStringLiteral("datei"));
    const QCommandLineOption verzoegerung(
        {QStringLiteral("verzoegerung"), QStringLiteral("delay")},
        QStringLiteral("Millisekunden bis zur Antwort auf einen Einzelschritt (Vorgabe %1).")
            .arg(VirtuellerAnschluss::StandardVerzoegerungMs),
        QStringLiteral("ms"), QString::number(VirtuellerAnschluss::StandardVerzoegerungMs));
    parser.addOptions({hilfe, port, verzeichnis, protokoll, verzoegerung});

    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "zelkor-sim: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(hilfe)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    bool ok = false;
    const int portnummer = parser.value(port).toInt(&ok);
    if (!ok || portnummer < 1 || portnummer > 32767) {
        std::fprintf(stderr, "zelkor-sim: ungültige Portnummer „%s“\n",
                     qPrintable(parser.value(port)));
        return 2;
    }
    const int verzoegerungMs = parser.value(verzoegerung).toInt(&ok);
    if (!ok || verzoegerungMs < 0) {
        std::fprintf(stderr, "zelkor-sim: ungültige Verzögerung „%s“\n",
                     qPrintable(parser.value(verzoegerung)));
        return 2;
    }
    const QString ort =
        parser.isSet(verzeichnis) ? parser.value(verzeichnis) : Programmverzeichnis();

    Ausgabe ausgabe;
    if (parser.isSet(protokoll) && !ausgabe.protokollOeffnen(parser.value(protokoll))) {
        std::fprintf(stderr, "zelkor-sim: Protokolldatei %s: %s\n",
                     qPrintable(parser.value(protokoll)), qPrintable(ausgabe.protokollFehler()));
        return 1;
    }

    const int signalRohr = signaleEinrichten();
    VirtuellerAnschluss anschluss;
    anschluss.setAntwortverzoegerung(verzoegerungMs);
    if (!anschluss.starten(portnummer, ort)) {
        std::fprintf(stderr, "zelkor-sim: %s\n", qPrintable(anschluss.fehler()));
        return 1;
    }
    QObject::connect(&anschluss, &VirtuellerAnschluss::zeilen, &app,
                     [&](const QStringList &z) { ausgabe.zeilen(z); });

    auto programmZeigen = [&] { ausgabe.zeilen(anschluss.controller().programmZeilen()); };

    // Signals arrive through the pipe, on the event loop.
    QSocketNotifier signale(signalRohr, QSocketNotifier::Read);
    QObject::connect(&signale, &QSocketNotifier::activated, &app, [&] {
        while (const int n = Plattform::NaechstesSignal()) {
            if (n == SIGUSR1)
                programmZeigen();
            else
                QCoreApplication::quit();
        }
    });

    // Commands on the input: only from a terminal in the foreground, or from a pipe or file.
    const bool terminal = ::isatty(STDIN_FILENO) == 1;
    const bool eingabeLesen = !terminal || ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
    QSocketNotifier eingabe(STDIN_FILENO, QSocketNotifier::Read);
    eingabe.setEnabled(eingabeLesen);
    QByteArray eingabezeile;
    QObject::connect(&eingabe, &QSocketNotifier::activated, &app, [&] {
        char puffer[256];
        const ssize_t n = ::read(STDIN_FILENO, puffer, sizeof puffer);
        if (n < 0 && errno == EINTR)
            return;
        if (n <= 0) {
            eingabe.setEnabled(false);
            if (n == 0 && terminal)
                QCoreApplication::quit();
            return;
        }
        eingabezeile.append(puffer, int(n));
        int ende;
        while ((ende = int(eingabezeile.indexOf('\n'))) >= 0) {
            const QByteArray zeile = eingabezeile.left(ende).trimmed().toLower();
            eingabezeile.remove(0, ende + 1);
            if (zeile.isEmpty() || zeile == "p")
                programmZeigen();
            else if (zeile == "q")
                QCoreApplication::quit();
            else
                ausgabe.zeilen({QStringLiteral("Enter oder p: gespeichertes Programm zeigen, "
                                               "q: beenden")});
        }
    });

    QStringList kopf{
        QStringLiteral("Virtueller Zelkor-Controller an Port %1: %2 → %3 "
                       "(gestartet %4)")
            .arg(portnummer)
            .arg(anschluss.linkPfad(), anschluss.geraet(),
                 QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")))};
    if (eingabeLesen && terminal)
        kopf << QStringLiteral("Enter oder p: gespeichertes Programm zeigen · q oder Strg+C: "
                               "beenden");
    else
        kopf << QStringLiteral("Gespeichertes Programm zeigen: kill -USR1 %1 · beenden: kill %1")
                    .arg(::getpid());
    ausgabe.zeilen(kopf);

    const int ergebnis = app.exec();
    const QString link = anschluss.linkPfad();
    anschluss.beenden();
    ausgabe.zeilen({QStringLiteral("Virtueller Controller beendet, %1 entfernt.").arg(link)});
    return ergebnis;
}
