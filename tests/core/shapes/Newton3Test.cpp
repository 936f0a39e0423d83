// The cubic solver and the nearest point on a Bezier segment: every degree
// and root layout of the solver against known roots (tiny leading terms and
// multiple roots among them), the fixed iteration's roots kept where it
// arrives, the segment cases where no candidate may be found, and families of
// random segments against an independent search along the densely sampled curve.

#include "shapes/Newton3.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace vesk {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct SolveCase {
    const char* name;
    double a, b, c, d;
    int count;
    std::array<double, 3> roots; // root1..root3, slots beyond count repeating a found root
    double tolerance; // relative to the root's size, absolute below 1
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
    const double found[3] = { s.root1, s.root2, s.root3 };
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(found[i], c.roots[size_t(i)], c.tolerance * std::max(1.0, std::abs(c.roots[size_t(i)])))
            << "slot " << i + 1;
}

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
        // Nearly linear: the closed form's small root would cancel to 4 digits;
        // it comes from the product of the roots instead. Both signs of c.
        SolveCase { "QuadraticNearlyLinear", 0, 1e-12, 1, -0.5, 2,
            { -1000000000000.5, 0.49999999999975, 0.49999999999975 }, 1e-14 },
        SolveCase { "QuadraticNearlyLinearFalling", 0, -1e-11, -1, 0.5, 2,
            { 0.4999999999975, -100000000000.5, -100000000000.5 }, 1e-14 },
        // A NaN leading coefficient counts as zero: the quadratic (t-1)(t-2) below it is solved.
        SolveCase { "NaNCubicTermDropsToQuadratic", kNaN, 1, -3, 2, 2, { 1, 2, 2 }, 0 },
        SolveCase { "NaNTermsDropToLinear", kNaN, kNaN, 4, -1, 1, { 0.25, 0.25, 0.25 }, 0 },
        // Below a usable leading term, a NaN or infinite coefficient leaves nothing to find.
        SolveCase { "NaNBelowCubicTerm", 1, kNaN, 0, 0, 0, {}, 0 },
        SolveCase { "InfiniteConstant", 1, 0, 0, kInf, 0, {}, 0 },
        SolveCase { "InfiniteCubicTerm", kInf, 1, 0, 0, 0, {}, 0 },
        SolveCase { "InfiniteLinearTermOfQuadratic", 0, 1, kInf, 0, 0, {}, 0 },
        SolveCase { "NaNConstantOfLinear", 0, 0, 1, kNaN, 0, {}, 0 },
        // Flat inflection: x^3 - 8 starts at 0 + 1 and reaches 2.
        SolveCase { "CubicFlatInflection", 1, 0, 0, -8, 1, { 2, 2, 2 }, 1e-12 },
        // t^3: Newton approaches a triple root by a factor 2/3 a step and after
        // 25 steps from 1 stands at (2/3)^25; the root itself is reported.
        SolveCase { "CubicTripleRoot", 1, 0, 0, 0, 1, { 0, 0, 0 }, 0 },
        // (x-2)^3: as near 2 as rounding lets the cubic's sign tell.
        SolveCase { "CubicTripleRootRightOfZero", 1, -6, 12, -8, 1, { 2, 2, 2 }, 1e-4 },
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
        // x(x-1)^2: the minimum touches zero, a double root, reported once
        // after the simple one.
        SolveCase { "CubicDoubleRootReportedOnce", 1, -2, 1, 0, 2, { 0, 1, 1 }, 1e-12 },
        SolveCase { "CubicDoubleRootLeftOfSimple", -1, 0, 3, 2, 2, { -1, 2, 2 }, 1e-12 }, // -(x+1)^2(x-2)
        // A cubic term 1e-7 of the square one: the roots near 1/4 and 3/4 of
        // (t - 1/4)(t - 3/4) barely move, the third lies near -b/a. Starts
        // beside the turning points lie about b/a away and 25 steps do not arrive.
        SolveCase { "CubicNearlyQuadratic", 1e-7, 1, -1, 0.1875, 3,
            { -10000000.99999992, 0.7499999156250142, 0.25000000312500015 }, 1e-12 },
        SolveCase { "CubicNearlyQuadraticNegativeLead", -1e-7, 1, -1, 0.1875, 3,
            { 0.24999999687500013, 9999998.99999992, 0.7500000843750142 }, 1e-12 },
        // Nearly linear: t - 1/2 with a cubic term of 1e-12.
        SolveCase { "CubicNearlyLinear", -1e-12, 0, 1, -0.5, 3,
            { -1000000.2499999063, 999999.7499999063, 0.500000000000125 }, 1e-12 }),
    [](const ::testing::TestParamInfo<SolveCase>& info) { return std::string(info.param.name); });

// Where the fixed iteration from the turning points arrives at the roots, its
// results stand bit for bit: random cubics with three well separated roots,
// and monotonic ones, which it starts at 1.
TEST(CubicSolver, KeepsTheIteratedRootsWhereTheyArrive)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> root(-10, 10), scale(0.5, 5), slope(0.1, 10);
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        std::array<double, 3> r { root(rng), root(rng), root(rng) };
        std::sort(r.begin(), r.end());
        if (r[1] - r[0] < 0.5 || r[2] - r[1] < 0.5)
            continue;
        const double k = (i % 2 ? 1 : -1) * scale(rng);
        CubicSolver s;
        s.a = k;
        s.b = -k * (r[0] + r[1] + r[2]);
        s.c = k * (r[0] * r[1] + r[0] * r[2] + r[1] * r[2]);
        s.d = -k * r[0] * r[1] * r[2];
        // The turning points of the monic cubic, rounded as the solver rounds them.
        const double B = s.b / s.a, C = s.c / s.a, e = std::sqrt(B * B - 3.0 * C);
        const double g = (-B - e) / 3.0, h = (-B + e) / 3.0;
        Solve(s);
        ASSERT_EQ(s.count, 3);
        EXPECT_EQ(s.root1, Newton(s, g - 1));
        EXPECT_EQ(s.root2, Newton(s, h + 1));
        EXPECT_EQ(s.root3, Newton(s, (g + h) / 2));
    }
    for (int i = 0; i < 100; ++i) {
        CubicSolver s; // k(x^3 + m x) + d: no turning point
        const double k = (i % 2 ? 1 : -1) * scale(rng);
        s.a = k;
        s.c = k * slope(rng);
        s.d = k * root(rng);
        Solve(s);
        ASSERT_EQ(s.count, 1);
        EXPECT_EQ(s.root1, Newton(s, 1.0)) << i;
    }
}

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
constexpr Segment kPolylineShallow { PointF { 0, 0 }, PointF { 0, 0 }, PointF { 100, 30 },
    PointF { 100, 30 } };
constexpr Segment kNearlyQuadratic { PointF { 0, 0 }, PointF { -24.07f, -136.33f },
    PointF { -7.308f, -107.756f }, PointF { 50.29f, 85.73f } };
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
        // double; it is excluded all the same.
        NearestCase { "AtPolylineStartAnchor", kPolylineDiagonal, { 0, 0 }, -1, {} },
        NearestCase { "AtPolylineEndAnchor", kPolylineDiagonal, { 30, 30 }, -1, {} },
        // A click level with the start of (0,0)-(100,30), beside it: the x
        // equation's double root at the start is no candidate, but the y
        // equation's point (10,3) still is. Slightly inside the start, the x
        // equation's point lies within a hair of the anchor and is dropped alone.
        NearestCase { "LevelWithTheStart", kPolylineShallow, { 0, 3 }, 10, { 10, 3 } },
        NearestCase { "LevelWithTheEnd", kPolylineShallow, { 100, 27 }, 10, { 90, 27 } },
        NearestCase { "AHairInsideTheStart", kPolylineShallow, { 1e-5f, 3 }, 10 - 1e-5, { 10, 3 } },
        // The x equation meets the arch's top (t = 0.5, 12.5 away); the y
        // equation's two points at x = 30(3t^2 - 2t^3), t = (1 -+ sqrt(5)/3)/2, are farther.
        NearestCase { "ArchXCandidateWins", kArch, { 15, -10 }, 12.5, { 15, -22.5f } },
        // Only y candidates: the nearer is the one on the left flank.
        NearestCase { "ArchYCandidatesOnly", kArch, { -5, -10 }, 6.33514, { 1.33514f, -10 } },
        // Both handles pulled towards one point (a raised quadratic): the cubic
        // terms are tiny, and the click on the curve is found on it.
        NearestCase { "NearlyQuadraticOnTheCurve", kNearlyQuadratic, { -4.769f, -28.153f }, 0.000266,
            { -4.768734f, -28.153f } }),
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

// A family of random segments with a click for each, drawn from rng.
struct SegmentFamily {
    const char* name;
    int segments;
    void (*draw)(std::mt19937& rng, Segment& segment, PointF& click);
};

float Coord(std::mt19937& rng)
{
    return std::uniform_real_distribution<float>(-100, 100)(rng);
}

PointF RandomPoint(std::mt19937& rng)
{
    return { Coord(rng), Coord(rng) };
}

// A click exactly on the curve (rounded to float), away from the ends.
PointF OnTheCurve(std::mt19937& rng, const Segment& segment)
{
    return Evaluate(segment, std::uniform_real_distribution<double>(0.02, 0.98)(rng));
}

PointF Between(PointF a, PointF b, double f)
{
    return { float(a.X + f * (double(b.X) - a.X)), float(a.Y + f * (double(b.Y) - a.Y)) };
}

const SegmentFamily kFamilies[] = {
    { "General", 300,
        [](std::mt19937& rng, Segment& seg, PointF& q) {
            seg = { RandomPoint(rng), RandomPoint(rng), RandomPoint(rng), RandomPoint(rng) };
            q = { Coord(rng) * 0.5f, Coord(rng) * 0.5f };
        } },
    // A quadratic raised to a cubic, as when both handles of a segment are
    // pulled towards one point: only the rounding of the control points to
    // float leaves cubic terms, tiny against the square ones.
    { "NearlyQuadratic", 1000,
        [](std::mt19937& rng, Segment& seg, PointF& q) {
            const PointF q0 = RandomPoint(rng), q1 = RandomPoint(rng), q2 = RandomPoint(rng);
            seg = { q0, Between(q0, q1, 2.0 / 3), Between(q2, q1, 2.0 / 3), q2 };
            q = OnTheCurve(rng, seg);
        } },
    // Handles near the thirds of the chord: cubic and square terms tiny
    // against the linear one.
    { "NearlyLinear", 1000,
        [](std::mt19937& rng, Segment& seg, PointF& q) {
            std::uniform_real_distribution<float> wobble(-0.01f, 0.01f);
            const PointF p0 = RandomPoint(rng), p3 = RandomPoint(rng);
            const PointF third = Between(p0, p3, 1.0 / 3), twoThirds = Between(p0, p3, 2.0 / 3);
            seg = { p0, third + PointF(wobble(rng), wobble(rng)),
                twoThirds + PointF(wobble(rng), wobble(rng)), p3 };
            q = rng() % 2 ? OnTheCurve(rng, seg) : OnTheCurve(rng, seg) + PointF(wobble(rng), 3);
        } },
    // Handles of equal length: mirror images across the chord's bisector on
    // a chord turned at most a thousandth of a radian from an axis (across
    // the chord the curve is a parabola, so one coordinate is nearly
    // quadratic, and exactly so on an exact axis), or point images through
    // the chord's middle (an S with its inflection at the middle, flat when
    // the handles are near a third of the chord).
    { "SymmetricHandles", 1000,
        [](std::mt19937& rng, Segment& seg, PointF& q) {
            const PointF p0 = RandomPoint(rng);
            if (rng() % 4 == 0) {
                const PointF p3 = RandomPoint(rng);
                const float wobble = std::uniform_real_distribution<float>(-10, 10)(rng);
                const PointF h = Between(p0, p3, 1.0 / 3) - p0 + PointF(wobble, -wobble);
                seg = { p0, p0 + h, p3 - h, p3 };
            } else {
                std::uniform_real_distribution<double> length(5, 150), along(-50, 100), across(-150, 150),
                    turn(-1e-3, 1e-3);
                const int axis = int(rng() % 3); // 0: exactly horizontal, 1: nearly, 2: nearly vertical
                const double angle = axis == 0 ? 0.0 : turn(rng) + (axis == 2 ? std::acos(0.0) : 0.0);
                const double l = length(rng), hx = along(rng), hy = across(rng);
                const double cs = std::cos(angle), sn = std::sin(angle);
                const auto place = [&](double x, double y) {
                    return PointF(float(p0.X + cs * x - sn * y), float(p0.Y + sn * x + cs * y));
                };
                seg = { p0, place(hx, hy), place(l - hx, hy), place(l, 0) };
            }
            q = OnTheCurve(rng, seg);
        } },
};

class NearestFamilyTest : public ::testing::TestWithParam<SegmentFamily> { };

TEST_P(NearestFamilyTest, AgreesWithASampledSearch)
{
    const SegmentFamily& family = GetParam();
    std::mt19937 rng(20240611);
    int compared = 0;
    for (int i = 0; i < family.segments; ++i) {
        SCOPED_TRACE(i);
        Segment seg;
        PointF q;
        family.draw(rng, seg, q);
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
    EXPECT_GT(compared, family.segments / 2); // the sample exercises the search, not only the empty case
}

INSTANTIATE_TEST_SUITE_P(Families, NearestFamilyTest, ::testing::ValuesIn(kFamilies),
    [](const ::testing::TestParamInfo<SegmentFamily>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vesk
