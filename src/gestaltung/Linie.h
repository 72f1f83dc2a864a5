#pragma once

#include <QColor>
#include <QPoint>
#include <QWidget>

// A drawn line between two points of its parent, as the drawings of the windows use them.
// It takes no input; hiding it hides the line.
class Linie : public QWidget {
    Q_OBJECT
public:
    Linie(const QString &name, QWidget *parent, QPoint von, QPoint bis, QColor farbe = Qt::black,
          int breite = 1);

    void setPunkte(QPoint von, QPoint bis);
    QPoint von() const { return m_von; }
    QPoint bis() const { return m_bis; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_von, m_bis;
    QColor m_farbe;
    int m_breite;
};
