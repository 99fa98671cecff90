#pragma once
// The style sets of a tree list, its bands and its columns, and the style
// sheet kind whose styles are the tree list's. Every painted element
// resolves its view parameters through a chain: a style an event answers,
// the column's or band's style, the tree list's style, and the painter's
// defaults. Row content is resolved once per style change into caches per
// row parity, at tree-list, band and column level.

#include "components/treelist/cxInplaceContainerViewInfo.h"

class TcxTreeListNode;
class TcxTreeListColumn;
class TcxTreeListBand;
class TcxCustomTreeListControl;

// Slots of the tree list's styles.
inline constexpr int tlsv_Content = ecs_Content;
inline constexpr int tlsv_Background = ecs_Background;
inline constexpr int tlsv_Inactive = ecs_Inactive;
inline constexpr int tlsv_Selection = ecs_Selection;
inline constexpr int tlsv_BandBackground = 4;
inline constexpr int tlsv_BandContent = 5;
inline constexpr int tlsv_BandHeader = 6;
inline constexpr int tlsv_ColumnFooter = 7;
inline constexpr int tlsv_ColumnHeader = 8;
inline constexpr int tlsv_ContentEven = 9;
inline constexpr int tlsv_ContentOdd = 10;
inline constexpr int tlsv_Footer = 11;
inline constexpr int tlsv_IncSearch = 12;
inline constexpr int tlsv_Indicator = 13;
inline constexpr int tlsv_Preview = 14;
inline constexpr int tlsv_HotTrack = 15;

// Slots of a band's and of a column's styles.
inline constexpr int tlbsv_Content = 0;
inline constexpr int tlbsv_Footer = 1;
inline constexpr int tlbsv_Header = 2;
inline constexpr int tlbsv_HeaderBackground = 3;
inline constexpr int tlcsv_Content = ecs_Content;
inline constexpr int tlcsv_Header = 1;
inline constexpr int tlcsv_Footer = 2;

// Sender, the item (band, column, or the node for the preview), style.
using TcxtlOnGetItemStyleEvent = hostlib::Event<hostlib::TObject*, hostlib::TObject*, TcxStyle*&>;
// Sender, the band or column (or none), the node, style.
using TcxtlOnGetContentStyleEvent =
    hostlib::Event<hostlib::TObject*, hostlib::TObject*, TcxTreeListNode*, TcxStyle*&>;
using TcxtlOnGetNodeIndentStyleEvent = hostlib::Event<hostlib::TObject*, TcxTreeListNode*, int, TcxStyle*&>;

// Content parameters of even and odd rows.
struct TcxTreeListContentCache {
    TcxViewParams Even;
    TcxViewParams Odd;
    const TcxViewParams& Of(bool odd) const { return odd ? Odd : Even; }
};

class TcxTreeListStyles : public TcxCustomControlStyles {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void GetDefaultViewParams(int index, void* data, TcxViewParams& params) override;

    TcxViewParams GetBandBackgroundParams(TcxTreeListBand* band);
    TcxViewParams GetBandHeaderParams(TcxTreeListBand* band);
    TcxViewParams GetBandFooterParams(TcxTreeListBand* band);
    TcxViewParams GetBandContentParams(TcxTreeListBand* band, TcxTreeListNode* node);
    TcxViewParams GetColumnHeaderParams(TcxTreeListColumn* column);
    TcxViewParams GetColumnFooterParams(TcxTreeListColumn* column);
    TcxViewParams GetColumnContentParams(TcxTreeListColumn* column, bool odd);
    TcxViewParams GetContentParams(TcxTreeListNode* node, TcxTreeListColumn* column);
    TcxViewParams GetFooterParams();
    TcxViewParams GetIndicatorParams();
    TcxViewParams GetIncSearchParams();
    TcxViewParams GetIndentParams(TcxTreeListNode* node, int level);
    TcxViewParams GetPreviewParams(TcxTreeListNode* node);
    // The values the last step's styles gave are reported through taken.
    virtual TcxViewParams DoGetContentParams(TcxTreeListNode* node, TcxTreeListColumn* column,
                                             TcxStyleValues* taken = nullptr);
    TcxStyle* GetStyleFromEvent(hostlib::TObject* item, const TcxtlOnGetItemStyleEvent& event);
    bool SelectionFontAssigned();
    // Recomputes the content caches of the tree list, its bands and columns.
    void ContentStyleChanged();
    const TcxTreeListContentCache& ContentCache() const { return content_; }
    const TcxViewParams& PreviewCache() const { return preview_; }
    TcxCustomTreeListControl* GetTreeList() const;

    // Published slots beyond the base's four.
    TcxStyle* BandBackground() const { return GetValue(tlsv_BandBackground); }
    void SetBandBackground(TcxStyle* value) { SetValue(tlsv_BandBackground, value); }
    TcxStyle* BandContent() const { return GetValue(tlsv_BandContent); }
    void SetBandContent(TcxStyle* value) { SetValue(tlsv_BandContent, value); }
    TcxStyle* BandHeader() const { return GetValue(tlsv_BandHeader); }
    void SetBandHeader(TcxStyle* value) { SetValue(tlsv_BandHeader, value); }
    TcxStyle* ColumnFooter() const { return GetValue(tlsv_ColumnFooter); }
    void SetColumnFooter(TcxStyle* value) { SetValue(tlsv_ColumnFooter, value); }
    TcxStyle* ColumnHeader() const { return GetValue(tlsv_ColumnHeader); }
    void SetColumnHeader(TcxStyle* value) { SetValue(tlsv_ColumnHeader, value); }
    TcxStyle* ContentEven() const { return GetValue(tlsv_ContentEven); }
    void SetContentEven(TcxStyle* value) { SetValue(tlsv_ContentEven, value); }
    TcxStyle* ContentOdd() const { return GetValue(tlsv_ContentOdd); }
    void SetContentOdd(TcxStyle* value) { SetValue(tlsv_ContentOdd, value); }
    TcxStyle* Footer() const { return GetValue(tlsv_Footer); }
    void SetFooter(TcxStyle* value) { SetValue(tlsv_Footer, value); }
    TcxStyle* IncSearch() const { return GetValue(tlsv_IncSearch); }
    void SetIncSearch(TcxStyle* value) { SetValue(tlsv_IncSearch, value); }
    TcxStyle* Indicator() const { return GetValue(tlsv_Indicator); }
    void SetIndicator(TcxStyle* value) { SetValue(tlsv_Indicator, value); }
    TcxStyle* Preview() const { return GetValue(tlsv_Preview); }
    void SetPreview(TcxStyle* value) { SetValue(tlsv_Preview, value); }
    TcxStyle* HotTrack() const { return GetValue(tlsv_HotTrack); }
    void SetHotTrack(TcxStyle* value) { SetValue(tlsv_HotTrack, value); }

    TcxtlOnGetItemStyleEvent OnGetBandBackgroundStyle;
    TcxtlOnGetItemStyleEvent OnGetBandHeaderStyle;
    TcxtlOnGetItemStyleEvent OnGetBandFooterStyle;
    TcxtlOnGetItemStyleEvent OnGetColumnFooterStyle;
    TcxtlOnGetItemStyleEvent OnGetColumnHeaderStyle;
    TcxtlOnGetItemStyleEvent OnGetPreviewStyle;
    TcxtlOnGetContentStyleEvent OnGetBandContentStyle;
    // Replaces the base's event of this name.
    TcxtlOnGetContentStyleEvent OnGetContentStyle;
    TcxtlOnGetContentStyleEvent OnGetHotTrackStyle;
    TcxtlOnGetNodeIndentStyleEvent OnGetNodeIndentStyle;

private:
    TcxViewParams Chain(int index, std::initializer_list<TcxStyle*> styles);
    TcxStyle* ContentStyleOf(hostlib::TObject* item, TcxTreeListNode* node, const TcxtlOnGetContentStyleEvent& event);
    // Step 3 of a cell's content: the hot-tracked row.
    TcxStyleValues ApplyHotTrack(TcxTreeListNode* node, TcxTreeListColumn* column, TcxViewParams& params);
    bool IsOddRow(TcxTreeListNode* node) const;

    TcxTreeListContentCache content_;
    TcxViewParams preview_;
};

class TcxTreeListBandStyles : public TcxStyles {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void Changed(int index) override;
    using TcxStyles::Changed;
    // Both parities start from the tree list's and take the band's Content over.
    void CachedContentStyleChanged();
    const TcxTreeListContentCache& ContentCache() const { return content_; }
    TcxTreeListBand* GetBand() const;
    TcxCustomTreeListControl* GetTreeList() const;

    TcxStyle* Content() const { return GetValue(tlbsv_Content); }
    void SetContent(TcxStyle* value) { SetValue(tlbsv_Content, value); }
    TcxStyle* Footer() const { return GetValue(tlbsv_Footer); }
    void SetFooter(TcxStyle* value) { SetValue(tlbsv_Footer, value); }
    TcxStyle* Header() const { return GetValue(tlbsv_Header); }
    void SetHeader(TcxStyle* value) { SetValue(tlbsv_Header, value); }
    TcxStyle* HeaderBackground() const { return GetValue(tlbsv_HeaderBackground); }
    void SetHeaderBackground(TcxStyle* value) { SetValue(tlbsv_HeaderBackground, value); }

private:
    TcxTreeListContentCache content_;
};

class TcxTreeListColumnStyles : public TcxEditContainerStyles {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    // Both parities start from the band's (or the tree list's) and take the
    // column's Content over.
    void CachedContentStyleChanged();
    const TcxTreeListContentCache& ContentCache() const { return content_; }
    TcxTreeListColumn* GetColumn() const;
    TcxTreeListBand* GetBand() const;
    TcxCustomTreeListControl* GetTreeList() const;

    TcxStyle* Header() const { return GetValue(tlcsv_Header); }
    void SetHeader(TcxStyle* value) { SetValue(tlcsv_Header, value); }
    TcxStyle* Footer() const { return GetValue(tlcsv_Footer); }
    void SetFooter(TcxStyle* value) { SetValue(tlcsv_Footer, value); }

private:
    TcxTreeListContentCache content_;
};

class TcxTreeListStyleSheet : public TcxCustomStyleSheet {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetStylesClass() const override { return TcxTreeListStyles::StaticClass(); }
    TcxTreeListStyles* Styles() const;
    void SetStyles(TcxTreeListStyles* value) { TcxCustomStyleSheet::SetStyles(value); }
};

// Every value the style assigns replaces the current one.
void cxApplyStyleOver(TcxStyle* style, TcxViewParams& params);
