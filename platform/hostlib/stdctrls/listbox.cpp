#include "platform/hostlib/stdctrls/listbox.h"

#include <algorithm>

#include "platform/controls/winctl.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/system/scope_guard.h"

namespace hostlib {

const TEnumInfo& EnumTypeInfo(TListBoxStyle*)
{
    static const TEnumInfo info{"TListBoxStyle",
                                {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual", "lbVirtualOwnerDraw"},
                                0};
    return info;
}

TClass TListBox::StaticClass()
{
    return DefineClass<TListBox, TWinControl>("TListBox", [](ClassBuilder<TListBox>& b) {
        b.Property("Style", &TListBox::Style, &TListBox::SetStyle).Default(lbStandard);
        b.Property("Items", &TListBox::Items, &TListBox::SetItems);
        b.Property("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex).Default(-1);
        b.Property("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(false);
        b.Property("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect).Default(false);
        b.Property("ExtendedSelect", &TListBox::ExtendedSelect, &TListBox::SetExtendedSelect).Default(true);
        b.Property("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight).Default(16);
        b.Property("ScrollWidth", &TListBox::ScrollWidth, &TListBox::SetScrollWidth).Default(0);
        b.Property("TabWidth", &TListBox::TabWidth, &TListBox::SetTabWidth).Default(0);
        b.Property("Columns", &TListBox::Columns, &TListBox::SetColumns).Default(0);
        b.Property("AutoComplete", &TListBox::AutoComplete, &TListBox::SetAutoComplete).Default(true);
        b.Property("BorderStyle", &TListBox::BorderStyle, &TListBox::SetBorderStyle).Default(bsSingle);
        b.EventProperty("OnDrawItem", &TListBox::OnDrawItem);
        b.EventProperty("OnMeasureItem", &TListBox::OnMeasureItem);
        b.EventProperty("OnData", &TListBox::OnData);
        b.EventProperty("OnDataObject", &TListBox::OnDataObject);
        b.EventProperty("OnDataFind", &TListBox::OnDataFind);
    });
}

void TListBox::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    items_.reset(CreateObject<TStringList>());
    items_->OnChange() = TNotifyEvent::Bind(this, &TListBox::ItemsChanged);
    canvas_.reset(CreateObject<TCanvas>());
    // The list window reports clicks itself (LBN_SELCHANGE, LBN_DBLCLK).
    controlStyle_ = {csSetCaption};
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TListBox::Destroy()
{
    items_.reset();
    canvas_.reset();
    TWinControl::Destroy();
}

void TListBox::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    quelvo::ctl::InitControls();
    CreateSubClass(p, "LISTBOX");
    p.Style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL;
    if (borderStyle_ == bsSingle) p.Style |= WS_BORDER;
    if (multiSelect_) p.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (style_ == lbOwnerDrawVariable) p.Style |= LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
    else if (IsOwnerDraw()) p.Style |= LBS_OWNERDRAWFIXED | (IsVirtual() ? 0 : LBS_HASSTRINGS);
    if (tabWidth_ > 0) p.Style |= LBS_USETABSTOPS;
    // Columns scroll sideways only.
    if (columns_ > 0) p.Style = (p.Style | LBS_MULTICOLUMN) & ~WS_VSCROLL;
}

void TListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    if (IsOwnerDraw() && style_ != lbOwnerDrawVariable) SendMessageA(handle_, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight_, 0));
    if (scrollWidth_ > 0) SendMessageA(handle_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(scrollWidth_), 0);
    SetColumnWidth();
    if (tabWidth_ > 0) {
        INT stop = tabWidth_;
        SendMessageA(handle_, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    }
    FillWindow();
}

void TListBox::Recreate()
{
    if (!HandleAllocated()) return;
    itemIndex_ = ItemIndex();
    RecreateWnd();
}

void TListBox::FillWindow()
{
    if (IsVirtual()) {
        SendMessageA(handle_, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < virtualCount_; ++i) SendMessageA(handle_, LB_ADDSTRING, 0, 0);
        SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
        return;
    }
    FillStringsWindow(handle_, *items_, LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL, itemIndex_);
}

void TListBox::ItemsChanged(TObject*)
{
    if (IsVirtual()) return;
    if (HandleAllocated()) itemIndex_ = ItemIndex();
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    if (HandleAllocated()) FillWindow();
}

int TListBox::Count() const { return IsVirtual() ? virtualCount_ : items_->Count(); }

void TListBox::SetCount(int value)
{
    if (!IsVirtual()) throw EListError("The item count can only be set in a virtual list");
    virtualCount_ = std::max(0, value);
    if (itemIndex_ >= virtualCount_) itemIndex_ = -1;
    if (HandleAllocated()) FillWindow();
}

void TListBox::SetBorderStyle(TBorderStyle value)
{
    if (value != bsNone) value = bsSingle;
    if (value == borderStyle_) return;
    borderStyle_ = value;
    Recreate();
}

void TListBox::SetStyle(TListBoxStyle value)
{
    if (value == style_) return;
    style_ = value;
    Recreate();
}

void TListBox::SetMultiSelect(bool value)
{
    if (value == multiSelect_) return;
    multiSelect_ = value;
    Recreate();
}

void TListBox::SetExtendedSelect(bool value)
{
    if (value == extendedSelect_) return;
    extendedSelect_ = value;
    Recreate();
}

void TListBox::SetItemHeight(int value)
{
    if (value <= 0 || value > 255) return;
    itemHeight_ = value;
    if (HandleAllocated() && style_ != lbOwnerDrawVariable) SendMessageA(handle_, LB_SETITEMHEIGHT, 0, MAKELPARAM(value, 0));
}

void TListBox::SetScrollWidth(int value)
{
    scrollWidth_ = std::max(0, value);
    if (HandleAllocated()) SendMessageA(handle_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(scrollWidth_), 0);
}

void TListBox::SetColumns(int value)
{
    value = std::max(0, value);
    if (value == columns_) return;
    const bool styleChanges = (value > 0) != (columns_ > 0);
    columns_ = value;
    if (styleChanges) Recreate();
    else SetColumnWidth();
}

void TListBox::SetColumnWidth()
{
    if (columns_ <= 0 || !HandleAllocated()) return;
    const int width = std::max(1, ClientWidth() / columns_);
    SendMessageA(handle_, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(width), 0);
}

void TListBox::Resize()
{
    SetColumnWidth();
    TWinControl::Resize();
}

void TListBox::SetTabWidth(int value)
{
    if (value == tabWidth_) return;
    tabWidth_ = std::max(0, value);
    Recreate();
}

int TListBox::ItemIndex() const
{
    if (!handle_) return itemIndex_;
    if (multiSelect_) return static_cast<int>(SendMessageA(handle_, LB_GETCARETINDEX, 0, 0));
    return static_cast<int>(SendMessageA(handle_, LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index)
{
    if (index < 0 || index >= Count()) index = -1;
    itemIndex_ = index;
    if (!HandleAllocated()) return;
    if (multiSelect_) SendMessageA(handle_, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    else SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TListBox::TopIndex() const { return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETTOPINDEX, 0, 0)) : 0; }

void TListBox::SetTopIndex(int index) { SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, index)), 0); }

bool TListBox::Selected(int index) const
{
    if (index < 0 || index >= Count()) throw EListError(Format(messages::SListIndexError, index));
    if (!handle_) return index == itemIndex_;
    if (!multiSelect_) return index == ItemIndex();
    return SendMessageA(handle_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TListBox::SetSelected(int index, bool value)
{
    if (index < 0 || index >= Count()) throw EListError(Format(messages::SListIndexError, index));
    if (!multiSelect_) {
        if (value) SetItemIndex(index);
        else if (ItemIndex() == index) SetItemIndex(-1);
        return;
    }
    SendMessageA(Handle(), LB_SETSEL, value ? TRUE : FALSE, index);
}

int TListBox::SelCount() const
{
    if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
    return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETSELCOUNT, 0, 0)) : 0;
}

std::vector<int> TListBox::SelectedIndexes() const
{
    std::vector<int> out;
    for (int i = 0; i < Count(); ++i)
        if (Selected(i)) out.push_back(i);
    return out;
}

void TListBox::ClearSelection()
{
    if (multiSelect_) {
        if (HandleAllocated()) SendMessageA(handle_, LB_SETSEL, FALSE, -1);
    } else {
        SetItemIndex(-1);
    }
}

void TListBox::SelectAll()
{
    if (multiSelect_ && Count() > 0) SendMessageA(Handle(), LB_SETSEL, TRUE, -1);
}

RECT TListBox::ItemRect(int index) const
{
    RECT r{0, 0, 0, 0};
    if (handle_ && index >= 0 && index < Count()) SendMessageA(handle_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

int TListBox::ItemAtPos(POINT pos, bool existing) const
{
    if (!handle_ || Count() == 0) return -1;
    const LRESULT r = SendMessageA(handle_, LB_ITEMFROMPOINT, 0, MAKELPARAM(pos.x, pos.y));
    const int index = LOWORD(r);
    if (existing && HIWORD(r)) {
        const RECT item = ItemRect(index);
        if (!PtInRect(&item, pos)) return -1;
    }
    return index;
}

std::string TListBox::ItemText(int index) const
{
    if (index < 0 || index >= Count()) throw EListError(Format(messages::SListIndexError, index));
    if (!IsVirtual()) return items_->Get(index);
    std::string text;
    OnData(const_cast<TListBox*>(this), index, text);
    return text;
}

TObject* TListBox::ItemObject(int index) const
{
    if (index < 0 || index >= Count()) throw EListError(Format(messages::SListIndexError, index));
    if (!IsVirtual()) return items_->GetObject(index);
    TObject* object = nullptr;
    OnDataObject(const_cast<TListBox*>(this), index, object);
    return object;
}

int TListBox::FindItem(const std::string& text) const
{
    if (IsVirtual()) {
        int result = -1;
        if (OnDataFind) OnDataFind(const_cast<TListBox*>(this), text, result);
        return result;
    }
    for (int i = 0; i < items_->Count(); ++i)
        if (AnsiSameText(Copy(items_->Get(i), 1, static_cast<int>(text.size())), text)) return i;
    return -1;
}

void TListBox::Clear()
{
    if (IsVirtual()) SetCount(0);
    else items_->Clear();
}

void TListBox::DeleteSelected()
{
    if (IsVirtual()) return;
    const std::vector<int> selected = SelectedIndexes();
    items_->BeginUpdate();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) items_->Delete(*it);
    items_->EndUpdate();
}

void TListBox::CopySelection(TListBox* destination) const
{
    if (!destination || destination == this) return;
    for (int i : SelectedIndexes()) destination->Items()->AddObject(ItemText(i), ItemObject(i));
}

void TListBox::MoveSelection(TListBox* destination)
{
    if (!destination || destination == this) return;
    CopySelection(destination);
    DeleteSelected();
}

void TListBox::MeasureItem(int index, int& height) { OnMeasureItem(this, index, height); }

void TListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state)
{
    if (OnDrawItem && style_ != lbVirtual) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    canvas_->FillRect(rect);
    if (index < Count()) {
        canvas_->Brush()->SetStyle(bsClear);
        RECT r = rect;
        r.left += 2;
        canvas_->DrawText(ItemText(index), r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    }
}

void TListBox::CNDrawItem(TMessage& m)
{
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    if (!dis) return;
    TOwnerDrawState state;
    if (dis->itemState & ODS_SELECTED) state.Include(odSelected);
    if (dis->itemState & ODS_FOCUS) state.Include(odFocused);
    if (dis->itemState & ODS_DISABLED) state.Include(odDisabled);
    canvas_->SetHandle(dis->hDC);
    quelvo::sys::ScopeGuard release([this] { canvas_->SetHandle(nullptr); });
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->SetColor(Color());
    const int index = static_cast<int>(dis->itemID);
    if (index >= 0 && state.Contains(odSelected)) {
        canvas_->Brush()->SetColor(clHighlight);
        canvas_->Font()->SetColor(clHighlightText);
    }
    auto alive = AliveToken();
    if (index >= 0) DrawItem(index, dis->rcItem, state);
    else canvas_->FillRect(dis->rcItem);
    // A drawing handler draws its own focus; a descendant's DrawItem gets it.
    const bool handlerDraws = OnDrawItem && style_ != lbVirtual;
    if (*alive && state.Contains(odFocused) && !handlerDraws) canvas_->DrawFocusRect(dis->rcItem);
    m.Result = TRUE;
}

void TListBox::KeyPress(char& key)
{
    TWinControl::KeyPress(key);
    if (!autoComplete_ || key == 0 || (key != '\b' && static_cast<unsigned char>(key) < 0x20)) return;
    constexpr DWORD kTypingPause = 500;
    const DWORD now = GetTickCount();
    if (now - lastKeyTime_ >= kTypingPause) typed_.clear();
    lastKeyTime_ = now;
    if (key != '\b') typed_ += key;
    else if (!typed_.empty()) typed_.pop_back();
    // The list's own one-letter search stays out of it.
    key = 0;
    const int found = typed_.empty() ? -1 : FindItem(typed_);
    if (found < 0 || found == ItemIndex()) return;
    SetItemIndex(found);
    Click();
}

void TListBox::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CN_COMMAND: {
        const WORD code = HIWORD(m.WParam);
        if (code == LBN_SELCHANGE) {
            itemIndex_ = ItemIndex();
            Click();
            return;
        }
        if (code == LBN_DBLCLK) {
            DblClick();
            return;
        }
        break;
    }
    case CN_MEASUREITEM:
        if (auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)) {
            int height = style_ == lbOwnerDrawVariable ? static_cast<int>(mis->itemHeight) : itemHeight_;
            if (style_ == lbOwnerDrawVariable && static_cast<int>(mis->itemID) >= 0) MeasureItem(static_cast<int>(mis->itemID), height);
            mis->itemHeight = static_cast<UINT>(std::clamp(height, 1, 255));
            m.Result = TRUE;
        }
        return;
    case CN_DRAWITEM: return CNDrawItem(m);
    default:
        break;
    }
    TWinControl::Dispatch(m);
}

}  // namespace hostlib
