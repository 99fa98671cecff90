#pragma once
// A filter as data: a tree of conditions joined by AND, OR, NOT AND and
// NOT OR that is evaluated against one record, written as filter text for
// a data set and as a caption for users, and kept in a binary form. Each
// condition owns an operator that tests, writes and shows it.
//
// The criteria is abstract where it meets its owner: the record value of a
// condition, the names of its field and the identity of what it filters.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/core/variant.h"

enum TcxFilterOperatorKind : std::uint8_t {
    foEqual,
    foNotEqual,
    foLess,
    foLessEqual,
    foGreater,
    foGreaterEqual,
    foLike,
    foNotLike,
    foBetween,
    foNotBetween,
    foInList,
    foNotInList,
    foYesterday,
    foToday,
    foTomorrow,
    foLastWeek,
    foLastMonth,
    foLastYear,
    foThisWeek,
    foThisMonth,
    foThisYear,
    foNextWeek,
    foNextMonth,
    foNextYear,
};
using TcxFilterOperatorKinds = hostlib::TSet<TcxFilterOperatorKind>;

enum TcxFilterBoolOperatorKind : std::uint8_t { fboAnd, fboOr, fboNotAnd, fboNotOr };

enum TcxFilterCriteriaOption { fcoCaseInsensitive, fcoShowOperatorDescription, fcoSoftNull, fcoSoftCompare };
using TcxFilterCriteriaOptions = hostlib::TSet<TcxFilterCriteriaOption>;
const hostlib::TEnumInfo& EnumTypeInfo(TcxFilterCriteriaOption*);

class TcxFilterCriteria;
class TcxFilterCriteriaItem;
class TcxFilterCriteriaItemList;
class TcxFilterValueList;

// Today for the date operators; replaceable (by tests), the host's Date()
// by default.
std::function<hostlib::TDateTime()>& cxFilterTodayFunc();

// "blank" for Null, else the value's text.
std::string FilterValueText(const hostlib::Variant& value);
// From the 1-based position, the blank-trimmed text up to the next ';'
// (or the end); the position moves past that ';'.
std::string ExtractFilterDisplayValue(const std::string& text, int& position);
std::string VarBetweenArrayToStr(const hostlib::Variant& value);
std::string VarListArrayToStr(const hostlib::Variant& value);

// ---- operators ---------------------------------------------------------------

class TcxFilterOperator : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual std::string GetExpressionFilterText(const hostlib::Variant& value);
    virtual std::string GetExpressionValue(const hostlib::Variant& value);
    virtual void PrepareDisplayValue(std::string& text);
    virtual void Prepare() {}
    virtual bool PrepareExpressionValue(const hostlib::Variant& value, std::string& text);
    virtual void Construct(TcxFilterCriteriaItem* item) { item_ = item; }
    virtual bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) = 0;
    virtual std::string DisplayText() { return FilterText(); }
    virtual std::string FilterText() = 0;
    virtual bool IsDescription() { return false; }
    virtual bool IsExpression() { return false; }

    TcxFilterCriteriaItem* CriteriaItem() const { return item_; }
    TcxFilterCriteria* Criteria() const;

protected:
    std::string FieldName() const;

private:
    TcxFilterCriteriaItem* item_ = nullptr;
};
using TcxFilterOperatorClass = hostlib::TClass;

// Equal; with an array value a condition over several key fields.
class TcxFilterEqualOperator : public TcxFilterOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override { return "="; }
    bool IsExpression() override;
    std::string GetExpressionFilterText(const hostlib::Variant& value) override;
};

class TcxFilterNotEqualOperator : public TcxFilterEqualOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override { return "<>"; }
    std::string GetExpressionFilterText(const hostlib::Variant& value) override;
};

// The four orderings share one class shape: a comparison and its words.
template <TcxFilterOperatorKind K, const char* const* Name>
class TcxFilterOrderingOperatorOf : public TcxFilterOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override;
};

namespace cx_filter_names {
inline constexpr const char* Less = "TcxFilterLessOperator";
inline constexpr const char* LessEqual = "TcxFilterLessEqualOperator";
inline constexpr const char* Greater = "TcxFilterGreaterOperator";
inline constexpr const char* GreaterEqual = "TcxFilterGreaterEqualOperator";
} // namespace cx_filter_names

using TcxFilterLessOperator = TcxFilterOrderingOperatorOf<foLess, &cx_filter_names::Less>;
using TcxFilterLessEqualOperator = TcxFilterOrderingOperatorOf<foLessEqual, &cx_filter_names::LessEqual>;
using TcxFilterGreaterOperator = TcxFilterOrderingOperatorOf<foGreater, &cx_filter_names::Greater>;
using TcxFilterGreaterEqualOperator = TcxFilterOrderingOperatorOf<foGreaterEqual, &cx_filter_names::GreaterEqual>;

class TcxFilterLikeOperator : public TcxFilterOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override { return "LIKE"; }
    void PrepareDisplayValue(std::string& text) override;

protected:
    // The kind of the condition value's pattern (0 like .. 3 contains).
    int PatternKind() const;
};

class TcxFilterNotLikeOperator : public TcxFilterLikeOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override { return "NOT LIKE"; }
};

class TcxFilterBetweenOperator : public TcxFilterOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override { return "BETWEEN"; }
    bool IsDescription() override { return true; }
    bool IsExpression() override;
    std::string GetExpressionFilterText(const hostlib::Variant& value) override;
    bool PrepareExpressionValue(const hostlib::Variant& value, std::string& text) override;
    void PrepareDisplayValue(std::string& text) override;
};

class TcxFilterNotBetweenOperator : public TcxFilterBetweenOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override { return "NOT BETWEEN"; }
    std::string GetExpressionFilterText(const hostlib::Variant& value) override;
};

class TcxFilterInListOperator : public TcxFilterOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override { return "IN"; }
    bool IsDescription() override { return true; }
    bool IsExpression() override;
    std::string GetExpressionFilterText(const hostlib::Variant& value) override;
    bool PrepareExpressionValue(const hostlib::Variant& value, std::string& text) override;
    void PrepareDisplayValue(std::string& text) override;
};

class TcxFilterNotInListOperator : public TcxFilterInListOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override { return "NOT IN"; }
    std::string GetExpressionFilterText(const hostlib::Variant& value) override;
};

// An equals (or like) condition whose value is null.
class TcxFilterNullOperator : public TcxFilterEqualOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    void PrepareDisplayValue(std::string& text) override;
};

class TcxFilterNotNullOperator : public TcxFilterNullOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override;
    std::string FilterText() override { return "<>"; }
    std::string GetExpressionFilterText(const hostlib::Variant& value) override;
};

// A date range [Date1, Date2) fixed by Prepare from today.
class TcxFilterDateOperator : public TcxFilterOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool CompareValues(const hostlib::Variant& recordValue, const hostlib::Variant& value) override;
    std::string DisplayText() override { return FilterText(); }
    std::string FilterText() override;
    bool IsExpression() override { return true; }
    std::string GetExpressionFilterText(const hostlib::Variant& value) override;
    void PrepareDisplayValue(std::string& text) override { text.clear(); }
    void Prepare() override;

    hostlib::TDateTime Date1 = 0;
    hostlib::TDateTime Date2 = 0;

protected:
    virtual TcxFilterOperatorKind Kind() const = 0;
};

template <TcxFilterOperatorKind K, const char* const* Name>
class TcxFilterDateOperatorOf : public TcxFilterDateOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

protected:
    TcxFilterOperatorKind Kind() const override { return K; }
};

namespace cx_filter_names {
inline constexpr const char* Yesterday = "TcxFilterYesterdayOperator";
inline constexpr const char* Today = "TcxFilterTodayOperator";
inline constexpr const char* Tomorrow = "TcxFilterTomorrowOperator";
inline constexpr const char* LastWeek = "TcxFilterLastWeekOperator";
inline constexpr const char* LastMonth = "TcxFilterLastMonthOperator";
inline constexpr const char* LastYear = "TcxFilterLastYearOperator";
inline constexpr const char* ThisWeek = "TcxFilterThisWeekOperator";
inline constexpr const char* ThisMonth = "TcxFilterThisMonthOperator";
inline constexpr const char* ThisYear = "TcxFilterThisYearOperator";
inline constexpr const char* NextWeek = "TcxFilterNextWeekOperator";
inline constexpr const char* NextMonth = "TcxFilterNextMonthOperator";
inline constexpr const char* NextYear = "TcxFilterNextYearOperator";
} // namespace cx_filter_names

using TcxFilterYesterdayOperator = TcxFilterDateOperatorOf<foYesterday, &cx_filter_names::Yesterday>;
using TcxFilterTodayOperator = TcxFilterDateOperatorOf<foToday, &cx_filter_names::Today>;
using TcxFilterTomorrowOperator = TcxFilterDateOperatorOf<foTomorrow, &cx_filter_names::Tomorrow>;
using TcxFilterLastWeekOperator = TcxFilterDateOperatorOf<foLastWeek, &cx_filter_names::LastWeek>;
using TcxFilterLastMonthOperator = TcxFilterDateOperatorOf<foLastMonth, &cx_filter_names::LastMonth>;
using TcxFilterLastYearOperator = TcxFilterDateOperatorOf<foLastYear, &cx_filter_names::LastYear>;
using TcxFilterThisWeekOperator = TcxFilterDateOperatorOf<foThisWeek, &cx_filter_names::ThisWeek>;
using TcxFilterThisMonthOperator = TcxFilterDateOperatorOf<foThisMonth, &cx_filter_names::ThisMonth>;
using TcxFilterThisYearOperator = TcxFilterDateOperatorOf<foThisYear, &cx_filter_names::ThisYear>;
using TcxFilterNextWeekOperator = TcxFilterDateOperatorOf<foNextWeek, &cx_filter_names::NextWeek>;
using TcxFilterNextMonthOperator = TcxFilterDateOperatorOf<foNextMonth, &cx_filter_names::NextMonth>;
using TcxFilterNextYearOperator = TcxFilterDateOperatorOf<foNextYear, &cx_filter_names::NextYear>;

// The operator class of a kind (the null classes are chosen by the item).
TcxFilterOperatorClass GetFilterOperatorClassByKind(TcxFilterOperatorKind kind);

// ---- criteria items ----------------------------------------------------------

class TcxCustomFilterCriteriaItem : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Changed();
    virtual TcxFilterCriteria* GetCriteria() const;
    virtual bool GetIsItemList() const = 0;
    virtual void ReadData(hostlib::TStream&) {}
    virtual void WriteData(hostlib::TStream& stream);

    TcxFilterCriteriaItemList* Parent() const { return parent_; }
    void SetParent(TcxFilterCriteriaItemList* parent) { parent_ = parent; }

protected:
    void Destroy() override;

private:
    TcxFilterCriteriaItemList* parent_ = nullptr;
};

class TcxFilterCriteriaItemList : public TcxCustomFilterCriteriaItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxFilterCriteriaItemList() = default;
    TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* parent, TcxFilterBoolOperatorKind kind);

    TcxFilterCriteria* GetCriteria() const override;
    bool GetIsItemList() const override { return true; }
    void WriteData(hostlib::TStream& stream) override;
    virtual void RemoveItem(TcxCustomFilterCriteriaItem* item);

    TcxFilterCriteriaItem* AddItem(hostlib::TObject* itemLink, TcxFilterOperatorKind kind, const hostlib::Variant& value,
                                   const std::string& displayValue);
    TcxFilterCriteriaItemList* AddItemList(TcxFilterBoolOperatorKind kind);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    // Nullptr for an index out of range.
    TcxCustomFilterCriteriaItem* Items(int index) const;
    TcxFilterBoolOperatorKind BoolOperatorKind() const { return kind_; }
    void SetBoolOperatorKind(TcxFilterBoolOperatorKind kind);
    void SetCriteria(TcxFilterCriteria* criteria) { criteria_ = criteria; }
    // Appends an item that another list held.
    void Adopt(TcxCustomFilterCriteriaItem* item);
    // Takes an item out without freeing it or telling the criteria.
    void Detach(TcxCustomFilterCriteriaItem* item);

protected:
    void Destroy() override;

private:
    TcxFilterBoolOperatorKind kind_ = fboAnd;
    TcxFilterCriteria* criteria_ = nullptr;
    std::vector<TcxCustomFilterCriteriaItem*> items_;
};

class TcxFilterCriteriaItem : public TcxCustomFilterCriteriaItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    bool GetIsItemList() const override { return false; }
    void WriteData(hostlib::TStream& stream) override;
    virtual hostlib::Variant GetDataValue(hostlib::TObject* data) = 0;
    virtual std::string GetDisplayValue();
    virtual std::string GetExpressionValue(bool display);
    virtual std::string GetFieldCaption() = 0;
    virtual std::string GetFieldName() = 0;
    virtual TcxFilterOperatorClass GetFilterOperatorClass();
    virtual hostlib::TObject* GetItemLink() const { return itemLink_; }
    virtual void RecreateOperator();
    virtual void Construct(TcxFilterCriteriaItemList* parent, hostlib::TObject* itemLink, TcxFilterOperatorKind kind,
                           const hostlib::Variant& value, const std::string& displayValue);
    virtual bool ValueIsNull(const hostlib::Variant& value);

    const std::string& DisplayValue() const { return displayValue_; }
    void SetDisplayValue(const std::string& value);
    hostlib::TObject* ItemLink() const { return itemLink_; }
    TcxFilterOperator& Operator() const { return *operator_; }
    TcxFilterOperatorKind OperatorKind() const { return kind_; }
    void SetOperatorKind(TcxFilterOperatorKind kind);
    const hostlib::Variant& Value() const { return value_; }
    void SetValue(const hostlib::Variant& value);

protected:
    void Destroy() override;

private:
    std::string displayValue_;
    hostlib::TObject* itemLink_ = nullptr;
    hostlib::ObjectPtr<TcxFilterOperator> operator_;
    TcxFilterOperatorKind kind_ = foEqual;
    hostlib::Variant value_;
};

// ---- the criteria ------------------------------------------------------------

class TcxFilterCriteria : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxFilterCriteria();

    void Assign(hostlib::TPersistent* source) override;
    virtual void CheckChanges();
    virtual std::string ConvertBoolToStr(const hostlib::Variant& value);
    virtual std::string ConvertDateToStr(const hostlib::Variant& value);
    virtual void FormatFilterTextValue(TcxFilterCriteriaItem*, const hostlib::Variant&, std::string&) {}
    virtual std::string GetFilterCaption() { return GetFilterExpression(true); }
    virtual std::string GetFilterExpression(bool display);
    virtual std::string GetFilterText() { return GetFilterExpression(false); }
    virtual int GetIDByItemLink(hostlib::TObject* itemLink) = 0;
    // The class AddItem creates; the base class is abstract.
    virtual hostlib::TClass GetItemClass() const;
    virtual std::string GetItemExpression(TcxFilterCriteriaItem* item, bool display);
    virtual std::string GetItemExpressionFieldName(TcxFilterCriteriaItem* item, bool display);
    virtual std::string GetItemExpressionOperator(TcxFilterCriteriaItem* item, bool display);
    virtual std::string GetItemExpressionValue(TcxFilterCriteriaItem* item, bool display);
    virtual hostlib::TObject* GetItemLinkByID(int id) = 0;
    virtual hostlib::TClass GetValueListClass() const;
    virtual void Prepare();
    virtual hostlib::Variant PrepareValue(const hostlib::Variant& value);
    virtual void SetFilterText(const std::string&) {}
    virtual void Update();
    virtual void AssignEvents(hostlib::TPersistent* source);
    virtual void AssignItems(TcxFilterCriteria& source);
    virtual TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* parent, hostlib::TObject* itemLink,
                                           TcxFilterOperatorKind kind, const hostlib::Variant& value,
                                           const std::string& displayValue);
    virtual void Changed();
    virtual TcxFilterCriteriaItem* FindItemByItemLink(hostlib::TObject* itemLink);
    virtual bool IsEmpty() const { return root_->Count() == 0; }
    virtual void RestoreDefaults();
    virtual bool ValueIsNull(const hostlib::Variant& value);
    virtual void ReadData(hostlib::TStream& stream);
    virtual void WriteData(hostlib::TStream& stream);
    // The criteria as a component stream: its published properties and
    // what a derived class defines, in the form-resource text.
    void SaveToStream(hostlib::TStream& stream);
    // Reads the rest of the stream; raises EFormResourceError for a
    // malformed one.
    void LoadFromStream(hostlib::TStream& stream);

    void BeginUpdate() { ++lockCount_; }
    void EndUpdate();
    void CancelUpdate() { --lockCount_; }
    void Clear();
    bool DoFilterData(hostlib::TObject* data);
    void Refresh();
    void RemoveItemByItemLink(hostlib::TObject* itemLink);
    bool IsStore() const { return root_->BoolOperatorKind() != fboAnd || root_->Count() > 0; }

    TcxFilterCriteriaItemList& Root() const { return *root_; }
    int MaxValueListCount() const { return maxValueListCount_; }
    void SetMaxValueListCount(int value) { maxValueListCount_ = value; }
    TcxFilterCriteriaOptions Options() const { return options_; }
    void SetOptions(TcxFilterCriteriaOptions value);
    char PercentWildcard() const { return percentWildcard_; }
    void SetPercentWildcard(char value);
    char UnderscoreWildcard() const { return underscoreWildcard_; }
    void SetUnderscoreWildcard(char value);
    const std::string& DateTimeFormat() const { return dateTimeFormat_; }
    void SetDateTimeFormat(const std::string& value);
    bool SupportedLike() const { return supportedLike_; }
    void SetSupportedLike(bool value) { supportedLike_ = value; }
    bool TranslateBetween() const { return translateBetween_; }
    void SetTranslateBetween(bool value) { translateBetween_ = value; }
    bool TranslateIn() const { return translateIn_; }
    void SetTranslateIn(bool value) { translateIn_ = value; }

    hostlib::TNotifyEvent OnChanged;

protected:
    void Destroy() override;
    void ReadItem(hostlib::TStream& stream, TcxFilterCriteriaItemList& list, int depth);

private:
    std::string ListExpression(TcxFilterCriteriaItemList& list, bool display);
    bool EvaluateList(TcxFilterCriteriaItemList& list, hostlib::TObject* data);
    bool EvaluateItem(TcxFilterCriteriaItem& item, hostlib::TObject* data);
    void ForEachItem(TcxFilterCriteriaItemList& list, const std::function<void(TcxFilterCriteriaItem&)>& action);
    void TidyAfterRemoval(TcxFilterCriteriaItemList* list);

    hostlib::ObjectPtr<TcxFilterCriteriaItemList> root_;
    int maxValueListCount_ = 0;
    TcxFilterCriteriaOptions options_;
    char percentWildcard_ = '%';
    char underscoreWildcard_ = '_';
    std::string dateTimeFormat_;
    bool supportedLike_ = true;
    bool translateBetween_ = false;
    bool translateIn_ = false;
    int lockCount_ = 0;
    bool changed_ = false;
};

// Streams a criteria as a component: only its Filter property.
class TFilterWrapper : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxFilterCriteria* Filter() const { return filter_; }
    void SetFilter(TcxFilterCriteria* value) { filter_ = value; }

private:
    TcxFilterCriteria* filter_ = nullptr;
};

// ---- filter value list -------------------------------------------------------

enum TcxFilterValueItemKind : std::uint8_t { fviAll, fviCustom, fviBlanks, fviNonBlanks, fviUser, fviValue, fviMRU, fviMRUSeparator };

struct TcxFilterValueItem {
    TcxFilterValueItemKind Kind = fviValue;
    hostlib::Variant Value;
    std::string DisplayText;
};

// The choices of a filter drop-down: recent values and their separator,
// then special entries, then the distinct values sorted.
class TcxFilterValueList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual int CompareItem(int index, const hostlib::Variant& value, const std::string& displayText);
    virtual void Construct(TcxFilterCriteria* criteria) { criteria_ = criteria; }
    virtual void Add(TcxFilterValueItemKind kind, const hostlib::Variant& value, const std::string& displayText,
                     bool appendUnsorted = false);
    virtual void Clear() { items_.clear(); }
    // Found or not, index is where the value is or would go.
    virtual bool Find(const hostlib::Variant& value, const std::string& displayText, int& index);
    virtual int GetIndexByCriteriaItem(TcxFilterCriteriaItem* item);

    void Delete(int index);
    int FindItemByKind(TcxFilterValueItemKind kind) const;
    int FindItemByValue(const hostlib::Variant& value);
    int Count() const { return static_cast<int>(items_.size()); }
    const TcxFilterValueItem& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    int MaxCount() const;
    bool SortByDisplayText() const { return sortByDisplayText_; }
    void SetSortByDisplayText(bool value) { sortByDisplayText_ = value; }
    TcxFilterCriteria* Criteria() const { return criteria_; }

private:
    int ValueSectionStart() const;
    void InsertAt(int index, TcxFilterValueItem item);

    TcxFilterCriteria* criteria_ = nullptr;
    std::vector<TcxFilterValueItem> items_;
    bool sortByDisplayText_ = false;
};
