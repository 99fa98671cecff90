#pragma once
// The real list box that list-type editors place inside their container:
// the native list keeps items, selection, keys and owner drawing, while two
// look-and-feel scroll bars lie on the container exactly over the native
// bars and follow them. Keys, mouse, drag and the context menu go to the
// container first, so the container and its list act as one control.

#include "components/foundation/cxContainer.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxScrollBar.h"
#include "platform/hostlib/stdctrls/listbox.h"

class TcxCustomInnerListBox : public hostlib::TListBox, public IcxContainerInnerControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;

    // Nothing while the list stands alone; set by the editor that makes it.
    TcxContainer* Container() const { return container_; }
    void SetContainer(TcxContainer* value);
    TcxCanvas* cxCanvas() const { return cxCanvas_.get(); }
    TcxScrollBar* HScrollBar() const { return hScrollBar_; }
    TcxScrollBar* VScrollBar() const { return vScrollBar_; }
    TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
    // Copies the values.
    void SetLookAndFeel(TcxLookAndFeel* value) { lookAndFeel_->Assign(value); }

    // Whether a corner of the item lies inside the list's bounds.
    bool ItemVisible(int index) const;
    // The corner between the two external bars in the list's window
    // coordinates; empty while either bar is hidden.
    RECT GetSizeGripRect() const;

    hostlib::TWinControl* GetControl() override { return this; }
    TcxContainer* GetControlContainer() override { return container_; }

    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void DefaultHandler(hostlib::TMessage& message) override;
    hostlib::TPopupMenu* GetPopupMenu() override;
    void Click() override;
    void DragDrop(hostlib::TObject* source, int x, int y) override;
    void DragOver(hostlib::TObject* source, int x, int y, hostlib::TDragState state, bool& accept) override;

    virtual void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues);
    // Lays the external bars over the native ones and gives them the
    // native bars' range, page and position.
    virtual void SetExternalScrollBarsParameters();

protected:
    void Destroy() override;
    void DblClick() override;
    bool DoMouseWheel(hostlib::TShiftState shift, int wheelDelta, POINT mousePos) override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    // Told with the control the mouse entered or left (the list itself when
    // the message names none).
    virtual void MouseEnter(hostlib::TControl*) {}
    virtual void MouseLeave(hostlib::TControl* control);
    using hostlib::TListBox::MouseEnter;
    using hostlib::TListBox::MouseLeave;

    bool IsDestroying() const { return ComponentState().Contains(hostlib::csDestroying); }

private:
    void CreateScrollBars();
    TcxScrollBar* CreateScrollBar(hostlib::TScrollBarKind kind);
    void HScrollHandler(hostlib::TObject* sender, hostlib::TScrollCode code, int& position);
    void VScrollHandler(hostlib::TObject* sender, hostlib::TScrollCode code, int& position);
    void NativeScroll(UINT msg, int bar, hostlib::TScrollCode code, int& position, TcxScrollBar* scrollBar);
    void LookAndFeelChangeHandler(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues);
    void PlaceScrollBar(TcxScrollBar* bar, LONG objectId);
    void SetScrollBarParams(TcxScrollBar* bar, int nativeBar);
    bool IsScrollBarsMessage(const hostlib::TMessage& m) const;
    bool IsContainerAutoDrag() const;
    bool BothScrollBarsVisible() const;
    // One per message of Dispatch.
    void WMLButtonDown(hostlib::TMessage& m);
    void WMLButtonDblClk(hostlib::TMessage& m);
    void WMGetDlgCode(hostlib::TMessage& m);
    void WMSetFocus(hostlib::TMessage& m);
    void WMKillFocus(hostlib::TMessage& m);
    void WMNCPaint(hostlib::TMessage& m);
    void WMNCCalcSize(hostlib::TMessage& m);
    void WMWindowPosChanged(hostlib::TMessage& m);
    void CMMouseEnterLeave(hostlib::TMessage& m);

    TcxContainer* container_ = nullptr;
    hostlib::ObjectPtr<TcxCanvas> cxCanvas_;
    TcxScrollBar* hScrollBar_ = nullptr;
    TcxScrollBar* vScrollBar_ = nullptr;
    hostlib::ObjectPtr<TcxLookAndFeel> lookAndFeel_;
    int scrollBarsLockCount_ = 0;
    bool scrollBarsCalculating_ = false;
};
