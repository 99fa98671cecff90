#include "components/foundation/cxContainerStyles.h"

#include "components/foundation/cxContainer.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/controls.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

TcxStyleController* cxContainerDefaultStyleController = nullptr;

TcxStyleController* DefaultContainerStyleController() { return cxContainerDefaultStyleController; }

const std::array<const char*, cxContainerStyleValueCount> cxContainerStyleValueNameA = {
    "BorderColor", "BorderStyle", "Color", "Edges", "Font", "HotTrack", "Shadow", "TextColor", "TextStyle", "TransparentBorder",
};

namespace {

// Border styles of the focused and hot states of a hot-tracking style, by
// the base style's border style.
constexpr TcxContainerBorderStyle kRaisedBorderStyle[] = {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsUltraFlat, cbsOffice11};

constexpr TcxContainerBorderStyle kBorderStyleOfKind[] = {cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11};

// Bounds a controller chain walk; real chains are a few links long.
constexpr int kMaxControllerChain = 1000;

}  // namespace

const TEnumInfo& EnumTypeInfo(TcxContainerStateItem*)
{
    static const TEnumInfo info{"TcxContainerStateItem", {"csNormal", "csActive", "csDisabled", "csHotTrack"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxContainerBorderStyle*)
{
    static const TEnumInfo info{
        "TcxContainerBorderStyle", {"cbsNone", "cbsSingle", "cbsThick", "cbsFlat", "cbs3D", "cbsUltraFlat", "cbsOffice11"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxContainerStyleValue*)
{
    static const TEnumInfo info{"TcxContainerStyleValue",
                                {"csvBorderColor", "csvBorderStyle", "csvColor", "csvEdges", "csvFont", "csvHotTrack",
                                 "csvShadow", "csvTextColor", "csvTextStyle", "csvTransparentBorder"},
                                0};
    return info;
}

// ---- construction -----------------------------------------------------------------

TClass TcxCustomContainerStyle::StaticClass()
{
    return DefineClass<TcxCustomContainerStyle, TPersistent>("TcxCustomContainerStyle");
}

void TcxCustomContainerStyle::Construct(TPersistent* owner, bool isHolder)
{
    owner_ = owner;
    isHolder_ = isHolder;
    if (isHolder_) assignedValues_ = {csvColor, csvFont, csvTextColor, csvTextStyle};
    visibleFont_ = MakeObject<TFont>();
    if (!IsBaseStyle()) return;
    if (!isHolder_) {
        ownFont_ = MakeObject<TFont>();
        ownFont_->OnChange = TNotifyEvent::Bind(this, &TcxCustomContainerStyle::FontChanged);
        font_ = ownFont_.get();
    }
    lookAndFeel_ = MakeObject<TcxLookAndFeel>(static_cast<TPersistent*>(this));
    lookAndFeel_->OnChanged = TcxLookAndFeelChangedEvent::Bind(this, &TcxCustomContainerStyle::LookAndFeelChanged);
    BaseSetStyleController(GetDefaultStyleController());
}

void TcxCustomContainerStyle::Construct(TPersistent* owner, TcxCustomContainerStyle* baseStyle, TcxContainerStateItem state)
{
    state_ = state;
    if (state != csNormal) baseStyle_ = baseStyle;
    Construct(owner, false);
}

void TcxCustomContainerStyle::BeforeDestruction()
{
    destroying_ = true;
    TPersistent::BeforeDestruction();
}

void TcxCustomContainerStyle::Destroy()
{
    destroying_ = true;
    if (controller_) controller_->RemoveListener(this);
    controller_ = nullptr;
    lookAndFeel_.reset();
    visibleFont_.reset();
    font_ = nullptr;
    ownFont_.reset();
    TPersistent::Destroy();
}

TcxContainer* TcxCustomContainerStyle::GetContainer() const { return As<TcxContainer>(owner_); }

// ---- resolution -------------------------------------------------------------------------

TcxCustomContainerStyle* TcxCustomContainerStyle::ControllerStyle() const
{
    TcxStyleController* controller = GetActiveStyleController();
    return controller ? controller->GetInternalStyle(state_) : nullptr;
}

template <class V>
bool TcxCustomContainerStyle::Lookup(TcxContainerStyleValue value, V TcxCustomContainerStyle::*field, V& result) const
{
    const TcxCustomContainerStyle* style = this;
    for (int link = 0; style && link < kMaxControllerChain; ++link) {
        if (style->assignedValues_.Contains(value)) {
            result = style->*field;
            return true;
        }
        style = style->ControllerStyle();
    }
    return false;
}

bool TcxCustomContainerStyle::InternalGetFont(TFont*& result) const
{
    const TcxCustomContainerStyle* style = this;
    for (int link = 0; style && link < kMaxControllerChain; ++link) {
        if (style->assignedValues_.Contains(csvFont) && style->GetBaseStyle()->font_) {
            result = style->GetBaseStyle()->font_;
            return true;
        }
        style = style->ControllerStyle();
    }
    return false;
}

TcxContainerStyleValues TcxCustomContainerStyle::AssignedValues() const
{
    if (!isHolder_) return assignedValues_;
    TcxContainerStyleValues all;
    for (int i = 0; i < GetStyleValueCount(); ++i) all.Include(static_cast<TcxContainerStyleValue>(i));
    return all;
}

TColor TcxCustomContainerStyle::BorderColor() const
{
    if (isHolder_) return clDefault;
    TColor value = clDefault;
    return Lookup(csvBorderColor, &TcxCustomContainerStyle::borderColor_, value) ? value : DefaultBorderColor();
}

TcxContainerBorderStyle TcxCustomContainerStyle::BorderStyle() const
{
    if (isHolder_) return RawAssigned(csvBorderStyle) ? borderStyle_ : DefaultBorderStyle();
    TcxContainerBorderStyle value = cbsNone;
    return Lookup(csvBorderStyle, &TcxCustomContainerStyle::borderStyle_, value) ? value : DefaultBorderStyle();
}

// Whether the base style of a container takes its parent's colour.
bool TcxCustomContainerStyle::IsParentColorUsed(bool inplaceMatters) const
{
    TcxContainer* container = IsBaseStyle() ? GetContainer() : nullptr;
    if (!container || !container->ParentColor() || !container->Parent()) return false;
    return !inplaceMatters || !container->IsInplace();
}

TColor TcxCustomContainerStyle::GetColor() const
{
    if (isHolder_) return color_;
    if (IsParentColorUsed(false)) return GetContainer()->Parent()->Color();
    TColor value = clDefault;
    return Lookup(csvColor, &TcxCustomContainerStyle::color_, value) ? value : DefaultColor();
}

TColor TcxCustomContainerStyle::GetStyleColor() const
{
    if (isHolder_) return color_;
    TColor value = clDefault;
    if (Lookup(csvColor, &TcxCustomContainerStyle::color_, value)) return value;
    if (IsParentColorUsed(true)) return GetContainer()->Parent()->Color();
    return DefaultColor();
}

TcxBorders TcxCustomContainerStyle::Edges() const
{
    if (isHolder_) return {};
    if (!IsBaseStyle()) return baseStyle_->Edges();
    TcxBorders value;
    return Lookup(csvEdges, &TcxCustomContainerStyle::edges_, value) ? value : DefaultEdges();
}

TFont* TcxCustomContainerStyle::Font() const
{
    if (!IsBaseStyle()) return baseStyle_->Font();
    return font_;
}

bool TcxCustomContainerStyle::HotTrack() const
{
    if (isHolder_) return RawAssigned(csvHotTrack) ? hotTrack_ : DefaultHotTrack();
    if (!IsBaseStyle()) return baseStyle_->HotTrack();
    bool value = false;
    return Lookup(csvHotTrack, &TcxCustomContainerStyle::hotTrack_, value) ? value : DefaultHotTrack();
}

bool TcxCustomContainerStyle::Shadow() const
{
    if (isHolder_) return false;
    if (!IsBaseStyle()) return baseStyle_->Shadow();
    bool value = false;
    return Lookup(csvShadow, &TcxCustomContainerStyle::shadow_, value) ? value : DefaultShadow();
}

TColor TcxCustomContainerStyle::GetTextColor() const
{
    if (isHolder_) return textColor_;
    TColor value = clDefault;
    return Lookup(csvTextColor, &TcxCustomContainerStyle::textColor_, value) ? value : DefaultTextColor();
}

TFontStyles TcxCustomContainerStyle::GetTextStyle() const
{
    if (isHolder_) return font_ ? font_->Style() : TFontStyles{};
    TFontStyles value;
    return Lookup(csvTextStyle, &TcxCustomContainerStyle::textStyle_, value) ? value : DefaultTextStyle();
}

bool TcxCustomContainerStyle::TransparentBorder() const
{
    if (isHolder_) return true;
    if (!IsBaseStyle()) return baseStyle_->TransparentBorder();
    bool value = false;
    return Lookup(csvTransparentBorder, &TcxCustomContainerStyle::transparentBorder_, value) ? value
                                                                                           : DefaultTransparentBorder();
}

bool TcxCustomContainerStyle::IsValueAssigned(int index) const
{
    if (index < 0 || index > csvTextStyle) return false;
    if (index == csvFont) {
        TFont* font = nullptr;
        return InternalGetFont(font);
    }
    bool found = false;
    const TcxCustomContainerStyle* style = this;
    for (int link = 0; style && link < kMaxControllerChain && !found; ++link) {
        found = style->assignedValues_.Contains(static_cast<TcxContainerStyleValue>(index));
        style = style->ControllerStyle();
    }
    return found;
}

bool TcxCustomContainerStyle::HasBorder() const { return IsBaseStyle() || baseStyle_->HasBorder(); }

// ---- defaults ---------------------------------------------------------------------------

TColor TcxCustomContainerStyle::DefaultBorderColor() const
{
    if (IsBaseStyle()) return clWindowFrame;
    return state_ == csDisabled ? clBtnShadow : baseStyle_->BorderColor();
}

TColor TcxCustomContainerStyle::DefaultColor() const
{
    if (!IsBaseStyle()) return state_ == csDisabled ? clBtnFace : baseStyle_->GetColor();
    TcxContainer* container = GetContainer();
    return container && !container->DefaultParentColor() ? clWindow : clBtnFace;
}

TColor TcxCustomContainerStyle::DefaultTextColor() const
{
    if (!IsBaseStyle()) return state_ == csDisabled ? clBtnShadow : baseStyle_->GetTextColor();
    return font_ ? font_->Color() : clWindowText;
}

TFontStyles TcxCustomContainerStyle::DefaultTextStyle() const
{
    if (!IsBaseStyle()) return baseStyle_->GetTextStyle();
    return font_ ? font_->Style() : TFontStyles{};
}

TcxContainerBorderStyle TcxCustomContainerStyle::DefaultBorderStyle() const
{
    if (IsBaseStyle()) return kBorderStyleOfKind[GetLookAndFeel()->Kind()];
    const TcxContainerBorderStyle base = baseStyle_->BorderStyle();
    // The row of the disabled state equals the normal one.
    const bool raised = HotTrack() && (state_ == csActive || state_ == csHotTrack);
    return raised ? kRaisedBorderStyle[base] : base;
}

TcxStyleController* TcxCustomContainerStyle::GetDefaultStyleController() const
{
    return cxContainerDefaultStyleController;
}

bool TcxCustomContainerStyle::GetStyleValueName(int index, std::string& name) const
{
    if (index < 0 || index >= cxContainerStyleValueCount) return false;
    name = cxContainerStyleValueNameA[static_cast<std::size_t>(index)];
    return true;
}

bool TcxCustomContainerStyle::GetStyleValue(const std::string& name, int& index) const
{
    std::string valueName;
    for (int i = 0; i < GetStyleValueCount(); ++i) {
        if (GetStyleValueName(i, valueName) && SameText(valueName, name)) {
            index = i;
            return true;
        }
    }
    return false;
}

// ---- setters ------------------------------------------------------------------------------

template <class V>
void TcxCustomContainerStyle::SetValue(TcxContainerStyleValue value, V TcxCustomContainerStyle::*field, V newValue)
{
    if (RawAssigned(value) && this->*field == newValue) return;
    this->*field = newValue;
    IncludeAssigned(value);
    Changed();
}

void TcxCustomContainerStyle::SetAssignedValues(TcxContainerStyleValues value)
{
    if (assignedValues_ == value) return;
    assignedValues_ = value;
    if (IsBaseStyle()) UpdateFont();
    Changed();
}

void TcxCustomContainerStyle::SetBorderColor(TColor value) { SetValue(csvBorderColor, &TcxCustomContainerStyle::borderColor_, value); }

void TcxCustomContainerStyle::SetBorderStyle(TcxContainerBorderStyle value)
{
    SetValue(csvBorderStyle, &TcxCustomContainerStyle::borderStyle_, value);
}

void TcxCustomContainerStyle::SetColor(TColor value) { SetValue(csvColor, &TcxCustomContainerStyle::color_, value); }

void TcxCustomContainerStyle::SetEdges(TcxBorders value)
{
    if (!IsBaseStyle()) return baseStyle_->SetEdges(value);
    SetValue(csvEdges, &TcxCustomContainerStyle::edges_, value);
}

void TcxCustomContainerStyle::SetHotTrack(bool value)
{
    if (!IsBaseStyle()) return baseStyle_->SetHotTrack(value);
    SetValue(csvHotTrack, &TcxCustomContainerStyle::hotTrack_, value);
}

void TcxCustomContainerStyle::SetShadow(bool value)
{
    if (!IsBaseStyle()) return baseStyle_->SetShadow(value);
    SetValue(csvShadow, &TcxCustomContainerStyle::shadow_, value);
}

void TcxCustomContainerStyle::SetTransparentBorder(bool value)
{
    if (!IsBaseStyle()) return baseStyle_->SetTransparentBorder(value);
    SetValue(csvTransparentBorder, &TcxCustomContainerStyle::transparentBorder_, value);
}

void TcxCustomContainerStyle::SetTextColor(TColor value)
{
    if (RawAssigned(csvTextColor) && GetTextColor() == value) return;
    textColor_ = value;
    IncludeAssigned(csvTextColor);
    Changed();
}

void TcxCustomContainerStyle::SetTextStyle(TFontStyles value)
{
    if (RawAssigned(csvTextStyle) && GetTextStyle() == value) return;
    textStyle_ = value;
    IncludeAssigned(csvTextStyle);
    Changed();
}

void TcxCustomContainerStyle::SetFont(TFont* value)
{
    if (!IsBaseStyle()) return baseStyle_->SetFont(value);
    if (isHolder_) {
        font_ = value;
        return;
    }
    if (!value || (RawAssigned(csvFont) && ownFont_->SameAs(*value))) return;
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    ownFont_->Assign(value);
    IncludeAssigned(csvFont);
    Changed();
}

void TcxCustomContainerStyle::SetLookAndFeel(TcxLookAndFeel* value) { GetLookAndFeel()->Assign(value); }

// ---- font -------------------------------------------------------------------------------------

void TcxCustomContainerStyle::FontChanged(TObject*)
{
    if (!IsFontAssignedValueLocked()) IncludeAssigned(csvFont);
    Changed();
}

void TcxCustomContainerStyle::LockFontAssignedValue(bool lock)
{
    if (lock) ++fontAssignedLock_;
    else if (fontAssignedLock_ > 0) --fontAssignedLock_;
}

void TcxCustomContainerStyle::UpdateFont()
{
    if (isHolder_ || !IsBaseStyle() || RawAssigned(csvFont)) return;
    LockFontAssignedValue(true);
    quelvo::sys::ScopeGuard unlock([this] { LockFontAssignedValue(false); });
    TFont* chainFont = nullptr;
    const TcxCustomContainerStyle* controllerStyle = ControllerStyle();
    if (controllerStyle && controllerStyle->InternalGetFont(chainFont)) {
        ownFont_->Assign(chainFont);
        return;
    }
    TcxContainer* container = GetContainer();
    if (!container || !container->ParentFont()) RestoreFont(ownFont_.get());
}

void TcxCustomContainerStyle::RestoreFont(TFont* font)
{
    if (!font) return;
    const auto fresh = MakeObject<TFont>();
    font->Assign(fresh.get());
}

TFont* TcxCustomContainerStyle::GetVisibleFont()
{
    if (TFont* font = Font()) visibleFont_->Assign(font);
    visibleFont_->SetColor(GetTextColor());
    visibleFont_->SetStyle(GetTextStyle());
    return visibleFont_.get();
}

// ---- change signalling ---------------------------------------------------------------------

void TcxCustomContainerStyle::Changed()
{
    changed_ = true;
    CheckChanges();
}

void TcxCustomContainerStyle::EndUpdate()
{
    if (updateCount_ > 0) --updateCount_;
    CheckChanges();
}

void TcxCustomContainerStyle::CheckChanges()
{
    if (!changed_ || updateCount_ != 0) return;
    changed_ = false;
    if (!destroying_ && !isHolder_ && OnChanged) OnChanged(this);
}

void TcxCustomContainerStyle::ControllerChangedNotification(TcxStyleController*)
{
    UpdateFont();
    Changed();
}

void TcxCustomContainerStyle::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Changed(); }

// ---- controller link --------------------------------------------------------------------------

TcxStyleController* TcxCustomContainerStyle::BaseGetStyleController() const
{
    TcxStyleController* controller = GetActiveStyleController();
    return controller == GetDefaultStyleController() ? nullptr : controller;
}

// Whether the chain of normal styles from controller comes back to this style.
bool TcxCustomContainerStyle::LeadsBackHere(TcxStyleController* controller) const
{
    for (int link = 0; controller && link < kMaxControllerChain; ++link) {
        const TcxCustomContainerStyle* style = controller->GetStyle();
        if (style == this) return true;
        controller = style->BaseGetStyleController();
    }
    return controller != nullptr;
}

void TcxCustomContainerStyle::BaseSetStyleController(TcxStyleController* value)
{
    if (!IsBaseStyle()) return baseStyle_->BaseSetStyleController(value);
    TcxStyleController* defaultController = GetDefaultStyleController();
    if (defaultController && owner_ == defaultController) return;
    if (!value) value = defaultController;
    if (value && LeadsBackHere(value)) return;
    if (value == controller_) return;
    if (controller_) controller_->RemoveListener(this);
    controller_ = value;
    if (controller_) controller_->AddListener(this);
    ControllerChangedNotification(value);
}

void TcxCustomContainerStyle::ControllerFreeNotification(TcxStyleController* controller)
{
    if (controller && controller == GetActiveStyleController()) BaseSetStyleController(nullptr);
}

// ---- restoring and assigning ---------------------------------------------------------------------

void TcxCustomContainerStyle::RestoreDefaults()
{
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    assignedValues_ = {};
    if (IsBaseStyle()) RestoreBaseDefaults();
    TcxContainer* container = GetContainer();
    if (!container || !container->DefaultParentColor()) return Changed();
    const TcxCustomContainerStyle* controllerStyle = GetActiveStyleController() ? GetActiveStyleController()->GetStyle() : nullptr;
    if (!controllerStyle || !controllerStyle->IsValueAssigned(csvColor)) container->SetParentColor(true);
    Changed();
}

void TcxCustomContainerStyle::RestoreBaseDefaults()
{
    lookAndFeel_->Reset();
    if (TcxContainer* container = GetContainer()) {
        container->SetParentColor(false);
        container->SetParentFont(true);
    } else if (!isHolder_) {
        LockFontAssignedValue(true);
        quelvo::sys::ScopeGuard unlock([this] { LockFontAssignedValue(false); });
        RestoreFont(ownFont_.get());
    }
    UpdateFont();
}

void TcxCustomContainerStyle::Assign(TPersistent* source)
{
    auto* style = As<TcxCustomContainerStyle>(source);
    if (!style) return TPersistent::Assign(source);
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    if (IsBaseStyle()) {
        BaseSetStyleController(style->BaseGetStyleController());
        GetLookAndFeel()->Assign(style->GetLookAndFeel());
    }
    borderColor_ = style->borderColor_;
    borderStyle_ = style->borderStyle_;
    edges_ = style->edges_;
    hotTrack_ = style->hotTrack_;
    shadow_ = style->shadow_;
    transparentBorder_ = style->transparentBorder_;
    color_ = style->color_;
    AssignFont(*style);
    assignedValues_ = style->assignedValues_;
    if (!IsBaseStyle()) assignedValues_.Exclude(csvFont);
    Changed();
}

// State styles take their font from the base style, so they copy only the
// text colour and style.
void TcxCustomContainerStyle::AssignFont(const TcxCustomContainerStyle& source)
{
    if (isHolder_) {
        font_ = source.Font();
        textColor_ = source.GetTextColor();
        return;
    }
    if (ownFont_ && source.Font()) {
        ownFont_->Assign(source.Font());
        if (source.isHolder_) ownFont_->SetColor(source.GetTextColor());
    }
    textColor_ = source.GetTextColor();
    textStyle_ = source.GetTextStyle();
}

bool TcxCustomContainerStyle::IsStored(TcxContainerStyleValue value) const
{
    if (!RawAssigned(value)) return false;
    TcxContainer* container = GetContainer();
    return !container || !container->GetNotPublishedStyleValues().Contains(value);
}

// ---- published classes ---------------------------------------------------------------------------

TClass TcxContainerStyle::StaticClass()
{
    using S = TcxCustomContainerStyle;
    return DefineClass<TcxContainerStyle, TcxCustomContainerStyle>("TcxContainerStyle", [](ClassBuilder<TcxContainerStyle>& b) {
        b.Property("AssignedValues", &S::AssignedValues, &S::SetAssignedValues).Stored(false);
        b.Property("BorderColor", &S::BorderColor, &S::SetBorderColor).Stored(&S::IsBorderColorStored);
        b.Property("BorderStyle", &S::BorderStyle, &S::SetBorderStyle).Stored(&S::IsBorderStyleStored);
        b.Property("Color", &S::Color, &S::SetColor).Stored(&S::IsColorStored);
        b.Property("Edges", &S::Edges, &S::SetEdges).Stored(&S::IsEdgesStored);
        b.Property("Font", &S::Font, &S::SetFont).Stored(&S::IsFontStored);
        b.Property("HotTrack", &S::HotTrack, &S::SetHotTrack).Stored(&S::IsHotTrackStored);
        b.Property("LookAndFeel", &S::LookAndFeel, &S::SetLookAndFeel).Stored(true);
        b.Property("Shadow", &S::Shadow, &S::SetShadow).Stored(&S::IsShadowStored);
        b.Property("StyleController", &S::StyleController, &S::SetStyleController).Stored(true);
        b.Property("TextColor", &S::TextColor, &S::SetTextColor).Stored(&S::IsTextColorStored);
        b.Property("TextStyle", &S::TextStyle, &S::SetTextStyle).Stored(&S::IsTextStyleStored);
        b.Property("TransparentBorder", &S::TransparentBorder, &S::SetTransparentBorder).Stored(&S::IsTransparentBorderStored);
    });
}

TClass TcxContainerStyleEx::StaticClass()
{
    using S = TcxCustomContainerStyle;
    return DefineClass<TcxContainerStyleEx, TcxCustomContainerStyle>("TcxContainerStyleEx", [](ClassBuilder<TcxContainerStyleEx>& b) {
        b.Property("AssignedValues", &S::AssignedValues, &S::SetAssignedValues).Stored(false);
        b.Property("BorderColor", &S::BorderColor, &S::SetBorderColor).Stored(&S::IsBorderColorStored);
        b.Property("BorderStyle", &S::BorderStyle, &S::SetBorderStyle).Stored(&S::IsBorderStyleStored);
        b.Property("Color", &S::Color, &S::SetColor).Stored(&S::IsColorStored);
        b.Property("TextColor", &S::TextColor, &S::SetTextColor).Stored(&S::IsTextColorStored);
        b.Property("TextStyle", &S::TextStyle, &S::SetTextStyle).Stored(&S::IsTextStyleStored);
    });
}

// ---- the four styles -----------------------------------------------------------------------------

TClass TcxContainerStyles::StaticClass() { return DefineClass<TcxContainerStyles, TObject>("TcxContainerStyles"); }

void TcxContainerStyles::Construct(TPersistent* owner, TcxContainerStyleClass styleClass, TcxContainerStyleClass styleExClass)
{
    styles_[csNormal].reset(CreateInstance<TcxCustomContainerStyle>(styleClass, owner,
                                                                     static_cast<TcxCustomContainerStyle*>(nullptr), csNormal));
    for (TcxContainerStateItem state : {csActive, csDisabled, csHotTrack})
        styles_[state].reset(CreateInstance<TcxCustomContainerStyle>(styleExClass, owner, styles_[csNormal].get(), state));
}

void TcxContainerStyles::Destroy()
{
    for (auto it = styles_.rbegin(); it != styles_.rend(); ++it) it->reset();
    TObject::Destroy();
}

void TcxContainerStyles::SetOnChanged(const TNotifyEvent& value)
{
    for (auto& style : styles_)
        if (style) style->OnChanged = value;
}

void TcxContainerStyles::RestoreDefaults()
{
    for (auto& style : styles_) style->RestoreDefaults();
}

// ---- style controller -------------------------------------------------------------------------------

TClass TcxStyleController::StaticClass() { return DefineClass<TcxStyleController, TComponent>("TcxStyleController"); }

void TcxStyleController::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    styles_.reset(CreateObject<TcxContainerStyles>(static_cast<TPersistent*>(this), GetStyleClass(), GetStyleExClass()));
    styles_->SetOnChanged(TNotifyEvent::Bind(this, &TcxStyleController::StyleChanged));
}

void TcxStyleController::BeforeDestruction()
{
    destruction_ = true;
    TComponent::BeforeDestruction();
}

void TcxStyleController::Destroy()
{
    destruction_ = true;
    // The listeners fall back to the default controller, not to this one.
    if (cxContainerDefaultStyleController == this) cxContainerDefaultStyleController = nullptr;
    for (std::size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->ControllerFreeNotification(this);
    if (styles_) styles_->SetOnChanged({});
    styles_.reset();
    listeners_.clear();
    TComponent::Destroy();
}

void TcxStyleController::Loaded()
{
    TComponent::Loaded();
    Changed();
}

TcxContainerStyleClass TcxStyleController::GetStyleClass() const { return TcxContainerStyle::StaticClass(); }
TcxContainerStyleClass TcxStyleController::GetStyleExClass() const { return TcxContainerStyleEx::StaticClass(); }
TcxContainerStylesClass TcxStyleController::GetStylesClass() const { return TcxContainerStyles::StaticClass(); }

void TcxStyleController::AddListener(TcxCustomContainerStyle* style)
{
    if (!style || std::ranges::find(listeners_, style) != listeners_.end()) return;
    listeners_.push_back(style);
    style->GetLookAndFeel()->SetMasterLookAndFeel(GetStyle()->GetLookAndFeel());
}

void TcxStyleController::RemoveListener(TcxCustomContainerStyle* style)
{
    const auto it = std::ranges::find(listeners_, style);
    if (!style || it == listeners_.end()) return;
    // While destroying, the list stays whole for the walk over it.
    if (!destruction_) listeners_.erase(it);
    if (TcxLookAndFeel* lookAndFeel = style->GetLookAndFeel()) lookAndFeel->SetMasterLookAndFeel(nullptr);
}

void TcxStyleController::Changed()
{
    OnStyleChanged(this);
    if (destruction_) return;
    // A copy: a listener may leave while it is told.
    const auto listeners = listeners_;
    for (TcxCustomContainerStyle* style : listeners)
        if (std::ranges::find(listeners_, style) != listeners_.end()) style->ControllerChangedNotification(this);
}

void TcxStyleController::SetInternalStyle(TcxContainerStateItem state, TcxCustomContainerStyle* value)
{
    styles_->SetStyle(state, value);
}

// ---- unit ---------------------------------------------------------------------------------------------

void cxContainerStylesInitialize()
{
    RegisterClass(TcxStyleController::StaticClass());
    GroupDescendentsWith(TcxStyleController::StaticClass(), TControl::StaticClass());
}

void cxContainerStylesFinalize() { UnRegisterClass(TcxStyleController::StaticClass()); }
