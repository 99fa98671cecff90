#include "components/treelist/cxInplaceContainerControllers.h"

#include <algorithm>
#include <vector>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"
#include "platform/windows/x11/layered.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

namespace {

constexpr const char* kDragImageClass = "TcxDragImageWindow";
constexpr const char* kDragImageProp = "cx.dragimagehelper";

} // namespace

// ---- hit test ----------------------------------------------------------------------------------

TClass TcxCustomHitTestController::StaticClass()
{
    return DefineClass<TcxCustomHitTestController, TObject>("TcxCustomHitTestController");
}

TcxEditingControl* TcxCustomHitTestController::GetControl() const { return controller_->EditingControl(); }

TcxCustomControlViewInfo* TcxCustomHitTestController::ViewInfo() const { return GetControl()->ViewInfo(); }

bool TcxCustomHitTestController::AllowDesignMouseEvents(int x, int y, TShiftState shift)
{
    RecalculateOnMouseEvent(x, y, shift);
    return false;
}

void TcxCustomHitTestController::ReCalculate() { ReCalculate(hitPoint_); }

void TcxCustomHitTestController::ReCalculate(const POINT& p)
{
    ClearState();
    if (GetControl()->IsLocked()) return;
    hitPoint_ = p;
    TcxCustomControlViewInfo* viewInfo = ViewInfo();
    if (viewInfo->GetState(cxvisCalculationNeeded)) viewInfo->Calculate();
    DoCalculate();
}

void TcxCustomHitTestController::RecalculateOnMouseEvent(int x, int y, TShiftState shift)
{
    shift_ = shift;
    hitState_ |= 1;
    ScopeGuard clear([this] { hitState_ &= ~std::uint64_t{1}; });
    ReCalculate(POINT{x, y});
}

void TcxCustomHitTestController::SetCoordinate(int index, int value)
{
    POINT p = hitPoint_;
    (index == 0 ? p.x : p.y) = value;
    ReCalculate(p);
}

bool TcxCustomHitTestController::GetHasCode(std::uint64_t code) const
{
    const auto low = [](std::uint64_t v) { return static_cast<std::uint32_t>(v); };
    const auto high = [](std::uint64_t v) { return static_cast<std::uint32_t>(v >> 32); };
    return (low(hitState_) & low(code)) != 0 || (high(hitState_) & high(code)) != 0;
}

void TcxCustomHitTestController::SetHasCode(std::uint64_t code, bool value)
{
    if (GetHasCode(code) == value) return;
    const auto previous = static_cast<int>(static_cast<std::uint32_t>(hitState_));
    hitState_ = value ? (hitState_ | code) : (hitState_ & ~code);
    HitCodeChanged(previous);
}

void TcxCustomHitTestController::DoCalculate()
{
    TcxCustomControlViewInfo* viewInfo = ViewInfo();
    for (int i = 0; i < viewInfo->EditCellCount(); ++i) {
        TcxEditCellViewInfo* cell = viewInfo->EditCells(i);
        if (cxPtInViewInfoItem(cell, hitPoint_)) return SetHitTestItem(cell);
    }
    SetHitTestItem(nullptr);
}

void TcxCustomHitTestController::SetHitTestItem(TObject* item)
{
    TObject* previous = hitTestItem_;
    hitTestItem_ = item;
    if (IsMouseEvent()) {
        TcxHotTrackController* hot = controller_->HotTrackController();
        hot->SetShowHint(GetControl()->Options()->GetOptionsBehavior()->CellHints());
        hot->SetHotElement(item, hitPoint_);
    }
    if (item != previous) HitTestItemChanged(previous);
}

void TcxCustomHitTestController::DestroyingItem(TObject* item)
{
    if (item != hitTestItem_) return;
    hitTestItem_ = nullptr;
    ClearState();
    controller_->HotTrackController()->CheckDestroyingElement(item);
}

// ---- hot tracking -----------------------------------------------------------------------------

TClass TcxHotTrackController::StaticClass()
{
    return DefineClass<TcxHotTrackController, TObject>("TcxHotTrackController");
}

void TcxHotTrackController::Construct(TcxEditingControl* control)
{
    control_ = control;
    hintTimer_.reset(CreateObject<TTimer>(static_cast<TComponent*>(nullptr)));
    ResetTimer();
    TClass windowClass = Application->HintWindowClass() ? Application->HintWindowClass() : THintWindow::StaticClass();
    hintWindow_.reset(CreateInstance<THintWindow>(windowClass, static_cast<TComponent*>(nullptr)));
    hintWindow_->SetColor(Application->HintColor());
}

void TcxHotTrackController::Destroy()
{
    hintTimer_.reset();
    hintWindow_.reset();
    TObject::Destroy();
}

void TcxHotTrackController::UpdateState(TObject* element, const POINT& p)
{
    if (auto* hot = dynamic_cast<IcxHotTrackElement*>(element)) hot->UpdateHotTrackState(p);
}

void TcxHotTrackController::Clear()
{
    prevHitPoint_ = POINT{-1, -1};
    prevElement_ = nullptr;
}

void TcxHotTrackController::SetHotElement(TObject* element, const POINT& p)
{
    if (control_->IsLocked()) return Clear();
    if (element != prevElement_) {
        hintElement_ = prevElement_;
        UpdateState(prevElement_, POINT{-1, -1});
        UpdateState(element, p);
    } else if (p.x != prevHitPoint_.x || p.y != prevHitPoint_.y) {
        UpdateState(element, p);
    }
    prevHitPoint_ = p;
    prevElement_ = element;
    if (element != hintElement_) CancelHint();
    if (HintNeeded()) InternalShowHint();
}

void TcxHotTrackController::CheckDestroyingElement(TObject* element)
{
    if (element != prevElement_ && element != hintElement_) return;
    if (element == prevElement_) prevElement_ = nullptr;
    if (element == hintElement_) {
        CancelHint();
        hintElement_ = nullptr;
    }
    SetHotElement(nullptr, POINT{-1, -1});
}

// A hint only over the active form; an MDI parent form counts as active
// while the application is.
bool TcxHotTrackController::FormAllowsHint()
{
    TCustomForm* form = GetParentForm(control_);
    if (!form || form->Active()) return true;
    return form->FormStyle() == fsMDIForm && Application->Active();
}

bool TcxHotTrackController::CanShowHint()
{
    TcxCustomControlController* controller = control_->Controller();
    if (!showHint_ || controller->MousePressed() || !FormAllowsHint()) return false;
    if (control_->IsDesigning() || control_->Dragging() || control_->DragAndDropState() != ddsNone) return false;
    return !(controller->IsEditing() && controller->EditingController()->Edit() &&
             prevElement_ == controller->GetEditingViewInfo());
}

namespace {

// A monochrome bitmap's rows as a bottom-up DIB, rows padded to whole
// 32-bit words; empty when it cannot be read.
std::vector<BYTE> MonochromeRows(HBITMAP bitmap, const BITMAP& bm, int stride)
{
    std::vector<BYTE> bits(static_cast<std::size_t>(stride) * static_cast<std::size_t>(bm.bmHeight));
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } format{};
    format.header.biSize = sizeof(BITMAPINFOHEADER);
    format.header.biWidth = bm.bmWidth;
    format.header.biHeight = bm.bmHeight;
    format.header.biPlanes = 1;
    format.header.biBitCount = 1;
    format.header.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    ScopeGuard freeDc([dc] { DeleteDC(dc); });
    if (!GetDIBits(dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), bits.data(), reinterpret_cast<BITMAPINFO*>(&format),
                   DIB_RGB_COLORS))
        bits.clear();
    return bits;
}

// How many rows of the picture, counted from its top, reach down to the
// lowest one the mask draws: the AND mask (the last `width` rows of the
// bottom-up buffer) is scanned for a byte other than all-transparent, and
// a mask with nothing there falls back to the XOR part below it. The row
// is counted whole, wherever in it the first drawn byte lies. 0 when
// nothing is drawn.
int DrawnRows(const std::vector<BYTE>& bits, int width, int height, int stride)
{
    const auto begin = bits.begin();
    const auto andStart = begin + static_cast<std::ptrdiff_t>(stride) * (height - width);
    auto found = std::find_if(andStart, bits.end(), [](BYTE b) { return b != 0xFF; });
    if (found == bits.end() && height >= 2 * width)
        if (auto x = std::find_if(begin, andStart, [](BYTE b) { return b != 0; }); x != andStart) found = x;
    if (found == bits.end()) return 0;
    return height - static_cast<int>((found - begin) / stride);
}

} // namespace

// The part of the pointer below its hot spot; a cursor without readable
// bitmaps counts as a whole system cursor.
int TcxHotTrackController::CursorOffset()
{
    ICONINFO info{};
    if (!GetIconInfo(GetCursor(), &info) || !info.hbmMask) return GetSystemMetrics(SM_CYCURSOR);
    ScopeGuard release([&info] {
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    });
    BITMAP bm{};
    if (!GetObject(info.hbmMask, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight < bm.bmWidth)
        return GetSystemMetrics(SM_CYCURSOR);
    const int stride = (bm.bmWidth + 31) / 32 * 4;
    const std::vector<BYTE> bits = MonochromeRows(info.hbmMask, bm, stride);
    const int rows = bits.empty() ? 0 : DrawnRows(bits, bm.bmWidth, bm.bmHeight, stride);
    if (rows == 0) return GetSystemMetrics(SM_CYCURSOR);
    return rows - static_cast<int>(info.yHotspot);
}

bool TcxHotTrackController::HintNeeded()
{
    auto* element = dynamic_cast<IcxHotTrackElement*>(prevElement_);
    if (!element || !CanShowHint()) return false;
    bool offsetHint = false;
    hint_.clear();
    TcxCanvas* canvas = cxScreenCanvas();
    if (!element->IsNeedHint(canvas, prevHitPoint_, hint_, hintMultiLine_, hintRect_, offsetHint)) return false;
    POINT p = control_->ClientToScreen(element->GetOrigin());
    if (offsetHint) p.y += CursorOffset();
    hintWindow_->Canvas()->Font()->Assign(canvas->Font());
    hintWindow_->Font()->Assign(canvas->Font());
    if (As<TcxEditCellViewInfo>(prevElement_)) {
        p.x -= 1;
        p.y -= 1;
    }
    hintRect_ = hintWindow_->CalcHintRect(Screen->Width(), hint_);
    OffsetRect(&hintRect_, p.x, p.y);
    return true;
}

void TcxHotTrackController::InternalShowHint()
{
    if (hintVisible_ || hintElement_ == prevElement_) return;
    DoShowHint();
    hintElement_ = prevElement_;
    hintVisible_ = true;
    hintWindow_->ActivateHint(hintRect_, hint_);
    hintTimer_->SetEnabled(false);
    hintTimer_->SetInterval(kHideHintWait);
    hintTimer_->OnTimer = TNotifyEvent::Bind(this, &TcxHotTrackController::HintTimerHide);
    hintTimer_->SetEnabled(kHideHintWait > 0);
}

void TcxHotTrackController::InternalHideHint()
{
    if (hintVisible_) DoHideHint();
    hintVisible_ = false;
    if (hintWindow_ && hintWindow_->HandleAllocated()) ShowWindow(hintWindow_->Handle(), SW_HIDE);
    if (hintTimer_) ResetTimer();
}

// Idle, the timer would show a hint after a pause; nothing starts it.
void TcxHotTrackController::ResetTimer()
{
    hintTimer_->SetEnabled(false);
    hintTimer_->SetInterval(kShowHintWait);
    hintTimer_->OnTimer = TNotifyEvent::Bind(this, &TcxHotTrackController::HintTimerShow);
}

// ---- cell navigator ---------------------------------------------------------------------------

TClass TcxCustomCellNavigator::StaticClass()
{
    return DefineClass<TcxCustomCellNavigator, TObject>("TcxCustomCellNavigator");
}

TcxControlDataController* TcxCustomCellNavigator::DataController() const { return controller_->DataController(); }

TcxCustomInplaceEditContainer* TcxCustomCellNavigator::ScanRow(bool forward, int rowIndex, int& cellIndex)
{
    const int step = forward ? 1 : -1;
    TcxCustomInplaceEditContainer* container = GetCellContainer(rowIndex, cellIndex);
    while (container && !(container->CanFocus() && container->CanTabStop())) {
        cellIndex += step;
        container = GetCellContainer(rowIndex, cellIndex);
    }
    return container;
}

TcxCustomInplaceEditContainer* TcxCustomCellNavigator::SelectCell(bool forward, bool nextRow, int& rowIndex,
                                                                  int& cellIndex)
{
    const int startCell = cellIndex;
    // A descendant whose rows wrap around would cycle for ever.
    for (int rows = 0; rows <= rowCount_ + 1; ++rows) {
        if (TcxCustomInplaceEditContainer* container = ScanRow(forward, rowIndex, cellIndex)) return container;
        cellIndex = startCell;
        const int row = rowIndex;
        if (controller_->GetFocusCellOnCycle() && !nextRow) CalcNextRow(forward, rowIndex, cellIndex);
        if (rowIndex == row) return nullptr;
        const int count = GetCount(rowIndex);
        if (count == 0 && MayFocusedEmptyRow(rowIndex)) return nullptr;
        cellIndex = forward ? 0 : count - 1;
    }
    return nullptr;
}

void TcxCustomCellNavigator::FocusNextCell(bool forward, bool nextRow, TShiftState shift)
{
    int row = 0, cell = 0;
    Init(row, cell, rowCount_);
    const int startRow = row, startCell = cell;
    if (nextRow) CalcNextRow(forward, row, cell);
    else cell += forward ? 1 : -1;
    // Only a cell that takes the focus by Tab, or an empty row that may
    // be focused, is a place to go.
    TcxCustomInplaceEditContainer* container = SelectCell(forward, nextRow, row, cell);
    const int count = GetCount(row);
    const bool valid = (container && cxInRange(cell, 0, count - 1)) || (count == 0 && MayFocusedEmptyRow(row));
    if (!valid) {
        row = startRow;
        cell = startCell;
    }
    if (row != startRow || cell != startCell) SetFocusCell(row, cell, shift);
}

void TcxCustomCellNavigator::KeyDown(WORD& key, TShiftState shift)
{
    TcxCustomInplaceEditContainer* item = controller_->FocusedItem();
    switch (key) {
    case VK_TAB:
        FocusNextCell(!shift.Contains(ssShift), false, shift);
        key = 0;
        break;
    case VK_RETURN:
    case VK_F2:
        if (!shift.Empty() || !item) break;
        item->SetEditing(true);
        if (item->Editing()) key = 0;
        break;
    case VK_LEFT:
    case VK_RIGHT:
        FocusNextCell(key == VK_RIGHT, false, shift);
        key = 0;
        break;
    case VK_UP:
    case VK_DOWN:
        FocusNextCell(key == VK_DOWN, true, shift);
        key = 0;
        break;
    default: break;
    }
}

void TcxCustomCellNavigator::KeyPress(char& key)
{
    const auto c = static_cast<unsigned char>(key);
    const bool opens = c == 8 || c == 22 || c == 24 || c >= 32;
    TcxCustomInplaceEditContainer* item = controller_->FocusedItem();
    if (!opens || !item) return;
    controller_->EditingController()->ShowEdit(item, key);
    key = 0;
}

// ---- design selection --------------------------------------------------------------------------

TClass cxDesignSelectionHelperClass = nullptr;

TClass TcxCustomDesignSelectionHelper::StaticClass()
{
    return DefineClass<TcxCustomDesignSelectionHelper, TObject>("TcxCustomDesignSelectionHelper");
}

TcxEditingControl* TcxCustomDesignSelectionHelper::GetControl() const { return controller_->EditingControl(); }

// ---- control controller: life -------------------------------------------------------------------

TClass TcxCustomControlController::StaticClass()
{
    return DefineClass<TcxCustomControlController, TObject>("TcxCustomControlController");
}

void TcxCustomControlController::Construct(TcxEditingControl* control)
{
    control_ = control;
    editingController_.reset(CreateInstance<TcxEditingController>(control->GetEditingControllerClass(), this));
    hitTestController_.reset(CreateInstance<TcxCustomHitTestController>(control->GetHitTestControllerClass(), this));
    hotTrackController_.reset(CreateInstance<TcxHotTrackController>(control->GetHotTrackControllerClass(), control));
    navigator_.reset(CreateInstance<TcxCustomCellNavigator>(GetNavigatorClass(), this));
    if (control->IsDesigning() && cxDesignSelectionHelperClass)
        designSelectionHelper_.reset(
            CreateInstance<TcxCustomDesignSelectionHelper>(cxDesignSelectionHelperClass, this));
}

void TcxCustomControlController::Destroy()
{
    designSelectionHelper_.reset();
    navigator_.reset();
    editingController_.reset();
    hotTrackController_.reset();
    hitTestController_.reset();
    TObject::Destroy();
}

TClass TcxCustomControlController::GetNavigatorClass() { return TcxCustomCellNavigator::StaticClass(); }

TcxControlDataController* TcxCustomControlController::DataController() const { return control_->DataController(); }

IcxEditingControlOptions* TcxCustomControlController::Options() const { return control_->Options(); }

TcxCustomInplaceEditContainer* TcxCustomControlController::EditingItem() const
{
    return editingController_ ? editingController_->EditingItem() : nullptr;
}

void TcxCustomControlController::SetEditingItem(TcxCustomInplaceEditContainer* item)
{
    if (editingController_) editingController_->SetEditingItem(item);
}

bool TcxCustomControlController::IsEditing() const { return editingController_ && editingController_->IsEditing(); }

void TcxCustomControlController::Reset()
{
    editingController_->PostEditUpdate();
    hitTestController_->ClearState();
    hitTestController_->ResetHitTestItem();
    hotTrackController_->Clear();
}

void TcxCustomControlController::Clear()
{
    hitTestController_->ClearState();
    hotTrackController_->Clear();
}

// ---- control controller: options -----------------------------------------------------------------

bool TcxCustomControlController::GetAlwaysShowEditor() { return Options()->GetOptionsBehavior()->AlwaysShowEditor(); }
bool TcxCustomControlController::GetFocusCellOnCycle() { return Options()->GetOptionsBehavior()->FocusCellOnCycle(); }
bool TcxCustomControlController::GetGoToNextCellOnEnter() { return Options()->GetOptionsBehavior()->GoToNextCellOnEnter(); }
bool TcxCustomControlController::GetGoToNextCellOnTab() { return Options()->GetOptionsBehavior()->GoToNextCellOnTab(); }

bool TcxCustomControlController::GetImmediateEditor()
{
    TcxControlOptionsBehavior* b = Options()->GetOptionsBehavior();
    return (b->ImmediateEditor() || b->AlwaysShowEditor()) && control_->DragMode() == dmManual;
}

bool TcxCustomControlController::GetCancelEditingOnExit()
{
    TcxDataControllerEditState state = DataController()->GetEditState();
    TcxDataControllerEditState relevant;
    for (TcxDataControllerEditKind kind : {dceInsert, dceChanging, dceModified})
        if (state.Contains(kind)) relevant.Include(kind);
    return Options()->GetOptionsData()->CancelOnExit() && relevant == TcxDataControllerEditState{dceInsert};
}

void TcxCustomControlController::BehaviorChanged() { control_->ViewInfo()->UpdateSelection(); }

// ---- control controller: check edit and paint ------------------------------------------------------

void TcxCustomControlController::CheckEdit()
{
    CancelCheckEditPost();
    if (editChecksEnabled_ && GetAlwaysShowEditor()) editingController_->ShowEdit(nullptr);
}

void TcxCustomControlController::PostShowEdit()
{
    TcxControlOptionsBehavior* b = Options()->GetOptionsBehavior();
    if (!IsEditing() && (b->ImmediateEditor() || b->AlwaysShowEditor()) && control_->DragAndDropState() == ddsNone &&
        hitTestController_->IsItemEditCell())
        PostCheckEdit();
}

void TcxCustomControlController::BeforePaint() { editingController_->CheckEditUpdatePost(); }

// ---- control controller: mouse ----------------------------------------------------------------------

void TcxCustomControlController::MouseEnter() { hitTestController_->ReCalculate(); }

void TcxCustomControlController::MouseLeave()
{
    HideHint();
    hitTestController_->RecalculateOnMouseEvent(-1, -1, TShiftState{});
    hotTrackController_->SetHotElement(nullptr, POINT{-1, -1});
}

void TcxCustomControlController::HideHint() { hotTrackController_->CancelHint(); }

void TcxCustomControlController::BeforeMouseDown(TMouseButton, TShiftState, int, int)
{
    wasEditingAtMouseDown_ = IsEditing();
}

bool TcxCustomControlController::IsOnEditButton(TcxEditCellViewInfo* cell, int x, int y)
{
    if (!cell || !cell->ViewInfo() || control_->DragMode() != dmManual) return false;
    // The view info takes its own origin off the control's point.
    return cell->ViewInfo()->IsHotTrack(POINT{x, y});
}

void TcxCustomControlController::ShowEditOnMouseDown(TcxEditCellViewInfo* cell, TMouseButton button, bool onButton,
                                                     TShiftState shift, int x, int y)
{
    if (button != mbLeft) return;
    if (onButton) editingController_->ShowEdit(cell->GetEditContainer(), shift, x, y);
    else editingController_->ShowEdit(cell->GetEditContainer(), TShiftState{}, -1, -1);
}

void TcxCustomControlController::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    const int prevRecord = GetFocusedRecordIndex();
    TcxCustomInplaceEditContainer* prevItem = focusedItem_;
    doubleClick_ = shift.Contains(ssDouble);
    clickedOnFocusedCell_ = false;
    editingController_->StopEditShowingTimer();
    TcxEditCellViewInfo* cell = hitTestController_->EditCellViewInfo();
    const bool onButton = IsOnEditButton(cell, x, y);
    if (onButton) clickedCell_ = cell;
    MouseDown(button, shift, x, y);
    hitTestController_->RecalculateOnMouseEvent(x, y, shift);
    cell = hitTestController_->EditCellViewInfo();
    if (button == mbMiddle || !cell) return;
    SetFocusedRecordItem(cell->GetRecordIndex(), cell->GetEditContainer());
    hitTestController_->RecalculateOnMouseEvent(x, y, shift);
    cell = hitTestController_->EditCellViewInfo();
    if (!cell) return;
    if (GetImmediateEditor() || (onButton && cell == clickedCell_)) return ShowEditOnMouseDown(cell, button, onButton, shift, x, y);
    clickedOnFocusedCell_ = GetFocusedRecordIndex() == prevRecord && focusedItem_ == prevItem && focusedItem_;
    if (!clickedOnFocusedCell_ && focusedItem_) focusedItem_->CancelIncSearching();
}

void TcxCustomControlController::DoMouseMove(TShiftState shift, int x, int y)
{
    MouseMove(shift, x, y);
    hitTestController_->RecalculateOnMouseEvent(x, y, shift);
}

void TcxCustomControlController::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    MouseUp(button, shift, x, y);
    TcxEditCellViewInfo* cell = hitTestController_->EditCellViewInfo();
    if (clickedOnFocusedCell_ && !IsEditing() && !doubleClick_ && cell && button == mbLeft)
        editingController_->StartEditShowingTimer(cell->GetEditContainer());
    hitTestController_->RecalculateOnMouseEvent(x, y, shift);
    cell = hitTestController_->EditCellViewInfo();
    if (IsEditing() || doubleClick_ || !cell || !Options()->GetOptionsBehavior()->ImmediateEditor()) return;
    editingController_->StopEditShowingTimer();
    if (button == mbLeft) editingController_->ShowEdit(cell->GetEditContainer());
}

void TcxCustomControlController::DoEditDblClick(TObject*) { control_->DblClick(); }

void TcxCustomControlController::DragOver(TObject*, int, int, TDragState, bool&) { editingController_->HideEdit(true); }

void TcxCustomControlController::EndDrag(TObject*, int x, int y)
{
    hitTestController_->ReCalculate(POINT{x, y});
    if (wasEditingAtMouseDown_ || GetAlwaysShowEditor()) editingController_->ShowEdit(nullptr);
}

void TcxCustomControlController::BeginDragAndDrop() { editingController_->HideEdit(true); }

void TcxCustomControlController::EndDragAndDrop(bool)
{
    if (control_->DragAndDropState() == ddsNone) CheckEdit();
}

// ---- control controller: focus --------------------------------------------------------------------

int TcxCustomControlController::GetFocusedRecordIndex() { return DataController()->GetFocusedRecordIndex(); }

void TcxCustomControlController::SetFocusedRecordItem(int recordIndex, TcxCustomInplaceEditContainer* item)
{
    ScopeGuard finish([this] {
        editChecksEnabled_ = true;
        CheckEdit();
        focusedCellUnchanged_ = false;
    });
    editingController_->HideEdit(true);
    editChecksEnabled_ = false;
    focusedCellUnchanged_ = recordIndex == GetFocusedRecordIndex();
    SetFocusedRecordIndex(recordIndex);
    focusedCellUnchanged_ = focusedCellUnchanged_ && item == focusedItem_;
    SetFocusedItem(item);
}

void TcxCustomControlController::SetFocusedRecordIndex(int value)
{
    if (cxInRange(value, 0, DataController()->GetRecordCount() - 1)) {
        if (!CanFocusedRecordIndex(value)) return;
        DataController()->ChangeFocusedRecordIndex(value);
    }
    if (value == GetFocusedRecordIndex()) MakeFocusedRecordVisible();
}

void TcxCustomControlController::SetFocusedItem(TcxCustomInplaceEditContainer* value)
{
    if (IsEditing()) editingController_->HideEdit(true);
    if (value && !value->CanFocus()) return;
    if (value == focusedItem_) {
        MakeFocusedItemVisible();
    } else {
        TcxCustomInplaceEditContainer* previous = focusedItem_;
        focusedItem_ = value;
        FocusedItemChanged(previous);
    }
    CheckEdit();
}

void TcxCustomControlController::FocusedItemChanged(TcxCustomInplaceEditContainer* prevFocusedItem)
{
    if (control_->IsLoading() || control_->IsDestroying()) return;
    CancelIncSearching();
    MakeFocusedItemVisible();
    if (!focusedCellUnchanged_) {
        TcxEditCellViewInfo* previous = prevFocusedItem ? GetFocusedCellViewInfo(prevFocusedItem) : nullptr;
        TcxEditCellViewInfo* current = focusedItem_ ? GetFocusedCellViewInfo(focusedItem_) : nullptr;
        if (previous && previous != current) previous->Refresh(false);
        if (current) current->Refresh(false);
    }
    navigator_->Refresh();
}

void TcxCustomControlController::FocusedRecordChanged(int, int)
{
    if (editingController_->GetHideEditOnFocusedRecordChange()) editingController_->HideEdit(true);
    CheckEdit();
    editingController_->UpdateEditValue();
}

void TcxCustomControlController::RefreshFocusedCellViewInfo(TcxCustomInplaceEditContainer* item)
{
    if (focusedCellUnchanged_ || !item) return;
    TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(item);
    if (cell && cell->Refresh(true)) control_->LayoutChanged();
}

void TcxCustomControlController::RefreshFocusedRecord()
{
    bool changed = false;
    control_->IncLockCount();
    {
        ScopeGuard unlock([this] { control_->DecLockCount(); });
        for (int i = 0; i < control_->ItemCount() && !changed; ++i) {
            TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(control_->Items(i));
            changed = cell && cell->Refresh(true);
        }
    }
    if (!changed || control_->IsLocked()) return;
    control_->BeforeUpdate();
    control_->LayoutChanged();
}

bool TcxCustomControlController::HasFocusedControls()
{
    return editingController_->Edit() && editingController_->Edit()->Focused();
}

void TcxCustomControlController::FocusChanged()
{
    const bool focusedNow = control_->IsFocused() || HasFocusedControls();
    if (focusedNow) {
        CheckEdit();
        TcxCustomEdit* edit = editingController_->Edit();
        if (edit && GetAlwaysShowEditor() && !edit->Focused() && edit->CanFocus()) edit->SetFocus();
        else if (edit && !edit->Focused() && !GetAlwaysShowEditor()) editingController_->HideEdit(true);
        else if (!edit && GetAlwaysShowEditor() && GetImmediateEditor()) editingController_->ShowEdit(nullptr);
    }
    if (focusedNow == focused_) return;
    focused_ = focusedNow;
    ControlFocusChanged();
}

void TcxCustomControlController::ControlFocusChanged()
{
    if (!GetFocused() && editingController_->GetHideEditOnExit()) editingController_->HideEdit(true);
    control_->ViewInfo()->UpdateSelection();
}

void TcxCustomControlController::DoExit()
{
    if (GetCancelEditingOnExit()) return DataController()->Cancel();
    DataController()->PostEditingData();
    if (IsImmediatePost()) DataController()->Post();
}

bool TcxCustomControlController::MayFocus()
{
    TcxCustomEdit* edit = editingController_->Edit();
    if (!control_->IsFocused() || !IsEditing() || !edit) return true;
    return !GetAlwaysShowEditor() && edit->ValidateEdit(true);
}

void TcxCustomControlController::SetFocus()
{
    if (!editingController_->CanRemoveEditFocus()) return;
    if (control_->CanFocusEx() && control_->IsFocused()) control_->SetFocus();
    PostCheckEdit();
}

// ---- control controller: keys and incremental search ----------------------------------------------

bool TcxCustomControlController::IsKeyForController(WORD key, TShiftState)
{
    switch (key) {
    case VK_TAB: return GetGoToNextCellOnTab();
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT: return true;
    default: return false;
    }
}

void TcxCustomControlController::KeyDown(WORD& key, TShiftState shift)
{
    if (!navigationSkip_) {
        if (GetIsIncSearching()) key = IncSearchKeyDown(key, shift);
        navigator_->KeyDown(key, shift);
    }
    const bool plain = shift.Empty() || shift == TShiftState{ssShift};
    switch (key) {
    case VK_TAB:
        if (GetGoToNextCellOnTab() && plain) {
            navigator_->FocusNextCell(shift.Empty(), false, shift);
            key = 0;
        }
        break;
    case VK_RETURN:
        if (GetGoToNextCellOnEnter() && plain) navigator_->FocusNextCell(shift.Empty(), false, shift);
        break;
    case VK_ESCAPE: DataController()->Cancel(); break;
    case VK_PRIOR:
    case VK_NEXT: DoNextPage(key == VK_NEXT, shift); break;
    default: break;
    }
}

void TcxCustomControlController::KeyPress(char& key)
{
    if (keyHandled_) {
        keyHandled_ = false;
        return;
    }
    const auto c = static_cast<unsigned char>(key);
    TcxCustomInplaceEditContainer* item = GetItemForIncSearching();
    const TcxDataControllerEditState state = DataController()->GetEditState();
    if ((c == 8 || c > 31) && item && item->CanIncSearch() && !state.Contains(dceInsert) && !state.Contains(dceEdit)) {
        if (c != 8) AppendIncSearchByte(key);
        key = 0;
    }
    navigator_->DoKeyPress(key);
}

WORD TcxCustomControlController::IncSearchKeyDown(WORD key, TShiftState shift)
{
    TcxCustomInplaceEditContainer* item = GetItemForIncSearching();
    if (!item) return key;
    switch (key) {
    case VK_BACK:
        incSearchPending_.clear();
        SetIncSearchingText(cxDropLastCharacter(GetIncSearchingText()));
        return 0;
    case VK_ESCAPE: item->CancelIncSearching(); return 0;
    case VK_UP:
    case VK_DOWN:
        if (shift != TShiftState{ssCtrl}) return key;
        SearchLocateNext(item, key == VK_DOWN);
        return 0;
    default: return key;
    }
}

namespace {

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    return lead >= 0xC0 ? 2 : 1;
}

} // namespace

std::string cxDropLastCharacter(const std::string& text)
{
    if (text.empty()) return text;
    std::size_t start = text.size() - 1;
    while (start > 0 && IsContinuationByte(static_cast<unsigned char>(text[start]))) --start;
    const auto lead = static_cast<unsigned char>(text[start]);
    const bool whole = !IsContinuationByte(lead) && SequenceLength(lead) == text.size() - start;
    // A malformed tail loses one byte.
    return text.substr(0, whole ? start : text.size() - 1);
}

void TcxCustomControlController::AppendIncSearchByte(char byte)
{
    const auto c = static_cast<unsigned char>(byte);
    // A sequence broken by a byte that cannot continue it is dropped.
    if (!incSearchPending_.empty() && !IsContinuationByte(c)) incSearchPending_.clear();
    if (incSearchPending_.empty() && IsContinuationByte(c)) return;
    incSearchPending_ += byte;
    if (incSearchPending_.size() < SequenceLength(static_cast<unsigned char>(incSearchPending_[0]))) return;
    std::string character;
    character.swap(incSearchPending_);
    SetIncSearchingText(GetIncSearchingText() + character);
}

TcxCustomInplaceEditContainer* TcxCustomControlController::GetItemForIncSearching()
{
    TcxControlOptionsBehavior* b = Options()->GetOptionsBehavior();
    return b->IncSearch() && b->IncSearchItem() ? b->IncSearchItem() : focusedItem_;
}

void TcxCustomControlController::SetIncSearchingText(const std::string& text)
{
    if (text == GetIncSearchingText()) return;
    TcxCustomInplaceEditContainer* item = GetIsIncSearching() ? GetIncSearchingItem() : GetItemForIncSearching();
    if (!item) return;
    if (!text.empty()) SearchLocate(item, text);
    else CancelIncSearching();
    TcxCustomInplaceEditContainer* searched = GetItemForIncSearching();
    if (TcxEditCellViewInfo* cell = searched ? GetFocusedCellViewInfo(searched) : nullptr) cell->Invalidate(true);
}

void TcxCustomControlController::CancelIncSearching()
{
    TcxCustomInplaceEditContainer* item = GetItemForIncSearching();
    DataController()->Search().Cancel();
    if (TcxEditCellViewInfo* cell = item ? GetFocusedCellViewInfo(item) : nullptr) cell->Refresh(true);
}

TcxCustomInplaceEditContainer* TcxCustomControlController::GetIncSearchingItem()
{
    if (!GetIsIncSearching()) return nullptr;
    const int index = DataController()->Search().GetItemIndex();
    return cxInRange(index, 0, control_->ItemCount() - 1) ? control_->Items(index) : nullptr;
}

std::string TcxCustomControlController::GetIncSearchingText() { return DataController()->Search().GetSearchText(); }

bool TcxCustomControlController::GetIsIncSearching() { return DataController()->Search().GetSearching(); }

void TcxCustomControlController::SearchLocate(TcxCustomInplaceEditContainer* item, const std::string& value)
{
    DataController()->Search().Locate(item->ItemIndex(), value);
}

void TcxCustomControlController::SearchLocateNext(TcxCustomInplaceEditContainer*, bool forward)
{
    DataController()->Search().LocateNext(forward);
}

void TcxCustomControlController::WndProc(TMessage& message)
{
    if (message.Msg == WM_IME_STARTCOMPOSITION) editingController_->ShowEdit(nullptr);
}

// ---- drag image helper ------------------------------------------------------------------------

TClass TcxDragImageHelper::StaticClass()
{
    return DefineClass<TcxDragImageHelper, TObject>("TcxDragImageHelper");
}

void TcxDragImageHelper::Construct(TcxEditingControl* control, const POINT& dragPos)
{
    control_ = control;
    dragStart_ = dragPos;
    InitDragImage();
}

void TcxDragImageHelper::Destroy()
{
    if (visible_) HideDragImage();
    if (window_) {
        RemovePropA(window_, kDragImageProp);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    picture_.reset();
    TObject::Destroy();
}

RECT TcxDragImageHelper::GetDisplayRect() { return control_->DragDropImageDisplayRect(); }

void TcxDragImageHelper::InitDragImage()
{
    const RECT r = GetDisplayRect();
    pictureBounds_ = RECT{0, 0, std::max<LONG>(0, r.right - r.left), std::max<LONG>(0, r.bottom - r.top)};
    hotSpot_ = POINT{r.left - dragStart_.x, r.top - dragStart_.y};
    picture_.reset(CreateObject<TBitmap>());
    picture_->SetSize(pictureBounds_.right, pictureBounds_.bottom);
    TcxCanvas canvas(picture_->Canvas());
    control_->DrawDragDropImage(picture_.get(), &canvas);
}

LRESULT TcxDragImageHelper::ImageWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* helper = static_cast<TcxDragImageHelper*>(GetPropA(wnd, kDragImageProp));
    switch (msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        if (helper) helper->PaintImage(dc);
        EndPaint(wnd, &ps);
        return 0;
    }
    default: return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

void TcxDragImageHelper::CreateImageWindow()
{
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, kDragImageClass, &existing)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &TcxDragImageHelper::ImageWindowProc;
        wc.lpszClassName = kDragImageClass;
        RegisterClassA(&wc);
    }
    const DWORD exStyle = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    window_ = CreateWindowExA(exStyle, kDragImageClass, "", WS_POPUP | WS_DISABLED, imagePosition_.x, imagePosition_.y,
                              pictureBounds_.right, pictureBounds_.bottom, nullptr, nullptr, nullptr, nullptr);
    if (!window_) return;
    SetPropA(window_, kDragImageProp, this);
    SetLayeredWindowAttributes(window_, 0, kDragImageAlpha, LWA_ALPHA);
}

void TcxDragImageHelper::PaintImage(HDC dc)
{
    BitBlt(dc, 0, 0, pictureBounds_.right, pictureBounds_.bottom, picture_->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TcxDragImageHelper::DrawImage(const POINT& p)
{
    if (!window_) CreateImageWindow();
    if (!window_) return;
    SetWindowPos(window_, HWND_TOPMOST, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TcxDragImageHelper::ShowDragImage()
{
    visible_ = true;
    DrawImage(imagePosition_);
}

void TcxDragImageHelper::HideDragImage()
{
    visible_ = false;
    if (window_) ShowWindow(window_, SW_HIDE);
}

void TcxDragImageHelper::DragAndDrop(const POINT& p)
{
    imagePosition_ = POINT{p.x + hotSpot_.x, p.y + hotSpot_.y};
    if (visible_) DrawImage(imagePosition_);
    else ShowDragImage();
}

RECT TcxDragImageHelper::ImageRect() const
{
    RECT r = pictureBounds_;
    OffsetRect(&r, imagePosition_.x, imagePosition_.y);
    return r;
}

void TcxDragImageHelper::SetDragImageVisible(bool value)
{
    if (value == visible_) return;
    if (value) ShowDragImage();
    else HideDragImage();
}

// ---- the drag mouse hook ------------------------------------------------------------------------

namespace {

struct DragHookState {
    TcxEditingControl* control = nullptr;
    HHOOK hook = nullptr;
};

DragHookState& HookState()
{
    static DragHookState state;
    return state;
}

LRESULT DragMouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    DragHookState& state = HookState();
    const LRESULT result = CallNextHookEx(state.hook, code, wParam, lParam);
    TcxEditingControl* control = state.control;
    if (!control || code < 0) return result;
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    switch (wParam) {
    case WM_MOUSEMOVE:
        if (control->Dragging() && control->DragImageHelper() && info) control->DragImageHelper()->DragAndDrop(info->pt);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: control->FinishDragImages(); break;
    default: break;
    }
    return result;
}

} // namespace

void cxInstallDragImageHook(TcxEditingControl* control)
{
    cxRemoveDragImageHook();
    DragHookState& state = HookState();
    state.control = control;
    state.hook = SetWindowsHookExA(WH_MOUSE, &DragMouseHook, nullptr, GetCurrentThreadId());
}

void cxRemoveDragImageHook()
{
    DragHookState& state = HookState();
    ScopeGuard clear([&state] {
        state.control = nullptr;
        state.hook = nullptr;
    });
    if (state.hook) UnhookWindowsHookEx(state.hook);
}

bool cxDragImageHookInstalled() { return HookState().hook != nullptr; }

// The picture lives in a window of its own, which painting the windows
// below it never touches: there is nothing to take off them.
bool cxHideDragImage(HWND) { return false; }

bool cxShowDragImage(HWND) { return false; }
