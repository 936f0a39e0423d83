// The cubic solver and the nearest point on a Bezier segment: every degree
// and root layout of the solver against known roots, the segment cases where
// no candidate may be found, and random segments against an independent
// search along the densely sampled curve.

#include "shapes/Newton3.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace vesk {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct SolveCase {
    const char* name;
    double a, b, c, d;
    int count;
    std::array<double, 3> roots; // root1..root3, slots beyond count repeating a found root
    double tolerance;
};

class SolveTest : public ::testing::TestWithParam<SolveCase> { };

TEST_P(SolveTest, FindsTheRoots)
{
    const SolveCase& c = GetParam();
    CubicSolver s;
    s.a = c.a;
    s.b = c.b;
    s.c = c.c;
    s.d = c.d;
    Solve(s);
    ASSERT_EQ(s.count, c.count);
    if (c.count == 0)
        return;
    EXPECT_NEAR(s.root1, c.roots[0], c.tolerance);
    EXPECT_NEAR(s.root2, c.roots[1], c.tolerance);
    EXPECT_NEAR(s.root3, c.roots[2], c.tolerance);
}

const double kTwoThirdsPow25 = std::pow(2.0 / 3.0, 25);

INSTANTIATE_TEST_SUITE_P(CubicSolver, SolveTest,
    ::testing::Values(
        // No degree at all: nothing, even when d is not zero.
        SolveCase { "AllZero", 0, 0, 0, 0, 0, {}, 0 }, SolveCase { "ConstantOnly", 0, 0, 0, 5, 0, {}, 0 },
        SolveCase { "Linear", 0, 0, 2, -1, 1, { 0.5, 0.5, 0.5 }, 0 },
        // Quadratic (t-1)(t-2): root1 takes the minus branch of the formula.
        SolveCase { "QuadraticTwoRoots", 0, 1, -3, 2, 2, { 1, 2, 2 }, 0 },
        SolveCase { "QuadraticTwoRootsNegativeLead", 0, -1, 3, -2, 2, { 2, 1, 1 }, 0 },
        // A zero discriminant reports the double root once.
        SolveCase { "QuadraticDoubleRoot", 0, 1, -2, 1, 1, { 1, 1, 1 }, 0 },
        SolveCase { "QuadraticNoRealRoot", 0, 1, 0, 1, 0, {}, 0 },
        // A NaN leading coefficient counts as zero: the quadratic (t-1)(t-2) below it is solved.
        SolveCase { "NaNCubicTermDropsToQuadratic", kNaN, 1, -3, 2, 2, { 1, 2, 2 }, 0 },
        SolveCase { "NaNTermsDropToLinear", kNaN, kNaN, 4, -1, 1, { 0.25, 0.25, 0.25 }, 0 },
        // Flat inflection: x^3 - 8 starts at 0 + 1 and reaches 2.
        SolveCase { "CubicFlatInflection", 1, 0, 0, -8, 1, { 2, 2, 2 }, 1e-12 },
        // t^3: a triple root that Newton approaches by a factor 2/3 a step, so
        // after exactly 25 steps from 1 it stands at (2/3)^25, not at 0.
        SolveCase { "CubicTripleRootTakesExactly25Steps", 1, 0, 0, 0, 1,
            { kTwoThirdsPow25, kTwoThirdsPow25, kTwoThirdsPow25 }, 1e-15 },
        // (x-2)^3: the flat inflection right of zero starts one unit to its left.
        SolveCase { "CubicTripleRootRightOfZero", 1, -6, 12, -8, 1,
            { 2 - kTwoThirdsPow25, 2 - kTwoThirdsPow25, 2 - kTwoThirdsPow25 }, 2e-6 },
        // x^3 + x + 10 has no turning point; its one root is -2.
        SolveCase { "CubicMonotonic", 1, 0, 1, 10, 1, { -2, -2, -2 }, 1e-12 },
        SolveCase { "CubicMonotonicScaled", -3, 0, -3, -30, 1, { -2, -2, -2 }, 1e-12 },
        // (x+3)(x^2-2x+2): the local minimum lies above zero, the root is left.
        SolveCase { "CubicOneRootLeftOfTurningPoints", 1, 1, -4, 6, 1, { -3, -3, -3 }, 1e-12 },
        // (x-3)(x^2+2x+2): the local maximum lies below zero, the root is right.
        SolveCase { "CubicOneRootRightOfTurningPoints", 1, -1, -4, -6, 1, { 3, 3, 3 }, 1e-12 },
        // 2(x-1)(x-2)(x-3): left, right, then middle root.
        SolveCase { "CubicThreeRoots", 2, -12, 22, -12, 3, { 1, 3, 2 }, 1e-12 },
        SolveCase { "CubicThreeRootsNegativeLead", -1, 6, -11, 6, 3, { 1, 3, 2 }, 1e-12 },
        // x(x-1)^2: the minimum touches zero; both slots right of the maximum
        // reach the double root (slowly, as a double root is approached).
        SolveCase { "CubicDoubleRootReportedTwice", 1, -2, 1, 0, 3, { 0, 1, 1 }, 1e-6 }),
    [](const ::testing::TestParamInfo<SolveCase>& info) { return std::string(info.param.name); });

TEST(CubicSolverNewton, StopsWhereTheDerivativeVanishes)
{
    CubicSolver doubleRoot; // x(x-1)^2, started exactly on its double root
    doubleRoot.a = 1;
    doubleRoot.b = -2;
    doubleRoot.c = 1;
    EXPECT_EQ(Newton(doubleRoot, 1.0), 1.0);

    CubicSolver turning; // x^3 - 3x has a local minimum at 1 that is no root
    turning.a = 1;
    turning.c = -3;
    EXPECT_TRUE(std::isnan(Newton(turning, 1.0)));
}

TEST(CubicSolverNewton, UsesTheCoefficientsAsGiven)
{
    // Scaling the polynomial changes nothing about its root.
    for (const double k : { 1.0, -0.5, 1e6 }) {
        CubicSolver s;
        s.a = k;
        s.b = 0;
        s.c = k;
        s.d = 10 * k;
        EXPECT_NEAR(Newton(s, 1.0), -2.0, 1e-12) << k;
    }
}

// ------------------------------------------------------------ nearest point

using Segment = std::array<PointF, 4>;

struct NearestCase {
    const char* name;
    Segment segment;
    PointF q;
    double distance; // -1: no candidate
    PointF point;
};

class NearestTest : public ::testing::TestWithParam<NearestCase> { };

TEST_P(NearestTest, FindsTheCandidate)
{
    const NearestCase& c = GetParam();
    const PointF untouched { -777, -777 };
    PointF out = untouched;
    const double d = NearestPointOnSegment(c.segment, c.q, out);
    if (c.distance < 0) {
        EXPECT_EQ(d, -1.0);
        EXPECT_EQ(out, untouched);
        return;
    }
    EXPECT_NEAR(d, c.distance, 1e-4);
    EXPECT_NEAR(out.X, c.point.X, 1e-4);
    EXPECT_NEAR(out.Y, c.point.Y, 1e-4);
}

// An arch from (0,0) up to y = -22.5 and down to (30,0).
constexpr Segment kArch { PointF { 0, 0 }, PointF { 0, -30 }, PointF { 30, -30 }, PointF { 30, 0 } };
// A straight line with its control points on the anchors, as the polyline tool leaves it.
constexpr Segment kPolylineHorizontal { PointF { 0, 10 }, PointF { 0, 10 }, PointF { 30, 10 },
    PointF { 30, 10 } };
constexpr Segment kEvenHorizontal { PointF { 0, 10 }, PointF { 10, 10 }, PointF { 20, 10 },
    PointF { 30, 10 } };
constexpr Segment kEvenDiagonal { PointF { 0, 0 }, PointF { 10, 10 }, PointF { 20, 20 }, PointF { 30, 30 } };
constexpr Segment kPolylineDiagonal { PointF { 0, 0 }, PointF { 0, 0 }, PointF { 30, 30 },
    PointF { 30, 30 } };
constexpr Segment kPoint { PointF { 5, 5 }, PointF { 5, 5 }, PointF { 5, 5 }, PointF { 5, 5 } };

INSTANTIATE_TEST_SUITE_P(NearestPoint, NearestTest,
    ::testing::Values(
        // Straight horizontal segments: the x equation gives the point below the
        // click, the y equation nothing; the distance is the vertical gap.
        NearestCase { "HorizontalLinearInX", kEvenHorizontal, { 15, 4 }, 6, { 15, 10 } },
        NearestCase { "HorizontalPolyline", kPolylineHorizontal, { 15, 4 }, 6, { 15, 10 } },
        NearestCase { "HorizontalPolylineOffCentre", kPolylineHorizontal, { 7.5f, 13 }, 3, { 7.5f, 10 } },
        // A click on the line itself, where the y equation is identically zero.
        NearestCase { "OnTheLine", kPolylineHorizontal, { 20, 10 }, 0, { 20, 10 } },
        // Left of the segment: x has no root inside, y none at all.
        NearestCase { "BesideTheEnd", kPolylineHorizontal, { -5, 10 }, -1, {} },
        NearestCase { "PointSegment", kPoint, { 5, 5 }, -1, {} },
        NearestCase { "PointSegmentAway", kPoint, { 7, 9 }, -1, {} },
        // Clicks on the anchors give t = 0 or t = 1 exactly where the roots are
        // simple, and those are excluded.
        NearestCase { "AtStartAnchor", kEvenDiagonal, { 0, 0 }, -1, {} },
        NearestCase { "AtEndAnchor", kEvenDiagonal, { 30, 30 }, -1, {} },
        // With the control points on the anchors the root at the anchor is
        // double: Newton creeps towards it from inside, so the anchor itself is found.
        NearestCase { "AtPolylineStartAnchor", kPolylineDiagonal, { 0, 0 }, 0, { 0, 0 } },
        NearestCase { "AtPolylineEndAnchor", kPolylineDiagonal, { 30, 30 }, 0, { 30, 30 } },
        // The x equation meets the arch's top (t = 0.5, 12.5 away); the y
        // equation's two points at x = 30(3t^2 - 2t^3), t = (1 -+ sqrt(5)/3)/2, are farther.
        NearestCase { "ArchXCandidateWins", kArch, { 15, -10 }, 12.5, { 15, -22.5f } },
        // Only y candidates: the nearer is the one on the left flank.
        NearestCase { "ArchYCandidatesOnly", kArch, { -5, -10 }, 6.33514, { 1.33514f, -10 } }),
    [](const ::testing::TestParamInfo<NearestCase>& info) { return std::string(info.param.name); });

PointF Evaluate(const Segment& p, double t)
{
    const double u = 1 - t;
    return { float(u * u * u * p[0].X + 3 * t * u * u * p[1].X + 3 * t * t * u * p[2].X + t * t * t * p[3].X),
        float(u * u * u * p[0].Y + 3 * t * u * u * p[1].Y + 3 * t * t * u * p[2].Y + t * t * t * p[3].Y) };
}

// Independent reference: walks the curve in small steps and refines each
// crossing of x = q.x or y = q.y by bisection.
double ReferenceDistance(const Segment& p, PointF q)
{
    constexpr int kSamples = 20000;
    double best = -1;
    for (const bool useX : { true, false }) {
        const auto f = [&](double t) {
            const PointF b = Evaluate(p, t);
            return useX ? double(b.X) - q.X : double(b.Y) - q.Y;
        };
        double t0 = 0, f0 = f(0);
        for (int i = 1; i <= kSamples; ++i) {
            const double t1 = double(i) / kSamples, f1 = f(t1);
            if ((f0 < 0) != (f1 < 0)) {
                double lo = t0, hi = t1;
                for (int k = 0; k < 60; ++k) {
                    const double mid = (lo + hi) / 2;
                    ((f(mid) < 0) == (f0 < 0) ? lo : hi) = mid;
                }
                const PointF b = Evaluate(p, (lo + hi) / 2);
                const double d = std::hypot(double(b.X) - q.X, double(b.Y) - q.Y);
                if (best < 0 || d < best)
                    best = d;
            }
            t0 = t1;
            f0 = f1;
        }
    }
    return best;
}

TEST(NearestPoint, RandomSegmentsAgreeWithASampledSearch)
{
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> coord(-100, 100);
    int compared = 0;
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        const Segment seg { PointF { coord(rng), coord(rng) }, PointF { coord(rng), coord(rng) },
            PointF { coord(rng), coord(rng) }, PointF { coord(rng), coord(rng) } };
        const PointF q { coord(rng) * 0.5f, coord(rng) * 0.5f };
        PointF out { -777, -777 };
        const double d = NearestPointOnSegment(seg, q, out);
        const double expected = ReferenceDistance(seg, q);
        if (expected < 0) {
            EXPECT_EQ(d, -1.0);
            continue;
        }
        ++compared;
        ASSERT_GE(d, 0.0);
        EXPECT_NEAR(d, expected, 1e-3 * (1 + expected));
        // The point found lies on the curve and shares a coordinate with the click.
        EXPECT_NEAR(d, std::hypot(double(out.X) - q.X, double(out.Y) - q.Y), 1e-3);
        EXPECT_LT(std::min(std::abs(out.X - q.X), std::abs(out.Y - q.Y)), 1e-3);
    }
    EXPECT_GT(compared, 150); // the sample exercises the search, not only the empty case
}

} // namespace
} // namespace vesk
