// The point tool in the real main window on the offscreen platform: a path
// of a small document is point-edited with the mouse and held keys on the
// drawing area (an anchor dragged in grid steps, an anchor inserted with X+Z,
// handles pulled with Ctrl+Shift), saved, and the file compared with the
// path built through the core.
#include "DrawingInput.h"
#include "FakeDialogs.h"
#include "Veskpointproc.h"
#include "Vesktoolbar.h"
#include "app/Drawingview.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "app/Mainmenu.h"
#include "app/Toolstrip.h"
#include "io/Veskdocument.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

// Corner anchors at (0, 0), (50, 0) and (100, 0).
std::vector<PointF> fixtureEntries()
{
    return StraightEntries({ { 0, 0 }, { 50, 0 }, { 100, 0 } });
}

void writeFixture(const QString& path)
{
    TVeskDocument doc;
    doc.Reset();
    TVeskPath p(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface(4.0f, false, false, 0));
    p.SetPoints(fixtureEntries(), {});
    p.SetName(QStringLiteral("P"));
    doc.Root().Add(p);
    ASSERT_TRUE(doc.Write(path).ok);
}

QByteArray normalised(TVeskDocument& doc)
{
    doc.Root().SetViewScale(1.0);
    doc.Root().SetSelected(false);
    return doc.ToBytes();
}

// Entries as "x,y/flags", for a readable difference before the bytes.
std::string describe(const TVeskPath& path)
{
    std::string out;
    for (size_t i = 0; i < path.Points().size(); ++i) {
        const PointF q = path.GetMatrixRef().TransformPoint(path.Points()[i]);
        out += std::to_string(std::lround(q.X)) + "," + std::to_string(std::lround(q.Y)) + "/"
            + std::to_string(path.PointFlags()[i] & ~pfSelected) + " ";
    }
    return out;
}

class PointToolRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        source = dir.filePath(QStringLiteral("path.vbf"));
        writeFixture(source);
        context = std::make_unique<TEditorContext>(dir.filePath(QStringLiteral("VeskV.ini")));
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        context->SetDialogs(std::move(fake));
        form = std::make_unique<TVeskForm>(*context);
        form->StartUp(source);
        form->show();
        settle();
        form->View().Reset();
        context->Grid().pitch = 10;
        context->Grid().snap = true;
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    void settle() { test::Settle(*form); }

    TDrawingView& area() { return form->DrawingArea(); }
    QPoint px(PointF p) { return test::PixelOf(*form, p); }
    // Mouse events as the platform sends them, held modifiers included.
    void mouse(QEvent::Type type, PointF at, Qt::MouseButton button, Qt::MouseButtons buttons,
        Qt::KeyboardModifiers modifiers)
    {
        const QPointF local = px(at);
        QMouseEvent event(type, local, area().mapToGlobal(local), button, buttons, modifiers);
        QApplication::sendEvent(&area(), &event);
    }
    void drag(PointF from, PointF to, Qt::KeyboardModifiers modifiers = {})
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
        mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, modifiers);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, modifiers);
        settle();
    }
    void click(PointF at, Qt::KeyboardModifiers modifiers = {}) { drag(at, at, modifiers); }

    TVeskPointProc* tool() { return dynamic_cast<TVeskPointProc*>(form->ToolBar().CurrentTool()); }

    QTemporaryDir dir;
    QString source;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<TEditorContext> context;
    std::unique_ptr<TVeskForm> form;
};

TEST_F(PointToolRun, MoveInsertAndPullThenSave)
{
    form->ToolStrip().ToolButtons()[1]->click();
    settle();
    ASSERT_NE(tool(), nullptr) << "the second button is the point tool";
    EXPECT_EQ(form->ToolStrip().OptionButtons().size(), 4u);

    // The middle anchor, dragged by 14 by 26: whole grid steps, 10 by 30.
    click({ 50, 0 });
    drag({ 50, 0 }, { 64, 26 });
    EXPECT_EQ(context->History().Count(), 1);

    // X+Z and a click on the outline at (30, 15): an anchor at the grid point (30, 20).
    area().setFocus();
    QTest::keyPress(&area(), Qt::Key_X);
    QTest::keyPress(&area(), Qt::Key_Z);
    click({ 30, 15 });
    QTest::keyRelease(&area(), Qt::Key_Z);
    QTest::keyRelease(&area(), Qt::Key_X);
    EXPECT_EQ(context->History().Count(), 2);

    // Ctrl+Shift and a drag from the last anchor pulls its handles out.
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::keyPress(&area(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(&area(), Qt::Key_Shift, ctrlShift);
    EXPECT_EQ(tool()->TopMode(), ModePointHandlePull);
    drag({ 100, 0 }, { 110, 10 }, ctrlShift);
    QTest::keyRelease(&area(), Qt::Key_Shift, Qt::ControlModifier);
    QTest::keyRelease(&area(), Qt::Key_Control);
    EXPECT_EQ(tool()->TopMode(), ModePointIdle);
    EXPECT_EQ(context->History().Count(), 3);

    const QString saved = dir.filePath(QStringLiteral("edited.vbf"));
    dialogs->saveName = saved;
    form->Menu().saveAsItem->trigger();
    ASSERT_TRUE(dialogs->errors.empty());

    TVeskDocument expected;
    ASSERT_TRUE(expected.Read(source).ok);
    auto* p = dynamic_cast<TVeskPath*>(expected.Root().ChildAt(0));
    ASSERT_NE(p, nullptr);
    // Handles are pulled to the pointer as it is, unsnapped: where the pixel
    // of (110, 10) lies, and its mirror image through the anchor.
    const PointF pulled = form->View().PixelToDocument(px({ 110, 10 }));
    const PointF mirrored { 200 - pulled.X, -pulled.Y };
    const std::vector<PointF> entries { { 0, 0 }, { 0, 0 }, { 30, 20 }, { 30, 20 }, { 30, 20 }, { 60, 30 },
        { 60, 30 }, { 60, 30 }, mirrored, { 100, 0 }, pulled, { 0, 0 } };
    std::vector<std::uint8_t> flags(entries.size(), pfSmooth);
    for (size_t k : { 8, 9, 10 })
        flags[k] = pfSmooth | pfCurve;
    p->SetPoints(entries, flags);

    TVeskDocument written;
    ASSERT_TRUE(written.Read(saved).ok);
    const auto* got = dynamic_cast<const TVeskPath*>(written.Root().ChildAt(0));
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(describe(*got), describe(*p));
    EXPECT_EQ(normalised(written).toHex(), normalised(expected).toHex());
    EXPECT_FALSE(context->History().IsModified());
    EXPECT_TRUE(form->close());
}

} // namespace
