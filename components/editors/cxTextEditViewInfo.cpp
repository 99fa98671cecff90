// The text editor's view data and view info: text rectangle and flags,
// automatic height, selection colours, content size, painting and hints.
#include <algorithm>
#include <climits>

#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditUtils.h"
#include "components/editors/cxTextEdit.h"

using namespace hostlib;

namespace {

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Contains(const RECT& r, const POINT& p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

bool IsFixedListOrNoEdit(TcxEditEditingStyle style) { return style == esFixedList || style == esNoEdit; }

} // namespace

int TextCharCount(const std::string& text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

size_t TextByteOffset(const std::string& text, int charIndex)
{
    int n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (n++ == charIndex)
            return i;
    }
    return text.size();
}

// ---- offsets -----------------------------------------------------------------------

RECT GetTextEditDrawTextOffset(TAlignment alignment, bool isInplace)
{
    RECT offset{1, 1, alignment == taRightJustify ? 2 : 1, isInplace ? 1 : 3};
    return offset;
}

RECT GetTextEditDrawTextOffset(TcxCustomTextEditViewData* viewData)
{
    RECT offset = GetTextEditDrawTextOffset(viewData->HorzAlignment, viewData->IsInplace);
    if (viewData->IsInplace || !IsFixedListOrNoEdit(viewData->GetProperties()->GetEditingStyle()))
        return offset;
    ++offset.left;
    if (viewData->VertAlignment == taTopJustify) {
        ++offset.top;
        --offset.bottom;
    }
    return offset;
}

// ---- TcxCustomTextEditViewInfo -----------------------------------------------------

TClass TcxCustomTextEditViewInfo::StaticClass()
{
    return DefineClass<TcxCustomTextEditViewInfo, TcxCustomEditViewInfo>("TcxCustomTextEditViewInfo");
}

void TcxCustomTextEditViewInfo::InternalPaint(TcxCanvas* canvas) { DrawTextEdit(canvas, this); }

void TcxCustomTextEditViewInfo::DrawText(TcxCanvas* canvas) { DrawEditText(canvas, this); }

void TcxCustomTextEditViewInfo::Offset(int dx, int dy)
{
    TcxCustomEditViewInfo::Offset(dx, dy);
    OffsetRect(&TextRect, dx, dy);
    if (!TextOutData.Initialized)
        return;
    OffsetRect(&TextOutData.TextRect, dx, dy);
    for (TcxTextRow& row : TextOutData.Rows) {
        row.TextOriginX += dx;
        row.TextOriginY += dy;
    }
}

bool TcxCustomTextEditViewInfo::NeedShowHint(TcxCanvas* canvas, const POINT& p, const RECT& visibleBounds,
                                             std::string& text, bool& isMultiLine, RECT& textRect)
{
    const POINT at{p.x - Left, p.y - Top};
    RECT test = TextRect;
    if (!IsEmptyRect(visibleBounds)) {
        RECT visible = visibleBounds;
        OffsetRect(&visible, -Left, -Top);
        IntersectRect(&test, &visible, &TextRect);
    }
    if (!Contains(test, at))
        return false;
    canvas->SetFont(Font);
    RECT measure = TextRect;
    measure.bottom = INT_MAX / 2;
    const bool singleLine = (DrawTextFlags & cxSingleLine) != 0;
    if (singleLine)
        measure.right = INT_MAX / 2;
    const unsigned flags = (DrawTextFlags & ~cxTextAlignYMask) | cxCalcRowCount;
    const TcxTextParams params = cxCalcTextParams(canvas->Canvas(), flags);
    TcxTextRows rows;
    int rowCount = 0;
    bool cut = !cxMakeTextRows(canvas->Canvas(), Text, measure, params, rows, rowCount, MaxLineCount);
    int bottom = TextRect.top;
    for (int i = 0; !cut && i < rowCount; ++i) {
        std::string row(rows[static_cast<size_t>(i)].Text, static_cast<size_t>(rows[static_cast<size_t>(i)].TextLength));
        row.erase(row.find_last_not_of(' ') + 1);
        const int width = canvas->TextWidth(row);
        bottom += params.RowPitch;
        cut = width > measure.right - measure.left || TextRect.left + width > test.right || bottom > test.bottom;
    }
    if (!cut)
        return false;
    isMultiLine = !singleLine;
    text = Text;
    textRect = TextRect;
    OffsetRect(&textRect, Left, Top);
    return true;
}

// ---- painting ----------------------------------------------------------------------

void DrawTextEdit(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo)
{
    TcxEditBackgroundPaintingStyle mode = bpsSolid;
    if (viewInfo->ComboBoxStyle)
        mode = IsFixedListOrNoEdit(viewInfo->EditingStyle) ? bpsComboListEdit : bpsComboEdit;
    DrawCustomEdit(canvas, viewInfo, !viewInfo->Transparent && !viewInfo->DrawSelectionBar, mode);
    RECT r = viewInfo->ClientRect;
    if (!viewInfo->IsInplace) {
        if (!viewInfo->NativeStyle && !viewInfo->Transparent && viewInfo->EditingStyle != esNoEdit)
            canvas->FrameRect(r, viewInfo->BackgroundColor());
        InflateRect(&r, -1, -1);
    }
    if (viewInfo->IsOwnerDrawing) {
        if (viewInfo->OnCustomDraw)
            viewInfo->OnCustomDraw(canvas, r);
    } else {
        if (viewInfo->DrawSelectionBar) {
            canvas->SetBrushColor(clHighlight);
            canvas->FillRect(r);
        }
        if (!viewInfo->IsEditClass)
            viewInfo->DrawText(canvas);
    }
    if (viewInfo->IsEditClass || !viewInfo->Focused || viewInfo->IsInplace || viewInfo->HasPopupWindow)
        return;
    canvas->Font()->SetColor(viewInfo->DrawSelectionBar ? clHighlightText : clBtnText);
    canvas->SetBrushColor(viewInfo->DrawSelectionBar ? clHighlight : viewInfo->BackgroundColor());
    canvas->DrawFocusRect(r);
}

void DrawEditText(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo)
{
    if (viewInfo->Text.empty())
        return;
    canvas->SetFont(viewInfo->Font);
    canvas->Font()->SetColor(viewInfo->DrawSelectionBar ? clHighlightText : viewInfo->TextColor);
    viewInfo->PrepareCanvasFont(canvas);
    InternalTextOut(canvas, viewInfo, viewInfo->Text, 0, 0, viewInfo->MaxLineCount, viewInfo->SelTextColor,
                    viewInfo->SelBackgroundColor, viewInfo->SelLength, viewInfo->SelStart, viewInfo->DrawTextFlags,
                    viewInfo->TextRect);
}

namespace {

// The selection in bytes of the text, cut to it; none when it starts outside.
void StoreSelection(TcxCustomTextEditViewInfo::TextOutCache& cache, int selStart, int selLength)
{
    const int length = TextCharCount(cache.Text);
    if (selStart < 0 || selStart >= length || selLength <= 0) {
        cache.SelStart = cache.SelLength = 0;
        return;
    }
    selLength = std::min(selLength, length - selStart);
    cache.SelStart = static_cast<int>(TextByteOffset(cache.Text, selStart));
    cache.SelLength = static_cast<int>(TextByteOffset(cache.Text, selStart + selLength)) - cache.SelStart;
}

void LayOutText(TcxCanvas* canvas, TcxCustomTextEditViewInfo::TextOutCache& cache, int leftIndent, int rightIndent,
                int maxLineCount, unsigned flags, const RECT& rect)
{
    cache.Params = cxCalcTextParams(canvas->Canvas(), flags);
    cache.TextRect = cxPrepareRect(rect, cache.Params, leftIndent, rightIndent);
    if (IsEmptyRect(cache.TextRect))
        return;
    bool fitted = cxMakeTextRows(canvas->Canvas(), cache.Text, cache.TextRect, cache.Params, cache.Rows,
                                 cache.RowCount, maxLineCount);
    if (cache.RowCount == 0)
        return;
    if (maxLineCount <= 0 || cache.RowCount < maxLineCount) {
        cache.ForceEndEllipsis = false;
    } else {
        cache.RowCount = maxLineCount;
        cache.ForceEndEllipsis = !fitted && (flags & cxShowEndEllipsis) && (flags & cxEditControl) &&
                                 !(flags & cxSingleLine);
    }
    cxPlaceTextRows(canvas->Handle(), cache.TextRect, cache.Params, cache.Rows, cache.RowCount);
}

} // namespace

void InternalTextOut(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo, const std::string& text, int leftIndent,
                     int rightIndent, int maxLineCount, TColor selTextColor, TColor selBackgroundColor, int selLength,
                     int selStart, unsigned flags, const RECT& rect)
{
    auto& cache = viewInfo->TextOutData;
    if (!cache.Initialized || cache.Text != text) {
        cache = TcxCustomTextEditViewInfo::TextOutCache{};
        cache.Initialized = true;
        cache.Text = text;
        if (!text.empty())
            LayOutText(canvas, cache, leftIndent, rightIndent, maxLineCount, flags, rect);
        StoreSelection(cache, selStart, selLength);
        cache.SelTextColor = selTextColor;
        cache.SelBackgroundColor = selBackgroundColor;
    }
    if (cache.RowCount == 0)
        return;
    cxTextRowsOutHighlight(canvas->Handle(), cache.TextRect, cache.Params, cache.Rows, cache.RowCount, cache.SelStart,
                           cache.SelLength, cache.SelBackgroundColor, cache.SelTextColor, cache.ForceEndEllipsis);
}

// ---- TcxCustomTextEditViewData -----------------------------------------------------

TClass TcxCustomTextEditViewData::StaticClass()
{
    return DefineClass<TcxCustomTextEditViewData, TcxCustomEditViewData>("TcxCustomTextEditViewData");
}

void TcxCustomTextEditViewData::InitCacheData()
{
    TcxCustomEditViewData::InitCacheData();
    isValueEditorWithValueFormatting_ = Properties()->IsValueEditorWithValueFormatting();
}

TColor TcxCustomTextEditViewData::InvertColor(TColor color) { return static_cast<TColor>(ColorToRGB(color) ^ 0xFFFFFF); }

unsigned TcxCustomTextEditViewData::GetDrawTextFlags()
{
    const unsigned horz[] = {taLeft, taRight, taCenterX}; // taLeftJustify, taRightJustify, taCenter
    const unsigned vert[] = {taTop, taBottom, taCenterY}; // taTopJustify, taBottomJustify, taVCenter
    return horz[HorzAlignment] | (vert[VertAlignment] << 4) | cxPreventLeftExceed | cxPreventTopExceed | cxSingleLine;
}

RECT TcxCustomTextEditViewData::GetDrawTextOffset() { return GetTextEditDrawTextOffset(this); }

bool TcxCustomTextEditViewData::GetIsEditClass() { return false; }

RECT TcxCustomTextEditViewData::GetClientExtent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo)
{
    RECT extent = TcxCustomEditViewData::GetClientExtent(canvas, viewInfo);
    if (!IsInplace && IsComboBoxStyle() && AreVisualStylesMustBeUsed(NativeStyle, totComboBox))
        ++extent.right;
    return extent;
}

void TcxCustomTextEditViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p,
                                          TcxMouseButton button, TShiftState shift, TcxCustomEditViewInfo* viewInfo,
                                          bool isMouseEvent)
{
    TcxCustomEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    auto* info = static_cast<TcxCustomTextEditViewInfo*>(viewInfo);
    info->DrawSelectionBar = false;
    info->EditingStyle = GetProperties()->GetEditingStyle();
    info->IsEditClass = GetIsEditClass();
    info->HasPopupWindow = Edit && Edit->HasPopupWindow();
    const RECT offset = GetDrawTextOffset();
    info->TextRect = RECT{info->ClientRect.left + offset.left, info->ClientRect.top + offset.top,
                          info->ClientRect.right - offset.right, info->ClientRect.bottom - offset.bottom};
    info->MaxLineCount = MaxLineCount;
    info->InvalidateTextOutCache();
    PrepareDrawTextFlags(canvas, viewInfo);
}

void TcxCustomTextEditViewData::PrepareDrawTextFlags(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo)
{
    auto* info = static_cast<TcxCustomTextEditViewInfo*>(viewInfo);
    TcxCustomTextEditProperties* properties = GetProperties();
    if (!properties->IsMultiLine() && properties->GetSupportedOperations().Contains(esoAutoHeight) &&
        PaintOptions.Contains(epoAutoHeight))
        PrepareAutoHeightFlags(canvas, info);
    else
        info->DrawTextFlags = GetDrawTextFlags();
    if (info->PaintOptions.Contains(epoShowEndEllipsis))
        info->DrawTextFlags |= cxShowEndEllipsis;
    info->ComboBoxStyle = IsComboBoxStyle();
}

// Wraps a text that takes more than one row in the cell's width, and tops
// it when the rows do not fit the cell's height.
void TcxCustomTextEditViewData::PrepareAutoHeightFlags(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo)
{
    TFont* font = Style()->GetVisibleFont();
    if (!font)
        return;
    canvas->SetFont(font);
    viewInfo->DrawTextFlags = GetDrawTextFlags();
    if (!viewInfo->PaintOptions.Contains(epoAutoHeight))
        return;
    const RECT offset = GetDrawTextOffset();
    int width = (Bounds.right - Bounds.left) + offset.left + offset.right - GetTextEditContentSizeCorrection(this).cx -
                ContentOffset.left - ContentOffset.right;
    if (Properties()->Alignment()->Horz() == taRightJustify)
        ++width;
    RECT measure{0, 0, width, INT_MAX / 2};
    const unsigned measuring = (viewInfo->DrawTextFlags & ~cxSingleLine) | cxWordBreak | cxEditControl | cxCalcRowCount;
    const int rows = cxTextOut(canvas->Canvas(), viewInfo->Text, measure, measuring);
    if (rows <= 1)
        return;
    viewInfo->DrawTextFlags = (viewInfo->DrawTextFlags & ~cxSingleLine) | cxWordBreak | cxEditControl;
    if (rows * canvas->TextHeight("Zg") > Bounds.bottom - Bounds.top)
        viewInfo->DrawTextFlags &= ~cxTextAlignYMask;
}

// ---- values ------------------------------------------------------------------------

std::string TcxCustomTextEditViewData::InternalEditValueToDisplayText(const Variant& editValue)
{
    std::string text;
    if (isValueEditorWithValueFormatting_) {
        text = VarToStr(editValue);
    } else {
        Variant displayValue;
        GetProperties()->GetDefaultDisplayValue(editValue, InternalFocused(), displayValue);
        text = VarToStr(displayValue);
    }
    GetProperties()->DisplayValueToDisplayText(text);
    return text;
}

void TcxCustomTextEditViewData::EditValueToDrawValue(TcxCanvas*, const Variant& editValue,
                                                     TcxCustomEditViewInfo* viewInfo)
{
    auto* info = static_cast<TcxCustomTextEditViewInfo*>(viewInfo);
    EditValueToDisplayText(editValue, info->Text);
    PrepareSelection(viewInfo);
}

void TcxCustomTextEditViewData::DisplayValueToDrawValue(const Variant& displayValue, TcxCustomEditViewInfo* viewInfo)
{
    auto* info = static_cast<TcxCustomTextEditViewInfo*>(viewInfo);
    info->Text = VarToStr(displayValue);
    GetProperties()->DisplayValueToDisplayText(info->Text);
}

void TcxCustomTextEditViewData::PrepareSelection(TcxCustomEditViewInfo* viewInfo)
{
    auto* info = static_cast<TcxCustomTextEditViewInfo*>(viewInfo);
    info->SelStart = SelStart;
    info->SelLength = SelLength;
    if (SelLength == 0)
        return;
    if (SelBackgroundColor == clDefault && SelTextColor != clDefault) {
        info->SelTextColor = SelTextColor;
        info->SelBackgroundColor = InvertColor(SelTextColor);
    } else if (SelBackgroundColor == clDefault) {
        const bool highlightStyle = Style()->GetColor() == clHighlight;
        info->SelBackgroundColor = highlightStyle ? clBlack : clHighlight;
        info->SelTextColor = highlightStyle ? clWhite : clHighlightText;
    } else {
        info->SelBackgroundColor = SelBackgroundColor;
        info->SelTextColor = SelTextColor != clDefault ? SelTextColor : InvertColor(SelBackgroundColor);
    }
}

// ---- sizes -------------------------------------------------------------------------

SIZE TcxCustomTextEditViewData::InternalGetEditContentSize(TcxCanvas* canvas, const Variant& editValue,
                                                           const TcxEditSizeProperties& sizeProperties)
{
    const SIZE minimum = TcxCustomEditViewData::InternalGetEditContentSize(canvas, editValue, sizeProperties);
    std::string text;
    EditValueToDisplayText(editValue, text);
    SIZE size = GetTextEditContentSize(canvas, this, text, GetDrawTextFlags(), sizeProperties, true);
    CheckSize(size, minimum);
    return size;
}

namespace {

bool HasFixedListCorrection(TcxCustomEditViewData* viewData)
{
    auto* textData = As<TcxCustomTextEditViewData>(viewData);
    if (!textData || textData->IsInplace || !IsFixedListOrNoEdit(textData->GetProperties()->GetEditingStyle()))
        return false;
    return !(textData->IsComboBoxStyle() && AreVisualStylesMustBeUsed(textData->NativeStyle, totComboBox));
}

// Rows of the text wrapped into a given width.
SIZE WrappedTextSize(TcxCanvas* canvas, TcxCustomEditViewData* viewData, const std::string& text, unsigned flags,
                     const TcxEditSizeProperties& sizeProperties, int width, int rowHeight)
{
    const bool zeroHeight = viewData->PaintOptions.Contains(epoAllowZeroHeight) && text.empty();
    if (width <= 0)
        return SIZE{0, zeroHeight ? 0 : rowHeight};
    if (text.empty())
        return SIZE{sizeProperties.Width, zeroHeight ? 0 : rowHeight};
    flags |= cxCalcRowCount;
    if (flags & cxSingleLine)
        flags = (flags & ~cxSingleLine) | cxWordBreak | cxEditControl;
    flags &= ~cxTextAlignYMask;
    RECT r{0, 0, width, INT_MAX / 2};
    int rows = cxTextOut(canvas->Canvas(), text, r, flags, std::max(sizeProperties.MaxLineCount, 0));
    return SIZE{sizeProperties.Width, rowHeight * rows};
}

SIZE UnconstrainedTextSize(TcxCanvas* canvas, const std::string& text, unsigned flags,
                           const TcxEditSizeProperties& sizeProperties, int rowHeight)
{
    if (flags & cxSingleLine)
        return SIZE{text.empty() ? 0 : canvas->TextWidth(text), rowHeight};
    const TcxTextParams params = cxCalcTextParams(canvas->Canvas(), flags | cxCalcRect);
    TcxTextRows rows;
    int rowCount = 0;
    cxMakeTextRows(canvas->Canvas(), text, RECT{0, 0, INT_MAX / 2, INT_MAX / 2}, params, rows, rowCount,
                   std::max(sizeProperties.MaxLineCount, 0));
    return SIZE{cxGetLongestTextRowWidth(rows, rowCount), rowHeight};
}

} // namespace

SIZE GetTextEditContentSize(TcxCanvas* canvas, TcxCustomEditViewData* viewData, const std::string& text,
                            unsigned flags, const TcxEditSizeProperties& sizeProperties, bool addCorrection)
{
    const bool fixedList = HasFixedListCorrection(viewData);
    canvas->SetFont(viewData->Style()->GetVisibleFont());
    const SIZE correction = GetTextEditContentSizeCorrection(viewData);
    const int rowHeight = canvas->TextHeight("Zg");
    SIZE size{};
    if (sizeProperties.Width >= 0) {
        const int width = sizeProperties.Width - (viewData->IsInplace ? 2 : 0) - (fixedList ? 1 : 0);
        size = WrappedTextSize(canvas, viewData, text, flags, sizeProperties, width, rowHeight);
    } else {
        size = UnconstrainedTextSize(canvas, text, flags, sizeProperties, rowHeight);
        size.cx += (fixedList ? 1 : 0) + (addCorrection ? correction.cx : 0);
    }
    if (size.cy > 0)
        size.cy += correction.cy;
    return size;
}
