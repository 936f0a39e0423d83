#pragma once

#include <cstdint>
#include <vector>

namespace vesk {

// 32-bit colour with alpha in the top byte: 0xAARRGGBB.
using ARGB = std::uint32_t;

constexpr ARGB MakeArgb(int a, int r, int g, int b)
{
    return (ARGB(a & 0xFF) << 24) | (ARGB(r & 0xFF) << 16) | (ARGB(g & 0xFF) << 8) | ARGB(b & 0xFF);
}
constexpr int ArgbAlpha(ARGB c) { return int(c >> 24); }
constexpr int ArgbRed(ARGB c) { return int((c >> 16) & 0xFF); }
constexpr int ArgbGreen(ARGB c) { return int((c >> 8) & 0xFF); }
constexpr int ArgbBlue(ARGB c) { return int(c & 0xFF); }

// Numbered as the stored documents number them.
enum class LineCap : int { Flat = 0, Square = 1, Round = 2 };
enum class LineJoin : int { Miter = 0, Bevel = 1, Round = 2 };

// A pen value: what strokes and widening need, nothing tied to a device.
struct Pen {
    ARGB color = 0xFF000000;
    float width = 1.0f;
    LineCap startCap = LineCap::Flat;
    LineCap endCap = LineCap::Flat;
    LineCap dashCap = LineCap::Flat;
    LineJoin lineJoin = LineJoin::Miter;
    // Dash and gap lengths in multiples of the width; empty for a solid line.
    std::vector<float> dashPattern;

    bool operator==(const Pen&) const = default;
};

struct SolidBrush {
    ARGB color = 0xFF000000;
    bool operator==(const SolidBrush&) const = default;
};

} // namespace vesk
