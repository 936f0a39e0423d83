#include "Outlinefill.h"

#include "Coverageraster.h"
#include "geometry/GraphicsPath.h"
#include "geometry/PathInternals.h"
#include "geometry/QtConvert.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPoint>
#include <QRgba64>
#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

namespace vesk {

namespace {

// Largest distance, in device pixels, between a curve and the chords that
// stand for it: in a fill, where it shows as coverage along the edge, and in
// a line one pixel wide, where it only moves the line.
constexpr float kFillCurveTolerance = 0.05f;
constexpr float kLineCurveTolerance = 0.2f;
// A curve whose controls lie this close to its chord, in device pixels, is
// that chord to an aliased line.
constexpr float kStraightTolerance = 1.0f / 64.0f;
// Enough chords for a curve across the largest image at that tolerance.
constexpr int kMaxChords = 1024;
// Twice the area, in square device pixels, that leaving out a run of
// vertices may add to or take from the outline: at most half a step of
// coverage, so no pixel can tell. Finely flattened outlines seen from afar
// lose a quarter of their vertices to it.
constexpr float kDropArea2 = 1.0f / 256.0f;
// Cells one outline may use, 8 MB of them; an outline whose device box is
// larger is filled by Qt, whose per-call cost no longer matters at that size.
constexpr double kMaxCells = double(1 << 21);
// How far beyond its geometry a mark may paint: a pixel for the line and
// one for rounding, with room to spare.
constexpr qreal kMarkMarginPixels = 4.0;
// Dash patterns shorter than this many device pixels are left to Qt: their
// dashes are finer than the pixels that show them.
constexpr double kShortestDashPeriod = 0.25;
// How far outside the image the corner of a path's box may lie for the
// direct route's coordinates to start from it: beyond, single precision
// would lose the fractions of a pixel.
constexpr double kAnchorReach = 4096.0;
// Dashed segments longer than this many pixels are cut to the image before
// their dashes are laid out; shorter ones are laid out whole, the same in
// every band.
constexpr float kDashClipLength = 4096.0f;
// Wire-frame pens narrower than this many device pixels are drawn as hairlines.
constexpr double kWireHairlinePixels = 1.5;

thread_local TCoverageScratch scratch;

// What a figure walk feeds: a fill's edges, or the segments of a line with
// or without anti-aliasing.
enum class Walk { Fill, Line, AliasedLine };

// Walks one figure as a polyline in window coordinates, handing the sink
// the segments between the vertices it keeps: curves become chords, and for
// a fill a vertex goes whenever all the vertices left out since the last one
// kept, with it, stay within the area bound of the chord that replaces them
// (the fan of triangles from the last kept vertex covers what lies between
// chain and chord). A line keeps them all: a spike out and back encloses no
// area, yet it is drawn. An aliased line takes a straight curve (a track's
// segment, controls on its ends) as its chord: it marks the pixels the
// chords would, while an anti-aliased line places each chord's ends on
// pixel centres, which its chords would each move differently.
template <class Sink> class FigureWalk {
public:
    // `shift`: the window's corner in the walk's coordinates.
    FigureWalk(const TCoverageRaster& raster, Sink& sink, PointF start, Walk walk, PointF shift = {})
        : raster_(raster)
        , shift_(shift)
        , sink_(sink)
        , first_(start)
        , kept_(start)
        , dropArea2_(walk == Walk::Fill ? kDropArea2 : -1.0f)
        , curveTolerance_(walk == Walk::Fill ? kFillCurveTolerance : kLineCurveTolerance)
        , straightCubics_(walk == Walk::AliasedLine)
    {
    }

    void LineTo(PointF p)
    {
        if (!pending_) {
            if (!(p == kept_)) {
                candidate_ = p;
                pending_ = true;
            }
            return;
        }
        const float area = fan_
            + std::abs(
                (candidate_.X - kept_.X) * (p.Y - kept_.Y) - (candidate_.Y - kept_.Y) * (p.X - kept_.X));
        if (area <= dropArea2_) {
            fan_ = area;
        } else {
            sink_(kept_, candidate_);
            kept_ = candidate_;
            fan_ = 0;
        }
        candidate_ = p;
    }

    void CubicTo(PointF c1, PointF c2, PointF p3)
    {
        const PointF p0 = pending_ ? candidate_ : kept_;
        const float minX = std::min({ p0.X, c1.X, c2.X, p3.X }), maxX = std::max({ p0.X, c1.X, c2.X, p3.X });
        const float minY = std::min({ p0.Y, c1.Y, c2.Y, p3.Y }), maxY = std::max({ p0.Y, c1.Y, c2.Y, p3.Y });
        if (!raster_.MayTouch(minX - shift_.X, minY - shift_.Y, maxX - shift_.X, maxY - shift_.Y)
            || (straightCubics_ && onChord(p0, c1, c2, p3))) {
            LineTo(p3);
            return;
        }
        const float ax = p0.X - 2 * c1.X + c2.X, ay = p0.Y - 2 * c1.Y + c2.Y;
        const float bx = c1.X - 2 * c2.X + p3.X, by = c1.Y - 2 * c2.Y + p3.Y;
        const float dd = std::sqrt(std::max(ax * ax + ay * ay, bx * bx + by * by));
        // Wang's bound on the chords a tolerance needs.
        const float wanted = std::sqrt(0.75f * dd / curveTolerance_);
        const int chords = wanted < 1 ? 1 : wanted >= float(kMaxChords) ? kMaxChords : int(std::ceil(wanted));
        for (int i = 1; i < chords; ++i) {
            const float t = float(i) / float(chords), u = 1.0f - t;
            const float w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
            LineTo({ w0 * p0.X + w1 * c1.X + w2 * c2.X + w3 * p3.X,
                w0 * p0.Y + w1 * c1.Y + w2 * c2.Y + w3 * p3.Y });
        }
        LineTo(p3);
    }

    // Ends the figure, back to its start when closed.
    void Finish(bool close)
    {
        if (close)
            LineTo(first_);
        if (pending_)
            sink_(kept_, candidate_);
    }

private:
    // Whether both controls lie within kStraightTolerance of the chord.
    static bool onChord(PointF p0, PointF c1, PointF c2, PointF p3)
    {
        const float dx = p3.X - p0.X, dy = p3.Y - p0.Y;
        const float length2 = dx * dx + dy * dy;
        const auto near = [&](PointF c) {
            const float cx = c.X - p0.X, cy = c.Y - p0.Y;
            const float t = length2 > 0 ? std::clamp((cx * dx + cy * dy) / length2, 0.0f, 1.0f) : 0.0f;
            const float ox = cx - t * dx, oy = cy - t * dy;
            return ox * ox + oy * oy <= kStraightTolerance * kStraightTolerance;
        };
        return near(c1) && near(c2);
    }

    const TCoverageRaster& raster_;
    PointF shift_;
    Sink& sink_;
    PointF first_;
    PointF kept_;
    PointF candidate_;
    float dropArea2_;
    float curveTolerance_;
    bool straightCubics_;
    bool pending_ = false;
    float fan_ = 0;
};

// The device box of a path and the raster that covers it, or why not.
enum class Setup { Ready, Nothing, NeedsQt };

// Maps the path into scratch.device in window coordinates and makes the
// raster of its box widened by margin pixels. With `anchor`, the coordinates
// are taken from the corner of the path's own box instead, where that lies
// near enough, and the window's corner in them goes to *anchor: then even a
// path the image cuts lands on the same pixels wherever the image begins.
// That is for aliased lines, which need no coverage cells either.
Setup prepare(TCoverageScratch& s, const QImage& image, const QTransform& toDevice, const GraphicsPath& path,
    float margin, std::optional<TCoverageRaster>& raster, QPoint* anchor = nullptr)
{
    const QImage::Format format = image.format();
    if ((format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_RGB32)
        || image.devicePixelRatio() != 1.0 || toDevice.type() > QTransform::TxShear)
        return Setup::NeedsQt;
    const auto points = path.Points();
    if (points.empty())
        return Setup::Nothing;
    // Double precision: far from the origin at a high zoom, single precision
    // would move edges by visible fractions of a pixel.
    const double m11 = toDevice.m11(), m12 = toDevice.m12(), m21 = toDevice.m21(), m22 = toDevice.m22();
    const double dx = toDevice.dx(), dy = toDevice.dy();
    // Single precision only about a corner that moves with the image: the
    // pixel of the first point, kept near the image, so that an outline
    // wholly inside lands on the same pixels wherever the image begins (a
    // band, a tile) and points on the image keep their fractions.
    const auto nearImage = [](double v, int size) {
        return std::isfinite(v) ? std::clamp(std::floor(v), -kAnchorReach, size + kAnchorReach) : 0.0;
    };
    const double firstX = nearImage(points[0].X * m11 + points[0].Y * m21 + dx, image.width());
    const double firstY = nearImage(points[0].X * m12 + points[0].Y * m22 + dy, image.height());
    s.device.resize(points.size());
    double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
    // Zero for finite values; NaN, and so unequal to itself, after any other.
    double poison = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const double px = points[i].X, py = points[i].Y;
        const double x = px * m11 + py * m21 + dx;
        const double y = px * m12 + py * m22 + dy;
        poison += (x - x) + (y - y);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
        s.device[i] = { float(x - firstX), float(y - firstY) };
    }
    // Qt leaves out points that are not numbers; the fallback does the same.
    if (poison != 0)
        return Setup::NeedsQt;
    minX -= margin;
    minY -= margin;
    maxX += margin;
    maxY += margin;

    const double left = std::max(0.0, std::floor(minX));
    const double top = std::max(0.0, std::floor(minY));
    const double right = std::min(double(image.width()), std::ceil(maxX));
    const double bottom = std::min(double(image.height()), std::ceil(maxY));
    if (!(right > left) || !(bottom > top))
        return Setup::Nothing;
    if ((right - left + 2) * (bottom - top) > kMaxCells)
        return Setup::NeedsQt;

    const bool inside = minX >= 0 && minY >= 0 && maxX <= image.width() && maxY <= image.height();
    // Where a painter open on the image writes, even if the image was shared since.
    uchar* bits = const_cast<uchar*>(image.constBits());
    // Aliased lines write pixels straight away: no coverage cells.
    raster.emplace(s, bits, image.bytesPerLine(), int(left), int(top), int(right - left), int(bottom - top),
        inside, anchor == nullptr);
    // Then about the window's corner, or for `anchor` the path's own.
    double originX = left, originY = top;
    if (anchor) {
        const double ownX = std::floor(minX), ownY = std::floor(minY);
        if (left - ownX <= kAnchorReach && top - ownY <= kAnchorReach) {
            originX = ownX;
            originY = ownY;
        }
        *anchor = QPoint(int(left - originX), int(top - originY));
    }
    const float shiftX = float(originX - firstX), shiftY = float(originY - firstY);
    if (shiftX != 0 || shiftY != 0)
        for (PointF& p : s.device)
            p = { p.X - shiftX, p.Y - shiftY };
    return Setup::Ready;
}

// Premultiplied as Qt premultiplies a brush or pen colour.
quint32 premultipliedOf(ARGB color)
{
    return ToQColor(color).rgba64().premultiplied().toArgb32();
}

// Whether the painter draws plainly onto an image this file can write to;
// fills also need anti-aliasing, which is all they do here.
bool paintsDirectly(const QPainter& g, bool needAntialiasing)
{
    const QPaintEngine* engine = g.paintEngine();
    const QPaintDevice* device = g.device();
    return g.isActive() && engine && engine->type() == QPaintEngine::Raster && device
        && device->devType() == QInternal::Image
        && (!needAntialiasing || g.testRenderHint(QPainter::Antialiasing)) && !g.hasClipping()
        && g.compositionMode() == QPainter::CompositionMode_SourceOver && g.opacity() == 1.0;
}

// The painter's coordinates to device pixels: its world transform alone
// where nothing else applies, as on the images painted here, which spares
// the products combinedTransform() forms on every call.
QTransform toDeviceOf(const QPainter& g)
{
    const QPaintDevice* device = g.device();
    if (!g.viewTransformEnabled() && device && device->devType() == QInternal::Image
        && static_cast<const QImage*>(device)->devicePixelRatio() == 1.0)
        return g.worldTransform();
    return g.combinedTransform();
}

} // namespace

bool FillOutlineInImage(QImage& image, const QTransform& toDevice, const GraphicsPath& path, ARGB color)
{
    TCoverageScratch& s = scratch;
    std::optional<TCoverageRaster> raster;
    const Setup setup = prepare(s, image, toDevice, path, 0.0f, raster);
    if (setup != Setup::Ready)
        return setup == Setup::Nothing;
    const auto edge = [&](PointF a, PointF b) { raster->Edge(a, b); };
    const std::span<const PointF> device(s.device);
    const auto types = path.Types();
    detail::forEachFigure(types, [&](const detail::Figure& fig) {
        FigureWalk walk(*raster, edge, device[size_t(fig.first)], Walk::Fill);
        detail::forEachSegment(
            device, types, fig, [&](PointF, PointF b) { walk.LineTo(b); },
            [&](PointF, PointF c1, PointF c2, PointF p3) { walk.CubicTo(c1, c2, p3); });
        // Filling closes every figure.
        walk.Finish(true);
    });
    raster->Sweep(premultipliedOf(color), path.GetFillMode() == FillMode::Alternate);
    return true;
}

namespace {

// Aliased marks of one colour in a raster's window: one pixel per column (or
// row) whose centre a segment passes, from its start up to but not
// including its end, so that joined segments do not paint their shared
// pixel twice. Segments come in coordinates in which the window's corner is
// `shift` (see prepare's anchor).
class AliasedPlot {
public:
    AliasedPlot(const QImage& image, const TCoverageRaster& raster, QPoint shift, quint32 premultiplied)
        : corner_(
            const_cast<uchar*>(image.constBits()) + raster.Top() * image.bytesPerLine() + raster.Left() * 4)
        , bytesPerLine_(image.bytesPerLine())
        , left_(shift.x())
        , top_(shift.y())
        , width_(raster.Width())
        , height_(raster.Height())
        , premultiplied_(premultiplied)
        , opaque_(premultiplied >> 24 == 255)
    {
    }

    void operator()(PointF a, PointF b) const
    {
        const float dx = b.X - a.X, dy = b.Y - a.Y;
        const bool alongX = std::abs(dx) >= std::abs(dy);
        const float from = alongX ? a.X : a.Y, to = alongX ? b.X : b.Y;
        const float span = to - from;
        if (!(span != 0))
            return;
        const float slope = (alongX ? dy : dx) / span;
        const float across = alongX ? a.Y : a.X;
        const int lo = alongX ? left_ : top_;
        const int hi = lo + (alongX ? width_ : height_);
        int first = 0, last = 0;
        if (span > 0) {
            first = int(std::ceil(from - 0.5f));
            last = int(std::ceil(to - 0.5f)) - 1;
        } else {
            first = int(std::floor(to - 0.5f)) + 1;
            last = int(std::floor(from - 0.5f));
        }
        first = std::max(first, lo);
        last = std::min(last, hi - 1);
        if (first > last)
            return;
        if (alongX)
            run(first, last, from, across, slope, left_, top_, height_, 4, bytesPerLine_);
        else
            run(first, last, from, across, slope, top_, left_, width_, bytesPerLine_, 4);
    }

private:
    // Steps k from first to last along the major axis, each marking the
    // pixel whose minor coordinate is the line's at the centre of k, kept to
    // the window's [minorLo, minorLo + minorSize). Coordinates are not
    // negative there, so truncation floors them. `major` and `minor` are the
    // bytes one step moves.
    void run(int first, int last, float from, float across, float slope, int majorLo, int minorLo,
        int minorSize, qsizetype major, qsizetype minor) const
    {
        // Locals: a pixel written through a pointer could otherwise be
        // taken to change them.
        uchar* const corner = corner_;
        const quint32 colour = premultiplied_;
        const bool opaque = opaque_;
        const float lo = float(minorLo), hi = float(minorLo + minorSize);
        for (int k = first; k <= last; ++k) {
            const float other = across + (float(k) + 0.5f - from) * slope;
            if (!(other >= lo && other < hi))
                continue;
            auto* pixel = reinterpret_cast<quint32*>(
                corner + qsizetype(k - majorLo) * major + qsizetype(int(other) - minorLo) * minor);
            *pixel = opaque ? colour : TCoverageRaster::BlendPixel(*pixel, colour, 255);
        }
    }

    uchar* corner_;
    qsizetype bytesPerLine_;
    int left_, top_, width_, height_;
    quint32 premultiplied_;
    bool opaque_;
};

// Cuts each segment of a figure into the pieces its dashes cover (lengths
// in device pixels: on, off, on, ...), carrying the pattern on from one
// segment to the next. Of a very long segment only the part near the window
// is cut; the rest just moves the pattern on, so a long line far outside
// costs no dashes.
template <class Piece> class DashCut {
public:
    DashCut(std::span<const float> dashes, const TCoverageRaster& raster, QPoint shift, Piece& piece)
        : dashes_(dashes)
        , piece_(piece)
        , left_(float(shift.x()) - 1.0f)
        , top_(float(shift.y()) - 1.0f)
        , right_(float(shift.x() + raster.Width()) + 1.0f)
        , bottom_(float(shift.y() + raster.Height()) + 1.0f)
    {
        for (float d : dashes_)
            period_ += d;
    }

    // A figure's pattern starts afresh.
    void Restart() { travelled_ = 0; }

    void operator()(PointF a, PointF b)
    {
        const float dx = b.X - a.X, dy = b.Y - a.Y;
        const float length = std::sqrt(dx * dx + dy * dy);
        if (!(length > 0))
            return;
        float t0 = 0, t1 = 1;
        const bool cut = length > kDashClipLength;
        if (!cut
            || (clip(a.X, dx, left_, right_, t0, t1) && clip(a.Y, dy, top_, bottom_, t0, t1) && t0 < t1)) {
            // In double precision, so that what is left of a dash never
            // drops below what a step along the segment can add.
            double s = double(t0) * length;
            const double end = double(t1) * length;
            // Where in the pattern the piece starts.
            double into = std::fmod(travelled_ + s, period_);
            size_t i = 0;
            for (size_t guard = 0; guard < dashes_.size() && into >= dashes_[i]; ++guard) {
                into -= dashes_[i];
                i = (i + 1) % dashes_.size();
            }
            double left = std::max(dashes_[i] - into, 0.0);
            while (s < end) {
                const double next = std::min(s + left, end);
                if (i % 2 == 0 && next > s) {
                    const float u = float(s / length), v = float(next / length);
                    piece_(PointF { a.X + dx * u, a.Y + dy * u }, PointF { a.X + dx * v, a.Y + dy * v });
                }
                left = next > s ? left - (next - s) : 0.0;
                s = next;
                if (left <= 0) {
                    i = (i + 1) % dashes_.size();
                    left = dashes_[i];
                }
            }
        }
        travelled_ = std::fmod(travelled_ + length, period_);
    }

private:
    // Narrows [t0, t1] to where p + t * d lies within [lo, hi].
    static bool clip(float p, float d, float lo, float hi, float& t0, float& t1)
    {
        if (d == 0)
            return p >= lo && p <= hi;
        float a = (lo - p) / d, b = (hi - p) / d;
        if (a > b)
            std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
        return true;
    }

    std::span<const float> dashes_;
    Piece& piece_;
    float left_, top_, right_, bottom_;
    double period_ = 0;
    double travelled_ = 0;
};

// StrokeHairlineInImage, with dashes (device pixels, an even count with a
// positive sum) on the aliased route.
bool strokeInImage(QImage& image, const QTransform& toDevice, const GraphicsPath& path, ARGB color,
    bool antialiased, std::span<const float> dashes)
{
    TCoverageScratch& s = scratch;
    std::optional<TCoverageRaster> raster;
    // Room for the line's half width and its ends, and for the half pixel
    // that aligning may move a point. Aliased lines are laid out from their
    // own corner: bands of the overlay cut them, and must mark what one
    // painter would.
    QPoint shift;
    const Setup setup = prepare(s, image, toDevice, path, 2.0f, raster, antialiased ? nullptr : &shift);
    if (setup != Setup::Ready)
        return setup == Setup::Nothing;
    const quint32 premultiplied = premultipliedOf(color);
    const std::span<const PointF> device(s.device);
    const auto types = path.Types();
    const PointF corner { float(shift.x()), float(shift.y()) };
    const auto walkFigures = [&](auto& segment, auto&& restart) {
        detail::forEachFigure(types, [&](const detail::Figure& fig) {
            restart();
            FigureWalk walk(*raster, segment, device[size_t(fig.first)],
                antialiased ? Walk::Line : Walk::AliasedLine, corner);
            detail::forEachSegment(
                device, types, fig, [&](PointF, PointF b) { walk.LineTo(b); },
                [&](PointF, PointF c1, PointF c2, PointF p3) { walk.CubicTo(c1, c2, p3); });
            walk.Finish(fig.closed);
        });
    };
    if (!antialiased) {
        const AliasedPlot plot(image, *raster, shift, premultiplied);
        if (dashes.empty()) {
            walkFigures(plot, [] {});
        } else {
            DashCut dashed(dashes, *raster, shift, plot);
            walkFigures(dashed, [&] { dashed.Restart(); });
        }
        return true;
    }
    // Each segment as a rectangle one pixel wide about it and half a pixel
    // longer at both ends, which fills the outside of corners; all turn the
    // same way, so that the winding rule unites them. The ends go to the
    // centres of their pixels first (the window's corner is a whole pixel),
    // so that a line along a row or column covers whole pixels of one row or
    // column, wherever it lay between them; an end that meets its start there
    // leaves one pixel.
    const auto segment = [&](PointF a, PointF b) {
        a = AlignToPixelCentre(a);
        b = AlignToPixelCentre(b);
        const float length = std::sqrt((b.X - a.X) * (b.X - a.X) + (b.Y - a.Y) * (b.Y - a.Y));
        if (std::isnan(length))
            return;
        const float ux = length > 0 ? (b.X - a.X) * 0.5f / length : 0.5f;
        const float uy = length > 0 ? (b.Y - a.Y) * 0.5f / length : 0.0f;
        a = { a.X - ux, a.Y - uy };
        b = { b.X + ux, b.Y + uy };
        const float nx = -uy, ny = ux;
        const PointF a1 { a.X + nx, a.Y + ny }, b1 { b.X + nx, b.Y + ny };
        const PointF b2 { b.X - nx, b.Y - ny }, a2 { a.X - nx, a.Y - ny };
        raster->Edge(a1, b1);
        raster->Edge(b1, b2);
        raster->Edge(b2, a2);
        raster->Edge(a2, a1);
    };
    walkFigures(segment, [] {});
    raster->Sweep(premultiplied, false);
    return true;
}

} // namespace

bool StrokeHairlineInImage(
    QImage& image, const QTransform& toDevice, const GraphicsPath& path, ARGB color, bool antialiased)
{
    return strokeInImage(image, toDevice, path, color, antialiased, {});
}

void FillOutline(QPainter& g, const GraphicsPath& path, ARGB color)
{
    if (path.IsEmpty())
        return;
    if (paintsDirectly(g, true)) {
        auto* image = static_cast<QImage*>(g.device());
        if (FillOutlineInImage(*image, toDeviceOf(g), path, color))
            return;
    }
    g.fillPath(ToQPainterPath(path), QBrush(ToQColor(color)));
}

double OutlineArea(const GraphicsPath& outline)
{
    const auto points = outline.Points();
    if (points.empty())
        return 0;
    const auto types = outline.Types();
    const auto cross = [](detail::Vec2 a, detail::Vec2 b) { return a.x * b.y - a.y * b.x; };
    // About the first point, so that a small outline far out keeps its digits.
    const detail::Vec2 o = detail::toVec(points[0]);
    const auto at = [&](PointF p) { return detail::toVec(p) - o; };
    double twice = 0;
    detail::forEachFigure(types, [&](const detail::Figure& fig) {
        detail::forEachSegment(
            points, types, fig, [&](PointF a, PointF b) { twice += cross(at(a), at(b)); },
            [&](PointF a, PointF b, PointF c, PointF d) {
                // Green's theorem over the cubic.
                const detail::Vec2 p0 = at(a), p1 = at(b), p2 = at(c), p3 = at(d);
                twice += (6 * cross(p0, p1) + 3 * cross(p0, p2) + cross(p0, p3) + 3 * cross(p1, p2)
                             + 3 * cross(p1, p3) + 6 * cross(p2, p3))
                    / 10;
            });
        twice += cross(at(points[size_t(fig.last)]), at(points[size_t(fig.first)]));
    });
    return std::abs(twice) / 2;
}

std::optional<TPixelMark> PixelMarkFor(const QPainter& g, const RectF& bounds)
{
    // Most shapes are larger: that is answered first, as cheaply as it can be.
    const QTransform toDevice = toDeviceOf(g);
    if (toDevice.type() <= QTransform::TxScale
        && !(std::abs(bounds.Width * toDevice.m11()) < 1.0 && std::abs(bounds.Height * toDevice.m22()) < 1.0))
        return std::nullopt;
    if (!paintsDirectly(g, true))
        return std::nullopt;
    auto* image = static_cast<QImage*>(g.device());
    const QImage::Format format = image->format();
    if ((format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_RGB32)
        || image->devicePixelRatio() != 1.0 || toDevice.type() > QTransform::TxShear)
        return std::nullopt;
    const QRectF box = toDevice.mapRect(QRectF(bounds.X, bounds.Y, bounds.Width, bounds.Height));
    // Also none for boxes that are not numbers.
    if (!(box.width() < 1.0 && box.height() < 1.0))
        return std::nullopt;
    const double x = std::floor(box.center().x()), y = std::floor(box.center().y());
    const bool inside = x >= 0 && y >= 0 && x < image->width() && y < image->height();
    return TPixelMark { image, inside ? int(x) : -1, inside ? int(y) : -1, std::abs(toDevice.determinant()),
        box.width() * box.height() };
}

void DrawPixelMark(const TPixelMark& mark, double area, ARGB color)
{
    if (mark.x < 0 || mark.y < 0)
        return;
    const double covered = std::min(std::abs(area) * mark.areaScale, mark.boxArea);
    // Also nothing for an area that is not a number.
    if (!(covered * 256.0 >= 1.0))
        return;
    const quint32 coverage = quint32(std::min(255.0, std::floor(covered * 256.0)));
    uchar* row = const_cast<uchar*>(mark.image->constBits()) + qsizetype(mark.y) * mark.image->bytesPerLine();
    auto* pixel = reinterpret_cast<quint32*>(row) + mark.x;
    *pixel = TCoverageRaster::BlendPixel(*pixel, premultipliedOf(color), coverage);
}

PointF AlignToPixelCentre(PointF p)
{
    return { std::floor(p.X) + 0.5f, std::floor(p.Y) + 0.5f };
}

void StrokeHairline(QPainter& g, const GraphicsPath& path, const Pen& pen)
{
    if (path.IsEmpty())
        return;
    if (paintsDirectly(g, false) && pen.dashPattern.empty()) {
        auto* image = static_cast<QImage*>(g.device());
        if (StrokeHairlineInImage(
                *image, toDeviceOf(g), path, pen.color, g.testRenderHint(QPainter::Antialiasing)))
            return;
    }
    const QPaintDevice* device = g.device();
    const QTransform toDevice = g.combinedTransform();
    if (!device || (device->devType() != QInternal::Image && device->devType() != QInternal::Pixmap)
        || toDevice.type() > QTransform::TxShear) {
        g.strokePath(ToQPainterPath(path), ToCosmeticQPen(pen));
        return;
    }
    // On pixels, the line is aligned as the direct route aligns it.
    QPainterPath pixels = toDevice.map(ToQPainterPath(path));
    for (int i = 0; i < pixels.elementCount(); ++i) {
        const QPainterPath::Element e = pixels.elementAt(i);
        const PointF at = AlignToPixelCentre({ float(e.x), float(e.y) });
        pixels.setElementPositionAt(i, at.X, at.Y);
    }
    g.save();
    g.resetTransform();
    g.strokePath(pixels, ToCosmeticQPen(pen));
    g.restore();
}

namespace {

bool boxMayShow(const QPainter& g, const RectF& box, const QTransform* placement)
{
    const QPaintDevice* device = g.device();
    if (!device || device->devType() != QInternal::Image)
        return true;
    const QTransform toDevice = placement ? *placement * toDeviceOf(g) : toDeviceOf(g);
    if (toDevice.type() > QTransform::TxShear)
        return true;
    const QRectF r = toDevice.mapRect(QRectF(box.X, box.Y, box.Width, box.Height));
    const qreal m = kMarkMarginPixels;
    // Written as "clearly outside", so that boxes that are not numbers are drawn.
    const auto* image = static_cast<const QImage*>(device);
    return !(
        r.right() < -m || r.left() > image->width() + m || r.bottom() < -m || r.top() > image->height() + m);
}

} // namespace

bool MarksMayShow(const QPainter& g, const RectF& local, const Matrix& placement)
{
    const QTransform place = ToQTransform(placement);
    return boxMayShow(g, local, &place);
}

bool MarksMayShow(const QPainter& g, const RectF& box)
{
    return boxMayShow(g, box, nullptr);
}

void StrokePlacedHairline(QPainter& g, const GraphicsPath& local, const Matrix& placement, const Pen& pen)
{
    if (local.IsEmpty())
        return;
    if (paintsDirectly(g, false) && pen.dashPattern.empty()) {
        auto* image = static_cast<QImage*>(g.device());
        if (StrokeHairlineInImage(*image, ToQTransform(placement) * toDeviceOf(g), local, pen.color,
                g.testRenderHint(QPainter::Antialiasing)))
            return;
    }
    const QTransform view = g.worldTransform();
    g.setWorldTransform(ToQTransform(placement), true);
    StrokeHairline(g, local, pen);
    g.setWorldTransform(view);
}

void StrokeSelectionOutline(
    QPainter& g, const GraphicsPath& local, const Matrix& placement, const Pen& pen, bool overWireFrame)
{
    constexpr float kOverWireWidth = 3.0f;
    if (overWireFrame)
        StrokeWireFrame(g, local, placement, pen.color, pen.width * kOverWireWidth);
    else
        StrokePlacedHairline(g, local, placement, pen);
}

void StrokeDashedLine(QPainter& g, const GraphicsPath& path, const Pen& pen)
{
    if (path.IsEmpty())
        return;
    if (paintsDirectly(g, false) && !g.testRenderHint(QPainter::Antialiasing)) {
        const QTransform toDevice = toDeviceOf(g);
        const double width = double(pen.width) * std::sqrt(std::abs(toDevice.determinant()));
        if (width > 0 && width < kWireHairlinePixels) {
            // The pattern as Qt takes it: what is not a positive number is
            // nothing, an odd count repeats, nothing at all is a solid line.
            std::vector<float> dashes;
            double total = 0;
            for (float d : pen.dashPattern) {
                dashes.push_back(std::isfinite(d) && d > 0 ? float(d * width) : 0.0f);
                total += dashes.back();
            }
            if (!(total > 0) || !std::isfinite(total))
                dashes.clear();
            else if (dashes.size() % 2 != 0)
                dashes.insert(dashes.end(), dashes.begin(), dashes.end());
            auto* image = static_cast<QImage*>(g.device());
            if ((dashes.empty() || total >= kShortestDashPeriod)
                && strokeInImage(*image, toDevice, path, pen.color, false, dashes))
                return;
        }
    }
    g.strokePath(ToQPainterPath(path), ToQPen(pen));
}

void StrokeWireFrame(QPainter& g, const GraphicsPath& local, const Matrix& placement, ARGB color, float width)
{
    const QTransform place = ToQTransform(placement);
    const QPaintDevice* device = g.device();
    const double scale = std::sqrt(std::abs((place * toDeviceOf(g)).determinant()));
    Pen pen;
    pen.color = color;
    pen.width = width;
    const QTransform view = g.worldTransform();
    g.setWorldTransform(place, true);
    // A pen of about one pixel on an image is the hairline it stands for.
    if (device && (device->devType() == QInternal::Image || device->devType() == QInternal::Pixmap)
        && double(width) * scale < kWireHairlinePixels)
        StrokeHairline(g, local, pen);
    else
        g.strokePath(ToQPainterPath(local), ToQPen(pen));
    g.setWorldTransform(view);
}

} // namespace vesk
