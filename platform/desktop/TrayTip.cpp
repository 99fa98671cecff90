#include "platform/desktop/TrayTip.h"

#include "platform/graphics/wingdi.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/windows/display.h"
#include "platform/windows/winuser.h"

#include <algorithm>

namespace quelvo::desktop {

namespace {

constexpr const char* kTipClass = "QuelvoTrayTip";
constexpr int kPadding = 4;
constexpr int kBelowPointer = 20;

LRESULT TipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg != WM_PAINT)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    InflateRect(&r, -kPadding, -kPadding);
    DrawTextA(dc, text, -1, &r, DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
    return 0;
}

void RegisterTipClass()
{
    WNDCLASSA existing{};
    if (GetClassInfoA(nullptr, kTipClass, &existing) != FALSE)
        return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TipProc;
    wc.lpszClassName = kTipClass;
    RegisterClassA(&wc);
}

// What the text takes on the screen, padding and border included.
SIZE Measure(const std::string& text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{r.right + 2 * kPadding + 2, r.bottom + 2 * kPadding + 2};
}

} // namespace

void TrayTip::Show(const std::string& text, POINT near)
{
    Hide();
    if (text.empty())
        return;
    RegisterTipClass();
    const SIZE size = Measure(text);
    const SIZE screen = win::Display().ScreenSize();
    const int x = std::clamp<int>(near.x, 0, std::max<int>(0, screen.cx - size.cx));
    int y = near.y + kBelowPointer;
    if (y + size.cy > screen.cy)
        y = std::max<int>(0, near.y - kBelowPointer - size.cy);
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTipClass, text.c_str(),
                              WS_POPUP | WS_BORDER, x, y, size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
    if (window_ != nullptr)
        ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void TrayTip::Hide()
{
    if (window_ != nullptr && IsWindow(window_) != FALSE)
        DestroyWindow(window_);
    window_ = nullptr;
}

} // namespace quelvo::desktop
