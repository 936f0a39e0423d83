// The select tool driven by synthetic presses, moves, releases and keys
// through a fake window: picking, rubber band, dragging in grid steps,
// right-click cycling and the commands, each edit one history step.
#include "FakeToolHost.h"
#include "Veskselectproc.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskrectangle.h"

#include <QColor>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vesk;
using namespace vesk::test;

namespace {

constexpr int kCtrl = 0x11;
constexpr int kShift = 0x10;

// Three squares stacked over (15, 15) and one apart:
// A (0..20), B (5..25), C (10..30), D (60..80, 0..20).
struct SelectToolTest : ::testing::Test {
    SelectToolTest()
    {
        host.grid.snap = false;
        addSquare("A", { 0, 0 }, { 20, 20 });
        addSquare("B", { 5, 5 }, { 25, 25 });
        addSquare("C", { 10, 10 }, { 30, 30 });
        addSquare("D", { 60, 0 }, { 80, 20 });
        tool = static_cast<TVeskSelectProc*>(bar.AddTool(std::make_unique<TVeskSelectProc>(bar)));
        bar.AddTool(std::make_unique<RecordingTool>(bar, QStringLiteral("Other")));
        bar.ResetToFirstTool();
        host.edit.Reset(30);
    }

    TVeskPart& root() { return host.document.Root(); }

    TVeskLayer* layer(const char* name) { return host.document.Layers().FindLayer(QString::fromUtf8(name)); }

    TVeskObject* addSquare(const char* name, PointF a, PointF b, const char* on = "solder")
    {
        TVeskRect proto(layer(on), TVeskSurface(1.0f, false, true, 0));
        proto.SetCorners(a, b);
        proto.SetName(QString::fromUtf8(name));
        return root().Add(proto);
    }

    TVeskObject* find(const char* name)
    {
        std::vector<TVeskObject*> all;
        root().CollectAll(all);
        for (TVeskObject* o : all)
            if (o->GetName() == QString::fromUtf8(name))
                return o;
        return nullptr;
    }

    static std::string namesOf(const std::vector<TVeskObject*>& objects)
    {
        std::string out;
        for (const TVeskObject* o : objects)
            out += o->GetName().toStdString();
        return out;
    }
    // The root's children by name in order; a group as "(members)".
    std::string children()
    {
        std::string out;
        for (const auto& child : root().Children()) {
            if (auto* group = dynamic_cast<TVeskGroup*>(child.get())) {
                out += "(";
                for (const auto& member : group->Children())
                    out += member->GetName().toStdString();
                out += ")";
            } else {
                out += child->GetName().toStdString();
            }
        }
        return out;
    }
    std::string selected()
    {
        std::vector<TVeskObject*> list;
        root().CollectSelected(list, -1);
        return namesOf(list);
    }
    std::string listed() const { return namesOf(tool->SelectionList()); }

    PointF centre(const char* name)
    {
        const TVeskObject* object = find(name);
        if (!object) {
            ADD_FAILURE() << name << " is not a child of the root";
            return {};
        }
        RectF b;
        object->GetBounds(b);
        return { b.X + b.Width / 2, b.Y + b.Height / 2 };
    }

    QPoint px(PointF p) const
    {
        const PointF q = host.view.DocumentToPixel(p);
        return { int(std::lround(q.X)), int(std::lround(q.Y)) };
    }
    void press(PointF p, std::uint32_t shift = ssLeft) { tool->WindowMouseDown(shift, px(p)); }
    void move(PointF p, std::uint32_t shift = ssLeft) { tool->WindowMouseMove(shift, px(p)); }
    void release(PointF p, std::uint32_t shift = 0) { tool->WindowMouseUp(shift, px(p)); }
    void click(PointF p, std::uint32_t shift = ssLeft)
    {
        press(p, shift);
        release(p, shift & ~std::uint32_t(ssLeft | ssRight));
    }
    void rightClick(PointF p) { click(p, ssRight); }
    void drag(PointF from, std::vector<PointF> through)
    {
        press(from);
        for (PointF p : through)
            move(p);
        release(through.back());
    }
    // Back to the four squares with A and D picked, and a history that
    // starts there.
    void restartWithAAndD()
    {
        while (host.history.CanUndo())
            tool->UndoClick();
        host.edit.Reset(30);
        click({ 2, 2 });
        click({ 70, 10 }, ssLeft | ssShift);
    }

    // Presses the keys in order and lets go in reverse.
    void chord(std::initializer_list<int> keys)
    {
        for (int k : keys)
            tool->WindowKeyDown(k);
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
            tool->WindowKeyUp(*it);
    }

    FakeToolHost host { 400, 300 };
    TVeskToolBar bar { host, TVeskToolBar::Empty {} };
    TVeskSelectProc* tool = nullptr;
};

void expectNear(PointF actual, PointF expected, const char* what = "")
{
    EXPECT_NEAR(actual.X, expected.X, 1e-3) << what;
    EXPECT_NEAR(actual.Y, expected.Y, 1e-3) << what;
}

} // namespace

// ---- picking ---------------------------------------------------------------

TEST_F(SelectToolTest, ClicksSelectAndNeverRecordAStep)
{
    const struct {
        const char* what;
        std::vector<const char*> before;
        std::uint32_t shift;
        PointF at;
        const char* selected;
    } cases[] = {
        { "every object under the pointer", {}, ssLeft, { 15, 15 }, "ABC" },
        { "another object replaces the selection", { "A", "B" }, ssLeft, { 70, 10 }, "D" },
        { "a selected object keeps the others for a drag", { "A", "D" }, ssLeft, { 2, 2 }, "AD" },
        { "Shift adds", { "D" }, ssLeft | ssShift, { 2, 2 }, "AD" },
        { "Shift adds the whole stack", { "D" }, ssLeft | ssShift, { 15, 15 }, "ABCD" },
        { "Shift on a selected object takes nothing away", { "A", "D" }, ssLeft | ssShift, { 2, 2 }, "AD" },
        { "empty space clears", { "A", "D" }, ssLeft, { 150, 100 }, "" },
        { "Shift on empty space clears too", { "A" }, ssLeft | ssShift, { 150, 100 }, "" },
    };
    for (const auto& c : cases) {
        root().SetSelected(false);
        for (const char* name : c.before)
            find(name)->SetSelected(true);
        click(c.at, c.shift);
        EXPECT_EQ(selected(), c.selected) << c.what;
        EXPECT_EQ(listed(), c.selected) << c.what;
        EXPECT_EQ(tool->TopMode(), ModeSelectIdle) << c.what;
        EXPECT_EQ(host.history.Count(), 0) << c.what;
        EXPECT_EQ(host.reference.X, c.at.X) << c.what;
        EXPECT_TRUE(tool->OverlayPending()) << c.what;
    }
}

TEST_F(SelectToolTest, LockedAndHiddenLayersAreNotPicked)
{
    addSquare("L", { 100, 0 }, { 120, 20 }, "component");
    layer("component")->SetLocked(true);
    click({ 110, 10 });
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(tool->TopMode(), ModeSelectIdle);
    layer("component")->SetLocked(false);
    layer("component")->SetVisible(false);
    click({ 110, 10 });
    EXPECT_EQ(selected(), "");
}

TEST_F(SelectToolTest, RightClicksCycleThroughTheStack)
{
    const char* expected[] = { "A", "B", "C", "A", "B" };
    for (const char* one : expected) {
        rightClick({ 15, 15 });
        EXPECT_EQ(selected(), one);
        EXPECT_EQ(listed(), "ABC");
    }
    // Another object starts a new cycle; empty space ends it.
    rightClick({ 70, 10 });
    EXPECT_EQ(selected(), "D");
    EXPECT_EQ(listed(), "D");
    press({ 150, 100 }, ssRight);
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(listed(), "");
    EXPECT_EQ(tool->TopMode(), ModeSelectPressed);
    release({ 150, 100 });
    EXPECT_EQ(tool->TopMode(), ModeSelectIdle);
    EXPECT_EQ(host.history.Count(), 0);
}

// Cycling leaves objects in the list that do not show as selected; the
// commands must not reach them.
TEST_F(SelectToolTest, AfterCyclingCommandsActOnlyOnTheSelectedObject)
{
    rightClick({ 15, 15 });
    rightClick({ 15, 15 });
    rightClick({ 15, 15 });
    ASSERT_EQ(selected(), "C");

    chord({ kCtrl, 'G' });
    EXPECT_EQ(children(), "ABCD") << "one object is not grouped";
    EXPECT_EQ(host.history.Count(), 0);

    // Rotation turns C alone, about the centre of all three: (15, 15).
    chord({ kCtrl, 'R' });
    expectNear(centre("C"), { 10, 20 });
    expectNear(centre("A"), { 10, 10 });
    expectNear(centre("B"), { 15, 15 });
    EXPECT_EQ(host.history.Count(), 1);

    rightClick({ 15, 15 });
    ASSERT_EQ(selected(), "A");
    rightClick({ 15, 15 });
    ASSERT_EQ(selected(), "B");
    tool->WindowKeyDown(TVeskSelectProc::VkDelete);
    tool->WindowKeyUp(TVeskSelectProc::VkDelete);
    EXPECT_EQ(children(), "ACD");
    EXPECT_EQ(host.history.Count(), 2);
}

TEST_F(SelectToolTest, AfterCyclingUngroupLeavesAnUnselectedGroupAlone)
{
    find("A")->SetSelected(true);
    find("B")->SetSelected(true);
    tool->GroupClick(); // nothing listed yet: nothing grouped
    click({ 2, 2 }, ssLeft | ssShift);
    ASSERT_EQ(listed(), "AB");
    chord({ kCtrl, 'G' });
    ASSERT_EQ(children(), "CD(AB)");
    rightClick({ 15, 15 }); // C first, then the group
    ASSERT_EQ(tool->SelectionList().size(), 2u);
    ASSERT_EQ(selected(), "C");
    chord({ kCtrl, kShift, 'G' });
    EXPECT_EQ(children(), "CD(AB)");
    EXPECT_EQ(host.history.Count(), 1);
}

// ---- rubber band -----------------------------------------------------------

TEST_F(SelectToolTest, ABandStartsBeyondFivePixels)
{
    const struct {
        double zoom;
        int pixels; // moved from the press, right and down
        bool band;
    } cases[] = { { 1, 5, false }, { 1, 6, true }, { 2, 5, false }, { 2, 6, true }, { 0.5, 6, true } };
    for (const auto& c : cases) {
        host.view.Reset();
        host.view.ZoomBy(c.zoom);
        const QPoint at = px({ -40, -40 });
        tool->WindowMouseDown(ssLeft, at);
        EXPECT_EQ(tool->TopMode(), ModeSelectPressed);
        tool->WindowMouseMove(ssLeft, at + QPoint(c.pixels, 0));
        EXPECT_EQ(tool->TopMode() == ModeSelectBand, c.band) << c.zoom << " " << c.pixels;
        tool->WindowMouseUp(0, at + QPoint(c.pixels, 0));
        EXPECT_EQ(tool->TopMode(), ModeSelectIdle);
        EXPECT_EQ(selected(), "");
        EXPECT_EQ(host.history.Count(), 0);
    }
}

TEST_F(SelectToolTest, BandSelectsWhatItTouchesAndShowsTheFrame)
{
    const struct {
        const char* what;
        PointF from, to;
        std::uint32_t shift;
        const char* selected;
    } cases[] = {
        { "down and right", { -10, -10 }, { 12, 12 }, ssLeft, "ABC" },
        { "up and left", { 90, 40 }, { 70, 15 }, ssLeft, "D" },
        { "Shift does not add", { 90, 40 }, { 70, 15 }, ssLeft | ssShift, "D" },
        { "nothing inside", { -50, 40 }, { -30, 60 }, ssLeft, "" },
    };
    for (const auto& c : cases) {
        root().SetSelected(false);
        find("A")->SetSelected(true);
        tool->RequestRedraw();
        tool->OnIdle();
        const std::size_t shown = host.presented.size();
        press(c.from, c.shift);
        move(c.to, c.shift); // leaves the press behind: a band from now on
        ASSERT_EQ(tool->TopMode(), ModeSelectBand) << c.what;
        move(c.to, c.shift);
        // The frame goes straight to the window, drawn over the drawing.
        ASSERT_EQ(host.presented.size(), shown + 1) << c.what;
        // It differs from the drawing on the band's edges and nowhere else.
        const QImage& frame = host.presented.back();
        const QRect band = QRect(px(c.from), px(c.to)).normalized();
        int onEdges = 0, elsewhere = 0;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                if (frame.pixel(x, y) != host.drawing.pixel(x, y))
                    ++(band.adjusted(-1, -1, 1, 1).contains(x, y)
                                && !band.adjusted(2, 2, -2, -2).contains(x, y)
                            ? onEdges
                            : elsewhere);
        EXPECT_GT(onEdges, 0) << c.what;
        EXPECT_EQ(elsewhere, 0) << c.what;
        release(c.to, c.shift & ~std::uint32_t(ssLeft));
        EXPECT_EQ(selected(), c.selected) << c.what;
        EXPECT_EQ(listed(), c.selected) << c.what;
        EXPECT_EQ(tool->TopMode(), ModeSelectIdle) << c.what;
    }
    EXPECT_EQ(host.history.Count(), 0);
}

// ---- dragging --------------------------------------------------------------

TEST_F(SelectToolTest, DragsMoveInWholeGridStepsFromThePress)
{
    const struct {
        bool snap;
        std::vector<PointF> through; // relative to the press point
        PointF moved;
    } cases[] = {
        { true, { { 14, 0 } }, { 10, 0 } },
        { true, { { 16, -14 } }, { 20, -10 } },
        { true, { { 4, 4 }, { 9, 2 }, { 14, 26 } }, { 10, 30 } },
        { false, { { 14, 0 } }, { 14, 0 } },
        { false, { { 3, 0 }, { 7, -2 } }, { 7, -2 } },
    };
    host.grid.pitch = 10;
    // Pressed off the grid: the selection keeps its offset from the grid.
    const PointF pressAt { 63, 7 };
    for (const auto& c : cases) {
        host.grid.snap = c.snap;
        const PointF d0 = centre("D");
        std::vector<PointF> through;
        for (PointF p : c.through)
            through.push_back({ pressAt.X + p.X, pressAt.Y + p.Y });
        drag(pressAt, through);
        expectNear(centre("D"), { d0.X + c.moved.X, d0.Y + c.moved.Y });
        expectNear(centre("A"), { 10, 10 });
        EXPECT_FALSE(tool->Moved());
        // One step: a single undo puts it back, and there is no earlier one.
        tool->WindowKeyDown(kCtrl);
        tool->WindowKeyDown('Z');
        tool->ReleaseKeys();
        expectNear(centre("D"), d0);
        EXPECT_FALSE(host.history.CanUndo());
    }
}

TEST_F(SelectToolTest, ADragMovesEverySelectedObjectTogether)
{
    click({ 2, 2 });
    click({ 70, 10 }, ssLeft | ssShift);
    drag({ 70, 10 }, { { 70, 30 } });
    expectNear(centre("A"), { 10, 30 });
    expectNear(centre("D"), { 70, 30 });
    expectNear(centre("C"), { 20, 20 });
    EXPECT_EQ(host.history.Count(), 1);
}

// A step that changed nothing is none: the drag back, and a click.
TEST_F(SelectToolTest, ADragBackToItsStartRecordsNothing)
{
    drag({ 70, 10 }, { { 80, 10 }, { 70, 10 } });
    expectNear(centre("D"), { 70, 10 });
    EXPECT_EQ(host.history.Count(), 0);
    EXPECT_FALSE(host.history.IsModified());
    click({ 70, 10 });
    EXPECT_EQ(host.history.Count(), 0);
}

// A drag step composes the moved objects over the drawing instead of
// painting the drawing again; the release brings the drawing up to date.
// When the drawing is painted in the middle of the drag (a zoom), it shows
// them where they are, and they are not drawn over themselves again.
TEST_F(SelectToolTest, ADragShowsTheMovedObjectsAtTheirNewPlace)
{
    const PointF from { 70, 10 }, to { 120, 10 }, further { 170, 10 };
    tool->RequestRedraw();
    tool->OnIdle();
    ASSERT_FALSE(host.presented.empty());
    const QRgb background = host.presented.back().pixel(px(to));
    const QRgb drawn = host.presented.back().pixel(px(from));
    ASSERT_NE(background, drawn);

    press(from);
    move(to);
    EXPECT_FALSE(tool->RenderPending());
    EXPECT_TRUE(tool->OverlayPending());
    tool->OnIdle();
    EXPECT_EQ(host.presented.back().pixel(px(to)), drawn);
    EXPECT_EQ(host.drawing.pixel(px(to)), background) << "the drawing is left as it was";

    tool->RequestRedraw();
    tool->OnIdle();
    EXPECT_EQ(host.drawing.pixel(px(to)), drawn);
    EXPECT_EQ(host.presented.back().pixel(px(to)), drawn);
    move(further);
    tool->OnIdle();
    EXPECT_EQ(host.presented.back().pixel(px(further)), drawn);

    release(further);
    EXPECT_TRUE(tool->RenderPending());
    tool->OnIdle();
    for (PointF left : { from, to })
        EXPECT_EQ(host.presented.back().pixel(px(left)), background);
    EXPECT_EQ(host.presented.back().pixel(px(further)), drawn);
    EXPECT_EQ(host.drawing.pixel(px(further)), drawn);
}

// Undo in the middle of a drag installs the earlier state; the release must
// not record it again over the step that can now be redone.
// Undo ends the drag under way as its own step and takes that back: the
// objects return to where the press found them, and the rest of the drag
// moves nothing.
TEST_F(SelectToolTest, UndoDuringADragTakesBackTheDrag)
{
    drag({ 70, 10 }, { { 90, 10 } });
    press({ 90, 10 });
    move({ 100, 10 });
    ASSERT_TRUE(tool->Moved());
    tool->UndoClick();
    move({ 110, 10 });
    release({ 110, 10 });
    expectNear(centre("D"), { 90, 10 });
    EXPECT_EQ(host.history.Count(), 2);
    EXPECT_TRUE(host.history.CanRedo());
    tool->RedoClick();
    expectNear(centre("D"), { 100, 10 });
    tool->UndoClick();
    tool->UndoClick();
    expectNear(centre("D"), { 70, 10 });
}

TEST_F(SelectToolTest, ADragCutShortByASwitchIsStillOneStep)
{
    press({ 70, 10 });
    move({ 90, 10 });
    bar.ToolClick(1);
    EXPECT_EQ(host.history.Count(), 1);
    EXPECT_FALSE(tool->Moved());
    bar.ToolClick(0);
    release({ 90, 10 });
    EXPECT_EQ(host.history.Count(), 1);
    tool->UndoClick();
    expectNear(centre("D"), { 70, 10 });
}

TEST_F(SelectToolTest, HoverShowsThePointerSnappedWhenSnapping)
{
    host.grid.pitch = 10;
    host.grid.snap = true;
    move({ 13, 17 }, 0);
    expectNear(host.position, { 10, 20 });
    host.grid.snap = false;
    move({ 13, 17 }, 0);
    expectNear(host.position, { 13, 17 });
}

// ---- keys and commands -----------------------------------------------------

TEST_F(SelectToolTest, KeysRunTheCommandsAsOneStepEach)
{
    const struct {
        const char* what;
        std::vector<int> keys;
        const char* children;
        PointF a; // centre of A afterwards
        int steps; // added to the history
    } cases[] = {
        // A and D are selected; their common centre is (40, 10).
        { "Delete", { TVeskSelectProc::VkDelete }, "BC", {}, 1 },
        { "Delete with Ctrl held", { kCtrl, TVeskSelectProc::VkDelete }, "BC", {}, 1 },
        { "Ctrl+R turns clockwise on screen", { kCtrl, 'R' }, "ABCD", { 40, -20 }, 1 },
        { "Ctrl+M mirrors left to right", { kCtrl, 'M' }, "ABCD", { 70, 10 }, 1 },
        { "Ctrl+G groups at the end", { kCtrl, 'G' }, "BC(AD)", { 10, 10 }, 1 },
        { "Ctrl+Shift+G without groups", { kCtrl, kShift, 'G' }, "ABCD", { 10, 10 }, 0 },
        { "Ctrl+Shift+R is no command", { kCtrl, kShift, 'R' }, "ABCD", { 10, 10 }, 0 },
        { "R alone is no command", { 'R' }, "ABCD", { 10, 10 }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        restartWithAAndD();
        for (int k : c.keys)
            tool->WindowKeyDown(k);
        tool->ReleaseKeys();
        EXPECT_EQ(children(), c.children);
        if (find("A") && !dynamic_cast<TVeskGroup*>(root().Children().back().get()))
            expectNear(centre("A"), c.a);
        EXPECT_EQ(host.history.Count(), c.steps);
    }
}

// With nothing selected the commands change nothing, so they record
// nothing: the redo step stays and the document stays unmodified.
TEST_F(SelectToolTest, DeleteRotateAndMirrorRecordNothingWithNothingSelected)
{
    drag({ 70, 10 }, { { 90, 10 } });
    tool->UndoClick();
    click({ 300, 250 }); // empty space: nothing selected
    host.history.SetModified(false);
    for (auto command :
        { &TVeskSelectProc::DeleteClick, &TVeskSelectProc::RotateClick, &TVeskSelectProc::MirrorClick }) {
        (tool->*command)();
        EXPECT_EQ(children(), "ABCD");
        EXPECT_EQ(host.history.Count(), 1);
        EXPECT_TRUE(host.history.CanRedo());
        EXPECT_FALSE(host.history.IsModified());
    }
}

TEST_F(SelectToolTest, RotationCentreSnapsToTheGridWhenSnapping)
{
    host.grid.pitch = 10;
    host.grid.snap = true;
    click({ 15, 15 }); // A, B, C: bounds centre (15, 15) snaps to (20, 20)
    const PointF a = centre("A");
    tool->RotateClick();
    expectNear(centre("A"), { 20 - (a.Y - 20), 20 + (a.X - 20) });
}

TEST_F(SelectToolTest, UngroupPutsTheMembersBackInOrderAndUndoRedoStep)
{
    click({ 2, 2 });
    click({ 70, 10 }, ssLeft | ssShift);
    tool->GroupClick();
    ASSERT_EQ(children(), "BC(AD)");
    EXPECT_EQ(selected(), "");
    click({ 70, 10 });
    ASSERT_EQ(tool->SelectionList().size(), 1u);
    EXPECT_NE(dynamic_cast<TVeskGroup*>(tool->SelectionList().front()), nullptr)
        << "a click on one member picks the group";
    tool->UngroupClick();
    EXPECT_EQ(children(), "BCAD");
    EXPECT_EQ(host.history.Count(), 2);

    chord({ kCtrl, 'Z' });
    EXPECT_EQ(children(), "BC(AD)");
    EXPECT_EQ(listed(), "");
    chord({ kCtrl, 'Z' });
    EXPECT_EQ(children(), "ABCD");
    chord({ kCtrl, 'Y' });
    chord({ kCtrl, 'Y' });
    EXPECT_EQ(children(), "BCAD");
}

TEST_F(SelectToolTest, OptionButtonsRunTheCommands)
{
    const struct {
        int button;
        const char* children;
        PointF a;
    } cases[] = {
        { 0, "BC(AD)", { 10, 10 } },
        { 2, "ABCD", { 40, -20 } },
        { 3, "ABCD", { 70, 10 } },
    };
    for (const auto& c : cases) {
        restartWithAAndD();
        bar.ClickOptionButton(c.button);
        EXPECT_EQ(children(), c.children) << c.button;
        if (!dynamic_cast<TVeskGroup*>(root().Children().back().get()))
            expectNear(centre("A"), c.a);
        EXPECT_EQ(host.history.Count(), 1);
    }
    restartWithAAndD();
    bar.ClickOptionButton(0);
    click({ 2, 2 });
    bar.ClickOptionButton(1);
    EXPECT_EQ(children(), "BCAD");
}

// ---- numeric input ---------------------------------------------------------

TEST_F(SelectToolTest, NumericInputMovesAndTurnsTheSelectionAsOneStep)
{
    const struct {
        const char* what;
        TVeskNumericMove typed;
        bool accepted;
        PointF a, d; // centres afterwards
        int steps;
    } cases[] = {
        { "millimetres to units", { 2.5, -1, 0 }, true, { 35, 0 }, { 95, 0 }, 1 },
        { "turn about the selection's centre", { 0, 0, 90 }, true, { 40, -20 }, { 40, 40 }, 1 },
        { "turn, then move", { 1, 0, 180 }, true, { 80, 10 }, { 20, 10 }, 1 },
        { "cancelled", { 5, 5, 0 }, false, { 10, 10 }, { 70, 10 }, 0 },
        { "nothing to do", { 0, 0, 0 }, true, { 10, 10 }, { 70, 10 }, 0 },
        { "not a number", { std::nan(""), 0, 0 }, true, { 10, 10 }, { 70, 10 }, 0 },
        { "too far", { 1e9, 0, 0 }, true, { 10, 10 }, { 70, 10 }, 0 },
        { "too far a turn", { 0, 0, 1e6 }, true, { 10, 10 }, { 70, 10 }, 0 },
    };
    for (const auto& c : cases) {
        restartWithAAndD();
        std::vector<std::int32_t> modesDuring;
        host.onNumericMove = [&](TVeskNumericMove& move) {
            modesDuring = tool->Modes();
            // The mouse rests while the dialog is up.
            click({ 150, 100 });
            move = c.typed;
            return c.accepted;
        };
        tool->NumericClick();
        EXPECT_EQ(modesDuring, (std::vector<std::int32_t> { ModeSelectIdle, ModeSelectNumeric })) << c.what;
        EXPECT_EQ(tool->Modes(), std::vector<std::int32_t> { ModeSelectIdle }) << c.what;
        expectNear(centre("A"), c.a, c.what);
        expectNear(centre("D"), c.d, c.what);
        EXPECT_EQ(host.history.Count(), c.steps) << c.what;
    }
}

TEST_F(SelectToolTest, NumericInputPlacesTheSelectionsCentreAndRemembersTheChoice)
{
    // A and D: the selection spans 0..80 by 0..20, its centre at (40, 10).
    restartWithAAndD();
    TVeskNumericMove offered;
    host.onNumericMove = [&](TVeskNumericMove& move) {
        offered = move;
        move.absolute = true;
        move.dxMm = 5;
        move.dyMm = 0;
        return true;
    };
    tool->NumericClick();
    EXPECT_FALSE(offered.absolute) << "offsets come first";
    EXPECT_DOUBLE_EQ(offered.centreXMm, 4.0);
    EXPECT_DOUBLE_EQ(offered.centreYMm, 1.0);
    expectNear(centre("A"), { 20, 0 });
    expectNear(centre("D"), { 80, 0 });
    EXPECT_EQ(host.history.Count(), 1);

    // The next opening offers the place again, from where the selection is now.
    host.onNumericMove = [&](TVeskNumericMove& move) {
        offered = move;
        move.dxMm = 5; // already there: nothing to do, no step
        return true;
    };
    tool->NumericClick();
    EXPECT_TRUE(offered.absolute);
    EXPECT_DOUBLE_EQ(offered.centreXMm, 5.0);
    EXPECT_EQ(host.history.Count(), 1);
}

TEST_F(SelectToolTest, NumericInputAsksNothingWithoutASelection)
{
    host.onNumericMove = [](TVeskNumericMove& move) {
        move.dxMm = 1;
        return true;
    };
    tool->NumericClick();
    EXPECT_EQ(host.numericAsked, 0);
    // Cycling leaves unselected objects listed: only the selected one moves.
    rightClick({ 15, 15 });
    rightClick({ 15, 15 });
    tool->NumericClick();
    EXPECT_EQ(host.numericAsked, 1);
    expectNear(centre("B"), { 25, 15 });
    expectNear(centre("A"), { 10, 10 });
}

TEST_F(SelectToolTest, SwitchingToolsWhileTheDialogIsUpMovesNothing)
{
    click({ 2, 2 });
    host.onNumericMove = [&](TVeskNumericMove& move) {
        bar.ToolClick(1);
        move.dxMm = 1;
        return true;
    };
    tool->NumericClick();
    EXPECT_EQ(tool->Modes(), std::vector<std::int32_t> { ModeSelectIdle });
    expectNear(centre("A"), { 10, 10 });
    EXPECT_EQ(host.history.Count(), 0);
}

// ---- activation --------------------------------------------------------------

TEST_F(SelectToolTest, DeactivationForgetsTheListAndReactivationStartsIdle)
{
    rightClick({ 15, 15 });
    ASSERT_EQ(listed(), "ABC");
    host.log.clear();
    bar.ToolClick(1);
    EXPECT_EQ(listed(), "");
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(host.log.front(), "style");
    bar.ToolClick(0);
    EXPECT_EQ(tool->Modes(), std::vector<std::int32_t> { ModeSelectIdle });
    EXPECT_EQ(host.buttons.size(), 8u);
    click({ 70, 10 });
    EXPECT_EQ(selected(), "D");
}

TEST_F(SelectToolTest, ReleasingAfterAPickShowsTheSurfacesOfTheList)
{
    host.log.clear();
    click({ 15, 15 });
    EXPECT_EQ(host.log, (std::vector<std::string> { "style", "surfaces 3" }));
    host.log.clear();
    click({ 150, 100 });
    EXPECT_EQ(host.log, std::vector<std::string> { "style" });
}
