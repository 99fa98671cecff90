// Text editor properties: defaults, assigned values and their form-stream
// rules, bounds, display texts (password, character case, numeric formats),
// the lookup-list rule of the list styles, and the digit-grouping helpers.
#include "components/editors/cxTextEdit.h"

#include <gtest/gtest.h>

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditRepositoryItems.h"
#include "fixed_locale.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/form_resource.h"

using namespace hostlib;

namespace {

// The list styles of the drop-down kinds, with a lookup of their own.
class ListProperties : public TcxCustomTextEditProperties {
public:
    static TClass StaticClass() { return DefineClass<ListProperties, TcxCustomTextEditProperties>("TestListProperties"); }
    TClass ClassType() const override { return StaticClass(); }
    TcxEditEditingStyle GetEditingStyle() override { return style; }
    TClass GetLookupDataClass() override { return TObject::StaticClass(); }
    TcxEditEditingStyle style = esFixedList;
};

// A numeric kind, as the catalogue's spin and currency editors are.
class NumericProperties : public TcxCustomTextEditProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<NumericProperties, TcxCustomTextEditProperties>("TestNumericProperties");
    }
    TClass ClassType() const override { return StaticClass(); }
    bool IsEditValueNumeric() override { return true; }
    bool HasDigitGrouping(bool) override { return grouping; }
    bool grouping = false;
};

class CurrencyField : public TcxCustomEditDefaultValuesProvider {
public:
    static TClass StaticClass()
    {
        return DefineClass<CurrencyField, TcxCustomEditDefaultValuesProvider>("TestCurrencyField");
    }
    TClass ClassType() const override { return StaticClass(); }
    bool IsCurrency() override { return true; }
    int DefaultMaxLength() override { return 12; }
    double DefaultMaxValue() override { return 99.0; }
};

class TextForm : public TComponent {
public:
    static TClass StaticClass() { return DefineClass<TextForm, TComponent>("TestTextForm"); }
    TClass ClassType() const override { return StaticClass(); }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) override
    {
        for (int i = 0; i < ComponentCount(); ++i)
            proc(Components(i));
    }
};

struct TextProperties : ::testing::Test {
    ScopedFormatSettings locale{FixedEnglishLocale()};
    ObjectPtr<TcxTextEditProperties> properties = MakeObject<TcxTextEditProperties>(nullptr);
    int changes = 0;
    void SetUp() override
    {
        properties->ChangeNotification = TNotifyEvent::FromFunction([this](TObject*) { ++changes; });
    }
};

TEST_F(TextProperties, DefaultsAndAnswersOfTheKind)
{
    EXPECT_EQ(properties->CharCase(), ecNormal);
    EXPECT_EQ(properties->EchoMode(), eemNormal);
    EXPECT_EQ(properties->PasswordChar(), '\0');
    EXPECT_EQ(properties->MaxLength(), 0);
    EXPECT_FALSE(properties->IsMaxLengthStored());
    EXPECT_TRUE(properties->FixedListSelection());
    EXPECT_TRUE(properties->HideSelection());
    EXPECT_EQ(properties->ImeMode(), imDontCare);
    EXPECT_EQ(properties->GetEditingStyle(), esEdit);
    EXPECT_TRUE(properties->IsResetEditClass());
    EXPECT_EQ(properties->GetDropDownPageRowCount(), 8);
    EXPECT_EQ(properties->GetEditValueSource(true), evsText);
    EXPECT_EQ(properties->GetSupportedOperations(),
              (TcxEditSupportedOperations{esoAutoHeight, esoFiltering, esoHorzAlignment, esoIncSearch, esoSorting}));
    auto* button = static_cast<TcxEditButton*>(properties->Buttons()->Add());
    button->SetVisible(false);
    EXPECT_TRUE(properties->GetSupportedOperations().Contains(esoHotTrack)) << "even an invisible button";
    EXPECT_EQ(properties->GetValidateErrorText(1), "Value out of bounds");
    EXPECT_EQ(properties->GetValidateErrorText(0), cxGetResourceString(cxSEditValidateErrorText));
}

TEST_F(TextProperties, ViewStyleIsButtonsViewStyleAndHideCursor)
{
    struct Case {
        TcxTextEditViewStyle style;
        TcxEditButtonsViewStyle buttons;
        bool hideCursor;
        TcxEditEditingStyle editing;
    } cases[] = {
        {vsHideCursor, bvsNormal, true, esNoEdit},
        {vsButtonsOnly, bvsButtonsOnly, true, esNoEdit},
        {vsButtonsAutoWidth, bvsButtonsAutoWidth, true, esNoEdit},
        {vsNormal, bvsNormal, false, esEdit},
    };
    for (const Case& c : cases) {
        changes = 0;
        properties->SetViewStyle(c.style);
        EXPECT_EQ(properties->ViewStyle(), c.style);
        EXPECT_EQ(properties->ButtonsViewStyle(), c.buttons);
        EXPECT_EQ(properties->HideCursor(), c.hideCursor);
        EXPECT_EQ(properties->GetEditingStyle(), c.editing);
        EXPECT_EQ(changes, 1) << "one change for both settings, style " << c.style;
    }
    properties->SetViewStyle(vsNormal);
    EXPECT_EQ(changes, 1) << "the same style changes nothing";
}

TEST_F(TextProperties, MaxLengthIsNeverNegativeAndAssignedOnceSet)
{
    properties->SetMaxLength(-3);
    EXPECT_EQ(properties->MaxLength(), 0);
    EXPECT_TRUE(properties->AssignedValues()->MaxLength());
    EXPECT_EQ(changes, 1);
    properties->SetMaxLength(0);
    EXPECT_EQ(changes, 1) << "assigned and equal";
    properties->SetMaxLength(7);
    EXPECT_EQ(properties->MaxLength(), 7);
    EXPECT_EQ(changes, 2);
    properties->AssignedValues()->SetMaxLength(false);
    EXPECT_EQ(changes, 3) << "clearing the flag is a change of the length";

    auto field = MakeObject<CurrencyField>(nullptr);
    properties->SetIDefaultValuesProvider(field.get());
    EXPECT_EQ(properties->MaxLength(), 12) << "unassigned: the field's length";
    properties->SetIDefaultValuesProvider(nullptr);
}

TEST_F(TextProperties, BoundsKeepTheirOrder)
{
    properties->SetMaxValue(5);
    properties->SetMinValue(10);
    EXPECT_EQ(properties->MinValue(), 5) << "a minimum above an assigned maximum is lowered to it";
    auto other = MakeObject<TcxTextEditProperties>(nullptr);
    other->SetMinValue(10);
    other->SetMaxValue(4);
    EXPECT_EQ(other->MaxValue(), 10) << "a maximum below an assigned minimum is raised to it";

    changes = 0;
    auto pair = MakeObject<TcxTextEditProperties>(nullptr);
    pair->ChangeNotification = TNotifyEvent::FromFunction([this](TObject*) { ++changes; });
    pair->SetMinMaxValues(10, 5);
    EXPECT_EQ(pair->MinValue(), 5);
    EXPECT_EQ(pair->MaxValue(), 5);
    EXPECT_EQ(changes, 1);
    pair->SetMinMaxValues(5, 5);
    EXPECT_EQ(changes, 1) << "both assigned and equal";

    struct Case {
        Variant value;
        Variant expected;
    } cases[] = {{Variant(3), Variant(5.0)}, {Variant(12.5), Variant(10.0)}, {Variant(7), Variant(7)},
                 {Variant("x"), Variant("x")}};
    pair->SetMinMaxValues(5, 10);
    for (const Case& c : cases)
        EXPECT_TRUE(VarSameValue(pair->CheckValueBounds(c.value), c.expected)) << VarToStr(c.value);
    pair->SetMinMaxValues(5, 5);
    EXPECT_TRUE(VarSameValue(pair->CheckValueBounds(Variant(3)), Variant(3))) << "equal bounds clamp nothing";
}

TEST_F(TextProperties, DisplayTextsOfPasswordsAndCharacterCase)
{
    struct Case {
        TcxEditEchoMode echo;
        char passwordChar;
        TEditCharCase charCase;
        const char* value;
        const char* shown;
    } cases[] = {
        {eemPassword, '\0', ecNormal, "abc", "***"},
        {eemPassword, '#', ecNormal, "abc", "###"},
        {eemPassword, '\0', ecNormal, "\xC3\xA4\xC3\xA4", "**"},
        {eemNormal, '#', ecUpperCase, "aB\xC3\xA4", "AB\xC3\xA4"},
        {eemNormal, '\0', ecLowerCase, "aB\xC3\x84", "ab\xC3\x84"},
        {eemNormal, '\0', ecNormal, "aB", "aB"},
    };
    for (const Case& c : cases) {
        properties->SetEchoMode(c.echo);
        properties->SetPasswordChar(c.passwordChar);
        properties->SetCharCase(c.charCase);
        EXPECT_EQ(properties->GetDisplayText(Variant(c.value)), c.shown) << c.value;
    }
    EXPECT_EQ(properties->GetDisplayText(Variant::Null()), "");
    properties->SetEchoMode(eemNormal);
    properties->SetCharCase(ecNormal);
    EXPECT_EQ(properties->GetDisplayText(Variant(12)), "12");
    EXPECT_TRUE(properties->CompareDisplayValues(Variant("abc"), Variant("abc")));
    EXPECT_FALSE(properties->CompareDisplayValues(Variant("abc"), Variant("ABC"))) << "case-sensitive";
    properties->SetCharCase(ecUpperCase);
    EXPECT_TRUE(properties->CompareDisplayValues(Variant("abc"), Variant("ABC"))) << "as both are shown";
}

TEST_F(TextProperties, TheListStylesAcceptOnlyListedTexts)
{
    auto list = MakeObject<ListProperties>(nullptr);
    list->LookupItems()->Add("abc");
    list->LookupItems()->Add("Delta");
    struct Case {
        TcxEditEditingStyle style;
        const char* text;
        bool valid;
    } cases[] = {
        {esFixedList, "", true},   {esFixedList, "ABC", true}, {esFixedList, "abd", false},
        {esEditList, "delta", true}, {esEditList, "x", false},   {esEdit, "x", true},
    };
    for (const Case& c : cases) {
        list->style = c.style;
        Variant value(c.text);
        EXPECT_EQ(list->IsDisplayValueValid(value, true), c.valid) << c.text << " in style " << c.style;
        if (c.valid) {
            EXPECT_EQ(VarToStr(value), c.text) << "the letters stay as typed";
        }
    }
    list->style = esFixedList;
    list->SetCharCase(ecLowerCase);
    Variant typed("ABC");
    EXPECT_TRUE(list->IsDisplayValueValid(typed, true));
    EXPECT_EQ(VarToStr(typed), "abc") << "only the character case changes them";
    EXPECT_EQ(list->GetDisplayText(Variant("zzz")), "zzz") << "an invalid value is shown as it is";
}

TEST_F(TextProperties, NumericKindsFormatTheirValues)
{
    auto numeric = MakeObject<NumericProperties>(nullptr);
    Variant shown;
    numeric->PrepareDisplayValue(Variant::Null(), shown, false);
    EXPECT_EQ(VarToStr(shown), "");
    numeric->SetDisplayFormat("0.00");
    numeric->PrepareDisplayValue(Variant(1.5), shown, false);
    EXPECT_EQ(VarToStr(shown), "1.50");
    numeric->PrepareDisplayValue(Variant("abc"), shown, false);
    EXPECT_EQ(VarToStr(shown), "abc") << "a text that is no number is shown as it is";
    numeric->PrepareDisplayValue(Variant(1.5), shown, true);
    EXPECT_EQ(VarToStr(shown), "1.5") << "focused without UseDisplayFormatWhenEditing: no format";
    numeric->SetUseDisplayFormatWhenEditing(true);
    numeric->PrepareDisplayValue(Variant(1.5), shown, true);
    EXPECT_EQ(VarToStr(shown), "1.50");
    numeric->SetUseDisplayFormatWhenEditing(false);
    numeric->grouping = true;
    numeric->PrepareDisplayValue(Variant(1234567), shown, true);
    EXPECT_EQ(VarToStr(shown), "1,234,567");
    EXPECT_THROW(numeric->PrepareDisplayValue(Variant(true), shown, true), EConvertError);
    try {
        numeric->PrepareDisplayValue(Variant(true), shown, true);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Could not convert to numeric value");
    }
}

TEST_F(TextProperties, EditFormatsFollowTheirSources)
{
    auto numeric = MakeObject<NumericProperties>(nullptr);
    auto field = MakeObject<CurrencyField>(nullptr);
    numeric->SetIDefaultValuesProvider(field.get());
    bool isCurrency = true, onGetText = true;
    EXPECT_EQ(numeric->InternalGetEditFormat(isCurrency, onGetText), "");
    EXPECT_FALSE(isCurrency) << "a currency field is edited plainly unless its format is kept";
    numeric->SetUseDisplayFormatWhenEditing(true);
    numeric->InternalGetEditFormat(isCurrency, onGetText);
    EXPECT_TRUE(isCurrency);
    Variant shown;
    numeric->PrepareDisplayValue(Variant(2.5), shown, true);
    EXPECT_EQ(VarToStr(shown), "2.50") << "currency digits of the locale";
    numeric->SetDisplayFormat("#,##0.0");
    EXPECT_EQ(numeric->InternalGetEditFormat(isCurrency, onGetText), "#,##0.0");
    EXPECT_FALSE(isCurrency);
    numeric->SetEditFormat("0.000");
    EXPECT_EQ(numeric->EditFormat(), "0.000") << "an assigned edit format comes first";
    EXPECT_EQ(numeric->MaxValue(), 99.0) << "the field's bound while none is assigned";
    numeric->SetIDefaultValuesProvider(nullptr);
}

TEST_F(TextProperties, NumericBoundsFailValidation)
{
    auto numeric = MakeObject<NumericProperties>(nullptr);
    numeric->SetMinMaxValues(1, 10);
    struct Case {
        Variant value;
        bool error;
    } cases[] = {{Variant(0), true}, {Variant(11.0), true}, {Variant(5), false}, {Variant("text"), false}};
    for (const Case& c : cases) {
        std::string errorText;
        bool error = false;
        Variant value = c.value;
        numeric->ValidateDisplayValue(value, errorText, error);
        EXPECT_EQ(error, c.error) << VarToStr(c.value);
        if (c.error) {
            EXPECT_EQ(errorText, "Value out of bounds");
        }
    }
}

TEST_F(TextProperties, AssignCopiesSettingsAndOnlyAssignedValues)
{
    auto source = MakeObject<TcxTextEditProperties>(nullptr);
    source->SetCharCase(ecUpperCase);
    source->SetEchoMode(eemPassword);
    source->SetPasswordChar('#');
    source->SetMaxLength(4);
    source->SetDisplayFormat("0.0");
    source->LookupItems()->Add("b");
    source->LookupItems()->Add("a");
    source->SetLookupItemsSorted(true);
    source->SetImeName("ime");
    properties->SetMinValue(3);
    properties->SetEditFormat("x");
    changes = 0;
    properties->Assign(source.get());
    EXPECT_EQ(changes, 1) << "one change for the whole copy";
    EXPECT_EQ(properties->CharCase(), ecUpperCase);
    EXPECT_EQ(properties->EchoMode(), eemPassword);
    EXPECT_EQ(properties->PasswordChar(), '#');
    EXPECT_EQ(properties->MaxLength(), 4);
    EXPECT_EQ(properties->DisplayFormat(), "0.0");
    EXPECT_TRUE(properties->LookupItemsSorted());
    EXPECT_EQ(properties->LookupItems()->Get(0), "a");
    EXPECT_EQ(properties->ImeName(), "ime");
    EXPECT_FALSE(properties->AssignedValues()->MinValue()) << "not assigned in the source";
    EXPECT_FALSE(properties->AssignedValues()->EditFormat());
    changes = 0;
    properties->AssignedValues()->RestoreDefaults();
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(properties->AssignedValues()->MaxLength());
    EXPECT_FALSE(properties->AssignedValues()->DisplayFormat());
}

TEST_F(TextProperties, LookupItemsAndFormatChangesAreChanges)
{
    properties->LookupItems()->Add("one");
    EXPECT_EQ(changes, 1);
    bool sawFlag = false;
    properties->ChangeNotification = TNotifyEvent::FromFunction(
        [&](TObject*) { sawFlag = properties->FormatChanging(); });
    cxFormatController()->NotifyListeners();
    EXPECT_TRUE(sawFlag) << "the listener hears the locale's change with the flag set";
    EXPECT_FALSE(properties->FormatChanging());
}

TEST_F(TextProperties, FormStreamsWriteTheLengthAndReadTheOldFlag)
{
    RegisterClasses({TextForm::StaticClass(), TcxEditRepositoryTextItem::StaticClass(),
                     TcxTextEditProperties::StaticClass()});
    auto form = MakeObject<TextForm>(nullptr);
    auto* item = CreateObject<TcxEditRepositoryTextItem>(form.get());
    item->SetName("Item");
    auto* text = static_cast<TcxTextEditProperties*>(item->Properties());
    text->SetMaxLength(-3);
    text->AssignedValues()->SetDisplayFormat(true);
    const std::string written = WriteFormResource(form.get());
    EXPECT_NE(written.find("Properties.MaxLength = 0"), std::string::npos) << written;
    EXPECT_EQ(written.find("AssignedValues.MaxLength"), std::string::npos) << written;
    EXPECT_NE(written.find("AssignedValues.DisplayFormat = True"), std::string::npos)
        << "an empty assigned format is kept by its flag\n"
        << written;
    EXPECT_EQ(written.find("IsDisplayFormatAssigned"), std::string::npos);

    std::string old = written;
    old.replace(old.find("AssignedValues.DisplayFormat"), 28, "IsDisplayFormatAssigned");
    ObjectPtr<TComponent> loaded(CreateFromFormResource(old, "old.form", nullptr));
    auto* copy = As<TcxEditRepositoryTextItem>(loaded->FindComponent("Item"));
    ASSERT_NE(copy, nullptr);
    auto* copied = static_cast<TcxTextEditProperties*>(copy->Properties());
    EXPECT_TRUE(copied->AssignedValues()->DisplayFormat());
    EXPECT_TRUE(copied->AssignedValues()->MaxLength());
}

TEST(TextHelpers, ThousandSeparatorsExponentsAndCase)
{
    ScopedFormatSettings locale{FixedEnglishLocale()};
    struct Case {
        const char* text;
        const char* grouped;
    } cases[] = {
        {"1234567.891", "1,234,567.891"}, {" 12345E3 ", " 12,345E3 "}, {"123", "123"},
        {"-123", "-123"},                 {"-123456", "-123,456"},     {"1,2345", "12,345"},
        {"", ""},                         {"  ", "  "},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        InsertThousandSeparator(text);
        EXPECT_EQ(text, c.grouped) << "'" << c.text << "'";
        RemoveThousandSeparator(text);
        EXPECT_EQ(text.find(','), std::string::npos);
    }
    std::string text = "1.5e-3", exponent;
    RemoveExponentialPart(text, exponent);
    EXPECT_EQ(text, "1.5");
    EXPECT_EQ(exponent, "e-3");
    RemoveExponentialPart(text, exponent);
    EXPECT_EQ(exponent, "");

    std::string word = "aB\xC3\xA4";
    CheckCharsRegister(word, ecUpperCase);
    EXPECT_EQ(word, "AB\xC3\xA4");
    CheckCharsRegister(word, ecNormal);
    EXPECT_EQ(word, "AB\xC3\xA4");
}

TEST(TextHelpers, TheTextKindIsRegistered)
{
    cxTextEditInitialize();
    cxTextEditInitialize();
    TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
    EXPECT_EQ(kinds->FindByClassName("TcxTextEditProperties"), TcxTextEditProperties::StaticClass());
    EXPECT_EQ(kinds->GetDescriptionByClass(TcxTextEditProperties::StaticClass()), "TextEdit");
    cxTextEditFinalize();
    cxTextEditFinalize();
}

} // namespace
