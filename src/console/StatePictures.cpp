#include "StatePictures.h"

#include <QPainter>

namespace vardex {
namespace {

QPixmap DrawMonitor(const QColor& screen) {
    QPixmap pixmap(12, 13);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QColor frame(64, 64, 72);
    p.fillRect(0, 0, 12, 9, frame);               // bezel
    p.fillRect(1, 1, 10, 7, screen);              // screen
    p.fillRect(2, 2, 3, 1, screen.lighter(160));  // a glint
    p.fillRect(5, 9, 2, 2, frame);                // neck
    p.fillRect(2, 11, 8, 2, frame);               // foot
    return pixmap;
}

}  // namespace

const QPixmap& StatePixmap(int picture) {
    static const QPixmap pictures[] = {
        DrawMonitor(QColor(40, 190, 60)),   // online
        DrawMonitor(QColor(220, 40, 40)),   // offline
        DrawMonitor(QColor(240, 200, 30)),  // not yet pinged
    };
    return pictures[picture >= 0 && picture <= 2 ? picture : kPictureNotPinged];
}

}  // namespace vardex
