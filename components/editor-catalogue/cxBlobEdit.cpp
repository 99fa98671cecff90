#include "components/editor-catalogue/cxBlobEdit.h"

#include <algorithm>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditRepositoryItems.h"
#include "components/editors/cxEditTextUtils.h"
#include "components/editors/cxEditUtils.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxBlobEditKind*)
{
    static const TEnumInfo info{"TcxBlobEditKind", {"bekAuto", "bekMemo", "bekPict", "bekOle", "bekBlob"}};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxBlobPaintStyle*)
{
    static const TEnumInfo info{"TcxBlobPaintStyle", {"bpsDefault", "bpsIcon", "bpsText"}};
    return info;
}

namespace {

constexpr int kBlobTextLimit = 80;

TcxBlobEditKind KindOfField(TcxBlobKind kind)
{
    switch (kind) {
    case bkGraphic: return bekPict;
    case bkMemo: return bekMemo;
    case bkOle: return bekOle;
    default: return bekBlob;
    }
}

bool DropsDown(TcxBlobEditKind kind) { return kind == bekMemo || kind == bekPict; }

}  // namespace

std::string GetBlobText(const Variant& value, TcxCustomBlobEditProperties* properties, bool fullText)
{
    const TcxBlobEditKind kind = properties->ActiveBlobEditKind();
    const bool memoText = kind == bekMemo && VarIsStr(value);
    if (fullText && memoText) return VarToStr(value);
    switch (properties->BlobPaintStyle()) {
    case bpsDefault:
        if (kind == bekMemo) return cxGetResourceString(VarIsNull(value) ? cxSBlobMemoEmpty : cxSBlobMemo);
        if (kind == bekPict) return cxGetResourceString(VarIsNull(value) ? cxSBlobPictureEmpty : cxSBlobPicture);
        return {};
    case bpsText: {
        if (!memoText) return {};
        std::string text = TrimLeft(VarToStr(value));
        if (text.size() > kBlobTextLimit) text.resize(kBlobTextLimit);
        for (char& c : text)
            if (static_cast<unsigned char>(c) < 32) c = ' ';
        return text;
    }
    default: return {};
    }
}

// ---- properties -----------------------------------------------------------------------------

TClass TcxCustomBlobEditProperties::StaticClass()
{
    return DefineClass<TcxCustomBlobEditProperties, TcxCustomPopupEditProperties>("TcxCustomBlobEditProperties");
}

TClass TcxBlobEditProperties::StaticClass()
{
    return DefineClass<TcxBlobEditProperties, TcxCustomBlobEditProperties>(
        "TcxBlobEditProperties", [](ClassBuilder<TcxBlobEditProperties>& b) {
            using P = TcxBlobEditProperties;
            b.Property("AlwaysSaveData", &P::AlwaysSaveData, &P::SetAlwaysSaveData).Default(true);
            b.Property("BlobEditKind", &P::BlobEditKind, &P::SetBlobEditKind).Default(bekAuto);
            b.Property("BlobPaintStyle", &P::BlobPaintStyle, &P::SetBlobPaintStyle).Default(bpsIcon);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("ImmediatePopup", &P::ImmediatePopup, &P::SetImmediatePopup).Default(true);
            b.Property("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
            b.Property("MemoAutoReplace", &P::MemoAutoReplace, &P::SetMemoAutoReplace).Default(false);
            b.Property("MemoCharCase", &P::MemoCharCase, &P::SetMemoCharCase).Default(ecNormal);
            b.Property("MemoMaxLength", &P::MemoMaxLength, &P::SetMemoMaxLength).Default(0);
            b.Property("MemoOEMConvert", &P::MemoOEMConvert, &P::SetMemoOEMConvert).Default(false);
            b.Property("MemoScrollBars", &P::MemoScrollBars, &P::SetMemoScrollBars).Default(ssNone);
            b.Property("MemoWantReturns", &P::MemoWantReturns, &P::SetMemoWantReturns).Default(true);
            b.Property("MemoWantTabs", &P::MemoWantTabs, &P::SetMemoWantTabs).Default(true);
            b.Property("MemoWordWrap", &P::MemoWordWrap, &P::SetMemoWordWrap).Default(true);
            b.Property("PictureAutoSize", &P::PictureAutoSize, &P::SetPictureAutoSize).Default(true);
            b.Property("PictureFilter", &P::PictureFilter, &P::SetPictureFilter);
            b.Property("PictureGraphicClassName", &P::PictureGraphicClassName, &P::SetPictureGraphicClassName)
                .Stored(&P::IsPictureGraphicClassNameStored);
            b.Property("PictureTransparency", &P::PictureTransparency, &P::SetPictureTransparency)
                .Default(gtDefault);
            b.Property("PopupHeight", &P::PopupHeight, &P::SetPopupHeight).Default(200);
            b.Property("PopupWidth", &P::PopupWidth, &P::SetPopupWidth).Default(250);
            b.Property("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Stored(&P::IsReadOnlyStored);
            b.Property("ShowExPopupItems", &P::ShowExPopupItems, &P::SetShowExPopupItems).Default(true);
            b.Property("ShowPicturePopup", &P::ShowPicturePopup, &P::SetShowPicturePopup).Default(true);
            b.EventProperty("OnAssignPicture", &P::OnAssignPicture);
            b.EventProperty("OnButtonClick", &P::OnButtonClick);
            b.EventProperty("OnChange", &P::OnChange);
            b.EventProperty("OnCloseQuery", &P::OnCloseQuery);
            b.EventProperty("OnCloseUp", &P::OnCloseUp);
            b.EventProperty("OnEditValueChanged", &P::OnEditValueChanged);
            b.EventProperty("OnGetGraphicClass", &P::OnGetGraphicClass);
            b.EventProperty("OnInitPopup", &P::OnInitPopup);
            b.EventProperty("OnPopup", &P::OnPopup);
            b.EventProperty("OnValidate", &P::OnValidate);
        });
}

void TcxCustomBlobEditProperties::Construct(TPersistent* owner)
{
    TcxCustomPopupEditProperties::Construct(owner);
    SetImmediatePopup(true);
    SetPopupMinWidth(160);
    SetPopupMinHeight(140);
    pictureGraphicClass_ = GetDefaultPictureGraphicClass();
    SyncButtonKind();
}

void TcxCustomBlobEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomBlobEditProperties>(source);
    if (!other) {
        TcxCustomPopupEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomPopupEditProperties::Assign(source);
    alwaysSaveData_ = other->alwaysSaveData_;
    SetBlobEditKind(other->blobEditKind_);
    SetBlobPaintStyle(other->blobPaintStyle_);
    memoAutoReplace_ = other->memoAutoReplace_;
    memoCharCase_ = other->memoCharCase_;
    memoMaxLength_ = other->memoMaxLength_;
    memoOEMConvert_ = other->memoOEMConvert_;
    memoScrollBars_ = other->memoScrollBars_;
    memoWantReturns_ = other->memoWantReturns_;
    memoWantTabs_ = other->memoWantTabs_;
    memoWordWrap_ = other->memoWordWrap_;
    pictureAutoSize_ = other->pictureAutoSize_;
    pictureFilter_ = other->pictureFilter_;
    SetPictureGraphicClass(other->pictureGraphicClass_);
    pictureTransparency_ = other->pictureTransparency_;
    showExPopupItems_ = other->showExPopupItems_;
    showPicturePopup_ = other->showPicturePopup_;
    OnAssignPicture = other->OnAssignPicture;
    OnGetGraphicClass = other->OnGetGraphicClass;
}

void TcxCustomBlobEditProperties::DefineProperties(TFiler& filer)
{
    TcxCustomPopupEditProperties::DefineProperties(filer);
    filer.DefineProperty(
        "IsPictureGraphicClassNameEmpty",
        [this](TReader& reader) {
            if (reader.ReadBoolean()) SetPictureGraphicClass(nullptr);
        },
        [](TWriter& writer) { writer.WriteBoolean(true); }, pictureGraphicClass_ == nullptr);
}

TClass TcxCustomBlobEditProperties::GetDefaultPictureGraphicClass()
{
    const auto& list = GetRegisteredGraphicClasses();
    return list.empty() ? nullptr : list.front();
}

TcxBlobEditKind TcxCustomBlobEditProperties::ActiveBlobEditKind() const
{
    if (blobEditKind_ != bekAuto) return blobEditKind_;
    IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider();
    return provider ? KindOfField(provider->DefaultBlobKind()) : bekBlob;
}

void TcxCustomBlobEditProperties::SyncButtonKind()
{
    if (Buttons()->Count() == 0) return;
    const TcxEditButtonKind wanted = DropsDown(ActiveBlobEditKind()) ? bkDown : bkEllipsis;
    TcxEditButton* button = Buttons()->Items(0);
    if (button->Kind() == wanted) return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(false); });
    button->SetKind(wanted);
}

void TcxCustomBlobEditProperties::SetBlobEditKind(TcxBlobEditKind value)
{
    if (value == blobEditKind_) return;
    blobEditKind_ = value;
    SyncButtonKind();
    Changed();
}

void TcxCustomBlobEditProperties::SetBlobPaintStyle(TcxBlobPaintStyle value)
{
    if (value == blobPaintStyle_) return;
    blobPaintStyle_ = value;
    Changed();
}

void TcxCustomBlobEditProperties::SetPictureGraphicClass(TClass value)
{
    if (value == pictureGraphicClass_) return;
    pictureGraphicClass_ = value;
    Changed();
}

std::string TcxCustomBlobEditProperties::PictureGraphicClassName() const
{
    return pictureGraphicClass_ ? pictureGraphicClass_->ClassName() : std::string();
}

void TcxCustomBlobEditProperties::SetPictureGraphicClassName(const std::string& value)
{
    if (value.empty()) SetPictureGraphicClass(nullptr);
    else if (TClass found = GetGraphicClassByName(value)) SetPictureGraphicClass(found);
}

bool TcxCustomBlobEditProperties::IsPictureGraphicClassNameStored() const
{
    return pictureGraphicClass_ != const_cast<TcxCustomBlobEditProperties*>(this)->GetDefaultPictureGraphicClass();
}

TClass TcxCustomBlobEditProperties::GetPictureGraphicClass(TObject* item, int recordIndex, bool pasting)
{
    if (pictureGraphicClass_) return pictureGraphicClass_;
    TClass result = pasting ? TBitmap::StaticClass() : nullptr;
    OnGetGraphicClass(item, recordIndex, pasting, result);
    return result;
}

bool TcxCustomBlobEditProperties::CompareDisplayValues(const Variant& value1, const Variant& value2)
{
    return blobPaintStyle_ == bpsText && ActiveBlobEditKind() == bekMemo && VarIsStr(value1) && VarIsStr(value2) &&
           VarToStr(value1) == VarToStr(value2);
}

std::string TcxCustomBlobEditProperties::GetDisplayText(const Variant& editValue, bool fullText)
{
    if (VarIsNull(editValue)) return {};
    switch (ActiveBlobEditKind()) {
    case bekMemo: return GetBlobText(editValue, this, fullText);
    case bekPict: return cxGetResourceString(cxSBlobPicture);
    case bekOle: return "OLE";
    case bekBlob: return "BLOB";
    default: return {};
    }
}

TcxEditSupportedOperations TcxCustomBlobEditProperties::GetSupportedOperations()
{
    TcxEditSupportedOperations result;
    if (Buttons()->Count() > 0) result.Include(esoHotTrack);
    return result;
}

TcxDataEditValueSource TcxCustomBlobEditProperties::GetEditValueSource(bool)
{
    IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider();
    if (ActiveBlobEditKind() == bekMemo && (!provider || !provider->IsBlob())) return evsText;
    return evsValue;
}

// ---- view info and view data ----------------------------------------------------------------

TClass TcxBlobEditViewInfo::StaticClass()
{
    return DefineClass<TcxBlobEditViewInfo, TcxCustomTextEditViewInfo>("TcxBlobEditViewInfo");
}

void TcxBlobEditViewInfo::Offset(int dx, int dy)
{
    TcxCustomTextEditViewInfo::Offset(dx, dy);
    OffsetRect(&IconRect, dx, dy);
}

void TcxBlobEditViewInfo::InternalPaint(TcxCanvas* canvas)
{
    if (!canvas->RectVisible(Bounds)) return;
    if (ImageIndex < 0 && !Text.empty()) {
        DrawCustomEdit(canvas, this, true, bpsComboListEdit);
        canvas->Font()->Assign(Font);
        canvas->Font()->SetColor(TextColor);
        canvas->Brush()->SetStyle(bsClear);
        RECT r = TextRect;
        cxTextOut(canvas->Canvas(), Text, r, DrawTextFlags);
        canvas->Brush()->SetStyle(bsSolid);
    } else {
        if (ImageIndex >= 0) PaintIcon(canvas);
        DrawCustomEdit(canvas, this, true, bpsComboListEdit);
    }
    if (Focused && !IsInplace && !HasPopupWindow) {
        RECT r = ClientRect;
        InflateRect(&r, -1, -1);
        canvas->Font()->SetColor(clWhite);
        canvas->Brush()->SetColor(clBlack);
        canvas->Canvas()->DrawFocusRect(r);
    }
}

void TcxBlobEditViewInfo::PaintIcon(TcxCanvas* canvas)
{
    RECT r{};
    IntersectRect(&r, &IconRect, &ClientRect);
    {
        TcxRegion* saved = canvas->GetClipRegion();
        quelvo::sys::ScopeGuard restore([&] { canvas->SetClipRegion(saved, roSet); });
        canvas->IntersectClipRect(r);
        TCustomImageList* icons = cxBlobEditIcons();
        if (Transparent) canvas->DrawImage(icons, IconRect.left, IconRect.top, ImageIndex, Enabled);
        else DrawGlyph(canvas, icons, ImageIndex, IconRect, BackgroundColor(), Enabled);
    }
    if (!Transparent) canvas->ExcludeClipRect(r);
}

TClass TcxBlobEditViewData::StaticClass()
{
    return DefineClass<TcxBlobEditViewData, TcxCustomDropDownEditViewData>("TcxBlobEditViewData");
}

std::string TcxBlobEditViewData::InternalEditValueToDisplayText(const Variant& editValue)
{
    return GetBlobText(editValue, BlobProperties(), false);
}

SIZE TcxBlobEditViewData::InternalGetEditContentSize(TcxCanvas* canvas, const Variant& editValue,
                                                     const TcxEditSizeProperties& sizeProperties)
{
    SIZE size = TcxCustomDropDownEditViewData::InternalGetEditContentSize(canvas, editValue, sizeProperties);
    if (BlobProperties()->BlobPaintStyle() == bpsIcon) size.cx += cxBlobEditIcons()->Width();
    return size;
}

void TcxBlobEditViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                                    TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    BlobProperties()->SyncButtonKind();
    TcxCustomDropDownEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    auto* info = static_cast<TcxBlobEditViewInfo*>(viewInfo);
    const RECT& c = info->ClientRect;
    TCustomImageList* icons = cxBlobEditIcons();
    const int left = c.left + (c.right - c.left - icons->Width()) / 2;
    const int top = c.top + (c.bottom - c.top - icons->Height()) / 2;
    info->IconRect = RECT{left, top, left + icons->Width(), top + icons->Height()};
    if (Edit) EditValueToDrawValue(canvas, Edit->EditValue(), viewInfo);
    PrepareDrawTextFlags(canvas, viewInfo);
}

void TcxBlobEditViewData::EditValueToDrawValue(TcxCanvas* canvas, const Variant& editValue,
                                               TcxCustomEditViewInfo* viewInfo)
{
    auto* info = static_cast<TcxBlobEditViewInfo*>(viewInfo);
    TcxCustomBlobEditProperties* properties = BlobProperties();
    properties->SyncButtonKind();
    if (properties->BlobPaintStyle() != bpsIcon) {
        TcxCustomDropDownEditViewData::EditValueToDrawValue(canvas, editValue, viewInfo);
        info->ImageIndex = -1;
        return;
    }
    info->Text.clear();
    static constexpr int rows[] = {0, 2, 4, 6, 0};
    info->ImageIndex = rows[properties->ActiveBlobEditKind()] + (VarIsSoftNull(editValue) ? 0 : 1);
}

void TcxBlobEditViewData::PrepareDrawTextFlags(TcxCanvas*, TcxCustomEditViewInfo* viewInfo)
{
    auto* info = static_cast<TcxBlobEditViewInfo*>(viewInfo);
    info->DrawTextFlags = (taCenterY << 4) | cxSingleLine;
    if (!IsInplace || PaintOptions.Contains(epoHasExternalBorder)) info->DrawTextFlags |= cxShowEndEllipsis;
}

// ---- the drop-down editors ------------------------------------------------------------------

TClass TcxPopupMemo::StaticClass() { return DefineClass<TcxPopupMemo, TcxMemo>("TcxPopupMemo"); }

TClass TcxPopupImage::StaticClass() { return DefineClass<TcxPopupImage, TcxImage>("TcxPopupImage"); }

template <class Editor, bool Picture>
void TcxBlobPopupEditor<Editor, Picture>::KeyDown(WORD& key, TShiftState shift)
{
    if (BlobEdit) {
        if (const int result = BlobEdit->PopupKeyResult(key, shift, Picture)) {
            key = 0;
            BlobEdit->ClosePopupWithResult(result);
            return;
        }
    }
    Editor::KeyDown(key, shift);
}

template class TcxBlobPopupEditor<TcxMemo, false>;
template class TcxBlobPopupEditor<TcxImage, true>;

TClass TcxBlobEditPopupWindow::StaticClass()
{
    return DefineClass<TcxBlobEditPopupWindow, TcxPopupEditPopupWindow>("TcxBlobEditPopupWindow");
}

void TcxBlobEditPopupWindow::DoPopupControlKey(char key)
{
    auto* edit = As<TcxCustomBlobEdit>(OwnerControl());
    auto* memo = edit ? As<TcxPopupMemo>(edit->PopupEditor()) : nullptr;
    if (!memo || memo->ActiveProperties()->ReadOnly() || !edit->ActiveProperties()->MemoAutoReplace()) {
        TcxPopupEditPopupWindow::DoPopupControlKey(key);
        return;
    }
    memo->SetEditingText(std::string(1, key));
    memo->SetSelStart(1);
    memo->SetModifiedAfterEnter(true);
}

TClass TcxCustomBlobEditProperties::GetPopupWindowClass() { return TcxBlobEditPopupWindow::StaticClass(); }

// ---- the editor -----------------------------------------------------------------------------

TClass TcxCustomBlobEdit::StaticClass()
{
    return DefineClass<TcxCustomBlobEdit, TcxCustomPopupEdit>("TcxCustomBlobEdit");
}

TClass TcxBlobEdit::StaticClass()
{
    return DefineClass<TcxBlobEdit, TcxCustomBlobEdit>("TcxBlobEdit", [](ClassBuilder<TcxBlobEdit>& b) {
        using C = TcxBlobEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
        b.Property("RepositoryItem", &C::RepositoryItem, &C::SetRepositoryItem);
        PublishEditStyles(b);
    });
}

TClass TcxCustomBlobEditProperties::GetContainerClass() { return TcxBlobEdit::StaticClass(); }
TClass TcxCustomBlobEditProperties::GetViewDataClass() { return TcxBlobEditViewData::StaticClass(); }
TClass TcxCustomBlobEditProperties::GetViewInfoClass() { return TcxBlobEditViewInfo::StaticClass(); }
TClass TcxCustomBlobEdit::GetPropertiesClass() const { return TcxBlobEditProperties::StaticClass(); }

void TcxCustomBlobEdit::Construct(TComponent* owner)
{
    TcxCustomPopupEdit::Construct(owner);
    SetControlStyle(ControlStyle() - TControlStyle{csSetCaption});
    SetTabStop(true);
}

void TcxCustomBlobEdit::Destroy()
{
    DestroyPopupControls();
    TcxCustomPopupEdit::Destroy();
}

bool TcxCustomBlobEdit::CanEditValue()
{
    return !ActiveProperties()->ReadOnly() && DataBinding()->GetIsDataAvailable();
}

bool TcxCustomBlobEdit::CanDropDown() { return popupEditor_ != nullptr; }

std::string TcxCustomBlobEdit::InternalGetText()
{
    const Variant value = EditValue();
    if (IsDesigning()) return VarToStr(value);
    if (ActiveProperties()->ActiveBlobEditKind() != bekMemo) return {};
    if (auto* memo = As<TcxPopupMemo>(popupEditor_)) return memo->Text();
    return VarIsStr(value) ? VarToStr(value) : std::string();
}

bool TcxCustomBlobEdit::InternalSetText(const std::string& value)
{
    if (IsDesigning()) {
        SetEditValue(Variant(value));
        return true;
    }
    if (ActiveProperties()->ActiveBlobEditKind() != bekMemo) return false;
    if (auto* memo = As<TcxPopupMemo>(popupEditor_)) memo->SetEditingText(value);
    else SetEditValue(Variant(value));
    return true;
}

void TcxCustomBlobEdit::SetEditingText(const std::string& value)
{
    if (ActiveProperties()->ActiveBlobEditKind() != bekMemo) return;
    if (popupEditor_) InternalSetText(value);
    else TcxCustomPopupEdit::SetEditingText(value);
}

// The popup window shows once the posted request is handled: a character
// that opens it follows that request to the focused drop-down control.
void TcxCustomBlobEdit::DoEditKeyPress(char& key)
{
    const bool opens = static_cast<unsigned char>(key) >= 32 && !HasPopupWindow() &&
                       ActiveProperties()->ImmediateDropDown() && HandleAllocated();
    if (!opens) {
        TcxCustomPopupEdit::DoEditKeyPress(key);
        return;
    }
    const char typed = key;
    key = 0;
    auto alive = AliveToken();
    SendMessageA(Handle(), CM_DROPDOWN, 0, 0);
    if (!*alive || !popupEditor_ || !PopupWindow()->HandleAllocated()) return;
    PostMessageA(PopupWindow()->Handle(), CM_POPUPCONTROLKEY, static_cast<unsigned char>(typed), 0);
}

void TcxCustomBlobEdit::StorageEditingHandler(TObject*, bool& canEdit) { canEdit = CanModify(); }

TWinControl* TcxCustomBlobEdit::GetPopupFocusedControl()
{
    return popupEditor_ ? popupEditor_ : TcxCustomPopupEdit::GetPopupFocusedControl();
}

SIZE TcxCustomBlobEdit::GetPopupWindowClientPreferredSize()
{
    auto* image = As<TcxPopupImage>(popupEditor_);
    if (image && ActiveProperties()->PictureAutoSize())
        return SIZE{image->Picture()->Width() + 4, image->Picture()->Height() + 4};
    return TcxCustomPopupEdit::GetPopupWindowClientPreferredSize();
}

void TcxCustomBlobEdit::DoInitPopup()
{
    CreatePopupControls();
    TcxCustomPopupEdit::DoInitPopup();
}

TClass TcxCustomBlobEdit::GetPictureGraphicClass(bool pasting)
{
    TcxCustomBlobEditProperties* properties = ActiveProperties();
    if (TClass result = properties->PictureGraphicClass()) return result;
    if (IsInplace()) return properties->GetPictureGraphicClass(nullptr, -1, pasting);
    TClass result = pasting ? TBitmap::StaticClass() : nullptr;
    OnGetGraphicClass(this, pasting, result);
    return result;
}

void TcxCustomBlobEdit::PropertiesChanged(TObject* sender)
{
    if (IsDestroying()) return;
    ActiveProperties()->SyncButtonKind();
    TcxCustomPopupEdit::PropertiesChanged(sender);
    ShortRefreshContainer(false);
    if (auto* image = As<TcxPopupImage>(popupEditor_)) {
        image->Properties()->SetGraphicClass(GetPictureGraphicClass(false));
    } else if (auto* memo = As<TcxPopupMemo>(popupEditor_)) {
        memo->Properties()->SetImeMode(ActiveProperties()->ImeMode());
        memo->Properties()->SetImeName(ActiveProperties()->ImeName());
    }
}

void TcxCustomBlobEdit::ColorChanged()
{
    TcxCustomPopupEdit::ColorChanged();
    ApplyPopupStyle();
}

void TcxCustomBlobEdit::FontChanged()
{
    TcxCustomPopupEdit::FontChanged();
    ApplyPopupStyle();
}

void TcxCustomBlobEdit::ApplyPopupStyle()
{
    if (!popupEditor_) return;
    TcxCustomContainerStyle* style = GetActiveStyle();
    if (As<TcxPopupMemo>(popupEditor_)) popupEditor_->Style()->SetColor(style->GetColor());
    if (As<TcxPopupMemo>(popupEditor_)) popupEditor_->Style()->SetFont(style->GetVisibleFont());
    for (TcxButton* button : {cancelButton_, okButton_})
        if (button) button->Font()->Assign(style->GetVisibleFont());
}

// ---- the drop-down's controls ---------------------------------------------------------------

void TcxCustomBlobEdit::CreatePopupControls()
{
    DestroyPopupControls();
    PopupWindow()->SetModalResult(mrNone);
    switch (ActiveProperties()->ActiveBlobEditKind()) {
    case bekMemo: CreatePopupMemo(); break;
    case bekPict: CreatePopupImage(); break;
    default: return;
    }
    popupEditor_->Style()->LookAndFeel()->SetMasterLookAndFeel(PopupControlsLookAndFeel());
    popupEditor_->Properties()->OnChange = TNotifyEvent::Bind(this, &TcxCustomBlobEdit::InternalChanged);
    TcxCustomBlobEditProperties* properties = ActiveProperties();
    properties->LockUpdate(true);
    quelvo::sys::ScopeGuard unlock([properties] { properties->LockUpdate(false); });
    properties->SetPopupControl(popupEditor_);
    CreateButtons();
}

void TcxCustomBlobEdit::CreatePopupMemo()
{
    TcxCustomBlobEditProperties* p = ActiveProperties();
    auto* memo = CreateObject<TcxPopupMemo>(static_cast<TComponent*>(nullptr));
    popupEditor_ = memo;
    memo->BlobEdit = this;
    memo->OnEditing = TcxEditEditingEvent::Bind(this, &TcxCustomBlobEdit::StorageEditingHandler);
    memo->Style()->SetBorderStyle(ebsNone);
    TcxMemoProperties* m = memo->Properties();
    m->SetCharCase(p->MemoCharCase());
    m->SetImeMode(p->ImeMode());
    m->SetImeName(p->ImeName());
    m->SetMaxLength(p->MemoMaxLength());
    m->SetOEMConvert(p->MemoOEMConvert());
    m->SetScrollBars(p->MemoScrollBars());
    m->SetWantReturns(p->MemoWantReturns());
    m->SetWantTabs(p->MemoWantTabs());
    m->SetWordWrap(p->MemoWordWrap());
    m->SetReadOnly(!CanEditValue());
    memo->SetParent(PopupWindow());
    memo->SetEditValue(EditValue());
    memo->SetModified(false);
    memo->Style()->SetFont(GetActiveStyle()->GetVisibleFont());
    memo->Style()->SetColor(GetActiveStyle()->GetColor());
}

void TcxCustomBlobEdit::CreatePopupImage()
{
    TcxCustomBlobEditProperties* p = ActiveProperties();
    auto* image = CreateObject<TcxPopupImage>(static_cast<TComponent*>(nullptr));
    popupEditor_ = image;
    image->BlobEdit = this;
    image->OnEditing = TcxEditEditingEvent::Bind(this, &TcxCustomBlobEdit::StorageEditingHandler);
    image->Style()->SetBorderStyle(ebsNone);
    TcxImageProperties* ip = image->Properties();
    ip->SetShowFocusRect(false);
    ip->SetStretch(true);
    ip->SetCustomFilter(p->PictureFilter());
    ip->SetGraphicTransparency(p->PictureTransparency());
    TcxPopupMenuItems items = ip->PopupMenuLayout()->MenuItems();
    if (!p->ShowPicturePopup()) items = TcxPopupMenuItems{};
    else if (!p->ShowExPopupItems()) items.Exclude(pmiLoad), items.Exclude(pmiSave);
    ip->PopupMenuLayout()->SetMenuItems(items);
    ip->SetReadOnly(!CanEditValue());
    ip->SetGraphicClass(GetPictureGraphicClass(false));
    image->SetParent(PopupWindow());
    image->OnGetGraphicClass = TcxImageEditGraphicClassEvent::FromFunction(
        [this](TObject*, bool pasting, TClass& result) { result = GetPictureGraphicClass(pasting); }, this);
    ip->OnGetGraphicClass = TcxImageGraphicClassEvent::FromFunction(
        [this](TObject*, int, bool pasting, TClass& result) { result = GetPictureGraphicClass(pasting); }, this);
    LoadPicture(image->Picture(), GetPictureGraphicClass(false), EditValue());
    image->SetModified(false);
}

TcxButton* TcxCustomBlobEdit::MakeButton(const std::string& caption, int modalResult)
{
    auto* button = CreateObject<TcxButton>(static_cast<TComponent*>(nullptr));
    button->SetCaption(caption);
    button->SetModalResult(modalResult);
    button->Font()->Assign(GetActiveStyle()->GetVisibleFont());
    button->LookAndFeel()->SetMasterLookAndFeel(PopupControlsLookAndFeel());
    button->OnClick = TNotifyEvent::Bind(this, &TcxCustomBlobEdit::ButtonClick);
    button->SetParent(PopupWindow());
    return button;
}

void TcxCustomBlobEdit::CreateButtons()
{
    const bool editable = CanEditValue();
    TcxCanvas* canvas = Canvas();
    canvas->SetFont(GetActiveStyle()->GetVisibleFont());
    buttonHeight_ = MulDiv(canvas->TextHeight("Wg"), 20, 13);
    const std::string cancelCaption = cxGetResourceString(editable ? cxSBlobButtonCancel : cxSBlobButtonClose);
    buttonWidth_ = canvas->TextWidth(cancelCaption + "00");
    cancelButton_ = MakeButton(cancelCaption, mrCancel);
    cancelButton_->SetCancel(true);
    if (editable) {
        const std::string okCaption = cxGetResourceString(cxSBlobButtonOK);
        buttonWidth_ = std::max(buttonWidth_, canvas->TextWidth(okCaption + "00"));
        okButton_ = MakeButton(okCaption, mrOk);
        okButton_->SetEnabled(popupEditor_->Modified());
        okButton_->SetBounds(0, 0, buttonWidth_, buttonHeight_);
    }
    cancelButton_->SetBounds(0, 0, buttonWidth_, buttonHeight_);
}

// The window's settings from the properties, then what the drop-down's
// controls need of it: the system panel for the buttons and room for them.
void TcxCustomBlobEdit::InitializePopupWindow()
{
    TcxCustomPopupEdit::InitializePopupWindow();
    if (!popupEditor_) return;
    TcxCustomEditPopupWindow* popup = PopupWindow();
    popup->SetSysPanelStyle(true);
    popup->SetPopupAutoSize(As<TcxPopupImage>(popupEditor_) && ActiveProperties()->PictureAutoSize());
    const int h = buttonHeight_, w = buttonWidth_;
    popup->SetMinSysPanelHeight(h + h / 3);
    const int minWidth = (h / 3 + w) * (okButton_ ? 2 : 1) + GetSystemMetrics(SM_CXVSCROLL) + h / 2;
    popup->SetMinWidth(std::max(popup->MinWidth(), minWidth));
}

void TcxCustomBlobEdit::DestroyPopupControls()
{
    if (!popupEditor_ && !cancelButton_ && !okButton_) return;
    if (TcxCustomBlobEditProperties* properties = ActiveProperties()) {
        properties->LockUpdate(true);
        quelvo::sys::ScopeGuard unlock([properties] { properties->LockUpdate(false); });
        properties->SetPopupControl(nullptr);
    }
    for (TControl** control : {reinterpret_cast<TControl**>(&okButton_), reinterpret_cast<TControl**>(&cancelButton_),
                               reinterpret_cast<TControl**>(&popupEditor_)}) {
        TControl* c = *control;
        *control = nullptr;
        if (c) c->Free();
    }
}

void TcxCustomBlobEdit::InternalChanged(TObject*)
{
    if (!okButton_) return;
    okButton_->SetEnabled(true);
    okButton_->SetDefault(true);
}

void TcxCustomBlobEdit::ButtonClick(TObject* sender)
{
    auto* button = As<TButton>(sender);
    if (button) ClosePopupWithResult(button->ModalResult());
}

void TcxCustomBlobEdit::ClosePopupWithResult(int modalResult)
{
    if (!HasPopupWindow()) return;
    PopupWindow()->SetModalResult(modalResult);
    // Closed once the key or click that asked for it is handled: the
    // control that received it is freed on closing.
    PopupWindow()->ClosePopup();
}

int TcxCustomBlobEdit::PopupKeyResult(WORD key, TShiftState shift, bool inImage)
{
    const bool alt = shift.Contains(ssAlt);
    if ((key == VK_F4 && !alt) || (alt && (key == VK_UP || key == VK_DOWN)))
        return ActiveProperties()->AlwaysSaveData() ? mrOk : mrCancel;
    if (key == VK_ESCAPE) return mrCancel;
    if (key == VK_RETURN && (shift.Contains(ssCtrl) || inImage || !ActiveProperties()->MemoWantReturns()))
        return mrOk;
    return mrNone;
}

void TcxCustomBlobEdit::SetupPopupWindow()
{
    if (!cancelButton_) {
        TcxCustomPopupEdit::SetupPopupWindow();
        return;
    }
    PopupWindow()->SetCloseButton(false);
    TcxCustomPopupEdit::SetupPopupWindow();
    PopupWindow()->SetCloseButton(false);
    PopupWindow()->CalculateViewInfo();
    PlaceButtons();
}

void TcxCustomBlobEdit::PlaceButtons()
{
    TcxCustomEditPopupWindowViewInfo* info = PopupWindow()->ViewInfo();
    const int w = buttonWidth_, h = buttonHeight_, width = PopupWindow()->ClientWidth();
    // The grip's corner, or the panel's edge when the window has no grip.
    const RECT& s = info->SizingRegionBounds;
    const RECT g = IsRectEmpty(&info->SizeGripRect) ? s : info->SizeGripRect;
    const int panel = info->SysPanelHeight;
    const bool gripRight = info->GripAtRight() && !IsRectEmpty(&info->SizeGripRect);
    const int right = gripRight ? static_cast<int>(g.left) - h / 6
                                : std::min<int>(width - 2 * (h / 6), s.right - h / 6);
    const bool top = !info->PanelAtBottom();
    const int y = top ? s.top + (panel - h) / 2 : s.bottom - (panel - h) / 2 - h;
    const TAnchors anchors = top ? TAnchors{akTop, akRight} : TAnchors{akBottom, akRight};
    cancelButton_->SetAnchors(anchors);
    cancelButton_->SetBounds(right - w, y, w, h);
    if (okButton_) {
        okButton_->SetAnchors(anchors);
        okButton_->SetBounds(right - w - (h / 3 + w), y, w, h);
    }
}

// ---- closing --------------------------------------------------------------------------------

void TcxCustomBlobEdit::PopupWindowClosed(TObject* sender)
{
    LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    quelvo::sys::ScopeGuard destroy([this] {
        DestroyPopupControls();
        ShortRefreshContainer(false);
    });
    auto alive = AliveToken();
    TcxCustomPopupEdit::PopupWindowClosed(sender);
    if (!*alive || !popupEditor_ || !popupEditor_->Modified()) return;
    const int result = PopupWindow()->ModalResult();
    if (result == mrOk || (result != mrCancel && ActiveProperties()->AlwaysSaveData())) {
        if (DoEditing()) TakePopupValue();
    }
}

void TcxCustomBlobEdit::TakePopupValue()
{
    auto* image = As<TcxPopupImage>(popupEditor_);
    const Variant value = image ? image->EditValue() : Variant(static_cast<TcxPopupMemo*>(popupEditor_)->Text());
    SetInternalEditValue(value);
    SetModifiedAfterEnter(true);
    if (image) DoAssignPicture();
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) InternalPostEditValue(false);
}

void TcxCustomBlobEdit::DoAssignPicture()
{
    TPicture* picture = static_cast<TcxPopupImage*>(popupEditor_)->Picture();
    {
        LockEditValueChanging(true);
        quelvo::sys::ScopeGuard unlock([this] { LockEditValueChanging(false); });
        Properties()->OnAssignPicture(this, picture);
        if (RepositoryItem()) ActiveProperties()->OnAssignPicture(this, picture);
    }
    SaveModified();
    quelvo::sys::ScopeGuard restore([this] { RestoreModified(); });
    SetModified(false);
    DoEditing();
}

// ---- unit start-up --------------------------------------------------------------------------

namespace quelvo_resources {
void Register_catalogue();
}

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

TCustomImageList* cxBlobEditIcons()
{
    // Freed when the program ends.
    static const ObjectPtr<TImageList> images = [] {
        quelvo_resources::Register_catalogue();
        ObjectPtr<TImageList> list = MakeObject<TImageList>(static_cast<TComponent*>(nullptr));
        const char* names[] = {"CXBMBLOB_BLOB_NULL", "CXBMBLOB_BLOB", "CXBMBLOB_MEMO_NULL", "CXBMBLOB_MEMO",
                               "CXBMBLOB_PICT_NULL", "CXBMBLOB_PICT", "CXBMBLOB_OLE_NULL",  "CXBMBLOB_OLE"};
        for (const char* name : names) {
            const ObjectPtr<TBitmap> bitmap = MakeObject<TBitmap>();
            bitmap->LoadFromResourceName(name);
            if (list->Count() == 0) list->SetSize(bitmap->Width(), bitmap->Height());
            list->AddMasked(bitmap.get(), static_cast<TColor>(0x008080));
        }
        return list;
    }();
    return images.get();
}

void cxBlobEditInitialize()
{
    if (!gUnitStarts.Start()) return;
    cxBlobEditIcons();
    GetRegisteredEditProperties()->Register(TcxBlobEditProperties::StaticClass(),
                                            cxGetResourceString(scxSEditRepositoryBlobItem));
}

void cxBlobEditFinalize() { gUnitStarts.End(); }
