// Hiding or locking a layer takes its objects out of the selection, wherever
// they sit in the tree, whoever hides or locks it: the document does it on the
// layer list's change notification.
#include "ContainerFixture.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "shapes/Veskrectangle.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

using namespace vesk;
using namespace vesk::test;

namespace {

// Where b (on "component") sits; a (on "solder") is always at the top.
enum class Tree { TopLevel, InGroup, TwoDeep, InNestedPart };

struct ClosingCase {
    const char* what;
    Tree tree;
    // What happens to a layer: "hide" or "lock" "component", or "hide other",
    // which hides a layer nothing lies on.
    const char* change;
    const char* selectedAfter;
    RectF selectedBounds;
};

class LayerClosing : public ::testing::TestWithParam<ClosingCase> {
protected:
    TVeskLayer* layer(const char* name) const { return doc.Layers().FindLayer(QString::fromLatin1(name)); }

    // A filled rectangle without outline, named, on the layer.
    TVeskObject* addRect(TVeskContainer& c, const char* name, const char* on, RectF box)
    {
        TVeskRect proto(layer(on), TVeskSurface(0, false, true, 4));
        proto.SetCorners({ box.X, box.Y }, { box.GetRight(), box.GetBottom() });
        proto.SetName(QString::fromLatin1(name));
        return c.Add(proto);
    }
    template <class Kind> TVeskContainer& addContainer(TVeskContainer& c, const char* name)
    {
        Kind proto;
        proto.SetName(QString::fromLatin1(name));
        return *static_cast<TVeskContainer*>(c.Add(proto));
    }

    // a, and b with its sibling c on "solder", as the tree asks.
    void build(Tree tree)
    {
        TVeskPart& root = doc.Root();
        addRect(root, "a", "solder", { 0, 0, 10, 10 });
        TVeskContainer* home = &root;
        switch (tree) {
        case Tree::TopLevel:
            break;
        case Tree::InGroup:
            home = &addContainer<TVeskGroup>(root, "g");
            break;
        case Tree::TwoDeep:
            home = &addContainer<TVeskGroup>(addContainer<TVeskGroup>(root, "g"), "h");
            break;
        case Tree::InNestedPart:
            home = &addContainer<TVeskPart>(root, "p");
            break;
        }
        b = addRect(*home, "b", "component", { 30, 0, 10, 10 });
        if (tree != Tree::TopLevel)
            addRect(*home, "c", "solder", { 60, 0, 10, 10 });
    }

    // Columns of a 80 x 12 image where selection marks were drawn.
    QString markedColumns() const
    {
        QImage image(80, 12, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter g(&image);
            doc.Root().DrawSelection(g, TDrawStyle());
        }
        QString marked;
        for (int x0 = 0; x0 < 80; x0 += 30) {
            bool any = false;
            for (int y = 0; y < image.height(); ++y)
                for (int x = x0; x < std::min(x0 + 12, image.width()); ++x)
                    any = any || image.pixel(x, y) != qRgb(255, 255, 255);
            marked += any ? QLatin1Char('1') : QLatin1Char('0');
        }
        return marked;
    }

    TVeskDocument doc;
    TVeskObject* b = nullptr;
};

TEST_P(LayerClosing, DeselectsWhatLiesOnTheLayerAtEveryDepth)
{
    const ClosingCase& c = GetParam();
    build(c.tree);
    doc.Root().SetSelected(true);
    ASSERT_EQ(markedColumns(), c.tree == Tree::TopLevel ? QStringLiteral("110") : QStringLiteral("111"));

    const QString change = QString::fromLatin1(c.change);
    if (change == QLatin1String("hide"))
        layer("component")->SetVisible(false);
    else if (change == QLatin1String("lock"))
        layer("component")->SetLocked(true);
    else
        layer("stop_sol")->SetVisible(false);

    std::vector<TVeskObject*> selected;
    doc.Root().CollectSelected(selected, -1);
    EXPECT_EQ(NamesOf(selected), Words(c.selectedAfter));
    RectF bounds { -1, -1, -1, -1 };
    EXPECT_TRUE(doc.Root().GetSelectedBounds(bounds));
    EXPECT_EQ(bounds, c.selectedBounds);
    const bool bKept = change == QLatin1String("hide other");
    EXPECT_EQ(b->IsSelected(), bKept);
    // Columns: a, b, c (c only off the top level).
    const bool cKept = bKept || c.tree == Tree::InNestedPart;
    QString marks = bKept ? QStringLiteral("11") : QStringLiteral("10");
    if (c.tree != Tree::TopLevel)
        marks += cKept ? QLatin1Char('1') : QLatin1Char('0');
    else
        marks += QLatin1Char('0');
    EXPECT_EQ(markedColumns(), marks);
}

INSTANTIATE_TEST_SUITE_P(PartTest, LayerClosing,
    ::testing::Values(ClosingCase { "top level, hidden", Tree::TopLevel, "hide", "a", { 0, 0, 10, 10 } },
        ClosingCase { "top level, locked", Tree::TopLevel, "lock", "a", { 0, 0, 10, 10 } },
        ClosingCase { "top level, other layer", Tree::TopLevel, "hide other", "a b", { 0, 0, 40, 10 } },
        // The whole group goes, c on "solder" too: a group is selected as a unit.
        ClosingCase { "group, hidden", Tree::InGroup, "hide", "a", { 0, 0, 10, 10 } },
        ClosingCase { "group, locked", Tree::InGroup, "lock", "a", { 0, 0, 10, 10 } },
        ClosingCase { "group, other layer", Tree::InGroup, "hide other", "a g", { 0, 0, 70, 10 } },
        ClosingCase { "two deep, hidden", Tree::TwoDeep, "hide", "a", { 0, 0, 10, 10 } },
        ClosingCase { "two deep, locked", Tree::TwoDeep, "lock", "a", { 0, 0, 10, 10 } },
        // A nested part is no unit: only b goes.
        ClosingCase { "nested part, hidden", Tree::InNestedPart, "hide", "a c", { 0, 0, 70, 10 } },
        ClosingCase { "nested part, locked", Tree::InNestedPart, "lock", "a c", { 0, 0, 70, 10 } }),
    [](const auto& info) {
        QString name = QString::fromLatin1(info.param.what);
        name.remove(QLatin1Char(',')).replace(QLatin1Char(' '), QLatin1Char('_'));
        return name.toStdString();
    });

// A group with a member on a locked layer can be selected through its other
// members; a later change of some other layer must leave it selected.
TEST_F(LayerClosing, OnlyTheLayerThatChangedDeselects)
{
    build(Tree::InGroup);
    layer("component")->SetLocked(true);
    ASSERT_TRUE(doc.Root().SelectAt({ 65, 5 }));
    ASSERT_TRUE(b->IsSelected());

    layer("stop_sol")->SetLocked(true);
    layer("stop_sol")->SetVisible(false);
    layer("component")->SetVisible(true); // no change: it was never hidden
    EXPECT_TRUE(b->IsSelected());

    layer("component")->SetLocked(false);
    EXPECT_TRUE(b->IsSelected()) << "unlocking takes nothing away";
    layer("component")->SetVisible(false);
    EXPECT_FALSE(b->IsSelected());
    layer("component")->SetVisible(true);
    EXPECT_FALSE(b->IsSelected()) << "showing the layer again selects nothing";
}

} // namespace
