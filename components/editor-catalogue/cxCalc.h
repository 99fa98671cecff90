#pragma once
// A pocket-calculator keypad without a display of its own: the number is
// text read and written through GetEditorValue and SetEditorValue, which
// the calculator editor binds to its text. Arithmetic is 80-bit.

#include <array>
#include <string>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"
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
