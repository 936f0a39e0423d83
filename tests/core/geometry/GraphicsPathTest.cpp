#include "geometry/GraphicsPath.h"

#include "GeometryTestUtil.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace vesk {
namespace {

using namespace testutil;

constexpr std::uint8_t S = PathPointTypeStart;
constexpr std::uint8_t L = PathPointTypeLine;
constexpr std::uint8_t B = PathPointTypeBezier;
constexpr std::uint8_t C = PathPointTypeCloseSubpath;

std::vector<PointF> pointsOf(const GraphicsPath& p)
{
    return { p.Points().begin(), p.Points().end() };
}
std::vector<std::uint8_t> typesOf(const GraphicsPath& p)
{
    return { p.Types().begin(), p.Types().end() };
}

// ---- building figures -------------------------------------------------

TEST(GraphicsPathBuild, AddRectangleGoesRightThenDownAndCloses)
{
    GraphicsPath p;
    p.AddRectangle({ 1, 2, 10, 20 });
    EXPECT_EQ(pointsOf(p), (std::vector<PointF> { { 1, 2 }, { 11, 2 }, { 11, 22 }, { 1, 22 } }));
    EXPECT_EQ(typesOf(p), (std::vector<std::uint8_t> { S, L, L, L | C }));
}

TEST(GraphicsPathBuild, AddEllipseIsFourQuadrantsFromTheRightTowardsPlusY)
{
    GraphicsPath p;
    p.AddEllipse({ 0, 0, 20, 10 });
    const float k = 0.5522847498f;
    const float kx = 10 * k, ky = 5 * k;
    const std::vector<PointF> expected {
        { 20, 5 },
        { 20, 5 + ky },
        { 10 + kx, 10 },
        { 10, 10 },
        { 10 - kx, 10 },
        { 0, 5 + ky },
        { 0, 5 },
        { 0, 5 - ky },
        { 10 - kx, 0 },
        { 10, 0 },
        { 10 + kx, 0 },
        { 20, 5 - ky },
        { 20, 5 },
    };
    ASSERT_EQ(p.GetPointCount(), 13);
    for (int i = 0; i < 13; ++i) {
        EXPECT_NEAR(p.Points()[i].X, expected[i].X, 1e-5f) << i;
        EXPECT_NEAR(p.Points()[i].Y, expected[i].Y, 1e-5f) << i;
    }
    EXPECT_EQ(typesOf(p), (std::vector<std::uint8_t> { S, B, B, B, B, B, B, B, B, B, B, B, B | C }));
}

TEST(GraphicsPathBuild, OpenFigureContinuationRules)
{
    struct Case {
        const char* name;
        void (*build)(GraphicsPath&);
        std::vector<PointF> points;
        std::vector<std::uint8_t> types;
    };
    const Case cases[] = {
        { "a line continues from a different point with a connecting line",
            [](GraphicsPath& p) {
                p.AddLine({ 0, 0 }, { 1, 0 });
                p.AddLine({ 2, 0 }, { 3, 0 });
            },
            { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 } }, { S, L, L, L } },
        { "a shared point is not repeated",
            [](GraphicsPath& p) {
                p.AddLine({ 0, 0 }, { 1, 0 });
                p.AddBezier({ 1, 0 }, { 2, 1 }, { 3, 1 }, { 4, 0 });
            },
            { { 0, 0 }, { 1, 0 }, { 2, 1 }, { 3, 1 }, { 4, 0 } }, { S, L, B, B, B } },
        { "StartFigure begins a new figure",
            [](GraphicsPath& p) {
                p.AddLine({ 0, 0 }, { 1, 0 });
                p.StartFigure();
                p.AddLine({ 1, 0 }, { 2, 0 });
            },
            { { 0, 0 }, { 1, 0 }, { 1, 0 }, { 2, 0 } }, { S, L, S, L } },
        { "CloseFigure marks the last point and ends the figure",
            [](GraphicsPath& p) {
                const PointF v[] = { { 0, 0 }, { 1, 0 }, { 1, 1 } };
                p.AddLines(v);
                p.CloseFigure();
                p.AddLine({ 1, 1 }, { 5, 5 });
            },
            { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 1, 1 }, { 5, 5 } }, { S, L, L | C, S, L } },
        { "a polygon is a closed figure of its own, after which lines start anew",
            [](GraphicsPath& p) {
                p.AddLine({ 0, 0 }, { 1, 0 });
                const PointF v[] = { { 5, 5 }, { 6, 5 }, { 6, 6 } };
                p.AddPolygon(v);
                p.AddLine({ 6, 6 }, { 7, 7 });
            },
            { { 0, 0 }, { 1, 0 }, { 5, 5 }, { 6, 5 }, { 6, 6 }, { 6, 6 }, { 7, 7 } },
            { S, L, S, L, L | C, S, L } },
        { "AddBeziers takes 3k+1 points and ignores other counts",
            [](GraphicsPath& p) {
                const PointF good[]
                    = { { 0, 0 }, { 1, 1 }, { 2, 1 }, { 3, 0 }, { 4, -1 }, { 5, -1 }, { 6, 0 } };
                const PointF bad[] = { { 9, 9 }, { 8, 8 }, { 7, 7 } };
                p.AddBeziers(good);
                p.AddBeziers(bad);
            },
            { { 0, 0 }, { 1, 1 }, { 2, 1 }, { 3, 0 }, { 4, -1 }, { 5, -1 }, { 6, 0 } },
            { S, B, B, B, B, B, B } },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        GraphicsPath p;
        k.build(p);
        EXPECT_EQ(pointsOf(p), k.points);
        EXPECT_EQ(typesOf(p), k.types);
    }
}

class AddPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        base.AddLine({ 0, 0 }, { 10, 0 });
        other.AddLine({ 20, 0 }, { 30, 0 });
        other.AddRectangle({ 0, 10, 5, 5 });
    }
    GraphicsPath base;
    GraphicsPath other;
};

TEST_F(AddPathTest, KeepsFiguresSeparateByDefault)
{
    base.AddPath(other);
    EXPECT_EQ(typesOf(base), (std::vector<std::uint8_t> { S, L, S, L, S, L, L, L | C }));
    EXPECT_EQ(base.Points()[2], PointF(20, 0));
}

TEST_F(AddPathTest, ConnectJoinsTheFirstAddedFigureToTheOpenOne)
{
    base.AddPath(other, true);
    EXPECT_EQ(typesOf(base), (std::vector<std::uint8_t> { S, L, L, L, S, L, L, L | C }));
}

TEST_F(AddPathTest, AppendingItselfDoublesTheFigures)
{
    other.AddPath(other);
    EXPECT_EQ(other.GetPointCount(), 12);
    EXPECT_EQ(typesOf(other), (std::vector<std::uint8_t> { S, L, S, L, L, L | C, S, L, S, L, L, L | C }));
}

TEST(GraphicsPathBuild, ResetClearsPointsAndFillMode)
{
    GraphicsPath p(FillMode::Winding);
    p.AddRectangle({ 0, 0, 1, 1 });
    p.Reset();
    EXPECT_TRUE(p.IsEmpty());
    EXPECT_EQ(p.GetFillMode(), FillMode::Alternate);
    p.AddLine({ 0, 0 }, { 1, 1 });
    EXPECT_EQ(typesOf(p), (std::vector<std::uint8_t> { S, L }));
}

TEST(GraphicsPathBuild, CloneIsIndependent)
{
    GraphicsPath p(FillMode::Winding);
    p.AddRectangle({ 0, 0, 1, 1 });
    auto copy = p.Clone();
    p.AddLine({ 5, 5 }, { 6, 6 });
    EXPECT_EQ(copy->GetPointCount(), 4);
    EXPECT_EQ(copy->GetFillMode(), FillMode::Winding);
}

// ---- Reverse ---------------------------------------------------------

TEST(GraphicsPathReverse, ReversesFiguresAndTheirOrderKeepingTypesValid)
{
    GraphicsPath p;
    p.AddLine({ 0, 0 }, { 1, 0 });
    p.AddBezier({ 1, 0 }, { 2, 1 }, { 3, 1 }, { 4, 0 });
    const PointF tri[] = { { 10, 10 }, { 11, 10 }, { 11, 11 } };
    p.AddPolygon(tri);
    p.Reverse();
    EXPECT_EQ(pointsOf(p),
        (std::vector<PointF> {
            { 11, 11 }, { 11, 10 }, { 10, 10 }, { 4, 0 }, { 3, 1 }, { 2, 1 }, { 1, 0 }, { 0, 0 } }));
    EXPECT_EQ(typesOf(p), (std::vector<std::uint8_t> { S, L, L | C, S, B, B, B, L }));
}

TEST(GraphicsPathReverse, TwiceRestoresTheOriginal)
{
    GraphicsPath p;
    p.AddEllipse({ 0, 0, 10, 10 });
    p.AddLine({ 0, 0 }, { 5, 5 });
    p.AddBezier({ 5, 5 }, { 6, 6 }, { 7, 6 }, { 8, 5 });
    p.CloseFigure();
    GraphicsPath q = p;
    q.Reverse();
    q.Reverse();
    EXPECT_EQ(pointsOf(q), pointsOf(p));
    EXPECT_EQ(typesOf(q), typesOf(p));
}

// ---- Transform and bounds ---------------------------------------------

TEST(GraphicsPathBounds, EmptyPathHasZeroBounds)
{
    EXPECT_EQ(GraphicsPath().GetBounds(), RectF(0, 0, 0, 0));
}

TEST(GraphicsPathBounds, CurvesAreBoundedByTheirExtremaNotTheirControlPoints)
{
    const Cubic curves[] = {
        { { 0, 0 }, { 10, 40 }, { 30, -40 }, { 40, 0 } }, // S: one max, one min
        { { 0, 0 }, { 60, 60 }, { -20, 60 }, { 40, 0 } }, // loop
        { { 5, 5 }, { 5, 5 }, { 5, 5 }, { 5, 5 } }, // degenerate
        { { 0, 0 }, { 1, 1 }, { 2, 2 }, { 3, 3 } }, // straight
        { { 0, 0 }, { 100, 0 }, { 0, 0 }, { 1, 0 } }, // overshooting straight
    };
    for (const Cubic& c : curves) {
        GraphicsPath p;
        p.AddBezier(c.p0, c.p1, c.p2, c.p3);
        float l = 1e9f, t = 1e9f, r = -1e9f, b = -1e9f;
        for (PointF s : sampleCubic(c, 20000)) {
            l = std::min(l, s.X), r = std::max(r, s.X), t = std::min(t, s.Y), b = std::max(b, s.Y);
        }
        const RectF bounds = p.GetBounds();
        SCOPED_TRACE(c.p1.X);
        EXPECT_NEAR(bounds.GetLeft(), l, 1e-3f);
        EXPECT_NEAR(bounds.GetTop(), t, 1e-3f);
        EXPECT_NEAR(bounds.GetRight(), r, 1e-3f);
        EXPECT_NEAR(bounds.GetBottom(), b, 1e-3f);
    }
}

TEST(GraphicsPathBounds, EllipseBoundsAreItsRectangleAndFollowTransforms)
{
    GraphicsPath p;
    p.AddEllipse({ 10, 20, 30, 40 });
    const RectF b = p.GetBounds();
    EXPECT_NEAR(b.X, 10, 1e-4f);
    EXPECT_NEAR(b.Y, 20, 1e-4f);
    EXPECT_NEAR(b.Width, 30, 1e-4f);
    EXPECT_NEAR(b.Height, 40, 1e-4f);

    Matrix m;
    m.Rotate(90);
    m.Translate(100, 0, MatrixOrder::Append);
    p.Transform(m);
    const RectF r = p.GetBounds();
    EXPECT_NEAR(r.X, 100 - 60, 1e-4f);
    EXPECT_NEAR(r.Y, 10, 1e-4f);
    EXPECT_NEAR(r.Width, 40, 1e-4f);
    EXPECT_NEAR(r.Height, 30, 1e-4f);
}

// ---- containment ------------------------------------------------------

// Two 100-unit squares overlapping in [50,100]², and a third nested in the first.
GraphicsPath squares(bool nestedReversed)
{
    GraphicsPath p;
    p.AddRectangle({ 0, 0, 100, 100 });
    p.AddRectangle({ 50, 50, 100, 100 });
    if (nestedReversed) {
        const PointF hole[] = { { 10, 10 }, { 10, 40 }, { 40, 40 }, { 40, 10 } };
        p.AddPolygon(hole);
    } else {
        p.AddRectangle({ 10, 10, 30, 30 });
    }
    return p;
}

TEST(GraphicsPathContainment, WindingAndAlternateDifferWhereFiguresOverlap)
{
    struct Case {
        const char* name;
        bool nestedReversed;
        PointF point;
        bool alternate;
        bool winding;
    };
    const Case cases[] = {
        { "one figure", false, { 75, 25 }, true, true },
        { "overlap of two same-turning figures", false, { 75, 75 }, false, true },
        { "nested same-turning figure", false, { 25, 25 }, false, true },
        { "nested opposite-turning figure is a hole either way", true, { 25, 25 }, false, false },
        { "outside", false, { 125, 25 }, false, false },
        { "outside, beside a figure further along the ray", false, { -5, 25 }, false, false },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        GraphicsPath p = squares(k.nestedReversed);
        EXPECT_EQ(p.IsVisible(k.point), k.alternate);
        p.SetFillMode(FillMode::Winding);
        EXPECT_EQ(p.IsVisible(k.point), k.winding);
    }
}

TEST(GraphicsPathContainment, CurvedBoundaryIsFollowedClosely)
{
    GraphicsPath p;
    p.AddEllipse({ -50, -50, 100, 100 });
    // The Bezier circle strays from the true one by under 0.015, well inside the 0.05 margin.
    const double r = 50;
    for (int deg = 0; deg < 360; deg += 7) {
        const double a = deg * 3.14159265358979 / 180;
        const PointF in { float(std::cos(a) * (r - 0.05)), float(std::sin(a) * (r - 0.05)) };
        const PointF out { float(std::cos(a) * (r + 0.05)), float(std::sin(a) * (r + 0.05)) };
        EXPECT_TRUE(p.IsVisible(in)) << deg;
        EXPECT_FALSE(p.IsVisible(out)) << deg;
    }
}

TEST(GraphicsPathContainment, OpenFiguresFillAsIfClosed)
{
    GraphicsPath p;
    const PointF v[] = { { 0, 0 }, { 100, 0 }, { 0, 100 } };
    p.AddLines(v);
    EXPECT_TRUE(p.IsVisible({ 20, 20 }));
    EXPECT_FALSE(p.IsVisible({ 60, 60 }));
    GraphicsPath line;
    line.AddLine({ 0, 0 }, { 100, 100 });
    EXPECT_FALSE(line.IsVisible({ 50, 50 }));
}

// ---- region intersection ----------------------------------------------

// A 100-unit square frame with a 40-unit hole, plus a circle to its right.
class RegionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame.AddRectangle({ 0, 0, 100, 100 });
        frame.AddRectangle({ 30, 30, 40, 40 });
        frame.AddEllipse({ 200, 0, 100, 100 });
    }
    GraphicsPath frame;
};

TEST_F(RegionTest, IntersectsRectNeedsCommonArea)
{
    struct Case {
        const char* name;
        RectF rect;
        bool expected;
    };
    const Case cases[] = {
        { "partial overlap", { 90, 90, 20, 20 }, true },
        { "fully inside the filled ring", { 5, 5, 10, 10 }, true },
        { "containing everything", { -10, -10, 400, 200 }, true },
        { "over the hole and the ring", { 20, 40, 20, 10 }, true },
        { "inside the hole", { 35, 35, 30, 30 }, false },
        { "exactly the hole", { 30, 30, 40, 40 }, false },
        { "touching an outer edge", { 100, 10, 20, 20 }, false },
        { "touching a corner", { 100, 100, 10, 10 }, false },
        { "tangent to the circle", { 300, 40, 10, 20 }, false },
        { "just into the circle", { 299.5f, 45, 10, 10 }, true },
        { "between the figures", { 110, 10, 80, 80 }, false },
        { "zero area inside", { 10, 10, 0, 50 }, false },
    };
    for (const Case& k : cases)
        EXPECT_EQ(frame.IntersectsRect(k.rect), k.expected) << k.name;
}

TEST_F(RegionTest, IntersectsPathNeedsCommonArea)
{
    struct Case {
        const char* name;
        void (*build)(GraphicsPath&);
        bool expected;
    };
    const Case cases[] = {
        { "overlapping circle",
            [](GraphicsPath& p) {
                p.AddEllipse({ 90, 40, 20, 20 });
            },
            true },
        { "circle inside the hole",
            [](GraphicsPath& p) {
                p.AddEllipse({ 35, 35, 30, 30 });
            },
            false },
        { "square filling the hole exactly",
            [](GraphicsPath& p) {
                p.AddRectangle({ 30, 30, 40, 40 });
            },
            false },
        { "surrounding square",
            [](GraphicsPath& p) {
                p.AddRectangle({ -50, -50, 500, 500 });
            },
            true },
        { "touching along an edge",
            [](GraphicsPath& p) {
                p.AddRectangle({ 100, 0, 50, 50 });
            },
            false },
        { "a line has no area",
            [](GraphicsPath& p) {
                p.AddLine({ -10, 50 }, { 400, 50 });
            },
            false },
        { "inside the circle",
            [](GraphicsPath& p) {
                p.AddRectangle({ 240, 40, 20, 20 });
            },
            true },
    };
    for (const Case& k : cases) {
        GraphicsPath other;
        k.build(other);
        EXPECT_EQ(frame.IntersectsPath(other), k.expected) << k.name;
        EXPECT_EQ(other.IntersectsPath(frame), k.expected) << k.name << " (swapped)";
    }
}

TEST(GraphicsPathRegion, FillModeDecidesWhatOverlaps)
{
    GraphicsPath p = squares(false);
    const RectF nested { 20, 20, 5, 5 };
    EXPECT_FALSE(p.IntersectsRect(nested));
    p.SetFillMode(FillMode::Winding);
    EXPECT_TRUE(p.IntersectsRect(nested));
}

// ---- union outline ----------------------------------------------------

TEST(GraphicsPathOutline, ReproducesTheFilledAreaUnderEitherRule)
{
    for (FillMode mode : { FillMode::Alternate, FillMode::Winding }) {
        SCOPED_TRACE(int(mode));
        GraphicsPath p = squares(false);
        p.AddEllipse({ 120, -20, 60, 60 });
        p.SetFillMode(mode);
        GraphicsPath outline = p;
        outline.WindingModeOutline(0.1f);
        EXPECT_TRUE(isLinesOnly(outline));
        for (std::size_t i = 0; i < outline.Types().size(); ++i) {
            const bool figureEnds
                = i + 1 == outline.Types().size() || outline.Types()[i + 1] == PathPointTypeStart;
            EXPECT_EQ(figureEnds, (outline.Types()[i] & PathPointTypeCloseSubpath) != 0) << i;
        }
        for (int y = -25; y <= 155; y += 3) {
            for (int x = -5; x <= 185; x += 3) {
                const PointF pt { x + 0.5f, y + 0.5f };
                // Flattening may move the circle's edge by up to the flatness.
                if (std::abs(distance(pt, { 150, 10 }) - 30) < 0.2)
                    continue;
                const bool expected = p.IsVisible(pt);
                outline.SetFillMode(FillMode::Alternate);
                EXPECT_EQ(outline.IsVisible(pt), expected) << x << "," << y;
                outline.SetFillMode(FillMode::Winding);
                EXPECT_EQ(outline.IsVisible(pt), expected) << x << "," << y;
            }
        }
    }
}

} // namespace
} // namespace vesk
