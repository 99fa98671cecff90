#pragma once
// The radio button the library draws itself: an owner-drawn "BUTTON"
// window painted through the look-and-feel painter or the button theme,
// with hot and pressed states from the mouse.

#include <string>

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
