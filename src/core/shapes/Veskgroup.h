#pragma once

#include "Veskcontainer.h"

#include <memory>

namespace vesk {

class TVeskPart;

// Several objects bound into one unit that is selected, moved, rotated,
// mirrored, copied, deleted and saved as one. Hitting any member that is
// drawn and unlocked selects every member and the group; whole-object
// transforms reach every member, locked and hidden ones too; the group is
// collected as one object except where a caller asks for leaves or for a
// layer. Members keep their own layers and matrices: the group has no
// geometry, surface or layer of its own.
class TVeskGroup : public TVeskContainer {
public:
    TVeskGroup();
    TVeskGroup(const TVeskGroup& other);
    // Reads the payload after the tag "GRUP" and the common block.
    explicit TVeskGroup(TVesk_istream& in);
    ~TVeskGroup() override;

    std::unique_ptr<TVeskObject> Clone() const override;
    std::unique_ptr<TVeskContainer> CloneEmpty() const override;
    const char* Tag() const override { return "GRUP"; }

    // Adds a clone of every member, in member order, to the part; the group keeps its members.
    void UngroupInto(TVeskPart& part) const;

    // As a unit: the bounds of every drawn member while the group is selected.
    bool GetSelectedBounds(RectF& out) const override;
    // As a unit: the whole group leaves the selection when any member lies on the layer.
    void DeselectOnLayer(const TVeskLayer& layer) override;
    bool HitTestSelected(PointF p) const override;
    // A hit on any editable member selects every member (locked and hidden ones
    // too) and the group; a hidden group is never hit.
    bool SelectAt(PointF p) override;
    bool SelectIn(const RectF& rect) override;
    bool SetSelected(bool value) override;
    void MultiplyMatrix(const Matrix& m, MatrixOrder order) override;
    void Translate(float dx, float dy, MatrixOrder order) override;
    void RotateAt(float degrees, PointF centre, MatrixOrder order) override;
    // Every leaf shape inside, selected or not.
    void CollectLeaves(std::vector<TVeskObject*>& list) override;
    // No surface to show or edit.
    TVeskSurface* GetSurface() override { return nullptr; }
    TVeskSurface* GetEditSurface() override { return nullptr; }

private:
    // Selects the whole group when the test picks an editable member.
    template <class Test> bool selectWhenAnyMember(Test&& test);
};

} // namespace vesk
