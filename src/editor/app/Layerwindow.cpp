#include "Layerwindow.h"

#include "Editorcontext.h"
#include "Glyphlibrary.h"
#include "Layeredit.h"
#include "Layerrow.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Windowplacement.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace vesk {

namespace {
constexpr int kToolPanelHeight = 25;
// The rows leave room for the frame and the vertical scroll bar.
constexpr int kRowMargin = 25;

QToolButton* disabledButton(QWidget* parent, const QString& caption, int x)
{
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setGeometry(x, 0, 49, 22);
    button->setEnabled(false);
    return button;
}

} // namespace

TLayerWindow::TLayerWindow(TEditorContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , context_(context)
    , glyphs_(std::make_unique<GlyphLibrary>())
{
    setWindowTitle(QString());
    setAttribute(Qt::WA_ShowWithoutActivating);
    for (const char* name : { "Visible", "UnVisible", "Lock", "UnLock" })
        glyphPixmaps_.insert(QString::fromLatin1(name),
            glyphs_->Pixmap(QString::fromLatin1(name), TLayerRow::RowHeight - 1, devicePixelRatioF()));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* toolPanel = new QWidget(this);
    toolPanel->setFixedHeight(kToolPanelHeight);
    ButtonNew = disabledButton(toolPanel, QStringLiteral("New"), 0);
    ButtonDel = disabledButton(toolPanel, QStringLiteral("Del"), 48);
    column->addWidget(toolPanel);
    ScrollBox = new QScrollArea(this);
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox->setWidgetResizable(false);
    rowHolder_ = new QWidget;
    ScrollBox->setWidget(rowHolder_);
    column->addWidget(ScrollBox, 1);

    resize(205, 300);
    ApplyPlacement(
        *this, ReadPlacement(TSettingsFile(context_.SettingsFileName()), settings::kLayerWindow), true);

    TVeskLayerList& layers = Layers();
    connect(&layers, &TVeskLayerList::layersChanged, this, [this] { syncRows(); });
    connect(&layers, &TVeskLayerList::layerChanged, this, [this](TVeskLayer* layer) {
        if (TLayerRow* row = layer ? Row(layer->index) : nullptr)
            row->update();
    });
    syncRows();
}

TLayerWindow::~TLayerWindow()
{
    TSettingsFile file(context_.SettingsFileName());
    WritePlacement(file, settings::kLayerWindow, CapturePlacement(*this));
    file.UpdateFile();
}

TVeskLayerList& TLayerWindow::Layers() const
{
    return context_.Document().Layers();
}

TLayerRow* TLayerWindow::Row(int index) const
{
    return index >= 0 && index < RowCount() ? rows_[size_t(index)] : nullptr;
}

const QPixmap& TLayerWindow::Glyph(const char* name) const
{
    static const QPixmap none;
    const auto it = glyphPixmaps_.constFind(QLatin1String(name));
    return it == glyphPixmaps_.cend() ? none : *it;
}

void TLayerWindow::syncRows()
{
    const int count = Layers().LayerCount();
    while (RowCount() < count) {
        auto* row = new TLayerRow(*this, RowCount(), rowHolder_);
        rows_.push_back(row);
        row->show();
    }
    while (RowCount() > count) {
        // A row may be the one whose event changed the list: it goes once that event is over.
        TLayerRow* row = rows_.back();
        rows_.pop_back();
        row->hide();
        row->deleteLater();
    }
    // Nothing offers them yet; a cleared list is the moment they are set again.
    ButtonNew->setEnabled(false);
    ButtonDel->setEnabled(false);
    placeRows();
}

void TLayerWindow::placeRows()
{
    const int rowWidth = std::max(TLayerRow::LockEnd + 30, width() - kRowMargin);
    rowHolder_->resize(rowWidth + 2, RowCount() * TLayerRow::RowHeight + 2);
    for (TLayerRow* row : rows_) {
        row->setGeometry(1, row->Index() * TLayerRow::RowHeight + 1, rowWidth, TLayerRow::RowHeight);
        row->update();
    }
}

void TLayerWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeRows();
}

void TLayerWindow::RequestRedraw() const
{
    context_.RequestRedraw();
}

void TLayerWindow::RowSelect(TLayerRow& row)
{
    TVeskLayer* layer = row.Layer();
    if (!layer)
        return;
    Layers().SetCurrent(layer);
    // The current layer's objects are drawn more opaque.
    RequestRedraw();
}

TLayerRow* TLayerWindow::rowAt(QPoint globalPos) const
{
    const QPoint at = rowHolder_->mapFromGlobal(globalPos);
    if (!ScrollBox->viewport()->rect().contains(ScrollBox->viewport()->mapFromGlobal(globalPos)))
        return nullptr;
    for (TLayerRow* row : rows_)
        if (row->geometry().contains(at))
            return row;
    return nullptr;
}

void TLayerWindow::RowDragOver(TLayerRow& source, QPoint globalPos)
{
    TLayerRow* target = rowAt(globalPos);
    if (target == &source)
        target = nullptr;
    if (dropTarget_ && dropTarget_ != target)
        dropTarget_->SetDropLine(TLayerRow::DropLine::None);
    dropTarget_ = target;
    if (target)
        target->SetDropLine(
            target->Index() < source.Index() ? TLayerRow::DropLine::Top : TLayerRow::DropLine::Bottom);
}

void TLayerWindow::RowDrop(TLayerRow& source, QPoint globalPos)
{
    TLayerRow* target = rowAt(globalPos);
    RowDragEnd();
    TVeskLayer* moved = source.Layer();
    TVeskLayer* onto = target && target != &source ? target->Layer() : nullptr;
    if (!moved || !onto)
        return;
    context_.Command(QStringLiteral("レイヤーの移動"), [&] { Layers().MoveLayer(moved, onto); });
    RequestRedraw();
}

void TLayerWindow::RowDragEnd()
{
    if (dropTarget_)
        dropTarget_->SetDropLine(TLayerRow::DropLine::None);
    dropTarget_ = nullptr;
}

void TLayerWindow::RowEdit(TLayerRow& row)
{
    TVeskLayer* layer = row.Layer();
    if (!layer)
        return;
    // The step records what the dialog changed of the saved layer table.
    context_.Command(QStringLiteral("レイヤーの変更"), [&] {
        TLayerEdit editor(this);
        editor.LoadLayer(layer);
        editor.exec();
    });
}

} // namespace vesk
