#include "Dauerlauf.h"

#include "Nachrichten.h"
#include "Testdaten.h"

#include "app/PCSteuerung.h"
#include "model/Globale.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include <unistd.h>

Dauerlauf::Dauerlauf()
    : m_erwartet(BytesVon(Gebaut(Programmuebertragung({3, 25, 7}, Dauerlaufsaetze())))) {
    const Dateizugriff::ProgrammFelder p = Dauerlaufprogramm();
    const QString pfad = QDir(m_pty.verzeichnis()).filePath(QStringLiteral("dauerlauf.orp"));
    if (!m_pty.ok() || !Dateizugriff::ProgrammDateiSpeichern(pfad, p, &m_fehler))
        return;
    StartAbgeschlossen = false;
    m_fenster = std::make_unique<PCSteuerung>();
    m_fenster->show();
    m_fenster->Laden();
    Nachrichtenfaenger nachrichten;
    {
        Dateidialogantwort antwort(pfad);
        m_fenster->Öffnen->trigger();
        if (!antwort.beantwortet()) {
            m_fehler = QStringLiteral("Öffnen-Dialog kam nicht");
            return;
        }
    }
    m_fehler = nachrichten.letzterText();
    m_bereit = nachrichten.anzahl() == 0;
}

Dauerlauf::~Dauerlauf() = default;

bool Dauerlauf::uebertragen() {
    if (!m_bereit)
        return false;
    Nachrichtenfaenger nachrichten;
    m_fenster->CommandProgrammieren->click();
    ++m_anzahl;
    const QByteArray bytes = m_pty.lesen(int(m_erwartet.size()));
    if (nachrichten.anzahl() > 0)
        m_fehler = QStringLiteral("Meldung: ") + nachrichten.letzterText();
    else if (bytes != m_erwartet)
        m_fehler = QStringLiteral("Übertragung %1: %2 Bytes, erwartet %3:\n%4\n%5")
                       .arg(m_anzahl)
                       .arg(bytes.size())
                       .arg(m_erwartet.size())
                       .arg(QString::fromLatin1(bytes.toHex(' ')),
                            QString::fromLatin1(m_erwartet.toHex(' ')));
    else
        return true;
    return false;
}

qint64 Dauerlauf::residentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    const QList<QByteArray> teile =
        statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ') : QList<QByteArray>();
    return teile.size() < 2 ? -1 : teile[1].toLongLong() * sysconf(_SC_PAGESIZE) / 1024;
}

QStringList Dauerlauf::deskriptoren() {
    QStringList liste;
    for (const QFileInfo &eintrag :
         QDir(QStringLiteral("/proc/self/fd"))
             .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        liste << eintrag.fileName() + QStringLiteral(" -> ") + eintrag.symLinkTarget();
    return liste;
}
