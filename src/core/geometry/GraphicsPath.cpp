#include "GraphicsPath.h"

#include "Outlineembolden.h"
#include "PathInternals.h"
#include "PathStroker.h"
#include "PolygonClipping.h"
#include "QtConvert.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vesk {

using detail::Figure;
using detail::Vec2;

namespace {

// Bezier control-point offset of a quarter ellipse.
constexpr float kKappa = 0.5522847498f;

// Text is laid out at this pixel size and scaled down: QFont sizes are
// integers, and at this size hinting and advance rounding vanish.
constexpr int kTextLayoutPixelSize = 2048;
// Stems of a synthetic bold grow by this part of the em, as FreeType's do.
constexpr float kSyntheticBoldStrength = 1.0f / 24.0f;

// Bold asked of a family without a bold face: Qt then lays out the regular
// face's outlines as they are.
bool lacksBoldFace(const QFont& font)
{
    if (!font.bold())
        return false;
    const QFontInfo face(font);
    return QFontDatabase::weight(face.family(), face.styleName()) < QFont::DemiBold;
}

bool isClosed(std::uint8_t type)
{
    return (type & PathPointTypeCloseSubpath) != 0;
}

void extendRange(double v, double& lo, double& hi)
{
    if (v < lo)
        lo = v;
    if (v > hi)
        hi = v;
}

// Extent of one coordinate of a cubic: its ends plus the interior zeros of
// the derivative 3·(A·t² + B·t + C).
void cubicExtent(double a0, double a1, double a2, double a3, double& lo, double& hi)
{
    extendRange(a0, lo, hi);
    extendRange(a3, lo, hi);
    if (a1 >= lo && a1 <= hi && a2 >= lo && a2 <= hi)
        return;
    const double A = -a0 + 3 * a1 - 3 * a2 + a3;
    const double B = 2 * (a0 - 2 * a1 + a2);
    const double C = a1 - a0;
    const auto at = [&](double t) {
        if (t > 0 && t < 1) {
            const double s = 1 - t;
            extendRange(s * s * s * a0 + 3 * s * s * t * a1 + 3 * s * t * t * a2 + t * t * t * a3, lo, hi);
        }
    };
    const double disc = B * B - 4 * A * C;
    if (disc < 0)
        return;
    // Cancellation-free roots; a vanishing A or q gives inf/NaN, which 'at' rejects.
    const double q = -0.5 * (B + std::copysign(std::sqrt(disc), B));
    at(q / A);
    at(C / q);
}

// Signed crossings of the ray from p towards +x, counting a point as
// below an edge end when y <= p.y, so shared vertices count once.
int lineWinding(Vec2 a, Vec2 b, Vec2 p)
{
    if ((a.y <= p.y) == (b.y <= p.y))
        return 0;
    const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
    if (!(x > p.x))
        return 0;
    return b.y > a.y ? 1 : -1;
}

// A cubic wholly beside the ray's line or behind its origin adds nothing;
// one wholly ahead of the origin crosses as often as its chord. Only the
// pieces near p are split, so the work grows with depth, not with size.
int cubicWinding(Vec2 p0, Vec2 p1, Vec2 p2, Vec2 p3, Vec2 p, int depth)
{
    const double ymin = std::min({ p0.y, p1.y, p2.y, p3.y });
    const double ymax = std::max({ p0.y, p1.y, p2.y, p3.y });
    if (!(ymin <= p.y && ymax > p.y))
        return 0;
    const double xmin = std::min({ p0.x, p1.x, p2.x, p3.x });
    const double xmax = std::max({ p0.x, p1.x, p2.x, p3.x });
    if (!(xmax > p.x))
        return 0;
    if (xmin > p.x || depth >= 40)
        return lineWinding(p0, p3, p);
    const Vec2 p01 = detail::mid(p0, p1), p12 = detail::mid(p1, p2), p23 = detail::mid(p2, p3);
    const Vec2 a = detail::mid(p01, p12), b = detail::mid(p12, p23), m = detail::mid(a, b);
    return cubicWinding(p0, p01, a, m, p, depth + 1) + cubicWinding(m, b, p23, p3, p, depth + 1);
}

} // namespace

void GraphicsPath::Reset()
{
    points_.clear();
    types_.clear();
    fillMode_ = FillMode::Alternate;
    newFigure_ = true;
}

void GraphicsPath::StartFigure()
{
    newFigure_ = true;
}

void GraphicsPath::CloseFigure()
{
    if (!types_.empty())
        types_.back() |= PathPointTypeCloseSubpath;
    newFigure_ = true;
}

void GraphicsPath::addPoint(PointF p, std::uint8_t type)
{
    points_.push_back(p);
    types_.push_back(type);
}

void GraphicsPath::beginFigureIfNeeded(PointF p)
{
    if (newFigure_ || points_.empty()) {
        addPoint(p, PathPointTypeStart);
        newFigure_ = false;
    } else if (points_.back() != p) {
        addPoint(p, PathPointTypeLine);
    }
}

void GraphicsPath::AddLine(PointF a, PointF b)
{
    beginFigureIfNeeded(a);
    addPoint(b, PathPointTypeLine);
}

void GraphicsPath::AddLines(std::span<const PointF> points)
{
    if (points.empty())
        return;
    beginFigureIfNeeded(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i)
        addPoint(points[i], PathPointTypeLine);
}

void GraphicsPath::AddBezier(PointF p1, PointF c1, PointF c2, PointF p2)
{
    beginFigureIfNeeded(p1);
    addPoint(c1, PathPointTypeBezier);
    addPoint(c2, PathPointTypeBezier);
    addPoint(p2, PathPointTypeBezier);
}

void GraphicsPath::AddBeziers(std::span<const PointF> points)
{
    if (points.size() < 4 || (points.size() - 1) % 3 != 0)
        return;
    beginFigureIfNeeded(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i)
        addPoint(points[i], PathPointTypeBezier);
}

void GraphicsPath::AddPolygon(std::span<const PointF> points)
{
    if (points.empty())
        return;
    addPoint(points[0], PathPointTypeStart);
    for (std::size_t i = 1; i < points.size(); ++i)
        addPoint(points[i], PathPointTypeLine);
    CloseFigure();
}

void GraphicsPath::AddRectangle(const RectF& r)
{
    const PointF corners[] = { { r.GetLeft(), r.GetTop() }, { r.GetRight(), r.GetTop() },
        { r.GetRight(), r.GetBottom() }, { r.GetLeft(), r.GetBottom() } };
    AddPolygon(corners);
}

void GraphicsPath::AddEllipse(const RectF& r)
{
    const float rx = r.Width * 0.5f, ry = r.Height * 0.5f;
    const float cx = r.X + rx, cy = r.Y + ry;
    const float kx = rx * kKappa, ky = ry * kKappa;
    const PointF pts[] = {
        { cx + rx, cy },
        { cx + rx, cy + ky },
        { cx + kx, cy + ry },
        { cx, cy + ry },
        { cx - kx, cy + ry },
        { cx - rx, cy + ky },
        { cx - rx, cy },
        { cx - rx, cy - ky },
        { cx - kx, cy - ry },
        { cx, cy - ry },
        { cx + kx, cy - ry },
        { cx + rx, cy - ky },
        { cx + rx, cy },
    };
    addPoint(pts[0], PathPointTypeStart);
    for (std::size_t i = 1; i < std::size(pts); ++i)
        addPoint(pts[i], PathPointTypeBezier);
    CloseFigure();
}

void GraphicsPath::AddString(
    const QString& text, const QString& family, int style, float emSize, PointF origin)
{
    if (text.isEmpty() || !(emSize > 0) || !std::isfinite(emSize))
        return;
    QFont font(family);
    font.setPixelSize(kTextLayoutPixelSize);
    font.setBold((style & FontStyleBold) != 0);
    font.setItalic((style & FontStyleItalic) != 0);
    font.setUnderline((style & FontStyleUnderline) != 0);
    font.setStrikeOut((style & FontStyleStrikeout) != 0);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::ForceOutline);
    const QFontMetricsF metrics(font);

    // Each line's box starts where the previous one ends; the baseline sits one ascent below its top.
    QPainterPath glyphs;
    const QStringList lines = QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i)
        glyphs.addText(QPointF(0, metrics.ascent() + double(i) * metrics.lineSpacing()), font, lines[i]);

    const double scale = double(emSize) / kTextLayoutPixelSize;
    const QTransform place(scale, 0, 0, scale, origin.X, origin.Y);
    GraphicsPath outlines = FromQPainterPath(glyphs, place);
    if (lacksBoldFace(font))
        EmboldenOutline(outlines.points_, outlines.types_, emSize * kSyntheticBoldStrength);
    detail::forEachFigure(outlines.types_, [&](const Figure& fig) {
        // Qt leaves a bare move for blanks; a contour needs area.
        if (fig.last - fig.first < 2)
            return;
        points_.insert(
            points_.end(), outlines.points_.begin() + fig.first, outlines.points_.begin() + fig.last + 1);
        types_.insert(
            types_.end(), outlines.types_.begin() + fig.first, outlines.types_.begin() + fig.last + 1);
        // Every glyph contour bounds area, even one the font left open.
        types_.back() |= PathPointTypeCloseSubpath;
    });
    newFigure_ = true;
}

void GraphicsPath::AddPath(const GraphicsPath& other, bool connect)
{
    if (other.points_.empty())
        return;
    if (&other == this) {
        const GraphicsPath copy(other);
        AddPath(copy, connect);
        return;
    }
    const std::size_t start = points_.size();
    std::size_t from = 0;
    bool joined = false;
    if (connect && !newFigure_ && !points_.empty() && !isClosed(types_.back())) {
        if (other.points_[0] == points_.back()) {
            // Skipping the duplicate first point must not lose its close marker.
            types_.back() |= other.types_[0] & PathPointTypeCloseSubpath;
            from = 1;
        } else {
            joined = true;
        }
    }
    points_.insert(points_.end(), other.points_.begin() + std::ptrdiff_t(from), other.points_.end());
    types_.insert(types_.end(), other.types_.begin() + std::ptrdiff_t(from), other.types_.end());
    if (joined)
        types_[start] = std::uint8_t(PathPointTypeLine | (types_[start] & PathPointTypeCloseSubpath));
    newFigure_ = isClosed(types_.back());
}

void GraphicsPath::Transform(const Matrix& matrix)
{
    matrix.TransformPoints(points_);
}

RectF GraphicsPath::GetBounds() const
{
    double l = std::numeric_limits<double>::infinity(), t = l;
    double r = -l, b = -l;
    detail::forEachFigure(types_, [&](const Figure& fig) {
        extendRange(points_[fig.first].X, l, r);
        extendRange(points_[fig.first].Y, t, b);
        detail::forEachSegment(
            points_, types_, fig,
            [&](PointF, PointF p) {
                extendRange(p.X, l, r);
                extendRange(p.Y, t, b);
            },
            [&](PointF p0, PointF p1, PointF p2, PointF p3) {
                cubicExtent(p0.X, p1.X, p2.X, p3.X, l, r);
                cubicExtent(p0.Y, p1.Y, p2.Y, p3.Y, t, b);
            });
    });
    if (!(l <= r) || !(t <= b))
        return {};
    return { float(l), float(t), float(r - l), float(b - t) };
}

void GraphicsPath::Flatten(float flatness)
{
    const detail::CubicFlattener flattener(flatness);
    std::vector<PointF> pts;
    std::vector<std::uint8_t> types;
    pts.reserve(points_.size() * 2);
    types.reserve(points_.size() * 2);
    detail::forEachFigure(types_, [&](const Figure& fig) {
        pts.push_back(points_[fig.first]);
        types.push_back(PathPointTypeStart);
        detail::forEachSegment(
            points_, types_, fig,
            [&](PointF, PointF p) {
                pts.push_back(p);
                types.push_back(PathPointTypeLine);
            },
            [&](PointF p0, PointF p1, PointF p2, PointF p3) {
                flattener.flatten(p0, p1, p2, p3, [&](Vec2 v) {
                    pts.push_back(detail::toPoint(v));
                    types.push_back(PathPointTypeLine);
                });
                // The end anchor as given, not as recomputed.
                pts.back() = p3;
            });
        if (fig.closed)
            types.back() |= PathPointTypeCloseSubpath;
    });
    points_ = std::move(pts);
    types_ = std::move(types);
}

void GraphicsPath::Widen(const Pen& pen, float flatness)
{
    std::vector<PointF> pts;
    std::vector<std::uint8_t> types;
    if (pen.width > 0 && std::isfinite(pen.width)) {
        pts.reserve(points_.size() * 4 + 16);
        types.reserve(points_.size() * 4 + 16);
        detail::PathStroker(pen, flatness).stroke(points_, types_, pts, types);
    }
    points_ = std::move(pts);
    types_ = std::move(types);
    // The outline overlaps itself; only nonzero filling gives the stroked area.
    fillMode_ = FillMode::Winding;
    newFigure_ = true;
}

void GraphicsPath::WindingModeOutline(float flatness)
{
    ClipperLib::Paths polygons = detail::toClipperPolygons(*this, flatness);
    ClipperLib::Paths outline;
    if (!polygons.empty()) {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(polygons, ClipperLib::ptSubject, true);
        const ClipperLib::PolyFillType fill = detail::toClipperFill(fillMode_);
        clipper.Execute(ClipperLib::ctUnion, outline, fill, fill);
    }
    points_.clear();
    types_.clear();
    detail::appendClosedFigures(outline, points_, types_);
    newFigure_ = true;
}

void GraphicsPath::Reverse()
{
    const std::vector<std::uint8_t> old = types_;
    const int n = int(old.size());
    std::reverse(points_.begin(), points_.end());
    // Point i's type describes the segment arriving at it; after reversal that
    // segment leaves the mirrored point, so it arrives at the next one.
    detail::forEachFigure(old, [&](const Figure& fig) {
        const int first = n - 1 - fig.last, last = n - 1 - fig.first;
        types_[first] = PathPointTypeStart;
        for (int j = first + 1; j <= last; ++j)
            types_[j] = old[n - j] & PathPointTypeMask;
        if (fig.closed)
            types_[last] |= PathPointTypeCloseSubpath;
    });
    if (!types_.empty() && isClosed(types_.back()))
        newFigure_ = true;
}

bool GraphicsPath::IsVisible(PointF point) const
{
    const Vec2 p = detail::toVec(point);
    int winding = 0;
    detail::forEachFigure(types_, [&](const Figure& fig) {
        detail::forEachSegment(
            points_, types_, fig,
            [&](PointF a, PointF b) { winding += lineWinding(detail::toVec(a), detail::toVec(b), p); },
            [&](PointF p0, PointF p1, PointF p2, PointF p3) {
                winding += cubicWinding(
                    detail::toVec(p0), detail::toVec(p1), detail::toVec(p2), detail::toVec(p3), p, 0);
            });
        // Filling closes every figure.
        winding += lineWinding(detail::toVec(points_[fig.last]), detail::toVec(points_[fig.first]), p);
    });
    return fillMode_ == FillMode::Winding ? winding != 0 : (winding & 1) != 0;
}

bool GraphicsPath::IntersectsRect(const RectF& rect) const
{
    if (points_.empty() || rect.IsEmptyArea() || !GetBounds().IntersectsWith(rect))
        return false;
    if (IsVisible({ rect.X + rect.Width * 0.5f, rect.Y + rect.Height * 0.5f }))
        return true;
    return detail::regionsOverlap(detail::toClipperPolygons(*this, detail::kRegionFlatness),
        detail::toClipperFill(fillMode_), { detail::toClipperPolygon(rect) }, ClipperLib::pftNonZero);
}

bool GraphicsPath::IntersectsPath(const GraphicsPath& other) const
{
    if (points_.empty() || other.points_.empty() || !GetBounds().IntersectsWith(other.GetBounds()))
        return false;
    return detail::regionsOverlap(detail::toClipperPolygons(*this, detail::kRegionFlatness),
        detail::toClipperFill(fillMode_), detail::toClipperPolygons(other, detail::kRegionFlatness),
        detail::toClipperFill(other.fillMode_));
}

} // namespace vesk
