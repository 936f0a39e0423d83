#pragma once

#include "Veskeventproc.h"

#include <vector>

namespace vesk {

class TVeskString;
struct TVeskToolInfo;

// "TextTool": a click on empty space asks for a text (through the window's
// text dialog) and places it at the snapped point; a click on a text, also
// inside a group or under other objects, edits that text in place. Each
// change is one history step.
class TVeskStringProc : public TVeskEventProc {
public:
    TVeskStringProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);

    void Deactivate() override;
    // The text last placed or edited, or null.
    TVeskString* Text() const { return text; }

protected:
    void MouseDown(std::uint32_t shift, PointF point) override;
    void MouseMove(std::uint32_t shift, PointF point) override;
    void MouseUp(std::uint32_t shift, PointF point) override;
    void KeyDown(int) override { }
    void KeyUp(int) override { }
    void StateInstalled() override { text = nullptr; }

private:
    void edit(TVeskString& existing);
    void place(bool hitSomething);

    const QString step_;
    TVeskString* text = nullptr;
    // The objects under the last left press, looking into groups.
    std::vector<TVeskObject*> hitList;
    // A left press awaits its release: only that release places or edits.
    bool pressed_ = false;
};

} // namespace vesk
