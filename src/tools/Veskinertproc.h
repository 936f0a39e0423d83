#pragma once

#include "Veskeventproc.h"

namespace vesk {

struct TVeskToolInfo;

// A tool whose editing is not built yet: it has its button, name, glyph, hint
// and idle mode, takes part in pan, zoom and rendering like every tool, and
// steps the document history with Undo, Redo, Ctrl+Z and Ctrl+Y. Presses,
// moves and other keys do nothing.
class TVeskInertProc : public TVeskEventProc {
public:
    TVeskInertProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);

    void UndoClick() override;
    void RedoClick() override;

protected:
    void MouseDown(std::uint32_t, PointF) override { }
    void MouseMove(std::uint32_t, PointF) override { }
    void MouseUp(std::uint32_t, PointF) override { }
    void KeyDown(int virtualKey) override;
    void KeyUp(int) override { }
};

} // namespace vesk
