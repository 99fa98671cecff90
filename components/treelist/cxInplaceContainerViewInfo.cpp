#include "components/treelist/cxInplaceContainerViewInfo.h"

#include "components/treelist/cxInplaceContainerControllers.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- control view info -----------------------------------------------------------------

TClass TcxCustomControlViewInfo::StaticClass()
{
    return DefineClass<TcxCustomControlViewInfo, TObject>("TcxCustomControlViewInfo");
}

void TcxCustomControlViewInfo::Construct(TcxEditingControl* control)
{
    control_ = control;
    editCells_.reset(CreateObject<TList>());
    editCells_->SetCapacity(1024);
    brush_.reset(CreateObject<TBrush>());
    selectionBrush_.reset(CreateObject<TBrush>());
    CreatePainter();
}

void TcxCustomControlViewInfo::Destroy()
{
    if (control_ && control_->Controller()) control_->Controller()->Reset();
    painter_.reset();
    editCells_.reset();
    brush_.reset();
    selectionBrush_.reset();
    TObject::Destroy();
}

void TcxCustomControlViewInfo::SetPainter(TcxCustomControlPainter* painter) { painter_.reset(painter); }

void TcxCustomControlViewInfo::CreatePainter()
{
    SetPainter(CreateInstance<TcxCustomControlPainter>(control_->PainterClass(), control_));
}

void TcxCustomControlViewInfo::CalculateDefaultEditHeight() { cxAbstractError(); }

void TcxCustomControlViewInfo::DoCalculate()
{
    for (int i = 0; i < EditCellCount(); ++i) {
        TcxEditCellViewInfo* cell = EditCells(i);
        if (cell->Visible) cell->DoCalculate();
    }
}

void TcxCustomControlViewInfo::Invalidate(bool recalculate)
{
    if (recalculate) control_->LayoutChanged();
    else control_->InvalidateRect(clientRect_, false);
}

void TcxCustomControlViewInfo::Calculate()
{
    TcxBrushCache* cache = control_->BrushCache();
    cache->BeginUpdate();
    quelvo::sys::ScopeGuard close([cache] { cache->EndUpdate(); });
    if (GetState(cxvisStylesChanged)) {
        SetState(cxvisStylesChanged, false);
        CalculateDefaultHeights();
        viewParams_ = control_->Styles()->GetBackgroundParams();
        brush_->SetColor(viewParams_.Color);
        UpdateSelectionParams();
        control_->Invalidate();
    }
    clientRect_ = control_->GetClientBounds();
    DoCalculate();
    SetState(cxvisCalculationNeeded, false);
}

void TcxCustomControlViewInfo::UpdateSelectionParams()
{
    selectionParams_ = control_->Styles()->GetSelectionParams();
    selectionBrush_->SetColor(selectionParams_.Color);
}

TcxCustomLookAndFeelPainterClass TcxCustomControlViewInfo::GetLookAndFeelPainter() const
{
    return painter_->GetPainter();
}

TcxEditCellViewInfo* TcxCustomControlViewInfo::EditCells(int index) const
{
    return static_cast<TcxEditCellViewInfo*>(editCells_->Items(index));
}

TcxEditCellViewInfo* TcxCustomControlViewInfo::AddEditCellViewInfo(TClass cellClass, TcxCustomInplaceEditContainer* item)
{
    auto* cell = CreateInstance<TcxEditCellViewInfo>(cellClass, static_cast<TObject*>(item));
    editCells_->Add(cell);
    SetState(cxvisCalculationNeeded, true);
    return cell;
}

void TcxCustomControlViewInfo::RemoveEditCellViewInfo(TcxEditCellViewInfo* cell)
{
    editCells_->Remove(cell);
    cell->Free();
    SetState(cxvisCalculationNeeded, true);
}

void TcxCustomControlViewInfo::ClearEditCellViewInfos()
{
    for (int i = 0; i < EditCellCount(); ++i) EditCells(i)->Free();
    editCells_->Clear();
    SetState(cxvisCalculationNeeded, true);
}

// ---- view-info items ---------------------------------------------------------------------

TClass TcxCustomViewInfoItem::StaticClass()
{
    return DefineClass<TcxCustomViewInfoItem, TObject>("TcxCustomViewInfoItem");
}

void TcxCustomViewInfoItem::CheckClipping(const RECT& displayRect, const RECT& availableRect)
{
    DisplayRect = displayRect;
    Visible = IntersectRect(&ClipRect, &displayRect, &availableRect) != FALSE;
    if (!Visible) ClipRect = RECT{};
}

void TcxCustomViewInfoItem::CheckClipping(const RECT& displayRect)
{
    CheckClipping(displayRect, GetControlViewInfo()->ClientRect());
}

bool TcxCustomViewInfoItem::IsTransparent() { return ViewParams.Bitmap && !ViewParams.Bitmap->Empty(); }

void TcxCustomViewInfoItem::Assign(TcxCustomViewInfoItem* source)
{
    DisplayRect = source->DisplayRect;
    ClipRect = source->ClipRect;
    Visible = source->Visible;
    ViewParams = source->ViewParams;
}

void TcxCustomViewInfoItem::Invalidate(bool recalculate)
{
    if (recalculate) DoCalculate();
    if (Visible) GetControl()->InvalidateRect(ClipRect, false);
}

TcxCustomControlViewInfo* TcxCustomViewInfoItem::GetControlViewInfo() { return GetControl()->ViewInfo(); }

TcxCustomLookAndFeelPainterClass TcxCustomViewInfoItem::GetPainterClass()
{
    return GetControl()->LookAndFeelPainter();
}

bool cxPtInViewInfoItem(TcxCustomViewInfoItem* item, const POINT& p)
{
    return item && item->Visible && PtInRect(&item->ClipRect, p);
}

// ---- edit cells --------------------------------------------------------------------------

TClass TcxEditCellViewInfo::StaticClass()
{
    return DefineClass<TcxEditCellViewInfo, TcxCustomViewInfoItem>("TcxEditCellViewInfo");
}

void TcxEditCellViewInfo::Destroy()
{
    TcxCustomInplaceEditContainer* item = GetEditContainer();
    if (item && !item->IsDestroying() && item->EditingControl() && item->EditingControl()->Controller())
        item->EditingControl()->Controller()->HitTestController()->DestroyingItem(this);
    SetViewInfo(nullptr);
    FreeViewData();
    TcxCustomViewInfoItem::Destroy();
}

void TcxEditCellViewInfo::FreeViewData()
{
    if (viewDataOwned_ && viewData_) viewData_->Free();
    viewData_ = nullptr;
    viewDataOwned_ = false;
}

void TcxEditCellViewInfo::SetViewData(TcxCustomEditViewData* viewData, bool owned)
{
    if (viewData == viewData_) {
        viewDataOwned_ = owned;
        return;
    }
    FreeViewData();
    viewData_ = viewData;
    viewDataOwned_ = owned;
}

void TcxEditCellViewInfo::SetViewInfo(TcxCustomEditViewInfo* viewInfo)
{
    if (viewInfo_ == viewInfo) return;
    if (viewInfo_) viewInfo_->Free();
    viewInfo_ = viewInfo;
}

void TcxEditCellViewInfo::CheckClipping(const RECT& displayRect, const RECT& availableRect)
{
    TcxCustomViewInfoItem::CheckClipping(displayRect, availableRect);
    ContentRect = DisplayRect;
    const RECT offset = ContentOffset();
    RECT edit = ClipRect;
    if (!Borders.Empty()) {
        if (Borders.Contains(bLeft)) ++ContentRect.left;
        if (Borders.Contains(bTop)) ++ContentRect.top;
        if (Borders.Contains(bRight)) --ContentRect.right;
        if (Borders.Contains(bBottom)) --ContentRect.bottom;
        if (!IntersectRect(&edit, &ContentRect, &ClipRect)) {
            EditRect = RECT{};
            return;
        }
    }
    EditRect = RECT{edit.left + offset.left, edit.top + offset.top, edit.right - offset.right, edit.bottom - offset.bottom};
}

void TcxEditCellViewInfo::SetBounds(const RECT& displayRect, const RECT& availableRect)
{
    CheckClipping(displayRect, availableRect);
    DoCalculate();
}

TcxEditingControl* TcxEditCellViewInfo::GetControl()
{
    TcxCustomInplaceEditContainer* item = GetEditContainer();
    return item ? item->EditingControl() : nullptr;
}

TcxCustomInplaceEditContainer* TcxEditCellViewInfo::GetEditContainer()
{
    return As<TcxCustomInplaceEditContainer>(Owner());
}

void TcxEditCellViewInfo::DoCalculate()
{
    TcxCustomInplaceEditContainer* item = GetEditContainer();
    if (!item) return;
    if (!IsAutoHeight()) item->InitEditViewInfo(this);
    item->CalculateEditViewInfo(Value, this, POINT{-1, -1});
}

void TcxEditCellViewInfo::Assign(TcxCustomViewInfoItem* source)
{
    TcxCustomViewInfoItem::Assign(source);
    if (auto* cell = As<TcxEditCellViewInfo>(source)) {
        EditRect = cell->EditRect;
        ContentRect = cell->ContentRect;
        Borders = cell->Borders;
    }
}

int TcxEditCellViewInfo::CalculateEditHeight()
{
    if (!IsAutoHeight()) return GetControlViewInfo()->DefaultEditHeight();
    GetEditContainer()->InitEditViewInfo(this);
    return GetEditContainer()->GetEditHeight(this);
}

bool TcxEditCellViewInfo::ChangedHeight(int prevHeight, int height)
{
    height_ = height;
    return prevHeight != height;
}

bool TcxEditCellViewInfo::Refresh(bool recalculate)
{
    if (!GetEditContainer()) return false;
    bool changed = false;
    if (recalculate) {
        if (IsAutoHeight()) changed = ChangedHeight(height_, CalculateEditHeight());
        if (!changed) DoCalculate();
    } else if (viewInfo_) {
        ViewParams = GetEditViewParams();
        viewInfo_->Font = ViewParams.Font;
        viewInfo_->TextColor = ViewParams.TextColor;
        viewInfo_->SetBackgroundColor(ViewParams.Color);
        viewInfo_->Transparent = IsTransparent();
    }
    if (!changed) Invalidate(false);
    return changed;
}

bool TcxEditCellViewInfo::GetFocused()
{
    TcxCustomInplaceEditContainer* item = GetEditContainer();
    TcxCustomControlController* controller = item ? item->GetController() : nullptr;
    if (!controller) return false;
    return controller->GetFocusedCellViewInfo(item) == this &&
           GetRecordIndex() == item->GetDataController()->GetFocusedRecordIndex();
}

Variant TcxEditCellViewInfo::GetDisplayValue()
{
    TcxCustomInplaceEditContainer* item = GetEditContainer();
    const int record = GetRecordIndex();
    if (!item || !cxInRange(record, 0, item->ValueCount() - 1)) return Variant::Null();
    return item->GetDisplayValue(Properties, record);
}

TcxEditButtonTransparency TcxEditCellViewInfo::GetButtonTransparency()
{
    switch (GetEditContainer()->Options()->ShowEditButtons()) {
    case eisbAlways: return ebtNone;
    case eisbNever: return ebtHideInactive;
    default: break;
    }
    switch (GetControl()->Options()->GetOptionsView()->ShowEditButtons()) {
    case ecsbAlways: return ebtNone;
    case ecsbFocused: return GetFocused() ? ebtNone : ebtHideInactive;
    default: return ebtHideInactive;
    }
}

TcxViewParams TcxEditCellViewInfo::GetEditViewParams() { return GetControl()->Styles()->GetBackgroundParams(); }

int TcxEditCellViewInfo::GetMaxLineCount()
{
    return GetControl()->Options()->GetOptionsView()->CellTextMaxLineCount();
}

hostlib::TColor TcxEditCellViewInfo::GetSelectedTextColor()
{
    return static_cast<TColor>(ColorToRGB(ViewParams.TextColor) ^ 0xFFFFFF);
}

hostlib::TColor TcxEditCellViewInfo::GetSelectedBKColor()
{
    return static_cast<TColor>(ColorToRGB(ViewParams.Color) ^ 0xFFFFFF);
}

void* TcxEditCellViewInfo::GetViewInfoData() { return reinterpret_cast<void*>(static_cast<std::intptr_t>(GetRecordIndex())); }

bool TcxEditCellViewInfo::IsAutoHeight() { return GetControl()->Options()->GetOptionsView()->CellAutoHeight(); }

bool TcxEditCellViewInfo::IsEndEllipsis() { return GetControl()->Options()->GetOptionsView()->CellEndEllipsis(); }

bool TcxEditCellViewInfo::IsSupportedHotTrack()
{
    TcxEditingControl* control = GetControl();
    if (!control || control->IsDesigning() || !Properties || !viewData_) return false;
    if (!Properties->GetSupportedOperations().Contains(esoHotTrack)) return false;
    TcxCustomEditStyle* style = viewData_->Style();
    return style && style->LookAndFeel()->Painter()->IsButtonHotTrack();
}

POINT TcxEditCellViewInfo::GetOrigin()
{
    if (!viewInfo_) return POINT{ClipRect.left, ClipRect.top};
    return POINT{viewInfo_->Bounds.left, viewInfo_->Bounds.top};
}

bool TcxEditCellViewInfo::IsNeedHint(TcxCanvas* canvas, const POINT& p, std::string& text, bool& isMultiLine,
                                     RECT& textRect, bool& isNeedOffsetHint)
{
    text.clear();
    isNeedOffsetHint = false;
    if (!Visible || !viewInfo_) return false;
    return viewInfo_->NeedShowHint(canvas, p, GetControl()->GetClientBounds(), text, isMultiLine, textRect);
}

void TcxEditCellViewInfo::UpdateHotTrackState(const POINT& p)
{
    if (!IsSupportedHotTrack() || !viewInfo_) return;
    hostlib::ObjectPtr<TcxCustomEditViewInfo> copy(
        CreateInstance<TcxCustomEditViewInfo>(Properties->GetViewInfoClass()));
    copy->Assign(viewInfo_);
    cxAssignEditStyle(this);
    viewData_->ContentOffset = ContentOffset();
    viewData_->CalculateEx(GetEditContainer()->GetControlCanvas(), ContentRect, p, cxmbNone, TShiftState{}, viewInfo_,
                           true);
    viewInfo_->Repaint(GetControl(), copy.get(), RECT{});
}

bool TcxEditCellViewInfo::Transparent() const { return viewInfo_ && viewInfo_->Transparent; }

void TcxEditCellViewInfo::SetTransparent(bool value)
{
    if (viewInfo_) viewInfo_->Transparent = value;
}

void cxAssignEditStyle(TcxEditCellViewInfo* cell)
{
    TcxCustomEditStyle* style = cell->GetControl()->EditStyle();
    style->BeginUpdate();
    {
        quelvo::sys::ScopeGuard close([style] { style->EndUpdate(); });
        style->SetColor(cell->ViewParams.Color);
        if (cell->ViewParams.Font) style->SetFont(cell->ViewParams.Font);
        style->SetTextColor(cell->ViewParams.TextColor);
        style->SetButtonTransparency(cell->GetButtonTransparency());
        TcxContainerStyleValues values = style->AssignedValues();
        values.Exclude(csvFont);
        values.Include(csvColor);
        values.Include(csvButtonTransparency);
        style->SetAssignedValues(values);
    }
    if (cell->ViewInfo()) cell->ViewInfo()->Transparent = cell->IsTransparent();
}

// ---- painter ------------------------------------------------------------------------------

TClass TcxCustomControlPainter::StaticClass()
{
    return DefineClass<TcxCustomControlPainter, TObject>("TcxCustomControlPainter");
}

void TcxCustomControlPainter::Construct(TcxEditingControl* control)
{
    control_ = control;
    canvas_ = control->Canvas();
    savedFont_.reset(CreateObject<TFont>());
}

void TcxCustomControlPainter::Destroy()
{
    bufferCanvas_.reset();
    buffer_.reset();
    savedFont_.reset();
    TObject::Destroy();
}

TcxCustomLookAndFeelPainterClass TcxCustomControlPainter::GetPainter() const { return control_->LookAndFeelPainter(); }

TcxCustomControlViewInfo* TcxCustomControlPainter::GetViewInfo() const { return control_->ViewInfo(); }

void TcxCustomControlPainter::SetBuffered(bool value)
{
    if (buffered_ == value) return;
    buffered_ = value;
    if (value) {
        buffer_.reset(CreateObject<TBitmap>());
        bufferCanvas_.reset(new TcxCanvas(buffer_->Canvas()));
    } else {
        bufferCanvas_.reset();
        buffer_.reset();
    }
    if (GetViewInfo()) GetViewInfo()->Invalidate(false);
}

void TcxCustomControlPainter::Paint()
{
    TcxCanvas* controlCanvas = control_->Canvas();
    if (!controlCanvas->RectVisible(GetViewInfo()->ClientRect())) return;
    if (buffered_) return PaintBuffered();
    canvas_ = controlCanvas;
    DoPaint();
}

void TcxCustomControlPainter::PaintBuffered()
{
    TcxCanvas* controlCanvas = control_->Canvas();
    buffer_->SetSize(control_->Width(), control_->Height());
    if (control_->FullRepaintNeeded()) {
        control_->SetFullRepaintNeeded(false);
        bufferCanvas_->SetClipRegion(new TcxRegion(GetViewInfo()->ClientRect()), roSet);
    } else {
        bufferCanvas_->SetClipRegion(controlCanvas->GetClipRegion(), roSet);
    }
    canvas_ = bufferCanvas_.get();
    quelvo::sys::ScopeGuard restore([this, controlCanvas] {
        canvas_ = controlCanvas;
        controlCanvas->Draw(0, 0, buffer_.get());
    });
    DoPaint();
}

void TcxCustomControlPainter::DoPaint()
{
    canvas_->Brush()->Assign(GetViewInfo()->Brush());
    canvas_->FillRect(GetViewInfo()->ClientRect());
}

bool TcxCustomControlPainter::DoCustomDraw(TcxCustomViewInfoItem* item, const TcxCustomDrawViewInfoItemEvent& event)
{
    if (!item || !item->Visible || !canvas_->RectVisible(item->ClipRect)) return true;
    bool done = false;
    if (event.Assigned()) {
        BeforeCustomDraw(item);
        quelvo::sys::ScopeGuard after([this, item] { AfterCustomDraw(item); });
        event(control_, canvas_, item, done);
    }
    return done;
}

void TcxCustomControlPainter::BeforeCustomDraw(TcxCustomViewInfoItem* item)
{
    savedParams_ = item->ViewParams;
    canvas_->AssignParams(item->ViewParams);
    item->ViewParams.Font = canvas_->Font();
    auto* cell = As<TcxEditCellViewInfo>(item);
    if (!cell || !cell->ViewInfo()) return;
    TcxCustomEditViewInfo* info = cell->ViewInfo();
    savedTextColor_ = info->TextColor;
    savedBackgroundColor_ = info->BackgroundColor();
    if (info->Font) savedFont_->Assign(info->Font);
    info->Font = canvas_->Font();
}

void TcxCustomControlPainter::AfterCustomDraw(TcxCustomViewInfoItem* item)
{
    item->ViewParams = savedParams_;
    auto* cell = As<TcxEditCellViewInfo>(item);
    if (!cell || !cell->ViewInfo()) return;
    TcxCustomEditViewInfo* info = cell->ViewInfo();
    info->Font = savedParams_.Font;
    info->TextColor = savedTextColor_;
    info->SetBackgroundColor(savedBackgroundColor_);
}

void TcxCustomControlPainter::DoPaintEditCell(TcxEditCellViewInfo* cell, bool isExcludeRect)
{
    if (!DoCustomDraw(cell, control_->OnCustomDrawCell) && cell->ViewInfo()) cell->ViewInfo()->PaintEx(canvas_);
    if (isExcludeRect) canvas_->ExcludeClipRect(cell->ClipRect);
}

// ---- control styles ------------------------------------------------------------------------

TClass TcxCustomControlStyles::StaticClass()
{
    return DefineClass<TcxCustomControlStyles, TcxStyles>("TcxCustomControlStyles", [](ClassBuilder<TcxCustomControlStyles>& b) {
        using S = TcxCustomControlStyles;
        b.Property("Background", &S::Background, &S::SetBackground);
        b.Property("Content", &S::Content, &S::SetContent);
        b.Property("Inactive", &S::Inactive, &S::SetInactive);
        b.Property("Selection", &S::Selection, &S::SetSelection);
    });
}

void TcxCustomControlStyles::Construct(TPersistent* owner)
{
    TcxStyles::Construct(owner);
    defaultStyle_.reset(CreateObject<TcxStyle>(static_cast<TComponent*>(nullptr)));
}

void TcxCustomControlStyles::Destroy()
{
    defaultStyle_.reset();
    TcxStyles::Destroy();
}

TcxEditingControl* TcxCustomControlStyles::GetControl() const { return As<TcxEditingControl>(GetOwner()); }

TcxCustomLookAndFeelPainterClass TcxCustomControlStyles::GetPainter() const
{
    TcxEditingControl* control = GetControl();
    return control ? control->LookAndFeelPainter() : TcxCustomLookAndFeelPainter::Class();
}

void TcxCustomControlStyles::GetDefaultViewParams(int index, void* data, TcxViewParams& params)
{
    TcxStyles::GetDefaultViewParams(index, data, params);
    if (index < ecs_Content || index > ecs_Selection) return;
    params.Bitmap = nullptr;
    if (TcxEditingControl* control = GetControl()) params.Font = control->Font();
    TcxCustomLookAndFeelPainterClass painter = GetPainter();
    switch (index) {
    case ecs_Inactive:
        params.Color = painter->DefaultInactiveColor();
        params.TextColor = painter->DefaultInactiveTextColor();
        break;
    case ecs_Selection:
        params.Color = painter->DefaultSelectionColor();
        params.TextColor = painter->DefaultSelectionTextColor();
        break;
    default:
        params.Color = painter->DefaultContentColor();
        params.TextColor = painter->DefaultContentTextColor();
        break;
    }
}

TcxViewParams TcxCustomControlStyles::GetBackgroundParams()
{
    TcxViewParams params;
    GetViewParams(ecs_Background, nullptr, nullptr, params);
    return params;
}

TcxViewParams TcxCustomControlStyles::GetSelectionParams()
{
    TcxEditingControl* control = GetControl();
    const bool focused = control && ((control->Controller() && control->Controller()->GetFocused()) || control->Focused());
    TcxViewParams params;
    GetViewParams(focused ? ecs_Selection : ecs_Inactive, nullptr, nullptr, params);
    return params;
}

TcxStyle* TcxCustomControlStyles::GetDefaultStyle(int index, void* data)
{
    TcxViewParams params;
    GetDefaultViewParams(index, data, params);
    defaultStyle_->SetColor(params.Color);
    if (params.Font) defaultStyle_->SetFont(params.Font);
    defaultStyle_->SetTextColor(params.TextColor);
    defaultStyle_->SetAssignedValues(TcxStyleValues{svColor, svFont, svTextColor});
    return defaultStyle_.get();
}

void TcxCustomControlStyles::Assign(TPersistent* source)
{
    if (auto* other = As<TcxCustomControlStyles>(source)) {
        for (int i = ecs_Content; i <= ecs_Selection; ++i) SetValue(i, other->GetValue(i));
    }
    TcxStyles::Assign(source);
    Changed(ecs_Content);
}

void TcxCustomControlStyles::Changed(int index)
{
    TcxStyles::Changed(index);
    if (TcxEditingControl* control = GetControl()) control->UpdateViewStyles();
}

// ---- item styles ----------------------------------------------------------------------------

TClass TcxEditContainerStyles::StaticClass()
{
    return DefineClass<TcxEditContainerStyles, TcxStyles>("TcxEditContainerStyles", [](ClassBuilder<TcxEditContainerStyles>& b) {
        b.Property("Content", &TcxEditContainerStyles::Content, &TcxEditContainerStyles::SetContent);
    });
}

TcxCustomInplaceEditContainer* TcxEditContainerStyles::GetContainer() const
{
    return As<TcxCustomInplaceEditContainer>(GetOwner());
}

TcxEditingControl* TcxEditContainerStyles::GetControl() const
{
    TcxCustomInplaceEditContainer* item = GetContainer();
    return item ? item->EditingControl() : nullptr;
}

TcxCustomControlStyles* TcxEditContainerStyles::GetControlStyles() const
{
    TcxEditingControl* control = GetControl();
    return control ? control->Styles() : nullptr;
}

void TcxEditContainerStyles::Assign(TPersistent* source)
{
    if (auto* other = As<TcxEditContainerStyles>(source)) SetContent(other->Content());
    TcxStyles::Assign(source);
}

void TcxEditContainerStyles::Changed(int index)
{
    TcxStyles::Changed(index);
    if (TcxEditingControl* control = GetControl()) control->UpdateViewStyles();
}

// ---- style resolution ------------------------------------------------------------------------

namespace {

bool TakeStyleValues(TcxStyle* style, TcxStyleValues& supplied, TcxViewParams& params)
{
    const TcxStyleValues assigned = style->AssignedValues();
    if (assigned.Contains(svColor) && !supplied.Contains(svColor)) {
        params.Color = style->Color();
        supplied.Include(svColor);
    }
    if (assigned.Contains(svFont) && !supplied.Contains(svFont)) {
        params.Font = style->Font();
        supplied.Include(svFont);
    }
    if (assigned.Contains(svTextColor) && !supplied.Contains(svTextColor)) {
        params.TextColor = style->TextColor();
        supplied.Include(svTextColor);
    }
    if (assigned.Contains(svBitmap) && !supplied.Contains(svBitmap)) {
        params.Bitmap = style->Bitmap();
        supplied.Include(svBitmap);
    }
    return supplied == cxAllStyleValues;
}

} // namespace

void cxStylesToViewParams(TcxCustomControlStyles* styles, int index, void* data,
                          std::initializer_list<TcxStyle*> styleList, TcxViewParams& params)
{
    params = TcxViewParams{nullptr, 0, nullptr, 0};
    TcxStyleValues supplied;
    for (TcxStyle* style : styleList) {
        if (!style || style->ComponentState().Contains(csDestroying)) continue;
        if (TakeStyleValues(style, supplied, params)) return;
    }
    TcxViewParams defaults;
    styles->GetDefaultViewParams(index, data, defaults);
    if (!supplied.Contains(svColor)) params.Color = defaults.Color;
    if (!supplied.Contains(svFont)) params.Font = defaults.Font;
    if (!supplied.Contains(svTextColor)) params.TextColor = defaults.TextColor;
    if (!supplied.Contains(svBitmap)) params.Bitmap = defaults.Bitmap;
}
