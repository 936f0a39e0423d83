#pragma once

// The union outline of the objects on one layer, as used by the outline
// export: objects whose areas meet are merged into one figure (with holes
// where their union has them), objects apart stay separate figures.
//
// MergeOutlines gathers each object's area once, groups the objects whose
// bounds touch (an R-tree over the bounds, so only near objects are compared), and
// unites each group by polygon clipping, a large group in stages between
// spatial neighbours; groups whose bounds stay apart cannot share area or an
// edge, so their unions are the figures of the whole union. MergeOutlinesByScan is the direct cluster-growing
// scan: it grows one cluster at a time by testing every remaining object against the cluster's union,
// quadratic in the number of objects; it is kept as the reference the fast one is checked and measured
// against.

#include <span>

namespace vesk {

class GraphicsPath;
class TVeskObject;

// Adds the union of the objects' areas on the layer to `into`, merged with
// what `into` already holds (under its own fill mode).
void MergeOutlines(std::span<const TVeskObject* const> objects, int layerIndex, GraphicsPath& into);
void MergeOutlinesByScan(std::span<const TVeskObject* const> objects, int layerIndex, GraphicsPath& into);

} // namespace vesk
