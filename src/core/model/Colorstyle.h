#pragma once

#include "geometry/Pen.h"

#include <cstdint>

namespace vesk {

// The GUI toolkit's colour value: 0x00BBGGRR.
using ColorRef = std::uint32_t;

ColorRef ArgbToColorRef(ARGB argb);
// System colours (high byte set) resolve through the toolkit's palette.
ARGB ColorToArgb(ColorRef color);
constexpr ARGB MakeArgb(int r, int g, int b) { return MakeArgb(255, r, g, b); }

// Colours and pens for everything that is not document content: background,
// grid, work-area frame, selection marks, and the print ink and paper. One
// instance lives in the editor context; renderers and tools receive it.
class TDrawStyle {
public:
    TDrawStyle();

    ARGB selectionColor = 0xFF000000;
    ARGB backgroundColor = 0xFFFFFFFF;
    ARGB gridColor = 0xFF000000;
    ARGB frameColor = 0xFF3A6EA5;
    ARGB printInkColor = 0xFF000000;
    ARGB printPaperColor = 0xFFFFFFFF;

    Pen dashedPen;
    Pen selectionPen;
    Pen framePen;
    SolidBrush handleBrush;
    float inverseZoom = 1.0f;
    // Level of detail, for screen images only: an object smaller than a
    // device pixel both ways is drawn as a one-pixel mark. Printing and
    // exports draw every object whole.
    bool pixelMarks = false;

    // Keeps the selection and frame pens one screen pixel wide at this zoom.
    void SetZoom(double zoom);
};

} // namespace vesk
