#include "platform/hostlib/visual/clipboard.h"

#include <cstring>

#include "platform/controls/winctl.h"
#include "platform/hostlib/visual/pictures.h"

namespace hostlib {

namespace gfx = quelvo::gfx;

namespace {
// Opens the clipboard for the scope; raises when another has it open.
class ClipboardScope {
public:
    ClipboardScope()
    {
        if (!OpenClipboard(nullptr)) throw Exception("Cannot open clipboard");
    }
    ~ClipboardScope() { CloseClipboard(); }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
};
}  // namespace

TClass TClipboard::StaticClass() { return DefineClass<TClipboard, TPersistent>("TClipboard"); }

TClipboard* Clipboard()
{
    static ObjectPtr<TClipboard> clipboard(CreateObject<TClipboard>());
    return clipboard.get();
}

std::string TClipboard::AsText()
{
    ClipboardScope scope;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return "";
    const auto* text = static_cast<const char*>(GlobalLock(data));
    std::string result;
    if (text) result.assign(text, strnlen(text, GlobalSize(data)));
    GlobalUnlock(data);
    return result;
}

void TClipboard::SetAsText(const std::string& text)
{
    ClipboardScope scope;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block) throw EOutOfResources("Out of memory for the clipboard");
    auto* dest = static_cast<char*>(GlobalLock(block));
    std::memcpy(dest, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
}

bool TClipboard::HasFormat(UINT format)
{
    if (format == CF_PICTURE()) format = CF_BITMAP;
    return IsClipboardFormatAvailable(format) != FALSE;
}

UINT CF_PICTURE()
{
    static const UINT format = RegisterClipboardFormatA("Quelvo Picture");
    return format;
}

void TClipboard::Clear()
{
    ClipboardScope scope;
    EmptyClipboard();
}

void TClipboard::Assign(TPersistent* source)
{
    TBitmap* bitmap = As<TBitmap>(source);
    ObjectPtr<TBitmap> converted;
    if (!bitmap) {
        TGraphic* graphic = As<TGraphic>(source);
        if (auto* picture = As<TPicture>(source)) graphic = picture->Graphic();
        if (!graphic) return TPersistent::Assign(source);
        converted.reset(CreateObject<TBitmap>());
        converted->Assign(graphic);
        bitmap = converted.get();
    }
    HBITMAP copy = gfx::CreateBitmapFromPicture(bitmap->ToPicture());
    if (!copy) throw EOutOfResources("Out of system resources");
    ClipboardScope scope;
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, copy);
}

void TClipboard::AssignTo(TPersistent* dest)
{
    TBitmap* bitmap = As<TBitmap>(dest);
    auto* picture = As<TPicture>(dest);
    if (!bitmap && !picture) return TPersistent::AssignTo(dest);
    gfx::Picture pixels;
    {
        ClipboardScope scope;
        auto handle = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        if (!handle || !gfx::PictureFromBitmap(handle, pixels)) throw EInvalidGraphic("Clipboard holds no picture");
    }
    if (picture) bitmap = picture->Bitmap();
    bitmap->LoadFromPicture(pixels);
}

}  // namespace hostlib
