// The document history through its edit transaction: named steps, depth,
// undo and redo in place, steps that record only what changed, revert, and
// the layer table.
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

// A document of four rectangles; step k renames the first one "step k".
class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 4; ++i) {
            TVeskRect r(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface());
            r.SetCorners({ float(10 * i), 0 }, { float(10 * i + 5), 5 });
            r.SetName(QStringLiteral("step 0"));
            doc.Root().Add(r);
        }
    }
    TVeskObject& first() { return *doc.Root().ChildAt(0); }
    QString state() { return first().GetName(); }
    void step(int k)
    {
        edit.Begin(QStringLiteral("rename %1").arg(k));
        first().SetName(QStringLiteral("step %1").arg(k));
        EXPECT_TRUE(edit.Commit());
    }
    void resetAndRecord(int count, int depth = 30)
    {
        edit.Reset(depth);
        for (int k = 1; k <= count; ++k)
            step(k);
    }

    TVeskDocument doc;
    TVeskHistory history;
    TVeskEdit edit { doc, history };
};

TEST_F(HistoryTest, UndoRightAfterResetFindsNothingAndLeavesTheDocumentUnmodified)
{
    resetAndRecord(0);
    EXPECT_FALSE(edit.Undo());
    EXPECT_FALSE(edit.Redo());
    EXPECT_FALSE(history.IsModified());
    EXPECT_EQ(edit.UndoName(), QString());
}

TEST_F(HistoryTest, UndoAndRedoWalkTheNamedStepsInOrder)
{
    resetAndRecord(3);
    EXPECT_TRUE(history.IsModified());
    QStringList walked;
    for (int i = 0; i < 4; ++i) {
        const QString name = edit.UndoName();
        walked << (edit.Undo() ? name + QLatin1Char('>') + state() : QStringLiteral("-"));
    }
    for (int i = 0; i < 4; ++i) {
        const QString name = edit.RedoName();
        walked << (edit.Redo() ? name + QLatin1Char('>') + state() : QStringLiteral("-"));
    }
    EXPECT_EQ(walked.join(QLatin1Char(',')),
        QStringLiteral("rename 3>step 2,rename 2>step 1,rename 1>step 0,-,"
                       "rename 1>step 1,rename 2>step 2,rename 3>step 3,-"));
}

TEST_F(HistoryTest, DepthKeepsTheNewestStepsOnly)
{
    resetAndRecord(40);
    EXPECT_EQ(history.Count(), 29);
    int undone = 0;
    while (edit.Undo())
        ++undone;
    EXPECT_EQ(undone, 29);
    EXPECT_EQ(state(), QStringLiteral("step 11"));

    edit.Reset(0); // taken as 1: nothing to undo, ever
    step(41);
    EXPECT_FALSE(edit.Undo());
}

TEST_F(HistoryTest, RecordingAfterUndoDropsTheRedoSteps)
{
    resetAndRecord(3);
    edit.Undo();
    edit.Undo();
    step(4);
    EXPECT_FALSE(edit.CanRedo());
    EXPECT_TRUE(edit.Undo());
    EXPECT_EQ(state(), QStringLiteral("step 1"));
    EXPECT_TRUE(edit.Redo());
    EXPECT_EQ(state(), QStringLiteral("step 4"));
}

TEST_F(HistoryTest, SavingClearsModifiedUntilTheNextStepOrUndo)
{
    resetAndRecord(1);
    history.SetModified(false); // the document was saved
    edit.Begin(QStringLiteral("select"));
    first().SetSelected(true);
    EXPECT_FALSE(edit.Commit());
    EXPECT_FALSE(history.IsModified()) << "a selection is no change";
    EXPECT_TRUE(edit.Undo());
    EXPECT_TRUE(history.IsModified());
}

// A command that changes nothing records nothing, drops no redo step and
// leaves the document unmodified.
TEST_F(HistoryTest, AStepThatChangesNothingRecordsNothing)
{
    const struct {
        const char* what;
        std::function<void(TVeskPart&)> change;
    } cases[] = {
        { "nothing", [](TVeskPart&) {} },
        { "a selection", [](TVeskPart& root) { root.ChildAt(1)->SetSelected(true); } },
        { "picked corners", [](TVeskPart& root) { root.ChildAt(1)->SetHandlesSelected(true); } },
        { "there and back",
            [](TVeskPart& root) {
                root.ChildAt(2)->SetSelected(true);
                root.Translate(5, 0, MatrixOrder::Append);
                root.Translate(-5, 0, MatrixOrder::Append);
            } },
        { "added and removed",
            [](TVeskPart& root) {
                TVeskObject* added = root.Add(TVeskGroup());
                root.RemoveChild(added);
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        first().SetName(QStringLiteral("step 0"));
        resetAndRecord(2);
        edit.Undo();
        history.SetModified(false);
        edit.Begin(QStringLiteral("command"));
        c.change(doc.Root());
        EXPECT_FALSE(edit.Commit());
        EXPECT_FALSE(history.IsModified());
        EXPECT_TRUE(edit.CanRedo());
        doc.Root().SetSelected(false);
        doc.Root().SetHandlesSelected(false);
    }
}

// Undo replaces what the step touched and nothing else: untouched children
// stay the very objects they were.
TEST_F(HistoryTest, UndoAndRedoTouchOnlyWhatTheStepChanged)
{
    edit.Reset(30);
    TVeskObject* untouched = doc.Root().ChildAt(3);
    edit.Begin(QStringLiteral("edit"));
    doc.Root().ChildAt(1)->SetName(QStringLiteral("renamed"));
    doc.Root().RemoveChild(doc.Root().ChildAt(2));
    doc.Root().Add(TVeskGroup())->SetName(QStringLiteral("new"));
    ASSERT_TRUE(edit.Commit());
    const QByteArray after = doc.ToBytes();

    ASSERT_TRUE(edit.Undo());
    ASSERT_EQ(doc.Root().ChildCount(), 4);
    EXPECT_EQ(doc.Root().ChildAt(1)->GetName(), QStringLiteral("step 0"));
    EXPECT_EQ(doc.Root().ChildAt(3), untouched);
    RectF third;
    doc.Root().ChildAt(2)->GetBounds(third);
    EXPECT_NEAR(third.X, 20, 1) << "a removed child comes back at its place";
    ASSERT_TRUE(edit.Redo());
    EXPECT_EQ(doc.ToBytes(), after);
    EXPECT_EQ(doc.Root().ChildAt(2), untouched);
}

TEST_F(HistoryTest, RevertPutsBackObjectsAndLayers)
{
    edit.Reset(30);
    const QByteArray before = doc.ToBytes();
    TVeskObject* untouched = doc.Root().ChildAt(3);
    edit.Begin(QStringLiteral("edit"));
    doc.Root().ChildAt(0)->SetSelected(true);
    doc.Root().Translate(7, 7, MatrixOrder::Append);
    doc.Root().RemoveChild(doc.Root().ChildAt(1));
    doc.Root().Add(TVeskGroup());
    doc.Layers().AddNamedLayer(0xFF00FF00, QStringLiteral("extra"));
    doc.Layers().MoveLayer(doc.Layers().FindLayer(QStringLiteral("hole")), doc.Layers().LayerAt(0));
    edit.Revert();
    EXPECT_FALSE(edit.IsOpen());
    EXPECT_EQ(doc.ToBytes(), before);
    EXPECT_EQ(doc.Root().ChildAt(3), untouched);
    EXPECT_FALSE(edit.CanUndo());
}

TEST_F(HistoryTest, ABeginWhileAStepIsOpenJoinsIt)
{
    edit.Reset(30);
    edit.Begin(QStringLiteral("outer"));
    first().SetName(QStringLiteral("a"));
    edit.Begin(QStringLiteral("inner"));
    doc.Root().ChildAt(1)->SetName(QStringLiteral("b"));
    EXPECT_EQ(edit.UndoName(), QStringLiteral("outer"));
    ASSERT_TRUE(edit.Commit());
    EXPECT_EQ(edit.UndoName(), QStringLiteral("outer"));
    edit.Undo();
    EXPECT_EQ(state(), QStringLiteral("step 0"));
    EXPECT_EQ(doc.Root().ChildAt(1)->GetName(), QStringLiteral("step 0"));
}

// An undo with a step open commits it first, so that it is what goes back.
TEST_F(HistoryTest, UndoCommitsAnOpenStepFirst)
{
    resetAndRecord(1);
    edit.Begin(QStringLiteral("drag"));
    first().SetName(QStringLiteral("dragged"));
    ASSERT_TRUE(edit.Undo());
    EXPECT_EQ(state(), QStringLiteral("step 1"));
    ASSERT_TRUE(edit.Redo());
    EXPECT_EQ(state(), QStringLiteral("dragged"));
}

// The layer table is part of a step: order, names, colours and flags go
// back, and a layer the step added leaves the list and comes back the same.
TEST_F(HistoryTest, LayerTableChangesAreUndone)
{
    edit.Reset(30);
    TVeskLayerList& layers = doc.Layers();
    const TVeskLayerTable before = layers.Table();
    edit.Begin(QStringLiteral("layers"));
    TVeskLayer* added = layers.AddNamedLayer(0xFF112233, QStringLiteral("new"));
    layers.MoveLayer(layers.FindLayer(QStringLiteral("component")), layers.FindLayer(QStringLiteral("solder")));
    layers.FindLayer(QStringLiteral("hole"))->SetName(QStringLiteral("drill"));
    TVeskRect r(added, TVeskSurface());
    r.SetCorners({ 0, 0 }, { 9, 9 });
    doc.Root().Add(r);
    ASSERT_TRUE(edit.Commit());
    const TVeskLayerTable after = layers.Table();
    const QByteArray afterBytes = doc.ToBytes();

    ASSERT_TRUE(edit.Undo());
    EXPECT_EQ(layers.Table(), before);
    EXPECT_EQ(layers.FindLayer(QStringLiteral("new")), nullptr);
    ASSERT_TRUE(edit.Redo());
    EXPECT_EQ(layers.Table(), after);
    EXPECT_EQ(layers.FindLayer(QStringLiteral("new")), added);
    EXPECT_EQ(doc.ToBytes(), afterBytes);

    // Reordering alone is a step of its own.
    edit.Begin(QStringLiteral("order"));
    layers.MoveLayer(layers.LayerAt(0), layers.LayerAt(3));
    EXPECT_TRUE(edit.Commit());
}

} // namespace
