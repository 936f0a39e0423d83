#pragma once

#include <cstdint>

namespace vesk {

class TVeskDocument;

// Fills a document with a synthetic board of about `objectCount` objects:
// tracks of several anchors (straight and curved) on the copper layers, and
// pads as groups of a filled ring and a hole. Deterministic for a seed.
void GenerateBoard(TVeskDocument& doc, int objectCount, std::uint32_t seed = 1);

} // namespace vesk
