// FormatDateTime and the date and time parsers.

#include <algorithm>
#include <cmath>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"

namespace hostlib {

namespace {

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool MatchesAt(std::string_view s, std::size_t i, std::string_view word)
{
    if (i + word.size() > s.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (Lower(s[i + k]) != Lower(word[k])) return false;
    return true;
}

std::string TwoDigits(int v)
{
    return (v < 10 ? "0" : "") + std::to_string(v);
}

// True when an AM/PM specifier appears at or after i (quotes skipped).
bool AmPmFollows(std::string_view f, std::size_t i)
{
    char quote = 0;
    for (; i < f.size(); ++i) {
        const char c = f[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') quote = c;
        else if (MatchesAt(f, i, "am/pm") || MatchesAt(f, i, "a/p") || MatchesAt(f, i, "ampm")) return true;
    }
    return false;
}

class DateWriter {
public:
    DateWriter(TDateTime value, const TFormatSettings& fs) : value_(value), fs_(fs)
    {
        DecodeDate(value, year_, month_, day_);
        DecodeTime(value, hour_, min_, sec_, msec_);
    }

    void Write(std::string_view f, std::string& out, int depth)
    {
        if (depth > 2) return;  // nested c/ddddd/t formats cannot recurse further
        bool lastWasHour = false;
        std::size_t i = 0;
        while (i < f.size()) {
            const char c = f[i];
            const char lc = Lower(c);
            auto run = [&]() {
                std::size_t n = 1;
                while (i + n < f.size() && Lower(f[i + n]) == lc) ++n;
                return n;
            };
            if (c == '"' || c == '\'') {
                std::size_t j = i + 1;
                while (j < f.size() && f[j] != c) out += f[j++];
                i = j + 1;
                continue;
            }
            if (MatchesAt(f, i, "am/pm")) {
                out += hour_ < 12 ? std::string(f.substr(i, 2)) : std::string(f.substr(i + 3, 2));
                i += 5;
                continue;
            }
            if (MatchesAt(f, i, "a/p")) {
                out += hour_ < 12 ? f[i] : f[i + 2];
                i += 3;
                continue;
            }
            if (MatchesAt(f, i, "ampm")) {
                out += hour_ < 12 ? fs_.TimeAMString : fs_.TimePMString;
                i += 4;
                continue;
            }
            switch (lc) {
            case 'c': {
                Write(fs_.ShortDateFormat, out, depth + 1);
                if (Frac() != 0) {
                    out += ' ';
                    Write(fs_.LongTimeFormat, out, depth + 1);
                }
                ++i;
                lastWasHour = false;
                continue;
            }
            case 'd': {
                const std::size_t n = run();
                if (n == 1) out += std::to_string(day_);
                else if (n == 2) out += TwoDigits(day_);
                else if (n == 3) out += fs_.ShortDayNames[DayOfWeek(value_) - 1];
                else if (n == 4) out += fs_.LongDayNames[DayOfWeek(value_) - 1];
                else if (n == 5) Write(fs_.ShortDateFormat, out, depth + 1);
                else Write(fs_.LongDateFormat, out, depth + 1);
                i += n;
                lastWasHour = false;
                continue;
            }
            case 'm': {
                std::size_t n = run();
                if (lastWasHour && n <= 2) {
                    out += n == 1 ? std::to_string(min_) : TwoDigits(min_);
                } else {
                    n = std::min<std::size_t>(n, 4);
                    if (n == 1) out += std::to_string(month_);
                    else if (n == 2) out += TwoDigits(month_);
                    else if (month_ >= 1) out += n == 3 ? fs_.ShortMonthNames[month_ - 1] : fs_.LongMonthNames[month_ - 1];
                }
                i += n;
                lastWasHour = false;
                continue;
            }
            case 'y': {
                const std::size_t n = run();
                if (n <= 2) out += TwoDigits(year_ % 100);
                else {
                    std::string y = std::to_string(year_);
                    while (y.size() < 4) y.insert(y.begin(), '0');
                    out += y;
                }
                i += n;
                lastWasHour = false;
                continue;
            }
            case 'h': {
                const std::size_t n = std::min<std::size_t>(run(), 2);
                int h = hour_;
                if (AmPmFollows(f, i + n)) {
                    h = hour_ % 12;
                    if (h == 0) h = 12;
                }
                out += n == 1 ? std::to_string(h) : TwoDigits(h);
                i += n;
                lastWasHour = true;
                continue;
            }
            case 'n': {
                const std::size_t n = std::min<std::size_t>(run(), 2);
                out += n == 1 ? std::to_string(min_) : TwoDigits(min_);
                i += n;
                lastWasHour = false;
                continue;
            }
            case 's': {
                const std::size_t n = std::min<std::size_t>(run(), 2);
                out += n == 1 ? std::to_string(sec_) : TwoDigits(sec_);
                i += n;
                lastWasHour = false;
                continue;
            }
            case 'z': {
                const std::size_t n = run();
                if (n >= 3) {
                    out += (msec_ < 100 ? "0" : "") + std::string(msec_ < 10 ? "0" : "") + std::to_string(msec_);
                    i += 3;
                } else {
                    out += std::to_string(msec_);
                    i += n;
                }
                lastWasHour = false;
                continue;
            }
            case 't': {
                const std::size_t n = std::min<std::size_t>(run(), 2);
                Write(n == 1 ? fs_.ShortTimeFormat : fs_.LongTimeFormat, out, depth + 1);
                i += n;
                lastWasHour = false;
                continue;
            }
            case '/': out += fs_.DateSeparator; break;
            case ':': out += fs_.TimeSeparator; break;
            default: out += c; break;
            }
            ++i;
        }
    }

private:
    double Frac() const { return value_ - std::trunc(value_); }

    TDateTime value_;
    const TFormatSettings& fs_;
    int year_ = 0;
    int month_ = 0;
    int day_ = 0;
    int hour_ = 0;
    int min_ = 0;
    int sec_ = 0;
    int msec_ = 0;
};

// ---- parsing ------------------------------------------------------------------

class Scanner {
public:
    explicit Scanner(std::string_view s) : s_(s) {}
    void SkipBlanks()
    {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return pos_ >= s_.size();
    }
    bool Number(int& value, int& digits)
    {
        SkipBlanks();
        digits = 0;
        value = 0;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9' && digits < 9) {
            value = value * 10 + (s_[pos_++] - '0');
            ++digits;
        }
        return digits > 0;
    }
    bool Char(char c)
    {
        SkipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view w)
    {
        SkipBlanks();
        if (w.empty() || !MatchesAt(s_, pos_, w)) return false;
        pos_ += w.size();
        return true;
    }
    std::size_t Position() const { return pos_; }
    void SetPosition(std::size_t p) { pos_ = p; }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder OrderOf(const std::string& shortDateFormat)
{
    for (char c : shortDateFormat) {
        const char l = Lower(c);
        if (l == 'd') return DateOrder::DMY;
        if (l == 'm') return DateOrder::MDY;
        if (l == 'y') return DateOrder::YMD;
    }
    return DateOrder::MDY;
}

int ExpandYear(int year, int digits, const TFormatSettings& fs)
{
    if (digits > 2) return year;
    int current = DecodeDate(Date()).Year;
    int threshold = current - fs.TwoDigitYearCenturyWindow;
    int century = threshold - threshold % 100;
    year += century;
    if (fs.TwoDigitYearCenturyWindow > 0 && year < threshold) year += 100;
    return year;
}

bool ScanDate(Scanner& sc, TDateTime& value, const TFormatSettings& fs)
{
    int n[3] = {0, 0, 0};
    int d[3] = {0, 0, 0};
    int count = 0;
    if (!sc.Number(n[0], d[0])) return false;
    count = 1;
    while (count < 3) {
        const std::size_t save = sc.Position();
        if (!sc.Char(fs.DateSeparator)) break;
        if (!sc.Number(n[count], d[count])) {
            sc.SetPosition(save);
            return false;
        }
        ++count;
    }
    if (count < 2) return false;
    // A trailing separator is allowed ("1.2.2024." in some locales).
    {
        const std::size_t save = sc.Position();
        if (!sc.Char(fs.DateSeparator)) sc.SetPosition(save);
    }
    int year = 0;
    int month = 0;
    int day = 0;
    int yearDigits = 4;
    const DateOrder order = OrderOf(fs.ShortDateFormat);
    if (count == 2) {
        year = DecodeDate(Date()).Year;
        if (order == DateOrder::DMY) {
            day = n[0];
            month = n[1];
        } else {
            month = n[0];
            day = n[1];
        }
    } else {
        switch (order) {
        case DateOrder::MDY: month = n[0]; day = n[1]; year = n[2]; yearDigits = d[2]; break;
        case DateOrder::DMY: day = n[0]; month = n[1]; year = n[2]; yearDigits = d[2]; break;
        case DateOrder::YMD: year = n[0]; month = n[1]; day = n[2]; yearDigits = d[0]; break;
        }
        year = ExpandYear(year, yearDigits, fs);
    }
    return TryEncodeDate(year, month, day, value);
}

bool ScanTime(Scanner& sc, TDateTime& value, const TFormatSettings& fs)
{
    auto ampm = [&](int& which) {
        which = -1;
        if (sc.Word(fs.TimeAMString) || sc.Word("AM")) which = 0;
        else if (sc.Word(fs.TimePMString) || sc.Word("PM")) which = 1;
    };
    int prefix = -1;
    ampm(prefix);
    int h = 0;
    int m = 0;
    int s = 0;
    int ms = 0;
    int digits = 0;
    if (!sc.Number(h, digits)) return false;
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(m, digits)) return false;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(s, digits)) return false;
            if (sc.Char('.') || sc.Char(fs.DecimalSeparator)) {
                if (!sc.Number(ms, digits)) return false;
                while (digits < 3) {
                    ms *= 10;
                    ++digits;
                }
                while (digits > 3) {
                    ms /= 10;
                    --digits;
                }
            }
        }
    } else if (prefix < 0) {
        // A bare number is an hour only with AM/PM ("3 PM").
        const std::size_t save = sc.Position();
        int suffix = -1;
        ampm(suffix);
        if (suffix < 0) return false;
        sc.SetPosition(save);
    }
    int suffix = -1;
    if (prefix < 0) ampm(suffix);
    const int half = prefix >= 0 ? prefix : suffix;
    if (half >= 0) {
        if (h < 1 || h > 12) return false;
        if (half == 0 && h == 12) h = 0;
        else if (half == 1 && h < 12) h += 12;
    }
    return TryEncodeTime(h, m, s, ms, value);
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& fs)
{
    if (!InDateTimeRange(value)) throw EConvertError(Format(messages::SInvalidDateTime, FloatToStr(value, fs)));
    std::string out;
    DateWriter w(value, fs);
    w.Write(format.empty() ? std::string_view("c") : format, out, 0);
    return out;
}

std::string FormatDateTime(std::string_view format, TDateTime value)
{
    return FormatDateTime(format, value, FormatSettings());
}

std::string DateToStr(TDateTime value, const TFormatSettings& fs)
{
    return FormatDateTime("ddddd", value, fs);
}
std::string DateToStr(TDateTime value)
{
    return DateToStr(value, FormatSettings());
}
std::string TimeToStr(TDateTime value, const TFormatSettings& fs)
{
    return FormatDateTime("tt", value, fs);
}
std::string TimeToStr(TDateTime value)
{
    return TimeToStr(value, FormatSettings());
}
std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs)
{
    return FormatDateTime("c", value, fs);
}
std::string DateTimeToStr(TDateTime value)
{
    return DateTimeToStr(value, FormatSettings());
}

bool TryStrToDate(std::string_view text, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc(text);
    TDateTime v = 0;
    if (!ScanDate(sc, v, fs) || !sc.AtEnd()) return false;
    value = v;
    return true;
}

bool TryStrToTime(std::string_view text, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc(text);
    TDateTime v = 0;
    if (!ScanTime(sc, v, fs) || !sc.AtEnd()) return false;
    value = v;
    return true;
}

bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc(text);
    TDateTime d = 0;
    TDateTime t = 0;
    const bool hasDate = ScanDate(sc, d, fs);
    if (!hasDate) {
        sc.SetPosition(0);
        if (!ScanTime(sc, t, fs) || !sc.AtEnd()) return false;
        value = t;
        return true;
    }
    if (!sc.AtEnd() && !ScanTime(sc, t, fs)) return false;
    if (!sc.AtEnd()) return false;
    value = d >= 0 ? d + t : d - t;
    return true;
}

bool TryStrToDate(std::string_view text, TDateTime& value)
{
    return TryStrToDate(text, value, FormatSettings());
}
bool TryStrToTime(std::string_view text, TDateTime& value)
{
    return TryStrToTime(text, value, FormatSettings());
}
bool TryStrToDateTime(std::string_view text, TDateTime& value)
{
    return TryStrToDateTime(text, value, FormatSettings());
}

TDateTime StrToDate(std::string_view text, const TFormatSettings& fs)
{
    TDateTime v = 0;
    if (!TryStrToDate(text, v, fs)) throw EConvertError(Format(messages::SInvalidDate, std::string(text)));
    return v;
}
TDateTime StrToDate(std::string_view text)
{
    return StrToDate(text, FormatSettings());
}
TDateTime StrToTime(std::string_view text, const TFormatSettings& fs)
{
    TDateTime v = 0;
    if (!TryStrToTime(text, v, fs)) throw EConvertError(Format(messages::SInvalidTime, std::string(text)));
    return v;
}
TDateTime StrToTime(std::string_view text)
{
    return StrToTime(text, FormatSettings());
}
TDateTime StrToDateTime(std::string_view text, const TFormatSettings& fs)
{
    TDateTime v = 0;
    if (!TryStrToDateTime(text, v, fs)) throw EConvertError(Format(messages::SInvalidDateTime, std::string(text)));
    return v;
}
TDateTime StrToDateTime(std::string_view text)
{
    return StrToDateTime(text, FormatSettings());
}

}  // namespace hostlib
