// The "BUTTON" class: push buttons, check boxes, radio buttons, group boxes
// and owner-drawn buttons.
#include <algorithm>

#include "platform/controls/control_base.h"
#include "platform/controls/theme_handle.h"
#include "platform/graphics/winuserdraw.h"

namespace quelvo::ctl::detail {

namespace {

constexpr DWORD kNotify = 0x4000;  // BS_NOTIFY

class Button : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    DWORD Type() const { return Style() & BS_TYPEMASK; }
    bool IsPush() const { return Type() == BS_PUSHBUTTON || Type() == BS_DEFPUSHBUTTON; }
    bool IsRadio() const { return Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON; }
    void Click();
    void SetPushed(bool pushed);
    void Paint(HDC dc) override;
    void PaintCheck(HDC dc, const RECT& rc, bool enabled);
    void DrawOwner(HDC dc, const RECT& rc);
    void ShowAsDefault(bool focused);

    LRESULT check_ = BST_UNCHECKED;
    bool pushed_ = false;
    bool focused_ = false;
    bool tracking_ = false;  // mouse pressed on the button
    bool spaceDown_ = false;
    HANDLE image_ = nullptr;
};

void Button::SetPushed(bool pushed)
{
    if (pushed_ == pushed) return;
    pushed_ = pushed;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Button::Click()
{
    switch (Type()) {
    case BS_AUTOCHECKBOX: check_ = check_ == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED; break;
    case BS_AUTO3STATE: check_ = (check_ + 1) % 3; break;
    case BS_AUTORADIOBUTTON: {
        check_ = BST_CHECKED;
        // Uncheck the other automatic radio buttons of the group.
        HWND parent = GetParent(hwnd_);
        for (HWND other = GetNextDlgGroupItem(parent, hwnd_, FALSE); other && other != hwnd_;
             other = GetNextDlgGroupItem(parent, other, FALSE)) {
            if ((SendMessageA(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
                (GetWindowLongA(other, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        break;
    }
    default: break;
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
    Notify(BN_CLICKED);
}

// In a dialog, a focused push button looks like the default one while it
// has the focus (Enter presses it); the dialog's default looks so again
// when the focus goes elsewhere.
void Button::ShowAsDefault(bool focused)
{
    if (!IsPush()) return;
    HWND dialog = GetParent(hwnd_);
    char cls[16]{};
    if (!dialog || !GetClassNameA(dialog, cls, sizeof cls) || std::string(cls) != kDialogClass) return;
    LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    HWND defButton = HIWORD(def) == DC_HASDEFID ? GetDlgItem(dialog, LOWORD(def)) : nullptr;
    if (focused) {
        if (defButton && defButton != hwnd_) SendMessageA(defButton, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        SendMessageA(hwnd_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        return;
    }
    if (defButton != hwnd_) SendMessageA(hwnd_, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    HWND next = GetFocus();
    bool nextIsPush = next && next != hwnd_ && IsChild(dialog, next) &&
                      (SendMessageA(next, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
    if (defButton && !nextIsPush) SendMessageA(defButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

LRESULT Button::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT fontResult = 0;
    if (FontMessage(msg, wParam, lParam, fontResult) || PaintMessage(msg, wParam, fontResult)) return fontResult;
    switch (msg) {
    case WM_GETDLGCODE:
        switch (Type()) {
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
        }
    case WM_NCHITTEST:
        if (Type() == BS_GROUPBOX) return HTTRANSPARENT;
        break;
    case WM_SETTEXT:
    case WM_ENABLE: return DefaultAndRedraw(msg, wParam, lParam);
    case WM_SETFOCUS:
        focused_ = true;
        ShowAsDefault(true);
        InvalidateRect(hwnd_, nullptr, FALSE);
        if (Style() & kNotify) Notify(BN_SETFOCUS);
        // Moving into an automatic radio button with the arrows checks it.
        if (Type() == BS_AUTORADIOBUTTON && check_ != BST_CHECKED &&
            (KeyDown(VK_UP) || KeyDown(VK_DOWN) || KeyDown(VK_LEFT) || KeyDown(VK_RIGHT)))
            Click();
        return 0;
    case WM_KILLFOCUS:
        focused_ = false;
        spaceDown_ = false;
        SetPushed(false);
        ShowAsDefault(false);
        if (Style() & kNotify) Notify(BN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (Type() == BS_GROUPBOX) return 0;
        SetFocus(hwnd_);
        SetCapture(hwnd_);
        tracking_ = true;
        SetPushed(true);
        return 0;
    case WM_MOUSEMOVE:
        if (tracking_ && GetCapture() == hwnd_) {
            RECT rc;
            GetClientRect(hwnd_, &rc);
            SetPushed(PtInRect(&rc, PointFrom(lParam)) != FALSE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (!tracking_) return 0;
        tracking_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
        if (pushed_) {
            SetPushed(false);
            Click();
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (tracking_ && reinterpret_cast<HWND>(lParam) != hwnd_) {
            tracking_ = false;
            SetPushed(false);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && Type() != BS_GROUPBOX) {
            spaceDown_ = true;
            SetPushed(true);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && spaceDown_) {
            spaceDown_ = false;
            SetPushed(false);
            Click();
        }
        return 0;
    case WM_CHAR: return 0;
    case BM_GETCHECK: return check_;
    case BM_SETCHECK: {
        LRESULT v = static_cast<LRESULT>(wParam);
        if (Type() == BS_3STATE || Type() == BS_AUTO3STATE) check_ = std::clamp<LRESULT>(v, 0, 2);
        else check_ = v == BST_UNCHECKED ? BST_UNCHECKED : BST_CHECKED;
        // A checked radio button is the group's tab stop.
        if (IsRadio()) {
            DWORD style = Style();
            SetWindowLongA(hwnd_, GWL_STYLE, check_ ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
        }
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    }
    case BM_GETSTATE: return check_ | (pushed_ ? BST_PUSHED : 0) | (focused_ ? BST_FOCUS : 0);
    case BM_SETSTATE: SetPushed(wParam != 0); return 0;
    case BM_SETSTYLE: {
        DWORD style = (Style() & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
        SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    }
    case BM_CLICK:
        if (IsWindowEnabled(hwnd_) && Type() != BS_GROUPBOX) Click();
        return 0;
    case BM_SETIMAGE: {
        HANDLE old = image_;
        image_ = reinterpret_cast<HANDLE>(lParam);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(image_);
    default: break;
    }
    return Default(msg, wParam, lParam);
}

void Button::DrawOwner(HDC dc, const RECT& rc)
{
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd_));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (pushed_ ? ODS_SELECTED : 0) | (focused_ ? ODS_FOCUS : 0) | (IsWindowEnabled(hwnd_) ? 0 : ODS_DISABLED);
    dis.hwndItem = hwnd_;
    dis.hDC = dc;
    dis.rcItem = rc;
    SendMessageA(GetParent(hwnd_), WM_DRAWITEM, static_cast<WPARAM>(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
}

void Button::PaintCheck(HDC dc, const RECT& rc, bool enabled)
{
    int box = 13;
    bool leftText = (Style() & BS_LEFTTEXT) != 0;
    RECT mark{leftText ? rc.right - box : rc.left, (rc.top + rc.bottom - box) / 2, 0, 0};
    mark.right = mark.left + box;
    mark.bottom = mark.top + box;
    UINT state = IsRadio() ? DFCS_BUTTONRADIO
                           : ((Type() == BS_3STATE || Type() == BS_AUTO3STATE) && check_ == BST_INDETERMINATE)
                                 ? DFCS_BUTTON3STATE | DFCS_CHECKED
                                 : DFCS_BUTTONCHECK;
    if (check_ == BST_CHECKED) state |= DFCS_CHECKED;
    if (pushed_) state |= DFCS_PUSHED;
    if (!enabled) state |= DFCS_INACTIVE;
    // Themed states come in rows of four: normal, hot, pressed, disabled.
    int row = IsRadio() ? (check_ == BST_CHECKED ? 1 : 0) : static_cast<int>(std::min<LRESULT>(check_, 2));
    int themed = row * 4 + (!enabled ? 4 : pushed_ ? 3 : 1);
    ThemeHandle theme(hwnd_, "Button");
    if (!theme.Draw(dc, IsRadio() ? BP_RADIOBUTTON : BP_CHECKBOX, themed, mark))
        DrawFrameControl(dc, &mark, DFC_BUTTON, state);
    RECT text = rc;
    if (leftText) text.right = mark.left - 4;
    else text.left = mark.right + 4;
    std::string label = WindowText(hwnd_);
    DrawLabel(dc, label, text, DT_SINGLELINE | DT_VCENTER | DT_LEFT, enabled);
    if (focused_ && !label.empty()) {
        RECT calc{0, 0, 0, 0};
        DrawTextA(dc, label.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
        RECT focus{text.left - 1, (rc.top + rc.bottom - calc.bottom) / 2 - 1, text.left + calc.right + 1,
                   (rc.top + rc.bottom + calc.bottom) / 2 + 1};
        DrawFocusRect(dc, &focus);
    }
}

void Button::Paint(HDC dc)
{
    RECT rc;
    GetClientRect(hwnd_, &rc);
    bool enabled = IsWindowEnabled(hwnd_) != FALSE;
    if (Type() == BS_OWNERDRAW) {
        DrawOwner(dc, rc);
        return;
    }
    HGDIOBJ oldFont = SelectObject(dc, Font());
    HBRUSH back = ColourBrush(WM_CTLCOLORBTN, dc, COLOR_BTNFACE);
    if (IsPush()) {
        RECT face = rc;
        ThemeHandle theme(hwnd_, "Button");
        int themed = !enabled ? PBS_DISABLED : pushed_ ? PBS_PRESSED : Type() == BS_DEFPUSHBUTTON ? PBS_DEFAULTED : PBS_NORMAL;
        if (!theme.Draw(dc, BP_PUSHBUTTON, themed, face)) {
            if (Type() == BS_DEFPUSHBUTTON) {
                FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
                InflateRect(&face, -1, -1);
            }
            DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed_ ? DFCS_PUSHED : 0));
        }
        RECT text = face;
        if (pushed_) OffsetRect(&text, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        if (image_ && (Style() & BS_BITMAP)) {
            SIZE b = BitmapSize(static_cast<HBITMAP>(image_));
            DrawBitmap(dc, static_cast<HBITMAP>(image_), (text.left + text.right - b.cx) / 2, (text.top + text.bottom - b.cy) / 2);
        } else if (image_ && (Style() & BS_ICON)) {
            int s = GetSystemMetrics(SM_CXICON);
            DrawIconEx(dc, (text.left + text.right - s) / 2, (text.top + text.bottom - s) / 2, static_cast<HICON>(image_), 0,
                       0, 0, nullptr, DI_NORMAL);
        } else {
            DrawLabel(dc, WindowText(hwnd_), text, DT_SINGLELINE | DT_VCENTER | DT_CENTER, enabled);
        }
        if (focused_) {
            RECT focus = face;
            InflateRect(&focus, -4, -4);
            DrawFocusRect(dc, &focus);
        }
    } else if (Type() == BS_GROUPBOX) {
        int h = LineHeight(dc);
        RECT frame{rc.left, rc.top + h / 2, rc.right, rc.bottom};
        FillRect(dc, &rc, back);
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        std::string label = WindowText(hwnd_);
        if (!label.empty()) {
            RECT calc{0, 0, 0, 0};
            DrawTextA(dc, label.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
            RECT text{rc.left + 8, rc.top, rc.left + 12 + calc.right, rc.top + h};
            FillRect(dc, &text, back);
            text.left += 2;
            DrawLabel(dc, label, text, DT_SINGLELINE | DT_LEFT, enabled);
        }
    } else {
        FillRect(dc, &rc, back);
        PaintCheck(dc, rc, enabled);
    }
    SelectObject(dc, oldFont);
}

}  // namespace

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ControlProc<Button>(hwnd, msg, wParam, lParam);
}

}  // namespace quelvo::ctl::detail
