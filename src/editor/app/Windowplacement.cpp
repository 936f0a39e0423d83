#include "Windowplacement.h"

#include "Settingsfile.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>

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

void RestoreDialogPlacement(QWidget& dialog, const TSettingsFile& file, const TPlacementSection& section)
{
    const TWindowPlacement placement = ReadPlacement(file, section);
    if (PlacementStored(file, section))
        ApplyPlacement(dialog, placement, true);
    else if (placement.width > 0 && placement.height > 0)
        dialog.resize(placement.width, placement.height);
}

void PlaceBesideOnFirstStart(QWidget& main, const std::vector<QWidget*>& panels, bool moveMain)
{
    // Room for a window manager's frame, which a window not yet shown lacks.
    constexpr int kFrame = 30;
    constexpr int kGap = 8;
    constexpr int kSmallestMainWidth = 400;
    const QScreen* screen = main.screen() ? main.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    int panelWidth = 0;
    for (const QWidget* panel : panels)
        panelWidth = std::max(panelWidth, panel->width());
    if (moveMain) {
        const int room = avail.width() - panelWidth - 3 * kGap - kFrame;
        main.resize(
            std::clamp(room, std::min(kSmallestMainWidth, main.width()), main.width()), main.height());
        main.move(avail.left() + kGap, avail.top() + kGap);
    }
    const QRect frame = main.frameGeometry();
    const int right = std::max(frame.right(), main.geometry().right() + kFrame / 3);
    const int x = std::min(right + 1 + kGap, avail.right() + 1 - panelWidth);
    int y = frame.top();
    for (QWidget* panel : panels) {
        panel->move(std::max(x, avail.left()),
            std::min(y, std::max(avail.top(), avail.bottom() + 1 - panel->height())));
        y += panel->height() + kFrame + kGap;
    }
}

} // namespace vesk
