#include "model/Veskhistory.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

// The document is a part whose name tells the edit it holds, so each
// snapshot can be recognised by name.
class HistoryTest : public ::testing::Test {
protected:
    void edit(int step) { doc.SetName(QStringLiteral("step %1").arg(step)); }
    static QString nameOf(const std::unique_ptr<TVeskObject>& snapshot)
    {
        return snapshot ? snapshot->GetName() : QStringLiteral("null");
    }

    // Reset at step 0, then records steps 1 .. count.
    void resetAndRecord(int count, int depth = 30)
    {
        edit(0);
        history.Reset(doc, depth);
        for (int i = 1; i <= count; ++i) {
            edit(i);
            history.Record(doc);
        }
    }

    TVeskPart doc;
    TVeskHistory history;
};

TEST_F(HistoryTest, UndoRightAfterResetFindsNothingButMarksTheDocumentModified)
{
    resetAndRecord(0);
    EXPECT_FALSE(history.IsModified());
    EXPECT_EQ(history.Undo(1.0), nullptr);
    EXPECT_TRUE(history.IsModified());
    history.SetModified(false);
    EXPECT_EQ(history.Redo(1.0), nullptr);
    EXPECT_TRUE(history.IsModified());
    EXPECT_EQ(history.Count(), 1);
}

TEST_F(HistoryTest, DepthKeepsTheNewestSnapshotsOnly)
{
    resetAndRecord(40);
    EXPECT_EQ(history.Count(), 30);
    std::unique_ptr<TVeskObject> last;
    for (int i = 0; i < 29; ++i) {
        last = history.Undo(1.0);
        ASSERT_NE(last, nullptr) << "undo " << i + 1;
    }
    EXPECT_EQ(nameOf(last), QStringLiteral("step 11"));
    EXPECT_EQ(history.Undo(1.0), nullptr);
    EXPECT_EQ(nameOf(history.First(1.0)), QStringLiteral("step 11"));
}

TEST_F(HistoryTest, UndoAndRedoWalkTheStepsInOrder)
{
    resetAndRecord(3);
    EXPECT_TRUE(history.IsModified());
    QStringList walked;
    for (int i = 0; i < 4; ++i)
        walked << nameOf(history.Undo(1.0));
    for (int i = 0; i < 4; ++i)
        walked << nameOf(history.Redo(1.0));
    EXPECT_EQ(
        walked.join(QLatin1Char(',')), QStringLiteral("step 2,step 1,step 0,null,step 1,step 2,step 3,null"));
}

TEST_F(HistoryTest, RecordingAfterUndoDropsTheRedoSteps)
{
    resetAndRecord(3);
    history.Undo(1.0);
    history.Undo(1.0);
    edit(4);
    history.Record(doc);
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.Redo(1.0), nullptr);
    EXPECT_EQ(nameOf(history.Undo(1.0)), QStringLiteral("step 1"));
    EXPECT_EQ(nameOf(history.Redo(1.0)), QStringLiteral("step 4"));
}

TEST_F(HistoryTest, RecordingASnapshotAboutToBeDroppedIsSafe)
{
    resetAndRecord(2);
    history.Undo(1.0);
    const std::unique_ptr<TVeskObject> newest = history.Redo(1.0);
    history.Undo(1.0);
    history.Undo(1.0);
    history.Record(*newest); // drops step 1 and step 2, the latter being the one recorded
    EXPECT_EQ(history.Count(), 2);
    EXPECT_EQ(nameOf(history.Undo(1.0)), QStringLiteral("step 0"));
    EXPECT_EQ(nameOf(history.Redo(1.0)), QStringLiteral("step 2"));
}

TEST_F(HistoryTest, RecordOnAHistoryThatWasNeverResetKeepsItEmpty)
{
    history.Record(doc);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_FALSE(history.IsModified());
    EXPECT_EQ(history.Undo(1.0), nullptr);
    EXPECT_EQ(history.Redo(1.0), nullptr);
    EXPECT_EQ(history.First(1.0), nullptr);

    resetAndRecord(2);
    history.Clear();
    history.Record(doc);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.First(1.0), nullptr);
}

TEST_F(HistoryTest, SavingClearsModifiedUntilTheNextUndo)
{
    resetAndRecord(1);
    history.Undo(1.0);
    edit(2);
    history.Record(doc);
    history.SetModified(false); // the document was saved
    EXPECT_FALSE(history.IsModified());
    EXPECT_NE(history.Undo(1.0), nullptr);
    EXPECT_TRUE(history.IsModified());
}

TEST_F(HistoryTest, ResetStartsOverWithTheNewDepth)
{
    resetAndRecord(5);
    history.Reset(doc, 3);
    EXPECT_FALSE(history.IsModified());
    EXPECT_EQ(history.Count(), 1);
    for (int i = 6; i <= 10; ++i) {
        edit(i);
        history.Record(doc);
    }
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(nameOf(history.First(1.0)), QStringLiteral("step 8"));

    history.Reset(doc, 0); // no depth at all would break "one snapshot is current"
    history.Record(doc);
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(history.Undo(1.0), nullptr);
    EXPECT_EQ(nameOf(history.First(1.0)), QStringLiteral("step 10"));
}

// A state handed out shares its children with records that Reset destroys.
TEST_F(HistoryTest, ResetFromAStateTheHistoryHandedOutIsSafe)
{
    doc.Add(TVeskGroup());
    using HandOut = std::unique_ptr<TVeskObject> (TVeskHistory::*)(double, TVeskObject*);
    for (const HandOut handOut : { &TVeskHistory::Undo, &TVeskHistory::Redo }) {
        resetAndRecord(2);
        history.Undo(1.0);
        const std::unique_ptr<TVeskObject> state = (history.*handOut)(1.0, nullptr);
        ASSERT_NE(state, nullptr);
        const QString name = state->GetName();
        history.Reset(*state, 30);
        EXPECT_EQ(history.Count(), 1);
        const std::unique_ptr<TVeskObject> first = history.First(1.0);
        EXPECT_EQ(nameOf(first), name);
        EXPECT_EQ(static_cast<const TVeskPart*>(first.get())->ChildCount(), 1);
    }
}

TEST_F(HistoryTest, StatesHandedBackAreCopiesShownAtTheViewScaleAskedFor)
{
    TVeskGroup member;
    member.SetName(QStringLiteral("before"));
    TVeskObject* child = doc.Add(member);
    resetAndRecord(1);
    child->SetName(QStringLiteral("after"));
    doc.Add(member);

    std::unique_ptr<TVeskObject> state = history.Undo(2.5);
    auto* installed = dynamic_cast<TVeskPart*>(state.get());
    ASSERT_NE(installed, nullptr);
    ASSERT_EQ(installed->ChildCount(), 1);
    EXPECT_EQ(installed->ChildAt(0)->GetName(), QStringLiteral("before"));
    EXPECT_DOUBLE_EQ(installed->ViewScale(), 2.5);
    EXPECT_DOUBLE_EQ(installed->ChildAt(0)->ViewScale(), 2.5);

    // Editing what was handed back leaves the record as it was.
    installed->ChildAt(0)->SetName(QStringLiteral("edited"));
    installed->ChildAt(0)->Delete();
    const std::unique_ptr<TVeskObject> again = history.Redo(1.0);
    ASSERT_NE(again, nullptr);
    const std::unique_ptr<TVeskObject> first = history.First(0.75);
    auto* firstPart = dynamic_cast<TVeskPart*>(first.get());
    ASSERT_NE(firstPart, nullptr);
    ASSERT_EQ(firstPart->ChildCount(), 1);
    EXPECT_EQ(firstPart->ChildAt(0)->GetName(), QStringLiteral("before"));
    EXPECT_DOUBLE_EQ(firstPart->ViewScale(), 0.75);
}

// The path tools keep a private history of the path they are building.
TEST_F(HistoryTest, HoldsSnapshotsOfAnyKind)
{
    TVeskGroup state;
    state.SetName(QStringLiteral("one anchor"));
    history.Reset(state, 30);
    state.SetName(QStringLiteral("two anchors"));
    history.Record(state);
    const std::unique_ptr<TVeskObject> undone = history.Undo(1.0);
    const auto* back = dynamic_cast<const TVeskGroup*>(undone.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetName(), QStringLiteral("one anchor"));
}

} // namespace
