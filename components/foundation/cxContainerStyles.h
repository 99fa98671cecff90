#pragma once
// The styles of a container: four per control, one for each state (normal,
// focused, disabled, hot). The normal style is the base: it owns the font,
// the look and feel and the link to a style controller; the other three
// keep only the values that may differ by state. A value comes from the
// style when assigned there, else from the controller's style of the same
// state, else from a default of the state. A style controller lends its
// four styles to every container that names it; without one named, the
// program's default controller takes its place.

#include <array>
#include <string>
#include <vector>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/hostlib/core/component.h"
#include "platform/hostlib/visual/graphics.h"

enum TcxContainerStateItem { csNormal, csActive, csDisabled, csHotTrack };
using TcxContainerState = hostlib::TSet<TcxContainerStateItem>;
const hostlib::TEnumInfo& EnumTypeInfo(TcxContainerStateItem*);

enum TcxContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11 };
const hostlib::TEnumInfo& EnumTypeInfo(TcxContainerBorderStyle*);

// Indexes 0 to 31; descendants add their values from index 10 on.
enum TcxContainerStyleValue : int {
    csvBorderColor,
    csvBorderStyle,
    csvColor,
    csvEdges,
    csvFont,
    csvHotTrack,
    csvShadow,
    csvTextColor,
    csvTextStyle,
    csvTransparentBorder,
};
using TcxContainerStyleValues = hostlib::TSet<TcxContainerStyleValue>;
const hostlib::TEnumInfo& EnumTypeInfo(TcxContainerStyleValue*);

inline constexpr int cxContainerStyleValueCount = 10;
extern const std::array<const char*, cxContainerStyleValueCount> cxContainerStyleValueNameA;

class TcxContainer;
class TcxStyleController;

class TcxCustomContainerStyle : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // A base style, or with isHolder a carrier of values its owner feeds in.
    virtual void Construct(hostlib::TPersistent* owner, bool isHolder);
    // A state style of baseStyle; the base style itself for csNormal.
    void Construct(hostlib::TPersistent* owner, TcxCustomContainerStyle* baseStyle, TcxContainerStateItem state);
    void BeforeDestruction() override;
    // From any container style; anything else raises the conversion error.
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override { return owner_; }

    // ---- values (resolved)
    TcxContainerStyleValues AssignedValues() const;
    void SetAssignedValues(TcxContainerStyleValues value);
    hostlib::TColor BorderColor() const;
    void SetBorderColor(hostlib::TColor value);
    TcxContainerBorderStyle BorderStyle() const;
    void SetBorderStyle(TcxContainerBorderStyle value);
    hostlib::TColor Color() const { return GetColor(); }
    void SetColor(hostlib::TColor value);
    TcxBorders Edges() const;
    void SetEdges(TcxBorders value);
    hostlib::TFont* Font() const;
    void SetFont(hostlib::TFont* value);
    bool HotTrack() const;
    void SetHotTrack(bool value);
    bool Shadow() const;
    void SetShadow(bool value);
    hostlib::TColor TextColor() const { return GetTextColor(); }
    void SetTextColor(hostlib::TColor value);
    hostlib::TFontStyles TextStyle() const { return GetTextStyle(); }
    void SetTextStyle(hostlib::TFontStyles value);
    bool TransparentBorder() const;
    void SetTransparentBorder(bool value);
    TcxLookAndFeel* LookAndFeel() const { return GetLookAndFeel(); }
    void SetLookAndFeel(TcxLookAndFeel* value);
    TcxStyleController* StyleController() const { return BaseGetStyleController(); }
    void SetStyleController(TcxStyleController* value) { BaseSetStyleController(value); }
    TcxContainerStateItem State() const { return state_; }

    // ---- operations descendants refine
    virtual void Changed();
    virtual void ControllerChangedNotification(TcxStyleController* controller);
    virtual void ControllerFreeNotification(TcxStyleController* controller);
    virtual hostlib::TColor DefaultBorderColor() const;
    virtual TcxContainerBorderStyle DefaultBorderStyle() const;
    virtual hostlib::TColor DefaultColor() const;
    virtual TcxBorders DefaultEdges() const { return cxBordersAll; }
    virtual bool DefaultHotTrack() const { return true; }
    virtual bool DefaultShadow() const { return false; }
    virtual hostlib::TColor DefaultTextColor() const;
    virtual hostlib::TFontStyles DefaultTextStyle() const;
    virtual bool DefaultTransparentBorder() const { return true; }
    virtual void FontChanged(hostlib::TObject* sender);
    virtual hostlib::TColor GetColor() const;
    virtual TcxStyleController* GetDefaultStyleController() const;
    // Like GetColor, but an assigned colour wins over ParentColor.
    virtual hostlib::TColor GetStyleColor() const;
    virtual hostlib::TColor GetTextColor() const;
    virtual hostlib::TFontStyles GetTextStyle() const;
    virtual int GetStyleValueCount() const { return cxContainerStyleValueCount; }
    virtual bool GetStyleValueName(int index, std::string& name) const;
    virtual bool HasBorder() const;
    // Whether the value is assigned here or along the controller chain.
    virtual bool IsValueAssigned(int index) const;
    virtual void RestoreDefaults();

    // The first index whose name matches, case-insensitive.
    bool GetStyleValue(const std::string& name, int& index) const;
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    // The resolved font with the resolved text colour and style.
    hostlib::TFont* GetVisibleFont();
    TcxCustomContainerStyle* GetBaseStyle() { return baseStyle_ ? baseStyle_ : this; }
    const TcxCustomContainerStyle* GetBaseStyle() const { return baseStyle_ ? baseStyle_ : this; }
    bool IsBaseStyle() const { return baseStyle_ == nullptr; }
    bool IsHolder() const { return isHolder_; }
    TcxContainer* GetContainer() const;
    TcxLookAndFeel* GetLookAndFeel() const { return GetBaseStyle()->lookAndFeel_.get(); }
    TcxStyleController* GetActiveStyleController() const { return GetBaseStyle()->controller_; }
    // The controller in force, nullptr when that is the default controller.
    TcxStyleController* BaseGetStyleController() const;
    // nullptr means the default controller; a link closing a cycle is ignored.
    void BaseSetStyleController(TcxStyleController* value);
    bool IsDestroying() const { return destroying_; }
    void LockFontAssignedValue(bool lock);
    bool IsFontAssignedValueLocked() const { return fontAssignedLock_ > 0; }
    // Takes the font from the controller chain or back to the defaults,
    // unless the font is assigned here.
    void UpdateFont();
    void RestoreFont(hostlib::TFont* font);

    bool IsBorderColorStored() const { return IsStored(csvBorderColor); }
    bool IsBorderStyleStored() const { return IsStored(csvBorderStyle); }
    bool IsColorStored() const { return IsStored(csvColor); }
    bool IsEdgesStored() const { return IsStored(csvEdges); }
    bool IsFontStored() const { return IsStored(csvFont); }
    bool IsHotTrackStored() const { return IsStored(csvHotTrack); }
    bool IsShadowStored() const { return IsStored(csvShadow); }
    bool IsTextColorStored() const { return IsStored(csvTextColor); }
    bool IsTextStyleStored() const { return IsStored(csvTextStyle); }
    bool IsTransparentBorderStored() const { return IsStored(csvTransparentBorder); }

    hostlib::TNotifyEvent OnChanged;

protected:
    void Destroy() override;
    virtual void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values);
    bool RawAssigned(TcxContainerStyleValue value) const { return assignedValues_.Contains(value); }
    // The raw set, without the holder's "everything".
    TcxContainerStyleValues RawAssignedValues() const { return assignedValues_; }
    void IncludeAssigned(TcxContainerStyleValue value) { assignedValues_.Include(value); }
    void ExcludeAssigned(TcxContainerStyleValue value) { assignedValues_.Exclude(value); }
    // The controller's style of this style's state, nullptr without one.
    TcxCustomContainerStyle* ControllerStyle() const;

private:
    friend class TcxStyleController;
    friend class TcxContainer;

    // An assigned value of this style or along the controller chain.
    template <class V>
    bool Lookup(TcxContainerStyleValue value, V TcxCustomContainerStyle::*field, V& result) const;
    bool InternalGetFont(hostlib::TFont*& result) const;
    template <class V>
    void SetValue(TcxContainerStyleValue value, V TcxCustomContainerStyle::*field, V newValue);
    bool IsStored(TcxContainerStyleValue value) const;
    bool IsParentColorUsed(bool inplaceMatters) const;
    bool LeadsBackHere(TcxStyleController* controller) const;
    void RestoreBaseDefaults();
    void AssignFont(const TcxCustomContainerStyle& source);
    void CheckChanges();

    hostlib::TPersistent* owner_ = nullptr;
    bool isHolder_ = false;
    TcxContainerStateItem state_ = csNormal;
    TcxCustomContainerStyle* baseStyle_ = nullptr;
    TcxContainerStyleValues assignedValues_;
    hostlib::TColor borderColor_ = hostlib::clDefault;
    TcxContainerBorderStyle borderStyle_ = cbsNone;
    TcxBorders edges_ = cxBordersAll;
    bool hotTrack_ = true;
    bool shadow_ = false;
    bool transparentBorder_ = true;
    hostlib::TColor color_ = hostlib::clDefault;
    hostlib::TColor textColor_ = hostlib::clDefault;
    hostlib::TFontStyles textStyle_;
    // Owned by a base style; held by reference in holder mode.
    hostlib::ObjectPtr<hostlib::TFont> ownFont_;
    hostlib::TFont* font_ = nullptr;
    hostlib::ObjectPtr<hostlib::TFont> visibleFont_;
    hostlib::ObjectPtr<TcxLookAndFeel> lookAndFeel_;
    TcxStyleController* controller_ = nullptr;
    int updateCount_ = 0;
    bool changed_ = false;
    bool destroying_ = false;
    int fontAssignedLock_ = 0;
};
using TcxContainerStyleClass = hostlib::TClass;

class TcxContainerStyle : public TcxCustomContainerStyle {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// The state styles publish only what they keep themselves.
class TcxContainerStyleEx : public TcxCustomContainerStyle {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// The four styles of a container or controller, by state.
class TcxContainerStyles : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TPersistent* owner, TcxContainerStyleClass styleClass,
                           TcxContainerStyleClass styleExClass);

    TcxCustomContainerStyle* GetStyle(TcxContainerStateItem state) const { return styles_[state].get(); }
    // Assigns into the existing style.
    void SetStyle(TcxContainerStateItem state, TcxCustomContainerStyle* value) { styles_[state]->Assign(value); }
    TcxCustomContainerStyle* StyleNormal() const { return GetStyle(csNormal); }
    void SetStyleNormal(TcxCustomContainerStyle* value) { SetStyle(csNormal, value); }
    TcxCustomContainerStyle* StyleFocused() const { return GetStyle(csActive); }
    void SetStyleFocused(TcxCustomContainerStyle* value) { SetStyle(csActive, value); }
    TcxCustomContainerStyle* StyleDisabled() const { return GetStyle(csDisabled); }
    void SetStyleDisabled(TcxCustomContainerStyle* value) { SetStyle(csDisabled, value); }
    TcxCustomContainerStyle* StyleHot() const { return GetStyle(csHotTrack); }
    void SetStyleHot(TcxCustomContainerStyle* value) { SetStyle(csHotTrack, value); }
    // The same handler in all four.
    void SetOnChanged(const hostlib::TNotifyEvent& value);
    void RestoreDefaults();

protected:
    void Destroy() override;

private:
    std::array<hostlib::ObjectPtr<TcxCustomContainerStyle>, 4> styles_;
};
using TcxContainerStylesClass = hostlib::TClass;

class TcxStyleController : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    void BeforeDestruction() override;
    void Loaded() override;

    virtual void AddListener(TcxCustomContainerStyle* style);
    virtual TcxContainerStyleClass GetStyleClass() const;
    virtual TcxContainerStyleClass GetStyleExClass() const;
    virtual TcxContainerStylesClass GetStylesClass() const;
    virtual void RemoveListener(TcxCustomContainerStyle* style);

    // OnStyleChanged, then every listener.
    void Changed();
    void StyleChanged(hostlib::TObject* sender) { (void)sender; Changed(); }
    TcxCustomContainerStyle* GetStyle() const { return styles_->StyleNormal(); }
    TcxCustomContainerStyle* GetInternalStyle(TcxContainerStateItem state) const { return styles_->GetStyle(state); }
    void SetInternalStyle(TcxContainerStateItem state, TcxCustomContainerStyle* value);
    void RestoreStyles() { styles_->RestoreDefaults(); }
    bool IsDestruction() const { return destruction_; }
    const std::vector<TcxCustomContainerStyle*>& Listeners() const { return listeners_; }

    hostlib::TNotifyEvent OnStyleChanged;

protected:
    void Destroy() override;

private:
    std::vector<TcxCustomContainerStyle*> listeners_;
    hostlib::ObjectPtr<TcxContainerStyles> styles_;
    bool destruction_ = false;
};

// Set by the unit that makes the default controller; nullptr until then.
extern TcxStyleController* cxContainerDefaultStyleController;
TcxStyleController* DefaultContainerStyleController();

// Unit start-up (registers the controller class) and shut-down.
void cxContainerStylesInitialize();
void cxContainerStylesFinalize();
