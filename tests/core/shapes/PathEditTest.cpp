// Point editing of paths: picking, selecting, moving and rotating anchors and
// control points, pulling and retracting control points, inserting and
// removing anchors, and building a path anchor by anchor.

#include "PathTestSupport.h"
#include "io/Veskfilestream.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>

namespace vesk {
// Readable failure output for points (found by argument-dependent lookup).
static void PrintTo(const PointF& p, std::ostream* os)
{
    *os << '(' << p.X << ", " << p.Y << ')';
}
} // namespace vesk

namespace vesk::test {
namespace {

constexpr std::uint8_t kSel = pfSelected;
constexpr std::uint8_t kSmooth = pfSmooth;
constexpr std::uint8_t kCurve = pfCurve;

PointF World(const TVeskPath& path, size_t i)
{
    return path.GetMatrixRef().TransformPoint(path.Points()[i]);
}

void ExpectPointNear(PointF actual, PointF expected, float tolerance = 1e-3f)
{
    EXPECT_NEAR(actual.X, expected.X, tolerance);
    EXPECT_NEAR(actual.Y, expected.Y, tolerance);
}

// Placements the point operations must see through: moved, turned, scaled, mirrored.
Matrix Moved()
{
    return Matrix(1, 0, 0, 1, 100, 50);
}
Matrix Turned()
{
    Matrix m;
    m.Rotate(30);
    m.Translate(100, 50, MatrixOrder::Append);
    return m;
}
Matrix Stretched()
{
    return Matrix(2, 0, 0, 0.5f, 100, 50);
}
Matrix Mirrored()
{
    return Matrix(-1, 0, 0, 1, 100, 50);
}

struct Placement {
    const char* name;
    Matrix (*matrix)();
};
const Placement kPlacements[] = {
    { "moved", Moved },
    { "turned", Turned },
    { "stretched", Stretched },
    { "mirrored", Mirrored },
};

PointF RotatedAbout(PointF p, PointF centre, float degrees)
{
    Matrix r;
    r.RotateAt(degrees, centre, MatrixOrder::Append);
    return r.TransformPoint(p);
}

class PathEditTest : public PathTest {
protected:
    std::unique_ptr<TVeskPath> Make(std::vector<PointF> entries, std::vector<std::uint8_t> flags,
        bool closed = false, const Matrix& matrix = Matrix(), const TVeskSurface& surface = Stroke(1))
    {
        auto path = std::make_unique<TVeskPath>(solder, surface);
        path->SetPoints(std::move(entries), std::move(flags));
        path->SetClosed(closed);
        path->SetMatrix(matrix);
        return path;
    }

    // Anchors (0,0), (20,0), (40,0); anchor 1 pulled out to (15,-10) and (25,10).
    static std::vector<PointF> CurvedEntries()
    {
        return { { 0, 0 }, { 0, 0 }, { 15, -10 }, { 20, 0 }, { 25, 10 }, { 40, 0 }, { 40, 0 }, { 40, 0 },
            { 0, 0 } };
    }

    // Four anchors on a line, every entry distinct so that moved entries show.
    static std::vector<PointF> DistinctEntries(int anchors)
    {
        std::vector<PointF> e;
        for (int k = 0; k < anchors; ++k) {
            const float x = 30.0f * float(k);
            e.insert(e.end(), { { x, 0 }, { x + 5, 5 }, { x + 25, -5 } });
        }
        return e;
    }
    // Flag bytes that name their entry, to follow them through insertions and removals.
    static std::vector<std::uint8_t> TaggedFlags(size_t n)
    {
        std::vector<std::uint8_t> f(n);
        for (size_t i = 0; i < n; ++i)
            f[i] = std::uint8_t(0x08 * (i + 1)); // above the pf bits
        return f;
    }
};

// ---------------------------------------------------------------- picking

struct PickCase {
    const char* name;
    Matrix matrix;
    double viewScale;
    PointF click;
    int expected;
};

TEST_F(PathEditTest, PickBoxIsHalfOpenAndSizedInLocalUnits)
{
    // Anchor 1 lies at local (10,0); the pick radius is 3 pixels.
    const PickCase cases[] = {
        { "exactly t right of the anchor", Moved(), 1, { 113, 50 }, 2 },
        { "exactly t below the anchor", Moved(), 1, { 110, 53 }, 2 },
        { "exactly t left of the anchor: only the line", Moved(), 1, { 107, 50 }, 1 },
        { "exactly t above the anchor: nothing", Moved(), 1, { 110, 47 }, 0 },
        { "zoomed in halves the box", Moved(), 2, { 111.5f, 50 }, 2 },
        { "zoomed in, left edge excluded", Moved(), 2, { 108.5f, 50 }, 1 },
        { "scaled placement: t stays local", Matrix(2, 0, 0, 2, 100, 50), 1, { 126, 50 }, 2 },
        { "scaled placement, left edge", Matrix(2, 0, 0, 2, 100, 50), 1, { 114, 50 }, 1 },
        { "turned placement: local x is world y", Matrix(0, 1, -1, 0, 100, 50), 1, { 100, 63 }, 2 },
        { "turned placement: local top excluded", Matrix(0, 1, -1, 0, 100, 50), 1, { 103, 60 }, 0 },
        { "broken view scale counts as 1", Moved(), 0, { 113, 50 }, 2 },
    };
    for (const PickCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto path = Make(Polyline({ { 0, 0 }, { 10, 0 }, { 10, 10 } }), {}, false, c.matrix);
        path->SetViewScale(c.viewScale);
        EXPECT_EQ(path->HitHandle(c.click, 3), c.expected);
        EXPECT_EQ(path->SelectHandleAt(c.click, 3), c.expected);
        EXPECT_EQ(bool(path->PointFlags()[3] & kSel), c.expected == 2);
        EXPECT_EQ(path->IsPointEditing(), c.expected != 0);
    }
}

TEST_F(PathEditTest, ControlPointsArePickedOnlyOnSelectedAnchors)
{
    auto path = Make(CurvedEntries(), {});
    EXPECT_EQ(path->HitHandle({ 25, 10 }, 3), 0);
    EXPECT_EQ(path->SelectHandleAt({ 25, 10 }, 3), 0);
    EXPECT_FALSE(path->IsHandleEditing());

    EXPECT_EQ(path->SelectHandleAt({ 20, 0 }, 3), 2);
    EXPECT_EQ(path->HitHandle({ 25, 10 }, 3), 4);
    EXPECT_EQ(path->HitHandle({ 15, -10 }, 3), 4);
    EXPECT_EQ(path->HitHandle({ 20, 0 }, 3), 2);

    EXPECT_EQ(path->SelectHandleAt({ 25, 10 }, 3), 4);
    EXPECT_TRUE(path->IsHandleEditing());
    EXPECT_TRUE(path->PointFlags()[4] & kSel);
    // A second control point replaces the first.
    EXPECT_EQ(path->SelectHandleAt({ 15, -10 }, 3), 4);
    EXPECT_FALSE(path->PointFlags()[4] & kSel);
    EXPECT_TRUE(path->PointFlags()[2] & kSel);
}

TEST_F(PathEditTest, SelectingAnAnchorAddsToTheSelectionAndABodyHitSelectsNone)
{
    auto path = Make(CurvedEntries(), {});
    ASSERT_EQ(path->SelectHandleAt({ 20, 0 }, 3), 2);
    ASSERT_EQ(path->SelectHandleAt({ 25, 10 }, 3), 4);

    EXPECT_EQ(path->SelectHandleAt({ 0, 0 }, 3), 2);
    EXPECT_FALSE(path->IsHandleEditing());
    const std::vector<std::uint8_t> bothAnchors { kSmooth | kSel, kSmooth, kSmooth, kSmooth | kSel, kSmooth,
        kSmooth, kSmooth, kSmooth, kSmooth };
    EXPECT_EQ(path->PointFlags(), bothAnchors);

    // On the second segment's line, away from every anchor.
    path->SetHandlesSelected(false);
    EXPECT_FALSE(path->IsPointEditing());
    EXPECT_EQ(path->SelectHandleAt({ 31.875f, 3.75f }, 3), 1);
    EXPECT_TRUE(path->IsPointEditing());
    EXPECT_EQ(path->PointFlags(), std::vector<std::uint8_t>(9, kSmooth));

    EXPECT_EQ(path->HitSelectedHandle({ 20, 0 }, 3), 0);
    path->SelectHandleAt({ 20, 0 }, 3);
    EXPECT_EQ(path->HitSelectedHandle({ 20, 0 }, 3), 2);
    EXPECT_EQ(path->HitSelectedHandle({ 0, 0 }, 3), 0);
}

TEST_F(PathEditTest, RectangleSelectionUsesWorldPositionsAndKeepsAnchorsOutside)
{
    // Anchors at world (100,50), (120,50), (140,50).
    std::vector<std::uint8_t> flags(9, kSmooth);
    flags[0] |= kSel;
    flags[4] |= kSel; // a control point being edited
    auto path = Make(CurvedEntries(), flags, false, Moved());

    EXPECT_FALSE(path->HandleInRect({ 0, 0, 20, 20 }));
    EXPECT_FALSE(path->HandleInRect({ 110, 40, 10, 20 })); // right edge on anchor 1: excluded
    EXPECT_TRUE(path->HandleInRect({ 120, 40, 10, 20 }));
    EXPECT_EQ(path->PointFlags(), flags); // asking changes nothing

    EXPECT_FALSE(path->SelectHandlesIn({ 0, 0, 20, 20 }));
    EXPECT_FALSE(path->PointFlags()[4] & kSel);
    EXPECT_TRUE(path->PointFlags()[0] & kSel);

    EXPECT_TRUE(path->SelectHandlesIn({ 130, 40, 20, 20 }));
    EXPECT_TRUE(path->IsPointEditing());
    EXPECT_TRUE(path->PointFlags()[6] & kSel);
    EXPECT_TRUE(path->PointFlags()[0] & kSel);
    EXPECT_FALSE(path->PointFlags()[3] & kSel);
}

// ---------------------------------------------------------------- moves and rotations

TEST_F(PathEditTest, MovingSelectedAnchorsTakesTheirControlPointsAlong)
{
    struct Case {
        size_t anchor;
        std::vector<size_t> moved;
    };
    // Anchor 0 takes the last entry, its incoming control point, along.
    const Case cases[] = { { 0, { 8, 0, 1 } }, { 3, { 2, 3, 4 } }, { 6, { 5, 6, 7 } } };
    for (const Placement& placement : kPlacements) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(placement.name) + " anchor " + std::to_string(c.anchor));
            std::vector<std::uint8_t> flags(9, kSmooth);
            flags[c.anchor] |= kSel;
            auto path = Make(CurvedEntries(), flags, false, placement.matrix());
            std::vector<PointF> before;
            for (size_t i = 0; i < 9; ++i)
                before.push_back(World(*path, i));

            path->MoveSelection(6, -4, MatrixOrder::Append);
            for (size_t i = 0; i < 9; ++i) {
                const bool moved = std::find(c.moved.begin(), c.moved.end(), i) != c.moved.end();
                ExpectPointNear(World(*path, i), moved ? before[i] + PointF(6, -4) : before[i]);
            }
            EXPECT_TRUE(path->HitTest(World(*path, c.anchor)));
        }
    }
}

TEST_F(PathEditTest, RotatingSelectedAnchorsTurnsThemAsSeenInTheDocument)
{
    // The mirrored and stretched placements turn the other way, or shear, if
    // the turn is built in the path's own coordinates.
    const PointF centre(110, 40);
    for (const Placement& placement : kPlacements) {
        for (const float degrees : { 90.0f, 30.0f }) {
            SCOPED_TRACE(std::string(placement.name) + " " + std::to_string(degrees));
            std::vector<std::uint8_t> flags(9, kSmooth);
            flags[3] |= kSel;
            auto path = Make(CurvedEntries(), flags, false, placement.matrix());
            std::vector<PointF> before;
            for (size_t i = 0; i < 9; ++i)
                before.push_back(World(*path, i));

            path->RotateSelectionAt(degrees, centre, MatrixOrder::Append);
            for (size_t i = 0; i < 9; ++i) {
                const bool turned = i >= 2 && i <= 4;
                ExpectPointNear(
                    World(*path, i), turned ? RotatedAbout(before[i], centre, degrees) : before[i]);
            }
        }
    }
}

TEST_F(PathEditTest, MovesAndRotationsWithoutSelectedPointsChangeNothing)
{
    auto path = Make(CurvedEntries(), {}, false, Turned());
    path->SetSelected(true); // a whole-object selection is not a point selection
    const auto points = path->Points();
    path->MoveSelection(5, 5, MatrixOrder::Append);
    path->RotateSelectionAt(45, { 0, 0 }, MatrixOrder::Append);
    path->MoveControlPoints(5, 5, MatrixOrder::Append);
    path->RotateControlPointsAt(45, { 0, 0 }, MatrixOrder::Append);
    EXPECT_EQ(path->Points(), points);
    EXPECT_EQ(path->GetMatrixRef(), Turned());

    // A control point flagged without being picked is not edited.
    std::vector<std::uint8_t> flags(9, kSmooth);
    flags[3] |= kSel;
    flags[4] |= kSel;
    path->SetPoints(CurvedEntries(), flags);
    path->MoveControlPoints(5, 5, MatrixOrder::Append);
    EXPECT_EQ(path->Points(), CurvedEntries());
}

// ---------------------------------------------------------------- control points

struct ControlCase {
    const char* name;
    std::vector<PointF> entries;
    bool smooth;
    size_t anchor; // picked first
    size_t control; // then its control point
    PointF move; // local displacement
    size_t opposite;
    PointF expectedOpposite;
};

TEST_F(PathEditTest, MovingAControlPointKeepsASmoothAnchorCollinear)
{
    // Anchor 1 at (20,0) with control points (10,0) and (30,0).
    const std::vector<PointF> straight { { 0, 0 }, { 0, 0 }, { 10, 0 }, { 20, 0 }, { 30, 0 }, { 40, 0 },
        { 40, 0 }, { 40, 0 }, { 0, 0 } };
    std::vector<PointF> retracted = straight;
    retracted[2] = { 20, 0 };
    // Anchor 0 of a closed square: its control points are entry 1 and the last entry.
    const std::vector<PointF> square { { 0, 0 }, { 10, 0 }, { 40, 0 }, { 40, 0 }, { 40, 0 }, { 40, 40 },
        { 40, 40 }, { 40, 40 }, { 0, 40 }, { 0, 40 }, { 0, 40 }, { 0, 10 } };
    const float s = 10 / std::sqrt(2.0f);
    const ControlCase cases[] = {
        { "outgoing turns the incoming, which keeps its length", straight, true, 3, 4, { 0, 10 }, 2,
            { 20 - s, -s } },
        { "incoming turns the outgoing", straight, true, 3, 2, { 0, -10 }, 4, { 20 + s, s } },
        { "unlinked control points move alone", straight, false, 3, 4, { 0, 10 }, 2, { 10, 0 } },
        { "an opposite of length zero stays on the anchor", retracted, true, 3, 4, { 0, 10 }, 2, { 20, 0 } },
        { "moved onto the anchor: opposite unchanged", straight, true, 3, 4, { -10, 0 }, 2, { 10, 0 } },
        { "anchor 0's outgoing turns the last entry", square, true, 0, 1, { 0, 10 }, 11, { -s, -s } },
        { "the last entry turns anchor 0's outgoing", square, true, 0, 11, { -10, 0 }, 1, { s, -s } },
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto path = Make(c.entries, std::vector<std::uint8_t>(c.entries.size(), c.smooth ? kSmooth : 0),
            c.entries.size() == 12, Turned());
        ASSERT_EQ(path->SelectHandleAt(World(*path, c.anchor), 3), 2);
        ASSERT_EQ(path->SelectHandleAt(World(*path, c.control), 3), 4);
        const std::vector<PointF> before = path->Points();

        const PointF worldMove = Turned().TransformVector(c.move);
        path->MoveControlPoints(worldMove.X, worldMove.Y, MatrixOrder::Append);
        ExpectPointNear(path->Points()[c.control], before[c.control] + c.move);
        ExpectPointNear(path->Points()[c.opposite], c.expectedOpposite);
        for (size_t i = 0; i < before.size(); ++i) {
            if (i != c.control && i != c.opposite) {
                EXPECT_EQ(path->Points()[i], before[i]) << i;
            }
        }
    }
}

TEST_F(PathEditTest, RotatingAControlPointTurnsTheOppositeWithIt)
{
    auto path = Make(
        { { 0, 0 }, { 0, 0 }, { 10, 0 }, { 20, 0 }, { 35, 0 }, { 40, 0 }, { 40, 0 }, { 40, 0 }, { 0, 0 } },
        {}, false, Mirrored());
    ASSERT_EQ(path->SelectHandleAt(World(*path, 3), 3), 2);
    ASSERT_EQ(path->SelectHandleAt(World(*path, 4), 3), 4);
    const PointF anchor = World(*path, 3);
    const PointF outgoing = World(*path, 4);

    path->RotateControlPointsAt(90, anchor, MatrixOrder::Append);
    ExpectPointNear(World(*path, 4), RotatedAbout(outgoing, anchor, 90));
    // The incoming one points the other way and keeps its length of 10.
    ExpectPointNear(
        World(*path, 2), RotatedAbout(anchor + (anchor - outgoing) * (10.0f / 15.0f), anchor, 90));
    ExpectPointNear(World(*path, 3), anchor);
}

TEST_F(PathEditTest, DraggingAnAnchorPullsOutMirroredControlPoints)
{
    TVeskPath path(solder, Stroke(1));
    path.BeginPath();
    path.AppendAnchor({ 100, 50 });
    path.AppendAnchor({ 110, 50 });

    path.DragControlHandle({ 100, 50 }, { 103, 54 });
    EXPECT_EQ(path.Points()[1], PointF(3, 4));
    EXPECT_EQ(path.Points()[5], PointF(-3, -4)); // the incoming control point of anchor 0
    const std::vector<std::uint8_t> flags { kSmooth | kCurve | kSel, kSmooth | kCurve, kSmooth, kSmooth,
        kSmooth, kSmooth | kCurve };
    EXPECT_EQ(path.PointFlags(), flags);

    // Dragging the second anchor leaves the first deselected.
    path.DragControlHandle({ 110, 50 }, { 115, 50 });
    EXPECT_EQ(path.Points()[4], PointF(15, 0));
    EXPECT_EQ(path.Points()[2], PointF(5, 0));
    EXPECT_FALSE(path.PointFlags()[0] & kSel);
    EXPECT_TRUE(path.PointFlags()[3] & kSel);

    // Away from every anchor nothing happens.
    const auto points = path.Points();
    const auto pointFlags = path.PointFlags();
    path.DragControlHandle({ 105, 60 }, { 0, 0 });
    EXPECT_EQ(path.Points(), points);
    EXPECT_EQ(path.PointFlags(), pointFlags);
}

TEST_F(PathEditTest, ResettingRetractsAnAnchorOrUnlinksItsControlPoints)
{
    TVeskPath path(solder, Stroke(1));
    path.BeginPath();
    for (const PointF p : { PointF(100, 50), PointF(120, 50), PointF(140, 50) })
        path.AppendAnchor(p);
    path.DragControlHandle({ 120, 50 }, { 125, 55 });
    path.SelectHandleAt({ 100, 50 }, 3); // a second selected anchor

    // On a control point of the selected anchor: unlinked, geometry kept.
    const auto curved = path.Points();
    path.ResetHandleAt({ 125, 55 });
    EXPECT_EQ(path.Points(), curved);
    for (const size_t i : { 2u, 3u, 4u })
        EXPECT_FALSE(path.PointFlags()[i] & kSmooth) << i;
    EXPECT_TRUE(path.PointFlags()[0] & kSmooth);
    path.MoveControlPoints(0, 5, MatrixOrder::Append);
    EXPECT_EQ(path.Points()[4], PointF(25, 10));
    EXPECT_EQ(path.Points()[2], curved[2]);

    // On the anchor: it alone is selected and its control points retract.
    path.ResetHandleAt({ 120, 50 });
    for (const size_t i : { 2u, 3u, 4u }) {
        EXPECT_EQ(path.Points()[i], PointF(20, 0)) << i;
        EXPECT_FALSE(path.PointFlags()[i] & kCurve) << i;
    }
    EXPECT_TRUE(path.PointFlags()[3] & kSel);
    EXPECT_FALSE(path.PointFlags()[0] & kSel);

    // Elsewhere: nothing.
    const auto points = path.Points();
    const auto flags = path.PointFlags();
    path.ResetHandleAt({ 130, 70 });
    EXPECT_EQ(path.Points(), points);
    EXPECT_EQ(path.PointFlags(), flags);
}

// ---------------------------------------------------------------- inserting

struct InsertCase {
    const char* name;
    std::vector<PointF> entries;
    bool closed;
    PointF click; // local
    int insertedAt; // index of the first new entry, -1 for none
};

TEST_F(PathEditTest, InsertingPutsACornerAnchorOnTheNearestSegment)
{
    const std::vector<PointF> openBend = Polyline({ { 0, 0 }, { 20, 0 }, { 20, 20 } });
    const std::vector<PointF> square = Polyline({ { 0, 0 }, { 20, 0 }, { 20, 20 }, { 0, 20 } });
    // One curved segment arching up to (20,15) at its middle.
    const std::vector<PointF> arch { { 0, 0 }, { 0, 20 }, { 40, 20 }, { 40, 0 }, { 40, 0 }, { 0, 0 } };
    const std::vector<PointF> shallow = Polyline({ { 0, 0 }, { 100, 30 } });
    // A single anchor closed on itself by a loop through (0,15).
    const std::vector<PointF> loop { { 0, 0 }, { 20, 20 }, { -20, 20 } };
    const InsertCase cases[] = {
        { "above a straight segment", openBend, false, { 10, 3 }, 2 },
        { "beside the second segment", openBend, false, { 18, 12 }, 5 },
        { "on a curve", arch, false, { 20, 15 }, 2 },
        { "closing segment of a closed path", square, true, { -2, 10 }, 11 },
        { "the same click on the open path takes the far side", square, false, { -2, 10 }, 5 },
        { "no segment crosses the click's x or y", openBend, false, { 50, 50 }, -1 },
        { "exactly on a corner", openBend, false, { 20, 0 }, -1 },
        { "exactly on the first anchor", openBend, false, { 0, 0 }, -1 },
        // Level with an end of the segment, beside it (as a snapped click
        // lands): the candidate on the end is dropped, the other one kept.
        { "level with the start of a segment", shallow, false, { 0, 3 }, 2 },
        { "level with the end of a segment", shallow, false, { 100, 27 }, 2 },
        { "single anchor looped", loop, true, { 0, 15 }, 2 },
        { "single anchor open", Polyline({ { 0, 0 } }), false, { 0, 0 }, -1 },
        { "empty open path", {}, false, { 0, 0 }, -1 },
        { "empty closed path", {}, true, { 0, 0 }, -1 },
    };
    for (const InsertCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto path = Make(c.entries, TaggedFlags(c.entries.size()), c.closed, Moved());
        path->InsertPointAt(Moved().TransformPoint(c.click));

        std::vector<PointF> expected = c.entries;
        std::vector<std::uint8_t> expectedFlags = TaggedFlags(c.entries.size());
        if (c.insertedAt >= 0) {
            expected.insert(expected.begin() + c.insertedAt, 3, c.click);
            expectedFlags.insert(expectedFlags.begin() + c.insertedAt, 3, kSmooth);
        }
        EXPECT_EQ(path->Points(), expected);
        EXPECT_EQ(path->PointFlags(), expectedFlags);
        if (c.insertedAt >= 0) {
            EXPECT_EQ(path->HitHandle(Moved().TransformPoint(c.click), 1), 2);
        }
    }
}

// ---------------------------------------------------------------- removing

struct RemoveCase {
    const char* name;
    int anchors;
    bool closed;
    PointF click; // local
    std::vector<size_t> kept; // entries left, in their new order; empty: unchanged
};

TEST_F(PathEditTest, RemovingAnAnchorKeepsTheThreeEntryLayout)
{
    const RemoveCase cases[] = {
        { "first of four: the old anchor 1 leads", 4, false, { 0, 0 }, { 3, 4, 5, 6, 7, 8, 9, 10, 2 } },
        { "middle of four", 4, false, { 60, 0 }, { 0, 1, 2, 3, 4, 8, 9, 10, 11 } },
        { "last of four", 4, false, { 90, 0 }, { 0, 1, 2, 3, 4, 5, 6, 7, 11 } },
        { "last of a closed four", 4, true, { 90, 0 }, { 0, 1, 2, 3, 4, 5, 6, 7, 11 } },
        { "first of three", 3, false, { 0, 0 }, { 3, 4, 5, 6, 7, 2 } },
        { "two anchors stay", 2, false, { 0, 0 }, {} },
        { "one anchor stays", 1, false, { 0, 0 }, {} },
        { "empty path", 0, false, { 0, 0 }, {} },
        { "no anchor under the click", 4, false, { 15, 0 }, {} },
    };
    for (const RemoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<PointF> entries = DistinctEntries(c.anchors);
        const std::vector<std::uint8_t> flags = TaggedFlags(entries.size());
        auto path = Make(entries, flags, c.closed, Turned());
        path->RemovePointAt(Turned().TransformPoint(c.click), 3);

        std::vector<PointF> expected;
        std::vector<std::uint8_t> expectedFlags;
        for (const size_t i : c.kept) {
            expected.push_back(entries[i]);
            expectedFlags.push_back(flags[i]);
        }
        if (c.kept.empty()) {
            expected = entries;
            expectedFlags = flags;
        }
        EXPECT_EQ(path->Points(), expected);
        EXPECT_EQ(path->PointFlags(), expectedFlags);
    }
}

TEST_F(PathEditTest, RemovingRepeatedlyStopsAtTwoAnchors)
{
    auto path = Make(DistinctEntries(5), {}, true, Moved());
    for (const int expectedSize : { 12, 9, 6, 6, 6 }) {
        // Always the current first anchor.
        path->RemovePointAt(World(*path, 0), 3);
        ASSERT_EQ(path->EntryCount(), expectedSize);
        ASSERT_EQ(path->PointFlags().size(), size_t(expectedSize));
        RectF bounds;
        path->GetBounds(bounds);
        EXPECT_FALSE(bounds.IsEmptyArea());
    }
    // The two anchors left are the last two of the five.
    EXPECT_EQ(path->Points()[0], PointF(90, 0));
    EXPECT_EQ(path->Points()[3], PointF(120, 0));
    EXPECT_EQ(path->Points()[5], PointF(85, -5)); // the incoming control point of the new anchor 0
}

// ---------------------------------------------------------------- building

TEST_F(PathEditTest, BuildingAnchorByAnchorGivesTheStoredExample)
{
    // The worked example: a polyline clicked at (100,50) and (110,50).
    TVeskPath path(solder, Stroke(7.5f));
    path.BeginPath();
    EXPECT_TRUE(path.IsPointEditing());
    path.AppendAnchor({ 100, 50 });
    EXPECT_EQ(path.GetMatrixRef(), Matrix(1, 0, 0, 1, 100, 50));
    EXPECT_EQ(path.Points(), std::vector<PointF>(3, PointF(0, 0)));
    path.AppendAnchor({ 110, 50 });
    path.EndPath();
    EXPECT_EQ(path.Points(),
        (std::vector<PointF> { { 0, 0 }, { 0, 0 }, { 10, 0 }, { 10, 0 }, { 10, 0 }, { 0, 0 } }));
    EXPECT_EQ(path.PointFlags(), std::vector<std::uint8_t>(6, kSmooth));
    EXPECT_TRUE(path.HitTest({ 105, 52 }));

    path.SetSelected(false);
    TVesk_ostream out;
    ASSERT_EQ(path.Save(out), 0);
    QFile golden(QStringLiteral(VESK_TEST_DATA "/path_open_solder.bin"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.Buffer(), golden.readAll());
}

TEST_F(PathEditTest, AnchorsAppendBeforeTheClosingEntryAndTheStartClosesThePath)
{
    TVeskPath path(solder, Stroke(1));
    path.BeginPath();
    EXPECT_FALSE(path.IsNearStart({ 0, 0 }, 3)); // nothing to close on yet
    for (const PointF p : { PointF(10, 10), PointF(30, 10), PointF(30, 30) })
        path.AppendAnchor(p);
    path.DragControlHandle({ 10, 10 }, { 5, 15 }); // the last entry now differs from anchor 0
    const PointF closing = path.Points().back();
    path.AppendAnchor({ 10, 30 });
    EXPECT_EQ(path.EntryCount(), 12);
    EXPECT_EQ(path.Points().back(), closing);
    for (const size_t i : { 8u, 9u, 10u })
        EXPECT_EQ(path.Points()[i], PointF(0, 20)) << i;

    EXPECT_TRUE(path.IsNearStart({ 13, 10 }, 3));
    EXPECT_FALSE(path.IsNearStart({ 7, 10 }, 3));
    EXPECT_FALSE(path.IsNearStart({ 30, 10 }, 3));
    // The middle of the closing segment, curved by the drag.
    const auto& e = path.Points();
    const PointF middle = (e[9] + e[10] * 3 + e[11] * 3 + e[0]) * 0.125f;
    const PointF world = path.GetMatrixRef().TransformPoint(middle);
    EXPECT_FALSE(path.HitTest(world)); // open: the closing segment is not drawn
    path.SetClosed(true);
    EXPECT_TRUE(path.HitTest(world));
}

TEST_F(PathEditTest, BeginningAgainEmptiesThePathAndItsOutline)
{
    auto path = Make(CurvedEntries(), {}, true, Turned());
    path->SetSelected(true);
    const PointF onIt = World(*path, 3);
    ASSERT_TRUE(path->HitTest(onIt));
    path->BeginPath();
    EXPECT_EQ(path->EntryCount(), 0);
    EXPECT_FALSE(path->IsClosed());
    EXPECT_TRUE(path->GetMatrixRef().IsIdentity());
    EXPECT_TRUE(path->InverseMatrix().IsIdentity());
    EXPECT_TRUE(path->OutlinePath().IsEmpty());
    EXPECT_FALSE(path->HitTest(onIt));
    RectF bounds { 1, 1, 1, 1 };
    path->GetBounds(bounds);
    EXPECT_EQ(bounds, RectF());

    path->AppendAnchor({ 5, 5 });
    path->AppendAnchor({ 15, 5 });
    EXPECT_EQ(path->GetMatrixRef(), Matrix(1, 0, 0, 1, 5, 5));
    EXPECT_TRUE(path->HitTest({ 10, 5 }));
}

// ---------------------------------------------------------------- robustness

TEST_F(PathEditTest, ASingularPlacementRefusesEveryWorldPointEdit)
{
    // No world point has a local position: nothing may move, and nothing may
    // be picked through an identity stand-in for the inverse.
    std::vector<std::uint8_t> flags(9, kSmooth | kSel);
    auto path = Make(CurvedEntries(), flags, false, Matrix(0, 0, 0, 0, 5, 5));
    const std::pair<const char*, std::function<void(TVeskPath&)>> edits[] = {
        { "select",
            [](TVeskPath& p) {
                EXPECT_NE(p.SelectHandleAt({ 20, 0 }, 3), 2);
            } },
        { "hit",
            [](TVeskPath& p) {
                EXPECT_NE(p.HitHandle({ 20, 0 }, 3), 2);
            } },
        { "hit selected",
            [](TVeskPath& p) {
                EXPECT_EQ(p.HitSelectedHandle({ 20, 0 }, 3), 0);
            } },
        { "near start",
            [](TVeskPath& p) {
                EXPECT_FALSE(p.IsNearStart({ 0, 0 }, 3));
            } },
        { "move", [](TVeskPath& p) { p.MoveSelection(3, 3, MatrixOrder::Append); } },
        { "rotate",
            [](TVeskPath& p) {
                p.RotateSelectionAt(90, { 5, 5 }, MatrixOrder::Append);
            } },
        { "move control", [](TVeskPath& p) { p.MoveControlPoints(3, 3, MatrixOrder::Append); } },
        { "rotate control", [](TVeskPath& p) { p.RotateControlPointsAt(90, {}, MatrixOrder::Append); } },
        { "drag",
            [](TVeskPath& p) {
                p.DragControlHandle({ 20, 0 }, { 30, 30 });
            } },
        { "reset",
            [](TVeskPath& p) {
                p.ResetHandleAt({ 20, 0 });
            } },
        { "insert",
            [](TVeskPath& p) {
                p.InsertPointAt({ 10, 0 });
            } },
        { "remove",
            [](TVeskPath& p) {
                p.RemovePointAt({ 20, 0 }, 3);
            } },
        { "append",
            [](TVeskPath& p) {
                p.AppendAnchor({ 50, 50 });
            } },
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        edit(*path);
        EXPECT_EQ(path->Points(), CurvedEntries());
    }
    // Rectangles are tested in the document, where the placement still works.
    EXPECT_TRUE(path->HandleInRect({ 4, 4, 2, 2 }));
}

TEST_F(PathEditTest, EmptyAndSingleAnchorPathsSurviveEveryOperation)
{
    for (const std::vector<PointF>& entries : { std::vector<PointF>(), Polyline({ { 0, 0 } }) }) {
        for (const bool closed : { false, true }) {
            SCOPED_TRACE(std::to_string(entries.size()) + (closed ? " closed" : " open"));
            auto path = Make(entries, {}, closed);
            path->SetHandlesSelected(true);
            path->SelectHandleAt({ 0, 0 }, 3);
            path->MoveSelection(1, 1, MatrixOrder::Append);
            path->RotateSelectionAt(90, { 0, 0 }, MatrixOrder::Append);
            path->MoveControlPoints(1, 1, MatrixOrder::Append);
            path->RotateControlPointsAt(90, { 0, 0 }, MatrixOrder::Append);
            path->DragControlHandle({ 1, 1 }, { 5, 5 });
            path->ResetHandleAt({ 1, 1 });
            path->RemovePointAt({ 1, 1 }, 3);
            EXPECT_EQ(path->EntryCount(), int(entries.size()));
            EXPECT_EQ(path->PointFlags().size(), entries.size());
            EXPECT_EQ(path->IsNearStart({ 1, 1 }, 3), !entries.empty());
        }
    }
}

} // namespace
} // namespace vesk::test
