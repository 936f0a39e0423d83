#pragma once

#include "Veskcontainer.h"

#include <memory>

namespace vesk {

class TVeskGroup;
class TVeskSpatialIndex;

// The container that holds a drawing; the document root is one. Every
// redraw, hit test, selection, transform and save starts at the root and
// reaches each child. Unlike a group, a part does not act as one object: each
// drawn, unlocked child under a point or in a rectangle is selected on its
// own, whole-object transforms reach those children only, and the collecting
// operations pass through it. Its own matrix and surface play no part in
// drawing; only its visibility and view scale matter.
class TVeskPart : public TVeskContainer {
public:
    TVeskPart();
    TVeskPart(const TVeskPart& other);
    // Reads the payload after the tag "PART" and the common block.
    explicit TVeskPart(TVesk_istream& in);
    ~TVeskPart() override;

    std::unique_ptr<TVeskObject> Clone() const override;
    std::unique_ptr<TVeskContainer> CloneEmpty() const override;
    // Clone with its own type, for installing a snapshot as the document.
    std::unique_ptr<TVeskPart> ClonePart() const;
    const char* Tag() const override { return "PART"; }

    // OR of HitHandle over the editable children: 1 body, 2 handle, 4 control point.
    int HitHandles(PointF p, int radiusPixels) const;

    // The index over the children, up to date; built on first use. Drawing
    // and picking use it; the part keeps it current as children report
    // their changes.
    TVeskSpatialIndex& Index() const;
    void ChildChanged(TVeskObject& child) override;
    // The layer table changed its order or members: what the index keeps
    // per layer index is taken again, here and in nested parts.
    void LayersRenumbered();

    // Told of every change of a child, and of a child about to leave; the
    // edit transaction of the document root listens here.
    class Watcher {
    public:
        virtual ~Watcher() = default;
        virtual void ChildTouched(TVeskObject& child) = 0;
        virtual void ChildLeaving(TVeskObject& child) = 0;
    };
    void SetWatcher(Watcher* watcher) { watcher_ = watcher; }
    // A new group holding clones of every child; this part keeps its children.
    std::unique_ptr<TVeskGroup> ToGroup() const;

    // Adds the union outline of every shape on the layer, groups' members
    // included, merged with what `into` holds; nothing while the part is hidden.
    void AddMergedOutline(GraphicsPath& into, int layerIndex) const override;
    bool HitTestSelected(PointF p) const override;
    // Every editable child under the point becomes selected, not just the topmost.
    bool SelectAt(PointF p) override;
    bool SelectIn(const RectF& rect) override;
    // Locked and hidden children are always deselected.
    bool SetSelected(bool value) override;
    void MultiplyMatrix(const Matrix& m, MatrixOrder order) override;
    void Translate(float dx, float dy, MatrixOrder order) override;
    void RotateAt(float degrees, PointF centre, MatrixOrder order) override;
    void CollectAll(std::vector<TVeskObject*>& list) override;
    // The selected shapes, looking inside groups.
    void CollectLeaves(std::vector<TVeskObject*>& list) override;
    void CollectSelected(std::vector<TVeskObject*>& list, int layerIndex) override;
    bool HitTest(PointF p) const override;

protected:
    void ChildLeaving(TVeskObject& child) override;
    void ChildrenTaken() override;

private:
    // The children near the rectangle that pointing and selecting must ask
    // (with those holding editing state when asked), or every child when
    // the part is too small to index.
    const std::vector<TVeskObject*>& near(const RectF& rect, bool withEditing) const;
    template <class F> void forEditableNear(const RectF& rect, bool withEditing, F&& f) const;
    // forEachEditable over the children that may hold a selection: only
    // those take a whole-object transform or hold something selected.
    template <class F> void forEditableHolding(F&& f);

    mutable std::unique_ptr<TVeskSpatialIndex> index_;
    mutable std::vector<TVeskObject*> near_;
    Watcher* watcher_ = nullptr;
};

} // namespace vesk
