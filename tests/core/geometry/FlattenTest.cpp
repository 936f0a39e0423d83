#include "GeometryTestUtil.h"
#include "geometry/GraphicsPath.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vesk {
namespace {

using namespace testutil;

std::vector<PointF> flattenedCubic(const Cubic& c, float flatness)
{
    GraphicsPath p;
    p.AddBezier(c.p0, c.p1, c.p2, c.p3);
    p.Flatten(flatness);
    return { p.Points().begin(), p.Points().end() };
}

// Segments a uniform split needs for the bound |B''|·h²/8 ≤ flatness;
// adaptive halving should stay within a small factor of it.
double uniformSegmentEstimate(const Cubic& c, float flatness)
{
    const double ax = c.p0.X - 2.0 * c.p1.X + c.p2.X, ay = c.p0.Y - 2.0 * c.p1.Y + c.p2.Y;
    const double bx = c.p1.X - 2.0 * c.p2.X + c.p3.X, by = c.p1.Y - 2.0 * c.p2.Y + c.p3.Y;
    const double m = 6 * std::max(std::hypot(ax, ay), std::hypot(bx, by));
    return std::ceil(std::sqrt(m / (8 * flatness)));
}

struct CurveCase {
    const char* name;
    Cubic curve;
    float flatness;
};

void PrintTo(const CurveCase& c, std::ostream* os)
{
    *os << c.name;
}

class FlattenCurveTest : public ::testing::TestWithParam<CurveCase> { };

TEST_P(FlattenCurveTest, PolylineFollowsTheTrueCurveWithinFlatness)
{
    const CurveCase& k = GetParam();
    const std::vector<PointF> line = flattenedCubic(k.curve, k.flatness);
    ASSERT_GE(line.size(), 2u);
    EXPECT_EQ(line.front(), k.curve.p0);
    EXPECT_EQ(line.back(), k.curve.p3);

    const std::vector<PointF> dense = sampleCubic(k.curve, 20000);
    // Float rounding of the sample and vertex coordinates.
    const double slack = 1e-6 * std::max(1.0, double(std::abs(k.curve.p0.X)) + std::abs(k.curve.p3.Y) + 1e3);
    double worst = 0;
    for (PointF s : dense)
        worst = std::max(worst, distanceToPolyline(s, line));
    EXPECT_LE(worst, k.flatness + slack);

    // Vertices are points of the curve, not merely near it.
    const double spacing = polylineLength(dense) / 20000;
    for (PointF v : line)
        EXPECT_LE(distanceToPolyline(v, dense), spacing + slack) << v.X << "," << v.Y;

    EXPECT_LE(double(line.size() - 1), 2 * uniformSegmentEstimate(k.curve, k.flatness) + 2);
}

INSTANTIATE_TEST_SUITE_P(Curves, FlattenCurveTest,
    ::testing::Values(CurveCase { "S", { { 0, 0 }, { 100, 200 }, { 200, -200 }, { 300, 0 } }, 0.25f },
        CurveCase { "S_fine", { { 0, 0 }, { 100, 200 }, { 200, -200 }, { 300, 0 } }, 0.01f },
        CurveCase { "cusp", { { 0, 0 }, { 100, 100 }, { 0, 100 }, { 100, 0 } }, 0.25f },
        CurveCase { "loop", { { 0, 0 }, { 200, 100 }, { -100, 100 }, { 100, 0 } }, 0.25f },
        CurveCase { "near_straight", { { 0, 0 }, { 33, 0.4f }, { 66, -0.4f }, { 100, 0 } }, 0.25f },
        CurveCase { "overshooting_straight", { { 0, 0 }, { -50, 0 }, { 150, 0 }, { 100, 0 } }, 0.25f },
        CurveCase { "tiny", { { 5, 5 }, { 5.01f, 5.02f }, { 5.03f, 5 }, { 5.04f, 5.01f } }, 0.25f },
        CurveCase { "quarter_circle", { { 500, 0 }, { 500, 276.14f }, { 276.14f, 500 }, { 0, 500 } }, 0.25f },
        CurveCase { "huge", { { -1e5f, 0 }, { -1e5f, 1e5f }, { 1e5f, 1e5f }, { 1e5f, 0 } }, 0.25f }),
    [](const auto& info) { return std::string(info.param.name); });

// Beyond tens of metres the tolerance follows the curve's size (2^-20 of its
// extent), so a curve of absurd size costs a few thousand segments at most,
// never the tens of thousands that widening and the union outline would pay for.
TEST(FlattenTest, AbsurdlyLargeCurvesKeepToARelativeTolerance)
{
    const double relative = 1.0 / (1 << 20);
    const CurveCase cases[] = {
        // A spike from a damaged file: 440 km out and back through a 8 cm square.
        { "spike", { { 850, 130 }, { 850, -136314880 }, { 4398047559680.0f, 131073 }, { 850, 50 } }, 0.25f },
        { "S_1000km", { { 0, 0 }, { 3e9f, 1e10f }, { 7e9f, -1e10f }, { 1e10f, 0 } }, 0.25f },
        { "loop_fine", { { 0, 0 }, { 2e7f, 1e7f }, { -1e7f, 1e7f }, { 1e7f, 0 } }, 0.01f },
    };
    for (const CurveCase& k : cases) {
        SCOPED_TRACE(k.name);
        const Cubic& c = k.curve;
        const double extent = std::max(
            std::max({ c.p0.X, c.p1.X, c.p2.X, c.p3.X }) - std::min({ c.p0.X, c.p1.X, c.p2.X, c.p3.X }),
            std::max({ c.p0.Y, c.p1.Y, c.p2.Y, c.p3.Y }) - std::min({ c.p0.Y, c.p1.Y, c.p2.Y, c.p3.Y }));
        const double tolerance = extent * relative;
        const double magnitude = std::max({ std::abs(c.p0.X), std::abs(c.p0.Y), std::abs(c.p1.X),
            std::abs(c.p1.Y), std::abs(c.p2.X), std::abs(c.p2.Y), std::abs(c.p3.X), std::abs(c.p3.Y) });
        const std::vector<PointF> line = flattenedCubic(c, k.flatness);
        EXPECT_EQ(line.back(), c.p3);
        EXPECT_LE(double(line.size() - 1), 2 * uniformSegmentEstimate(c, float(tolerance)) + 2);
        EXPECT_LE(line.size(), 3000u);
        double worst = 0;
        for (PointF s : sampleCubic(c, 20000))
            worst = std::max(worst, distanceToPolyline(s, line));
        // Vertices and samples are floats: a couple of units in the last place at this magnitude.
        EXPECT_LE(worst, tolerance + magnitude / (1 << 22));
    }
}

TEST(FlattenTest, StraightCubicsGiveOneSegmentAndDegenerateOnesNoExtraPoints)
{
    struct Case {
        const char* name;
        Cubic curve;
    };
    const Case cases[] = {
        { "evenly spaced controls", { { 0, 0 }, { 10, 10 }, { 20, 20 }, { 30, 30 } } },
        { "unevenly spaced controls", { { 0, 0 }, { 29, 0 }, { 1, 0 }, { 30, 0 } } },
        { "controls on the end points", { { 0, 0 }, { 0, 0 }, { 300, 40 }, { 300, 40 } } },
        { "all four points equal", { { 7, 7 }, { 7, 7 }, { 7, 7 }, { 7, 7 } } },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const auto line = flattenedCubic(k.curve, 0.01f);
        EXPECT_EQ(line, (std::vector<PointF> { k.curve.p0, k.curve.p3 }));
    }
}

TEST(FlattenTest, BadNumbersTerminate)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Cubic cases[] = {
        { { 0, 0 }, { nan, 0 }, { 1, 1 }, { 2, 0 } },
        { { 0, 0 }, { inf, 0 }, { 1, -inf }, { 2, 0 } },
        { { -3e38f, 0 }, { 0, 3e38f }, { 3e38f, -3e38f }, { 0, 1 } },
    };
    for (const Cubic& c : cases) {
        const auto line = flattenedCubic(c, 0.25f);
        EXPECT_LE(line.size(), (1u << 16) + 1);
        EXPECT_EQ(line.back().Y, c.p3.Y);
    }
    // A non-positive tolerance must not mean infinitely fine.
    for (float f : { 0.0f, -1.0f, nan }) {
        const auto line = flattenedCubic({ { 0, 0 }, { 0, 100 }, { 100, 100 }, { 100, 0 } }, f);
        EXPECT_GT(line.size(), 10u);
        EXPECT_LE(line.size(), (1u << 16) + 1);
    }
}

TEST(FlattenTest, KeepsFigureStartsCloseMarkersAndLines)
{
    GraphicsPath p;
    p.AddLine({ -10, 0 }, { 0, 0 });
    p.AddBezier({ 0, 0 }, { 0, 50 }, { 50, 50 }, { 50, 0 });
    p.CloseFigure();
    p.AddEllipse({ 100, 0, 20, 20 });
    p.AddLine({ 0, 200 }, { 10, 200 });
    p.Flatten(0.1f);

    const auto figures = figuresOf(p);
    ASSERT_EQ(figures.size(), 3u);
    EXPECT_EQ(figures[0][0], PointF(-10, 0));
    EXPECT_EQ(figures[0][1], PointF(0, 0));
    EXPECT_EQ(figures[0].back(), PointF(50, 0));
    EXPECT_EQ(figures[1].front(), PointF(120, 10));
    EXPECT_EQ(figures[1].back(), PointF(120, 10));
    EXPECT_EQ(figures[2], (std::vector<PointF> { { 0, 200 }, { 10, 200 } }));
    EXPECT_TRUE(isLinesOnly(p));

    std::vector<int> closedAt;
    for (int i = 0; i < p.GetPointCount(); ++i) {
        if (p.Types()[i] & PathPointTypeCloseSubpath)
            closedAt.push_back(i);
    }
    const int first = int(figures[0].size()), second = first + int(figures[1].size());
    EXPECT_EQ(closedAt, (std::vector<int> { first - 1, second - 1 }));
}

} // namespace
} // namespace vesk
