#pragma once
// The drop-down window of the editors: a borderless form that belongs to
// one owner control, opens beside it, may take the keyboard focus and run
// its own modal loop, and closes by itself when the user clicks elsewhere,
// switches to another program, hides or closes the owner, or presses keys
// it does not accept. The open popups form one program-wide list, in the
// order they were opened; three thread hooks watch the messages of the
// user-interface thread and close popups by it.

#include "components/foundation/cxContainerStyles.h"
#include "components/foundation/cxControls.h"

inline constexpr UINT CM_CLOSEPOPUPWINDOW = 0x8065;
// wParam: the control to focus.
inline constexpr UINT CM_SHOWPOPUPWINDOW = 0x8066;

class TcxCustomPopupWindow : public TcxPopupWindow {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    virtual void Construct(hostlib::TWinControl* ownerControl);
    void Construct(hostlib::TComponent* owner) override;

    hostlib::TWinControl* OwnerControl() const { return ownerControl_; }
    bool CaptureFocus() const { return captureFocus_; }
    void SetCaptureFocus(bool value);
    // A base style of the popup's own (no holder).
    TcxCustomContainerStyle* Style() const { return style_.get(); }
    bool IsTopMost() const { return isTopMost_; }
    void SetIsTopMost(bool value);
    bool ModalMode() const { return modalMode_; }
    void SetModalMode(bool value) { modalMode_ = value; }
    hostlib::TWinControl* FocusedControl() const { return focusedControl_; }
    // Set when a click on the owner closed the popup; the owner clears it.
    bool JustClosed() const { return justClosed_; }
    void SetJustClosed(bool value) { justClosed_ = value; }

    // The popup is open: in the open list.
    bool IsVisible() const;
    bool HasCapture();
    // Closes the popup once the current message is handled.
    void ClosePopup();
    hostlib::TWinControl* GetFirstFocusControl(hostlib::TWinControl* control);
    void RecreateWindow();
    void LockDeactivate(bool value) { deactivateLocked_ = value; }
    bool IsDeactivateLocked() const { return deactivateLocked_; }
    void DoShowing();

    bool CanFocus() override { return Visible(); }
    bool Focused() override;

    virtual bool AcceptsAnySize() { return false; }
    virtual void CorrectBoundsWithDesktopWorkArea(POINT& position);
    virtual void DoClosed();
    virtual void DoClosing();
    virtual void DoShowed();
    virtual bool HasBackground() { return false; }
    virtual void PopupWindowStyleChanged(hostlib::TObject*) {}
    virtual bool IsSysKeyAccepted(WORD key);
    virtual void CloseUp(bool askCloseQuery);
    virtual void Popup(hostlib::TWinControl* focusedControl);
    virtual TcxContainerStyleClass GetStyleClass() const { return TcxContainerStyle::StaticClass(); }
    void CloseUp() override { CloseUp(false); }
    void Popup() override { Popup(nullptr); }
    void InitPopup() override {}

    hostlib::TNotifyEvent OnShowing;
    hostlib::TNotifyEvent OnShowed;
    hostlib::TNotifyEvent OnClosing;
    hostlib::TNotifyEvent OnClosed;

    // The open popups, first opened first.
    static int OpenPopupCount();
    static TcxCustomPopupWindow* OpenPopup(int index);

protected:
    void Destroy() override;
    void CreateHandle() override;
    void CreateParams(hostlib::TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(hostlib::TMessage& message) override;
    void Deactivate() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void VisibleChanged() override;
    using TcxPopupWindow::MouseEnter;
    using TcxPopupWindow::MouseLeave;
    virtual void MouseEnter(hostlib::TControl*) {}
    virtual void MouseLeave(hostlib::TControl*) {}

private:
    void RecreateAndReopen();
    bool IsTopMostOverOwner();
    void RunModalLoop();
    void WMEraseBkgnd(hostlib::TMessage& m);
    void CMClosePopupWindow(hostlib::TMessage& m);
    void CMMouseEnterLeave(hostlib::TMessage& m);

    hostlib::ObjectPtr<TcxCustomContainerStyle> style_;
    hostlib::TWinControl* ownerControl_ = nullptr;
    bool captureFocus_ = true;
    bool isTopMost_ = false;
    bool modalMode_ = true;
    hostlib::TWinControl* focusedControl_ = nullptr;
    bool justClosed_ = false;
    bool deactivateLocked_ = false;
};

// Replaces the window's procedure for its next message, which is answered
// with 1 and not handled; one window at a time.
void SwallowNextMessage(HWND wnd);

// Unit start-up (the open list and the three hooks of the calling thread)
// and shut-down.
void cxContainerPopupInitialize();
void cxContainerPopupFinalize();
