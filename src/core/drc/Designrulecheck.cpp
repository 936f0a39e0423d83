#include "Designrulecheck.h"

#include "geometry/GraphicsPath.h"
#include "geometry/PolygonClipping.h"
#include "gerber/Drillexport.h"
#include "gerber/Excellonwriter.h"
#include "gerber/Gerberexport.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "model/Veskobject.h"
#include "shapes/Outlineflatness.h"

#include <algorithm>
#include <atomic>
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/iterator/function_output_iterator.hpp>
#include <chrono>
#include <cmath>
#include <future>
#include <map>
#include <numeric>
#include <span>

namespace vesk {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

constexpr double kUnitsPerMm = 10.0;
// Outlines and edges flattened within 1 µm of their curves, so that a round
// pad's ring reads as drawn.
constexpr float kCheckFlatness = 0.01f;
// Flattened curves lie inside the true ones, by the flatness and a little
// more where a stroke's outline is united, so a rule is broken only by more
// than this (document units, 2 µm): a ring drawn exactly to the rule passes.
constexpr double kMeasureSlack = 2 * kCheckFlatness;
// Pieces closer than this (document units, 0.02 µm) touch: one conductor.
constexpr double kTouching = 2e-4;
// Copper a width opening takes away counts only where it is thicker than
// this (document units): thinner is the rounding of the offsets.
constexpr double kWidthSlack = 0.01;
constexpr double kScale = detail::kClipperScale;

using BPoint = bg::model::d2::point_xy<double>;
using Box = bg::model::box<BPoint>;
using Tree = bgi::rtree<std::pair<Box, std::uint32_t>, bgi::rstar<16>>;

struct Vec {
    double x = 0, y = 0;
};
Vec operator-(Vec a, Vec b)
{
    return { a.x - b.x, a.y - b.y };
}
Vec operator+(Vec a, Vec b)
{
    return { a.x + b.x, a.y + b.y };
}
Vec operator*(Vec a, double k)
{
    return { a.x * k, a.y * k };
}
double dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y;
}
double cross(Vec a, Vec b)
{
    return a.x * b.y - a.y * b.x;
}
double length(Vec a)
{
    return std::hypot(a.x, a.y);
}

Vec toVec(const ClipperLib::IntPoint& p)
{
    return { double(p.X) / kScale, double(p.Y) / kScale };
}
Vec toVec(PointF p)
{
    return { double(p.X), double(p.Y) };
}
PointF toPoint(Vec v)
{
    return { float(v.x), float(v.y) };
}

struct Segment {
    Vec a, b;
};

// The closest points of two segments and their distance.
struct Closest {
    double distance = std::numeric_limits<double>::infinity();
    Vec p, q;
    // How long parallel edges run at that distance: of equally close pairs,
    // the longest run is where the eye looks.
    double run = 0;
};

// Distances within this (document units) are equal.
constexpr double kSameDistance = 1e-9;

bool closer(const Closest& a, const Closest& b)
{
    return a.distance < b.distance - kSameDistance
        || (a.distance <= b.distance + kSameDistance && a.run > b.run);
}

Vec nearestOn(const Segment& s, Vec p)
{
    const Vec d = s.b - s.a;
    const double l2 = dot(d, d);
    if (l2 <= 0)
        return s.a;
    return s.a + d * std::clamp(dot(p - s.a, d) / l2, 0.0, 1.0);
}

Closest closest(const Segment& s, const Segment& t)
{
    const Vec r = s.b - s.a, u = t.b - t.a;
    const double denom = cross(r, u);
    if (denom != 0) {
        const double k = cross(t.a - s.a, u) / denom, m = cross(t.a - s.a, r) / denom;
        if (k >= 0 && k <= 1 && m >= 0 && m <= 1) {
            const Vec x = s.a + r * k;
            return { 0, x, x };
        }
    }
    Closest best;
    const auto consider = [&](Vec p, Vec q) {
        const double d = length(q - p);
        if (d < best.distance)
            best = { d, p, q };
    };
    consider(s.a, nearestOn(t, s.a));
    consider(s.b, nearestOn(t, s.b));
    consider(nearestOn(s, t.a), t.a);
    consider(nearestOn(s, t.b), t.b);
    // Parallel edges are closest all along their overlap: point at its middle.
    const double rr = dot(r, r);
    if (denom == 0 && rr > 0) {
        const double k0 = std::clamp(dot(t.a - s.a, r) / rr, 0.0, 1.0);
        const double k1 = std::clamp(dot(t.b - s.a, r) / rr, 0.0, 1.0);
        const Vec p = s.a + r * ((k0 + k1) / 2);
        const Vec q = nearestOn(t, p);
        const Closest middle { length(q - p), p, q, std::abs(k1 - k0) * std::sqrt(rr) };
        if (closer(middle, best))
            best = middle;
    }
    return best;
}

Box boxOf(const Segment& s, double grow = 0)
{
    return { { std::min(s.a.x, s.b.x) - grow, std::min(s.a.y, s.b.y) - grow },
        { std::max(s.a.x, s.b.x) + grow, std::max(s.a.y, s.b.y) + grow } };
}

Tree treeOf(const std::vector<Segment>& segments)
{
    std::vector<std::pair<Box, std::uint32_t>> values;
    values.reserve(segments.size());
    for (size_t i = 0; i < segments.size(); ++i)
        values.emplace_back(boxOf(segments[i]), std::uint32_t(i));
    return Tree(values.begin(), values.end());
}

void addRingSegments(
    const ClipperLib::Path& ring, int owner, std::vector<Segment>& into, std::vector<int>& owners)
{
    for (size_t i = 0; i < ring.size(); ++i) {
        into.push_back({ toVec(ring[i]), toVec(ring[(i + 1) % ring.size()]) });
        owners.push_back(owner);
    }
}

// Disjoint sets over the pieces of copper: touching pieces join.
struct Joined {
    std::vector<int> parent;
    explicit Joined(size_t n)
        : parent(n)
    {
        std::iota(parent.begin(), parent.end(), 0);
    }
    int find(int i)
    {
        while (parent[size_t(i)] != i)
            i = parent[size_t(i)] = parent[size_t(parent[size_t(i)])];
        return i;
    }
    void join(int a, int b) { parent[size_t(find(a))] = find(b); }
};

// A cancellable share of the work, counted in steps done.
struct Work {
    std::atomic<bool> cancelled { false };
    std::atomic<int> done { 0 };
};

struct Hole {
    Segment axis; // a hit has both ends on its centre
    double radius = 0; // document units
    QString layer;
};

// The united copper of one layer: its pieces (an outer ring and the holes
// inside it), every ring's edges with the piece they bound.
struct Copper {
    ClipperLib::Paths polygons;
    std::vector<ClipperLib::Paths> pieces;
    std::vector<Segment> edges;
    std::vector<int> pieceOf;
    Tree tree;
};

void collectPieces(const ClipperLib::PolyNode& node, Copper& c)
{
    for (const ClipperLib::PolyNode* outer : node.Childs) {
        ClipperLib::Paths rings { outer->Contour };
        for (const ClipperLib::PolyNode* hole : outer->Childs) {
            rings.push_back(hole->Contour);
            collectPieces(*hole, c);
        }
        c.pieces.push_back(std::move(rings));
    }
}

Copper copperOf(const TVeskObject& root, int layerIndex)
{
    Copper c;
    GraphicsPath artwork(FillMode::Winding);
    {
        const TOutlineFlatnessScope fine(kCheckFlatness);
        MergedLayerArtwork(root, layerIndex, artwork);
    }
    ClipperLib::Clipper clipper;
    clipper.AddPaths(detail::toClipperPolygons(artwork, kCheckFlatness), ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    collectPieces(tree, c);
    for (size_t i = 0; i < c.pieces.size(); ++i)
        for (const ClipperLib::Path& ring : c.pieces[i]) {
            c.polygons.push_back(ring);
            addRingSegments(ring, int(i), c.edges, c.pieceOf);
        }
    c.tree = treeOf(c.edges);
    return c;
}

ClipperLib::IntPoint toGrid(Vec v)
{
    return { ClipperLib::cInt(std::llround(v.x * kScale)), ClipperLib::cInt(std::llround(v.y * kScale)) };
}

// Inside an odd number of the rings: inside the board.
bool insideRings(const ClipperLib::Paths& rings, Vec p)
{
    const ClipperLib::IntPoint g = toGrid(p);
    bool inside = false;
    for (const ClipperLib::Path& ring : rings)
        if (ClipperLib::PointInPolygon(g, ring) != 0)
            inside = !inside;
    return inside;
}

// Inside copper: a ray from the point to the right crosses its edges an odd
// number of times; the tree gives the edges the ray can meet.
bool insideCopper(const Copper& c, Vec p)
{
    bool inside = false;
    const Box ray { { p.x, p.y }, { std::numeric_limits<double>::max(), p.y } };
    c.tree.query(bgi::intersects(ray), boost::make_function_output_iterator([&](const auto& v) {
        const Segment& e = c.edges[v.second];
        if ((e.a.y > p.y) == (e.b.y > p.y))
            return;
        const double x = e.a.x + (p.y - e.a.y) * (e.b.x - e.a.x) / (e.b.y - e.a.y);
        if (x > p.x)
            inside = !inside;
    }));
    return inside;
}

// The nearest edge of the tree to the segment within `reach`, if any.
Closest nearestEdge(const std::vector<Segment>& edges, const Tree& tree, const Segment& s, double reach)
{
    Closest best;
    tree.query(bgi::intersects(boxOf(s, reach)), boost::make_function_output_iterator([&](const auto& v) {
        const Closest c = closest(s, edges[v.second]);
        if (closer(c, best))
            best = c;
    }));
    return best;
}

TDrcFinding finding(
    TDrcRule rule, const QString& layer, Vec from, Vec to, double foundUnits, double requiredMm)
{
    TDrcFinding f;
    f.rule = rule;
    f.layer = layer;
    f.from = toPoint(from);
    f.to = toPoint(to);
    f.found = std::max(0.0, foundUnits) / kUnitsPerMm;
    f.required = requiredMm;
    return f;
}

// Two pieces of copper closer than the rule, once per pair of conductors,
// at their closest points.
void checkClearance(const Copper& c, double rule, const QString& layer, Joined& conductors, Work& work,
    std::vector<TDrcFinding>& out)
{
    const double reach = std::max(0.0, rule * kUnitsPerMm - kMeasureSlack);
    std::map<std::pair<int, int>, Closest> near;
    for (size_t i = 0; i < c.edges.size(); ++i) {
        if ((i & 4095) == 0 && work.cancelled)
            return;
        const int a = c.pieceOf[i];
        c.tree.query(bgi::intersects(boxOf(c.edges[i], reach)),
            boost::make_function_output_iterator([&](const auto& v) {
                const int b = c.pieceOf[v.second];
                if (b <= a)
                    return;
                const Closest d = closest(c.edges[i], c.edges[v.second]);
                if (d.distance >= reach)
                    return;
                Closest& best = near[{ a, b }];
                if (closer(d, best))
                    best = d;
            }));
    }
    for (const auto& [pair, d] : near)
        if (d.distance <= kTouching)
            conductors.join(pair.first, pair.second);
    std::map<std::pair<int, int>, Closest> apart;
    for (const auto& [pair, d] : near) {
        const int a = conductors.find(pair.first), b = conductors.find(pair.second);
        if (a == b)
            continue;
        Closest& best = apart[{ std::min(a, b), std::max(a, b) }];
        if (closer(d, best))
            best = d;
    }
    for (const auto& [pair, d] : apart)
        out.push_back(finding(TDrcRule::Clearance, layer, d.p, d.q, d.distance, rule));
}

ClipperLib::Paths offset(const ClipperLib::Paths& polygons, double byUnits, ClipperLib::JoinType join)
{
    ClipperLib::ClipperOffset o(4.0, kCheckFlatness * kScale);
    o.AddPaths(polygons, join, ClipperLib::etClosedPolygon);
    ClipperLib::Paths result;
    o.Execute(result, byUnits * kScale);
    return result;
}

ClipperLib::Paths clip(const ClipperLib::Paths& a, const ClipperLib::Paths& b, ClipperLib::ClipType type)
{
    ClipperLib::Clipper c;
    c.AddPaths(a, ClipperLib::ptSubject, true);
    c.AddPaths(b, ClipperLib::ptClip, true);
    ClipperLib::Paths result;
    c.Execute(type, result, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return result;
}

ClipperLib::IntRect boundsOf(const ClipperLib::Path& ring)
{
    ClipperLib::IntRect r { ring[0].X, ring[0].Y, ring[0].X, ring[0].Y };
    for (const ClipperLib::IntPoint& p : ring) {
        r.left = std::min(r.left, p.X);
        r.top = std::min(r.top, p.Y);
        r.right = std::max(r.right, p.X);
        r.bottom = std::max(r.bottom, p.Y);
    }
    return r;
}

// Whether the ring is convex and at least `width` across in every
// direction: then no disc of half that width misses any of it but its sharp
// corners, which the mitred growing puts back. Straight tracks and plain
// pads are such pieces, and this is far cheaper than the opening.
bool convexAndWide(const ClipperLib::Path& ring, double width)
{
    const size_t n = ring.size();
    if (n < 3)
        return false;
    int turn = 0;
    for (size_t i = 0; i < n; ++i) {
        const Vec a = toVec(ring[i]), b = toVec(ring[(i + 1) % n]), c = toVec(ring[(i + 2) % n]);
        const double z = cross(b - a, c - b);
        const int sign = z > 0 ? 1 : z < 0 ? -1 : 0;
        if (sign != 0 && turn != 0 && sign != turn)
            return false;
        if (sign != 0)
            turn = sign;
    }
    // The narrowest breadth of a convex polygon is measured across one of its edges.
    for (size_t i = 0; i < n; ++i) {
        const Vec a = toVec(ring[i]), d = toVec(ring[(i + 1) % n]) - a;
        const double l = length(d);
        if (l == 0)
            continue;
        double farthest = 0;
        for (size_t k = 0; k < n; ++k)
            farthest = std::max(farthest, std::abs(cross(d, toVec(ring[k]) - a)) / l);
        if (farthest < width)
            return false;
    }
    return true;
}

// Copper narrower than the rule: what an opening by half the width takes
// away. Eroding with round joins is the exact erosion by a disc; growing
// back with mitred joins restores sharp corners, which are not narrow. The
// width found is twice the largest disc that fits in copper where the piece
// taken away lies, found by halving.
void checkWidth(const Copper& c, double rule, const QString& layer, Work& work, std::vector<TDrcFinding>& out)
{
    if (rule <= 0)
        return;
    const double half = std::max(0.0, rule * kUnitsPerMm - kMeasureSlack) / 2;
    // Piece by piece: pieces apart cannot widen each other, and small
    // clippings are far cheaper than one over the whole layer.
    for (const ClipperLib::Paths& piece : c.pieces) {
        if (work.cancelled)
            return;
        if (piece.size() == 1 && convexAndWide(piece.front(), 2 * half))
            continue;
        const ClipperLib::Paths opened
            = offset(offset(piece, -half, ClipperLib::jtRound), half, ClipperLib::jtMiter);
        const ClipperLib::Paths takenAway = clip(piece, opened, ClipperLib::ctDifference);
        if (takenAway.empty())
            continue;
        // One finding per piece, where it is narrowest: a track too thin is
        // one fault, however many bends split what the opening takes away.
        double narrowest = std::numeric_limits<double>::infinity();
        Vec at;
        for (const ClipperLib::Path& core : offset(takenAway, -kWidthSlack, ClipperLib::jtMiter)) {
            if (core.size() < 3 || !ClipperLib::Orientation(core))
                continue; // a hole in a core
            const ClipperLib::IntRect b = boundsOf(core);
            const ClipperLib::cInt grow = ClipperLib::cInt(std::ceil(2 * half * kScale));
            const ClipperLib::Path window { { b.left - grow, b.top - grow }, { b.right + grow, b.top - grow },
                { b.right + grow, b.bottom + grow }, { b.left - grow, b.bottom + grow } };
            const ClipperLib::Paths near = clip(piece, { window }, ClipperLib::ctIntersection);
            const ClipperLib::Paths where { core };
            double lo = 0, hi = half;
            while (hi - lo > 1e-4) {
                const double r = (lo + hi) / 2;
                if (clip(offset(near, -r, ClipperLib::jtRound), where, ClipperLib::ctIntersection).empty())
                    hi = r;
                else
                    lo = r;
            }
            if (2 * lo < narrowest) {
                narrowest = 2 * lo;
                at = toVec(core[0]);
            }
        }
        if (std::isfinite(narrowest))
            out.push_back(finding(TDrcRule::Width, layer, at, at, narrowest, rule));
    }
}

// A hole on this layer's copper with too thin a ring around it, or one that
// touches copper without lying inside it.
void checkRings(const Copper& c, const std::vector<Hole>& holes, double rule, const QString& layer,
    std::vector<TDrcFinding>& out)
{
    const double reach = std::max(0.0, rule * kUnitsPerMm - kMeasureSlack);
    for (const Hole& h : holes) {
        const Closest e = nearestEdge(c.edges, c.tree, h.axis, h.radius + reach);
        const bool inside = insideCopper(c, h.axis.a) && insideCopper(c, h.axis.b);
        if (inside) {
            if (e.distance >= h.radius + reach)
                continue;
            const Vec towards = e.q - e.p;
            const double l = length(towards);
            const Vec edge = l > 0 ? e.p + towards * (h.radius / l) : e.p;
            out.push_back(finding(TDrcRule::AnnularRing, layer, edge, e.q, e.distance - h.radius, rule));
        } else if (e.distance <= h.radius) {
            out.push_back(finding(TDrcRule::AnnularRing, layer, h.axis.a, h.axis.a, 0, rule));
        }
    }
}

void checkHoleGaps(const std::vector<Hole>& holes, double rule, std::vector<TDrcFinding>& out)
{
    const double reach = std::max(0.0, rule * kUnitsPerMm - kMeasureSlack);
    std::vector<std::pair<Box, std::uint32_t>> values;
    for (size_t i = 0; i < holes.size(); ++i)
        values.emplace_back(boxOf(holes[i].axis, holes[i].radius), std::uint32_t(i));
    const Tree tree(values.begin(), values.end());
    for (size_t i = 0; i < holes.size(); ++i) {
        const Hole& h = holes[i];
        tree.query(bgi::intersects(boxOf(h.axis, h.radius + reach)),
            boost::make_function_output_iterator([&](const auto& v) {
                if (v.second <= i)
                    return;
                const Hole& g = holes[v.second];
                const Closest d = closest(h.axis, g.axis);
                const double gap = d.distance - h.radius - g.radius;
                if (gap >= reach)
                    return;
                const Vec towards = d.q - d.p;
                const double l = length(towards);
                const Vec from = l > 0 ? d.p + towards * (h.radius / l) : d.p;
                const Vec to = l > 0 ? d.q - towards * (g.radius / l) : d.q;
                out.push_back(finding(TDrcRule::HoleToHole, h.layer, from, to, gap, rule));
            }));
    }
}

// The board's edge: the centre lines drawn on "dimension", and the region
// their closed figures enclose.
struct Edge {
    std::vector<Segment> lines;
    Tree tree;
    ClipperLib::Paths region;
};

Edge edgeOf(const TVeskObject& root, const TVeskLayerList& layers)
{
    Edge e;
    const TVeskLayer* dimension = layers.FindLayer(QStringLiteral("dimension"));
    if (!dimension)
        return e;
    std::vector<TVeskObject*> found;
    const_cast<TVeskObject&>(root).CollectByLayer(found, dimension->index);
    GraphicsPath lines;
    for (const TVeskObject* o : found)
        o->AddCentreLine(lines);
    lines.Flatten(kCheckFlatness);
    const std::span<const PointF> points = lines.Points();
    const std::span<const std::uint8_t> types = lines.Types();
    size_t start = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const bool last = i + 1 == points.size() || (types[i + 1] & PathPointTypeMask) == PathPointTypeStart;
        if (i > start)
            e.lines.push_back({ toVec(points[i - 1]), toVec(points[i]) });
        if (!last)
            continue;
        if ((types[i] & PathPointTypeCloseSubpath) && i > start + 1) {
            e.lines.push_back({ toVec(points[i]), toVec(points[start]) });
            ClipperLib::Path ring;
            for (size_t k = start; k <= i; ++k)
                ring.push_back(toGrid(toVec(points[k])));
            e.region.push_back(std::move(ring));
        }
        start = i + 1;
    }
    e.tree = treeOf(e.lines);
    return e;
}

// Copper nearer the board's edge than the rule, once per conductor; copper
// wholly outside the board where the edge encloses one.
void checkEdge(const Copper& c, const Edge& edge, double rule, const QString& layer, Joined& conductors,
    std::vector<TDrcFinding>& out)
{
    if (edge.lines.empty())
        return;
    const double reach = std::max(0.0, rule * kUnitsPerMm - kMeasureSlack);
    std::map<int, Closest> near;
    for (size_t i = 0; i < c.edges.size(); ++i) {
        const Closest d = nearestEdge(edge.lines, edge.tree, c.edges[i], reach);
        if (d.distance >= reach)
            continue;
        Closest& best = near[conductors.find(c.pieceOf[i])];
        if (closer(d, best))
            best = d;
    }
    std::vector<bool> reported(c.pieces.size(), false);
    for (const auto& [conductor, d] : near) {
        out.push_back(finding(TDrcRule::CopperToEdge, layer, d.p, d.q, d.distance, rule));
        reported[size_t(conductor)] = true;
    }
    if (edge.region.empty())
        return;
    for (size_t i = 0; i < c.pieces.size(); ++i) {
        const int conductor = conductors.find(int(i));
        if (reported[size_t(conductor)])
            continue;
        const Vec at = toVec(c.pieces[i].front().front());
        if (!insideRings(edge.region, at)) {
            out.push_back(finding(TDrcRule::CopperToEdge, layer, at, at, 0, rule));
            reported[size_t(conductor)] = true;
        }
    }
}

std::vector<Hole> holesOf(const TVeskObject& root, const TVeskLayerList& layers)
{
    std::vector<Hole> holes;
    for (const int index : DrillLayers(layers)) {
        TExcellonWriter drills(true);
        std::vector<TVeskMessage> leftOut;
        CollectDrillHoles(root, layers, index, drills, leftOut);
        for (const TExcellonWriter::Hole& h : drills.Holes())
            holes.push_back(
                { { toVec(h.from), toVec(h.to) }, double(h.diameter) / 2, layers.LayerAt(index)->Name() });
    }
    return holes;
}

constexpr int kStepsPerLayer = 4;

std::vector<TDrcFinding> checkLayer(const TVeskObject& root, int index, const QString& name,
    const std::vector<Hole>& holes, const Edge& edge, const TDesignRules& rules, Work& work)
{
    std::vector<TDrcFinding> out;
    const Copper c = copperOf(root, index);
    ++work.done;
    Joined conductors(c.pieces.size());
    if (!work.cancelled)
        checkClearance(c, rules.clearance, name, conductors, work, out);
    ++work.done;
    if (!work.cancelled)
        checkWidth(c, rules.width, name, work, out);
    ++work.done;
    if (!work.cancelled) {
        checkRings(c, holes, rules.ring, name, out);
        checkEdge(c, edge, rules.edge, name, conductors, out);
    }
    ++work.done;
    return out;
}

} // namespace

QString DrcRuleKey(TDrcRule rule)
{
    switch (rule) {
    case TDrcRule::Clearance:
        return QStringLiteral("clearance");
    case TDrcRule::Width:
        return QStringLiteral("width");
    case TDrcRule::AnnularRing:
        return QStringLiteral("ring");
    case TDrcRule::HoleToHole:
        return QStringLiteral("hole-gap");
    case TDrcRule::CopperToEdge:
        return QStringLiteral("edge");
    }
    return {};
}

bool TDesignRules::Valid() const
{
    for (const double v : { clearance, width, ring, holeGap, edge })
        if (!std::isfinite(v) || v < 0 || v >= 1000)
            return false;
    return true;
}

TDrcResult CheckDesignRules(const TVeskObject& root, const TVeskLayerList& layers, const TDesignRules& rules,
    const TDrcProgress& progress)
{
    TDrcResult result;
    std::vector<const TVeskLayer*> copper;
    for (const QString& name : rules.copperLayers)
        if (const TVeskLayer* layer = layers.FindLayer(name))
            if (std::find(copper.begin(), copper.end(), layer) == copper.end())
                copper.push_back(layer);

    Work work;
    const int total = 1 + kStepsPerLayer * int(copper.size());
    const std::vector<Hole> holes = holesOf(root, layers);
    const Edge edge = edgeOf(root, layers);
    checkHoleGaps(holes, rules.holeGap, result.findings);
    ++work.done;

    // One layer per task: the layers share nothing but what they read.
    std::vector<std::future<std::vector<TDrcFinding>>> tasks;
    for (const TVeskLayer* layer : copper)
        tasks.push_back(std::async(std::launch::async,
            [&, layer] { return checkLayer(root, layer->index, layer->Name(), holes, edge, rules, work); }));
    for (auto& task : tasks) {
        while (task.wait_for(std::chrono::milliseconds(25)) != std::future_status::ready)
            if (progress && !work.cancelled && !progress(work.done, total))
                work.cancelled = true;
        std::vector<TDrcFinding> found = task.get();
        result.findings.insert(result.findings.end(), found.begin(), found.end());
    }
    if (progress && !work.cancelled && !progress(total, total))
        work.cancelled = true;
    result.cancelled = work.cancelled;
    if (result.cancelled)
        result.findings.clear();
    std::stable_sort(
        result.findings.begin(), result.findings.end(), [](const TDrcFinding& a, const TDrcFinding& b) {
            if (a.rule != b.rule)
                return a.rule < b.rule;
            if (a.layer != b.layer)
                return a.layer < b.layer;
            const PointF p = a.At(), q = b.At();
            return p.Y != q.Y ? p.Y < q.Y : p.X < q.X;
        });
    return result;
}

} // namespace vesk
