#include "gestaltung/Linie.h"

#include <QPainter>

Linie::Linie(const QString &name, QWidget *parent, QPoint von, QPoint bis, QColor farbe, int breite)
    : QWidget(parent), m_farbe(farbe), m_breite(breite) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setPunkte(von, bis);
}

void Linie::setPunkte(QPoint von, QPoint bis) {
    m_von = von;
    m_bis = bis;
    const int rand = m_breite;
    setGeometry(QRect(von, bis).normalized().adjusted(-rand, -rand, rand, rand));
    update();
}

void Linie::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, m_von.x() != m_bis.x() && m_von.y() != m_bis.y());
    p.setPen(QPen(m_farbe, m_breite));
    p.drawLine(m_von - pos(), m_bis - pos());
}
