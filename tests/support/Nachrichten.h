#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// Answers every modal message box that comes up while it lives, as an operator pressing OK
// would, and keeps title and text of each for the test to check.
class Nachrichtenfaenger : public QObject {
    Q_OBJECT
public:
    struct Nachricht {
        QString titel;
        QString text;
    };

    Nachrichtenfaenger();

    const QList<Nachricht> &nachrichten() const { return m_nachrichten; }
    int anzahl() const { return int(m_nachrichten.size()); }
    QString letzterText() const {
        return m_nachrichten.isEmpty() ? QString() : m_nachrichten.last().text;
    }
    void leeren() { m_nachrichten.clear(); }

private:
    void nachsehen();

    QTimer m_timer;
    QList<Nachricht> m_nachrichten;
};
