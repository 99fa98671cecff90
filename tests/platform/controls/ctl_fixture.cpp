#include "ctl_fixture.h"

#include <cstdlib>

namespace ctltest {

Host& H()
{
    static Host host;
    return host;
}

int Host::Count(UINT msg) const
{
    int n = 0;
    for (const Seen& s : log) n += s.msg == msg;
    return n;
}

std::vector<WORD> Host::Commands(WORD code) const
{
    std::vector<WORD> out;
    for (const Seen& s : log)
        if (s.msg == WM_COMMAND && HIWORD(s.wParam) == code) out.push_back(LOWORD(s.wParam));
    return out;
}

namespace {

LRESULT HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Host& h = H();
    if (h.extra) {
        bool handled = false;
        LRESULT r = h.extra(hwnd, msg, wParam, lParam, handled);
        if (handled) return r;
    }
    switch (msg) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MENUCHAR:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        h.log.push_back(Seen{msg, wParam, lParam});
        break;
    case WM_ENTERIDLE:
        h.log.push_back(Seen{msg, wParam, lParam});
        if (!h.idle.empty()) {
            auto action = h.idle.front();
            h.idle.erase(h.idle.begin());
            action();
        }
        return 0;
    case WM_MEASUREITEM: {
        h.log.push_back(Seen{msg, wParam, lParam});
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (h.measureHeight) mis->itemHeight = h.measureHeight;
        mis->itemWidth = 80;
        return TRUE;
    }
    case WM_DRAWITEM:
        h.log.push_back(Seen{msg, wParam, lParam});
        h.drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    default: break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void CtlTest::SetUp()
{
    quelvo::win::ResetWindowManager();
    char tmpl[] = "/tmp/quelvo-ctltest-XXXXXX";
    folder_ = mkdtemp(tmpl);
    quelvo::win::SetRuntimeFolder(folder_);
    scope_ = std::make_unique<quelvo::sys::ClockScope>(clock_);
    H() = Host{};
    quelvo::ctl::InitControls();
    quelvo::ctl::AllowModalOnHeadlessDisplay(true);
    WNDCLASSA wc;
    wc.lpfnWndProc = HostProc;
    wc.lpszClassName = "host";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
    ASSERT_NE(RegisterClassA(&wc), 0);
    host_ = MakeHost();
    ASSERT_NE(host_, nullptr);
}

void CtlTest::TearDown()
{
    quelvo::ctl::AllowModalOnHeadlessDisplay(false);
    H() = Host{};
    quelvo::win::ResetWindowManager();
    scope_.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    quelvo::win::SetRuntimeFolder("");
}

HWND CtlTest::MakeHost(int x, int y, int w, int h)
{
    HWND hwnd = CreateWindowExA(0, "host", "host", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr,
                                nullptr);
    SetActiveWindow(hwnd);
    Pump();
    return hwnd;
}

HWND CtlTest::MakeChild(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
                        DWORD exStyle)
{
    HWND hwnd = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host_,
                                reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
    Pump();
    return hwnd;
}

POINT CtlTest::ScreenPoint(HWND hwnd, int x, int y) const
{
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

void CtlTest::Click(HWND hwnd, int x, int y)
{
    Screen().Click(ScreenPoint(hwnd, x, y));
    Pump();
    clock_.Advance(600);  // the next click is not a double click
}

void CtlTest::Keys(const std::vector<int>& vks)
{
    for (int vk : vks) Screen().PressKey(vk);
}

}  // namespace ctltest
