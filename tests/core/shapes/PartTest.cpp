#include "ContainerFixture.h"
#include "model/Colorstyle.h"
#include "shapes/Veskpath.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QtEndian>
#include <climits>
#include <functional>

using namespace vesk;
using namespace vesk::test;

namespace {

class PartTest : public ContainerTest { };

// The bytes of an empty root part: tag, no children, the common block with
// the name "Part", view scale 1, identity matrix and the default surface.
const QByteArray kEmptyPartRecord
    = QByteArray::fromHex("50 41 52 54"
                          "00 00 00 00"
                          "00 01 00 00"
                          "00 00 00 00 00 00 F0 3F"
                          "00 00 80 3F 00 00 00 00 00 00 00 00 00 00 80 3F 00 00 00 00 00 00 00 00"
                          "04 00 00 00 50 61 72 74"
                          "00 00 80 3F 00 00 04 00 00 00 02 00 00 00 02 00 00 00");

TEST_F(PartTest, EmptyPartIsSavedAsTheDocumentRootRecord)
{
    const TVeskPart part;
    EXPECT_EQ(part.GetName(), QStringLiteral("Part"));
    EXPECT_EQ(kEmptyPartRecord.size(), 70);
    EXPECT_EQ(SaveBytes(part).toHex(' '), kEmptyPartRecord.toHex(' '));
}

TEST_F(PartTest, SaveOnAFailedStreamWritesNothing)
{
    TVeskPart part;
    AddGroup(part, QStringLiteral("g"));
    QBuffer closed; // a device that is not open refuses every write
    TVesk_ostream failed(closed);
    failed.Flush();
    ASSERT_TRUE(failed.Failed());
    EXPECT_EQ(part.Save(failed), -1);
}

TEST_F(PartTest, AddStoresAnIndependentCloneOwnedByThePart)
{
    TVeskPart part;
    part.SetViewScale(2.5);
    TestShape proto(Layer(1), { 0, 0, 10, 10 }, QStringLiteral("a"));
    proto.SetSelected(true);

    TVeskObject* added = part.Add(proto);

    ASSERT_NE(added, nullptr);
    EXPECT_NE(added, &proto);
    EXPECT_EQ(part.ChildAt(0), added);
    EXPECT_EQ(added->GetOwner(), &part);
    EXPECT_EQ(proto.GetOwner(), nullptr);
    EXPECT_DOUBLE_EQ(added->ViewScale(), 2.5);
    EXPECT_DOUBLE_EQ(proto.ViewScale(), 1.0);
    EXPECT_FALSE(added->IsSelected());
    EXPECT_EQ(TestShape::live, liveAtStart + 2);
    proto.SetName(QStringLiteral("changed"));
    EXPECT_EQ(added->GetName(), QStringLiteral("a"));
}

TEST_F(PartTest, AdoptTakesTheObjectItselfAndIgnoresNull)
{
    TVeskPart part;
    part.SetViewScale(4.0);
    auto shape = std::make_unique<TestShape>(Layer(1), RectF { 0, 0, 1, 1 }, QStringLiteral("a"));
    TestShape* raw = shape.get();
    EXPECT_EQ(part.Adopt(std::move(shape)), raw);
    EXPECT_EQ(raw->GetOwner(), &part);
    EXPECT_DOUBLE_EQ(raw->ViewScale(), 4.0);
    EXPECT_EQ(part.Adopt(nullptr), nullptr);
    EXPECT_EQ(part.ChildCount(), 1);
}

// Each word is a child in insertion order; an upper-case name is a cut-out.
struct DrawOrderCase {
    const char* children;
    const char* drawOrder;
};

class PartDrawOrder : public PartTest, public ::testing::WithParamInterface<DrawOrderCase> { };

// The same order must come out of Add, of Clone and of Load, which rebuild it differently.
TEST_P(PartDrawOrder, CutOutsComeLastAndNewestOthersFirst)
{
    const QStringList expected = Words(GetParam().drawOrder);

    TVeskPart part;
    for (const QString& name : Words(GetParam().children))
        AddShape(part, name);
    EXPECT_EQ(ChildNames(part), Words(GetParam().children));
    EXPECT_EQ(NamesOf(part.DrawOrder()), expected);

    QStringList log;
    TestShape::log = &log;
    QImage image(4, 4, QImage::Format_ARGB32);
    QPainter g(&image);
    part.Draw(g, 1, TDrawStyle());
    TestShape::log = nullptr;
    QStringList drawn;
    for (const QString& entry : log)
        drawn.append(entry.mid(5));
    EXPECT_EQ(drawn, expected);

    const auto clone = part.ClonePart();
    EXPECT_EQ(NamesOf(clone->DrawOrder()), expected);

    TVeskPart groups;
    for (const QString& name : Words(GetParam().children))
        AddGroup(groups, name);
    const auto loaded = LoadPart(SaveBytes(groups));
    EXPECT_EQ(NamesOf(loaded->DrawOrder()), expected);
}

INSTANTIATE_TEST_SUITE_P(PartTest, PartDrawOrder,
    ::testing::Values(DrawOrderCase { "", "" }, DrawOrderCase { "a b c", "c b a" },
        DrawOrderCase { "A B", "A B" }, DrawOrderCase { "a X b Y", "b a X Y" },
        DrawOrderCase { "X a Y b c", "c b a X Y" }));

TEST_F(PartTest, RebuildMovesAChildWhoseCutOutFlagChanged)
{
    TVeskPart part;
    AddShape(part, QStringLiteral("a"));
    TestShape* b = AddShape(part, QStringLiteral("b"));
    AddShape(part, QStringLiteral("c"));
    TVeskSurface cut;
    cut.SetCutOut(true);
    b->SetSurface(cut);
    EXPECT_EQ(NamesOf(part.DrawOrder()), Words("c b a"));
    part.Rebuild();
    EXPECT_EQ(NamesOf(part.DrawOrder()), Words("c a b"));
}

TEST_F(PartTest, DrawingPassesTheLayerToEveryChildAndStopsWhileHidden)
{
    TVeskPart part;
    AddShape(part, QStringLiteral("one"), { 0, 0, 1, 1 }, 1);
    AddShape(part, QStringLiteral("two"), { 0, 0, 1, 1 }, 2);
    TVeskGroup* group = AddGroup(part, QStringLiteral("g"));
    AddShape(*group, QStringLiteral("inner"), { 0, 0, 1, 1 }, 2);

    QStringList log;
    TestShape::log = &log;
    QImage image(4, 4, QImage::Format_ARGB32);
    QPainter g(&image);
    const TDrawStyle style;
    part.Draw(g, 2, style);
    part.DrawForPrint(g, 1, style);
    part.DrawSelection(g, style);
    EXPECT_EQ(log, Words("draw:inner draw:two print:one sel:inner sel:two sel:one"));

    log.clear();
    group->SetVisible(false);
    part.Draw(g, 2, style);
    EXPECT_EQ(log, Words("draw:two"));

    log.clear();
    part.SetVisible(false);
    part.Draw(g, 2, style);
    part.DrawForPrint(g, 1, style);
    part.DrawSelection(g, style);
    TestShape::log = nullptr;
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(PartTest, RemoveChildDestroysOnlyItsOwnChildren)
{
    TVeskPart part;
    AddShape(part, QStringLiteral("a"));
    TestShape* b = AddShape(part, QStringLiteral("b"));
    AddShape(part, QStringLiteral("C"));
    TestShape stranger(Layer(1), { 0, 0, 1, 1 }, QStringLiteral("stranger"));
    const int live = TestShape::live;

    part.RemoveChild(&stranger);
    part.RemoveChild(nullptr);
    EXPECT_EQ(TestShape::live, live);
    EXPECT_EQ(ChildNames(part), Words("a b C"));

    b->Delete();
    EXPECT_EQ(TestShape::live, live - 1);
    EXPECT_EQ(ChildNames(part), Words("a C"));
    EXPECT_EQ(NamesOf(part.DrawOrder()), Words("a C"));

    AddShape(part, QStringLiteral("d"));
    AddShape(part, QStringLiteral("e"));
    const std::vector<TVeskObject*> doomed { part.ChildAt(3), &stranger, part.ChildAt(1), part.ChildAt(3) };
    part.RemoveChildren(doomed);
    EXPECT_EQ(TestShape::live, live - 1);
    EXPECT_EQ(ChildNames(part), Words("a d"));
    EXPECT_EQ(NamesOf(part.DrawOrder()), Words("d a"));
}

TEST_F(PartTest, ClickWhereTwoUnlockedObjectsOverlapSelectsBoth)
{
    TVeskPart part;
    AddShape(part, QStringLiteral("a"), { 0, 0, 10, 10 });
    AddShape(part, QStringLiteral("b"), { 5, 5, 10, 10 });
    AddShape(part, QStringLiteral("far"), { 50, 50, 10, 10 });
    EXPECT_TRUE(part.HitTest({ 7, 7 }));
    EXPECT_TRUE(part.SelectAt({ 7, 7 }));
    std::vector<TVeskObject*> selected;
    part.CollectSelected(selected, -1);
    EXPECT_EQ(NamesOf(selected), Words("a b"));
    EXPECT_TRUE(part.HitTestSelected({ 12, 12 }));
    EXPECT_FALSE(part.HitTestSelected({ 55, 55 }));

    EXPECT_FALSE(part.SelectAt({ 30, 30 }));
    selected.clear();
    part.CollectSelected(selected, -1);
    EXPECT_EQ(NamesOf(selected), Words("a b")) << "a miss keeps the selection";
}

// How the second of two overlapping shapes is kept from being edited: locked
// by its own flag or its layer's, or not drawn (its own flag, its layer's, or
// a hidden group one or two levels up).
enum class Lock { None, Object, Layer, HiddenLayer, Invisible, HiddenGroup, HiddenGroupTwoDeep };

class PartLocking : public PartTest, public ::testing::WithParamInterface<Lock> {
protected:
    // b on layer 2, in the groups the case puts it in.
    TestShape* addB(TVeskPart& part)
    {
        TVeskContainer* home = &part;
        if (GetParam() == Lock::HiddenGroup || GetParam() == Lock::HiddenGroupTwoDeep) {
            outer = AddGroup(part, QStringLiteral("g"));
            home = GetParam() == Lock::HiddenGroup ? outer : AddGroup(*outer, QStringLiteral("h"));
        }
        return AddShape(*home, QStringLiteral("b"), { 5, 5, 10, 10 }, 2);
    }
    void lock(TestShape* s)
    {
        switch (GetParam()) {
        case Lock::None:
            break;
        case Lock::Object:
            s->SetLocked(true);
            break;
        case Lock::Layer:
            Layer(2)->locked = true;
            break;
        case Lock::HiddenLayer:
            Layer(2)->visible = false;
            break;
        case Lock::Invisible:
            s->SetVisible(false);
            break;
        case Lock::HiddenGroup:
        case Lock::HiddenGroupTwoDeep:
            outer->SetVisible(false);
            break;
        }
    }
    bool drawn() const
    {
        return GetParam() != Lock::Invisible && GetParam() != Lock::HiddenGroup
            && GetParam() != Lock::HiddenGroupTwoDeep;
    }

    TVeskGroup* outer = nullptr;
};

TEST_P(PartLocking, LockedOrHiddenChildrenAreNeitherHitSelectedNorMovedButStillSaved)
{
    const bool editable = GetParam() == Lock::None;
    TVeskPart part;
    TestShape* a = AddShape(part, QStringLiteral("a"), { 0, 0, 10, 10 }, 1);
    TestShape* b = addB(part);
    b->SetSelected(true); // selected before it was locked
    lock(b);

    EXPECT_EQ(part.HitTest({ 12, 12 }), editable);
    EXPECT_EQ(part.IntersectsRect({ 11, 11, 2, 2 }), editable);
    EXPECT_EQ(part.HitTestSelected({ 12, 12 }), editable);
    EXPECT_EQ(part.HitHandles({ 12, 12 }, 3), editable ? HitBody : HitNothing);
    EXPECT_EQ(part.HandleInRect({ 11, 11, 2, 2 }), editable);

    b->SetSelected(false);
    part.SelectAt({ 7, 7 });
    EXPECT_TRUE(a->IsSelected());
    EXPECT_EQ(b->IsSelected(), editable);
    a->SetSelected(false);
    part.SelectIn({ 11, 11, 2, 2 });
    EXPECT_EQ(b->IsSelected(), editable) << "rubber band";

    a->SetSelected(true);
    b->SetSelected(true);
    part.Translate(100, 0, MatrixOrder::Append);
    part.RotateAt(90, { 0, 0 }, MatrixOrder::Append);
    part.MultiplyMatrix(Matrix(2, 0, 0, 2, 0, 0), MatrixOrder::Append);
    EXPECT_FALSE(a->GetMatrixRef().IsIdentity());
    EXPECT_EQ(b->GetMatrixRef().IsIdentity(), !editable);

    part.SetSelected(true);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_EQ(b->IsSelected(), editable) << "selecting everything skips locked and hidden children";

    QStringList log;
    TestShape::log = &log;
    QImage image(4, 4, QImage::Format_ARGB32);
    QPainter g(&image);
    part.Draw(g, 2, TDrawStyle());
    TestShape::log = nullptr;
    EXPECT_EQ(log, drawn() ? Words("draw:b") : QStringList());
    EXPECT_NE(SaveBytes(part).indexOf("TSHP", 10), -1);
}

INSTANTIATE_TEST_SUITE_P(PartTest, PartLocking,
    ::testing::Values(Lock::None, Lock::Object, Lock::Layer, Lock::HiddenLayer, Lock::Invisible,
        Lock::HiddenGroup, Lock::HiddenGroupTwoDeep));

TEST_F(PartTest, HitHandlesOrsTheCodesOfUnlockedChildren)
{
    TVeskPart part;
    AddShape(part, QStringLiteral("anchor"))->SetHandleCode(HitHandle);
    AddShape(part, QStringLiteral("control"))->SetHandleCode(HitControl);
    TestShape* locked = AddShape(part, QStringLiteral("locked"));
    locked->SetHandleCode(HitBody);
    locked->SetLocked(true);
    EXPECT_EQ(part.HitHandles({ 5, 5 }, 3), HitHandle | HitControl);
    EXPECT_EQ(part.HitHandles({ 50, 50 }, 3), HitNothing);
}

// Bounds are what culling and the common centre of rotate and mirror go by. A
// container's cover everything it draws; a child without bounds (an empty or
// hidden container, a shape with nothing to draw, an invisible shape) adds
// nothing, so it cannot pull the result toward the origin from any depth.
TEST_F(PartTest, BoundsCoverEveryDrawnChildAndNothingElse)
{
    const RectF real { 40, 20, 5, 30 };
    const struct {
        const char* what;
        std::function<void(TVeskContainer&)> add;
        RectF expected;
    } cases[] = {
        { "nothing else", [](TVeskContainer&) {}, real },
        { "empty group", [&](TVeskContainer& c) { AddGroup(c, QStringLiteral("e")); }, real },
        { "empty part", [&](TVeskContainer& c) { c.Add(TVeskPart()); }, real },
        { "group holding only a hidden group",
            [&](TVeskContainer& c) {
                TVeskGroup* hidden = AddGroup(*AddGroup(c, QStringLiteral("g")), QStringLiteral("h"));
                AddShape(*hidden, QStringLiteral("far"), { 500, 500, 10, 10 });
                hidden->SetVisible(false);
            },
            real },
        { "group holding an empty path, two deep",
            [&](TVeskContainer& c) {
                TVeskGroup* inner = AddGroup(*AddGroup(c, QStringLiteral("g")), QStringLiteral("h"));
                inner->Add(TVeskPath(Layer(1), TVeskSurface()));
            },
            real },
        { "invisible shape",
            [&](TVeskContainer& c) {
                AddShape(c, QStringLiteral("x"), { 0, 0, 10, 10 })->SetVisible(false);
            },
            real },
        { "unselected shape two deep",
            [&](TVeskContainer& c) {
                AddShape(*AddGroup(*AddGroup(c, QStringLiteral("g")), QStringLiteral("h")),
                    QStringLiteral("m"), { 100, 60, 10, 10 });
            },
            { 40, 20, 70, 50 } },
        { "unselected shape in a nested part",
            [&](TVeskContainer& c) {
                auto* p = static_cast<TVeskPart*>(c.Add(TVeskPart()));
                AddShape(*p, QStringLiteral("m"), { -10, 0, 5, 5 });
            },
            { -10, 0, 55, 50 } },
    };
    for (const auto& c : cases) {
        // The same children straight in the root, and one group further down.
        TVeskPart root;
        AddShape(root, QStringLiteral("real"), real);
        c.add(root);
        TVeskPart holder;
        TVeskGroup* group = AddGroup(holder, QStringLiteral("holder"));
        AddShape(*group, QStringLiteral("real"), real);
        c.add(*group);
        for (const TVeskObject* o : { static_cast<const TVeskObject*>(&root),
                 static_cast<const TVeskObject*>(group), static_cast<const TVeskObject*>(&holder) }) {
            RectF r { 1, 2, 3, 4 };
            o->GetBounds(r);
            EXPECT_EQ(r, c.expected) << c.what << " in " << o->GetName().toStdString();
            EXPECT_FALSE(o->GetSelectedBounds(r)) << c.what << ": nothing is selected";
        }
    }

    for (const auto& [what, hide] : std::initializer_list<std::pair<const char*, bool>> {
             { "empty part", false }, { "hidden part", true } }) {
        TVeskPart part;
        if (hide) {
            AddShape(part, QStringLiteral("a"));
            part.SetVisible(false);
        }
        RectF r { 1, 2, 3, 4 };
        part.GetBounds(r);
        EXPECT_EQ(r, RectF(1, 2, 3, 4)) << what << " leaves the rectangle alone";
    }
}

TEST_F(PartTest, SelectedBoundsCoverTheSelectionLookingInsideNestedParts)
{
    TVeskPart part;
    TestShape* a = AddShape(part, QStringLiteral("a"), { 10, 10, 10, 10 });
    TestShape* b = AddShape(part, QStringLiteral("b"), { 40, 20, 5, 30 });
    TVeskGroup* g = AddGroup(part, QStringLiteral("g"));
    AddShape(*g, QStringLiteral("m1"), { -5, 0, 1, 1 });
    AddShape(*g, QStringLiteral("m2"), { 0, -8, 1, 1 });
    auto* p = static_cast<TVeskPart*>(part.Add(TVeskPart()));
    TestShape* c = AddShape(*p, QStringLiteral("c"), { 100, 100, 10, 10 });

    const struct {
        const char* what;
        std::vector<TVeskObject*> selected;
        bool any;
        RectF expected;
    } cases[] = {
        { "nothing", {}, false, { 1, 2, 3, 4 } },
        { "one shape", { a }, true, { 10, 10, 10, 10 } },
        { "two shapes", { a, b }, true, { 10, 10, 35, 40 } },
        { "a group", { g }, true, { -5, -8, 6, 9 } },
        { "inside a nested part", { c }, true, { 100, 100, 10, 10 } },
        { "a shape and the nested part's", { b, c }, true, { 40, 20, 70, 90 } },
    };
    for (const auto& k : cases) {
        part.SetSelected(false);
        for (TVeskObject* o : k.selected)
            o->SetSelected(true);
        RectF r { 1, 2, 3, 4 };
        EXPECT_EQ(part.GetSelectedBounds(r), k.any) << k.what;
        EXPECT_EQ(r, k.expected) << k.what;
    }

    // A hidden group adds nothing, even when selected.
    part.SetSelected(false);
    b->SetSelected(true);
    g->SetSelected(true);
    g->SetVisible(false);
    RectF r;
    EXPECT_TRUE(part.GetSelectedBounds(r));
    EXPECT_EQ(r, RectF(40, 20, 5, 30));
    part.SetVisible(false);
    EXPECT_FALSE(part.GetSelectedBounds(r));
}

// Tree: a(selected, layer 1), g{ b(selected, layer 2), c(layer 1) }, d(layer 2), p{ e(layer 1) }.
TEST_F(PartTest, CollectingTakesGroupsWholeOrReachesInsideAsAsked)
{
    TVeskPart root;
    AddShape(root, QStringLiteral("a"), {}, 1)->SetSelected(true);
    TVeskGroup* g = AddGroup(root, QStringLiteral("g"));
    AddShape(*g, QStringLiteral("b"), {}, 2)->SetSelected(true);
    AddShape(*g, QStringLiteral("c"), {}, 1);
    AddShape(root, QStringLiteral("d"), {}, 2);
    TVeskPart nested;
    nested.SetName(QStringLiteral("p"));
    auto* p = static_cast<TVeskPart*>(root.Add(nested));
    AddShape(*p, QStringLiteral("e"), {}, 1);

    using Collect = std::function<void(std::vector<TVeskObject*>&)>;
    const struct {
        const char* what;
        Collect collect;
        const char* expected;
    } cases[] = {
        { "root all", [&](auto& l) { root.CollectAll(l); }, "a g d e" },
        { "root leaves", [&](auto& l) { root.CollectLeaves(l); }, "a b" },
        { "root selected", [&](auto& l) { root.CollectSelected(l, -1); }, "a" },
        { "root layer 1", [&](auto& l) { root.CollectByLayer(l, 1); }, "a c e" },
        { "root layer 2", [&](auto& l) { root.CollectByLayer(l, 2); }, "b d" },
        { "root selection by layer", [&](auto& l) { root.CollectByLayer(l, -1); }, "a b" },
        { "root selected on layer 2", [&](auto& l) { root.CollectSelected(l, 2); }, "d" },
        { "group all", [&](auto& l) { g->CollectAll(l); }, "g" },
        { "group leaves", [&](auto& l) { g->CollectLeaves(l); }, "b c" },
        { "group layer 1", [&](auto& l) { g->CollectByLayer(l, 1); }, "c" },
    };
    for (const auto& c : cases) {
        std::vector<TVeskObject*> list;
        c.collect(list);
        EXPECT_EQ(NamesOf(list), Words(c.expected)) << c.what;
    }

    g->SetSelected(true);
    std::vector<TVeskObject*> list;
    root.CollectSelected(list, -1);
    EXPECT_EQ(NamesOf(list), Words("a g")) << "a selected group is one entry";
    list.clear();
    root.CollectLeaves(list);
    EXPECT_EQ(NamesOf(list), Words("a b c"));
}

TEST_F(PartTest, ViewScaleReachesEveryDescendant)
{
    TVeskPart root;
    TVeskGroup* g = AddGroup(root, QStringLiteral("g"));
    TestShape* inner = AddShape(*g, QStringLiteral("inner"));
    TestShape* top = AddShape(root, QStringLiteral("top"));
    root.SetViewScale(3.0);
    EXPECT_DOUBLE_EQ(g->ViewScale(), 3.0);
    EXPECT_DOUBLE_EQ(inner->ViewScale(), 3.0);
    EXPECT_DOUBLE_EQ(top->ViewScale(), 3.0);
}

TEST_F(PartTest, CloneIsADeepIndependentCopy)
{
    TVeskPart root;
    root.SetName(QStringLiteral("root"));
    AddShape(root, QStringLiteral("a"))->SetSelected(true);
    TVeskGroup* g = AddGroup(root, QStringLiteral("g"));
    AddShape(*g, QStringLiteral("B"));
    const int live = TestShape::live;

    {
        std::unique_ptr<TVeskObject> copy = root.Clone();
        auto* clone = dynamic_cast<TVeskPart*>(copy.get());
        ASSERT_NE(clone, nullptr);
        EXPECT_EQ(TestShape::live, live + 2);
        EXPECT_EQ(clone->GetName(), QStringLiteral("root"));
        ASSERT_EQ(ChildNames(*clone), Words("a g"));
        auto* cg = dynamic_cast<TVeskGroup*>(clone->ChildAt(1));
        ASSERT_NE(cg, nullptr);
        EXPECT_NE(cg, g);
        EXPECT_EQ(cg->GetOwner(), clone);
        EXPECT_EQ(cg->ChildAt(0)->GetOwner(), cg);
        EXPECT_EQ(clone->ChildAt(0)->GetOwner(), clone);
        EXPECT_NE(clone->ChildAt(0), root.ChildAt(0));

        cg->ChildAt(0)->SetName(QStringLiteral("renamed"));
        clone->ChildAt(0)->Delete();
        EXPECT_EQ(ChildNames(root), Words("a g"));
        EXPECT_EQ(g->ChildAt(0)->GetName(), QStringLiteral("B"));
    }
    EXPECT_EQ(TestShape::live, live);
}

TEST_F(PartTest, ToGroupCopiesEveryChildAndKeepsThem)
{
    TVeskPart part;
    AddShape(part, QStringLiteral("X"));
    AddShape(part, QStringLiteral("a"));
    AddShape(part, QStringLiteral("b"));
    const std::unique_ptr<TVeskGroup> group = part.ToGroup();
    EXPECT_EQ(ChildNames(*group), Words("X a b"));
    EXPECT_EQ(NamesOf(group->DrawOrder()), Words("b a X"));
    EXPECT_EQ(group->ChildAt(0)->GetOwner(), group.get());
    EXPECT_NE(group->ChildAt(0), part.ChildAt(0));
    EXPECT_EQ(ChildNames(part), Words("X a b"));
}

TEST_F(PartTest, LoadAppendsToTheChildrenAlreadyThere)
{
    TVeskPart stored;
    AddGroup(stored, QStringLiteral("g1"));
    AddGroup(stored, QStringLiteral("G2"));
    const QByteArray bytes = SaveBytes(stored);

    TVeskPart part;
    part.SetViewScale(2.0);
    AddShape(part, QStringLiteral("old"));
    TVesk_istream in(bytes.mid(4));
    EXPECT_EQ(part.Load(in), 0);
    EXPECT_FALSE(in.Failed());
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(ChildNames(part), Words("old g1 G2"));
    EXPECT_EQ(NamesOf(part.DrawOrder()), Words("g1 old G2"));
    for (const auto& child : part.Children()) {
        EXPECT_EQ(child->GetOwner(), &part);
        EXPECT_DOUBLE_EQ(child->ViewScale(), 2.0);
    }
    EXPECT_DOUBLE_EQ(part.ViewScale(), 1.0) << "the part's own stored view scale is read last";
}

// Parts and groups nested in both directions, with a path among them and
// every stored attribute away from its default, come back as the same tree
// and the same bytes.
TEST_F(PartTest, TreeOfPartsAndGroupsRoundTripsByteForByte)
{
    TVeskPart root;
    TVeskGroup* outer = AddGroup(root, QStringLiteral("外側"));
    outer->Translate(12.5f, -3.0f, MatrixOrder::Append);
    outer->SetLocked(true);
    outer->SetVisible(false);
    TVeskSurface s(0.25f, true, true, 4);
    s.SetLineCap(0);
    s.SetLineJoin(1);
    outer->SetSurface(s);
    TVeskGroup* inner = AddGroup(*outer, QStringLiteral("inner"));
    AddGroup(*inner, QStringLiteral("innermost"));
    TVeskPath track(Layer(7), TVeskSurface(2.0f, false, false, 4));
    track.SetPoints({ { 0, 0 }, { 0, 0 }, { 10, 0 }, { 10, 0 }, { 10, 0 }, { 10, 10 } }, {});
    track.SetName(QStringLiteral("track"));
    inner->Add(track);
    TVeskPart nested;
    nested.SetName(QStringLiteral("nested part"));
    auto* p = static_cast<TVeskPart*>(outer->Add(nested));
    AddGroup(*p, QStringLiteral("in part"));
    AddGroup(root, QString());

    const QByteArray bytes = SaveBytes(root);
    TVesk_istream in(bytes);
    in.SetLayers(&layers);
    std::unique_ptr<TVeskObject> read = in.ReadObject();
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(in.AtEnd());
    auto* back = dynamic_cast<TVeskPart*>(read.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(SaveBytes(*back), bytes);

    ASSERT_EQ(ChildNames(*back), QStringList({ QStringLiteral("外側"), QString() }));
    auto* outerBack = dynamic_cast<TVeskGroup*>(back->ChildAt(0));
    ASSERT_NE(outerBack, nullptr);
    EXPECT_TRUE(outerBack->TVeskObject::IsLocked());
    EXPECT_FALSE(outerBack->IsVisible());
    EXPECT_EQ(outerBack->Surface(), s);
    EXPECT_EQ(
        ChildNames(*outerBack), QStringList({ QStringLiteral("inner"), QStringLiteral("nested part") }));
    auto* innerBack = dynamic_cast<TVeskGroup*>(outerBack->ChildAt(0));
    ASSERT_NE(innerBack, nullptr);
    EXPECT_EQ(ChildNames(*innerBack), Words("innermost track"));
    auto* trackBack = dynamic_cast<TVeskPath*>(innerBack->ChildAt(1));
    ASSERT_NE(trackBack, nullptr);
    EXPECT_EQ(trackBack->GetLayer(), Layer(7));
    EXPECT_EQ(trackBack->EntryCount(), 6);
    EXPECT_EQ(trackBack->GetOwner(), innerBack);
    auto* partBack = dynamic_cast<TVeskPart*>(outerBack->ChildAt(1));
    ASSERT_NE(partBack, nullptr);
    EXPECT_EQ(ChildNames(*partBack), QStringList { QStringLiteral("in part") });
}

TEST_F(PartTest, ReadingStopsAtARecordOfUnknownKindKeepingWhatWasComplete)
{
    // "x" is a test shape, whose record the reader cannot decode.
    const struct {
        const char* what;
        std::function<void(TVeskPart&)> build;
        const char* kept;
    } cases[] = {
        { "at the top",
            [&](TVeskPart& p) {
                AddGroup(p, QStringLiteral("first"));
                AddShape(p, QStringLiteral("x"));
                AddGroup(p, QStringLiteral("after"));
            },
            "first" },
        { "inside a group",
            [&](TVeskPart& p) {
                AddGroup(p, QStringLiteral("first"));
                TVeskGroup* g = AddGroup(p, QStringLiteral("g"));
                AddGroup(*g, QStringLiteral("ok"));
                AddShape(*g, QStringLiteral("x"));
                AddGroup(p, QStringLiteral("after"));
            },
            "first Group" }, // the group cut short keeps "ok", under its default name
        { "first of all", [&](TVeskPart& p) { AddShape(p, QStringLiteral("x")); }, "" },
    };
    for (const auto& c : cases) {
        TVeskPart stored;
        c.build(stored);
        const int live = TestShape::live;
        int result = 0;
        bool failed = false;
        const auto part = LoadPart(SaveBytes(stored), &result, &failed);
        EXPECT_TRUE(failed) << c.what;
        EXPECT_EQ(result, -1) << c.what;
        EXPECT_EQ(ChildNames(*part), Words(c.kept)) << c.what;
        EXPECT_EQ(part->GetName(), QStringLiteral("Part"))
            << c.what << ": the common block was never reached";
        EXPECT_EQ(TestShape::live, live) << c.what;
    }
}

TEST_F(PartTest, ACorruptChildCountEndsTheReadingWithoutAllocatingForIt)
{
    TVeskPart stored;
    AddGroup(stored, QStringLiteral("a"));
    AddGroup(stored, QStringLiteral("b"));
    const QByteArray good = SaveBytes(stored);
    const struct {
        std::int32_t count;
        bool fails;
        const char* kept;
    } cases[] = {
        { 2, false, "a b" },
        { -1, true, "" },
        { INT_MIN, true, "" },
        // More records than the bytes left could hold: the ones there are still
        // count, and the common block is then taken for a record.
        { INT_MAX, true, "a b" },
        { 1000, true, "a b" },
        { 3, true, "a b" },
    };
    for (const auto& c : cases) {
        QByteArray bytes = good;
        const std::int32_t le = qToLittleEndian(c.count);
        bytes.replace(4, 4, reinterpret_cast<const char*>(&le), 4);
        bool failed = false;
        const auto part = LoadPart(bytes, nullptr, &failed);
        EXPECT_EQ(failed, c.fails) << c.count;
        EXPECT_EQ(ChildNames(*part), Words(c.kept)) << c.count;
    }
}

QString TreeOf(const TVeskContainer& c);

// What a reader keeps of the children of a container record that starts at
// `start` when only the first `length` bytes are there: every complete child,
// and a container cut short for the children it completed (under its default
// name, its own block being unread).
QStringList KeptChildren(const TVeskContainer& c, qsizetype start, qsizetype length)
{
    QStringList kept;
    qsizetype at = start + 8; // tag and child count
    for (const auto& child : c.Children()) {
        const qsizetype end = at + SaveBytes(*child).size();
        const auto* inner = dynamic_cast<const TVeskContainer*>(child.get());
        if (end > length) {
            const QStringList partial = inner ? KeptChildren(*inner, at, length) : QStringList();
            if (!partial.isEmpty())
                kept.append(TVeskGroup().GetName() + u'(' + partial.join(u' ') + u')');
            break;
        }
        kept.append(inner ? TreeOf(*inner) : child->GetName());
        at = end;
    }
    return kept;
}

QString TreeOf(const TVeskContainer& c)
{
    QStringList kept;
    for (const auto& child : c.Children()) {
        const auto* inner = dynamic_cast<const TVeskContainer*>(child.get());
        kept.append(inner ? TreeOf(*inner) : child->GetName());
    }
    return c.GetName() + u'(' + kept.join(u' ') + u')';
}

// Cutting the record anywhere never crashes, fails the stream, and keeps
// every child that was complete, at every level of nesting.
TEST_F(PartTest, TruncatedAtEveryOffsetKeepsEveryCompleteChild)
{
    TVeskPart stored;
    AddGroup(stored, QStringLiteral("a"));
    TVeskGroup* g = AddGroup(stored, QStringLiteral("g"));
    AddGroup(*g, QStringLiteral("b"));
    TVeskGroup* h = AddGroup(*g, QStringLiteral("h"));
    AddGroup(*h, QStringLiteral("c"));
    AddGroup(*h, QStringLiteral("e"));
    AddGroup(*g, QStringLiteral("f"));
    AddGroup(stored, QStringLiteral("d"));
    const QByteArray full = SaveBytes(stored);
    ASSERT_EQ(TreeOf(stored), QStringLiteral("Part(a() g(b() h(c() e()) f()) d())"));

    QSet<QString> seen;
    for (qsizetype length = 0; length < full.size(); ++length) {
        bool failed = false;
        const auto part = LoadPart(full.left(length), nullptr, &failed);
        ASSERT_TRUE(failed) << length;
        const QString tree = TreeOf(*part);
        ASSERT_EQ(tree, QStringLiteral("Part(") + KeptChildren(stored, 0, length).join(u' ') + u')')
            << length;
        seen.insert(tree);
        std::vector<const TVeskContainer*> pending { part.get() };
        while (!pending.empty()) {
            const TVeskContainer* c = pending.back();
            pending.pop_back();
            for (const auto& child : c->Children()) {
                ASSERT_EQ(child->GetOwner(), c);
                if (const auto* inner = dynamic_cast<const TVeskContainer*>(child.get()))
                    pending.push_back(inner);
            }
        }
    }
    // The cuts that matter were all met: inside the innermost group, after it.
    EXPECT_TRUE(seen.contains(QStringLiteral("Part(a() Group(b() Group(c())))")));
    EXPECT_TRUE(seen.contains(QStringLiteral("Part(a() Group(b() h(c() e())))")));
    EXPECT_TRUE(seen.contains(QStringLiteral("Part(a() g(b() h(c() e()) f()))")));
    const auto whole = LoadPart(full);
    EXPECT_EQ(TreeOf(*whole), TreeOf(stored));
}

TEST_F(PartTest, RemovingAChildPlacesAChildWhoseCutOutFlagChanged)
{
    TVeskPart part;
    TestShape* a = AddShape(part, QStringLiteral("a"));
    AddShape(part, QStringLiteral("b"));
    TestShape* c = AddShape(part, QStringLiteral("c"));
    TVeskSurface cut;
    cut.SetCutOut(true);
    c->SetSurface(cut);
    a->Delete();
    EXPECT_EQ(NamesOf(part.DrawOrder()), Words("b c"));
}

} // namespace
