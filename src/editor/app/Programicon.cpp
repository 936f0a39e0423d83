#include "Programicon.h"

#include <QPainter>
#include <QSvgRenderer>

namespace vesk {

QPixmap ProgramPixmap(int size, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/icons/vesk2.svg"));
    QPainter p(&pixmap);
    svg.render(&p, QRectF(0, 0, size, size));
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
