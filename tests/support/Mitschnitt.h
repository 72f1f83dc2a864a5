#pragma once

#include <QByteArray>
#include <QList>

class SerielleSchnittstelle;

// Records every byte the link hands to the device, with the time on the link's clock, so a
// test can check the order of bytes and the pauses between them.
class Mitschnitt {
public:
    struct Eintrag {
        quint8 wert;
        double zeit;
    };

    explicit Mitschnitt(SerielleSchnittstelle &port);
    ~Mitschnitt();
    Mitschnitt(const Mitschnitt &) = delete;
    Mitschnitt &operator=(const Mitschnitt &) = delete;

    const QList<Eintrag> &eintraege() const { return m_eintraege; }
    QByteArray bytes() const;
    int anzahl() const { return int(m_eintraege.size()); }
    // Seconds from byte i to byte i + 1.
    double abstand(int i) const { return m_eintraege[i + 1].zeit - m_eintraege[i].zeit; }
    double zeit(int i) const { return m_eintraege[i].zeit; }
    void leeren() { m_eintraege.clear(); }

private:
    SerielleSchnittstelle &m_port;
    QList<Eintrag> m_eintraege;
};
