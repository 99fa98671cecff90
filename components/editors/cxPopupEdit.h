#pragma once
// The popup editor: a drop-down editor whose popup shows a control of the
// application, named by PopupControl, moved into the popup window while it
// is open. It keeps the text editor's lookup over its items but never
// shows them as a list.

#include <optional>

#include "components/editors/cxDropDownEdit.h"
#include "platform/hostlib/visual/control.h"
#include "platform/hostlib/visual/forms.h"

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
    hostlib::TClass GetContainerClass() override;

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

// ---- the editor ----------------------------------------------------------------------

// The popup editor control: while its popup is open, the control its
// properties name lies inside it, filling the client area.
class TcxCustomPopupEdit : public TcxCustomDropDownEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetPropertiesClass() const override;
    // Kinds built on this editor bring properties of their own below the
    // custom popup properties.
    TcxCustomPopupEditProperties* Properties() const
    {
        return static_cast<TcxCustomPopupEditProperties*>(TcxCustomEdit::Properties());
    }
    TcxCustomPopupEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomPopupEditProperties*>(TcxCustomEdit::ActiveProperties());
    }

protected:
    void Destroy() override;
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;
    bool CanDropDown() override;
    // Refuses a control that holds the editor or the popup itself.
    void DoInitPopup() override;
    hostlib::TWinControl* GetPopupFocusedControl() override;
    SIZE GetPopupWindowClientPreferredSize() override;
    void PositionPopupWindowChilds(const RECT& clientRect) override;
    void SetupPopupWindow() override;
    void PopupWindowClosed(hostlib::TObject* sender) override;
    // Move the popup control in and back. Only the control moved in goes
    // back, whatever PopupControl names meanwhile.
    virtual void SavePopupControlData();
    virtual void RestorePopupControlData();

private:
    void CheckPopupControl(hostlib::TControl* control);
    void Watch(hostlib::TComponent* component);
    void Unwatch(hostlib::TComponent* component);

    hostlib::TControl* movedControl_ = nullptr;
    hostlib::TWinControl* savedParent_ = nullptr;
    hostlib::TAlign savedAlign_ = hostlib::alNone;
    RECT savedBounds_{};
    bool savedVisible_ = false;
    std::optional<hostlib::TFormBorderStyle> savedBorderStyle_;
};

// The published popup editor.
class TcxPopupEdit : public TcxCustomPopupEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxPopupEditProperties* Properties() const
    {
        return static_cast<TcxPopupEditProperties*>(TcxCustomPopupEdit::Properties());
    }
    void SetProperties(TcxPopupEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxPopupEditProperties* ActiveProperties()
    {
        return static_cast<TcxPopupEditProperties*>(TcxCustomPopupEdit::ActiveProperties());
    }
};
