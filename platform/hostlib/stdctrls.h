#pragma once
// Standard controls that wrap the window classes of the controls layer
// (notifications arrive reflected as CN_ messages): edits, the mask edit
// and the check box.

#include <string>

#include "platform/hostlib/controls.h"
#include "platform/hostlib/masktext.h"

namespace hostlib {

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// An "EDIT" window. Setting Text to what it already shows changes nothing
// and raises no OnChange; every real change, by the program or the user,
// raises one.
class TCustomEdit : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase value);
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    bool Modified() const;
    void SetModified(bool value);
    // Character positions of the selection.
    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    void SelectAll();
    void Clear() { SetText(""); }

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    virtual void Change() { OnChange(this); }
    void DoEnter() override;

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    TEditCharCase charCase_ = ecNormal;
    char passwordChar_ = '\0';
    bool autoSelect_ = true;
    bool modified_ = false;
};

class TEdit : public TCustomEdit {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
};

// An edit whose text follows an edit mask (see TMaskedText): keys that do
// not fit are refused, the text is always the displayed text.
class TCustomMaskEdit : public TCustomEdit {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    const std::string& EditMask() const { return masked_.EditMask(); }
    void SetEditMask(const std::string& mask);
    bool IsMasked() const { return masked_.IsMasked(); }
    // The displayed text; setting it spreads the text over the mask.
    void SetText(const std::string& value) override;
    std::string EditText() const { return Text(); }
    // Every required position is filled.
    bool IsComplete() const { return masked_.IsComplete(); }

protected:
    void CreateWnd() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void Dispatch(TMessage& message) override;

private:
    void ShowMasked(int caret);

    TMaskedText masked_;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A "BUTTON" window with a check mark. Changing the state, by the program
// or by a click, raises OnClick once; setting the same state raises none.
class TCheckBox : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState value);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    // The user's click: the next state.
    virtual void Toggle();

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
};

}  // namespace hostlib
