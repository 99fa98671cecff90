// Icons and cursors: a mask bitmap and an optional colour bitmap.
#include "platform/graphics/raster.h"

#include <algorithm>

using namespace quelvo::gfx;

namespace {

HBITMAP CopyBitmap(HBITMAP source)
{
    BitmapObj* b = LookupBitmap(source);
    if (!b)
        return nullptr;
    b->Sync(BitmapAccess::Read);
    HBITMAP copy = CreateBitmap(b->width, b->height, 1, static_cast<UINT>(b->bitsPixel == 1 ? 1 : 32), nullptr);
    BitmapObj* c = LookupBitmap(copy);
    if (!c)
        return nullptr;
    for (int y = 0; y < b->height; ++y)
        std::copy(b->surface.Row(y), b->surface.Row(y) + b->width, c->surface.Row(y));
    return copy;
}

IconObj* LookupIcon(HICON icon) { return LookupAs<IconObj>(icon, ObjKind::Icon); }

} // namespace

HICON CreateIconIndirect(const ICONINFO* info)
{
    if (!info)
        return nullptr;
    BitmapObj* mask = LookupBitmap(info->hbmMask);
    BitmapObj* color = info->hbmColor ? LookupBitmap(info->hbmColor) : nullptr;
    if (!mask || (info->hbmColor && !color))
        return nullptr;
    auto icon = std::make_unique<IconObj>();
    icon->kind = ObjKind::Icon;
    icon->info = *info;
    icon->info.hbmMask = CopyBitmap(info->hbmMask);
    icon->info.hbmColor = color ? CopyBitmap(info->hbmColor) : nullptr;
    icon->width = color ? color->width : mask->width;
    icon->height = color ? color->height : mask->height / 2;
    if (icon->height <= 0 || !icon->info.hbmMask || (color && !icon->info.hbmColor)) {
        DeleteObject(icon->info.hbmMask);
        DeleteObject(icon->info.hbmColor);
        return nullptr;
    }
    return reinterpret_cast<HICON>(Register(std::move(icon)));
}

BOOL GetIconInfo(HICON handle, ICONINFO* info)
{
    IconObj* icon = LookupIcon(handle);
    if (!icon || !info)
        return FALSE;
    *info = icon->info;
    info->hbmMask = CopyBitmap(icon->info.hbmMask);
    info->hbmColor = icon->info.hbmColor ? CopyBitmap(icon->info.hbmColor) : nullptr;
    return TRUE;
}

HICON CopyIcon(HICON handle)
{
    IconObj* icon = LookupIcon(handle);
    if (!icon)
        return nullptr;
    return CreateIconIndirect(&icon->info);
}

BOOL DestroyIcon(HICON handle)
{
    IconObj* icon = LookupIcon(handle);
    if (!icon)
        return FALSE;
    DeleteObject(icon->info.hbmMask);
    if (icon->info.hbmColor)
        DeleteObject(icon->info.hbmColor);
    Unregister(reinterpret_cast<HGDIOBJ>(handle));
    return TRUE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int cx, int cy, UINT, HBRUSH flickerFree, UINT flags)
{
    IconObj* icon = LookupIcon(handle);
    if (!icon || !LookupDC(dc))
        return FALSE;
    if (cx == 0)
        cx = (flags & DI_DEFAULTSIZE) ? 32 : icon->width;
    if (cy == 0)
        cy = (flags & DI_DEFAULTSIZE) ? 32 : icon->height;
    if (flickerFree) {
        RECT r{x, y, x + cx, y + cy};
        FillRect(dc, &r, flickerFree);
    }
    if ((flags & DI_NORMAL) == 0)
        return TRUE;
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    HDC mem = CreateCompatibleDC(nullptr);
    BitmapObj* color = icon->info.hbmColor ? LookupBitmap(icon->info.hbmColor) : nullptr;
    // A colour image with alpha is blended; otherwise AND the mask, then
    // XOR the image.
    bool alpha = false;
    if (color && color->bitsPixel == 32)
        for (int yy = 0; yy < color->height && !alpha; ++yy)
            for (int xx = 0; xx < color->width && !alpha; ++xx)
                alpha = (color->surface.At(xx, yy) >> 24) != 0;
    if (alpha && (flags & DI_IMAGE)) {
        HGDIOBJ old = SelectObject(mem, icon->info.hbmColor);
        BLENDFUNCTION bf;
        bf.AlphaFormat = AC_SRC_ALPHA;
        AlphaBlend(dc, x, y, cx, cy, mem, 0, 0, icon->width, icon->height, bf);
        SelectObject(mem, old);
    } else {
        HGDIOBJ old = SelectObject(mem, icon->info.hbmMask);
        if (flags & DI_MASK)
            StretchBlt(dc, x, y, cx, cy, mem, 0, 0, icon->width, icon->height, (flags & DI_IMAGE) ? SRCAND : SRCCOPY);
        if (flags & DI_IMAGE) {
            if (color) {
                SelectObject(mem, icon->info.hbmColor);
                StretchBlt(dc, x, y, cx, cy, mem, 0, 0, icon->width, icon->height,
                           (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
            } else {
                StretchBlt(dc, x, y, cx, cy, mem, 0, icon->height, icon->width, icon->height,
                           (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
            }
        }
        SelectObject(mem, old);
    }
    DeleteDC(mem);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL); }
