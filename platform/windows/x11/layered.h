#pragma once
// Constant-alpha and colour-key attributes of WS_EX_LAYERED windows. The
// window layer keeps them with the window; the X11 display shows such
// top-level windows translucent (drag images), the headless display
// composites them opaque.

#include "platform/windows/winuser.h"

inline constexpr DWORD LWA_COLORKEY = 0x00000001;
inline constexpr DWORD LWA_ALPHA = 0x00000002;

// Fails (FALSE) for unknown windows and windows without WS_EX_LAYERED.
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);

namespace quelvo::win {
// The constant alpha a window is shown with: 255 unless it is layered with
// LWA_ALPHA.
BYTE WindowAlpha(HWND hwnd);
}  // namespace quelvo::win
