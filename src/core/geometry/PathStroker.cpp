#include "PathStroker.h"

#include <cmath>
#include <numbers>

namespace vesk::detail {

namespace {

// GDI+'s default; beyond it the miter is cut off square to the bisector.
constexpr double kMiterLimit = 10.0;

bool isFinite(Vec2 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}
bool operator==(Vec2 a, Vec2 b)
{
    return a.x == b.x && a.y == b.y;
}

} // namespace

PathStroker::PathStroker(const Pen& pen, float flatness)
    : flattener_(flatness)
    , halfWidth_(double(pen.width) * 0.5)
    , startCap_(pen.startCap)
    , endCap_(pen.endCap)
    , join_(pen.lineJoin)
{
    const double f = flatness >= 1e-4f ? double(flatness) : 1e-4;
    // Largest angle whose chord stays within f of an arc of radius halfWidth;
    // bounded so that thin pens keep a round look and huge ones a finite count.
    double step = f < halfWidth_ ? 2.0 * std::acos(1.0 - f / halfWidth_) : std::numbers::pi / 2;
    step = std::clamp(step, std::numbers::pi / 512, std::numbers::pi / 2);
    cosArcStep_ = std::cos(step);
    sinArcStep_ = std::sin(step);
    arcPointsPerHalfTurn_ = std::size_t(std::ceil(std::numbers::pi / step));
}

void PathStroker::stroke(std::span<const PointF> points, std::span<const std::uint8_t> types,
    std::vector<PointF>& outPoints, std::vector<std::uint8_t>& outTypes)
{
    outPoints_ = &outPoints;
    outTypes_ = &outTypes;
    forEachFigure(types, [&](const Figure& fig) {
        buildPolyline(points, types, fig);
        if (poly_.empty())
            return;
        // Room for both sides with pivots or short arcs, and two caps, without
        // giving up geometric growth across many figures.
        const std::size_t need = outPoints.size() + 6 * poly_.size() + 2 * arcPointsPerHalfTurn_ + 8;
        if (need > outPoints.capacity())
            outPoints.reserve(std::max(need, 2 * outPoints.capacity()));
        if (fig.closed && poly_.size() >= 2)
            strokeClosed();
        else
            strokeOpen();
    });
}

void PathStroker::buildPolyline(
    std::span<const PointF> points, std::span<const std::uint8_t> types, const Figure& fig)
{
    poly_.clear();
    const auto add = [this](Vec2 v, bool smooth) {
        if (!isFinite(v))
            return;
        if (!poly_.empty() && poly_.back().p == v) {
            poly_.back().smooth = poly_.back().smooth && smooth;
            return;
        }
        poly_.push_back({ v, smooth });
    };
    add(toVec(points[fig.first]), false);
    forEachSegment(
        points, types, fig, [&](PointF, PointF b) { add(toVec(b), false); },
        [&](PointF p0, PointF p1, PointF p2, PointF p3) {
            flattener_.flatten(p0, p1, p2, p3, [&](Vec2 v) { add(v, true); });
            if (!poly_.empty())
                poly_.back().smooth = false;
        });
    if (fig.closed && poly_.size() >= 2 && poly_.back().p == poly_.front().p)
        poly_.pop_back();
}

void PathStroker::computeDirections(bool closed)
{
    const std::size_t m = poly_.size();
    const std::size_t count = closed ? m : m - 1;
    dirs_.resize(count);
    lens_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Vec2 d = poly_[i + 1 == m ? 0 : i + 1].p - poly_[i].p;
        const double len = std::sqrt(dot(d, d));
        lens_[i] = len;
        dirs_[i] = d * (1.0 / len);
    }
}

void PathStroker::strokeOpen()
{
    beginFigure();
    const std::size_t m = poly_.size();
    if (m == 1) {
        // No direction to follow: each cap covers its half of a dot, as for a very short stroke along +x.
        if (startCap_ == LineCap::Flat && endCap_ == LineCap::Flat) {
            outPoints_->resize(figureStart_);
            return;
        }
        const Vec2 q = poly_[0].p, d { 1, 0 }, n = normal(d);
        put(q + n);
        cap(endCap_, q, d);
        put(q - n);
        cap(startCap_, q, -d);
        endFigure();
        return;
    }
    computeDirections(false);
    // Left side forwards, then the right side as the left of the way back.
    put(poly_[0].p + normal(dirs_[0]));
    for (std::size_t j = 1; j + 1 < m; ++j)
        join(poly_[j].p, dirs_[j - 1], lens_[j - 1], dirs_[j], lens_[j], poly_[j].smooth);
    put(poly_[m - 1].p + normal(dirs_[m - 2]));
    cap(endCap_, poly_[m - 1].p, dirs_[m - 2]);
    put(poly_[m - 1].p - normal(dirs_[m - 2]));
    for (std::size_t j = m - 2; j >= 1; --j)
        join(poly_[j].p, -dirs_[j], lens_[j], -dirs_[j - 1], lens_[j - 1], poly_[j].smooth);
    put(poly_[0].p - normal(dirs_[0]));
    cap(startCap_, poly_[0].p, -dirs_[0]);
    endFigure();
}

void PathStroker::strokeClosed()
{
    const std::size_t m = poly_.size();
    computeDirections(true);
    beginFigure();
    for (std::size_t j = 0; j < m; ++j) {
        const std::size_t in = j == 0 ? m - 1 : j - 1;
        join(poly_[j].p, dirs_[in], lens_[in], dirs_[j], lens_[j], poly_[j].smooth);
    }
    endFigure();
    beginFigure();
    for (std::size_t j = m; j-- > 0;) {
        const std::size_t out = j == 0 ? m - 1 : j - 1;
        join(poly_[j].p, -dirs_[j], lens_[j], -dirs_[out], lens_[out], poly_[j].smooth);
    }
    endFigure();
}

void PathStroker::join(Vec2 q, Vec2 d0, double len0, Vec2 d1, double len1, bool smooth)
{
    const Vec2 n0 = normal(d0), n1 = normal(d1);
    const double c = cross(d0, d1);
    if (c > 0) {
        // Inner side. Cutting straight across leaves the little triangle between the
        // offset ends counted once less; that is harmless only while both segment
        // rectangles cover it, otherwise go through the vertex itself.
        put(q + n0);
        const double reach = halfWidth_ * c;
        if (len0 < reach || len1 < reach)
            put(q);
        put(q + n1);
        return;
    }
    if (c == 0 && dot(d0, d1) > 0) {
        put(q + n0);
        return;
    }
    put(q + n0);
    if (smooth || join_ == LineJoin::Round) {
        arc(q, n0, n1);
    } else if (join_ == LineJoin::Miter) {
        const Vec2 b = n0 + n1;
        const double bl = std::sqrt(dot(b, b));
        const Vec2 bu = bl > 1e-9 * halfWidth_ ? b * (1.0 / bl) : d0;
        const double cosHalf = dot(bu, n0) / halfWidth_;
        if (cosHalf * kMiterLimit >= 1.0) {
            put(q + bu * (halfWidth_ / cosHalf));
        } else {
            const double t = (kMiterLimit - cosHalf) * halfWidth_ / dot(d0, bu);
            put(q + n0 + d0 * t);
            put(q + n1 - d1 * t);
        }
    }
    put(q + n1);
}

void PathStroker::cap(LineCap type, Vec2 q, Vec2 d)
{
    const Vec2 n = normal(d);
    switch (type) {
    case LineCap::Flat:
        break;
    case LineCap::Square:
        put(q + n + d * halfWidth_);
        put(q - n + d * halfWidth_);
        break;
    case LineCap::Round:
        arc(q, n, -n);
        break;
    }
}

void PathStroker::arc(Vec2 q, Vec2 from, Vec2 to)
{
    // Fixed steps from a precomputed rotation: no trigonometry per join.
    // Vertices lie on the circle, so chords stay within flatness inside it.
    const double stopDot = halfWidth_ * halfWidth_ * cosArcStep_;
    Vec2 v = from;
    for (int guard = 0; guard < 1100 && dot(v, to) < stopDot; ++guard) {
        v = { v.x * cosArcStep_ + v.y * sinArcStep_, v.y * cosArcStep_ - v.x * sinArcStep_ };
        put(q + v);
    }
}

void PathStroker::beginFigure()
{
    figureStart_ = outPoints_->size();
}

void PathStroker::endFigure()
{
    const std::size_t n = outPoints_->size() - figureStart_;
    if (n < 3) {
        outPoints_->resize(figureStart_);
        return;
    }
    outTypes_->push_back(PathPointTypeStart);
    outTypes_->insert(outTypes_->end(), n - 1, PathPointTypeLine);
    outTypes_->back() |= PathPointTypeCloseSubpath;
}

} // namespace vesk::detail
