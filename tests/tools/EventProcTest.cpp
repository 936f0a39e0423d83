#include "FakeToolHost.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskrectangle.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace vesk;
using namespace vesk::test;

namespace {

constexpr int Space = 0x20, Ctrl = 0x11, Shift = 0x10, Alt = 0x12;

// One key event of a sequence and the state expected right after it.
struct KeyStep {
    bool down;
    int vk;
    int topMode;
    TVeskCursor cursor;
    const char* toolSaw; // what reached the tool, or "" for nothing
};

struct KeySequence {
    const char* name;
    std::vector<KeyStep> steps;
};

class KeyRouting : public ::testing::TestWithParam<KeySequence> { };

constexpr auto Def = TVeskCursor::Default;
constexpr auto Pan = TVeskCursor::Pan;

} // namespace

TEST_P(KeyRouting, TemporaryModesFollowTheHeldKeys)
{
    ActiveTool t;
    int i = 0;
    for (const KeyStep& s : GetParam().steps) {
        t.tool->calls.clear();
        if (s.down)
            t.tool->WindowKeyDown(s.vk);
        else
            t.tool->WindowKeyUp(s.vk);
        EXPECT_EQ(t.tool->TopMode(), s.topMode) << "step " << i;
        EXPECT_EQ(t.host.cursor, s.cursor) << "step " << i;
        const std::string saw = t.tool->calls.empty() ? "" : t.tool->calls.front();
        EXPECT_EQ(saw, s.toolSaw) << "step " << i;
        EXPECT_LE(t.tool->calls.size(), 1u) << "step " << i;
        ++i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sequences, KeyRouting,
    ::testing::Values(KeySequence { "SpaceXReleaseXReleaseSpace",
                          { { true, Space, 1, Pan, "" }, { true, 'X', 2, Pan, "" },
                              { false, 'X', 1, Pan, "" }, { false, Space, 4, Def, "" } } },
        KeySequence { "SpaceZ",
            { { true, Space, 1, Pan, "" }, { true, 'Z', 3, Pan, "" }, { false, 'Z', 1, Pan, "" },
                { false, Space, 4, Def, "" } } },
        KeySequence { "SpaceReleasedBeforeX",
            { { true, Space, 1, Pan, "" }, { true, 'X', 2, Pan, "" }, { false, Space, 1, Pan, "" },
                { false, 'X', 4, Def, "" } } },
        KeySequence { "CtrlThenSpaceIsNoPan",
            { { true, Ctrl, 4, Def, "keydown 17" }, { true, Space, 4, Def, "keydown 32" },
                { false, Space, 4, Def, "keyup 32" }, { false, Ctrl, 4, Def, "keyup 17" } } },
        KeySequence { "RepeatedSpaceReachesTheTool",
            { { true, Space, 1, Pan, "" }, { true, Space, 1, Pan, "keydown 32" },
                { true, Space, 1, Pan, "keydown 32" }, { false, Space, 4, Def, "" } } },
        KeySequence { "ChordAddedDuringPanKeepsPanOnTop",
            { { true, Space, 1, Pan, "" }, { true, Shift, 1, Pan, "keydown 16" },
                { false, Shift, 1, Pan, "keyup 16" }, { false, Space, 4, Def, "" } } },
        KeySequence { "UnlistedKeyDuringPanReachesTheTool",
            { { true, Space, 1, Pan, "" }, { true, Alt, 1, Pan, "keydown 18" },
                { false, Alt, 1, Pan, "keyup 18" }, { true, 0x2E, 1, Pan, "keydown 46" } } },
        // The chord is the whole word, not the order: X then Space zooms too,
        // and with no pan below it, releasing X goes straight back to the tool.
        KeySequence { "XThenSpaceEntersClickZoomWithoutPan",
            { { true, 'X', 4, Def, "keydown 88" }, { true, Space, 2, Def, "" }, { false, 'X', 4, Def, "" },
                { false, Space, 4, Def, "keyup 32" } } },
        // Undo and redo are the framework's; each press steps once.
        KeySequence { "CtrlZAndCtrlYUndoAndRedo",
            { { true, Ctrl, 4, Def, "keydown 17" }, { true, 'Z', 4, Def, "undo" },
                { true, 'Z', 4, Def, "undo" }, { false, 'Z', 4, Def, "keyup 90" },
                { true, 'Y', 4, Def, "redo" }, { false, 'Y', 4, Def, "keyup 89" } } },
        KeySequence { "CtrlShiftZIsNoUndo",
            { { true, Ctrl, 4, Def, "keydown 17" }, { true, Shift, 4, Def, "keydown 16" },
                { true, 'Z', 4, Def, "keydown 90" } } }),
    [](const ::testing::TestParamInfo<KeySequence>& info) { return std::string(info.param.name); });

TEST(EventProcTest, ReleasingKeysEndsTemporaryModes)
{
    ActiveTool t;
    t.tool->WindowKeyDown(Space);
    t.tool->WindowKeyDown('X');
    t.tool->ReleaseKeys();
    EXPECT_EQ(t.tool->Modes(), std::vector<std::int32_t> { 4 });
    EXPECT_EQ(t.tool->KeyState().keys, 0u);
    EXPECT_EQ(t.host.cursor, TVeskCursor::Default);
}

// Ctrl and Shift follow what each event reports, whatever was missed.
TEST(EventProcTest, ModifiersFollowTheEvents)
{
    const struct {
        const char* name;
        std::vector<int> held;
        std::uint32_t shift;
        int eventKey;
        std::uint32_t keys;
        std::vector<std::string> toolSaw;
    } cases[] = {
        { "a missed Ctrl release", { Ctrl }, 0, 0, 0, { "keyup 17" } },
        { "a missed Ctrl press", {}, ssCtrl, 0, TVeskKeyState::Ctrl, { "keydown 17" } },
        { "missed Shift and Ctrl releases", { Shift, Ctrl }, 0, 'Z', 0, { "keyup 17", "keyup 16" } },
        { "Shift kept, Ctrl released", { Shift, Ctrl }, ssShift | ssLeft, 0, TVeskKeyState::Shift,
            { "keyup 17" } },
        { "the event's own key is left to it", { Ctrl }, 0, Ctrl, TVeskKeyState::Ctrl, {} },
        { "nothing missed", { Ctrl }, ssCtrl, 'Z', TVeskKeyState::Ctrl, {} },
        { "other keys stay", { Space, 'X' }, 0, 0, TVeskKeyState::Space | TVeskKeyState::X, {} },
    };
    for (const auto& c : cases) {
        ActiveTool t;
        for (int vk : c.held)
            t.tool->WindowKeyDown(vk);
        t.tool->calls.clear();
        t.tool->FollowModifiers(c.shift, c.eventKey);
        EXPECT_EQ(t.tool->KeyState().keys, c.keys) << c.name;
        EXPECT_EQ(t.tool->calls, c.toolSaw) << c.name;
    }
}

TEST(EventProcTest, MouseEventsReachTheToolInDocumentUnits)
{
    ActiveTool t;
    t.host.view.ZoomBy(2);
    t.host.view.Scroll(10, 0);
    t.tool->WindowMouseDown(ssLeft | ssShift, QPoint(120, 70));
    t.tool->WindowMouseMove(ssLeft, QPoint(140, 50));
    t.tool->WindowMouseUp(0, QPoint(140, 50));
    EXPECT_EQ(t.tool->calls, (std::vector<std::string> { "down", "move", "up" }));
    EXPECT_EQ(t.tool->shifts, (std::vector<std::uint32_t> { ssLeft | ssShift, ssLeft, 0 }));
    // (pixel - centre) / zoom - pan
    EXPECT_EQ(t.tool->points[0], PointF(0, 10));
    EXPECT_EQ(t.tool->points[1], PointF(10, 0));
    // The view matrix is only read.
    EXPECT_EQ(t.host.view.ViewMatrix(), Matrix(2, 0, 0, 2, 120, 50));
}

TEST(EventProcTest, MovesAboveTheClientAreaAreIgnored)
{
    ActiveTool t;
    t.tool->WindowMouseMove(ssLeft, QPoint(10, -1));
    t.tool->WindowKeyDown(Space);
    t.tool->WindowMouseDown(ssLeft, QPoint(10, 10));
    t.tool->WindowMouseMove(ssLeft, QPoint(30, -5));
    EXPECT_TRUE(t.tool->calls.empty());
    EXPECT_TRUE(t.host.presented.empty());
    t.tool->WindowMouseMove(0, QPoint(10, 0));
    EXPECT_TRUE(t.tool->calls.empty()); // pan mode without the left button: nothing
}

class PanDrag : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A drawing with one black pixel at (100, 50) so the preview's shift shows.
        t.host.drawing = QImage(200, 100, QImage::Format_ARGB32_Premultiplied);
        t.host.drawing.fill(Qt::lightGray);
        t.host.drawing.setPixel(100, 50, qRgb(0, 0, 0));
        t.host.view.ZoomBy(2);
        t.tool->WindowKeyDown(Space);
    }
    ActiveTool t;
};

TEST_F(PanDrag, PreviewShiftsTheDrawingAndReleaseScrolls)
{
    t.tool->WindowMouseDown(ssLeft, QPoint(100, 50));
    t.tool->WindowMouseMove(ssLeft, QPoint(130, 40));
    ASSERT_EQ(t.host.presented.size(), 1u);
    const QImage& preview = t.host.presented.back();
    EXPECT_EQ(preview.pixel(130, 40), qRgb(0, 0, 0));
    EXPECT_EQ(preview.pixel(10, 95), qRgb(255, 255, 255)); // uncovered strip is white
    EXPECT_FALSE(t.tool->RenderPending());

    t.tool->WindowMouseUp(0, QPoint(130, 40));
    EXPECT_DOUBLE_EQ(t.host.view.PanX(), 15);
    EXPECT_DOUBLE_EQ(t.host.view.PanY(), -5);
    EXPECT_TRUE(t.tool->RenderPending());
    EXPECT_TRUE(t.tool->calls.empty());
    t.tool->WindowKeyUp(Space);
    EXPECT_EQ(t.host.cursor, TVeskCursor::Default);
}

TEST_F(PanDrag, OnlyALeftDragStartedInPanModeScrolls)
{
    // Right press and release: the anchor was never set by pan mode.
    t.tool->WindowMouseDown(ssRight, QPoint(10, 10));
    t.tool->WindowMouseUp(0, QPoint(150, 90));
    EXPECT_DOUBLE_EQ(t.host.view.PanX(), 0);
    EXPECT_DOUBLE_EQ(t.host.view.PanY(), 0);
    EXPECT_TRUE(t.tool->calls.empty());

    // Releasing Space mid-drag hands the release to the tool and recomposes the screen.
    t.tool->WindowMouseDown(ssLeft, QPoint(100, 50));
    t.tool->WindowMouseMove(ssLeft, QPoint(120, 50));
    t.tool->WindowKeyUp(Space);
    EXPECT_TRUE(t.tool->OverlayPending());
    t.tool->WindowMouseUp(0, QPoint(120, 50));
    EXPECT_EQ(t.tool->calls, std::vector<std::string> { "up" });
    EXPECT_DOUBLE_EQ(t.host.view.PanX(), 0);
}

TEST(EventProcTest, ClickZoomCentresTheClickedPoint)
{
    const struct {
        int key;
        double zoom;
    } cases[] = { { 'X', 2 }, { 'Z', 0.5 } };
    for (const auto& c : cases) {
        ActiveTool t;
        auto* child
            = t.host.document.Root().Add(TVeskRect(t.host.document.Layers().LayerAt(0), TVeskSurface()));
        t.tool->WindowKeyDown(Space);
        t.tool->WindowKeyDown(c.key);
        t.tool->WindowMouseDown(ssRight, QPoint(150, 70));
        EXPECT_DOUBLE_EQ(t.host.view.Zoom(), 1) << "only the left button zooms";

        t.tool->WindowMouseDown(ssLeft, QPoint(150, 70));
        EXPECT_DOUBLE_EQ(t.host.view.Zoom(), c.zoom);
        EXPECT_EQ(t.tool->Anchor(), PointF(50, 20));
        EXPECT_EQ(t.host.view.DocumentToPixel({ 50, 20 }), PointF(100, 50));
        EXPECT_DOUBLE_EQ(child->ViewScale(), c.zoom);
        EXPECT_TRUE(t.tool->RenderPending());
        // Moves and releases still reach the tool.
        t.tool->WindowMouseMove(ssLeft, QPoint(150, 70));
        t.tool->WindowMouseUp(0, QPoint(150, 70));
        EXPECT_EQ(t.tool->calls, (std::vector<std::string> { "move", "up" }));
    }
}

TEST(EventProcTest, WheelAndZoomButtonsZoomAboutTheCentre)
{
    const double r = TVeskEventProc::WheelStep;
    const struct {
        const char* name;
        std::function<void(RecordingTool&)> act;
        double zoom;
    } cases[] = {
        { "wheel up", [](RecordingTool& t) { EXPECT_TRUE(t.WindowMouseWheel(120)); }, r },
        { "wheel down", [](RecordingTool& t) { EXPECT_TRUE(t.WindowMouseWheel(-120)); }, 1 / r },
        { "wheel zero", [](RecordingTool& t) { EXPECT_TRUE(t.WindowMouseWheel(0)); }, 1 / r },
        { "zoom in", [](RecordingTool& t) { t.ZoomInClick(); }, 2 },
        { "zoom out", [](RecordingTool& t) { t.ZoomOutClick(); }, 0.5 },
    };
    for (const auto& c : cases) {
        ActiveTool t;
        auto* child
            = t.host.document.Root().Add(TVeskRect(t.host.document.Layers().LayerAt(0), TVeskSurface()));
        t.host.view.Scroll(7, 7);
        c.act(*t.tool);
        EXPECT_DOUBLE_EQ(t.host.view.Zoom(), c.zoom) << c.name;
        EXPECT_DOUBLE_EQ(child->ViewScale(), c.zoom) << c.name;
        EXPECT_EQ(t.host.view.PixelToDocument(QPoint(100, 50)), PointF(-7, -7)) << c.name;
        EXPECT_TRUE(t.tool->RenderPending()) << c.name;
    }
}

// Home: what is drawn fills the window; an empty document shows its work area.
TEST(EventProcTest, ZoomToFitShowsEverythingDrawn)
{
    const struct {
        const char* name;
        bool withObjects;
        PointF centre;
        double zoom;
    } cases[] = {
        // The rectangle (10,10)-(100,50) with its 2-unit pen: 92 x 42, 200 * 0.9 / 92.
        { "objects", true, { 55, 30 }, 180.0 / 92 },
        { "empty document: the work area", false, { 0, 0 }, 1.8 },
    };
    for (const auto& c : cases) {
        ActiveTool t;
        TVeskObject* rect = nullptr;
        if (c.withObjects) {
            TVeskRect proto(t.host.document.Layers().LayerAt(1), TVeskSurface(2, false, false, 4));
            proto.SetCorners({ 10, 10 }, { 100, 50 });
            rect = t.host.document.Root().Add(proto);
        }
        t.tool->ZoomToFit();
        EXPECT_NEAR(t.host.view.Zoom(), c.zoom, 1e-9) << c.name;
        const PointF middle = t.host.view.PixelToDocument(PointF { 100, 50 });
        EXPECT_NEAR(middle.X, c.centre.X, 1e-3) << c.name;
        EXPECT_NEAR(middle.Y, c.centre.Y, 1e-3) << c.name;
        if (rect) {
            EXPECT_DOUBLE_EQ(rect->ViewScale(), c.zoom) << c.name;
        }
        EXPECT_TRUE(t.tool->RenderPending()) << c.name;
    }
}

TEST(EventProcTest, DeferredRenderingRunsOncePerBurstAtTheLowestLevel)
{
    using Calls = std::vector<std::string>;
    const struct {
        bool render, overlay, present, redraw;
        Calls expected;
    } cases[] = {
        { false, false, false, false, {} },
        { false, false, true, false, { "present" } },
        { false, true, false, false, { "overlay", "present" } },
        { false, true, true, false, { "overlay", "present" } },
        { true, false, false, false, { "render", "overlay", "present" } },
        { true, true, true, false, { "render", "overlay", "present" } },
        { false, true, true, true, { "render", "overlay", "present" } },
    };
    for (const auto& c : cases) {
        ActiveTool t;
        t.tool->calls.clear();
        for (int burst = 0; burst < 3; ++burst) {
            if (c.render)
                t.tool->RequestRender();
            if (c.overlay)
                t.tool->RequestOverlay();
            if (c.present)
                t.tool->RequestPresent();
            if (c.redraw)
                t.tool->RequestRedraw();
        }
        EXPECT_TRUE(t.tool->calls.empty()) << "requests only set flags";
        t.tool->OnIdle();
        EXPECT_EQ(t.tool->calls, c.expected);
        EXPECT_EQ(t.host.presented.size(), c.expected.empty() ? 0u : 1u);
        EXPECT_FALSE(t.tool->RenderPending() || t.tool->OverlayPending() || t.tool->PresentPending());
        t.tool->calls.clear();
        t.tool->OnIdle();
        EXPECT_TRUE(t.tool->calls.empty()) << "a second idle pass has nothing to do";
    }
}

TEST(EventProcTest, RequestsWakeTheIdleHandlerAndSurviveARenderInProgress)
{
    ActiveTool t;
    const int before = t.host.idleRequests;
    t.tool->RequestOverlay();
    EXPECT_GT(t.host.idleRequests, before);

    // The window asks for work while being handed an image: that request is
    // kept for the next pass rather than wiped by this one.
    bool once = true;
    t.host.onPresent = [&] {
        if (std::exchange(once, false))
            t.tool->RequestOverlay();
    };
    t.tool->OnIdle();
    EXPECT_TRUE(t.tool->OverlayPending());
}

TEST(EventProcTest, PaintAndResize)
{
    ActiveTool t;
    t.tool->WindowPaint();
    EXPECT_TRUE(t.tool->RenderPending()) << "nothing composed yet at this size";
    t.tool->OnIdle();
    t.tool->calls.clear();
    t.tool->WindowPaint();
    t.tool->OnIdle();
    EXPECT_TRUE(t.tool->calls.empty()) << "a paint of a composed window does not loop back into presenting";

    t.tool->WindowResize(300, 120);
    EXPECT_EQ(t.host.view.Width(), 300);
    EXPECT_TRUE(t.tool->RenderPending());
    t.tool->OnIdle();
    EXPECT_EQ(t.host.drawing.size(), QSize(300, 120));
    EXPECT_EQ(t.host.presented.back().size(), QSize(300, 120));
}

TEST(EventProcTest, RenderedImageShowsBackgroundFrameAndGrid)
{
    ActiveTool t;
    t.host.grid = { 10, true, true };
    t.host.style.framePen.color = 0xFF0000FF;
    t.tool->RequestRender();
    t.tool->OnIdle();
    const QImage& img = t.host.presented.back();
    ASSERT_EQ(img.size(), QSize(200, 100));
    const QRgb red = qRgb(255, 0, 0);
    // Document origin at (100, 50): grid points every 10 pixels from (0, 0).
    EXPECT_EQ(img.pixel(0, 0), red);
    EXPECT_EQ(img.pixel(190, 90), red);
    EXPECT_EQ(img.pixel(5, 5), qRgb(255, 255, 255));
    // Work area frame from (-50, -25): pixel column 50, between grid rows.
    EXPECT_EQ(qBlue(img.pixel(50, 55)), 255);
    EXPECT_LT(qRed(img.pixel(50, 55)), 128);
}

TEST(EventProcTest, ShiftStateFromQtEvents)
{
    const struct {
        Qt::KeyboardModifiers modifiers;
        Qt::MouseButtons buttons;
        bool doubleClick;
        std::uint32_t shift;
    } cases[] = {
        { Qt::NoModifier, Qt::NoButton, false, 0 },
        { Qt::ShiftModifier, Qt::LeftButton, false, 0x01 | 0x08 },
        { Qt::AltModifier | Qt::ControlModifier, Qt::RightButton, false, 0x02 | 0x04 | 0x10 },
        { Qt::MetaModifier | Qt::KeypadModifier, Qt::MiddleButton | Qt::LeftButton, true,
            0x20 | 0x08 | 0x40 },
        { Qt::NoModifier, Qt::BackButton, false, 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShiftStateFromQt(c.modifiers, c.buttons, c.doubleClick), c.shift);
}

TEST(EventProcTest, GridPointsAreLeftOutWhenCloserThanFivePixels)
{
    const struct {
        double pitch;
        int zoomSteps; // doublings
        bool show;
        double panX;
        QPoint gridPixel; // a grid point expected when drawn
    } cases[] = {
        { 10, 0, true, 0, { 100, 50 } },
        { 10, 0, true, 3, { 3, 0 } },
        { 4, 0, true, 0, { 100, 50 } },
        { 4.01, 0, true, 0, { 0, 1 } }, // first column at -0.25 truncates to 0
        { 2, 1, true, 0, { 100, 50 } },
        { 2.5, 1, true, 0, { 105, 55 } },
        { 10, 0, false, 0, { 100, 50 } },
    };
    for (const auto& c : cases) {
        ActiveTool t;
        t.host.grid = { c.pitch, false, c.show };
        for (int i = 0; i < c.zoomSteps; ++i)
            t.host.view.ZoomBy(2);
        t.host.view.Scroll(c.panX, 0);
        t.tool->RequestRender();
        t.tool->OnIdle();
        const bool drawn = c.show && c.pitch * t.host.view.Zoom() > 4;
        const QImage& img = t.host.drawing;
        int red = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                red += img.pixel(x, y) == qRgb(255, 0, 0);
        EXPECT_EQ(img.pixel(c.gridPixel) == qRgb(255, 0, 0), drawn) << c.pitch << " x" << c.zoomSteps;
        EXPECT_EQ(red > 0, drawn) << c.pitch << " x" << c.zoomSteps;
    }
}

namespace {

// Keeps a list of objects as the select and point tools do, and notes what
// the framework tells it.
class ListKeepingTool : public RecordingTool {
public:
    explicit ListKeepingTool(TVeskToolBar& bar)
        : RecordingTool(bar)
    {
        KeepObjectList(list);
    }

    std::vector<TVeskObject*> list;
    std::vector<std::string> layersSeen;
    // What the tool saw at each StateInstalled: its root and its list's size.
    std::vector<std::pair<const TVeskPart*, std::size_t>> installs;

protected:
    void LayerChanged(TVeskLayer& layer) override
    {
        RecordingTool::LayerChanged(layer);
        layersSeen.push_back(layer.Name().toStdString());
    }
    void StateInstalled() override
    {
        installs.emplace_back(Root(), list.size());
        static_cast<FakeToolHost&>(Host()).log.push_back("installed");
    }
};

} // namespace

// By button or by key, undo and redo change the document once and tell the
// tool and the host once: the kept list emptied, the host's listed objects
// dropped and the style shown before the tool's own hook runs, then one
// redraw. With no
// step to take nothing of that happens and the list stays.
TEST(EventProcTest, UndoAndRedoInstallTheStateOnce)
{
    FakeToolHost host;
    TVeskToolBar bar(host, TVeskToolBar::Empty {});
    auto* tool = static_cast<ListKeepingTool*>(bar.AddTool(std::make_unique<ListKeepingTool>(bar)));
    bar.ResetToFirstTool();
    host.edit.Reset(30);
    for (int i = 0; i < 2; ++i) {
        host.edit.Begin(QStringLiteral("add"));
        host.document.Root().Add(TVeskRect(host.document.Layers().LayerAt(0), TVeskSurface()));
        host.edit.Commit();
    }
    auto chord = [&](int vk) {
        tool->WindowKeyDown(Ctrl);
        tool->WindowKeyDown(vk);
        tool->WindowKeyUp(vk);
        tool->WindowKeyUp(Ctrl);
    };
    const struct {
        const char* name;
        std::function<void()> step;
        int children; // afterwards
        bool installs;
    } steps[] = {
        { "undo button", [&] { tool->UndoClick(); }, 1, true },
        { "Ctrl+Z", [&] { chord('Z'); }, 0, true },
        { "Ctrl+Z at the oldest state", [&] { chord('Z'); }, 0, false },
        { "redo button", [&] { tool->RedoClick(); }, 1, true },
        { "Ctrl+Y", [&] { chord('Y'); }, 2, true },
        { "Ctrl+Y at the newest state", [&] { chord('Y'); }, 2, false },
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        tool->OnIdle();
        host.log.clear();
        tool->installs.clear();
        TVeskPart* before = &host.document.Root();
        tool->list = { before };
        s.step();
        TVeskPart* now = &host.document.Root();
        EXPECT_EQ(now->ChildCount(), s.children);
        EXPECT_EQ(tool->Root(), now);
        EXPECT_EQ(now, before) << "undo changes the root in place";
        if (s.installs) {
            EXPECT_TRUE(tool->list.empty());
            EXPECT_EQ(
                tool->installs, (std::vector<std::pair<const TVeskPart*, std::size_t>> { { now, 0u } }));
            EXPECT_EQ(host.log, (std::vector<std::string> { "root", "style", "installed" }));
            EXPECT_TRUE(tool->RenderPending());
        } else {
            EXPECT_EQ(tool->list, std::vector<TVeskObject*> { before });
            EXPECT_TRUE(tool->installs.empty());
            EXPECT_TRUE(host.log.empty());
            EXPECT_FALSE(tool->RenderPending());
        }
    }
}

TEST(EventProcTest, HidingOrLockingALayerReachesTheActiveToolAfterTheSelectionDroppedItsObjects)
{
    FakeToolHost host(200, 100);
    TVeskLayerList& layers = host.document.Layers();
    TVeskLayer* solder = layers.FindLayer(QStringLiteral("solder"));
    TVeskLayer* component = layers.FindLayer(QStringLiteral("component"));
    TVeskObject* a = host.document.Root().Add(TVeskRect(solder, TVeskSurface()));
    TVeskObject* b = host.document.Root().Add(TVeskRect(component, TVeskSurface()));
    {
        TVeskToolBar bar(host, TVeskToolBar::Empty {});
        auto* tool = static_cast<ListKeepingTool*>(bar.AddTool(std::make_unique<ListKeepingTool>(bar)));
        bar.ResetToFirstTool();
        host.document.Root().SetSelected(true);
        tool->list = { a, b };

        component->SetVisible(false);
        EXPECT_EQ(tool->list, std::vector<TVeskObject*> { a });
        EXPECT_EQ(tool->layersSeen, std::vector<std::string> { "component" });
        EXPECT_TRUE(tool->RenderPending()) << "a hidden layer changes the picture";

        bar.DeactivateAllTools();
        EXPECT_TRUE(tool->list.empty()) << "an inactive tool keeps nothing of the document";
        solder->SetLocked(true);
        EXPECT_EQ(tool->layersSeen.size(), 1u) << "an inactive tool is not told";
        EXPECT_FALSE(a->IsSelected()) << "the document still drops the selection";

        bar.ResetToFirstTool();
        solder->SetLocked(false);
        EXPECT_EQ(tool->layersSeen.size(), 2u);
        // The bar and its tools go while still active; the layers stay.
    }
    component->SetVisible(true);
    EXPECT_TRUE(component->visible);
}
