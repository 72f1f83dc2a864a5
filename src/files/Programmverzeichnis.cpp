#include "files/Programmverzeichnis.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &gesetztesVerzeichnis() {
    static QString verzeichnis;
    return verzeichnis;
}
} // namespace

QString Programmverzeichnis() {
    if (!gesetztesVerzeichnis().isEmpty())
        return gesetztesVerzeichnis();
    return QCoreApplication::applicationDirPath();
}

void setProgrammverzeichnis(const QString &verzeichnis) {
    gesetztesVerzeichnis() = verzeichnis;
}

QString ProgrammDateipfad(const QString &dateiname) {
    return QDir(Programmverzeichnis()).filePath(dateiname);
}
