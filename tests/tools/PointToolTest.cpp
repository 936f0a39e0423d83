// The point tool driven by synthetic presses, moves, releases and keys
// through a fake window: picking anchors and control points, the rubber band
// over anchors, dragging with and without grid steps, pulling and retracting
// control points, inserting and deleting anchors, turning the picked points,
// shapes inside groups, and one history step per edit that changed something.
#include "FakeToolHost.h"
#include "Veskpointproc.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpath.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vesk;
using namespace vesk::test;

namespace {

constexpr int kCtrl = 0x11;
constexpr int kShift = 0x10;

// Entries of one anchor: incoming control point, anchor, outgoing control point.
struct Anchor {
    PointF at;
    PointF in;
    PointF out;
};

Anchor corner(PointF at)
{
    return { at, at, at };
}

// Path P: an open path through (0, 0), (50, 0) and (100, 0), whose middle
// anchor is smooth with control points at (40, -20) and (60, 20); the others
// are corners. Path Q: a corner path from (0, 60) to (100, 60). Paths G1 and
// G2 in a group: (200, 0)-(250, 0) and (200, 40)-(250, 40).
struct PointToolTest : ::testing::Test {
    PointToolTest()
    {
        host.grid.snap = false;
        host.grid.pitch = 10;
        addPath("P", { corner({ 0, 0 }), { { 50, 0 }, { 40, -20 }, { 60, 20 } }, corner({ 100, 0 }) });
        addPath("Q", { corner({ 0, 60 }), corner({ 100, 60 }) });
        TVeskGroup proto;
        auto* group = static_cast<TVeskGroup*>(root().Add(proto));
        group->Add(pathOf("G1", { corner({ 200, 0 }), corner({ 250, 0 }) }));
        group->Add(pathOf("G2", { corner({ 200, 40 }), corner({ 250, 40 }) }));
        bar.AddTool(std::make_unique<RecordingTool>(bar, QStringLiteral("Other")));
        tool = static_cast<TVeskPointProc*>(bar.AddTool(std::make_unique<TVeskPointProc>(bar, pointInfo)));
        bar.ResetToFirstTool();
        bar.ToolClick(tool);
        tool->OnIdle(); // the drawing the rubber band is shown over
        host.edit.Reset(30);
    }

    static constexpr TVeskToolInfo pointInfo { "PointTool", "Bitmap\\Arrow01.bmp", "ポイントを選択します",
        ModePointIdle, "" };

    TVeskPart& root() { return host.document.Root(); }

    TVeskPath pathOf(const char* name, const std::vector<Anchor>& anchors)
    {
        std::vector<PointF> entries;
        for (size_t k = 0; k < anchors.size(); ++k) {
            entries.push_back(anchors[k].at);
            entries.push_back(anchors[k].out);
            entries.push_back(anchors[(k + 1) % anchors.size()].in);
        }
        TVeskPath path(host.document.Layers().CurrentLayer(), TVeskSurface(4.0f, false, false, 0));
        path.SetPoints(entries, {});
        path.SetName(QString::fromUtf8(name));
        return path;
    }
    void addPath(const char* name, const std::vector<Anchor>& anchors) { root().Add(pathOf(name, anchors)); }

    // Undo and redo install new roots: look objects up by name every time.
    TVeskPath* path(const char* name)
    {
        if (TVeskPath* found = findIn(root(), QString::fromUtf8(name)))
            return found;
        ADD_FAILURE() << name << " is not in the document";
        return nullptr;
    }
    static TVeskPath* findIn(const TVeskContainer& container, const QString& name)
    {
        for (const auto& child : container.Children()) {
            if (child->GetName() == name)
                return dynamic_cast<TVeskPath*>(child.get());
            if (auto* inner = dynamic_cast<const TVeskContainer*>(child.get()))
                if (TVeskPath* found = findIn(*inner, name))
                    return found;
        }
        return nullptr;
    }
    // The path's anchors, "x,y" each, space-separated.
    std::string anchors(const char* name) { return entries(name, true); }
    std::string entries(const char* name, bool anchorsOnly = false)
    {
        const TVeskPath* p = path(name);
        if (!p)
            return "?";
        std::string out;
        const Matrix& m = p->GetMatrixRef();
        for (size_t i = 0; i < p->Points().size(); i += anchorsOnly ? 3 : 1) {
            const PointF q = m.TransformPoint(p->Points()[i]);
            out += (out.empty() ? "" : " ") + num(q.X) + "," + num(q.Y);
        }
        return out;
    }
    static std::string num(float v)
    {
        const double r = std::round(double(v) * 100) / 100;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", r == 0 ? 0.0 : r);
        return buf;
    }
    // Which anchors are picked, as "010".
    std::string picked(const char* name)
    {
        const TVeskPath* p = path(name);
        std::string out;
        for (size_t i = 0; p && i < p->PointFlags().size(); i += 3)
            out += (p->PointFlags()[i] & pfSelected) ? '1' : '0';
        return out;
    }
    std::string listed() const
    {
        std::string out;
        for (const TVeskObject* o : tool->EditList())
            out += o->GetName().toStdString();
        return out;
    }

    QPoint px(PointF p) const
    {
        const PointF q = host.view.DocumentToPixel(p);
        return { int(std::lround(q.X)), int(std::lround(q.Y)) };
    }
    void press(PointF p, std::uint32_t shift = ssLeft) { tool->WindowMouseDown(shift, px(p)); }
    void move(PointF p, std::uint32_t shift = ssLeft) { tool->WindowMouseMove(shift, px(p)); }
    void release(PointF p) { tool->WindowMouseUp(0, px(p)); }
    void click(PointF p)
    {
        press(p);
        release(p);
    }
    void drag(PointF from, PointF to)
    {
        press(from);
        move({ (from.X + to.X) / 2, (from.Y + to.Y) / 2 });
        move(to);
        release(to);
    }
    void keysDown(std::initializer_list<int> keys)
    {
        for (int k : keys)
            tool->WindowKeyDown(k);
    }
    void keysUp(std::initializer_list<int> keys)
    {
        for (int k : keys)
            tool->WindowKeyUp(k);
    }
    // Steps recorded since the fixture was set up.
    int steps() const { return host.history.Count(); }

    FakeToolHost host { 600, 300 };
    TVeskToolBar bar { host, TVeskToolBar::Empty {} };
    TVeskPointProc* tool = nullptr;
};

const char* const kPOriginal = "0,0 0,0 40,-20 50,0 60,20 100,0 100,0 100,0 0,0";

} // namespace

// ---- picking ----------------------------------------------------------------

TEST_F(PointToolTest, PressesPickAnchorsControlPointsAndShapes)
{
    const struct {
        const char* what;
        std::function<void(PointToolTest&)> before;
        PointF at;
        int mode; // while the button is down
        const char* listed;
        const char* pickedP;
        const char* pickedQ;
    } cases[] = {
        { "an anchor of an unselected path picks it", {}, { 50, 0 }, ModePointIdle, "P", "010", "00" },
        { "the body shows the points, none picked", {}, { 50, 60 }, ModePointIdle, "Q", "000", "00" },
        { "empty space picks nothing", {}, { 150, 120 }, ModePointPressed, "", "000", "00" },
        { "an anchor of another path replaces the pick",
            [](auto& t) {
                t.click({ 50, 0 });
            },
            { 0, 60 }, ModePointIdle, "Q", "000", "10" },
        { "another anchor of the same path replaces the pick",
            [](auto& t) {
                t.click({ 50, 0 });
            },
            { 100, 0 }, ModePointIdle, "P", "001", "00" },
        { "a picked anchor keeps the others",
            [](auto& t) {
                t.drag({ 40, -30 }, { 110, 10 });
            },
            { 100, 0 }, ModePointIdle, "P", "011", "00" },
        { "a control point of a picked anchor starts a handle drag",
            [](auto& t) {
                t.click({ 50, 0 });
            },
            { 60, 20 }, ModePointHandleDrag, "P", "010", "00" },
        { "a control point of an unpicked anchor is not hit", {}, { 60, 20 }, ModePointPressed, "", "000",
            "00" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bar.ToolClick(tool); // deselects everything
        if (c.before)
            c.before(*this);
        press(c.at);
        EXPECT_EQ(tool->TopMode(), c.mode);
        EXPECT_EQ(listed(), c.listed);
        EXPECT_EQ(picked("P"), c.pickedP);
        EXPECT_EQ(picked("Q"), c.pickedQ);
        EXPECT_EQ(host.reference.X, c.at.X);
        EXPECT_TRUE(tool->OverlayPending());
        release(c.at);
        EXPECT_EQ(tool->TopMode(), ModePointIdle);
        EXPECT_EQ(steps(), 0) << "picking is no edit";
    }
}

TEST_F(PointToolTest, ShapesInsideGroupsAreEditedAsLeaves)
{
    click({ 250, 0 });
    EXPECT_EQ(listed(), "G1G2") << "the group is selected whole, its members are edited";
    EXPECT_EQ(picked("G1"), "01");
    EXPECT_EQ(picked("G2"), "00");
    drag({ 250, 0 }, { 260, 10 });
    EXPECT_EQ(anchors("G1"), "200,0 260,10");
    EXPECT_EQ(anchors("G2"), "200,40 250,40");
    EXPECT_EQ(steps(), 1);
    tool->UndoClick();
    EXPECT_EQ(anchors("G1"), "200,0 250,0");
    EXPECT_EQ(listed(), "") << "undo forgets the edited objects";
}

// ---- rubber band ------------------------------------------------------------

TEST_F(PointToolTest, RubberBandPicksTheAnchorsInside)
{
    const struct {
        const char* what;
        PointF from, to;
        bool band;
        const char* listed;
        const char* pickedP;
        const char* pickedQ;
        const char* pickedG1;
    } cases[] = {
        { "two anchors of one path", { 40, -30 }, { 110, 10 }, true, "P", "011", "00", "00" },
        { "anchors of two paths, drawn upwards", { 30, 70 }, { -10, -5 }, true, "PQ", "100", "10", "00" },
        { "an anchor of a group member lists every member", { 240, -5 }, { 260, 5 }, true, "G1G2", "000", "",
            "01" },
        { "within 5 pixels no band starts", { 150, 120 }, { 154, 124 }, false, "", "000", "00", "00" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        root().SetSelected(false);
        press(c.from);
        EXPECT_EQ(tool->TopMode(), ModePointPressed);
        move(c.to);
        EXPECT_EQ(tool->TopMode(), c.band ? ModePointBand : ModePointPressed);
        const size_t shown = host.presented.size();
        move(c.to);
        EXPECT_EQ(host.presented.size(), shown + (c.band ? 1 : 0)) << "the band is shown straight away";
        release(c.to);
        EXPECT_EQ(tool->TopMode(), ModePointIdle);
        EXPECT_EQ(listed(), c.listed);
        EXPECT_EQ(picked("P"), c.pickedP);
        if (*c.pickedQ) {
            EXPECT_EQ(picked("Q"), c.pickedQ);
        }
        EXPECT_EQ(picked("G1"), c.pickedG1);
        EXPECT_EQ(steps(), 0);
    }
}

// ---- dragging ---------------------------------------------------------------

TEST_F(PointToolTest, DragsMoveAnchorsInGridStepsAndControlPointsFreely)
{
    const struct {
        const char* what;
        bool snap;
        PointF pick; // clicked first, or nowhere when at infinity
        PointF from, to;
        const char* entriesP;
    } cases[] = {
        { "an anchor with its control points, snapped 14,6 to 10,10", true, { 50, 0 }, { 50, 0 }, { 64, 6 },
            "0,0 0,0 50,-10 60,10 70,30 100,0 100,0 100,0 0,0" },
        { "snapped 16,-4 to 20,0", true, { 50, 0 }, { 50, 0 }, { 66, -4 },
            "0,0 0,0 60,-20 70,0 80,20 100,0 100,0 100,0 0,0" },
        { "unsnapped the anchor follows the pointer", false, { 50, 0 }, { 50, 0 }, { 64, 6 },
            "0,0 0,0 54,-14 64,6 74,26 100,0 100,0 100,0 0,0" },
        { "a control point is never snapped; the opposite one stays in line", true, { 50, 0 }, { 60, 20 },
            { 74, 20 }, "0,0 0,0 32.82,-14.31 50,0 74,20 100,0 100,0 100,0 0,0" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host.grid.snap = c.snap;
        click(c.pick);
        drag(c.from, c.to);
        EXPECT_EQ(entries("P"), c.entriesP);
        EXPECT_EQ(steps(), 1);
        EXPECT_TRUE(tool->RenderPending()) << "the release redraws";
        EXPECT_FALSE(tool->Moved());
        tool->UndoClick();
        EXPECT_EQ(entries("P"), kPOriginal);
        tool->RedoClick();
        EXPECT_EQ(entries("P"), c.entriesP);
        tool->UndoClick();
        host.edit.Reset(30);
    }
}

TEST_F(PointToolTest, DragsThatChangeNothingRecordNoStep)
{
    // The body press picks no anchor: the drag moves nothing.
    drag({ 50, 60 }, { 70, 80 });
    EXPECT_EQ(anchors("Q"), "0,60 100,60");
    // An anchor dragged away and back.
    click({ 100, 0 });
    press({ 100, 0 });
    move({ 120, 10 });
    EXPECT_TRUE(tool->Moved());
    move({ 100, 0 });
    release({ 100, 0 });
    EXPECT_EQ(entries("P"), kPOriginal);
    EXPECT_EQ(steps(), 0) << "an undo after these would seem to do nothing";
}

TEST_F(PointToolTest, EveryPickedAnchorMovesTogether)
{
    host.grid.snap = false;
    drag({ -10, -10 }, { 60, 70 }); // band: P's first two anchors and Q's first
    press({ 50, 0 });
    move({ 55, 3 });
    move({ 60, 5 });
    release({ 60, 5 });
    EXPECT_EQ(anchors("P"), "10,5 60,5 100,0");
    EXPECT_EQ(anchors("Q"), "10,65 100,60");
    EXPECT_EQ(steps(), 1) << "one drag, one step";
}

// ---- Ctrl+Shift: retracting and pulling control points --------------------------

TEST_F(PointToolTest, CtrlShiftClicksAreStepsOfTheirOwnWhenTheyChangeSomething)
{
    const struct {
        const char* what;
        PointF pick; // clicked before Ctrl+Shift
        PointF at;
        const char* entriesP;
        std::uint8_t smoothAfter; // pfSmooth of P's entry 4 (the outgoing control point)
        int steps;
    } cases[] = {
        { "a click on a smooth anchor retracts its control points", { 50, 0 }, { 50, 0 },
            "0,0 0,0 50,0 50,0 50,0 100,0 100,0 100,0 0,0", pfSmooth, 1 },
        { "a click on a control point unlinks the pair", { 50, 0 }, { 60, 20 }, kPOriginal, 0, 1 },
        { "a click on a corner changes nothing", { 100, 0 }, { 100, 0 }, kPOriginal, pfSmooth, 0 },
        { "a click on empty space changes nothing", { 100, 0 }, { 150, 120 }, kPOriginal, pfSmooth, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        click(c.pick);
        // An earlier edit: the click must not merge into its step.
        click({ 100, 60 });
        drag({ 100, 60 }, { 100, 70 });
        ASSERT_EQ(steps(), 1);
        click(c.pick);
        keysDown({ kCtrl, kShift });
        ASSERT_EQ(tool->TopMode(), ModePointHandlePull);
        click(c.at);
        keysUp({ kShift, kCtrl });
        EXPECT_EQ(tool->TopMode(), ModePointIdle);
        EXPECT_EQ(entries("P"), c.entriesP);
        EXPECT_EQ(path("P")->PointFlags()[4] & pfSmooth, c.smoothAfter);
        EXPECT_EQ(steps(), 1 + c.steps);
        tool->UndoClick();
        if (c.steps) {
            EXPECT_EQ(entries("P"), kPOriginal);
            EXPECT_EQ(path("P")->PointFlags()[4] & pfSmooth, pfSmooth);
            EXPECT_EQ(anchors("Q"), "0,60 100,70") << "undo takes back the click alone";
            tool->UndoClick();
        }
        EXPECT_EQ(anchors("Q"), "0,60 100,60");
        host.edit.Reset(30);
    }
}

TEST_F(PointToolTest, CtrlShiftDragPullsSymmetricHandlesAsOneStep)
{
    click({ 100, 60 });
    keysDown({ kCtrl, kShift });
    drag({ 100, 60 }, { 120, 70 });
    keysUp({ kCtrl, kShift });
    EXPECT_EQ(entries("Q"), "0,60 0,60 80,50 100,60 120,70 0,60");
    EXPECT_EQ(steps(), 1);
    tool->UndoClick();
    EXPECT_EQ(entries("Q"), "0,60 0,60 100,60 100,60 100,60 0,60");
}

TEST_F(PointToolTest, CtrlShiftModeLastsWhileExactlyThoseKeysAreHeld)
{
    keysDown({ kCtrl, kShift });
    EXPECT_EQ(tool->TopMode(), ModePointHandlePull);
    keysDown({ 'R' });
    keysUp({ 'R' });
    EXPECT_EQ(tool->TopMode(), ModePointHandlePull) << "a third key comes and goes";
    keysUp({ kCtrl });
    EXPECT_EQ(tool->TopMode(), ModePointIdle) << "one key let go ends it at once";
    keysDown({ kCtrl });
    EXPECT_EQ(tool->TopMode(), ModePointHandlePull);
    keysUp({ kShift, kCtrl });
    EXPECT_EQ(tool->Modes(), std::vector<std::int32_t> { ModePointIdle });
}

// ---- X+Z: inserting and deleting anchors ---------------------------------------

TEST_F(PointToolTest, XZClicksInsertAndDeleteAnchors)
{
    const struct {
        const char* what;
        bool snap;
        PointF pick;
        PointF at;
        const char* anchorsQ;
        int steps;
    } cases[] = {
        { "a click on the outline inserts an anchor", false, { 0, 60 }, { 33, 61 }, "0,60 33,61 100,60", 1 },
        { "snapped first when snapping is on", true, { 0, 60 }, { 33, 61 }, "0,60 30,60 100,60", 1 },
        { "a path keeps two anchors", false, { 0, 60 }, { 100, 60 }, "0,60 100,60", 0 },
        { "empty space changes nothing", false, { 0, 60 }, { 50, 120 }, "0,60 100,60", 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host.grid.snap = c.snap;
        click(c.pick);
        keysDown({ 'X', 'Z' });
        ASSERT_EQ(tool->TopMode(), ModePointInsertDelete);
        click(c.at);
        keysUp({ 'Z', 'X' });
        EXPECT_EQ(tool->TopMode(), ModePointIdle);
        EXPECT_EQ(anchors("Q"), c.anchorsQ);
        EXPECT_EQ(steps(), c.steps);
        if (c.steps) {
            tool->UndoClick();
            EXPECT_EQ(anchors("Q"), "0,60 100,60");
            tool->RedoClick();
            EXPECT_EQ(anchors("Q"), c.anchorsQ);
            tool->UndoClick();
        }
        host.edit.Reset(30);
    }
}

TEST_F(PointToolTest, XZDeletesAnAnchorPerClickEachItsOwnStep)
{
    click({ 50, 0 });
    keysDown({ 'X', 'Z' });
    click({ 50, 0 });
    EXPECT_EQ(anchors("P"), "0,0 100,0");
    EXPECT_EQ(steps(), 1);
    click({ 25, 0 });
    EXPECT_EQ(anchors("P"), "0,0 25,0 100,0");
    EXPECT_EQ(steps(), 2);
    keysUp({ 'X', 'Z' });
    tool->UndoClick();
    EXPECT_EQ(anchors("P"), "0,0 100,0");
    tool->UndoClick();
    EXPECT_EQ(entries("P"), kPOriginal);
}

// ---- Ctrl+R: turning the picked points ------------------------------------------

TEST_F(PointToolTest, CtrlRTurnsThePickedPointsAboutTheLastPressPoint)
{
    host.grid.snap = false;
    drag({ 40, -30 }, { 110, 10 }); // picks P's anchors 1 and 2, pressed at (40, -30)
    keysDown({ kCtrl, 'R' });
    keysUp({ 'R', kCtrl });
    // (x, y) turns about (40, -30) to (40 - (y + 30), -30 + (x - 40)): clockwise on screen.
    EXPECT_EQ(entries("P"), "0,0 0,0 30,-30 10,-20 -10,-10 10,30 10,30 10,30 0,0");
    EXPECT_EQ(steps(), 1);
    tool->UndoClick();
    EXPECT_EQ(entries("P"), kPOriginal);
}

TEST_F(PointToolTest, TurningWithoutPickedPointsRecordsNoStep)
{
    tool->RotateClick(); // nothing listed
    click({ 50, 60 }); // Q listed, no anchor picked
    ASSERT_EQ(listed(), "Q");
    tool->RotateClick();
    click({ 100, 0 }); // a corner turned about itself stays
    tool->RotateClick();
    EXPECT_EQ(anchors("Q"), "0,60 100,60");
    EXPECT_EQ(entries("P"), kPOriginal);
    EXPECT_EQ(steps(), 0);
}

TEST_F(PointToolTest, TheRotateButtonComesBeforeTheFrameworkButtonsAndTurns)
{
    ASSERT_EQ(bar.OptionButtons().size(), 4u);
    EXPECT_EQ(bar.OptionButtons()[0].glyphName, QStringLiteral("Bitmap\\Rotate.bmp"));
    EXPECT_EQ(bar.OptionButtons()[0].hint, QStringLiteral("オブジェクトを90°回転します"));
    EXPECT_EQ(bar.OptionButtons()[1].glyphName, QStringLiteral("Bitmap\\OK.bmp"));
    host.grid.snap = false;
    drag({ 40, -30 }, { 110, 10 });
    bar.ClickOptionButton(0);
    EXPECT_EQ(anchors("P"), "0,0 10,-20 10,30");
    EXPECT_EQ(steps(), 1);
}

// ---- lifecycle -----------------------------------------------------------------

TEST_F(PointToolTest, SwitchingToolsEndsTheEditAndLeavesNoHeldMode)
{
    click({ 50, 0 });
    press({ 50, 0 });
    move({ 70, 0 });
    keysDown({ kCtrl, kShift });
    bar.ToolClick(0); // a tool switch in the middle of the drag
    EXPECT_EQ(steps(), 1) << "what the drag moved is kept as a step";
    EXPECT_TRUE(tool->EditList().empty());
    bar.ToolClick(tool);
    EXPECT_EQ(tool->Modes(), std::vector<std::int32_t> { ModePointIdle });
    click({ 100, 0 });
    EXPECT_EQ(anchors("P"), "0,0 70,0 100,0");
    EXPECT_EQ(picked("P"), "001") << "a plain click, not a retracting one";
}
