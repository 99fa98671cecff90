// The combo box editor: its list of items in the popup, sized from the rows
// and the room on the screen, rows measured and painted by the application
// when it asks, clicks only from item changes, and double-click stepping
// through the items.
#include "components/editors/cxComboBox.h"

#include <algorithm>

#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- the list ----------------------------------------------------------------------

TClass TcxComboBoxListBox::StaticClass()
{
    return DefineClass<TcxComboBoxListBox, TcxCustomEditListBox>("TcxComboBoxListBox");
}

TcxCustomComboBox* TcxComboBoxListBox::Edit() const
{
    TWinControl* popup = Parent();
    auto* window = As<TcxCustomPopupWindow>(popup);
    return window ? As<TcxCustomComboBox>(window->OwnerControl()) : nullptr;
}

int TcxComboBoxListBox::GetItemHeight(int index)
{
    TcxCustomComboBox* edit = Edit();
    if (!edit)
        return TcxCustomEditListBox::GetItemHeight(index);
    const int fixed = edit->ActiveProperties()->ItemHeight();
    int height = fixed > 0 ? fixed : GetDefaultItemHeight();
    if (index >= 0 && edit->IsOnMeasureItemEventAssigned())
        edit->DoOnMeasureItem(index, nullptr, height);
    return height;
}

void TcxComboBoxListBox::MeasureItem(int index, int& height) { height = GetItemHeight(index); }

int TcxComboBoxListBox::GetHeight(int rowCount)
{
    int height = 0;
    for (int i = 0; i < rowCount; ++i)
        height += GetItemHeight(i);
    return height;
}

std::string TcxComboBoxListBox::GetItem(int index)
{
    TcxCustomComboBox* edit = Edit();
    return edit && edit->LookupData() ? edit->LookupData()->GetItem(index) : TcxCustomEditListBox::GetItem(index);
}

bool TcxComboBoxListBox::DoDrawItem(int index, const RECT& rect, TOwnerDrawState state)
{
    TcxCustomComboBox* edit = Edit();
    if (!edit || !edit->IsOnDrawItemEventAssigned())
        return TcxCustomEditListBox::DoDrawItem(index, rect, state);
    ObjectPtr<TcxCanvas> canvas(CreateObject<TcxCanvas>(Canvas()));
    edit->DoOnDrawItem(canvas.get(), index, rect, state);
    return true;
}

// Rows of one fixed height live in the window; measured rows need it made
// again whenever the measuring or the height changes.
void TcxComboBoxListBox::RecreateWindow()
{
    TcxCustomComboBox* edit = Edit();
    const bool measured = edit && edit->IsOnMeasureItemEventAssigned();
    const int itemHeight = measured ? 0 : GetItemHeight(-1);
    const bool rebuild =
        firstRecreation_ ? measured : measured || measured != prevMeasured_ || itemHeight != prevItemHeight_;
    if (rebuild)
        InternalRecreateWindow();
    firstRecreation_ = false;
    prevMeasured_ = measured;
    if (!measured)
        prevItemHeight_ = itemHeight;
}

void TcxComboBoxListBox::MouseMove(TShiftState shift, int x, int y)
{
    if (ignoreNextMouseMove_) {
        ignoreNextMouseMove_ = false;
        return;
    }
    TcxCustomEditListBox::MouseMove(shift, x, y);
}

void TcxComboBoxListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TcxCustomEditListBox::MouseUp(button, shift, x, y);
    if (!*alive || button != mbLeft)
        return;
    const int index = ItemAtPos(POINT{x, y}, true);
    TcxCustomComboBox* edit = Edit();
    if (index == -1 || !edit)
        return;
    if (HandleAllocated() && GetCapture() == Handle())
        ReleaseCapture();
    SetItemIndex(index);
    if (*alive)
        edit->CloseUp(true);
}

// ---- the lookup data ---------------------------------------------------------------

TClass TcxComboBoxLookupData::StaticClass()
{
    return DefineClass<TcxComboBoxLookupData, TcxCustomTextEditLookupData>("TcxComboBoxLookupData");
}

void TcxComboBoxLookupData::Initialize(TWinControl* visualControlsParent)
{
    TcxCustomTextEditLookupData::Initialize(visualControlsParent);
    auto* edit = As<TcxCustomDropDownEdit>(GetEdit());
    if (ComboList() && edit)
        ComboList()->LookAndFeel()->SetMasterLookAndFeel(edit->PopupControlsLookAndFeel());
}

SIZE TcxComboBoxLookupData::GetVisualAreaPreferredSize(int, int width)
{
    TcxComboBoxListBox* list = ComboList();
    if (!list)
        return SIZE{0, 0};
    const int count = GetItemCount();
    const int rows = std::min(count, GetActiveProperties()->GetDropDownPageRowCount());
    SIZE size{0, list->GetHeight(rows)};
    for (int i = 0; i < count; ++i)
        size.cx = std::max(size.cx, list->GetItemWidth(i));
    size.cx += 4;
    list->SetScrollWidth(0);
    list->SetScrollWidth(size.cx);
    if (count > rows)
        size.cx += GetSystemMetrics(SM_CXVSCROLL);
    if (width > 0 && size.cx > width)
        size.cy += GetSystemMetrics(SM_CYHSCROLL);
    return size;
}

// The height snaps to whole rows and moves only once a drag passed a row.
bool TcxComboBoxLookupData::CanResizeVisualArea(SIZE& newSize, int maxHeight, int)
{
    TcxComboBoxListBox* list = ComboList();
    if (!list || (newSize.cx == list->Width() && newSize.cy == list->Height()))
        return true;
    const int count = GetItemCount();
    const int vbar = GetSystemMetrics(SM_CXVSCROLL);
    const int hbar = GetSystemMetrics(SM_CYHSCROLL);
    auto total = [&](int rows) {
        int t = list->GetHeight(rows);
        const int room = newSize.cx - (rows < count ? vbar : 0);
        if (list->ScrollWidth() > room)
            t += hbar;
        return t;
    };
    const bool limited = maxHeight > 0;
    int rows = count;
    for (int i = 1; i <= count; ++i) {
        const int t = total(i);
        if (t == newSize.cy && (!limited || t <= maxHeight)) {
            rows = i;
            break;
        }
        if (t > newSize.cy || (limited && t > maxHeight)) {
            const bool dropLast = (limited && t > maxHeight) || newSize.cy >= list->Height();
            rows = dropLast ? std::max(i - 1, 0) : i;
            break;
        }
    }
    newSize.cy = total(rows);
    const bool vertical = rows < count;
    const bool horizontal = list->ScrollWidth() > newSize.cx - (vertical ? vbar : 0);
    newSize.cx = std::max<int>(newSize.cx, (vertical ? vbar : 0) + (horizontal ? vbar : 0));
    return true;
}

// ---- the inner edit ----------------------------------------------------------------

TClass TcxCustomComboBoxInnerEdit::StaticClass()
{
    return DefineClass<TcxCustomComboBoxInnerEdit, TcxCustomDropDownInnerEdit>("TcxCustomComboBoxInnerEdit");
}

// Clicks come from item changes, not from the mouse.
void TcxCustomComboBoxInnerEdit::Dispatch(TMessage& m)
{
    if (m.Msg == WM_LBUTTONUP)
        SetControlState(ControlState() - TControlState{csClicked});
    TcxCustomDropDownInnerEdit::Dispatch(m);
}

// ---- the editor --------------------------------------------------------------------

TClass TcxCustomComboBox::StaticClass() { return DefineClass<TcxCustomComboBox, TcxCustomDropDownEdit>("TcxCustomComboBox"); }

TClass TcxComboBox::StaticClass()
{
    return DefineClass<TcxComboBox, TcxCustomComboBox>("TcxComboBox", [](ClassBuilder<TcxComboBox>& b) {
        using C = TcxComboBox;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxCustomComboBoxProperties::GetContainerClass() { return TcxComboBox::StaticClass(); }
TClass TcxCustomComboBoxProperties::GetLookupDataClass() { return TcxComboBoxLookupData::StaticClass(); }

TClass TcxCustomComboBox::GetPropertiesClass() const { return TcxComboBoxProperties::StaticClass(); }
TClass TcxCustomComboBox::GetInnerEditClass() const { return TcxCustomComboBoxInnerEdit::StaticClass(); }

void TcxCustomComboBox::Construct(TComponent* owner)
{
    TcxCustomDropDownEdit::Construct(owner);
    SetControlStyle(ControlStyle() - TControlStyle{csClickEvents});
}

void TcxCustomComboBox::Activate(TcxCustomEditData*& editData)
{
    TcxCustomDropDownEdit::Activate(editData);
    SynchronizeItemIndex();
}

bool TcxCustomComboBox::CanDropDown() { return !ILookupData() || !ILookupData()->IsEmpty(); }

void TcxCustomComboBox::SynchronizeItemIndex()
{
    if (ILookupData() && ActiveProperties()->UseLookupData())
        ILookupData()->TextChanged();
}

void TcxCustomComboBox::DoOnDrawItem(TcxCanvas* canvas, int index, const RECT& rect, TOwnerDrawState state)
{
    Properties()->OnDrawItem(this, canvas, index, rect, state);
    if (RepositoryItem())
        ActiveProperties()->OnDrawItem(this, canvas, index, rect, state);
}

void TcxCustomComboBox::DoOnMeasureItem(int index, TcxCanvas* canvas, int& height)
{
    Properties()->OnMeasureItem(this, index, canvas, height);
    if (RepositoryItem())
        ActiveProperties()->OnMeasureItem(this, index, canvas, height);
}

bool TcxCustomComboBox::IsOnDrawItemEventAssigned()
{
    return static_cast<bool>(Properties()->OnDrawItem) || static_cast<bool>(ActiveProperties()->OnDrawItem);
}

bool TcxCustomComboBox::IsOnMeasureItemEventAssigned()
{
    return static_cast<bool>(Properties()->OnMeasureItem) || static_cast<bool>(ActiveProperties()->OnMeasureItem);
}

void TcxCustomComboBox::ResetPopupHeight()
{
    auto* data = DropDownEditData();
    if (IsInplace() && ActiveProperties()->PopupSizeable() && data)
        data->SetHeight(0);
    else
        ActiveProperties()->SetPopupHeight(0);
}

TcxCustomEditViewData* TcxCustomComboBox::CreateViewData()
{
    TcxCustomEditViewData* viewData = TcxCustomDropDownEdit::CreateViewData();
    if (auto* combo = As<TcxCustomComboBoxViewData>(viewData)) {
        combo->EditItemIndex = ItemIndex();
        combo->EditHasDrawItemHandler = IsOnDrawItemEventAssigned();
    }
    return viewData;
}

void TcxCustomComboBox::ChangeHandler(TObject* sender)
{
    const Variant previous = ILookupData() ? ILookupData()->GetCurrentKey() : Variant();
    LockClick(true);
    quelvo::sys::ScopeGuard fireClick([this, previous] {
        LockClick(false);
        if (ILookupData() && !InternalVarEqualsExact(previous, ILookupData()->GetCurrentKey()))
            DoClick();
    });
    TcxCustomDropDownEdit::ChangeHandler(sender);
    const TcxEditEditingStyle style = ActiveProperties()->GetEditingStyle();
    if (ILookupData() && !IsLookupDataTextChangedLocked() &&
        (HasPopupWindow() || style == esEditList || style == esFixedList))
        ILookupData()->TextChanged();
}

void TcxCustomComboBox::DblClick()
{
    TcxCustomDropDownEdit::DblClick();
    LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    if (!HasPopupWindow() && ActiveProperties()->Revertable() && ILookupData())
        StepToNextItem();
}

void TcxCustomComboBox::StepToNextItem()
{
    const Variant previous = ILookupData()->GetCurrentKey();
    {
        LockClick(true);
        quelvo::sys::ScopeGuard unlock([this] { LockClick(false); });
        ILookupData()->Go(egdNext, true);
    }
    if (InternalVarEqualsExact(ILookupData()->GetCurrentKey(), previous))
        return;
    DoClick();
    if (!CanPostEditValue() || !ActiveProperties()->ImmediatePost() || !ValidateEdit(true))
        return;
    InternalPostEditValue(false);
}

void TcxCustomComboBox::Dispatch(TMessage& m)
{
    if (m.Msg == WM_LBUTTONUP)
        SetControlState(ControlState() - TControlState{csClicked});
    TcxCustomDropDownEdit::Dispatch(m);
}

// A drag started on the editor goes on in the open list.
void TcxCustomComboBox::MouseMove(TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TcxCustomDropDownEdit::MouseMove(shift, x, y);
    if (!*alive || !HandleAllocated() || GetCapture() != Handle() || !HasPopupWindow() || !ComboLookupData())
        return;
    TcxComboBoxListBox* list = ComboLookupData()->ComboList();
    const POINT screen = ClientToScreen(POINT{x, y});
    if (!list || !list->HandleAllocated() || !LookupData()->IsMouseOverList(screen))
        return;
    const POINT p = list->ScreenToClient(screen);
    ReleaseCapture();
    SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

void TcxCustomComboBox::InitializePopupWindow()
{
    TcxCustomDropDownEdit::InitializePopupWindow();
    PopupWindow()->SetSysPanelStyle(ActiveProperties()->PopupSizeable());
}

void TcxCustomComboBox::PopupWindowShowed(TObject* sender)
{
    TcxCustomDropDownEdit::PopupWindowShowed(sender);
    TcxComboBoxListBox* list = ComboLookupData() ? ComboLookupData()->ComboList() : nullptr;
    if (list && list->HandleAllocated() && LookupData()->IsMouseOverList(InternalGetCursorPos()))
        list->IgnoreNextMouseMove();
}

SIZE TcxCustomComboBox::GetPopupWindowClientPreferredSize()
{
    if (!ILookupData())
        return SIZE{0, 0};
    const RECT extent = PopupWindow()->ViewInfo()->GetBorderExtent();
    RECT bounds = GetPopupWindowOwnerControlBounds();
    if (Parent()) {
        const POINT tl = Parent()->ClientToScreen(POINT{bounds.left, bounds.top});
        OffsetRect(&bounds, tl.x - bounds.left, tl.y - bounds.top);
    }
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int vertical = extent.top + extent.bottom;
    const int above = bounds.top - area.top - vertical + (ViewInfo()->Shadow ? 3 : 0);
    const int below = area.bottom - bounds.bottom - vertical;
    TcxCustomComboBoxProperties* properties = ActiveProperties();
    const int horizontal = extent.left + extent.right;
    int width = (bounds.right - bounds.left) - horizontal;
    if (properties->PopupSizeable() || properties->PopupAutoSize())
        width = (area.right - area.left) - horizontal;
    else if (properties->PopupWidth() >= 1)
        width = properties->PopupWidth() - horizontal;
    return ILookupData()->GetVisualAreaPreferredSize(std::max(above, below), width);
}
