#include "Padlock.h"

#include <QPainter>
#include <QPainterPath>

namespace vardex {

QPixmap PadlockPixmap() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The shackle.
    p.setPen(QPen(QColor(120, 124, 132), 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(9, 16);
    shackle.lineTo(9, 11);
    shackle.arcTo(9, 3, 14, 14, 180, -180);
    shackle.lineTo(23, 16);
    p.drawPath(shackle);
    // The body, with a keyhole.
    QLinearGradient gold(0, 14, 0, 30);
    gold.setColorAt(0, QColor(250, 205, 70));
    gold.setColorAt(1, QColor(205, 145, 20));
    p.setPen(QPen(QColor(150, 100, 10), 1));
    p.setBrush(gold);
    p.drawRoundedRect(QRectF(4.5, 14.5, 23, 16), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 45, 5));
    p.drawEllipse(QPointF(16, 21), 2.5, 2.5);
    p.drawRect(QRectF(15, 22, 2, 5));
    return pixmap;
}

}  // namespace vardex
