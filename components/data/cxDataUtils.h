#pragma once
// Helpers shared by editors, filters and controllers, and the base of the
// objects that bind a data-aware control to its data.

#include <string>

// Where an edit value comes from.
enum TcxDataEditValueSource { evsValue = 0, evsText = 1, evsKey = 2 };

// The display format of currency values from the locale's currency
// settings: ",0." with one zero per currency decimal, and the currency
// symbol (its ',' and '.' quoted) placed by the currency format.
std::string DefaultCurrencyDisplayFormat();

// The whole-day part (truncated toward zero) and the fraction of a date-time.
double DateOf(double dateTime);
double TimeOf(double dateTime);

// The locale's first day of the week, 0 = Sunday .. 6 = Saturday.
int GetStartOfWeek();
// The first day of the week holding the date.
double GetStartDateOfWeek(double dateTime);

// Case-insensitive match by the locale's upper-casing. With partial set and
// a non-empty S2, true when S1 begins with S2; otherwise true when equal.
bool DataCompareText(const std::string& S1, const std::string& S2, bool partial);
