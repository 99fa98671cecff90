#include "components/editors/cxMaskEditModes.h"

#include <algorithm>
#include <cctype>

#include "components/editors/cxEditConsts.h"
#include "platform/windows/winuser.h"

namespace {

std::string RegExprErrorsText(const EcxRegExprError& error)
{
    std::string text = cxGetResourceString(scxMaskEditRegExprError);
    for (std::size_t i = 0; i < error.Errors().Count(); ++i) text += "\r\n" + error.Errors().Items(i).GetFullMessage();
    return text;
}

template <class Sequence>
int Length(const Sequence& items)
{
    return static_cast<int>(items.size());
}

}  // namespace

bool EmptyMask(const std::string& mask)
{
    return std::all_of(mask.begin(), mask.end(), [](char ch) {
        return ch == 0 || ch == 9 || ch == 10 || ch == 12 || ch == 13 || ch == 32;
    });
}

bool IsAlphaChar(char ch) { return std::isalpha(static_cast<unsigned char>(ch)) != 0; }

// --- Base --------------------------------------------------------------------

TcxMaskEditCustomMode::TcxMaskEditCustomMode(IcxMaskEditModeEdit* edit, IcxMaskEditModeProperties* properties)
    : edit_(edit), properties_(properties)
{
}

std::unique_ptr<TcxMaskEditCustomMode> TcxMaskEditCustomMode::Create(TcxEditMaskKind kind, IcxMaskEditModeEdit* edit,
                                                                     IcxMaskEditModeProperties* properties)
{
    switch (kind) {
    case emkRegExpr:
        return std::make_unique<TcxMaskEditRegExprMode>(edit, properties);
    case emkRegExprEx:
        return std::make_unique<TcxMaskEditRegExprExMode>(edit, properties);
    default:
        return std::make_unique<TcxMaskEditStandardMode>(edit, properties);
    }
}

IcxMaskEditModeProperties* TcxMaskEditCustomMode::GetProperties() const
{
    return edit_ ? edit_->ModeProperties() : properties_;
}

bool TcxMaskEditCustomMode::HasEdit() const { return edit_ && !edit_->ModePropertiesLocked(); }

void TcxMaskEditCustomMode::BeepOnError() const
{
    auto* properties = GetProperties();
    if (properties && properties->ModeBeepOnError()) MessageBeep(0);
}

void TcxMaskEditCustomMode::SynchronizeEditValue()
{
    if (!HasEdit()) return;
    const std::string text =
        edit_->ModeIsEditing() ? GetFormattedText(edit_->ModeText()) : edit_->ModePreparedDisplayText();
    edit_->ModeSetDisplayText(text);
}

// --- Standard mode -------------------------------------------------------------

void TcxMaskEditStandardMode::Compile(const TcxEditMask& mask)
{
    SetEditMaskText(mask);
    if (EmptyMask(mask)) {
        mask_.Clear();
        return;
    }
    mask_.Compile(mask);
    if (!Edit()) SetNeedUpdateEditValue(true);
}

char TcxMaskEditStandardMode::BlankAt(int position) const
{
    const char blank = GetBlank(position);
    return blank ? blank : mask_.Blank();
}

void TcxMaskEditStandardMode::ApplyBlanks(std::string& text) const
{
    const int count = std::min(Length(text), static_cast<int>(mask_.Count()));
    for (int i = 0; i < count; ++i) {
        if (!IsLiteral(i) && text[i] == mask_.Blank()) text[i] = BlankAt(i);
    }
}

std::string TcxMaskEditStandardMode::GetFormattedText(const std::string& text)
{
    if (mask_.Count() == 0) return text;
    std::string result = text;
    mask_.Format(result, true);
    ApplyBlanks(result);
    return result;
}

std::string TcxMaskEditStandardMode::GetUpdatedText(const std::string& text)
{
    if (mask_.Count() == 0) return text;
    auto* properties = GetProperties();
    std::string result = text;
    mask_.Format(result, !properties || properties->ModeCharCaseNormal());
    mask_.Format2(result);
    return result;
}

bool TcxMaskEditStandardMode::IsFullValidText(const std::string& text)
{
    std::string probe = text;
    if (mask_.IsFullValid(probe)) return true;
    auto* properties = GetProperties();
    return properties && properties->ModeIgnoreMaskBlank() && text == GetFormattedText(std::string());
}

bool TcxMaskEditStandardMode::IsLiteral(int position) const
{
    return position >= 0 && position < static_cast<int>(mask_.Count()) && !mask_.IsEditable(position);
}

int TcxMaskEditStandardMode::FirstEditable() const
{
    int position = 0;
    while (IsLiteral(position)) ++position;
    return position;
}

void TcxMaskEditStandardMode::SetCaret(int position)
{
    const int length = Length(Text());
    position = std::clamp(position, 0, length);
    DirectSetSelStart(position);
    DirectSetSelLength(position < length ? 1 : 0);
}

void TcxMaskEditStandardMode::LMouseDown()
{
    if (!Edit() || !Edit()->ModeHandleAllocated() || !Edit()->ModeIsMasked()) return;
    if (SelLength() == 0 && SelStart() < Length(Text())) DirectSetSelLength(1);
}

void TcxMaskEditStandardMode::SynchronizeEditValue()
{
    TcxMaskEditCustomMode::SynchronizeEditValue();
    if (HasEdit()) LMouseDown();
}

bool TcxMaskEditStandardMode::ReplaceAt(int position, char ch)
{
    char accepted = ch;
    if (!mask_.Items(position).Check(accepted) || !Edit()->IsCharValidForPos(accepted, position)) return false;
    std::string text = Text();
    text[position] = accepted;
    Edit()->ModeSetDisplayText(text);
    SetCaret(position);
    return true;
}

bool TcxMaskEditStandardMode::PressSymbol(char& ch)
{
    const int length = Length(Text());
    const int position = SelStart();
    if (length == 0 || position >= length || position >= static_cast<int>(mask_.Count())) return false;
    if (IsLiteral(position)) {
        Edit()->ModeSetShiftFlag(false);
        if (SelLength() > 1) SetCaret(position);
        PressRight();
        if (SelStart() != position) PressSymbol(ch);
        return false;
    }
    if (ReplaceAt(position, ch)) {
        ch = Text()[position];
        PressRight();
    }
    return false;
}

bool TcxMaskEditStandardMode::PressDelete()
{
    std::string text = Text();
    const int start = SelStart();
    const int end = std::min({start + SelLength(), Length(text), static_cast<int>(mask_.Count())});
    for (int i = start; i < end; ++i) {
        if (!IsLiteral(i)) text[i] = BlankAt(i);
    }
    Edit()->ModeSetDisplayText(text);
    SetCaret(start);
    return false;
}

bool TcxMaskEditStandardMode::PressBackSpace()
{
    if (SelLength() <= 1) PressLeft();
    return PressDelete();
}

void TcxMaskEditStandardMode::CollapseLeft()
{
    const int length = Length(Text());
    const int start = SelStart();
    int position = start;
    bool literalsToEnd = true;
    for (int i = start; i < length && literalsToEnd; ++i) literalsToEnd = IsLiteral(i);
    if (literalsToEnd) {
        while (position > 0 && IsLiteral(position)) --position;
    }
    SetCaret(position);
}

void TcxMaskEditStandardMode::StepLeft()
{
    int position = SelStart() - 1;
    while (position >= 0 && IsLiteral(position)) --position;
    if (position >= 0) SetCaret(position);
}

bool TcxMaskEditStandardMode::PressLeft()
{
    if (Edit()->ModeShiftFlag()) {
        if (SelLength() == 1) {
            DirectSetSelStart(SelStart() + 1);
            DirectSetSelLength(0);
        }
        Edit()->SendMyKeyDown(VK_LEFT, {hostlib::ssShift});
        return true;
    }
    if (SelLength() >= 2) {
        CollapseLeft();
    } else {
        StepLeft();
    }
    return false;
}

void TcxMaskEditStandardMode::StepRight()
{
    const int length = Length(Text());
    int position = SelStart() + 1;
    while (position < length && IsLiteral(position)) ++position;
    SetCaret(std::min(position, length));
}

bool TcxMaskEditStandardMode::PressRight()
{
    if (Edit()->ModeShiftFlag()) {
        if (SelLength() == 1) DirectSetSelLength(0);
        return true;
    }
    if (SelLength() <= 1) {
        if (SelStart() < Length(Text())) StepRight();
        return false;
    }
    int position = SelStart() + SelLength();
    while (position > SelStart() && IsLiteral(position - 1)) --position;
    SetCaret(position);
    return false;
}

bool TcxMaskEditStandardMode::PressHome()
{
    if (Edit()->ModeShiftFlag()) return true;
    SetCaret(0);
    if (IsLiteral(0)) PressRight();
    return false;
}

bool TcxMaskEditStandardMode::PressEnd()
{
    if (Edit()->ModeShiftFlag()) return true;
    SetCaret(Length(Text()));
    return false;
}

bool TcxMaskEditStandardMode::IsCursorBegin()
{
    return SelStart() <= FirstEditable() && SelLength() <= 1;
}

bool TcxMaskEditStandardMode::IsCursorEnd() { return SelStart() >= Length(Text()); }

void TcxMaskEditStandardMode::PrePasteFromClipboard()
{
    pasteSelStart_ = SelStart();
    DirectSetSelLength(ClipboardTextLength());
}

void TcxMaskEditStandardMode::AfterPasteFromClipboard()
{
    const int length = Length(Text());
    const int position = std::clamp(pasteSelStart_ + ClipboardTextLength(), 0, std::max(length - 1, 0));
    SetCaret(position);
    if (IsLiteral(position)) PressRight();
}

void TcxMaskEditStandardMode::UpdateEditValue()
{
    if (!NeedUpdateEditValue() || !Edit()) return;
    Edit()->ModeSetEditValueText(GetEmptyString());
    SetNeedUpdateEditValue(false);
}

// --- Regular-expression mode ---------------------------------------------------

TcxMaskEditRegExprMode::TcxMaskEditRegExprMode(IcxMaskEditModeEdit* edit, IcxMaskEditModeProperties* properties)
    : TcxMaskEditCustomMode(edit, properties)
{
}

void TcxMaskEditRegExprMode::CompileExpression(const TcxEditMask& mask)
{
    SetEditMaskText(mask);
    head_.clear();
    tail_.clear();
    if (EmptyMask(mask)) return;
    auto* properties = GetProperties();
    regExpr_->SetCaseInsensitive(!properties || properties->ModeCaseInsensitive());
    try {
        regExpr_->Compile(mask);
    } catch (const EcxRegExprError& error) {
        throw EcxMaskEditError(RegExprErrorsText(error));
    }
}

void TcxMaskEditRegExprMode::Compile(const TcxEditMask& mask) { CompileExpression(mask); }

bool TcxMaskEditRegExprMode::Feed(char ch)
{
    char probe = ch;
    return regExpr_->IsCompiled() && regExpr_->Next(probe);
}

void TcxMaskEditRegExprMode::ResetState()
{
    if (regExpr_->IsCompiled()) regExpr_->Reset();
}

void TcxMaskEditRegExprMode::CursorCorrection()
{
    if (!((head_.empty() && tail_.empty() && !Text().empty()) || mouseAction_)) return;
    mouseAction_ = false;
    ResetState();
    head_.clear();
    tail_ = Text();
    MoveCaretTo(SelStart());
}

void TcxMaskEditRegExprMode::MoveCaretTo(int position)
{
    position = std::clamp(position, 0, Length(head_) + Length(tail_));
    while (Length(head_) > position) {
        regExpr_->Prev();
        tail_.insert(tail_.begin(), head_.back());
        head_.pop_back();
    }
    while (Length(head_) < position) {
        Feed(tail_.front());
        head_ += tail_.front();
        tail_.erase(0, 1);
    }
}

bool TcxMaskEditRegExprMode::NextTail()
{
    if (!regExpr_->IsCompiled()) return tail_.empty();
    std::size_t accepted = 0;
    while (accepted < tail_.size() && Feed(tail_[accepted])) ++accepted;
    for (std::size_t i = 0; i < accepted; ++i) regExpr_->Prev();
    return accepted == tail_.size();
}

void TcxMaskEditRegExprMode::ClearTail()
{
    const std::string text = Text();
    const int start = SelStart();
    const int selLength = SelLength();
    const int keep = std::max(Length(text) - Length(tail_), 0);
    Edit()->ModeSetDisplayText(text.substr(0, keep));
    DirectSetSelStart(std::min(start, keep));
    DirectSetSelLength(std::max(std::min(start + selLength, keep) - std::min(start, keep), 0));
    tail_.clear();
}

void TcxMaskEditRegExprMode::DeleteSelection()
{
    select_.clear();
    const int length = SelLength();
    if (length <= 0) return;
    if (SelStart() == Length(head_) && length <= Length(tail_)) {
        select_ = tail_.substr(0, length);
        tail_.erase(0, length);
        beginCursor_ = true;
    } else if (SelStart() + length == Length(head_)) {
        select_ = head_.substr(head_.size() - length);
        head_.resize(head_.size() - length);
        for (int i = 0; i < length; ++i) regExpr_->Prev();
        beginCursor_ = false;
    }
}

void TcxMaskEditRegExprMode::RestoreSelection()
{
    if (beginCursor_) {
        tail_ = select_ + tail_;
    } else {
        for (char ch : select_) Feed(ch);
        head_ += select_;
    }
    select_.clear();
}

bool TcxMaskEditRegExprMode::PressSymbol(char& ch)
{
    CursorCorrection();
    DeleteSelection();
    char accepted = ch;
    if (!regExpr_->IsCompiled() || !regExpr_->Next(accepted)) {
        RestoreSelection();
        BeepOnError();
        return false;
    }
    ch = accepted;
    head_ += accepted;
    if (NextTail()) return true;
    const bool hadSelection = !select_.empty();
    ClearTail();
    select_.clear();
    if (!hadSelection) return true;
    Edit()->SendMyKeyDown(VK_DELETE, {});
    Edit()->SendMyKeyPress(accepted);
    return false;
}

bool TcxMaskEditRegExprMode::DeleteSelectedRange(WORD key)
{
    DeleteSelection();
    const bool removed = !select_.empty();
    select_.clear();
    if (!removed || NextTail()) return true;
    ClearTail();
    if (key == VK_BACK) {
        Edit()->SendMyKeyPress('\b');
    } else {
        Edit()->SendMyKeyDown(key, {});
    }
    BeepOnError();
    return false;
}

bool TcxMaskEditRegExprMode::PressBackSpace()
{
    CursorCorrection();
    if (SelLength() > 0) return DeleteSelectedRange(VK_BACK);
    if (head_.empty()) return false;
    regExpr_->Prev();
    head_.pop_back();
    if (!NextTail()) ClearTail();
    return true;
}

bool TcxMaskEditRegExprMode::PressDelete()
{
    CursorCorrection();
    if (SelLength() > 0) return DeleteSelectedRange(VK_DELETE);
    if (tail_.empty()) return false;
    tail_.erase(0, 1);
    if (NextTail()) return true;
    // The tail no longer fits: only the character at the caret stays to be
    // deleted by the inner edit.
    const std::string text = Text();
    const int caret = SelStart();
    Edit()->ModeSetDisplayText(text.substr(0, std::min<std::size_t>(text.size(), head_.size() + 1)));
    DirectSetSelStart(caret);
    tail_.clear();
    return true;
}

bool TcxMaskEditRegExprMode::PressLeft()
{
    CursorCorrection();
    const bool collapse = SelLength() > 0 && !Edit()->ModeShiftFlag();
    MoveCaretTo(collapse ? SelStart() : Length(head_) - 1);
    return true;
}

bool TcxMaskEditRegExprMode::PressRight()
{
    CursorCorrection();
    const bool collapse = SelLength() > 0 && !Edit()->ModeShiftFlag();
    MoveCaretTo(collapse ? SelStart() + SelLength() : Length(head_) + 1);
    return true;
}

bool TcxMaskEditRegExprMode::PressHome()
{
    CursorCorrection();
    tail_ = head_ + tail_;
    head_.clear();
    ResetState();
    return true;
}

bool TcxMaskEditRegExprMode::PressEnd()
{
    CursorCorrection();
    MoveCaretTo(Length(head_) + Length(tail_));
    return true;
}

void TcxMaskEditRegExprMode::GotoEnd() { PressEnd(); }

bool TcxMaskEditRegExprMode::IsCursorEnd() { return SelStart() >= Length(Text()); }

std::string TcxMaskEditRegExprMode::GetFormattedText(const std::string& text)
{
    if (!regExpr_->IsCompiled()) return {};
    regExpr_->Reset();
    std::string result = regExpr_->NextEx(text);
    regExpr_->Reset();
    head_.clear();
    tail_.clear();
    return result;
}

bool TcxMaskEditRegExprMode::IsFullValidText(const std::string& text)
{
    if (text.empty()) return true;
    if (EmptyMask(EditMask())) return true;
    auto* properties = GetProperties();
    TcxRegExpr expression;
    expression.SetCaseInsensitive(!properties || properties->ModeCaseInsensitive());
    try {
        expression.Compile(EditMask());
    } catch (const EcxRegExprError&) {
        return false;
    }
    for (char ch : text) {
        if (!expression.Next(ch)) return false;
    }
    return (properties && properties->ModeIgnoreMaskBlank()) || expression.IsFinal();
}

void TcxMaskEditRegExprMode::SetText(const std::string& text)
{
    ResetState();
    head_.clear();
    tail_ = text;
    if (ClipboardTextLength() > 0 && Edit()) {
        MoveCaretTo(SelStart() + ClipboardTextLength());
        SetClipboardTextLength(0);
    }
}

void TcxMaskEditRegExprMode::SynchronizeEditValue()
{
    TcxMaskEditCustomMode::SynchronizeEditValue();
    if (!HasEdit()) return;
    const std::string text = Text();
    DirectSetSelStart(Length(text));
    ResetState();
    head_.clear();
    tail_ = text;
    MoveCaretTo(Length(text));
}

// --- Extended regular-expression mode -------------------------------------------

class TcxMaskEditRegExprExMode::UpdateOff {
public:
    explicit UpdateOff(TcxRegExpr& expression) : expression_(expression), was_(expression.UpdateOn())
    {
        expression_.SetUpdateOn(false);
    }
    ~UpdateOff() { expression_.SetUpdateOn(was_); }
    UpdateOff(const UpdateOff&) = delete;
    UpdateOff& operator=(const UpdateOff&) = delete;

private:
    TcxRegExpr& expression_;
    bool was_;
};

TcxMaskEditRegExprExMode::TcxMaskEditRegExprExMode(IcxMaskEditModeEdit* edit, IcxMaskEditModeProperties* properties)
    : TcxMaskEditRegExprMode(edit, properties)
{
    regExpr_->SetUpdateOn(true);
    regExpr_->OnSymbolUpdate = hostlib::Event<char>::Bind(this, &TcxMaskEditRegExprExMode::SymbolUpdate);
    regExpr_->OnSymbolDelete = hostlib::Event<>::Bind(this, &TcxMaskEditRegExprExMode::SymbolDelete);
}

void TcxMaskEditRegExprExMode::Clear()
{
    update_.clear();
    deleteNumber_ = 0;
}

void TcxMaskEditRegExprExMode::Compile(const TcxEditMask& mask)
{
    Clear();
    start_.clear();
    CompileExpression(mask);
    start_ = update_;
    if (!Edit()) SetNeedUpdateEditValue(true);
}

std::string TcxMaskEditRegExprExMode::GetEmptyString() { return start_; }

void TcxMaskEditRegExprExMode::UpdateEditValue()
{
    if (!NeedUpdateEditValue() || !Edit()) return;
    Edit()->ModeSetEditValueText(start_);
    SetNeedUpdateEditValue(false);
}

void TcxMaskEditRegExprExMode::ResetWithStart()
{
    if (!regExpr_->IsCompiled()) return;
    regExpr_->SetUpdateOn(false);
    regExpr_->Reset();
    Clear();
    regExpr_->SetUpdateOn(true);
}

std::string TcxMaskEditRegExprExMode::GetFormattedText(const std::string& text)
{
    if (!regExpr_->IsCompiled()) return {};
    ResetWithStart();
    std::string result = update_;
    for (char ch : text) {
        Clear();
        char probe = ch;
        if (regExpr_->Next(probe)) result += probe + update_;
    }
    ResetState();
    Clear();
    head_.clear();
    tail_.clear();
    return result;
}

bool TcxMaskEditRegExprExMode::IsFullValidText(const std::string& text)
{
    return text == start_ || TcxMaskEditRegExprMode::IsFullValidText(text);
}

std::vector<bool> TcxMaskEditRegExprExMode::ForcedPositions(const std::string& text)
{
    std::vector<bool> forced(text.size(), false);
    TcxRegExpr expression;
    expression.SetCaseInsensitive(regExpr_->CaseInsensitive());
    try {
        expression.Compile(EditMask());
    } catch (const EcxRegExprError&) {
        return forced;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto* automat = expression.Automat();
        char next = '\0';
        forced[i] = !automat->IsFinal() && automat->GetAllNextStates().Equ(next) && next == text[i];
        char probe = text[i];
        if (!expression.Next(probe)) break;
    }
    return forced;
}

void TcxMaskEditRegExprExMode::CursorCorrection()
{
    const bool correct = (head_.empty() && tail_.empty() && !Text().empty()) || mouseAction_;
    if (!correct) return;
    UpdateOff off(*regExpr_);
    TcxMaskEditRegExprMode::CursorCorrection();
    const auto forced = ForcedPositions(head_ + tail_);
    int caret = Length(head_);
    while (caret < Length(forced) && forced[caret]) ++caret;
    if (caret != Length(head_)) {
        MoveCaretTo(caret);
        DirectSetSelStart(caret);
        DirectSetSelLength(0);
    }
}

void TcxMaskEditRegExprExMode::SendKeys(WORD key, int count)
{
    for (int i = 0; i < count; ++i) {
        if (key == VK_BACK) {
            Edit()->SendMyKeyPress('\b');
        } else {
            Edit()->SendMyKeyDown(key, {});
        }
    }
}

void TcxMaskEditRegExprExMode::RefeedTail()
{
    UpdateOff off(*regExpr_);
    if (!NextTail()) ClearTail();
}

bool TcxMaskEditRegExprExMode::PressSymbol(char& ch)
{
    CursorCorrection();
    {
        UpdateOff off(*regExpr_);
        DeleteSelection();
    }
    std::string typed;
    if (head_.empty() && !start_.empty()) {
        ResetWithStart();
        typed = update_;
    }
    Clear();
    char accepted = ch;
    if (!regExpr_->IsCompiled() || !regExpr_->Next(accepted)) {
        UpdateOff off(*regExpr_);
        if (!typed.empty()) ResetState();
        RestoreSelection();
        BeepOnError();
        return false;
    }
    typed += accepted + update_;
    head_ += typed;
    select_.clear();
    for (char key : typed) Edit()->SendMyKeyPress(key);
    RefeedTail();
    return false;
}

bool TcxMaskEditRegExprExMode::PressBackSpace()
{
    CursorCorrection();
    if (SelLength() > 0) {
        UpdateOff off(*regExpr_);
        return DeleteSelectedRange(VK_BACK);
    }
    if (head_.empty() || StartOnlyBeforeCaret()) {
        BeepOnError();
        return false;
    }
    Clear();
    regExpr_->Prev();
    const int count = std::min(deleteNumber_ + 1, Length(head_));
    head_.resize(head_.size() - count);
    SendKeys(VK_BACK, count);
    RefeedTail();
    return false;
}

int TcxMaskEditRegExprExMode::ForcedRunAfter(int position)
{
    const auto forced = ForcedPositions(head_ + tail_);
    int end = position + 1;
    while (end < Length(forced) && forced[end]) ++end;
    return end;
}

bool TcxMaskEditRegExprExMode::PressDelete()
{
    CursorCorrection();
    if (SelLength() > 0) {
        UpdateOff off(*regExpr_);
        return DeleteSelectedRange(VK_DELETE);
    }
    if (tail_.empty()) return false;
    if (head_.empty() && !start_.empty()) {
        BeepOnError();
        return false;
    }
    const int caret = Length(head_);
    const int count = std::min(ForcedRunAfter(caret) - caret, Length(tail_));
    tail_.erase(0, count);
    SendKeys(VK_DELETE, count);
    RefeedTail();
    return false;
}

bool TcxMaskEditRegExprExMode::PressLeft()
{
    CursorCorrection();
    UpdateOff off(*regExpr_);
    if (SelLength() > 0 && !Edit()->ModeShiftFlag()) return TcxMaskEditRegExprMode::PressLeft();
    const auto forced = ForcedPositions(head_ + tail_);
    const int caret = Length(head_);
    int target = caret - 1;
    while (target > 0 && forced[target]) --target;
    if (target < 0 || (forced.empty() ? false : std::all_of(forced.begin(), forced.begin() + target + 1,
                                                             [](bool f) { return f; }))) {
        return false;
    }
    MoveCaretTo(target);
    SendKeys(VK_LEFT, caret - target - 1);
    return true;
}

bool TcxMaskEditRegExprExMode::PressRight()
{
    CursorCorrection();
    UpdateOff off(*regExpr_);
    if (SelLength() > 0 && !Edit()->ModeShiftFlag()) return TcxMaskEditRegExprMode::PressRight();
    const int caret = Length(head_);
    if (tail_.empty()) return true;
    const int target = std::min(ForcedRunAfter(caret), caret + Length(tail_));
    MoveCaretTo(target);
    SendKeys(VK_RIGHT, target - caret - 1);
    return true;
}

bool TcxMaskEditRegExprExMode::PressHome()
{
    Clear();
    UpdateOff off(*regExpr_);
    return TcxMaskEditRegExprMode::PressHome();
}

bool TcxMaskEditRegExprExMode::PressEnd()
{
    Clear();
    UpdateOff off(*regExpr_);
    return TcxMaskEditRegExprMode::PressEnd();
}

void TcxMaskEditRegExprExMode::SynchronizeEditValue()
{
    UpdateOff off(*regExpr_);
    TcxMaskEditRegExprMode::SynchronizeEditValue();
}

void TcxMaskEditRegExprExMode::AfterPasteFromClipboard()
{
    if (newCursorPos_ < 0 || !Edit()) return;
    DirectSetSelStart(newCursorPos_);
    newCursorPos_ = -1;
}
