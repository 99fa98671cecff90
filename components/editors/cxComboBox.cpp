// The combo box's settings and the drop-down editors' registration.
#include "components/editors/cxComboBox.h"

#include <algorithm>

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxPopupEdit.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxEditDropDownListStyle*)
{
    static const TEnumInfo info{"TcxEditDropDownListStyle", {"lsEditFixedList", "lsEditList", "lsFixedList"}, 0};
    return info;
}

// ---- TcxCustomComboBoxProperties -------------------------------------------------------

TClass TcxCustomComboBoxProperties::StaticClass()
{
    return DefineClass<TcxCustomComboBoxProperties, TcxCustomDropDownEditProperties>("TcxCustomComboBoxProperties");
}

void TcxCustomComboBoxProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomComboBoxProperties>(source);
    if (!other)
        return TcxCustomDropDownEditProperties::Assign(source);
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomDropDownEditProperties::Assign(source);
    SetDropDownListStyle(other->dropDownListStyle_);
    SetDropDownRows(other->dropDownRows_);
    SetItemHeight(other->itemHeight_);
    revertable_ = other->revertable_;
    OnDrawItem = other->OnDrawItem;
    OnMeasureItem = other->OnMeasureItem;
}

TcxEditEditingStyle TcxCustomComboBoxProperties::GetEditingStyle()
{
    switch (dropDownListStyle_) {
    case lsEditFixedList:
        return esEditList;
    case lsFixedList:
        return esFixedList;
    case lsEditList:
        break;
    }
    return esEdit;
}

void TcxCustomComboBoxProperties::SetDropDownListStyle(TcxEditDropDownListStyle value)
{
    if (value == dropDownListStyle_)
        return;
    dropDownListStyle_ = value;
    Changed();
}

void TcxCustomComboBoxProperties::SetDropDownRows(int value)
{
    if (value < 1 || value == dropDownRows_)
        return;
    dropDownRows_ = value;
    Changed();
}

void TcxCustomComboBoxProperties::SetItemHeight(int value)
{
    if (value == itemHeight_)
        return;
    itemHeight_ = value;
    Changed();
}

TClass TcxCustomComboBoxProperties::GetViewDataClass() { return TcxCustomComboBoxViewData::StaticClass(); }

TClass TcxCustomComboBoxProperties::GetViewInfoClass() { return TcxCustomComboBoxViewInfo::StaticClass(); }

TClass TcxCustomComboBoxProperties::GetPopupWindowClass() { return TcxComboBoxPopupWindow::StaticClass(); }

// ---- popup window ----------------------------------------------------------------------

TClass TcxComboBoxPopupWindow::StaticClass()
{
    return DefineClass<TcxComboBoxPopupWindow, TcxCustomEditPopupWindow>("TcxComboBoxPopupWindow");
}

void TcxComboBoxPopupWindow::CalculateSize()
{
    ViewInfo()->SizeGripCorner = egcBottomRight;
    UpdateOwnerBounds();
    IcxEditPopupWindowOwner* edit = GetEdit();
    const RECT extent = ViewInfo()->GetBorderExtent();
    const SIZE minSize = GetMinSize();
    const SIZE preferred = edit ? edit->GetPopupWindowClientPreferredSize() : SIZE{};
    const bool resized = edit && edit->IsPopupResized() && Sizeable();
    int width = CalculateWidth(resized, extent, preferred);
    int height = CalculateHeight(resized, extent, preferred);
    if (Sizeable()) {
        if (MinWidth() > 0)
            width = std::max(width, MinWidth());
        if (MinHeight() > 0)
            height = std::max(height, MinHeight());
    }
    SetWidth(std::max<int>(width, minSize.cx));
    SetHeight(std::max<int>(height, minSize.cy));
}

int TcxComboBoxPopupWindow::CalculateWidth(bool resized, const RECT& extent, SIZE preferred)
{
    const int ownerWidth = OwnerScreenBounds().right - OwnerScreenBounds().left;
    if (resized || (!PopupAutoSize() && PopupWidth() > 0))
        return PopupWidth();
    if (PopupAutoSize())
        return std::max<int>(preferred.cx + extent.left + extent.right, ownerWidth);
    return ownerWidth;
}

int TcxComboBoxPopupWindow::CalculateHeight(bool resized, const RECT& extent, SIZE preferred)
{
    if ((!resized && PopupHeight() == 0) || (!Sizeable() && PopupAutoSize()))
        return preferred.cy + extent.top + extent.bottom;
    return PopupHeight();
}

// ---- view info and view data -----------------------------------------------------------

TClass TcxCustomComboBoxViewInfo::StaticClass()
{
    return DefineClass<TcxCustomComboBoxViewInfo, TcxCustomTextEditViewInfo>("TcxCustomComboBoxViewInfo");
}

void TcxCustomComboBoxViewInfo::Construct()
{
    TcxCustomTextEditViewInfo::Construct();
    OnCustomDraw = Event<TcxCanvas*, const RECT&>::Bind(this, &TcxCustomComboBoxViewInfo::DoCustomDraw);
}

void TcxCustomComboBoxViewInfo::DoCustomDraw(TcxCanvas* canvas, const RECT& rect)
{
    TOwnerDrawState state{odComboBoxEdit};
    if (Focused)
        state = state + TOwnerDrawState{odSelected, odFocused};
    if (Edit)
        return Edit->DoOnDrawItem(canvas, ItemIndex, rect, state);
    auto* properties = As<TcxCustomComboBoxProperties>(EditProperties);
    if (properties && properties->OnDrawItem)
        properties->OnDrawItem(nullptr, canvas, ItemIndex, rect, state);
}

TClass TcxCustomComboBoxViewData::StaticClass()
{
    return DefineClass<TcxCustomComboBoxViewData, TcxCustomDropDownEditViewData>("TcxCustomComboBoxViewData");
}

void TcxCustomComboBoxViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p,
                                          TcxMouseButton button, TShiftState shift, TcxCustomEditViewInfo* viewInfo,
                                          bool isMouseEvent)
{
    TcxCustomDropDownEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    auto* info = static_cast<TcxCustomComboBoxViewInfo*>(viewInfo);
    info->EditProperties = Properties();
    // A cell keeps the item its value named.
    if (!Edit)
        return;
    const bool ownerDrawn = ComboProperties()->DropDownListStyle() == lsFixedList && EditHasDrawItemHandler;
    info->ItemIndex = ownerDrawn ? EditItemIndex : -1;
    info->IsOwnerDrawing = info->ItemIndex != -1;
    info->Edit = info->IsOwnerDrawing ? As<TcxCustomComboBox>(Edit) : nullptr;
}

void TcxCustomComboBoxViewData::EditValueToDrawValue(TcxCanvas* canvas, const Variant& editValue,
                                                     TcxCustomEditViewInfo* viewInfo)
{
    TcxCustomDropDownEditViewData::EditValueToDrawValue(canvas, editValue, viewInfo);
    auto* info = static_cast<TcxCustomComboBoxViewInfo*>(viewInfo);
    TcxCustomComboBoxProperties* properties = ComboProperties();
    info->ItemIndex = -1;
    if (properties->DropDownListStyle() == lsFixedList && properties->OnDrawItem)
        info->ItemIndex = properties->Items()->IndexOf(VarToStr(editValue));
    info->IsOwnerDrawing = info->ItemIndex != -1;
    info->EditProperties = properties;
    info->Edit = nullptr;
}

// ---- TcxComboBoxProperties -------------------------------------------------------------

TClass TcxComboBoxProperties::StaticClass()
{
    return DefineClass<TcxComboBoxProperties, TcxCustomComboBoxProperties>(
        "TcxComboBoxProperties", [](ClassBuilder<TcxComboBoxProperties>& b) {
            using P = TcxComboBoxProperties;
            b.Property("ButtonGlyph", &P::ButtonGlyph, &P::SetButtonGlyph).Stored(&P::IsButtonGlyphStored);
            b.Property("CaseInsensitive", &P::CaseInsensitive, &P::SetCaseInsensitive).Default(true);
            b.Property("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
            b.Property("DropDownAutoWidth", &P::DropDownAutoWidth, &P::SetDropDownAutoWidth).Default(true);
            b.Property("DropDownListStyle", &P::DropDownListStyle, &P::SetDropDownListStyle).Default(lsEditList);
            b.Property("DropDownRows", &P::DropDownRows, &P::SetDropDownRows).Default(8);
            b.Property("DropDownSizeable", &P::DropDownSizeable, &P::SetDropDownSizeable).Default(false);
            b.Property("DropDownWidth", &P::DropDownWidth, &P::SetDropDownWidth).Default(0);
            b.Property("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
            b.Property("IgnoreMaskBlank", &P::IgnoreMaskBlank, &P::SetIgnoreMaskBlank).Default(false);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown).Default(true);
            b.Property("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
            b.Property("ImmediateUpdateText", &P::ImmediateUpdateText, &P::SetImmediateUpdateText).Default(false);
            b.Property("ItemHeight", &P::ItemHeight, &P::SetItemHeight).Default(0);
            b.Property("Items", &P::Items, &P::SetItems);
            // The kind first: the mask is compiled as one of its kind.
            b.Property("MaskKind", &P::MaskKind, &P::SetMaskKind).Default(emkStandard);
            b.Property("EditMask", &P::EditMask, &P::SetEditMask).Stored(&P::IsEditMaskStored);
            b.Property("MaxLength", &P::MaxLength, &P::SetMaxLength).Stored(&P::IsMaxLengthStored);
            b.Property("OEMConvert", &P::OEMConvert, &P::SetOEMConvert).Default(false);
            b.Property("PopupAlignment", &P::PopupAlignment, &P::SetPopupAlignment).Default(taLeftJustify);
            b.Property("PostPopupValueOnTab", &P::PostPopupValueOnTab, &P::SetPostPopupValueOnTab).Default(false);
            b.Property("Revertable", &P::Revertable, &P::SetRevertable).Default(false);
            b.Property("Sorted", &P::Sorted, &P::SetSorted).Default(false);
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
            b.EventProperty("OnCloseUp", &P::OnCloseUp);
            b.EventProperty("OnDrawItem", &P::OnDrawItem);
            b.EventProperty("OnInitPopup", &P::OnInitPopup);
            b.EventProperty("OnMeasureItem", &P::OnMeasureItem);
            b.EventProperty("OnNewLookupDisplayText", &P::OnNewLookupDisplayText);
            b.EventProperty("OnPopup", &P::OnPopup);
        });
}

// ---- unit start-up ---------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxDropDownEditInitialize()
{
    if (!gUnitStarts.Start())
        return;
    GetRegisteredEditProperties()->Register(TcxComboBoxProperties::StaticClass(),
                                            cxGetResourceString(scxSEditRepositoryComboBoxItem));
    GetRegisteredEditProperties()->Register(TcxPopupEditProperties::StaticClass(),
                                            cxGetResourceString(scxSEditRepositoryPopupItem));
}

void cxDropDownEditFinalize()
{
    gUnitStarts.End();
}
