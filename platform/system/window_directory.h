#pragma once
// Top-level windows of every process on the desktop, as the system side
// sees them. The process engine finds and closes other programs' windows
// through this; the window layer installs the real directory at start-up
// (its windows and those other programs published in the runtime folder),
// and the fake system installs a scripted one. Until one is installed
// there are no windows and nothing can be posted.

#include <memory>
#include <vector>

#include "platform/system/wintypes.h"

namespace quelvo::sys {

struct TopLevelWindow {
    HWND window = nullptr;
    DWORD processId = 0;
};

class WindowDirectory {
public:
    virtual ~WindowDirectory() = default;
    // Every top-level window, hidden ones included, topmost first.
    virtual std::vector<TopLevelWindow> TopLevelWindows() = 0;
    // Queues a message to a window of any process; false when the window
    // does not exist (the error is then ERROR_INVALID_WINDOW_HANDLE).
    virtual bool PostMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Delivers a message and waits for its result; 0 when not delivered.
    virtual LRESULT SendMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// The directory in use; never null (an empty one by default).
WindowDirectory& Windows();
// Installs a directory (null = the empty default) and returns the previous.
WindowDirectory* InstallWindowDirectory(WindowDirectory* directory);

// The windows of one process in directory order; 0 when it has none.
std::vector<HWND> WindowsOfProcess(DWORD processId);
DWORD ProcessOfWindow(HWND window);

class WindowDirectoryScope {
public:
    explicit WindowDirectoryScope(WindowDirectory& directory) : previous_(InstallWindowDirectory(&directory)) {}
    ~WindowDirectoryScope() { InstallWindowDirectory(previous_); }
    WindowDirectoryScope(const WindowDirectoryScope&) = delete;
    WindowDirectoryScope& operator=(const WindowDirectoryScope&) = delete;

private:
    WindowDirectory* previous_ = nullptr;
};

}  // namespace quelvo::sys
