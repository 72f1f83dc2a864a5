#include "files/Dateiablage.h"

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

} // namespace

Eingelesen DateiEinlesen(const QString &pfad, qint64 höchstens) {
    Eingelesen ergebnis;
    const QFileInfo info(pfad);
    if (!info.exists()) {
        ergebnis.stand = Einlesestand::Fehlt;
        return ergebnis;
    }
    if (info.isDir()) {
        ergebnis.stand = Einlesestand::NichtLesbar;
        ergebnis.grund = QStringLiteral("Unter diesem Namen liegt ein Verzeichnis");
        return ergebnis;
    }
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) {
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
    QSaveFile datei(pfad);
    QString grund;
    // Unbuffered, so that every byte goes through write() here: a write cut short (full disk,
    // size limit) is seen below. QSaveFile alone would let a short write in its final flush
    // pass, commit the incomplete file and so replace the old one with it.
    if (!datei.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        grund = QStringLiteral("%1 (%2)").arg(Schreibgrund(datei.error()), datei.errorString());
    } else {
        errno = 0;
        const qint64 geschrieben = datei.write(daten);
        const int systemfehler = errno;
        if (geschrieben != daten.size() || datei.size() != daten.size()) {
            const QString ursache = datei.error() != QFileDevice::NoError ? datei.errorString()
                                    : systemfehler != 0
                                        ? QString::fromLocal8Bit(std::strerror(systemfehler))
                                        : QStringLiteral("unvollständig");
            grund = QStringLiteral("%1 (%2)").arg(Schreibgrund(QFileDevice::WriteError), ursache);
        } else if (!datei.commit()) {
            grund = QStringLiteral("%1 (%2)").arg(Schreibgrund(datei.error()), datei.errorString());
        } else {
            return true;
        }
    }
    // Without a commit the temporary file is removed when datei goes out of scope.
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
