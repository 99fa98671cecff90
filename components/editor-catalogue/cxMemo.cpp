#include "components/editor-catalogue/cxMemo.h"

#include <algorithm>

#include "components/editors/cxEditConsts.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/ctldefs.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/graphics/wingdi.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

constexpr int kDisplayTextLimit = 250;

// Every break of a replacement becomes CR LF: LF CR counts as two breaks,
// a lone LF or CR (text from programs that write them) as one.
std::string NormalizeBreaks(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

// ---- properties ---------------------------------------------------------------------------------

TClass TcxCustomMemoProperties::StaticClass()
{
    return DefineClass<TcxCustomMemoProperties, TcxCustomTextEditProperties>("TcxCustomMemoProperties");
}

TClass TcxMemoProperties::StaticClass()
{
    return DefineClass<TcxMemoProperties, TcxCustomMemoProperties>(
        "TcxMemoProperties", [](ClassBuilder<TcxMemoProperties>& b) {
            using P = TcxMemoProperties;
            b.Property("Alignment", &P::Alignment, &P::SetAlignment).Stored(&P::IsAlignmentStored);
            b.Property("AutoSelect", &P::AutoSelect, &P::SetAutoSelect).Default(false);
            b.Property("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
            b.Property("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("MaxLength", &P::MaxLength, &P::SetMaxLength).Stored(&P::IsMaxLengthStored);
            b.Property("OEMConvert", &P::OEMConvert, &P::SetOEMConvert).Default(false);
            b.Property("ScrollBars", &P::ScrollBars, &P::SetScrollBars).Default(ssNone);
            b.Property("WantReturns", &P::WantReturns, &P::SetWantReturns).Default(true);
            b.Property("WantTabs", &P::WantTabs, &P::SetWantTabs).Default(false);
            b.Property("WordWrap", &P::WordWrap, &P::SetWordWrap).Default(true);
        });
}

void TcxCustomMemoProperties::Construct(TPersistent* owner)
{
    TcxCustomTextEditProperties::Construct(owner);
    TcxCustomEditProperties::Alignment()->SetVert(taTopJustify);
    SetAutoSelect(false);
}

void TcxCustomMemoProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomMemoProperties>(source);
    if (!other) {
        TcxCustomTextEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomTextEditProperties::Assign(source);
    SetScrollBars(other->scrollBars_);
    SetWantReturns(other->wantReturns_);
    SetWantTabs(other->wantTabs_);
    SetWordWrap(other->wordWrap_);
}

TClass TcxCustomMemoProperties::GetViewDataClass() { return TcxCustomMemoViewData::StaticClass(); }
TClass TcxCustomMemoProperties::GetViewInfoClass() { return TcxCustomMemoViewInfo::StaticClass(); }

std::string TcxCustomMemoProperties::GetDisplayText(const Variant& editValue, bool fullText)
{
    std::string text = TcxCustomTextEditProperties::GetDisplayText(editValue, fullText);
    if (fullText) return text;
    const size_t head = TextByteOffset(text, kDisplayTextLimit);
    const size_t lineEnd = text.find_first_of("\r\n");
    if (lineEnd != std::string::npos && lineEnd < head) text.resize(lineEnd);
    else text.resize(head);
    return text;
}

TcxDataEditValueSource TcxCustomMemoProperties::GetEditValueSource(bool)
{
    IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider();
    return provider && provider->IsBlob() ? evsValue : evsText;
}

// ---- view data and view info --------------------------------------------------------------------

TClass TcxCustomMemoViewData::StaticClass()
{
    return DefineClass<TcxCustomMemoViewData, TcxCustomTextEditViewData>("TcxCustomMemoViewData");
}

unsigned TcxCustomMemoViewData::GetDrawTextFlags()
{
    auto* properties = static_cast<TcxCustomMemoProperties*>(GetProperties());
    unsigned flags = cxPreventLeftExceed | cxExpandTabs | cxEditControl;
    switch (properties->Alignment()) {
    case taCenter: flags |= taCenterX; break;
    case taRightJustify: flags |= taRight; break;
    default: break;
    }
    const TScrollStyle bars = properties->ScrollBars();
    if (properties->WordWrap() && bars != ssHorizontal && bars != ssBoth) flags |= cxWordBreak | cxCharBreak;
    return flags;
}

RECT TcxCustomMemoViewData::GetDrawTextOffset()
{
    auto* properties = static_cast<TcxCustomMemoProperties*>(GetProperties());
    return properties->Alignment() == taRightJustify ? RECT{0, 1, 2, 1} : RECT{1, 1, 1, 1};
}

TClass TcxCustomMemoViewInfo::StaticClass()
{
    return DefineClass<TcxCustomMemoViewInfo, TcxCustomTextEditViewInfo>("TcxCustomMemoViewInfo");
}

void TcxCustomMemoViewInfo::DrawText(TcxCanvas* canvas)
{
    const std::string text = Text.substr(0, Text.find('\0'));
    if (text.empty()) return;
    canvas->SetFont(Font);
    canvas->Font()->SetColor(TextColor);
    PrepareCanvasFont(canvas);
    InternalTextOut(canvas, this, text, 0, 0, MaxLineCount, SelTextColor, SelBackgroundColor, SelLength, SelStart,
                    DrawTextFlags, TextRect);
}

// ---- inner memo ---------------------------------------------------------------------------------

TClass TcxCustomInnerMemoHelper::StaticClass()
{
    return DefineClass<TcxCustomInnerMemoHelper, TObject>("TcxCustomInnerMemoHelper");
}

void TcxCustomInnerMemoHelper::SetEditValue(const Variant& value)
{
    TcxCustomMemo* editor = memo_->GetContainer();
    if (!memo_->HandleAllocated() || !editor) {
        memo_->SetText(VarToStr(value));
        return;
    }
    editor->LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([editor] { editor->LockChangeEvents(false); });
    memo_->internalTextSetting_ = true;
    quelvo::sys::ScopeGuard cleared([this] { memo_->internalTextSetting_ = false; });
    if (editor->IsInplace() && memo_->WordWrap()) memo_->Lines()->Clear();
    // The text whole: the lines would end it with a break.
    memo_->SetText(VarToStr(value));
    // Set in code: the value did not change by editing.
    editor->ChangeEventsCatcher()->OnEditValueChangedEvent = false;
}

TClass TcxCustomInnerMemo::StaticClass() { return DefineClass<TcxCustomInnerMemo, TMemo>("TcxCustomInnerMemo"); }

void TcxCustomInnerMemo::Construct(TComponent* owner)
{
    creating_ = true;
    quelvo::sys::ScopeGuard created([this] { creating_ = false; });
    TMemo::Construct(owner);
    SetTabStop(false);
    if (!ComponentState().Contains(csDesigning)) SetCursor(crIBeam);
    SetParentColor(true);
    SetParentFont(true);
    helper_.reset(CreateObject<TcxCustomInnerMemoHelper>(this));
    internalUpdating_ = false;
}

void TcxCustomInnerMemo::Destroy()
{
    helper_.reset();
    TMemo::Destroy();
}

TcxCustomMemo* TcxCustomInnerMemo::GetContainer() const { return dynamic_cast<TcxCustomMemo*>(Owner()); }
TcxContainer* TcxCustomInnerMemo::GetControlContainer() { return GetContainer(); }

void TcxCustomInnerMemo::CreateParams(TCreateParams& params)
{
    TMemo::CreateParams(params);
    params.Style &= ~static_cast<DWORD>(ES_LEFT | ES_RIGHT | ES_CENTER | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
    if (alignment_ == taRightJustify) params.Style |= ES_RIGHT;
    else if (alignment_ == taCenter) params.Style |= ES_CENTER;
    params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    params.WindowClass.style &= ~static_cast<UINT>(CS_VREDRAW);
    if (ScrollBars() == ssHorizontal || ScrollBars() == ssBoth || !WordWrap())
        params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW);
}

void TcxCustomInnerMemo::CreateHandle()
{
    if (TcxCustomMemo* container = GetContainer()) container->ClearSavedChildControlRegions();
    TMemo::CreateHandle();
}

void TcxCustomInnerMemo::CreateWnd()
{
    TMemo::CreateWnd();
    UpdateContainerScrollBars();
}

void TcxCustomInnerMemo::UpdateContainerScrollBars()
{
    if (TcxCustomMemo* container = GetContainer()) container->SetScrollBarsParameters(false);
}

void TcxCustomInnerMemo::SetAlignment(TAlignment value)
{
    TcxCustomMemo* container = GetContainer();
    if (container && container->ActiveProperties()->UseLeftAlignmentOnEditing()) value = taLeftJustify;
    if (value == alignment_) return;
    alignment_ = value;
    RecreateWnd();
}

void TcxCustomInnerMemo::SelectAll()
{
    if (HandleAllocated()) TMemo::SelectAll();
}

void TcxCustomInnerMemo::SetSelStart(int value)
{
    if (HandleAllocated()) TMemo::SetSelStart(value);
}

void TcxCustomInnerMemo::SetSelLength(int value)
{
    if (HandleAllocated()) TMemo::SetSelLength(value);
}

void TcxCustomInnerMemo::SetBounds(int left, int top, int width, int height)
{
    if (creating_ || boundsLockCount_ > 0) return;
    TcxCustomMemo* container = GetContainer();
    if (!container) return TMemo::SetBounds(left, top, width, height);
    auto alive = container->AliveToken();
    container->LockAlignControls(true);
    quelvo::sys::ScopeGuard unlock([&] {
        if (*alive) container->LockAlignControls(false);
    });
    TMemo::SetBounds(left, top, width, height);
}

void TcxCustomInnerMemo::LockBounds(bool lock)
{
    if (lock) ++boundsLockCount_;
    else if (boundsLockCount_ > 0) --boundsLockCount_;
}

void TcxCustomInnerMemo::SafelySetFocus()
{
    const bool autoSelect = AutoSelect();
    TMemo::SetAutoSelect(false);
    auto alive = AliveToken();
    quelvo::sys::ScopeGuard restore([&] {
        if (*alive) TMemo::SetAutoSelect(autoSelect);
    });
    SetFocus();
}

bool TcxCustomInnerMemo::CanFocus()
{
    TcxCustomMemo* container = GetContainer();
    return container ? container->CanFocusEx() : TMemo::CanFocus();
}

TPopupMenu* TcxCustomInnerMemo::GetPopupMenu()
{
    if (TPopupMenu* menu = TMemo::GetPopupMenu()) return menu;
    TcxCustomMemo* container = GetContainer();
    return container ? container->GetPopupMenu() : nullptr;
}

void TcxCustomInnerMemo::DoEnter()
{
    TMemo::DoEnter();
    if (AutoSelect()) SelectAll();
}

// ---- inner memo: keys ---------------------------------------------------------------------------

template <class Key, class Handler>
void TcxCustomInnerMemo::ForwardKey(Key& key, Handler&& handler)
{
    internalUpdating_ = false;
    TcxCustomMemo* container = GetContainer();
    if (!container || key == 0) return;
    auto alive = AliveToken();
    try {
        handler(container);
    } catch (...) {
        if (*alive) internalUpdating_ = true;
        throw;
    }
    if (*alive && key == 0) internalUpdating_ = true;
}

void TcxCustomInnerMemo::KeyDown(WORD& key, TShiftState shift)
{
    swallowBreakChar_ = false;
    auto alive = AliveToken();
    ForwardKey(key, [&](TcxCustomMemo* container) { container->KeyDown(key, shift); });
    if (*alive && key != 0) TMemo::KeyDown(key, shift);
    if (*alive) UpdateContainerScrollBars();
}

void TcxCustomInnerMemo::KeyPress(char& key)
{
    if (swallowBreakChar_ && (key == '\r' || key == '\n')) {
        swallowBreakChar_ = false;
        key = 0;
        return;
    }
    auto alive = AliveToken();
    TcxCustomMemo* container = GetContainer();
    if (key == '\t' && container && !container->ActiveProperties()->WantTabs()) key = 0;
    ForwardKey(key, [&](TcxCustomMemo* c) { c->KeyPress(key); });
    if (*alive && key != 0) TMemo::KeyPress(key);
}

void TcxCustomInnerMemo::KeyUp(WORD& key, TShiftState shift)
{
    auto alive = AliveToken();
    TcxCustomMemo* container = GetContainer();
    if (key == VK_TAB && container && !container->ActiveProperties()->WantTabs()) key = 0;
    ForwardKey(key, [&](TcxCustomMemo* c) { c->KeyUp(key, shift); });
    if (*alive && key != 0) TMemo::KeyUp(key, shift);
}

void TcxCustomInnerMemo::WMKeyDown(TMessage& m)
{
    TcxCustomMemo* container = GetContainer();
    WORD key = static_cast<WORD>(m.WParam);
    const TShiftState shift = KeyDataToShiftState(m.LParam);
    TcxCustomInnerTextEditPrevState state;
    SaveTextEditState(this, true, state);
    internalUpdating_ = false;
    auto alive = AliveToken();
    TMemo::Dispatch(m);
    if (!*alive) return;
    UpdateContainerScrollBars();
    if (!container || internalUpdating_ || CheckTextEditState(this, state) || key == 0 || key == VK_UP ||
        key == VK_DOWN)
        return;
    container->DoAfterKeyDown(key, shift);
}

// The editor sees Tab unless Ctrl is held and decides itself whether it
// is typed.
void TcxCustomInnerMemo::WMGetDlgCode(TMessage& m)
{
    TMemo::Dispatch(m);
    if (GetKeyState(VK_CONTROL) >= 0) m.Result |= DLGC_WANTTAB;
}

// ---- inner memo: clipboard and text -------------------------------------------------------------

void TcxCustomInnerMemo::WMClear(TMessage& m)
{
    TcxCustomMemo* container = GetContainer();
    if (!container || container->clearing_) return TMemo::Dispatch(m);
    if (ReadOnly()) return;
    const bool userChange = container->IsUserChange();
    container->SetUserChange(true);
    quelvo::sys::ScopeGuard restore([container, userChange] { container->SetUserChange(userChange); });
    container->ClearSelection();
}

void TcxCustomInnerMemo::WMClipboard(TMessage& m)
{
    TcxCustomMemo* container = GetContainer();
    if (!container) return TMemo::Dispatch(m);
    if (m.Msg == WM_PASTE && ReadOnly()) return;
    auto alive = container->AliveToken();
    const bool userChange = container->IsUserChange();
    container->SetUserChange(true);
    quelvo::sys::ScopeGuard restore([&] {
        if (*alive) container->SetUserChange(userChange);
    });
    if (m.Msg == WM_PASTE) return container->PasteFromClipboard();
    if (ReadOnly()) return container->CopyToClipboard();
    container->CutToClipboard();
}

void TcxCustomInnerMemo::EMReplaceSel(TMessage& m)
{
    const char* text = reinterpret_cast<const char*>(m.LParam);
    if (!text) return TMemo::Dispatch(m);
    const std::string normalized = NormalizeBreaks(text);
    const LPARAM original = m.LParam;
    m.LParam = reinterpret_cast<LPARAM>(normalized.c_str());
    quelvo::sys::ScopeGuard restore([&m, original] { m.LParam = original; });
    auto alive = AliveToken();
    TMemo::Dispatch(m);
    TcxCustomMemo* container = *alive ? GetContainer() : nullptr;
    if (container) container->SynchronizeEditValue();
}

void TcxCustomInnerMemo::WMSetText(TMessage& m)
{
    auto alive = AliveToken();
    TMemo::Dispatch(m);
    TcxCustomMemo* container = *alive ? GetContainer() : nullptr;
    if (!container || internalTextSetting_) return;
    internalTextSetting_ = true;
    quelvo::sys::ScopeGuard cleared([this] { internalTextSetting_ = false; });
    container->SetInternalEditValue(Variant(Text()));
}

void TcxCustomInnerMemo::WMSetFont(TMessage& m)
{
    TMemo::Dispatch(m);
    TcxCustomMemo* container = GetContainer();
    if (container && container->IsInplace() && HandleAllocated())
        SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

// ---- inner memo: focus, painting, mouse ---------------------------------------------------------

void TcxCustomInnerMemo::WMFocus(TMessage& m)
{
    auto alive = AliveToken();
    TMemo::Dispatch(m);
    TcxCustomMemo* container = *alive ? GetContainer() : nullptr;
    if (!container || ComponentState().Contains(csDestroying) || container->GetIsDestroying()) return;
    const HWND from = reinterpret_cast<HWND>(m.WParam);
    if (m.Msg == WM_SETFOCUS && container->HandleAllocated() && from == container->Handle()) return;
    container->FocusChanged();
}

void TcxCustomInnerMemo::WMWindowPos(TMessage& m)
{
    auto alive = AliveToken();
    TMemo::Dispatch(m);
    if (*alive) UpdateContainerScrollBars();
}

// The container draws the scroll bars: the window's own are left out of
// its frame painting, and the corner between them is filled.
void TcxCustomInnerMemo::WMNCPaint(TMessage& m)
{
    TcxCustomMemo* container = GetContainer();
    if (!container || !UsecxScrollBars() || !HandleAllocated()) return TMemo::Dispatch(m);
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    const LONG bars = style & (WS_HSCROLL | WS_VSCROLL);
    SetWindowLongA(Handle(), GWL_STYLE, style & ~bars);
    quelvo::sys::ScopeGuard restore([this, bars] {
        SetWindowLongA(Handle(), GWL_STYLE, GetWindowLongA(Handle(), GWL_STYLE) | bars);
    });
    TMemo::Dispatch(m);
    if ((bars & (WS_HSCROLL | WS_VSCROLL)) != (WS_HSCROLL | WS_VSCROLL) || !GetScrollBarInfoProc) return;
    SCROLLBARINFO h{}, v{};
    h.cbSize = v.cbSize = sizeof(SCROLLBARINFO);
    if (!GetScrollBarInfoProc(Handle(), OBJID_HSCROLL, &h) || !GetScrollBarInfoProc(Handle(), OBJID_VSCROLL, &v)) return;
    if ((h.rgstate[0] | v.rgstate[0]) & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) return;
    RECT window{};
    GetWindowRect(Handle(), &window);
    RECT corner{v.rcScrollBar.left, h.rcScrollBar.top, v.rcScrollBar.right, h.rcScrollBar.bottom};
    OffsetRect(&corner, -window.left, -window.top);
    HDC dc = GetWindowDC(Handle());
    quelvo::sys::ScopeGuard release([this, dc] { ReleaseDC(Handle(), dc); });
    HBRUSH brush = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &corner, brush);
}

void TcxCustomInnerMemo::CMMouseLeave(TMessage& m)
{
    auto alive = AliveToken();
    TMemo::Dispatch(m);
    if (!*alive) return;
    if (TcxCustomMemo* container = GetContainer()) container->ShortRefreshContainer(false);
}

void TcxCustomInnerMemo::WndProc(TMessage& m)
{
    TcxCustomMemo* container = GetContainer();
    if (container && container->InnerControlMenuHandler(m)) return;
    if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && container &&
        container->DragMode() == dmAutomatic && !container->IsDesigning())
        return container->BeginDrag(false, -1);
    TMemo::WndProc(m);
}

void TcxCustomInnerMemo::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_CLEAR: return WMClear(m);
    case WM_CUT:
    case WM_PASTE: return WMClipboard(m);
    case WM_GETDLGCODE: return WMGetDlgCode(m);
    case WM_KEYDOWN: return WMKeyDown(m);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return WMFocus(m);
    case WM_NCPAINT: return WMNCPaint(m);
    case WM_SETFONT: return WMSetFont(m);
    case WM_SETTEXT: return WMSetText(m);
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: return WMWindowPos(m);
    case EM_REPLACESEL: return EMReplaceSel(m);
    case CM_MOUSELEAVE: return CMMouseLeave(m);
    default: return TMemo::Dispatch(m);
    }
}

void TcxCustomInnerMemo::DefaultHandler(TMessage& m)
{
    TcxCustomMemo* container = GetContainer();
    if (container && container->InnerControlDefaultHandler(m)) return;
    TMemo::DefaultHandler(m);
}

void TcxCustomInnerMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TMemo::MouseDown(button, shift, x, y);
    TcxCustomMemo* container = *alive ? GetContainer() : nullptr;
    if (!container) return;
    auto containerAlive = container->AliveToken();
    container->SetInnerControlMouseDown(true);
    quelvo::sys::ScopeGuard clear([&] {
        if (*containerAlive) container->SetInnerControlMouseDown(false);
    });
    container->MouseDown(button, shift, x + Left(), y + Top());
}

void TcxCustomInnerMemo::MouseMove(TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TMemo::MouseMove(shift, x, y);
    if (TcxCustomMemo* container = *alive ? GetContainer() : nullptr) container->MouseMove(shift, x + Left(), y + Top());
}

void TcxCustomInnerMemo::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TMemo::MouseUp(button, shift, x, y);
    if (TcxCustomMemo* container = *alive ? GetContainer() : nullptr)
        container->MouseUp(button, shift, x + Left(), y + Top());
}

void TcxCustomInnerMemo::DragOver(TObject* source, int x, int y, TDragState state, bool& accept)
{
    TcxCustomMemo* container = GetContainer();
    if (!container) return TMemo::DragOver(source, x, y, state, accept);
    container->DragOver(source, x + Left(), y + Top(), state, accept);
}

void TcxCustomInnerMemo::DragDrop(TObject* source, int x, int y)
{
    TcxCustomMemo* container = GetContainer();
    if (!container) return TMemo::DragDrop(source, x, y);
    container->DragDrop(source, x + Left(), y + Top());
}

void TcxCustomInnerMemo::Click()
{
    auto alive = AliveToken();
    TMemo::Click();
    if (TcxCustomMemo* container = *alive ? GetContainer() : nullptr) container->Click();
}

void TcxCustomInnerMemo::DblClick()
{
    auto alive = AliveToken();
    TMemo::DblClick();
    if (TcxCustomMemo* container = *alive ? GetContainer() : nullptr) container->DblClick();
}

// ---- editor -------------------------------------------------------------------------------------

TClass TcxCustomMemo::StaticClass() { return DefineClass<TcxCustomMemo, TcxCustomTextEdit>("TcxCustomMemo"); }

TClass TcxMemo::StaticClass()
{
    return DefineClass<TcxMemo, TcxCustomMemo>("TcxMemo", [](ClassBuilder<TcxMemo>& b) {
        using C = TcxMemo;
        b.Property("Lines", &C::Lines, &C::SetLines);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxCustomMemoProperties::GetContainerClass() { return TcxMemo::StaticClass(); }
TClass TcxCustomMemo::GetPropertiesClass() const { return TcxMemoProperties::StaticClass(); }
TClass TcxCustomMemo::GetInnerEditClass() const { return TcxCustomInnerMemo::StaticClass(); }

void TcxCustomMemo::Construct(TComponent* owner)
{
    constructing_ = true;
    quelvo::sys::ScopeGuard constructed([this] { constructing_ = false; });
    TcxCustomTextEdit::Construct(owner);
    SetAutoSize(false);
    SetBounds(Left(), Top(), 185, 89);
}

TStrings* TcxCustomMemo::Lines() const { return InnerMemo()->Lines(); }
void TcxCustomMemo::SetLines(TStrings* value) { InnerMemo()->Lines()->Assign(value); }

POINT TcxCustomMemo::CaretPos() const { return InnerMemo()->CaretPos(); }
void TcxCustomMemo::SetCaretPos(POINT value) { InnerMemo()->SetCaretPos(value); }

void TcxCustomMemo::ReadState(TReader& reader)
{
    TcxCustomTextEdit::ReadState(reader);
    if (Lines()->Count() == 0) return;
    Variant value;
    PrepareEditValue(Variant(Lines()->Text()), value, InternalFocused());
    StoreEditValue(value);
}

void TcxCustomMemo::CreateParams(TCreateParams& params)
{
    TcxCustomTextEdit::CreateParams(params);
    params.WindowClass.style &= ~static_cast<UINT>(CS_VREDRAW);
    const TScrollStyle bars = ActiveProperties()->ScrollBars();
    if (bars == ssHorizontal || bars == ssBoth || !ActiveProperties()->WordWrap())
        params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW);
}

void TcxCustomMemo::PropertiesChanged(TObject* sender)
{
    TcxCustomInnerMemo* memo = InnerMemo();
    if (memo && !PropertiesChangeLocked()) {
        TcxCustomMemoProperties* properties = ActiveProperties();
        if (properties->ScrollBars() != memo->ScrollBars()) {
            memo->SetScrollBars(properties->ScrollBars());
            if (HandleAllocated()) RecreateWnd();
            if (memo->HandleAllocated()) memo->RecreateWnd();
        }
        memo->SetWantReturns(properties->WantReturns());
        memo->SetWantTabs(properties->WantTabs());
        memo->SetWordWrap(properties->WordWrap());
    }
    TcxCustomTextEdit::PropertiesChanged(sender);
}

void TcxCustomMemo::AdjustInnerEditPosition()
{
    TcxCustomInnerMemo* memo = InnerMemo();
    if (positioningMemo_ || !memo) return;
    positioningMemo_ = true;
    quelvo::sys::ScopeGuard done([this] { positioningMemo_ = false; });
    RECT wanted = ViewInfo()->ClientRect;
    InflateRect(&wanted, -1, -1);
    const RECT current = memo->BoundsRect();
    if (!EqualRect(&current, &wanted))
        memo->SetBounds(wanted.left, wanted.top, wanted.right - wanted.left, wanted.bottom - wanted.top);
    AlignControls(memo, ViewInfo()->ClientRect);
}

void TcxCustomMemo::AdjustInnerEdit()
{
    TcxCustomInnerMemo* memo = InnerMemo();
    if (!memo || constructing_) return;
    memo->LockBounds(true);
    quelvo::sys::ScopeGuard unlock([memo] { memo->LockBounds(false); });
    memo->SetColor(ViewInfo()->BackgroundColor());
    memo->SetFont(GetActiveStyle()->GetVisibleFont());
    memo->Font()->SetColor(ViewInfo()->TextColor);
}

void TcxCustomMemo::SetSize()
{
    TcxCustomTextEdit::SetSize();
    AdjustInnerEditPosition();
}

void TcxCustomMemo::InitializeViewData(TcxCustomEditViewData* viewData)
{
    TcxCustomTextEdit::InitializeViewData(viewData);
    viewData->HScrollBarVisible = false;
    viewData->VScrollBarVisible = false;
}

void TcxCustomMemo::FontChanged()
{
    TcxCustomTextEdit::FontChanged();
    SetScrollBarsParameters(false);
}

// ---- editor: keys -------------------------------------------------------------------------------

bool TcxCustomMemo::CanKeyDownModifyEdit(WORD key, TShiftState shift)
{
    if (TcxCustomTextEdit::CanKeyDownModifyEdit(key, shift)) return true;
    if (key == VK_RETURN) return ActiveProperties()->WantReturns() || shift.Contains(ssCtrl);
    return key == VK_TAB && ActiveProperties()->WantTabs();
}

bool TcxCustomMemo::IsMemoNavigationKey(WORD key, TShiftState shift)
{
    switch (key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: return shift.Empty();
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END: return true;
    default: return false;
    }
}

// In a cell Enter is typed when the memo wants it without Ctrl, or does
// not want it and Ctrl is held; otherwise the cell's handling gets it.
void TcxCustomMemo::KeyDown(WORD& key, TShiftState shift)
{
    if (IsInplace() && key == VK_RETURN && shift.Contains(ssCtrl) != ActiveProperties()->WantReturns()) {
        DoEditKeyDown(key, shift);
        if (key == 0) return;
        // Typed here, with or without Ctrl; its character is not typed again.
        const bool userChange = IsUserChange();
        SetUserChange(true);
        quelvo::sys::ScopeGuard restore([this, userChange] { SetUserChange(userChange); });
        SetSelText("\r\n");
        InnerMemo()->swallowBreakChar_ = true;
        key = 0;
        return;
    }
    TcxCustomTextEdit::KeyDown(key, shift);
}

void TcxCustomMemo::DoEditKeyDown(WORD& key, TShiftState shift)
{
    // The lines are the memo's to move through; the one-line editor would
    // hand these keys on.
    if (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT) return;
    if (key == VK_RETURN && IsInplace()) return;
    TcxCustomTextEdit::DoEditKeyDown(key, shift);
    if (key == 'A' && shift.Contains(ssCtrl) && !shift.Contains(ssShift) && !shift.Contains(ssAlt) &&
        Lines()->Count() > 0) {
        SelectAll();
        DoAfterKeyDown(key, shift);
        key = 0;
    }
}

// ---- editor: editing ----------------------------------------------------------------------------

void TcxCustomMemo::InternalSynchronizeEditValue()
{
    if (IsUserChange()) return;
    ResetOnNewDisplayValue();
    SynchronizeEditValue();
    SetModified(false);
}

void TcxCustomMemo::ClearSelection()
{
    if (GetSelLength() == 0 || (IsUserChange() && !DoEditing())) return;
    clearing_ = true;
    {
        quelvo::sys::ScopeGuard done([this] { clearing_ = false; });
        InnerMemo()->TMemo::ClearSelection();
    }
    InternalSynchronizeEditValue();
}

void TcxCustomMemo::CutToClipboard()
{
    if (GetSelLength() == 0) return;
    InnerMemo()->TMemo::CopyToClipboard();
    ClearSelection();
}

void TcxCustomMemo::SetSelText(const std::string& value)
{
    std::string text = value;
    const int maxLength = ActiveProperties()->GetMaxLength();
    if (IsUserChange() && maxLength > 0) {
        const int room = maxLength - (TextCharCount(Text()) - GetSelLength());
        if (room <= 0) return;
        text.resize(TextByteOffset(text, room));
    }
    if (text.empty() || (IsUserChange() && !DoEditing())) return;
    InnerMemo()->TMemo::SetSelText(text);
    InternalSynchronizeEditValue();
}

void TcxCustomMemo::ChangeHandler(TObject* sender)
{
    TcxCustomTextEdit::ChangeHandler(sender);
    UpdateScrollBarsParameters();
}

// ---- editor: scroll bars and messages -----------------------------------------------------------

void TcxCustomMemo::UpdateScrollBarsParameters()
{
    if (GetIsDestroying() || !InnerMemo() || !HandleAllocated()) return;
    PostMessageA(Handle(), CM_UPDATESCROLLBARS, 0, 0);
}

void TcxCustomMemo::Scroll(TScrollBarKind kind, TScrollCode code, int& position)
{
    TcxControl::Scroll(kind, code, position);
    TcxCustomInnerMemo* memo = InnerMemo();
    if (!memo || !memo->HandleAllocated()) return;
    HWND window = memo->Handle();
    if (kind == sbVertical && (code == scLineUp || code == scLineDown)) {
        SendMessageA(window, EM_LINESCROLL, 0, code == scLineUp ? -1 : 1);
    } else {
        const HWND bar = nullptr;
        SendMessageA(window, kind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, position),
                     reinterpret_cast<LPARAM>(bar));
    }
    position = GetScrollPos(window, kind == sbHorizontal ? SB_HORZ : SB_VERT);
    SetScrollBarsParameters(false);
}

void TcxCustomMemo::WMCommand(TMessage& m)
{
    TcxCustomTextEdit::Dispatch(m);
    const WORD code = HIWORD(m.WParam);
    TcxCustomInnerMemo* memo = InnerMemo();
    if (memo && memo->HandleAllocated() && reinterpret_cast<HWND>(m.LParam) == memo->Handle() &&
        (code == EN_HSCROLL || code == EN_VSCROLL))
        SetScrollBarsParameters(false);
}

void TcxCustomMemo::WndProc(TMessage& m)
{
    TcxCustomTextEdit::WndProc(m);
    if (m.Msg == WM_WINDOWPOSCHANGED || m.Msg == WM_NCCALCSIZE || m.Msg == CM_WININICHANGE)
        UpdateScrollBarsParameters();
}

void TcxCustomMemo::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_COMMAND: return WMCommand(m);
    case CM_UPDATESCROLLBARS: return SetScrollBarsParameters(false);
    default: return TcxCustomTextEdit::Dispatch(m);
    }
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxMemoInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxMemoProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryMemoItem));
}

void cxMemoFinalize()
{
    gUnitStarts.End();
}
