// vesk-cli drill, and vesk-cli gerber --format x2.
#include "CliSupport.h"
#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace vesk;
using namespace vesk::test;

TEST(DrillCli, WritesTheHoleLayerAndPrintsTheCounts)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("out/board.drl"));
    const ProcessRun r = cli({ QStringLiteral("drill"), kBoard, QStringLiteral("-o"), file });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(lines(r.out), QStringList { file + QStringLiteral(": 2 holes, 0 slots, 2 tools") });
    const QByteArray text = readAll(file);
    EXPECT_TRUE(text.startsWith("M48\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("T1C1.200\nT2C1.600\n%\n")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("T1\nX25.000Y-57.000\nT2\nX10.000Y-57.000\nM30\n")) << text.toStdString();
}

// A rectangle on the hole layer is no drill: it is named with its place,
// the rest is still written, and the exit code says something was left out.
TEST(DrillCli, AShapeNoDrillMakesIsReportedAndTheExitCodeIsOne)
{
    QTemporaryDir dir;
    TVeskDocument doc;
    TVeskLayer* hole = doc.Layers().FindLayer(QStringLiteral("hole"));
    TVeskRect rect(hole, TVeskSurface(0, false, true, 4));
    rect.SetCorners({ 100, 100 }, { 140, 120 });
    rect.SetName(QStringLiteral("slot?"));
    doc.Root().Add(rect);
    TVeskEllipse circle(hole, TVeskSurface(0, false, true, 4));
    circle.SetCircle({ 300, 300 }, { 310, 300 });
    doc.Root().Add(circle);
    const QString document = dir.filePath(QStringLiteral("d.vbf"));
    ASSERT_TRUE(doc.Write(document).ok);
    const QString file = dir.filePath(QStringLiteral("drill.drl"));
    const ProcessRun r = cli({ QStringLiteral("drill"), document, QStringLiteral("-o"), file });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        r.err.contains("vesk-cli: layer \"hole\": rectangle \"slot?\" at (12.000 mm, 11.000 mm) is neither "
                       "round nor an oblong"))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("1 shape(s) left out")) << r.err.toStdString();
    EXPECT_TRUE(readAll(file).contains("T1C2.000\n%\nG90\nG05\nT1\nX30.000Y-30.000\nM30\n"));
}

TEST(DrillCli, NonPlatedLayersGoBesideTheFile)
{
    QTemporaryDir dir;
    TVeskDocument doc;
    TVeskLayer* npth = doc.Layers().AddNamedLayer(0xFF000000, QStringLiteral("npth"));
    TVeskEllipse circle(npth, TVeskSurface(0, false, true, 4));
    circle.SetCircle({ 300, 300 }, { 330, 300 });
    doc.Root().Add(circle);
    const QString document = dir.filePath(QStringLiteral("d.vbf"));
    ASSERT_TRUE(doc.Write(document).ok);
    const ProcessRun r = cli({ QStringLiteral("drill"), document, QStringLiteral("-o"),
        dir.filePath(QStringLiteral("drill.drl")) });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(lines(r.out),
        QStringList(
            { dir.filePath(QStringLiteral("drill.drl")) + QStringLiteral(": nothing to drill, not written"),
                dir.filePath(QStringLiteral("drill-npth.drl"))
                    + QStringLiteral(": 1 holes, 0 slots, 1 tools") }));
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("drill-npth.drl"))).contains(";TYPE=NON_PLATED\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("drill.drl"))));
}

struct UsageCase {
    const char* what;
    QStringList args;
    int exitCode;
    const char* message;
};

TEST(DrillCli, WrongUsageAndUnknownLayersAreRefused)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.drl"));
    const UsageCase cases[] = {
        { "no output", { QStringLiteral("drill"), kBoard }, 2, "drill needs an output file" },
        { "unknown layer",
            { QStringLiteral("drill"), kBoard, QStringLiteral("-o"), out, QStringLiteral("--layer"),
                QStringLiteral("nosuch") },
            1, "no layer named \"nosuch\"" },
        { "unreadable document",
            { QStringLiteral("drill"), dir.filePath(QStringLiteral("none.vbf")), QStringLiteral("-o"), out },
            1, "cannot read" },
        { "unknown Gerber format",
            { QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), dir.path(), QStringLiteral("--format"),
                QStringLiteral("x3") },
            2, "unknown format 'x3'" },
    };
    for (const UsageCase& c : cases) {
        const ProcessRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.what;
        EXPECT_TRUE(r.err.contains(c.message)) << c.what << ": " << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << c.what;
    }
}

TEST(GerberCli, FormatX2WritesAttributesAndNanometres)
{
    QTemporaryDir dir;
    const ProcessRun r = cli(
        { QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), dir.path(), QStringLiteral("--format"),
            QStringLiteral("x2"), QStringLiteral("--layer"), QStringLiteral("hole") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray text = readAll(dir.filePath(QStringLiteral("hole.gbr")));
    EXPECT_TRUE(text.startsWith("G04 #@! TF.GenerationSoftware,Vesk,Vesk2.0,")) << text.toStdString();
    EXPECT_TRUE(text.contains("G04 #@! TF.FileFunction,Plated,1,2,PTH*\nG04 #@! TF.FilePolarity,Positive*\n"
                              "%FSLAX46Y46*%\n%MOMM*%\nG01*\n%LPD*%\n"));
    EXPECT_TRUE(text.contains("D10*\nX10000000Y-57000000D03*\n")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("M02*\n"));
    for (const char* deprecated : { "G54", "G70", "G71", "%OF", "%IP", "%MI", "%LN", "%AS", "%IR", "%SF" })
        EXPECT_FALSE(text.contains(deprecated)) << deprecated;
}

} // namespace
