#include "components/editor-catalogue/cxButtons.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/ctldefs.h"
#include "platform/graphics/picture.h"
#include "platform/hostlib/visual/actnlist.h"
#include "platform/hostlib/visual/control_canvas.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxButtonKind*)
{
    static const TEnumInfo info{"TcxButtonKind", {"cxbkStandard", "cxbkDropDown", "cxbkDropDownButton"}, 0};
    return info;
}

// ---- TcxButtonColors -------------------------------------------------------------------------

TClass TcxButtonColors::StaticClass()
{
    return DefineClass<TcxButtonColors, TPersistent>("TcxButtonColors", [](ClassBuilder<TcxButtonColors>& b) {
        b.Property("Default", &TcxButtonColors::Default, &TcxButtonColors::SetDefault)
            .Stored([](const TcxButtonColors& c) { return c.IsStored(cxbsDefault); });
        b.Property("Normal", &TcxButtonColors::Normal, &TcxButtonColors::SetNormal)
            .Stored([](const TcxButtonColors& c) { return c.IsStored(cxbsNormal); });
        b.Property("Hot", &TcxButtonColors::Hot, &TcxButtonColors::SetHot)
            .Stored([](const TcxButtonColors& c) { return c.IsStored(cxbsHot); });
        b.Property("Pressed", &TcxButtonColors::Pressed, &TcxButtonColors::SetPressed)
            .Stored([](const TcxButtonColors& c) { return c.IsStored(cxbsPressed); });
        b.Property("Disabled", &TcxButtonColors::Disabled, &TcxButtonColors::SetDisabled)
            .Stored([](const TcxButtonColors& c) { return c.IsStored(cxbsDisabled); });
    });
}

void TcxButtonColors::Assign(TPersistent* source)
{
    auto* other = As<TcxButtonColors>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    std::copy(std::begin(other->colors_), std::end(other->colors_), std::begin(colors_));
    assigned_ = other->assigned_;
    Changed();
}

void TcxButtonColors::SetColor(TcxButtonState state, TColor value)
{
    if (value == clNone || value == clDefault) {
        colors_[state] = clDefault;
        assigned_.Exclude(state);
    } else if (colors_[state] != value) {
        colors_[state] = value;
        assigned_.Include(state);
    }
    Changed();
}

void TcxButtonColors::SetAssignedColors(TcxButtonAssignedColors value)
{
    if (!button_ || !button_->ComponentState().Contains(csDesigning)) return;
    for (int s = cxbsDefault; s <= cxbsDisabled; ++s) {
        const auto state = static_cast<TcxButtonState>(s);
        if (!value.Contains(state)) colors_[state] = clDefault;
        else if (colors_[state] == clDefault) value.Exclude(state);
    }
    assigned_ = value;
    Changed();
}

void TcxButtonColors::Changed()
{
    if (button_) button_->Invalidate();
}

// ---- glyph lists and their cache ---------------------------------------------------------------

TClass TcxGlyphList::StaticClass()
{
    return DefineClass<TcxGlyphList, TCustomImageList>("TcxGlyphList", [](ClassBuilder<TcxGlyphList>&) {});
}

namespace {

// White where a pixel of image is maskColor: the image list's mask form.
ObjectPtr<TBitmap> MaskOf(TBitmap* image, TColor maskColor)
{
    quelvo::gfx::Picture p = image->ToPicture();
    const auto key = static_cast<quelvo::gfx::Pixel>(ColorToRGB(maskColor));
    const quelvo::gfx::Pixel keyRgb = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    for (auto& px : p.pixels) px = (px & 0xFFFFFF) == keyRgb ? 0xFFFFFFFFu : 0xFF000000u;
    p.hasAlpha = false;
    auto mask = MakeObject<TBitmap>();
    mask->LoadFromPicture(p);
    return mask;
}

TcxGlyphCache*& GlyphCacheSlot()
{
    static TcxGlyphCache* cache = nullptr;
    return cache;
}

}  // namespace

int TcxGlyphList::AddGlyph(TBitmap* image, TColor maskColor)
{
    const ObjectPtr<TBitmap> mask = MaskOf(image, maskColor);
    const auto freeSlot = std::find(used_.begin(), used_.end(), false);
    int index = static_cast<int>(freeSlot - used_.begin());
    if (freeSlot != used_.end()) {
        Replace(index, image, mask.get());
        used_[static_cast<std::size_t>(index)] = true;
    } else {
        index = Add(image, mask.get());
        used_.resize(static_cast<std::size_t>(index) + 1, false);
        used_[static_cast<std::size_t>(index)] = true;
    }
    ++usedCount_;
    return index;
}

void TcxGlyphList::DeleteGlyph(int index)
{
    if (index < 0 || index >= static_cast<int>(used_.size()) || !used_[static_cast<std::size_t>(index)]) return;
    used_[static_cast<std::size_t>(index)] = false;
    --usedCount_;
}

TcxGlyphCache::~TcxGlyphCache()
{
    for (TcxGlyphList* list : lists_) list->Free();
}

TcxGlyphList* TcxGlyphCache::GetList(int width, int height)
{
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return *it;
    auto* list = CreateObject<TcxGlyphList>(nullptr);
    list->SetSize(width, height);
    lists_.push_back(list);
    return list;
}

void TcxGlyphCache::ReturnList(TcxGlyphList* list)
{
    if (!list || list->UsedCount() != 0) return;
    const auto it = std::find(lists_.begin(), lists_.end(), list);
    if (it == lists_.end()) return;
    lists_.erase(it);
    list->Free();
}

TcxGlyphCache* cxButtonGlyphCache() { return GlyphCacheSlot(); }

// ---- layout ------------------------------------------------------------------------------------

namespace {

struct AxisLayout {
    int margin;
    int spacing;
};

// Margin and spacing along the layout axis (c client, g glyph, t text).
AxisLayout AxisMarginSpacing(int c, int g, int t, int margin, int spacing)
{
    if (margin == -1 && spacing == -1) {
        const int m = (c - (g + t)) / 3;
        return {m, m};
    }
    if (margin == -1) return {(c - (g + spacing + t)) / 2, spacing};
    if (spacing == -1) return {margin, ((c - (margin + g)) - t) / 2};
    return {margin, spacing};
}

}  // namespace

TcxButtonLayoutResult cxCalcButtonLayout(const RECT& client, const POINT& offset, SIZE glyph, SIZE text,
                                         TButtonLayout layout, int margin, int spacing, bool rightToLeft)
{
    if (rightToLeft && layout == blGlyphLeft) layout = blGlyphRight;
    else if (rightToLeft && layout == blGlyphRight) layout = blGlyphLeft;
    const SIZE c{client.right - client.left, client.bottom - client.top};
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    POINT g{};
    POINT t{};
    if (horizontal) {
        g.y = (c.cy - glyph.cy) / 2;
        t.y = (c.cy - text.cy - 1) / 2;
    } else {
        g.x = (c.cx - glyph.cx) / 2;
        t.x = (c.cx - text.cx) / 2;
    }
    if (text.cx == 0 || glyph.cx == 0) spacing = 0;
    const AxisLayout a = horizontal ? AxisMarginSpacing(c.cx, glyph.cx, text.cx, margin, spacing)
                                    : AxisMarginSpacing(c.cy, glyph.cy, text.cy, margin, spacing);
    switch (layout) {
    case blGlyphLeft:
        g.x = a.margin;
        t.x = a.margin + glyph.cx + a.spacing;
        break;
    case blGlyphRight:
        g.x = c.cx - a.margin - glyph.cx;
        t.x = g.x - a.spacing - text.cx;
        break;
    case blGlyphTop:
        g.y = a.margin;
        t.y = a.margin + glyph.cy + a.spacing;
        break;
    case blGlyphBottom:
        g.y = c.cy - a.margin - glyph.cy;
        t.y = g.y - a.spacing - text.cy;
        break;
    }
    const int dx = client.left + offset.x;
    const int dy = client.top + offset.y;
    TcxButtonLayoutResult r;
    r.GlyphPos = POINT{g.x + dx, g.y + dy};
    r.TextBounds = RECT{t.x + dx, t.y + dy, t.x + dx + text.cx, t.y + dy + text.cy};
    return r;
}

// ---- TcxButtonGlyph ----------------------------------------------------------------------------

TClass TcxButtonGlyph::StaticClass()
{
    return DefineClass<TcxButtonGlyph, TObject>("TcxButtonGlyph", [](ClassBuilder<TcxButtonGlyph>&) {});
}

void TcxButtonGlyph::Construct()
{
    if (!GlyphCacheSlot()) GlyphCacheSlot() = new TcxGlyphCache();
    glyph_ = MakeObject<TBitmap>();
    glyph_->OnChange = TNotifyEvent::Bind(this, &TcxButtonGlyph::GlyphChanged);
}

void TcxButtonGlyph::Destroy()
{
    Invalidate();
    glyph_.reset();
    if (GlyphCacheSlot() && GlyphCacheSlot()->IsEmpty()) {
        delete GlyphCacheSlot();
        GlyphCacheSlot() = nullptr;
    }
    TObject::Destroy();
}

void TcxButtonGlyph::SetGlyph(TBitmap* value)
{
    changing_ = true;
    {
        quelvo::sys::ScopeGuard done([this] { changing_ = false; });
        if (value) glyph_->Assign(value);
        else glyph_->SetSize(0, 0);
    }
    const int w = glyph_->Width();
    const int h = glyph_->Height();
    if (h > 0 && w % h == 0) numGlyphs_ = w / h > 4 ? 1 : std::max(1, w / h);
    GlyphChanged(glyph_.get());
}

void TcxButtonGlyph::SetNumGlyphs(int value)
{
    value = std::clamp(value, 1, 4);
    if (value == numGlyphs_) return;
    numGlyphs_ = value;
    GlyphChanged(glyph_.get());
}

void TcxButtonGlyph::GlyphChanged(TObject*)
{
    if (changing_) return;
    Invalidate();
    OnChange(this);
}

void TcxButtonGlyph::Invalidate()
{
    for (int& index : indexes_) {
        if (index >= 0 && glyphList_) glyphList_->DeleteGlyph(index);
        index = -1;
    }
    if (glyphList_ && GlyphCacheSlot()) GlyphCacheSlot()->ReturnList(glyphList_);
    glyphList_ = nullptr;
}

SIZE TcxButtonGlyph::GlyphSize() const
{
    if (glyph_->Width() == 0 || glyph_->Height() == 0) return SIZE{0, 0};
    return SIZE{glyph_->Width() / numGlyphs_, glyph_->Height()};
}

int TcxButtonGlyph::CreateButtonGlyph(TcxButtonState state)
{
    TcxButtonGlyphKind kind = bgkUp;
    if (state == cxbsPressed) kind = numGlyphs_ < 3 ? bgkUp : bgkDown;
    else if (state == cxbsDisabled) kind = bgkDisabled;
    if (indexes_[kind] >= 0) return indexes_[kind];
    const SIZE size = GlyphSize();
    if (size.cx <= 0 || size.cy <= 0) return -1;
    ObjectPtr<TBitmap> image = MakeImage(kind);
    if (!glyphList_) glyphList_ = GlyphCacheSlot()->GetList(size.cx, size.cy);
    const bool fixed = kind != bgkDisabled && glyph_->TransparentMode() == tmFixed;
    const TColor mask = fixed ? transparentColor_ : image->TransparentColor();
    indexes_[kind] = glyphList_->AddGlyph(image.get(), mask);
    return indexes_[kind];
}

ObjectPtr<TBitmap> TcxButtonGlyph::CutImage(int index)
{
    const SIZE size = GlyphSize();
    auto image = MakeObject<TBitmap>();
    image->SetSize(size.cx, size.cy);
    const RECT whole{0, 0, size.cx, size.cy};
    image->Canvas()->Brush()->SetColor(clBtnFace);
    image->Canvas()->FillRect(whole);
    const RECT source{index * size.cx, 0, (index + 1) * size.cx, size.cy};
    image->Canvas()->CopyRect(whole, glyph_->Canvas(), source);
    return image;
}

ObjectPtr<TBitmap> TcxButtonGlyph::MakeImage(TcxButtonGlyphKind kind)
{
    if (kind != bgkDisabled) return CutImage(kind < numGlyphs_ ? kind : 0);
    return numGlyphs_ >= 2 ? MakeRecoloured() : MakeEmbossed();
}

namespace {

quelvo::gfx::Pixel PixelOf(TColor color)
{
    const auto c = static_cast<std::uint32_t>(ColorToRGB(color));
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace

// The second image with white in the highlight colour, grey in the shadow
// colour and the transparent colour in the face colour.
ObjectPtr<TBitmap> TcxButtonGlyph::MakeRecoloured()
{
    ObjectPtr<TBitmap> image = CutImage(1);
    quelvo::gfx::Picture p = image->ToPicture();
    const quelvo::gfx::Pixel transparent = PixelOf(transparentColor_) & 0xFFFFFF;
    for (auto& px : p.pixels) {
        const quelvo::gfx::Pixel rgb = px & 0xFFFFFF;
        if (rgb == 0xFFFFFF) px = PixelOf(clBtnHighlight);
        else if (rgb == 0x808080) px = PixelOf(clBtnShadow);
        else if (rgb == transparent) px = PixelOf(clBtnFace);
    }
    p.hasAlpha = false;
    image->LoadFromPicture(p);
    return image;
}

// The shape of the up image in the highlight colour one pixel right and
// down, then in the shadow colour at its place, on the face colour.
ObjectPtr<TBitmap> TcxButtonGlyph::MakeEmbossed()
{
    const quelvo::gfx::Picture source = CutImage(0)->ToPicture();
    const quelvo::gfx::Pixel transparent = PixelOf(transparentColor_) & 0xFFFFFF;
    quelvo::gfx::Picture p = source;
    std::fill(p.pixels.begin(), p.pixels.end(), PixelOf(clBtnFace));
    auto shape = [&](int x, int y) {
        const quelvo::gfx::Pixel rgb = source.pixels[static_cast<std::size_t>(y) * source.width + x] & 0xFFFFFF;
        return rgb != transparent && rgb != (PixelOf(clBtnFace) & 0xFFFFFF) && rgb != 0xFFFFFF;
    };
    for (int pass = 0; pass < 2; ++pass) {
        const int d = pass == 0 ? 1 : 0;
        const quelvo::gfx::Pixel colour = PixelOf(pass == 0 ? clBtnHighlight : clBtnShadow);
        for (int y = 0; y + d < p.height; ++y)
            for (int x = 0; x + d < p.width; ++x)
                if (shape(x, y)) p.pixels[static_cast<std::size_t>(y + d) * p.width + x + d] = colour;
    }
    p.hasAlpha = false;
    auto image = MakeObject<TBitmap>();
    image->LoadFromPicture(p);
    image->SetTransparentColor(clBtnFace);
    return image;
}

SIZE TcxButtonGlyph::CaptionSize(TcxCanvas* canvas, const std::string& caption, const RECT& client, int biDiFlags)
{
    if (caption.empty()) return SIZE{0, 0};
    RECT r{0, 0, client.right - client.left, 0};
    canvas->TextExtent(caption, r, cxtfHCenter | biDiFlags);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void TcxButtonGlyph::Draw(TcxCanvas* canvas, const RECT& client, const POINT& offset, const std::string& caption,
                          TButtonLayout layout, int margin, int spacing, TcxButtonState state, int biDiFlags)
{
    const SIZE text = CaptionSize(canvas, caption, client, biDiFlags);
    const TcxButtonLayoutResult place = cxCalcButtonLayout(client, offset, GlyphSize(), text, layout, margin,
                                                           spacing, (biDiFlags & cxtfRight) != 0);
    const int index = CreateButtonGlyph(state);
    if (index >= 0) glyphList_->Draw(canvas->Canvas(), place.GlyphPos.x, place.GlyphPos.y, index);
    if (caption.empty()) return;
    canvas->Brush()->SetStyle(bsClear);
    RECT r = place.TextBounds;
    const int flags = cxtfHCenter | cxtfVCenter | biDiFlags;
    if (state == cxbsDisabled) {
        const TColor fontColor = canvas->Font()->Color();
        canvas->Font()->SetColor(clBtnHighlight);
        canvas->DrawTexT(caption, cxRectOffset(r, 1, 1), flags);
        canvas->Font()->SetColor(fontColor);
    }
    canvas->DrawTexT(caption, r, flags);
}

// ---- TcxCustomButton ---------------------------------------------------------------------------

TClass TcxCustomButton::StaticClass()
{
    return DefineClass<TcxCustomButton, TButton>("TcxCustomButton", [](ClassBuilder<TcxCustomButton>&) {});
}

TClass TcxButton::StaticClass()
{
    return DefineClass<TcxButton, TcxCustomButton>("TcxButton", [](ClassBuilder<TcxButton>& b) {
        b.Property("Colors", &TcxButton::Colors, &TcxButton::SetColors);
        b.Property("DropDownMenu", &TcxButton::DropDownMenu, &TcxButton::SetDropDownMenu);
        b.Property("Glyph", &TcxButton::Glyph, &TcxButton::SetGlyph);
        b.Property("Kind", &TcxButton::Kind, &TcxButton::SetKind).Default(cxbkStandard);
        b.Property("Layout", &TcxButton::Layout, &TcxButton::SetLayout).Default(blGlyphLeft);
        b.Property("LookAndFeel", &TcxButton::LookAndFeel, &TcxButton::SetLookAndFeel);
        b.Property("Margin", &TcxButton::Margin, &TcxButton::SetMargin).Default(-1);
        b.Property("NumGlyphs", &TcxButton::NumGlyphs, &TcxButton::SetNumGlyphs).Default(1);
        b.Property("PopupAlignment", &TcxButton::PopupAlignment, &TcxButton::SetPopupAlignment).Default(paLeft);
        b.Property("PopupMenu", &TcxButton::PopupMenu, &TcxButton::SetPopupMenu);
        b.Property("Spacing", &TcxButton::Spacing, &TcxButton::SetSpacing).Default(4);
        b.Property("UseSystemPaint", &TcxButton::UseSystemPaint, &TcxButton::SetUseSystemPaint).Default(false);
        b.EventProperty("OnDropDownMenuPopup", &TcxButton::OnDropDownMenuPopup);
        b.EventProperty("OnGetDrawParams", &TcxButton::OnGetDrawParams);
    });
}

void TcxCustomButton::Construct(TComponent* owner)
{
    glyph_.reset(CreateInstance<TcxButtonGlyph>(GetGlyphClass()));
    glyph_->OnChange = TNotifyEvent::Bind(this, &TcxCustomButton::GlyphChanged);
    TButton::Construct(owner);
    colors_.reset(CreateObject<TcxButtonColors>(this));
    canvas_ = MakeObject<TControlCanvas>();
    canvas_->SetControl(this);
    cxCanvas_.reset(CreateObject<TcxCanvas>(canvas_.get()));
    lookAndFeel_.reset(CreateObject<TcxLookAndFeel>(this));
    lookAndFeel_->OnChanged = TcxLookAndFeelChangedEvent::Bind(this, &TcxCustomButton::LookAndFeelChanged);
    controlStyle_.Include(csOpaque);
    controlStyle_.Include(csReflector);
}

void TcxCustomButton::Destroy()
{
    EndMouseTracking(&trackingCaller_);
    lookAndFeel_.reset();
    colors_.reset();
    TButton::Destroy();
    glyph_.reset();
    cxCanvas_.reset();
    canvas_.reset();
}

TClass TcxCustomButton::GetGlyphClass() { return TcxButtonGlyph::StaticClass(); }

TcxCustomLookAndFeelPainterClass TcxCustomButton::GetPainterClass()
{
    // The window still answers messages while it goes, after LookAndFeel.
    if (!lookAndFeel_) return cxLookAndFeelPainterOfStyle(lfsStandard);
    TcxCustomLookAndFeelPainterClass painter = lookAndFeel_->Painter();
    if (painter->LookAndFeelStyle() != lfsOffice11) return painter;
    return AreVisualStylesAvailable(totButton) ? cxLookAndFeelPainterOfStyle(lfsNative)
                                               : cxLookAndFeelPainterOfStyle(lfsStandard);
}

void TcxCustomButton::CreateParams(TCreateParams& params)
{
    TButton::CreateParams(params);
    if (StandardButton()) return;
    params.Style = (params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

DWORD TcxCustomButton::ButtonStyle() const { return StandardButton() ? TButton::ButtonStyle() : BS_OWNERDRAW; }

void TcxCustomButton::CreateHandle()
{
    TButton::CreateHandle();
    glyph_->CreateButtonGlyph(Enabled() ? cxbsNormal : cxbsDisabled);
}

void TcxCustomButton::Notification(TComponent* component, TOperation operation)
{
    TButton::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == dropDownMenu_) dropDownMenu_ = nullptr;
    if (component == popupMenu_) popupMenu_ = nullptr;
}

void TcxCustomButton::ActionChange(TObject* sender, bool checkDefaults)
{
    TButton::ActionChange(sender, checkDefaults);
    auto* action = As<TCustomAction>(sender);
    if (!action || !Glyph()->Empty() || !action->ActionList()) return;
    TCustomImageList* images = action->ActionList()->Images();
    const int index = action->ImageIndex();
    if (!images || index < 0 || index >= images->Count()) return;
    // Fuchsia around the image becomes the glyph's mask (its lower left pixel).
    auto image = MakeObject<TBitmap>();
    image->SetSize(images->Width(), images->Height());
    image->Canvas()->Brush()->SetColor(clFuchsia);
    image->Canvas()->FillRect(RECT{0, 0, images->Width(), images->Height()});
    images->Draw(image->Canvas(), 0, 0, index);
    SetGlyph(image.get());
}

void TcxCustomButton::SetButtonStyle(bool isDefault)
{
    if (StandardButton()) {
        TButton::SetButtonStyle(isDefault);
        return;
    }
    if (isDefault == defaultStyle_) return;
    defaultStyle_ = isDefault;
    Refresh();
}

// ---- properties --------------------------------------------------------------------------------

void TcxCustomButton::SetDropDownMenu(TPopupMenu* value)
{
    if (value == dropDownMenu_) return;
    if (dropDownMenu_) dropDownMenu_->RemoveFreeNotification(this);
    dropDownMenu_ = value;
    if (value) value->FreeNotification(this);
}

void TcxCustomButton::SetPopupMenu(TComponent* value)
{
    if (value && !As<TPopupMenu>(value) && !Supports<IcxPopupMenu>(value)) value = nullptr;
    if (value == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = value;
    if (value) value->FreeNotification(this);
}

void TcxCustomButton::SetGlyph(TBitmap* value)
{
    glyph_->SetGlyph(value);
    glyphModified_ = true;
    Invalidate();
}

void TcxCustomButton::SetKind(TcxButtonKind value)
{
    if (value == kind_) return;
    kind_ = value;
    RecreateWnd();
}

void TcxCustomButton::SetLayout(TButtonLayout value)
{
    if (value == layout_) return;
    layout_ = value;
    Invalidate();
}

void TcxCustomButton::SetMargin(int value)
{
    if (value < -1 || value == margin_) return;
    margin_ = value;
    Invalidate();
}

void TcxCustomButton::SetNumGlyphs(int value)
{
    if (std::clamp(value, 1, 4) == glyph_->NumGlyphs()) return;
    glyph_->SetNumGlyphs(value);
    Invalidate();
}

void TcxCustomButton::SetSpacing(int value)
{
    if (value == spacing_) return;
    spacing_ = value;
    Invalidate();
}

void TcxCustomButton::GlyphChanged(TObject*) { Invalidate(); }

void TcxCustomButton::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues)
{
    if (HandleAllocated()) RecreateWnd();
}

// ---- state and painting ------------------------------------------------------------------------

bool TcxCustomButton::IsHotTrack()
{
    return !StandardButton() && GetPainterClass()->IsButtonHotTrack() && Enabled();
}

RECT TcxCustomButton::GetContentRect(TcxButtonState state)
{
    RECT r = ClientRect();
    const int border = GetPainterClass()->ButtonBorderSize(state);
    InflateRect(&r, -border, -border);
    return r;
}

TcxButtonState TcxCustomButton::CurrentState() const
{
    const bool pressed = kind_ == cxbkDropDown ? menuVisible_ : pressed_ && !(kind_ == cxbkDropDownButton && lock_);
    if (!Enabled()) return cxbsDisabled;
    if (pressed || menuVisible_) return cxbsPressed;
    if (hot_) return cxbsHot;
    if (focused_ || defaultStyle_) return cxbsDefault;
    return cxbsNormal;
}

void TcxCustomButton::CNDrawItem(TMessage& m)
{
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    canvas_->SetHandle(item.hDC);
    quelvo::sys::ScopeGuard release([this] { canvas_->SetHandle(nullptr); });
    pressed_ = (item.itemState & ODS_SELECTED) != 0 && !lock_;
    focused_ = (item.itemState & ODS_FOCUS) != 0 || (Default() && ComponentState().Contains(csDesigning));
    InternalPaint();
    m.Result = TRUE;
}

void TcxCustomButton::InternalPaint()
{
    if (StandardButton() || !colors_) return;
    TcxCustomLookAndFeelPainterClass painter = GetPainterClass();
    RECT r = ClientRect();
    RECT part{r.right - cxDropDownButtonWidth, r.top, r.right, r.bottom};
    if (kind_ == cxbkDropDownButton) r.right = part.left + 2;
    const TcxButtonState state = CurrentState();
    cxCanvas_->Font()->Assign(Font());
    cxCanvas_->Font()->SetColor(painter->ButtonSymbolColor(state));
    TColor color = colors_->Color(state);
    if (OnGetDrawParams) OnGetDrawParams(this, state, color, cxCanvas_->Font());
    painter->DrawButton(cxCanvas_.get(), r, "", state, true, color, cxCanvas_->Font()->Color());
    const int shift = painter->ButtonTextShift();
    const POINT offset = state == cxbsPressed && shift != 0 ? POINT{shift, shift} : POINT{0, 0};
    {
        TcxRegion* saved = cxCanvas_->GetClipRegion();
        quelvo::sys::ScopeGuard restore([&] { cxCanvas_->SetClipRegion(saved, roSet); });
        cxCanvas_->IntersectClipRect(GetContentRect(state));
        glyph_->Draw(cxCanvas_.get(), r, offset, Caption(), layout_, margin_, spacing_, state, 0);
    }
    if (kind_ == cxbkDropDownButton) PaintDropDownPart(painter, part, state, color);
    if (Focused() && !menuVisible_) cxCanvas_->DrawFocusRect(painter->ButtonFocusRect(cxCanvas_.get(), r));
}

void TcxCustomButton::PaintDropDownPart(TcxCustomLookAndFeelPainterClass painter, const RECT& part,
                                        TcxButtonState state, TColor color)
{
    painter->DrawButton(cxCanvas_.get(), part, "", state, true, color, cxCanvas_->Font()->Color());
    painter->DrawScrollBarArrow(cxCanvas_.get(), part, state, adDown);
}

void TcxCustomButton::WMEraseBkgnd(TMessage& m)
{
    if (StandardButton() || GetPainterClass()->LookAndFeelStyle() == lfsNative) {
        TButton::Dispatch(m);
        return;
    }
    m.Result = 1;
}

void TcxCustomButton::CNMeasureItem(TMessage& m)
{
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    item->itemWidth = static_cast<UINT>(Width());
    item->itemHeight = static_cast<UINT>(Height());
    m.Result = TRUE;
}

// ---- messages ----------------------------------------------------------------------------------

void TcxCustomButton::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CN_DRAWITEM: return CNDrawItem(m);
    case CN_MEASUREITEM: return CNMeasureItem(m);
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONDOWN: return WMLButtonDown(m);
    case WM_LBUTTONUP: return WMLButtonUp(m);
    case WM_CONTEXTMENU: return WMContextMenu(m);
    case WM_CAPTURECHANGED: return WMCaptureChanged(m);
    case CM_DROPDOWNPOPUPMENU: return CMDropDownPopupMenu();
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: return CNKeyDown(m);
    case CM_ENABLEDCHANGED:
        if (!Enabled()) hot_ = false;
        break;
    default: break;
    }
    TButton::Dispatch(m);
}

bool TcxCustomButton::IsInDropDownPart(int x) const { return x >= Width() - cxDropDownButtonWidth; }

void TcxCustomButton::WMLButtonDown(TMessage& m)
{
    if (kind_ == cxbkDropDownButton && IsInDropDownPart(MessageX(m.LParam))) lock_ = true;
    m.Msg = WM_LBUTTONDOWN;
    TButton::Dispatch(m);
}

void TcxCustomButton::WMLButtonUp(TMessage& m)
{
    lock_ = false;
    TButton::Dispatch(m);
}

void TcxCustomButton::WMCaptureChanged(TMessage& m)
{
    TButton::Dispatch(m);
    if (!ComponentState().Contains(csDesigning)) UpdateHotFromCursor();
}

void TcxCustomButton::CNKeyDown(TMessage& m)
{
    if (IsPopupMenuShortCut(popupMenu_, m)) {
        m.Result = 1;
        return;
    }
    TButton::Dispatch(m);
}

void TcxCustomButton::WMContextMenu(TMessage& m)
{
    if (m.Result != 0 || ComponentState().Contains(csDesigning)) return TButton::Dispatch(m);
    POINT p{MessageX(m.LParam), MessageY(m.LParam)};
    const bool keyboard = p.x == -1 && p.y == -1;
    RECT client = ClientRect();
    // The window system's handling, not the control's popup.
    if (!keyboard && !PtInRect(&client, ScreenToClient(p))) return DefaultHandler(m);
    bool handled = false;
    DoContextPopup(keyboard ? POINT{-1, -1} : ScreenToClient(p), handled);
    m.Result = handled ? 1 : 0;
    if (!handled) TButton::Dispatch(m);
}

void TcxCustomButton::DoContextPopup(POINT mousePos, bool& handled)
{
    TButton::DoContextPopup(mousePos, handled);
    if (handled) return;
    if (mousePos.x == -1 && mousePos.y == -1) mousePos = POINT{0, 0};
    const POINT p = ClientToScreen(mousePos);
    handled = DoShowPopupMenu(popupMenu_, p.x, p.y);
}

bool TcxCustomButton::DoShowPopupMenu(TComponent* menu, int x, int y) { return ShowPopupMenu(this, menu, x, y); }

// ---- drop-down ---------------------------------------------------------------------------------

void TcxCustomButton::DoDropDownMenu()
{
    lock_ = true;
    if (HandleAllocated()) PostMessageA(Handle(), CM_DROPDOWNPOPUPMENU, 0, 0);
}

bool TcxCustomButton::DoOnDropDownMenuPopup(TPopupMenu*& menu)
{
    bool handled = false;
    if (OnDropDownMenuPopup) OnDropDownMenuPopup(this, menu, handled);
    return handled;
}

POINT TcxCustomButton::DropDownMenuPoint(TPopupMenu* menu)
{
    int x = 0;
    if (popupAlignment_ == paRight) x = Width();
    else if (popupAlignment_ == paCenter) x = Width() / 2;
    POINT p = ClientToScreen(POINT{x, Height()});
    const int menuHeight = GetPopupMenuHeight(menu);
    if (p.y + menuHeight > GetDesktopWorkArea(p).bottom) p.y -= menuHeight + Height() + 2;
    return p;
}

void TcxCustomButton::CMDropDownPopupMenu()
{
    if (kind_ == cxbkStandard) return;
    TPopupMenu* menu = dropDownMenu_;
    quelvo::sys::ScopeGuard unlock([this] { lock_ = false; });
    if (DoOnDropDownMenuPopup(menu) || !menu) return;
    menuVisible_ = true;
    // The menu takes the mouse: a release over the button is no click.
    if (GetCapture() == Handle()) ReleaseCapture();
    Repaint();
    const POINT p = DropDownMenuPoint(menu);
    const TPopupAlignment alignment = menu->Alignment();
    TComponent* component = menu->PopupComponent();
    {
        quelvo::sys::ScopeGuard restore([&] {
            menu->SetAlignment(alignment);
            menu->SetPopupComponent(component);
        });
        menu->SetAlignment(popupAlignment_);
        menu->SetPopupComponent(this);
        menu->Popup(p.x, p.y);
    }
    UpdateHotFromCursor();
    menuVisible_ = false;
    Repaint();
}

void TcxCustomButton::Click()
{
    if (kind_ == cxbkStandard) return TButton::Click();
    if (kind_ == cxbkDropDown && !menuVisible_) {
        if (!mouseClick_) DoDropDownMenu();
        mouseClick_ = false;
        return;
    }
    if (mouseClick_) {
        mouseClick_ = false;
        return;
    }
    TButton::Click();
}

void TcxCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TButton::MouseDown(button, shift, x, y);
    if (button != mbLeft || kind_ == cxbkStandard) return;
    if (menuVisible_) {
        mouseClick_ = true;
        menuVisible_ = false;
        pressed_ = false;
        Repaint();
        return;
    }
    if (kind_ == cxbkDropDown || IsInDropDownPart(x)) DoDropDownMenu();
}

void TcxCustomButton::KeyDown(WORD& key, TShiftState shift)
{
    TButton::KeyDown(key, shift);
    if (kind_ != cxbkDropDownButton || (key != VK_UP && key != VK_DOWN)) return;
    if (!shift.Contains(ssAlt) && !shift.Contains(ssShift)) return;
    if (!menuVisible_) DoDropDownMenu();
    key = 0;
}

// ---- hot tracking ------------------------------------------------------------------------------

void TcxCustomButton::MouseEnter()
{
    TButton::MouseEnter();
    if (hot_ || !IsHotTrack() || GetCapture()) return;
    RECT r{0, 0, Width(), Height()};
    MapWindowRect(Handle(), nullptr, r);
    BeginMouseTracking(this, r, &trackingCaller_);
    hot_ = true;
    Invalidate();
}

void TcxCustomButton::MouseLeave()
{
    TButton::MouseLeave();
    ButtonMouseLeave();
}

void TcxCustomButton::ButtonMouseLeave()
{
    EndMouseTracking(&trackingCaller_);
    if (!hot_ || !IsHotTrack()) return;
    hot_ = false;
    Invalidate();
}

void TcxCustomButton::MouseMove(TShiftState shift, int x, int y)
{
    TButton::MouseMove(shift, x, y);
    RECT client = ClientRect();
    const POINT p{x, y};
    if (!hot_ && !GetCapture() && PtInRect(&client, p)) MouseEnter();
}

void TcxCustomButton::UpdateHotFromCursor()
{
    const bool hot = IsHotTrack() && HandleAllocated() && WindowFromPoint(GetMouseCursorPos()) == Handle();
    if (hot == hot_) return;
    hot_ = hot;
    Invalidate();
}
