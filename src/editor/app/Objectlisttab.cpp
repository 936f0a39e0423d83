#include "Objectlisttab.h"

#include "Editorcontext.h"
#include "Mainform.h"
#include "Padgrid.h"
#include "Vesktoolbar.h"
#include "io/Veskpartfile.h"
#include "model/Colorstyle.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskgroup.h"

#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace vesk {

TObjectListTab::TObjectListTab(TEditorContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
{
    padGrid = new TPadGrid(this);
    padGrid->move(2, 4);
    padLabel = new QLabel(this);
    padLabel->move(2, 0);
    connect(padGrid, &TPadGrid::cellClicked, this, [this](int index) { ChoosePad(index); });
    connect(padGrid, &TPadGrid::cellHovered, this, [this](int index) { showName(index); });
}

TObjectListTab::~TObjectListTab() = default;

void TObjectListTab::Reload()
{
    pads.clear();
    thumbnails.clear();
    chosenPad = -1;
    const QDir folder(context_.PadFolder());
    for (const QString& name : PartFiles(folder.path())) {
        std::unique_ptr<TVeskPartArtwork> pad = TVeskPartArtwork::ReadFile(folder.filePath(name));
        if (!pad)
            continue;
        pad->Group().SetName(name);
        thumbnails.push_back(thumbnailOf(*pad));
        pads.push_back(std::move(pad));
    }
    if (!pads.empty())
        chosenPad = 0;
    padGrid->SetImages(thumbnails);
    padGrid->SetChosen(chosenPad);
    showName(-1);
}

const TVeskGroup& TObjectListTab::Pad(int index) const
{
    return pads[size_t(index)]->Group();
}

const TVeskGroup* TObjectListTab::CurrentPad() const
{
    return chosenPad >= 0 ? &Pad(chosenPad) : nullptr;
}

std::unique_ptr<TVeskGroup> TObjectListTab::PlaceCurrentPad(TVeskLayerList& into) const
{
    return chosenPad >= 0 ? pads[size_t(chosenPad)]->PlaceOn(into) : nullptr;
}

void TObjectListTab::ChoosePad(int index)
{
    if (index < 0 || index >= PadCount())
        return;
    chosenPad = index;
    padGrid->SetChosen(index);
    showName(-1);
    if (context_.mainForm)
        context_.mainForm->ToolBar().SelectToolByName(QStringLiteral("PadTool"));
}

void TObjectListTab::showName(int index)
{
    if (index < 0 || index >= PadCount())
        index = chosenPad;
    padLabel->setText(index >= 0 ? Pad(index).GetName() : QString());
    padLabel->adjustSize();
}

QImage TObjectListTab::thumbnailOf(const TVeskPartArtwork& artwork) const
{
    const TVeskGroup& pad = artwork.Group();
    const int c = TPadGrid::CellSize;
    const TDrawStyle& style = context_.DrawStyle();
    QImage image(c, c, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor::fromRgba(style.backgroundColor));
    RectF bounds;
    pad.GetBounds(bounds);
    const double larger = std::max(bounds.Width, bounds.Height);
    const double scale = larger > c ? c / larger : 1.0;

    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    g.translate(c / 2, c / 2);
    g.scale(scale, scale);
    TDrawStyle scaled = style;
    scaled.SetZoom(scale);
    for (int layer = artwork.Layers().LayerCount() - 1; layer >= 0; --layer)
        pad.Draw(g, layer, scaled);
    if (scale != 1.0) {
        g.resetTransform();
        g.setPen(Qt::black);
        g.setFont(font());
        g.drawText(QRect(8, c - 13, c - 8, 13), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
            QLocale::c().toString(scale, 'g', QLocale::FloatingPointShortest));
    }
    return image;
}

void TObjectListTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    padGrid->resize(std::max(0, width() - 4), std::max(0, height() - 20));
    padLabel->move(2, height() - 15);
}

} // namespace vesk
