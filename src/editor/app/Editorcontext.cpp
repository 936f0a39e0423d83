#include "Editorcontext.h"

#include "Mainform.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"

namespace vesk {

TEditorContext::TEditorContext(QString settingsFileName)
    : settingsFileName_(std::move(settingsFileName))
    , dialogs_(std::make_unique<TWidgetDialogs>())
{
}

TEditorContext::~TEditorContext() = default;

void TEditorContext::SetDialogs(std::unique_ptr<TUserDialogs> dialogs)
{
    if (dialogs)
        dialogs_ = std::move(dialogs);
}

TVeskEventProc* TEditorContext::ActiveTool() const
{
    return mainForm ? mainForm->ToolBar().CurrentTool() : nullptr;
}

void TEditorContext::RequestRedraw() const
{
    if (TVeskEventProc* tool = ActiveTool())
        tool->RequestRedraw();
}

} // namespace vesk
