// The face of the drop-down editors.
#include "components/editors/cxDropDownEdit.h"

using namespace hostlib;

TClass TcxCustomDropDownEditViewData::StaticClass()
{
    return DefineClass<TcxCustomDropDownEditViewData, TcxCustomTextEditViewData>("TcxCustomDropDownEditViewData");
}

void TcxCustomDropDownEditViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p,
                                              TcxMouseButton button, TShiftState shift,
                                              TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    TcxCustomTextEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    auto* info = static_cast<TcxCustomTextEditViewInfo*>(viewInfo);
    info->DrawSelectionBar = NeedsSelectionBar(info);
}

bool TcxCustomDropDownEditViewData::NeedsSelectionBar(TcxCustomTextEditViewInfo* viewInfo)
{
    if (viewInfo->IsInplace)
        return false;
    const TcxEditEditingStyle editing = GetProperties()->GetEditingStyle();
    if (Edit && editing == esFixedList && GetProperties()->FixedListSelection() && InFindSelection)
        return false;
    return editing == esFixedList && viewInfo->Focused && !viewInfo->Transparent && !HasPopup;
}

bool TcxCustomDropDownEditViewData::CanPressButton(TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex)
{
    auto* properties = static_cast<TcxCustomDropDownEditProperties*>(Properties());
    if (IsHotAndPopup && buttonVisibleIndex == properties->DropDownButtonVisibleIndex())
        return false;
    return TcxCustomTextEditViewData::CanPressButton(viewInfo, buttonVisibleIndex);
}

TClass TcxCustomDropDownEditProperties::GetViewDataClass() { return TcxCustomDropDownEditViewData::StaticClass(); }
