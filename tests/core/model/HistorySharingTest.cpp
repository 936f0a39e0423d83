// Recorded states share unchanged objects and cached geometry with each
// other and with the live document; these tests check that no edit made
// through a pointer into the live document, before or after an undo, ever
// reaches a recorded state, and that undo and redo give back exactly what a
// history of deep copies would.
#include "EditTable.h"
#include "geometry/GraphicsPath.h"
#include "io/Veskfilestream.h"
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
    // As recorded: what a deep copy of the root holds (selection cleared).
    QByteArray recordedFingerprint(bool withOutlines = true)
    {
        std::unique_ptr<TVeskPart> live = doc.TakeRoot();
        doc.SetRoot(live->ClonePart());
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

    bool install(std::unique_ptr<TVeskObject> state) { return doc.InstallRoot(std::move(state)); }

    TVeskDocument doc;
    TVeskHistory history;
};

TEST_F(HistorySharing, NoEditThroughALivePointerReachesARecordedState)
{
    for (const Edit& edit : edits()) {
        SCOPED_TRACE(edit.name);
        SetUp();
        history.Reset(doc.Root(), 30);
        const QByteArray a = recordedFingerprint();

        // Pointers taken before the first record, as a tool holds them.
        const Live held = find(doc);
        edit.apply(held);
        history.Record(doc.Root());
        const QByteArray b = recordedFingerprint();
        ASSERT_NE(a, b) << "the edit changes nothing; pick another";
        edit.apply(find(doc));
        history.Record(doc.Root());
        edit.apply(find(doc)); // not recorded

        ASSERT_TRUE(install(history.Undo(1.0, &doc.Root())));
        EXPECT_EQ(fingerprint(), b);
        // Edit the installed copy, which shares with the record it came from.
        edit.apply(find(doc));
        history.Record(doc.Root());
        const QByteArray d = recordedFingerprint();
        edit.apply(find(doc));

        ASSERT_TRUE(install(history.Undo(1.0, &doc.Root())));
        EXPECT_EQ(fingerprint(), b);
        ASSERT_TRUE(install(history.Undo(1.0, &doc.Root())));
        EXPECT_EQ(fingerprint(), a);
        ASSERT_TRUE(install(history.Redo(1.0, &doc.Root())));
        EXPECT_EQ(fingerprint(), b);
        ASSERT_TRUE(install(history.Redo(1.0, &doc.Root())));
        EXPECT_EQ(fingerprint(), d);
    }
}

// Random edits, records, undos and redos against a history of deep copies,
// by saved bytes: where an edit returns an object to a state it had, the
// record it shares was built along another way, so its cached outline may
// differ in the last bits.
TEST_F(HistorySharing, UndoAndRedoMatchAHistoryOfDeepCopies)
{
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        SetUp();
        std::mt19937 rng(seed);
        constexpr int kDepth = 8;
        history.Reset(doc.Root(), kDepth);
        std::vector<QByteArray> reference { recordedFingerprint(false) };
        size_t position = 0;
        for (int step = 0; step < 120; ++step) {
            const int what = std::uniform_int_distribution<int>(0, 9)(rng);
            if (what < 6) {
                const auto& table = edits();
                table[std::uniform_int_distribution<size_t>(0, table.size() - 1)(rng)].apply(find(doc));
                if (what < 4) {
                    history.Record(doc.Root());
                    // What a deep copy records: the clone, selection cleared.
                    reference.resize(position + 1);
                    reference.push_back(recordedFingerprint(false));
                    if (reference.size() > size_t(kDepth))
                        reference.erase(reference.begin());
                    position = reference.size() - 1;
                }
            } else if (what < 8) {
                if (install(history.Undo(1.0, &doc.Root()))) {
                    ASSERT_GT(position, 0u);
                    --position;
                    ASSERT_EQ(fingerprint(false), reference[position]) << "undo at step " << step;
                }
            } else if (install(history.Redo(1.0, &doc.Root()))) {
                ++position;
                ASSERT_LT(position, reference.size());
                ASSERT_EQ(fingerprint(false), reference[position]) << "redo at step " << step;
            }
        }
    }
}

} // namespace
