#include "files/Programmverzeichnis.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString &gesetztesVerzeichnis() {
    static QString verzeichnis;
    return verzeichnis;
}

bool beschreibbar(const QString &ordner) {
    const QFileInfo info(ordner);
    return info.isDir() && info.isWritable() && info.isExecutable();
}
} // namespace

QString Benutzerordner() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("Zelkor_V2"));
}

QString Programmverzeichnis() {
    if (!gesetztesVerzeichnis().isEmpty())
        return gesetztesVerzeichnis();
    const QString programmordner = QCoreApplication::applicationDirPath();
    if (beschreibbar(programmordner))
        return programmordner;
    // Made when first asked for, so a file can be written there at once.
    QDir().mkpath(Benutzerordner());
    return Benutzerordner();
}

void setProgrammverzeichnis(const QString &verzeichnis) {
    gesetztesVerzeichnis() = verzeichnis;
}

QString Dateiort(const QString &dateiname, const QString &programmordner, bool beschreibbar,
                 const QString &benutzerordner) {
    const QFileInfo beimProgramm(QDir(programmordner).filePath(dateiname));
    if (beimProgramm.exists() || beimProgramm.isSymLink() || beschreibbar)
        return beimProgramm.filePath();
    return QDir(benutzerordner).filePath(dateiname);
}

QString ProgrammDateipfad(const QString &dateiname) {
    if (!gesetztesVerzeichnis().isEmpty())
        return QDir(gesetztesVerzeichnis()).filePath(dateiname);
    const QString programmordner = QCoreApplication::applicationDirPath();
    const bool frei = beschreibbar(programmordner);
    if (!frei)
        QDir().mkpath(Benutzerordner());
    return Dateiort(dateiname, programmordner, frei, Benutzerordner());
}
