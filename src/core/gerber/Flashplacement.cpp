#include "Flashplacement.h"

#include <cmath>

namespace vesk {

namespace {

// The element times 100000 rounded half up, sign dropped. The product is
// taken in float, the element's own precision, so that 0.999995 (within
// 0.000005 of 1) still rounds to 100000.
double fiveDecimals(float v)
{
    const float scaled = v * 100000.0f;
    return std::fabs(std::floor(double(scaled) + 0.5));
}

} // namespace

TFlashPlacement ClassifyFlashPlacement(const Matrix& m)
{
    const double a = fiveDecimals(m.M11()), b = fiveDecimals(m.M12());
    const double c = fiveDecimals(m.M21()), d = fiveDecimals(m.M22());
    constexpr double one = 100000.0;
    if (a == one && b == 0 && c == 0 && d == one)
        return TFlashPlacement::Unturned;
    if (a == 0 && b == one && c == one && d == 0)
        return TFlashPlacement::QuarterTurn;
    return TFlashPlacement::Other;
}

} // namespace vesk
