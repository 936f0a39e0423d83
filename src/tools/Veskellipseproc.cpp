#include "Veskellipseproc.h"

#include "shapes/Veskellipse.h"

namespace vesk {

std::unique_ptr<TVeskObject> TVeskEllipseProc::NewShape(TVeskLayer* layer, const TVeskSurface& surface) const
{
    return std::make_unique<TVeskEllipse>(layer, surface);
}

void TVeskEllipseProc::Place(TVeskObject& shape, PointF press, PointF pointer) const
{
    static_cast<TVeskEllipse&>(shape).SetCircle(press, pointer);
}

} // namespace vesk
