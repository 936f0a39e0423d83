#include "Veskellipse.h"

#include "gerber/Gerberfilestream.h"
#include "io/Veskfilestream.h"

#include <cmath>

namespace vesk {

TVeskEllipse::TVeskEllipse(TVeskLayer* layer, const TVeskSurface& surface)
    : TVeskBoxShape(layer, surface, QStringLiteral("Ellipse"))
{
}

TVeskEllipse::TVeskEllipse(const TVeskEllipse& other)
    : TVeskBoxShape(other)
{
}

TVeskEllipse::TVeskEllipse(TVesk_istream& in, TOutlineBuild build)
    : TVeskBoxShape(in, QStringLiteral("Ellipse"))
{
    if (!in.Failed() && build == TOutlineBuild::Now)
        Rebuild();
}

std::unique_ptr<TVeskObject> TVeskEllipse::Clone() const
{
    return std::make_unique<TVeskEllipse>(*this);
}

RectF TVeskEllipse::NormalizedBox() const
{
    RectF r = box_;
    if (r.Width < 0) {
        r.X += r.Width;
        r.Width = -r.Width;
    }
    if (r.Height < 0) {
        r.Y += r.Height;
        r.Height = -r.Height;
    }
    return r;
}

void TVeskEllipse::Rebuild()
{
    buildOutline();
    const float w = box_.Width / 2, h = box_.Height / 2;
    handles_ = { PointF { 0, 0 }, PointF { 0, h }, PointF { w, 0 }, PointF { 0, -h }, PointF { -w, 0 } };
}

void TVeskEllipse::SetCircle(PointF c, PointF e)
{
    placeAt(c);
    const float r = float(std::hypot(double(e.X) - c.X, double(e.Y) - c.Y));
    box_ = { -r, -r, 2 * r, 2 * r };
    Rebuild();
}

void TVeskEllipse::addFigure(GraphicsPath& path) const
{
    path.AddEllipse(NormalizedBox());
}

void TVeskEllipse::addFlash(TGerber_ostream& out, const Pen* pen, bool quarterTurn) const
{
    // The flash sits on the box's centre as the placement maps it, which
    // need not be the local origin; a box dragged inside out is flashed as
    // the ellipse it draws.
    const RectF b = NormalizedBox();
    const PointF c = matrix_.TransformPoint({ b.X + b.Width / 2, b.Y + b.Height / 2 });
    const float w = quarterTurn ? b.Height : b.Width;
    const float h = quarterTurn ? b.Width : b.Height;
    out.AddEllipse(pen, { c.X - w / 2, c.Y - h / 2, w, h });
}

void TVeskEllipse::moveHandle(int index, PointF v)
{
    // The centre stays; the dragged handle changes its semi-axis only.
    float r = 0;
    switch (index) {
    case 1:
        r = box_.Height / 2 + v.Y;
        break;
    case 2:
        r = box_.Width / 2 + v.X;
        break;
    case 3:
        r = box_.Height / 2 - v.Y;
        break;
    case 4:
        r = box_.Width / 2 - v.X;
        break;
    default:
        return;
    }
    if (index == 1 || index == 3) {
        box_.Height = 2 * r;
        box_.Y = -r;
    } else {
        box_.Width = 2 * r;
        box_.X = -r;
    }
}

} // namespace vesk
