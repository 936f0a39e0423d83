// Commands from outside the active tool (menus, shortcuts, dialogs, the
// clipboard, the layer window, the object editor) given while a tool's
// gesture is under way, in the real main window: each command first ends the
// gesture in the tool's way, never crashes, records one step when it changed
// the document and none otherwise, and one undo of that step brings back the
// document as the ended gesture left it.
#include "DrawingInput.h"
#include "FakeDialogs.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "app/Drawingview.h"
#include "app/Editorcontext.h"
#include "app/Layerrow.h"
#include "app/Layerswapform.h"
#include "app/Layerwindow.h"
#include "app/Mainform.h"
#include "app/Mainmenu.h"
#include "app/Objecteditor.h"
#include "app/Surfacetab.h"
#include "app/Valuelisteditor.h"
#include "app/Veskimportform.h"
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

// The gesture and command tables below drive the fixture from outside.
class CommandsDuringGestures : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        source = dir.filePath(QStringLiteral("squares.vbf"));
        TVeskDocument doc;
        const struct {
            const char* name;
            PointF a, b;
        } squares[] = { { "R1", { 0, 0 }, { 40, 40 } }, { "R2", { 100, 0 }, { 140, 40 } },
            { "R3", { 300, 200 }, { 340, 240 } } };
        for (const auto& s : squares) {
            TVeskRect r(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface(1.0f, false, true, 4));
            r.SetCorners(s.a, s.b);
            r.SetName(QString::fromLatin1(s.name));
            doc.Root().Add(r);
        }
        ASSERT_TRUE(doc.Write(source).ok);
        context = std::make_unique<TEditorContext>(dir.filePath(QStringLiteral("VeskV.ini")));
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        context->SetDialogs(std::move(fake));
        form = std::make_unique<TVeskForm>(*context);
        form->show();
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    // The squares opened afresh at zoom 1 with snapping to 10, the select
    // tool active, R1 on the clipboard, and a step to redo.
    void start()
    {
        context->History().SetModified(false);
        form->StartUp(source);
        settle();
        form->View().Reset();
        form->ToolBar().CurrentTool()->RequestRedraw();
        context->Grid().pitch = 10;
        context->Grid().snap = true;
        settle();
        click({ 20, 20 });
        form->Menu().copyItem->trigger();
        click({ 320, 220 });
        QTest::keyClick(&area(), Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(&area(), Qt::Key_Z, Qt::ControlModifier);
        click({ 200, 150 });
        settle();
        ASSERT_TRUE(context->History().CanRedo());
    }

    void settle() { test::Settle(*form); }
    TDrawingView& area() { return form->DrawingArea(); }
    QPoint px(PointF p) { return test::PixelOf(*form, p); }
    void click(PointF at) { QTest::mouseClick(&area(), Qt::LeftButton, {}, px(at)); }
    void press(PointF at) { QTest::mousePress(&area(), Qt::LeftButton, {}, px(at)); }
    void moveHeld(PointF to)
    {
        QMouseEvent move(QEvent::MouseMove, px(to), area().mapToGlobal(px(to)), Qt::NoButton, Qt::LeftButton,
            Qt::NoModifier);
        QApplication::sendEvent(&area(), &move);
    }
    void useTool(int index) { form->ToolBar().ToolClick(index); }
    TVeskEventProc* tool() { return form->ToolBar().CurrentTool(); }

    // The document as saved, without editing state or the view's scale.
    QByteArray state()
    {
        TVeskPart& root = context->Document().Root();
        const double scale = root.ViewScale();
        root.SetViewScale(1.0);
        const QByteArray bytes = context->Document().ToBytes();
        root.SetViewScale(scale);
        return normalised(bytes);
    }
    static QByteArray normalised(const QByteArray& bytes)
    {
        TVeskDocument doc;
        doc.ReadBytes(bytes);
        doc.Root().SetSelected(false);
        doc.Root().SetHandlesSelected(false);
        return doc.ToBytes();
    }

    QTemporaryDir dir;
    QString source;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<TEditorContext> context;
    std::unique_ptr<TVeskForm> form;
};

struct Gesture {
    const char* name;
    std::function<void(CommandsDuringGestures&)> begin;
};

struct Command {
    const char* name;
    std::function<void(CommandsDuringGestures&)> run;
};

// Each starts from start() and leaves the button held where it presses.
const std::vector<Gesture>& gestures()
{
    static const std::vector<Gesture> table = {
        { "nothing", [](CommandsDuringGestures& t) { t.click({ 20, 20 }); } },
        { "select drag",
            [](CommandsDuringGestures& t) {
                t.click({ 20, 20 });
                t.press({ 20, 20 });
                t.moveHeld({ 40, 30 });
            } },
        { "point press and drag",
            [](CommandsDuringGestures& t) {
                t.click({ 20, 20 }); // R1 selected, so the point tool shows its corners
                t.useTool(1);
                t.click({ 20, 20 });
                t.press({ 0, 0 });
                t.moveHeld({ 10, 10 });
            } },
        { "unfinished path",
            [](CommandsDuringGestures& t) {
                t.useTool(2);
                t.click({ 200, 100 });
                t.click({ 250, 100 });
            } },
        { "rectangle drag",
            [](CommandsDuringGestures& t) {
                t.useTool(5);
                t.press({ 200, 100 });
                t.moveHeld({ 260, 150 });
            } },
    };
    return table;
}

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = {
        // Ctrl+X and Ctrl+V through the window, as the user types them.
        { "cut", [](CommandsDuringGestures& t) { QTest::keyClick(t.form->windowHandle(), Qt::Key_X, Qt::ControlModifier); } },
        { "copy", [](CommandsDuringGestures& t) { t.form->Menu().copyItem->trigger(); } },
        { "paste", [](CommandsDuringGestures& t) { QTest::keyClick(t.form->windowHandle(), Qt::Key_V, Qt::ControlModifier); } },
        { "delete", [](CommandsDuringGestures& t) { QTest::keyClick(&t.area(), Qt::Key_Delete); } },
        { "rotate", [](CommandsDuringGestures& t) { QTest::keyClick(&t.area(), Qt::Key_R, Qt::ControlModifier); } },
        { "mirror", [](CommandsDuringGestures& t) { QTest::keyClick(&t.area(), Qt::Key_M, Qt::ControlModifier); } },
        { "group", [](CommandsDuringGestures& t) { QTest::keyClick(&t.area(), Qt::Key_G, Qt::ControlModifier); } },
        { "undo", [](CommandsDuringGestures& t) { t.form->Menu().undoItem->trigger(); } },
        { "redo", [](CommandsDuringGestures& t) { t.form->Menu().redoItem->trigger(); } },
        { "import",
            [](CommandsDuringGestures& t) {
                t.dialogs->openName = QStringLiteral(VESK_TEST_DATA "/import/board.pcb");
                QTimer::singleShot(0, t.form.get(), [&t] { t.form->ImportForm().OKButtonClick(); });
                t.form->Menu().veskImportItem->trigger();
            } },
        { "layer swap",
            [](CommandsDuringGestures& t) {
                QTimer::singleShot(0, t.form.get(), [&t] {
                    TValueListEditor& rows = t.form->LayerSwapForm().LayerList();
                    for (int i = 0; i < rows.rowCount(); ++i)
                        if (rows.Key(i) == QStringLiteral("solder"))
                            rows.SetValue(i, QStringLiteral("component"));
                    t.form->LayerSwapForm().OKButtonClick();
                });
                t.form->Menu().layerSwapItem->trigger();
            } },
        { "layer reorder",
            [](CommandsDuringGestures& t) {
                TLayerWindow& layers = t.form->LayerWindow();
                TLayerRow* onto = layers.Row(0);
                layers.RowDrop(*layers.Row(1), onto->mapToGlobal(onto->rect().center()));
            } },
        { "style change",
            [](CommandsDuringGestures& t) {
                QTest::mouseClick(t.form->ObjectEditor().SurfaceTab().fillCheck, Qt::LeftButton);
            } },
        { "new",
            [](CommandsDuringGestures& t) {
                t.dialogs->answers = { TSaveAnswer::No };
                t.form->Menu().newItem->trigger();
            } },
        { "open",
            [](CommandsDuringGestures& t) {
                t.dialogs->answers = { TSaveAnswer::No };
                t.dialogs->openName = t.source;
                t.form->Menu().openItem->trigger();
            } },
    };
    return table;
}

TEST_F(CommandsDuringGestures, EndTheGestureAndRecordOneStepOnlyForAChange)
{
    for (const Gesture& gesture : gestures()) {
        // What the gesture leaves once ended, with no command at all.
        start();
        gesture.begin(*this);
        tool()->EndGesture();
        settle();
        const QByteArray ended = state();
        const int endedSteps = context->History().UndoCount();

        for (const Command& command : commands()) {
            SCOPED_TRACE(std::string(gesture.name) + " + " + command.name);
            start();
            gesture.begin(*this);
            command.run(*this);
            settle();
            // The button comes up after the command, as the user lets go.
            QTest::mouseRelease(&area(), Qt::LeftButton, {}, px({ 270, 160 }));
            settle();
            ASSERT_NE(tool(), nullptr);
            tool()->EndGesture(); // a command that changed nothing may leave it running
            settle();
            EXPECT_FALSE(context->Edit().IsOpen());
            const int steps = context->History().UndoCount();
            const QByteArray after = state();

            const std::string name = command.name;
            if (name == "new" || name == "open") {
                EXPECT_EQ(steps, 0);
                EXPECT_FALSE(context->History().IsModified());
                continue;
            }
            if ((name == "undo" || name == "redo") && std::string(gesture.name) == "unfinished path") {
                EXPECT_LE(steps, endedSteps) << "undo and redo step through the path's own anchors";
                continue;
            }
            if (name == "undo" || name == "redo") {
                // A step taken back or put again, never one recorded.
                if (after == ended) {
                    EXPECT_EQ(steps, endedSteps);
                    continue;
                }
                EXPECT_EQ(steps, endedSteps + (name == "undo" ? -1 : 1));
                (name == "undo" ? form->Menu().redoItem : form->Menu().undoItem)->trigger();
                EXPECT_EQ(state(), ended);
                continue;
            }
            if (name == "style change" && std::string(gesture.name) == "unfinished path") {
                EXPECT_EQ(steps, endedSteps) << "the style went to the path being built";
                continue;
            }
            if (after == ended) {
                EXPECT_EQ(steps, endedSteps) << "no change, no step";
                continue;
            }
            EXPECT_EQ(steps, endedSteps + 1);
            EXPECT_TRUE(context->History().IsModified());
            form->Menu().undoItem->trigger();
            settle();
            EXPECT_EQ(state(), ended) << "one undo takes back the command alone";
        }
    }
}

// The faults met by hand, each exactly as it was met.
TEST_F(CommandsDuringGestures, CutWhileThePointToolHoldsACornerKeepsTheEditAndCutsAlone)
{
    start();
    click({ 20, 20 });
    useTool(1);
    click({ 20, 20 });
    press({ 0, 0 });
    moveHeld({ 10, 10 });
    const int before = context->History().UndoCount();
    QTest::keyClick(form->windowHandle(), Qt::Key_X, Qt::ControlModifier);
    QTest::mouseRelease(&area(), Qt::LeftButton, {}, px({ 10, 10 }));
    settle();
    EXPECT_EQ(context->Document().Root().ChildCount(), 2);
    EXPECT_EQ(context->History().UndoCount(), before + 2) << "the corner moved, then the cut";
    EXPECT_EQ(context->Edit().UndoName(), QStringLiteral("切り取り"));
    form->Menu().undoItem->trigger();
    EXPECT_EQ(context->Document().Root().ChildCount(), 3);
    EXPECT_EQ(context->Edit().UndoName(), QStringLiteral("点の編集"));
}

TEST_F(CommandsDuringGestures, PasteWhileAPathIsUnfinishedIsAStepOfItsOwn)
{
    start();
    useTool(2);
    click({ 200, 100 });
    click({ 250, 100 });
    QTest::keyClick(form->windowHandle(), Qt::Key_V, Qt::ControlModifier);
    settle();
    EXPECT_EQ(context->Document().Root().ChildCount(), 5) << "the squares, the finished path, the pasted R1";
    EXPECT_EQ(context->Edit().UndoName(), QStringLiteral("貼り付け"));
    form->Menu().undoItem->trigger();
    EXPECT_EQ(context->Document().Root().ChildCount(), 4);
    EXPECT_EQ(context->Edit().UndoName(), QStringLiteral("ベジェ曲線"));
    // A later style change's undo takes back the style alone.
    form->Menu().redoItem->trigger();
    useTool(0);
    click({ 20, 20 });
    QTest::mouseClick(form->ObjectEditor().SurfaceTab().fillCheck, Qt::LeftButton);
    settle();
    form->Menu().undoItem->trigger();
    EXPECT_EQ(context->Document().Root().ChildCount(), 5);
}

// The undo and redo items say which step they take.
TEST_F(CommandsDuringGestures, UndoAndRedoItemsNameTheirStep)
{
    start();
    click({ 20, 20 });
    QTest::keyClick(&area(), Qt::Key_Delete);
    settle();
    EXPECT_EQ(form->Menu().undoItem->text(), QStringLiteral("取り消し (削除)"));
    form->Menu().undoItem->trigger();
    settle();
    EXPECT_EQ(form->Menu().redoItem->text(), QStringLiteral("やり直し (削除)"));
    EXPECT_EQ(form->Menu().undoItem->text(), QStringLiteral("取り消し"));
}

} // namespace
