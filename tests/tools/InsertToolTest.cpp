// The pad and library tools driven through a fake window: the first left
// press arms a tool, after which each release inserts the pad list's pad or
// the library window's part with its origin on the snapped release point,
// as one history step; without artwork nothing is inserted or recorded.
#include "FakeToolHost.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskrectangle.h"

#include <gtest/gtest.h>
#include <string>

using namespace vesk;
using namespace vesk::test;

namespace {

// A filled 10 x 10 square about the origin on "component", as a pad file
// gives it.
std::unique_ptr<TVeskGroup> squarePad(TVeskLayerList& layers)
{
    auto pad = std::make_unique<TVeskGroup>();
    TVeskRect square(layers.FindLayer(QStringLiteral("component")), TVeskSurface(0.0f, false, true, 4));
    square.SetCorners({ -5, -5 }, { 5, 5 });
    square.SetSelected(false);
    pad->Add(square);
    return pad;
}

PointF centreOf(const TVeskObject& o)
{
    RectF r;
    o.GetBounds(r);
    return { r.X + r.Width / 2, r.Y + r.Height / 2 };
}

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
    // 'L' a left click, 'R' a right click, 'S' switching to the select tool
    // and back.
    void run(const char* script, PointF at)
    {
        for (const char* c = script; *c; ++c) {
            if (*c == 'S') {
                const QString name = tool->GetToolName();
                bar.SelectToolByName(QStringLiteral("SelectTool"));
                bar.SelectToolByName(name);
                continue;
            }
            tool->WindowMouseDown(*c == 'L' ? ssLeft : ssRight, pixel(at));
            tool->WindowMouseUp(0, pixel(at));
        }
    }
    TVeskPart& root() { return host.document.Root(); }

    FakeToolHost host;
    TVeskToolBar bar;
    TVeskEventProc* tool = nullptr;
};

enum class Source { Pad, NoPad, EmptyPad, Part, Cancelled, EmptyPart };

TEST(InsertTools, EachLeftClickInsertsOneGroupAtTheSnappedPointAsOneStepAndRightClicksNothing)
{
    const struct {
        const char* what;
        const char* tool;
        Source source;
        bool snap;
        const char* script;
        int inserted;
        int libraryShown;
    } cases[] = {
        { "pad, left click", "PadTool", Source::Pad, true, "L", 1, 0 },
        { "pad, two left clicks", "PadTool", Source::Pad, true, "LL", 2, 0 },
        { "pad, unsnapped", "PadTool", Source::Pad, false, "L", 1, 0 },
        { "pad, right click before arming", "PadTool", Source::Pad, true, "RR", 0, 0 },
        { "pad, right click after a left click", "PadTool", Source::Pad, true, "RLR", 1, 0 },
        { "pad, right click after a tool switch", "PadTool", Source::Pad, true, "LSR", 1, 0 },
        { "no pad chosen", "PadTool", Source::NoPad, true, "LL", 0, 0 },
        { "an empty pad", "PadTool", Source::EmptyPad, true, "L", 0, 0 },
        { "part, left click", "LibraryTool", Source::Part, true, "L", 1, 1 },
        { "part, right click before arming", "LibraryTool", Source::Part, true, "R", 0, 0 },
        { "part, right click after a left click", "LibraryTool", Source::Part, true, "LR", 1, 1 },
        { "part, right click after a tool switch", "LibraryTool", Source::Part, true, "LSR", 1, 1 },
        { "library cancelled or nothing chosen", "LibraryTool", Source::Cancelled, true, "LL", 0, 2 },
        { "an empty part", "LibraryTool", Source::EmptyPart, true, "L", 0, 1 },
    };
    const PointF click { 23, -17 };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Drawing d(c.tool);
        TVeskLayerList& layers = d.host.document.Layers();
        d.host.grid.snap = c.snap;
        switch (c.source) {
        case Source::Pad:
            d.host.pad = squarePad(layers);
            break;
        case Source::EmptyPad:
            d.host.pad = std::make_unique<TVeskGroup>();
            break;
        case Source::Part:
            d.host.pickPart = [&] { return squarePad(layers); };
            break;
        case Source::EmptyPart:
            d.host.pickPart = [] { return std::make_unique<TVeskGroup>(); };
            break;
        case Source::NoPad:
        case Source::Cancelled:
            break;
        }
        d.run(c.script, click);

        const PointF expected = c.snap ? PointF { 20, -20 } : click;
        ASSERT_EQ(d.root().ChildCount(), c.inserted);
        EXPECT_EQ(d.host.history.Count(), c.inserted);
        EXPECT_EQ(d.host.history.IsModified(), c.inserted > 0);
        EXPECT_EQ(d.host.libraryAsked, c.libraryShown);
        for (int i = 0; i < c.inserted; ++i) {
            const TVeskObject& placed = *d.root().ChildAt(i);
            EXPECT_NE(dynamic_cast<const TVeskGroup*>(&placed), nullptr);
            EXPECT_FALSE(placed.IsSelected());
            const PointF at = centreOf(placed);
            EXPECT_NEAR(at.X, expected.X, 1e-4);
            EXPECT_NEAR(at.Y, expected.Y, 1e-4);
        }
        // A left click takes its point as the reference, inserting or not.
        const bool armed = std::string(c.script).find('L') != std::string::npos;
        EXPECT_EQ(d.host.reference, armed ? expected : PointF(0, 0));
        // The pad list keeps its pad where it was.
        if (c.source == Source::Pad) {
            EXPECT_EQ(centreOf(*d.host.pad), PointF(0, 0));
        }
    }
}

TEST(InsertTools, UndoTakesBackOneInsertionAtATime)
{
    for (const char* name : { "PadTool", "LibraryTool" }) {
        SCOPED_TRACE(name);
        Drawing d(name);
        TVeskLayerList& layers = d.host.document.Layers();
        d.host.pad = squarePad(layers);
        d.host.pickPart = [&] { return squarePad(layers); };
        d.run("L", { 0, 0 });
        d.run("L", { 50, 50 });
        ASSERT_EQ(d.root().ChildCount(), 2);
        d.tool->UndoClick();
        ASSERT_EQ(d.root().ChildCount(), 1);
        EXPECT_EQ(centreOf(*d.root().ChildAt(0)), PointF(0, 0));
    }
}

TEST(InsertTools, ThePointerPositionIsShownSnapped)
{
    for (const char* name : { "PadTool", "LibraryTool" }) {
        SCOPED_TRACE(name);
        Drawing d(name);
        d.tool->WindowMouseMove(0, d.pixel({ 14, 26 }));
        EXPECT_EQ(d.host.position, PointF(10, 30));
        EXPECT_EQ(d.tool->TopMode(), name == std::string("PadTool") ? ModePadIdle : ModeLibIdle);
    }
}

} // namespace
