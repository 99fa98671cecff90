// The "LISTBOX" class: items, selection modes, keyboard and mouse, owner
// drawing, standard scroll bars and the LB_ messages.
#include "platform/controls/listbox.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/graphics/winuserdraw.h"
#include "platform/system/muldiv.h"

namespace quelvo::ctl::detail {

namespace {

int CompareNoCase(const std::string& a, const std::string& b)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool StartsNoCase(const std::string& s, const std::string& prefix)
{
    return s.size() >= prefix.size() && CompareNoCase(s.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

bool ListBox::HasStrings() const { return !OwnerDraw() || (Style() & LBS_HASSTRINGS); }

HWND ListBox::NotifyTarget() const { return combo_ ? combo_ : GetParent(hwnd_); }

void ListBox::NotifyCode(WORD code) const
{
    HWND target = NotifyTarget();
    if (!target) return;
    bool always = code == LBN_SETFOCUS || code == LBN_KILLFOCUS || code == LBN_ERRSPACE;
    if (!always && !(Style() & LBS_NOTIFY) && !combo_) return;
    SendMessageA(target, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd_)), code),
                 reinterpret_cast<LPARAM>(hwnd_));
}

void ListBox::Measure(int index)
{
    MEASUREITEMSTRUCT mis;
    mis.CtlType = combo_ ? ODT_COMBOBOX : ODT_LISTBOX;
    mis.CtlID = static_cast<UINT>(GetDlgCtrlID(combo_ ? combo_ : hwnd_));
    mis.itemID = static_cast<UINT>(index);
    mis.itemHeight = static_cast<UINT>(itemHeight_);
    if (Valid(index)) mis.itemData = items_[static_cast<std::size_t>(index)].data;
    HWND target = combo_ ? GetParent(combo_) : GetParent(hwnd_);
    if (target) SendMessageA(target, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    int h = static_cast<int>(std::clamp<UINT>(mis.itemHeight, 1, 255));
    if (Valid(index)) items_[static_cast<std::size_t>(index)].height = h;
    else itemHeight_ = h;
}

int ListBox::Insert(int at, LPARAM lParam, bool sorted)
{
    Item item;
    if (HasStrings()) item.text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
    else item.data = static_cast<ULONG_PTR>(lParam);
    at = std::clamp(at, 0, Count());
    if (sorted && (Style() & LBS_SORT) && HasStrings()) {
        auto pos = std::upper_bound(items_.begin(), items_.end(), item,
                                    [](const Item& a, const Item& b) { return CompareNoCase(a.text, b.text) < 0; });
        at = static_cast<int>(pos - items_.begin());
    }
    items_.insert(items_.begin() + at, std::move(item));
    if (cur_ >= at) ++cur_;
    if (caret_ >= at && Count() > 1) ++caret_;
    if (anchor_ >= at) ++anchor_;
    if (Variable()) Measure(at);
    UpdateBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return at;
}

int ListBox::Delete(int index)
{
    if (!Valid(index)) return static_cast<int>(LB_ERR);
    if (OwnerDraw()) {
        struct {
            UINT CtlType, CtlID, itemID;
            HWND hwndItem;
            ULONG_PTR itemData;
        } del{ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(hwnd_)), static_cast<UINT>(index), hwnd_,
              items_[static_cast<std::size_t>(index)].data};
        if (HWND parent = GetParent(hwnd_)) SendMessageA(parent, WM_DELETEITEM, del.CtlID, reinterpret_cast<LPARAM>(&del));
    }
    items_.erase(items_.begin() + index);
    if (cur_ == index) cur_ = -1;
    else if (cur_ > index) --cur_;
    if (caret_ > index || caret_ >= Count()) caret_ = std::max(0, caret_ - 1);
    if (anchor_ >= Count()) anchor_ = Count() - 1;
    top_ = std::clamp(top_, 0, std::max(0, Count() - 1));
    UpdateBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return Count();
}

void ListBox::Reset()
{
    while (OwnerDraw() && Count()) Delete(Count() - 1);
    items_.clear();
    cur_ = -1;
    caret_ = 0;
    anchor_ = -1;
    top_ = 0;
    UpdateBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int ListBox::Find(int start, const char* text, bool exact) const
{
    if (!text || !HasStrings() || Count() == 0) return static_cast<int>(LB_ERR);
    std::string s = text;
    int n = Count();
    int from = (start < -1 || start >= n) ? 0 : start + 1;
    for (int k = 0; k < n; ++k) {
        int i = (from + k) % n;
        const std::string& t = items_[static_cast<std::size_t>(i)].text;
        if (exact ? CompareNoCase(t, s) == 0 : StartsNoCase(t, s)) return i;
    }
    return static_cast<int>(LB_ERR);
}

int ListBox::ItemHeightOf(int index) const
{
    if (Variable() && Valid(index)) return std::max(1, items_[static_cast<std::size_t>(index)].height);
    return std::max(1, itemHeight_);
}

int ListBox::ItemTop(int index) const
{
    if (!Variable()) return (index - top_) * std::max(1, itemHeight_);
    int y = 0;
    if (index >= top_)
        for (int i = top_; i < index; ++i) y += ItemHeightOf(i);
    else
        for (int i = index; i < top_; ++i) y -= ItemHeightOf(i);
    return y;
}

int ListBox::Rows() const
{
    RECT client;
    GetClientRect(hwnd_, &client);
    return std::max<int>(1, client.bottom / std::max(1, itemHeight_));
}

int ListBox::VisibleColumns() const
{
    RECT client;
    GetClientRect(hwnd_, &client);
    return std::max<int>(1, client.right / std::max(1, columnWidth_));
}

int ListBox::ColumnCount() const { return (Count() + Rows() - 1) / Rows(); }

RECT ListBox::ColumnItemRect(int index) const
{
    const int rows = Rows(), h = std::max(1, itemHeight_), w = std::max(1, columnWidth_);
    const int column = index / rows - top_ / rows, row = index % rows;
    return RECT{column * w, row * h, (column + 1) * w, (row + 1) * h};
}

int ListBox::ColumnItemFromPoint(POINT pt, bool& outside) const
{
    const int rows = Rows();
    const int row = pt.y < 0 ? 0 : std::min(rows - 1, static_cast<int>(pt.y) / std::max(1, itemHeight_));
    const int column = pt.x < 0 ? -1 : static_cast<int>(pt.x) / std::max(1, columnWidth_);
    const int index = top_ + column * rows + row;
    if (pt.y >= rows * std::max(1, itemHeight_) || index >= Count()) outside = true;
    return std::clamp(index, 0, Count() - 1);
}

RECT ListBox::ItemRect(int index) const
{
    if (MultiColumn()) return ColumnItemRect(index);
    RECT client;
    GetClientRect(hwnd_, &client);
    int y = ItemTop(index);
    return RECT{-xOffset_, y, std::max<LONG>(client.right, hExtent_) - xOffset_, y + ItemHeightOf(index)};
}

int ListBox::ItemFromPoint(POINT pt, bool& outside) const
{
    RECT client;
    GetClientRect(hwnd_, &client);
    outside = !PtInRect(&client, pt);
    if (Count() == 0) return 0;
    if (MultiColumn()) return ColumnItemFromPoint(pt, outside);
    if (pt.y < 0) return std::max(0, top_ - 1);
    int y = 0;
    for (int i = top_; i < Count(); ++i) {
        int h = ItemHeightOf(i);
        if (pt.y < y + h) return i;
        y += h;
    }
    outside = true;
    return Count() - 1;
}

int ListBox::VisibleCount() const
{
    if (MultiColumn()) return VisibleColumns() * Rows();
    RECT client;
    GetClientRect(hwnd_, &client);
    int y = 0, n = 0;
    for (int i = top_; i < Count(); ++i) {
        y += ItemHeightOf(i);
        if (y > client.bottom) break;
        ++n;
    }
    if (!Variable() && top_ + n >= Count()) n += (client.bottom - y) / std::max(1, itemHeight_);
    return std::max(1, n);
}

void ListBox::SetTop(int top)
{
    // The last page stays full.
    RECT client;
    GetClientRect(hwnd_, &client);
    int maxTop = Count();
    int y = 0;
    while (maxTop > 0 && y + ItemHeightOf(maxTop - 1) <= client.bottom) y += ItemHeightOf(--maxTop);
    if (MultiColumn()) {
        // A column starts the view; the last column stays at the right edge.
        const int rows = Rows();
        maxTop = std::max(0, ColumnCount() - VisibleColumns()) * rows;
        top = std::max(0, top) / rows * rows;
    }
    top = std::clamp(top, 0, std::max(0, maxTop));
    if (top == top_) return;
    top_ = top;
    UpdateBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ListBox::EnsureVisible(int index)
{
    if (!Valid(index)) return;
    if (MultiColumn()) {
        const int rows = Rows(), column = index / rows, first = top_ / rows;
        if (column < first) SetTop(column * rows);
        else if (column >= first + VisibleColumns()) SetTop((column - VisibleColumns() + 1) * rows);
        return;
    }
    if (index < top_) {
        SetTop(index);
        return;
    }
    RECT client;
    GetClientRect(hwnd_, &client);
    int top = top_;
    while (top < index) {
        int y = 0;
        for (int i = top; i <= index; ++i) y += ItemHeightOf(i);
        if (y <= client.bottom) break;
        ++top;
    }
    SetTop(top);
}

void ListBox::SetCaret(int index, bool scroll)
{
    if (!Valid(index)) return;
    if (caret_ != index) {
        InvalidateRect(hwnd_, nullptr, FALSE);
        caret_ = index;
    }
    if (scroll) EnsureVisible(index);
}

void ListBox::SelectOnly(int index)
{
    for (int i = 0; i < Count(); ++i) items_[static_cast<std::size_t>(i)].selected = i == index;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ListBox::SelectRange(int from, int to, bool on)
{
    for (int i = std::max(0, std::min(from, to)); i <= std::min(Count() - 1, std::max(from, to)); ++i)
        items_[static_cast<std::size_t>(i)].selected = on;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool ListBox::SetCur(int index, bool notify)
{
    if (index != -1 && !Valid(index)) {
        if (cur_ != -1) InvalidateRect(hwnd_, nullptr, FALSE);
        cur_ = -1;
        return false;
    }
    bool changed = cur_ != index;
    cur_ = index;
    if (index >= 0) SetCaret(index, true);
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (changed && notify) NotifyCode(LBN_SELCHANGE);
    return true;
}

void ListBox::UpdateBars()
{
    DWORD style = Style();
    if (style & LBS_NOREDRAW) return;
    if (MultiColumn()) return UpdateColumnBar();
    RECT client;
    GetClientRect(hwnd_, &client);
    if (wantsVBar_) {
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((style & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
        si.nMin = 0;
        si.nMax = std::max(0, Count() - 1);
        si.nPage = static_cast<UINT>(Count() ? VisibleCount() : 1);
        si.nPos = top_;
        SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
    }
    if (wantsHBar_) {
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((style & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
        si.nMin = 0;
        si.nMax = std::max(0, hExtent_ - 1);
        si.nPage = static_cast<UINT>(std::max<LONG>(0, client.right));
        si.nPos = xOffset_;
        SetScrollInfo(hwnd_, SB_HORZ, &si, TRUE);
    }
}

void ListBox::UpdateColumnBar()
{
    if (!wantsHBar_) return;
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((Style() & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
    si.nMin = 0;
    si.nMax = std::max(0, ColumnCount() - 1);
    si.nPage = static_cast<UINT>(VisibleColumns());
    si.nPos = top_ / Rows();
    SetScrollInfo(hwnd_, SB_HORZ, &si, TRUE);
}

void ListBox::DrawItem(HDC dc, int index, UINT action)
{
    bool selected = Valid(index) && (MultiSel() ? items_[static_cast<std::size_t>(index)].selected : index == cur_);
    bool focus = focused_ && (index == caret_ || !Valid(index)) && !dropped_;
    RECT rc = Valid(index) ? ItemRect(index) : RECT{0, 0, 0, 0};
    if (!Valid(index)) {
        GetClientRect(hwnd_, &rc);
        rc.bottom = rc.top + ItemHeightOf(0);
    }
    if (OwnerDraw()) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = combo_ ? ODT_COMBOBOX : ODT_LISTBOX;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(combo_ ? combo_ : hwnd_));
        dis.itemID = static_cast<UINT>(index);
        dis.itemAction = action;
        dis.itemState = (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) |
                        (IsWindowEnabled(hwnd_) ? 0 : ODS_DISABLED);
        dis.hwndItem = hwnd_;
        dis.hDC = dc;
        dis.rcItem = rc;
        dis.itemData = Valid(index) ? items_[static_cast<std::size_t>(index)].data : 0;
        HWND target = combo_ ? GetParent(combo_) : GetParent(hwnd_);
        int saved = SaveDC(dc);
        if (target) SendMessageA(target, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        RestoreDC(dc, saved);
        return;
    }
    if (!Valid(index)) {
        if (focus) DrawFocusRect(dc, &rc);
        return;
    }
    if (selected) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    RECT t = rc;
    t.left += 2;
    SetBkMode(dc, TRANSPARENT);
    DrawItemText(dc, items_[static_cast<std::size_t>(index)].text, t);
    if (focus) DrawFocusRect(dc, &rc);
}

void ListBox::DrawItemText(HDC dc, const std::string& text, RECT r)
{
    const int length = static_cast<int>(text.size());
    if (!(Style() & LBS_USETABSTOPS)) {
        DrawTextA(dc, text.c_str(), length, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    std::vector<INT> stops;
    for (int stop : tabStops_) stops.push_back(MulDiv(stop, std::max<int>(tm.tmAveCharWidth, 1), 4));
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    const int y = r.top + (r.bottom - r.top - static_cast<int>(tm.tmHeight)) / 2;
    TabbedTextOutA(dc, r.left, y, text.c_str(), length, static_cast<int>(stops.size()), stops.data(), r.left);
    RestoreDC(dc, saved);
}

void ListBox::Paint(HDC dc)
{
    RECT client;
    GetClientRect(hwnd_, &client);
    HGDIOBJ oldFont = SelectObject(dc, Font());
    HBRUSH back = ColourBrush(WM_CTLCOLORLISTBOX, dc, COLOR_WINDOW);
    FillRect(dc, &client, back);
    COLORREF text = GetTextColor(dc);
    if (Count() == 0) {
        if (focused_) DrawItem(dc, -1, ODA_FOCUS);
    }
    for (int i = top_; i < Count(); ++i) {
        RECT r = ItemRect(i);
        if (r.top >= client.bottom || r.left >= client.right) break;
        SetTextColor(dc, text);
        DrawItem(dc, i, ODA_DRAWENTIRE);
    }
    SelectObject(dc, oldFont);
}

void ListBox::UserSelect(int index, bool shift, bool ctrl, bool fromMouseMove)
{
    if (!Valid(index) || (Style() & LBS_NOSEL)) return;
    DWORD style = Style();
    if (style & LBS_EXTENDEDSEL) {
        if (shift && anchor_ >= 0) {
            if (!ctrl) SelectOnly(-1);
            SelectRange(anchor_, index, true);
        } else if (ctrl && !fromMouseMove) {
            auto& it = items_[static_cast<std::size_t>(index)];
            it.selected = !it.selected;
            anchor_ = index;
        } else if (!fromMouseMove) {
            SelectOnly(index);
            anchor_ = index;
        } else {
            SelectOnly(-1);
            SelectRange(anchor_ >= 0 ? anchor_ : index, index, true);
        }
        SetCaret(index, true);
        NotifyCode(LBN_SELCHANGE);
        return;
    }
    if (style & LBS_MULTIPLESEL) {
        SetCaret(index, true);
        if (!fromMouseMove) {
            auto& it = items_[static_cast<std::size_t>(index)];
            it.selected = !it.selected;
            InvalidateRect(hwnd_, nullptr, FALSE);
            NotifyCode(LBN_SELCHANGE);
        }
        return;
    }
    SetCur(index, true);
}

void ListBox::Key(int vk)
{
    if (Count() == 0) return;
    bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
    int page = std::max(1, VisibleCount() - 1);
    int from = MultiSel() ? caret_ : (cur_ >= 0 ? cur_ : caret_);
    int target = -2;
    switch (vk) {
    case VK_UP: target = from - 1; break;
    case VK_DOWN: target = (cur_ < 0 && !MultiSel()) ? 0 : from + 1; break;
    case VK_PRIOR: target = from - page; break;
    case VK_NEXT: target = from + page; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = Count() - 1; break;
    case VK_SPACE:
        if (Style() & LBS_MULTIPLESEL) UserSelect(caret_, false, false, false);
        else if ((Style() & LBS_EXTENDEDSEL) && ctrl) UserSelect(caret_, false, true, false);
        return;
    case VK_LEFT:
    case VK_RIGHT: {
        if (MultiColumn()) {
            target = from + (vk == VK_LEFT ? -Rows() : Rows());
            break;
        }
        int dx = vk == VK_LEFT ? -8 : 8;
        if (hExtent_ > 0) Scroll(WM_HSCROLL, SB_THUMBPOSITION, xOffset_ + dx);
        return;
    }
    default: return;
    }
    target = std::clamp(target, 0, Count() - 1);
    if (Style() & LBS_MULTIPLESEL) {
        SetCaret(target, true);
    } else if (Style() & LBS_EXTENDEDSEL) {
        if (ctrl && !shift) SetCaret(target, true);
        else UserSelect(target, shift, false, false);
    } else {
        SetCur(target, true);
    }
}

void ListBox::Char(char c)
{
    if (!HasStrings() || Count() == 0 || static_cast<unsigned char>(c) < 0x20) return;
    int found = Find(MultiSel() ? caret_ : cur_, std::string(1, c).c_str(), false);
    if (found < 0) return;
    if (MultiSel()) SetCaret(found, true);
    else SetCur(found, true);
}

void ListBox::ScrollColumns(WORD code, int thumb)
{
    const int rows = Rows(), column = top_ / rows, page = VisibleColumns();
    switch (code) {
    case SB_LINELEFT: SetTop((column - 1) * rows); break;
    case SB_LINERIGHT: SetTop((column + 1) * rows); break;
    case SB_PAGELEFT: SetTop((column - page) * rows); break;
    case SB_PAGERIGHT: SetTop((column + page) * rows); break;
    case SB_LEFT: SetTop(0); break;
    case SB_RIGHT: SetTop(Count()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetTop(thumb * rows); break;
    default: break;
    }
}

void ListBox::Scroll(UINT msg, WORD code, int thumb)
{
    if (MultiColumn()) {
        if (msg == WM_HSCROLL) ScrollColumns(code, thumb);
        return;
    }
    if (msg == WM_HSCROLL) {
        RECT client;
        GetClientRect(hwnd_, &client);
        int x = xOffset_;
        switch (code) {
        case SB_LINELEFT: x -= 8; break;
        case SB_LINERIGHT: x += 8; break;
        case SB_PAGELEFT: x -= client.right; break;
        case SB_PAGERIGHT: x += client.right; break;
        case SB_LEFT: x = 0; break;
        case SB_RIGHT: x = hExtent_; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: x = thumb; break;
        default: return;
        }
        x = std::clamp(x, 0, std::max(0, hExtent_ - static_cast<int>(client.right)));
        if (x != xOffset_) {
            xOffset_ = x;
            UpdateBars();
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
        return;
    }
    switch (code) {
    case SB_LINEUP: SetTop(top_ - 1); break;
    case SB_LINEDOWN: SetTop(top_ + 1); break;
    case SB_PAGEUP: SetTop(top_ - std::max(1, VisibleCount() - 1)); break;
    case SB_PAGEDOWN: SetTop(top_ + std::max(1, VisibleCount() - 1)); break;
    case SB_TOP: SetTop(0); break;
    case SB_BOTTOM: SetTop(Count()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetTop(thumb); break;
    default: break;
    }
}

LRESULT ListBox::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (msg == WM_SETFONT) return OnSetFont(wParam, lParam);
    if (FontMessage(msg, wParam, lParam, result) || PaintMessage(msg, wParam, result)) return result;
    if (HandleScrollBarMessage(hwnd_, msg, wParam, lParam, result)) return result;
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_SIZE: return OnSize(lParam);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: return OnSetFocus();
    case WM_KILLFOCUS: return OnKillFocus();
    case WM_ENABLE: InvalidateRect(hwnd_, nullptr, TRUE); return 0;
    case WM_KEYDOWN: return OnKeyDown(wParam);
    case WM_CHAR: return OnChar(wParam);
    case WM_LBUTTONDOWN: return OnLButtonDown(wParam, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(lParam);
    case WM_LBUTTONUP: return OnLButtonUp();
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(lParam);
    case WM_CAPTURECHANGED: tracking_ = false; return 0;
    case WM_MOUSEWHEEL: return OnMouseWheel(wParam);
    case WM_VSCROLL:
    case WM_HSCROLL: return OnScroll(msg, wParam, lParam);
    default: return ListMessage(msg, wParam, lParam);
    }
}

LRESULT ListBox::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    FontMessage(WM_SETFONT, wParam, lParam, result);
    if (!OwnerDraw()) itemHeight_ = FontHeight();
    UpdateBars();
    return 0;
}

// The LB_ messages.
LRESULT ListBox::ListMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case LB_ADDSTRING: return Insert(Count(), lParam, true);
    case LB_INSERTSTRING: return OnInsertString(wParam, lParam);
    case LB_DELETESTRING: return Delete(static_cast<int>(wParam));
    case LB_RESETCONTENT: Reset(); return 0;
    case LB_GETCOUNT: return Count();
    case LB_GETTEXT: return OnGetText(wParam, lParam);
    case LB_GETTEXTLEN: return OnGetTextLen(wParam);
    case LB_SETCURSEL: return OnSetCurSel(wParam);
    case LB_GETCURSEL: return MultiSel() ? (Count() ? caret_ : LB_ERR) : cur_;
    case LB_SETSEL: return OnSetSel(wParam, lParam);
    case LB_GETSEL: return OnGetSel(wParam);
    case LB_GETSELCOUNT: return OnGetSelCount();
    case LB_GETSELITEMS: return OnGetSelItems(wParam, lParam);
    case LB_SELITEMRANGE: return OnSelItemRange(wParam, lParam);
    case LB_SELITEMRANGEEX: return OnSelItemRangeEx(wParam, lParam);
    case LB_SETTOPINDEX: return OnSetTopIndex(wParam);
    case LB_GETTOPINDEX: return top_;
    case LB_SETCARETINDEX: return OnSetCaretIndex(wParam);
    case LB_GETCARETINDEX: return Count() ? caret_ : (MultiSel() ? 0 : LB_ERR);
    case LB_SETANCHORINDEX: return OnSetAnchorIndex(wParam);
    case LB_GETANCHORINDEX: return anchor_;
    case LB_GETITEMRECT: return OnGetItemRect(wParam, lParam);
    case LB_ITEMFROMPOINT: return OnItemFromPoint(lParam);
    case LB_SETITEMHEIGHT: return OnSetItemHeight(wParam, lParam);
    case LB_GETITEMHEIGHT: return Variable() && Valid(static_cast<int>(wParam)) ? ItemHeightOf(static_cast<int>(wParam)) : itemHeight_;
    case LB_SETITEMDATA: return OnSetItemData(wParam, lParam);
    case LB_GETITEMDATA: return OnGetItemData(wParam);
    case LB_FINDSTRING: return Find(static_cast<int>(wParam), reinterpret_cast<LPCSTR>(lParam), false);
    case LB_FINDSTRINGEXACT: return Find(static_cast<int>(wParam), reinterpret_cast<LPCSTR>(lParam), true);
    case LB_SELECTSTRING: return OnSelectString(wParam, lParam);
    case LB_SETHORIZONTALEXTENT: return OnSetHorizontalExtent(wParam);
    case LB_GETHORIZONTALEXTENT: return hExtent_;
    case LB_SETTABSTOPS: return OnSetTabStops(wParam, lParam);
    case LB_SETCOLUMNWIDTH: return OnSetColumnWidth(wParam);
    case kLbSetCombo: return OnSetCombo(wParam);
    default: return Default(msg, wParam, lParam);
    }
}

LRESULT ListBox::OnCreate()
{
    itemHeight_ = FontHeight();
    if (Style() & LBS_OWNERDRAWFIXED) Measure(-1);
    // The bars come and go with the items; columns scroll sideways only.
    wantsVBar_ = (Style() & WS_VSCROLL) != 0 && !MultiColumn();
    wantsHBar_ = (Style() & WS_HSCROLL) != 0;
    // Columns are 15 average characters wide until told otherwise.
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, Font());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    columnWidth_ = std::max(1, 15 * static_cast<int>(tm.tmAveCharWidth));
    UpdateBars();
    return 0;
}

LRESULT ListBox::OnSize(LPARAM lParam)
{
    if (!sizing_ && !(Style() & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE)) && !combo_) {
        // Whole items only: the height shrinks to a multiple of the item height.
        int h = HIWORD(lParam), extra = h % std::max(1, itemHeight_);
        if (extra && h > itemHeight_) {
            RECT wr;
            GetWindowRect(hwnd_, &wr);
            sizing_ = true;
            SetWindowPos(hwnd_, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top - extra,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            sizing_ = false;
        }
    }
    UpdateBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
}

LRESULT ListBox::OnSetFocus()
{
    focused_ = true;
    InvalidateRect(hwnd_, nullptr, FALSE);
    NotifyCode(LBN_SETFOCUS);
    return 0;
}

LRESULT ListBox::OnKillFocus()
{
    focused_ = false;
    InvalidateRect(hwnd_, nullptr, FALSE);
    NotifyCode(LBN_KILLFOCUS);
    return 0;
}

LRESULT ListBox::OnKeyDown(WPARAM wParam)
{
    if ((Style() & LBS_WANTKEYBOARDINPUT) && !combo_) {
        LRESULT r = SendMessageA(GetParent(hwnd_), WM_VKEYTOITEM, MAKEWPARAM(static_cast<WORD>(wParam), static_cast<WORD>(caret_)),
                                 reinterpret_cast<LPARAM>(hwnd_));
        if (r == -2) return 0;
        if (r >= 0) {
            if (Valid(static_cast<int>(r))) MultiSel() ? SetCaret(static_cast<int>(r), true) : (void)SetCur(static_cast<int>(r), true);
            return 0;
        }
    }
    Key(static_cast<int>(wParam));
    return 0;
}

LRESULT ListBox::OnChar(WPARAM wParam)
{
    if ((Style() & LBS_WANTKEYBOARDINPUT) && !combo_ && HasStrings()) {
        LRESULT r = SendMessageA(GetParent(hwnd_), WM_CHARTOITEM, MAKEWPARAM(static_cast<WORD>(wParam), static_cast<WORD>(caret_)),
                                 reinterpret_cast<LPARAM>(hwnd_));
        if (r == -2) return 0;
        if (r >= 0) {
            if (Valid(static_cast<int>(r))) SetCur(static_cast<int>(r), true);
            return 0;
        }
    }
    Char(static_cast<char>(wParam));
    return 0;
}

LRESULT ListBox::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    if (!dropped_ && GetFocus() != hwnd_) SetFocus(hwnd_);
    bool outside = false;
    int index = ItemFromPoint(PointFrom(lParam), outside);
    if (outside && Count() && ItemRect(Count() - 1).bottom <= PointFrom(lParam).y) return 0;
    UserSelect(index, (wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0, false);
    tracking_ = true;
    SetCapture(hwnd_);
    return 0;
}

LRESULT ListBox::OnMouseMove(LPARAM lParam)
{
    if (tracking_ && GetCapture() == hwnd_ && !(Style() & LBS_MULTIPLESEL)) {
        bool outside = false;
        POINT p = PointFrom(lParam);
        int index = ItemFromPoint(p, outside);
        RECT client;
        GetClientRect(hwnd_, &client);
        if (p.y >= client.bottom && Valid(top_ + VisibleCount())) index = top_ + VisibleCount();
        if (Valid(index) && (MultiSel() ? index != caret_ : index != cur_))
            UserSelect(index, false, false, true);
    }
    return 0;
}

LRESULT ListBox::OnLButtonUp()
{
    if (tracking_) {
        tracking_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
    }
    return 0;
}

LRESULT ListBox::OnLButtonDblClk(LPARAM lParam)
{
    bool outside = false;
    int index = ItemFromPoint(PointFrom(lParam), outside);
    if (!outside && Valid(index)) {
        if (!MultiSel()) SetCur(index, false);
        NotifyCode(LBN_DBLCLK);
    }
    return 0;
}

LRESULT ListBox::OnMouseWheel(WPARAM wParam)
{
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int notches = static_cast<SHORT>(HIWORD(wParam)) / WHEEL_DELTA;
    SetTop(top_ - notches * static_cast<int>(std::max(1u, lines)));
    return 0;
}

// From the list's own bar the thumb position is the bar's full-width track
// position; from a scroll-bar control (lParam) it is the one in wParam.
LRESULT ListBox::OnScroll(UINT msg, WPARAM wParam, LPARAM lParam)
{
    int thumb = static_cast<int>(HIWORD(wParam));
    if (!lParam && (LOWORD(wParam) == SB_THUMBTRACK || LOWORD(wParam) == SB_THUMBPOSITION)) {
        SCROLLINFO si;
        si.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(hwnd_, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, &si)) thumb = si.nTrackPos;
    }
    Scroll(msg, LOWORD(wParam), thumb);
    return 0;
}

LRESULT ListBox::OnInsertString(WPARAM wParam, LPARAM lParam)
{
    int at = static_cast<int>(wParam) == -1 ? Count() : static_cast<int>(wParam);
    if (at < 0 || at > Count()) return LB_ERR;
    return Insert(at, lParam, false);
}

LRESULT ListBox::OnGetText(WPARAM wParam, LPARAM lParam)
{
    int i = static_cast<int>(wParam);
    if (!Valid(i)) return LB_ERR;
    if (!HasStrings()) {
        if (lParam) std::memcpy(reinterpret_cast<void*>(lParam), &items_[static_cast<std::size_t>(i)].data, sizeof(ULONG_PTR));
        return sizeof(ULONG_PTR);
    }
    const std::string& t = items_[static_cast<std::size_t>(i)].text;
    if (lParam) std::memcpy(reinterpret_cast<char*>(lParam), t.c_str(), t.size() + 1);
    return static_cast<LRESULT>(t.size());
}

LRESULT ListBox::OnGetTextLen(WPARAM wParam)
{
    int i = static_cast<int>(wParam);
    if (!Valid(i)) return LB_ERR;
    return HasStrings() ? static_cast<LRESULT>(items_[static_cast<std::size_t>(i)].text.size()) : sizeof(ULONG_PTR);
}

LRESULT ListBox::OnSetCurSel(WPARAM wParam)
{
    if (MultiSel()) return LB_ERR;
    int i = static_cast<int>(wParam);
    SetCur(i, false);
    return Valid(i) ? i : LB_ERR;
}

LRESULT ListBox::OnSetSel(WPARAM wParam, LPARAM lParam)
{
    if (!MultiSel()) return LB_ERR;
    int i = static_cast<int>(lParam);
    if (i == -1) {
        SelectRange(0, Count() - 1, wParam != 0);
        return 0;
    }
    if (!Valid(i)) return LB_ERR;
    items_[static_cast<std::size_t>(i)].selected = wParam != 0;
    if (wParam) SetCaret(i, false);
    InvalidateRect(hwnd_, nullptr, FALSE);
    return 0;
}

LRESULT ListBox::OnGetSel(WPARAM wParam)
{
    int i = static_cast<int>(wParam);
    if (!Valid(i)) return LB_ERR;
    return MultiSel() ? (items_[static_cast<std::size_t>(i)].selected ? 1 : 0) : (i == cur_ ? 1 : 0);
}

LRESULT ListBox::OnGetSelCount()
{
    if (!MultiSel()) return LB_ERR;
    return std::count_if(items_.begin(), items_.end(), [](const Item& it) { return it.selected; });
}

LRESULT ListBox::OnGetSelItems(WPARAM wParam, LPARAM lParam)
{
    if (!MultiSel()) return LB_ERR;
    auto* out = reinterpret_cast<int*>(lParam);
    int max = static_cast<int>(wParam), n = 0;
    for (int i = 0; i < Count() && n < max && out; ++i)
        if (items_[static_cast<std::size_t>(i)].selected) out[n++] = i;
    return n;
}

LRESULT ListBox::OnSelItemRange(WPARAM wParam, LPARAM lParam)
{
    if (!MultiSel()) return LB_ERR;
    SelectRange(LOWORD(lParam), HIWORD(lParam), wParam != 0);
    return 0;
}

LRESULT ListBox::OnSelItemRangeEx(WPARAM wParam, LPARAM lParam)
{
    if (!MultiSel()) return LB_ERR;
    if (static_cast<int>(lParam) >= static_cast<int>(wParam)) SelectRange(static_cast<int>(wParam), static_cast<int>(lParam), true);
    else SelectRange(static_cast<int>(lParam), static_cast<int>(wParam), false);
    return 0;
}

LRESULT ListBox::OnSetTopIndex(WPARAM wParam)
{
    if (!Valid(static_cast<int>(wParam)) && !(wParam == 0 && Count() == 0)) return LB_ERR;
    SetTop(static_cast<int>(wParam));
    return 0;
}

LRESULT ListBox::OnSetCaretIndex(WPARAM wParam)
{
    if (!Valid(static_cast<int>(wParam))) return LB_ERR;
    SetCaret(static_cast<int>(wParam), true);
    return 0;
}

LRESULT ListBox::OnSetAnchorIndex(WPARAM wParam)
{
    if (!Valid(static_cast<int>(wParam))) return LB_ERR;
    anchor_ = static_cast<int>(wParam);
    return 0;
}

LRESULT ListBox::OnGetItemRect(WPARAM wParam, LPARAM lParam)
{
    int i = static_cast<int>(wParam);
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r || (!Valid(i) && !(i == 0 && Count() == 0))) return LB_ERR;
    *r = ItemRect(i);
    return 1;
}

LRESULT ListBox::OnItemFromPoint(LPARAM lParam)
{
    bool outside = false;
    int i = ItemFromPoint(PointFrom(lParam), outside);
    return MAKELONG(static_cast<WORD>(i), outside ? 1 : 0);
}

LRESULT ListBox::OnSetItemHeight(WPARAM wParam, LPARAM lParam)
{
    int h = LOWORD(lParam);
    if (h <= 0 || h > 255) return LB_ERR;
    if (Variable()) {
        if (!Valid(static_cast<int>(wParam))) return LB_ERR;
        items_[wParam].height = h;
    } else {
        itemHeight_ = h;
    }
    UpdateBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
}

LRESULT ListBox::OnSetItemData(WPARAM wParam, LPARAM lParam)
{
    int i = static_cast<int>(wParam);
    if (!Valid(i)) return LB_ERR;
    items_[static_cast<std::size_t>(i)].data = static_cast<ULONG_PTR>(lParam);
    return 1;
}

LRESULT ListBox::OnGetItemData(WPARAM wParam)
{
    int i = static_cast<int>(wParam);
    return Valid(i) ? static_cast<LRESULT>(items_[static_cast<std::size_t>(i)].data) : LB_ERR;
}

LRESULT ListBox::OnSelectString(WPARAM wParam, LPARAM lParam)
{
    if (MultiSel()) return LB_ERR;
    int i = Find(static_cast<int>(wParam), reinterpret_cast<LPCSTR>(lParam), false);
    if (i >= 0) SetCur(i, false);
    return i;
}

LRESULT ListBox::OnSetHorizontalExtent(WPARAM wParam)
{
    hExtent_ = std::clamp(static_cast<int>(wParam), 0, 0x7FFF);
    xOffset_ = std::min(xOffset_, hExtent_);
    UpdateBars();
    return 0;
}

LRESULT ListBox::OnSetColumnWidth(WPARAM wParam)
{
    columnWidth_ = std::clamp(static_cast<int>(wParam), 1, 0x7FFF);
    SetTop(top_);
    UpdateBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
}

// No stops: every 32 units; one: every that many; more: the stops, rising.
LRESULT ListBox::OnSetTabStops(WPARAM wParam, LPARAM lParam)
{
    const auto* stops = reinterpret_cast<const INT*>(lParam);
    if (!(Style() & LBS_USETABSTOPS) || wParam > 0x7FFF || (wParam > 0 && !stops)) return FALSE;
    std::vector<int> values(stops, stops + wParam);
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] <= 0 || (i > 0 && values[i] <= values[i - 1])) return FALSE;
    tabStops_ = std::move(values);
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

LRESULT ListBox::OnSetCombo(WPARAM wParam)
{
    combo_ = reinterpret_cast<HWND>(wParam);
    return 0;
}

LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ControlProc<ListBox>(hwnd, msg, wParam, lParam);
}

}  // namespace quelvo::ctl::detail
