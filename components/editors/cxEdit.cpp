#include "components/editors/cxEdit.h"

#include <algorithm>
#include <memory>

#include "components/data/cxFilterConsts.h"
#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditViewData.h"
#include "components/editors/cxEditUtils.h"
#include "platform/graphics/wingdi.h"
#include "platform/hostlib/core/update_scope.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

// ---- enumerations ------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TcxEditButtonKind*)
{
    static const TEnumInfo info{"TcxEditButtonKind", {"bkEllipsis", "bkDown", "bkGlyph", "bkText"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditButtonState*)
{
    static const TEnumInfo info{"TcxEditButtonState", {"ebsDisabled", "ebsNormal", "ebsPressed", "ebsSelected"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditButtonStyle*)
{
    static const TEnumInfo info{"TcxEditButtonStyle", {"btsDefault", "bts3D", "btsFlat", "btsSimple", "btsHotFlat", "btsUltraFlat", "btsOffice11"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditButtonsViewStyle*)
{
    static const TEnumInfo info{"TcxEditButtonsViewStyle", {"bvsNormal", "bvsButtonsOnly", "bvsButtonsAutoWidth"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditButtonTransparency*)
{
    static const TEnumInfo info{"TcxEditButtonTransparency", {"ebtNone", "ebtInactive", "ebtAlways", "ebtHideInactive", "ebtHideUnselected"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditBorderStyle*)
{
    static const TEnumInfo info{"TcxEditBorderStyle", {"ebsNone", "ebsSingle", "ebsThick", "ebsFlat", "ebs3D", "ebsUltraFlat", "ebsOffice11"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditPopupBorderStyle*)
{
    static const TEnumInfo info{"TcxEditPopupBorderStyle", {"epbsDefault", "epbsSingle", "epbsFrame3D", "epbsFlat"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditVertAlignment*)
{
    static const TEnumInfo info{"TcxEditVertAlignment", {"taTopJustify", "taBottomJustify", "taVCenter"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxBlobKind*)
{
    static const TEnumInfo info{"TcxBlobKind", {"bkNone", "bkBlob", "bkGraphic", "bkMemo", "bkOle"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditDisplayFormatOption*)
{
    static const TEnumInfo info{"TcxEditDisplayFormatOption", {"dfoSupports", "dfoNoCurrencyValue"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditEditingStyle*)
{
    static const TEnumInfo info{"TcxEditEditingStyle", {"esEdit", "esEditList", "esFixedList", "esNoEdit"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditPaintOption*)
{
    static const TEnumInfo info{"TcxEditPaintOption", {"epoAllowZeroHeight", "epoAutoHeight", "epoShowEndEllipsis", "epoHasExternalBorder"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxEditSupportedOperation*)
{
    static const TEnumInfo info{"TcxEditSupportedOperation", {"esoAlwaysHotTrack", "esoAutoHeight", "esoFiltering", "esoHorzAlignment", "esoHotTrack", "esoIncSearch", "esoNoFilterItems", "esoSorting", "esoSortingByDisplayText"}, 0};
    return info;
}

namespace {

struct Unit {
    int starts = 0;
    std::unique_ptr<TcxRegisteredClasses, FreeDeleter> registered;
    std::vector<TcxCustomEditProperties*> properties;
};

Unit& TheUnit()
{
    static Unit unit;
    return unit;
}

bool InState(TComponent* component, TComponentStateFlag flag)
{
    return component && component->ComponentState().Contains(flag);
}

} // namespace

// ---- TcxEditButton -----------------------------------------------------------------

TClass TcxEditButton::StaticClass()
{
    return DefineClass<TcxEditButton, TCollectionItem>("TcxEditButton", [](ClassBuilder<TcxEditButton>& b) {
        b.Property("Caption", &TcxEditButton::Caption, &TcxEditButton::SetCaption);
        b.Property("Default", &TcxEditButton::Default, &TcxEditButton::SetDefault).Default(false);
        b.Property("Enabled", &TcxEditButton::Enabled, &TcxEditButton::SetEnabled).Default(true);
        b.Property("Glyph", &TcxEditButton::Glyph, &TcxEditButton::SetGlyph);
        b.Property("Kind", &TcxEditButton::Kind, &TcxEditButton::SetKind).Default(bkDown);
        b.Property("LeftAlignment", &TcxEditButton::LeftAlignment, &TcxEditButton::SetLeftAlignment).Default(false);
        b.Property("Stretchable", &TcxEditButton::Stretchable, &TcxEditButton::SetStretchable).Default(true);
        b.Property("Visible", &TcxEditButton::Visible, &TcxEditButton::SetVisible).Default(true);
        b.Property("Width", &TcxEditButton::Width, &TcxEditButton::SetWidth).Default(0);
    });
}

void TcxEditButton::Construct(TCollection* collection)
{
    TCollectionItem::Construct(collection);
    // The first button a designer adds is the default one.
    TComponent* owner = collection ? GetOwnerComponent(collection) : nullptr;
    if (collection && collection->Count() == 1 && InState(owner, csDesigning) && !InState(owner, csLoading))
        default_ = true;
}

void TcxEditButton::Destroy()
{
    glyph_.reset();
    TCollectionItem::Destroy();
}

TcxEditButtons* TcxEditButton::Buttons() const { return As<TcxEditButtons>(Collection()); }

template <class T>
void TcxEditButton::Change(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    Changed(false);
}

void TcxEditButton::SetCaption(const std::string& value)
{
    if (caption_ == value)
        return;
    caption_ = value;
    visibleCaption_ = RemoveAccelChars(value);
    Changed(false);
}

void TcxEditButton::SetDefault(bool value)
{
    if (default_ == value)
        return;
    default_ = value;
    TcxEditButtons* buttons = Buttons();
    if (!value || !buttons) {
        Changed(false);
        return;
    }
    for (int i = 0; i < buttons->Count(); ++i)
        if (buttons->Items(i) != this)
            buttons->Items(i)->default_ = false;
    Changed(true);
}

void TcxEditButton::SetEnabled(bool value) { Change(enabled_, value); }
void TcxEditButton::SetKind(TcxEditButtonKind value) { Change(kind_, value); }
void TcxEditButton::SetLeftAlignment(bool value) { Change(leftAlignment_, value); }
void TcxEditButton::SetStretchable(bool value) { Change(stretchable_, value); }
void TcxEditButton::SetVisible(bool value) { Change(visible_, value); }
void TcxEditButton::SetTextColor(TColor value) { Change(textColor_, value); }

void TcxEditButton::SetWidth(int value)
{
    if (width_ >= 0)
        Change(width_, value);
}

TBitmap* TcxEditButton::Glyph() const
{
    if (!glyph_) {
        glyph_.reset(CreateObject<TBitmap>());
        glyph_->OnChange = TNotifyEvent::Bind(const_cast<TcxEditButton*>(this), &TcxEditButton::GlyphChanged);
    }
    return glyph_.get();
}

void TcxEditButton::SetGlyph(TBitmap* value) { Glyph()->Assign(value); }

void TcxEditButton::GlyphChanged(TObject*) { Changed(false); }

void TcxEditButton::Assign(TPersistent* source)
{
    auto* other = As<TcxEditButton>(source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    if (Collection())
        Collection()->BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] {
        if (Collection())
            Collection()->EndUpdate();
    });
    caption_ = other->caption_;
    visibleCaption_ = other->visibleCaption_;
    SetDefault(other->default_);
    enabled_ = other->enabled_;
    if (other->glyph_)
        Glyph()->Assign(other->glyph_.get());
    else if (glyph_)
        glyph_->Assign(nullptr);
    kind_ = other->kind_;
    leftAlignment_ = other->leftAlignment_;
    stretchable_ = other->stretchable_;
    textColor_ = other->textColor_;
    visible_ = other->visible_;
    width_ = other->width_;
    Changed(false);
}

// ---- TcxEditButtons ----------------------------------------------------------------

TClass TcxEditButtons::StaticClass() { return DefineClass<TcxEditButtons, TOwnedCollection>("TcxEditButtons"); }

int TcxEditButtons::VisibleCount() const
{
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        count += Items(i)->Visible() ? 1 : 0;
    return count;
}

void TcxEditButtons::Update(TCollectionItem*)
{
    if (OnChange)
        OnChange(this);
}

// ---- TcxEditAlignment --------------------------------------------------------------

TClass TcxEditAlignment::StaticClass()
{
    return DefineClass<TcxEditAlignment, TPersistent>("TcxEditAlignment", [](ClassBuilder<TcxEditAlignment>& b) {
        b.Property("Horz", &TcxEditAlignment::Horz, &TcxEditAlignment::SetHorz)
            .NoDefault()
            .Stored(&TcxEditAlignment::IsHorzStored);
        b.Property("Vert", &TcxEditAlignment::Vert, &TcxEditAlignment::SetVert)
            .NoDefault()
            .Stored(&TcxEditAlignment::IsVertStored);
    });
}

void TcxEditAlignment::DoChanged()
{
    if (OnChanged)
        OnChanged(this);
}

void TcxEditAlignment::SetHorz(TAlignment value)
{
    if (isHorzAssigned_ && horz_ == value)
        return;
    horz_ = value;
    isHorzAssigned_ = true;
    DoChanged();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment value)
{
    if (vert_ == value)
        return;
    vert_ = value;
    DoChanged();
}

void TcxEditAlignment::Reset()
{
    isHorzAssigned_ = false;
    DoChanged();
}

void TcxEditAlignment::Assign(TPersistent* source)
{
    auto* other = As<TcxEditAlignment>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    vert_ = other->vert_;
    horz_ = other->horz_;
    isHorzAssigned_ = other->isHorzAssigned_;
    DoChanged();
}

// ---- TcxCustomEditPropertiesValues -------------------------------------------------

TClass TcxCustomEditPropertiesValues::StaticClass()
{
    return DefineClass<TcxCustomEditPropertiesValues, TPersistent>(
        "TcxCustomEditPropertiesValues", [](ClassBuilder<TcxCustomEditPropertiesValues>& b) {
            b.Property("ReadOnly", &TcxCustomEditPropertiesValues::ReadOnly,
                       &TcxCustomEditPropertiesValues::SetReadOnly)
                .Stored(false);
        });
}

TcxCustomEditProperties* TcxCustomEditPropertiesValues::Properties() const
{
    return dynamic_cast<TcxCustomEditProperties*>(owner_);
}

void TcxCustomEditPropertiesValues::Changed()
{
    if (auto* properties = Properties())
        properties->Changed();
}

void TcxCustomEditPropertiesValues::SetReadOnly(bool value)
{
    if (readOnly_ == value)
        return;
    readOnly_ = value;
    Changed();
}

void TcxCustomEditPropertiesValues::BeginUpdate()
{
    if (auto* properties = Properties())
        properties->BeginUpdate();
}

void TcxCustomEditPropertiesValues::EndUpdate(bool invokeChanged)
{
    if (auto* properties = Properties())
        properties->EndUpdate(invokeChanged);
}

void TcxCustomEditPropertiesValues::RestoreDefaults() { SetReadOnly(false); }

void TcxCustomEditPropertiesValues::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomEditPropertiesValues>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    SetReadOnly(other->readOnly_);
}

// ---- TcxCustomEditDefaultValuesProvider --------------------------------------------

TClass TcxCustomEditDefaultValuesProvider::StaticClass()
{
    return DefineClass<TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent>(
        "TcxCustomEditDefaultValuesProvider");
}

void TcxCustomEditDefaultValuesProvider::ClearUsers()
{
    for (TcxCustomEditProperties* properties : TheUnit().properties)
        if (properties->IDefaultValuesProvider() && properties->IDefaultValuesProvider()->GetInstance() == this)
            properties->ForgetIDefaultValuesProvider();
}

void TcxCustomEditDefaultValuesProvider::Destroy()
{
    ClearUsers();
    TcxInterfacedPersistent::Destroy();
}

// ---- TcxCustomEditProperties -------------------------------------------------------

TClass TcxCustomEditProperties::StaticClass()
{
    return DefineClass<TcxCustomEditProperties, TcxInterfacedPersistent>(
        "TcxCustomEditProperties", [](ClassBuilder<TcxCustomEditProperties>& b) {
            using P = TcxCustomEditProperties;
            b.Property("Alignment", &P::Alignment, &P::SetAlignment).Stored(&P::IsAlignmentStored);
            b.Property("AssignedValues", &P::AssignedValues, &P::SetAssignedValues);
            b.Property("AutoSelect", &P::AutoSelect, &P::SetAutoSelect).Default(true);
            b.Property("BeepOnError", &P::BeepOnError, &P::SetBeepOnError).Default(false);
            b.Property("Buttons", &P::Buttons, &P::SetButtons);
            b.Property("ButtonsViewStyle", &P::ButtonsViewStyle, &P::SetButtonsViewStyle).Default(bvsNormal);
            b.Property("ClearKey", &P::ClearKey, &P::SetClearKey).Default(0);
            b.Property("ClickKey", &P::ClickKey, &P::SetClickKey).Default(16397);
            b.Property("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
            b.Property("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Stored(&P::IsReadOnlyStored);
            b.Property("UseLeftAlignmentOnEditing", &P::UseLeftAlignmentOnEditing, &P::SetUseLeftAlignmentOnEditing)
                .Stored(&P::IsUseLeftAlignmentOnEditingStored);
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(false);
            b.EventProperty("OnButtonClick", &P::OnButtonClick);
            b.EventProperty("OnChange", &P::OnChange);
            b.EventProperty("OnEditValueChanged", &P::OnEditValueChanged);
            b.EventProperty("OnValidate", &P::OnValidate);
        });
}

void TcxCustomEditProperties::Construct(TPersistent* owner)
{
    TheUnit().properties.push_back(this);
    TcxInterfacedPersistent::Construct(owner);
    freeNotificator_.reset(CreateObject<TcxFreeNotificator>(nullptr));
    freeNotificator_->OnComponentFreed = TcxFreeNotificationEvent::Bind(this, &TcxCustomEditProperties::FreeNotificationRelay);
    workAlignment_.reset(CreateObject<TcxEditAlignment>(this));
    workAlignment_->OnChanged = TNotifyEvent::Bind(this, &TcxCustomEditProperties::AlignmentChangedHandler);
    alignment_.reset(CreateObject<TcxEditAlignment>(this));
    assignedValues_.reset(CreateInstance<TcxCustomEditPropertiesValues>(GetAssignedValuesClass(), this));
    buttons_.reset(CreateObject<TcxEditButtons>(this));
    buttons_->OnChange = TNotifyEvent::Bind(this, &TcxCustomEditProperties::ButtonsChanged);
    useLeftAlignmentOnEditing_ = DefaultUseLeftAlignmentOnEditing();
}

void TcxCustomEditProperties::Destroy()
{
    provider_ = nullptr;
    buttons_.reset();
    alignment_.reset();
    assignedValues_.reset();
    workAlignment_.reset();
    freeNotificator_.reset();
    std::erase(TheUnit().properties, this);
    TcxInterfacedPersistent::Destroy();
}

bool TcxCustomEditProperties::IsOwnerDestroying() const
{
    return InState(As<TComponent>(GetOwner()), csDestroying);
}

void TcxCustomEditProperties::Changed()
{
    if (ChangedLocked() || IsOwnerDestroying())
        return;
    if (ChangeNotification)
        ChangeNotification(this);
}

void TcxCustomEditProperties::EndUpdate(bool invokeChanged)
{
    if (updateCount_ <= 0)
        return;
    if (--updateCount_ == 0 && invokeChanged)
        Changed();
}

void TcxCustomEditProperties::ButtonsChanged(TObject*) { Changed(); }

void TcxCustomEditProperties::AlignmentChangedHandler(TObject*)
{
    alignment_->Assign(workAlignment_.get());
    Changed();
}

void TcxCustomEditProperties::BaseSetAlignment(TcxEditAlignment* value)
{
    alignment_->Assign(value);
    Changed();
}

TcxEditAlignment* TcxCustomEditProperties::Alignment() const
{
    workAlignment_->OnChanged.Clear();
    workAlignment_->Assign(alignment_.get());
    bool writing = IsAlignmentStored() && InState(GetOwnerComponent(GetOwner()), csWriting);
    if (!writing && !alignment_->IsHorzAssigned())
        workAlignment_->ShowHorz(const_cast<TcxCustomEditProperties*>(this)->GetDefaultHorzAlignment());
    workAlignment_->OnChanged =
        TNotifyEvent::Bind(const_cast<TcxCustomEditProperties*>(this), &TcxCustomEditProperties::AlignmentChangedHandler);
    return workAlignment_.get();
}

TAlignment TcxCustomEditProperties::GetDefaultHorzAlignment()
{
    return provider_ ? provider_->DefaultAlignment() : alignment_->Horz();
}

TClass TcxCustomEditProperties::GetAssignedValuesClass() { return TcxCustomEditPropertiesValues::StaticClass(); }

std::string TcxCustomEditProperties::GetValidateErrorText(int) { return cxGetResourceString(cxSEditValidateErrorText); }

bool TcxCustomEditProperties::GetReadOnly()
{
    if (assignedValues_->ReadOnly())
        return readOnly_;
    return provider_ ? provider_->DefaultReadOnly() : false;
}

void TcxCustomEditProperties::SetReadOnly(bool value)
{
    if (assignedValues_->ReadOnly() && readOnly_ == value)
        return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    readOnly_ = value;
    assignedValues_->SetReadOnly(true);
}

bool TcxCustomEditProperties::CanModify()
{
    if (assignedValues_->ReadOnly() && !readOnly_)
        return true;
    if (!GetReadOnly() && provider_)
        return provider_->DefaultCanModify();
    return !GetReadOnly();
}

void TcxCustomEditProperties::SetIDefaultValuesProvider(IcxEditDefaultValuesProvider* value)
{
    provider_ = value;
    // Editors (controls) re-read their defaults; repository items and
    // columns hear of them through the editors that use them.
    if (ownerKind_ == OwnerKind::Unknown) ownerKind_ = Is<TControl>(GetOwner()) ? OwnerKind::Editor : OwnerKind::Other;
    if (ownerKind_ == OwnerKind::Editor) DefaultValuesChanged();
}

bool TcxCustomEditProperties::DisplayFormatDefined()
{
    return provider_ && provider_->IsDisplayFormatDefined(!GetDisplayFormatOptions().Contains(dfoNoCurrencyValue));
}

TcxDataEditValueSource TcxCustomEditProperties::GetValueEditorEditValueSource(bool editFocused)
{
    if (editFocused || !GetDisplayFormatOptions().Contains(dfoSupports) || !provider_)
        return evsValue;
    return DisplayFormatDefined() ? evsText : evsValue;
}

bool TcxCustomEditProperties::IsValueEditorWithValueFormatting()
{
    return GetDisplayFormatOptions().Contains(dfoSupports) && GetEditValueSource(true) == evsValue &&
           GetEditValueSource(false) == evsText && DisplayFormatDefined();
}

TcxDataEditValueSource TcxCustomEditProperties::GetEditValueSource(bool) { return evsValue; }

std::string TcxCustomEditProperties::GetDisplayText(const Variant&, bool) { return {}; }

TcxEditSupportedOperations TcxCustomEditProperties::GetSupportedOperations()
{
    return buttons_->Count() > 0 ? TcxEditSupportedOperations{esoHotTrack} : TcxEditSupportedOperations{};
}

bool TcxCustomEditProperties::IsEditValueValid(Variant&, bool) { return true; }

void TcxCustomEditProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue, bool)
{
    displayValue = editValue;
}

bool TcxCustomEditProperties::CompareDisplayValues(const Variant& value1, const Variant& value2)
{
    Variant display1, display2;
    PrepareDisplayValue(value1, display1, false);
    PrepareDisplayValue(value2, display2, false);
    return VarEqualsExact(display1, display2);
}

void TcxCustomEditProperties::ValidateDisplayValue(Variant& displayValue, std::string& errorText, bool& error,
                                                   TcxCustomEdit* edit)
{
    if (!CanValidate())
        return;
    if (errorText.empty())
        errorText = GetValidateErrorText(0);
    bool changed = false;
    if (edit)
        DoValidate(displayValue, errorText, error, edit, changed);
}

void TcxCustomEditProperties::DoValidate(Variant& displayValue, std::string& errorText, bool& error,
                                         TcxCustomEdit* edit, bool& isUserErrorDisplayValue)
{
    isUserErrorDisplayValue = false;
    if (!edit || !edit->IsOnValidateEventAssigned())
        return;
    Variant before = displayValue;
    edit->DoOnValidate(displayValue, errorText, error);
    if (!error)
        return;
    if (VarToStr(displayValue) != VarToStr(before))
        isUserErrorDisplayValue = true;
    else
        displayValue = Variant(edit->GetDisplayValue());
}

TClass TcxCustomEditProperties::GetContainerClass() { return TcxCustomEdit::StaticClass(); }
TClass TcxCustomEditProperties::GetStyleClass() { return TcxEditStyle::StaticClass(); }
TClass TcxCustomEditProperties::GetStyleExClass() { return TcxEditStyleEx::StaticClass(); }
TClass TcxCustomEditProperties::GetViewInfoClass() { return TcxCustomEditViewInfo::StaticClass(); }
TClass TcxCustomEditProperties::GetViewDataClass() { return TcxCustomEditViewData::StaticClass(); }

TcxCustomEditViewData* TcxCustomEditProperties::CreateViewData(TcxCustomEditStyle* style, bool isInplace)
{
    return CreateInstance<TcxCustomEditViewData>(GetViewDataClass(), this, style, isInplace);
}

SIZE TcxCustomEditProperties::GetEditSize(TcxCanvas* canvas, TcxCustomEditStyle* style, bool isInplace,
                                          const Variant& editValue, const TcxEditSizeProperties& sizeProperties)
{
    ObjectPtr<TcxCustomEditViewData> viewData(CreateViewData(style, isInplace));
    return viewData->GetEditSize(canvas, editValue, sizeProperties);
}

SIZE TcxCustomEditProperties::GetEditConstantPartSize(TcxCanvas* canvas, TcxCustomEditStyle* style, bool isInplace,
                                                      const TcxEditSizeProperties& sizeProperties,
                                                      SIZE& minContentSize)
{
    ObjectPtr<TcxCustomEditViewData> viewData(CreateViewData(style, isInplace));
    SIZE size{};
    viewData->GetEditConstantPartSize(canvas, sizeProperties, minContentSize, size);
    return size;
}

SIZE TcxCustomEditProperties::GetEditContentSize(TcxCanvas* canvas, TcxCustomEditStyle* style, bool isInplace,
                                                 const Variant& editValue, const TcxEditSizeProperties& sizeProperties)
{
    ObjectPtr<TcxCustomEditViewData> viewData(CreateViewData(style, isInplace));
    return viewData->GetEditContentSize(canvas, editValue, sizeProperties);
}

void TcxCustomEditProperties::RestoreDefaults()
{
    alignment_->Reset();
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    assignedValues_->RestoreDefaults();
}

void TcxCustomEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomEditProperties>(source);
    if (!other) {
        TcxInterfacedPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    SetAutoSelect(other->autoSelect_);
    buttons_->Assign(other->buttons_.get());
    SetButtonsViewStyle(other->buttonsViewStyle_);
    beepOnError_ = other->beepOnError_;
    clearKey_ = other->clearKey_;
    clickKey_ = other->clickKey_;
    SetUseLeftAlignmentOnEditing(other->useLeftAlignmentOnEditing_);
    provider_ = other->provider_;
    BaseSetAlignment(other->Alignment());
    assignedValues_->SetReadOnly(false);
    if (other->assignedValues_->ReadOnly())
        SetReadOnly(other->readOnly_);
    immediatePost_ = other->immediatePost_;
    allowMouseWheel_ = other->allowMouseWheel_;
    validateOnEnter_ = other->validateOnEnter_;
    OnButtonClick = other->OnButtonClick;
    OnChange = other->OnChange;
    OnEditValueChanged = other->OnEditValueChanged;
    OnValidate = other->OnValidate;
}

// ---- unit functions ----------------------------------------------------------------

TcxRegisteredClasses* GetRegisteredEditProperties()
{
    auto& registered = TheUnit().registered;
    if (!registered)
        registered.reset(CreateObject<TcxRegisteredClasses>(true));
    return registered.get();
}

const std::vector<TcxCustomEditProperties*>& cxEditPropertiesList() { return TheUnit().properties; }

TComponent* GetOwnerComponent(TPersistent* persistent)
{
    while (persistent && !Is<TComponent>(persistent))
        persistent = persistent->GetOwner();
    return As<TComponent>(persistent);
}

TShiftState ButtonToShift(TMouseButton button)
{
    switch (button) {
    case mbLeft: return TShiftState{ssLeft};
    case mbRight: return TShiftState{ssRight};
    case mbMiddle: return TShiftState{ssMiddle};
    }
    return {};
}

WPARAM ShiftStateToKeys(TShiftState shift)
{
    WPARAM keys = 0;
    const std::pair<TShiftStateFlag, WPARAM> map[] = {
        {ssShift, MK_SHIFT}, {ssCtrl, MK_CONTROL}, {ssLeft, MK_LBUTTON}, {ssRight, MK_RBUTTON}, {ssMiddle, MK_MBUTTON}};
    for (const auto& [flag, key] : map)
        if (shift.Contains(flag))
            keys |= key;
    return keys;
}

void SendKeyDown(TWinControl* control, WORD key) { SendMessageA(control->Handle(), WM_KEYDOWN, key, 0); }
void SendKeyPress(TWinControl* control, char key)
{
    SendMessageA(control->Handle(), WM_CHAR, static_cast<unsigned char>(key), 0);
}
void SendKeyUp(TWinControl* control, WORD key) { SendMessageA(control->Handle(), WM_KEYUP, key, 0); }

void CheckSize(SIZE& size, const SIZE& minSize)
{
    size.cx = std::max(size.cx, minSize.cx);
    size.cy = std::max(size.cy, minSize.cy);
}

bool InternalVarEqualsExact(const Variant& v1, const Variant& v2)
{
    return VarType(v1) == VarType(v2) && VarEqualsExact(v1, v2);
}

void UniteRegions(TcxRegion* region, TcxRegion* other)
{
    CombineRgn(region->Handle(), region->Handle(), other->Handle(), RGN_OR);
}

namespace {

// A wheel-scrolling cursor: a ring with arrows up and down, hot spot centred.
HCURSOR MakeMouseWheelCursor()
{
    const int size = 32;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateCompatibleBitmap(screen, size, size);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    RECT all{0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Ellipse(dc, 8, 8, 24, 24);
    const POINT up[] = {{16, 1}, {11, 7}, {21, 7}}, down[] = {{16, 31}, {11, 25}, {21, 25}};
    Polygon(dc, up, 3);
    Polygon(dc, down, 3);
    SelectObject(dc, color);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Ellipse(dc, 11, 11, 21, 21);
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO info{};
    info.fIcon = FALSE;
    info.xHotspot = info.yHotspot = size / 2;
    info.hbmMask = mask;
    info.hbmColor = color;
    HICON cursor = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(color);
    return cursor;
}

std::string FilterText(int identifier) { return cxGetResourceStringNet(LoadStr(identifier)); }

} // namespace

void cxEditInitialize()
{
    if (TheUnit().starts++ > 0)
        return;
    if (Screen)
        Screen->SetCursors(crcxEditMouseWheel, MakeMouseWheelCursor());
    DefaultEditStyleController();
    cxFilterGetResourceStringFunc = &FilterText;
}

void cxEditFinalize()
{
    auto& unit = TheUnit();
    if (unit.starts == 0 || --unit.starts > 0)
        return;
    cxFilterGetResourceStringFunc = nullptr;
    unit.registered.reset();
    FreeDefaultEditStyleController();
}
