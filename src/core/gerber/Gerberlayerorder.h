#pragma once

namespace vesk {

class TGerber_ostream;
class TVeskContainer;
class TVeskObject;

// Cut-outs in a Gerber file. The screen paints a cut-out white over whatever
// was painted before it, so the file writes it with clear polarity, after
// the dark objects the screen paints before it and before those it paints
// after: the children of a container that holds a cut-out on the layer go
// in drawing order. Elsewhere they go in child order, which paints the same.

// Whether the object removes copper on the layer: a shape on that layer with
// a cut-out surface, drawn filled (wire-frame layers draw every shape but
// text as a bare outline in the layer's colour).
bool PaintsClear(const TVeskObject& object, int layerIndex);

// The container's children for one layer, each written with the polarity it
// paints in; -1 only when the stream has failed.
int WriteChildrenGerber(const TVeskContainer& container, TGerber_ostream& out, int layerIndex);

} // namespace vesk
