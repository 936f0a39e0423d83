// Point-level editing of TVeskPath: picking and selecting anchors and control
// points, moving and rotating them, pulling and retracting control points,
// inserting and deleting anchors, and building a path anchor by anchor.

#include "Newton3.h"
#include "Veskpath.h"

#include <array>
#include <cmath>

namespace vesk {

namespace {
constexpr std::uint8_t kNewEntryFlags = pfSmooth;
// The radius the tools use when they pull or retract control points.
constexpr float kHandleRadius = 3.0f;

bool isAnchor(std::ptrdiff_t i)
{
    return i % 3 == 0;
}

std::ptrdiff_t wrapIndex(std::ptrdiff_t i, std::ptrdiff_t n)
{
    const std::ptrdiff_t m = i % n;
    return m < 0 ? m + n : m;
}

// The entry nearest to q among the anchors in the pick box and, with
// withControls, the control points of selected anchors; -1 when the box holds
// none. At low zoom the box spans several points, and the one under the
// pointer is meant. Of equally near entries the later anchor's wins (a tool
// building a path has just placed it), and an anchor wins over its own
// control points.
std::ptrdiff_t nearestInBox(const TVeskVector<PointF>& points, const TVeskVector<std::uint8_t>& flags,
    const RectF& box, PointF q, bool withControls)
{
    const std::ptrdiff_t n = std::ptrdiff_t(points.size());
    std::ptrdiff_t best = -1, bestOwner = -1;
    double bestDistance = 0.0;
    const auto consider = [&](std::ptrdiff_t k, std::ptrdiff_t owner) {
        const PointF p = points[size_t(k)];
        if (!box.Contains(p))
            return;
        const double dx = double(p.X) - q.X, dy = double(p.Y) - q.Y;
        const double distance = dx * dx + dy * dy;
        if (best < 0 || distance < bestDistance || (distance == bestDistance && owner > bestOwner)) {
            best = k;
            bestOwner = owner;
            bestDistance = distance;
        }
    };
    for (std::ptrdiff_t i = 0; i < n; i += 3) {
        consider(i, i);
        if (withControls && (flags[size_t(i)] & pfSelected)) {
            consider(wrapIndex(i - 1, n), i);
            consider(wrapIndex(i + 1, n), i);
        }
    }
    return best;
}

float length(PointF v)
{
    return std::hypot(v.X, v.Y);
}

void setBits(std::uint8_t& flag, std::uint8_t bits)
{
    flag = std::uint8_t(flag | bits);
}

void clearBits(std::uint8_t& flag, std::uint8_t bits)
{
    flag = std::uint8_t(flag & ~bits);
}
} // namespace

// ---------------------------------------------------------------- helpers

bool TVeskPath::toLocal(PointF world, PointF& local) const
{
    if (!invertible_)
        return false;
    local = inverseMatrix_.TransformPoint(world);
    return true;
}

bool TVeskPath::pickBox(PointF world, float radiusPixels, RectF& box) const
{
    PointF q;
    if (!toLocal(world, q))
        return false;
    const double scale = std::isfinite(viewScale_) && viewScale_ > 0 ? viewScale_ : 1.0;
    const float t = float(radiusPixels / scale);
    box = RectF(q.X - t, q.Y - t, 2 * t, 2 * t);
    return true;
}

bool TVeskPath::localRotation(float degrees, PointF centre, MatrixOrder order, Matrix& out) const
{
    if (!invertible_)
        return false;
    // Into the document, turn there, and back: under a mirrored or unevenly
    // scaled placement a turn built in local coordinates would run the other
    // way or shear. For a rigid placement this is the turn about the local centre.
    Matrix rotation;
    rotation.RotateAt(degrees, centre, order);
    out = matrix_;
    out.Multiply(rotation, MatrixOrder::Append);
    out.Multiply(inverseMatrix_, MatrixOrder::Append);
    return true;
}

PointF& TVeskPath::entry(std::ptrdiff_t i)
{
    return points_[size_t(wrapIndex(i, std::ptrdiff_t(points_.size())))];
}

std::uint8_t& TVeskPath::flagAt(std::ptrdiff_t i)
{
    return pointFlags_[size_t(wrapIndex(i, std::ptrdiff_t(pointFlags_.size())))];
}

std::ptrdiff_t TVeskPath::firstSelectedAnchor() const
{
    for (size_t i = 0; i < pointFlags_.size(); i += 3)
        if (pointFlags_[i] & pfSelected)
            return std::ptrdiff_t(i);
    return -1;
}

std::ptrdiff_t TVeskPath::firstSelectedControl() const
{
    for (size_t i = 0; i < pointFlags_.size(); ++i)
        if (i % 3 != 0 && (pointFlags_[i] & pfSelected))
            return std::ptrdiff_t(i);
    return -1;
}

// ---------------------------------------------------------------- picking

int TVeskPath::HitHandle(PointF p, float radiusPixels) const
{
    RectF box;
    PointF q;
    if (pickBox(p, radiusPixels, box) && toLocal(p, q)) {
        const std::ptrdiff_t k = nearestInBox(points_, pointFlags_, box, q, true);
        if (k >= 0)
            return isAnchor(k) ? HitCode::HitHandle : HitControl;
    }
    return HitTest(p) ? HitBody : HitNothing;
}

bool TVeskPath::HandleInRect(const RectF& rect) const
{
    for (size_t i = 0; i < points_.size(); i += 3)
        if (rect.Contains(matrix_.TransformPoint(points_[i])))
            return true;
    return false;
}

int TVeskPath::HitSelectedHandle(PointF p, float radiusPixels) const
{
    RectF box;
    if (!pickBox(p, radiusPixels, box))
        return HitNothing;
    for (size_t i = 0; i < points_.size(); i += 3)
        if ((pointFlags_[i] & pfSelected) && box.Contains(points_[i]))
            return HitCode::HitHandle;
    return HitNothing;
}

int TVeskPath::SelectHandleAt(PointF p, float radiusPixels)
{
    NoteChanged();
    handleEditing_ = false;
    ClearHandleSelection();
    RectF box;
    PointF q;
    if (pickBox(p, radiusPixels, box) && toLocal(p, q)) {
        const std::ptrdiff_t k = nearestInBox(points_, pointFlags_, box, q, true);
        if (k >= 0) {
            setBits(pointFlags_[size_t(k)], pfSelected);
            if (isAnchor(k)) {
                pointEditing_ = true;
                return HitCode::HitHandle;
            }
            handleEditing_ = true;
            return HitControl;
        }
    }
    if (HitTest(p)) {
        pointEditing_ = true;
        return HitBody;
    }
    return HitNothing;
}

bool TVeskPath::SelectHandlesIn(const RectF& rect)
{
    NoteChanged();
    ClearHandleSelection();
    bool any = false;
    for (size_t i = 0; i < points_.size(); i += 3) {
        if (rect.Contains(matrix_.TransformPoint(points_[i]))) {
            pointEditing_ = true;
            setBits(pointFlags_[i], pfSelected);
            any = true;
        }
    }
    return any;
}

bool TVeskPath::IsNearStart(PointF p, float radiusPixels) const
{
    RectF box;
    return !points_.empty() && pickBox(p, radiusPixels, box) && box.Contains(points_[0]);
}

// ---------------------------------------------------------------- moving

void TVeskPath::MoveSelection(float dx, float dy, MatrixOrder /*order*/)
{
    if (!invertible_)
        return;
    const PointF v = inverseMatrix_.TransformVector({ dx, dy });
    bool moved = false;
    for (std::ptrdiff_t i = 0; i < std::ptrdiff_t(pointFlags_.size()); i += 3) {
        if (!(pointFlags_[size_t(i)] & pfSelected))
            continue;
        for (const std::ptrdiff_t k : { i - 1, i, i + 1 })
            entry(k) = entry(k) + v;
        moved = true;
    }
    if (moved)
        Rebuild();
}

void TVeskPath::RotateSelectionAt(float degrees, PointF centre, MatrixOrder order)
{
    Matrix rotation;
    if (!localRotation(degrees, centre, order, rotation))
        return;
    bool moved = false;
    for (std::ptrdiff_t i = 0; i < std::ptrdiff_t(pointFlags_.size()); i += 3) {
        if (!(pointFlags_[size_t(i)] & pfSelected))
            continue;
        for (const std::ptrdiff_t k : { i - 1, i, i + 1 })
            entry(k) = rotation.TransformPoint(entry(k));
        moved = true;
    }
    if (moved)
        Rebuild();
}

void TVeskPath::MoveControlPoints(float dx, float dy, MatrixOrder /*order*/)
{
    if (!handleEditing_ || !invertible_)
        return;
    const std::ptrdiff_t i = firstSelectedControl();
    if (i < 0)
        return;
    entry(i) = entry(i) + inverseMatrix_.TransformVector({ dx, dy });
    if (flagAt(i) & pfSmooth)
        KeepCollinear(i);
    Rebuild();
}

void TVeskPath::RotateControlPointsAt(float degrees, PointF centre, MatrixOrder order)
{
    Matrix rotation;
    if (!handleEditing_ || !localRotation(degrees, centre, order, rotation))
        return;
    const std::ptrdiff_t i = firstSelectedControl();
    if (i < 0)
        return;
    entry(i) = rotation.TransformPoint(entry(i));
    if (flagAt(i) & pfSmooth)
        KeepCollinear(i);
    Rebuild();
}

void TVeskPath::KeepCollinear(std::ptrdiff_t i)
{
    if (isAnchor(i))
        return;
    const std::ptrdiff_t a = i % 3 == 1 ? i - 1 : i + 1;
    const std::ptrdiff_t o = i % 3 == 1 ? i - 2 : i + 2;
    const PointF anchor = entry(a);
    const PointF v = entry(i) - anchor;
    if (v.X == 0.0f && v.Y == 0.0f)
        return;
    const float l1 = length(v);
    const float l2 = length(entry(o) - anchor);
    entry(o) = { anchor.X - (v.X * l2) / l1, anchor.Y - (v.Y * l2) / l1 };
}

void TVeskPath::MirrorOpposite(std::ptrdiff_t i)
{
    if (isAnchor(i))
        return;
    const std::ptrdiff_t a = i % 3 == 1 ? i - 1 : i + 1;
    const std::ptrdiff_t o = i % 3 == 1 ? i - 2 : i + 2;
    entry(o) = entry(a) - (entry(i) - entry(a));
}

// ---------------------------------------------------------------- control points

void TVeskPath::DragControlHandle(PointF at, PointF to)
{
    PointF q;
    if (!toLocal(to, q) || HitHandle(at, kHandleRadius) != HitCode::HitHandle)
        return;
    SetHandlesSelected(false);
    SelectHandleAt(at, kHandleRadius);
    const std::ptrdiff_t i = firstSelectedAnchor();
    if (i < 0)
        return;
    entry(i + 1) = q;
    MirrorOpposite(i + 1);
    for (const std::ptrdiff_t k : { i - 1, i, i + 1 })
        setBits(flagAt(k), pfSmooth | pfCurve);
    Rebuild();
}

void TVeskPath::ResetHandleAt(PointF p)
{
    const int hit = HitHandle(p, kHandleRadius);
    if (hit == HitCode::HitHandle) {
        SetHandlesSelected(false);
        SelectHandleAt(p, kHandleRadius);
        const std::ptrdiff_t i = firstSelectedAnchor();
        if (i < 0)
            return;
        entry(i + 1) = entry(i);
        entry(i - 1) = entry(i);
        for (const std::ptrdiff_t k : { i - 1, i, i + 1 })
            clearBits(flagAt(k), pfCurve);
        Rebuild();
    } else if (hit == HitControl) {
        SelectHandleAt(p, kHandleRadius);
        for (std::ptrdiff_t i = 0; i < std::ptrdiff_t(pointFlags_.size()); i += 3) {
            if ((flagAt(i + 1) & pfSelected) || (flagAt(i - 1) & pfSelected)) {
                for (const std::ptrdiff_t k : { i - 1, i, i + 1 })
                    clearBits(flagAt(k), pfSmooth);
                break;
            }
        }
    }
}

// ---------------------------------------------------------------- anchors

void TVeskPath::InsertPointAt(PointF p)
{
    PointF q;
    if (points_.empty() || !toLocal(p, q))
        return;
    const std::ptrdiff_t n = std::ptrdiff_t(points_.size());
    // Closed paths include the segment back to anchor 0.
    const std::ptrdiff_t limit = closed_ ? n : n - 3;
    double best = -1.0;
    std::ptrdiff_t at = 0;
    for (std::ptrdiff_t i = 0; i < limit; i += 3) {
        const std::array<PointF, 4> segment { points_[size_t(i)], points_[size_t(i + 1)],
            points_[size_t(i + 2)], points_[size_t(wrapIndex(i + 3, n))] };
        PointF nearest;
        const double d = NearestPointOnSegment(segment, q, nearest);
        if (d < 0)
            continue;
        if (best < 0 || d < best) {
            best = d;
            at = i;
        }
    }
    if (best < 0)
        return;
    const auto pos = std::ptrdiff_t(wrapIndex(at + 2, n));
    points_.insert(points_.begin() + pos, 3, q);
    pointFlags_.insert(pointFlags_.begin() + pos, 3, kNewEntryFlags);
    Rebuild();
}

void TVeskPath::RemovePointAt(PointF p, float radiusPixels)
{
    RectF box;
    PointF q;
    if (points_.size() < 7 || !pickBox(p, radiusPixels, box) || !toLocal(p, q))
        return;
    const std::ptrdiff_t found = nearestInBox(points_, pointFlags_, box, q, false);
    if (found < 0)
        return;
    for (const std::ptrdiff_t k : { found + 1, found, found - 1 }) {
        const auto pos = wrapIndex(k, std::ptrdiff_t(points_.size()));
        points_.erase(points_.begin() + pos);
        pointFlags_.erase(pointFlags_.begin() + pos);
    }
    if (found == 0) {
        // The array now starts with the incoming control point of the new
        // anchor 0, which belongs at the end.
        points_.push_back(points_.front());
        points_.erase(points_.begin());
        pointFlags_.push_back(pointFlags_.front());
        pointFlags_.erase(pointFlags_.begin());
    }
    Rebuild();
}

void TVeskPath::BeginPath()
{
    NoteChanged();
    points_.clear();
    pointFlags_.clear();
    matrix_.Reset();
    updateInverse();
    pointEditing_ = true;
    handleEditing_ = false;
    closed_ = false;
    // Rebuild keeps the last outline of a path with no anchors; an emptied
    // path must not go on being drawn and hit where it was.
    outlinePath_.Renew(FillMode::Winding);
    bounds_ = RectF();
}

void TVeskPath::AppendAnchor(PointF p)
{
    NoteChanged();
    if (points_.empty()) {
        points_.assign(3, PointF());
        pointFlags_.assign(3, kNewEntryFlags);
        matrix_.Translate(p.X, p.Y, MatrixOrder::Append);
        updateInverse();
    } else {
        PointF q;
        if (!toLocal(p, q))
            return;
        // Before the last entry, which stays the incoming control point of anchor 0.
        const auto pos = points_.end() - 1;
        points_.insert(pos, 3, q);
        pointFlags_.insert(pointFlags_.end() - 1, 3, kNewEntryFlags);
    }
    Rebuild();
}

std::vector<PointF> StraightEntries(const std::vector<PointF>& anchors)
{
    std::vector<PointF> entries;
    entries.reserve(anchors.size() * 3);
    for (size_t k = 0; k < anchors.size(); ++k) {
        entries.push_back(anchors[k]);
        entries.push_back(anchors[k]);
        entries.push_back(anchors[(k + 1) % anchors.size()]);
    }
    return entries;
}

} // namespace vesk
