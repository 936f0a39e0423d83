#pragma once

#include "Userdialogs.h"
#include "Vesktoolhost.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"

#include <QString>
#include <functional>
#include <memory>

namespace vesk {

class TLayerWindow;
class TObjectEditor;
class TVeskEventProc;
class TVeskForm;
class TVersionForm;
class TWorkAreaForm;

// What the editor's windows share for the whole run: the open document
// (layers and root), its undo history, the draw style, the grid switches,
// the settings file and the dialogs that ask the user. Each window is created
// once and registers itself here, so any window can reach another without
// global variables. The main window is created with it and owns the others.
class TEditorContext {
public:
    explicit TEditorContext(QString settingsFileName);
    ~TEditorContext();
    TEditorContext(const TEditorContext&) = delete;
    TEditorContext& operator=(const TEditorContext&) = delete;

    // "VeskV.ini" as every window reads and writes it.
    const QString& SettingsFileName() const { return settingsFileName_; }

    TVeskDocument& Document() { return document_; }
    TVeskHistory& History() { return history_; }
    // Every change of the document goes through this.
    TVeskEdit& Edit() { return edit_; }
    TDrawStyle& DrawStyle() { return drawStyle_; }
    TVeskGridSettings& Grid() { return grid_; }

    // The folders the pad list ("pad") and the library window ("lib") read:
    // the program's data folders unless set otherwise before the windows
    // are made (tests use folders of their own).
    const QString& PadFolder() const { return padFolder_; }
    const QString& LibraryFolder() const { return libraryFolder_; }
    void SetDataFolders(QString padFolder, QString libraryFolder);
    // Where recovery files go that cannot go beside their document: the
    // user's data folder unless set otherwise before the main window is made.
    const QString& RecoveryFolder() const { return recoveryFolder_; }
    void SetRecoveryFolder(QString folder) { recoveryFolder_ = std::move(folder); }

    TUserDialogs& Dialogs() { return *dialogs_; }
    // Tests put their own answers here.
    void SetDialogs(std::unique_ptr<TUserDialogs> dialogs);

    // The tool that has the drawing's input, or null.
    TVeskEventProc* ActiveTool() const;
    // The active tool draws again at idle; nothing without one.
    void RequestRedraw() const;
    // Runs `change` as one named step of a command from outside the tool
    // (TVeskCommand): the gesture under way ends first, and the tool lets
    // go of what it held afterwards. True when the step was recorded.
    bool Command(const QString& name, const std::function<void()>& change);

    // The windows, each null until it exists.
    TVeskForm* mainForm = nullptr;
    TWorkAreaForm* workAreaForm = nullptr;
    TVersionForm* versionForm = nullptr;
    TLayerWindow* layerWindow = nullptr;
    TObjectEditor* objectEditor = nullptr;

private:
    QString settingsFileName_;
    QString padFolder_;
    QString libraryFolder_;
    QString recoveryFolder_;
    TVeskDocument document_;
    // After the document: recorded copies borrow its layers, so they go first.
    TVeskHistory history_;
    TVeskEdit edit_ { document_, history_ };
    TDrawStyle drawStyle_;
    TVeskGridSettings grid_;
    std::unique_ptr<TUserDialogs> dialogs_;
};

} // namespace vesk
