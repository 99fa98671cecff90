// Tree-list columns: the caption shared with bands, the position, the
// options, the footer summary settings and the column itself.

#include <algorithm>
#include <climits>
#include <utility>

#include "components/treelist/cxTL.h"

using namespace hostlib;

namespace {

constexpr int kUnlimitedWidth = 536870911;

int ClampInt(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

}  // namespace

// ---- caption -------------------------------------------------------------------------------

TClass TcxTreeListCaption::StaticClass()
{
    return DefineClass<TcxTreeListCaption, TcxOwnedPersistent>("TcxTreeListCaption", [](ClassBuilder<TcxTreeListCaption>& b) {
        using C = TcxTreeListCaption;
        b.Property("AlignHorz", &C::AlignHorz, &C::SetAlignHorz).Default(taLeftJustify);
        b.Property("AlignVert", &C::AlignVert, &C::SetAlignVert).Default(vaTop);
        b.Property("Glyph", &C::Glyph, &C::SetGlyph);
        b.Property("GlyphAlignHorz", &C::GlyphAlignHorz, &C::SetGlyphAlignHorz).Default(taLeftJustify);
        b.Property("GlyphAlignVert", &C::GlyphAlignVert, &C::SetGlyphAlignVert).Default(vaTop);
        b.Property("MultiLine", &C::MultiLine, &C::SetMultiLine).Default(false);
        b.Property("ShowEndEllipsis", &C::ShowEndEllipsis, &C::SetShowEndEllipsis).Default(true);
        b.Property("Text", &C::Text, &C::SetText);
    });
}

void TcxTreeListCaption::Construct(TPersistent* owner)
{
    TcxOwnedPersistent::Construct(owner);
    glyph_.reset(CreateObject<TBitmap>());
    state_.Set(1, true);
}

bool TcxTreeListCaption::HasGlyph() const { return glyph_ && !glyph_->Empty(); }

void TcxTreeListCaption::Changed()
{
    // The header item repaints itself once the header view info exists.
    if (treeList_ && !treeList_->IsLocked()) treeList_->Invalidate();
}

void TcxTreeListCaption::SetGlyph(TBitmap* value)
{
    glyph_->Assign(value);
    Changed();
}

void TcxTreeListCaption::SetGlyphAlignHorz(TAlignment value)
{
    if (glyphAlignHorz_ == value) return;
    glyphAlignHorz_ = value;
    if (HasGlyph()) Changed();
}

void TcxTreeListCaption::SetGlyphAlignVert(TcxAlignmentVert value)
{
    if (glyphAlignVert_ == value) return;
    glyphAlignVert_ = value;
    if (HasGlyph()) Changed();
}

void TcxTreeListCaption::ResetAlignments()
{
    alignHorz_ = taLeftJustify;
    alignVert_ = vaTop;
}

void TcxTreeListCaption::Assign(TPersistent* source)
{
    auto* other = As<TcxTreeListCaption>(source);
    if (!other) return TcxOwnedPersistent::Assign(source);
    state_ = other->state_;
    SetAlignHorz(other->AlignHorz());
    SetAlignVert(other->AlignVert());
    SetText(other->Text());
    SetGlyphAlignHorz(other->GlyphAlignHorz());
    SetGlyphAlignVert(other->GlyphAlignVert());
    SetGlyph(other->Glyph());
}

// ---- position ------------------------------------------------------------------------------

TClass TcxTreeListColumnPosition::StaticClass()
{
    return DefineClass<TcxTreeListColumnPosition, TcxOwnedPersistent>("TcxTreeListColumnPosition", [](ClassBuilder<TcxTreeListColumnPosition>& b) {
        using P = TcxTreeListColumnPosition;
        b.Property("BandIndex", &P::BandIndex, &P::SetBandIndex).NoDefault();
        b.Property("ColIndex", &P::ColIndex, &P::SetColIndex).NoDefault();
        b.Property("LineCount", &P::LineCount, &P::SetLineCount).Default(1);
        b.Property("RowIndex", &P::RowIndex, &P::SetRowIndex).NoDefault();
    });
}

TcxTreeListColumn* TcxTreeListColumnPosition::Column() const { return As<TcxTreeListColumn>(GetOwner()); }

int TcxTreeListColumnPosition::BandIndex() const
{
    TcxTreeListBand* band = Column() ? Column()->OwnerBand() : nullptr;
    return band ? band->Index() : -1;
}

void TcxTreeListColumnPosition::SetBandIndex(int value)
{
    TcxTreeListColumn* column = Column();
    const auto state = column->ComponentState();
    if (state.Contains(csReading) || state.Contains(csUpdating)) savedBandIndex_ = value;
    if (value != BandIndex()) column->SetOwnerBand(GetBandFromIndex(value));
}

TcxTreeListBand* TcxTreeListColumnPosition::GetBandFromIndex(int index) const
{
    TcxCustomTreeListControl* treeList = Column()->TreeList();
    const int count = treeList ? treeList->Bands()->Count() : 0;
    index = ClampInt(index, -1, count - 1);
    if (index == BandIndex()) return Column()->OwnerBand();
    if (index < 0) return nullptr;
    return treeList->Bands()->Items(index);
}

void TcxTreeListColumnPosition::SetColIndex(int value)
{
    value = std::max(value, 0);
    if (value == colIndex_) return;
    colIndex_ = value;
    Column()->PositionChanged();
}

void TcxTreeListColumnPosition::SetRowIndex(int value)
{
    value = std::max(value, 0);
    if (value == rowIndex_) return;
    rowIndex_ = value;
    Column()->PositionChanged();
}

void TcxTreeListColumnPosition::SetLineCount(int value)
{
    value = std::max(value, 1);
    if (value == lineCount_) return;
    lineCount_ = value;
    Column()->PositionChanged();
}

void TcxTreeListColumnPosition::SetPosition(int colIndex, int rowIndex)
{
    SetPositionEx(BandIndex(), colIndex, false, rowIndex);
}

void TcxTreeListColumnPosition::SetPositionEx(int bandIndex, int colIndex, bool insertRow, int rowIndex)
{
    TcxTreeListColumn* column = Column();
    TcxCustomTreeListControl* treeList = column->TreeList();
    if (treeList) treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([&] {
        if (treeList) treeList->CancelUpdate();
        Changed();
    });
    column->SetOwnerBand(GetBandFromIndex(bandIndex));
    if (TcxTreeListBand* band = column->OwnerBand()) {
        for (int i = 0; i < band->ColumnCount(); ++i) {
            TcxTreeListColumnPosition* p = band->GetColumn(i)->Position();
            if (insertRow && p->rowIndex_ >= rowIndex) ++p->rowIndex_;
            if (p->rowIndex_ == rowIndex && p->colIndex_ >= colIndex) ++p->colIndex_;
        }
    }
    colIndex_ = std::max(colIndex, 0);
    rowIndex_ = std::max(rowIndex, 0);
}

void TcxTreeListColumnPosition::Assign(TPersistent* source)
{
    auto* other = As<TcxTreeListColumnPosition>(source);
    if (!other) return TcxOwnedPersistent::Assign(source);
    lineCount_ = other->lineCount_;
    SetPositionEx(other->BandIndex(), other->colIndex_, false, other->rowIndex_);
}

void TcxTreeListColumnPosition::Changed()
{
    TcxCustomTreeListControl* treeList = Column() ? Column()->TreeList() : nullptr;
    if (!treeList) return;
    if (treeList->OptionsView()->HeaderSingleLine()) ForceSingleLine();
    for (TcxTreeListBand* band : treeList->VisibleBandList()) {
        band->ReBuildRows();
        if (band->Width() == 0) band->SetCurrentWidth(band->NaturalWidth());
    }
    treeList->LayoutChanged();
}

// ---- options -------------------------------------------------------------------------------

TClass TcxTreeListColumnOptions::StaticClass()
{
    return DefineClass<TcxTreeListColumnOptions, TcxCustomEditContainerItemOptions>("TcxTreeListColumnOptions", [](ClassBuilder<TcxTreeListColumnOptions>& b) {
        using O = TcxTreeListColumnOptions;
        using I = TcxCustomEditContainerItemOptions;
        b.Property("CellEndEllipsis", &O::CellEndEllipsis, &O::SetCellEndEllipsis).Default(true);
        b.Property("Customizing", &I::Customizing, &I::SetCustomizing).Default(true);
        b.Property("Editing", &I::Editing, &I::SetEditing).Default(true);
        b.Property("Focusing", &I::Focusing, &I::SetFocusing).Default(true);
        b.Property("Footer", &O::Footer, &O::SetFooter).Default(false);
        b.Property("Hidden", &O::Hidden, &O::SetHidden).Default(false);
        b.Property("IncSearch", &I::IncSearch, &I::SetIncSearch).Default(true);
        b.Property("Moving", &I::Moving, &I::SetMoving).Default(true);
        b.Property("ShowEditButtons", &I::ShowEditButtons, &I::SetShowEditButtons).Default(eisbDefault);
        b.Property("Sizing", &O::Sizing, &O::SetSizing).Default(true);
        b.Property("Sorting", &I::Sorting, &I::SetSorting).Default(true);
        b.Property("TabStop", &I::TabStop, &I::SetTabStop).Default(true);
    });
}

void TcxTreeListColumnOptions::Construct(TPersistent* owner)
{
    TcxCustomEditContainerItemOptions::Construct(owner);
    SetSizing(true);
    SetCellEndEllipsis(true);
}

void TcxTreeListColumnOptions::Changed()
{
    auto* column = As<TcxTreeListColumn>(GetOwner());
    if (column && column->TreeList()) column->TreeList()->UpdateViewStyles();
}

void TcxTreeListColumnOptions::RestoreDefaults()
{
    SetSorting(true);
    SetCustomizing(true);
    SetTabStop(true);
    SetMoving(true);
    SetSizing(true);
    SetEditing(true);
    SetFocusing(true);
    Changed();
}

void TcxTreeListColumnOptions::Assign(TPersistent* source)
{
    if (auto* other = As<TcxTreeListColumnOptions>(source)) state_ = other->state_;
    TcxCustomEditContainerItemOptions::Assign(source);
}

// ---- summary footer ------------------------------------------------------------------------

TClass TcxTreeListColumnSummaryFooter::StaticClass()
{
    return DefineClass<TcxTreeListColumnSummaryFooter, TcxOwnedInterfacedPersistent>("TcxTreeListColumnSummaryFooter", [](ClassBuilder<TcxTreeListColumnSummaryFooter>& b) {
        using S = TcxTreeListColumnSummaryFooter;
        b.Property("AlignHorz", &S::AlignHorz, &S::SetAlignHorz).Default(taLeftJustify);
        b.Property("AlignVert", &S::AlignVert, &S::SetAlignVert).Default(vaTop);
        b.Property("Format", &S::Format, &S::SetFormat).Stored(&S::IsFormatStored);
        b.Property("Kind", &S::Kind, &S::SetKind).Default(skNone);
        b.Property("MultiLine", &S::MultiLine, &S::SetMultiLine).Default(false);
    });
}

TcxTreeListColumn* TcxTreeListColumnSummaryFooter::Column() const { return As<TcxTreeListColumn>(GetOwner()); }

TcxDataSummaryItem* TcxTreeListColumnSummaryFooter::FindItem() const
{
    TcxTreeListColumn* column = Column();
    TcxControlDataController* data = column ? column->GetDataController() : nullptr;
    if (!data) return nullptr;
    TcxDataFooterSummaryItems& items = data->Summary().FooterSummaryItems();
    itemIndex_ = items.IndexOfItemLink(column);
    return itemIndex_ < 0 ? nullptr : items.Items(itemIndex_);
}

TcxSummaryKind TcxTreeListColumnSummaryFooter::Kind() const
{
    TcxDataSummaryItem* item = FindItem();
    return item ? item->Kind() : skNone;
}

void TcxTreeListColumnSummaryFooter::SetKind(TcxSummaryKind value)
{
    if (value == Kind()) return;
    TcxDataSummaryItem* item = FindItem();
    if (value == skNone) {
        if (item) item->Free();
        SummaryItemChanged();
        return;
    }
    TcxControlDataController* data = Column()->GetDataController();
    if (!data) return;
    if (!item) {
        item = data->Summary().FooterSummaryItems().Add();
        item->SetItemLink(Column());
    }
    item->SetKind(value);
    item->SetFormat(format_);
    SummaryItemChanged();
}

std::string TcxTreeListColumnSummaryFooter::Format() const
{
    if (TcxDataSummaryItem* item = FindItem()) return item->Format();
    return format_;
}

void TcxTreeListColumnSummaryFooter::SetFormat(const std::string& value)
{
    format_ = value;
    if (TcxDataSummaryItem* item = FindItem()) item->SetFormat(value);
    SummaryItemChanged();
}

std::string TcxTreeListColumnSummaryFooter::SummaryText() const
{
    if (!FindItem()) return std::string();
    return Column()->GetDataController()->Summary().GetFooterSummaryText(itemIndex_);
}

void TcxTreeListColumnSummaryFooter::SetSummaryText(const std::string& value) { SetSummaryValue(Variant(value)); }

Variant TcxTreeListColumnSummaryFooter::SummaryValue() const
{
    if (!FindItem()) return Variant(std::string());
    return Column()->GetDataController()->Summary().GetFooterSummaryValue(itemIndex_);
}

void TcxTreeListColumnSummaryFooter::SetSummaryValue(const Variant& value)
{
    if (FindItem()) Column()->GetDataController()->Summary().SetFooterSummaryValue(itemIndex_, value);
    SummaryItemChanged();
}

void TcxTreeListColumnSummaryFooter::SummaryItemChanged()
{
    TcxTreeListColumn* column = Column();
    TcxCustomTreeListControl* treeList = column ? column->TreeList() : nullptr;
    if (!treeList || treeList->IsLocked()) return;
    if (treeList->OptionsView()->Footer()) treeList->Invalidate();
}

void TcxTreeListColumnSummaryFooter::Assign(TPersistent* source)
{
    auto* other = As<TcxTreeListColumnSummaryFooter>(source);
    if (!other) return TcxOwnedInterfacedPersistent::Assign(source);
    SetKind(other->Kind());
    SetFormat(other->Format());
    SetAlignHorz(other->AlignHorz());
    SetAlignVert(other->AlignVert());
    SetMultiLine(other->MultiLine());
}

// ---- column: construction ------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TcxDataSortOrder*)
{
    static const TEnumInfo info{"TcxDataSortOrder", {"soNone", "soAscending", "soDescending"}};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxSummaryKind*)
{
    static const TEnumInfo info{"TcxSummaryKind", {"skNone", "skSum", "skMin", "skMax", "skCount", "skAverage"}};
    return info;
}

TClass TcxTreeListColumn::StaticClass()
{
    return DefineClass<TcxTreeListColumn, TcxCustomInplaceEditContainer>("TcxTreeListColumn", [](ClassBuilder<TcxTreeListColumn>& b) {
        using C = TcxTreeListColumn;
        b.Property("DataBinding", &C::DataBinding, &C::SetDataBinding);
        b.Property("Caption", &C::Caption, &C::SetCaption);
        b.Property("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(kDefaultMinWidth);
        b.Property("Options", &C::ColumnOptions, &C::SetColumnOptions);
        b.Property("Position", &C::Position, &C::SetPositionProp);
        b.Property("SortOrder", &C::SortOrder, &C::SetSortOrder).Default(soNone);
        b.Property("Styles", &C::TreeListStyles, &C::SetTreeListStyles);
        b.Property("SummaryFooter", &C::SummaryFooter, &C::SetSummaryFooter);
        b.Property("Visible", &C::Visible, &C::SetVisible).Default(true);
        b.Property("Width", &C::Width, &C::SetWidth).Default(kDefaultWidth);
        b.EventProperty("OnGetDisplayText", &C::OnGetDisplayText);
        b.EventProperty("OnGetEditingProperties", &C::OnGetEditingProperties);
        b.EventProperty("OnGetEditProperties", &C::OnGetEditProperties);
    });
}

void TcxTreeListColumn::Construct(TComponent* owner)
{
    TcxCustomInplaceEditContainer::Construct(owner);
    TPersistent* self = this;
    summaryFooter_.reset(CreateInstance<TcxTreeListColumnSummaryFooter>(GetSummaryFooterClass(), self));
    caption_.reset(CreateObject<TcxTreeListCaption>(self));
    position_.reset(CreateInstance<TcxTreeListColumnPosition>(GetPositionClass(), self));
    viewInfo_.reset(CreateObject<TcxTreeListColumnViewInfo>(this));
    minWidth_ = kDefaultMinWidth;
    width_ = kDefaultWidth;
    currentWidth_ = kDefaultWidth;
    state_.Set(8, true);
}

void TcxTreeListColumn::Destroy()
{
    TcxCustomTreeListControl* treeList = TreeList();
    sortOrder_ = soNone;
    if (treeList && !treeList->IsDestroying()) {
        treeList->ColumnSortOrderChanged(this);
        if (treeList->Controller()->FocusedItem() == this) treeList->Controller()->SetFocusedItem(nullptr);
        SetOwnerBand(nullptr);
        treeList->DoUpdateDesignerForms();
        if (treeList->Preview()->Column() == this) treeList->Preview()->SetColumn(nullptr);
    }
    caption_.reset();
    position_.reset();
    summaryFooter_.reset();
    viewInfo_.reset();
    TcxCustomInplaceEditContainer::Destroy();
}

void TcxTreeListColumn::DoSetEditingControl(TcxEditingControl* value)
{
    if (!IsDestroying() && value) caption_->SetTreeList(As<TcxCustomTreeListControl>(value));
    // A new control may sit where a freed one was.
    treeListControl_ = nullptr;
    treeList_ = nullptr;
    TcxCustomInplaceEditContainer::DoSetEditingControl(value);
    if (TcxCustomTreeListControl* treeList = TreeList()) treeList->DoUpdateDesignerForms();
}

TComponent* TcxTreeListColumn::GetParentComponent() const { return EditingControl(); }

void TcxTreeListColumn::SetParentComponent(TComponent* parent)
{
    SetEditingControl(As<TcxEditingControl>(parent));
}

void TcxTreeListColumn::Assign(TPersistent* source)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList) treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([treeList] {
        if (treeList) treeList->EndUpdate();
    });
    TcxCustomInplaceEditContainer::Assign(source);
    auto* other = As<TcxTreeListColumn>(source);
    if (!other) return;
    currentWidth_ = other->currentWidth_;
    minWidth_ = other->minWidth_;
    width_ = other->width_;
    position_->Assign(other->Position());
    caption_->Assign(other->Caption());
    SetSortOrder(other->SortOrder());
    SetVisible(other->StateVisible());
}

TcxCustomTreeListControl* TcxTreeListColumn::TreeList() const
{
    TcxEditingControl* control = EditingControl();
    if (control != treeListControl_) {
        treeListControl_ = control;
        treeList_ = As<TcxCustomTreeListControl>(control);
    }
    return treeList_;
}

TcxTreeListColumnOptions* TcxTreeListColumn::ColumnOptions() const
{
    return static_cast<TcxTreeListColumnOptions*>(Options());
}

TcxTreeListColumnStyles* TcxTreeListColumn::TreeListStyles() const
{
    return static_cast<TcxTreeListColumnStyles*>(Styles());
}

// ---- column: visibility and place ----------------------------------------------------------

bool TcxTreeListColumn::Visible() const
{
    if (!state_.Get(8)) return false;
    TcxCustomTreeListControl* treeList = TreeList();
    return !treeList || treeList->CanColumnVisible(const_cast<TcxTreeListColumn*>(this));
}

void TcxTreeListColumn::SetVisible(bool value)
{
    if (!state_.Set(8, value)) return;
    if (ownerBand_ && ownerBand_->Visible()) DoVisibilityChanged();
}

bool TcxTreeListColumn::Visibility() const { return Visible() && ownerBand_ && ownerBand_->Visible(); }

bool TcxTreeListColumn::IsPreview() const
{
    TcxCustomTreeListControl* treeList = TreeList();
    return treeList && treeList->Preview()->Column() == this;
}

TcxTreeListBandRow* TcxTreeListColumn::OwnerBandRow() const
{
    return ownerBand_ ? ownerBand_->Rows()->GetItemEx(position_->RowIndex()) : nullptr;
}

bool TcxTreeListColumn::IsLeft() const
{
    TcxTreeListBandRow* row = Visibility() ? OwnerBandRow() : nullptr;
    return row && row->First() == this;
}

bool TcxTreeListColumn::IsRight() const
{
    TcxTreeListBandRow* row = Visibility() ? OwnerBandRow() : nullptr;
    return row && row->Last() == this;
}

bool TcxTreeListColumn::IsLeftMost() const { return IsLeft() && ownerBand_->VisibleIndex() == 0; }

bool TcxTreeListColumn::IsRightMost() const { return IsRight() && ownerBand_->IsRightMost(); }

int TcxTreeListColumn::VisibleIndex() const
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList) return -1;
    for (int i = 0; i < treeList->GetVisibleColumnCount(); ++i)
        if (treeList->GetVisibleColumn(i) == this) return i;
    return -1;
}

int TcxTreeListColumn::IndentWidth() const { return IsLeftMost() ? TreeList()->LeftMostIndentWidth() : 0; }

int TcxTreeListColumn::DisplayWidth() const { return Visibility() ? IndentWidth() + currentWidth_ : 0; }

void TcxTreeListColumn::SetOwnerBand(TcxTreeListBand* band) { InternalSetBandOwner(band, band != ownerBand_); }

void TcxTreeListColumn::InternalSetBandOwner(TcxTreeListBand* band, bool remove)
{
    quelvo::sys::ScopeGuard notify([this] { DoVisibilityChanged(); });
    if (band == ownerBand_) return;
    if (remove && ownerBand_) ownerBand_->DetachColumn(this);
    if (band) band->AddColumn(this);
    ownerBand_ = band;
}

void TcxTreeListColumn::PositionChanged()
{
    // Single-line headers hold every position change to row 0, one line.
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList && treeList->OptionsView()->HeaderSingleLine()) position_->ForceSingleLine();
    if (ownerBand_) ownerBand_->Changed(true);
}

void TcxTreeListColumn::DoVisibilityChanged()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!ownerBand_ || !treeList || treeList->IsDestroying()) return;
    ownerBand_->Changed(true);
    treeList->DoUpdateDesignerForms();
}

void TcxTreeListColumn::SetItemIndexEx(int index)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList) return;
    treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([treeList] { treeList->EndUpdate(); });
    const int count = treeList->GetColumnCount();
    const int current = ItemIndex();
    if (current >= 0 && current < count && index >= 0 && index < count) treeList->ExchangeItems(current, index);
    const int visibleIndex = VisibleIndex();
    if (visibleIndex >= 0)
        position_->SetColIndex(position_->ColIndex() + (index < visibleIndex ? -1 : 1));
    treeList->DataController()->UpdateItemIndexes();
}

// ---- column: widths ------------------------------------------------------------------------

void TcxTreeListColumn::SetMinWidth(int value)
{
    value = std::max(value, 0);
    if (value == minWidth_) return;
    minWidth_ = value;
    if (width_ < value) SetWidth(value);
}

int TcxTreeListColumn::GetRealMinWidth() const
{
    int result = minWidth_;
    if (IsLeftMost()) {
        TcxCustomTreeListControl* treeList = TreeList();
        result += treeList->GetLevelIndentsWidth(treeList->Nodes()->GetMaxLevel(), true, nullptr);
    }
    return result;
}

int TcxTreeListColumn::GetRealMinSize() const { return ColumnOptions()->Sizing() ? minWidth_ : width_; }

int TcxTreeListColumn::GetAvailableMaxWidth()
{
    if (!Visibility()) return minWidth_;
    if (ownerBand_->Width() == 0) return kUnlimitedWidth;
    int result = ownerBand_->CurrentWidth() - ownerBand_->IndentWidth();
    TcxTreeListBandRow* row = OwnerBandRow();
    if (!row) return result;
    const int index = row->IndexOf(this);
    const bool last = index == row->Count() - 1;
    for (int i = 0; i < row->Count(); ++i)
        if (last ? i < index : i > index) result -= row->Items(i)->GetRealMinSize();
    return result;
}

void TcxTreeListColumn::SetWidth(int value)
{
    value = ClampInt(value, minWidth_, INT_MAX);
    if (value == width_) return;
    width_ = value;
    TcxCustomTreeListControl* treeList = TreeList();
    if (IsLoading() || !treeList || treeList->IsLocked() || !Visibility()) {
        currentWidth_ = value;
        return;
    }
    ApplyWidth(value);
}

// Steps 3 to 7 of a width change on a shown column.
void TcxTreeListColumn::ApplyWidth(int value)
{
    TcxCustomTreeListControl* treeList = TreeList();
    treeList->TreeListViewInfo()->HorzScrollPos = 0;
    if (ownerBand_->Width() != 0) {
        treeList->AssignColumnWidths(ownerBand_);
        if (TcxTreeListBandRow* row = OwnerBandRow())
            value = std::max(minWidth_, std::min(value, row->GetMaxColumnWidth(this)));
    }
    const bool autoWidth = treeList->OptionsView()->ColumnAutoWidth();
    if (autoWidth) value = std::min(value, ownerBand_->GetMaxDeltaWidth() + currentWidth_);
    width_ = value;
    currentWidth_ = value;
    ownerBand_->ReBuildRows();
    if (TcxTreeListBandRow* row = OwnerBandRow()) row->ColumnSizeChanged(this);
    if (autoWidth) ownerBand_->SetCurrentWidth(ownerBand_->NaturalWidth());
    ownerBand_->RealignColumns();
    treeList->AssignColumnWidths(ownerBand_);
    treeList->DoCalculateBandsAutoWidth(ownerBand_);
    DoSizeChanged();
}

void TcxTreeListColumn::InitAutoWidthItem()
{
    autoWidthItem_.Width = width_;
    autoWidthItem_.MinWidth = minWidth_;
    autoWidthItem_.AutoWidth = -1;
    autoWidthItem_.Fixed = autoWidthItem_.Fixed || !ColumnOptions()->Sizing();
}

void TcxTreeListColumn::AssignDisplayWidth()
{
    currentWidth_ = autoWidthItem_.AutoWidth;
    autoWidthItem_.Fixed = false;
}

void TcxTreeListColumn::DoSizeChanged()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList) return;
    if (Visibility()) treeList->LayoutChanged();
    treeList->DoColumnSizeChanged(this);
}

void TcxTreeListColumn::RestoreWidths()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList) treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([treeList] {
        if (treeList) treeList->EndUpdate();
    });
    minWidth_ = kDefaultMinWidth;
    SetWidth(kDefaultWidth);
}

void TcxTreeListColumn::RestoreDefaults()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList) treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([treeList] {
        if (treeList) treeList->EndUpdate();
    });
    ColumnOptions()->RestoreDefaults();
    SetSortOrder(soNone);
    caption_->ResetAlignments();
    RestoreWidths();
}

// ---- column: sizing ------------------------------------------------------------------------

bool TcxTreeListColumn::CanSizing(TcxDragSizingDirection direction)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList) return false;
    if (direction == dsdHorz) return ColumnOptions()->Sizing() && treeList->OptionsCustomizing()->ColumnHorzSizing();
    return treeList->OptionsCustomizing()->ColumnVertSizing() && !treeList->OptionsView()->HeaderSingleLine();
}

RECT TcxTreeListColumn::GetSizingBoundsRect(TcxDragSizingDirection direction)
{
    RECT r = TreeList() ? TreeList()->GetClientBounds() : RECT{};
    if (direction == dsdHorz) r.right = std::min<LONG>(r.right, r.left + GetAvailableMaxWidth());
    return r;
}

int TcxTreeListColumn::GetSizingIncrement(TcxDragSizingDirection direction)
{
    return direction == dsdHorz ? 1 : std::max(1, TreeList() ? TreeList()->ViewInfo()->DefaultEditHeight() : 1);
}

void TcxTreeListColumn::SetSizeDelta(TcxDragSizingDirection direction, int delta)
{
    if (delta == 0) return;
    if (direction == dsdVert) {
        position_->SetLineCountField(position_->LineCount() + delta);
    } else {
        SetWidth(DisplayWidth() + delta);
        DoSizeChanged();
    }
    if (TcxCustomTreeListControl* treeList = TreeList()) {
        treeList->LayoutChanged();
        treeList->Modified();
    }
}

// ---- column: abilities, sorting, text -------------------------------------------------------

bool TcxTreeListColumn::CanMoving()
{
    TcxCustomTreeListControl* treeList = TreeList();
    return treeList && treeList->OptionsCustomizing()->ColumnMoving() && Options()->Moving();
}

bool TcxTreeListColumn::CanFocus()
{
    TcxCustomTreeListControl* treeList = TreeList();
    return TcxCustomInplaceEditContainer::CanFocus() && treeList && treeList->OptionsSelection()->CellSelect();
}

bool TcxTreeListColumn::CanInitEditing()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!TcxCustomInplaceEditContainer::CanInitEditing()) return false;
    return !(treeList && treeList->Dragging() && treeList->DragMode() == dmAutomatic);
}

bool TcxTreeListColumn::CanSorted()
{
    if (!OnGetEditProperties) {
        TcxCustomEditProperties* properties = PropertiesValue() ? PropertiesValue() : GetProperties();
        if (properties && properties->GetSupportedOperations().Contains(esoSorting)) return true;
    }
    TcxCustomTreeListControl* treeList = TreeList();
    return treeList && static_cast<bool>(treeList->OnCompare);
}

TcxDataSortOrder TcxTreeListColumn::GetRealSortOrder() { return CanSorted() ? sortOrder_ : soNone; }

void TcxTreeListColumn::SetSortOrder(TcxDataSortOrder value)
{
    if (!Options()->Sorting()) value = soNone;
    if (value == sortOrder_) return;
    sortOrder_ = value;
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList) return;
    if (value == soNone) treeList->SetSortOrderChangedFlag();
    treeList->ColumnSortOrderChanged(this);
    if (CanSorted() && !IsDestroying()) {
        treeList->DoSortNodes();
        if (!treeList->IsLocked()) treeList->Invalidate();
    }
    treeList->Modified();
}

std::string TcxTreeListColumn::GetDisplayText(int recordIndex)
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListNode* node = treeList ? treeList->GetNodeByID(recordIndex) : nullptr;
    Variant value;
    if (node) DoOnGetDisplayText(node, true, value);
    return value.IsNull() || value.IsEmpty() ? std::string() : value.AsString();
}

void TcxTreeListColumn::DoOnGetDisplayText(TcxTreeListNode* node, bool asText, Variant& value)
{
    TcxCustomEditProperties* properties = DoGetEditProperties(node);
    value = GetDisplayValue(properties, node->RecordIndex());
    if (!OnGetDisplayText && !asText) return;
    std::string result;
    if (!properties || properties->GetEditValueSource(false) != evsValue) {
        DoGetNodeDisplayText(node, value, result);
        value = Variant(std::move(result));
        return;
    }
    // Without a handler the answer is empty and the raw value is the one
    // just read; a handler may have written the record, so read it again.
    const bool handled = static_cast<bool>(OnGetDisplayText);
    DoGetNodeDisplayText(node, Variant(std::string()), result);
    if (!result.empty())
        value = Variant(std::move(result));
    else if (handled)
        value = GetValue(node->RecordIndex());
}

void TcxTreeListColumn::DoGetNodeDisplayText(TcxTreeListNode* node, const Variant& value, std::string& result)
{
    result = value.IsNull() || value.IsEmpty() ? std::string() : value.AsString();
    if (OnGetDisplayText) OnGetDisplayText(this, node, result);
}

void TcxTreeListColumn::MakeVisible()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList || !Visibility() || !ownerBand_ || ownerBand_->IsFixed()) return;
    TcxTreeListViewInfo* layout = treeList->TreeListViewInfo();
    RECT area = treeList->GetClientBounds();
    if (treeList->OptionsView()->Indicator()) area.left += treeList->OptionsView()->IndicatorWidth();
    const RECT header = viewInfo_->ColumnHeader()->DisplayRect;
    const bool inside = header.left >= area.left && header.right <= area.right;
    if (inside && !IsLeftMost()) return;
    int delta = 0;
    if (IsLeftMost()) delta = 0;
    else if (header.right <= area.right && header.left < area.left)
        delta = header.left - area.left - treeList->OptionsView()->HorzIncrement();
    else if (header.right > area.right) delta = header.right - area.right;
    if (delta == 0 && !IsLeftMost()) return;
    const int position = IsLeftMost() ? 0 : layout->HorzScrollPos + delta;
    layout->DoScrollHorizontal(std::clamp(position, 0, std::max(0, layout->ContentWidth - layout->ViewportWidth)));
    treeList->UpdateScrollBars();
}
