// The fixture board and the golden Gerber files made from it. Both are
// regenerated from the code with VESK_REGENERATE_FIXTURES=1; review the diff.
#include "GerberBoard.h"

#include "gerber/Gerberexport.h"
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vesk::test {
namespace {

QString dataPath(const QString& name)
{
    return QStringLiteral(VESK_TEST_DATA "/gerber/") + name;
}

bool regenerating()
{
    return qEnvironmentVariableIntValue("VESK_REGENERATE_FIXTURES") == 1;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

std::vector<int> layerIndices(const TVeskDocument& doc, const QStringList& names)
{
    std::vector<int> indices;
    for (const QString& name : names)
        indices.push_back(doc.Layers().FindLayer(name)->index);
    return indices;
}

TEST(GerberBoard, CommittedFixtureIsWhatTheCodeBuilds)
{
    TVeskDocument doc;
    BuildGerberBoard(doc);
    const QByteArray built = doc.ToBytes();
    if (regenerating())
        writeFile(dataPath(QStringLiteral("board.vbf")), built);
    EXPECT_EQ(readFile(dataPath(QStringLiteral("board.vbf"))), built)
        << "tests/data/gerber/board.vbf is stale: regenerate it and review";

    TVeskDocument read;
    ASSERT_TRUE(read.Read(dataPath(QStringLiteral("board.vbf"))));
    EXPECT_EQ(read.ToBytes(), built) << "the fixture reads back as it was built";
}

TEST(GerberBoard, FontFreeLayersMatchTheirGoldenFiles)
{
    TVeskDocument doc;
    BuildGerberBoard(doc);
    QTemporaryDir dir;
    const QStringList names = GerberBoardFontFreeLayers();
    const TGerberExportResult r
        = ExportGerberFiles(doc.Root(), doc.Layers(), layerIndices(doc, names), dir.path());
    ASSERT_TRUE(r.AllWritten());
    for (const TGerberLayerResult& layer : r.layers) {
        const QByteArray written = readFile(layer.fileName);
        const QString golden = dataPath(QStringLiteral("golden/") + layer.layerName + QStringLiteral(".gbr"));
        if (regenerating())
            writeFile(golden, written);
        EXPECT_EQ(written, readFile(golden))
            << layer.layerName.toStdString() << " differs from its golden file";
    }
}

TEST(GerberBoard, EveryLayerWithObjectsComesOutOutlinedAndInGerberMode)
{
    TVeskDocument doc;
    BuildGerberBoard(doc);
    const QStringList used { QStringLiteral("dimension"), QStringLiteral("place_cmp"),
        QStringLiteral("component"), QStringLiteral("solder"), QStringLiteral("hole") };
    for (const bool outline : { false, true }) {
        QTemporaryDir dir;
        const std::vector<int> indices = layerIndices(doc, used);
        const TGerberExportResult r = outline
            ? ExportOutlineFiles(doc.Root(), doc.Layers(), indices, dir.path())
            : ExportGerberFiles(doc.Root(), doc.Layers(), indices, dir.path());
        ASSERT_EQ(r.layers.size(), size_t(used.size()));
        for (const TGerberLayerResult& layer : r.layers) {
            EXPECT_TRUE(layer.ok) << layer.Message().toStdString();
            const QByteArray text = readFile(layer.fileName);
            EXPECT_TRUE(text.startsWith("G75*\n")) << layer.layerName.toStdString();
            EXPECT_TRUE(text.endsWith("\nM02*\n")) << layer.layerName.toStdString();
            // Lettering takes no part in merged outlines.
            const bool empty = outline && layer.layerName == QLatin1String("place_cmp");
            EXPECT_EQ(text.contains("D01*\n") || text.contains("D03*\n"), !empty)
                << layer.layerName.toStdString() << " has strokes or flashes";
            if (outline && !empty) {
                EXPECT_TRUE(text.contains("%MIA0B1*%\n%ADD10C,0.100*%\nG54D10*\n"))
                    << layer.layerName.toStdString();
            }
        }
    }
}

} // namespace
} // namespace vesk::test
