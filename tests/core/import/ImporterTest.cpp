// Reading of the old program's text drawings: sections, tables, items,
// groups and every kind of bad input, on small fixture files.
#include "ImportTestSupport.h"
#include "import/Veskimporter.h"
#include "model/Vesklayerlist.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vesk::test {
namespace {

// Reads definitions and items, mapping each file layer to the default
// document layer of the same name.
struct Imported {
    TVeskImporter importer;
    TVeskLayerList layers;
    std::unique_ptr<TVeskGroup> group;

    explicit Imported(const std::string& text)
    {
        layers.ResetToDefaults();
        std::istringstream in(text);
        importer.ReadDefinitions(in);
        for (int i = 0; i < importer.LayerNames().size(); ++i)
            importer.MapLayer(i, layers.FindLayer(importer.LayerNames()[i]));
        group = importer.ReadItems();
        importer.CloseInput();
    }
};

int LeafCount(TVeskGroup& g)
{
    std::vector<TVeskObject*> leaves;
    g.CollectLeaves(leaves);
    return int(leaves.size());
}

struct FixtureCase {
    const char* file;
    QStringList layers;
    const char* tree;
    int unmapped;
    int invalid;
};

void PrintTo(const FixtureCase& c, std::ostream* os)
{
    *os << c.file;
}

class ImportFixture : public ::testing::TestWithParam<FixtureCase> { };

TEST_P(ImportFixture, ReadsWhatTheFileHoldsAndDropsOnlyWhatItMust)
{
    const FixtureCase& c = GetParam();
    const std::string text = ReadImportFixture(c.file);
    ASSERT_TRUE(!text.empty() || QByteArrayView(c.file) == "empty.pcb") << "missing fixture";
    Imported r(text);
    EXPECT_EQ(Joined(r.importer.LayerNames()), Joined(c.layers));
    EXPECT_EQ(Tree(*r.group), c.tree);
    const TImportCounts& n = r.importer.Counts();
    EXPECT_EQ(n.unmapped, c.unmapped);
    EXPECT_EQ(n.invalid, c.invalid);
    // Every shape counted as created is in the result, once.
    EXPECT_EQ(LeafCount(*r.group), n.shapes);
}

const QStringList kSolder { QStringLiteral("solder") };
const QStringList kSolderComponent { QStringLiteral("solder"), QStringLiteral("component") };

INSTANTIATE_TEST_SUITE_P(Fixtures, ImportFixture,
    ::testing::Values(
        // A 20-byte layer entry is read; the 19-byte one ends the list and
        // is used up, so the entry after it is just a skipped word.
        FixtureCase { "layer_entry_length.pcb", { QStringLiteral("component") },
            "group[line component (0,0)-(10,0) w1]", 0, 1 },
        // "[FlshDef]" ends the layer list and is used up: no tables, no items.
        FixtureCase { "layer_list_ends_at_marker.pcb", kSolder, "group[]", 0, 0 },
        FixtureCase { "lowercase_marker.pcb", kSolder, "group[]", 0, 0 },
        FixtureCase { "dot.pcb", kSolder, "group[circle solder (10,-10) d4]", 0, 0 },
        FixtureCase {
            "land_without_aperture.pcb", kSolderComponent, "group[circle component (25,-40) d20]", 0, 0 },
        FixtureCase { "flash_key_order.pcb", kSolder, "group[square solder (10,-10) s1]", 0, 0 },
        FixtureCase { "group_unbalanced.pcb", kSolder,
            "group[line solder (0,0)-(20,0) w1; group[circle solder (10,-10) d20]]", 0, 0 },
        // 300 ends the width list: entry 5 keeps its default 3.5.
        FixtureCase { "line_width_index_300.pcb", kSolder,
            "group[line solder (0,0)-(10,0) w3; line solder (0,0)-(20,0) w3.5]", 0, 0 },
        FixtureCase {
            "index_out_of_range.pcb", kSolderComponent, "group[square component (30,-30) s247]", 0, 6 },
        FixtureCase { "groups_left_open.pcb", kSolder,
            "group[group[line solder (0,0)-(10,0) w1; group[circle solder (10,-10) d20; "
            "group[square solder (20,-20) s20]]]]",
            0, 0 },
        FixtureCase { "bad_numbers.pcb", kSolder, "group[circle solder (10,20) d20]", 0, 7 },
        FixtureCase { "unmapped_layer.pcb", { QStringLiteral("solder"), QStringLiteral("unmapped") },
            "group[square solder (10,-10) s20]", 3, 0 },
        // A stray field is passed over alone, so its value is looked at as a
        // key; a key in the last field has no value; empty fields do not count.
        FixtureCase { "stray_fields.pcb", kSolder,
            "group[circle solder (50,0) d20; circle solder (20,0) d20; line solder (0,0)-(10,0) w1; "
            "line solder (30,0)-(40,0) w1]",
            0, 0 },
        FixtureCase {
            "crlf.pcb", kSolder, "group[line solder (0,0)-(10,0) w4; square solder (10,-10) s8]", 0, 0 },
        FixtureCase { "no_sections.pcb", {}, "group[]", 0, 0 },
        FixtureCase { "empty.pcb", {}, "group[]", 0, 0 }),
    [](const ::testing::TestParamInfo<FixtureCase>& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        return name;
    });

TEST(Importer, ItemsADocumentCouldNotHoldAreUnreadable)
{
    // A saved document keeps objects within 100 m (1e6 units) of the origin;
    // beyond that they would not read back from the file the import is saved to.
    const struct {
        const char* item;
        int shapes;
    } cases[] = {
        { "LAND:X=99999,Y=0,LE=0", 1 },
        { "LAND:X=100001,Y=0,LE=0", 0 },
        { "LINE:XS=0,YS=0,XE=0,YE=-100001,LE=0", 0 },
        { "LINE:XS=0,YS=0,XE=1e37,YE=0,LE=0", 0 },
    };
    for (const auto& c : cases) {
        Imported r(std::string("VESK:Version 1.0\n[LayerDef]\nLAYER:NAME=solder,COLOR=1\nEND\n[FlshDef]\n"
                               "[LineDef]\n[DrawItems]\n")
            + c.item + "\n");
        EXPECT_EQ(r.importer.Counts().shapes, c.shapes) << c.item;
        EXPECT_EQ(r.importer.Counts().invalid, 1 - c.shapes) << c.item;
    }
}

TEST(Importer, RealisticBoardKeepsItsNestedGroups)
{
    TVeskLayerList layers;
    layers.ResetToDefaults();
    TVeskImporter importer;
    std::ifstream in(ImportFixturePath("board.pcb").toStdString(), std::ios::binary);
    ASSERT_TRUE(in.is_open());
    importer.ReadDefinitions(in);
    EXPECT_DOUBLE_EQ(importer.Version(), 1.10);
    const QStringList expectedLayers { QStringLiteral("component"), QStringLiteral("solder"),
        QString::fromUtf8("シルク"), QStringLiteral("outline"), QStringLiteral("drill") };
    ASSERT_EQ(Joined(importer.LayerNames()), Joined(expectedLayers));
    const char* destinations[] = { "component", "solder", "place_cmp", "dimension", "hole" };
    for (int i = 0; i < 5; ++i)
        importer.MapLayer(i, layers.FindLayer(QLatin1String(destinations[i])));
    const std::unique_ptr<TVeskGroup> group = importer.ReadItems();
    importer.CloseInput();
    EXPECT_FALSE(in.is_open());

    const QStringList expected {
        QStringLiteral("line dimension (0,0)-(500,0) w2"),
        QStringLiteral("line dimension (500,0)-(500,-300) w2"),
        QStringLiteral("line dimension (500,-300)-(0,-300) w2"),
        QStringLiteral("line dimension (0,-300)-(0,0) w2"),
        QStringLiteral("group[group[square component (100,-100) s25; circle component (125.4,-100) d10; "
                       "circle component (150.8,-100) d10; circle component (176.2,-100) d10]; "
                       "group[circle hole (100,-100) d5; circle hole (125.4,-100) d5]; "
                       "line place_cmp (90,-115)-(186,-115) w3; line place_cmp (186,-115)-(186,-85) w3]"),
        QStringLiteral("line component (176.2,-100)-(300,-100) w5"),
        QStringLiteral("line solder (300,-100)-(300,-200) w16"),
        QStringLiteral("circle solder (300,-200) d10"),
        QStringLiteral("group[square solder (400,-200) s18; square solder (400,-225.4) s18]"),
        QStringLiteral("circle solder (50,-250) d20"),
    };
    EXPECT_EQ(Tree(*group), "group[" + expected.join(QStringLiteral("; ")).toStdString() + "]");
    EXPECT_EQ(importer.Counts().shapes, 18);
    EXPECT_EQ(importer.Counts().groups, 4);
    EXPECT_EQ(importer.Counts().unmapped + importer.Counts().invalid, 0);
}

TEST(Importer, TablesStartAtTheirDefaults)
{
    const TVeskImporter::Table t = TVeskImporter::DefaultTable();
    EXPECT_EQ(t[0], 1.0);
    EXPECT_EQ(t[1], 1.5);
    EXPECT_EQ(t[17], 9.5);
    EXPECT_EQ(t[18], 10.0);
    EXPECT_EQ(t[255], 247.0);
    const TVeskImporter fresh;
    EXPECT_EQ(fresh.LineWidths(), t);
    EXPECT_EQ(fresh.FlashSizes(), t);
    EXPECT_EQ(fresh.Version(), -1.0);
}

TEST(Importer, TableEntriesTakeAnySeparatorAndEndAtTheFirstNonEntry)
{
    TVeskImporter importer;
    std::istringstream in(
        "VESK:Version 1 [LayerDef] END [FlshDef] 12:0.8 13=1.2\n14 1.6 15:2e-1 16:abc 17:9.9 "
        "[LineDef] 0:0.25 1:1e300 2:0.7 [DrawItems]");
    importer.ReadDefinitions(in);
    const TVeskImporter::Table defaults = TVeskImporter::DefaultTable();
    EXPECT_DOUBLE_EQ(importer.FlashSizes()[12], 8.0);
    EXPECT_DOUBLE_EQ(importer.FlashSizes()[13], 12.0);
    EXPECT_DOUBLE_EQ(importer.FlashSizes()[14], 16.0);
    EXPECT_DOUBLE_EQ(importer.FlashSizes()[15], 2.0);
    EXPECT_EQ(importer.FlashSizes()[16], defaults[16]);
    EXPECT_EQ(importer.FlashSizes()[17], defaults[17]); // after the list ended
    EXPECT_DOUBLE_EQ(importer.LineWidths()[0], 2.5);
    // A width no float holds ends the list instead of making an infinite stroke.
    EXPECT_EQ(importer.LineWidths()[1], defaults[1]);
    EXPECT_EQ(importer.LineWidths()[2], defaults[2]);
    // The tables ended at a word, not at the end: the items section is still found.
    EXPECT_TRUE(importer.ReadItems() != nullptr);
    EXPECT_TRUE(importer.FoundItemSection());
}

TEST(Importer, NewDefinitionsReplaceTheOldOnes)
{
    TVeskImporter importer;
    std::istringstream first("VESK:Version 3 [LayerDef] LAYER:NAME=solder,COLOR=1 END [FlshDef] 0:5 "
                             "[LineDef] 0:5");
    importer.ReadDefinitions(first);
    ASSERT_EQ(importer.LayerNames().size(), 1);
    std::istringstream second("nothing");
    importer.ReadDefinitions(second);
    EXPECT_EQ(importer.Version(), -1.0);
    EXPECT_TRUE(importer.LayerNames().isEmpty());
    EXPECT_TRUE(importer.LayerMap().empty());
    EXPECT_EQ(importer.FlashSizes(), TVeskImporter::DefaultTable());
    EXPECT_EQ(importer.LineWidths(), TVeskImporter::DefaultTable());
    EXPECT_FALSE(importer.FoundLayerSection());
}

TEST(Importer, LayerTablesNotReachedKeepTheirDefaults)
{
    Imported r(ReadImportFixture("layer_list_ends_at_marker.pcb"));
    EXPECT_EQ(r.importer.FlashSizes(), TVeskImporter::DefaultTable());
    EXPECT_EQ(r.importer.LineWidths(), TVeskImporter::DefaultTable());
    EXPECT_FALSE(r.importer.FoundItemSection());
}

TEST(Importer, VersionFollowsTheWordThatNamesIt)
{
    // The version word opens the file: without it the search for it runs to
    // the end, and no later section is found.
    const struct {
        const char* text;
        double version;
        bool layerSection;
    } cases[] = {
        { "VESK:Version 1.10 [LayerDef]", 1.10, true },
        { "header #VESK:Version\n\t2.5 [LayerDef]", 2.5, true },
        { "VESK:Version [LayerDef]", -1.0, true },
        { "[LayerDef] LAYER:NAME=solder,COLOR=1 END", -1.0, false },
    };
    for (const auto& c : cases) {
        TVeskImporter importer;
        std::istringstream in(c.text);
        importer.ReadDefinitions(in);
        EXPECT_DOUBLE_EQ(importer.Version(), c.version) << c.text;
        EXPECT_EQ(importer.FoundLayerSection(), c.layerSection) << c.text;
    }
}

TEST(Importer, LayerEntriesNameTheirRows)
{
    // The first NAME field wins; an entry without one adds no row; NAME in
    // the last field keeps the row with an empty name.
    TVeskImporter importer;
    std::istringstream in("VESK:Version 1 [LayerDef] LAYER:NAME=a,NAME=b,COLOR=1 LAYER:NO=1,COLOR=1,SHOW=0 "
                          "LAYER:NO=2,COLOR=3,NAME= LAYER:NO=3,NAME=\x95\x94\x95\x69\x96\xca,C=1 END");
    importer.ReadDefinitions(in);
    EXPECT_EQ(Joined(importer.LayerNames()),
        Joined({ QStringLiteral("a"), QString(), QString::fromUtf8("部品面") }));
    EXPECT_EQ(importer.LayerMap(), std::vector<TVeskLayer*>(3, nullptr));
}

TEST(Importer, MapLayerIgnoresRowsTheFileDoesNotHave)
{
    TVeskLayerList layers;
    layers.ResetToDefaults();
    TVeskImporter importer;
    std::istringstream in("VESK:Version 1 [LayerDef] LAYER:NAME=solder,COLOR=1 END");
    importer.ReadDefinitions(in);
    importer.MapLayer(-1, layers.LayerAt(0));
    importer.MapLayer(1, layers.LayerAt(0));
    importer.MapLayer(0, layers.LayerAt(1));
    EXPECT_EQ(importer.LayerMap(), std::vector<TVeskLayer*>({ layers.LayerAt(1) }));
}

TEST(Importer, LineIsAStraightUnselectedPathWithIdentityPlacement)
{
    Imported r("VESK:Version 1 [LayerDef] LAYER:NAME=solder,COLOR=1 END [FlshDef] [LineDef] [DrawItems] "
               "LINE:XS=1.5,YS=2,XE=-3,YE=0.5,LE=0,SQ=3");
    ASSERT_EQ(r.group->ChildCount(), 1);
    const auto* path = dynamic_cast<const TVeskPath*>(r.group->ChildAt(0));
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(path->GetMatrixRef().IsIdentity());
    const std::vector<PointF> expected { { 15, -20 }, { 15, -20 }, { -30, -5 }, { -30, -5 }, { -30, -5 },
        { 15, -20 } };
    EXPECT_EQ(std::vector<PointF>(path->Points().begin(), path->Points().end()), expected);
    EXPECT_EQ(std::vector<std::uint8_t>(path->PointFlags().begin(), path->PointFlags().end()),
        std::vector<std::uint8_t>(6, pfSmooth));
    EXPECT_EQ(path->Surface(), TVeskSurface(2.5f, false, false, 4)); // flash size 3 as outline width
    EXPECT_FALSE(path->IsSelected());
    EXPECT_EQ(path->GetOwner(), r.group.get());
}

TEST(Importer, OutlineWidthGoesThroughTheSurfaceRule)
{
    // Entry 0 is 0.0005 mm, below the rule: the width stays what it was.
    const struct {
        const char* fields;
        float width;
    } cases[] = {
        { "AP=0", 1.0f },
        { "AP=1,AP=0", 4.0f },
        { "SQ=2,AP=0", 15.0f },
        { "AP=1,SQ=2", 15.0f },
    };
    for (const auto& c : cases) {
        Imported r(std::string("VESK:Version 1 [LayerDef] LAYER:NAME=solder,COLOR=1 END [FlshDef] 2:1.5 "
                               "[LineDef] 0:0.0005 1:0.4 "
                               "[DrawItems] LINE:XS=0,YS=0,XE=1,YE=0,LE=0,")
            + c.fields);
        ASSERT_EQ(r.group->ChildCount(), 1) << c.fields;
        EXPECT_EQ(r.group->ChildAt(0)->Surface().GetWidth(), c.width) << c.fields;
    }
}

TEST(Importer, GroupsNestedTooDeepAreMergedWithoutLosingItems)
{
    const int extra = 10;
    const int depth = TVeskImporter::kMaxGroupDepth + extra;
    std::string text
        = "VESK:Version 1 [LayerDef] LAYER:NAME=solder,COLOR=1 END [FlshDef] [LineDef] [DrawItems]\n";
    for (int i = 0; i < depth; ++i)
        text += "GROUP\n";
    text += "LAND:LE=0\n";
    for (int i = 0; i < depth; ++i)
        text += "ENDGR\n";
    text += "FLSH:LE=0\n";
    Imported r(text);
    EXPECT_EQ(r.importer.Counts().flattened, extra);
    ASSERT_EQ(r.group->ChildCount(), 2);
    EXPECT_EQ(Tree(*r.group->ChildAt(1)), "square solder (0,0) s20");
    int levels = 0;
    const TVeskObject* o = r.group->ChildAt(0);
    while (auto* g = dynamic_cast<const TVeskGroup*>(o)) {
        ASSERT_EQ(g->ChildCount(), 1);
        o = g->ChildAt(0);
        ++levels;
    }
    EXPECT_EQ(levels, TVeskImporter::kMaxGroupDepth);
    EXPECT_EQ(Tree(*o), "circle solder (0,0) d20");
}

TEST(Importer, ReadsNothingTwiceAndNothingWithoutInput)
{
    TVeskImporter importer;
    EXPECT_EQ(importer.ReadItems()->ChildCount(), 0);
    TVeskLayerList layers;
    layers.ResetToDefaults();
    std::istringstream in(
        "VESK:Version 1 [LayerDef] LAYER:NAME=solder,COLOR=1 END [FlshDef] [LineDef] [DrawItems] LAND:LE=0");
    importer.ReadDefinitions(in);
    importer.MapLayer(0, layers.LayerAt(1));
    EXPECT_EQ(importer.ReadItems()->ChildCount(), 1);
    EXPECT_EQ(importer.ReadItems()->ChildCount(), 0);
    importer.CloseInput();
    EXPECT_EQ(importer.ReadItems()->ChildCount(), 0);
}

} // namespace
} // namespace vesk::test
