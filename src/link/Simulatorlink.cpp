#include "link/Simulatorlink.h"

#include "link/Plattform.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace Simulatorlink {

namespace {

// The marker's content: the process number and the device, one line each.
struct Inhalt {
    qint64 prozess = 0;
    QString geraet;
};

Inhalt lesen(const QByteArray &text) {
    const QList<QByteArray> zeilen = text.split('\n');
    Inhalt i;
    i.prozess = zeilen.value(0).toLongLong();
    i.geraet = QString::fromLocal8Bit(zeilen.value(1));
    return i;
}

// Whether the entry link is the link a marker with this content describes.
bool beschrieben(const QString &link, const Inhalt &inhalt) {
    const QFileInfo eintrag(link);
    return eintrag.isSymLink() && !inhalt.geraet.isEmpty() &&
           eintrag.symLinkTarget() == inhalt.geraet;
}

} // namespace

QString Markenpfad(const QString &link) {
    const QFileInfo eintrag(link);
    return eintrag.absolutePath() + QStringLiteral("/.") + eintrag.fileName() +
           QStringLiteral(".sim");
}

bool Verwaist(const QString &link, qint64 *prozess) {
    if (!QFileInfo(link).isSymLink())
        return false;
    const Plattform::Sperrdatei marke = Plattform::SperrdateiAnsehen(Markenpfad(link));
    if (!marke.vorhanden || marke.gesperrt)
        return false;
    const Inhalt inhalt = lesen(marke.inhalt);
    if (!beschrieben(link, inhalt))
        return false;
    if (prozess)
        *prozess = inhalt.prozess;
    return true;
}

bool Besitz::sperren(const QString &link) {
    freigeben();
    m_fehler.clear();
    const QString pfad = Markenpfad(link);
    bool belegt = false;
    QString grund;
    m_handle = Plattform::SperrdateiSperren(pfad, &belegt, &m_vorher, &grund);
    if (m_handle >= 0) {
        m_link = link;
        return true;
    }
    if (belegt) {
        const Inhalt anderer = lesen(Plattform::SperrdateiAnsehen(pfad).inhalt);
        m_fehler = QStringLiteral("An %1 läuft schon ein virtueller Controller (Prozess %2).")
                       .arg(link)
                       .arg(anderer.prozess);
    } else {
        m_fehler =
            QStringLiteral("Die Markierung %1 kann nicht angelegt werden: %2.").arg(pfad, grund);
    }
    return false;
}

bool Besitz::verwaisterLink() const {
    return m_handle >= 0 && beschrieben(m_link, lesen(m_vorher));
}

bool Besitz::beschriften(const QString &geraet) {
    return m_handle >= 0 && Plattform::SperrdateiSchreiben(
                                m_handle, QByteArray::number(QCoreApplication::applicationPid()) +
                                              '\n' + geraet.toLocal8Bit() + '\n');
}

void Besitz::freigeben() {
    if (m_handle < 0)
        return;
    Plattform::SperrdateiFreigeben(m_handle, Markenpfad(m_link));
    m_handle = -1;
    m_link.clear();
    m_vorher.clear();
}

} // namespace Simulatorlink
