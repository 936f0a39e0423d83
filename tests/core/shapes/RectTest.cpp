// What only the rectangle does: placing it from two corners and reshaping it
// by dragging a corner handle.

#include "BoxShapeTestSupport.h"

namespace vesk::test {
namespace {

using Handles = TVeskBoxShape::HandleArray;

class RectTest : public BoxShapeTest { };

TEST_F(RectTest, SetCornersCentresTheRectangleWhicheverWayItIsDragged)
{
    struct Case {
        PointF a, b;
        RectF rect;
        PointF centre;
    };
    const Case cases[] = {
        { { 0, 0 }, { 20, 10 }, { -10, -5, 20, 10 }, { 10, 5 } },
        { { 20, 10 }, { 0, 0 }, { -10, -5, 20, 10 }, { 10, 5 } },
        { { 20, 0 }, { 0, 10 }, { -10, -5, 20, 10 }, { 10, 5 } },
        { { -3, 7 }, { 5, -1 }, { -4, -4, 8, 8 }, { 1, 3 } },
        { { 4, 4 }, { 4, 12 }, { 0, -4, 0, 8 }, { 4, 8 } }, // no width: a line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.X << "," << c.a.Y << " to " << c.b.X << "," << c.b.Y);
        TVeskRect rect(component, FillOnly());
        rect.SetMatrix(Matrix(0, 1, -1, 0, 7, 7)); // an earlier turn is dropped
        rect.SetCorners(c.a, c.b);
        EXPECT_TRUE(rect.IsSelected());
        EXPECT_EQ(rect.GetMatrixRef(), Matrix(1, 0, 0, 1, c.centre.X, c.centre.Y));
        EXPECT_EQ(rect.InverseMatrix(), Matrix(1, 0, 0, 1, -c.centre.X, -c.centre.Y));
        EXPECT_EQ(rect.Rect(), c.rect);
        const Handles& h = rect.Handles();
        EXPECT_EQ(h[0], PointF(0, 0));
        EXPECT_EQ(h[1], c.a - c.centre);
        EXPECT_EQ(h[3], c.b - c.centre);
        EXPECT_EQ(h[2], PointF(h[3].X, h[1].Y));
        EXPECT_EQ(h[4], PointF(h[1].X, h[3].Y));
        if (c.rect.Width > 0) {
            RectF bounds;
            rect.GetBounds(bounds);
            EXPECT_EQ(
                bounds, RectF(c.rect.X + c.centre.X, c.rect.Y + c.centre.Y, c.rect.Width, c.rect.Height));
        }
    }
}

TEST_F(RectTest, LineWithAStrokeHasAnOutline)
{
    TVeskRect rect(component, StrokeOnly(2));
    rect.SetCorners({ 4, 4 }, { 4, 12 });
    EXPECT_TRUE(rect.HitTest({ 4.5f, 8 }));
    EXPECT_FALSE(rect.HitTest({ 6, 8 }));
}

// The rectangle from (0, 0) to (20, 10): local corners (-10, -5) and (10, 5).
TEST_F(RectTest, CornerDragKeepsARectangleAndMayCrossTheOppositeSide)
{
    struct Case {
        const char* name;
        Matrix placement;
        int handle;
        PointF world; // the drag in document units
        Handles after;
        RectF rect;
    };
    const Matrix plain(1, 0, 0, 1, 10, 5);
    const Matrix turned(0, 1, -1, 0, 10, 5); // local x runs along world y
    const Case cases[] = {
        { "corner A out", plain, 1, { -2, -3 },
            { PointF(-1, -1.5f), { -12, -8 }, { 10, -8 }, { 10, 5 }, { -12, 5 } }, { -12, -8, 22, 13 } },
        { "handle 2 out", plain, 2, { 4, 1 },
            { PointF(2, 0.5f), { -10, -4 }, { 14, -4 }, { 14, 5 }, { -10, 5 } }, { -10, -4, 24, 9 } },
        { "corner B out", plain, 3, { 1, 2 },
            { PointF(0.5f, 1), { -10, -5 }, { 11, -5 }, { 11, 7 }, { -10, 7 } }, { -10, -5, 21, 12 } },
        { "handle 4 across the top", plain, 4, { -1, -20 },
            { PointF(-0.5f, -10), { -11, -5 }, { 10, -5 }, { 10, -15 }, { -11, -15 } },
            { -11, -15, 21, 10 } },
        { "corner A across the right side", plain, 1, { 30, 0 },
            { PointF(15, 0), { 20, -5 }, { 10, -5 }, { 10, 5 }, { 20, 5 } }, { 10, -5, 10, 10 } },
        { "turned placement", turned, 2, { 0, 4 },
            { PointF(2, 0), { -10, -5 }, { 14, -5 }, { 14, 5 }, { -10, 5 } }, { -10, -5, 24, 10 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TVeskRect rect(component, FillOnly());
        rect.SetCorners({ 0, 0 }, { 20, 10 });
        rect.SetMatrix(c.placement);
        const PointF grip = c.placement.TransformPoint(rect.Handles()[size_t(c.handle)]);
        ASSERT_EQ(rect.SelectHandleAt(grip, 3), HitCode::HitHandle);
        rect.MoveSelection(c.world.X, c.world.Y, MatrixOrder::Append);
        EXPECT_EQ(rect.Handles(), c.after);
        EXPECT_EQ(rect.Rect(), c.rect);
        EXPECT_GE(rect.Rect().Width, 0);
        EXPECT_GE(rect.Rect().Height, 0);
        EXPECT_EQ(rect.GetMatrixRef(), c.placement); // the shape itself did not move
        // The outline follows: the dragged handle's new place is on the edge of the fill.
        RectF bounds;
        rect.GetBounds(bounds);
        const PointF centre = c.placement.TransformPoint(c.after[0]);
        EXPECT_TRUE(rect.HitTest(centre));
        EXPECT_NEAR(bounds.Width * bounds.Height, c.rect.Width * c.rect.Height, 0.01);
    }
}

TEST_F(RectTest, MoveSelectionWithoutASelectedHandleChangesNoGeometry)
{
    TVeskRect rect(component, FillOnly());
    rect.SetCorners({ 0, 0 }, { 20, 10 });
    const QByteArray before = Saved(rect);
    rect.MoveSelection(5, 5, MatrixOrder::Append);
    EXPECT_EQ(Saved(rect), before);
}

// All five handles of a tiny rectangle fall into one pick box; the centre
// handle then wins, and dragging moves the whole rectangle or nothing.
TEST_F(RectTest, TinyRectangleSelectsAllHandlesAndMovesOnlyAsAWhole)
{
    for (const bool selected : { true, false }) {
        SCOPED_TRACE(selected);
        TVeskRect rect(component, FillOnly());
        rect.SetCorners({ 0, 0 }, { 2, 2 });
        rect.SetSelected(selected);
        EXPECT_EQ(rect.SelectHandleAt({ 1, 1 }, 3), HitCode::HitHandle);
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(rect.HandleSelected(i)) << i;
        const Handles handles = rect.Handles();
        rect.MoveSelection(5, 6, MatrixOrder::Append);
        EXPECT_EQ(rect.Handles(), handles);
        EXPECT_EQ(rect.Rect(), RectF(-1, -1, 2, 2));
        EXPECT_EQ(rect.GetMatrixRef(), selected ? Matrix(1, 0, 0, 1, 6, 7) : Matrix(1, 0, 0, 1, 1, 1));
        EXPECT_EQ(rect.HitTest({ 6.5f, 7.5f }), selected);
    }
}

} // namespace
} // namespace vesk::test
