// The rectangle and ellipse tools driven through a fake window: press, drag
// and release make one shape and one history step, on the current layer
// with the current surface, snapped when snapping is on.
#include "FakeToolHost.h"
#include "Veskellipseproc.h"
#include "Veskrectproc.h"
#include "model/Vesklayer.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskrectangle.h"

#include <gtest/gtest.h>

using namespace vesk;
using namespace vesk::test;

namespace {

// The whole tool bar on a fake window, zoomed so that a pixel is a
// document unit with the origin in the middle.
struct Drawing {
    explicit Drawing(const char* toolName)
        : host(400, 300)
        , bar(host)
    {
        host.edit.Reset(30);
        bar.ResetToFirstTool();
        EXPECT_TRUE(bar.SelectToolByName(QLatin1String(toolName)));
        tool = bar.CurrentTool();
        host.grid.pitch = 10;
    }

    QPoint pixel(PointF p) const
    {
        const PointF px = host.view.DocumentToPixel(p);
        return { qRound(px.X), qRound(px.Y) };
    }
    void drag(PointF from, PointF to)
    {
        tool->WindowMouseDown(ssLeft, pixel(from));
        tool->WindowMouseMove(ssLeft, pixel({ (from.X + to.X) / 2, (from.Y + to.Y) / 2 }));
        tool->WindowMouseMove(ssLeft, pixel(to));
        tool->WindowMouseUp(0, pixel(to));
    }
    TVeskPart& root() { return host.document.Root(); }

    FakeToolHost host;
    TVeskToolBar bar;
    TVeskEventProc* tool = nullptr;
};

RectF boundsOf(const TVeskObject& o)
{
    RectF r;
    o.GetBounds(r);
    return r;
}

TEST(ShapeDragTools, ADragMakesOneShapeOnTheCurrentLayerWithTheCurrentSurfaceAsOneStep)
{
    for (const char* name : { "RectangleTool", "EllipseTool" }) {
        SCOPED_TRACE(name);
        Drawing d(name);
        d.host.grid.snap = false;
        d.host.document.Layers().SetCurrent(d.host.document.Layers().FindLayer(QStringLiteral("solder")));
        d.drag({ 10, 20 }, { 60, 50 });
        ASSERT_EQ(d.root().ChildCount(), 1);
        auto* shape = dynamic_cast<TVeskInstance*>(d.root().ChildAt(0));
        ASSERT_NE(shape, nullptr);
        EXPECT_EQ(shape->GetLayer()->Name(), QStringLiteral("solder"));
        EXPECT_EQ(shape->GetSurface()->GetWidth(), 2.0f);
        EXPECT_FALSE(shape->IsSelected());
        EXPECT_FALSE(shape->InProgress()) << "finished: in the kept picture again";
        EXPECT_EQ(d.host.history.Count(), 1);
        // Undo takes the shape away again.
        d.tool->UndoClick();
        EXPECT_EQ(d.root().ChildCount(), 0);
    }
}

TEST(ShapeDragTools, TheShapeBeingDraggedIsShownOverTheKeptPicture)
{
    Drawing d("RectangleTool");
    d.host.document.Layers().SetCurrent(d.host.document.Layers().FindLayer(QStringLiteral("solder")));
    d.tool->OnIdle();
    d.tool->WindowMouseDown(ssLeft, d.pixel({ 0, 0 }));
    d.tool->WindowMouseMove(ssLeft, d.pixel({ 60, 40 }));
    d.tool->OnIdle();
    ASSERT_EQ(d.root().ChildCount(), 1);
    EXPECT_TRUE(d.root().ChildAt(0)->InProgress());
    const QPoint inside = d.pixel({ 30, 20 });
    EXPECT_NE(d.host.screen.pixel(inside), d.host.drawing.pixel(inside));
    d.tool->WindowMouseUp(0, d.pixel({ 60, 40 }));
    d.tool->OnIdle();
    EXPECT_EQ(d.host.screen.pixel(inside), d.host.drawing.pixel(inside));
}

TEST(ShapeDragTools, AClickOrADragBackToTheStartMakesNothing)
{
    for (const char* name : { "RectangleTool", "EllipseTool" }) {
        SCOPED_TRACE(name);
        Drawing d(name);
        d.tool->WindowMouseDown(ssLeft, d.pixel({ 10, 10 }));
        d.tool->WindowMouseUp(0, d.pixel({ 10, 10 }));
        // Out and back, and a release a few units off that snaps onto the start.
        d.drag({ 10, 10 }, { 12, 11 });
        d.tool->WindowMouseDown(ssLeft, d.pixel({ 10, 10 }));
        d.tool->WindowMouseMove(ssLeft, d.pixel({ 80, 80 }));
        d.tool->WindowMouseUp(0, d.pixel({ 10, 10 }));
        EXPECT_EQ(d.root().ChildCount(), 0);
        EXPECT_EQ(d.host.history.Count(), 0);
    }
}

TEST(ShapeDragTools, RectangleCornersLieOnTheGridWhicheverWayItIsDragged)
{
    const struct {
        PointF from, to;
    } drags[] = { { { 11, 19 }, { 62, 48 } }, { { 62, 48 }, { 11, 19 } }, { { 62, 19 }, { 11, 48 } } };
    for (const auto& drag : drags) {
        Drawing d("RectangleTool");
        d.drag(drag.from, drag.to);
        ASSERT_EQ(d.root().ChildCount(), 1);
        const RectF r = boundsOf(*d.root().ChildAt(0));
        // Bounds include the stroke: half the 2-unit width each side.
        EXPECT_NEAR(r.X, 10 - 1, 1e-3);
        EXPECT_NEAR(r.Y, 20 - 1, 1e-3);
        EXPECT_NEAR(r.Width, 50 + 2, 1e-3);
        EXPECT_NEAR(r.Height, 30 + 2, 1e-3);
    }
}

TEST(ShapeDragTools, ACircleIsCentredOnTheSnappedPressAndPassesThroughTheSnappedPointer)
{
    for (const PointF to : { PointF { 41, 19 }, PointF { -21, 21 } }) {
        Drawing d("EllipseTool");
        d.drag({ 9, 21 }, to);
        ASSERT_EQ(d.root().ChildCount(), 1);
        const RectF r = boundsOf(*d.root().ChildAt(0));
        // Centre (10, 20); the rim through (40, 20) or (-20, 20): radius 30.
        EXPECT_NEAR(r.X + r.Width / 2, 10, 1e-3);
        EXPECT_NEAR(r.Y + r.Height / 2, 20, 1e-3);
        EXPECT_NEAR(r.Width, 60 + 2, 0.05); // the outline is a curve approximation
    }
}

TEST(ShapeDragTools, SwitchingToolsMidDragKeepsTheShapeAsAStep)
{
    Drawing d("RectangleTool");
    d.tool->WindowMouseDown(ssLeft, d.pixel({ 0, 0 }));
    d.tool->WindowMouseMove(ssLeft, d.pixel({ 40, 30 }));
    EXPECT_TRUE(d.bar.SelectToolByName(QStringLiteral("EllipseTool")));
    EXPECT_EQ(d.root().ChildCount(), 1);
    EXPECT_EQ(d.host.history.Count(), 1);
}

} // namespace
