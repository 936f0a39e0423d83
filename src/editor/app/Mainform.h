#pragma once

#include "Vesktoolhost.h"
#include "Veskview.h"
#include "geometry/PointF.h"
#include "io/Veskdocument.h"

#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <memory>

class QKeyEvent;
class QLabel;

namespace vesk {

class GlyphLibrary;
class TClipboardCommands;
class TDrawingView;
class TGerberForm;
class TLayerSwapForm;
class TDrcForm;
class TVeskImportForm;
class TPrintForm;
class TEditorContext;
class TLayerWindow;
class TLibraryForm;
class TMainMenu;
class TObjectEditor;
class TToolStrip;
class TVersionForm;
class TVeskToolBar;
class TWorkAreaForm;
class TAutoSaveForm;
class TVeskAutosave;

// The main window and the owner of the open document's presentation: the
// menus, the status bar with the pointer position, the tool strip, the
// drawing area and the view onto the document. It carries out the document
// commands (new, open, save, save as, close, each asking first whether
// unsaved changes are to be saved), opens the dialogs, and is the host
// through which the active tool reaches the window: it hands the tool the
// drawing area's mouse, wheel, paint and resize events and every key of the
// application, and runs the tool's deferred rendering once the event queue
// is empty. The document, history and draw style live in the editor context.
class TVeskForm : public QMainWindow, public TVeskToolHost {
    Q_OBJECT
public:
    // Builds the window and its dialogs and reads its placement from the
    // settings file; the document menus stay disabled until StartUp.
    explicit TVeskForm(TEditorContext& context, QWidget* parent = nullptr);
    ~TVeskForm() override;

    // The document the program starts with: an empty one, or the file at
    // documentPath when that is not empty (an unreadable file is reported and
    // an empty document stays). Then the history is reset and the first tool
    // activated.
    void StartUp(const QString& documentPath);

    // Menu commands. Each returns once the command and its dialogs are done.
    void NewMenuClick();
    // File menu "印刷": the print dialog, modal.
    void PrintMenuClick();
    // File menu "エクスポート" → "ガーバファイル": the Gerber export dialog, modal.
    void GerberExportMenuClick();
    // File menu "インポート" → "VESKファイル": a file of the predecessor
    // program chosen, then the import dialog.
    void VeskImportMenuClick();
    // Object menu "レイヤーの入れ替え": the layer swap dialog, modal.
    void LayerSwapMenuClick();
    void DrcMenuClick();
    // Edit menu: the selection through the system clipboard.
    void CutMenuClick();
    void CopyMenuClick();
    void PasteMenuClick();
    // Edit menu "全体表示" (Home): everything drawn fills the window.
    void FitMenuClick();
    // Fills the drawing with the area (document units) under any tool.
    void ZoomTo(const RectF& area);
    void OpenMenuClick();
    void OverWriteMenuClick();
    void SaveAsNameMenuClick();
    void CloseMenuClick();
    void ShowGridMenuClick();
    void SnapMenuClick();
    void WorkAreaMenuClick();
    // Settings menu "自動保存": the autosave dialog, modal; its settings apply at once.
    void AutoSaveMenuClick();
    void ToolWindowMenuClick();
    void LayerWindowMenuClick();
    void ObjectEditorMenuClick();
    void VersionMenuClick();

    // False when the user cancels: in the question, in the save dialog that
    // Yes opens for a document without a name, or because saving failed.
    bool AskSaveChanges();
    // An empty root, no file name, zoom 1 with the origin in the middle of the view.
    void ResetDocument();
    // The caption shows the name, or "Vesk-2.0" without one.
    void SetFileName(const QString& name);
    const QString& FileName() const { return fileName; }
    TDocumentResult WriteDocument(const QString& path);
    void EnableDocumentMenus();
    void DisableDocumentMenus();
    // The object editor reads its presets and the default grid pitch again.
    void RefreshObjectEditor();

    TEditorContext& Context() { return context_; }
    TVeskToolBar& ToolBar() { return *toolBar_; }
    TMainMenu& Menu() { return *menu_; }
    TDrawingView& DrawingArea() { return *drawingView_; }
    TToolStrip& ToolStrip() { return *toolStrip_; }
    TWorkAreaForm& WorkAreaForm() { return *workAreaForm_; }
    TVersionForm& VersionForm() { return *versionForm_; }
    TPrintForm& PrintForm() { return *printForm_; }
    TGerberForm& GerberForm() { return *gerberForm_; }
    TVeskImportForm& ImportForm() { return *importForm_; }
    TLayerSwapForm& LayerSwapForm() { return *layerSwapForm_; }
    TDrcForm& DrcForm() { return *drcForm_; }
    TLayerWindow& LayerWindow() { return *layerWindow_; }
    TObjectEditor& ObjectEditor() { return *objectEditor_; }
    TLibraryForm& LibraryForm() { return *libraryForm_; }
    TAutoSaveForm& AutoSaveForm() { return *autoSaveForm_; }
    // Writes the recorded state of unsaved work to its recovery file.
    TVeskAutosave& Autosave() { return *autosave_; }
    QString StatusText(int panel) const;
    void ShowStatusText(int panel, const QString& text);
    PointF MousePoint() const { return mousePoint; }
    PointF ReferencePoint() const { return referencePoint; }
    // Runs the pending deferred rendering now instead of at idle.
    void RunIdle();

    // TVeskToolHost
    TVeskDocument& Document() override;
    void RootReplaced() override;
    TVeskView& View() override { return view_; }
    TDrawStyle& DrawStyle() override;
    RectF WorkArea() const override;
    TVeskGridSettings& Grid() override;
    TVeskEdit& Edit() override;
    QImage& DrawingImage() override { return drawingBitmap; }
    QImage& ScreenImage() override { return screenBitmap; }
    void PresentImage(const QImage& image) override;
    void ScheduleIdle() override;
    void SetEventHandler(TVeskEventProc* handler) override;
    void ToolButtonsChanged() override;
    void AddOptionButton(
        const QString& glyphName, const QString& hint, std::function<void()> onClick) override;
    void ClearOptionButtons() override;
    void SetCursor(TVeskCursor cursor) override;
    void ShowPosition(PointF point) override;
    void SetReferencePoint(PointF point) override;
    void ShowMessage(const QString& text) override;
    TVeskSurface CurrentSurface() const override;
    void RefreshStyle() override;
    void ShowSurfacesOf(const std::vector<TVeskObject*>& objects) override;
    bool AskText(TVeskTextRequest& request) override;
    bool AskNumericMove(TVeskNumericMove& move) override;
    std::unique_ptr<TVeskObject> PickLibraryPart() override;
    std::unique_ptr<TVeskObject> NewPad() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    // Key state follows the real keyboard: a key is let go when a modal
    // dialog opens or the window comes back, Ctrl and Shift follow every key
    // and mouse event, and a Space release waits briefly for the press that
    // would make it half of a repeat.
    void routeKey(QWidget* target, QKeyEvent* key);
    // Whether a key event at this widget is one the active tool is to see.
    bool keyReachesTool(QWidget* target) const;
    // Ctrl+Z and Ctrl+Y are the undo and redo items' shortcuts and the tools'
    // keys at once; where the tool sees the key, the shortcut stands back.
    bool isToolsShortcut(QWidget* target, const QKeyEvent* key) const;
    void releaseKeys();
    void confirmSpaceRelease();
    void cancelSpaceRelease();
    void buildStatusBar();
    void readSettings();
    void writeSettings() const;
    void ConfigMenuClick();
    void WindowMenuClick();
    void requestRedraw();
    void onIdle();
    // The undo and redo items name the steps they take.
    void updateUndoItems();
    void updateTitle();
    // Panels without a stored place go beside the main window, not over it.
    void placePanelsOnFirstStart();
    void takeKeysToTheDrawing();
    // The active tool ends its gesture before a dialog that edits the document opens.
    void endGesture();
    // Open: reads the file into the emptied document and names the window
    // after it, or reports that it cannot be read.
    void openDocumentFile(const QString& path);
    // What new, open and start-up do once the document is in place.
    void documentReplaced();
    // A document opened from a file is shown whole, not at the origin.
    void fitOpenedDocument();
    // The autosave interval and the backup switch as the settings file has them.
    void applyAutoSaveSettings();
    // Offers the autosaved work of the document at documentPath (of a
    // drawing never saved when empty) newer than the file, and does what
    // the user answers.
    void offerRecovery(const QString& documentPath);
    // The document is given up after the save question: its recovery file goes.
    void leaveDocument();
    // Save to the file name, or through the save dialog when there is none.
    bool saveDocument();
    bool saveThroughDialog(int filterIndex);
    bool saveTo(const QString& path);

    TEditorContext& context_;
    TVeskView view_;
    QString fileName;
    PointF mousePoint;
    PointF referencePoint;
    int smoothingMode = 4;
    QImage drawingBitmap;
    QImage screenBitmap;

    std::unique_ptr<GlyphLibrary> glyphs_;
    std::unique_ptr<TMainMenu> menu_;
    QLabel* statusPanels_[3] = {};
    TDrawingView* drawingView_ = nullptr;
    TToolStrip* toolStrip_ = nullptr;
    std::unique_ptr<TVeskToolBar> toolBar_;
    std::unique_ptr<TClipboardCommands> clipboard_;
    std::unique_ptr<TWorkAreaForm> workAreaForm_;
    std::unique_ptr<TVersionForm> versionForm_;
    std::unique_ptr<TPrintForm> printForm_;
    std::unique_ptr<TGerberForm> gerberForm_;
    std::unique_ptr<TVeskImportForm> importForm_;
    std::unique_ptr<TLayerSwapForm> layerSwapForm_;
    std::unique_ptr<TDrcForm> drcForm_;
    std::unique_ptr<TLayerWindow> layerWindow_;
    std::unique_ptr<TObjectEditor> objectEditor_;
    std::unique_ptr<TLibraryForm> libraryForm_;
    std::unique_ptr<TAutoSaveForm> autoSaveForm_;
    std::unique_ptr<TVeskAutosave> autosave_;
    bool keepBackups_ = true;
    // The tool windows come up with the main window the first time it shows.
    bool toolWindowsShown_ = false;
    TVeskEventProc* eventHandler_ = nullptr;
    QTimer idleTimer_;
    // A Space release waiting to be confirmed, and its deadline.
    bool spaceReleasePending_ = false;
    QTimer spaceRelease_;
    bool fitOnShow_ = false;
};

} // namespace vesk
