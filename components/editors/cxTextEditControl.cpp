// The single-line text editor: the inner edit's placement and looks, the
// round trip between edit value and shown text, selection and clipboard
// editing under the maximum length, keys stepping through the lookup items
// and incremental completion of typed text from them.
#include "components/editors/cxTextEdit.h"

#include <algorithm>
#include <cstring>

#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/clipboard.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

namespace {

using quelvo::sys::FlagScope;

bool IsListStyle(TcxEditEditingStyle style) { return style == esEditList || style == esFixedList; }
bool IsNoTextStyle(TcxEditEditingStyle style) { return style == esFixedList || style == esNoEdit; }

} // namespace

// ---- construction ------------------------------------------------------------------

TClass TcxCustomTextEdit::StaticClass() { return DefineClass<TcxCustomTextEdit, TcxCustomEdit>("TcxCustomTextEdit"); }

TClass TcxTextEdit::StaticClass()
{
    return DefineClass<TcxTextEdit, TcxCustomTextEdit>("TcxTextEdit", [](ClassBuilder<TcxTextEdit>& b) {
        using C = TcxTextEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxCustomTextEditProperties::GetContainerClass() { return TcxTextEdit::StaticClass(); }

void TcxCustomTextEdit::Construct(TComponent* owner)
{
    creatingEdit_ = true;
    quelvo::sys::ScopeGuard created([this] { creatingEdit_ = false; });
    TcxCustomEdit::Construct(owner);
    beepOnEnter_ = true;
    findSelection_ = false;
    InnerEdit()->GetControl()->SetColor(clWindow);
    SetParentColor(false);
    SetBounds(Left(), Top(), 121, 21);
    if (TClass lookupClass = ActiveProperties()->GetLookupDataClass()) {
        lookupObject_.reset(CreateInstance<TcxInterfacedPersistent>(lookupClass, static_cast<TPersistent*>(this)));
        lookupData_ = dynamic_cast<IcxTextEditLookupData*>(lookupObject_.get());
        if (!lookupData_)
            ClassCastError(lookupClass, TcxInterfacedPersistent::StaticClass());
        lookupData_->SetOnSelectItem(TNotifyEvent::Bind(this, &TcxCustomTextEdit::HandleSelectItem));
    }
    cxFormatController()->AddListener(this);
}

void TcxCustomTextEdit::Destroy()
{
    cxFormatController()->RemoveListener(this);
    lookupData_ = nullptr;
    lookupObject_.reset();
    TcxCustomEdit::Destroy();
}

TClass TcxCustomTextEdit::GetPropertiesClass() const { return TcxTextEditProperties::StaticClass(); }
TClass TcxCustomTextEdit::GetInnerEditClass() const { return TcxCustomInnerTextEdit::StaticClass(); }

void TcxCustomTextEdit::Loaded()
{
    TcxCustomEdit::Loaded();
    ShortRefreshContainer(false);
}

void TcxCustomTextEdit::FormatChanged()
{
    ActiveProperties()->Changed();
    SynchronizeDisplayValue();
}

// ---- simple access -----------------------------------------------------------------

std::string TcxCustomTextEdit::Text() const { return const_cast<TcxCustomTextEdit*>(this)->InternalGetText(); }

std::string TcxCustomTextEdit::GetDisplayValue()
{
    return InnerEdit() ? VarToStr(InnerEdit()->GetEditValue()) : std::string();
}

void TcxCustomTextEdit::SetInternalDisplayValue(const Variant& value)
{
    if (InnerEdit())
        InnerEdit()->SetEditValue(value);
}

void TcxCustomTextEdit::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool)
{
    editValue = displayValue;
}

void TcxCustomTextEdit::SelectAll() { InnerTextEdit()->SelectAll(); }

void TcxCustomTextEdit::SetSelection(int start, int length)
{
    SetSelStart(start);
    SetSelLength(length);
}

int TcxCustomTextEdit::GetSelStart()
{
    const TcxEditEditingStyle style = EditingStyle();
    if (style == esNoEdit || (style == esFixedList && !findSelection_))
        return 0;
    return InnerTextEdit()->GetSelStart();
}

int TcxCustomTextEdit::GetSelLength()
{
    const TcxEditEditingStyle style = EditingStyle();
    if (style == esNoEdit || (style == esFixedList && !findSelection_))
        return 0;
    return InnerTextEdit()->GetSelLength();
}

std::string TcxCustomTextEdit::GetSelText()
{
    const TcxEditEditingStyle style = EditingStyle();
    if (style == esNoEdit || (style == esFixedList && !findSelection_))
        return {};
    return InnerTextEdit()->GetSelText();
}

void TcxCustomTextEdit::SetSelStart(int value)
{
    if (EditingStyle() != esNoEdit)
        InnerTextEdit()->SetSelStart(value);
}

void TcxCustomTextEdit::SetSelLength(int value)
{
    if (EditingStyle() != esNoEdit)
        InnerTextEdit()->SetSelLength(value);
}

void TcxCustomTextEdit::SetSelText(const std::string& value)
{
    std::string newText;
    int cursor = 0;
    if (!CanChangeSelText(value, newText, cursor))
        return;
    InternalSetDisplayValue(Variant(newText));
    SetSelection(cursor, 0);
}

int TcxCustomTextEdit::ItemIndex()
{
    TcxCustomTextEditLookupData* items = LookupData();
    return items ? items->CurrentKey() : -1;
}

Variant TcxCustomTextEdit::CurrentLookupKey() const { return lookupData_ ? lookupData_->GetCurrentKey() : Variant(); }

void TcxCustomTextEdit::SetItemIndex(int value)
{
    if (!lookupData_)
        return;
    const int previous = ItemIndex();
    {
        LockClick(true);
        quelvo::sys::ScopeGuard unlock([this] { LockClick(false); });
        lookupData_->SetCurrentKey(Variant(value));
    }
    if (ItemIndex() == previous)
        return;
    SetModified(false);
    Click();
}

TObject* TcxCustomTextEdit::ItemObject()
{
    const int index = ItemIndex();
    return index < 0 ? nullptr : ActiveProperties()->LookupItems()->Objects(index);
}

void TcxCustomTextEdit::SetItemObject(TObject* value) { SetItemIndex(ActiveProperties()->LookupItems()->IndexOfObject(value)); }

int TcxCustomTextEdit::CursorPos()
{
    auto* inner = dynamic_cast<TcxCustomInnerTextEdit*>(InnerEdit());
    return inner ? inner->GetCursorPos() : 0;
}

void TcxCustomTextEdit::SetEditingText(const std::string& value)
{
    if (!DoEditing())
        return;
    TcxCustomEdit::SetText(value);
    SetModifiedAfterEnter(true);
}

bool TcxCustomTextEdit::InternalDoEditing() { return EditingStyle() != esNoEdit; }

bool TcxCustomTextEdit::IsValidChar(char key)
{
    return TcxCustomEdit::IsValidChar(key) || ActiveProperties()->ValidChars()[static_cast<unsigned char>(key)];
}

void TcxCustomTextEdit::FillSizeProperties(TcxEditSizeProperties& sizeProperties)
{
    if (!ViewInfo())
        return;
    sizeProperties.MaxLineCount = 1;
    sizeProperties.Width = -1;
}

void TcxCustomTextEdit::DoOnNewLookupDisplayText(const std::string& text)
{
    Properties()->OnNewLookupDisplayText(this, text);
    if (RepositoryItem())
        ActiveProperties()->OnNewLookupDisplayText(this, text);
}

void TcxCustomTextEdit::LookupKeyToEditValue(const Variant& key, Variant& value)
{
    PrepareEditValue(Variant(lookupData_->GetDisplayText(key)), value, InternalFocused());
}

void TcxCustomTextEdit::ResetOnNewDisplayValue()
{
    if (lookupData_)
        SetFindSelection(false);
}

void TcxCustomTextEdit::Activate(TcxCustomEditData*& editData)
{
    TcxCustomEdit::Activate(editData);
    if (!HandleAllocated())
        return;
    SetSelection(0, 0);
    if (ActiveProperties()->AutoSelect())
        SelectAll();
}

void TcxCustomTextEdit::DoExit()
{
    TcxCustomEdit::DoExit();
    SetFindSelection(false);
}

void TcxCustomTextEdit::SetFindSelection(bool value)
{
    if (!HandleAllocated() || value == findSelection_ || (value && findSelectionSuppressed_))
        return;
    findSelection_ = value;
    CalculateViewInfo(ScreenToClient(InternalGetCursorPos()), false);
    UpdateDrawValue();
}

void TcxCustomTextEdit::SetHideInnerEdit(bool value)
{
    if (value == hideInnerEdit_)
        return;
    hideInnerEdit_ = value;
    ShortRefreshContainer(false);
}

void TcxCustomTextEdit::SetShowInnerEdit(bool value)
{
    if (value == showInnerEdit_)
        return;
    showInnerEdit_ = value;
    ShortRefreshContainer(false);
}

// ---- the inner edit ----------------------------------------------------------------

// An unfocused editor aligned other than left is painted by its view info.
bool TcxCustomTextEdit::IsEditClass()
{
    if (hideInnerEdit_)
        return false;
    if (showInnerEdit_)
        return true;
    if (IsNoTextStyle(EditingStyle()) || PropertiesChangeLocked() || ActiveProperties()->ChangedLocked() ||
        IsDesigning())
        return false;
    return IsActiveControl() || ActiveProperties()->Alignment()->Horz() == taLeftJustify;
}

int TcxCustomTextEdit::InnerEditHeight()
{
    TcxCanvas* canvas = Canvas();
    canvas->SetFont(GetActiveStyle()->GetVisibleFont());
    return canvas->TextHeight("Zg");
}

void TcxCustomTextEdit::AdjustInnerEditPosition()
{
    if (positioningInnerEdit_ || !InnerEdit())
        return;
    FlagScope positioning(positioningInnerEdit_, true);
    const RECT q = ViewInfo()->ClientRect;
    const int h = InnerEditHeight();
    const TcxEditVertAlignment vert = ActiveProperties()->Alignment()->Vert();
    int top = q.top + 1;
    if (vert == taBottomJustify)
        top = q.bottom - h + 1;
    else if (vert == taVCenter)
        top = q.top + (q.bottom - q.top - h) / 2 + 1;
    if (IsInplace()) {
        if (vert != taTopJustify && ViewInfo()->NativeStyle)
            ++top;
        top = std::max(top, static_cast<int>(q.top) + 1);
    }
    TWinControl* inner = InnerEdit()->GetControl();
    const RECT wanted{q.left + 1, top, q.right, top + h};
    const RECT current = inner->BoundsRect();
    if (!EqualRect(&current, &wanted))
        inner->SetBounds(wanted.left, wanted.top, wanted.right - wanted.left, h);
    RECT area = q;
    if (IsInplace())
        InflateRect(&area, 0, -1);
    AlignControls(inner, area);
}

void TcxCustomTextEdit::GetChildControlBounds(const RECT& bounds, TControl* child, std::optional<RECT>& region)
{
    if (!IsEditClass()) {
        region = RECT{0, 0, 0, 0};
        return;
    }
    TcxCustomEdit::GetChildControlBounds(bounds, child, region);
    const TcxEditEditingStyle style = EditingStyle();
    if (IsInplace() || !ViewInfo()->NativeStyle || (style != esEdit && style != esEditList) || !child)
        return;
    RECT r = region.value_or(RECT{0, 0, child->Width(), child->Height()});
    --r.right;
    --r.bottom;
    region = r;
}

void TcxCustomTextEdit::AdjustInnerEdit()
{
    if (creatingEdit_ || !InnerEdit())
        return;
    InnerEdit()->LockBounds(true);
    quelvo::sys::ScopeGuard unlock([this] { InnerEdit()->LockBounds(false); });
    TWinControl* inner = InnerEdit()->GetControl();
    inner->SetColor(ViewInfo()->BackgroundColor());
    inner->SetFont(GetActiveStyle()->GetVisibleFont());
    inner->Font()->SetColor(ViewInfo()->TextColor);
}

bool TcxCustomTextEdit::RefreshContainer(POINT p, TcxMouseButton button, TShiftState shift, bool isMouseEvent)
{
    if (!HandleAllocated() || GetIsDestroying())
        return false;
    const bool refreshed = TcxCustomEdit::RefreshContainer(p, button, shift, isMouseEvent);
    if (refreshed)
        AdjustInnerEdit();
    return refreshed;
}

// While its repainting is locked the inner edit only takes the focus.
LRESULT TcxCustomTextEdit::LockedInnerEditWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_SETFOCUS)
        return TcxCustomEdit::LockedInnerEditWindowProc(wnd, msg, wParam, lParam);
    if (InnerTextEdit()->GetAutoSelect())
        InnerTextEdit()->SelectAll();
    return 0;
}

// ---- properties --------------------------------------------------------------------

void TcxCustomTextEdit::PropertiesChanged(TObject* sender)
{
    IcxInnerTextEdit* inner = InnerTextEdit();
    if (!inner || PropertiesChangeLocked())
        return TcxCustomEdit::PropertiesChanged(sender);
    TcxCustomTextEditProperties* properties = ActiveProperties();
    inner->SetAlignment(properties->Alignment()->Horz());
    if (lookupData_) {
        lookupData_->PropertiesChanged();
        if (!lookupDataTextChangedLocked_)
            lookupData_->TextChanged();
    }
    if (!properties->ChangedLocked() && !IsEditClass())
        UpdateDrawValue();
    inner->SetAutoSelect(properties->AutoSelect() && !IsInplace());
    inner->SetCharCase(properties->CharCase());
    inner->SetEchoMode(properties->EchoMode());
    inner->SetHideSelection(properties->HideSelection());
    inner->SetMaxLength(properties->GetInnerEditMaxLength());
    inner->SetImeMode(properties->ImeMode());
    inner->SetImeName(properties->ImeName());
    inner->SetOEMConvert(properties->OEMConvert());
    inner->SetPasswordChar(properties->PasswordChar());
    CheckEditValue();
    if (!IsPosting())
        UpdateDisplayValue();
    UpdateDrawValue();
    TcxCustomEdit::PropertiesChanged(sender);
    inner->GetControl()->Invalidate();
}

void TcxCustomTextEdit::CheckEditValue()
{
    TcxCustomTextEditProperties* properties = ActiveProperties();
    if (DataBinding()->CanCheckEditorValue() && properties->IsEditValueNumeric() && !properties->ChangedLocked() &&
        properties->MaxValue() > properties->MinValue())
        CheckEditorValueBounds();
}

// ---- values ------------------------------------------------------------------------

void TcxCustomTextEdit::UpdateDisplayValue()
{
    TcxCustomTextEditProperties* properties = ActiveProperties();
    if (properties->ChangedLocked())
        return;
    if (!IsListStyle(EditingStyle())) {
        if (!ModifiedAfterEnter())
            DataBinding()->UpdateDisplayValue();
        return;
    }
    IcxEditDefaultValuesProvider* provider = DataBinding()->IDefaultValuesProvider();
    if (!ModifiedAfterEnter() && (IsInplace() || (provider && provider->IsDataStorage()))) {
        SynchronizeDisplayValue();
        return;
    }
    Variant text(Text());
    if (properties->IsDisplayValueValid(text, InternalFocused()))
        return;
    {
        SaveModified();
        quelvo::sys::ScopeGuard restore([this] { RestoreModified(); });
        DataBinding()->SetDisplayValue(Variant(properties->DefaultFocusedDisplayValue()));
    }
    if (!ModifiedAfterEnter())
        SynchronizeEditValue();
}

void TcxCustomTextEdit::SynchronizeDisplayValue()
{
    TcxCustomTextEditProperties* properties = ActiveProperties();
    Variant editValue = GetEditValue();
    Variant displayValue;
    PrepareDisplayValue(editValue, displayValue, InternalFocused());
    if (properties->CanValidate() && !properties->IsEditValueValid(editValue, InternalFocused()))
        displayValue = Variant(properties->DefaultFocusedDisplayValue());
    SaveModified();
    synchronizing_ = true;
    quelvo::sys::ScopeGuard done([this] {
        synchronizing_ = false;
        RestoreModified();
        ResetOnNewDisplayValue();
        UpdateDrawValue();
    });
    DataBinding()->SetDisplayValue(displayValue);
}

void TcxCustomTextEdit::SynchronizeEditValue()
{
    TcxCustomTextEditProperties* properties = ActiveProperties();
    const Variant previous = GetEditValue();
    Variant editValue;
    PrepareEditValue(Variant(GetDisplayValue()), editValue, InternalFocused());
    StoreEditValue(editValue);
    if (IsUserChange())
        SetModifiedAfterEnter(true);
    else
        SetModified(false);
    if (!properties->CompareEditValue() || InternalVarEqualsExact(previous, editValue))
        return;
    DoEditValueChanged();
    if (!properties->HasDisplayValue())
        DoChange();
}

bool TcxCustomTextEdit::SetDisplayText(const std::string& value)
{
    Variant displayValue(value);
    if (!ActiveProperties()->IsDisplayValueValid(displayValue, InternalFocused()))
        return false;
    if (IsUserChange() && !DoEditing())
        return false;
    InternalSetDisplayValue(displayValue);
    return true;
}

void TcxCustomTextEdit::InternalSetDisplayValue(const Variant& value)
{
    DataBinding()->SetDisplayValue(value);
    if (IsUserChange())
        return;
    ResetOnNewDisplayValue();
    SynchronizeEditValue();
    SetModified(false);
}

void TcxCustomTextEdit::InternalValidateDisplayValue(const Variant& displayValue)
{
    FlagScope keep(findSelection_, findSelection_);
    if (EditingStyle() == esEdit && lookupData_ && !lookupData_->Find(VarToStr(displayValue)))
        DoOnNewLookupDisplayText(VarToStr(displayValue));
    TcxCustomEdit::InternalValidateDisplayValue(displayValue);
}

void TcxCustomTextEdit::ChangeHandler(TObject* sender)
{
    {
        LockChangeEvents(true);
        quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
        TcxCustomEdit::ChangeHandler(sender);
    }
    if (lookupData_ && !lookupDataTextChangedLocked_)
        lookupData_->TextChanged();
    if (!ViewInfo()->DrawSelectionBar)
        UpdateDrawValue();
}

// ---- the unfocused face ------------------------------------------------------------

void TcxCustomTextEdit::UpdateDrawValue()
{
    {
        ObjectPtr<TcxCustomEditViewData> viewData(CreateViewData());
        static_cast<TcxCustomTextEditViewData*>(viewData.get())
            ->DisplayValueToDrawValue(Variant(GetDisplayValue()), ViewInfo());
    }
    if (!HandleAllocated())
        return;
    CalculateViewInfo(ScreenToClient(InternalGetCursorPos()), false);
    if (IsNoTextStyle(EditingStyle()))
        PaintedSelection(ViewInfo());
    Invalidate();
}

// The list styles show the completed part of the text as selected.
void TcxCustomTextEdit::PaintedSelection(TcxCustomTextEditViewInfo* viewInfo)
{
    viewInfo->InvalidateTextOutCache();
    if (EditingStyle() == esNoEdit || !findSelection_ || !ActiveProperties()->FixedListSelection()) {
        viewInfo->SelLength = 0;
        return;
    }
    if (viewInfo->DrawSelectionBar) {
        viewInfo->SelStart = 0;
        viewInfo->SelLength = TextCharCount(viewInfo->Text) - GetSelLength();
        viewInfo->SelTextColor = clHighlight;
        viewInfo->SelBackgroundColor = clHighlightText;
        return;
    }
    viewInfo->SelStart = GetSelStart();
    viewInfo->SelLength = GetSelLength();
    viewInfo->SelTextColor = clHighlightText;
    viewInfo->SelBackgroundColor = clHighlight;
}

// ---- clipboard and selection editing -----------------------------------------------

void TcxCustomTextEdit::CopyToClipboard()
{
    if (IsNoTextStyle(EditingStyle()))
        SelectAll();
    if (InnerTextEdit()->GetSelLength() > 0)
        InnerTextEdit()->CopyToClipboard();
}

void TcxCustomTextEdit::CutToClipboard()
{
    if (InnerTextEdit()->GetSelLength() == 0)
        return;
    std::string newText;
    int cursor = 0;
    if (innerClipboardMessage_) {
        if (CanChangeSelText({}, newText, cursor))
            static_cast<TcxCustomInnerTextEdit*>(InnerEdit())->PassToEdit(*innerClipboardMessage_);
        return;
    }
    InnerTextEdit()->CopyToClipboard();
    SetSelText({});
}

void TcxCustomTextEdit::PasteFromClipboard()
{
    if (!Clipboard()->HasFormat(CF_TEXT))
        return;
    const std::string text = Clipboard()->AsText();
    std::string newText;
    int cursor = 0;
    if (innerClipboardMessage_) {
        if (CanChangeSelText(text, newText, cursor))
            static_cast<TcxCustomInnerTextEdit*>(InnerEdit())->PassToEdit(*innerClipboardMessage_);
        return;
    }
    SetSelText(text);
}

void TcxCustomTextEdit::ClearSelection()
{
    const int start = InnerTextEdit()->GetSelStart();
    const int length = InnerTextEdit()->GetSelLength();
    if (length == 0)
        return;
    std::string text = GetDisplayValue();
    const size_t from = TextByteOffset(text, start);
    text.erase(from, TextByteOffset(text, start + length) - from);
    if (SetDisplayText(text))
        SetSelection(start, 0);
}

// With a maximum length the insertion is cut to the room left, keeping the
// text after the selection whole, whichever way the text comes in.
bool TcxCustomTextEdit::CanChangeSelText(const std::string& value, std::string& newText, int& newCursorPos)
{
    const TcxEditEditingStyle style = EditingStyle();
    const bool userAction = IsUserChange();
    if (userAction && style == esNoEdit)
        return false;
    if (IsNoTextStyle(style))
        SelectAll();
    const std::string text = GetDisplayValue();
    const int selStart = InnerTextEdit()->GetSelStart();
    const int selLength = InnerTextEdit()->GetSelLength();
    const size_t from = TextByteOffset(text, selStart);
    const std::string before = text.substr(0, from);
    const std::string after = text.substr(TextByteOffset(text, selStart + selLength));
    std::string insertion = value;
    const int maxLength = ActiveProperties()->GetMaxLength();
    if (maxLength > 0 && style != esFixedList) {
        const int room = std::max(0, maxLength - (TextCharCount(text) - selLength));
        insertion.resize(TextByteOffset(value, room));
        if (insertion.empty() && !value.empty())
            return false;
    }
    newText = style == esFixedList ? insertion : before + insertion + after;
    newCursorPos = (style == esFixedList ? 0 : selStart) + TextCharCount(insertion);
    Variant accepted(newText);
    if (!ActiveProperties()->IsDisplayValueValid(accepted, InternalFocused()))
        return false;
    if (userAction && !DoEditing())
        return false;
    newText = VarToStr(accepted);
    return true;
}

// ---- messages ----------------------------------------------------------------------

void TcxCustomTextEdit::WMClear(TMessage&)
{
    const bool userChange = IsUserChange();
    SetUserChange(true);
    quelvo::sys::ScopeGuard restore([this, userChange] { SetUserChange(userChange); });
    if (!ActiveProperties()->ReadOnly() && DataBinding()->GetIsDataAvailable())
        ClearSelection();
}

// Buffers count bytes; the text is cut at a character's start.
void TcxCustomTextEdit::WMGetText(TMessage& m)
{
    m.Result = 0;
    if (m.WParam == 0 || !m.LParam)
        return;
    const std::string text = InternalGetText();
    size_t n = std::min(text.size(), static_cast<size_t>(m.WParam) - 1);
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    auto* buffer = reinterpret_cast<char*>(m.LParam);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    m.Result = static_cast<LRESULT>(n);
}

void TcxCustomTextEdit::WMGetTextLength(TMessage& m) { m.Result = static_cast<LRESULT>(InternalGetText().size()); }

void TcxCustomTextEdit::WMSetText(TMessage& m)
{
    if (settingText_)
        return TcxCustomEdit::Dispatch(m);
    FlagScope setting(settingText_, true);
    const char* text = reinterpret_cast<const char*>(m.LParam);
    m.Result = InternalSetText(text ? text : "") ? 1 : 0;
}

void TcxCustomTextEdit::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_CLEAR: return WMClear(m);
    case WM_GETTEXT: return WMGetText(m);
    case WM_GETTEXTLENGTH: return WMGetTextLength(m);
    case WM_SETTEXT: return WMSetText(m);
    default: return TcxCustomEdit::Dispatch(m);
    }
}
