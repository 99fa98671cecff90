// Layered attributes live in window properties, so they go with the window.
#include "platform/windows/x11/layered.h"

#include <cstdint>

#include "platform/windows/display.h"

namespace {

constexpr const char* kAttributesProp = quelvo::win::kLayeredAttributesProp;
constexpr const char* kKeyProp = "Quelvo.LayeredKey";

bool IsLayered(HWND hwnd)
{
    return IsWindow(hwnd) && (static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)) & WS_EX_LAYERED) != 0;
}

}  // namespace

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags)
{
    if (!IsLayered(hwnd)) return FALSE;
    flags &= LWA_COLORKEY | LWA_ALPHA;
    // Bit 16 marks "set" so that alpha 0 without flags is still told apart.
    auto packed = static_cast<std::uintptr_t>(0x10000u | (flags << 8) | alpha);
    SetPropA(hwnd, kAttributesProp, reinterpret_cast<HANDLE>(packed));
    SetPropA(hwnd, kKeyProp, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(key) | 0x100000000ull));
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags)
{
    if (!IsLayered(hwnd)) return FALSE;
    auto packed = reinterpret_cast<std::uintptr_t>(GetPropA(hwnd, kAttributesProp));
    auto k = reinterpret_cast<std::uintptr_t>(GetPropA(hwnd, kKeyProp));
    if (key) *key = static_cast<COLORREF>(k & 0xFFFFFFFFu);
    if (alpha) *alpha = packed ? static_cast<BYTE>(packed & 0xFF) : 255;
    if (flags) *flags = static_cast<DWORD>((packed >> 8) & 0xFF);
    return TRUE;
}

namespace quelvo::win {

BYTE WindowAlpha(HWND hwnd)
{
    BYTE alpha = 255;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return 255;
    return alpha;
}

}  // namespace quelvo::win
