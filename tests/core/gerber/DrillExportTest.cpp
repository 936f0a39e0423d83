// Excellon drill files of the hole layers: circles as hits grouped into
// tools by diameter, round-capped straight strokes as slots, non-plated
// layers in a file of their own, and every other shape reported.
#include "gerber/Drillexport.h"

#include "GerberTestSupport.h"
#include "gerber/Excellonwriter.h"
#include "gerber/Gerberexport.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <functional>
#include <memory>

namespace vesk::test {
namespace {

const QDateTime kWhen(QDate(2026, 1, 2), QTime(3, 4, 5), QTimeZone::utc());

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ExcellonWriter, WorkedExampleFileLineForLine)
{
    TExcellonWriter plated(true);
    plated.AddHit({ 100, 200 }, 12);
    plated.AddHit({ 0, 0 }, 8);
    plated.AddSlot({ 15, 20 }, { 35, 20 }, 8);
    plated.AddHit({ 1234.5f, -0.001f }, 8.0001f);
    EXPECT_EQ(plated.ToolCount(), 2);
    EXPECT_EQ(plated.HitCount(), 3);
    EXPECT_EQ(plated.SlotCount(), 1);
    EXPECT_EQ(plated.Text(kWhen).toStdString(),
        ("M48\n"
         "; #@! TF.GenerationSoftware,"
            + GerberGenerationSoftware()
            + "\n"
              "; #@! TF.CreationDate,2026-01-02T03:04:05Z\n"
              "; #@! TF.FileFunction,Plated,1,2,PTH\n"
              ";TYPE=PLATED\n"
              "METRIC,LZ,000.000\n"
              "T1C0.800\n"
              "T2C1.200\n"
              "%\n"
              "G90\n"
              "G05\n"
              "T1\n"
              "X0.000Y0.000\n"
              "X123.450Y0.000\n"
              "X1.500Y-2.000G85X3.500Y-2.000\n"
              "T2\n"
              "X10.000Y-20.000\n"
              "M30\n")
            .toStdString());
    const QByteArray npth = TExcellonWriter(false).Text(kWhen);
    EXPECT_TRUE(npth.contains("; #@! TF.FileFunction,NonPlated,1,2,NPTH\n;TYPE=NON_PLATED\n"));
    EXPECT_TRUE(npth.endsWith("%\nG90\nG05\nM30\n"));
}

class DrillTest : public GerberTest {
protected:
    void SetUp() override
    {
        GerberTest::SetUp();
        hole = layers.FindLayer(QStringLiteral("hole"));
        ASSERT_NE(hole, nullptr);
    }

    template <class Shape> void addOnHole(std::unique_ptr<Shape> shape, const QString& name = {})
    {
        shape->SetLayer(hole);
        shape->SetName(name);
        root->Add(*shape);
    }

    std::unique_ptr<TVeskPart> root = std::make_unique<TVeskPart>();
    TVeskLayer* hole = nullptr;
};

TEST_F(DrillTest, EachShapeIsAHitASlotOrReported)
{
    struct Case {
        const char* what;
        std::function<void()> add;
        const char* body; // the lines after "G05", nullptr when reported
        const char* reportOrTool;
    };
    Matrix turned;
    turned.Rotate(37);
    Matrix stretched(2, 0, 0, 1, 0, 0);
    Matrix sheared(1, 0.5f, 0, 1, 0, 0);
    const Case cases[] = {
        { "a filled circle",
            [&] {
                addOnHole(MakeEllipse({ 100, 200 }, 4, 4, SurfaceOf(0, true)));
            },
            "T1\nX10.000Y-20.000\n", nullptr },
        { "a circle turned 37 degrees",
            [&] {
                addOnHole(MakeEllipse({ 100, 200 }, 4, 4, SurfaceOf(0, true), turned));
            },
            "T1\nX10.000Y-20.000\n", nullptr },
        { "an ellipse stretched round",
            [&] {
                addOnHole(MakeEllipse({ 100, 200 }, 2, 4, SurfaceOf(0, true), stretched));
            },
            "T1\nX10.000Y-20.000\n", nullptr },
        { "an outlined circle: to the outer edge",
            [&] {
                addOnHole(MakeEllipse({ 100, 200 }, 4, 4, SurfaceOf(2, false)));
            },
            "T1\nX10.000Y-20.000\n", "T1C1.000\n" },
        { "a round-capped straight stroke",
            [&] {
                addOnHole(MakePath(
                    StraightEntries({ { 10, 20 }, { 20, 20 }, { 40, 20 } }), SurfaceOf(8, false), false));
            },
            "T1\nX1.000Y-2.000G85X4.000Y-2.000\n", nullptr },
        { "a round-capped dot",
            [&] {
                addOnHole(MakePath(StraightEntries({ { 10, 20 }, { 10, 20 } }), SurfaceOf(8, false), false));
            },
            "T1\nX1.000Y-2.000\n", nullptr },
        { "an ellipse",
            [&] {
                addOnHole(MakeEllipse({ 100, 200 }, 4, 8, SurfaceOf(0, true)), QStringLiteral("E1"));
            },
            nullptr, "ellipse \"E1\" at (10.000 mm, 20.000 mm) is not round" },
        { "a sheared circle",
            [&] {
                addOnHole(MakeEllipse({ 100, 200 }, 4, 4, SurfaceOf(0, true), sheared));
            },
            nullptr, "is not round" },
        { "a rectangle",
            [&] {
                addOnHole(MakeRect({ 100, 200 }, 10, 10, SurfaceOf(0, true)), QStringLiteral("R7"));
            },
            nullptr, "rectangle \"R7\" at (10.000 mm, 20.000 mm) is neither round nor an oblong" },
        { "a square-capped stroke",
            [&] {
                addOnHole(
                    MakePath(StraightEntries({ { 10, 20 }, { 40, 20 } }), SurfaceOf(8, false, 1), false));
            },
            nullptr, "path at" },
        { "a bent stroke",
            [&] {
                addOnHole(MakePath(
                    StraightEntries({ { 10, 20 }, { 40, 20 }, { 40, 50 } }), SurfaceOf(8, false), false));
            },
            nullptr, "path at" },
        { "a cut-out circle",
            [&] {
                addOnHole(MakeEllipse({ 100, 200 }, 4, 4, TVeskSurface(0, true, true, 4)));
            },
            nullptr, "is a cut-out" },
    };
    for (const Case& c : cases) {
        root = std::make_unique<TVeskPart>();
        c.add();
        TExcellonWriter writer(true);
        std::vector<TVeskMessage> leftOut;
        CollectDrillHoles(*root, layers, hole->index, writer, leftOut);
        const QByteArray text = writer.Text(kWhen);
        const QByteArray body = text.mid(text.indexOf("G05\n") + 4);
        if (c.body) {
            EXPECT_TRUE(leftOut.empty()) << c.what << ": " << leftOut.front().English().toStdString();
            EXPECT_EQ(body.toStdString(), std::string(c.body) + "M30\n") << c.what;
            EXPECT_TRUE(text.contains(c.reportOrTool ? c.reportOrTool : "T1C0.800\n")) << c.what << "\n"
                                                                                       << text.toStdString();
        } else {
            ASSERT_EQ(leftOut.size(), 1u) << c.what;
            EXPECT_TRUE(leftOut[0].English().contains(QLatin1String(c.reportOrTool)))
                << c.what << ": " << leftOut[0].English().toStdString();
            EXPECT_TRUE(leftOut[0].English().startsWith(QLatin1String("layer \"hole\": ")))
                << leftOut[0].English().toStdString();
            EXPECT_EQ(body.toStdString(), "M30\n") << c.what;
        }
    }
}

TEST_F(DrillTest, ToolsAreNumberedByDiameterAndHitsKeepTheirOrder)
{
    TVeskGroup pads;
    for (const float r : { 6.0f, 4.0f, 6.0f, 5.0f }) {
        auto e = MakeEllipse({ r * 10, 0 }, r, r, SurfaceOf(0, true));
        e->SetLayer(hole);
        pads.Add(*e);
    }
    root->Add(pads);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("drill.drl"));
    TDrillOptions options;
    options.creationDate = kWhen;
    const TDrillExportResult r = ExportDrillFiles(*root, layers, DrillLayers(layers), file, options);
    ASSERT_TRUE(r.AllWritten());
    ASSERT_EQ(r.files.size(), 1u);
    EXPECT_EQ(r.files[0].tools, 3);
    EXPECT_EQ(r.files[0].hits, 4);
    const QByteArray text = readFile(file);
    EXPECT_TRUE(text.contains("T1C0.800\nT2C1.000\nT3C1.200\n%\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("T1\nX4.000Y0.000\nT2\nX5.000Y0.000\nT3\nX6.000Y0.000\nX6.000Y0.000\nM30\n"))
        << text.toStdString();
}

TEST_F(DrillTest, NonPlatedLayersGoToTheirOwnFile)
{
    TVeskLayer* npth = layers.AddNamedLayer(0xFF000000, QStringLiteral("Holes_NPTH"));
    ASSERT_NE(npth, nullptr);
    addOnHole(MakeEllipse({ 10, 10 }, 5, 5, SurfaceOf(0, true)));
    auto mounting = MakeEllipse({ 500, 500 }, 16, 16, SurfaceOf(0, true));
    mounting->SetLayer(npth);
    root->Add(*mounting);
    const std::vector<int> drillLayers = DrillLayers(layers);
    EXPECT_EQ(drillLayers.size(), 2u);
    QTemporaryDir dir;
    const TDrillExportResult r
        = ExportDrillFiles(*root, layers, drillLayers, dir.filePath(QStringLiteral("drill.drl")));
    ASSERT_TRUE(r.AllWritten());
    ASSERT_EQ(r.files.size(), 2u);
    EXPECT_EQ(r.files[1].fileName, dir.filePath(QStringLiteral("drill-npth.drl")));
    const QByteArray plated = readFile(r.files[0].fileName), nonPlated = readFile(r.files[1].fileName);
    EXPECT_TRUE(plated.contains("Plated,1,2,PTH") && plated.contains("X1.000Y-1.000\n"))
        << plated.toStdString();
    EXPECT_FALSE(plated.contains("X50.000"));
    EXPECT_TRUE(nonPlated.contains("NonPlated,1,2,NPTH") && nonPlated.contains("T1C3.200\n")
        && nonPlated.contains("X50.000Y-50.000\n"))
        << nonPlated.toStdString();
    EXPECT_FALSE(nonPlated.contains("X1.000"));
    // Only "hole" named: no second file.
    const TDrillExportResult one
        = ExportDrillFiles(*root, layers, { hole->index }, dir.filePath(QStringLiteral("only.drl")));
    EXPECT_EQ(one.files.size(), 1u);
}

// Readers refuse an Excellon file that drills nothing.
TEST_F(DrillTest, AFileWithoutAHoleIsNotWritten)
{
    TVeskLayer* npth = layers.AddNamedLayer(0xFF000000, QStringLiteral("npth"));
    auto mounting = MakeEllipse({ 500, 500 }, 16, 16, SurfaceOf(0, true));
    mounting->SetLayer(npth);
    root->Add(*mounting);
    QTemporaryDir dir;
    const TDrillExportResult r
        = ExportDrillFiles(*root, layers, DrillLayers(layers), dir.filePath(QStringLiteral("drill.drl")));
    EXPECT_TRUE(r.AllWritten());
    ASSERT_EQ(r.files.size(), 2u);
    EXPECT_TRUE(r.files[0].ok);
    EXPECT_TRUE(r.files[0].NothingToDrill());
    EXPECT_FALSE(QFile::exists(r.files[0].fileName));
    EXPECT_FALSE(r.files[1].NothingToDrill());
    EXPECT_TRUE(QFile::exists(r.files[1].fileName));
}

TEST_F(DrillTest, AFileThatCannotBeWrittenIsReported)
{
    addOnHole(MakeEllipse({ 10, 10 }, 5, 5, SurfaceOf(0, true)));
    QTemporaryDir dir;
    const TDrillExportResult r = ExportDrillFiles(
        *root, layers, { hole->index }, dir.filePath(QStringLiteral("missing/folder/drill.drl")));
    ASSERT_EQ(r.files.size(), 1u);
    EXPECT_FALSE(r.files[0].ok);
    EXPECT_FALSE(r.AllWritten());
    EXPECT_TRUE(r.files[0].error.English().contains(QLatin1String("cannot write")))
        << r.files[0].error.English().toStdString();
}

TEST_F(DrillTest, TheExportWritesDrillFilesBesideTheGerberFilesWhenAsked)
{
    addOnHole(MakeEllipse({ 10, 10 }, 5, 5, SurfaceOf(0, true)));
    QTemporaryDir dir;
    TGerberExportOptions options;
    options.format = TGerberFormat::X2;
    options.drillFile = true;
    const TGerberExportResult r = ExportFiles(*root, layers, { hole->index }, dir.path(), options);
    ASSERT_TRUE(r.AllWritten());
    ASSERT_TRUE(r.drill.has_value());
    EXPECT_EQ(r.drill->files[0].fileName, dir.filePath(QStringLiteral("drill.drl")));
    EXPECT_TRUE(readFile(dir.filePath(QStringLiteral("drill.drl"))).contains("X1.000Y-1.000\n"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("hole.gbr"))));
}

} // namespace
} // namespace vesk::test
