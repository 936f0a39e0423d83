#include "Veskpart.h"

#include "Mergedoutline.h"
#include "Veskgroup.h"
#include "Veskspatialindex.h"

#include <cmath>
#include <limits>

namespace vesk {

namespace {
// Below this many children, asking each costs less than keeping an index.
constexpr int kIndexedChildren = 32;

RectF around(PointF p, float radius)
{
    return { p.X - radius, p.Y - radius, 2 * radius, 2 * radius };
}
} // namespace

TVeskPart::TVeskPart()
{
    name_ = QStringLiteral("Part");
}

TVeskPart::TVeskPart(const TVeskPart& other)
    : TVeskContainer(other)
{
}

TVeskPart::TVeskPart(TVesk_istream& in)
    : TVeskPart()
{
    Load(in);
}

TVeskPart::~TVeskPart() = default;

TVeskSpatialIndex& TVeskPart::Index() const
{
    if (!index_)
        index_ = std::make_unique<TVeskSpatialIndex>(*this);
    index_->Sync();
    return *index_;
}

void TVeskPart::ChildChanged(TVeskObject& child)
{
    if (index_)
        index_->Changed(child);
    if (watcher_)
        watcher_->ChildTouched(child);
}

void TVeskPart::ChildLeaving(TVeskObject& child)
{
    if (watcher_)
        watcher_->ChildLeaving(child);
    if (index_)
        index_->Removed(child);
}

void TVeskPart::ChildrenTaken()
{
    if (watcher_)
        for (const auto& child : children_)
            watcher_->ChildLeaving(*child);
    index_.reset();
}

void TVeskPart::LayersRenumbered()
{
    if (index_)
        index_->LayersRenumbered();
    for (const auto& child : children_)
        if (auto* part = dynamic_cast<TVeskPart*>(child.get()))
            part->LayersRenumbered();
}

template <class F> void TVeskPart::forEditableHolding(F&& f)
{
    if (!visible_)
        return;
    if (!index_ && ChildCount() < kIndexedChildren) {
        forEachEditable(f);
        return;
    }
    std::vector<TVeskObject*> holding;
    Index().Editing(holding);
    for (TVeskObject* child : holding)
        if (editable(*child))
            f(*child);
}

const std::vector<TVeskObject*>& TVeskPart::near(const RectF& rect, bool withEditing) const
{
    if (!index_ && ChildCount() < kIndexedChildren) {
        near_.clear();
        for (const auto& child : children_)
            near_.push_back(child.get());
    } else {
        Index().Query(rect, withEditing, near_);
    }
    return near_;
}

template <class F> void TVeskPart::forEditableNear(const RectF& rect, bool withEditing, F&& f) const
{
    if (!visible_)
        return;
    // A copy: the callbacks may pick inside a nested part, or report changes.
    const std::vector<TVeskObject*> found = near(rect, withEditing);
    for (TVeskObject* child : found)
        if (editable(*child))
            f(*child);
}

std::unique_ptr<TVeskContainer> TVeskPart::CloneEmpty() const
{
    auto copy = std::make_unique<TVeskPart>();
    copy->Assign(*this);
    return copy;
}

std::unique_ptr<TVeskObject> TVeskPart::Clone() const
{
    return ClonePart();
}

std::unique_ptr<TVeskPart> TVeskPart::ClonePart() const
{
    return std::make_unique<TVeskPart>(*this);
}

int TVeskPart::HitHandles(PointF p, int radiusPixels) const
{
    // Handles lie on the outlines or, for picked anchors, at their control
    // points; the pick box reaches the radius in pixels at the view scale.
    const double scale = viewScale_ > 1e-6 && std::isfinite(viewScale_) ? viewScale_ : 1e-6;
    const double reach = 1.5 * std::max(radiusPixels, 1) / scale;
    const float r = float(std::min(reach, 1e30));
    int code = HitNothing;
    forEditableNear(
        around(p, r), true, [&](const TVeskObject& c) { code |= c.HitHandle(p, float(radiusPixels)); });
    return code;
}

std::unique_ptr<TVeskGroup> TVeskPart::ToGroup() const
{
    auto group = std::make_unique<TVeskGroup>();
    for (const auto& child : children_)
        group->Add(*child);
    return group;
}

void TVeskPart::AddMergedOutline(GraphicsPath& into, int layerIndex) const
{
    if (!visible_)
        return;
    std::vector<TVeskObject*> found;
    // Collecting only reads; it is declared for callers that go on to edit.
    const_cast<TVeskPart*>(this)->CollectByLayer(found, layerIndex);
    const std::vector<const TVeskObject*> objects(found.begin(), found.end());
    MergeOutlines(objects, layerIndex, into);
}

bool TVeskPart::HitTestSelected(PointF p) const
{
    bool hit = false;
    forEditableNear(around(p, 0), false, [&](TVeskObject& c) { hit |= c.HitTestSelected(p); });
    return hit;
}

bool TVeskPart::HitTest(PointF p) const
{
    bool hit = false;
    forEditableNear(around(p, 0), false, [&](const TVeskObject& c) { hit |= c.HitTest(p); });
    return hit;
}

// Selecting also ends the point editing of every child, so the children
// holding editing state are asked wherever the click lands.
bool TVeskPart::SelectAt(PointF p)
{
    bool hit = false;
    forEditableNear(around(p, 0), true, [&](TVeskObject& c) { hit |= c.SelectAt(p); });
    return hit;
}

bool TVeskPart::SelectIn(const RectF& rect)
{
    bool hit = false;
    forEditableNear(rect, true, [&](TVeskObject& c) { hit |= c.SelectIn(rect); });
    return hit;
}

bool TVeskPart::SetSelected(bool value)
{
    for (const auto& child : children_) {
        // See SetHandlesSelected: only what holds a selection is cleared.
        if (!value && !child->HasEditState())
            continue;
        child->SetSelected(value && visible_ && editable(*child));
    }
    return value;
}

void TVeskPart::MultiplyMatrix(const Matrix& m, MatrixOrder order)
{
    forEditableHolding([&](TVeskObject& c) { c.MultiplyMatrix(m, order); });
}

void TVeskPart::Translate(float dx, float dy, MatrixOrder order)
{
    forEditableHolding([&](TVeskObject& c) { c.Translate(dx, dy, order); });
}

void TVeskPart::RotateAt(float degrees, PointF centre, MatrixOrder order)
{
    forEditableHolding([&](TVeskObject& c) { c.RotateAt(degrees, centre, order); });
}

void TVeskPart::CollectAll(std::vector<TVeskObject*>& list)
{
    for (const auto& child : children_)
        child->CollectAll(list);
}

void TVeskPart::CollectLeaves(std::vector<TVeskObject*>& list)
{
    for (const auto& child : children_)
        child->CollectByLayer(list, -1);
}

void TVeskPart::CollectSelected(std::vector<TVeskObject*>& list, int layerIndex)
{
    if (layerIndex != -1 || (!index_ && ChildCount() < kIndexedChildren)) {
        for (const auto& child : children_)
            child->CollectSelected(list, layerIndex);
        return;
    }
    // Only what may hold a selection can hold a selected object.
    std::vector<TVeskObject*> holding;
    Index().Editing(holding);
    for (TVeskObject* child : holding)
        child->CollectSelected(list, layerIndex);
}

} // namespace vesk
