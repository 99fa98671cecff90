#include "components/editors/cxEditStyles.h"

#include "components/editors/cxEditControl.h"
#include "components/foundation/cxContainer.h"
#include "platform/hostlib/core/update_scope.h"

using namespace hostlib;

const std::array<const char*, 3> cxEditStyleValueNameA = {"ButtonStyle", "ButtonTransparency", "PopupBorderStyle"};

namespace {

struct DefaultController {
    ObjectPtr<TcxEditStyleController> controller;
    int instances = 0;
    bool creating = false;
};

DefaultController& TheDefault()
{
    static DefaultController unit;
    return unit;
}

} // namespace

// ---- TcxCustomEditStyle ------------------------------------------------------------

TClass TcxCustomEditStyle::StaticClass()
{
    return DefineClass<TcxCustomEditStyle, TcxCustomContainerStyle>("TcxCustomEditStyle");
}

void TcxCustomEditStyle::Construct(TPersistent* owner, bool isHolder)
{
    popupCloseButton_ = true;
    TcxCustomContainerStyle::Construct(owner, isHolder);
}

TcxCustomEdit* TcxCustomEditStyle::GetEdit() const { return dynamic_cast<TcxCustomEdit*>(GetOwner()); }

TcxCustomEditStyle* TcxCustomEditStyle::GetEditBaseStyle() const
{
    return static_cast<TcxCustomEditStyle*>(const_cast<TcxCustomEditStyle*>(this)->GetBaseStyle());
}

TcxStyleController* TcxCustomEditStyle::GetDefaultStyleController() const
{
    if (IsHolder())
        return nullptr;
    TcxCustomEdit* edit = GetEdit();
    return !edit || !edit->IsInplace() ? DefaultEditStyleController() : nullptr;
}

bool TcxCustomEditStyle::GetStyleValueName(int index, std::string& name) const
{
    if (index < cxContainerStyleValueCount || index >= cxEditStyleValueCount)
        return TcxCustomContainerStyle::GetStyleValueName(index, name);
    name = cxEditStyleValueNameA[static_cast<size_t>(index - cxContainerStyleValueCount)];
    return true;
}

template <class V>
bool TcxCustomEditStyle::InternalGet(TcxContainerStyleValue index, V TcxCustomEditStyle::*field, V& value) const
{
    if (RawAssigned(index)) {
        value = this->*field;
        return true;
    }
    auto* controllerStyle = dynamic_cast<TcxCustomEditStyle*>(ControllerStyle());
    return controllerStyle && controllerStyle->InternalGet(index, field, value);
}

bool TcxCustomEditStyle::InternalGetButtonStyle(TcxEditButtonStyle& value) const
{
    return InternalGet(csvButtonStyle, &TcxCustomEditStyle::buttonStyle_, value);
}

bool TcxCustomEditStyle::InternalGetButtonTransparency(TcxEditButtonTransparency& value) const
{
    return InternalGet(csvButtonTransparency, &TcxCustomEditStyle::buttonTransparency_, value);
}

bool TcxCustomEditStyle::InternalGetPopupBorderStyle(TcxEditPopupBorderStyle& value) const
{
    return InternalGet(csvPopupBorderStyle, &TcxCustomEditStyle::popupBorderStyle_, value);
}

bool TcxCustomEditStyle::IsValueAssigned(int index) const
{
    TcxEditButtonStyle buttonStyle;
    TcxEditButtonTransparency transparency;
    TcxEditPopupBorderStyle popupBorderStyle;
    switch (index) {
    case csvButtonStyle: return InternalGetButtonStyle(buttonStyle);
    case csvButtonTransparency: return InternalGetButtonTransparency(transparency);
    case csvPopupBorderStyle: return InternalGetPopupBorderStyle(popupBorderStyle);
    default: return TcxCustomContainerStyle::IsValueAssigned(index);
    }
}

TcxEditButtonStyle TcxCustomEditStyle::DefaultButtonStyle() const
{
    return IsBaseStyle() ? btsDefault : GetEditBaseStyle()->ButtonStyle();
}

TcxEditButtonTransparency TcxCustomEditStyle::DefaultButtonTransparency() const
{
    return IsBaseStyle() ? ebtNone : GetEditBaseStyle()->ButtonTransparency();
}

TcxEditPopupBorderStyle TcxCustomEditStyle::DefaultPopupBorderStyle() const
{
    return IsBaseStyle() ? epbsDefault : GetEditBaseStyle()->PopupBorderStyle();
}

TcxEditButtonStyle TcxCustomEditStyle::ButtonStyle() const
{
    TcxEditButtonStyle value = buttonStyle_;
    if (IsHolder())
        return RawAssigned(csvButtonStyle) ? value : DefaultButtonStyle();
    return InternalGetButtonStyle(value) ? value : DefaultButtonStyle();
}

TcxEditButtonTransparency TcxCustomEditStyle::ButtonTransparency() const
{
    TcxEditButtonTransparency value = buttonTransparency_;
    if (IsHolder())
        return RawAssigned(csvButtonTransparency) ? value : DefaultButtonTransparency();
    return InternalGetButtonTransparency(value) ? value : DefaultButtonTransparency();
}

TcxEditPopupBorderStyle TcxCustomEditStyle::PopupBorderStyle() const
{
    TcxEditPopupBorderStyle value = popupBorderStyle_;
    if (IsHolder())
        return RawAssigned(csvPopupBorderStyle) ? value : DefaultPopupBorderStyle();
    return InternalGetPopupBorderStyle(value) ? value : DefaultPopupBorderStyle();
}

bool TcxCustomEditStyle::PopupCloseButton() const
{
    return IsBaseStyle() ? popupCloseButton_ : GetEditBaseStyle()->PopupCloseButton();
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle value)
{
    if (RawAssigned(csvButtonStyle) && buttonStyle_ == value)
        return;
    buttonStyle_ = value;
    IncludeAssigned(csvButtonStyle);
    Changed();
}

void TcxCustomEditStyle::SetButtonTransparency(TcxEditButtonTransparency value)
{
    if (!IsBaseStyle()) {
        GetEditBaseStyle()->SetButtonTransparency(value);
        return;
    }
    if (RawAssigned(csvButtonTransparency) && buttonTransparency_ == value)
        return;
    buttonTransparency_ = value;
    IncludeAssigned(csvButtonTransparency);
    Changed();
}

void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle value)
{
    if (!IsBaseStyle()) {
        GetEditBaseStyle()->SetPopupBorderStyle(value);
        return;
    }
    if (RawAssigned(csvPopupBorderStyle) && popupBorderStyle_ == value)
        return;
    popupBorderStyle_ = value;
    IncludeAssigned(csvPopupBorderStyle);
    Changed();
}

void TcxCustomEditStyle::SetPopupCloseButton(bool value)
{
    if (!IsBaseStyle()) {
        GetEditBaseStyle()->SetPopupCloseButton(value);
        return;
    }
    if (popupCloseButton_ == value)
        return;
    popupCloseButton_ = value;
    Changed();
}

TcxEditStyleController* TcxCustomEditStyle::StyleController() const
{
    return dynamic_cast<TcxEditStyleController*>(BaseGetStyleController());
}

void TcxCustomEditStyle::SetStyleController(TcxEditStyleController* value) { BaseSetStyleController(value); }

bool TcxCustomEditStyle::IsEditValueStored(TcxContainerStyleValue index) const
{
    if (!RawAssigned(index))
        return false;
    TcxContainer* container = GetContainer();
    return !container || !container->GetNotPublishedStyleValues().Contains(index);
}

void TcxCustomEditStyle::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomEditStyle>(source);
    if (!other) {
        TcxCustomContainerStyle::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    buttonStyle_ = other->buttonStyle_;
    buttonTransparency_ = other->buttonTransparency_;
    popupBorderStyle_ = other->popupBorderStyle_;
    popupCloseButton_ = other->popupCloseButton_;
    TcxCustomContainerStyle::Assign(source);
    Changed();
}

// ---- published styles --------------------------------------------------------------

TClass TcxEditStyle::StaticClass()
{
    using S = TcxCustomEditStyle;
    using C = TcxCustomContainerStyle;
    return DefineClass<TcxEditStyle, TcxCustomEditStyle>("TcxEditStyle", [](ClassBuilder<TcxEditStyle>& b) {
        b.Property("AssignedValues", &C::AssignedValues, &C::SetAssignedValues).Stored(false);
        b.Property("BorderColor", &C::BorderColor, &C::SetBorderColor).Stored(&C::IsBorderColorStored);
        b.Property("BorderStyle", &S::BorderStyle, &S::SetBorderStyle).Stored(&S::IsBorderStyleStored);
        b.Property("ButtonStyle", &S::ButtonStyle, &S::SetButtonStyle).Stored(&S::IsButtonStyleStored);
        b.Property("ButtonTransparency", &S::ButtonTransparency, &S::SetButtonTransparency)
            .Stored(&S::IsButtonTransparencyStored);
        b.Property("Color", &C::Color, &C::SetColor).Stored(&C::IsColorStored);
        b.Property("Edges", &C::Edges, &C::SetEdges).Stored(&C::IsEdgesStored);
        b.Property("Font", &C::Font, &C::SetFont).Stored(&C::IsFontStored);
        b.Property("HotTrack", &C::HotTrack, &C::SetHotTrack).Stored(&C::IsHotTrackStored);
        b.Property("LookAndFeel", &C::LookAndFeel, &C::SetLookAndFeel).Stored(true);
        b.Property("PopupBorderStyle", &S::PopupBorderStyle, &S::SetPopupBorderStyle)
            .Stored(&S::IsPopupBorderStyleStored);
        b.Property("Shadow", &C::Shadow, &C::SetShadow).Stored(&C::IsShadowStored);
        b.Property("StyleController", &S::StyleController, &S::SetStyleController).Stored(true);
        b.Property("TextColor", &C::TextColor, &C::SetTextColor).Stored(&C::IsTextColorStored);
        b.Property("TextStyle", &C::TextStyle, &C::SetTextStyle).Stored(&C::IsTextStyleStored);
        b.Property("TransparentBorder", &C::TransparentBorder, &C::SetTransparentBorder)
            .Stored(&C::IsTransparentBorderStored);
    });
}

TClass TcxEditStyleEx::StaticClass()
{
    using S = TcxCustomEditStyle;
    using C = TcxCustomContainerStyle;
    return DefineClass<TcxEditStyleEx, TcxCustomEditStyle>("TcxEditStyleEx", [](ClassBuilder<TcxEditStyleEx>& b) {
        b.Property("AssignedValues", &C::AssignedValues, &C::SetAssignedValues).Stored(false);
        b.Property("BorderColor", &C::BorderColor, &C::SetBorderColor).Stored(&C::IsBorderColorStored);
        b.Property("BorderStyle", &S::BorderStyle, &S::SetBorderStyle).Stored(&S::IsBorderStyleStored);
        b.Property("ButtonStyle", &S::ButtonStyle, &S::SetButtonStyle).Stored(&S::IsButtonStyleStored);
        b.Property("Color", &C::Color, &C::SetColor).Stored(&C::IsColorStored);
        b.Property("TextColor", &C::TextColor, &C::SetTextColor).Stored(&C::IsTextColorStored);
        b.Property("TextStyle", &C::TextStyle, &C::SetTextStyle).Stored(&C::IsTextStyleStored);
    });
}

// ---- TcxEditStyleController --------------------------------------------------------

TClass TcxEditStyleController::StaticClass()
{
    using S = TcxEditStyleController;
    return DefineClass<TcxEditStyleController, TcxStyleController>(
        "TcxEditStyleController", [](ClassBuilder<TcxEditStyleController>& b) {
            PublishEditStyles(b);
            b.EventProperty("OnStyleChanged", &S::OnStyleChanged);
        });
}

TcxContainerStyleClass TcxEditStyleController::GetStyleClass() const { return TcxEditStyle::StaticClass(); }
TcxContainerStyleClass TcxEditStyleController::GetStyleExClass() const { return TcxEditStyleEx::StaticClass(); }

TcxCustomEditStyle* TcxEditStyleController::GetInternalStyle(TcxContainerStateItem state) const
{
    return static_cast<TcxCustomEditStyle*>(TcxStyleController::GetInternalStyle(state));
}

TcxEditStyle* TcxEditStyleController::Style() const { return static_cast<TcxEditStyle*>(GetInternalStyle(csNormal)); }
TcxEditStyleEx* TcxEditStyleController::StyleFocused() const
{
    return static_cast<TcxEditStyleEx*>(GetInternalStyle(csActive));
}
TcxEditStyleEx* TcxEditStyleController::StyleDisabled() const
{
    return static_cast<TcxEditStyleEx*>(GetInternalStyle(csDisabled));
}
TcxEditStyleEx* TcxEditStyleController::StyleHot() const
{
    return static_cast<TcxEditStyleEx*>(GetInternalStyle(csHotTrack));
}

TcxEditStyleController* DefaultEditStyleController()
{
    auto& unit = TheDefault();
    // Its own styles ask for it while it is being made: they take none.
    if (!unit.controller && !unit.creating) {
        unit.creating = true;
        quelvo::sys::ScopeGuard created([&unit] { unit.creating = false; });
        unit.controller.reset(CreateObject<TcxEditStyleController>(static_cast<TComponent*>(nullptr)));
        cxContainerDefaultStyleController = unit.controller.get();
    }
    return unit.controller.get();
}

void FreeDefaultEditStyleController()
{
    if (cxContainerDefaultStyleController == TheDefault().controller.get())
        cxContainerDefaultStyleController = nullptr;
    TheDefault().controller.reset();
}

// ---- TcxDefaultEditStyleController -------------------------------------------------

TClass TcxDefaultEditStyleController::StaticClass()
{
    return DefineClass<TcxDefaultEditStyleController, TComponent>(
        "TcxDefaultEditStyleController", [](ClassBuilder<TcxDefaultEditStyleController>& b) {
            PublishEditStyles(b);
        });
}

void TcxDefaultEditStyleController::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    ++TheDefault().instances;
}

void TcxDefaultEditStyleController::Destroy()
{
    auto& unit = TheDefault();
    if (unit.instances > 0 && --unit.instances == 0 && unit.controller) {
        unit.controller->RestoreStyles();
        unit.controller->OnStyleChanged.Clear();
    }
    TComponent::Destroy();
}

int TcxDefaultEditStyleController::InstanceCount() { return TheDefault().instances; }

void TcxDefaultEditStyleController::Loaded()
{
    TComponent::Loaded();
    DefaultEditStyleController()->Loaded();
}

void TcxDefaultEditStyleController::RestoreStyles() { DefaultEditStyleController()->RestoreStyles(); }

TcxCustomEditStyle* TcxDefaultEditStyleController::GetInternalStyle(TcxContainerStateItem state) const
{
    return DefaultEditStyleController()->GetInternalStyle(state);
}

void TcxDefaultEditStyleController::SetInternalStyle(TcxContainerStateItem state, TcxCustomEditStyle* value)
{
    DefaultEditStyleController()->SetInternalStyle(state, value);
}

TcxEditStyle* TcxDefaultEditStyleController::Style() const { return DefaultEditStyleController()->Style(); }
TcxEditStyleEx* TcxDefaultEditStyleController::StyleFocused() const
{
    return DefaultEditStyleController()->StyleFocused();
}
TcxEditStyleEx* TcxDefaultEditStyleController::StyleDisabled() const
{
    return DefaultEditStyleController()->StyleDisabled();
}
TcxEditStyleEx* TcxDefaultEditStyleController::StyleHot() const { return DefaultEditStyleController()->StyleHot(); }

TNotifyEvent TcxDefaultEditStyleController::OnStyleChanged() const
{
    return DefaultEditStyleController()->OnStyleChanged;
}

void TcxDefaultEditStyleController::SetOnStyleChanged(const TNotifyEvent& value)
{
    DefaultEditStyleController()->OnStyleChanged = value;
}
