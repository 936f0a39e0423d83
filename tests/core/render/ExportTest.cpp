// PNG and PDF files: sizes, recorded resolution, true scale on the page,
// refusals of impossible options and failed writes.
#include "PdfProbe.h"
#include "RenderTestSupport.h"
#include "render/Renderexport.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <cmath>

namespace vesk::test {
namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Export : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TVeskDocument doc;
    TExportOptions options;
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

TEST_F(Export, PngHasTheWindowsSizeAtItsResolutionAndRecordsIt)
{
    AddRect(doc, "solder", { 100, 200, 200, 50 });
    for (const int dpi : { 254, 600 }) {
        SCOPED_TRACE(dpi);
        options.dotsPerInch = dpi;
        const TDocumentResult r = ExportPng(doc, options, path("out.png"));
        ASSERT_TRUE(r.ok) << r.error.English().toStdString();
        QImageReader reader(path("out.png"));
        EXPECT_EQ(reader.format(), QByteArray("png"));
        const QImage image = reader.read();
        EXPECT_EQ(image.width(), int(std::ceil(100.0 / 25.4 * dpi - 1e-6)));
        EXPECT_EQ(image.height(), int(std::ceil(75.0 / 25.4 * dpi - 1e-6)));
        EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, dpi, 0.05);
    }
}

struct PdfCase {
    RectF window;
    bool mirror;
    QSizeF pagePoints;
    QRectF lineMm; // where the 100 x 1 mm line lands
};

class PdfPlacement : public Export, public ::testing::WithParamInterface<PdfCase> { };

// A line 100 mm long and 1 mm thick, 10 mm below the document origin.
TEST_P(PdfPlacement, IsAtTrueScaleOnAPageTheSizeOfTheWindow)
{
    const PdfCase& c = GetParam();
    AddRect(doc, "solder", { 0, 100, 1000, 10 });
    options.window = c.window;
    options.mirror = c.mirror;
    options.black = true;
    const TDocumentResult r = ExportPdf(doc, options, path("out.pdf"));
    ASSERT_TRUE(r.ok) << r.error.English().toStdString();
    const std::optional<PdfPage> page = ProbePdf(readAll(path("out.pdf")));
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->sizePoints, c.pagePoints);
    EXPECT_NEAR(page->pathsMm.left(), c.lineMm.left(), 0.02);
    EXPECT_NEAR(page->pathsMm.right(), c.lineMm.right(), 0.02);
    EXPECT_NEAR(page->pathsMm.top(), c.lineMm.top(), 0.02);
    EXPECT_NEAR(page->pathsMm.bottom(), c.lineMm.bottom(), 0.02);
}

// Page sizes are whole points, rounded up: 100 mm is 283.46 pt.
INSTANTIATE_TEST_SUITE_P(Renderer, PdfPlacement,
    ::testing::Values(PdfCase { { 0, 0, 1000, 750 }, false, { 284, 213 }, { 0, 10, 100, 1 } },
        PdfCase { { 0, 0, 1500, 750 }, true, { 426, 213 }, { 50, 10, 100, 1 } },
        PdfCase { { -200, 50, 2100, 2970 }, false, { 596, 842 }, { 20, 5, 100, 1 } }));

struct RefusalCase {
    int dpi;
    RectF window;
    const char* why;
};

class Refusal : public Export, public ::testing::WithParamInterface<RefusalCase> { };

TEST_P(Refusal, LeavesAnExistingFileAlone)
{
    const RefusalCase& c = GetParam();
    options.dotsPerInch = c.dpi;
    options.window = c.window;
    for (const char* name : { "kept.png", "kept.pdf" }) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("previous");
        f.close();
        const bool pdf = QByteArray(name).endsWith(".pdf");
        const TDocumentResult r
            = pdf ? ExportPdf(doc, options, path(name)) : ExportPng(doc, options, path(name));
        EXPECT_FALSE(r.ok) << c.why << " " << name;
        EXPECT_FALSE(r.error.IsEmpty());
        EXPECT_EQ(readAll(path(name)), QByteArray("previous")) << c.why << " " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Renderer, Refusal,
    ::testing::Values(RefusalCase { 0, { 0, 0, 1000, 750 }, "no resolution" },
        RefusalCase { 10001, { 0, 0, 1000, 750 }, "resolution too fine" },
        RefusalCase { 254, { 0, 0, 0, 750 }, "empty window" },
        RefusalCase { 254, { 0, 0, std::nanf(""), 750 }, "window not a number" }));

TEST_F(Export, ImageTooLargeToAllocateIsRefusedWithAReason)
{
    options.window = { 0, 0, 100000, 100000 }; // 10 m square
    options.dotsPerInch = 2540;
    QString error;
    EXPECT_TRUE(RenderDocumentImage(doc, options, &error).isNull());
    EXPECT_TRUE(error.contains(QStringLiteral("too large"))) << error.toStdString();
}

TEST_F(Export, WritingIntoAMissingFolderFails)
{
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/out"));
    const TDocumentResult png = ExportPng(doc, options, missing + QStringLiteral(".png"));
    const TDocumentResult pdf = ExportPdf(doc, options, missing + QStringLiteral(".pdf"));
    EXPECT_FALSE(png.ok);
    EXPECT_FALSE(pdf.ok);
    EXPECT_FALSE(png.error.IsEmpty());
}

} // namespace
} // namespace vesk::test
