// vesk-cli render: the command line wired to the renderer's PNG and PDF output.
#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray err;
};

CliRun runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VESK_CLI_PATH), args);
    p.waitForFinished(60000);
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError() };
}

// A solder rectangle 20 x 5 mm at (10, 20) mm and a component rectangle
// 10 x 5 mm at (50, 20) mm.
class RenderCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        using namespace vesk;
        TVeskDocument doc;
        const auto add = [&](const char* layer, RectF box) {
            TVeskRect rect(doc.Layers().FindLayer(QLatin1String(layer)), TVeskSurface(0, false, true, 4));
            rect.SetCorners({ box.X, box.Y }, { box.GetRight(), box.GetBottom() });
            doc.Root().Add(rect);
        };
        add("solder", { 100, 200, 200, 50 });
        add("component", { 500, 200, 100, 50 });
        ASSERT_TRUE(doc.Write(input()).ok);
    }
    QString input() const { return dir.filePath(QStringLiteral("board.vbf")); }
    QString output(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
};

struct Pixel {
    int x, y;
    QRgb rgb;
    bool same = true; // false: any colour but this one
};

struct PngCase {
    QStringList options;
    QSize size;
    std::vector<Pixel> pixels;
};

class RenderPng : public RenderCli, public ::testing::WithParamInterface<PngCase> { };

TEST_P(RenderPng, WritesThePictureTheOptionsAskFor)
{
    const PngCase& c = GetParam();
    const CliRun r
        = runCli(QStringList { QStringLiteral("render"), input(), QStringLiteral("-o"), output("out.png") }
            + c.options);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage image(output("out.png"));
    ASSERT_EQ(image.size(), c.size);
    for (const Pixel& p : c.pixels)
        EXPECT_EQ((image.pixel(p.x, p.y) & 0xFFFFFF) == (p.rgb & 0xFFFFFF), p.same)
            << c.options.join(u' ').toStdString() << " at " << p.x << "," << p.y << ": " << std::hex
            << image.pixel(p.x, p.y);
}

const QRgb kInk = 0x000000;
const QRgb kPaper = 0xFFFFFF;

INSTANTIATE_TEST_SUITE_P(Cli, RenderPng,
    ::testing::Values(
        // Screen colours, every layer, the default work area at 254 dpi.
        PngCase { {}, { 1000, 750 },
            { { 150, 225, kPaper, false }, { 150, 225, kInk, false }, { 550, 225, kPaper, false },
                { 400, 225, kPaper } } },
        PngCase { { QStringLiteral("--dpi"), QStringLiteral("127"), QStringLiteral("--black") }, { 500, 375 },
            { { 75, 112, kInk }, { 40, 112, kPaper } } },
        PngCase { { QStringLiteral("--layer"), QStringLiteral("component"), QStringLiteral("--black") },
            { 1000, 750 }, { { 550, 225, kInk }, { 150, 225, kPaper } } },
        PngCase { { QStringLiteral("--negative") }, { 1000, 750 }, { { 150, 225, kPaper }, { 5, 5, kInk } } },
        PngCase { { QStringLiteral("--mirror"), QStringLiteral("--black") }, { 1000, 750 },
            { { 800, 225, kInk }, { 150, 225, kPaper } } },
        // The visible drawing with 1 mm around it.
        PngCase { { QStringLiteral("--area"), QStringLiteral("fit"), QStringLiteral("--black") }, { 520, 70 },
            { { 110, 35, kInk }, { 5, 35, kPaper }, { 350, 35, kPaper }, { 460, 35, kInk } } },
        PngCase { { QStringLiteral("--area"), QStringLiteral("fit"), QStringLiteral("--layer"),
                      QStringLiteral("solder"), QStringLiteral("--black") },
            { 220, 70 }, { { 110, 35, kInk } } },
        PngCase { { QStringLiteral("--area"), QStringLiteral("50x25"), QStringLiteral("--black") },
            { 500, 250 }, { { 150, 190, kPaper }, { 150, 225, kInk } } }));

TEST_F(RenderCli, PdfPageIsTheWorkAreaInWholePoints)
{
    const CliRun r = runCli({ QStringLiteral("render"), input(), QStringLiteral("-o"), output("out.pdf"),
        QStringLiteral("--area"), QStringLiteral("210x297") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile f(output("out.pdf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString pdf = QString::fromLatin1(f.readAll());
    EXPECT_TRUE(pdf.startsWith(QStringLiteral("%PDF-")));
    const QRegularExpressionMatch box
        = QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]")).match(pdf);
    ASSERT_TRUE(box.hasMatch());
    EXPECT_EQ(box.captured(1).toDouble(), 596.0);
    EXPECT_EQ(box.captured(2).toDouble(), 842.0);
}

struct FailureCase {
    QStringList args; // after "render"; IN and OUT stand for the fixture and an output file
    int exitCode;
};

class RenderFailure : public RenderCli, public ::testing::WithParamInterface<FailureCase> { };

TEST_P(RenderFailure, ExitsWithTheCodeAndOneMessageAndWritesNothing)
{
    QStringList args { QStringLiteral("render") };
    for (const QString& a : GetParam().args)
        args << (a == QLatin1String("IN") ? input() : a == QLatin1String("OUT") ? output("out.png") : a);
    const CliRun r = runCli(args);
    EXPECT_EQ(r.exitCode, GetParam().exitCode) << args.join(u' ').toStdString() << "\n"
                                               << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("vesk-cli: ")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(output("out.png")));
}

INSTANTIATE_TEST_SUITE_P(Cli, RenderFailure,
    ::testing::Values(FailureCase { { QStringLiteral("IN") }, 2 },
        FailureCase { { QStringLiteral("IN"), QStringLiteral("-o"), QStringLiteral("out.txt") }, 2 },
        FailureCase { { QStringLiteral("IN"), QStringLiteral("-o"), QStringLiteral("OUT"),
                          QStringLiteral("--dpi"), QStringLiteral("0") },
            2 },
        FailureCase { { QStringLiteral("IN"), QStringLiteral("-o"), QStringLiteral("OUT"),
                          QStringLiteral("--dpi"), QStringLiteral("300.5") },
            2 },
        FailureCase { { QStringLiteral("IN"), QStringLiteral("-o"), QStringLiteral("OUT"),
                          QStringLiteral("--area"), QStringLiteral("0x75") },
            2 },
        FailureCase { { QStringLiteral("IN"), QStringLiteral("-o"), QStringLiteral("OUT"),
                          QStringLiteral("--area"), QStringLiteral("wide") },
            2 },
        FailureCase { { QStringLiteral("IN"), QStringLiteral("-o"), QStringLiteral("OUT"),
                          QStringLiteral("--layer"), QStringLiteral("no such layer") },
            2 },
        FailureCase {
            { QStringLiteral("/nonexistent/board.vbf"), QStringLiteral("-o"), QStringLiteral("OUT") }, 1 },
        FailureCase {
            { QStringLiteral("IN"), QStringLiteral("-o"), QStringLiteral("OUT"), QStringLiteral("--dpi"),
                QStringLiteral("10000"), QStringLiteral("--area"), QStringLiteral("1000x1000") },
            1 }));

TEST_F(RenderCli, OutputIntoAMissingFolderFails)
{
    const CliRun r = runCli({ QStringLiteral("render"), input(), QStringLiteral("-o"),
        dir.filePath(QStringLiteral("missing/out.png")) });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
}

} // namespace
