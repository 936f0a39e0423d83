// Runs the real vesk-cli binary and checks its output and exit codes.
#include "io/Veskautosave.h"
#include "io/Veskdocument.h"
#include "io/Vesksnapshot.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliResult runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VESK_CLI_PATH), args);
    p.waitForFinished(60000);
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        p.readAllStandardError() };
}

QString fixture(const char* name) { return QStringLiteral(VESK_TEST_DATA "/") + QLatin1String(name); }

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct UsageCase {
    QStringList args;
    int exitCode;
};

class CliUsage : public ::testing::TestWithParam<UsageCase> { };

TEST_P(CliUsage, ExitCodes)
{
    const UsageCase& c = GetParam();
    const CliResult r = runCli(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(u' ').toStdString() << "\n" << r.err.toStdString();
    if (c.exitCode == 0)
        EXPECT_FALSE(r.out.isEmpty());
    else
        EXPECT_FALSE(r.err.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Commands, CliUsage,
    ::testing::Values(UsageCase { { QStringLiteral("--help") }, 0 },
        UsageCase { { QStringLiteral("--version") }, 0 },
        UsageCase { { QStringLiteral("info"), QStringLiteral("--help") }, 0 },
        UsageCase { { QStringLiteral("dump"), QStringLiteral("--help") }, 0 },
        UsageCase { { QStringLiteral("convert"), QStringLiteral("--help") }, 0 },
        UsageCase { {}, 2 },
        UsageCase { { QStringLiteral("frobnicate") }, 2 },
        UsageCase { { QStringLiteral("info") }, 2 },
        UsageCase { { QStringLiteral("info"), QStringLiteral("a.vbf"), QStringLiteral("b.vbf") }, 2 },
        UsageCase { { QStringLiteral("dump"), QStringLiteral("--bogus"), QStringLiteral("a.vbf") }, 2 },
        UsageCase { { QStringLiteral("convert"), QStringLiteral("only-one.vbf") }, 2 },
        UsageCase { { QStringLiteral("info"), QStringLiteral("/nonexistent/file.vbf") }, 1 },
        UsageCase { { QStringLiteral("dump"), QStringLiteral("/nonexistent/file.vbf") }, 1 }));

TEST(Cli, UnreadableInputGivesOneLineOnStderr)
{
    QTemporaryDir dir;
    const QString tiny = dir.filePath(QStringLiteral("tiny.vbf"));
    QFile f(tiny);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Vesk"); // shorter than the header
    f.close();
    const CliResult r = runCli({ QStringLiteral("info"), tiny });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
}

TEST(Cli, InfoOfEmptyDocument)
{
    const CliResult r = runCli({ QStringLiteral("info"), fixture("empty.vbf") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.contains(QStringLiteral("version: 3")));
    EXPECT_TRUE(text.contains(QStringLiteral("layers: 9")));
    EXPECT_TRUE(text.contains(QStringLiteral("0 hole #FFFFFFFF mask")));
    EXPECT_TRUE(text.contains(QStringLiteral("7 dimension #FF000000 wire-frame")));
    EXPECT_TRUE(text.contains(QStringLiteral("objects: 0")));
}

// A recovery file is a document like any other: the summary of the one an
// autosave wrote after an edit is that of the document saved after it.
TEST(Cli, InfoReadsARecoveryFile)
{
    QTemporaryDir dir;
    vesk::TVeskDocument doc;
    ASSERT_TRUE(doc.Read(fixture("board.vbf")));
    vesk::TVeskHistory history;
    vesk::TVeskEdit edit(doc, history);
    edit.Reset(10);
    edit.Begin(QStringLiteral("矩形"));
    vesk::TVeskRect rect(doc.Layers().FindLayer(QStringLiteral("solder")), vesk::TVeskSurface());
    rect.SetCorners({ 0, 0 }, { 100, 50 });
    doc.Root().Add(rect);
    ASSERT_TRUE(edit.Commit());
    const QString saved = dir.filePath(QStringLiteral("board.vbf"));
    ASSERT_TRUE(doc.Write(saved));
    const QString recovery = vesk::recovery::BesideDocument(saved);
    ASSERT_TRUE(vesk::TVeskSnapshot::Take(edit)->Write(recovery));

    const CliResult fromRecovery = runCli({ QStringLiteral("info"), recovery });
    const CliResult fromDocument = runCli({ QStringLiteral("info"), saved });
    ASSERT_EQ(fromRecovery.exitCode, 0) << fromRecovery.err.toStdString();
    EXPECT_EQ(fromRecovery.out, fromDocument.out);
    EXPECT_TRUE(QString::fromUtf8(fromRecovery.out).contains(QStringLiteral("objects: ")))
        << fromRecovery.out.toStdString();
}

TEST(Cli, DumpOfEmptyDocumentIsJson)
{
    const CliResult r = runCli({ QStringLiteral("dump"), fixture("empty.vbf") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonObject doc = QJsonDocument::fromJson(r.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(doc[QStringLiteral("version")].toInt(), 3);
    const QJsonArray layers = doc[QStringLiteral("layers")].toArray();
    ASSERT_EQ(layers.size(), 9);
    EXPECT_EQ(layers[1].toObject()[QStringLiteral("name")].toString(), QStringLiteral("solder"));
    EXPECT_EQ(layers[1].toObject()[QStringLiteral("color")].toString(), QStringLiteral("#FFEB2828"));
    const QJsonObject root = doc[QStringLiteral("root")].toObject();
    EXPECT_EQ(root[QStringLiteral("kind")].toString(), QStringLiteral("part"));
    EXPECT_EQ(root[QStringLiteral("name")].toString(), QStringLiteral("Part"));
    EXPECT_TRUE(root[QStringLiteral("children")].toArray().isEmpty());
}

TEST(Cli, ConvertKeepsVersion3DocumentsByteIdentical)
{
    QTemporaryDir dir;
    for (const char* name : { "empty.vbf", "board.vbf" }) {
        const QString out = dir.filePath(QLatin1String(name));
        const CliResult r = runCli({ QStringLiteral("convert"), fixture(name), out });
        ASSERT_EQ(r.exitCode, 0) << name << r.err.toStdString();
        EXPECT_EQ(readAll(out), readAll(fixture(name))) << name;
    }
}

TEST(Cli, ConvertWritesVersion2AsVersion3)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("v3.vbf"));
    ASSERT_EQ(runCli({ QStringLiteral("convert"), fixture("version2.vbf"), out }).exitCode, 0);
    const QByteArray bytes = readAll(out);
    ASSERT_GE(bytes.size(), 16);
    EXPECT_EQ(bytes.mid(8, 4), QByteArray("\x03\x00\x00\x00", 4));
    EXPECT_EQ(bytes, readAll(fixture("version2-as-3.vbf")));
}

TEST(Cli, ConvertToUnwritablePlaceFailsAndSaysWhy)
{
    const CliResult r
        = runCli({ QStringLiteral("convert"), fixture("empty.vbf"), QStringLiteral("/nonexistent-dir/out.vbf") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("vesk-cli: cannot write")) << r.err.toStdString();
}

} // namespace
