#include "components/foundation/cxContainer.h"

#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- construction -------------------------------------------------------------------

TClass TcxContainer::StaticClass()
{
    return DefineClass<TcxContainer, TcxControl>("TcxContainer", [](ClassBuilder<TcxContainer>& b) {
        b.Property("TabStop", &TcxContainer::TabStop, &TcxContainer::SetTabStop).Default(true);
    });
}

void TcxContainer::Construct(TComponent* owner)
{
    TcxControl::Construct(owner);
    constructing_ = true;
    quelvo::sys::ScopeGuard constructed([this] { constructing_ = false; });
    styles_.reset(CreateInstance<TcxContainerStyles>(GetStylesClass(), static_cast<TPersistent*>(this), GetStyleClass(),
                                                     GetStyleExClass()));
    styles_->SetOnChanged(TNotifyEvent::Bind(this, &TcxContainer::ContainerStyleChanged));
    LookAndFeel()->SetMasterLookAndFeel(Style()->GetLookAndFeel());
    SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse, csSetCaption});
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TcxContainer::BeforeDestruction()
{
    destroying_ = true;
    TcxControl::BeforeDestruction();
}

void TcxContainer::Destroy()
{
    if (styles_) styles_->SetOnChanged({});
    styles_.reset();
    TcxControl::Destroy();
}

void TcxContainer::Loaded()
{
    TcxControl::Loaded();
    ContainerStyleChanged(Style());
}

TcxContainerStyleClass TcxContainer::GetStyleClass() const { return TcxContainerStyle::StaticClass(); }
TcxContainerStyleClass TcxContainer::GetStyleExClass() const { return TcxContainerStyleEx::StaticClass(); }
TcxContainerStylesClass TcxContainer::GetStylesClass() const { return TcxContainerStyles::StaticClass(); }

// ---- styles, colour and font ---------------------------------------------------------------

void TcxContainer::ContainerStyleChanged(TObject*)
{
    if (constructing_ || IsLoading() || !styles_) return;
    const TColor styleColor = Style()->GetStyleColor();
    if (styleColor != Color()) {
        if (ParentColor()) SetParentColor(false);
        SetEchoColor(styleColor);
    }
    SetEchoFont(Style()->Font());
}

void TcxContainer::SetEchoColor(TColor value)
{
    echo_ = true;
    quelvo::sys::ScopeGuard done([this] { echo_ = false; });
    SetColor(value);
}

void TcxContainer::SetEchoFont(TFont* value)
{
    if (!value) return;
    echo_ = true;
    quelvo::sys::ScopeGuard done([this] { echo_ = false; });
    SetFont(value);
}

void TcxContainer::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_PARENTCOLORCHANGED: return CMParentColorChanged(message);
    case CM_PARENTFONTCHANGED: return CMParentFontChanged(message);
    default: return TcxControl::Dispatch(message);
    }
}

void TcxContainer::CMParentColorChanged(TMessage& m)
{
    const bool wasAssigned = Style()->RawAssigned(csvColor);
    TcxControl::Dispatch(m);
    if (!wasAssigned || ParentColor()) Style()->ExcludeAssigned(csvColor);
    if (Style()->GetColor() != Color()) ContainerStyleChanged(Style());
}

void TcxContainer::CMParentFontChanged(TMessage& m)
{
    const bool wasAssigned = Style()->RawAssigned(csvFont);
    TcxControl::Dispatch(m);
    if (!ParentFont()) Style()->UpdateFont();
    if (!wasAssigned) Style()->ExcludeAssigned(csvFont);
}

void TcxContainer::ColorChanged()
{
    if (echo_ || !styles_) return TcxControl::ColorChanged();
    Style()->SetColor(Color());
}

void TcxContainer::FontChanged()
{
    if (echo_ || !styles_) return TcxControl::FontChanged();
    // The font follows the container without becoming a stored style value.
    const bool assigned = Style()->RawAssigned(csvFont);
    Style()->SetFont(Font());
    if (!assigned) Style()->ExcludeAssigned(csvFont);
    // The style's echo finds the same font and changes nothing, so the
    // control's own handling runs here.
    TcxControl::FontChanged();
}

// ---- unit ------------------------------------------------------------------------------------------

void cxContainerInitialize() { cxContainerStylesInitialize(); }

void cxContainerFinalize() { cxContainerStylesFinalize(); }
