#include "components/data/cxFilter.h"

#include <algorithm>

#include "components/data/cxDataConsts.h"
#include "components/data/cxDataUtils.h"
#include "components/data/cxFilterConsts.h"
#include "components/data/cxLike.h"
#include "components/data/cxVariants.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/update_scope.h"

using hostlib::Variant;

namespace {

constexpr int kMaxNesting = 1000;

std::string NotWrapped(const std::string& text)
{
    return "NOT (" + text + ")";
}

// A value's elements from the lower to the upper bound; a value that is no
// array is its own single element.
std::vector<Variant> Elements(const Variant& value)
{
    if (!value.IsArray()) return {value};
    return value.ArrayItems();
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void ReadError()
{
    throw hostlib::EReadError(cxSDataReadError);
}

// The shared ordering (Null first), raising the variant error of values
// that cannot be compared, so that soft compare can turn it into a failed
// condition.
int Compare(const Variant& a, const Variant& b)
{
    if (a.IsArray() || b.IsArray()) return VarCompare(a, b);
    if (a == b) return 0;
    return a < b ? -1 : 1;
}

} // namespace

std::function<hostlib::TDateTime()>& cxFilterTodayFunc()
{
    static std::function<hostlib::TDateTime()> today = [] { return hostlib::Date(); };
    return today;
}

std::string FilterValueText(const Variant& value)
{
    if (value.IsNull()) return cxSFilterString(cxSFilterBlankCaption);
    return hostlib::VarToStr(value);
}

std::string ExtractFilterDisplayValue(const std::string& text, int& position)
{
    const std::size_t start = static_cast<std::size_t>(std::max(position, 1) - 1);
    if (start >= text.size()) {
        position = static_cast<int>(text.size()) + 1;
        return std::string();
    }
    const std::size_t end = text.find(';', start);
    const std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    position = end == std::string::npos ? static_cast<int>(text.size()) + 1 : static_cast<int>(end) + 2;
    return Trim(part);
}

std::string VarBetweenArrayToStr(const Variant& value)
{
    const std::vector<Variant> items = Elements(value);
    const Variant second = items.size() > 1 ? items[1] : Variant::Null();
    return FilterValueText(items.front()) + " " + cxSFilterString(cxSFilterAndCaption) + " " + FilterValueText(second);
}

std::string VarListArrayToStr(const Variant& value)
{
    std::string text = "(";
    const std::vector<Variant> items = Elements(value);
    for (std::size_t i = 0; i < items.size(); ++i) text += (i ? ", " : "") + FilterValueText(items[i]);
    return text + ")";
}

// ---- class information -------------------------------------------------------

hostlib::TClass TcxFilterOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterOperator, hostlib::TObject>("TcxFilterOperator");
}
hostlib::TClass TcxFilterEqualOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterEqualOperator, TcxFilterOperator>("TcxFilterEqualOperator");
}
hostlib::TClass TcxFilterNotEqualOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterNotEqualOperator, TcxFilterEqualOperator>("TcxFilterNotEqualOperator");
}
hostlib::TClass TcxFilterLikeOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterLikeOperator, TcxFilterOperator>("TcxFilterLikeOperator");
}
hostlib::TClass TcxFilterNotLikeOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterNotLikeOperator, TcxFilterLikeOperator>("TcxFilterNotLikeOperator");
}
hostlib::TClass TcxFilterBetweenOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterBetweenOperator, TcxFilterOperator>("TcxFilterBetweenOperator");
}
hostlib::TClass TcxFilterNotBetweenOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterNotBetweenOperator, TcxFilterBetweenOperator>("TcxFilterNotBetweenOperator");
}
hostlib::TClass TcxFilterInListOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterInListOperator, TcxFilterOperator>("TcxFilterInListOperator");
}
hostlib::TClass TcxFilterNotInListOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterNotInListOperator, TcxFilterInListOperator>("TcxFilterNotInListOperator");
}
hostlib::TClass TcxFilterNullOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterNullOperator, TcxFilterEqualOperator>("TcxFilterNullOperator");
}
hostlib::TClass TcxFilterNotNullOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterNotNullOperator, TcxFilterNullOperator>("TcxFilterNotNullOperator");
}
hostlib::TClass TcxFilterDateOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterDateOperator, TcxFilterOperator>("TcxFilterDateOperator");
}
hostlib::TClass TcxCustomFilterCriteriaItem::StaticClass()
{
    return hostlib::DefineClass<TcxCustomFilterCriteriaItem, hostlib::TObject>("TcxCustomFilterCriteriaItem");
}
hostlib::TClass TcxFilterCriteriaItemList::StaticClass()
{
    return hostlib::DefineClass<TcxFilterCriteriaItemList, TcxCustomFilterCriteriaItem>("TcxFilterCriteriaItemList");
}
hostlib::TClass TcxFilterCriteriaItem::StaticClass()
{
    return hostlib::DefineClass<TcxFilterCriteriaItem, TcxCustomFilterCriteriaItem>("TcxFilterCriteriaItem");
}
const hostlib::TEnumInfo& EnumTypeInfo(TcxFilterCriteriaOption*)
{
    static const hostlib::TEnumInfo info{
        "TcxFilterCriteriaOption", {"fcoCaseInsensitive", "fcoShowOperatorDescription", "fcoSoftNull", "fcoSoftCompare"}, 0};
    return info;
}

hostlib::TClass TcxFilterCriteria::StaticClass()
{
    return hostlib::DefineClass<TcxFilterCriteria, hostlib::TPersistent>(
        "TcxFilterCriteria", [](hostlib::ClassBuilder<TcxFilterCriteria>& c) {
            c.Property("MaxValueListCount", &TcxFilterCriteria::MaxValueListCount, &TcxFilterCriteria::SetMaxValueListCount)
                .Default(0);
            c.Property("Options", &TcxFilterCriteria::Options, &TcxFilterCriteria::SetOptions).Default(TcxFilterCriteriaOptions{});
            c.Property("PercentWildcard", &TcxFilterCriteria::PercentWildcard, &TcxFilterCriteria::SetPercentWildcard).Default('%');
            c.Property("UnderscoreWildcard", &TcxFilterCriteria::UnderscoreWildcard, &TcxFilterCriteria::SetUnderscoreWildcard)
                .Default('_');
            c.EventProperty("OnChanged", &TcxFilterCriteria::OnChanged);
        });
}

hostlib::TClass TFilterWrapper::StaticClass()
{
    return hostlib::DefineClass<TFilterWrapper, hostlib::TComponent>(
        "TFilterWrapper", [](hostlib::ClassBuilder<TFilterWrapper>& c) { c.Property("Filter", &TFilterWrapper::Filter); });
}

template <TcxFilterOperatorKind K, const char* const* Name>
hostlib::TClass TcxFilterDateOperatorOf<K, Name>::StaticClass()
{
    return hostlib::DefineClass<TcxFilterDateOperatorOf<K, Name>, TcxFilterDateOperator>(*Name);
}

TcxFilterOperatorClass GetFilterOperatorClassByKind(TcxFilterOperatorKind kind)
{
    switch (kind) {
    case foEqual: return TcxFilterEqualOperator::StaticClass();
    case foNotEqual: return TcxFilterNotEqualOperator::StaticClass();
    case foLess: return TcxFilterLessOperator::StaticClass();
    case foLessEqual: return TcxFilterLessEqualOperator::StaticClass();
    case foGreater: return TcxFilterGreaterOperator::StaticClass();
    case foGreaterEqual: return TcxFilterGreaterEqualOperator::StaticClass();
    case foLike: return TcxFilterLikeOperator::StaticClass();
    case foNotLike: return TcxFilterNotLikeOperator::StaticClass();
    case foBetween: return TcxFilterBetweenOperator::StaticClass();
    case foNotBetween: return TcxFilterNotBetweenOperator::StaticClass();
    case foInList: return TcxFilterInListOperator::StaticClass();
    case foNotInList: return TcxFilterNotInListOperator::StaticClass();
    case foYesterday: return TcxFilterYesterdayOperator::StaticClass();
    case foToday: return TcxFilterTodayOperator::StaticClass();
    case foTomorrow: return TcxFilterTomorrowOperator::StaticClass();
    case foLastWeek: return TcxFilterLastWeekOperator::StaticClass();
    case foLastMonth: return TcxFilterLastMonthOperator::StaticClass();
    case foLastYear: return TcxFilterLastYearOperator::StaticClass();
    case foThisWeek: return TcxFilterThisWeekOperator::StaticClass();
    case foThisMonth: return TcxFilterThisMonthOperator::StaticClass();
    case foThisYear: return TcxFilterThisYearOperator::StaticClass();
    case foNextWeek: return TcxFilterNextWeekOperator::StaticClass();
    case foNextMonth: return TcxFilterNextMonthOperator::StaticClass();
    case foNextYear: return TcxFilterNextYearOperator::StaticClass();
    }
    return TcxFilterEqualOperator::StaticClass();
}

// ---- TcxFilterOperator -------------------------------------------------------

TcxFilterCriteria* TcxFilterOperator::Criteria() const
{
    return item_ ? item_->GetCriteria() : nullptr;
}

std::string TcxFilterOperator::FieldName() const
{
    return item_->GetFieldName();
}

std::string TcxFilterOperator::GetExpressionFilterText(const Variant& value)
{
    return GetExpressionValue(value);
}

// Filter text goes to a data set: apostrophes are doubled so a value
// cannot end its string, and numbers use '.' whatever the locale.
std::string TcxFilterOperator::GetExpressionValue(const Variant& value)
{
    std::string text;
    if (!PrepareExpressionValue(value, text)) {
        TcxFilterCriteria* criteria = Criteria();
        const hostlib::TVarType type = value.VarType();
        if (value.IsNull()) {
            text = "NULL";
        } else if (type == hostlib::varDate) {
            text = "'" + criteria->ConvertDateToStr(value) + "'";
        } else if (hostlib::VarIsStr(value)) {
            std::string quoted;
            for (const char c : value.AsString()) quoted += c == '\'' ? std::string("''") : std::string(1, c);
            text = "'" + quoted + "'";
        } else if (type == hostlib::varBoolean) {
            text = criteria->ConvertBoolToStr(value);
        } else if (hostlib::VarIsFloat(value)) {
            hostlib::TFormatSettings fs = hostlib::FormatSettings();
            fs.DecimalSeparator = '.';
            fs.ThousandSeparator = ',';
            text = type == hostlib::varCurrency ? hostlib::CurrToStr(value.AsCurrency(), fs) : hostlib::FloatToStr(value.AsDouble(), fs);
        } else {
            text = hostlib::VarToStr(value);
        }
    }
    if (TcxFilterCriteria* criteria = Criteria()) criteria->FormatFilterTextValue(item_, value, text);
    return text;
}

void TcxFilterOperator::PrepareDisplayValue(std::string&) {}

bool TcxFilterOperator::PrepareExpressionValue(const Variant&, std::string&)
{
    return false;
}

// ---- equal and the orderings -------------------------------------------------

bool TcxFilterEqualOperator::CompareValues(const Variant& recordValue, const Variant& value)
{
    return Compare(recordValue, value) == 0;
}

std::string TcxFilterEqualOperator::DisplayText()
{
    return cxSFilterString(cxSFilterOperatorEqual);
}

bool TcxFilterEqualOperator::IsExpression()
{
    return CriteriaItem()->Value().IsArray();
}

std::string TcxFilterEqualOperator::GetExpressionFilterText(const Variant& value)
{
    // A condition over several key fields: "f1;f2" against [v1, v2].
    const std::string names = FieldName();
    int position = 1;
    std::string text;
    const std::vector<Variant> items = Elements(value);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) text += " AND ";
        text += "(" + ExtractFilterDisplayValue(names, position) + " = " + GetExpressionValue(items[i]) + ")";
    }
    return text;
}

bool TcxFilterNotEqualOperator::CompareValues(const Variant& recordValue, const Variant& value)
{
    return !TcxFilterEqualOperator::CompareValues(recordValue, value);
}

std::string TcxFilterNotEqualOperator::DisplayText()
{
    return cxSFilterString(cxSFilterOperatorNotEqual);
}

std::string TcxFilterNotEqualOperator::GetExpressionFilterText(const Variant& value)
{
    return NotWrapped(TcxFilterEqualOperator::GetExpressionFilterText(value));
}

template <TcxFilterOperatorKind K, const char* const* Name>
hostlib::TClass TcxFilterOrderingOperatorOf<K, Name>::StaticClass()
{
    return hostlib::DefineClass<TcxFilterOrderingOperatorOf<K, Name>, TcxFilterOperator>(*Name);
}

template <TcxFilterOperatorKind K, const char* const* Name>
bool TcxFilterOrderingOperatorOf<K, Name>::CompareValues(const Variant& recordValue, const Variant& value)
{
    const int c = Compare(recordValue, value);
    switch (K) {
    case foLess: return c < 0;
    case foLessEqual: return c <= 0;
    case foGreater: return c > 0;
    default: return c >= 0;
    }
}

template <TcxFilterOperatorKind K, const char* const* Name>
std::string TcxFilterOrderingOperatorOf<K, Name>::DisplayText()
{
    static const hostlib::TResourceString* const words[] = {&cxSFilterOperatorLess, &cxSFilterOperatorLessEqual,
                                                             &cxSFilterOperatorGreater, &cxSFilterOperatorGreaterEqual};
    return cxSFilterString(*words[K - foLess]);
}

template <TcxFilterOperatorKind K, const char* const* Name>
std::string TcxFilterOrderingOperatorOf<K, Name>::FilterText()
{
    static const char* const keywords[] = {"<", "<=", ">", ">="};
    return keywords[K - foLess];
}

template class TcxFilterOrderingOperatorOf<foLess, &cx_filter_names::Less>;
template class TcxFilterOrderingOperatorOf<foLessEqual, &cx_filter_names::LessEqual>;
template class TcxFilterOrderingOperatorOf<foGreater, &cx_filter_names::Greater>;
template class TcxFilterOrderingOperatorOf<foGreaterEqual, &cx_filter_names::GreaterEqual>;

// ---- like --------------------------------------------------------------------

bool TcxFilterLikeOperator::CompareValues(const Variant& recordValue, const Variant& value)
{
    TcxFilterCriteria* criteria = Criteria();
    return LikeStr(hostlib::VarToStr(recordValue), hostlib::VarToStr(value), criteria->PercentWildcard(),
                   criteria->UnderscoreWildcard());
}

int TcxFilterLikeOperator::PatternKind() const
{
    std::string pattern = hostlib::VarToStr(CriteriaItem()->Value());
    return LikeOperatorByPattern(pattern, Criteria()->PercentWildcard());
}

std::string TcxFilterLikeOperator::DisplayText()
{
    static const hostlib::TResourceString* const words[] = {&cxSFilterOperatorLike, &cxSFilterOperatorBeginsWith,
                                                             &cxSFilterOperatorEndsWith, &cxSFilterOperatorContains};
    return cxSFilterString(*words[PatternKind()]);
}

void TcxFilterLikeOperator::PrepareDisplayValue(std::string& text)
{
    if (Criteria()->Options().Contains(fcoShowOperatorDescription)) LikeOperatorByPattern(text, Criteria()->PercentWildcard());
}

bool TcxFilterNotLikeOperator::CompareValues(const Variant& recordValue, const Variant& value)
{
    return !TcxFilterLikeOperator::CompareValues(recordValue, value);
}

std::string TcxFilterNotLikeOperator::DisplayText()
{
    static const hostlib::TResourceString* const words[] = {&cxSFilterOperatorNotLike, &cxSFilterOperatorDoesNotBeginWith,
                                                             &cxSFilterOperatorDoesNotEndWith, &cxSFilterOperatorDoesNotContain};
    return cxSFilterString(*words[PatternKind()]);
}

// ---- between -----------------------------------------------------------------

bool TcxFilterBetweenOperator::CompareValues(const Variant& recordValue, const Variant& value)
{
    const std::vector<Variant> bounds = Elements(value);
    if (bounds.size() < 2) return false;
    return Compare(bounds[0], recordValue) <= 0 && Compare(recordValue, bounds[1]) <= 0;
}

std::string TcxFilterBetweenOperator::DisplayText()
{
    return cxSFilterString(cxSFilterOperatorBetween);
}

bool TcxFilterBetweenOperator::IsExpression()
{
    return Criteria()->TranslateBetween();
}

std::string TcxFilterBetweenOperator::GetExpressionFilterText(const Variant& value)
{
    const std::vector<Variant> bounds = Elements(value);
    const std::string f = FieldName();
    const Variant high = bounds.size() > 1 ? bounds[1] : Variant::Null();
    return "(" + f + " >= " + GetExpressionValue(bounds.front()) + ") AND (" + f + " <= " + GetExpressionValue(high) + ")";
}

bool TcxFilterBetweenOperator::PrepareExpressionValue(const Variant& value, std::string& text)
{
    if (!value.IsArray()) return false;
    const std::vector<Variant> bounds = Elements(value);
    const Variant high = bounds.size() > 1 ? bounds[1] : Variant::Null();
    text = GetExpressionValue(bounds.empty() ? Variant::Null() : bounds[0]) + " AND " + GetExpressionValue(high);
    return true;
}

void TcxFilterBetweenOperator::PrepareDisplayValue(std::string& text)
{
    int position = 1;
    const std::string low = ExtractFilterDisplayValue(text, position);
    const std::string high = ExtractFilterDisplayValue(text, position);
    Variant bounds;
    VarBetweenArrayCreate(bounds, Variant(low), Variant(high));
    text = VarBetweenArrayToStr(bounds);
}

bool TcxFilterNotBetweenOperator::CompareValues(const Variant& recordValue, const Variant& value)
{
    return !TcxFilterBetweenOperator::CompareValues(recordValue, value);
}

std::string TcxFilterNotBetweenOperator::DisplayText()
{
    return cxSFilterString(cxSFilterOperatorNotBetween);
}

std::string TcxFilterNotBetweenOperator::GetExpressionFilterText(const Variant& value)
{
    return NotWrapped(TcxFilterBetweenOperator::GetExpressionFilterText(value));
}

// ---- in list -----------------------------------------------------------------

bool TcxFilterInListOperator::CompareValues(const Variant& recordValue, const Variant& value)
{
    const std::vector<Variant> items = Elements(value);
    return std::any_of(items.begin(), items.end(), [&](const Variant& item) { return VarEquals(recordValue, item); });
}

std::string TcxFilterInListOperator::DisplayText()
{
    return cxSFilterString(cxSFilterOperatorInList);
}

bool TcxFilterInListOperator::IsExpression()
{
    return Criteria()->TranslateIn();
}

std::string TcxFilterInListOperator::GetExpressionFilterText(const Variant& value)
{
    const std::string f = FieldName();
    std::string text;
    const std::vector<Variant> items = Elements(value);
    for (std::size_t i = 0; i < items.size(); ++i) text += (i ? " OR " : "") + ("(" + f + " = " + GetExpressionValue(items[i]) + ")");
    return text;
}

bool TcxFilterInListOperator::PrepareExpressionValue(const Variant& value, std::string& text)
{
    if (!value.IsArray()) return false;
    text = "(";
    const std::vector<Variant> items = Elements(value);
    for (std::size_t i = 0; i < items.size(); ++i) text += (i ? ", " : "") + GetExpressionValue(items[i]);
    text += ")";
    return true;
}

void TcxFilterInListOperator::PrepareDisplayValue(std::string& text)
{
    // An empty display value still shows one (empty) element: "()".
    int position = 1;
    Variant list;
    VarListArrayCreate(list, Variant(ExtractFilterDisplayValue(text, position)));
    while (position <= static_cast<int>(text.size())) VarListArrayAddValue(list, Variant(ExtractFilterDisplayValue(text, position)));
    text = VarListArrayToStr(list);
}

bool TcxFilterNotInListOperator::CompareValues(const Variant& recordValue, const Variant& value)
{
    return !TcxFilterInListOperator::CompareValues(recordValue, value);
}

std::string TcxFilterNotInListOperator::DisplayText()
{
    return cxSFilterString(cxSFilterOperatorNotInList);
}

std::string TcxFilterNotInListOperator::GetExpressionFilterText(const Variant& value)
{
    return NotWrapped(TcxFilterInListOperator::GetExpressionFilterText(value));
}

// ---- null --------------------------------------------------------------------

bool TcxFilterNullOperator::CompareValues(const Variant& recordValue, const Variant&)
{
    return CriteriaItem()->ValueIsNull(recordValue);
}

std::string TcxFilterNullOperator::DisplayText()
{
    return cxSFilterString(cxSFilterOperatorIsNull);
}

void TcxFilterNullOperator::PrepareDisplayValue(std::string& text)
{
    if (Criteria()->Options().Contains(fcoShowOperatorDescription)) text.clear();
}

bool TcxFilterNotNullOperator::CompareValues(const Variant& recordValue, const Variant& value)
{
    return !TcxFilterNullOperator::CompareValues(recordValue, value);
}

std::string TcxFilterNotNullOperator::DisplayText()
{
    return cxSFilterString(cxSFilterOperatorIsNotNull);
}

std::string TcxFilterNotNullOperator::GetExpressionFilterText(const Variant& value)
{
    return NotWrapped(TcxFilterNullOperator::GetExpressionFilterText(value));
}

// ---- dates -------------------------------------------------------------------

bool TcxFilterDateOperator::CompareValues(const Variant& recordValue, const Variant&)
{
    if (CriteriaItem()->ValueIsNull(recordValue)) return false;
    return Compare(Variant::FromDate(Date1), recordValue) <= 0 && Compare(recordValue, Variant::FromDate(Date2)) < 0;
}

std::string TcxFilterDateOperator::FilterText()
{
    static const hostlib::TResourceString* const words[] = {
        &cxSFilterOperatorYesterday, &cxSFilterOperatorToday,     &cxSFilterOperatorTomorrow, &cxSFilterOperatorLastWeek,
        &cxSFilterOperatorLastMonth, &cxSFilterOperatorLastYear,  &cxSFilterOperatorThisWeek, &cxSFilterOperatorThisMonth,
        &cxSFilterOperatorThisYear,  &cxSFilterOperatorNextWeek,  &cxSFilterOperatorNextMonth, &cxSFilterOperatorNextYear};
    return cxSFilterString(*words[Kind() - foYesterday]);
}

std::string TcxFilterDateOperator::GetExpressionFilterText(const Variant&)
{
    const std::string f = FieldName();
    return "(" + f + " >= " + GetExpressionValue(Variant::FromDate(Date1)) + ") AND (" + f + " < " +
           GetExpressionValue(Variant::FromDate(Date2)) + ")";
}

void TcxFilterDateOperator::Prepare()
{
    const double today = DateOf(cxFilterTodayFunc()());
    const double weekStart = GetStartDateOfWeek(today);
    int year = 0, month = 0, day = 0;
    hostlib::DecodeDate(today, year, month, day);
    // The first day of the month `offset` months from this one.
    const auto monthStart = [&](int offset) {
        const int index = year * 12 + (month - 1) + offset;
        return hostlib::EncodeDate(index / 12, index % 12 + 1, 1);
    };
    const auto yearStart = [&](int offset) { return hostlib::EncodeDate(year + offset, 1, 1); };
    switch (Kind()) {
    case foYesterday: Date1 = today - 1, Date2 = today; break;
    case foToday: Date1 = today, Date2 = today + 1; break;
    case foTomorrow: Date1 = today + 1, Date2 = today + 2; break;
    case foLastWeek: Date1 = weekStart - 7, Date2 = weekStart; break;
    case foThisWeek: Date1 = weekStart, Date2 = weekStart + 7; break;
    case foNextWeek: Date1 = weekStart + 7, Date2 = weekStart + 14; break;
    case foLastMonth: Date1 = monthStart(-1), Date2 = monthStart(0); break;
    case foThisMonth: Date1 = monthStart(0), Date2 = monthStart(1); break;
    case foNextMonth: Date1 = monthStart(1), Date2 = monthStart(2); break;
    case foLastYear: Date1 = yearStart(-1), Date2 = yearStart(0); break;
    case foThisYear: Date1 = yearStart(0), Date2 = yearStart(1); break;
    default: Date1 = yearStart(1), Date2 = yearStart(2); break;
    }
}

// ---- TcxCustomFilterCriteriaItem ---------------------------------------------

void TcxCustomFilterCriteriaItem::Changed()
{
    if (TcxFilterCriteria* criteria = GetCriteria()) criteria->Changed();
}

TcxFilterCriteria* TcxCustomFilterCriteriaItem::GetCriteria() const
{
    return parent_ ? parent_->GetCriteria() : nullptr;
}

void TcxCustomFilterCriteriaItem::WriteData(hostlib::TStream& stream)
{
    WriteBooleanProc(stream, GetIsItemList());
}

void TcxCustomFilterCriteriaItem::Destroy()
{
    if (parent_) parent_->RemoveItem(this);
    parent_ = nullptr;
    TObject::Destroy();
}

// ---- TcxFilterCriteriaItemList -----------------------------------------------

TcxFilterCriteriaItemList::TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* parent, TcxFilterBoolOperatorKind kind)
    : kind_(kind)
{
    SetParent(parent);
}

TcxFilterCriteria* TcxFilterCriteriaItemList::GetCriteria() const
{
    return criteria_ ? criteria_ : TcxCustomFilterCriteriaItem::GetCriteria();
}

void TcxFilterCriteriaItemList::WriteData(hostlib::TStream& stream)
{
    TcxCustomFilterCriteriaItem::WriteData(stream);
    WriteByteProc(stream, kind_);
    WriteIntegerProc(stream, Count());
    for (TcxCustomFilterCriteriaItem* item : items_) item->WriteData(stream);
}

void TcxFilterCriteriaItemList::RemoveItem(TcxCustomFilterCriteriaItem* item)
{
    const auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    Changed();
}

void TcxFilterCriteriaItemList::Detach(TcxCustomFilterCriteriaItem* item)
{
    const auto it = std::find(items_.begin(), items_.end(), item);
    if (it != items_.end()) items_.erase(it);
    item->SetParent(nullptr);
}

void TcxFilterCriteriaItemList::Adopt(TcxCustomFilterCriteriaItem* item)
{
    item->SetParent(this);
    items_.push_back(item);
}

TcxFilterCriteriaItem* TcxFilterCriteriaItemList::AddItem(hostlib::TObject* itemLink, TcxFilterOperatorKind kind,
                                                          const Variant& value, const std::string& displayValue)
{
    return GetCriteria()->AddItem(this, itemLink, kind, value, displayValue);
}

TcxFilterCriteriaItemList* TcxFilterCriteriaItemList::AddItemList(TcxFilterBoolOperatorKind kind)
{
    auto* list = new TcxFilterCriteriaItemList(this, kind);
    items_.push_back(list);
    Changed();
    return list;
}

void TcxFilterCriteriaItemList::Clear()
{
    TcxFilterCriteria* criteria = GetCriteria();
    if (criteria) criteria->BeginUpdate();
    while (!items_.empty()) items_.back()->Free();
    if (criteria) criteria->EndUpdate();
}

TcxCustomFilterCriteriaItem* TcxFilterCriteriaItemList::Items(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<std::size_t>(index)];
}

void TcxFilterCriteriaItemList::SetBoolOperatorKind(TcxFilterBoolOperatorKind kind)
{
    if (kind_ == kind) return;
    kind_ = kind;
    Changed();
}

void TcxFilterCriteriaItemList::Destroy()
{
    // Children leave without telling a criteria that may be going away.
    while (!items_.empty()) {
        TcxCustomFilterCriteriaItem* item = items_.back();
        items_.pop_back();
        item->SetParent(nullptr);
        item->Free();
    }
    TcxCustomFilterCriteriaItem::Destroy();
}

// ---- TcxFilterCriteriaItem ---------------------------------------------------

void TcxFilterCriteriaItem::Construct(TcxFilterCriteriaItemList* parent, hostlib::TObject* itemLink, TcxFilterOperatorKind kind,
                                      const Variant& value, const std::string& displayValue)
{
    SetParent(parent);
    itemLink_ = itemLink;
    displayValue_ = displayValue;
    kind_ = kind;
    value_ = value;
    RecreateOperator();
    if (displayValue_.empty() && hostlib::Is<TcxFilterNullOperator>(operator_.get()))
        displayValue_ = cxSFilterString(cxSFilterBlankCaption);
}

void TcxFilterCriteriaItem::Destroy()
{
    operator_.reset();
    TcxCustomFilterCriteriaItem::Destroy();
}

void TcxFilterCriteriaItem::WriteData(hostlib::TStream& stream)
{
    TcxCustomFilterCriteriaItem::WriteData(stream);
    WriteByteProc(stream, kind_);
    WriteStringProc(stream, displayValue_);
    WriteIntegerProc(stream, GetCriteria()->GetIDByItemLink(itemLink_));
    WriteVariantProc(stream, value_);
}

std::string TcxFilterCriteriaItem::GetDisplayValue()
{
    std::string text = displayValue_;
    operator_->PrepareDisplayValue(text);
    return text;
}

std::string TcxFilterCriteriaItem::GetExpressionValue(bool display)
{
    return display ? GetDisplayValue() : operator_->GetExpressionValue(value_);
}

TcxFilterOperatorClass TcxFilterCriteriaItem::GetFilterOperatorClass()
{
    const bool null = ValueIsNull(value_);
    if (null && (kind_ == foEqual || kind_ == foLike)) return TcxFilterNullOperator::StaticClass();
    if (null && (kind_ == foNotEqual || kind_ == foNotLike)) return TcxFilterNotNullOperator::StaticClass();
    return GetFilterOperatorClassByKind(kind_);
}

void TcxFilterCriteriaItem::RecreateOperator()
{
    operator_.reset();
    operator_.reset(hostlib::CreateInstance<TcxFilterOperator>(GetFilterOperatorClass(), this));
    Changed();
}

bool TcxFilterCriteriaItem::ValueIsNull(const Variant& value)
{
    TcxFilterCriteria* criteria = GetCriteria();
    return criteria ? criteria->ValueIsNull(value) : value.IsNull();
}

void TcxFilterCriteriaItem::SetDisplayValue(const std::string& value)
{
    if (displayValue_ == value) return;
    displayValue_ = value;
    Changed();
}

void TcxFilterCriteriaItem::SetOperatorKind(TcxFilterOperatorKind kind)
{
    if (kind_ == kind) return;
    kind_ = kind;
    RecreateOperator();
}

void TcxFilterCriteriaItem::SetValue(const Variant& value)
{
    // Another type, or another value by the shared ordering (arrays element
    // by element), is a change; comparing never raises.
    if (value_.VarType() == value.VarType() && VarCompare(value_, value) == 0) return;
    value_ = value;
    RecreateOperator();
}

// ---- TcxFilterCriteria -------------------------------------------------------

TcxFilterCriteria::TcxFilterCriteria()
{
    root_.reset(new TcxFilterCriteriaItemList(nullptr, fboAnd));
    root_->SetCriteria(this);
}

void TcxFilterCriteria::Destroy()
{
    lockCount_ = 1; // no notices while the tree goes
    root_.reset();
    TPersistent::Destroy();
}

hostlib::TClass TcxFilterCriteria::GetValueListClass() const
{
    return TcxFilterValueList::StaticClass();
}

hostlib::TClass TcxFilterCriteria::GetItemClass() const
{
    return TcxFilterCriteriaItem::StaticClass();
}

void TcxFilterCriteria::Assign(hostlib::TPersistent* source)
{
    auto* other = dynamic_cast<TcxFilterCriteria*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    hostlib::UpdateScope scope(*this);
    dateTimeFormat_ = other->DateTimeFormat();
    maxValueListCount_ = other->MaxValueListCount();
    SetOptions(other->Options());
    SetPercentWildcard(other->PercentWildcard());
    translateBetween_ = other->TranslateBetween();
    translateIn_ = other->TranslateIn();
    supportedLike_ = other->SupportedLike();
    SetUnderscoreWildcard(other->UnderscoreWildcard());
    AssignItems(*other);
    AssignEvents(other);
}

void TcxFilterCriteria::AssignEvents(hostlib::TPersistent* source)
{
    if (auto* other = dynamic_cast<TcxFilterCriteria*>(source)) OnChanged = other->OnChanged;
}

void TcxFilterCriteria::AssignItems(TcxFilterCriteria& source)
{
    hostlib::UpdateScope scope(*this);
    Clear();
    hostlib::TMemoryStream stream;
    source.WriteData(stream);
    stream.SetPosition(0);
    ReadData(stream);
}

void TcxFilterCriteria::EndUpdate()
{
    --lockCount_;
    CheckChanges();
}

void TcxFilterCriteria::CheckChanges()
{
    if (!changed_ || lockCount_ != 0) return;
    changed_ = false;
    Prepare();
    Update();
}

void TcxFilterCriteria::Changed()
{
    changed_ = true;
    CheckChanges();
}

void TcxFilterCriteria::Update()
{
    if (OnChanged) OnChanged(this);
}

std::string TcxFilterCriteria::ConvertBoolToStr(const Variant& value)
{
    return hostlib::VarToStr(value);
}

std::string TcxFilterCriteria::ConvertDateToStr(const Variant& value)
{
    if (dateTimeFormat_.empty()) return hostlib::VarToStr(value);
    return hostlib::FormatDateTime(dateTimeFormat_, value.AsDate());
}

void TcxFilterCriteria::ForEachItem(TcxFilterCriteriaItemList& list, const std::function<void(TcxFilterCriteriaItem&)>& action)
{
    for (int i = 0; i < list.Count(); ++i) {
        TcxCustomFilterCriteriaItem* item = list.Items(i);
        if (auto* sub = hostlib::As<TcxFilterCriteriaItemList>(item))
            ForEachItem(*sub, action);
        else
            action(*static_cast<TcxFilterCriteriaItem*>(item));
    }
}

void TcxFilterCriteria::Prepare()
{
    ForEachItem(*root_, [](TcxFilterCriteriaItem& item) { item.Operator().Prepare(); });
}

void TcxFilterCriteria::Refresh()
{
    hostlib::UpdateScope scope(*this);
    ForEachItem(*root_, [](TcxFilterCriteriaItem& item) { item.RecreateOperator(); });
}

Variant TcxFilterCriteria::PrepareValue(const Variant& value)
{
    if (value.IsArray()) {
        std::vector<Variant> items = value.ArrayItems();
        for (Variant& item : items) item = PrepareValue(item);
        return Variant::ArrayOf(items);
    }
    if (value.VarType() == hostlib::varCurrency) return Variant(value.AsDouble());
    if (hostlib::VarIsStr(value) && options_.Contains(fcoCaseInsensitive)) return Variant(hostlib::AnsiUpperCase(value.AsString()));
    return value;
}

bool TcxFilterCriteria::ValueIsNull(const Variant& value)
{
    return options_.Contains(fcoSoftNull) ? VarIsSoftNull(value) : value.IsNull();
}

TcxFilterCriteriaItem* TcxFilterCriteria::AddItem(TcxFilterCriteriaItemList* parent, hostlib::TObject* itemLink,
                                                  TcxFilterOperatorKind kind, const Variant& value,
                                                  const std::string& displayValue)
{
    hostlib::UpdateScope scope(*this);
    TcxFilterCriteriaItemList* list = parent ? parent : root_.get();
    hostlib::TObject* object = GetItemClass() ? GetItemClass()->NewInstance() : nullptr;
    auto* item = dynamic_cast<TcxFilterCriteriaItem*>(object);
    if (!item) {
        if (object) object->Free();
        throw hostlib::EAbstractError("Abstract error");
    }
    list->Adopt(item);
    try {
        item->Construct(list, itemLink, kind, value, displayValue);
    } catch (...) {
        item->Free();
        throw;
    }
    item->AfterConstruction();
    Changed();
    return item;
}

TcxFilterCriteriaItem* TcxFilterCriteria::FindItemByItemLink(hostlib::TObject* itemLink)
{
    TcxFilterCriteriaItem* found = nullptr;
    ForEachItem(*root_, [&](TcxFilterCriteriaItem& item) {
        if (!found && item.ItemLink() == itemLink) found = &item;
    });
    return found;
}

void TcxFilterCriteria::Clear()
{
    hostlib::UpdateScope scope(*this);
    root_->Clear();
    root_->SetBoolOperatorKind(fboAnd);
}

void TcxFilterCriteria::RestoreDefaults()
{
    hostlib::UpdateScope scope(*this);
    SetOptions({});
    SetPercentWildcard('%');
    supportedLike_ = true;
    translateBetween_ = false;
    translateIn_ = false;
    SetUnderscoreWildcard('_');
}

void TcxFilterCriteria::SetOptions(TcxFilterCriteriaOptions value)
{
    if (options_ == value) return;
    options_ = value;
    Changed();
}

void TcxFilterCriteria::SetPercentWildcard(char value)
{
    if (percentWildcard_ == value) return;
    percentWildcard_ = value;
    Changed();
}

void TcxFilterCriteria::SetUnderscoreWildcard(char value)
{
    if (underscoreWildcard_ == value) return;
    underscoreWildcard_ = value;
    Changed();
}

void TcxFilterCriteria::SetDateTimeFormat(const std::string& value)
{
    if (dateTimeFormat_ == value) return;
    dateTimeFormat_ = value;
    Changed();
}

// ---- evaluation --------------------------------------------------------------

bool TcxFilterCriteria::DoFilterData(hostlib::TObject* data)
{
    return EvaluateList(*root_, data);
}

bool TcxFilterCriteria::EvaluateItem(TcxFilterCriteriaItem& item, hostlib::TObject* data)
{
    try {
        const Variant recordValue = PrepareValue(item.GetDataValue(data));
        return item.Operator().CompareValues(recordValue, PrepareValue(item.Value()));
    } catch (const hostlib::EVariantError&) {
        if (options_.Contains(fcoSoftCompare)) return false;
        throw;
    }
}

bool TcxFilterCriteria::EvaluateList(TcxFilterCriteriaItemList& list, hostlib::TObject* data)
{
    // Every condition is tested: no short-circuit.
    bool result = true;
    const TcxFilterBoolOperatorKind kind = list.BoolOperatorKind();
    const bool negated = kind == fboNotAnd || kind == fboNotOr;
    for (int i = 0; i < list.Count(); ++i) {
        TcxCustomFilterCriteriaItem* child = list.Items(i);
        const bool r = child->GetIsItemList() ? EvaluateList(*static_cast<TcxFilterCriteriaItemList*>(child), data)
                                              : EvaluateItem(*static_cast<TcxFilterCriteriaItem*>(child), data);
        if (i == 0) result = negated ? !r : r;
        else if (kind == fboAnd) result = result && r;
        else if (kind == fboOr) result = result || r;
        else if (kind == fboNotAnd) result = result || !r;
        else result = result && !r;
    }
    return result;
}

// ---- filter text and caption -------------------------------------------------

std::string TcxFilterCriteria::GetFilterExpression(bool display)
{
    // An empty NOT root filters nothing: its filter text is empty too.
    if (!display && root_->Count() == 0) return std::string();
    return ListExpression(*root_, display);
}

std::string TcxFilterCriteria::ListExpression(TcxFilterCriteriaItemList& list, bool display)
{
    const TcxFilterBoolOperatorKind kind = list.BoolOperatorKind();
    const bool isAnd = kind == fboAnd || kind == fboNotAnd;
    const std::string word = display ? cxSFilterString(isAnd ? cxSFilterAndCaption : cxSFilterOrCaption) : (isAnd ? "AND" : "OR");
    std::string text;
    for (int i = 0; i < list.Count(); ++i) {
        TcxCustomFilterCriteriaItem* child = list.Items(i);
        if (i) text += " " + word + " ";
        const std::string part = child->GetIsItemList() ? ListExpression(*static_cast<TcxFilterCriteriaItemList*>(child), display)
                                                        : GetItemExpression(static_cast<TcxFilterCriteriaItem*>(child), display);
        text += "(" + part + ")";
    }
    if (kind == fboNotAnd || kind == fboNotOr) text = (display ? cxSFilterString(cxSFilterNotCaption) : "NOT") + " (" + text + ")";
    return text;
}

std::string TcxFilterCriteria::GetItemExpression(TcxFilterCriteriaItem* item, bool display)
{
    if (!display && item->Operator().IsExpression()) return item->Operator().GetExpressionFilterText(item->Value());
    const std::string value = GetItemExpressionValue(item, display);
    std::string text = GetItemExpressionFieldName(item, display) + " " + GetItemExpressionOperator(item, display);
    if (!value.empty()) text += " " + value;
    return text;
}

std::string TcxFilterCriteria::GetItemExpressionFieldName(TcxFilterCriteriaItem* item, bool display)
{
    return display ? item->GetFieldCaption() : item->GetFieldName();
}

std::string TcxFilterCriteria::GetItemExpressionOperator(TcxFilterCriteriaItem* item, bool display)
{
    TcxFilterOperator& op = item->Operator();
    if (display && (op.IsDescription() || options_.Contains(fcoShowOperatorDescription))) return op.DisplayText();
    return op.FilterText();
}

std::string TcxFilterCriteria::GetItemExpressionValue(TcxFilterCriteriaItem* item, bool display)
{
    return item->GetExpressionValue(display);
}

// ---- removing conditions -----------------------------------------------------

void TcxFilterCriteria::RemoveItemByItemLink(hostlib::TObject* itemLink)
{
    BeginUpdate();
    bool removed = false;
    try {
        while (TcxFilterCriteriaItem* item = FindItemByItemLink(itemLink)) {
            TcxFilterCriteriaItemList* parent = item->Parent();
            item->Free();
            removed = true;
            TidyAfterRemoval(parent);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    if (removed)
        EndUpdate();
    else
        CancelUpdate();
}

void TcxFilterCriteria::TidyAfterRemoval(TcxFilterCriteriaItemList* list)
{
    if (!list || list == root_.get()) return;
    if (list->Count() == 0) {
        list->Free();
        return;
    }
    // A NOT group keeps its single child negated; AND and OR groups of one
    // are dissolved into their parent.
    const TcxFilterBoolOperatorKind kind = list->BoolOperatorKind();
    if (list->Count() != 1 || kind == fboNotAnd || kind == fboNotOr) return;
    TcxFilterCriteriaItemList* parent = list->Parent();
    TcxCustomFilterCriteriaItem* child = list->Items(0);
    list->Detach(child);
    list->Free();
    parent->Adopt(child);
    Changed();
}

// ---- component stream --------------------------------------------------------

void TcxFilterCriteria::SaveToStream(hostlib::TStream& stream)
{
    auto wrapper = hostlib::MakeObject<TFilterWrapper>(static_cast<hostlib::TComponent*>(nullptr));
    wrapper->SetFilter(this);
    const std::string text = hostlib::WriteFormResource(wrapper.get());
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void TcxFilterCriteria::LoadFromStream(hostlib::TStream& stream)
{
    std::string text(static_cast<std::size_t>(std::max<std::int64_t>(stream.Size() - stream.Position(), 0)), '\0');
    stream.ReadBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    hostlib::UpdateScope scope(*this);
    auto wrapper = hostlib::MakeObject<TFilterWrapper>(static_cast<hostlib::TComponent*>(nullptr));
    wrapper->SetFilter(this);
    hostlib::ReadFormResource(wrapper.get(), text, "Filter");
}

// ---- binary form -------------------------------------------------------------

void TcxFilterCriteria::WriteData(hostlib::TStream& stream)
{
    WriteIntegerProc(stream, -1);
    WriteByteProc(stream, root_->BoolOperatorKind());
    WriteIntegerProc(stream, root_->Count());
    for (int i = 0; i < root_->Count(); ++i) root_->Items(i)->WriteData(stream);
}

void TcxFilterCriteria::ReadData(hostlib::TStream& stream)
{
    hostlib::UpdateScope scope(*this);
    Clear();
    std::int32_t count = ReadIntegerFunc(stream);
    if (count == -1) {
        const std::uint8_t kind = ReadByteFunc(stream);
        if (kind > fboNotOr) ReadError();
        root_->SetBoolOperatorKind(static_cast<TcxFilterBoolOperatorKind>(kind));
        count = ReadIntegerFunc(stream);
    }
    // Every element takes at least one byte.
    if (count < 0 || count > stream.Size() - stream.Position()) ReadError();
    for (int i = 0; i < count; ++i) ReadItem(stream, *root_, 1);
}

void TcxFilterCriteria::ReadItem(hostlib::TStream& stream, TcxFilterCriteriaItemList& list, int depth)
{
    if (depth > kMaxNesting) ReadError();
    TcxCustomFilterCriteriaItem* item = nullptr;
    if (ReadBooleanFunc(stream)) {
        const std::uint8_t kind = ReadByteFunc(stream);
        if (kind > fboNotOr) ReadError();
        TcxFilterCriteriaItemList* sub = list.AddItemList(static_cast<TcxFilterBoolOperatorKind>(kind));
        const std::int32_t count = ReadIntegerFunc(stream);
        if (count < 0 || count > stream.Size() - stream.Position()) ReadError();
        for (int i = 0; i < count; ++i) ReadItem(stream, *sub, depth + 1);
        item = sub;
    } else {
        const std::uint8_t kind = ReadByteFunc(stream);
        if (kind > foNextYear) ReadError();
        const std::string displayValue = ReadStringFunc(stream);
        const std::int32_t id = ReadIntegerFunc(stream);
        const Variant value = ReadVariantFunc(stream);
        item = list.AddItem(GetItemLinkByID(id), static_cast<TcxFilterOperatorKind>(kind), value, displayValue);
    }
    item->ReadData(stream);
}

// ---- TcxFilterValueList ------------------------------------------------------

hostlib::TClass TcxFilterValueList::StaticClass()
{
    return hostlib::DefineClass<TcxFilterValueList, hostlib::TObject>("TcxFilterValueList");
}

int TcxFilterValueList::MaxCount() const
{
    return criteria_ ? criteria_->MaxValueListCount() : 0;
}

int TcxFilterValueList::CompareItem(int index, const Variant& value, const std::string& displayText)
{
    const TcxFilterValueItem& item = Items(index);
    if (sortByDisplayText_) {
        const bool fold = criteria_ && criteria_->Options().Contains(fcoCaseInsensitive);
        const std::string a = fold ? hostlib::AnsiUpperCase(item.DisplayText) : item.DisplayText;
        const std::string b = fold ? hostlib::AnsiUpperCase(displayText) : displayText;
        return hostlib::AnsiCompareStr(a, b);
    }
    if (!criteria_) return VarCompare(item.Value, value);
    return VarCompare(criteria_->PrepareValue(item.Value), criteria_->PrepareValue(value));
}

int TcxFilterValueList::ValueSectionStart() const
{
    const auto it = std::find_if(items_.begin(), items_.end(), [](const TcxFilterValueItem& i) { return i.Kind == fviValue; });
    return static_cast<int>(it - items_.begin());
}

bool TcxFilterValueList::Find(const Variant& value, const std::string& displayText, int& index)
{
    const int separator = FindItemByKind(fviMRUSeparator);
    for (int i = 0; i < separator; ++i) {
        if (CompareItem(i, value, displayText) == 0) {
            index = i;
            return true;
        }
    }
    bool found = false;
    int low = ValueSectionStart();
    int high = Count() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int c = CompareItem(middle, value, displayText);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                low = middle;
            }
        }
    }
    index = low;
    return found;
}

void TcxFilterValueList::InsertAt(int index, TcxFilterValueItem item)
{
    items_.insert(items_.begin() + std::clamp(index, 0, Count()), std::move(item));
}

void TcxFilterValueList::Add(TcxFilterValueItemKind kind, const Variant& value, const std::string& displayText,
                             bool appendUnsorted)
{
    TcxFilterValueItem item{kind, value, displayText};
    if (kind == fviMRU) {
        int separator = FindItemByKind(fviMRUSeparator);
        if (separator == -1) {
            InsertAt(0, {fviMRUSeparator, Variant::Null(), std::string()});
            separator = 0;
        }
        InsertAt(separator, std::move(item));
    } else if (kind == fviValue) {
        if (appendUnsorted) {
            items_.push_back(std::move(item));
            return;
        }
        if (MaxCount() != 0 && Count() >= MaxCount()) return;
        int index = 0;
        if (Find(value, displayText, index)) return;
        InsertAt(index, std::move(item));
    } else {
        InsertAt(ValueSectionStart(), std::move(item));
    }
}

void TcxFilterValueList::Delete(int index)
{
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

int TcxFilterValueList::FindItemByKind(TcxFilterValueItemKind kind) const
{
    const auto it = std::find_if(items_.begin(), items_.end(), [kind](const TcxFilterValueItem& i) { return i.Kind == kind; });
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TcxFilterValueList::FindItemByValue(const Variant& value)
{
    int index = 0;
    return Find(value, hostlib::VarToStr(value), index) ? index : -1;
}

int TcxFilterValueList::GetIndexByCriteriaItem(TcxFilterCriteriaItem* item)
{
    if (!item) return -1;
    const TcxFilterOperatorKind kind = item->OperatorKind();
    if (item->ValueIsNull(item->Value()) && (kind == foEqual || kind == foNotEqual))
        return FindItemByKind(kind == foEqual ? fviBlanks : fviNonBlanks);
    if (!criteria_ || item->Parent() != &criteria_->Root() || kind != foEqual) return FindItemByKind(fviCustom);
    int index = 0;
    if (Find(item->Value(), item->DisplayValue(), index)) return index;
    return FindItemByKind(fviAll);
}

template class TcxFilterDateOperatorOf<foYesterday, &cx_filter_names::Yesterday>;
template class TcxFilterDateOperatorOf<foToday, &cx_filter_names::Today>;
template class TcxFilterDateOperatorOf<foTomorrow, &cx_filter_names::Tomorrow>;
template class TcxFilterDateOperatorOf<foLastWeek, &cx_filter_names::LastWeek>;
template class TcxFilterDateOperatorOf<foLastMonth, &cx_filter_names::LastMonth>;
template class TcxFilterDateOperatorOf<foLastYear, &cx_filter_names::LastYear>;
template class TcxFilterDateOperatorOf<foThisWeek, &cx_filter_names::ThisWeek>;
template class TcxFilterDateOperatorOf<foThisMonth, &cx_filter_names::ThisMonth>;
template class TcxFilterDateOperatorOf<foThisYear, &cx_filter_names::ThisYear>;
template class TcxFilterDateOperatorOf<foNextWeek, &cx_filter_names::NextWeek>;
template class TcxFilterDateOperatorOf<foNextMonth, &cx_filter_names::NextMonth>;
template class TcxFilterDateOperatorOf<foNextYear, &cx_filter_names::NextYear>;
