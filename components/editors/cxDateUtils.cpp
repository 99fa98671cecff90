#include "components/editors/cxDateUtils.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <cctype>
#include <numeric>
#include <vector>

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxFormats.h"
#include "components/editors/cxRegExpr.h"
#include "components/foundation/cxClasses.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/core/variant.h"

using hostlib::TDateTime;

namespace cxDateUtils {

namespace {

constexpr std::array<const TcxResourceString*, SmartWordCount> kWordResources{
    &cxSDateToday,  &cxSDateYesterday, &cxSDateTomorrow, &cxSDateSunday, &cxSDateMonday,
    &cxSDateTuesday, &cxSDateWednesday, &cxSDateThursday, &cxSDateFriday, &cxSDateSaturday,
    &cxSDateFirst,  &cxSDateSecond,   &cxSDateThird,    &cxSDateFourth, &cxSDateFifth,
    &cxSDateSixth,  &cxSDateSeventh,  &cxSDateBOM,      &cxSDateEOM,    &cxSDateNow};

constexpr int kDaysPerMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// First and last day the calendar can write (0001-01-01 and 9999-12-31).
constexpr TDateTime kMinDate = -693593;
constexpr TDateTime kMaxDate = 2958465;

std::array<std::string, SmartWordCount>& Words()
{
    static std::array<std::string, SmartWordCount> words;
    return words;
}

// The words are read again at every use so that a replacement set in the
// meantime counts at once.
const std::array<std::string, SmartWordCount>& ReloadWords()
{
    auto& words = Words();
    for (int i = 0; i < SmartWordCount; ++i) words[i] = cxGetResourceString(*kWordResources[i]);
    return words;
}

bool UseHostFormats() { return cxFormatController()->UseOstraDateTimeFormats(); }

TDateTime Today() { return std::trunc(NowFunc()()); }

bool InCalendar(TDateTime date) { return date >= kMinDate && date < kMaxDate + 1; }

bool IsDateSeparatorChar(char ch, char localeSeparator)
{
    return ch == ' ' || ch == '/' || ch == '-' || ch == '.' || ch == ',' || ch == localeSeparator;
}

// The locale-aware reading of a date text that the variant type does: the
// date elements may be separated by blanks, "/", "-", ".", "," or the
// locale's separator, a month may be written by name, and a time may follow.
// The elements are put in the order of the short date format and read by
// the host library's conversion.
bool LocaleTextToDateTime(const std::string& text, TDateTime& date)
{
    const auto& fs = hostlib::FormatSettings();
    if (hostlib::TryStrToDateTime(text, date, fs)) return true;

    std::string datePart = text;
    std::string timePart;
    const std::size_t colon = text.find(fs.TimeSeparator);
    if (colon != std::string::npos) {
        std::size_t start = colon;
        while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1]))) --start;
        datePart = text.substr(0, start);
        timePart = hostlib::Trim(text.substr(start));
    }

    std::vector<std::string> elements;
    std::string current;
    for (char ch : datePart) {
        if (IsDateSeparatorChar(ch, fs.DateSeparator)) {
            if (!current.empty()) elements.push_back(std::move(current));
            current.clear();
        } else {
            current += ch;
        }
    }
    if (!current.empty()) elements.push_back(std::move(current));
    if (elements.empty() || elements.size() > 3) return false;

    // The order of day, month and year in the short date format.
    std::string order;
    for (char ch : hostlib::UpperCase(fs.ShortDateFormat)) {
        const char field = ch == 'E' ? 'Y' : ch;
        if ((field == 'D' || field == 'M' || field == 'Y') && order.find(field) == std::string::npos) order += field;
    }
    for (char field : std::string("MDY")) {
        if (order.find(field) == std::string::npos) order += field;
    }

    int monthByName = 0;
    std::vector<std::string> numbers;
    for (const auto& element : elements) {
        if (std::all_of(element.begin(), element.end(), [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); })) {
            numbers.push_back(element);
            continue;
        }
        for (int m = 0; m < 12 && monthByName == 0; ++m) {
            if (hostlib::AnsiSameText(element, fs.LongMonthNames[m]) || hostlib::AnsiSameText(element, fs.ShortMonthNames[m])) {
                monthByName = m + 1;
            }
        }
        if (monthByName == 0) return false;
    }
    if (monthByName != 0 && numbers.empty()) return false;

    std::string normalized;
    std::size_t next = 0;
    const std::size_t wanted = elements.size();
    std::size_t placed = 0;
    for (char field : order) {
        if (placed == wanted) break;
        std::string value;
        if (field == 'M' && monthByName != 0) {
            value = std::to_string(monthByName);
        } else if (next < numbers.size()) {
            value = numbers[next++];
        } else {
            continue;
        }
        if (!normalized.empty()) normalized += fs.DateSeparator;
        normalized += value;
        ++placed;
    }
    if (!timePart.empty()) normalized += " " + timePart;
    return hostlib::TryStrToDateTime(normalized, date, fs);
}

}  // namespace

TcxSmartTextToDateFunc& SmartTextToDateFunc()
{
    static TcxSmartTextToDateFunc hook;
    return hook;
}

std::function<TDateTime()>& NowFunc()
{
    static std::function<TDateTime()> now = [] { return hostlib::Now(); };
    return now;
}

void Shutdown()
{
    for (auto& word : Words()) word.clear();
}

void DecMonth(std::uint16_t& year, std::uint16_t& month)
{
    if (month == 1) {
        --year;
        month = 12;
    } else {
        --month;
    }
}

void IncMonth(std::uint16_t& year, std::uint16_t& month)
{
    if (month == 12) {
        ++year;
        month = 1;
    } else {
        ++month;
    }
}

int ChangeMonth(std::uint16_t& year, std::uint16_t& month, int delta)
{
    int y = year + delta / 12;
    int m = month + delta % 12;
    if (m <= 0) {
        --y;
        m += 12;
    } else if (m > 12) {
        ++y;
        m -= 12;
    }
    year = static_cast<std::uint16_t>(y);
    month = static_cast<std::uint16_t>(m);
    return delta / 12;
}

int GetDateElement(TDateTime date, TcxDateElement element)
{
    const auto parts = hostlib::DecodeDate(date);
    switch (element) {
    case TcxDateElement::deYear: return parts.Year;
    case TcxDateElement::deMonth: return parts.Month;
    case TcxDateElement::deDay: return parts.Day;
    }
    return 0;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysPerMonth(int year, int month)
{
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDaysPerMonth[month - 1];
}

int CheckDay(int year, int month, int day)
{
    if (day <= 0) return 1;
    const int days = DaysPerMonth(year, month);
    return day > days ? days : day;
}

int DateOf(TDateTime date)
{
    const double shifted = std::trunc(date < 0 ? date - 1e-11 : date + 1e-11);
    // A value beyond the integers of the calendar is clamped rather than
    // converted with undefined behaviour.
    if (!(shifted >= std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (shifted > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(shifted);
}

TDateTime TimeOf(TDateTime date)
{
    const auto parts = hostlib::DecodeTime(date);
    return hostlib::EncodeTime(parts.Hour, parts.Min, parts.Sec, parts.MSec);
}

TDateTime StrToDateDef(const std::string& text, TDateTime defaultValue)
{
    TDateTime date = 0;
    return hostlib::TryStrToDate(text, date) ? date : defaultValue;
}

std::string SmartWord(int index)
{
    if (index < 0 || index >= SmartWordCount) return {};
    return ReloadWords()[index];
}

void AddDateRegExprMaskSmartInput(std::string& mask, bool withNow)
{
    const auto& words = ReloadWords();
    std::string alternatives;
    const int count = withNow ? SmartWordCount : SmartWordNow;
    for (int i = 0; i < count; ++i) {
        // An emptied word would be an empty alternative, which does not compile.
        if (words[i].empty()) continue;
        if (!alternatives.empty()) alternatives += "|";
        alternatives += cxRegExpr::QuotedText(words[i]);
    }
    if (alternatives.empty()) return;
    const std::string offset = "((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
    // Without a date expression (a format that cannot be read) only the
    // words remain; an empty group would not compile.
    if (mask.empty()) {
        mask = "(" + alternatives + ")" + offset;
    } else {
        mask = "(" + mask + ")|(" + alternatives + ")" + offset;
    }
}

bool SmartTextToDate(const std::string& text, TDateTime& date)
{
    const auto& words = ReloadWords();
    const std::string trimmed = hostlib::Trim(text);

    std::array<int, SmartWordCount> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (words[a].size() != words[b].size()) return words[a].size() > words[b].size();
        return hostlib::AnsiCompareText(words[a], words[b]) > 0;
    });
    int found = -1;
    for (int index : order) {
        const auto& word = words[index];
        // An empty replacement would match every text.
        if (word.empty() || word.size() > trimmed.size()) continue;
        if (hostlib::AnsiSameText(trimmed.substr(0, word.size()), word)) {
            found = index;
            break;
        }
    }
    if (found < 0) {
        const auto& hook = SmartTextToDateFunc();
        return hook ? hook(text, date) : false;
    }

    const TDateTime today = Today();
    const int weekday = hostlib::DayOfWeek(today);  // 1 = Sunday .. 7 = Saturday
    switch (found) {
    case 0: date = today; break;
    case 1: date = today - 1; break;
    case 2: date = today + 1; break;
    case 3: case 4: case 5: case 6: case 7: case 8: case 9: {
        const int b = found - 2 - weekday;
        date = b >= 0 ? today + b : today + 7 + b;
        break;
    }
    case 10: case 11: case 12: case 13: case 14: case 15: case 16:
        date = today - (weekday - (found - 9));
        break;
    case 17: {
        const auto parts = hostlib::DecodeDate(today);
        date = hostlib::EncodeDate(parts.Year, parts.Month, 1);
        break;
    }
    case 18: {
        const auto parts = hostlib::DecodeDate(today);
        date = hostlib::EncodeDate(parts.Year, parts.Month, DaysPerMonth(parts.Year, parts.Month));
        break;
    }
    default: date = NowFunc()(); break;
    }

    const std::string rest = hostlib::Trim(trimmed.substr(words[found].size()));
    if (rest.size() >= 2 && (rest[0] == '+' || rest[0] == '-')) {
        int offset = 0;
        if (hostlib::TryStrToInt(hostlib::Trim(rest.substr(1)), offset)) date += rest[0] == '+' ? offset : -offset;
    }
    return true;
}

bool TextToDateEx(const std::string& text, TDateTime& date)
{
    std::string trimmed = hostlib::Trim(text);
    if (trimmed.empty()) return false;
    try {
        const bool hostFormats = UseHostFormats();
        if (!hostFormats && hostlib::FormatSettings().DateSeparator == '.') {
            int replaced = 0;
            for (char& ch : trimmed) {
                if (ch == '.' && replaced < 2) {
                    ch = ' ';
                    ++replaced;
                }
            }
        }
        if (!SmartTextToDate(trimmed, date)) {
            if (hostFormats) {
                date = hostlib::StrToDateTime(trimmed);
            } else if (!LocaleTextToDateTime(trimmed, date)) {
                date = NullDate;
                return false;
            }
        }
        if (date > -2147483648.0 && date < 2147483647.0 && InCalendar(date)) return true;
    } catch (const std::exception&) {
    }
    date = NullDate;
    return false;
}

std::string DateTimeToText(TDateTime date)
{
    if (date == NullDate) return {};
    try {
        if (UseHostFormats()) return hostlib::DateTimeToStr(date);
        if (InCalendar(date)) {
            std::string text = hostlib::DateToStr(date);
            if (std::fabs(date - std::trunc(date)) > 0) {
                text += ' ';
                text += hostlib::TimeToStr(date);
            }
            return text;
        }
        return hostlib::VarToStr(hostlib::Variant::FromDate(date));
    } catch (const std::exception&) {
        return {};
    }
}

std::string DateTimeToTextEx(TDateTime date, bool masked, bool withTime)
{
    if (date == NullDate) return {};
    if (!masked) return DateTimeToText(date);
    try {
        const auto* controller = cxFormatController();
        if (withTime) return hostlib::FormatDateTime(controller->MaskedDateTimeEditFormat(), date);
        return hostlib::FormatDateTime(controller->MaskedDateEditFormat(), DateOf(date));
    } catch (const std::exception&) {
        return {};
    }
}

bool cxStrToDateTime(const std::string& text, bool variantConversion, TDateTime& date)
{
    date = NullDate;
    try {
        TDateTime value = 0;
        if (variantConversion) {
            if (!LocaleTextToDateTime(text, value)) return false;
        } else {
            value = hostlib::StrToDateTime(text);
        }
        date = value;
        return true;
    } catch (const std::exception&) {
        date = NullDate;
        return false;
    }
}

}  // namespace cxDateUtils
