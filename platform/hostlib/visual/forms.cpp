#include "platform/hostlib/visual/forms.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/controls/winctl.h"
#include "platform/hostlib/visual/dragdrop.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/hostlib/visual/property_set.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/display.h"
#include "platform/windows/winuser.h"

#include <unistd.h>

namespace hostlib {

namespace {
constexpr const char* kSystemMenuProp = "hostlib.sysmenu";
}

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
TMouse* Mouse = nullptr;

void RegisterVisualClasses()
{
    RegisterClasses({TForm::StaticClass(), TTimer::StaticClass(), TPopupMenu::StaticClass(), TMenuItem::StaticClass(),
                     TImageList::StaticClass(), TFont::StaticClass(), TBrush::StaticClass(), TPen::StaticClass(),
                     TSizeConstraints::StaticClass()});
}

void InitVisualLibrary()
{
    RegisterVisualClasses();
    if (!Mouse) Mouse = CreateObject<TMouse>();
    if (!Screen) Screen = CreateObject<TScreen>(nullptr);
    if (!Application) Application = CreateObject<TApplication>(nullptr);
}

void DoneVisualLibrary()
{
    if (Application) {
        Application->Free();
        Application = nullptr;
    }
    if (Screen) {
        Screen->Free();
        Screen = nullptr;
    }
    if (Mouse) {
        Mouse->Free();
        Mouse = nullptr;
    }
}

TControl* FindControlByName(TWinControl* parent, const std::string& name)
{
    if (!parent) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (strcasecmp(c->Name().c_str(), name.c_str()) == 0) return c;
        if (auto* w = As<TWinControl>(c))
            if (TControl* found = FindControlByName(w, name)) return found;
    }
    return nullptr;
}

namespace {
TControl* NamedControl(TWinControl* form, const std::string& name)
{
    TControl* c = FindControlByName(form, name);
    if (!c) throw EComponentError("No control named " + name);
    return c;
}
}  // namespace

void ClickControl(TWinControl* form, const std::string& name)
{
    TControl* c = NamedControl(form, name);
    const POINT p = c->ClientToScreen(POINT{c->Width() / 2, c->Height() / 2});
    quelvo::win::Headless().Click(p);
    if (Application) Application->ProcessMessages();
}

void TypeIntoControl(TWinControl* form, const std::string& name, const std::string& text)
{
    auto* c = As<TWinControl>(NamedControl(form, name));
    if (!c) throw EComponentError(name + " cannot take typing");
    c->SetFocus();
    if (Application) Application->ProcessMessages();
    quelvo::win::Headless().TypeText(text);
    if (Application) Application->ProcessMessages();
}

const TEnumInfo& EnumTypeInfo(TScrollBarKind*)
{
    static const TEnumInfo info{"TScrollBarKind", {"sbHorizontal", "sbVertical"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TFormBorderStyle*)
{
    static const TEnumInfo info{
        "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TBorderIcon*)
{
    static const TEnumInfo info{"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TFormStyle*)
{
    static const TEnumInfo info{"TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TPosition*)
{
    static const TEnumInfo info{"TPosition",
                                {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                                 "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                                0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TWindowState*)
{
    static const TEnumInfo info{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}, 0};
    return info;
}

// ---- TCustomForm ------------------------------------------------------------------

TClass TCustomForm::StaticClass()
{
    return DefineClass<TCustomForm, TWinControl>("TCustomForm", [](ClassBuilder<TCustomForm>& b) {
        b.Property("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
            .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
        b.Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
        b.Property("ClientWidth", [](const TCustomForm& f) { return const_cast<TCustomForm&>(f).ClientWidth(); },
                   &TCustomForm::SetClientWidth)
            .Stored(false);
        b.Property("ClientHeight", [](const TCustomForm& f) { return const_cast<TCustomForm&>(f).ClientHeight(); },
                   &TCustomForm::SetClientHeight)
            .Stored(false);
        b.Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
        b.Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
        b.Property("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch).Stored(false);
        b.Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
        b.Property("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(true);
        b.Property("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight).Stored(false);
        b.Property("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
        b.EventProperty("OnActivate", &TCustomForm::OnActivate);
        b.EventProperty("OnClose", &TCustomForm::OnClose);
        b.EventProperty("OnCloseQuery", &TCustomForm::OnCloseQuery);
        b.EventProperty("OnCreate", &TCustomForm::OnCreate);
        b.EventProperty("OnDeactivate", &TCustomForm::OnDeactivate);
        b.EventProperty("OnDestroy", &TCustomForm::OnDestroy);
        b.EventProperty("OnHide", &TCustomForm::OnHide);
        b.EventProperty("OnPaint", &TCustomForm::OnPaint);
        b.EventProperty("OnShow", &TCustomForm::OnShow);
    });
}

void TCustomForm::Construct(TComponent* owner)
{
    formState_.Include(fsCreating);
    TWinControl::Construct(owner);
    InitVisible(false);
    controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetParentColor(false);
    SetParentFont(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    canvas_.reset(CreateObject<TControlCanvas>());
    canvas_->SetControl(this);
    if (Screen) Screen->AddForm(this);
}

void TCustomForm::PaintWindow(HDC dc)
{
    canvas_->PaintOn(dc, [this] { Paint(); });
}

void TCustomForm::AfterConstruction()
{
    TWinControl::AfterConstruction();
    formState_.Exclude(fsCreating);
    OnCreate(this);
}

void TCustomForm::BeforeDestruction()
{
    TWinControl::BeforeDestruction();
    OnDestroy(this);
}

void TCustomForm::DestroyWnd()
{
    if (HandleAllocated())
        if (auto menu = static_cast<HMENU>(RemovePropA(Handle(), kSystemMenuProp))) DestroyMenu(menu);
    TWinControl::DestroyWnd();
}

void TCustomForm::Destroy()
{
    if (Screen) Screen->RemoveForm(this);
    if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
    activeControl_ = nullptr;
    focusedControl_ = nullptr;
    canvas_.reset();
    TWinControl::Destroy();
}

TClass TForm::StaticClass() { return DefineClass<TForm, TCustomForm>("TForm"); }

void TCustomForm::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    p.ExStyle = 0;
    if (Parent()) {
        p.Style |= WS_CHILD;
        if (!Enabled()) p.Style |= WS_DISABLED;
        return;
    }
    p.WndParent = nullptr;
    switch (borderStyle_) {
    case bsNone: p.Style |= WS_POPUP; break;
    case bsSingle: p.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        p.Style |= WS_POPUP | WS_CAPTION;
        p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        p.Style |= WS_CAPTION | WS_BORDER;
        p.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        p.Style |= WS_CAPTION | WS_THICKFRAME;
        p.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) {
        p.Style |= WS_SYSMENU;
        if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
            if (borderIcons_.Contains(biMinimize)) p.Style |= WS_MINIMIZEBOX;
            if (borderIcons_.Contains(biMaximize)) p.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (!Enabled()) p.Style |= WS_DISABLED;
    if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateWnd() { TWinControl::CreateWnd(); }

RECT TCustomForm::ClientRect()
{
    if (HandleAllocated()) return TWinControl::ClientRect();
    TCreateParams p;
    CreateParams(p);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, p.Style, FALSE, p.ExStyle);
    return RECT{0, 0, std::max<LONG>(0, Width() - (frame.right - frame.left)),
                std::max<LONG>(0, Height() - (frame.bottom - frame.top))};
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value)
{
    SetIfChanged(borderStyle_, value, [this] { RecreateWnd(); });
}

void TCustomForm::SetBorderIcons(TBorderIcons value)
{
    SetIfChanged(borderIcons_, value, [this] { RecreateWnd(); });
}

void TCustomForm::SetFormStyle(TFormStyle value)
{
    if (value == fsMDIChild || value == fsMDIForm) value = fsNormal;
    if (formStyle_ == value) return;
    formStyle_ = value;
    if (HandleAllocated())
        SetWindowPos(Handle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState value)
{
    windowState_ = value;
    if (HandleAllocated() && Visible())
        ShowWindow(Handle(), value == wsMinimized ? SW_MINIMIZE : value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

bool TCustomForm::Showing() const { return formState_.Contains(fsShowing); }

void TCustomForm::Show()
{
    SetVisible(true);
    if (HandleAllocated()) BringWindowToTop(Handle());
}

void TCustomForm::SetVisible(bool value) { TWinControl::SetVisible(value); }

void TCustomForm::SetParent(TWinControl* parent)
{
    if (parent == Parent()) return;
    TWinControl::SetParent(parent);
    if (IsDestroying() || !Visible()) return;
    // The window is made anew, as a child or as a top-level window.
    formState_.Exclude(fsShowing);
    UpdateShowing();
}

void TCustomForm::PlaceOnShow()
{
    if (placed_) return;
    placed_ = true;
    RECT area = Screen ? Screen->WorkAreaRect() : RECT{0, 0, 1024, 768};
    RECT around = area;
    TCustomForm* other = nullptr;
    if (position_ == poMainFormCenter && Application) other = Application->MainForm();
    if (position_ == poOwnerFormCenter) other = As<TCustomForm>(Owner());
    if (other == this) other = nullptr;
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter: break;
    case poMainFormCenter:
    case poOwnerFormCenter:
        if (other) around = other->BoundsRect();
        break;
    default: return;
    }
    const int x = around.left + ((around.right - around.left) - Width()) / 2;
    const int y = around.top + ((around.bottom - around.top) - Height()) / 2;
    SetBounds(std::max<int>(area.left, x), std::max<int>(area.top, y), Width(), Height());
}

void TCustomForm::UpdateShowing()
{
    const bool show = Visible() && (!Parent() || Parent()->Showing());
    if (show == formState_.Contains(fsShowing)) return;
    auto alive = AliveToken();
    if (show) {
        HandleNeeded();
        if (!Parent()) PlaceOnShow();
        if (!activeControl_) {
            if (TWinControl* first = FindNextControl(nullptr, true, true, false)) activeControl_ = first;
        }
        DoShow();
        if (!*alive || !Visible()) return;
        formState_.Include(fsShowing);
        for (int i = 0; i < ControlCount(); ++i)
            if (auto* w = As<TWinControl>(Controls(i))) w->UpdateShowing();
        const int cmd = Parent()                      ? SW_SHOWNOACTIVATE
                        : windowState_ == wsMaximized ? SW_SHOWMAXIMIZED
                        : windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                                                      : SW_SHOW;
        ShowWindow(Handle(), cmd);
    } else {
        formState_.Exclude(fsShowing);
        DoHide();
        if (!*alive) return;
        if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
        for (int i = 0; i < ControlCount(); ++i)
            if (auto* w = As<TWinControl>(Controls(i))) w->UpdateShowing();
    }
    Perform(CM_SHOWINGCHANGED);
}

void TCustomForm::Close()
{
    if (formState_.Contains(fsModal)) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    auto alive = AliveToken();
    DoClose(action);
    if (!*alive || action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) { OnClose(this, action); }

void TCustomForm::Release()
{
    if (releasePosted_) return;
    releasePosted_ = true;
    PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CloseModal()
{
    TCloseAction action = caNone;
    auto alive = AliveToken();
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (!*alive) return;
    switch (action) {
    case caNone: modalResult_ = mrNone; break;
    case caFree: Release(); break;
    default: break;
    }
}

TModalResult TCustomForm::ShowModal()
{
    if (Visible() || !Enabled() || formState_.Contains(fsModal))
        throw EInvalidOperation("Cannot make a visible window modal");
    if (!Application) throw EInvalidOperation("No application object");
    if (HWND capture = GetCapture()) {
        SendMessageA(capture, WM_CANCELMODE, 0, 0);
        ReleaseCapture();
    }
    formState_.Include(fsModal);
    std::vector<HWND> disabled;
    if (Screen) {
        for (int i = 0; i < Screen->FormCount(); ++i) {
            TCustomForm* f = Screen->Forms(i);
            if (f == this || !f->HandleAllocated()) continue;
            HWND h = f->Handle();
            if (IsWindowEnabled(h)) {
                EnableWindow(h, FALSE);
                disabled.push_back(h);
            }
        }
    }
    auto alive = AliveToken();
    TModalResult result = mrCancel;
    {
        quelvo::sys::ScopeGuard leave([&] {
            for (HWND h : disabled)
                if (IsWindow(h)) EnableWindow(h, TRUE);
            if (*alive) formState_.Exclude(fsModal);
        });
        modalResult_ = mrNone;
        Show();
        while (*alive && modalResult_ == mrNone) {
            Application->HandleMessage();
            if (!*alive) break;
            if (Application->Terminated()) modalResult_ = mrCancel;
            else if (modalResult_ != mrNone) CloseModal();
        }
        if (*alive) result = modalResult_;
    }
    if (*alive) Hide();
    return result;
}

void TCustomForm::SetActiveControl(TWinControl* control)
{
    if (activeControl_ == control) return;
    if (control && (control == this || GetParentForm(control) != this || !control->CanFocus()))
        throw EInvalidOperation("Invalid activation of a control that cannot take the focus");
    activeControl_ = control;
    if (active_ && control) control->SetFocus();
}

void TCustomForm::FocusControl(TWinControl* control)
{
    if (!control->CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    activeControl_ = control;
    if (!Visible()) return;
    if (!active_ && HandleAllocated()) SetActiveWindow(Handle());
    ::SetFocus(control->Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* control)
{
    if (control == this) control = nullptr;
    if (Screen) {
        Screen->SetActiveForm(this);
        Screen->SetActiveControl(control);
    }
    activeControl_ = control;
    TWinControl* old = focusedControl_;
    if (old == control) return true;
    focusedControl_ = control;
    TWinControl* common = control ? control : this;
    while (common && common != this && !common->ContainsControl(old)) common = common->Parent();
    if (!common) common = this;
    for (TWinControl* c = old; c && c != common && c != this; c = c->Parent()) {
        c->Perform(CM_EXIT);
        if (focusedControl_ != control) return false;
    }
    std::vector<TWinControl*> path;
    for (TWinControl* c = control; c && c != common && c != this; c = c->Parent()) path.push_back(c);
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        (*it)->Perform(CM_ENTER);
        if (focusedControl_ != control) return false;
    }
    // Buttons move the default look after the focus.
    BroadcastAll(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
    return true;
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing)
{
    if (control == this) return;
    if (activeControl_ && control->ContainsControl(activeControl_)) activeControl_ = nullptr;
    if (removing && focusedControl_ && control->ContainsControl(focusedControl_)) {
        TWinControl* parent = control->Parent();
        focusedControl_ = parent == this ? nullptr : parent;
    }
    if (removing && Screen && Screen->ActiveControl() && control->ContainsControl(Screen->ActiveControl()))
        Screen->SetActiveControl(nullptr);
}

void TCustomForm::SendCancelMode(TControl* sender)
{
    if (activeControl_ && activeControl_ != sender) activeControl_->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
    if (TControl* capture = GetCaptureControl(); capture && capture != sender && GetParentForm(capture) == this)
        capture->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
}

bool TCustomForm::IsShortCut(TMessage& m)
{
    bool handled = false;
    OnShortCut(m, handled);
    return handled;
}

void TCustomForm::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    if (root == this)
        for (int i = 0; i < ComponentCount(); ++i)
            if (!Components(i)->HasParent()) proc(Components(i));
    TWinControl::GetChildren(proc, root);
}

HMENU TCustomForm::SystemMenu(bool revert)
{
    // The window layer draws no system menu of its own; the form keeps one
    // that programs may edit and that WM_SYSCOMMAND items come from.
    HWND h = Handle();
    auto menu = static_cast<HMENU>(GetPropA(h, kSystemMenuProp));
    if (menu && revert) {
        DestroyMenu(menu);
        RemovePropA(h, kSystemMenuProp);
        menu = nullptr;
    }
    if (!menu) {
        menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, SC_RESTORE, "&Restore");
        AppendMenuA(menu, MF_STRING, SC_MOVE, "&Move");
        AppendMenuA(menu, MF_STRING, SC_SIZE, "&Size");
        AppendMenuA(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
        AppendMenuA(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
        SetPropA(h, kSystemMenuProp, menu);
    }
    return menu;
}

bool TCustomForm::ShowSystemMenu()
{
    if (borderStyle_ == bsNone || !borderIcons_.Contains(biSystemMenu)) return false;
    RECT r{};
    GetWindowRect(Handle(), &r);
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(SystemMenu(), TPM_RETURNCMD | TPM_LEFTALIGN, r.left, r.top + GetSystemMetrics(SM_CYCAPTION), 0,
                       Handle(), nullptr));
    if (command) SendMessageA(Handle(), WM_SYSCOMMAND, command, 0);
    return true;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert)
{
    auto* form = As<TCustomForm>(TWinControl::FindControl(hwnd));
    return form ? form->SystemMenu(revert != FALSE) : nullptr;
}

void TCustomForm::SetWindowFocus()
{
    if (activeControl_ && activeControl_->CanFocus() && activeControl_->HandleAllocated()) ::SetFocus(activeControl_->Handle());
    else if (HandleAllocated()) ::SetFocus(Handle());
}

void TCustomForm::WMActivate(TMessage& m)
{
    const bool activating = LOWORD(m.WParam) != WA_INACTIVE;
    if (activating) {
        active_ = true;
        if (Screen) Screen->SetActiveForm(this);
        formState_.Include(fsActivated);
        auto alive = AliveToken();
        Activate();
        if (!*alive) return;
        if (!IsIconic(Handle())) SetWindowFocus();
    } else {
        active_ = false;
        Deactivate();
    }
}

void TCustomForm::CMDialogKey(TMessage& m)
{
    if (GetKeyState(VK_MENU) >= 0 && m.WParam == static_cast<WPARAM>(VK_TAB) && GetKeyState(VK_CONTROL) >= 0) {
        SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
        m.Result = 1;
        return;
    }
    TWinControl::Dispatch(m);
}

void TCustomForm::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_ACTIVATE:
        WMActivate(m);
        return;
    case WM_SETFOCUS:
        // A form on another form is one of that form's controls.
        if (Parent()) break;
        SetFocusedControl(this);
        DefaultHandler(m);
        return;
    case WM_CLOSE:
        Close();
        return;
    case CM_RELEASE:
        Free();
        return;
    case WM_SYSCOLORCHANGE:
        BroadcastAll(CM_SYSCOLORCHANGE);
        break;
    case WM_ACTIVATEAPP:
        if (Application) Application->SetActive(m.WParam != 0);
        break;
    case WM_SETTINGCHANGE:
        BroadcastAll(CM_WININICHANGE, m.WParam, m.LParam);
        break;
    case CM_DIALOGKEY:
        CMDialogKey(m);
        return;
    case WM_GETMINMAXINFO: {
        DefaultHandler(m);
        auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
        if (info && Constraints()) {
            if (Constraints()->MinWidth() > 0) info->ptMinTrackSize.x = Constraints()->MinWidth();
            if (Constraints()->MinHeight() > 0) info->ptMinTrackSize.y = Constraints()->MinHeight();
            if (Constraints()->MaxWidth() > 0) info->ptMaxTrackSize.x = Constraints()->MaxWidth();
            if (Constraints()->MaxHeight() > 0) info->ptMaxTrackSize.y = Constraints()->MaxHeight();
        }
        return;
    }
    default: break;
    }
    TWinControl::Dispatch(m);
}

// ---- THintWindow -----------------------------------------------------------------

TClass THintWindow::StaticClass() { return DefineClass<THintWindow, TCustomControl>("THintWindow"); }

void THintWindow::Construct(TComponent* owner)
{
    TCustomControl::Construct(owner);
    InitVisible(false);
    SetColor(Application ? Application->HintColor() : clInfoBk);
    if (Screen) Font()->Assign(Screen->HintFont());
    Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& p)
{
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP | WS_BORDER;
    p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    p.WndParent = nullptr;
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::string& hint)
{
    RECT r{0, 0, std::max(1, maxWidth), 0};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    DrawTextA(dc, hint.c_str(), static_cast<int>(hint.size()), &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteDC(dc);
    r.right += 6;
    r.bottom += 2;
    return r;
}

void THintWindow::ActivateHint(RECT rect, const std::string& hint)
{
    SetCaption(hint);
    SetBoundsRect(rect);
    HWND h = Handle();
    SetWindowPos(h, HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InitVisible(true);
    Invalidate();
}

void THintWindow::ReleaseHandle()
{
    InitVisible(false);
    if (HandleAllocated()) DestroyHandle();
}

void THintWindow::Paint()
{
    RECT r = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(r);
    r.left += 2;
    r.top += 1;
    Canvas()->Brush()->SetStyle(bsClear);
    std::string text = Caption();
    Canvas()->DrawText(text, r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// ---- TApplication ---------------------------------------------------------------------

TClass TApplication::StaticClass() { return DefineClass<TApplication, TComponent>("TApplication"); }

void TApplication::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    title_ = program_invocation_short_name ? program_invocation_short_name : "";
    hintWindowClass_ = THintWindow::StaticClass();
}

void TApplication::Destroy()
{
    CancelHint();
    if (hintWindow_) hintWindow_->Free();
    hintWindow_ = nullptr;
    if (hintTimer_) hintTimer_->Free();
    hintTimer_ = nullptr;
    // Forms and other owned components go first, while Application is whole.
    DestroyComponents();
    TComponent::Destroy();
}

std::string TApplication::ExeName() const
{
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

TCustomForm* TApplication::CreateForm(TClass formClass)
{
    auto* form = static_cast<TCustomForm*>(CreateInstance<TCustomForm>(formClass, this));
    if (!mainForm_) mainForm_ = form;
    return form;
}

void TApplication::Run()
{
    running_ = true;
    if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
    while (!terminated_) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
    running_ = false;
}

void TApplication::Terminate()
{
    terminated_ = true;
    PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if (DragKeyMessage(msg)) return true;
    HWND wnd = GetCapture();
    if (!wnd) wnd = msg.hwnd;
    while (wnd && !TWinControl::FindControl(wnd)) wnd = GetParent(wnd);
    if (!wnd) return false;
    return SendMessageA(wnd, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    const UINT m = msg.message;
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN || m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN)
        CancelHint();
    if (!IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (!ProcessMessage(msg)) {
        if (DoIdle()) WaitMessage();
    }
}

bool TApplication::DoIdle()
{
    UpdateMouseControl();
    bool done = true;
    try {
        OnIdle(this, done);
    } catch (...) {
        HandleException(this);
    }
    return done;
}

void TApplication::UpdateMouseControl()
{
    POINT p{};
    GetCursorPos(&p);
    TControl* control = FindDragTarget(p, true);
    if (control == mouseControl_) return;
    TControl* old = mouseControl_;
    mouseControl_ = control;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (mouseControl_ != control) return;
    if (control) control->Perform(CM_MOUSEENTER);
    if (mouseControl_ != control) return;
    std::string hint;
    for (TControl* c = control; c; c = c->Parent())
        if (!c->Hint().empty()) {
            hint = c->Hint();
            break;
        }
    SetHint(GetLongHint(hint));
    CancelHint();
    if (control && showHint_ && control->ShowHint() && !GetShortHint(control->Hint()).empty()) {
        hintControl_ = control;
        if (!hintTimer_) {
            hintTimer_ = CreateObject<TTimer>(this);
            hintTimer_->OnTimer = TNotifyEvent::Bind(this, &TApplication::HintTimerFired);
        }
        hintTimer_->SetEnabled(false);
        hintTimer_->SetInterval(static_cast<unsigned>(std::max(1, hintPause_)));
        hintTimer_->SetEnabled(true);
    }
}

void TApplication::HintTimerFired(TObject*)
{
    hintTimer_->SetEnabled(false);
    if (!hintControl_ || hintControl_ != mouseControl_) return;
    if (hintWindow_ && hintWindow_->HandleAllocated() && IsWindowVisible(hintWindow_->Handle())) {
        // Shown long enough.
        CancelHint();
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    ActivateHint(p);
    if (hintWindow_ && hintWindow_->HandleAllocated() && hintHidePause_ > 0) {
        hintTimer_->SetInterval(static_cast<unsigned>(hintHidePause_));
        hintTimer_->SetEnabled(true);
    }
}

void TApplication::SetActive(bool value)
{
    if (active_ == value) return;
    active_ = value;
    if (value) OnActivate(this);
    else OnDeactivate(this);
}

void TApplication::ActivateHint(POINT cursorPos)
{
    if (!hintControl_) return;
    THintInfo info;
    info.HintControl = hintControl_;
    info.HintPos = POINT{cursorPos.x, cursorPos.y + 20};
    info.HintMaxWidth = 300;
    info.HintColor = hintColor_;
    info.HintStr = GetShortHint(hintControl_->Hint());
    if (hintControl_->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0) return;
    if (info.HintStr.empty()) return;
    if (!hintWindow_) {
        TClass cls = hintWindowClass_ ? hintWindowClass_ : THintWindow::StaticClass();
        hintWindow_ = static_cast<THintWindow*>(CreateInstance<THintWindow>(cls, this));
    }
    hintWindow_->SetColor(info.HintColor);
    RECT r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr);
    OffsetRect(&r, info.HintPos.x, info.HintPos.y);
    hintWindow_->ActivateHint(r, info.HintStr);
}

void TApplication::CancelHint()
{
    if (hintTimer_) hintTimer_->SetEnabled(false);
    if (hintWindow_) hintWindow_->ReleaseHandle();
}

void TApplication::SetShowHint(bool value)
{
    showHint_ = value;
    if (!value) CancelHint();
}

void TApplication::SetHint(const std::string& value)
{
    if (hint_ == value) return;
    hint_ = value;
    OnHint(this);
}

void TApplication::ControlDestroyed(TControl* control)
{
    if (control == hintWindow_) hintWindow_ = nullptr;
    if (mouseControl_ == control) mouseControl_ = nullptr;
    if (hintControl_ == control) {
        hintControl_ = nullptr;
        CancelHint();
    }
}

void TApplication::HandleException(TObject* sender)
{
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    auto report = [&](Exception& e) {
        try {
            if (OnException) OnException(sender, e);
            else ShowException(e);
        } catch (...) {
            // A failing handler must not end the loop that called it.
        }
    };
    try {
        std::rethrow_exception(current);
    } catch (EAbort&) {
    } catch (Exception& e) {
        report(e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        report(wrapped);
    } catch (...) {
        Exception wrapped("Unknown exception");
        report(wrapped);
    }
}

void TApplication::ShowException(const Exception& e)
{
    std::string text = e.Message();
    if (!text.empty() && text.back() > '.') text += '.';
    MessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    if (responder_) return responder_(text, caption, flags);
    HWND owner = GetActiveWindow();
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

// ---- TScreen ----------------------------------------------------------------------------

TClass TScreen::StaticClass() { return DefineClass<TScreen, TComponent>("TScreen"); }

void TScreen::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    const std::pair<TCursor, LPCSTR> standard[] = {
        {crDefault, IDC_ARROW},  {crArrow, IDC_ARROW},     {crCross, IDC_CROSS},     {crIBeam, IDC_IBEAM},
        {crSizeNESW, IDC_SIZENESW}, {crSizeNS, IDC_SIZENS}, {crSizeNWSE, IDC_SIZENWSE}, {crSizeWE, IDC_SIZEWE},
        {crUpArrow, IDC_UPARROW}, {crHourGlass, IDC_WAIT}, {crDrag, IDC_ARROW},      {crNoDrop, IDC_NO},
        {crHSplit, IDC_SIZEWE},  {crVSplit, IDC_SIZENS},   {crMultiDrag, IDC_ARROW}, {crNo, IDC_NO},
        {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP}, {crHandPoint, IDC_HAND},  {crSizeAll, IDC_SIZEALL},
    };
    for (const auto& [id, name] : standard) cursors_[id] = LoadCursorA(nullptr, name);
    cursors_[crNone] = nullptr;
    menuFont_.reset(CreateObject<TFont>());
    hintFont_.reset(CreateObject<TFont>());
    iconFont_.reset(CreateObject<TFont>());
    NONCLIENTMETRICSA metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        auto load = [](TFont& font, const LOGFONTA& lf) {
            if (HFONT f = CreateFontIndirectA(&lf)) {
                font.SetHandle(f);
                DeleteObject(f);
            }
        };
        load(*menuFont_, metrics.lfMenuFont);
        load(*hintFont_, metrics.lfStatusFont);
        load(*iconFont_, metrics.lfMessageFont);
    }
}

void TScreen::Destroy()
{
    forms_.clear();
    menuFont_.reset();
    hintFont_.reset();
    iconFont_.reset();
    TComponent::Destroy();
}

TCustomForm* TScreen::Forms(int index) const
{
    if (index < 0 || index >= FormCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return forms_[static_cast<std::size_t>(index)];
}

void TScreen::AddForm(TCustomForm* form)
{
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form)
{
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (activeForm_ == form) {
        activeForm_ = nullptr;
        activeControl_ = nullptr;
        OnActiveFormChange(this);
    }
}

void TScreen::SetActiveForm(TCustomForm* form)
{
    if (activeForm_ == form) return;
    activeForm_ = form;
    // The active form goes to the front of the list.
    auto it = std::find(forms_.begin(), forms_.end(), form);
    if (it != forms_.end()) std::rotate(forms_.begin(), it, it + 1);
    OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* control)
{
    if (activeControl_ == control) return;
    activeControl_ = control;
    OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor value)
{
    if (cursor_ == value) return;
    cursor_ = value;
    POINT p{};
    GetCursorPos(&p);
    if (value != crDefault) {
        ::SetCursor(Cursors(value));
    } else if (HWND h = WindowFromPoint(p)) {
        SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
}

HCURSOR TScreen::Cursors(TCursor index) const
{
    auto it = cursors_.find(index);
    if (it != cursors_.end()) return it->second;
    return cursors_.at(crDefault);
}

void TScreen::SetCursors(TCursor index, HCURSOR handle)
{
    if (index == crDefault && !handle) return;
    cursors_[index] = handle ? handle : cursors_.at(crDefault);
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

RECT TScreen::WorkAreaRect() const
{
    RECT r{0, 0, Width(), Height()};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

HMONITOR TScreen::MonitorFromPoint(POINT pt) const { return ::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST); }

// ---- TMouse -----------------------------------------------------------------------------

TClass TMouse::StaticClass() { return DefineClass<TMouse, TObject>("TMouse"); }

POINT TMouse::CursorPos() const
{
    POINT p{};
    GetCursorPos(&p);
    return p;
}

void TMouse::SetCursorPos(POINT pt) { ::SetCursorPos(pt.x, pt.y); }
HWND TMouse::GetCaptureWindow() { return GetCapture(); }

int TMouse::WheelScrollLines() const
{
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return static_cast<int>(lines);
}

}  // namespace hostlib
