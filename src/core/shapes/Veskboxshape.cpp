#include "Veskboxshape.h"

#include "geometry/QtConvert.h"
#include "gerber/Flashplacement.h"
#include "gerber/Gerberfilestream.h"
#include "io/Veskfilestream.h"
#include "model/Colorstyle.h"
#include "model/Vesklayer.h"
#include "render/Outlinefill.h"
#include "shapes/Outlineflatness.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

namespace vesk {

namespace {
constexpr ARGB kOutlineColor = 0xFF000000; // colour is irrelevant to widening
constexpr float kWidenFlatness = 0.25f;
constexpr float kHandleSide = 4.0f; // screen pixels

RectF squareAt(PointF centre, float side)
{
    return { centre.X - side / 2, centre.Y - side / 2, side, side };
}

double usableScale(double scale)
{
    return std::isfinite(scale) && scale > 0 ? scale : 1.0;
}

// Twice the signed area of all figures taken as polygons; positive for
// figures that turn clockwise on screen (y down).
double signedArea(const GraphicsPath& path)
{
    const auto points = path.Points();
    const auto types = path.Types();
    double sum = 0;
    size_t first = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const bool last = i + 1 == points.size() || (types[i + 1] & PathPointTypeMask) == PathPointTypeStart;
        const PointF a = points[i], b = points[last ? first : i + 1];
        sum += double(a.X) * b.Y - double(b.X) * a.Y;
        if (last)
            first = i + 1;
    }
    return sum;
}
} // namespace

bool FollowPlacement(GraphicsPath& outline, const Matrix& step, MatrixOrder order, const Matrix& oldMatrix)
{
    if (order == MatrixOrder::Append) {
        outline.Transform(step);
        return true;
    }
    // A prepended step acts in local coordinates; in the document it is the
    // step conjugated by the old placement.
    Matrix world = oldMatrix;
    if (!world.Invert())
        return false;
    world.Multiply(step, MatrixOrder::Append);
    world.Multiply(oldMatrix, MatrixOrder::Append);
    outline.Transform(world);
    return true;
}

TVeskBoxShape::TVeskBoxShape(TVeskLayer* layer, const TVeskSurface& surface, const QString& name)
    : TVeskInstance(layer)
{
    name_ = name;
    surface_.Assign(surface);
}

TVeskBoxShape::TVeskBoxShape(const TVeskBoxShape& other)
    : TVeskInstance(other)
    , box_(other.box_)
    , handles_(other.handles_)
    , outlinePath_(other.outlinePath_)
    , bounds_(other.bounds_)
    , inverseMatrix_(other.inverseMatrix_)
    , invertible_(other.invertible_)
{
    Assign(other);
}

TVeskBoxShape::TVeskBoxShape(TVesk_istream& in, const QString& name)
{
    name_ = name;
    readRecord(in);
    updateInverse();
}

TVeskBoxShape::~TVeskBoxShape() = default;

bool TVeskBoxShape::HasEditState() const
{
    return TVeskInstance::HasEditState()
        || std::find(handleSelected_.begin(), handleSelected_.end(), true) != handleSelected_.end();
}

bool TVeskBoxShape::SameState(const TVeskObject& other) const
{
    if (!TVeskInstance::SameState(other))
        return false;
    const auto& o = static_cast<const TVeskBoxShape&>(other);
    return box_ == o.box_ && handles_ == o.handles_;
}

void TVeskBoxShape::readRecord(TVesk_istream& in)
{
    layer_ = in.ReadLayerRef();
    box_ = in.ReadRect();
    for (PointF& h : handles_)
        h = in.ReadPoint();
    TVeskObject::Load(in);
    handleSelected_ = {};
    if (in.Failed()) {
        // Whatever was read of a broken record is not geometry to draw or hit.
        box_ = {};
        handles_ = {};
    }
}

void TVeskBoxShape::updateInverse()
{
    inverseMatrix_ = matrix_;
    invertible_ = inverseMatrix_.Invert();
    if (!invertible_)
        inverseMatrix_.Reset();
}

void TVeskBoxShape::placeAt(PointF centre)
{
    selected_ = true;
    matrix_.Reset();
    matrix_.Translate(centre.X, centre.Y, MatrixOrder::Append);
    updateInverse();
}

// ---------------------------------------------------------------- outline

void TVeskBoxShape::addArea(GraphicsPath& path) const
{
    if (surface_.GetWidth() > 0) {
        GraphicsPath stroke(FillMode::Winding);
        addFigure(stroke);
        stroke.Widen(surface_.CreatePen(kOutlineColor), OutlineFlatness());
        // The figure of a normalised box turns positively; the stroke must turn
        // the same way, or under the winding rule the fill would cancel the
        // inner half of the stroke and mirrored contributions to a merged
        // outline would cancel their neighbours.
        if (signedArea(stroke) < 0)
            stroke.Reverse();
        path.AddPath(stroke, false);
    }
    if (surface_.GetFill()) {
        path.StartFigure();
        addFigure(path);
        path.CloseFigure();
    }
}

void TVeskBoxShape::buildOutline()
{
    NoteChanged();
    GraphicsPath& outline = outlinePath_.Renew(FillMode::Winding);
    addArea(outline);
    outline.Transform(matrix_);
    bounds_ = outline.GetBounds();
}

void TVeskBoxShape::AddOutline(GraphicsPath& into, int layerIndex) const
{
    if (!visible_ || !layer_ || layerIndex != layer_->index)
        return;
    GraphicsPath area(FillMode::Winding);
    addArea(area);
    area.Transform(matrix_);
    // Reversed before the shape's own outline step, not after: that step may
    // hand back its figures in a fixed turn, which a later reversal would undo.
    const double det = double(matrix_.M11()) * matrix_.M22() - double(matrix_.M12()) * matrix_.M21();
    if (det < 0)
        area.Reverse();
    if (mergesOwnFigures())
        area.WindingModeOutline(OutlineFlatness());
    into.AddPath(area, false);
    into.WindingModeOutline(OutlineFlatness());
}

void TVeskBoxShape::AddCentreLine(GraphicsPath& into) const
{
    if (!visible_)
        return;
    GraphicsPath figure;
    addFigure(figure);
    figure.CloseFigure();
    figure.Transform(matrix_);
    into.AddPath(figure, false);
}

void TVeskBoxShape::GetBounds(RectF& out) const
{
    out = bounds_;
}

void TVeskBoxShape::GetDrawnBounds(RectF& out, float wireWidth) const
{
    if (!layer_ || !layer_->wireFrame) {
        out = bounds_;
        return;
    }
    // The bare figure, as drawn on a wire-frame layer, whatever the surface.
    GraphicsPath figure;
    addFigure(figure);
    figure.Transform(matrix_);
    out = WidenedByPen(figure.GetBounds(), matrix_, wireWidth);
}

int TVeskBoxShape::WriteGerber(TGerber_ostream& out, int layer) const
{
    if (out.Failed() || layer != layerIndex())
        return -1;
    std::optional<Pen> pen;
    // A width that is not a number goes on as a pen, for the writer to refuse.
    if (!(surface_.GetWidth() <= 0))
        pen = surface_.CreatePen(kOutlineColor);
    const Pen* penOrNone = pen ? &*pen : nullptr;
    const TFlashPlacement placement = ClassifyFlashPlacement(matrix_);
    if ((pen && !surface_.GetFill()) || placement == TFlashPlacement::Other) {
        GraphicsPath figure;
        addFigure(figure);
        figure.Transform(matrix_);
        out.AddPath(penOrNone, figure, surface_.GetFill());
        return 0;
    }
    addFlash(out, penOrNone, placement == TFlashPlacement::QuarterTurn);
    return 0;
}

// ---------------------------------------------------------------- drawing

void TVeskBoxShape::drawBody(
    QPainter& g, ARGB wireColor, const SolidBrush& brush, const TDrawStyle& style) const
{
    if (layer_->wireFrame) {
        GraphicsPath figure;
        addFigure(figure);
        StrokeWireFrame(g, figure, matrix_, wireColor, style.inverseZoom);
        return;
    }
    if (!outlinePath_->IsEmpty())
        FillOutline(g, *outlinePath_, brush.color);
}

void TVeskBoxShape::Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const
{
    if (!visible_ || !layer_ || layerIndex != layer_->index)
        return;
    const SolidBrush brush = surface_.CreateBrush(layer_->DrawColor());
    if (style.pixelMarks && !layer_->wireFrame)
        if (const auto mark = PixelMarkFor(g, bounds_)) {
            DrawPixelMark(*mark, markArea(), brush.color);
            return;
        }
    drawBody(g, layer_->opaqueColor, brush, style);
}

double TVeskBoxShape::markArea() const
{
    // From the figure, a few points held here, rather than from the cached
    // outline: the fill, and the stroke's band along the perimeter (its outer
    // half where filled). Close enough for a shape under a pixel.
    thread_local GraphicsPath figure;
    figure.Reset();
    addFigure(figure);
    const auto points = figure.Points();
    double perimeter = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const PointF a = points[i], b = points[(i + 1) % points.size()];
        const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y;
        perimeter += std::sqrt(dx * dx + dy * dy);
    }
    const double width = surface_.GetWidth() > 0 ? double(surface_.GetWidth()) : 0.0;
    const bool fill = surface_.GetFill();
    const double local = (fill ? OutlineArea(figure) : 0.0) + perimeter * (fill ? width / 2 : width);
    const double det = double(matrix_.M11()) * matrix_.M22() - double(matrix_.M12()) * matrix_.M21();
    return local * std::abs(det);
}

void TVeskBoxShape::DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const
{
    if (!visible_ || !layer_ || layerIndex != layer_->index)
        return;
    // Cut-outs print in the paper colour itself, not the surface's white, so a
    // negative film shows them as removed.
    const SolidBrush brush = layer_->mask || IsCutOut() ? SolidBrush { style.printPaperColor }
                                                        : surface_.CreateBrush(style.printInkColor);
    drawBody(g, style.printInkColor, brush, style);
}

void TVeskBoxShape::DrawSelection(QPainter& g, const TDrawStyle& style) const
{
    if (!HasSelectionMarks())
        return;
    // A plain selection's figure lies within the outline's bounds, give or
    // take the widening's tolerance: no need to build it to know it misses.
    const bool outlined = bounds_.Width > 0 || bounds_.Height > 0;
    if (!pointEditing_ && outlined
        && !MarksMayShow(g,
            { bounds_.X - kWidenFlatness, bounds_.Y - kWidenFlatness, bounds_.Width + 2 * kWidenFlatness,
                bounds_.Height + 2 * kWidenFlatness }))
        return;
    // One scratch path per painting thread: thousands of marks, no allocation.
    thread_local GraphicsPath figure;
    figure.Reset();
    addFigure(figure);
    const float s = float(kHandleSide / usableScale(viewScale_));
    if (pointEditing_ || !outlined) {
        // Handles stand on the corners and sides.
        RectF reach = figure.GetBounds();
        if (pointEditing_) {
            for (const PointF h : handles_)
                reach = RectF::Union(reach, { h.X, h.Y, 0, 0 });
            reach = { reach.X - s, reach.Y - s, reach.Width + 2 * s, reach.Height + 2 * s };
        }
        if (!MarksMayShow(g, reach, matrix_))
            return;
    }
    StrokeSelectionOutline(g, figure, matrix_, style.selectionPen, layer_ && layer_->wireFrame);
    if (pointEditing_) {
        g.save();
        g.setWorldTransform(ToQTransform(matrix_), true);
        // Marks one screen pixel wide whatever the placement.
        const QPen pen = ToCosmeticQPen(style.selectionPen);
        const QBrush brush = ToQBrush(style.handleBrush);
        for (int i = 0; i < kHandleCount; ++i) {
            const QRectF square = ToQRectF(squareAt(handles_[size_t(i)], s));
            if (handleSelected_[size_t(i)]) {
                g.fillRect(square, brush);
            } else {
                g.setPen(pen);
                g.setBrush(Qt::NoBrush);
                g.drawRect(square);
            }
        }
        g.restore();
    }
}

// ---------------------------------------------------------------- hit tests

bool TVeskBoxShape::HitTest(PointF p) const
{
    return bounds_.Contains(p) && outlinePath_->IsVisible(p);
}

bool TVeskBoxShape::IntersectsRect(const RectF& rect) const
{
    return rect.IntersectsWith(bounds_) && outlinePath_->IntersectsRect(rect);
}

bool TVeskBoxShape::IntersectsPath(const GraphicsPath& path, const RectF& bounds) const
{
    return bounds.IntersectsWith(bounds_) && outlinePath_->IntersectsPath(path);
}

// ---------------------------------------------------------------- handles

RectF TVeskBoxShape::pickBox(PointF p, float radiusPixels) const
{
    // A shape never given its geometry has every handle on its local origin,
    // where it shows none: nothing there to pick.
    const bool shapeless
        = std::all_of(handles_.begin(), handles_.end(), [](PointF h) { return h == PointF(); });
    if (!invertible_ || shapeless)
        return {};
    const float t = float(radiusPixels / usableScale(viewScale_));
    const PointF q = inverseMatrix_.TransformPoint(p);
    return { q.X - t, q.Y - t, 2 * t, 2 * t };
}

int TVeskBoxShape::HitHandle(PointF p, float radiusPixels) const
{
    const RectF box = pickBox(p, radiusPixels);
    for (const PointF h : handles_)
        if (box.Contains(h))
            return HitCode::HitHandle;
    return HitTest(p) ? HitBody : HitNothing;
}

bool TVeskBoxShape::HandleInRect(const RectF& rect) const
{
    for (const PointF h : handles_)
        if (rect.Contains(matrix_.TransformPoint(h)))
            return true;
    return false;
}

int TVeskBoxShape::HitSelectedHandle(PointF p, float radiusPixels) const
{
    const RectF box = pickBox(p, radiusPixels);
    for (int i = 0; i < kHandleCount; ++i)
        if (handleSelected_[size_t(i)] && box.Contains(handles_[size_t(i)]))
            return HitCode::HitHandle;
    return HitNothing;
}

int TVeskBoxShape::SelectHandleAt(PointF p, float radiusPixels)
{
    NoteChanged();
    const RectF box = pickBox(p, radiusPixels);
    bool any = false;
    for (int i = 0; i < kHandleCount; ++i) {
        handleSelected_[size_t(i)] = box.Contains(handles_[size_t(i)]);
        any = any || handleSelected_[size_t(i)];
    }
    if (any) {
        pointEditing_ = true;
        return HitCode::HitHandle;
    }
    if (HitTest(p)) {
        pointEditing_ = true;
        return HitBody;
    }
    return HitNothing;
}

bool TVeskBoxShape::SelectHandlesIn(const RectF& rect)
{
    NoteChanged();
    for (int i = 0; i < kHandleCount; ++i) {
        if (rect.Contains(matrix_.TransformPoint(handles_[size_t(i)]))) {
            handleSelected_[size_t(i)] = true;
            pointEditing_ = true;
            return true;
        }
        handleSelected_[size_t(i)] = false;
    }
    return false;
}

void TVeskBoxShape::SetHandlesSelected(bool value)
{
    NoteChanged();
    handleSelected_.fill(value);
}

bool TVeskBoxShape::SetSelected(bool value)
{
    pointEditing_ = false;
    SetHandlesSelected(false);
    selected_ = value;
    return value;
}

void TVeskBoxShape::MoveSelection(float dx, float dy, MatrixOrder)
{
    const PointF v = inverseMatrix_.TransformVector({ dx, dy });
    if (handleSelected_[0]) {
        Translate(dx, dy, MatrixOrder::Append);
    } else {
        for (int i = 1; i < kHandleCount; ++i) {
            if (handleSelected_[size_t(i)]) {
                moveHandle(i, v);
                break;
            }
        }
    }
    Rebuild();
}

// ---------------------------------------------------------------- transforms

void TVeskBoxShape::SetMatrix(const Matrix& m)
{
    TVeskObject::SetMatrix(m);
    updateInverse();
    Rebuild();
}

void TVeskBoxShape::followPlacement(const Matrix& step, MatrixOrder order, const Matrix& oldMatrix)
{
    NoteChanged();
    updateInverse();
    if (!FollowPlacement(outlinePath_.Edit(), step, order, oldMatrix)) {
        Rebuild();
        return;
    }
    bounds_ = outlinePath_->GetBounds();
}

void TVeskBoxShape::MultiplyMatrix(const Matrix& m, MatrixOrder order)
{
    if (!selected_)
        return;
    const Matrix oldMatrix = matrix_;
    TVeskObject::MultiplyMatrix(m, order);
    followPlacement(m, order, oldMatrix);
}

void TVeskBoxShape::Translate(float dx, float dy, MatrixOrder order)
{
    if (!selected_)
        return;
    const Matrix oldMatrix = matrix_;
    TVeskObject::Translate(dx, dy, order);
    followPlacement(Matrix(1, 0, 0, 1, dx, dy), order, oldMatrix);
}

void TVeskBoxShape::RotateAt(float degrees, PointF centre, MatrixOrder order)
{
    if (!selected_)
        return;
    const Matrix oldMatrix = matrix_;
    TVeskObject::RotateAt(degrees, centre, order);
    Matrix rotation;
    rotation.RotateAt(degrees, centre, order);
    followPlacement(rotation, order, oldMatrix);
}

// ---------------------------------------------------------------- stream

int TVeskBoxShape::Load(TVesk_istream& in)
{
    if (in.Failed())
        return -1;
    // Read into a scratch copy of the same kind so that a broken record changes nothing here.
    const std::unique_ptr<TVeskObject> scratchOwner = Clone();
    auto& read = static_cast<TVeskBoxShape&>(*scratchOwner);
    read.readRecord(in);
    if (in.Failed())
        return -1;
    Assign(read);
    layer_ = read.layer_;
    box_ = read.box_;
    handles_ = read.handles_;
    handleSelected_ = {};
    selected_ = false;
    pointEditing_ = false;
    updateInverse();
    Rebuild();
    return 0;
}

int TVeskBoxShape::Save(TVesk_ostream& out) const
{
    if (out.Failed())
        return -1;
    out.WriteRaw(Tag(), 4);
    out.WriteLayerRef(layer_);
    out.WriteRect(box_);
    for (const PointF h : handles_)
        out.WritePoint(h);
    return TVeskObject::Save(out);
}

} // namespace vesk
