// The real main window on the offscreen platform, driven as a user would:
// held keys follow the keyboard through dialogs and repeats, the status bar
// shows where the pointer is, Ctrl+Z and Ctrl+Y step once per press, and the
// tool strip makes room for its scroll bar and keeps its place in the
// settings file.
#include "FakeDialogs.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "WaitFor.h"
#include "app/Drawingview.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "app/Mainmenu.h"
#include "app/Numberinput.h"
#include "app/Objecteditor.h"
#include "app/Settingsfile.h"
#include "app/Statustab.h"
#include "app/Toolstrip.h"
#include "shapes/Veskpart.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;
using vesk::test::WaitFor;

namespace {

class MainFormInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        context = std::make_unique<TEditorContext>(ini());
        context->SetDialogs(std::make_unique<FakeDialogs>());
        open();
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    QString ini() const { return dir.filePath(QStringLiteral("VeskV.ini")); }

    void open()
    {
        form = std::make_unique<TVeskForm>(*context);
        form->StartUp(QString());
        form->show();
        form->activateWindow();
        ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == form.get(); }));
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        tool = form->ToolBar().CurrentTool();
        ASSERT_NE(tool, nullptr);
    }

    TDrawingView& area() { return form->DrawingArea(); }

    void key(QWidget& target, QEvent::Type type, int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent event(type, qtKey, mods);
        QApplication::sendEvent(&target, &event);
    }
    void press(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        key(area(), QEvent::KeyPress, qtKey, mods);
    }
    void release(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        key(area(), QEvent::KeyRelease, qtKey, mods);
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), area().mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(&area(), &event);
    }
    void leftClick(QPoint at)
    {
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }

    // A history step whose undo would rename the root back.
    void recordAnEdit()
    {
        context->Edit().Begin(QStringLiteral("rename"));
        context->Document().Root().SetName(QStringLiteral("edited"));
        context->Edit().Commit();
    }
    QString rootName() const { return context->Document().Root().GetName(); }
    bool idle() const { return tool->Modes().size() == 1; }

    QTemporaryDir dir;
    std::unique_ptr<TEditorContext> context;
    std::unique_ptr<TVeskForm> form;
    TVeskEventProc* tool = nullptr;
};

// Ctrl+O, Ctrl+S, Ctrl+N: the Ctrl release arrives while the dialog they
// open is up, and the dialog takes it.
TEST_F(MainFormInputTest, CtrlReleasedIntoAModalDialogIsNotLeftHeld)
{
    recordAnEdit();
    press(Qt::Key_Control, Qt::ControlModifier);
    ASSERT_EQ(tool->KeyState().keys, TVeskKeyState::Ctrl);
    {
        QDialog dialog(form.get());
        dialog.setModal(true);
        dialog.show();
        EXPECT_EQ(tool->KeyState().keys, 0u) << "opening a modal dialog lets go of the keys";
        key(dialog, QEvent::KeyRelease, Qt::Key_Control);
        dialog.hide();
    }

    // Space+X and a click still zoom in.
    const double zoom = form->View().Zoom();
    press(Qt::Key_Space);
    press(Qt::Key_X);
    EXPECT_EQ(tool->TopMode(), int(ModeZoomIn));
    leftClick(QPoint(area().width() / 2, area().height() / 2));
    EXPECT_EQ(form->View().Zoom(), zoom * 2);
    release(Qt::Key_X);
    release(Qt::Key_Space);
    ASSERT_TRUE(WaitFor([&] { return idle(); }));

    // A plain Z is no Ctrl+Z.
    press(Qt::Key_Z);
    release(Qt::Key_Z);
    EXPECT_EQ(rootName(), QStringLiteral("edited"));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rootName(), QStringLiteral("Part")) << "Ctrl, held as the event says, undoes";
}

// Ctrl+Z and Ctrl+Y are the undo and redo items' shortcuts and the tools'
// keys at once: a press, through the window or straight at the drawing,
// steps the history exactly once, and so does a click on the item.
TEST_F(MainFormInputTest, UndoAndRedoStepOncePerPressOrClick)
{
    for (const char* name : { "one", "two", "three" }) {
        context->Edit().Begin(QStringLiteral("rename"));
        context->Document().Root().SetName(QString::fromUtf8(name));
        context->Edit().Commit();
    }
    QWindow* window = form->windowHandle();
    ASSERT_NE(window, nullptr);
    area().setFocus();
    const struct {
        const char* how;
        std::function<void()> step;
        const char* name; // of the root afterwards
    } steps[] = {
        { "Ctrl+Z to the window", [&] { QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); }, "two" },
        { "Ctrl+Y to the window", [&] { QTest::keyClick(window, Qt::Key_Y, Qt::ControlModifier); }, "three" },
        { "undo item", [&] { form->Menu().undoItem->trigger(); }, "two" },
        { "redo item", [&] { form->Menu().redoItem->trigger(); }, "three" },
        { "Ctrl+Z to the drawing", [&] { QTest::keyClick(&area(), Qt::Key_Z, Qt::ControlModifier); }, "two" },
        { "Ctrl+Y to the drawing", [&] { QTest::keyClick(&area(), Qt::Key_Y, Qt::ControlModifier); },
            "three" },
    };
    for (const auto& s : steps) {
        s.step();
        EXPECT_EQ(rootName(), QString::fromUtf8(s.name)) << s.how;
    }

    // The tool sees the key held, so its chords stay exact: with Space
    // also held Ctrl+Z is no undo, and the shortcut does not step either.
    QTest::keyPress(window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(tool->KeyState().keys, TVeskKeyState::Ctrl | TVeskKeyState::Z);
    EXPECT_EQ(rootName(), QStringLiteral("two"));
    QTest::keyRelease(window, Qt::Key_Z, Qt::ControlModifier);
    press(Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rootName(), QStringLiteral("two"));
    release(Qt::Key_Space, Qt::ControlModifier);
}

// Whatever a key event or a mouse event says of Ctrl and Shift is believed,
// even when the key's own press or release went elsewhere.
TEST_F(MainFormInputTest, ModifiersFollowEveryKeyAndMouseEvent)
{
    recordAnEdit();
    QWidget elsewhere; // a release sent here never reaches the tool
    press(Qt::Key_Control, Qt::ControlModifier);
    key(elsewhere, QEvent::KeyRelease, Qt::Key_Control);
    ASSERT_EQ(tool->KeyState().keys, TVeskKeyState::Ctrl);
    mouse(QEvent::MouseMove, QPoint(10, 10), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(tool->KeyState().keys, 0u);

    press(Qt::Key_Control, Qt::ControlModifier);
    key(elsewhere, QEvent::KeyRelease, Qt::Key_Control);
    press(Qt::Key_Z);
    EXPECT_EQ(tool->KeyState().keys, TVeskKeyState::Z);
    EXPECT_EQ(rootName(), QStringLiteral("edited"));
    release(Qt::Key_Z);
}

TEST_F(MainFormInputTest, ComingBackToTheWindowLetsGoOfTheKeys)
{
    press(Qt::Key_Space);
    ASSERT_EQ(tool->TopMode(), int(ModePan));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &other; }));
    form->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == form.get(); }));
    EXPECT_TRUE(idle());
    EXPECT_EQ(tool->KeyState().keys, 0u);
}

// X11 repeats a held Space as release/press pairs that Qt does not always
// mark; the pan must go on for as long as the key is held.
TEST_F(MainFormInputTest, UnmarkedSpaceRepeatsKeepAPanDragGoing)
{
    const double panX = form->View().PanX();
    const double zoom = form->View().Zoom();
    press(Qt::Key_Space);
    mouse(QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, QPoint(120, 100), Qt::NoButton, Qt::LeftButton);
    for (int repeat = 0; repeat < 3; ++repeat) {
        release(Qt::Key_Space);
        press(Qt::Key_Space);
    }
    mouse(QEvent::MouseMove, QPoint(160, 100), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(tool->TopMode(), int(ModePan));
    mouse(QEvent::MouseButtonRelease, QPoint(160, 100), Qt::LeftButton, Qt::NoButton);
    EXPECT_DOUBLE_EQ(form->View().PanX(), panX + 60 / zoom) << "the whole drag panned";

    // A real release ends the pan at the next event, or shortly on its own.
    release(Qt::Key_Space);
    EXPECT_EQ(tool->TopMode(), int(ModePan));
    mouse(QEvent::MouseMove, QPoint(10, 10), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(idle());
    press(Qt::Key_Space);
    release(Qt::Key_Space);
    EXPECT_TRUE(WaitFor([&] { return idle(); }));
    EXPECT_EQ(tool->KeyState().keys, 0u);
}

// The status bar shows where the pointer is to the grid's precision, never
// the float's noise: a point on the 1.27 mm grid is "30.48 mm".
TEST(StatusBarCoordinates, RoundedToTheGridsPlacesAndAtLeastHundredths)
{
    const struct {
        double documentUnits;
        double pitch; // document units
        const char* shown;
    } cases[] = {
        { 304.79999, 12.7, "30.48 mm" }, { 304.8f, 12.7, "30.48 mm" }, { 25.4, 25.4, "2.54 mm" },
        { 10, 1, "1.00 mm" }, // the 0.1 mm grid still shows hundredths
        { 6.35, 6.35, "0.635 mm" }, { 12.7 * 3, 6.35, "3.810 mm" },
        { 1.2346, 0.0025, "0.1235 mm" }, // four places at most
        { -0.0001, 12.7, "0.00 mm" }, { -12.7, 12.7, "-1.27 mm" }, { 5, 0, "0.50 mm" }, // no grid
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(CoordinateText(c.documentUnits, c.pitch), QLatin1String(c.shown));
    }
}

TEST_F(MainFormInputTest, StatusBarShowsThePointerAndHintsAreTooltips)
{
    const QPoint at(37, 52);
    mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    PointF p = form->View().PixelToDocument(at);
    TVeskView::SnapToGrid(p, context->Grid().pitch);
    const QString shown
        = QStringLiteral("X %1  Y %2")
              .arg(CoordinateText(p.X, context->Grid().pitch), CoordinateText(p.Y, context->Grid().pitch));
    EXPECT_TRUE(shown.contains(QStringLiteral(" mm  Y "))) << shown.toStdString();
    EXPECT_EQ(form->StatusText(0), shown);
    EXPECT_EQ(form->MousePoint(), p);

    QToolButton* button = form->ToolStrip().ToolButtons().at(1);
    EXPECT_EQ(button->toolTip(), form->ToolBar().Tool(1)->Hint());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(button, &enter);
    EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty());
    EXPECT_EQ(form->StatusText(0), shown);
    for (QLabel* panel : form->statusBar()->findChildren<QLabel*>())
        EXPECT_TRUE(panel->isVisible());
}

TEST_F(MainFormInputTest, ToolStripWidensForItsScrollBar)
{
    TToolStrip& strip = form->ToolStrip();
    const struct {
        int windowHeight;
        bool scrolls;
    } cases[] = { { 200, true }, { 560, false }, { 150, true } };
    for (const auto& c : cases) {
        form->resize(form->width(), c.windowHeight);
        ASSERT_TRUE(WaitFor([&] { return form->height() == c.windowHeight; }));
        QApplication::processEvents();
        EXPECT_EQ(strip.verticalScrollBar()->isVisible(), c.scrolls) << c.windowHeight;
        const int bar = c.scrolls ? strip.verticalScrollBar()->width() : 0;
        EXPECT_EQ(strip.width(), TVeskToolBar::Width + bar) << c.windowHeight;
        EXPECT_GE(strip.viewport()->width(), TVeskToolBar::ButtonSize) << c.windowHeight;
    }
}

TEST_F(MainFormInputTest, ToolWindowSectionKeepsTheStripsPlace)
{
    // Written on the way out; read back on the way in.
    form->resize(form->width(), 200);
    ASSERT_TRUE(WaitFor([&] { return form->ToolStrip().verticalScrollBar()->maximum() > 40; }));
    form->ToolStrip().verticalScrollBar()->setValue(40);
    form.reset();
    TSettingsFile file(ini());
    EXPECT_EQ(file.ReadInteger(QStringLiteral("ToolWindow"), QStringLiteral("Top"), 1), -40);
    EXPECT_EQ(file.ReadInteger(QStringLiteral("ToolWindow"), QStringLiteral("Left"), 1), 0);

    file.WriteInteger(QStringLiteral("MainWindow"), QStringLiteral("Height"), 200);
    file.WriteInteger(QStringLiteral("ToolWindow"), QStringLiteral("Top"), -30);
    ASSERT_TRUE(file.UpdateFile());
    open();
    EXPECT_EQ(form->ToolStrip().verticalScrollBar()->value(), 30);
    EXPECT_EQ(form->ToolStrip().Position(), QPoint(0, -30));

    // The default, 100, puts the strip as low as it goes: at the top.
    form.reset();
    ASSERT_TRUE(QFile::remove(ini()));
    open();
    EXPECT_EQ(form->ToolStrip().verticalScrollBar()->value(), 0);
    form.reset();
    EXPECT_EQ(TSettingsFile(ini()).ReadInteger(QStringLiteral("ToolWindow"), QStringLiteral("Top"), 1), 0);
}

} // namespace

namespace {

TEST_F(MainFormInputTest, KeysThatDriveTheDrawingReachItOnceThePointerIsBackFromAPanel)
{
    // A grid pitch typed in the object editor, the keyboard still there.
    TObjectEditor& editor = form->ObjectEditor();
    editor.show();
    editor.PageControl().setCurrentWidget(&editor.StatusTab());
    QLineEdit* field = editor.StatusTab().gridEdit;
    editor.activateWindow();
    field->setFocus();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == field; }));
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("2.54"));

    // The pointer comes back over the drawing; Space held there pans.
    QEnterEvent enter(QPointF(100, 100), QPointF(100, 100), area().mapToGlobal(QPointF(100, 100)));
    QApplication::sendEvent(&area(), &enter);
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == &area(); }));
    EXPECT_EQ(field->text(), QStringLiteral("2.54"));
    EXPECT_DOUBLE_EQ(context->Grid().pitch, 25.4) << "what was typed is taken, as leaving with Tab takes it";
    key(*QApplication::focusWidget(), QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(tool->TopMode(), int(ModePan));
    key(*QApplication::focusWidget(), QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_TRUE(WaitFor([&] { return idle(); }));

    // A modal dialog keeps its keyboard.
    QDialog dialog(form.get());
    QLineEdit* typed = new QLineEdit(&dialog);
    dialog.setModal(true);
    dialog.show();
    typed->setFocus();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == typed; }));
    QApplication::sendEvent(&area(), &enter);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), typed);
    dialog.close();
}

} // namespace
