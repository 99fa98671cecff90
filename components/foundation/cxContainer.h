#pragma once
// The container: the base of every editor control. It paints a border, a
// background and an optional shadow around a client area, takes colours,
// font and border from four state styles, and may host one real window
// control in its client area (the inner control) that does the typing and
// scrolling while the container supplies the frame.

#include "components/foundation/cxContainerStyles.h"
#include "components/foundation/cxControls.h"

class TcxContainer : public TcxControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    void BeforeDestruction() override;
    void Loaded() override;

    hostlib::TWinControl* InnerControl() const { return innerControl_; }
    TcxContainerStyles* Styles() const { return styles_.get(); }
    TcxCustomContainerStyle* Style() const { return styles_->StyleNormal(); }
    void SetStyle(TcxCustomContainerStyle* value) { styles_->SetStyleNormal(value); }
    TcxCustomContainerStyle* StyleFocused() const { return styles_->StyleFocused(); }
    void SetStyleFocused(TcxCustomContainerStyle* value) { styles_->SetStyleFocused(value); }
    TcxCustomContainerStyle* StyleDisabled() const { return styles_->StyleDisabled(); }
    void SetStyleDisabled(TcxCustomContainerStyle* value) { styles_->SetStyleDisabled(value); }
    TcxCustomContainerStyle* StyleHot() const { return styles_->StyleHot(); }
    void SetStyleHot(TcxCustomContainerStyle* value) { styles_->SetStyleHot(value); }
    TcxCustomContainerStyle* GetInternalStyle(TcxContainerStateItem state) const { return styles_->GetStyle(state); }
    void SetInternalStyle(TcxContainerStateItem state, TcxCustomContainerStyle* value) { styles_->SetStyle(state, value); }
    void RestoreStyles() { styles_->RestoreDefaults(); }
    bool GetIsDestroying() const { return IsDestroying() || destroying_; }

    virtual void ContainerStyleChanged(hostlib::TObject* sender);
    virtual bool DefaultParentColor() { return false; }
    virtual TcxContainerStyleClass GetStyleClass() const;
    virtual TcxContainerStyleClass GetStyleExClass() const;
    virtual TcxContainerStylesClass GetStylesClass() const;
    virtual bool IsInplace() const { return false; }
    // Style values the styles of this kind of container do not store.
    virtual TcxContainerStyleValues GetNotPublishedStyleValues() const { return {}; }

protected:
    void Destroy() override;
    void Dispatch(hostlib::TMessage& message) override;
    void ColorChanged() override;
    void FontChanged() override;
    void SetInnerControl(hostlib::TWinControl* value) { innerControl_ = value; }
    bool IsConstructing() const { return constructing_; }

private:
    void SetEchoColor(hostlib::TColor value);
    void SetEchoFont(hostlib::TFont* value);
    void CMParentColorChanged(hostlib::TMessage& m);
    void CMParentFontChanged(hostlib::TMessage& m);

    hostlib::TWinControl* innerControl_ = nullptr;
    hostlib::ObjectPtr<TcxContainerStyles> styles_;
    bool constructing_ = false;
    bool destroying_ = false;
    bool echo_ = false;
};

// Unit start-up and shut-down.
void cxContainerInitialize();
void cxContainerFinalize();
