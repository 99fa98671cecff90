// The masked editor as a user drives it on the headless display: keys typed
// into each mask kind, the clipboard, what shows focused and unfocused, the
// value, validation of incomplete texts, and property changes reaching the
// editor's mode.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxMaskEdit.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/visual/clipboard.h"
#include "tests/components/editors/fixed_locale.h"

using namespace hostlib;
using namespace visualtest;

namespace {

struct MaskEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxTextEditInitialize();
        cxMaskEditInitialize();
    }
    void TearDown() override
    {
        cxMaskEditFinalize();
        EditorFormTest::TearDown();
    }
    TcxMaskEdit* NewEdit(TcxEditMaskKind kind, const std::string& mask)
    {
        ++count;
        auto* edit = Add<TcxMaskEdit>(form, "Mask" + std::to_string(count), 10, 10 + 40 * count, 150, 24);
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Properties()->SetMaskKind(kind);
        edit->Properties()->SetEditMask(mask);
        Pump();
        return edit;
    }
    void Focus(TcxCustomEdit* edit)
    {
        edit->SetFocus();
        Pump();
    }
    // Printable characters are typed; '<' is Left, '\b' Backspace.
    void Play(const std::string& keys)
    {
        for (char key : keys) {
            if (key == '<')
                Key(VK_LEFT);
            else if (key == '\b')
                Key(VK_BACK);
            else
                Screen().TypeText(std::string(1, key));
            Pump();
        }
    }
    static std::string Shown(TcxCustomTextEdit* edit) { return edit->GetDisplayValue(); }

    hostlib::ScopedFormatSettings locale{FixedEnglishLocale()};
    int count = 0;
};

struct TypedCase {
    TcxEditMaskKind Kind;
    const char* Mask;
    const char* Keys;
    const char* Shown;
    int SelStart;
    unsigned Beeps;
};

TEST_F(MaskEditTest, KeysGoThroughTheModeOfTheMask)
{
    const TypedCase cases[] = {
        {emkStandard, "(000)", "123", "(123)", 5, 0},
        {emkStandard, "(000)", "123\b", "(12_)", 3, 0},
        {emkStandard, "(000)", "a", "(___)", 1, 0},
        {emkStandard, "(000)", "1a2", "(12_)", 3, 0},
        {emkRegExpr, "\\d+", "x", "", 0, 1},
        {emkRegExpr, "\\d+", "12<3", "132", 2, 0},
        {emkRegExprEx, "\\d\\d/\\d\\d", "12", "12/", 3, 0},
        {emkRegExprEx, "\\d\\d/\\d\\d", "12\b", "1", 1, 0},
    };
    for (const TypedCase& c : cases) {
        TcxMaskEdit* edit = NewEdit(c.Kind, c.Mask);
        edit->Properties()->SetBeepOnError(true);
        Focus(edit);
        const unsigned beeps = Screen().BeepCount();
        Play(c.Keys);
        EXPECT_EQ(Shown(edit), c.Shown) << c.Mask << " / " << c.Keys;
        EXPECT_EQ(edit->InnerTextEdit()->GetSelStart(), c.SelStart) << c.Mask << " / " << c.Keys;
        EXPECT_EQ(Screen().BeepCount() - beeps, c.Beeps) << c.Mask << " / " << c.Keys;
        // An incomplete text would keep the focus: Escape gives it up.
        Key(VK_ESCAPE);
        Pump();
    }
}

TEST_F(MaskEditTest, AStandardMaskShowsBlanksAndLiteralsOnlyWhileFocused)
{
    TcxMaskEdit* edit = NewEdit(emkStandard, "(000);0;_");
    TcxMaskEdit* other = NewEdit(emkStandard, "");
    EXPECT_EQ(Shown(edit), "   ") << "unfocused: blanks as spaces, unsaved literals left out";
    Focus(edit);
    EXPECT_EQ(Shown(edit), "(___)");
    EXPECT_EQ(edit->Text(), "   ") << "the value text saves no literals";
    Play("12");
    EXPECT_EQ(Shown(edit), "(12_)");
    EXPECT_EQ(edit->Text(), "12 ");
    Play("3");
    Focus(other);
    EXPECT_EQ(VarToStr(edit->EditValue()), "123");
    EXPECT_EQ(Shown(edit), "123");
    edit->Properties()->SetAlwaysShowBlanksAndLiterals(true);
    Pump();
    EXPECT_EQ(Shown(edit), "(123)");
}

TEST_F(MaskEditTest, PastingPlacesTheTextInTheMaskPositions)
{
    TcxMaskEdit* edit = NewEdit(emkStandard, "(000)");
    Focus(edit);
    Clipboard()->SetAsText("45");
    KeyWith(VK_CONTROL, 'V');
    Pump();
    EXPECT_EQ(Shown(edit), "(45_)") << "pasted over the whole text";
    Key(VK_HOME);
    KeyWith(VK_CONTROL, 'V');
    Pump();
    EXPECT_EQ(Shown(edit), "(45_)");
    EXPECT_EQ(edit->InnerTextEdit()->GetSelStart(), 3) << "the caret after what was pasted";
    Play("6");
    EXPECT_EQ(Shown(edit), "(456)");
}

TEST_F(MaskEditTest, CuttingCopiesAndBlanksTheSelection)
{
    TcxMaskEdit* edit = NewEdit(emkStandard, "(000)");
    Focus(edit);
    Play("123");
    edit->InnerTextEdit()->SetSelStart(1);
    edit->InnerTextEdit()->SetSelLength(2);
    KeyWith(VK_CONTROL, 'X');
    Pump();
    EXPECT_EQ(Clipboard()->AsText(), "12");
    EXPECT_EQ(Shown(edit), "(__3)") << "fixed positions stay; only the characters go";
}

TEST_F(MaskEditTest, AnIncompleteTextFailsValidationUnlessItIsEmptyAndBlanksAreIgnored)
{
    TcxMaskEdit* edit = NewEdit(emkStandard, "(000)");
    Focus(edit);
    Play("12");
    EXPECT_FALSE(edit->ValidateEdit(false));
    try {
        edit->ValidateEdit(true);
        ADD_FAILURE() << "an incomplete text must raise";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The edit value is invalid");
    }
    edit->Properties()->SetIgnoreMaskBlank(true);
    EXPECT_FALSE(edit->ValidateEdit(false)) << "(12_) is still incomplete";
    Play("\b\b");
    EXPECT_EQ(Shown(edit), "(___)");
    EXPECT_TRUE(edit->ValidateEdit(false)) << "the empty text is complete when blanks are ignored";
    Play("123");
    EXPECT_TRUE(edit->ValidateEdit(false));
}

TEST_F(MaskEditTest, AWrongExpressionRaisesAndTheEditorKeepsItsMask)
{
    TcxMaskEdit* edit = NewEdit(emkRegExpr, "\\d+");
    try {
        edit->Properties()->SetEditMask("(\\d");
        ADD_FAILURE() << "a wrong expression must raise";
    } catch (const EcxMaskEditError& e) {
        EXPECT_NE(e.Message().find(cxGetResourceString(scxMaskEditRegExprError)), std::string::npos)
            << e.Message();
    }
    EXPECT_EQ(edit->Properties()->EditMask(), "\\d+");
    Focus(edit);
    Play("4x5");
    EXPECT_EQ(Shown(edit), "45");
}

TEST_F(MaskEditTest, AKindAndAMaskAssignedTogetherStayTogether)
{
    TcxMaskEdit* edit = NewEdit(emkStandard, "");
    auto source = MakeObject<TcxMaskEditProperties>(static_cast<TPersistent*>(nullptr));
    source->SetMaskKind(emkRegExpr);
    source->SetEditMask("\\d\\d");
    edit->Properties()->Assign(source.get());
    Pump();
    EXPECT_EQ(edit->Properties()->EditMask(), "\\d\\d");
    EXPECT_TRUE(edit->IsMasked());
    Focus(edit);
    Play("1x2");
    EXPECT_EQ(Shown(edit), "12");
}

TEST_F(MaskEditTest, ChangingTheKindClearsAMaskOfTheOtherFamilyOnly)
{
    TcxMaskEdit* edit = NewEdit(emkStandard, "(000)");
    edit->Properties()->SetMaskKind(emkRegExpr);
    Pump();
    EXPECT_EQ(edit->Properties()->EditMask(), "");
    EXPECT_FALSE(edit->IsMasked());
    edit->Properties()->SetEditMask("\\d\\d/\\d\\d");
    edit->Properties()->SetMaskKind(emkRegExprEx);
    Pump();
    EXPECT_EQ(edit->Properties()->EditMask(), "\\d\\d/\\d\\d");
    EXPECT_EQ(edit->Mode()->GetMaskKind(), emkRegExprEx);
    Focus(edit);
    Play("12");
    EXPECT_EQ(Shown(edit), "12/") << "the new mode types the forced slash";
}

TEST_F(MaskEditTest, ABlankMaskIsNoMask)
{
    TcxMaskEdit* edit = NewEdit(emkStandard, "  \t ");
    edit->Properties()->SetMaxLength(4);
    Pump();
    EXPECT_FALSE(edit->IsMasked());
    EXPECT_EQ(edit->Properties()->MaxLength(), 4) << "only a real mask forces the length to 0";
    Focus(edit);
    Play("abcdef");
    EXPECT_EQ(Shown(edit), "abcd");
    Play("<<\b");
    EXPECT_EQ(Shown(edit), "acd") << "plain editing";
}

TEST_F(MaskEditTest, UpperCaseMakesTheExpressionCaseInsensitiveAndTypesCapitals)
{
    TcxMaskEdit* edit = NewEdit(emkRegExpr, "[ABC]+");
    edit->Properties()->SetCaseInsensitive(false);
    edit->Properties()->SetCharCase(ecUpperCase);
    Pump();
    EXPECT_TRUE(edit->Properties()->CaseInsensitive());
    Focus(edit);
    Play("abd");
    EXPECT_EQ(Shown(edit), "AB");
}

TEST_F(MaskEditTest, TheMaskedKindIsRegisteredAndItsEditorIsTheMaskEdit)
{
    TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
    TClass kind = kinds->FindByClassName("TcxMaskEditProperties");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kinds->GetDescriptionByClass(kind), "MaskEdit");
    ObjectPtr<TcxMaskEditProperties> properties(CreateObject<TcxMaskEditProperties>(static_cast<TPersistent*>(nullptr)));
    EXPECT_EQ(properties->GetContainerClass(), TcxMaskEdit::StaticClass());
}

}  // namespace
