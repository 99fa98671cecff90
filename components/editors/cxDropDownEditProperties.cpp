// The drop-down editors' shared settings and per-cell data.
#include <algorithm>

#include "components/editors/cxDropDownEdit.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- TcxCustomDropDownEditProperties ---------------------------------------------------

TClass TcxCustomDropDownEditProperties::StaticClass()
{
    return DefineClass<TcxCustomDropDownEditProperties, TcxCustomMaskEditProperties>(
        "TcxCustomDropDownEditProperties");
}

void TcxCustomDropDownEditProperties::Construct(TPersistent* owner)
{
    TcxCustomMaskEditProperties::Construct(owner);
    static_cast<TcxEditButton*>(Buttons()->Add())->SetKind(bkDown);
}

void TcxCustomDropDownEditProperties::Destroy()
{
    buttonGlyph_.reset();
    TcxCustomMaskEditProperties::Destroy();
}

void TcxCustomDropDownEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomDropDownEditProperties>(source);
    if (!other)
        return TcxCustomMaskEditProperties::Assign(source);
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomMaskEditProperties::Assign(source);
    glyphButtonIndex_ = other->glyphButtonIndex_;
    SetButtonGlyph(other->ButtonGlyph());
    immediateDropDown_ = other->immediateDropDown_;
    immediatePopup_ = other->immediatePopup_;
    SetPopupAlignment(other->popupAlignment_);
    popupAutoSize_ = other->popupAutoSize_;
    SetPopupClientEdge(other->popupClientEdge_);
    // The minimums first: they bound the sizes.
    SetPopupMinHeight(other->popupMinHeight_);
    SetPopupMinWidth(other->popupMinWidth_);
    SetPopupHeight(other->popupHeight_);
    SetPopupWidth(other->popupWidth_);
    SetPopupSizeable(other->popupSizeable_);
    SetPopupSysPanelStyle(other->popupSysPanelStyle_);
    postPopupValueOnTab_ = other->postPopupValueOnTab_;
    OnCloseQuery = other->OnCloseQuery;
    OnCloseUp = other->OnCloseUp;
    OnInitPopup = other->OnInitPopup;
    OnPopup = other->OnPopup;
}

void TcxCustomDropDownEditProperties::Changed()
{
    if (changing_)
        return;
    {
        // The kind's change comes back here through the buttons.
        changing_ = true;
        quelvo::sys::ScopeGuard done([this] { changing_ = false; });
        UpdateGlyphButtonKind();
    }
    TcxCustomMaskEditProperties::Changed();
}

TClass TcxCustomDropDownEditProperties::GetPopupWindowClass() { return TcxCustomEditPopupWindow::StaticClass(); }

TcxEditButton* TcxCustomDropDownEditProperties::GlyphButton() const
{
    if (glyphButtonIndex_ < 0 || glyphButtonIndex_ >= Buttons()->Count())
        return nullptr;
    return Buttons()->Items(glyphButtonIndex_);
}

void TcxCustomDropDownEditProperties::UpdateGlyphButtonKind()
{
    TcxEditButton* button = GlyphButton();
    if (!button)
        return;
    if (!button->Glyph()->Empty())
        button->SetKind(bkGlyph);
    else if (button->Kind() == bkGlyph)
        button->SetKind(bkDown);
}

TBitmap* TcxCustomDropDownEditProperties::ButtonGlyph() const
{
    if (!buttonGlyph_) {
        buttonGlyph_.reset(CreateObject<TBitmap>());
        buttonGlyph_->OnChange = TNotifyEvent::Bind(const_cast<TcxCustomDropDownEditProperties*>(this),
                                                    &TcxCustomDropDownEditProperties::ButtonGlyphChanged);
    }
    return buttonGlyph_.get();
}

void TcxCustomDropDownEditProperties::ButtonGlyphChanged(TObject*)
{
    if (TcxEditButton* button = GlyphButton())
        button->SetGlyph(buttonGlyph_.get());
    Changed();
}

void TcxCustomDropDownEditProperties::SetGlyphButtonIndex(int value)
{
    if (value == glyphButtonIndex_)
        return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    if (TcxEditButton* old = GlyphButton()) {
        old->Glyph()->SetSize(0, 0);
        if (old->Kind() == bkGlyph)
            old->SetKind(bkDown);
    }
    glyphButtonIndex_ = value;
    if (TcxEditButton* button = GlyphButton()) {
        button->SetGlyph(ButtonGlyph());
        button->SetKind(bkGlyph);
    }
}

void TcxCustomDropDownEditProperties::SetPopupHeight(int value) { popupHeight_ = std::max(value, popupMinHeight_); }

void TcxCustomDropDownEditProperties::SetPopupWidth(int value)
{
    popupWidth_ = value <= 0 ? 0 : std::max(value, popupMinWidth_);
}

void TcxCustomDropDownEditProperties::SetPopupMinHeight(int value)
{
    popupMinHeight_ = std::max(value, 0);
    SetPopupHeight(popupHeight_);
}

void TcxCustomDropDownEditProperties::SetPopupMinWidth(int value)
{
    popupMinWidth_ = std::max(value, 0);
    SetPopupWidth(popupWidth_);
}

// ---- TcxCustomDropDownEditData ---------------------------------------------------------

TClass TcxCustomDropDownEditData::StaticClass()
{
    return DefineClass<TcxCustomDropDownEditData, TcxCustomEditData>("TcxCustomDropDownEditData");
}

void TcxCustomDropDownEditData::Initialize(TcxCustomDropDownEditProperties* properties)
{
    popupResized_ = false;
    width_ = properties->PopupWidth();
    height_ = properties->PopupHeight();
}
