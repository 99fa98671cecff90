#include "platform/system/window_directory.h"

#include <atomic>

#include "platform/system/winerror.h"

namespace quelvo::sys {
namespace {

class EmptyDirectory final : public WindowDirectory {
public:
    std::vector<TopLevelWindow> TopLevelWindows() override { return {}; }
    bool PostMessageTo(HWND, UINT, WPARAM, LPARAM) override
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    LRESULT SendMessageTo(HWND, UINT, WPARAM, LPARAM) override
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
};

EmptyDirectory g_empty;
std::atomic<WindowDirectory*> g_directory{nullptr};

}  // namespace

WindowDirectory& Windows()
{
    WindowDirectory* directory = g_directory.load();
    return directory != nullptr ? *directory : g_empty;
}

WindowDirectory* InstallWindowDirectory(WindowDirectory* directory) { return g_directory.exchange(directory); }

std::vector<HWND> WindowsOfProcess(DWORD processId)
{
    std::vector<HWND> result;
    for (const TopLevelWindow& entry : Windows().TopLevelWindows()) {
        if (entry.processId == processId) result.push_back(entry.window);
    }
    return result;
}

DWORD ProcessOfWindow(HWND window)
{
    for (const TopLevelWindow& entry : Windows().TopLevelWindows()) {
        if (entry.window == window) return entry.processId;
    }
    return 0;
}

}  // namespace quelvo::sys
