#pragma once

#include "link/Befehl.h"
#include "link/Dekodierer.h"
#include "link/SerielleSchnittstelle.h"

#include <QObject>
#include <QString>
#include <QTime>

#include <deque>
#include <optional>
#include <utility>
#include <vector>

// What one command of the link came to.
struct Befehlsergebnis {
    // The command as it was to go out (decoded from the command itself), when it held one.
    std::optional<DekodierterBefehl> befehl;
    SerielleSchnittstelle::Ausgang ausgang = SerielleSchnittstelle::Ausgang::Gesendet;
    int port = 1;
    int bytesGesendet = 0;
    int bytesGesamt = 0;
    double dauer = 0; // seconds from the first byte to the end
    QTime uhrzeit;    // when it ended
};

// The operator's confirmation of a command: "Programm übertragen: 3 Sätze, 35 Bytes, 0,27 s
// (14:03:15)", "Programmstart gesendet (14:03:20)", "Satz 2 gestartet (14:03:22)", or after a
// failure the short reason ("Übertragung abgebrochen: Port COM1 nicht verfügbar (14:03:30)").
// Empty for a command that held no byte.
QString Statustext(const Befehlsergebnis &ergebnis);

// One line of the traffic list: a command, or the header or a block of a transfer.
struct Verkehrszeile {
    int msSeitMitternacht = 0; // clock time of the line's first byte
    int port = 1;
    QString text;
    // Each byte with the pause that followed it, in seconds.
    std::vector<std::pair<quint8, float>> bytes;

    // "14:03:15,123  COM1  Satzstart: Satz 2", with the bytes on a second line when asked:
    // "05 (1,0 ms) 02 (0,0 ms)".
    QString anzeige(bool mitBytes) const;
};

// Keeps what went out on the line, decoded into German lines as the controller would read it,
// newest last and at most hoechstzahl lines (older ones drop out). It listens to the link's
// bytes: each is only noted, so the pacing does not feel it; the lines are made when the
// command has ended.
class Verkehrsaufzeichnung : public QObject {
    Q_OBJECT
public:
    static constexpr int HoechstzahlZeilen = 10000;

    explicit Verkehrsaufzeichnung(int hoechstzahl = HoechstzahlZeilen, QObject *parent = nullptr);

    // Listens to the link from now on.
    void mithoeren(SerielleSchnittstelle &link);

    // What the link reports: a byte handed to the device at zeit (MsTimer::Uhr), and the end of
    // a command on port.
    void byteGesendet(quint8 wert, double zeit) { m_offen.emplace_back(wert, zeit); }
    void befehlBeendet(const Befehl &befehl, SerielleSchnittstelle::Ausgang ausgang, int port);

    // The lines kept carry the running numbers erste() .. ende() - 1.
    qint64 erste() const { return m_erste; }
    qint64 ende() const { return m_erste + qint64(m_zeilen.size()); }
    const Verkehrszeile *zeile(qint64 nummer) const;
    void leeren();
    // Every line kept, each ending in CR LF.
    QString text(bool mitBytes) const;

signals:
    // Lines came, dropped out or were cleared.
    void zeilenGeaendert();
    void befehlErledigt(const Befehlsergebnis &ergebnis);

private:
    std::vector<std::pair<quint8, double>> m_offen; // bytes of the command under way
    std::deque<Verkehrszeile> m_zeilen;
    qint64 m_erste = 0;
    int m_hoechstzahl;
};
