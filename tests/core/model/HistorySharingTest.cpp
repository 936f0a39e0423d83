// Recorded states share unchanged objects and cached geometry with each
// other and with the live document; these tests check that no edit made
// through a pointer into the live document, before or after an undo, ever
// reaches a recorded state, and that undo and redo give back exactly what a
// history of deep copies would.
#include "EditTable.h"
#include "geometry/GraphicsPath.h"
#include "io/Veskfilestream.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskstring.h"

#include <gtest/gtest.h>
#include <random>

using namespace vesk;
using vesk::test::Edit;
using vesk::test::edits;
using vesk::test::find;
using vesk::test::Live;

namespace {

class HistorySharing : public ::testing::Test {
protected:
    void SetUp() override { test::BuildEditFixture(doc); }

    // The saved bytes and every layer's outline: what a state means to the
    // user, cached geometry included.
    // As recorded: what a deep copy of the root holds, without the editing
    // state (selection, picked points) that the file format happens to keep.
    QByteArray recordedFingerprint(bool withOutlines = true)
    {
        std::unique_ptr<TVeskPart> live = doc.TakeRoot();
        doc.SetRoot(live->ClonePart());
        for (const auto& child : doc.Root().Children())
            child->SetHandlesSelected(false);
        const QByteArray bytes = fingerprint(withOutlines);
        doc.SetRoot(std::move(live));
        return bytes;
    }

    QByteArray fingerprint(bool withOutlines = true) const
    {
        TVesk_ostream out;
        doc.Root().Save(out);
        QByteArray bytes = out.Buffer();
        if (!withOutlines)
            return bytes;
        const auto append = [&](const GraphicsPath& outline) {
            const auto points = outline.Points();
            bytes.append(reinterpret_cast<const char*>(points.data()), qsizetype(points.size_bytes()));
        };
        // The cached outlines, which copies share, in tree order.
        std::vector<TVeskObject*> leaves;
        for (int i = 0; i < doc.Layers().LayerCount(); ++i)
            const_cast<TVeskPart&>(doc.Root()).CollectByLayer(leaves, i);
        for (const TVeskObject* o : leaves) {
            if (const auto* path = dynamic_cast<const TVeskPath*>(o))
                append(path->OutlinePath());
            else if (const auto* box = dynamic_cast<const TVeskBoxShape*>(o))
                append(box->OutlinePath());
            else if (const auto* text = dynamic_cast<const TVeskString*>(o))
                append(text->TextPath());
        }
        return bytes;
    }

    // One step of the edit, applied to the objects found afresh.
    bool record(const Edit& change)
    {
        edit.Begin(QString::fromUtf8(change.name));
        change.apply(find(doc));
        return edit.Commit();
    }

    TVeskDocument doc;
    TVeskHistory history;
    TVeskEdit edit { doc, history };
};

TEST_F(HistorySharing, NoEditThroughALivePointerReachesARecordedState)
{
    for (const Edit& change : edits()) {
        SCOPED_TRACE(change.name);
        SetUp();
        edit.Reset(30);
        const QByteArray a = recordedFingerprint();

        // Pointers taken before the first step, as a tool holds them.
        const Live held = find(doc);
        edit.Begin(QStringLiteral("first"));
        change.apply(held);
        ASSERT_TRUE(edit.Commit()) << "the edit changes nothing; pick another";
        const QByteArray b = recordedFingerprint();
        ASSERT_NE(a, b);
        const bool twice = record(change);
        // Changed and taken back before it became a step.
        edit.Begin(QStringLiteral("reverted"));
        change.apply(find(doc));
        edit.Revert();
        if (!twice) {
            // The edit sets a state: again, it changes nothing and records nothing.
            ASSERT_TRUE(edit.Undo());
            EXPECT_EQ(recordedFingerprint(), a);
            ASSERT_TRUE(edit.Redo());
            EXPECT_EQ(recordedFingerprint(), b);
            continue;
        }

        ASSERT_TRUE(edit.Undo());
        EXPECT_EQ(recordedFingerprint(), b);
        // Edit the copy undo put in place, which shares with its record.
        record(change);
        const QByteArray d = recordedFingerprint();
        edit.Begin(QStringLiteral("reverted"));
        change.apply(find(doc));
        edit.Revert();

        ASSERT_TRUE(edit.Undo());
        EXPECT_EQ(recordedFingerprint(), b);
        ASSERT_TRUE(edit.Undo());
        EXPECT_EQ(recordedFingerprint(), a);
        ASSERT_TRUE(edit.Redo());
        EXPECT_EQ(recordedFingerprint(), b);
        ASSERT_TRUE(edit.Redo());
        EXPECT_EQ(recordedFingerprint(), d);
    }
}

// Random edits, steps, reverts, undos and redos against a history of deep
// copies, by saved bytes: where an edit returns an object to a state it
// had, the record it shares was built along another way, so its cached
// outline may differ in the last bits.
TEST_F(HistorySharing, UndoAndRedoMatchAHistoryOfDeepCopies)
{
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        SetUp();
        std::mt19937 rng(seed);
        constexpr int kDepth = 8;
        edit.Reset(kDepth);
        std::vector<QByteArray> reference { recordedFingerprint(false) };
        size_t position = 0;
        const auto commit = [&] {
            if (!edit.Commit())
                return;
            reference.resize(position + 1);
            reference.push_back(recordedFingerprint(false));
            if (reference.size() > size_t(kDepth))
                reference.erase(reference.begin());
            position = reference.size() - 1;
        };
        for (int step = 0; step < 120; ++step) {
            const int what = std::uniform_int_distribution<int>(0, 10)(rng);
            if (what < 6) {
                const auto& table = edits();
                edit.Begin(QStringLiteral("random"));
                table[std::uniform_int_distribution<size_t>(0, table.size() - 1)(rng)].apply(find(doc));
                if (what < 4)
                    commit();
            } else if (what < 7) {
                edit.Revert();
                ASSERT_EQ(recordedFingerprint(false), reference[position]) << "revert at step " << step;
            } else if (what < 9) {
                commit();
                if (edit.Undo()) {
                    ASSERT_GT(position, 0u);
                    --position;
                    ASSERT_EQ(recordedFingerprint(false), reference[position]) << "undo at step " << step;
                }
            } else {
                commit();
                if (edit.Redo()) {
                    ++position;
                    ASSERT_LT(position, reference.size());
                    ASSERT_EQ(recordedFingerprint(false), reference[position]) << "redo at step " << step;
                }
            }
        }
    }
}

} // namespace
