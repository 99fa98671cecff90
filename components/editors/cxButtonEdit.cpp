// The button editor's settings and registration.
#include "components/editors/cxButtonEdit.h"

#include "components/editors/cxEditConsts.h"

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

namespace {
int& UnitStarts()
{
    static int starts = 0;
    return starts;
}
} // namespace

void cxButtonEditInitialize()
{
    if (UnitStarts()++ == 0)
        GetRegisteredEditProperties()->Register(TcxButtonEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryButtonItem));
}

void cxButtonEditFinalize()
{
    if (UnitStarts() > 0)
        --UnitStarts();
}
