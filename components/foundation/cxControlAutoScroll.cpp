// Middle-button auto-scroll: an anchor at the press point, and content
// scrolled towards the cursor, faster the farther it is.
#include <algorithm>
#include <cstdlib>

#include "components/foundation/cxControls.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/scope_guard.h"
#include "platform/system/shell.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

constexpr UINT kStepInterval = 20;
constexpr int kMaxSpeed = 12;
// Pixels of cursor distance per speed step.
constexpr int kSpeedStepPixels = 5;

struct Motion {
    TcxDirection direction = dirNone;
    int speed = 0;
};

// Where the cursor is relative to the anchor decides direction and speed;
// the neutral zone is as wide as the anchor along each axis that scrolls.
Motion MotionAt(POINT p, POINT anchor, int size, bool hBar, bool vBar)
{
    const int half = size / 2;
    const int dx = p.x - anchor.x;
    const int dy = p.y - anchor.y;
    const bool insideX = !hBar || std::abs(dx) <= half;
    const bool insideY = !vBar || std::abs(dy) <= half;
    if (insideX && insideY) return Motion{};
    Motion m;
    int distance = 0;
    if (!hBar || (vBar && std::abs(dy) >= std::abs(dx))) {
        m.direction = dy < 0 ? dirUp : dirDown;
        distance = std::abs(dy);
    } else {
        m.direction = dx < 0 ? dirLeft : dirRight;
        distance = std::abs(dx);
    }
    m.speed = std::min((distance - half) / kSpeedStepPixels + 1, kMaxSpeed);
    return m;
}

TCursor CursorOf(TcxDirection direction, bool hBar, bool vBar)
{
    switch (direction) {
    case dirLeft: return cxcrLeftScroll;
    case dirRight: return cxcrRightScroll;
    case dirUp: return cxcrUpScroll;
    case dirDown: return cxcrDownScroll;
    default: break;
    }
    if (hBar && vBar) return cxcrFullScroll;
    return hBar ? cxcrHorScroll : cxcrVerScroll;
}

const char* AnchorBitmapName(bool hBar, bool vBar)
{
    if (hBar && vBar) return "CX_FULLSCROLLBITMAP";
    return hBar ? "CX_HORSCROLLBITMAP" : "CX_VERSCROLLBITMAP";
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

bool IsEscape(const MSG& msg)
{
    return (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE;
}

// The release that belongs to a press; 0 for other messages.
UINT ReleaseOf(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return WM_LBUTTONUP;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: return WM_RBUTTONUP;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: return WM_MBUTTONUP;
    default: return 0;
    }
}

void Dispatch(MSG& msg)
{
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

// One run of the mode. The destructor undoes everything the constructor
// set up, also after an exception.
class AutoScrollMode {
public:
    explicit AutoScrollMode(TcxControl* control);
    AutoScrollMode(const AutoScrollMode&) = delete;
    AutoScrollMode& operator=(const AutoScrollMode&) = delete;
    ~AutoScrollMode();

    // Runs until the mode ends; answers the release still to come of the
    // press that ended it (0 when none).
    UINT Run();
    // Ends what shows of the mode, keeping the capture.
    void HideAnchor();
    // The ending press's release goes nowhere: a right click must not open
    // a context menu, a left one must not click whatever lies below.
    void SwallowRelease(UINT release);

private:
    void CreateAnchor();
    void PaintAnchor();
    void SetCursor();
    void MouseMoved();
    void Tick();
    bool Got(MSG& msg);
    bool Handle(MSG& msg, UINT& release);

    TcxControl* control_;
    std::shared_ptr<const bool> alive_;
    HWND wnd_;
    bool hBar_;
    bool vBar_;
    POINT anchor_;
    POINT last_;
    ObjectPtr<TBitmap> bitmap_;
    HWND anchorWnd_ = nullptr;
    UINT_PTR timer_ = 0;
    Motion motion_;
    bool moved_ = false;
    int ticks_ = 0;
};

AutoScrollMode::AutoScrollMode(TcxControl* control)
    : control_(control),
      alive_(control->AliveToken()),
      wnd_(control->Handle()),
      hBar_(control->HScrollBarVisible()),
      vBar_(control->VScrollBarVisible()),
      anchor_(GetMouseCursorPos()),
      last_(anchor_)
{
    CreateAnchor();
    motion_.speed = 1;
    SetCursor();
    timer_ = SetTimer(nullptr, 0, kStepInterval, nullptr);
    SetCapture(wnd_);
}

AutoScrollMode::~AutoScrollMode()
{
    if (GetCapture() == wnd_) ReleaseCapture();
    HideAnchor();
}

void AutoScrollMode::HideAnchor()
{
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (anchorWnd_ && IsWindow(anchorWnd_)) DestroyWindow(anchorWnd_);
    anchorWnd_ = nullptr;
}

void AutoScrollMode::CreateAnchor()
{
    bitmap_ = MakeObject<TBitmap>();
    bitmap_->LoadFromResourceName(AnchorBitmapName(hBar_, vBar_));
    const int w = bitmap_->Width();
    const int h = bitmap_->Height();
    anchorWnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, anchor_.x - w / 2,
                                 anchor_.y - h / 2, w, h, wnd_, nullptr, nullptr, nullptr);
    if (!anchorWnd_) return;
    // The window owns the region from here on.
    SetWindowRgn(anchorWnd_, CreateEllipticRgn(0, 0, w + 1, h + 1), TRUE);
    ShowWindow(anchorWnd_, SW_SHOWNOACTIVATE);
    PaintAnchor();
}

void AutoScrollMode::PaintAnchor()
{
    HDC dc = GetDC(anchorWnd_);
    if (!dc) return;
    const int w = bitmap_->Width();
    const int h = bitmap_->Height();
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    quelvo::sys::ScopeGuard release([&] {
        DeleteObject(pen);
        ReleaseDC(anchorWnd_, dc);
    });
    BitBlt(dc, 0, 0, w, h, bitmap_->Canvas()->Handle(), 0, 0, SRCCOPY);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, 0, 0, w, h);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

void AutoScrollMode::SetCursor()
{
    if (hostlib::Screen) ::SetCursor(hostlib::Screen->Cursors(CursorOf(motion_.direction, hBar_, vBar_)));
}

void AutoScrollMode::MouseMoved()
{
    const POINT p = GetMouseCursorPos();
    if (p.x == last_.x && p.y == last_.y) return;
    motion_ = MotionAt(p, anchor_, bitmap_->Width(), hBar_, vBar_);
    if (motion_.direction != dirNone) moved_ = true;
    SetCursor();
    last_ = p;
}

void AutoScrollMode::Tick()
{
    ++ticks_;
    if (ticks_ % (kMaxSpeed + 1 - motion_.speed) == 0) control_->ScrollContent(motion_.direction);
}

// False when the loop must end without a message: a failing GetMessage,
// or WM_QUIT, which the program's own loop still needs.
bool AutoScrollMode::Got(MSG& msg)
{
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
    return got > 0;
}

// False when the mode ends with this message.
bool AutoScrollMode::Handle(MSG& msg, UINT& release)
{
    if (msg.message == WM_PAINT && msg.hwnd == anchorWnd_) {
        ValidateRect(anchorWnd_, nullptr);
        return true;
    }
    if (IsMouseMessage(msg.message) && msg.message != WM_MOUSEMOVE && msg.message != WM_MBUTTONUP) {
        release = ReleaseOf(msg.message);
        return false;
    }
    if (IsEscape(msg)) {
        Dispatch(msg);
        return false;
    }
    if (msg.message == WM_MBUTTONUP) {
        Dispatch(msg);
        if (moved_ || !*alive_) return false;
        // The control's own handling of a release lets the capture go; the
        // mode keeps it unless another window took it.
        if (!GetCapture()) SetCapture(wnd_);
        return true;
    }
    if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == timer_) Tick();
    else if (msg.message == WM_MOUSEMOVE) MouseMoved();
    if (!*alive_) return false;
    Dispatch(msg);
    return true;
}

UINT AutoScrollMode::Run()
{
    UINT release = 0;
    MSG msg{};
    while (*alive_ && GetCapture() == wnd_ && Got(msg))
        if (!Handle(msg, release)) break;
    return *alive_ ? release : 0;
}

void AutoScrollMode::SwallowRelease(UINT release)
{
    MSG msg{};
    while (release && *alive_ && GetCapture() == wnd_ && Got(msg)) {
        if (msg.message == release) return;
        Dispatch(msg);
    }
}

}  // namespace

void TcxControl::DoScrolling()
{
    if (!HScrollBarVisible() && !VScrollBarVisible()) return;
    auto alive = AliveToken();
    scrollingContent_ = true;
    quelvo::sys::ScopeGuard clear([&] {
        if (*alive) scrollingContent_ = false;
    });
    AutoScrollMode mode(this);
    const UINT release = mode.Run();
    mode.HideAnchor();
    mode.SwallowRelease(release);
}
