#include "gestaltung/Bilder.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap Firmenbild() {
    QPixmap bild(300, 150);
    bild.fill(Qt::white);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);

    // Motor body: a square flange with four screws and a round housing behind it.
    QLinearGradient glanz(20, 20, 20, 120);
    glanz.setColorAt(0, QColor(170, 180, 195));
    glanz.setColorAt(1, QColor(70, 80, 100));
    p.setPen(QPen(QColor(40, 45, 60), 2));
    p.setBrush(glanz);
    p.drawRoundedRect(QRectF(20, 25, 100, 100), 10, 10);
    p.setBrush(QColor(220, 225, 232));
    for (const QPointF &schraube :
         {QPointF(34, 39), QPointF(106, 39), QPointF(34, 111), QPointF(106, 111)})
        p.drawEllipse(schraube, 5, 5);
    p.setBrush(QColor(50, 55, 70));
    p.drawEllipse(QPointF(70, 75), 30, 30);
    p.setBrush(QColor(200, 205, 215));
    p.drawEllipse(QPointF(70, 75), 8, 8);

    // Shaft and a spindle running to the right with a carriage on it.
    p.setBrush(QColor(160, 165, 175));
    p.drawRect(QRectF(120, 70, 25, 10));
    p.setPen(QPen(QColor(0, 0, 128), 3));
    p.drawLine(QPointF(145, 75), QPointF(285, 75));
    p.setPen(QPen(QColor(0, 0, 128), 1));
    for (int x = 150; x < 285; x += 6)
        p.drawLine(QPointF(x, 71), QPointF(x + 4, 79));
    p.setPen(QPen(QColor(40, 45, 60), 2));
    p.setBrush(QColor(200, 30, 30));
    p.drawRoundedRect(QRectF(205, 60, 34, 30), 4, 4);

    // Steps drawn as a staircase above the spindle.
    QPainterPath treppe;
    treppe.moveTo(150, 50);
    for (int i = 0; i < 6; ++i) {
        treppe.lineTo(150 + i * 22 + 11, 50 - i * 5);
        treppe.lineTo(150 + i * 22 + 11, 45 - i * 5);
        treppe.lineTo(150 + (i + 1) * 22, 45 - i * 5);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 30, 30), 2));
    p.drawPath(treppe);

    QFont schrift(QStringLiteral("Arial"), 16, QFont::Bold);
    p.setFont(schrift);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRectF(130, 95, 165, 28), Qt::AlignCenter, QStringLiteral("ZELKOR"));
    schrift.setPointSize(8);
    schrift.setBold(false);
    p.setFont(schrift);
    p.drawText(QRectF(130, 120, 165, 18), Qt::AlignCenter, QStringLiteral("Orbalt-Werk"));
    return bild;
}

QPixmap Steckerbild(QSize groesse) {
    QPixmap bild(groesse);
    bild.fill(Qt::white);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal b = groesse.width(), h = groesse.height();
    // A nine-pin D connector seen from the front.
    QPainterPath schale;
    schale.moveTo(b * 0.08, h * 0.25);
    schale.lineTo(b * 0.92, h * 0.25);
    schale.lineTo(b * 0.80, h * 0.75);
    schale.lineTo(b * 0.20, h * 0.75);
    schale.closeSubpath();
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.setBrush(QColor(215, 220, 230));
    p.drawPath(schale);
    p.setBrush(QColor(0, 0, 128));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(b * (0.22 + i * 0.14), h * 0.40), 2.5, 2.5);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(b * (0.29 + i * 0.14), h * 0.60), 2.5, 2.5);
    return bild;
}
