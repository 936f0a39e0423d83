#pragma once

#include "Veskeventproc.h"

#include <memory>

namespace vesk {

class TVeskPath;
struct TVeskToolInfo;

// "BezierTool": builds a new path press by press. A press adds an anchor and
// a drag before the release pulls out symmetric handles there; a press on
// the first anchor closes the path and its release finishes it; Enter, the
// finish button or another tool finishes an open one. While a path is being
// built, every step goes into a history of the tool's own (30 deep), so that
// undo and redo step through its anchors and never touch the rest of the
// document; the finished path is one step of the document history, open
// from the first press. A command from outside finishes a path of two
// anchors or more as its own step, and drops a path of one anchor.
class TVeskPathProc : public TVeskEventProc {
public:
    TVeskPathProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);
    ~TVeskPathProc() override;

    void Deactivate() override;
    void EndGesture() override;
    // A surface change of the path being built is a step of the tool's own history.
    bool StyleJoinsGesture() const override { return building != nullptr; }
    void StyleChanged() override;
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
    // The states of the path being built, oldest first; the one at `at_`
    // is the path's state now.
    struct Steps {
        std::vector<std::unique_ptr<TVeskObject>> states;
        std::size_t at = 0;
        void Reset(const TVeskObject& state);
        void Record(const TVeskObject& state);
        void Clear()
        {
            states.clear();
            at = 0;
        }
    };

    // A copy of the state, in place of the path being built (none: the path
    // goes and the step is dropped).
    void install(const TVeskObject* state);
    // The path is done: one step of the document history.
    // Ends the path being built: recorded when it has two anchors or more,
    // else taken out with nothing recorded.
    void finish();
    bool buildingIsALine() const;

    const QString step_;
    bool closing = false;
    TVeskPath* building = nullptr;
    Steps steps_;
};

// "PolylineTool": the Bezier tool without handles; every anchor is a corner.
class TVeskPolyProc : public TVeskPathProc {
public:
    using TVeskPathProc::TVeskPathProc;

protected:
    bool PullsHandles() const override { return false; }
};

} // namespace vesk
