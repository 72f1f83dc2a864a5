// zelkorctl: checks, times, transfers and starts programs from scripts (zelkorctl --help).
#include "Befehlszeile.h"

#include <QCoreApplication>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelkorctl"));
    return ZelkorctlAusfuehren(QCoreApplication::arguments());
}
