#pragma once

#include "Gerberhatch.h"
#include "Preconvertpath.h"
#include "geometry/GraphicsPath.h"

#include <vector>

namespace vesk {

// The filled area of a shape in an X2 file: the figures of one path, taken
// together under the path's fill rule, written as regions of their exact
// (flattened) outline. Each connected piece is one region; its holes (the
// counters of letters, the hole of a ring) are joined to its outline by
// cut-ins, a pair of coincident edges from the outline to the hole and back,
// so that whatever lies beneath a hole stays as it was. Clear polarity would
// empty the hole of the copper of other objects too.
//
// A shape without outline whose figures enclose no area (a bare line) would
// vanish as a region, so it is stroked with the 0.3 mm round pen instead.
class TPreConvRegion : public TPreConvObject {
public:
    // Curves of X2 files, outlines and strokes alike, are flattened to this
    // tolerance (document units): 0.025 mm keeps the chords well inside the
    // 0.1 mm a reader's picture may differ by.
    static constexpr float kFlatness = 0.25f;

    TPreConvRegion(
        TApertureList& apertures, std::vector<THatchFigure> figures, FillMode mode, bool strokeWhenEmpty);

    void Write(TGerberBody& out) override;

    const std::vector<THatchFigure>& Figures() const { return figures_; }

    // One closed contour (file units) per region of the figures' area, holes
    // joined by cut-ins; every contour returns to its first point.
    using Contour = std::vector<std::pair<long long, long long>>;
    static std::vector<Contour> Contours(const std::vector<THatchFigure>& figures, FillMode mode);

private:
    std::vector<THatchFigure> figures_;
    FillMode mode_;
    bool strokeWhenEmpty_;
};

} // namespace vesk
