// Device contexts, object selection and DC state.
#include "platform/graphics/gdiobjects.h"
#include "platform/graphics/libraries.h"

#include <algorithm>
#include <atomic>
#include <cstring>

using namespace quelvo::gfx;

namespace {

HGDIOBJ MakeStockPen(int style, COLORREF color, bool dcPen = false)
{
    auto p = std::make_unique<PenObj>();
    p->kind = ObjKind::Pen;
    p->stock = true;
    p->style = style;
    p->color = color;
    p->dcPen = dcPen;
    return Register(std::move(p));
}

HGDIOBJ MakeStockBrush(UINT style, COLORREF color, bool dcBrush = false)
{
    auto b = std::make_unique<BrushObj>();
    b->kind = ObjKind::Brush;
    b->stock = true;
    b->style = style;
    b->color = color;
    b->dcBrush = dcBrush;
    return Register(std::move(b));
}

HGDIOBJ MakeStockFont(const char* face, int height, int pitch)
{
    auto f = std::make_unique<FontObj>();
    f->kind = ObjKind::Font;
    f->stock = true;
    f->log.lfHeight = height;
    f->log.lfPitchAndFamily = static_cast<BYTE>(pitch);
    std::strncpy(f->log.lfFaceName, face, LF_FACESIZE - 1);
    return Register(std::move(f));
}

struct StockObjects {
    HGDIOBJ objects[DC_PEN + 1] = {};
    StockObjects()
    {
        objects[WHITE_BRUSH] = MakeStockBrush(BS_SOLID, RGB(255, 255, 255));
        objects[LTGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(192, 192, 192));
        objects[GRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(128, 128, 128));
        objects[DKGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(64, 64, 64));
        objects[BLACK_BRUSH] = MakeStockBrush(BS_SOLID, RGB(0, 0, 0));
        objects[NULL_BRUSH] = MakeStockBrush(BS_NULL, 0);
        objects[WHITE_PEN] = MakeStockPen(PS_SOLID, RGB(255, 255, 255));
        objects[BLACK_PEN] = MakeStockPen(PS_SOLID, RGB(0, 0, 0));
        objects[NULL_PEN] = MakeStockPen(PS_NULL, 0);
        objects[OEM_FIXED_FONT] = MakeStockFont("Courier New", -13, FIXED_PITCH);
        objects[ANSI_FIXED_FONT] = MakeStockFont("Courier New", -13, FIXED_PITCH);
        objects[ANSI_VAR_FONT] = MakeStockFont("MS Sans Serif", -11, VARIABLE_PITCH);
        objects[SYSTEM_FONT] = MakeStockFont("MS Sans Serif", -13, VARIABLE_PITCH);
        objects[DEVICE_DEFAULT_FONT] = MakeStockFont("MS Sans Serif", -13, VARIABLE_PITCH);
        objects[SYSTEM_FIXED_FONT] = MakeStockFont("Courier New", -13, FIXED_PITCH);
        objects[DEFAULT_GUI_FONT] = MakeStockFont("MS Shell Dlg", -11, VARIABLE_PITCH);
        objects[DC_BRUSH] = MakeStockBrush(BS_SOLID, RGB(255, 255, 255), true);
        objects[DC_PEN] = MakeStockPen(PS_SOLID, 0, true);
    }
};

StockObjects& Stock()
{
    static StockObjects stock;
    return stock;
}

void Hold(HGDIOBJ h)
{
    if (GdiObject* o = Lookup(h))
        ++o->selectedCount;
}

void Release(HGDIOBJ h)
{
    GdiObject* o = Lookup(h);
    if (!o)
        return;
    // Every release pairs with an earlier hold.
    if (o->selectedCount.fetch_sub(1) == 1 && o->deletePending)
        Unregister(h);
}

void InitState(DCState& st)
{
    st.pen = Stock().objects[BLACK_PEN];
    st.brush = Stock().objects[WHITE_BRUSH];
    st.font = Stock().objects[SYSTEM_FONT];
    Hold(st.pen);
    Hold(st.brush);
    Hold(st.font);
}

void HoldState(const DCState& st)
{
    Hold(st.pen);
    Hold(st.brush);
    Hold(st.font);
    Hold(st.bitmap);
}

// `current`: the state in use (its bitmap counts as selected); saved
// states only keep their objects alive.
void ReleaseState(const DCState& st, bool current)
{
    Release(st.pen);
    Release(st.brush);
    Release(st.font);
    if (BitmapObj* b = LookupBitmap(st.bitmap); b && current) {
        --b->selectedInDCs;
        b->Sync(BitmapAccess::Read);
    }
    Release(st.bitmap);
}

HDC NewDC(bool memory, Surface* external, POINT origin)
{
    // Referencing the registration links it into every program that draws.
    RegisterLibraries();
    auto dc = std::make_unique<DCObj>();
    dc->kind = ObjKind::DC;
    dc->memory = memory;
    dc->external = external;
    dc->deviceOrigin = origin;
    InitState(dc->st);
    if (memory) {
        dc->st.bitmap = DefaultDCBitmap();
        Hold(dc->st.bitmap);
    }
    return static_cast<HDC>(Register(std::move(dc)));
}

// The measuring screen: one pixel, 32 bits.
Surface& ScreenSurface()
{
    static Surface screen(1, 1);
    return screen;
}

} // namespace

HDC CreateCompatibleDC(HDC)
{
    return NewDC(true, nullptr, POINT{});
}

HDC CreateDCA(LPCSTR driver, LPCSTR, LPCSTR, const void*)
{
    if (driver && std::strcmp(driver, "DISPLAY") != 0)
        return nullptr;
    return NewDC(false, &ScreenSurface(), POINT{});
}

BOOL DeleteDC(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    for (const DCState& s : dc->saved)
        ReleaseState(s, false);
    ReleaseState(dc->st, true);
    Unregister(handle);
    return TRUE;
}

namespace quelvo::gfx {

HDC CreateSurfaceDC(Surface& surface, POINT deviceOrigin, HRGN visible)
{
    HDC h = NewDC(false, &surface, deviceOrigin);
    SetSurfaceDCVisibleRegion(h, visible);
    return h;
}

BOOL ReleaseSurfaceDC(HDC dc) { return DeleteDC(dc); }

BOOL SetSurfaceDCVisibleRegion(HDC handle, HRGN visible)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    RegionObj* r = LookupRgn(visible);
    dc->hasVisible = r != nullptr;
    if (r)
        dc->visible = r->region;
    else
        dc->visible.SetEmpty();
    InvalidateClip(*dc);
    return TRUE;
}

Surface* SurfaceOfDC(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    return dc ? TargetSurface(*dc) : nullptr;
}

namespace {
std::atomic<long long> screenSize{(1080LL << 32) | 1920};
} // namespace

void SetScreenSize(SIZE size)
{
    if (size.cx > 0 && size.cy > 0)
        screenSize = (static_cast<long long>(size.cy) << 32) | static_cast<std::uint32_t>(size.cx);
}

SIZE ScreenSize()
{
    long long v = screenSize;
    return SIZE{static_cast<LONG>(v & 0xFFFFFFFF), static_cast<LONG>(v >> 32)};
}

Surface* SurfaceOfBitmap(HBITMAP bitmap)
{
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b)
        return nullptr;
    b->Sync(BitmapAccess::Draw); // the caller may read or write it
    return &b->surface;
}

std::uint64_t BitmapChangeStamp(HBITMAP bitmap)
{
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b)
        return 0;
    b->Sync(BitmapAccess::Read); // notices what the program wrote into the bits
    return b->changeStamp;
}

void MarkBitmapChanged(HBITMAP bitmap)
{
    if (BitmapObj* b = LookupBitmap(bitmap))
        b->changeStamp = NextBitmapStamp();
}

} // namespace quelvo::gfx

int SaveDC(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->st);
    HoldState(dc->st);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int savedDC)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || dc->saved.empty())
        return FALSE;
    int n = static_cast<int>(dc->saved.size());
    int target = savedDC < 0 ? n + savedDC + 1 : savedDC; // -1: the last one
    if (target < 1 || target > n)
        return FALSE;
    // Drop the newer saved states, then make the target current.
    while (static_cast<int>(dc->saved.size()) > target) {
        ReleaseState(dc->saved.back(), false);
        dc->saved.pop_back();
    }
    ReleaseState(dc->st, true);
    dc->st = std::move(dc->saved.back());
    dc->saved.pop_back();
    if (BitmapObj* b = LookupBitmap(dc->st.bitmap))
        ++b->selectedInDCs;
    InvalidateClip(*dc);
    return TRUE;
}

int GetDeviceCaps(HDC handle, int index)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return 0;
    Surface* s = TargetSurface(*dc, BitmapAccess::Query);
    SIZE screen = quelvo::gfx::ScreenSize();
    switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    // Display DCs report the screen; memory DCs their bitmap.
    case HORZRES: return dc->memory ? (s ? s->Width() : 0) : screen.cx;
    case VERTRES: return dc->memory ? (s ? s->Height() : 0) : screen.cy;
    case DESKTOPHORZRES: return screen.cx;
    case DESKTOPVERTRES: return screen.cy;
    case HORZSIZE: return 508;
    case VERTSIZE: return 286;
    case BITSPIXEL: return IsMonoTarget(*dc) ? 1 : 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case NUMBRUSHES:
    case NUMPENS: return -1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP;
    case SIZEPALETTE: return 0;
    case COLORRES: return 24;
    default: return 0;
    }
}

DWORD GetObjectType(HGDIOBJ handle)
{
    GdiObject* o = Lookup(handle);
    if (!o)
        return 0;
    switch (o->kind) {
    case ObjKind::Pen: return static_cast<PenObj*>(o)->geometric ? OBJ_EXTPEN : OBJ_PEN;
    case ObjKind::Brush: return OBJ_BRUSH;
    case ObjKind::Font: return OBJ_FONT;
    case ObjKind::Bitmap: return OBJ_BITMAP;
    case ObjKind::Region: return OBJ_REGION;
    case ObjKind::DC: return static_cast<DCObj*>(o)->memory ? OBJ_MEMDC : OBJ_DC;
    default: return 0;
    }
}

HGDIOBJ GetStockObject(int index)
{
    if (index < 0 || index > DC_PEN)
        return nullptr;
    return Stock().objects[index];
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object)
{
    DCObj* dc = LookupDC(handle);
    GdiObject* o = Lookup(object);
    if (!dc || !o)
        return nullptr;
    HGDIOBJ* slot = nullptr;
    switch (o->kind) {
    case ObjKind::Pen: slot = &dc->st.pen; break;
    case ObjKind::Brush: slot = &dc->st.brush; break;
    case ObjKind::Font: slot = &dc->st.font; break;
    case ObjKind::Region: {
        int result = SelectClipRgn(handle, static_cast<HRGN>(object));
        return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(result));
    }
    case ObjKind::Bitmap: {
        auto* b = static_cast<BitmapObj*>(o);
        if (!dc->memory)
            return nullptr;
        if (dc->st.bitmap == object)
            return object;
        // A bitmap lives in one DC at a time; the default one is shared.
        if (b->selectedInDCs > 0 && object != DefaultDCBitmap())
            return nullptr;
        HGDIOBJ old = dc->st.bitmap;
        if (BitmapObj* ob = LookupBitmap(old)) {
            --ob->selectedInDCs;
            ob->Sync(BitmapAccess::Read);
        }
        ++b->selectedInDCs;
        Hold(object);
        dc->st.bitmap = object;
        Release(old);
        InvalidateClip(*dc);
        return old;
    }
    default: return nullptr;
    }
    HGDIOBJ old = *slot;
    if (old != object) {
        Hold(object);
        *slot = object;
        Release(old);
    }
    return old;
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return dc->st.pen;
    case OBJ_BRUSH: return dc->st.brush;
    case OBJ_FONT: return dc->st.font;
    case OBJ_BITMAP: return dc->st.bitmap;
    default: return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ handle)
{
    GdiObject* o = Lookup(handle);
    if (!o || o->kind == ObjKind::DC || o->kind == ObjKind::Icon)
        return FALSE; // DCs and icons have their own deleters
    if (o->stock)
        return TRUE;
    if (o->kind == ObjKind::Bitmap && static_cast<BitmapObj*>(o)->selectedInDCs > 0)
        return FALSE;
    if (o->selectedCount > 0) {
        o->deletePending = true; // freed when the last DC lets go of it
        return TRUE;
    }
    Unregister(handle);
    return TRUE;
}

int GetObjectA(HGDIOBJ handle, int size, LPVOID buffer)
{
    GdiObject* o = Lookup(handle);
    if (!o || size < 0)
        return 0;
    auto copyOut = [&](const auto& value) -> int {
        int n = static_cast<int>(sizeof(value));
        if (!buffer)
            return n;
        n = std::min(n, size);
        std::memcpy(buffer, &value, static_cast<size_t>(n));
        return n;
    };
    switch (o->kind) {
    case ObjKind::Pen: {
        auto* p = static_cast<PenObj*>(o);
        if (p->geometric) {
            EXTLOGPEN e;
            e.elpPenStyle = static_cast<DWORD>(p->style) | PS_GEOMETRIC;
            e.elpWidth = static_cast<DWORD>(p->width);
            e.elpColor = p->color;
            return copyOut(e);
        }
        LOGPEN lp;
        lp.lopnStyle = static_cast<UINT>(p->style);
        lp.lopnWidth.x = p->width;
        lp.lopnColor = p->color;
        return copyOut(lp);
    }
    case ObjKind::Brush: {
        auto* b = static_cast<BrushObj*>(o);
        LOGBRUSH lb;
        lb.lbStyle = b->style;
        lb.lbColor = b->color;
        lb.lbHatch = static_cast<ULONG_PTR>(b->hatch);
        return copyOut(lb);
    }
    case ObjKind::Font: return copyOut(static_cast<FontObj*>(o)->log);
    case ObjKind::Bitmap: {
        auto* b = static_cast<BitmapObj*>(o);
        BITMAP bm;
        bm.bmWidth = b->width;
        bm.bmHeight = b->height;
        bm.bmBitsPixel = static_cast<WORD>(b->bitsPixel);
        bm.bmWidthBytes = b->WidthBytes();
        if (b->dib) {
            if (buffer)
                b->Sync(BitmapAccess::Read); // the program reads the bits next
            bm.bmBits = b->bitsPixel == 32 ? static_cast<void*>(b->ownedDib32.data())
                                           : static_cast<void*>(b->dibBits.data());
            if (buffer && size >= static_cast<int>(sizeof(DIBSECTION))) {
                DIBSECTION ds;
                ds.dsBm = bm;
                ds.dsBmih.biWidth = b->width;
                ds.dsBmih.biHeight = b->topDown ? -b->height : b->height;
                ds.dsBmih.biBitCount = static_cast<WORD>(b->bitsPixel);
                ds.dsBmih.biSizeImage = static_cast<DWORD>(bm.bmWidthBytes * b->height);
                return copyOut(ds);
            }
        }
        return copyOut(bm);
    }
    default: return 0;
    }
}

BOOL GdiFlush()
{
    SyncAllBitmaps();
    return TRUE;
}

// --- Coordinates -------------------------------------------------------------

namespace {

BOOL SetPoint(HDC handle, POINT DCState::*member, int x, int y, LPPOINT old, bool relative)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    POINT& p = dc->st.*member;
    if (old)
        *old = p;
    if (relative) {
        p.x += x;
        p.y += y;
    } else {
        p = POINT{x, y};
    }
    return TRUE;
}

BOOL GetPoint(HDC handle, POINT DCState::*member, LPPOINT out)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !out)
        return FALSE;
    *out = dc->st.*member;
    return TRUE;
}

template <class T>
T SetField(HDC handle, T DCState::*member, T value, T failure)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return failure;
    T old = dc->st.*member;
    dc->st.*member = value;
    return old;
}

template <class T>
T GetField(HDC handle, T DCState::*member, T failure)
{
    DCObj* dc = LookupDC(handle);
    return dc ? dc->st.*member : failure;
}

} // namespace

BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old) { return SetPoint(dc, &DCState::windowOrg, x, y, old, false); }
BOOL GetWindowOrgEx(HDC dc, LPPOINT p) { return GetPoint(dc, &DCState::windowOrg, p); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, LPPOINT old) { return SetPoint(dc, &DCState::windowOrg, dx, dy, old, true); }
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old) { return SetPoint(dc, &DCState::viewportOrg, x, y, old, false); }
BOOL GetViewportOrgEx(HDC dc, LPPOINT p) { return GetPoint(dc, &DCState::viewportOrg, p); }
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT old) { return SetPoint(dc, &DCState::viewportOrg, dx, dy, old, true); }
BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old) { return SetPoint(dc, &DCState::brushOrg, x, y, old, false); }
BOOL GetBrushOrgEx(HDC dc, LPPOINT p) { return GetPoint(dc, &DCState::brushOrg, p); }
BOOL GetCurrentPositionEx(HDC dc, LPPOINT p) { return GetPoint(dc, &DCState::pos, p); }

int SetMapMode(HDC dc, int mode)
{
    if (!LookupDC(dc) || mode != MM_TEXT)
        return 0;
    return MM_TEXT;
}

int GetMapMode(HDC dc) { return LookupDC(dc) ? MM_TEXT : 0; }

BOOL LPtoDP(HDC handle, LPPOINT points, int count)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || (count > 0 && !points))
        return FALSE;
    for (int i = 0; i < count; ++i)
        points[i] = ToDevice(*dc, points[i].x, points[i].y);
    return TRUE;
}

BOOL DPtoLP(HDC handle, LPPOINT points, int count)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || (count > 0 && !points))
        return FALSE;
    for (int i = 0; i < count; ++i) {
        points[i].x += dc->st.windowOrg.x - dc->st.viewportOrg.x;
        points[i].y += dc->st.windowOrg.y - dc->st.viewportOrg.y;
    }
    return TRUE;
}

int SetBkMode(HDC dc, int mode)
{
    if (mode != OPAQUE && mode != TRANSPARENT)
        return 0;
    return SetField(dc, &DCState::bkMode, mode, 0);
}
int GetBkMode(HDC dc) { return GetField(dc, &DCState::bkMode, 0); }
COLORREF SetBkColor(HDC dc, COLORREF c) { return SetField(dc, &DCState::bkColor, c & 0xFFFFFF, CLR_INVALID); }
COLORREF GetBkColor(HDC dc) { return GetField(dc, &DCState::bkColor, CLR_INVALID); }
COLORREF SetTextColor(HDC dc, COLORREF c) { return SetField(dc, &DCState::textColor, c & 0xFFFFFF, CLR_INVALID); }
COLORREF GetTextColor(HDC dc) { return GetField(dc, &DCState::textColor, CLR_INVALID); }
UINT SetTextAlign(HDC dc, UINT a) { return SetField(dc, &DCState::textAlign, a & TA_MASK, static_cast<UINT>(GDI_ERROR)); }
UINT GetTextAlign(HDC dc) { return GetField(dc, &DCState::textAlign, static_cast<UINT>(GDI_ERROR)); }
int SetTextCharacterExtra(HDC dc, int extra) { return SetField(dc, &DCState::charExtra, extra, static_cast<int>(0x80000000)); }
int GetTextCharacterExtra(HDC dc) { return GetField(dc, &DCState::charExtra, static_cast<int>(0x80000000)); }
int SetROP2(HDC dc, int rop2)
{
    if (rop2 < R2_BLACK || rop2 > R2_WHITE)
        return 0;
    return SetField(dc, &DCState::rop2, rop2, 0);
}
int GetROP2(HDC dc) { return GetField(dc, &DCState::rop2, 0); }
int SetStretchBltMode(HDC dc, int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return SetField(dc, &DCState::stretchMode, mode, 0);
}
int GetStretchBltMode(HDC dc) { return GetField(dc, &DCState::stretchMode, 0); }
int SetPolyFillMode(HDC dc, int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return SetField(dc, &DCState::polyFillMode, mode, 0);
}
int GetPolyFillMode(HDC dc) { return GetField(dc, &DCState::polyFillMode, 0); }
COLORREF SetDCBrushColor(HDC dc, COLORREF c) { return SetField(dc, &DCState::dcBrushColor, c & 0xFFFFFF, CLR_INVALID); }
COLORREF SetDCPenColor(HDC dc, COLORREF c) { return SetField(dc, &DCState::dcPenColor, c & 0xFFFFFF, CLR_INVALID); }

// --- Clipping ----------------------------------------------------------------

int ExtSelectClipRgn(HDC handle, HRGN region, int mode)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return ERROR;
    RegionObj* r = LookupRgn(region);
    if (!r) {
        if (mode != RGN_COPY)
            return ERROR;
        dc->st.hasClip = false;
        dc->st.clip.SetEmpty();
    } else if (mode == RGN_COPY || !dc->st.hasClip) {
        // Without a clip region the DC is unclipped: every operation but
        // AND and COPY with "everything" stays everything.
        if (mode == RGN_COPY || mode == RGN_AND) {
            dc->st.clip = r->region;
            dc->st.hasClip = true;
        } else if (mode == RGN_DIFF) {
            Region all(RECT{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27});
            all.Subtract(r->region);
            dc->st.clip = all;
            dc->st.hasClip = true;
        } else if (mode == RGN_XOR) {
            Region all(RECT{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27});
            all.Xor(r->region);
            dc->st.clip = all;
            dc->st.hasClip = true;
        } else if (mode != RGN_OR) {
            return ERROR;
        }
    } else {
        switch (mode) {
        case RGN_AND: dc->st.clip.Intersect(r->region); break;
        case RGN_OR: dc->st.clip.Union(r->region); break;
        case RGN_XOR: dc->st.clip.Xor(r->region); break;
        case RGN_DIFF: dc->st.clip.Subtract(r->region); break;
        default: return ERROR;
        }
    }
    InvalidateClip(*dc);
    const Region& eff = EffectiveClip(*dc);
    return eff.Complexity();
}

int SelectClipRgn(HDC dc, HRGN region) { return ExtSelectClipRgn(dc, region, RGN_COPY); }

namespace {

RECT DeviceRect(const DCObj& dc, int left, int top, int right, int bottom)
{
    POINT a = ToDevice(dc, left, top);
    POINT b = ToDevice(dc, right, bottom);
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

} // namespace

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return ERROR;
    RECT r = DeviceRect(*dc, left, top, right, bottom);
    if (dc->st.hasClip) {
        dc->st.clip.Intersect(r);
    } else {
        dc->st.clip.SetRect(r);
        dc->st.hasClip = true;
    }
    InvalidateClip(*dc);
    return EffectiveClip(*dc).Complexity();
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return ERROR;
    RECT r = DeviceRect(*dc, left, top, right, bottom);
    if (!dc->st.hasClip) {
        // Start from the whole drawing area (device coordinates).
        Surface* s = TargetSurface(*dc, BitmapAccess::Query);
        RECT all{-dc->deviceOrigin.x, -dc->deviceOrigin.y, (s ? s->Width() : 0) - dc->deviceOrigin.x,
                 (s ? s->Height() : 0) - dc->deviceOrigin.y};
        dc->st.clip.SetRect(all);
        dc->st.hasClip = true;
    }
    dc->st.clip.Subtract(Region(r));
    InvalidateClip(*dc);
    return EffectiveClip(*dc).Complexity();
}

int OffsetClipRgn(HDC handle, int dx, int dy)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return ERROR;
    if (dc->st.hasClip)
        dc->st.clip.Offset(dx, dy);
    InvalidateClip(*dc);
    return EffectiveClip(*dc).Complexity();
}

int GetClipRgn(HDC handle, HRGN region)
{
    DCObj* dc = LookupDC(handle);
    RegionObj* r = LookupRgn(region);
    if (!dc || !r)
        return -1;
    if (!dc->st.hasClip)
        return 0;
    r->region = dc->st.clip;
    return 1;
}

int GetClipBox(HDC handle, LPRECT rect)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !rect)
        return ERROR;
    const Region& eff = EffectiveClip(*dc);
    RECT b = eff.Bounds();
    // Surface to logical.
    int dx = dc->deviceOrigin.x + dc->st.viewportOrg.x - dc->st.windowOrg.x;
    int dy = dc->deviceOrigin.y + dc->st.viewportOrg.y - dc->st.windowOrg.y;
    if (eff.Empty())
        *rect = RECT{};
    else
        *rect = RECT{b.left - dx, b.top - dy, b.right - dx, b.bottom - dy};
    return eff.Complexity();
}

BOOL RectVisible(HDC handle, const RECT* rect)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !rect)
        return FALSE;
    POINT a = ToSurface(*dc, rect->left, rect->top);
    POINT b = ToSurface(*dc, rect->right, rect->bottom);
    RECT r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    return EffectiveClip(*dc).Overlaps(r) ? TRUE : FALSE;
}

BOOL PtVisible(HDC handle, int x, int y)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    POINT p = ToSurface(*dc, x, y);
    return EffectiveClip(*dc).Contains(p.x, p.y) ? TRUE : FALSE;
}

COLORREF GetPixel(HDC handle, int x, int y)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return CLR_INVALID;
    // The colour the bitmap holds, so a section below 32 bits answers with
    // its table's colour, as every other reader does.
    Surface* s = TargetSurface(*dc, BitmapAccess::Read);
    POINT p = ToSurface(*dc, x, y);
    if (!s || !EffectiveClip(*dc).Contains(p.x, p.y))
        return CLR_INVALID;
    return ColorRefFromPixel(s->At(p.x, p.y));
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return CLR_INVALID;
    Surface* s = TargetSurface(*dc);
    POINT p = ToSurface(*dc, x, y);
    if (!s || !EffectiveClip(*dc).Contains(p.x, p.y))
        return CLR_INVALID;
    Pixel px = TargetPixel(*dc, color);
    s->Set(p.x, p.y, px);
    return ColorRefFromPixel(px);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) { return SetPixel(dc, x, y, color) != CLR_INVALID; }

COLORREF GetNearestColor(HDC handle, COLORREF color)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return CLR_INVALID;
    return ColorRefFromPixel(TargetPixel(*dc, color & 0xFFFFFF));
}
