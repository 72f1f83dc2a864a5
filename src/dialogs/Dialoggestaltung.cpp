#include "dialogs/Dialoggestaltung.h"

#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace Dialoggestaltung {

QFont ArialFett(double punkte, bool unterstrichen) {
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPointSizeF(punkte);
    schrift.setBold(true);
    schrift.setUnderline(unterstrichen);
    return schrift;
}

QColor Dunkelblau() {
    return QColor(0, 0, 128);
}

QString Fenstertitel(int leerzeichen, const QString &titel) {
    return QStringLiteral("Orbalt-Werk") + QString(leerzeichen, QLatin1Char(' ')) + titel;
}

void FensterAnlegen(QWidget *fenster, QSize clientflaeche) {
    QPalette farben = fenster->palette();
    farben.setColor(QPalette::Window, Qt::white);
    fenster->setPalette(farben);
    fenster->setAutoFillBackground(true);
    fenster->setFixedSize(clientflaeche);
}

void DunkelblauSchreiben(QWidget *w) {
    QPalette farben = w->palette();
    for (const QPalette::ColorRole rolle :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        farben.setColor(rolle, Dunkelblau());
    w->setPalette(farben);
}

void Zentrieren(QWidget *fenster) {
    if (QScreen *bildschirm = fenster->screen())
        fenster->move(bildschirm->availableGeometry().center() - fenster->rect().center());
}

} // namespace Dialoggestaltung
