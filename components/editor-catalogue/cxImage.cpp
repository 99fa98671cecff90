#include "components/editor-catalogue/cxImage.h"

#include <algorithm>
#include <cstring>

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditUtils.h"
#include "components/foundation/cxGraphics.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/stdctrls/dialogs.h"
#include "platform/hostlib/visual/clipboard.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

inline constexpr TcxResourceString cxSMenuItemCaptionCut{64400, "Cu&t"};
inline constexpr TcxResourceString cxSMenuItemCaptionCopy{64401, "&Copy"};
inline constexpr TcxResourceString cxSMenuItemCaptionPaste{64402, "&Paste"};
inline constexpr TcxResourceString cxSMenuItemCaptionDelete{64403, "&Delete"};
inline constexpr TcxResourceString cxSMenuItemCaptionLoad{64404, "&Load..."};
inline constexpr TcxResourceString cxSMenuItemCaptionSave{64405, "Save &As..."};

const TEnumInfo& EnumTypeInfo(TcxPopupMenuItem*)
{
    static const TEnumInfo info{"TcxPopupMenuItem",
                                {"pmiCut", "pmiCopy", "pmiPaste", "pmiDelete", "pmiLoad", "pmiSave", "pmiCustom"}};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxImageTransparency*)
{
    static const TEnumInfo info{"TcxImageTransparency", {"gtDefault", "gtOpaque", "gtTransparent"}};
    return info;
}

// ---- the read-only stream -------------------------------------------------------------------

TClass TMemoryStreamReadOnly::StaticClass()
{
    return DefineClass<TMemoryStreamReadOnly, TStream>("TMemoryStreamReadOnly");
}

std::int64_t TMemoryStreamReadOnly::Read(void* buffer, std::int64_t count)
{
    const std::int64_t size = Size();
    if (count <= 0 || position_ >= size) return 0;
    const std::int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, bytes_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStreamReadOnly::Write(const void*, std::int64_t) { return 0; }

std::int64_t TMemoryStreamReadOnly::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = 0;
    if (origin == soCurrent) base = position_;
    else if (origin == soEnd) base = Size();
    position_ = std::max<std::int64_t>(0, base + offset);
    return position_;
}

// ---- graphic classes and values -------------------------------------------------------------

namespace {

std::vector<TClass>*& GraphicClassList()
{
    static std::vector<TClass>* list = nullptr;
    return list;
}

std::uint32_t Le(const std::string& s, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

}  // namespace

const std::vector<TClass>& GetRegisteredGraphicClasses()
{
    std::vector<TClass>*& list = GraphicClassList();
    if (!list)
        list = new std::vector<TClass>{TBitmap::StaticClass(), TIcon::StaticClass(), TMetafile::StaticClass(),
                                       TJPEGImage::StaticClass(), TPngImage::StaticClass()};
    return *list;
}

void RegisterGraphicClass(TClass graphicClass)
{
    GetRegisteredGraphicClasses();
    std::vector<TClass>& list = *GraphicClassList();
    if (graphicClass && std::find(list.begin(), list.end(), graphicClass) == list.end()) list.push_back(graphicClass);
}

void UnRegisterGraphicClass(TClass graphicClass)
{
    GetRegisteredGraphicClasses();
    std::erase(*GraphicClassList(), graphicClass);
}

TClass GetGraphicClassByName(const std::string& name)
{
    for (TClass c : GetRegisteredGraphicClasses())
        if (SameText(c->ClassName(), name)) return c;
    return nullptr;
}

bool IsPictureEmpty(TPicture* picture) { return !picture || !picture->Graphic() || picture->Graphic()->Empty(); }

void SavePicture(TPicture* picture, std::string& value)
{
    value.clear();
    if (IsPictureEmpty(picture)) return;
    TMemoryStream stream;
    picture->Graphic()->SaveToStream(stream);
    value.assign(stream.Bytes().begin(), stream.Bytes().end());
}

void LoadPicture(TPicture* picture, TClass graphicClass, const Variant& value)
{
    if (value.VarType() != varString) {
        picture->SetGraphic(nullptr);
        return;
    }
    const std::string data = VarToStr(value);
    if (data.size() <= 7) {
        picture->SetGraphic(nullptr);
        return;
    }
    try {
        TMemoryStreamReadOnly stream(data);
        const bool header = Le(data, 0, 2) == 1 && Le(data, 2, 2) == 0x0100 && Le(data, 4, 4) == data.size() - 8;
        stream.SetPosition(header ? 8 : 0);
        if (graphicClass) {
            ObjectPtr<TGraphic> graphic(CreateInstance<TGraphic>(graphicClass));
            graphic->LoadFromStream(stream);
            picture->SetGraphic(graphic.get());
        } else {
            picture->Bitmap()->LoadFromStream(stream);
        }
    } catch (...) {
        picture->SetGraphic(nullptr);
    }
}

// ---- the popup menu layout ------------------------------------------------------------------

TClass TcxPopupMenuLayout::StaticClass()
{
    return DefineClass<TcxPopupMenuLayout, TPersistent>("TcxPopupMenuLayout", [](ClassBuilder<TcxPopupMenuLayout>& b) {
        using L = TcxPopupMenuLayout;
        b.Property("MenuItems", &L::MenuItems, &L::SetMenuItems)
            .Default(TcxPopupMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave});
        b.Property("CustomMenuItemCaption", &L::CustomMenuItemCaption, &L::SetCustomMenuItemCaption);
        b.Property("CustomMenuItemGlyph", &L::CustomMenuItemGlyph, &L::SetCustomMenuItemGlyph)
            .Stored([](const L& l) { return l.glyph_ && !l.glyph_->Empty(); });
    });
}

void TcxPopupMenuLayout::Destroy()
{
    glyph_.reset();
    TPersistent::Destroy();
}

TBitmap* TcxPopupMenuLayout::CustomMenuItemGlyph() const
{
    if (!glyph_) glyph_.reset(CreateObject<TBitmap>());
    return glyph_.get();
}

void TcxPopupMenuLayout::SetCustomMenuItemGlyph(TBitmap* value)
{
    if (!value) glyph_.reset();
    else CustomMenuItemGlyph()->Assign(value);
}

void TcxPopupMenuLayout::Assign(TPersistent* source)
{
    auto* other = As<TcxPopupMenuLayout>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    menuItems_ = other->menuItems_;
    caption_ = other->caption_;
    SetCustomMenuItemGlyph(other->CustomMenuItemGlyph());
}

// ---- properties -----------------------------------------------------------------------------

TClass TcxCustomImageProperties::StaticClass()
{
    return DefineClass<TcxCustomImageProperties, TcxCustomEditProperties>("TcxCustomImageProperties");
}

TClass TcxImageProperties::StaticClass()
{
    return DefineClass<TcxImageProperties, TcxCustomImageProperties>(
        "TcxImageProperties", [](ClassBuilder<TcxImageProperties>& b) {
            using P = TcxImageProperties;
            b.Property("Caption", &P::Caption, &P::SetCaption);
            b.Property("Center", &P::Center, &P::SetCenter).Default(true);
            b.Property("CustomFilter", &P::CustomFilter, &P::SetCustomFilter);
            b.Property("GraphicClassName", &P::GraphicClassName, &P::SetGraphicClassName)
                .Stored(&P::IsGraphicClassNameStored);
            b.Property("GraphicTransparency", &P::GraphicTransparency, &P::SetGraphicTransparency).Default(gtDefault);
            b.Property("PopupMenuLayout", &P::PopupMenuLayout, &P::SetPopupMenuLayout);
            b.Property("ShowFocusRect", &P::ShowFocusRect, &P::SetShowFocusRect).Default(true);
            b.Property("Stretch", &P::Stretch, &P::SetStretch).Default(false);
            b.EventProperty("OnAssignPicture", &P::OnAssignPicture);
            b.EventProperty("OnCustomClick", &P::OnCustomClick);
            b.EventProperty("OnGetGraphicClass", &P::OnGetGraphicClass);
        });
}

void TcxCustomImageProperties::Construct(TPersistent* owner)
{
    TcxCustomEditProperties::Construct(owner);
    layout_.reset(CreateObject<TcxPopupMenuLayout>());
    graphicClass_ = GetDefaultGraphicClass();
}

void TcxCustomImageProperties::Destroy()
{
    layout_.reset();
    TcxCustomEditProperties::Destroy();
}

void TcxCustomImageProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomImageProperties>(source);
    if (!other) {
        TcxCustomEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomEditProperties::Assign(source);
    SetCaption(other->caption_);
    SetCenter(other->center_);
    customFilter_ = other->customFilter_;
    SetGraphicClass(other->graphicClass_);
    SetGraphicTransparency(other->transparency_);
    layout_->Assign(other->layout_.get());
    SetShowFocusRect(other->showFocusRect_);
    SetStretch(other->stretch_);
    OnAssignPicture = other->OnAssignPicture;
    OnCustomClick = other->OnCustomClick;
    OnGetGraphicClass = other->OnGetGraphicClass;
}

void TcxCustomImageProperties::DefineProperties(TFiler& filer)
{
    TcxCustomEditProperties::DefineProperties(filer);
    filer.DefineProperty(
        "IsGraphicClassNameEmpty",
        [this](TReader& reader) {
            if (reader.ReadBoolean()) SetGraphicClass(nullptr);
        },
        [](TWriter& writer) { writer.WriteBoolean(true); }, graphicClass_ == nullptr);
}

TClass TcxCustomImageProperties::GetDefaultGraphicClass()
{
    const auto& list = GetRegisteredGraphicClasses();
    return list.empty() ? nullptr : list.front();
}

TClass TcxCustomImageProperties::GetGraphicClass(TObject* item, int recordIndex, bool pasting)
{
    if (graphicClass_) return graphicClass_;
    TClass result = pasting ? TBitmap::StaticClass() : nullptr;
    OnGetGraphicClass(item, recordIndex, pasting, result);
    return result;
}

std::string TcxCustomImageProperties::GraphicClassName() const
{
    return graphicClass_ ? graphicClass_->ClassName() : std::string();
}

void TcxCustomImageProperties::SetGraphicClassName(const std::string& value)
{
    if (value.empty()) SetGraphicClass(nullptr);
    else if (TClass found = GetGraphicClassByName(value)) SetGraphicClass(found);
}

bool TcxCustomImageProperties::IsGraphicClassNameStored() const
{
    return graphicClass_ != const_cast<TcxCustomImageProperties*>(this)->GetDefaultGraphicClass();
}

void TcxCustomImageProperties::SetGraphicClass(TClass value)
{
    if (value == graphicClass_) return;
    graphicClass_ = value;
    Changed();
}

void TcxCustomImageProperties::SetCaption(const std::string& value)
{
    if (value == caption_) return;
    caption_ = value;
    Changed();
}

void TcxCustomImageProperties::SetCenter(bool value)
{
    if (value == center_) return;
    center_ = value;
    Changed();
}

void TcxCustomImageProperties::SetGraphicTransparency(TcxImageTransparency value)
{
    if (value == transparency_) return;
    transparency_ = value;
    Changed();
}

void TcxCustomImageProperties::SetShowFocusRect(bool value)
{
    if (value == showFocusRect_) return;
    showFocusRect_ = value;
    Changed();
}

void TcxCustomImageProperties::SetStretch(bool value)
{
    if (value == stretch_) return;
    stretch_ = value;
    Changed();
}

std::string TcxCustomImageProperties::GetDisplayText(const Variant& editValue, bool)
{
    return VarIsNull(editValue) ? std::string() : caption_;
}

TcxEditSupportedOperations TcxCustomImageProperties::GetSupportedOperations()
{
    TcxEditSupportedOperations result = TcxCustomEditProperties::GetSupportedOperations();
    result.Include(esoAutoHeight);
    return result;
}

TcxDataEditValueSource TcxCustomImageProperties::GetEditValueSource(bool) { return evsValue; }

void TcxCustomImageProperties::ValidateDisplayValue(Variant&, std::string&, bool& error, TcxCustomEdit* edit)
{
    error = false;
    auto* image = As<TcxCustomImage>(edit);
    if (!image) return;
    {
        image->LockEditValueChanging(true);
        quelvo::sys::ScopeGuard unlock([image] { image->LockEditValueChanging(false); });
        image->DoOnAssignPicture();
    }
    const bool modified = image->Modified();
    image->SetModified(false);
    quelvo::sys::ScopeGuard restore([image, modified] { image->SetModified(modified); });
    image->DoEditing();
}

// ---- view data and view info ----------------------------------------------------------------

namespace {

void SetGraphicTransparency(TPicture* picture, TcxImageTransparency transparency)
{
    if (transparency == gtDefault || IsPictureEmpty(picture)) return;
    picture->Graphic()->SetTransparent(transparency == gtTransparent);
}

}  // namespace

TClass TcxImageViewInfo::StaticClass()
{
    return DefineClass<TcxImageViewInfo, TcxCustomEditViewInfo>("TcxImageViewInfo");
}

bool TcxImageViewInfo::IsRepaintOnStateChangingNeeded() const
{
    return IsPictureEmpty(Picture) && !Caption.empty();
}

RECT TcxImageViewInfo::PictureRect(const RECT& k) const
{
    const int pw = Picture->Width(), ph = Picture->Height();
    const int kw = k.right - k.left, kh = k.bottom - k.top;
    RECT p{k.left, k.top, k.left + pw, k.top + ph};
    if (Stretch) {
        if (kw <= 0 || kh <= 0) return k;
        if (static_cast<long long>(kw) * ph >= static_cast<long long>(kh) * pw) {
            p.bottom = k.top + kh;
            p.right = k.left + static_cast<int>(static_cast<long long>(kh) * pw / ph);
        } else {
            p.right = k.left + kw;
            p.bottom = k.top + static_cast<int>(static_cast<long long>(kw) * ph / pw);
        }
    }
    if (Center) OffsetRect(&p, (kw - (p.right - p.left)) / 2, (kh - (p.bottom - p.top)) / 2);
    else if (!Stretch) OffsetRect(&p, -TopLeft.x, -TopLeft.y);
    return p;
}

namespace {

void DrawFocusFrame(TcxCanvas* canvas, const RECT& k)
{
    canvas->Brush()->SetColor(clBlack);
    const RECT lines[] = {{k.left, k.top, k.left + 1, k.bottom}, {k.right - 1, k.top, k.right, k.bottom},
                          {k.left, k.top, k.right, k.top + 1}, {k.left, k.bottom - 1, k.right, k.bottom}};
    for (const RECT& r : lines) canvas->FillRect(r);
}

}  // namespace

void TcxImageViewInfo::InternalPaint(TcxCanvas* canvas)
{
    RECT k = ClientRect;
    if (IsPictureEmpty(Picture)) {
        TcxCustomEditViewInfo::InternalPaint(canvas);
        if (!Caption.empty()) {
            canvas->Font()->Assign(Font);
            canvas->Font()->SetColor(TextColor);
            canvas->Brush()->SetStyle(bsClear);
            canvas->Canvas()->DrawText(Caption, k, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            canvas->Brush()->SetStyle(bsSolid);
        }
        if (ShowFocusFrame) DrawFocusFrame(canvas, k);
        return;
    }
    PaintPicture(canvas, k);
}

void TcxImageViewInfo::PaintPicture(TcxCanvas* canvas, RECT k)
{
    const RECT p = PictureRect(k);
    {
        TcxRegion* saved = canvas->GetClipRegion();
        quelvo::sys::ScopeGuard restore([&] { canvas->SetClipRegion(saved, roSet); });
        canvas->ExcludeClipRect(k);
        DrawCustomEdit(canvas, this, false, bpsSolid);
    }
    TGraphic* graphic = Picture->Graphic();
    if (!Transparent && graphic->Transparent()) {
        if (!TempBitmap) TempBitmap.reset(CreateObject<TBitmap>());
        TempBitmap->SetSize(graphic->Width(), graphic->Height());
        TempBitmap->Canvas()->Brush()->SetColor(BackgroundColor());
        TempBitmap->Canvas()->FillRect(RECT{0, 0, graphic->Width(), graphic->Height()});
        TempBitmap->Canvas()->Draw(0, 0, graphic);
        graphic = TempBitmap.get();
    }
    TcxRegion* saved = canvas->GetClipRegion();
    quelvo::sys::ScopeGuard restore([&] { canvas->SetClipRegion(saved, roSet); });
    if (ShowFocusFrame) {
        DrawFocusFrame(canvas, k);
        InflateRect(&k, -1, -1);
    }
    canvas->IntersectClipRect(k);
    canvas->Canvas()->StretchDraw(p, graphic);
    RECT covered{};
    IntersectRect(&covered, &p, &k);
    if (!EqualRect(&covered, &k) && !Transparent) {
        canvas->ExcludeClipRect(p);
        canvas->Brush()->SetColor(BackgroundColor());
        canvas->FillRect(k);
    }
}

TClass TcxImageViewData::StaticClass()
{
    return DefineClass<TcxImageViewData, TcxCustomEditViewData>("TcxImageViewData");
}

void TcxImageViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                                 TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    TcxCustomEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    if (IsRectEmpty(&bounds)) return;
    auto* info = static_cast<TcxImageViewInfo*>(viewInfo);
    auto* properties = static_cast<TcxCustomImageProperties*>(Properties());
    info->Caption = properties->Caption();
    info->Center = properties->Center();
    info->Stretch = properties->Stretch();
    info->ShowFocusFrame = properties->ShowFocusRect() && Focused && !IsInplace;
    if (info->Center || info->Stretch) info->TopLeft = POINT{};
    if (auto* image = As<TcxCustomImage>(Edit)) info->Picture = image->Picture();
}

void TcxImageViewData::EditValueToDrawValue(TcxCanvas*, const Variant& editValue, TcxCustomEditViewInfo* viewInfo)
{
    auto* info = static_cast<TcxImageViewInfo*>(viewInfo);
    auto* properties = static_cast<TcxCustomImageProperties*>(Properties());
    if (!VarIsStr(editValue)) {
        if (info->Picture) info->Picture->SetGraphic(nullptr);
        return;
    }
    if (!info->OwnPicture) info->OwnPicture.reset(CreateObject<TPicture>());
    info->Picture = info->OwnPicture.get();
    LoadPicture(info->Picture, properties->GetGraphicClass(nullptr, -1, false), editValue);
    SetGraphicTransparency(info->Picture, properties->GraphicTransparency());
}

SIZE TcxImageViewData::GetEditContentSize(TcxCanvas* canvas, const Variant& editValue,
                                          const TcxEditSizeProperties& sizeProperties)
{
    auto* properties = static_cast<TcxCustomImageProperties*>(Properties());
    auto* image = As<TcxCustomImage>(Edit);
    if (!IsInplace) return image ? SIZE{image->Picture()->Width(), image->Picture()->Height()} : SIZE{};
    if (image) {
        const RECT e = GetBorderExtent();
        return SIZE{image->Width() - e.left - e.right, image->Height() - e.top - e.bottom};
    }
    SIZE size{0, properties->DefaultContentHeight()};
    if (VarIsStr(editValue)) {
        // A wide string is measured by its single-byte form.
        ObjectPtr<TPicture> picture(CreateObject<TPicture>());
        LoadPicture(picture.get(), properties->GetGraphicClass(nullptr, -1, false), Variant(VarToStr(editValue)));
        size = SIZE{picture->Width(), picture->Height()};
        if (properties->Stretch() && sizeProperties.Width > 0 && size.cx > 0)
            size = SIZE{sizeProperties.Width,
                        static_cast<int>(static_cast<double>(size.cy) * sizeProperties.Width / size.cx + 0.5)};
    } else if (!properties->Caption().empty()) {
        canvas->Font()->Assign(Style()->GetVisibleFont());
        size = canvas->TextExtent(properties->Caption());
    }
    return size;
}

// ---- the editor -----------------------------------------------------------------------------

TClass TcxCustomImage::StaticClass() { return DefineClass<TcxCustomImage, TcxCustomEdit>("TcxCustomImage"); }

TClass TcxImage::StaticClass()
{
    return DefineClass<TcxImage, TcxCustomImage>("TcxImage", [](ClassBuilder<TcxImage>& b) {
        using C = TcxImage;
        b.Property("Picture", &C::Picture, &C::SetPicture);
        b.Property("Properties", &C::Properties, &C::SetProperties);
        b.EventProperty("OnGetGraphicClass", &C::OnGetGraphicClass);
    });
}

TClass TcxCustomImageProperties::GetContainerClass() { return TcxImage::StaticClass(); }
TClass TcxCustomImageProperties::GetViewDataClass() { return TcxImageViewData::StaticClass(); }
TClass TcxCustomImageProperties::GetViewInfoClass() { return TcxImageViewInfo::StaticClass(); }
TClass TcxCustomImage::GetPropertiesClass() const { return TcxImageProperties::StaticClass(); }

void TcxCustomImage::Construct(TComponent* owner)
{
    TcxCustomEdit::Construct(owner);
    SetAutoSize(false);
    SetBounds(Left(), Top(), 140, 100);
    picture_.reset(CreateObject<TPicture>());
    picture_->OnChange = TNotifyEvent::Bind(this, &TcxCustomImage::PictureChanged);
    ViewInfo()->Picture = picture_.get();
}

void TcxCustomImage::Destroy()
{
    if (menu_) menu_->Free();
    menu_ = nullptr;
    if (ViewInfo()) ViewInfo()->Picture = nullptr;
    if (picture_) picture_->OnChange = {};
    TcxCustomEdit::Destroy();
    picture_.reset();
}

Variant TcxCustomImage::GetEditValue()
{
    if (IsPictureEmpty(picture_.get())) return Variant::Null();
    std::string value;
    SavePicture(picture_.get(), value);
    return Variant(value);
}

void TcxCustomImage::InternalSetEditValue(const Variant& value, bool)
{
    settingValue_ = true;
    quelvo::sys::ScopeGuard done([this] {
        SetModified(false);
        settingValue_ = false;
    });
    if (VarIsStr(value)) LoadPicture(picture_.get(), GetGraphicClass(false), value);
    else picture_->SetGraphic(nullptr);
}

TClass TcxCustomImage::GetGraphicClass(bool pasting)
{
    TClass result = ActiveProperties()->GraphicClass();
    if (result) return result;
    if (IsInplace()) return ActiveProperties()->GetGraphicClass(nullptr, -1, pasting);
    result = pasting ? TBitmap::StaticClass() : nullptr;
    OnGetGraphicClass(this, pasting, result);
    return result;
}

void TcxCustomImage::ApplyTransparency()
{
    const TcxImageTransparency transparency = ActiveProperties()->GraphicTransparency();
    if (transparency == gtDefault || IsPictureEmpty(picture_.get())) return;
    TNotifyEvent saved = picture_->OnChange;
    picture_->OnChange = {};
    quelvo::sys::ScopeGuard restore([&] { picture_->OnChange = saved; });
    picture_->Graphic()->SetTransparent(transparency == gtTransparent);
}

void TcxCustomImage::PictureChanged(TObject*)
{
    LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    ApplyTransparency();
    if (!IsLoading()) {
        ViewInfo()->TopLeft = POINT{};
        for (TcxControlScrollBar* bar : {HScrollBar(), VScrollBar()})
            if (bar) bar->SetPosition(0);
        UpdateScrollBars();
        ShortRefreshContainer(false);
        if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, FALSE);
    }
    if (!settingValue_) {
        if (IsUserChange()) SetModifiedAfterEnter(true);
        DoChange();
        ShortRefreshContainer(false);
    }
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) InternalPostEditValue(false);
}

void TcxCustomImage::PropertiesChanged(TObject* sender)
{
    if (PropertiesChangeLocked()) return;
    PictureChanged(nullptr);
    TcxCustomEdit::PropertiesChanged(sender);
}

bool TcxCustomImage::Focused() { return dialogOpen_ || TcxCustomEdit::Focused(); }

// ---- scrolling ------------------------------------------------------------------------------

namespace {
constexpr int kScrollStep = 8;
}  // namespace

void TcxCustomImage::InitScrollBarsParameters()
{
    if (!picture_ || !HScrollBar() || !VScrollBar() || IsInplace() || AutoSize() || IsPictureEmpty(picture_.get()))
        return;
    TcxCustomImageProperties* properties = ActiveProperties();
    if (properties->Center() || properties->Stretch()) return;
    // The client area as the bars being settled leave it; the view info's
    // may still be laid out for the bars shown before.
    const TcxCustomEditViewInfo* info = ViewInfo();
    const RECT& e = info->BorderExtent;
    int width = info->Bounds.right - info->Bounds.left - e.left - e.right;
    int height = info->Bounds.bottom - info->Bounds.top - e.top - e.bottom;
    if (HScrollBarVisible()) height -= HScrollBar()->Height();
    if (VScrollBarVisible()) width -= VScrollBar()->Width();
    if (width <= 0 || height <= 0) return;
    const POINT& offset = ViewInfo()->TopLeft;
    SetScrollBarInfo(sbHorizontal, 0, picture_->Width() - 1, kScrollStep, width, offset.x, true, true);
    SetScrollBarInfo(sbVertical, 0, picture_->Height() - 1, kScrollStep, height, offset.y, true, true);
}

void TcxCustomImage::Scroll(TScrollBarKind kind, TScrollCode code, int& position)
{
    TcxControlScrollBar* bar = kind == sbHorizontal ? HScrollBar() : VScrollBar();
    if (!bar) return;
    switch (code) {
    case scLineUp: position = bar->Position() - kScrollStep; break;
    case scLineDown: position = bar->Position() + kScrollStep; break;
    case scPageUp: position = bar->Position() - bar->PageSize(); break;
    case scPageDown: position = bar->Position() + bar->PageSize(); break;
    case scTrack:
    case scPosition: break;
    default: return;
    }
    const int extent = kind == sbHorizontal ? picture_->Width() : picture_->Height();
    position = std::clamp(position, 0, std::max(0, extent - bar->PageSize()));
    bar->SetPosition(position);
    position = bar->Position();
    SynchronizeImage();
}

void TcxCustomImage::InitializeViewData(TcxCustomEditViewData* viewData)
{
    TcxCustomEdit::InitializeViewData(viewData);
    viewData->HScrollBarVisible = HScrollBarVisible();
    viewData->VScrollBarVisible = VScrollBarVisible();
}

void TcxCustomImage::UpdateScrollBars()
{
    TcxCustomEdit::UpdateScrollBars();
    SynchronizeImage();
}

void TcxCustomImage::SynchronizeImage()
{
    if (!HandleAllocated() || !HScrollBar() || !VScrollBar()) return;
    ViewInfo()->TopLeft = POINT{HScrollBarVisible() ? HScrollBar()->Position() : 0,
                                VScrollBarVisible() ? VScrollBar()->Position() : 0};
    ShortRefreshContainer(false);
    // The client area the bars lie beside is known only now.
    SetInternalControlsBounds();
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TcxCustomImage::Clear()
{
    if (DoEditing()) picture_->SetGraphic(nullptr);
}

void TcxCustomImage::CopyToClipboard()
{
    if (picture_->Graphic()) Clipboard()->Assign(picture_.get());
}

void TcxCustomImage::CutToClipboard()
{
    CopyToClipboard();
    Clear();
}

bool TcxCustomImage::CanPasteFromClipboard()
{
    TClass c = ActiveProperties()->GraphicClass();
    if (c == TBitmap::StaticClass() || c == TJPEGImage::StaticClass()) return Clipboard()->HasFormat(2);
    if (c == TIcon::StaticClass()) return false;
    if (c == TMetafile::StaticClass()) return Clipboard()->HasFormat(3);
    return Clipboard()->HasFormat(CF_PICTURE());
}

void TcxCustomImage::PasteFromClipboard()
{
    if (!CanPasteFromClipboard() || !DoEditing()) return;
    if (!Clipboard()->HasFormat(2)) {
        picture_->Assign(Clipboard());
        return;
    }
    if (GetGraphicClass(true) == TJPEGImage::StaticClass()) {
        auto bitmap = MakeObject<TBitmap>();
        bitmap->Assign(Clipboard());
        auto jpeg = MakeObject<TJPEGImage>();
        jpeg->Assign(bitmap.get());
        jpeg->Compress();
        picture_->SetGraphic(jpeg.get());
        return;
    }
    picture_->Bitmap()->Assign(Clipboard());
}

void TcxCustomImage::LoadFromFile()
{
    if (!CanModify()) return;
    auto dialog = MakeObject<TOpenPictureDialog>(static_cast<TComponent*>(nullptr));
    TClass c = ActiveProperties()->GraphicClass();
    const std::string& custom = ActiveProperties()->CustomFilter();
    dialog->SetFilter(!custom.empty() ? custom : GraphicFilter(c ? c : TGraphic::StaticClass()));
    bool chosen = false;
    {
        dialogOpen_ = true;
        quelvo::sys::ScopeGuard closed([this] { dialogOpen_ = false; });
        chosen = dialog->Execute();
    }
    if (chosen && DoEditing()) picture_->LoadFromFile(dialog->FileName());
}

void TcxCustomImage::SaveToFile()
{
    if (!picture_->Graphic()) return;
    auto dialog = MakeObject<TSavePictureDialog>(static_cast<TComponent*>(Application));
    TClass c = picture_->Graphic()->ClassType();
    const std::string& custom = ActiveProperties()->CustomFilter();
    dialog->SetFilter(!custom.empty() ? custom : GraphicFilter(c));
    dialog->SetDefaultExt(GraphicExtension(c));
    bool chosen = false;
    {
        dialogOpen_ = true;
        quelvo::sys::ScopeGuard closed([this] { dialogOpen_ = false; });
        chosen = dialog->Execute();
    }
    if (chosen) picture_->SaveToFile(dialog->FileName());
}

void TcxCustomImage::CustomClick()
{
    Properties()->OnCustomClick(this);
    if (RepositoryItem()) ActiveProperties()->OnCustomClick(this);
}

void TcxCustomImage::DoOnAssignPicture()
{
    Properties()->OnAssignPicture(this, picture_.get());
    if (RepositoryItem()) ActiveProperties()->OnAssignPicture(this, picture_.get());
}

void TcxCustomImage::AsUser(void (TcxCustomImage::*command)())
{
    const bool saved = IsUserChange();
    SetUserChange(true);
    quelvo::sys::ScopeGuard restore([this, saved] { SetUserChange(saved); });
    (this->*command)();
}

void TcxCustomImage::KeyDown(WORD& key, TShiftState shift)
{
    TcxCustomEdit::KeyDown(key, shift);
    if (key == VK_INSERT && shift.Contains(ssShift)) AsUser(&TcxCustomImage::PasteFromClipboard);
    else if (key == VK_INSERT && shift.Contains(ssCtrl)) AsUser(&TcxCustomImage::CopyToClipboard);
    else if (key == VK_DELETE && shift.Contains(ssShift)) AsUser(&TcxCustomImage::CutToClipboard);
}

void TcxCustomImage::KeyPress(char& key)
{
    TcxCustomEdit::KeyPress(key);
    switch (key) {
    case 22: AsUser(&TcxCustomImage::PasteFromClipboard); break;
    case 3: AsUser(&TcxCustomImage::CopyToClipboard); break;
    case 24: AsUser(&TcxCustomImage::CutToClipboard); break;
    default: break;
    }
}

// ---- the popup menu -------------------------------------------------------------------------

void TcxCustomImage::DoContextPopup(POINT mousePos, bool& handled)
{
    if (PopupMenu() || ActiveProperties()->PopupMenuLayout()->MenuItems().Empty()) {
        TcxCustomEdit::DoContextPopup(mousePos, handled);
        return;
    }
    handled = true;
    if (mousePos.x == -1 && mousePos.y == -1) mousePos = POINT{10, 10};
    PreparePopup();
    const POINT p = ClientToScreen(mousePos);
    menu_->Popup(p.x, p.y);
}

void TcxCustomImage::CreatePopupItems()
{
    menu_ = CreateObject<TPopupMenu>(static_cast<TComponent*>(nullptr));
    menu_->SetImages(cxImageMenuImages());
    const int tags[] = {0, 1, 2, 3, -1, 4, 5, -1, 6};
    for (int tag : tags) {
        auto* item = CreateObject<TMenuItem>(static_cast<TComponent*>(menu_));
        if (tag < 0) item->SetCaption("-");
        item->SetTag(tag);
        if (tag >= 0 && tag < 6) item->SetImageIndex(tag);
        item->OnClick = TNotifyEvent::Bind(this, &TcxCustomImage::MenuItemClick);
        menu_->Items()->Add(item);
    }
}

void TcxCustomImage::PreparePopup()
{
    if (!menu_) CreatePopupItems();
    TcxPopupMenuLayout* layout = ActiveProperties()->PopupMenuLayout();
    const TcxPopupMenuItems shown = layout->MenuItems();
    const TcxResourceString* captions[] = {&cxSMenuItemCaptionCut,    &cxSMenuItemCaptionCopy,
                                           &cxSMenuItemCaptionPaste,  &cxSMenuItemCaptionDelete,
                                           &cxSMenuItemCaptionLoad,   &cxSMenuItemCaptionSave};
    const bool editable = CanModify();
    const bool empty = IsPictureEmpty(picture_.get());
    const bool icon = ActiveProperties()->GraphicClass() == TIcon::StaticClass();
    const bool enabled[] = {editable && !empty && !icon, !empty && !icon, editable && CanPasteFromClipboard(),
                            editable && !empty, editable, !empty, true};
    TMenuItem* items = menu_->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        const int tag = static_cast<int>(item->Tag());
        if (tag < 0) continue;
        const auto kind = static_cast<TcxPopupMenuItem>(tag);
        if (tag < 6) item->SetCaption(cxGetResourceString(*captions[tag]));
        item->SetVisible(shown.Contains(kind));
        item->SetEnabled(enabled[tag]);
    }
    items->Items(4)->SetVisible(shown.Contains(pmiLoad) || shown.Contains(pmiSave));
    items->Items(7)->SetVisible(shown.Contains(pmiCustom));
    TMenuItem* custom = items->Items(8);
    custom->SetCaption(layout->CustomMenuItemCaption());
    custom->Bitmap()->Assign(layout->CustomMenuItemGlyph());
    custom->Bitmap()->SetTransparent(true);
}

void TcxCustomImage::MenuItemClick(TObject* sender)
{
    auto* item = As<TMenuItem>(sender);
    if (!item) return;
    static constexpr void (TcxCustomImage::*commands[])() = {
        &TcxCustomImage::CutToClipboard, &TcxCustomImage::CopyToClipboard, &TcxCustomImage::PasteFromClipboard,
        &TcxCustomImage::Clear,          &TcxCustomImage::LoadFromFile,    &TcxCustomImage::SaveToFile,
        &TcxCustomImage::CustomClick};
    const auto tag = item->Tag();
    if (tag >= 0 && tag < 7) AsUser(commands[tag]);
}

// ---- unit start-up --------------------------------------------------------------------------

namespace quelvo_resources {
void Register_catalogue();
}

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

TCustomImageList* cxImageMenuImages()
{
    // Freed when the program ends.
    static const ObjectPtr<TImageList> images = [] {
        quelvo_resources::Register_catalogue();
        ObjectPtr<TImageList> list = MakeObject<TImageList>(static_cast<TComponent*>(nullptr));
        const char* names[] = {"CXMENUIMAGE_CUT",    "CXMENUIMAGE_COPY", "CXMENUIMAGE_PASTE",
                               "CXMENUIMAGE_DELETE", "CXMENUIMAGE_LOAD", "CXMENUIMAGE_SAVE"};
        for (const char* name : names) {
            const ObjectPtr<TBitmap> bitmap = MakeObject<TBitmap>();
            bitmap->LoadFromResourceName(name);
            if (list->Count() == 0) list->SetSize(bitmap->Width(), bitmap->Height());
            list->AddMasked(bitmap.get(), clDefault);
        }
        return list;
    }();
    return images.get();
}

void cxImageInitialize()
{
    if (!gUnitStarts.Start()) return;
    cxImageMenuImages();
    GetRegisteredEditProperties()->Register(TcxImageProperties::StaticClass(),
                                            cxGetResourceString(scxSEditRepositoryImageItem));
}

void cxImageFinalize()
{
    gUnitStarts.End();
}
