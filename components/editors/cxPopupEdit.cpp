// The popup editor: its settings, its popup window, and the control that
// moves the popup control in and back.
#include "components/editors/cxPopupEdit.h"
#include "components/editors/cxEditStyles.h"

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditRepositoryItems.h"
#include "components/editors/cxTextEditLookup.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- TcxCustomPopupEditProperties ------------------------------------------------------

TClass TcxCustomPopupEditProperties::StaticClass()
{
    return DefineClass<TcxCustomPopupEditProperties, TcxCustomDropDownEditProperties>("TcxCustomPopupEditProperties");
}

void TcxCustomPopupEditProperties::Construct(TPersistent* owner)
{
    TcxCustomDropDownEditProperties::Construct(owner);
    SetPopupAutoSize(true);
    SetPopupMinHeight(100);
    SetPopupMinWidth(100);
    SetPopupHeight(200);
    SetPopupWidth(250);
    SetPopupSizeable(true);
}

void TcxCustomPopupEditProperties::Destroy()
{
    SetPopupControl(nullptr);
    TcxCustomDropDownEditProperties::Destroy();
}

void TcxCustomPopupEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomPopupEditProperties>(source);
    if (!other)
        return TcxCustomDropDownEditProperties::Assign(source);
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomDropDownEditProperties::Assign(source);
    SetPopupControl(other->popupControl_);
}

void TcxCustomPopupEditProperties::FreeNotification(TComponent* sender)
{
    TcxCustomDropDownEditProperties::FreeNotification(sender);
    if (sender == popupControl_)
        SetPopupControl(nullptr);
}

TClass TcxCustomPopupEditProperties::GetLookupDataClass() { return TcxCustomTextEditLookupData::StaticClass(); }

TClass TcxCustomPopupEditProperties::GetPopupWindowClass() { return TcxPopupEditPopupWindow::StaticClass(); }

void TcxCustomPopupEditProperties::SetPopupControl(TControl* value)
{
    if (value == popupControl_)
        return;
    if (popupControl_)
        FreeNotificator()->RemoveSender(popupControl_);
    popupControl_ = value;
    if (popupControl_)
        FreeNotificator()->AddSender(popupControl_);
    Changed();
}

// ---- TcxPopupEditProperties ------------------------------------------------------------

TClass TcxPopupEditProperties::StaticClass()
{
    return DefineClass<TcxPopupEditProperties, TcxCustomPopupEditProperties>(
        "TcxPopupEditProperties", [](ClassBuilder<TcxPopupEditProperties>& b) {
            using P = TcxPopupEditProperties;
            b.Property("ButtonGlyph", &P::ButtonGlyph, &P::SetButtonGlyph).Stored(&P::IsButtonGlyphStored);
            b.Property("CaseInsensitive", &P::CaseInsensitive, &P::SetCaseInsensitive).Default(true);
            b.Property("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
            b.Property("EchoMode", &P::EchoMode, &P::SetEchoMode).Default(eemNormal);
            b.Property("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
            b.Property("IgnoreMaskBlank", &P::IgnoreMaskBlank, &P::SetIgnoreMaskBlank).Default(false);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown).Default(true);
            b.Property("ImmediatePopup", &P::ImmediatePopup, &P::SetImmediatePopup).Default(true);
            b.Property("LookupItems", &P::LookupItems, &P::SetLookupItems);
            b.Property("LookupItemsSorted", &P::LookupItemsSorted, &P::SetLookupItemsSorted).Default(false);
            b.Property("MaxLength", &P::MaxLength, &P::SetMaxLength).Stored(&P::IsMaxLengthStored);
            // The kind first: the mask is compiled as one of its kind.
            b.Property("MaskKind", &P::MaskKind, &P::SetMaskKind).Default(emkStandard);
            b.Property("EditMask", &P::EditMask, &P::SetEditMask).Stored(&P::IsEditMaskStored);
            b.Property("OEMConvert", &P::OEMConvert, &P::SetOEMConvert).Default(false);
            b.Property("PasswordChar", &P::PasswordChar, &P::SetPasswordChar).Default('\0');
            b.Property("PopupAlignment", &P::PopupAlignment, &P::SetPopupAlignment).Default(taLeftJustify);
            b.Property("PopupAutoSize", &P::PopupAutoSize, &P::SetPopupAutoSize).Default(true);
            b.Property("PopupClientEdge", &P::PopupClientEdge, &P::SetPopupClientEdge).Default(false);
            b.Property("PopupControl", &P::PopupControl, &P::SetPopupControl);
            // The minimums before the sizes they bound.
            b.Property("PopupMinHeight", &P::PopupMinHeight, &P::SetPopupMinHeight).Default(100);
            b.Property("PopupMinWidth", &P::PopupMinWidth, &P::SetPopupMinWidth).Default(100);
            b.Property("PopupHeight", &P::PopupHeight, &P::SetPopupHeight).Default(200);
            b.Property("PopupSizeable", &P::PopupSizeable, &P::SetPopupSizeable).Default(true);
            b.Property("PopupSysPanelStyle", &P::PopupSysPanelStyle, &P::SetPopupSysPanelStyle).Default(false);
            b.Property("PopupWidth", &P::PopupWidth, &P::SetPopupWidth).Default(250);
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
            b.EventProperty("OnCloseQuery", &P::OnCloseQuery);
            b.EventProperty("OnCloseUp", &P::OnCloseUp);
            b.EventProperty("OnInitPopup", &P::OnInitPopup);
            b.EventProperty("OnPopup", &P::OnPopup);
        });
}

void TcxPopupEditProperties::Construct(TPersistent* owner)
{
    TcxCustomPopupEditProperties::Construct(owner);
    SetImmediateDropDown(true);
    SetImmediatePopup(true);
}

// ---- popup window ----------------------------------------------------------------------

TClass TcxPopupEditPopupWindowViewInfo::StaticClass()
{
    return DefineClass<TcxPopupEditPopupWindowViewInfo, TcxCustomEditPopupWindowViewInfo>(
        "TcxPopupEditPopupWindowViewInfo");
}

void TcxPopupEditPopupWindowViewInfo::DrawBorder(TcxCanvas* canvas, RECT& r)
{
    if (PopupBorderStyle != epbsFrame3D || NativeStyle)
        return TcxCustomEditPopupWindowViewInfo::DrawBorder(canvas, r);
    canvas->DrawEdge(r, false, true);
    r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    canvas->DrawEdge(r, false, false);
    r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    canvas->FrameRect(r, clInactiveBorder);
    r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    canvas->FrameRect(r, clBtnFace);
    r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

TClass TcxPopupEditPopupWindow::StaticClass()
{
    return DefineClass<TcxPopupEditPopupWindow, TcxCustomEditPopupWindow>("TcxPopupEditPopupWindow");
}

TClass TcxPopupEditPopupWindow::GetViewInfoClass() const { return TcxPopupEditPopupWindowViewInfo::StaticClass(); }

// ---- the editor ------------------------------------------------------------------------

TClass TcxCustomPopupEdit::StaticClass()
{
    return DefineClass<TcxCustomPopupEdit, TcxCustomDropDownEdit>("TcxCustomPopupEdit");
}

TClass TcxCustomPopupEdit::GetPropertiesClass() const { return TcxPopupEditProperties::StaticClass(); }

TClass TcxCustomPopupEditProperties::GetContainerClass() { return TcxPopupEdit::StaticClass(); }

void TcxCustomPopupEdit::Destroy()
{
    // The control goes home before the popup window, its parent now, is freed.
    if (movedControl_ && PopupWindow() && PopupWindow()->IsVisible())
        RestorePopupControlData();
    TcxCustomDropDownEdit::Destroy();
}

void TcxCustomPopupEdit::Notification(TComponent* component, TOperation operation)
{
    TcxCustomDropDownEdit::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == movedControl_)
        movedControl_ = nullptr;
    if (component == savedParent_)
        savedParent_ = nullptr;
}

bool TcxCustomPopupEdit::CanDropDown() { return ActiveProperties()->PopupControl() != nullptr; }

void TcxCustomPopupEdit::DoInitPopup()
{
    CheckPopupControl(ActiveProperties()->PopupControl());
    TcxCustomDropDownEdit::DoInitPopup();
}

void TcxCustomPopupEdit::CheckPopupControl(TControl* control)
{
    if (!control)
        return;
    bool circular = control == PopupWindow();
    for (TControl* c = this; c && !circular; c = c->Parent())
        circular = c == control;
    if (circular)
        throw Exception(cxGetResourceString(cxSEditPopupCircularReferencingError));
}

TWinControl* TcxCustomPopupEdit::GetPopupFocusedControl()
{
    return As<TWinControl>(ActiveProperties()->PopupControl());
}

SIZE TcxCustomPopupEdit::GetPopupWindowClientPreferredSize()
{
    TControl* control = ActiveProperties()->PopupControl();
    return control ? SIZE{control->Width(), control->Height()} : SIZE{};
}

void TcxCustomPopupEdit::PositionPopupWindowChilds(const RECT& clientRect)
{
    TControl* control = movedControl_;
    if (!control)
        return;
    control->SetLeft(clientRect.left);
    control->SetTop(clientRect.top);
    control->SetWidth(clientRect.right - clientRect.left);
    control->SetHeight(clientRect.bottom - clientRect.top);
}

void TcxCustomPopupEdit::SetupPopupWindow()
{
    // Set up again while open: a control already inside stays as it is,
    // one no longer named goes home first.
    TControl* control = ActiveProperties()->PopupControl();
    if (control != movedControl_) {
        RestorePopupControlData();
        if (control) {
            SavePopupControlData();
            control->SetParent(PopupWindow());
            control->SetVisible(true);
        }
    }
    TcxCustomDropDownEdit::SetupPopupWindow();
    if (movedControl_)
        movedControl_->SetAlign(alClient);
}

void TcxCustomPopupEdit::SavePopupControlData()
{
    TControl* control = ActiveProperties()->PopupControl();
    movedControl_ = control;
    Watch(control);
    savedAlign_ = control->Align();
    savedBorderStyle_.reset();
    if (auto* form = As<TCustomForm>(control)) {
        savedBorderStyle_ = form->BorderStyle();
        form->SetBorderStyle(bsNone);
    }
    savedBounds_ = control->BoundsRect();
    savedParent_ = control->Parent();
    Watch(savedParent_);
    savedVisible_ = control->Visible();
}

void TcxCustomPopupEdit::RestorePopupControlData()
{
    TControl* control = movedControl_;
    TWinControl* parent = savedParent_;
    movedControl_ = nullptr;
    savedParent_ = nullptr;
    if (!control || control->IsDestroying())
        return;
    control->SetVisible(false);
    control->SetParent(parent);
    control->SetAlign(savedAlign_);
    control->SetBoundsRect(savedBounds_);
    // The frame before the form shows again, so it is never seen without.
    if (auto* form = As<TCustomForm>(control); form && savedBorderStyle_)
        form->SetBorderStyle(*savedBorderStyle_);
    control->SetVisible(savedVisible_);
    Unwatch(control);
    Unwatch(parent);
}

void TcxCustomPopupEdit::PopupWindowClosed(TObject* sender)
{
    RestorePopupControlData();
    TcxCustomDropDownEdit::PopupWindowClosed(sender);
}

void TcxCustomPopupEdit::Watch(TComponent* component)
{
    if (component)
        component->FreeNotification(this);
}

void TcxCustomPopupEdit::Unwatch(TComponent* component)
{
    if (component)
        component->RemoveFreeNotification(this);
}

TClass TcxPopupEdit::StaticClass()
{
    return DefineClass<TcxPopupEdit, TcxCustomPopupEdit>("TcxPopupEdit", [](ClassBuilder<TcxPopupEdit>& b) {
        using C = TcxPopupEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
        b.Property("RepositoryItem", &C::RepositoryItem, &C::SetRepositoryItem);
        PublishEditStyles(b);
    });
}
