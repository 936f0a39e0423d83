#include "Objecteditor.h"

#include "Editorcontext.h"
#include "Glyphlibrary.h"
#include "Objectlisttab.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Statustab.h"
#include "Surfacetab.h"
#include "Windowplacement.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace vesk {

TObjectEditor::TObjectEditor(TEditorContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , context_(context)
    , glyphs_(std::make_unique<GlyphLibrary>())
{
    setWindowTitle(QStringLiteral("ObjectEditor"));
    // It comes up beside the drawing without taking the keyboard from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pageControl_ = new QTabWidget(this);
    layout->addWidget(pageControl_);
    surfaceTab_ = new TSurfaceTab(context_, *glyphs_, pageControl_);
    pageControl_->addTab(surfaceTab_, surfaceTab_->Caption());
    pageControl_->setTabToolTip(0, surfaceTab_->CaptionHint());
    connect(surfaceTab_, &TSurfaceTab::captionChanged, this, [this] {
        const int page = pageControl_->indexOf(surfaceTab_);
        pageControl_->setTabText(page, surfaceTab_->Caption());
        pageControl_->setTabToolTip(page, surfaceTab_->CaptionHint());
    });
    objectListTab_ = new TObjectListTab(context_, pageControl_);
    pageControl_->addTab(objectListTab_, QStringLiteral("パッド"));
    statusTab_ = new TStatusTab(context_, pageControl_);
    pageControl_->addTab(statusTab_, QStringLiteral("グリッド"));
    resize(196, 180);
    ApplyPlacement(
        *this, ReadPlacement(TSettingsFile(context_.SettingsFileName()), settings::kObjectEditor), true);
}

TObjectEditor::~TObjectEditor()
{
    TSettingsFile file(context_.SettingsFileName());
    WritePlacement(file, settings::kObjectEditor, CapturePlacement(*this));
    file.UpdateFile();
}

void TObjectEditor::RefreshObjectEditor()
{
    surfaceTab_->Refresh();
    objectListTab_->Reload();
    statusTab_->Refresh();
}

} // namespace vesk
