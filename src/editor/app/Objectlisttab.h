#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

class QLabel;

namespace vesk {

class TEditorContext;
class TPadGrid;
class TVeskGroup;
class TVeskLayerList;
class TVeskPartArtwork;

// The object editor's "パッド" page: a thumbnail of every readable pad file
// of the pad folder, in the folder's stable name order. A pad is drawn with
// its origin in the middle of its cell, at one pixel per document unit, or
// scaled down to fit with the scale written in the cell. Choosing a cell
// makes that pad the one the pad tool inserts and switches to that tool;
// the label names the pad under the pointer, else the chosen one.
class TObjectListTab : public QWidget {
    Q_OBJECT
public:
    explicit TObjectListTab(TEditorContext& context, QWidget* parent = nullptr);
    ~TObjectListTab() override;

    // Reads the pad folder again; the first pad is chosen, or none when no
    // file could be read. The pads keep to their own layers: listing them
    // leaves the document alone.
    void Reload();
    // The chosen pad, or null.
    const TVeskGroup* CurrentPad() const;
    // A copy of the chosen pad on the layers of `into` (adding those it
    // lacks), or null when none is chosen.
    std::unique_ptr<TVeskGroup> PlaceCurrentPad(TVeskLayerList& into) const;
    int ChosenPad() const { return chosenPad; }
    int PadCount() const { return int(pads.size()); }
    const TVeskGroup& Pad(int index) const;
    const QImage& Thumbnail(int index) const { return thumbnails[size_t(index)]; }
    // As a click on the cell: an index past the pads is refused.
    void ChoosePad(int index);

    TPadGrid* padGrid = nullptr;
    QLabel* padLabel = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage thumbnailOf(const TVeskPartArtwork& pad) const;
    void showName(int index);

    TEditorContext& context_;
    int chosenPad = -1;
    std::vector<std::unique_ptr<TVeskPartArtwork>> pads;
    std::vector<QImage> thumbnails;
};

} // namespace vesk
