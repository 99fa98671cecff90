#pragma once
// The styles of an editor: the container styles plus the button style, the
// button transparency, the popup border style and the popup's close
// button. A value comes from the style when assigned there, else from the
// style controller (recursively), else from a default; a state style falls
// back to the normal style. Editors that are not in place use the default
// edit style controller when none is attached.

#include <array>
#include <string>

#include "components/editors/cxEdit.h"
#include "components/foundation/cxContainerStyles.h"

inline constexpr auto csvButtonStyle = static_cast<TcxContainerStyleValue>(10);
inline constexpr auto csvButtonTransparency = static_cast<TcxContainerStyleValue>(11);
inline constexpr auto csvPopupBorderStyle = static_cast<TcxContainerStyleValue>(12);
inline constexpr int cxEditStyleValueCount = 13;
// The names of the values 10 to 12.
extern const std::array<const char*, 3> cxEditStyleValueNameA;

class TcxEditStyleController;

class TcxCustomEditStyle : public TcxCustomContainerStyle {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxCustomContainerStyle::Construct;
    void Construct(hostlib::TPersistent* owner, bool isHolder) override;
    void Assign(hostlib::TPersistent* source) override;
    TcxStyleController* GetDefaultStyleController() const override;
    int GetStyleValueCount() const override { return cxEditStyleValueCount; }
    bool GetStyleValueName(int index, std::string& name) const override;
    bool IsValueAssigned(int index) const override;

    virtual TcxEditButtonStyle DefaultButtonStyle() const;
    virtual TcxEditButtonTransparency DefaultButtonTransparency() const;
    virtual TcxEditPopupBorderStyle DefaultPopupBorderStyle() const;

    TcxEditButtonStyle ButtonStyle() const;
    void SetButtonStyle(TcxEditButtonStyle value);
    TcxEditButtonTransparency ButtonTransparency() const;
    // On a state style, the normal style's value changes.
    void SetButtonTransparency(TcxEditButtonTransparency value);
    TcxEditPopupBorderStyle PopupBorderStyle() const;
    void SetPopupBorderStyle(TcxEditPopupBorderStyle value);
    bool PopupCloseButton() const;
    void SetPopupCloseButton(bool value);
    TcxEditBorderStyle BorderStyle() const
    {
        return static_cast<TcxEditBorderStyle>(TcxCustomContainerStyle::BorderStyle());
    }
    void SetBorderStyle(TcxEditBorderStyle value)
    {
        TcxCustomContainerStyle::SetBorderStyle(static_cast<TcxContainerBorderStyle>(value));
    }
    TcxEditStyleController* StyleController() const;
    void SetStyleController(TcxEditStyleController* value);

    // Found here or along the controller chain.
    bool InternalGetButtonStyle(TcxEditButtonStyle& value) const;
    bool InternalGetButtonTransparency(TcxEditButtonTransparency& value) const;
    bool InternalGetPopupBorderStyle(TcxEditPopupBorderStyle& value) const;

    bool IsBorderStyleStored() const { return IsEditValueStored(csvBorderStyle); }
    bool IsButtonStyleStored() const { return IsEditValueStored(csvButtonStyle); }
    bool IsButtonTransparencyStored() const { return IsEditValueStored(csvButtonTransparency); }
    bool IsPopupBorderStyleStored() const { return IsEditValueStored(csvPopupBorderStyle); }
    // The owner when it is an editor.
    TcxCustomEdit* GetEdit() const;
    TcxCustomEditStyle* GetEditBaseStyle() const;

private:
    template <class V>
    bool InternalGet(TcxContainerStyleValue index, V TcxCustomEditStyle::*field, V& value) const;
    bool IsEditValueStored(TcxContainerStyleValue index) const;

    TcxEditButtonStyle buttonStyle_ = btsDefault;
    TcxEditButtonTransparency buttonTransparency_ = ebtNone;
    TcxEditPopupBorderStyle popupBorderStyle_ = epbsDefault;
    bool popupCloseButton_ = true;
};
using TcxCustomEditStyleClass = hostlib::TClass;

// The normal-state style of an editor.
class TcxEditStyle : public TcxCustomEditStyle {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// The focused, disabled and hot styles.
class TcxEditStyleEx : public TcxCustomEditStyle {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxEditStyleController : public TcxStyleController {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxContainerStyleClass GetStyleClass() const override;
    TcxContainerStyleClass GetStyleExClass() const override;

    TcxCustomEditStyle* GetInternalStyle(TcxContainerStateItem state) const;
    void SetInternalStyle(TcxContainerStateItem state, TcxCustomEditStyle* value)
    {
        TcxStyleController::SetInternalStyle(state, value);
    }
    TcxEditStyle* Style() const;
    void SetStyle(TcxEditStyle* value) { SetInternalStyle(csNormal, value); }
    TcxEditStyleEx* StyleFocused() const;
    void SetStyleFocused(TcxEditStyleEx* value) { SetInternalStyle(csActive, value); }
    TcxEditStyleEx* StyleDisabled() const;
    void SetStyleDisabled(TcxEditStyleEx* value) { SetInternalStyle(csDisabled, value); }
    TcxEditStyleEx* StyleHot() const;
    void SetStyleHot(TcxEditStyleEx* value) { SetInternalStyle(csHotTrack, value); }
};

// Puts the default edit style controller on a form: every property reads
// and writes the global controller's.
class TcxDefaultEditStyleController : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    void Loaded() override;

    TcxCustomEditStyle* GetInternalStyle(TcxContainerStateItem state) const;
    void SetInternalStyle(TcxContainerStateItem state, TcxCustomEditStyle* value);
    TcxEditStyle* Style() const;
    void SetStyle(TcxEditStyle* value) { SetInternalStyle(csNormal, value); }
    TcxEditStyleEx* StyleFocused() const;
    void SetStyleFocused(TcxEditStyleEx* value) { SetInternalStyle(csActive, value); }
    TcxEditStyleEx* StyleDisabled() const;
    void SetStyleDisabled(TcxEditStyleEx* value) { SetInternalStyle(csDisabled, value); }
    TcxEditStyleEx* StyleHot() const;
    void SetStyleHot(TcxEditStyleEx* value) { SetInternalStyle(csHotTrack, value); }
    hostlib::TNotifyEvent OnStyleChanged() const;
    void SetOnStyleChanged(const hostlib::TNotifyEvent& value);
    void RestoreStyles();
    // Live instances.
    static int InstanceCount();

protected:
    void Destroy() override;
};

// The four style properties the editors and the style controllers publish,
// in the order their form resources store them.
template <class C>
void PublishEditStyles(hostlib::ClassBuilder<C>& b)
{
    b.Property("Style", &C::Style, &C::SetStyle);
    b.Property("StyleDisabled", &C::StyleDisabled, &C::SetStyleDisabled);
    b.Property("StyleFocused", &C::StyleFocused, &C::SetStyleFocused);
    b.Property("StyleHot", &C::StyleHot, &C::SetStyleHot);
}

// The global default edit style controller (also the container library's
// default controller), created on first use.
TcxEditStyleController* DefaultEditStyleController();
// Frees it and clears the container library's reference.
void FreeDefaultEditStyleController();
