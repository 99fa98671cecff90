#include "components/editor-catalogue/cxFilterControlUtils.h"

#include <array>
#include <map>
#include <memory>
#include <vector>

#include "components/editor-catalogue/cxBlobEdit.h"
#include "components/editor-catalogue/cxCalc.h"
#include "components/editor-catalogue/cxCheckBox.h"
#include "components/editor-catalogue/cxCurrencyEdit.h"
#include "components/editor-catalogue/cxDBLookupComboBox.h"
#include "components/editor-catalogue/cxDateEdit.h"
#include "components/editor-catalogue/cxFilterControlStrs.h"
#include "components/editor-catalogue/cxHyperLinkEdit.h"
#include "components/editor-catalogue/cxImageComboBox.h"
#include "components/editor-catalogue/cxMRUEdit.h"
#include "components/editor-catalogue/cxMemo.h"
#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editor-catalogue/cxRadioGroup.h"
#include "components/editor-catalogue/cxSpinEdit.h"
#include "components/editor-catalogue/cxTimeEdit.h"
#include "components/editors/cxComboBox.h"
#include "components/editors/cxEditInplaceList.h"
#include "components/editors/cxMaskEdit.h"
#include "components/editors/cxTextEdit.h"

using hostlib::As;
using hostlib::DefineClass;
using hostlib::ObjectPtr;
using hostlib::TClass;
using hostlib::TObject;
using hostlib::Variant;

namespace {

using Ops = TcxFilterControlOperators;

constexpr Ops Range(TcxFilterControlOperator first, TcxFilterControlOperator last)
{
    Ops result;
    for (int op = first; op <= last; ++op)
        result.Include(static_cast<TcxFilterControlOperator>(op));
    return result;
}

const Ops kComparisons = Range(fcoEqual, fcoGreaterEqual);
const Ops kBlanks{fcoBlanks, fcoNonBlanks};
const Ops kLike{fcoLike, fcoNotLike};
const Ops kLists{fcoInList, fcoNotInList};
const Ops kRangesAndLists = Range(fcoBetween, fcoNotInList);
const Ops kEquality{fcoEqual, fcoNotEqual, fcoBlanks, fcoNonBlanks};
const Ops kDatePeriods = Range(fcoYesterday, fcoNextYear);

// Comparisons and blanks; extended adds ranges and lists.
Ops OrderedOperators(bool extended) { return kComparisons + kBlanks + (extended ? kRangesAndLists : Ops{}); }

bool IsStringType(TcxValueTypeClass valueTypeClass) { return valueTypeClass && valueTypeClass->IsString(); }

// The edit list creates an editor from its properties class; an editor
// class answers that only as an object, so a first-phase sample is asked.
TClass PropertiesClassOfEdit(TClass editClass)
{
    std::unique_ptr<TObject> sample(editClass->NewInstance());
    auto* edit = dynamic_cast<TcxCustomEdit*>(sample.get());
    if (!edit) hostlib::ClassCastError(editClass, TcxCustomEdit::StaticClass());
    return edit->GetPropertiesClass();
}

template <class T>
T* PropertiesAs(TcxCustomEditProperties* properties)
{
    return As<T>(static_cast<TObject*>(properties));
}

}  // namespace

// ---- base helper ---------------------------------------------------------------------

TClass TcxCustomFilterEditHelper::StaticClass()
{
    return DefineClass<TcxCustomFilterEditHelper, TObject>("TcxCustomFilterEditHelper");
}

void TcxCustomFilterEditHelper::ClearPropertiesEvents(TcxCustomEditProperties* properties) const
{
    if (!properties) return;
    properties->OnButtonClick = {};
    properties->OnChange = {};
    properties->OnEditValueChanged = {};
    properties->OnValidate = {};
}

void TcxCustomFilterEditHelper::InitializeEdit(TcxCustomEdit* edit, TcxCustomEditProperties* properties) const
{
    InitializeProperties(edit->Properties(), properties, EditPropertiesHasButtons(edit->Properties()));
}

bool TcxCustomFilterEditHelper::IsIDefaultValuesProviderNeeded(TcxCustomEditProperties*) const { return false; }

bool TcxCustomFilterEditHelper::EditPropertiesHasButtons(TcxCustomEditProperties* properties) const
{
    return PropertiesAs<TcxCustomDropDownEditProperties>(properties) ||
           PropertiesAs<TcxCustomSpinEditProperties>(properties);
}

void TcxCustomFilterEditHelper::GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                               Variant& value, std::string& displayText) const
{
    value = edit->EditValue();
    displayText = properties->GetDisplayText(value, false);
}

TcxFilterControlOperators TcxCustomFilterEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                 TcxValueTypeClass valueTypeClass,
                                                                                 bool extended) const
{
    Ops result = extended ? Range(fcoEqual, fcoNotInList) : Range(fcoEqual, fcoNonBlanks);
    if (!IsStringType(valueTypeClass)) result = result - kLike;
    return result;
}

void TcxCustomFilterEditHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                     TcxCustomEditProperties* properties, bool hasButtons) const
{
    editProperties->Assign(properties);
    editProperties->Alignment()->SetHorz(hostlib::taLeftJustify);
    editProperties->Alignment()->SetVert(taTopJustify);
    editProperties->SetBeepOnError(false);
    if (!hasButtons) editProperties->Buttons()->Clear();
    editProperties->SetReadOnly(false);
    editProperties->SetValidateOnEnter(true);
    if (!IsIDefaultValuesProviderNeeded(properties)) editProperties->SetIDefaultValuesProvider(nullptr);
    ClearPropertiesEvents(editProperties);
}

bool TcxCustomFilterEditHelper::IsValueValid(TcxValueTypeClass valueTypeClass, Variant& value) const
{
    return valueTypeClass->IsValueValid(value);
}

void TcxCustomFilterEditHelper::SetFilterValue(TcxCustomEdit*, TcxCustomEditProperties*, const Variant&) const {}

TcxCustomEdit* TcxCustomFilterEditHelper::GetFilterEdit(TcxCustomEditProperties* properties,
                                                        TcxInplaceEditList* editList) const
{
    TClass editClass = GetFilterEditClass();
    if (editList) {
        TcxCustomEdit* edit = editList->GetEdit(PropertiesClassOfEdit(editClass));
        InitializeEdit(edit, properties);
        return edit;
    }
    ObjectPtr<TcxCustomEdit> edit(
        hostlib::CreateInstance<TcxCustomEdit>(editClass, static_cast<hostlib::TComponent*>(nullptr)));
    InitializeEdit(edit.get(), properties);
    return edit.release();
}

TcxCustomFilterEditHelperClass cxFilterEditHelperOf(TClass helperClass)
{
    static std::map<TClass, ObjectPtr<TcxCustomFilterEditHelper>> instances;
    auto found = instances.find(helperClass);
    if (found != instances.end()) return found->second.get();
    if (!helperClass || !helperClass->InheritsFrom(TcxCustomFilterEditHelper::StaticClass()))
        hostlib::ClassCastError(helperClass, TcxCustomFilterEditHelper::StaticClass());
    ObjectPtr<TcxCustomFilterEditHelper> helper(static_cast<TcxCustomFilterEditHelper*>(helperClass->NewInstance()));
    return instances.emplace(helperClass, std::move(helper)).first->second.get();
}

// ---- text family -----------------------------------------------------------------------

TClass TcxFilterTextEditHelper::StaticClass()
{
    return DefineClass<TcxFilterTextEditHelper, TcxCustomFilterEditHelper>("TcxFilterTextEditHelper");
}

TClass TcxFilterTextEditHelper::GetFilterEditClass() const { return TcxTextEdit::StaticClass(); }

void TcxFilterTextEditHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                   TcxCustomEditProperties* properties, bool hasButtons) const
{
    TcxCustomFilterEditHelper::InitializeProperties(editProperties, properties, hasButtons);
    auto* text = PropertiesAs<TcxCustomTextEditProperties>(editProperties);
    if (!text) return;
    text->SetAutoSelect(true);
    text->SetHideCursor(false);
    text->SetHideSelection(true);
}

void TcxFilterTextEditHelper::SetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties*,
                                             const Variant& value) const
{
    edit->SetEditValue(value);
}

TClass TcxFilterMemoHelper::StaticClass()
{
    return DefineClass<TcxFilterMemoHelper, TcxFilterTextEditHelper>("TcxFilterMemoHelper");
}

TcxFilterControlOperators TcxFilterMemoHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                           TcxValueTypeClass, bool) const
{
    return kLike + kBlanks;
}

TClass TcxFilterBlobEditHelper::StaticClass()
{
    return DefineClass<TcxFilterBlobEditHelper, TcxFilterTextEditHelper>("TcxFilterBlobEditHelper");
}

TcxFilterControlOperators TcxFilterBlobEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                                               TcxValueTypeClass, bool) const
{
    auto* blob = PropertiesAs<TcxBlobEditProperties>(properties);
    return blob && blob->BlobEditKind() == bekMemo ? kBlanks + kLike : kBlanks;
}

TClass TcxFilterMaskEditHelper::StaticClass()
{
    return DefineClass<TcxFilterMaskEditHelper, TcxFilterTextEditHelper>("TcxFilterMaskEditHelper");
}

TClass TcxFilterMaskEditHelper::GetFilterEditClass() const { return TcxMaskEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterMaskEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                                               TcxValueTypeClass valueTypeClass,
                                                                               bool extended) const
{
    Ops result = OrderedOperators(extended);
    auto* mask = PropertiesAs<TcxCustomMaskEditProperties>(properties);
    const bool masked = mask && mask->GetIsMasked();
    if (!masked && IsStringType(valueTypeClass)) result = result + kLike;
    return result;
}

void TcxFilterMaskEditHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                   TcxCustomEditProperties* properties, bool hasButtons) const
{
    TcxFilterTextEditHelper::InitializeProperties(editProperties, properties, hasButtons);
    auto* mask = PropertiesAs<TcxCustomMaskEditProperties>(editProperties);
    if (!mask) return;
    // A condition is typed whole, so a regular expression need not match
    // while it is incomplete.
    auto* column = PropertiesAs<TcxCustomMaskEditProperties>(properties);
    if (column && column->MaskKind() == emkRegExpr) mask->SetMaskKind(emkRegExprEx);
    mask->SetAutoSelect(!mask->GetIsMasked());
}

TClass TcxFilterComboBoxHelper::StaticClass()
{
    return DefineClass<TcxFilterComboBoxHelper, TcxFilterMaskEditHelper>("TcxFilterComboBoxHelper");
}

TClass TcxFilterComboBoxHelper::GetFilterEditClass() const { return TcxComboBox::StaticClass(); }

void TcxFilterComboBoxHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                   TcxCustomEditProperties* properties, bool hasButtons) const
{
    TcxFilterMaskEditHelper::InitializeProperties(editProperties, properties, hasButtons);
    auto* combo = PropertiesAs<TcxCustomComboBoxProperties>(editProperties);
    if (!combo) return;
    hostlib::ObjectPtr<hostlib::TBitmap> noGlyph(hostlib::CreateObject<hostlib::TBitmap>());
    combo->SetButtonGlyph(noGlyph.get());
    combo->SetDropDownRows(7);
    combo->SetDropDownListStyle(lsEditList);
    combo->SetImmediateDropDown(false);
    combo->SetPopupAlignment(hostlib::taLeftJustify);
    combo->SetRevertable(false);
}

TClass TcxFilterCalcEditHelper::StaticClass()
{
    return DefineClass<TcxFilterCalcEditHelper, TcxFilterMaskEditHelper>("TcxFilterCalcEditHelper");
}

TClass TcxFilterCalcEditHelper::GetFilterEditClass() const { return TcxCalcEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterCalcEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                               TcxValueTypeClass,
                                                                               bool extended) const
{
    return OrderedOperators(extended);
}

void TcxFilterCalcEditHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                   TcxCustomEditProperties* properties, bool hasButtons) const
{
    TcxFilterMaskEditHelper::InitializeProperties(editProperties, properties, hasButtons);
    if (auto* calc = PropertiesAs<TcxCustomCalcEditProperties>(editProperties)) calc->SetQuickClose(true);
}

TClass TcxFilterDateEditHelper::StaticClass()
{
    return DefineClass<TcxFilterDateEditHelper, TcxFilterMaskEditHelper>("TcxFilterDateEditHelper");
}

TClass TcxFilterDateEditHelper::GetFilterEditClass() const { return TcxDateEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterDateEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                               TcxValueTypeClass,
                                                                               bool extended) const
{
    return OrderedOperators(extended) + (extended ? kDatePeriods : Ops{});
}

void TcxFilterDateEditHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                   TcxCustomEditProperties* properties, bool hasButtons) const
{
    TcxFilterMaskEditHelper::InitializeProperties(editProperties, properties, hasButtons);
    auto* date = PropertiesAs<TcxCustomDateEditProperties>(editProperties);
    if (!date) return;
    date->SetDateButtons(TDateButtons{btnClear, btnToday});
    date->SetDateOnError(deNull);
    date->SetInputKind(ikRegExpr);
    date->SetSaveTime(true);
}

TClass TcxFilterCurrencyEditHelper::StaticClass()
{
    return DefineClass<TcxFilterCurrencyEditHelper, TcxFilterTextEditHelper>("TcxFilterCurrencyEditHelper");
}

TClass TcxFilterCurrencyEditHelper::GetFilterEditClass() const { return TcxCurrencyEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterCurrencyEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                   TcxValueTypeClass,
                                                                                   bool extended) const
{
    return OrderedOperators(extended);
}

void TcxFilterCurrencyEditHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                       TcxCustomEditProperties* properties, bool hasButtons) const
{
    TcxFilterTextEditHelper::InitializeProperties(editProperties, properties, hasButtons);
    auto* currency = PropertiesAs<TcxCustomCurrencyEditProperties>(editProperties);
    if (!currency) return;
    // A condition may compare with any amount, and may be left empty.
    currency->SetMinValue(0);
    currency->SetMaxValue(0);
    currency->SetNullable(true);
    currency->SetNullString("");
}

TClass TcxFilterSpinEditHelper::StaticClass()
{
    return DefineClass<TcxFilterSpinEditHelper, TcxFilterMaskEditHelper>("TcxFilterSpinEditHelper");
}

TClass TcxFilterSpinEditHelper::GetFilterEditClass() const { return TcxSpinEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterSpinEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                               TcxValueTypeClass,
                                                                               bool extended) const
{
    return OrderedOperators(extended);
}

void TcxFilterSpinEditHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                   TcxCustomEditProperties* properties, bool hasButtons) const
{
    TcxFilterMaskEditHelper::InitializeProperties(editProperties, properties, hasButtons);
    if (auto* spin = PropertiesAs<TcxCustomSpinEditProperties>(editProperties)) spin->SetCanEdit(true);
}

TClass TcxFilterImageComboBoxHelper::StaticClass()
{
    return DefineClass<TcxFilterImageComboBoxHelper, TcxFilterComboBoxHelper>("TcxFilterImageComboBoxHelper");
}

TClass TcxFilterImageComboBoxHelper::GetFilterEditClass() const { return TcxImageComboBox::StaticClass(); }

TcxFilterControlOperators TcxFilterImageComboBoxHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                    TcxValueTypeClass,
                                                                                    bool extended) const
{
    return kEquality + (extended ? kLists : Ops{});
}

void TcxFilterImageComboBoxHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                        TcxCustomEditProperties* properties, bool hasButtons) const
{
    TcxFilterComboBoxHelper::InitializeProperties(editProperties, properties, hasButtons);
    auto* images = PropertiesAs<TcxCustomImageComboBoxProperties>(editProperties);
    if (!images) return;
    images->SetDropDownListStyle(lsFixedList);
    images->SetImmediateDropDown(true);
    images->SetShowDescriptions(true);
}

TClass TcxFilterTimeEditHelper::StaticClass()
{
    return DefineClass<TcxFilterTimeEditHelper, TcxFilterSpinEditHelper>("TcxFilterTimeEditHelper");
}

TClass TcxFilterTimeEditHelper::GetFilterEditClass() const { return TcxTimeEdit::StaticClass(); }

void TcxFilterTimeEditHelper::InitializeEdit(TcxCustomEdit* edit, TcxCustomEditProperties* properties) const
{
    TcxFilterSpinEditHelper::InitializeEdit(edit, properties);
    if (auto* time = As<TcxCustomTimeEdit>(static_cast<TObject*>(edit))) time->SetTime(0);
}

TClass TcxFilterMRUEditHelper::StaticClass()
{
    return DefineClass<TcxFilterMRUEditHelper, TcxFilterTextEditHelper>("TcxFilterMRUEditHelper");
}

TClass TcxFilterHyperLinkEditHelper::StaticClass()
{
    return DefineClass<TcxFilterHyperLinkEditHelper, TcxFilterTextEditHelper>("TcxFilterHyperLinkEditHelper");
}

TClass TcxFilterHyperLinkEditHelper::GetFilterEditClass() const { return TcxHyperLinkEdit::StaticClass(); }

// ---- lookup ----------------------------------------------------------------------------

TClass TcxFilterLookupComboBoxHelper::StaticClass()
{
    return DefineClass<TcxFilterLookupComboBoxHelper, TcxFilterComboBoxHelper>("TcxFilterLookupComboBoxHelper");
}

TClass TcxFilterLookupComboBoxHelper::GetFilterEditClass() const { return TcxLookupComboBox::StaticClass(); }

void TcxFilterLookupComboBoxHelper::GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties*, Variant& value,
                                                   std::string& displayText) const
{
    value = edit->EditValue();
    auto* lookup = PropertiesAs<TcxCustomLookupEditProperties>(edit->Properties());
    displayText = lookup ? lookup->GetDisplayLookupText(value) : std::string();
}

TcxFilterControlOperators TcxFilterLookupComboBoxHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                     TcxValueTypeClass, bool) const
{
    return kEquality;
}

void TcxFilterLookupComboBoxHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                         TcxCustomEditProperties* properties,
                                                         bool hasButtons) const
{
    TcxFilterComboBoxHelper::InitializeProperties(editProperties, properties, hasButtons);
    auto* lookup = PropertiesAs<TcxCustomLookupEditProperties>(editProperties);
    if (!lookup) return;
    lookup->SetDropDownAutoSize(true);
    lookup->SetDropDownListStyle(lsFixedList);
    lookup->SetDropDownSizeable(true);
    lookup->SetIncrementalFiltering(true);
}

bool TcxFilterLookupComboBoxHelper::IsIDefaultValuesProviderNeeded(TcxCustomEditProperties* properties) const
{
    auto* lookup = PropertiesAs<TcxCustomLookupEditProperties>(properties);
    return lookup && lookup->IsDefinedByLookup();
}

// ---- check box and radio group ---------------------------------------------------------

namespace {

// The value editor of a choice column: a fixed list of texts, nothing of
// the column's own settings.
void InitializeChoiceList(const TcxCustomFilterEditHelper& helper, TcxCustomEditProperties* editProperties,
                          const std::vector<std::string>& texts)
{
    auto* combo = PropertiesAs<TcxCustomComboBoxProperties>(editProperties);
    if (!combo) return;
    combo->Items()->Clear();
    for (const std::string& text : texts)
        combo->Items()->Add(text);
    combo->SetDropDownListStyle(lsFixedList);
    combo->SetIDefaultValuesProvider(nullptr);
    helper.ClearPropertiesEvents(combo);
}

int ItemIndexOf(TcxCustomEdit* edit)
{
    auto* text = As<TcxCustomTextEdit>(static_cast<TObject*>(edit));
    return text ? text->ItemIndex() : -1;
}

void SetItemIndexOf(TcxCustomEdit* edit, int index)
{
    if (auto* text = As<TcxCustomTextEdit>(static_cast<TObject*>(edit))) text->SetItemIndex(index);
}

// A display value held as an integer; -1 for anything else.
int IntegerOf(const Variant& value)
{
    try {
        return value.IsNull() ? -1 : value.AsInteger();
    } catch (const hostlib::Exception&) {
        return -1;
    }
}

}  // namespace

TClass TcxFilterCheckBoxHelper::StaticClass()
{
    return DefineClass<TcxFilterCheckBoxHelper, TcxCustomFilterEditHelper>("TcxFilterCheckBoxHelper");
}

TClass TcxFilterCheckBoxHelper::GetFilterEditClass() const { return TcxComboBox::StaticClass(); }

void TcxFilterCheckBoxHelper::GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                             Variant& value, std::string& displayText) const
{
    auto* check = PropertiesAs<TcxCustomCheckBoxProperties>(properties);
    const int index = ItemIndexOf(edit);
    if (index == -1 || !check) {
        value = Variant::Null();
        displayText.clear();
        return;
    }
    if (index == 0) value = check->ValueChecked();
    else if (index == 1) value = check->ValueUnchecked();
    displayText = check->GetDisplayText(value, false);
}

TcxFilterControlOperators TcxFilterCheckBoxHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                               TcxValueTypeClass, bool) const
{
    return kEquality;
}

void TcxFilterCheckBoxHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                   TcxCustomEditProperties* properties, bool) const
{
    std::vector<std::string> texts;
    if (auto* check = PropertiesAs<TcxCustomCheckBoxProperties>(properties))
        texts = {check->GetDisplayText(check->ValueChecked(), false),
                 check->GetDisplayText(check->ValueUnchecked(), false)};
    InitializeChoiceList(*this, editProperties, texts);
}

void TcxFilterCheckBoxHelper::SetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                             const Variant& value) const
{
    // Item 0 is the checked text, item 1 the unchecked one; grayed is none.
    static constexpr std::array<int, 3> kIndexOfState{1, 0, -1};
    Variant state;
    properties->PrepareDisplayValue(value, state, edit->Focused());
    const int s = IntegerOf(state);
    SetItemIndexOf(edit, s >= 0 && s < 3 ? kIndexOfState[static_cast<std::size_t>(s)] : -1);
}

TClass TcxFilterRadioGroupHelper::StaticClass()
{
    return DefineClass<TcxFilterRadioGroupHelper, TcxCustomFilterEditHelper>("TcxFilterRadioGroupHelper");
}

TClass TcxFilterRadioGroupHelper::GetFilterEditClass() const { return TcxComboBox::StaticClass(); }

void TcxFilterRadioGroupHelper::GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                               Variant& value, std::string& displayText) const
{
    auto* radio = PropertiesAs<TcxCustomRadioGroupProperties>(properties);
    if (!radio) return;
    const int index = ItemIndexOf(edit);
    if (index < 0 || index >= radio->Items()->Count()) {
        value = radio->DefaultValue();
        displayText = radio->DefaultCaption();
        return;
    }
    TcxRadioGroupItem* item = radio->Items()->Items(index);
    value = item->Value();
    displayText = item->Caption();
}

TcxFilterControlOperators TcxFilterRadioGroupHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                 TcxValueTypeClass,
                                                                                 bool extended) const
{
    return kEquality + (extended ? kLists : Ops{});
}

void TcxFilterRadioGroupHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                     TcxCustomEditProperties* properties, bool) const
{
    std::vector<std::string> texts;
    if (auto* radio = PropertiesAs<TcxCustomRadioGroupProperties>(properties))
        for (int i = 0; i < radio->Items()->Count(); ++i)
            texts.push_back(radio->Items()->Items(i)->Caption());
    InitializeChoiceList(*this, editProperties, texts);
}

void TcxFilterRadioGroupHelper::SetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                               const Variant& value) const
{
    Variant index;
    properties->PrepareDisplayValue(value, index, edit->Focused());
    SetItemIndexOf(edit, IntegerOf(index));
}

// ---- progress bar ----------------------------------------------------------------------

TClass TcxFilterProgressBarHelper::StaticClass()
{
    return DefineClass<TcxFilterProgressBarHelper, TcxFilterSpinEditHelper>("TcxFilterProgressBarHelper");
}

TClass TcxFilterProgressBarHelper::GetFilterEditClass() const { return TcxSpinEdit::StaticClass(); }

void TcxFilterProgressBarHelper::InitializeProperties(TcxCustomEditProperties* editProperties,
                                                      TcxCustomEditProperties* properties, bool hasButtons) const
{
    TcxFilterSpinEditHelper::InitializeProperties(editProperties, properties, hasButtons);
    auto* spin = PropertiesAs<TcxCustomSpinEditProperties>(editProperties);
    if (!spin) return;
    // The bar has no buttons to copy; the spin editor's two come back.
    spin->Buttons()->Add();
    spin->Buttons()->Add();
    if (auto* bar = PropertiesAs<TcxCustomProgressBarProperties>(properties)) {
        spin->SetMinValue(bar->Min());
        spin->SetMaxValue(bar->Max());
    }
}

// ---- registry ----------------------------------------------------------------------------

TClass TcxFilterEditsController::StaticClass()
{
    return DefineClass<TcxFilterEditsController, TcxRegisteredClassList>("TcxFilterEditsController");
}

TClass TcxFilterEditsController::GetItemClass(TClass cls) { return cls ? cls->ClassParent() : nullptr; }

void TcxFilterEditsController::Register(TClass propertiesClass, TClass helperClass)
{
    TClass key = GetItemClass(propertiesClass);
    if (!key) return;
    cxFilterEditHelperOf(helperClass);
    TcxRegisteredClassList::Register(key, helperClass);
}

void TcxFilterEditsController::Unregister(TClass propertiesClass, TClass helperClass)
{
    TcxRegisteredClassList::Unregister(GetItemClass(propertiesClass), helperClass);
}

void TcxFilterEditsController::Register(TClass propertiesClass, TcxCustomFilterEditHelperClass helper)
{
    Register(propertiesClass, helper ? helper->ClassType() : nullptr);
}

void TcxFilterEditsController::Unregister(TClass propertiesClass, TcxCustomFilterEditHelperClass helper)
{
    Unregister(propertiesClass, helper ? helper->ClassType() : nullptr);
}

TcxCustomFilterEditHelperClass TcxFilterEditsController::FindHelper(TClass propertiesClass) const
{
    TClass key = GetItemClass(propertiesClass);
    TClass helperClass = key ? FindClass(key) : nullptr;
    return helperClass ? cxFilterEditHelperOf(helperClass) : nullptr;
}

// ---- unit functions ----------------------------------------------------------------------

std::string GetFilterControlOperatorText(TcxFilterControlOperator filterOperator)
{
    static constexpr std::array<const TcxResourceString*, 27> kTexts{
        nullptr,
        &cxSFilterOperatorEqual,
        &cxSFilterOperatorNotEqual,
        &cxSFilterOperatorLess,
        &cxSFilterOperatorLessEqual,
        &cxSFilterOperatorGreater,
        &cxSFilterOperatorGreaterEqual,
        &cxSFilterOperatorLike,
        &cxSFilterOperatorNotLike,
        &cxSFilterOperatorIsNull,
        &cxSFilterOperatorIsNotNull,
        &cxSFilterOperatorBetween,
        &cxSFilterOperatorNotBetween,
        &cxSFilterOperatorInList,
        &cxSFilterOperatorNotInList,
        &cxSFilterOperatorYesterday,
        &cxSFilterOperatorToday,
        &cxSFilterOperatorTomorrow,
        &cxSFilterOperatorLastWeek,
        &cxSFilterOperatorLastMonth,
        &cxSFilterOperatorLastYear,
        &cxSFilterOperatorThisWeek,
        &cxSFilterOperatorThisMonth,
        &cxSFilterOperatorThisYear,
        &cxSFilterOperatorNextWeek,
        &cxSFilterOperatorNextMonth,
        &cxSFilterOperatorNextYear,
    };
    const unsigned ordinal = static_cast<unsigned>(filterOperator) % 128;
    if (ordinal >= kTexts.size() || !kTexts[ordinal]) return {};
    return cxGetResourceString(*kTexts[ordinal]);
}

void FilterControlError(const std::string& message) { throw EcxFilterControlError(message); }

namespace {

// A refusal, or an error while asking, both count as an invalid value.
bool HelperAccepts(TcxCustomFilterEditHelperClass helper, TcxValueTypeClass valueTypeClass, Variant& value)
{
    try {
        return helper->IsValueValid(valueTypeClass, value);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

void FilterControlValidateValue(TcxCustomEdit* edit, Variant& value, TcxFilterControlOperator filterOperator,
                                TcxValueTypeClass valueTypeClass, TcxCustomFilterEditHelperClass helper)
{
    if (!valueTypeClass) return;
    if (hostlib::VarIsStr(value) && value.AsString().empty() && !valueTypeClass->IsString()) value = Variant::Null();
    if (value.IsNull() || filterOperator == fcoLike || filterOperator == fcoNotLike) return;
    // Without a helper the value type's own test decides.
    if (!helper) helper = cxFilterEditHelper<TcxCustomFilterEditHelper>();
    if (HelperAccepts(helper, valueTypeClass, value)) return;
    if (edit) {
        edit->SetModified(true);
        if (edit->CanFocusEx()) edit->SetFocus();
    }
    FilterControlError(cxGetResourceString(cxSFilterErrorInvalidValue));
}

namespace {

struct FilterControlUnit {
    int starts = 0;
    ObjectPtr<TcxFilterEditsController> controller;
};

FilterControlUnit& TheUnit()
{
    static FilterControlUnit unit;
    return unit;
}

template <class Properties, class Helper>
void RegisterPair(TcxFilterEditsController* controller)
{
    controller->Register(Properties::StaticClass(), Helper::StaticClass());
}

void RegisterDefaultPairs(TcxFilterEditsController* c)
{
    RegisterPair<TcxCalcEditProperties, TcxFilterCalcEditHelper>(c);
    RegisterPair<TcxCheckBoxProperties, TcxFilterCheckBoxHelper>(c);
    RegisterPair<TcxComboBoxProperties, TcxFilterComboBoxHelper>(c);
    RegisterPair<TcxCurrencyEditProperties, TcxFilterCurrencyEditHelper>(c);
    RegisterPair<TcxDateEditProperties, TcxFilterDateEditHelper>(c);
    RegisterPair<TcxHyperLinkEditProperties, TcxFilterHyperLinkEditHelper>(c);
    RegisterPair<TcxImageComboBoxProperties, TcxFilterImageComboBoxHelper>(c);
    RegisterPair<TcxLookupComboBoxProperties, TcxFilterLookupComboBoxHelper>(c);
    RegisterPair<TcxMaskEditProperties, TcxFilterMaskEditHelper>(c);
    RegisterPair<TcxMemoProperties, TcxFilterMemoHelper>(c);
    RegisterPair<TcxMRUEditProperties, TcxFilterMRUEditHelper>(c);
    RegisterPair<TcxRadioGroupProperties, TcxFilterRadioGroupHelper>(c);
    RegisterPair<TcxSpinEditProperties, TcxFilterSpinEditHelper>(c);
    RegisterPair<TcxTextEditProperties, TcxFilterTextEditHelper>(c);
    RegisterPair<TcxTimeEditProperties, TcxFilterTimeEditHelper>(c);
    // BLOB columns get blanks (and like for memos) rather than the mask
    // editor's comparisons, which a large value cannot answer.
    RegisterPair<TcxBlobEditProperties, TcxFilterBlobEditHelper>(c);
    // Here rather than in the progress bar's unit, which then needs neither
    // the spin editor nor this one.
    RegisterPair<TcxProgressBarProperties, TcxFilterProgressBarHelper>(c);
}

}  // namespace

TcxFilterEditsController* FilterEditsController() { return TheUnit().controller.get(); }

void cxFilterControlUtilsInitialize()
{
    FilterControlUnit& unit = TheUnit();
    if (unit.starts++ > 0) return;
    cxFilterControlStrsInitialize();
    unit.controller.reset(hostlib::CreateObject<TcxFilterEditsController>());
    RegisterDefaultPairs(unit.controller.get());
}

void cxFilterControlUtilsFinalize()
{
    FilterControlUnit& unit = TheUnit();
    if (unit.starts == 0 || --unit.starts > 0) return;
    unit.controller.reset();
    cxFilterControlStrsFinalize();
}
