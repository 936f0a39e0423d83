#include "Veskspatialindex.h"

#include "Veskcontainer.h"
#include "model/Vesklayer.h"

#include <algorithm>
#include <atomic>
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/iterator/function_output_iterator.hpp>
#include <cmath>

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace vesk {

namespace {

using BoxPoint = bg::model::point<float, 2, bg::cs::cartesian>;
using Box = bg::model::box<BoxPoint>;
using Entry = std::pair<Box, TVeskObject*>;

constexpr int kMaskLayers = 64;
// A value GetDrawnBounds never produces, to tell objects that report none.
constexpr float kUnset = -3.0e38f;
// The damage of an object without bounds.
constexpr RectF kEverywhere { -1.0e38f, -1.0e38f, 2.0e38f, 2.0e38f };

std::atomic<std::uint64_t> nextSerial { 1 };

Box toBox(const RectF& r)
{
    return Box(BoxPoint(r.GetLeft(), r.GetTop()), BoxPoint(r.GetRight(), r.GetBottom()));
}

bool finite(const RectF& r)
{
    return std::isfinite(r.X) && std::isfinite(r.Y) && std::isfinite(r.Width) && std::isfinite(r.Height);
}

} // namespace

struct TVeskSpatialIndex::Tree {
    bgi::rtree<Entry, bgi::quadratic<16>> rtree;
};

bool TVeskSpatialIndex::UniteDrawn(const TVeskObject& o, float wireWidth, bool& any, RectF& out)
{
    if (!o.IsVisible())
        return true;
    if (const auto* c = dynamic_cast<const TVeskContainer*>(&o)) {
        for (const auto& child : c->Children())
            if (!UniteDrawn(*child, wireWidth, any, out))
                return false;
        return true;
    }
    RectF r { kUnset, kUnset, kUnset, kUnset };
    o.GetDrawnBounds(r, wireWidth);
    if (r == RectF { kUnset, kUnset, kUnset, kUnset })
        return false;
    if (!(r.Width >= 0 && r.Height >= 0))
        return false; // not numbers: never left out
    out = any ? RectF::Union(out, r) : r;
    any = true;
    return true;
}

std::uint64_t TVeskSpatialIndex::LayerBit(int layerIndex)
{
    return layerIndex < 0 ? 0 : std::uint64_t(1) << std::min(layerIndex, kMaskLayers - 1);
}

std::uint64_t TVeskSpatialIndex::LayersOf(const TVeskObject& o)
{
    if (const auto* c = dynamic_cast<const TVeskContainer*>(&o)) {
        std::uint64_t mask = 0;
        for (const auto& child : c->Children())
            mask |= LayersOf(*child);
        return mask;
    }
    const auto* shape = dynamic_cast<const TVeskInstance*>(&o);
    const TVeskLayer* layer = shape ? shape->GetLayer() : nullptr;
    return layer ? LayerBit(layer->index) : ~std::uint64_t(0);
}

TVeskSpatialIndex::TVeskSpatialIndex(const TVeskContainer& owner)
    : owner_(&owner)
    , tree_(std::make_unique<Tree>())
    , serial_(nextSerial++)
{
    std::vector<Entry> entries;
    entries.reserve(owner.Children().size());
    for (const auto& child : owner.Children())
        if (measure(*child))
            entries.emplace_back(toBox(child->indexSlot_.box), child.get());
    // Packed at once: a better tree in a fraction of the time of inserting.
    tree_->rtree = decltype(tree_->rtree)(entries.begin(), entries.end());
}

// Slots carry the serial of the index that wrote them, so an index never
// needs to visit its children when it goes (they may be gone already).
TVeskSpatialIndex::~TVeskSpatialIndex() = default;

TIndexSlot& TVeskSpatialIndex::slotOf(TVeskObject& child) const
{
    TIndexSlot& slot = child.indexSlot_;
    if (slot.index != serial_) {
        slot = {};
        slot.index = serial_;
    }
    return slot;
}

bool TVeskSpatialIndex::measure(TVeskObject& child)
{
    TIndexSlot& slot = slotOf(child);
    slot.layers = LayersOf(child);
    if (!slot.editing && child.HasEditState()) {
        editing_.push_back(&child);
        slot.editing = int(editing_.size());
    }
    if (child.InProgress())
        return false; // drawn with the overlay until it is finished
    // What it paints at the thinnest wire pen, and where it is picked.
    bool any = false;
    RectF box;
    slot.bounded = UniteDrawn(child, 0.0f, any, box);
    RectF picked;
    if (slot.bounded && child.DrawnBounds(picked)) {
        box = any ? RectF::Union(box, picked) : picked;
        any = true;
    }
    if (slot.bounded && any && !finite(box))
        slot.bounded = false;
    if (!slot.bounded) {
        slot.entered = true;
        unbounded_.push_back(&child);
        return false;
    }
    if (!any)
        return false; // paints nothing and cannot be picked: hidden, or empty
    slot.entered = true;
    slot.box = box;
    bool anyWide = false;
    RectF wide;
    if (UniteDrawn(child, 1.0f, anyWide, wide) && anyWide && finite(wide))
        wireGrowth_ = std::max({ wireGrowth_, box.GetLeft() - wide.GetLeft(), box.GetTop() - wide.GetTop(),
            wide.GetRight() - box.GetRight(), wide.GetBottom() - box.GetBottom() });
    return true;
}

void TVeskSpatialIndex::enter(TVeskObject& child)
{
    if (measure(child))
        tree_->rtree.insert(Entry(toBox(child.indexSlot_.box), &child));
}

void TVeskSpatialIndex::leave(TVeskObject& child)
{
    TIndexSlot& slot = slotOf(child);
    if (!slot.entered)
        return;
    if (slot.bounded)
        tree_->rtree.remove(Entry(toBox(slot.box), &child));
    else
        std::erase(unbounded_, &child);
    slot.entered = false;
}

void TVeskSpatialIndex::damage(TVeskObject& child)
{
    const TIndexSlot& slot = slotOf(child);
    if (!trackDamage_ || !slot.entered)
        return;
    if (slot.bounded)
        damage_.push_back(slot.box);
    else
        damage_.push_back(kEverywhere);
}

void TVeskSpatialIndex::dropFrom(std::vector<TVeskObject*>& list, int& place, int TIndexSlot::*placeOf) const
{
    // The last one takes the place, in constant time.
    const size_t at = size_t(place - 1);
    place = 0;
    if (at + 1 < list.size()) {
        list[at] = list.back();
        slotOf(*list[at]).*placeOf = int(at + 1);
    }
    list.pop_back();
}

void TVeskSpatialIndex::Changed(TVeskObject& child)
{
    TIndexSlot& slot = slotOf(child);
    if (slot.pending)
        return;
    pending_.push_back(&child);
    slot.pending = int(pending_.size());
}

void TVeskSpatialIndex::Removed(TVeskObject& child)
{
    TIndexSlot& slot = slotOf(child);
    if (slot.pending)
        dropFrom(pending_, slot.pending, &TIndexSlot::pending);
    if (slot.editing)
        dropFrom(editing_, slot.editing, &TIndexSlot::editing);
    damage(child);
    leave(child);
    slot = {};
}

void TVeskSpatialIndex::LayersRenumbered()
{
    for (const auto& child : owner_->Children())
        slotOf(*child).layers = LayersOf(*child);
    if (trackDamage_)
        damage_.push_back(kEverywhere);
}

void TVeskSpatialIndex::Sync()
{
    std::vector<TVeskObject*> changed;
    changed.swap(pending_);
    for (TVeskObject* o : changed) {
        TIndexSlot& slot = slotOf(*o);
        slot.pending = 0;
        damage(*o);
        if (slot.entered && slot.bounded) {
            // Most changes (a selection, a surface) leave the box where it
            // was, and the tree as it is.
            const RectF old = slot.box;
            slot.entered = false;
            const bool entered = measure(*o);
            if (!entered || !(slot.box == old)) {
                tree_->rtree.remove(Entry(toBox(old), o));
                if (entered)
                    tree_->rtree.insert(Entry(toBox(slot.box), o));
            }
        } else {
            leave(*o);
            enter(*o);
        }
        damage(*o);
    }
    for (size_t i = 0; i < editing_.size();) {
        TIndexSlot& slot = slotOf(*editing_[i]);
        if (editing_[i]->HasEditState())
            ++i;
        else
            dropFrom(editing_, slot.editing, &TIndexSlot::editing);
    }
}

void TVeskSpatialIndex::Editing(std::vector<TVeskObject*>& out) const
{
    out = editing_;
    std::sort(out.begin(), out.end(),
        [](const TVeskObject* a, const TVeskObject* b) { return a->OrderKey() < b->OrderKey(); });
}

void TVeskSpatialIndex::Query(const RectF& rect, bool withEditing, std::vector<TVeskObject*>& out) const
{
    out.clear();
    tree_->rtree.query(bgi::intersects(toBox(rect)),
        boost::make_function_output_iterator([&](const Entry& e) { out.push_back(e.second); }));
    out.insert(out.end(), unbounded_.begin(), unbounded_.end());
    if (withEditing)
        out.insert(out.end(), editing_.begin(), editing_.end());
    const auto byRank = [](const TVeskObject* a, const TVeskObject* b) { return a->DrawRank() < b->DrawRank(); };
    std::sort(out.begin(), out.end(), byRank);
    if (withEditing)
        out.erase(std::unique(out.begin(), out.end()), out.end());
}

std::uint64_t TVeskSpatialIndex::Layers(const TVeskObject& child) const
{
    const TIndexSlot& slot = child.indexSlot_;
    return slot.index == serial_ ? slot.layers : LayersOf(child);
}

bool TVeskSpatialIndex::Entered(const TVeskObject& child, RectF& box) const
{
    const TIndexSlot& slot = child.indexSlot_;
    if (slot.index != serial_ || !slot.entered || !slot.bounded)
        return false;
    box = slot.box;
    return true;
}

std::vector<RectF> TVeskSpatialIndex::TakeDamage()
{
    std::vector<RectF> taken;
    taken.swap(damage_);
    return taken;
}

} // namespace vesk
