// A row of 12 header cells (120 x 20, captions, one sort mark) and a
// vertical scroll bar (17 x 600 with its thumb, painted off screen and
// copied in one step, as the control does) painted 1,000 times into a
// 1920 x 1080 bitmap by each look and feel's painter, our theme on, beside
// the same picture drawn directly with fills, pixels, lines, polygons, text
// output and theme parts. The row moves down 20 pixels per paint and the
// bar 17 to the right, both wrapping, so every paint really lands. Both
// pictures are compared pixel for pixel before timing.
#include "bench/common/alternating.h"
#include "bench/common/ratio_reporter.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "components/foundation/cxWinXPLookAndFeelPainters.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/uxtheme.h"
#include "platform/graphics/wingdi.h"
#include "platform/graphics/winuserdraw.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace hostlib;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kCells = 12;
constexpr int kCellWidth = 120;
constexpr int kCellHeight = 20;
constexpr int kPaints = 1000;
constexpr int kRowsPerScreen = kHeight / kCellHeight;
constexpr int kSortedCell = 3;
constexpr int kMarkArea = 16;
constexpr int kGradientRows = 4;
constexpr int kBarWidth = 17;
constexpr int kBarHeight = 600;
constexpr int kBarsPerScreen = kWidth / kBarWidth;

// The bar's parts: arrow buttons of the bar's width, the thumb a tenth of
// the track down.
constexpr RECT kLineUp{0, 0, kBarWidth, kBarWidth};
constexpr RECT kLineDown{0, kBarHeight - kBarWidth, kBarWidth, kBarHeight};
constexpr RECT kThumb{0, 200, kBarWidth, 260};
constexpr RECT kPageUp{0, kBarWidth, kBarWidth, 200};
constexpr RECT kPageDown{0, 260, kBarWidth, kBarHeight - kBarWidth};

std::string Caption(int cell) { return "Column " + std::to_string(cell + 1); }

RECT CellRect(int cell, int top)
{
    return RECT{cell * kCellWidth, top, cell * kCellWidth + kCellWidth, top + kCellHeight};
}

bool HasLeft(int cell) { return cell > 0; }
bool HasRight(int cell) { return cell < kCells - 1; }

TcxNeighbors Neighbors(int cell)
{
    TcxNeighbors n;
    if (HasLeft(cell)) n.Include(nLeft);
    if (HasRight(cell)) n.Include(nRight);
    return n;
}

// The caption's area: inside the border with a little room, less the sort
// mark's area on the sorted cell.
RECT TextArea(const RECT& cell, int index)
{
    RECT r{cell.left + 3, cell.top + 1, cell.right - 3, cell.bottom - 1};
    if (index == kSortedCell) r.right -= kMarkArea;
    return r;
}

RECT MarkArea(const RECT& cell)
{
    return RECT{cell.right - 3 - kMarkArea, cell.top + 1, cell.right - 3, cell.bottom - 1};
}

COLORREF Rgb(TColor color) { return ColorToRGB(color); }

// A white bitmap of the screen's size with a TcxCanvas over it.
class Screen {
public:
    Screen() : bitmap_(MakeObject<TBitmap>())
    {
        bitmap_->SetSize(kWidth, kHeight);
        bitmap_->Canvas()->Brush()->SetColor(clWhite);
        bitmap_->Canvas()->FillRect(RECT{0, 0, kWidth, kHeight});
        canvas_ = std::make_unique<TcxCanvas>(bitmap_->Canvas());
    }
    TcxCanvas* Canvas() { return canvas_.get(); }
    HDC DC() { return bitmap_->Canvas()->Handle(); }
    HFONT Font() { return bitmap_->Canvas()->Font()->Handle(); }
    std::vector<COLORREF> Pixels()
    {
        std::vector<COLORREF> pixels;
        pixels.reserve(static_cast<std::size_t>(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) pixels.push_back(GetPixel(DC(), x, y));
        return pixels;
    }

private:
    ObjectPtr<TBitmap> bitmap_;
    std::unique_ptr<TcxCanvas> canvas_;
};

// The row painted by a painter the way a grid paints its headers.
void PaintRow(TcxCustomLookAndFeelPainterClass painter, TcxCanvas* canvas, int top)
{
    for (int i = 0; i < kCells; ++i) {
        const RECT cell = CellRect(i, top);
        painter->DrawHeader(canvas, cell, TextArea(cell, i), Neighbors(i), painter->HeaderBorders(Neighbors(i)),
                            cxbsNormal, taLeftJustify, vaCenter, false, false, Caption(i), nullptr, clBtnText,
                            clBtnFace);
        if (i == kSortedCell) painter->DrawSortingMark(canvas, MarkArea(cell), true);
    }
}

// A bitmap of the bar's size with a TcxCanvas over it.
class BarBitmap {
public:
    BarBitmap() : bitmap_(MakeObject<TBitmap>())
    {
        bitmap_->SetSize(kBarWidth, kBarHeight);
        canvas_ = std::make_unique<TcxCanvas>(bitmap_->Canvas());
    }
    TcxCanvas* Canvas() { return canvas_.get(); }
    TBitmap* Bitmap() { return bitmap_.get(); }
    HDC DC() { return bitmap_->Canvas()->Handle(); }

private:
    ObjectPtr<TBitmap> bitmap_;
    std::unique_ptr<TcxCanvas> canvas_;
};

// The bar painted the way the scroll-bar control paints it: the thumb,
// then the arrows and the page areas, off screen, then one copy.
void PaintBar(TcxCustomLookAndFeelPainterClass painter, BarBitmap& bar, TcxCanvas* screen, int left)
{
    TcxCanvas* canvas = bar.Canvas();
    painter->DrawScrollBarPart(canvas, false, kThumb, sbpThumbnail, cxbsNormal);
    painter->DrawScrollBarPart(canvas, false, kLineUp, sbpLineUp, cxbsNormal);
    painter->DrawScrollBarPart(canvas, false, kLineDown, sbpLineDown, cxbsNormal);
    painter->DrawScrollBarPart(canvas, false, kPageUp, sbpPageUp, cxbsNormal);
    painter->DrawScrollBarPart(canvas, false, kPageDown, sbpPageDown, cxbsNormal);
    screen->Draw(left, 0, bar.Bitmap());
}

int BarLeft(int paint) { return (paint % kBarsPerScreen) * kBarWidth; }
int RowTop(int paint) { return (paint % kRowsPerScreen) * kCellHeight; }

// Brushes and pens made once, deleted with the owner.
class Gdi {
public:
    Gdi() = default;
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;
    ~Gdi()
    {
        for (HGDIOBJ o : objects_) DeleteObject(o);
    }
    HBRUSH Brush(COLORREF color) { return Keep(CreateSolidBrush(color)); }
    HPEN Pen(COLORREF color) { return Keep(CreatePen(PS_SOLID, 1, color)); }

private:
    template <typename T>
    T Keep(T object)
    {
        objects_.push_back(object);
        return object;
    }
    std::vector<HGDIOBJ> objects_;
};

// The same row drawn with plain calls: a look's frame and face per cell,
// then the captions and the ascending mark, which every look draws alike
// but for its size and colours. Caption extents are measured once.
class DirectRow {
public:
    DirectRow(HDC dc, HFONT font) : dc_(dc)
    {
        SelectObject(dc_, font);
        for (int i = 0; i < kCells; ++i) {
            captions_[i] = Caption(i);
            GetTextExtentPoint32A(dc_, captions_[i].c_str(), static_cast<int>(captions_[i].size()), &extents_[i]);
        }
    }
    virtual ~DirectRow() = default;
    void Paint(int top)
    {
        for (int i = 0; i < kCells; ++i) Cell(i, CellRect(i, top));
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, text_);
        for (int i = 0; i < kCells; ++i) Text(i, TextArea(CellRect(i, top), i));
        Mark(MarkArea(CellRect(kSortedCell, top)));
    }

protected:
    virtual void Cell(int i, const RECT& r) = 0;
    void Fill(LONG l, LONG t, LONG r, LONG b, HBRUSH brush)
    {
        const RECT rc{l, t, r, b};
        FillRect(dc_, &rc, brush);
    }
    void Pixel(int x, int y, COLORREF color) { SetPixel(dc_, x, y, color); }
    // The mark's look: its size and the colours of its left and other edges.
    void SetMark(POINT size, COLORREF first, COLORREF second)
    {
        markSize_ = size;
        markColors_ = {first, second};
        markPens_ = {gdi_.Pen(first), gdi_.Pen(second)};
    }
    Gdi gdi_;

private:
    void Text(int i, const RECT& area)
    {
        const int y = (area.top + area.bottom - extents_[i].cy) / 2;
        ExtTextOutA(dc_, area.left, y, 0, nullptr, captions_[i].c_str(), static_cast<UINT>(captions_[i].size()),
                    nullptr);
    }
    void Line(int which, POINT from, POINT to)
    {
        SelectObject(dc_, markPens_[which]);
        MoveToEx(dc_, from.x, from.y, nullptr);
        LineTo(dc_, to.x, to.y);
        SetPixel(dc_, to.x, to.y, markColors_[which]);
    }
    void Mark(const RECT& r)
    {
        const int left = (r.left + r.right - markSize_.x) / 2, top = (r.top + r.bottom - markSize_.y) / 2;
        const int right = left + markSize_.x - 1, bottom = top + markSize_.y - 1;
        const int apex = left + (markSize_.x - 1) / 2;
        Line(0, {apex, top}, {left, bottom});
        Line(1, {apex, top}, {right, bottom});
        Line(1, {left, bottom}, {right, bottom});
    }

    HDC dc_;
    COLORREF text_ = Rgb(clBtnText);
    std::array<std::string, kCells> captions_;
    std::array<SIZE, kCells> extents_{};
    POINT markSize_{};
    std::array<COLORREF, 2> markColors_{};
    std::array<HPEN, 2> markPens_{};
};

// Standard and flat: a raised bevel whose corners soften towards neighbours.
class SoftBevelRow : public DirectRow {
public:
    SoftBevelRow(HDC dc, HFONT font) : DirectRow(dc, font) { SetMark({8, 7}, shadow_, highlight_); }

private:
    void Cell(int i, const RECT& r) override
    {
        Fill(r.left, r.top, r.left + 1, r.bottom, highlightBrush_);
        Fill(r.left, r.top, r.right, r.top + 1, highlightBrush_);
        Fill(r.right - 1, r.top, r.right, r.bottom, shadowBrush_);
        Fill(r.left, r.bottom - 1, r.right, r.bottom, shadowBrush_);
        if (HasLeft(i)) {
            Pixel(r.left, r.top + 1, face_);
            Pixel(r.left, r.bottom - 2, face_);
        }
        if (HasRight(i)) {
            Pixel(r.right - 1, r.top, highlight_);
            Pixel(r.right - 1, r.top + 1, face_);
            Pixel(r.right - 1, r.bottom - 2, face_);
        }
        Fill(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, faceBrush_);
    }

    COLORREF face_ = Rgb(clBtnFace), highlight_ = Rgb(clBtnHighlight), shadow_ = Rgb(clBtnShadow);
    HBRUSH faceBrush_ = gdi_.Brush(face_), highlightBrush_ = gdi_.Brush(highlight_), shadowBrush_ = gdi_.Brush(shadow_);
};

// Ultra-flat: a one-pixel line in the text colour; neighbours share the
// left line.
class LineFrameRow : public DirectRow {
public:
    LineFrameRow(HDC dc, HFONT font) : DirectRow(dc, font) { SetMark({7, 8}, Rgb(clBtnShadow), Rgb(clBtnShadow)); }

private:
    void Cell(int i, const RECT& r) override
    {
        const int left = HasLeft(i) ? r.left : r.left + 1;
        if (!HasLeft(i)) Fill(r.left, r.top, r.left + 1, r.bottom, lineBrush_);
        Fill(r.right - 1, r.top, r.right, r.bottom, lineBrush_);
        Fill(r.left, r.top, r.right, r.top + 1, lineBrush_);
        Fill(r.left, r.bottom - 1, r.right, r.bottom, lineBrush_);
        Fill(left, r.top + 1, r.right - 1, r.bottom - 1, faceBrush_);
    }

    HBRUSH lineBrush_ = gdi_.Brush(Rgb(clBtnText)), faceBrush_ = gdi_.Brush(Rgb(clBtnFace));
};

// Office 2003: a face fading to darker at the foot, a dark edge right and
// below and a light one left, with rounded-off ends where cells meet.
class GradientRow : public DirectRow {
public:
    GradientRow(HDC dc, HFONT font) : DirectRow(dc, font)
    {
        SetMark({7, 8}, dark_, light_);
        const RECT run{0, 0, 1, kGradientRows};
        for (int y = 0; y < kGradientRows; ++y)
            gradient_[y] = gdi_.Brush(Rgb(GetGradientColorRect(run, y, topColor_, bottomColor_, false)));
    }

private:
    void Cell(int i, const RECT& r) override
    {
        Fill(r.left, r.top, r.right, r.top + 1, topBrush_);
        Fill(r.left, r.bottom - 1, r.right, r.bottom, darkBrush_);
        LeftEdge(i, r);
        RightEdge(i, r);
        const int left = r.left + 1, right = r.right - 1, bottom = r.bottom - 1;
        Fill(left, r.top + 1, right, bottom - 3, topBrush_);
        for (int y = 0; y < kGradientRows; ++y)
            Fill(left, bottom - kGradientRows + y, right, bottom - kGradientRows + y + 1, gradient_[y]);
    }
    void LeftEdge(int i, const RECT& r)
    {
        if (HasLeft(i)) {
            Fill(r.left, r.top + 2, r.left + 1, r.bottom - 3, lightBrush_);
            Pixel(r.left, r.top + 1, top_);
            Pixel(r.left, r.bottom - 3, topToBottom_);
        } else {
            Fill(r.left, r.top + 1, r.left + 1, r.bottom - 2, lightBrush_);
            Pixel(r.left, r.bottom - 2, bottom_);
        }
    }
    void RightEdge(int i, const RECT& r)
    {
        const int x = r.right - 1;
        if (HasRight(i)) {
            Fill(x, r.top + 2, x + 1, r.bottom - 3, darkBrush_);
            Pixel(x, r.top + 1, top_);
            Pixel(x, r.bottom - 3, topToBottom_);
            Pixel(x, r.bottom - 2, bottom_);
        } else {
            Fill(x, r.top + 1, x + 1, r.bottom - 2, darkBrush_);
            Pixel(x, r.top, topToDark_);
            Pixel(x, r.bottom - 2, bottomToDark_);
        }
    }

    TColor topColor_ = GetMiddleRGB(dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2, 50);
    TColor bottomColor_ = dxOffice11ToolbarsColor2;
    TColor darkColor_ = dxOffice11BarSeparatorColor1;
    COLORREF top_ = Rgb(topColor_), bottom_ = Rgb(bottomColor_), dark_ = Rgb(darkColor_);
    COLORREF light_ = Rgb(dxOffice11BarSeparatorColor2);
    COLORREF topToBottom_ = Rgb(GetMiddleRGB(topColor_, bottomColor_, 25));
    COLORREF topToDark_ = Rgb(GetMiddleRGB(topColor_, darkColor_, 50));
    COLORREF bottomToDark_ = Rgb(GetMiddleRGB(bottomColor_, darkColor_, 50));
    HBRUSH topBrush_ = gdi_.Brush(top_), darkBrush_ = gdi_.Brush(dark_), lightBrush_ = gdi_.Brush(light_);
    std::array<HBRUSH, kGradientRows> gradient_{};
};

// Native: our theme's header item, the captions and the flat mark.
class ThemedRow : public DirectRow {
public:
    ThemedRow(HDC dc, HFONT font) : DirectRow(dc, font), dc_(dc)
    {
        SetMark({7, 8}, Rgb(clBtnShadow), Rgb(clBtnShadow));
    }

private:
    void Cell(int, const RECT& r) override { DrawThemeBackground(theme_, dc_, HP_HEADERITEM, HIS_NORMAL, &r, nullptr); }

    HDC dc_;
    HTHEME theme_ = OpenTheme(totHeader);
};

// The bar drawn with plain calls into a bitmap of its own, then copied.
class DirectBar {
public:
    DirectBar() = default;
    DirectBar(const DirectBar&) = delete;
    DirectBar& operator=(const DirectBar&) = delete;
    virtual ~DirectBar() = default;
    void Paint(HDC screen, int left)
    {
        Parts(bar_.DC());
        BitBlt(screen, left, 0, kBarWidth, kBarHeight, bar_.DC(), 0, 0, SRCCOPY);
    }

protected:
    virtual void Parts(HDC dc) = 0;
    static void Fill(HDC dc, const RECT& r, HBRUSH brush) { FillRect(dc, &r, brush); }
    static RECT Inset(const RECT& r, int n) { return RECT{r.left + n, r.top + n, r.right - n, r.bottom - n}; }
    // One-pixel lines: left and top in one brush, then right and bottom in
    // the other.
    static void Frame(HDC dc, const RECT& r, HBRUSH leftTop, HBRUSH rightBottom)
    {
        Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, leftTop);
        Fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, leftTop);
        Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, rightBottom);
        Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, rightBottom);
    }
    void Track(HDC dc)
    {
        Fill(dc, kPageUp, track_);
        Fill(dc, kPageDown, track_);
    }
    // A filled triangle pointing up or down, centred in r as the painters
    // centre their arrows.
    void Arrow(HDC dc, const RECT& r, TcxArrowDirection direction, HPEN pen, HBRUSH brush)
    {
        TcxArrowPoints points{};
        TcxCustomLookAndFeelPainter::CalculateArrowPoints(r, points, direction, true);
        SelectObject(dc, pen);
        SelectObject(dc, brush);
        Polygon(dc, points.data(), 3);
    }
    Gdi gdi_;
    COLORREF face_ = Rgb(clBtnFace), text_ = Rgb(clBtnText);
    HBRUSH faceBrush_ = gdi_.Brush(face_), textBrush_ = gdi_.Brush(text_);
    HPEN textPen_ = gdi_.Pen(text_);

private:
    BarBitmap bar_;
    HBRUSH track_ = Keep(CreatePatternBrush(cxScrollBarTrackBitmap(false)->Handle()));
    HBRUSH Keep(HBRUSH brush)
    {
        owned_ = brush;
        return brush;
    }
    struct Owned {
        HBRUSH brush = nullptr;
        Owned& operator=(HBRUSH b)
        {
            brush = b;
            return *this;
        }
        ~Owned() { DeleteObject(brush); }
    } owned_;
};

// Standard: the system's scroll arrows and two-ring bevels.
class BevelBar : public DirectBar {
    void Parts(HDC dc) override
    {
        Button(dc, kThumb);
        Fill(dc, Inset(kThumb, 2), faceBrush_);
        RECT up = kLineUp, down = kLineDown;
        DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP);
        Button(dc, kLineUp);
        DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
        Button(dc, kLineDown);
        Track(dc);
    }
    void Button(HDC dc, const RECT& r)
    {
        Frame(dc, r, faceBrush_, darkBrush_);
        Frame(dc, Inset(r, 1), lightBrush_, shadowBrush_);
    }
    HBRUSH darkBrush_ = gdi_.Brush(Rgb(cl3DDkShadow)), lightBrush_ = gdi_.Brush(Rgb(clBtnHighlight));
    HBRUSH shadowBrush_ = gdi_.Brush(Rgb(clBtnShadow));
};

// Flat: one raised ring, the arrow inside it.
class RaisedBar : public DirectBar {
    void Parts(HDC dc) override
    {
        Button(dc, kThumb);
        Button(dc, kLineUp);
        Arrow(dc, Inset(kLineUp, 1), adUp, textPen_, textBrush_);
        Button(dc, kLineDown);
        Arrow(dc, Inset(kLineDown, 1), adDown, textPen_, textBrush_);
        Track(dc);
    }
    void Button(HDC dc, const RECT& r)
    {
        Frame(dc, r, lightBrush_, shadowBrush_);
        Fill(dc, Inset(r, 1), faceBrush_);
    }
    HBRUSH lightBrush_ = gdi_.Brush(Rgb(clBtnHighlight)), shadowBrush_ = gdi_.Brush(Rgb(clBtnShadow));
};

// Ultra-flat: a line in the text colour around each button.
class LineBar : public DirectBar {
    void Parts(HDC dc) override
    {
        Button(dc, kThumb);
        Button(dc, kLineUp);
        Arrow(dc, kLineUp, adUp, textPen_, textBrush_);
        Button(dc, kLineDown);
        Arrow(dc, kLineDown, adDown, textPen_, textBrush_);
        Track(dc);
    }
    void Button(HDC dc, const RECT& r)
    {
        Frame(dc, r, textBrush_, textBrush_);
        Fill(dc, Inset(r, 1), faceBrush_);
    }
};

// Office 2003 and native, our theme on: the theme's scroll-bar parts.
class ThemedBar : public DirectBar {
    void Parts(HDC dc) override
    {
        DrawThemeBackground(theme_, dc, SBP_THUMBBTNVERT, SCRBS_NORMAL, &kThumb, nullptr);
        DrawThemeBackground(theme_, dc, SBP_GRIPPERVERT, 0, &kThumb, nullptr);
        DrawThemeBackground(theme_, dc, SBP_ARROWBTN, ABS_UPNORMAL, &kLineUp, nullptr);
        DrawThemeBackground(theme_, dc, SBP_ARROWBTN, ABS_DOWNNORMAL, &kLineDown, nullptr);
        DrawThemeBackground(theme_, dc, SBP_LOWERTRACKVERT, SCRBS_NORMAL, &kPageUp, nullptr);
        DrawThemeBackground(theme_, dc, SBP_UPPERTRACKVERT, SCRBS_NORMAL, &kPageDown, nullptr);
    }
    HTHEME theme_ = OpenTheme(totScrollBar);
};

struct Look {
    const char* name;
    TcxCustomLookAndFeelPainterClass painter;
    std::function<std::unique_ptr<DirectRow>(Screen&)> direct;
    std::function<std::unique_ptr<DirectBar>()> bar;
};

template <typename Row>
std::function<std::unique_ptr<DirectRow>(Screen&)> Direct()
{
    return [](Screen& s) -> std::unique_ptr<DirectRow> { return std::make_unique<Row>(s.DC(), s.Font()); };
}

template <typename Bar>
std::function<std::unique_ptr<DirectBar>()> DirectBarOf()
{
    return []() -> std::unique_ptr<DirectBar> { return std::make_unique<Bar>(); };
}

// Each side its own screen, so neither disturbs the other's drawing state.
struct Sides {
    explicit Sides(const Look& look) : row(look.direct(direct)), directBar(look.bar()) {}
    Screen painted, direct;
    BarBitmap paintedBar;
    std::unique_ptr<DirectRow> row;
    std::unique_ptr<DirectBar> directBar;
};

void PaintWithPainter(TcxCustomLookAndFeelPainterClass painter, Sides& sides, int paint)
{
    PaintRow(painter, sides.painted.Canvas(), RowTop(paint));
    PaintBar(painter, sides.paintedBar, sides.painted.Canvas(), BarLeft(paint));
}

void PaintDirectly(Sides& sides, int paint)
{
    sides.row->Paint(RowTop(paint));
    sides.directBar->Paint(sides.direct.DC(), BarLeft(paint));
}

// Both sides once on clean screens; the number of differing pixels.
long Differences(const Look& look)
{
    Sides sides(look);
    PaintWithPainter(look.painter, sides, 0);
    PaintDirectly(sides, 0);
    const auto a = sides.painted.Pixels(), b = sides.direct.Pixels();
    long differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    return differing;
}

quelvo::bench::Pair PairOf(const Look& look, Sides& sides)
{
    const auto painter = look.painter;
    Sides* s = &sides;
    quelvo::bench::Pair pair;
    pair.title = std::string(look.name) + ": header row and scroll bar painted 1,000 times";
    pair.subject = {look.name, [painter, s] {
                        for (int k = 0; k < kPaints; ++k) PaintWithPainter(painter, *s, k);
                    }};
    pair.reference = {"direct", [s] {
                          for (int k = 0; k < kPaints; ++k) PaintDirectly(*s, k);
                      }};
    pair.target = 1.3;
    pair.timing = quelvo::bench::Timing::ThreadProcessor;
    return pair;
}

}  // namespace

int main(int argc, char** argv)
{
    dxUxThemeInitialize();
    dxThemeManagerInitialize();
    cxStandardLookAndFeelPaintersInitialize();
    cxUltraFlatLookAndFeelPaintersInitialize();
    cxWinXPLookAndFeelPaintersInitialize();
    const std::vector<Look> looks = {
        {"Standard", TcxStandardLookAndFeelPainter::Class(), Direct<SoftBevelRow>(), DirectBarOf<BevelBar>()},
        {"Flat", TcxFlatLookAndFeelPainter::Class(), Direct<SoftBevelRow>(), DirectBarOf<RaisedBar>()},
        {"Ultra-flat", TcxUltraFlatLookAndFeelPainter::Class(), Direct<LineFrameRow>(), DirectBarOf<LineBar>()},
        {"Office 2003", TcxOffice11LookAndFeelPainter::Class(), Direct<GradientRow>(), DirectBarOf<ThemedBar>()},
        {"Native", TcxWinXPLookAndFeelPainter::Class(), Direct<ThemedRow>(), DirectBarOf<ThemedBar>()},
    };
    std::vector<std::unique_ptr<Sides>> sides;
    std::vector<quelvo::bench::Pair> pairs;
    int failed = 0;
    // "--look=NAME" times that look alone.
    std::string only;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--look=", 0) == 0) only = argv[i] + 7;
    for (const Look& look : looks) {
        if (!only.empty() && only != look.name) continue;
        if (const long differing = Differences(look); differing != 0) {
            std::printf("%s: the pictures differ in %ld pixels; not timed\n", look.name, differing);
            ++failed;
            continue;
        }
        pairs.push_back(PairOf(look, *sides.emplace_back(std::make_unique<Sides>(look))));
    }
    quelvo::bench::RatioReporter report("Painters beside direct drawing (header row and scroll bar)");
    report.Run(pairs, quelvo::bench::ParseOptions(argc, argv));
    report.Print();
    sides.clear();
    cxWinXPLookAndFeelPaintersFinalize();
    cxUltraFlatLookAndFeelPaintersFinalize();
    cxStandardLookAndFeelPaintersFinalize();
    dxThemeManagerFinalize();
    dxUxThemeFinalize();
    return failed == 0 ? 0 : 1;
}
