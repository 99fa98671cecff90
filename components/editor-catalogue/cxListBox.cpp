#include "components/editor-catalogue/cxListBox.h"
#include "components/editors/cxEditStyles.h"

#include <algorithm>

#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

constexpr UINT kFirstListBoxMessage = 0x0180;
constexpr UINT kLastListBoxMessage = 0x01B0;
constexpr WORD kSelectionChange = 1;

bool IsNavigationKey(WORD key) { return key >= VK_PRIOR && key <= VK_DOWN; }

}  // namespace

// ---- TcxInnerListBox -------------------------------------------------------------------------

TClass TcxInnerListBox::StaticClass()
{
    return DefineClass<TcxInnerListBox, TcxCustomInnerListBox>("TcxInnerListBox");
}

TcxListBox* TcxInnerListBox::ListBox() const { return As<TcxListBox>(Owner()); }

bool TcxInnerListBox::SetEditMode() const
{
    TcxListBox* box = ListBox();
    return !box || box->DataBinding()->SetEditMode();
}

bool TcxInnerListBox::ExecuteAction(TComponent* action)
{
    TcxListBox* box = ListBox();
    return box && box->DataBinding()->ExecuteAction(action);
}

bool TcxInnerListBox::UpdateAction(TComponent* action)
{
    TcxListBox* box = ListBox();
    return box && box->DataBinding()->UpdateAction(action);
}

bool TcxInnerListBox::CanFocus()
{
    TcxListBox* box = ListBox();
    return box ? box->CanFocusEx() : TcxCustomInnerListBox::CanFocus();
}

void TcxInnerListBox::Click()
{
    if (SetEditMode()) TcxCustomInnerListBox::Click();
}

void TcxInnerListBox::CreateWindowHandle(const TCreateParams& params)
{
    TcxCustomInnerListBox::CreateWindowHandle(params);
    SetExternalScrollBarsParameters();
}

void TcxInnerListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state)
{
    TcxListBox* box = ListBox();
    if (box && box->DrawItem(cxCanvas(), index, rect, state)) return;
    TcxCustomInnerListBox::DrawItem(index, rect, state);
}

void TcxInnerListBox::WndProc(TMessage& m)
{
    if (m.Msg == WM_LBUTTONDOWN) return WMLButtonDown(m);
    TcxCustomInnerListBox::WndProc(m);
}

// A list that may not be edited takes the focus and reports the press,
// but keeps its selection.
void TcxInnerListBox::WMLButtonDown(TMessage& m)
{
    auto alive = AliveToken();
    if (SetEditMode()) return TcxCustomInnerListBox::WndProc(m);
    if (!*alive) return;
    SetFocus();
    if (*alive) MouseDown(mbLeft, KeysToShiftState(m.WParam), MessageX(m.LParam), MessageY(m.LParam));
}

// ---- TcxListBox ------------------------------------------------------------------------------

TClass TcxListBox::StaticClass()
{
    using L = TcxListBox;
    return DefineClass<TcxListBox, TcxContainer>("TcxListBox", [](ClassBuilder<TcxListBox>& b) {
        b.Property("Columns", &L::Columns, &L::SetColumns).Default(0);
        b.Property("ExtendedSelect", &L::ExtendedSelect, &L::SetExtendedSelect).Default(true);
        b.Property("ItemHeight", &L::ItemHeight, &L::SetItemHeight);
        b.Property("Items", &L::Items, &L::SetItems);
        b.Property("ListStyle", &L::ListStyle, &L::SetListStyle).Default(lbStandard);
        b.Property("MultiSelect", &L::MultiSelect, &L::SetMultiSelect).Default(false);
        b.Property("Sorted", &L::Sorted, &L::SetSorted).Default(false);
        PublishEditStyles(b);
        b.Property("AutoComplete", &L::AutoComplete, &L::SetAutoComplete).Default(true);
        b.Property("IntegralHeight", &L::IntegralHeight, &L::SetIntegralHeight).Default(false);
        b.Property("ScrollWidth", &L::ScrollWidth, &L::SetScrollWidth).Default(0);
        b.Property("TabWidth", &L::TabWidth, &L::SetTabWidth).Default(0);
        b.EventProperty("OnDrawItem", &L::OnDrawItem);
    });
}

void TcxListBox::Construct(TComponent* owner)
{
    TcxContainer::Construct(owner);
    dataBinding_.reset(CreateInstance<TcxCustomDataBinding>(GetDataBindingClass(), this, this));
    dataBinding_->OnDataChange = TcxDataBindingNotifyEvent::Bind(this, &TcxListBox::DataChangeHandler);
    dataBinding_->OnDataSetChange = TcxDataBindingNotifyEvent::Bind(this, &TcxListBox::DataSetChangeHandler);
    dataBinding_->OnUpdateData = TcxDataBindingNotifyEvent::Bind(this, &TcxListBox::UpdateDataHandler);
    innerListBox_ = CreateInstance<TcxInnerListBox>(GetInnerListBoxClass(), static_cast<TComponent*>(this));
    innerListBox_->SetBorderStyle(bsNone);
    innerListBox_->SetParent(this);
    innerListBox_->SetContainer(this);
    innerListBox_->SetTabStop(false);
    SetInnerControl(innerListBox_);
    innerListBox_->LookAndFeel()->SetMasterLookAndFeel(Style()->LookAndFeel());
    SetBounds(Left(), Top(), 121, 97);
}

void TcxListBox::Destroy()
{
    TControl* inner = innerListBox_;
    innerListBox_ = nullptr;
    SetInnerControl(nullptr);
    if (inner) inner->Free();
    dataBinding_.reset();
    TcxContainer::Destroy();
}

void TcxListBox::SetColumns(int value)
{
    innerListBox_->SetColumns(value);
    innerListBox_->SetExternalScrollBarsParameters();
}

void TcxListBox::SetItems(TStrings* value)
{
    innerListBox_->SetItems(value);
    dataBinding_->DataChange();
}

void TcxListBox::AddItem(const std::string& text, TObject* object)
{
    innerListBox_->Items()->AddObject(text, object);
}

int TcxListBox::ItemAtPos(POINT pos, bool existing) const
{
    return innerListBox_->ItemAtPos(POINT{pos.x - innerListBox_->Left(), pos.y - innerListBox_->Top()}, existing);
}

RECT TcxListBox::ItemRect(int index) const
{
    RECT r = innerListBox_->ItemRect(index);
    OffsetRect(&r, innerListBox_->Left(), innerListBox_->Top());
    return r;
}

// ---- drawing and measuring -------------------------------------------------------------------

bool TcxListBox::DrawItem(TcxCanvas* canvas, int index, const RECT& rect, TOwnerDrawState state)
{
    if (!OnDrawItem) return false;
    OnDrawItem(this, canvas, index, rect, state);
    return true;
}

void TcxListBox::SetOnMeasureItem(const TcxListBoxMeasureItemEvent& value)
{
    onMeasureItem_ = value;
    if (onMeasureItem_) innerListBox_->OnMeasureItem = TMeasureItemEvent::Bind(this, &TcxListBox::DoMeasureItem);
    else innerListBox_->OnMeasureItem.Clear();
}

void TcxListBox::DoMeasureItem(TWinControl*, int index, int& height) { onMeasureItem_(this, index, height); }

// ---- size ------------------------------------------------------------------------------------

void TcxListBox::SetIntegralHeight(bool value)
{
    if (integralHeight_ == value) return;
    integralHeight_ = value;
    SetSize();
}

bool TcxListBox::IntegralHeightApplies() const
{
    return integralHeight_ && !IsLoading() && Align() != alLeft && Align() != alRight && Align() != alClient;
}

int TcxListBox::OptimalItemHeight(int index)
{
    switch (ListStyle()) {
    case lbStandard:
    case lbVirtual: return ActiveCanvas()->FontHeight(Font());
    case lbOwnerDrawVariable: {
        int height = ItemHeight();
        if (index < Count()) innerListBox_->OnMeasureItem(innerListBox_, index, height);
        return height;
    }
    default: return ItemHeight();
    }
}

// The control's height for itemsHeight of items when shownItems of them fit.
int TcxListBox::OptimalCandidate(int itemsHeight, int shownItems, const RECT& border)
{
    int candidate = itemsHeight;
    int available = Width() - border.left - border.right;
    if (Count() > shownItems) available -= GetSystemMetrics(SM_CXVSCROLL);
    const int needed = ScrollWidth() > 0 ? ScrollWidth() + 4 : 0;
    if (needed > available) candidate += GetSystemMetrics(SM_CYHSCROLL);
    return candidate;
}

// Heights below 1 count as 1, so a zero height cannot keep the walk going
// for ever.
void TcxListBox::GetOptimalHeight(int& height)
{
    const RECT border = GetBorderExtent();
    int running = border.top + border.bottom;
    for (int i = 0;; ++i) {
        const int itemHeight = std::max(1, OptimalItemHeight(i));
        running += itemHeight;
        const int candidate = OptimalCandidate(running, i + 1, border);
        if (candidate == height) return;
        if (candidate < height) continue;
        height = i > 0 ? OptimalCandidate(running - itemHeight, i, border) : candidate;
        return;
    }
}

bool TcxListBox::CanResize(int& newWidth, int& newHeight)
{
    if (!TcxContainer::CanResize(newWidth, newHeight)) return false;
    if (IntegralHeightApplies() && innerListBox_) GetOptimalHeight(newHeight);
    return true;
}

void TcxListBox::SetSize()
{
    if (IsLoading() || !innerListBox_) return;
    const RECT oldInnerBounds = innerListBox_->BoundsRect();
    if (IntegralHeightApplies()) {
        int height = Height();
        GetOptimalHeight(height);
        SetHeight(height);
    }
    TcxContainer::SetSize();
    RemovePendingMouseMoves(oldInnerBounds);
}

// A moved list must not act on pointer positions from before the move.
void TcxListBox::RemovePendingMouseMoves(const RECT& oldInnerBounds)
{
    if (!innerListBox_ || !innerListBox_->HandleAllocated()) return;
    const RECT bounds = innerListBox_->BoundsRect();
    if (EqualRect(&bounds, &oldInnerBounds)) return;
    MSG msg{};
    while (PeekMessageA(&msg, innerListBox_->Handle(), WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
}

void TcxListBox::FontChanged()
{
    TcxContainer::FontChanged();
    SetSize();
    if (innerListBox_ && innerListBox_->HandleAllocated()) innerListBox_->RecreateWnd();
}

// ---- messages --------------------------------------------------------------------------------

void TcxListBox::WndProc(TMessage& m)
{
    if (innerListBox_ && m.Msg >= kFirstListBoxMessage && m.Msg <= kLastListBoxMessage) {
        m.Result = SendMessageA(innerListBox_->Handle(), m.Msg, m.WParam, m.LParam);
        return;
    }
    auto alive = AliveToken();
    TcxContainer::WndProc(m);
    if (*alive && innerListBox_ && m.Msg == WM_COMMAND && HIWORD(m.WParam) == kSelectionChange)
        innerListBox_->SetExternalScrollBarsParameters();
}

bool TcxListBox::IsInternalControl(TControl* control)
{
    if (!innerListBox_) return true;
    if (control && (control == innerListBox_->HScrollBar() || control == innerListBox_->VScrollBar())) return true;
    return TcxContainer::IsInternalControl(control);
}

// ---- value exchange with the binding ---------------------------------------------------------

void TcxListBox::DataChange()
{
    if (!innerListBox_) return;
    if (!dataBinding_->IsDataSourceLive()) return SetItemIndex(-1);
    const Variant value = dataBinding_->GetStoredValue(evsText, Focused());
    SetItemIndex(Items()->IndexOf(VarToStr(value)));
}

void TcxListBox::UpdateData()
{
    const int index = ItemIndex();
    dataBinding_->SetStoredValue(evsText, Variant(index < 0 ? std::string() : Items()->Get(index)));
}

void TcxListBox::KeyDown(WORD& key, TShiftState shift)
{
    auto alive = AliveToken();
    TcxContainer::KeyDown(key, shift);
    if (*alive && IsNavigationKey(key) && !dataBinding_->SetEditMode()) key = 0;
}

void TcxListBox::KeyPress(char& key)
{
    auto alive = AliveToken();
    TcxContainer::KeyPress(key);
    if (!*alive) return;
    if (key == 27) dataBinding_->Reset();
    else if (static_cast<unsigned char>(key) >= 32 && !dataBinding_->SetEditMode()) key = 0;
}

// A value the binding refuses keeps the focus here and reaches the caller.
void TcxListBox::DoExit()
{
    if (GetIsDestroying() || exiting_) return;
    exiting_ = true;
    quelvo::sys::ScopeGuard done([this] { exiting_ = false; });
    try {
        dataBinding_->UpdateDataSource();
    } catch (...) {
        SetFocus();
        throw;
    }
    TcxContainer::DoExit();
}
