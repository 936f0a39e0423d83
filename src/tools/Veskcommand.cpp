#include "Veskcommand.h"

#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "model/Veskedit.h"

namespace vesk {

TVeskCommand::TVeskCommand(TVeskToolBar& tools, const QString& name)
    : tools_(tools)
{
    if (TVeskEventProc* tool = tools.CurrentTool())
        tool->EndGesture();
    TVeskEdit& edit = tools.Host().Edit();
    // Whatever a tool left open is its own step, not part of this one.
    edit.Commit();
    edit.Begin(name);
}

TVeskCommand::~TVeskCommand()
{
    if (!done_)
        tools_.Host().Edit().Revert();
}

bool TVeskCommand::Commit()
{
    done_ = true;
    const bool recorded = tools_.Host().Edit().Commit();
    if (TVeskEventProc* tool = tools_.CurrentTool())
        tool->DocumentChanged();
    return recorded;
}

} // namespace vesk
