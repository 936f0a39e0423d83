#pragma once

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

class QScrollArea;
class QToolButton;

namespace vesk {

class GlyphLibrary;
class TEditorContext;
class TLayerRow;
class TVeskLayer;
class TVeskLayerList;

// The floating layer window: one row per layer of the open document, top
// to bottom in list order. It observes the document's layer list and keeps
// its rows in step with it; the list itself is a plain model. The user
// picks the current layer, shows and hides layers, locks them, drags one
// onto another to reorder, and double-clicks one to edit it in TLayerEdit.
// Reordering and editing change the layer table that is saved, so they mark
// the document modified (they are not undo steps); showing, hiding and
// locking are not saved and do not. The placement lives in the
// "LayerWindow" section of the settings file.
class TLayerWindow : public QWidget {
    Q_OBJECT
public:
    TLayerWindow(TEditorContext& context, QWidget* parent = nullptr);
    ~TLayerWindow() override;

    TVeskLayerList& Layers() const;
    int RowCount() const { return int(rows_.size()); }
    TLayerRow* Row(int index) const;
    // "Visible", "UnVisible", "Lock" or "UnLock" at the row's size.
    const QPixmap& Glyph(const char* name) const;

    QToolButton* ButtonNew = nullptr;
    QToolButton* ButtonDel = nullptr;
    QScrollArea* ScrollBox = nullptr;

    // What the rows report.
    void RowSelect(TLayerRow& row);
    void RowDragOver(TLayerRow& source, QPoint globalPos);
    void RowDrop(TLayerRow& source, QPoint globalPos);
    void RowDragEnd();
    void RowEdit(TLayerRow& row);
    void RequestRedraw() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // As many rows as layers, each at its place.
    void syncRows();
    void placeRows();
    TLayerRow* rowAt(QPoint globalPos) const;

    TEditorContext& context_;
    std::unique_ptr<GlyphLibrary> glyphs_;
    QHash<QString, QPixmap> glyphPixmaps_;
    QWidget* rowHolder_ = nullptr;
    std::vector<TLayerRow*> rows_;
    QPointer<TLayerRow> dropTarget_;
};

} // namespace vesk
