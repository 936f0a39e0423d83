// The select tool in the real main window on the offscreen platform: a small
// document is opened, edited with the mouse and the keys on the drawing
// area, saved, and the file compared with the document the same edits give
// through the core.
#include "DrawingInput.h"
#include "FakeDialogs.h"
#include "Veskeventproc.h"
#include "Veskselectproc.h"
#include "Vesktoolbar.h"
#include "WaitFor.h"
#include "app/Drawingview.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "app/Mainmenu.h"
#include "app/Numericinputform.h"
#include "app/Toolstrip.h"
#include "io/Veskdocument.h"
#include "model/Veskhistory.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

// Two squares side by side and one far off, on the solder layer.
void writeFixture(const QString& path)
{
    TVeskDocument doc;
    doc.Reset();
    const struct {
        const char* name;
        PointF a, b;
    } squares[] = {
        { "R1", { 0, 0 }, { 40, 40 } },
        { "R2", { 100, 0 }, { 140, 40 } },
        { "R3", { 300, 300 }, { 340, 340 } },
    };
    for (const auto& s : squares) {
        TVeskRect r(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface(1.0f, false, true, 4));
        r.SetCorners(s.a, s.b);
        r.SetName(QString::fromLatin1(s.name));
        doc.Root().Add(r);
    }
    ASSERT_TRUE(doc.Write(path).ok);
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The document as it would be saved at zoom 1, with nothing selected.
QByteArray normalised(TVeskDocument& doc)
{
    doc.Root().SetViewScale(1.0);
    doc.Root().SetSelected(false);
    return doc.ToBytes();
}

QByteArray normalisedFile(const QString& path)
{
    TVeskDocument doc;
    doc.ReadBytes(readBytes(path));
    return normalised(doc);
}

class SelectToolRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        source = dir.filePath(QStringLiteral("squares.vbf"));
        writeFixture(source);
        context = std::make_unique<TEditorContext>(dir.filePath(QStringLiteral("VeskV.ini")));
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        context->SetDialogs(std::move(fake));
        form = std::make_unique<TVeskForm>(*context);
        form->StartUp(source);
        form->show();
        settle();
        // Zoom 1, the origin in the middle: a pixel step is a document unit.
        form->View().Reset();
        form->ToolBar().CurrentTool()->RequestRedraw();
        settle();
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
    TVeskSelectProc* tool() { return dynamic_cast<TVeskSelectProc*>(form->ToolBar().CurrentTool()); }
    TVeskPart& root() { return context->Document().Root(); }
    std::string childNames()
    {
        std::string out;
        for (const auto& child : root().Children())
            out += dynamic_cast<TVeskGroup*>(child.get()) ? "G" : child->GetName().toStdString();
        return out;
    }
    PointF centreOf(const char* name)
    {
        for (const auto& child : root().Children())
            if (child->GetName() == QString::fromLatin1(name)) {
                RectF b;
                child->GetBounds(b);
                return { b.X + b.Width / 2, b.Y + b.Height / 2 };
            }
        ADD_FAILURE() << name << " is not in the document";
        return {};
    }

    QTemporaryDir dir;
    QString source;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<TEditorContext> context;
    std::unique_ptr<TVeskForm> form;
};

TEST_F(SelectToolRun, BandDragTurnMirrorGroupUngroupUndoRedoAndSave)
{
    ASSERT_NE(tool(), nullptr) << "the select tool is active after start-up";
    EXPECT_TRUE(form->ToolStrip().ToolButtons()[0]->isChecked());
    EXPECT_EQ(form->ToolStrip().OptionButtons().size(), 8u);

    // A rubber band around R1 and R2, drawn while it is dragged.
    QTest::mousePress(&area(), Qt::LeftButton, {}, px({ -20, -20 }));
    QTest::mouseMove(&area(), px({ 150, 50 }));
    const QImage before = area().Image();
    QTest::mouseMove(&area(), px({ 150, 50 }));
    EXPECT_NE(area().Image(), before);
    QTest::mouseRelease(&area(), Qt::LeftButton, {}, px({ 150, 50 }));
    settle();
    ASSERT_EQ(tool()->SelectionList().size(), 2u);
    EXPECT_FALSE(context->History().IsModified());

    // A drag of 14 by 26 moves by whole grid steps: 10 by 30.
    QTest::mousePress(&area(), Qt::LeftButton, {}, px({ 20, 20 }));
    QTest::mouseMove(&area(), px({ 34, 46 }));
    QTest::mouseRelease(&area(), Qt::LeftButton, {}, px({ 34, 46 }));
    settle();
    EXPECT_FLOAT_EQ(centreOf("R1").X, 30);
    EXPECT_FLOAT_EQ(centreOf("R1").Y, 50);
    EXPECT_TRUE(context->History().IsModified());

    QTest::keyClick(&area(), Qt::Key_R, Qt::ControlModifier);
    QTest::keyClick(&area(), Qt::Key_M, Qt::ControlModifier);
    QTest::keyClick(&area(), Qt::Key_G, Qt::ControlModifier);
    settle();
    ASSERT_EQ(childNames(), "R3G");

    // A click on a member picks the group; Ctrl+Shift+G dissolves it.
    RectF r1;
    static_cast<TVeskGroup*>(root().Children().back().get())->ChildAt(0)->GetBounds(r1);
    QTest::mouseClick(&area(), Qt::LeftButton, {}, px({ r1.X + r1.Width / 2, r1.Y + r1.Height / 2 }));
    ASSERT_EQ(tool()->SelectionList().size(), 1u);
    QTest::keyClick(&area(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    EXPECT_EQ(childNames(), "R3R1R2");

    QTest::keyClick(&area(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(childNames(), "R3G");
    QTest::keyClick(&area(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(childNames(), "R3R1R2");
    settle();

    const QString saved = dir.filePath(QStringLiteral("edited.vbf"));
    dialogs->saveName = saved;
    form->Menu().saveAsItem->trigger();
    ASSERT_TRUE(dialogs->errors.empty());
    EXPECT_FALSE(context->History().IsModified());

    // The same edits through the core: moved by (10, 30), turned about the
    // snapped centre of both, (80, 50), mirrored about x = 80 (the centre
    // again), then grouped and ungrouped, which puts them after R3.
    TVeskDocument expected;
    ASSERT_TRUE(expected.Read(source).ok);
    TVeskPart& e = expected.Root();
    e.ChildAt(0)->SetSelected(true);
    e.ChildAt(1)->SetSelected(true);
    e.Translate(10, 30, MatrixOrder::Append);
    e.RotateAt(90, { 80, 50 }, MatrixOrder::Append);
    Matrix mirror;
    mirror.Translate(-80, -50, MatrixOrder::Append);
    mirror.Scale(-1, 1, MatrixOrder::Append);
    mirror.Translate(80, 50, MatrixOrder::Append);
    e.MultiplyMatrix(mirror, MatrixOrder::Append);
    std::unique_ptr<TVeskObject> r1Copy = e.ChildAt(0)->Clone();
    std::unique_ptr<TVeskObject> r2Copy = e.ChildAt(1)->Clone();
    TVeskObject* const moved[] = { e.ChildAt(0), e.ChildAt(1) };
    e.RemoveChildren(moved);
    e.Adopt(std::move(r1Copy));
    e.Adopt(std::move(r2Copy));

    EXPECT_EQ(normalisedFile(saved).toHex(), normalised(expected).toHex());
    EXPECT_TRUE(form->close());
}

// The numeric input button opens the dialog; a bad number is refused there
// and moves nothing, a good one moves the selection as one step.
TEST_F(SelectToolRun, NumericInputRefusesBadNumbersAndMovesByMillimetres)
{
    QTest::mouseClick(&area(), Qt::LeftButton, {}, px({ 20, 20 }));
    ASSERT_EQ(tool()->SelectionList().size(), 1u);
    QToolButton* numeric = nullptr;
    for (QToolButton* button : form->ToolStrip().OptionButtons())
        if (button->toolTip() == QStringLiteral("数値入力"))
            numeric = button;
    ASSERT_NE(numeric, nullptr);

    bool refusedAndStillOpen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TNumericInputForm*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("数値入力"));
        dialog->XEdit()->setText(QStringLiteral("1,5mm"));
        dialog->YEdit()->setText(QStringLiteral("-2"));
        dialog->OKButton()->click();
        refusedAndStillOpen = dialog->isVisible() && TNumericInputForm::IsMarked(dialog->XEdit());
        EXPECT_EQ(centreOf("R1").X, 20) << "nothing moves while a field is wrong";
        dialog->XEdit()->setText(QStringLiteral("１．５"));
        dialog->OKButton()->click();
    });
    numeric->click();
    settle();
    EXPECT_TRUE(refusedAndStillOpen);
    EXPECT_FLOAT_EQ(centreOf("R1").X, 35);
    EXPECT_FLOAT_EQ(centreOf("R1").Y, 0);
    EXPECT_FLOAT_EQ(centreOf("R2").X, 120);
    EXPECT_EQ(tool()->Modes(), std::vector<std::int32_t> { ModeSelectIdle });
    QTest::keyClick(&area(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(centreOf("R1").X, 20);
    EXPECT_FLOAT_EQ(centreOf("R1").Y, 20);
    EXPECT_FALSE(context->History().CanUndo());
    dialogs->answers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(form->close());
}

} // namespace
