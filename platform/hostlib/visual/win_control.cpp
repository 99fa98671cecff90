#include "platform/hostlib/visual/win_control.h"

#include <algorithm>

#include "platform/hostlib/visual/actnlist.h"
#include "platform/hostlib/visual/control_canvas.h"
#include "platform/hostlib/visual/control_internal.h"
#include "platform/hostlib/visual/dragdrop.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

namespace hostlib {

namespace {

struct CanvasFrame {
    std::size_t mark = detail::TakenCanvases().size();
    ~CanvasFrame()
    {
        auto& list = detail::TakenCanvases();
        while (list.size() > mark) {
            TControlCanvas* c = list.back();
            c->FreeHandle();  // removes itself from the list
        }
    }
};

}  // namespace

LRESULT HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* control = static_cast<TWinControl*>(GetPropA(hwnd, detail::kControlProp));
    if (!control && detail::gCreating) {
        control = detail::gCreating;
        detail::gCreating = nullptr;
        control->handle_ = hwnd;
        SetPropA(hwnd, detail::kControlProp, control);
    }
    if (!control) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, detail::kControlProp);
        WNDPROC def = control->defWndProc_;
        control->handle_ = nullptr;
        return def ? CallWindowProcA(def, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // A control being torn down gets no more of its own handling.
    if (control->IsDestroying() && !control->HandleAllocated()) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (control->IsDestroying()) {
        WNDPROC def = control->defWndProc_;
        return def ? CallWindowProcA(def, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    TMessage m{msg, wParam, lParam, 0};
    CanvasFrame frame;
    auto alive = control->AliveToken();
    try {
        control->WindowProc(m);
    } catch (...) {
        if (Application) Application->HandleException(*alive ? control : nullptr);
    }
    return m.Result;
}

// ---- TWinControl -----------------------------------------------------------------------

TClass TWinControl::StaticClass()
{
    return DefineClass<TWinControl, TControl>("TWinControl", [](ClassBuilder<TWinControl>& b) {
        b.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
        b.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
            .Stored([](const TWinControl& c) { return c.Parent() != nullptr; });
        b.EventProperty("OnEnter", &TWinControl::OnEnter);
        b.EventProperty("OnExit", &TWinControl::OnExit);
        b.EventProperty("OnKeyDown", &TWinControl::OnKeyDown);
        b.EventProperty("OnKeyPress", &TWinControl::OnKeyPress);
        b.EventProperty("OnKeyUp", &TWinControl::OnKeyUp);
    });
}

TWinControl::TWinControl() = default;

TClass TWinControl::GetActionLinkClass() { return TWinControlActionLink::StaticClass(); }

void TWinControl::Construct(TComponent* owner)
{
    TControl::Construct(owner);
    brush_.reset(CreateObject<TBrush>());
    BrushColorFromControl();
}

void TWinControl::BrushColorFromControl()
{
    if (brush_) brush_->SetColor(Color());
}

void TWinControl::Destroy()
{
    MoveFocusAway();
    if (handle_) DestroyHandle();
    // Child controls go with their parent whoever owns them; freeing
    // takes them off their owner's list.
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        c->Free();
    }
    brush_.reset();
    TControl::Destroy();
}

TWinControl* TWinControl::FindControl(HWND hwnd)
{
    return hwnd ? static_cast<TWinControl*>(GetPropA(hwnd, detail::kControlProp)) : nullptr;
}

HWND TWinControl::Handle()
{
    if (!handle_) {
        if (IsDestroying()) throw EInvalidOperation("Control '" + Name() + "' is being destroyed");
        CreateHandle();
        if (!handle_) throw EOutOfResources("Error creating window");
    }
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& p)
{
    p.Caption = text_;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (controlStyle_.Contains(csAcceptsControls)) p.Style |= WS_CLIPCHILDREN;
    if (!Enabled()) p.Style |= WS_DISABLED;
    if (tabStop_) p.Style |= WS_TABSTOP;
    p.X = Left();
    p.Y = Top();
    p.Width = Width();
    p.Height = Height();
    if (Parent()) p.WndParent = Parent()->Handle();
    else p.WndParent = parentWindow_;
    p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    p.WindowClass.lpfnWndProc = DefWindowProcA;
    p.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    p.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& p, const char* className)
{
    WNDCLASSA wc;
    if (!GetClassInfoA(nullptr, className, &wc)) throw EOutOfResources(std::string("Unknown window class ") + className);
    const UINT keep = p.WindowClass.style & CS_DBLCLKS;
    p.WindowClass = wc;
    p.WindowClass.style = (wc.style & ~CS_DBLCLKS) | keep;
}

void TWinControl::CreateWnd()
{
    TCreateParams p;
    CreateParams(p);
    if (!p.WndParent && (p.Style & WS_CHILD) && !Parent()) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    defWndProc_ = p.WindowClass.lpfnWndProc;
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, p.WinClassName.c_str(), &existing)) {
        WNDCLASSA wc = p.WindowClass;
        wc.lpfnWndProc = &HostWindowProc;
        wc.lpszClassName = p.WinClassName.c_str();
        wc.lpszMenuName = nullptr;
        if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register window class " + p.WinClassName);
    }
    CreateWindowHandle(p);
    if (!handle_) throw EOutOfResources("Error creating window");
    // Our font for the window's own drawing.
    ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
}

namespace {

// Ids stay in a word (WM_COMMAND carries them so), above the dialog command
// ids, and unique among the window's siblings.
int FreeChildId(HWND parent)
{
    constexpr int first = 0x4000;
    constexpr int last = 0xFFFF;
    static int next = first;
    for (int tries = 0; tries <= last - first; ++tries) {
        next = next >= last ? first + 1 : next + 1;
        if (!parent || !GetDlgItem(parent, next)) return next;
    }
    return 0;
}

}  // namespace

void TWinControl::CreateWindowHandle(const TCreateParams& p)
{
    TWinControl* previous = detail::gCreating;
    detail::gCreating = this;
    // A child window carries its id in the menu argument; draw and measure
    // requests find their control by it.
    HMENU id = (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(FreeChildId(p.WndParent))) : nullptr;
    HWND h = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                             p.Height, p.WndParent, id, nullptr, p.Param);
    if (detail::gCreating == this) detail::gCreating = previous;
    if (h && !handle_) {
        handle_ = h;
        SetPropA(h, detail::kControlProp, this);
    }
}

void TWinControl::CreateHandle()
{
    if (handle_) return;
    // The parent's window first: making it makes this one too.
    if (Parent()) Parent()->HandleNeeded();
    if (handle_) return;
    {
        controlState_.Include(csCreating);
        quelvo::sys::ScopeGuard created([this] { controlState_.Exclude(csCreating); });
        CreateWnd();
    }
    // The window's own size may differ from what was asked (frames).
    UpdateBounds();
    for (TWinControl* child : tabList_) {
        if (child->visible_ || child->HandleAllocated()) child->CreateHandle();
        SetWindowPos(child->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Keep the window stacking in the order of the controls list.
    for (TControl* c : controls_)
        if (auto* w = As<TWinControl>(c); w && w->handle_)
            SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Realign();
    UpdateShowing();
}

void TWinControl::UpdateShowing()
{
    const bool show = Showing();
    if (!handle_ && !show) return;
    if (show && !handle_) CreateHandle();
    if (show == showing_ && handle_ && ((IsWindowVisible(handle_) != 0) == show || Parent() == nullptr)) return;
    showing_ = show;
    if (Parent()) ShowWindow(handle_, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    for (TControl* c : controls_)
        if (auto* w = As<TWinControl>(c)) w->UpdateShowing();
    Perform(CM_SHOWINGCHANGED);
}

void TWinControl::DestroyHandle()
{
    if (!handle_) return;
    controlState_.Include(csDestroyingHandle);
    for (TControl* c : controls_)
        if (auto* w = As<TWinControl>(c)) w->DestroyHandle();
    DestroyWnd();
    controlState_.Exclude(csDestroyingHandle);
    showing_ = false;
}

void TWinControl::DestroyWnd()
{
    if (!handle_) return;
    // The window may have changed its text itself (typing).
    text_ = Text();
    HWND h = handle_;
    DestroyWindow(h);
    if (handle_ == h) {
        RemovePropA(h, detail::kControlProp);
        handle_ = nullptr;
    }
}

void TWinControl::RecreateWnd()
{
    if (!handle_) return;
    Perform(CM_RECREATEWND);
}

void TWinControl::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_SETFOCUS:
        if (TCustomForm* form = GetParentForm(this); form && form != this) {
            if (!form->SetFocusedControl(this)) return;
        }
        break;
    case WM_KILLFOCUS:
        if (DraggingAny()) CancelDrag();
        break;
    default:
        if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL) {
            if (IsControlMouseMsg(m)) return;
        }
        break;
    }
    TControl::WndProc(m);
}

bool TWinControl::IsControlMouseMsg(TMessage& m)
{
    TControl* target = nullptr;
    TControl* capture = GetCaptureControl();
    if (capture) {
        if (capture->Parent() == this && !As<TWinControl>(capture)) target = capture;
    } else {
        TControl* c = ControlAtPos(detail::PointFromLParam(m.LParam), false);
        if (c && !As<TWinControl>(c)) target = c;
    }
    if (!target) return false;
    const POINT p = detail::PointFromLParam(m.LParam);
    m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - target->Left(), p.y - target->Top()));
    return true;
}

void TWinControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_PAINT:
        WMPaint(m);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(m);
        return;
    case WM_SETFOCUS:
        WMSetFocus(m);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WMKeyDown(m);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WMKeyUp(m);
        return;
    case WM_CHAR:
        WMChar(m);
        return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        CNKeyDown(m);
        return;
    case CN_CHAR:
        CNChar(m);
        return;
    case CN_SYSCHAR:
        CNSysChar(m);
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        if (m.Msg == CM_DIALOGKEY) CMDialogKey(m);
        else Broadcast(m);
        return;
    case WM_SETCURSOR:
        WMSetCursor(m);
        return;
    case WM_SIZE:
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(m);
        if (m.Msg == WM_SIZE || m.Msg == WM_WINDOWPOSCHANGED) WMSize(m);
        else UpdateBounds();
        return;
    case CM_COLORCHANGED:
        BrushColorFromControl();
        NotifyControls(CM_PARENTCOLORCHANGED);
        break;
    case CM_FONTCHANGED:
        if (handle_) ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
        NotifyControls(CM_PARENTFONTCHANGED);
        break;
    case CM_SHOWHINTCHANGED:
        NotifyControls(CM_PARENTSHOWHINTCHANGED);
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case CM_ENABLEDCHANGED:
        if (!Enabled()) MoveFocusAway();
        if (handle_) EnableWindow(handle_, Enabled() ? TRUE : FALSE);
        break;
    case CM_VISIBLECHANGED:
        if (!Visible()) MoveFocusAway();
        UpdateShowing();
        break;
    case CM_RECREATEWND: {
        const bool wasShowing = handle_ && IsWindowVisible(handle_);
        DestroyHandle();
        if (wasShowing || Showing()) {
            CreateHandle();
            if (!Parent() && Visible()) ShowWindow(handle_, SW_SHOW);
        }
        return;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        break;
    case WM_DESTROY:
        DefaultHandler(m);
        return;
    default:
        if (IsReflectedMessage(m.Msg)) {
            HWND child = nullptr;
            if (m.Msg == WM_COMMAND) child = reinterpret_cast<HWND>(m.LParam);
            else if (m.Msg == WM_NOTIFY && m.LParam) child = *reinterpret_cast<HWND*>(m.LParam);
            else if (m.Msg == WM_DRAWITEM || m.Msg == WM_MEASUREITEM) {
                // The item structures start with the control type and id; the
                // window is found by id among the children.
                const auto* ids = reinterpret_cast<const UINT*>(m.LParam);
                if (ids && handle_) child = GetDlgItem(handle_, static_cast<int>(ids[1]));
            } else child = reinterpret_cast<HWND>(m.LParam);
            DoControlMsg(child, m);
            return;
        }
        break;
    }
    TControl::Dispatch(m);
}

void TWinControl::DoControlMsg(HWND child, TMessage& m)
{
    TWinControl* control = FindControl(child);
    if (control && control != this) {
        m.Result = control->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
    }
    DefaultHandler(m);
}

void TWinControl::DefaultHandler(TMessage& m)
{
    if (!handle_) {
        TControl::DefaultHandler(m);
        return;
    }
    if (m.Msg >= CN_CTLCOLORMSGBOX && m.Msg <= CN_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkColor(dc, ColorToRGB(brush_->Color()));
        m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
        return;
    }
    if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400) {
        // Reflections nobody handled: the window's own class sees the
        // original message only where it is meant for it.
        return;
    }
    if (m.Msg >= CM_BASE && m.Msg < CN_BASE) return;
    WNDPROC def = defWndProc_ ? defWndProc_ : DefWindowProcA;
    m.Result = CallWindowProcA(def, handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::UpdateBounds()
{
    if (!handle_) return;
    RECT r{};
    GetWindowRect(handle_, &r);
    if (HWND parent = GetParent(handle_); parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)) {
        POINT pts[2] = {{r.left, r.top}, {r.right, r.bottom}};
        MapWindowPoints(nullptr, parent, pts, 2);
        r = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
    }
    const bool resized = (r.right - r.left) != Width() || (r.bottom - r.top) != Height();
    if (r.left == Left() && r.top == Top() && !resized) return;
    TControl::left_ = r.left;
    TControl::top_ = r.top;
    TControl::width_ = r.right - r.left;
    TControl::height_ = r.bottom - r.top;
    if (resized) {
        Realign();
        Resize();
    }
}

void TWinControl::WMSize(TMessage&) { UpdateBounds(); }

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    width = Constraints() ? Constraints()->ClampWidth(std::max(0, width)) : width;
    height = Constraints() ? Constraints()->ClampHeight(std::max(0, height)) : height;
    if (!CanResize(width, height)) return;
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    const bool resized = width != Width() || height != Height();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_) {
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!updatingFromParent_) {
        UpdateAnchorRules();
        RequestAlign();
    }
    if (resized) {
        Realign();
        Resize();
    }
}

RECT TWinControl::ClientRect()
{
    if (handle_) {
        RECT r{};
        GetClientRect(handle_, &r);
        return r;
    }
    return TControl::ClientRect();
}

// ---- children ------------------------------------------------------------------

TControl* TWinControl::Controls(int index) const
{
    if (index < 0 || index >= ControlCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return controls_[static_cast<std::size_t>(index)];
}

void TWinControl::InsertControl(TControl* control)
{
    if (!control || control->parent_ == this) return;
    if (auto* w = As<TWinControl>(control); w && w->ContainsControl(this))
        throw EInvalidOperation("A control cannot contain its own parent");
    controls_.push_back(control);
    control->parent_ = this;
    if (auto* w = As<TWinControl>(control)) {
        tabList_.push_back(w);
        if (handle_ || w->handle_) {
            if (w->handle_) w->DestroyHandle();
            if (handle_ && w->Visible()) w->CreateHandle();
        }
    }
    if (control->ParentColor()) control->Perform(CM_PARENTCOLORCHANGED);
    if (control->ParentFont()) control->Perform(CM_PARENTFONTCHANGED);
    if (control->ParentShowHint()) control->Perform(CM_PARENTSHOWHINTCHANGED);
    control->UpdateAnchorRules();
    if (control->Align() != alNone) Realign();
    control->InvalidateControl(control->Visible(), false);
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
}

void TWinControl::RemoveControl(TControl* control)
{
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    if (auto* w = As<TWinControl>(control)) {
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(w, true);
        w->MoveFocusAway();
        if (w->handle_ && !IsDestroying()) w->DestroyHandle();
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
    }
    control->InvalidateControl(control->Visible(), false);
    if (detail::gCaptureControl == control) SetCaptureControl(nullptr);
    controls_.erase(std::find(controls_.begin(), controls_.end(), control));
    control->parent_ = nullptr;
    if (!IsDestroying()) {
        if (control->Align() != alNone) Realign();
        Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    }
}

bool TWinControl::ContainsControl(TControl* control) const
{
    while (control && control != this) control = control->Parent();
    return control == this;
}

TControl* TWinControl::ControlAtPos(POINT pos, bool allowDisabled, bool allowWinControls)
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!allowWinControls && As<TWinControl>(c)) continue;
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
        RECT r = c->BoundsRect();
        if (!PtInRect(&r, pos)) continue;
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(pos.x - c->Left(), pos.y - c->Top())) == 0) continue;
        return c;
    }
    if (!allowWinControls) {
        // Graphic children of windowed children are reached through them.
        for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
            auto* w = As<TWinControl>(*it);
            if (!w || !w->Visible() || (!allowDisabled && !w->Enabled())) continue;
            RECT r = w->BoundsRect();
            if (PtInRect(&r, pos)) return nullptr;
        }
    }
    return nullptr;
}

TControl* TWinControl::FindChildControl(const std::string& name) const
{
    for (TControl* c : controls_)
        if (strcasecmp(c->Name().c_str(), name.c_str()) == 0) return c;
    return nullptr;
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    Realign();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    for (TControl* c : controls_)
        if (c->Owner() == root) proc(c);
}

void TWinControl::BroadcastAll(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const std::vector<TControl*> list = controls_;
    for (TControl* c : list) {
        if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
        c->Perform(msg, wParam, lParam);
        if (auto* w = As<TWinControl>(c)) w->BroadcastAll(msg, wParam, lParam);
    }
}

void TWinControl::Broadcast(TMessage& m)
{
    const std::vector<TControl*> list = controls_;
    for (TControl* c : list) {
        if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
        c->WindowProc(m);
        if (m.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT msg)
{
    TMessage m{msg, 0, 0, 0};
    const std::vector<TControl*> list = controls_;
    for (TControl* c : list) c->WindowProc(m);
}

// ---- alignment ---------------------------------------------------------------

void TWinControl::EnableAlign()
{
    if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::RequestAlign() { TControl::RequestAlign(); }

void TWinControl::AlignControl(TControl* control)
{
    if (alignDisabled_ > 0 || aligning_ || IsDestroying() || IsLoading()) {
        alignPending_ = true;
        return;
    }
    alignPending_ = false;
    aligning_ = true;
    quelvo::sys::ScopeGuard aligned([this] { aligning_ = false; });
    RECT rect = ClientRect();
    AdjustClientRect(rect);
    AlignControls(control, rect);
}

void TWinControl::ListChildren(std::vector<TControl*>& list, TAlign align)
{
    list.clear();
    for (TControl* c : controls_)
        if (c->Align() == align && c->Visible()) list.push_back(c);
    auto key = [align](TControl* c) {
        switch (align) {
        case alTop: return c->Top();
        case alBottom: return -(c->Top() + c->Height());
        case alLeft: return c->Left();
        case alRight: return -(c->Left() + c->Width());
        default: return 0;
        }
    };
    std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) { return key(a) < key(b); });
}

void TWinControl::AlignControls(TControl*, RECT& rect)
{
    const RECT client = ClientRect();
    std::vector<TControl*> list;
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient, alCustom}) {
        ListChildren(list, align);
        for (TControl* c : list) {
            int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
            const bool horizontal = align == alTop || align == alBottom;
            const bool vertical = align == alLeft || align == alRight;
            if (horizontal || align == alClient) {
                l = rect.left;
                w = rect.right - rect.left;
            }
            if (vertical || align == alClient) {
                t = rect.top;
                h = rect.bottom - rect.top;
            }
            if (align == alTop) t = rect.top;
            if (align == alBottom) t = rect.bottom - h;
            if (align == alLeft) l = rect.left;
            if (align == alRight) l = rect.right - w;
            if (align == alCustom) CustomAlignPosition(c, l, t, w, h);
            c->UpdateBoundsFromAlign(l, t, std::max(0, w), std::max(0, h));
            // The size constraints may have refused part of the space.
            switch (align) {
            case alTop: rect.top += c->Height(); break;
            case alBottom: rect.bottom -= c->Height(); break;
            case alLeft: rect.left += c->Width(); break;
            case alRight: rect.right -= c->Width(); break;
            default: break;
            }
        }
    }
    for (TControl* c : controls_)
        if (c->Align() == alNone) c->ApplyAnchorRules(client);
}

// ---- focus ------------------------------------------------------------------

void TWinControl::SetTabStop(bool value)
{
    if (tabStop_ == value) return;
    tabStop_ = value;
    if (handle_) {
        LONG_PTR style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const
{
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int value)
{
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    list.erase(std::find(list.begin(), list.end(), this));
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

bool TWinControl::CanFocus()
{
    TCustomForm* form = GetParentForm(this);
    if (!form) return Visible() && Enabled() && (!handle_ || (IsWindowVisible(handle_) && IsWindowEnabled(handle_)));
    for (TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
        if (c == form) break;
    }
    return true;
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus()
{
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    TCustomForm* form = GetParentForm(this);
    if (form && form != this) form->FocusControl(this);
    else ::SetFocus(Handle());
}

void TWinControl::MoveFocusAway()
{
    if (!handle_) return;
    HWND focus = GetFocus();
    if (!focus || (focus != handle_ && !IsChild(handle_, focus))) return;
    TWinControl* parent = Parent();
    while (parent && !(parent->Visible() && parent->Enabled())) parent = parent->Parent();
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
    if (parent && parent->HandleAllocated()) ::SetFocus(parent->Handle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list)
{
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[static_cast<std::size_t>(i)] == current) start = i;
    if (start < 0) start = goForward ? n - 1 : 0;
    for (int step = 1; step <= n; ++step) {
        const int i = ((goForward ? start + step : start - step) % n + n) % n;
        TWinControl* c = list[static_cast<std::size_t>(i)];
        if (c == current) break;
        if (!c->CanFocus()) continue;
        if (checkTabStop && !c->TabStop()) continue;
        if (checkParent && c->Parent() != this) continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop)
{
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::SelectFirst()
{
    TWinControl* first = FindNextControl(nullptr, true, true, false);
    if (!first) first = FindNextControl(nullptr, true, false, false);
    if (first) first->SetFocus();
}

void TWinControl::SetVisible(bool value)
{
    if (!value) MoveFocusAway();
    TControl::SetVisible(value);
}

void TWinControl::SetEnabled(bool value)
{
    if (!value) MoveFocusAway();
    TControl::SetEnabled(value);
}

bool TWinControl::Showing() const
{
    if (!Visible()) return false;
    if (Parent()) return Parent()->Showing();
    return parentWindow_ != nullptr && IsWindowVisible(parentWindow_);
}

void TWinControl::SetText(const std::string& value)
{
    if (!handle_) return TControl::SetText(value);
    if (Text() == value) return;
    text_ = value;
    ::SetWindowTextA(handle_, value.c_str());
    Perform(CM_TEXTCHANGED);
}

std::string TWinControl::Text() const
{
    if (!handle_) return text_;
    const int n = GetWindowTextLengthA(handle_);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

void TWinControl::WMSetFocus(TMessage& m) { DefaultHandler(m); }

// ---- keys ---------------------------------------------------------------------

bool TWinControl::IsMenuKey(TMessage& m)
{
    for (TControl* c = this; c; c = c->Parent())
        if (TPopupMenu* menu = c->PopupMenu(); menu && menu->IsShortCut(m)) return true;
    if (TCustomForm* form = GetParentForm(this); form && form->IsShortCut(m)) return true;
    return false;
}

void TWinControl::CNKeyDown(TMessage& m)
{
    m.Result = 1;
    if (IsMenuKey(m)) return;
    LRESULT mask = 0;
    switch (static_cast<int>(m.WParam)) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
        if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0)
            return;
    }
    m.Result = 0;
}

void TWinControl::CNChar(TMessage& m)
{
    m.Result = 1;
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
        if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
            return;
    }
    m.Result = 0;
}

void TWinControl::CNSysChar(TMessage& m)
{
    m.Result = 0;
    if (m.WParam == VK_SPACE) {
        if (TCustomForm* form = GetParentForm(this); form && form->ShowSystemMenu()) m.Result = 1;
        return;
    }
    if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
        m.Result = 1;
}

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }

bool TWinControl::DoKeyEvent(TMessage& m, bool (TWinControl::*preview)(TMessage&),
                             const std::function<void(WORD&)>& handler)
{
    TCustomForm* form = GetParentForm(this);
    auto alive = AliveToken();
    if (form && form != this && form->KeyPreview() && (form->*preview)(m)) return true;
    if (!*alive) return true;
    if (controlStyle_.Contains(csNoStdEvents)) return false;
    WORD key = static_cast<WORD>(m.WParam);
    handler(key);
    if (!*alive) return true;
    m.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyDown(TMessage& m)
{
    return DoKeyEvent(m, &TWinControl::DoKeyDown, [&](WORD& key) { KeyDown(key, KeyDataToShiftState(m.LParam)); });
}

bool TWinControl::DoKeyUp(TMessage& m)
{
    return DoKeyEvent(m, &TWinControl::DoKeyUp, [&](WORD& key) { KeyUp(key, KeyDataToShiftState(m.LParam)); });
}

bool TWinControl::DoKeyPress(TMessage& m)
{
    return DoKeyEvent(m, &TWinControl::DoKeyPress, [&](WORD& key) {
        char ch = static_cast<char>(key);
        KeyPress(ch);
        key = static_cast<unsigned char>(ch);
    });
}

void TWinControl::WMKeyDown(TMessage& m)
{
    if (!DoKeyDown(m)) DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m)
{
    if (!DoKeyUp(m)) DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m)
{
    if (!DoKeyPress(m)) DefaultHandler(m);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) { OnKeyDown(this, key, shift); }
void TWinControl::KeyUp(WORD& key, TShiftState shift) { OnKeyUp(this, key, shift); }
void TWinControl::KeyPress(char& key) { OnKeyPress(this, key); }

void TWinControl::WMSetCursor(TMessage& m)
{
    if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == handle_) {
        TCursor cursor = Screen ? Screen->Cursor() : crDefault;
        if (cursor == crDefault) {
            POINT p{};
            GetCursorPos(&p);
            TControl* c = ControlAtPos(ScreenToClient(p), false);
            cursor = c ? c->Cursor() : Cursor();
            if (c && cursor == crDefault) cursor = Cursor();
        }
        if (cursor != crDefault && Screen) {
            ::SetCursor(Screen->Cursors(cursor));
            m.Result = 1;
            return;
        }
    } else if (Screen && Screen->Cursor() != crDefault) {
        ::SetCursor(Screen->Cursors(Screen->Cursor()));
        m.Result = 1;
        return;
    }
    DefaultHandler(m);
}

// ---- painting -------------------------------------------------------------------

void TWinControl::WMPaint(TMessage& m)
{
    if (m.WParam) {
        PaintHandler(m);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, &ps);
    quelvo::sys::ScopeGuard endPaint([&] { EndPaint(handle_, &ps); });
    TMessage inner{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    PaintHandler(inner);
}

void TWinControl::PaintHandler(TMessage& m)
{
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    {
        const int saved = SaveDC(dc);
        quelvo::sys::ScopeGuard restore([&] { RestoreDC(dc, saved); });
        PaintWindow(dc);
    }
    PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC dc)
{
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(m);
}

void TWinControl::WMEraseBkgnd(TMessage& m)
{
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    RECT r = ClientRect();
    ::FillRect(dc, &r, brush_->Handle());
    m.Result = 1;
}

void TWinControl::PaintControls(HDC dc, TControl* first)
{
    auto it = controls_.begin();
    if (first) {
        it = std::find(controls_.begin(), controls_.end(), first);
        if (it == controls_.end()) it = controls_.begin();
    }
    const std::vector<TControl*> list(it, controls_.end());
    for (TControl* c : list) {
        if (As<TWinControl>(c) || !c->Visible()) continue;
        RECT r = c->BoundsRect();
        if (!RectVisible(dc, &r)) continue;
        const int saved = SaveDC(dc);
        quelvo::sys::ScopeGuard restore([&] { RestoreDC(dc, saved); });
        POINT org{};
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + c->Left(), org.y + c->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

void TWinControl::PaintTo(HDC dc, int x, int y)
{
    const int saved = SaveDC(dc);
    POINT org{};
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + x, org.y + y, nullptr);
    IntersectClipRect(dc, 0, 0, Width(), Height());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    for (TControl* c : controls_)
        if (auto* w = As<TWinControl>(c); w && w->Visible()) w->PaintTo(dc, w->Left(), w->Top());
    RestoreDC(dc, saved);
}

void TWinControl::Invalidate()
{
    if (handle_) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::Update()
{
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

}  // namespace hostlib
