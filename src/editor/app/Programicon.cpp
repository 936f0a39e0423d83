#include "Programicon.h"

#include <QPainter>
#include <QPainterPath>

namespace vesk {

QPixmap ProgramPixmap(int size, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(0x1B, 0x4D, 0x2A), 1.0));
    p.setBrush(QColor(0x2E, 0x7D, 0x32));
    p.drawRoundedRect(QRectF(1.5, 3.5, 29, 25), 3, 3);
    QPainterPath track;
    track.moveTo(8, 22);
    track.lineTo(14, 16);
    track.lineTo(24, 16);
    track.lineTo(24, 10);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xE0, 0xA0, 0x40), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(track);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF0, 0xB8, 0x50));
    p.drawEllipse(QPointF(8, 22), 3.5, 3.5);
    p.drawEllipse(QPointF(24, 10), 3.5, 3.5);
    p.setBrush(QColor(0x2E, 0x7D, 0x32));
    p.drawEllipse(QPointF(8, 22), 1.2, 1.2);
    p.drawEllipse(QPointF(24, 10), 1.2, 1.2);
    return pixmap;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64, 128, 256 })
        icon.addPixmap(ProgramPixmap(size));
    return icon;
}

} // namespace vesk
