// The import dialog's logic: rows, destinations by row position, exact layer
// lookup and the import landing as one group in the document.
#include "ImportTestSupport.h"
#include "import/Veskimportmapping.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

namespace vesk::test {
namespace {

// A drawing with one land per layer, at x = 1, 2, 3, ... mm in row order.
std::string DrawingWithLayers(const QStringList& names)
{
    std::string text = "VESK:Version 1.0\n[LayerDef]\n";
    for (const QString& n : names)
        text += "LAYER:NAME=" + n.toStdString() + ",COLOR=0,SHOW=1\n";
    text += "END\n[FlshDef]\n[LineDef]\n[DrawItems]\n";
    for (int i = 0; i < names.size(); ++i)
        text += "LAND:X=" + std::to_string(i + 1) + ",Y=0,LE=" + std::to_string(i) + "\n";
    return text;
}

// What an import added to the document: an empty group would be invisible
// and out of reach, so none is added when nothing lands.
std::string Imported(const TVeskObject* added)
{
    return added ? Tree(*added) : "nothing";
}

class ImportMapping : public ::testing::Test {
protected:
    void SetUp() override { layers.ResetToDefaults(); }

    void Begin(const QStringList& names)
    {
        mapping.Begin(std::make_unique<std::istringstream>(DrawingWithLayers(names)));
    }

    TVeskLayerList layers;
    TVeskPart root;
    TVeskImportMapping mapping;
};

TEST_F(ImportMapping, RowsAreTheFileLayersAndStartEmpty)
{
    Begin({ QStringLiteral("top"), QStringLiteral("bottom") });
    EXPECT_EQ(mapping.RowCount(), 2);
    EXPECT_EQ(Joined(mapping.SourceNames()), Joined({ QStringLiteral("top"), QStringLiteral("bottom") }));
    EXPECT_EQ(Joined(mapping.Destinations()), Joined({ QString(), QString() }));
    EXPECT_EQ(mapping.PickList(layers).first(), QStringLiteral("hole"));
    EXPECT_EQ(mapping.PickList(layers).size(), layers.LayerCount());
}

TEST_F(ImportMapping, DestinationsAreLookedUpExactly)
{
    const struct {
        const char* destination;
        const char* result; // the land of row 0, or nothing when dropped
    } cases[] = {
        { "solder", "group[circle solder (10,0) d20]" },
        { "Solder", "nothing" }, // case matters
        { "solder ", "nothing" },
        { "nowhere", "nothing" },
        { "", "nothing" },
    };
    for (const auto& c : cases) {
        TVeskPart target;
        Begin({ QStringLiteral("top") });
        mapping.SetDestination(0, QString::fromUtf8(c.destination));
        EXPECT_EQ(Imported(mapping.Import(layers, target)), c.result) << c.destination;
    }
}

TEST_F(ImportMapping, EmptyDestinationDropsEvenWhenALayerHasNoName)
{
    layers.AddNamedLayer(0xFF000000, QString());
    Begin({ QStringLiteral("top") });
    EXPECT_EQ(TVeskImportMapping::Resolve(layers, QString()), nullptr);
    EXPECT_EQ(Imported(mapping.Import(layers, root)), "nothing");
}

TEST_F(ImportMapping, TwoRowsMayShareALayer)
{
    Begin({ QStringLiteral("top"), QStringLiteral("inner"), QStringLiteral("bottom") });
    mapping.SetDestination(0, QStringLiteral("component"));
    mapping.SetDestination(2, QStringLiteral("component"));
    EXPECT_EQ(Imported(mapping.Import(layers, root)),
        "group[circle component (10,0) d20; circle component (30,0) d20]");
}

TEST_F(ImportMapping, DestinationsFollowRowPositionsAcrossImports)
{
    Begin({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") });
    mapping.SetDestination(0, QStringLiteral("solder"));
    mapping.SetDestination(1, QStringLiteral("component"));
    mapping.SetDestination(2, QStringLiteral("hole"));
    mapping.Import(layers, root);

    // Other names, fewer rows: row i keeps row i's choice, the surplus goes.
    Begin({ QStringLiteral("x"), QStringLiteral("y") });
    EXPECT_EQ(
        Joined(mapping.Destinations()), Joined({ QStringLiteral("solder"), QStringLiteral("component") }));
    EXPECT_EQ(Imported(mapping.Import(layers, root)),
        "group[circle solder (10,0) d20; circle component (20,0) d20]");

    // More rows: the new ones start empty.
    Begin({ QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z") });
    EXPECT_EQ(Joined(mapping.Destinations()),
        Joined({ QStringLiteral("solder"), QStringLiteral("component"), QString() }));
}

TEST_F(ImportMapping, ImportAddsOneGroupToTheRootAndKeepsWhatWasThere)
{
    root.Add(TVeskGroup());
    Begin({ QStringLiteral("top") });
    mapping.SetDestination(0, QStringLiteral("solder"));
    const TVeskObject* added = mapping.Import(layers, root);
    ASSERT_EQ(root.ChildCount(), 2);
    EXPECT_EQ(root.ChildAt(1), added);
    EXPECT_EQ(added->GetOwner(), &root);
    EXPECT_FALSE(added->IsSelected());
    // The input is closed: a second import of it adds nothing.
    EXPECT_EQ(Imported(mapping.Import(layers, root)), "nothing");
}

TEST_F(ImportMapping, OpenReadsTheFileFromItsStartEachTime)
{
    const QString file = ImportFixturePath("land_without_aperture.pcb");
    ASSERT_TRUE(mapping.Open(file));
    mapping.SetDestination(1, QStringLiteral("component"));
    mapping.Cancel();
    ASSERT_TRUE(mapping.Open(file));
    EXPECT_EQ(mapping.RowCount(), 2);
    EXPECT_EQ(Imported(mapping.Import(layers, root)), "group[circle component (25,-40) d20]");
}

TEST_F(ImportMapping, RefusedFileGivesNoRowsAndKeepsTheChoices)
{
    QTemporaryDir dir;
    const QString notADrawing = dir.filePath(QStringLiteral("notes.txt"));
    {
        QFile file(notADrawing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("shopping list\nresistors\n");
    }
    const struct {
        const char* what;
        QString file;
    } cases[] = {
        { "missing", dir.filePath(QStringLiteral("missing.pcb")) },
        { "not a drawing", notADrawing },
        { "a folder", dir.path() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Begin({ QStringLiteral("top"), QStringLiteral("bottom") });
        mapping.SetDestination(0, QStringLiteral("solder"));
        mapping.SetDestination(1, QStringLiteral("component"));
        EXPECT_FALSE(mapping.Open(c.file));
        EXPECT_EQ(mapping.RowCount(), 0);
        EXPECT_EQ(Imported(mapping.Import(layers, root)), "nothing");
        EXPECT_EQ(Joined(mapping.Destinations()),
            Joined({ QStringLiteral("solder"), QStringLiteral("component") }));
        Begin({ QStringLiteral("other") });
        EXPECT_EQ(Imported(mapping.Import(layers, root)), "group[circle solder (10,0) d20]");
    }
}

TEST_F(ImportMapping, EmptyRowsDefaultToTheLayerOfTheirName)
{
    Begin({ QStringLiteral("solder"), QStringLiteral("top"), QStringLiteral("hole"),
        QStringLiteral("Solder") });
    mapping.SetDestination(2, QStringLiteral("component"));
    mapping.DefaultDestinations(layers);
    // A chosen destination stays; a name the document lacks (case counts) stays empty.
    EXPECT_EQ(Joined(mapping.Destinations()),
        Joined({ QStringLiteral("solder"), QString(), QStringLiteral("component"), QString() }));
}

TEST_F(ImportMapping, DestinationsRoundTripThroughRowKeys)
{
    QMap<QString, QString> settings { { QStringLiteral("Layer0"), QStringLiteral("solder") },
        { QStringLiteral("Layer1"), QString() }, { QStringLiteral("Layer2"), QStringLiteral("hole") },
        { QStringLiteral("Layer4"), QStringLiteral("after a gap") } };
    mapping.LoadDestinations([&](const QString& key) -> std::optional<QString> {
        if (!settings.contains(key))
            return std::nullopt;
        return settings.value(key);
    });
    EXPECT_EQ(Joined(mapping.Destinations()),
        Joined({ QStringLiteral("solder"), QString(), QStringLiteral("hole") }));

    Begin({ QStringLiteral("a"), QStringLiteral("b") });
    mapping.SetDestination(1, QStringLiteral("component"));
    QMap<QString, QString> saved;
    mapping.SaveDestinations([&](const QString& key, const QString& value) { saved[key] = value; });
    EXPECT_EQ(saved,
        (QMap<QString, QString> { { QStringLiteral("Layer0"), QStringLiteral("solder") },
            { QStringLiteral("Layer1"), QStringLiteral("component") } }));
}

TEST_F(ImportMapping, RowsOutsideTheFileAreIgnored)
{
    Begin({ QStringLiteral("top") });
    mapping.SetDestination(-1, QStringLiteral("solder"));
    mapping.SetDestination(1, QStringLiteral("solder"));
    EXPECT_EQ(Joined(mapping.Destinations()), Joined({ QString() }));
    EXPECT_EQ(mapping.Destination(5), QString());
}

} // namespace
} // namespace vesk::test
