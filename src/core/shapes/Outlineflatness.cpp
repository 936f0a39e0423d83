#include "Outlineflatness.h"

namespace vesk {

namespace {
thread_local float flatness = 0.25f;
}

float OutlineFlatness()
{
    return flatness;
}

TOutlineFlatnessScope::TOutlineFlatnessScope(float f)
    : previous_(flatness)
{
    flatness = f;
}

TOutlineFlatnessScope::~TOutlineFlatnessScope()
{
    flatness = previous_;
}

} // namespace vesk
