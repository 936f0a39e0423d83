#pragma once

#include <cstdint>

namespace vesk {

// The keys and mouse buttons now held, as two words of bits. Tools compare
// the whole keys word with a value (0x208 is Ctrl+R), so a chord matches only
// when no other listed key is held.
class TVeskKeyState {
public:
    enum Key : std::uint32_t {
        Ctrl = 0x008,
        Shift = 0x010,
        Space = 0x020,
        X = 0x040,
        Y = 0x080,
        Z = 0x100,
        R = 0x200,
        M = 0x400,
        G = 0x800,
    };
    enum Button : std::uint32_t { LeftButton = 0x2, RightButton = 0x4 };

    // Virtual-key codes of the listed keys (Ctrl 0x11, Shift 0x10, Space 0x20,
    // letters by their capital ASCII code); other codes map to 0.
    static std::uint32_t BitOfVirtualKey(int virtualKey);
    // Virtual-key code of a Qt key (Qt::Key_*): letters and digits by their
    // capital ASCII code, Ctrl 0x11, Shift 0x10, Alt 0x12, Space 0x20, Delete
    // 0x2E, Escape 0x1B, Return and Enter 0x0D, arrows, paging and function
    // keys by their usual codes; 0 for keys without one.
    static int VirtualKeyFromQtKey(int qtKey);

    // Returns false for keys that are not listed, which leave the state as it was.
    bool KeyDown(int virtualKey);
    bool KeyUp(int virtualKey);
    void ButtonDown(Button b) { buttons |= b; }
    void ButtonUp(Button b) { buttons &= ~std::uint32_t(b); }
    void Reset() { keys = buttons = 0; }

    std::uint32_t keys = 0;
    std::uint32_t buttons = 0;
};

} // namespace vesk
