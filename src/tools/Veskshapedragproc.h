#pragma once

#include "Veskeventproc.h"
#include "model/Vesksurface.h"

namespace vesk {

struct TVeskToolInfo;

// A tool that drags out one shape per press, drag and release: the shape is
// made at the press on the current layer with the current surface, follows
// the pointer (both ends snapped when snapping is on), and on the release
// becomes one history step, or disappears when the pointer came back to
// where it started. A command from outside drops a shape being dragged out. The rectangle and ellipse tools differ only in the shape
// and how two points place it.
class TVeskShapeDragProc : public TVeskEventProc {
public:
    TVeskShapeDragProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);

    void Deactivate() override;
    void EndGesture() override;
    // The shape being dragged out, or null.
    TVeskObject* Shape() const { return shape; }

protected:
    // A new, empty shape of the tool's kind.
    virtual std::unique_ptr<TVeskObject> NewShape(TVeskLayer* layer, const TVeskSurface& surface) const = 0;
    // Places the shape from the press point and the pointer.
    virtual void Place(TVeskObject& shape, PointF press, PointF pointer) const = 0;

    void MouseDown(std::uint32_t shift, PointF point) override;
    void MouseMove(std::uint32_t shift, PointF point) override;
    void MouseUp(std::uint32_t shift, PointF point) override;
    void KeyDown(int) override { }
    void KeyUp(int) override { }
    void StateInstalled() override;

private:
    const QString step_;
    TVeskObject* shape = nullptr;
};

} // namespace vesk
