// The Bezier and polyline tools driven through a fake window: anchors press
// by press, a private history of the path being built, and one document
// step for the finished path.
#include "FakeToolHost.h"
#include "Veskpathproc.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"

#include <functional>
#include <gtest/gtest.h>

using namespace vesk;
using namespace vesk::test;

namespace {

constexpr int kEnter = 0x0D;
constexpr int kCtrl = 0x11;

struct Building {
    explicit Building(const char* toolName = "BezierTool")
        : host(400, 300)
        , bar(host)
    {
        // Something drawn before, and its step.
        auto rect = std::make_unique<TVeskRect>(host.document.Layers().CurrentLayer(), host.surface);
        rect->SetCorners({ -100, -100 }, { -80, -80 });
        host.edit.Reset(30);
        host.edit.Begin(QStringLiteral("rect"));
        host.document.Root().Adopt(std::move(rect));
        host.edit.Commit();
        bar.ResetToFirstTool();
        EXPECT_TRUE(bar.SelectToolByName(QLatin1String(toolName)));
        tool = static_cast<TVeskPathProc*>(bar.CurrentTool());
        host.grid.pitch = 10;
    }

    QPoint pixel(PointF p) const
    {
        const PointF px = host.view.DocumentToPixel(p);
        return { qRound(px.X), qRound(px.Y) };
    }
    void click(PointF p)
    {
        tool->WindowMouseDown(ssLeft, pixel(p));
        tool->WindowMouseUp(0, pixel(p));
    }
    void key(int vk, bool ctrl = false)
    {
        if (ctrl)
            tool->WindowKeyDown(kCtrl);
        tool->WindowKeyDown(vk);
        tool->WindowKeyUp(vk);
        if (ctrl)
            tool->WindowKeyUp(kCtrl);
    }
    int anchors() const { return tool->Building() ? int(tool->Building()->Points().size() / 3) : 0; }
    TVeskPath* lastPath() const { return dynamic_cast<TVeskPath*>(root().ChildAt(root().ChildCount() - 1)); }
    TVeskPart& root() const { return const_cast<FakeToolHost&>(host).document.Root(); }

    FakeToolHost host;
    TVeskToolBar bar;
    TVeskPathProc* tool = nullptr;
};

TEST(PathTools, PressesAddAnchorsAndEnterFinishesAsOneDocumentStep)
{
    for (const char* name : { "BezierTool", "PolylineTool" }) {
        SCOPED_TRACE(name);
        Building b(name);
        const int steps = b.host.history.Count();
        b.click({ 0, 0 });
        EXPECT_EQ(b.anchors(), 1);
        b.click({ 50, 0 });
        b.click({ 50, 40 });
        EXPECT_EQ(b.anchors(), 3);
        EXPECT_EQ(b.host.history.Count(), steps) << "building records nothing in the document";
        b.key(kEnter);
        EXPECT_EQ(b.tool->Building(), nullptr);
        ASSERT_NE(b.lastPath(), nullptr);
        EXPECT_EQ(b.lastPath()->Points().size(), 9u);
        EXPECT_FALSE(b.lastPath()->IsClosed());
        EXPECT_FALSE(b.lastPath()->IsSelected());
        EXPECT_EQ(b.host.history.Count(), steps + 1);
    }
}

TEST(PathTools, ThePathInProgressIsDrawnOverTheKeptPictureAndJoinsItWhenFinished)
{
    Building b;
    b.tool->OnIdle();
    b.click({ 0, 0 });
    b.click({ 50, 0 });
    b.tool->OnIdle();
    const QPoint on = b.pixel({ 25, 0 });
    const QRgb background = b.host.drawing.pixel(b.pixel({ 25, 35 }));
    EXPECT_EQ(b.host.drawing.pixel(on), background) << "a press repaints nothing of the kept picture";
    EXPECT_NE(b.host.screen.pixel(on), background) << "the path is shown over it";
    b.key(kEnter);
    b.tool->OnIdle();
    ASSERT_NE(b.lastPath(), nullptr);
    EXPECT_FALSE(b.lastPath()->InProgress());
    EXPECT_NE(b.host.drawing.pixel(on), background);
}

TEST(PathTools, APathOfOneAnchorIsDiscardedHoweverItEnds)
{
    // A lone anchor draws nothing and could never be picked or deleted again.
    const struct {
        const char* what;
        const char* tool;
        std::function<void(Building&)> end;
    } cases[] = {
        { "Enter", "BezierTool", [](Building& b) { b.key(kEnter); } },
        { "the finish button", "PolylineTool", [](Building& b) { b.tool->FinishClick(); } },
        { "a press on the anchor itself", "BezierTool",
            [](Building& b) {
                b.click({ 11, 9 });
            } },
        { "switching tools", "PolylineTool",
            [](Building& b) { EXPECT_TRUE(b.bar.SelectToolByName(QStringLiteral("RectangleTool"))); } },
        { "a command", "BezierTool", [](Building& b) { b.tool->EndGesture(); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Building b(c.tool);
        const int steps = b.host.history.Count();
        b.click({ 10, 10 });
        c.end(b);
        EXPECT_EQ(b.root().ChildCount(), 1);
        EXPECT_EQ(b.host.history.Count(), steps);
        EXPECT_EQ(b.tool->Building(), nullptr);
    }
}

TEST(PathTools, APressOnTheFirstAnchorClosesAndItsReleaseFinishes)
{
    Building b;
    b.click({ 0, 0 });
    b.click({ 50, 0 });
    b.click({ 50, 40 });
    b.click({ 1, 1 }); // within three pixels of the first anchor, snapped onto it
    EXPECT_EQ(b.tool->Building(), nullptr);
    ASSERT_NE(b.lastPath(), nullptr);
    EXPECT_TRUE(b.lastPath()->IsClosed());
    EXPECT_EQ(b.lastPath()->Points().size(), 9u);
}

TEST(PathTools, UndoAndRedoStepThroughTheAnchorsAndLeaveTheDocumentAlone)
{
    Building b;
    const QByteArray before = b.host.document.ToBytes();
    const int steps = b.host.history.Count();
    b.click({ 0, 0 });
    b.click({ 50, 0 });
    b.click({ 50, 40 });
    b.key('Z', true);
    EXPECT_EQ(b.anchors(), 2);
    b.key('Z', true);
    EXPECT_EQ(b.anchors(), 1);
    b.key('Z', true); // the first anchor: the new path goes entirely
    EXPECT_EQ(b.tool->Building(), nullptr);
    EXPECT_EQ(b.host.document.ToBytes(), before);
    EXPECT_EQ(b.host.history.Count(), steps);
    EXPECT_TRUE(b.host.history.CanUndo()) << "the document's own steps are untouched";

    b.key('Y', true); // brings the one-anchor path back, being built
    EXPECT_EQ(b.anchors(), 1);
    b.key('Y', true);
    EXPECT_EQ(b.anchors(), 2);
    EXPECT_EQ(b.host.history.Count(), steps);
    b.key(kEnter);
    EXPECT_EQ(b.lastPath()->Points().size(), 6u);
}

TEST(PathTools, ADragPullsHandlesOnlyWithTheBezierTool)
{
    for (const bool bezier : { true, false }) {
        Building b(bezier ? "BezierTool" : "PolylineTool");
        b.click({ 0, 0 });
        b.tool->WindowMouseDown(ssLeft, b.pixel({ 50, 0 }));
        b.tool->WindowMouseMove(ssLeft, b.pixel({ 70, 20 }));
        b.tool->WindowMouseUp(0, b.pixel({ 70, 20 }));
        b.tool->FinishClick();
        const std::vector<PointF>& p = b.lastPath()->Points();
        ASSERT_EQ(p.size(), 6u);
        // The incoming control point of the second anchor (entry 2) sits on the
        // anchor for a corner and mirrors the drag for a pulled handle.
        const PointF anchor = p[3], incoming = p[2];
        if (bezier) {
            EXPECT_NE(incoming, anchor);
            EXPECT_NEAR(incoming.X - anchor.X, -20, 1e-3);
            EXPECT_NEAR(incoming.Y - anchor.Y, -20, 1e-3);
        } else {
            EXPECT_EQ(incoming, anchor);
        }
    }
}

TEST(PathTools, ASurfaceChangeWhileBuildingIsAStepOfThePathOnly)
{
    Building b;
    const int steps = b.host.history.Count();
    b.click({ 0, 0 });
    b.click({ 50, 0 });
    b.tool->Building()->SetSurface(TVeskSurface(5, false, false, 4));
    ASSERT_TRUE(b.tool->StyleJoinsGesture());
    b.tool->StyleChanged();
    EXPECT_EQ(b.host.history.Count(), steps);
    b.key('Z', true); // back to the thin surface, both anchors kept
    EXPECT_EQ(b.anchors(), 2);
    EXPECT_EQ(b.tool->Building()->GetSurface()->GetWidth(), 2.0f);
}

TEST(PathTools, SwitchingToolsFinishesThePath)
{
    Building b;
    const int steps = b.host.history.Count();
    b.click({ 0, 0 });
    b.click({ 30, 0 });
    EXPECT_TRUE(b.bar.SelectToolByName(QStringLiteral("RectangleTool")));
    EXPECT_EQ(b.root().ChildCount(), 2);
    EXPECT_EQ(b.host.history.Count(), steps + 1);
    EXPECT_EQ(b.lastPath()->Points().size(), 6u);
}

} // namespace
