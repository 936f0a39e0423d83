#pragma once

// Boolean operations on path regions, through Clipper's exact integer arithmetic.

#include "GraphicsPath.h"

#include <clipper.hpp>
#include <vector>

namespace vesk::detail {

// Curves in region tests are flattened this finely (document units): a
// tangency stays a touch instead of becoming an overlap.
constexpr float kRegionFlatness = 0.01f;
// Clipping-grid steps per document unit: 2^14 (6 nm), below float
// resolution of board-sized coordinates, while ±65536 units still use
// Clipper's fast 64-bit path.
constexpr double kClipperScale = 16384.0;

ClipperLib::PolyFillType toClipperFill(FillMode mode);
// Every figure flattened and implicitly closed; figures without area are left out.
ClipperLib::Paths toClipperPolygons(const GraphicsPath& path, float flatness);
ClipperLib::Path toClipperPolygon(const RectF& rect);
void appendClosedFigures(
    const ClipperLib::Paths& polygons, std::vector<PointF>& points, std::vector<std::uint8_t>& types);
// Adds each polygon of a clipping result to the path as a closed figure.
void addClosedFigures(const ClipperLib::Paths& polygons, GraphicsPath& into);
// Whether the intersection of the two regions has any area.
bool regionsOverlap(const ClipperLib::Paths& a, ClipperLib::PolyFillType fillA, const ClipperLib::Paths& b,
    ClipperLib::PolyFillType fillB);

} // namespace vesk::detail
