#pragma once

#include "Vesklayer.h"

#include <QObject>
#include <memory>
#include <vector>

namespace vesk {

class TVesk_istream;
class TVesk_ostream;

// The layer table as a document keeps it: the layers in order with what the
// file stores of each. Undo steps keep one from before and after an edit
// that changed it.
struct TVeskLayerTable {
    struct Entry {
        TVeskLayer* layer = nullptr;
        QString name;
        ARGB color = 0;
        bool mask = false;
        bool wireFrame = false;
        bool operator==(const Entry&) const = default;
    };
    std::vector<Entry> entries;
    bool operator==(const TVeskLayerTable&) const = default;
};

// The ordered list of layers of a document, 0 on top, with exactly one
// current layer while not empty. Owned by the document context; the layer
// window's rows observe it through its signals.
class TVeskLayerList : public QObject {
    Q_OBJECT
public:
    explicit TVeskLayerList(QObject* parent = nullptr);
    ~TVeskLayerList() override;

    int LayerCount() const { return int(layers_.size()); }
    // Null outside 0 .. count-1.
    TVeskLayer* LayerAt(int i) const;
    TVeskLayer* CurrentLayer() const { return current_; }
    // First layer with exactly this name (case-sensitive), or null.
    TVeskLayer* FindLayer(const QString& name) const;
    // Whether a layer other than `except` has a name that reads back from
    // a file as this one would: objects are bound to layers by the stored
    // name, so two such layers would merge on the next opening.
    bool NameTaken(const QString& name, const TVeskLayer* except) const;
    // Inserted before the current layer (at the end when none), made current.
    TVeskLayer* AddLayer(ARGB color);
    TVeskLayer* AddNamedLayer(ARGB color, const QString& name);
    // Before target when target lay above source, else after it.
    void MoveLayer(TVeskLayer* source, TVeskLayer* target);
    void ClearLayers();
    // The nine default layers; "solder" current.
    void ResetToDefaults();
    void SetCurrent(TVeskLayer* layer);
    // Makes current the topmost layer a new drawing shows on: visible,
    // unlocked and not a mask (a mask layer is drawn in the background
    // colour). Falls back to the topmost layer that is not a mask, then to
    // the topmost layer.
    void ChooseDrawingLayer();

    TVeskLayerTable Table() const;
    // Turns the table `from` into `to` where they differ: layers of `from`
    // missing from `to` leave the list (kept aside, for objects of recorded
    // states still point at them), layers of `to` come back in its order
    // and take its names, colours and flags where `from` differs. Layers in
    // neither stay, after them.
    void RestoreTable(const TVeskLayerTable& to, const TVeskLayerTable& from);

    // Layer table of the document format: count, then entries last to first.
    void WriteLayerTable(TVesk_ostream& out) const;
    // Clears the list and adds the stored layers; false when the stream failed.
    bool ReadLayerTable(TVesk_istream& in);

    // Colour of the background that mask layers are drawn in.
    void SetBackgroundColor(ARGB color) { backgroundColor_ = color; }

Q_SIGNALS:
    // The set, order or current layer changed.
    void layersChanged();
    // A layer's name, colour or flags changed. Hiding or locking a layer is
    // reported here; the document's own handler, connected first, has dropped
    // the layer's objects from the selection before later observers run.
    void layerChanged(TVeskLayer* layer);

private:
    void renumber();

    std::vector<std::unique_ptr<TVeskLayer>> layers_;
    // Layers taken out by RestoreTable, until the list is cleared.
    std::vector<std::unique_ptr<TVeskLayer>> retired_;
    TVeskLayer* current_ = nullptr;
    ARGB backgroundColor_ = 0xFFFFFFFF;
};

} // namespace vesk
