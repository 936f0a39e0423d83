#include "Starterdrawing.h"

#include "model/Vesklayer.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vesk {

namespace {

// Board houses print lines of 0.15 mm and wider reliably.
constexpr float kPrintWidth = Mm(0.2);
// Each side of a mask opening clears its copper by this much.
constexpr double kMaskMargin = 0.1;

TVeskSurface filled()
{
    return TVeskSurface(0.0f, false, true, 4);
}

TVeskSurface stroked(float width)
{
    return TVeskSurface(width, false, false, 4);
}

// Placing a shape selects it, as a tool wants; a stored drawing holds none selected.
template <class Shape> std::unique_ptr<TVeskObject> placed(std::unique_ptr<Shape> shape)
{
    shape->SetSelected(false);
    return shape;
}

std::unique_ptr<TVeskObject> circle(TVeskLayer* layer, const TVeskSurface& surface, PointF c, float r)
{
    auto e = std::make_unique<TVeskEllipse>(layer, surface);
    e->SetCircle(c, { c.X + r, c.Y });
    return placed(std::move(e));
}

std::unique_ptr<TVeskObject> path(
    TVeskLayer* layer, const TVeskSurface& surface, std::vector<PointF> entries, bool closed)
{
    auto p = std::make_unique<TVeskPath>(layer, surface);
    p->SetPoints(std::move(entries), {});
    p->SetClosed(closed);
    return placed(std::move(p));
}

// The pad's copper figure grown by `grow` millimetres on every side.
std::unique_ptr<TVeskObject> padFigure(TVeskLayer* layer, const TPadSpec& pad, PointF at, double grow)
{
    const float w = Mm(pad.width + 2 * grow);
    const float h = Mm(pad.height + 2 * grow);
    switch (pad.shape) {
    case TPadShape::Round:
        return circle(layer, filled(), at, w / 2);
    case TPadShape::Square: {
        auto r = std::make_unique<TVeskRect>(layer, filled());
        r->SetCorners({ at.X - w / 2, at.Y - h / 2 }, { at.X + w / 2, at.Y + h / 2 });
        return placed(std::move(r));
    }
    case TPadShape::Oblong:
        break;
    }
    // A round-capped stroke as wide as the narrow side, along the long side.
    const float width = std::min(w, h);
    const PointF half = w > h ? PointF((w - h) / 2, 0) : PointF(0, (h - w) / 2);
    TVeskSurface s = stroked(width);
    return path(layer, s, StraightEntries({ at - half, at + half }), false);
}

} // namespace

TStarterDrawing::TStarterDrawing()
{
    document_.Reset();
}

TVeskLayer* TStarterDrawing::layer(const char* name) const
{
    return document_.Layers().FindLayer(QString::fromLatin1(name));
}

void TStarterDrawing::AddNonPlatedHole(PointF at, double diameter)
{
    TVeskLayer* npth = layer("npth");
    if (!npth) {
        // Like "hole": a cut-out, so that prints show the hole as paper.
        npth = document_.Layers().AddNamedLayer(0xFFFFFFFF, QStringLiteral("npth"));
        npth->mask = true;
    }
    document_.Root().Adopt(circle(npth, filled(), at, Mm(diameter) / 2));
}

void TStarterDrawing::addPadShapes(TVeskContainer& into, const TPadSpec& pad, PointF at) const
{
    const bool drilled = pad.hole > 0;
    std::vector<const char*> copper { "component" }, mask { "stop_cmp" };
    if (drilled) {
        copper.push_back("solder");
        mask.push_back("stop_sol");
    }
    for (const char* name : copper)
        into.Adopt(padFigure(layer(name), pad, at, 0));
    if (pad.maskOpening)
        for (const char* name : mask)
            into.Adopt(padFigure(layer(name), pad, at, kMaskMargin));
    if (!drilled)
        return;
    if (pad.slotLength <= pad.hole) {
        into.Adopt(circle(layer("hole"), filled(), at, Mm(pad.hole) / 2));
        return;
    }
    // A round-capped stroke as wide as the hole is what the drill file makes a slot of.
    const float run = Mm(pad.slotLength - pad.hole) / 2;
    const PointF half = pad.width > pad.height ? PointF(run, 0) : PointF(0, run);
    into.Adopt(path(layer("hole"), stroked(Mm(pad.hole)), StraightEntries({ at - half, at + half }), false));
}

void TStarterDrawing::AddPad(const TPadSpec& pad, PointF at)
{
    addPadShapes(document_.Root(), pad, at);
}

void TStarterDrawing::AddPin(const TPadSpec& pad, PointF at, int pin)
{
    TVeskGroup group;
    addPadShapes(group, pad, at);
    group.SetName(QString::number(pin));
    document_.Root().Add(group);
}

void TStarterDrawing::Line(PointF a, PointF b)
{
    Polyline({ a, b }, false);
}

void TStarterDrawing::Polyline(const std::vector<PointF>& points, bool closed)
{
    document_.Root().Adopt(path(layer("place_cmp"), stroked(kPrintWidth), StraightEntries(points), closed));
}

void TStarterDrawing::Rectangle(PointF a, PointF b)
{
    Polyline({ a, { b.X, a.Y }, b, { a.X, b.Y } }, true);
}

void TStarterDrawing::Circle(PointF centre, float radius)
{
    document_.Root().Adopt(circle(layer("place_cmp"), stroked(kPrintWidth), centre, radius));
}

void TStarterDrawing::Dot(PointF centre, float radius)
{
    document_.Root().Adopt(circle(layer("place_cmp"), filled(), centre, radius));
}

void TStarterDrawing::BeginFigure(PointF start)
{
    entries_ = { start };
}

void TStarterDrawing::LineTo(PointF p)
{
    const PointF from = entries_.back();
    entries_.insert(entries_.end(), { from, p, p });
}

void TStarterDrawing::ArcTo(PointF centre, double sweepDegrees)
{
    const PointF from = entries_.back();
    const double r = std::hypot(double(from.X) - centre.X, double(from.Y) - centre.Y);
    double angle = std::atan2(double(from.Y) - centre.Y, double(from.X) - centre.X);
    // Quarter circles or less, each a cubic whose handles give the usual
    // close fit (4/3 · tan(θ/4) of the radius).
    const int pieces = std::max(1, int(std::ceil(std::abs(sweepDegrees) / 90.0 - 1e-9)));
    const double step = sweepDegrees / pieces * std::numbers::pi / 180.0;
    const double k = 4.0 / 3.0 * std::tan(step / 4) * r;
    auto at = [&](double a) {
        return PointF(float(centre.X + r * std::cos(a)), float(centre.Y + r * std::sin(a)));
    };
    for (int i = 0; i < pieces; ++i) {
        const double a = angle, b = angle + step;
        const PointF p0 = at(a), p3 = at(b);
        const PointF c1(float(p0.X - k * std::sin(a)), float(p0.Y + k * std::cos(a)));
        const PointF c2(float(p3.X + k * std::sin(b)), float(p3.Y - k * std::cos(b)));
        entries_.insert(entries_.end(), { c1, c2, p3 });
        angle = b;
    }
}

void TStarterDrawing::EndFigure(bool closed)
{
    // The last anchor's group leads back to the first, which a closed path draws.
    const PointF last = entries_.back(), first = entries_.front();
    entries_.insert(entries_.end(), { last, first });
    document_.Root().Adopt(path(layer("place_cmp"), stroked(kPrintWidth), std::move(entries_), closed));
    entries_.clear();
}

} // namespace vesk
