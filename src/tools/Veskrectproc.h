#pragma once

#include "Veskshapedragproc.h"

namespace vesk {

// "RectangleTool": an axis-parallel rectangle between the press point and
// the pointer.
class TVeskRectProc : public TVeskShapeDragProc {
public:
    using TVeskShapeDragProc::TVeskShapeDragProc;

protected:
    std::unique_ptr<TVeskObject> NewShape(TVeskLayer* layer, const TVeskSurface& surface) const override;
    void Place(TVeskObject& shape, PointF press, PointF pointer) const override;
};

} // namespace vesk
