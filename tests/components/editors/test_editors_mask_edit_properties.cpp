// Masked editor properties: the mask's kind and text with a wrong mask
// refused, a blank mask counting as none, the field's mask as fallback, the
// case rules, the maximum length while masked, and how values show in cells.
#include "components/editors/cxMaskEdit.h"

#include <gtest/gtest.h>

#include "components/editors/cxEditConsts.h"
#include "fixed_locale.h"

using namespace hostlib;

namespace {

class MaskedField : public TcxCustomEditDefaultValuesProvider {
public:
    static TClass StaticClass() { return DefineClass<MaskedField, TcxCustomEditDefaultValuesProvider>("TestMaskedField"); }
    TClass ClassType() const override { return StaticClass(); }
    std::string DefaultEditMask() override { return "000-00;1;_"; }
};

struct MaskProperties : ::testing::Test {
    ScopedFormatSettings locale{FixedEnglishLocale()};
    ObjectPtr<TcxMaskEditProperties> properties = MakeObject<TcxMaskEditProperties>(nullptr);
    int changes = 0;
    void SetUp() override
    {
        properties->ChangeNotification = TNotifyEvent::FromFunction([this](TObject*) { ++changes; });
    }
    std::string Shown(const std::string& value, bool focused)
    {
        Variant display;
        properties->PrepareDisplayValue(Variant(value), display, focused);
        return VarToStr(display);
    }
};

TEST_F(MaskProperties, Defaults)
{
    EXPECT_EQ(properties->MaskKind(), emkStandard);
    EXPECT_EQ(properties->EditMask(), "");
    EXPECT_TRUE(properties->CaseInsensitive());
    EXPECT_FALSE(properties->AlwaysShowBlanksAndLiterals());
    EXPECT_FALSE(properties->IgnoreMaskBlank());
    EXPECT_TRUE(properties->ValidateOnEnter());
    EXPECT_FALSE(properties->IsMasked());
}

TEST_F(MaskProperties, AWrongExpressionRaisesAndKeepsTheOldMask)
{
    properties->SetMaskKind(emkRegExpr);
    properties->SetEditMask("\\d+");
    changes = 0;
    try {
        properties->SetEditMask("(a|");
        FAIL() << "compiled";
    } catch (const EcxMaskEditError& error) {
        EXPECT_EQ(error.Message().rfind("Regular expression errors:\r\n", 0), 0u) << error.Message();
    }
    EXPECT_EQ(properties->EditMask(), "\\d+");
    EXPECT_EQ(changes, 0);
    properties->SetEditMask("\\d+");
    EXPECT_EQ(changes, 0) << "the same mask tells nothing";
}

TEST_F(MaskProperties, BlankMasksAreNoMaskAndLeaveTheMaximumLength)
{
    properties->SetMaxLength(12);
    for (const std::string& mask : {std::string("   "), std::string("\t\r\n"), std::string("\0 ", 2)}) {
        properties->SetEditMask(mask);
        EXPECT_FALSE(properties->IsMasked());
        EXPECT_EQ(properties->MaxLength(), 12);
    }
    properties->SetEditMask("(000)");
    EXPECT_TRUE(properties->IsMasked());
    EXPECT_EQ(properties->MaxLength(), 0) << "no limit while masked";
    properties->SetMaxLength(5);
    EXPECT_EQ(properties->MaxLength(), 0);
}

TEST_F(MaskProperties, CharacterCaseForcesCaseInsensitivity)
{
    properties->SetCaseInsensitive(false);
    EXPECT_FALSE(properties->CaseInsensitive());
    properties->SetCharCase(ecUpperCase);
    EXPECT_TRUE(properties->CaseInsensitive());
    properties->SetCaseInsensitive(false);
    EXPECT_TRUE(properties->CaseInsensitive()) << "while the case is not normal";
    properties->SetCharCase(ecNormal);
    properties->SetCaseInsensitive(false);
    EXPECT_FALSE(properties->CaseInsensitive());
}

TEST_F(MaskProperties, TheFieldsMaskServesTheStandardKindWithoutOwnMask)
{
    auto field = MakeObject<MaskedField>(nullptr);
    properties->SetIDefaultValuesProvider(field.get());
    EXPECT_EQ(properties->EditMask(), "000-00;1;_");
    EXPECT_EQ(Shown("12345", false), "123-45");
    properties->SetMaskKind(emkRegExpr);
    EXPECT_EQ(properties->EditMask(), "") << "only the standard kind";
    properties->SetMaskKind(emkStandard);
    properties->SetEditMask("(000)");
    EXPECT_EQ(properties->EditMask(), "(000)");
    properties->SetIDefaultValuesProvider(nullptr);
}

TEST_F(MaskProperties, ValuesShowInCellsThroughTheMask)
{
    struct Case {
        TcxEditMaskKind Kind;
        const char* Mask;
        bool AlwaysShow;
        std::string Value;
        std::string Unfocused;
        std::string Focused;
    };
    const Case cases[] = {
        {emkStandard, "(000);0;_", false, "", "   ", "(___)"},
        {emkStandard, "(000);0;_", true, "", "(___)", "(___)"},
        {emkStandard, "(000);0;_", false, "12", "12 ", "(12_)"},
        {emkRegExpr, "\\d+", false, "1a2", "12", "12"},
        {emkRegExprEx, "\\d\\d/\\d\\d", false, "1234", "12/34", "12/34"},
        {emkStandard, "  ", false, "abc", "abc", "abc"},
    };
    for (const auto& c : cases) {
        properties->SetMaskKind(c.Kind);
        properties->SetEditMask(c.Mask);
        properties->SetAlwaysShowBlanksAndLiterals(c.AlwaysShow);
        EXPECT_EQ(Shown(c.Value, false), c.Unfocused) << c.Mask << " / " << c.Value;
        EXPECT_EQ(Shown(c.Value, true), c.Focused) << c.Mask << " / " << c.Value;
    }
}

TEST_F(MaskProperties, IncompleteTextsFailValidation)
{
    struct Case {
        const char* Mask;
        bool IgnoreMaskBlank;
        std::string Text;
        bool Error;
    };
    const Case cases[] = {
        {"(000)", false, "(123)", false},
        {"(000)", false, "(12_)", true},
        {"(000)", true, "(___)", false},
        {"(000)", true, "(1__)", true},
    };
    for (const auto& c : cases) {
        properties->SetEditMask(c.Mask);
        properties->SetIgnoreMaskBlank(c.IgnoreMaskBlank);
        Variant display(c.Text);
        std::string errorText;
        bool error = false;
        properties->ValidateDisplayValue(display, errorText, error);
        EXPECT_EQ(error, c.Error) << c.Text;
        if (c.Error) {
            EXPECT_EQ(errorText, "The edit value is invalid");
        }
    }
}

TEST_F(MaskProperties, AssignCopiesTheMaskSettings)
{
    properties->SetMaskKind(emkRegExprEx);
    properties->SetEditMask("\\d\\d/\\d\\d");
    properties->SetIgnoreMaskBlank(true);
    properties->SetAlwaysShowBlanksAndLiterals(true);
    properties->SetCaseInsensitive(false);
    auto copy = MakeObject<TcxMaskEditProperties>(nullptr);
    copy->Assign(properties.get());
    EXPECT_EQ(copy->MaskKind(), emkRegExprEx);
    EXPECT_EQ(copy->EditMask(), "\\d\\d/\\d\\d");
    EXPECT_TRUE(copy->IgnoreMaskBlank());
    EXPECT_TRUE(copy->AlwaysShowBlanksAndLiterals());
    EXPECT_FALSE(copy->CaseInsensitive());
}

TEST(MaskEditUnit, RegistersTheMaskedKind)
{
    cxMaskEditInitialize();
    EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TcxMaskEditProperties"),
              TcxMaskEditProperties::StaticClass());
    cxMaskEditFinalize();
}

}  // namespace
