#include "Newton3.h"

#include <cmath>
#include <limits>
#include <vector>

namespace vesk {

namespace {
constexpr int kNewtonSteps = 25;

// NaN coefficients count as zero, so a broken leading term falls to a lower degree.
bool nonZero(double v)
{
    return v < 0.0 || v > 0.0;
}

void setAll(CubicSolver& s, double x)
{
    s.root1 = s.root2 = s.root3 = x;
    s.count = 1;
}

void solveLinear(CubicSolver& s)
{
    setAll(s, -s.d / s.c);
}

void solveQuadratic(CubicSolver& s)
{
    const double disc = s.c * s.c - 4.0 * s.b * s.d;
    if (disc > 0.0) {
        const double r = std::sqrt(disc);
        s.root1 = -(r + s.c) / (2.0 * s.b);
        s.root2 = s.root3 = -(s.c - r) / (2.0 * s.b);
        s.count = 2;
    } else if (disc == 0.0) {
        setAll(s, -s.c / (2.0 * s.b));
    }
}

void solveCubic(CubicSolver& s)
{
    const double B = s.b / s.a, C = s.c / s.a, D = s.d / s.a;
    const auto p = [&](double x) { return ((x + B) * x + C) * x + D; };
    const double e = B * B - 3.0 * C;
    if (e == 0.0) {
        // Flat inflection at x0: start one unit away, on the side towards zero.
        const double x0 = -B / 3.0;
        setAll(s, Newton(s, x0 > 0.0 ? x0 - 1.0 : x0 + 1.0));
        return;
    }
    if (e < 0.0) { // monotonic: a single root, reached from anywhere
        setAll(s, Newton(s, 1.0));
        return;
    }
    const double r = std::sqrt(e);
    const double g = (-B - r) / 3.0; // local maximum of p
    const double h = (-B + r) / 3.0; // local minimum of p
    if (p(h) > 0.0) {
        setAll(s, Newton(s, g - 1.0));
    } else if (p(g) < 0.0) {
        setAll(s, Newton(s, h + 1.0));
    } else {
        s.root1 = Newton(s, g - 1.0);
        s.root2 = Newton(s, h + 1.0);
        s.root3 = Newton(s, (g + h) * 0.5);
        s.count = 3;
    }
}

// Roots of one coordinate of the segment minus the query coordinate.
void addCandidates(double p0, double p1, double p2, double p3, double q, std::vector<double>& into)
{
    CubicSolver s;
    s.a = p3 - 3.0 * p2 + 3.0 * p1 - p0;
    s.b = 3.0 * (p2 - 2.0 * p1 + p0);
    s.c = 3.0 * (p1 - p0);
    s.d = p0 - q;
    Solve(s);
    const double roots[3] = { s.root1, s.root2, s.root3 };
    for (int i = 0; i < s.count; ++i)
        if (roots[i] > 0.0 && roots[i] < 1.0)
            into.push_back(roots[i]);
}

PointF bezierPoint(std::span<const PointF, 4> p, double t)
{
    const double u = 1.0 - t;
    const double w0 = u * u * u, w1 = 3.0 * t * u * u, w2 = 3.0 * t * t * u, w3 = t * t * t;
    return { float(w0 * p[0].X + w1 * p[1].X + w2 * p[2].X + w3 * p[3].X),
        float(w0 * p[0].Y + w1 * p[1].Y + w2 * p[2].Y + w3 * p[3].Y) };
}
} // namespace

void Solve(CubicSolver& solver)
{
    solver.count = 0;
    if (nonZero(solver.a))
        solveCubic(solver);
    else if (nonZero(solver.b))
        solveQuadratic(solver);
    else if (nonZero(solver.c))
        solveLinear(solver);
}

double Newton(const CubicSolver& s, double start)
{
    double x = start;
    for (int i = 0; i < kNewtonSteps; ++i) {
        const double f = ((s.a * x + s.b) * x + s.c) * x + s.d;
        const double df = (3.0 * s.a * x + 2.0 * s.b) * x + s.c;
        if (df == 0.0)
            return f == 0.0 ? x : std::numeric_limits<double>::quiet_NaN();
        x -= f / df;
    }
    return x;
}

double NearestPointOnSegment(std::span<const PointF, 4> p, PointF q, PointF& out)
{
    std::vector<double> candidates;
    candidates.reserve(6);
    addCandidates(p[0].X, p[1].X, p[2].X, p[3].X, q.X, candidates);
    addCandidates(p[0].Y, p[1].Y, p[2].Y, p[3].Y, q.Y, candidates);
    if (candidates.empty())
        return -1.0;
    float best = 0.0f;
    bool first = true;
    for (const double t : candidates) {
        const PointF b = bezierPoint(p, t);
        const float dx = q.X - b.X, dy = q.Y - b.Y;
        const float d2 = dx * dx + dy * dy;
        if (first || d2 < best) {
            best = d2;
            out = b;
            first = false;
        }
    }
    return std::sqrt(double(best));
}

} // namespace vesk
