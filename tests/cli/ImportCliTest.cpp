// vesk-cli import: the legacy board fixture imported with and without layer
// mappings, into new and existing documents, and every way the command refuses.
#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

using namespace vesk;

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VESK_CLI_PATH), args);
    if (!p.waitForFinished(120000))
        p.kill();
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        p.readAllStandardError() };
}

QString fixture(const char* name)
{
    return QStringLiteral(VESK_TEST_DATA "/") + QLatin1String(name);
}

const QString kBoard = fixture("import/board.pcb");

// Number of imported shapes per document layer name, below the one import group.
std::map<std::string, int> ShapesByLayer(const TVeskObject& group)
{
    std::map<std::string, int> counts;
    std::vector<TVeskObject*> leaves;
    const_cast<TVeskObject&>(group).CollectLeaves(leaves);
    for (const TVeskObject* o : leaves) {
        const auto* shape = dynamic_cast<const TVeskInstance*>(o);
        ++counts[shape && shape->GetLayer() ? shape->GetLayer()->Name().toStdString() : "?"];
    }
    return counts;
}

class ImportCli : public ::testing::Test {
protected:
    QString Out(const char* name) const { return dir.filePath(QLatin1String(name)); }

    // Reads the written document and returns its last root child, the import group.
    const TVeskGroup* ImportGroup(const QString& path)
    {
        EXPECT_TRUE(doc.Read(path).ok) << path.toStdString();
        const int n = doc.Root().ChildCount();
        return n > 0 ? dynamic_cast<const TVeskGroup*>(doc.Root().ChildAt(n - 1)) : nullptr;
    }

    QTemporaryDir dir;
    TVeskDocument doc;
};

TEST_F(ImportCli, RowsGoToLayersOfTheSameNameByDefault)
{
    const CliRun r = cli({ QStringLiteral("import"), kBoard, QStringLiteral("-o"), Out("out.vbf") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(),
        "version: 1.1\n"
        "layers: 5\n"
        "  0 component -> component\n"
        "  1 solder -> solder\n"
        "  2 シルク -> (not imported: no layer \"シルク\")\n"
        "  3 outline -> (not imported: no layer \"outline\")\n"
        "  4 drill -> (not imported: no layer \"drill\")\n"
        "imported: 10 objects, 3 groups\n" // U1-DRILL held only drill items: no empty group is kept
        "dropped: 8 on layers not imported, 0 unreadable\n");
    const TVeskGroup* group = ImportGroup(Out("out.vbf"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(doc.Root().ChildCount(), 1);
    EXPECT_EQ(doc.Layers().LayerCount(), 9); // a new document's default layers
    EXPECT_EQ(ShapesByLayer(*group), (std::map<std::string, int> { { "component", 5 }, { "solder", 5 } }));
}

TEST_F(ImportCli, MapOptionsChooseOrDropLayersPerRow)
{
    const CliRun r = cli({ QStringLiteral("import"), kBoard, QStringLiteral("-o"), Out("out.vbf"),
        QStringLiteral("--map"), QStringLiteral("2=place_cmp"), QStringLiteral("--map"),
        QStringLiteral("3=dimension"), QStringLiteral("--map"), QStringLiteral("4=hole"),
        QStringLiteral("--map"), QStringLiteral("1="), QStringLiteral("--map"), QStringLiteral("0=Component"),
        QStringLiteral("--map"), QStringLiteral("0=component") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("  1 solder -> (not imported)\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("  2 シルク -> place_cmp\n"));
    EXPECT_TRUE(r.out.contains("imported: 13 objects, 3 groups\n"));
    const TVeskGroup* group = ImportGroup(Out("out.vbf"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(ShapesByLayer(*group),
        (std::map<std::string, int> {
            { "component", 5 }, { "place_cmp", 2 }, { "dimension", 4 }, { "hole", 2 } }));
}

TEST_F(ImportCli, MapToAnUnknownLayerDropsTheRowAndSaysSo)
{
    const CliRun r = cli({ QStringLiteral("import"), kBoard, QStringLiteral("-o"), Out("out.vbf"),
        QStringLiteral("--map"), QStringLiteral("0=Component") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("  0 component -> (not imported: no layer \"Component\")\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("imported: 5 objects, 1 groups\n"));
}

TEST_F(ImportCli, IntoAnExistingDocumentKeepsItsLayersAndObjects)
{
    TVeskDocument before;
    ASSERT_TRUE(before.Read(fixture("board.vbf")).ok);
    const CliRun r = cli({ QStringLiteral("import"), kBoard, QStringLiteral("-o"), Out("out.vbf"),
        QStringLiteral("--into"), fixture("board.vbf") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_NE(ImportGroup(Out("out.vbf")), nullptr);
    ASSERT_EQ(doc.Root().ChildCount(), before.Root().ChildCount() + 1);
    ASSERT_EQ(doc.Layers().LayerCount(), before.Layers().LayerCount());
    for (int i = 0; i < before.Layers().LayerCount(); ++i)
        EXPECT_EQ(doc.Layers().LayerAt(i)->Name(), before.Layers().LayerAt(i)->Name());
    for (int i = 0; i < before.Root().ChildCount(); ++i)
        EXPECT_STREQ(doc.Root().ChildAt(i)->Tag(), before.Root().ChildAt(i)->Tag());
}

TEST_F(ImportCli, RefusesWithoutWritingAnything)
{
    const QString out = Out("out.vbf");
    const struct {
        QStringList args;
        int exitCode;
        const char* says;
    } cases[] = {
        { { kBoard }, 2, "needs an output document" },
        { { kBoard, QStringLiteral("-o"), out, QStringLiteral("--map"), QStringLiteral("solder") }, 2,
            "ROW=LAYER" },
        { { kBoard, QStringLiteral("-o"), out, QStringLiteral("--map"), QStringLiteral("-1=solder") }, 2,
            "ROW=LAYER" },
        { { kBoard, QStringLiteral("-o"), out, QStringLiteral("--map"), QStringLiteral("5=solder") }, 2,
            "layer rows 0 to 4" },
        { { fixture("import/missing.pcb"), QStringLiteral("-o"), out }, 1, "cannot be opened" },
        { { fixture("import/no_sections.pcb"), QStringLiteral("-o"), out }, 1, "no layer definitions" },
        { { kBoard, QStringLiteral("-o"), out, QStringLiteral("--into"), fixture("missing.vbf") }, 1,
            "cannot read" },
        { { kBoard, QStringLiteral("-o"), QStringLiteral("/nonexistent-dir/out.vbf") }, 1, "cannot write" },
    };
    for (const auto& c : cases) {
        const CliRun r = cli(QStringList { QStringLiteral("import") } + c.args);
        const std::string args = c.args.join(u' ').toStdString();
        EXPECT_EQ(r.exitCode, c.exitCode) << args << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("vesk-cli: ")) << args;
        EXPECT_TRUE(r.err.contains(c.says)) << args << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args;
        EXPECT_FALSE(QFile::exists(out)) << args;
    }
}

} // namespace
