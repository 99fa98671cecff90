#pragma once
// Key translation between X key symbols and the window layer's virtual keys.
// Kept apart from the connection so it can be checked without a server.

#include <string>

namespace quelvo::win::x11 {

inline constexpr int kVkPacket = 0xE7;  // a key that only carries text

struct VirtualKey {
    int vk = 0;  // 0: no virtual key for the symbol
    bool extended = false;
};

// The virtual key of a key symbol (the key's unshifted symbol gives the
// physical key, as virtual keys name keys, not characters).
VirtualKey VirtualKeyFor(unsigned long keysym);

// What to queue for one key press that produced `text` (UTF-8).
struct KeyPlan {
    int vk = 0;              // 0: queue no key event
    bool extended = false;
    std::string postedText;  // text the layer would not derive: posted as WM_CHAR bytes
};
KeyPlan PlanKeyPress(VirtualKey key, const std::string& text, bool shift, bool capsLock, bool control);

// UTF-8 of a key symbol's character (Latin-1 and the Unicode range of key
// symbols); empty for symbols without one.
std::string TextForKeysym(unsigned long keysym);

}  // namespace quelvo::win::x11
