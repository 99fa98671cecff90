// Global memory blocks and the clipboard. The clipboard lives in the
// process; a backend may publish text to and fetch text from a desktop.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "platform/controls/control_base.h"

namespace {

constexpr DWORD kErrorInvalidHandle = 6;
constexpr DWORD kErrorClipboardNotOpen = 1418;

struct Block {
    std::vector<char> bytes;
    int locks = 0;
};

std::map<HGLOBAL, std::unique_ptr<Block>>& Blocks()
{
    static std::map<HGLOBAL, std::unique_ptr<Block>> blocks;
    return blocks;
}

Block* BlockOf(HGLOBAL mem)
{
    auto it = Blocks().find(mem);
    if (it == Blocks().end()) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    return it->second.get();
}

struct Clipboard {
    bool open = false;
    HWND opener = nullptr;
    HWND owner = nullptr;
    std::map<UINT, HANDLE> data;
    std::map<std::string, UINT> names;  // upper-cased
    UINT nextFormat = 0xC000;
    std::unique_ptr<quelvo::ctl::ClipboardBackend> backend;
};

Clipboard& C()
{
    static Clipboard clipboard;
    return clipboard;
}

void Release(UINT format, HANDLE data)
{
    if (!data) return;
    if (format == CF_BITMAP) DeleteObject(data);
    else if (Blocks().count(data)) GlobalFree(data);
}

HGLOBAL TextBlock(const std::string& text)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!mem) return nullptr;
    auto* p = static_cast<char*>(GlobalLock(mem));
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(mem);
    return mem;
}

std::string BlockText(HGLOBAL mem)
{
    Block* b = BlockOf(mem);
    if (!b || b->bytes.empty()) return {};
    // Up to the first zero, never past the block.
    auto end = std::find(b->bytes.begin(), b->bytes.end(), '\0');
    return std::string(b->bytes.begin(), end);
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (bytes > (SIZE_T{1} << 31)) {
        SetLastError(8);  // not enough memory
        return nullptr;
    }
    auto block = std::make_unique<Block>();
    block->bytes.assign(std::max<SIZE_T>(bytes, 1), 0);  // zeroed whatever the flags
    (void)flags;
    HGLOBAL handle = block.get();
    Blocks()[handle] = std::move(block);
    return handle;
}

HGLOBAL GlobalFree(HGLOBAL mem)
{
    if (!mem) return nullptr;
    if (!Blocks().erase(mem)) {
        SetLastError(kErrorInvalidHandle);
        return mem;
    }
    return nullptr;
}

LPVOID GlobalLock(HGLOBAL mem)
{
    Block* b = BlockOf(mem);
    if (!b) return nullptr;
    ++b->locks;
    return b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL mem)
{
    Block* b = BlockOf(mem);
    if (!b || b->locks == 0) return FALSE;
    return --b->locks > 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL mem)
{
    Block* b = BlockOf(mem);
    return b ? b->bytes.size() : 0;
}

BOOL OpenClipboard(HWND owner)
{
    Clipboard& c = C();
    if (c.open) return FALSE;
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    c.open = true;
    c.opener = owner;
    return TRUE;
}

BOOL CloseClipboard()
{
    Clipboard& c = C();
    if (!c.open) {
        SetLastError(kErrorClipboardNotOpen);
        return FALSE;
    }
    c.open = false;
    c.opener = nullptr;
    return TRUE;
}

BOOL EmptyClipboard()
{
    Clipboard& c = C();
    if (!c.open) {
        SetLastError(kErrorClipboardNotOpen);
        return FALSE;
    }
    for (auto& [format, data] : c.data) Release(format, data);
    c.data.clear();
    c.owner = c.opener;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data)
{
    Clipboard& c = C();
    if (!c.open || !data || format == 0) {
        SetLastError(c.open ? 87 : kErrorClipboardNotOpen);
        return nullptr;
    }
    if ((format == CF_TEXT || format == CF_DIB) && !Blocks().count(data)) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    auto it = c.data.find(format);
    if (it != c.data.end() && it->second != data) Release(format, it->second);
    c.data[format] = data;
    if (format == CF_TEXT && c.backend) c.backend->Published(BlockText(data));
    return data;
}

HANDLE GetClipboardData(UINT format)
{
    Clipboard& c = C();
    if (!c.open) {
        SetLastError(kErrorClipboardNotOpen);
        return nullptr;
    }
    auto it = c.data.find(format);
    if (it != c.data.end()) return it->second;
    std::string text;
    if (format == CF_TEXT && c.backend && c.backend->Fetch(text)) {
        HGLOBAL mem = TextBlock(text);
        c.data[CF_TEXT] = mem;
        return mem;
    }
    return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    Clipboard& c = C();
    if (c.data.count(format)) return TRUE;
    std::string text;
    return format == CF_TEXT && c.backend && c.backend->Fetch(text) ? TRUE : FALSE;
}

UINT RegisterClipboardFormatA(LPCSTR name)
{
    if (!name || !*name) {
        SetLastError(87);
        return 0;
    }
    std::string key = name;
    for (char& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    Clipboard& c = C();
    auto it = c.names.find(key);
    if (it != c.names.end()) return it->second;
    if (c.nextFormat == 0xFFFF) return 0;
    return c.names[key] = c.nextFormat++;
}

HWND GetClipboardOwner() { return IsWindow(C().owner) ? C().owner : nullptr; }

int CountClipboardFormats() { return static_cast<int>(C().data.size()); }

namespace quelvo::ctl {

void SetClipboardBackend(std::unique_ptr<ClipboardBackend> backend) { C().backend = std::move(backend); }

std::string ClipboardText()
{
    bool wasOpen = C().open;
    if (!wasOpen && !OpenClipboard(nullptr)) return {};
    HANDLE data = GetClipboardData(CF_TEXT);
    std::string text = data ? BlockText(data) : std::string();
    if (!wasOpen) CloseClipboard();
    return text;
}

bool SetClipboardText(HWND owner, const std::string& text)
{
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    HGLOBAL mem = TextBlock(text);
    bool ok = mem && SetClipboardData(CF_TEXT, mem);
    if (mem && !ok) GlobalFree(mem);
    CloseClipboard();
    return ok;
}

}  // namespace quelvo::ctl
