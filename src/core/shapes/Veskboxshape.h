#pragma once

#include "geometry/GraphicsPath.h"
#include "geometry/Matrix.h"
#include "geometry/PointF.h"
#include "geometry/SharedPath.h"
#include "model/Veskobject.h"

#include <QString>
#include <array>
#include <memory>

namespace vesk {

// Moves an outline cached in document coordinates along with a change of the
// owner's placement from oldMatrix by `step` in `order`, so that whole-object
// transforms need no rebuild. False when the cache cannot follow (a prepended
// step on a singular placement) and must be rebuilt instead.
bool FollowPlacement(GraphicsPath& outline, const Matrix& step, MatrixOrder order, const Matrix& oldMatrix);

// Common base of the rectangle and the ellipse: a figure inscribed in a box in
// local coordinates, placed by the matrix, stroked with the surface's width and
// optionally filled, and edited through five handles (0 the centre, 1 to 4 on
// the figure). The stroke outline plus fill area is cached in document
// coordinates; whole-object transforms act only on a selected shape and move
// that cache. The kinds differ in the figure, in how handles and box derive
// from each other and in how a handle drag reshapes the box.
//
// Stored form after the tag: layer reference, box (x, y, width, height), the
// five handles, then the common block.
class TVeskBoxShape : public TVeskInstance {
public:
    static constexpr int kHandleCount = 5;
    using HandleArray = std::array<PointF, kHandleCount>;

    ~TVeskBoxShape() override;

    void Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    void DrawSelection(QPainter& g, const TDrawStyle& style) const override;
    void DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    // Mirrored shapes are reversed first so that every figure of the merged
    // outline turns the same way and overlaps unite instead of cancelling.
    void AddOutline(GraphicsPath& into, int layerIndex) const override;
    void AddCentreLine(GraphicsPath& into) const override;
    void GetBounds(RectF& out) const override;
    void GetDrawnBounds(RectF& out, float wireWidth) const override;
    // Reads the record after its tag. A record cut short leaves the object as
    // it was and returns -1.
    int Load(TVesk_istream& in) override;
    int Save(TVesk_ostream& out) const override;
    // An unfilled outlined shape as strokes; otherwise one flash when the
    // placement keeps it axis-aligned, else outline and hatch.
    int WriteGerber(TGerber_ostream& out, int layer) const override;
    bool HitTest(PointF p) const override;
    bool IntersectsRect(const RectF& rect) const override;
    bool IntersectsPath(const GraphicsPath& path, const RectF& bounds) const override;
    bool SetSelected(bool value) override;

    // The handle operations pick in a square of ±radius screen pixels around
    // the point, in local units, left and top inclusive.
    int HitHandle(PointF p, float radiusPixels) const override;
    bool HandleInRect(const RectF& rect) const override;
    int HitSelectedHandle(PointF p, float radiusPixels) const override;
    // Selects exactly the handles in the pick box; on the body alone it enters
    // point editing with no handle selected.
    int SelectHandleAt(PointF p, float radiusPixels) override;
    // Takes the first handle, in order 0 to 4, inside the rectangle; handles
    // before it are deselected, those after it keep their flags.
    bool SelectHandlesIn(const RectF& rect) override;
    // Leaves point editing as it is.
    void SetHandlesSelected(bool value) override;

    void SetMatrix(const Matrix& m) override;
    void MultiplyMatrix(const Matrix& m, MatrixOrder order) override;
    void Translate(float dx, float dy, MatrixOrder order) override;
    void RotateAt(float degrees, PointF centre, MatrixOrder order) override;
    // The point tool's handle drag: the centre handle moves the whole shape
    // (only when selected, as every translation); otherwise the first
    // selected handle reshapes the box. Always rebuilds.
    void MoveSelection(float dx, float dy, MatrixOrder order) override;
    // Handles of a box shape are not turned one by one.
    void RotateSelectionAt(float, PointF, MatrixOrder) override { }

    const HandleArray& Handles() const { return handles_; }
    bool HandleSelected(int i) const { return i >= 0 && i < kHandleCount && handleSelected_[size_t(i)]; }
    const GraphicsPath& OutlinePath() const { return *outlinePath_; }
    bool SameState(const TVeskObject& other) const override;
    bool HasEditState() const override;
    const Matrix& InverseMatrix() const { return inverseMatrix_; }

protected:
    // A new shape: empty outline until its geometry is set.
    TVeskBoxShape(TVeskLayer* layer, const TVeskSurface& surface, const QString& name);
    // The kinds' copy constructors rebuild afterwards.
    TVeskBoxShape(const TVeskBoxShape& other);
    // Reads the record after its tag; a failed read leaves no geometry. The
    // kinds' stream constructors rebuild when the read succeeded.
    TVeskBoxShape(TVesk_istream& in, const QString& name);

    // Adds the figure inscribed in box_ as one closed figure, in local coordinates.
    virtual void addFigure(GraphicsPath& path) const = 0;
    // Moves handle 1 to 4 by the local vector v, reshaping box_ or the handles.
    virtual void moveHandle(int index, PointF v) = 0;
    // Hands the shape to the stream as one flash; `quarterTurn` when the
    // placement exchanges width and height. pen may be null.
    virtual void addFlash(TGerber_ostream& out, const Pen* pen, bool quarterTurn) const = 0;
    // Whether the shape's stroke and fill figures are merged into one outline
    // before it joins a merged outline.
    virtual bool mergesOwnFigures() const { return false; }

    // Rebuilds outline and bounds from box_, the surface and the matrix.
    void buildOutline();
    // Selects the shape and places its local origin at the point, dropping any rotation.
    void placeAt(PointF centre);

    RectF box_;
    HandleArray handles_ {};
    std::array<bool, kHandleCount> handleSelected_ {};

private:
    void readRecord(TVesk_istream& in);
    void updateInverse();
    // Stroke figure widened by the surface's pen, then the fill figure; local coordinates.
    void addArea(GraphicsPath& path) const;
    // Empty when the placement is singular: no handle can be picked then.
    RectF pickBox(PointF p, float radiusPixels) const;
    void drawBody(QPainter& g, ARGB wireColor, const SolidBrush& brush, const TDrawStyle& style) const;
    // The area the outline covers, in square document units, for a pixel mark.
    double markArea() const;
    void followPlacement(const Matrix& step, MatrixOrder order, const Matrix& oldMatrix);

    SharedPath outlinePath_;
    RectF bounds_;
    Matrix inverseMatrix_;
    // False while the matrix is singular; inverseMatrix_ is then the identity.
    bool invertible_ = true;
};

} // namespace vesk
