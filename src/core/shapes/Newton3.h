#pragma once

#include "geometry/PointF.h"

#include <cstdint>
#include <span>

namespace vesk {

// Real roots of a·t³ + b·t² + c·t + d, for finding where a click lies along a
// cubic Bezier segment. The cubic case starts a fixed number of Newton steps
// beside the turning points of the curve, and checks the outcome against
// roots bracketed between the turning points by sign changes: where the steps
// arrived their roots stand; where they did not (a cubic term tiny against the
// others, a multiple root) the bracketed roots are reported instead, a double
// root once. Lower degrees use their closed forms. A zero (or NaN) leading
// coefficient drops to the next lower degree; any other infinite or NaN
// coefficient leaves no root. Root slots beyond `count` repeat a found root.
struct CubicSolver {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
    double root1 = 0.0;
    double root2 = 0.0;
    double root3 = 0.0;
    std::int32_t count = 0;
};

// Fills the roots and count from the coefficients.
void Solve(CubicSolver& solver);

// Exactly 25 Newton steps on the cubic from start. Where the derivative
// vanishes at an iterate the iteration stops: the iterate itself when it is an
// exact root, NaN otherwise (no root was reached; callers reject NaN like any
// value outside the range they look in).
double Newton(const CubicSolver& solver, double start);

// Distance from q to the nearest point of the segment whose x or y equals q's,
// looking only strictly inside the segment (0 < t < 1, and off the end
// anchors); out receives that point. Returns -1.0 and leaves out unchanged
// when there is no such point.
double NearestPointOnSegment(std::span<const PointF, 4> segment, PointF q, PointF& out);

} // namespace vesk
