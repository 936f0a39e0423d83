// Level of detail on the screen: shapes smaller than a device pixel both ways
// are drawn as one pixel mark; everything else, and every printed or
// exported picture, as before.
#include "RenderTestSupport.h"
#include "geometry/QtConvert.h"
#include "model/Colorstyle.h"
#include "render/Printsetup.h"
#include "render/Renderview.h"
#include "render/Veskrenderer.h"
#include "shapes/Fontresolver.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskstring.h"

#include <QImage>
#include <QPainter>
#include <functional>
#include <random>

namespace vesk::test {
namespace {

constexpr unsigned kWhite = 0xFFFFFF;

class PixelMarks : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.workArea = {};
        zoomTo(1, 0, 0);
    }
    void zoomTo(double zoom, float dx, float dy)
    {
        view.zoom = zoom;
        view.viewMatrix = Matrix(float(zoom), 0, 0, float(zoom), dx, dy);
        style.SetZoom(zoom);
    }
    TVeskLayer* layer(const char* name) { return doc.Layers().FindLayer(QString::fromLatin1(name)); }

    // The screen's picture, with its marks, on one thread.
    QImage screen()
    {
        QImage image(200, 150, QImage::Format_ARGB32_Premultiplied);
        renderer.SetMaxThreads(1);
        renderer.RenderDocument(image, doc.Root(), doc.Layers(), style, view);
        return image;
    }
    // The same with every shape drawn whole.
    QImage exact()
    {
        QImage image(200, 150, QImage::Format_ARGB32_Premultiplied);
        image.fill(ToQColor(style.backgroundColor));
        std::vector<int> visible;
        for (int i = 0; i < doc.Layers().LayerCount(); ++i)
            if (doc.Layers().LayerAt(i)->visible)
                visible.push_back(i);
        QPainter g(&image);
        g.setRenderHint(QPainter::Antialiasing);
        g.setWorldTransform(ToQTransform(view.viewMatrix));
        renderer.DrawLayers(g, doc.Root(), visible, style, false);
        return image;
    }

    TVeskDocument doc;
    TDrawStyle style;
    TRenderView view;
    TVeskRenderer renderer;
};

std::vector<QPoint> changed(const QImage& image)
{
    std::vector<QPoint> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Rgb(image, x, y) != kWhite)
                out.push_back({ x, y });
    return out;
}

// Alpha 200 of the current layer, at the coverage of a quarter pixel.
unsigned quarterOfSolder()
{
    return Over((0xEB2828u | unsigned(200 * 64 / 255) << 24), kWhite);
}

TEST_F(PixelMarks, AShapeUnderAPixelIsOnePixelInItsLayersColour)
{
    struct Case {
        const char* what;
        std::function<void(TVeskLayer*)> add;
        QPoint pixel;
        // The mark's colour, or 0 for "of the layer's hue only".
        unsigned rgb;
    };
    const Case cases[] = {
        { "a pad across four pixels",
            [&](TVeskLayer*) {
                AddRect(doc, "solder", { 39.75f, 29.75f, 0.5f, 0.5f });
            },
            { 40, 30 }, quarterOfSolder() },
        { "a pad within one",
            [&](TVeskLayer*) {
                AddRect(doc, "solder", { 70.1f, 20.2f, 0.5f, 0.5f });
            },
            { 70, 20 }, quarterOfSolder() },
        { "a round pad",
            [&](TVeskLayer* l) {
                TVeskEllipse e(l, TVeskSurface(0, false, true, 4));
                e.SetCircle({ 100.5f, 60.5f }, { 100.9f, 60.5f });
                doc.Root().Add(e);
            },
            { 100, 60 }, 0 },
        { "a short track",
            [&](TVeskLayer* l) {
                TVeskPath p(l, TVeskSurface(0.2f, false, false, 4));
                p.SetPoints(vesk::StraightEntries({ { 150.2f, 80.3f }, { 150.7f, 80.6f } }), {});
                doc.Root().Add(p);
            },
            { 150, 80 }, 0 },
        { "a text",
            [&](TVeskLayer* l) {
                TVeskString t(l, TVeskSurface(0, false, true, 4));
                t.SetFont(DefaultFontFamily(), 0, 0.6f);
                t.PlaceText(QStringLiteral("R1"), { 120.1f, 100.1f });
                doc.Root().Add(t);
            },
            { -1, -1 }, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc.Reset();
        c.add(layer("solder"));
        const std::vector<QPoint> marked = changed(screen());
        ASSERT_EQ(marked.size(), 1u);
        if (c.pixel.x() >= 0) {
            EXPECT_EQ(marked[0], c.pixel);
        }
        const QImage image = screen();
        const unsigned rgb = Rgb(image, marked[0].x(), marked[0].y());
        if (c.rgb != 0) {
            EXPECT_LE(ChannelDistance(rgb, c.rgb), 2) << std::hex << rgb;
        } else {
            // The layer's red, faded towards the white behind it.
            const int r = int(rgb >> 16 & 0xFF), green = int(rgb >> 8 & 0xFF), b = int(rgb & 0xFF);
            EXPECT_GT(r, green) << std::hex << rgb;
            EXPECT_NEAR(green, b, 2) << std::hex << rgb;
        }
        if (c.what == std::string("a pad across four pixels")) {
            EXPECT_EQ(changed(exact()).size(), 4u) << "drawn whole, it spreads over them";
        }
    }
}

// Wide enough one way, or on a wire-frame layer, or anything on a print or
// an exported picture: drawn whole.
TEST_F(PixelMarks, EverythingElseIsDrawnWhole)
{
    AddRect(doc, "solder", { 20.3f, 20.3f, 1.0f, 0.4f }); // a pixel wide
    AddRect(doc, "solder", { 40.3f, 20.3f, 0.3f, 7.0f });
    AddRect(doc, "component", { 60.2f, 40.2f, 30, 20 });
    AddRect(doc, "dimension", { 100.7f, 40.7f, 0.5f, 0.5f }); // a wire frame
    EXPECT_EQ(screen(), exact());

    // A print in the screen's colours at 254 dots per inch, a dot a unit.
    doc.Reset();
    AddRect(doc, "solder", { 39.75f, 29.75f, 0.5f, 0.5f });
    QImage print(100, 80, QImage::Format_ARGB32_Premultiplied);
    print.setDotsPerMeterX(10000);
    print.setDotsPerMeterY(10000);
    TPrintSetup setup;
    setup.black = false;
    setup.layers = { LayerIndex(doc, "solder") };
    renderer.PrintImage(print, doc.Root(), doc.Layers(), style, setup);
    EXPECT_EQ(changed(print).size(), 4u) << "spread over the four dots it touches";
}

// A dense random board: the marks change only pixels the sub-pixel shapes
// touch, and the picture keeps about the same ink.
TEST_F(PixelMarks, ChangeOnlyPixelsTheirShapesTouch)
{
    zoomTo(0.37, 3.3f, 2.7f);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> where(0, 520), size(0.2f, 9.0f);
    const char* names[] = { "solder", "component", "stop_sol", "hole" };
    std::vector<QRectF> small;
    for (int i = 0; i < 800; ++i) {
        TVeskLayer* l = layer(names[i % 4]);
        const PointF at { where(rng), where(rng) * 0.75f };
        const float w = size(rng), h = size(rng);
        if (i % 3 == 0) {
            TVeskEllipse e(l, TVeskSurface(0, false, true, 4));
            e.SetCircle({ at.X, at.Y }, { at.X + w / 2, at.Y });
            doc.Root().Add(e);
        } else if (i % 3 == 1) {
            TVeskRect r(l, TVeskSurface(0, false, true, 4));
            r.SetCorners(at, { at.X + w, at.Y + h });
            doc.Root().Add(r);
        } else {
            TVeskPath p(l, TVeskSurface(w / 8, false, false, 4));
            p.SetPoints(vesk::StraightEntries({ at, { at.X + w, at.Y + h / 3 } }), {});
            doc.Root().Add(p);
        }
    }
    const QTransform toImage = ToQTransform(view.viewMatrix);
    for (const auto& child : doc.Root().Children()) {
        RectF b;
        child->GetBounds(b);
        const QRectF box = toImage.mapRect(QRectF(b.X, b.Y, b.Width, b.Height));
        if (box.width() < 1 && box.height() < 1)
            small.push_back(box.adjusted(-1, -1, 1, 1));
    }
    ASSERT_GT(small.size(), 50u);

    const QImage marks = screen();
    const QImage whole = exact();
    int differ = 0;
    double inkMarks = 0, inkWhole = 0;
    for (int y = 0; y < marks.height(); ++y)
        for (int x = 0; x < marks.width(); ++x) {
            for (const int shift : { 16, 8, 0 }) {
                inkMarks += 255 - int(Rgb(marks, x, y) >> shift & 0xFF);
                inkWhole += 255 - int(Rgb(whole, x, y) >> shift & 0xFF);
            }
            if (Rgb(marks, x, y) == Rgb(whole, x, y))
                continue;
            ++differ;
            const QRectF pixel(x, y, 1, 1);
            const bool near = std::any_of(
                small.begin(), small.end(), [&](const QRectF& r) { return r.intersects(pixel); });
            EXPECT_TRUE(near) << x << "," << y;
        }
    EXPECT_GT(differ, 0);
    EXPECT_NEAR(inkMarks, inkWhole, inkWhole * 0.02);
}

} // namespace
} // namespace vesk::test
