// Key symbols to virtual keys, and which text the layer cannot derive.
#include "platform/windows/x11/x11_keys.h"

#include <X11/keysym.h>

#include "platform/system/text_conversion.h"
#include "platform/windows/loop.h"
#include "platform/windows/windefs.h"

namespace quelvo::win::x11 {

namespace {

struct SymKey {
    unsigned long sym;
    int vk;
    bool extended;
};

// Keys whose virtual key does not follow from a character.
constexpr SymKey kSymKeys[] = {
    {XK_BackSpace, VK_BACK, false},   {XK_Tab, VK_TAB, false},          {XK_ISO_Left_Tab, VK_TAB, false},
    {XK_Return, VK_RETURN, false},    {XK_KP_Enter, VK_RETURN, true},   {XK_Escape, VK_ESCAPE, false},
    {XK_Pause, VK_PAUSE, false},      {XK_Caps_Lock, VK_CAPITAL, false},{XK_space, VK_SPACE, false},
    {XK_Prior, VK_PRIOR, true},       {XK_Next, VK_NEXT, true},         {XK_End, VK_END, true},
    {XK_Home, VK_HOME, true},         {XK_Left, VK_LEFT, true},         {XK_Up, VK_UP, true},
    {XK_Right, VK_RIGHT, true},       {XK_Down, VK_DOWN, true},         {XK_Insert, VK_INSERT, true},
    {XK_Delete, VK_DELETE, true},     {XK_Help, VK_HELP, false},        {XK_Super_L, VK_LWIN, true},
    {XK_Super_R, VK_RWIN, true},      {XK_Menu, VK_APPS, true},         {XK_KP_Multiply, VK_MULTIPLY, false},
    {XK_KP_Add, VK_ADD, false},       {XK_KP_Subtract, VK_SUBTRACT, false}, {XK_KP_Decimal, VK_DECIMAL, false},
    {XK_KP_Divide, VK_DIVIDE, true},  {XK_Num_Lock, VK_NUMLOCK, false}, {XK_Scroll_Lock, VK_SCROLL, false},
    {XK_Shift_L, VK_SHIFT, false},    {XK_Shift_R, VK_SHIFT, false},    {XK_Control_L, VK_CONTROL, false},
    {XK_Control_R, VK_CONTROL, true}, {XK_Alt_L, VK_MENU, false},       {XK_Alt_R, VK_MENU, true},
    {XK_ISO_Level3_Shift, VK_MENU, true}, {XK_Meta_L, VK_MENU, false},  {XK_KP_Home, VK_HOME, false},
    {XK_KP_End, VK_END, false},       {XK_KP_Left, VK_LEFT, false},     {XK_KP_Right, VK_RIGHT, false},
    {XK_KP_Up, VK_UP, false},         {XK_KP_Down, VK_DOWN, false},     {XK_KP_Prior, VK_PRIOR, false},
    {XK_KP_Next, VK_NEXT, false},     {XK_KP_Insert, VK_INSERT, false}, {XK_KP_Delete, VK_DELETE, false},
};

// Punctuation keys of the layer's keyboard: unshifted and shifted character.
struct OemKey {
    int vk;
    char plain;
    char shifted;
};
constexpr OemKey kOemKeys[] = {{0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},
                               {0xBE, '.', '>'}, {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'},
                               {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}};

}  // namespace

VirtualKey VirtualKeyFor(unsigned long sym)
{
    if (sym >= XK_a && sym <= XK_z) return {static_cast<int>(sym - XK_a + 'A'), false};
    if (sym >= XK_A && sym <= XK_Z) return {static_cast<int>(sym), false};
    if (sym >= XK_0 && sym <= XK_9) return {static_cast<int>(sym), false};
    if (sym >= XK_KP_0 && sym <= XK_KP_9) return {static_cast<int>(VK_NUMPAD0 + (sym - XK_KP_0)), false};
    if (sym >= XK_F1 && sym <= XK_F24) return {static_cast<int>(VK_F1 + (sym - XK_F1)), false};
    for (const SymKey& k : kSymKeys)
        if (k.sym == sym) return {k.vk, k.extended};
    if (sym < 0x80) {
        for (const OemKey& k : kOemKeys)
            if (static_cast<unsigned long>(static_cast<unsigned char>(k.plain)) == sym ||
                static_cast<unsigned long>(static_cast<unsigned char>(k.shifted)) == sym)
                return {k.vk, false};
    }
    return {};
}


KeyPlan PlanKeyPress(VirtualKey key, const std::string& given, bool shift, bool capsLock, bool control)
{
    KeyPlan plan;
    char derived = key.vk ? CharForVirtualKey(key.vk, shift, capsLock, control) : 0;
    std::string text = given;
    if (text.size() == 1) {
        auto c = static_cast<unsigned char>(text[0]);
        // Delete's 0x7F and the like are no typed characters of the layer,
        // and Ctrl with a digit or sign types nothing there either.
        if (((c < 0x20 || c == 0x7F) && derived == 0) || (control && c >= 0x20)) text.clear();
    }
    // X reports Return as "\r" and BackSpace as "\b" already; a lone byte the
    // layer derives identically needs nothing more.
    bool same = (text.empty() && derived == 0) || (text.size() == 1 && text[0] == derived);
    if (same || (text.empty() && key.vk)) {
        plan.vk = key.vk;
        plan.extended = key.extended;
        return plan;
    }
    // The layer would type something else (another layout, a composed or
    // non-ASCII character): the key only carries the text.
    plan.vk = key.vk && derived == 0 ? key.vk : kVkPacket;
    plan.extended = key.extended;
    plan.postedText = text;
    return plan;
}

std::string TextForKeysym(unsigned long sym)
{
    unsigned long cp = 0;
    if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) cp = sym;
    else if (sym >= 0x01000100 && sym <= 0x0110FFFF) cp = sym - 0x01000000;
    else return {};
    if (cp >= 0xD800 && cp <= 0xDFFF) return {};
    std::string out;
    sys::AppendUtf8(out, static_cast<char32_t>(cp));
    return out;
}

}  // namespace quelvo::win::x11
