#include "Dauerlauf.h"

#include "Nachrichten.h"

#include "app/PCSteuerung.h"
#include "link/Protokoll.h"
#include "model/Globale.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include <unistd.h>

Dateizugriff::ProgrammFelder Dauerlauf::Programm() {
    Dateizugriff::ProgrammFelder p;
    p.programmdurchläufe = QStringLiteral("3");
    p.programmpause = QStringLiteral("25");
    p.befehlspause = QStringLiteral("7");
    for (int i = 0; i < 20; ++i) {
        Dateizugriff::SatzFelder s;
        const int start = 100 + 50 * i;
        s.schritte = QString::number(i == 19 ? HoechsteSchrittzahl : 1000 + 12345 * i);
        s.startfrequenz = QString::number(start);
        s.maximalfrequenz = QString::number(start + 500 + 500 * i);
        s.satzdurchläufe = QString::number(1 + 13 * i);
        s.satzpause = QString::number(13 * i);
        s.rechts = i % 2 == 0;
        s.richtungsumkehr = i % 3 == 0;
        s.rampe = 1 + i % 4;
        p.sätze.append(s);
    }
    return p;
}

Dauerlauf::Dauerlauf() : m_programm(Programm()) {
    if (!m_pty.ok()) {
        m_fehler = QStringLiteral("kein Pseudo-Terminal");
        return;
    }
    const QString pfad = QDir(m_pty.verzeichnis()).filePath(QStringLiteral("dauerlauf.orp"));
    if (!Dateizugriff::ProgrammDateiSpeichern(pfad, m_programm, &m_fehler))
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
    if (nachrichten.anzahl() > 0) {
        m_fehler = nachrichten.letzterText();
        return;
    }
    m_bereit = true;
}

Dauerlauf::~Dauerlauf() = default;

bool Dauerlauf::uebertragen() {
    if (!m_bereit)
        return false;
    Nachrichtenfaenger nachrichten;
    m_fenster->CommandProgrammieren->click();
    ++m_anzahl;
    const QByteArray bytes = m_pty.lesen(5 + 10 * 20);
    if (nachrichten.anzahl() > 0) {
        m_fehler = QStringLiteral("Meldung: ") + nachrichten.letzterText();
        return false;
    }
    std::vector<DekodierterBefehl> befehle = m_dekodierer.einspeisen(bytes);
    if (befehle.size() != 1 || m_dekodierer.imBefehl()) {
        m_fehler =
            QStringLiteral("%1 Bytes ergaben %2 Befehle%3")
                .arg(bytes.size())
                .arg(befehle.size())
                .arg(m_dekodierer.imBefehl() ? QStringLiteral(" und einen offenen") : QString());
        return false;
    }
    return vergleichen(befehle.front());
}

bool Dauerlauf::vergleichen(const DekodierterBefehl &b) {
    auto abweichung = [this, &b](const QString &was) {
        m_fehler = QStringLiteral("Übertragung %1: %2\n%3").arg(m_anzahl).arg(was, b.text());
        return false;
    };
    if (b.art != Befehlsart::Programmuebertragung || !b.vollstaendig)
        return abweichung(QStringLiteral("keine vollständige Programmübertragung"));
    if (b.programmdurchlaeufe != m_programm.programmdurchläufe.toInt() ||
        b.programmpause != m_programm.programmpause.toInt() ||
        b.befehlspause != m_programm.befehlspause.toInt() || b.anzahlSaetze != 20 ||
        b.saetze.size() != 20)
        return abweichung(QStringLiteral("Kopf"));
    for (int i = 0; i < 20; ++i) {
        const Dateizugriff::SatzFelder &f = m_programm.sätze[i];
        const DekodierterSatz &s = b.saetze[size_t(i)];
        const bool gleich = s.schritte == f.schritte.toLongLong() &&
                            s.startcode == Frequenzcode(f.startfrequenz.toDouble()) &&
                            s.maximalcode == Frequenzcode(f.maximalfrequenz.toDouble()) &&
                            s.durchlaeufe == f.satzdurchläufe.toInt() &&
                            s.pause == f.satzpause.toInt() &&
                            s.richtungsbyte == (f.rechts ? 1 : 0) &&
                            s.umkehrbyte == (f.richtungsumkehr ? 1 : 0) && s.rampe == f.rampe;
        if (!gleich)
            return abweichung(QStringLiteral("Satz %1").arg(i + 1));
    }
    return true;
}

qint64 Dauerlauf::residentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> teile = statm.readAll().split(' ');
    if (teile.size() < 2)
        return -1;
    return teile[1].toLongLong() * sysconf(_SC_PAGESIZE) / 1024;
}

int Dauerlauf::offeneDeskriptoren() {
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

QStringList Dauerlauf::deskriptoren() {
    const QDir fd(QStringLiteral("/proc/self/fd"));
    QStringList liste;
    for (const QFileInfo &eintrag :
         fd.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        liste << eintrag.fileName() + QStringLiteral(" -> ") + eintrag.symLinkTarget();
    return liste;
}
