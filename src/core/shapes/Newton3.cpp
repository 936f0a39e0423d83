#include "Newton3.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace vesk {

namespace {
constexpr int kNewtonSteps = 25;
constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
// How close, relative to the root's size, the fixed iteration must have come
// to a root for its own answer to stand.
constexpr double kArrived = 1e-10;
// Safeguarded steps allowed per bracket: each one at least halves the bracket
// when Newton stalls, so this reaches the last bit from any double range.
constexpr int kMaxBracketSteps = 256;
// Outer end of the unbounded brackets when the root bound overflows.
constexpr double kFar = 1e300;
// A candidate point this close to a segment's end anchor stands for the
// parameter 0 or 1, which the search excludes. Near a double root at an end
// (a straight segment's end, where the curve stands still) a root may land a
// hair inside the segment; inserting there would duplicate the corner.
constexpr float kEndSlack = 1e-4f;

// NaN coefficients count as zero, so a broken leading term falls to a lower degree.
bool nonZero(double v)
{
    return v < 0.0 || v > 0.0;
}

double value(const CubicSolver& s, double x)
{
    return ((s.a * x + s.b) * x + s.c) * x + s.d;
}

double slope(const CubicSolver& s, double x)
{
    return (3.0 * s.a * x + 2.0 * s.b) * x + s.c;
}

// Bound on the rounding error of value(x).
double valueNoise(const CubicSolver& s, double x)
{
    const double ax = std::fabs(x);
    return 8.0 * kEpsilon
        * (((std::fabs(s.a) * ax + std::fabs(s.b)) * ax + std::fabs(s.c)) * ax + std::fabs(s.d));
}

// Roots in the solver's slot order: one root fills every slot; two go in
// ascending order, the second repeated; three go left, right, middle.
struct Roots {
    int count = 0;
    double r[3] {};
};

Roots single(double x)
{
    return { 1, { x, x, x } };
}

void store(CubicSolver& s, const Roots& roots)
{
    s.count = roots.count;
    if (roots.count > 0) {
        s.root1 = roots.r[0];
        s.root2 = roots.r[1];
        s.root3 = roots.r[2];
    }
}

void solveLinear(CubicSolver& s)
{
    store(s, single(-s.d / s.c));
}

void solveQuadratic(CubicSolver& s)
{
    const double disc = s.c * s.c - 4.0 * s.b * s.d;
    if (disc > 0.0) {
        // The branch that adds magnitudes is the closed form; the other root
        // comes from the product of the roots, d / b, instead of a difference
        // that cancels when b·d is small against c² (a nearly straight run).
        const double r = std::sqrt(disc);
        const double q = -0.5 * (s.c + std::copysign(r, s.c));
        const double far = q / s.b, near = s.d / q;
        s.root1 = s.c >= 0.0 ? far : near; // -(r + c) / 2b
        s.root2 = s.root3 = s.c >= 0.0 ? near : far; // -(c - r) / 2b
        s.count = 2;
    } else if (disc == 0.0) {
        store(s, single(-s.c / (2.0 * s.b)));
    }
}

// The iteration of fixed length from starts beside the turning points of the
// monic cubic. It reaches simple roots at a usual scale, but starts about b/a
// away from them when the cubic term is tiny, and creeps towards multiple roots.
Roots iteratedCubic(const CubicSolver& s)
{
    const double B = s.b / s.a, C = s.c / s.a, D = s.d / s.a;
    const auto p = [&](double x) { return ((x + B) * x + C) * x + D; };
    const double e = B * B - 3.0 * C;
    if (e == 0.0) {
        // Flat inflection at x0: start one unit away, on the side towards zero.
        const double x0 = -B / 3.0;
        return single(Newton(s, x0 > 0.0 ? x0 - 1.0 : x0 + 1.0));
    }
    if (e < 0.0) // monotonic: a single root, reached from anywhere
        return single(Newton(s, 1.0));
    const double r = std::sqrt(e);
    const double g = (-B - r) / 3.0; // local maximum of p
    const double h = (-B + r) / 3.0; // local minimum of p
    if (p(h) > 0.0)
        return single(Newton(s, g - 1.0));
    if (p(g) < 0.0)
        return single(Newton(s, h + 1.0));
    return { 3, { Newton(s, g - 1.0), Newton(s, h + 1.0), Newton(s, (g + h) * 0.5) } };
}

// The root in [lo, hi], where the cubic is monotonic and changes sign (flo is
// its value at lo, not zero). Newton steps that stay inside
// the shrinking bracket, halving it instead when a step would leave it or
// shrink it too slowly.
double rootInBracket(const CubicSolver& s, double lo, double hi, double flo)
{
    double neg = flo < 0.0 ? lo : hi, pos = flo < 0.0 ? hi : lo;
    double x = 0.5 * lo + 0.5 * hi;
    double step = hi - lo, lastStep = step;
    for (int i = 0; i < kMaxBracketSteps; ++i) {
        const double f = value(s, x);
        if (f == 0.0)
            return x;
        (f < 0.0 ? neg : pos) = x;
        const double df = slope(s, x);
        double next = x - f / df;
        const bool inside = next > std::min(neg, pos) && next < std::max(neg, pos);
        lastStep = step;
        if (inside && std::fabs(2.0 * f) <= std::fabs(lastStep * df)) {
            step = next - x;
        } else {
            step = 0.5 * (pos - neg);
            next = neg + step;
        }
        if (next == x)
            return x;
        x = next;
        if (std::fabs(step) <= 2.0 * kEpsilon * std::fabs(x))
            return x;
    }
    return x;
}

bool opposite(double f, double g)
{
    return (f < 0.0 && g > 0.0) || (f > 0.0 && g < 0.0);
}

// Where one real root lies: a turning point where the cubic vanishes to
// within its rounding (a double root, reported once), or a bracket over which
// the cubic is monotonic and changes sign.
struct RootSite {
    double lo = 0.0, hi = 0.0;
    double flo = 0.0; // the cubic at lo; 0 for a turning point
    bool exact = false; // the root is lo == hi
};

struct RootSites {
    int count = 0;
    RootSite site[3]; // ascending
};

// The sites lie between the turning points, or a turning point and the root
// bound. Nothing here divides by a, so a tiny cubic term costs no accuracy:
// the near turning point comes out of the product form of the quadratic formula.
RootSites rootSites(const CubicSolver& s)
{
    RootSites out;
    const auto bracket = [&](double lo, double hi, double flo) {
        out.site[out.count++] = { lo, hi, flo, false };
    };
    const auto turning = [&](double x) { out.site[out.count++] = { x, x, 0.0, true }; };

    const double bound = 1.0 + std::max({ std::fabs(s.b), std::fabs(s.c), std::fabs(s.d) }) / std::fabs(s.a);
    const double far = std::min(bound, kFar);
    const double atLeft = value(s, -far), atRight = value(s, far);
    const double disc = s.b * s.b - 3.0 * s.a * s.c; // of the derivative, over 4
    if (!(disc > 0.0)) {
        if (opposite(atLeft, atRight))
            bracket(-far, far, atLeft);
        return out;
    }
    const double q = -(s.b + std::copysign(std::sqrt(disc), s.b));
    double x1 = q / (3.0 * s.a), x2 = s.c / q;
    if (x1 > x2)
        std::swap(x1, x2);
    const auto settle = [&](double x) {
        const double f = value(s, x);
        return std::fabs(f) <= valueNoise(s, x) ? 0.0 : f;
    };
    const double f1 = settle(x1), f2 = settle(x2);
    if (f1 == 0.0)
        turning(x1);
    else if (opposite(atLeft, f1))
        bracket(-far, x1, atLeft);
    if (opposite(f1, f2))
        bracket(x1, x2, f1);
    if (f2 == 0.0)
        turning(x2);
    else if (opposite(f2, atRight))
        bracket(x2, far, f2);
    return out;
}

// Whether x lies within kArrived of the root at the site.
bool arrived(const CubicSolver& s, const RootSite& site, double x)
{
    const double tolerance = kArrived * std::max(1.0, std::fabs(x));
    if (!(x >= site.lo - tolerance && x <= site.hi + tolerance))
        return false;
    if (site.exact)
        return true;
    const double below = value(s, std::max(site.lo, x - tolerance));
    const double above = value(s, std::min(site.hi, x + tolerance));
    return below == 0.0 || above == 0.0 || opposite(below, above);
}

// Ascending order of the slots of `roots`.
double ascending(const Roots& roots, int i)
{
    return roots.count == 3 ? roots.r[i == 0 ? 0 : i == 1 ? 2 : 1] : roots.r[i];
}

void solveCubic(CubicSolver& s)
{
    // The fixed iteration's roots stand wherever they arrived; elsewhere each
    // root is found in its site.
    const RootSites sites = rootSites(s);
    const Roots iterated = iteratedCubic(s);
    bool kept = iterated.count == sites.count;
    for (int i = 0; kept && i < sites.count; ++i)
        kept = arrived(s, sites.site[i], ascending(iterated, i));
    if (kept) {
        store(s, iterated);
        return;
    }
    double found[3];
    for (int i = 0; i < sites.count; ++i) {
        const RootSite& site = sites.site[i];
        found[i] = site.exact ? site.lo : rootInBracket(s, site.lo, site.hi, site.flo);
    }
    switch (sites.count) {
    case 1:
        store(s, single(found[0]));
        break;
    case 2:
        store(s, { 2, { found[0], found[1], found[1] } });
        break;
    case 3:
        store(s, { 3, { found[0], found[2], found[1] } });
        break;
    default:
        break;
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

bool onEnd(PointF b, PointF end)
{
    return std::fabs(b.X - end.X) <= kEndSlack && std::fabs(b.Y - end.Y) <= kEndSlack;
}
} // namespace

void Solve(CubicSolver& solver)
{
    solver.count = 0;
    const double a = solver.a, b = solver.b, c = solver.c, d = solver.d;
    // Below the leading term an infinite or NaN coefficient leaves no root to find.
    if (nonZero(a)) {
        if (std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d))
            solveCubic(solver);
    } else if (nonZero(b)) {
        if (std::isfinite(b) && std::isfinite(c) && std::isfinite(d))
            solveQuadratic(solver);
    } else if (nonZero(c)) {
        if (std::isfinite(c) && std::isfinite(d))
            solveLinear(solver);
    }
}

double Newton(const CubicSolver& s, double start)
{
    double x = start;
    for (int i = 0; i < kNewtonSteps; ++i) {
        const double f = value(s, x);
        const double df = slope(s, x);
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
    float best = 0.0f;
    bool found = false;
    for (const double t : candidates) {
        const PointF b = bezierPoint(p, t);
        if (onEnd(b, p[0]) || onEnd(b, p[3]))
            continue;
        const float dx = q.X - b.X, dy = q.Y - b.Y;
        const float d2 = dx * dx + dy * dy;
        if (!found || d2 < best) {
            best = d2;
            out = b;
            found = true;
        }
    }
    return found ? std::sqrt(double(best)) : -1.0;
}

} // namespace vesk
