// The masked editor: keys, mouse, clipboard and property changes routed
// through the mode of its mask, and the value text kept beside the shown
// text. Every path falls back to the plain text editor without a mask.
#include "components/editors/cxMaskEdit.h"

#include "platform/hostlib/visual/clipboard.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

namespace {

using quelvo::sys::FlagScope;

bool IsRegExprKind(TcxEditMaskKind kind) { return kind != emkStandard; }

} // namespace

TClass TcxCustomMaskEdit::StaticClass() { return DefineClass<TcxCustomMaskEdit, TcxCustomTextEdit>("TcxCustomMaskEdit"); }

TClass TcxMaskEdit::StaticClass()
{
    return DefineClass<TcxMaskEdit, TcxCustomMaskEdit>("TcxMaskEdit", [](ClassBuilder<TcxMaskEdit>& b) {
        using C = TcxMaskEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxCustomMaskEditProperties::GetContainerClass() { return TcxMaskEdit::StaticClass(); }

TClass TcxCustomMaskEdit::GetPropertiesClass() const { return TcxMaskEditProperties::StaticClass(); }

void TcxCustomMaskEdit::Construct(TComponent* owner)
{
    TcxCustomTextEdit::Construct(owner);
    charCase_ = ActiveProperties()->CharCase();
    RecreateMode();
    ActiveProperties()->SetEmptyString(mode_->GetEmptyString());
}

void TcxCustomMaskEdit::Destroy()
{
    mode_.reset();
    TcxCustomTextEdit::Destroy();
}

void TcxCustomMaskEdit::RecreateMode()
{
    TcxCustomMaskEditProperties* properties = ActiveProperties();
    mode_ = properties->GetModeClass(properties->MaskKind(), this);
    const TcxEditMask mask = properties->GetEditMask();
    if (EmptyMask(mask))
        return;
    try {
        mode_->Compile(mask);
    } catch (const EcxMaskEditError&) {
        // A provider's mask of another kind: the editor goes unmasked.
        mode_ = properties->GetModeClass(properties->MaskKind(), this);
    }
}

bool TcxCustomMaskEdit::IsMasked() { return mode_ && !EmptyMask(mode_->EditMask()) && ActiveProperties()->GetIsMasked(); }

bool TcxCustomMaskEdit::ModeIsEditing() { return InternalFocused() && ModifiedAfterEnter(); }

void TcxCustomMaskEdit::ModeSetDisplayText(const std::string& text)
{
    InnerEdit()->SetEditValue(Variant(text));
    InnerTextEdit()->SetSelStart(0);
}

std::string TcxCustomMaskEdit::ModePreparedDisplayText()
{
    Variant displayValue;
    PrepareDisplayValue(GetEditValue(), displayValue, InternalFocused());
    return VarToStr(displayValue);
}

void TcxCustomMaskEdit::ModeSetEditValueText(const std::string& text)
{
    SaveModified();
    quelvo::sys::ScopeGuard restore([this] { RestoreModified(); });
    StoreEditValue(Variant(text));
}

// ---- values ------------------------------------------------------------------------

std::string TcxCustomMaskEdit::ShownText(const std::string& valueText)
{
    if (InternalFocused() || mode_->GetMaskKind() != emkStandard || ActiveProperties()->AlwaysShowBlanksAndLiterals())
        return mode_->GetFormattedText(valueText);
    return mode_->GetUpdatedText(valueText);
}

void TcxCustomMaskEdit::InternalSetDisplayValue(const Variant& value)
{
    if (!IsMasked() || IsLoading())
        return TcxCustomTextEdit::InternalSetDisplayValue(value);
    TcxCustomTextEdit::InternalSetDisplayValue(Variant(ShownText(VarToStr(value))));
    mode_->SetText(GetDisplayValue());
}

void TcxCustomMaskEdit::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool editFocused)
{
    if (!IsMasked())
        return TcxCustomTextEdit::PrepareEditValue(displayValue, editValue, editFocused);
    editValue = Variant(mode_->GetUpdatedText(VarToStr(displayValue)));
}

void TcxCustomMaskEdit::SynchronizeDisplayValue()
{
    TcxCustomTextEdit::SynchronizeDisplayValue();
    if (IsMasked())
        mode_->SetText(GetDisplayValue());
}

void TcxCustomMaskEdit::ChangeHandler(TObject* sender)
{
    TcxCustomTextEdit::ChangeHandler(sender);
    if (mode_)
        valueText_ = IsMasked() ? mode_->GetUpdatedText(GetDisplayValue()) : GetDisplayValue();
}

std::string TcxCustomMaskEdit::InternalGetText()
{
    return IsMasked() ? valueText_ : TcxCustomTextEdit::InternalGetText();
}

bool TcxCustomMaskEdit::InternalSetText(const std::string& value)
{
    if (!IsMasked())
        return TcxCustomTextEdit::InternalSetText(value);
    SetEditValue(Variant(value));
    return true;
}

std::string TcxCustomMaskEdit::EditText() { return VarToStr(DataBinding()->GetDisplayValue()); }

void TcxCustomMaskEdit::SetEditText(const std::string& value)
{
    DataBinding()->SetDisplayValue(Variant(IsMasked() ? ShownText(value) : value));
}

void TcxCustomMaskEdit::UpdateTextFormatting()
{
    if (IsMasked())
        SynchronizeDisplayValue();
}

void TcxCustomMaskEdit::Loaded()
{
    TcxCustomTextEdit::Loaded();
    LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    UpdateTextFormatting();
}

// ---- keys --------------------------------------------------------------------------

void TcxCustomMaskEdit::KeyDown(WORD& key, TShiftState shift)
{
    if (!sendingKeys_)
        TcxCustomTextEdit::KeyDown(key, shift);
}

void TcxCustomMaskEdit::KeyPress(char& key)
{
    if (!sendingKeys_)
        TcxCustomTextEdit::KeyPress(key);
}

void TcxCustomMaskEdit::KeyUp(WORD& key, TShiftState shift)
{
    if (!sendingKeys_)
        TcxCustomTextEdit::KeyUp(key, shift);
}

void TcxCustomMaskEdit::SendToInner(UINT message, WPARAM wParam)
{
    TWinControl* inner = InnerEdit() ? InnerEdit()->GetControl() : nullptr;
    if (!inner || !inner->HandleAllocated())
        return;
    FlagScope sending(sendingKeys_, true);
    SendMessageA(inner->Handle(), message, wParam, 0);
}

void TcxCustomMaskEdit::SendMyKeyDown(WORD key, TShiftState) { SendToInner(WM_KEYDOWN, key); }

void TcxCustomMaskEdit::SendMyKeyPress(char key) { SendToInner(WM_CHAR, static_cast<unsigned char>(key)); }

void TcxCustomMaskEdit::DoEditKeyDown(WORD& key, TShiftState shift)
{
    if (!IsMasked())
        return TcxCustomTextEdit::DoEditKeyDown(key, shift);
    if (!ValidateKeyDown(key, shift)) {
        DoAfterKeyDown(key, shift);
        key = 0;
        return;
    }
    if (key == VK_TAB)
        return TcxCustomTextEdit::DoEditKeyDown(key, shift);
    shiftFlag_ = shift.Contains(ssShift);
    switch (key) {
    case VK_UP:
    case VK_DOWN:
        if (HasPopupWindow())
            return TcxCustomTextEdit::DoEditKeyDown(key, shift);
        DoAfterKeyDown(key, shift);
        key = 0;
        return;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
        if (!ModeKeyDown(key, shift))
            key = 0;
        return;
    default: return TcxCustomTextEdit::DoEditKeyDown(key, shift);
    }
}

bool TcxCustomMaskEdit::ModeKeyDown(WORD key, TShiftState shift)
{
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT: return ArrowKeyDown(key, shift);
    case VK_DELETE: return DeleteKeyDown(shift);
    case VK_HOME: return mode_->PressHome();
    default: return mode_->PressEnd();
    }
}

// With Ctrl an arrow goes to the text's start or end; at the edge the key
// still tells the list that holds the editor.
bool TcxCustomMaskEdit::ArrowKeyDown(WORD key, TShiftState shift)
{
    const bool left = key == VK_LEFT;
    if (shift.Contains(ssCtrl)) {
        const WORD edgeKey = left ? VK_HOME : VK_END;
        if (left ? mode_->PressHome() : mode_->PressEnd())
            SendMyKeyDown(edgeKey, shift);
        return false;
    }
    const bool atEdge = left ? mode_->IsCursorBegin() : mode_->IsCursorEnd();
    if (left ? mode_->PressLeft() : mode_->PressRight())
        return true;
    if (atEdge) {
        WORD notified = key;
        DoAfterKeyDown(notified, shift);
    }
    return false;
}

// Shift+Delete without a selection deletes backwards; with one it cuts.
bool TcxCustomMaskEdit::DeleteKeyDown(TShiftState shift)
{
    if (!shift.Contains(ssShift))
        return mode_->PressDelete();
    return ModeSelLength() > 0 || mode_->PressBackSpace();
}

void TcxCustomMaskEdit::DoEditKeyPress(char& key)
{
    if (!IsMasked())
        return TcxCustomTextEdit::DoEditKeyPress(key);
    if (key == '\t' || key == '\x1B') {
        key = 0;
        return;
    }
    ValidateKeyPress(key);
    if (key == 0 || key == '\r')
        return;
    if (key == 3 || key == 22 || key == 24)
        return TcxCustomTextEdit::DoEditKeyPress(key);
    const bool userChange = IsUserChange();
    SetUserChange(true);
    quelvo::sys::ScopeGuard restore([this, userChange] { SetUserChange(userChange); });
    if (!(key == '\b' ? mode_->PressBackSpace() : mode_->PressSymbol(key)))
        key = 0;
}

void TcxCustomMaskEdit::DoEditKeyUp(WORD& key, TShiftState shift)
{
    if (key == VK_SHIFT)
        shiftFlag_ = false;
    TcxCustomTextEdit::DoEditKeyUp(key, shift);
}

// ---- mouse, focus and selection ----------------------------------------------------

void TcxCustomMaskEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TcxCustomTextEdit::MouseDown(button, shift, x, y);
    if (*alive && button == mbLeft && IsMasked())
        mode_->LMouseDown();
}

void TcxCustomMaskEdit::MouseMove(TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TcxCustomTextEdit::MouseMove(shift, x, y);
    if (!*alive || !shift.Contains(ssLeft) || !IsMasked())
        return;
    FlagScope selecting(shiftFlag_, true);
    mode_->LMouseDown();
}

void TcxCustomMaskEdit::DblClick()
{
    if (IsMasked())
        mode_->GotoEnd();
    TcxCustomTextEdit::DblClick();
}

void TcxCustomMaskEdit::DoEnter()
{
    if (IsMasked() && ActiveProperties()->AutoSelect())
        mode_->GotoEnd();
    TcxCustomTextEdit::DoEnter();
}

void TcxCustomMaskEdit::SetSelStart(int value)
{
    TcxCustomTextEdit::SetSelStart(value);
    if (IsMasked())
        mode_->LMouseDown();
}

void TcxCustomMaskEdit::SetSelLength(int value)
{
    TcxCustomTextEdit::SetSelLength(value);
    if (IsMasked())
        mode_->LMouseDown();
}

// ---- clipboard ---------------------------------------------------------------------

void TcxCustomMaskEdit::SetSelText(const std::string& value)
{
    if (!IsMasked())
        return TcxCustomTextEdit::SetSelText(value);
    mode_->SetClipboardTextLength(static_cast<int>(value.size()));
    mode_->PrePasteFromClipboard();
    TcxCustomTextEdit::SetSelText(value);
    mode_->AfterPasteFromClipboard();
}

void TcxCustomMaskEdit::CutToClipboard()
{
    if (!IsMasked())
        return TcxCustomTextEdit::CutToClipboard();
    if (ModeSelLength() == 0)
        return;
    InnerTextEdit()->CopyToClipboard();
    const bool userChange = IsUserChange();
    SetUserChange(true);
    quelvo::sys::ScopeGuard restore([this, userChange] { SetUserChange(userChange); });
    if (DoEditing() && mode_->PressDelete())
        SendMyKeyDown(VK_DELETE, {});
}

void TcxCustomMaskEdit::PasteFromClipboard()
{
    if (!IsMasked())
        return TcxCustomTextEdit::PasteFromClipboard();
    if (!Clipboard()->HasFormat(CF_TEXT))
        return;
    const bool userChange = IsUserChange();
    SetUserChange(true);
    quelvo::sys::ScopeGuard restore([this, userChange] { SetUserChange(userChange); });
    SetSelText(Clipboard()->AsText());
}

// ---- properties --------------------------------------------------------------------

void TcxCustomMaskEdit::PropertiesChanged(TObject* sender)
{
    if (!mode_ || propertiesLock_ > 0 || PropertiesChangeLocked())
        return TcxCustomTextEdit::PropertiesChanged(sender);
    TcxCustomMaskEditProperties* properties = ActiveProperties();
    const bool kindChanged = properties->MaskKind() != mode_->GetMaskKind();
    const bool maskChanged = kindChanged || properties->GetEditMask() != mode_->EditMask();
    const bool caseChanged = properties->CharCase() != charCase_;
    charCase_ = properties->CharCase();
    ApplyMaskChanges(kindChanged, maskChanged, caseChanged);
    TcxCustomTextEdit::PropertiesChanged(sender);
    if (kindChanged || maskChanged || caseChanged)
        valueText_ = IsMasked() ? mode_->GetUpdatedText(GetDisplayValue()) : GetDisplayValue();
}

void TcxCustomMaskEdit::ApplyMaskChanges(bool kindChanged, bool maskChanged, bool caseChanged)
{
    const bool allocated = HandleAllocated();
    const int selStart = allocated ? ModeSelStart() : 0;
    const int selLength = allocated ? ModeSelLength() : 0;
    if (maskChanged)
        ReplaceMode(kindChanged);
    if ((maskChanged || caseChanged) && IsMasked())
        mode_->SynchronizeEditValue();
    else if (maskChanged && mode_->GetMaskKind() == emkStandard && selLength == 1 && allocated)
        ModeSetSelLength(0);
    else if (allocated && !maskChanged) // survives an echo-mode change
        SetSelectionDirectly(selStart, selLength);
    if (IsMasked() && !GetEditValue().IsNull())
        mode_->UpdateEditValue();
}

void TcxCustomMaskEdit::ReplaceMode(bool kindChanged)
{
    ++propertiesLock_;
    quelvo::sys::ScopeGuard unlock([this] { --propertiesLock_; });
    TcxCustomMaskEditProperties* properties = ActiveProperties();
    if (kindChanged && IsRegExprKind(properties->MaskKind()) != IsRegExprKind(properties->EditMaskKind())) {
        // A mask of the one family means something else in the other.
        properties->BeginUpdate();
        quelvo::sys::ScopeGuard endUpdate([properties] { properties->EndUpdate(false); });
        properties->SetEditMask({});
    }
    RecreateMode();
    properties->SetEmptyString(mode_->GetEmptyString());
    if (properties->MaxLength() != 0 && IsMasked())
        properties->SetMaxLength(0);
}

void TcxCustomMaskEdit::SetSelectionDirectly(int start, int length)
{
    ModeSetSelStart(start);
    ModeSetSelLength(length);
}
