#include "io/Veskfilestream.h"
#include "model/Vesklayerlist.h"
#include "model/Veskobject.h"

#include <QBuffer>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// The smallest concrete kind on a layer: an axis-aligned box whose outline is
// the bounds of its placed corners.
class TBox : public TVeskInstance {
public:
    TBox(TVeskLayer* layer, const TVeskSurface& surface, RectF box)
        : TVeskInstance(layer)
        , box_(box)
    {
        SetSurface(surface);
        name_ = QStringLiteral("Box");
    }
    TBox(const TBox& other)
        : TVeskInstance(other)
        , box_(other.box_)
    {
        Assign(other);
    }

    void Draw(QPainter&, int, const TDrawStyle&) const override { }
    void DrawSelection(QPainter&, const TDrawStyle&) const override { }
    void DrawForPrint(QPainter&, int, const TDrawStyle&) const override { }
    std::unique_ptr<TVeskObject> Clone() const override { return std::make_unique<TBox>(*this); }
    void GetBounds(RectF& out) const override { out = Bounds(); }
    bool HitTest(PointF p) const override { return Bounds().Contains(p); }
    bool IntersectsRect(const RectF& rect) const override { return Bounds().IntersectsWith(rect); }
    bool IntersectsPath(const GraphicsPath&, const RectF&) const override { return false; }
    const char* Tag() const override { return "BOXX"; }

    void EnterPointEditing() { pointEditing_ = true; }

    RectF Bounds() const
    {
        PointF c[4] = { { box_.GetLeft(), box_.GetTop() }, { box_.GetRight(), box_.GetTop() },
            { box_.GetLeft(), box_.GetBottom() }, { box_.GetRight(), box_.GetBottom() } };
        matrix_.TransformPoints(c);
        float l = c[0].X, t = c[0].Y, r = c[0].X, b = c[0].Y;
        for (const PointF& p : c) {
            l = std::min(l, p.X), t = std::min(t, p.Y);
            r = std::max(r, p.X), b = std::max(b, p.Y);
        }
        return { l, t, r - l, b - t };
    }

private:
    RectF box_;
};

// Stands in for a container: remembers which children asked to be removed.
class TOwnerProbe : public TBox {
public:
    TOwnerProbe()
        : TBox(nullptr, TVeskSurface(), RectF())
    {
    }
    void RemoveChild(TVeskObject* child) override { removed.push_back(child); }
    std::vector<TVeskObject*> removed;
};

struct TDefaultLayers : TVeskLayerList {
    TDefaultLayers() { ResetToDefaults(); }
};

class ObjectTest : public ::testing::Test {
protected:
    TDefaultLayers layers;
    TBox box { layers.LayerAt(2), TVeskSurface(), RectF(0, 0, 10, 10) };
};

} // namespace

TEST_F(ObjectTest, NewObjectDefaults)
{
    const TVeskSurface surface(7.5f, true, true, 4);
    const TBox fresh(layers.LayerAt(3), surface, RectF(0, 0, 1, 1));
    EXPECT_TRUE(fresh.IsVisible());
    EXPECT_FALSE(fresh.IsLocked());
    EXPECT_FALSE(fresh.IsSelected());
    EXPECT_FALSE(fresh.IsPointEditing());
    EXPECT_EQ(fresh.ViewScale(), 1.0);
    EXPECT_TRUE(fresh.GetMatrixRef().IsIdentity());
    EXPECT_EQ(fresh.GetOwner(), nullptr);
    EXPECT_EQ(fresh.GetLayer(), layers.LayerAt(3));
    EXPECT_EQ(fresh.Surface(), surface);
    EXPECT_TRUE(fresh.IsCutOut());
}

TEST_F(ObjectTest, AssignCopiesAttributesButNotSelectionOwnerOrLayer)
{
    TOwnerProbe owner;
    TBox source(layers.LayerAt(5), TVeskSurface(3.0f, true, true, 9), RectF(0, 0, 1, 1));
    source.SetVisible(false);
    source.SetLocked(true);
    source.SetName(QStringLiteral("部品"));
    source.SetViewScale(2.5);
    source.SetMatrix(Matrix(1, 2, 3, 4, 5, 6));
    source.SetSelected(true);
    source.EnterPointEditing();
    source.SetOwner(&owner);

    TBox target(layers.LayerAt(1), TVeskSurface(), RectF(0, 0, 1, 1));
    target.Assign(source);
    EXPECT_EQ(target.Surface(), source.Surface());
    EXPECT_FALSE(target.IsVisible());
    EXPECT_TRUE(target.IsLocked());
    EXPECT_EQ(target.GetName(), QStringLiteral("部品"));
    EXPECT_EQ(target.ViewScale(), 2.5);
    EXPECT_EQ(target.GetMatrixRef(), Matrix(1, 2, 3, 4, 5, 6));
    EXPECT_FALSE(target.IsSelected());
    EXPECT_FALSE(target.IsPointEditing());
    EXPECT_EQ(target.GetOwner(), nullptr);
    EXPECT_EQ(target.GetLayer(), layers.LayerAt(1));

    // Nor does assigning an unselected object deselect the target.
    TBox plain(layers.LayerAt(1), TVeskSurface(), RectF(0, 0, 1, 1));
    target.SetSelected(true);
    target.Assign(plain);
    EXPECT_TRUE(target.IsSelected());
}

TEST_F(ObjectTest, CommonBlockOfADefaultObjectMatchesTheWorkedExample)
{
    box.SetName(QStringLiteral("Part"));
    TVesk_ostream out;
    EXPECT_EQ(box.Save(out), 0);
    // Bytes 185 to 246 of the empty document: the root's common block.
    EXPECT_EQ(out.Buffer().toHex(' '),
        Hex("00 01 00 00"
            "00 00 00 00 00 00 F0 3F"
            "00 00 80 3F 00 00 00 00 00 00 00 00 00 00 80 3F 00 00 00 00 00 00 00 00"
            "04 00 00 00 50 61 72 74"
            "00 00 80 3F 00 00 04 00 00 00 02 00 00 00 02 00 00 00")
            .toHex(' '));
}

TEST_F(ObjectTest, SaveAndLoadKeepEverythingButSelectionAndPointEditing)
{
    TBox source(layers.LayerAt(2), TVeskSurface(0.0f, true, true, 4), RectF(0, 0, 10, 10));
    source.GetSurface()->SetLineJoin(1);
    source.GetSurface()->SetLineCap(1);
    source.SetVisible(false);
    source.SetLocked(true);
    source.SetViewScale(0.125);
    source.SetMatrix(Matrix(0, 1, -1, 0, 12.5f, -3.25f));
    source.SetName(QStringLiteral("部品面"));
    source.SetSelected(true);
    source.EnterPointEditing();

    TVesk_ostream out;
    ASSERT_EQ(source.Save(out), 0);
    const QByteArray bytes = out.Buffer();
    // Flags as held: selected, hidden, locked, point editing; the name in CP932.
    EXPECT_EQ(bytes.left(4), Hex("01 00 01 01"));
    EXPECT_EQ(bytes.mid(36, 10), Hex("06000000 9594 9569 96CA"));
    EXPECT_EQ(bytes.size(), 4 + 8 + 24 + 10 + 18);

    TBox loaded(layers.LayerAt(0), TVeskSurface(), RectF(0, 0, 10, 10));
    TVesk_istream in(bytes);
    EXPECT_EQ(loaded.Load(in), 0);
    EXPECT_FALSE(in.Failed());
    EXPECT_TRUE(in.AtEnd());
    EXPECT_FALSE(loaded.IsSelected());
    EXPECT_FALSE(loaded.IsPointEditing());
    EXPECT_FALSE(loaded.IsVisible());
    EXPECT_TRUE(loaded.IsLocked());
    EXPECT_EQ(loaded.ViewScale(), 0.125);
    EXPECT_EQ(loaded.GetMatrixRef(), source.GetMatrixRef());
    EXPECT_EQ(loaded.GetName(), source.GetName());
    EXPECT_EQ(loaded.Surface(), source.Surface());
    EXPECT_EQ(loaded.Surface().GetWidth(), 0.0f);
}

TEST_F(ObjectTest, LoadAndSaveRefuseAFailedStream)
{
    box.SetName(QStringLiteral("kept"));
    TVesk_istream in(Hex("01"));
    in.ReadInt32();
    ASSERT_TRUE(in.Failed());
    EXPECT_EQ(box.Load(in), -1);
    EXPECT_EQ(box.GetName(), QStringLiteral("kept"));
    EXPECT_TRUE(box.IsVisible());

    QByteArray sink;
    QBuffer readOnly(&sink);
    readOnly.open(QIODevice::ReadOnly);
    TVesk_ostream out(readOnly);
    out.Flush();
    ASSERT_TRUE(out.Failed());
    const QByteArray pending = out.Buffer();
    EXPECT_EQ(box.Save(out), -1);
    EXPECT_EQ(out.Buffer(), pending);
}

TEST_F(ObjectTest, ShortCommonBlockFailsTheStream)
{
    TVesk_ostream out;
    box.Save(out);
    TVesk_istream in(out.Buffer().left(30));
    TBox loaded(layers.LayerAt(2), TVeskSurface(), RectF(0, 0, 10, 10));
    loaded.Load(in);
    EXPECT_TRUE(in.Failed());
}

struct SelectCase {
    const char* what;
    bool locked;
    bool layerLocked;
    bool selectedBefore;
    PointF at;
    bool expectedResult;
    bool expectedSelected;
    bool hidden = false; // its own visible flag off, as a file may have it
};

class ObjectSelectAt : public ObjectTest, public ::testing::WithParamInterface<SelectCase> { };

TEST_P(ObjectSelectAt, FollowsOnlyTheObjectsOwnLockAndVisibility)
{
    const SelectCase& c = GetParam();
    box.SetLocked(c.locked);
    box.SetVisible(!c.hidden);
    box.GetLayer()->locked = c.layerLocked;
    box.SetSelected(c.selectedBefore);
    box.EnterPointEditing();
    EXPECT_EQ(box.SelectAt(c.at), c.expectedResult) << c.what;
    EXPECT_EQ(box.IsSelected(), c.expectedSelected) << c.what;
    EXPECT_FALSE(box.IsPointEditing()) << c.what;

    // Selecting by rectangle follows the same rule.
    TBox other(layers.LayerAt(2), TVeskSurface(), RectF(0, 0, 10, 10));
    other.SetLocked(c.locked);
    other.SetVisible(!c.hidden);
    other.SetSelected(c.selectedBefore);
    other.EnterPointEditing();
    EXPECT_EQ(other.SelectIn(RectF(c.at.X, c.at.Y, 0.5f, 0.5f)), c.expectedResult) << c.what;
    EXPECT_EQ(other.IsSelected(), c.expectedSelected) << c.what;
    EXPECT_FALSE(other.IsPointEditing()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, ObjectSelectAt,
    ::testing::Values(SelectCase { "hit", false, false, false, { 5, 5 }, true, true },
        SelectCase { "hit when selected", false, false, true, { 5, 5 }, true, true },
        SelectCase { "miss", false, false, false, { 50, 5 }, false, false },
        SelectCase { "miss keeps the selection", false, false, true, { 50, 5 }, false, true },
        SelectCase { "locked", true, false, false, { 5, 5 }, false, false },
        SelectCase { "locked keeps the selection", true, false, true, { 5, 5 }, false, true },
        SelectCase { "layer lock is the container's business", false, true, false, { 5, 5 }, true, true },
        SelectCase { "hidden", false, false, false, { 5, 5 }, false, false, true },
        SelectCase { "hidden keeps the selection", false, false, true, { 5, 5 }, false, true, true }));

TEST_F(ObjectTest, IsLockedAlsoFollowsTheLayer)
{
    struct Case {
        bool locked;
        bool layerLocked;
        bool layerVisible;
        bool expected;
    } const cases[] = {
        { false, false, true, false },
        { true, false, true, true },
        { false, true, true, true },
        { false, false, false, true },
        { true, true, false, true },
    };
    for (const Case& c : cases) {
        box.SetLocked(c.locked);
        box.GetLayer()->locked = c.layerLocked;
        box.GetLayer()->visible = c.layerVisible;
        EXPECT_EQ(box.IsLocked(), c.expected) << c.locked << c.layerLocked << c.layerVisible;
    }
    TBox noLayer(nullptr, TVeskSurface(), RectF(0, 0, 1, 1));
    EXPECT_FALSE(noLayer.IsLocked());
    noLayer.SetLocked(true);
    EXPECT_TRUE(noLayer.IsLocked());
}

TEST_F(ObjectTest, HitTestsAndHandleDefaults)
{
    EXPECT_EQ(box.HitHandle({ 5, 5 }, 3), HitBody);
    EXPECT_EQ(box.HitHandle({ 50, 5 }, 3), HitNothing);
    EXPECT_FALSE(box.HitTestSelected({ 5, 5 }));
    EXPECT_EQ(box.HitSelectedHandle({ 5, 5 }, 3), HitNothing);
    EXPECT_EQ(box.SelectHandleAt({ 50, 5 }, 3), HitNothing);
    EXPECT_FALSE(box.IsSelected());
    EXPECT_EQ(box.SelectHandleAt({ 5, 5 }, 3), HitBody);
    EXPECT_TRUE(box.HitTestSelected({ 5, 5 }));
    EXPECT_FALSE(box.HitTestSelected({ 50, 5 }));
    EXPECT_EQ(box.HitSelectedHandle({ 5, 5 }, 3), HitBody);
    EXPECT_TRUE(box.HandleInRect(RectF(8, 8, 5, 5)));
    EXPECT_FALSE(box.HandleInRect(RectF(20, 20, 5, 5)));

    box.EnterPointEditing();
    box.SetSelected(false);
    EXPECT_FALSE(box.IsSelected());
    EXPECT_FALSE(box.IsPointEditing());
}

TEST_F(ObjectTest, CollectingByLayerIndexOrSelection)
{
    struct Case {
        bool selected;
        int asked;
        bool expected;
    } const cases[] = {
        { true, -1, true },
        { false, -1, false },
        { false, 2, true },
        { true, 2, true },
        { true, 3, false },
        { false, 0, false },
    };
    for (const Case& c : cases) {
        box.SetSelected(c.selected);
        std::vector<TVeskObject*> selected, byLayer;
        box.CollectSelected(selected, c.asked);
        box.CollectByLayer(byLayer, c.asked);
        const std::vector<TVeskObject*> expected
            = c.expected ? std::vector<TVeskObject*> { &box } : std::vector<TVeskObject*> {};
        EXPECT_EQ(selected, expected) << c.selected << " " << c.asked;
        EXPECT_EQ(byLayer, expected) << c.selected << " " << c.asked;
    }

    std::vector<TVeskObject*> all, leaves;
    box.CollectAll(all);
    box.CollectLeaves(leaves);
    EXPECT_EQ(all, std::vector<TVeskObject*> { &box });
    EXPECT_EQ(leaves, std::vector<TVeskObject*> { &box });
}

TEST_F(ObjectTest, CollectingFollowsTheLayersCurrentIndex)
{
    TVeskLayer* layer = box.GetLayer();
    layers.MoveLayer(layer, layers.LayerAt(6));
    ASSERT_EQ(layer->index, 6);
    std::vector<TVeskObject*> atOld, atNew;
    box.CollectByLayer(atOld, 2);
    box.CollectByLayer(atNew, 6);
    EXPECT_TRUE(atOld.empty());
    EXPECT_EQ(atNew, std::vector<TVeskObject*> { &box });
}

TEST_F(ObjectTest, ObjectWithoutALayerIsCollectedOnlyAsSelection)
{
    TBox loose(nullptr, TVeskSurface(), RectF(0, 0, 1, 1));
    for (int asked : { -2, 0, 1, 100 }) {
        std::vector<TVeskObject*> list;
        loose.CollectByLayer(list, asked);
        EXPECT_TRUE(list.empty()) << asked;
    }
    loose.SetSelected(true);
    std::vector<TVeskObject*> list;
    loose.CollectSelected(list, -1);
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(ObjectTest, RotateAtTurnsAboutTheCentreInEitherOrder)
{
    const PointF centre(5, 5);
    const auto rotated = [&](PointF p) {
        // A quarter turn about the centre, +x towards +y.
        return PointF(centre.X - (p.Y - centre.Y), centre.Y + (p.X - centre.X));
    };
    const Matrix placed(1, 0, 0, 1, 10, 0);

    // Appended: the placed object turns about the centre in document coordinates.
    box.SetMatrix(placed);
    box.RotateAt(90, centre, MatrixOrder::Append);
    for (PointF p : { PointF(0, 0), PointF(3, 7), PointF(-4, 2) })
        EXPECT_EQ(box.GetMatrixRef().TransformPoint(p), rotated(placed.TransformPoint(p)));
    EXPECT_EQ(box.GetMatrixRef().TransformPoint({ 0, 0 }), PointF(10, 10));

    // Prepended: the object turns about the centre in its own coordinates, then is placed.
    box.SetMatrix(placed);
    box.RotateAt(90, centre, MatrixOrder::Prepend);
    for (PointF p : { PointF(0, 0), PointF(3, 7), PointF(-4, 2) })
        EXPECT_EQ(box.GetMatrixRef().TransformPoint(p), placed.TransformPoint(rotated(p)));
    EXPECT_EQ(box.GetMatrixRef().TransformPoint({ 0, 0 }), PointF(20, 0));

    // The selection variants move the whole object.
    box.SetMatrix(placed);
    box.RotateSelectionAt(90, centre, MatrixOrder::Append);
    EXPECT_EQ(box.GetMatrixRef().TransformPoint({ 0, 0 }), PointF(10, 10));
    box.MoveSelection(1, 2, MatrixOrder::Append);
    EXPECT_EQ(box.GetMatrixRef().TransformPoint({ 0, 0 }), PointF(11, 12));
}

TEST_F(ObjectTest, TranslateAndMultiplyHonourTheOrder)
{
    box.SetMatrix(Matrix(2, 0, 0, 2, 0, 0));
    box.Translate(1, 1, MatrixOrder::Prepend);
    EXPECT_EQ(box.GetMatrixRef().TransformPoint({ 0, 0 }), PointF(2, 2));
    box.SetMatrix(Matrix(2, 0, 0, 2, 0, 0));
    box.Translate(1, 1, MatrixOrder::Append);
    EXPECT_EQ(box.GetMatrixRef().TransformPoint({ 0, 0 }), PointF(1, 1));

    box.SetMatrix(Matrix(1, 0, 0, 1, 3, 0));
    box.MultiplyMatrix(Matrix(2, 0, 0, 2, 0, 0), MatrixOrder::Append);
    EXPECT_EQ(box.GetMatrixRef().TransformPoint({ 0, 0 }), PointF(6, 0));
    Matrix out;
    box.GetMatrix(out);
    EXPECT_EQ(out, Matrix(2, 0, 0, 2, 6, 0));
}

TEST_F(ObjectTest, DeleteAsksTheOwner)
{
    box.Delete(); // no owner: nothing happens
    EXPECT_EQ(box.GetOwner(), nullptr);

    TOwnerProbe owner;
    box.SetOwner(&owner);
    box.Delete();
    EXPECT_EQ(owner.removed, std::vector<TVeskObject*> { &box });
}

TEST_F(ObjectTest, SurfaceAndViewScaleSetters)
{
    const TVeskSurface cut(2.0f, true, false, 4);
    box.SetSurface(cut);
    EXPECT_EQ(*box.GetSurface(), cut);
    EXPECT_EQ(box.GetEditSurface(), box.GetSurface());
    EXPECT_TRUE(box.IsCutOut());
    box.SetViewScale(8.0);
    EXPECT_EQ(box.ViewScale(), 8.0);
    box.SetVisible(false);
    EXPECT_FALSE(box.IsVisible());
}

TEST_F(ObjectTest, CloneIsAnIndependentCopyOnTheSameLayer)
{
    box.SetName(QStringLiteral("original"));
    box.SetSelected(true);
    const auto copy = box.Clone();
    auto* clone = static_cast<TBox*>(copy.get());
    EXPECT_EQ(clone->GetLayer(), box.GetLayer());
    EXPECT_EQ(clone->GetName(), QStringLiteral("original"));
    EXPECT_FALSE(clone->IsSelected());
    clone->SetName(QStringLiteral("changed"));
    EXPECT_EQ(box.GetName(), QStringLiteral("original"));
}
