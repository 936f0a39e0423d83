#pragma once

#include "Veskvector.h"
#include "geometry/GraphicsPath.h"
#include "geometry/Matrix.h"
#include "geometry/PointF.h"
#include "model/Veskobject.h"

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
// The entry count is kept a multiple of three: points that arrive from a file
// or a caller with an incomplete last group are dropped, so every operation
// can rely on whole groups.
class TVeskPath : public TVeskInstance {
public:
    TVeskPath(TVeskLayer* layer, const TVeskSurface& surface);
    TVeskPath(const TVeskPath& other);
    // Reads the record after its tag: payload in the stream's version, then the common block.
    explicit TVeskPath(TVesk_istream& in);
    ~TVeskPath() override;

    void Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    void DrawSelection(QPainter& g, const TDrawStyle& style) const override;
    void DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    std::unique_ptr<TVeskObject> Clone() const override;
    // With two entries or fewer the previous outline stays, so a path being
    // rebuilt from nothing keeps what it had until it has an anchor.
    void Rebuild() override;
    void AddOutline(GraphicsPath& into, int layerIndex) const override;
    void GetBounds(RectF& out) const override;
    // Reads the record after its tag. A record cut short leaves the object as
    // it was and returns -1.
    int Load(TVesk_istream& in) override;
    int Save(TVesk_ostream& out) const override;
    bool HitTest(PointF p) const override;
    bool IntersectsRect(const RectF& rect) const override;
    bool IntersectsPath(const GraphicsPath& path, const RectF& bounds) const override;
    bool SetSelected(bool value) override;
    // Selects (or deselects) every anchor and enters (or leaves) point editing;
    // a selected control point is always released.
    void SetHandlesSelected(bool value) override;
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
    const TVeskVector<PointF>& Points() const { return points_; }
    const TVeskVector<std::uint8_t>& PointFlags() const { return pointFlags_; }
    const GraphicsPath& OutlinePath() const { return *outlinePath_; }
    const Matrix& InverseMatrix() const { return inverseMatrix_; }

private:
    void readRecord(TVesk_istream& in);
    void updateInverse();
    // The Bezier run the outline and the wire frame are drawn from: all entries
    // and entry 0 again when closed, else all but the last two. Empty when it
    // holds no whole segment.
    std::vector<PointF> bezierRun(const std::vector<PointF>& points) const;
    // Stroke outline plus fill area of the run; for export both are flattened first.
    void buildArea(const std::vector<PointF>& run, GraphicsPath& out, bool forExport) const;
    void drawBody(QPainter& g, ARGB wireColor, const SolidBrush& brush, const TDrawStyle& style) const;
    void strokeRun(QPainter& g, const Pen& pen) const;
    // Moves the cached outline along with a change of matrix by `step`.
    void transformCache(const Matrix& step, MatrixOrder order, const Matrix& oldMatrix,
        const Matrix& oldInverse, bool oldInvertible);
    void dropIncompleteGroup();

    bool handleEditing_ = false;
    bool closed_ = false;
    TVeskVector<PointF> points_;
    TVeskVector<std::uint8_t> pointFlags_;
    std::unique_ptr<GraphicsPath> outlinePath_;
    RectF bounds_;
    Matrix inverseMatrix_;
    // False while the matrix is singular; inverseMatrix_ is then the identity.
    bool invertible_ = true;
};

} // namespace vesk
