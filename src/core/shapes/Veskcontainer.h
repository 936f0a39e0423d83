#pragma once

#include "model/Veskobject.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vesk {

// Child-list mechanics shared by the part and the group: an owning list of
// children in insertion order (the order of saving, hit testing, selecting
// and transforming) and a borrowed drawing order in which objects that are
// not cut-outs come first, newest first, and cut-outs last, oldest first, so
// that cut-outs are painted over everything else. The drawing order is kept
// as two lists in insertion order, which makes adding and removing the
// newest object constant-time and costs an empty container no allocation.
// Operations that the part and the group answer alike live here; the two
// kinds supply the ones that make a group act as a single object.
//
// Stored form after the kind's tag: int32 child count, each child's complete
// record in child order, then the common block.
class TVeskContainer : public TVeskObject {
public:
    // Containers nest at most this many levels below the document's root part.
    // Every walk of the tree (drawing, cloning, destruction) recurses as deep
    // as the nesting goes; the reader refuses deeper records, the writer
    // refuses to save them and the legacy importer never builds them, so
    // whatever is imported or saved reads back whole.
    static constexpr int kMaxNesting = 256;

    ~TVeskContainer() override;

    // Stores a clone of the prototype, owned by this container and given its
    // view scale; the caller keeps the prototype. Returns the clone.
    TVeskObject* Add(const TVeskObject& prototype);
    // As Add, but takes the object itself instead of a clone of it, for a
    // caller that has no further use for it (a reader). Null is ignored.
    TVeskObject* Adopt(std::unique_ptr<TVeskObject> object);
    // Needed after a child's cut-out flag changed: the drawing order follows
    // each child's flag as it was when the child was added or last rebuilt.
    void RebuildDrawOrder();

    // The child holding this order key (TVeskObject::OrderKey), or null.
    TVeskObject* ChildByKey(std::int64_t key) const;
    // One change of a keyed placement: the object to stand at the key, in
    // place of the child holding it or between its neighbours when none
    // does; null removes the child holding it.
    struct Placement {
        std::int64_t key = 0;
        std::unique_ptr<TVeskObject> object;
    };
    // Applies the placements (what a history step changed) in time that
    // follows their number, or in one pass over the children when they are
    // many. New objects are reported added, the ones they replace removed.
    void Place(std::vector<Placement> placements);

    int ChildCount() const { return int(children_.size()); }
    // Null outside 0 .. count-1.
    TVeskObject* ChildAt(int i) const;
    const std::vector<std::unique_ptr<TVeskObject>>& Children() const { return children_; }
    // The children in the order they are drawn.
    std::vector<TVeskObject*> DrawOrder() const;

    void Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    void DrawSelection(QPainter& g, const TDrawStyle& style) const override;
    bool HasSelectionMarks() const override;
    void DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    void Rebuild() override;
    // Destroys the child if it is one.
    void RemoveChild(TVeskObject* child) override;
    // RemoveChild for many children at once, in time linear in the number of
    // children rather than in their product (deleting a large selection).
    void RemoveChildren(std::span<TVeskObject* const> doomed);
    void AddOutline(GraphicsPath& into, int layerIndex) const override;
    // Smallest rectangle around every drawn child that has bounds, so that
    // culling by it never drops anything the container draws; left as it was
    // while the container is hidden or no child has bounds.
    void GetBounds(RectF& out) const override;
    // The selected bounds of the children, looking inside nested parts.
    bool GetSelectedBounds(RectF& out) const override;
    // Appends the stored children to those already held, then reads the common block.
    int Load(TVesk_istream& in) override;
    int Save(TVesk_ostream& out) const override;
    // Every child in child order; -1 only when the stream has failed.
    int WriteGerber(TGerber_ostream& out, int layerIndex) const override;
    bool HitTest(PointF p) const override;
    bool IntersectsRect(const RectF& rect) const override;
    bool IntersectsPath(const GraphicsPath& path, const RectF& bounds) const override;
    bool HandleInRect(const RectF& rect) const override;
    bool SelectHandlesIn(const RectF& rect) override;
    void SetHandlesSelected(bool value) override;
    void MoveSelection(float dx, float dy, MatrixOrder order) override;
    void RotateSelectionAt(float degrees, PointF centre, MatrixOrder order) override;
    void MoveControlPoints(float dx, float dy, MatrixOrder order) override;
    void RotateControlPointsAt(float degrees, PointF centre, MatrixOrder order) override;
    void CollectByLayer(std::vector<TVeskObject*>& list, int layerIndex) override;
    bool UsesLayer(const TVeskLayer& layer) const override;
    // Passed to every child; a group answers as a whole instead.
    void DeselectOnLayer(const TVeskLayer& layer) override;
    void SetViewScale(double scale) override;
    // Attributes and every child, recursively.
    bool SameState(const TVeskObject& other) const override;
    bool HasEditState() const override;
    // Hands every child over to the caller, leaving the container empty.
    std::vector<std::unique_ptr<TVeskObject>> TakeChildren();
    // A copy of the container's own attributes, without children: what a
    // recorded state keeps beside its shared children.
    virtual std::unique_ptr<TVeskContainer> CloneEmpty() const = 0;

protected:
    TVeskContainer() = default;
    // Deep copy: the source's attributes and a clone of each child.
    TVeskContainer(const TVeskContainer& other);

    template <class F> void forEachInDrawOrder(F&& f) const
    {
        for (auto it = others_.rbegin(); it != others_.rend(); ++it)
            f(**it);
        for (TVeskObject* child : cutOuts_)
            f(*child);
    }
    // Whether pointing, selecting and transforming reach the child: only what
    // is drawn (a hidden layer locks its objects) and not locked.
    static bool editable(const TVeskObject& child) { return child.IsVisible() && !child.IsLocked(); }
    // Calls f on every editable child, in child order; on none while this
    // container is hidden.
    template <class F> void forEachEditable(F&& f) const
    {
        if (!visible_)
            return;
        for (const auto& child : children_)
            if (editable(*child))
                f(*child);
    }

    // The child is about to leave the container.
    virtual void ChildLeaving(TVeskObject& /*child*/) { }
    // Every child is about to be handed over by TakeChildren.
    virtual void ChildrenTaken() { }

    std::vector<std::unique_ptr<TVeskObject>> children_;

private:
    // Appends the child to its list of the drawing order.
    void insertIntoDrawOrder(TVeskObject* child);
    // Puts it in its list by key, for a child that does not come last.
    void insertIntoDrawOrderByKey(TVeskObject* child);
    void eraseFromDrawOrder(TVeskObject* child);
    // Takes the object in as a child at the key; it is not yet placed.
    void takeIn(TVeskObject& object, std::int64_t key);
    // Place, one placement at a time by binary search.
    void placeOne(Placement& placement);

    // forEachInDrawOrder for walks that wait on memory rather than on work
    // (most objects hold no selection): each object is asked for a few steps
    // before it is reached. Stops at the first f that returns true.
    template <class F> bool anyInDrawOrderPrefetching(F&& f) const;

    std::int64_t nextKey_ = 1;

    // Drawn from the newest to the oldest.
    std::vector<TVeskObject*> others_;
    // Drawn after the others, from the oldest to the newest.
    std::vector<TVeskObject*> cutOuts_;
};

} // namespace vesk
