#include "Veskpart.h"

#include "Mergedoutline.h"
#include "Veskgroup.h"

namespace vesk {

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
    int code = HitNothing;
    forEachEditable([&](const TVeskObject& c) { code |= c.HitHandle(p, float(radiusPixels)); });
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
    forEachEditable([&](const TVeskObject& c) { hit |= c.HitTestSelected(p); });
    return hit;
}

bool TVeskPart::SelectAt(PointF p)
{
    bool hit = false;
    forEachEditable([&](TVeskObject& c) { hit |= c.SelectAt(p); });
    return hit;
}

bool TVeskPart::SelectIn(const RectF& rect)
{
    bool hit = false;
    forEachEditable([&](TVeskObject& c) { hit |= c.SelectIn(rect); });
    return hit;
}

bool TVeskPart::SetSelected(bool value)
{
    for (const auto& child : children_)
        child->SetSelected(value && visible_ && editable(*child));
    return value;
}

void TVeskPart::MultiplyMatrix(const Matrix& m, MatrixOrder order)
{
    forEachEditable([&](TVeskObject& c) { c.MultiplyMatrix(m, order); });
}

void TVeskPart::Translate(float dx, float dy, MatrixOrder order)
{
    forEachEditable([&](TVeskObject& c) { c.Translate(dx, dy, order); });
}

void TVeskPart::RotateAt(float degrees, PointF centre, MatrixOrder order)
{
    forEachEditable([&](TVeskObject& c) { c.RotateAt(degrees, centre, order); });
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
    for (const auto& child : children_)
        child->CollectSelected(list, layerIndex);
}

} // namespace vesk
