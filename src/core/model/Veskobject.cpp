#include "Veskobject.h"

#include "Vesklayer.h"
#include "io/Veskfilestream.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

namespace vesk {

namespace {
constexpr int kNoLayer = -2; // never asked for: -1 means "the selection"
}

TVeskObject::~TVeskObject() = default;

void TVeskObject::NoteChanged()
{
    TVeskObject* child = this;
    for (TVeskObject* o = owner_; o; child = o, o = o->owner_)
        o->ChildChanged(*child);
}

void TVeskObject::SetVisible(bool value)
{
    visible_ = value;
    NoteChanged();
}

void TVeskObject::SetInProgress(bool value)
{
    if (inProgress_ == value)
        return;
    inProgress_ = value;
    NoteChanged();
}

void TVeskObject::Assign(const TVeskObject& source)
{
    NoteChanged();
    surface_.Assign(source.surface_);
    visible_ = source.visible_;
    locked_ = source.locked_;
    name_ = source.name_;
    viewScale_ = source.viewScale_;
    source.GetMatrix(matrix_);
}

bool TVeskObject::SameState(const TVeskObject& o) const
{
    return typeid(*this) == typeid(o) && visible_ == o.visible_ && locked_ == o.locked_ && name_ == o.name_
        && surface_ == o.surface_ && matrix_ == o.matrix_;
}

void TVeskObject::Delete()
{
    if (owner_)
        owner_->RemoveChild(this);
}

void TVeskObject::RemoveChild(TVeskObject*)
{
}

void TVeskObject::AddOutline(GraphicsPath&, int) const
{
}

void TVeskObject::AddMergedOutline(GraphicsPath& into, int layerIndex) const
{
    AddOutline(into, layerIndex);
}

void TVeskObject::GetBounds(RectF&) const
{
}

bool TVeskObject::DrawnBounds(RectF& out) const
{
    if (!IsVisible())
        return false;
    constexpr float kUnset = -3.0e38f;
    constexpr RectF unset { kUnset, kUnset, kUnset, kUnset };
    RectF r = unset;
    GetBounds(r);
    if (r == unset || (r.Width == 0 && r.Height == 0))
        return false;
    out = r;
    return true;
}

bool TVeskObject::GetSelectedBounds(RectF& out) const
{
    return selected_ && DrawnBounds(out);
}

RectF WidenedByPen(const RectF& r, const Matrix& placement, float width)
{
    const double scale = std::max(std::hypot(double(placement.M11()), double(placement.M12())),
        std::hypot(double(placement.M21()), double(placement.M22())));
    const double half = std::abs(double(width)) * scale / 2;
    if (!std::isfinite(half))
        return r;
    const auto h = float(half);
    return { r.X - h, r.Y - h, r.Width + 2 * h, r.Height + 2 * h };
}

int TVeskObject::Load(TVesk_istream& in)
{
    if (in.Failed())
        return -1;
    in.ReadBool(); // selected: a loaded object is never selected
    const bool visible = in.ReadBool();
    const bool locked = in.ReadBool();
    in.ReadBool(); // point editing: likewise
    const double viewScale = in.ReadDouble();
    const Matrix matrix = in.ReadMatrix();
    QString name = in.ReadString();
    TVeskSurface surface = surface_;
    surface.Load(in);
    // A block cut short changes nothing: a container cut short in it is kept
    // for its children and must not take on zeros.
    if (in.Failed())
        return -1;
    visible_ = visible;
    locked_ = locked;
    viewScale_ = viewScale;
    matrix_ = matrix;
    name_ = std::move(name);
    surface_ = surface;
    selected_ = false;
    pointEditing_ = false;
    NoteChanged();
    return 0;
}

int TVeskObject::Save(TVesk_ostream& out) const
{
    if (out.Failed())
        return -1;
    out.WriteBool(selected_);
    out.WriteBool(visible_);
    out.WriteBool(locked_);
    out.WriteBool(pointEditing_);
    out.WriteDouble(viewScale_);
    out.WriteMatrix(matrix_);
    out.WriteString(name_);
    surface_.Save(out);
    return 0;
}

int TVeskObject::WriteGerber(TGerber_ostream&, int) const
{
    return -1;
}

bool TVeskObject::SetSelected(bool value)
{
    // The part's index keeps what holds a selection; it must hear of it.
    if (selected_ != value || pointEditing_)
        NoteChanged();
    pointEditing_ = false;
    selected_ = value;
    return value;
}

int TVeskObject::HitHandle(PointF p, float) const
{
    return HitTest(p) ? HitBody : HitNothing;
}

bool TVeskObject::HandleInRect(const RectF& rect) const
{
    return IntersectsRect(rect);
}

int TVeskObject::HitSelectedHandle(PointF p, float) const
{
    return HitTestSelected(p) ? HitBody : HitNothing;
}

int TVeskObject::SelectHandleAt(PointF p, float)
{
    return SelectAt(p) ? HitBody : HitNothing;
}

bool TVeskObject::SelectHandlesIn(const RectF& rect)
{
    return SelectIn(rect);
}

void TVeskObject::SetHandlesSelected(bool value)
{
    SetSelected(value);
}

void TVeskObject::DragControlHandle(PointF, PointF)
{
}
void TVeskObject::ResetHandleAt(PointF)
{
}
void TVeskObject::InsertPointAt(PointF)
{
}
void TVeskObject::RemovePointAt(PointF, float)
{
}

void TVeskObject::SetMatrix(const Matrix& m)
{
    matrix_ = m;
    NoteChanged();
}

void TVeskObject::GetMatrix(Matrix& out) const
{
    out = matrix_;
}

void TVeskObject::MultiplyMatrix(const Matrix& m, MatrixOrder order)
{
    matrix_.Multiply(m, order);
    NoteChanged();
}

void TVeskObject::Translate(float dx, float dy, MatrixOrder order)
{
    matrix_.Translate(dx, dy, order);
    NoteChanged();
}

void TVeskObject::RotateAt(float degrees, PointF centre, MatrixOrder order)
{
    matrix_.RotateAt(degrees, centre, order);
    NoteChanged();
}

void TVeskObject::MoveSelection(float dx, float dy, MatrixOrder order)
{
    Translate(dx, dy, order);
}

void TVeskObject::RotateSelectionAt(float degrees, PointF centre, MatrixOrder order)
{
    RotateAt(degrees, centre, order);
}

void TVeskObject::MoveControlPoints(float, float, MatrixOrder)
{
}
void TVeskObject::RotateControlPointsAt(float, PointF, MatrixOrder)
{
}

void TVeskObject::CollectAll(std::vector<TVeskObject*>& list)
{
    list.push_back(this);
}

void TVeskObject::CollectLeaves(std::vector<TVeskObject*>& list)
{
    list.push_back(this);
}

void TVeskObject::CollectSelected(std::vector<TVeskObject*>& list, int layerIndex)
{
    if (selected_ && layerIndex == -1)
        list.push_back(this);
}

void TVeskObject::CollectByLayer(std::vector<TVeskObject*>& list, int layerIndex)
{
    TVeskObject::CollectSelected(list, layerIndex);
}

bool TVeskObject::UsesLayer(const TVeskLayer&) const
{
    return false;
}

void TVeskObject::DeselectOnLayer(const TVeskLayer& layer)
{
    if (UsesLayer(layer))
        SetSelected(false);
}

void TVeskObject::SetSurface(const TVeskSurface& surface)
{
    surface_.Assign(surface);
    NoteChanged();
}

// ---------------------------------------------------------------- instance

int TVeskInstance::layerIndex() const
{
    return layer_ ? layer_->index : kNoLayer;
}

bool TVeskInstance::IsLocked() const
{
    return locked_ || (layer_ && (layer_->locked || !layer_->visible));
}

bool TVeskInstance::HasSelectionMarks() const
{
    return TVeskObject::HasSelectionMarks() && (!layer_ || layer_->visible);
}

bool TVeskInstance::SameState(const TVeskObject& other) const
{
    return TVeskObject::SameState(other) && layer_ == static_cast<const TVeskInstance&>(other).layer_;
}

bool TVeskInstance::UsesLayer(const TVeskLayer& layer) const
{
    return layer_ == &layer;
}

bool TVeskInstance::HitTestSelected(PointF p) const
{
    return selected_ && HitTest(p);
}

void TVeskInstance::endHandleEditing()
{
    // Clearing handles must not touch the object's own selection.
    const bool wasSelected = selected_;
    pointEditing_ = false;
    SetHandlesSelected(false);
    selected_ = wasSelected;
}

bool TVeskInstance::SelectAt(PointF p)
{
    endHandleEditing();
    if (locked_ || !visible_ || !HitTest(p))
        return false;
    selected_ = true;
    NoteChanged();
    return true;
}

bool TVeskInstance::SelectIn(const RectF& rect)
{
    endHandleEditing();
    if (locked_ || !visible_ || !IntersectsRect(rect))
        return false;
    selected_ = true;
    NoteChanged();
    return true;
}

void TVeskInstance::CollectSelected(std::vector<TVeskObject*>& list, int layerIndex)
{
    // An object without a layer lies on no layer, whatever index is asked for.
    if ((layerIndex == -1 && selected_) || (layerIndex != -1 && layer_ && layer_->index == layerIndex))
        list.push_back(this);
}

void TVeskInstance::CollectByLayer(std::vector<TVeskObject*>& list, int layerIndex)
{
    TVeskInstance::CollectSelected(list, layerIndex);
}

} // namespace vesk
