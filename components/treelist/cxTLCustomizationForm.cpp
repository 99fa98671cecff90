#include "components/treelist/cxTLCustomizationForm.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/treelist/cxTLPainter.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

// ---- the form -----------------------------------------------------------------------------------

TClass TcxTreeListCustomizationForm::StaticClass()
{
    return DefineClass<TcxTreeListCustomizationForm, TForm>("TcxTreeListCustomizationForm");
}

void TcxTreeListCustomizationForm::Construct(TComponent* owner)
{
    TForm::Construct(owner);
    timer_ = CreateObject<TTimer>(static_cast<TComponent*>(this));
    timer_->SetEnabled(false);
    timer_->SetInterval(kDeactivationInterval);
    timer_->OnTimer = TNotifyEvent::Bind(this, &TcxTreeListCustomizationForm::DeactivationTimeHandler);
}

void TcxTreeListCustomizationForm::Destroy()
{
    listBox_ = nullptr;
    if (timer_) timer_->SetEnabled(false);
    TForm::Destroy();
}

void TcxTreeListCustomizationForm::StartDeactivationTimer(TcxTreeListItemsCustomizeListBox* listBox)
{
    listBox_ = listBox;
    timer_->SetEnabled(true);
}

// Another program or window took the activation: the drag from a list
// cannot see the mouse any more, so it ends without a drop.
void TcxTreeListCustomizationForm::DeactivationTimeHandler(TObject*)
{
    if (Screen->ActiveForm() != this) StopDeactivationTimer();
}

void TcxTreeListCustomizationForm::StopDeactivationTimer()
{
    if (!listBox_) return;
    ScopeGuard repaint([this] { Repaint(); });
    TcxTreeListItemsCustomizeListBox* listBox = listBox_;
    listBox_ = nullptr;
    timer_->SetEnabled(false);
    listBox->FinishDrag(false);
}

// ---- the lists ------------------------------------------------------------------------------------

TClass TcxTreeListItemsCustomizeListBox::StaticClass()
{
    return DefineClass<TcxTreeListItemsCustomizeListBox, TcxListBox>("TcxTreeListItemsCustomizeListBox");
}

void TcxTreeListItemsCustomizeListBox::Construct(TComponent* owner, TcxCustomTreeListControl* treeList, bool bands)
{
    TcxListBox::Construct(owner);
    treeList_ = treeList;
    bands_ = bands;
    Style()->SetHotTrack(false);
    SetListStyle(lbOwnerDrawVariable);
    SetOnMeasureItem(TcxListBoxMeasureItemEvent::Bind(this, &TcxTreeListItemsCustomizeListBox::MeasureItem));
    LookAndFeel()->SetMasterLookAndFeel(treeList->LookAndFeel());
    TcxInnerListBox* inner = InnerListBox();
    inner->OnMouseDown = TMouseEvent::FromFunction([this](TObject*, TMouseButton button, TShiftState, int x, int y) {
        if (button == mbLeft) InnerMouseDown(POINT{x, y});
    });
    inner->OnMouseMove = TMouseMoveEvent::FromFunction([this](TObject*, TShiftState, int x, int y) {
        InnerMouseMove(POINT{x, y});
    });
    inner->OnMouseUp = TMouseEvent::FromFunction([this](TObject*, TMouseButton, TShiftState, int, int) { InnerMouseUp(); });
    inner->OnKeyDown = TKeyEvent::FromFunction([this](TObject*, WORD& key, TShiftState) {
        if (key != VK_ESCAPE || !dragObject_) return;
        if (dragObject_->DropInfo()) dragObject_->DropInfo()->Accepted = false;
        FinishDrag(false);
    });
}

void TcxTreeListItemsCustomizeListBox::Destroy()
{
    if (dragObject_) EndDrag(false);
    TcxListBox::Destroy();
}

TcxTreeListHeaderViewInfo* TcxTreeListItemsCustomizeListBox::Header(int index) const
{
    if (index < 0 || index >= Items()->Count()) return nullptr;
    return As<TcxTreeListHeaderViewInfo>(Items()->Objects(index));
}

void TcxTreeListItemsCustomizeListBox::RefreshList()
{
    const int index = ItemIndex();
    TStrings* items = Items();
    items->BeginUpdate();
    {
        ScopeGuard end([items] { items->EndUpdate(); });
        items->Clear();
        if (bands_) {
            TcxTreeListBands* bands = treeList_->Bands();
            for (int i = 0; i < bands->Count(); ++i) {
                TcxTreeListBand* band = bands->Items(i);
                if (!band->Visible() && !band->Options()->Hidden() && band->ViewInfo())
                    items->AddObject("", band->ViewInfo()->Header());
            }
        } else {
            for (int i = 0; i < treeList_->GetColumnCount(); ++i) {
                TcxTreeListColumn* column = treeList_->GetColumn(i);
                if (!column->Visibility() && !column->ColumnOptions()->Hidden() && column->ViewInfo() &&
                    !column->IsDestroying())
                    items->AddObject("", column->ViewInfo()->ColumnHeader());
            }
        }
    }
    SetItemIndex(std::min(index, items->Count() - 1));
    Invalidate();
}

int TcxTreeListItemsCustomizeListBox::GetItemHeight(int)
{
    TcxTreeListViewInfo* layout = treeList_->TreeListViewInfo();
    const int height = bands_ ? layout->BandLineHeight : layout->HeaderLineHeight;
    return height > 0 ? height : ItemHeight();
}

void TcxTreeListItemsCustomizeListBox::MeasureItem(TcxListBox*, int index, int& height) { height = GetItemHeight(index); }

TcxCustomLookAndFeelPainterClass TcxTreeListItemsCustomizeListBox::GetPainter() { return treeList_->LookAndFeelPainter(); }

// Painted off screen like the header it stands for, then copied at once.
bool TcxTreeListItemsCustomizeListBox::DrawItem(TcxCanvas* canvas, int index, const RECT& rect, TOwnerDrawState)
{
    TcxTreeListHeaderViewInfo* header = Header(index);
    if (!header) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return true;
    ObjectPtr<TBitmap> bitmap(CreateObject<TBitmap>());
    bitmap->SetSize(width, height);
    header->InitViewParams();
    const RECT bounds{0, 0, width, height};
    if (GetPainter()->HeaderDrawCellsFirst()) {
        bitmap->Canvas()->Brush()->SetColor(InnerListBox()->Color());
        bitmap->Canvas()->FillRect(bounds);
    }
    auto* painter = static_cast<TcxTreeListControlPainter*>(treeList_->GetPainter());
    TcxCanvas bitmapCanvas(bitmap->Canvas());
    TcxCanvas* saved = painter->Canvas();
    {
        ScopeGuard restore([painter, saved] { painter->SetCanvas(saved); });
        painter->SetCanvas(&bitmapCanvas);
        RECT text = bounds;
        InflateRect(&text, -2, -2);
        painter->ExtDrawHeader(bounds, text, TcxNeighbors{}, cxBordersAll, cxbsNormal, header->GetAlignHorz(),
                               header->GetAlignVert(), header->GetState(2), header->GetState(1), header->GetText(),
                               header->ViewParams.Font, header->ViewParams.TextColor, header->ViewParams.Color);
    }
    canvas->Canvas()->Draw(rect.left, rect.top, bitmap.get());
    return true;
}

void TcxTreeListItemsCustomizeListBox::InnerMouseDown(const POINT& p)
{
    const int index = InnerListBox()->ItemAtPos(p, true);
    dragIndex_ = index;
    mouseDownPos_ = p;
}

void TcxTreeListItemsCustomizeListBox::InnerMouseMove(const POINT& p)
{
    if (dragObject_) {
        treeList_->SetDragAndDropState(ddsInProcess);
        const POINT client = treeList_->ScreenToClient(InnerListBox()->ClientToScreen(p));
        bool accepted = false;
        dragObject_->DoDragAndDrop(client, accepted);
        return;
    }
    if (dragIndex_ < 0) return;
    if (IsPointInDragDetectArea(mouseDownPos_, p.x, p.y) && InnerListBox()->ItemAtPos(p, true) == dragIndex_) return;
    SetItemIndex(dragIndex_);
    BeginDrag();
    dragIndex_ = -1;
}

void TcxTreeListItemsCustomizeListBox::InnerMouseUp()
{
    dragIndex_ = -1;
    if (!dragObject_) return;
    FinishDrag(true);
    RefreshList();
}

void TcxTreeListItemsCustomizeListBox::InitDragAndDropObject()
{
    TcxTreeListHeaderViewInfo* header = Header(ItemIndex());
    if (!header) return;
    origin_ = treeList_->ScreenToClient(ClientToScreen(POINT{0, 0}));
    header->InitViewParams();
    treeList_->Controller()->SetDragItem(header);
    RECT r = ItemRect(ItemIndex());
    OffsetRect(&r, origin_.x, origin_.y);
    header->DisplayRect = r;
    header->TextRect = r;
    InflateRect(&header->TextRect, -2, -2);
    header->ClipRect = r;
    header->Visible = true;
}

void TcxTreeListItemsCustomizeListBox::BeginDrag()
{
    if (dragObject_ || !Header(ItemIndex())) return;
    savedCursor_ = Screen->Cursor();
    dragObject_.reset(CreateObject<TcxTreeListDragAndDropObject>(static_cast<TcxControl*>(treeList_)));
    InitDragAndDropObject();
    treeList_->SetDragAndDropState(ddsStarting);
    if (TcxTreeListCustomizing* customizing = treeList_->Customizing()) customizing->SetDragObject(dragObject_.get());
    dragObject_->DoBeginDragAndDrop();
    if (auto* form = As<TcxTreeListCustomizationForm>(GetParentForm(this))) form->StartDeactivationTimer(this);
    dragStarted_ = true;
}

void TcxTreeListItemsCustomizeListBox::FinishDrag(bool accept) { DoEndDrag(accept, true); }

void TcxTreeListItemsCustomizeListBox::EndDrag(bool accept) { DoEndDrag(accept, false); }

void TcxTreeListItemsCustomizeListBox::DoEndDrag(bool accept, bool touchDropInfo)
{
    if (!dragObject_) return;
    if (auto* form = As<TcxTreeListCustomizationForm>(GetParentForm(this))) form->DeactivationTimer()->SetEnabled(false);
    TcxCustomTreeListControl* treeList = treeList_;
    treeList->BeginUpdate();
    if (!accept) dragStarted_ = false;
    if (touchDropInfo && !dragStarted_ && dragObject_->DropInfo()) dragObject_->DropInfo()->Accepted = false;
    {
        ScopeGuard done([this, treeList] {
            dragObject_.reset();
            if (TcxTreeListCustomizing* customizing = treeList->Customizing()) customizing->SetDragObject(nullptr);
            Screen->SetCursor(savedCursor_);
            treeList->SetDragAndDropState(ddsNone);
            if (dragStarted_) treeList->EndUpdate();
            else treeList->CancelUpdate();
        });
        dragObject_->DoEndDragAndDrop(accept);
    }
    treeList->Controller()->EndDragAndDrop(accept);
}

void TcxTreeListItemsCustomizeListBox::FocusChanged()
{
    TcxListBox::FocusChanged();
    if (!Focused() && !InnerListBox()->Focused() && dragObject_) FinishDrag(false);
}

void TcxTreeListItemsCustomizeListBox::WndProc(TMessage& message)
{
    TcxListBox::WndProc(message);
    if (message.Msg == WM_CANCELMODE && dragObject_) FinishDrag(false);
}

void TcxTreeListItemsCustomizeListBox::Resize()
{
    TcxListBox::Resize();
    InnerListBox()->Invalidate();
}

// ---- the customizing object -------------------------------------------------------------------------

TClass TcxTreeListCustomizing::StaticClass()
{
    return DefineClass<TcxTreeListCustomizing, TcxOwnedInterfacedPersistent>("TcxTreeListCustomizing");
}

void TcxTreeListCustomizing::Construct(TPersistent* owner) { TcxOwnedInterfacedPersistent::Construct(owner); }

void TcxTreeListCustomizing::Destroy()
{
    SetVisible(false);
    ReleaseControls();
    TcxOwnedInterfacedPersistent::Destroy();
}

TcxCustomTreeListControl* TcxTreeListCustomizing::TreeList() const
{
    return static_cast<TcxCustomTreeListControl*>(GetOwner());
}

void TcxTreeListCustomizing::Assign(TPersistent* source)
{
    auto* other = As<TcxTreeListCustomizing>(source);
    if (!other) return TcxOwnedInterfacedPersistent::Assign(source);
    SetRowCount(other->RowCount());
    SetVisible(other->Visible());
}

bool TcxTreeListCustomizing::Visible()
{
    visible_ = visible_ && form_ && form_->Visible();
    return visible_;
}

bool TcxTreeListCustomizing::CanShow()
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListOptionsView* view = treeList->OptionsView();
    return (treeList->Bands()->Count() > 0 && view->Bands() && !view->SimpleCustomizeBox()) ||
           (view->Headers() && treeList->GetColumnCount() > 0);
}

void TcxTreeListCustomizing::SetVisible(bool value)
{
    if (value == visible_) return;
    if (value) {
        if (!CanShow()) return;
        visible_ = true;
        CreateControls();
    } else {
        visible_ = false;
        ReleaseControls();
    }
}

void TcxTreeListCustomizing::CreateCustomizingForm()
{
    TcxCustomTreeListControl* treeList = TreeList();
    form_ = CreateObject<TcxTreeListCustomizationForm>(static_cast<TComponent*>(nullptr));
    form_->SetCustomizing(this);
    form_->SetCaption(scxStr(scxCustomizeCaption));
    form_->SetBorderStyle(bsSizeToolWin);
    form_->SetBorderIcons(TBorderIcons{biSystemMenu});
    form_->SetFormStyle(fsStayOnTop);
    form_->Font()->Assign(treeList->Font());
    const SIZE delta = SizeDelta();
    form_->SetClientWidth(delta.cx * cxTextWidth(form_->Font(), "0"));
    lineHeight_ = delta.cy + cxTextHeight(form_->Font(), "Wg");
    form_->SetClientHeight(lineHeight_ * (rowCount_ + 1));
    form_->SetColor(clBtnFace);
    form_->OnActivate = TNotifyEvent::Bind(this, &TcxTreeListCustomizing::FormActivate);
    form_->OnClose = TCloseEvent::Bind(this, &TcxTreeListCustomizing::Close);
    form_->OnShow = TNotifyEvent::Bind(this, &TcxTreeListCustomizing::VisibleChanged);
    form_->OnHide = TNotifyEvent::Bind(this, &TcxTreeListCustomizing::VisibleChanged);
    if (HMENU menu = GetSystemMenu(form_->Handle(), FALSE)) {
        DeleteMenu(menu, 7, MF_BYPOSITION);
        DeleteMenu(menu, 5, MF_BYPOSITION);
        for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}) DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

void TcxTreeListCustomizing::CreateControls()
{
    if (form_) {
        ShowCustomizingForm();
        return;
    }
    CreateCustomizingForm();
    TcxCustomTreeListControl* treeList = TreeList();
    bandsListBox_ = CreateObject<TcxTreeListItemsCustomizeListBox>(static_cast<TComponent*>(form_), treeList, true);
    columnsListBox_ = CreateObject<TcxTreeListItemsCustomizeListBox>(static_cast<TComponent*>(form_), treeList, false);
    pageControl_ = CreateObject<TPageControl>(static_cast<TComponent*>(form_));
    pageControl_->SetHotTrack(true);
    bandsSheet_ = CreateObject<TTabSheet>(static_cast<TComponent*>(form_));
    bandsSheet_->SetCaption(scxStr(scxBandsCaption));
    bandsSheet_->SetPageControl(pageControl_);
    columnsSheet_ = CreateObject<TTabSheet>(static_cast<TComponent*>(form_));
    columnsSheet_->SetCaption(scxStr(scxColumnsCaption));
    columnsSheet_->SetPageControl(pageControl_);
    AdjustControls();
}

void TcxTreeListCustomizing::PlaceListBox(TcxTreeListItemsCustomizeListBox* listBox, TWinControl* parent)
{
    listBox->SetParent(parent);
    listBox->SetAlign(alClient);
    listBox->SetParentFont(true);
    listBox->SetParentColor(true);
}

void TcxTreeListCustomizing::AdjustControls()
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListOptionsView* view = treeList->OptionsView();
    const bool hasColumns = treeList->GetColumnCount() > 0;
    if (view->SimpleCustomizeBox() || !view->Bands()) {
        if (hasColumns) PlaceListBox(columnsListBox_, form_);
    } else {
        pageControl_->SetParent(form_);
        pageControl_->SetAlign(alClient);
        PlaceListBox(bandsListBox_, bandsSheet_);
        if (hasColumns) PlaceListBox(columnsListBox_, columnsSheet_);
    }
    ShowCustomizingForm();
}

void TcxTreeListCustomizing::ValidateListBox(TcxTreeListItemsCustomizeListBox* listBox, int index)
{
    if (!listBox || !listBox->Parent()) return;
    listBox->RefreshList();
    if (index >= 0 && index < listBox->Count()) listBox->SetItemIndex(index);
}

void TcxTreeListCustomizing::ShowCustomizingForm()
{
    if (lastPosition_.x == kNoPosition.x && lastPosition_.y == kNoPosition.y) {
        TcxCustomTreeListControl* treeList = TreeList();
        TControl* anchor = GetParentForm(treeList);
        if (!anchor) anchor = treeList;
        RECT r = anchor->BoundsRect();
        if (anchor->Parent()) {
            const POINT topLeft = anchor->Parent()->ClientToScreen(POINT{r.left, r.top});
            OffsetRect(&r, topLeft.x - r.left, topLeft.y - r.top);
        }
        form_->SetLeft(std::max<int>(0, r.right - form_->Width()));
        form_->SetTop(std::max<int>(0, r.bottom - form_->Height()));
    } else {
        form_->SetLeft(lastPosition_.x);
        form_->SetTop(lastPosition_.y);
    }
    ValidateListBox(bandsListBox_, lastBandIndex_);
    ValidateListBox(columnsListBox_, lastColumnIndex_);
    form_->Show();
}

void TcxTreeListCustomizing::RememberPlace()
{
    if (!form_) return;
    lastPosition_ = POINT{form_->Left(), form_->Top()};
}

void TcxTreeListCustomizing::Close(TObject*, TCloseAction& action)
{
    RememberPlace();
    lastBandIndex_ = bandsListBox_ && bandsListBox_->Parent() ? bandsListBox_->ItemIndex() : -1;
    lastColumnIndex_ = columnsListBox_ && columnsListBox_->Parent() ? columnsListBox_->ItemIndex() : -1;
    action = caHide;
    visible_ = false;
    TreeList()->DoOnCustomizationVisibleChanged();
}

void TcxTreeListCustomizing::VisibleChanged(TObject*) { TreeList()->DoOnCustomizationVisibleChanged(); }

void TcxTreeListCustomizing::LookAndFeelChanged() { Update(); }

void TcxTreeListCustomizing::Update()
{
    if (bandsListBox_) bandsListBox_->Invalidate();
    if (columnsListBox_) columnsListBox_->Invalidate();
    if (pageControl_) pageControl_->Invalidate();
}

void TcxTreeListCustomizing::Modified()
{
    if (!form_) return;
    for (TcxTreeListItemsCustomizeListBox* listBox : {bandsListBox_, columnsListBox_})
        if (listBox && listBox->Parent()) listBox->RefreshList();
}

void TcxTreeListCustomizing::ReleaseControls()
{
    if (!form_) return;
    RememberPlace();
    TcxTreeListCustomizationForm* form = form_;
    form_ = nullptr;
    for (TControl* control : std::initializer_list<TControl*>{columnsListBox_, bandsListBox_, columnsSheet_, bandsSheet_, pageControl_})
        if (control) control->Free();
    columnsListBox_ = bandsListBox_ = nullptr;
    columnsSheet_ = bandsSheet_ = nullptr;
    pageControl_ = nullptr;
    lastBandIndex_ = lastColumnIndex_ = -1;
    form->SetCustomizing(nullptr);
    form->OnClose = {};
    form->OnShow = {};
    form->OnHide = {};
    form->OnActivate = {};
    if (TreeList()->ComponentState().Contains(csDestroying)) form->Free();
    else form->Release();
}

void TcxTreeListCustomizing::MakeBandSheetVisible()
{
    SetVisible(true);
    if (pageControl_ && bandsListBox_ && bandsListBox_->Parent() == bandsSheet_) pageControl_->SetActivePage(bandsSheet_);
}

void TcxTreeListCustomizing::MakeColumnSheetVisible()
{
    SetVisible(true);
    if (pageControl_ && columnsListBox_ && columnsListBox_->Parent() == columnsSheet_)
        pageControl_->SetActivePage(columnsSheet_);
}

bool TcxTreeListCustomizing::PtInCustomizingBox(const POINT& screenPoint)
{
    if (!Visible()) return false;
    const RECT r = form_->BoundsRect();
    return PtInRect(&r, screenPoint) != 0;
}
