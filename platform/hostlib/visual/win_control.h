#pragma once
// TWinControl: a window of its own, children, alignment, focus, keys and
// the painting of graphic children.
//
// Every window of a TWinControl runs through one window procedure: the
// guard finds the control, drops messages to a control that is being
// destroyed, calls the replaceable WindowProc (by default WndProc, which
// calls Dispatch, which ends in DefaultHandler: the wrapped class's own
// procedure or DefWindowProc) and hands any exception to the
// application's HandleException. Perform calls WindowProc directly.

#include <functional>
#include <string>
#include <vector>

#include "platform/hostlib/visual/control.h"

namespace hostlib {

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    std::string WinClassName;
};

class TWinControl : public TControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    TWinControl();
    void Construct(TComponent* owner) override;

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    // ---- window
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    void RecreateWnd();
    // The control whose window is hwnd (nullptr for foreign windows).
    static TWinControl* FindControl(HWND hwnd);
    // The parent window for a control without a parent control.
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND value) { parentWindow_ = value; }

    // ---- children
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(TControl* control) const;
    TControl* ControlAtPos(POINT pos, bool allowDisabled, bool allowWinControls = false);
    TControl* FindChildControl(const std::string& name) const;
    // Alignment waits while loading; it runs once loading is done.
    void Loaded() override;
    // The children a form resource stores inside this control.
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void Broadcast(TMessage& message);
    // Sends msg to every control below this one, depth first.
    void BroadcastAll(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void NotifyControls(UINT msg);

    // ---- alignment
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return alignDisabled_ > 0; }
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() override;

    // ---- focus and tab order
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    int TabOrder() const;
    void SetTabOrder(int value);
    virtual bool CanFocus();
    virtual bool Focused();
    virtual void SetFocus();
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    // Focuses the first tab stop inside, else the first control that can
    // take the focus at all.
    void SelectFirst();
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
    // The children in tab order, each followed by its own list; a control
    // may stand in for another here (a compound control's inner part).
    virtual void GetTabOrderList(std::vector<TWinControl*>& list);
    TBrush* Brush() const { return brush_.get(); }
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    bool Showing() const override;
    // Creates, shows or hides the window to match Showing.
    virtual void UpdateShowing();
    void SetText(const std::string& value) override;
    std::string Text() const override;

    // ---- painting
    void PaintControls(HDC dc, TControl* first);
    void PaintTo(HDC dc, int x, int y);
    void Invalidate() override;
    void Update() override;
    void Repaint() override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    bool DoKeyDown(TMessage& message);
    bool DoKeyUp(TMessage& message);
    bool DoKeyPress(TMessage& message);

protected:
    TClass GetActionLinkClass() override;
    void Destroy() override;
    virtual void CreateParams(TCreateParams& params);
    // Makes the window an instance of a registered class (a standard
    // control class): its procedure becomes the default handler.
    void CreateSubClass(TCreateParams& params, const char* className);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void CreateHandle();
    virtual void DestroyHandle();
    virtual void DestroyWnd();
    virtual void AlignControls(TControl* control, RECT& rect);
    virtual void AdjustClientRect(RECT&) {}
    virtual void CustomAlignPosition(TControl*, int&, int&, int&, int&) {}
    virtual void PaintWindow(HDC dc);
    void PaintHandler(TMessage& message);
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter() { OnEnter(this); }
    virtual void DoExit() { OnExit(this); }
    virtual bool IsMenuKey(TMessage& message);
    void AlignControl(TControl* control);
    void RequestAlign() override;
    // Called after the window moved or was resized by the window system.
    void UpdateBounds();
    // Hands a mouse message over a graphic child to that child; true when it did.
    bool IsControlMouseMsg(TMessage& m);
    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;

private:
    friend class TControl;
    friend LRESULT HostWindowProc(HWND, UINT, WPARAM, LPARAM);
    void WMPaint(TMessage& m);
    void WMEraseBkgnd(TMessage& m);
    void WMSetFocus(TMessage& m);
    void WMKeyDown(TMessage& m);
    void WMKeyUp(TMessage& m);
    void WMChar(TMessage& m);
    void CNKeyDown(TMessage& m);
    void CNChar(TMessage& m);
    void CNSysChar(TMessage& m);
    void CMDialogKey(TMessage& m);
    void WMSetCursor(TMessage& m);
    void WMSize(TMessage& m);
    void DoControlMsg(HWND child, TMessage& m);
    // KeyPreview first, then handler; true when the key was used up.
    bool DoKeyEvent(TMessage& m, bool (TWinControl::*preview)(TMessage&), const std::function<void(WORD&)>& handler);
    void ListChildren(std::vector<TControl*>& list, TAlign align);
    void MoveFocusAway();
    void BrushColorFromControl();

    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false;
    int alignDisabled_ = 0;
    bool aligning_ = false;
    bool alignPending_ = false;
    ObjectPtr<TBrush> brush_;
    HWND parentWindow_ = nullptr;
    bool showing_ = false;
};

}  // namespace hostlib
