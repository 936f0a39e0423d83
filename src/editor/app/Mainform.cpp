#include "Mainform.h"

#include "Autosaveform.h"
#include "Clipboardcommands.h"
#include "Drawingview.h"
#include "Drcform.h"
#include "Editorcontext.h"
#include "Gerberform.h"
#include "Glyphlibrary.h"
#include "Japanesemessages.h"
#include "Layerswapform.h"
#include "Layerwindow.h"
#include "Libraryform.h"
#include "Mainmenu.h"
#include "Objecteditor.h"
#include "Printform.h"
#include "Programicon.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Statustab.h"
#include "Surfacetab.h"
#include "Toolstrip.h"
#include "Versionform.h"
#include "Veskeventproc.h"
#include "Veskimportform.h"
#include "Vesktoolbar.h"
#include "Windowplacement.h"
#include "Workareaform.h"
#include "io/Veskautosave.h"
#include "io/Veskdocumentfile.h"
#include "io/Veskfilestream.h"
#include "model/Veskhistory.h"
#include "shapes/Fontresolver.h"
#include "shapes/Veskpart.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QWheelEvent>
#include <cstring>

namespace vesk {

namespace {
const QString kUntitledCaption = QStringLiteral("Vesk-2.0");
const QString kDocumentFilter = QStringLiteral("Vesk2.0 files|*.vbf|All files|*.*");
const QString kSaveFilter = QStringLiteral("Vesk2.0 files|*.vbf|Gerber files|*.gbr|All files|*.*");
const QString kDefaultExtension = QStringLiteral("vbf");
constexpr int kHistoryDepth = 30;
constexpr int kStatusWidths[3] = { 200, 200, 50 };
// X11 sends a held key's repeats as release/press pairs, which Qt does not
// always mark as repeats when the press comes in a later batch than the
// release. A Space release is confirmed only when no press follows within
// this time (far shorter than any repeat interval) and no other input
// comes first.
constexpr int kSpaceRepeatGraceMs = 20;
constexpr int kVkSpace = 0x20;

// Whether the document file holds the root record after its layer table; a
// file without one opens as an empty document that has no name yet.
bool hasRootRecord(const QByteArray& fileBytes)
{
    TVesk_istream in = TVesk_istream::FromFileBytes(fileBytes);
    if (in.HeaderMissing())
        return false;
    TVeskLayerList scratch;
    scratch.ReadLayerTable(in);
    char tag[4];
    return in.ReadRaw(tag, 4) && std::memcmp(tag, "PART", 4) == 0;
}
} // namespace

TVeskForm::TVeskForm(TEditorContext& context, QWidget* parent)
    : QMainWindow(parent)
    , context_(context)
{
    context_.mainForm = this;
    InstallFontSubstitutions();
    setWindowIcon(ProgramIcon());
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    resize(677, 509);

    view_.AttachDrawStyle(&context_.DrawStyle());
    glyphs_ = std::make_unique<GlyphLibrary>();
    buildMenus();
    buildStatusBar();

    readSettings();
    context_.History().SetModifiedListener([this](bool) { updateTitle(); });
    toolBar_ = std::make_unique<TVeskToolBar>(*this);
    clipboard_ = std::make_unique<TClipboardCommands>(*this, *toolBar_, *QGuiApplication::clipboard());

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    toolStrip_ = new TToolStrip(*toolBar_, *glyphs_, central);
    drawingView_ = new TDrawingView(view_, central);
    drawingView_->SetBackground(QColor::fromRgba(context_.DrawStyle().backgroundColor));
    row->addWidget(toolStrip_);
    row->addWidget(drawingView_, 1);
    setCentralWidget(central);
    toolStrip_->BuildToolButtons();
    const TWindowPlacement strip
        = ReadPlacement(TSettingsFile(context_.SettingsFileName()), settings::kToolWindow);
    toolStrip_->SetPosition(strip.top, strip.left);

    ResetDocument();
    drawingView_->setFocus();

    workAreaForm_ = std::make_unique<TWorkAreaForm>(context_.SettingsFileName(), this);
    context_.workAreaForm = workAreaForm_.get();
    versionForm_ = std::make_unique<TVersionForm>(this);
    printForm_ = std::make_unique<TPrintForm>(*this, context_.Dialogs(), this);
    gerberForm_ = std::make_unique<TGerberForm>(*this, context_.Dialogs(), context_.SettingsFileName(), this);
    importForm_
        = std::make_unique<TVeskImportForm>(*this, context_.Dialogs(), context_.SettingsFileName(), this);
    layerSwapForm_ = std::make_unique<TLayerSwapForm>(*this, context_.SettingsFileName(), this);
    drcForm_ = std::make_unique<TDrcForm>(*this, context_.SettingsFileName(), this);
    context_.versionForm = versionForm_.get();
    layerWindow_ = std::make_unique<TLayerWindow>(context_, this);
    context_.layerWindow = layerWindow_.get();
    objectEditor_ = std::make_unique<TObjectEditor>(context_, this);
    context_.objectEditor = objectEditor_.get();
    libraryForm_ = std::make_unique<TLibraryForm>(context_, this);
    autoSaveForm_ = std::make_unique<TAutoSaveForm>(context_.SettingsFileName(), this);
    autosave_ = std::make_unique<TVeskAutosave>(context_.Edit(), context_.RecoveryFolder());
    // A failed autosave is worth a line in the status bar, not a dialog every minute.
    connect(autosave_.get(), &TVeskAutosave::written, this,
        [this](const QString& path, const TDocumentResult& result) {
            if (!result)
                ShowMessage(QStringLiteral("自動保存できませんでした: %1 (%2)")
                                .arg(QDir::toNativeSeparators(path), InJapanese(result.error)));
        });
    applyAutoSaveSettings();
    placePanelsOnFirstStart();

    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(0);
    connect(&idleTimer_, &QTimer::timeout, this, [this] { onIdle(); });
    spaceRelease_.setSingleShot(true);
    spaceRelease_.setInterval(kSpaceRepeatGraceMs);
    connect(&spaceRelease_, &QTimer::timeout, this, [this] { confirmSpaceRelease(); });
    qApp->installEventFilter(this);
    // A key released while another program has the keyboard never reaches
    // us; let go of every key so that no pan or zoom mode stays on.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            releaseKeys();
    });

    DisableDocumentMenus();
}

TVeskForm::~TVeskForm()
{
    qApp->removeEventFilter(this);
    idleTimer_.stop();
    cancelSpaceRelease();
    // Tools reach the window while they let go; they go before it does.
    toolBar_->DeactivateAllTools();
    autosave_.reset();
    context_.History().SetModifiedListener({});
    writeSettings();
    context_.workAreaForm = nullptr;
    context_.versionForm = nullptr;
    context_.layerWindow = nullptr;
    context_.objectEditor = nullptr;
    context_.mainForm = nullptr;
}

void TVeskForm::buildMenus()
{
    menu_ = std::make_unique<TMainMenu>(menuBar());
    TMainMenu& m = *menu_;
    connect(m.newItem, &QAction::triggered, this, [this] { NewMenuClick(); });
    connect(m.openItem, &QAction::triggered, this, [this] { OpenMenuClick(); });
    connect(m.overWriteItem, &QAction::triggered, this, [this] { OverWriteMenuClick(); });
    connect(m.saveAsItem, &QAction::triggered, this, [this] { SaveAsNameMenuClick(); });
    connect(m.closeItem, &QAction::triggered, this, [this] { CloseMenuClick(); });
    connect(m.undoItem, &QAction::triggered, this, [this] {
        if (eventHandler_)
            eventHandler_->UndoClick();
        updateUndoItems();
    });
    connect(m.redoItem, &QAction::triggered, this, [this] {
        if (eventHandler_)
            eventHandler_->RedoClick();
        updateUndoItems();
    });
    connect(m.editMenu, &QMenu::aboutToShow, this, [this] { updateUndoItems(); });
    connect(m.printItem, &QAction::triggered, this, [this] { PrintMenuClick(); });
    connect(m.gerberExportItem, &QAction::triggered, this, [this] { GerberExportMenuClick(); });
    connect(m.veskImportItem, &QAction::triggered, this, [this] { VeskImportMenuClick(); });
    connect(m.layerSwapItem, &QAction::triggered, this, [this] { LayerSwapMenuClick(); });
    connect(m.drcItem, &QAction::triggered, this, [this] { DrcMenuClick(); });
    connect(m.cutItem, &QAction::triggered, this, [this] { CutMenuClick(); });
    connect(m.copyItem, &QAction::triggered, this, [this] { CopyMenuClick(); });
    connect(m.pasteItem, &QAction::triggered, this, [this] { PasteMenuClick(); });
    connect(m.configMenu, &QMenu::aboutToShow, this, [this] { ConfigMenuClick(); });
    connect(m.fitItem, &QAction::triggered, this, [this] { FitMenuClick(); });
    connect(m.fitSelectionItem, &QAction::triggered, this, [this] {
        if (eventHandler_)
            eventHandler_->ZoomToSelection();
    });
    connect(m.showGridItem, &QAction::triggered, this, [this] { ShowGridMenuClick(); });
    connect(m.snapItem, &QAction::triggered, this, [this] { SnapMenuClick(); });
    connect(m.workAreaItem, &QAction::triggered, this, [this] { WorkAreaMenuClick(); });
    connect(m.autoSaveItem, &QAction::triggered, this, [this] { AutoSaveMenuClick(); });
    connect(m.windowMenu, &QMenu::aboutToShow, this, [this] { WindowMenuClick(); });
    connect(m.toolWindowItem, &QAction::triggered, this, [this] { ToolWindowMenuClick(); });
    connect(m.layerWindowItem, &QAction::triggered, this, [this] { LayerWindowMenuClick(); });
    connect(m.objectEditorItem, &QAction::triggered, this, [this] { ObjectEditorMenuClick(); });
    connect(m.versionItem, &QAction::triggered, this, [this] { VersionMenuClick(); });
}

void TVeskForm::buildStatusBar()
{
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(this);
        panel->setMinimumWidth(kStatusWidths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panel);
        statusPanels_[i] = panel;
    }
}

QString TVeskForm::StatusText(int panel) const
{
    return panel >= 0 && panel < 3 ? statusPanels_[panel]->text() : QString();
}

void TVeskForm::ShowStatusText(int panel, const QString& text)
{
    if (panel >= 0 && panel < 3)
        statusPanels_[panel]->setText(text);
}

// ---- settings ----------------------------------------------------------

void TVeskForm::readSettings()
{
    const TSettingsFile file(context_.SettingsFileName());
    const int state = file.ReadInteger(
        settings::kMainWindow.Name(), settings::Key(settings::kWindowState), settings::kWindowStateDefault);
    TWindowPlacement placement = ReadPlacement(file, settings::kMainWindow);
    ApplyPlacement(*this, placement, state == 0);
    if (state == 1)
        setWindowState(Qt::WindowMinimized);
    else if (state == 2)
        setWindowState(Qt::WindowMaximized);
}

void TVeskForm::placePanelsOnFirstStart()
{
    const TSettingsFile file(context_.SettingsFileName());
    std::vector<QWidget*> unplaced;
    if (!PlacementStored(file, settings::kObjectEditor))
        unplaced.push_back(objectEditor_.get());
    if (!PlacementStored(file, settings::kLayerWindow))
        unplaced.push_back(layerWindow_.get());
    if (!unplaced.empty())
        PlaceBesideOnFirstStart(*this, unplaced, !PlacementStored(file, settings::kMainWindow));
}

void TVeskForm::writeSettings() const
{
    TSettingsFile file(context_.SettingsFileName());
    const QString section = settings::kMainWindow.Name();
    int state = 0;
    if (isMinimized())
        state = 1;
    else if (isMaximized())
        state = 2;
    const QPoint strip = toolStrip_->Position();
    WritePlacement(file, settings::kToolWindow, { strip.y(), strip.x() });
    file.WriteInteger(section, settings::Key(settings::kWindowState), state);
    const TWindowPlacement placement = CapturePlacement(*this);
    if (state == 0) {
        WritePlacement(file, settings::kMainWindow, placement);
    } else {
        // The size of the normal state stays for the next time it is used.
        file.WriteInteger(section, QStringLiteral("Top"), placement.top);
        file.WriteInteger(section, QStringLiteral("Left"), placement.left);
    }
    file.UpdateFile();
}

void TVeskForm::RefreshObjectEditor()
{
    objectEditor_->RefreshObjectEditor();
}

// ---- document commands -------------------------------------------------

void TVeskForm::StartUp(const QString& documentPath)
{
    toolBar_->DeactivateAllTools();
    ResetDocument();
    context_.Document().Layers().ResetToDefaults();
    if (!documentPath.isEmpty())
        openDocumentFile(documentPath);
    documentReplaced();
    autosave_->SetDocumentPath(fileName);
    // A file that could not be read has nothing to recover.
    if (documentPath.isEmpty() || !fileName.isEmpty())
        offerRecovery(fileName);
}

void TVeskForm::offerRecovery(const QString& documentPath)
{
    const QString folder = context_.RecoveryFolder();
    QString path;
    if (documentPath.isEmpty()) {
        const QStringList untitled = recovery::Untitled(folder);
        if (!untitled.isEmpty())
            path = untitled.first();
    } else {
        path = recovery::FindFor(documentPath, folder);
    }
    if (path.isEmpty())
        return;
    switch (context_.Dialogs().AskRecovery(this, path)) {
    case TRecoveryAnswer::Later:
        return;
    case TRecoveryAnswer::Discard:
        QFile::remove(path);
        return;
    case TRecoveryAnswer::Restore:
        break;
    }
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (TVesk_istream::FromFileBytes(bytes).HeaderMissing()) {
        context_.Dialogs().ShowError(this, QStringLiteral("ファイルオープンエラー"),
            QStringLiteral("ごめんなさい。このファイルは開けないみたいです。"));
        return;
    }
    toolBar_->DeactivateAllTools();
    const QString keptName = fileName;
    ResetDocument();
    TVeskDocument& document = context_.Document();
    document.ReadBytes(bytes);
    document.Root().SetViewScale(view_.Zoom());
    // The user decides where the recovered work goes; until then it keeps
    // its document's name and stays unsaved, and its recovery file stays.
    SetFileName(keptName);
    documentReplaced();
    context_.History().SetModified(true);
    autosave_->SetDocumentPath(fileName);
    autosave_->Adopt(path);
}

void TVeskForm::leaveDocument()
{
    autosave_->Discard();
    // Nothing of it is to be autosaved while the next one comes in.
    context_.History().SetModified(false);
}

void TVeskForm::applyAutoSaveSettings()
{
    autosave_->SetInterval(TAutoSaveForm::ReadMinutes(context_.SettingsFileName()));
    keepBackups_ = TAutoSaveForm::ReadKeepBackups(context_.SettingsFileName());
}

void TVeskForm::AutoSaveMenuClick()
{
    if (autoSaveForm_->exec() == QDialog::Accepted)
        applyAutoSaveSettings();
}

void TVeskForm::PrintMenuClick()
{
    printForm_->exec();
}

void TVeskForm::GerberExportMenuClick()
{
    gerberForm_->exec();
}

void TVeskForm::updateUndoItems()
{
    // Named as peers name them: what the next undo or redo takes back.
    const auto caption = [](const char* verb, const QString& step) {
        const QString text = QString::fromUtf8(verb);
        return step.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, step);
    };
    const TVeskEdit& edit = context_.Edit();
    menu_->undoItem->setText(caption("取り消し", edit.CanUndo() ? edit.UndoName() : QString()));
    menu_->redoItem->setText(caption("やり直し", edit.CanRedo() ? edit.RedoName() : QString()));
}

void TVeskForm::endGesture()
{
    if (TVeskEventProc* tool = toolBar_->CurrentTool())
        tool->EndGesture();
}

void TVeskForm::VeskImportMenuClick()
{
    endGesture();
    TFileDialogOptions options;
    options.filter = QStringLiteral("VESK files|*.pcb|All files|*.*");
    const QString path = context_.Dialogs().GetOpenFileName(this, options);
    if (!path.isEmpty())
        importForm_->OpenAndShow(path);
}

void TVeskForm::LayerSwapMenuClick()
{
    endGesture();
    layerSwapForm_->exec();
}

void TVeskForm::DrcMenuClick()
{
    // A gesture half done is not yet in the document the check reads.
    endGesture();
    drcForm_->RunCheck();
}

void TVeskForm::CutMenuClick()
{
    clipboard_->Cut();
}

void TVeskForm::CopyMenuClick()
{
    clipboard_->Copy();
}

void TVeskForm::PasteMenuClick()
{
    clipboard_->Paste();
}

void TVeskForm::FitMenuClick()
{
    if (eventHandler_)
        eventHandler_->ZoomToFit();
}

void TVeskForm::ZoomTo(const RectF& area)
{
    if (eventHandler_)
        eventHandler_->ZoomTo(area);
}

void TVeskForm::fitOpenedDocument()
{
    if (fileName.isEmpty())
        return;
    // Before the window first shows, its drawing has no final size yet.
    if (!isVisible()) {
        fitOnShow_ = true;
        return;
    }
    FitMenuClick();
}

void TVeskForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!toolWindowsShown_) {
        toolWindowsShown_ = true;
        layerWindow_->show();
        objectEditor_->show();
    }
    if (fitOnShow_) {
        fitOnShow_ = false;
        // Once the layout has given the drawing its size.
        QTimer::singleShot(0, this, [this] { FitMenuClick(); });
    }
}

void TVeskForm::documentReplaced()
{
    context_.Edit().Reset(kHistoryDepth);
    toolBar_->ResetToFirstTool();
    fitOpenedDocument();
    RefreshObjectEditor();
    libraryForm_->ResetLibrary();
    EnableDocumentMenus();
    requestRedraw();
}

void TVeskForm::ResetDocument()
{
    if (eventHandler_)
        SetEventHandler(nullptr);
    if (objectEditor_)
        objectEditor_->SurfaceTab().ForgetListed();
    context_.Document().SetRoot(std::make_unique<TVeskPart>());
    smoothingMode = 4;
    SetFileName(QString());
    view_.ResizeView(drawingView_->width(), drawingView_->height());
    view_.Reset();
}

void TVeskForm::SetFileName(const QString& name)
{
    fileName = name;
    updateTitle();
}

void TVeskForm::updateTitle()
{
    // Unsaved changes show as a leading "*", as desktop programs show them.
    const QString title = fileName.isEmpty() ? kUntitledCaption : fileName;
    setWindowTitle(context_.History().IsModified() ? QLatin1Char('*') + title : title);
}

void TVeskForm::NewMenuClick()
{
    if (!AskSaveChanges())
        return;
    leaveDocument();
    toolBar_->DeactivateAllTools();
    ResetDocument();
    context_.Document().Layers().ResetToDefaults();
    documentReplaced();
    autosave_->SetDocumentPath(fileName);
}

void TVeskForm::OpenMenuClick()
{
    if (!AskSaveChanges())
        return;
    TFileDialogOptions options;
    options.filter = kDocumentFilter;
    if (!fileName.isEmpty())
        options.directory = QFileInfo(fileName).absolutePath();
    const QString path = context_.Dialogs().GetOpenFileName(this, options);
    if (path.isEmpty())
        return;
    leaveDocument();
    toolBar_->DeactivateAllTools();
    ResetDocument();
    context_.Document().Layers().ResetToDefaults();
    openDocumentFile(path);
    documentReplaced();
    autosave_->SetDocumentPath(fileName);
    if (!fileName.isEmpty())
        offerRecovery(fileName);
}

void TVeskForm::openDocumentFile(const QString& path)
{
    QFile file(path);
    QByteArray bytes;
    bool readable = file.open(QIODevice::ReadOnly);
    if (readable) {
        bytes = file.readAll();
        readable
            = file.error() == QFileDevice::NoError && !TVesk_istream::FromFileBytes(bytes).HeaderMissing();
    }
    if (!readable) {
        context_.Dialogs().ShowError(this, QStringLiteral("ファイルオープンエラー"),
            QStringLiteral("ごめんなさい。このファイルは開けないみたいです。"));
        return;
    }
    TVeskDocument& document = context_.Document();
    document.ReadBytes(bytes);
    if (const int skipped = document.SkippedRecords())
        ShowMessage(SkippedRecordsNote(QStringLiteral("開く"), skipped));
    if (!hasRootRecord(bytes))
        return;
    SetFileName(path);
    document.Root().SetViewScale(view_.Zoom());
}

bool TVeskForm::AskSaveChanges()
{
    if (!context_.History().IsModified())
        return true;
    switch (context_.Dialogs().AskYesNoCancel(
        this, QStringLiteral("確認"), QStringLiteral("ファイルの変更を保存しますか?"))) {
    case TSaveAnswer::Cancel:
        return false;
    case TSaveAnswer::No:
        return true;
    case TSaveAnswer::Yes:
        break;
    }
    // Unsaved work is discarded only when the user said so: a cancelled save
    // dialog or a failed write ends the command that asked.
    return saveDocument();
}

void TVeskForm::OverWriteMenuClick()
{
    saveDocument();
}

void TVeskForm::SaveAsNameMenuClick()
{
    saveThroughDialog(1);
}

bool TVeskForm::saveDocument()
{
    return fileName.isEmpty() ? saveThroughDialog(1) : saveTo(fileName);
}

bool TVeskForm::saveThroughDialog(int filterIndex)
{
    TFileDialogOptions options;
    options.filter = kSaveFilter;
    options.filterIndex = filterIndex;
    options.defaultExtension = kDefaultExtension;
    if (!fileName.isEmpty())
        options.directory = QFileInfo(fileName).absolutePath();
    const QString path = context_.Dialogs().GetSaveFileName(this, options);
    return !path.isEmpty() && saveTo(path);
}

bool TVeskForm::saveTo(const QString& path)
{
    const TDocumentResult result = WriteDocument(path);
    if (!result) {
        // The document keeps its name and stays modified: nothing was saved.
        context_.Dialogs().ShowError(this, QStringLiteral("ファイル保存エラー"),
            QStringLiteral("ファイルを保存できませんでした。\n%1\n%2")
                .arg(QDir::toNativeSeparators(path), InJapanese(result.error)));
        return false;
    }
    SetFileName(path);
    context_.History().SetModified(false);
    // Saved work needs no recovery.
    autosave_->Discard();
    autosave_->SetDocumentPath(path);
    return true;
}

TDocumentResult TVeskForm::WriteDocument(const QString& path)
{
    return vesk::WriteDocument(context_.Document(), path, keepBackups_);
}

void TVeskForm::CloseMenuClick()
{
    close();
}

void TVeskForm::closeEvent(QCloseEvent* event)
{
    if (AskSaveChanges()) {
        autosave_->Discard();
        event->accept();
    } else
        event->ignore();
}

void TVeskForm::EnableDocumentMenus()
{
    const QList<QAction*> unavailable = menu_->UnavailableItems();
    for (QAction* action : menu_->DocumentMenus())
        action->setEnabled(!unavailable.contains(action));
}

void TVeskForm::DisableDocumentMenus()
{
    for (QAction* action : menu_->DocumentMenus())
        action->setEnabled(false);
}

// ---- settings and window menus -----------------------------------------

void TVeskForm::ConfigMenuClick()
{
    menu_->showGridItem->setChecked(Grid().showGrid);
    menu_->snapItem->setChecked(Grid().snap);
}

void TVeskForm::ShowGridMenuClick()
{
    objectEditor_->StatusTab().SetShowGrid(!Grid().showGrid);
    menu_->showGridItem->setChecked(Grid().showGrid);
    requestRedraw();
}

void TVeskForm::SnapMenuClick()
{
    objectEditor_->StatusTab().SetSnap(!Grid().snap);
    menu_->snapItem->setChecked(Grid().snap);
}

void TVeskForm::WorkAreaMenuClick()
{
    if (workAreaForm_->exec() == QDialog::Accepted)
        requestRedraw();
}

void TVeskForm::WindowMenuClick()
{
    menu_->toolWindowItem->setChecked(toolStrip_->isVisible());
    menu_->layerWindowItem->setChecked(layerWindow_->isVisible());
    menu_->objectEditorItem->setChecked(objectEditor_->isVisible());
}

void TVeskForm::ToolWindowMenuClick()
{
    toolStrip_->setVisible(!toolStrip_->isVisible());
    menu_->toolWindowItem->setChecked(toolStrip_->isVisible());
}

void TVeskForm::LayerWindowMenuClick()
{
    layerWindow_->setVisible(!layerWindow_->isVisible());
    menu_->layerWindowItem->setChecked(layerWindow_->isVisible());
}

void TVeskForm::ObjectEditorMenuClick()
{
    objectEditor_->setVisible(!objectEditor_->isVisible());
    menu_->objectEditorItem->setChecked(objectEditor_->isVisible());
}

void TVeskForm::VersionMenuClick()
{
    versionForm_->exec();
}

void TVeskForm::releaseKeys()
{
    cancelSpaceRelease();
    if (eventHandler_)
        eventHandler_->ReleaseKeys();
}

void TVeskForm::cancelSpaceRelease()
{
    spaceReleasePending_ = false;
    spaceRelease_.stop();
}

void TVeskForm::confirmSpaceRelease()
{
    if (!spaceReleasePending_)
        return;
    cancelSpaceRelease();
    if (eventHandler_)
        eventHandler_->WindowKeyUp(kVkSpace);
}

bool TVeskForm::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepted, the key comes as a press to the tool, which steps the
        // history itself: one path, one step per press.
        if (isToolsShortcut(target, static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        routeKey(target, static_cast<QKeyEvent*>(event));
        break;
    case QEvent::Enter:
        if (target == drawingView_)
            takeKeysToTheDrawing();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (target == drawingView_ && eventHandler_) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            confirmSpaceRelease();
            eventHandler_->FollowModifiers(ShiftStateFromQt(mouse->modifiers(), mouse->buttons()));
        }
        break;
    case QEvent::Wheel:
        if (target == drawingView_ && eventHandler_) {
            confirmSpaceRelease();
            eventHandler_->FollowModifiers(
                ShiftStateFromQt(static_cast<QWheelEvent*>(event)->modifiers(), {}));
        }
        break;
    case QEvent::Show:
        // A modal dialog takes every key from here on, releases included:
        // whatever is held now would otherwise stay held for the tools.
        if (target->isWindow() && target->isModal())
            releaseKeys();
        break;
    case QEvent::WindowActivate:
        // Back from elsewhere: what was held before may have been let go there.
        if (target == this)
            releaseKeys();
        break;
    default:
        break;
    }
    return false;
}

void TVeskForm::takeKeysToTheDrawing()
{
    // The pointer came back to the drawing from a panel where a value was
    // just typed: the keys that drive the drawing (Space, X, Z, Ctrl, Shift)
    // must reach the tool, not that field. Dialogs and menus keep theirs.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus == drawingView_ || QApplication::activeModalWidget()
        || QApplication::activePopupWidget())
        return;
    const QWidget* window = focus->window();
    if (window != objectEditor_.get() && window != layerWindow_.get() && window != this)
        return;
    // A field left this way takes what was typed, as it does when Tab leaves it.
    activateWindow();
    drawingView_->setFocus(Qt::OtherFocusReason);
}

bool TVeskForm::keyReachesTool(QWidget* target) const
{
    if (!eventHandler_)
        return false;
    // Every key of the application reaches the tool once, at the widget it
    // is meant for, except while a dialog or menu has the keyboard or the
    // user types into a text field.
    QWidget* focus = QApplication::focusWidget();
    if (target != drawingView_ && (focus ? target != focus : !target->isWindow()))
        return false;
    return !QApplication::activeModalWidget() && !QApplication::activePopupWidget()
        && !target->testAttribute(Qt::WA_InputMethodEnabled);
}

bool TVeskForm::isToolsShortcut(QWidget* target, const QKeyEvent* key) const
{
    const QKeySequence pressed(key->keyCombination());
    return (pressed == menu_->undoItem->shortcut() || pressed == menu_->redoItem->shortcut())
        && keyReachesTool(target);
}

void TVeskForm::routeKey(QWidget* target, QKeyEvent* key)
{
    if (!keyReachesTool(target))
        return;
    const int virtualKey = TVeskKeyState::VirtualKeyFromQtKey(key->key());
    const bool press = key->type() == QEvent::KeyPress;
    if (press && virtualKey == kVkSpace && spaceReleasePending_) {
        // The press half of a repeat pair: Space never was let go.
        cancelSpaceRelease();
        eventHandler_->WindowKeyDown(virtualKey);
        return;
    }
    confirmSpaceRelease();
    if (!eventHandler_)
        return;
    eventHandler_->FollowModifiers(ShiftStateFromQt(key->modifiers(), {}), virtualKey);
    if (virtualKey == 0 || !eventHandler_)
        return;
    if (press) {
        eventHandler_->WindowKeyDown(virtualKey);
    } else if (key->isAutoRepeat()) {
        // A held key repeats its press; the releases in between are not real.
    } else if (virtualKey == kVkSpace && (eventHandler_->KeyState().keys & TVeskKeyState::Space)) {
        spaceReleasePending_ = true;
        spaceRelease_.start();
    } else {
        eventHandler_->WindowKeyUp(virtualKey);
    }
}

} // namespace vesk
