// Drop handles: a registry of owned drops so that stale or forged handles
// are refused instead of read.
#include "platform/windows/x11/dropfiles.h"

#include "platform/graphics/winuserdraw.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

struct HDROP__ {
    std::vector<std::string> paths;
    POINT pt{};
    bool inClient = true;
};

namespace {

std::map<HDROP, std::unique_ptr<HDROP__>>& Drops()
{
    static std::map<HDROP, std::unique_ptr<HDROP__>> drops;
    return drops;
}

HDROP__* Lookup(HDROP drop)
{
    auto it = Drops().find(drop);
    return it == Drops().end() ? nullptr : it->second.get();
}

}  // namespace

void DragAcceptFiles(HWND hwnd, BOOL accept)
{
    if (!IsWindow(hwnd)) return;
    auto ex = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    DWORD wanted = accept ? (ex | WS_EX_ACCEPTFILES) : (ex & ~WS_EX_ACCEPTFILES);
    if (wanted != ex) SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG_PTR>(wanted));
}

UINT DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size)
{
    HDROP__* d = Lookup(drop);
    if (!d) return 0;
    if (index == 0xFFFFFFFFu) return static_cast<UINT>(d->paths.size());
    if (index >= d->paths.size()) return 0;
    const std::string& path = d->paths[index];
    if (!buffer) return static_cast<UINT>(path.size());
    if (size == 0) return 0;
    std::size_t n = std::min<std::size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
    return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP drop, LPPOINT pt)
{
    HDROP__* d = Lookup(drop);
    if (!d || !pt) return FALSE;
    *pt = d->pt;
    return d->inClient ? TRUE : FALSE;
}

void DragFinish(HDROP drop) { Drops().erase(drop); }

namespace quelvo::win {

bool AcceptsDroppedFiles(HWND hwnd)
{
    return IsWindow(hwnd) && (static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)) & WS_EX_ACCEPTFILES) != 0;
}

bool PostDroppedFiles(HWND hwnd, const std::vector<std::string>& paths, POINT clientPt)
{
    if (paths.empty() || !AcceptsDroppedFiles(hwnd)) return false;
    auto d = std::make_unique<HDROP__>();
    d->paths = paths;
    d->pt = clientPt;
    RECT client{};
    GetClientRect(hwnd, &client);
    d->inClient = PtInRect(&client, clientPt) != FALSE;
    HDROP handle = d.get();
    Drops().emplace(handle, std::move(d));
    if (!PostMessageA(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0)) {
        Drops().erase(handle);
        return false;
    }
    return true;
}

std::size_t PendingDrops() { return Drops().size(); }

}  // namespace quelvo::win
