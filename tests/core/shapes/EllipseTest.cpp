// What only the ellipse does: the circle from a centre and a rim point, axis
// handle drags (also past the centre), and the circle of radius 0.

#include "BoxShapeTestSupport.h"

#include <cmath>

namespace vesk::test {
namespace {

using Handles = TVeskBoxShape::HandleArray;

class EllipseTest : public BoxShapeTest {
protected:
    // A circle of radius 10 centred on (50, 50) with handle i selected.
    std::unique_ptr<TVeskEllipse> Grab(int handle, const TVeskSurface& surface)
    {
        auto e = std::make_unique<TVeskEllipse>(component, surface);
        e->SetCircle({ 50, 50 }, { 60, 50 });
        const PointF grip = e->GetMatrixRef().TransformPoint(e->Handles()[size_t(handle)]);
        EXPECT_EQ(e->SelectHandleAt(grip, 3), HitCode::HitHandle);
        return e;
    }
    static Handles Derived(const RectF& box)
    {
        const float w = box.Width / 2, h = box.Height / 2;
        return { PointF(0, 0), PointF(0, h), PointF(w, 0), PointF(0, -h), PointF(-w, 0) };
    }
};

TEST_F(EllipseTest, SetCircleTakesTheDistanceToTheRimPointAsRadius)
{
    struct Case {
        PointF rim;
        float r;
    };
    for (const Case c :
        { Case { { 13, 24 }, 5 }, Case { { 7, 16 }, 5 }, Case { { 10, 12 }, 8 }, Case { { 10, 20 }, 0 } }) {
        SCOPED_TRACE(testing::Message() << c.rim.X << "," << c.rim.Y);
        TVeskEllipse e(component, FillOnly());
        e.SetMatrix(Matrix(0, 1, -1, 0, 3, 3)); // an earlier turn is dropped
        e.SetCircle({ 10, 20 }, c.rim);
        EXPECT_TRUE(e.IsSelected());
        EXPECT_EQ(e.GetMatrixRef(), Matrix(1, 0, 0, 1, 10, 20));
        EXPECT_EQ(e.InverseMatrix(), Matrix(1, 0, 0, 1, -10, -20));
        EXPECT_EQ(e.Box(), RectF(-c.r, -c.r, 2 * c.r, 2 * c.r));
        EXPECT_EQ(e.Handles(), Derived(e.Box()));
    }
}

TEST_F(EllipseTest, AxisHandleDragChangesOneSemiAxisAroundTheFixedCentre)
{
    struct Case {
        const char* name;
        int handle;
        PointF world;
        RectF box;
    };
    const Case cases[] = {
        { "bottom down, sideways ignored", 1, { 3, 2 }, { -10, -12, 20, 24 } },
        { "right inwards", 2, { -4, 1 }, { -6, -10, 12, 20 } },
        { "top up", 3, { 0, -5 }, { -10, -15, 20, 30 } },
        { "left outwards", 4, { -2, 0 }, { -12, -10, 24, 20 } },
        { "right past the centre", 2, { -25, 0 }, { 15, -10, -30, 20 } },
        { "top past the centre", 3, { 0, 24 }, { -10, 14, 20, -28 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto e = Grab(c.handle, FillOnly());
        e->MoveSelection(c.world.X, c.world.Y, MatrixOrder::Append);
        EXPECT_EQ(e->Box(), c.box);
        EXPECT_EQ(e->Handles(), Derived(c.box));
        EXPECT_EQ(e->GetMatrixRef(), Matrix(1, 0, 0, 1, 50, 50));
        EXPECT_TRUE(e->HandleSelected(c.handle));
        // The handle went where the pointer went, along its axis.
        const PointF moved = e->GetMatrixRef().TransformPoint(e->Handles()[size_t(c.handle)]);
        const bool vertical = c.handle == 1 || c.handle == 3;
        EXPECT_EQ(vertical ? moved.Y : moved.X,
            (vertical ? 50 + (c.handle == 1 ? 10 : -10) + c.world.Y
                      : 50 + (c.handle == 2 ? 10 : -10) + c.world.X));
    }
}

// Past the centre the stored box has a negative width; the shape is the
// ellipse of the normalised box, and a drag carries on smoothly.
TEST_F(EllipseTest, BoxTurnedInsideOutStillGivesTheNormalisedEllipse)
{
    auto e = Grab(2, StrokeAndFill(2));
    e->MoveSelection(-25, 0, MatrixOrder::Append); // radius 15 on the left
    ASSERT_LT(e->Box().Width, 0);
    EXPECT_EQ(e->NormalizedBox(), RectF(-15, -10, 30, 20));

    TVeskEllipse same(component, StrokeAndFill(2));
    same.SetCircle({ 50, 50 }, { 60, 50 });
    same.SelectHandleAt({ 40, 50 }, 3); // handle 4
    same.MoveSelection(-5, 0, MatrixOrder::Append); // the same ellipse, the regular way
    ASSERT_EQ(same.Box(), RectF(-15, -10, 30, 20));
    RectF a, b;
    e->GetBounds(a);
    same.GetBounds(b);
    EXPECT_EQ(a, b);
    for (const PointF p : { PointF(50, 50), PointF(36, 50), PointF(64, 50), PointF(50, 41) })
        EXPECT_TRUE(e->HitTest(p)) << p.X << "," << p.Y;
    for (const PointF p : { PointF(50, 62), PointF(67, 50), PointF(33, 50) })
        EXPECT_FALSE(e->HitTest(p)) << p.X << "," << p.Y;

    // The handle is on the left now, and dragging further left makes it larger.
    EXPECT_EQ(e->HitHandle({ 35, 50 }, 3), HitCode::HitHandle);
    e->MoveSelection(-5, 0, MatrixOrder::Append);
    EXPECT_EQ(e->Box(), RectF(20, -10, -40, 20));
    EXPECT_TRUE(e->HitTest({ 32, 50 }));
    EXPECT_TRUE(e->HitTest({ 68, 50 }));

    // Everything else copes with it too.
    GraphicsPath merged(FillMode::Winding);
    e->AddOutline(merged, component->index);
    EXPECT_TRUE(merged.IsVisible({ 50, 50 }));
    EXPECT_TRUE(merged.IsVisible({ 31, 50 }));
    component->wireFrame = true;
    BoxCanvas canvas(100);
    Paint(canvas, [&](QPainter& g) {
        e->Draw(g, component->index, style);
        e->DrawSelection(g, style);
    });
    EXPECT_TRUE(canvas.Blank(50, 45));
    EXPECT_FALSE(canvas.Blank(30, 50) && canvas.Blank(29, 50)); // the left end of the wire frame
    const auto read = e->Clone();
    EXPECT_EQ(static_cast<const TVeskEllipse&>(*read).Box(), e->Box());
}

TEST_F(EllipseTest, CircleOfRadiusZeroFillsNothingAndItsStrokeIsADisc)
{
    TVeskEllipse fill(component, FillOnly());
    fill.SetCircle({ 20, 20 }, { 20, 20 });
    EXPECT_FALSE(fill.HitTest({ 20, 20 }));
    RectF bounds;
    fill.GetBounds(bounds);
    EXPECT_TRUE(bounds.IsEmptyArea());
    GraphicsPath merged(FillMode::Winding);
    fill.AddOutline(merged, component->index);
    EXPECT_FALSE(merged.IsVisible({ 20, 20 }));

    TVeskEllipse dot(component, StrokeAndFill(4));
    dot.SetCircle({ 20, 20 }, { 20, 20 });
    // The cap is flattened to within 0.25 of its circle.
    for (const PointF p : { PointF(20, 20), PointF(21.7f, 20), PointF(20, 18.3f), PointF(21, 21) })
        EXPECT_TRUE(dot.HitTest(p)) << p.X << "," << p.Y;
    for (const PointF p : { PointF(22.1f, 20), PointF(20, 17.9f), PointF(21.5f, 21.5f) })
        EXPECT_FALSE(dot.HitTest(p)) << p.X << "," << p.Y;
    dot.GetBounds(bounds);
    EXPECT_NEAR(bounds.Width, 4, 0.5);
    EXPECT_NEAR(bounds.Height, 4, 0.5);
}

} // namespace
} // namespace vesk::test
