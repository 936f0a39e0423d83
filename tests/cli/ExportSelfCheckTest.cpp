// Our renderer against gerbv: each layer of the Gerber fixture board drawn
// in print colours from the document, and by gerbv from the file vesk-cli
// exports, over the same window at the same resolution. Every dark pixel of
// either picture must lie within 0.2 mm of a dark pixel of the other: room
// for the 0.3 mm strokes that shapes without outline become, none for a
// missing, misplaced, mis-scaled or mirrored object. The few places where
// the export rules make the film differ from the print are listed with the
// layers, each with its reason.
#include "CliSupport.h"
#include "InkComparison.h"
#include "StoredSurface.h"
#include "io/Veskdocument.h"
#include "io/Veskfilestream.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "render/Renderexport.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <numbers>
#include <ostream>
#include <utility>
#include <vector>

namespace {

using namespace vesk;
using namespace vesk::test;

// The board (100 x 70 mm from the origin) with 5 mm around it, at 0.05 mm a pixel.
constexpr int kDpi = 508;
const RectF kWindow { -50, -50, 1100, 800 };
constexpr double kUnitsPerInch = 254.0;
constexpr double kMmPerPixel = 25.4 / kDpi;
constexpr double kToleranceMm = 0.2;

QSize windowPixels()
{
    return { int(std::lround(kWindow.Width * kDpi / kUnitsPerInch)),
        int(std::lround(kWindow.Height * kDpi / kUnitsPerInch)) };
}

// The files keep the document's y and mirror the B axis, so gerbv, whose y
// axis points up, puts the document point (x, y) at (x, -y) mm: the bottom
// of the window is its lower edge.
GerbvWindow gerbvWindow()
{
    return { kDpi, windowPixels(), QPointF(kWindow.X / 10.0, -kWindow.GetBottom() / 10.0) };
}

// ---------------------------------------------------------------- the comparison itself

struct ComparisonCase {
    const char* what;
    std::vector<QRect> ours;
    std::vector<QRect> theirs;
    bool oursAstray;
    bool theirsAstray;
};

QImage picture(const std::vector<QRect>& rects)
{
    QImage image(120, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter g(&image);
    for (const QRect& r : rects)
        g.fillRect(r, Qt::black);
    return image;
}

TEST(ExportSelfCheckComparison, FindsInkBeyondTheToleranceInEitherPicture)
{
    const QRect dot(40, 40, 10, 10);
    const ComparisonCase cases[] = {
        { "the same", { dot }, { dot }, false, false },
        { "moved by the tolerance", { dot }, { dot.translated(4, 0) }, false, false },
        { "moved by one pixel more", { dot }, { dot.translated(5, 0) }, true, true },
        { "moved 3 and 2: 3.6 pixels away", { dot }, { dot.translated(3, 2) }, false, false },
        { "moved 3 and 3: 4.2 pixels away, within 4 along each axis", { dot }, { dot.translated(3, 3) }, true,
            true },
        { "a stroke 3 pixels wider on each side", { QRect(20, 60, 80, 2) }, { QRect(20, 57, 80, 8) }, false,
            false },
        { "a stroke 5 pixels wider on each side", { QRect(20, 60, 80, 2) }, { QRect(20, 55, 80, 12) }, false,
            true },
        { "an object only in ours", { dot, QRect(5, 5, 3, 3) }, { dot }, true, false },
        { "an object only in gerbv's", { dot }, { dot, QRect(100, 100, 3, 3) }, false, true },
        { "nothing in gerbv's", { dot }, {}, true, false },
    };
    for (const ComparisonCase& c : cases) {
        const Agreement a = compare(inkOf(picture(c.ours)), inkOf(picture(c.theirs)), 4.0);
        EXPECT_EQ(a.oursAstray > 0, c.oursAstray) << c.what;
        EXPECT_EQ(a.theirsAstray > 0, c.theirsAstray) << c.what;
    }
}

// ---------------------------------------------------------------- both sides

QImage renderOurs(const TVeskDocument& doc, int layerIndex)
{
    TExportOptions options;
    options.window = kWindow;
    options.dotsPerInch = kDpi;
    options.layers = { layerIndex };
    options.black = true;
    QString error;
    QImage image = RenderDocumentImage(doc, options, &error);
    EXPECT_FALSE(image.isNull()) << error.toStdString();
    return image;
}

// gerbv's picture of one exported file, beside it.
QImage renderGerbv(const QString& gerber)
{
    const QString png = gerber + QStringLiteral(".gerbv.png");
    const ProcessRun r = gerbvToPng(gerber, png, gerbvWindow());
    EXPECT_EQ(r.exitCode, 0) << gerber.toStdString() << "\n" << r.err.toStdString();
    QImage image(png);
    EXPECT_EQ(image.size(), windowPixels()) << gerber.toStdString();
    return image;
}

// The files of every layer that holds objects, exported into the folder.
QStringList exportGerber(const QString& document, const QString& folder)
{
    const ProcessRun r = cli({ QStringLiteral("gerber"), document, QStringLiteral("-o"), folder });
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return lines(r.out);
}

QPointF centroid(const Ink& ink)
{
    double sx = 0;
    double sy = 0;
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x)
            if (ink.dark[size_t(y) * ink.width + x]) {
                sx += x + 0.5;
                sy += y + 0.5;
            }
    return ink.count ? QPointF(sx / ink.count, sy / ink.count) : QPointF(-1, -1);
}

class ExportSelfCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(gerbv().isEmpty()) << "gerbv is not installed; tools/setup.sh installs it";
        ASSERT_TRUE(dir.isValid());
    }

    // Keeps the folder and says where it is, for a failure's pictures.
    void keepFolder(const QString& what)
    {
        dir.setAutoRemove(false);
        ADD_FAILURE() << what.toStdString() << ": the pictures are in " << dir.path().toStdString();
    }

    QTemporaryDir dir;
};

// One dot of 2 mm, alone on the component layer: where the window puts it,
// and as large, in both pictures.
TEST_F(ExportSelfCheck, ADotLandsOnTheSamePixelsInBothPictures)
{
    const PointF spots[] = { { 0, 0 }, { 300, 200 }, { 1000, 700 } };
    for (const PointF spot : spots) {
        SCOPED_TRACE(QStringLiteral("dot at %1, %2").arg(spot.X).arg(spot.Y).toStdString());
        const QString folder = dir.filePath(QStringLiteral("dot-%1-%2").arg(spot.X).arg(spot.Y));
        ASSERT_TRUE(QDir().mkpath(folder));
        TVeskDocument doc;
        TVeskLayer* layer = doc.Layers().FindLayer(QStringLiteral("component"));
        ASSERT_NE(layer, nullptr);
        TVeskEllipse dot(layer, TVeskSurface(0, false, true, 4));
        dot.SetCircle(spot, { spot.X + 10, spot.Y });
        doc.Root().Add(dot);
        const QString document = folder + QStringLiteral("/dot.vbf");
        ASSERT_TRUE(doc.Write(document).ok);
        const QStringList files = exportGerber(document, folder);
        ASSERT_EQ(files, QStringList { folder + QStringLiteral("/component.gbr") });

        const Ink ours = inkOf(renderOurs(doc, layer->index));
        const Ink theirs = inkOf(renderGerbv(files[0]));
        const QPointF expected(
            (spot.X - kWindow.X) * kDpi / kUnitsPerInch, (spot.Y - kWindow.Y) * kDpi / kUnitsPerInch);
        const double area = std::numbers::pi * std::pow(10.0 * kDpi / kUnitsPerInch, 2);
        for (const auto& [who, ink] : { std::pair { "ours", &ours }, std::pair { "gerbv's", &theirs } }) {
            const QPointF at = centroid(*ink);
            EXPECT_NEAR(at.x(), expected.x(), 0.5) << who;
            EXPECT_NEAR(at.y(), expected.y(), 0.5) << who;
            EXPECT_NEAR(double(ink->count), area, 0.05 * area) << who;
        }
    }
}

// The fixture board read once and exported once for every layer's comparison.
class ExportSelfCheckBoard : public ExportSelfCheck {
protected:
    struct Board {
        TVeskDocument doc;
        QTemporaryDir files;
        QStringList exported;
    };

    static const Board& board()
    {
        if (!board_) {
            board_ = std::make_unique<Board>();
            EXPECT_TRUE(board_->doc.Read(kBoard).ok) << kBoard.toStdString();
            // A film shows the shapes of a mask layer; printing paints them in
            // the paper colour, which would leave that layer blank.
            for (int i = 0; i < board_->doc.Layers().LayerCount(); ++i)
                board_->doc.Layers().LayerAt(i)->mask = false;
            board_->exported = exportGerber(kBoard, board_->files.path());
        }
        return *board_;
    }
    // While the application still runs: the document holds fonts and glyphs.
    static void TearDownTestSuite() { board_.reset(); }

    // Our picture and gerbv's of the named layer.
    std::pair<QImage, QImage> pictures(const QString& layerName)
    {
        const Board& b = board();
        const TVeskLayer* layer = b.doc.Layers().FindLayer(layerName);
        EXPECT_NE(layer, nullptr) << layerName.toStdString();
        const QString file = b.files.filePath(layerName + QStringLiteral(".gbr"));
        EXPECT_TRUE(b.exported.contains(file)) << file.toStdString();
        if (!layer)
            return {};
        return { renderOurs(b.doc, layer->index), renderGerbv(file) };
    }

    void saveAll(const QImage& ours, const QImage& theirs, const Agreement& a, const QString& name)
    {
        ours.save(dir.filePath(name + QStringLiteral("-ours.png")));
        theirs.save(dir.filePath(name + QStringLiteral("-gerbv.png")));
        a.diff.save(dir.filePath(name + QStringLiteral("-diff.png")));
    }

private:
    static inline std::unique_ptr<Board> board_;
};

// A place where the film differs from the print by the export rules: gerbv's
// ink within `radius` document units of `centre` is not held against ours.
struct Excuse {
    PointF centre;
    float radius;
    const char* why;
};

struct LayerCase {
    const char* layer;
    double toleranceMm;
    std::vector<Excuse> excuses;
};

void PrintTo(const LayerCase& c, std::ostream* os)
{
    *os << c.layer;
}

// Lettering has no outline, so its film strokes reach 0.15 mm beyond the
// glyph edge, and the flattening to 0.1 mm puts chords up to that far outside
// its concave curves: 0.1 mm more than elsewhere.
constexpr double kLetteringToleranceMm = kToleranceMm + 0.1;

const LayerCase kLayerCases[] = {
    { "component", kToleranceMm,
        {
            // The 0.5 mm stroke with flat caps: Gerber knows no flat end, so
            // the film's ends are round, 0.25 mm longer.
            { { 420, 60 }, 2.5f, "flat cap, start" },
            { { 520, 120 }, 2.5f, "flat cap, end" },
            // Unfilled and without outline: the surface keeps an outline of
            // 0.001 mm, drawn as thin as that here and one pixel wide by gerbv.
            { { 880, 450 }, 15.0f, "hairline ellipse" },
        } },
    { "solder", kToleranceMm, {} },
    { "hole", kToleranceMm, {} },
    { "place_cmp", kLetteringToleranceMm, {} },
    { "dimension", kToleranceMm, {} },
};

// The pixels of the window within the excuses, one pixel more for rounding.
std::vector<bool> excusedPixels(const std::vector<Excuse>& excuses, QSize size)
{
    std::vector<bool> excused(size_t(size.width()) * size.height());
    const double pixelsPerUnit = kDpi / kUnitsPerInch;
    for (const Excuse& e : excuses) {
        const double cx = (e.centre.X - kWindow.X) * pixelsPerUnit;
        const double cy = (e.centre.Y - kWindow.Y) * pixelsPerUnit;
        const double r = e.radius * pixelsPerUnit + 1;
        for (int y = std::max(0, int(cy - r)); y < std::min(size.height(), int(cy + r) + 1); ++y)
            for (int x = std::max(0, int(cx - r)); x < std::min(size.width(), int(cx + r) + 1); ++x)
                if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r)
                    excused[size_t(y) * size.width() + x] = true;
    }
    return excused;
}

class ExportSelfCheckLayer : public ExportSelfCheckBoard, public ::testing::WithParamInterface<LayerCase> { };

TEST_P(ExportSelfCheckLayer, OurPictureAndGerbvsAgreeWithinTheTolerance)
{
    const LayerCase& c = GetParam();
    const QString name = QLatin1String(c.layer);
    const auto [ours, theirs] = pictures(name);
    ASSERT_FALSE(ours.isNull());
    ASSERT_EQ(ours.size(), theirs.size());
    const Ink ourInk = inkOf(ours);
    const Ink theirInk = inkOf(theirs);
    EXPECT_GT(ourInk.count, 100) << "our picture is blank";
    EXPECT_GT(theirInk.count, 100) << "gerbv's picture is blank";
    const Agreement a
        = compare(ourInk, theirInk, c.toleranceMm / kMmPerPixel, excusedPixels(c.excuses, ours.size()));
    EXPECT_TRUE(a.Agrees()) << describe(a, c.toleranceMm, kMmPerPixel);
    if (!a.Agrees()) {
        saveAll(ours, theirs, a, name);
        keepFolder(name);
    }
}

INSTANTIATE_TEST_SUITE_P(Board, ExportSelfCheckLayer, ::testing::ValuesIn(kLayerCases),
    [](const ::testing::TestParamInfo<LayerCase>& info) { return std::string(info.param.layer); });

// ---------------------------------------------------------------- drawn as made

// Shapes where the picture and the film once parted: a square-capped track
// at 31 degrees; a pour with a clearance and a cut-out over its edge, and
// a cut-out in a group that the screen paints before the older pour covers it; a pentagram filled by
// winding; an open filled path whose closing edge no pen strokes; ellipses
// whose box is off their origin, mirrored and turned a quarter; a part whose
// members lie bands apart; a wire frame of no width running down the whole
// window; bold lettering in a family without a bold face.
void buildDrawnAsMade(TVeskDocument& doc)
{
    TVeskLayerList& layers = doc.Layers();
    TVeskLayer* component = layers.FindLayer(QStringLiteral("component"));
    TVeskLayer* solder = layers.FindLayer(QStringLiteral("solder"));
    TVeskLayer* dimension = layers.FindLayer(QStringLiteral("dimension"));
    TVeskLayer* place = layers.FindLayer(QStringLiteral("place_cmp"));
    const auto surface = [](float width, bool fill, int cap = 2, bool cutOut = false) {
        TVeskSurface s(width, cutOut, fill, 4);
        s.SetLineCap(cap);
        return s;
    };
    const auto path
        = [&](TVeskLayer* layer, const std::vector<PointF>& anchors, bool closed, const TVeskSurface& s) {
              TVeskPath p(layer, s);
              p.SetPoints(StraightEntries(anchors), {});
              p.SetClosed(closed);
              return p;
          };
    const auto rect = [&](TVeskLayer* layer, RectF box, const TVeskSurface& s) {
        TVeskRect r(layer, s);
        r.SetCorners({ box.X, box.Y }, { box.GetRight(), box.GetBottom() });
        r.SetSelected(false);
        return r;
    };
    TVeskPart& root = doc.Root();
    root.Add(path(component, { { 50, 60 }, { 250, 180 } }, false, surface(60, false, 1)));

    root.Add(rect(component, { 350, 40, 250, 200 }, surface(0, true)));
    {
        TVeskGroup hidden;
        TVeskEllipse hole(component, surface(0, true, 2, true));
        hole.SetCircle({ 430, 140 }, { 470, 140 });
        hidden.Add(hole);
        root.Add(hidden);
    }
    root.Add(rect(component, { 560, 100, 80, 60 }, surface(0, true, 2, true)));
    TVeskEllipse clearance(component, surface(0, true, 2, true));
    clearance.SetCircle({ 520, 80 }, { 545, 80 });
    root.Add(clearance);

    std::vector<PointF> star;
    for (int k = 0; k < 5; ++k) {
        const double a = (-90.0 + 144.0 * k) * std::numbers::pi / 180.0;
        star.push_back({ float(800 + 120 * std::cos(a)), float(170 + 120 * std::sin(a)) });
    }
    // With an outline: a pen-less figure's 0.3 mm strokes would round its sharp tips off.
    root.Add(path(component, star, true, surface(4, true)));

    root.Add(path(component, { { 60, 320 }, { 300, 320 }, { 300, 560 } }, false, surface(6, true)));

    // An ellipse's record with its box moved off the origin, as a file may hold it.
    QByteArray record = [&] {
        TVeskEllipse e(component, surface(0, true));
        e.SetCircle({ 0, 0 }, { 10, 0 });
        TVesk_ostream out;
        e.Save(out);
        return out.Buffer();
    }();
    // Round, so that the flash is the circle the screen draws: an obround
    // flash of unequal sides has corners an ellipse lacks.
    const float box[] = { 10, 0, 40, 40 };
    std::memcpy(record.data() + 4 + 4 + qsizetype(std::strlen("component")), box, sizeof box);
    for (const Matrix& m :
        { Matrix(-1, 0, 0, 1, 500, 400), Matrix(0, 1, -1, 0, 700, 350), Matrix(1, 0, 0, -1, 550, 600) }) {
        TVesk_istream in(record);
        in.SetLayers(&layers);
        std::unique_ptr<TVeskObject> ellipse = in.ReadObject();
        ellipse->SetMatrix(m);
        root.Add(*ellipse);
    }

    TVeskPart part;
    part.Add(rect(solder, { 100, 0, 50, 50 }, surface(0, true)));
    part.Add(rect(solder, { 100, 650, 50, 50 }, surface(0, true)));
    root.Add(part);

    // A zero width as a file may hold it; an unfilled surface made here keeps a minimal one.
    TVeskPath wire(dimension, StoredSurface(0, false));
    wire.SetPoints(StraightEntries({ { 900, 20 }, { 900, 720 } }), {});
    root.Add(wire);

    TVeskString bold(place, surface(1, false));
    bold.SetFont(QStringLiteral("MS UI Gothic"), 1, 60);
    bold.PlaceText(QStringLiteral("ぬ太字 Bold"), { 400, 620 });
    bold.SetSelected(false);
    root.Add(bold);
}

struct DrawnAsMadeLayer {
    const char* layer;
    double toleranceMm;
};

TEST_F(ExportSelfCheck, EveryShapeOnceDrawnOtherwiseThanMadeAgrees)
{
    TVeskDocument doc;
    buildDrawnAsMade(doc);
    const QString document = dir.filePath(QStringLiteral("drawn-as-made.vbf"));
    ASSERT_TRUE(doc.Write(document).ok);
    const QStringList files = exportGerber(document, dir.path());
    for (const DrawnAsMadeLayer c : { DrawnAsMadeLayer { "component", kToleranceMm },
             DrawnAsMadeLayer { "solder", kToleranceMm }, DrawnAsMadeLayer { "dimension", kToleranceMm },
             DrawnAsMadeLayer { "place_cmp", kLetteringToleranceMm } }) {
        const QString name = QLatin1String(c.layer);
        SCOPED_TRACE(c.layer);
        const QString file = dir.filePath(name + QStringLiteral(".gbr"));
        ASSERT_TRUE(files.contains(file)) << files.join(u' ').toStdString();
        const QImage ours = renderOurs(doc, doc.Layers().FindLayer(name)->index);
        const QImage theirs = renderGerbv(file);
        ASSERT_EQ(ours.size(), theirs.size());
        const Ink ourInk = inkOf(ours);
        const Ink theirInk = inkOf(theirs);
        EXPECT_GT(ourInk.count, 100) << "our picture is blank";
        const Agreement a = compare(ourInk, theirInk, c.toleranceMm / kMmPerPixel);
        EXPECT_TRUE(a.Agrees()) << describe(a, c.toleranceMm, kMmPerPixel);
        if (!a.Agrees()) {
            ours.save(dir.filePath(name + QStringLiteral("-ours.png")));
            theirs.save(dir.filePath(name + QStringLiteral("-gerbv.png")));
            a.diff.save(dir.filePath(name + QStringLiteral("-diff.png")));
            keepFolder(name);
        }
    }
}

// The check is worth something only if it fails a picture that is off: ours
// moved by half a millimetre or turned over, or gerbv's of a file that lost
// its mirror record (the y axis the wrong way up).
TEST_F(ExportSelfCheckBoard, APictureMovedMirroredOrUpsideDownFails)
{
    const LayerCase& c = kLayerCases[0];
    const auto [ours, theirs] = pictures(QLatin1String(c.layer));
    ASSERT_FALSE(ours.isNull());
    ASSERT_EQ(ours.size(), theirs.size());
    const double tolerance = c.toleranceMm / kMmPerPixel;
    const std::vector<bool> excused = excusedPixels(c.excuses, ours.size());
    const Ink ourInk = inkOf(ours);
    const Ink theirInk = inkOf(theirs);
    ASSERT_TRUE(compare(ourInk, theirInk, tolerance, excused).Agrees());

    QImage moved(ours.size(), QImage::Format_RGB32);
    moved.fill(Qt::white);
    {
        QPainter g(&moved);
        g.drawImage(int(std::lround(0.5 / kMmPerPixel)), 0, ours);
    }
    const Agreement afterMove = compare(inkOf(moved), theirInk, tolerance, excused);
    EXPECT_GT(afterMove.oursAstray, 0);
    EXPECT_GT(afterMove.theirsAstray, 0);
    const Agreement afterMirror = compare(inkOf(ours.mirrored(true, false)), theirInk, tolerance, excused);
    EXPECT_GT(afterMirror.oursAstray, 0);
    EXPECT_GT(afterMirror.theirsAstray, 0);

    QByteArray text = readAll(board().files.filePath(QLatin1String(c.layer) + QStringLiteral(".gbr")));
    ASSERT_TRUE(text.contains("%MIA0B1*%\n"));
    text.replace("%MIA0B1*%\n", "");
    const QString upright = dir.filePath(QStringLiteral("upright.gbr"));
    QFile file(upright);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(text), text.size());
    file.close();
    EXPECT_FALSE(compare(ourInk, inkOf(renderGerbv(upright)), tolerance, excused).Agrees());
}

} // namespace
