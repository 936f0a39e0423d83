#pragma once

#include "Veskboxshape.h"
#include "io/Outlinebuild.h"

namespace vesk {

// An axis-aligned ellipse inscribed in a box centred on the local origin and
// placed by its matrix: circular pads, vias, circles. The ellipse tool sets it
// as a circle from its centre and a rim point; the point tool stretches one
// semi-axis at a time through the four axis handles (1 bottom, 2 right,
// 3 top, 4 left of the centre handle 0), which are derived from the box.
//
// Dragging an axis handle past the centre leaves the box with a negative
// width or height. The box is kept as it is, so the drag carries on smoothly
// through the centre, and the figure is built from the normalised box.
class TVeskEllipse : public TVeskBoxShape {
public:
    TVeskEllipse(TVeskLayer* layer, const TVeskSurface& surface);
    TVeskEllipse(const TVeskEllipse& other);
    // Reads the record after its tag "ELPS", in the stream's version; the
    // stored handles give way to those derived from the box. The outline is
    // built when `build` says so.
    explicit TVeskEllipse(TVesk_istream& in, TOutlineBuild build = TOutlineBuild::Now);

    std::unique_ptr<TVeskObject> Clone() const override;
    void Rebuild() override;
    const char* Tag() const override { return "ELPS"; }

    // Makes the ellipse a circle centred on c through the rim point e, with
    // any earlier rotation dropped, and selects it.
    void SetCircle(PointF c, PointF e);

    // As stored: width or height may be negative (see the class comment).
    const RectF& Box() const { return box_; }
    // The box with non-negative width and height that the figure is built in.
    RectF NormalizedBox() const;

protected:
    void addFigure(GraphicsPath& path) const override;
    void moveHandle(int index, PointF v) override;
    void addFlash(TGerber_ostream& out, const Pen* pen, bool quarterTurn) const override;
};

} // namespace vesk
