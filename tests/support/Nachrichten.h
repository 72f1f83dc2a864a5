#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers every modal message box that comes up while it lives, as an operator pressing OK
// would, and keeps title and text of each for the test to check. A question, a box with
// buttons of its own, is answered with the button named by setAntwort ("Verwerfen" unless
// told) and kept apart, among fragen().
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
    QString letzterText() const { return anzahl() ? m_nachrichten.last().text : QString(); }
    void leeren() { m_nachrichten.clear(); }
    const QList<Nachricht> &fragen() const { return m_fragen; }
    void setAntwort(const QString &knopf) { m_antwort = knopf; }

private:
    QTimer m_timer;
    QList<Nachricht> m_nachrichten;
    QList<Nachricht> m_fragen;
    QString m_antwort = QStringLiteral("Verwerfen");
};

// Answers the next modal file dialog with a path, or cancels it when the path is empty.
class Dateidialogantwort : public QObject {
    Q_OBJECT
public:
    explicit Dateidialogantwort(const QString &pfad);
    bool beantwortet() const { return m_beantwortet; }

private:
    QTimer m_timer;
    bool m_beantwortet = false;
};
