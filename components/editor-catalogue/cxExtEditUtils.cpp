#include "components/editor-catalogue/cxExtEditUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

namespace {

constexpr const char* kHookProperty = "QuelvoControlHook";
// The procedure the hook replaced; kept after the hook lets go while a later
// procedure still calls the hook's, so the chain goes on.
constexpr const char* kNextProperty = "QuelvoControlHookNext";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
int HexValue(char c) { return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

// The runtime's whole-text integer reading: sign, then decimal digits or
// hexadecimal ones after "$", "x" or "0x"; a 32-bit result.
bool ReadInteger(std::string_view t)
{
    std::size_t i = 0;
    const bool negative = i < t.size() && (t[i] == '-' || t[i] == '+') && t[i++] == '-';
    bool hex = false;
    if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) hex = true, ++i;
    else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) hex = true, i += 2;
    if (i >= t.size()) return false;
    std::uint64_t value = 0;
    for (; i < t.size(); ++i) {
        if (hex ? !IsHexDigit(t[i]) : !IsDigit(t[i])) return false;
        value = hex ? value * 16 + static_cast<unsigned>(HexValue(t[i])) : value * 10 + static_cast<unsigned>(t[i] - '0');
        if (value > 0xFFFFFFFFull) return false;
    }
    return hex || value <= (negative ? 0x80000000ull : 0x7FFFFFFFull);
}

std::string FilterNumberText(std::string_view text, bool stopAtInvalid, char separator)
{
    std::string kept;
    for (char c : text) {
        if (c == '-' || IsDigit(c) || (separator && c == separator)) kept += c;
        else if (stopAtInvalid) break;
    }
    return kept.empty() ? "0" : kept;
}

int Channel(int value) { return std::clamp(value, 0, 255); }

// Moves dc's window origin so that the point (dx, dy) becomes (0, 0).
void MoveWindowOrg(HDC dc, int dx, int dy) { OffsetWindowOrgEx(dc, -dx, -dy, nullptr); }

POINT NegatedWindowOrg(HDC dc)
{
    POINT origin{};
    GetWindowOrgEx(dc, &origin);
    return POINT{-origin.x, -origin.y};
}

// With the window origin and clip moved inside the frame drawn.
void DrawWindowFrame(HDC dc, TWinControl* x)
{
    if (!x->HandleAllocated()) return;
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(x->Handle(), GWL_EXSTYLE));
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(x->Handle(), GWL_STYLE));
    RECT r{0, 0, x->Width(), x->Height()};
    if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (style & WS_BORDER) DrawEdge(dc, &r, BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | BF_MONO);
    else return;
    MoveWindowOrg(dc, r.left, r.top);
    IntersectClipRect(dc, 0, 0, RectWidth(r), RectHeight(r));
}

struct TransparentPainter {
    TWinControl* control;
    TCanvas* canvas;
    RECT area;

    void PaintStep(TWinControl* x, int dx, int dy);
    void PaintChildren(TWinControl* x, POINT origin);
    bool Overlaps(TControl* child, POINT origin) const
    {
        const RECT r{origin.x + child->Left(), origin.y + child->Top(), origin.x + child->Left() + child->Width(),
                     origin.y + child->Top() + child->Height()};
        RECT common{};
        return IntersectRect(&common, &r, &area) != FALSE;
    }
};

void TransparentPainter::PaintStep(TWinControl* x, int dx, int dy)
{
    HDC dc = canvas->Handle();
    const int saved = SaveDC(dc);
    ScopeGuard restore([dc, saved] { RestoreDC(dc, saved); });
    MoveWindowOrg(dc, dx, dy);
    const POINT origin = NegatedWindowOrg(dc);
    x->SetControlState(x->ControlState() + TControlState{csPaintCopy});
    ScopeGuard paintCopy([x] { x->SetControlState(x->ControlState() - TControlState{csPaintCopy}); });
    IntersectClipRect(dc, 0, 0, x->Width(), x->Height());
    if (x != control->Parent()) DrawWindowFrame(dc, x);
    {
        canvas->Lock();
        ScopeGuard unlock([this] { canvas->Unlock(); });
        x->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        x->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
    PaintChildren(x, origin);
}

void TransparentPainter::PaintChildren(TWinControl* x, POINT origin)
{
    for (int i = 0; i < x->ControlCount(); ++i) {
        TControl* child = x->Controls(i);
        if (child == control) return;
        auto* windowed = As<TWinControl>(child);
        if (!windowed || !windowed->Visible() || !Overlaps(child, origin)) continue;
        canvas->Lock();
        ScopeGuard unlock([this] { canvas->Unlock(); });
        PaintStep(windowed, child->Left(), child->Top());
    }
}

}  // namespace

// ---- rectangles and lines ----------------------------------------------------------

void InflateRectEx(RECT& rect, int dl, int dt, int dr, int db)
{
    rect.left += dl;
    rect.top += dt;
    rect.right += dr;
    rect.bottom += db;
}

int RectWidth(const RECT& rect) { return std::max<int>(0, rect.right - rect.left); }
int RectHeight(const RECT& rect) { return std::max<int>(0, rect.bottom - rect.top); }
int CalcCenterPosHeight(const RECT& rect, int height) { return (rect.bottom - rect.top - height) / 2; }
int CalcDrawWidth(const RECT& rect, int height) { return 2 * CalcCenterPosHeight(rect, height) + 2 + height; }

RECT DrawBounds(TcxCanvas* canvas, const RECT& r, TColor color1, TColor color2)
{
    TCanvas* c = canvas->Canvas();
    DrawCanvasLine(c, color1, POINT{r.left, r.top}, POINT{r.left, r.bottom + 1});
    DrawCanvasLine(c, color1, POINT{r.left, r.top}, POINT{r.right + 1, r.top});
    DrawCanvasLine(c, color2, POINT{r.right, r.top + 1}, POINT{r.right, r.bottom});
    DrawCanvasLine(c, color2, POINT{r.left + 1, r.bottom}, POINT{r.right + 1, r.bottom});
    return RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

void DrawCanvasLine(TCanvas* canvas, TColor color, const POINT& from, const POINT& to)
{
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(from.x, from.y);
    canvas->LineTo(to.x, to.y);
}

// ---- text and fonts ----------------------------------------------------------------

int PrepareTextFlag(int initialFlags, TAlignment horz, TcxAlignmentVert vert, bool endEllipsis, bool wordWrap,
                    int tabWidth, bool platformFlags, bool showPrefix)
{
    struct Vocabulary {
        int horz[3];  // left, right, centre
        int vert[3];  // top, bottom, centre
        int ellipsis, wordBreak, tabs, noPrefix, prefix;
    };
    static constexpr Vocabulary kPlatform{{0, 2, 1}, {0, 8, 4}, 0x8000, 0x10, 0xC0, 0x800, 0};
    static constexpr Vocabulary kCanvas{{1, 2, 4}, {8, 16, 32}, 0x800, 0x400, 0x100, 0, 0x200};
    const Vocabulary& v = platformFlags ? kPlatform : kCanvas;
    int flags = initialFlags | v.horz[horz] | v.vert[vert];
    if (endEllipsis) flags |= v.ellipsis;
    if (wordWrap) flags |= v.wordBreak;
    if (tabWidth > 0) flags |= v.tabs;
    return flags | (showPrefix ? v.prefix : v.noPrefix);
}

namespace {

template <class Measure>
int MeasureOnBitmap(TFont* font, Measure&& measure)
{
    ObjectPtr<TBitmap> bitmap(CreateObject<TBitmap>());
    bitmap->SetSize(1, 1);
    bitmap->Canvas()->Font()->Assign(font);
    return measure(bitmap->Canvas());
}

bool IsTrueTypeFont(TFont* font)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ScopeGuard freeDc([dc] { DeleteDC(dc); });
    HGDIOBJ old = SelectObject(dc, font->Handle());
    ScopeGuard deselect([dc, old] { SelectObject(dc, old); });
    TEXTMETRICA metrics{};
    return GetTextMetricsA(dc, &metrics) && (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

}  // namespace

int NonCanvasTextHeight(TFont* font)
{
    return MeasureOnBitmap(font, [](TCanvas* c) { return c->TextHeight("Wg"); });
}

int NonCanvasTextWidth(TFont* font, const std::string& text)
{
    return MeasureOnBitmap(font, [&](TCanvas* c) { return c->TextWidth(text); });
}

int CalcMaxWidth(TCanvas* canvas, const std::string& text)
{
    int widest = canvas->TextWidth(text);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        widest = std::max(widest, canvas->TextWidth(text.substr(start, end - start)));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return widest + 1;
}

bool AdjustCanvasFont(TCanvas* canvas, TFont* font, int angle)
{
    canvas->Font()->Assign(font);
    if (!IsTrueTypeFont(canvas->Font())) return false;
    const int a = ((angle % 360) + 360) % 360;
    if (a != 0) canvas->Font()->SetEscapement(a * 10);
    return true;
}

std::string GetWord(int n, std::string_view text, char delimiter)
{
    if (n < 1) return {};
    std::size_t start = 0;
    for (int piece = 1; piece < n; ++piece) {
        const std::size_t at = text.find(delimiter, start);
        if (at == std::string_view::npos) return {};
        start = at + 1;
    }
    const std::size_t end = text.find(delimiter, start);
    return std::string(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

// ---- colours -----------------------------------------------------------------------

TColor IncColor(TColor color, int dr, int dg, int db)
{
    const COLORREF c = ColorToRGB(color);
    return static_cast<TColor>(
        RGB(Channel(GetRValue(c) + dr), Channel(GetGValue(c) + dg), Channel(GetBValue(c) + db)));
}

TColor cxStringToColor(std::string_view text, bool& valid)
{
    TColor color = clNone;
    valid = IdentToColor(text, color);
    if (valid) return color;
    valid = IsValidStringForInt(text);
    return valid ? cxStrToInt(text, false) : clNone;
}

TColor cxRGBStringColorToColor(std::string_view text)
{
    std::string_view rest = text;
    int channel[3] = {};
    for (int& value : channel) {
        const std::size_t p = rest.find('.');
        value = cxStrToInt(rest.substr(0, p), false);
        if (p != std::string_view::npos) rest = rest.substr(p + 1);
    }
    return static_cast<TColor>(RGB(channel[0] & 0xFF, channel[1] & 0xFF, channel[2] & 0xFF));
}

TColor cxHexRGBStringColorToColor(std::string_view text)
{
    std::string hex;
    for (char c : text)
        if (IsHexDigit(c)) hex += c;
    int channel[3] = {};
    for (int i = 0; i < 3; ++i)
        if (static_cast<std::size_t>(2 * i) < hex.size())
            channel[i] = std::min(255, StrToIntDef("$" + hex.substr(2 * i, 2), 0));
    return static_cast<TColor>(RGB(channel[0], channel[1], channel[2]));
}

// ---- numbers and Variants ----------------------------------------------------------

bool IsVarEmpty(const Variant& value) { return value.IsNull() || value.IsEmpty(); }

bool IsValidStringForInt(std::string_view text)
{
    const std::string t = Trim(text);
    return !t.empty() && ReadInteger(t);
}

bool IsValidStringForDouble(std::string_view text)
{
    const std::string t = Trim(text);
    if (t.empty()) return false;
    const char separator = FormatSettings().DecimalSeparator;
    bool separatorSeen = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == separator && !separatorSeen) separatorSeen = true;
        else if (!IsDigit(t[i]) && !(i == 0 && t[i] == '-')) return false;
    }
    // "-" or the separator alone pass the walk but are no number.
    long double value = 0;
    return TryStrToFloat(t, value, FormatSettings()) && std::fabs(value) <= 1.7E308L;
}

namespace {
TVarType BaseType(const Variant& value) { return VarType(value) & ~varByRef; }
}  // namespace

bool VarIsInteger(const Variant& value)
{
    switch (BaseType(value)) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
        return true;
    default:
        return false;
    }
}

bool VarIsDouble(const Variant& value)
{
    const TVarType type = BaseType(value);
    return type == varSingle || type == varDouble || type == varCurrency;
}

std::int64_t GetMaxVarInteger(const Variant& value)
{
    switch (BaseType(value)) {
    case varSmallint: return 32767;
    case varInteger: return 2147483647;
    case varShortInt: return 127;
    case varByte: return 255;
    case varWord: return 65535;
    case varLongWord: return 4294967295LL;
    case varInt64: return 9223372036854775807LL;
    default: return 0;
    }
}

long double GetMaxVarDouble(const Variant& value)
{
    switch (BaseType(value)) {
    case varSingle: return 3.4E38L;
    case varDouble: return 1.7E308L;
    case varCurrency: return 1.1E4932L;
    default: return 0;
    }
}

int cxStrToInt(std::string_view text, bool stopAtInvalid) { return StrToInt(FilterNumberText(text, stopAtInvalid, 0)); }

long double cxStrToFloat(std::string_view text, bool stopAtInvalid)
{
    const std::string kept = FilterNumberText(text, stopAtInvalid, FormatSettings().DecimalSeparator);
    long double value = 0;
    if (!TryStrToFloat(kept, value, FormatSettings()))
        throw EConvertError("'" + kept + "' is not a valid floating point value");
    return value;
}

// ---- check states and keyboard -----------------------------------------------------

std::string CheckStateToString(TcxCheckBoxState state)
{
    switch (state) {
    case cbsChecked: return "1";
    case cbsGrayed: return "2";
    default: return "0";
    }
}

TcxCheckBoxState StringToCheckState(std::string_view text, bool allowGrayed)
{
    if (text == "1") return cbsChecked;
    if (!allowGrayed || text == "0") return cbsUnchecked;
    return cbsGrayed;
}

TShiftState CurrentShiftState() { return GetShiftState(); }

// ---- background painting -----------------------------------------------------------

void PaintBackground(TWinControl* control, HDC dc, bool paintParent)
{
    if (!control || !paintParent || !control->Parent()) return;
    TWinControl* parent = control->Parent();
    const int saved = SaveDC(dc);
    ScopeGuard restore([dc, saved] { RestoreDC(dc, saved); });
    const POINT p = parent->ScreenToClient(control->ClientOrigin());
    MoveWindowOrg(dc, -p.x, -p.y);
    SendMessageA(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parent->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    parent->PaintControls(dc, parent->ControlCount() > 0 ? parent->Controls(0) : nullptr);
}

void DrawTransparentControlBackground(TWinControl* control, TCanvas* canvas, const RECT& rect)
{
    if (!control || !control->Parent()) return;
    RECT q = rect;
    OffsetRect(&q, control->Left(), control->Top());
    TransparentPainter painter{control, canvas, RECT{0, 0, RectWidth(q), RectHeight(q)}};
    painter.PaintStep(control->Parent(), -q.left, -q.top);
}

// ---- window-procedure hook ---------------------------------------------------------

TClass TcxControlHook::StaticClass() { return DefineClass<TcxControlHook, TObject>("TcxControlHook"); }

WNDPROC TcxControlHook::HookProcedure() { return &TcxControlHook::Procedure; }

LRESULT TcxControlHook::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* hook = static_cast<TcxControlHook*>(GetPropA(hwnd, kHookProperty));
    if (!hook) {
        auto next = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kNextProperty));
        return next ? CallWindowProcA(next, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    TMessage message{msg, wParam, lParam, 0};
    hook->HookWndProc(message);
    return message.Result;
}

void TcxControlHook::SetWinControl(TWinControl* value)
{
    if (value == control_) return;
    UnHookControl();
    control_ = value;
    if (control_) HookControl();
}

bool TcxControlHook::CanHook() const
{
    return control_ && !destroying_ && !control_->ComponentState().Contains(csDesigning) &&
           !control_->ComponentState().Contains(csDestroying);
}

void TcxControlHook::HookControl()
{
    if (!CanHook()) return;
    HWND hwnd = control_->Handle();
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWL_WNDPROC));
    if (current == HookProcedure()) return;
    previous_ = current;
    SetPropA(hwnd, kHookProperty, static_cast<HANDLE>(this));
    SetPropA(hwnd, kNextProperty, reinterpret_cast<HANDLE>(current));
    SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(HookProcedure()));
}

void TcxControlHook::UnHookControl()
{
    if (control_ && previous_ && control_->HandleAllocated()) {
        HWND hwnd = control_->Handle();
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWL_WNDPROC)) == HookProcedure()) {
            SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
            RemovePropA(hwnd, kNextProperty);
        }
        RemovePropA(hwnd, kHookProperty);
    }
    previous_ = nullptr;
}

void TcxControlHook::HookWndProc(TMessage& message)
{
    if (!control_ || destroying_) return;
    if (previous_)
        message.Result = CallWindowProcA(previous_, control_->Handle(), message.Msg, message.WParam, message.LParam);
    else control_->DefaultHandler(message);
    if (message.Msg == WM_DESTROY) UnHookControl();
}

void TcxControlHook::Destroy()
{
    // The window keeps its procedure; it must not reach a freed hook.
    if (control_ && control_->HandleAllocated() && GetPropA(control_->Handle(), kHookProperty) == this)
        RemovePropA(control_->Handle(), kHookProperty);
    destroying_ = true;
    control_ = nullptr;
    TObject::Destroy();
}
