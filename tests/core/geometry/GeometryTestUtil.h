#pragma once

// Independent reference computations for geometry tests: exact Bezier
// evaluation, dense sampling, and areas measured by Qt's rasteriser.

#include "geometry/GraphicsPath.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace vesk::testutil {

struct Cubic {
    PointF p0, p1, p2, p3;
};

inline PointF bezierAt(const Cubic& c, double t)
{
    const double s = 1 - t;
    const double a = s * s * s, b = 3 * s * s * t, d = 3 * s * t * t, e = t * t * t;
    return { float(a * c.p0.X + b * c.p1.X + d * c.p2.X + e * c.p3.X),
        float(a * c.p0.Y + b * c.p1.Y + d * c.p2.Y + e * c.p3.Y) };
}

inline std::vector<PointF> sampleCubic(const Cubic& c, int n)
{
    std::vector<PointF> out;
    out.reserve(std::size_t(n) + 1);
    for (int i = 0; i <= n; ++i)
        out.push_back(bezierAt(c, double(i) / n));
    return out;
}

inline double distance(PointF a, PointF b)
{
    return std::hypot(double(a.X) - b.X, double(a.Y) - b.Y);
}

inline double distanceToSegment(PointF p, PointF a, PointF b)
{
    const double abx = double(b.X) - a.X, aby = double(b.Y) - a.Y;
    const double apx = double(p.X) - a.X, apy = double(p.Y) - a.Y;
    const double len2 = abx * abx + aby * aby;
    const double t = len2 > 0 ? std::clamp((apx * abx + apy * aby) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(apx - t * abx, apy - t * aby);
}

inline double distanceToPolyline(PointF p, const std::vector<PointF>& line)
{
    if (line.size() == 1)
        return distance(p, line[0]);
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        best = std::min(best, distanceToSegment(p, line[i], line[i + 1]));
    return best;
}

inline double polylineLength(const std::vector<PointF>& line)
{
    double len = 0;
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        len += distance(line[i], line[i + 1]);
    return len;
}

// The figures of a path as point lists.
inline std::vector<std::vector<PointF>> figuresOf(const GraphicsPath& path)
{
    std::vector<std::vector<PointF>> out;
    const auto pts = path.Points();
    const auto types = path.Types();
    for (std::size_t i = 0; i < pts.size(); ++i) {
        if ((types[i] & PathPointTypeMask) == PathPointTypeStart)
            out.emplace_back();
        out.back().push_back(pts[i]);
    }
    return out;
}

inline double signedArea(const std::vector<PointF>& poly)
{
    double a = 0;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const PointF p = poly[i], q = poly[(i + 1) % poly.size()];
        a += double(p.X) * q.Y - double(q.X) * p.Y;
    }
    return a / 2;
}

inline bool isLinesOnly(const GraphicsPath& path)
{
    return std::all_of(path.Types().begin(), path.Types().end(),
        [](std::uint8_t t) { return (t & PathPointTypeMask) != PathPointTypeBezier; });
}

// Built from the raw data rather than through QtConvert, so that the
// conversion under test is not also the reference.
inline QPainterPath referencePainterPath(const GraphicsPath& path, FillMode mode)
{
    QPainterPath qp;
    qp.setFillRule(mode == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    const auto pts = path.Points();
    const auto types = path.Types();
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const int t = types[i] & PathPointTypeMask;
        if (t == PathPointTypeStart) {
            qp.moveTo(pts[i].X, pts[i].Y);
        } else if (t == PathPointTypeBezier) {
            qp.cubicTo(pts[i].X, pts[i].Y, pts[i + 1].X, pts[i + 1].Y, pts[i + 2].X, pts[i + 2].Y);
            i += 2;
        } else {
            qp.lineTo(pts[i].X, pts[i].Y);
        }
        if (types[i] & PathPointTypeCloseSubpath)
            qp.closeSubpath();
    }
    return qp;
}

// Filled area by antialiased rasterisation at pxPerUnit pixels per unit.
inline double rasterArea(const GraphicsPath& path, FillMode mode, double pxPerUnit = 8.0)
{
    const RectF b = path.GetBounds();
    if (path.IsEmpty())
        return 0;
    const int margin = 4;
    const int w = int(std::ceil(b.Width * pxPerUnit)) + 2 * margin;
    const int h = int(std::ceil(b.Height * pxPerUnit)) + 2 * margin;
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(margin, margin);
        painter.scale(pxPerUnit, pxPerUnit);
        painter.translate(-b.X, -b.Y);
        painter.fillPath(referencePainterPath(path, mode), Qt::black);
    }
    double covered = 0;
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            covered += qAlpha(line[x]);
    }
    return covered / 255.0 / (pxPerUnit * pxPerUnit);
}

} // namespace vesk::testutil
