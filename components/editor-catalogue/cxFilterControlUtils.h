#pragma once
// What a filter-condition editor needs for a column of each editor kind: a
// helper that builds the editor a condition's value is typed into, names the
// comparisons that make sense for the column, moves values between the
// editor and the condition and checks them. Helpers carry no state: each
// class has one shared instance that stands for the class, and the
// filter-edits registry maps a properties class to the helper of its kind.

#include <string>

#include "components/data/cxDataStorage.h"
#include "components/editors/cxEdit.h"
#include "components/foundation/cxClasses.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/properties.h"
#include "platform/hostlib/core/variant.h"

class TcxCustomEdit;
class TcxInplaceEditList;

enum TcxFilterControlOperator {
    fcoNone,
    fcoEqual,
    fcoNotEqual,
    fcoLess,
    fcoLessEqual,
    fcoGreater,
    fcoGreaterEqual,
    fcoLike,
    fcoNotLike,
    fcoBlanks,
    fcoNonBlanks,
    fcoBetween,
    fcoNotBetween,
    fcoInList,
    fcoNotInList,
    fcoYesterday,
    fcoToday,
    fcoTomorrow,
    fcoLastWeek,
    fcoLastMonth,
    fcoLastYear,
    fcoThisWeek,
    fcoThisMonth,
    fcoThisYear,
    fcoNextWeek,
    fcoNextMonth,
    fcoNextYear
};
// Bit n stands for ordinal n.
using TcxFilterControlOperators = hostlib::TSet<TcxFilterControlOperator>;

class EcxFilterControlError : public hostlib::Exception {
public:
    using hostlib::Exception::Exception;
    const char* ClassName() const override { return "EcxFilterControlError"; }
};

class TcxCustomFilterEditHelper;
// The shared instance that stands for a helper class.
using TcxCustomFilterEditHelperClass = const TcxCustomFilterEditHelper*;

class TcxCustomFilterEditHelper : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Clears the change, button-click and validation handlers copied from
    // the column, so typing a condition fires none of the column's events.
    virtual void ClearPropertiesEvents(TcxCustomEditProperties* properties) const;
    virtual void InitializeEdit(TcxCustomEdit* edit, TcxCustomEditProperties* properties) const;
    virtual bool IsIDefaultValuesProviderNeeded(TcxCustomEditProperties* properties) const;
    // Only drop-down and spin value editors keep the column's buttons.
    virtual bool EditPropertiesHasButtons(TcxCustomEditProperties* properties) const;
    // The value editor's class; none for the base.
    virtual hostlib::TClass GetFilterEditClass() const { return nullptr; }
    virtual void GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, hostlib::Variant& value,
                                std::string& displayText) const;
    // Extended adds ranges and lists (and periods for dates).
    virtual TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                                  TcxValueTypeClass valueTypeClass,
                                                                  bool extended) const;
    // editProperties take over the column's properties, made fit for typing
    // a condition's value.
    virtual void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                                      bool hasButtons) const;
    virtual bool IsValueValid(TcxValueTypeClass valueTypeClass, hostlib::Variant& value) const;
    virtual void SetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                const hostlib::Variant& value) const;
    // The condition shows the display text instead of the value.
    virtual bool UseDisplayValue() const { return false; }

    // The value editor for a column: the list's shared editor of the kind,
    // else a new one without owner that the caller frees.
    TcxCustomEdit* GetFilterEdit(TcxCustomEditProperties* properties, TcxInplaceEditList* editList = nullptr) const;
};

// The shared instance of a helper class; raises EInvalidCast for a class
// that is no helper.
TcxCustomFilterEditHelperClass cxFilterEditHelperOf(hostlib::TClass helperClass);
template <class Helper>
TcxCustomFilterEditHelperClass cxFilterEditHelper()
{
    return cxFilterEditHelperOf(Helper::StaticClass());
}

class TcxFilterTextEditHelper : public TcxCustomFilterEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
    void SetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                        const hostlib::Variant& value) const override;
};

class TcxFilterMemoHelper : public TcxFilterTextEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
};

class TcxFilterBlobEditHelper : public TcxFilterTextEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // Blanks; like as well for a memo kind.
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
};

class TcxFilterMaskEditHelper : public TcxFilterTextEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    // Like only for an unmasked column of a string type.
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
};

class TcxFilterComboBoxHelper : public TcxFilterMaskEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
};

// A combo box of the checked and the unchecked display texts.
class TcxFilterCheckBoxHelper : public TcxCustomFilterEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    void GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, hostlib::Variant& value,
                        std::string& displayText) const override;
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
    void SetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                        const hostlib::Variant& value) const override;
    bool UseDisplayValue() const override { return true; }
};

class TcxFilterCalcEditHelper : public TcxFilterMaskEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
};

class TcxFilterDateEditHelper : public TcxFilterMaskEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    // Extended adds the twelve periods.
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
};

class TcxFilterCurrencyEditHelper : public TcxFilterTextEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
};

class TcxFilterSpinEditHelper : public TcxFilterMaskEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
};

class TcxFilterImageComboBoxHelper : public TcxFilterComboBoxHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
};

// A condition's time starts at midnight.
class TcxFilterTimeEditHelper : public TcxFilterSpinEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    void InitializeEdit(TcxCustomEdit* edit, TcxCustomEditProperties* properties) const override;
};

// A plain text editor without the list's button.
class TcxFilterMRUEditHelper : public TcxFilterTextEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool EditPropertiesHasButtons(TcxCustomEditProperties*) const override { return false; }
};

class TcxFilterHyperLinkEditHelper : public TcxFilterTextEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
};

// Any key the list offers is valid; a column defined by a lookup field
// keeps the field's defaults.
class TcxFilterLookupComboBoxHelper : public TcxFilterComboBoxHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    void GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, hostlib::Variant& value,
                        std::string& displayText) const override;
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
    bool IsIDefaultValuesProviderNeeded(TcxCustomEditProperties* properties) const override;
    bool IsValueValid(TcxValueTypeClass, hostlib::Variant&) const override { return true; }
};

// A combo box of the item captions.
class TcxFilterRadioGroupHelper : public TcxCustomFilterEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    void GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, hostlib::Variant& value,
                        std::string& displayText) const override;
    TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          bool extended) const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
    void SetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                        const hostlib::Variant& value) const override;
    bool UseDisplayValue() const override { return true; }
};

// A progress-bar column's condition is typed into a spin editor bounded by
// the bar's range.
class TcxFilterProgressBarHelper : public TcxFilterSpinEditHelper {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetFilterEditClass() const override;
    void InitializeProperties(TcxCustomEditProperties* editProperties, TcxCustomEditProperties* properties,
                              bool hasButtons) const override;
};

// Pairs of (properties class, helper class) kept under the parent of the
// properties class, so one registration covers the whole family of a kind.
class TcxFilterEditsController : public TcxRegisteredClassList {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Register(hostlib::TClass propertiesClass, hostlib::TClass helperClass) override;
    void Unregister(hostlib::TClass propertiesClass, hostlib::TClass helperClass) override;
    void Register(hostlib::TClass propertiesClass, TcxCustomFilterEditHelperClass helper);
    void Unregister(hostlib::TClass propertiesClass, TcxCustomFilterEditHelperClass helper);
    // The helper of the nearest registered ancestor; nullptr when none.
    TcxCustomFilterEditHelperClass FindHelper(hostlib::TClass propertiesClass) const;
    // The parent of the class (nullptr stays nullptr).
    static hostlib::TClass GetItemClass(hostlib::TClass cls);
};

// The registry; nullptr before the unit starts and after it ends.
TcxFilterEditsController* FilterEditsController();
std::string GetFilterControlOperatorText(TcxFilterControlOperator filterOperator);
// An empty text for a non-text type becomes Null. A value other than Null
// that the helper refuses (or that makes it raise) leaves the editor
// modified and focused and raises EcxFilterControlError "Invalid value";
// like conditions are never checked. Without a helper the value type's
// own test decides.
void FilterControlValidateValue(TcxCustomEdit* edit, hostlib::Variant& value, TcxFilterControlOperator filterOperator,
                                TcxValueTypeClass valueTypeClass, TcxCustomFilterEditHelperClass helper);
[[noreturn]] void FilterControlError(const std::string& message);

// The first start creates the registry with the default pairs; the last end
// frees it.
void cxFilterControlUtilsInitialize();
void cxFilterControlUtilsFinalize();
