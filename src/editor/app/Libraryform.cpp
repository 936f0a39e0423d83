#include "Libraryform.h"

#include "Editorcontext.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Windowplacement.h"
#include "io/Veskpartfile.h"
#include "model/Colorstyle.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskgroup.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace vesk {

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kIsFileRole = Qt::UserRole + 1;
// Deeper than any library needs; stops a folder that links back into itself.
constexpr int kMaxDepth = 32;
} // namespace

TLibraryForm::TLibraryForm(TEditorContext& context, QWidget* parent)
    : QDialog(parent, Qt::Tool)
    , context_(context)
{
    setWindowTitle(QStringLiteral("LibraryForm"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);

    libraryLabel = new QLabel(QStringLiteral("ライブラリ"), this);
    libraryTree = new QTreeWidget(this);
    libraryTree->setHeaderHidden(true);
    libraryTree->setIndentation(19);
    libraryTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Whole names, scrolled sideways when the window is narrow: a part
    // library's names differ at their ends ("MountingHole_M2.5_NPTH.vbf").
    libraryTree->setTextElideMode(Qt::ElideNone);
    libraryTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    libraryTree->header()->setStretchLastSection(false);
    libraryTree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    libraryTree->setMinimumWidth(185);
    previewLabel = new QLabel(QStringLiteral("プレビュー"), this);
    previewBox = new QWidget(this);
    previewBox->setMinimumSize(201, 241);
    previewBox->installEventFilter(this);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : { okButton, cancelButton }) {
        button->setFixedSize(97, 25);
        button->setAutoDefault(false);
    }
    // Enter in the tree takes the part, as OK does.
    okButton->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 5, 8);
    grid->setHorizontalSpacing(7);
    grid->setVerticalSpacing(2);
    grid->addWidget(libraryLabel, 0, 0);
    grid->addWidget(previewLabel, 0, 1);
    grid->addWidget(libraryTree, 1, 0, 2, 1);
    grid->addWidget(previewBox, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 5, 0, 0);
    buttons->setSpacing(7);
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    grid->addLayout(buttons, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(libraryTree, &QTreeWidget::itemClicked, this,
        [this](QTreeWidgetItem* node) { LibraryTreeClick(node); });

    setMinimumSize(414, 328);
    resize(480, 360);
    RestoreDialogPlacement(*this, TSettingsFile(context_.SettingsFileName()), settings::kLibraryWindow);
    FillTree();
}

TLibraryForm::~TLibraryForm()
{
    TSettingsFile file(context_.SettingsFileName());
    WritePlacement(file, settings::kLibraryWindow, CapturePlacement(*this));
    file.UpdateFile();
}

bool TLibraryForm::Choose()
{
    FillTree();
    return exec() == QDialog::Accepted;
}

void TLibraryForm::ResetLibrary()
{
    loadedPart.reset();
    previewMessage.clear();
    previewBox->update();
}

void TLibraryForm::FillTree()
{
    // The tree as the user left it: the folders open and the part chosen,
    // by path, so that what was added or removed meanwhile fits in.
    QSet<QString> expanded;
    for (QTreeWidgetItemIterator it(libraryTree); *it; ++it)
        if ((*it)->isExpanded())
            expanded.insert((*it)->data(0, kPathRole).toString());
    const QString chosen
        = libraryTree->currentItem() ? libraryTree->currentItem()->data(0, kPathRole).toString() : QString();
    const bool firstFill = libraryTree->topLevelItemCount() == 0;

    libraryTree->clear();
    auto* root = new QTreeWidgetItem(libraryTree, { QStringLiteral("lib") });
    root->setData(0, kPathRole, context_.LibraryFolder());
    QStringList visited;
    fillFolder(root, context_.LibraryFolder(), 0, visited);
    if (firstFill)
        root->setExpanded(true);
    QTreeWidgetItem* current = nullptr;
    for (QTreeWidgetItemIterator it(libraryTree); *it; ++it) {
        const QString path = (*it)->data(0, kPathRole).toString();
        if (expanded.contains(path))
            (*it)->setExpanded(true);
        if (!chosen.isEmpty() && path == chosen)
            current = *it;
    }
    if (!current)
        return;
    // Into view, unless the user closed a folder above it: scrolling to it,
    // now or when the window shows, would open that folder again.
    bool shown = true;
    for (const QTreeWidgetItem* up = current->parent(); up; up = up->parent())
        shown = shown && up->isExpanded();
    const bool autoScroll = libraryTree->hasAutoScroll();
    libraryTree->setAutoScroll(shown);
    libraryTree->setCurrentItem(current);
    libraryTree->setAutoScroll(autoScroll);
    if (shown)
        libraryTree->scrollToItem(current);
    // A part forgotten with the document is the one still chosen here.
    if (!loadedPart && previewMessage.isEmpty())
        LibraryTreeClick(current);
}

void TLibraryForm::fillFolder(QTreeWidgetItem* node, const QString& folder, int depth, QStringList& visited)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (depth > kMaxDepth || canonical.isEmpty() || visited.contains(canonical))
        return;
    visited << canonical;
    const QDir dir(folder);
    for (const QString& name : PartSubfolders(folder)) {
        auto* child = new QTreeWidgetItem(node, { name });
        child->setData(0, kPathRole, dir.filePath(name));
        fillFolder(child, dir.filePath(name), depth + 1, visited);
    }
    for (const QString& name : PartFiles(folder)) {
        auto* child = new QTreeWidgetItem(node, { name });
        child->setData(0, kPathRole, dir.filePath(name));
        child->setData(0, kIsFileRole, true);
    }
    visited.removeLast();
}

const TVeskGroup* TLibraryForm::LoadedPart() const
{
    return loadedPart ? &loadedPart->Group() : nullptr;
}

std::unique_ptr<TVeskGroup> TLibraryForm::PlaceLoadedPart(TVeskLayerList& into) const
{
    return loadedPart ? loadedPart->PlaceOn(into) : nullptr;
}

void TLibraryForm::LibraryTreeClick(QTreeWidgetItem* node)
{
    if (!node || !node->data(0, kIsFileRole).toBool())
        return;
    loadedPart = TVeskPartArtwork::ReadFile(node->data(0, kPathRole).toString());
    previewMessage = loadedPart ? QString() : QStringLiteral("読み込めません: ") + node->text(0);
    previewBox->update();
}

bool TLibraryForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == previewBox && event->type() == QEvent::Paint) {
        paintPreview();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TLibraryForm::paintPreview()
{
    QPainter g(previewBox);
    const TDrawStyle& style = context_.DrawStyle();
    g.fillRect(previewBox->rect(), QColor::fromRgba(style.backgroundColor));
    if (!previewMessage.isEmpty()) {
        g.setPen(Qt::black);
        g.drawText(
            previewBox->rect().adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap, previewMessage);
        return;
    }
    if (!loadedPart)
        return;
    g.setRenderHint(QPainter::Antialiasing);
    g.translate(previewBox->width() / 2, previewBox->height() / 2);
    // One pixel per document unit: pens that follow the zoom follow this one.
    TDrawStyle unscaled = style;
    unscaled.SetZoom(1.0);
    for (int layer = loadedPart->Layers().LayerCount() - 1; layer >= 0; --layer)
        loadedPart->Group().Draw(g, layer, unscaled);
}

} // namespace vesk
