// Control objects, class registration and helpers shared by the controls.
#include "platform/controls/control_base.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "platform/controls/winctl.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/libraries.h"
#include "platform/windows/display.h"
#include "platform/windows/loop.h"

namespace quelvo::ctl::detail {

namespace {

bool gModalOnHeadless = false;

// Owners of the control objects. A window dropped without WM_NCDESTROY (a
// reset window manager) leaves its object here until the next attach to a
// window of the same handle. The table outlives static destruction on
// purpose: objects still in it may hold drawing objects whose tables are
// gone by then.
std::unordered_map<HWND, std::unique_ptr<Control>>& Objects()
{
    static auto* objects = new std::unordered_map<HWND, std::unique_ptr<Control>>();
    return *objects;
}

}  // namespace

void Control::Notify(WORD code) const
{
    HWND parent = GetParent(hwnd_);
    if (!parent) return;
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd_)), code),
                 reinterpret_cast<LPARAM>(hwnd_));
}

bool Control::FontMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_SETFONT) {
        font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        result = 0;
        return true;
    }
    if (msg == WM_GETFONT) {
        result = reinterpret_cast<LRESULT>(font_);
        return true;
    }
    return false;
}

HBRUSH Control::ColourBrush(UINT ctlColorMsg, HDC dc, int fallback) const
{
    HWND parent = GetParent(hwnd_);
    HBRUSH brush = nullptr;
    if (parent)
        brush = reinterpret_cast<HBRUSH>(
            SendMessageA(parent, ctlColorMsg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    if (!brush) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(fallback));
        brush = GetSysColorBrush(fallback);
    }
    return brush;
}

bool Control::PaintMessage(UINT msg, WPARAM wParam, LRESULT& result)
{
    result = 0;
    switch (msg) {
    case WM_ERASEBKGND: result = 1; return true;
    case WM_PAINT: {
        // A window that paints a subclassed control passes the device
        // context of its own BeginPaint; the update region is spent by then.
        if (wParam) {
            Paint(reinterpret_cast<HDC>(wParam));
            return true;
        }
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        if (dc) Paint(dc);
        EndPaint(hwnd_, &ps);
        return true;
    }
    case WM_PRINTCLIENT:
        if (wParam) Paint(reinterpret_cast<HDC>(wParam));
        return true;
    default: return false;
    }
}

int Control::FontHeight() const
{
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, Font());
    int h = LineHeight(dc);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return h;
}

RECT ScreenClientRect(HWND hwnd)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    POINT o{0, 0};
    ClientToScreen(hwnd, &o);
    OffsetRect(&r, o.x, o.y);
    return r;
}

Control* Lookup(HWND hwnd)
{
    auto* c = reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, kControlSlot));
    return c;
}

void Attach(HWND hwnd, std::unique_ptr<Control> control, int slot)
{
    SetWindowLongPtrA(hwnd, slot, reinterpret_cast<LONG_PTR>(control.get()));
    Objects()[hwnd] = std::move(control);
}

LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, int slot)
{
    auto* c = reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, slot));
    if (!c) return DefWindowProcA(hwnd, msg, wParam, lParam);
    LRESULT r = c->Handle(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, slot, 0);
        auto it = Objects().find(hwnd);
        if (it != Objects().end() && it->second.get() == c) Objects().erase(it);
    }
    return r;
}

POINT PointFrom(LPARAM lParam)
{
    return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
}

bool KeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

std::string WindowText(HWND hwnd)
{
    int n = GetWindowTextLengthA(hwnd);
    std::string s(static_cast<std::size_t>(std::max(n, 0)) + 1, '\0');
    int got = GetWindowTextA(hwnd, s.data(), static_cast<int>(s.size()));
    s.resize(static_cast<std::size_t>(std::max(got, 0)));
    return s;
}

int CharCount(const std::string& s)
{
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::size_t ByteOffset(const std::string& s, int index)
{
    if (index <= 0) return 0;
    int n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == index) return i;
            ++n;
        }
    }
    return s.size();
}

int LineHeight(HDC dc)
{
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    return std::max<int>(1, tm.tmHeight);
}

int TextWidth(HDC dc, const std::string& s)
{
    if (s.empty()) return 0;
    SIZE sz{};
    GetTextExtentPoint32A(dc, s.data(), static_cast<int>(s.size()), &sz);
    return sz.cx;
}

void DrawLabel(HDC dc, const std::string& text, RECT rc, UINT format, bool enabled)
{
    SetBkMode(dc, TRANSPARENT);
    if (!enabled) {
        COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT shadow = rc;
        OffsetRect(&shadow, 1, 1);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, format);
        SetTextColor(dc, old);
        return;
    }
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, format);
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm{};
    if (reinterpret_cast<ULONG_PTR>(bitmap) < 0x100 || !GetObjectA(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y)
{
    SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(dc, x, y, size.cx, size.cy, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

char Mnemonic(const std::string& label) { return quelvo::win::MnemonicOf(label); }

bool ModalUiAvailable()
{
    return gModalOnHeadless || !dynamic_cast<quelvo::win::HeadlessDisplay*>(&quelvo::win::Display());
}

bool PumpOne(HWND idleOwner, UINT idleKind)
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (idleOwner && IsWindow(idleOwner)) SendMessageA(idleOwner, WM_ENTERIDLE, idleKind, 0);
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
    } else if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

}  // namespace quelvo::ctl::detail

namespace quelvo::ctl {

using namespace detail;

void AllowModalOnHeadlessDisplay(bool allow) { gModalOnHeadless = allow; }

namespace {

void RegisterControlClasses()
{
    WNDCLASSA probe;
    if (GetClassInfoA(nullptr, "BUTTON", &probe)) return;
    struct Entry {
        const char* name;
        WNDPROC proc;
        UINT style;
        int extra;
        HCURSOR cursor;
        int background;  // system colour + 1, 0 for none
    };
    const Entry entries[] = {
        {"BUTTON", ButtonProc, CS_DBLCLKS | CS_PARENTDC, kControlExtra, nullptr, 0},
        {"STATIC", StaticProc, CS_DBLCLKS | CS_PARENTDC, kControlExtra, nullptr, 0},
        {"SCROLLBAR", ScrollBarProc, CS_DBLCLKS | CS_PARENTDC, kControlExtra, nullptr, 0},
        {"EDIT", EditProc, CS_DBLCLKS | CS_PARENTDC, kControlExtra, LoadCursorA(nullptr, IDC_IBEAM), 0},
        {"LISTBOX", ListBoxProc, CS_DBLCLKS | CS_PARENTDC, kControlExtra, nullptr, 0},
        {"COMBOBOX", ComboBoxProc, CS_DBLCLKS | CS_PARENTDC, kControlExtra, nullptr, 0},
        {kComboListClass, ComboListProc, CS_DBLCLKS | CS_SAVEBITS, kControlExtra, nullptr, 0},
        {kMenuClass, MenuWindowProc, CS_SAVEBITS | CS_DROPSHADOW, kControlExtra, nullptr, 0},
        {kDialogClass, DialogClassProc, CS_SAVEBITS | CS_DBLCLKS, DLGWINDOWEXTRA, nullptr, 0},
    };
    for (const Entry& e : entries) {
        WNDCLASSA wc;
        wc.style = e.style | CS_GLOBALCLASS;
        wc.lpfnWndProc = e.proc;
        wc.cbWndExtra = e.extra;
        wc.hCursor = e.cursor ? e.cursor : LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = e.background ? reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(e.background)) : nullptr;
        wc.lpszClassName = e.name;
        RegisterClassA(&wc);
    }
}

}  // namespace

void InitControls()
{
    InstallStandardScrollBars();
    // Programs bind it by name from "User32.dll" where older systems lack it.
    quelvo::sys::RegisterLibraryFunction("USER32.DLL", "GetScrollBarInfo", reinterpret_cast<FARPROC>(&::GetScrollBarInfo));
    // After the window manager was reset, the classes come back on demand.
    static const bool provided = [] {
        quelvo::win::AddClassProvider(RegisterControlClasses);
        return true;
    }();
    (void)provided;
    RegisterControlClasses();
}

}  // namespace quelvo::ctl

void InitCommonControls() { quelvo::ctl::InitControls(); }
