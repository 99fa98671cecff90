#pragma once
// A pocket-calculator keypad without a display of its own: the number is
// text read and written through GetEditorValue and SetEditorValue, which
// the calculator editor binds to its text. Arithmetic is 80-bit. The
// calculator editor: a popup editor for a number whose drop-down is the
// keypad.

#include <array>
#include <string>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/editors/cxPopupEdit.h"
#include "platform/hostlib/visual/forms.h"

enum TcxCalcButtonKind {
    cbBack, cbCancel, cbClear,
    cbMC, cbMR, cbMS, cbMP,
    cbNum0, cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6, cbNum7, cbNum8, cbNum9,
    cbSign, cbDecimal,
    cbDiv, cbMul, cbSub, cbAdd,
    cbSqrt, cbPercent, cbRev, cbEqual,
    cbNone
};
inline constexpr int kCalcButtonCount = cbNone;

enum TcxCalcState { csFirst, csValid, csError };

inline constexpr TcxResourceString cxSCalcError{64200, "Error"};

using TcxCalcButtonClick = hostlib::Event<hostlib::TObject*, TcxCalcButtonKind&>;
using TcxCalcGetEditValue = hostlib::Event<hostlib::TObject*, std::string&>;
using TcxCalcSetEditValue = hostlib::Event<hostlib::TObject*, const std::string&>;

struct TcxCalcButton {
    TcxCalcButtonKind Kind = cbNone;
    std::string Caption;
    hostlib::TColor Color = hostlib::clBlack;
    RECT BtnRect{};
    bool Down = false;
    bool Disabled = false;
};

class TcxCustomCalculator : public TcxControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    void SetEnabled(bool value) override;

    bool AutoFontSize() const { return autoFontSize_; }
    void SetAutoFontSize(bool value);
    bool BeepOnError() const { return beepOnError_; }
    void SetBeepOnError(bool value) { beepOnError_ = value; }
    hostlib::TFormBorderStyle CalcBorderStyle() const { return borderStyle_; }
    void SetCalcBorderStyle(hostlib::TFormBorderStyle value);
    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool value);
    int Precision() const { return precision_; }
    void SetPrecision(int value) { precision_ = value; }
    bool IsPopup() const { return isPopup_; }

    // The keypad's geometry, as CalcSize left it.
    int CalcFontSize() const { return fontSize_; }
    int BtnWidth() const { return btnWidth_; }
    int BtnHeight() const { return btnHeight_; }
    int LargeBtnWidth() const { return largeBtnWidth_; }
    int CalcWidth() const { return calcWidth_; }
    int CalcHeight() const { return calcHeight_; }
    const TcxCalcButton& Button(TcxCalcButtonKind kind) const { return buttons_[kind]; }
    TcxCalcState Status() const { return status_; }
    long double Memory() const { return memory_; }
    TcxCalcButtonKind HotButton() const { return hotButton_; }

    void ButtonClick(TcxCalcButtonKind kind);
    void CalcSize(int width, int height);
    void CreateLayout();
    TcxCalcButtonKind GetButtonKindAt(int x, int y) const;
    TcxCalcButtonKind GetButtonKindChar(char ch) const;
    TcxCalcButtonKind GetButtonKindKey(WORD key, hostlib::TShiftState shift) const;
    void CopyToClipboard();
    void PasteFromClipboard();
    // The shown number; 0 after an error. A text that is no number raises
    // the conversion error.
    long double GetDisplay();
    void SetDisplay(long double value);

    TcxCalcButtonClick OnCalcButtonClick;
    hostlib::TNotifyEvent OnDisplayTextChanged;
    hostlib::TNotifyEvent OnCalcResult;
    hostlib::TNotifyEvent OnHidePopup;

    virtual TcxCustomLookAndFeelPainterClass GetPainter();
    virtual std::string GetEditorValue() { return ""; }
    virtual void SetEditorValue(const std::string&) {}
    virtual void HidePopup();

protected:
    void CreateParams(hostlib::TCreateParams& params) override;
    void Paint() override;
    void FontChanged() override;
    void FocusChanged() override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseLeave(hostlib::TControl* control) override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(WORD& key, hostlib::TShiftState shift) override;
    void Resize() override;
    void SetPopup(bool value) { isPopup_ = value; }
    void ForgetKeyButton() { keyButton_ = cbNone; }

    void DoButtonDown(TcxCalcButtonKind kind);
    void DoButtonUp(TcxCalcButtonKind kind);
    void InvalidateButton(TcxCalcButtonKind kind);

private:
    void Clear();
    void ResetOperands();
    void CheckFirst();
    void Error();
    void Refuse();
    void UpdateMemoryButtons();
    void InvalidateMemoryButtons();
    void DigitClick(TcxCalcButtonKind kind);
    void DecimalClick();
    void BackClick();
    void UnaryClick(TcxCalcButtonKind kind);
    void OperatorClick(TcxCalcButtonKind kind);
    void MemoryClick(TcxCalcButtonKind kind);
    void StartNewNumber();
    void SetText(const std::string& text);
    void PressKeyButton(TcxCalcButtonKind kind);
    void TrackButton(int x, int y);
    void StopTracking();
    void SetHotButton(TcxCalcButtonKind kind);
    void PaintButton(TcxCustomLookAndFeelPainterClass painter, const TcxCalcButton& b);
    TcxButtonState ButtonState(const TcxCalcButton& b);
    char DecimalSeparator() const;

    bool autoFontSize_ = true;
    bool beepOnError_ = true;
    hostlib::TFormBorderStyle borderStyle_ = hostlib::bsNone;
    bool showFocusRect_ = true;
    int precision_ = 15;
    bool isPopup_ = false;

    int fontSize_ = 8;
    int btnWidth_ = 28;
    int btnHeight_ = 22;
    int largeBtnWidth_ = 47;
    int xOffset_ = 3;
    int yOffset_ = 3;
    int calcWidth_ = 198;
    int calcHeight_ = 131;

    long double memory_ = 0;
    TcxCalcButtonKind pendingOperator_ = cbEqual;
    long double firstOperand_ = 0;
    TcxCalcState status_ = csFirst;
    // Set by a unary operation or MR: the next digit starts a new number
    // whatever the status says.
    bool startNew_ = false;

    std::array<TcxCalcButton, kCalcButtonCount> buttons_{};
    TcxCalcButtonKind hotButton_ = cbNone;
    TcxCalcButtonKind mouseButton_ = cbNone;
    TcxCalcButtonKind keyButton_ = cbNone;
    bool tracking_ = false;
};

// ---- the calculator editor ------------------------------------------------------------


class TcxCustomCalcEdit;

// The assigned-value flags of the calculator editor: Precision besides the
// text editor's.
class TcxCalcEditPropertiesValues : public TcxTextEditPropertiesValues {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void RestoreDefaults() override;

    bool Precision() const { return precision_; }
    void SetPrecision(bool value);

private:
    bool precision_ = false;
};

class TcxCustomCalcEditProperties : public TcxCustomPopupEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TClass GetAssignedValuesClass() override;
    hostlib::TClass GetContainerClass() override;
    bool IsEditValueValid(hostlib::Variant& editValue, bool editFocused) override;
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* edit = nullptr) override;
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;
    bool HasDigitGrouping(bool isDisplayValueSynchronizing) override;
    bool IsDisplayValueValid(hostlib::Variant& displayValue, bool editFocused) override;
    bool GetAlwaysPostEditValue() override { return true; }
    bool PopupWindowAcceptsAnySize() override { return false; }

    // The number of a text without the locale's thousand separators, when
    // it is 0 or within the range of a double.
    static bool StrToFloatEx(std::string text, long double& value);

    TcxCalcEditPropertiesValues* AssignedValues() const
    {
        return static_cast<TcxCalcEditPropertiesValues*>(TcxCustomPopupEditProperties::AssignedValues());
    }
    // The assigned value, else the provider's, capped at 15 digits.
    int Precision() const;
    void SetPrecision(int value);
    bool IsPrecisionStored() const { return AssignedValues()->Precision(); }
    bool QuickClose() const { return quickClose_; }
    void SetQuickClose(bool value);
    bool ScientificFormat() const { return scientificFormat_; }
    void SetScientificFormat(bool value);
    bool UseThousandSeparator() const { return useThousandSeparator_; }
    void SetUseThousandSeparator(bool value);

private:
    std::string FormatNumber(long double value) const;

    int precision_ = 15;
    bool quickClose_ = false;
    bool scientificFormat_ = false;
    bool useThousandSeparator_ = false;
};

class TcxCalcEditProperties : public TcxCustomCalcEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// The keypad of the drop-down: its display is the editor's text.
class TcxPopupCalculator : public TcxCustomCalculator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomCalculator::Construct;

    TcxCustomLookAndFeelPainterClass GetPainter() override;
    std::string GetEditorValue() override;
    void SetEditorValue(const std::string& text) override;
    // A key held when the popup last closed is forgotten.
    virtual void Init();
    // Sizes the keypad from the font just given.
    void FitToFont();

    TcxCustomCalcEdit* Edit() const { return edit_; }
    void SetEdit(TcxCustomCalcEdit* value) { edit_ = value; }

protected:
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;

private:
    TcxCustomCalcEdit* edit_ = nullptr;
};

class TcxCustomCalcEdit : public TcxCustomPopupEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomPopupEdit::Construct;

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomCalcEditProperties* Properties() const
    {
        return static_cast<TcxCustomCalcEditProperties*>(TcxCustomEdit::Properties());
    }
    void SetProperties(TcxCustomCalcEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomCalcEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomCalcEditProperties*>(TcxCustomEdit::ActiveProperties());
    }
    TcxPopupCalculator* Calculator() const { return calculator_; }

    // 0 for Null or an empty text.
    long double Value();
    void SetValue(long double value);

    void PasteFromClipboard() override;
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue,
                          bool editFocused) override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    void FormatChanged() override;
    bool CanDropDown() override;
    void HideCalculator(hostlib::TObject* sender);

protected:
    void Destroy() override;
    bool IsValidChar(char key) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;
    void CreatePopupWindow() override;
    void DoInitPopup() override;
    void InitializePopupWindow() override;
    void PopupWindowShowed(hostlib::TObject* sender) override;
    void PopupWindowClosed(hostlib::TObject* sender) override;

private:
    friend class TcxPopupCalculator;
    void BindCalculator();

    TcxPopupCalculator* calculator_ = nullptr;
};

class TcxCalcEdit : public TcxCustomCalcEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxCalcEditProperties* Properties() const
    {
        return static_cast<TcxCalcEditProperties*>(TcxCustomCalcEdit::Properties());
    }
    void SetProperties(TcxCalcEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCalcEditProperties* ActiveProperties()
    {
        return static_cast<TcxCalcEditProperties*>(TcxCustomCalcEdit::ActiveProperties());
    }
};

// Unit start-up: "CalcEdit" joins the registered editor kinds; shut-down
// only counts down.
void cxCalcEditInitialize();
void cxCalcEditFinalize();
