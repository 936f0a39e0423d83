#pragma once

#include "Veskeventproc.h"
#include "Veskrubberband.h"
#include "geometry/Matrix.h"

#include <vector>

namespace vesk {

struct TVeskToolInfo;

// The point tool, second on the tool bar: edits the control points of the
// selected shapes, looking inside groups, rather than whole objects. A press
// picks an anchor (added to those already picked when it is one of them), a
// control point of a picked anchor, or a shape whose points are then shown; a
// press on empty space that moves 5 pixels starts a rubber band over anchors.
// Dragging moves the picked anchors in whole grid steps from the press point,
// and a control point freely. With Ctrl+Shift held a press retracts the
// control points of the anchor under it (or unlinks the two of a picked
// anchor) and a drag pulls them out symmetrically; with X+Z held a press
// deletes the anchor under it or inserts one on the outline; Ctrl+R and the
// rotate button turn the picked points by 90 degrees about the last press
// point.
//
// Each completed edit that changed the document is one history step, opened
// at the press and committed when the edit ends. A press that only picks
// records nothing; one that only retracts or unlinks control points records
// its own step. A command from outside ends a drag as its own step.
class TVeskPointProc : public TVeskEventProc {
public:
    static constexpr float HandleRadius = 3.0f;
    // What a press in the rubber band mode must miss to end the band.
    static constexpr int BandPressRadius = 2;

    TVeskPointProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);
    ~TVeskPointProc() override;

    void Deactivate() override;
    void EndGesture() override;

    // Ctrl+R and the rotate button.
    void RotateClick();

    // The shapes being point-edited, in the root's order.
    const std::vector<TVeskObject*>& EditList() const { return editList; }
    // The drag under way has moved points.
    bool Moved() const { return moved; }

protected:
    void MouseDown(std::uint32_t shift, PointF point) override;
    void MouseMove(std::uint32_t shift, PointF point) override;
    void MouseUp(std::uint32_t shift, PointF point) override;
    void KeyDown(int virtualKey) override;
    void KeyUp(int virtualKey) override;
    void AddOwnOptionButtons() override;
    void StateInstalled() override;

private:
    void idleDown(PointF point);
    // Step 2 of a press: the first list object that takes the press (a
    // control point, a picked anchor, an anchor) decides; with `bodies`, an
    // object hit on its body alone shows its points and the next is tried.
    bool pressOnList(PointF point, bool bodies);
    void handlePullDown(PointF point);
    void insertOrDelete(PointF point);
    void dragAnchors(PointF point);
    void dragControlPoint(PointF point);
    void pullHandles(PointF point);
    // Moves the edit list's picked points by the step from `anchor`.
    void moveEditList(PointF point, void (TVeskObject::*move)(float, float, MatrixOrder));
    void bandUp(PointF point);
    void showSurfaces();
    void collectEditList();

    // Opens the step of an edit; a pending one is finished first.
    void beginEdit();
    // Ends the step (recorded when more than the picked points changed)
    // and forgets the drag.
    void finishEdit();

    bool moved = false;
    std::vector<TVeskObject*> editList;
    TVeskRubberBand band_;
};

} // namespace vesk
