// Update regions, WM_PAINT generation, device contexts on window surfaces,
// scrolling, and the default non-client area.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/graphics/surface.h"
#include "platform/windows/wm_state.h"

namespace quelvo::win::detail {

namespace {

struct DcInfo {
    HWND hwnd = nullptr;
    bool screen = false;
};

std::unordered_map<HDC, DcInfo>& Dcs()
{
    static std::unordered_map<HDC, DcInfo> dcs;
    return dcs;
}

RECT LocalClient(const Window* w) { return {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top}; }

bool UpdateLocked(const Window* w)
{
    const Window* locked = S().lockedUpdate;
    return locked && (w == locked || IsDescendant(locked, w));
}

// The part of the screen a window covers: its window region when it has
// one, else its window rectangle.
RectSet Covered(const Window* w)
{
    const RECT r = ScreenWindowRect(w);
    if (!w->shapeRegion) return RectSet(r);
    RectSet set;
    for (RECT piece : quelvo::gfx::RegionRects(w->shapeRegion)) {
        OffsetRect(&piece, r.left, r.top);
        set.Add(piece);
    }
    set.Intersect(r);
    return set;
}

// What of w may be painted, in screen coordinates. A window region clips
// the window and its children, and leaves what it does not cover to the
// parent and the siblings below.
RectSet VisibleRegion(const Window* w, bool clientArea, bool clipChildren, bool clipSiblings)
{
    RectSet set(clientArea ? ScreenClientRect(w) : ScreenWindowRect(w));
    if (!IsVisibleDeep(w) || UpdateLocked(w)) return RectSet();
    for (const Window* a = w->parent; a; a = a->parent) set.Intersect(ScreenClientRect(a));
    for (const Window* a = w; a; a = a->parent)
        if (a->shapeRegion) set.Intersect(Covered(a));
    for (const Window* x = w; x->parent; x = x->parent) {
        bool clip = x == w ? clipSiblings : (x->style & WS_CLIPSIBLINGS) != 0;
        if (!clip) continue;
        for (const Window* sib : x->parent->children) {
            if (sib == x) break;
            if (sib->style & WS_VISIBLE) set.Subtract(Covered(sib));
        }
    }
    if (clipChildren)
        for (const Window* c : w->children)
            if (c->style & WS_VISIBLE) set.Subtract(Covered(c));
    return set;
}

HRGN ToRegion(const RectSet& set)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : set.Rects()) {
        HRGN piece = CreateRectRgnIndirect(&r);
        CombineRgn(rgn, rgn, piece, RGN_OR);
        DeleteObject(piece);
    }
    return rgn;
}

// A rectangle-set view of a region: exact for rectangular regions, the
// bounding box otherwise (only used where more is harmless).
RectSet FromRegion(HRGN region, bool& exact)
{
    RECT box{};
    exact = true;
    if (!region || GetRgnBox(region, &box) == RGN_ERROR) return RectSet();
    HRGN boxRgn = CreateRectRgnIndirect(&box);
    exact = EqualRgn(region, boxRgn) != FALSE;
    DeleteObject(boxRgn);
    return RectSet(box);
}

HDC MakeDC(Window* w, bool windowArea, const RectSet& screenClip)
{
    Window* top = TopLevelOf(w);
    if (!top->surface) EnsureSurface(top);
    if (!top->surface) return nullptr;
    POINT topOrigin = WindowOrigin(top);
    POINT origin = windowArea ? WindowOrigin(w) : ClientOrigin(w);
    RectSet clip = screenClip;
    clip.Offset(-topOrigin.x, -topOrigin.y);
    HRGN rgn = ToRegion(clip);
    HDC dc = quelvo::gfx::CreateSurfaceDC(*top->surface, POINT{origin.x - topOrigin.x, origin.y - topOrigin.y}, rgn);
    DeleteObject(rgn);
    if (dc) Dcs()[dc] = DcInfo{w->handle, false};
    return dc;
}

// Where painting an update region (client coordinates) may reach, on screen.
RectSet PaintClip(const Window* w, RectSet update)
{
    POINT o = ClientOrigin(w);
    update.Offset(o.x, o.y);
    update.Intersect(VisibleRegion(w, true, (w->style & WS_CLIPCHILDREN) != 0, (w->style & WS_CLIPSIBLINGS) != 0));
    return update;
}

bool NeedsPaint(const Window* w) { return !w->update.Empty() || w->internalPaint || w->ncPaintPending; }

Window* FirstToPaint(const std::vector<Window*>& list)
{
    for (Window* w : list) {
        if (!(w->style & WS_VISIBLE)) continue;
        if (NeedsPaint(w)) return w;
        if (Window* c = FirstToPaint(w->children)) return c;
    }
    return nullptr;
}

void SendNcPaintAndErase(Window* w, bool erase)
{
    HWND hwnd = w->handle;
    if (w->ncPaintPending) {
        w->ncPaintPending = false;
        Deliver(w, WM_NCPAINT, 1, 0);
        if (!(w = Find(hwnd))) return;
    }
    if (erase && w->erasePending) {
        w->erasePending = false;
        HDC dc = MakeDC(w, false, PaintClip(w, w->update));
        if (dc) {
            Deliver(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
            ReleaseDC(hwnd, dc);
        }
    }
}

}  // namespace

void InvalidateWindow(Window* w, const RectSet* clientRegion, UINT flags)
{
    if (!IsVisibleDeep(w)) return;
    RECT local = LocalClient(w);
    RectSet region = clientRegion ? *clientRegion : RectSet(local);
    region.Intersect(local);
    if (flags & RDW_INVALIDATE) {
        if (!region.Empty()) {
            w->update.Add(region);
            if (flags & RDW_ERASE) w->erasePending = true;
        }
        bool hasFrame = !EqualRect(&w->window, &w->client);
        if ((flags & RDW_FRAME) && hasFrame) w->ncPaintPending = true;
        if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
    } else if (flags & RDW_VALIDATE) {
        if (clientRegion) w->update.Subtract(region);
        else w->update.Clear();
        if (w->update.Empty() && (flags & RDW_NOERASE)) w->erasePending = false;
        if (flags & RDW_NOFRAME) w->ncPaintPending = false;
        if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
    }
    bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
    if (children) {
        RectSet area = clientRegion ? region : RectSet(local);
        for (Window* c : w->children) {
            if (!(c->style & WS_VISIBLE)) continue;
            // w's client coordinates are c's parent coordinates.
            RectSet part = area;
            part.Intersect(c->window);
            if (part.Empty()) continue;
            bool frame = false;
            for (const RECT& r : part.Rects()) {
                RECT inner = RectIntersect(r, c->client);
                if (!EqualRect(&inner, &r)) frame = true;
            }
            part.Offset(-c->client.left, -c->client.top);
            UINT childFlags = (flags & ~RDW_FRAME) | (frame || (flags & RDW_FRAME) ? RDW_FRAME : 0);
            InvalidateWindow(c, &part, childFlags | (flags & RDW_ALLCHILDREN));
        }
    }
}

void InvalidateExposed(Window* parent, const RECT& parentRect)
{
    RectSet r(parentRect);
    InvalidateWindow(parent, &r, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

Window* FindWindowToPaint() { return FirstToPaint(S().topLevels); }

void NotifyDisplay(Window* w)
{
    if (!w || w->parent || w->messageOnly) return;
    quelvo::win::Display().WindowChanged(w->handle);
}

LRESULT DefNcHitTest(Window* w, POINT pt)
{
    RECT wr = ScreenWindowRect(w);
    if (!PtInRect(&wr, pt)) return HTNOWHERE;
    RECT cr = ScreenClientRect(w);
    if (PtInRect(&cr, pt)) return HTCLIENT;
    bool child = (w->style & WS_CHILD) != 0;
    if (w->style & WS_THICKFRAME) {
        int f = GetSystemMetrics(SM_CXFRAME);
        int corner = GetSystemMetrics(SM_CYCAPTION);
        bool left = pt.x < wr.left + f, right = pt.x >= wr.right - f;
        bool top = pt.y < wr.top + f, bottom = pt.y >= wr.bottom - f;
        bool nearLeft = pt.x < wr.left + corner, nearRight = pt.x >= wr.right - corner;
        bool nearTop = pt.y < wr.top + corner, nearBottom = pt.y >= wr.bottom - corner;
        if (top) return nearLeft ? HTTOPLEFT : nearRight ? HTTOPRIGHT : HTTOP;
        if (bottom) return nearLeft ? HTBOTTOMLEFT : nearRight ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left) return nearTop ? HTTOPLEFT : nearBottom ? HTBOTTOMLEFT : HTLEFT;
        if (right) return nearTop ? HTTOPRIGHT : nearBottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
    if ((w->style & WS_VSCROLL) && pt.x >= cr.right && pt.x < cr.right + GetSystemMetrics(SM_CXVSCROLL) &&
        pt.y >= cr.top && pt.y < cr.bottom)
        return HTVSCROLL;
    if ((w->style & WS_HSCROLL) && pt.y >= cr.bottom && pt.y < cr.bottom + GetSystemMetrics(SM_CYHSCROLL) &&
        pt.x >= cr.left && pt.x < cr.right)
        return HTHSCROLL;
    if (!child && (w->style & WS_CAPTION) == WS_CAPTION && pt.y < cr.top && pt.y >= cr.top - GetSystemMetrics(SM_CYCAPTION)) {
        int button = GetSystemMetrics(SM_CYCAPTION);
        if ((w->style & WS_SYSMENU) && pt.x >= cr.right - button) return HTCLOSE;
        if ((w->style & WS_SYSMENU) && pt.x < cr.left + button && !(w->exStyle & WS_EX_TOOLWINDOW)) return HTSYSMENU;
        return HTCAPTION;
    }
    return HTBORDER;
}

namespace {
// The default frame, drawn into a DC whose origin is the window's corner.
void DrawFrame(Window* w, HDC dc)
{
    RECT whole{0, 0, w->window.right - w->window.left, w->window.bottom - w->window.top};
    RECT client = RectOffset(w->client, -w->window.left, -w->window.top);
    int saved = SaveDC(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &whole, reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1)));
    RECT in = NonClientInsets(w->style, w->exStyle, (w->style & WS_CHILD) != 0);
    if (w->style & (WS_BORDER | WS_THICKFRAME | WS_DLGFRAME)) {
        RECT frame = whole;
        DrawEdge(dc, &frame, (w->style & WS_CHILD) ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | BF_ADJUST);
    }
    int edge = (w->exStyle & WS_EX_CLIENTEDGE) ? GetSystemMetrics(SM_CXEDGE) : 0;
    if (edge) {
        RECT around{client.left - edge, client.top - edge, client.right + edge, client.bottom + edge};
        if (w->style & WS_VSCROLL) around.right += GetSystemMetrics(SM_CXVSCROLL);
        if (w->style & WS_HSCROLL) around.bottom += GetSystemMetrics(SM_CYHSCROLL);
        DrawEdge(dc, &around, EDGE_SUNKEN, BF_RECT);
    }
    if (!(w->style & WS_CHILD) && (w->style & WS_CAPTION) == WS_CAPTION) {
        int ch = (w->exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
        int side = in.left - edge;
        RECT bar{side, client.top - ch - edge, whole.right - side, 0};
        bar.bottom = bar.top + ch - 1;
        bool active = S().active == w;
        FillRect(dc, &bar, reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>((active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION) + 1)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        RECT text = bar;
        text.left += 4;
        DrawTextA(dc, w->text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    RestoreDC(dc, saved);
}
}  // namespace

void DefNcPaint(Window* w)
{
    if (EqualRect(&w->window, &w->client)) return;
    HWND hwnd = w->handle;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    DrawFrame(w, dc);
    ReleaseDC(hwnd, dc);
}

bool DefEraseBackground(Window* w, HDC dc)
{
    HBRUSH brush = w->cls->background;
    if (!brush || !dc) return false;
    RECT rc = LocalClient(w);
    FillRect(dc, &rc, brush);
    return true;
}

// WM_PRINT: the window draws itself (and its children) into any DC, whose
// origin is the window's top-left corner.
void DefPrint(Window* w, HDC dc, LPARAM flags)
{
    if (!dc || ((flags & PRF_CHECKVISIBLE) && !IsVisibleDeep(w))) return;
    HWND hwnd = w->handle;
    int saved = SaveDC(dc);
    if ((flags & PRF_NONCLIENT) && !EqualRect(&w->window, &w->client)) DrawFrame(w, dc);
    POINT clientAt{w->client.left - w->window.left, w->client.top - w->window.top};
    OffsetViewportOrgEx(dc, clientAt.x, clientAt.y, nullptr);
    IntersectClipRect(dc, 0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top);
    if (flags & PRF_ERASEBKGND) Deliver(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if ((flags & PRF_CLIENT) && Find(hwnd)) Deliver(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    if ((flags & PRF_CHILDREN) && (w = Find(hwnd))) {
        std::vector<HWND> kids;
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) kids.push_back((*it)->handle);  // bottom first
        for (HWND k : kids) {
            Window* c = Find(k);
            if (!c || !(c->style & WS_VISIBLE)) continue;
            int inner = SaveDC(dc);
            OffsetViewportOrgEx(dc, c->window.left, c->window.top, nullptr);
            IntersectClipRect(dc, 0, 0, c->window.right - c->window.left, c->window.bottom - c->window.top);
            Deliver(c, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags & ~PRF_CHECKVISIBLE);
            RestoreDC(dc, inner);
        }
    }
    RestoreDC(dc, saved);
}

void DefPaint(Window* w)
{
    PAINTSTRUCT ps;
    BeginPaint(w->handle, &ps);
    EndPaint(w->handle, &ps);
}

}  // namespace quelvo::win::detail

using namespace quelvo::win::detail;

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags)
{
    if (!hwnd) {
        std::vector<HWND> all;
        for (Window* t : S().topLevels) all.push_back(t->handle);
        for (HWND h : all) RedrawWindow(h, nullptr, nullptr, flags);
        return TRUE;
    }
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    RectSet set;
    bool partial = rect || region;
    if (rect) set.Add(*rect);
    if (region && !rect) {
        bool exact = true;
        set = FromRegion(region, exact);
        if (!exact && (flags & RDW_VALIDATE)) return TRUE;  // validate only what is sure
    }
    if (flags & (RDW_INVALIDATE | RDW_VALIDATE)) InvalidateWindow(w, partial ? &set : nullptr, flags);
    if (flags & RDW_UPDATENOW) UpdateWindow(hwnd);
    else if (flags & RDW_ERASENOW)
        if ((w = Find(hwnd))) SendNcPaintAndErase(w, true);
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase)
{
    return RedrawWindow(hwnd, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
    return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hwnd, HRGN region)
{
    return RedrawWindow(hwnd, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND hwnd)
{
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (IsVisibleDeep(w) && (!w->update.Empty() || w->internalPaint || w->ncPaintPending)) {
        Deliver(w, WM_PAINT, 0, 0);
        if (!(w = Find(hwnd))) return TRUE;
    }
    std::vector<HWND> kids;
    for (Window* c : w->children) kids.push_back(c->handle);
    for (HWND k : kids) UpdateWindow(k);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps)
{
    Window* w = Find(hwnd);
    if (!w || !ps) return nullptr;
    SendNcPaintAndErase(w, false);
    if (!(w = Find(hwnd))) return nullptr;
    RectSet update = w->update;
    w->update.Clear();
    w->internalPaint = false;
    bool erase = w->erasePending;
    w->erasePending = false;
    RECT local = LocalClient(w);
    update.Intersect(local);
    *ps = PAINTSTRUCT{};
    ps->rcPaint = update.Bounds();
    ps->hdc = MakeDC(w, false, PaintClip(w, update));
    // fErase: the background was to be erased and nobody did.
    ps->fErase = erase ? TRUE : FALSE;
    if (erase && ps->hdc) ps->fErase = Deliver(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0) ? FALSE : TRUE;
    return ps->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    if (!ps) return FALSE;
    if (ps->hdc) ReleaseDC(hwnd, ps->hdc);
    return TRUE;
}

HDC GetDCEx(HWND hwnd, HRGN clipRegion, DWORD flags)
{
    if (!hwnd) {
        HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        if (dc) Dcs()[dc] = DcInfo{nullptr, true};
        return dc;
    }
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    bool windowArea = (flags & DCX_WINDOW) != 0;
    bool clipChildren = (flags & DCX_CLIPCHILDREN) || (!(flags & DCX_PARENTCLIP) && (w->style & WS_CLIPCHILDREN));
    bool clipSiblings = (flags & DCX_CLIPSIBLINGS) || (w->style & WS_CLIPSIBLINGS);
    RectSet vis = VisibleRegion(w, !windowArea, clipChildren, clipSiblings);
    if (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) {
        bool exact = true;
        RectSet extra = FromRegion(clipRegion, exact);
        POINT o = windowArea ? WindowOrigin(w) : ClientOrigin(w);
        extra.Offset(o.x, o.y);
        if (flags & DCX_INTERSECTRGN) {
            vis.Intersect(extra);
        } else if (exact) {
            vis.Subtract(extra);
        }
    }
    return MakeDC(w, windowArea, vis);
}

HDC GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, 0); }
HDC GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_WINDOW); }

HWND WindowFromDC(HDC dc)
{
    auto& dcs = Dcs();
    auto it = dcs.find(dc);
    return it == dcs.end() ? nullptr : it->second.hwnd;
}

int ReleaseDC(HWND, HDC dc)
{
    auto& dcs = Dcs();
    auto it = dcs.find(dc);
    if (it == dcs.end()) return 0;
    DcInfo info = it->second;
    dcs.erase(it);
    if (info.screen) {
        DeleteDC(dc);
        return 1;
    }
    quelvo::gfx::ReleaseSurfaceDC(dc);
    if (Window* w = Find(info.hwnd)) NotifyDisplay(TopLevelOf(w));
    return 1;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase)
{
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (erase) {
        SendNcPaintAndErase(w, true);
        if (!(w = Find(hwnd))) return FALSE;
    }
    if (rect) *rect = w->update.Bounds();
    return w->update.Empty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase)
{
    Window* w = Find(hwnd);
    if (!w || !region) return RGN_ERROR;
    if (erase) {
        SendNcPaintAndErase(w, true);
        if (!(w = Find(hwnd))) return RGN_ERROR;
    }
    HRGN r = ToRegion(w->update);
    int kind = CombineRgn(region, r, nullptr, RGN_COPY);
    DeleteObject(r);
    return kind;
}

BOOL LockWindowUpdate(HWND hwnd)
{
    State& s = S();
    if (!hwnd) {
        Window* was = s.lockedUpdate;
        s.lockedUpdate = nullptr;
        if (was) RedrawWindow(was->handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return TRUE;
    }
    Window* w = Find(hwnd);
    if (!w || (s.lockedUpdate && s.lockedUpdate != w)) return FALSE;
    s.lockedUpdate = w;
    return TRUE;
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   LPRECT updateRect, UINT flags)
{
    Window* w = Find(hwnd);
    if (!w) return RGN_ERROR;
    RECT local = LocalClient(w);
    RECT area = scroll ? RectIntersect(*scroll, local) : local;
    if (clip) area = RectIntersect(area, *clip);
    RectSet exposed;
    if (!RectEmpty(area) && IsVisibleDeep(w) && !UpdateLocked(w)) {
        Window* top = TopLevelOf(w);
        POINT o = ClientOrigin(w);
        POINT to = WindowOrigin(top);
        RECT surfaceArea = RectOffset(area, o.x - to.x, o.y - to.y);
        RECT bounds{0, 0, top->surface ? top->surface->Width() : 0, top->surface ? top->surface->Height() : 0};
        surfaceArea = RectIntersect(surfaceArea, bounds);
        if (top->surface && !RectEmpty(surfaceArea)) {
            quelvo::gfx::Surface& s = *top->surface;
            int width = surfaceArea.right - surfaceArea.left;
            int height = surfaceArea.bottom - surfaceArea.top;
            std::vector<quelvo::gfx::Pixel> copy(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
            for (int y = 0; y < height; ++y)
                std::memcpy(&copy[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)], s.Row(surfaceArea.top + y) + surfaceArea.left,
                            sizeof(quelvo::gfx::Pixel) * static_cast<std::size_t>(width));
            for (int y = 0; y < height; ++y) {
                int sy = y - dy;
                if (sy < 0 || sy >= height) continue;
                for (int x = 0; x < width; ++x) {
                    int sx = x - dx;
                    if (sx < 0 || sx >= width) continue;
                    s.Set(surfaceArea.left + x, surfaceArea.top + y, copy[static_cast<std::size_t>(sy) * static_cast<std::size_t>(width) + static_cast<std::size_t>(sx)]);
                }
            }
        }
        exposed.Add(area);
        exposed.Subtract(RectIntersect(RectOffset(area, dx, dy), area));
        // Pending invalid parts move with the contents.
        RectSet moved = w->update;
        moved.Intersect(area);
        w->update.Subtract(area);
        moved.Offset(dx, dy);
        moved.Intersect(area);
        w->update.Add(moved);
    }
    if (flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> kids;
        for (Window* c : w->children) {
            RECT inter = RectIntersect(c->window, scroll ? *scroll : c->window);
            if (!scroll || !RectEmpty(inter)) kids.push_back(c->handle);
        }
        for (HWND k : kids)
            if (Window* c = Find(k))
                SetWindowPos(k, nullptr, c->window.left + dx, c->window.top + dy, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        if (!(w = Find(hwnd))) return RGN_ERROR;
    }
    if (flags & SW_INVALIDATE)
        InvalidateWindow(w, &exposed, RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) | RDW_ALLCHILDREN);
    if (updateRect) *updateRect = exposed.Bounds();
    if (update) {
        HRGN r = ToRegion(exposed);
        CombineRgn(update, r, nullptr, RGN_COPY);
        DeleteObject(r);
    }
    NotifyDisplay(TopLevelOf(w));
    if (exposed.Empty()) return NULLREGION;
    return exposed.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip)
{
    UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != RGN_ERROR;
}
