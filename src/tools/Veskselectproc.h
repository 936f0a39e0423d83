#pragma once

#include "Veskeventproc.h"
#include "Veskrubberband.h"

#include <vector>

namespace vesk {

struct TVeskNumericMove;

// The select tool, first on the tool bar and active after start-up: selects
// whole objects by click (Shift adds) or by a rubber band that starts once a
// press on empty space has moved 5 pixels, drags the selection in whole grid
// steps from the press point, cycles through stacked objects with the right
// button, and deletes (Delete), rotates by 90 degrees (Ctrl+R), mirrors left
// to right (Ctrl+M), groups (Ctrl+G), ungroups (Ctrl+Shift+G) and moves by
// typed amounts. Each completed edit is one history step.
//
// Besides the objects' selection flags the tool keeps a list of the objects
// the last click or band picked. Right-click cycling keeps every object of a
// stack in the list while it selects one of them at a time; the commands act
// only on the entries that are selected, so nothing changes that does not
// show as selected.
class TVeskSelectProc : public TVeskEventProc {
public:
    static constexpr int BandThresholdPixels = TVeskRubberBand::ThresholdPixels;
    static constexpr int VkDelete = 0x2E;

    explicit TVeskSelectProc(TVeskToolBar& toolBar);
    ~TVeskSelectProc() override;

    void Deactivate() override;
    void EndGesture() override;
    void RenderDocument() override;
    // During a drag the drawing still shows the selection where it was
    // pressed; the moved objects are drawn over it here, with their marks,
    // so that a move step costs what is moved, not what lies under it. The
    // release repaints the drawing where they were and are.
    void RenderOverlay() override;

    // The commands of the keys and option buttons.
    void DeleteClick();
    void RotateClick();
    void MirrorClick();
    void GroupClick();
    void UngroupClick();
    // Asks the host for offsets and an angle and applies them to the
    // selection as one step; nothing without a selection.
    void NumericClick();

    const std::vector<TVeskObject*>& SelectionList() const { return selectionList; }
    // The selection moved during the drag under way.
    bool Moved() const { return moved; }

protected:
    void MouseDown(std::uint32_t shift, PointF point) override;
    void MouseMove(std::uint32_t shift, PointF point) override;
    void MouseUp(std::uint32_t shift, PointF point) override;
    void KeyDown(int virtualKey) override;
    void KeyUp(int) override { }
    void AddOwnOptionButtons() override;
    void StateInstalled() override;

private:
    void leftDown(std::uint32_t shift, PointF point);
    void rightDown(PointF point);
    void dragTo(PointF point);
    void drawDragged();
    void collectSelection();
    // The entries of the list that are selected now.
    std::vector<TVeskObject*> selectedEntries() const;
    // Centre of the bounds of the objects, snapped to the grid when asked and snapping is on.
    PointF centreOf(const std::vector<TVeskObject*>& objects, bool snap) const;
    // Removes the objects from their containers, each container in one pass.
    static void deleteObjects(const std::vector<TVeskObject*>& objects);
    void applyNumericMove(const TVeskNumericMove& move);
    // The numeric dialog's last choice between offsets and a place.
    bool numericAbsolute_ = false;
    void showSurfaces();

    bool moved = false;
    std::vector<TVeskObject*> selectionList;
    // A left press in the idle mode picked something: moves drag the selection.
    bool dragArmed_ = false;
    // The drawing was rendered since the last drag step: it shows the moved
    // objects where they are.
    bool dragDrawn_ = false;
    TVeskRubberBand band_;
};

} // namespace vesk
