#include "components/editor-catalogue/cxLookupGrid.h"

#include <algorithm>

#include "components/editors/cxEditDataRegisteredRepositoryItems.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxGeometry.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxGridLines*)
{
    static const TEnumInfo info{"TcxGridLines", {"glBoth", "glNone", "glVertical", "glHorizontal"}};
    return info;
}

// ---- columns ------------------------------------------------------------------------------------

TClass TcxLookupGridDefaultValuesProvider::StaticClass()
{
    return DefineClass<TcxLookupGridDefaultValuesProvider, TcxCustomEditDefaultValuesProvider>(
        "TcxLookupGridDefaultValuesProvider");
}

TcxLookupGridColumn* TcxLookupGridDefaultValuesProvider::Column() const
{
    return As<TcxLookupGridColumn>(GetOwner());
}

bool TcxLookupGridDefaultValuesProvider::IsDisplayFormatDefined(bool)
{
    TcxLookupGridColumn* column = Column();
    TcxCustomLookupGrid* grid = column ? column->Grid() : nullptr;
    return grid && grid->DataController()->GetItemTextStored(column->Index());
}

TClass TcxLookupGridColumn::StaticClass()
{
    return DefineClass<TcxLookupGridColumn, TCollectionItem>("TcxLookupGridColumn", [](ClassBuilder<TcxLookupGridColumn>& b) {
        using C = TcxLookupGridColumn;
        b.Property("Caption", &C::Caption, &C::SetCaption).Stored(&C::IsCaptionStored);
        b.Property("Fixed", &C::Fixed, &C::SetFixed).Default(false);
        b.Property("HeaderAlignment", &C::HeaderAlignment, &C::SetHeaderAlignment).Default(taLeftJustify);
        b.Property("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(20);
        b.Property("Sorting", &C::Sorting, &C::SetSorting).Default(true);
        b.Property("RepositoryItem", &C::RepositoryItem, &C::SetRepositoryItem);
        b.Property("Width", &C::Width, &C::SetWidth).Stored(&C::IsWidthStored);
    });
}

void TcxLookupGridColumn::Construct(TCollection* collection)
{
    TcxCustomLookupGrid* grid = collection ? As<TcxLookupGridColumns>(collection)->Grid() : nullptr;
    if (grid)
        grid->BeginUpdate();
    quelvo::sys::ScopeGuard end([grid] {
        if (grid)
            grid->EndUpdate();
    });
    TCollectionItem::Construct(collection);
    provider_.reset(CreateInstance<TcxCustomEditDefaultValuesProvider>(GetDefaultValuesProviderClass(),
                                                                       static_cast<TPersistent*>(this)));
    minWidth_ = 20;
    sorting_ = true;
    ColumnChanged();
    if (grid)
        grid->AddColumn(this);
}

void TcxLookupGridColumn::Destroy()
{
    TcxCustomLookupGrid* grid = Grid();
    if (grid && !grid->IsDestroying()) {
        grid->BeginUpdate();
        quelvo::sys::ScopeGuard end([grid] { grid->EndUpdate(); });
        grid->RemoveColumn(this);
    }
    SetRepositoryItem(nullptr);
    internalItem_.reset();
    provider_.reset();
    TCollectionItem::Destroy();
}

TcxCustomLookupGrid* TcxLookupGridColumn::Grid() const
{
    auto* columns = As<TcxLookupGridColumns>(Collection());
    return columns ? columns->Grid() : nullptr;
}

void TcxLookupGridColumn::Assign(TPersistent* source)
{
    auto* other = As<TcxLookupGridColumn>(source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    TCollection* collection = Collection();
    if (collection)
        collection->BeginUpdate();
    quelvo::sys::ScopeGuard end([collection] {
        if (collection)
            collection->EndUpdate();
    });
    RestoreDefaults();
    if (other->IsCaptionStored())
        SetCaption(other->Caption());
    SetHeaderAlignment(other->HeaderAlignment());
    SetMinWidth(other->MinWidth());
    SetFixed(other->Fixed());
    SetSorting(other->Sorting());
    SetSortOrder(other->SortOrder());
    SetRepositoryItem(other->RepositoryItem());
    if (other->IsWidthStored())
        SetWidth(other->Width());
}

void TcxLookupGridColumn::SetIndex(int index)
{
    TCollectionItem::SetIndex(index);
    if (TcxCustomLookupGrid* grid = Grid())
        grid->DataController()->UpdateItemIndexes();
}

TClass TcxLookupGridColumn::GetDefaultValuesProviderClass() { return TcxLookupGridDefaultValuesProvider::StaticClass(); }

TcxValueTypeClass TcxLookupGridColumn::GetValueTypeClass()
{
    TcxCustomLookupGrid* grid = Grid();
    return grid ? grid->DataController()->GetItemValueTypeClass(Index()) : nullptr;
}

void TcxLookupGridColumn::SetValueTypeClass(TcxValueTypeClass value)
{
    if (TcxCustomLookupGrid* grid = Grid())
        grid->DataController()->ChangeValueTypeClass(Index(), value);
}

TcxEditRepositoryItem* TcxLookupGridColumn::DefaultRepositoryItem()
{
    return GetDefaultEditDataRepositoryItems()->GetDefaultItem();
}

TFont* TcxLookupGridColumn::GetContentFont()
{
    TcxCustomLookupGrid* grid = Grid();
    return grid ? grid->ViewInfo()->GetContentFont() : nullptr;
}

TcxEditRepositoryItem* TcxLookupGridColumn::GetInternalDefaultRepositoryItem()
{
    if (TcxEditRepositoryItem* item = DefaultRepositoryItem())
        return item;
    if (!internalItem_)
        internalItem_.reset(CreateObject<TcxEditRepositoryTextItem>(nullptr));
    return internalItem_.get();
}

TcxEditRepositoryItem* TcxLookupGridColumn::GetRepositoryItem()
{
    return repositoryItem_ ? repositoryItem_ : GetInternalDefaultRepositoryItem();
}

TcxCustomEditProperties* TcxLookupGridColumn::GetProperties() { return GetRepositoryItem()->Properties(); }

bool TcxLookupGridColumn::IsLeft() { return Index() == 0; }

bool TcxLookupGridColumn::IsRight() { return Collection() && Index() == Collection()->Count() - 1; }

void TcxLookupGridColumn::RestoreDefaults()
{
    captionAssigned_ = false;
    widthAssigned_ = false;
    headerAlignment_ = taLeftJustify;
    minWidth_ = 20;
    fixed_ = false;
    sorting_ = true;
    ColumnChanged();
}

void TcxLookupGridColumn::ItemRemoved(TcxEditRepositoryItem*) { SetRepositoryItem(nullptr); }

void TcxLookupGridColumn::PropertiesChanged(TcxEditRepositoryItem*) { ColumnChanged(); }

void TcxLookupGridColumn::SetCaption(const std::string& value)
{
    caption_ = value;
    captionAssigned_ = true;
    ColumnChanged();
}

void TcxLookupGridColumn::SetFixed(bool value)
{
    if (fixed_ == value)
        return;
    fixed_ = value;
    ColumnChanged();
}

void TcxLookupGridColumn::SetHeaderAlignment(TAlignment value)
{
    if (headerAlignment_ == value)
        return;
    headerAlignment_ = value;
    ColumnChanged();
}

void TcxLookupGridColumn::SetMinWidth(int value)
{
    value = std::max(value, 0);
    if (value == minWidth_)
        return;
    minWidth_ = value;
    if (widthAssigned_ && width_ < minWidth_)
        width_ = minWidth_;
    ColumnChanged();
}

void TcxLookupGridColumn::SetSorting(bool value)
{
    if (sorting_ == value)
        return;
    sorting_ = value;
    ColumnChanged();
}

TcxDataSortOrder TcxLookupGridColumn::SortOrder() const
{
    TcxCustomLookupGrid* grid = Grid();
    return grid ? grid->DataController()->GetItemSortOrder(Index()) : soNone;
}

void TcxLookupGridColumn::SetSortOrder(TcxDataSortOrder value)
{
    if (TcxCustomLookupGrid* grid = Grid())
        grid->DataController()->ChangeSorting(Index(), value);
}

void TcxLookupGridColumn::SetRepositoryItem(TcxEditRepositoryItem* value)
{
    if (repositoryItem_ == value)
        return;
    if (repositoryItem_)
        repositoryItem_->RemoveListener(this);
    repositoryItem_ = value;
    if (repositoryItem_)
        repositoryItem_->AddListener(this);
    ColumnChanged();
}

void TcxLookupGridColumn::SetWidth(int value)
{
    width_ = CheckWidthValue(value);
    widthAssigned_ = true;
    ColumnChanged();
}

TClass TcxLookupGridColumns::StaticClass()
{
    return DefineClass<TcxLookupGridColumns, TCollection>("TcxLookupGridColumns");
}

void TcxLookupGridColumns::Construct(TcxCustomLookupGrid* grid, TClass itemClass)
{
    grid_ = grid;
    TCollection::Construct(itemClass);
}

TPersistent* TcxLookupGridColumns::GetOwner() const { return grid_; }

bool TcxLookupGridColumns::GridUsable() const { return grid_ && !grid_->IsDestroying(); }

void TcxLookupGridColumns::BeginUpdate()
{
    TCollection::BeginUpdate();
    if (GridUsable())
        grid_->BeginUpdate();
}

void TcxLookupGridColumns::EndUpdate()
{
    if (GridUsable())
        grid_->EndUpdate();
    TCollection::EndUpdate();
}

void TcxLookupGridColumns::RestoreDefaults()
{
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    for (int i = 0; i < Count(); ++i)
        Items(i)->RestoreDefaults();
}

void TcxLookupGridColumns::Update(TCollectionItem*)
{
    if (GridUsable() && !grid_->IsLoading())
        grid_->Change({lgcLayout});
}

// ---- options and data controller -------------------------------------------------------------

TClass TcxLookupGridOptions::StaticClass()
{
    return DefineClass<TcxLookupGridOptions, TPersistent>("TcxLookupGridOptions", [](ClassBuilder<TcxLookupGridOptions>& b) {
        using O = TcxLookupGridOptions;
        b.Property("AnsiSort", &O::AnsiSort, &O::SetAnsiSort).Default(false);
        b.Property("CaseInsensitive", &O::CaseInsensitive, &O::SetCaseInsensitive).Default(false);
        b.Property("ColumnSorting", &O::ColumnSorting, &O::SetColumnSorting).Default(true);
        b.Property("GridLines", &O::GridLines, &O::SetGridLines).Default(glBoth);
        b.Property("RowSelect", &O::RowSelect, &O::SetRowSelect).Default(true);
        b.Property("ShowHeader", &O::ShowHeader, &O::SetShowHeader).Default(true);
    });
}

TPersistent* TcxLookupGridOptions::GetOwner() const { return grid_; }

void TcxLookupGridOptions::Assign(TPersistent* source)
{
    auto* other = As<TcxLookupGridOptions>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (grid_)
        grid_->BeginUpdate();
    quelvo::sys::ScopeGuard end([this] {
        if (grid_)
            grid_->EndUpdate();
    });
    SetAnsiSort(other->AnsiSort());
    SetCaseInsensitive(other->CaseInsensitive());
    SetColumnSorting(other->ColumnSorting());
    SetGridLines(other->GridLines());
    SetRowSelect(other->RowSelect());
    SetShowHeader(other->ShowHeader());
}

void TcxLookupGridOptions::Changed()
{
    if (grid_)
        grid_->Change({lgcLayout});
    OnChanged(this);
}

bool TcxLookupGridOptions::AnsiSort() const
{
    return grid_ && grid_->DataController()->Options().Contains(dcoAnsiSort);
}

bool TcxLookupGridOptions::CaseInsensitive() const
{
    return grid_ && grid_->DataController()->Options().Contains(dcoCaseInsensitive);
}

void TcxLookupGridOptions::SetOption(TcxDataControllerOption option, bool value)
{
    if (!grid_)
        return;
    TcxDataControllerOptions options = grid_->DataController()->Options();
    if (value)
        options.Include(option);
    else
        options.Exclude(option);
    grid_->DataController()->SetOptions(options);
}

void TcxLookupGridOptions::SetAnsiSort(bool value) { SetOption(dcoAnsiSort, value); }
void TcxLookupGridOptions::SetCaseInsensitive(bool value) { SetOption(dcoCaseInsensitive, value); }

void TcxLookupGridOptions::SetGridLines(TcxGridLines value)
{
    if (gridLines_ == value)
        return;
    gridLines_ = value;
    Changed();
}

void TcxLookupGridOptions::SetRowSelect(bool value)
{
    if (rowSelect_ == value)
        return;
    rowSelect_ = value;
    if (value && grid_)
        grid_->SetFocusedColumn(nullptr);
}

void TcxLookupGridOptions::SetShowHeader(bool value)
{
    if (showHeader_ == value)
        return;
    showHeader_ = value;
    Changed();
}

TClass TcxLookupGridDataController::StaticClass()
{
    return DefineClass<TcxLookupGridDataController, TcxDataController>("TcxLookupGridDataController");
}

TcxCustomLookupGrid* TcxLookupGridDataController::Grid() const { return As<TcxCustomLookupGrid>(Owner()); }

TObject* TcxLookupGridDataController::GetItem(int index) const { return Grid()->Columns()->Items(index); }

// ---- the grid: life -----------------------------------------------------------------------------

TClass TcxCustomLookupGrid::StaticClass()
{
    return DefineClass<TcxCustomLookupGrid, TcxControl>("TcxCustomLookupGrid");
}

TClass TcxLookupGrid::StaticClass()
{
    return DefineClass<TcxLookupGrid, TcxCustomLookupGrid>("TcxLookupGrid", [](ClassBuilder<TcxLookupGrid>& b) {
        using G = TcxLookupGrid;
        b.Property("Columns", &G::Columns, &G::SetColumns);
        b.Property("Options", &G::Options, &G::SetOptions);
    });
}

void TcxCustomLookupGrid::Construct(TComponent* owner)
{
    TcxControl::Construct(owner);
    columns_.reset(CreateInstance<TcxLookupGridColumns>(GetColumnsClass(), this, GetColumnClass()));
    options_.reset(CreateObject<TcxLookupGridOptions>(this));
    CreateHandlers();
    CreateSubClasses();
    SetColor(clWindow);
    SetParentColor(false);
    SetBounds(Left(), Top(), 250, 200);
    SetKeys(TcxKeys{kArrows});
}

void TcxCustomLookupGrid::Destroy()
{
    SetScrollMode(smNone);
    DestroySubClasses();
    DestroyHandlers();
    options_.reset();
    columns_.reset();
    TcxControl::Destroy();
}

void TcxCustomLookupGrid::CreateHandlers()
{
    painter_.reset(CreateObject<TcxLookupGridPainter>(this));
    painter_->LFPainterClass = GetLFPainterClass();
    viewInfo_.reset(CreateObject<TcxLookupGridViewInfo>(this));
}

void TcxCustomLookupGrid::DestroyHandlers()
{
    viewInfo_.reset();
    painter_.reset();
}

void TcxCustomLookupGrid::CreateSubClasses()
{
    dataController_.reset(CreateInstance<TcxCustomDataController>(GetDataControllerClass(), static_cast<TComponent*>(this)));
    dataController_->OnUpdateControl = TcxUpdateControlEvent::Bind(this, &TcxCustomLookupGrid::DataControllerUpdate);
}

void TcxCustomLookupGrid::DestroySubClasses() { dataController_.reset(); }

TClass TcxCustomLookupGrid::GetColumnClass() { return TcxLookupGridColumn::StaticClass(); }
TClass TcxCustomLookupGrid::GetColumnsClass() { return TcxLookupGridColumns::StaticClass(); }
TClass TcxCustomLookupGrid::GetDataControllerClass() { return TcxLookupGridDataController::StaticClass(); }

void TcxCustomLookupGrid::Loaded()
{
    TcxControl::Loaded();
    Change({lgcLayout});
}

int TcxCustomLookupGrid::GetBorderSize() { return isPopupControl_ ? 0 : LookAndFeelPainter()->BorderSize(); }

void TcxCustomLookupGrid::InitControl()
{
    TcxControl::InitControl();
    LayoutChanged();
}

void TcxCustomLookupGrid::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed)
{
    TcxControl::LookAndFeelChanged(sender, changed);
    if (painter_)
        painter_->LFPainterClass = GetLFPainterClass();
    Change({lgcLayout});
}

void TcxCustomLookupGrid::SetIsPopupControl(bool value)
{
    if (isPopupControl_ == value)
        return;
    isPopupControl_ = value;
    Change({lgcLayout});
}

// ---- changes --------------------------------------------------------------------------------------

void TcxCustomLookupGrid::BeginUpdate()
{
    ++lockCount_;
    dataController_->BeginUpdate();
}

void TcxCustomLookupGrid::EndUpdate()
{
    dataController_->EndUpdate();
    --lockCount_;
    CheckChanges();
}

void TcxCustomLookupGrid::CancelUpdate()
{
    dataController_->EndUpdate();
    --lockCount_;
}

void TcxCustomLookupGrid::Change(TcxLookupGridChanges changes)
{
    changes_ = changes_ + changes;
    CheckChanges();
}

void TcxCustomLookupGrid::CheckChanges()
{
    if (changes_.Empty() || lockCount_ != 0)
        return;
    quelvo::sys::ScopeGuard clear([this] { changes_ = {}; });
    LayoutChanged();
}

void TcxCustomLookupGrid::AddColumn(TcxLookupGridColumn* column)
{
    if (!dataController_)
        return;
    dataController_->AddItem(column);
    // Records kept by the controller itself hold text unless told otherwise.
    const int index = dataController_->GetItemCount() - 1;
    if (!dataController_->IsProviderDataSource() && !dataController_->GetItemValueTypeClass(index))
        dataController_->ChangeValueTypeClass(index, TcxStringValueType::Class());
}

void TcxCustomLookupGrid::RemoveColumn(TcxLookupGridColumn* column)
{
    dataController_->RemoveItem(column);
    if (focusedColumn_ == column)
        focusedColumn_ = nullptr;
}

void TcxCustomLookupGrid::LayoutChanged()
{
    // Base construction may report bounds before the layout exists.
    if (!viewInfo_ || !dataController_)
        return;
    CheckTopRowIndex(topRowIndex_, true);
    UpdateLayout();
}

void TcxCustomLookupGrid::UpdateLayout()
{
    if (!HandleAllocated())
        return;
    viewInfo_->Calculate();
    Invalidate();
    UpdateScrollBars();
}

void TcxCustomLookupGrid::DataChanged()
{
    LayoutChanged();
    OnDataChanged(this);
}

void TcxCustomLookupGrid::UpdateControl(TcxUpdateControlInfo* info)
{
    if (Is<TcxDataChangedInfo>(info))
        DataChanged();
    else if (Is<TcxLayoutChangedInfo>(info))
        DataLayoutChanged();
    else if (auto* focused = As<TcxFocusedRecordChangedInfo>(info))
        FocusedRowChanged(focused->PrevFocusedRowIndex, focused->FocusedRowIndex);
    else if (auto* selection = As<TcxSelectionChangedInfo>(info))
        SelectionChanged(selection);
}

void TcxCustomLookupGrid::FocusedRowChanged(int previousRow, int newRow)
{
    if (IsRowVisible(newRow)) {
        UpdateRowInfo(previousRow, true);
        UpdateRowInfo(newRow, true);
        return;
    }
    LayoutChanged();
    MakeFocusedRowVisible();
}

void TcxCustomLookupGrid::SelectionChanged(TcxSelectionChangedInfo* info)
{
    if (info->GetCount() == 0)
        return LayoutChanged();
    for (int i = 0; i < info->GetCount(); ++i)
        UpdateRowInfo(info->GetRowIndex(i), true);
}

void TcxCustomLookupGrid::SyncSelected(bool selected) { dataController_->SyncSelected(selected); }

void TcxCustomLookupGrid::UpdateFocusing() { UpdateRowInfo(FocusedRowIndex(), false); }

void TcxCustomLookupGrid::UpdateRowInfo(int rowIndex, bool recalculate)
{
    TcxLookupGridRowViewInfo* row = viewInfo_->Rows.FindByRowIndex(rowIndex);
    if (!row)
        return;
    if (recalculate)
        viewInfo_->RecalculateRow(row);
    InvalidateRect(row->Bounds, false);
}

void TcxCustomLookupGrid::Paint()
{
    TcxControl::Paint();
    painter_->Paint();
}

void TcxCustomLookupGrid::ColorChanged()
{
    LayoutChanged();
    TcxControl::ColorChanged();
}

void TcxCustomLookupGrid::BoundsChanged()
{
    LayoutChanged();
    TcxControl::BoundsChanged();
}

void TcxCustomLookupGrid::DoCancelMode()
{
    TcxControl::DoCancelMode();
    DestroyScrollTimer();
    scrollMode_ = smNone;
    rowPressed_ = false;
}

void TcxCustomLookupGrid::FocusChanged()
{
    UpdateFocusing();
    TcxControl::FocusChanged();
}

void TcxCustomLookupGrid::FontChanged()
{
    TcxControl::FontChanged();
    LayoutChanged();
}

// ---- hit test and popup heights ---------------------------------------------------------------

TcxLookupGridHitInfo TcxCustomLookupGrid::GetHitInfo(POINT p)
{
    TcxLookupGridHitInfo hit;
    const RECT client = GetClientBounds();
    if (!PtInRect(&client, p))
        return hit;
    TcxLookupGridViewInfo& layout = *viewInfo_;
    if (PtInRect(&layout.HeadersRect, p)) {
        for (int i = 0; i < layout.Columns.Count(); ++i)
            if (PtInRect(&layout.Columns.Items(i)->Bounds, p)) {
                hit.HitTest = htHeader;
                hit.ColumnIndex = i;
                return hit;
            }
        return hit;
    }
    if (!PtInRect(&layout.RowsRect, p))
        return hit;
    for (int i = 0; i < layout.Rows.Count(); ++i) {
        TcxLookupGridRowViewInfo* row = layout.Rows.Items(i);
        if (!PtInRect(&row->Bounds, p))
            continue;
        hit.RowIndex = row->RowIndex;
        for (int j = 0; j < row->Count(); ++j)
            if (row->Items(j)->Bounds.left <= p.x && p.x < row->Items(j)->Bounds.right) {
                hit.HitTest = htCell;
                hit.ColumnIndex = j;
                break;
            }
        break;
    }
    return hit;
}

int TcxCustomLookupGrid::GetPopupHeight(int rowCount)
{
    return cxRectHeight(viewInfo_->HeadersRect) + rowCount * viewInfo_->GetRowHeight();
}

int TcxCustomLookupGrid::GetNearestPopupHeight(int height)
{
    viewInfo_->CalcColumns();
    const int headerHeight = cxRectHeight(viewInfo_->HeadersRect);
    const int rowHeight = viewInfo_->GetRowHeight();
    // Without a row height (no columns, no lines) only the header remains.
    if (rowHeight <= 0)
        return headerHeight;
    int rows = (height - headerHeight) / rowHeight;
    if (rows <= 0)
        rows = 1;
    rows = std::min(rows, RowCount());
    rows = std::max(rows, 1);
    return headerHeight + rows * rowHeight;
}

// ---- rows and focus -----------------------------------------------------------------------------

int TcxCustomLookupGrid::LastFullyVisibleRow() { return topRowIndex_ + viewInfo_->FullyVisibleRowCount - 1; }

bool TcxCustomLookupGrid::IsRowVisible(int rowIndex)
{
    const TcxLookupGridViewInfo& layout = *viewInfo_;
    if (layout.FullyVisibleRowCount == 0 || layout.Rows.Count() == 0)
        return false;
    return rowIndex >= layout.Rows.Items(0)->RowIndex && rowIndex <= LastFullyVisibleRow();
}

void TcxCustomLookupGrid::MakeRowVisible(int rowIndex)
{
    const TcxLookupGridViewInfo& layout = *viewInfo_;
    if (layout.FullyVisibleRowCount == 0)
        return;
    if (layout.Rows.Count() > 0 && rowIndex < layout.Rows.Items(0)->RowIndex)
        SetTopRowIndex(rowIndex);
    else if (rowIndex > LastFullyVisibleRow())
        SetTopRowIndex(rowIndex - layout.FullyVisibleRowCount + 1);
}

void TcxCustomLookupGrid::MakeFocusedRowVisible()
{
    if (FocusedRowIndex() != -1)
        MakeRowVisible(FocusedRowIndex());
}

void TcxCustomLookupGrid::SetFocusedColumn(TcxLookupGridColumn* value)
{
    if (options_ && options_->RowSelect())
        value = nullptr;
    if (value == focusedColumn_)
        return;
    focusedColumn_ = value;
    Change({lgcLayout});
}

void TcxCustomLookupGrid::SetFocusedColumnIndex(int index)
{
    if (columns_->Count() == 0)
        return;
    index = std::clamp(index, 0, columns_->Count() - 1);
    if (columns_->Items(index) != focusedColumn_)
        SetFocusedColumn(columns_->Items(index));
}

void TcxCustomLookupGrid::FocusColumn(int index)
{
    SetFocusedColumnIndex(index);
    MakeFocusedRowVisible();
}

void TcxCustomLookupGrid::FocusNextRow(bool forward)
{
    TcxCustomDataController* controller = dataController_.get();
    int row = FocusedRowIndex();
    if (controller->IsGridMode()) {
        if (forward && row == RowCount() - 1 && !controller->IsEOF()) {
            controller->Scroll(1);
            if (!controller->IsEOF())
                --row;
        } else if (!forward && row == 0 && !controller->IsBOF()) {
            controller->Scroll(-1);
            if (!controller->IsBOF())
                ++row;
        }
    }
    row = std::clamp(row + (forward ? 1 : -1), 0, std::max(RowCount() - 1, 0));
    SetFocusedRowIndex(row);
    SyncSelected(true);
}

void TcxCustomLookupGrid::ShowNextPage()
{
    const int visible = viewInfo_->FullyVisibleRowCount;
    SetTopRowIndex(topRowIndex_ + (visible < 2 ? 1 : visible - 1));
}

void TcxCustomLookupGrid::ShowPrevPage()
{
    const int visible = viewInfo_->FullyVisibleRowCount;
    SetTopRowIndex(topRowIndex_ - (visible < 2 ? 1 : visible - 1));
}

void TcxCustomLookupGrid::FocusNextPage()
{
    MakeFocusedRowVisible();
    if (FocusedRowIndex() == LastFullyVisibleRow())
        ShowNextPage();
    SetFocusedRowIndex(LastFullyVisibleRow());
}

void TcxCustomLookupGrid::FocusPriorPage()
{
    MakeFocusedRowVisible();
    if (FocusedRowIndex() == topRowIndex_)
        ShowPrevPage();
    SetFocusedRowIndex(topRowIndex_);
}

// ---- the top row --------------------------------------------------------------------------------

int TcxCustomLookupGrid::CheckSetTopRowIndex(int value)
{
    TcxCustomDataController* controller = dataController_.get();
    const int rows = RowCount();
    if (controller->IsGridMode()) {
        const int visible = viewInfo_->FullyVisibleRowCount;
        if (value < 0) {
            if (!controller->IsBOF())
                controller->Scroll(value);
            value = 0;
        } else if (value >= rows) {
            if (!controller->IsEOF())
                controller->Scroll(value - rows + 1);
            value = rows - 1;
        } else if (value > rows - visible) {
            if (!controller->IsEOF())
                controller->Scroll(value - (rows - visible));
            value = rows - visible;
        }
    }
    return std::max(std::min(value, RowCount() - 1), 0);
}

void TcxCustomLookupGrid::SetTopRowIndex(int value)
{
    value = CheckSetTopRowIndex(value);
    if (value != topRowIndex_)
        CheckTopRowIndex(value, false);
}

void TcxCustomLookupGrid::CheckTopRowIndex(int value, bool calculateOnly)
{
    const int corrected = viewInfo_->CheckTopRowIndex(value);
    if (corrected == topRowIndex_) {
        viewInfo_->Calculate();
        return;
    }
    topRowIndex_ = corrected;
    if (calculateOnly)
        return;
    const bool locked = popupMouseMoveLocked_;
    popupMouseMoveLocked_ = true;
    quelvo::sys::ScopeGuard restore([this, locked] { popupMouseMoveLocked_ = locked; });
    UpdateLayout();
}

// ---- sorting -----------------------------------------------------------------------------------

void TcxCustomLookupGrid::DoHeaderClick(int columnIndex, TShiftState shift)
{
    if (!options_->ColumnSorting() || columnIndex < 0 || columnIndex >= columns_->Count())
        return;
    TcxLookupGridColumn* column = columns_->Items(columnIndex);
    if (!column->Sorting())
        return;
    {
        BeginUpdate();
        quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
        if (shift.Contains(ssCtrl)) {
            column->SetSortOrder(soNone);
        } else {
            const TcxDataSortOrder order = column->SortOrder() == soAscending ? soDescending : soAscending;
            if (!shift.Contains(ssShift))
                dataController_->ClearSorting(false);
            column->SetSortOrder(order);
        }
    }
    MakeFocusedRowVisible();
}

void TcxCustomLookupGrid::DoCellClick(int rowIndex, int columnIndex, TShiftState)
{
    if (rowIndex != -1)
        SetFocusedRowIndex(rowIndex);
    if (columnIndex != -1)
        SetFocusedColumnIndex(columnIndex);
}

// ---- keys and mouse -----------------------------------------------------------------------------

void TcxCustomLookupGrid::KeyDown(WORD& key, TShiftState shift)
{
    TcxControl::KeyDown(key, shift);
    const bool wholeRows = shift.Contains(ssCtrl) || options_->RowSelect();
    switch (key) {
    case VK_RETURN: return DoCloseUp(true);
    case VK_PRIOR: return FocusPriorPage();
    case VK_NEXT: return FocusNextPage();
    case VK_END: return wholeRows ? dataController_->GotoLast() : FocusColumn(columns_->Count() - 1);
    case VK_HOME: return wholeRows ? dataController_->GotoFirst() : FocusColumn(0);
    case VK_LEFT: return FocusColumn(FocusedColumnIndex() - 1);
    case VK_RIGHT: return FocusColumn(FocusedColumnIndex() + 1);
    case VK_UP: return FocusNextRow(false);
    case VK_DOWN: return FocusNextRow(true);
    default: return;
    }
}

void TcxCustomLookupGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseDown(button, shift, x, y);
    const TcxLookupGridHitInfo hit = GetHitInfo(POINT{x, y});
    if (hit.HitTest == htHeader) {
        DoHeaderClick(hit.ColumnIndex, shift);
    } else if (hit.HitTest == htCell) {
        DoCellClick(hit.RowIndex, hit.ColumnIndex, shift);
        rowPressed_ = true;
    }
}

bool TcxCustomLookupGrid::IsAboveRows(int y) { return y < viewInfo_->FullyVisibleRowsRect.top; }
bool TcxCustomLookupGrid::IsBelowRows(int y) { return y >= viewInfo_->FullyVisibleRowsRect.bottom; }

void TcxCustomLookupGrid::MouseMove(TShiftState shift, int x, int y)
{
    TcxControl::MouseMove(shift, x, y);
    const bool captured = MouseCapture();
    if (!captured && popupMouseMoveLocked_) {
        popupMouseMoveLocked_ = false;
        return;
    }
    if (!captured && !IsHotTrack())
        return;
    const TcxLookupGridHitInfo hit = GetHitInfo(POINT{x, y});
    if (rowPressed_ && captured && (IsAboveRows(y) || IsBelowRows(y))) {
        SetScrollMode(IsAboveRows(y) ? smTop : smBottom);
        return;
    }
    SetScrollMode(smNone);
    if (hit.HitTest == htCell) {
        SetFocusedRowIndex(hit.RowIndex);
        SyncSelected(true);
    }
}

void TcxCustomLookupGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseUp(button, shift, x, y);
    SetScrollMode(smNone);
    const TcxLookupGridHitInfo hit = GetHitInfo(POINT{x, y});
    const bool pressed = rowPressed_;
    rowPressed_ = false;
    if (pressed)
        DoCloseUp(hit.HitTest == htCell);
}

// ---- auto-scroll --------------------------------------------------------------------------------

void TcxCustomLookupGrid::SetScrollMode(TcxLookupGridScrollMode mode)
{
    if (mode == scrollMode_)
        return;
    DestroyScrollTimer();
    scrollMode_ = mode;
    if (mode != smNone)
        CreateScrollTimer();
}

void TcxCustomLookupGrid::CreateScrollTimer()
{
    scrollTimer_.reset(CreateObject<TTimer>(nullptr));
    scrollTimer_->SetInterval(50);
    scrollTimer_->OnTimer = TNotifyEvent::Bind(this, &TcxCustomLookupGrid::ScrollTimerHandler);
}

void TcxCustomLookupGrid::DestroyScrollTimer() { scrollTimer_.reset(); }

void TcxCustomLookupGrid::ScrollTimerHandler(TObject*)
{
    const POINT p = ScreenToClient(InternalGetCursorPos());
    int row = 0;
    if (IsAboveRows(p.y))
        row = topRowIndex_ - 1;
    else if (IsBelowRows(p.y))
        row = topRowIndex_ + viewInfo_->FullyVisibleRowCount + 1;
    else
        return;
    row = std::clamp(row, 0, std::max(RowCount() - 1, 0));
    SetFocusedRowIndex(row);
    MakeRowVisible(row);
    SyncSelected(false);
}

// ---- scroll bar ---------------------------------------------------------------------------------

int TcxCustomLookupGrid::GetScrollBarOffsetBegin()
{
    return dataController_->IsGridMode() && !dataController_->IsBOF() ? 1 : 0;
}

int TcxCustomLookupGrid::GetScrollBarOffsetEnd()
{
    return dataController_->IsGridMode() && !dataController_->IsEOF() ? 1 : 0;
}

void TcxCustomLookupGrid::InitScrollBarsParameters()
{
    const int begin = GetScrollBarOffsetBegin();
    SetScrollBarInfo(sbVertical, 0, begin + RowCount() + GetScrollBarOffsetEnd() - 1, 1,
                     viewInfo_->FullyVisibleRowCount, begin + topRowIndex_, true, true);
}

void TcxCustomLookupGrid::ScrollVertically(TScrollCode code, int& position)
{
    switch (code) {
    case scLineUp: SetTopRowIndex(topRowIndex_ - 1); break;
    case scLineDown: SetTopRowIndex(topRowIndex_ + 1); break;
    case scPageUp: ShowPrevPage(); break;
    case scPageDown: ShowNextPage(); break;
    case scPosition:
        if (dataController_->IsGridMode())
            SetTopRowIndex(position - GetScrollBarOffsetBegin());
        break;
    case scTrack:
        if (!dataController_->IsGridMode())
            SetTopRowIndex(position);
        break;
    default: break;
    }
}

void TcxCustomLookupGrid::Scroll(TScrollBarKind kind, TScrollCode code, int& position)
{
    if (kind != sbVertical)
        return;
    ScrollVertically(code, position);
    position = GetScrollBarOffsetBegin() + topRowIndex_;
}
