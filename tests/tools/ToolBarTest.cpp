#include "FakeToolHost.h"
#include "shapes/Veskrectangle.h"

#include <gtest/gtest.h>

using namespace vesk;
using namespace vesk::test;

namespace {

struct StandardBar : ::testing::Test {
    StandardBar()
    {
        TVeskLayer* layer = host.document.Layers().LayerAt(0);
        object = host.document.Root().Add(TVeskRect(layer, TVeskSurface()));
        host.edit.Reset(30);
    }
    std::vector<std::string> optionGlyphs() const
    {
        std::vector<std::string> out;
        for (const TVeskOptionButton& b : bar.OptionButtons())
            out.push_back(b.glyphName.toStdString());
        return out;
    }

    FakeToolHost host;
    TVeskToolBar bar { host };
    TVeskObject* object = nullptr;
};

const std::vector<std::string> frameworkButtons { "Bitmap\\OK.bmp", "Bitmap\\Zin.bmp", "Bitmap\\Zout.bmp" };
// The select tool's five, then the framework's three.
const std::vector<std::string> selectToolButtons { "Bitmap\\Group.bmp", "Bitmap\\UnGroup.bmp",
    "Bitmap\\Rotate.bmp", "Bitmap\\Mirror.bmp", "Bitmap\\Num.bmp", "Bitmap\\OK.bmp", "Bitmap\\Zin.bmp",
    "Bitmap\\Zout.bmp" };
constexpr int kZoomInButton = 6;
constexpr int kZoomOutButton = 7;

} // namespace

TEST_F(StandardBar, HoldsTheNineToolsInOrderAllDisabledAndNoneActive)
{
    const struct {
        const char* name;
        const char* glyph;
        const char* hint;
        int idleMode;
    } expected[] = {
        { "SelectTool", "Bitmap\\Arrow00.bmp", "オブジェクトを選択します", 4 },
        { "PointTool", "Bitmap\\Arrow01.bmp", "ポイントを選択します", 7 },
        { "BezierTool", "Bitmap\\Line.bmp", "ベジェ曲線を作成します", 15 },
        { "PolylineTool", "Bitmap\\Poly.bmp", "ポリラインを作成します", 17 },
        { "EllipseTool", "Bitmap\\Ellipse.bmp", "楕円を作成します", 19 },
        { "RectangleTool", "Bitmap\\Rect.bmp", "長方形を作成します", 20 },
        { "TextTool", "Bitmap\\Text.bmp", "文字列を入力します", 21 },
        { "PadTool", "Bitmap\\Pad.bmp", "パッドを作成します", 22 },
        { "LibraryTool", "Bitmap\\Lib.bmp", "ライブラリ", 24 },
    };
    ASSERT_EQ(bar.ToolCount(), 9);
    for (int i = 0; i < 9; ++i) {
        const TVeskEventProc* tool = bar.Tool(i);
        EXPECT_EQ(tool->GetToolName(), QString::fromUtf8(expected[i].name));
        EXPECT_EQ(tool->GlyphName(), QString::fromUtf8(expected[i].glyph));
        EXPECT_EQ(tool->Hint(), QString::fromUtf8(expected[i].hint));
        EXPECT_EQ(tool->Modes(), std::vector<std::int32_t> { expected[i].idleMode });
        EXPECT_EQ(TVeskToolBar::ToolTop(i), i * 30);
        EXPECT_FALSE(tool->IsEnabled());
        EXPECT_FALSE(tool->IsDown());
        EXPECT_FALSE(tool->IsActive());
    }
    EXPECT_EQ(bar.CurrentTool(), bar.Tool(0));
    EXPECT_EQ(host.handler, nullptr);
    EXPECT_TRUE(bar.OptionButtons().empty());
    EXPECT_EQ(bar.Tool(9), nullptr);
    EXPECT_EQ(bar.Tool(-1), nullptr);
}

TEST_F(StandardBar, ResetActivatesTheFirstToolWithoutDeselectingOrRedrawing)
{
    object->SetSelected(true);
    bar.ResetToFirstTool();
    for (int i = 0; i < 9; ++i) {
        EXPECT_TRUE(bar.Tool(i)->IsEnabled());
        EXPECT_EQ(bar.Tool(i)->IsDown(), i == 0);
        EXPECT_EQ(bar.Tool(i)->IsActive(), i == 0);
    }
    EXPECT_EQ(bar.CurrentTool(), bar.Tool(0));
    EXPECT_EQ(host.handler, bar.Tool(0));
    EXPECT_EQ(bar.Tool(0)->Root(), &host.document.Root());
    EXPECT_TRUE(object->IsSelected());
    EXPECT_FALSE(bar.Tool(0)->RenderPending());

    EXPECT_EQ(optionGlyphs(), selectToolButtons);
    const struct {
        const char* hint;
        int top;
    } buttons[] = { { "グループ化します", 270 }, { "グループ化を解除します", 300 },
        { "オブジェクトを90°回転します", 330 }, { "オブジェクトを反転します", 360 }, { "数値入力", 390 },
        { "操作を終了します", 420 }, { "画面を拡大します", 450 }, { "画面を縮小します", 480 } };
    ASSERT_EQ(bar.OptionButtons().size(), std::size(buttons));
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        EXPECT_EQ(bar.OptionButtons()[i].hint, QString::fromUtf8(buttons[i].hint));
        EXPECT_EQ(bar.OptionButtons()[i].top, buttons[i].top);
        EXPECT_EQ(host.buttons[i].first, bar.OptionButtons()[i].glyphName);
    }
}

TEST_F(StandardBar, SwitchingDeselectsAndReplacesTheOptionButtons)
{
    bar.ResetToFirstTool();
    object->SetSelected(true);
    host.log.clear();

    bar.ToolClick(5);
    EXPECT_FALSE(object->IsSelected());
    EXPECT_EQ(bar.CurrentTool(), bar.Tool(5));
    EXPECT_EQ(host.handler, bar.Tool(5));
    EXPECT_TRUE(bar.Tool(5)->IsDown());
    EXPECT_FALSE(bar.Tool(0)->IsDown());
    EXPECT_FALSE(bar.Tool(0)->IsActive());
    EXPECT_EQ(bar.Tool(0)->Root(), nullptr);
    EXPECT_TRUE(bar.Tool(5)->RenderPending());
    // The old buttons go before the new ones come.
    ASSERT_GE(host.log.size(), 4u);
    EXPECT_EQ(host.log[host.log.size() - 4], "clear");
    EXPECT_EQ(std::vector<std::string>(host.log.end() - 3, host.log.end()),
        (std::vector<std::string> { "add Bitmap\\OK.bmp", "add Bitmap\\Zin.bmp", "add Bitmap\\Zout.bmp" }));
    EXPECT_EQ(host.buttons.size(), 3u);
    EXPECT_EQ(optionGlyphs(), frameworkButtons);
}

TEST_F(StandardBar, SelectToolByName)
{
    bar.ResetToFirstTool();
    object->SetSelected(true);
    for (const char* unknown : { "NoSuchTool", "", "padtool" }) {
        EXPECT_FALSE(bar.SelectToolByName(QString::fromUtf8(unknown)));
        EXPECT_EQ(bar.CurrentTool(), bar.Tool(0));
        EXPECT_TRUE(object->IsSelected());
        EXPECT_EQ(optionGlyphs(), selectToolButtons);
    }
    EXPECT_TRUE(bar.SelectToolByName(QStringLiteral("PadTool")));
    EXPECT_EQ(bar.CurrentTool(), bar.Tool(7));
    EXPECT_FALSE(object->IsSelected());
    EXPECT_TRUE(bar.Tool(7)->RenderPending());
}

TEST_F(StandardBar, DeactivateAllLeavesNoCurrentTool)
{
    bar.ResetToFirstTool();
    bar.DeactivateAllTools();
    EXPECT_EQ(bar.CurrentTool(), nullptr);
    EXPECT_EQ(host.handler, nullptr);
    EXPECT_TRUE(bar.OptionButtons().empty());
    EXPECT_TRUE(host.buttons.empty());
    for (int i = 0; i < 9; ++i) {
        EXPECT_TRUE(bar.Tool(i)->IsEnabled());
        EXPECT_FALSE(bar.Tool(i)->IsDown());
        EXPECT_EQ(bar.Tool(i)->Root(), nullptr);
    }
    // Clicks on other objects are ignored.
    FakeToolHost otherHost;
    TVeskToolBar other(otherHost);
    bar.ToolClick(other.Tool(0));
    bar.ToolClick(nullptr);
    EXPECT_EQ(bar.CurrentTool(), nullptr);
}

TEST_F(StandardBar, FrameworkButtonsZoom)
{
    bar.ResetToFirstTool();
    bar.ClickOptionButton(kZoomInButton);
    EXPECT_DOUBLE_EQ(host.view.Zoom(), 2);
    EXPECT_DOUBLE_EQ(object->ViewScale(), 2);
    bar.ClickOptionButton(kZoomOutButton);
    bar.ClickOptionButton(kZoomOutButton);
    EXPECT_DOUBLE_EQ(host.view.Zoom(), 0.5);
    bar.ClickOptionButton(kZoomOutButton - 2); // finish does nothing in the select tool
    bar.ClickOptionButton(kZoomOutButton + 1);
    bar.ClickOptionButton(-1);
    EXPECT_DOUBLE_EQ(host.view.Zoom(), 0.5);
}

TEST_F(StandardBar, InertToolsStepTheHistory)
{
    bar.ToolClick(3);
    TVeskEventProc* tool = bar.CurrentTool();
    host.edit.Begin(QStringLiteral("add"));
    host.document.Root().Add(TVeskRect(host.document.Layers().LayerAt(1), TVeskSurface()));
    host.edit.Commit();
    EXPECT_EQ(host.history.Count(), 1);
    const TVeskPart* root = &host.document.Root();

    host.log.clear();
    tool->UndoClick();
    EXPECT_EQ(host.document.Root().ChildCount(), 1);
    EXPECT_EQ(&host.document.Root(), root) << "undo changes the root in place";
    EXPECT_EQ(tool->Root(), root);
    EXPECT_EQ(host.log, (std::vector<std::string> { "root", "style" }));
    EXPECT_TRUE(tool->RenderPending());

    tool->WindowKeyDown(0x11);
    tool->WindowKeyDown('Y');
    EXPECT_EQ(host.document.Root().ChildCount(), 2);
    tool->WindowKeyUp('Y');
    tool->WindowKeyDown('Z');
    tool->WindowKeyDown('Z'); // held: repeats undo, the second finds nothing
    EXPECT_EQ(host.document.Root().ChildCount(), 1);

    host.history.SetModified(false);
    host.log.clear();
    tool->UndoClick();
    EXPECT_TRUE(host.log.empty()) << "nothing to take back";
    EXPECT_FALSE(host.history.IsModified());
}

TEST(ToolBarTest, ToolsOwnButtonsComeFirstAndStackBelowTheTools)
{
    FakeToolHost host;
    TVeskToolBar bar(host, TVeskToolBar::Empty {});
    auto* first = static_cast<RecordingTool*>(bar.AddTool(std::make_unique<RecordingTool>(bar)));
    auto* second = static_cast<RecordingTool*>(
        bar.AddTool(std::make_unique<RecordingTool>(bar, QStringLiteral("Second"))));
    int own = 0;
    first->ownButtons = { { QStringLiteral("Bitmap\\Group.bmp"), [&] { ++own; } },
        { QStringLiteral("Bitmap\\Num.bmp"), [&] { own += 10; } } };
    bar.ResetToFirstTool();

    const std::vector<std::pair<std::string, int>> expected { { "Bitmap\\Group.bmp", 60 },
        { "Bitmap\\Num.bmp", 90 }, { "Bitmap\\OK.bmp", 120 }, { "Bitmap\\Zin.bmp", 150 },
        { "Bitmap\\Zout.bmp", 180 } };
    std::vector<std::pair<std::string, int>> actual;
    for (const TVeskOptionButton& b : bar.OptionButtons())
        actual.emplace_back(b.glyphName.toStdString(), b.top);
    EXPECT_EQ(actual, expected);
    bar.ClickOptionButton(1);
    bar.ClickOptionButton(2);
    EXPECT_EQ(own, 10);
    EXPECT_EQ(first->calls, std::vector<std::string> { "finish" });

    EXPECT_TRUE(bar.SelectToolByName(QStringLiteral("Second")));
    EXPECT_EQ(bar.OptionButtons().size(), 3u);
    EXPECT_EQ(bar.OptionButtons().front().top, 60);
    EXPECT_EQ(bar.CurrentTool(), second);
}

TEST(ToolBarTest, AButtonWhoseClickRemovesTheButtonsIsSafe)
{
    FakeToolHost host;
    TVeskToolBar bar(host, TVeskToolBar::Empty {});
    auto* tool = static_cast<RecordingTool*>(bar.AddTool(std::make_unique<RecordingTool>(bar)));
    std::string captured = "still alive";
    tool->ownButtons = { { QStringLiteral("Bitmap\\OK.bmp"), [&bar, captured, &host] {
                              bar.DeactivateAllTools();
                              host.log.push_back(captured);
                          } } };
    bar.ResetToFirstTool();
    bar.ClickOptionButton(0);
    EXPECT_EQ(host.log.back(), "still alive");
    EXPECT_EQ(bar.CurrentTool(), nullptr);
}

TEST(ToolBarTest, SwitchingToolsWhilePanningDoesNotLeaveThePanBehind)
{
    FakeToolHost host;
    TVeskToolBar bar(host, TVeskToolBar::Empty {});
    auto* a = static_cast<RecordingTool*>(bar.AddTool(std::make_unique<RecordingTool>(bar)));
    bar.AddTool(std::make_unique<RecordingTool>(bar, QStringLiteral("B")));
    bar.ResetToFirstTool();
    a->WindowKeyDown(0x20);
    a->WindowKeyDown('X');
    ASSERT_EQ(host.cursor, TVeskCursor::Pan);

    bar.ToolClick(1);
    bar.ToolClick(0);
    EXPECT_EQ(a->Modes(), std::vector<std::int32_t> { RecordingTool::IdleMode });
    EXPECT_EQ(a->KeyState().keys, 0u);
    EXPECT_EQ(host.cursor, TVeskCursor::Default);
    // A press now belongs to the tool again.
    a->WindowMouseDown(ssLeft, QPoint(10, 10));
    EXPECT_EQ(a->calls, std::vector<std::string> { "down" });
}

TEST(ToolBarTest, DeactivationKeepsTheToolsOwnModes)
{
    FakeToolHost host;
    TVeskToolBar bar(host, TVeskToolBar::Empty {});
    auto* a = static_cast<RecordingTool*>(bar.AddTool(std::make_unique<RecordingTool>(bar)));
    bar.ResetToFirstTool();
    a->PushMode(27);
    a->WindowKeyDown(0x20);
    bar.DeactivateAllTools();
    EXPECT_EQ(a->Modes(), (std::vector<std::int32_t> { RecordingTool::IdleMode, 27 }));
}
