#pragma once
// The tree list: nodes holding the tree structure (cell values stay in the
// data controller's records), columns arranged in bands and band rows with
// proportional width distribution, the control that owns them, and the
// sorting of sibling lists by relinking nodes. The classes refer to each
// other throughout, so they are declared together; the sources are split by
// class family.

#include <climits>
#include <cstdint>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "components/editor-catalogue/cxNavigator.h"
#include "components/foundation/cxStorage.h"
#include "components/treelist/cxInplaceContainerControllers.h"
#include "components/treelist/cxInplaceContainerViewInfo.h"
#include "components/treelist/cxTLOptions.h"
#include "components/treelist/cxTLStyles.h"
#include "components/treelist/cxTLViewInfo.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/hostlib/visual/timer.h"

class TcxTreeListNode;
class TcxTreeListNodes;
class TcxTreeListColumn;
class TcxTreeListBand;
class TcxTreeListBands;
class TcxTreeListBandRow;
class TcxTreeListBandRows;
class TcxCustomTreeListControl;

// ---- messages and the error class -----------------------------------------------------

inline constexpr hostlib::TResourceString scxIndexOutOfBounds{65500, "Index %d out of bounds"};
inline constexpr hostlib::TResourceString scxInvalidStreamFormat{65501, "Invalid stream format"};
inline constexpr hostlib::TResourceString scxMultiSelectRequired{65502, "Multi select required"};
inline constexpr hostlib::TResourceString scxDeleteRecordQuestion{65503, "Delete record(s)?"};
inline constexpr hostlib::TResourceString scxConfirmCaption{65504, "Confirm"};
inline constexpr hostlib::TResourceString scxCustomizeCaption{65505, "Customize"};
inline constexpr hostlib::TResourceString scxColumnsCaption{65506, "   Columns   "};
inline constexpr hostlib::TResourceString scxBandsCaption{65507, "    Bands    "};

namespace cx_treelist_names {
inline constexpr const char* EcxTreeList = "EcxTreeList";
}
using EcxTreeList = hostlib::ErrorClass<hostlib::Exception, &cx_treelist_names::EcxTreeList>;
[[noreturn]] void cxTreeListError(const std::string& text);
std::string scxStr(const hostlib::TResourceString& resource);

// Cursors the drag kinds show beyond the library's own.
inline constexpr hostlib::TCursor crcxTreeListDragNoDrop = -23424;
inline constexpr hostlib::TCursor crcxTreeListDragInsert = 101;

// Unit start (the sorting manager, the drag cursors) and end.
void cxTreeListInitialize();
void cxTreeListFinalize();

// ---- enumerations and events ------------------------------------------------------------

enum TcxTreeListNodeAttachMode { tlamAdd, tlamAddFirst, tlamAddChild, tlamAddChildFirst, tlamInsert };
enum TcxTreeListNodeAddMode { tlnaAdd, tlnaAddFirst, tlnaInsert };
enum TcxTreeListImageIndexType { tlitImageIndex, tlitSelectedIndex, tlitStateIndex };
const hostlib::TEnumInfo& EnumTypeInfo(TcxTreeListBandFixedKind*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxDataSortOrder*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxSummaryKind*);

using TcxTreeListBandChangedEvent = hostlib::Event<hostlib::TObject*, TcxTreeListBand*>;
using TcxTreeListItemChangedEvent = hostlib::Event<hostlib::TObject*, hostlib::TObject*>;
using TcxTreeListNodeChangingEvent = hostlib::Event<hostlib::TObject*, TcxTreeListNode*, bool&>;
using TcxTreeListNodeChangedEvent = hostlib::Event<hostlib::TObject*, TcxTreeListNode*>;
using TcxTreeListColumnChangedEvent = hostlib::Event<hostlib::TObject*, TcxTreeListColumn*>;
using TcxTreeListNodeCompareEvent = hostlib::Event<hostlib::TObject*, TcxTreeListNode*, TcxTreeListNode*, int&>;
using TcxTreeListFocusedColumnChanged = hostlib::Event<hostlib::TObject*, TcxTreeListColumn*, TcxTreeListColumn*>;
using TcxTreeListFocusedChangedEvent = hostlib::Event<hostlib::TObject*, TcxTreeListNode*, TcxTreeListNode*>;
using TcxTreeListGetNodeImageIndexEvent =
    hostlib::Event<hostlib::TObject*, TcxTreeListNode*, TcxTreeListImageIndexType, int&>;
using TcxTreeListIsGroupNodeEvent = hostlib::Event<hostlib::TObject*, TcxTreeListNode*, bool&>;
using TcxTreeListGetNodePreviewHeightEvent =
    hostlib::Event<hostlib::TObject*, TcxTreeListNode*, const hostlib::Variant&, int&>;
using TcxTreeListOnHotTrackNodeEvent =
    hostlib::Event<hostlib::TObject*, TcxTreeListNode*, hostlib::TShiftState, hostlib::TCursor&>;
using TcxTreeListMoveToEvent = hostlib::Event<hostlib::TObject*, TcxTreeListNode*, TcxTreeListNodeAttachMode,
                                              hostlib::TList*, bool&, bool&>;
using TcxTreeListNodeDataChangedEvent = hostlib::Event<hostlib::TObject*, TcxTreeListNode*, TcxTreeListColumn*>;
// Sender, canvas, the background rectangle, done.
using TcxCustomDrawBackgroundEvent = hostlib::Event<hostlib::TObject*, TcxCanvas*, const RECT&, bool&>;
using TcxTreeListGetDisplayTextEvent = hostlib::Event<TcxTreeListColumn*, TcxTreeListNode*, std::string&>;
using TcxTreeListEditingEvent = hostlib::Event<hostlib::TObject*, TcxTreeListColumn*, bool&>;
// A caller's compare: negative, zero or positive.
using TcxTreeListCompareFunc = int (*)(TcxTreeListNode*, TcxTreeListNode*);

// ---- width distribution -------------------------------------------------------------

// The foundation has a class of this name and fields for its own use; the
// tree list's lives apart.
namespace cxtl {
class TcxAutoWidthItem {
public:
    int AutoWidth = 0;
    bool Fixed = false;
    int MinWidth = 0;
    int Width = 0;
};
}  // namespace cxtl

// Shares an available width over items in proportion to their widths;
// an item whose share falls below its minimum is held there and the pass
// restarts. Fixed items keep their widths.
class TcxTreeListAutoWidthController {
public:
    void Init(int availableWidth, int capacity);
    void Add(cxtl::TcxAutoWidthItem* item);
    void Calculate();
    int Count() const { return static_cast<int>(items_.size()); }
    cxtl::TcxAutoWidthItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    int AvailableWidth() const { return availableWidth_; }

private:
    // One pass over the free items; false when an item had to be held at its minimum.
    bool Distribute(int lastIndex);

    std::vector<cxtl::TcxAutoWidthItem*> items_;
    int availableWidth_ = 0;
    int minWidthSum_ = 0;
    int firstIndex_ = 0;
    int widthSum_ = 0;
};

// ---- captions and column sub-objects ----------------------------------------------------

class TcxTreeListCaption : public TcxOwnedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    virtual void Changed();

    hostlib::TAlignment AlignHorz() const { return alignHorz_; }
    void SetAlignHorz(hostlib::TAlignment value) { SetField(alignHorz_, value); }
    TcxAlignmentVert AlignVert() const { return alignVert_; }
    void SetAlignVert(TcxAlignmentVert value) { SetField(alignVert_, value); }
    hostlib::TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(hostlib::TBitmap* value);
    hostlib::TAlignment GlyphAlignHorz() const { return glyphAlignHorz_; }
    void SetGlyphAlignHorz(hostlib::TAlignment value);
    TcxAlignmentVert GlyphAlignVert() const { return glyphAlignVert_; }
    void SetGlyphAlignVert(TcxAlignmentVert value);
    std::string Text() const { return text_; }
    void SetText(const std::string& value) { SetField(text_, value); }
    bool ShowEndEllipsis() const { return state_.Get(1); }
    void SetShowEndEllipsis(bool value) { if (state_.Set(1, value)) Changed(); }
    bool MultiLine() const { return state_.Get(2); }
    void SetMultiLine(bool value) { if (state_.Set(2, value)) Changed(); }

    TcxCustomTreeListControl* TreeList() const { return treeList_; }
    void SetTreeList(TcxCustomTreeListControl* value) { treeList_ = value; }
    // Restores both alignments without a repaint.
    void ResetAlignments();

private:
    template <class T>
    void SetField(T& field, const T& value)
    {
        if (field == value) return;
        field = value;
        Changed();
    }
    bool HasGlyph() const;

    hostlib::TAlignment alignHorz_ = hostlib::taLeftJustify;
    TcxAlignmentVert alignVert_ = vaTop;
    hostlib::ObjectPtr<hostlib::TBitmap> glyph_;
    hostlib::TAlignment glyphAlignHorz_ = hostlib::taLeftJustify;
    TcxAlignmentVert glyphAlignVert_ = vaTop;
    std::string text_;
    TcxCustomTreeListControl* treeList_ = nullptr;
    TcxOptionBits state_;
};

class TcxTreeListColumnPosition : public TcxOwnedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    virtual void Changed();

    int BandIndex() const;
    void SetBandIndex(int value);
    int ColIndex() const { return colIndex_; }
    void SetColIndex(int value);
    int LineCount() const { return lineCount_; }
    void SetLineCount(int value);
    int RowIndex() const { return rowIndex_; }
    void SetRowIndex(int value);

    TcxTreeListColumn* Column() const;
    TcxTreeListBand* GetBandFromIndex(int index) const;
    void SetPosition(int colIndex, int rowIndex);
    void SetPositionEx(int bandIndex, int colIndex, bool insertRow, int rowIndex);
    // Remembers the band index while the tree list loads; Load applies it.
    void Save() { savedBandIndex_ = BandIndex(); }
    void Load() { SetBandIndex(savedBandIndex_); }
    // Fields written without notification.
    void ForceSingleLine() { rowIndex_ = 0; lineCount_ = 1; }
    void SetLineCountField(int value) { lineCount_ = value; }
    void SetRowIndexField(int value) { rowIndex_ = value; }
    void SetColIndexField(int value) { colIndex_ = value; }

private:
    int savedBandIndex_ = -1;
    int colIndex_ = 0;
    int lineCount_ = 1;
    int rowIndex_ = 0;
};

class TcxTreeListColumnOptions : public TcxCustomEditContainerItemOptions {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void Changed() override;
    virtual void RestoreDefaults();

    bool CellEndEllipsis() const { return state_.Get(1); }
    void SetCellEndEllipsis(bool value) { SetState(1, value); }
    bool Sizing() const { return state_.Get(2); }
    void SetSizing(bool value) { SetState(2, value); }
    bool Footer() const { return state_.Get(3); }
    void SetFooter(bool value) { SetState(3, value); }
    bool Hidden() const { return hidden_; }
    void SetHidden(bool value) { hidden_ = value; }

private:
    void SetState(int bit, bool value)
    {
        if (state_.Set(bit, value)) Changed();
    }

    TcxOptionBits state_;
    bool hidden_ = false;
};

class TcxTreeListColumnSummaryFooter : public TcxOwnedInterfacedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    virtual void SummaryItemChanged();

    hostlib::TAlignment AlignHorz() const { return alignHorz_; }
    void SetAlignHorz(hostlib::TAlignment value) { SetField(alignHorz_, value); }
    TcxAlignmentVert AlignVert() const { return alignVert_; }
    void SetAlignVert(TcxAlignmentVert value) { SetField(alignVert_, value); }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool value) { SetField(multiLine_, value); }
    std::string Format() const;
    void SetFormat(const std::string& value);
    bool IsFormatStored() const { return !format_.empty(); }
    TcxSummaryKind Kind() const;
    void SetKind(TcxSummaryKind value);
    std::string SummaryText() const;
    void SetSummaryText(const std::string& value);
    hostlib::Variant SummaryValue() const;
    void SetSummaryValue(const hostlib::Variant& value);

private:
    template <class T>
    void SetField(T& field, const T& value)
    {
        if (field == value) return;
        field = value;
        SummaryItemChanged();
    }
    TcxTreeListColumn* Column() const;
    TcxDataSummaryItem* FindItem() const;

    hostlib::TAlignment alignHorz_ = hostlib::taLeftJustify;
    TcxAlignmentVert alignVert_ = vaTop;
    std::string format_;
    bool multiLine_ = false;
    mutable int itemIndex_ = -1;
};

// ---- the column ---------------------------------------------------------------------

class TcxTreeListColumn : public TcxCustomInplaceEditContainer, public IcxDragSizing, public IcxStoredObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr int kDefaultMinWidth = 20;
    static constexpr int kDefaultWidth = 100;

    void Construct(hostlib::TComponent* owner) override;
    void Assign(hostlib::TPersistent* source) override;

    // Published.
    TcxTreeListCaption* Caption() const { return caption_.get(); }
    void SetCaption(TcxTreeListCaption* value) { caption_->Assign(value); }
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    TcxTreeListColumnOptions* ColumnOptions() const;
    void SetColumnOptions(TcxTreeListColumnOptions* value) { Options()->Assign(value); }
    TcxTreeListColumnPosition* Position() const { return position_.get(); }
    void SetPositionProp(TcxTreeListColumnPosition* value) { position_->Assign(value); }
    TcxDataSortOrder SortOrder() const { return sortOrder_; }
    void SetSortOrder(TcxDataSortOrder value);
    TcxTreeListColumnSummaryFooter* SummaryFooter() const { return summaryFooter_.get(); }
    void SetSummaryFooter(TcxTreeListColumnSummaryFooter* value) { summaryFooter_->Assign(value); }
    bool Visible() const;
    void SetVisible(bool value);
    int Width() const { return width_; }
    void SetWidth(int value);
    TcxTreeListGetDisplayTextEvent OnGetDisplayText;

    // Public read-only values.
    int DisplayWidth() const;
    int CurrentWidth() const { return currentWidth_; }
    void SetCurrentWidth(int value) { currentWidth_ = value; }
    bool IsLeft() const;
    bool IsRight() const;
    bool IsLeftMost() const;
    bool IsRightMost() const;
    bool IsHidden() const { return !Visibility() || IsPreview(); }
    bool IsPreview() const;
    bool Visibility() const;
    int VisibleIndex() const;
    int IndentWidth() const;
    TcxCustomTreeListControl* TreeList() const;
    TcxTreeListBand* OwnerBand() const { return ownerBand_; }
    TcxTreeListBandRow* OwnerBandRow() const;
    int VisibleIndexInBand() const { return visibleIndexInBand_; }
    void SetVisibleIndexInBand(int value) { visibleIndexInBand_ = value; }
    cxtl::TcxAutoWidthItem* AutoWidthItem() { return &autoWidthItem_; }
    bool StateVisible() const { return state_.Get(8); }

    // Widths.
    int GetRealMinWidth() const;
    int GetRealMinSize() const;
    int GetAvailableMaxWidth();
    void InitAutoWidthItem();
    void AssignDisplayWidth();
    // Fields written without the setters (best fit, layout adjustment).
    void SetWidthField(int value) { width_ = value; }
    void SetMinWidthField(int value) { minWidth_ = value; }

    // Band membership and position.
    void SetOwnerBand(TcxTreeListBand* band);
    virtual void InternalSetBandOwner(TcxTreeListBand* band, bool remove);
    void PositionChanged();
    void SetItemIndexEx(int index);

    // Sorting and display text.
    virtual bool CanSorted();
    virtual TcxDataSortOrder GetRealSortOrder();
    std::string GetDisplayText(int recordIndex);
    virtual void DoOnGetDisplayText(TcxTreeListNode* node, bool asText, hostlib::Variant& value);
    virtual void DoGetNodeDisplayText(TcxTreeListNode* node, const hostlib::Variant& value, std::string& result);

    // Abilities.
    virtual bool CanMoving();
    bool CanFocus() override;
    bool CanInitEditing() override;
    void MakeVisible();
    void RestoreWidths();
    virtual void RestoreDefaults();

    // Best fit: the widest cell over the visible nodes, header and footer
    // included; the scratch width holds the maximum while measuring.
    void ApplyBestFit();
    int GetHeaderFooterBestfitSize();
    int BestFitWidth() const { return bestFitWidth_; }
    void SetBestFitWidth(int value) { bestFitWidth_ = value; }

    // IcxDragSizing
    bool CanSizing(TcxDragSizingDirection direction) override;
    RECT GetSizingBoundsRect(TcxDragSizingDirection direction) override;
    int GetSizingIncrement(TcxDragSizingDirection direction) override;
    bool IsDynamicUpdate() override;
    void SetSizeDelta(TcxDragSizingDirection direction, int delta) override;

    // The component's place in the form tree.
    bool HasParent() const override { return true; }
    hostlib::TComponent* GetParentComponent() const override;
    void SetParentComponent(hostlib::TComponent* parent) override;

    hostlib::TClass GetOptionsClass() override { return TcxTreeListColumnOptions::StaticClass(); }
    hostlib::TClass GetStylesClass() override { return TcxTreeListColumnStyles::StaticClass(); }
    TcxTreeListColumnStyles* TreeListStyles() const;
    TcxTreeListColumnViewInfo* ViewInfo() const { return viewInfo_.get(); }
    void SetTreeListStyles(TcxTreeListColumnStyles* value) { SetStyles(value); }
    void DoSetEditingControl(TcxEditingControl* value) override;

    // Layout storage: position, size, visibility, caption and sort order.
    using TcxCustomInplaceEditContainer::GetProperties;
    std::string GetObjectName() override;
    bool GetProperties(hostlib::TStrings* properties) override;
    void GetPropertyValue(const std::string& name, hostlib::Variant& value) override;
    void SetPropertyValue(const std::string& name, const hostlib::Variant& value) override;

protected:
    void Destroy() override;
    virtual void DoSizeChanged();
    virtual void DoVisibilityChanged();
    virtual hostlib::TClass GetPositionClass() { return TcxTreeListColumnPosition::StaticClass(); }
    virtual hostlib::TClass GetSummaryFooterClass() { return TcxTreeListColumnSummaryFooter::StaticClass(); }

private:
    void ApplyWidth(int value);

    cxtl::TcxAutoWidthItem autoWidthItem_;
    int bestFitWidth_ = 0;
    hostlib::ObjectPtr<TcxTreeListCaption> caption_;
    int currentWidth_ = kDefaultWidth;
    int minWidth_ = kDefaultMinWidth;
    TcxTreeListBand* ownerBand_ = nullptr;
    hostlib::ObjectPtr<TcxTreeListColumnPosition> position_;
    TcxDataSortOrder sortOrder_ = soNone;
    TcxOptionBits state_;
    hostlib::ObjectPtr<TcxTreeListColumnSummaryFooter> summaryFooter_;
    int visibleIndexInBand_ = -1;
    int width_ = kDefaultWidth;
    hostlib::ObjectPtr<TcxTreeListColumnViewInfo> viewInfo_;
    // The editing control as a tree list, cast once per control: every cell
    // read asks for it. Forgotten whenever the control changes.
    mutable TcxEditingControl* treeListControl_ = nullptr;
    mutable TcxCustomTreeListControl* treeList_ = nullptr;
};

// ---- bands --------------------------------------------------------------------------

class TcxTreeListBandOptions : public TcxOwnedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    virtual void Changed();
    virtual void RestoreDefaults();

    bool Customizing() const { return state_.Get(0); }
    void SetCustomizing(bool value) { SetState(0, value); }
    bool Moving() const { return state_.Get(1); }
    void SetMoving(bool value) { SetState(1, value); }
    bool OnlyOwnColumns() const { return state_.Get(2); }
    void SetOnlyOwnColumns(bool value) { SetState(2, value); }
    bool Sizing() const { return state_.Get(3); }
    void SetSizing(bool value) { SetState(3, value); }
    bool Hidden() const { return hidden_; }
    void SetHidden(bool value) { hidden_ = value; }

private:
    void SetState(int bit, bool value)
    {
        if (state_.Set(bit, value)) Changed();
    }

    TcxOptionBits state_;
    bool hidden_ = false;
};

class TcxTreeListBandRow {
public:
    explicit TcxTreeListBandRow(TcxTreeListBandRows* rows) : rows_(rows) {}

    void AddColumn(TcxTreeListColumn* column);
    int IndexOf(TcxTreeListColumn* column) const;
    int Count() const { return static_cast<int>(columns_.size()); }
    TcxTreeListColumn* Items(int index) const { return columns_.at(static_cast<std::size_t>(index)); }
    TcxTreeListColumn* GetItemEx(int index) const;
    TcxTreeListColumn* First() const { return columns_.empty() ? nullptr : columns_.front(); }
    TcxTreeListColumn* Last() const { return columns_.empty() ? nullptr : columns_.back(); }
    int Index() const;
    bool IsFirst() const { return Index() == 0; }
    bool IsLast() const;
    void UpdateInformation();
    int LineCount();
    int LineOffset() const { return lineOffset_; }
    void SetLineOffset(int value) { lineOffset_ = value; }
    int GetRowMinWidth() const;
    int GetMinWidth() const;
    int GetWidth() const;
    int GetMaxColumnWidth(TcxTreeListColumn* column) const;
    void ColumnSizeChanged(TcxTreeListColumn* column);
    void DoCalculateColumnsAutoWidth();
    TcxTreeListBand* Band() const;
    TcxTreeListAutoWidthController* GetAutoWidthController() const;

private:
    TcxTreeListBandRows* rows_;
    std::vector<TcxTreeListColumn*> columns_;
    int lineCount_ = 0;
    int lineOffset_ = 0;
};

class TcxTreeListBandRows {
public:
    explicit TcxTreeListBandRows(TcxTreeListBand* band) : band_(band) {}

    TcxTreeListBandRow* Add();
    void Clear() { rows_.clear(); }
    int Count() const { return static_cast<int>(rows_.size()); }
    TcxTreeListBandRow* Items(int index) const { return rows_.at(static_cast<std::size_t>(index)).get(); }
    TcxTreeListBandRow* GetItemEx(int index) const;
    TcxTreeListBandRow* First() const { return GetItemEx(0); }
    TcxTreeListBandRow* Last() const { return GetItemEx(Count() - 1); }
    int IndexOf(const TcxTreeListBandRow* row) const;
    void UpdateInformation();
    int LineCount() const { return lineCount_; }
    int GetMinWidth() const;
    int GetLeftMostMinWidth() const;
    int GetLeftMostWidth() const;
    int CalculateAvaliableMinWidth() const;
    TcxTreeListBand* Band() const { return band_; }

private:
    TcxTreeListBand* band_;
    std::vector<std::unique_ptr<TcxTreeListBandRow>> rows_;
    int lineCount_ = 0;
};

class TcxTreeListBand : public TcxInterfacedCollectionItem, public IcxDragSizing, public IcxStoredObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr int kDefaultMinWidth = 20;

    void Construct(hostlib::TCollection* collection) override;
    void Assign(hostlib::TPersistent* source) override;

    // Published.
    TcxTreeListCaption* Caption() const { return caption_.get(); }
    void SetCaption(TcxTreeListCaption* value) { caption_->Assign(value); }
    TcxTreeListBandFixedKind FixedKind() const;
    void SetFixedKind(TcxTreeListBandFixedKind value);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    TcxTreeListBandOptions* Options() const { return options_.get(); }
    void SetOptions(TcxTreeListBandOptions* value) { options_->Assign(value); }
    TcxTreeListBandStyles* Styles() const { return styles_.get(); }
    TcxTreeListBandViewInfo* ViewInfo() const { return viewInfo_.get(); }
    void SetStyles(TcxTreeListBandStyles* value) { styles_->Assign(value); }
    bool Visible() const { return state_.Get(0); }
    void SetVisible(bool value);
    int Width() const { return width_; }
    void SetWidth(int value);
    int VisibleIndex() const;
    void SetVisibleIndex(int value);

    // Public.
    TcxTreeListBands* Bands() const;
    TcxCustomTreeListControl* TreeList() const;
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    TcxTreeListColumn* GetColumn(int index) const { return columns_.at(static_cast<std::size_t>(index)); }
    int VisibleColumnCount() const { return static_cast<int>(visibleColumns_.size()); }
    TcxTreeListColumn* GetVisibleColumn(int index) const
    {
        return visibleColumns_.at(static_cast<std::size_t>(index));
    }
    int DisplayWidth() const { return IndentWidth() + currentWidth_; }
    int IndentWidth() const;
    bool IsLeftMost() const;
    bool IsRightMost() const;
    int ItemIndex() const { return Index(); }
    void SetItemIndex(int value);
    bool IsFixed() const { return FixedKind() != tlbfNone; }
    bool IsOnlyOwnColumns() const { return options_->OnlyOwnColumns(); }
    int CurrentWidth() const { return currentWidth_; }
    void SetCurrentWidth(int value) { currentWidth_ = value; }
    int NaturalWidth() const { return naturalWidth_; }
    int MinimalWidth() const { return minimalWidth_; }
    TcxTreeListBandRows* Rows() { return &rows_; }
    cxtl::TcxAutoWidthItem* AutoWidthItem() { return &autoWidthItem_; }
    void SetWidthField(int value) { width_ = value; }
    void SetMinWidthField(int value) { minWidth_ = value; }

    // Layout storage: caption, size, visibility and place.
    std::string GetObjectName() override;
    bool GetProperties(hostlib::TStrings* properties) override;
    void GetPropertyValue(const std::string& name, hostlib::Variant& value) override;
    void SetPropertyValue(const std::string& name, const hostlib::Variant& value) override;

    // Columns and rows.
    void AddColumn(TcxTreeListColumn* column);
    void RemoveColumn(TcxTreeListColumn* column);
    void DetachColumn(TcxTreeListColumn* column);
    void AddVisibleColumn(TcxTreeListColumn* column) { visibleColumns_.push_back(column); }
    void ReBuildRows();
    void RealignColumns();
    void Changed(bool allItems) { TcxInterfacedCollectionItem::Changed(allItems); }

    // Widths.
    int GetMaxDeltaWidth();
    int ActuallyBandWidth() const;
    void AssignBandWidths();
    void InitAutoWidthItem();
    void AssignDisplayWidth();
    void SetBandWidth(int value);
    void RestoreWidths();
    virtual void RestoreDefaults();

    virtual bool CanMoving();
    void SetBandVisiblePos(int index);
    // Every column of the band takes its best width; the band then follows them.
    void ApplyBestFit();
    // Fixed kind bits written without moving (the visible order does that).
    void ResetFixedKind() { SetFixedKindBits(tlbfNone); }

    // IcxDragSizing
    bool CanSizing(TcxDragSizingDirection direction) override;
    RECT GetSizingBoundsRect(TcxDragSizingDirection direction) override;
    int GetSizingIncrement(TcxDragSizingDirection direction) override;
    bool IsDynamicUpdate() override;
    void SetSizeDelta(TcxDragSizingDirection direction, int delta) override;

protected:
    void Destroy() override;
    virtual void VisibleChanged();
    virtual hostlib::TClass GetOptionsClass() { return TcxTreeListBandOptions::StaticClass(); }

private:
    void SetFixedKindBits(TcxTreeListBandFixedKind value);
    void MeasureColumns(TcxTreeListNode* node, int count);
    int AssignBestFitWidths();
    // Step 4 of a rebuild: rows from the sorted visible columns.
    void FillRows(const std::vector<TcxTreeListColumn*>& sorted, int& largestSum);

    cxtl::TcxAutoWidthItem autoWidthItem_;
    TcxTreeListBandRows rows_{this};
    int naturalWidth_ = 0;
    hostlib::ObjectPtr<TcxTreeListCaption> caption_;
    std::vector<TcxTreeListColumn*> columns_;
    int minimalWidth_ = 0;
    int currentWidth_ = 0;
    int minWidth_ = kDefaultMinWidth;
    hostlib::ObjectPtr<TcxTreeListBandOptions> options_;
    hostlib::ObjectPtr<TcxTreeListBandStyles> styles_;
    hostlib::ObjectPtr<TcxTreeListBandViewInfo> viewInfo_;
    TcxOptionBits state_;
    std::vector<TcxTreeListColumn*> visibleColumns_;
    int width_ = 0;
};

class TcxTreeListBands : public hostlib::TCollection, public IcxStoredObject, public IcxStoredParent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomTreeListControl* treeList);
    hostlib::TPersistent* GetOwner() const override;

    TcxTreeListBand* Add();
    TcxTreeListBand* Items(int index) const { return static_cast<TcxTreeListBand*>(TCollection::Items(index)); }
    int GetAbsoluteIndex(int visibleIndex) const;
    int GetVisibleIndex(int index) const;
    TcxTreeListBand* GetVisibleItemEx(bool last) const;
    virtual void RefreshBandStates();
    virtual void RestoreDefaults();
    virtual void RestoreWidths();
    void RealignColumns(bool rebuild);
    TcxCustomTreeListControl* TreeList() const { return treeList_; }

    // Layout storage: the bands are the children.
    std::string GetObjectName() override { return "Bands"; }
    bool GetProperties(hostlib::TStrings*) override { return true; }
    void GetPropertyValue(const std::string&, hostlib::Variant&) override {}
    void SetPropertyValue(const std::string&, const hostlib::Variant&) override {}
    hostlib::TObject* CreateChild(const std::string& objectName, const std::string& className) override;
    void DeleteChild(const std::string& objectName, hostlib::TObject* object) override;
    void GetChildren(hostlib::TStrings* children) override;

protected:
    void Update(hostlib::TCollectionItem* item) override;

private:
    TcxCustomTreeListControl* treeList_ = nullptr;
};

// ---- nodes --------------------------------------------------------------------------

class TcxTreeListNode : public hostlib::TPersistent, public IcxDragSizing {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // State bits.
    static constexpr std::uint32_t nsDeleting = 0x02;
    static constexpr std::uint32_t nsHasChildren = 0x04;
    static constexpr std::uint32_t nsCollapsed = 0x10;

    virtual void Construct(TcxTreeListNodes* owner);
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override;

    virtual int AddDataControllerRecord();
    virtual TcxTreeListNode* AddChild();
    virtual TcxTreeListNode* AddChildFirst();
    virtual TcxTreeListNode* InsertChild(TcxTreeListNode* beforeNode);
    virtual void MoveTo(TcxTreeListNode* destination, TcxTreeListNodeAttachMode mode);
    virtual void Repaint(bool recalculate);
    bool CanMove(TcxTreeListNode* destination, TcxTreeListNodeAttachMode mode) const;
    void Delete();
    void DeleteChildren();

    // Values of the node's record.
    void AssignValues(const std::vector<hostlib::Variant>& values);
    hostlib::Variant GetValue(int index) const;
    void SetValue(int index, const hostlib::Variant& value);
    std::string GetText(int index) const;
    void SetText(int index, const std::string& value) { SetValue(index, hostlib::Variant(value)); }
    int GetValueCount() const;

    // State.
    void Expand(bool recurse);
    void Collapse(bool recurse);
    bool Expanded() const { return childCount_ > 0 && !(state_ & nsCollapsed); }
    void SetExpanded(bool value);
    bool CanExpand();
    bool CanCollapse();
    bool HasChildren() const { return (state_ & nsHasChildren) || childCount_ > 0; }
    void SetHasChildren(bool value);
    bool Focused() const;
    void SetFocused(bool value);
    bool Selected() const;
    void SetSelected(bool value);
    void MakeVisible();
    bool IsDeleting() const;
    bool IsGroupNode();
    bool HotTrack() const;
    void EndEdit(bool cancel);
    RECT DisplayRect(bool textOnly) const;

    // Sorting of the children.
    void AlphaSort(bool recurse = false) { CustomSort(nullptr, recurse); }
    void CustomSort(TcxTreeListCompareFunc compare, bool recurse = false);

    // Images.
    int GetNodeImageIndex(TcxTreeListImageIndexType type);
    void SetNodeImageIndex(TcxTreeListImageIndexType type, int value);
    int ImageIndex() { return GetNodeImageIndex(tlitImageIndex); }
    int SelectedIndex() { return GetNodeImageIndex(tlitSelectedIndex); }
    int StateIndex() { return GetNodeImageIndex(tlitStateIndex); }
    int StoredImageIndex(TcxTreeListImageIndexType type) const { return imageIndexes_[type]; }
    void SetStoredImageIndex(TcxTreeListImageIndexType type, int value) { imageIndexes_[type] = value; }

    // Navigation.
    TcxTreeListNode* getFirstChild() const { return firstChild_; }
    TcxTreeListNode* GetLastChild() const { return lastChild_; }
    TcxTreeListNode* getNextSibling() const { return next_; }
    TcxTreeListNode* getPrevSibling() const { return prev_; }
    TcxTreeListNode* GetNextChild(TcxTreeListNode* child) const { return child ? child->next_ : nullptr; }
    TcxTreeListNode* GetPrevChild(TcxTreeListNode* child) const { return child ? child->prev_ : nullptr; }
    TcxTreeListNode* GetNextSiblingEx(TcxTreeListNode* child, bool forward) const
    {
        return forward ? GetNextChild(child) : GetPrevChild(child);
    }
    TcxTreeListNode* GetNext() const;
    TcxTreeListNode* GetPrev() const;
    TcxTreeListNode* GetNextVisible() const;
    TcxTreeListNode* GetPrevVisible() const;
    TcxTreeListNode* GetNextVisibleEx(bool backward) const { return backward ? GetPrevVisible() : GetNextVisible(); }
    TcxTreeListNode* GetItem(int index) const;
    int IndexOf(const TcxTreeListNode* child) const;
    TcxTreeListNode* GetRootParent() const;
    bool HasAsParent(const TcxTreeListNode* node) const;
    int Level() const;
    int AbsoluteIndex() const;
    int VisibleIndex() const;
    bool IsFirst() const { return prev_ == nullptr; }
    bool IsLast() const { return next_ == nullptr; }
    virtual bool GetIsFirstVisible() const;
    virtual bool GetIsLastVisible() const;
    bool IsVisible() const;
    TcxCustomTreeListControl* TreeList() const;
    TcxControlDataController* DataController() const;
    TcxTreeListNodes* Owner() const { return owner_; }
    TcxTreeListNode* Parent() const { return parent_; }
    int Count() const { return childCount_; }
    int Index() const { return index_; }
    int RecordIndex() const { return recordIndex_; }
    void SetRecordIndex(int value) { recordIndex_ = value; }
    std::uint32_t State() const { return state_; }
    void SetState(std::uint32_t value) { state_ = value; }
    void* Data() const { return data_; }
    void SetData(void* value) { data_ = value; }
    int StoredVisibleIndex() const { return visibleIndex_; }

    // The node's part of the data stream: record index, state bits and the
    // child count when it has or claims children (0 otherwise); the unbound
    // node adds its image indexes.
    virtual void ReadData(hostlib::TStream& stream, int& childCount);
    virtual void WriteData(hostlib::TStream& stream);

    // IcxDragSizing
    bool CanSizing(TcxDragSizingDirection direction) override;
    RECT GetSizingBoundsRect(TcxDragSizingDirection direction) override;
    int GetSizingIncrement(TcxDragSizingDirection) override { return 1; }
    bool IsDynamicUpdate() override { return false; }
    void SetSizeDelta(TcxDragSizingDirection direction, int delta) override;

protected:
    void Destroy() override;

private:
    friend class TcxTreeListNodes;
    friend class TreeListSortJob;

    void InternalRemove();
    void LinkAsLastChild(TcxTreeListNode* parent);
    void LinkAsFirstChild(TcxTreeListNode* parent);
    void LinkBefore(TcxTreeListNode* sibling);
    // Renumbers the sibling indexes from this node on.
    void RenumberFrom();
    bool OwnDeletingMark() const { return (state_ & nsDeleting) != 0; }

    TcxTreeListNodes* owner_ = nullptr;
    TcxTreeListNode* parent_ = nullptr;
    TcxTreeListNode* firstChild_ = nullptr;
    TcxTreeListNode* lastChild_ = nullptr;
    TcxTreeListNode* prev_ = nullptr;
    TcxTreeListNode* next_ = nullptr;
    int childCount_ = 0;
    int index_ = 0;
    int recordIndex_ = -1;
    std::uint32_t state_ = nsCollapsed;
    void* data_ = nullptr;
    int imageIndexes_[3] = {-1, -1, -1};
    int visibleIndex_ = -1;
};

class TcxTreeListRootNode : public TcxTreeListNode {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    int AddDataControllerRecord() override { return -1; }
};

class TcxUnboundTreeListNode : public TcxTreeListNode {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(TcxTreeListNodes* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void ReadData(hostlib::TStream& stream, int& childCount) override;
    void WriteData(hostlib::TStream& stream) override;
};

class TcxTreeListNodes : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr std::uint32_t nssDestroying = 0x02;
    static constexpr std::uint32_t nssReading = 0x80;
    static constexpr std::uint32_t nssDirty = 0x1000;

    virtual void Construct(TcxCustomTreeListControl* owner);
    hostlib::TPersistent* GetOwner() const override;
    // Copies the nodes of another tree list (through its data stream).
    void Assign(hostlib::TPersistent* source) override;
    // Links a node read from a stream as the last child of parent.
    void LinkReadNode(TcxTreeListNode* node, TcxTreeListNode* parent) { node->LinkAsLastChild(parent); }

    void Clear();
    virtual void Changed();
    virtual void CalculateInfo(bool locked);
    virtual void DoNodeChanged(TcxTreeListNode* node);
    virtual TcxTreeListNode* GetVisibleNode(int& index);
    void SetTopVisibleIndex(int index);
    TcxTreeListNode* GetAbsoluteItem(int index) const;
    TcxTreeListNode* GetItem(int index) const;
    int GetCount() const;
    int GetMaxLevel();
    int GetVisibleCount();
    TcxTreeListNode* GetTopVisibleNode();
    TcxTreeListNode* InternalAddNode(TcxTreeListNode* node, TcxTreeListNode* relative, TcxTreeListNodeAttachMode mode);

    TcxTreeListNode* Root() const { return root_; }
    TcxCustomTreeListControl* TreeList() const { return owner_; }
    std::uint32_t State() const { return state_; }
    bool HasState(std::uint32_t bits) const { return (state_ & bits) != 0; }
    void SetStateBits(std::uint32_t bits, bool on) { state_ = on ? (state_ | bits) : (state_ & ~bits); }
    void MarkDirty() { state_ |= nssDirty; }
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int value) { topIndex_ = value; }
    TcxTreeListNode* TopNode() const { return topNode_; }
    void SetTopNode(TcxTreeListNode* value) { topNode_ = value; }
    int FocusedVisibleIndex() const { return focusedVisibleIndex_; }
    void SetFocusedVisibleIndex(int value) { focusedVisibleIndex_ = value; }
    void ForgetTopNodeIf(TcxTreeListNode* node)
    {
        if (topNode_ == node) topNode_ = nullptr;
    }

protected:
    void Destroy() override;

private:
    TcxTreeListNode* NearestStart(int index, bool& forward);

    TcxCustomTreeListControl* owner_ = nullptr;
    TcxTreeListNode* root_ = nullptr;
    std::uint32_t state_ = nssDirty;
    int visibleCount_ = 0;
    int maxLevel_ = 0;
    int topIndex_ = 0;
    TcxTreeListNode* topNode_ = nullptr;
    int focusedVisibleIndex_ = -1;
};

// ---- helpers the control creates --------------------------------------------------------

// Hit codes: bit numbers of the hit test's state.
inline constexpr int tlhcBand = 4, tlhcHeaderPanel = 5, tlhcBandHeader = 6, tlhcButton = 7, tlhcColumn = 8,
                     tlhcColumnHeader = 9, tlhcFooterPanel = 10, tlhcColumnFooter = 11, tlhcIndicator = 12,
                     tlhcNode = 13, tlhcFixedSeparator = 15, tlhcHorzSizing = 16, tlhcVertSizing = 17,
                     tlhcImage = 18, tlhcStateImage = 19, tlhcPreview = 20, tlhcIndent = 21;

// What lies under a point of the tree list: band, column and node, the
// part of them, and the edges that size a band, a column or a row.
class TcxTreeListHitTest : public TcxCustomHitTestController {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // How far beyond an edge the mouse still takes it.
    static constexpr int kSizingMargin = 3;
    // Calculations kept after a double click.
    static constexpr int kSkipCount = 4;

    bool AllowDesignMouseEvents(int x, int y, hostlib::TShiftState shift) override;
    void DoCalculate() override;
    hostlib::TCursor GetCurrentCursor() override;
    void HitTestItemChanged(hostlib::TObject* prevItem) override;
    virtual bool CheckHitInBands();
    virtual TcxTreeListHeaderViewInfo* GetHitTestItem();
    virtual void Update();
    virtual bool CanMoving();
    virtual bool CanSizing(TcxDragSizingDirection& direction);

    bool CanSizing();
    bool GetState(int bit) const { return GetHasCode(std::uint64_t{1} << bit); }
    void SetHitState(int bit, bool value) { SetHasCode(std::uint64_t{1} << bit, value); }
    bool HitAtImages() const { return GetState(tlhcImage) || GetState(tlhcStateImage); }
    TcxTreeListBand* HitBand() const { return hitBand_; }
    TcxTreeListColumn* HitColumn() const { return hitColumn_; }
    TcxTreeListNode* HitNode() const { return hitNode_; }
    TcxTreeListNode* SizingNode() const { return sizingNode_; }
    TcxTreeListHeaderViewInfo* PressedHeader() const { return pressedHeader_; }
    void SetPressedHeader(TcxTreeListHeaderViewInfo* header) { pressedHeader_ = header; }
    int SkipCount() const { return skipCount_; }
    void SetSkipCount(int value) { skipCount_ = value; }
    TcxCustomTreeListControl* GetTreeList() const;
    TcxTreeListViewInfo* GetViewInfo() const;

private:
    bool Check(const RECT& r) const;
    bool CheckHitInBand(TcxTreeListBandViewInfo* band);
    bool CheckHitInColumn(TcxTreeListColumnViewInfo* column);
    void CheckHitInNodes();
    bool CheckHitInNode(TcxTreeListNodeViewInfo* row);
    bool HitInGroups(TcxTreeListNodeViewInfo* row);
    bool HitInGroup(TcxTreeListCellsGroupViewInfo* group);
    bool HitInIndent(TcxTreeListNodeViewInfo* row);
    bool HitInItem(TcxCustomViewInfoItem* item, int code, int margin);
    IcxDragSizing* FindSizingEdge(TcxDragSizingDirection& direction, bool& found);
    bool IsSizingDrag() const;

    TcxTreeListBand* hitBand_ = nullptr;
    TcxTreeListColumn* hitColumn_ = nullptr;
    TcxTreeListNode* hitNode_ = nullptr;
    TcxTreeListHeaderViewInfo* pressedHeader_ = nullptr;
    TcxTreeListNode* sizingNode_ = nullptr;
    hostlib::TObject* hitItem_ = nullptr;
    int skipCount_ = 0;
    // The codes of the last full calculation, kept while skipping.
    std::uint64_t calculatedState_ = 0;
};

class TcxTreeListController;
class TcxControllerAutoScrollingObject;
class TcxTreeListCustomizing;

// Moves the focused cell: rows are visible node indexes, cells indexes in
// the list of visible columns.
class TcxTreeListCellNavigator : public TcxCustomCellNavigator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxCustomInplaceEditContainer* SelectCell(bool forward, bool nextRow, int& rowIndex, int& cellIndex) override;
    void CalcNextRow(bool forward, int& rowIndex, int& cellIndex) override;
    TcxCustomInplaceEditContainer* GetCellContainer(int rowIndex, int cellIndex) override;
    int GetCount(int rowIndex) override;
    void Init(int& rowIndex, int& cellIndex, int& rowCount) override;
    void SetFocusCell(int rowIndex, int cellIndex, hostlib::TShiftState shift) override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;

    bool IsGroupRow(int rowIndex);
    // The visible index in band of the column standing in a band row at the
    // given column's position.
    int GetCellIndex(TcxTreeListColumn* column, int bandRow);
    TcxTreeListNode* GetFocusedNode();
    TcxTreeListController* TreeListController() const;
    TcxCustomTreeListControl* TreeList() const;

private:
    TcxTreeListNode* VisibleNode(int rowIndex) const;
    bool MoveInBand(bool forward, int& cellIndex);
    int GoToNextNodeCell(bool forward, int rowIndex, int cellIndex);
};

// Turns keys and the mouse into focus, selection, expansion, sorting,
// scrolling, incremental search and hot tracking.
class TcxTreeListController : public TcxCustomControlController {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxTreeListNode* GetNode(int recordIndex) const;
    TcxTreeListNode* GetFocusedNode() const;
    void SetFocusedNode(TcxTreeListNode* node);
    TcxCustomTreeListControl* TreeList() const;
    TcxTreeListHitTest* HitTest() const;

    // ---- input
    void MouseLeave() override;
    void DoCancelMode() override;
    void BeforeMouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void BeforePaint() override;
    void DoMouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void DoNextPage(bool forward, hostlib::TShiftState shift) override;
    void FocusedItemChanged(TcxCustomInplaceEditContainer* prevFocusedItem) override;
    void FocusedRecordChanged(int prevFocusedRowIndex, int focusedRowIndex) override;
    bool IsKeyForController(WORD key, hostlib::TShiftState shift) override;
    void SetFocusedRecordIndex(int value) override;
    hostlib::TClass GetNavigatorClass() override;
    void CancelIncSearching() override;
    TcxCustomInplaceEditContainer* GetIncSearchingItem() override;
    std::string GetIncSearchingText() override { return incSearchText_; }
    bool GetIsIncSearching() override { return !incSearchText_.empty(); }
    void SearchLocate(TcxCustomInplaceEditContainer* item, const std::string& value) override;
    void SearchLocateNext(TcxCustomInplaceEditContainer* item, bool forward) override;
    void UpdateRecord(int recordIndex) override;
    void ControlFocusChanged() override;
    void DblClick() override;
    hostlib::TCursor GetCursor(int x, int y) override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyUp(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void Scroll(hostlib::TScrollBarKind kind, hostlib::TScrollCode code, int& position) override;
    void SetFocusedRecordItem(int recordIndex, TcxCustomInplaceEditContainer* item) override;

    virtual void CheckHitItemOnMouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y);
    virtual void DoShowNextPageEx(bool forward, bool moveFocus, hostlib::TShiftState shift);
    // Keys that act on the focused node; true when the key was taken.
    virtual bool IsNodeKeyHandle(TcxTreeListNode* node, WORD& key, hostlib::TShiftState shift);
    virtual bool DoSearch(TcxTreeListNode* node, int itemIndex, bool forward, const std::string& text);
    virtual void Select(TcxTreeListNode* node, hostlib::TShiftState shift);
    virtual bool IsDestroying();

    void CancelSelection(bool keepFocused);
    TcxTreeListNode* GetSelectionAnchor();
    TcxTreeListNode* SelectionAnchor() const { return selectionAnchor_; }
    bool CanDeleteSelection();
    bool CanInsertNode();
    bool DeleteConfirmation();
    void DoNextNode(bool back);
    TcxTreeListNode* GetNextIncSearchNode(TcxTreeListNode* node, bool forward);
    TcxTreeListNode* IncSearchNode() const { return incSearchNode_; }
    void UpdateNodeIncSearchingCell(TcxTreeListNode* node);
    void SetHotTrackNode(TcxTreeListNode* node, hostlib::TShiftState shift);
    void UpdateHotTrackNode(hostlib::TShiftState shift);
    void UpdateHotTrackNode(int x, int y, hostlib::TShiftState shift);
    void SetHotTrackCursor(hostlib::TCursor cursor);
    TcxTreeListNode* HotTrackNode() const { return hotTrackNode_; }
    bool IsControllerEvent() const { return controllerEventDepth_ > 0; }
    hostlib::TShiftState ValidateShift(hostlib::TShiftState shift) const
    {
        return IsControllerEvent() ? storedShift_ : shift;
    }
    // Forgets a node that goes away.
    void NodeDeleting(TcxTreeListNode* node);
    // Counts a running controller handler; while one runs the stored shift
    // stands for the shift handlers are given.
    struct EventScope {
        explicit EventScope(TcxTreeListController* controller) : c(controller) { ++c->controllerEventDepth_; }
        EventScope(const EventScope&) = delete;
        EventScope& operator=(const EventScope&) = delete;
        ~EventScope() { --c->controllerEventDepth_; }
        TcxTreeListController* c;
    };

    // Sorting by a header click: a plain click sorts by the column only,
    // Shift (with multi-sort) adds it, Ctrl removes it.
    virtual void DoChangeColumnSortOrder(TcxTreeListColumn* column, TcxDataSortOrder order, hostlib::TShiftState shift);
    // A header was dragged during the current press; the press was part of a double click.
    bool HeaderDragged() const { return headerDragged_; }
    void SetHeaderDragged(bool value) { headerDragged_ = value; }
    bool DblClickPress() const { return dblClickPress_; }
    void SetDblClickPress(bool value) { dblClickPress_ = value; }

    // The cell of a column in a row: the row's preview or group cell when
    // the column is theirs, else the column's cell in its band's group; none
    // when the column is not shown.
    virtual TcxTreeListEditCellViewInfo* GetCellFromViewInfo(TcxTreeListColumn* column, TcxTreeListNodeViewInfo* row);
    // The same for a node, none when it has no row in view.
    virtual TcxTreeListEditCellViewInfo* GetCellFromViewInfoEx(TcxTreeListColumn* column, TcxTreeListNode* node);
    TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* item) override;
    void BeforeShowEdit() override;
    // None while the control has no layout.
    TcxTreeListNodesViewInfo* NodesViewInfo() const;
    void MakeFocusedItemVisible() override {}
    void MakeFocusedRecordVisible() override;
    void CheckEdit() override;

    // ---- dragging
    TcxDragAndDropObjectClass GetDragAndDropObjectClass() override;
    TcxDragSizingDirection GetResizeDirection() override { return resizeDirection_; }
    bool StartDragAndDrop(const POINT& p) override;
    void BeginDragAndDrop() override;
    void EndDragAndDrop(bool accepted) override;

    // ---- node dragging through the host's drag
    static constexpr int kNodeDragStrip = 10;
    static constexpr int kDragKindMove = 0, kDragKindCopy = 1, kDragKindNoDrop = 2, kDragKindInsert = 3;
    bool CanDrag(int x, int y) override;
    void BeforeStartDrag() override;
    void DragOver(hostlib::TObject* source, int x, int y, hostlib::TDragState state, bool& accept) override;
    void DragDrop(hostlib::TObject* source, int x, int y) override;
    void EndDrag(hostlib::TObject* target, int x, int y) override;
    virtual void CheckAutoScrolling(const POINT& p);
    virtual void CheckButtonTimer();
    virtual void DragEnter();
    virtual void DragLeave();
    virtual void DragMove(hostlib::TObject* source, const POINT& p, bool& accept);
    virtual void DropTo(TcxTreeListNode* node, bool onCells);
    virtual void OnExpandTimer(hostlib::TObject* sender);
    virtual bool IsDragCopy();
    void ResetButtonTimer();
    bool IsDragMode() const;
    int GetDragKind(const POINT& p);
    TcxTreeListNode* ExpandTimerNode() const { return expandTimerNode_; }
    hostlib::TTimer* ExpandTimer() const { return expandTimer_.get(); }
    TcxControllerAutoScrollingObject* NodeDragScroller(int side) const;
    void ForgetDragNode(TcxTreeListNode* node);

private:
    TcxDragSizingDirection resizeDirection_ = dsdHorz;
    TcxTreeListColumn* dragStartColumn_ = nullptr;
    TcxTreeListNode* dragStartNode_ = nullptr;
    TcxTreeListNode* expandTimerNode_ = nullptr;
    hostlib::ObjectPtr<hostlib::TTimer> expandTimer_;
    hostlib::ObjectPtr<hostlib::TObject> nodeDragScrollers_[4];
    bool headerDragged_ = false;
    bool dblClickPress_ = false;
    void SearchCheck(bool found);
    static bool TypesCharacter(WORD key, hostlib::TShiftState shift);
    bool HitAtNodeEx();
    void ToggleNodeSelection(TcxTreeListNode* node);
    void SelectRange(TcxTreeListNode* node, bool keepOthers);
    void ReleasePressedHeader();
    bool DeleteFocusedSelection();
    int ScrollPosition(hostlib::TScrollCode code, int position, int page, int line, int max, int given);

    int lastTopIndex_ = -1;
    hostlib::TShiftState storedShift_;
    std::string incSearchText_;
    TcxTreeListNode* incSearchNode_ = nullptr;
    int controllerEventDepth_ = 0;
    bool searching_ = false;
    bool destroying_ = false;
    hostlib::TCursor savedCursor_ = hostlib::crDefault;
    TcxTreeListNode* selectionAnchor_ = nullptr;
    TcxTreeListNode* hotTrackNode_ = nullptr;
};


// ---- the control --------------------------------------------------------------------

class TcxCustomTreeListControl : public TcxExtEditingControl,
                                 public IcxNavigator,
                                 public IcxStoredObject,
                                 public IcxStoredParent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr int kVersion = 0x00040002;

    void Construct(hostlib::TComponent* owner) override;
    void Loaded() override;

    // ---- nodes
    void Clear();
    int Count() const;
    TcxTreeListNode* Items(int index) const;
    TcxTreeListNode* TopNode() const;
    TcxTreeListNode* LastNode() const;
    TcxTreeListNode* GetNodeByID(int recordIndex) const;
    void FullExpand();
    void FullCollapse();
    TcxTreeListNodes* Nodes() const { return nodes_.get(); }
    void DeleteSelection();
    // Deletions nest; an error a deletion handler raised is kept until the
    // outermost deletion has finished, then raised (unless the control is
    // going away).
    void BeginNodeDeletion() { ++deletionDepth_; }
    void EndNodeDeletion(bool raise);
    void KeepDeletionError(std::exception_ptr error)
    {
        if (!deletionError_) deletionError_ = error;
    }
    int RecordMapCount() const { return static_cast<int>(recordMap_.size()); }
    // The record map entry (none when empty or out of range).
    TcxTreeListNode* RecordMapNode(int recordIndex) const;

    virtual TcxTreeListNode* AddNode(TcxTreeListNode* node, TcxTreeListNode* relative,
                                     TcxTreeListNodeAttachMode mode, void* data);
    virtual void BeforeAddNode(TcxTreeListNode*, TcxTreeListNode*, TcxTreeListNodeAddMode) {}
    virtual TcxTreeListNode* CreateNode();
    TcxTreeListNode* DoCreateNode();
    void AddToRecordMap(TcxTreeListNode* node);

    // ---- focus
    TcxTreeListNode* FocusedNode() const;
    void SetFocusedNode(TcxTreeListNode* node);
    TcxTreeListColumn* FocusedColumn() const;
    void SetFocusedColumn(TcxTreeListColumn* column);
    virtual void DoSetNodeFocused(TcxTreeListNode* node, bool focused);

    // ---- selection
    void Select(TcxTreeListNode* node, hostlib::TShiftState shift);
    void Select(const std::vector<TcxTreeListNode*>& nodes);
    void Select(hostlib::TList* list);
    void Subselect(TcxTreeListNode* node);
    void Deselect(TcxTreeListNode* node);
    void ClearSelection();
    void SelectAll();
    TcxTreeListNode* GetSelections(hostlib::TList* list);
    std::vector<TcxTreeListNode*> GetSelectionsEx();
    TcxTreeListNode* Selections(int index) const;
    int SelectionCount() const;
    bool IsNodeInSelection(const TcxTreeListNode* node) const;
    void AddToSelection(TcxTreeListNode* node);
    void RemoveFromSelection(TcxTreeListNode* node);
    void BeginUpdateSelection() { ++selectionUpdateCount_; }
    void EndUpdateSelection();
    void CancelUpdateSelection() { if (selectionUpdateCount_ > 0) --selectionUpdateCount_; }
    bool IsSelectionLocked() const { return selectionUpdateCount_ > 0; }
    virtual bool CanMultiSelect();
    bool IsMultiSelect() { return CanMultiSelect(); }

    // ---- columns and bands
    TcxTreeListColumn* CreateColumn(TcxTreeListBand* band = nullptr);
    void DeleteAllColumns();
    TcxTreeListColumn* ColumnByName(const std::string& name) const;
    TcxTreeListColumn* GetColumn(int index) const;
    int GetColumnCount() const { return ItemCount(); }
    TcxTreeListColumn* GetColumnById(int index) const;
    TcxTreeListColumn* GetVisibleColumn(int index) const;
    int GetVisibleColumnCount() const { return static_cast<int>(visibleColumns_.size()); }
    TcxTreeListBand* GetVisibleBand(int index) const;
    int GetVisibleBandCount() const { return static_cast<int>(visibleBands_.size()); }
    std::vector<TcxTreeListBand*>& VisibleBandList() { return visibleBands_; }
    TcxTreeListBands* Bands() const { return bands_.get(); }
    void SetBands(TcxTreeListBands* value) { bands_->Assign(value); }
    void MakeDefaultLayout();
    void RestoreColumnsDefaults();
    void RestoreColumnsWidths();
    virtual bool CanColumnVisible(TcxTreeListColumn*) { return true; }
    void RefreshVisibleIndexes();
    virtual void DoCalculateBandsAutoWidth(TcxTreeListBand* band);
    int GetMaxBandWidth(TcxTreeListBand* band);
    int GetFixedBandCount() const;
    void AssignColumnWidths(TcxTreeListBand* band);
    int GetLevelIndentCount(int level, bool withImages, TcxTreeListNode* node);
    int GetLevelIndentsWidth(int level, bool withImages, TcxTreeListNode* node);
    virtual int ImagesIndentWidth();
    bool HasImages() const { return Images() || StateImages(); }
    int GetIndentWidth(bool flag) const { return flag ? leftMostIndentWidth_ : 0; }
    void ApplyBestFit();
    void AdjustColumnsWidth();
    virtual TcxTreeListNode* GetStartNodeForBestFit();
    virtual int GetCountNodeForBestFit() { return -1; }
    // The width a cell needs (the scratch width of the column keeps the maximum).
    int MeasureCellWidth(TcxTreeListColumn* column, TcxTreeListNode* node, bool focused, int height);
    int LeftMostIndentWidth() const { return leftMostIndentWidth_; }
    void SetLeftMostIndentWidth(int value) { leftMostIndentWidth_ = value; }
    int LevelIndentWidth() const { return levelIndentWidth_; }
    int HeaderLineCount() const { return headerLineCount_; }
    void RaiseHeaderLineCount(int value) { if (value > headerLineCount_) headerLineCount_ = value; }
    void ResetHeaderLineCount() { headerLineCount_ = 0; }
    TcxTreeListAutoWidthController* AutoWidthController() { return &autoWidthController_; }
    void ColumnSortOrderChanged(TcxTreeListColumn* column);
    void SetDefaultLayoutFlag(bool value) { defaultLayout_ = value; }
    bool DefaultLayout() const { return defaultLayout_; }
    void SetDefaultLayout(bool value) { defaultLayout_ = value; }
    virtual void DoUpdateDesignerForms() {}
    void Modified();
    virtual void MakeNodeVisible(TcxTreeListNode* node);
    // A descendant may keep the focused record from changing.
    virtual bool SkipFocusedRecordChanged() { return false; }
    // A new node from the keyboard: before the focused node (above) or as its
    // last child; true when one was added under a focused node.
    virtual bool InsertNode(bool above);
    // The next or previous match of a running incremental search; true when
    // the focus moved.
    bool FindNext(bool forward);
    void CancelSearching() { Controller()->CancelIncSearching(); }
    bool GetSearching() { return Controller()->GetIsIncSearching(); }
    std::string SearchingText() { return Controller()->GetIncSearchingText(); }
    void SetSearchingText(const std::string& text) { Controller()->SetIncSearchingText(text); }

    // ---- clipboard text: tab-separated captions and display texts
    void CopyAllToClipboard() { DoWriteToClipboard(false); }
    void CopySelectedToClipboard() { DoWriteToClipboard(true); }
    bool DoWriteToClipboard(bool selectedOnly);
    bool DoWriteToText(bool selectedOnly, std::string& text);
    virtual void DoWriteHeaderToText(std::string& text);
    virtual void DoWriteNodeToText(TcxTreeListNode* node, std::string& text);

    // ---- searching: the first node from start (the first node when none)
    // for which filter answers true
    using TcxTreeListFindFunc = bool (*)(TcxTreeListNode* node, void* data);
    TcxTreeListNode* Find(void* data, TcxTreeListNode* start, bool expandedOnly, bool forward,
                          TcxTreeListFindFunc filter);
    // A node whose display text in the column contains the text (case-sensitive).
    TcxTreeListNode* FindNodeByText(const std::string& text, TcxTreeListColumn* column, TcxTreeListNode* start = nullptr,
                                    bool expandedOnly = false, bool forward = true);

    // ---- focus moves
    void GotoBOF();
    void GotoEOF();
    void GotoNext();
    void GotoPrev();
    void GotoNextPage();
    void GotoPrevPage();
    bool IsBOF() override;
    bool IsEOF() override;

    // ---- the navigator's view of the list
    bool CanDelete() override;
    bool CanEdit() override;
    bool CanInsert() override;
    bool GetNavigatorIsActive() override;
    bool IsBookmarkAvailable() override;
    bool GetIsEditing() override;
    void ClearBookmark() override;
    void DoAction(int buttonIndex) override;
    TcxNavigatorControlNotifier* GetNotifier() override { return navigatorNotifier_.get(); }
    bool IsActionSupported(int buttonIndex) override { return buttonIndex >= 0 && buttonIndex <= 13; }
    bool HasData();
    void SaveBookmark();
    void GotoBookmark();

    // ---- data stream: the header (version, block length) checked before
    // anything changes; the nodes part read or written
    virtual void ReadData(hostlib::TStream& stream);
    virtual void WriteData(hostlib::TStream& stream);
    // Reads the 8-byte header at the position and returns the block's end;
    // raises "Invalid stream format" when the block does not fit the stream.
    std::int64_t CheckStreamHeader(hostlib::TStream& stream);
    virtual void DoAssignNodes(TcxCustomTreeListControl*) {}

    // ---- layout storage: columns and bands
    void StoreToIniFile(const std::string& fileName, bool reCreate = true);
    void StoreToRegistry(const std::string& key, bool reCreate = true);
    void StoreToStream(hostlib::TStream* stream);
    void RestoreFromIniFile(const std::string& fileName, bool childrenCreating = false, bool childrenDeleting = false);
    void RestoreFromRegistry(const std::string& key, bool childrenCreating = false, bool childrenDeleting = false);
    void RestoreFromStream(hostlib::TStream* stream, bool childrenCreating = false, bool childrenDeleting = false);
    std::string GetObjectName() override { return GetStoredObjectName(); }
    bool GetProperties(hostlib::TStrings* properties) override { return GetStoredObjectProperties(properties); }
    void GetPropertyValue(const std::string& name, hostlib::Variant& value) override
    {
        GetStoredPropertyValue(name, value);
    }
    void SetPropertyValue(const std::string& name, const hostlib::Variant& value) override
    {
        SetStoredPropertyValue(name, value);
    }
    hostlib::TObject* CreateChild(const std::string& objectName, const std::string& className) override
    {
        return StoredCreateChild(objectName, className);
    }
    void DeleteChild(const std::string& objectName, hostlib::TObject* object) override
    {
        StoredDeleteChild(objectName, object);
    }
    void GetChildren(hostlib::TStrings* children) override { GetStoredChildren(children); }
    // While a layout is restored: a column's place in the sorted-columns
    // list (-1: none) and its band, applied once everything is read.
    void NoteStoredSortIndex(TcxTreeListColumn* column, int index);
    void NoteStoredBandIndex(TcxTreeListColumn* column, int index);

    // ---- layout
    TcxTreeListViewInfo* TreeListViewInfo() const;
    int BorderSize() { return GetBorderSize(); }
    int GetHeaderHeight() const;
    int GetBandPanelHeight() const;
    int GetHeaderPanelHeight() const { return GetHeaderHeight() + GetBandPanelHeight(); }
    int GetFooterHeight() const;
    int RealBandLineHeight() const { return realBandLineHeight_; }
    void SetRealBandLineHeight(int value) { realBandLineHeight_ = value; }
    void InitScrollBarsParameters() override;
    int GetTopVisibleIndex() const;
    void SetTopVisibleIndex(int index);
    TcxTreeListNode* GetTopVisibleNode() const;
    void SetTopVisibleNode(TcxTreeListNode* node);
    TcxTreeListNode* GetLastVisibleNode() const;
    void SetLastVisibleNode(TcxTreeListNode* node);
    int GetVisibleCount() const;
    void SetGlassCursor();
    void RestoreCursor();
    int GlassCursorCount() const { return glassCursorCount_; }
    RECT DragDropImageDisplayRect() override;
    void DrawDragDropImage(hostlib::TBitmap* bitmap, TcxCanvas* canvas) override;
    void DragDrop(hostlib::TObject* source, int x, int y) override;
    virtual std::string GetDragDropText();
    virtual void GetDragDropViewParams(TcxViewParams& params);
    hostlib::TCustomImageList* Images() const { return images_.list; }
    void SetImages(hostlib::TCustomImageList* value);
    hostlib::TCustomImageList* StateImages() const { return stateImages_.list; }
    void SetStateImages(hostlib::TCustomImageList* value);
    virtual void OnChangeImages(hostlib::TObject* sender);
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;

    // ---- options
    TcxTreeListOptionsView* OptionsView() const;
    TcxTreeListOptionsBehavior* OptionsBehavior() const;
    TcxTreeListOptionsData* OptionsData() const;
    TcxTreeListOptionsCustomizing* OptionsCustomizing() const { return optionsCustomizing_.get(); }
    void SetOptionsCustomizing(TcxTreeListOptionsCustomizing* value) { optionsCustomizing_->Assign(value); }
    TcxTreeListOptionsSelection* OptionsSelection() const { return optionsSelection_.get(); }
    void SetOptionsSelection(TcxTreeListOptionsSelection* value) { optionsSelection_->Assign(value); }
    TcxTreeListPreview* Preview() const { return preview_.get(); }
    void SetPreview(TcxTreeListPreview* value) { preview_->Assign(value); }
    TcxTreeListStyles* Styles() const;
    void SetStyles(TcxTreeListStyles* value) { TcxExtEditingControl::SetStyles(value); }
    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int value);
    bool IsDefaultRowHeightAssigned() const { return defaultRowHeight_ != 0; }
    // Wiring from the option objects.
    void ChangeDelayChanged(int value);
    void HeaderSingleLineChanging();
    void RefreshNavigatorButtons();
    TcxNavigatorControlNotifier* NavigatorNotifier() const { return navigatorNotifier_.get(); }
    hostlib::TTimer* ChangeTimer() const { return changeTimer_.get(); }

    // ---- update
    void Freeze() { ++freezeCount_; }
    void UnFreeze();
    bool IsFreeze() const { return freezeCount_ > 0; }
    bool IsLocked() override;
        void FullRefresh() { LayoutChanged(); }
    void StoreTopPos();
    void RestoreTopPos();

    // ---- sorting
    bool Sorted() const { return !sortedColumns_.empty(); }
    void SetSorted(bool value);
    void ClearSorting() { SetSorted(false); }
    int GetSortedColumnCount() const { return static_cast<int>(sortedColumns_.size()); }
    TcxTreeListColumn* GetSortedColumn(int index) const { return sortedColumns_.at(static_cast<std::size_t>(index)); }
    void DisableSorting() { ++sortingDisabled_; }
    void EnableSorting();
    void NeedSortPost() { sortPosted_ = true; }
    void CancelSortPost() { sortPosted_ = false; }
    bool IsNeedSortPost() const { return sortPosted_; }
    void SetSortOrderChangedFlag() { sortOrderChanged_ = true; }
    virtual void DoSortNodes();
    virtual void RecreateSortOrdersList();
    virtual void RestoreSorting() {}
    const std::vector<TcxDataSortInfo>& SortOrders() const { return sortOrders_; }
    virtual void DoOnCompare(TcxTreeListNode* node1, TcxTreeListNode* node2, int& result);
    void RefreshAfterSort();

    // ---- dispatchers
    virtual void DoChanged(bool delayed);
    virtual bool DoCanNodeCollapse(TcxTreeListNode* node);
    virtual bool DoCanNodeExpand(TcxTreeListNode* node);
    virtual bool DoCanSelectNode(TcxTreeListNode* node);
    virtual void DoSetNodeExpanded(TcxTreeListNode* node, bool expand);
    virtual int DoGetNodeImageIndex(TcxTreeListNode* node, TcxTreeListImageIndexType type);
    virtual void DoSetNodeImageIndex(TcxTreeListNode* node, TcxTreeListImageIndexType type, int value);
    virtual bool DoIsGroupNode(TcxTreeListNode* node);
    virtual int DoGetNodeValueCount() { return GetColumnCount(); }
    virtual void DoNodeChanged(TcxTreeListNode*) { LayoutChanged(); }
    virtual void DoSelectionChanged();
    virtual void DoFocusedRecordChanged(int prevRecordIndex, int recordIndex);
    virtual void DoOnDeletion(TcxTreeListNode* node) { OnDeletion(this, node); }
    virtual void DoOnExpanded(TcxTreeListNode* node) { OnExpanded(this, node); }
    virtual void DoOnCollapsed(TcxTreeListNode* node) { OnCollapsed(this, node); }
    virtual void DoSorting();
    virtual void DoOnAfterSorting() { OnAfterSorting(this); }
    virtual void DoBandSizeChanged(TcxTreeListBand* band);
    virtual void DoColumnSizeChanged(TcxTreeListColumn* column);
    virtual void DoCheckDeletedNode(TcxTreeListNode* node);
    virtual void DoDeleteNode(TcxTreeListNode* node);
    virtual void DoRemoveNode(TcxTreeListNode* node);
    virtual void DoValidateDeletedNodes();
    virtual void DoRecordChanged(int recordIndex, int itemIndex);
    virtual void DoDataChangedEvent();
    virtual void DoLayoutChangedEvent();
    virtual void DoBandHeaderClick(TcxTreeListBand* band);
    virtual void DoColumnHeaderClick(TcxTreeListColumn* column);
    virtual void DoOnHotTrackNode(TcxTreeListNode* node, hostlib::TShiftState shift, hostlib::TCursor& cursor);
    virtual void DoOnTopRecordIndexChanged() { OnTopRecordIndexChanged(this); }
    virtual void DoFocusedItemChanged(TcxCustomInplaceEditContainer* prevItem, TcxCustomInplaceEditContainer* item);
    void UpdateFocusedRecordPost();
    void PostUpdateFocusedRecord();
    bool IsFocusedRecordUpdatePosted() const { return focusedRecordUpdatePosted_; }
    void CheckFocusedItem();
    virtual void UpdateNode(TcxTreeListNode* node);
    virtual void InternalMove(TcxTreeListNode* node, TcxTreeListNode* destination, TcxTreeListNodeAttachMode mode);
    virtual TcxTreeListNode* InternalCopy(TcxTreeListNode* node, TcxTreeListNode* destination);
    void DoInternalMoveTo(TcxTreeListNode* attachNode, TcxTreeListNodeAttachMode mode, bool copy,
                          std::vector<TcxTreeListNode*> nodes);
    int GetVersion() const { return kVersion; }
    // The drag cursor of a controller drag kind (0..3).
    static hostlib::TCursor DragCursorOfKind(int kind);
    void CMDrag(hostlib::TMessage& message);
    // The customization form's owner; none before the sub-objects exist.
    TcxTreeListCustomizing* Customizing() const { return customizing_; }
    void SetCustomizing(TcxTreeListCustomizing* value);
    virtual hostlib::TClass GetCustomizingClass();
    void DoOnCustomizationVisibleChanged() { OnCustomizationFormVisibleChanged(this); }
    // The node focused when a node drag entered the list.
    TcxTreeListNode* DragFocusedNode() const { return dragFocusedNode_; }
    void SetDragFocusedNode(TcxTreeListNode* node) { dragFocusedNode_ = node; }
    void RecordEventHappened() { eventHappened_ = true; }
    bool InImageIndexEvent() const { return inImageIndexEvent_; }

    // ---- events
    hostlib::TNotifyEvent OnAfterSorting;
    hostlib::TNotifyEvent OnChange;
    hostlib::TNotifyEvent OnCustomizationFormVisibleChanged;
    hostlib::TNotifyEvent OnDataChanged;
    hostlib::TNotifyEvent OnLayoutChanged;
    hostlib::TNotifyEvent OnSelectionChanged;
    hostlib::TNotifyEvent OnSorting;
    hostlib::TNotifyEvent OnTopRecordIndexChanged;
    TcxTreeListBandChangedEvent OnBandHeaderClick;
    TcxTreeListItemChangedEvent OnBandSizeChanged;
    TcxTreeListItemChangedEvent OnColumnSizeChanged;
    TcxTreeListNodeChangingEvent OnCanSelectNode;
    TcxTreeListNodeChangingEvent OnCollapsing;
    TcxTreeListNodeChangingEvent OnExpanding;
    TcxTreeListNodeChangedEvent OnCollapsed;
    TcxTreeListNodeChangedEvent OnDeletion;
    TcxTreeListNodeChangedEvent OnExpanded;
    TcxTreeListColumnChangedEvent OnColumnHeaderClick;
    TcxTreeListNodeCompareEvent OnCompare;
    TcxTreeListFocusedColumnChanged OnFocusedColumnChanged;
    TcxTreeListFocusedChangedEvent OnFocusedNodeChanged;
    TcxTreeListGetNodeImageIndexEvent OnGetNodeImageIndex;
    TcxTreeListIsGroupNodeEvent OnIsGroupNode;
    TcxTreeListMoveToEvent OnMoveTo;
    TcxTreeListNodeDataChangedEvent OnNodeChanged;
    TcxTreeListOnHotTrackNodeEvent OnHotTrackNode;
    TcxCustomDrawBackgroundEvent OnCustomDrawBackground;
    TcxCustomDrawViewInfoItemEvent OnCustomDrawBandHeader;
    TcxCustomDrawViewInfoItemEvent OnCustomDrawCellsGroup;
    TcxCustomDrawViewInfoItemEvent OnCustomDrawFooter;
    TcxCustomDrawViewInfoItemEvent OnCustomDrawFooterCell;
    TcxCustomDrawViewInfoItemEvent OnCustomDrawHeader;
    TcxCustomDrawViewInfoItemEvent OnCustomDrawHeaderCell;
    TcxCustomDrawViewInfoItemEvent OnCustomDrawIndentCell;
    TcxCustomDrawViewInfoItemEvent OnCustomDrawIndicatorCell;
    TcxCustomDrawViewInfoItemEvent OnCustomDrawPreview;
    TcxTreeListGetNodePreviewHeightEvent OnGetNodePreviewHeight;

    // Form streaming.
    void GetChildren(const std::function<void(hostlib::TComponent*)>& proc, hostlib::TComponent* root) override;
    void SetNodes(TcxTreeListNodes* value) { nodes_->Assign(value); }
    void ReadState(hostlib::TReader& reader) override;
    void Updating() override;
    void Updated() override;
    void SaveColumnsParams();
    void AssignColumnsParams();

protected:
    void Destroy() override;
    void CreateSubClasses() override;
    void DestroySubClasses() override;
    void BeforeUpdate() override;
    void DoLayoutChanged() override;
    void AfterLayoutChanged() override;
    void DataChanged() override;
    void ControlUpdateData(TcxUpdateControlInfo* info) override;
    void DoInplaceEditContainerItemRemoved(TcxCustomInplaceEditContainer* item) override;
    bool DoEditing(TcxCustomInplaceEditContainer* item) override;
    void DoEditChanged(TcxCustomInplaceEditContainer* item) override;
    void DoEdited(TcxCustomInplaceEditContainer* item) override;
    void DoEditValueChanged(TcxCustomInplaceEditContainer* item) override;
    void DoInitEdit(TcxCustomInplaceEditContainer* item, TcxCustomEdit* edit) override;
    void WndProc(hostlib::TMessage& message) override;
    hostlib::TClass GetControllerClass() override { return TcxTreeListController::StaticClass(); }
    hostlib::TClass GetHitTestControllerClass() override { return TcxTreeListHitTest::StaticClass(); }
    hostlib::TClass GetViewInfoClass() override { return TcxTreeListViewInfo::StaticClass(); }
    hostlib::TClass GetPainterClass() override;
    hostlib::TClass GetControlStylesClass() override { return TcxTreeListStyles::StaticClass(); }
    hostlib::TClass GetOptionsBehaviorClass() override { return TcxTreeListOptionsBehavior::StaticClass(); }
    hostlib::TClass GetOptionsDataClass() override { return TcxTreeListOptionsData::StaticClass(); }
    hostlib::TClass GetOptionsViewClass() override { return TcxTreeListOptionsView::StaticClass(); }
    virtual hostlib::TClass GetBandItemClass() { return TcxTreeListBand::StaticClass(); }
    virtual hostlib::TClass GetNodesClass() { return TcxTreeListNodes::StaticClass(); }
    virtual hostlib::TClass GetTreeListColumnClass() { return TcxTreeListColumn::StaticClass(); }
    virtual void DoClear();
    virtual void DoSelectAll();
    virtual std::string GetStoredObjectName() { return Name(); }
    virtual bool GetStoredObjectProperties(hostlib::TStrings*) { return true; }
    virtual void GetStoredPropertyValue(const std::string&, hostlib::Variant&) {}
    virtual void SetStoredPropertyValue(const std::string&, const hostlib::Variant&) {}
    virtual void GetStoredChildren(hostlib::TStrings* children);
    virtual hostlib::TObject* StoredCreateChild(const std::string& objectName, const std::string& className);
    virtual void StoredDeleteChild(const std::string&, hostlib::TObject*) {}
    virtual void DeleteSelectionList(std::vector<TcxTreeListNode*>& list);
    virtual void UpdateSelection();
    void CalculateLeftMostIndentWidth();
    // The node under the mouse.
    virtual TcxTreeListNode* GetHitTestNode();

private:
    struct ImageListLink {
        hostlib::TCustomImageList* list = nullptr;
        hostlib::ObjectPtr<hostlib::TChangeLink> link;
    };
    void SetImageList(ImageListLink& holder, hostlib::TCustomImageList* value);
    void DoChangedTimer(hostlib::TObject* sender);
    void RefreshVisibleLists();
    void CalculateLevelIndentWidth();
    void RunSortPost();
    void FreeColumns();
    // Data stream reading: the record stream, then the tree.
    void ReadNodes(hostlib::TStream& stream);
    void ReadRecordsAndTree(hostlib::TStream& stream);
    // One layout storage run.
    void StoreLayout(TcxStorage& storage, void (TcxStorage::*store)(hostlib::TObject*), bool reCreate);
    void RestoreLayout(TcxStorage& storage, void (TcxStorage::*restore)(hostlib::TObject*), bool childrenCreating,
                       bool childrenDeleting);
    static constexpr int kNoStoredIndex = INT_MIN;
    struct RestoredColumn {
        int sortIndex = -1;
        int bandIndex = kNoStoredIndex;
    };
    void InsertFromNavigator();
    void ApplyRestoredColumns(std::map<TcxTreeListColumn*, RestoredColumn>& restored);
    int ColumnIndexOf(TcxTreeListColumn* column) const;

    TcxTreeListAutoWidthController autoWidthController_;
    hostlib::ObjectPtr<TcxTreeListBands> bands_;
    std::vector<TcxTreeListBand*> visibleBands_;
    std::vector<TcxTreeListColumn*> visibleColumns_;
    std::vector<TcxTreeListColumn*> sortedColumns_;
    std::vector<TcxDataSortInfo> sortOrders_;
    std::vector<TcxTreeListNode*> selection_;
    std::vector<TcxTreeListNode*>* selectionBeingDeleted_ = nullptr;
    std::vector<int> deletionQueue_;
    std::vector<TcxTreeListNode*> recordMap_;
    hostlib::ObjectPtr<TcxEditCellViewInfo> measureCell_;
    ImageListLink images_;
    ImageListLink stateImages_;
    int realBandLineHeight_ = 0;
    int glassCursorCount_ = 0;
    hostlib::TCursor savedCursor_ = hostlib::crDefault;
    int leftMostIndentWidth_ = 0;
    int levelIndentWidth_ = 0;
    int headerLineCount_ = 0;
    hostlib::ObjectPtr<hostlib::TTimer> changeTimer_;
    bool defaultLayout_ = false;
    int defaultRowHeight_ = 0;
    int freezeCount_ = 0;
    int sortingDisabled_ = 0;
    int selectionUpdateCount_ = 0;
    int topPosToRestore_ = -1;
    bool sortPosted_ = false;
    bool sortOrderChanged_ = false;
    bool focusedRecordUpdatePosted_ = false;
    bool inImageIndexEvent_ = false;
    bool eventHappened_ = false;
    int deletionDepth_ = 0;
    std::exception_ptr deletionError_;
    TcxTreeListCustomizing* customizing_ = nullptr;
    TcxTreeListNode* dragFocusedNode_ = nullptr;
    hostlib::ObjectPtr<TcxTreeListOptionsCustomizing> optionsCustomizing_;
    hostlib::ObjectPtr<TcxTreeListOptionsSelection> optionsSelection_;
    hostlib::ObjectPtr<TcxTreeListPreview> preview_;
    hostlib::ObjectPtr<TcxNavigatorControlNotifier> navigatorNotifier_;
    hostlib::ObjectPtr<TcxTreeListNodes> nodes_;
    std::map<TcxTreeListColumn*, RestoredColumn>* restoredColumns_ = nullptr;
};

// The unbound tree list placed on forms.
class TcxTreeList : public TcxCustomTreeListControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxTreeListNode* Add(TcxTreeListNode* sibling = nullptr, void* data = nullptr);
    TcxTreeListNode* AddFirst(TcxTreeListNode* sibling = nullptr, void* data = nullptr);
    TcxTreeListNode* AddChild(TcxTreeListNode* parent, void* data = nullptr);
    TcxTreeListNode* AddChildFirst(TcxTreeListNode* parent, void* data = nullptr);
    TcxTreeListNode* Insert(TcxTreeListNode* before, void* data = nullptr);
    TcxTreeListNode* InsertEx(TcxTreeListNode* node, TcxTreeListNode* before, void* data = nullptr);

    void DoSetNodeImageIndex(TcxTreeListNode* node, TcxTreeListImageIndexType type, int value) override;

    // The data stream: a block of version, length, the record stream and
    // the nodes in pre-order, written at the stream's position.
    void SaveToStream(hostlib::TStream& stream);
    void LoadFromStream(hostlib::TStream& stream);
    // Saving replaces the file only once the whole stream is written.
    void SaveToFile(const std::string& fileName);
    void LoadFromFile(const std::string& fileName);
    void DoAssignNodes(TcxCustomTreeListControl* source) override;
    void DefineProperties(hostlib::TFiler& filer) override;
    void Loaded() override;

private:
    void ReadBinaryData(hostlib::TStream& stream);
    // The form's Data until Loaded reads it.
    hostlib::ObjectPtr<hostlib::TMemoryStream> formData_;
};

// Order of columns in the visible list: row, then (Ex) band, then column.
int cxCompareColumnsPos(TcxTreeListColumn* a, TcxTreeListColumn* b);
int cxCompareColumnsPosEx(TcxTreeListColumn* a, TcxTreeListColumn* b);

// The borders grid lines give a cell or cells group.
TcxBorders cxTreeListGridLineBorders(TcxTreeListGridLines lines);
