#include "Windowplacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace vesk {

void ApplyPlacement(QWidget& window, const TWindowPlacement& placement, bool withSize)
{
    if (withSize && placement.width > 0 && placement.height > 0)
        window.resize(placement.width, placement.height);
    QPoint at(placement.left, placement.top);
    const QRect wanted(at, window.size());
    const QList<QScreen*> screens = QGuiApplication::screens();
    bool seen = screens.isEmpty();
    for (const QScreen* screen : screens)
        seen = seen || screen->availableGeometry().intersects(wanted);
    if (!seen)
        at = QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(50, 50);
    window.move(at);
}

TWindowPlacement CapturePlacement(const QWidget& window)
{
    return { window.y(), window.x(), window.width(), window.height() };
}

} // namespace vesk
