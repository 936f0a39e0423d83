// The part's index must answer as visiting every child would: picking on
// random boards against the exhaustive walk, and after every kind of edit
// the same entries as an index built afresh, with the damage covering what
// moved.
#include "../model/EditTable.h"
#include "../model/RandomShapes.h"
#include "io/Veskfilestream.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskspatialindex.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace vesk;

namespace {

// Far from the fixture, so that they change no answer about it; enough of
// them that the part keeps an index.
void addFillers(TVeskDocument& doc, int count)
{
    TVeskLayer* layer = doc.Layers().FindLayer(QStringLiteral("component"));
    for (int i = 0; i < count; ++i) {
        TVeskRect r(layer, TVeskSurface(1, false, true, 4));
        const float x = 2000.0f + float(i % 8) * 30, y = 2000.0f + float(i / 8) * 30;
        r.SetCorners({ x, y }, { x + 10, y + 10 });
        doc.Root().Add(r);
    }
}

QByteArray saved(const TVeskPart& root)
{
    TVesk_ostream out;
    root.Save(out);
    return out.Buffer();
}

// Child positions whose entry meets the rectangle.
std::vector<int> positionsNear(const TVeskPart& root, const RectF& rect)
{
    std::map<const TVeskObject*, int> position;
    for (int i = 0; i < root.ChildCount(); ++i)
        position[root.ChildAt(i)] = i;
    std::vector<TVeskObject*> found;
    root.Index().Query(rect, false, found);
    std::vector<int> out;
    for (const TVeskObject* o : found)
        out.push_back(position.at(o));
    std::sort(out.begin(), out.end());
    return out;
}

bool covered(const RectF& r, const std::vector<RectF>& damage)
{
    return std::any_of(damage.begin(), damage.end(), [&](const RectF& d) {
        return d.GetLeft() <= r.GetLeft() && d.GetTop() <= r.GetTop() && d.GetRight() >= r.GetRight()
            && d.GetBottom() >= r.GetBottom();
    });
}

// Where each child is entered, by position, in an index over a copy.
std::vector<std::vector<RectF>> entriesOf(const TVeskPart& root)
{
    std::vector<std::vector<RectF>> boxes;
    const std::unique_ptr<TVeskPart> copy = root.ClonePart();
    for (int i = 0; i < copy->ChildCount(); ++i) {
        RectF box;
        boxes.push_back(copy->Index().Entered(*copy->ChildAt(i), box) ? std::vector<RectF> { box }
                                                                      : std::vector<RectF> {});
    }
    return boxes;
}

TEST(SpatialIndex, FollowsEveryEditAndReportsItsDamage)
{
    for (const test::Edit& edit : test::edits()) {
        SCOPED_TRACE(edit.name);
        TVeskDocument doc;
        test::BuildEditFixture(doc);
        addFillers(doc, 40);
        TVeskPart& root = doc.Root();
        root.Index().TrackDamage();
        const std::vector<std::vector<RectF>> before = entriesOf(root);

        edit.apply(test::find(doc));

        // The live index, kept by change reports, against one built afresh.
        const std::unique_ptr<TVeskPart> fresh = root.ClonePart();
        for (float y = -60; y < 320; y += 13)
            for (float x = -60; x < 320; x += 13) {
                const RectF probe { x, y, 9, 9 };
                ASSERT_EQ(positionsNear(root, probe), positionsNear(*fresh, probe)) << x << "," << y;
            }
        // Whatever is entered now or was before, where it differs, is damaged.
        const std::vector<RectF> damage = root.Index().TakeDamage();
        const std::vector<std::vector<RectF>> after = entriesOf(root);
        const auto unmatched = [](const std::vector<std::vector<RectF>>& a,
                                   const std::vector<std::vector<RectF>>& b, std::vector<RectF>& out) {
            for (const auto& entry : a)
                for (const RectF& r : entry)
                    if (std::none_of(
                            b.begin(), b.end(), [&](const auto& e) { return !e.empty() && e[0] == r; }))
                        out.push_back(r);
        };
        std::vector<RectF> changed;
        unmatched(before, after, changed);
        unmatched(after, before, changed);
        for (const RectF& r : changed)
            EXPECT_TRUE(covered(r, damage)) << r.X << "," << r.Y << " " << r.Width << "x" << r.Height;
    }
}

TEST(SpatialIndex, DeselectingEverythingDamagesOnlyWhatWasSelected)
{
    const struct {
        const char* name;
        void (*pick)(TVeskObject&, PointF);
        void (*clear)(TVeskPart&);
        bool (*stillMarked)(const TVeskObject&);
    } cases[] = {
        { "selection", [](TVeskObject& o, PointF at) { o.SelectAt(at); },
            [](TVeskPart& root) { root.SetSelected(false); },
            [](const TVeskObject& o) { return o.IsSelected(); } },
        { "point editing", [](TVeskObject& o, PointF) { o.SetHandlesSelected(true); },
            [](TVeskPart& root) { root.SetHandlesSelected(false); },
            [](const TVeskObject& o) { return o.HasEditState(); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TVeskDocument doc;
        addFillers(doc, 40);
        TVeskPart& root = doc.Root();
        TVeskObject& picked = *root.ChildAt(7);
        RectF box;
        picked.GetBounds(box);
        c.pick(picked, { box.X + box.Width / 2, box.Y + box.Height / 2 });
        ASSERT_TRUE(c.stillMarked(picked));
        root.Index().Sync();
        root.Index().TrackDamage();

        c.clear(root);
        root.Index().Sync();
        EXPECT_FALSE(c.stillMarked(picked));
        const std::vector<RectF> damage = root.Index().TakeDamage();
        ASSERT_FALSE(damage.empty());
        box.Inflate(2, 2);
        for (const RectF& r : damage)
            EXPECT_TRUE(covered(r, { box })) << r.X << "," << r.Y;
    }
}

TEST(SpatialIndex, AnObjectInProgressIsLeftOutAndDamagesOnlyOnceFinished)
{
    TVeskDocument doc;
    addFillers(doc, 40);
    TVeskPart& root = doc.Root();
    auto rect = std::make_unique<TVeskRect>(
        doc.Layers().FindLayer(QStringLiteral("component")), TVeskSurface(1, false, true, 4));
    rect->SetCorners({ 500, 500 }, { 520, 520 });
    TVeskObject* growing = root.Adopt(std::move(rect));
    growing->SetInProgress(true);
    root.Index().Sync();
    root.Index().TrackDamage();
    root.Index().TakeDamage();

    static_cast<TVeskRect*>(growing)->SetCorners({ 500, 500 }, { 560, 540 });
    root.Index().Sync();
    EXPECT_TRUE(root.Index().TakeDamage().empty()) << "nothing beneath it is repainted";
    std::vector<TVeskObject*> found;
    root.Index().Query({ 490, 490, 80, 60 }, false, found);
    EXPECT_TRUE(found.empty());

    growing->SetInProgress(false);
    root.Index().Sync();
    EXPECT_TRUE(covered({ 500, 500, 60, 40 }, root.Index().TakeDamage()));
    root.Index().Query({ 490, 490, 80, 60 }, false, found);
    EXPECT_EQ(found, std::vector<TVeskObject*> { growing });
    EXPECT_FALSE(growing->Clone()->InProgress()) << "copies are finished objects";
}

// The walk the part made over every child before it kept an index.
struct Exhaustive {
    TVeskPart& root;
    template <class F> void each(F&& f)
    {
        if (!root.IsVisible())
            return;
        for (const auto& child : root.Children())
            if (child->IsVisible() && !child->IsLocked())
                f(*child);
    }
    bool selectAt(PointF p)
    {
        bool hit = false;
        each([&](TVeskObject& c) { hit |= c.SelectAt(p); });
        return hit;
    }
    bool selectIn(const RectF& r)
    {
        bool hit = false;
        each([&](TVeskObject& c) { hit |= c.SelectIn(r); });
        return hit;
    }
    bool hitTest(PointF p)
    {
        bool hit = false;
        each([&](TVeskObject& c) { hit |= c.HitTest(p); });
        return hit;
    }
    bool hitTestSelected(PointF p)
    {
        bool hit = false;
        each([&](TVeskObject& c) { hit |= c.HitTestSelected(p); });
        return hit;
    }
    int hitHandles(PointF p, int radius)
    {
        int code = 0;
        each([&](TVeskObject& c) { code |= c.HitHandle(p, float(radius)); });
        return code;
    }
};

// Two equal boards, one picked through the index and one by the walk, put
// through the same random picks and edits; every answer and every saved
// byte (selection, point editing and picked handles included) must agree.
TEST(SpatialIndex, PickingMatchesTheExhaustiveWalkOnRandomBoards)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        TVeskDocument docs[2];
        std::mt19937 build(seed), build2(seed);
        for (int i = 0; i < 150; ++i) {
            docs[0].Root().Adopt(test::RandomShape(build, docs[0].Layers()));
            docs[1].Root().Adopt(test::RandomShape(build2, docs[1].Layers()));
        }
        TVeskPart& indexed = docs[0].Root();
        Exhaustive walk { docs[1].Root() };
        std::mt19937 rng(seed * 7919);
        std::uniform_real_distribution<float> at(-10, 420), span(0, 60);
        for (int step = 0; step < 400; ++step) {
            const PointF p { at(rng), at(rng) };
            const RectF r { p.X, p.Y, span(rng), span(rng) };
            const int n = docs[0].Root().ChildCount();
            const int k = n ? std::uniform_int_distribution<int>(0, n - 1)(rng) : 0;
            const int op = std::uniform_int_distribution<int>(0, 11)(rng);
            switch (op) {
            case 0:
                ASSERT_EQ(indexed.SelectAt(p), walk.selectAt(p));
                break;
            case 1:
                ASSERT_EQ(indexed.SelectIn(r), walk.selectIn(r));
                break;
            case 2:
                ASSERT_EQ(indexed.HitTest(p), walk.hitTest(p));
                break;
            case 3:
                ASSERT_EQ(indexed.HitTestSelected(p), walk.hitTestSelected(p));
                break;
            case 4:
                docs[0].Root().SetViewScale(1 + span(rng) / 20);
                docs[1].Root().SetViewScale(docs[0].Root().ViewScale());
                ASSERT_EQ(indexed.HitHandles(p, 4), walk.hitHandles(p, 4));
                break;
            case 5: // a tool picking handles on one object directly
                for (TVeskDocument& d : docs)
                    if (TVeskObject* c = d.Root().ChildAt(k))
                        c->SelectHandleAt(p, 30);
                break;
            case 6: { // move what is selected
                const float dx = span(rng) - 30;
                for (TVeskDocument& d : docs) {
                    d.Root().MoveSelection(dx, 4, MatrixOrder::Append);
                    d.Root().Translate(3, -2, MatrixOrder::Append);
                }
                break;
            }
            case 7:
                for (TVeskDocument& d : docs)
                    if (TVeskObject* c = d.Root().ChildAt(k))
                        c->SetVisible(!c->IsVisible());
                break;
            case 8:
                for (TVeskDocument& d : docs)
                    if (TVeskObject* c = d.Root().ChildAt(k))
                        d.Root().RemoveChild(c);
                break;
            case 9: {
                const unsigned s = rng();
                for (TVeskDocument& d : docs) {
                    std::mt19937 one(s);
                    d.Root().Adopt(test::RandomShape(one, d.Layers()));
                }
                break;
            }
            case 10: {
                const int layer = std::uniform_int_distribution<int>(0, 3)(rng);
                for (TVeskDocument& d : docs)
                    d.Layers().LayerAt(layer)->SetVisible(!d.Layers().LayerAt(layer)->visible);
                break;
            }
            default:
                for (TVeskDocument& d : docs)
                    d.Root().SetSelected(false);
                break;
            }
            ASSERT_EQ(saved(docs[0].Root()), saved(docs[1].Root())) << "step " << step << " op " << op;
        }
    }
}

} // namespace
