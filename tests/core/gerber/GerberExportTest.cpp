#include "gerber/Gerberexport.h"

#include "GerberTestSupport.h"
#include "shapes/Veskpart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace vesk::test {
namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(GerberFileName, NamesStayInsideTheFolder)
{
    struct Case {
        QString layer;
        int index;
        QString file;
    } cases[] = {
        { QStringLiteral("component"), 6, QStringLiteral("component.gbr") },
        { QStringLiteral("シルク"), 2, QStringLiteral("シルク.gbr") },
        { QStringLiteral("../../etc/passwd"), 0, QStringLiteral("______etc_passwd.gbr") },
        { QStringLiteral(".."), 0, QStringLiteral("__.gbr") },
        { QStringLiteral("a\\b/c"), 0, QStringLiteral("a_b_c.gbr") },
        { QStringLiteral("tab\tnew\nline\x7f"), 0, QStringLiteral("tab_new_line_.gbr") },
        { QStringLiteral("v1.5"), 0, QStringLiteral("v1.5.gbr") },
        { QString(), 3, QStringLiteral("layer3.gbr") },
    };
    for (const Case& c : cases)
        EXPECT_EQ(GerberFileName(c.layer, c.index), c.file) << c.layer.toStdString();
}

class GerberExport : public GerberTest {
protected:
    void SetUp() override
    {
        GerberTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        root.Add(*MakeRect({ 10, 10 }, 4, 4, SurfaceOf(0, true)));
        TVeskPath onSolder(solder, SurfaceOf(2, false));
        onSolder.SetPoints(StraightEntries({ { 0, 0 }, { 30, 0 } }), {});
        root.Add(onSolder);
    }

    QString fileIn(const QString& name) const { return QDir(dir.path()).filePath(name); }

    QTemporaryDir dir;
    TVeskPart root;
};

TEST_F(GerberExport, OneFilePerChosenLayerNamedAfterIt)
{
    const TGerberExportResult r
        = ExportGerberFiles(root, layers, { component->index, solder->index }, dir.path());
    ASSERT_EQ(r.layers.size(), 2u);
    EXPECT_TRUE(r.AllWritten());
    EXPECT_EQ(r.layers[0].fileName, fileIn(QStringLiteral("component.gbr")));
    EXPECT_EQ(r.layers[1].fileName, fileIn(QStringLiteral("solder.gbr")));
    EXPECT_TRUE(readFile(r.layers[0].fileName).contains("%LNcomponent*%\n"));
    EXPECT_TRUE(readFile(r.layers[0].fileName).contains("D03*\n"));
    EXPECT_TRUE(readFile(r.layers[1].fileName).contains("D01*\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(GerberExport, AnUnsafeLayerNameWritesInsideTheFolderAndKeepsItsRecord)
{
    solder->SetName(QStringLiteral("../escape"));
    const TGerberExportResult r = ExportGerberFiles(root, layers, { solder->index }, dir.path());
    ASSERT_TRUE(r.AllWritten()) << r.layers[0].Message().toStdString();
    EXPECT_EQ(r.layers[0].fileName, fileIn(QStringLiteral("___escape.gbr")));
    EXPECT_TRUE(readFile(r.layers[0].fileName).contains("%LN../escape*%\n"));
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("../escape.gbr"))));
}

TEST_F(GerberExport, AFailedLayerIsReportedAndTheOthersAreStillWritten)
{
    // Something that is no file stands where the component file would go.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("component.gbr")));
    const TGerberExportResult r
        = ExportGerberFiles(root, layers, { component->index, solder->index, 99 }, dir.path());
    ASSERT_EQ(r.layers.size(), 3u);
    EXPECT_FALSE(r.AllWritten());
    EXPECT_FALSE(r.layers[0].ok);
    EXPECT_EQ(r.layers[0].layerName, QStringLiteral("component"));
    EXPECT_TRUE(r.layers[0].Message().startsWith(QStringLiteral("layer \"component\": cannot")))
        << r.layers[0].Message().toStdString();
    EXPECT_TRUE(r.layers[1].ok);
    EXPECT_TRUE(readFile(r.layers[1].fileName).endsWith("M02*\n"));
    EXPECT_FALSE(r.layers[2].ok) << "an index without layer";
    EXPECT_EQ(r.layers[2].layerIndex, 99);
}

TEST_F(GerberExport, ASecondLayerOfTheSameFileNameIsRefusedNotWrittenOverTheFirst)
{
    solder->SetName(QStringLiteral("copper"));
    component->SetName(QStringLiteral("copper"));
    const TGerberExportResult r
        = ExportGerberFiles(root, layers, { solder->index, component->index }, dir.path());
    ASSERT_EQ(r.layers.size(), 2u);
    EXPECT_TRUE(r.layers[0].ok);
    EXPECT_FALSE(r.layers[1].ok);
    EXPECT_TRUE(r.layers[1].error.English().contains(QStringLiteral("another layer")))
        << r.layers[1].error.English().toStdString();
    EXPECT_TRUE(readFile(fileIn(QStringLiteral("copper.gbr"))).contains("D01*")) << "the solder track stays";
}

TEST_F(GerberExport, AFolderThatCannotHoldFilesFailsEveryLayer)
{
    QFile plain(fileIn(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const TGerberExportResult r
        = ExportGerberFiles(root, layers, { component->index, solder->index }, plain.fileName());
    ASSERT_EQ(r.layers.size(), 2u);
    for (const TGerberLayerResult& layer : r.layers) {
        EXPECT_FALSE(layer.ok);
        EXPECT_FALSE(layer.error.IsEmpty());
    }
}

TEST_F(GerberExport, ACoordinateOutOfRangeLeavesThePreviousFileAndNamesTheLayer)
{
    QFile previous(fileIn(QStringLiteral("component.gbr")));
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("previous export\n");
    previous.close();
    root.Add(*MakeRect({ -10000, 0 }, 4, 4, SurfaceOf(0, true)));
    const TGerberExportResult r
        = ExportGerberFiles(root, layers, { component->index, solder->index }, dir.path());
    ASSERT_FALSE(r.layers[0].ok);
    EXPECT_TRUE(r.layers[0].Message().startsWith(QStringLiteral("layer \"component\": ")));
    EXPECT_TRUE(r.layers[0].error.English().contains(QStringLiteral("-1000.000 mm")))
        << r.layers[0].error.English().toStdString();
    EXPECT_EQ(readFile(previous.fileName()), "previous export\n");
    EXPECT_TRUE(r.layers[1].ok);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left behind";
}

TEST_F(GerberExport, OutlineModeStrokesTheMergedOutlineWithATenthMillimetre)
{
    TVeskPart board;
    board.Add(*MakeRect({ 10, 10 }, 20, 20, SurfaceOf(0, true)));
    board.Add(*MakeRect({ 100, 10 }, 20, 20, SurfaceOf(0, true)));
    const TGerberExportResult r = ExportOutlineFiles(board, layers, { component->index }, dir.path());
    ASSERT_TRUE(r.AllWritten());
    const QByteArray file = readFile(r.layers[0].fileName);
    EXPECT_TRUE(file.contains("%MIA0B1*%\n%ADD10C,0.100*%\nG54D10*\n")) << file.toStdString();
    const std::vector<Record> records = ParseBody(BodyLines(file));
    int moves = 0;
    for (const Record& rec : records) {
        if (rec.kind == Record::Select) {
            EXPECT_EQ(rec.code, 10) << "nothing but the outline pen";
        }
        EXPECT_NE(rec.kind, Record::Flash);
        moves += rec.kind == Record::Move;
    }
    EXPECT_EQ(moves, 2) << "two separate squares, two figures, no hatch";
}

} // namespace
} // namespace vesk::test
