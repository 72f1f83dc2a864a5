#include "Mitschnitt.h"

#include "link/SerielleSchnittstelle.h"

Mitschnitt::Mitschnitt(SerielleSchnittstelle &port) : m_port(port) {
    m_port.setMithoerer([this](quint8 wert, double zeit) { m_eintraege.append({wert, zeit}); });
}

Mitschnitt::~Mitschnitt() {
    m_port.setMithoerer({});
}

QByteArray Mitschnitt::bytes() const {
    QByteArray b;
    for (const Eintrag &e : m_eintraege)
        b.append(char(e.wert));
    return b;
}
