#pragma once

#include "Veskeventproc.h"

namespace vesk {

struct TVeskToolInfo;

// A tool whose editing is not built yet: it has its button, name, glyph, hint
// and idle mode, takes part in pan, zoom and rendering like every tool, and
// steps the document history with Undo, Redo, Ctrl+Z and Ctrl+Y, and shows
// the pointer position in the status bar. Presses and other keys do nothing.
class TVeskInertProc : public TVeskEventProc {
public:
    TVeskInertProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);

    void UndoClick() override;
    void RedoClick() override;

protected:
    void MouseDown(std::uint32_t, PointF) override { }
    // Shows where the pointer is, as the tools do in their idle modes.
    void MouseMove(std::uint32_t, PointF point) override;
    void MouseUp(std::uint32_t, PointF) override { }
    void KeyDown(int virtualKey) override;
    void KeyUp(int) override { }
};

} // namespace vesk
