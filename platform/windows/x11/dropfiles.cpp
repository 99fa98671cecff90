// Drop handles: a registry of owned drops so that stale or forged handles
// are refused instead of read.
#include "platform/windows/x11/dropfiles.h"

#include "platform/graphics/winuserdraw.h"
#include "platform/system/text_conversion.h"
#include "platform/windows/display.h"

#include <algorithm>
#include <cctype>
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
    if (wanted == ex) return;
    SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG_PTR>(wanted));
    // The display tells other programs which windows take files.
    quelvo::win::Display().WindowChanged(GetAncestor(hwnd, GA_ROOT));
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

namespace {

bool StartsWithNoCase(const std::string& s, const std::string& prefix)
{
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

std::vector<std::string> PathsFromUriList(const std::string& list, const std::string& hostName)
{
    std::vector<std::string> paths;
    std::size_t pos = 0;
    while (pos < list.size()) {
        std::size_t end = list.find('\n', pos);
        if (end == std::string::npos) end = list.size();
        std::string line = list.substr(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line[0] == '#' || !StartsWithNoCase(line, "file:")) continue;
        std::string rest = line.substr(5);
        if (rest.compare(0, 2, "//") == 0) {
            std::size_t slash = rest.find('/', 2);
            if (slash == std::string::npos) continue;
            std::string host = rest.substr(2, slash - 2);
            if (!host.empty() && host != "localhost" && host != hostName) continue;  // another machine's file
            rest = rest.substr(slash);
        }
        if (rest.empty() || rest[0] != '/') continue;
        std::string path;
        bool bad = false;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            const int high = i + 2 < rest.size() ? quelvo::sys::HexDigitValue(rest[i + 1]) : -1;
            const int low = i + 2 < rest.size() ? quelvo::sys::HexDigitValue(rest[i + 2]) : -1;
            if (rest[i] == '%' && high >= 0 && low >= 0) {
                char c = static_cast<char>(high * 16 + low);
                if (c == '\0') bad = true;
                path += c;
                i += 2;
            } else {
                path += rest[i];
            }
        }
        if (!bad && !path.empty()) paths.push_back(path);
    }
    return paths;
}

std::size_t PendingDrops() { return Drops().size(); }

}  // namespace quelvo::win
