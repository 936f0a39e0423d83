#include "Veskgroup.h"

#include "Veskpart.h"

namespace vesk {

TVeskGroup::TVeskGroup()
{
    name_ = QStringLiteral("Group");
}

TVeskGroup::TVeskGroup(const TVeskGroup& other)
    : TVeskContainer(other)
{
}

TVeskGroup::TVeskGroup(TVesk_istream& in)
    : TVeskGroup()
{
    Load(in);
}

TVeskGroup::~TVeskGroup() = default;

std::unique_ptr<TVeskContainer> TVeskGroup::CloneEmpty() const
{
    auto copy = std::make_unique<TVeskGroup>();
    copy->Assign(*this);
    return copy;
}

std::unique_ptr<TVeskObject> TVeskGroup::Clone() const
{
    return std::make_unique<TVeskGroup>(*this);
}

void TVeskGroup::UngroupInto(TVeskPart& part) const
{
    for (const auto& child : children_)
        part.Add(*child);
}

bool TVeskGroup::GetSelectedBounds(RectF& out) const
{
    return TVeskObject::GetSelectedBounds(out);
}

void TVeskGroup::DeselectOnLayer(const TVeskLayer& layer)
{
    TVeskObject::DeselectOnLayer(layer);
}

bool TVeskGroup::HitTestSelected(PointF p) const
{
    bool hit = false;
    forEachEditable([&](const TVeskObject& c) { hit = hit || c.HitTestSelected(p); });
    return hit;
}

template <class Test> bool TVeskGroup::selectWhenAnyMember(Test&& test)
{
    // Stops at the first member that is picked, so that only one is asked to
    // select itself before the whole group is.
    bool hit = false;
    forEachEditable([&](TVeskObject& c) { hit = hit || test(c); });
    if (hit)
        SetSelected(true);
    return hit;
}

bool TVeskGroup::SelectAt(PointF p)
{
    return selectWhenAnyMember([&](TVeskObject& c) { return c.SelectAt(p); });
}

bool TVeskGroup::SelectIn(const RectF& rect)
{
    return selectWhenAnyMember([&](TVeskObject& c) { return c.SelectIn(rect); });
}

bool TVeskGroup::SetSelected(bool value)
{
    for (const auto& child : children_)
        child->SetSelected(value);
    return TVeskObject::SetSelected(value);
}

void TVeskGroup::MultiplyMatrix(const Matrix& m, MatrixOrder order)
{
    for (const auto& child : children_)
        child->MultiplyMatrix(m, order);
}

void TVeskGroup::Translate(float dx, float dy, MatrixOrder order)
{
    for (const auto& child : children_)
        child->Translate(dx, dy, order);
}

void TVeskGroup::RotateAt(float degrees, PointF centre, MatrixOrder order)
{
    for (const auto& child : children_)
        child->RotateAt(degrees, centre, order);
}

void TVeskGroup::CollectLeaves(std::vector<TVeskObject*>& list)
{
    for (const auto& child : children_)
        child->CollectLeaves(list);
}

} // namespace vesk
