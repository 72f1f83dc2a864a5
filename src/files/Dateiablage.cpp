#include "files/Dateiablage.h"

#include "files/Dateisystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace Dateizugriff {

namespace {

QString Anzeigepfad(const QString &pfad) {
    return QDir::toNativeSeparators(pfad);
}

QString Schreibgrund(QFileDevice::FileError fehler) {
    switch (fehler) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return QStringLiteral("Die Datei kann dort nicht angelegt werden");
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return QStringLiteral("Beim Schreiben ist ein Fehler aufgetreten");
    case QFileDevice::RenameError:
        return QStringLiteral("Die vorhandene Datei kann nicht ersetzt werden");
    default:
        return QStringLiteral("Die Datei kann nicht geschrieben werden");
    }
}

QString KeineDateiGrund(Dateisystem::Art art) {
    if (art == Dateisystem::Art::Verzeichnis)
        return QStringLiteral("Unter diesem Namen liegt ein Verzeichnis");
    return QStringLiteral("Unter diesem Namen liegt keine gewöhnliche Datei, sondern %1")
        .arg(Dateisystem::ArtText(art));
}

// Where the path leads once every symbolic link is followed, the last one possibly to nothing
// yet; empty with a reason for a chain of links without end.
QString LinkZiel(const QString &pfad, QString *grund) {
    QFileInfo info(pfad);
    for (int schritte = 0; info.isSymLink(); ++schritte) {
        if (schritte == 40) {
            *grund = QStringLiteral("Die symbolischen Verknüpfungen führen im Kreis");
            return QString();
        }
        info.setFile(info.symLinkTarget());
    }
    return info.absoluteFilePath();
}

enum class Ersetzung { Fertig, Fehlgeschlagen, AnOrtUndStelle };

// Replaces the file at the path (no link) through a temporary file that takes over owner, group
// and permissions of the old file (vorbild, when there is one). AnOrtUndStelle when an old file
// exists and either cannot be handed on that way or its directory takes no new file.
Ersetzung Umbenennend(const QString &pfad, const QByteArray &daten,
                      const Dateisystem::Angaben *vorbild, QString *grund) {
    QSaveFile datei(pfad);
    // Unbuffered, so that every byte goes through write() here: a write cut short (full disk,
    // size limit) is seen below. QSaveFile alone would let a short write in its final flush
    // pass, commit the incomplete file and so replace the old one with it.
    if (!datei.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (vorbild && datei.error() == QFileDevice::OpenError)
            return Ersetzung::AnOrtUndStelle;
        *grund = QStringLiteral("%1 (%2)").arg(Schreibgrund(datei.error()), datei.errorString());
        return Ersetzung::Fehlgeschlagen;
    }
    // Without a commit the temporary file is removed when datei goes out of scope.
    if (vorbild && !Dateisystem::BesitzUebertragen(int(datei.handle()), *vorbild)) {
        datei.cancelWriting();
        return Ersetzung::AnOrtUndStelle;
    }
    errno = 0;
    const qint64 geschrieben = datei.write(daten);
    const int systemfehler = errno;
    if (geschrieben != daten.size() || datei.size() != daten.size()) {
        const QString ursache = datei.error() != QFileDevice::NoError ? datei.errorString()
                                : systemfehler != 0
                                    ? QString::fromLocal8Bit(std::strerror(systemfehler))
                                    : QStringLiteral("unvollständig");
        *grund = QStringLiteral("%1 (%2)").arg(Schreibgrund(QFileDevice::WriteError), ursache);
        return Ersetzung::Fehlgeschlagen;
    }
    if (!datei.commit()) {
        *grund = QStringLiteral("%1 (%2)").arg(Schreibgrund(datei.error()), datei.errorString());
        return Ersetzung::Fehlgeschlagen;
    }
    return Ersetzung::Fertig;
}

} // namespace

Eingelesen DateiEinlesen(const QString &pfad, qint64 höchstens) {
    Eingelesen ergebnis;
    Dateisystem::Art art = Dateisystem::Art::Fehlt;
    QString systemgrund;
    const int handle = Dateisystem::ZumLesenOeffnen(pfad, &art, &systemgrund);
    if (handle < 0) {
        if (art == Dateisystem::Art::Fehlt) {
            ergebnis.stand = Einlesestand::Fehlt;
        } else if (!systemgrund.isEmpty()) {
            ergebnis.stand = Einlesestand::NichtLesbar;
            ergebnis.grund =
                QStringLiteral("Die Datei lässt sich nicht öffnen (%1)").arg(systemgrund);
        } else if (art == Dateisystem::Art::Verzeichnis) {
            ergebnis.stand = Einlesestand::NichtLesbar;
            ergebnis.grund = KeineDateiGrund(art);
        } else {
            ergebnis.stand = Einlesestand::KeineDatei;
            ergebnis.grund = KeineDateiGrund(art);
        }
        return ergebnis;
    }
    QFile datei;
    if (!datei.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        Dateisystem::Schliessen(handle);
        ergebnis.stand = Einlesestand::NichtLesbar;
        ergebnis.grund =
            QStringLiteral("Die Datei lässt sich nicht öffnen (%1)").arg(datei.errorString());
        return ergebnis;
    }
    // One byte more than allowed tells an oversized file from one of exactly the limit.
    QByteArray daten = datei.read(höchstens + 1);
    if (datei.error() != QFileDevice::NoError) {
        ergebnis.stand = Einlesestand::NichtLesbar;
        ergebnis.grund =
            QStringLiteral("Die Datei lässt sich nicht lesen (%1)").arg(datei.errorString());
        return ergebnis;
    }
    if (daten.size() > höchstens) {
        ergebnis.stand = Einlesestand::ZuGross;
        ergebnis.grund = QStringLiteral("Die Datei ist zu groß");
        return ergebnis;
    }
    ergebnis.stand = Einlesestand::Gelesen;
    ergebnis.daten = std::move(daten);
    return ergebnis;
}

bool DateiErsetzen(const QString &pfad, const QByteArray &daten, QString *fehler) {
    QString grund;
    const QString ziel = LinkZiel(pfad, &grund);
    if (grund.isEmpty()) {
        const Dateisystem::Angaben alt = Dateisystem::Ansehen(ziel);
        const bool vorhanden = alt.art != Dateisystem::Art::Fehlt;
        if (vorhanden && alt.art != Dateisystem::Art::Gewoehnlich) {
            grund = ziel == QFileInfo(pfad).absoluteFilePath()
                        ? KeineDateiGrund(alt.art)
                        : QStringLiteral("Der Name verweist auf \"%1\", und dort liegt keine "
                                         "gewöhnliche Datei, sondern %2")
                              .arg(Anzeigepfad(ziel), Dateisystem::ArtText(alt.art));
        } else if (vorhanden && alt.verweise > 1) {
            if (Dateisystem::AnOrtUndStelleSchreiben(ziel, daten, &grund))
                return true;
        } else {
            switch (Umbenennend(ziel, daten, vorhanden ? &alt : nullptr, &grund)) {
            case Ersetzung::Fertig:
                return true;
            case Ersetzung::Fehlgeschlagen:
                break;
            case Ersetzung::AnOrtUndStelle:
                grund.clear();
                if (Dateisystem::AnOrtUndStelleSchreiben(ziel, daten, &grund))
                    return true;
                break;
            }
        }
    }
    if (fehler) {
        *fehler = QStringLiteral("Die Datei \"%1\" konnte nicht gespeichert werden.\n%2.")
                      .arg(Anzeigepfad(pfad), grund);
    }
    return false;
}

QByteArray TextZeile(const QString &text) {
    QByteArray zeile;
    const QByteArray inhalt = text.toUtf8();
    zeile.reserve(inhalt.size() + 4);
    zeile.append('"').append(inhalt).append('"').append("\r\n");
    return zeile;
}

QByteArray ZahlZeile(qint64 zahl) {
    return QByteArray::number(zahl).append("\r\n");
}

bool AlsTextZeileLesbar(const QString &text) {
    return !text.contains(QLatin1Char('"'));
}

QString FürMeldung(const QString &text) {
    constexpr qsizetype Länge = 40;
    QString kurz = text.left(Länge);
    for (QChar &zeichen : kurz) {
        if (zeichen.category() == QChar::Other_Control)
            zeichen = QLatin1Char('?');
    }
    if (text.size() > Länge)
        kurz.append(QChar(0x2026));
    return kurz;
}

} // namespace Dateizugriff
