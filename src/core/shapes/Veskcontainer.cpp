#include "Veskcontainer.h"

#include "gerber/Gerberlayerorder.h"
#include "io/Veskfilestream.h"

#include <algorithm>
#include <atomic>
#include <unordered_set>

namespace vesk {

namespace {
// The smallest record a child can have: its tag and a common block with an empty name.
constexpr qsizetype kMinimalRecordSize = 4 + (4 + 8 + 24 + 4 + 18);

// Beyond this many placements one pass over the children beats a search each.
constexpr size_t kPlacedOneByOne = 32;

bool keyBefore(const TVeskObject* child, std::int64_t key)
{
    return child->OrderKey() < key;
}

// Smallest rectangle around the bounds that `bounds` gives for the children;
// false, with `out` as it was, when it gives none.
template <class Children, class Bounds> bool unite(const Children& children, RectF& out, Bounds&& bounds)
{
    bool any = false;
    RectF all;
    for (const auto& child : children) {
        RectF r;
        if (bounds(*child, r)) {
            all = any ? RectF::Union(all, r) : r;
            any = true;
        }
    }
    if (any)
        out = all;
    return any;
}
} // namespace

TVeskContainer::~TVeskContainer() = default;

TVeskContainer::TVeskContainer(const TVeskContainer& other)
    : TVeskObject(other)
{
    Assign(other);
    children_.reserve(other.children_.size());
    for (const auto& child : other.children_) {
        std::unique_ptr<TVeskObject> copy = child->Clone();
        copy->SetOwner(this);
        copy->orderKey_ = nextKey_++;
        children_.push_back(std::move(copy));
    }
    RebuildDrawOrder();
}

bool TVeskContainer::SameState(const TVeskObject& other) const
{
    if (!TVeskObject::SameState(other))
        return false;
    const auto& o = static_cast<const TVeskContainer&>(other);
    if (children_.size() != o.children_.size())
        return false;
    for (size_t i = 0; i < children_.size(); ++i)
        if (!children_[i]->SameState(*o.children_[i]))
            return false;
    return true;
}

bool TVeskContainer::HasEditState() const
{
    if (TVeskObject::HasEditState())
        return true;
    return std::any_of(children_.begin(), children_.end(), [](const auto& c) { return c->HasEditState(); });
}

std::vector<std::unique_ptr<TVeskObject>> TVeskContainer::TakeChildren()
{
    ChildrenTaken();
    others_.clear();
    cutOuts_.clear();
    std::vector<std::unique_ptr<TVeskObject>> taken;
    taken.swap(children_);
    return taken;
}

TVeskObject* TVeskContainer::Add(const TVeskObject& prototype)
{
    return Adopt(prototype.Clone());
}

TVeskObject* TVeskContainer::Adopt(std::unique_ptr<TVeskObject> object)
{
    if (!object)
        return nullptr;
    TVeskObject* added = object.get();
    takeIn(*added, nextKey_);
    children_.push_back(std::move(object));
    insertIntoDrawOrder(added);
    added->NoteChanged();
    return added;
}

void TVeskContainer::takeIn(TVeskObject& object, std::int64_t key)
{
    object.SetOwner(this);
    object.SetViewScale(viewScale_);
    object.orderKey_ = key;
    nextKey_ = std::max(nextKey_, key + 1);
}

void TVeskContainer::insertIntoDrawOrder(TVeskObject* child)
{
    child->inCutOuts_ = child->IsCutOut();
    (child->inCutOuts_ ? cutOuts_ : others_).push_back(child);
}

void TVeskContainer::insertIntoDrawOrderByKey(TVeskObject* child)
{
    child->inCutOuts_ = child->IsCutOut();
    std::vector<TVeskObject*>& list = child->inCutOuts_ ? cutOuts_ : others_;
    list.insert(std::lower_bound(list.begin(), list.end(), child->orderKey_, keyBefore), child);
}

void TVeskContainer::eraseFromDrawOrder(TVeskObject* child)
{
    std::vector<TVeskObject*>& list = child->inCutOuts_ ? cutOuts_ : others_;
    const auto it = std::lower_bound(list.begin(), list.end(), child->orderKey_, keyBefore);
    if (it != list.end() && *it == child)
        list.erase(it);
    else
        std::erase(list, child); // placed by a flag that changed unannounced
}

TVeskObject* TVeskContainer::ChildByKey(std::int64_t key) const
{
    const auto it = std::lower_bound(children_.begin(), children_.end(), key,
        [](const std::unique_ptr<TVeskObject>& c, std::int64_t k) { return c->orderKey_ < k; });
    return it != children_.end() && (*it)->orderKey_ == key ? it->get() : nullptr;
}

void TVeskContainer::placeOne(Placement& placement)
{
    const auto it = std::lower_bound(children_.begin(), children_.end(), placement.key,
        [](const std::unique_ptr<TVeskObject>& c, std::int64_t k) { return c->orderKey_ < k; });
    const bool held = it != children_.end() && (*it)->orderKey_ == placement.key;
    TVeskObject* added = placement.object.get();
    std::unique_ptr<TVeskObject> leaving;
    if (held) {
        ChildLeaving(**it);
        leaving = std::move(*it);
    }
    if (added)
        takeIn(*added, placement.key);
    if (held && added && added->IsCutOut() == leaving->inCutOuts_) {
        // The usual case, a changed object: it takes the other's places.
        std::vector<TVeskObject*>& list = leaving->inCutOuts_ ? cutOuts_ : others_;
        const auto at = std::lower_bound(list.begin(), list.end(), placement.key, keyBefore);
        if (at != list.end() && *at == leaving.get()) {
            added->inCutOuts_ = leaving->inCutOuts_;
            *at = added;
        } else {
            eraseFromDrawOrder(leaving.get());
            insertIntoDrawOrderByKey(added);
        }
        *it = std::move(placement.object);
    } else {
        if (held)
            eraseFromDrawOrder(leaving.get());
        if (added) {
            if (held)
                *it = std::move(placement.object);
            else
                children_.insert(it, std::move(placement.object));
            insertIntoDrawOrderByKey(added);
        } else if (held) {
            children_.erase(it);
        }
    }
    if (added)
        added->NoteChanged();
}

void TVeskContainer::Place(std::vector<Placement> placements)
{
    if (placements.empty())
        return;
    std::sort(placements.begin(), placements.end(),
        [](const Placement& a, const Placement& b) { return a.key < b.key; });
    if (placements.size() <= kPlacedOneByOne) {
        for (Placement& p : placements)
            placeOne(p);
        NoteChanged();
        return;
    }
    std::vector<std::unique_ptr<TVeskObject>> merged;
    std::vector<std::unique_ptr<TVeskObject>> leaving;
    std::vector<TVeskObject*> added;
    merged.reserve(children_.size() + placements.size());
    auto child = children_.begin();
    for (Placement& p : placements) {
        while (child != children_.end() && (*child)->orderKey_ < p.key)
            merged.push_back(std::move(*child++));
        if (child != children_.end() && (*child)->orderKey_ == p.key) {
            ChildLeaving(**child);
            leaving.push_back(std::move(*child++));
        }
        if (p.object) {
            takeIn(*p.object, p.key);
            added.push_back(p.object.get());
            merged.push_back(std::move(p.object));
        }
    }
    while (child != children_.end())
        merged.push_back(std::move(*child++));
    children_ = std::move(merged);
    RebuildDrawOrder();
    for (TVeskObject* object : added)
        object->NoteChanged();
    NoteChanged();
}

void TVeskContainer::RebuildDrawOrder()
{
    others_.clear();
    cutOuts_.clear();
    for (const auto& child : children_)
        insertIntoDrawOrder(child.get());
}

std::vector<TVeskObject*> TVeskContainer::DrawOrder() const
{
    std::vector<TVeskObject*> order;
    order.reserve(children_.size());
    forEachInDrawOrder([&](TVeskObject& c) { order.push_back(&c); });
    return order;
}

TVeskObject* TVeskContainer::ChildAt(int i) const
{
    return i >= 0 && i < ChildCount() ? children_[size_t(i)].get() : nullptr;
}

void TVeskContainer::Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const
{
    if (!visible_)
        return;
    forEachInDrawOrder([&](const TVeskObject& c) { c.Draw(g, layerIndex, style); });
}

template <class F> bool TVeskContainer::anyInDrawOrderPrefetching(F&& f) const
{
    constexpr size_t ahead = 16;
    const size_t others = others_.size();
    for (size_t i = 0; i < others; ++i) {
        if (i + ahead < others)
            __builtin_prefetch(others_[others - 1 - i - ahead]);
        if (f(*others_[others - 1 - i]))
            return true;
    }
    for (size_t i = 0; i < cutOuts_.size(); ++i) {
        if (i + ahead < cutOuts_.size())
            __builtin_prefetch(cutOuts_[i + ahead]);
        if (f(*cutOuts_[i]))
            return true;
    }
    return false;
}

void TVeskContainer::DrawSelection(QPainter& g, const TDrawStyle& style) const
{
    if (!visible_)
        return;
    anyInDrawOrderPrefetching([&](const TVeskObject& c) {
        c.DrawSelection(g, style);
        return false;
    });
}

bool TVeskContainer::HasSelectionMarks() const
{
    return visible_ && anyInDrawOrderPrefetching([](const TVeskObject& c) { return c.HasSelectionMarks(); });
}

void TVeskContainer::DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const
{
    if (!visible_)
        return;
    forEachInDrawOrder([&](const TVeskObject& c) { c.DrawForPrint(g, layerIndex, style); });
}

void TVeskContainer::Rebuild()
{
    others_.clear();
    cutOuts_.clear();
    for (const auto& child : children_) {
        child->Rebuild();
        insertIntoDrawOrder(child.get());
    }
}

void TVeskContainer::RemoveChild(TVeskObject* child)
{
    // Searched from the back: objects removed one at a time are mostly the newest
    // (a shape dragged out to nothing, the path being built on undo).
    const auto it = std::find_if(
        children_.rbegin(), children_.rend(), [child](const auto& c) { return c.get() == child; });
    if (it == children_.rend())
        return;
    ChildLeaving(*child);
    const std::unique_ptr<TVeskObject> removed = std::move(*it);
    children_.erase(std::next(it).base());
    // The other children may have changed their cut-out flag since they were placed.
    RebuildDrawOrder();
    NoteChanged();
}

void TVeskContainer::RemoveChildren(std::span<TVeskObject* const> doomed)
{
    const std::unordered_set<const TVeskObject*> set(doomed.begin(), doomed.end());
    std::vector<std::unique_ptr<TVeskObject>> removed;
    std::vector<std::unique_ptr<TVeskObject>> kept;
    kept.reserve(children_.size());
    for (auto& child : children_) {
        if (set.contains(child.get())) {
            ChildLeaving(*child);
            removed.push_back(std::move(child));
        } else {
            kept.push_back(std::move(child));
        }
    }
    children_ = std::move(kept);
    RebuildDrawOrder();
    NoteChanged();
}

void TVeskContainer::AddOutline(GraphicsPath& into, int layerIndex) const
{
    if (!visible_)
        return;
    forEachInDrawOrder([&](const TVeskObject& c) { c.AddOutline(into, layerIndex); });
}

void TVeskContainer::GetBounds(RectF& out) const
{
    if (visible_)
        unite(children_, out, [](const TVeskObject& c, RectF& r) { return c.DrawnBounds(r); });
}

bool TVeskContainer::GetSelectedBounds(RectF& out) const
{
    return visible_
        && unite(children_, out, [](const TVeskObject& c, RectF& r) { return c.GetSelectedBounds(r); });
}

int TVeskContainer::Load(TVesk_istream& in)
{
    if (in.Failed())
        return -1;
    // The count is only checked for sign: a file cut short still yields every
    // child that was complete, so reading goes on until the stream fails.
    const std::int32_t count = in.ReadCount(0);
    const qsizetype room = in.BytesLeft() / kMinimalRecordSize;
    children_.reserve(children_.size() + size_t(std::min<qsizetype>(count, room)));
    for (std::int32_t i = 0; i < count; ++i) {
        // The object read is taken in as it is: it is already a fresh object of
        // its own, so a clone of it would be indistinguishable.
        std::unique_ptr<TVeskObject> object = in.ReadObject();
        if (!object && in.SkippedLast())
            continue;
        if (!object)
            break; // the end, or an unknown or cut-short record: nothing after it is readable
        Adopt(std::move(object));
        if (in.Failed())
            break; // a container cut short, kept for the children it completed
    }
    const int result = TVeskObject::Load(in);
    RebuildDrawOrder();
    return result;
}

int TVeskContainer::Save(TVesk_ostream& out) const
{
    if (out.Failed())
        return -1;
    out.WriteRaw(Tag(), 4);
    out.WriteInt32(std::int32_t(children_.size()));
    for (const auto& child : children_)
        child->Save(out);
    return TVeskObject::Save(out);
}

// In child order, or in drawing order where a cut-out on the layer must clear
// what is painted before it.
int TVeskContainer::WriteGerber(TGerber_ostream& out, int layerIndex) const
{
    return WriteChildrenGerber(*this, out, layerIndex);
}

bool TVeskContainer::HitTest(PointF p) const
{
    bool hit = false;
    forEachEditable([&](const TVeskObject& c) { hit |= c.HitTest(p); });
    return hit;
}

bool TVeskContainer::IntersectsRect(const RectF& rect) const
{
    bool hit = false;
    forEachEditable([&](const TVeskObject& c) { hit |= c.IntersectsRect(rect); });
    return hit;
}

bool TVeskContainer::IntersectsPath(const GraphicsPath& path, const RectF& bounds) const
{
    bool hit = false;
    forEachEditable([&](const TVeskObject& c) { hit |= c.IntersectsPath(path, bounds); });
    return hit;
}

bool TVeskContainer::HandleInRect(const RectF& rect) const
{
    bool hit = false;
    forEachEditable([&](const TVeskObject& c) { hit |= c.HandleInRect(rect); });
    return hit;
}

bool TVeskContainer::SelectHandlesIn(const RectF& rect)
{
    bool hit = false;
    forEachEditable([&](TVeskObject& c) { hit |= c.SelectHandlesIn(rect); });
    return hit;
}

void TVeskContainer::SetHandlesSelected(bool value)
{
    for (const auto& child : children_) {
        // A child with nothing to clear is left alone: reporting it changed
        // would repaint a whole board after a deselection.
        if (!value && !child->HasEditState())
            continue;
        child->SetHandlesSelected(value && visible_ && editable(*child));
    }
}

void TVeskContainer::MoveSelection(float dx, float dy, MatrixOrder order)
{
    forEachEditable([&](TVeskObject& c) { c.MoveSelection(dx, dy, order); });
}

void TVeskContainer::RotateSelectionAt(float degrees, PointF centre, MatrixOrder order)
{
    forEachEditable([&](TVeskObject& c) { c.RotateSelectionAt(degrees, centre, order); });
}

void TVeskContainer::MoveControlPoints(float dx, float dy, MatrixOrder order)
{
    forEachEditable([&](TVeskObject& c) { c.MoveControlPoints(dx, dy, order); });
}

void TVeskContainer::RotateControlPointsAt(float degrees, PointF centre, MatrixOrder order)
{
    forEachEditable([&](TVeskObject& c) { c.RotateControlPointsAt(degrees, centre, order); });
}

void TVeskContainer::CollectByLayer(std::vector<TVeskObject*>& list, int layerIndex)
{
    for (const auto& child : children_)
        child->CollectByLayer(list, layerIndex);
}

bool TVeskContainer::UsesLayer(const TVeskLayer& layer) const
{
    return std::any_of(
        children_.begin(), children_.end(), [&](const auto& child) { return child->UsesLayer(layer); });
}

void TVeskContainer::DeselectOnLayer(const TVeskLayer& layer)
{
    for (const auto& child : children_)
        child->DeselectOnLayer(layer);
}

void TVeskContainer::SetViewScale(double scale)
{
    viewScale_ = scale;
    for (const auto& child : children_)
        child->SetViewScale(scale);
}

} // namespace vesk
