#pragma once
// The spin editor: a numeric masked editor whose value steps up and down by
// a fixed increment with two buttons (four with the fast ones), the arrow
// and page keys and the wheel, kept as an integer or a float, optionally in
// a range that it may wrap around.

#include <string>

#include "components/editors/cxMaskEdit.h"
#include "platform/hostlib/visual/timer.h"

enum TcxSpinEditButton { sebBackward, sebForward, sebFastBackward, sebFastForward };
enum TcxSpinEditButtonsPosition { sbpHorzLeftRight, sbpHorzRight, sbpVert };
enum TcxSpinEditPressedState { epsNone, epsDown, epsUp, epsFastDown, epsFastUp };
enum TcxSpinEditValueType { vtInt, vtFloat };
// What a step that leaves the range does: refused, stopped at the bound or
// wrapped around.
enum TcxSpinEditBoundsCheckingKind { bckNone, bckExtendToBound, bckCircular };
const hostlib::TEnumInfo& EnumTypeInfo(TcxSpinEditButton*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxSpinEditButtonsPosition*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxSpinEditPressedState*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxSpinEditValueType*);

inline constexpr TcxResourceString cxSSpinEditInvalidNumericValue{64340, "Invalid numeric value"};

// Text that is no number: the handler may give a value or an error.
using TcxSpinEditGetValueEvent =
    hostlib::Event<hostlib::TObject*, const std::string&, hostlib::Variant&, std::string&, bool&>;

class TcxCustomSpinEdit;
class TcxCustomSpinEditProperties;

class TcxSpinEditButtons : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TPersistent* owner) { owner_ = owner; }
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override { return owner_; }

    TcxSpinEditButtonsPosition Position() const { return position_; }
    void SetPosition(TcxSpinEditButtonsPosition value);
    bool ShowFastButtons() const { return showFastButtons_; }
    void SetShowFastButtons(bool value);

private:
    void OwnerChanged();

    hostlib::TPersistent* owner_ = nullptr;
    TcxSpinEditButtonsPosition position_ = sbpVert;
    bool showFastButtons_ = false;
};

// Adds whether the value type was set explicitly.
class TcxSpinEditPropertiesValues : public TcxTextEditPropertiesValues {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void RestoreDefaults() override;

    bool ValueType() const { return valueType_; }
    void SetValueType(bool value);
    // Set without telling anyone (the properties notify themselves).
    void SetValueTypeDirectly(bool value) { valueType_ = value; }

private:
    bool valueType_ = false;
};

class TcxCustomSpinEditProperties : public TcxCustomMaskEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void Changed() override;
    hostlib::TClass GetAssignedValuesClass() override;
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewDataClass() override;
    hostlib::TClass GetViewInfoClass() override;
    TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool isInplace) override;
    bool IsEditValueValid(hostlib::Variant& editValue, bool editFocused) override;
    void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* edit = nullptr) override;
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;
    std::string DefaultFocusedDisplayValue() override;
    bool IsEditValueNumeric() override { return true; }
    bool IsDisplayValueValid(hostlib::Variant& displayValue, bool editFocused) override;

    virtual bool ExtendValueUpToBound() { return true; }
    virtual TcxSpinEditBoundsCheckingKind GetBoundsCheckingKind();
    virtual double InternalMaxValue();
    virtual double InternalMinValue();
    virtual bool IsDisplayValueNumeric() { return true; }
    virtual hostlib::Variant PrepareValue(const hostlib::Variant& value);
    virtual bool PreserveSelection() { return false; }

    // The number rounded half to even for vtInt.
    double DoubleAsValueType(double value, TcxSpinEditValueType valueType);
    bool IsValueBoundsValid(long double value);
    hostlib::Variant ExtendedToCurrentValueType(long double value);
    hostlib::Variant VarToCurrentValueType(const hostlib::Variant& value);
    // Numbers in the current value type; anything else unchanged.
    hostlib::Variant SetVariantType(const hostlib::Variant& value);

    TcxSpinEditPropertiesValues* AssignedValues() const
    {
        return static_cast<TcxSpinEditPropertiesValues*>(TcxCustomMaskEditProperties::AssignedValues());
    }
    void SetAssignedValues(TcxSpinEditPropertiesValues* value) { TcxCustomMaskEditProperties::SetAssignedValues(value); }
    TcxSpinEditButtons* SpinButtons() const { return spinButtons_.get(); }
    void SetSpinButtons(TcxSpinEditButtons* value) { spinButtons_->Assign(value); }
    bool CanEdit() const { return canEdit_; }
    void SetCanEdit(bool value) { canEdit_ = value; }
    bool Circular() const { return circular_; }
    void SetCircular(bool value);
    double Increment() const { return increment_; }
    void SetIncrement(double value) { increment_ = value; }
    bool IsIncrementStored() const { return increment_ != 1.0; }
    double LargeIncrement() const { return largeIncrement_; }
    void SetLargeIncrement(double value) { largeIncrement_ = value; }
    bool IsLargeIncrementStored() const { return largeIncrement_ != 10.0; }
    bool ExceptionOnInvalidInput() const { return exceptionOnInvalidInput_; }
    void SetExceptionOnInvalidInput(bool value) { exceptionOnInvalidInput_ = value; }
    bool UseCtrlIncrement() const { return useCtrlIncrement_; }
    void SetUseCtrlIncrement(bool value) { useCtrlIncrement_ = value; }
    TcxSpinEditValueType GetValueType();
    TcxSpinEditValueType ValueType() const { return const_cast<TcxCustomSpinEditProperties*>(this)->GetValueType(); }
    void SetValueType(TcxSpinEditValueType value);
    bool IsValueTypeStored() const { return AssignedValues()->ValueType(); }

    TcxSpinEditGetValueEvent OnGetValue;

protected:
    void Destroy() override;

private:
    void SyncFastButtons();

    hostlib::ObjectPtr<TcxSpinEditButtons> spinButtons_;
    bool canEdit_ = true;
    bool circular_ = false;
    double increment_ = 1.0;
    double largeIncrement_ = 10.0;
    bool exceptionOnInvalidInput_ = false;
    bool useCtrlIncrement_ = false;
    TcxSpinEditValueType valueType_ = vtInt;
};

// The published settings (Circular stays unpublished).
class TcxSpinEditProperties : public TcxCustomSpinEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// ---- view data and view info -----------------------------------------------------

class TcxSpinEditViewInfo : public TcxCustomTextEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DrawButtonBorder(TcxCanvas* canvas, int buttonVisibleIndex, TcxEditButtonStyle style, RECT& rect) override;
    void DrawButtonContent(TcxCanvas* canvas, int buttonVisibleIndex, const RECT& contentRect,
                           hostlib::TColor backgroundColor, hostlib::TColor foregroundColor) override;

    // The height of a vertical arrow.
    int ArrowSize = 0;
    TcxSpinEditButtonsPosition ButtonsPosition = sbpVert;
    // Drawn between themed buttons in the background colour.
    POINT DelimiterLine[2]{};

protected:
    void InternalPaint(TcxCanvas* canvas) override;

private:
    int HotFlatShape(int button) const;
    int UltraFlatShape(int button) const;
    void DrawHotFlatButton(TcxCanvas* canvas, int index, RECT& rect);
    void DrawUltraFlatButton(TcxCanvas* canvas, int index, RECT& rect, bool office);
    void DrawUltraFlatHotFrame(TcxCanvas* canvas, int index, RECT& rect, hostlib::TColor highlight,
                               hostlib::TColor fill);
};

class TcxSpinEditViewData : public TcxCustomTextEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    bool CanPressButton(TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex) override;
    bool IsButtonPressed(TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex) override;
    void CalculateButtonNativeInfo(TcxEditButtonViewInfo* buttonViewInfo) override { (void)buttonViewInfo; }
    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    void CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex,
                               RECT& buttonsRect) override;
    void CalculateButtonViewInfo(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex,
                                 RECT& buttonsRect) override;

    TcxCustomSpinEditProperties* SpinProperties() const
    {
        return static_cast<TcxCustomSpinEditProperties*>(Properties());
    }

    // The editor's pressed state when this was made; epsNone for a cell.
    TcxSpinEditPressedState PressedState = epsNone;

private:
    void LayoutButtons(TcxCanvas* canvas, TcxSpinEditViewInfo* viewInfo, RECT r);
    void PlaceHorizontal(TcxSpinEditViewInfo* viewInfo, RECT& r, int h, int fastWidth, bool themed, bool hotFlat);
    void PlaceVertical(TcxSpinEditViewInfo* viewInfo, RECT& r, int w, int fastWidth, bool themed, bool hotFlat);
    void SetThemeParts(TcxSpinEditViewInfo* viewInfo, bool themed);
};

// ---- the editor ------------------------------------------------------------------

class TcxCustomSpinEdit : public TcxCustomMaskEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomMaskEdit::Construct;

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomSpinEditProperties* Properties() const
    {
        return static_cast<TcxCustomSpinEditProperties*>(TcxCustomMaskEdit::Properties());
    }
    TcxCustomSpinEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomSpinEditProperties*>(TcxCustomMaskEdit::ActiveProperties());
    }
    TcxContainerStyleValues GetNotPublishedStyleValues() const override;
    bool RefreshContainer(POINT p, TcxMouseButton button, hostlib::TShiftState shift, bool isMouseEvent) override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue,
                          bool editFocused) override;
    void SynchronizeDisplayValue() override;
    void SynchronizeEditValue() override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    void FocusChanged() override;

    // The number shown, in the current value type.
    virtual hostlib::Variant GetValue();
    // Numbers only; anything else is ignored.
    virtual void SetValue(const hostlib::Variant& value);
    hostlib::Variant Value() const { return const_cast<TcxCustomSpinEdit*>(this)->GetValue(); }
    bool IsValueStored() const;
    // One step; False when the step was refused or changed no text.
    virtual bool Increment(TcxSpinEditButton button);
    virtual double GetIncrement(TcxSpinEditButton button);
    virtual std::string IncrementValueToStr(const hostlib::Variant& value);
    // The parser of typed text: False on error (the value is then the last
    // good number, the error text set only with ExceptionOnInvalidInput).
    bool InternalPrepareEditValue(const std::string& displayValue, bool raiseError, hostlib::Variant& editValue,
                                  std::string& errorText);
    bool IsTextNewer() const { return textIsNewer_; }
    const hostlib::Variant& InternalValue() const { return internalValue_; }
    TcxSpinEditPressedState PressedState() const { return pressedState_; }

protected:
    void Destroy() override;
    void ChangeHandler(hostlib::TObject* sender) override;
    TcxCustomEditViewData* CreateViewData() override;
    void DoButtonDown(int buttonVisibleIndex) override;
    void DoEditKeyDown(WORD& key, hostlib::TShiftState shift) override;
    void DoEditKeyPress(char& key) override;
    void DoEditKeyUp(WORD& key, hostlib::TShiftState shift) override;
    bool IsValidChar(char key) override;
    void CheckEditorValueBounds() override;
    void DblClick() override;
    bool DoMouseWheel(hostlib::TShiftState shift, int wheelDelta, POINT mousePos) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;

    void SetInternalValue(const hostlib::Variant& value);
    void SetPressedState(TcxSpinEditPressedState value);
    void StopTracking();
    // The new value of a step, or False when the step is refused.
    bool CalculateNewValue(TcxSpinEditButton button, hostlib::Variant& value);
    bool IsOnGetValueEventAssigned();
    void DoOnGetValue(const std::string& text, hostlib::Variant& value, std::string& errorText, bool& error);

private:
    bool IsSteppingKey(WORD key, hostlib::TShiftState shift);
    void StepByKey(WORD& key);
    void HandleTimer(hostlib::TObject* sender);
    void AfterIncrement(const std::string& oldText, int selStart, int selLength);

    hostlib::Variant internalValue_;
    bool textIsNewer_ = false;
    bool typing_ = false;
    TcxSpinEditPressedState pressedState_ = epsNone;
    hostlib::ObjectPtr<hostlib::TTimer> timer_;
};

class TcxSpinEdit : public TcxCustomSpinEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxSpinEditProperties* Properties() const
    {
        return static_cast<TcxSpinEditProperties*>(TcxCustomSpinEdit::Properties());
    }
    void SetProperties(TcxSpinEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxSpinEditProperties* ActiveProperties()
    {
        return static_cast<TcxSpinEditProperties*>(TcxCustomSpinEdit::ActiveProperties());
    }
};

// Unit start-up: "SpinEdit" joins the registered editor kinds; shut-down
// only counts down.
void cxSpinEditInitialize();
void cxSpinEditFinalize();
