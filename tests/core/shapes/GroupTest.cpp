#include "ContainerFixture.h"

#include <functional>

using namespace vesk;
using namespace vesk::test;

namespace {

// root{ g{ a, b, locked } } with the members side by side along x.
class GroupTest : public ContainerTest {
protected:
    void SetUp() override
    {
        ContainerTest::SetUp();
        g = AddGroup(root, QStringLiteral("g"));
        a = AddShape(*g, QStringLiteral("a"), { 0, 0, 10, 10 });
        b = AddShape(*g, QStringLiteral("b"), { 20, 0, 10, 10 });
        // Locked through its layer: a shape's own SelectAt checks only its own flag,
        // so this is the lock the group itself must respect.
        locked = AddShape(*g, QStringLiteral("locked"), { 40, 0, 10, 10 }, 3);
        Layer(3)->locked = true;
    }

    // Selection state of g, a, b and locked, as "1" or "0" each.
    QString selection() const
    {
        QString s;
        for (const TVeskObject* o : { static_cast<const TVeskObject*>(g), static_cast<const TVeskObject*>(a),
                 static_cast<const TVeskObject*>(b), static_cast<const TVeskObject*>(locked) })
            s += o->IsSelected() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }

    TVeskPart root;
    TVeskGroup* g = nullptr;
    TestShape* a = nullptr;
    TestShape* b = nullptr;
    TestShape* locked = nullptr;
};

TEST_F(GroupTest, NewGroupHasItsNameAndTagAndNoSurfaceToEdit)
{
    TVeskGroup group;
    EXPECT_EQ(group.GetName(), QStringLiteral("Group"));
    EXPECT_STREQ(group.Tag(), "GRUP");
    EXPECT_EQ(group.GetSurface(), nullptr);
    EXPECT_EQ(group.GetEditSurface(), nullptr);
    EXPECT_EQ(SaveBytes(group).left(8), QByteArray("GRUP\0\0\0\0", 8));
}

TEST_F(GroupTest, AHitOnAnyUnlockedMemberSelectsTheWholeGroup)
{
    const struct {
        const char* what;
        std::function<bool(TVeskPart&)> act;
        bool hit;
    } cases[] = {
        { "click on the first member",
            [](TVeskPart& r) {
                return r.SelectAt({ 5, 5 });
            },
            true },
        { "click on another member",
            [](TVeskPart& r) {
                return r.SelectAt({ 25, 5 });
            },
            true },
        { "rectangle over a member",
            [](TVeskPart& r) {
                return r.SelectIn({ 28, 8, 5, 5 });
            },
            true },
        { "click on the locked member",
            [](TVeskPart& r) {
                return r.SelectAt({ 45, 5 });
            },
            false },
        { "rectangle over the locked member",
            [](TVeskPart& r) {
                return r.SelectIn({ 44, 4, 2, 2 });
            },
            false },
        { "click between members",
            [](TVeskPart& r) {
                return r.SelectAt({ 15, 5 });
            },
            false },
    };
    for (const auto& c : cases) {
        root.SetSelected(false);
        EXPECT_EQ(c.act(root), c.hit) << c.what;
        EXPECT_EQ(selection(), c.hit ? QStringLiteral("1111") : QStringLiteral("0000")) << c.what;
    }
}

// Members the user cannot point at (locked by their own flag, not drawn by
// their own flag or their layer's, inside a hidden group), one and two levels
// down: never picked, but they follow the group when another member is.
TEST_F(GroupTest, MembersThatCannotBePickedStillFollowTheGroup)
{
    const struct {
        const char* what;
        std::function<TestShape*(TVeskContainer&)> add;
    } cases[] = {
        { "own lock",
            [&](TVeskContainer& c) {
                TestShape* x = AddShape(c, QStringLiteral("x"), { 60, 0, 10, 10 });
                x->SetLocked(true);
                return x;
            } },
        { "invisible",
            [&](TVeskContainer& c) {
                TestShape* x = AddShape(c, QStringLiteral("x"), { 60, 0, 10, 10 });
                x->SetVisible(false);
                return x;
            } },
        { "hidden layer",
            [&](TVeskContainer& c) {
                Layer(4)->visible = false;
                return AddShape(c, QStringLiteral("x"), { 60, 0, 10, 10 }, 4);
            } },
        { "in a hidden group",
            [&](TVeskContainer& c) {
                TVeskGroup* hidden = AddGroup(c, QStringLiteral("hidden"));
                hidden->SetVisible(false);
                return AddShape(*hidden, QStringLiteral("x"), { 60, 0, 10, 10 });
            } },
    };
    for (const auto& c : cases) {
        for (const int depth : { 1, 2 }) {
            SCOPED_TRACE(testing::Message() << c.what << ", depth " << depth);
            Layer(4)->visible = true;
            TVeskPart doc;
            TVeskGroup* group = AddGroup(doc, QStringLiteral("G"));
            AddShape(*group, QStringLiteral("y"), { 0, 0, 10, 10 });
            TestShape* x = c.add(depth == 1 ? *group : *AddGroup(*group, QStringLiteral("inner")));

            EXPECT_FALSE(doc.HitTest({ 65, 5 }));
            EXPECT_FALSE(doc.SelectAt({ 65, 5 }));
            EXPECT_FALSE(doc.SelectIn({ 64, 4, 2, 2 }));
            EXPECT_FALSE(group->IsSelected());
            EXPECT_FALSE(x->IsSelected());

            EXPECT_TRUE(doc.SelectAt({ 5, 5 }));
            EXPECT_TRUE(x->IsSelected());
            EXPECT_FALSE(doc.HitTestSelected({ 65, 5 }));
            doc.Translate(5, 0, MatrixOrder::Append);
            EXPECT_EQ(x->GetMatrixRef().OffsetX(), 5.0f);
        }
    }
}

TEST_F(GroupTest, SetSelectedReachesLockedMembersToo)
{
    EXPECT_TRUE(g->SetSelected(true));
    EXPECT_EQ(selection(), QStringLiteral("1111"));
    EXPECT_FALSE(g->SetSelected(false));
    EXPECT_EQ(selection(), QStringLiteral("0000"));
}

TEST_F(GroupTest, HitTestSelectedAsksUnlockedMembersOnly)
{
    EXPECT_FALSE(g->HitTestSelected({ 5, 5 }));
    g->SetSelected(true);
    EXPECT_TRUE(g->HitTestSelected({ 5, 5 }));
    EXPECT_TRUE(root.HitTestSelected({ 25, 5 }));
    EXPECT_FALSE(g->HitTestSelected({ 45, 5 }));
    EXPECT_FALSE(g->HitTest({ 45, 5 }));
}

TEST_F(GroupTest, LockedMemberMovesWithTheGroupButIsNotPointEdited)
{
    ASSERT_TRUE(root.SelectAt({ 5, 5 }));
    root.Translate(5, 0, MatrixOrder::Append);
    for (const TestShape* s : { a, b, locked })
        EXPECT_EQ(s->GetMatrixRef().OffsetX(), 5.0f) << s->GetName().toStdString();

    root.MoveSelection(3, 0, MatrixOrder::Append);
    EXPECT_EQ(a->GetMatrixRef().OffsetX(), 8.0f);
    EXPECT_EQ(b->GetMatrixRef().OffsetX(), 8.0f);
    EXPECT_EQ(locked->GetMatrixRef().OffsetX(), 5.0f);

    g->RotateAt(90, { 0, 0 }, MatrixOrder::Append);
    g->MultiplyMatrix(Matrix(-1, 0, 0, 1, 0, 0), MatrixOrder::Append);
    // Rotated a quarter turn about the origin, then mirrored left to right.
    const RectF r = locked->bounds();
    EXPECT_NEAR(r.X, 0, 1e-4);
    EXPECT_NEAR(r.Y, 45, 1e-4);
    EXPECT_NEAR(r.Width, 10, 1e-4);
    EXPECT_NEAR(r.Height, 10, 1e-4);
}

TEST_F(GroupTest, BoundsCoverEveryMemberWhetherSelectedOrNot)
{
    RectF r;
    g->GetBounds(r);
    EXPECT_EQ(r, RectF(0, 0, 50, 10));

    TVeskGroup empty;
    r = { 1, 1, 1, 1 };
    empty.GetBounds(r);
    EXPECT_EQ(r, RectF(1, 1, 1, 1)) << "no bounds: the rectangle is left alone";

    g->SetVisible(false);
    r = { 1, 2, 3, 4 };
    g->GetBounds(r);
    EXPECT_EQ(r, RectF(1, 2, 3, 4));
}

TEST_F(GroupTest, UngroupedCutOutMemberGoesToTheBackOfTheRootDrawingOrder)
{
    TVeskPart doc;
    AddShape(doc, QStringLiteral("x"));
    TVeskGroup* group = AddGroup(doc, QStringLiteral("grp"));
    AddShape(*group, QStringLiteral("C"));
    AddShape(*group, QStringLiteral("d"));
    const int live = TestShape::live;

    group->UngroupInto(doc);
    EXPECT_EQ(ChildNames(*group), Words("C d")) << "the group keeps its members";
    EXPECT_EQ(TestShape::live, live + 2);
    group->Delete();
    EXPECT_EQ(TestShape::live, live);
    EXPECT_EQ(ChildNames(doc), Words("x C d"));
    EXPECT_EQ(NamesOf(doc.DrawOrder()), Words("d x C"));
    for (const auto& child : doc.Children())
        EXPECT_EQ(child->GetOwner(), &doc);
}

// How the select tool groups: a new group in the root takes a copy of each
// object, and the object is deleted from the root.
TEST_F(GroupTest, GroupingMovesCopiesIntoANewGroupAndDeletesTheOriginals)
{
    TVeskPart doc;
    TestShape* x = AddShape(doc, QStringLiteral("x"));
    TestShape* y = AddShape(doc, QStringLiteral("y"));
    const int live = TestShape::live;
    auto* group = static_cast<TVeskGroup*>(doc.Add(TVeskGroup()));
    for (TVeskObject* o : std::vector<TVeskObject*> { x, y }) {
        group->Add(*o);
        o->Delete();
    }
    EXPECT_EQ(TestShape::live, live);
    EXPECT_EQ(ChildNames(doc), Words("Group"));
    EXPECT_EQ(ChildNames(*group), Words("x y"));
    EXPECT_EQ(group->ChildAt(1)->GetOwner(), group);
}

TEST_F(GroupTest, GroupInsideGroupIsSavedAndLoadedNested)
{
    TVeskGroup outer;
    outer.SetName(QStringLiteral("outer"));
    TVeskGroup* inner = AddGroup(outer, QStringLiteral("inner"));
    AddGroup(*inner, QStringLiteral("innermost"));
    outer.SetSelected(true);

    const QByteArray bytes = SaveBytes(outer);
    EXPECT_EQ(bytes.left(12), QByteArray("GRUP\1\0\0\0GRUP", 12));
    EXPECT_EQ(bytes.at(12), 1) << "the inner group's one member follows";

    TVesk_istream in(bytes);
    in.SetLayers(&layers);
    const std::unique_ptr<TVeskObject> read = in.ReadObject();
    auto* back = dynamic_cast<TVeskGroup*>(read.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetName(), QStringLiteral("outer"));
    EXPECT_FALSE(back->IsSelected()) << "a loaded object is never selected";
    ASSERT_EQ(back->ChildCount(), 1);
    auto* innerBack = dynamic_cast<TVeskGroup*>(back->ChildAt(0));
    ASSERT_NE(innerBack, nullptr);
    EXPECT_FALSE(innerBack->IsSelected());
    EXPECT_EQ(innerBack->GetOwner(), back);
    ASSERT_EQ(innerBack->ChildCount(), 1);
    EXPECT_NE(dynamic_cast<TVeskGroup*>(innerBack->ChildAt(0)), nullptr);
    EXPECT_EQ(innerBack->ChildAt(0)->GetName(), QStringLiteral("innermost"));
}

} // namespace
