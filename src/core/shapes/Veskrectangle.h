#pragma once

#include "Veskboxshape.h"
#include "io/Outlinebuild.h"

namespace vesk {

// An axis-aligned rectangle in local coordinates placed by its matrix:
// rectangular pads, copper areas, board outlines. The rectangle tool sets it
// from two opposite corners; the point tool resizes it through its handles
// (0 the centre, 1 corner A, 2 (B.x, A.y), 3 corner B, 4 (A.x, B.y)), from
// which the rectangle is derived on every rebuild, normalised, so a corner
// dragged across the opposite side just swaps the sides.
class TVeskRect : public TVeskBoxShape {
public:
    TVeskRect(TVeskLayer* layer, const TVeskSurface& surface);
    TVeskRect(const TVeskRect& other);
    // Reads the record after its tag "RECT", in the stream's version; builds
    // the outline when `build` says so.
    explicit TVeskRect(TVesk_istream& in, TOutlineBuild build = TOutlineBuild::Now);

    std::unique_ptr<TVeskObject> Clone() const override;
    void Rebuild() override;
    const char* Tag() const override { return "RECT"; }

    // Places the rectangle between two document points, centred on their
    // midpoint with any earlier rotation dropped, and selects it.
    void SetCorners(PointF a, PointF b);

    const RectF& Rect() const { return box_; }

protected:
    void addFigure(GraphicsPath& path) const override;
    void moveHandle(int index, PointF v) override;
    void addFlash(TGerber_ostream& out, const Pen* pen, bool quarterTurn) const override;
    bool mergesOwnFigures() const override { return true; }
};

} // namespace vesk
