// Printed output: the print transform, placement at a resolution, print
// colours, negative, mirror, chosen hidden layers, and the drawing's bounds.
#include "RenderTestSupport.h"
#include "model/Colorstyle.h"
#include "render/Printsetup.h"
#include "render/Renderexport.h"
#include "render/Veskrenderer.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskpath.h"

#include <QImage>

namespace vesk::test {
namespace {

constexpr unsigned kWhite = 0xFFFFFF;
constexpr unsigned kBlack = 0x000000;

struct TransformCase {
    bool mirror;
    double pageWidthMm;
    PointF origin;
    double dpi;
    PointF document;
    QPointF device;
};

class PrintTransform : public ::testing::TestWithParam<TransformCase> { };

TEST_P(PrintTransform, PlacesDocumentPointsOnThePage)
{
    const TransformCase& c = GetParam();
    TPrintSetup setup;
    setup.mirror = c.mirror;
    setup.pageWidthMm = c.pageWidthMm;
    setup.origin = c.origin;
    const QPointF p
        = TVeskRenderer::PrintTransform(setup, c.dpi, c.dpi).map(QPointF(c.document.X, c.document.Y));
    EXPECT_NEAR(p.x(), c.device.x(), 0.05);
    EXPECT_NEAR(p.y(), c.device.y(), 0.05);
}

// At 100 dpi a device dot is a hundredth of an inch.
INSTANTIATE_TEST_SUITE_P(Renderer, PrintTransform,
    ::testing::Values(TransformCase { false, 210, {}, 100, { 1000, 750 }, { 393.7, 295.3 } },
        TransformCase { true, 210, {}, 100, { 0, 0 }, { 826.8, 0 } },
        TransformCase { true, 210, {}, 100, { 2100, 0 }, { 0, 0 } },
        TransformCase { false, 210, {}, 254, { 123, 45 }, { 123, 45 } },
        TransformCase { false, 210, { 100, 200 }, 254, { 100, 200 }, { 0, 0 } },
        TransformCase { true, 50, { 100, 0 }, 254, { 100, 10 }, { 500, 10 } }));

// One solder rectangle, 20 x 5 mm, 10 mm from the left and 20 mm from the top.
class PrintedImage : public ::testing::Test {
protected:
    void SetUp() override { AddRect(doc, "solder", { 100, 200, 200, 50 }); }
    QImage render()
    {
        QString error;
        QImage image = RenderDocumentImage(doc, options, &error);
        EXPECT_FALSE(image.isNull()) << error.toStdString();
        return image;
    }

    TVeskDocument doc;
    TExportOptions options;
};

struct PlacementCase {
    int dpi;
    bool mirror;
    RectF window;
    QSize size;
    QPoint ink;
    std::vector<QPoint> paper;
};

class Placement : public PrintedImage, public ::testing::WithParamInterface<PlacementCase> { };

TEST_P(Placement, PutsTheShapeWhereTheResolutionAndMirrorSay)
{
    const PlacementCase& c = GetParam();
    options.dotsPerInch = c.dpi;
    options.mirror = c.mirror;
    options.black = true;
    options.window = c.window;
    const QImage image = render();
    ASSERT_EQ(image.size(), c.size);
    EXPECT_EQ(Rgb(image, c.ink.x(), c.ink.y()), kBlack);
    for (const QPoint& p : c.paper)
        EXPECT_EQ(Rgb(image, p.x(), p.y()), kWhite) << p.x() << "," << p.y();
}

INSTANTIATE_TEST_SUITE_P(Renderer, Placement,
    ::testing::Values(PlacementCase { 254, false, { 0, 0, 1000, 750 }, { 1000, 750 }, { 150, 225 },
                          { { 50, 225 }, { 350, 225 } } },
        PlacementCase {
            508, false, { 0, 0, 1000, 750 }, { 2000, 1500 }, { 300, 450 }, { { 150, 450 }, { 700, 450 } } },
        PlacementCase {
            254, true, { 0, 0, 1000, 750 }, { 1000, 750 }, { 800, 225 }, { { 150, 225 }, { 650, 225 } } },
        PlacementCase { 254, false, { 100, 200, 400, 100 }, { 400, 100 }, { 10, 10 }, { { 250, 10 } } },
        PlacementCase { 127, false, { 0, 0, 1000, 750 }, { 500, 375 }, { 75, 112 }, { { 40, 112 } } }));

struct ColourCase {
    bool black, negative;
    unsigned copper, hole, cutOut, wireEdge, paper;
};

class PrintColours : public PrintedImage, public ::testing::WithParamInterface<ColourCase> { };

// Copper with a hole and a cut-out in it, and a wire-frame outline whose
// left edge lies on the centres of column 400.
TEST_P(PrintColours, FollowInkPaperAndLayerModes)
{
    const ColourCase& c = GetParam();
    AddRect(doc, "hole", { 120, 210, 20, 20 });
    AddRect(doc, "solder", { 200, 210, 20, 20 }, true);
    AddRect(doc, "dimension", { 400.5f, 100.5f, 200, 200 });
    options.black = c.black;
    options.negative = c.negative;
    const QImage image = render();
    EXPECT_LE(ChannelDistance(Rgb(image, 110, 225), c.copper), 2) << std::hex << Rgb(image, 110, 225);
    EXPECT_EQ(Rgb(image, 130, 220), c.hole);
    EXPECT_EQ(Rgb(image, 210, 220), c.cutOut);
    EXPECT_LE(ChannelDistance(Rgb(image, 400, 200), c.wireEdge), 8) << std::hex << Rgb(image, 400, 200);
    EXPECT_EQ(Rgb(image, 500, 200), c.paper) << "a wire frame is not filled";
    EXPECT_EQ(Rgb(image, 5, 5), c.paper);
}

INSTANTIATE_TEST_SUITE_P(Renderer, PrintColours,
    ::testing::Values(ColourCase { true, false, kBlack, kWhite, kWhite, kBlack, kWhite },
        ColourCase { true, true, kWhite, kBlack, kBlack, kWhite, kBlack },
        ColourCase { false, false, Over(0xC8EB2828, kWhite), kWhite, kWhite, kBlack, kWhite }));

TEST_F(PrintedImage, ChosenLayersPrintEvenWhenHidden)
{
    doc.Layers().FindLayer(QStringLiteral("solder"))->visible = false;
    options.black = true;
    EXPECT_EQ(Rgb(render(), 150, 225), kWhite) << "without a choice only visible layers print";
    options.layers = { LayerIndex(doc, "solder") };
    EXPECT_EQ(Rgb(render(), 150, 225), kBlack);
    options.layers = { LayerIndex(doc, "component") };
    EXPECT_EQ(Rgb(render(), 150, 225), kWhite) << "a layer not chosen does not print";
}

// Several shapes with anti-aliased edges, for whole-image comparisons.
void addAssortment(TVeskDocument& doc)
{
    AddRect(doc, "component", { 33.3f, 47.1f, 310.2f, 120.7f });
    AddRect(doc, "hole", { 60.5f, 60.5f, 17.3f, 17.3f });
    TVeskEllipse ellipse(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface(5, false, false, 4));
    ellipse.SetCircle({ 500.4f, 300.2f }, { 560.9f, 333.3f });
    doc.Root().Add(ellipse);
    TVeskPath track(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface(7.5f, false, false, 4));
    track.SetPoints(
        { { 120, 500 }, { 300, 380 }, { 420, 650 }, { 700, 520 }, { 700, 520 }, { 700, 520 } }, {});
    doc.Root().Add(track);
}

TEST_F(PrintedImage, NegativeInvertsEveryPixel)
{
    addAssortment(doc);
    options.black = true;
    const QImage positive = render();
    options.negative = true;
    const QImage negative = render();
    ASSERT_EQ(positive.size(), negative.size());
    int worst = 0;
    int ink = 0;
    for (int y = 0; y < positive.height(); ++y) {
        for (int x = 0; x < positive.width(); ++x) {
            const int p = qGray(positive.pixel(x, y));
            const int n = qGray(negative.pixel(x, y));
            worst = std::max(worst, std::abs(p + n - 255));
            ink += p == 0;
        }
    }
    EXPECT_GT(ink, 10000);
    EXPECT_LE(worst, 2);
}

TEST_F(PrintedImage, MirrorFlipsTheWindowLeftToRight)
{
    addAssortment(doc);
    for (const bool black : { true, false }) {
        SCOPED_TRACE(black);
        options.black = black;
        options.mirror = false;
        const QImage plain = render();
        options.mirror = true;
        const QImage mirrored = render();
        ASSERT_EQ(plain.size(), mirrored.size());
        const QImage flipped = plain.mirrored(true, false);
        int worst = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                worst = std::max(worst, ChannelDistance(Rgb(flipped, x, y), Rgb(mirrored, x, y)));
        EXPECT_LE(worst, 8) << "anti-aliasing may round differently, a misplaced edge differs by far more";
    }
}

TEST(DrawingBounds, UniteTheVisibleShapesOfTheChosenLayers)
{
    TVeskDocument doc;
    AddRect(doc, "solder", { 10, 20, 30, 40 });
    AddRect(doc, "component", { 100, -50, 10, 10 });
    AddRect(doc, "solder", { 500, 500, 10, 10 })->SetVisible(false);
    const int solder = LayerIndex(doc, "solder");
    const int component = LayerIndex(doc, "component");
    RectF r;
    ASSERT_TRUE(TVeskRenderer::DrawingBounds(doc.Root(), std::vector<int> { solder }, r));
    EXPECT_EQ(r, (RectF { 10, 20, 30, 40 }));
    ASSERT_TRUE(TVeskRenderer::DrawingBounds(doc.Root(), std::vector<int> { solder, component }, r));
    EXPECT_EQ(r, (RectF { 10, -50, 100, 110 }));
    EXPECT_FALSE(TVeskRenderer::DrawingBounds(doc.Root(), std::vector<int> { LayerIndex(doc, "other") }, r));
}

} // namespace
} // namespace vesk::test
