#pragma once

#include "Veskeventproc.h"

#include <memory>

namespace vesk {

class TVeskObject;
struct TVeskToolInfo;

// A tool that inserts ready-made artwork where the user clicks: a left
// press arms it, and its release takes the artwork the tool is given, adds
// it with its origin on the snapped release point, unselected, and records
// one history step. Other buttons do nothing. No artwork, or an empty one,
// inserts and records nothing.
class TVeskInsertProc : public TVeskEventProc {
public:
    TVeskInsertProc(TVeskToolBar& toolBar, const TVeskToolInfo& info, std::int32_t armedMode);

protected:
    // A copy of what to insert at `anchor`, or null for nothing.
    virtual std::unique_ptr<TVeskObject> TakeArtwork() = 0;

    void MouseDown(std::uint32_t shift, PointF point) override;
    void MouseMove(std::uint32_t shift, PointF point) override;
    void MouseUp(std::uint32_t shift, PointF point) override;
    void KeyDown(int) override { }
    void KeyUp(int) override { }

private:
    const QString step_;
    std::int32_t idleMode_;
    std::int32_t armedMode_;
};

} // namespace vesk
