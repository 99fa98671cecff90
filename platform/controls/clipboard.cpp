// The clipboard. The clipboard lives in the
// process; a backend may publish text and images to and fetch them from a
// desktop.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/controls/control_base.h"

namespace {

constexpr DWORD kErrorClipboardNotOpen = 1418;
constexpr DWORD kErrorInvalidData = 13;

bool IsBlock(HANDLE data) { return data && GlobalFlags(data) != GMEM_INVALID_HANDLE; }

// A global block's bytes for as long as it lives; empty for a handle that
// is not a block.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL mem) : mem_(mem), size_(GlobalSize(mem))
    {
        if (size_) data_ = static_cast<const unsigned char*>(GlobalLock(mem));
        if (!data_) size_ = 0;
    }
    ~LockedBlock()
    {
        if (data_) GlobalUnlock(mem_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    const unsigned char* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    HGLOBAL mem_ = nullptr;
    std::size_t size_ = 0;
    const unsigned char* data_ = nullptr;
};

struct Clipboard {
    bool open = false;
    HWND opener = nullptr;
    HWND owner = nullptr;
    std::map<UINT, HANDLE> data;
    std::map<std::string, UINT> names;  // upper-cased
    UINT nextFormat = 0xC000;
    std::unique_ptr<quelvo::ctl::ClipboardBackend> backend;
    std::set<UINT> fetched;  // formats that came from the backend, not from us
    bool stale = false;    // taken elsewhere while open: drop at close
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
    else if (IsBlock(data)) GlobalFree(data);
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

// A bitmap as a packed DIB block: header and 32-bit rows, bottom-up.
HGLOBAL DibFromBitmap(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
    std::size_t rowBytes = static_cast<std::size_t>(bm.bmWidth) * 4;
    std::size_t bytes = sizeof(BITMAPINFOHEADER) + rowBytes * static_cast<std::size_t>(bm.bmHeight);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) return nullptr;
    auto* base = static_cast<unsigned char*>(GlobalLock(mem));
    BITMAPINFO info;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bytes - sizeof(BITMAPINFOHEADER));
    HDC dc = GetDC(nullptr);
    int lines = GetDIBits(dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), base + sizeof(BITMAPINFOHEADER), &info,
                          DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    std::memcpy(base, &info.bmiHeader, sizeof(BITMAPINFOHEADER));
    GlobalUnlock(mem);
    if (lines <= 0) return GlobalFree(mem), nullptr;
    return mem;
}

// A device bitmap from a packed DIB block; nullptr for a block whose header
// does not describe what it holds.
HBITMAP BitmapFromDib(HGLOBAL mem)
{
    LockedBlock b(mem);
    if (b.Size() < sizeof(BITMAPINFOHEADER)) {
        SetLastError(kErrorInvalidData);
        return nullptr;
    }
    BITMAPINFOHEADER h;
    std::memcpy(&h, b.Data(), sizeof h);
    int bits = h.biBitCount;
    long width = h.biWidth, height = h.biHeight < 0 ? -static_cast<long>(h.biHeight) : h.biHeight;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > b.Size() || h.biCompression != BI_RGB ||
        width <= 0 || height <= 0 || width > 16384 || height > 16384 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        SetLastError(kErrorInvalidData);
        return nullptr;
    }
    std::size_t colours = bits <= 8 ? (h.biClrUsed && h.biClrUsed < (1u << bits) ? h.biClrUsed : (1u << bits)) : 0;
    std::size_t stride = ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32) * 4;
    std::size_t offset = h.biSize + colours * sizeof(RGBQUAD);
    if (offset + stride * static_cast<std::size_t>(height) > b.Size()) {
        SetLastError(kErrorInvalidData);
        return nullptr;
    }
    // The header and colour table as BITMAPINFO wants them, 40-byte header first.
    std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + std::max<std::size_t>(colours, 1) * sizeof(RGBQUAD), 0);
    BITMAPINFOHEADER plain = h;
    plain.biSize = sizeof(BITMAPINFOHEADER);
    std::memcpy(info.data(), &plain, sizeof plain);
    std::memcpy(info.data() + sizeof plain, b.Data() + h.biSize, colours * sizeof(RGBQUAD));
    const auto* bi = reinterpret_cast<const BITMAPINFO*>(info.data());
    HDC dc = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(dc, &bi->bmiHeader, CBM_INIT, b.Data() + offset, bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return bitmap;
}

HGLOBAL BytesBlock(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty()) return nullptr;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!mem) return nullptr;
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    return mem;
}

std::vector<std::uint8_t> BlockBytes(HGLOBAL mem)
{
    LockedBlock b(mem);
    return b.Data() ? std::vector<std::uint8_t>(b.Data(), b.Data() + b.Size()) : std::vector<std::uint8_t>();
}

// The packed DIB of an image set as CF_DIB or CF_BITMAP, for the desktop.
std::vector<std::uint8_t> ImageBytes(UINT format, HANDLE data)
{
    if (format == CF_DIB) return BlockBytes(data);
    HGLOBAL dib = DibFromBitmap(static_cast<HBITMAP>(data));
    if (!dib) return {};
    std::vector<std::uint8_t> bytes = BlockBytes(dib);
    GlobalFree(dib);
    return bytes;
}

std::string BlockText(HGLOBAL mem)
{
    LockedBlock b(mem);
    // Up to the first zero, never past the block.
    const auto* text = reinterpret_cast<const char*>(b.Data());
    return text ? std::string(text, std::find(text, text + b.Size(), '\0')) : std::string();
}

void DropAll(Clipboard& c)
{
    for (auto& [format, data] : c.data) Release(format, data);
    c.data.clear();
    c.owner = nullptr;
    c.fetched.clear();
    c.stale = false;
}

// What was fetched earlier may no longer be the desktop's.
void DropFetched(Clipboard& c)
{
    for (UINT format : c.fetched) {
        auto it = c.data.find(format);
        if (it == c.data.end()) continue;
        Release(format, it->second);
        c.data.erase(it);
    }
    c.fetched.clear();
}

bool IsImage(UINT format) { return format == CF_DIB || format == CF_BITMAP; }

}  // namespace

BOOL OpenClipboard(HWND owner)
{
    Clipboard& c = C();
    if (c.open) return FALSE;
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    DropFetched(c);
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
    if (c.stale) DropAll(c);
    return TRUE;
}

BOOL EmptyClipboard()
{
    Clipboard& c = C();
    if (!c.open) {
        SetLastError(kErrorClipboardNotOpen);
        return FALSE;
    }
    DropAll(c);
    if (c.backend) c.backend->Emptied();
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
    if ((format == CF_TEXT || format == CF_DIB) && !IsBlock(data)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto it = c.data.find(format);
    if (it != c.data.end() && it->second != data) Release(format, it->second);
    c.data[format] = data;
    c.fetched.erase(format);
    if (format == CF_TEXT && c.backend) c.backend->Published(BlockText(data));
    if (IsImage(format) && c.backend) {
        std::vector<std::uint8_t> dib = ImageBytes(format, data);
        if (!dib.empty()) c.backend->PublishedImage(dib);
    }
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
    // A bitmap is offered in both forms; the other is made on demand.
    if (format == CF_DIB && c.data.count(CF_BITMAP)) {
        HGLOBAL dib = DibFromBitmap(static_cast<HBITMAP>(c.data[CF_BITMAP]));
        if (dib) c.data[CF_DIB] = dib;
        return dib;
    }
    if (format == CF_BITMAP && c.data.count(CF_DIB)) {
        HBITMAP bitmap = BitmapFromDib(c.data[CF_DIB]);
        if (bitmap) c.data[CF_BITMAP] = bitmap;
        if (bitmap && c.fetched.count(CF_DIB)) c.fetched.insert(CF_BITMAP);
        return bitmap;
    }
    std::vector<std::uint8_t> dib;
    if (IsImage(format) && c.backend && c.backend->FetchImage(dib)) {
        HGLOBAL mem = BytesBlock(dib);
        if (!mem) return nullptr;
        c.data[CF_DIB] = mem;
        c.fetched.insert(CF_DIB);
        return format == CF_DIB ? mem : GetClipboardData(CF_BITMAP);
    }
    std::string text;
    if (format == CF_TEXT && c.backend && c.backend->Fetch(text)) {
        HGLOBAL mem = TextBlock(text);
        if (mem) {
            c.data[CF_TEXT] = mem;
            c.fetched.insert(CF_TEXT);
        }
        return mem;
    }
    return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    Clipboard& c = C();
    if (!c.open) DropFetched(c);
    if (c.data.count(format)) return TRUE;
    if ((format == CF_DIB && c.data.count(CF_BITMAP)) || (format == CF_BITMAP && c.data.count(CF_DIB))) return TRUE;
    if (IsImage(format)) return c.backend && c.backend->HasImage() ? TRUE : FALSE;
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

void ClipboardTakenElsewhere()
{
    Clipboard& c = C();
    if (c.open) c.stale = true;
    else DropAll(c);
}

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
