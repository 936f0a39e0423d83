#pragma once

#include "GraphicsPath.h"
#include "PathInternals.h"

#include <vector>

namespace vesk::detail {

// Builds the flattened outline of a stroke. Each open figure becomes one
// closed loop (left side, end cap, right side backwards, start cap) and each
// closed figure two loops (left side forwards, right side backwards). Inner
// corners are routed through the centre-line vertex, so the loops add up to
// the union of segment rectangles, joins and caps, all with the same
// orientation: nonzero fill covers exactly the stroked area without any
// boolean operation. Vertices inside flattened curves get round joins
// whatever the pen says, since the true outline is smooth there.
class PathStroker {
public:
    PathStroker(const Pen& pen, float flatness);

    void stroke(std::span<const PointF> points, std::span<const std::uint8_t> types,
        std::vector<PointF>& outPoints, std::vector<std::uint8_t>& outTypes);

private:
    struct Vertex {
        Vec2 p;
        bool smooth;
    };

    void buildPolyline(
        std::span<const PointF> points, std::span<const std::uint8_t> types, const Figure& fig);
    // Unit directions and lengths of the segments, the closing one included when closed.
    void computeDirections(bool closed);
    void strokeOpen();
    void strokeClosed();
    // Joins a segment of direction d0 and length len0 to the next one at q,
    // on the left of the direction of travel.
    void join(Vec2 q, Vec2 d0, double len0, Vec2 d1, double len1, bool smooth);
    void cap(LineCap type, Vec2 q, Vec2 d);
    // Points strictly between q + from and q + to on the pen circle, turning
    // from the left normal towards the direction of travel (around the outside).
    void arc(Vec2 q, Vec2 from, Vec2 to);
    Vec2 normal(Vec2 d) const { return { -d.y * halfWidth_, d.x * halfWidth_ }; }

    void beginFigure();
    void put(Vec2 p) { outPoints_->push_back(toPoint(p)); }
    void endFigure();

    CubicFlattener flattener_;
    double halfWidth_;
    LineCap startCap_;
    LineCap endCap_;
    LineJoin join_;
    double cosArcStep_ = 0;
    double sinArcStep_ = 0;
    std::size_t arcPointsPerHalfTurn_ = 0;

    std::vector<Vertex> poly_;
    std::vector<Vec2> dirs_;
    std::vector<double> lens_;
    std::vector<PointF>* outPoints_ = nullptr;
    std::vector<std::uint8_t>* outTypes_ = nullptr;
    std::size_t figureStart_ = 0;
};

} // namespace vesk::detail
