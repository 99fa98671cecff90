#pragma once
// The filter's operator words, its "and", "or", "not" and "blank", and the
// captions of a filter value list's special entries. Every text is read
// through cxSFilterString, so that one hook can translate them all.

#include <string>

#include "platform/hostlib/core/resources.h"

inline constexpr hostlib::TResourceString cxSFilterOperatorEqual{65469, "equals"};
inline constexpr hostlib::TResourceString cxSFilterOperatorNotEqual{65470, "does not equal"};
inline constexpr hostlib::TResourceString cxSFilterOperatorLess{65471, "is less than"};
inline constexpr hostlib::TResourceString cxSFilterOperatorLessEqual{65440, "is less than or equal to"};
inline constexpr hostlib::TResourceString cxSFilterOperatorGreater{65441, "is greater than"};
inline constexpr hostlib::TResourceString cxSFilterOperatorGreaterEqual{65442, "is greater than or equal to"};
inline constexpr hostlib::TResourceString cxSFilterOperatorLike{65443, "like"};
inline constexpr hostlib::TResourceString cxSFilterOperatorNotLike{65444, "not like"};
inline constexpr hostlib::TResourceString cxSFilterOperatorBetween{65445, "between"};
inline constexpr hostlib::TResourceString cxSFilterOperatorNotBetween{65446, "not between"};
inline constexpr hostlib::TResourceString cxSFilterOperatorInList{65447, "in"};
inline constexpr hostlib::TResourceString cxSFilterOperatorNotInList{65448, "not in"};
inline constexpr hostlib::TResourceString cxSFilterOperatorYesterday{65449, "is yesterday"};
inline constexpr hostlib::TResourceString cxSFilterOperatorToday{65450, "is today"};
inline constexpr hostlib::TResourceString cxSFilterOperatorTomorrow{65451, "is tomorrow"};
inline constexpr hostlib::TResourceString cxSFilterOperatorLastWeek{65452, "is last week"};
inline constexpr hostlib::TResourceString cxSFilterOperatorLastMonth{65453, "is last month"};
inline constexpr hostlib::TResourceString cxSFilterOperatorLastYear{65454, "is last year"};
inline constexpr hostlib::TResourceString cxSFilterOperatorThisWeek{65455, "is this week"};
inline constexpr hostlib::TResourceString cxSFilterOperatorThisMonth{65424, "is this month"};
inline constexpr hostlib::TResourceString cxSFilterOperatorThisYear{65425, "is this year"};
inline constexpr hostlib::TResourceString cxSFilterOperatorNextWeek{65426, "is next week"};
inline constexpr hostlib::TResourceString cxSFilterOperatorNextMonth{65427, "is next month"};
inline constexpr hostlib::TResourceString cxSFilterOperatorNextYear{65428, "is next year"};
inline constexpr hostlib::TResourceString cxSFilterAndCaption{65429, "and"};
inline constexpr hostlib::TResourceString cxSFilterOrCaption{65430, "or"};
inline constexpr hostlib::TResourceString cxSFilterNotCaption{65431, "not"};
inline constexpr hostlib::TResourceString cxSFilterBlankCaption{65432, "blank"};
inline constexpr hostlib::TResourceString cxSFilterOperatorIsNull{65433, "is blank"};
inline constexpr hostlib::TResourceString cxSFilterOperatorIsNotNull{65434, "is not blank"};
inline constexpr hostlib::TResourceString cxSFilterOperatorBeginsWith{65435, "begins with"};
inline constexpr hostlib::TResourceString cxSFilterOperatorDoesNotBeginWith{65436, "does not begin with"};
inline constexpr hostlib::TResourceString cxSFilterOperatorEndsWith{65437, "ends with"};
inline constexpr hostlib::TResourceString cxSFilterOperatorDoesNotEndWith{65438, "does not end with"};
inline constexpr hostlib::TResourceString cxSFilterOperatorContains{65439, "contains"};
inline constexpr hostlib::TResourceString cxSFilterOperatorDoesNotContain{65408, "does not contain"};
inline constexpr hostlib::TResourceString cxSFilterBoxAllCaption{65409, "(All)"};
inline constexpr hostlib::TResourceString cxSFilterBoxCustomCaption{65410, "(Custom...)"};
inline constexpr hostlib::TResourceString cxSFilterBoxBlanksCaption{65411, "(Blanks)"};
inline constexpr hostlib::TResourceString cxSFilterBoxNonBlanksCaption{65412, "(NonBlanks)"};

// Receives a text's string-table identifier and returns the text to use.
using TcxFilterGetResourceStringFunc = std::string (*)(int identifier);
// Unset at start.
extern TcxFilterGetResourceStringFunc cxFilterGetResourceStringFunc;

// The hook's text when the hook is set, else the string table's.
std::string cxSFilterString(const hostlib::TResourceString& resource);
