#include "Befehlszeile.h"

#include "Auftraege.h"
#include "Sender.h"

#include "files/Kleindateien.h"
#include "files/Programmverzeichnis.h"
#include "link/Protokoll.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonDocument>

#include <cstdio>

namespace {

enum Status { Erfolg = 0, Verweigert = 1, PortUnbrauchbar = 2 };

const char *const Beschreibung =
    "Zelkor-Steuerung für Skripte: Programmdateien prüfen, ihre Fahrzeiten zeigen, sie an den "
    "Controller übertragen und starten, ohne Fenster.\n"
    "\n"
    "Befehle:\n"
    "  pruefen DATEI.orp        die Prüfungen einer Übertragung, ohne zu senden\n"
    "  zeiten DATEI.orp         Beschleunigungs-, Brems- und Gesamtzeit je Satz und die\n"
    "                           Fahrzeit des Programms (--json: als JSON)\n"
    "  bytes DATEI.orp          die Bytes der Übertragung mit ihren Pausen, ohne Port;\n"
    "                           bytes --start, bytes --satzstart N, bytes --einstellungen\n"
    "  senden DATEI.orp         prüfen und übertragen (--starten: danach Programmstart)\n"
    "  start                    Programmstart senden\n"
    "  satzstart N              Satz N starten\n"
    "  einstellungen            Schrittmodus, Phasenstrom und Stromabsenkung senden; was\n"
    "                           fehlt, kommt aus zelkor.txt\n"
    "\n"
    "Manuelle Fahrt und Referenzfahrt gibt es hier bewusst nicht: beide brauchen einen\n"
    "gehaltenen Knopf, den ein Skript nicht geben kann.\n"
    "\n"
    "Port n ist wie im Programm die Verknüpfung COMn im Programmverzeichnis, sonst\n"
    "/dev/ttyS<n-1>; ohne --port gilt die Portdatei port.txt.\n"
    "\n"
    "Rückgabewerte: 0 erledigt, 1 Programm oder Eingabe abgelehnt, 2 Port nicht benutzbar\n"
    "(nichts gesendet), 3 Befehl durch einen Portfehler oder ein Signal abgebrochen.";

void ausgeben(FILE *ziel, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), ziel);
    std::fflush(ziel);
}

int melden(int status, const QString &text) {
    ausgeben(stderr, QStringLiteral("zelkorctl: ") + text + QLatin1Char('\n'));
    return status;
}

} // namespace

int ZelkorctlAusfuehren(const QStringList &argumente) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(Beschreibung));
    const QCommandLineOption hilfe({"h", "hilfe", "help"}, "Diese Hilfe zeigen.");
    const QCommandLineOption port({"p", "port"},
                                  "Portnummer n (Vorgabe: die Portdatei des Programms).", "n");
    const QCommandLineOption verzeichnis(
        {"d", "verzeichnis"},
        "Programmverzeichnis mit port.txt, zelkor.txt und den COMn-Verknüpfungen (Vorgabe: das "
        "Verzeichnis von zelkorctl).",
        "verzeichnis");
    const QCommandLineOption json("json", "zeiten: als JSON ausgeben.");
    const QCommandLineOption starten("starten", "senden, bytes: nach der Übertragung das "
                                                "Programm starten.");
    const QCommandLineOption start("start", "bytes: die Bytes des Programmstarts.");
    const QCommandLineOption satzstart("satzstart", "bytes: die Bytes des Starts von Satz N.", "N");
    const QCommandLineOption einstellungen("einstellungen",
                                           "bytes: die Bytes der Controller-Einstellungen.");
    const QCommandLineOption schrittmodus(
        "schrittmodus", "Schrittmodus, z. B. Halbschritt (Vorgabe: aus zelkor.txt).", "modus");
    const QCommandLineOption phasenstrom(
        "phasenstrom", "Phasenstrom, z. B. \"2,5 A\" (Vorgabe: aus zelkor.txt).", "strom");
    const QCommandLineOption stromabsenkung(
        "stromabsenkung", "Stromabsenkung ein oder aus (Vorgabe: aus zelkor.txt).", "ein|aus");
    parser.addOptions({hilfe, port, verzeichnis, json, starten, start, satzstart, einstellungen,
                       schrittmodus, phasenstrom, stromabsenkung});
    parser.addPositionalArgument("befehl", "pruefen, zeiten, bytes, senden, start, satzstart "
                                           "oder einstellungen");

    if (!parser.parse(argumente))
        return melden(Verweigert, parser.errorText());
    if (parser.isSet(hilfe)) {
        ausgeben(stdout, parser.helpText());
        return Erfolg;
    }
    if (parser.isSet(verzeichnis))
        setProgrammverzeichnis(QFileInfo(parser.value(verzeichnis)).absoluteFilePath());

    const QStringList positionen = parser.positionalArguments();
    const QString befehl = positionen.value(0);
    const QString argument = positionen.value(1);
    const bool mitDatei = befehl == "pruefen" || befehl == "zeiten" || befehl == "senden" ||
                          (befehl == "bytes" && !argument.isEmpty());
    const int erwartet = mitDatei || befehl == "satzstart" ? 2 : 1;
    if (befehl.isEmpty())
        return melden(Verweigert, "Kein Befehl angegeben (zelkorctl --help).");
    if (positionen.size() != erwartet)
        return melden(Verweigert,
                      QStringLiteral("„%1“ erwartet %2.")
                          .arg(befehl, erwartet == 2 ? "ein Argument" : "kein Argument"));

    // The commands to send or show, built and checked before any port is touched.
    std::vector<Befehl> befehle;
    Dateiauftrag datei;
    if (befehl == "zeiten") {
        const Zeitenbericht bericht = ZeitenBerechnen(argument);
        if (!bericht.meldung.isEmpty())
            return melden(Verweigert, argument + ": " + bericht.meldung);
        ausgeben(stdout, parser.isSet(json)
                             ? QString::fromUtf8(QJsonDocument(bericht.json).toJson())
                             : bericht.zeilen.join('\n') + '\n');
        return Erfolg;
    } else if (mitDatei) {
        datei = DateiPruefen(argument);
        if (!datei.meldung.isEmpty())
            return melden(Verweigert, argument + ": " + datei.meldung);
        befehle.push_back(*datei.befehl);
        if (parser.isSet(starten))
            befehle.push_back(Programmstart());
    } else if (befehl == "start" || (befehl == "bytes" && parser.isSet(start))) {
        befehle.push_back(Programmstart());
    } else if (befehl == "satzstart" || (befehl == "bytes" && parser.isSet(satzstart))) {
        const Befehlsauftrag a =
            SatzstartBauen(befehl == "bytes" ? parser.value(satzstart) : argument);
        if (!a.befehl)
            return melden(Verweigert, a.meldung);
        befehle.push_back(*a.befehl);
    } else if (befehl == "einstellungen" || (befehl == "bytes" && parser.isSet(einstellungen))) {
        const Befehlsauftrag a = EinstellungenBauen(
            parser.value(schrittmodus), parser.value(phasenstrom), parser.value(stromabsenkung));
        if (!a.befehl)
            return melden(Verweigert, a.meldung);
        befehle.push_back(*a.befehl);
    } else if (befehl == "bytes") {
        return melden(Verweigert, "bytes erwartet eine Datei, --start, --satzstart N oder "
                                  "--einstellungen.");
    } else {
        return melden(Verweigert,
                      QStringLiteral("Unbekannter Befehl „%1“ (zelkorctl --help).").arg(befehl));
    }

    if (befehl == "pruefen") {
        ausgeben(stdout, QStringLiteral("in Ordnung: %1 %2\n")
                             .arg(datei.anzahlSaetze)
                             .arg(datei.anzahlSaetze == 1 ? "Satz" : "Sätze"));
        return Erfolg;
    }
    if (befehl == "bytes") {
        for (const Befehl &b : befehle)
            ausgeben(stdout, BytesText(b));
        return Erfolg;
    }

    int portnummer = Dateizugriff::PortnummerAusDatei(Dateizugriff::PortDateipfad());
    if (parser.isSet(port)) {
        bool ok = false;
        portnummer = parser.value(port).toInt(&ok);
        if (!ok)
            return melden(PortUnbrauchbar,
                          QStringLiteral("„%1“ ist keine Portnummer.").arg(parser.value(port)));
    }
    Sender sender;
    const Sender::Ergebnis ergebnis = sender.senden(portnummer, befehle);
    if (ergebnis != Sender::Gesendet)
        return melden(ergebnis, sender.meldung());
    return Erfolg;
}
