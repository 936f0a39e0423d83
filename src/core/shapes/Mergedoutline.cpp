#include "Mergedoutline.h"

#include "geometry/GraphicsPath.h"
#include "geometry/PolygonClipping.h"
#include "model/Veskobject.h"

#include <algorithm>
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/iterator/function_output_iterator.hpp>
#include <cmath>
#include <cstdint>
#include <limits>
#include <list>
#include <numeric>
#include <vector>

namespace vesk {

namespace {

constexpr float kOutlineFlatness = 0.25f;
// Areas are already flat polygons; this only bounds what a curve would cost.
constexpr float kPolygonFlatness = 0.25f;
// Bounds are widened by this many clipping-grid steps before they are
// compared, so that areas a rounding step apart still meet in one union, as
// they would in a union of everything.
constexpr ClipperLib::cInt kTouchSlack = 64;

struct Area {
    ClipperLib::Paths polygons;
    ClipperLib::IntRect box {};
};

ClipperLib::IntRect boxOf(const ClipperLib::Paths& polygons)
{
    ClipperLib::IntRect r { std::numeric_limits<ClipperLib::cInt>::max(),
        std::numeric_limits<ClipperLib::cInt>::max(), std::numeric_limits<ClipperLib::cInt>::min(),
        std::numeric_limits<ClipperLib::cInt>::min() };
    for (const ClipperLib::Path& poly : polygons) {
        for (const ClipperLib::IntPoint& p : poly) {
            r.left = std::min(r.left, p.X);
            r.top = std::min(r.top, p.Y);
            r.right = std::max(r.right, p.X);
            r.bottom = std::max(r.bottom, p.Y);
        }
    }
    r.left -= kTouchSlack;
    r.top -= kTouchSlack;
    r.right += kTouchSlack;
    r.bottom += kTouchSlack;
    return r;
}

// Closed rectangles: sharing an edge or a corner counts.
bool boxesMeet(const ClipperLib::IntRect& a, const ClipperLib::IntRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

std::vector<Area> areasOf(std::span<const TVeskObject* const> objects, int layerIndex)
{
    std::vector<Area> areas;
    areas.reserve(objects.size());
    GraphicsPath path(FillMode::Winding);
    for (const TVeskObject* object : objects) {
        path.Reset();
        path.SetFillMode(FillMode::Winding);
        object->AddOutline(path, layerIndex);
        Area area;
        area.polygons = detail::toClipperPolygons(path, kPolygonFlatness);
        if (area.polygons.empty())
            continue;
        area.box = boxOf(area.polygons);
        areas.push_back(std::move(area));
    }
    return areas;
}

class DisjointSets {
public:
    explicit DisjointSets(size_t n)
        : parent_(n)
    {
        std::iota(parent_.begin(), parent_.end(), size_t(0));
    }
    size_t Find(size_t i)
    {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    void Unite(size_t a, size_t b)
    {
        a = Find(a);
        b = Find(b);
        if (a != b)
            parent_[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<size_t> parent_;
};

// Groups of areas connected by meeting bounds, each group in the order of
// its members and the groups in the order of their first members. An R-tree
// over the bounds keeps the comparisons to areas whose bounds meet.
std::vector<std::vector<size_t>> touchingGroups(const std::vector<Area>& areas)
{
    namespace bg = boost::geometry;
    namespace bgi = boost::geometry::index;
    using Point = bg::model::point<ClipperLib::cInt, 2, bg::cs::cartesian>;
    using Box = bg::model::box<Point>;
    using Entry = std::pair<Box, size_t>;
    const size_t n = areas.size();
    std::vector<Entry> entries;
    entries.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const ClipperLib::IntRect& r = areas[i].box;
        entries.emplace_back(Box(Point(r.left, r.top), Point(r.right, r.bottom)), i);
    }
    const bgi::rtree<Entry, bgi::quadratic<16>> tree(entries.begin(), entries.end());

    DisjointSets sets(n);
    for (const Entry& e : entries)
        tree.query(bgi::intersects(e.first), boost::make_function_output_iterator([&](const Entry& other) {
            if (other.second > e.second && sets.Find(e.second) != sets.Find(other.second))
                sets.Unite(e.second, other.second);
        }));

    std::vector<std::vector<size_t>> groups;
    std::vector<size_t> groupOfRoot(n, n);
    for (size_t i = 0; i < n; ++i) {
        size_t& g = groupOfRoot[sets.Find(i)];
        if (g == n) {
            g = groups.size();
            groups.emplace_back();
        }
        groups[g].push_back(i);
    }
    return groups;
}

// Interleaved bits of x and y: sorting by it keeps neighbours together.
std::uint64_t mortonKey(std::uint32_t x, std::uint32_t y)
{
    const auto spread = [](std::uint64_t v) {
        v = (v | (v << 16)) & 0x0000FFFF0000FFFFull;
        v = (v | (v << 8)) & 0x00FF00FF00FF00FFull;
        v = (v | (v << 4)) & 0x0F0F0F0F0F0F0F0Full;
        v = (v | (v << 2)) & 0x3333333333333333ull;
        v = (v | (v << 1)) & 0x5555555555555555ull;
        return v;
    };
    return spread(x) | (spread(y) << 1);
}

ClipperLib::Paths uniteAll(const std::vector<const ClipperLib::Paths*>& parts)
{
    ClipperLib::Clipper clipper;
    for (const ClipperLib::Paths* p : parts)
        clipper.AddPaths(*p, ClipperLib::ptSubject, true);
    ClipperLib::Paths result;
    clipper.Execute(ClipperLib::ctUnion, result, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return result;
}

// The union of parts that are unions already. A polygon whose bounds meet no
// polygon of another part is left out of the clipping and added as it is:
// nothing else reaches into its bounds, so there the union is its part
// alone, and whatever lies inside it in its own part is left out with it.
// Most of a dense cluster's figures are small holes between its members, so
// each merge clips little more than the seams between its parts.
ClipperLib::Paths mergeParts(std::vector<ClipperLib::Paths> parts)
{
    struct Item {
        ClipperLib::IntRect box;
        size_t part;
        size_t index;
        bool meets;
    };
    std::vector<Item> items;
    for (size_t p = 0; p < parts.size(); ++p)
        for (size_t i = 0; i < parts[p].size(); ++i)
            items.push_back({ boxOf(ClipperLib::Paths { parts[p][i] }), p, i, false });
    std::sort(
        items.begin(), items.end(), [](const Item& a, const Item& b) { return a.box.left < b.box.left; });
    std::vector<Item*> active;
    for (Item& item : items) {
        std::erase_if(active, [&](const Item* a) { return a->box.right < item.box.left; });
        for (Item* other : active) {
            if (other->part != item.part && boxesMeet(other->box, item.box))
                other->meets = item.meets = true;
        }
        active.push_back(&item);
    }
    ClipperLib::Clipper clipper;
    ClipperLib::Paths result;
    for (const Item& item : items)
        if (item.meets)
            clipper.AddPath(parts[item.part][item.index], ClipperLib::ptSubject, true);
    clipper.Execute(ClipperLib::ctUnion, result, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    for (const Item& item : items)
        if (!item.meets)
            result.push_back(std::move(parts[item.part][item.index]));
    return result;
}

// Areas united at once in small neighbourhoods along a Morton curve, then
// the neighbourhoods merged a few at a time. Clipping time grows with the
// edges a sweep line crosses; a cluster united in one pass crosses all of
// its overlapping members' edges at once.
constexpr size_t kLeafSize = 32;
constexpr size_t kFanIn = 8;

ClipperLib::Paths unite(const std::vector<Area>& areas, const std::vector<size_t>& members)
{
    if (members.size() == 1)
        return areas[members.front()].polygons; // already one object's outline
    ClipperLib::IntRect all = areas[members.front()].box;
    for (const size_t i : members) {
        all.left = std::min(all.left, areas[i].box.left);
        all.top = std::min(all.top, areas[i].box.top);
        all.right = std::max(all.right, areas[i].box.right);
        all.bottom = std::max(all.bottom, areas[i].box.bottom);
    }
    const double scaleX = 65535.0 / std::max(1.0, double(all.right - all.left));
    const double scaleY = 65535.0 / std::max(1.0, double(all.bottom - all.top));
    std::vector<std::pair<std::uint64_t, size_t>> order;
    order.reserve(members.size());
    for (const size_t i : members) {
        const ClipperLib::IntRect& b = areas[i].box;
        const double cx = (double(b.left) + double(b.right)) / 2 - double(all.left);
        const double cy = (double(b.top) + double(b.bottom)) / 2 - double(all.top);
        order.emplace_back(mortonKey(std::uint32_t(cx * scaleX), std::uint32_t(cy * scaleY)), i);
    }
    std::sort(order.begin(), order.end());

    std::vector<ClipperLib::Paths> level;
    for (size_t k = 0; k < order.size(); k += kLeafSize) {
        std::vector<const ClipperLib::Paths*> parts;
        for (size_t m = k; m < std::min(order.size(), k + kLeafSize); ++m)
            parts.push_back(&areas[order[m].second].polygons);
        level.push_back(uniteAll(parts));
    }
    while (level.size() > 1) {
        std::vector<ClipperLib::Paths> next;
        for (size_t k = 0; k < level.size(); k += kFanIn) {
            const auto first = level.begin() + std::ptrdiff_t(k);
            const auto last = level.begin() + std::ptrdiff_t(std::min(level.size(), k + kFanIn));
            next.push_back(mergeParts({ std::make_move_iterator(first), std::make_move_iterator(last) }));
        }
        level = std::move(next);
    }
    return std::move(level.front());
}

} // namespace

void MergeOutlines(std::span<const TVeskObject* const> objects, int layerIndex, GraphicsPath& into)
{
    const std::vector<Area> areas = areasOf(objects, layerIndex);
    if (areas.empty()) {
        // Objects without area still end in an outline of what the caller had.
        if (!objects.empty() && !into.IsEmpty())
            into.WindingModeOutline(kOutlineFlatness);
        return;
    }
    if (!into.IsEmpty()) {
        // What the caller had may overlap anything: one union of all, the
        // caller's figures under their own fill rule.
        ClipperLib::Clipper clipper;
        clipper.AddPaths(detail::toClipperPolygons(into, kOutlineFlatness), ClipperLib::ptSubject, true);
        for (const Area& a : areas)
            clipper.AddPaths(a.polygons, ClipperLib::ptClip, true);
        ClipperLib::Paths result;
        clipper.Execute(
            ClipperLib::ctUnion, result, detail::toClipperFill(into.GetFillMode()), ClipperLib::pftNonZero);
        const FillMode mode = into.GetFillMode();
        into.Reset();
        into.SetFillMode(mode);
        detail::addClosedFigures(result, into);
        return;
    }
    for (const std::vector<size_t>& group : touchingGroups(areas))
        detail::addClosedFigures(unite(areas, group), into);
}

void MergeOutlinesByScan(std::span<const TVeskObject* const> objects, int layerIndex, GraphicsPath& into)
{
    std::list<const TVeskObject*> left(objects.begin(), objects.end());
    // Winding, so that each object's area joins the cluster's as a union: the
    // outline is taken under the path's own fill rule, and an alternate rule
    // would cut the overlap of two objects out.
    GraphicsPath work(FillMode::Winding);
    while (!left.empty()) {
        work.Reset();
        work.SetFillMode(FillMode::Winding);
        left.front()->AddOutline(work, layerIndex);
        left.pop_front();
        RectF bounds = work.GetBounds();
        for (auto it = left.begin(); it != left.end();) {
            if (!(*it)->IntersectsPath(work, bounds)) {
                ++it;
                continue;
            }
            (*it)->AddOutline(work, layerIndex);
            bounds = work.GetBounds();
            left.erase(it);
            it = left.begin();
        }
        into.AddPath(work, false);
        into.WindingModeOutline(kOutlineFlatness);
    }
}

} // namespace vesk
