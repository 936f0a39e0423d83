#include "PointF.h"

#include <algorithm>

namespace vesk {

RectF RectF::Union(const RectF& a, const RectF& b)
{
    const float l = std::min(a.GetLeft(), b.GetLeft());
    const float t = std::min(a.GetTop(), b.GetTop());
    const float r = std::max(a.GetRight(), b.GetRight());
    const float bt = std::max(a.GetBottom(), b.GetBottom());
    return { l, t, r - l, bt - t };
}

} // namespace vesk
