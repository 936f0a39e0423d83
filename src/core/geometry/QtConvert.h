#pragma once

// The one place where document geometry meets Qt's painting types.

#include "GraphicsPath.h"
#include "Matrix.h"
#include "Pen.h"

#include <QBrush>
#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QTransform>

namespace vesk {

inline QColor ToQColor(ARGB c) { return QColor(ArgbRed(c), ArgbGreen(c), ArgbBlue(c), ArgbAlpha(c)); }
inline ARGB FromQColor(const QColor& c) { return MakeArgb(c.alpha(), c.red(), c.green(), c.blue()); }
inline QPointF ToQPointF(PointF p) { return { p.X, p.Y }; }
inline QRectF ToQRectF(const RectF& r) { return { r.X, r.Y, r.Width, r.Height }; }
inline QTransform ToQTransform(const Matrix& m)
{
    return { m.M11(), m.M12(), m.M21(), m.M22(), m.OffsetX(), m.OffsetY() };
}
inline Matrix FromQTransform(const QTransform& t)
{
    return { float(t.m11()), float(t.m12()), float(t.m21()), float(t.m22()), float(t.dx()), float(t.dy()) };
}

QPainterPath ToQPainterPath(const GraphicsPath& path);
// Curves become Bezier runs; the fill rule carries over. Each point is placed
// by `placement` exactly as QTransform::map(path) would place it, without
// making that mapped copy.
GraphicsPath FromQPainterPath(const QPainterPath& path, const QTransform& placement = QTransform());
QPen ToQPen(const Pen& pen);
// The pen's colour and caps one device pixel wide whatever the transform:
// marks meant to be one screen pixel, which Qt also draws far faster than
// a pen of that width in document units.
QPen ToCosmeticQPen(const Pen& pen);
QBrush ToQBrush(const SolidBrush& brush);

} // namespace vesk
