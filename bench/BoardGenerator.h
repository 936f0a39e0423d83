#pragma once

#include <cstdint>

namespace vesk {

class TVeskDocument;
class TVeskObject;

// Fills a document with a synthetic board of `objectCount` objects, counting
// every object below the root (groups and their members alike): copper
// tracks of straight and curved segments on both sides, vias, and footprints
// as groups of pads (filled rectangles and ellipses, each with its opening
// on the solder-mask layer), silk-screen outlines and a reference text on
// the print layer. Through-hole pads are groups of their own inside the
// footprint, and modules group several small footprints, so groups nest two
// deep. Loose texts label the print layers. Nothing is left selected.
// Deterministic for a seed.
void GenerateBoard(TVeskDocument& doc, int objectCount, std::uint32_t seed = 1);

// The object and everything below it.
int CountObjects(const TVeskObject& object);

} // namespace vesk
