#include "Colorstyle.h"

#include <QGuiApplication>
#include <QPalette>

namespace vesk {

ColorRef ArgbToColorRef(ARGB argb)
{
    return ColorRef(ArgbRed(argb)) | (ColorRef(ArgbGreen(argb)) << 8) | (ColorRef(ArgbBlue(argb)) << 16);
}

ARGB ColorToArgb(ColorRef color)
{
    // Values with the high byte set name a system colour by its palette index.
    if (color & 0xFF000000u) {
        const int role = int(color & 0xFF);
        QPalette palette = QGuiApplication::palette();
        if (role >= 0 && role < QPalette::NColorRoles) {
            const QColor c = palette.color(static_cast<QPalette::ColorRole>(role));
            return MakeArgb(c.red(), c.green(), c.blue());
        }
        return 0xFF000000;
    }
    return MakeArgb(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TDrawStyle::TDrawStyle()
{
    dashedPen.color = selectionColor;
    dashedPen.dashPattern = { 1.0f, 1.0f };
    selectionPen.color = selectionColor;
    framePen.color = frameColor;
    handleBrush = SolidBrush { selectionColor };
}

void TDrawStyle::SetZoom(double zoom)
{
    inverseZoom = float(1.0 / zoom);
    dashedPen.width = inverseZoom;
    selectionPen.width = inverseZoom;
    framePen.width = inverseZoom;
    const float d = inverseZoom > 1.0f ? 1.0f : inverseZoom;
    dashedPen.dashPattern = { d, d };
}

} // namespace vesk
