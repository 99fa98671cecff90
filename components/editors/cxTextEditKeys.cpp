// The text editor's keys and wheel: the arrows and page keys over the
// lookup items, and the completion of typed text from them.
#include "components/editors/cxTextEdit.h"

#include "platform/system/scope_guard.h"

using namespace hostlib;

namespace {

bool IsListStyle(TcxEditEditingStyle style) { return style == esEditList || style == esFixedList; }

TcxEditLookupDataGoDirection DirectionOf(WORD key, TShiftState shift)
{
    const bool ctrl = shift.Contains(ssCtrl);
    switch (key) {
    case VK_PRIOR: return ctrl ? egdBegin : egdPageUp;
    case VK_NEXT: return ctrl ? egdEnd : egdPageDown;
    case VK_HOME: return egdBegin;
    case VK_END: return egdEnd;
    case VK_UP: return egdPrev;
    default: return egdNext;
    }
}

// The text without its last character (a whole UTF-8 sequence).
std::string WithoutLastChar(const std::string& text)
{
    size_t n = text.size();
    while (n > 0 && (static_cast<unsigned char>(text[n - 1]) & 0xC0) == 0x80)
        --n;
    return text.substr(0, n > 0 ? n - 1 : 0);
}

} // namespace

bool TcxCustomTextEdit::HasLookupItems() { return lookupData_ && !lookupData_->IsEmpty(); }

bool TcxCustomTextEdit::CanKeyPressModifyEdit(char key)
{
    return key == 22 || key == 24 || key == 8 || static_cast<unsigned char>(key) >= 32;
}

bool TcxCustomTextEdit::CanKeyDownModifyEdit(WORD key, TShiftState shift)
{
    if (TcxCustomEdit::CanKeyDownModifyEdit(key, shift) || key == VK_BACK || key == VK_DELETE)
        return true;
    if (!ActiveProperties()->UseLookupData() || !HasLookupItems() || !GetScrollLookupDataList(escKeyboard) ||
        HasPopupWindow())
        return false;
    return key == VK_PRIOR || key == VK_NEXT || ((key == VK_UP || key == VK_DOWN) && !shift.Contains(ssAlt));
}

// Steps through the items with clicks held back; True when the value moved.
bool TcxCustomTextEdit::GoLookup(TcxEditLookupDataGoDirection direction)
{
    const Variant previous = CurrentLookupKey();
    {
        LockClick(true);
        quelvo::sys::ScopeGuard unlock([this] { LockClick(false); });
        lookupData_->Go(direction, false);
    }
    if (InternalVarEqualsExact(CurrentLookupKey(), previous))
        return false;
    DoClick();
    PostAfterNavigation();
    return true;
}

// A value chosen from the items is written at once when asked to.
void TcxCustomTextEdit::PostAfterNavigation()
{
    LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    if (!CanPostEditValue() || !ActiveProperties()->ImmediatePost() || !ValidateEdit(true))
        return;
    navigationPost_ = true;
    quelvo::sys::ScopeGuard done([this] { navigationPost_ = false; });
    InternalPostEditValue(false);
}

void TcxCustomTextEdit::DoEditKeyDown(WORD& key, TShiftState shift)
{
    const TcxEditEditingStyle style = EditingStyle();
    if (style == esFixedList && (key == VK_LEFT || key == VK_RIGHT || key == VK_DELETE)) {
        SetFindSelection(false);
        DoAfterKeyDown(key, shift);
        key = 0;
        return;
    }
    IcxInnerTextEdit* inner = InnerTextEdit();
    inner->SetInternalUpdating(true);
    const WORD pressed = key;
    const bool wasFindSelection = findSelection_;
    TcxCustomEdit::DoEditKeyDown(key, shift);
    if (pressed == VK_RETURN && wasFindSelection)
        SelectAll();
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT: ArrowKey(key, shift); break;
    case VK_DELETE:
        if (style == esEditList) {
            DoAfterKeyDown(key, shift);
            key = 0;
        } else {
            SetFindSelection(false);
        }
        break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END: NavigationKey(key, shift); break;
    default: break;
    }
    if (key != 0)
        inner->SetInternalUpdating(false);
}

// Left and Right first collapse a selection to its start or end.
void TcxCustomTextEdit::ArrowKey(WORD& key, TShiftState shift)
{
    if (!shift.Contains(ssShift) && GetSelLength() > 0) {
        const int position = key == VK_LEFT ? GetSelStart() : GetSelStart() + GetSelLength();
        SetSelection(position, 0);
        key = 0;
    }
    SetFindSelection(false);
}

bool TcxCustomTextEdit::NavigationKey(WORD& key, TShiftState shift)
{
    const TcxEditEditingStyle style = EditingStyle();
    if ((key == VK_HOME || key == VK_END) && style != esFixedList) {
        if (key == VK_END && GetSelLength() == 0)
            SetFindSelection(false);
        return false;
    }
    if (lookupData_ && GetScrollLookupDataList(escKeyboard) && !lookupData_->IsEmpty()) {
        GoLookup(DirectionOf(key, shift));
        key = 0;
        return true;
    }
    // A single-line edit has no use for them.
    DoAfterKeyDown(key, shift);
    key = 0;
    return false;
}

bool TcxCustomTextEdit::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos)
{
    if (TcxCustomEdit::DoMouseWheel(shift, wheelDelta, mousePos))
        return true;
    if (!GetScrollLookupDataList(escMouseWheel) || HasPopupWindow() || !ActiveProperties()->UseLookupData() ||
        !HasLookupItems() || !HandleMouseWheel(shift))
        return false;
    if (DoEditing()) {
        LockChangeEvents(true);
        quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
        GoLookup(wheelDelta > 0 ? egdPrev : egdNext);
    }
    return true;
}

void TcxCustomTextEdit::KeyPress(char& key)
{
    if (key == '\x1B' && IsEscapeHandled() && popupClosedByKey_ && !HasPopupWindow())
        popupClosedByKey_ = false;
    TcxCustomEdit::KeyPress(key);
}

// ---- incremental lookup ------------------------------------------------------------

// The item starting with the text: the text takes the item's case, the rest
// of the item follows it selected.
bool TcxCustomTextEdit::Lookup(std::string& text)
{
    if (const char trail = InnerTextEdit()->GetImeLastChar())
        text += trail;
    std::string tail;
    const bool found = lookupData_->Locate(text, tail, false);
    findSelection_ = found;
    if (text.empty()) {
        if (EditingStyle() != esFixedList)
            DataBinding()->SetDisplayValue(Variant(std::string()));
        findSelection_ = false;
    }
    if (found) {
        DataBinding()->SetDisplayValue(Variant(text + tail));
        SetSelection(TextCharCount(text), TextCharCount(tail));
    }
    UpdateDrawValue();
    return found;
}

void TcxCustomTextEdit::LookupBackspace(char& key)
{
    const TcxEditEditingStyle style = EditingStyle();
    const std::string text = Text();
    if (style == esEditList && !text.empty() && !findSelection_) {
        SetSelLength(TextCharCount(text) - GetSelStart());
        SetFindSelection(true);
    }
    if (findSelection_) {
        std::string prefix = WithoutLastChar(text.substr(0, TextByteOffset(text, GetSelStart())));
        LockLookupDataTextChanged();
        if (Lookup(prefix))
            key = 0;
    }
    if (style == esFixedList)
        key = 0;
}

// found tells whether the character completed an item.
bool TcxCustomTextEdit::LookupTypedChar(char key, bool& found)
{
    const TcxEditEditingStyle style = EditingStyle();
    const std::string text = Text();
    const int selStart = GetSelStart();
    const int selLength = GetSelLength();
    const bool atEnd = CursorPos() == TextCharCount(text) && selLength == 0;
    if (style == esEdit && !atEnd && !findSelection_ && selLength == 0)
        return false;
    LockLookupDataTextChanged();
    const std::string typed(1, key);
    const std::string before = text.substr(0, TextByteOffset(text, selStart));
    std::string search = typed;
    if (style == esFixedList && findSelection_) {
        std::string prefix = before + typed;
        found = Lookup(prefix);
    } else if (selLength > 0) {
        search = before + typed;
    } else if (style != esFixedList) {
        search = text;
        search.insert(TextByteOffset(text, CursorPos()), typed);
    }
    if (!found)
        found = Lookup(search);
    if (!found && style == esFixedList && !ActiveProperties()->FixedListSelection()) {
        std::string alone = typed;
        found = Lookup(alone);
    }
    return true;
}

void TcxCustomTextEdit::DoEditKeyPress(char& key)
{
    IcxInnerTextEdit* inner = InnerTextEdit();
    inner->SetInternalUpdating(true);
    TcxCustomEdit::DoEditKeyPress(key);
    if (key == 0)
        return;
    UnlockLookupDataTextChanged();
    const bool userChange = IsUserChange();
    SetUserChange(true);
    quelvo::sys::ScopeGuard restoreUser([this, userChange] { SetUserChange(userChange); });
    const TcxEditEditingStyle style = EditingStyle();
    if (style == esFixedList && !ActiveProperties()->FixedListSelection() && key == '\b') {
        key = 0;
        SetFindSelection(false);
        return;
    }
    const Variant previousKey = CurrentLookupKey();
    const bool previousFindSelection = findSelection_;
    bool found = false;
    {
        LockClick(true);
        quelvo::sys::ScopeGuard unlock([this] { LockClick(false); });
        if (key == '\b' && lookupData_)
            LookupBackspace(key);
        else if (static_cast<unsigned char>(key) >= 32 && lookupData_ && LookupTypedChar(key, found) && !found &&
                 IsListStyle(style)) {
            key = 0;
            if (style == esEditList && !Text().empty())
                SetFindSelection(true);
            else if (style == esFixedList && ActiveProperties()->FixedListSelection() && previousFindSelection)
                SetFindSelection(true);
        }
    }
    SetUserChange(userChange);
    if (lookupData_ && !InternalVarEqualsExact(CurrentLookupKey(), previousKey)) {
        DoClick();
        if (found) {
            const bool findSelection = findSelection_;
            PostAfterNavigation();
            findSelection_ = findSelection;
        }
    }
    if (found)
        key = 0;
    else if (key != 0)
        inner->SetInternalUpdating(false);
}

void TcxCustomTextEdit::HandleSelectItem(TObject*)
{
    Variant value;
    LookupKeyToEditValue(lookupData_->GetCurrentKey(), value);
    const bool changed = !InternalVarEqualsExact(value, GetEditValue());
    if (changed && !DoEditing())
        return;
    {
        SaveModified();
        quelvo::sys::ScopeGuard restore([this] { RestoreModified(); });
        SetInternalEditValue(value);
    }
    if (changed)
        SetModifiedAfterEnter(true);
    SelectAll();
    ShortRefreshContainer(false);
}
