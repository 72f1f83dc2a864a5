#pragma once

#include "link/Befehl.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

#include <functional>
#include <limits>

// The one serial port of the program (object name "MSComm1"), owned by the main window.
//
// Port n is the entry "COMn" in the program directory when one exists (a link to the device,
// made with e.g. `ln -s /dev/ttyUSB0 COM1`), otherwise /dev/ttyS<n-1>.
//
// Every byte is handed to the device as it is written, and every pause of a command lasts at
// least what is asked, counted from after its byte was handed over. Closing drains the line
// first, so a byte written just before the close still arrives.
//
// Failures to open a port and a device that goes away while it is open are reported once each
// through the signal fehler() with a German text for the operator; the port then ends closed.
class SerielleSchnittstelle : public QObject {
    Q_OBJECT
public:
    explicit SerielleSchnittstelle(QObject *parent = nullptr);
    ~SerielleSchnittstelle() override;

    // Device that port n stands for.
    static QString GeraetFuerPort(int portnummer);
    // Whether port n is reached through a COMn link in the program directory. A link left by a
    // virtual controller that no longer runs counts as none; opening such a port is refused.
    static bool LinkVorhanden(int portnummer);
    // The port links in the program directory ("COM1", "COM12", ...; other names such as
    // "COM01" or "compile_commands.json" stand for no port), in the order of their numbers.
    static QStringList Portlinks();
    // Port numbers run from 1 to 32767.
    static bool GueltigePortnummer(qint64 n) { return n >= 1 && n <= 32767; }

    // Configuration, kept until the next change.
    bool setPortnummer(int portnummer);
    int portnummer() const { return m_portnummer; }
    QString geraet() const { return GeraetFuerPort(m_portnummer); }
    // Line settings in the form "19200,N,8,1".
    bool setEinstellungen(const QString &einstellungen);
    QString einstellungen() const { return m_einstellungen; }
    // How many received characters one LeseZeichen returns at most; 0 means all.
    void setEmpfangslaenge(int laenge) { m_empfangslaenge = laenge; }

    // Opens the port. melden: a failure is also announced through fehler().
    bool oeffnen(bool melden = true);
    // Drains what was written, then closes. Any command still playing ends without further bytes.
    void schliessen();
    bool istOffen() const { return m_port.isOpen(); }
    // A command is being played or a bracket is open: another one is refused meanwhile.
    bool beschaeftigt() const { return m_beschaeftigt; }
    QString letzterFehler() const { return m_letzterFehler; }

    // A motion that only the controller ends: a held single step or reference run until its
    // stop has gone out (BisZumStopp), a rapid travel until its steps are done. Should the
    // connection break meanwhile, the operator is told to stop the motor at the controller.
    // bis is a time on the clock of MsTimer::Uhr; 0 ends the motion, and so does closing.
    static constexpr double BisZumStopp = std::numeric_limits<double>::infinity();
    void setBewegungBis(double bis) { m_bewegungBis = bis; }

    // Called for every Marke step of a command being played (e.g. "block i begins").
    using Markenhook = std::function<void(int marke)>;

    // The bracket of one command: open, play, close. Returns false, having sent nothing further,
    // when the port cannot be opened, the device goes away or another command is under way
    // (the last is refused silently).
    bool Sendevorgang(const Befehl &befehl, const Markenhook &beiMarke = {});
    // Plays a command on the port held open by a dialog. Same refusals as Sendevorgang.
    bool Abspielen(const Befehl &befehl, const Markenhook &beiMarke = {});

    // The single operations. Each returns false when nothing could be written.
    bool SendeByte(quint8 wert);
    bool SendeBytes(const QByteArray &bytes);
    bool SendeBytePause(quint8 wert, double sekunden);
    bool SendeZahl24(qint64 zahl);
    // Characters received since the last read, at most the receive length; empty when none.
    QByteArray LeseZeichen();

    // How a command played by Sendevorgang or Abspielen ended.
    enum class Ausgang {
        Gesendet,              // every byte and pause
        PortNichtVerfuegbar,   // the port could not be opened; nothing sent
        VerbindungAbgebrochen, // the device went away in the middle
        Unterbrochen           // the port was closed in the middle (e.g. a window closing)
    };
    Q_ENUM(Ausgang)

signals:
    void fehler(const QString &meldung);
    // Every byte handed to the device, with its time on the clock of MsTimer::Uhr, right after
    // the write: a receiver keeps it short, or the pause that follows grows by its time.
    void byteGesendet(quint8 wert, double zeit);
    // A command of Sendevorgang or Abspielen has ended (one refused because another was under
    // way is not reported). Sendevorgang reports after the port is closed again.
    void befehlBeendet(const Befehl &befehl, SerielleSchnittstelle::Ausgang ausgang);

private:
    bool spielen(const Befehl &befehl, const Markenhook &beiMarke);
    Ausgang ausgang(bool ok) const;
    bool schreiben(const char *daten, qint64 laenge);
    bool pause(double sekunden);
    void fehlerAufgetreten(QSerialPort::SerialPortError art);
    void verbindungVerloren(const QString &grund);
    void entleeren();
    QString oeffnenFehlertext(QSerialPort::SerialPortError art) const;

    QSerialPort m_port;
    int m_portnummer = 1;
    QString m_geraet;         // device of the last open
    bool m_ueberLink = false; // the last open went through a COMn link
    QString m_einstellungen = QStringLiteral("19200,N,8,1");
    int m_empfangslaenge = 1;
    bool m_beschaeftigt = false;
    bool m_oeffnetGerade = false;
    bool m_schliesstGerade = false;
    bool m_verbindungVerloren = false; // since the last open
    double m_bewegungBis = 0;
    QString m_letzterFehler;
};
