#include "components/foundation/cxLookAndFeelPainterImages.h"

#include <memory>

#include "components/foundation/dxOffice11.h"
#include "platform/graphics/winuserdraw.h"

namespace quelvo_resources {
void Register_foundation();
}

using namespace hostlib;

namespace {

using Bitmap = ObjectPtr<TBitmap>;

struct Unit {
    int starts = 0;
    ObjectPtr<TImageList> indicators;
    Bitmap autoHideOn;
    Bitmap autoHideOff;
    Bitmap track;
    Bitmap trackPressed;
    ObjectPtr<TcxSystemPaletteChangedNotifier> paletteNotifier;
    ObjectPtr<TcxRadioButtonImageList> radios;
};

// Deliberately not freed at exit: a program that skips the shut-down step
// would otherwise free the palette notifier after the Office 2003 colours it
// releases are gone. The shut-down step frees what it holds.
Unit& U()
{
    static auto* unit = new Unit();
    return *unit;
}

constexpr const char* kIndicatorResources[] = {"CX_ARROWBITMAP", "CX_EDITBITMAP", "CX_INSERTBITMAP",
                                               "CX_MULTIDOTBITMAP", "CX_MULTIARROWBITMAP"};

Bitmap NewBitmap(int width, int height, TPixelFormat format = pf32bit)
{
    Bitmap bitmap = MakeObject<TBitmap>();
    bitmap->SetPixelFormat(format);
    bitmap->SetSize(width, height);
    return bitmap;
}

Bitmap LoadGlyph(const char* resource)
{
    Bitmap bitmap = MakeObject<TBitmap>();
    bitmap->LoadFromResourceName(resource);
    return bitmap;
}

ObjectPtr<TImageList> LoadIndicators()
{
    ObjectPtr<TImageList> list;
    for (const char* resource : kIndicatorResources) {
        Bitmap glyph = LoadGlyph(resource);
        if (!list) {
            list.reset(CreateObject<TImageList>(nullptr));
            list->SetSize(glyph->Width(), glyph->Height());
        }
        list->AddMasked(glyph.get(), clWhite);
    }
    return list;
}

void Fill(TBitmap* bitmap, TColor color)
{
    bitmap->Canvas()->Brush()->SetColor(color);
    bitmap->Canvas()->FillRect(RECT{0, 0, bitmap->Width(), bitmap->Height()});
}

bool IsBlack(TBitmap* bitmap, int x, int y) { return ColorToRGB(bitmap->Canvas()->Pixel(x, y)) == 0; }

// The system radio drawn on a black cell.
Bitmap RadioCell(int width, int height, UINT flags)
{
    Bitmap cell = NewBitmap(width, height);
    Fill(cell.get(), clBlack);
    RECT r{0, 0, width, height};
    DrawFrameControl(cell->Canvas()->Handle(), &r, DFC_BUTTON, flags | DFCS_CHECKED | DFCS_FLAT);
    return cell;
}

SIZE CheckBoxCell()
{
    HBITMAP boxes = LoadBitmapA(nullptr, OBM_CHECKBOXES);
    BITMAP info{};
    GetObjectA(boxes, sizeof(info), &info);
    DeleteObject(boxes);
    return SIZE{info.bmWidth / 4, info.bmHeight / 3};
}

// Black pixels of a rounded rectangle whose corner ellipse is its size less one.
std::vector<std::vector<bool>> RoundShape(int width, int height, const RECT& r, bool filled)
{
    Bitmap b = NewBitmap(width, height);
    Fill(b.get(), clWhite);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlack);
    if (!filled) c->Brush()->SetStyle(bsClear);
    c->RoundRect(r.left, r.top, r.right, r.bottom, r.right - r.left - 1, r.bottom - r.top - 1);
    std::vector<std::vector<bool>> black(static_cast<std::size_t>(height), std::vector<bool>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) black[y][x] = IsBlack(b.get(), x, y);
    return black;
}

bool Lit(TcxButtonState state, bool focused, bool isDesigning)
{
    return focused || isDesigning || state == cxbsHot || state == cxbsPressed;
}

TColor InteriorColor(TcxLookAndFeelKind kind, TcxButtonState state)
{
    if (kind == lfOffice11) return state == cxbsNormal ? clWindow : cxOffice11ButtonColor(state);
    if (state == cxbsDisabled) return clBtnFace;
    if (kind == lfUltraFlat) return state == cxbsHot ? GetLightSelColor() : state == cxbsPressed ? GetLightDownedSelColor() : clWindow;
    return state == cxbsPressed ? clBtnFace : clWindow;
}

TColor RingColor(int code, TcxLookAndFeelKind kind, TcxButtonState state, bool focused, bool isDesigning)
{
    const bool outer = code <= rpcOuterLowerRight;
    const bool upperLeft = code == rpcOuterUpperLeft || code == rpcInnerUpperLeft;
    switch (kind) {
    case lfFlat: return outer ? (upperLeft ? clBtnShadow : clBtnHighlight) : cl3DLight;
    case lfStandard: return outer ? (upperLeft ? clBtnShadow : clBtnHighlight) : (upperLeft ? cl3DDkShadow : cl3DLight);
    case lfUltraFlat:
        if (!outer) return InteriorColor(kind, state);
        // Disabled wins over focus, as for the Office 2003 ring.
        return state != cxbsDisabled && Lit(state, focused, isDesigning) ? clHighlight : clBtnShadow;
    default:
        if (!outer) return InteriorColor(kind, state);
        if (state == cxbsDisabled) return dxOffice11TextDisabledColor;
        return Lit(state, focused, isDesigning) ? dxOffice11SelectedBorderColor : clBtnText;
    }
}

TColor DotColor(TcxLookAndFeelKind kind, TcxButtonState state, bool checked)
{
    if (!checked) return InteriorColor(kind, state);
    if (state != cxbsDisabled) return clBtnText;
    return kind == lfOffice11 ? dxOffice11TextDisabledColor : clBtnShadow;
}

TcxButtonState RadioState(TcxButtonState state) { return state == cxbsDefault ? cxbsNormal : state; }

void SetRow(TBitmap* bitmap, int y, const std::vector<COLORREF>& colors)
{
    auto* row = reinterpret_cast<std::uint32_t*>(bitmap->ScanLine(y));
    for (std::size_t x = 0; x < colors.size(); ++x)
        row[x] = (GetRValue(colors[x]) << 16) | (GetGValue(colors[x]) << 8) | GetBValue(colors[x]);
}

}  // namespace

// ---- shared glyphs and track patterns -------------------------------------------

TImageList* cxIndicatorImages() { return U().indicators.get(); }
TBitmap* cxAutoHideOnGlyph() { return U().autoHideOn.get(); }
TBitmap* cxAutoHideOffGlyph() { return U().autoHideOff.get(); }
TBitmap* cxScrollBarTrackBitmap(bool pressed) { return (pressed ? U().trackPressed : U().track).get(); }

void UpdateScrollBarBitmaps()
{
    auto& unit = U();
    if (!unit.track) unit.track = NewBitmap(8, 8);
    if (!unit.trackPressed) unit.trackPressed = NewBitmap(8, 8);
    const COLORREF face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(cl3DDkShadow);
    for (int y = 0; y < 8; ++y) {
        std::vector<COLORREF> normal, pressed;
        for (int x = 0; x < 8; ++x) {
            const bool same = x % 2 == y % 2;
            normal.push_back(same ? face : light);
            pressed.push_back(same ? 0 : dark);
        }
        SetRow(unit.track.get(), y, normal);
        SetRow(unit.trackPressed.get(), y, pressed);
    }
}

TColor cxOffice11ButtonColor(TcxButtonState state)
{
    switch (state) {
    case cxbsHot: return dxOffice11SelectedColor1;
    case cxbsPressed: return dxOffice11SelectedDownColor1;
    case cxbsDisabled: return clBtnFace;
    default: return dxOffice11DockColor1;
    }
}

// ---- radio images -----------------------------------------------------------------

TClass TcxRadioButtonImageList::StaticClass()
{
    return DefineClass<TcxRadioButtonImageList, TObject>("TcxRadioButtonImageList");
}

void TcxRadioButtonImageList::Construct()
{
    Measure();
    MakePattern();
    MakeMask();
    images_.reset(CreateObject<TImageList>(nullptr));
    images_->SetSize(std::max(1, Width()), std::max(1, Height()));
}

void TcxRadioButtonImageList::Measure()
{
    const SIZE cell = CheckBoxCell();
    if (cell.cx <= 0 || cell.cy <= 0) return;
    auto& m = measurements_;
    // The mask: black exactly in the radio's columns and rows.
    Bitmap mask = RadioCell(cell.cx, cell.cy, DFCS_BUTTONRADIOMASK);
    auto columnHasBlack = [&](int x) {
        for (int y = 0; y < cell.cy; ++y)
            if (IsBlack(mask.get(), x, y)) return true;
        return false;
    };
    auto rowHasBlack = [&](int y) {
        for (int x = 0; x < cell.cx; ++x)
            if (IsBlack(mask.get(), x, y)) return true;
        return false;
    };
    m.left = -1;
    for (int x = 0; x < cell.cx; ++x)
        if (columnHasBlack(x)) {
            if (m.left < 0) m.left = x;
            ++m.width;
        }
    m.top = -1;
    for (int y = 0; y < cell.cy; ++y)
        if (rowHasBlack(y)) {
            if (m.top < 0) m.top = y;
            ++m.height;
        }
    m.left = std::max(0, m.left);
    m.top = std::max(0, m.top);
    // The dot: black on the white interior of the monochrome image.
    Bitmap image = RadioCell(cell.cx, cell.cy, DFCS_BUTTONRADIOIMAGE);
    auto black = [&](int x, int y) { return x >= 0 && y >= 0 && x < cell.cx && y < cell.cy && IsBlack(image.get(), x, y); };
    const int column = m.left + m.width / 2 - 1;
    int y = m.top + m.height / 2 - 2;
    while (black(column, y - 1)) --y;
    m.dot.top = y;
    while (black(column, y)) ++y;
    m.dot.bottom = y;
    const int row = m.top + m.height / 2 - 1;
    int x = m.left + m.width / 2 - 2;
    while (black(x - 1, row)) --x;
    m.dot.left = x;
    while (black(x, row)) ++x;
    m.dot.right = x;
}

void TcxRadioButtonImageList::MakePattern()
{
    const int w = Width(), h = Height();
    pattern_.assign(static_cast<std::size_t>(h), std::vector<std::uint8_t>(static_cast<std::size_t>(w), rpcOutside));
    if (w < 3 || h < 3) return;
    const auto outline = RoundShape(w, h, RECT{0, 0, w, h}, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (outline[y][x]) pattern_[y][x] = (h - 1) * (w - 1 - x) < y * (w - 1) ? rpcOuterLowerRight : rpcOuterUpperLeft;
    auto isRing = [&](int x, int y) { return pattern_[y][x] == rpcOuterUpperLeft || pattern_[y][x] == rpcOuterLowerRight; };
    // Interior: from the middle outwards up to the ring.
    for (int y = 1; y <= h - 2; ++y) {
        for (int x = w / 2 - 1; x >= 0 && pattern_[y][x] == rpcOutside; --x) pattern_[y][x] = rpcInterior;
        for (int x = w / 2; x < w && pattern_[y][x] == rpcOutside; ++x) pattern_[y][x] = rpcInterior;
    }
    // Inner ring: the cell just inside the outer ring, walking from the
    // middle in each direction; the first and last lines are inner ring all along.
    std::vector<std::vector<bool>> marked(static_cast<std::size_t>(h), std::vector<bool>(static_cast<std::size_t>(w)));
    auto walk = [&](int x, int y, int dx, int dy, bool markAll) {
        if (isRing(x, y)) return;
        int fx = x, fy = y;
        while (fx + dx >= 0 && fx + dx < w && fy + dy >= 0 && fy + dy < h && !isRing(fx + dx, fy + dy)) {
            if (markAll) marked[fy][fx] = true;
            fx += dx;
            fy += dy;
        }
        marked[fy][fx] = true;
    };
    for (int y = 1; y <= h - 2; ++y) {
        const bool edge = y == 1 || y == h - 2;
        walk(w / 2 - 1, y, -1, 0, edge);
        walk(w / 2, y, 1, 0, edge);
    }
    for (int x = 1; x <= w - 2; ++x) {
        const bool edge = x == 1 || x == w - 2;
        walk(x, h / 2 - 1, 0, -1, edge);
        walk(x, h / 2, 0, 1, edge);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!marked[y][x]) continue;
            const int below = (h - 1) * (w - x - 1), right = (w - 1) * y;
            const bool lower = below < right || (below == right && x > w / 2 - 1);
            pattern_[y][x] = lower ? rpcInnerLowerRight : rpcInnerUpperLeft;
        }
    const RECT& d = measurements_.dot;
    const auto dot = RoundShape(w, h, RECT{d.left - measurements_.left, d.top - measurements_.top,
                                           d.right - measurements_.left, d.bottom - measurements_.top}, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (dot[y][x]) pattern_[y][x] = rpcDot;
}

void TcxRadioButtonImageList::MakeMask()
{
    const int w = std::max(1, Width()), h = std::max(1, Height());
    mask_ = NewBitmap(w, h, pf1bit);
    Fill(mask_.get(), clWhite);
    TCanvas* c = mask_->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlack);
    c->RoundRect(0, 0, w, h, w - 1, h - 1);
}

int TcxRadioButtonImageList::MapIndex(TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused,
                                      bool isDesigning)
{
    return (RadioState(state) - 1) + 4 * checked + 8 * kind + 32 * isDesigning + 64 * focused;
}

int TcxRadioButtonImageList::ImageIndex(TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused,
                                        bool isDesigning) const
{
    return indexMap_[static_cast<std::size_t>(MapIndex(kind, state, checked, focused, isDesigning))];
}

TColor TcxRadioButtonImageList::CodeColor(int code, TcxLookAndFeelKind kind, TcxButtonState state, bool checked,
                                          bool focused, bool isDesigning)
{
    state = RadioState(state);
    switch (code) {
    case rpcOutside: return clBlack;
    case rpcInterior: return InteriorColor(kind, state);
    case rpcDot: return DotColor(kind, state, checked);
    default: return RingColor(code, kind, state, focused, isDesigning);
    }
}

void TcxRadioButtonImageList::AddImage(TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused,
                                       bool isDesigning)
{
    const int w = std::max(1, Width()), h = std::max(1, Height());
    Bitmap image = NewBitmap(w, h);
    COLORREF colors[rpcDot + 1];
    for (int code = rpcOutside; code <= rpcDot; ++code)
        colors[code] = ColorToRGB(CodeColor(code, kind, state, checked, focused, isDesigning));
    for (int y = 0; y < Height(); ++y) {
        std::vector<COLORREF> row;
        for (std::uint8_t code : pattern_[y]) row.push_back(colors[code]);
        SetRow(image.get(), y, row);
    }
    indexMap_[static_cast<std::size_t>(MapIndex(kind, state, checked, focused, isDesigning))] =
        images_->Add(image.get(), mask_.get());
}

void TcxRadioButtonImageList::MakeImages()
{
    images_->BeginUpdate();
    for (bool focused : {false, true})
        for (bool isDesigning : {false, true})
            for (int kind = lfFlat; kind <= lfOffice11; ++kind)
                for (bool checked : {false, true})
                    for (int state = cxbsNormal; state <= cxbsDisabled; ++state)
                        AddImage(TcxLookAndFeelKind(kind), TcxButtonState(state), checked, focused, isDesigning);
    images_->EndUpdate();
}

void TcxRadioButtonImageList::Draw(TcxCanvas* canvas, int x, int y, TColor brushColor, TcxLookAndFeelKind kind,
                                   TcxButtonState state, bool checked, bool focused, bool isDesigning)
{
    if (Width() <= 0 || Height() <= 0) return;
    if (Count() == 0) MakeImages();
    const int index = ImageIndex(kind, state, checked, focused, isDesigning);
    if (brushColor == clDefault) {
        images_->Draw(canvas->Canvas(), x, y, index);
        return;
    }
    Bitmap composed = NewBitmap(Width(), Height());
    Fill(composed.get(), brushColor);
    images_->Draw(composed->Canvas(), 0, 0, index);
    canvas->Draw(x, y, composed.get());
}

TcxRadioButtonImageList* cxRadioButtonImageList()
{
    auto& unit = U();
    if (unit.starts == 0) return nullptr;
    if (!unit.radios) unit.radios.reset(CreateObject<TcxRadioButtonImageList>());
    return unit.radios.get();
}

// ---- unit ----------------------------------------------------------------------------------

void cxLookAndFeelPainterImagesInitialize()
{
    auto& unit = U();
    if (unit.starts++ > 0) return;
    quelvo_resources::Register_foundation();
    unit.indicators = LoadIndicators();
    UpdateScrollBarBitmaps();
    unit.autoHideOn = LoadGlyph("CX_AUTOHIDEON");
    unit.autoHideOff = LoadGlyph("CX_AUTOHIDEOFF");
    unit.autoHideOn->SetTransparent(true);
    unit.autoHideOff->SetTransparent(true);
    unit.paletteNotifier.reset(CreateObject<TcxSystemPaletteChangedNotifier>(true));
    unit.paletteNotifier->OnSystemPaletteChanged = TcxSystemPaletteChangedEvent::FromFunction([] {
        if (U().radios) U().radios->Clear();
    });
}

void cxLookAndFeelPainterImagesFinalize()
{
    auto& unit = U();
    if (unit.starts == 0 || --unit.starts > 0) return;
    unit.paletteNotifier.reset();
    unit.autoHideOn.reset();
    unit.autoHideOff.reset();
    unit.track.reset();
    unit.trackPressed.reset();
    unit.indicators.reset();
    unit.radios.reset();
}
