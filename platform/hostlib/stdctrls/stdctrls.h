#pragma once
// Standard controls that wrap the window classes of the controls layer
// (notifications arrive reflected as CN_ messages): edits, the mask edit
// and the check box.

#include <string>
#include <utility>

#include "platform/hostlib/visual/actnlist.h"
#include "platform/hostlib/visual/controls.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/data/dbcommon.h"
#include "platform/hostlib/mask/masktext.h"

namespace hostlib {

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
const TEnumInfo& EnumTypeInfo(TEditCharCase*);
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
const TEnumInfo& EnumTypeInfo(TScrollStyle*);

// Window styles of a multi-line edit.
DWORD MultiLineStyle(bool wordWrap, TScrollStyle scrollBars);

// An "EDIT" window. Setting Text to what it already shows changes nothing
// and raises no OnChange; every real change, by the program or the user,
// raises one.
class TCustomEdit : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    // In characters; 0 for no limit of our own.
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
    // Where the caret stands: the end of the selection the user moves.
    int CaretIndex() const;
    void SelectAll();
    void Clear() { SetText(""); }
    // The selected text; setting it replaces the selection (undoably).
    std::string SelText() const;
    void SetSelText(const std::string& value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    // Clipboard and undo through the window.
    void CutToClipboard() { Perform(WM_CUT); }
    void CopyToClipboard() { Perform(WM_COPY); }
    void PasteFromClipboard() { Perform(WM_PASTE); }
    void ClearSelection() { Perform(WM_CLEAR); }
    void Undo() { Perform(WM_UNDO); }
    bool CanUndo() const;
    void ClearUndo();

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    virtual void Change() { OnChange(this); }
    void DoEnter() override;
    // The window's selection in bytes of its text.
    std::pair<int, int> SelectionBytes() const;

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    TEditCharCase charCase_ = ecNormal;
    char passwordChar_ = '\0';
    bool autoSelect_ = true;
    bool hideSelection_ = true;
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

// A multi-line edit: word wrap, scroll bars, and whether Enter and Tab
// are typed or reach the form.
class TCustomMemo : public TCustomEdit {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    // Enter starts a new line (else it reaches the form's default button).
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    // Tab is typed (else it moves the focus).
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }
    // The caret as column (x) and line (y), in characters; setting it
    // leaves an empty selection there, kept within the line and the text.
    POINT CaretPos() const;
    void SetCaretPos(POINT value);

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;

private:
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
};

// Lines is a live view of the text: reading it splits the shown text,
// changing it rewrites the text.
class TMemo : public TCustomMemo {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* value) { lines_->Assign(value); }

protected:
    void Destroy() override;

private:
    ObjectPtr<TStrings> lines_;
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
    // While set, a change of state raises no OnClick.
    bool ClicksDisabled() const { return clicksDisabled_; }
    void SetClicksDisabled(bool value) { clicksDisabled_ = value; }
    TClass GetActionLinkClass() override;
    // Also takes the action's Checked, without a click.
    void ActionChange(TObject* sender, bool checkDefaults) override;

private:
    friend class TButtonActionLink;
    void SetCheckedQuietly(bool value);

    bool clicksDisabled_ = false;
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
};

// Which side of the mark the caption takes.
using TLeftRight = TAlignment;

// A "BUTTON" window with a round mark; checking one unchecks the radio
// buttons beside it (same parent). Becoming checked, by the program or a
// click, raises OnClick.
class TRadioButton : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    // taRightJustify: the caption right of the mark; taLeftJustify puts the
    // mark at the right.
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    // While set, becoming checked raises no OnClick.
    bool ClicksDisabled() const { return clicksDisabled_; }
    void SetClicksDisabled(bool value) { clicksDisabled_ = value; }
    TClass GetActionLinkClass() override;
    // Also takes the action's Checked, without a click.
    void ActionChange(TObject* sender, bool checkDefaults) override;

private:
    friend class TButtonActionLink;
    void SetCheckedQuietly(bool value);

    bool checked_ = false;
    bool clicksDisabled_ = false;
    TLeftRight alignment_ = taRightJustify;
};

// Carries an action's Checked to a check box or radio button; the client
// changes without raising OnClick, so the action does not run again.
class TButtonActionLink : public TWinControlActionLink {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    bool IsCheckedLinked() const override;
    void SetChecked(bool value) override;
};

// Puts strings into a list window of a standard class: the reset message,
// the add message per string, then the select message with index.
void FillStringsWindow(HWND window, const TStrings& items, UINT resetMsg, UINT addMsg, UINT selectMsg, int index);

}  // namespace hostlib
