#pragma once
// Texts of a filter-condition editor: the operator names and the message of
// a value it cannot take. Each is read through cxGetResourceString when
// shown, so a registered replacement (a translation) takes effect at once.

#include "components/foundation/cxClasses.h"

inline constexpr TcxResourceString cxSFilterOperatorEqual{64500, "equals"};
inline constexpr TcxResourceString cxSFilterOperatorNotEqual{64501, "does not equal"};
inline constexpr TcxResourceString cxSFilterOperatorLess{64502, "is less than"};
inline constexpr TcxResourceString cxSFilterOperatorLessEqual{64503, "is less than or equal to"};
inline constexpr TcxResourceString cxSFilterOperatorGreater{64504, "is greater than"};
inline constexpr TcxResourceString cxSFilterOperatorGreaterEqual{64505, "is greater than or equal to"};
inline constexpr TcxResourceString cxSFilterOperatorLike{64506, "like"};
inline constexpr TcxResourceString cxSFilterOperatorNotLike{64507, "not like"};
inline constexpr TcxResourceString cxSFilterOperatorIsNull{64508, "is blank"};
inline constexpr TcxResourceString cxSFilterOperatorIsNotNull{64509, "is not blank"};
inline constexpr TcxResourceString cxSFilterOperatorBetween{64510, "between"};
inline constexpr TcxResourceString cxSFilterOperatorNotBetween{64511, "not between"};
inline constexpr TcxResourceString cxSFilterOperatorInList{64512, "in"};
inline constexpr TcxResourceString cxSFilterOperatorNotInList{64513, "not in"};
inline constexpr TcxResourceString cxSFilterOperatorYesterday{64514, "is yesterday"};
inline constexpr TcxResourceString cxSFilterOperatorToday{64515, "is today"};
inline constexpr TcxResourceString cxSFilterOperatorTomorrow{64516, "is tomorrow"};
inline constexpr TcxResourceString cxSFilterOperatorLastWeek{64517, "is last week"};
inline constexpr TcxResourceString cxSFilterOperatorLastMonth{64518, "is last month"};
inline constexpr TcxResourceString cxSFilterOperatorLastYear{64519, "is last year"};
inline constexpr TcxResourceString cxSFilterOperatorThisWeek{64520, "is this week"};
inline constexpr TcxResourceString cxSFilterOperatorThisMonth{64521, "is this month"};
inline constexpr TcxResourceString cxSFilterOperatorThisYear{64522, "is this year"};
inline constexpr TcxResourceString cxSFilterOperatorNextWeek{64523, "is next week"};
inline constexpr TcxResourceString cxSFilterOperatorNextMonth{64524, "is next month"};
inline constexpr TcxResourceString cxSFilterOperatorNextYear{64525, "is next year"};
inline constexpr TcxResourceString cxSFilterErrorInvalidValue{64526, "Invalid value"};

// The texts are constants; starting and ending the unit only counts.
void cxFilterControlStrsInitialize();
void cxFilterControlStrsFinalize();
