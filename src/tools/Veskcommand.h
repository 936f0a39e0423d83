#pragma once

#include <QString>

namespace vesk {

class TVeskToolBar;

// A command that changes the document from outside the active tool (menu,
// shortcut, dialog, clipboard, layer window): the tool's gesture is ended
// first, then one named step is opened. Commit records it when something
// changed; either way the tool then lets go of what it held and the window
// follows (TVeskEventProc::DocumentChanged). A command left without Commit
// (an early return, an exception) is reverted.
class TVeskCommand {
public:
    TVeskCommand(TVeskToolBar& tools, const QString& name);
    ~TVeskCommand();
    TVeskCommand(const TVeskCommand&) = delete;
    TVeskCommand& operator=(const TVeskCommand&) = delete;

    // True when the step changed something and was recorded.
    bool Commit();

private:
    TVeskToolBar& tools_;
    bool done_ = false;
};

} // namespace vesk
