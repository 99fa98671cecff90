// Standard scroll bars and the SCROLLBAR control: ranges, the geometry
// GetScrollBarInfo reports, the codes clicks on each part send, auto-repeat
// and thumb tracking.
#include <functional>

#include "ctl_fixture.h"
#include "platform/graphics/uxtheme.h"

namespace ctltest {
namespace {

LRESULT ScrollHostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = 0;
    if (quelvo::ctl::HandleScrollBarMessage(hwnd, msg, wParam, lParam, r)) return r;
    if (msg == WM_VSCROLL || msg == WM_HSCROLL) H().log.push_back(Seen{msg, wParam, lParam});
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A window of a class that is no control: it leaves its bars to
// DefWindowProcA and keeps mouse, timer and capture messages to itself.
LRESULT PlainHostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_TIMER:
    case WM_CAPTURECHANGED: H().log.push_back(Seen{msg, wParam, lParam}); return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

std::uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

class ScrollTest : public CtlTest {
protected:
    void SetUp() override
    {
        CtlTest::SetUp();
        const std::pair<const char*, WNDPROC> classes[] = {{"scrollhost", ScrollHostProc}, {"plainhost", PlainHostProc}};
        for (auto [name, proc] : classes) {
            WNDCLASSA wc;
            wc.lpfnWndProc = proc;
            wc.lpszClassName = name;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
            ASSERT_NE(RegisterClassA(&wc), 0);
        }
        win_ = CreateWindowExA(0, HostClass(), "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_BORDER, 10, 10,
                               200, 160, host_, nullptr, nullptr, nullptr);
        ASSERT_NE(win_, nullptr);
        SetRange(SB_VERT, 0, 99, 10, 40);
        Pump();
        H().log.clear();
    }
    void SetRange(int bar, int min, int max, UINT page, int pos, UINT extra = 0)
    {
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | extra;
        si.nMin = min;
        si.nMax = max;
        si.nPage = page;
        si.nPos = pos;
        SetScrollInfo(win_, bar, &si, TRUE);
    }
    SCROLLBARINFO Info(LONG object = OBJID_VSCROLL, HWND hwnd = nullptr)
    {
        SCROLLBARINFO sbi;
        EXPECT_TRUE(GetScrollBarInfo(hwnd ? hwnd : win_, object, &sbi));
        return sbi;
    }
    // Screen point in the middle of a part (1 arrow, 2 page, 3 thumb, 4 page, 5 arrow) of a vertical bar.
    POINT PartPoint(const SCROLLBARINFO& sbi, int part)
    {
        int x = (sbi.rcScrollBar.left + sbi.rcScrollBar.right) / 2;
        int top = sbi.rcScrollBar.top, len = sbi.rcScrollBar.bottom - top;
        int y = 0;
        switch (part) {
        case 1: y = sbi.dxyLineButton / 2; break;
        case 2: y = (sbi.dxyLineButton + sbi.xyThumbTop) / 2; break;
        case 3: y = (sbi.xyThumbTop + sbi.xyThumbBottom) / 2; break;
        case 4: y = (sbi.xyThumbBottom + len - sbi.dxyLineButton) / 2; break;
        default: y = len - sbi.dxyLineButton / 2; break;
        }
        return POINT{x, top + y};
    }
    virtual const char* HostClass() const { return "scrollhost"; }
    std::vector<WORD> Codes(UINT msg = WM_VSCROLL) const
    {
        std::vector<WORD> out;
        for (const Seen& s : H().log)
            if (s.msg == msg) out.push_back(LOWORD(s.wParam));
        return out;
    }

    HWND win_ = nullptr;
};

TEST_F(ScrollTest, InfoIsClampedAndReadBack)
{
    struct Case {
        int min, max;
        UINT page;
        int pos;
        UINT expPage;
        int expPos;
    } cases[] = {
        {0, 99, 10, 40, 10, 40}, {0, 99, 10, 95, 10, 90},   // the last page ends at the maximum
        {0, 99, 10, -5, 10, 0},  {0, 9, 50, 3, 10, 0},      // page cut to the range
        {-50, 50, 0, 50, 0, 50}, {10, 5, 0, 7, 0, 10},      // max below min becomes min
    };
    for (const Case& c : cases) {
        SetRange(SB_VERT, c.min, c.max, c.page, c.pos);
        SCROLLINFO si;
        si.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(win_, SB_VERT, &si));
        EXPECT_EQ(si.nPage, c.expPage) << c.min << ".." << c.max;
        EXPECT_EQ(si.nPos, c.expPos) << c.min << ".." << c.max;
        EXPECT_EQ(si.nTrackPos, si.nPos);
        EXPECT_EQ(GetScrollPos(win_, SB_VERT), c.expPos);
    }
    SetRange(SB_VERT, 0, 99, 10, 40);
    EXPECT_EQ(SetScrollPos(win_, SB_VERT, 60, TRUE), 40);
    int lo = 1, hi = 1;
    EXPECT_TRUE(GetScrollRange(win_, SB_VERT, &lo, &hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 99);
    SCROLLINFO none;
    none.fMask = 0;
    EXPECT_FALSE(GetScrollInfo(win_, SB_VERT, &none));
    SCROLLINFO badSize;
    badSize.cbSize = 3;
    badSize.fMask = SIF_POS;
    EXPECT_EQ(SetScrollInfo(win_, SB_VERT, &badSize, TRUE), 0);
}

TEST_F(ScrollTest, BarInfoMatchesTheFrameAndThePixels)
{
    SCROLLBARINFO sbi = Info();
    RECT client;
    GetClientRect(win_, &client);
    POINT origin{0, 0};
    ClientToScreen(win_, &origin);
    EXPECT_EQ(sbi.rcScrollBar.left, origin.x + client.right);
    EXPECT_EQ(sbi.rcScrollBar.top, origin.y);
    EXPECT_EQ(sbi.rcScrollBar.bottom, origin.y + client.bottom);
    EXPECT_EQ(sbi.rcScrollBar.right - sbi.rcScrollBar.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(sbi.dxyLineButton, GetSystemMetrics(SM_CXVSCROLL));
    int track = (sbi.rcScrollBar.bottom - sbi.rcScrollBar.top) - 2 * sbi.dxyLineButton;
    int thumb = sbi.xyThumbBottom - sbi.xyThumbTop;
    EXPECT_EQ(thumb, std::max(8, track * 10 / 100));
    EXPECT_EQ(sbi.xyThumbTop, sbi.dxyLineButton + MulDiv(track - thumb, 40, 90));
    EXPECT_EQ(sbi.rgstate[0], 0u);

    // What is drawn lies where the information says, classic and styled.
    POINT thumbMid = PartPoint(sbi, 3), pageMid = PartPoint(sbi, 4), abovePage = PartPoint(sbi, 2);
    quelvo::gfx::SetThemeActive(false);
    RedrawWindow(win_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    EXPECT_EQ(Screen().ScreenPixel(thumbMid.x, thumbMid.y), Rgb(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(Screen().ScreenPixel(pageMid.x, pageMid.y), Rgb(GetSysColor(COLOR_SCROLLBAR)));
    EXPECT_EQ(Screen().ScreenPixel(abovePage.x, abovePage.y), Rgb(GetSysColor(COLOR_SCROLLBAR)));
    quelvo::gfx::SetThemeActive(true);
    RedrawWindow(win_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    std::uint32_t thumbStyled = Screen().ScreenPixel(thumbMid.x, thumbMid.y);
    EXPECT_NE(thumbStyled, Screen().ScreenPixel(pageMid.x, pageMid.y));
    EXPECT_EQ(Screen().ScreenPixel(pageMid.x, pageMid.y), Screen().ScreenPixel(abovePage.x, abovePage.y));
    std::uint32_t nearThumbEnd = Screen().ScreenPixel(thumbMid.x, sbi.rcScrollBar.top + sbi.xyThumbBottom - 3);
    EXPECT_EQ(nearThumbEnd, thumbStyled);
}

TEST_F(ScrollTest, StatesForHiddenDisabledAndBadRequests)
{
    SetRange(SB_HORZ, 0, 10, 20, 0);  // nothing to scroll: the bar goes
    EXPECT_EQ(GetWindowLongA(win_, GWL_STYLE) & WS_HSCROLL, 0);
    EXPECT_EQ(Info(OBJID_HSCROLL).rgstate[0] & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE);
    SetRange(SB_HORZ, 0, 10, 20, 0, SIF_DISABLENOSCROLL);  // stays, disabled
    EXPECT_NE(GetWindowLongA(win_, GWL_STYLE) & WS_HSCROLL, 0);
    SCROLLBARINFO h = Info(OBJID_HSCROLL);
    EXPECT_EQ(h.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE), STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(h.xyThumbTop, h.xyThumbBottom);
    SetRange(SB_HORZ, 0, 100, 20, 0);
    EXPECT_EQ(Info(OBJID_HSCROLL).rgstate[0], 0u);

    EXPECT_TRUE(EnableScrollBar(win_, SB_VERT, ESB_DISABLE_UP));
    SCROLLBARINFO v = Info();
    EXPECT_EQ(v.rgstate[1], STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(v.rgstate[5], 0u);
    // Off screen while the window is hidden itself, not while only its
    // parent waits to be shown.
    ShowWindow(host_, SW_HIDE);
    EXPECT_EQ(Info().rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN), 0u);
    ShowWindow(win_, SW_HIDE);
    EXPECT_EQ(Info().rgstate[0] & STATE_SYSTEM_OFFSCREEN, STATE_SYSTEM_OFFSCREEN);
    ShowWindow(win_, SW_SHOW);
    ShowWindow(host_, SW_SHOW);
    EXPECT_TRUE(ShowScrollBar(win_, SB_VERT, FALSE));
    EXPECT_EQ(Info().rgstate[0] & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE);

    SCROLLBARINFO wrong;
    wrong.cbSize = 28;
    EXPECT_FALSE(GetScrollBarInfo(win_, OBJID_VSCROLL, &wrong));
    SCROLLBARINFO any;
    EXPECT_FALSE(GetScrollBarInfo(win_, 12345, &any));
    EXPECT_FALSE(GetScrollBarInfo(win_, OBJID_CLIENT, &any));  // not a scroll bar control
    EXPECT_EQ(sizeof(SCROLLBARINFO), 60u);
    EXPECT_EQ(sizeof(SCROLLINFO), 28u);

    // Bound by name, as programs for systems without it do.
    HMODULE user32 = LoadLibraryA("User32.dll");
    ASSERT_NE(user32, nullptr);
    EXPECT_EQ(GetProcAddress(user32, "GetScrollBarInfo"), reinterpret_cast<FARPROC>(&GetScrollBarInfo));
    FreeLibrary(user32);
}

// Pressing bars: those of a control that passes its messages on itself, and
// those of a plain window that leaves them to DefWindowProcA.
class ScrollTrackTest : public ScrollTest, public ::testing::WithParamInterface<const char*> {
protected:
    const char* HostClass() const override { return GetParam(); }
};
INSTANTIATE_TEST_SUITE_P(Hosts, ScrollTrackTest, ::testing::Values("scrollhost", "plainhost"));

TEST_P(ScrollTrackTest, ClicksOnEachPartSendTheirCodes)
{
    struct Case {
        int part;
        WORD code;
    } cases[] = {{1, SB_LINEUP}, {2, SB_PAGEUP}, {4, SB_PAGEDOWN}, {5, SB_LINEDOWN}};
    for (const Case& c : cases) {
        H().log.clear();
        Screen().Click(PartPoint(Info(), c.part));
        Pump();
        clock_.Advance(600);
        EXPECT_EQ(Codes(), (std::vector<WORD>{c.code, SB_ENDSCROLL})) << c.part;
        for (const Seen& s : H().log) EXPECT_EQ(s.lParam, 0);
    }
    EXPECT_EQ(GetCapture(), nullptr);
    // A disabled arrow does nothing.
    EnableScrollBar(win_, SB_VERT, ESB_DISABLE_DOWN);
    H().log.clear();
    Screen().Click(PartPoint(Info(), 5));
    Pump();
    EXPECT_TRUE(Codes().empty());
}

TEST_P(ScrollTrackTest, HoldingRepeatsUntilReleasedOrLeft)
{
    SCROLLBARINFO sbi = Info();
    POINT arrow = PartPoint(sbi, 5);
    Screen().ButtonDown(arrow);
    Pump();
    EXPECT_EQ(Codes().size(), 1u);
    Advance(199);
    EXPECT_EQ(Codes().size(), 1u);
    Advance(1);
    EXPECT_EQ(Codes().size(), 2u);
    for (int i = 0; i < 3; ++i) Advance(50);
    EXPECT_EQ(Codes().size(), 5u);
    Screen().MoveMouse(POINT{arrow.x - 100, arrow.y});  // off the arrow: pauses
    Pump();
    Advance(50);
    Advance(50);
    EXPECT_EQ(Codes().size(), 5u);
    Screen().MoveMouse(arrow);
    Pump();
    Advance(50);
    EXPECT_EQ(Codes().size(), 6u);
    Screen().ButtonUp(arrow);
    Pump();
    std::vector<WORD> codes = Codes();
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), SB_LINEDOWN), 6);
    Advance(500);
    EXPECT_EQ(Codes().size(), codes.size());  // the timer is gone
}

TEST_P(ScrollTrackTest, DraggingTheThumbTracksAndEndsWithPosition)
{
    SCROLLBARINFO sbi = Info();
    POINT grip = PartPoint(sbi, 3);
    int track = (sbi.rcScrollBar.bottom - sbi.rcScrollBar.top) - 2 * sbi.dxyLineButton;
    int thumb = sbi.xyThumbBottom - sbi.xyThumbTop;
    Screen().ButtonDown(grip);
    Pump();
    Screen().MoveMouse(POINT{grip.x, grip.y + 20});
    Pump();
    int expected = MulDiv(sbi.xyThumbTop - sbi.dxyLineButton + 20, 90, track - thumb);
    ASSERT_FALSE(H().log.empty());
    EXPECT_EQ(LOWORD(H().log.back().wParam), SB_THUMBTRACK);
    EXPECT_EQ(HIWORD(H().log.back().wParam), expected);
    SCROLLINFO si;
    si.fMask = SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(win_, SB_VERT, &si);
    EXPECT_EQ(si.nTrackPos, expected);
    EXPECT_EQ(si.nPos, 40);  // the position is the program's to set
    Screen().MoveMouse(POINT{grip.x, sbi.rcScrollBar.bottom - 1});  // to the end: the maximum
    Pump();
    EXPECT_EQ(HIWORD(H().log.back().wParam), 90);
    Screen().MoveMouse(POINT{grip.x + 500, grip.y + 20});  // far off the bar: back where it started
    Pump();
    EXPECT_EQ(HIWORD(H().log.back().wParam), 40);
    Screen().MoveMouse(POINT{grip.x, sbi.rcScrollBar.bottom - 1});
    Pump();
    Screen().ButtonUp(POINT{grip.x, sbi.rcScrollBar.bottom - 1});
    Pump();
    std::vector<WORD> codes = Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes[codes.size() - 2], SB_THUMBPOSITION);
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollTest, PlainWindowBarsAreDrawnByTheDefaultAndKeepMouseMessagesAway)
{
    quelvo::gfx::SetThemeActive(false);
    HWND plain = CreateWindowExA(0, "plainhost", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER, 220, 10, 150,
                                 160, host_, nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 40;
    SetScrollInfo(plain, SB_VERT, &si, FALSE);
    Pump();
    SCROLLBARINFO sbi = Info(OBJID_VSCROLL, plain);
    POINT page = PartPoint(sbi, 4), thumb = PartPoint(sbi, 3);
    // A track colour of its own, so that a frame left blank would show.
    struct TrackColour {
        COLORREF saved = GetSysColor(COLOR_SCROLLBAR);
        TrackColour() { Set(RGB(0x20, 0x80, 0x40)); }
        ~TrackColour() { Set(saved); }
        static void Set(COLORREF c)
        {
            const INT index = COLOR_SCROLLBAR;
            SetSysColors(1, &index, &c);
        }
    } colour;
    const std::uint32_t track = 0x208040, face = Rgb(GetSysColor(COLOR_BTNFACE));

    // Whatever repaints the frame paints the bars again over it.
    struct Repaint {
        const char* name;
        std::function<void()> run;
        std::uint32_t thumbColour;
    } repaints[] = {
        {"frame invalidated", [&] { RedrawWindow(plain, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE); }, face},
        {"frame changed",
         [&] { SetWindowPos(plain, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED); },
         face},
        {"disabled: no thumb", [&] { EnableWindow(plain, FALSE); }, track},
        {"enabled again", [&] { EnableWindow(plain, TRUE); }, face},
    };
    for (const Repaint& r : repaints) {
        r.run();
        Pump();
        EXPECT_EQ(Screen().ScreenPixel(page.x, page.y), track) << r.name;
        EXPECT_EQ(Screen().ScreenPixel(thumb.x, thumb.y), r.thumbColour) << r.name;
    }
    // A print of the whole window has them too.
    RECT wr;
    GetWindowRect(plain, &wr);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, wr.right - wr.left, wr.bottom - wr.top);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(plain, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(Rgb(GetPixel(dc, page.x - wr.left, page.y - wr.top)), track);
    EXPECT_EQ(Rgb(GetPixel(dc, thumb.x - wr.left, thumb.y - wr.top)), face);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);

    // A drag reaches the window only as scroll codes.
    H().log.clear();
    Screen().ButtonDown(thumb);
    Pump();
    Screen().MoveMouse(POINT{thumb.x, thumb.y + 15});
    Pump();
    Screen().ButtonUp(POINT{thumb.x, thumb.y + 15});
    Pump();
    std::vector<WORD> codes = Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), SB_THUMBTRACK);
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    for (UINT kept : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_TIMER})
        EXPECT_EQ(H().Count(kept), 0) << kept;
    EXPECT_EQ(GetCapture(), nullptr);

    // Capture taken by another window, unannounced to this one, ends the
    // repeat at its next step.
    H().log.clear();
    Screen().ButtonDown(PartPoint(sbi, 5));
    Pump();
    SetCapture(host_);
    Advance(400);
    EXPECT_EQ(Codes(), (std::vector<WORD>{SB_LINEDOWN, SB_ENDSCROLL}));
    Screen().ButtonUp(PartPoint(sbi, 5));
    Pump();
    ReleaseCapture();

    // A window that goes while its arrow is held ends the press quietly;
    // a window made afterwards starts from the default range.
    Screen().ButtonDown(PartPoint(sbi, 5));
    Pump();
    EXPECT_EQ(GetCapture(), plain);
    DestroyWindow(plain);
    Advance(500);
    EXPECT_EQ(GetCapture(), nullptr);
    Screen().ButtonUp(PartPoint(sbi, 5));
    Pump();
    HWND next = CreateWindowExA(0, "plainhost", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 220, 10, 150, 160, host_,
                                nullptr, nullptr, nullptr);
    int lo = -1, hi = -1;
    EXPECT_TRUE(GetScrollRange(next, SB_VERT, &lo, &hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 100);
    EXPECT_EQ(GetScrollPos(next, SB_VERT), 0);
}

TEST_F(ScrollTest, ScrollBarControlNotifiesItsParent)
{
    HWND bar = MakeChild("SCROLLBAR", "", SBS_VERT, 300, 10, 17, 150, 44);
    ASSERT_NE(bar, nullptr);
    SendMessageA(bar, SBM_SETRANGE, 0, 20);
    EXPECT_EQ(SendMessageA(bar, SBM_SETPOS, 25, TRUE), 0);
    EXPECT_EQ(SendMessageA(bar, SBM_GETPOS, 0, 0), 20);
    int lo = -1, hi = -1;
    SendMessageA(bar, SBM_GETRANGE, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 20);
    SetScrollPos(bar, SB_CTL, 5, TRUE);
    SCROLLBARINFO sbi = Info(OBJID_CLIENT, bar);
    RECT wr;
    GetWindowRect(bar, &wr);
    EXPECT_TRUE(EqualRect(&sbi.rcScrollBar, &wr));
    H().log.clear();
    Screen().Click(PartPoint(sbi, 1));
    Pump();
    ASSERT_EQ(Codes().size(), 2u);
    EXPECT_EQ(LOWORD(H().log[0].wParam), SB_LINEUP);
    EXPECT_EQ(H().log[0].lParam, reinterpret_cast<LPARAM>(bar));
    H().log.clear();
    SetFocus(bar);
    Keys({VK_END, VK_NEXT});
    Pump();
    EXPECT_EQ(Codes(), (std::vector<WORD>{SB_BOTTOM, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL}));
}

}  // namespace
}  // namespace ctltest
