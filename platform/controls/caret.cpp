// The caret: one per thread, drawn by inverting its rectangle on the owner
// window and blinking on a timer of that window.
#include <algorithm>

#include "platform/controls/control_base.h"
#include "platform/graphics/winuserdraw.h"

namespace {

constexpr UINT_PTR kBlinkTimer = 0xCA7E;

struct Caret {
    HWND owner = nullptr;
    HBITMAP bitmap = nullptr;  // a pattern bitmap, or 0/1 for solid/grey
    int width = 1;
    int height = 1;
    POINT pos{};
    int hideCount = 1;  // a new caret is hidden
    bool drawn = false;
    bool blinking = false;
    UINT blink = 530;
};

Caret gCaret;

void Invert()
{
    if (!gCaret.owner || !IsWindow(gCaret.owner)) return;
    HDC dc = GetDC(gCaret.owner);
    if (!dc) return;
    RECT r{gCaret.pos.x, gCaret.pos.y, gCaret.pos.x + gCaret.width, gCaret.pos.y + gCaret.height};
    InvertRect(dc, &r);
    ReleaseDC(gCaret.owner, dc);
    gCaret.drawn = !gCaret.drawn;
}

void Undraw()
{
    if (gCaret.drawn) Invert();
}

void BlinkProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (gCaret.hideCount == 0) Invert();
}

// Starts the blinking over, from the caret shown.
void Restart()
{
    if (!gCaret.owner || !IsWindow(gCaret.owner)) return;
    KillTimer(gCaret.owner, kBlinkTimer);
    gCaret.blinking = gCaret.blink != INFINITE;
    if (gCaret.blinking) SetTimer(gCaret.owner, kBlinkTimer, gCaret.blink, BlinkProc);
}

bool Owns(HWND hwnd) { return gCaret.owner && (!hwnd || hwnd == gCaret.owner) && IsWindow(gCaret.owner); }

}  // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height)
{
    if (!IsWindow(hwnd)) return FALSE;
    DestroyCaret();
    UINT blink = gCaret.blink;
    gCaret = Caret{};
    gCaret.owner = hwnd;
    gCaret.bitmap = bitmap;
    gCaret.width = std::clamp(width ? width : GetSystemMetrics(SM_CXBORDER), 1, 4096);
    gCaret.height = std::clamp(height ? height : GetSystemMetrics(SM_CYBORDER), 1, 4096);
    gCaret.blink = blink;
    return TRUE;
}

BOOL DestroyCaret()
{
    if (!gCaret.owner) return FALSE;
    if (IsWindow(gCaret.owner)) {
        Undraw();
        KillTimer(gCaret.owner, kBlinkTimer);
    }
    UINT blink = gCaret.blink;
    gCaret = Caret{};
    gCaret.blink = blink;
    return TRUE;
}

BOOL ShowCaret(HWND hwnd)
{
    if (!Owns(hwnd) || gCaret.hideCount == 0) return FALSE;
    // Hiding and showing around a paint keeps the blinking's rhythm.
    if (--gCaret.hideCount == 0) {
        if (!gCaret.drawn) Invert();
        if (!gCaret.blinking) Restart();
    }
    return TRUE;
}

BOOL HideCaret(HWND hwnd)
{
    if (!Owns(hwnd)) return FALSE;
    if (gCaret.hideCount++ == 0) Undraw();
    return TRUE;
}

BOOL SetCaretPos(int x, int y)
{
    if (!Owns(nullptr)) return FALSE;
    if (gCaret.pos.x == x && gCaret.pos.y == y) return TRUE;
    Undraw();
    gCaret.pos = POINT{x, y};
    if (gCaret.hideCount == 0) {  // shown at once at its new place, blinking anew
        Invert();
        Restart();
    }
    return TRUE;
}

BOOL GetCaretPos(LPPOINT pt)
{
    if (!pt || !gCaret.owner) return FALSE;
    *pt = gCaret.pos;
    return TRUE;
}

UINT GetCaretBlinkTime() { return gCaret.blink; }

BOOL SetCaretBlinkTime(UINT ms)
{
    gCaret.blink = ms == INFINITE ? INFINITE : std::clamp<UINT>(ms, 50, 10000);
    Restart();
    return TRUE;
}

namespace quelvo::ctl::detail {

// Whether the caret is on screen now (blink phase included); for tests.
bool CaretDrawn() { return gCaret.drawn; }

}  // namespace quelvo::ctl::detail
