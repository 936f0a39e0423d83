// vesk-cli gerber, and gerbv, a Gerber reader nobody here wrote, reading
// every file it exports from the fixture board.
#include "CliSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

using namespace vesk::test;

// ---------------------------------------------------------------- the command

TEST(GerberCli, WritesEveryLayerThatHoldsObjectsAndPrintsEachFile)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("new/folder"));
    const ProcessRun r = cli({ QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), folder });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    QStringList names;
    for (const QString& file : lines(r.out)) {
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
        EXPECT_EQ(QFileInfo(file).absolutePath(), QDir(folder).absolutePath());
        names << QFileInfo(file).fileName();
    }
    EXPECT_EQ(names,
        QStringList(
            { QStringLiteral("hole.gbr"), QStringLiteral("solder.gbr"), QStringLiteral("component.gbr"),
                QStringLiteral("place_cmp.gbr"), QStringLiteral("dimension.gbr") }))
        << "layer order; the empty stop_cmp is left out";
}

TEST(GerberCli, NamedLayersOnlyInTheirOrderAndOutlineMode)
{
    QTemporaryDir dir;
    const ProcessRun r
        = cli({ QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), dir.path(), QStringLiteral("--layer"),
            QStringLiteral("dimension"), QStringLiteral("--layer"), QStringLiteral("stop_cmp"),
            QStringLiteral("--layer"), QStringLiteral("dimension"), QStringLiteral("--outline") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(lines(r.out),
        QStringList(
            { dir.filePath(QStringLiteral("dimension.gbr")), dir.filePath(QStringLiteral("stop_cmp.gbr")) }));
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("dimension.gbr"))).contains("%ADD10C,0.100*%\n"));
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("stop_cmp.gbr"))).endsWith("%MIA0B1*%\nM02*\n"));
}

struct UsageCase {
    const char* what;
    QStringList args;
    int exitCode;
};

TEST(GerberCli, UsageAndInputErrors)
{
    const UsageCase cases[] = {
        { "help", { QStringLiteral("gerber"), QStringLiteral("--help") }, 0 },
        { "no folder", { QStringLiteral("gerber"), kBoard }, 2 },
        { "no document", { QStringLiteral("gerber"), QStringLiteral("-o"), QStringLiteral("/tmp") }, 2 },
        { "unknown option",
            { QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), QStringLiteral("/tmp"),
                QStringLiteral("--flash") },
            2 },
        { "unreadable document",
            { QStringLiteral("gerber"), QStringLiteral("/nonexistent.vbf"), QStringLiteral("-o"),
                QStringLiteral("/tmp") },
            1 },
    };
    for (const UsageCase& c : cases) {
        const ProcessRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.what << "\n" << r.err.toStdString();
        EXPECT_EQ(r.exitCode == 0 ? r.out.isEmpty() : r.err.isEmpty(), false) << c.what;
    }
}

TEST(GerberCli, AnUnknownLayerNameWritesNothing)
{
    QTemporaryDir dir;
    const ProcessRun r
        = cli({ QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), dir.path(), QStringLiteral("--layer"),
            QStringLiteral("component"), QStringLiteral("--layer"), QStringLiteral("copper") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "vesk-cli: no layer named \"copper\"\n");
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(GerberCli, ALayerThatCannotBeCreatedFailsTheRunButNotTheOtherLayers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("solder.gbr")));
    const ProcessRun r = cli({ QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), dir.path() });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("vesk-cli: layer \"solder\": cannot ")) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1);
    EXPECT_EQ(lines(r.out).size(), 4);
    EXPECT_FALSE(lines(r.out).join(u' ').contains(QStringLiteral("solder.gbr")));
}

TEST(GerberCli, AFileThatCannotBeWrittenInFullIsReported)
{
    QTemporaryDir dir;
    // Files may grow to 4 KiB: the board edge fits, the component layer does not.
    const ProcessRun r
        = cli({ QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), dir.path(), QStringLiteral("--layer"),
                  QStringLiteral("component"), QStringLiteral("--layer"), QStringLiteral("dimension") },
            [] {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit { 4096, 4096 };
                setrlimit(RLIMIT_FSIZE, &limit);
            });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("vesk-cli: layer \"component\": cannot write ")) << r.err.toStdString();
    EXPECT_EQ(lines(r.out), QStringList { dir.filePath(QStringLiteral("dimension.gbr")) });
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("dimension.gbr") })
        << "no partial file and no temporary file remain";
}

// ---------------------------------------------------------------- gerbv

int darkPixels(const QString& png)
{
    const QImage image(png);
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

class Gerbv : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(gerbv().isEmpty()) << "gerbv is not installed; tools/setup.sh installs it";
        ASSERT_TRUE(dir.isValid());
    }

    // Exports into a fresh folder and returns the files written.
    QStringList exportBoard(const QString& name, QStringList options)
    {
        const QString folder = dir.filePath(name);
        const ProcessRun r
            = cli(QStringList { QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), folder } + options);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return lines(r.out);
    }

    void expectClean(const QString& file, bool hasContent)
    {
        const QString png = file + QStringLiteral(".png");
        const ProcessRun r = gerbvToPng(file, png);
        EXPECT_EQ(r.exitCode, 0) << file.toStdString() << "\n" << r.err.toStdString();
        EXPECT_GT(QFileInfo(png).size(), 0) << file.toStdString();
        if (hasContent) {
            EXPECT_GT(darkPixels(png), 20) << file.toStdString() << " renders blank";
        }
    }

    QTemporaryDir dir;
};

TEST_F(Gerbv, ReadsEveryGerberFileOfTheBoardWithoutComplaint)
{
    const QStringList files = exportBoard(QStringLiteral("gerber"), {});
    ASSERT_EQ(files.size(), 5);
    for (const QString& file : files)
        expectClean(file, true);
}

TEST_F(Gerbv, ReadsEveryOutlineFileOfTheBoardWithoutComplaint)
{
    const QStringList files = exportBoard(QStringLiteral("outline"), { QStringLiteral("--outline") });
    ASSERT_EQ(files.size(), 5);
    for (const QString& file : files)
        expectClean(file, !file.endsWith(QLatin1String("place_cmp.gbr"))); // lettering has no outline
}

TEST_F(Gerbv, ReadsTheFileOfAnEmptyLayer)
{
    const QStringList files
        = exportBoard(QStringLiteral("empty"), { QStringLiteral("--layer"), QStringLiteral("stop_cmp") });
    ASSERT_EQ(files.size(), 1);
    expectClean(files[0], false);
}

TEST_F(Gerbv, TheCheckCatchesAFileWithoutItsEndRecord)
{
    const QStringList files
        = exportBoard(QStringLiteral("cut"), { QStringLiteral("--layer"), QStringLiteral("dimension") });
    ASSERT_EQ(files.size(), 1);
    QByteArray text = readAll(files[0]);
    ASSERT_TRUE(text.endsWith("M02*\n"));
    text.chop(5);
    QFile cut(files[0]);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(text);
    cut.close();
    EXPECT_NE(gerbvToPng(files[0], files[0] + QStringLiteral(".png")).exitCode, 0);
}

} // namespace
