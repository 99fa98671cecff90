#include "components/treelist/cxTLOptions.h"

#include "components/treelist/cxTL.h"

#include <climits>

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxTreeListGridLines*)
{
    static const TEnumInfo info{"TcxTreeListGridLines", {"tlglNone", "tlglHorz", "tlglVert", "tlglBoth"}};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxTreeListPaintStyle*)
{
    static const TEnumInfo info{"TcxTreeListPaintStyle", {"tlpsStandard", "tlpsCategorized"}};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxTreeListTreeLineStyle*)
{
    static const TEnumInfo info{"TcxTreeListTreeLineStyle", {"tllsNone", "tllsDot", "tllsSolid"}};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxTreeListPreviewPlace*)
{
    static const TEnumInfo info{"TcxTreeListPreviewPlace", {"tlppBottom", "tlppTop"}};
    return info;
}

TcxCustomInplaceEditContainer* cxSameIndexItem(TcxEditingControl* control, TcxCustomInplaceEditContainer* item)
{
    if (!control || !item || !cxInRange(item->ItemIndex(), 0, control->ItemCount() - 1)) return nullptr;
    return control->Items(item->ItemIndex());
}


// ---- view ---------------------------------------------------------------------------------

TClass TcxTreeListOptionsView::StaticClass()
{
    return DefineClass<TcxTreeListOptionsView, TcxControlOptionsView>("TcxTreeListOptionsView", [](ClassBuilder<TcxTreeListOptionsView>& b) {
        using V = TcxTreeListOptionsView;
        b.Property("Bands", &V::Bands, &V::SetBands).Default(false);
        b.Property("BandLineCount", &V::BandLineCount, &V::SetBandLineCount).Default(1);
        b.Property("Buttons", &V::Buttons, &V::SetButtons).Default(true);
        b.Property("ColumnAutoWidth", &V::ColumnAutoWidth, &V::SetColumnAutoWidth).Default(false);
        b.Property("ExtPaintStyle", &V::ExtPaintStyle, &V::SetExtPaintStyle).Default(false);
        b.Property("FixedSeparatorWidth", &V::FixedSeparatorWidth, &V::SetFixedSeparatorWidth).Default(2);
        b.Property("Footer", &V::Footer, &V::SetFooter).Default(false);
        b.Property("GridLines", &V::GridLines, &V::SetGridLines).Default(tlglNone);
        b.Property("HeaderSingleLine", &V::HeaderSingleLine, &V::SetHeaderSingleLine).Default(false);
        b.Property("Headers", &V::Headers, &V::SetHeaders).Default(true);
        b.Property("Indicator", &V::Indicator, &V::SetIndicator).Default(false);
        b.Property("IndicatorWidth", &V::IndicatorWidth, &V::SetIndicatorWidth).Default(15);
        b.Property("PaintStyle", &V::PaintStyle, &V::SetPaintStyle).Default(tlpsStandard);
        b.Property("ShowRoot", &V::ShowRoot, &V::SetShowRoot).Default(true);
        b.Property("SimpleCustomizeBox", &V::SimpleCustomizeBox, &V::SetSimpleCustomizeBox).Default(false);
        b.Property("TreeLineStyle", &V::TreeLineStyle, &V::SetTreeLineStyle).Default(tllsDot);
        b.Property("UseImageIndexForSelected", &V::UseImageIndexForSelected, &V::SetUseImageIndexForSelected).Default(true);
        b.Property("UseNodeColorForIndent", &V::UseNodeColorForIndent, &V::SetUseNodeColorForIndent).Default(true);
    });
}

void TcxTreeListOptionsView::Construct(TPersistent* owner)
{
    TcxControlOptionsView::Construct(owner);
    for (int bit : {tlov::Headers, tlov::ShowRoot, tlov::Buttons, tlov::UseNodeColorForIndent,
                    tlov::UseImageIndexForSelected})
        state_.Set(bit, true);
}

void TcxTreeListOptionsView::Changed()
{
    if (TcxEditingControl* control = EditingControl()) control->UpdateViewStyles();
}

void TcxTreeListOptionsView::SetHeaderSingleLine(bool value)
{
    if (value)
        if (auto* treeList = As<TcxCustomTreeListControl>(EditingControl())) treeList->HeaderSingleLineChanging();
    SetState(tlov::HeaderSingleLine, value);
}

void TcxTreeListOptionsView::SetState(int bit, bool value)
{
    if (state_.Set(bit, value)) Changed();
}

void TcxTreeListOptionsView::SetBandLineCount(int value)
{
    cxRange(value, 1, INT_MAX);
    if (value == bandLineCount_) return;
    bandLineCount_ = value;
    if (Bands()) Changed();
}

void TcxTreeListOptionsView::SetIndicatorWidth(int value)
{
    cxRange(value, 0, INT_MAX);
    if (value == indicatorWidth_) return;
    indicatorWidth_ = value;
    if (Indicator()) Changed();
}

void TcxTreeListOptionsView::SetFixedSeparatorWidth(int value)
{
    cxRange(value, 0, INT_MAX);
    SetField(fixedSeparatorWidth_, value);
}

void TcxTreeListOptionsView::SetGridLineColor(TColor value)
{
    if (value == gridLineColor_) return;
    gridLineColor_ = value;
    if (gridLines_ != tlglNone) Changed();
}

TcxCustomInplaceEditContainer* TcxTreeListOptionsView::GetCategorizedColumn() const
{
    if (categorizedColumn_) return categorizedColumn_;
    auto* treeList = As<TcxCustomTreeListControl>(EditingControl());
    return treeList && treeList->GetVisibleColumnCount() > 0 ? treeList->GetVisibleColumn(0) : nullptr;
}

void TcxTreeListOptionsView::SetCategorizedColumn(TcxCustomInplaceEditContainer* value)
{
    categorizedColumn_ = value;
    Changed();
}

void TcxTreeListOptionsView::RestoreDefaults()
{
    state_.SetValue(0);
    state_.Set(tlov::Headers, true);
    indicatorWidth_ = 15;
}

void TcxTreeListOptionsView::Assign(TPersistent* source)
{
    auto* v = As<TcxTreeListOptionsView>(source);
    if (!v) return TcxControlOptionsView::Assign(source);
    SetHeaderSingleLine(v->HeaderSingleLine());
    state_.SetValue(v->StateValue());
    categorizedColumn_ = cxSameIndexItem(EditingControl(), v->CategorizedColumn());
    bandLineCount_ = v->bandLineCount_;
    indicatorWidth_ = v->indicatorWidth_;
    fixedSeparatorColor_ = v->fixedSeparatorColor_;
    fixedSeparatorWidth_ = v->fixedSeparatorWidth_;
    gridLines_ = v->gridLines_;
    gridLineColor_ = v->gridLineColor_;
    dropArrowColor_ = v->dropArrowColor_;
    paintStyle_ = v->paintStyle_;
    treeLineColor_ = v->treeLineColor_;
    treeLineStyle_ = v->treeLineStyle_;
    TcxControlOptionsView::Assign(source);
}

// ---- customizing ---------------------------------------------------------------------------

TClass TcxTreeListOptionsCustomizing::StaticClass()
{
    return DefineClass<TcxTreeListOptionsCustomizing, TcxOwnedPersistent>("TcxTreeListOptionsCustomizing", [](ClassBuilder<TcxTreeListOptionsCustomizing>& b) {
        using C = TcxTreeListOptionsCustomizing;
        b.Property("BandCustomizing", &C::BandCustomizing, &C::SetBandCustomizing).Default(true);
        b.Property("BandHorzSizing", &C::BandHorzSizing, &C::SetBandHorzSizing).Default(true);
        b.Property("BandMoving", &C::BandMoving, &C::SetBandMoving).Default(true);
        b.Property("BandVertSizing", &C::BandVertSizing, &C::SetBandVertSizing).Default(true);
        b.Property("ColumnCustomizing", &C::ColumnCustomizing, &C::SetColumnCustomizing).Default(true);
        b.Property("ColumnHorzSizing", &C::ColumnHorzSizing, &C::SetColumnHorzSizing).Default(true);
        b.Property("ColumnMoving", &C::ColumnMoving, &C::SetColumnMoving).Default(true);
        b.Property("ColumnVertSizing", &C::ColumnVertSizing, &C::SetColumnVertSizing).Default(true);
        b.Property("DynamicSizing", &C::DynamicSizing, &C::SetDynamicSizing).Default(false);
        b.Property("RowSizing", &C::RowSizing, &C::SetRowSizing).Default(false);
    });
}

void TcxTreeListOptionsCustomizing::Construct(TPersistent* owner)
{
    TcxOwnedPersistent::Construct(owner);
    state_.SetValue(0xFFFFFFFFu);
    state_.Set(tloc::DynamicSizing, false);
    state_.Set(tloc::RowSizing, false);
}

void TcxTreeListOptionsCustomizing::Assign(TPersistent* source)
{
    auto* c = As<TcxTreeListOptionsCustomizing>(source);
    if (!c) return TcxOwnedPersistent::Assign(source);
    state_.SetValue(c->StateValue());
}

// ---- selection --------------------------------------------------------------------------------

TClass TcxTreeListOptionsSelection::StaticClass()
{
    return DefineClass<TcxTreeListOptionsSelection, TcxOwnedPersistent>("TcxTreeListOptionsSelection", [](ClassBuilder<TcxTreeListOptionsSelection>& b) {
        using S = TcxTreeListOptionsSelection;
        b.Property("CellSelect", &S::CellSelect, &S::SetCellSelect).Default(true);
        b.Property("HideFocusRect", &S::HideFocusRect, &S::SetHideFocusRect).Default(true);
        b.Property("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(false);
        b.Property("InvertSelect", &S::InvertSelect, &S::SetInvertSelect).Default(true);
        b.Property("MultiSelect", &S::MultiSelect, &S::SetMultiSelect).Default(false);
    });
}

void TcxTreeListOptionsSelection::Construct(TPersistent* owner)
{
    TcxOwnedPersistent::Construct(owner);
    SetCellSelect(true);
    SetHideFocusRect(true);
    SetInvertSelect(true);
    SetHideSelection(false);
    SetMultiSelect(false);
}

void TcxTreeListOptionsSelection::Changed()
{
    if (auto* control = As<TcxEditingControl>(GetOwner())) control->LayoutChanged();
}

void TcxTreeListOptionsSelection::Assign(TPersistent* source)
{
    auto* s = As<TcxTreeListOptionsSelection>(source);
    if (!s) return TcxOwnedPersistent::Assign(source);
    state_.SetValue(s->StateValue());
}

// ---- behaviour ---------------------------------------------------------------------------------

TClass TcxTreeListOptionsBehavior::StaticClass()
{
    return DefineClass<TcxTreeListOptionsBehavior, TcxControlOptionsBehavior>("TcxTreeListOptionsBehavior", [](ClassBuilder<TcxTreeListOptionsBehavior>& b) {
        using B = TcxTreeListOptionsBehavior;
        b.Property("AutoDragCopy", &B::AutoDragCopy, &B::SetAutoDragCopy).Default(false);
        b.Property("AutomateLeftMostIndent", &B::AutomateLeftMostIndent, &B::SetAutomateLeftMostIndent).Default(true);
        b.Property("ChangeDelay", &B::ChangeDelay, &B::SetChangeDelay).Default(0);
        b.Property("ConfirmDelete", &B::ConfirmDelete, &B::SetConfirmDelete).Default(true);
        b.Property("DragCollapse", &B::DragCollapse, &B::SetDragCollapse).Default(true);
        b.Property("DragDropText", &B::DragDropText, &B::SetDragDropText).Default(false);
        b.Property("DragExpand", &B::DragExpand, &B::SetDragExpand).Default(true);
        b.Property("DragFocusing", &B::DragFocusing, &B::SetDragFocusing).Default(false);
        b.Property("ExpandOnDblClick", &B::ExpandOnDblClick, &B::SetExpandOnDblClick).Default(true);
        b.Property("ExpandOnIncSearch", &B::ExpandOnIncSearch, &B::SetExpandOnIncSearch).Default(false);
        b.Property("HotTrack", &B::HotTrack, &B::SetHotTrack).Default(false);
        b.Property("MultiSort", &B::MultiSort, &B::SetMultiSort).Default(true);
        b.Property("ShowHourGlass", &B::ShowHourGlass, &B::SetShowHourGlass).Default(true);
        b.Property("Sorting", &B::Sorting, &B::SetSorting).Default(true);
        b.Property("WaitForExpandNodeTime", &B::WaitForExpandNodeTime, &B::SetWaitForExpandNodeTime).Default(500);
    });
}

void TcxTreeListOptionsBehavior::Construct(TPersistent* owner)
{
    TcxControlOptionsBehavior::Construct(owner);
    for (int bit : {tlob::ConfirmDelete, tlob::DragCollapse, tlob::DragExpand, tlob::ShowHourGlass, tlob::Sorting,
                    tlob::MultiSort, tlob::AutomateLeftMostIndent, tlob::ExpandOnDblClick})
        state_.Set(bit, true);
    state_.Set(tlob::ExpandOnIncSearch, false);
    waitForExpandNodeTime_ = 500;
}

void TcxTreeListOptionsBehavior::SetChangeDelay(int value)
{
    changeDelay_ = value < 0 ? 0 : value;
    if (auto* treeList = As<TcxCustomTreeListControl>(EditingControl())) treeList->ChangeDelayChanged(changeDelay_);
}

void TcxTreeListOptionsBehavior::Assign(TPersistent* source)
{
    if (auto* b = As<TcxTreeListOptionsBehavior>(source)) {
        state_.SetValue(b->StateValue());
        waitForExpandNodeTime_ = b->waitForExpandNodeTime_;
    }
    TcxControlOptionsBehavior::Assign(source);
}

// ---- data ---------------------------------------------------------------------------------------

TClass TcxTreeListOptionsData::StaticClass()
{
    return DefineClass<TcxTreeListOptionsData, TcxControlOptionsData>("TcxTreeListOptionsData", [](ClassBuilder<TcxTreeListOptionsData>& b) {
        using D = TcxTreeListOptionsData;
        b.Property("AnsiSort", &D::AnsiSort, &D::SetAnsiSort).Default(false);
        b.Property("CaseInsensitive", &D::CaseInsensitive, &D::SetCaseInsensitive).Default(false);
        b.Property("Deleting", &D::Deleting, &D::SetDeleting).Default(true);
        b.Property("Inserting", &D::Inserting, &D::SetInserting).Default(false);
        b.Property("SummaryNullIgnore", &D::SummaryNullIgnore, &D::SetSummaryNullIgnore).Default(false);
    });
}

void TcxTreeListOptionsData::Construct(TPersistent* owner)
{
    TcxControlOptionsData::Construct(owner);
    state_.Set(tlod::Deleting, true);
}

void TcxTreeListOptionsData::SetState(int bit, bool value)
{
    state_.Set(bit, value);
    Changed();
    if (auto* treeList = As<TcxCustomTreeListControl>(EditingControl())) treeList->RefreshNavigatorButtons();
}

TcxControlDataController* TcxTreeListOptionsData::DataController() const
{
    TcxEditingControl* control = EditingControl();
    return control ? control->DataController() : nullptr;
}

bool TcxTreeListOptionsData::HasOption(TcxDataControllerOption option) const
{
    TcxControlDataController* data = DataController();
    return data && data->Options().Contains(option);
}

void TcxTreeListOptionsData::SetOption(TcxDataControllerOption option, bool value)
{
    TcxControlDataController* data = DataController();
    if (!data) return;
    TcxDataControllerOptions options = data->Options();
    if (value) options.Include(option);
    else options.Exclude(option);
    data->SetOptions(options);
}

bool TcxTreeListOptionsData::SummaryNullIgnore() const
{
    TcxControlDataController* data = DataController();
    return data && data->Summary().Options().Contains(soNullIgnore);
}

void TcxTreeListOptionsData::SetSummaryNullIgnore(bool value)
{
    if (TcxControlDataController* data = DataController())
        data->Summary().SetOptions(value ? TcxSummaryOptions{soNullIgnore} : TcxSummaryOptions{});
}

void TcxTreeListOptionsData::Assign(TPersistent* source)
{
    if (auto* d = As<TcxTreeListOptionsData>(source)) {
        state_.SetValue(d->StateValue());
        SetSummaryNullIgnore(d->SummaryNullIgnore());
    }
    TcxControlOptionsData::Assign(source);
}

// ---- preview --------------------------------------------------------------------------------------

TClass TcxTreeListPreview::StaticClass()
{
    return DefineClass<TcxTreeListPreview, TcxOwnedInterfacedPersistent>("TcxTreeListPreview", [](ClassBuilder<TcxTreeListPreview>& b) {
        using P = TcxTreeListPreview;
        b.Property("AutoHeight", &P::AutoHeight, &P::SetAutoHeight).Default(true);
        b.Property("LeftIndent", &P::LeftIndent, &P::SetLeftIndent).Default(3);
        b.Property("MaxLineCount", &P::MaxLineCount, &P::SetMaxLineCount).Default(3);
        b.Property("Place", &P::Place, &P::SetPlace).Default(tlppBottom);
        b.Property("RightIndent", &P::RightIndent, &P::SetRightIndent).Default(5);
        b.Property("Visible", &P::Visible, &P::SetVisible).Default(false);
    });
}

void TcxTreeListPreview::Changed(bool needsActivePreview)
{
    if (needsActivePreview && !Active()) return;
    if (auto* control = As<TcxEditingControl>(GetOwner())) control->UpdateViewStyles();
}

void TcxTreeListPreview::Assign(TPersistent* source)
{
    auto* p = As<TcxTreeListPreview>(source);
    if (!p) return TcxOwnedInterfacedPersistent::Assign(source);
    SetAutoHeight(p->AutoHeight());
    if (p->Column()) SetColumn(cxSameIndexItem(As<TcxEditingControl>(GetOwner()), p->Column()));
    SetLeftIndent(p->LeftIndent());
    SetMaxLineCount(p->MaxLineCount());
    SetPlace(p->Place());
    SetRightIndent(p->RightIndent());
    SetVisible(p->Visible());
}
