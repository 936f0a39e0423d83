#pragma once

// Private helpers of the geometry layer: walking figures and segments of the
// point/type arrays, double-precision vector maths and cubic subdivision.

#include "GraphicsPath.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace vesk::detail {

struct Vec2 {
    double x = 0;
    double y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b)
{
    return { a.x + b.x, a.y + b.y };
}
inline Vec2 operator-(Vec2 a, Vec2 b)
{
    return { a.x - b.x, a.y - b.y };
}
inline Vec2 operator-(Vec2 a)
{
    return { -a.x, -a.y };
}
inline Vec2 operator*(Vec2 a, double s)
{
    return { a.x * s, a.y * s };
}
inline double dot(Vec2 a, Vec2 b)
{
    return a.x * b.x + a.y * b.y;
}
inline double cross(Vec2 a, Vec2 b)
{
    return a.x * b.y - a.y * b.x;
}
inline Vec2 mid(Vec2 a, Vec2 b)
{
    return { (a.x + b.x) * 0.5, (a.y + b.y) * 0.5 };
}
inline Vec2 toVec(PointF p)
{
    return { p.X, p.Y };
}
inline PointF toPoint(Vec2 v)
{
    return { float(v.x), float(v.y) };
}

// Inclusive index range of one figure.
struct Figure {
    int first;
    int last;
    bool closed;
};

// A figure runs from a Start point to the point before the next Start; data
// that does not begin with a Start still yields figures rather than nothing.
template <class F> void forEachFigure(std::span<const std::uint8_t> types, F&& f)
{
    const int n = int(types.size());
    int i = 0;
    while (i < n) {
        int j = i + 1;
        while (j < n && (types[j] & PathPointTypeMask) != PathPointTypeStart)
            ++j;
        f(Figure { i, j - 1, (types[j - 1] & PathPointTypeCloseSubpath) != 0 });
        i = j;
    }
}

// A Bezier run cut short by foreign data degrades to lines instead of reading past it.
template <class OnLine, class OnCubic>
void forEachSegment(std::span<const PointF> pts, std::span<const std::uint8_t> types, const Figure& fig,
    OnLine&& onLine, OnCubic&& onCubic)
{
    for (int k = fig.first + 1; k <= fig.last;) {
        if ((types[k] & PathPointTypeMask) == PathPointTypeBezier && k + 2 <= fig.last) {
            onCubic(pts[k - 1], pts[k], pts[k + 1], pts[k + 2]);
            k += 3;
        } else {
            onLine(pts[k - 1], pts[k]);
            ++k;
        }
    }
}

inline double segmentDistanceSq(Vec2 p, Vec2 a, Vec2 b)
{
    const Vec2 ab = b - a, ap = p - a;
    const double len2 = dot(ab, ab);
    const double t = len2 > 0 ? std::clamp(dot(ap, ab) / len2, 0.0, 1.0) : 0.0;
    const Vec2 q = ap - ab * t;
    return dot(q, q);
}

// Adaptive flattening of cubics. A piece is one segment when a proven bound
// on its distance from its chord is within tolerance: the parametric bound
// 3/4·max|Pi − chord point at i/3| or the convex hull (control points'
// distance to the chord segment, which catches straight cubics whatever their
// parametrisation). Otherwise |B''|·h²/8 ≤ flatness gives the number of equal
// parameter steps the piece needs; pieces needing many are halved first, so
// that the count follows the local curvature, and small ones are evaluated
// directly: cheaper than halving down to single segments. Vertices lie on the
// curve and the last one is the end anchor itself; NaN counts as flat, so bad
// data cannot recurse.
//
// The tolerance never goes below kRelativeFlatness of the cubic's extent.
// That leaves every curve up to tens of metres as asked, and keeps a curve
// of absurd size (a damaged or hostile file) to a few thousand segments
// instead of tens of thousands, which everything downstream (widening, the
// union outline) would pay for.
class CubicFlattener {
public:
    // At most 2^kMaxDepth pieces of kMaxSteps segments: 65536.
    static constexpr int kMaxDepth = 12;
    static constexpr int kMaxSteps = 16;
    static constexpr double kRelativeFlatness = 1.0 / (1 << 20);

    explicit CubicFlattener(float flatness)
        : f_(flatness >= 1e-4f ? double(flatness) : 1e-4)
    {
    }

    // Calls sink(Vec2) for every polyline vertex after p0, ending with p3.
    template <class Sink> void flatten(PointF p0, PointF p1, PointF p2, PointF p3, Sink&& sink) const
    {
        const Vec2 a = toVec(p0), b = toVec(p1), c = toVec(p2), d = toVec(p3);
        const double extent = std::max(std::max({ a.x, b.x, c.x, d.x }) - std::min({ a.x, b.x, c.x, d.x }),
            std::max({ a.y, b.y, c.y, d.y }) - std::min({ a.y, b.y, c.y, d.y }));
        const double f = extent * kRelativeFlatness > f_ ? extent * kRelativeFlatness : f_;
        // 0.75·|3·Pi − ...|/3 ≤ f  <=>  |3·Pi − ...|² ≤ (4f)²
        const Tolerance tol { f, f * f, 16.0 * f * f };
        piece(a, b, c, d, 0, tol, sink);
    }

private:
    struct Tolerance {
        double f;
        double hull2;
        double param2;
    };

    template <class Sink>
    void piece(Vec2 p0, Vec2 p1, Vec2 p2, Vec2 p3, int depth, const Tolerance& tol, Sink& sink) const
    {
        const Vec2 e1 = p1 * 3 - p0 * 2 - p3;
        const Vec2 e2 = p2 * 3 - p0 - p3 * 2;
        if (!(std::max(dot(e1, e1), dot(e2, e2)) > tol.param2)) {
            sink(p3);
            return;
        }
        const double hull = std::max(segmentDistanceSq(p1, p0, p3), segmentDistanceSq(p2, p0, p3));
        if (!(hull > tol.hull2)) {
            sink(p3);
            return;
        }
        // |B''| ≤ 6·max|Pi − 2Pi+1 + Pi+2|, so n² ≥ 0.75·max/f steps suffice.
        const Vec2 a = p0 - p1 * 2 + p2, b = p1 - p2 * 2 + p3;
        const double steps2 = 0.75 * std::sqrt(std::max(dot(a, a), dot(b, b))) / tol.f;
        if (steps2 > double(kMaxSteps * kMaxSteps) && depth < kMaxDepth) {
            const Vec2 p01 = mid(p0, p1), p12 = mid(p1, p2), p23 = mid(p2, p3);
            const Vec2 l = mid(p01, p12), r = mid(p12, p23), m = mid(l, r);
            piece(p0, p01, l, m, depth + 1, tol, sink);
            piece(m, r, p23, p3, depth + 1, tol, sink);
            return;
        }
        const int n = steps2 < double(kMaxSteps * kMaxSteps) ? std::max(1, int(std::ceil(std::sqrt(steps2))))
                                                             : kMaxSteps;
        // Power basis for Horner evaluation.
        const Vec2 c3 = p3 - p0 + (p1 - p2) * 3, c2 = a * 3, c1 = (p1 - p0) * 3;
        const double dt = 1.0 / n;
        for (int i = 1; i < n; ++i) {
            const double t = i * dt;
            sink(((c3 * t + c2) * t + c1) * t + p0);
        }
        sink(p3);
    }

    double f_;
};

} // namespace vesk::detail
