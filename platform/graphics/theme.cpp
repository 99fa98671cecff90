// The theme layer: a flat look drawn from one table of colours per class,
// part and state.
#include "platform/graphics/uxtheme.h"

#include "platform/graphics/raster.h"
#include "platform/system/text_conversion.h"
#include "platform/system/winerror.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>

using namespace quelvo::gfx;

namespace {

constexpr HRESULT kOk = S_OK;
constexpr HRESULT kFail = E_FAIL;
constexpr HRESULT kInvalidArg = E_INVALIDARG;
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070490u); // element not found

enum class Cls { Button, ScrollBar, Header, ListView, TreeView, ExplorerBar, Edit, TrackBar, Window, ComboBox, Tab,
                 Progress, Spin, ToolTip };

struct ClassName {
    const char* name;
    Cls cls;
};

constexpr ClassName kClasses[] = {
    {"button", Cls::Button},     {"scrollbar", Cls::ScrollBar}, {"header", Cls::Header},
    {"listview", Cls::ListView}, {"treeview", Cls::TreeView},   {"explorerbar", Cls::ExplorerBar},
    {"edit", Cls::Edit},         {"trackbar", Cls::TrackBar},   {"window", Cls::Window},
    {"combobox", Cls::ComboBox}, {"tab", Cls::Tab},             {"progress", Cls::Progress},
    {"spin", Cls::Spin},         {"tooltip", Cls::ToolTip},
};

// Colours of the flat look.
constexpr COLORREF kAccent = RGB(0, 120, 215);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kTextDisabled = RGB(131, 131, 131);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Interaction state shared by most parts: 0 normal, 1 hot, 2 pressed,
// 3 disabled, 4 default/selected/focused.
enum Look { Normal, Hot, Pressed, Disabled, Special };

struct Colors {
    COLORREF border;
    COLORREF fill;
    COLORREF text;
};

constexpr Colors kButton[] = {
    {RGB(173, 173, 173), RGB(225, 225, 225), kText},  {kAccent, RGB(229, 241, 251), kText},
    {RGB(0, 84, 153), RGB(204, 228, 247), kText},     {RGB(191, 191, 191), RGB(204, 204, 204), kTextDisabled},
    {kAccent, RGB(225, 225, 225), kText},
};
constexpr Colors kBox[] = {
    {RGB(51, 51, 51), kWhite, kText},                 {kAccent, kWhite, kText},
    {RGB(0, 84, 153), RGB(204, 228, 247), kText},     {RGB(204, 204, 204), kWhite, kTextDisabled},
    {RGB(51, 51, 51), kWhite, kText},
};
constexpr Colors kScroll[] = {
    {RGB(240, 240, 240), RGB(240, 240, 240), RGB(96, 96, 96)}, {RGB(218, 218, 218), RGB(218, 218, 218), RGB(0, 0, 0)},
    {RGB(96, 96, 96), RGB(96, 96, 96), kWhite},                {RGB(240, 240, 240), RGB(240, 240, 240), RGB(191, 191, 191)},
    {RGB(240, 240, 240), RGB(240, 240, 240), RGB(96, 96, 96)},
};
constexpr Colors kThumb[] = {
    {RGB(205, 205, 205), RGB(205, 205, 205), kText}, {RGB(166, 166, 166), RGB(166, 166, 166), kText},
    {RGB(96, 96, 96), RGB(96, 96, 96), kText},       {RGB(234, 234, 234), RGB(234, 234, 234), kTextDisabled},
    {RGB(205, 205, 205), RGB(205, 205, 205), kText},
};
constexpr Colors kHeader[] = {
    {RGB(229, 229, 229), kWhite, kText},            {RGB(229, 229, 229), RGB(217, 235, 249), kText},
    {RGB(229, 229, 229), RGB(188, 220, 244), kText}, {RGB(229, 229, 229), kWhite, kTextDisabled},
    {RGB(229, 229, 229), kWhite, kText},
};
constexpr Colors kField[] = {
    {RGB(122, 122, 122), kWhite, kText},         {RGB(23, 23, 23), kWhite, kText},
    {kAccent, kWhite, kText},                    {RGB(204, 204, 204), RGB(240, 240, 240), kTextDisabled},
    {kAccent, kWhite, kText},
};
constexpr Colors kTab[] = {
    {RGB(217, 217, 217), RGB(240, 240, 240), kText}, {RGB(126, 180, 234), RGB(216, 234, 249), kText},
    {RGB(217, 217, 217), kWhite, kText},             {RGB(217, 217, 217), RGB(240, 240, 240), kTextDisabled},
    {RGB(217, 217, 217), kWhite, kText},
};
constexpr Colors kPanel{RGB(217, 217, 217), kWhite, kText};
constexpr Colors kProgressBar{RGB(188, 188, 188), RGB(230, 230, 230), kText};
constexpr Colors kProgressChunk{RGB(6, 176, 37), RGB(6, 176, 37), kText};
constexpr Colors kTrack{RGB(214, 214, 214), RGB(231, 234, 234), kText};
constexpr Colors kToolTip{RGB(118, 118, 118), kWhite, RGB(87, 87, 87)};
constexpr Colors kGlyph{RGB(150, 150, 150), kWhite, RGB(60, 60, 60)};
constexpr Colors kClose[] = {
    {RGB(255, 255, 255), RGB(255, 255, 255), kText}, {RGB(232, 17, 35), RGB(232, 17, 35), kWhite},
    {RGB(241, 112, 122), RGB(241, 112, 122), kWhite}, {RGB(255, 255, 255), RGB(255, 255, 255), kTextDisabled},
    {RGB(255, 255, 255), RGB(255, 255, 255), kText},
};

struct Theme {
    Cls cls;
    bool open = true;
};

struct State {
    std::mutex lock; // guards the list of themes (a deque: entries never move)
    std::atomic<bool> active{true};
    std::deque<Theme> themes;
    std::function<void()> listener;
    std::function<bool(HWND, HDC, const RECT*)> parentPainter;
    std::string themeFile = "Flat.theme";
    std::string colorName = "Normal";
};

State& S()
{
    static State state;
    return state;
}

// Handles are 0x1000 + index: small numbers that no GDI handle uses.
Theme* Find(HTHEME h)
{
    std::lock_guard<std::mutex> guard(S().lock);
    auto v = reinterpret_cast<std::uintptr_t>(h);
    if (v < 0x1000)
        return nullptr;
    size_t i = v - 0x1000;
    if (i >= S().themes.size() || !S().themes[i].open)
        return nullptr;
    return &S().themes[i];
}

Look LookOf(int state)
{
    switch (state) {
    case 2: return Hot;
    case 3: return Pressed;
    case 4: return Disabled;
    case 5: return Special;
    default: return Normal;
    }
}

// Check boxes and radio buttons: 1-4 unchecked, 5-8 checked, 9-12 mixed.
Look BoxLook(int state) { return LookOf((std::max(1, state) - 1) % 4 + 1); }
int BoxMark(int state) { return (std::max(1, state) - 1) / 4; } // 0 none, 1 checked, 2 mixed

Colors ColorsOf(Cls cls, int part, int state)
{
    Look l = LookOf(state);
    switch (cls) {
    case Cls::Button:
        if (part == BP_CHECKBOX || part == BP_RADIOBUTTON)
            return kBox[BoxLook(state)];
        if (part == BP_GROUPBOX)
            return Colors{RGB(220, 220, 220), kWhite, state == GBS_DISABLED ? kTextDisabled : kText};
        return kButton[l];
    case Cls::ScrollBar:
        if (part == SBP_ARROWBTN)
            return kScroll[LookOf((std::max(1, state) - 1) % 4 + 1)];
        if (part == SBP_THUMBBTNHORZ || part == SBP_THUMBBTNVERT)
            return kThumb[l];
        return kScroll[Normal];
    case Cls::Header: return kHeader[l];
    case Cls::ListView: return Colors{RGB(130, 135, 144), kWhite, kText};
    case Cls::TreeView: return kGlyph;
    case Cls::ExplorerBar: return kButton[l];
    case Cls::Edit:
    case Cls::ComboBox: return kField[l];
    case Cls::TrackBar: return kTrack;
    case Cls::Window: return kClose[l];
    case Cls::Tab: return part == TABP_PANE || part == TABP_BODY ? kPanel : kTab[LookOf(state == TIS_SELECTED ? 5 : state)];
    case Cls::Progress: return part == PP_CHUNK || part == PP_CHUNKVERT ? kProgressChunk : kProgressBar;
    case Cls::Spin: return kButton[l];
    case Cls::ToolTip: return kToolTip;
    }
    return kButton[Normal];
}

// Fixed sizes of glyph-like parts (their true size); 0 for parts that
// stretch over the rectangle.
SIZE GlyphSize(Cls cls, int part)
{
    switch (cls) {
    case Cls::Button:
        if (part == BP_CHECKBOX || part == BP_RADIOBUTTON)
            return SIZE{13, 13};
        break;
    case Cls::TreeView:
        if (part == TVP_GLYPH)
            return SIZE{9, 9};
        break;
    case Cls::ExplorerBar:
        if (part == EBP_NORMALGROUPCOLLAPSE || part == EBP_NORMALGROUPEXPAND)
            return SIZE{15, 15};
        if (part == EBP_HEADERPIN || part == EBP_HEADERCLOSE)
            return SIZE{16, 14};
        break;
    case Cls::Window:
        if (part == WP_SMALLCLOSEBUTTON)
            return SIZE{12, 10};
        break;
    default: break;
    }
    return SIZE{0, 0};
}

// Content margins: left, top, right, bottom.
RECT Margins(Cls cls, int part)
{
    switch (cls) {
    case Cls::Button: return part == BP_PUSHBUTTON ? RECT{3, 3, 3, 3} : (part == BP_GROUPBOX ? RECT{1, 1, 1, 1} : RECT{});
    case Cls::Header: return RECT{3, 2, 3, 2};
    case Cls::ListView:
    case Cls::Edit:
    case Cls::ComboBox:
    case Cls::TrackBar:
    case Cls::ToolTip:
    case Cls::Progress: return part == PP_CHUNK || part == PP_CHUNKVERT ? RECT{} : RECT{1, 1, 1, 1};
    case Cls::Tab: return part == TABP_PANE || part == TABP_BODY ? RECT{1, 1, 1, 1} : RECT{2, 2, 2, 2};
    case Cls::ScrollBar:
    case Cls::Spin: return RECT{1, 1, 1, 1};
    default: return RECT{};
    }
}

bool Round(Cls cls, int part)
{
    return (cls == Cls::Button && part == BP_RADIOBUTTON) ||
           (cls == Cls::ExplorerBar && (part == EBP_NORMALGROUPCOLLAPSE || part == EBP_NORMALGROUPEXPAND));
}

bool PartiallyTransparent(Cls cls, int part)
{
    return Round(cls, part) || GlyphSize(cls, part).cx > 0 || (cls == Cls::ScrollBar && (part == SBP_GRIPPERHORZ || part == SBP_GRIPPERVERT));
}

// A part with a fixed size sits centred in the rectangle.
RECT PartRect(Cls cls, int part, const RECT& r)
{
    SIZE g = GlyphSize(cls, part);
    if (g.cx == 0)
        return r;
    int x = r.left + (r.right - r.left - g.cx) / 2, y = r.top + (r.bottom - r.top - g.cy) / 2;
    return RECT{x, y, x + g.cx, y + g.cy};
}

// --- Drawing helpers (logical coordinates) -------------------------------------

struct Painter {
    HDC dc;
    void Fill(const RECT& r, COLORREF c) const
    {
        HBRUSH b = CreateSolidBrush(c);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    void Frame(const RECT& r, COLORREF c) const
    {
        HBRUSH b = CreateSolidBrush(c);
        FrameRect(dc, &r, b);
        DeleteObject(b);
    }
    void Box(const RECT& r, const Colors& c) const
    {
        Fill(r, c.fill);
        Frame(r, c.border);
    }
    void Disc(const RECT& r, COLORREF fill, COLORREF border) const
    {
        HBRUSH b = CreateSolidBrush(fill);
        HPEN p = CreatePen(PS_SOLID, 1, border);
        HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, p);
        int rop = SetROP2(dc, R2_COPYPEN);
        Ellipse(dc, r.left, r.top, r.right, r.bottom);
        SetROP2(dc, rop);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(b);
        DeleteObject(p);
    }
    // A chevron of rows 1, 3, 5... (or columns) centred in r; direction
    // 0 up, 1 down, 2 left, 3 right.
    void Chevron(const RECT& r, int direction, COLORREF c) const
    {
        int w = r.right - r.left, h = r.bottom - r.top;
        int rows = std::max(1, std::min(w, h) / 4);
        bool vertical = direction < 2;
        int len = 2 * rows - 1;
        int x0 = r.left + (w - (vertical ? len : rows)) / 2, y0 = r.top + (h - (vertical ? rows : len)) / 2;
        for (int i = 0; i < rows; ++i) {
            RECT line{};
            switch (direction) {
            case 0: line = RECT{x0 + rows - 1 - i, y0 + i, x0 + rows + i, y0 + i + 1}; break;
            case 1: line = RECT{x0 + rows - 1 - i, y0 + rows - 1 - i, x0 + rows + i, y0 + rows - i}; break;
            case 2: line = RECT{x0 + i, y0 + rows - 1 - i, x0 + i + 1, y0 + rows + i}; break;
            default: line = RECT{x0 + rows - 1 - i, y0 + rows - 1 - i, x0 + rows - i, y0 + rows + i}; break;
            }
            Fill(line, c);
        }
    }
    void Line(int x0, int y0, int x1, int y1, COLORREF c) const
    {
        HPEN p = CreatePen(PS_SOLID, 1, c);
        HGDIOBJ op = SelectObject(dc, p);
        int rop = SetROP2(dc, R2_COPYPEN);
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1);
        SetPixel(dc, x1, y1, c);
        SetROP2(dc, rop);
        SelectObject(dc, op);
        DeleteObject(p);
    }
};

void DrawCheckMark(const Painter& p, const RECT& r, COLORREF c)
{
    // A 7 x 7 tick centred in the box.
    static const char* kTick[7] = {"......#", ".....##", "#...##.", "##.##..", ".###...", "..#....", "......."};
    int x0 = r.left + (r.right - r.left - 7) / 2, y0 = r.top + (r.bottom - r.top - 7) / 2 + 1;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            if (kTick[y][x] == '#')
                p.Fill(RECT{x0 + x, y0 + y, x0 + x + 1, y0 + y + 1}, c);
}

void DrawX(const Painter& p, const RECT& r, COLORREF c)
{
    int s = std::min(r.right - r.left, r.bottom - r.top) - 4;
    if (s < 2)
        return;
    int x0 = r.left + (r.right - r.left - s) / 2, y0 = r.top + (r.bottom - r.top - s) / 2;
    p.Line(x0, y0, x0 + s - 1, y0 + s - 1, c);
    p.Line(x0 + s - 1, y0, x0, y0 + s - 1, c);
}

// Groups of three diagonal lines towards the bottom-right corner, the
// first of each lit, as the classic grip has them.
void SizeGripLines(const Painter& p, const RECT& r)
{
    const int n = std::min(r.right - r.left, r.bottom - r.top);
    for (int k = 1; k + 3 <= n; k += 4) {
        for (int j = 0; j < 3; ++j) {
            const COLORREF colour = j == 0 ? kWhite : kScroll[Pressed].fill;
            for (int i = 0; i < k + j; ++i)
                p.Fill(RECT{r.right - k - j + i, r.bottom - 1 - i, r.right - k - j + i + 1, r.bottom - i}, colour);
        }
    }
}

void DrawPart(HDC dc, Cls cls, int part, int state, const RECT& bounds)
{
    Painter p{dc};
    Colors c = ColorsOf(cls, part, state);
    RECT r = PartRect(cls, part, bounds);
    switch (cls) {
    case Cls::Button:
        if (part == BP_CHECKBOX) {
            int mark = BoxMark(state);
            bool disabled = BoxLook(state) == Disabled;
            if (mark == 1)
                p.Box(r, Colors{disabled ? c.border : kAccent, disabled ? c.border : kAccent, c.text});
            else
                p.Box(r, c);
            if (mark == 1)
                DrawCheckMark(p, r, kWhite);
            else if (mark == 2)
                p.Fill(RECT{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3}, disabled ? c.border : kAccent);
        } else if (part == BP_RADIOBUTTON) {
            bool checked = BoxMark(state) == 1;
            p.Disc(r, c.fill, checked && BoxLook(state) != Disabled ? kAccent : c.border);
            if (checked)
                p.Disc(RECT{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4},
                       BoxLook(state) == Disabled ? c.border : kAccent, BoxLook(state) == Disabled ? c.border : kAccent);
        } else if (part == BP_GROUPBOX) {
            p.Frame(r, c.border);
        } else {
            p.Box(r, c);
        }
        return;
    case Cls::ScrollBar:
        if (part == SBP_ARROWBTN) {
            p.Fill(r, c.fill);
            int group = (std::max(1, state) - 1) / 4; // up, down, left, right
            p.Chevron(r, std::min(group, 3), c.text);
        } else if (part == SBP_THUMBBTNHORZ || part == SBP_THUMBBTNVERT) {
            // The thumb is opaque: the track shows beside its narrower face,
            // so nothing drawn before stays there when it moves.
            p.Fill(r, kScroll[Normal].fill);
            p.Fill(part == SBP_THUMBBTNHORZ ? RECT{r.left, r.top + 2, r.right, r.bottom - 2}
                                            : RECT{r.left + 2, r.top, r.right - 2, r.bottom},
                   c.fill);
        } else if (part == SBP_GRIPPERHORZ || part == SBP_GRIPPERVERT) {
            // The flat thumb needs no gripper.
        } else if (part == SBP_SIZEBOX) {
            p.Fill(r, c.fill);
            SizeGripLines(p, r);
        } else {
            p.Fill(r, c.fill);
        }
        return;
    case Cls::Header:
        p.Fill(r, c.fill);
        p.Fill(RECT{r.right - 1, r.top, r.right, r.bottom}, c.border);
        p.Fill(RECT{r.left, r.bottom - 1, r.right, r.bottom}, c.border);
        return;
    case Cls::ListView:
        p.Frame(r, c.border);
        return;
    case Cls::TreeView:
        if (part == TVP_GLYPH) {
            p.Box(r, c);
            int cy = (r.top + r.bottom) / 2, cx = (r.left + r.right) / 2;
            p.Fill(RECT{r.left + 2, cy, r.right - 2, cy + 1}, c.text);
            if (state == GLPS_CLOSED)
                p.Fill(RECT{cx, r.top + 2, cx + 1, r.bottom - 2}, c.text);
        } else {
            p.Fill(r, kWhite);
        }
        return;
    case Cls::ExplorerBar:
        if (part == EBP_NORMALGROUPCOLLAPSE || part == EBP_NORMALGROUPEXPAND) {
            p.Disc(r, c.fill, c.border);
            p.Chevron(RECT{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3}, part == EBP_NORMALGROUPCOLLAPSE ? 0 : 1,
                      c.text);
        } else if (part == EBP_HEADERPIN) {
            // A pin: head, needle and point.
            int cx = (r.left + r.right) / 2;
            p.Box(RECT{cx - 3, r.top + 1, cx + 3, r.top + 7}, Colors{c.text, c.fill, c.text});
            p.Fill(RECT{cx - 5, r.top + 7, cx + 5, r.top + 8}, c.text);
            p.Fill(RECT{cx, r.top + 8, cx + 1, r.bottom - 1}, c.text);
        } else if (part == EBP_HEADERCLOSE) {
            DrawX(p, r, c.text);
        } else {
            p.Fill(r, part == EBP_HEADERBACKGROUND || part == EBP_NORMALGROUPHEAD ? RGB(242, 242, 242) : kWhite);
        }
        return;
    case Cls::Edit:
    case Cls::ToolTip:
    case Cls::TrackBar: p.Box(r, c); return;
    case Cls::ComboBox:
        p.Fill(r, LookOf(state) == Normal ? c.fill : ColorsOf(Cls::Button, BP_PUSHBUTTON, state).fill);
        p.Chevron(r, 1, c.text);
        return;
    case Cls::Window:
        if (LookOf(state) == Hot || LookOf(state) == Pressed)
            p.Fill(r, c.fill);
        DrawX(p, r, c.text);
        return;
    case Cls::Tab:
        if (part == TABP_PANE || part == TABP_BODY) {
            p.Box(r, c);
        } else {
            p.Fill(r, c.fill);
            p.Fill(RECT{r.left, r.top, r.right, r.top + 1}, c.border);
            p.Fill(RECT{r.left, r.top, r.left + 1, r.bottom}, c.border);
            p.Fill(RECT{r.right - 1, r.top, r.right, r.bottom}, c.border);
        }
        return;
    case Cls::Progress:
        if (part == PP_CHUNK || part == PP_CHUNKVERT)
            p.Fill(r, c.fill);
        else
            p.Box(r, c);
        return;
    case Cls::Spin: {
        p.Box(r, c);
        int dir = part == SPNP_UP ? 0 : part == SPNP_DOWN ? 1 : part == SPNP_UPHORZ ? 3 : 2;
        p.Chevron(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, dir,
                  LookOf(state) == Disabled ? kTextDisabled : kText);
        return;
    }
    }
}

} // namespace

HTHEME OpenThemeData(HWND, LPCSTR classList)
{
    if (!classList || !S().active)
        return nullptr;
    std::string list(classList);
    size_t start = 0;
    while (start <= list.size()) {
        size_t semi = list.find(';', start);
        std::string name = quelvo::sys::AsciiLowerCase(list.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
        for (const ClassName& c : kClasses)
            if (name == c.name) {
                std::lock_guard<std::mutex> guard(S().lock);
                // Reuse a closed slot so opening and closing never grows.
                auto& themes = S().themes;
                auto slot = std::find_if(themes.begin(), themes.end(), [](const Theme& t) { return !t.open; });
                if (slot == themes.end())
                    slot = themes.insert(themes.end(), Theme{c.cls, true});
                *slot = Theme{c.cls, true};
                return reinterpret_cast<HTHEME>(static_cast<std::uintptr_t>(0x1000 + (slot - themes.begin())));
            }
        if (semi == std::string::npos)
            break;
        start = semi + 1;
    }
    return nullptr;
}

HRESULT CloseThemeData(HTHEME theme)
{
    Theme* t = Find(theme);
    if (!t)
        return kInvalidArg;
    std::lock_guard<std::mutex> guard(S().lock);
    t->open = false;
    return kOk;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip)
{
    Theme* t = Find(theme);
    if (!t || !rect || !LookupDC(dc) || !SaneRect(*rect))
        return kInvalidArg;
    int saved = 0;
    if (clip) {
        saved = SaveDC(dc);
        IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    }
    DrawPart(dc, t->cls, part, state, *rect);
    if (clip)
        RestoreDC(dc, saved);
    return kOk;
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCSTR text, int length, DWORD flags, DWORD flags2,
                      const RECT* rect)
{
    Theme* t = Find(theme);
    if (!t || !rect || !LookupDC(dc))
        return kInvalidArg;
    if (!text)
        return kOk;
    int mode = SetBkMode(dc, TRANSPARENT);
    COLORREF old = 0;
    bool grey = (flags2 & DTT_GRAYED) || LookOf(state) == Disabled;
    if (grey)
        old = SetTextColor(dc, kTextDisabled);
    RECT r = *rect;
    (void)part;
    DrawTextA(dc, text, length, &r, flags);
    if (grey)
        SetTextColor(dc, old);
    SetBkMode(dc, mode);
    return kOk;
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int, int, const RECT* rect, UINT edge, UINT flags, LPRECT content)
{
    Theme* t = Find(theme);
    if (!t || !rect || !LookupDC(dc))
        return kInvalidArg;
    Painter p{dc};
    RECT r = *rect;
    auto ring = [&](COLORREF tl, COLORREF br) {
        if (flags & BF_TOP)
            p.Fill(RECT{r.left, r.top, r.right, r.top + 1}, tl);
        if (flags & BF_LEFT)
            p.Fill(RECT{r.left, r.top, r.left + 1, r.bottom}, tl);
        if (flags & BF_BOTTOM)
            p.Fill(RECT{r.left, r.bottom - 1, r.right, r.bottom}, br);
        if (flags & BF_RIGHT)
            p.Fill(RECT{r.right - 1, r.top, r.right, r.bottom}, br);
        if (flags & BF_LEFT)
            ++r.left;
        if (flags & BF_TOP)
            ++r.top;
        if (flags & BF_RIGHT)
            --r.right;
        if (flags & BF_BOTTOM)
            --r.bottom;
    };
    const COLORREF light = kWhite, shade = RGB(160, 160, 160);
    if (edge & BDR_RAISEDOUTER)
        ring(light, shade);
    else if (edge & BDR_SUNKENOUTER)
        ring(shade, light);
    if (edge & BDR_RAISEDINNER)
        ring(light, RGB(227, 227, 227));
    else if (edge & BDR_SUNKENINNER)
        ring(RGB(227, 227, 227), light);
    if (flags & BF_MIDDLE)
        p.Fill(r, RGB(240, 240, 240));
    if (content)
        *content = r;
    return kOk;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC, int part, int, const RECT* bounds, LPRECT content)
{
    Theme* t = Find(theme);
    if (!t || !bounds || !content)
        return kInvalidArg;
    RECT m = Margins(t->cls, part);
    *content = RECT{bounds->left + m.left, bounds->top + m.top, bounds->right - m.right, bounds->bottom - m.bottom};
    return kOk;
}

HRESULT GetThemeBackgroundExtent(HTHEME theme, HDC, int part, int, const RECT* contentRect, LPRECT extent)
{
    Theme* t = Find(theme);
    if (!t || !contentRect || !extent)
        return kInvalidArg;
    RECT m = Margins(t->cls, part);
    *extent = RECT{contentRect->left - m.left, contentRect->top - m.top, contentRect->right + m.right,
                   contentRect->bottom + m.bottom};
    return kOk;
}

HRESULT GetThemePartSize(HTHEME theme, HDC, int part, int, const RECT* rect, THEMESIZE size, SIZE* result)
{
    Theme* t = Find(theme);
    if (!t || !result)
        return kInvalidArg;
    SIZE g = GlyphSize(t->cls, part);
    if (g.cx > 0) {
        *result = g;
        return kOk;
    }
    RECT m = Margins(t->cls, part);
    SIZE minimum{m.left + m.right, m.top + m.bottom};
    if (size == TS_DRAW && rect)
        *result = SIZE{rect->right - rect->left, rect->bottom - rect->top};
    else
        *result = minimum;
    return kOk;
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color)
{
    Theme* t = Find(theme);
    if (!t || !color)
        return kInvalidArg;
    Colors c = ColorsOf(t->cls, part, state);
    switch (property) {
    case TMT_BORDERCOLOR: *color = c.border; return kOk;
    case TMT_FILLCOLOR: *color = c.fill; return kOk;
    case TMT_TEXTCOLOR: *color = c.text; return kOk;
    case TMT_EDGELIGHTCOLOR:
    case TMT_EDGEHIGHLIGHTCOLOR: *color = kWhite; return kOk;
    case TMT_EDGESHADOWCOLOR: *color = RGB(160, 160, 160); return kOk;
    case TMT_EDGEDKSHADOWCOLOR: *color = RGB(105, 105, 105); return kOk;
    case TMT_EDGEFILLCOLOR: *color = RGB(240, 240, 240); return kOk;
    default: return kNotFound;
    }
}

HRESULT GetThemeMargins(HTHEME theme, HDC, int part, int, int, const RECT*, MARGINS* margins)
{
    Theme* t = Find(theme);
    if (!t || !margins)
        return kInvalidArg;
    RECT m = Margins(t->cls, part);
    *margins = MARGINS{m.left, m.right, m.top, m.bottom};
    return kOk;
}

HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int, const RECT* rect, HRGN* region)
{
    Theme* t = Find(theme);
    if (!t || !rect || !region)
        return kInvalidArg;
    RECT r = PartRect(t->cls, part, *rect);
    if (dc) {
        POINT pts[2] = {{r.left, r.top}, {r.right, r.bottom}};
        LPtoDP(dc, pts, 2);
        r = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
    }
    *region = Round(t->cls, part) ? CreateEllipticRgn(r.left, r.top, r.right, r.bottom)
                                  : CreateRectRgn(r.left, r.top, r.right, r.bottom);
    return *region ? kOk : kFail;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int)
{
    Theme* t = Find(theme);
    return t && PartiallyTransparent(t->cls, part) ? TRUE : FALSE;
}

BOOL IsThemePartDefined(HTHEME theme, int part, int)
{
    return Find(theme) && part >= 0 && part <= 20 ? TRUE : FALSE;
}

HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect)
{
    if (!LookupDC(dc))
        return kInvalidArg;
    // The caller's font survives whatever the parent paints.
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    bool done = false;
    if (S().parentPainter)
        done = S().parentPainter(window, dc, rect);
    if (!done) {
        RECT r{};
        if (rect)
            r = *rect;
        else
            GetClipBox(dc, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    SelectObject(dc, font);
    return kOk;
}

BOOL IsThemeActive() { return S().active ? TRUE : FALSE; }
BOOL IsAppThemed() { return S().active ? TRUE : FALSE; }

HRESULT GetCurrentThemeName(LPSTR themeFile, int maxFile, LPSTR colorName, int maxColor, LPSTR sizeName, int maxSize)
{
    if (!S().active)
        return kFail;
    auto put = [](LPSTR out, int max, const char* value) {
        if (!out || max <= 0)
            return;
        size_t n = std::min(std::strlen(value), static_cast<size_t>(max - 1));
        std::memcpy(out, value, n);
        out[n] = '\0';
    };
    std::lock_guard<std::mutex> guard(S().lock);
    put(themeFile, maxFile, S().themeFile.c_str());
    put(colorName, maxColor, S().colorName.c_str());
    put(sizeName, maxSize, "Normal");
    return kOk;
}

COLORREF GetThemeSysColor(HTHEME, int colorId) { return GetSysColor(colorId); }

namespace quelvo::gfx {

void SetThemeActive(bool active)
{
    if (S().active == active)
        return;
    S().active = active;
    if (S().listener)
        S().listener();
}

void SetThemeName(const std::string& themeFile, const std::string& colorName)
{
    {
        std::lock_guard<std::mutex> guard(S().lock);
        S().themeFile = themeFile;
        S().colorName = colorName;
    }
    if (S().listener)
        S().listener();
}

void SetThemeChangeListener(std::function<void()> listener) { S().listener = std::move(listener); }

void SetParentBackgroundPainter(std::function<bool(HWND, HDC, const RECT*)> painter)
{
    S().parentPainter = std::move(painter);
}

} // namespace quelvo::gfx
