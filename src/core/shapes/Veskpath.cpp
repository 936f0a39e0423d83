#include "Veskpath.h"

#include "geometry/QtConvert.h"
#include "io/Veskfilestream.h"
#include "model/Colorstyle.h"
#include "model/Vesklayer.h"
#include "render/Outlinefill.h"
#include "shapes/Outlineflatness.h"

#include <QLineF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <span>

namespace vesk {

namespace {
constexpr ARGB kOutlineColor = 0xFF000000; // colour is irrelevant to widening
constexpr float kWidenFlatness = 0.25f;
constexpr float kExportFlatness = 1.0f;
constexpr qsizetype kEntryBytes = 9; // x, y, flag byte
constexpr qsizetype kEntryBytesV2 = 10; // x, y, smooth, curve

RectF squareAt(PointF centre, float side)
{
    return { centre.X - side / 2, centre.Y - side / 2, side, side };
}

RectF grownBy(const RectF& r, float grow)
{
    return { r.X - grow, r.Y - grow, r.Width + 2 * grow, r.Height + 2 * grow };
}

// The box around the entries, grown by `grow` on every side.
RectF entryBounds(const std::vector<PointF>& points, float grow)
{
    float left = points[0].X, top = points[0].Y, right = left, bottom = top;
    for (const PointF p : points) {
        left = std::min(left, p.X);
        right = std::max(right, p.X);
        top = std::min(top, p.Y);
        bottom = std::max(bottom, p.Y);
    }
    return grownBy({ left, top, right - left, bottom - top }, grow);
}
} // namespace

TVeskPath::TVeskPath(TVeskLayer* layer, const TVeskSurface& surface)
    : TVeskInstance(layer)
{
    name_ = QStringLiteral("Path");
    surface_.Assign(surface);
    Rebuild();
}

TVeskPath::TVeskPath(const TVeskPath& other)
    : TVeskInstance(other)
    , closed_(other.closed_)
    , points_(other.points_)
    , pointFlags_(other.pointFlags_)
    , outlinePath_(other.outlinePath_)
    , bounds_(other.bounds_)
    , inverseMatrix_(other.inverseMatrix_)
    , invertible_(other.invertible_)
{
    // The source's cache is current and shared, so a copy costs no widening
    // and no copy of the outline.
    Assign(other);
}

TVeskPath::TVeskPath(TVesk_istream& in, TOutlineBuild build)
{
    name_ = QStringLiteral("Path");
    readRecord(in);
    updateInverse();
    if (build == TOutlineBuild::Now)
        Rebuild();
}

TVeskPath::~TVeskPath() = default;

void TVeskPath::readRecord(TVesk_istream& in)
{
    const bool v2 = in.Version() == 2;
    layer_ = in.ReadLayerRef();
    closed_ = in.ReadBool();
    const std::int32_t n = in.ReadCount(v2 ? kEntryBytesV2 : kEntryBytes);
    // Filled as plain vectors: a shared array checks its sharing on every change.
    std::vector<PointF> points;
    std::vector<std::uint8_t> flags;
    points.reserve(size_t(n));
    flags.reserve(size_t(n));
    for (std::int32_t i = 0; i < n && !in.Failed(); ++i) {
        points.push_back(in.ReadPoint());
        std::uint8_t flag = 0;
        if (v2) {
            const bool smooth = in.ReadBool();
            const bool curve = in.ReadBool();
            flag = std::uint8_t((smooth ? pfSmooth : 0) | (curve ? pfCurve : 0));
        } else {
            char raw = 0;
            in.ReadRaw(&raw, 1);
            flag = std::uint8_t(raw);
        }
        flags.push_back(flag);
    }
    // Every writer stores whole groups: a part of one means damaged bytes.
    if (n % 3 != 0)
        in.RejectRecord();
    points_ = std::move(points);
    pointFlags_ = std::move(flags);
    TVeskObject::Load(in);
    handleEditing_ = false;
    if (in.Failed()) {
        // Whatever was read of a broken record is not geometry to draw or hit.
        points_.clear();
        pointFlags_.clear();
        closed_ = false;
    }
    dropIncompleteGroup();
}

void TVeskPath::dropIncompleteGroup()
{
    const size_t whole = points_.size() - points_.size() % 3;
    points_.resize(whole);
    pointFlags_.resize(whole, pfSmooth);
}

void TVeskPath::updateInverse()
{
    inverseMatrix_ = matrix_;
    invertible_ = inverseMatrix_.Invert();
    if (!invertible_)
        inverseMatrix_.Reset();
}

std::vector<PointF> TVeskPath::bezierRun(const std::vector<PointF>& points) const
{
    const size_t n = points.size() - points.size() % 3;
    if (n < 3)
        return {};
    std::vector<PointF> run;
    if (closed_) {
        run.assign(points.begin(), points.begin() + std::ptrdiff_t(n));
        run.push_back(points[0]);
    } else {
        if (n - 2 < 4) // a lone anchor has no segment
            return {};
        run.assign(points.begin(), points.begin() + std::ptrdiff_t(n - 2));
    }
    return run;
}

void TVeskPath::addRun(GraphicsPath& out) const
{
    // bezierRun's entries, added without building the run first.
    const size_t n = points_.size() - points_.size() % 3;
    if (n < 3 || (!closed_ && n - 2 < 4))
        return;
    if (n - 2 >= 4)
        out.AddBeziers(std::span<const PointF>(points_.Get().data(), n - 2));
    if (closed_)
        out.AddBezier(points_[n - 3], points_[n - 2], points_[n - 1], points_[0]);
}

void TVeskPath::buildArea(const std::vector<PointF>& run, GraphicsPath& out, bool forExport) const
{
    GraphicsPath stroke(FillMode::Winding), fill(FillMode::Winding);
    if (surface_.GetWidth() > 0) {
        stroke.AddBeziers(run);
        if (closed_)
            stroke.CloseFigure();
        if (forExport)
            stroke.Flatten(kExportFlatness);
        stroke.Widen(surface_.CreatePen(kOutlineColor), OutlineFlatness());
    }
    if (surface_.GetFill()) {
        fill.AddBeziers(run);
        fill.CloseFigure();
        if (forExport)
            fill.Flatten(kExportFlatness);
    }
    // Under the winding rule a fill figure running against the stroke's turn
    // cancels the stroke where they overlap, leaving a hole along the inner
    // edge of the line; parts united on their own all wind the same way. The
    // merged outline needs that also against the other objects' areas.
    if (forExport || (!stroke.IsEmpty() && !fill.IsEmpty())) {
        stroke.WindingModeOutline(OutlineFlatness());
        fill.WindingModeOutline(OutlineFlatness());
    }
    out.AddPath(stroke, false);
    out.AddPath(fill, false);
}

void TVeskPath::Rebuild()
{
    NoteChanged();
    if (points_.size() <= 2)
        return;
    GraphicsPath& outline = outlinePath_.Renew(FillMode::Winding);
    const std::vector<PointF> run = bezierRun(points_);
    if (!run.empty())
        buildArea(run, outline, false);
    outline.Transform(matrix_);
    bounds_ = outline.GetBounds();
}

std::unique_ptr<TVeskObject> TVeskPath::Clone() const
{
    return std::make_unique<TVeskPath>(*this);
}

bool TVeskPath::SameState(const TVeskObject& other) const
{
    if (!TVeskInstance::SameState(other))
        return false;
    const auto& o = static_cast<const TVeskPath&>(other);
    // Picked points are editing state, not the document's.
    return closed_ == o.closed_ && points_ == o.points_
        && std::ranges::equal(pointFlags_, o.pointFlags_,
            [](std::uint8_t a, std::uint8_t b) { return ((a ^ b) & ~std::uint8_t(pfSelected)) == 0; });
}

// ---------------------------------------------------------------- drawing

void TVeskPath::strokeRun(QPainter& g, const Pen& pen) const
{
    const std::vector<PointF> run = bezierRun(points_);
    if (run.empty())
        return;
    GraphicsPath curve;
    curve.AddBeziers(run);
    StrokeWireFrame(g, curve, matrix_, pen.color, pen.width);
}

void TVeskPath::drawBody(QPainter& g, ARGB wireColor, const SolidBrush& brush, const TDrawStyle& style) const
{
    if (layer_->wireFrame) {
        Pen pen;
        pen.color = wireColor;
        pen.width = style.inverseZoom;
        strokeRun(g, pen);
        return;
    }
    if (!outlinePath_->IsEmpty())
        FillOutline(g, *outlinePath_, brush.color);
}

void TVeskPath::Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const
{
    if (!visible_ || !layer_ || layerIndex != layer_->index)
        return;
    const SolidBrush brush = surface_.CreateBrush(layer_->DrawColor());
    if (style.pixelMarks && !layer_->wireFrame)
        if (const auto mark = PixelMarkFor(g, bounds_)) {
            DrawPixelMark(*mark, OutlineArea(*outlinePath_), brush.color);
            return;
        }
    drawBody(g, layer_->opaqueColor, brush, style);
}

void TVeskPath::DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const
{
    if (!visible_ || !layer_ || layerIndex != layer_->index)
        return;
    // Cut-outs print in the paper colour itself, not the surface's white, so a
    // negative film shows them as removed.
    const SolidBrush brush = layer_->mask || IsCutOut() ? SolidBrush { style.printPaperColor }
                                                        : surface_.CreateBrush(style.printInkColor);
    drawBody(g, style.printInkColor, brush, style);
}

void TVeskPath::DrawSelection(QPainter& g, const TDrawStyle& style) const
{
    if (!HasSelectionMarks() || points_.size() < 3)
        return;
    const double scale = std::isfinite(viewScale_) && viewScale_ > 0 ? viewScale_ : 1.0;
    const float s = float(4.0 / scale);
    // Handles stand on the entries, and the curve lies within them; a plain
    // selection's curve lies within the outline's bounds, give or take the
    // widening's tolerance, which need no look at the entries.
    const bool outlined = bounds_.Width > 0 || bounds_.Height > 0;
    if (pointEditing_ || !outlined
            ? !MarksMayShow(g, entryBounds(points_.Get(), pointEditing_ ? s : 0.0f), matrix_)
            : !MarksMayShow(g, grownBy(bounds_, kWidenFlatness)))
        return;
    // One scratch path per painting thread: thousands of marks, no allocation.
    thread_local GraphicsPath curve;
    curve.Reset();
    addRun(curve);
    StrokeSelectionOutline(g, curve, matrix_, style.selectionPen, layer_ && layer_->wireFrame);
    if (pointEditing_) {
        g.save();
        g.setWorldTransform(ToQTransform(matrix_), true);
        // Marks one screen pixel wide whatever the placement.
        const QPen pen = ToCosmeticQPen(style.selectionPen);
        const QBrush brush = ToQBrush(style.handleBrush);
        const size_t n = points_.size();
        for (size_t i = 0; i + 2 < n; i += 3) {
            const PointF anchor = points_[i];
            if (!(pointFlags_[i] & pfSelected)) {
                g.setPen(pen);
                g.setBrush(Qt::NoBrush);
                g.drawRect(ToQRectF(squareAt(anchor, s)));
                continue;
            }
            for (const PointF control : { points_[(i + n - 1) % n], points_[i + 1] }) {
                g.setPen(Qt::NoPen);
                g.setBrush(brush);
                g.drawEllipse(ToQRectF(squareAt(control, s)));
                g.setPen(pen);
                g.drawLine(QLineF(ToQPointF(control), ToQPointF(anchor)));
            }
            g.fillRect(ToQRectF(squareAt(anchor, s)), brush);
        }
        g.restore();
    }
}

// ---------------------------------------------------------------- geometry

void TVeskPath::AddOutline(GraphicsPath& into, int layerIndex) const
{
    if (!visible_ || !layer_ || layerIndex != layer_->index || points_.size() < 3)
        return;
    std::vector<PointF> world(points_);
    matrix_.TransformPoints(world);
    const std::vector<PointF> run = bezierRun(world);
    GraphicsPath area(FillMode::Winding);
    if (!run.empty())
        buildArea(run, area, true);
    into.AddPath(area, false);
    into.WindingModeOutline(OutlineFlatness());
}

void TVeskPath::AddCentreLine(GraphicsPath& into) const
{
    if (!visible_)
        return;
    const std::vector<PointF> run = bezierRun(points_);
    if (run.empty())
        return;
    GraphicsPath curve;
    curve.AddBeziers(run);
    if (closed_)
        curve.CloseFigure();
    curve.Transform(matrix_);
    into.AddPath(curve, false);
}

void TVeskPath::GetBounds(RectF& out) const
{
    out = bounds_;
}

void TVeskPath::GetDrawnBounds(RectF& out, float wireWidth) const
{
    if (!layer_ || !layer_->wireFrame) {
        out = bounds_;
        return;
    }
    // The curve itself, as drawn on a wire-frame layer, whatever its surface.
    const std::vector<PointF> run = bezierRun(points_);
    if (run.empty()) {
        out = RectF();
        return;
    }
    GraphicsPath curve;
    curve.AddBeziers(run);
    curve.Transform(matrix_);
    out = WidenedByPen(curve.GetBounds(), matrix_, wireWidth);
}

bool TVeskPath::HitTest(PointF p) const
{
    return bounds_.Contains(p) && outlinePath_->IsVisible(p);
}

bool TVeskPath::IntersectsRect(const RectF& rect) const
{
    return rect.IntersectsWith(bounds_) && outlinePath_->IntersectsRect(rect);
}

bool TVeskPath::IntersectsPath(const GraphicsPath& path, const RectF& bounds) const
{
    return bounds.IntersectsWith(bounds_) && outlinePath_->IntersectsPath(path);
}

// ---------------------------------------------------------------- stream

int TVeskPath::Load(TVesk_istream& in)
{
    if (in.Failed())
        return -1;
    TVeskPath read(in);
    if (in.Failed())
        return -1;
    Assign(read);
    layer_ = read.layer_;
    closed_ = read.closed_;
    points_ = std::move(read.points_);
    pointFlags_ = std::move(read.pointFlags_);
    // The outline of what was read, even when it has too few entries to build one.
    outlinePath_ = std::move(read.outlinePath_);
    bounds_ = read.bounds_;
    inverseMatrix_ = read.inverseMatrix_;
    invertible_ = read.invertible_;
    selected_ = false;
    pointEditing_ = false;
    handleEditing_ = false;
    return 0;
}

int TVeskPath::Save(TVesk_ostream& out) const
{
    if (out.Failed())
        return -1;
    out.WriteRaw(Tag(), 4);
    out.WriteLayerRef(layer_);
    out.WriteBool(closed_);
    out.WriteInt32(std::int32_t(points_.size()));
    for (size_t i = 0; i < points_.size(); ++i) {
        out.WritePoint(points_[i]);
        const char flag = char(pointFlags_[i]);
        out.WriteRaw(&flag, 1);
    }
    return TVeskObject::Save(out);
}

// ---------------------------------------------------------------- selection

bool TVeskPath::SetSelected(bool value)
{
    pointEditing_ = false;
    handleEditing_ = false;
    SetHandlesSelected(false);
    selected_ = value;
    return value;
}

bool TVeskPath::HasEditState() const
{
    return TVeskInstance::HasEditState() || handleEditing_
        || std::ranges::any_of(pointFlags_, [](std::uint8_t f) { return (f & pfSelected) != 0; });
}

void TVeskPath::ClearHandleSelection()
{
    handleEditing_ = false;
    for (size_t i = 0; i < pointFlags_.size(); ++i)
        if (i % 3 != 0)
            pointFlags_[i] &= std::uint8_t(~pfSelected);
}

void TVeskPath::SetHandlesSelected(bool value)
{
    NoteChanged();
    ClearHandleSelection();
    pointEditing_ = value;
    for (size_t i = 0; i < pointFlags_.size(); i += 3)
        pointFlags_[i]
            = value ? std::uint8_t(pointFlags_[i] | pfSelected) : std::uint8_t(pointFlags_[i] & ~pfSelected);
}

// ---------------------------------------------------------------- transforms

void TVeskPath::SetMatrix(const Matrix& m)
{
    TVeskObject::SetMatrix(m);
    updateInverse();
    Rebuild();
}

void TVeskPath::transformCache(const Matrix& step, MatrixOrder order, const Matrix& oldMatrix,
    const Matrix& oldInverse, bool oldInvertible)
{
    NoteChanged();
    if (order == MatrixOrder::Append) {
        outlinePath_.Edit().Transform(step);
    } else if (oldInvertible) {
        // A prepended step acts in local coordinates; in the document it is the
        // step conjugated by the old placement.
        Matrix world = oldInverse;
        world.Multiply(step, MatrixOrder::Append);
        world.Multiply(oldMatrix, MatrixOrder::Append);
        outlinePath_.Edit().Transform(world);
    } else {
        Rebuild();
        return;
    }
    bounds_ = outlinePath_->GetBounds();
}

void TVeskPath::MultiplyMatrix(const Matrix& m, MatrixOrder order)
{
    if (!selected_)
        return;
    const Matrix oldMatrix = matrix_, oldInverse = inverseMatrix_;
    const bool oldInvertible = invertible_;
    TVeskObject::MultiplyMatrix(m, order);
    updateInverse();
    transformCache(m, order, oldMatrix, oldInverse, oldInvertible);
}

void TVeskPath::Translate(float dx, float dy, MatrixOrder order)
{
    if (!selected_)
        return;
    const Matrix oldMatrix = matrix_, oldInverse = inverseMatrix_;
    const bool oldInvertible = invertible_;
    TVeskObject::Translate(dx, dy, order);
    updateInverse();
    transformCache(Matrix(1, 0, 0, 1, dx, dy), order, oldMatrix, oldInverse, oldInvertible);
}

void TVeskPath::RotateAt(float degrees, PointF centre, MatrixOrder order)
{
    if (!selected_)
        return;
    const Matrix oldMatrix = matrix_, oldInverse = inverseMatrix_;
    const bool oldInvertible = invertible_;
    TVeskObject::RotateAt(degrees, centre, order);
    updateInverse();
    Matrix rotation;
    rotation.RotateAt(degrees, centre, order);
    transformCache(rotation, order, oldMatrix, oldInverse, oldInvertible);
}

// ---------------------------------------------------------------- editing

void TVeskPath::SetClosed(bool closed)
{
    closed_ = closed;
    Rebuild();
}

void TVeskPath::SetPoints(std::vector<PointF> points, std::vector<std::uint8_t> flags)
{
    points_ = std::move(points);
    pointFlags_ = std::move(flags);
    pointFlags_.resize(points_.size(), pfSmooth);
    dropIncompleteGroup();
    Rebuild();
}

} // namespace vesk

// ---------------------------------------------------------------- Gerber

#include "gerber/Gerberfilestream.h"

namespace vesk {

// The Bezier run as drawn, placed in the document; open or closed as drawn.
int TVeskPath::WriteGerber(TGerber_ostream& out, int layerIndex) const
{
    if (out.Failed() || layerIndex != this->layerIndex())
        return -1;
    if (points_.size() <= 2)
        return 0;
    // Hatched by the rule the screen fills it with.
    GraphicsPath outline(FillMode::Winding);
    outline.AddBeziers(bezierRun(points_));
    if (closed_)
        outline.CloseFigure();
    outline.Transform(matrix_);
    const Pen pen = surface_.CreatePen(kOutlineColor);
    // A width that is not a number goes on as a pen, for the writer to refuse.
    out.AddPath(!(surface_.GetWidth() <= 0) ? &pen : nullptr, outline, surface_.GetFill());
    return 0;
}

} // namespace vesk
