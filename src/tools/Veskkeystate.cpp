#include "Veskkeystate.h"

namespace vesk {

std::uint32_t TVeskKeyState::BitOfVirtualKey(int virtualKey)
{
    switch (virtualKey) {
    case 0x11: return Ctrl;
    case 0x10: return Shift;
    case 0x20: return Space;
    case 'X': return X;
    case 'Y': return Y;
    case 'Z': return Z;
    case 'R': return R;
    case 'M': return M;
    case 'G': return G;
    default: return 0;
    }
}

bool TVeskKeyState::KeyDown(int virtualKey)
{
    const std::uint32_t bit = BitOfVirtualKey(virtualKey);
    keys |= bit;
    return bit != 0;
}

bool TVeskKeyState::KeyUp(int virtualKey)
{
    const std::uint32_t bit = BitOfVirtualKey(virtualKey);
    keys &= ~bit;
    return bit != 0;
}

} // namespace vesk
