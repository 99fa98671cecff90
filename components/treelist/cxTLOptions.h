#pragma once
// The option objects of the tree list: view, customizing, selection,
// behaviour, data and preview. Most Boolean options are bits of one 32-bit
// state set per object, read and written by a fixed bit number; the others
// are fields with their own clamps. The owner is the control the options
// belong to; the changes reach it as layout or style changes.

#include <cstdint>

#include "components/data/cxDataSummary.h"
#include "components/treelist/cxInplaceContainerItems.h"

enum TcxTreeListGridLines { tlglNone, tlglHorz, tlglVert, tlglBoth };
enum TcxTreeListPaintStyle { tlpsStandard, tlpsCategorized };
enum TcxTreeListTreeLineStyle { tllsNone, tllsDot, tllsSolid };
enum TcxTreeListPreviewPlace { tlppBottom, tlppTop };
const hostlib::TEnumInfo& EnumTypeInfo(TcxTreeListGridLines*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxTreeListPaintStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxTreeListTreeLineStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxTreeListPreviewPlace*);

// A 32-bit set of option bits addressed by number.
class TcxOptionBits {
public:
    bool Get(int bit) const { return (bits_ >> bit) & 1u; }
    // Whether the bit changed.
    bool Set(int bit, bool value)
    {
        if (Get(bit) == value) return false;
        bits_ = value ? (bits_ | (1u << bit)) : (bits_ & ~(1u << bit));
        return true;
    }
    std::uint32_t Value() const { return bits_; }
    void SetValue(std::uint32_t value) { bits_ = value; }

private:
    std::uint32_t bits_ = 0;
};

// Bit numbers of the view options.
namespace tlov {
inline constexpr int Bands = 0, ColumnAutoWidth = 1, Footer = 2, Headers = 3, Indicator = 4, ShowRoot = 5,
                     Buttons = 7, SimpleCustomizeBox = 8, UseNodeColorForIndent = 9, HeaderSingleLine = 10,
                     ExtPaintStyle = 12, UseImageIndexForSelected = 13;
}
namespace tloc {
inline constexpr int BandHorzSizing = 1, BandMoving = 2, BandVertSizing = 3, ColumnCustomizing = 4,
                     ColumnHorzSizing = 5, ColumnMoving = 6, BandCustomizing = 7, ColumnVertSizing = 8,
                     DynamicSizing = 9, RowSizing = 10;
}
namespace tlos {
inline constexpr int CellSelect = 0, HideFocusRect = 1, HideSelection = 2, InvertSelect = 3, MultiSelect = 4;
}
namespace tlob {
inline constexpr int DragCollapse = 0, DragExpand = 1, ExpandOnIncSearch = 2, ShowHourGlass = 3, AutoDragCopy = 4,
                     ConfirmDelete = 6, MultiSort = 7, Sorting = 8, AutomateLeftMostIndent = 9, HotTrack = 10,
                     DragFocusing = 15, ExpandOnDblClick = 16;
}
namespace tlod {
inline constexpr int Deleting = 0, Inserting = 1;
}

// The item of the owner control at the same ItemIndex as the given one.
TcxCustomInplaceEditContainer* cxSameIndexItem(TcxEditingControl* control, TcxCustomInplaceEditContainer* item);

class TcxTreeListOptionsView : public TcxControlOptionsView {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Changed() override;
    void Assign(hostlib::TPersistent* source) override;
    // Only Headers stays set and IndicatorWidth becomes 15.
    virtual void RestoreDefaults();

    bool GetState(int bit) const { return state_.Get(bit); }
    void SetState(int bit, bool value);
    std::uint32_t StateValue() const { return state_.Value(); }

    bool Bands() const { return GetState(tlov::Bands); }
    void SetBands(bool value) { SetState(tlov::Bands, value); }
    bool ColumnAutoWidth() const { return GetState(tlov::ColumnAutoWidth); }
    void SetColumnAutoWidth(bool value) { SetState(tlov::ColumnAutoWidth, value); }
    bool Footer() const { return GetState(tlov::Footer); }
    void SetFooter(bool value) { SetState(tlov::Footer, value); }
    bool Headers() const { return GetState(tlov::Headers); }
    void SetHeaders(bool value) { SetState(tlov::Headers, value); }
    bool Indicator() const { return GetState(tlov::Indicator); }
    void SetIndicator(bool value) { SetState(tlov::Indicator, value); }
    bool ShowRoot() const { return GetState(tlov::ShowRoot); }
    void SetShowRoot(bool value) { SetState(tlov::ShowRoot, value); }
    bool Buttons() const { return GetState(tlov::Buttons); }
    void SetButtons(bool value) { SetState(tlov::Buttons, value); }
    bool SimpleCustomizeBox() const { return GetState(tlov::SimpleCustomizeBox); }
    void SetSimpleCustomizeBox(bool value) { SetState(tlov::SimpleCustomizeBox, value); }
    bool UseNodeColorForIndent() const { return GetState(tlov::UseNodeColorForIndent); }
    void SetUseNodeColorForIndent(bool value) { SetState(tlov::UseNodeColorForIndent, value); }
    bool HeaderSingleLine() const { return GetState(tlov::HeaderSingleLine); }
    // Turning it on first moves every column of the tree list to one line.
    void SetHeaderSingleLine(bool value);
    bool ExtPaintStyle() const { return GetState(tlov::ExtPaintStyle); }
    void SetExtPaintStyle(bool value) { SetState(tlov::ExtPaintStyle, value); }
    bool UseImageIndexForSelected() const { return GetState(tlov::UseImageIndexForSelected); }
    void SetUseImageIndexForSelected(bool value) { SetState(tlov::UseImageIndexForSelected, value); }

    int BandLineCount() const { return bandLineCount_; }
    void SetBandLineCount(int value);
    // The stored column, or none.
    TcxCustomInplaceEditContainer* CategorizedColumn() const { return categorizedColumn_; }
    void SetCategorizedColumn(TcxCustomInplaceEditContainer* value);
    // The stored column, else the first visible column of the tree list.
    TcxCustomInplaceEditContainer* GetCategorizedColumn() const;
    hostlib::TColor DropArrowColor() const { return dropArrowColor_; }
    void SetDropArrowColor(hostlib::TColor value) { dropArrowColor_ = value; }
    hostlib::TColor FixedSeparatorColor() const { return fixedSeparatorColor_; }
    void SetFixedSeparatorColor(hostlib::TColor value) { SetField(fixedSeparatorColor_, value); }
    int FixedSeparatorWidth() const { return fixedSeparatorWidth_; }
    void SetFixedSeparatorWidth(int value);
    hostlib::TColor GridLineColor() const { return gridLineColor_; }
    void SetGridLineColor(hostlib::TColor value);
    TcxTreeListGridLines GridLines() const { return gridLines_; }
    void SetGridLines(TcxTreeListGridLines value) { SetField(gridLines_, value); }
    int IndicatorWidth() const { return indicatorWidth_; }
    void SetIndicatorWidth(int value);
    TcxTreeListPaintStyle PaintStyle() const { return paintStyle_; }
    void SetPaintStyle(TcxTreeListPaintStyle value) { SetField(paintStyle_, value); }
    hostlib::TColor TreeLineColor() const { return treeLineColor_; }
    void SetTreeLineColor(hostlib::TColor value) { SetField(treeLineColor_, value); }
    TcxTreeListTreeLineStyle TreeLineStyle() const { return treeLineStyle_; }
    void SetTreeLineStyle(TcxTreeListTreeLineStyle value) { SetField(treeLineStyle_, value); }

    int HorzIncrement() const { return gridLines_ == tlglVert || gridLines_ == tlglBoth ? 1 : 0; }
    int VertIncrement() const { return gridLines_ == tlglHorz || gridLines_ == tlglBoth ? 1 : 0; }
    bool IsCategorizedPaint() const { return paintStyle_ == tlpsCategorized; }

private:
    template <class T>
    void SetField(T& field, T value)
    {
        if (field == value) return;
        field = value;
        Changed();
    }

    TcxOptionBits state_;
    int bandLineCount_ = 1;
    TcxCustomInplaceEditContainer* categorizedColumn_ = nullptr;
    hostlib::TColor dropArrowColor_ = 0x0000FF00;
    hostlib::TColor fixedSeparatorColor_ = hostlib::clDefault;
    int fixedSeparatorWidth_ = 2;
    hostlib::TColor gridLineColor_ = hostlib::clDefault;
    TcxTreeListGridLines gridLines_ = tlglNone;
    int indicatorWidth_ = 15;
    TcxTreeListPaintStyle paintStyle_ = tlpsStandard;
    hostlib::TColor color_ = hostlib::clDefault;
    hostlib::TColor treeLineColor_ = hostlib::clDefault;
    TcxTreeListTreeLineStyle treeLineStyle_ = tllsDot;
};

class TcxTreeListOptionsCustomizing : public TcxOwnedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;

    bool GetState(int bit) const { return state_.Get(bit); }
    void SetState(int bit, bool value) { state_.Set(bit, value); }
    std::uint32_t StateValue() const { return state_.Value(); }

    bool BandHorzSizing() const { return GetState(tloc::BandHorzSizing); }
    void SetBandHorzSizing(bool value) { SetState(tloc::BandHorzSizing, value); }
    bool BandMoving() const { return GetState(tloc::BandMoving); }
    void SetBandMoving(bool value) { SetState(tloc::BandMoving, value); }
    bool BandVertSizing() const { return GetState(tloc::BandVertSizing); }
    void SetBandVertSizing(bool value) { SetState(tloc::BandVertSizing, value); }
    bool ColumnCustomizing() const { return GetState(tloc::ColumnCustomizing); }
    void SetColumnCustomizing(bool value) { SetState(tloc::ColumnCustomizing, value); }
    bool ColumnHorzSizing() const { return GetState(tloc::ColumnHorzSizing); }
    void SetColumnHorzSizing(bool value) { SetState(tloc::ColumnHorzSizing, value); }
    bool ColumnMoving() const { return GetState(tloc::ColumnMoving); }
    void SetColumnMoving(bool value) { SetState(tloc::ColumnMoving, value); }
    bool BandCustomizing() const { return GetState(tloc::BandCustomizing); }
    void SetBandCustomizing(bool value) { SetState(tloc::BandCustomizing, value); }
    bool ColumnVertSizing() const { return GetState(tloc::ColumnVertSizing); }
    void SetColumnVertSizing(bool value) { SetState(tloc::ColumnVertSizing, value); }
    bool DynamicSizing() const { return GetState(tloc::DynamicSizing); }
    void SetDynamicSizing(bool value) { SetState(tloc::DynamicSizing, value); }
    bool RowSizing() const { return GetState(tloc::RowSizing); }
    void SetRowSizing(bool value) { SetState(tloc::RowSizing, value); }

private:
    TcxOptionBits state_;
};

class TcxTreeListOptionsSelection : public TcxOwnedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    virtual void Changed();

    bool GetSelectionState(int bit) const { return state_.Get(bit); }
    void SetSelectionState(int bit, bool value)
    {
        if (state_.Set(bit, value)) Changed();
    }
    std::uint32_t StateValue() const { return state_.Value(); }

    bool CellSelect() const { return GetSelectionState(tlos::CellSelect); }
    void SetCellSelect(bool value) { SetSelectionState(tlos::CellSelect, value); }
    bool HideFocusRect() const { return GetSelectionState(tlos::HideFocusRect); }
    void SetHideFocusRect(bool value) { SetSelectionState(tlos::HideFocusRect, value); }
    bool HideSelection() const { return GetSelectionState(tlos::HideSelection); }
    void SetHideSelection(bool value) { SetSelectionState(tlos::HideSelection, value); }
    bool InvertSelect() const { return GetSelectionState(tlos::InvertSelect); }
    void SetInvertSelect(bool value) { SetSelectionState(tlos::InvertSelect, value); }
    bool MultiSelect() const { return GetSelectionState(tlos::MultiSelect); }
    void SetMultiSelect(bool value) { SetSelectionState(tlos::MultiSelect, value); }

private:
    TcxOptionBits state_;
};

class TcxTreeListOptionsBehavior : public TcxControlOptionsBehavior {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    // The state set and WaitForExpandNodeTime, then the base's values.
    void Assign(hostlib::TPersistent* source) override;

    bool GetState(int bit) const { return state_.Get(bit); }
    void SetState(int bit, bool value) { state_.Set(bit, value); }
    std::uint32_t StateValue() const { return state_.Value(); }

    bool DragCollapse() const { return GetState(tlob::DragCollapse); }
    void SetDragCollapse(bool value) { SetState(tlob::DragCollapse, value); }
    bool DragExpand() const { return GetState(tlob::DragExpand); }
    void SetDragExpand(bool value) { SetState(tlob::DragExpand, value); }
    bool ExpandOnIncSearch() const { return GetState(tlob::ExpandOnIncSearch); }
    void SetExpandOnIncSearch(bool value) { SetState(tlob::ExpandOnIncSearch, value); }
    bool ShowHourGlass() const { return GetState(tlob::ShowHourGlass); }
    void SetShowHourGlass(bool value) { SetState(tlob::ShowHourGlass, value); }
    bool AutoDragCopy() const { return GetState(tlob::AutoDragCopy); }
    void SetAutoDragCopy(bool value) { SetState(tlob::AutoDragCopy, value); }
    bool ConfirmDelete() const { return GetState(tlob::ConfirmDelete); }
    void SetConfirmDelete(bool value) { SetState(tlob::ConfirmDelete, value); }
    bool MultiSort() const { return GetState(tlob::MultiSort); }
    void SetMultiSort(bool value) { SetState(tlob::MultiSort, value); }
    bool Sorting() const { return GetState(tlob::Sorting); }
    void SetSorting(bool value) { SetState(tlob::Sorting, value); }
    bool AutomateLeftMostIndent() const { return GetState(tlob::AutomateLeftMostIndent); }
    void SetAutomateLeftMostIndent(bool value) { SetState(tlob::AutomateLeftMostIndent, value); }
    bool HotTrack() const { return GetState(tlob::HotTrack); }
    void SetHotTrack(bool value) { SetState(tlob::HotTrack, value); }
    bool DragFocusing() const { return GetState(tlob::DragFocusing); }
    void SetDragFocusing(bool value) { SetState(tlob::DragFocusing, value); }
    bool ExpandOnDblClick() const { return GetState(tlob::ExpandOnDblClick); }
    void SetExpandOnDblClick(bool value) { SetState(tlob::ExpandOnDblClick, value); }

    // The interval of the change-delay timer; a negative value is 0 (off).
    int ChangeDelay() const { return changeDelay_; }
    // The tree list's change timer runs exactly while the value is above 0.
    void SetChangeDelay(int value);
    int WaitForExpandNodeTime() const { return waitForExpandNodeTime_; }
    void SetWaitForExpandNodeTime(int value) { waitForExpandNodeTime_ = value; }

private:
    TcxOptionBits state_;
    int waitForExpandNodeTime_ = 500;
    int changeDelay_ = 0;
};

class TcxTreeListOptionsData : public TcxControlOptionsData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    // The state set and SummaryNullIgnore, then the base's values; the
    // data controller's sort options stay as they are.
    void Assign(hostlib::TPersistent* source) override;

    bool GetState(int bit) const { return state_.Get(bit); }
    // Always signals a change.
    void SetState(int bit, bool value);
    std::uint32_t StateValue() const { return state_.Value(); }

    bool Deleting() const { return GetState(tlod::Deleting); }
    void SetDeleting(bool value) { SetState(tlod::Deleting, value); }
    bool Inserting() const { return GetState(tlod::Inserting); }
    void SetInserting(bool value) { SetState(tlod::Inserting, value); }
    bool AnsiSort() const { return HasOption(dcoAnsiSort); }
    void SetAnsiSort(bool value) { SetOption(dcoAnsiSort, value); }
    bool CaseInsensitive() const { return HasOption(dcoCaseInsensitive); }
    void SetCaseInsensitive(bool value) { SetOption(dcoCaseInsensitive, value); }
    bool SummaryNullIgnore() const;
    // The summary options become exactly [soNullIgnore] or [].
    void SetSummaryNullIgnore(bool value);

private:
    TcxControlDataController* DataController() const;
    bool HasOption(TcxDataControllerOption option) const;
    void SetOption(TcxDataControllerOption option, bool value);

    TcxOptionBits state_;
};

class TcxTreeListPreview : public TcxOwnedInterfacedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    // Changes that only matter to an active preview repaint nothing else.
    virtual void Changed(bool needsActivePreview);

    bool Active() const { return visible_ && column_ != nullptr; }
    bool AutoHeight() const { return autoHeight_; }
    void SetAutoHeight(bool value) { SetField(autoHeight_, value, true); }
    TcxCustomInplaceEditContainer* Column() const { return column_; }
    void SetColumn(TcxCustomInplaceEditContainer* value) { SetField(column_, value, false); }
    int LeftIndent() const { return leftIndent_; }
    void SetLeftIndent(int value) { SetField(leftIndent_, value < 0 ? 0 : value, true); }
    int MaxLineCount() const { return maxLineCount_; }
    void SetMaxLineCount(int value) { SetField(maxLineCount_, value < 0 ? 0 : value, true); }
    TcxTreeListPreviewPlace Place() const { return place_; }
    void SetPlace(TcxTreeListPreviewPlace value) { SetField(place_, value, true); }
    int RightIndent() const { return rightIndent_; }
    void SetRightIndent(int value) { SetField(rightIndent_, value < 0 ? 0 : value, true); }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { SetField(visible_, value, false); }

private:
    template <class T>
    void SetField(T& field, T value, bool needsActivePreview)
    {
        if (field == value) return;
        field = value;
        Changed(needsActivePreview);
    }

    bool autoHeight_ = true;
    TcxCustomInplaceEditContainer* column_ = nullptr;
    int leftIndent_ = 3;
    int maxLineCount_ = 3;
    TcxTreeListPreviewPlace place_ = tlppBottom;
    int rightIndent_ = 5;
    bool visible_ = false;
};
