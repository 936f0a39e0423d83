// Fills and hairlines written straight into images: the same pixels as Qt's
// own painting within a few levels, clipping at the image's sides, fill
// rules, untrusted coordinates, and the painter states that must go to Qt.
#include "render/Outlinefill.h"

#include "RenderTestSupport.h"
#include "geometry/QtConvert.h"

#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <random>

namespace vesk::test {
namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 80;
constexpr ARGB kRed = 0x78EB2828; // a layer's normal colour: alpha 120
constexpr ARGB kBlack = 0xFF000000;

QImage blank(QColor background = Qt::white, QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    QImage image(kWidth, kHeight, format);
    image.fill(background);
    return image;
}

// Largest difference of one channel over the whole image, and how many pixels differ at all.
struct Difference {
    int worst = 0;
    int pixels = 0;
};

Difference compare(const QImage& a, const QImage& b)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const int c = ChannelDistance(Rgb(a, x, y), Rgb(b, x, y));
            d.worst = std::max(d.worst, c);
            d.pixels += c > 0;
        }
    }
    return d;
}

int pixelsOfColour(const QImage& image, unsigned rgb)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += Rgb(image, x, y) == rgb;
    return n;
}

QImage qtFill(QImage image, const QTransform& t, const GraphicsPath& path, ARGB color)
{
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    g.setWorldTransform(t);
    g.fillPath(ToQPainterPath(path), ToQColor(color));
    return image;
}

GraphicsPath rectangle(RectF r, FillMode mode = FillMode::Winding)
{
    GraphicsPath p(mode);
    p.AddRectangle(r);
    return p;
}

GraphicsPath polygon(std::initializer_list<PointF> points, bool close)
{
    GraphicsPath p(FillMode::Winding);
    p.AddLines(std::vector<PointF>(points));
    if (close)
        p.CloseFigure();
    return p;
}

// The stroke of a curved track, as shapes cache it: an outline that overlaps
// itself and fills correctly only under the winding rule.
GraphicsPath track()
{
    GraphicsPath p(FillMode::Winding);
    p.AddBeziers(std::vector<PointF> {
        { 8, 60 }, { 30, 5 }, { 55, 90 }, { 70, 30 }, { 75, 10 }, { 85, 15 }, { 92, 40 } });
    Pen pen;
    pen.width = 7.5f;
    pen.startCap = pen.endCap = LineCap::Round;
    pen.lineJoin = LineJoin::Round;
    p.Widen(pen);
    return p;
}

struct FillCase {
    const char* what;
    std::function<GraphicsPath()> path;
    QTransform transform;
    ARGB color;
    QColor background;
    QImage::Format format;
    // Most a channel may differ from Qt's, which rounds coverage its own way.
    int tolerance;
};

void PrintTo(const FillCase& c, std::ostream* os)
{
    *os << c.what;
}

class FillLikeQt : public ::testing::TestWithParam<FillCase> { };

TEST_P(FillLikeQt, WithinAFewLevelsOfQtsOwnFill)
{
    const FillCase& c = GetParam();
    const GraphicsPath path = c.path();
    QImage direct = blank(c.background, c.format);
    ASSERT_TRUE(FillOutlineInImage(direct, c.transform, path, c.color)) << "took Qt's route instead";
    const QImage qt = qtFill(blank(c.background, c.format), c.transform, path, c.color);
    const Difference d = compare(direct, qt);
    EXPECT_LE(d.worst, c.tolerance) << d.pixels << " pixels differ";
    EXPECT_GT(compare(direct, blank(c.background, c.format)).pixels, 0) << "nothing was painted";
}

const QTransform kTurned = QTransform().translate(50, 40).rotate(30).scale(1.7, 1.3).translate(-20, -15);

INSTANTIATE_TEST_SUITE_P(Outline, FillLikeQt,
    ::testing::Values(FillCase { "fractional rectangle",
                          [] {
                              return rectangle({ 10.3f, 7.6f, 40.45f, 20.2f });
                          },
                          {}, kRed, Qt::white, QImage::Format_ARGB32_Premultiplied, 2 },
        FillCase { "overlapping stroke outline", track, {}, kRed, Qt::white,
            QImage::Format_ARGB32_Premultiplied, 3 },
        FillCase { "even-odd ring",
            [] {
                GraphicsPath p = rectangle({ 10, 10, 60, 50 }, FillMode::Alternate);
                p.AddRectangle({ 25.5f, 20.25f, 20, 20 });
                return p;
            },
            {}, kRed, Qt::white, QImage::Format_ARGB32_Premultiplied, 2 },
        FillCase { "winding ring fills its hole",
            [] {
                GraphicsPath p = rectangle({ 10, 10, 60, 50 });
                p.AddRectangle({ 25.5f, 20.25f, 20, 20 });
                return p;
            },
            {}, kRed, Qt::white, QImage::Format_ARGB32_Premultiplied, 2 },
        FillCase { "crossing every side of the image",
            [] {
                return polygon({ { -50, -30 }, { 150, 20 }, { 70, 130 }, { -20, 95 } }, true);
            },
            {}, kRed, Qt::white, QImage::Format_ARGB32_Premultiplied, 2 },
        FillCase { "turned, scaled and placed",
            [] {
                return rectangle({ 0, 0, 40, 30 });
            },
            kTurned, kRed, Qt::white, QImage::Format_ARGB32_Premultiplied, 2 },
        FillCase { "slivers below a pixel",
            [] {
                GraphicsPath p = rectangle({ 20.1f, 20.6f, 0.3f, 0.2f });
                p.AddRectangle({ 5, 50.45f, 90, 0.1f });
                return p;
            },
            {}, kBlack, Qt::white, QImage::Format_ARGB32_Premultiplied, 2 },
        FillCase { "open figure closed by filling",
            [] {
                return polygon({ { 10, 70 }, { 50, 5.5f }, { 90.3f, 70 } }, false);
            },
            {}, kRed, Qt::white, QImage::Format_ARGB32_Premultiplied, 2 },
        FillCase { "translucent over a colour", track, QTransform::fromScale(1.1, 0.9), kRed,
            QColor(30, 160, 90), QImage::Format_ARGB32_Premultiplied, 3 },
        FillCase { "opaque into an opaque format", track, {}, kBlack, QColor(30, 160, 90),
            QImage::Format_RGB32, 3 }),
    [](const ::testing::TestParamInfo<FillCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// Qt flattens curves coarsely enough to be off by a quarter of a pixel's
// coverage along a circle; measured against the true ellipse instead.
TEST(OutlineFill, CurvesFollowTheTrueEllipse)
{
    const RectF r { 20.2f, 10.7f, 55.1f, 50.3f };
    GraphicsPath path(FillMode::Winding);
    path.AddEllipse(r);
    QImage image = blank();
    ASSERT_TRUE(FillOutlineInImage(image, QTransform(), path, kBlack));
    const double cx = r.X + r.Width / 2.0, cy = r.Y + r.Height / 2.0, rx = r.Width / 2.0, ry = r.Height / 2.0;
    constexpr int kSamples = 16;
    int worst = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int in = 0;
            for (int j = 0; j < kSamples; ++j) {
                for (int i = 0; i < kSamples; ++i) {
                    const double px = x + (i + 0.5) / kSamples - cx, py = y + (j + 0.5) / kSamples - cy;
                    in += px * px / (rx * rx) + py * py / (ry * ry) <= 1.0;
                }
            }
            const int expected = int(std::lround(255.0 * (1.0 - double(in) / (kSamples * kSamples))));
            worst = std::max(worst, std::abs(qRed(image.pixel(x, y)) - expected));
        }
    }
    // A twentieth of a pixel between curve and chord, and the sampling's own error.
    EXPECT_LE(worst, 16);
}

// The buffers each thread keeps must come back clean whatever the last fill
// left in them: one reaching beyond every side, then a small one.
TEST(OutlineFill, AFillLeavesNothingBehindForTheNext)
{
    const GraphicsPath big = polygon({ { -500, -300 }, { 900, 20 }, { 70, 900 } }, true);
    QImage first = blank();
    ASSERT_TRUE(FillOutlineInImage(first, QTransform(), big, kRed));
    const GraphicsPath small = rectangle({ 30.5f, 30.25f, 7, 9 });
    QImage second = blank();
    ASSERT_TRUE(FillOutlineInImage(second, QTransform(), small, kRed));
    EXPECT_LE(compare(second, qtFill(blank(), QTransform(), small, kRed)).worst, 2);
}

// Bands and tiles of one picture begin at different rows and columns: an
// outline wholly inside one must come out the same, pixel for pixel, as in
// the whole image, fill and line alike.
TEST(OutlineFill, AnOutlineLandsOnTheSamePixelsWhereverTheImageBegins)
{
    const QTransform place = QTransform().translate(1513.37, 611.71).rotate(17).scale(3.37, 3.37);
    const GraphicsPath shape = track();
    const QRectF reach = place.map(ToQPainterPath(shape)).boundingRect().adjusted(-3, -3, 3, 3);
    QImage whole(2000, 1100, QImage::Format_ARGB32_Premultiplied);
    ASSERT_TRUE(QRectF(whole.rect()).contains(reach));
    whole.fill(Qt::white);
    ASSERT_TRUE(FillOutlineInImage(whole, place, shape, kRed));
    ASSERT_TRUE(StrokeHairlineInImage(whole, place, shape, kBlack, false));
    for (const QPoint corner : { QPoint(1400, 600), QPoint(1397, 589), QPoint(1301, 533) }) {
        SCOPED_TRACE(corner.x() * 10000 + corner.y());
        QImage tile(600, 500, QImage::Format_ARGB32_Premultiplied);
        ASSERT_TRUE(QRectF(QRect(corner, tile.size())).contains(reach));
        const QTransform shifted = place * QTransform::fromTranslate(-corner.x(), -corner.y());
        tile.fill(Qt::white);
        ASSERT_TRUE(FillOutlineInImage(tile, shifted, shape, kRed));
        ASSERT_TRUE(StrokeHairlineInImage(tile, shifted, shape, kBlack, false));
        EXPECT_EQ(tile, whole.copy(corner.x(), corner.y(), tile.width(), tile.height()));
    }
}

TEST(OutlineFill, OutlinesOffTheImageAreDoneWithoutPainting)
{
    for (const RectF r : { RectF { -40, 10, 30, 20 }, RectF { 110, 10, 30, 20 }, RectF { 10, -40, 30, 20 },
             RectF { 10, 90, 30, 20 } }) {
        QImage image = blank();
        EXPECT_TRUE(FillOutlineInImage(image, QTransform(), rectangle(r), kBlack));
        EXPECT_EQ(image, blank());
    }
}

// Coordinates come from documents: far too large ones must still fill what
// they cover, and ones that are not numbers go to Qt, which leaves them out.
TEST(OutlineFill, HugeCoordinatesFillWhatTheyCover)
{
    const float huge = 1e30f;
    QImage image = blank();
    ASSERT_TRUE(
        FillOutlineInImage(image, QTransform(), rectangle({ -huge, -huge, 2 * huge, 2 * huge }), kBlack));
    EXPECT_EQ(pixelsOfColour(image, 0x000000), kWidth * kHeight);

    // Wedges from a point far beyond one side to an edge at x = 50: at the
    // image they are all but bands of full height.
    for (const float side : { -huge, huge }) {
        SCOPED_TRACE(side);
        image = blank();
        const GraphicsPath wedge = polygon({ { side, 40 }, { 50, 0 }, { 50, 80 } }, true);
        ASSERT_TRUE(FillOutlineInImage(image, QTransform(), wedge, kBlack));
        const int inside = side < 0 ? 0 : kWidth - 1;
        const int outside = side < 0 ? 60 : 40;
        for (const int y : { 1, 40, 78 })
            EXPECT_EQ(Rgb(image, inside, y), 0x000000u) << y;
        EXPECT_EQ(Rgb(image, outside, 40), 0xFFFFFFu);
    }
}

TEST(OutlineFill, PointsThatAreNotNumbersGoToQt)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const GraphicsPath path = polygon({ { 10, 10 }, { nan, 40 }, { 60, 10 }, { 60, 60 } }, true);
    QImage image = blank();
    EXPECT_FALSE(FillOutlineInImage(image, QTransform(), path, kBlack));
    EXPECT_EQ(image, blank());
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    FillOutline(g, path, kBlack);
    g.end();
    EXPECT_EQ(image, qtFill(blank(), QTransform(), path, kBlack));
}

// What the direct route cannot honour must leave the drawing to Qt, pixel for pixel.
struct PainterCase {
    const char* what;
    std::function<void(QPainter&)> set;
    QImage::Format format;
};

void PrintTo(const PainterCase& c, std::ostream* os)
{
    *os << c.what;
}

class PainterStates : public ::testing::TestWithParam<PainterCase> { };

TEST_P(PainterStates, AreLeftToQt)
{
    const PainterCase& c = GetParam();
    const GraphicsPath path = track();
    const auto paint = [&](bool direct) {
        QImage image = blank(QColor(30, 160, 90), c.format);
        QPainter g(&image);
        g.setRenderHint(QPainter::Antialiasing);
        g.setWorldTransform(QTransform::fromScale(1.1, 0.9));
        c.set(g);
        if (direct)
            FillOutline(g, path, kRed);
        else
            g.fillPath(ToQPainterPath(path), ToQColor(kRed));
        g.end();
        return image;
    };
    EXPECT_EQ(paint(true), paint(false));
}

INSTANTIATE_TEST_SUITE_P(Outline, PainterStates,
    ::testing::Values(PainterCase { "clip", [](QPainter& g) { g.setClipRect(QRectF(10, 10, 40, 30)); },
                          QImage::Format_ARGB32_Premultiplied },
        PainterCase {
            "opacity", [](QPainter& g) { g.setOpacity(0.5); }, QImage::Format_ARGB32_Premultiplied },
        PainterCase { "composition",
            [](QPainter& g) { g.setCompositionMode(QPainter::CompositionMode_Multiply); },
            QImage::Format_ARGB32_Premultiplied },
        PainterCase { "aliased", [](QPainter& g) { g.setRenderHint(QPainter::Antialiasing, false); },
            QImage::Format_ARGB32_Premultiplied },
        PainterCase { "unpremultiplied", [](QPainter&) {}, QImage::Format_ARGB32 },
        PainterCase { "perspective",
            [](QPainter& g) { g.setWorldTransform(QTransform(1, 0, 0.001, 0, 1, 0.002, 0, 0, 1), true); },
            QImage::Format_ARGB32_Premultiplied }),
    [](const ::testing::TestParamInfo<PainterCase>& info) { return std::string(info.param.what); });

// ---------------------------------------------------------------- hairlines

QImage hairline(const GraphicsPath& path, ARGB color, bool antialiased)
{
    QImage image = blank();
    EXPECT_TRUE(StrokeHairlineInImage(image, QTransform(), path, color, antialiased));
    return image;
}

TEST(Hairline, IsOnePixelWideOnPixelCentres)
{
    for (const bool antialiased : { true, false }) {
        SCOPED_TRACE(antialiased);
        const QImage image
            = hairline(polygon({ { 5.5f, 10.5f }, { 50.5f, 10.5f } }, false), kBlack, antialiased);
        for (int x = 6; x < 50; ++x) {
            EXPECT_EQ(Rgb(image, x, 10), 0x000000u) << x;
            EXPECT_EQ(Rgb(image, x, 9), 0xFFFFFFu) << x;
            EXPECT_EQ(Rgb(image, x, 11), 0xFFFFFFu) << x;
        }
    }
}

// Between two rows or columns, or anywhere within one, a line along it
// takes the pixels its points lie in, whole: never two grey rows. The same
// on the direct route and on Qt's (here for a clip).
TEST(Hairline, AlignsToThePixelGridOnEitherRoute)
{
    struct Case {
        const char* what;
        float at; // y of a horizontal line, x of a vertical one
        int pixel;
    };
    const Case cases[] = { { "on a border", 10.0f, 10 }, { "a third in", 10.33f, 10 },
        { "just short of the next", 10.99f, 10 } };
    for (const Case& c : cases) {
        for (const bool direct : { true, false }) {
            SCOPED_TRACE(std::string(c.what) + (direct ? ", direct" : ", Qt"));
            QImage image = blank();
            {
                QPainter g(&image);
                g.setRenderHint(QPainter::Antialiasing);
                if (!direct)
                    g.setClipRect(0, 0, kWidth, kHeight);
                Pen pen;
                pen.color = kBlack;
                StrokeHairline(g, polygon({ { 5, c.at }, { 50, c.at } }, false), pen);
                StrokeHairline(g, polygon({ { c.at + 60, 5 }, { c.at + 60, 50 } }, false), pen);
            }
            for (int x = 8; x < 48; ++x) {
                EXPECT_EQ(Rgb(image, x, c.pixel), 0x000000u) << x;
                EXPECT_EQ(Rgb(image, x, c.pixel - 1), 0xFFFFFFu) << x;
                EXPECT_EQ(Rgb(image, x, c.pixel + 1), 0xFFFFFFu) << x;
            }
            for (int y = 8; y < 48; ++y) {
                EXPECT_EQ(Rgb(image, c.pixel + 60, y), 0x000000u) << y;
                EXPECT_EQ(Rgb(image, c.pixel + 59, y), 0xFFFFFFu) << y;
                EXPECT_EQ(Rgb(image, c.pixel + 61, y), 0xFFFFFFu) << y;
            }
        }
    }
}

// The overlay's bands cut lines that one painter would draw whole: an
// aliased line, straight or curved, solid or dashed, must mark in a band
// just the pixels it marks in the whole image.
TEST(Hairline, AliasedLinesCutByABandMarkWhatTheWholeLineMarks)
{
    constexpr int width = 1900, height = 1000;
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> x(-40, width + 40), y(-40, height + 40);
    std::vector<GraphicsPath> lines;
    for (int i = 0; i < 400; ++i) {
        GraphicsPath p(FillMode::Winding);
        const PointF a { x(rng), y(rng) }, b { x(rng), y(rng) };
        if (i % 2 == 0)
            p.AddLines(std::vector<PointF> { a, b, { x(rng), y(rng) } });
        else
            p.AddBezier(a, { x(rng), y(rng) }, { x(rng), y(rng) }, b);
        lines.push_back(p);
    }
    const QTransform place = QTransform().translate(0.37, 0.61).scale(0.9713, 0.9713);
    const auto draw = [&](QImage& image, const QTransform& t) {
        QPainter g(&image);
        g.setWorldTransform(t);
        for (size_t i = 0; i < lines.size(); ++i) {
            Pen pen;
            pen.color = kBlack;
            pen.width = float(1 / 0.9713);
            if (i % 3 == 0)
                pen.dashPattern = { 2, 1 };
            StrokeDashedLine(g, lines[i], pen);
        }
    };
    QImage whole(width, height, QImage::Format_ARGB32_Premultiplied);
    whole.fill(Qt::white);
    draw(whole, place);
    for (const int top : { 137, 500, 771 }) {
        SCOPED_TRACE(top);
        QImage band(width, 200, QImage::Format_ARGB32_Premultiplied);
        band.fill(Qt::white);
        draw(band, place * QTransform::fromTranslate(0, -top));
        EXPECT_EQ(compare(band, whole.copy(0, top, width, 200)).pixels, 0);
    }
}

// A line shorter than a pixel still marks one.
TEST(Hairline, ALineWithinOnePixelMarksIt)
{
    const QImage image = hairline(polygon({ { 20.2f, 30.3f }, { 20.6f, 30.4f } }, false), kBlack, true);
    EXPECT_EQ(Rgb(image, 20, 30), 0x000000u);
    EXPECT_EQ(Rgb(image, 21, 30), 0xFFFFFFu);
    EXPECT_EQ(Rgb(image, 20, 31), 0xFFFFFFu);
}

// A spike out and back encloses no area, which a fill may leave out, but a line shows it.
TEST(Hairline, DrawsASpikeOutAndBack)
{
    const GraphicsPath spike
        = polygon({ { 10.5f, 40.5f }, { 10.5f, 10.5f }, { 10.5f, 40.5f }, { 60.5f, 40.5f } }, false);
    for (const bool antialiased : { true, false }) {
        SCOPED_TRACE(antialiased);
        const QImage image = hairline(spike, kBlack, antialiased);
        EXPECT_EQ(Rgb(image, 10, 25), 0x000000u);
        EXPECT_EQ(Rgb(image, 35, 40), 0x000000u);
    }
}

// A translucent mark painted twice where segments meet would show darker corners.
TEST(Hairline, JoinsAreNeitherDoubledNorNotched)
{
    const GraphicsPath frame = rectangle({ 10.5f, 10.5f, 40, 30 });
    for (const bool antialiased : { true, false }) {
        SCOPED_TRACE(antialiased);
        const QImage image = hairline(frame, kRed, antialiased);
        const unsigned edge = Rgb(image, 30, 10);
        EXPECT_LE(ChannelDistance(edge, Over(kRed, 0xFFFFFF)), 2);
        for (const QPoint corner : { QPoint(10, 10), QPoint(50, 10), QPoint(50, 40), QPoint(10, 40) })
            EXPECT_LE(ChannelDistance(Rgb(image, corner.x(), corner.y()), edge), 2)
                << corner.x() << "," << corner.y();
        EXPECT_EQ(Rgb(image, 30, 25), 0xFFFFFFu) << "a frame, not a fill";
    }
}

// Without anti-aliasing a mark is one pixel per step along its longer axis, without gaps.
TEST(Hairline, AliasedTakesOnePixelPerStepAlongTheLongerAxis)
{
    struct Case {
        PointF a, b;
    };
    for (const Case c : { Case { { 5.2f, 7.7f }, { 90.6f, 40.1f } },
             Case { { 12.3f, 75.1f }, { 30.9f, 3.4f } }, Case { { 80.5f, 60.2f }, { 8.1f, 52.8f } } }) {
        const QImage image = hairline(polygon({ c.a, c.b }, false), kBlack, false);
        const bool alongX = std::abs(c.b.X - c.a.X) >= std::abs(c.b.Y - c.a.Y);
        const int steps = alongX ? kWidth : kHeight;
        int previous = -1;
        for (int k = 0; k < steps; ++k) {
            int count = 0, at = -1;
            for (int j = 0; j < (alongX ? kHeight : kWidth); ++j) {
                if ((alongX ? Rgb(image, k, j) : Rgb(image, j, k)) == 0x000000u) {
                    ++count;
                    at = j;
                }
            }
            const float centre = float(k) + 0.5f;
            const float lo = std::min(alongX ? c.a.X : c.a.Y, alongX ? c.b.X : c.b.Y);
            const float hi = std::max(alongX ? c.a.X : c.a.Y, alongX ? c.b.X : c.b.Y);
            if (centre < lo || centre > hi) {
                EXPECT_EQ(count, 0) << k;
                continue;
            }
            EXPECT_LE(count, 1) << k;
            if (count != 1)
                continue;
            if (previous >= 0) {
                EXPECT_LE(std::abs(at - previous), 1) << "gap at " << k;
            }
            previous = at;
        }
    }
}

// An aliased line takes a straight curve (a track's segment: controls on
// its ends) as its chord, and so marks the pixels of that line, while a
// curve that bends does not.
TEST(Hairline, AliasedStraightCurvesMarkTheirChord)
{
    struct Case {
        const char* what;
        PointF a, b;
    };
    const Case cases[] = { { "shallow", { 5.3f, 7.7f }, { 90.6f, 40.1f } },
        { "steep", { 12.3f, 75.1f }, { 30.9f, 3.4f } }, { "diagonal", { 10.2f, 10.7f }, { 70.2f, 70.7f } },
        { "along a row", { 4.5f, 20.5f }, { 95.5f, 20.5f } } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GraphicsPath curve(FillMode::Winding);
        curve.AddBezier(c.a, c.a, c.b, c.b);
        const QImage line = hairline(polygon({ c.a, c.b }, false), kBlack, false);
        EXPECT_EQ(compare(hairline(curve, kBlack, false), line).pixels, 0);
        // Controls a hair off the chord, as rounding leaves them.
        const PointF hair { 0.002f, -0.003f };
        GraphicsPath nearly(FillMode::Winding);
        nearly.AddBezier(c.a, c.a + hair, c.b - hair, c.b);
        EXPECT_EQ(compare(hairline(nearly, kBlack, false), line).pixels, 0);
    }
    GraphicsPath bent(FillMode::Winding);
    bent.AddBezier({ 5.5f, 40.5f }, { 5.5f, 10.5f }, { 90.5f, 10.5f }, { 90.5f, 40.5f });
    EXPECT_GT(compare(hairline(bent, kBlack, false),
                  hairline(polygon({ { 5.5f, 40.5f }, { 90.5f, 40.5f } }, false), kBlack, false))
                  .pixels,
        20);
}

// ---------------------------------------------------------------- dashes

// Qt's own dashes of a pen as wide as a pixel: the pen's stroke, dash by
// dash, filled without anti-aliasing (what Qt does unless it takes its
// cosmetic route, which lays the pattern half a pixel off).
QImage qtDashes(const QTransform& t, const GraphicsPath& path, const Pen& pen)
{
    QImage image = blank();
    QPainter g(&image);
    g.setWorldTransform(t);
    g.fillPath(QPainterPathStroker(ToQPen(pen)).createStroke(ToQPainterPath(path)), ToQColor(pen.color));
    return image;
}

QImage directDashes(const QTransform& t, const GraphicsPath& path, const Pen& pen)
{
    QImage image = blank();
    QPainter g(&image);
    g.setWorldTransform(t);
    StrokeDashedLine(g, path, pen);
    return image;
}

Pen dashedPen(float width, std::vector<float> pattern)
{
    Pen pen;
    pen.color = kBlack;
    pen.width = width;
    pen.dashPattern = std::move(pattern);
    return pen;
}

struct DashCase {
    const char* what;
    QTransform transform;
    float width; // the pen's, one device pixel at the transform's scale
    std::vector<float> pattern;
    RectF frame;
};

void PrintTo(const DashCase& c, std::ostream* os)
{
    *os << c.what;
}

class DashesLikeQt : public ::testing::TestWithParam<DashCase> { };

// A text's selection frame: the dashes fall where Qt's do, the pattern
// running on around the corners, but for a pixel at a corner.
TEST_P(DashesLikeQt, MarkTheSamePixels)
{
    const DashCase& c = GetParam();
    GraphicsPath frame(FillMode::Winding);
    frame.AddRectangle(c.frame);
    const Pen pen = dashedPen(c.width, c.pattern);
    const QImage direct = directDashes(c.transform, frame, pen);
    const QImage qt = qtDashes(c.transform, frame, pen);
    EXPECT_LE(compare(direct, qt).pixels, 2);
    // Dashed: well short of the solid frame.
    const QImage solid = directDashes(c.transform, frame, dashedPen(c.width, {}));
    EXPECT_LT(pixelsOfColour(direct, 0), pixelsOfColour(solid, 0) * 4 / 5);
}

INSTANTIATE_TEST_SUITE_P(Outline, DashesLikeQt,
    ::testing::Values(
        DashCase { "between pixels", QTransform(), 1, { 1, 1 }, { 10.3f, 12.6f, 60.2f, 25.7f } },
        DashCase { "zoomed out", QTransform::fromScale(0.225318, 0.225318), float(1 / 0.225318), { 1, 1 },
            { 40.3f, 50.6f, 270.2f, 120.7f } },
        DashCase { "zoomed in, half-pixel dashes", QTransform::fromScale(2, 2), 0.5f, { 0.5f, 0.5f },
            { 5.3f, 6.6f, 30.2f, 12.7f } },
        DashCase { "long dashes", QTransform(), 1, { 3, 2 }, { 10.3f, 12.6f, 60.2f, 25.7f } },
        DashCase { "odd pattern, repeated", QTransform(), 1, { 3 }, { 10.3f, 12.6f, 60.2f, 25.7f } },
        DashCase { "edges on pixel borders", QTransform(), 1, { 1, 1 }, { 10, 12, 60, 25 } }),
    [](const ::testing::TestParamInfo<DashCase>& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

// A turned frame's dashes are pieces of the one-pixel line StrokeHairline
// draws: on the line, about as many as Qt's.
TEST(Dashes, OfATurnedFrameKeepToItsLine)
{
    GraphicsPath frame(FillMode::Winding);
    frame.AddRectangle({ 0.3f, 0.6f, 50.2f, 20.7f });
    const QTransform turned = QTransform().translate(40, 5).rotate(30);
    const Pen pen = dashedPen(1, { 1, 1 });
    const QImage direct = directDashes(turned, frame, pen);
    const QImage solid = directDashes(turned, frame, dashedPen(1, {}));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (Rgb(direct, x, y) == 0) {
                bool near = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        near = near
                            || (x + dx >= 0 && y + dy >= 0 && x + dx < kWidth && y + dy < kHeight
                                && Rgb(solid, x + dx, y + dy) == 0);
                EXPECT_TRUE(near) << x << "," << y;
            }
    const int qt = pixelsOfColour(qtDashes(turned, frame, pen), 0);
    EXPECT_NEAR(pixelsOfColour(direct, 0), qt, qt / 5);
}

// What Qt takes as no pattern at all (nothing positive in it) is a solid
// line; anti-aliased dashes and patterns finer than a pixel go to Qt.
TEST(Dashes, PatternsWithoutDashesAndTheRestGoToQt)
{
    GraphicsPath frame(FillMode::Winding);
    frame.AddRectangle({ 10.3f, 12.6f, 60.2f, 25.7f });
    const QImage solid = directDashes(QTransform(), frame, dashedPen(1, {}));
    EXPECT_EQ(
        compare(directDashes(QTransform(), frame, dashedPen(1, { 0, -2, std::nanf("") })), solid).pixels, 0);

    for (const std::vector<float>& pattern :
        { std::vector<float> { 0.05f, 0.05f }, std::vector<float> { 1, 1 } }) {
        for (const bool antialiased : { false, true }) {
            if (pattern[0] > 0.5f && !antialiased)
                continue; // the direct route's case, above
            SCOPED_TRACE(antialiased);
            const Pen pen = dashedPen(1, pattern);
            QImage direct = blank(), qt = blank();
            {
                QPainter g(&direct);
                g.setRenderHint(QPainter::Antialiasing, antialiased);
                StrokeDashedLine(g, frame, pen);
            }
            {
                QPainter g(&qt);
                g.setRenderHint(QPainter::Antialiasing, antialiased);
                g.strokePath(ToQPainterPath(frame), ToQPen(pen));
            }
            EXPECT_EQ(direct, qt);
        }
    }
}

// Only the stretch of a line near the image is cut into dashes; the rest
// moves the pattern on, so a frame far larger than the image is drawn
// quickly and its dashes still fall as Qt's do.
TEST(Dashes, ALineFarBeyondTheImageKeepsItsPattern)
{
    GraphicsPath line(FillMode::Winding);
    line.AddLines(std::vector<PointF> { { -20000.3f, 20.5f }, { 20000.3f, 20.5f } });
    const Pen pen = dashedPen(1, { 3, 2 });
    EXPECT_LE(compare(directDashes(QTransform(), line, pen), qtDashes(QTransform(), line, pen)).pixels, 2);
}

} // namespace
} // namespace vesk::test
