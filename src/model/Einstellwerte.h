#pragma once

#include <QString>
#include <QStringList>

// The entries the controller settings offer, in list order. The position of a step mode is its
// code on the line; a phase current's code is one bit, 2 to the power of its position.
inline const QStringList &Schrittmodi() {
    static const QStringList liste{
        QStringLiteral("Vollschritt"),    QStringLiteral("Halbschritt"),
        QStringLiteral("Viertelschritt"), QStringLiteral("Fünftelschritt"),
        QStringLiteral("Achtelschritt"),  QStringLiteral("Zehntelschritt")};
    return liste;
}

inline const QStringList &Phasenströme() {
    static const QStringList liste{QStringLiteral("2,5 A"), QStringLiteral("3,0 A"),
                                   QStringLiteral("3,5 A"), QStringLiteral("4,0 A"),
                                   QStringLiteral("4,5 A"), QStringLiteral("5,0 A"),
                                   QStringLiteral("5,5 A"), QStringLiteral("6,0 A")};
    return liste;
}

inline const QString StandardSchrittmodus = QStringLiteral("Halbschritt");
inline const QString StandardPhasenstrom = QStringLiteral("2,5 A");
