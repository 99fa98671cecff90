// Tree-list dragging: sizing band, column and row edges, moving headers
// with their drop arrows, and choosing the drag object for a press.
#include "components/treelist/cxTLDragAndDrop.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/treelist/cxTLCustomizationForm.h"
#include "components/treelist/cxTLPainter.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- live sizing -----------------------------------------------------------------------------

namespace {

// Widths follow the mouse when asked to; heights apply on release.
bool HorizontalDynamicSizing(TcxCustomTreeListControl* treeList)
{
    if (!treeList || !treeList->OptionsCustomizing()->DynamicSizing()) return false;
    auto* controller = As<TcxTreeListController>(treeList->Controller());
    return controller && controller->HitTest()->GetState(tlhcHorzSizing);
}

} // namespace

bool TcxTreeListColumn::IsDynamicUpdate() { return HorizontalDynamicSizing(TreeList()); }

bool TcxTreeListBand::IsDynamicUpdate() { return HorizontalDynamicSizing(TreeList()); }

// ---- header sizing ------------------------------------------------------------------------------

bool TcxTreeListHeaderViewInfo::CanSizing(TcxDragSizingDirection direction)
{
    IcxDragSizing* sizing = GetDragSizing();
    return sizing && sizing->CanSizing(direction);
}

RECT TcxTreeListHeaderViewInfo::GetSizingBoundsRect(TcxDragSizingDirection direction)
{
    IcxDragSizing* sizing = GetDragSizing();
    return sizing ? sizing->GetSizingBoundsRect(direction) : RECT{};
}

int TcxTreeListHeaderViewInfo::GetSizingIncrement(TcxDragSizingDirection direction)
{
    IcxDragSizing* sizing = GetDragSizing();
    return sizing ? sizing->GetSizingIncrement(direction) : 1;
}

bool TcxTreeListHeaderViewInfo::IsDynamicUpdate()
{
    IcxDragSizing* sizing = GetDragSizing();
    return sizing && sizing->IsDynamicUpdate();
}

void TcxTreeListHeaderViewInfo::SetSizeDelta(TcxDragSizingDirection direction, int delta)
{
    if (IcxDragSizing* sizing = GetDragSizing()) sizing->SetSizeDelta(direction, delta);
}

// ---- the controller's drag objects -------------------------------------------------------------

TcxDragAndDropObjectClass TcxTreeListController::GetDragAndDropObjectClass()
{
    TcxTreeListHitTest* hitTest = HitTest();
    SetDragItem(hitTest->HitTestItem());
    TcxDragSizingDirection direction = dsdHorz;
    if (hitTest->CanSizing(direction)) {
        resizeDirection_ = direction;
        if (!hitTest->GetState(tlhcBandHeader) && !hitTest->GetState(tlhcColumnHeader))
            SetDragItem(hitTest->SizingNode());
        return &cxDragAndDropObjectClass<TcxSizingDragAndDropObject>;
    }
    if (hitTest->CanMoving()) return &cxDragAndDropObjectClass<TcxTreeListDragAndDropObject>;
    SetDragItem(nullptr);
    return TcxCustomControlController::GetDragAndDropObjectClass();
}

bool TcxTreeListController::StartDragAndDrop(const POINT& p)
{
    TcxTreeListHitTest* hitTest = HitTest();
    if (hitTest->HitPoint().x != p.x || hitTest->HitPoint().y != p.y) hitTest->ReCalculate(p);
    TcxDragSizingDirection direction = dsdHorz;
    return hitTest->CanSizing(direction) || hitTest->CanMoving();
}

void TcxTreeListController::BeginDragAndDrop()
{
    TcxCustomControlController::BeginDragAndDrop();
    TreeList()->Repaint();
}

void TcxTreeListController::EndDragAndDrop(bool accepted) { TcxCustomControlController::EndDragAndDrop(accepted); }

// ---- drop information ---------------------------------------------------------------------------

TClass TcxTreeListDragDropInfo::StaticClass()
{
    return DefineClass<TcxTreeListDragDropInfo, TObject>("TcxTreeListDragDropInfo");
}

TClass TcxTreeListHeaderDragDropInfo::StaticClass()
{
    return DefineClass<TcxTreeListHeaderDragDropInfo, TcxTreeListDragDropInfo>("TcxTreeListHeaderDragDropInfo");
}

bool cxTreeListCheckDropPos(int current, int target, bool check, TcxTreeListDropBorder& border, int& newIndex,
                            int dropX, int centreX)
{
    if (current == -1) current = -2;
    const bool rightHalf = dropX > centreX;
    newIndex = target;
    border = tldbRight;
    if (check && (target == current || target + (rightHalf ? 1 : -1) == current)) {
        newIndex = current;
        return false;
    }
    if (rightHalf) {
        newIndex = target + 1;
    } else {
        border = tldbLeft;
    }
    return true;
}

// ---- the header drag object ---------------------------------------------------------------------

namespace {

int CentreX(const RECT& r) { return (r.left + r.right) / 2; }

// A colour unlike both given ones, for the part of an arrow picture that
// is cut away.
TColor ShapeKey(TColor a, TColor b)
{
    for (TColor key : {TColor(0xFF00FF), TColor(0x00FF00), TColor(0x0000FE)})
        if (ColorToRGB(key) != ColorToRGB(a) && ColorToRGB(key) != ColorToRGB(b)) return key;
    return TColor(0x123456);
}

} // namespace

TClass TcxTreeListDragAndDropObject::StaticClass()
{
    return DefineClass<TcxTreeListDragAndDropObject, TcxCustomControlDragAndDropObject>("TcxTreeListDragAndDropObject");
}

void TcxTreeListDragAndDropObject::Destroy()
{
    RestoreArrows();
    dropInfo_.reset();
    TcxCustomControlDragAndDropObject::Destroy();
}

TcxCustomTreeListControl* TcxTreeListDragAndDropObject::TreeList() const
{
    return static_cast<TcxCustomTreeListControl*>(Control());
}

TcxTreeListController* TcxTreeListDragAndDropObject::Controller() const
{
    return static_cast<TcxTreeListController*>(TreeList()->Controller());
}

TcxTreeListHitTest* TcxTreeListDragAndDropObject::HitTest() const { return Controller()->HitTest(); }

TcxTreeListHeaderViewInfo* TcxTreeListDragAndDropObject::DragItem() const
{
    return As<TcxTreeListHeaderViewInfo>(Controller()->DragItem());
}

bool TcxTreeListDragAndDropObject::IsDragColumn() const { return As<TcxTreeListColumnHeaderViewInfo>(DragItem()); }

bool TcxTreeListDragAndDropObject::IsDragBand() const { return DragItem() && !IsDragColumn(); }

TcxTreeListColumn* TcxTreeListDragAndDropObject::GetDragColumn() const
{
    auto* header = As<TcxTreeListColumnHeaderViewInfo>(DragItem());
    return header ? header->GetColumn() : nullptr;
}

TcxTreeListBand* TcxTreeListDragAndDropObject::GetDragBand() const
{
    TcxTreeListHeaderViewInfo* header = DragItem();
    return header && !IsDragColumn() && header->GetBandViewInfo() ? header->GetBandViewInfo()->GetBand() : nullptr;
}

RECT TcxTreeListDragAndDropObject::GetAcceptedRect() { return DragItem() ? DragItem()->GetDroppingRect() : RECT{}; }

RECT TcxTreeListDragAndDropObject::GetDisplayRect() { return DragItem() ? DragItem()->GetDisplayRect() : RECT{}; }

bool TcxTreeListDragAndDropObject::CustomizingFormVisible() const
{
    TcxTreeListCustomizing* customizing = TreeList()->Customizing();
    return customizing && customizing->Visible();
}

bool TcxTreeListDragAndDropObject::CheckCustomizingBox()
{
    TcxTreeListCustomizing* customizing = TreeList()->Customizing();
    return dropInfo_ && customizing && customizing->PtInCustomizingBox(Control()->ClientToScreen(dropInfo_->Point));
}

void TcxTreeListDragAndDropObject::StorePosition()
{
    TcxTreeListColumn* column = GetDragColumn();
    if (!column || !column->IsHidden()) return;
    savedColIndex_ = column->Position()->ColIndex();
    positionStored_ = true;
    column->Position()->SetColIndexField(-2);
}

void TcxTreeListDragAndDropObject::RestorePosition()
{
    TcxTreeListColumn* column = GetDragColumn();
    if (!column || !positionStored_) return;
    column->Position()->SetColIndexField(savedColIndex_);
    positionStored_ = false;
}

void TcxTreeListDragAndDropObject::AddScrollStrips()
{
    TcxTreeListViewInfo* layout = TreeList()->TreeListViewInfo();
    if (layout->ContentWidth <= layout->ViewportWidth) return;
    const RECT& area = layout->ScrollArea;
    AddAutoScrollingObject(RECT{area.left, area.top, area.left + kScrollStrip, area.bottom}, sbHorizontal, scLineUp);
    AddAutoScrollingObject(RECT{area.right - kScrollStrip, area.top, area.right, area.bottom}, sbHorizontal,
                           scLineDown);
}

void TcxTreeListDragAndDropObject::BeginDragAndDrop()
{
    TcxCustomControlDragAndDropObject::BeginDragAndDrop();
    AddScrollStrips();
    StorePosition();
    if (!CustomizingFormVisible()) return;
    if (IsDragColumn()) TreeList()->Customizing()->MakeColumnSheetVisible();
    else TreeList()->Customizing()->MakeBandSheetVisible();
}

void TcxTreeListDragAndDropObject::DragAndDrop(const POINT& p, bool& accepted)
{
    Controller()->SetHeaderDragged(true);
    imageDrawn_ = true;
    InitDropInfo(p);
    accepted = dropInfo_->Accepted;
    TcxCustomControlDragAndDropObject::DragAndDrop(p, accepted);
}

void TcxTreeListDragAndDropObject::InitDropInfo(const POINT& p)
{
    if (!dropInfo_) dropInfo_.reset(CreateInstance<TcxTreeListHeaderDragDropInfo>(GetDragDropInfoClass()));
    dropInfo_->Point = p;
    InitDropHeaderInfo();
}

void TcxTreeListDragAndDropObject::InitDropHeaderInfo()
{
    HitTest()->ReCalculate(dropInfo_->Point);
    if (IsDragBand()) InitDropBandInfo();
    else InitDropColumnInfo();
    if (CheckCustomizingBox()) dropInfo_->Accepted = true;
}

bool TcxTreeListDragAndDropObject::CanDropHeaderObject()
{
    TcxTreeListHitTest* hitTest = HitTest();
    return hitTest->GetState(tlhcBandHeader) || hitTest->GetState(tlhcHeaderPanel) ||
           hitTest->GetState(tlhcColumnHeader);
}

bool TcxTreeListDragAndDropObject::CanMoveToBand(TcxTreeListBand* band) const
{
    TcxTreeListColumn* column = GetDragColumn();
    if (!band || !column) return false;
    TcxTreeListBand* own = column->OwnerBand();
    return own == band || (!band->IsOnlyOwnColumns() && (!own || !own->IsOnlyOwnColumns()));
}

void TcxTreeListDragAndDropObject::InitDropColumnInfo()
{
    TcxTreeListHitTest* hitTest = HitTest();
    TcxTreeListColumn* column = GetDragColumn();
    TcxTreeListHeaderDragDropInfo* info = dropInfo_.get();
    info->Band = hitTest->HitBand();
    info->Accepted = hitTest->GetState(tlhcHeaderPanel) || hitTest->GetState(tlhcColumnHeader);
    info->InsertRow = false;
    info->RowIndex = column->Position()->RowIndex();
    info->ColIndex = column->Position()->ColIndex();
    RECT r{};
    TcxTreeListDropBorder border = tldbLeft;
    const bool placed = DropIntoEmptyTree(r, border) || DropOnColumnHeader(r, border) || DropOnHeaderPanel(r, border);
    ChangeArrowPos(r, border, !(placed && info->Accepted));
}

// No visible column but a visible band: the first band takes the column.
bool TcxTreeListDragAndDropObject::DropIntoEmptyTree(RECT& r, TcxTreeListDropBorder& border)
{
    TcxCustomTreeListControl* treeList = TreeList();
    const RECT client = treeList->GetClientBounds();
    if (treeList->GetVisibleColumnCount() > 0 || treeList->GetVisibleBandCount() == 0 ||
        !PtInRect(&client, dropInfo_->Point))
        return false;
    TcxTreeListViewInfo* layout = treeList->TreeListViewInfo();
    dropInfo_->Accepted = true;
    dropInfo_->Band = treeList->VisibleBandList().front();
    const int top = client.top + (treeList->OptionsView()->Bands() ? layout->BandLineHeight : 0);
    r = RECT{client.left, top, client.left + 1, top + layout->HeaderLineHeight};
    border = tldbLeft;
    return true;
}

bool TcxTreeListDragAndDropObject::DropOnColumnHeader(RECT& r, TcxTreeListDropBorder& border)
{
    TcxTreeListHitTest* hitTest = HitTest();
    TcxTreeListColumn* target = hitTest->HitColumn();
    TcxTreeListHeaderDragDropInfo* info = dropInfo_.get();
    if (!hitTest->GetState(tlhcColumnHeader) || !target || !CanMoveToBand(info->Band)) return false;
    TcxTreeListColumn* column = GetDragColumn();
    info->RowIndex = target->Position()->RowIndex();
    const bool sameRow = column->OwnerBand() == info->Band && !column->IsHidden() &&
                         column->Position()->RowIndex() == info->RowIndex;
    const int current = sameRow ? column->Position()->ColIndex() : -2;
    TcxTreeListColumnHeaderViewInfo* header = target->ViewInfo()->ColumnHeader();
    const bool valid = cxTreeListCheckDropPos(current, target->Position()->ColIndex(), true, border, info->ColIndex,
                                              info->Point.x, CentreX(header->GetDisplayRect()));
    r = header->ClipRect;
    return valid;
}

// Into a band's empty header area: a band without visible columns takes the
// column as its first; under a band's rows it makes a new row.
bool TcxTreeListDragAndDropObject::DropOnHeaderPanel(RECT& r, TcxTreeListDropBorder& border)
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListHitTest* hitTest = HitTest();
    TcxTreeListHeaderDragDropInfo* info = dropInfo_.get();
    TcxTreeListBand* band = info->Band;
    const bool overBand = hitTest->GetState(tlhcHeaderPanel) ||
                          (treeList->GetVisibleColumnCount() == 0 && hitTest->GetState(tlhcBand));
    if (!overBand || !band || !band->ViewInfo() || !CanMoveToBand(band)) return false;
    info->InsertRow = band->VisibleColumnCount() > 0;
    if (info->InsertRow && treeList->OptionsView()->HeaderSingleLine()) return false;
    TcxTreeListViewInfo* layout = treeList->TreeListViewInfo();
    RECT area = band->ViewInfo()->ClipRect;
    if (treeList->OptionsView()->Bands() && band->ViewInfo()->Header()) area.top = band->ViewInfo()->Header()->ClipRect.bottom;
    if (!info->InsertRow) {
        info->ColIndex = 0;
        info->RowIndex = 0;
        const RECT dragged = GetDisplayRect();
        r = RECT{area.left, area.top, area.right, area.top + (dragged.bottom - dragged.top)};
        border = tldbLeft;
        return true;
    }
    int top = area.top;
    TcxTreeListBandRows* rows = band->Rows();
    info->RowIndex = rows->Count();
    int lineBottom = top;
    for (int i = 0; i < rows->Count(); ++i) {
        const int bottom = top + rows->Items(i)->LineCount() * layout->HeaderLineHeight;
        lineBottom = bottom;
        if (info->Point.y >= top && info->Point.y < bottom) {
            info->RowIndex = i + 1;
            break;
        }
        top = bottom;
    }
    info->ColIndex = 0;
    r = RECT{area.left, lineBottom, area.right, lineBottom + 1};
    border = tldbTop;
    return true;
}

void TcxTreeListDragAndDropObject::InitDropBandInfo()
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListHitTest* hitTest = HitTest();
    TcxTreeListHeaderDragDropInfo* info = dropInfo_.get();
    TcxTreeListBand* dragged = GetDragBand();
    const int draggedIndex = dragged->VisibleIndex();
    info->Accepted = CanDropHeaderObject();
    RECT r{};
    TcxTreeListDropBorder border = tldbLeft;
    bool valid = false;
    if (info->Accepted && hitTest->HitBand() && hitTest->HitBand()->ViewInfo()) {
        info->Band = hitTest->HitBand();
        const RECT header = info->Band->ViewInfo()->Header()->ClipRect;
        int x = info->Point.x;
        if (info->Band->FixedKind() == tlbfRight) x = header.left;
        else if (info->Band->FixedKind() == tlbfLeft) x = header.right;
        valid = cxTreeListCheckDropPos(draggedIndex, info->Band->VisibleIndex(), true, border, info->ColIndex, x,
                                       CentreX(header));
        r = header;
        if (border == tldbLeft) OffsetRect(&r, -1, 0);
    } else {
        info->ColIndex = draggedIndex;
    }
    bool show = valid && info->Accepted && info->ColIndex != draggedIndex;
    const RECT client = treeList->GetClientBounds();
    if (!info->Accepted && treeList->GetVisibleBandCount() == 0 && PtInRect(&client, info->Point) &&
        treeList->Bands()->Count() > 0) {
        info->Accepted = true;
        info->Band = treeList->Bands()->Items(0);
        info->ColIndex = 0;
        r = RECT{client.left, client.top, client.left + 1, client.top + treeList->TreeListViewInfo()->BandLineHeight};
        border = tldbLeft;
        show = true;
    }
    ChangeArrowPos(r, border, !show);
}

// ---- arrows ---------------------------------------------------------------------------------------

RECT TcxTreeListDragAndDropObject::GetArrowBaseLine(const RECT& client, TcxTreeListDropBorder border) const
{
    const POINT origin = Control()->ClientToScreen(POINT{0, 0});
    RECT r = client;
    OffsetRect(&r, origin.x, origin.y);
    switch (border) {
    case tldbLeft: return RECT{r.left, r.top, r.left + 1, r.bottom};
    case tldbTop: return RECT{r.left, r.top, r.right, r.top + 1};
    case tldbRight: return RECT{r.right - 1, r.top, r.right, r.bottom};
    case tldbBottom: return RECT{r.left, r.bottom - 1, r.right, r.bottom};
    }
    return r;
}

void TcxTreeListDragAndDropObject::GetArrowRects(const RECT& line, RECT& first, RECT& second)
{
    const bool vertical = line.right - line.left == 1 && line.bottom - line.top != 1;
    if (vertical) {
        first = RECT{line.left - kArrowLength, line.top - kArrowLength, line.left + kArrowLength, line.top};
        second = RECT{line.left - kArrowLength, line.bottom, line.left + kArrowLength, line.bottom + kArrowLength};
    } else {
        first = RECT{line.left - kArrowLength, line.top - kArrowLength, line.left, line.top + kArrowLength};
        second = RECT{line.right, line.top - kArrowLength, line.right + kArrowLength, line.top + kArrowLength};
    }
}

// Each arrow is an opaque window shaped to its outline: a vertical line has
// one above pointing down and one below pointing up, a horizontal line one
// on the left pointing right and one on the right pointing left.
void TcxTreeListDragAndDropObject::DoDrawArrows()
{
    const bool vertical = arrowBaseLine_.right - arrowBaseLine_.left == 1 &&
                          arrowBaseLine_.bottom - arrowBaseLine_.top != 1;
    const TColor fill = TreeList()->OptionsView()->DropArrowColor();
    const TColor key = ShapeKey(clBtnText, fill);
    RECT rects[2];
    GetArrowRects(arrowBaseLine_, rects[0], rects[1]);
    for (int i = 0; i < 2; ++i) {
        ObjectPtr<TBitmap> picture(CreateObject<TBitmap>());
        picture->SetSize(rects[i].right - rects[i].left, rects[i].bottom - rects[i].top);
        TCanvas* canvas = picture->Canvas();
        canvas->Brush()->SetColor(key);
        canvas->FillRect(RECT{0, 0, picture->Width(), picture->Height()});
        RECT line = arrowBaseLine_;
        OffsetRect(&line, -rects[i].left, -rects[i].top);
        if (vertical) --line.bottom;
        else --line.right;
        // The arrows' anchors are the line's ends, the second one past it.
        line = vertical ? RECT{line.left, line.top, line.left, line.bottom + 1}
                        : RECT{line.left, line.top, line.right + 1, line.top};
        cxDrawArrows(canvas, line, vertical ? bLeft : bTop, clBtnText, fill);
        arrowWindows_[i].Show(picture.get(), POINT{rects[i].left, rects[i].top}, 255, key);
    }
}

void TcxTreeListDragAndDropObject::RestoreArrows()
{
    for (TcxDragWindow& window : arrowWindows_) window.Close();
}

void TcxTreeListDragAndDropObject::ChangeArrowPos(const RECT& r, TcxTreeListDropBorder border, bool hide)
{
    if (hide) {
        RestoreArrows();
        arrowsShown_ = false;
        return;
    }
    const RECT line = GetArrowBaseLine(r, border);
    if (arrowsShown_ && EqualRect(&line, &arrowBaseLine_)) return;
    RestoreArrows();
    arrowBaseLine_ = line;
    arrowsShown_ = true;
    DoDrawArrows();
}

// Arrows and picture live in windows of their own: a repaint of the list
// below them leaves them alone.
void TcxTreeListDragAndDropObject::OwnerImageChanging() { TcxCustomControlDragAndDropObject::OwnerImageChanging(); }

void TcxTreeListDragAndDropObject::OwnerImageChanged() { TcxCustomControlDragAndDropObject::OwnerImageChanged(); }

// ---- cursor and picture ---------------------------------------------------------------------------

TCursor TcxTreeListDragAndDropObject::GetDragAndDropCursor(bool accepted)
{
    TCursor cursor = TcxCustomControlDragAndDropObject::GetDragAndDropCursor(accepted);
    TcxTreeListColumn* column = GetDragColumn();
    const bool customizable = column && column->ColumnOptions()->Customizing();
    if (!accepted && CustomizingFormVisible()) {
        if (column) cursor = customizable ? cxcrRemove : crArrow;
        else if (!TreeList()->OptionsView()->SimpleCustomizeBox() && TreeList()->GetVisibleColumnCount() > 1)
            cursor = cxcrRemove;
    } else if (accepted && CustomizingFormVisible() && column && !customizable) {
        cursor = CheckCustomizingBox() ? TcxCustomControlDragAndDropObject::GetDragAndDropCursor(false) : crArrow;
    }
    return cursor == crDefault ? crArrow : cursor;
}

void TcxTreeListDragAndDropObject::Paint()
{
    TcxTreeListHeaderViewInfo* header = DragItem();
    if (!header) return;
    TcxCanvas* canvas = Canvas();
    TcxTreeListColumn* column = GetDragColumn();
    canvas->Brush()->SetColor(column && column->IsHidden() ? clBtnShadow : header->ViewParams.Color);
    canvas->FillRect(header->GetDisplayRect());
    const TcxButtonState state = header->ButtonState;
    const bool pressed = header->Pressed;
    quelvo::sys::ScopeGuard restore([&] {
        header->ButtonState = state;
        header->Pressed = pressed;
    });
    header->Pressed = false;
    if (state == cxbsPressed) header->ButtonState = cxbsDefault;
    static_cast<TcxTreeListControlPainter*>(TreeList()->GetPainter())->DrawHeaderItem(header, true);
}

// ---- dropping ---------------------------------------------------------------------------------------

void TcxTreeListDragAndDropObject::HideDroppedHeader()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (TcxTreeListColumn* column = GetDragColumn()) {
        const bool lastVisible = column->Visible() && treeList->GetVisibleColumnCount() <= 1;
        if (column->ColumnOptions()->Customizing() && !lastVisible) column->SetVisible(false);
    } else if (TcxTreeListBand* band = GetDragBand()) {
        if (!treeList->OptionsView()->SimpleCustomizeBox()) band->SetVisible(false);
    }
}

void TcxTreeListDragAndDropObject::EndDragAndDrop(bool)
{
    TcxCustomTreeListControl* treeList = TreeList();
    const bool cancelled = Controller()->EscapePressed();
    const bool accepted = dropInfo_ && dropInfo_->Accepted && !cancelled;
    TcxTreeListColumn* column = GetDragColumn();
    if (column && !accepted && column->IsHidden()) RestorePosition();
    const bool formVisible = CustomizingFormVisible();
    bool dropped = false;
    if (cancelled || !dropInfo_ || (!accepted && !formVisible)) {
        if (DragItem()) DragItem()->SetPressed(false);
    } else if (CheckCustomizingBox() || !accepted) {
        HideDroppedHeader();
        dropped = true;
    } else {
        DropHeaderItem();
        dropped = true;
    }
    TcxCustomControlDragAndDropObject::EndDragAndDrop(dropped);
    RestoreArrows();
    arrowsShown_ = false;
    if (!dropped) return;
    treeList->LayoutChanged();
    treeList->Modified();
}

void TcxTreeListDragAndDropObject::DropHeaderItem()
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListHeaderDragDropInfo* info = dropInfo_.get();
    if (TcxTreeListColumn* column = GetDragColumn()) {
        if (!CanMoveToBand(info->Band)) return;
        treeList->BeginUpdate();
        quelvo::sys::ScopeGuard end([treeList] { treeList->EndUpdate(); });
        positionStored_ = false;
        column->Position()->SetPositionEx(info->Band->Index(), info->ColIndex, info->InsertRow, info->RowIndex);
        column->SetVisible(true);
        return;
    }
    TcxTreeListBand* band = GetDragBand();
    if (!band) return;
    const auto& visible = treeList->VisibleBandList();
    const bool allFixed = std::all_of(visible.begin(), visible.end(), [](TcxTreeListBand* b) { return b->IsFixed(); });
    int position = info->ColIndex;
    if (band->Index() < position - 1) --position;
    position = std::clamp(position, 0, std::max(treeList->Bands()->Count() - 1, 0));
    treeList->BeginUpdate();
    quelvo::sys::ScopeGuard end([treeList] { treeList->EndUpdate(); });
    if (!allFixed) band->SetItemIndex(position);
    band->SetVisible(true);
    treeList->Bands()->RefreshBandStates();
}

// ---- node dragging ----------------------------------------------------------------------------------

namespace {

enum { kScrollLeft, kScrollTop, kScrollRight, kScrollBottom };

} // namespace

TcxControllerAutoScrollingObject* TcxTreeListController::NodeDragScroller(int side) const
{
    return static_cast<TcxControllerAutoScrollingObject*>(nodeDragScrollers_[side].get());
}

bool TcxTreeListController::IsDragMode() const { return TreeList()->DragAndDropState() == ddsInProcess; }

bool TcxTreeListController::IsDragCopy()
{
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0 && TreeList()->OptionsBehavior()->AutoDragCopy();
}

bool TcxTreeListController::CanDrag(int x, int y)
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListHitTest* hitTest = HitTest();
    if (hitTest->HitPoint().x != x || hitTest->HitPoint().y != y) hitTest->ReCalculate(POINT{x, y});
    // A list that does not drag by itself never starts a node drag, so a
    // click on its selected node still focuses the clicked cell.
    if (treeList->DragMode() != dmAutomatic) return false;
    if (hitTest->CanSizing() || treeList->IsDesigning() || IsEditing()) return false;
    TcxTreeListNode* node = hitTest->HitNode();
    return node && hitTest->GetState(tlhcNode) && node->Selected() &&
           (!hitTest->GetState(tlhcIndent) || hitTest->HitAtImages());
}

void TcxTreeListController::BeforeStartDrag()
{
    TcxCustomControlController::BeforeStartDrag();
    TcxTreeListHitTest* hitTest = HitTest();
    const bool onCell = hitTest->HitNode() && hitTest->HitColumn() && hitTest->GetState(tlhcNode);
    dragStartColumn_ = onCell ? hitTest->HitColumn() : nullptr;
    dragStartNode_ = onCell ? hitTest->HitNode() : nullptr;
}

void TcxTreeListController::DragOver(TObject* source, int x, int y, TDragState state, bool& accept)
{
    switch (state) {
    case dsDragEnter: DragEnter(); break;
    case dsDragLeave: DragLeave(); break;
    case dsDragMove: DragMove(source, POINT{x, y}, accept); break;
    }
    TcxCustomControlController::DragOver(source, x, y, state, accept);
}

// Strips along the node area's edges scroll while the mouse rests in them.
void TcxTreeListController::DragEnter()
{
    if (expandTimer_) return;
    TcxCustomTreeListControl* treeList = TreeList();
    treeList->SetDragFocusedNode(treeList->FocusedNode());
    const RECT cells = treeList->TreeListViewInfo()->CellsRect;
    const RECT strips[4] = {
        {cells.left, cells.top, cells.left + kNodeDragStrip, cells.bottom},
        {cells.left, cells.top, cells.right, cells.top + kNodeDragStrip},
        {cells.right - kNodeDragStrip, cells.top, cells.right, cells.bottom},
        {cells.left, cells.bottom - kNodeDragStrip, cells.right, cells.bottom},
    };
    const TScrollBarKind kinds[4] = {sbHorizontal, sbVertical, sbHorizontal, sbVertical};
    const TScrollCode codes[4] = {scLineUp, scLineUp, scLineDown, scLineDown};
    for (int side = 0; side < 4; ++side) {
        nodeDragScrollers_[side].reset(CreateObject<TcxControllerAutoScrollingObject>(static_cast<TObject*>(this)));
        NodeDragScroller(side)->SetParams(strips[side], kinds[side], 1, codes[side]);
    }
    expandTimer_.reset(CreateObject<TTimer>(static_cast<TComponent*>(nullptr)));
    expandTimer_->SetEnabled(false);
    expandTimer_->OnTimer = TNotifyEvent::Bind(this, &TcxTreeListController::OnExpandTimer);
    expandTimerNode_ = nullptr;
}

void TcxTreeListController::DragLeave()
{
    for (auto& scroller : nodeDragScrollers_) scroller.reset();
    expandTimer_.reset();
    expandTimerNode_ = nullptr;
}

void TcxTreeListController::DragMove(TObject*, const POINT& p, bool&)
{
    TcxTreeListHitTest* hitTest = HitTest();
    hitTest->ReCalculate(p);
    if (hitTest->GetState(tlhcButton)) CheckButtonTimer();
    else expandTimerNode_ = nullptr;
    CheckAutoScrolling(p);
    TcxTreeListNode* node = hitTest->HitNode();
    if (node && TreeList()->OptionsBehavior()->DragFocusing() && !node->Focused()) node->SetFocused(true);
}

void TcxTreeListController::CheckAutoScrolling(const POINT& p)
{
    for (int side = 0; side < 4; ++side)
        if (NodeDragScroller(side) && NodeDragScroller(side)->Check(p)) break;
}

void TcxTreeListController::CheckButtonTimer()
{
    if (!expandTimer_) return;
    TcxTreeListHitTest* hitTest = HitTest();
    TcxTreeListNode* node = hitTest->HitNode();
    const bool onButton = hitTest->GetState(tlhcButton);
    if (node != expandTimerNode_ || !onButton) ResetButtonTimer();
    if (expandTimerNode_ == node && node) return;
    expandTimerNode_ = nullptr;
    TcxTreeListOptionsBehavior* behavior = TreeList()->OptionsBehavior();
    if (!node || !onButton) return;
    if ((behavior->DragExpand() && !node->Expanded()) || (behavior->DragCollapse() && node->Expanded())) {
        expandTimer_->SetInterval(static_cast<unsigned>(std::max(behavior->WaitForExpandNodeTime(), 0)));
        expandTimer_->SetEnabled(true);
        expandTimerNode_ = node;
    }
}

// The node toggles once; it stays the timer's node so that it does not
// toggle again until the mouse has left it.
void TcxTreeListController::OnExpandTimer(TObject*)
{
    ResetButtonTimer();
    TcxTreeListHitTest* hitTest = HitTest();
    hitTest->ReCalculate();
    if (expandTimerNode_ && hitTest->HitNode() == expandTimerNode_ && hitTest->GetState(tlhcButton))
        expandTimerNode_->SetExpanded(!expandTimerNode_->Expanded());
    else expandTimerNode_ = nullptr;
}

void TcxTreeListController::ResetButtonTimer()
{
    if (expandTimer_) expandTimer_->SetEnabled(false);
}

// The hit test was taken at the drop point by the control, before the
// update bracket that would leave it empty.
void TcxTreeListController::DragDrop(TObject* source, int, int)
{
    TcxCustomTreeListControl* treeList = TreeList();
    treeList->BeginUpdate();
    quelvo::sys::ScopeGuard end([treeList] { treeList->EndUpdate(); });
    if (auto* dragObject = As<TDragControlObject>(source)) source = dragObject->Control();
    TcxTreeListHitTest* hitTest = HitTest();
    if (source != treeList || !hitTest->HitNode()) return;
    const bool onCells = hitTest->GetState(tlhcColumn) || hitTest->GetState(tlhcPreview);
    DropTo(hitTest->HitNode(), onCells && !hitTest->GetState(tlhcIndent));
}

// The node focused when the drag entered gets the focus back, wherever the
// drag moved it.
void TcxCustomTreeListControl::DragDrop(TObject* source, int x, int y)
{
    Controller()->HitTestController()->SetHitPoint(POINT{x, y});
    TcxExtEditingControl::DragDrop(source, x, y);
    // A drop ends the drag over this list without a leave.
    static_cast<TcxTreeListController*>(Controller())->DragLeave();
    SetFocusedNode(DragFocusedNode());
    if (FocusedNode()) FocusedNode()->MakeVisible();
}

void TcxTreeListController::DropTo(TcxTreeListNode* node, bool onCells)
{
    TcxCustomTreeListControl* treeList = TreeList();
    std::vector<TcxTreeListNode*> nodes = treeList->GetSelectionsEx();
    quelvo::sys::ScopeGuard done([this] { CancelSelection(true); });
    TcxTreeListNode* focusedAtEnter = treeList->DragFocusedNode();
    if (treeList->OptionsBehavior()->DragFocusing() && focusedAtEnter &&
        std::find(nodes.begin(), nodes.end(), focusedAtEnter) == nodes.end())
        nodes.push_back(focusedAtEnter);
    treeList->DoInternalMoveTo(node, onCells ? tlamAddChild : tlamInsert, IsDragCopy(), nodes);
}

void TcxTreeListController::EndDrag(TObject*, int x, int y)
{
    TcxTreeListHitTest* hitTest = HitTest();
    hitTest->ReCalculate(POINT{x, y});
    const bool shiftOrCtrl = (GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_CONTROL) & 0x8000);
    if (!shiftOrCtrl) CancelSelection(true);
    DragLeave();
    const bool sameCell = dragStartNode_ && hitTest->HitNode() == dragStartNode_ &&
                          hitTest->HitColumn() == dragStartColumn_;
    dragStartNode_ = nullptr;
    dragStartColumn_ = nullptr;
    if (GetAlwaysShowEditor() || (sameCell && GetImmediateEditor())) EditingController()->ShowEdit(nullptr);
}

void TcxTreeListController::ForgetDragNode(TcxTreeListNode* node)
{
    if (expandTimerNode_ == node) expandTimerNode_ = nullptr;
    if (dragStartNode_ == node) dragStartNode_ = nullptr;
    if (TreeList()->DragFocusedNode() == node) TreeList()->SetDragFocusedNode(nullptr);
}

// The cursor of a node drag over a point: nothing to drop on, inserting
// before a node (its indent), copying, or moving.
int TcxTreeListController::GetDragKind(const POINT& p)
{
    TcxTreeListHitTest* hitTest = HitTest();
    hitTest->ReCalculate(p);
    if (!hitTest->HitNode()) return kDragKindNoDrop;
    if (IsDragCopy()) return kDragKindCopy;
    const bool onCells = hitTest->GetState(tlhcColumn) || hitTest->GetState(tlhcPreview);
    return onCells && !hitTest->GetState(tlhcIndent) ? kDragKindMove : kDragKindInsert;
}
