#pragma once

#include "Vesksurface.h"
#include "geometry/Matrix.h"
#include "geometry/PointF.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace vesk {

class GraphicsPath;
class TDrawStyle;
class TGerber_ostream;
class TVeskLayer;
class TVesk_istream;
class TVesk_ostream;
class TVeskSpatialIndex;

// What the spatial index of the part that holds an object keeps on it. Only
// that index reads or writes it; copies of the object start without one.
struct TIndexSlot {
    // The serial number of the index that last wrote the slot; the rest
    // means nothing to any other index.
    std::uint64_t index = 0;
    // Where it was entered: what it may paint or be picked at, in document units.
    RectF box;
    // The layers it may paint on, one bit each (the last bit for the rest).
    std::uint64_t layers = 0;
    // In the tree with `box`, or in the list of objects without bounds.
    bool entered = false;
    // False for an object that reports no bounds: never left out.
    bool bounded = false;
    // 1 + its place in the index's list of changed objects; 0 when not there.
    int pending = 0;
    // 1 + its place in the index's list of objects that may hold editing
    // state; 0 when not there. Places let a large selection leave at once.
    int editing = 0;
};

// Hit codes of point-level picking; containers OR them.
enum HitCode : int { HitNothing = 0, HitBody = 1, HitHandle = 2, HitControl = 4 };

// Base of everything that can stand in a drawing. Holds the flags, name,
// surface and placement every object carries and the link to the container
// that owns it; every operation on objects goes through its virtual
// functions, so windows, tools, history, clipboard, printing and export
// handle objects without knowing their kind.
//
// Stored form: each kind's payload, then the common block written by Save.
class TVeskObject {
public:
    virtual ~TVeskObject();
    TVeskObject& operator=(const TVeskObject&) = delete;

    virtual void Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const = 0;
    virtual void DrawSelection(QPainter& g, const TDrawStyle& style) const = 0;
    // Whether DrawSelection may draw anything: the object is shown and selected
    // or being point-edited (a container: is shown and holds such an object).
    // A member of a selected group that is not drawn has no marks either.
    // Reads no more of an object than DrawSelection reads to find it has
    // nothing to draw.
    virtual bool HasSelectionMarks() const { return visible_ && (selected_ || pointEditing_); }
    virtual void DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const = 0;
    // Copies surface, visible, locked, name, view scale and matrix; not selection,
    // point editing, owner or layer.
    virtual void Assign(const TVeskObject& source);
    virtual std::unique_ptr<TVeskObject> Clone() const = 0;
    // Whether a clone of this object would equal `other` in everything a
    // clone carries (the view scale aside, which installing a state sets).
    // Lets the history share an unchanged object between recorded states.
    virtual bool SameState(const TVeskObject& other) const;
    // Whether the object holds editing state a clone would not carry:
    // selection, point editing, picked handles (anywhere inside).
    virtual bool HasEditState() const { return selected_ || pointEditing_; }
    virtual void Rebuild() { }
    // Asks the owner to destroy this object; the caller must not touch it afterwards.
    virtual void Delete();
    virtual void RemoveChild(TVeskObject* child);
    virtual void AddOutline(GraphicsPath& into, int layerIndex) const;
    virtual void AddMergedOutline(GraphicsPath& into, int layerIndex) const;
    // The bare geometry, placed, as a wire-frame layer draws it and a board
    // is cut along it: the line itself, whatever the pen's width or fill.
    // Kinds without such a line add nothing.
    virtual void AddCentreLine(GraphicsPath& /*into*/) const { }
    // Leaves `out` as it was when the object has no bounds.
    virtual void GetBounds(RectF& out) const;
    // Bounds of what is selected and drawn, looking into containers that are
    // not selected as a unit; false, with `out` as it was, when there is none.
    virtual bool GetSelectedBounds(RectF& out) const;
    // Where Draw paints, for culling: the bounds, except where a kind draws
    // its bare geometry on a wire-frame layer with a pen wireWidth document
    // units wide (in local units, placed by the matrix with the geometry).
    virtual void GetDrawnBounds(RectF& out, float /*wireWidth*/) const { GetBounds(out); }
    // The common block; -1 without effect when the stream has failed, else 0.
    virtual int Load(TVesk_istream& in);
    virtual int Save(TVesk_ostream& out) const;
    virtual int WriteGerber(TGerber_ostream& out, int layerIndex) const;
    virtual bool HitTest(PointF p) const = 0;
    virtual bool IntersectsRect(const RectF& rect) const = 0;
    virtual bool IntersectsPath(const GraphicsPath& path, const RectF& bounds) const = 0;
    virtual bool HitTestSelected(PointF p) const = 0;
    virtual bool SelectAt(PointF p) = 0;
    virtual bool SelectIn(const RectF& rect) = 0;
    virtual bool SetSelected(bool value);
    virtual int HitHandle(PointF p, float radiusPixels) const;
    virtual bool HandleInRect(const RectF& rect) const;
    virtual int HitSelectedHandle(PointF p, float radiusPixels) const;
    virtual int SelectHandleAt(PointF p, float radiusPixels);
    virtual bool SelectHandlesIn(const RectF& rect);
    virtual void SetHandlesSelected(bool value);
    virtual void DragControlHandle(PointF at, PointF to);
    virtual void ResetHandleAt(PointF p);
    virtual void InsertPointAt(PointF p);
    virtual void RemovePointAt(PointF p, float radiusPixels);
    virtual void SetMatrix(const Matrix& m);
    virtual void GetMatrix(Matrix& out) const;
    virtual void MultiplyMatrix(const Matrix& m, MatrixOrder order);
    virtual void Translate(float dx, float dy, MatrixOrder order);
    virtual void RotateAt(float degrees, PointF centre, MatrixOrder order);
    virtual void MoveSelection(float dx, float dy, MatrixOrder order);
    virtual void RotateSelectionAt(float degrees, PointF centre, MatrixOrder order);
    virtual void MoveControlPoints(float dx, float dy, MatrixOrder order);
    virtual void RotateControlPointsAt(float degrees, PointF centre, MatrixOrder order);
    virtual void CollectAll(std::vector<TVeskObject*>& list);
    virtual void CollectLeaves(std::vector<TVeskObject*>& list);
    // layerIndex -1 stands for the selection, any other value for that layer.
    virtual void CollectSelected(std::vector<TVeskObject*>& list, int layerIndex);
    virtual void CollectByLayer(std::vector<TVeskObject*>& list, int layerIndex);
    // True when the object, or any member at any depth, lies on the layer.
    virtual bool UsesLayer(const TVeskLayer& layer) const;
    // Drops from the selection whatever the user can no longer see or edit
    // once the layer is hidden or locked: a shape on it, and as a whole any
    // group with a member on it at any depth.
    virtual void DeselectOnLayer(const TVeskLayer& layer);
    virtual void SetName(const QString& name)
    {
        name_ = name;
        NoteChanged();
    }
    virtual const QString& GetName() const { return name_; }
    virtual void SetSurface(const TVeskSurface& surface);
    virtual TVeskSurface* GetSurface() { return &surface_; }
    virtual TVeskSurface* GetEditSurface() { return &surface_; }
    virtual void SetOwner(TVeskObject* owner) { owner_ = owner; }
    virtual TVeskObject* GetOwner() const { return owner_; }
    virtual void SetViewScale(double scale) { viewScale_ = scale; }
    virtual bool IsCutOut() const { return surface_.GetCutOut(); }
    virtual bool IsPointEditing() const { return pointEditing_; }
    virtual bool IsSelected() const { return selected_; }
    virtual bool IsVisible() const { return visible_; }
    virtual bool IsLocked() const { return locked_; }
    virtual void SetLocked(bool value)
    {
        locked_ = value;
        NoteChanged();
    }
    virtual void SetVisible(bool value);
    // An object the user is still drawing (a path growing anchor by anchor):
    // kept out of the window's kept picture and drawn over it with the
    // selection marks, so that each step repaints nothing beneath it. Not
    // carried by copies, not stored.
    bool InProgress() const { return inProgress_; }
    void SetInProgress(bool value);

    // Tells the containers above that this object changed what it draws, its
    // bounds or its editing state (picked handles, point editing), so that
    // what they keep about it (where it lies, what needs repainting) follows.
    // Every operation of the kinds reports its own changes; a caller that
    // changes an object through a pointer it was handed (GetEditSurface)
    // reports it by calling Rebuild or this.
    void NoteChanged();
    // A child, or something inside it, reported a change; a container that
    // keeps an index over its children takes note.
    virtual void ChildChanged(TVeskObject& /*child*/) { }

    double ViewScale() const { return viewScale_; }
    // Where the object stands among its container's children: keys grow in
    // child order and stay with the object while it is there, so that an
    // undone removal goes back to its place and a recorded change finds the
    // object it belongs to without walking the children.
    std::int64_t OrderKey() const { return orderKey_; }
    // Its place in the container's drawing order: the non-cut-outs newest
    // first, then the cut-outs oldest first (see TVeskContainer).
    std::int64_t DrawRank() const { return inCutOuts_ ? kCutOutRanks + orderKey_ : -orderKey_; }
    // GetBounds for callers that unite bounds: false for an object that is not
    // drawn or reports none, whether by leaving the rectangle alone (a hidden or
    // empty container) or by one of no extent (an empty path or text).
    bool DrawnBounds(RectF& out) const;
    const Matrix& GetMatrixRef() const { return matrix_; }
    const TVeskSurface& Surface() const { return surface_; }
    // Four-character record tag of the kind ("PATH", "PART", ...).
    virtual const char* Tag() const = 0;

protected:
    TVeskObject() = default;
    // Used by the kinds' copy constructors, which then call Assign.
    TVeskObject(const TVeskObject&) { }

    bool selected_ = false;
    bool visible_ = true;
    bool locked_ = false;
    bool pointEditing_ = false;
    double viewScale_ = 1.0;
    QString name_;
    TVeskSurface surface_;
    Matrix matrix_;
    TVeskObject* owner_ = nullptr;

private:
    friend class TVeskContainer;
    friend class TVeskHistory;
    friend class TVeskSpatialIndex;
    static constexpr std::int64_t kCutOutRanks = std::int64_t(1) << 62;
    mutable TIndexSlot indexSlot_;
    std::int64_t orderKey_ = 0;
    // Placed among the container's cut-outs, which are drawn last.
    bool inCutOuts_ = false;
    bool inProgress_ = false;
    // The recorded copy this object was last found equal to, or installed
    // from; never copied, never handed out for writing.
    mutable std::shared_ptr<const TVeskObject> recorded_;
};

// The rectangle grown on every side by half a pen of `width` local units
// placed by the matrix, at its widest.
RectF WidenedByPen(const RectF& r, const Matrix& placement, float width);

// An object that lies on a layer: paths, rectangles, ellipses and texts.
class TVeskInstance : public TVeskObject {
public:
    virtual void SetLayer(TVeskLayer* layer)
    {
        layer_ = layer;
        NoteChanged();
    }
    virtual TVeskLayer* GetLayer() const { return layer_; }

    // Also locked while its layer is locked or hidden.
    bool IsLocked() const override;
    // None while its layer is hidden.
    bool HasSelectionMarks() const override;
    bool SameState(const TVeskObject& other) const override;
    bool UsesLayer(const TVeskLayer& layer) const override;
    bool HitTestSelected(PointF p) const override;
    // Ends point editing and handle selection; selects when unlocked, drawn and hit.
    bool SelectAt(PointF p) override;
    bool SelectIn(const RectF& rect) override;
    // Appends itself when (layerIndex is -1 and selected) or its layer has that index.
    void CollectSelected(std::vector<TVeskObject*>& list, int layerIndex) override;
    void CollectByLayer(std::vector<TVeskObject*>& list, int layerIndex) override;

protected:
    explicit TVeskInstance(TVeskLayer* layer = nullptr)
        : layer_(layer)
    {
    }
    TVeskInstance(const TVeskInstance& other)
        : TVeskObject(other)
        , layer_(other.layer_)
    {
    }
    // Index of the layer, or a value no caller asks for when there is none.
    int layerIndex() const;
    // Leaves point editing and clears every handle selection, keeping `selected`.
    void endHandleEditing();

    TVeskLayer* layer_ = nullptr;
};

} // namespace vesk
