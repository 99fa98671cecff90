#include "components/editor-catalogue/cxLookupEdit.h"

#include <algorithm>

#include "components/data/cxDataUtils.h"
#include "components/editors/cxEditUtils.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

// ---- lookup data ------------------------------------------------------------------------------

TClass TcxCustomLookupEditLookupData::StaticClass()
{
    return DefineClass<TcxCustomLookupEditLookupData, TcxInterfacedPersistent>("TcxCustomLookupEditLookupData");
}

void TcxCustomLookupEditLookupData::Construct(TPersistent* owner)
{
    TcxInterfacedPersistent::Construct(owner);
    currentKey_ = Variant::Null();
}

TcxCustomLookupEdit* TcxCustomLookupEditLookupData::Edit() const { return As<TcxCustomLookupEdit>(GetOwner()); }

TcxCustomLookupEditProperties* TcxCustomLookupEditLookupData::Properties() const { return Edit()->ActiveProperties(); }

TcxCustomDataController* TcxCustomLookupEditLookupData::DataController() const
{
    return Properties()->GetLookupGridDataController();
}

std::string TcxCustomLookupEditLookupData::EditText() const { return Edit()->Text(); }

template <class F>
void TcxCustomLookupEditLookupData::Changing(F&& proc)
{
    DisableChanging();
    quelvo::sys::ScopeGuard enable([this] { EnableChanging(); });
    proc();
}

void TcxCustomLookupEditLookupData::DisableChanging() { Properties()->DisableChanging(); }
void TcxCustomLookupEditLookupData::EnableChanging() { Properties()->EnableChanging(); }

bool TcxCustomLookupEditLookupData::CanResizeVisualArea(SIZE& newSize, int maxHeight, int)
{
    if (maxHeight > 0 && maxHeight < newSize.cy)
        newSize.cy = maxHeight;
    if (Properties()->GetLookupGridCanResize())
        newSize.cy = Properties()->GetLookupGridNearestPopupHeight(newSize.cy);
    return true;
}

void TcxCustomLookupEditLookupData::DropDown()
{
    Changing([this] {
        TcxCustomLookupEditProperties* properties = Properties();
        properties->LockDataChanged();
        properties->LookupGridInitialize();
        properties->LookupGridInitEvents(TNotifyEvent::Bind(this, &TcxCustomLookupEditLookupData::GridClick),
                                         TNotifyEvent::Bind(this, &TcxCustomLookupEditLookupData::GridFocusedRowChanged),
                                         TcxLookupEditCloseUpEvent::Bind(this, &TcxCustomLookupEditLookupData::GridCloseUp));
        TcxCustomLookupEdit* edit = Edit();
        auto* style = edit->GetActiveStyle();
        properties->LookupGridInitLookAndFeel(edit->PopupControlsLookAndFeel(), style->GetColor(),
                                              style->GetVisibleFont());
        properties->LookupGridLockMouseMove();
        visible_ = true;
        SyncGrid();
        SyncSelected();
    });
}

void TcxCustomLookupEditLookupData::CloseUp()
{
    Changing([this] {
        ResetIncrementalFilter();
        visible_ = false;
        TcxCustomLookupEditProperties* properties = Properties();
        properties->LookupGridInitEvents({}, {}, {});
        properties->LookupGridUnlockMouseMove();
        properties->LookupGridDeinitialize();
        properties->UnlockDataChanged();
    });
}

void TcxCustomLookupEditLookupData::Deinitialize() { Properties()->UnlinkLookupGridControlParent(); }

void TcxCustomLookupEditLookupData::DroppedDown(const std::string& findText)
{
    Properties()->LookupGridDroppedDown(findText);
}

bool TcxCustomLookupEditLookupData::Find(const std::string& text) { return Properties()->FindLookupText(text); }

TWinControl* TcxCustomLookupEditLookupData::GetActiveControl() { return Properties()->GetLookupGridActiveControl(); }

std::string TcxCustomLookupEditLookupData::GetDisplayText(const Variant& key)
{
    return Properties()->GetDisplayLookupText(key);
}

SIZE TcxCustomLookupEditLookupData::GetVisualAreaPreferredSize(int, int)
{
    TcxCustomLookupEditProperties* properties = Properties();
    int rows = properties->DropDownRows();
    if (TcxCustomDataController* controller = DataController())
        rows = std::min(rows, controller->GetRowCount());
    rows = std::max(rows, 1);
    return SIZE{properties->GetLookupGridVisualAreaPreferredWidth(), properties->GetLookupGridPopupHeight(rows)};
}

void TcxCustomLookupEditLookupData::Initialize(TWinControl* visualControlsParent)
{
    if (TWinControl* grid = Properties()->GetLookupGridControl())
        grid->SetParent(visualControlsParent);
}

bool TcxCustomLookupEditLookupData::IsEmpty()
{
    TcxCustomDataController* controller = DataController();
    return Properties()->GetListIndex() == -1 || !controller || controller->GetRecordCount() == 0;
}

bool TcxCustomLookupEditLookupData::IsMouseOverList(const POINT& screenPoint)
{
    TWinControl* grid = Properties()->GetLookupGridControl();
    return grid && Properties()->IsLookupGridMouseOverList(grid->ScreenToClient(screenPoint));
}

void TcxCustomLookupEditLookupData::PositionVisualArea(const RECT& clientRect)
{
    TWinControl* grid = Properties()->GetLookupGridControl();
    if (!grid)
        return;
    grid->SetBounds(clientRect.left, clientRect.top, clientRect.right - clientRect.left,
                    clientRect.bottom - clientRect.top);
    grid->HandleNeeded();
    Properties()->LookupGridMakeFocusedRowVisible();
}

void TcxCustomLookupEditLookupData::SelectItem()
{
    if (!IsKeySelected())
        return;
    DoSetCurrentKey(DataController()->GetFocusedRecordIndex());
    DoSelectItem();
}

void TcxCustomLookupEditLookupData::SetCurrentKey(const Variant& key)
{
    currentKey_ = key;
    SyncGrid();
}

void TcxCustomLookupEditLookupData::TextChanged()
{
    Changing([this] { SyncSelected(); });
}

void TcxCustomLookupEditLookupData::DoSetCurrentKey(int recordIndex) { currentKey_ = Variant(recordIndex); }

void TcxCustomLookupEditLookupData::DoSyncGrid()
{
    TcxCustomDataController* controller = DataController();
    if (!controller)
        return;
    int record = -1;
    if (!currentKey_.IsNull() && !currentKey_.IsEmpty() && !currentKey_.IsArray()) {
        try {
            record = currentKey_.AsInteger();
        } catch (const EVariantError&) {
            record = -1;
        }
    }
    controller->ChangeFocusedRecordIndex(record);
}

void TcxCustomLookupEditLookupData::GridClick(TObject*) { SelectItem(); }

void TcxCustomLookupEditLookupData::GridCloseUp(TObject*, bool accept) { Edit()->CloseUp(accept); }

bool TcxCustomLookupEditLookupData::IsKeySelected()
{
    TcxCustomDataController* controller = DataController();
    return controller && controller->GetSelectedCount() == 1 &&
           controller->GetSelectedRowIndex(0) == controller->GetFocusedRowIndex();
}

void TcxCustomLookupEditLookupData::DoSetKeySelection(bool selected)
{
    if (TcxCustomDataController* controller = DataController())
        controller->SyncSelected(selected);
}

bool TcxCustomLookupEditLookupData::LocateText(const std::string& text)
{
    const int listIndex = Properties()->GetListIndex();
    TcxCustomDataController* controller = DataController();
    if (listIndex == -1 || !controller)
        return false;
    const int record = Properties()->FindByText(listIndex, text, false);
    if (record == -1) {
        DoSetKeySelection(false);
        return false;
    }
    controller->ChangeFocusedRecordIndex(record);
    DoSetCurrentKey(record);
    DoSetKeySelection(true);
    return true;
}

void TcxCustomLookupEditLookupData::ResetIncrementalFilter()
{
    if (TcxCustomDataController* controller = DataController())
        controller->ResetIncrementalFilter();
}

void TcxCustomLookupEditLookupData::SyncGrid()
{
    DoSyncGrid();
    Properties()->LookupGridMakeFocusedRowVisible();
}

// ---- incremental search ---------------------------------------------------------------------

// With the grid open and filtering on, the rows shrink to the matching
// ones; a text nothing matches keeps the previous rows unless the text is
// free (lsEditList).
int TcxCustomLookupEditLookupData::FilterRecords(const std::string& text, int listIndex)
{
    TcxCustomDataController* controller = DataController();
    int record = -1;
    if (text.empty()) {
        controller->ResetIncrementalFilter();
        record = Properties()->FindByText(listIndex, text, true);
    } else {
        const std::string previous = controller->GetIncrementalFilterText();
        record = controller->SetIncrementalFilter(listIndex, text);
        if (controller->GetFilteredRecordCount() == 0) {
            if (Properties()->DropDownListStyle() != lsEditList)
                controller->SetIncrementalFilter(listIndex, previous);
            record = -1;
        }
    }
    UpdateDropDownCount();
    return record;
}

int TcxCustomLookupEditLookupData::LocateRecord(const std::string& text, int listIndex)
{
    if (visible_ && Properties()->GetIncrementalFiltering())
        return FilterRecords(text, listIndex);
    return Properties()->FindByText(listIndex, text, true);
}

bool TcxCustomLookupEditLookupData::Locate(std::string& text, std::string& tail, bool)
{
    bool found = false;
    Changing([&] {
        const int listIndex = Properties()->GetListIndex();
        TcxCustomDataController* controller = DataController();
        if (listIndex == -1 || !controller)
            return;
        const int record = LocateRecord(text, listIndex);
        if (record == -1) {
            DoSetKeySelection(false);
            return;
        }
        controller->ChangeFocusedRecordIndex(record);
        DoSetCurrentKey(record);
        const std::string recordText = controller->GetDisplayText(record, listIndex);
        const size_t typed = TextByteOffset(recordText, TextCharCount(text));
        text = recordText.substr(0, typed);
        tail = recordText.substr(typed);
        DoSetKeySelection(true);
        found = true;
    });
    return found;
}

// ---- navigation with the drop-down closed ----------------------------------------------------

void TcxCustomLookupEditLookupData::MoveTo(TcxEditLookupDataGoDirection direction, bool circular)
{
    TcxCustomDataController* controller = DataController();
    const int page = Properties()->DropDownRows();
    if (direction == egdBegin)
        return controller->GotoFirst();
    if (direction == egdEnd)
        return controller->GotoLast();
    SyncGrid();
    const bool forward = direction == egdNext || direction == egdPageDown;
    if (forward && circular && controller->IsEOF())
        return controller->GotoFirst();
    if (!forward && circular && controller->IsBOF())
        return controller->GotoLast();
    if (direction == egdNext)
        controller->GotoNext();
    else if (direction == egdPrev)
        controller->GotoPrev();
    else
        controller->MoveBy(forward ? page : -page);
}

void TcxCustomLookupEditLookupData::Go(TcxEditLookupDataGoDirection direction, bool circular)
{
    TcxCustomDataController* controller = DataController();
    if (!controller || controller->GetRecordCount() == 0)
        return;
    Changing([&] {
        controller->ResetIncrementalFilter();
        UpdateDropDownCount();
        TcxCustomLookupEditProperties* properties = Properties();
        properties->LockDataChanged();
        {
            quelvo::sys::ScopeGuard unlock([properties] { properties->UnlockDataChanged(); });
            MoveTo(direction, circular);
        }
        const int record = controller->GetFocusedRecordIndex();
        DoSetCurrentKey(record);
        DoSetKeySelection(record != -1);
        DoSelectItem();
    });
}

// ---- selection state -------------------------------------------------------------------------

void TcxCustomLookupEditLookupData::SyncSelected()
{
    TcxCustomLookupEditProperties* properties = Properties();
    if (properties->InDataChange())
        return;
    TcxCustomDataController* controller = DataController();
    const std::string text = EditText();
    if (visible_ && properties->GetIncrementalFiltering() && controller &&
        controller->ChangeIncrementalFilterText(text))
        UpdateDropDownCount();
    bool selected = false;
    const int listIndex = properties->GetListIndex();
    if (controller && listIndex != -1) {
        const int focused = controller->GetFocusedRecordIndex();
        if (focused != -1)
            selected = DataCompareText(controller->GetDisplayText(focused, listIndex), text, false);
        if (!selected || !visible_) {
            const int record = properties->FindByText(listIndex, text, false);
            if (record != -1) {
                controller->ChangeFocusedRecordIndex(record);
                DoSetCurrentKey(record);
                selected = true;
            }
        }
    }
    DoSetKeySelection(selected);
}

void TcxCustomLookupEditLookupData::UpdateDropDownCount()
{
    TcxCustomLookupEdit* edit = Edit();
    TcxCustomDataController* controller = DataController();
    if (!visible_ || !edit->PopupWindow() || !edit->PopupWindow()->Visible() || !controller)
        return;
    TcxCustomLookupEditProperties* properties = Properties();
    const int rows = std::max(1, std::min(controller->GetRowCount(), properties->DropDownRows()));
    const int height = properties->GetLookupGridPopupHeight(rows);
    TWinControl* grid = properties->GetLookupGridControl();
    if (!grid || height == grid->ClientHeight())
        return;
    if (!edit->IsPopupResized())
        edit->ResetPopupHeight();
    edit->RelayoutPopup();
}

// ---- properties ---------------------------------------------------------------------------------

TClass TcxCustomLookupEditProperties::StaticClass()
{
    return DefineClass<TcxCustomLookupEditProperties, TcxCustomComboBoxProperties>("TcxCustomLookupEditProperties");
}

void TcxCustomLookupEditProperties::Construct(TPersistent* owner)
{
    TcxCustomComboBoxProperties::Construct(owner);
    incrementalFiltering_ = true;
    SetDropDownHeight(0);
    SetDropDownWidth(0);
    SetDropDownListStyle(lsEditFixedList);
    SetDropDownAutoSize(false);
    SetDropDownSizeable(false);
    SetFixedListSelection(true);
}

void TcxCustomLookupEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomLookupEditProperties>(source);
    if (!other) {
        TcxCustomComboBoxProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    TcxCustomComboBoxProperties::Assign(source);
    if (!IsDefinedByLookup())
        SetDisplayColumnIndex(other->GetDisplayColumnIndex());
    incrementalFiltering_ = other->IncrementalFiltering();
}

TClass TcxCustomLookupEditProperties::GetContainerClass() { return TcxCustomLookupEdit::StaticClass(); }

TClass TcxCustomLookupEditProperties::GetLookupDataClass() { return TcxCustomLookupEditLookupData::StaticClass(); }

TcxEditSupportedOperations TcxCustomLookupEditProperties::GetSupportedOperations()
{
    TcxEditSupportedOperations operations = TcxCustomComboBoxProperties::GetSupportedOperations();
    if (GetEditValueSource(false) == evsValue)
        operations.Include(esoSortingByDisplayText);
    return operations;
}

bool TcxCustomLookupEditProperties::IsEditValueValid(Variant&, bool) { return true; }

void TcxCustomLookupEditProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue, bool editFocused)
{
    if (IsPickMode() || (IsLookupField() && !editFocused))
        TcxCustomComboBoxProperties::PrepareDisplayValue(editValue, displayValue, editFocused);
    else
        displayValue = Variant(GetDisplayLookupText(editValue));
}

TcxDataEditValueSource TcxCustomLookupEditProperties::GetEditValueSource(bool)
{
    return IsPickMode() ? evsText : evsValue;
}

bool TcxCustomLookupEditProperties::FindLookupText(const std::string& text)
{
    const int listIndex = GetListIndex();
    return listIndex != -1 && GetDataController() && FindByText(listIndex, text, false) != -1;
}

bool TcxCustomLookupEditProperties::IsPopupKey(WORD key, TShiftState shift)
{
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
        return !shift.Contains(ssAlt);
    case VK_HOME:
    case VK_END:
        return shift.Contains(ssCtrl);
    default:
        return false;
    }
}

void TcxCustomLookupEditProperties::InitializeDataController()
{
    if (TcxCustomDataController* controller = GetDataController())
        controller->AddDataChangedListener(this, TNotifyEvent::Bind(this, &TcxCustomLookupEditProperties::GridDataChanged));
}

void TcxCustomLookupEditProperties::DeinitializeDataController()
{
    if (TcxCustomDataController* controller = GetDataController())
        controller->RemoveDataChangedListener(this,
                                              TNotifyEvent::Bind(this, &TcxCustomLookupEditProperties::GridDataChanged));
}

int TcxCustomLookupEditProperties::FindByText(int itemIndex, const std::string& text, bool partial)
{
    TcxCustomDataController* controller = GetDataController();
    if (!controller)
        return -1;
    return controller->FindRecordIndexByText(0, itemIndex, text, partial, false, true);
}

int TcxCustomLookupEditProperties::GetListIndex()
{
    const int count = GetLookupGridColumnCount();
    const int index = GetDisplayColumnIndex();
    return index < count ? index : count - 1;
}

void TcxCustomLookupEditProperties::SetDisplayColumnIndex(int index)
{
    const int count = GetLookupGridColumnCount();
    if (index >= count)
        index = count - 1;
    if (index < 0)
        index = 0;
    if (index == displayColumnIndex_)
        return;
    displayColumnIndex_ = index;
    Changed();
}

void TcxCustomLookupEditProperties::CheckDisplayColumnIndex()
{
    const int count = GetLookupGridColumnCount();
    if (displayColumnIndex_ >= count)
        SetDisplayColumnIndex(count - 1);
}

void TcxCustomLookupEditProperties::GridDataChanged(TObject*)
{
    if (inDataChange_ || IsChangeLocked() || IsDataChangedPostponed())
        return;
    inDataChange_ = true;
    quelvo::sys::ScopeGuard clear([this] { inDataChange_ = false; });
    Changed();
}

bool TcxCustomLookupEditProperties::IsDataChangedPostponed()
{
    TcxCustomDataController* controller = GetDataController();
    return controller && controller->DataChangedNotifyLocked();
}

void TcxCustomLookupEditProperties::LockDataChanged()
{
    if (TcxCustomDataController* controller = GetDataController())
        controller->LockDataChangedNotify();
}

void TcxCustomLookupEditProperties::UnlockDataChanged()
{
    if (TcxCustomDataController* controller = GetDataController())
        controller->UnlockDataChangedNotify();
}

void TcxCustomLookupEditProperties::UnlinkLookupGridControlParent()
{
    if (TWinControl* grid = GetLookupGridControl())
        grid->SetParent(nullptr);
}

// ---- the editor ---------------------------------------------------------------------------------

TClass TcxCustomLookupEdit::StaticClass()
{
    return DefineClass<TcxCustomLookupEdit, TcxCustomComboBox>("TcxCustomLookupEdit");
}

void TcxCustomLookupEdit::Construct(TComponent* owner)
{
    TcxCustomComboBox::Construct(owner);
    SetWidth(145);
}

TClass TcxCustomLookupEdit::GetPropertiesClass() const { return TcxCustomLookupEditProperties::StaticClass(); }

void TcxCustomLookupEdit::AfterPosting()
{
    TcxCustomComboBox::AfterPosting();
    if (LookupData())
        LookupData()->EnableChanging();
}

void TcxCustomLookupEdit::BeforePosting()
{
    if (LookupData())
        LookupData()->DisableChanging();
    TcxCustomComboBox::BeforePosting();
}

void TcxCustomLookupEdit::PropertiesChanged(TObject* sender)
{
    if (!(Focused() && ModifiedAfterEnter()))
        SynchronizeDisplayValue();
    TcxCustomComboBox::PropertiesChanged(sender);
}

void TcxCustomLookupEdit::RepositoryItemAssigning() { ActiveProperties()->UnlinkLookupGridControlParent(); }

void TcxCustomLookupEdit::SynchronizeDisplayValue()
{
    TcxCustomComboBox::SynchronizeDisplayValue();
    TcxCustomLookupEditLookupData* data = LookupData();
    if (!data)
        return;
    if (HasPopupWindow())
        data->SetCurrentKey(GetEditValue());
    if (!ActiveProperties()->IsPickMode())
        SetInternalDisplayValue(Variant(data->GetDisplayText(GetEditValue())));
}

void TcxCustomLookupEdit::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool)
{
    TcxCustomLookupEditProperties* properties = ActiveProperties();
    TcxCustomLookupEditLookupData* data = LookupData();
    if (properties->IsPickMode() || !data) {
        editValue = displayValue;
        return;
    }
    const std::string text = VarToStr(displayValue);
    if (text == data->GetDisplayText(data->GetCurrentKey()))
        editValue = data->GetCurrentKey();
    else if (data->LocateText(text))
        editValue = data->GetCurrentKey();
    else
        editValue = properties->GetNullKey();
}

void TcxCustomLookupEdit::DropDown()
{
    TcxCustomComboBox::DropDown();
    if (LookupData())
        LookupData()->SetCurrentKey(GetEditValue());
}
