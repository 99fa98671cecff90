#include "components/editor-catalogue/cxHyperLinkEdit.h"

#include <cctype>

#include "components/editors/cxEditConsts.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"
#include "platform/system/shell.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

// The letters, digits, "+", "-" and "." of a scheme after its first letter,
// then ":" and "//" (mailto: takes no slashes).
bool StartsWithScheme(const std::string& text)
{
    if (StartsText("mailto:", text)) return true;
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    size_t i = 1;
    while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '+' ||
                               text[i] == '-' || text[i] == '.'))
        ++i;
    return text.compare(i, 3, "://") == 0;
}

}  // namespace

bool cxIsOpenableLink(const std::string& address)
{
    for (const char* scheme : {"http://", "https://", "ftp://", "mailto:"})
        if (StartsText(scheme, address) && address.size() > std::string_view(scheme).size()) return true;
    return false;
}

// ---- properties ---------------------------------------------------------------------------------

TClass TcxCustomHyperLinkEditProperties::StaticClass()
{
    return DefineClass<TcxCustomHyperLinkEditProperties, TcxCustomTextEditProperties>(
        "TcxCustomHyperLinkEditProperties");
}

TClass TcxHyperLinkEditProperties::StaticClass()
{
    return DefineClass<TcxHyperLinkEditProperties, TcxCustomHyperLinkEditProperties>(
        "TcxHyperLinkEditProperties", [](ClassBuilder<TcxHyperLinkEditProperties>& b) {
            using P = TcxHyperLinkEditProperties;
            b.Property("AutoComplete", &P::AutoComplete, &P::SetAutoComplete).Default(true);
            b.Property("AutoSelect", &P::AutoSelect, &P::SetAutoSelect).Default(false);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("LinkColor", &P::LinkColor, &P::SetLinkColor).Default(clBlue).Idents(&ColorIdents());
            b.Property("LookupItems", &P::LookupItems, &P::SetLookupItems);
            b.Property("LookupItemsSorted", &P::LookupItemsSorted, &P::SetLookupItemsSorted).Default(false);
            // Streamed by DefineProperties, and only when it is not the resource text.
            b.Property("Prefix", &P::Prefix, &P::SetPrefix).Stored([](const P&) { return false; });
            b.Property("SingleClick", &P::SingleClick, &P::SetSingleClick).Default(false);
            b.Property("StartKey", &P::StartKey, &P::SetStartKey).Default(16397);
            b.EventProperty("OnStartClick", &P::OnStartClick);
        });
}

void TcxCustomHyperLinkEditProperties::Construct(TPersistent* owner)
{
    TcxCustomTextEditProperties::Construct(owner);
    SetAutoSelect(false);
    prefix_ = cxGetResourceString(cxSEditHyperLinkPrefix);
}

void TcxCustomHyperLinkEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomHyperLinkEditProperties>(source);
    if (!other) {
        TcxCustomTextEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomTextEditProperties::Assign(source);
    autoComplete_ = other->autoComplete_;
    SetLinkColor(other->linkColor_);
    prefix_ = other->prefix_;
    SetSingleClick(other->singleClick_);
    startKey_ = other->startKey_;
    OnStartClick = other->OnStartClick;
}

bool TcxCustomHyperLinkEditProperties::IsPrefixStored() const
{
    return prefix_ != cxGetResourceString(cxSEditHyperLinkPrefix);
}

void TcxCustomHyperLinkEditProperties::DefineProperties(TFiler& filer)
{
    TcxCustomTextEditProperties::DefineProperties(filer);
    filer.DefineProperty(
        "Prefix", [this](TReader& reader) { prefix_ = reader.ReadString(); },
        [this](TWriter& writer) { writer.WriteString(prefix_); }, IsPrefixStored());
}

TClass TcxCustomHyperLinkEditProperties::GetStyleClass() { return TcxHyperLinkStyle::StaticClass(); }
TClass TcxCustomHyperLinkEditProperties::GetViewDataClass() { return TcxHyperLinkEditViewData::StaticClass(); }
TClass TcxCustomHyperLinkEditProperties::GetViewInfoClass() { return TcxHyperLinkEditViewInfo::StaticClass(); }

TcxEditSupportedOperations TcxCustomHyperLinkEditProperties::GetSupportedOperations()
{
    TcxEditSupportedOperations result = TcxCustomTextEditProperties::GetSupportedOperations();
    if (singleClick_) result.Include(esoAlwaysHotTrack);
    return result;
}

void TcxCustomHyperLinkEditProperties::SetLinkColor(TColor value)
{
    if (value == linkColor_) return;
    linkColor_ = value;
    Changed();
}

void TcxCustomHyperLinkEditProperties::SetSingleClick(bool value)
{
    if (value == singleClick_) return;
    singleClick_ = value;
    Changed();
}

std::string TcxCustomHyperLinkEditProperties::AddPrefixTo(const std::string& text)
{
    const std::string trimmed = Trim(text);
    if (prefix_.empty() || trimmed.empty()) return text;
    // A scheme of its own, in any case, needs no prefix: "https://a" stays.
    if (StartsText(prefix_, trimmed) || StartsWithScheme(trimmed)) return text;
    return prefix_ + trimmed;
}

void TcxCustomHyperLinkEditProperties::ValidateDisplayValue(Variant& displayValue, std::string& errorText,
                                                            bool& error, TcxCustomEdit* edit)
{
    if (autoComplete_) displayValue = Variant(AddPrefixTo(VarToStr(displayValue)));
    TcxCustomTextEditProperties::ValidateDisplayValue(displayValue, errorText, error, edit);
}

// ---- style, view data and view info -----------------------------------------------------------

TClass TcxHyperLinkStyle::StaticClass() { return DefineClass<TcxHyperLinkStyle, TcxEditStyle>("TcxHyperLinkStyle"); }

TColor TcxHyperLinkStyle::GetTextColor() const
{
    if (IsHolder()) return TcxEditStyle::GetTextColor();
    auto* edit = As<TcxCustomEdit>(GetContainer());
    auto* properties = edit ? As<TcxCustomHyperLinkEditProperties>(edit->ActiveProperties()) : nullptr;
    return properties ? properties->LinkColor() : clBlue;
}

TFontStyles TcxHyperLinkStyle::GetTextStyle() const
{
    TFontStyles result = TcxEditStyle::GetTextStyle();
    result.Include(fsUnderline);
    return result;
}

TClass TcxHyperLinkEditViewData::StaticClass()
{
    return DefineClass<TcxHyperLinkEditViewData, TcxCustomTextEditViewData>("TcxHyperLinkEditViewData");
}

void TcxHyperLinkEditViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                                         TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    TcxCustomTextEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    static_cast<TcxHyperLinkEditViewInfo*>(viewInfo)->HyperLinkEdit = As<TcxCustomHyperLinkEdit>(Edit);
}

TClass TcxHyperLinkEditViewInfo::StaticClass()
{
    return DefineClass<TcxHyperLinkEditViewInfo, TcxCustomTextEditViewInfo>("TcxHyperLinkEditViewInfo");
}

bool TcxHyperLinkEditViewInfo::IsHotTrack() const
{
    auto* properties = As<TcxCustomHyperLinkEditProperties>(EditProperties);
    return TcxCustomTextEditViewInfo::IsHotTrack() || (properties && properties->SingleClick());
}

bool TcxHyperLinkEditViewInfo::IsHotTrack(POINT) const { return IsHotTrack(); }

void TcxHyperLinkEditViewInfo::PrepareCanvasFont(TcxCanvas* canvas)
{
    TcxCustomTextEditViewInfo::PrepareCanvasFont(canvas);
    if (HyperLinkEdit) return;
    TFontStyles style = canvas->Font()->Style();
    style.Include(fsUnderline);
    canvas->Font()->SetStyle(style);
    auto* properties = As<TcxCustomHyperLinkEditProperties>(EditProperties);
    if (IsSelected) canvas->Font()->SetColor(TextColor);
    else if (properties) canvas->Font()->SetColor(properties->LinkColor());
}

// ---- editor ---------------------------------------------------------------------------------------

TClass TcxCustomHyperLinkEdit::StaticClass()
{
    return DefineClass<TcxCustomHyperLinkEdit, TcxCustomTextEdit>("TcxCustomHyperLinkEdit");
}

TClass TcxHyperLinkEdit::StaticClass()
{
    return DefineClass<TcxHyperLinkEdit, TcxCustomHyperLinkEdit>("TcxHyperLinkEdit", [](ClassBuilder<TcxHyperLinkEdit>& b) {
        using C = TcxHyperLinkEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxCustomHyperLinkEditProperties::GetContainerClass() { return TcxHyperLinkEdit::StaticClass(); }
TClass TcxCustomHyperLinkEdit::GetPropertiesClass() const { return TcxHyperLinkEditProperties::StaticClass(); }

bool TcxCustomHyperLinkEdit::DoOnStartClick()
{
    bool assigned = false;
    if (Properties()->OnStartClick) {
        assigned = true;
        Properties()->OnStartClick(this);
    }
    if (RepositoryItem() && ActiveProperties()->OnStartClick) {
        assigned = true;
        ActiveProperties()->OnStartClick(this);
    }
    return assigned;
}

void TcxCustomHyperLinkEdit::DoStart()
{
    if (DoOnStartClick()) return;
    const std::string text = Text();
    if (Trim(text).empty()) return;
    // Only web and mail addresses: a path or a program name opens nothing.
    const std::string address = Trim(Properties()->AddPrefixTo(text));
    if (!cxIsOpenableLink(address)) return;
    ShellExecuteA(nullptr, "OPEN", address.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void TcxCustomHyperLinkEdit::KeyDown(WORD& key, TShiftState shift)
{
    const TShortCut shortCut = ShortCut(key, shift);
    if (shortCut != 0 && shortCut == ActiveProperties()->StartKey()) {
        DoStart();
        key = 0;
        return;
    }
    TcxCustomEdit::KeyDown(key, shift);
}

bool TcxCustomHyperLinkEdit::InClientRect(int x, int y) const
{
    const RECT r = ViewInfo()->ClientRect;
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void TcxCustomHyperLinkEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxCustomTextEdit::MouseDown(button, shift, x, y);
    if (button == mbLeft && InClientRect(x, y) && !ActiveProperties()->SingleClick() && shift.Contains(ssDouble))
        DoStart();
}

void TcxCustomHyperLinkEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxCustomTextEdit::MouseUp(button, shift, x, y);
    if (button == mbLeft && InClientRect(x, y) && ActiveProperties()->SingleClick() && SelLength() == 0) DoStart();
}

void TcxCustomHyperLinkEdit::PutOnHandCursor()
{
    savedCursor_ = Cursor();
    if (InnerEdit()) InnerEdit()->GetControl()->SetCursor(crHandPoint);
    SetCursor(crHandPoint);
}

void TcxCustomHyperLinkEdit::MouseEnter(TControl* control)
{
    TcxCustomTextEdit::MouseEnter(control);
    if (ActiveProperties()->SingleClick() && Cursor() != crHandPoint) PutOnHandCursor();
}

void TcxCustomHyperLinkEdit::MouseLeave(TControl* control)
{
    TcxCustomTextEdit::MouseLeave(control);
    if (!ActiveProperties()->SingleClick()) return;
    if (InnerEdit()) InnerEdit()->GetControl()->SetCursor(savedCursor_);
    SetCursor(savedCursor_);
}

void TcxCustomHyperLinkEdit::ActivateByMouse(TShiftState shift, int x, int y, TcxCustomEditData*& editData)
{
    if (IsInplace() && ActiveProperties()->SingleClick() && Cursor() != crHandPoint) {
        PutOnHandCursor();
        ::SetCursor(Screen->Cursors(crHandPoint));
    }
    TcxCustomTextEdit::ActivateByMouse(shift, x, y, editData);
}

// In place with SingleClick the activating click must leave the selection
// empty, so that its release opens the link.
void TcxCustomHyperLinkEdit::SelectAll()
{
    if (IsInplace() && ActiveProperties()->SingleClick()) return;
    TcxCustomTextEdit::SelectAll();
}

void TcxCustomHyperLinkEdit::PropertiesChanged(TObject* sender)
{
    TcxCustomTextEdit::PropertiesChanged(sender);
    ContainerStyleChanged(Style());
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxHyperLinkEditInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxHyperLinkEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryHyperLinkItem));
}

void cxHyperLinkEditFinalize()
{
    gUnitStarts.End();
}
