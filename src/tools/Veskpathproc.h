#pragma once

#include "Veskeventproc.h"

#include <memory>

namespace vesk {

class TVeskHistory;
class TVeskPath;
struct TVeskToolInfo;

// "BezierTool": builds a new path press by press. A press adds an anchor and
// a drag before the release pulls out symmetric handles there; a press on
// the first anchor closes the path and its release finishes it; Enter, the
// finish button or another tool finishes an open one. While a path is being
// built, every step goes into a history of the tool's own (30 deep), so that
// undo and redo step through its anchors and never touch the rest of the
// document; the finished path is one step of the document history.
class TVeskPathProc : public TVeskEventProc {
public:
    TVeskPathProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);
    ~TVeskPathProc() override;

    void Deactivate() override;
    // A surface change of the path being built is a step of the tool's own history.
    void CommitHistory() override;
    void UndoClick() override;
    void RedoClick() override;
    void FinishClick() override;

    // The path being built, or null.
    TVeskPath* Building() const { return building; }

protected:
    // Whether a drag pulls handles; the polyline tool's do not.
    virtual bool PullsHandles() const { return true; }

    void MouseDown(std::uint32_t shift, PointF point) override;
    void MouseMove(std::uint32_t shift, PointF point) override;
    void MouseUp(std::uint32_t shift, PointF point) override;
    void KeyDown(int virtualKey) override;
    void KeyUp(int) override { }
    void StateInstalled() override;

private:
    // The state of the path being built, in place of the one in the document.
    void install(std::unique_ptr<TVeskObject> state);
    // The path is done: one step of the document history.
    void finish();

    bool closing = false;
    TVeskPath* building = nullptr;
    std::unique_ptr<TVeskHistory> stepHistory;
};

// "PolylineTool": the Bezier tool without handles; every anchor is a corner.
class TVeskPolyProc : public TVeskPathProc {
public:
    using TVeskPathProc::TVeskPathProc;

protected:
    bool PullsHandles() const override { return false; }
};

} // namespace vesk
