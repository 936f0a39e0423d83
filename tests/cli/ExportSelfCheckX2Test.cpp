// The X2 files and the drill file against two Gerber readers nobody here
// wrote, gerbv and tracespace: each must read every file without a single
// warning, their pictures of each layer must agree with each other and with
// our own rendering of the layer within 0.1 mm, and the holes gerbv reads
// from the drill file must be the circles of the hole layer.
#include "CliSupport.h"
#include "InkComparison.h"
#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "render/Renderexport.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <vector>

namespace {

using namespace vesk;
using namespace vesk::test;

// The board (100 x 70 mm from the origin) with 5 mm around it, at 0.05 mm a pixel.
constexpr int kDpi = 508;
const RectF kWindow { -50, -50, 1100, 800 };
constexpr double kUnitsPerInch = 254.0;
constexpr double kMmPerPixel = 25.4 / kDpi;
constexpr double kToleranceMm = 0.1;

QSize windowPixels()
{
    return { int(std::lround(kWindow.Width * kDpi / kUnitsPerInch)),
        int(std::lround(kWindow.Height * kDpi / kUnitsPerInch)) };
}

// X2 files negate y, so both readers, y up, put the document point (x, y)
// at (x, -y) mm: the bottom of the window is its lower edge.
GerbvWindow readerWindow()
{
    return { kDpi, windowPixels(), QPointF(kWindow.X / 10.0, -kWindow.GetBottom() / 10.0) };
}

// The lines of a reader's messages that say something is wrong.
QStringList complaints(const QByteArray& err)
{
    QStringList found;
    for (const QString& line : QString::fromUtf8(err).split(u'\n', Qt::SkipEmptyParts))
        if (line.contains(QLatin1String("WARNING")) || line.contains(QLatin1String("CRITICAL"))
            || line.contains(QLatin1String("ERROR")) || line.startsWith(QLatin1String("warning:"))
            || line.startsWith(QLatin1String("error:")))
            found << line;
    return found;
}

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

// A hole as a reader gives it: millimetres, y up.
struct Hole {
    double x;
    double y;
    double diameter;
};

std::ostream& operator<<(std::ostream& os, const Hole& h)
{
    return os << "(" << h.x << ", " << h.y << ") d " << h.diameter;
}

// The flashes of a file as gerbv reads it: it writes what it read as
// RS-274X in inches, six decimals, each circle aperture's diameter in its
// definition, each flash a D03 record.
std::vector<Hole> gerbvFlashes(const QString& file, const QString& work)
{
    const QString back = work + QStringLiteral(".gerbv.gbr");
    const ProcessRun r
        = run(gerbv(), { QStringLiteral("-x"), QStringLiteral("rs274x"), QStringLiteral("-o"), back, file });
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(complaints(r.err).isEmpty()) << r.err.toStdString();
    const QString text = QString::fromLatin1(readAll(back));
    EXPECT_TRUE(text.contains(QLatin1String("%MOIN*%")) && text.contains(QLatin1String("%FSLAX36Y36*%")))
        << text.left(400).toStdString();
    QMap<int, double> diameters;
    static const QRegularExpression definition(QStringLiteral("^%ADD(\\d+)C,([0-9.]+)\\*%$"));
    static const QRegularExpression flash(QStringLiteral("X(-?\\d+)Y(-?\\d+)D03\\*$"));
    static const QRegularExpression select(QStringLiteral("^G54D(\\d+)\\*$"));
    std::vector<Hole> holes;
    int current = -1;
    for (const QString& line : text.split(u'\n')) {
        if (const auto m = definition.match(line); m.hasMatch())
            diameters[m.captured(1).toInt()] = m.captured(2).toDouble() * 25.4;
        else if (const auto s = select.match(line); s.hasMatch())
            current = s.captured(1).toInt();
        else if (const auto f = flash.match(line); f.hasMatch())
            holes.push_back({ f.captured(1).toDouble() * 25.4e-6, f.captured(2).toDouble() * 25.4e-6,
                diameters.value(current, -1) });
    }
    return holes;
}

// Equal as multisets, to a micrometre or two: gerbv prints diameters in
// inches with four decimals.
void expectSameHoles(std::vector<Hole> a, std::vector<Hole> b)
{
    const auto byPlace = [](const Hole& p, const Hole& q) {
        return std::tie(p.x, p.y, p.diameter) < std::tie(q.x, q.y, q.diameter);
    };
    std::sort(a.begin(), a.end(), byPlace);
    std::sort(b.begin(), b.end(), byPlace);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i].x, b[i].x, 0.001) << a[i] << " / " << b[i];
        EXPECT_NEAR(a[i].y, b[i].y, 0.001) << a[i] << " / " << b[i];
        EXPECT_NEAR(a[i].diameter, b[i].diameter, 0.003) << a[i] << " / " << b[i];
    }
}

class ExportSelfCheckX2 : public ::testing::Test {
protected:
    struct Board {
        TVeskDocument doc;
        QTemporaryDir x2;
        QTemporaryDir classic;
        QStringList x2Files;
        QStringList classicFiles;
        QString drill;
    };

    void SetUp() override
    {
        ASSERT_FALSE(gerbv().isEmpty()) << "gerbv is not installed; tools/setup.sh installs it";
        const QString missing = tracespaceMissing();
        ASSERT_TRUE(missing.isEmpty()) << missing.toStdString() << "; tools/setup.sh installs it";
        ASSERT_TRUE(dir.isValid());
    }

    static const Board& board()
    {
        if (!board_) {
            board_ = std::make_unique<Board>();
            EXPECT_TRUE(board_->doc.Read(kBoard).ok);
            // A film shows the shapes of a mask layer; printing paints them in the paper colour.
            for (int i = 0; i < board_->doc.Layers().LayerCount(); ++i)
                board_->doc.Layers().LayerAt(i)->mask = false;
            const ProcessRun x2 = cli({ QStringLiteral("gerber"), kBoard, QStringLiteral("-o"),
                board_->x2.path(), QStringLiteral("--format"), QStringLiteral("x2") });
            EXPECT_EQ(x2.exitCode, 0) << x2.err.toStdString();
            board_->x2Files = lines(x2.out);
            const ProcessRun classic
                = cli({ QStringLiteral("gerber"), kBoard, QStringLiteral("-o"), board_->classic.path() });
            EXPECT_EQ(classic.exitCode, 0) << classic.err.toStdString();
            board_->classicFiles = lines(classic.out);
            board_->drill = board_->x2.filePath(QStringLiteral("drill.drl"));
            const ProcessRun drill
                = cli({ QStringLiteral("drill"), kBoard, QStringLiteral("-o"), board_->drill });
            EXPECT_EQ(drill.exitCode, 0) << drill.err.toStdString();
        }
        return *board_;
    }
    static void TearDownTestSuite() { board_.reset(); }

    QTemporaryDir dir;

private:
    static inline std::unique_ptr<Board> board_;
};

TEST_F(ExportSelfCheckX2, EveryX2FileAndTheDrillFileReadWithoutAWarningInBothReaders)
{
    const Board& b = board();
    ASSERT_EQ(b.x2Files.size(), 5) << b.x2Files.join(u' ').toStdString();
    for (const QString& file : b.x2Files + QStringList { b.drill }) {
        SCOPED_TRACE(file.toStdString());
        const ProcessRun g = gerbvToPng(file, dir.filePath(QStringLiteral("g.png")));
        EXPECT_EQ(g.exitCode, 0);
        EXPECT_TRUE(complaints(g.err).isEmpty()) << "gerbv: " << g.err.toStdString();
        const ProcessRun t = tracespaceRead(file);
        EXPECT_EQ(t.exitCode, 0) << "tracespace: " << t.err.toStdString();
        const bool drill = file.endsWith(QLatin1String(".drl"));
        EXPECT_TRUE(t.out.contains(drill ? "\"filetype\":\"drill\"" : "\"filetype\":\"gerber\""))
            << t.out.toStdString();
        EXPECT_TRUE(t.out.contains("\"units\":\"mm\"")) << t.out.toStdString();
    }
}

// The classic files keep records current readers no longer honour; both
// must still read them without an error.
TEST_F(ExportSelfCheckX2, EveryClassicFileReadsWithoutAnErrorInBothReaders)
{
    const Board& b = board();
    ASSERT_EQ(b.classicFiles.size(), 5);
    for (const QString& file : b.classicFiles) {
        SCOPED_TRACE(file.toStdString());
        const ProcessRun g = gerbvToPng(file, dir.filePath(QStringLiteral("g.png")));
        EXPECT_EQ(g.exitCode, 0) << g.err.toStdString();
        EXPECT_FALSE(g.err.contains("CRITICAL")) << g.err.toStdString();
        EXPECT_NE(tracespaceRead(file).exitCode, 2);
    }
}

// Where the film differs from the print by the file format itself: Gerber
// knows no flat stroke end (the 0.5 mm flat-capped stroke ends round, 0.25 mm
// longer), and an outline of 0.001 mm is drawn as thin as that by us and
// one pixel wide by the readers.
struct Excuse {
    PointF centre;
    float radius;
};

struct X2LayerCase {
    const char* layer;
    std::vector<Excuse> excuses;
};

void PrintTo(const X2LayerCase& c, std::ostream* os)
{
    *os << c.layer;
}

const X2LayerCase kX2Layers[] = {
    { "component", { { { 420, 60 }, 2.5f }, { { 520, 120 }, 2.5f }, { { 880, 450 }, 15.0f } } },
    { "solder", {} },
    { "hole", {} },
    { "place_cmp", {} },
    { "dimension", {} },
};

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

class ExportSelfCheckX2Layer : public ExportSelfCheckX2,
                               public ::testing::WithParamInterface<X2LayerCase> { };

TEST_P(ExportSelfCheckX2Layer, GerbvTracespaceAndOurPictureAgree)
{
    const X2LayerCase& c = GetParam();
    const QString name = QLatin1String(c.layer);
    const Board& b = board();
    const QString file = b.x2.filePath(name + QStringLiteral(".gbr"));
    ASSERT_TRUE(b.x2Files.contains(file)) << file.toStdString();
    const TVeskLayer* layer = b.doc.Layers().FindLayer(name);
    ASSERT_NE(layer, nullptr);

    const QImage ours = renderOurs(b.doc, layer->index);
    const QString gerbvPng = dir.filePath(name + QStringLiteral("-gerbv.png"));
    const ProcessRun g = gerbvToPng(file, gerbvPng, readerWindow());
    ASSERT_EQ(g.exitCode, 0) << g.err.toStdString();
    const QString tracespacePng = dir.filePath(name + QStringLiteral("-tracespace.png"));
    const ProcessRun t = tracespaceRead(file, tracespacePng, readerWindow());
    ASSERT_EQ(t.exitCode, 0) << t.err.toStdString();
    const QImage gerbvPicture(gerbvPng), tracespacePicture(tracespacePng);
    ASSERT_EQ(gerbvPicture.size(), ours.size());
    ASSERT_EQ(tracespacePicture.size(), ours.size());

    const Ink ourInk = inkOf(ours), gerbvInk = inkOf(gerbvPicture), tracespaceInk = inkOf(tracespacePicture);
    EXPECT_GT(ourInk.count, 100) << "our picture is blank";
    const std::vector<bool> excused = excusedPixels(c.excuses, ours.size());
    const double tolerance = kToleranceMm / kMmPerPixel;
    struct Pair {
        const Ink& a;
        const Ink& b;
        const char* names[2];
        const char* file;
        // Between the two readers the excuses hold for either side: both
        // draw what we do not.
        bool excuseBoth;
    };
    bool kept = false;
    for (const Pair& p : { Pair { ourInk, gerbvInk, { "our", "gerbv's" }, "ours-gerbv", false },
             Pair { ourInk, tracespaceInk, { "our", "tracespace's" }, "ours-tracespace", false },
             Pair { gerbvInk, tracespaceInk, { "gerbv's", "tracespace's" }, "gerbv-tracespace", true } }) {
        const Agreement a = compare(p.a, p.b, tolerance, excused);
        const bool agrees = p.excuseBoth
            ? a.theirsAstray == 0 && compare(p.b, p.a, tolerance, excused).theirsAstray == 0
            : a.Agrees();
        EXPECT_TRUE(agrees) << name.toStdString() << ": "
                            << describe(a, kToleranceMm, kMmPerPixel, QLatin1String(p.names[0]),
                                   QLatin1String(p.names[1]));
        if (!agrees) {
            a.diff.save(dir.filePath(name + u'-' + QLatin1String(p.file) + QStringLiteral("-diff.png")));
            kept = true;
        }
    }
    if (kept) {
        ours.save(dir.filePath(name + QStringLiteral("-ours.png")));
        dir.setAutoRemove(false);
        ADD_FAILURE() << "the pictures are in " << dir.path().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Board, ExportSelfCheckX2Layer, ::testing::ValuesIn(kX2Layers),
    [](const ::testing::TestParamInfo<X2LayerCase>& info) { return std::string(info.param.layer); });

// The comparison is worth something only if it fails a file turned upside
// down, as the classic files came out in tracespace.
TEST_F(ExportSelfCheckX2, APictureUpsideDownFails)
{
    const Board& b = board();
    const TVeskLayer* layer = b.doc.Layers().FindLayer(QStringLiteral("component"));
    ASSERT_NE(layer, nullptr);
    const QString png = dir.filePath(QStringLiteral("t.png"));
    ASSERT_EQ(
        tracespaceRead(b.x2.filePath(QStringLiteral("component.gbr")), png, readerWindow()).exitCode, 0);
    const Ink theirs = inkOf(QImage(png));
    const std::vector<bool> excused = excusedPixels(kX2Layers[0].excuses, windowPixels());
    const QImage ours = renderOurs(b.doc, layer->index);
    ASSERT_TRUE(compare(inkOf(ours), theirs, kToleranceMm / kMmPerPixel, excused).Agrees());
    EXPECT_FALSE(
        compare(inkOf(ours.mirrored(false, true)), theirs, kToleranceMm / kMmPerPixel, excused).Agrees());
}

// The holes gerbv reads from the drill file are those it reads from the hole
// layer's Gerber file, where every circle is a flash.
TEST_F(ExportSelfCheckX2, TheDrillFileHoldsTheCirclesOfTheHoleLayerAsGerbvReadsThem)
{
    const Board& b = board();
    const std::vector<Hole> drilled = gerbvFlashes(b.drill, dir.filePath(QStringLiteral("drill")));
    const std::vector<Hole> drawn
        = gerbvFlashes(b.x2.filePath(QStringLiteral("hole.gbr")), dir.filePath(QStringLiteral("hole")));
    EXPECT_FALSE(drawn.empty());
    expectSameHoles(drilled, drawn);
}

// Circles of every placement, an outlined one, and a slot, read back by
// gerbv's drill reader at the places and sizes they were drawn.
TEST_F(ExportSelfCheckX2, GerbvReadsEveryKindOfHoleWhereItWasDrawn)
{
    TVeskDocument doc;
    TVeskLayer* hole = doc.Layers().FindLayer(QStringLiteral("hole"));
    ASSERT_NE(hole, nullptr);
    TVeskPart& root = doc.Root();
    const auto circle = [&](PointF c, float r, const TVeskSurface& s, const Matrix& turn = Matrix()) {
        TVeskEllipse e(hole, s);
        e.SetCircle({ 0, 0 }, { r, 0 });
        Matrix m = turn;
        m.Translate(c.X, c.Y, MatrixOrder::Append);
        e.SetMatrix(m);
        root.Add(e);
    };
    Matrix turned;
    turned.Rotate(37);
    circle({ 100, 200 }, 4, TVeskSurface(0, false, true, 4));
    circle({ 300, 250 }, 4, TVeskSurface(0, false, true, 4), turned);
    circle({ 500, 100 }, 5, TVeskSurface(2, false, true, 4));
    TVeskPath slot(hole, TVeskSurface(8, false, false, 4));
    slot.SetPoints(StraightEntries({ { 600, 300 }, { 700, 300 } }), {});
    root.Add(slot);
    const QString document = dir.filePath(QStringLiteral("holes.vbf"));
    ASSERT_TRUE(doc.Write(document).ok);
    const QString drill = dir.filePath(QStringLiteral("holes.drl"));
    const ProcessRun r = cli({ QStringLiteral("drill"), document, QStringLiteral("-o"), drill });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_TRUE(tracespaceRead(drill).exitCode == 0);

    expectSameHoles(gerbvFlashes(drill, dir.filePath(QStringLiteral("back"))),
        { { 10, -20, 0.8 }, { 30, -25, 0.8 }, { 50, -10, 1.2 } });
    const QString back = QString::fromLatin1(readAll(dir.filePath(QStringLiteral("back.gerbv.gbr"))));
    // The slot: a draw of the 0.8 mm tool from (60, -30) to (70, -30) mm.
    EXPECT_TRUE(back.contains(QLatin1String("X2362205Y-1181102D02*\nG01X2755906Y-1181102D01*"))
        || back.contains(QLatin1String("X2362205Y-1181102D02*\nX2755906Y-1181102D01*")))
        << back.toStdString();
}

} // namespace
