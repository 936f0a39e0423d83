#pragma once

#include "geometry/PointF.h"

#include <vector>

namespace vesk {

// The choices of one print run: which layers, in print colours or in the
// screen's, negative, mirrored, and the page the mirror turns about. Shared
// by the printer, the PDF and PNG output; nothing of the view enters it.
struct TPrintSetup {
    // Indices of the chosen layers; printed from the highest to the lowest
    // whatever their order here, hidden layers included.
    std::vector<int> layers;
    // Black and white through each object's DrawForPrint; else the layers'
    // screen colours through Draw.
    bool black = true;
    // White ink on black paper; always black and white, and the paper is
    // always painted, whatever the two other choices say.
    bool negative = false;
    // Turns the page over about the vertical centre line of its width.
    bool mirror = false;
    // Width of the page in millimetres, the line the mirror turns about.
    double pageWidthMm = 210.0;
    // The document point that lands on the printable origin of the page.
    PointF origin;
    // Covers the whole page in the paper colour first (the background
    // colour in colour printing). A printer leaves white paper alone.
    bool paintPaper = true;

    bool PrintColours() const { return black || negative; }
    bool PaintsPaper() const { return paintPaper || negative; }
};

} // namespace vesk
