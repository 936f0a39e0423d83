#pragma once

#include "geometry/PointF.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vesk {

class TVeskContainer;
class TVeskObject;
struct TIndexSlot;

// Where the children of one container lie, so that drawing a part of the
// view, picking at a point and selecting in a rectangle visit the children
// near it instead of every child. Each child is entered with the box around
// what it may paint or be picked at (its bounds, and on wire-frame layers its
// bare geometry), the layers it paints on and its place in the drawing order.
// Children report changes (TVeskObject::NoteChanged); the index applies them
// at the next Sync, and from the boxes before and after it keeps the damage:
// the document rectangles whose picture may have changed since the last
// TakeDamage. It also keeps the children that may hold editing state, which
// a click must reach wherever it lands.
//
// Queries never change the children; Sync must not run while another thread
// queries.
class TVeskSpatialIndex {
public:
    // Enters every child of the container.
    explicit TVeskSpatialIndex(const TVeskContainer& owner);
    ~TVeskSpatialIndex();
    TVeskSpatialIndex(const TVeskSpatialIndex&) = delete;
    TVeskSpatialIndex& operator=(const TVeskSpatialIndex&) = delete;

    // A number no other index of this run has had: tells a cache whose
    // damage it has followed.
    std::uint64_t Serial() const { return serial_; }

    // The child changed, or was just added; applied at the next Sync.
    void Changed(TVeskObject& child);
    // The child is about to leave the container (or be destroyed).
    void Removed(TVeskObject& child);
    // The layer table changed its order or members: every child's layer
    // bits are taken again, and everything counts as damaged.
    void LayersRenumbered();
    // Applies the pending changes.
    void Sync();

    // Children whose box meets the rectangle and those that report no
    // bounds, with the children that may hold editing state when asked, in
    // drawing order; `out` is replaced. Needs a Sync after the last change.
    void Query(const RectF& rect, bool withEditing, std::vector<TVeskObject*>& out) const;

    // The children that may hold editing state (a selection, picked
    // points), in child order; `out` is replaced. Needs a Sync.
    void Editing(std::vector<TVeskObject*>& out) const;

    // How far, per unit of wire pen width, a child may paint beyond its box
    // (a scaled placement widens the pen): a drawing query grows by this.
    float WireGrowth() const { return wireGrowth_; }

    // Starts keeping damage: until then nothing is collected.
    void TrackDamage() { trackDamage_ = true; }
    // The damage since the last call, in document units; cleared.
    std::vector<RectF> TakeDamage();

    // The layer bits of a child as entered (the last bit stands for every
    // layer from 63 on); a child on no layer has every bit.
    static std::uint64_t LayersOf(const TVeskObject& child);
    // Where the child is entered; false when it is not (hidden, or empty, or
    // without bounds).
    bool Entered(const TVeskObject& child, RectF& box) const;
    // The layer bits of a child returned by Query, as entered.
    std::uint64_t Layers(const TVeskObject& child) const;
    static std::uint64_t LayerBit(int layerIndex);
    // Unites into `out` where the object may paint with a wire pen of that
    // width (a container's children); false when something in it reports no
    // bounds, or bounds that are not numbers: such an object is never culled.
    static bool UniteDrawn(const TVeskObject& object, float wireWidth, bool& any, RectF& out);

private:
    struct Tree;

    // Fills the child's slot; true when it belongs in the tree.
    bool measure(TVeskObject& child);
    TIndexSlot& slotOf(TVeskObject& child) const;
    void enter(TVeskObject& child);
    void leave(TVeskObject& child);
    void damage(TVeskObject& child);

    const TVeskContainer* owner_;
    std::unique_ptr<Tree> tree_;
    // Takes an object out of one of the lists below by its place there.
    void dropFrom(std::vector<TVeskObject*>& list, int& place, int TIndexSlot::*placeOf) const;

    std::vector<TVeskObject*> pending_;
    // Children without bounds: drawn and asked wherever the query lies.
    std::vector<TVeskObject*> unbounded_;
    std::vector<TVeskObject*> editing_;
    std::vector<RectF> damage_;
    std::uint64_t serial_;
    float wireGrowth_ = 0.0f;
    bool trackDamage_ = false;
};

} // namespace vesk
