#pragma once

#include "PointF.h"

#include <cstdint>
#include <span>

namespace vesk {

// Synthetic bold, as font engines make it for a family without a bold face
// (FreeType's outline emboldening, which Qt and fontconfig use): every point
// of every figure, curve control points included, moves outward along the
// bisector of its two edges, so that each edge lies `strength` / 2 further
// out and every stem grows by `strength`. Outward is judged by the turn of
// the whole outline, so outer contours grow and counters shrink. A point
// where the outline doubles back on itself is left where it is, and a shift
// is cut short where it would carry a point past its neighbours.
// `types` are GraphicsPath point types; only start markers are looked at.
void EmboldenOutline(std::span<PointF> points, std::span<const std::uint8_t> types, float strength);

} // namespace vesk
