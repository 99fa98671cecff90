#include "platform/hostlib/core/format_settings.h"

#include <clocale>
#include <cstdlib>
#include <string_view>
#include <langinfo.h>
#include <locale.h>

namespace hostlib {

namespace {

TFormatSettings& Global()
{
    static TFormatSettings settings;
    return settings;
}

// A separator must be one byte; multi-byte ones (a narrow no-break space,
// say) are replaced by their plain ASCII look-alike.
char SingleByte(const char* text, char fallback)
{
    if (!text || !*text) return fallback;
    if (static_cast<unsigned char>(text[0]) < 0x80 && text[1] == '\0') return text[0];
    return static_cast<unsigned char>(text[0]) < 0x80 ? text[0] : ' ';
}

// Turns a strftime date pattern ("%d.%m.%Y") into our format letters.
std::string FromStrftime(const char* pattern, std::string fallback, char* dateSep)
{
    if (!pattern || !*pattern) return fallback;
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (*p != '%') {
            if (dateSep && !*dateSep && (*p == '/' || *p == '.' || *p == '-')) *dateSep = *p;
            out += *p == '/' || *p == '.' || *p == '-' ? '/' : *p;
            continue;
        }
        ++p;
        while (*p == 'E' || *p == 'O' || *p == '-' || *p == '_' || *p == '0') ++p;
        switch (*p) {
        case 'd': out += "dd"; break;
        case 'e': out += "d"; break;
        case 'm': out += "MM"; break;
        case 'y': out += "yy"; break;
        case 'Y': out += "yyyy"; break;
        case 'b': case 'h': out += "MMM"; break;
        case 'B': out += "MMMM"; break;
        case 'a': out += "ddd"; break;
        case 'A': out += "dddd"; break;
        case 'H': out += "HH"; break;
        case 'k': out += "H"; break;
        case 'I': out += "hh"; break;
        case 'l': out += "h"; break;
        case 'M': out += "nn"; break;
        case 'S': out += "ss"; break;
        case 'p': case 'P': out += "AMPM"; break;
        case 'r': out += "hh:nn:ss AMPM"; break;
        case 'R': out += "HH:nn"; break;
        case 'T': out += "HH:nn:ss"; break;
        case 'D': out += "MM/dd/yy"; break;
        case 'F': out += "yyyy/MM/dd"; break;
        case 'n': case 't': out += ' '; break;
        case '%': out += '%'; break;
        case '\0': return out.empty() ? fallback : out;
        default: break;  // Parts we do not show (time zone, week number).
        }
    }
    return out.empty() ? fallback : out;
}

}  // namespace

TFormatSettings EnglishFormatSettings()
{
    return TFormatSettings{};
}

TFormatSettings LocaleFormatSettings()
{
    TFormatSettings s;
    // The locale the time and number categories follow; the "C" and POSIX
    // locales carry no user preferences (two-digit years, no currency), so
    // they keep the English settings.
    const char* name = nullptr;
    for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
        name = std::getenv(var);
        if (name && *name) break;
    }
    if (!name || !*name) return s;
    const std::string_view n(name);
    if (n == "C" || n == "POSIX" || n.rfind("C.", 0) == 0) return s;
    locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return s;
    s.DecimalSeparator = SingleByte(nl_langinfo_l(RADIXCHAR, loc), '.');
    s.ThousandSeparator = SingleByte(nl_langinfo_l(THOUSEP, loc), s.DecimalSeparator == ',' ? '.' : ',');
    if (s.ThousandSeparator == s.DecimalSeparator) s.ThousandSeparator = s.DecimalSeparator == ',' ? '.' : ',';
    const char* crncy = nl_langinfo_l(CRNCYSTR, loc);
    if (crncy && crncy[0] && crncy[1]) {
        // '-' before, '+' after, '.' replaces the radix character.
        s.CurrencyString = crncy + 1;
        s.CurrencyFormat = crncy[0] == '+' ? 3 : 0;
        s.NegCurrFormat = crncy[0] == '+' ? 8 : 1;
    }
    char dateSep = '\0';
    s.ShortDateFormat = FromStrftime(nl_langinfo_l(D_FMT, loc), s.ShortDateFormat, &dateSep);
    if (dateSep) s.DateSeparator = dateSep;
    const char* timeFmt = nl_langinfo_l(T_FMT, loc);
    s.LongTimeFormat = FromStrftime(timeFmt, s.LongTimeFormat, nullptr);
    // The short time format drops the seconds.
    std::string shortTime = s.LongTimeFormat;
    if (auto pos = shortTime.find(":ss"); pos != std::string::npos) shortTime.erase(pos, 3);
    s.ShortTimeFormat = shortTime;
    if (s.LongTimeFormat.find(':') == std::string::npos && s.LongTimeFormat.find('.') != std::string::npos)
        s.TimeSeparator = '.';
    const char* am = nl_langinfo_l(AM_STR, loc);
    const char* pm = nl_langinfo_l(PM_STR, loc);
    s.TimeAMString = am ? am : "";
    s.TimePMString = pm ? pm : "";
    for (int i = 0; i < 12; ++i) {
        s.ShortMonthNames[i] = nl_langinfo_l(static_cast<nl_item>(ABMON_1 + i), loc);
        s.LongMonthNames[i] = nl_langinfo_l(static_cast<nl_item>(MON_1 + i), loc);
    }
    for (int i = 0; i < 7; ++i) {
        s.ShortDayNames[i] = nl_langinfo_l(static_cast<nl_item>(ABDAY_1 + i), loc);
        s.LongDayNames[i] = nl_langinfo_l(static_cast<nl_item>(DAY_1 + i), loc);
    }
    s.LongDateFormat = "dddd, " + s.ShortDateFormat;
    s.ListSeparator = s.DecimalSeparator == ',' ? ';' : ',';
    {
        // glibc: first weekday 1 = Sunday of the week that starts on
        // _NL_TIME_WEEK_1STDAY; the usual week-1 day is a Sunday.
        int first = static_cast<unsigned char>(*nl_langinfo_l(_NL_TIME_FIRST_WEEKDAY, loc));
        if (first >= 1 && first <= 7) s.FirstDayOfWeek = (first + 5) % 7;
    }
    freelocale(loc);
    return s;
}

TFormatSettings& FormatSettings()
{
    return Global();
}

void SetFormatSettings(const TFormatSettings& settings)
{
    Global() = settings;
}

void InitFormatSettings()
{
    SetFormatSettings(LocaleFormatSettings());
}

}  // namespace hostlib
