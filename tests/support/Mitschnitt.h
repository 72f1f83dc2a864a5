#pragma once

#include "link/SerielleSchnittstelle.h"

#include <QByteArray>
#include <QList>

// Records every byte the link hands to the device, with the time on the link's clock, so a
// test can check the order of bytes and the pauses between them.
class Mitschnitt {
public:
    struct Eintrag {
        quint8 wert;
        double zeit;
    };

    explicit Mitschnitt(SerielleSchnittstelle &port)
        : m_verbindung(QObject::connect(&port, &SerielleSchnittstelle::byteGesendet,
                                        [this](quint8 wert, double zeit) {
                                            m_eintraege.append({wert, zeit});
                                        })) {}
    ~Mitschnitt() { QObject::disconnect(m_verbindung); }
    Mitschnitt(const Mitschnitt &) = delete;
    Mitschnitt &operator=(const Mitschnitt &) = delete;

    const QList<Eintrag> &eintraege() const { return m_eintraege; }
    QByteArray bytes() const {
        QByteArray b;
        for (const Eintrag &e : m_eintraege)
            b.append(char(e.wert));
        return b;
    }
    int anzahl() const { return int(m_eintraege.size()); }
    // Seconds from byte i to byte i + 1.
    double abstand(int i) const { return m_eintraege[i + 1].zeit - m_eintraege[i].zeit; }
    double zeit(int i) const { return m_eintraege[i].zeit; }
    void leeren() { m_eintraege.clear(); }

private:
    QList<Eintrag> m_eintraege;
    QMetaObject::Connection m_verbindung;
};
