// Painting paths onto an image: screen colours, wire frames, print colours and
// the selection overlay, checked by pixels.

#include "PathTestSupport.h"
#include "geometry/QtConvert.h"
#include "model/Colorstyle.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <functional>

namespace vesk::test {
namespace {

constexpr int kSize = 64;

// src over dst, per channel, for a non-premultiplied source.
QColor Over(ARGB src, QColor dst)
{
    const int a = ArgbAlpha(src);
    const auto mix = [&](int s, int d) { return (s * a + d * (255 - a) + 127) / 255; };
    return QColor(
        mix(ArgbRed(src), dst.red()), mix(ArgbGreen(src), dst.green()), mix(ArgbBlue(src), dst.blue()));
}

::testing::AssertionResult Near(QColor actual, QColor expected, int tolerance = 2)
{
    const int d = std::max({ std::abs(actual.red() - expected.red()),
        std::abs(actual.green() - expected.green()), std::abs(actual.blue() - expected.blue()) });
    if (d <= tolerance && actual.alpha() == 255)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << actual.name(QColor::HexArgb).toStdString()
                                         << ", expected " << expected.name(QColor::HexArgb).toStdString();
}

class PathDrawTest : public PathTest {
protected:
    QImage Render(const std::function<void(QPainter&)>& draw, QColor background = Qt::white,
        const QTransform& view = QTransform())
    {
        QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(background);
        QPainter g(&image);
        g.setWorldTransform(view);
        draw(g);
        g.end();
        return image;
    }

    // Darkest of the three pixels around (x, y) along a row: a one-pixel
    // line may land on either side of a pixel border.
    static int DarkestAround(const QImage& image, int x, int y)
    {
        int v = 255;
        for (int dx = -1; dx <= 1; ++dx)
            v = std::min(v, qGray(image.pixel(x + dx, y)));
        return v;
    }

    TDrawStyle style;
};

TEST_F(PathDrawTest, FillsTheOutlineInTheLayersDrawColour)
{
    auto path = Square(16, 16, 32);
    for (const bool current : { true, false }) {
        SCOPED_TRACE(current);
        layers.SetCurrent(current ? solder : layers.LayerAt(2));
        const QImage image = Render([&](QPainter& g) { path->Draw(g, solder->index, style); });
        EXPECT_TRUE(Near(image.pixelColor(32, 32), Over(solder->DrawColor(), Qt::white)));
        EXPECT_TRUE(Near(image.pixelColor(8, 8), Qt::white));
    }
}

TEST_F(PathDrawTest, DrawsNothingOnOtherLayersOrWhenHidden)
{
    auto path = Square(16, 16, 32);
    QImage image = Render([&](QPainter& g) { path->Draw(g, solder->index + 1, style); });
    EXPECT_TRUE(Near(image.pixelColor(32, 32), Qt::white));
    path->SetVisible(false);
    image = Render([&](QPainter& g) {
        path->Draw(g, solder->index, style);
        path->DrawForPrint(g, solder->index, style);
    });
    EXPECT_TRUE(Near(image.pixelColor(32, 32), Qt::white));
}

TEST_F(PathDrawTest, CutOutAndMaskLayerPaintWhite)
{
    struct Case {
        const char* layer;
        bool cutOut;
    };
    for (const Case c : { Case { "solder", true }, Case { "hole", false } }) {
        SCOPED_TRACE(c.layer);
        auto path = Square(16, 16, 32);
        path->SetLayer(layers.FindLayer(QString::fromLatin1(c.layer)));
        TVeskSurface surface = path->Surface();
        surface.SetCutOut(c.cutOut);
        path->SetSurface(surface);
        const QImage image
            = Render([&](QPainter& g) { path->Draw(g, path->GetLayer()->index, style); }, QColor(200, 0, 0));
        EXPECT_TRUE(Near(image.pixelColor(32, 32), Qt::white, 0));
        EXPECT_TRUE(Near(image.pixelColor(8, 8), QColor(200, 0, 0), 0));
    }
}

TEST_F(PathDrawTest, WireFrameLayerDrawsTheCurveOnlyThroughPlacementThenView)
{
    TVeskLayer* dimension = layers.FindLayer(QStringLiteral("dimension"));
    ASSERT_TRUE(dimension->wireFrame);
    // Local square (0,0)-(20,20) placed at (5,5), viewed at zoom 2: pixels 10 to 50.
    auto path = MakePath(
        Polyline({ { 0, 0 }, { 20, 0 }, { 20, 20 }, { 0, 20 } }), Filled(6), true, Matrix(1, 0, 0, 1, 5, 5));
    path->SetLayer(dimension);
    style.SetZoom(2);
    const QImage image = Render(
        [&](QPainter& g) { path->Draw(g, dimension->index, style); }, Qt::white, QTransform::fromScale(2, 2));
    EXPECT_LT(DarkestAround(image, 10, 30), 64); // left edge
    EXPECT_LT(DarkestAround(image, 50, 30), 64); // right edge
    EXPECT_TRUE(Near(image.pixelColor(30, 30), Qt::white)); // not filled
    EXPECT_TRUE(Near(image.pixelColor(14, 30), Qt::white)); // no stroke width
    EXPECT_TRUE(Near(image.pixelColor(5, 30), Qt::white)); // not placed after the view
}

TEST_F(PathDrawTest, PrintUsesInkAndPaperColours)
{
    constexpr ARGB black = 0xFF000000, white = 0xFFFFFFFF;
    struct Case {
        const char* what;
        const char* layer;
        bool cutOut;
        bool negative;
        ARGB expected;
    };
    const Case cases[] = {
        { "copper", "solder", false, false, black },
        { "cut-out", "solder", true, false, white },
        { "mask", "hole", false, false, white },
        { "negative copper", "solder", false, true, white },
        { "negative cut-out", "solder", true, true, black },
        { "negative mask", "hole", false, true, black },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        style.printInkColor = c.negative ? white : black;
        style.printPaperColor = c.negative ? black : white;
        auto path = Square(16, 16, 32);
        path->SetLayer(layers.FindLayer(QString::fromLatin1(c.layer)));
        TVeskSurface surface = path->Surface();
        surface.SetCutOut(c.cutOut);
        path->SetSurface(surface);
        const QImage image
            = Render([&](QPainter& g) { path->DrawForPrint(g, path->GetLayer()->index, style); }, Qt::gray);
        EXPECT_TRUE(Near(image.pixelColor(32, 32), ToQColor(c.expected), 0));
    }
}

TEST_F(PathDrawTest, PrintedWireFrameUsesTheInkColour)
{
    TVeskLayer* dimension = layers.FindLayer(QStringLiteral("dimension"));
    auto path = MakePath(Polyline({ { 10, 10 }, { 50, 10 }, { 50, 50 }, { 10, 50 } }), Filled(0), true);
    path->SetLayer(dimension);
    style.printInkColor = 0xFFFF0000;
    const QImage image = Render([&](QPainter& g) { path->DrawForPrint(g, dimension->index, style); });
    bool red = false;
    for (int x = 9; x <= 11; ++x)
        red = red || image.pixelColor(x, 30) == QColor(255, 0, 0);
    EXPECT_TRUE(red);
    EXPECT_TRUE(Near(image.pixelColor(30, 30), Qt::white));
}

TEST_F(PathDrawTest, SelectionOverlay)
{
    // A line from (12,32) to (52,32); handles are 4 screen pixels at the
    // path's view scale, so 16 units at 0.25.
    auto path = MakePath(Polyline({ { 12, 32 }, { 52, 32 } }), Stroke(1));
    const auto overlay = [&] { return Render([&](QPainter& g) { path->DrawSelection(g, style); }); };

    QImage image = overlay();
    EXPECT_TRUE(Near(image.pixelColor(32, 32), Qt::white)); // neither selected nor editing

    path->SetSelected(true);
    image = overlay();
    EXPECT_LT(qGray(image.pixel(32, 32)), 64);
    EXPECT_TRUE(Near(image.pixelColor(18, 38), Qt::white)); // no handles

    struct Case {
        double viewScale;
        bool bigHandles;
    };
    for (const Case c : { Case { 0.25, true }, Case { 1.0, false } }) {
        SCOPED_TRACE(c.viewScale);
        path->SetViewScale(c.viewScale);
        path->SetHandlesSelected(true); // point editing, both anchors selected
        std::vector<std::uint8_t> flags(path->PointFlags());
        flags[3] &= std::uint8_t(~pfSelected); // release anchor 1
        path->SetPoints(path->Points(), flags);
        ASSERT_TRUE(path->IsPointEditing());

        image = overlay();
        // Selected anchor: a filled square.
        EXPECT_EQ(qGray(image.pixel(18, 38)) < 64, c.bigHandles);
        // Unselected anchor: a hollow square, its inside left clear.
        EXPECT_TRUE(Near(image.pixelColor(52, 37), Qt::white));
        EXPECT_EQ(DarkestAround(image, 44, 37) < 64, c.bigHandles);
    }
}

} // namespace
} // namespace vesk::test
