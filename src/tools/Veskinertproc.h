#pragma once

#include "Veskeventproc.h"

namespace vesk {

struct TVeskToolInfo;

// A tool whose editing is not built yet: it has its button, name, glyph, hint
// and idle mode, takes part in pan, zoom, rendering and undo and redo like
// every tool, and shows the pointer position in the status bar. Presses and
// the tools' own keys do nothing.
class TVeskInertProc : public TVeskEventProc {
public:
    TVeskInertProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);

protected:
    void MouseDown(std::uint32_t, PointF) override { }
    // Shows where the pointer is, as the tools do in their idle modes.
    void MouseMove(std::uint32_t, PointF point) override;
    void MouseUp(std::uint32_t, PointF) override { }
    void KeyDown(int) override { }
    void KeyUp(int) override { }
};

} // namespace vesk
