// Tree-list bands: the band with its options and rows, the band collection
// and the proportional width distribution shared by band rows and bands.

#include <algorithm>
#include <climits>

#include "components/treelist/cxTL.h"
#include "platform/system/muldiv.h"

using namespace hostlib;

// ---- width distribution --------------------------------------------------------------------

void TcxTreeListAutoWidthController::Init(int availableWidth, int capacity)
{
    items_.clear();
    items_.reserve(static_cast<std::size_t>(std::max(capacity, 0)));
    availableWidth_ = availableWidth;
    firstIndex_ = 0;
    minWidthSum_ = 0;
    widthSum_ = 0;
}

void TcxTreeListAutoWidthController::Add(cxtl::TcxAutoWidthItem* item)
{
    items_.push_back(item);
    item->Width = std::max(item->Width, item->MinWidth);
    item->AutoWidth = item->Width;
    if (item->Fixed) {
        availableWidth_ -= item->Width;
        firstIndex_ = Count();
    } else {
        widthSum_ += item->Width;
        minWidthSum_ += item->MinWidth;
    }
}

void TcxTreeListAutoWidthController::Calculate()
{
    if (availableWidth_ == widthSum_) return;
    availableWidth_ = std::max(availableWidth_, minWidthSum_);
    int lastIndex = Count() - 1;
    if (firstIndex_ == Count()) {
        firstIndex_ = 0;
        lastIndex = Count() - 2;
    }
    while (!Distribute(lastIndex)) {
    }
}

bool TcxTreeListAutoWidthController::Distribute(int lastIndex)
{
    int numerator = availableWidth_;
    int denominator = widthSum_;
    for (int i = firstIndex_; i <= lastIndex; ++i) {
        cxtl::TcxAutoWidthItem* item = items_[static_cast<std::size_t>(i)];
        if (item->Fixed) continue;
        const int share = denominator == 0 ? 0 : MulDiv(item->Width, numerator, denominator);
        if (share < item->MinWidth) {
            item->AutoWidth = item->MinWidth;
            item->Fixed = true;
            widthSum_ -= item->Width;
            availableWidth_ -= item->MinWidth;
            return false;
        }
        item->AutoWidth = share;
        numerator -= share;
        denominator -= item->Width;
    }
    return true;
}

// ---- options -------------------------------------------------------------------------------

TClass TcxTreeListBandOptions::StaticClass()
{
    return DefineClass<TcxTreeListBandOptions, TcxOwnedPersistent>("TcxTreeListBandOptions", [](ClassBuilder<TcxTreeListBandOptions>& b) {
        using O = TcxTreeListBandOptions;
        b.Property("Customizing", &O::Customizing, &O::SetCustomizing).Default(true);
        b.Property("Hidden", &O::Hidden, &O::SetHidden).Default(false);
        b.Property("Moving", &O::Moving, &O::SetMoving).Default(true);
        b.Property("OnlyOwnColumns", &O::OnlyOwnColumns, &O::SetOnlyOwnColumns).Default(false);
        b.Property("Sizing", &O::Sizing, &O::SetSizing).Default(true);
    });
}

void TcxTreeListBandOptions::Construct(TPersistent* owner)
{
    TcxOwnedPersistent::Construct(owner);
    state_ = TcxOptionBits();
    for (int bit = 0; bit < 32; ++bit) state_.Set(bit, true);
    state_.Set(2, false);
}

void TcxTreeListBandOptions::Changed()
{
    if (auto* band = As<TcxTreeListBand>(GetOwner())) band->Changed(false);
}

void TcxTreeListBandOptions::RestoreDefaults()
{
    state_ = TcxOptionBits();
    state_.Set(3, true);
    state_.Set(0, true);
    state_.Set(1, true);
    Changed();
}

void TcxTreeListBandOptions::Assign(TPersistent* source)
{
    auto* other = As<TcxTreeListBandOptions>(source);
    if (!other) return TcxOwnedPersistent::Assign(source);
    if (state_.Value() == other->state_.Value()) return;
    state_ = other->state_;
    Changed();
}

// ---- rows ----------------------------------------------------------------------------------

TcxTreeListBand* TcxTreeListBandRow::Band() const { return rows_->Band(); }

TcxTreeListAutoWidthController* TcxTreeListBandRow::GetAutoWidthController() const
{
    return Band()->TreeList()->AutoWidthController();
}

void TcxTreeListBandRow::AddColumn(TcxTreeListColumn* column)
{
    if (column->IsHidden()) return;
    columns_.push_back(column);
    Band()->AddVisibleColumn(column);
}

int TcxTreeListBandRow::IndexOf(TcxTreeListColumn* column) const
{
    auto it = std::find(columns_.begin(), columns_.end(), column);
    return it == columns_.end() ? -1 : static_cast<int>(it - columns_.begin());
}

TcxTreeListColumn* TcxTreeListBandRow::GetItemEx(int index) const
{
    return index >= 0 && index < Count() ? Items(index) : nullptr;
}

int TcxTreeListBandRow::Index() const { return rows_->IndexOf(this); }

bool TcxTreeListBandRow::IsLast() const { return Index() == rows_->Count() - 1; }

void TcxTreeListBandRow::UpdateInformation()
{
    lineOffset_ = 0;
    lineCount_ = 0;
    for (TcxTreeListColumn* column : columns_) lineCount_ = std::max(lineCount_, column->Position()->LineCount());
}

int TcxTreeListBandRow::LineCount()
{
    if (lineCount_ == 0) {
        const int offset = lineOffset_;
        UpdateInformation();
        lineOffset_ = offset;
    }
    return lineCount_;
}

int TcxTreeListBandRow::GetRowMinWidth() const
{
    int sum = 0;
    for (TcxTreeListColumn* column : columns_) sum += column->GetRealMinWidth();
    return sum;
}

int TcxTreeListBandRow::GetMinWidth() const
{
    int result = 0;
    for (TcxTreeListColumn* column : columns_) result = std::max(result, column->GetRealMinSize());
    return result;
}

int TcxTreeListBandRow::GetWidth() const
{
    int sum = 0;
    for (TcxTreeListColumn* column : columns_) sum += column->DisplayWidth();
    return sum == 0 ? Band()->CurrentWidth() : sum;
}

int TcxTreeListBandRow::GetMaxColumnWidth(TcxTreeListColumn* column) const
{
    int result = Band()->CurrentWidth();
    const int index = IndexOf(column);
    const bool last = index == Count() - 1;
    for (int i = 0; i < Count(); ++i) {
        if (i == index) continue;
        if (!last && i < index) result -= Items(i)->CurrentWidth();
        else result -= Items(i)->GetRealMinWidth();
    }
    return result;
}

void TcxTreeListBandRow::ColumnSizeChanged(TcxTreeListColumn* column)
{
    const int index = IndexOf(column);
    if (index < 0) return;
    const bool last = index == Count() - 1;
    const int first = last ? 0 : index + 1;
    const int lastIndex = last ? index - 1 : Count() - 1;
    for (int i = 0; i < Count(); ++i) Items(i)->AutoWidthItem()->Fixed = i < first && i <= lastIndex;
    column->AutoWidthItem()->Fixed = true;
}

void TcxTreeListBandRow::DoCalculateColumnsAutoWidth()
{
    if (columns_.empty()) return;
    TcxTreeListAutoWidthController* controller = GetAutoWidthController();
    TcxTreeListBand* band = Band();
    controller->Init(std::max(band->CurrentWidth(), band->MinimalWidth()), Count());
    for (TcxTreeListColumn* column : columns_) {
        column->InitAutoWidthItem();
        controller->Add(column->AutoWidthItem());
    }
    controller->Calculate();
    for (TcxTreeListColumn* column : columns_) column->AssignDisplayWidth();
}

TcxTreeListBandRow* TcxTreeListBandRows::Add()
{
    rows_.push_back(std::make_unique<TcxTreeListBandRow>(this));
    return rows_.back().get();
}

TcxTreeListBandRow* TcxTreeListBandRows::GetItemEx(int index) const
{
    return index >= 0 && index < Count() ? Items(index) : nullptr;
}

int TcxTreeListBandRows::IndexOf(const TcxTreeListBandRow* row) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i) == row) return i;
    return -1;
}

void TcxTreeListBandRows::UpdateInformation()
{
    lineCount_ = 0;
    for (auto& row : rows_) {
        row->UpdateInformation();
        row->SetLineOffset(lineCount_);
        lineCount_ += row->LineCount();
    }
    if (TcxCustomTreeListControl* treeList = band_->TreeList()) treeList->RaiseHeaderLineCount(lineCount_);
}

int TcxTreeListBandRows::GetMinWidth() const
{
    int result = band_->MinWidth();
    for (auto& row : rows_) result = std::max(result, row->GetMinWidth());
    return result;
}

int TcxTreeListBandRows::GetLeftMostMinWidth() const
{
    int result = band_->MinWidth();
    for (auto& row : rows_)
        if (row->First()) result = std::min(result, row->First()->MinWidth());
    return result;
}

int TcxTreeListBandRows::GetLeftMostWidth() const
{
    int result = INT_MAX;
    for (auto& row : rows_)
        if (row->First()) result = std::min(result, row->First()->CurrentWidth());
    return result == INT_MAX ? band_->CurrentWidth() : result;
}

int TcxTreeListBandRows::CalculateAvaliableMinWidth() const
{
    int result = 0;
    for (auto& row : rows_) {
        int sum = 0;
        for (int i = 0; i < row->Count(); ++i) sum += row->Items(i)->MinWidth();
        result = std::max(result, sum);
    }
    return result;
}

// ---- band ----------------------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TcxTreeListBandFixedKind*)
{
    static const TEnumInfo info{"TcxTreeListBandFixedKind", {"tlbfNone", "tlbfLeft", "tlbfRight"}};
    return info;
}

TClass TcxTreeListBand::StaticClass()
{
    return DefineClass<TcxTreeListBand, TcxInterfacedCollectionItem>("TcxTreeListBand", [](ClassBuilder<TcxTreeListBand>& b) {
        using B = TcxTreeListBand;
        b.Property("Caption", &B::Caption, &B::SetCaption);
        b.Property("FixedKind", &B::FixedKind, &B::SetFixedKind).Default(tlbfNone);
        b.Property("MinWidth", &B::MinWidth, &B::SetMinWidth).Default(kDefaultMinWidth);
        b.Property("Options", &B::Options, &B::SetOptions);
        b.Property("Styles", &B::Styles, &B::SetStyles);
        b.Property("Visible", &B::Visible, &B::SetVisible).Default(true);
        b.Property("VisibleIndex", &B::VisibleIndex, &B::SetVisibleIndex).Stored(false);
        b.Property("Width", &B::Width, &B::SetWidth).Default(0);
    });
}

TcxTreeListBands* TcxTreeListBand::Bands() const { return static_cast<TcxTreeListBands*>(Collection()); }

TcxCustomTreeListControl* TcxTreeListBand::TreeList() const { return Bands() ? Bands()->TreeList() : nullptr; }

void TcxTreeListBand::Construct(TCollection* collection)
{
    auto* bands = static_cast<TcxTreeListBands*>(collection);
    TcxCustomTreeListControl* treeList = bands ? bands->TreeList() : nullptr;
    if (treeList) treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([treeList] {
        if (treeList) treeList->EndUpdate();
    });
    TcxInterfacedCollectionItem::Construct(collection);
    TPersistent* self = this;
    options_.reset(CreateInstance<TcxTreeListBandOptions>(GetOptionsClass(), self));
    caption_.reset(CreateObject<TcxTreeListCaption>(self));
    caption_->SetTreeList(treeList);
    styles_.reset(CreateObject<TcxTreeListBandStyles>(self));
    viewInfo_.reset(CreateObject<TcxTreeListBandViewInfo>(static_cast<TObject*>(this)));
    SetVisible(true);
    RestoreWidths();
    if (treeList) treeList->DoUpdateDesignerForms();
}

void TcxTreeListBand::Destroy()
{
    TcxCustomTreeListControl* treeList = TreeList();
    const bool live = treeList && !treeList->IsDestroying();
    if (live) SetVisible(false);
    caption_.reset();
    if (live) {
        auto& visible = treeList->VisibleBandList();
        visible.erase(std::remove(visible.begin(), visible.end(), this), visible.end());
        for (TcxTreeListColumn* column : std::vector<TcxTreeListColumn*>(columns_))
            column->InternalSetBandOwner(nullptr, false);
    }
    options_.reset();
    styles_.reset();
    viewInfo_.reset();
    TcxInterfacedCollectionItem::Destroy();
}

void TcxTreeListBand::Assign(TPersistent* source)
{
    auto* other = As<TcxTreeListBand>(source);
    if (!other) return TcxInterfacedCollectionItem::Assign(source);
    currentWidth_ = 100;
    minWidth_ = other->minWidth_;
    width_ = other->width_;
    SetVisible(other->Visible());
    options_->Assign(other->Options());
    caption_->Assign(other->Caption());
    styles_->Assign(other->Styles());
    SetFixedKind(other->FixedKind());
}

void TcxTreeListBand::RestoreWidths()
{
    minWidth_ = kDefaultMinWidth;
    SetWidth(0);
}

void TcxTreeListBand::RestoreDefaults()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList) treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([treeList] {
        if (treeList) treeList->EndUpdate();
    });
    options_->RestoreDefaults();
    RestoreWidths();
}

// ---- band: columns and rows ----------------------------------------------------------------

void TcxTreeListBand::AddColumn(TcxTreeListColumn* column)
{
    if (std::find(columns_.begin(), columns_.end(), column) == columns_.end()) columns_.push_back(column);
}

void TcxTreeListBand::DetachColumn(TcxTreeListColumn* column)
{
    auto it = std::find(columns_.begin(), columns_.end(), column);
    if (it == columns_.end()) return;
    columns_.erase(it);
    visibleColumns_.erase(std::remove(visibleColumns_.begin(), visibleColumns_.end(), column), visibleColumns_.end());
    Changed(true);
}

void TcxTreeListBand::RemoveColumn(TcxTreeListColumn* column)
{
    DetachColumn(column);
    column->SetOwnerBand(nullptr);
}

void TcxTreeListBand::ReBuildRows()
{
    rows_.Clear();
    visibleColumns_.clear();
    std::stable_sort(columns_.begin(), columns_.end(),
                     [](TcxTreeListColumn* a, TcxTreeListColumn* b) { return cxCompareColumnsPos(a, b) < 0; });
    // Consecutive row numbers for the shown columns; hidden ones keep theirs.
    int previous = INT_MIN, number = -1;
    for (TcxTreeListColumn* column : columns_) {
        if (!column->Visibility()) continue;
        const int row = column->Position()->RowIndex();
        if (row != previous) ++number;
        previous = row;
        column->Position()->SetRowIndexField(number);
    }
    int largestSum = 0;
    FillRows(columns_, largestSum);
    const int w = width_ != 0 ? width_ : (largestSum != 0 ? largestSum : 100);
    naturalWidth_ = std::max(minimalWidth_, w);
}

void TcxTreeListBand::FillRows(const std::vector<TcxTreeListColumn*>& sorted, int& largestSum)
{
    minimalWidth_ = minWidth_;
    int rowCounter = -1, widthSum = 0, minSum = 0, visibleIndex = 0;
    TcxTreeListBandRow* row = nullptr;
    for (TcxTreeListColumn* column : sorted) {
        if (!column->Visibility()) continue;
        if (column->Position()->RowIndex() != rowCounter || !row) {
            ++rowCounter;
            row = rows_.Add();
            widthSum = minSum = 0;
        }
        widthSum += width_ == 0 ? column->Width() : column->CurrentWidth();
        minSum += column->MinWidth();
        largestSum = std::max(largestSum, widthSum);
        minimalWidth_ = std::max(minimalWidth_, minSum);
        if (!column->IsPreview()) column->SetVisibleIndexInBand(visibleIndex++);
        row->AddColumn(column);
    }
}

void TcxTreeListBand::RealignColumns()
{
    if (!Visible()) return;
    quelvo::sys::ScopeGuard update([this] { rows_.UpdateInformation(); });
    ReBuildRows();
    for (int i = 0; i < rows_.Count(); ++i) rows_.Items(i)->DoCalculateColumnsAutoWidth();
}

// ---- band: visibility and order ------------------------------------------------------------

void TcxTreeListBand::SetVisible(bool value)
{
    if (!state_.Set(0, value)) return;
    VisibleChanged();
}

void TcxTreeListBand::VisibleChanged()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList) treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([this, treeList] {
        Changed(true);
        if (!treeList) return;
        treeList->DoUpdateDesignerForms();
        treeList->EndUpdate();
    });
    SetFixedKindBits(tlbfNone);
    if (!treeList) return;
    auto& visible = treeList->VisibleBandList();
    visible.erase(std::remove(visible.begin(), visible.end(), this), visible.end());
    if (Visible()) visible.push_back(this);
}

TcxTreeListBandFixedKind TcxTreeListBand::FixedKind() const
{
    return static_cast<TcxTreeListBandFixedKind>((state_.Value() >> 1) & 3u);
}

void TcxTreeListBand::SetFixedKindBits(TcxTreeListBandFixedKind value)
{
    state_.Set(1, (value & 1) != 0);
    state_.Set(2, (value & 2) != 0);
}

void TcxTreeListBand::SetFixedKind(TcxTreeListBandFixedKind value)
{
    if (value == FixedKind() || !Visible()) return;
    SetFixedKindBits(value);
    if (TcxCustomTreeListControl* treeList = TreeList()) {
        if (value == tlbfLeft) SetBandVisiblePos(0);
        if (value == tlbfRight) SetBandVisiblePos(treeList->GetVisibleBandCount() - 1);
    }
    Changed(true);
}

void TcxTreeListBand::SetBandVisiblePos(int index)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList) return;
    auto& visible = treeList->VisibleBandList();
    auto it = std::find(visible.begin(), visible.end(), this);
    if (it != visible.end() && it - visible.begin() == index) return;
    if (it != visible.end()) visible.erase(it);
    if (index >= static_cast<int>(visible.size()) || index < 0) visible.push_back(this);
    else visible.insert(visible.begin() + index, this);
}

int TcxTreeListBand::VisibleIndex() const
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList) return -1;
    auto& visible = treeList->VisibleBandList();
    auto it = std::find(visible.begin(), visible.end(), this);
    return it == visible.end() ? -1 : static_cast<int>(it - visible.begin());
}

// The band goes to the requested visible position, as the getter reads it,
// but never past a fixed band. The visible order follows the collection
// order, so the band takes the collection place of the band it displaces.
void TcxTreeListBand::SetVisibleIndex(int value)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList || IsFixed()) return;
    if (value < -1) {
        SetVisible(false);
        return;
    }
    if (!Visible()) SetVisible(true);
    const auto& visible = treeList->VisibleBandList();
    const int count = static_cast<int>(visible.size());
    int target = std::clamp(value, 0, count - 1);
    while (target < count - 1 && visible[static_cast<std::size_t>(target)]->FixedKind() == tlbfLeft) ++target;
    while (target > 0 && visible[static_cast<std::size_t>(target)]->FixedKind() == tlbfRight) --target;
    if (target == VisibleIndex()) return;
    SetIndex(visible[static_cast<std::size_t>(target)]->Index());
}

bool TcxTreeListBand::IsLeftMost() const { return Visible() && VisibleIndex() == 0; }

bool TcxTreeListBand::IsRightMost() const
{
    TcxCustomTreeListControl* treeList = TreeList();
    return Visible() && treeList && VisibleIndex() == treeList->GetVisibleBandCount() - 1;
}

int TcxTreeListBand::IndentWidth() const { return IsLeftMost() ? TreeList()->LeftMostIndentWidth() : 0; }

void TcxTreeListBand::SetItemIndex(int value)
{
    if (value >= 0 && Bands() && value < Bands()->Count()) SetIndex(value);
}

bool TcxTreeListBand::CanMoving()
{
    TcxCustomTreeListControl* treeList = TreeList();
    return FixedKind() == tlbfNone && treeList && treeList->GetVisibleBandCount() > 1 && options_->Moving() &&
           treeList->OptionsCustomizing()->BandMoving();
}

// ---- band: widths --------------------------------------------------------------------------

void TcxTreeListBand::SetMinWidth(int value)
{
    if (value == minWidth_) return;
    minWidth_ = value;
    Changed(true);
}

void TcxTreeListBand::SetWidth(int value)
{
    if (value != 0) {
        value = std::clamp(value, minWidth_, INT_MAX);
        if (value == width_) return;
    }
    width_ = value;
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList || treeList->IsLocked() || !Visible()) return;
    treeList->TreeListViewInfo()->HorzScrollPos = 0;
    SetBandWidth(value);
}

void TcxTreeListBand::SetBandWidth(int value)
{
    TcxCustomTreeListControl* treeList = TreeList();
    width_ = std::min(value, treeList->GetMaxBandWidth(this));
    ReBuildRows();
    currentWidth_ = naturalWidth_;
    if (value != 0) width_ = naturalWidth_;
    treeList->DoCalculateBandsAutoWidth(this);
    AssignBandWidths();
    treeList->DoBandSizeChanged(this);
}

int TcxTreeListBand::GetMaxDeltaWidth() { return TreeList()->GetMaxBandWidth(this) - currentWidth_; }

int TcxTreeListBand::ActuallyBandWidth() const
{
    if (width_ != 0) return width_;
    if (!columns_.empty()) return std::max(currentWidth_, minimalWidth_);
    return std::min(currentWidth_, 100);
}

void TcxTreeListBand::AssignBandWidths()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList->OptionsView()->ColumnAutoWidth()) return;
    for (TcxTreeListBand* band : treeList->VisibleBandList()) band->SetWidthField(band->CurrentWidth());
}

void TcxTreeListBand::InitAutoWidthItem()
{
    ReBuildRows();
    rows_.UpdateInformation();
    autoWidthItem_.Width = ActuallyBandWidth();
    autoWidthItem_.MinWidth = std::max(minWidth_, minimalWidth_);
    autoWidthItem_.AutoWidth = -1;
    autoWidthItem_.Fixed = autoWidthItem_.Fixed || !options_->Sizing();
}

void TcxTreeListBand::AssignDisplayWidth()
{
    currentWidth_ = autoWidthItem_.AutoWidth;
    if (width_ != 0) width_ = currentWidth_;
    autoWidthItem_.Fixed = false;
    RealignColumns();
    rows_.UpdateInformation();
}

// ---- band: sizing --------------------------------------------------------------------------

bool TcxTreeListBand::CanSizing(TcxDragSizingDirection direction)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList) return false;
    if (direction == dsdHorz) return treeList->OptionsCustomizing()->BandHorzSizing() && options_->Sizing();
    return treeList->OptionsCustomizing()->BandVertSizing();
}

RECT TcxTreeListBand::GetSizingBoundsRect(TcxDragSizingDirection)
{
    TcxCustomTreeListControl* treeList = TreeList();
    RECT r = treeList->GetClientBounds();
    r.left -= treeList->Width();
    r.right += treeList->Width();
    return r;
}

int TcxTreeListBand::GetSizingIncrement(TcxDragSizingDirection direction)
{
    return direction == dsdHorz ? 1 : std::max(1, TreeList()->ViewInfo()->DefaultEditHeight());
}

void TcxTreeListBand::SetSizeDelta(TcxDragSizingDirection direction, int delta)
{
    if (direction == dsdHorz) {
        SetWidth(currentWidth_ + delta);
        return;
    }
    TcxTreeListOptionsView* view = TreeList()->OptionsView();
    view->SetBandLineCount(view->BandLineCount() + delta);
}

// ---- band collection -----------------------------------------------------------------------

TClass TcxTreeListBands::StaticClass() { return DefineClass<TcxTreeListBands, TCollection>("TcxTreeListBands"); }

void TcxTreeListBands::Construct(TcxCustomTreeListControl* treeList)
{
    treeList_ = treeList;
    TCollection::Construct(TcxTreeListBand::StaticClass());
}

TPersistent* TcxTreeListBands::GetOwner() const { return treeList_; }

TcxTreeListBand* TcxTreeListBands::Add()
{
    auto* band = static_cast<TcxTreeListBand*>(TCollection::Add());
    Update(nullptr);
    return band;
}

int TcxTreeListBands::GetAbsoluteIndex(int visibleIndex) const
{
    TcxTreeListBand* band = treeList_ ? treeList_->GetVisibleBand(visibleIndex) : nullptr;
    return band ? band->Index() : -1;
}

int TcxTreeListBands::GetVisibleIndex(int index) const
{
    return index >= 0 && index < Count() ? Items(index)->VisibleIndex() : -1;
}

TcxTreeListBand* TcxTreeListBands::GetVisibleItemEx(bool last) const
{
    if (!treeList_ || treeList_->GetVisibleBandCount() == 0) return nullptr;
    return treeList_->GetVisibleBand(last ? treeList_->GetVisibleBandCount() - 1 : 0);
}

void TcxTreeListBands::RestoreDefaults()
{
    treeList_->BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { treeList_->EndUpdate(); });
    for (int i = 0; i < Count(); ++i) Items(i)->RestoreDefaults();
}

void TcxTreeListBands::RestoreWidths()
{
    treeList_->BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { treeList_->EndUpdate(); });
    for (int i = 0; i < Count(); ++i) Items(i)->RestoreWidths();
}

void TcxTreeListBands::RealignColumns(bool rebuild)
{
    treeList_->ResetHeaderLineCount();
    for (int i = 0; i < Count(); ++i) {
        TcxTreeListBand* band = Items(i);
        if (rebuild) {
            band->ReBuildRows();
            band->SetCurrentWidth(band->NaturalWidth());
        }
        band->RealignColumns();
    }
}

namespace {

int FixedWeight(TcxTreeListBand* band)
{
    switch (band->FixedKind()) {
    case tlbfLeft: return -1;
    case tlbfRight: return 1;
    default: return 0;
    }
}

}  // namespace

void TcxTreeListBands::RefreshBandStates()
{
    auto& visible = treeList_->VisibleBandList();
    std::stable_sort(visible.begin(), visible.end(), [](TcxTreeListBand* a, TcxTreeListBand* b) {
        const int wa = FixedWeight(a), wb = FixedWeight(b);
        return wa != wb ? wa < wb : a->Index() < b->Index();
    });
    for (std::size_t i = 0; i < visible.size(); ++i)
        if (i != 0 && i + 1 != visible.size()) visible[i]->ResetFixedKind();
}

void TcxTreeListBands::Update(TCollectionItem*)
{
    if (!treeList_) return;
    if (Count() != 1) treeList_->SetDefaultLayoutFlag(false);
    if (treeList_->IsLoading() || treeList_->IsDestroying()) return;
    if (!treeList_->IsLocked()) RefreshBandStates();
    treeList_->DoUpdateDesignerForms();
    treeList_->UpdateViewStyles();
}

int cxCompareColumnsPos(TcxTreeListColumn* a, TcxTreeListColumn* b)
{
    const int rows = a->Position()->RowIndex() - b->Position()->RowIndex();
    return rows != 0 ? rows : a->Position()->ColIndex() - b->Position()->ColIndex();
}

int cxCompareColumnsPosEx(TcxTreeListColumn* a, TcxTreeListColumn* b)
{
    int result = a->Position()->RowIndex() - b->Position()->RowIndex();
    if (result != 0) return result;
    const int bandA = a->OwnerBand() ? a->OwnerBand()->VisibleIndex() : -1;
    const int bandB = b->OwnerBand() ? b->OwnerBand()->VisibleIndex() : -1;
    result = bandA - bandB;
    return result != 0 ? result : a->Position()->ColIndex() - b->Position()->ColIndex();
}
