#include "components/editors/cxTextEditLookup.h"

#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxTextEdit.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

namespace {

bool IsLeadByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

int CharLength(const std::string& text)
{
    int count = 0;
    for (char c : text)
        count += IsLeadByte(c) ? 1 : 0;
    return count;
}

// Bytes of the first count characters.
std::size_t PrefixBytes(const std::string& text, int count)
{
    std::size_t end = 0;
    for (int seen = 0; end < text.size(); ++end)
        if (IsLeadByte(text[end]) && seen++ == count)
            break;
    return end;
}

bool SameText(const std::string& a, const std::string& b) { return AnsiUpperCase(a) == AnsiUpperCase(b); }

int KeyIndex(const Variant& key)
{
    if (key.IsNull() || key.IsEmpty())
        return -1;
    try {
        return key.AsInteger();
    } catch (const std::exception&) {
        return -2;  // no index at all: ignored
    }
}

}  // namespace

TClass TcxCustomTextEditLookupData::StaticClass()
{
    return DefineClass<TcxCustomTextEditLookupData, TcxInterfacedPersistent>("TcxCustomTextEditLookupData");
}

void TcxCustomTextEditLookupData::Construct(TPersistent* owner) { TcxInterfacedPersistent::Construct(owner); }

TcxCustomEdit* TcxCustomTextEditLookupData::GetEdit() const { return static_cast<TcxCustomEdit*>(GetOwner()); }

TcxCustomTextEditProperties* TcxCustomTextEditLookupData::GetActiveProperties() const
{
    return static_cast<TcxCustomTextEditProperties*>(GetEdit()->ActiveProperties());
}

TStrings* TcxCustomTextEditLookupData::GetItems() const { return GetActiveProperties()->LookupItems(); }

void TcxCustomTextEditLookupData::SetItems(TStrings* value) { GetActiveProperties()->SetLookupItems(value); }

std::string TcxCustomTextEditLookupData::GetItem(int index) { return GetItems()->Strings(index); }

int TcxCustomTextEditLookupData::GetItemCount() { return GetItems()->Count(); }

std::string TcxCustomTextEditLookupData::EditText() const { return GetEdit()->Text(); }

int TcxCustomTextEditLookupData::IndexOf(const std::string& text)
{
    const std::string wanted = AnsiUpperCase(text);
    for (int i = 0; i < GetItemCount(); ++i)
        if (AnsiUpperCase(GetItem(i)) == wanted)
            return i;
    return -1;
}

std::string TcxCustomTextEditLookupData::GetDisplayText(const Variant& key)
{
    const int index = KeyIndex(key);
    return index >= 0 && index < GetItemCount() ? GetItem(index) : std::string();
}

bool TcxCustomTextEditLookupData::CanResizeVisualArea(SIZE&, int, int) { return true; }

SIZE TcxCustomTextEditLookupData::GetVisualAreaPreferredSize(int, int) { return SIZE{0, 0}; }

void TcxCustomTextEditLookupData::HandleSelectItem(TObject*)
{
    if (list_)
        itemIndex_ = list_->ItemIndex();
}

void TcxCustomTextEditLookupData::SetListItemIndex(int index)
{
    if (list_)
        list_->TcxCustomInnerListBox::SetItemIndex(index);
}

// ---- the visual list ---------------------------------------------------------------

void TcxCustomTextEditLookupData::Initialize(TWinControl* visualControlsParent)
{
    if (!list_) {
        TClass listClass = GetListBoxClass();
        if (!listClass)
            return;
        list_ = CreateInstance<TcxCustomEditListBox>(listClass, static_cast<TComponent*>(visualControlsParent));
    }
    auto* style = static_cast<TcxCustomEditStyle*>(GetEdit()->GetActiveStyle());
    list_->SetColor(style->Color());
    list_->SetFont(style->GetVisibleFont());
    list_->Canvas()->Font()->Assign(style->GetVisibleFont());
    list_->SetParent(visualControlsParent);
    list_->OnSelectItem = TNotifyEvent::Bind(this, &TcxCustomTextEditLookupData::HandleSelectItem);
    list_->SetItemCount(GetItemCount());
    list_->TcxCustomInnerListBox::SetItemIndex(itemIndex_);
    list_->RecreateWindow();
    TextChanged();
}

void TcxCustomTextEditLookupData::ListChanged()
{
    if (list_)
        list_->SetItemCount(GetItemCount());
}

void TcxCustomTextEditLookupData::PropertiesChanged() { ListChanged(); }

void TcxCustomTextEditLookupData::PositionVisualArea(const RECT& clientRect)
{
    if (list_)
        list_->SetBoundsRect(clientRect);
}

bool TcxCustomTextEditLookupData::IsMouseOverList(const POINT& screenPoint)
{
    if (!list_ || !list_->HandleAllocated())
        return false;
    const POINT p = list_->ScreenToClient(screenPoint);
    return p.x >= 0 && p.y >= 0 && p.x < list_->Width() && p.y < list_->Height();
}

// ---- keys and the highlight --------------------------------------------------------

void TcxCustomTextEditLookupData::InternalSetCurrentKey(int index)
{
    if (index < -1 || index >= GetItemCount())
        return;
    currentKey_ = index;
    InternalSetItemIndex(index);
}

void TcxCustomTextEditLookupData::InternalSetItemIndex(int index)
{
    if (index < -1 || index >= GetItemCount() || (index == itemIndex_ && index != -1))
        return;
    if (GetItemCount() > 0) {
        // To the top first, so the list scrolls there before the highlight goes.
        if (index == -1)
            SetListItemIndex(0);
        SetListItemIndex(index);
    }
    itemIndex_ = index;
}

void TcxCustomTextEditLookupData::SetItemIndex(int index)
{
    if (IsListVisible() && !GetActiveProperties()->ImmediateUpdateText())
        InternalSetItemIndex(index);
    else
        SetCurrentKey(Variant(index));
}

void TcxCustomTextEditLookupData::SetCurrentKey(const Variant& key)
{
    const int previous = currentKey_;
    const int index = KeyIndex(key);
    InternalSetCurrentKey(index);
    auto* owner = dynamic_cast<IcxTextEditLookupDataOwner*>(GetEdit());
    if (owner)
        owner->LockLookupDataTextChanged();
    quelvo::sys::ScopeGuard unlock([owner] {
        if (owner)
            owner->UnlockLookupDataTextChanged();
    });
    if (currentKey_ != previous) {
        DoSelectItem();
        return;
    }
    // The same key again: the editor shows the item's text again when it
    // no longer does exactly.
    if (index >= 0 && index < GetItemCount() && EditText() != GetItem(index))
        DoSelectItem();
}

void TcxCustomTextEditLookupData::SelectItem()
{
    if (itemIndex_ == -1)
        return;
    const int previous = currentKey_;
    SetCurrentKey(Variant(itemIndex_));
    if (currentKey_ == previous)
        DoSelectItem();  // choosing the current item again is still reported
}

// ---- search ------------------------------------------------------------------------

bool TcxCustomTextEditLookupData::Locate(std::string& text, std::string& tail, bool next)
{
    return InternalLocate(text, tail, next, false);
}

bool TcxCustomTextEditLookupData::InternalLocate(std::string& text, std::string& tail, bool next,
                                                 bool textChangeSearch)
{
    const int count = GetItemCount();
    if (count == 0) {
        NotFound(text, textChangeSearch);
        return false;
    }
    if (textChangeSearch && GetActiveProperties()->MRUMode()) {
        const int index = IndexOf(text);
        if (index == -1) {
            InternalSetCurrentKey(-1);
            return false;
        }
        tail.clear();
        InternalSetCurrentKey(index);
        return true;
    }
    const int length = CharLength(text);
    const std::string wanted = AnsiUpperCase(text);
    for (int i = (next ? itemIndex_ : -1) + 1; length > 0 && i < count; ++i) {
        const std::string item = GetItem(i);
        const std::size_t prefix = PrefixBytes(item, length);
        if (CharLength(item.substr(0, prefix)) != length || AnsiUpperCase(item.substr(0, prefix)) != wanted)
            continue;
        text = item.substr(0, prefix);  // the item's letter case replaces the typed one
        tail = item.substr(prefix);
        InternalSetCurrentKey(i);
        return true;
    }
    NotFound(text, textChangeSearch);
    return false;
}

void TcxCustomTextEditLookupData::NotFound(const std::string& text, bool textChangeSearch)
{
    bool reset = true;
    switch (GetActiveProperties()->GetEditingStyle()) {
    case esEditList: reset = textChangeSearch || (text.empty() && IndexOf("") == -1); break;
    case esFixedList: reset = textChangeSearch; break;
    default: break;
    }
    if (reset)
        InternalSetCurrentKey(-1);
}

void TcxCustomTextEditLookupData::TextChanged()
{
    if (GetEdit()->IsInsideEditing())
        return;
    const std::string text = EditText();
    if (itemIndex_ >= 0 && itemIndex_ < GetItemCount() && SameText(GetItem(itemIndex_), text))
        return;
    std::string located = text, tail;
    InternalLocate(located, tail, false, true);
}

// ---- stepping ----------------------------------------------------------------------

int TcxCustomTextEditLookupData::GoTarget(TcxEditLookupDataGoDirection direction, bool circular, int i)
{
    const int n = GetItemCount();
    const int p = GetActiveProperties()->GetDropDownPageRowCount();
    switch (direction) {
    case egdBegin: return 0;
    case egdEnd: return n - 1;
    case egdNext: return i + 1 < n ? i + 1 : circular ? 0 : i;
    case egdPrev: return i - 1 >= 0 ? i - 1 : circular ? n - 1 : i;
    case egdPageUp:
        if (i == -1)
            return circular ? n - 1 : i;
        if (i - p + 1 >= 0)
            return i - p + 1;
        return circular && i == 0 ? n - 1 : 0;
    case egdPageDown: {
        const int target = i == -1 ? p - 1 : i + p - 1;
        if (target < n)
            return target;
        return circular && i == n - 1 ? 0 : n - 1;
    }
    }
    return i;
}

void TcxCustomTextEditLookupData::Go(TcxEditLookupDataGoDirection direction, bool circular)
{
    if (GetItemCount() == 0)
        return;
    const int start = itemIndex_ != -1 ? itemIndex_ : currentKey_;
    SetItemIndex(GoTarget(direction, circular, start));
}

// ---- TcxCustomEditListBox ----------------------------------------------------------

TClass TcxCustomEditListBox::StaticClass()
{
    return DefineClass<TcxCustomEditListBox, TcxCustomInnerListBox>("TcxCustomEditListBox");
}

void TcxCustomEditListBox::Construct(TComponent* owner)
{
    TcxCustomInnerListBox::Construct(owner);
    SetStyle(lbOwnerDrawVariable);
    SetBorderStyle(bsNone);
    hotTrack_ = true;
}

void TcxCustomEditListBox::DoSelectItem()
{
    SetExternalScrollBarsParameters();
    OnSelectItem(this);
}

void TcxCustomEditListBox::SetItemIndex(int index)
{
    auto alive = AliveToken();
    TcxCustomInnerListBox::SetItemIndex(index);
    if (*alive)
        DoSelectItem();
}

void TcxCustomEditListBox::Click()
{
    auto alive = AliveToken();
    TcxCustomInnerListBox::Click();
    if (*alive)
        DoSelectItem();
}

bool TcxCustomEditListBox::DoDrawItem(int, const RECT&, TOwnerDrawState) { return false; }

int TcxCustomEditListBox::GetHeight(int rowCount) { return rowCount * GetItemHeight(); }

std::string TcxCustomEditListBox::GetItem(int index) { return Items()->Strings(index); }

int TcxCustomEditListBox::GetItemHeight(int) { return GetDefaultItemHeight(); }

int TcxCustomEditListBox::GetDefaultItemHeight() { return MeasureText("Wg").cy; }

int TcxCustomEditListBox::GetItemWidth(int index) { return MeasureText(GetItem(index)).cx; }

// The list's canvas draws only while an item paints: measuring takes a
// device context of its own.
SIZE TcxCustomEditListBox::MeasureText(const std::string& text)
{
    HWND wnd = HandleAllocated() ? Handle() : nullptr;
    HDC dc = GetDC(wnd);
    quelvo::sys::ScopeGuard release([wnd, dc] { ReleaseDC(wnd, dc); });
    ObjectPtr<TCanvas> canvas = MakeObject<TCanvas>();
    canvas->SetHandle(dc);
    quelvo::sys::ScopeGuard detach([&canvas] { canvas->SetHandle(nullptr); });
    canvas->Font()->Assign(Font());
    return SIZE{canvas->TextWidth(text), canvas->TextHeight(text)};
}

bool TcxCustomEditListBox::IsVisible() { return HandleAllocated() && IsWindowVisible(Handle()); }

void TcxCustomEditListBox::SetItemCount(int count)
{
    TStrings* items = Items();
    items->BeginUpdate();
    quelvo::sys::ScopeGuard done([items] { items->EndUpdate(); });
    while (items->Count() < count)
        items->Add({});
    while (items->Count() > std::max(count, 0))
        items->Delete(items->Count() - 1);
}

void TcxCustomEditListBox::MeasureItem(int index, int& height) { height = GetItemHeight(index); }

void TcxCustomEditListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state)
{
    if (DoDrawItem(index, rect, state))
        return;
    TCanvas* canvas = Canvas();
    canvas->FillRect(rect);
    if (index < 0 || index >= Items()->Count())
        return;
    canvas->Brush()->SetStyle(bsClear);
    RECT r = rect;
    r.left += 2;
    canvas->DrawText(GetItem(index), r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TcxCustomEditListBox::MouseMove(TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TcxCustomInnerListBox::MouseMove(shift, x, y);
    if (!*alive || !hotTrack_ || !HandleAllocated() || GetCapture() == Handle())
        return;
    const int index = ItemAtPos(POINT{x, y}, true);
    if (index != -1 && index != ItemIndex())
        SetItemIndex(index);
}

bool TcxCustomEditListBox::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos)
{
    auto alive = AliveToken();
    if (TcxCustomInnerListBox::DoMouseWheel(shift, wheelDelta, mousePos))
        return true;
    if (!*alive || !HandleAllocated())
        return false;
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const WPARAM code = wheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN;
    for (UINT i = 0; i < lines && *alive; ++i)
        SendMessageA(Handle(), WM_VSCROLL, code, 0);
    return true;
}

// Shown, the list draws as focused while the focus stays in the editor.
void TcxCustomEditListBox::Dispatch(TMessage& m)
{
    auto alive = AliveToken();
    TcxCustomInnerListBox::Dispatch(m);
    if (m.Msg != CM_SHOWINGCHANGED || !*alive || !Showing() || !HandleAllocated())
        return;
    TMessage focus;
    focus.Msg = WM_SETFOCUS;
    TcxCustomInnerListBox::DefaultHandler(focus);
}
