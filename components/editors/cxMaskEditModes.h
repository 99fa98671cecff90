#pragma once
// The editing modes of the masked editor: each decides which keys change
// the text and how, where the caret goes, which texts are complete and how
// values are formatted for display. The standard mode keeps a fixed-position
// text of the mask's full length; the regular-expression mode keeps the text
// a valid beginning of a match; the extended mode also types the characters
// the expression forces. A mode also works without an editor, to format the
// values of cells.
//
// Every key operation answers whether the inner edit control should still
// process the key (True) or the mode has done everything (False).

#include <memory>
#include <string>

#include "components/editors/cxRegExpr.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/visual/control.h"
#include "platform/hostlib/mask/cxStandardMask.h"

enum TcxEditMaskKind { emkStandard, emkRegExpr, emkRegExprEx };
using TcxEditMask = std::string;

// Raised for a mask that does not compile.
class EcxMaskEditError : public hostlib::Exception {
public:
    using hostlib::Exception::Exception;
    const char* ClassName() const override { return "EcxMaskEditError"; }
};

// A mask of only blanks and control whitespace is no mask.
bool EmptyMask(const std::string& mask);
// Whether the system counts the character as a letter.
bool IsAlphaChar(char ch);

// What a mode reads of its editor's settings.
class IcxMaskEditModeProperties {
public:
    virtual ~IcxMaskEditModeProperties() = default;
    virtual bool ModeBeepOnError() = 0;
    virtual bool ModeCaseInsensitive() = 0;
    virtual bool ModeIgnoreMaskBlank() = 0;
    // The editor keeps the letters' case as typed.
    virtual bool ModeCharCaseNormal() = 0;
};

// What a mode needs of the editor it serves.
class IcxMaskEditModeEdit {
public:
    virtual ~IcxMaskEditModeEdit() = default;
    // The active settings of the editor.
    virtual IcxMaskEditModeProperties* ModeProperties() = 0;
    // Property changes are being applied; the mode keeps still meanwhile.
    virtual bool ModePropertiesLocked() = 0;
    virtual bool ModeHandleAllocated() = 0;
    virtual bool ModeIsMasked() = 0;
    // The user is editing (the shown text is the edit text).
    virtual bool ModeIsEditing() = 0;
    // The inner edit's text and selection; setting the text puts the caret
    // at its start, as an edit control does.
    virtual std::string ModeText() = 0;
    virtual void ModeSetDisplayText(const std::string& text) = 0;
    virtual int ModeSelStart() = 0;
    virtual int ModeSelLength() = 0;
    virtual void ModeSetSelStart(int value) = 0;
    virtual void ModeSetSelLength(int value) = 0;
    // The edit value as display text for the editor's focus state.
    virtual std::string ModePreparedDisplayText() = 0;
    virtual void ModeSetEditValueText(const std::string& text) = 0;
    // Shift was held at the last key-down.
    virtual bool ModeShiftFlag() = 0;
    virtual void ModeSetShiftFlag(bool value) = 0;
    // Keys the editor sends itself go to the inner edit, not to the mode.
    virtual void SendMyKeyDown(WORD key, hostlib::TShiftState shift) = 0;
    virtual void SendMyKeyPress(char key) = 0;
    // Derived editors restrict characters per position.
    virtual bool IsCharValidForPos(char& ch, int position) = 0;
};

class TcxMaskEditCustomMode {
public:
    TcxMaskEditCustomMode(IcxMaskEditModeEdit* edit, IcxMaskEditModeProperties* properties);
    virtual ~TcxMaskEditCustomMode() = default;
    TcxMaskEditCustomMode(const TcxMaskEditCustomMode&) = delete;
    TcxMaskEditCustomMode& operator=(const TcxMaskEditCustomMode&) = delete;

    // A mode of the kind's class.
    static std::unique_ptr<TcxMaskEditCustomMode> Create(TcxEditMaskKind kind, IcxMaskEditModeEdit* edit,
                                                        IcxMaskEditModeProperties* properties);

    virtual TcxEditMaskKind GetMaskKind() const { return emkStandard; }
    virtual void AfterPasteFromClipboard() = 0;
    // Raises EcxMaskEditError for a wrong mask.
    virtual void Compile(const TcxEditMask& mask) = 0;
    virtual std::string GetEmptyString() = 0;
    virtual std::string GetFormattedText(const std::string& text) = 0;
    virtual void GotoEnd() = 0;
    virtual bool IsCursorBegin() = 0;
    virtual bool IsCursorEnd() = 0;
    virtual bool IsFullValidText(const std::string& text) = 0;
    virtual void LMouseDown() = 0;
    virtual void PrePasteFromClipboard() = 0;
    virtual bool PressBackSpace() = 0;
    virtual bool PressDelete() = 0;
    virtual bool PressEnd() = 0;
    virtual bool PressHome() = 0;
    virtual bool PressLeft() = 0;
    virtual bool PressRight() = 0;
    // The character may come back with its case converted.
    virtual bool PressSymbol(char& ch) = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void SynchronizeEditValue();
    virtual void UpdateEditValue() = 0;
    virtual std::string GetUpdatedText(const std::string& text) = 0;

    IcxMaskEditModeEdit* Edit() const { return edit_; }
    IcxMaskEditModeProperties* GetProperties() const;
    const TcxEditMask& EditMask() const { return editMask_; }
    int ClipboardTextLength() const { return clipboardTextLength_; }
    void SetClipboardTextLength(int value) { clipboardTextLength_ = value; }
    bool NeedUpdateEditValue() const { return needUpdateEditValue_; }

protected:
    bool HasEdit() const;
    void BeepOnError() const;
    void DirectSetSelStart(int value) { edit_->ModeSetSelStart(value); }
    void DirectSetSelLength(int value) { edit_->ModeSetSelLength(value); }
    std::string Text() const { return edit_->ModeText(); }
    int SelStart() const { return edit_->ModeSelStart(); }
    int SelLength() const { return edit_->ModeSelLength(); }
    void SetEditMaskText(const TcxEditMask& mask) { editMask_ = mask; }
    void SetNeedUpdateEditValue(bool value) { needUpdateEditValue_ = value; }

private:
    IcxMaskEditModeEdit* edit_ = nullptr;
    IcxMaskEditModeProperties* properties_ = nullptr;
    TcxEditMask editMask_;
    int clipboardTextLength_ = 0;
    bool needUpdateEditValue_ = false;
};

// Fixed positions: the text always has the mask's length, literals in place
// and the blank in unfilled positions; the caret shows as a one-character
// selection.
class TcxMaskEditStandardMode : public TcxMaskEditCustomMode {
public:
    using TcxMaskEditCustomMode::TcxMaskEditCustomMode;

    void AfterPasteFromClipboard() override;
    void Compile(const TcxEditMask& mask) override;
    std::string GetEmptyString() override { return mask_.GetEmptyString(); }
    std::string GetFormattedText(const std::string& text) override;
    void GotoEnd() override {}
    bool IsCursorBegin() override;
    bool IsCursorEnd() override;
    bool IsFullValidText(const std::string& text) override;
    void LMouseDown() override;
    void PrePasteFromClipboard() override;
    bool PressBackSpace() override;
    bool PressDelete() override;
    bool PressEnd() override;
    bool PressHome() override;
    bool PressLeft() override;
    bool PressRight() override;
    bool PressSymbol(char& ch) override;
    void SetText(const std::string&) override { LMouseDown(); }
    void SynchronizeEditValue() override;
    void UpdateEditValue() override;
    std::string GetUpdatedText(const std::string& text) override;

    // The character an empty position shows; '\0' leaves it to the mask's
    // blank. Derived modes give single positions a blank of their own.
    virtual char GetBlank(int) const { return mask_.Blank(); }
    const TcxStandardMask& Mask() const { return mask_; }

private:
    char BlankAt(int position) const;
    // Empty positions of a full edit text take their own blank.
    void ApplyBlanks(std::string& text) const;
    bool IsLiteral(int position) const;
    int FirstEditable() const;
    // The caret at a position, shown as a one-character selection.
    void SetCaret(int position);
    void CollapseLeft();
    void StepLeft();
    void StepRight();
    bool ReplaceAt(int position, char ch);

    TcxStandardMask mask_;
    int pasteSelStart_ = 0;
};

// The text left of the caret (Head) is what the expression has read; the
// text right of it (Tail) must still be able to follow.
class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
public:
    TcxMaskEditRegExprMode(IcxMaskEditModeEdit* edit, IcxMaskEditModeProperties* properties);

    TcxEditMaskKind GetMaskKind() const override { return emkRegExpr; }
    void AfterPasteFromClipboard() override {}
    void Compile(const TcxEditMask& mask) override;
    std::string GetEmptyString() override { return {}; }
    std::string GetFormattedText(const std::string& text) override;
    void GotoEnd() override;
    bool IsCursorBegin() override { return SelStart() == 0; }
    bool IsCursorEnd() override;
    bool IsFullValidText(const std::string& text) override;
    void LMouseDown() override { mouseAction_ = true; }
    void PrePasteFromClipboard() override {}
    bool PressBackSpace() override;
    bool PressDelete() override;
    bool PressEnd() override;
    bool PressHome() override;
    bool PressLeft() override;
    bool PressRight() override;
    bool PressSymbol(char& ch) override;
    void SetText(const std::string& text) override;
    void SynchronizeEditValue() override;
    void UpdateEditValue() override {}
    std::string GetUpdatedText(const std::string& text) override { return text; }

    virtual void DeleteSelection();
    virtual void RestoreSelection();

    const std::string& Head() const { return head_; }
    const std::string& Tail() const { return tail_; }
    TcxRegExpr& RegExpr() { return *regExpr_; }

protected:
    // Re-reads the text up to the caret when the mode lost track of it.
    virtual void CursorCorrection();
    // Whether the tail can follow the current state; the state is kept.
    bool NextTail();
    // Removes the tail from the editor's text; caret and selection stay.
    void ClearTail();
    // Moves the boundary of Head and Tail to a position of the text.
    void MoveCaretTo(int position);
    bool Feed(char ch);
    bool DeleteSelectedRange(WORD key);
    void CompileExpression(const TcxEditMask& mask);
    void ResetState();

    std::string head_;
    std::string tail_;
    std::string select_;
    bool beginCursor_ = false;
    bool mouseAction_ = false;
    std::unique_ptr<TcxRegExpr> regExpr_ = std::make_unique<TcxRegExpr>();
};

// The expression types the characters it forces by itself; the mode mirrors
// them into the editor as key presses.
class TcxMaskEditRegExprExMode : public TcxMaskEditRegExprMode {
public:
    TcxMaskEditRegExprExMode(IcxMaskEditModeEdit* edit, IcxMaskEditModeProperties* properties);

    TcxEditMaskKind GetMaskKind() const override { return emkRegExprEx; }
    void AfterPasteFromClipboard() override;
    void Compile(const TcxEditMask& mask) override;
    std::string GetEmptyString() override;
    std::string GetFormattedText(const std::string& text) override;
    bool IsFullValidText(const std::string& text) override;
    bool PressBackSpace() override;
    bool PressDelete() override;
    bool PressEnd() override;
    bool PressHome() override;
    bool PressLeft() override;
    bool PressRight() override;
    bool PressSymbol(char& ch) override;
    void SynchronizeEditValue() override;
    void UpdateEditValue() override;

    void Clear();
    const std::string& Update() const { return update_; }
    int DeleteNumber() const { return deleteNumber_; }

protected:
    void CursorCorrection() override;

private:
    // Switches the insertion of forced characters off for the scope.
    class UpdateOff;
    void SymbolUpdate(char ch) { update_ += ch; }
    void SymbolDelete() { ++deleteNumber_; }
    // The expression back at its start with the forced start characters read.
    void ResetWithStart();
    std::vector<bool> ForcedPositions(const std::string& text);
    int ForcedRunAfter(int position);
    bool StartOnlyBeforeCaret() const { return !start_.empty() && head_ == start_; }
    void SendKeys(WORD key, int count);
    void RefeedTail();

    std::string update_;
    std::string start_;
    int deleteNumber_ = 0;
    int newCursorPos_ = -1;
};
