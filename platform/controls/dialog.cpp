// Dialogs from templates in code, their default procedure and modal loop,
// dialog-item helpers and message boxes.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <map>
#include <optional>

#include "platform/controls/control_base.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/windows/display.h"

namespace quelvo::ctl::detail {

namespace {

constexpr int kDialogSlot = 24;  // after DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER
constexpr DWORD kErrorResourceNotFound = 1814;

struct CreateParams {
    DLGPROC proc = nullptr;
};

class Dialog : public Control {
public:
    using Control::Control;
    ~Dialog() override
    {
        if (ownFont_) DeleteObject(ownFont_);
    }
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void SetFont(HFONT font, bool own)
    {
        if (ownFont_) DeleteObject(ownFont_);
        ownFont_ = own ? font : nullptr;
        font_ = font;
    }
    HFONT DialogFont() const { return Font(); }
    SIZE base{4, 8};  // dialog base units of the font, in pixels
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    int defId = 0;
    HWND savedFocus = nullptr;

private:
    HFONT ownFont_ = nullptr;
};

Dialog* DialogOf(HWND hwnd)
{
    if (!IsWindow(hwnd)) return nullptr;
    char cls[16]{};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::strcmp(cls, kDialogClass) != 0) return nullptr;
    return static_cast<Dialog*>(reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, kDialogSlot)));
}

HWND FirstTabStop(HWND dialog)
{
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    return first;
}

void SetDefaultButton(HWND dialog, Dialog& d, int id)
{
    if (HWND old = GetDlgItem(dialog, d.defId))
        if (SendMessageA(old, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
            SendMessageA(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    d.defId = id;
    if (HWND now = GetDlgItem(dialog, id))
        if (SendMessageA(now, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON)
            SendMessageA(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

LRESULT Dialog::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ERASEBKGND: {
        auto dc = reinterpret_cast<HDC>(wParam);
        HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(hwnd_, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hwnd_)));
        RECT rc;
        GetClientRect(hwnd_, &rc);
        FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX: {
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CLOSE:
        PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd_, IDCANCEL)));
        return 0;
    case DM_GETDEFID: {
        if (defId) return MAKELONG(static_cast<WORD>(defId), DC_HASDEFID);
        for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (SendMessageA(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
                return MAKELONG(static_cast<WORD>(GetDlgCtrlID(c)), DC_HASDEFID);
        return 0;
    }
    case DM_SETDEFID: SetDefaultButton(hwnd_, *this, static_cast<int>(wParam)); return TRUE;
    case WM_NEXTDLGCTL: {
        HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0);
        if (target && IsChild(hwnd_, target)) {
            SetFocus(target);
            if (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(target, EM_SETSEL, 0, -1);
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND f = GetFocus();
            if (f && IsChild(hwnd_, f)) savedFocus = f;
        } else {
            HWND f = (savedFocus && IsWindow(savedFocus) && IsChild(hwnd_, savedFocus)) ? savedFocus : FirstTabStop(hwnd_);
            if (f && !IsChild(hwnd_, GetFocus())) SetFocus(f);
        }
        return 0;
    case WM_SETFOCUS: {
        HWND f = (savedFocus && IsWindow(savedFocus) && IsChild(hwnd_, savedFocus)) ? savedFocus : FirstTabStop(hwnd_);
        if (f) SetFocus(f);
        return 0;
    }
    case WM_KILLFOCUS: return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(DialogFont());
    case WM_SETFONT: SetFont(reinterpret_cast<HFONT>(wParam), false); return 0;
    default: break;
    }
    return Default(msg, wParam, lParam);
}

bool ReturnsDirectly(UINT msg)
{
    return (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM ||
           msg == WM_CHARTOITEM || msg == WM_INITDIALOG;
}

// The templates named by resource identifier or name.
std::map<std::pair<HINSTANCE, std::string>, DialogTemplate>& Templates()
{
    static std::map<std::pair<HINSTANCE, std::string>, DialogTemplate> templates;
    return templates;
}

std::string TemplateKey(LPCSTR name)
{
    if (!name) return {};
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    std::string key = name;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

const DialogTemplate* FindTemplate(HINSTANCE instance, LPCSTR name)
{
    auto it = Templates().find({instance, TemplateKey(name)});
    if (it == Templates().end()) it = Templates().find({nullptr, TemplateKey(name)});
    if (it == Templates().end()) {
        SetLastError(kErrorResourceNotFound);
        return nullptr;
    }
    return &it->second;
}

SIZE BaseUnitsOf(HFONT font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SIZE sz{};
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32A(dc, kAlphabet, 52, &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{std::max<LONG>(1, (sz.cx / 26 + 1) / 2), std::max<LONG>(1, tm.tmHeight)};
}

HFONT TemplateFont(const DialogTemplate& t)
{
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    int pt = std::clamp(t.pointSize, 1, 72);
    std::string face = t.fontFace.substr(0, LF_FACESIZE - 1);
    return CreateFontA(-MulDiv(pt, dpi > 0 ? dpi : 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       0, 0, 0, 0, face.c_str());
}

RECT ToPixels(const SIZE& base, int x, int y, int cx, int cy)
{
    return RECT{MulDiv(x, base.cx, 4), MulDiv(y, base.cy, 8), MulDiv(x + cx, base.cx, 4), MulDiv(y + cy, base.cy, 8)};
}

bool ValidTemplate(const DialogTemplate* t)
{
    if (!t || t->cx < 0 || t->cy < 0 || t->cx > 10000 || t->cy > 10000) return false;
    return std::all_of(t->items.begin(), t->items.end(), [](const DialogItem& i) {
        return !i.className.empty() && i.cx >= 0 && i.cy >= 0 && i.cx <= 10000 && i.cy <= 10000;
    });
}

HWND CreateFromTemplate(HINSTANCE instance, const DialogTemplate* t, HWND owner, DLGPROC proc, LPARAM param,
                        bool modal)
{
    InitControls();
    if (!ValidTemplate(t)) {
        SetLastError(87);
        return nullptr;
    }
    HFONT font = TemplateFont(*t);
    SIZE base = BaseUnitsOf(font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    DWORD style = t->style & ~(WS_VISIBLE | DS_SETFONT | DS_MODALFRAME | DS_CENTER | DS_3DLOOK | DS_CONTROL);
    DWORD exStyle = t->exStyle | ((t->style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0) |
                    ((t->style & DS_CONTROL) ? WS_EX_CONTROLPARENT : 0);
    if (t->style & DS_CONTROL) style |= WS_CHILD;
    if ((t->style & DS_MODALFRAME) && !(style & WS_CHILD)) style |= WS_DLGFRAME;
    RECT client = ToPixels(base, t->x, t->y, t->cx, t->cy);
    RECT frame{0, 0, client.right - client.left, client.bottom - client.top};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    int x = client.left + frame.left, y = client.top + frame.top;
    if (owner && !(style & WS_CHILD)) owner = GetAncestor(owner, GA_ROOT);
    if ((t->style & DS_CENTER) || (!(style & WS_CHILD) && t->x == 0 && t->y == 0)) {
        RECT area{0, 0, 0, 0};
        SIZE screen = quelvo::win::Display().ScreenSize();
        area.right = screen.cx;
        area.bottom = screen.cy;
        if (owner && !(t->style & DS_CENTER)) GetWindowRect(owner, &area);
        x = area.left + (area.right - area.left - w) / 2;
        y = area.top + (area.bottom - area.top - h) / 2;
        x = std::clamp(x, 0, std::max(0, static_cast<int>(screen.cx) - w));
        y = std::clamp(y, 0, std::max(0, static_cast<int>(screen.cy) - h));
    } else if (owner && !(style & WS_CHILD)) {
        RECT o;
        GetClientRect(owner, &o);
        POINT p{0, 0};
        ClientToScreen(owner, &p);
        x += p.x;
        y += p.y;
    }
    CreateParams cp;
    cp.proc = proc;
    HWND dialog = CreateWindowExA(exStyle, kDialogClass, t->caption.c_str(), style, x, y, w, h, owner, nullptr,
                                  instance, &cp);
    if (!dialog) {
        if (font) DeleteObject(font);
        return nullptr;
    }
    Dialog* d = DialogOf(dialog);
    d->modal = modal;
    d->base = base;
    if (font) d->SetFont(font, true);
    HFONT controlsFont = d->DialogFont();
    for (const DialogItem& item : t->items) {
        RECT r = ToPixels(base, item.x, item.y, item.cx, item.cy);
        HWND c = CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                                 r.left, r.top, r.right - r.left, r.bottom - r.top, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
        if (!c) {
            DestroyWindow(dialog);
            return nullptr;
        }
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(controlsFont), FALSE);
        if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            (SendMessageA(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) && !d->defId)
            d->defId = item.id;
    }
    HWND first = FirstTabStop(dialog);
    LRESULT setFocus = SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dialog)) return nullptr;
    if (setFocus && first) {
        SetFocus(first);
        d->savedFocus = first;
    } else if (HWND f = GetFocus(); f && IsChild(dialog, f)) {
        d->savedFocus = f;
    }
    if (t->style & WS_VISIBLE) ShowWindow(dialog, SW_SHOW);
    return dialog;
}

}  // namespace

LRESULT DialogClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        Attach(hwnd, std::make_unique<Dialog>(hwnd), kDialogSlot);
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (cs && cs->lpCreateParams) {
            auto* cp = static_cast<CreateParams*>(cs->lpCreateParams);
            SetWindowLongPtrA(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(cp->proc));
        }
    }
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hwnd, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 0);
        INT_PTR handled = proc(hwnd, msg, wParam, lParam);
        if (!IsWindow(hwnd)) return handled;
        if (handled) {
            if (msg == WM_NCDESTROY) Dispatch(hwnd, msg, wParam, lParam, kDialogSlot);
            return ReturnsDirectly(msg) ? handled : GetWindowLongPtrA(hwnd, DWLP_MSGRESULT);
        }
    }
    return Dispatch(hwnd, msg, wParam, lParam, kDialogSlot);
}

inline constexpr int kDialogSlotIndex = kDialogSlot;

}  // namespace quelvo::ctl::detail

using namespace quelvo::ctl::detail;
using quelvo::ctl::DialogItem;
using quelvo::ctl::DialogTemplate;
using quelvo::ctl::InitControls;

namespace quelvo::ctl {

void RegisterDialogTemplate(HINSTANCE instance, int id, DialogTemplate dialog)
{
    Templates()[{instance, "#" + std::to_string(id)}] = std::move(dialog);
}

void RegisterDialogTemplate(HINSTANCE instance, const std::string& name, DialogTemplate dialog)
{
    Templates()[{instance, TemplateKey(name.c_str())}] = std::move(dialog);
}

}  // namespace quelvo::ctl

LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return Dispatch(dialog, msg, wParam, lParam, kDialogSlotIndex);
}

HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog, HWND owner, DLGPROC proc, LPARAM param)
{
    return CreateFromTemplate(instance, dialog, owner, proc, param, false);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    const DialogTemplate* t = FindTemplate(instance, templateName);
    return t ? CreateDialogIndirectParamA(instance, t, owner, proc, param) : nullptr;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog, HWND owner, DLGPROC proc, LPARAM param)
{
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    if (!ModalUiAvailable()) return -1;
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    bool reenable = root && IsWindowEnabled(root);
    HWND hwnd = CreateFromTemplate(instance, dialog, root, proc, param, true);
    if (!hwnd) return -1;
    Dialog* d = DialogOf(hwnd);
    if (d->ended) {  // ended from WM_INITDIALOG
        INT_PTR r = d->result;
        DestroyWindow(hwnd);
        return r;
    }
    if (reenable) EnableWindow(root, FALSE);
    ShowWindow(hwnd, SW_SHOW);
    SetActiveWindow(hwnd);
    UpdateWindow(hwnd);
    while (IsWindow(hwnd) && !d->ended) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (root && IsWindow(root) && !(GetWindowLongA(hwnd, GWL_STYLE) & DS_NOIDLEMSG))
                SendMessageA(root, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(hwnd));
            if (!IsWindow(hwnd) || d->ended) break;
            if (!GetMessageA(&msg, nullptr, 0, 0)) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
        } else if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageA(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    INT_PTR result = -1;
    if (IsWindow(hwnd)) {
        result = d->ended ? d->result : IDCANCEL;
        if (reenable && IsWindow(root)) EnableWindow(root, TRUE);
        if (root && IsWindow(root)) SetActiveWindow(root);
        DestroyWindow(hwnd);
    } else if (reenable && IsWindow(root)) {
        EnableWindow(root, TRUE);
    }
    return result;
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    const DialogTemplate* t = FindTemplate(instance, templateName);
    return t ? DialogBoxIndirectParamA(instance, t, owner, proc, param) : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    Dialog* d = DialogOf(dialog);
    if (!d) return FALSE;
    d->ended = true;
    d->result = result;
    if (d->modal) ShowWindow(dialog, SW_HIDE);
    PostMessageA(dialog, WM_NULL, 0, 0);  // wakes the modal loop
    return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextA(item, text ? text : "") : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (buffer && size > 0) buffer[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(std::max(0, GetWindowTextA(item, buffer, size)));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    std::string text = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    return SetDlgItemTextA(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned)
{
    if (translated) *translated = FALSE;
    HWND item = GetDlgItem(dialog, id);
    if (!item) return 0;
    std::string text = WindowText(item);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-' && !isSigned) return 0;
        negative = text[i] == '-';
        ++i;
    }
    std::size_t digits = i;
    long long v = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > 0x1FFFFFFFFLL) return 0;
    }
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i == digits || i != text.size()) return 0;
    if (negative) v = -v;
    if (isSigned ? (v < INT_MIN || v > INT_MAX) : (v > static_cast<long long>(UINT_MAX))) return 0;
    if (translated) *translated = TRUE;
    return static_cast<UINT>(static_cast<int64_t>(v));
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item) return FALSE;
    SendMessageA(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? static_cast<UINT>(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check)
{
    bool any = false;
    for (int id = first; id <= last; ++id) {
        HWND item = GetDlgItem(dialog, id);
        if (!item) continue;
        any = true;
        SendMessageA(item, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return any ? TRUE : FALSE;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, msg, wParam, lParam) : 0;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect)
{
    Dialog* d = DialogOf(dialog);
    if (!d || !rect) return FALSE;
    *rect = ToPixels(d->base, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    return TRUE;
}

LONG GetDialogBaseUnits()
{
    SIZE base = BaseUnitsOf(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    return static_cast<LONG>(MAKELONG(static_cast<WORD>(base.cx), static_cast<WORD>(base.cy)));
}

// ---- message boxes --------------------------------------------------------------

namespace {

struct BoxButton {
    int id;
    const char* label;
};

std::vector<BoxButton> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    default: return {{IDOK, "OK"}};
    }
}

constexpr int kBoxIcon = 0xFFFE;

// The message box's icon: a sign drawn in a circle or a triangle.
void DrawBoxIcon(HDC dc, RECT r, UINT kind)
{
    struct Look {
        COLORREF fill;
        COLORREF mark;
        const char* sign;
        bool triangle;
    };
    Look look = kind == MB_ICONHAND         ? Look{RGB(200, 30, 30), RGB(255, 255, 255), "X", false}
                : kind == MB_ICONQUESTION    ? Look{RGB(30, 90, 200), RGB(255, 255, 255), "?", false}
                : kind == MB_ICONEXCLAMATION ? Look{RGB(250, 200, 20), RGB(0, 0, 0), "!", true}
                                             : Look{RGB(30, 90, 200), RGB(255, 255, 255), "i", false};
    HBRUSH brush = CreateSolidBrush(look.fill);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    if (look.triangle) {
        POINT points[3] = {{(r.left + r.right) / 2, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
        Polygon(dc, points, 3);
    } else {
        Ellipse(dc, r.left, r.top, r.right, r.bottom);
    }
    HFONT font = CreateFontA(-(r.bottom - r.top) * 2 / 3, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             0, 0, "Sans");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look.mark);
    RECT text = r;
    if (look.triangle) text.top += (r.bottom - r.top) / 6;
    DrawTextA(dc, look.sign, -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(font);
    DeleteObject(brush);
}

INT_PTR MessageBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);  // the icon kind
        HWND def = GetDlgItem(hwnd, LOWORD(SendMessageA(hwnd, DM_GETDEFID, 0, 0)));
        if (def) SetFocus(def);
        return FALSE;
    }
    if (msg == WM_DRAWITEM && wParam == static_cast<WPARAM>(kBoxIcon)) {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        DrawBoxIcon(dis->hDC, dis->rcItem, static_cast<UINT>(GetWindowLongPtrA(hwnd, DWLP_USER)));
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    int id = LOWORD(wParam);
    if (GetDlgItem(hwnd, id) && id != kBoxIcon) {
        EndDialog(hwnd, id);
        return TRUE;
    }
    // Escape or closing without a Cancel button: only a lone OK answers.
    if (id == IDCANCEL && GetDlgItem(hwnd, IDOK) && !GetWindow(GetDlgItem(hwnd, IDOK), GW_HWNDNEXT)) {
        EndDialog(hwnd, IDOK);
        return TRUE;
    }
    return TRUE;
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    InitControls();
    if (!ModalUiAvailable()) return 0;
    std::vector<BoxButton> buttons = ButtonsOf(type);
    std::string body = text ? text : "";
    UINT icon = type & MB_ICONMASK;
    DialogTemplate t;
    t.caption = caption ? caption : "Error";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    if (type & MB_TOPMOST) t.exStyle |= WS_EX_TOPMOST;
    // Laid out in the dialog units of the font the box will have.
    HFONT font = TemplateFont(t);
    SIZE base = BaseUnitsOf(font);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE screen = quelvo::win::Display().ScreenSize();
    RECT measure{0, 0, std::max<LONG>(200, screen.cx * 3 / 5), 0};
    DrawTextA(dc, body.c_str(), static_cast<int>(body.size()), &measure, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (font) DeleteObject(font);
    int textW = MulDiv(measure.right, 4, base.cx) + 2;
    int textH = MulDiv(measure.bottom, 8, base.cy) + 2;
    int iconW = icon ? MulDiv(32, 4, base.cx) : 0, iconH = icon ? MulDiv(32, 8, base.cy) : 0;
    int textX = icon ? 7 + iconW + 7 : 10;
    int bodyH = std::max(textH, iconH);
    int buttonsW = static_cast<int>(buttons.size()) * 50 + (static_cast<int>(buttons.size()) - 1) * 4;
    t.cx = std::max(textX + textW + 10, buttonsW + 20);
    t.cy = bodyH + 10 + 14 + 14;
    if (icon) t.items.push_back(DialogItem{"STATIC", "", kBoxIcon, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 7, 7, iconW, iconH});
    t.items.push_back(DialogItem{"STATIC", body, 0xFFFF, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, textX,
                                 7 + (bodyH - textH) / 2, textW, textH});
    std::size_t def = std::min<std::size_t>((type & MB_DEFMASK) >> 8, buttons.size() - 1);
    int x = (t.cx - buttonsW) / 2;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (i == 0 ? WS_GROUP : 0);
        t.items.push_back(DialogItem{"BUTTON", buttons[i].label, buttons[i].id, style, 0, x, bodyH + 14, 50, 14});
        x += 54;
    }
    MessageBeep(icon);
    return static_cast<int>(DialogBoxIndirectParamA(nullptr, &t, owner, MessageBoxProc, static_cast<LPARAM>(icon)));
}
