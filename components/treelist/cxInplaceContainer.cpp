#include "components/treelist/cxInplaceContainer.h"

#include "components/treelist/cxInplaceContainerControllers.h"
#include "components/treelist/cxInplaceContainerItems.h"
#include "components/treelist/cxInplaceContainerViewInfo.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxEditingControlEditShowButtons*)
{
    static const TEnumInfo info{"TcxEditingControlEditShowButtons", {"ecsbAlways", "ecsbFocused", "ecsbNever"}};
    return info;
}

// ---- unit helpers -----------------------------------------------------------------------

bool cxRange(int& value, int min, int max)
{
    if (cxInRange(value, min, max)) return true;
    value = value < min ? min : max;
    return false;
}

bool cxConfirmMessageBox(const std::string& text, const std::string& caption)
{
    return Application->MessageBox(text, caption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void cxAbstractError() { hostlib::AbstractError(); }

// ---- owned persistents --------------------------------------------------------------------

TClass TcxOwnedPersistent::StaticClass()
{
    return DefineClass<TcxOwnedPersistent, TPersistent>("TcxOwnedPersistent");
}

TClass TcxOwnedInterfacedPersistent::StaticClass()
{
    return DefineClass<TcxOwnedInterfacedPersistent, TcxOwnedPersistent>("TcxOwnedInterfacedPersistent");
}

TClass TcxInterfacedCollectionItem::StaticClass()
{
    return DefineClass<TcxInterfacedCollectionItem, TCollectionItem>("TcxInterfacedCollectionItem");
}

void TcxInterfacedCollectionItem::Construct(TCollection* collection)
{
    TCollectionItem::Construct(collection);
    ownerInterface_ = collection ? collection->GetOwner() : nullptr;
}

// ---- option objects -------------------------------------------------------------------------

TClass TcxControlOptions::StaticClass()
{
    return DefineClass<TcxControlOptions, TcxOwnedPersistent>("TcxControlOptions");
}

TcxEditingControl* TcxControlOptions::EditingControl() const { return As<TcxEditingControl>(GetOwner()); }

bool TcxControlOptions::SameClass(TPersistent* source) const
{
    return source && source->ClassType() == ClassType();
}

TClass TcxControlOptionsView::StaticClass()
{
    return DefineClass<TcxControlOptionsView, TcxControlOptions>("TcxControlOptionsView", [](ClassBuilder<TcxControlOptionsView>& b) {
        using V = TcxControlOptionsView;
        b.Property("CellAutoHeight", &V::CellAutoHeight, &V::SetCellAutoHeight).Default(false);
        b.Property("CellEndEllipsis", &V::CellEndEllipsis, &V::SetCellEndEllipsis).Default(false);
        b.Property("CellTextMaxLineCount", &V::CellTextMaxLineCount, &V::SetCellTextMaxLineCount).Default(0);
        b.Property("ShowEditButtons", &V::ShowEditButtons, &V::SetShowEditButtons).Default(ecsbNever);
    });
}

void TcxControlOptionsView::Changed()
{
    if (TcxEditingControl* control = EditingControl()) control->LayoutChanged();
}

TScrollStyle TcxControlOptionsView::ScrollBars() const
{
    TcxEditingControl* control = EditingControl();
    return control ? control->ScrollBars() : ssBoth;
}

void TcxControlOptionsView::SetScrollBars(TScrollStyle value)
{
    if (TcxEditingControl* control = EditingControl()) control->SetScrollBars(value);
}

void TcxControlOptionsView::Assign(TPersistent* source)
{
    if (!SameClass(source)) return TcxControlOptions::Assign(source);
    auto* v = static_cast<TcxControlOptionsView*>(source);
    SetCellAutoHeight(v->CellAutoHeight());
    SetCellEndEllipsis(v->CellEndEllipsis());
    SetCellTextMaxLineCount(v->CellTextMaxLineCount());
    SetScrollBars(v->ScrollBars());
    SetShowEditButtons(v->ShowEditButtons());
}

TClass TcxControlOptionsData::StaticClass()
{
    return DefineClass<TcxControlOptionsData, TcxControlOptions>("TcxControlOptionsData", [](ClassBuilder<TcxControlOptionsData>& b) {
        using D = TcxControlOptionsData;
        b.Property("CancelOnExit", &D::CancelOnExit, &D::SetCancelOnExit).Default(true);
        b.Property("Editing", &D::Editing, &D::SetEditing).Default(true);
    });
}

void TcxControlOptionsData::SetEditing(bool value)
{
    if (editing_ == value) return;
    editing_ = value;
    TcxEditingControl* control = EditingControl();
    if (!value && control && control->Controller()) control->Controller()->SetEditingItem(nullptr);
    Changed();
}

void TcxControlOptionsData::Assign(TPersistent* source)
{
    if (!SameClass(source)) return TcxControlOptions::Assign(source);
    auto* d = static_cast<TcxControlOptionsData*>(source);
    cancelOnExit_ = d->CancelOnExit();
    SetEditing(d->Editing());
}

TClass TcxControlOptionsBehavior::StaticClass()
{
    return DefineClass<TcxControlOptionsBehavior, TcxControlOptions>("TcxControlOptionsBehavior", [](ClassBuilder<TcxControlOptionsBehavior>& b) {
        using B = TcxControlOptionsBehavior;
        b.Property("AlwaysShowEditor", &B::AlwaysShowEditor, &B::SetAlwaysShowEditor).Default(false);
        b.Property("CellHints", &B::CellHints, &B::SetCellHints).Default(false);
        b.Property("FocusCellOnCycle", &B::FocusCellOnCycle, &B::SetFocusCellOnCycle).Default(false);
        b.Property("GoToNextCellOnEnter", &B::GoToNextCellOnEnter, &B::SetGoToNextCellOnEnter).Default(false);
        b.Property("GoToNextCellOnTab", &B::GoToNextCellOnTab, &B::SetGoToNextCellOnTab).Default(false);
        b.Property("ImmediateEditor", &B::ImmediateEditor, &B::SetImmediateEditor).Default(true);
        b.Property("IncSearch", &B::IncSearch, &B::SetIncSearch).Default(false);
    });
}

void TcxControlOptionsBehavior::Changed()
{
    TcxEditingControl* control = EditingControl();
    if (control && control->Controller()) control->Controller()->BehaviorChanged();
}

void TcxControlOptionsBehavior::SetGoToNextCellOnTab(bool value)
{
    if (goToNextCellOnTab_ == value) return;
    goToNextCellOnTab_ = value;
    if (TcxEditingControl* control = EditingControl()) {
        TcxKeys keys = control->Keys();
        if (value) keys.Include(kTab);
        else keys.Exclude(kTab);
        control->SetKeys(keys);
    }
    Changed();
}

void TcxControlOptionsBehavior::CancelIncSearching()
{
    TcxEditingControl* control = EditingControl();
    if (control && control->Controller()) control->Controller()->CancelIncSearching();
}

void TcxControlOptionsBehavior::SetIncSearch(bool value)
{
    if (incSearch_ == value) return;
    incSearch_ = value;
    if (!value) CancelIncSearching();
}

void TcxControlOptionsBehavior::SetIncSearchItem(TcxCustomInplaceEditContainer* value)
{
    if (incSearchItem_ == value) return;
    CancelIncSearching();
    incSearchItem_ = value;
}

void TcxControlOptionsBehavior::Assign(TPersistent* source)
{
    if (!SameClass(source)) return TcxControlOptions::Assign(source);
    auto* b = static_cast<TcxControlOptionsBehavior*>(source);
    SetAlwaysShowEditor(b->AlwaysShowEditor());
    SetCellHints(b->CellHints());
    SetFocusCellOnCycle(b->FocusCellOnCycle());
    SetFocusFirstCellOnNewRecord(b->FocusFirstCellOnNewRecord());
    SetGoToNextCellOnEnter(b->GoToNextCellOnEnter());
    SetGoToNextCellOnTab(b->GoToNextCellOnTab());
    SetImmediateEditor(b->ImmediateEditor());
}

// ---- editing control: life -------------------------------------------------------------------

TClass TcxEditingControl::StaticClass()
{
    return DefineClass<TcxEditingControl, TcxControl>("TcxEditingControl", [](ClassBuilder<TcxEditingControl>& b) {
        b.Property("BorderStyle", &TcxEditingControl::BorderStyle, &TcxEditingControl::SetBorderStyle)
            .Default(cxcbsDefault);
        b.Property("Styles", &TcxEditingControl::Styles, &TcxEditingControl::SetStyles);
    });
}

void TcxEditingControl::Construct(TComponent* owner)
{
    TcxControl::Construct(owner);
    items_.reset(CreateObject<TList>());
    CreateSubClasses();
    SetKeys(TcxKeys{kArrows, kChars});
    SetBorderStyle(cxcbsDefault);
    SetDragCursor(crDefault);
}

void TcxEditingControl::Destroy()
{
    EndMouseTracking(&mouseTracker_);
    FinishDragImages();
    // Items that outlive the control must not reach back into it.
    for (int i = 0; i < ItemCount(); ++i) Items(i)->ForgetEditingControl();
    DestroySubClasses();
    items_.reset();
    TcxControl::Destroy();
}

void TcxEditingControl::CreateSubClasses()
{
    styles_.reset(CreateInstance<TcxCustomControlStyles>(GetControlStylesClass(), static_cast<TPersistent*>(this)));
    brushCache_.reset(CreateObject<TcxBrushCache>());
    editStyle_.reset(CreateInstance<TcxCustomEditStyle>(GetEditStyleClass(), static_cast<TPersistent*>(nullptr), true));
    editStyle_->LookAndFeel()->SetMasterLookAndFeel(LookAndFeel());
    controller_.reset(CreateInstance<TcxCustomControlController>(GetControllerClass(), this));
    dataController_.reset(CreateInstance<TcxControlDataController>(GetDataControllerClass(), static_cast<TComponent*>(this)));
    RecreateViewInfo();
}

void TcxEditingControl::DestroySubClasses()
{
    viewInfo_.reset();
    brushCache_.reset();
    controller_.reset();
    editStyle_.reset();
    dataController_.reset();
    styles_.reset();
}

void TcxEditingControl::RecreateViewInfo()
{
    if (controller_) {
        controller_->SetEditingItem(nullptr);
        controller_->Clear();
    }
    viewInfo_.reset();
    viewInfo_.reset(CreateInstance<TcxCustomControlViewInfo>(GetViewInfoClass(), this));
}

TClass TcxEditingControl::GetControllerClass() { return TcxCustomControlController::StaticClass(); }
TClass TcxEditingControl::GetControlStylesClass() { return TcxCustomControlStyles::StaticClass(); }
TClass TcxEditingControl::GetDataControllerClass() { return TcxControlDataController::StaticClass(); }
TClass TcxEditingControl::GetDragImageHelperClass() { return TcxDragImageHelper::StaticClass(); }
TClass TcxEditingControl::GetEditStyleClass() { return TcxEditStyle::StaticClass(); }
TClass TcxEditingControl::GetEditingControllerClass() { return TcxEditingController::StaticClass(); }
TClass TcxEditingControl::GetHitTestControllerClass() { return TcxCustomHitTestController::StaticClass(); }
TClass TcxEditingControl::GetHotTrackControllerClass() { return TcxHotTrackController::StaticClass(); }
TClass TcxEditingControl::GetViewInfoClass() { return TcxCustomControlViewInfo::StaticClass(); }
TClass TcxEditingControl::GetPainterClass() { return TcxCustomControlPainter::StaticClass(); }

IcxEditingControlOptions* TcxEditingControl::GetOptions() { cxAbstractError(); }

bool TcxEditingControl::HasDragDropImages() { return GetOptions()->GetOptionsBehavior()->DragDropText(); }

TcxCustomInplaceEditContainer* TcxEditingControl::Items(int index) const
{
    return static_cast<TcxCustomInplaceEditContainer*>(items_->Items(index));
}

TcxCustomControlPainter* TcxEditingControl::GetPainter() const { return viewInfo_ ? viewInfo_->Painter() : nullptr; }

bool TcxEditingControl::BufferedPaint() const { return GetPainter() && GetPainter()->Buffered(); }

void TcxEditingControl::SetBufferedPaint(bool value)
{
    if (TcxCustomControlPainter* painter = GetPainter()) painter->SetBuffered(value);
}

void TcxEditingControl::SetStyles(TcxCustomControlStyles* value) { styles_->Assign(value); }

void TcxEditingControl::Loaded()
{
    TcxControl::Loaded();
    dataController_->Loaded();
    LayoutChanged();
}

void TcxEditingControl::InitControl()
{
    TcxControl::InitControl();
    LayoutChanged();
}

// ---- editing control: update brackets and layout ----------------------------------------------

void TcxEditingControl::DoBeginUpdate()
{
    ++lockCount_;
    dataController_->BeginUpdate();
}

void TcxEditingControl::DoEndUpdate()
{
    if (lockCount_ == 0) return;
    dataController_->EndUpdate();
    if (--lockCount_ == 0) BeforeUpdate();
    LayoutChanged();
}

void TcxEditingControl::CancelUpdate()
{
    if (lockCount_ == 0) return;
    dataController_->EndUpdate();
    --lockCount_;
}

bool TcxEditingControl::IsLocked()
{
    return lockCount_ != 0 || IsLoading() || IsDestroying() || !HandleAllocated();
}

void TcxEditingControl::LayoutChanged()
{
    if (viewInfo_) viewInfo_->SetState(cxvisCalculationNeeded, true);
    if (IsLocked()) return;
    ++layoutChangeDepth_;
    controller_->Reset();
    BeginUpdate();
    quelvo::sys::ScopeGuard finish([this] { FinishLayoutChange(); });
    DoLayoutChanged();
}

void TcxEditingControl::FinishLayoutChange()
{
    if (viewInfo_) viewInfo_->SetState(cxvisCalculationNeeded, false);
    CancelUpdate();
    SetInternalControlsBounds();
    UpdateScrollBars();
    if (--layoutChangeDepth_ != 0) return;
    controller_->HitTestController()->ReCalculate();
    controller_->EditingController()->PostEditUpdate();
    fullRepaint_ = true;
    AfterLayoutChanged();
    Invalidate();
}

void TcxEditingControl::DoLayoutChanged() { viewInfo_->Calculate(); }

void TcxEditingControl::ExchangeItems(int index1, int index2)
{
    items_->Exchange(index1, index2);
    UpdateIndexes();
}

void TcxEditingControl::UpdateViewStyles()
{
    if (viewInfo_) viewInfo_->SetState(cxvisStylesChanged, true);
    LayoutChanged();
}

void TcxEditingControl::UpdateIndexes()
{
    for (int i = 0; i < ItemCount(); ++i) Items(i)->SetItemIndex(i);
}

// ---- editing control: data-controller notifications ------------------------------------------

void TcxEditingControl::ControlUpdateData(TcxUpdateControlInfo* info)
{
    if (Is<TcxDataChangedInfo>(info)) {
        DataChanged();
    } else if (Is<TcxLayoutChangedInfo>(info)) {
        DataLayoutChanged();
    } else if (auto* focused = As<TcxFocusedRecordChangedInfo>(info)) {
        controller_->FocusedRecordChanged(focused->PrevFocusedRowIndex, focused->FocusedRowIndex);
        controller_->Navigator()->Refresh();
    } else if (auto* selection = As<TcxSelectionChangedInfo>(info)) {
        SelectionChanged(selection);
    } else if (auto* record = As<TcxUpdateRecordInfo>(info)) {
        controller_->UpdateRecord(record->RecordIndex);
    }
}

void TcxEditingControl::DataChanged()
{
    ++lockCount_;
    {
        quelvo::sys::ScopeGuard unlock([this] { --lockCount_; });
        for (int i = 0; i < ItemCount(); ++i) Items(i)->DataChanged();
    }
    if (!IsLocked()) controller_->RefreshFocusedRecord();
}

void TcxEditingControl::DataLayoutChanged()
{
    controller_->EditingController()->UpdateEditValue();
    controller_->RefreshFocusedRecord();
}

void TcxEditingControl::DoInplaceEditContainerItemAdded(TcxCustomInplaceEditContainer* item)
{
    quelvo::sys::ScopeGuard relayout([this] { LayoutChanged(); });
    items_->Add(item);
    UpdateIndexes();
    dataController_->AddItem(item);
}

void TcxEditingControl::DoInplaceEditContainerItemRemoved(TcxCustomInplaceEditContainer* item)
{
    quelvo::sys::ScopeGuard relayout([this] { LayoutChanged(); });
    items_->Remove(item);
    dataController_->RemoveItem(item);
    UpdateIndexes();
}

void TcxEditingControl::UpdateData() { controller_->EditingController()->UpdateValue(); }

// ---- editing control: events -------------------------------------------------------------------

bool TcxEditingControl::DoEditing(TcxCustomInplaceEditContainer* item)
{
    bool allow = true;
    OnEditing(this, item, allow);
    return allow;
}

void TcxEditingControl::DoEditChanged(TcxCustomInplaceEditContainer* item) { OnEditChanged(this, item); }
void TcxEditingControl::DoEdited(TcxCustomInplaceEditContainer* item) { OnEdited(this, item); }
void TcxEditingControl::DoEditValueChanged(TcxCustomInplaceEditContainer* item) { OnEditValueChanged(this, item); }
void TcxEditingControl::DoInitEdit(TcxCustomInplaceEditContainer* item, TcxCustomEdit* edit)
{
    OnInitEdit(this, item, edit);
}

// ---- editing control: input routing -------------------------------------------------------------

void TcxEditingControl::KeyDown(WORD& key, TShiftState shift)
{
    controller_->SetEscapePressed(key == VK_ESCAPE);
    quelvo::sys::ScopeGuard clear([this] { if (controller_) controller_->SetEscapePressed(false); });
    TcxControl::KeyDown(key, shift);
    controller_->KeyDown(key, shift);
}

void TcxEditingControl::KeyPress(char& key)
{
    TcxControl::KeyPress(key);
    controller_->KeyPress(key);
}

void TcxEditingControl::KeyUp(WORD& key, TShiftState shift)
{
    TcxControl::KeyUp(key, shift);
    controller_->KeyUp(key, shift);
}

void TcxEditingControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    controller_->HideHint();
    controller_->SetMousePressed(true);
    controller_->BeforeMouseDown(button, shift, x, y);
    TcxControl::MouseDown(button, shift, x, y);
    controller_->HitTestController()->RecalculateOnMouseEvent(x, y, shift);
    controller_->DoMouseDown(button, shift, x, y);
}

void TcxEditingControl::AfterMouseDown(TMouseButton button, int x, int y)
{
    dragStartPoint_ = POINT{x, y};
    TcxControl::AfterMouseDown(button, x, y);
}

void TcxEditingControl::MouseMove(TShiftState shift, int x, int y)
{
    TcxControl::MouseMove(shift, x, y);
    controller_->HitTestController()->RecalculateOnMouseEvent(x, y, shift);
    if (DragAndDropState() == ddsNone) controller_->DoMouseMove(shift, x, y);
}

void TcxEditingControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    controller_->SetMousePressed(false);
    controller_->HitTestController()->RecalculateOnMouseEvent(x, y, shift);
    quelvo::sys::ScopeGuard show([this] { controller_->PostShowEdit(); });
    if (DragAndDropState() != ddsNone) {
        TcxControl::MouseUp(button, shift, x, y);
        controller_->DoMouseUp(button, shift, x, y);
    } else {
        controller_->DoMouseUp(button, shift, x, y);
        TcxControl::MouseUp(button, shift, x, y);
    }
}

void TcxEditingControl::MouseEnter(TControl* control)
{
    TcxControl::MouseEnter(control);
    BeginMouseTracking(this, GetBounds(), &mouseTracker_);
    controller_->MouseEnter();
}

void TcxEditingControl::MouseLeave(TControl* control)
{
    // The pointer leaving a child (the open editor) for the control's own
    // area has not left the control.
    if (control && control != this && PointerOverClient()) return TcxControl::MouseLeave(control);
    EndMouseTracking(&mouseTracker_);
    if (controller_) controller_->MouseLeave();
    TcxControl::MouseLeave(control);
}

bool TcxEditingControl::PointerOverClient()
{
    if (!HandleAllocated()) return false;
    POINT p{};
    GetCursorPos(&p);
    p = ScreenToClient(p);
    const RECT client = GetClientBounds();
    return PtInRect(&client, p) != 0;
}

void TcxEditingControl::DblClick()
{
    controller_->DblClick();
    TcxControl::DblClick();
}

void TcxEditingControl::DoExit()
{
    // Freeing a focused control takes the focus away after its helpers went.
    if (controller_) controller_->DoExit();
    TcxControl::DoExit();
}

void TcxEditingControl::FocusChanged()
{
    TcxControl::FocusChanged();
    if (controller_) controller_->FocusChanged();
}

void TcxEditingControl::DoCancelMode()
{
    TcxControl::DoCancelMode();
    if (controller_) controller_->DoCancelMode();
}

hostlib::TCursor TcxEditingControl::GetCursor(int x, int y)
{
    const TCursor cursor = controller_->GetCursor(x, y);
    return cursor != crDefault ? cursor : TcxControl::GetCursor(x, y);
}

bool TcxEditingControl::GetDesignHitTest(int x, int y, TShiftState shift)
{
    return controller_->HitTestController()->AllowDesignMouseEvents(x, y, shift);
}

bool TcxEditingControl::GetIsFocused()
{
    return TcxControl::GetIsFocused() || (controller_ && controller_->HasFocusedControls());
}

bool TcxEditingControl::MayFocus() { return TcxControl::MayFocus() && (!controller_ || controller_->MayFocus()); }

TcxMouseWheelScrollingKind TcxEditingControl::GetMouseWheelScrollingKind()
{
    const TcxMouseWheelScrollingKind kind = TcxControl::GetMouseWheelScrollingKind();
    return kind != mwskNone ? kind : controller_->GetMouseWheelScrollingKind();
}

void TcxEditingControl::InitScrollBarsParameters()
{
    if (controller_) controller_->InitScrollBarsParameters();
}

bool TcxEditingControl::IsPixelScrollBar(TScrollBarKind kind)
{
    return controller_ && controller_->IsPixelScrollBar(kind);
}

void TcxEditingControl::Scroll(TScrollBarKind kind, TScrollCode code, int& pos)
{
    controller_->EditingController()->PostEditUpdate();
    controller_->Scroll(kind, code, pos);
}

void TcxEditingControl::WndProc(TMessage& message)
{
    if (controller_) controller_->WndProc(message);
    TcxControl::WndProc(message);
}

void TcxEditingControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_CANCELMODE: return WMCancelMode(message);
    case WM_SETCURSOR: return WMSetCursor(message);
    default: return TcxControl::Dispatch(message);
    }
}

void TcxEditingControl::WMCancelMode(TMessage& m)
{
    controller_->SetEscapePressed(true);
    quelvo::sys::ScopeGuard clear([this] { controller_->SetEscapePressed(false); });
    TcxControl::Dispatch(m);
}

void TcxEditingControl::WMSetCursor(TMessage& m)
{
    TcxCustomHitTestController* hitTest = controller_->HitTestController();
    if (IsDesigning() && DragAndDropState() == ddsNone) {
        const POINT p = ScreenToClient(GetMouseCursorPos());
        if (hitTest->AllowDesignMouseEvents(p.x, p.y, TShiftState{ssLeft})) {
            ::SetCursor(Screen->Cursors(hitTest->GetCurrentCursor()));
            m.Result = 1;
            return;
        }
    }
    TcxControl::Dispatch(m);
}

bool TcxEditingControl::ExecuteAction(TComponent* action)
{
    return Focused() && dataController_->ExecuteAction(action);
}

bool TcxEditingControl::UpdateAction(TComponent* action)
{
    return Focused() && dataController_->UpdateAction(action);
}

void TcxEditingControl::CreateParams(TCreateParams& params)
{
    TcxControl::CreateParams(params);
    params.WindowClass.style &= ~static_cast<UINT>(CS_VREDRAW | CS_HREDRAW);
}

void TcxEditingControl::AlignControls(TControl* control, RECT& rect)
{
    if (Is<TcxCustomEdit>(control)) return;
    TcxControl::AlignControls(control, rect);
}

void TcxEditingControl::FontChanged()
{
    TcxControl::FontChanged();
    UpdateViewStyles();
}

void TcxEditingControl::BoundsChanged()
{
    LayoutChanged();
    TcxControl::BoundsChanged();
}

void TcxEditingControl::ItemsPropertiesChanged()
{
    for (int i = 0; i < ItemCount(); ++i) Items(i)->InternalPropertiesChanged();
}

void TcxEditingControl::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values)
{
    TcxEditingController* editing = controller_ ? controller_->EditingController() : nullptr;
    const bool wasShown = editing && editing->Edit() != nullptr;
    if (wasShown) editing->HideEdit(true);
    TcxControl::LookAndFeelChanged(sender, values);
    if (!controller_) return;
    BeginUpdate();
    {
        quelvo::sys::ScopeGuard close([this] {
            UpdateViewStyles();
            EndUpdate();
        });
        ItemsPropertiesChanged();
    }
    if (wasShown) editing->ShowEdit(controller_->FocusedItem());
}

// ---- editing control: painting and drags ----------------------------------------------------------

void TcxEditingControl::Paint()
{
    cxHideDragImage(Handle());
    controller_->BeforePaint();
    quelvo::sys::ScopeGuard after([this] {
        controller_->AfterPaint();
        cxShowDragImage(Handle());
    });
    TcxControl::Paint();
    GetPainter()->Paint();
}

void TcxEditingControl::BeginAutoDrag()
{
    controller_->HideHint();
    if (controller_->IsEditing()) controller_->EditingController()->HideEdit(true);
    BeginDrag(false, Mouse->DragThreshold());
}

void TcxEditingControl::InstallDragHook()
{
    dragImageHelper_.reset(CreateInstance<TcxDragImageHelper>(GetDragImageHelperClass(), this, dragStartPoint_));
    cxInstallDragImageHook(this);
}

void TcxEditingControl::DoStartDrag(TDragObject*& dragObject)
{
    controller_->HitTestController()->SetHitPoint(dragStartPoint_);
    controller_->BeforeStartDrag();
    TcxControl::DoStartDrag(dragObject);
    controller_->StartDrag(dragObject);
    FinishDragImages();
    if (HasDragDropImages()) InstallDragHook();
}

void TcxEditingControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept)
{
    TcxControl::DragOver(source, x, y, state, accept);
    controller_->DragOver(source, x, y, state, accept);
}

void TcxEditingControl::DragDrop(TObject* source, int x, int y)
{
    controller_->DragDrop(source, x, y);
    TcxControl::DragDrop(source, x, y);
}

void TcxEditingControl::DoEndDrag(TObject* target, int x, int y)
{
    controller_->EndDrag(target, x, y);
    TcxControl::DoEndDrag(target, x, y);
    controller_->SetMousePressed(false);
    controller_->PostShowEdit();
    FinishDragImages();
    dragStartPoint_ = POINT{0, 0};
}

void TcxEditingControl::FinishDragImages()
{
    if (!dragImageHelper_) return;
    cxRemoveDragImageHook();
    dragImageHelper_.reset();
}

bool TcxEditingControl::CanDrag(int x, int y) { return controller_ && controller_->CanDrag(x, y); }

void TcxEditingControl::BeginDragAndDrop()
{
    controller_->BeginDragAndDrop();
    TcxControl::BeginDragAndDrop();
}

bool TcxEditingControl::StartDragAndDrop(const POINT& p)
{
    const bool result = controller_->StartDragAndDrop(p);
    if (result) controller_->HideHint();
    return result;
}

void TcxEditingControl::DragAndDrop(const POINT& p, bool& accepted)
{
    TcxControl::DragAndDrop(p, accepted);
    controller_->DragAndDrop(p, accepted);
}

void TcxEditingControl::EndDragAndDrop(bool accepted)
{
    TcxControl::EndDragAndDrop(accepted);
    controller_->EndDragAndDrop(accepted);
    dragStartPoint_ = POINT{0, 0};
}

TcxDragAndDropObjectClass TcxEditingControl::GetDragAndDropObjectClass()
{
    if (TcxDragAndDropObjectClass cls = controller_->GetDragAndDropObjectClass()) return cls;
    return TcxControl::GetDragAndDropObjectClass();
}

// ---- extended control ----------------------------------------------------------------------------

TClass TcxExtEditingControl::StaticClass()
{
    return DefineClass<TcxExtEditingControl, TcxEditingControl>("TcxExtEditingControl");
}

TClass TcxExtEditingControl::GetOptionsBehaviorClass() { return TcxControlOptionsBehavior::StaticClass(); }
TClass TcxExtEditingControl::GetOptionsDataClass() { return TcxControlOptionsData::StaticClass(); }
TClass TcxExtEditingControl::GetOptionsViewClass() { return TcxControlOptionsView::StaticClass(); }

void TcxExtEditingControl::CreateSubClasses()
{
    TPersistent* self = this;
    optionsBehavior_.reset(CreateInstance<TcxControlOptionsBehavior>(GetOptionsBehaviorClass(), self));
    optionsData_.reset(CreateInstance<TcxControlOptionsData>(GetOptionsDataClass(), self));
    optionsView_.reset(CreateInstance<TcxControlOptionsView>(GetOptionsViewClass(), self));
    TcxEditingControl::CreateSubClasses();
}

void TcxExtEditingControl::DestroySubClasses()
{
    TcxEditingControl::DestroySubClasses();
    optionsBehavior_.reset();
    optionsData_.reset();
    optionsView_.reset();
}

// ---- unit ----------------------------------------------------------------------------------------

void cxInplaceContainerInitialize() { cxieValueTypeClassRepository(); }

void cxInplaceContainerFinalize()
{
    cxRemoveDragImageHook();
    cxieFreeValueTypeClassRepository();
}
