#pragma once

#include "Starterdrawing.h"

#include <QString>
#include <vector>

namespace vesk {

// A drilled round pad: the most common through-hole pad.
TPadSpec RoundPad(double diameter, double hole);
// A drilled square pad, which marks pin 1 of a through-hole part.
TPadSpec SquarePad(double side, double hole);
TPadSpec OblongPad(double width, double height, double hole);
// Copper and mask opening on the component side only.
TPadSpec SurfacePad(double width, double height);

// The land pattern of a two-terminal chip (resistor, capacitor): two
// surface pads on the x axis, `pitch` apart centre to centre.
struct TChipLand {
    const char* size; // the inch code, "0805"
    double padWidth; // along the part
    double padHeight; // across it
    double pitch;
};
const std::vector<TChipLand>& ChipLands();

// A file of the pad list: its name and the pad, centred on the origin.
struct TStarterPad {
    QString fileName;
    TPadSpec pad;
};
std::vector<TStarterPad> StarterPads();

} // namespace vesk
