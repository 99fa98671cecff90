// The "COMBOBOX" class: an edit field or a selection field with a list,
// shown always (CBS_SIMPLE) or dropped down as a popup; CB_ messages and
// CBN_ notifications.
#include <algorithm>
#include <cstring>

#include "platform/controls/listbox.h"
#include "platform/controls/theme_handle.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/windows/display.h"

namespace quelvo::ctl::detail {

namespace {

constexpr int kEditId = 1001;
constexpr int kListId = 1000;
constexpr UINT kComboClose = WM_USER + 0x3F2;  // wParam: TRUE when the choice is taken

class ComboBox : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool Dropped() const { return dropped_; }
    void Close(bool ok);

private:
    // One per message of Handle.
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    LRESULT OnCreate(LPARAM lParam);
    LRESULT OnDestroy();
    LRESULT OnSetFocus();
    LRESULT OnKillFocus();
    LRESULT OnEnable(WPARAM wParam);
    LRESULT OnLButtonDown(LPARAM lParam);
    LRESULT OnSysKeyDown(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam);
    LRESULT OnChar(WPARAM wParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteString(WPARAM wParam, LPARAM lParam);
    LRESULT OnResetContent();
    LRESULT OnSetCurSel(WPARAM wParam);
    LRESULT OnSelectString(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetItemHeight(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowDropDown(WPARAM wParam);
    LRESULT OnGetDroppedControlRect(LPARAM lParam);
    LRESULT OnSetDroppedWidth(WPARAM wParam);
    LRESULT OnGetDroppedWidth();
    LRESULT OnSetEditSel(LPARAM lParam);
    LRESULT ComboMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    DWORD Kind() const { return Style() & 0x3; }
    bool HasEdit() const { return Kind() == CBS_SIMPLE || Kind() == CBS_DROPDOWN; }
    int FieldHeight() const;
    RECT ButtonRect() const;
    void Layout();
    void Drop();
    void SyncText();
    std::string SelectedText() const;
    void Paint(HDC dc) override;
    LRESULT ToList(UINT msg, WPARAM wParam, LPARAM lParam) const { return list_ ? SendMessageA(list_, msg, wParam, lParam) : CB_ERR; }
    void MoveSelection(int delta, bool toEnd);

    HWND edit_ = nullptr;
    HWND list_ = nullptr;
    int dropHeight_ = 100;
    int droppedWidth_ = 0;
    bool dropped_ = false;
    bool focused_ = false;
    bool buttonDown_ = false;
    int savedSel_ = -1;     // selection when dropped, back on cancel
    int reportedSel_ = -1;  // selection the owner was told of
    bool layingOut_ = false;
    bool syncing_ = false;
};

ComboBox* ComboOf(HWND hwnd)
{
    char cls[16]{};
    GetClassNameA(hwnd, cls, sizeof cls);
    return std::strcmp(cls, "COMBOBOX") == 0 ? static_cast<ComboBox*>(Lookup(hwnd)) : nullptr;
}

// The combo box's edit field hands the keys that drive the list to it.
LRESULT ComboEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND combo = GetParent(hwnd);
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        int vk = static_cast<int>(wParam);
        bool dropped = ComboOf(combo) && ComboOf(combo)->Dropped();
        if (vk == VK_UP || vk == VK_DOWN || vk == VK_F4 || vk == VK_PRIOR || vk == VK_NEXT ||
            (dropped && (vk == VK_RETURN || vk == VK_ESCAPE)))
            return SendMessageA(combo, msg, wParam, lParam);
    }
    if (msg == WM_CHAR && (wParam == '\r' || wParam == 27) && ComboOf(combo) && ComboOf(combo)->Dropped()) return 0;
    if (msg == WM_GETDLGCODE) {
        LRESULT code = EditProc(hwnd, msg, wParam, lParam);
        if (ComboOf(combo) && ComboOf(combo)->Dropped()) code |= DLGC_WANTALLKEYS;
        return code;
    }
    return EditProc(hwnd, msg, wParam, lParam);
}

int ComboBox::FieldHeight() const
{
    int h = FontHeight() + 6;
    if (Style() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
        LRESULT item = ToList(LB_GETITEMHEIGHT, 0, 0);
        if (item > 0) h = std::max<int>(h, static_cast<int>(item) + 6);
    }
    return h;
}

RECT ComboBox::ButtonRect() const
{
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (Kind() == CBS_SIMPLE) return RECT{0, 0, 0, 0};
    int w = GetSystemMetrics(SM_CXVSCROLL);
    return RECT{rc.right - w - 2, 2, rc.right - 2, std::min<LONG>(rc.bottom, FieldHeight()) - 2};
}

void ComboBox::Layout()
{
    if (layingOut_) return;
    layingOut_ = true;
    RECT rc;
    GetClientRect(hwnd_, &rc);
    int field = FieldHeight();
    if (Kind() != CBS_SIMPLE && rc.bottom != field) {
        RECT wr;
        GetWindowRect(hwnd_, &wr);
        SetWindowPos(hwnd_, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top - rc.bottom + field,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetClientRect(hwnd_, &rc);
    }
    RECT button = ButtonRect();
    if (edit_) {
        int right = Kind() == CBS_SIMPLE ? rc.right - 2 : button.left - 1;
        MoveWindow(edit_, 3, 3, std::max(0, right - 3), std::max(0, field - 6), TRUE);
    }
    if (list_ && Kind() == CBS_SIMPLE) MoveWindow(list_, 0, field, rc.right, std::max<LONG>(0, rc.bottom - field), TRUE);
    layingOut_ = false;
}

std::string ComboBox::SelectedText() const
{
    int sel = static_cast<int>(ToList(LB_GETCURSEL, 0, 0));
    if (sel < 0) return {};
    LRESULT len = ToList(LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0);
    if (len < 0) return {};
    std::string text(static_cast<std::size_t>(len) + 1, '\0');
    ToList(LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(len));
    return text;
}

void ComboBox::SyncText()
{
    std::string text = SelectedText();
    if (edit_) {
        syncing_ = true;  // not the user's editing
        SetWindowTextA(edit_, text.c_str());
        SendMessageA(edit_, EM_SETSEL, 0, -1);
        syncing_ = false;
    } else {
        Default(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ComboBox::Drop()
{
    if (dropped_ || Kind() == CBS_SIMPLE || !list_) return;
    Notify(CBN_DROPDOWN);
    savedSel_ = reportedSel_ = static_cast<int>(ToList(LB_GETCURSEL, 0, 0));
    RECT wr;
    GetWindowRect(hwnd_, &wr);
    int count = static_cast<int>(ToList(LB_GETCOUNT, 0, 0));
    int itemH = static_cast<int>(ToList(LB_GETITEMHEIGHT, 0, 0));
    int room = std::max(itemH, dropHeight_ - (wr.bottom - wr.top));
    int h = std::min(room, std::max(1, count) * std::max(1, itemH)) + 2;
    int w = std::max(static_cast<int>(wr.right - wr.left), droppedWidth_);
    SIZE screen = quelvo::win::Display().ScreenSize();
    int y = wr.bottom;
    if (y + h > screen.cy && wr.top - h >= 0) y = wr.top - h;
    SetWindowPos(list_, HWND_TOPMOST, wr.left, y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    dropped_ = true;
    buttonDown_ = true;
    SendMessageA(list_, kLbTrackFrom, 0, 0);
    if (savedSel_ >= 0) SendMessageA(list_, LB_SETTOPINDEX, static_cast<WPARAM>(savedSel_), 0);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ComboBox::Close(bool ok)
{
    if (!dropped_) return;
    dropped_ = false;
    buttonDown_ = false;
    if (GetCapture() == list_) ReleaseCapture();
    ShowWindow(list_, SW_HIDE);
    int sel = static_cast<int>(ToList(LB_GETCURSEL, 0, 0));
    if (!ok && sel != savedSel_) {
        ToList(LB_SETCURSEL, static_cast<WPARAM>(savedSel_), 0);
        SyncText();
    } else if (ok && sel != reportedSel_) {
        // Chosen with the mouse: the field and the owner learn it now.
        reportedSel_ = sel;
        SyncText();
        Notify(CBN_SELCHANGE);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
    Notify(CBN_CLOSEUP);
    Notify(ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
}

void ComboBox::MoveSelection(int delta, bool toEnd)
{
    int count = static_cast<int>(ToList(LB_GETCOUNT, 0, 0));
    if (count == 0) return;
    int sel = static_cast<int>(ToList(LB_GETCURSEL, 0, 0));
    int next = toEnd ? (delta < 0 ? 0 : count - 1) : (sel < 0 ? 0 : std::clamp(sel + delta, 0, count - 1));
    if (next == sel) return;
    ToList(LB_SETCURSEL, static_cast<WPARAM>(next), 0);
    reportedSel_ = next;
    SyncText();
    Notify(CBN_SELCHANGE);
}

void ComboBox::Paint(HDC dc)
{
    RECT rc;
    GetClientRect(hwnd_, &rc);
    int field = FieldHeight();
    RECT whole{0, 0, rc.right, std::min<LONG>(rc.bottom, field)};
    HGDIOBJ oldFont = SelectObject(dc, Font());
    UINT colourMsg = (Kind() == CBS_DROPDOWNLIST) ? WM_CTLCOLORLISTBOX : WM_CTLCOLOREDIT;
    HBRUSH back = ColourBrush(colourMsg, dc, IsWindowEnabled(hwnd_) ? COLOR_WINDOW : COLOR_BTNFACE);
    FillRect(dc, &whole, back);
    RECT frame = whole;
    DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
    RECT button = ButtonRect();
    if (Kind() != CBS_SIMPLE) {
        ThemeHandle theme(hwnd_, "ComboBox");
        int themed = !IsWindowEnabled(hwnd_) ? CBS_DISABLED : buttonDown_ ? CBS_PUSHED : CBS_NORMAL;
        if (!theme.Draw(dc, CP_DROPDOWNBUTTON, themed, button))
            DrawFrameControl(dc, &button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (buttonDown_ ? DFCS_PUSHED : 0) |
                                                         (IsWindowEnabled(hwnd_) ? 0 : DFCS_INACTIVE));
    }
    if (Kind() == CBS_DROPDOWNLIST) {
        RECT text{3, 3, button.left - 1, field - 3};
        int sel = static_cast<int>(ToList(LB_GETCURSEL, 0, 0));
        bool highlight = focused_ && !dropped_;
        if (Style() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_COMBOBOX;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd_));
            dis.itemID = static_cast<UINT>(sel);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = ODS_COMBOBOXEDIT | (highlight ? ODS_SELECTED | ODS_FOCUS : 0);
            dis.hwndItem = hwnd_;
            dis.hDC = dc;
            dis.rcItem = text;
            dis.itemData = sel >= 0 ? static_cast<ULONG_PTR>(ToList(LB_GETITEMDATA, static_cast<WPARAM>(sel), 0)) : 0;
            SendMessageA(GetParent(hwnd_), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        } else {
            if (highlight) {
                FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            }
            std::string label = SelectedText();
            RECT t = text;
            t.left += 2;
            DrawLabel(dc, label, t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, IsWindowEnabled(hwnd_) != FALSE);
            if (highlight) DrawFocusRect(dc, &text);
        }
    }
    SelectObject(dc, oldFont);
}

LRESULT ComboBox::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT fontResult = 0;
    if (PaintMessage(msg, wParam, fontResult)) return fontResult;
    if (msg == WM_SETFONT) return OnSetFont(wParam, lParam);
    if (FontMessage(msg, wParam, lParam, fontResult)) return fontResult;
    switch (msg) {
    case WM_CREATE: return OnCreate(lParam);
    case WM_DESTROY: return OnDestroy();
    case WM_SIZE: Layout(); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (dropped_ ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS: return OnSetFocus();
    case WM_KILLFOCUS: return OnKillFocus();
    case WM_ENABLE: return OnEnable(wParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnLButtonDown(lParam);
    case WM_SYSKEYDOWN: return OnSysKeyDown(msg, wParam, lParam);
    case WM_KEYDOWN: return OnKeyDown(wParam);
    case WM_CHAR: return OnChar(wParam);
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case kComboClose: Close(wParam != 0); return 0;
    case WM_SETTEXT: return OnSetText(wParam, lParam);
    case WM_GETTEXT: return OnGetText(wParam, lParam);
    case WM_GETTEXTLENGTH:
        return edit_ ? SendMessageA(edit_, WM_GETTEXTLENGTH, 0, 0) : static_cast<LRESULT>(SelectedText().size());
    default: return ComboMessage(msg, wParam, lParam);
    }
}

LRESULT ComboBox::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    LRESULT fontResult = 0;
    FontMessage(WM_SETFONT, wParam, lParam, fontResult);
    if (edit_) SendMessageA(edit_, WM_SETFONT, wParam, lParam);
    if (list_) SendMessageA(list_, WM_SETFONT, wParam, lParam);
    Layout();
    return 0;
}

// The CB_ messages, most of them passed on to the list.
LRESULT ComboBox::ComboMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case CB_ADDSTRING: return ToList(LB_ADDSTRING, wParam, lParam);
    case CB_INSERTSTRING: return ToList(LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING: return OnDeleteString(wParam, lParam);
    case CB_RESETCONTENT: return OnResetContent();
    case CB_GETCOUNT: return ToList(LB_GETCOUNT, 0, 0);
    case CB_GETCURSEL: return ToList(LB_GETCURSEL, 0, 0);
    case CB_SETCURSEL: return OnSetCurSel(wParam);
    case CB_GETLBTEXT: return ToList(LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return ToList(LB_GETTEXTLEN, wParam, 0);
    case CB_FINDSTRING: return ToList(LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return ToList(LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: return OnSelectString(wParam, lParam);
    case CB_GETITEMDATA: return ToList(LB_GETITEMDATA, wParam, 0);
    case CB_SETITEMDATA: return ToList(LB_SETITEMDATA, wParam, lParam);
    case CB_SETITEMHEIGHT: return OnSetItemHeight(wParam, lParam);
    case CB_GETITEMHEIGHT:
        return static_cast<int>(wParam) == -1 ? FieldHeight() : ToList(LB_GETITEMHEIGHT, wParam, 0);
    case CB_GETTOPINDEX: return ToList(LB_GETTOPINDEX, 0, 0);
    case CB_SETTOPINDEX: return ToList(LB_SETTOPINDEX, wParam, 0) == LB_ERR ? CB_ERR : CB_OKAY;
    case CB_SHOWDROPDOWN: return OnShowDropDown(wParam);
    case CB_GETDROPPEDSTATE: return dropped_ ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT: return OnGetDroppedControlRect(lParam);
    case CB_SETDROPPEDWIDTH: return OnSetDroppedWidth(wParam);
    case CB_GETDROPPEDWIDTH: return OnGetDroppedWidth();
    case CB_LIMITTEXT: return edit_ ? SendMessageA(edit_, EM_LIMITTEXT, wParam, 0), TRUE : CB_ERR;
    case CB_GETEDITSEL: return edit_ ? SendMessageA(edit_, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL: return OnSetEditSel(lParam);
    default: return Default(msg, wParam, lParam);
    }
}

LRESULT ComboBox::OnCreate(LPARAM lParam)
{
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    dropHeight_ = cs ? std::max(cs->cy, 0) : 100;
    DWORD style = Style();
    DWORD lbStyle = LBS_NOTIFY | LBS_COMBOBOX | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                    ((style & CBS_SORT) ? LBS_SORT : 0) | ((style & CBS_HASSTRINGS) ? LBS_HASSTRINGS : 0) |
                    ((style & CBS_OWNERDRAWFIXED) ? LBS_OWNERDRAWFIXED : 0) |
                    ((style & CBS_OWNERDRAWVARIABLE) ? LBS_OWNERDRAWVARIABLE : 0) |
                    ((style & CBS_DISABLENOSCROLL) ? LBS_DISABLENOSCROLL : 0);
    if (Kind() == CBS_SIMPLE) {
        list_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | lbStyle, 0, 0, 0, 0, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), nullptr, nullptr);
    } else {
        HWND top = GetAncestor(hwnd_, GA_ROOT);
        list_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kComboListClass, "",
                                WS_POPUP | WS_BORDER | lbStyle, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    }
    if (!list_) return -1;
    SendMessageA(list_, kLbSetCombo, reinterpret_cast<WPARAM>(hwnd_), 0);
    if (HasEdit()) {
        DWORD es = WS_CHILD | WS_VISIBLE | ((style & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0) |
                   ((style & CBS_UPPERCASE) ? ES_UPPERCASE : 0) | ((style & CBS_LOWERCASE) ? ES_LOWERCASE : 0);
        edit_ = CreateWindowExA(0, "EDIT", cs && cs->lpszName ? cs->lpszName : "", es, 0, 0, 0, 0, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), nullptr, nullptr);
        if (!edit_) return -1;
        SetWindowLongPtrA(edit_, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboEditProc));
    }
    Layout();
    return 0;
}

LRESULT ComboBox::OnDestroy()
{
    if (list_ && IsWindow(list_) && Kind() != CBS_SIMPLE) DestroyWindow(list_);
    list_ = nullptr;
    return 0;
}

LRESULT ComboBox::OnSetFocus()
{
    if (edit_) {
        SetFocus(edit_);
        return 0;
    }
    focused_ = true;
    InvalidateRect(hwnd_, nullptr, FALSE);
    Notify(CBN_SETFOCUS);
    return 0;
}

LRESULT ComboBox::OnKillFocus()
{
    focused_ = false;
    if (dropped_) Close(false);
    InvalidateRect(hwnd_, nullptr, FALSE);
    Notify(CBN_KILLFOCUS);
    return 0;
}

LRESULT ComboBox::OnEnable(WPARAM wParam)
{
    if (edit_) EnableWindow(edit_, wParam != 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
}

LRESULT ComboBox::OnLButtonDown(LPARAM lParam)
{
    if (edit_ && GetFocus() != edit_) SetFocus(edit_);
    else if (!edit_ && GetFocus() != hwnd_) SetFocus(hwnd_);
    POINT p = PointFrom(lParam);
    RECT button = ButtonRect();
    if (Kind() == CBS_DROPDOWNLIST || PtInRect(&button, p)) dropped_ ? Close(false) : Drop();
    return 0;
}

LRESULT ComboBox::OnSysKeyDown(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (wParam == static_cast<WPARAM>(VK_DOWN) || wParam == static_cast<WPARAM>(VK_UP)) {
        dropped_ ? Close(true) : Drop();
        return 0;
    }
    return Default(msg, wParam, lParam);
}

LRESULT ComboBox::OnKeyDown(WPARAM wParam)
{
    switch (static_cast<int>(wParam)) {
    case VK_F4: dropped_ ? Close(true) : Drop(); return 0;
    case VK_UP: MoveSelection(-1, false); return 0;
    case VK_DOWN: MoveSelection(1, false); return 0;
    case VK_PRIOR: MoveSelection(-8, false); return 0;
    case VK_NEXT: MoveSelection(8, false); return 0;
    case VK_HOME:
        if (!edit_) MoveSelection(-1, true);
        return 0;
    case VK_END:
        if (!edit_) MoveSelection(1, true);
        return 0;
    case VK_RETURN:
        if (dropped_) Close(true);
        return 0;
    case VK_ESCAPE:
        if (dropped_) Close(false);
        return 0;
    default: return 0;
    }
}

LRESULT ComboBox::OnChar(WPARAM wParam)
{
    if (!edit_ && wParam >= 0x20) {
        int before = static_cast<int>(ToList(LB_GETCURSEL, 0, 0));
        int found = static_cast<int>(ToList(LB_FINDSTRING, static_cast<WPARAM>(before), reinterpret_cast<LPARAM>(std::string(1, static_cast<char>(wParam)).c_str())));
        if (found >= 0 && found != before) {
            ToList(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
            SyncText();
            Notify(CBN_SELCHANGE);
        }
    }
    return 0;
}

LRESULT ComboBox::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND from = reinterpret_cast<HWND>(lParam);
    WORD code = HIWORD(wParam);
    if (from == edit_) {
        if (syncing_ && (code == EN_CHANGE || code == EN_UPDATE)) return 0;
        if (code == EN_CHANGE) Notify(CBN_EDITCHANGE);
        else if (code == EN_UPDATE) Notify(CBN_EDITUPDATE);
        else if (code == EN_SETFOCUS) Notify(CBN_SETFOCUS);
        else if (code == EN_KILLFOCUS) {
            if (dropped_) Close(false);
            Notify(CBN_KILLFOCUS);
        }
    } else if (from == list_) {
        if (code == LBN_SELCHANGE) {
            reportedSel_ = static_cast<int>(ToList(LB_GETCURSEL, 0, 0));
            SyncText();
            Notify(CBN_SELCHANGE);
        } else if (code == LBN_DBLCLK) {
            Notify(CBN_DBLCLK);
        }
    }
    return 0;
}

LRESULT ComboBox::OnSetText(WPARAM wParam, LPARAM lParam)
{
    if (edit_) return SendMessageA(edit_, WM_SETTEXT, wParam, lParam);
    {
        int found = static_cast<int>(ToList(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam));
        if (found < 0) return CB_ERR;
        ToList(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        SyncText();
        return TRUE;
    }
}

LRESULT ComboBox::OnGetText(WPARAM wParam, LPARAM lParam)
{
    if (edit_) return SendMessageA(edit_, WM_GETTEXT, wParam, lParam);
    {
        std::string t = SelectedText();
        if (!lParam || wParam == 0) return 0;
        std::size_t n = std::min<std::size_t>(t.size(), wParam - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), t.data(), n);
        reinterpret_cast<char*>(lParam)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
}

LRESULT ComboBox::OnDeleteString(WPARAM wParam, LPARAM lParam)
{
    LRESULT r = ToList(LB_DELETESTRING, wParam, lParam);
    InvalidateRect(hwnd_, nullptr, FALSE);
    return r;
}

LRESULT ComboBox::OnResetContent()
{
    ToList(LB_RESETCONTENT, 0, 0);
    if (edit_) SetWindowTextA(edit_, "");
    InvalidateRect(hwnd_, nullptr, FALSE);
    return CB_OKAY;
}

LRESULT ComboBox::OnSetCurSel(WPARAM wParam)
{
    LRESULT r = ToList(LB_SETCURSEL, wParam, 0);
    SyncText();
    if (static_cast<int>(wParam) == -1 && edit_) SetWindowTextA(edit_, "");
    return r;
}

LRESULT ComboBox::OnSelectString(WPARAM wParam, LPARAM lParam)
{
    LRESULT r = ToList(LB_SELECTSTRING, wParam, lParam);
    if (r >= 0) SyncText();
    return r;
}

LRESULT ComboBox::OnSetItemHeight(WPARAM wParam, LPARAM lParam)
{
    if (static_cast<int>(wParam) == -1) return CB_OKAY;  // the field follows the font
    return ToList(LB_SETITEMHEIGHT, wParam, lParam);
}

LRESULT ComboBox::OnShowDropDown(WPARAM wParam)
{
    if (wParam) Drop();
    else Close(false);
    return TRUE;
}

LRESULT ComboBox::OnGetDroppedControlRect(LPARAM lParam)
{
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r) return CB_ERR;
    GetWindowRect(hwnd_, r);
    r->right = std::max<LONG>(r->right, r->left + droppedWidth_);
    r->bottom = r->top + dropHeight_;
    return TRUE;
}

LRESULT ComboBox::OnSetDroppedWidth(WPARAM wParam)
{
    droppedWidth_ = std::clamp(static_cast<int>(wParam), 0, 4096);
    return droppedWidth_;
}

LRESULT ComboBox::OnGetDroppedWidth()
{
    RECT wr;
    GetWindowRect(hwnd_, &wr);
    return std::max(static_cast<int>(wr.right - wr.left), droppedWidth_);
}

LRESULT ComboBox::OnSetEditSel(LPARAM lParam)
{
    if (!edit_) return CB_ERR;
    SendMessageA(edit_, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(lParam))),
                 static_cast<SHORT>(HIWORD(lParam)));
    return TRUE;
}

// The dropped list: tracks the mouse while shown and tells its combo box
// when a choice was made or the press fell outside.
class ComboList : public ListBox {
public:
    using ListBox::ListBox;
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == kLbTrackFrom) {
            dropped_ = true;
            SetCapture(hwnd_);
            return 0;
        }
        if (!dropped_ || !IsWindowVisible(hwnd_)) return ListBox::Handle(msg, wParam, lParam);
        switch (msg) {
        case WM_MOUSEMOVE: {
            POINT p = PointFrom(lParam);
            RECT client;
            GetClientRect(hwnd_, &client);
            bool outside = false;
            int index = ItemFromPoint(p, outside);
            if (!outside && Valid(index) && index != cur_) SetCur(index, false);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            RECT client;
            GetClientRect(hwnd_, &client);
            if (!PtInRect(&client, PointFrom(lParam))) Finish(false);
            return 0;
        }
        case WM_LBUTTONUP: {
            POINT p = PointFrom(lParam);
            RECT client;
            GetClientRect(hwnd_, &client);
            if (!PtInRect(&client, p)) return 0;  // the release of the press that dropped the list
            bool outside = false;
            int index = ItemFromPoint(p, outside);
            if (!outside && Valid(index)) SetCur(index, false);
            Finish(true);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd_) Finish(false);
            return 0;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        default: return ListBox::Handle(msg, wParam, lParam);
        }
    }

private:
    void Finish(bool ok)
    {
        dropped_ = false;
        if (combo_) SendMessageA(combo_, kComboClose, ok ? TRUE : FALSE, 0);
    }
};

}  // namespace

LRESULT ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ControlProc<ComboBox>(hwnd, msg, wParam, lParam);
}

LRESULT ComboListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ControlProc<ComboList>(hwnd, msg, wParam, lParam);
}

}  // namespace quelvo::ctl::detail
