#pragma once
// The radio button the library draws itself: an owner-drawn "BUTTON"
// window painted through the look-and-feel painter or the button theme,
// with hot and pressed states from the mouse; and the radio group, an
// editor whose value is chosen among items shown as such buttons in
// columns inside a group box.

#include <string>

#include "components/editor-catalogue/cxGroupBox.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/hostlib/visual/control_canvas.h"

enum TcxRadioButtonState { rbsDisabled, rbsHot, rbsNormal, rbsPressed };

// The size of a radio mark drawn without visual styles, measured once.
SIZE cxRadioButtonGlyphSize();

class TcxRadioButton : public hostlib::TRadioButton {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;
    void Invalidate() override;

    TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
    void SetLookAndFeel(TcxLookAndFeel* value) { lookAndFeel_->Assign(value); }
    hostlib::TComponent* PopupMenu() const { return popupMenu_; }
    // A TPopupMenu or a component with IcxPopupMenu; anything else is nil.
    void SetPopupMenu(hostlib::TComponent* value);
    bool ParentBackground() const { return parentBackground_; }
    void SetParentBackground(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TcxRadioButtonState State() const { return state_; }
    const RECT& GlyphRect() const { return glyphRect_; }

    virtual RECT CorrectTextRect(const RECT& r, bool native);
    virtual bool DoShowPopupMenu(hostlib::TComponent* menu, int x, int y);
    virtual bool IsInplace() { return false; }
    virtual bool IsNativeStyle();
    virtual void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values);
    virtual void Paint();
    virtual void UpdateState(hostlib::TMouseButton button, hostlib::TShiftState shift, const POINT& p);
    bool Focused() override;

protected:
    void Destroy() override;
    void CreateHandle() override;
    void CreateParams(hostlib::TCreateParams& params) override;
    void Dispatch(hostlib::TMessage& message) override;
    void DoEnter() override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void DoContextPopup(POINT mousePos, bool& handled) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void ShortUpdateState();

private:
    class TrackingCaller : public IcxMouseTrackingCaller {
    public:
        explicit TrackingCaller(TcxRadioButton* owner) : owner_(owner) {}
        void MouseLeave() override { owner_->TrackingEnded(); }

    private:
        TcxRadioButton* owner_;
    };

    void TrackingEnded();
    void StartTracking();
    void SetState(TcxRadioButtonState value);
    void InvalidateGlyph(int inflate);
    void CNDrawItem(hostlib::TMessage& m);
    void CNMeasureItem(hostlib::TMessage& m);
    void WMContextMenu(hostlib::TMessage& m);
    void WMWindowPosChanged(hostlib::TMessage& m);
    void CNKeyDown(hostlib::TMessage& m);
    SIZE PaintGlyphSize(bool native, int themeState);
    void PaintGlyph(bool native, int themeState);
    void PaintCaption(bool native, RECT& textRect);
    void PaintFocus(const RECT& textRect, int flags);
    int TextFlags() const;

    hostlib::ObjectPtr<hostlib::TControlCanvas> canvas_;
    hostlib::ObjectPtr<TcxCanvas> cxCanvas_;
    hostlib::ObjectPtr<TcxLookAndFeel> lookAndFeel_;
    hostlib::TComponent* popupMenu_ = nullptr;
    TcxRadioButtonState state_ = rbsNormal;
    RECT glyphRect_{};
    bool parentBackground_ = true;
    bool wordWrap_ = false;
    TrackingCaller trackingCaller_{this};
};

// ---- radio group -------------------------------------------------------------------

// The message a host sends to focus the button of an item (wParam).
inline constexpr UINT CM_FOCUSRADIOBUTTON = 0x806A;

class TcxRadioGroupItem : public TcxButtonGroupItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TCollection* collection) override;
    void Assign(hostlib::TPersistent* source) override;
    const hostlib::Variant& Value() const { return value_; }
    void SetValue(const hostlib::Variant& value);
    bool IsValueStored() const { return !value_.IsNull(); }

private:
    hostlib::Variant value_ = hostlib::Variant::Null();
};

class TcxRadioGroupItems : public TcxButtonGroupItems {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxRadioGroupItem* Items(int index) const
    {
        return static_cast<TcxRadioGroupItem*>(hostlib::TCollection::Items(index));
    }
};

class TcxCustomRadioGroupProperties : public TcxCustomButtonGroupProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    bool CompareEditValue() override { return true; }
    hostlib::TClass GetViewDataClass() override;
    bool HasDisplayValue() override { return true; }
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewInfoClass() override;
    bool CompareDisplayValues(const hostlib::Variant& value1, const hostlib::Variant& value2) override;
    std::string GetDisplayText(const hostlib::Variant& editValue, bool fullText = false) override;
    TcxEditSupportedOperations GetSupportedOperations() override;
    bool IsResetEditClass() override { return true; }
    // The matching item's index, -1 for none.
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    TcxButtonGroupItems* CreateItems() override;
    // Columns, at most the item count, at least 1.
    int GetColumnCount() override;

    // The first item matching the value: by caption (case-sensitive) when
    // its Value is Null, else by loose equality.
    int GetRadioGroupItemIndex(const hostlib::Variant& value);

    const std::string& DefaultCaption() const { return defaultCaption_; }
    void SetDefaultCaption(const std::string& value);
    bool IsDefaultCaptionStored() const;
    const hostlib::Variant& DefaultValue() const { return defaultValue_; }
    void SetDefaultValue(const hostlib::Variant& value);
    bool IsDefaultValueStored() const { return !defaultValue_.IsNull(); }
    TcxRadioGroupItems* Items() const { return static_cast<TcxRadioGroupItems*>(TcxCustomButtonGroupProperties::Items()); }
    void SetItems(TcxRadioGroupItems* value) { TcxCustomButtonGroupProperties::SetItems(value); }

private:
    std::string defaultCaption_;
    hostlib::Variant defaultValue_ = hostlib::Variant::Null();
};

// The published kind, "RadioGroup" in the registered list.
class TcxRadioGroupProperties : public TcxCustomRadioGroupProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxCustomRadioGroupViewInfo : public TcxButtonGroupViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // Paints a cell's or a paint copy's radio glyph and caption.
    void DrawButton(TcxCanvas* canvas, int buttonVisibleIndex) override;

    int ItemIndex = -1;

private:
    RECT GlyphRect(TcxEditButtonViewInfo* button, const SIZE& glyph) const;
    void DrawButtonCaption(TcxCanvas* canvas, TcxGroupBoxButtonViewInfo* button, const RECT& glyph);
};

class TcxCustomRadioGroupViewData : public TcxButtonGroupViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    void EditValueToDrawValue(TcxCanvas* canvas, const hostlib::Variant& editValue,
                              TcxCustomEditViewInfo* viewInfo) override;
    void GetEditMetrics(bool autoHeight, TcxCanvas* canvas, TcxEditMetrics& metrics) override;
    void CalculateButtonNativeState(TcxCustomEditViewInfo* viewInfo, TcxGroupBoxButtonViewInfo* button) override;
    TcxCustomRadioGroupProperties* GetRadioProperties() const
    {
        return static_cast<TcxCustomRadioGroupProperties*>(Properties());
    }
};

// The theme state of a radio glyph by button state and check.
int RadioGroupButtonThemeState(TcxEditButtonState state, bool checked);

class TcxCustomRadioGroup;

class TcxCustomRadioGroupButton : public TcxRadioButton {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    bool IsInplace() override;
    bool IsNativeStyle() override;
    bool CanFocus() override;
    hostlib::TPopupMenu* GetPopupMenu() override;
    TcxCustomRadioGroup* RadioGroup() const;
    int ButtonIndex() const;
    // Checks or unchecks without the button's click.
    void SetCheckedSilently(bool value);

protected:
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void DefaultHandler(hostlib::TMessage& message) override;
    void Click() override;
    void DoEnter() override;
    void DoExit() override;
    void KeyPress(char& key) override;

private:
    void CNCommand(hostlib::TMessage& m);
    void SelectOnEnter();

    bool inCommand_ = false;
};

class TcxCustomRadioGroup : public TcxCustomButtonGroup {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomButtonGroup::Construct;
    hostlib::TClass GetPropertiesClass() const override;
    void SetDragMode(hostlib::TDragMode value) override;
    void SetDragKind(hostlib::TDragKind value) override;
    bool IsInternalControl(hostlib::TControl* control) override;
    bool TabsNeeded() override { return IsInplace(); }
    void InternalSetEditValue(const hostlib::Variant& value, bool validateEditValue) override;
    void Activate(TcxCustomEditData*& editData) override;
    void Clear() override { SetItemIndex(-1); }
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue,
                          bool editFocused) override;
    hostlib::TWinControl* GetButtonInstance() override;
    void SynchronizeButtonsStyle() override;
    void UpdateButtons() override;
    bool IsButtonDC(HDC dc) override;
    void GetTabOrderList(std::vector<hostlib::TWinControl*>& list) override;

    int ItemIndex() const { return itemIndex_; }
    // Clamped to the buttons; by code the same index clears Modified.
    void SetItemIndex(int value);
    bool IsUpdatingButtons() const { return updating_; }
    // Used by the buttons as they select on focus.
    void SetUserChangeFlag(bool value) { SetUserChange(value); }
    void PostFromButton();
    TcxCustomRadioGroupProperties* ActiveProperties()
    {
        return static_cast<TcxCustomRadioGroupProperties*>(TcxCustomEdit::ActiveProperties());
    }
    TcxCustomRadioGroupProperties* Properties() const
    {
        return static_cast<TcxCustomRadioGroupProperties*>(TcxCustomEdit::Properties());
    }
    void SetProperties(TcxCustomRadioGroupProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomRadioGroupButton* RadioButton(int index) const
    {
        return static_cast<TcxCustomRadioGroupButton*>(Buttons(index));
    }

protected:
    void Loaded() override;
    void CursorChanged() override;
    void ParentBackgroundChanged() override;
    void Dispatch(hostlib::TMessage& message) override;

private:
    void CMDialogChar(hostlib::TMessage& m);
    void CMFocusRadioButton(hostlib::TMessage& m);
    void CheckButton(int index, bool checked);

    int itemIndex_ = -1;
    int loadedItemIndex_ = -1;
    bool updating_ = false;
};

class TcxRadioGroup : public TcxCustomRadioGroup {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// Measures the radio glyph and registers the published kind (counted).
void cxRadioGroupInitialize();
void cxRadioGroupFinalize();
