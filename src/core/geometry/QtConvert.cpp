#include "QtConvert.h"

#include "PathInternals.h"

#include <QList>
#include <cmath>
#include <vector>

namespace vesk {

namespace {

Qt::PenCapStyle toQtCap(LineCap cap)
{
    switch (cap) {
    case LineCap::Square:
        return Qt::SquareCap;
    case LineCap::Round:
        return Qt::RoundCap;
    case LineCap::Flat:
        break;
    }
    return Qt::FlatCap;
}

Qt::PenJoinStyle toQtJoin(LineJoin join)
{
    switch (join) {
    case LineJoin::Bevel:
        return Qt::BevelJoin;
    case LineJoin::Round:
        return Qt::RoundJoin;
    case LineJoin::Miter:
        break;
    }
    return Qt::MiterJoin;
}

// One element of a path being converted: where the placement puts it, and its kind.
struct Placed {
    PointF at;
    QPainterPath::ElementType type;
};

// Qt keeps no close flag: closeSubpath() only adds a line back to the
// start, so a subpath that ends where it began is taken as closed, and
// that final line becomes the implicit closing segment again.
void appendSubpath(GraphicsPath& out, const std::vector<Placed>& elements, int begin, int end)
{
    const PointF start = elements[size_t(begin)].at;
    const bool closed = end - begin > 1 && elements[size_t(end - 1)].at == start;
    int stop = end;
    if (closed && elements[size_t(end - 1)].type == QPainterPath::LineToElement && end - begin > 2)
        --stop;
    out.StartFigure();
    const PointF first[] = { start };
    out.AddLines(first);
    PointF last = start;
    for (int i = begin + 1; i < stop;) {
        const Placed& e = elements[size_t(i)];
        if (e.type == QPainterPath::CurveToElement && i + 2 < end) {
            const PointF p = elements[size_t(i + 2)].at;
            out.AddBezier(last, e.at, elements[size_t(i + 1)].at, p);
            last = p;
            i += 3;
        } else {
            out.AddLine(last, e.at);
            last = e.at;
            ++i;
        }
    }
    if (closed)
        out.CloseFigure();
}

} // namespace

QPainterPath ToQPainterPath(const GraphicsPath& path)
{
    QPainterPath result;
    result.setFillRule(path.GetFillMode() == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    const auto points = path.Points();
    const auto types = path.Types();
    result.reserve(int(points.size()) + 8);
    detail::forEachFigure(types, [&](const detail::Figure& fig) {
        result.moveTo(ToQPointF(points[fig.first]));
        detail::forEachSegment(
            points, types, fig, [&](PointF, PointF b) { result.lineTo(ToQPointF(b)); },
            [&](PointF, PointF c1, PointF c2, PointF p) {
                result.cubicTo(ToQPointF(c1), ToQPointF(c2), ToQPointF(p));
            });
        if (fig.closed)
            result.closeSubpath();
    });
    return result;
}

GraphicsPath FromQPainterPath(const QPainterPath& path, const QTransform& placement)
{
    GraphicsPath result(path.fillRule() == Qt::WindingFill ? FillMode::Winding : FillMode::Alternate);
    const int n = path.elementCount();
    std::vector<Placed> elements(size_t(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        const QPointF p = placement.map(QPointF(e.x, e.y));
        elements[size_t(i)] = { PointF(float(p.x()), float(p.y())), e.type };
    }
    int begin = 0;
    for (int i = 1; i <= n; ++i) {
        if (i == n || elements[size_t(i)].type == QPainterPath::MoveToElement) {
            if (i > begin)
                appendSubpath(result, elements, begin, i);
            begin = i;
        }
    }
    result.StartFigure();
    return result;
}

QPen ToQPen(const Pen& pen)
{
    QPen result(ToQColor(pen.color));
    result.setWidthF(pen.width);
    // Qt has a single cap style for both ends.
    result.setCapStyle(toQtCap(pen.startCap));
    result.setJoinStyle(toQtJoin(pen.lineJoin));
    // Same limit as widening; Qt measures it in pen widths too.
    result.setMiterLimit(10.0);
    QList<qreal> dashes;
    qreal total = 0;
    for (float d : pen.dashPattern) {
        const qreal v = std::isfinite(d) && d > 0 ? qreal(d) : 0.0;
        dashes.push_back(v);
        total += v;
    }
    if (total > 0) {
        // Qt wants dash/gap pairs; an odd pattern repeats, as in SVG.
        if (dashes.size() % 2 != 0)
            dashes.append(QList<qreal>(dashes));
        result.setDashPattern(dashes);
    }
    return result;
}

QPen ToCosmeticQPen(const Pen& pen)
{
    QPen result = ToQPen(pen);
    result.setWidthF(1.0);
    result.setCosmetic(true);
    return result;
}

QBrush ToQBrush(const SolidBrush& brush)
{
    return QBrush(ToQColor(brush.color), Qt::SolidPattern);
}

} // namespace vesk
