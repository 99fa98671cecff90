// The filter-condition helpers: which helper serves each editor kind, the
// operators offered per kind and value type, the operator texts, checking a
// typed value, and the value editor built from a column's properties with
// values moved in and out of it.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/data/cxDataStorage.h"
#include "components/data/cxVariants.h"
#include "components/editor-catalogue/cxBlobEdit.h"
#include "components/editor-catalogue/cxCalc.h"
#include "components/editor-catalogue/cxCheckBox.h"
#include "components/editor-catalogue/cxCurrencyEdit.h"
#include "components/editor-catalogue/cxDBLookupComboBox.h"
#include "components/editor-catalogue/cxDateEdit.h"
#include "components/editor-catalogue/cxFilterControlStrs.h"
#include "components/editor-catalogue/cxFilterControlUtils.h"
#include "components/editor-catalogue/cxHyperLinkEdit.h"
#include "components/editor-catalogue/cxImage.h"
#include "components/editor-catalogue/cxImageComboBox.h"
#include "components/editor-catalogue/cxMRUEdit.h"
#include "components/editor-catalogue/cxMemo.h"
#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editor-catalogue/cxRadioGroup.h"
#include "components/editor-catalogue/cxSpinEdit.h"
#include "components/editor-catalogue/cxTimeEdit.h"
#include "components/editors/cxButtonEdit.h"
#include "components/editors/cxComboBox.h"
#include "components/editors/cxEditInplaceList.h"
#include "components/editors/cxMaskEdit.h"
#include "components/editors/cxPopupEdit.h"

using namespace hostlib;

namespace {

struct FilterHelpersTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxFilterControlUtilsInitialize();
    }
    void TearDown() override
    {
        EditorFormTest::TearDown();
        cxFilterControlUtilsFinalize();
    }
    template <class P>
    static ObjectPtr<P> NewProperties()
    {
        return MakeObject<P>(static_cast<TPersistent*>(nullptr));
    }
    // The value editor a helper builds for a column, owned by the test.
    ObjectPtr<TcxCustomEdit> FilterEdit(TcxCustomEditProperties* column)
    {
        TcxCustomFilterEditHelperClass helper = FilterEditsController()->FindHelper(column->ClassType());
        return ObjectPtr<TcxCustomEdit>(helper->GetFilterEdit(column));
    }
};

using Ops = TcxFilterControlOperators;

TcxValueTypeClass StringType() { return TcxStringValueType::Class(); }
TcxValueTypeClass IntegerType() { return TcxIntegerValueType::Class(); }

Ops Range(TcxFilterControlOperator first, TcxFilterControlOperator last)
{
    Ops result;
    for (int op = first; op <= last; ++op) result.Include(static_cast<TcxFilterControlOperator>(op));
    return result;
}

const Ops kOrdered = Range(fcoEqual, fcoGreaterEqual) + Ops{fcoBlanks, fcoNonBlanks};
const Ops kRanges = Range(fcoBetween, fcoNotInList);
const Ops kLike{fcoLike, fcoNotLike};
const Ops kEquality{fcoEqual, fcoNotEqual, fcoBlanks, fcoNonBlanks};

// ---- the registry ------------------------------------------------------------------

TEST_F(FilterHelpersTest, EachKindFindsTheHelperOfItsNearestRegisteredAncestor)
{
    struct Case {
        TClass properties;
        TClass helper;
    };
    const Case cases[] = {
        {TcxTextEditProperties::StaticClass(), TcxFilterTextEditHelper::StaticClass()},
        {TcxMaskEditProperties::StaticClass(), TcxFilterMaskEditHelper::StaticClass()},
        // Registered nowhere themselves: served by the mask helper.
        {TcxButtonEditProperties::StaticClass(), TcxFilterMaskEditHelper::StaticClass()},
        {TcxPopupEditProperties::StaticClass(), TcxFilterMaskEditHelper::StaticClass()},
        {TcxBlobEditProperties::StaticClass(), TcxFilterBlobEditHelper::StaticClass()},
        {TcxComboBoxProperties::StaticClass(), TcxFilterComboBoxHelper::StaticClass()},
        {TcxCheckBoxProperties::StaticClass(), TcxFilterCheckBoxHelper::StaticClass()},
        {TcxCalcEditProperties::StaticClass(), TcxFilterCalcEditHelper::StaticClass()},
        {TcxDateEditProperties::StaticClass(), TcxFilterDateEditHelper::StaticClass()},
        {TcxCurrencyEditProperties::StaticClass(), TcxFilterCurrencyEditHelper::StaticClass()},
        {TcxSpinEditProperties::StaticClass(), TcxFilterSpinEditHelper::StaticClass()},
        {TcxTimeEditProperties::StaticClass(), TcxFilterTimeEditHelper::StaticClass()},
        {TcxImageComboBoxProperties::StaticClass(), TcxFilterImageComboBoxHelper::StaticClass()},
        {TcxMRUEditProperties::StaticClass(), TcxFilterMRUEditHelper::StaticClass()},
        {TcxHyperLinkEditProperties::StaticClass(), TcxFilterHyperLinkEditHelper::StaticClass()},
        {TcxMemoProperties::StaticClass(), TcxFilterMemoHelper::StaticClass()},
        {TcxLookupComboBoxProperties::StaticClass(), TcxFilterLookupComboBoxHelper::StaticClass()},
        {TcxRadioGroupProperties::StaticClass(), TcxFilterRadioGroupHelper::StaticClass()},
        {TcxProgressBarProperties::StaticClass(), TcxFilterProgressBarHelper::StaticClass()},
        // No registered ancestor.
        {TcxImageProperties::StaticClass(), nullptr},
        {TcxCustomEditProperties::StaticClass(), nullptr},
        {nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.properties ? c.properties->ClassName() : "nil");
        TcxCustomFilterEditHelperClass found = FilterEditsController()->FindHelper(c.properties);
        EXPECT_EQ(found ? found->ClassType() : nullptr, c.helper);
        if (c.helper) {
            EXPECT_EQ(found, cxFilterEditHelperOf(c.helper)) << "one shared instance per helper class";
        }
    }
}

TEST_F(FilterHelpersTest, PairsAreKeptUnderTheParentAndTheUnitCountsItsStarts)
{
    TcxFilterEditsController* registry = FilterEditsController();
    ASSERT_NE(registry, nullptr);
    EXPECT_EQ(registry->Count(), 17);
    bool textKey = false;
    for (int i = 0; i < registry->Count(); ++i) {
        EXPECT_NE(registry->Items(i).ItemClass, TcxTextEditProperties::StaticClass());
        textKey = textKey || registry->Items(i).ItemClass == TcxCustomTextEditProperties::StaticClass();
    }
    EXPECT_TRUE(textKey);

    // A pair registered later covers the kind's whole family, and leaves again.
    registry->Register(TcxImageProperties::StaticClass(), cxFilterEditHelper<TcxFilterTextEditHelper>());
    EXPECT_EQ(registry->FindHelper(TcxImageProperties::StaticClass()), cxFilterEditHelper<TcxFilterTextEditHelper>());
    registry->Unregister(TcxImageProperties::StaticClass(), cxFilterEditHelper<TcxFilterTextEditHelper>());
    EXPECT_EQ(registry->FindHelper(TcxImageProperties::StaticClass()), nullptr);
    EXPECT_THROW(registry->Register(TcxImageProperties::StaticClass(), TcxSpinEditProperties::StaticClass()),
                 EInvalidCast);
    EXPECT_EQ(registry->FindHelper(TcxImageProperties::StaticClass()), nullptr);

    cxFilterControlUtilsInitialize();
    cxFilterControlUtilsFinalize();
    EXPECT_EQ(FilterEditsController(), registry) << "only the last end frees the registry";
    cxFilterControlUtilsFinalize();
    EXPECT_EQ(FilterEditsController(), nullptr);
    cxFilterControlUtilsInitialize();  // for TearDown
}

// ---- operators ---------------------------------------------------------------------

TEST_F(FilterHelpersTest, OperatorsFollowTheKindTheValueTypeAndTheExtendedFlag)
{
    auto text = NewProperties<TcxTextEditProperties>();
    auto mask = NewProperties<TcxMaskEditProperties>();
    auto masked = NewProperties<TcxMaskEditProperties>();
    masked->SetEditMask("000");
    auto button = NewProperties<TcxButtonEditProperties>();
    auto memo = NewProperties<TcxMemoProperties>();
    auto blob = NewProperties<TcxBlobEditProperties>();
    auto blobMemo = NewProperties<TcxBlobEditProperties>();
    blobMemo->SetBlobEditKind(bekMemo);
    auto date = NewProperties<TcxDateEditProperties>();
    auto check = NewProperties<TcxCheckBoxProperties>();
    auto images = NewProperties<TcxImageComboBoxProperties>();
    auto radio = NewProperties<TcxRadioGroupProperties>();
    auto lookup = NewProperties<TcxLookupComboBoxProperties>();
    auto calc = NewProperties<TcxCalcEditProperties>();
    auto currency = NewProperties<TcxCurrencyEditProperties>();
    auto time = NewProperties<TcxTimeEditProperties>();
    auto mru = NewProperties<TcxMRUEditProperties>();
    auto combo = NewProperties<TcxComboBoxProperties>();

    struct Case {
        const char* name;
        TcxCustomEditProperties* properties;
        TcxValueTypeClass type;
        bool extended;
        Ops expected;
    };
    const Case cases[] = {
        {"text, string", text.get(), StringType(), false, Range(fcoEqual, fcoNonBlanks)},
        {"text, integer", text.get(), IntegerType(), false, Range(fcoEqual, fcoNonBlanks) - kLike},
        {"text, no type", text.get(), nullptr, false, Range(fcoEqual, fcoNonBlanks) - kLike},
        {"text, string, extended", text.get(), StringType(), true, Range(fcoEqual, fcoNotInList)},
        {"MRU, integer, extended", mru.get(), IntegerType(), true, Range(fcoEqual, fcoNotInList) - kLike},
        {"mask, string", mask.get(), StringType(), false, kOrdered + kLike},
        {"mask, integer", mask.get(), IntegerType(), false, kOrdered},
        {"masked, string", masked.get(), StringType(), false, kOrdered},
        {"masked, string, extended", masked.get(), StringType(), true, kOrdered + kRanges},
        {"button, string, extended", button.get(), StringType(), true, kOrdered + kLike + kRanges},
        {"combo, string", combo.get(), StringType(), false, kOrdered + kLike},
        {"memo", memo.get(), StringType(), true, kLike + Ops{fcoBlanks, fcoNonBlanks}},
        {"memo, integer", memo.get(), IntegerType(), false, kLike + Ops{fcoBlanks, fcoNonBlanks}},
        {"blob, automatic kind", blob.get(), StringType(), true, Ops{fcoBlanks, fcoNonBlanks}},
        {"blob, memo kind", blobMemo.get(), StringType(), false, kLike + Ops{fcoBlanks, fcoNonBlanks}},
        {"date", date.get(), StringType(), false, kOrdered},
        {"date, extended", date.get(), StringType(), true, kOrdered + kRanges + Range(fcoYesterday, fcoNextYear)},
        {"time, extended", time.get(), StringType(), true, kOrdered + kRanges},
        {"calc, string", calc.get(), StringType(), false, kOrdered},
        {"currency, extended", currency.get(), StringType(), true, kOrdered + kRanges},
        {"check box, extended", check.get(), StringType(), true, kEquality},
        {"image combo", images.get(), IntegerType(), false, kEquality},
        {"image combo, extended", images.get(), IntegerType(), true, kEquality + Ops{fcoInList, fcoNotInList}},
        {"radio group, extended", radio.get(), IntegerType(), true, kEquality + Ops{fcoInList, fcoNotInList}},
        {"lookup, extended", lookup.get(), StringType(), true, kEquality},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TcxCustomFilterEditHelperClass helper = FilterEditsController()->FindHelper(c.properties->ClassType());
        ASSERT_NE(helper, nullptr);
        EXPECT_EQ(helper->GetSupportedFilterOperators(c.properties, c.type, c.extended).Bits(), c.expected.Bits());
    }
}

TEST_F(FilterHelpersTest, OperatorTextsAreReadAsReplaceableResourceStrings)
{
    const std::vector<std::string> texts = {
        "",           "equals",         "does not equal", "is less than",  "is less than or equal to",
        "is greater than", "is greater than or equal to", "like", "not like", "is blank",
        "is not blank", "between",      "not between",    "in",            "not in",
        "is yesterday", "is today",     "is tomorrow",    "is last week",  "is last month",
        "is last year", "is this week", "is this month",  "is this year",  "is next week",
        "is next month", "is next year"};
    for (int ordinal = 0; ordinal <= 26; ++ordinal)
        EXPECT_EQ(GetFilterControlOperatorText(static_cast<TcxFilterControlOperator>(ordinal)),
                  texts[static_cast<std::size_t>(ordinal)])
            << ordinal;
    EXPECT_EQ(GetFilterControlOperatorText(static_cast<TcxFilterControlOperator>(27)), "");
    EXPECT_EQ(GetFilterControlOperatorText(static_cast<TcxFilterControlOperator>(127)), "");
    EXPECT_EQ(GetFilterControlOperatorText(static_cast<TcxFilterControlOperator>(128 + 2)), "does not equal");
    EXPECT_EQ(GetFilterControlOperatorText(static_cast<TcxFilterControlOperator>(-1)), "");

    cxSetResourceString(cxSFilterOperatorLike, "wie");
    EXPECT_EQ(GetFilterControlOperatorText(fcoLike), "wie");
    cxClearResourceStrings();
}

// ---- validation --------------------------------------------------------------------

// A helper whose check fails with an error of its own.
class FailingHelper : public TcxFilterTextEditHelper {
public:
    static TClass StaticClass() { return DefineClass<FailingHelper, TcxFilterTextEditHelper>("TestFailingHelper"); }
    TClass ClassType() const override { return StaticClass(); }
    bool IsValueValid(TcxValueTypeClass, Variant&) const override { throw EConvertError("broken"); }
};

TEST_F(FilterHelpersTest, ValidationNormalisesAcceptsOrRefusesTypedValues)
{
    TcxCustomFilterEditHelperClass text = cxFilterEditHelper<TcxFilterTextEditHelper>();
    TcxCustomFilterEditHelperClass lookup = cxFilterEditHelper<TcxFilterLookupComboBoxHelper>();
    struct Case {
        const char* name;
        Variant value;
        TcxFilterControlOperator op;
        TcxValueTypeClass type;
        TcxCustomFilterEditHelperClass helper;
        bool refused;
        Variant after;
    };
    const Case cases[] = {
        {"empty text, integer type", Variant(""), fcoEqual, IntegerType(), text, false, Variant::Null()},
        {"empty text, string type", Variant(""), fcoEqual, StringType(), text, false, Variant("")},
        {"digits, integer type", Variant("12"), fcoLess, IntegerType(), text, false, Variant(12)},
        {"letters, integer type", Variant("x"), fcoEqual, IntegerType(), text, true, Variant("x")},
        {"letters, integer type, like", Variant("x%"), fcoLike, IntegerType(), text, false, Variant("x%")},
        {"letters, integer type, not like", Variant("x"), fcoNotLike, IntegerType(), text, false, Variant("x")},
        {"no type", Variant("x"), fcoEqual, nullptr, text, false, Variant("x")},
        {"lookup keys are never refused", Variant("x"), fcoEqual, IntegerType(), lookup, false, Variant("x")},
        {"a failing check refuses", Variant("1"), fcoEqual, IntegerType(), cxFilterEditHelper<FailingHelper>(), true,
         Variant("1")},
        {"no helper: the type decides", Variant("x"), fcoEqual, IntegerType(), nullptr, true, Variant("x")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Variant value = c.value;
        if (c.refused) {
            try {
                FilterControlValidateValue(nullptr, value, c.op, c.type, c.helper);
                ADD_FAILURE() << "accepted";
            } catch (const EcxFilterControlError& e) {
                EXPECT_EQ(e.Message(), "Invalid value");
            }
        } else {
            EXPECT_NO_THROW(FilterControlValidateValue(nullptr, value, c.op, c.type, c.helper));
        }
        EXPECT_EQ(value.VarType(), c.after.VarType());
        EXPECT_TRUE(VarEquals(value, c.after));
    }
}

TEST_F(FilterHelpersTest, ARefusedValueLeavesItsEditorModifiedAndFocused)
{
    auto* other = Add<TcxTextEdit>(form, "Other", 10, 60, 100, 24);
    auto* edit = Add<TcxTextEdit>(form, "Value", 10, 10, 100, 24);
    other->SetFocus();
    Pump();
    ASSERT_FALSE(edit->Focused());
    Variant value("abc");
    EXPECT_THROW(FilterControlValidateValue(edit, value, fcoGreater, IntegerType(),
                                            cxFilterEditHelper<TcxFilterTextEditHelper>()),
                 EcxFilterControlError);
    Pump();
    EXPECT_TRUE(edit->Modified());
    EXPECT_TRUE(edit->Focused());

    // A hidden editor cannot take the focus; the error still comes.
    edit->SetModified(false);
    edit->SetVisible(false);
    other->SetFocus();
    Pump();
    EXPECT_THROW(FilterControlValidateValue(edit, value, fcoGreater, IntegerType(),
                                            cxFilterEditHelper<TcxFilterTextEditHelper>()),
                 EcxFilterControlError);
    EXPECT_TRUE(edit->Modified());
    EXPECT_TRUE(other->Focused());
}

// ---- the value editor --------------------------------------------------------------

// The defaults of a read-only field aligned right.
class ReadOnlyRightField : public TcxCustomEditDefaultValuesProvider {
public:
    static TClass StaticClass()
    {
        return DefineClass<ReadOnlyRightField, TcxCustomEditDefaultValuesProvider>("TestReadOnlyRightField");
    }
    TClass ClassType() const override { return StaticClass(); }
    bool DefaultReadOnly() override { return true; }
    TAlignment DefaultAlignment() override { return taRightJustify; }
};

TEST_F(FilterHelpersTest, ButtonsSurviveOnlyInDropDownAndSpinValueEditors)
{
    struct Case {
        const char* name;
        ObjectPtr<TcxCustomEditProperties> column;
        TClass editClass;
        bool keepsButtons;
    };
    std::vector<Case> cases;
    cases.push_back({"text", NewProperties<TcxTextEditProperties>(), TcxTextEdit::StaticClass(), false});
    cases.push_back({"button", NewProperties<TcxButtonEditProperties>(), TcxMaskEdit::StaticClass(), false});
    cases.push_back({"currency", NewProperties<TcxCurrencyEditProperties>(), TcxCurrencyEdit::StaticClass(), false});
    cases.push_back(
        {"hyperlink", NewProperties<TcxHyperLinkEditProperties>(), TcxHyperLinkEdit::StaticClass(), false});
    cases.push_back({"MRU", NewProperties<TcxMRUEditProperties>(), TcxTextEdit::StaticClass(), false});
    cases.push_back({"combo", NewProperties<TcxComboBoxProperties>(), TcxComboBox::StaticClass(), true});
    cases.push_back({"calc", NewProperties<TcxCalcEditProperties>(), TcxCalcEdit::StaticClass(), true});
    cases.push_back({"date", NewProperties<TcxDateEditProperties>(), TcxDateEdit::StaticClass(), true});
    cases.push_back({"spin", NewProperties<TcxSpinEditProperties>(), TcxSpinEdit::StaticClass(), true});
    cases.push_back({"time", NewProperties<TcxTimeEditProperties>(), TcxTimeEdit::StaticClass(), true});
    cases.push_back(
        {"image combo", NewProperties<TcxImageComboBoxProperties>(), TcxImageComboBox::StaticClass(), true});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.column->Buttons()->Add();  // one more than the kind's own
        const int columnButtons = c.column->Buttons()->Count();
        ObjectPtr<TcxCustomEdit> edit = FilterEdit(c.column.get());
        EXPECT_EQ(edit->ClassType(), c.editClass);
        EXPECT_EQ(edit->Properties()->Buttons()->Count(), c.keepsButtons ? columnButtons : 0);
    }
}

TEST_F(FilterHelpersTest, TheValueEditorTakesTheColumnsSettingsMadeFitForTypingAValue)
{
    auto column = NewProperties<TcxMaskEditProperties>();
    auto provider = MakeObject<ReadOnlyRightField>(nullptr);
    column->SetIDefaultValuesProvider(provider.get());
    column->SetEditMask("000");
    column->SetCaseInsensitive(false);
    column->SetReadOnly(true);
    column->SetBeepOnError(true);
    column->Alignment()->SetHorz(taRightJustify);
    column->Alignment()->SetVert(taVCenter);
    int fired = 0;
    column->OnChange = TNotifyEvent::FromFunction([&fired](TObject*) { ++fired; });
    column->OnEditValueChanged = column->OnChange;
    ObjectPtr<TcxCustomEdit> edit = FilterEdit(column.get());
    auto* p = static_cast<TcxCustomMaskEditProperties*>(edit->Properties());

    EXPECT_EQ(p->EditMask(), "000") << "taken over from the column";
    EXPECT_FALSE(p->CaseInsensitive());
    EXPECT_FALSE(p->AutoSelect()) << "masked";
    EXPECT_FALSE(p->ReadOnly());
    EXPECT_FALSE(p->BeepOnError());
    EXPECT_TRUE(p->ValidateOnEnter());
    EXPECT_EQ(p->Alignment()->Horz(), taLeftJustify);
    EXPECT_EQ(p->Alignment()->Vert(), taTopJustify);
    EXPECT_EQ(p->IDefaultValuesProvider(), nullptr);
    EXPECT_FALSE(p->HideCursor());
    EXPECT_TRUE(p->HideSelection());
    edit->SetEditValue(Variant("12"));
    EXPECT_EQ(fired, 0) << "the column's handlers stay with the column";
}

TEST_F(FilterHelpersTest, ARegularExpressionIsTypedInTheExtendedKind)
{
    struct Case {
        TcxEditMaskKind column;
        const char* mask;
        TcxEditMaskKind valueEditor;
        bool autoSelect;
    };
    const Case cases[] = {
        {emkRegExpr, "[0-9]+", emkRegExprEx, false},
        {emkRegExprEx, "[a-z]+", emkRegExprEx, false},
        {emkStandard, "00", emkStandard, false},
        {emkStandard, "", emkStandard, true},
    };
    for (const Case& c : cases) {
        auto column = NewProperties<TcxMaskEditProperties>();
        column->SetMaskKind(c.column);
        column->SetEditMask(c.mask);
        column->SetAutoSelect(!c.autoSelect);
        auto p = NewProperties<TcxMaskEditProperties>();
        cxFilterEditHelper<TcxFilterMaskEditHelper>()->InitializeProperties(p.get(), column.get(), false);
        EXPECT_EQ(p->MaskKind(), c.valueEditor) << c.mask;
        EXPECT_EQ(p->EditMask(), c.mask);
        EXPECT_EQ(p->AutoSelect(), c.autoSelect) << c.mask;
    }
    // The same in a value editor, whose mask must survive the kind's change.
    auto column = NewProperties<TcxMaskEditProperties>();
    column->SetMaskKind(emkRegExpr);
    column->SetEditMask("[0-9]+");
    ObjectPtr<TcxCustomEdit> edit = FilterEdit(column.get());
    auto* p = static_cast<TcxCustomMaskEditProperties*>(edit->Properties());
    EXPECT_EQ(p->MaskKind(), emkRegExprEx);
    EXPECT_EQ(p->EditMask(), "[0-9]+");
}

TEST_F(FilterHelpersTest, EachKindSetsUpItsValueEditor)
{
    auto combo = NewProperties<TcxComboBoxProperties>();
    combo->SetDropDownListStyle(lsFixedList);
    combo->SetRevertable(true);
    combo->SetImmediateDropDown(true);
    ObjectPtr<TcxCustomEdit> comboEdit = FilterEdit(combo.get());
    auto* c = static_cast<TcxCustomComboBoxProperties*>(comboEdit->Properties());
    EXPECT_EQ(c->DropDownRows(), 7);
    EXPECT_EQ(c->DropDownListStyle(), lsEditList);
    EXPECT_FALSE(c->ImmediateDropDown());
    EXPECT_FALSE(c->Revertable());
    EXPECT_TRUE(c->ButtonGlyph()->Empty());

    auto images = NewProperties<TcxImageComboBoxProperties>();
    ObjectPtr<TcxCustomEdit> imagesEdit = FilterEdit(images.get());
    auto* i = static_cast<TcxCustomImageComboBoxProperties*>(imagesEdit->Properties());
    EXPECT_EQ(i->DropDownListStyle(), lsFixedList);
    EXPECT_TRUE(i->ImmediateDropDown());
    EXPECT_TRUE(i->ShowDescriptions());

    auto date = NewProperties<TcxDateEditProperties>();
    date->SetDateOnError(deToday);
    date->SetDateButtons(TDateButtons{btnNow});
    ObjectPtr<TcxCustomEdit> dateEdit = FilterEdit(date.get());
    auto* d = static_cast<TcxCustomDateEditProperties*>(dateEdit->Properties());
    EXPECT_EQ(d->DateOnError(), deNull);
    EXPECT_EQ(d->DateButtons(), (TDateButtons{btnClear, btnToday}));
    EXPECT_EQ(d->InputKind(), ikRegExpr);
    EXPECT_TRUE(d->SaveTime());

    auto currency = NewProperties<TcxCurrencyEditProperties>();
    currency->SetMinValue(10);
    currency->SetMaxValue(20);
    ObjectPtr<TcxCustomEdit> currencyEdit = FilterEdit(currency.get());
    auto* m = static_cast<TcxCustomCurrencyEditProperties*>(currencyEdit->Properties());
    EXPECT_EQ(m->MinValue(), 0);
    EXPECT_EQ(m->MaxValue(), 0);
    EXPECT_TRUE(m->Nullable());
    EXPECT_EQ(m->NullString(), "");

    auto lookup = NewProperties<TcxLookupComboBoxProperties>();
    lookup->SetIncrementalFiltering(false);
    ObjectPtr<TcxCustomEdit> lookupEdit = FilterEdit(lookup.get());
    auto* l = static_cast<TcxCustomLookupEditProperties*>(lookupEdit->Properties());
    EXPECT_EQ(lookupEdit->ClassType(), TcxLookupComboBox::StaticClass());
    EXPECT_EQ(l->DropDownListStyle(), lsFixedList);
    EXPECT_TRUE(l->IncrementalFiltering());
    EXPECT_TRUE(l->DropDownSizeable());

    auto calc = NewProperties<TcxCalcEditProperties>();
    calc->SetQuickClose(false);
    ObjectPtr<TcxCustomEdit> calcEdit = FilterEdit(calc.get());
    EXPECT_TRUE(static_cast<TcxCustomCalcEditProperties*>(calcEdit->Properties())->QuickClose());

    auto spin = NewProperties<TcxSpinEditProperties>();
    spin->SetCanEdit(false);
    ObjectPtr<TcxCustomEdit> spinEdit = FilterEdit(spin.get());
    EXPECT_TRUE(static_cast<TcxCustomSpinEditProperties*>(spinEdit->Properties())->CanEdit());
}

TEST_F(FilterHelpersTest, AProgressBarConditionIsTypedIntoASpinEditorWithinTheBarsRange)
{
    auto bar = NewProperties<TcxProgressBarProperties>();
    bar->SetMin(10);
    bar->SetMax(50);
    ObjectPtr<TcxCustomEdit> edit = FilterEdit(bar.get());
    ASSERT_EQ(edit->ClassType(), TcxSpinEdit::StaticClass());
    auto* spin = static_cast<TcxCustomSpinEditProperties*>(edit->Properties());
    EXPECT_EQ(spin->Buttons()->Count(), 2);
    EXPECT_EQ(spin->MinValue(), 10);
    EXPECT_EQ(spin->MaxValue(), 50);
}

TEST_F(FilterHelpersTest, ATimeConditionStartsAtMidnight)
{
    auto time = NewProperties<TcxTimeEditProperties>();
    ObjectPtr<TcxCustomEdit> edit = FilterEdit(time.get());
    auto* timeEdit = static_cast<TcxCustomTimeEdit*>(edit.get());
    EXPECT_EQ(timeEdit->Time(), 0.0);
    EXPECT_FALSE(edit->EditValue().IsNull());
}

TEST_F(FilterHelpersTest, AnEditListLendsItsSharedEditorOfTheKind)
{
    ObjectPtr<TcxInplaceEditList> list = MakeObject<TcxInplaceEditList>();
    auto first = NewProperties<TcxSpinEditProperties>();
    auto second = NewProperties<TcxSpinEditProperties>();
    second->SetCanEdit(false);
    TcxCustomFilterEditHelperClass helper = cxFilterEditHelper<TcxFilterSpinEditHelper>();
    TcxCustomEdit* a = helper->GetFilterEdit(first.get(), list.get());
    TcxCustomEdit* b = helper->GetFilterEdit(second.get(), list.get());
    EXPECT_EQ(a, b);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(a->ClassType(), TcxSpinEdit::StaticClass());
    EXPECT_TRUE(a->IsInplace());
    EXPECT_TRUE(static_cast<TcxCustomSpinEditProperties*>(a->Properties())->CanEdit());
}

TEST_F(FilterHelpersTest, ACheckBoxConditionPicksTheCheckedOrTheUncheckedText)
{
    auto check = NewProperties<TcxCheckBoxProperties>();
    check->SetValueChecked(Variant("Y"));
    check->SetValueUnchecked(Variant("N"));
    check->SetDisplayChecked("Yes");
    check->SetDisplayUnchecked("No");
    check->SetAllowGrayed(true);
    check->SetReadOnly(true);
    ObjectPtr<TcxCustomEdit> edit = FilterEdit(check.get());
    ASSERT_EQ(edit->ClassType(), TcxComboBox::StaticClass());
    auto* combo = static_cast<TcxComboBox*>(edit.get());
    auto* p = static_cast<TcxCustomComboBoxProperties*>(edit->Properties());
    ASSERT_EQ(p->Items()->Count(), 2);
    EXPECT_EQ(p->Items()->Strings(0), "Yes");
    EXPECT_EQ(p->Items()->Strings(1), "No");
    EXPECT_EQ(p->DropDownListStyle(), lsFixedList);
    TcxCustomFilterEditHelperClass helper = cxFilterEditHelper<TcxFilterCheckBoxHelper>();
    EXPECT_TRUE(helper->UseDisplayValue());

    struct Case {
        Variant value;
        int index;
        Variant readBack;
        const char* text;
    };
    const Case cases[] = {
        {Variant("Y"), 0, Variant("Y"), "Yes"},
        {Variant("N"), 1, Variant("N"), "No"},
        {Variant::Null(), -1, Variant::Null(), ""},  // grayed
        {Variant("?"), -1, Variant::Null(), ""},
    };
    for (const Case& c : cases) {
        helper->SetFilterValue(edit.get(), check.get(), c.value);
        EXPECT_EQ(combo->ItemIndex(), c.index);
        Variant value("stale");
        std::string text = "stale";
        helper->GetFilterValue(edit.get(), check.get(), value, text);
        EXPECT_TRUE(VarEquals(value, c.readBack)) << c.index;
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(FilterHelpersTest, ARadioGroupConditionPicksAnItemOrReadsTheDefault)
{
    auto radio = NewProperties<TcxRadioGroupProperties>();
    for (int i = 0; i < 3; ++i) {
        auto* item = static_cast<TcxRadioGroupItem*>(radio->Items()->Add());
        item->SetCaption("Item" + std::to_string(i));
        item->SetValue(Variant(10 * i));
    }
    radio->SetDefaultValue(Variant(99));
    radio->SetDefaultCaption("none");
    ObjectPtr<TcxCustomEdit> edit = FilterEdit(radio.get());
    auto* combo = static_cast<TcxComboBox*>(edit.get());
    auto* p = static_cast<TcxCustomComboBoxProperties*>(edit->Properties());
    ASSERT_EQ(p->Items()->Count(), 3);
    EXPECT_EQ(p->Items()->Strings(2), "Item2");
    EXPECT_EQ(p->DropDownListStyle(), lsFixedList);
    TcxCustomFilterEditHelperClass helper = cxFilterEditHelper<TcxFilterRadioGroupHelper>();

    helper->SetFilterValue(edit.get(), radio.get(), Variant(20));
    EXPECT_EQ(combo->ItemIndex(), 2);
    Variant value;
    std::string text;
    helper->GetFilterValue(edit.get(), radio.get(), value, text);
    EXPECT_TRUE(VarEquals(value, Variant(20)));
    EXPECT_EQ(text, "Item2");

    helper->SetFilterValue(edit.get(), radio.get(), Variant(7));
    EXPECT_EQ(combo->ItemIndex(), -1);
    helper->GetFilterValue(edit.get(), radio.get(), value, text);
    EXPECT_TRUE(VarEquals(value, Variant(99)));
    EXPECT_EQ(text, "none");
}

TEST_F(FilterHelpersTest, TextKindsMoveTheValueThroughTheEditValue)
{
    auto spin = NewProperties<TcxSpinEditProperties>();
    spin->SetDisplayFormat("0.0");
    ObjectPtr<TcxCustomEdit> edit = FilterEdit(spin.get());
    TcxCustomFilterEditHelperClass helper = cxFilterEditHelper<TcxFilterSpinEditHelper>();
    helper->SetFilterValue(edit.get(), spin.get(), Variant(4));
    Variant value;
    std::string text;
    helper->GetFilterValue(edit.get(), spin.get(), value, text);
    EXPECT_TRUE(VarEquals(value, Variant(4)));
    EXPECT_EQ(text, "4.0") << "the column's display text";
    EXPECT_FALSE(helper->UseDisplayValue());
}

}  // namespace
