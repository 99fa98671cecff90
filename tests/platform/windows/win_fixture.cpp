#include "tests/platform/windows/win_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace wintest {

std::string MessageName(UINT msg)
{
    static const std::map<UINT, std::string> names = {
        {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"},
        {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_ENABLE, "WM_ENABLE"}, {WM_SETTEXT, "WM_SETTEXT"}, {WM_GETTEXT, "WM_GETTEXT"},
        {WM_PAINT, "WM_PAINT"}, {WM_CLOSE, "WM_CLOSE"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"}, {WM_CANCELMODE, "WM_CANCELMODE"},
        {WM_SETCURSOR, "WM_SETCURSOR"}, {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
        {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
        {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
        {WM_NCHITTEST, "WM_NCHITTEST"}, {WM_NCPAINT, "WM_NCPAINT"}, {WM_NCACTIVATE, "WM_NCACTIVATE"},
        {WM_GETDLGCODE, "WM_GETDLGCODE"}, {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"},
        {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"}, {WM_SYSCHAR, "WM_SYSCHAR"},
        {WM_COMMAND, "WM_COMMAND"}, {WM_TIMER, "WM_TIMER"}, {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
        {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"}, {WM_RBUTTONUP, "WM_RBUTTONUP"}, {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
        {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"}, {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"}, {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"}, {WM_MOUSELEAVE, "WM_MOUSELEAVE"}, {WM_MOUSEHOVER, "WM_MOUSEHOVER"},
        {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"}, {WM_STYLECHANGING, "WM_STYLECHANGING"}, {WM_STYLECHANGED, "WM_STYLECHANGED"},
        {WM_SYSCOLORCHANGE, "WM_SYSCOLORCHANGE"}, {WM_SETTINGCHANGE, "WM_SETTINGCHANGE"}, {WM_THEMECHANGED, "WM_THEMECHANGED"},
        {WM_CONTEXTMENU, "WM_CONTEXTMENU"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"}, {WM_APP, "WM_APP"}, {WM_USER, "WM_USER"},
    };
    auto it = names.find(msg);
    if (it != names.end()) return it->second;
    return "0x" + std::to_string(msg);
}

std::string Recorder::NameOf(HWND hwnd) const
{
    if (!hwnd) return "0";
    auto it = names_.find(hwnd);
    return it == names_.end() ? "?" : it->second;
}

void Recorder::Add(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    std::string e = NameOf(hwnd) + " " + MessageName(msg);
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: e += " " + NameOf(reinterpret_cast<HWND>(wParam)); break;
    case WM_ACTIVATE: e += " " + std::to_string(LOWORD(wParam)) + " " + NameOf(reinterpret_cast<HWND>(lParam)); break;
    case WM_NCACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_SHOWWINDOW:
    case WM_ENABLE: e += " " + std::to_string(wParam); break;
    case WM_CAPTURECHANGED: e += " " + NameOf(reinterpret_cast<HWND>(lParam)); break;
    case WM_TIMER: e += " " + std::to_string(wParam); break;
    case WM_CHAR:
    case WM_SYSCHAR: e += " " + std::string(1, static_cast<char>(wParam)); break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: e += " " + std::to_string(wParam); break;
    case WM_SIZE:
    case WM_MOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_CONTEXTMENU:
        e += " " + std::to_string(static_cast<SHORT>(LOWORD(lParam))) + "," + std::to_string(static_cast<SHORT>(HIWORD(lParam)));
        break;
    case WM_COMMAND: e += " " + std::to_string(LOWORD(wParam)); break;
    default: break;
    }
    log_.push_back(e);
}

std::vector<std::string> Recorder::Only(const std::set<std::string>& keep) const
{
    std::vector<std::string> out;
    for (const std::string& e : log_) {
        auto sp = e.find(' ');
        auto sp2 = e.find(' ', sp + 1);
        std::string msg = e.substr(sp + 1, sp2 == std::string::npos ? std::string::npos : sp2 - sp - 1);
        if (keep.count(msg)) out.push_back(e);
    }
    return out;
}

Recorder& Rec()
{
    static Recorder r;
    return r;
}

namespace {
std::string gPendingName;  // the window Make is creating
}

LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!gPendingName.empty() && Rec().NameOf(hwnd) == "?") Rec().Name(hwnd, gPendingName);
    // Windows are named by their title, so creation messages are recorded too.
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs && cs->lpszName) Rec().Name(hwnd, cs->lpszName);
    }
    Rec().Add(hwnd, msg, wParam, lParam);
    auto it = Rec().answers.find(Rec().NameOf(hwnd));
    if (it != Rec().answers.end()) {
        auto a = it->second.byMessage.find(msg);
        if (a != it->second.byMessage.end()) return a->second;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void WinTest::SetUp()
{
    quelvo::win::ResetWindowManager();
    char tmpl[] = "/tmp/quelvo-wintest-XXXXXX";
    folder_ = mkdtemp(tmpl);
    quelvo::win::SetRuntimeFolder(folder_);
    scope_ = std::make_unique<quelvo::sys::ClockScope>(clock_);
    Rec() = Recorder{};
    WNDCLASSA wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "rec";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
    ASSERT_NE(RegisterClassA(&wc), 0);
    wc.style = 0;
    wc.lpszClassName = "plain";
    ASSERT_NE(RegisterClassA(&wc), 0);
}

void WinTest::TearDown()
{
    quelvo::win::ResetWindowManager();
    scope_.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    quelvo::win::SetRuntimeFolder("");
}

HWND WinTest::Make(const std::string& name, DWORD style, int x, int y, int w, int h, HWND parent, int id,
                   DWORD exStyle, const char* cls)
{
    gPendingName = name;
    HWND hwnd = CreateWindowExA(exStyle, cls, name.c_str(), style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
    gPendingName.clear();
    if (hwnd) Rec().Name(hwnd, name);
    return hwnd;
}

}  // namespace wintest
