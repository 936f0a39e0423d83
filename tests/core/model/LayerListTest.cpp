#include "io/Veskfilestream.h"
#include "model/Vesklayerlist.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// Bytes 16 to 176 of an empty document saved with the default layers.
const QByteArray kDefaultLayerTable = Hex("09000000"
                                          "05000000 6F74686572 FF808080 00 00"
                                          "09000000 64696D656E73696F6E FF000000 00 01"
                                          "08000000 73746F705F636D70 FFA6A6FF 00 00"
                                          "08000000 73746F705F736F6C FFFF80C0 00 00"
                                          "09000000 706C6163655F636D70 FFFFB900 00 00"
                                          "09000000 706C6163655F736F6C FF465CAA 00 00"
                                          "09000000 636F6D706F6E656E74 FF008000 00 00"
                                          "06000000 736F6C646572 FFEB2828 00 00"
                                          "04000000 686F6C65 FFFFFFFF 01 00");

QStringList Names(const TVeskLayerList& list)
{
    QStringList names;
    for (int i = 0; i < list.LayerCount(); ++i)
        names << list.LayerAt(i)->Name();
    return names;
}

class LayerListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.ResetToDefaults();
        QObject::connect(&list, &TVeskLayerList::layersChanged, [this] { ++changes; });
    }

    // Every index equals its position and exactly one layer is current, the one CurrentLayer names.
    void ExpectConsistent() const
    {
        int currents = 0;
        for (int i = 0; i < list.LayerCount(); ++i) {
            const TVeskLayer* layer = list.LayerAt(i);
            EXPECT_EQ(layer->index, i) << layer->Name().toStdString();
            if (layer->current) {
                ++currents;
                EXPECT_EQ(layer, list.CurrentLayer());
            }
        }
        EXPECT_EQ(currents, list.LayerCount() > 0 ? 1 : 0);
    }

    TVeskLayerList list;
    int changes = 0;
};

} // namespace

TEST_F(LayerListTest, DefaultLayers)
{
    struct Expected {
        const char* name;
        ARGB color;
        bool mask;
        bool wireFrame;
    } const expected[] = {
        { "hole", 0xFFFFFFFF, true, false },
        { "solder", 0xFFEB2828, false, false },
        { "component", 0xFF008000, false, false },
        { "place_sol", 0xFF465CAA, false, false },
        { "place_cmp", 0xFFFFB900, false, false },
        { "stop_sol", 0xFFFF80C0, false, false },
        { "stop_cmp", 0xFFA6A6FF, false, false },
        { "dimension", 0xFF000000, false, true },
        { "other", 0xFF808080, false, false },
    };
    ASSERT_EQ(list.LayerCount(), 9);
    for (int i = 0; i < 9; ++i) {
        const TVeskLayer* layer = list.LayerAt(i);
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->Name(), QString::fromLatin1(expected[i].name)) << i;
        EXPECT_EQ(layer->opaqueColor, expected[i].color) << i;
        EXPECT_EQ(layer->normalColor, (expected[i].color & 0x00FFFFFFu) | 0x78000000u) << i;
        EXPECT_EQ(layer->mask, expected[i].mask) << i;
        EXPECT_EQ(layer->wireFrame, expected[i].wireFrame) << i;
        EXPECT_TRUE(layer->visible);
        EXPECT_FALSE(layer->locked);
    }
    EXPECT_EQ(list.CurrentLayer(), list.LayerAt(1));
    EXPECT_EQ(list.CurrentLayer()->Name(), QStringLiteral("solder"));
    ExpectConsistent();
}

TEST_F(LayerListTest, ResetToDefaultsReplacesEverything)
{
    list.AddNamedLayer(0xFF123456, QStringLiteral("extra"));
    list.LayerAt(3)->locked = true;
    list.ResetToDefaults();
    EXPECT_EQ(list.LayerCount(), 9);
    EXPECT_EQ(list.FindLayer(QStringLiteral("extra")), nullptr);
    EXPECT_FALSE(list.LayerAt(3)->locked);
    EXPECT_EQ(list.CurrentLayer(), list.LayerAt(1));
    EXPECT_GE(changes, 1);
    ExpectConsistent();
}

TEST_F(LayerListTest, AddLayerGoesBeforeTheCurrentLayer)
{
    list.SetCurrent(list.LayerAt(3));
    TVeskLayer* former = list.LayerAt(3);
    TVeskLayer* next = list.LayerAt(4);
    changes = 0;

    TVeskLayer* added = list.AddLayer(0x00102030);
    EXPECT_EQ(list.LayerCount(), 10);
    EXPECT_EQ(added->index, 3);
    EXPECT_EQ(list.LayerAt(3), added);
    EXPECT_EQ(former->index, 4);
    EXPECT_EQ(next->index, 5);
    EXPECT_EQ(list.LayerAt(2)->Name(), QStringLiteral("component"));
    EXPECT_EQ(list.CurrentLayer(), added);
    EXPECT_FALSE(former->current);
    EXPECT_EQ(added->Name(), QStringLiteral("Layer3"));
    EXPECT_EQ(added->opaqueColor, 0xFF102030u);
    EXPECT_EQ(added->currentColor, 0xC8102030u);
    EXPECT_GE(changes, 1);
    ExpectConsistent();
}

TEST_F(LayerListTest, AddLayerWithoutACurrentLayerAppends)
{
    list.SetCurrent(nullptr);
    EXPECT_EQ(list.CurrentLayer(), nullptr);
    TVeskLayer* added = list.AddNamedLayer(0xFF000000, QStringLiteral("last"));
    EXPECT_EQ(added->index, 9);
    EXPECT_EQ(list.LayerAt(9), added);
    EXPECT_EQ(list.CurrentLayer(), added);
    ExpectConsistent();
}

TEST_F(LayerListTest, AddLayerOnAnEmptyList)
{
    list.ClearLayers();
    TVeskLayer* first = list.AddLayer(0xFF00FF00);
    EXPECT_EQ(first->index, 0);
    EXPECT_EQ(first->Name(), QStringLiteral("Layer0"));
    TVeskLayer* second = list.AddLayer(0xFF00FF00);
    EXPECT_EQ(second->index, 0);
    EXPECT_EQ(first->index, 1);
    EXPECT_EQ(list.CurrentLayer(), second);
    ExpectConsistent();
}

struct MoveCase {
    int source;
    int target;
};

class LayerListMove : public LayerListTest, public ::testing::WithParamInterface<MoveCase> { };

TEST_P(LayerListMove, SourceLandsAtTheTargetsPosition)
{
    const MoveCase& c = GetParam();
    QStringList expected = Names(list);
    expected.move(c.source, c.target);
    TVeskLayer* source = list.LayerAt(c.source);
    TVeskLayer* current = list.CurrentLayer();
    changes = 0;

    list.MoveLayer(source, list.LayerAt(c.target));
    EXPECT_EQ(source->index, c.target);
    EXPECT_EQ(list.LayerAt(c.target), source);
    EXPECT_EQ(Names(list), expected);
    EXPECT_EQ(list.CurrentLayer(), current);
    EXPECT_GE(changes, 1);
    ExpectConsistent();
}

INSTANTIATE_TEST_SUITE_P(Cases, LayerListMove,
    ::testing::Values(MoveCase { 5, 2 }, MoveCase { 2, 5 }, MoveCase { 0, 8 }, MoveCase { 8, 0 },
        MoveCase { 3, 4 }, MoveCase { 4, 3 }, MoveCase { 1, 0 }));

TEST_F(LayerListTest, MoveOntoItselfDoesNothing)
{
    const QStringList before = Names(list);
    changes = 0;
    list.MoveLayer(list.LayerAt(4), list.LayerAt(4));
    EXPECT_EQ(Names(list), before);
    EXPECT_EQ(changes, 0);
    ExpectConsistent();
}

TEST_F(LayerListTest, MoveWithALayerOfAnotherListDoesNothing)
{
    TVeskLayerList other;
    other.ResetToDefaults();
    const QStringList before = Names(list);
    list.MoveLayer(list.LayerAt(2), other.LayerAt(5));
    list.MoveLayer(other.LayerAt(5), list.LayerAt(2));
    list.MoveLayer(nullptr, list.LayerAt(2));
    list.MoveLayer(list.LayerAt(2), nullptr);
    EXPECT_EQ(Names(list), before);
    EXPECT_EQ(Names(other), before);
    ExpectConsistent();
}

TEST_F(LayerListTest, FindLayerIsExactAndPrefersTheSmallerIndex)
{
    EXPECT_EQ(list.FindLayer(QStringLiteral("solder")), list.LayerAt(1));
    EXPECT_EQ(list.FindLayer(QStringLiteral("Solder")), nullptr);
    EXPECT_EQ(list.FindLayer(QStringLiteral("solder ")), nullptr);
    EXPECT_EQ(list.FindLayer(QString()), nullptr);

    // A duplicate added above the original is found first ...
    list.SetCurrent(list.LayerAt(0));
    TVeskLayer* upper = list.AddNamedLayer(0xFF000000, QStringLiteral("solder"));
    ASSERT_EQ(upper->index, 0);
    EXPECT_EQ(list.FindLayer(QStringLiteral("solder")), upper);

    // ... and one added below it is not.
    list.SetCurrent(list.LayerAt(9));
    TVeskLayer* lower = list.AddNamedLayer(0xFF000000, QStringLiteral("hole"));
    ASSERT_EQ(lower->index, 9);
    EXPECT_EQ(list.FindLayer(QStringLiteral("hole"))->index, 1);
}

TEST_F(LayerListTest, LayerAtOutsideTheListIsNull)
{
    for (int i : { -1, -100, 9, 10, 1 << 30 })
        EXPECT_EQ(list.LayerAt(i), nullptr) << i;
    EXPECT_NE(list.LayerAt(0), nullptr);
    EXPECT_NE(list.LayerAt(8), nullptr);
}

TEST_F(LayerListTest, ClearLayersEmptiesTheList)
{
    changes = 0;
    list.ClearLayers();
    EXPECT_EQ(list.LayerCount(), 0);
    EXPECT_EQ(list.CurrentLayer(), nullptr);
    EXPECT_EQ(list.LayerAt(0), nullptr);
    EXPECT_EQ(list.FindLayer(QStringLiteral("hole")), nullptr);
    EXPECT_GE(changes, 1);
}

TEST_F(LayerListTest, SetCurrentKeepsExactlyOneCurrentLayer)
{
    changes = 0;
    list.SetCurrent(list.LayerAt(6));
    EXPECT_EQ(list.CurrentLayer(), list.LayerAt(6));
    EXPECT_GE(changes, 1);
    ExpectConsistent();
}

TEST_F(LayerListTest, DrawingLayerIsTheTopmostANewShapeShowsOn)
{
    // Layers top to bottom: 'm' mask, 'h' hidden, 'l' locked, '.' plain.
    const struct {
        const char* layers;
        int current;
    } cases[] = {
        { "m..", 1 },
        { "mhl.", 3 },
        { "hl.m", 2 },
        { "mhl", 1 }, // nothing fits: the topmost that is not a mask
        { "mm", 0 },
        { "", -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layers);
        TVeskLayerList layers;
        for (const char* flag = c.layers; *flag; ++flag) {
            layers.SetCurrent(nullptr); // append
            TVeskLayer* layer = layers.AddNamedLayer(0xFF000000, QString::number(flag - c.layers));
            layer->SetMask(*flag == 'm');
            layer->SetVisible(*flag != 'h');
            layer->SetLocked(*flag == 'l');
        }
        layers.ChooseDrawingLayer();
        EXPECT_EQ(layers.CurrentLayer(), layers.LayerAt(c.current));
    }
}

TEST_F(LayerListTest, WritesTheDefaultTableByteForByte)
{
    TVesk_ostream out;
    list.WriteLayerTable(out);
    EXPECT_FALSE(out.Failed());
    EXPECT_EQ(out.Buffer().toHex(' '), kDefaultLayerTable.toHex(' '));
}

TEST_F(LayerListTest, TableReadsBackInItsSavedOrder)
{
    // Flags, colours and names that differ from the defaults, stored as they would be.
    list.LayerAt(2)->mask = true;
    list.LayerAt(5)->wireFrame = true;
    list.LayerAt(3)->SetColor(0x00010203);
    list.LayerAt(4)->SetName(QStringLiteral("部品面"));
    list.LayerAt(4)->locked = true; // not stored
    TVesk_ostream out;
    list.WriteLayerTable(out);

    TVeskLayerList read;
    read.AddNamedLayer(0xFF000000, QStringLiteral("stale"));
    int readChanges = 0;
    QObject::connect(&read, &TVeskLayerList::layersChanged, [&] { ++readChanges; });
    TVesk_istream in(out.Buffer());
    ASSERT_TRUE(read.ReadLayerTable(in));
    EXPECT_TRUE(in.AtEnd());
    EXPECT_GE(readChanges, 1);

    ASSERT_EQ(read.LayerCount(), list.LayerCount());
    for (int i = 0; i < list.LayerCount(); ++i) {
        const TVeskLayer* a = list.LayerAt(i);
        const TVeskLayer* b = read.LayerAt(i);
        EXPECT_EQ(b->Name(), a->Name()) << i;
        EXPECT_EQ(b->opaqueColor, a->opaqueColor) << i;
        EXPECT_EQ(b->currentColor, a->currentColor) << i;
        EXPECT_EQ(b->mask, a->mask) << i;
        EXPECT_EQ(b->wireFrame, a->wireFrame) << i;
        EXPECT_FALSE(b->locked) << i;
    }
    // The layer read last lands on top and is current.
    EXPECT_EQ(read.CurrentLayer(), read.LayerAt(0));
    EXPECT_EQ(read.CurrentLayer()->Name(), QStringLiteral("hole"));
    EXPECT_EQ(read.FindLayer(QStringLiteral("stale")), nullptr);

    TVesk_ostream again;
    read.WriteLayerTable(again);
    EXPECT_EQ(again.Buffer(), out.Buffer());
}

TEST_F(LayerListTest, ReadsTheWorkedExampleTable)
{
    TVeskLayerList read;
    TVesk_istream in(kDefaultLayerTable);
    ASSERT_TRUE(read.ReadLayerTable(in));
    EXPECT_EQ(Names(read), Names(list));
    EXPECT_TRUE(read.LayerAt(0)->mask);
    EXPECT_TRUE(read.LayerAt(7)->wireFrame);
}

TEST_F(LayerListTest, StoredAlphaIsIgnoredOnReading)
{
    TVeskLayerList read;
    TVesk_istream in(Hex("01000000 01000000 61 00112233 00 00"));
    ASSERT_TRUE(read.ReadLayerTable(in));
    ASSERT_EQ(read.LayerCount(), 1);
    EXPECT_EQ(read.LayerAt(0)->opaqueColor, 0xFF112233u);
    EXPECT_EQ(read.LayerAt(0)->normalColor, 0x78112233u);
}

TEST_F(LayerListTest, EmptyTableLeavesNoLayers)
{
    TVesk_istream in(Hex("00000000"));
    ASSERT_TRUE(list.ReadLayerTable(in));
    EXPECT_EQ(list.LayerCount(), 0);
    EXPECT_EQ(list.CurrentLayer(), nullptr);
}

TEST_F(LayerListTest, CorruptCountLeavesTheListAlone)
{
    for (const char* bytes :
        { "FFFFFFFF 00000000 00000000 0000", "FFFFFF7F 00000000 00000000 0000", "0100", "" }) {
        TVesk_istream in(Hex(bytes));
        EXPECT_FALSE(list.ReadLayerTable(in)) << bytes;
        EXPECT_TRUE(in.Failed()) << bytes;
        EXPECT_EQ(list.LayerCount(), 9) << bytes;
    }
    ExpectConsistent();
}

TEST_F(LayerListTest, TruncatedTableKeepsTheCompleteEntries)
{
    // Two entries announced, the second cut short inside its colour.
    TVesk_istream in(Hex("02000000 01000000 61 FF112233 00 01 05000000 6263646566 FF11"));
    EXPECT_FALSE(list.ReadLayerTable(in));
    ASSERT_EQ(list.LayerCount(), 1);
    EXPECT_EQ(list.LayerAt(0)->Name(), QStringLiteral("a"));
    EXPECT_TRUE(list.LayerAt(0)->wireFrame);
    ExpectConsistent();
}

// Hiding and locking reach the list's observers, once per real change; a
// layer outside any list has no one to tell.
TEST_F(LayerListTest, FlagSettersReportChangesThroughTheList)
{
    std::vector<std::pair<TVeskLayer*, QString>> seen;
    QObject::connect(&list, &TVeskLayerList::layerChanged, [&](TVeskLayer* layer) {
        seen.emplace_back(layer, QStringLiteral("%1%2").arg(int(layer->visible)).arg(int(layer->locked)));
    });
    TVeskLayer* layer = list.LayerAt(4);
    layer->SetVisible(false);
    layer->SetVisible(false);
    layer->SetLocked(true);
    layer->SetLocked(true);
    layer->SetVisible(true);
    layer->SetLocked(false);
    using Seen = std::vector<std::pair<TVeskLayer*, QString>>;
    EXPECT_EQ(seen,
        (Seen { { layer, QStringLiteral("00") }, { layer, QStringLiteral("01") },
            { layer, QStringLiteral("11") }, { layer, QStringLiteral("10") } }));

    list.MoveLayer(layer, list.LayerAt(0));
    seen.clear();
    layer->SetLocked(true);
    EXPECT_EQ(seen, (Seen { { layer, QStringLiteral("11") } })) << "a moved layer still reports";

    TVeskLayer loose;
    loose.SetVisible(false);
    loose.SetLocked(true);
    EXPECT_FALSE(loose.visible);
    EXPECT_TRUE(loose.locked);
    EXPECT_EQ(seen.size(), 1u);
}

namespace {

// What the saved layer table and the drawing take from a layer reaches the
// list's observers too, once per real change: the windows and the renderer
// follow a rename, a new colour, mask and wire-frame.
TEST_F(LayerListTest, LookSettersReportRealChangesThroughTheList)
{
    const struct {
        const char* what;
        std::function<void(TVeskLayer&)> change;
        std::function<bool(const TVeskLayer&)> changed;
    } cases[] = {
        { "name", [](TVeskLayer& l) { l.SetName(QStringLiteral("部品面")); },
            [](const TVeskLayer& l) { return l.Name() == QStringLiteral("部品面"); } },
        { "colour", [](TVeskLayer& l) { l.SetColor(0x00102030); },
            [](const TVeskLayer& l) { return l.opaqueColor == 0xFF102030u; } },
        { "colour with another alpha", [](TVeskLayer& l) { l.SetColor(0x80102030); },
            [](const TVeskLayer& l) { return l.normalColor == 0x78102030u; } },
        { "mask", [](TVeskLayer& l) { l.SetMask(true); }, [](const TVeskLayer& l) { return l.mask; } },
        { "wire-frame", [](TVeskLayer& l) { l.SetWireFrame(true); },
            [](const TVeskLayer& l) { return l.wireFrame; } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        list.ResetToDefaults();
        TVeskLayer* layer = list.LayerAt(3);
        std::vector<TVeskLayer*> seen;
        const QMetaObject::Connection watch = QObject::connect(
            &list, &TVeskLayerList::layerChanged, [&](TVeskLayer* l) { seen.push_back(l); });
        c.change(*layer);
        c.change(*layer);
        QObject::disconnect(watch);
        EXPECT_TRUE(c.changed(*layer));
        EXPECT_EQ(seen, std::vector<TVeskLayer*> { layer }) << "once, for the second call changed nothing";
    }

    TVeskLayer loose;
    loose.SetName(QStringLiteral("alone"));
    loose.SetMask(true);
    EXPECT_EQ(loose.Name(), QStringLiteral("alone"));
    EXPECT_TRUE(loose.mask);
}

} // namespace
