// A second process for the cross-process tests: one hidden top-level window
// that answers a few messages and reports what it saw on stdout.
// Usage: test_platform_windows_peer <runtime folder>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

namespace {

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

LRESULT PeerProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case WM_COMMAND:
        Say("command " + std::to_string(LOWORD(w)) + " " + std::to_string(l));
        return LOWORD(w) == 777 ? 1 + l : 0;
    case WM_APP + 1: return static_cast<LRESULT>(w * 2);
    case WM_APP + 2: usleep(1500 * 1000); return 5;  // slower than the sender waits
    case WM_APP + 3: return SendMessageA(reinterpret_cast<HWND>(w), WM_APP + 10, 21, 0) + 1;
    case WM_APP + 4: PostMessageA(reinterpret_cast<HWND>(w), WM_APP + 11, 5, 6); return 0;
    // Whether the message at hand was sent by another process: sent, sent
    // on by this process to itself (then asked again), and posted.
    case WM_APP + 5: return InSendMessage();
    case WM_APP + 6: return SendMessageA(h, WM_APP + 5, 0, 0) * 10 + InSendMessage();
    case WM_APP + 7: Say("in send " + std::to_string(InSendMessage())); return 0;
    case WM_SETTEXT:
    case WM_COPYDATA: Say("pointer message arrived"); break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    quelvo::win::SetRuntimeFolder(argv[1]);
    WNDCLASSA wc;
    wc.lpfnWndProc = PeerProc;
    wc.lpszClassName = "PeerClass";
    if (!RegisterClassA(&wc)) return 3;
    HWND w = CreateWindowExA(0, "PeerClass", "PeerWindow", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!w) return 4;
    char hex[32];
    std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(w)));
    Say(std::string("ready ") + hex);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Say("closed");
    return 0;
}
