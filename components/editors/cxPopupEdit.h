#pragma once
// The popup editor: a drop-down editor whose popup shows a control of the
// application, named by PopupControl, moved into the popup window while it
// is open. It keeps the text editor's lookup over its items but never
// shows them as a list.

#include "components/editors/cxDropDownEdit.h"
#include "platform/hostlib/visual/control.h"

class TcxCustomPopupEditProperties : public TcxCustomDropDownEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void FreeNotification(hostlib::TComponent* sender) override;
    hostlib::TClass GetLookupDataClass() override;
    bool IsLookupDataVisual() override { return false; }
    hostlib::TClass GetPopupWindowClass() override;
    bool PopupWindowCapturesFocus() override { return true; }

    // Not owned; cleared when the control goes.
    hostlib::TControl* PopupControl() const { return popupControl_; }
    void SetPopupControl(hostlib::TControl* value);

protected:
    void Destroy() override;

private:
    hostlib::TControl* popupControl_ = nullptr;
};

// The published settings of the popup editor; activating it opens the popup.
class TcxPopupEditProperties : public TcxCustomPopupEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
};

// The 3-D frame of the popup editor's window has two flat rings inside.
class TcxPopupEditPopupWindowViewInfo : public TcxCustomEditPopupWindowViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DrawBorder(TcxCanvas* canvas, RECT& r) override;
};

class TcxPopupEditPopupWindow : public TcxCustomEditPopupWindow {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetViewInfoClass() const override;
};
