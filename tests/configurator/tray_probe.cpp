// Stands in for the tray program: built as "QuelvoTray.exe", it shows one
// hidden top-level window and appends "<id> <lParam>" to a log file for
// every WM_COMMAND it gets, answering 1.
// Usage: QuelvoTray.exe <runtime folder> <log file> [window delay ms]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

namespace {

std::string logPath;

LRESULT ProbeProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case WM_COMMAND:
        if (FILE* log = std::fopen(logPath.c_str(), "a")) {
            std::fprintf(log, "%u %lld\n", static_cast<unsigned>(LOWORD(w)), static_cast<long long>(l));
            std::fclose(log);
        }
        return 1;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(h, m, w, l);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return 2;
    quelvo::win::SetRuntimeFolder(argv[1]);
    logPath = argv[2];
    if (argc > 3) ::usleep(static_cast<useconds_t>(std::atoi(argv[3])) * 1000);
    WNDCLASSA wc;
    wc.lpfnWndProc = ProbeProc;
    wc.lpszClassName = "QuelvoProbe";
    if (!RegisterClassA(&wc)) return 3;
    if (!CreateWindowExA(0, "QuelvoProbe", "Probe", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) return 4;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
