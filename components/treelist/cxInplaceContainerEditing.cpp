// The editing controller: the one live in-place editor of an editing
// control, taken from a cache with one editor per properties object, placed
// over the focused cell, fed with the cell's value, posting it back or
// discarding it, and handing the keys it does not use to the control.
#include "components/treelist/cxInplaceContainerControllers.h"

#include <utility>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

namespace {

// Sets a flag for a scope and puts back what it was, so that a nested
// scope does not clear the flag of the one around it.
struct FlagScope {
    explicit FlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

// Far off to the right: the editor is kept but out of sight.
constexpr int kOutOfSight = 1073741823;

} // namespace

// ---- editing controller: life ---------------------------------------------------------------

TClass TcxEditingController::StaticClass()
{
    return DefineClass<TcxEditingController, TObject>("TcxEditingController");
}

void TcxEditingController::Construct(TcxCustomControlController* controller)
{
    controller_ = controller;
    editList_.reset(CreateObject<TcxInplaceEditList>());
}

void TcxEditingController::Destroy()
{
    StopEditShowingTimer();
    for (int i = 0; i < editList_->Count(); ++i)
        if (TcxCustomEdit* edit = editList_->Items(i)->Edit) edit->SetParent(nullptr);
    editList_.reset();
    TObject::Destroy();
}

TcxEditingControl* TcxEditingController::Control() const { return controller_->EditingControl(); }

bool TcxEditingController::IsDragging()
{
    return Control()->Dragging() || Control()->DragAndDropState() == ddsInProcess;
}

// ---- editing controller: start of editing ------------------------------------------------------

void TcxEditingController::SetEditingItem(TcxCustomInplaceEditContainer* item)
{
    if (item == editingItem_ || editingItemSetting_) return;
    FlagScope setting(editingItemSetting_);
    if (item) {
        if (!item->CanEdit() || !Control()->DoEditing(item)) return;
        item->SetFocused(true);
    }
    HideEdit(false);
    editingItem_ = item;
    if (!item) return;
    try {
        ShowEdit(item);
    } catch (...) {
        editingItem_ = nullptr;
        throw;
    }
    if (!editPreparing_ && !edit_) editingItem_ = nullptr;
}

void TcxEditingController::ShowEdit(TcxCustomInplaceEditContainer* item) { DoShowEdit(item, Activation::Plain, 0, {}, -1, -1); }

void TcxEditingController::ShowEdit(TcxCustomInplaceEditContainer* item, char key)
{
    DoShowEdit(item, Activation::Key, key, {}, -1, -1);
}

void TcxEditingController::ShowEdit(TcxCustomInplaceEditContainer* item, TShiftState shift, int x, int y)
{
    DoShowEdit(item, Activation::Mouse, 0, shift, x, y);
}

void TcxEditingController::DoShowEdit(TcxCustomInplaceEditContainer* item, Activation how, char key,
                                      TShiftState shift, int x, int y)
{
    if (!item) item = controller_->FocusedItem();
    if (!PrepareEdit(item, how == Activation::Mouse)) return;
    switch (how) {
    case Activation::Plain: edit_->Activate(item->EditDataRef()); break;
    case Activation::Key: edit_->ActivateByKey(key, item->EditDataRef()); break;
    case Activation::Mouse: edit_->ActivateByMouse(shift, x, y, item->EditDataRef()); break;
    }
}

bool TcxEditingController::PrepareEdit(TcxCustomInplaceEditContainer* item, bool onMouseEvent)
{
    controller_->CancelCheckEditPost();
    if (editPreparing_ || editHiding_ || !item || IsDragging()) return false;
    if (item == editingItem_ && !editingItemSetting_)
        return edit_ && (Control()->Focused() || onMouseEvent);
    FlagScope preparing(editPreparing_);
    if (!Control()->Focused()) return false;
    controller_->BeforeShowEdit();
    TcxEditCellViewInfo* cell = controller_->GetFocusedCellViewInfo(item);
    // A cell out of view (a delayed show after scrolling) has no editor to
    // take; the item stays editing while its editing is being set, so the
    // missing cell decides.
    item->SetEditing(cell != nullptr);
    if (!cell || !item->Editing()) return false;
    try {
        TcxCustomEditProperties* properties = GetEditingProperties();
        item->SetEditValueSource(properties->GetEditValueSource(true));
        edit_ = editList_->GetEdit(properties);
        edit_->SetVisible(false);
        edit_->SetParent(Control());
    } catch (...) {
        edit_ = nullptr;
        item->SetEditing(false);
        throw;
    }
    cell->Invalidate(false);
    InitEdit();
    return true;
}

TcxCustomEditProperties* TcxEditingController::GetEditingProperties()
{
    if (!editingItem_ || Control()->IsDestroying()) return nullptr;
    TcxEditCellViewInfo* cell = controller_->GetEditingViewInfo();
    if (!cell) return editingItem_->PropertiesValue();
    TcxCustomInplaceEditContainer* item = cell->GetEditContainer();
    TcxCustomEditProperties* properties = item->DoGetEditProperties(cell->GetViewInfoData());
    item->DoGetEditingProperties(cell->GetViewInfoData(), properties);
    return properties;
}

// The editor takes the cell's value with the properties' handlers saved
// and cleared: showing a value is no change of the user's.
void TcxEditingController::InitEdit()
{
    TcxCustomEditProperties* properties = edit_->ActiveProperties();
    prevOnChange_ = std::exchange(properties->OnChange, {});
    prevOnEditValueChanged_ = std::exchange(properties->OnEditValueChanged, {});
    UpdateEdit();
    UpdateEditValue();
    HookEdit();
    Control()->DoInitEdit(editingItem_, edit_);
}

void TcxEditingController::HookEdit()
{
    TcxCustomEditProperties* properties = edit_->ActiveProperties();
    properties->OnChange = TNotifyEvent::Bind(this, &TcxEditingController::EditChanged);
    properties->OnEditValueChanged = TNotifyEvent::Bind(this, &TcxEditingController::EditValueChanged);
    edit_->OnAfterKeyDown = TcxEditKeyEvent::Bind(this, &TcxEditingController::EditAfterKeyDown);
    edit_->OnEditing = TcxEditEditingEvent::Bind(this, &TcxEditingController::EditEditing);
    edit_->OnPostEditValue = TNotifyEvent::Bind(this, &TcxEditingController::EditPostEditValue);
    edit_->OnEnter = TNotifyEvent::Bind(this, &TcxEditingController::EditEnter);
    edit_->OnExit = TNotifyEvent::Bind(this, &TcxEditingController::EditExit);
    edit_->OnFocusChanged = TNotifyEvent::Bind(this, &TcxEditingController::EditFocusChanged);
    edit_->OnDblClick = TNotifyEvent::Bind(this, &TcxEditingController::EditDblClick);
    edit_->OnKeyDown = TKeyEvent::Bind(this, &TcxEditingController::EditKeyDown);
    edit_->OnKeyPress = TKeyPressEvent::Bind(this, &TcxEditingController::EditKeyPress);
    edit_->OnKeyUp = TKeyEvent::Bind(this, &TcxEditingController::EditKeyUp);
}

void TcxEditingController::UnhookEdit()
{
    TcxCustomEditProperties* properties = edit_->ActiveProperties();
    properties->OnChange = prevOnChange_;
    properties->OnEditValueChanged = prevOnEditValueChanged_;
    edit_->OnAfterKeyDown.Clear();
    edit_->OnEditing.Clear();
    edit_->OnPostEditValue.Clear();
    edit_->OnEnter.Clear();
    edit_->OnExit.Clear();
    edit_->OnFocusChanged.Clear();
    edit_->OnDblClick.Clear();
    edit_->OnKeyDown.Clear();
    edit_->OnKeyPress.Clear();
    edit_->OnKeyUp.Clear();
}

// ---- editing controller: placement --------------------------------------------------------------

void TcxEditingController::UpdateEdit()
{
    if (!edit_ || !editingItem_ || !editingItem_->FocusedCellViewInfo()) return;
    if (editPreparing_) DoUpdateEdit();
    else PostEditUpdate();
    editPlaced_ = true;
}

void TcxEditingController::CheckEditUpdatePost()
{
    if (editUpdateNeeded_) DoUpdateEdit();
}

void TcxEditingController::MoveEditOutOfSight()
{
    if (edit_) edit_->SetLeft(kOutOfSight);
}

void TcxEditingController::DoUpdateEdit()
{
    editUpdateNeeded_ = false;
    if (!IsEditing() || !edit_) return;
    controller_->BeforeShowEdit();
    TcxCustomInplaceEditContainer* focused = controller_->FocusedItem();
    TcxEditCellViewInfo* cell = focused ? controller_->GetFocusedCellViewInfo(focused) : nullptr;
    if (!cell || !cell->Visible || IsRectEmpty(&cell->EditRect)) return MoveEditOutOfSight();
    if (editPreparing_) {
        cell->Refresh(false);
        cxAssignEditStyle(cell);
        edit_->Style()->Assign(Control()->EditStyle());
    }
    const RECT& r = cell->EditRect;
    edit_->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    edit_->SetVisible(true);
}

// An editor that the calculation did not place, or whose cell it clipped
// away, must not stay where the cell used to be.
void TcxEditingController::AfterViewInfoCalculate()
{
    if (!IsEditing() || (editPlaced_ && editingItem_->IsEditPartVisible())) return;
    CancelEditUpdatePost();
    MoveEditOutOfSight();
}

// ---- editing controller: values and end of editing ----------------------------------------------

void TcxEditingController::UpdateEditValue()
{
    if (!IsEditing() || !edit_ || editHiding_ || initiatingEditing_) return;
    edit_->SetEditValue(editingItem_->GetEditValue());
    edit_->SelectAll();
}

void TcxEditingController::UpdateValue()
{
    if (!IsEditing() || !edit_ || !edit_->Modified()) return;
    edit_->ValidateEdit(true);
    editingItem_->SetEditValue(edit_->EditValue());
    edit_->SetModifiedAfterEnter(false);
}

bool TcxEditingController::AcceptEdit()
{
    // A value the editor refuses keeps it open on the cell.
    if (!edit_->Deactivate()) Abort();
    UpdateValue();
    TcxControlDataController* data = controller_->DataController();
    data->PostEditingData();
    if (controller_->IsImmediatePost()) data->Post();
    if (!editingItem_) return false;
    TcxEditCellViewInfo* cell = editingItem_->FocusedCellViewInfo();
    if (cell && cell->Properties) edit_->ActiveProperties()->Update(cell->Properties);
    return true;
}

void TcxEditingController::TakeEditAway()
{
    UnhookEdit();
    edit_->SetModified(false);
    const bool checks = controller_->EditChecksEnabled();
    controller_->SetEditChecksEnabled(false);
    {
        ScopeGuard restore([this, checks] { controller_->SetEditChecksEnabled(checks); });
        controller_->SetFocus();
    }
    edit_->SetVisible(false);
    edit_ = nullptr;
}

void TcxEditingController::HideEdit(bool accept)
{
    controller_->CancelCheckEditPost();
    CancelEditUpdatePost();
    StopEditShowingTimer();
    if (editHiding_ || !IsEditing()) return;
    FlagScope hiding(editHiding_);
    if (edit_ && accept && !AcceptEdit()) return;
    TcxCustomInplaceEditContainer* item = editingItem_;
    if (!Control()->IsDestroying()) Control()->DoEdited(item);
    editingItem_ = nullptr;
    controller_->RefreshFocusedCellViewInfo(item);
    if (edit_) TakeEditAway();
    errorOnEditExit_ = false;
}

void TcxEditingController::RemoveEdit(TcxCustomEditProperties* properties)
{
    if (!properties) return;
    if (edit_ && GetEditingProperties() == properties) SetEditingItem(nullptr);
    editList_->RemoveItem(properties);
}

bool TcxEditingController::CanRemoveEditFocus() { return !(edit_ && edit_->Focused() && !editHiding_); }

bool TcxEditingController::GetHideEditOnExit() { return !(controller_->GetAlwaysShowEditor() && !Control()->Focused()); }

bool TcxEditingController::GetHideEditOnFocusedRecordChange()
{
    if (!controller_->GetAlwaysShowEditor()) return true;
    const bool perRecord = editingItem_ && editingItem_->OnGetEditProperties.Assigned();
    return perRecord || Control()->OnEditing.Assigned() || Control()->OnInitEdit.Assigned();
}

// ---- editing controller: delayed show -------------------------------------------------------------

void TcxEditingController::StartEditShowingTimer(TcxCustomInplaceEditContainer* item)
{
    StopEditShowingTimer();
    editShowingTimerItem_ = item;
    editShowingTimer_.reset(CreateObject<TTimer>(static_cast<TComponent*>(nullptr)));
    editShowingTimer_->SetInterval(static_cast<unsigned>(GetDblClickInterval()));
    editShowingTimer_->OnTimer = TNotifyEvent::Bind(this, &TcxEditingController::EditShowingTimerHandler);
    editShowingTimer_->SetEnabled(true);
}

void TcxEditingController::StopEditShowingTimer() { editShowingTimer_.reset(); }

void TcxEditingController::EditShowingTimerHandler(TObject*)
{
    StopEditShowingTimer();
    if (editShowingTimerItem_) editShowingTimerItem_->SetEditing(true);
    controller_->SetWasEditingAtMouseDown(edit_ != nullptr);
}

// ---- editing controller: editor events ---------------------------------------------------------

void TcxEditingController::EditAfterKeyDown(TObject*, WORD& key, TShiftState shift)
{
    if (controller_->IsKeyForController(key, shift)) controller_->KeyDown(key, shift);
}

void TcxEditingController::EditChanged(TObject* sender)
{
    prevOnChange_(sender);
    Control()->DoEditChanged(editingItem_);
}

void TcxEditingController::EditValueChanged(TObject* sender)
{
    prevOnEditValueChanged_(sender);
    Control()->DoEditValueChanged(editingItem_);
}

void TcxEditingController::EditEditing(TObject*, bool& canEdit)
{
    FlagScope initiating(initiatingEditing_);
    canEdit = editingItem_ && editingItem_->CanInitEditing();
}

void TcxEditingController::EditPostEditValue(TObject*) { UpdateValue(); }

void TcxEditingController::EditDblClick(TObject* sender) { controller_->DoEditDblClick(sender); }

void TcxEditingController::EditEnter(TObject*)
{
    if (controller_->Focused()) return;
    controller_->SetFocused(true);
    controller_->ControlFocusChanged();
}

void TcxEditingController::EditExit(TObject*)
{
    if (GetHideEditOnExit()) {
        try {
            HideEdit(!controller_->GetCancelEditingOnExit());
        } catch (...) {
            // The value could not be posted: the user keeps the editor.
            if (IsEditing() && edit_) {
                if (edit_->CanFocus()) edit_->SetFocus();
                errorOnEditExit_ = true;
            }
            throw;
        }
    }
    Control()->FocusChanged();
}

// An in-place editor wants every key, so the form's dialog keys (a Cancel
// button) never saw this Escape; an unmodified one is the form's as well.
void TcxEditingController::PassEscapeToForm(WORD& key)
{
    TCustomForm* form = GetParentForm(Control());
    if (form && form->Perform(CM_DIALOGKEY, key, 0) != 0) key = 0;
}

void TcxEditingController::ResendEnter(WORD key, TShiftState shift)
{
    controller_->SetNavigationSkip(true);
    ScopeGuard reset([this] { controller_->SetNavigationSkip(false); });
    controller_->KeyDown(key, shift);
}

void TcxEditingController::EditKeyDown(TObject*, WORD& key, TShiftState shift)
{
    TcxEditingControl* control = Control();
    if (control->OnKeyDown.Assigned()) control->OnKeyDown(control, key, shift);
    controller_->BeforeEditKeyDown(key, shift);
    if (!control->ScrollingContent() && controller_->IsKeyForController(key, shift))
        controller_->MakeFocusedItemVisible();
    switch (key) {
    case VK_RETURN:
        HideEdit(true);
        if (controller_->GetGoToNextCellOnEnter()) {
            ResendEnter(key, shift);
            ShowEdit(nullptr);
        } else {
            controller_->CheckEdit();
        }
        key = 0;
        break;
    case VK_ESCAPE: {
        const bool modified = edit_ && edit_->Modified();
        HideEdit(false);
        controller_->CheckEdit();
        if (modified) key = 0;
        else PassEscapeToForm(key);
        break;
    }
    case VK_DELETE:
        if (shift == TShiftState{ssCtrl}) {
            controller_->KeyDown(key, shift);
            key = 0;
        }
        break;
    default: break;
    }
}

void TcxEditingController::EditKeyPress(TObject*, char& key)
{
    TcxEditingControl* control = Control();
    if (control->OnKeyPress.Assigned()) control->OnKeyPress(control, key);
    if (key == '\x1B') key = 0;
    controller_->MakeFocusedItemVisible();
}

void TcxEditingController::EditKeyUp(TObject*, WORD& key, TShiftState shift)
{
    TcxEditingControl* control = Control();
    if (control->OnKeyUp.Assigned()) control->OnKeyUp(control, key, shift);
}
