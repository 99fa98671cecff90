#include "components/editors/cxMaskEdit.h"

#include "components/editors/cxEditConsts.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxEditMaskKind*)
{
    static const TEnumInfo info{"TcxEditMaskKind", {"emkStandard", "emkRegExpr", "emkRegExprEx"}, 0};
    return info;
}

// ---- TcxCustomMaskEditProperties ------------------------------------------------------

TClass TcxCustomMaskEditProperties::StaticClass()
{
    return DefineClass<TcxCustomMaskEditProperties, TcxCustomTextEditProperties>("TcxCustomMaskEditProperties");
}

void TcxCustomMaskEditProperties::Construct(TPersistent* owner)
{
    TcxCustomTextEditProperties::Construct(owner);
    SetValidateOnEnter(true);
}

void TcxCustomMaskEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomMaskEditProperties>(source);
    if (!other) return TcxCustomTextEditProperties::Assign(source);
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomTextEditProperties::Assign(source);
    SetMaskKind(other->maskKind_);
    SetEditMask(other->editMask_);
    SetCaseInsensitive(other->caseInsensitive_);
    SetIgnoreMaskBlank(other->ignoreMaskBlank_);
    SetAlwaysShowBlanksAndLiterals(other->alwaysShowBlanksAndLiterals_);
}

TcxEditMask TcxCustomMaskEditProperties::GetEditMask()
{
    if (maskKind_ != emkStandard || !editMask_.empty()) return editMask_;
    return IDefaultValuesProvider() ? IDefaultValuesProvider()->DefaultEditMask() : TcxEditMask();
}

void TcxCustomMaskEditProperties::SetEditMask(const TcxEditMask& value)
{
    if (value == GetEditMask()) {
        editMask_ = value;
        editMaskKind_ = maskKind_;
        return;
    }
    // A wrong mask raises here, before anything changed.
    CreateMode1()->Compile(value);
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    editMask_ = value;
    editMaskKind_ = maskKind_;
    if (GetIsMasked() && MaxLength() != 0) SetMaxLength(0);
    Changed();
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind value)
{
    if (maskKind_ == value) return;
    maskKind_ = value;
    Changed();
}

void TcxCustomMaskEditProperties::SetCaseInsensitive(bool value)
{
    caseInsensitive_ = CharCase() != ecNormal || value;
    Changed();
}

void TcxCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(bool value)
{
    if (alwaysShowBlanksAndLiterals_ == value) return;
    alwaysShowBlanksAndLiterals_ = value;
    Changed();
}

void TcxCustomMaskEditProperties::SetCharCase(TEditCharCase value)
{
    if (value != ecNormal) caseInsensitive_ = true;
    TcxCustomTextEditProperties::SetCharCase(value);
}

void TcxCustomMaskEditProperties::MaxLengthChanged()
{
    if (GetIsMasked() && !maxLengthChanging_) {
        maxLengthChanging_ = true;
        quelvo::sys::ScopeGuard done([this] { maxLengthChanging_ = false; });
        SetMaxLength(0);
        return;
    }
    TcxCustomTextEditProperties::MaxLengthChanged();
}

TcxEditDisplayFormatOptions TcxCustomMaskEditProperties::GetDisplayFormatOptions()
{
    return GetIsMasked() ? TcxEditDisplayFormatOptions{} : TcxCustomTextEditProperties::GetDisplayFormatOptions();
}

bool TcxCustomMaskEditProperties::IsEditValueValid(Variant& editValue, bool editFocused)
{
    return GetIsMasked() || TcxCustomTextEditProperties::IsEditValueValid(editValue, editFocused);
}

bool TcxCustomMaskEditProperties::UseLookupData()
{
    return !GetIsMasked() && TcxCustomTextEditProperties::UseLookupData();
}

std::unique_ptr<TcxMaskEditCustomMode> TcxCustomMaskEditProperties::GetModeClass(TcxEditMaskKind kind,
                                                                                  IcxMaskEditModeEdit* edit)
{
    return TcxMaskEditCustomMode::Create(kind, edit, this);
}

std::unique_ptr<TcxMaskEditCustomMode> TcxCustomMaskEditProperties::CreateMode1()
{
    return GetModeClass(maskKind_, nullptr);
}

std::unique_ptr<TcxMaskEditCustomMode> TcxCustomMaskEditProperties::CreateMode()
{
    auto mode = CreateMode1();
    const TcxEditMask mask = GetEditMask();
    if (EmptyMask(mask)) return mode;
    try {
        mode->Compile(mask);
    } catch (const EcxMaskEditError&) {
        // A field's mask of another kind: the values show as they are.
        mode = CreateMode1();
    }
    return mode;
}

TcxMaskEditCustomMode* TcxCustomMaskEditProperties::CachedMode()
{
    const TcxEditMask mask = GetEditMask();
    if (!cachedMode_ || cachedKind_ != maskKind_ || cachedMask_ != mask) {
        cachedMode_ = CreateMode();
        cachedKind_ = maskKind_;
        cachedMask_ = mask;
    }
    return cachedMode_.get();
}

std::string TcxCustomMaskEditProperties::FormatForDisplay(TcxMaskEditCustomMode* mode, const std::string& text,
                                                          bool editing)
{
    if (editing || mode->GetMaskKind() != emkStandard || alwaysShowBlanksAndLiterals_)
        return mode->GetFormattedText(text);
    return mode->GetUpdatedText(text);
}

void TcxCustomMaskEditProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue,
                                                      bool editFocused)
{
    if (!GetIsMasked()) return TcxCustomTextEditProperties::PrepareDisplayValue(editValue, displayValue, editFocused);
    displayValue = Variant(FormatForDisplay(CachedMode(), VarToStr(editValue), editFocused));
}

void TcxCustomMaskEditProperties::ValidateDisplayValue(Variant& displayValue, std::string& errorText, bool& error,
                                                       TcxCustomEdit* edit)
{
    if (!error && GetIsMasked() && !CachedMode()->IsFullValidText(VarToStr(displayValue))) {
        error = true;
        errorText = cxGetResourceString(scxMaskEditInvalidEditValue);
    }
    TcxCustomTextEditProperties::ValidateDisplayValue(displayValue, errorText, error, edit);
}

// ---- TcxMaskEditProperties ----------------------------------------------------------------

TClass TcxMaskEditProperties::StaticClass()
{
    return DefineClass<TcxMaskEditProperties, TcxCustomMaskEditProperties>(
        "TcxMaskEditProperties", [](ClassBuilder<TcxMaskEditProperties>& b) {
            using P = TcxMaskEditProperties;
            b.Property("AlwaysShowBlanksAndLiterals", &P::AlwaysShowBlanksAndLiterals,
                       &P::SetAlwaysShowBlanksAndLiterals)
                .Default(false);
            b.Property("CaseInsensitive", &P::CaseInsensitive, &P::SetCaseInsensitive).Default(true);
            b.Property("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
            b.Property("EchoMode", &P::EchoMode, &P::SetEchoMode).Default(eemNormal);
            b.Property("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
            b.Property("IgnoreMaskBlank", &P::IgnoreMaskBlank, &P::SetIgnoreMaskBlank).Default(false);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("LookupItems", &P::LookupItems, &P::SetLookupItems);
            b.Property("LookupItemsSorted", &P::LookupItemsSorted, &P::SetLookupItemsSorted).Default(false);
            // The kind first: the mask is compiled as one of its kind.
            b.Property("MaskKind", &P::MaskKind, &P::SetMaskKind).Default(emkStandard);
            b.Property("EditMask", &P::EditMask, &P::SetEditMask).Stored(&P::IsEditMaskStored);
            b.Property("MaxLength", &P::MaxLength, &P::SetMaxLength).Stored(&P::IsMaxLengthStored);
            b.Property("OEMConvert", &P::OEMConvert, &P::SetOEMConvert).Default(false);
            b.Property("PasswordChar", &P::PasswordChar, &P::SetPasswordChar).Default('\0');
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
            b.EventProperty("OnNewLookupDisplayText", &P::OnNewLookupDisplayText);
        });
}

// ---- unit start-up --------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxMaskEditInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxMaskEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryMaskItem));
}

void cxMaskEditFinalize()
{
    gUnitStarts.End();
}
