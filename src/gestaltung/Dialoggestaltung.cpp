#include "gestaltung/Dialoggestaltung.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
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

QLabel *Beschriftung(QWidget *eltern, const char *name, const QString &text, QRect ort,
                     Qt::Alignment ausrichtung, bool unterstrichen) {
    auto *l = new QLabel(text, eltern);
    l->setObjectName(QString::fromUtf8(name));
    l->setGeometry(ort);
    l->setFont(ArialFett(12, unterstrichen));
    l->setAlignment(ausrichtung);
    DunkelblauSchreiben(l);
    return l;
}

QPushButton *Knopf(QWidget *eltern, const char *name, const QString &text, QRect ort) {
    auto *k = new QPushButton(text, eltern);
    k->setObjectName(QString::fromUtf8(name));
    k->setGeometry(ort);
    k->setFont(ArialFett(9.75));
    k->setAutoDefault(false);
    return k;
}

QLineEdit *Eingabefeld(QWidget *eltern, const char *name, QRect ort, Qt::Alignment ausrichtung) {
    auto *f = new QLineEdit(eltern);
    f->setObjectName(QString::fromUtf8(name));
    f->setGeometry(ort);
    f->setFont(ArialFett(12));
    f->setAlignment(ausrichtung);
    DunkelblauSchreiben(f);
    return f;
}

} // namespace Dialoggestaltung
