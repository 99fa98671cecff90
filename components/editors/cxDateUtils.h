#pragma once
// Date functions shared by the date editor and the calendar: month stepping
// and day clamping, reading typed date text with its smart words ("today",
// "tomorrow", weekday names, ...) and signed day offsets, and writing dates
// in the locale's form or with the format controller's display formats.

#include <bitset>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/hostlib/core/datetime.h"

// Stands for the absence of a date.
inline constexpr hostlib::TDateTime NullDate = -700000;

enum class TcxDateElement { deYear, deMonth, deDay };

enum class TDay { dSunday, dMonday, dTuesday, dWednesday, dThursday, dFriday, dSaturday };
// A set of days, indexed by TDay.
using TDays = std::bitset<7>;

// Reads a text that holds no smart-input word; the program may set it.
using TcxSmartTextToDateFunc = std::function<bool(const std::string& text, hostlib::TDateTime& date)>;

namespace cxDateUtils {

inline constexpr int SmartWordCount = 20;
// Index of the word for the present moment.
inline constexpr int SmartWordNow = 19;

void DecMonth(std::uint16_t& year, std::uint16_t& month);
void IncMonth(std::uint16_t& year, std::uint16_t& month);
// Steps the month by delta; returns delta div 12 (the carry of the last step
// is not counted).
int ChangeMonth(std::uint16_t& year, std::uint16_t& month, int delta);
int GetDateElement(hostlib::TDateTime date, TcxDateElement element);
bool IsLeapYear(int year);
int DaysPerMonth(int year, int month);
int CheckDay(int year, int month, int day);
int DateOf(hostlib::TDateTime date);
hostlib::TDateTime TimeOf(hostlib::TDateTime date);
hostlib::TDateTime StrToDateDef(const std::string& text, hostlib::TDateTime defaultValue);

// The twenty smart-input words, read now (replacements included).
std::string SmartWord(int index);
// mask becomes "(mask)|(words)((\+|-)\d(\d(\d\d?)?)?)?"; the word for the
// present moment only withNow.
void AddDateRegExprMaskSmartInput(std::string& mask, bool withNow);
bool SmartTextToDate(const std::string& text, hostlib::TDateTime& date);
bool TextToDateEx(const std::string& text, hostlib::TDateTime& date);
std::string DateTimeToText(hostlib::TDateTime date);
std::string DateTimeToTextEx(hostlib::TDateTime date, bool masked, bool withTime = false);
bool cxStrToDateTime(const std::string& text, bool variantConversion, hostlib::TDateTime& date);

// The hook for texts without a smart word; empty at start.
TcxSmartTextToDateFunc& SmartTextToDateFunc();
// The clock the smart words read; the host library's by default. Tests set a
// fixed moment.
std::function<hostlib::TDateTime()>& NowFunc();
// Unit shut-down: drops the loaded words.
void Shutdown();

}  // namespace cxDateUtils
