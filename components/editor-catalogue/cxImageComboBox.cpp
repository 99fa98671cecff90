#include "components/editor-catalogue/cxImageComboBox.h"

#include <algorithm>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditUtils.h"
#include "components/foundation/cxGraphics.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxImageAlign*)
{
    static const TEnumInfo info{"TcxImageAlign", {"iaLeft", "iaRight"}};
    return info;
}

// ---- items ----------------------------------------------------------------------------------

TClass TcxImageComboBoxItem::StaticClass()
{
    return DefineClass<TcxImageComboBoxItem, TCollectionItem>(
        "TcxImageComboBoxItem", [](ClassBuilder<TcxImageComboBoxItem>& b) {
            using I = TcxImageComboBoxItem;
            b.Property("Description", &I::Description, &I::SetDescription);
            b.Property("ImageIndex", &I::ImageIndex, &I::SetImageIndex).Default(-1);
            b.Property("Tag", &I::Tag, &I::SetTag).Default(0);
            b.Property("Value", &I::Value, &I::SetValue).Stored(&I::IsValueStored);
        });
}

void TcxImageComboBoxItem::Construct(TCollection* collection)
{
    TCollectionItem::Construct(collection);
    auto* items = As<TcxImageComboBoxItems>(collection);
    TcxCustomImageComboBoxProperties* properties = items ? items->Properties() : nullptr;
    const int count = collection ? collection->Count() : 0;
    if (properties && properties->Images() && properties->Images()->Count() >= count) imageIndex_ = count - 1;
}

void TcxImageComboBoxItem::Assign(TPersistent* source)
{
    auto* other = As<TcxImageComboBoxItem>(source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    SetDescription(other->description_);
    SetImageIndex(other->imageIndex_);
    SetValue(other->value_);
}

void TcxImageComboBoxItem::SetDescription(const std::string& value)
{
    if (value == description_) return;
    description_ = value;
    Changed(false);
}

void TcxImageComboBoxItem::SetImageIndex(int value)
{
    if (value == imageIndex_) return;
    imageIndex_ = value;
    Changed(false);
}

void TcxImageComboBoxItem::SetValue(const Variant& value)
{
    if (InternalVarEqualsExact(value, value_)) return;
    value_ = value;
    Changed(false);
}

TClass TcxImageComboBoxItems::StaticClass()
{
    return DefineClass<TcxImageComboBoxItems, TOwnedCollection>("TcxImageComboBoxItems");
}

TcxCustomImageComboBoxProperties* TcxImageComboBoxItems::Properties() const
{
    return As<TcxCustomImageComboBoxProperties>(GetOwner());
}

void TcxImageComboBoxItems::Update(TCollectionItem*)
{
    if (TcxCustomImageComboBoxProperties* properties = Properties()) properties->Changed();
}

// ---- properties -----------------------------------------------------------------------------

TClass TcxCustomImageComboBoxProperties::StaticClass()
{
    return DefineClass<TcxCustomImageComboBoxProperties, TcxCustomComboBoxProperties>(
        "TcxCustomImageComboBoxProperties");
}

TClass TcxImageComboBoxProperties::StaticClass()
{
    return DefineClass<TcxImageComboBoxProperties, TcxCustomImageComboBoxProperties>(
        "TcxImageComboBoxProperties", [](ClassBuilder<TcxImageComboBoxProperties>& b) {
            using P = TcxImageComboBoxProperties;
            b.Property("ButtonGlyph", &P::ButtonGlyph, &P::SetButtonGlyph).Stored(&P::IsButtonGlyphStored);
            b.Property("DefaultDescription", &P::DefaultDescription, &P::SetDefaultDescription);
            b.Property("DefaultImageIndex", &P::DefaultImageIndex, &P::SetDefaultImageIndex).Default(-1);
            b.Property("DropDownRows", &P::DropDownRows, &P::SetDropDownRows).Default(8);
            b.Property("ImageAlign", &P::ImageAlign, &P::SetImageAlign).Default(iaLeft);
            b.Property("Images", &P::Images, &P::SetImages);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown).Default(true);
            b.Property("ImmediateUpdateText", &P::ImmediateUpdateText, &P::SetImmediateUpdateText).Default(false);
            b.Property("Items", &P::Items, &P::SetItems);
            b.Property("LargeImages", &P::LargeImages, &P::SetLargeImages);
            b.Property("MultiLineText", &P::MultiLineText, &P::SetMultiLineText).Default(false);
            b.Property("PostPopupValueOnTab", &P::PostPopupValueOnTab, &P::SetPostPopupValueOnTab).Default(false);
            b.Property("Revertable", &P::Revertable, &P::SetRevertable).Default(false);
            b.Property("ShowDescriptions", &P::ShowDescriptions, &P::SetShowDescriptions).Default(true);
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
            b.EventProperty("OnCloseQuery", &P::OnCloseQuery);
            b.EventProperty("OnCloseUp", &P::OnCloseUp);
            b.EventProperty("OnInitPopup", &P::OnInitPopup);
            b.EventProperty("OnPopup", &P::OnPopup);
        });
}

void TcxCustomImageComboBoxProperties::Construct(TPersistent* owner)
{
    TcxCustomComboBoxProperties::Construct(owner);
    items_.reset(CreateObject<TcxImageComboBoxItems>(static_cast<TPersistent*>(this)));
    SetDropDownListStyle(lsFixedList);
    SetFixedListSelection(true);
    imagesLink_.reset(CreateObject<TChangeLink>());
    imagesLink_->OnChange = TNotifyEvent::Bind(this, &TcxCustomImageComboBoxProperties::ImagesChange);
    largeImagesLink_.reset(CreateObject<TChangeLink>());
    largeImagesLink_->OnChange = TNotifyEvent::Bind(this, &TcxCustomImageComboBoxProperties::ImagesChange);
}

void TcxCustomImageComboBoxProperties::Destroy()
{
    if (images_) FreeNotificator()->RemoveSender(images_);
    if (largeImages_) FreeNotificator()->RemoveSender(largeImages_);
    imagesLink_.reset();
    largeImagesLink_.reset();
    items_.reset();
    TcxCustomComboBoxProperties::Destroy();
}

void TcxCustomImageComboBoxProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomImageComboBoxProperties>(source);
    if (!other) {
        TcxCustomComboBoxProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomComboBoxProperties::Assign(source);
    SetDefaultDescription(other->defaultDescription_);
    SetDefaultImageIndex(other->defaultImageIndex_);
    SetImageAlign(other->imageAlign_);
    SetImages(other->images_);
    items_->Assign(other->items_.get());
    SetLargeImages(other->largeImages_);
    SetMultiLineText(other->multiLineText_);
    SetShowDescriptions(other->showDescriptions_);
}

void TcxCustomImageComboBoxProperties::FreeNotification(TComponent* sender)
{
    TcxCustomComboBoxProperties::FreeNotification(sender);
    if (sender == images_) images_ = nullptr;
    if (sender == largeImages_) largeImages_ = nullptr;
}

void TcxCustomImageComboBoxProperties::Relink(TCustomImageList*& field, TCustomImageList* value, TChangeLink* link)
{
    if (value == field) return;
    if (field) {
        field->UnRegisterChanges(link);
        FreeNotificator()->RemoveSender(field);
    }
    field = value;
    if (field) {
        field->RegisterChanges(link);
        FreeNotificator()->AddSender(field);
    }
    Changed();
}

void TcxCustomImageComboBoxProperties::SetImages(TCustomImageList* value) { Relink(images_, value, imagesLink_.get()); }

void TcxCustomImageComboBoxProperties::SetLargeImages(TCustomImageList* value)
{
    Relink(largeImages_, value, largeImagesLink_.get());
}

void TcxCustomImageComboBoxProperties::SetItems(TcxImageComboBoxItems* value)
{
    items_->Assign(value);
    Changed();
}

void TcxCustomImageComboBoxProperties::SetDefaultDescription(const std::string& value)
{
    if (value == defaultDescription_) return;
    defaultDescription_ = value;
    Changed();
}

void TcxCustomImageComboBoxProperties::SetDefaultImageIndex(int value)
{
    if (value == defaultImageIndex_) return;
    defaultImageIndex_ = value;
    Changed();
}

void TcxCustomImageComboBoxProperties::SetImageAlign(TcxImageAlign value)
{
    if (value == imageAlign_) return;
    imageAlign_ = value;
    Changed();
}

void TcxCustomImageComboBoxProperties::SetMultiLineText(bool value)
{
    if (value == multiLineText_) return;
    multiLineText_ = value;
    Changed();
}

void TcxCustomImageComboBoxProperties::SetShowDescriptions(bool value)
{
    if (value == showDescriptions_) return;
    showDescriptions_ = value;
    Changed();
}

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByValue(const Variant& value) const
{
    for (int i = 0; i < items_->Count(); ++i)
        if (VarEqualsExact(items_->Items(i)->Value(), value)) return items_->Items(i);
    return nullptr;
}

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByText(const std::string& text) const
{
    if (!showDescriptions_) return nullptr;
    for (int i = 0; i < items_->Count(); ++i)
        if (AnsiCompareText(items_->Items(i)->Description(), text) == 0) return items_->Items(i);
    return nullptr;
}

bool TcxCustomImageComboBoxProperties::FindLookupText(const std::string& text) { return FindItemByText(text); }

void TcxCustomImageComboBoxProperties::InternalGetImageComboBoxDisplayValue(TcxImageComboBoxItem* item,
                                                                            std::string& text, int& imageIndex) const
{
    text = showDescriptions_ ? (item ? item->Description() : defaultDescription_) : std::string();
    imageIndex = item ? item->ImageIndex() : defaultImageIndex_;
}

void TcxCustomImageComboBoxProperties::GetImageComboBoxDisplayValue(const Variant& editValue, std::string& text,
                                                                    int& imageIndex) const
{
    InternalGetImageComboBoxDisplayValue(FindItemByValue(editValue), text, imageIndex);
}

void TcxCustomImageComboBoxProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue, bool)
{
    TcxImageComboBoxItem* item = FindItemByValue(editValue);
    displayValue = Variant(item ? item->Description() : defaultDescription_);
}

std::string TcxCustomImageComboBoxProperties::GetDisplayText(const Variant& editValue, bool)
{
    Variant display;
    PrepareDisplayValue(editValue, display, false);
    return VarToStr(display);
}

bool TcxCustomImageComboBoxProperties::CompareDisplayValues(const Variant& value1, const Variant& value2)
{
    std::string text1, text2;
    int image1 = -1, image2 = -1;
    GetImageComboBoxDisplayValue(value1, text1, image1);
    GetImageComboBoxDisplayValue(value2, text2, image2);
    return text1 == text2 && (!images_ || image1 == image2);
}

TcxEditSupportedOperations TcxCustomImageComboBoxProperties::GetSupportedOperations()
{
    TcxEditSupportedOperations result{esoFiltering, esoHorzAlignment, esoSorting, esoSortingByDisplayText};
    if (Buttons()->Count() > 0) result.Include(esoHotTrack);
    if (showDescriptions_) result.Include(esoIncSearch);
    return result;
}

bool TcxCustomImageComboBoxProperties::IsEditValueValid(Variant&, bool) { return true; }
TcxDataEditValueSource TcxCustomImageComboBoxProperties::GetEditValueSource(bool) { return evsValue; }

// ---- view data and view info ----------------------------------------------------------------

TClass TcxImageComboBoxViewInfo::StaticClass()
{
    return DefineClass<TcxImageComboBoxViewInfo, TcxCustomTextEditViewInfo>("TcxImageComboBoxViewInfo");
}

void TcxImageComboBoxViewInfo::Offset(int dx, int dy)
{
    TcxCustomTextEditViewInfo::Offset(dx, dy);
    OffsetRect(&ImageRect, dx, dy);
}

void TcxImageComboBoxViewInfo::InternalPaint(TcxCanvas* canvas)
{
    if (!canvas->RectVisible(Bounds)) return;
    if (Images && ImageIndex >= 0 && ImageIndex < Images->Count()) {
        RECT r{};
        IntersectRect(&r, &ImageRect, &BorderRect);
        {
            TcxRegion* saved = canvas->GetClipRegion();
            quelvo::sys::ScopeGuard restore([&] { canvas->SetClipRegion(saved, roSet); });
            canvas->IntersectClipRect(r);
            if (Transparent) canvas->DrawImage(Images, ImageRect.left, ImageRect.top, ImageIndex, Enabled);
            else DrawGlyph(canvas, Images, ImageIndex, ImageRect, BackgroundColor(), Enabled);
        }
        if (!Transparent) canvas->ExcludeClipRect(r);
    }
    TcxCustomTextEditViewInfo::InternalPaint(canvas);
}

TClass TcxImageComboBoxViewData::StaticClass()
{
    return DefineClass<TcxImageComboBoxViewData, TcxCustomDropDownEditViewData>("TcxImageComboBoxViewData");
}

void TcxImageComboBoxViewData::LayoutImage(TcxImageComboBoxViewInfo* info, RECT& textRect)
{
    TCustomImageList* images = info->Images;
    RECT& image = info->ImageRect;
    image = textRect;
    if (!info->ShowDescriptions) {
        image.left += (textRect.right - textRect.left - images->Width()) / 2;
        image.right = image.left + images->Width();
    } else if (info->ImageAlign == iaLeft) {
        image.left += 2;
        image.right = image.left + images->Width();
        textRect.left = image.right + 2;
    } else {
        image.right -= 2;
        image.left = image.right - images->Width();
        textRect.right = image.left - 2;
    }
    image.top += (textRect.bottom - textRect.top - images->Height()) / 2;
    image.bottom = image.top + images->Height();
}

void TcxImageComboBoxViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p,
                                         TcxMouseButton button, TShiftState shift, TcxCustomEditViewInfo* viewInfo,
                                         bool isMouseEvent)
{
    TcxCustomDropDownEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    auto* info = static_cast<TcxImageComboBoxViewInfo*>(viewInfo);
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    info->ImageAlign = properties->ImageAlign();
    info->Images = properties->Images();
    info->ShowDescriptions = properties->ShowDescriptions();
    RECT textRect = info->ClientRect;
    info->ImageRect = RECT{};
    if (info->Images) LayoutImage(info, textRect);
    if (!IsInplace) info->ClientRect = textRect;
    info->TextRect = textRect;
    InflateRect(&info->TextRect, -2, -1);
    if (!info->ShowDescriptions) info->Text.clear();
    if (!IsInplace) info->DrawSelectionBar = false;
}

void TcxImageComboBoxViewData::InternalGetEditConstantPartSize(TcxCanvas* canvas, bool isInplace,
                                                               const TcxEditSizeProperties& sizeProperties,
                                                               SIZE& minContentSize,
                                                               TcxCustomEditViewInfo* viewInfo, SIZE& size)
{
    TcxCustomDropDownEditViewData::InternalGetEditConstantPartSize(canvas, isInplace, sizeProperties, minContentSize,
                                                                   viewInfo, size);
    if (TCustomImageList* images = ImageProperties()->Images()) size.cy = std::max<int>(size.cy, images->Height());
}

SIZE TcxImageComboBoxViewData::InternalGetEditContentSize(TcxCanvas* canvas, const Variant& editValue,
                                                          const TcxEditSizeProperties& sizeProperties)
{
    SIZE size = TcxCustomDropDownEditViewData::InternalGetEditContentSize(canvas, editValue, sizeProperties);
    TCustomImageList* images = ImageProperties()->Images();
    size.cx += images ? images->Width() + 5 : 1;
    return size;
}

std::string TcxImageComboBoxViewData::InternalEditValueToDisplayText(const Variant& editValue)
{
    std::string text;
    int imageIndex = -1;
    ImageProperties()->GetImageComboBoxDisplayValue(editValue, text, imageIndex);
    return text;
}

void TcxImageComboBoxViewData::EditValueToDrawValue(TcxCanvas*, const Variant& editValue,
                                                    TcxCustomEditViewInfo* viewInfo)
{
    auto* info = static_cast<TcxImageComboBoxViewInfo*>(viewInfo);
    PrepareSelection(viewInfo);
    ImageProperties()->GetImageComboBoxDisplayValue(editValue, info->Text, info->ImageIndex);
    DoOnGetDisplayText(info->Text);
}

void TcxImageComboBoxViewData::DisplayValueToDrawValue(const Variant&, TcxCustomEditViewInfo* viewInfo)
{
    auto* edit = As<TcxCustomImageComboBox>(Edit);
    if (!edit) return;
    auto* info = static_cast<TcxImageComboBoxViewInfo*>(viewInfo);
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    TcxImageComboBoxItem* item = nullptr;
    const int key = edit->LookupData() ? edit->LookupData()->CurrentKey() : -1;
    if (key >= 0 && key < properties->Items()->Count()) item = properties->Items()->Items(key);
    else item = properties->FindItemByValue(edit->EditValue());
    properties->InternalGetImageComboBoxDisplayValue(item, info->Text, info->ImageIndex);
}

// ---- the list -------------------------------------------------------------------------------

TClass TcxImageComboBoxListBox::StaticClass()
{
    return DefineClass<TcxImageComboBoxListBox, TcxComboBoxListBox>("TcxImageComboBoxListBox");
}

void TcxImageComboBoxListBox::Construct(TComponent* owner)
{
    TcxComboBoxListBox::Construct(owner);
    SetStyle(lbOwnerDrawVariable);
    SetBorderStyle(bsNone);
}

TcxCustomImageComboBoxProperties* TcxImageComboBoxListBox::ImageProperties() const
{
    TcxCustomComboBox* edit = Edit();
    return edit ? As<TcxCustomImageComboBoxProperties>(edit->ActiveProperties()) : nullptr;
}

TCustomImageList* TcxImageComboBoxListBox::GetImages() const
{
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    if (!properties) return nullptr;
    return properties->LargeImages() ? properties->LargeImages() : properties->Images();
}

RECT TcxImageComboBoxListBox::GetImageRect(const RECT& r) const
{
    TCustomImageList* images = GetImages();
    if (!images) return RECT{};
    RECT result = r;
    if (ImageProperties()->ImageAlign() == iaRight) result.left = result.right - images->Width() - 4;
    else result.right = result.left + images->Width() + 4;
    return result;
}

// The list's canvas draws only while an item paints: measuring takes a
// device context of its own.
template <class F>
auto TcxImageComboBoxListBox::Measure(F measure)
{
    HWND wnd = HandleAllocated() ? Handle() : nullptr;
    HDC dc = GetDC(wnd);
    quelvo::sys::ScopeGuard release([wnd, dc] { ReleaseDC(wnd, dc); });
    ObjectPtr<TCanvas> canvas = MakeObject<TCanvas>();
    canvas->SetHandle(dc);
    quelvo::sys::ScopeGuard detach([&canvas] { canvas->SetHandle(nullptr); });
    canvas->Font()->Assign(Font());
    return measure(canvas.get());
}

void TcxImageComboBoxListBox::MeasureItem(int index, int& height)
{
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    if (!properties) {
        TcxComboBoxListBox::MeasureItem(index, height);
        return;
    }
    int width = clientWidth_ - 2;
    int minHeight = 0;
    if (TCustomImageList* images = GetImages()) {
        width -= images->Width() + 4;
        minHeight = images->Height() + 2;
    }
    const std::string text = index >= 0 && index < properties->Items()->Count()
                                 ? properties->Items()->Items(index)->Description()
                                 : std::string();
    const bool wrapped = properties->MultiLineText() && width > 0;
    height = Measure([&](TCanvas* canvas) {
        if (!wrapped) return std::max(canvas->TextHeight("Wg") + 2, minHeight);
        RECT r{0, 0, width, minHeight};
        canvas->DrawText(text, r, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_CALCRECT);
        return std::max<int>(minHeight, r.bottom - r.top + 2);
    });
}

int TcxImageComboBoxListBox::GetItemHeight(int index)
{
    int height = 0;
    MeasureItem(index, height);
    return height;
}

int TcxImageComboBoxListBox::MeasuredHeightSum(int rowCount)
{
    int sum = 0;
    for (int i = 0; i < rowCount; ++i) {
        int h = 0;
        MeasureItem(i, h);
        sum += h;
    }
    return sum;
}

int TcxImageComboBoxListBox::GetHeight(int rowCount)
{
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    TcxCustomComboBox* edit = Edit();
    if (!properties || !edit) return TcxComboBoxListBox::GetHeight(rowCount);
    clientWidth_ = 0;
    if (properties->MultiLineText()) {
        const RECT bounds = edit->GetPopupWindowOwnerControlBounds();
        const RECT extent = edit->PopupWindow()->ViewInfo()->GetClientExtent();
        clientWidth_ = (bounds.right - bounds.left) - extent.left - extent.right;
    }
    int sum = MeasuredHeightSum(rowCount);
    if (!properties->MultiLineText()) return sum;
    if (sum > maxHeight_ || properties->Items()->Count() > rowCount) {
        clientWidth_ -= GetSystemMetrics(SM_CXVSCROLL);
        sum = MeasuredHeightSum(rowCount);
    }
    return sum;
}

void TcxImageComboBoxListBox::RecreateWindow() { InternalRecreateWindow(); }

int TcxImageComboBoxListBox::GetMaxItemWidth()
{
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    if (!properties) return 0;
    TCustomImageList* images = GetImages();
    const int base = images ? images->Width() + 8 : 4;
    int result = base;
    Measure([&](TCanvas* canvas) {
        for (int i = 0; i < properties->Items()->Count(); ++i)
            result = std::max(result, base + canvas->TextWidth(properties->Items()->Items(i)->Description()));
        return 0;
    });
    if (properties->DropDownRows() < Items()->Count()) result += GetSystemMetrics(SM_CXVSCROLL);
    return result;
}

void TcxImageComboBoxListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state)
{
    if (DoDrawItem(index, rect, state)) return;
    TCanvas* canvas = Canvas();
    canvas->FillRect(rect);
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    if (!properties || index < 0 || index >= properties->Items()->Count()) return;
    const UINT flags = properties->MultiLineText() ? DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX
                                                   : DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    RECT r = rect;
    r.left += 2;
    TcxImageComboBoxItem* item = properties->Items()->Items(index);
    if (TCustomImageList* images = GetImages()) {
        const RECT image = GetImageRect(r);
        if (item->ImageIndex() >= 0 && item->ImageIndex() < images->Count())
            images->Draw(canvas, image.left + 1, (image.top + image.bottom - images->Height()) / 2,
                         item->ImageIndex(), Enabled());
        if (image.left > r.left) r.right = image.left;
        if (image.right < r.right) r.left = image.right;
    }
    if (IsRectEmpty(&r)) return;
    canvas->Brush()->SetStyle(bsClear);
    canvas->DrawText(item->Description(), r, flags);
}

// ---- lookup data ----------------------------------------------------------------------------

TClass TcxImageComboBoxLookupData::StaticClass()
{
    return DefineClass<TcxImageComboBoxLookupData, TcxComboBoxLookupData>("TcxImageComboBoxLookupData");
}

TcxCustomImageComboBoxProperties* TcxImageComboBoxLookupData::ImageProperties() const
{
    return As<TcxCustomImageComboBoxProperties>(GetActiveProperties());
}

std::string TcxImageComboBoxLookupData::GetItem(int index)
{
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    if (!properties || index < 0 || index >= properties->Items()->Count()) return {};
    return properties->Items()->Items(index)->Description();
}

int TcxImageComboBoxLookupData::GetItemCount()
{
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    return properties ? properties->Items()->Count() : 0;
}

SIZE TcxImageComboBoxLookupData::GetVisualAreaPreferredSize(int maxHeight, int width)
{
    if (auto* list = As<TcxImageComboBoxListBox>(ComboList())) list->SetMaxHeight(maxHeight);
    return TcxComboBoxLookupData::GetVisualAreaPreferredSize(maxHeight, width);
}

void TcxImageComboBoxLookupData::TextChanged()
{
    TcxCustomImageComboBoxProperties* properties = ImageProperties();
    TcxCustomEdit* edit = GetEdit();
    if (!properties || !edit) return;
    TcxImageComboBoxItem* item = properties->FindItemByValue(edit->EditValue());
    InternalSetCurrentKey(item ? item->Index() : -1);
}

// ---- the editor -----------------------------------------------------------------------------

TClass TcxCustomImageComboBox::StaticClass()
{
    return DefineClass<TcxCustomImageComboBox, TcxCustomComboBox>("TcxCustomImageComboBox");
}

TClass TcxImageComboBox::StaticClass()
{
    return DefineClass<TcxImageComboBox, TcxCustomImageComboBox>(
        "TcxImageComboBox", [](ClassBuilder<TcxImageComboBox>& b) {
            using C = TcxImageComboBox;
            b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
            b.Property("Properties", &C::Properties, &C::SetProperties);
        });
}

TClass TcxCustomImageComboBoxProperties::GetContainerClass() { return TcxImageComboBox::StaticClass(); }
TClass TcxCustomImageComboBoxProperties::GetViewDataClass() { return TcxImageComboBoxViewData::StaticClass(); }
TClass TcxCustomImageComboBoxProperties::GetViewInfoClass() { return TcxImageComboBoxViewInfo::StaticClass(); }
TClass TcxCustomImageComboBoxProperties::GetLookupDataClass() { return TcxImageComboBoxLookupData::StaticClass(); }
TClass TcxCustomImageComboBox::GetPropertiesClass() const { return TcxImageComboBoxProperties::StaticClass(); }

void TcxCustomImageComboBox::LookupKeyToEditValue(const Variant& key, Variant& value)
{
    TcxImageComboBoxItems* items = ActiveProperties()->Items();
    if (VarEqualsExact(key, Variant(-1))) {
        value = Variant::Null();
        return;
    }
    const int index = key.AsInteger();
    value = index >= 0 && index < items->Count() ? items->Items(index)->Value() : Variant::Null();
}

void TcxCustomImageComboBox::PrepareEditValue(const Variant&, Variant& editValue, bool)
{
    const int key = LookupData() ? LookupData()->CurrentKey() : -1;
    TcxImageComboBoxItems* items = ActiveProperties()->Items();
    editValue = key >= 0 && key < items->Count() ? items->Items(key)->Value() : Variant::Null();
}

void TcxCustomImageComboBox::SynchronizeDisplayValue()
{
    const bool modified = ModifiedAfterEnter();
    quelvo::sys::ScopeGuard finish([this, modified] {
        SetModifiedAfterEnter(modified);
        ResetOnNewDisplayValue();
        UpdateDrawValue();
    });
    if (!LookupData()) return;
    const Variant oldKey = LookupData()->GetCurrentKey();
    {
        LockClick(true);
        quelvo::sys::ScopeGuard unlock([this] { LockClick(false); });
        LookupData()->TextChanged();
    }
    if (!VarEqualsExact(oldKey, LookupData()->GetCurrentKey())) DoClick();
}

void TcxCustomImageComboBox::UpdateDrawValue()
{
    TcxCustomComboBox::UpdateDrawValue();
    SetInternalDisplayValue(Variant(ViewInfo()->Text));
}

SIZE TcxCustomImageComboBox::GetPopupWindowClientPreferredSize()
{
    SIZE size = TcxCustomComboBox::GetPopupWindowClientPreferredSize();
    if (ActiveProperties()->MultiLineText()) {
        size.cx = 0;
    } else if (auto* list = As<TcxImageComboBoxListBox>(LookupData() ? LookupData()->GetActiveControl() : nullptr)) {
        size.cx = std::max<int>(size.cx, list->GetMaxItemWidth());
    }
    return size;
}

// ---- unit start-up --------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxImageComboBoxInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxImageComboBoxProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryImageComboBoxItem));
}

void cxImageComboBoxFinalize() { gUnitStarts.End(); }
