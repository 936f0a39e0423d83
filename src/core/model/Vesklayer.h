#pragma once

#include "geometry/Pen.h"

#include <QString>

namespace vesk {

class TVeskLayerList;

// One layer of the drawing: name, colour, and the flags that decide how and
// whether its objects are drawn and edited. Objects hold borrowed pointers to
// layers and compare the layer's current index, so reordering layers needs no
// change in the objects. Windows observe layers through TVeskLayerList: a
// layer in a list reports the changes made through its setters there.
class TVeskLayer {
public:
    explicit TVeskLayer(int index = 0, ARGB backgroundColor = 0xFFFFFFFF);

    int index = 0;
    bool current = false;
    // Change these two through SetVisible and SetLocked, so that the document
    // drops the layer's objects from the selection.
    bool visible = true;
    bool locked = false;
    // Once the layer is in a list, change mask and wireFrame (and the name
    // and colour) through the setters, so that the windows and the drawing follow.
    bool mask = false;
    bool printSelected = false;
    bool wireFrame = false;
    bool editPending = false;
    ARGB currentColor = 0;
    ARGB normalColor = 0;
    ARGB opaqueColor = 0;
    ARGB maskColor = 0xFFFFFFFF;

    // Alphas 200 (current), 120 (normal) and 255 (opaque); the given alpha is ignored.
    void SetColor(ARGB color);
    // maskColor if mask, else currentColor if current, else normalColor.
    ARGB DrawColor() const;

    const QString& Name() const { return name_; }
    // The list that holds the layer, or null.
    const TVeskLayerList* List() const { return list_; }
    void SetName(const QString& name);

    // Set the flag and tell the list's observers when it changed.
    void SetVisible(bool value);
    void SetLocked(bool value);
    void SetMask(bool value);
    void SetWireFrame(bool value);

private:
    friend class TVeskLayerList;
    void changed();

    QString name_;
    // The list that holds the layer, if any; set by the list.
    TVeskLayerList* list_ = nullptr;
};

} // namespace vesk
