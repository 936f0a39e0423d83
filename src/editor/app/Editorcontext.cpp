#include "Editorcontext.h"

#include "Datafolder.h"
#include "Mainform.h"
#include "Veskcommand.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "io/Veskautosave.h"

namespace vesk {

TEditorContext::TEditorContext(QString settingsFileName)
    : settingsFileName_(std::move(settingsFileName))
    , padFolder_(FindDataFolder(QStringLiteral("pad")))
    , libraryFolder_(FindDataFolder(QStringLiteral("lib")))
    , recoveryFolder_(recovery::DefaultFolder())
    , dialogs_(std::make_unique<TWidgetDialogs>())
{
}

TEditorContext::~TEditorContext() = default;

void TEditorContext::SetDialogs(std::unique_ptr<TUserDialogs> dialogs)
{
    if (dialogs)
        dialogs_ = std::move(dialogs);
}

void TEditorContext::SetDataFolders(QString padFolder, QString libraryFolder)
{
    padFolder_ = std::move(padFolder);
    libraryFolder_ = std::move(libraryFolder);
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

bool TEditorContext::Command(const QString& name, const std::function<void()>& change)
{
    if (mainForm) {
        TVeskCommand command(mainForm->ToolBar(), name);
        change();
        return command.Commit();
    }
    edit_.Begin(name);
    change();
    return edit_.Commit();
}

} // namespace vesk
