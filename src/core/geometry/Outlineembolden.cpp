#include "Outlineembolden.h"

#include "PathInternals.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vesk {

namespace {

// Beyond this turn (cosine of about 160 degrees) a point stays put: the
// bisector of a spike would throw it far out.
constexpr double kSharpestTurn = -0.9375;

struct Unit {
    double x = 0;
    double y = 0;
    double length = 0;
};

Unit unit(PointF from, PointF to)
{
    const double dx = double(to.X) - from.X, dy = double(to.Y) - from.Y;
    const double length = std::hypot(dx, dy);
    return length > 0 ? Unit { dx / length, dy / length, length } : Unit {};
}

// Twice the signed area of all figures as polygons of their points.
double turn(std::span<const PointF> points, std::span<const std::uint8_t> types)
{
    double sum = 0;
    detail::forEachFigure(types, [&](const detail::Figure& fig) {
        for (int i = fig.first; i <= fig.last; ++i) {
            const PointF a = points[size_t(i)], b = points[size_t(i == fig.last ? fig.first : i + 1)];
            sum += double(a.X) * b.Y - double(b.X) * a.Y;
        }
    });
    return sum;
}

} // namespace

void EmboldenOutline(std::span<PointF> points, std::span<const std::uint8_t> types, float strength)
{
    if (!(strength > 0) || !std::isfinite(strength) || points.size() != types.size())
        return;
    // Outward is to the right of the way a positively turning outline runs.
    const double side = turn(points, types) >= 0 ? 1.0 : -1.0;
    const double half = double(strength) / 2;
    std::vector<PointF> moved;
    detail::forEachFigure(types, [&](const detail::Figure& fig) {
        const int n = fig.last - fig.first + 1;
        if (n < 3)
            return;
        const auto at = [&](int k) { return points[size_t(fig.first + ((k % n) + n) % n)]; };
        moved.assign(points.begin() + fig.first, points.begin() + fig.last + 1);
        for (int i = 0; i < n; ++i) {
            const PointF p = at(i);
            // The nearest distinct points on either side.
            int a = i - 1, b = i + 1;
            while (a > i - n && at(a) == p)
                --a;
            while (b < i + n && at(b) == p)
                ++b;
            const Unit in = unit(at(a), p), out = unit(p, at(b));
            if (in.length == 0 || out.length == 0)
                continue;
            const double cosine = in.x * out.x + in.y * out.y;
            if (cosine <= kSharpestTurn)
                continue;
            // Sum of the two edges' outward normals; over 1 + cosine it
            // moves both edges by exactly the half strength.
            const double nx = side * (in.y + out.y), ny = -side * (in.x + out.x);
            const double d = 1 + cosine;
            const double sine = side * (out.x * in.y - out.y * in.x);
            const double shortest = std::min(in.length, out.length);
            const double scale = half * sine <= shortest * d ? half / d : shortest / sine;
            moved[size_t(i)] = { float(p.X + nx * scale), float(p.Y + ny * scale) };
        }
        std::copy(moved.begin(), moved.end(), points.begin() + fig.first);
    });
}

} // namespace vesk
