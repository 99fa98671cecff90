// The tree list's style sets: slot defaults, the resolution of every painted
// element into view parameters, the row-parity content caches and the
// style sheet kind.

#include "components/treelist/cxTLStyles.h"

#include "components/treelist/cxTL.h"

using namespace hostlib;

void cxApplyStyleOver(TcxStyle* style, TcxViewParams& params) { CombineParamsWithStyle(style, {}, params); }

namespace {

// The styles in order, each giving what no earlier one gave; the defaults
// of the index fill the rest. Returns what the styles gave.
TcxStyleValues ChainParams(TcxStyles* styles, int index, std::initializer_list<TcxStyle*> list, TcxViewParams& params)
{
    params = TcxViewParams{};
    TcxStyleValues taken;
    for (TcxStyle* style : list) taken = CombineParamsWithStyle(style, taken, params);
    if (taken == cxAllStyleValues) return taken;
    TcxViewParams defaults;
    styles->GetDefaultViewParams(index, nullptr, defaults);
    if (!taken.Contains(svColor)) params.Color = defaults.Color;
    if (!taken.Contains(svFont)) params.Font = defaults.Font;
    if (!taken.Contains(svTextColor)) params.TextColor = defaults.TextColor;
    if (!taken.Contains(svBitmap)) params.Bitmap = defaults.Bitmap;
    return taken;
}

TcxTreeListStyles* TreeListStylesOf(TcxCustomTreeListControl* treeList)
{
    return treeList ? treeList->Styles() : nullptr;
}

} // namespace

// ---- the tree list's styles -----------------------------------------------------------------

TClass TcxTreeListStyles::StaticClass()
{
    return DefineClass<TcxTreeListStyles, TcxCustomControlStyles>("TcxTreeListStyles", [](ClassBuilder<TcxTreeListStyles>& b) {
        using S = TcxTreeListStyles;
        b.Property("BandBackground", &S::BandBackground, &S::SetBandBackground);
        b.Property("BandContent", &S::BandContent, &S::SetBandContent);
        b.Property("BandHeader", &S::BandHeader, &S::SetBandHeader);
        b.Property("ColumnFooter", &S::ColumnFooter, &S::SetColumnFooter);
        b.Property("ColumnHeader", &S::ColumnHeader, &S::SetColumnHeader);
        b.Property("ContentEven", &S::ContentEven, &S::SetContentEven);
        b.Property("ContentOdd", &S::ContentOdd, &S::SetContentOdd);
        b.Property("Footer", &S::Footer, &S::SetFooter);
        b.Property("HotTrack", &S::HotTrack, &S::SetHotTrack);
        b.Property("IncSearch", &S::IncSearch, &S::SetIncSearch);
        b.Property("Indicator", &S::Indicator, &S::SetIndicator);
        b.Property("Preview", &S::Preview, &S::SetPreview);
        b.EventProperty("OnGetBandBackgroundStyle", &S::OnGetBandBackgroundStyle);
        b.EventProperty("OnGetBandContentStyle", &S::OnGetBandContentStyle);
        b.EventProperty("OnGetBandFooterStyle", &S::OnGetBandFooterStyle);
        b.EventProperty("OnGetBandHeaderStyle", &S::OnGetBandHeaderStyle);
        b.EventProperty("OnGetColumnFooterStyle", &S::OnGetColumnFooterStyle);
        b.EventProperty("OnGetColumnHeaderStyle", &S::OnGetColumnHeaderStyle);
        b.EventProperty("OnGetContentStyle", &S::OnGetContentStyle);
        b.EventProperty("OnGetHotTrackStyle", &S::OnGetHotTrackStyle);
        b.EventProperty("OnGetNodeIndentStyle", &S::OnGetNodeIndentStyle);
        b.EventProperty("OnGetPreviewStyle", &S::OnGetPreviewStyle);
    });
}

TcxCustomTreeListControl* TcxTreeListStyles::GetTreeList() const { return As<TcxCustomTreeListControl>(GetOwner()); }

void TcxTreeListStyles::Assign(TPersistent* source)
{
    if (auto* other = As<TcxTreeListStyles>(source))
        for (int i = tlsv_BandBackground; i <= tlsv_HotTrack; ++i) SetValue(i, other->GetValue(i));
    TcxCustomControlStyles::Assign(source);
}

void TcxTreeListStyles::GetDefaultViewParams(int index, void* data, TcxViewParams& params)
{
    TcxCustomControlStyles::GetDefaultViewParams(index, data, params);
    params.Bitmap = nullptr;
    if (TcxCustomTreeListControl* treeList = GetTreeList()) params.Font = treeList->Font();
    TcxCustomLookAndFeelPainterClass painter = GetPainter();
    switch (index) {
    case tlsv_Content:
    case tlsv_ContentEven:
    case tlsv_ContentOdd:
    case tlsv_Preview:
        params.Color = painter->DefaultContentColor();
        params.TextColor = painter->DefaultContentTextColor();
        break;
    case tlsv_BandBackground:
        params.Color = painter->DefaultHeaderBackgroundColor();
        params.TextColor = painter->DefaultHeaderBackgroundTextColor();
        break;
    case tlsv_BandHeader:
    case tlsv_ColumnHeader:
    case tlsv_Indicator:
        params.Color = painter->DefaultHeaderColor();
        params.TextColor = painter->DefaultHeaderTextColor();
        break;
    case tlsv_ColumnFooter:
    case tlsv_Footer:
        params.Color = painter->DefaultFooterColor();
        params.TextColor = painter->DefaultFooterTextColor();
        break;
    case tlsv_IncSearch:
        params.Color = painter->DefaultSelectionColor();
        params.TextColor = painter->DefaultSelectionTextColor();
        break;
    default: break;
    }
}

TcxViewParams TcxTreeListStyles::Chain(int index, std::initializer_list<TcxStyle*> styles)
{
    TcxViewParams params;
    ChainParams(this, index, styles, params);
    return params;
}

TcxStyle* TcxTreeListStyles::GetStyleFromEvent(TObject* item, const TcxtlOnGetItemStyleEvent& event)
{
    TcxStyle* style = nullptr;
    if (event.Assigned()) event(GetTreeList(), item, style);
    return style;
}

TcxStyle* TcxTreeListStyles::ContentStyleOf(TObject* item, TcxTreeListNode* node, const TcxtlOnGetContentStyleEvent& event)
{
    TcxStyle* style = nullptr;
    if (event.Assigned()) event(GetTreeList(), item, node, style);
    return style;
}

TcxViewParams TcxTreeListStyles::GetBandBackgroundParams(TcxTreeListBand* band)
{
    return Chain(tlsv_BandBackground, {GetStyleFromEvent(band, OnGetBandBackgroundStyle),
                                       band->Styles()->HeaderBackground(), BandBackground()});
}

TcxViewParams TcxTreeListStyles::GetBandHeaderParams(TcxTreeListBand* band)
{
    return Chain(tlsv_BandHeader, {GetStyleFromEvent(band, OnGetBandHeaderStyle), band->Styles()->Header(), BandHeader()});
}

TcxViewParams TcxTreeListStyles::GetBandFooterParams(TcxTreeListBand* band)
{
    return Chain(tlsv_Footer, {GetStyleFromEvent(band, OnGetBandFooterStyle), band->Styles()->Footer(), Footer()});
}

TcxViewParams TcxTreeListStyles::GetBandContentParams(TcxTreeListBand* band, TcxTreeListNode* node)
{
    TcxViewParams params = band->Styles()->ContentCache().Of(IsOddRow(node));
    const TcxStyleValues taken = CombineParamsWithStyle(ContentStyleOf(band, node, OnGetBandContentStyle), {}, params);
    CombineParamsWithStyle(BandContent(), taken, params);
    return params;
}

TcxViewParams TcxTreeListStyles::GetColumnHeaderParams(TcxTreeListColumn* column)
{
    return Chain(tlsv_ColumnHeader, {GetStyleFromEvent(column, OnGetColumnHeaderStyle),
                                     column->TreeListStyles()->Header(), ColumnHeader()});
}

TcxViewParams TcxTreeListStyles::GetColumnFooterParams(TcxTreeListColumn* column)
{
    TcxTreeListBand* band = column->OwnerBand();
    if (!band)
        return Chain(tlsv_ColumnFooter, {GetStyleFromEvent(column, OnGetColumnFooterStyle),
                                         column->TreeListStyles()->Footer(), ColumnFooter(), Footer()});
    TcxViewParams params;
    TcxStyleValues taken = ChainParams(this, tlsv_Footer,
                                       {GetStyleFromEvent(band, OnGetBandFooterStyle), band->Styles()->Footer(), Footer()},
                                       params);
    const TcxStyleValues own = CombineParamsWithStyle(column->TreeListStyles()->Footer(), {}, params);
    for (TcxStyleValue value : {svBitmap, svColor, svFont, svTextColor})
        if (own.Contains(value)) taken.Include(value);
    CombineParamsWithStyle(ColumnFooter(), taken, params);
    return params;
}

TcxViewParams TcxTreeListStyles::GetColumnContentParams(TcxTreeListColumn* column, bool odd)
{
    return column->TreeListStyles()->ContentCache().Of(odd);
}

bool TcxTreeListStyles::IsOddRow(TcxTreeListNode* node) const
{
    // A node that is not shown counts as visible index -1.
    const int index = node ? node->VisibleIndex() : -1;
    return (index & 1) != 0;
}

TcxViewParams TcxTreeListStyles::GetContentParams(TcxTreeListNode* node, TcxTreeListColumn* column)
{
    return DoGetContentParams(node, column);
}

TcxViewParams TcxTreeListStyles::DoGetContentParams(TcxTreeListNode* node, TcxTreeListColumn* column, TcxStyleValues* taken)
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    const bool odd = IsOddRow(node);
    TcxStyleValues last;
    TcxViewParams params;
    if (!column || (treeList && treeList->Preview()->Column() == column)) {
        params = content_.Of(odd);
    } else {
        params = GetColumnContentParams(column, odd);
        if (OnGetBandContentStyle.Assigned() && column->OwnerBand())
            last = CombineParamsWithStyle(ContentStyleOf(column->OwnerBand(), node, OnGetBandContentStyle), {}, params);
    }
    if (OnGetContentStyle.Assigned())
        last = CombineParamsWithStyle(ContentStyleOf(column, node, OnGetContentStyle), {}, params);
    if (node && node->HotTrack()) last = ApplyHotTrack(node, column, params);
    if (taken) *taken = last;
    return params;
}

TcxStyleValues TcxTreeListStyles::ApplyHotTrack(TcxTreeListNode* node, TcxTreeListColumn* column, TcxViewParams& params)
{
    TcxStyleValues taken = CombineParamsWithStyle(ContentStyleOf(column, node, OnGetHotTrackStyle), {}, params);
    taken = CombineParamsWithStyle(HotTrack(), taken, params);
    if (!taken.Contains(svTextColor)) params.TextColor = clHighlightText;
    return taken;
}

TcxViewParams TcxTreeListStyles::GetFooterParams() { return Chain(tlsv_Footer, {Footer()}); }

TcxViewParams TcxTreeListStyles::GetIndicatorParams() { return Chain(tlsv_Indicator, {Indicator()}); }

TcxViewParams TcxTreeListStyles::GetIncSearchParams()
{
    TcxViewParams params;
    GetViewParams(tlsv_IncSearch, nullptr, IncSearch(), params);
    return params;
}

TcxViewParams TcxTreeListStyles::GetIndentParams(TcxTreeListNode* node, int level)
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    TcxStyle* indentStyle = nullptr;
    if (OnGetNodeIndentStyle.Assigned()) OnGetNodeIndentStyle(treeList, node, level, indentStyle);
    int distance = node->Level() + (treeList->OptionsView()->ShowRoot() ? 1 : 0) - level;
    if (treeList->OptionsView()->IsCategorizedPaint())
        for (; distance > 0 && node->Parent(); --distance) node = node->Parent();
    TcxStyle* contentStyle = nullptr;
    if (node != treeList->Nodes()->Root()) contentStyle = ContentStyleOf(nullptr, node, OnGetContentStyle);
    TcxViewParams params;
    if (treeList->OptionsView()->UseNodeColorForIndent() || distance < 0) {
        params = content_.Of(IsOddRow(node));
        cxApplyStyleOver(contentStyle, params);
    } else {
        params = Chain(tlsv_Content, {contentStyle, Content()});
    }
    cxApplyStyleOver(indentStyle, params);
    return params;
}

TcxViewParams TcxTreeListStyles::GetPreviewParams(TcxTreeListNode* node)
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    auto* column = treeList ? As<TcxTreeListColumn>(treeList->Preview()->Column()) : nullptr;
    TcxViewParams params = DoGetContentParams(node, column);
    const TcxStyleValues taken = CombineParamsWithStyle(GetStyleFromEvent(node, OnGetPreviewStyle), {}, params);
    CombineParamsWithStyle(Preview(), taken, params);
    return params;
}

bool TcxTreeListStyles::SelectionFontAssigned()
{
    TcxEditingControl* control = GetControl();
    const bool focused = control && ((control->Controller() && control->Controller()->GetFocused()) || control->Focused());
    TcxStyle* style = focused ? Selection() : Inactive();
    return style && style->AssignedValues().Contains(svFont);
}

void TcxTreeListStyles::ContentStyleChanged()
{
    preview_ = Chain(tlsv_Preview, {Preview()});
    content_.Even = Chain(tlsv_Content, {ContentEven(), Content()});
    content_.Odd = Chain(tlsv_Content, {ContentOdd(), Content()});
    TcxCustomTreeListControl* treeList = GetTreeList();
    if (!treeList) return;
    for (int i = 0; i < treeList->Bands()->Count(); ++i) treeList->Bands()->Items(i)->Styles()->CachedContentStyleChanged();
    for (int i = 0; i < treeList->GetColumnCount(); ++i)
        treeList->GetColumn(i)->TreeListStyles()->CachedContentStyleChanged();
}

// ---- band styles ----------------------------------------------------------------------------

TClass TcxTreeListBandStyles::StaticClass()
{
    return DefineClass<TcxTreeListBandStyles, TcxStyles>("TcxTreeListBandStyles", [](ClassBuilder<TcxTreeListBandStyles>& b) {
        using S = TcxTreeListBandStyles;
        b.Property("Content", &S::Content, &S::SetContent);
        b.Property("Footer", &S::Footer, &S::SetFooter);
        b.Property("Header", &S::Header, &S::SetHeader);
        b.Property("HeaderBackground", &S::HeaderBackground, &S::SetHeaderBackground);
    });
}

TcxTreeListBand* TcxTreeListBandStyles::GetBand() const { return As<TcxTreeListBand>(GetOwner()); }

TcxCustomTreeListControl* TcxTreeListBandStyles::GetTreeList() const
{
    TcxTreeListBand* band = GetBand();
    return band ? band->TreeList() : nullptr;
}

void TcxTreeListBandStyles::Assign(TPersistent* source)
{
    if (auto* other = As<TcxTreeListBandStyles>(source))
        for (int i = tlbsv_Content; i <= tlbsv_HeaderBackground; ++i) SetValue(i, other->GetValue(i));
    TcxStyles::Assign(source);
}

void TcxTreeListBandStyles::Changed(int index)
{
    TcxStyles::Changed(index);
    if (TcxCustomTreeListControl* treeList = GetTreeList()) treeList->UpdateViewStyles();
}

void TcxTreeListBandStyles::CachedContentStyleChanged()
{
    if (TcxTreeListStyles* styles = TreeListStylesOf(GetTreeList())) content_ = styles->ContentCache();
    cxApplyStyleOver(Content(), content_.Even);
    cxApplyStyleOver(Content(), content_.Odd);
}

// ---- column styles --------------------------------------------------------------------------

TClass TcxTreeListColumnStyles::StaticClass()
{
    return DefineClass<TcxTreeListColumnStyles, TcxEditContainerStyles>(
        "TcxTreeListColumnStyles", [](ClassBuilder<TcxTreeListColumnStyles>& b) {
            using S = TcxTreeListColumnStyles;
            b.Property("Footer", &S::Footer, &S::SetFooter);
            b.Property("Header", &S::Header, &S::SetHeader);
        });
}

TcxTreeListColumn* TcxTreeListColumnStyles::GetColumn() const { return As<TcxTreeListColumn>(GetContainer()); }

TcxTreeListBand* TcxTreeListColumnStyles::GetBand() const
{
    TcxTreeListColumn* column = GetColumn();
    return column ? column->OwnerBand() : nullptr;
}

TcxCustomTreeListControl* TcxTreeListColumnStyles::GetTreeList() const
{
    TcxTreeListColumn* column = GetColumn();
    return column ? column->TreeList() : nullptr;
}

void TcxTreeListColumnStyles::Assign(TPersistent* source)
{
    if (auto* other = As<TcxTreeListColumnStyles>(source)) {
        SetHeader(other->Header());
        SetFooter(other->Footer());
    }
    TcxEditContainerStyles::Assign(source);
}

void TcxTreeListColumnStyles::CachedContentStyleChanged()
{
    if (TcxTreeListBand* band = GetBand()) content_ = band->Styles()->ContentCache();
    else if (TcxTreeListStyles* styles = TreeListStylesOf(GetTreeList())) content_ = styles->ContentCache();
    cxApplyStyleOver(Content(), content_.Even);
    cxApplyStyleOver(Content(), content_.Odd);
}

// ---- style sheet ----------------------------------------------------------------------------

TClass TcxTreeListStyleSheet::StaticClass()
{
    return DefineClass<TcxTreeListStyleSheet, TcxCustomStyleSheet>("TcxTreeListStyleSheet", [](ClassBuilder<TcxTreeListStyleSheet>& b) {
        b.Property("Styles", &TcxTreeListStyleSheet::Styles, &TcxTreeListStyleSheet::SetStyles);
    });
}

TcxTreeListStyles* TcxTreeListStyleSheet::Styles() const { return As<TcxTreeListStyles>(GetStyles()); }
