#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace vesk {

class TStarterDrawing;

// A part of the starter library: its file under "lib" ("DIP/DIP-8.vbf")
// and how it is drawn. The editor puts the part's origin on the click point,
// a grid point; the origin is chosen so that leads land on the 1.27 mm grid.
// A part whose lead pitch is on that grid has the centre of its pads there
// (for parts that stand on a row of leads, TO-92 and TO-220, the middle
// lead); one whose pitch is off the grid (metric spacings, crystals,
// switches) is held at pin 1, so that at least that lead lands on it.
struct TStarterPart {
    QString path;
    std::function<void(TStarterDrawing&)> draw;
};

std::vector<TStarterPart> StarterParts();

} // namespace vesk
