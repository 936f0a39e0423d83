#include "GeometryTestUtil.h"
#include "geometry/GraphicsPath.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace vesk {
namespace {

using namespace testutil;

constexpr float kWidth = 10;
constexpr double kHalf = kWidth / 2;
constexpr float kFlatness = 0.1f;
constexpr double kPi = std::numbers::pi;

Pen makePen(LineCap start, LineCap end, LineJoin join = LineJoin::Round)
{
    Pen pen;
    pen.width = kWidth;
    pen.startCap = start;
    pen.endCap = end;
    pen.lineJoin = join;
    return pen;
}

GraphicsPath segment()
{
    GraphicsPath p;
    p.AddLine({ 0, 0 }, { 100, 0 });
    return p;
}
GraphicsPath straightCubic()
{
    GraphicsPath p;
    p.AddBezier({ 0, 0 }, { 10, 0 }, { 70, 0 }, { 100, 0 });
    return p;
}
GraphicsPath dotCubic()
{
    GraphicsPath p;
    p.AddBezier({ 50, 50 }, { 50, 50 }, { 50, 50 }, { 50, 50 });
    return p;
}
GraphicsPath singlePoint()
{
    GraphicsPath p;
    const PointF v[] = { { 50, 50 } };
    p.AddLines(v);
    return p;
}
GraphicsPath rightAngle()
{
    GraphicsPath p;
    const PointF v[] = { { 0, 0 }, { 100, 0 }, { 100, 100 } };
    p.AddLines(v);
    return p;
}
// A U-turn whose middle segment is shorter than the pen is wide.
GraphicsPath hairpin()
{
    GraphicsPath p;
    const PointF v[] = { { 0, 0 }, { 100, 0 }, { 100, 2 }, { 0, 2 } };
    p.AddLines(v);
    return p;
}
// Ends in a turn onto a segment shorter than the pen is wide, so the inner
// corner reaches beyond that segment's rectangle.
GraphicsPath hook()
{
    GraphicsPath p;
    const PointF v[] = { { 0, 0 }, { 100, 0 }, { 100, 1 } };
    p.AddLines(v);
    return p;
}
GraphicsPath closedSquare()
{
    GraphicsPath p;
    p.AddRectangle({ 0, 0, 100, 100 });
    return p;
}
GraphicsPath circle()
{
    GraphicsPath p;
    p.AddEllipse({ -50, -50, 100, 100 });
    return p;
}
const Cubic kQuarter { { 50, 0 }, { 50, 27.614f }, { 27.614f, 50 }, { 0, 50 } };
GraphicsPath quarterArc()
{
    GraphicsPath p;
    p.AddBezier(kQuarter.p0, kQuarter.p1, kQuarter.p2, kQuarter.p3);
    return p;
}
// Length of the Bezier circle, which the tube formula needs (it is not exactly 2πr).
double circleLength()
{
    const double quarter = polylineLength(
        sampleCubic({ { 50, 0 }, { 50, 50 * 0.5522847498f }, { 50 * 0.5522847498f, 50 }, { 0, 50 } }, 20000));
    return 4 * quarter;
}

struct AreaCase {
    const char* name;
    GraphicsPath (*path)();
    Pen pen;
    double area;
    // Length of the round parts of the outline: flattening them loses up to flatness × this.
    double curvedLength;
};

void PrintTo(const AreaCase& c, std::ostream* os)
{
    *os << c.name;
}

class WidenAreaTest : public ::testing::TestWithParam<AreaCase> { };

TEST_P(WidenAreaTest, FilledAreaMatchesTheAnalyticStroke)
{
    const AreaCase& k = GetParam();
    GraphicsPath p = k.path();
    p.Widen(k.pen, kFlatness);
    EXPECT_TRUE(isLinesOnly(p));
    EXPECT_EQ(p.GetFillMode(), FillMode::Winding);
    const double area = rasterArea(p, FillMode::Winding);
    const double rasterTolerance = 0.002 * k.area + 0.5;
    EXPECT_LE(area, k.area + rasterTolerance);
    EXPECT_GE(area, k.area - k.curvedLength * kFlatness - rasterTolerance);
}

const double kQuarterLength = polylineLength(sampleCubic(kQuarter, 20000));

INSTANTIATE_TEST_SUITE_P(Shapes, WidenAreaTest,
    ::testing::Values(
        AreaCase { "segment_flat", segment, makePen(LineCap::Flat, LineCap::Flat), 100 * kWidth, 0 },
        AreaCase { "segment_square", segment, makePen(LineCap::Square, LineCap::Square), 110 * kWidth, 0 },
        AreaCase { "segment_round", segment, makePen(LineCap::Round, LineCap::Round),
            100 * kWidth + kPi* kHalf* kHalf, 2 * kPi* kHalf },
        AreaCase { "segment_flat_round", segment, makePen(LineCap::Flat, LineCap::Round),
            100 * kWidth + kPi* kHalf* kHalf / 2, kPi* kHalf },
        AreaCase { "straight_cubic_round", straightCubic, makePen(LineCap::Round, LineCap::Round),
            100 * kWidth + kPi* kHalf* kHalf, 2 * kPi* kHalf },
        AreaCase { "dot_round", dotCubic, makePen(LineCap::Round, LineCap::Round), kPi* kHalf* kHalf,
            2 * kPi* kHalf },
        AreaCase { "dot_square", dotCubic, makePen(LineCap::Square, LineCap::Square), kWidth* kWidth, 0 },
        AreaCase { "point_round", singlePoint, makePen(LineCap::Round, LineCap::Round), kPi* kHalf* kHalf,
            2 * kPi* kHalf },
        AreaCase {
            "corner_bevel", rightAngle, makePen(LineCap::Flat, LineCap::Flat, LineJoin::Bevel), 1987.5, 0 },
        AreaCase {
            "corner_miter", rightAngle, makePen(LineCap::Flat, LineCap::Flat, LineJoin::Miter), 2000, 0 },
        AreaCase { "corner_round", rightAngle, makePen(LineCap::Flat, LineCap::Flat, LineJoin::Round),
            1975 + kPi* kHalf* kHalf / 4, kPi* kHalf / 2 },
        // 100×12 body, the 5×2 stub of the short segment and two bevel triangles.
        AreaCase { "hairpin_bevel", hairpin, makePen(LineCap::Flat, LineCap::Flat, LineJoin::Bevel),
            1200 + 10 + 2 * 12.5, 0 },
        // 100×10 body, the 5×1 part of the short segment beyond it, and the bevel triangle.
        AreaCase { "hook_bevel", hook, makePen(LineCap::Flat, LineCap::Flat, LineJoin::Bevel), 1017.5, 0 },
        AreaCase { "ring_miter", closedSquare, makePen(LineCap::Round, LineCap::Round, LineJoin::Miter),
            110 * 110 - 90 * 90, 0 },
        AreaCase { "ring_bevel", closedSquare, makePen(LineCap::Round, LineCap::Round, LineJoin::Bevel),
            110 * 110 - 90 * 90 - 4 * kHalf* kHalf / 2, 0 },
        AreaCase { "ring_round", closedSquare, makePen(LineCap::Round, LineCap::Round, LineJoin::Round),
            110 * 110 - 90 * 90 - (4 - kPi) * kHalf* kHalf, 2 * kPi* kHalf },
        AreaCase { "circle_ring", circle, makePen(LineCap::Round, LineCap::Round, LineJoin::Bevel),
            kWidth* circleLength(), 2 * kPi * 100 },
        AreaCase { "arc_round", quarterArc, makePen(LineCap::Round, LineCap::Round, LineJoin::Bevel),
            kWidth* kQuarterLength + kPi* kHalf* kHalf, kQuarterLength * 2 + 2 * kPi* kHalf }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WidenTest, NothingToFill)
{
    struct Case {
        const char* name;
        GraphicsPath (*path)();
        float width;
    };
    const Case cases[] = {
        { "dot with flat caps", dotCubic, kWidth },
        { "zero width", segment, 0 },
        { "negative width", segment, -3 },
        { "NaN width", segment, std::numeric_limits<float>::quiet_NaN() },
    };
    for (const Case& k : cases) {
        GraphicsPath p = k.path();
        Pen pen = makePen(LineCap::Flat, LineCap::Flat);
        pen.width = k.width;
        p.Widen(pen, kFlatness);
        EXPECT_TRUE(p.IsEmpty()) << k.name;
    }
}

TEST(WidenTest, SharpMiterIsCutAtTheLimit)
{
    GraphicsPath p;
    // Turns back by all but about 1.1 degrees, a miter ratio near 100.
    const PointF v[] = { { 0, 0 }, { 100, 0 }, { 0, 2 } };
    p.AddLines(v);
    struct Case {
        LineJoin join;
        double minRight;
        double maxRight;
    };
    const Case cases[] = {
        // The cut is square to the bisector, which is tilted by half a degree here.
        { LineJoin::Miter, 100 + 10 * kHalf - 0.5, 100 + 10 * kHalf + 0.1 },
        { LineJoin::Bevel, 100, 100 + kHalf + 0.01 },
        { LineJoin::Round, 100 + kHalf - kFlatness, 100 + kHalf + 0.01 },
    };
    for (const Case& k : cases) {
        GraphicsPath w = p;
        w.Widen(makePen(LineCap::Flat, LineCap::Flat, k.join), kFlatness);
        EXPECT_GE(w.GetBounds().GetRight(), k.minRight) << int(k.join);
        EXPECT_LE(w.GetBounds().GetRight(), k.maxRight) << int(k.join);
    }
}

// A curved track with a tight bend: points safely inside the true stroke
// must be filled and points safely outside must not, checked by Qt's own
// winding containment on the outline.
TEST(WidenTest, CurvedTrackOutlineStaysWithinFlatnessOfTheTrueStroke)
{
    const Cubic curves[] = {
        { { 0, 0 }, { 100, 120 }, { 200, -120 }, { 300, 0 } },
        { { 0, 0 }, { 60, 40 }, { -20, 40 }, { 40, 0 } }, // loops tighter than the pen
    };
    for (const Cubic& c : curves) {
        GraphicsPath p;
        p.AddBezier(c.p0, c.p1, c.p2, c.p3);
        p.Widen(makePen(LineCap::Round, LineCap::Round, LineJoin::Miter), kFlatness);
        const QPainterPath filled = referencePainterPath(p, FillMode::Winding);
        const std::vector<PointF> dense = sampleCubic(c, 4000);
        int checkedOutside = 0;
        for (std::size_t i = 0; i < dense.size(); i += 7) {
            const PointF a = dense[i], b = dense[std::min(i + 1, dense.size() - 1)];
            const PointF d = i + 1 < dense.size() ? b - a : a - dense[i - 1];
            const double len = std::hypot(d.X, d.Y);
            const double nx = -d.Y / len, ny = d.X / len;
            for (double side : { -1.0, 1.0 }) {
                for (double r : { 0.0, 0.5 * kHalf, kHalf - kFlatness - 0.02 }) {
                    const QPointF q(a.X + side * r * nx, a.Y + side * r * ny);
                    EXPECT_TRUE(filled.contains(q)) << q.x() << "," << q.y();
                    EXPECT_TRUE(p.IsVisible({ float(q.x()), float(q.y()) }));
                }
                // The flattened centre line cuts inside bends, moving the stroke by up to the flatness.
                const double beyond = kHalf + kFlatness + 0.05;
                const PointF out { float(a.X + side * beyond * nx), float(a.Y + side * beyond * ny) };
                if (distanceToPolyline(out, dense) > beyond - 0.03) {
                    ++checkedOutside;
                    EXPECT_FALSE(filled.contains(QPointF(out.X, out.Y))) << out.X << "," << out.Y;
                }
            }
        }
        EXPECT_GT(checkedOutside, 100);
    }
}

TEST(WidenTest, EveryFigureIsClosedAndNoVertexLeavesTheStroke)
{
    GraphicsPath p;
    const PointF v[] = { { 0, 0 }, { 50, 0 }, { 50, 50 }, { 0, 50 }, { 25, 10 } };
    p.AddLines(v);
    p.AddEllipse({ 100, 0, 40, 40 });
    GraphicsPath centre = p;
    centre.Flatten(0.01f);
    const auto centreFigures = figuresOf(centre);
    p.Widen(makePen(LineCap::Round, LineCap::Square, LineJoin::Round), kFlatness);
    const auto figures = figuresOf(p);
    ASSERT_GE(figures.size(), 3u);
    std::size_t index = 0;
    for (const auto& fig : figures) {
        index += fig.size();
        EXPECT_TRUE(p.Types()[index - 1] & PathPointTypeCloseSubpath);
        for (PointF q : fig) {
            double nearest = 1e9;
            for (const auto& cf : centreFigures)
                nearest = std::min(nearest, distanceToPolyline(q, cf));
            // Square caps reach half a width along the track: corners at √2 × half width.
            EXPECT_LE(nearest, kHalf * std::sqrt(2.0) + 0.01) << q.X << "," << q.Y;
        }
    }
}

} // namespace
} // namespace vesk
