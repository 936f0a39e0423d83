#include "Veskrectproc.h"

#include "shapes/Veskrectangle.h"

namespace vesk {

std::unique_ptr<TVeskObject> TVeskRectProc::NewShape(TVeskLayer* layer, const TVeskSurface& surface) const
{
    return std::make_unique<TVeskRect>(layer, surface);
}

void TVeskRectProc::Place(TVeskObject& shape, PointF press, PointF pointer) const
{
    static_cast<TVeskRect&>(shape).SetCorners(press, pointer);
}

} // namespace vesk
