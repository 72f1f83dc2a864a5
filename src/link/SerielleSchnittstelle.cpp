#include "link/SerielleSchnittstelle.h"

#include "files/Programmverzeichnis.h"
#include "link/MsTimer.h"
#include "link/Plattform.h"
#include "link/Simulatorlink.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace {

// Longest time a single byte may sit in the output queue before the device counts as stuck.
constexpr int SchreibfristMs = 1000;

} // namespace

SerielleSchnittstelle::SerielleSchnittstelle(QObject *parent) : QObject(parent) {
    setObjectName(QStringLiteral("MSComm1"));
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerielleSchnittstelle::fehlerAufgetreten);
    setEinstellungen(m_einstellungen);
}

SerielleSchnittstelle::~SerielleSchnittstelle() {
    if (m_port.isOpen())
        schliessen();
}

QString SerielleSchnittstelle::GeraetFuerPort(int portnummer) {
    const QFileInfo link(ProgrammDateipfad(QStringLiteral("COM%1").arg(portnummer)));
    // A link left by a killed virtual controller still names its device, which oeffnen() then
    // refuses: the port must not fall back to the system's device either.
    if (link.exists() || link.isSymLink()) {
        // The device itself, not the link: its lock file is then the one other programs use.
        const QString ziel = link.canonicalFilePath();
        if (!ziel.isEmpty())
            return ziel;
        return link.isSymLink() ? link.symLinkTarget() : link.absoluteFilePath();
    }
    return Plattform::Systemgeraet(portnummer);
}

bool SerielleSchnittstelle::setPortnummer(int portnummer) {
    if (!GueltigePortnummer(portnummer))
        return false;
    m_portnummer = portnummer;
    m_ueberLink = false;
    return true;
}

QStringList SerielleSchnittstelle::Portlinks() {
    QMap<int, QString> links;
    const QDir ordner(Programmverzeichnis());
    for (const QString &name :
         ordner.entryList({QStringLiteral("COM*")}, QDir::System | QDir::Files)) {
        bool ok = false;
        const int n = name.mid(3).toInt(&ok);
        if (ok && GueltigePortnummer(n) && name == QStringLiteral("COM%1").arg(n))
            links.insert(n, name);
    }
    return links.values();
}

bool SerielleSchnittstelle::LinkVorhanden(int portnummer) {
    const QString pfad = ProgrammDateipfad(QStringLiteral("COM%1").arg(portnummer));
    const QFileInfo link(pfad);
    return (link.exists() || link.isSymLink()) && !Simulatorlink::Verwaist(pfad);
}

bool SerielleSchnittstelle::setEinstellungen(const QString &einstellungen) {
    const QStringList teile = einstellungen.split(QLatin1Char(','));
    if (teile.size() != 4)
        return false;
    bool ok = false;
    const int baud = teile[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return false;
    QSerialPort::Parity paritaet;
    switch (teile[1].trimmed().toUpper().at(0).toLatin1()) {
    case 'N':
        paritaet = QSerialPort::NoParity;
        break;
    case 'E':
        paritaet = QSerialPort::EvenParity;
        break;
    case 'O':
        paritaet = QSerialPort::OddParity;
        break;
    case 'M':
        paritaet = QSerialPort::MarkParity;
        break;
    case 'S':
        paritaet = QSerialPort::SpaceParity;
        break;
    default:
        return false;
    }
    const int daten = teile[2].trimmed().toInt(&ok);
    if (!ok || daten < 5 || daten > 8)
        return false;
    const QString stopp = teile[3].trimmed();
    QSerialPort::StopBits stoppbits;
    if (stopp == QLatin1String("1"))
        stoppbits = QSerialPort::OneStop;
    else if (stopp == QLatin1String("1.5"))
        stoppbits = QSerialPort::OneAndHalfStop;
    else if (stopp == QLatin1String("2"))
        stoppbits = QSerialPort::TwoStop;
    else
        return false;
    m_port.setBaudRate(baud);
    m_port.setParity(paritaet);
    m_port.setDataBits(QSerialPort::DataBits(daten));
    m_port.setStopBits(stoppbits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_einstellungen = einstellungen;
    return true;
}

QString SerielleSchnittstelle::oeffnenFehlertext(QSerialPort::SerialPortError art) const {
    const QString geraet = m_geraet;
    QString grund;
    switch (art) {
    case QSerialPort::DeviceNotFoundError:
        grund = QStringLiteral("Das Gerät %1 ist nicht vorhanden.").arg(geraet);
        break;
    case QSerialPort::PermissionError:
        if (!Plattform::LesenUndSchreibenErlaubt(geraet)) {
            grund = QStringLiteral("Keine Berechtigung für %1. Ihr Benutzer muss zur Gruppe "
                                   "„%2“ gehören, der das Gerät gehört (danach neu anmelden).")
                        .arg(geraet, Plattform::GruppeDesGeraets(geraet));
        } else {
            grund = QStringLiteral("Das Gerät %1 wird bereits von einem anderen Programm benutzt.")
                        .arg(geraet);
        }
        break;
    case QSerialPort::OpenError:
        grund = QStringLiteral("Die Schnittstelle ist bereits geöffnet.");
        break;
    case QSerialPort::UnsupportedOperationError:
        grund = QStringLiteral("Das Gerät %1 ist keine serielle Schnittstelle.").arg(geraet);
        break;
    default:
        grund = QStringLiteral("Fehler des Systems: %1")
                    .arg(Plattform::SystemfehlerDeutsch(m_port.errorString()));
        break;
    }
    return QStringLiteral("Die Schnittstelle COM%1 (%2) kann nicht geöffnet werden.\n%3")
        .arg(m_portnummer)
        .arg(geraet, grund);
}

bool SerielleSchnittstelle::oeffnen(bool melden) {
    m_letzterFehler.clear();
    if (m_port.isOpen()) {
        m_letzterFehler = QStringLiteral("Die Schnittstelle COM%1 (%2) ist bereits geöffnet.")
                              .arg(m_portnummer)
                              .arg(m_geraet);
        if (melden)
            emit fehler(m_letzterFehler);
        return false;
    }
    m_geraet = geraet();
    qint64 prozess = 0;
    if (Simulatorlink::Verwaist(ProgrammDateipfad(QStringLiteral("COM%1").arg(m_portnummer)),
                                &prozess)) {
        m_letzterFehler =
            QStringLiteral("Die Schnittstelle COM%1 (%2) kann nicht geöffnet werden.\nCOM%1 "
                           "stammt von einem virtuellen Controller, der nicht mehr läuft (Prozess "
                           "%3); es wird nichts gesendet. Bitte ihn neu starten oder COM%1 "
                           "entfernen.")
                .arg(m_portnummer)
                .arg(m_geraet)
                .arg(prozess);
        if (melden)
            emit fehler(m_letzterFehler);
        return false;
    }
    // A port that led through a COMn link must not fall back to the system's serial device
    // when the link goes away (the virtual controller ended, the link was removed): the
    // bytes would reach another device.
    const bool ueberLink = LinkVorhanden(m_portnummer);
    if (m_ueberLink && !ueberLink) {
        m_letzterFehler =
            QStringLiteral("Die Schnittstelle COM%1 kann nicht geöffnet werden.\nDie Verknüpfung "
                           "COM%1 im Programmverzeichnis (%2) fehlt. Ohne sie würde %3 benutzt, "
                           "ein anderes Gerät; deshalb wird nichts gesendet. Bitte die "
                           "Verknüpfung wieder anlegen oder im Menü „Schnittstelle“ einen Port "
                           "wählen.")
                .arg(m_portnummer)
                .arg(Programmverzeichnis(), m_geraet);
        if (melden)
            emit fehler(m_letzterFehler);
        return false;
    }
    m_port.setPortName(m_geraet);
    setEinstellungen(m_einstellungen);
    m_oeffnetGerade = true;
    const bool ok = m_port.open(QIODevice::ReadWrite);
    m_oeffnetGerade = false;
    if (!ok) {
        m_letzterFehler = oeffnenFehlertext(m_port.error());
        m_port.clearError();
        if (melden)
            emit fehler(m_letzterFehler);
        return false;
    }
    m_ueberLink = ueberLink;
    m_verbindungVerloren = false;
    // Characters that arrived before this command belong to no one.
    m_port.clear(QSerialPort::Input);
    return true;
}

void SerielleSchnittstelle::entleeren() {
    if (m_port.bytesToWrite() > 0)
        m_port.waitForBytesWritten(SchreibfristMs);
    Plattform::AusgangLeeren(m_port.handle());
}

void SerielleSchnittstelle::schliessen() {
    if (!m_port.isOpen())
        return;
    entleeren();
    if (m_port.isOpen()) {
        m_schliesstGerade = true;
        m_port.close();
        m_schliesstGerade = false;
    }
    m_port.clearError();
    m_bewegungBis = 0;
    MsTimer::Aufwecken();
}

void SerielleSchnittstelle::fehlerAufgetreten(QSerialPort::SerialPortError art) {
    if (m_oeffnetGerade || m_schliesstGerade)
        return;
    switch (art) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        if (m_port.isOpen()) {
            QString grund = Plattform::Geraetefehler(m_port.handle());
            if (grund.isEmpty())
                grund = Plattform::SystemfehlerDeutsch(m_port.errorString());
            verbindungVerloren(grund);
        }
        break;
    default:
        break;
    }
}

void SerielleSchnittstelle::verbindungVerloren(const QString &grund) {
    // Close at once: an open port whose device is gone floods errorOccurred.
    const QString geraet = m_geraet;
    m_schliesstGerade = true;
    m_port.close();
    m_schliesstGerade = false;
    m_port.clearError();
    m_verbindungVerloren = true;
    m_letzterFehler = QStringLiteral("Die Verbindung über COM%1 (%2) ist abgebrochen (%3).\n"
                                     "Die Schnittstelle wurde geschlossen; ein laufender Befehl "
                                     "wurde nicht zu Ende gesendet.")
                          .arg(m_portnummer)
                          .arg(geraet, grund);
    if (MsTimer::Uhr() < m_bewegungBis)
        m_letzterFehler += QStringLiteral("\nDer Motor läuft möglicherweise noch und muss an der "
                                          "Steuerung angehalten werden.");
    m_bewegungBis = 0;
    emit fehler(m_letzterFehler);
    MsTimer::Aufwecken();
}

bool SerielleSchnittstelle::schreiben(const char *daten, qint64 laenge) {
    if (!m_port.isOpen())
        return false;
    if (m_port.write(daten, laenge) != laenge)
        return false;
    // write() only queues; hand the bytes to the device now.
    m_port.flush();
    while (m_port.isOpen() && m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(SchreibfristMs)) {
            if (m_port.isOpen())
                verbindungVerloren(QStringLiteral("das Gerät nimmt keine Daten an"));
            return false;
        }
    }
    if (!m_port.isOpen())
        return false;
    const double zeit = MsTimer::Uhr();
    for (qint64 i = 0; i < laenge; ++i)
        emit byteGesendet(quint8(daten[i]), zeit);
    return true;
}

bool SerielleSchnittstelle::pause(double sekunden) {
    if (sekunden <= 0)
        return m_port.isOpen();
    return MsTimer::WartenBis(MsTimer::Uhr() + sekunden, [this] { return !m_port.isOpen(); });
}

bool SerielleSchnittstelle::SendeByte(quint8 wert) {
    const char c = char(wert);
    return schreiben(&c, 1);
}

bool SerielleSchnittstelle::SendeBytes(const QByteArray &bytes) {
    return schreiben(bytes.constData(), bytes.size());
}

bool SerielleSchnittstelle::SendeBytePause(quint8 wert, double sekunden) {
    return SendeByte(wert) && pause(sekunden);
}

bool SerielleSchnittstelle::SendeZahl24(qint64 zahl) {
    if (zahl < 0 || zahl > 0xFFFFFF)
        return false;
    return SendeBytePause(quint8(zahl & 0xFF), 0.001) &&
           SendeBytePause(quint8((zahl >> 8) & 0xFF), 0.001) &&
           SendeBytePause(quint8((zahl >> 16) & 0xFF), 0.001);
}

QByteArray SerielleSchnittstelle::LeseZeichen() {
    if (!m_port.isOpen())
        return {};
    if (m_port.bytesAvailable() == 0)
        m_port.waitForReadyRead(0);
    if (!m_port.isOpen())
        return {};
    return m_empfangslaenge > 0 ? m_port.read(m_empfangslaenge) : m_port.readAll();
}

bool SerielleSchnittstelle::spielen(const Befehl &befehl, const Markenhook &beiMarke) {
    QByteArray am_stueck;
    auto ausgeben = [&] {
        if (am_stueck.isEmpty())
            return true;
        const bool ok = SendeBytes(am_stueck);
        am_stueck.clear();
        return ok;
    };
    for (const Befehlsschritt &schritt : befehl) {
        switch (schritt.art) {
        case Befehlsschritt::Art::Byte:
            // Bytes with no pause between them go out in one write.
            am_stueck.append(char(schritt.wert));
            break;
        case Befehlsschritt::Art::Pause:
            if (!ausgeben() || !pause(schritt.sekunden))
                return false;
            break;
        case Befehlsschritt::Art::Marke:
            if (!ausgeben())
                return false;
            if (beiMarke)
                beiMarke(schritt.marke);
            if (!m_port.isOpen())
                return false;
            break;
        }
    }
    return ausgeben();
}

bool SerielleSchnittstelle::Sendevorgang(const Befehl &befehl, const Markenhook &beiMarke) {
    if (m_beschaeftigt || m_port.isOpen())
        return false;
    m_beschaeftigt = true;
    const bool offen = oeffnen(true);
    bool ok = false;
    if (offen) {
        ok = spielen(befehl, beiMarke);
        schliessen();
    }
    m_beschaeftigt = false;
    emit befehlBeendet(befehl, !offen ? Ausgang::PortNichtVerfuegbar : ausgang(ok));
    return ok;
}

SerielleSchnittstelle::Ausgang SerielleSchnittstelle::ausgang(bool ok) const {
    if (ok)
        return Ausgang::Gesendet;
    return m_verbindungVerloren ? Ausgang::VerbindungAbgebrochen : Ausgang::Unterbrochen;
}

bool SerielleSchnittstelle::Abspielen(const Befehl &befehl, const Markenhook &beiMarke) {
    if (m_beschaeftigt || !m_port.isOpen())
        return false;
    m_beschaeftigt = true;
    const bool ok = spielen(befehl, beiMarke);
    m_beschaeftigt = false;
    emit befehlBeendet(befehl, ausgang(ok));
    return ok;
}
