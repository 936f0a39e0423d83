#include "Veskrectangle.h"

#include "gerber/Gerberfilestream.h"
#include "io/Veskfilestream.h"

#include <cmath>

namespace vesk {

TVeskRect::TVeskRect(TVeskLayer* layer, const TVeskSurface& surface)
    : TVeskBoxShape(layer, surface, QStringLiteral("Rectangle"))
{
}

TVeskRect::TVeskRect(const TVeskRect& other)
    : TVeskBoxShape(other)
{
}

TVeskRect::TVeskRect(TVesk_istream& in, TOutlineBuild build)
    : TVeskBoxShape(in, QStringLiteral("Rectangle"))
{
    if (!in.Failed() && build == TOutlineBuild::Now)
        Rebuild();
}

std::unique_ptr<TVeskObject> TVeskRect::Clone() const
{
    return std::make_unique<TVeskRect>(*this);
}

void TVeskRect::Rebuild()
{
    const PointF a = handles_[1], b = handles_[2], d = handles_[4];
    box_ = { std::fmin(a.X, b.X), std::fmin(a.Y, d.Y), std::fabs(b.X - a.X), std::fabs(d.Y - a.Y) };
    buildOutline();
}

void TVeskRect::SetCorners(PointF a, PointF b)
{
    const PointF c = (a + b) * 0.5f;
    placeAt(c);
    handles_[0] = { 0, 0 };
    handles_[1] = a - c;
    handles_[3] = b - c;
    handles_[2] = { handles_[3].X, handles_[1].Y };
    handles_[4] = { handles_[1].X, handles_[3].Y };
    Rebuild();
}

void TVeskRect::addFigure(GraphicsPath& path) const
{
    path.AddRectangle(box_);
}

void TVeskRect::addFlash(TGerber_ostream& out, const Pen* pen, bool quarterTurn) const
{
    const PointF c = matrix_.TransformPoint(handles_[0]);
    const float w = quarterTurn ? box_.Height : box_.Width;
    const float h = quarterTurn ? box_.Width : box_.Height;
    out.AddRect(pen, { c.X - w / 2, c.Y - h / 2, w, h });
}

void TVeskRect::moveHandle(int index, PointF v)
{
    // Each corner drags the two corners it shares a side with, so the figure stays a rectangle.
    PointF* h = handles_.data();
    switch (index) {
    case 1:
        h[1] = h[1] + v;
        h[2].Y += v.Y;
        h[4].X += v.X;
        break;
    case 2:
        h[2] = h[2] + v;
        h[1].Y += v.Y;
        h[3].X += v.X;
        break;
    case 3:
        h[3] = h[3] + v;
        h[2].X += v.X;
        h[4].Y += v.Y;
        break;
    case 4:
        h[4] = h[4] + v;
        h[1].X += v.X;
        h[3].Y += v.Y;
        break;
    default:
        return;
    }
    h[0] = { (h[1].X + h[2].X) / 2, (h[1].Y + h[4].Y) / 2 };
}

} // namespace vesk
