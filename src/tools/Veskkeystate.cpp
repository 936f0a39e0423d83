#include "Veskkeystate.h"

#include <Qt>

namespace vesk {

std::uint32_t TVeskKeyState::BitOfVirtualKey(int virtualKey)
{
    switch (virtualKey) {
    case 0x11:
        return Ctrl;
    case 0x10:
        return Shift;
    case 0x20:
        return Space;
    case 'X':
        return X;
    case 'Y':
        return Y;
    case 'Z':
        return Z;
    case 'R':
        return R;
    case 'M':
        return M;
    case 'G':
        return G;
    default:
        return 0;
    }
}

int TVeskKeyState::VirtualKeyFromQtKey(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Alt:
        return 0x12;
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        return 0;
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
