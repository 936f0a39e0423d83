#pragma once

#include "Veskshapedragproc.h"

namespace vesk {

// "EllipseTool": a circle centred on the press point through the pointer.
class TVeskEllipseProc : public TVeskShapeDragProc {
public:
    using TVeskShapeDragProc::TVeskShapeDragProc;

protected:
    std::unique_ptr<TVeskObject> NewShape(TVeskLayer* layer, const TVeskSurface& surface) const override;
    void Place(TVeskObject& shape, PointF press, PointF pointer) const override;
};

} // namespace vesk
