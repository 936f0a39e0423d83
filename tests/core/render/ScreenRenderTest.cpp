// The drawing view's images: layer order and colours, mask and cut-out,
// wire-frame, work-area frame, grid, the overlay, bands and culling.
#include "RenderTestSupport.h"
#include "StoredSurface.h"
#include "geometry/QtConvert.h"
#include "io/Veskfilestream.h"
#include "model/Colorstyle.h"
#include "render/Renderview.h"
#include "render/Veskrenderer.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpath.h"

#include <QImage>
#include <QPainter>
#include <cstring>
#include <functional>

namespace vesk::test {
namespace {

constexpr unsigned kWhite = 0xFFFFFF;
constexpr ARGB kSolder = 0xFFEB2828;
constexpr ARGB kComponent = 0xFF008000;

constexpr ARGB withAlpha(ARGB c, int a)
{
    return (c & 0xFFFFFFu) | (ARGB(a) << 24);
}

class ScreenRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.workArea = {}; // no frame unless a test asks for one
        style.SetZoom(1);
    }
    void render() { renderer.RenderDocument(image, doc.Root(), doc.Layers(), style, view); }
    void zoomTo(double zoom, float dx = 0, float dy = 0)
    {
        view.zoom = zoom;
        view.viewMatrix = Matrix(float(zoom), 0, 0, float(zoom), dx, dy);
        style.SetZoom(zoom);
    }

    TVeskDocument doc;
    TDrawStyle style;
    TRenderView view;
    TVeskRenderer renderer;
    QImage image { 200, 100, QImage::Format_ARGB32_Premultiplied };
};

struct PixelCase {
    int x, y;
    unsigned rgb;
    const char* what;
};

TEST_F(ScreenRender, LayersStackFromLastToFirstWithMaskLayersInTheBackgroundColour)
{
    AddRect(doc, "component", { 60, 20, 120, 60 });
    AddRect(doc, "solder", { 20, 20, 100, 60 }); // current layer: alpha 200
    AddRect(doc, "hole", { 90, 40, 20, 20 });
    render();
    const unsigned component = Over(withAlpha(kComponent, 120), kWhite);
    const PixelCase cases[] = {
        { 5, 5, kWhite, "background" },
        { 40, 50, Over(withAlpha(kSolder, 200), kWhite), "solder alone, current" },
        { 150, 50, component, "component alone" },
        { 75, 50, Over(withAlpha(kSolder, 200), component), "solder drawn over component" },
        { 100, 50, kWhite, "hole punches both" },
    };
    for (const PixelCase& c : cases)
        EXPECT_LE(ChannelDistance(Rgb(image, c.x, c.y), c.rgb), 2)
            << c.what << ": " << std::hex << Rgb(image, c.x, c.y) << " want " << c.rgb;
}

TEST_F(ScreenRender, CurrentLayerAndVisibilityDecideColourAndPresence)
{
    AddRect(doc, "component", { 20, 20, 100, 60 });
    TVeskLayerList& layers = doc.Layers();
    layers.SetCurrent(layers.FindLayer(QStringLiteral("component")));
    render();
    EXPECT_LE(ChannelDistance(Rgb(image, 50, 50), Over(withAlpha(kComponent, 200), kWhite)), 2);

    layers.FindLayer(QStringLiteral("component"))->visible = false;
    render();
    EXPECT_EQ(Rgb(image, 50, 50), kWhite);
}

TEST_F(ScreenRender, CutOutPaintsWhiteOverTheObjectsDrawnBeforeIt)
{
    AddRect(doc, "solder", { 40, 40, 20, 20 }, true);
    AddRect(doc, "solder", { 20, 20, 100, 60 });
    render();
    EXPECT_EQ(Rgb(image, 50, 50), kWhite);
    EXPECT_LE(ChannelDistance(Rgb(image, 30, 50), Over(withAlpha(kSolder, 200), kWhite)), 2);
}

// A wire-frame layer draws the bare edge one screen pixel wide at any zoom,
// ignoring the fill; the edge lies on pixel centres so it covers whole pixels.
TEST_F(ScreenRender, WireFrameLayerDrawsAOnePixelEdge)
{
    for (const double zoom : { 1.0, 2.0 }) {
        SCOPED_TRACE(zoom);
        doc.Reset();
        zoomTo(zoom);
        const float half = float(0.5 / zoom);
        AddRect(doc, "dimension", { 20 + half, 10 + half, 60, 30 }); // filled, yet drawn as a frame
        render();
        const int edge = int(20 * zoom);
        const int row = int(25 * zoom);
        EXPECT_EQ(Rgb(image, edge, row), 0x000000u);
        EXPECT_EQ(Rgb(image, edge - 1, row), kWhite);
        EXPECT_EQ(Rgb(image, edge + 1, row), kWhite);
        EXPECT_EQ(Rgb(image, int(50 * zoom), row), kWhite);
    }
}

TEST_F(ScreenRender, WorkAreaFrameIsOneCrispPixelInTheFrameColour)
{
    zoomTo(1, 10, 10);
    view.workArea = { 0, 0, 100, 50 };
    render();
    const QColor frame = QColor::fromRgb(style.frameColor);
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, 30) == frame)
            columns.push_back(x);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_NEAR(columns[0], 10, 1);
    EXPECT_NEAR(columns[1], 110, 1);
}

struct GridCase {
    double pitch, zoom;
    float originX, originY; // pixel of the document origin
    int count; // grid pixels in the 100 x 60 image
    int x, y; // one of them
};

class GridDots : public ::testing::TestWithParam<GridCase> { };

TEST_P(GridDots, FallEveryStepFromTheOrigin)
{
    const GridCase& c = GetParam();
    QImage image(100, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    TRenderView view;
    view.zoom = c.zoom;
    view.viewMatrix = Matrix(float(c.zoom), 0, 0, float(c.zoom), c.originX, c.originY);
    view.gridPitch = c.pitch;
    TVeskRenderer::DrawGrid(image, 0xFF00FF00, view);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += Rgb(image, x, y) == 0x00FF00u;
    EXPECT_EQ(count, c.count);
    if (c.count > 0) {
        EXPECT_EQ(Rgb(image, c.x, c.y), 0x00FF00u);
    }
}

INSTANTIATE_TEST_SUITE_P(Renderer, GridDots,
    ::testing::Values(GridCase { 10, 1, 50, 30, 10 * 6, 50, 30 }, // origin in the middle
        GridCase { 10, 1, -3, -3, 10 * 6, 7, 7 }, // origin above and left of the image
        GridCase { 2, 2.5, 0, 0, 20 * 12, 95, 55 }, // 5 pixels apart
        GridCase { 4, 1, 0, 0, 0, 0, 0 }, // 4 pixels apart: too dense to draw
        GridCase { 0, 1, 0, 0, 0, 0, 0 }));

TEST_F(ScreenRender, GridIsDrawnOnlyWhenShown)
{
    style.gridColor = 0xFF00FF00;
    view.gridPitch = 10;
    render();
    EXPECT_EQ(Rgb(image, 0, 0), kWhite);
    view.showGrid = true;
    render();
    EXPECT_EQ(Rgb(image, 0, 0), 0x00FF00u);
    EXPECT_EQ(Rgb(image, 5, 0), kWhite);
}

TEST_F(ScreenRender, OverlayDrawsSelectionMarksOnACopyOfTheDrawing)
{
    TVeskObject* rect = AddRect(doc, "solder", { 20.5f, 20.5f, 100, 50 });
    render();
    const QImage before = image.copy();
    QImage screen;
    renderer.RenderOverlay(screen, image, doc.Root(), style, view);
    EXPECT_EQ(screen, image) << "nothing is selected";

    rect->SetSelected(true);
    renderer.RenderOverlay(screen, image, doc.Root(), style, view);
    EXPECT_EQ(image, before) << "the drawing itself stays clean";
    EXPECT_EQ(Rgb(screen, 20, 40), 0x000000u) << "selection frame on the edge";
    EXPECT_EQ(Rgb(screen, 60, 40), Rgb(image, 60, 40)) << "inside stays as drawn";

    rect->SetSelected(false);
    renderer.RenderOverlay(screen, image, doc.Root(), style, view);
    EXPECT_EQ(screen, image) << "the same screen image is drawn over afresh";
}

// Marks show where the object is drawn and nowhere else: a member of a
// selected group that is hidden, by its own flag or its layer's, has none;
// an outline on a wire-frame layer drawn in the selection colour ("dimension"
// is black) still shows as selected.
TEST_F(ScreenRender, SelectionMarksFollowWhatIsDrawn)
{
    TVeskGroup proto;
    TVeskRect shown(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface(0, false, true, 4));
    shown.SetCorners({ 20.5f, 20.5f }, { 60.5f, 60.5f });
    proto.Add(shown);
    shown.SetCorners({ 100.5f, 20.5f }, { 140.5f, 60.5f });
    proto.Add(shown);
    TVeskRect other(doc.Layers().FindLayer(QStringLiteral("component")), TVeskSurface(0, false, true, 4));
    other.SetCorners({ 150.5f, 20.5f }, { 190.5f, 60.5f });
    proto.Add(other);
    auto* group = static_cast<TVeskGroup*>(doc.Root().Add(proto));
    group->ChildAt(1)->SetVisible(false);
    doc.Layers().FindLayer(QStringLiteral("component"))->visible = false;
    render();
    group->SetSelected(true);
    QImage screen;
    renderer.RenderOverlay(screen, image, doc.Root(), style, view);
    EXPECT_EQ(Rgb(screen, 20, 40), 0x000000u) << "the member drawn is marked";
    EXPECT_EQ(Rgb(screen, 100, 40), kWhite) << "the member hidden by its own flag is not";
    EXPECT_EQ(Rgb(screen, 150, 40), kWhite) << "nor the one on a hidden layer";

    TVeskDocument wire;
    TVeskObject* outline = AddFrame(wire, "dimension", { 20.5f, 20.5f, 100, 50 }, 5);
    renderer.RenderDocument(image, wire.Root(), wire.Layers(), style, view);
    ASSERT_EQ(Rgb(image, 20, 40), 0x000000u) << "the wire itself";
    ASSERT_EQ(Rgb(image, 22, 40), kWhite);
    outline->SetSelected(true);
    renderer.RenderOverlay(screen, image, wire.Root(), style, view);
    EXPECT_NE(Rgb(screen, 19, 40), kWhite) << "the mark is wider than the wire";
    EXPECT_NE(Rgb(screen, 21, 40), kWhite);
    EXPECT_EQ(Rgb(screen, 60, 40), kWhite) << "inside stays as drawn";
}

// The overlay asks only the top-level objects holding a selection for
// their marks, on one painter, after copying the drawing in bands: the
// same pixels as the root's own DrawSelection over a copy, however many
// threads share the work.
TEST_F(ScreenRender, OverlayDrawsWhatTheRootsSelectionDraws)
{
    image = QImage(300, 256, QImage::Format_ARGB32_Premultiplied);
    zoomTo(1.3, 3.25, -7.5);
    TVeskLayer* solder = doc.Layers().FindLayer(QStringLiteral("solder"));
    const auto rect = [&](RectF box) {
        TVeskRect r(solder, TVeskSurface(1.5f, false, true, 4));
        r.SetCorners({ box.X, box.Y }, { box.GetRight(), box.GetBottom() });
        return r;
    };
    const auto path = [&](std::vector<PointF> anchors) {
        TVeskPath p(solder, TVeskSurface(2, false, false, 4));
        p.SetPoints(vesk::StraightEntries(anchors), {});
        return p;
    };
    // Copies carry no selection: states are set on what the root holds.
    const auto member
        = [&](TVeskObject* group, int i) { return static_cast<TVeskGroup*>(group)->ChildAt(i); };
    doc.Root().Add(rect({ 10, 10, 40, 30 }))->SetSelected(true);
    TVeskGroup plain; // a member being point-edited, another not selected
    plain.Add(rect({ 60, 10, 40, 30 }));
    plain.Add(path({ { 60, 60 }, { 120, 70 }, { 100, 120 } }));
    member(doc.Root().Add(plain), 1)->SetHandlesSelected(true);
    TVeskGroup inner;
    inner.Add(rect({ 130, 130, 30, 20 }));
    TVeskGroup outer; // selected whole, with a group inside
    outer.Add(inner);
    outer.Add(path({ { 130, 20 }, { 200, 90 } }));
    doc.Root().Add(outer)->SetSelected(true);
    TVeskGroup hidden; // selected inside, but not shown
    hidden.Add(rect({ 20, 120, 60, 40 }));
    TVeskObject* hiddenCopy = doc.Root().Add(hidden);
    member(hiddenCopy, 0)->SetSelected(true);
    hiddenCopy->SetVisible(false);
    AddRect(doc, "component", { 150, 100, 60, 50 }); // not selected
    render();

    QImage expected = image.copy();
    {
        QPainter g(&expected);
        g.setWorldTransform(ToQTransform(view.viewMatrix));
        doc.Root().DrawSelection(g, style);
    }
    ASSERT_NE(expected, image) << "the fixture shows marks";
    for (const int threads : { 1, 4 }) {
        SCOPED_TRACE(threads);
        renderer.SetMaxThreads(threads);
        QImage screen(image.size(), image.format());
        renderer.RenderOverlay(screen, image, doc.Root(), style, view);
        EXPECT_EQ(screen, expected);
    }
}

// Marks are skipped only when they clearly miss the image: those reaching
// in from outside are drawn, whether judged by the outline's bounds, by the
// entries of a path that has no outline, or with the handles around them.
TEST_F(ScreenRender, OverlayMarksReachingIntoTheImageAreDrawn)
{
    struct Case {
        const char* what;
        std::function<void(TVeskLayer*)> add;
        QPoint marked;
    };
    const Case cases[] = {
        { "an outline ending inside",
            [&](TVeskLayer* layer) {
                TVeskRect r(layer, TVeskSurface(1, false, true, 4));
                r.SetCorners({ -1000, 20.5f }, { 5.5f, 80.5f });
                doc.Root().Add(r)->SetSelected(true);
            },
            { 5, 50 } },
        { "a path without an outline on the last column",
            [&](TVeskLayer* layer) {
                TVeskPath p(layer, StoredSurface(0, false));
                p.SetPoints(vesk::StraightEntries({ { 199.5f, -50 }, { 199.5f, 150 } }), {});
                doc.Root().Add(p)->SetSelected(true);
            },
            { 199, 50 } },
        { "a handle of an anchor just outside",
            [&](TVeskLayer* layer) {
                TVeskPath p(layer, TVeskSurface(1, false, false, 4));
                p.SetPoints(vesk::StraightEntries({ { -6.5f, 50.5f }, { -60, 50.5f } }), {});
                TVeskObject* added = doc.Root().Add(p);
                added->SetViewScale(0.25); // handles 16 pixels wide
                added->SetHandlesSelected(true);
            },
            { 1, 50 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc.Reset();
        c.add(doc.Layers().FindLayer(QStringLiteral("solder")));
        image.fill(Qt::white);
        QImage screen;
        renderer.RenderOverlay(screen, image, doc.Root(), style, view);
        EXPECT_EQ(Rgb(screen, c.marked.x(), c.marked.y()), 0x000000u);
    }
}

// Shapes that cross the seams between bands must come out as from a single painter.
TEST_F(ScreenRender, BandsPaintTheSameImageAsOneThread)
{
    image = QImage(300, 256, QImage::Format_ARGB32_Premultiplied);
    zoomTo(1.3, 3.25, -7.5);
    AddRect(doc, "component", { 10, 5, 200, 180 });
    AddFrame(doc, "solder", { 40, 20, 120, 150 }, 7.5f);
    TVeskEllipse ellipse(doc.Layers().LayerAt(1), TVeskSurface(0, false, true, 4));
    ellipse.SetCircle({ 120, 100 }, { 190, 120 });
    doc.Root().Add(ellipse);
    AddRect(doc, "dimension", { 5, 5, 210, 190 });
    AddRect(doc, "hole", { 100, 90, 10, 10 });

    renderer.SetMaxThreads(1);
    render();
    const QImage single = image.copy();
    renderer.SetMaxThreads(4);
    render();
    int worst = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            worst = std::max(worst, ChannelDistance(Rgb(image, x, y), Rgb(single, x, y)));
    EXPECT_LE(worst, 2);
}

// Culling by bounds must keep what reaches into the image.
TEST_F(ScreenRender, ObjectsReachingIntoTheImageFromOutsideAreDrawn)
{
    zoomTo(4, -400, -200);
    AddRect(doc, "solder", { -1000, -1000, 1105, 1055 }); // ends at document (105, 55)
    AddRect(doc, "solder", { 149, 70, 2000, 20 }); // starts 4 pixels left of the right edge
    AddRect(doc, "solder", { 160, 70, 20, 20 }); // wholly outside
    render();
    const unsigned solder = Over(withAlpha(kSolder, 200), kWhite);
    EXPECT_LE(ChannelDistance(Rgb(image, 10, 10), solder), 2);
    EXPECT_LE(ChannelDistance(Rgb(image, 198, 90), solder), 2);
    EXPECT_EQ(Rgb(image, 100, 90), kWhite);
}

// Each layer pass asks only the objects with something on that layer; a
// group answers for every layer its members (and theirs) use.
TEST_F(ScreenRender, GroupsDrawTheirMembersOnEveryLayerTheyUse)
{
    const auto rect = [&](const char* layer, RectF box) {
        TVeskRect r(doc.Layers().FindLayer(QString::fromLatin1(layer)), TVeskSurface(0, false, true, 4));
        r.SetCorners({ box.X, box.Y }, { box.GetRight(), box.GetBottom() });
        return r;
    };
    TVeskGroup inner;
    inner.Add(rect("component", { 130, 20, 40, 60 }));
    TVeskGroup outer;
    outer.Add(rect("solder", { 20, 20, 40, 60 }));
    outer.Add(inner);
    doc.Root().Add(outer);
    AddRect(doc, "component", { 75, 20, 40, 60 });
    render();
    const unsigned solder = Over(withAlpha(kSolder, 200), kWhite);
    const unsigned component = Over(withAlpha(kComponent, 120), kWhite);
    EXPECT_LE(ChannelDistance(Rgb(image, 40, 50), solder), 2);
    EXPECT_LE(ChannelDistance(Rgb(image, 95, 50), component), 2);
    EXPECT_LE(ChannelDistance(Rgb(image, 150, 50), component), 2) << "a member of a member";
}

// Selection marks stay one screen pixel wide however the object is scaled.
TEST_F(ScreenRender, OverlayMarksAreOnePixelWideOnAScaledPlacement)
{
    TVeskPath line(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface(1, false, false, 4));
    // A straight open segment from local (2, 5) to (20, 5), placed eight times larger.
    line.SetPoints({ { 2, 5 }, { 2, 5 }, { 20, 5 }, { 20, 5 }, { 20, 5 }, { 2, 5 } }, {});
    line.SetMatrix(Matrix(8, 0, 0, 8, 0, 0.5f));
    doc.Root().Add(line)->SetSelected(true);
    render();
    QImage screen;
    renderer.RenderOverlay(screen, image, doc.Root(), style, view);
    int marked = 0;
    for (int y = 0; y < screen.height(); ++y)
        marked += Rgb(screen, 80, y) == 0x000000u;
    EXPECT_EQ(marked, 1);
}

// Culling keeps everything an object paints, in every band, whatever its
// kind and nesting: a part's bounds are those of its selection (none after
// loading), and a wire frame paints its bare geometry whatever its outline.
TEST_F(ScreenRender, EveryBandDrawsWhatReachesIntoIt)
{
    image = QImage(200, 400, QImage::Format_ARGB32_Premultiplied);
    // Found again after each reset, which makes the layers anew.
    TVeskLayer* solder = nullptr;
    TVeskLayer* dimension = nullptr;
    const auto rect = [&](RectF box) {
        TVeskRect r(solder, TVeskSurface(0, false, true, 4));
        r.SetCorners({ box.X, box.Y }, { box.GetRight(), box.GetBottom() });
        r.SetSelected(false);
        return r;
    };
    const auto polyline = [&](std::vector<PointF> anchors) {
        TVeskPath p(dimension, StoredSurface(0, false));
        p.SetPoints(vesk::StraightEntries(anchors), {});
        return p;
    };
    struct Case {
        const char* what;
        std::function<void()> build;
        QPoint inked;
    };
    const Case cases[] = {
        { "a part in the root",
            [&] {
                TVeskPart part;
                part.Add(rect({ 10, 5, 10, 10 }));
                part.Add(rect({ 10, 300, 10, 10 }));
                doc.Root().Add(part);
            },
            { 15, 305 } },
        { "a part in a group",
            [&] {
                TVeskPart part;
                part.Add(rect({ 10, 5, 10, 10 }));
                part.Add(rect({ 10, 300, 10, 10 }));
                TVeskGroup group;
                group.Add(part);
                doc.Root().Add(group);
            },
            { 15, 305 } },
        { "a wire frame of no width",
            [&] {
                doc.Root().Add(polyline({ { 30, 10 }, { 60, 10 }, { 60, 390 } }));
            },
            { 60, 300 } },
        { "a wire frame of no width in a group",
            [&] {
                TVeskGroup group;
                group.Add(polyline({ { 30, 10 }, { 60, 10 }, { 60, 390 } }));
                doc.Root().Add(group);
            },
            { 60, 300 } },
        { "a straight wire frame of no width, in a band of its own",
            [&] {
                doc.Root().Add(polyline({ { 30, 300 }, { 90, 300 } }));
            },
            { 60, 300 } },
        { "a rectangle on a wire-frame layer",
            [&] {
                TVeskRect r(dimension, StoredSurface(0, false));
                r.SetCorners({ 40, 10 }, { 60, 390 });
                doc.Root().Add(r);
            },
            { 60, 300 } },
    };
    for (const Case& c : cases) {
        doc.Reset();
        solder = doc.Layers().FindLayer(QStringLiteral("solder"));
        dimension = doc.Layers().FindLayer(QStringLiteral("dimension"));
        c.build();
        renderer.SetMaxThreads(4);
        render();
        EXPECT_NE(Rgb(image, c.inked.x(), c.inked.y()), kWhite) << c.what;
    }
}

// A one-pixel outline on whole document units lies on the border between
// two pixels; it is drawn as one pixel, not as two grey ones, at any zoom.
TEST_F(ScreenRender, WireFramesAreOneCrispPixelOnWholeUnits)
{
    for (const double zoom : { 1.0, 2.0, 1.3 }) {
        SCOPED_TRACE(zoom);
        doc.Reset();
        zoomTo(zoom, zoom == 1.3 ? 0.35f : 0.0f, 0);
        AddRect(doc, "dimension", { 20, 10, 60, 30 });
        for (const bool antialias : { true, false }) {
            SCOPED_TRACE(antialias);
            view.antialias = antialias;
            render();
            const int row = int(25 * zoom);
            const int column = int(50 * zoom);
            int inked = 0;
            for (int x = 0; x < int(40 * zoom); ++x) {
                const unsigned rgb = Rgb(image, x, row);
                EXPECT_TRUE(rgb == 0x000000u || rgb == kWhite) << "grey at " << x;
                inked += rgb != kWhite;
            }
            EXPECT_EQ(inked, 1) << "the left edge";
            inked = 0;
            for (int y = 0; y < int(20 * zoom); ++y) {
                const unsigned rgb = Rgb(image, column, y);
                EXPECT_TRUE(rgb == 0x000000u || rgb == kWhite) << "grey at " << y;
                inked += rgb != kWhite;
            }
            EXPECT_EQ(inked, 1) << "the top edge";
        }
    }
}

} // namespace
} // namespace vesk::test
