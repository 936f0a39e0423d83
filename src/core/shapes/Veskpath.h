#pragma once

#include "Veskvector.h"
#include "geometry/GraphicsPath.h"
#include "geometry/Matrix.h"
#include "geometry/PointF.h"
#include "geometry/SharedPath.h"
#include "io/Outlinebuild.h"
#include "model/Veskobject.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vesk {

// Flag bits kept for every entry of a path's point array.
enum PathPointFlag : std::uint8_t {
    pfSelected = 0x01, // anchor selected in point editing, or the control point being edited
    pfSmooth = 0x02, // the anchor's two control points stay collinear
    pfCurve = 0x04, // control points were pulled out of the anchor
};

// A chain of cubic Bezier segments through anchors, open or closed, stroked
// with its surface's width and optionally filled: tracks, outlines, free pads
// and imported lines. Entries come in threes (anchor k, its outgoing control
// point, the incoming control point of anchor k+1), in local coordinates that
// the object's matrix places in the document. The stroke outline plus fill
// area is cached in document coordinates and rebuilt when the geometry
// changes; whole-object transforms move the cache instead of rebuilding it.
//
// The entry count is kept a multiple of three: points that a caller gives
// with an incomplete last group are dropped (a stored record with one is
// skipped by the reader), so every operation can rely on whole groups.
class TVeskPath : public TVeskInstance {
public:
    TVeskPath(TVeskLayer* layer, const TVeskSurface& surface);
    TVeskPath(const TVeskPath& other);
    // Reads the record after its tag: payload in the stream's version, then
    // the common block; builds the outline when `build` says so.
    explicit TVeskPath(TVesk_istream& in, TOutlineBuild build = TOutlineBuild::Now);
    ~TVeskPath() override;

    void Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    void DrawSelection(QPainter& g, const TDrawStyle& style) const override;
    void DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    std::unique_ptr<TVeskObject> Clone() const override;
    bool SameState(const TVeskObject& other) const override;
    // Picked points count too: a file may carry them without point editing.
    bool HasEditState() const override;
    // With two entries or fewer the previous outline stays, so a path being
    // rebuilt from nothing keeps what it had until it has an anchor.
    void Rebuild() override;
    void AddOutline(GraphicsPath& into, int layerIndex) const override;
    void AddCentreLine(GraphicsPath& into) const override;
    void GetBounds(RectF& out) const override;
    void GetDrawnBounds(RectF& out, float wireWidth) const override;
    // Reads the record after its tag. A record cut short leaves the object as
    // it was and returns -1.
    int Load(TVesk_istream& in) override;
    int Save(TVesk_ostream& out) const override;
    int WriteGerber(TGerber_ostream& out, int layerIndex) const override;
    bool HitTest(PointF p) const override;
    bool IntersectsRect(const RectF& rect) const override;
    bool IntersectsPath(const GraphicsPath& path, const RectF& bounds) const override;
    bool SetSelected(bool value) override;
    // Selects (or deselects) every anchor and enters (or leaves) point editing;
    // a selected control point is always released.
    void SetHandlesSelected(bool value) override;

    // Point editing. World points are mapped into the path's own coordinates;
    // a radius in screen pixels becomes a half-open pick square of
    // radius / view scale local units on each side of the point. While the
    // matrix is singular no world point has a local position, so the
    // operations that need one leave the path alone and picking falls back to
    // the body. Of several points in the square the one nearest the point is
    // picked; of equally near ones the later anchor's. Hit codes: 0 nothing,
    // 1 body, 2 anchor, 4 control point of a selected anchor.
    int HitHandle(PointF p, float radiusPixels) const override;
    bool HandleInRect(const RectF& rect) const override;
    int HitSelectedHandle(PointF p, float radiusPixels) const override;
    // Adds the anchor under the point to the selected ones, or makes the
    // control point of a selected anchor the one being edited; a body hit
    // only enters point editing.
    int SelectHandleAt(PointF p, float radiusPixels) override;
    bool SelectHandlesIn(const RectF& rect) override;
    // Pulls the control points of the anchor at `at` out symmetrically: the
    // outgoing one to `to`, the incoming one to its mirror image.
    void DragControlHandle(PointF at, PointF to) override;
    // On an anchor: retracts its control points (a corner). On a control
    // point of a selected anchor: unlinks the two control points.
    void ResetHandleAt(PointF p) override;
    // Inserts a corner anchor at the point on the nearest segment.
    void InsertPointAt(PointF p) override;
    // Deletes the anchor under the point; a path keeps at least two anchors.
    void RemovePointAt(PointF p, float radiusPixels) override;
    // The moves map the displacement into local coordinates; the rotations
    // turn as seen in the document, mirrored or scaled placements included.
    void MoveSelection(float dx, float dy, MatrixOrder order) override;
    void RotateSelectionAt(float degrees, PointF centre, MatrixOrder order) override;
    void MoveControlPoints(float dx, float dy, MatrixOrder order) override;
    void RotateControlPointsAt(float degrees, PointF centre, MatrixOrder order) override;

    // Building anchor by anchor: BeginPath empties the path (its outline too),
    // the first AppendAnchor places it, the others add anchors with straight
    // segments before the closing entry.
    void BeginPath();
    void AppendAnchor(PointF p);
    // Whether the first anchor lies in the pick square; false for an empty path.
    bool IsNearStart(PointF p, float radiusPixels) const;
    void EndPath() { }

    void SetMatrix(const Matrix& m) override;
    // The three transforms act only on a selected path and move the cached outline.
    void MultiplyMatrix(const Matrix& m, MatrixOrder order) override;
    void Translate(float dx, float dy, MatrixOrder order) override;
    void RotateAt(float degrees, PointF centre, MatrixOrder order) override;
    const char* Tag() const override { return "PATH"; }

    void SetClosed(bool closed);
    // Clears pfSelected on every control point and ends control-point editing.
    void ClearHandleSelection();

    // Replaces the geometry and rebuilds. Missing flags default to pfSmooth,
    // surplus flags are dropped, and an incomplete last group of three is cut.
    void SetPoints(std::vector<PointF> points, std::vector<std::uint8_t> flags);

    bool IsClosed() const { return closed_; }
    bool IsHandleEditing() const { return handleEditing_; }
    int EntryCount() const { return int(points_.size()); }
    const std::vector<PointF>& Points() const { return points_.Get(); }
    const std::vector<std::uint8_t>& PointFlags() const { return pointFlags_.Get(); }
    const GraphicsPath& OutlinePath() const { return *outlinePath_; }
    const Matrix& InverseMatrix() const { return inverseMatrix_; }

private:
    void readRecord(TVesk_istream& in);
    void updateInverse();
    // The Bezier run the outline and the wire frame are drawn from: all entries
    // and entry 0 again when closed, else all but the last two. Empty when it
    // holds no whole segment.
    std::vector<PointF> bezierRun(const std::vector<PointF>& points) const;
    // The run of the entries, appended to `out`.
    void addRun(GraphicsPath& out) const;
    // Stroke outline plus fill area of the run; for export both are flattened first.
    void buildArea(const std::vector<PointF>& run, GraphicsPath& out, bool forExport) const;
    void drawBody(QPainter& g, ARGB wireColor, const SolidBrush& brush, const TDrawStyle& style) const;
    void strokeRun(QPainter& g, const Pen& pen) const;
    // Moves the cached outline along with a change of matrix by `step`.
    void transformCache(const Matrix& step, MatrixOrder order, const Matrix& oldMatrix,
        const Matrix& oldInverse, bool oldInvertible);
    void dropIncompleteGroup();

    // Point editing helpers (Veskpathedit.cpp).
    bool toLocal(PointF world, PointF& local) const;
    bool pickBox(PointF world, float radiusPixels, RectF& box) const;
    // The rotation in local coordinates that turns points about a world centre.
    bool localRotation(float degrees, PointF centre, MatrixOrder order, Matrix& out) const;
    PointF& entry(std::ptrdiff_t i);
    std::uint8_t& flagAt(std::ptrdiff_t i);
    // First anchor (or control entry) carrying pfSelected, or -1.
    std::ptrdiff_t firstSelectedAnchor() const;
    std::ptrdiff_t firstSelectedControl() const;
    // Turns the opposite control point of control entry i to the other side
    // of its anchor, keeping its own length.
    void KeepCollinear(std::ptrdiff_t i);
    // Makes the opposite control point of control entry i its mirror image through the anchor.
    void MirrorOpposite(std::ptrdiff_t i);

    bool handleEditing_ = false;
    bool closed_ = false;
    TVeskVector<PointF> points_;
    TVeskVector<std::uint8_t> pointFlags_;
    SharedPath outlinePath_;
    RectF bounds_;
    Matrix inverseMatrix_;
    // False while the matrix is singular; inverseMatrix_ is then the identity.
    bool invertible_ = true;
};

// Entries of a path through `anchors` joined by straight segments, every
// control point on its anchor (the layout the polyline tool builds); the
// last group leads back to the first anchor, which a closed path uses.
std::vector<PointF> StraightEntries(const std::vector<PointF>& anchors);

} // namespace vesk
