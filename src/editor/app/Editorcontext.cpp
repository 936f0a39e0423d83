#include "Editorcontext.h"

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

} // namespace vesk
