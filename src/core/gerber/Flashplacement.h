#pragma once

#include "geometry/Matrix.h"

namespace vesk {

// How a rectangle or an ellipse is placed, as far as a flash can show it:
// moved, half-turned or mirrored along an axis keeps its width and height;
// a quarter turn or a mirror about a diagonal exchanges them; any other
// placement (another angle, a scale, a shear) cannot be flashed. The four
// linear elements are compared rounded to five decimals, signs dropped, so
// that the float noise of a rotation by a multiple of 90 degrees still counts.
enum class TFlashPlacement { Unturned, QuarterTurn, Other };

TFlashPlacement ClassifyFlashPlacement(const Matrix& m);

} // namespace vesk
