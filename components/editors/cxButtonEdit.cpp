// The button editor: its settings, the control and its registration.
#include "components/editors/cxButtonEdit.h"
#include "components/editors/cxEditStyles.h"

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditRepositoryItems.h"

using namespace hostlib;

TClass TcxCustomButtonEditProperties::StaticClass()
{
    return DefineClass<TcxCustomButtonEditProperties, TcxCustomMaskEditProperties>("TcxCustomButtonEditProperties");
}

void TcxCustomButtonEditProperties::Construct(TPersistent* owner)
{
    TcxCustomMaskEditProperties::Construct(owner);
    static_cast<TcxEditButton*>(Buttons()->Add())->SetKind(bkEllipsis);
}

TClass TcxCustomButtonEditProperties::GetContainerClass() { return TcxButtonEdit::StaticClass(); }

TClass TcxButtonEditProperties::StaticClass()
{
    return DefineClass<TcxButtonEditProperties, TcxCustomButtonEditProperties>(
        "TcxButtonEditProperties", [](ClassBuilder<TcxButtonEditProperties>& b) {
            using P = TcxButtonEditProperties;
            b.Property("CaseInsensitive", &P::CaseInsensitive, &P::SetCaseInsensitive).Default(true);
            b.Property("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
            b.Property("EchoMode", &P::EchoMode, &P::SetEchoMode).Default(eemNormal);
            b.Property("HideCursor", &P::HideCursor, &P::SetHideCursor).Stored(false);
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
            b.Property("ViewStyle", &P::ViewStyle, &P::SetViewStyle).Default(vsNormal);
            b.EventProperty("OnNewLookupDisplayText", &P::OnNewLookupDisplayText);
        });
}

// ---- the editor ---------------------------------------------------------------------

TClass TcxCustomButtonEdit::StaticClass()
{
    return DefineClass<TcxCustomButtonEdit, TcxCustomMaskEdit>("TcxCustomButtonEdit");
}

TClass TcxCustomButtonEdit::GetPropertiesClass() const { return TcxButtonEditProperties::StaticClass(); }

TcxContainerStyleValues TcxCustomButtonEdit::GetNotPublishedStyleValues() const { return {csvPopupBorderStyle}; }

void TcxCustomButtonEdit::ReadState(TReader& reader)
{
    // A form that stores no buttons (all were deleted) writes none, so
    // only an empty collection here reads back what was saved.
    if (!defaultButtonsCleared_) {
        defaultButtonsCleared_ = true;
        // The active properties are the own ones while a form is read: a
        // repository item is bound after reading, and its buttons are
        // shared with other editors.
        Properties()->Buttons()->Clear();
    }
    TcxCustomMaskEdit::ReadState(reader);
}

TClass TcxButtonEdit::StaticClass()
{
    return DefineClass<TcxButtonEdit, TcxCustomButtonEdit>("TcxButtonEdit", [](ClassBuilder<TcxButtonEdit>& b) {
        using C = TcxButtonEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
        b.Property("RepositoryItem", &C::RepositoryItem, &C::SetRepositoryItem);
        PublishEditStyles(b);
    });
}

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxButtonEditInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxButtonEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryButtonItem));
}

void cxButtonEditFinalize()
{
    gUnitStarts.End();
}
