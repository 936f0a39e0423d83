#include "Preconvertregion.h"

#include "Gerberbody.h"

#include <algorithm>
#include <clipper.hpp>
#include <cmath>
#include <limits>

namespace vesk {

namespace {

using ClipperLib::IntPoint;
using Ring = std::vector<IntPoint>;

IntPoint toFileUnits(PointF p)
{
    // The numbers the body writes: nanometres, y negated.
    return { ClipperLib::cInt(std::llround(TGerberBody::DecimalValue(p.X) * 100000.0)),
        -ClipperLib::cInt(std::llround(TGerberBody::DecimalValue(p.Y) * 100000.0)) };
}

bool inTriangle(double ax, double ay, double bx, double by, double cx, double cy, double px, double py)
{
    return (cx - px) * (ay - py) >= (ax - px) * (cy - py) && (ax - px) * (by - py) >= (bx - px) * (ay - py)
        && (bx - px) * (cy - py) >= (cx - px) * (by - py);
}

// The vertex of the ring that the hole's leftmost point M can be joined to by
// a segment crossing nothing: where a ray from M to the left first meets the
// ring, the end of that edge farther left, or, when other vertices of the
// ring lie in the triangle between M, that crossing and that end, the one
// of them nearest in angle to the ray. -1 when the ray meets nothing.
long bridgeVertex(const Ring& ring, IntPoint m)
{
    const double hx = double(m.X), hy = double(m.Y);
    double qx = -std::numeric_limits<double>::infinity();
    long best = -1;
    const size_t n = ring.size();
    for (size_t i = 0; i < n; ++i) {
        const IntPoint& a = ring[i];
        const IntPoint& b = ring[(i + 1) % n];
        if (a.Y == b.Y)
            continue;
        const double lo = double(std::min(a.Y, b.Y)), hi = double(std::max(a.Y, b.Y));
        if (hy < lo || hy > hi)
            continue;
        const double x = double(a.X) + (hy - double(a.Y)) * double(b.X - a.X) / double(b.Y - a.Y);
        if (x <= hx && x > qx) {
            qx = x;
            best = long(a.X < b.X ? i : (i + 1) % n);
            if (x == hx)
                return best;
        }
    }
    if (best < 0)
        return -1;
    const double mx = double(ring[size_t(best)].X), my = double(ring[size_t(best)].Y);
    double tanMin = std::numeric_limits<double>::infinity();
    long chosen = best;
    for (size_t i = 0; i < n; ++i) {
        const double px = double(ring[i].X), py = double(ring[i].Y);
        if (!(hx >= px && px >= mx && hx != px))
            continue;
        const bool below = hy < my;
        if (!inTriangle(below ? hx : qx, hy, mx, my, below ? qx : hx, hy, px, py))
            continue;
        const double tan = std::fabs(hy - py) / (hx - px);
        if (tan < tanMin || (tan == tanMin && px > double(ring[size_t(chosen)].X))) {
            tanMin = tan;
            chosen = long(i);
        }
    }
    return chosen;
}

// The outline with every hole spliced in, left to right, through a cut-in.
Ring joinHoles(Ring outer, std::vector<Ring> holes)
{
    const auto leftmost = [](const Ring& r) {
        return size_t(std::min_element(r.begin(), r.end(), [](const IntPoint& a, const IntPoint& b) {
            return a.X < b.X || (a.X == b.X && a.Y < b.Y);
        }) - r.begin());
    };
    std::sort(holes.begin(), holes.end(),
        [&](const Ring& a, const Ring& b) { return a[leftmost(a)].X < b[leftmost(b)].X; });
    for (const Ring& hole : holes) {
        const size_t start = leftmost(hole);
        long at = bridgeVertex(outer, hole[start]);
        if (at < 0)
            at = 0;
        Ring spliced;
        spliced.reserve(outer.size() + hole.size() + 3);
        spliced.insert(spliced.end(), outer.begin(), outer.begin() + at + 1);
        for (size_t k = 0; k <= hole.size(); ++k)
            spliced.push_back(hole[(start + k) % hole.size()]);
        spliced.push_back(outer[size_t(at)]);
        spliced.insert(spliced.end(), outer.begin() + at + 1, outer.end());
        outer = std::move(spliced);
    }
    return outer;
}

void collectOuters(const ClipperLib::PolyNode& node, std::vector<TPreConvRegion::Contour>& into)
{
    for (const ClipperLib::PolyNode* outer : node.Childs) {
        if (outer->Contour.size() < 3)
            continue;
        std::vector<Ring> holes;
        for (const ClipperLib::PolyNode* hole : outer->Childs) {
            if (hole->Contour.size() >= 3)
                holes.push_back(hole->Contour);
            collectOuters(*hole, into);
        }
        const Ring ring = joinHoles(outer->Contour, std::move(holes));
        TPreConvRegion::Contour contour;
        contour.reserve(ring.size() + 1);
        for (const IntPoint& p : ring)
            if (contour.empty() || contour.back() != std::pair { p.X, p.Y })
                contour.emplace_back(p.X, p.Y);
        if (contour.size() >= 2 && contour.back() == contour.front())
            contour.pop_back();
        if (contour.size() < 3)
            continue;
        contour.push_back(contour.front());
        into.push_back(std::move(contour));
    }
}

} // namespace

TPreConvRegion::TPreConvRegion(
    TApertureList& apertures, std::vector<THatchFigure> figures, FillMode mode, bool strokeWhenEmpty)
    : TPreConvObject(apertures)
    , figures_(std::move(figures))
    , mode_(mode)
    , strokeWhenEmpty_(strokeWhenEmpty)
{
}

std::vector<TPreConvRegion::Contour> TPreConvRegion::Contours(
    const std::vector<THatchFigure>& figures, FillMode mode)
{
    ClipperLib::Paths paths;
    for (const THatchFigure& f : figures) {
        Ring ring;
        for (const PointF p : f.points) {
            const IntPoint ip = toFileUnits(p);
            if (ring.empty() || ring.back() != ip)
                ring.push_back(ip);
        }
        if (ring.size() >= 3)
            paths.push_back(std::move(ring));
    }
    std::vector<Contour> contours;
    if (paths.empty())
        return contours;
    ClipperLib::Clipper clipper;
    clipper.AddPaths(paths, ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    const auto fill = mode == FillMode::Winding ? ClipperLib::pftNonZero : ClipperLib::pftEvenOdd;
    if (!clipper.Execute(ClipperLib::ctUnion, tree, fill, fill))
        return contours;
    collectOuters(tree, contours);
    return contours;
}

void TPreConvRegion::Write(TGerberBody& out)
{
    // Points the file cannot hold are refused before the geometry is built.
    for (const THatchFigure& f : figures_)
        for (const PointF p : f.points)
            if (!out.CheckRange(p))
                return;
    const std::vector<Contour> contours = Contours(figures_, mode_);
    if (contours.empty()) {
        if (!strokeWhenEmpty_)
            return;
        Pen pen;
        pen.width = TPreConvPath::kDefaultPenWidth;
        for (const THatchFigure& f : figures_) {
            TPreConvPath stroke(apertures_);
            stroke.SetFigure(f, {});
            stroke.WriteOutline(out, pen);
        }
        return;
    }
    for (const Contour& c : contours) {
        out.BeginRegion();
        out.MoveUnits(c.front().first, c.front().second);
        for (size_t i = 1; i < c.size(); ++i)
            out.DrawUnits(c[i].first, c[i].second);
        out.EndRegion();
    }
}

} // namespace vesk
