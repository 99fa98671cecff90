// Update regions, WM_PAINT merging, clipping of children and siblings,
// composition on the headless screen, scrolling and locked updates.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/windows/x11/layered.h"
#include "tests/platform/windows/win_fixture.h"

using namespace wintest;
using V = std::vector<std::string>;

namespace {

std::map<HWND, COLORREF> gColour;
std::vector<std::string> gPaints;

std::string RectText(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

// Fills what it is asked to paint with its colour and records rcPaint.
LRESULT PaintProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    Rec().Add(h, m, w, l);
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        gPaints.push_back(Rec().NameOf(h) + " " + RectText(ps.rcPaint) + (ps.fErase ? " erase" : ""));
        HBRUSH brush = CreateSolidBrush(gColour[h]);
        RECT all;
        GetClientRect(h, &all);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        EndPaint(h, &ps);
        return 0;
    }
    if (m == WM_ERASEBKGND) return 1;
    return DefWindowProcA(h, m, w, l);
}

class Paint : public WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        gColour.clear();
        gPaints.clear();
        WNDCLASSA wc;
        wc.lpfnWndProc = PaintProc;
        wc.lpszClassName = "painter";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    HWND Painter(const std::string& name, DWORD style, int x, int y, int w, int h, COLORREF colour, HWND parent = nullptr)
    {
        HWND hwnd = Make(name, style, x, y, w, h, parent, parent ? 1 : 0, 0, "painter");
        gColour[hwnd] = colour;
        return hwnd;
    }
    std::uint32_t Px(int x, int y) { return Screen().ScreenPixel(x, y); }
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr std::uint32_t kRedPx = 0xFF0000, kBluePx = 0x0000FF, kGreenPx = 0x00FF00;

TEST_F(Paint, InvalidRectanglesMergeIntoOnePaint)
{
    HWND w = Painter("w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, kRed);
    Pump();
    gPaints.clear();
    RECT first{10, 10, 20, 20};
    InvalidateRect(w, &first, FALSE);
    RECT second{50, 60, 70, 80};
    InvalidateRect(w, &second, TRUE);
    RECT outside{200, 200, 300, 300};
    InvalidateRect(w, &outside, FALSE);
    RECT u;
    EXPECT_TRUE(GetUpdateRect(w, &u, FALSE));
    EXPECT_EQ(RectText(u), "10,10,70,80");
    RECT part{10, 10, 20, 20};
    ValidateRect(w, &part);
    EXPECT_TRUE(GetUpdateRect(w, &u, FALSE));
    EXPECT_EQ(RectText(u), "50,60,70,80");
    InvalidateRect(w, &part, FALSE);
    Pump();
    EXPECT_EQ(gPaints, V{"w 10,10,70,80"}) << "one WM_PAINT, erased by the handler already";
    EXPECT_FALSE(GetUpdateRect(w, &u, FALSE));
    EXPECT_EQ(Pump(), 0);
}

TEST_F(Paint, BeginPaintSendsFrameAndBackgroundFirst)
{
    HWND w = Make("w", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 100, 100);
    Rec().Clear();
    Pump();
    EXPECT_EQ(Rec().Only({"WM_NCPAINT", "WM_ERASEBKGND", "WM_PAINT"}), (V{"w WM_PAINT", "w WM_NCPAINT", "w WM_ERASEBKGND"}));
    EXPECT_EQ(Screen().ClientPixel(w, 5, 5), GetSysColor(COLOR_WINDOW) == 0 ? 0u : quelvo::gfx::PixelFromColorRef(GetSysColor(COLOR_WINDOW)) & 0xFFFFFF)
        << "the class brush erased the background";
    Rec().Clear();
    InvalidateRect(w, nullptr, FALSE);
    Pump();
    EXPECT_EQ(Rec().Only({"WM_NCPAINT", "WM_ERASEBKGND", "WM_PAINT"}), (V{"w WM_PAINT"}));
    Rec().Clear();
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(Rec().Only({"WM_NCPAINT", "WM_ERASEBKGND", "WM_PAINT"}), (V{"w WM_PAINT", "w WM_NCPAINT"}))
        << "painted at once, not through the queue";
}

TEST_F(Paint, ChildrenAreClippedOnlyWithClipChildren)
{
    struct Case {
        const char* what;
        DWORD parentStyle;
        V paints;
    };
    const Case cases[] = {
        {"clip children", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, {"p 0,0,100,100", "c 0,0,40,40"}},
        {"no clipping: child painted after parent", WS_POPUP | WS_VISIBLE, {"p 0,0,100,100", "c 0,0,40,40"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        quelvo::win::ResetWindowManager();
        SetUp();
        HWND p = Painter("p", k.parentStyle, 0, 0, 100, 100, kRed);
        Painter("c", WS_CHILD | WS_VISIBLE, 10, 10, 40, 40, kBlue, p);
        Pump();
        EXPECT_EQ(gPaints, k.paints);
        EXPECT_EQ(Px(5, 5), kRedPx);
        EXPECT_EQ(Px(20, 20), kBluePx);
        gPaints.clear();
        RECT r{0, 0, 30, 30};
        InvalidateRect(p, &r, FALSE);
        Pump();
        EXPECT_EQ(Px(20, 20), kBluePx) << "the child survives its parent's repaint";
        if (k.parentStyle & WS_CLIPCHILDREN) EXPECT_EQ(gPaints, V{"p 0,0,30,30"});
        else EXPECT_EQ(gPaints, (V{"p 0,0,30,30", "c 0,0,20,20"}));
    }
}

TEST_F(Paint, OverlappingSiblingsClipWithClipSiblings)
{
    HWND p = Painter("p", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100, kRed);
    HWND top = Painter("top", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 50, 50, kBlue, p);
    HWND under = Painter("under", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 25, 25, 50, 50, kGreen, p);
    Pump();
    EXPECT_EQ(Px(30, 30), kBluePx) << "the first child is on top";
    EXPECT_EQ(Px(60, 60), kGreenPx);
    InvalidateRect(under, nullptr, FALSE);
    Pump();
    EXPECT_EQ(Px(30, 30), kBluePx) << "the lower sibling does not paint over the upper";
    SetWindowPos(under, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump();
    EXPECT_EQ(Px(30, 30), kGreenPx);
    (void)top;
}

TEST_F(Paint, TopLevelWindowsCompositeInZOrder)
{
    HWND a = Painter("a", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, kRed);
    HWND b = Painter("b", WS_POPUP | WS_VISIBLE, 30, 30, 60, 60, kBlue);
    Pump();
    EXPECT_EQ(Px(40, 40), kBluePx);
    EXPECT_EQ(Px(10, 10), kRedPx);
    EXPECT_EQ(Px(200, 200), Screen().desktopColour & 0xFFFFFF);
    EXPECT_EQ(Px(-1, 0), 0xFFFFFFFFu);
    SetActiveWindow(a);
    EXPECT_EQ(Px(40, 40), kRedPx);
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(Px(40, 40), kBluePx);
    std::string png = quelvo::win::RuntimeFolder() + "/screen.png";
    ASSERT_TRUE(Screen().DumpPng(png));
    std::ifstream f(png, std::ios::binary);
    char sig[8] = {};
    f.read(sig, 8);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    EXPECT_GT(std::filesystem::file_size(png), 1280u * 1024u * 3u) << "stored, not compressed";
    EXPECT_FALSE(quelvo::win::WritePng(quelvo::gfx::Surface(), png));
    (void)b;
}

// A layered popup shows blended with its constant alpha, the way a
// compositing desktop shows drag pictures; both ways of reading the screen agree.
TEST_F(Paint, LayeredWindowsBlendWithTheirConstantAlpha)
{
    const std::uint32_t desk = Screen().desktopColour & 0xFFFFFF;
    auto blend = [](std::uint32_t src, std::uint32_t dst, unsigned a) {
        std::uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const unsigned s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
            out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
        }
        return out;
    };
    auto near = [](std::uint32_t a, std::uint32_t b) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1) return false;
        return true;
    };
    Painter("below", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, kBlue);
    HWND top = Make("top", WS_POPUP, 30, 30, 60, 60, nullptr, 0, WS_EX_LAYERED | WS_EX_TOPMOST, "painter");
    gColour[top] = kRed;
    ShowWindow(top, SW_SHOWNA);
    Pump();
    EXPECT_EQ(Px(40, 40), kRedPx) << "opaque until attributes are set";
    ASSERT_TRUE(SetLayeredWindowAttributes(top, 0, 200, LWA_ALPHA));
    Pump();
    const quelvo::gfx::Surface shot = Screen().CaptureScreen();
    struct Case { int x, y; std::uint32_t under; } cases[] = {{40, 40, kBluePx}, {80, 80, desk}};
    for (const Case& c : cases) {
        const std::uint32_t want = blend(kRedPx, c.under, 200);
        EXPECT_TRUE(near(Px(c.x, c.y), want)) << c.x << " " << std::hex << Px(c.x, c.y) << " " << want;
        EXPECT_EQ(shot.At(c.x, c.y) & 0xFFFFFF, Px(c.x, c.y));
    }
    EXPECT_EQ(Px(10, 10), kBluePx);
    ASSERT_TRUE(SetLayeredWindowAttributes(top, 0, 200, LWA_COLORKEY));
    Pump();
    EXPECT_EQ(Px(40, 40), kRedPx) << "constant alpha only with LWA_ALPHA";
}

TEST_F(Paint, HiddenWindowsAreNotPaintedUntilShown)
{
    HWND w = Painter("w", WS_POPUP, 0, 0, 50, 50, kRed);
    InvalidateRect(w, nullptr, TRUE);
    EXPECT_EQ(Pump(), 0);
    ShowWindow(w, SW_SHOWNA);
    Pump();
    EXPECT_EQ(gPaints, V{"w 0,0,50,50"}) << "shown: all of it, erased by the handler's WM_ERASEBKGND";
    gPaints.clear();
    Rec().answers["w"].byMessage[WM_ERASEBKGND] = 0;
    SetWindowLongA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc));
    InvalidateRect(w, nullptr, TRUE);
    PAINTSTRUCT ps;
    BeginPaint(w, &ps);
    EXPECT_TRUE(ps.fErase) << "nobody erased: the painter must";
    EndPaint(w, &ps);
    EXPECT_EQ(Px(10, 10), kRedPx);
}

TEST_F(Paint, ScrollMovesPixelsAndInvalidatesWhatIsUncovered)
{
    struct Stripes {
        static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l)
        {
            if (m != WM_PAINT) return PaintProc(h, m, w, l);
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            gPaints.push_back(RectText(ps.rcPaint));
            for (int y = 0; y < 100; y += 10) {
                HBRUSH b = CreateSolidBrush(RGB(0, 0, y * 2));
                RECT r{0, y, 100, y + 10};
                FillRect(dc, &r, b);
                DeleteObject(b);
            }
            EndPaint(h, &ps);
            return 0;
        }
    };
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    SetWindowLongA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Stripes::Proc));
    InvalidateRect(w, nullptr, FALSE);
    Pump();
    gPaints.clear();
    EXPECT_EQ(Px(5, 55), 100u);
    RECT exposed;
    EXPECT_EQ(ScrollWindowEx(w, 0, -20, nullptr, nullptr, nullptr, &exposed, SW_INVALIDATE), SIMPLEREGION);
    EXPECT_EQ(RectText(exposed), "0,80,100,100");
    EXPECT_EQ(Px(5, 35), 100u) << "row 50 moved up by 20";
    Pump();
    EXPECT_EQ(gPaints, V{"0,80,100,100"});
    EXPECT_EQ(ScrollWindowEx(w, 0, 0, nullptr, nullptr, nullptr, &exposed, 0), NULLREGION);
}

TEST_F(Paint, LockWindowUpdateHoldsDrawingBack)
{
    HWND w = Painter("w", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, kRed);
    Pump();
    ASSERT_TRUE(LockWindowUpdate(w));
    EXPECT_FALSE(LockWindowUpdate(Painter("x", WS_POPUP, 0, 0, 1, 1, kRed))) << "one lock at a time";
    gColour[w] = kBlue;
    InvalidateRect(w, nullptr, FALSE);
    Pump();
    EXPECT_EQ(Px(10, 10), kRedPx);
    LockWindowUpdate(nullptr);
    Pump();
    EXPECT_EQ(Px(10, 10), kBluePx);
}

TEST_F(Paint, ScreenDcMeasuresAndGetDcDrawsOutsidePaint)
{
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0) << "released once";
    HWND w = Painter("w", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, kRed);
    Pump();
    HDC dc = GetDC(w);
    EXPECT_EQ(WindowFromDC(dc), w);
    EXPECT_EQ(WindowFromDC(screen), nullptr) << "a released context names no window";
    HBRUSH b = CreateSolidBrush(kGreen);
    RECT r{0, 0, 5, 5};
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(w, dc);
    EXPECT_EQ(WindowFromDC(dc), nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_EQ(WindowFromDC(memory), nullptr);
    DeleteDC(memory);
    EXPECT_EQ(Px(2, 2), kGreenPx);
    EXPECT_EQ(Px(10, 10), kRedPx);
}

}  // namespace

namespace {

TEST_F(Paint, RegionsInvalidateAndReportTheUpdateArea)
{
    HWND w = Painter("w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, kRed);
    Pump();
    HRGN rgn = CreateRectRgn(10, 20, 30, 40);
    InvalidateRgn(w, rgn, FALSE);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(w, update, FALSE), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(update, rgn));
    ValidateRgn(w, rgn);
    EXPECT_EQ(GetUpdateRgn(w, update, FALSE), NULLREGION);
    DeleteObject(rgn);
    DeleteObject(update);
    EXPECT_EQ(Pump(), 0);
}

}  // namespace

namespace {

TEST_F(Paint, MovingATopLevelWindowKeepsItsPixelsWithoutRepainting)
{
    HWND w = Painter("w", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, kRed);
    HWND c = Painter("c", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, kBlue, w);
    Pump();
    gPaints.clear();
    SetWindowPos(w, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(Pump(), 0);
    EXPECT_EQ(Px(120, 120), kRedPx);
    EXPECT_EQ(Px(105, 105), kBluePx);
    SetWindowPos(c, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(gPaints, (V{"w 0,0,10,10", "c 0,0,10,10"})) << "a moved child is repainted, and what it uncovered";
    EXPECT_EQ(Px(105, 105), kRedPx);
    EXPECT_EQ(Px(125, 125), kBluePx);
}

}  // namespace

namespace {

// Paints its colour into whatever DC WM_PRINTCLIENT brings.
LRESULT PrintProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_PRINTCLIENT) {
        RECT r;
        GetClientRect(h, &r);
        HBRUSH b = CreateSolidBrush(gColour[h]);
        FillRect(reinterpret_cast<HDC>(w), &r, b);
        DeleteObject(b);
        return 0;
    }
    return PaintProc(h, m, w, l);
}

TEST_F(Paint, PrintDrawsAWindowAndItsChildrenIntoAnyDc)
{
    HWND p = Painter("p", WS_POPUP | WS_BORDER, 0, 0, 60, 60, kRed);
    HWND c = Painter("c", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, kBlue, p);
    SetWindowLongA(p, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&PrintProc));
    SetWindowLongA(c, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&PrintProc));
    HWND target = Painter("target", WS_POPUP | WS_VISIBLE, 200, 200, 100, 100, kGreen);
    Pump();
    HDC dc = GetDC(target);
    SendMessageA(p, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_CHILDREN);
    ReleaseDC(target, dc);
    EXPECT_EQ(Px(200, 200), kGreenPx) << "the border is not drawn without PRF_NONCLIENT";
    EXPECT_EQ(Px(203, 203), kRedPx);
    EXPECT_EQ(Px(215, 215), kBluePx) << "children at their place inside the client area";
    EXPECT_EQ(Px(265, 265), kGreenPx) << "nothing beyond the window";
    InvalidateRect(target, nullptr, FALSE);
    Pump();
    dc = GetDC(target);
    SendMessageA(p, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_CHECKVISIBLE);
    ReleaseDC(target, dc);
    EXPECT_EQ(Px(203, 203), kGreenPx) << "a hidden window prints nothing when asked to check";
    dc = GetDC(target);
    SendMessageA(p, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
    ReleaseDC(target, dc);
    EXPECT_NE(Px(200, 200), kGreenPx) << "the frame";
    EXPECT_EQ(Px(203, 203), kGreenPx) << "and only the frame";
}

}  // namespace

namespace {

TEST_F(Paint, DefaultControlColoursAreTheSystemColours)
{
    HWND w = Make("w", WS_POPUP, 0, 0, 10, 10);
    struct Case {
        UINT msg;
        int colour;
    };
    const Case cases[] = {{WM_CTLCOLOREDIT, COLOR_WINDOW},  {WM_CTLCOLORLISTBOX, COLOR_WINDOW},
                          {WM_CTLCOLORSTATIC, COLOR_BTNFACE}, {WM_CTLCOLORDLG, COLOR_BTNFACE},
                          {WM_CTLCOLORBTN, COLOR_BTNFACE},  {WM_CTLCOLORSCROLLBAR, COLOR_SCROLLBAR}};
    HDC dc = GetDC(w);
    for (const Case& c : cases) {
        EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(w, c.msg, reinterpret_cast<WPARAM>(dc), 0)), GetSysColorBrush(c.colour))
            << c.msg;
    }
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    ReleaseDC(w, dc);
}

}  // namespace
