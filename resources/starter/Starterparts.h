#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace vesk {

class TStarterDrawing;

// A part of the starter library: its file under "lib" ("DIP/DIP-8.vbf")
// and how it is drawn. Every part has the centre of its body on the origin,
// which the editor puts on the click point; for parts that stand on a row
// of leads (TO-92, TO-220) that is the middle lead.
struct TStarterPart {
    QString path;
    std::function<void(TStarterDrawing&)> draw;
};

std::vector<TStarterPart> StarterParts();

} // namespace vesk
