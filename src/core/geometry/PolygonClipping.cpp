#include "PolygonClipping.h"

#include "PathInternals.h"

#include <cmath>

namespace vesk::detail {

namespace {

constexpr double kScale = kClipperScale;
constexpr double kInvScale = 1.0 / kScale;
// Far beyond any board, and well inside Clipper's 62-bit range.
constexpr double kMaxCoordinate = 1e12;

ClipperLib::cInt toGrid(double v)
{
    return ClipperLib::cInt(std::llround(std::clamp(v, -kMaxCoordinate, kMaxCoordinate) * kScale));
}

void addVertex(ClipperLib::Path& poly, Vec2 v)
{
    if (!std::isfinite(v.x) || !std::isfinite(v.y))
        return;
    const ClipperLib::IntPoint ip(toGrid(v.x), toGrid(v.y));
    if (poly.empty() || poly.back() != ip)
        poly.push_back(ip);
}

} // namespace

ClipperLib::PolyFillType toClipperFill(FillMode mode)
{
    return mode == FillMode::Winding ? ClipperLib::pftNonZero : ClipperLib::pftEvenOdd;
}

ClipperLib::Paths toClipperPolygons(const GraphicsPath& path, float flatness)
{
    const auto points = path.Points();
    const auto types = path.Types();
    const CubicFlattener flattener(flatness);
    ClipperLib::Paths result;
    ClipperLib::Path poly;
    forEachFigure(types, [&](const Figure& fig) {
        poly.clear();
        addVertex(poly, toVec(points[fig.first]));
        forEachSegment(
            points, types, fig, [&](PointF, PointF b) { addVertex(poly, toVec(b)); },
            [&](PointF p0, PointF p1, PointF p2, PointF p3) {
                flattener.flatten(p0, p1, p2, p3, [&](Vec2 v) { addVertex(poly, v); });
            });
        if (poly.size() >= 2 && poly.back() == poly.front())
            poly.pop_back();
        if (poly.size() >= 3)
            result.push_back(poly);
    });
    return result;
}

ClipperLib::Path toClipperPolygon(const RectF& r)
{
    const double l = r.GetLeft(), t = r.GetTop(), rt = r.GetRight(), b = r.GetBottom();
    return { { toGrid(l), toGrid(t) }, { toGrid(rt), toGrid(t) }, { toGrid(rt), toGrid(b) },
        { toGrid(l), toGrid(b) } };
}

void appendClosedFigures(
    const ClipperLib::Paths& polygons, std::vector<PointF>& points, std::vector<std::uint8_t>& types)
{
    for (const ClipperLib::Path& poly : polygons) {
        if (poly.size() < 3)
            continue;
        for (const ClipperLib::IntPoint& ip : poly) {
            points.push_back({ float(double(ip.X) * kInvScale), float(double(ip.Y) * kInvScale) });
            types.push_back(PathPointTypeLine);
        }
        types[types.size() - poly.size()] = PathPointTypeStart;
        types.back() |= PathPointTypeCloseSubpath;
    }
}

void addClosedFigures(const ClipperLib::Paths& polygons, GraphicsPath& into)
{
    std::vector<PointF> points;
    std::vector<std::uint8_t> types;
    appendClosedFigures(polygons, points, types);
    size_t start = 0;
    for (size_t i = 0; i < types.size(); ++i) {
        if (types[i] & PathPointTypeCloseSubpath) {
            into.AddPolygon(std::span<const PointF>(points).subspan(start, i + 1 - start));
            start = i + 1;
        }
    }
}

bool regionsOverlap(const ClipperLib::Paths& a, ClipperLib::PolyFillType fillA, const ClipperLib::Paths& b,
    ClipperLib::PolyFillType fillB)
{
    if (a.empty() || b.empty())
        return false;
    ClipperLib::Clipper clipper;
    clipper.AddPaths(a, ClipperLib::ptSubject, true);
    clipper.AddPaths(b, ClipperLib::ptClip, true);
    ClipperLib::Paths solution;
    if (!clipper.Execute(ClipperLib::ctIntersection, solution, fillA, fillB))
        return false;
    for (const ClipperLib::Path& poly : solution) {
        if (ClipperLib::Area(poly) != 0)
            return true;
    }
    return false;
}

} // namespace vesk::detail
