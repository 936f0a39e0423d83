// vesk-cli drc: findings as lines or JSON, the exit code telling whether
// anything was found, rules from the options, and bad input refused.
#include "CliSupport.h"
#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vesk;
using namespace vesk::test;

namespace {

void track(TVeskDocument& doc, const char* layer, PointF a, PointF b, float widthMm)
{
    TVeskPath p(doc.Layers().FindLayer(QLatin1String(layer)), TVeskSurface(widthMm * 10, false, false, 4));
    p.BeginPath();
    p.AppendAnchor(a * 10);
    p.AppendAnchor(b * 10);
    p.EndPath();
    p.SetSelected(false);
    doc.Root().Add(p);
}

TEST(DrcCli, FindingsAsJsonLinesExitOneAndTheOptionsSetTheRules)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TVeskDocument doc;
    doc.Reset();
    track(doc, "solder", { 0, 0 }, { 10, 0 }, 0.5f);
    track(doc, "solder", { 0, 0.75f }, { 10, 0.75f }, 0.5f); // 0.25 mm apart
    track(doc, "component", { 0, 5 }, { 10, 5 }, 0.15f);
    const QString file = dir.filePath(QStringLiteral("close.vbf"));
    ASSERT_TRUE(doc.Write(file).ok);

    const ProcessRun json = cli({ QStringLiteral("drc"), file, QStringLiteral("--json") });
    EXPECT_EQ(json.exitCode, 1) << json.err.toStdString();
    const QStringList found = lines(json.out);
    ASSERT_EQ(found.size(), 2) << json.out.toStdString();
    const QJsonObject clearance = QJsonDocument::fromJson(found[0].toUtf8()).object();
    EXPECT_EQ(clearance.value(QStringLiteral("rule")).toString(), QStringLiteral("clearance"));
    EXPECT_EQ(clearance.value(QStringLiteral("layer")).toString(), QStringLiteral("solder"));
    EXPECT_DOUBLE_EQ(clearance.value(QStringLiteral("found")).toDouble(), 0.25);
    EXPECT_DOUBLE_EQ(clearance.value(QStringLiteral("required")).toDouble(), 0.3);
    EXPECT_NEAR(clearance.value(QStringLiteral("y")).toDouble(), 0.375, 0.001);
    const QJsonObject width = QJsonDocument::fromJson(found[1].toUtf8()).object();
    EXPECT_EQ(width.value(QStringLiteral("rule")).toString(), QStringLiteral("width"));
    EXPECT_DOUBLE_EQ(width.value(QStringLiteral("found")).toDouble(), 0.15);

    const ProcessRun relaxed = cli({ QStringLiteral("drc"), file, QStringLiteral("--clearance"),
        QStringLiteral("0.2"), QStringLiteral("--width"), QStringLiteral("0.1") });
    EXPECT_EQ(relaxed.exitCode, 0) << relaxed.out.toStdString();
    EXPECT_EQ(lines(relaxed.out), QStringList { QStringLiteral("0 finding(s)") });

    const ProcessRun text
        = cli({ QStringLiteral("drc"), file, QStringLiteral("--width"), QStringLiteral("0.1") });
    EXPECT_EQ(text.exitCode, 1);
    // Parallel edges are marked in the middle of their overlap.
    EXPECT_EQ(lines(text.out),
        (QStringList { QStringLiteral("clearance solder at 5.000, 0.375 mm: 0.250 mm, needs 0.300 mm"),
            QStringLiteral("1 finding(s)") }));
}

TEST(DrcCli, TheExampleBoardIsCleanAndBadInputExitsTwo)
{
    const ProcessRun example
        = cli({ QStringLiteral("drc"), QStringLiteral(VESK_EXAMPLES "/blinker555.vbf") });
    EXPECT_EQ(example.exitCode, 0) << example.out.toStdString() << example.err.toStdString();

    const struct {
        QStringList args;
    } bad[] = {
        { { QStringLiteral("drc"), QStringLiteral(VESK_EXAMPLES "/blinker555.vbf"), QStringLiteral("--ring"),
            QStringLiteral("abc") } },
        { { QStringLiteral("drc"), QStringLiteral(VESK_EXAMPLES "/blinker555.vbf"), QStringLiteral("--edge"),
            QStringLiteral("-1") } },
        { { QStringLiteral("drc"), QStringLiteral(VESK_EXAMPLES "/missing.vbf") } },
        { { QStringLiteral("drc"), QStringLiteral(VESK_TEST_DATA "/gerber/board.vbf"),
            QStringLiteral("--nope") } },
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.args.join(u' ').toStdString());
        const ProcessRun r = cli(b.args);
        EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}

} // namespace
