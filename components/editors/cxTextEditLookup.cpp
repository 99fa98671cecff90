#include "components/editors/cxTextEditLookup.h"

#include "components/editors/cxEditControl.h"
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

void TcxCustomTextEditLookupData::HandleSelectItem(TObject*) {}

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
