#pragma once
// Conversion and formatting functions of the run-time library: numbers,
// money, dates and byte strings. Every function that depends on the locale
// has an overload taking the settings explicitly; the others use the
// process-wide FormatSettings().

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hostlib/core/currency.h"
#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/format_settings.h"

namespace hostlib {

// ---- Format ---------------------------------------------------------------

// One argument of Format. Integers remember whether they were 32-bit, which
// decides how %u and %x show negative values.
class FormatArg {
public:
    enum class Kind { Int32, Int64, UInt64, Float, Money, String, Pointer };

    FormatArg(int v) : kind_(Kind::Int32), int_(v) {}
    FormatArg(unsigned v) : kind_(Kind::Int32), int_(static_cast<std::int32_t>(v)) {}
    FormatArg(long v) : kind_(Kind::Int64), int_(v) {}
    FormatArg(long long v) : kind_(Kind::Int64), int_(v) {}
    FormatArg(unsigned long v) : kind_(Kind::UInt64), uint_(v) {}
    FormatArg(unsigned long long v) : kind_(Kind::UInt64), uint_(v) {}
    FormatArg(short v) : FormatArg(static_cast<int>(v)) {}
    FormatArg(unsigned short v) : FormatArg(static_cast<int>(v)) {}
    FormatArg(signed char v) : FormatArg(static_cast<int>(v)) {}
    FormatArg(unsigned char v) : FormatArg(static_cast<int>(v)) {}
    FormatArg(double v) : kind_(Kind::Float), float_(v) {}
    FormatArg(float v) : kind_(Kind::Float), float_(v) {}
    FormatArg(Currency v) : kind_(Kind::Money), money_(v) {}
    FormatArg(char v) : kind_(Kind::String), string_(1, v) {}
    FormatArg(const char* v) : kind_(Kind::String), string_(v ? v : "") {}
    FormatArg(std::string_view v) : kind_(Kind::String), string_(v) {}
    FormatArg(const std::string& v) : kind_(Kind::String), string_(v) {}
    FormatArg(const void* v) : kind_(Kind::Pointer), uint_(reinterpret_cast<std::uintptr_t>(v)) {}
    FormatArg(bool) = delete;  // no format letter takes a Boolean

    Kind GetKind() const { return kind_; }
    std::int64_t Int() const { return int_; }
    std::uint64_t UInt() const { return uint_; }
    double Float() const { return float_; }
    Currency Money() const { return money_; }
    const std::string& String() const { return string_; }

private:
    Kind kind_;
    std::int64_t int_ = 0;
    std::uint64_t uint_ = 0;
    double float_ = 0;
    Currency money_;
    std::string string_;
};

// "%" ["index:"] ["-"] [width] ["." precision] type, type one of d u x e f
// g n m p s; width and precision may be "*". Raises EConvertError for a
// malformed specifier, a missing argument or a mismatched one.
std::string FormatV(const TFormatSettings& fs, std::string_view format, const std::vector<FormatArg>& args);
inline std::string FormatV(std::string_view format, const std::vector<FormatArg>& args)
{
    return FormatV(FormatSettings(), format, args);
}
template <class... A>
std::string Format(std::string_view format, const A&... args)
{
    return FormatV(FormatSettings(), format, std::vector<FormatArg>{FormatArg(args)...});
}
template <class... A>
std::string Format(const TFormatSettings& fs, std::string_view format, const A&... args)
{
    return FormatV(fs, format, std::vector<FormatArg>{FormatArg(args)...});
}

// ---- Integers -------------------------------------------------------------

std::string IntToStr(std::int64_t value);
std::string UIntToStr(std::uint64_t value);
std::string IntToHex(std::uint64_t value, int digits);
// Leading blanks, a sign, decimal digits or "$"/"0x" hexadecimal; nothing
// after the number. Raise EConvertError "'%s' is not a valid integer value".
int StrToInt(std::string_view text);
std::int64_t StrToInt64(std::string_view text);
int StrToIntDef(std::string_view text, int def);
std::int64_t StrToInt64Def(std::string_view text, std::int64_t def);
bool TryStrToInt(std::string_view text, int& value);
bool TryStrToInt64(std::string_view text, std::int64_t& value);

// ---- Floating point and money ---------------------------------------------

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// 15 significant digits, scientific form beyond them ("1E20").
std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& fs);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
// 80-bit values carry 18 significant digits (precision up to 18 is exact).
std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
// Picture formats: "0" digit, "#" optional digit, "." decimal separator,
// "," thousands, "E+0"/"E-0" exponent, quoted literals, up to three sections
// (positive;negative;zero). Rounds half away from zero.
std::string FormatFloat(std::string_view format, double value);
std::string FormatFloat(std::string_view format, double value, const TFormatSettings& fs);
// Optional blanks, sign, digits with the decimal separator, exponent.
// Raise EConvertError "'%s' is not a valid floating point value".
double StrToFloat(std::string_view text);
double StrToFloat(std::string_view text, const TFormatSettings& fs);
double StrToFloatDef(std::string_view text, double def);
bool TryStrToFloat(std::string_view text, double& value);
bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& fs);
// The 80-bit range; a value beyond it is refused.
bool TryStrToFloat(std::string_view text, long double& value);
bool TryStrToFloat(std::string_view text, long double& value, const TFormatSettings& fs);

// Up to four decimals, no trailing zeros.
std::string CurrToStr(Currency value);
std::string CurrToStr(Currency value, const TFormatSettings& fs);
std::string CurrToStrF(Currency value, TFloatFormat format, int digits);
std::string CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& fs);
std::string FormatCurr(std::string_view format, Currency value);
std::string FormatCurr(std::string_view format, Currency value, const TFormatSettings& fs);
Currency StrToCurr(std::string_view text);
Currency StrToCurr(std::string_view text, const TFormatSettings& fs);
bool TryStrToCurr(std::string_view text, Currency& value);
bool TryStrToCurr(std::string_view text, Currency& value, const TFormatSettings& fs);

// ---- Dates ----------------------------------------------------------------

// Specifiers (letters in any case): c d dd ddd dddd ddddd dddddd m mm mmm
// mmmm (minutes right after an hour) yy yyyy h hh n nn s ss z zzz t tt
// am/pm a/p ampm / : and quoted literals. An empty format means "c". A value
// outside the calendar (InDateTimeRange) raises EConvertError.
std::string FormatDateTime(std::string_view format, TDateTime value);
std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& fs);
std::string DateToStr(TDateTime value);
std::string DateToStr(TDateTime value, const TFormatSettings& fs);
std::string TimeToStr(TDateTime value);
std::string TimeToStr(TDateTime value, const TFormatSettings& fs);
std::string DateTimeToStr(TDateTime value);
std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs);
// Numbers in the order of the short date format, separated by the date
// separator; a missing year is this year; two-digit years use the century
// window. Raise EConvertError.
TDateTime StrToDate(std::string_view text);
TDateTime StrToDate(std::string_view text, const TFormatSettings& fs);
TDateTime StrToTime(std::string_view text);
TDateTime StrToTime(std::string_view text, const TFormatSettings& fs);
TDateTime StrToDateTime(std::string_view text);
TDateTime StrToDateTime(std::string_view text, const TFormatSettings& fs);
bool TryStrToDate(std::string_view text, TDateTime& value, const TFormatSettings& fs);
bool TryStrToTime(std::string_view text, TDateTime& value, const TFormatSettings& fs);
bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& fs);
bool TryStrToDate(std::string_view text, TDateTime& value);
bool TryStrToTime(std::string_view text, TDateTime& value);
bool TryStrToDateTime(std::string_view text, TDateTime& value);

// ---- Booleans ---------------------------------------------------------------

// "True"/"False" with useNames, else "-1"/"0".
std::string BoolToStr(bool value, bool useNames = false);
// "True"/"False" in any case, or a number (non-zero is true).
bool TryStrToBool(std::string_view text, bool& value);
bool StrToBool(std::string_view text);

// ---- Byte strings (1-based positions like the run-time library) ----------

std::string UpperCase(std::string_view s);  // ASCII letters only
std::string LowerCase(std::string_view s);
// Locale-aware: letters of UTF-8 text (Latin, Greek, Cyrillic) change case.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
// AnsiUpperCase(a) == AnsiUpperCase(b), and whether AnsiUpperCase(text)
// begins with AnsiUpperCase(prefix), compared as the upper case is made,
// without building either text.
bool AnsiUpperCaseEquals(std::string_view a, std::string_view b);
bool AnsiUpperCaseStartsWith(std::string_view text, std::string_view prefix);
// Ordinal: bytes, ASCII letters folded for the Text forms. Return <0, 0, >0.
int CompareStr(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Locale-aware: case-folded characters first; on a tie AnsiCompareStr puts
// lower case before upper case ("a" < "A" < "b").
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
// Collation keys: two texts' keys, compared as byte strings (CompareStr),
// order as AnsiCompareStr or AnsiCompareText orders the texts, so a sort
// can build one key per text instead of comparing texts again and again.
std::string AnsiCompareStrKey(std::string_view s);
std::string AnsiCompareTextKey(std::string_view s);
// The same key for two texts exactly when AnsiSameText holds for them, for
// indexes by name.
std::string AnsiSameTextKey(std::string_view s);
bool AnsiSameStr(std::string_view a, std::string_view b);

std::string Trim(std::string_view s);  // blanks and control characters
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string QuotedStr(std::string_view s);
std::string AnsiQuotedStr(std::string_view s, char quote);
// Takes a quoted text from the front of s and advances s past it; without an
// opening quote returns "" and leaves s alone.
std::string AnsiExtractQuotedStr(std::string_view& s, char quote);
// The dequoted text when s is quoted, else s itself.
std::string AnsiDequotedStr(std::string_view s, char quote);

// 1-based position of sub in s, 0 when absent.
int Pos(std::string_view sub, std::string_view s, int offset = 1);
// Count bytes from 1-based index; out-of-range parts are clipped.
std::string Copy(std::string_view s, int index, int count);
void Delete(std::string& s, int index, int count);
void Insert(std::string_view source, std::string& s, int index);
std::string StringOfChar(char c, int count);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern, int flags);
bool IsValidIdent(std::string_view s);
bool StartsText(std::string_view prefix, std::string_view s);

// ---- Text encodings ---------------------------------------------------------

// Malformed UTF-8 bytes each become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);

}  // namespace hostlib
