#include "app/PCSteuerung.h"
#include "app/Programmende.h"
#include "app/Start.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelkor_V2"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));

    // Qt's own texts (file dialogs, standard buttons) in German, as everything else.
    QTranslator qtTexte;
    if (qtTexte.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexte);

    // SIGTERM, SIGINT and SIGHUP from the start on; the window ends once it stands.
    Programmende ende;
    std::unique_ptr<PCSteuerung> fenster(ProgrammStarten());
    ende.ueberwachen(*fenster);
    return app.exec();
}
