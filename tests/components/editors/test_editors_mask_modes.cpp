#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxMaskEditModes.h"
#include "platform/windows/winuser.h"

namespace {

struct Settings : IcxMaskEditModeProperties {
    bool BeepOnError = false;
    bool CaseInsensitive = true;
    bool IgnoreMaskBlank = false;
    bool ModeBeepOnError() override { return BeepOnError; }
    bool ModeCaseInsensitive() override { return CaseInsensitive; }
    bool ModeIgnoreMaskBlank() override { return IgnoreMaskBlank; }
    bool ModeCharCaseNormal() override { return true; }
};

// A masked editor in miniature: keys are routed through the mode the way
// the editor routes them, and what the mode lets through is done by a plain
// edit control with an anchor and a caret.
class Editor : public IcxMaskEditModeEdit {
public:
    Editor(TcxEditMaskKind kind, const std::string& mask) : mode(TcxMaskEditCustomMode::Create(kind, this, &settings))
    {
        Start(mask);
    }
    // With a mode of the test's own.
    template <class Make>
    Editor(const std::string& mask, Make make) : mode(make(this, &settings))
    {
        Start(mask);
    }

    void Type(const std::string& keys)
    {
        for (char ch : keys) KeyPress(ch);
    }
    void KeyPress(char ch)
    {
        const bool pass = ch == '\b' ? mode->PressBackSpace() : mode->PressSymbol(ch);
        if (pass) InnerChar(ch);
    }
    void KeyDown(WORD key, bool shift = false)
    {
        shift_ = shift;
        bool pass = true;
        switch (key) {
        case VK_LEFT: pass = mode->PressLeft(); break;
        case VK_RIGHT: pass = mode->PressRight(); break;
        case VK_HOME: pass = mode->PressHome(); break;
        case VK_END: pass = mode->PressEnd(); break;
        case VK_DELETE: pass = mode->PressDelete(); break;
        default: break;
        }
        if (pass) InnerKeyDown(key, shift);
    }
    void Paste(const std::string& clip)
    {
        mode->SetClipboardTextLength(static_cast<int>(clip.size()));
        mode->PrePasteFromClipboard();
        ReplaceSelection(clip);
        const int caret = caret_;
        text_ = mode->GetFormattedText(text_);
        anchor_ = caret_ = std::min(caret, static_cast<int>(text_.size()));
        mode->SetText(text_);
        mode->AfterPasteFromClipboard();
    }
    void Click(int position)
    {
        anchor_ = caret_ = position;
        mode->LMouseDown();
    }

    const std::string& Text() const { return text_; }
    // The start of the selection: the fixed-position mode shows its caret
    // as a one-character selection.
    int Caret() { return ModeSelStart(); }

    // What the mode sees of the editor.
    IcxMaskEditModeProperties* ModeProperties() override { return &settings; }
    bool ModePropertiesLocked() override { return false; }
    bool ModeHandleAllocated() override { return true; }
    bool ModeIsMasked() override { return true; }
    bool ModeIsEditing() override { return true; }
    std::string ModeText() override { return text_; }
    void ModeSetDisplayText(const std::string& text) override
    {
        text_ = text;
        anchor_ = caret_ = 0;
    }
    int ModeSelStart() override { return std::min(anchor_, caret_); }
    int ModeSelLength() override { return std::abs(caret_ - anchor_); }
    void ModeSetSelStart(int value) override { anchor_ = caret_ = Clamp(value); }
    void ModeSetSelLength(int value) override
    {
        anchor_ = ModeSelStart();
        caret_ = Clamp(anchor_ + value);
    }
    std::string ModePreparedDisplayText() override { return text_; }
    void ModeSetEditValueText(const std::string& text) override { editValue = text; }
    bool ModeShiftFlag() override { return shift_; }
    void ModeSetShiftFlag(bool value) override { shift_ = value; }
    void SendMyKeyDown(WORD key, hostlib::TShiftState shift) override
    {
        InnerKeyDown(key, shift.Contains(hostlib::ssShift));
    }
    void SendMyKeyPress(char key) override { InnerChar(key); }
    bool IsCharValidForPos(char&, int) override { return true; }

    Settings settings;
    std::unique_ptr<TcxMaskEditCustomMode> mode;
    std::string editValue;

private:
    void Start(const std::string& mask)
    {
        mode->Compile(mask);
        text_ = mode->GetFormattedText(std::string());
        mode->SetText(text_);
        KeyDown(VK_HOME);
    }
    int Clamp(int value) const { return std::clamp(value, 0, static_cast<int>(text_.size())); }
    void ReplaceSelection(const std::string& with)
    {
        const int start = ModeSelStart();
        text_.replace(start, ModeSelLength(), with);
        anchor_ = caret_ = start + static_cast<int>(with.size());
    }
    void InnerChar(char ch)
    {
        if (ch != '\b') return ReplaceSelection(std::string(1, ch));
        if (ModeSelLength() == 0 && caret_ > 0) anchor_ = caret_ - 1;
        ReplaceSelection({});
    }
    void InnerKeyDown(WORD key, bool shift)
    {
        const int length = static_cast<int>(text_.size());
        if (key == VK_DELETE) {
            if (ModeSelLength() == 0 && caret_ < length) caret_ = caret_ + 1;
            return ReplaceSelection({});
        }
        int caret = caret_;
        if (key == VK_LEFT) caret = shift || ModeSelLength() == 0 ? caret - 1 : ModeSelStart();
        if (key == VK_RIGHT) caret = shift || ModeSelLength() == 0 ? caret + 1 : ModeSelStart() + ModeSelLength();
        if (key == VK_HOME) caret = 0;
        if (key == VK_END) caret = length;
        caret_ = Clamp(caret);
        if (!shift) anchor_ = caret_;
    }

    std::string text_;
    int anchor_ = 0;
    int caret_ = 0;
    bool shift_ = false;
};

// Keys of a case: printable characters are typed; '<' '>' are Left and
// Right, '#' is Delete, '\b' Backspace, '^' Home, '$' End.
void Play(Editor& editor, const std::string& keys)
{
    for (char key : keys) {
        switch (key) {
        case '<': editor.KeyDown(VK_LEFT); break;
        case '>': editor.KeyDown(VK_RIGHT); break;
        case '#': editor.KeyDown(VK_DELETE); break;
        case '^': editor.KeyDown(VK_HOME); break;
        case '$': editor.KeyDown(VK_END); break;
        default: editor.KeyPress(key); break;
        }
    }
}

struct KeyCase {
    TcxEditMaskKind Kind;
    const char* Mask;
    std::string Keys;
    std::string Text;
    int Caret;
    bool BeepOnError;
    unsigned Beeps;
};

class MaskModeKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(MaskModeKeys, TextCaretAndBeeps)
{
    const auto& c = GetParam();
    Editor editor(c.Kind, c.Mask);
    editor.settings.BeepOnError = c.BeepOnError;
    const unsigned beeps = MessageBeepCount();
    Play(editor, c.Keys);
    EXPECT_EQ(editor.Text(), c.Text) << c.Mask << " / " << c.Keys;
    EXPECT_EQ(editor.Caret(), c.Caret) << c.Mask << " / " << c.Keys;
    EXPECT_EQ(MessageBeepCount() - beeps, c.Beeps) << c.Mask << " / " << c.Keys;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MaskModeKeys,
    ::testing::Values(
        // Fixed positions: the caret skips the literals and shows as a
        // one-character selection, so it reads as the selection's start.
        KeyCase{emkStandard, "(000)", "", "(___)", 1, true, 0},
        KeyCase{emkStandard, "(000)", "123", "(123)", 5, true, 0},
        KeyCase{emkStandard, "(000)", "123\b", "(12_)", 3, true, 0},
        // A letter in a digit position is ignored without a beep.
        KeyCase{emkStandard, "(000)", "a", "(___)", 1, true, 0},
        KeyCase{emkStandard, "(000)", "1a2", "(12_)", 3, true, 0},
        KeyCase{emkStandard, "(000)", "123^#", "(_23)", 1, false, 0},
        KeyCase{emkStandard, "(000)", "12<<9", "(92_)", 2, false, 0},
        KeyCase{emkStandard, "(000)-00", "12345", "(123)-45", 8, false, 0},
        KeyCase{emkStandard, "(000)-00", "123\b\b\b\b", "(___)-__", 1, false, 0},
        // The expression: what is typed stays a valid beginning of a match.
        KeyCase{emkRegExpr, "\\d+", "a", "", 0, true, 1},
        KeyCase{emkRegExpr, "\\d+", "a", "", 0, false, 0},
        KeyCase{emkRegExpr, "\\d+", "12", "12", 2, true, 0},
        KeyCase{emkRegExpr, "\\d+", "12<3", "132", 2, true, 0},
        KeyCase{emkRegExpr, "\\d+", "123<<\b", "23", 0, true, 0},
        KeyCase{emkRegExpr, "\\d+", "123^#", "23", 0, true, 0},
        // The tail no longer fits after the inserted digit: it goes.
        KeyCase{emkRegExpr, "\\d{3}", "123<4", "124", 3, true, 0},
        KeyCase{emkRegExpr, "[a-c]x", "bx<<a", "a", 1, true, 0},
        KeyCase{emkRegExpr, "ab|cd", "a<c", "c", 1, true, 0},
        // The extended mode types what the expression forces.
        KeyCase{emkRegExprEx, "\\d\\d/\\d\\d", "12", "12/", 3, true, 0},
        KeyCase{emkRegExprEx, "\\d\\d/\\d\\d", "12\b", "1", 1, true, 0},
        KeyCase{emkRegExprEx, "\\d\\d/\\d\\d", "1234", "12/34", 5, true, 0},
        KeyCase{emkRegExprEx, "\\d\\d/\\d\\d", "12x", "12/", 3, true, 1},
        KeyCase{emkRegExprEx, "\\d\\d/\\d\\d", "123<<", "12/3", 1, true, 0},
        KeyCase{emkRegExprEx, "\\d\\d/\\d\\d", "123<<>", "12/3", 3, true, 0},
        // Forced start characters are typed at once and never deleted.
        KeyCase{emkRegExprEx, "'+7 '\\d+", "", "+7 ", 0, true, 0},
        KeyCase{emkRegExprEx, "'+7 '\\d+", "5\b\b", "+7 ", 3, true, 1},
        KeyCase{emkRegExprEx, "'+7 '\\d+", "56", "+7 56", 5, true, 0}));

// Positions with a blank of their own; '\0' leaves a position to the
// mask's blank.
class OwnBlanksMode : public TcxMaskEditStandardMode {
public:
    OwnBlanksMode(IcxMaskEditModeEdit* edit, IcxMaskEditModeProperties* properties, std::string blanks)
        : TcxMaskEditStandardMode(edit, properties), blanks_(std::move(blanks))
    {
    }
    char GetBlank(int position) const override
    {
        return position < static_cast<int>(blanks_.size()) ? blanks_[position] : '\0';
    }

private:
    std::string blanks_;
};

TEST(MaskModes, APositionShowsItsOwnBlankWhenEmpty)
{
    const std::string blanks("\0\0\0\0\0\0" "00\0" "0", 10);  // the last one left to the mask
    struct Case {
        std::string keys;
        std::string text;
        int caret;
    };
    const Case cases[] = {
        {"", "__/__ 00:0_", 0},
        {"1231", "12/31 00:0_", 6},
        {"12314", "12/31 40:0_", 7},
        {"123145\b", "12/31 40:0_", 7},
        {"123145^#", "_2/31 45:0_", 0},
        {"12314567$\b\b", "12/31 45:0_", 9},
    };
    for (const Case& c : cases) {
        Editor editor("!99/99 99:99;1;_", [&](Editor* e, Settings* s) {
            return std::make_unique<OwnBlanksMode>(e, s, blanks);
        });
        Play(editor, c.keys);
        EXPECT_EQ(editor.Text(), c.text) << c.keys;
        EXPECT_EQ(editor.Caret(), c.caret) << c.keys;
    }
    Settings settings;
    OwnBlanksMode mode(nullptr, &settings, blanks);
    mode.Compile("!99/99 99:99;1;_");
    EXPECT_EQ(mode.GetFormattedText("1231"), "12/31 00:0_");
    EXPECT_EQ(mode.GetEmptyString(), "  /     :  ") << "the value of no input stays blank";
}

TEST(MaskModes, PastePlacesTheTextFromTheCaret)
{
    Editor editor(emkStandard, "(000)");
    editor.Paste("45");
    EXPECT_EQ(editor.Text(), "(45_)");
    EXPECT_EQ(editor.Caret(), 3);
}

TEST(MaskModes, CompleteTexts)
{
    struct Case {
        TcxEditMaskKind Kind;
        const char* Mask;
        std::string Text;
        bool IgnoreMaskBlank;
        bool Complete;
    };
    const Case cases[] = {
        {emkStandard, "(000)", "(123)", false, true},
        {emkStandard, "(000)", "(___)", false, false},
        {emkStandard, "(000)", "(___)", true, true},
        {emkStandard, "(000)", "(12_)", true, false},
        {emkStandard, "(099)", "(1__)", false, true},
        {emkRegExpr, "\\d\\d", "", false, true},
        {emkRegExpr, "\\d\\d", "1", false, false},
        {emkRegExpr, "\\d\\d", "1", true, true},
        {emkRegExpr, "\\d\\d", "12", false, true},
        {emkRegExpr, "\\d\\d", "1a", true, false},
        {emkRegExprEx, "'+7 '\\d+", "+7 ", false, true},
        {emkRegExprEx, "'+7 '\\d+", "+7 1", false, true},
        {emkRegExprEx, "\\d\\d/\\d\\d", "12/", false, false},
    };
    for (const auto& c : cases) {
        Settings settings;
        settings.IgnoreMaskBlank = c.IgnoreMaskBlank;
        auto mode = TcxMaskEditCustomMode::Create(c.Kind, nullptr, &settings);
        mode->Compile(c.Mask);
        EXPECT_EQ(mode->IsFullValidText(c.Text), c.Complete) << c.Mask << " / " << c.Text;
    }
}

TEST(MaskModes, FormatsValuesWithoutAnEditor)
{
    struct Case {
        TcxEditMaskKind Kind;
        const char* Mask;
        std::string Value;
        std::string Formatted;
        std::string Updated;
        std::string Empty;
    };
    const Case cases[] = {
        {emkStandard, "(000);0;_", "", "(___)", "   ", "   "},
        {emkStandard, "(000);0;_", "12", "(12_)", "12 ", "   "},
        {emkStandard, "(000);1;*", "123", "(123)", "(123)", "(   )"},
        {emkRegExpr, "\\d+", "1a2", "12", "1a2", ""},
        {emkRegExprEx, "\\d\\d/\\d\\d", "1234", "12/34", "1234", ""},
        {emkRegExprEx, "'+7 '\\d+", "12", "+7 12", "12", "+7 "},
    };
    for (const auto& c : cases) {
        Settings settings;
        auto mode = TcxMaskEditCustomMode::Create(c.Kind, nullptr, &settings);
        mode->Compile(c.Mask);
        EXPECT_EQ(mode->GetFormattedText(c.Value), c.Formatted) << c.Mask << " / " << c.Value;
        EXPECT_EQ(mode->GetUpdatedText(c.Value), c.Updated) << c.Mask << " / " << c.Value;
        EXPECT_EQ(mode->GetEmptyString(), c.Empty) << c.Mask;
        EXPECT_EQ(mode->NeedUpdateEditValue(), c.Kind != emkRegExpr) << c.Mask;
    }
}

TEST(MaskModes, WrongExpressionListsEveryErrorOnALine)
{
    for (const char* expression : {"(a", "a)|(", "[z-a]{x"}) {
        TcxRegExpr probe;
        std::size_t errors = 0;
        try {
            probe.Compile(expression);
        } catch (const EcxRegExprError& error) {
            errors = error.Errors().Count();
        }
        ASSERT_GT(errors, 0u) << expression;
        for (auto kind : {emkRegExpr, emkRegExprEx}) {
            Settings settings;
            auto mode = TcxMaskEditCustomMode::Create(kind, nullptr, &settings);
            try {
                mode->Compile(expression);
                ADD_FAILURE() << expression << " compiled";
            } catch (const EcxMaskEditError& error) {
                const std::string& message = error.Message();
                EXPECT_EQ(message.rfind("Regular expression errors:", 0), 0u) << message;
                std::size_t lines = 0;
                for (std::size_t at = message.find("\r\n"); at != std::string::npos; at = message.find("\r\n", at + 2))
                    ++lines;
                EXPECT_EQ(lines, errors) << message;
                EXPECT_STREQ(error.ClassName(), "EcxMaskEditError");
            }
        }
    }
}

TEST(MaskModes, EmptyMasks)
{
    for (const std::string& mask : {std::string(), std::string(" "), std::string("\t\r\n \f"), std::string("\0 ", 2)})
        EXPECT_TRUE(EmptyMask(mask)) << mask;
    for (const char* mask : {"0", " a", "\v"}) EXPECT_FALSE(EmptyMask(mask)) << mask;
    Settings settings;
    auto mode = TcxMaskEditCustomMode::Create(emkRegExpr, nullptr, &settings);
    EXPECT_NO_THROW(mode->Compile("  "));
    EXPECT_EQ(mode->GetFormattedText("abc"), "");
    EXPECT_TRUE(mode->IsFullValidText("abc"));
}

TEST(MaskModes, ClickAndKeysInAnyOrderKeepTextAndCaretSound)
{
    const char keys[] = "0123456789abz/-<>#\b^$!";
    std::mt19937 random(7);
    for (auto kind : {emkStandard, emkRegExpr, emkRegExprEx}) {
        for (const char* mask : {"(000)-00", "\\d{2,3}(/\\d\\d)?", "'ab'\\d+c?"}) {
            if (kind == emkStandard && mask[0] != '(') continue;
            Editor editor(kind, mask);
            for (int step = 0; step < 400; ++step) {
                const char key = keys[random() % (sizeof(keys) - 1)];
                if (key == '!') {
                    editor.Click(static_cast<int>(random() % (editor.Text().size() + 1)));
                } else {
                    Play(editor, std::string(1, key));
                }
                ASSERT_LE(editor.Caret(), static_cast<int>(editor.Text().size()));
                if (kind == emkStandard) {
                    ASSERT_EQ(editor.Text().size(), 8u);
                }
            }
        }
    }
}

}  // namespace
