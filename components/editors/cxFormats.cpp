#include "components/editors/cxFormats.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

#include "components/editors/cxDateUtils.h"
#include "components/editors/cxRegExpr.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"

namespace {

using Kind = TcxDateTimeFormatItemKind;

std::size_t Index(Kind kind) { return static_cast<std::size_t>(kind); }

char Upper(char ch) { return static_cast<char>(std::toupper(static_cast<unsigned char>(ch))); }

std::string UpperAscii(const std::string& text) { return hostlib::UpperCase(text); }

TcxTimeSuffixKind SuffixKind(const std::string& data)
{
    const std::string upper = UpperAscii(data);
    if (upper == "A/P") return TcxTimeSuffixKind::tskAP;
    if (upper == "AM/PM") return TcxTimeSuffixKind::tskAMPM;
    return TcxTimeSuffixKind::tskAMPMString;
}

int LongerAmPmLength()
{
    const auto& fs = hostlib::FormatSettings();
    return static_cast<int>(std::max(fs.TimeAMString.size(), fs.TimePMString.size()));
}

// Reads a date-time format text into items. Nested format texts ("c",
// "ddddd", "t", ...) are followed two levels deep.
class FormatParser {
public:
    explicit FormatParser(TcxDateTimeFormatInfo& info) : FInfo(info) {}

    bool Parse(const std::string& format, int level);
    bool TwelveHour() const { return FTwelveHour; }

private:
    void AddItem(Kind kind, std::string data);
    void AddString(const std::string& text);
    bool Nested(const std::string& format, int level) { return level >= 2 || Parse(format, level + 1); }

    TcxDateTimeFormatInfo& FInfo;
    bool FTwelveHour = false;
};

void FormatParser::AddItem(Kind kind, std::string data)
{
    const bool repeatable = kind == Kind::dtikString || kind == Kind::dtikDateSeparator || kind == Kind::dtikTimeSeparator;
    if (!repeatable && FInfo.DefinedItems[Index(kind)]) return;
    FInfo.DefinedItems[Index(kind)] = true;
    FInfo.Items.push_back({kind, std::move(data)});
}

void FormatParser::AddString(const std::string& text)
{
    if (!FInfo.Items.empty() && FInfo.Items.back().Kind == Kind::dtikString) {
        FInfo.Items.back().Data += text;
        return;
    }
    AddItem(Kind::dtikString, text);
}

bool FormatParser::Parse(const std::string& source, int level)
{
    const auto& fs = hostlib::FormatSettings();
    const std::string text = source.empty() ? std::string("C") : source;
    const std::size_t n = text.size();
    char lastLetter = ' ';
    bool hourSeen = false;
    bool suffixSeen = false;
    const auto startsWith = [&](std::size_t pos, const char* word) {
        const std::size_t len = std::strlen(word);
        if (pos + len > n) return false;
        for (std::size_t k = 0; k < len; ++k) {
            if (Upper(text[pos + k]) != word[k]) return false;
        }
        return true;
    };

    std::size_t i = 0;
    while (i < n) {
        const char ch = text[i];
        const auto code = static_cast<unsigned char>(ch);
        if (code >= 0x80) {
            // A character of several bytes is text as a whole.
            std::size_t end = i + 1;
            while (end < n && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
            AddString(text.substr(i, end - i));
            lastLetter = ' ';
            i = end;
            continue;
        }
        std::size_t run = 1;
        while (i + run < n && text[i + run] == ch) ++run;
        char letter = Upper(ch);
        switch (letter) {
        case '\'':
        case '"': {
            const std::size_t close = text.find(ch, i + 1);
            const std::size_t end = close == std::string::npos ? n : close;
            AddString(text.substr(i + 1, end - i - 1));
            i = close == std::string::npos ? n : close + 1;
            continue;
        }
        case '/': AddItem(Kind::dtikDateSeparator, {}); i += 1; continue;
        case ':': AddItem(Kind::dtikTimeSeparator, {}); i += 1; continue;
        case 'A':
            if (startsWith(i, "AM/PM")) {
                AddItem(Kind::dtikTimeSuffix, text.substr(i, 5));
                suffixSeen = true;
                run = 5;
            } else if (startsWith(i, "A/P")) {
                AddItem(Kind::dtikTimeSuffix, text.substr(i, 3));
                suffixSeen = true;
                run = 3;
            } else if (startsWith(i, "AMPM")) {
                AddItem(Kind::dtikTimeSuffix, "AMPM");
                suffixSeen = true;
                run = 4;
            } else if (run >= 4) {
                AddItem(Kind::dtikDay, "DDDD");
            } else if (run == 3) {
                AddItem(Kind::dtikDay, "DDD");
            } else {
                AddString(text.substr(i, run));
            }
            break;
        case 'C':
            if (level < 2) {
                if (!Nested(fs.ShortDateFormat, level)) return false;
                AddString(" ");
                if (!Nested(fs.LongTimeFormat, level)) return false;
            }
            break;
        case 'D':
            if (run <= 4) {
                AddItem(Kind::dtikDay, std::string(run, 'D'));
            } else if (!Nested(run == 5 ? fs.ShortDateFormat : fs.LongDateFormat, level)) {
                return false;
            }
            break;
        case 'E':
        case 'Y': AddItem(Kind::dtikYear, run > 2 ? "YYYY" : "YY"); break;
        case 'G': return false;
        case 'H':
            AddItem(Kind::dtikHour, run > 1 ? "HH" : "H");
            hourSeen = true;
            break;
        case 'M':
            if (lastLetter == 'H') {
                AddItem(Kind::dtikMin, std::string(std::min<std::size_t>(run, 2), 'N'));
                letter = 'N';
            } else {
                AddItem(Kind::dtikMonth, std::string(std::min<std::size_t>(run, 4), 'M'));
            }
            break;
        case 'N': AddItem(Kind::dtikMin, std::string(std::min<std::size_t>(run, 2), 'N')); break;
        case 'S': AddItem(Kind::dtikSec, std::string(std::min<std::size_t>(run, 2), 'S')); break;
        case 'T':
            if (!Nested(run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, level)) return false;
            break;
        case 'Z': AddItem(Kind::dtikMSec, std::string(std::min<std::size_t>(run, 3), 'Z')); break;
        default:
            AddString(std::string(1, ch));
            run = 1;
            break;
        }
        if (std::isalpha(code)) lastLetter = letter;
        i += run;
    }
    if (hourSeen) FTwelveHour = suffixSeen;
    return true;
}

// --- Broadcast receivers -----------------------------------------------------

std::vector<TcxFormatController*>& Receivers()
{
    static std::vector<TcxFormatController*> receivers;
    return receivers;
}

bool IsReceiver(TcxFormatController* controller)
{
    const auto& receivers = Receivers();
    return std::find(receivers.begin(), receivers.end(), controller) != receivers.end();
}

void Broadcast(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto receivers = Receivers();  // a handler may add or remove one
    for (auto* controller : receivers) {
        if (IsReceiver(controller)) controller->MainWndProc(message, wParam, lParam);
    }
}

// --- The process's controller ------------------------------------------------

TcxFormatController*& Registered()
{
    static TcxFormatController* registered = nullptr;
    return registered;
}

std::unique_ptr<TcxFormatController>& Owned()
{
    // The receivers must outlive the controller: a controller that still has
    // listeners at exit leaves them when it is destroyed.
    Receivers();
    static std::unique_ptr<TcxFormatController> owned;
    return owned;
}

}  // namespace

TcxFormatSettingsUpdate& cxFormatSettingsUpdate()
{
    static TcxFormatSettingsUpdate update{true, [] { hostlib::InitFormatSettings(); }, nullptr};
    return update;
}

TcxFormatController* cxFormatController()
{
    if (!Registered()) Owned() = std::make_unique<TcxFormatController>();
    return Registered();
}

void cxFormatsShutdown() { Owned().reset(); }

void cxBroadcastSettingChange(const std::string& section)
{
    Broadcast(WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(section.c_str()));
}

void cxBroadcastTimeChange() { Broadcast(WM_TIMECHANGE, 0, 0); }

// ---------------------------------------------------------------------------

TcxFormatController::TcxFormatController() { GetFormats(); }

TcxFormatController::~TcxFormatController()
{
    DestroyWindow();
    if (Registered() == this) Registered() = nullptr;
}

void TcxFormatController::CreateWindow()
{
    if (FWindow) return;
    Receivers().push_back(this);
    FWindow = true;
}

void TcxFormatController::DestroyWindow()
{
    if (!FWindow) return;
    auto& receivers = Receivers();
    receivers.erase(std::remove(receivers.begin(), receivers.end(), this), receivers.end());
    FWindow = false;
}

void TcxFormatController::AddListener(IcxFormatControllerListener* listener)
{
    if (!listener || std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end()) return;
    if (FListeners.empty()) CreateWindow();
    FListeners.push_back(listener);
}

void TcxFormatController::RemoveListener(IcxFormatControllerListener* listener)
{
    const auto it = std::find(FListeners.begin(), FListeners.end(), listener);
    if (it == FListeners.end()) return;
    FListeners.erase(it);
    if (FListeners.empty()) DestroyWindow();
}

void TcxFormatController::EndUpdate()
{
    if (FLockCount == 0) return;  // an unbalanced EndUpdate must not unlock a later bracket
    if (--FLockCount == 0) NotifyListeners();
}

void TcxFormatController::FormatChanged()
{
    if (FLockCount != 0) return;
    GetFormats();
    NotifyListeners();
}

void TcxFormatController::NotifyListeners()
{
    // A listener may unregister itself or another one while it is told.
    const auto listeners = FListeners;
    for (auto* listener : listeners) {
        if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end()) listener->FormatChanged();
    }
}

void TcxFormatController::TimeChanged()
{
    const auto listeners = FListeners;
    for (auto* listener : listeners) {
        if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) continue;
        if (auto* listener2 = dynamic_cast<IcxFormatControllerListener2*>(listener)) listener2->TimeChanged();
    }
}

void TcxFormatController::GetFormats()
{
    if (!Registered()) Registered() = this;
    if (!FAssignedCurrencyFormat) FCurrencyFormat = GetCurrencyFormat();
    if (!FAssignedStartOfWeek) FStartOfWeek = GetStartOfWeek();
    CalculateDateEditMasks(true);
    FDateEditFormat = GetDateEditFormat(false);
}

std::string TcxFormatController::GetCurrencyFormat() const
{
    const auto& fs = hostlib::FormatSettings();
    const std::string number = ",0." + std::string(fs.CurrencyDecimals, '0');
    std::string currency;
    for (char ch : fs.CurrencyString) {
        if (ch == ',' || ch == '.') {
            currency += '\'';
            currency += ch;
            currency += '\'';
        } else {
            currency += ch;
        }
    }
    const std::string& c = currency;
    const std::string& n = number;
    std::string positive;
    if (!fs.CurrencyString.empty()) {
        switch (fs.CurrencyFormat) {
        case 0: positive = c + n; break;
        case 1: positive = n + c; break;
        case 2: positive = c + " " + n; break;
        case 3: positive = n + " " + c; break;
        default: break;
        }
    }
    std::string negative;
    switch (fs.NegCurrFormat) {
    case 0: negative = "(" + c + n + ")"; break;
    case 1: negative = "-" + c + n; break;
    case 2: negative = c + "-" + n; break;
    case 3: negative = c + n + "-"; break;
    case 4: negative = "(" + n + c + ")"; break;
    case 5: negative = "-" + n + c; break;
    case 6: negative = n + "-" + c; break;
    case 7: negative = n + c + "-"; break;
    case 8: negative = "-" + n + " " + c; break;
    case 9: negative = "-" + c + " " + n; break;
    case 10: negative = n + " " + c + "-"; break;
    case 11: negative = c + " " + n + "-"; break;
    case 12: negative = c + " " + "-" + n; break;
    case 13: negative = n + "-" + " " + c; break;
    case 14: negative = "(" + c + " " + n + ")"; break;
    case 15: negative = "(" + n + " " + c + ")"; break;
    default: break;
    }
    return positive + ";" + negative;
}

TDayOfWeek TcxFormatController::GetStartOfWeek() const
{
    // The locale counts from Monday (0) to Sunday (6); ours from Sunday.
    const int value = hostlib::FormatSettings().FirstDayOfWeek + 1;
    return value > 6 || value < 0 ? 0 : value;
}

std::string TcxFormatController::GetDateEditFormat(bool forMaskEdit) const
{
    const std::string& format = hostlib::FormatSettings().ShortDateFormat;
    std::string result;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char ch = format[i];
        const bool lonely = (ch == 'd' || ch == 'M') && (i == 0 || format[i - 1] != ch) &&
                            (i + 1 == format.size() || format[i + 1] != ch);
        result += ch;
        if (lonely) result += ch;
    }
    if (forMaskEdit) {
        const std::size_t start = result.find('M');
        if (start != std::string::npos) {
            std::size_t end = start;
            while (end < result.size() && result[end] == 'M') ++end;
            if (end - start > 3) result.erase(start + 3, end - start - 3);
        }
    }
    return result;
}

std::string TcxFormatController::GetDateTimeDisplayFormat(TcxDateTimeEditMaskKind kind) const
{
    const auto& fs = hostlib::FormatSettings();
    switch (kind) {
    case TcxDateTimeEditMaskKind::dtmkDate: return fs.ShortDateFormat;
    case TcxDateTimeEditMaskKind::dtmkTime: return fs.LongTimeFormat;
    case TcxDateTimeEditMaskKind::dtmkDateTime: return fs.ShortDateFormat + " " + fs.LongTimeFormat;
    }
    return {};
}

void TcxFormatController::GetDateTimeFormatInfo(const std::string& format, TcxDateTimeFormatInfo& info)
{
    info = {};
    FormatParser parser(info);
    if (!parser.Parse(format, 1)) {
        info = {};
        return;
    }
    auto& items = info.Items;
    const auto hour = std::find_if(items.begin(), items.end(), [](const auto& item) { return item.Kind == Kind::dtikHour; });
    if (hour != items.end()) {
        hour->Data = (parser.TwelveHour() ? "12" : "24") + hour->Data;
        return;
    }
    const auto suffix =
        std::find_if(items.begin(), items.end(), [](const auto& item) { return item.Kind == Kind::dtikTimeSuffix; });
    if (suffix != items.end()) {
        items.erase(suffix);
        info.DefinedItems[Index(Kind::dtikTimeSuffix)] = false;
    }
}

void TcxFormatController::CalculateDateEditMasks(bool smartInput)
{
    using enum TcxDateTimeEditMaskKind;
    GetDateTimeFormatInfo(GetDateTimeDisplayFormat(dtmkDate), FDateFormatInfo);
    GetDateTimeFormatInfo(GetDateTimeDisplayFormat(dtmkTime), FTimeFormatInfo);
    GetDateTimeFormatInfo(GetDateTimeDisplayFormat(dtmkDateTime), FDateTimeFormatInfo);

    FDateEditMask = InternalGetDateTimeEditStandardMask(FDateFormatInfo, dtmkDate);
    if (!FAssignedStandardDateEditMask) FStandardDateEditMask = FDateEditMask;
    const std::string dateExpr = InternalGetDateTimeEditRegExprMask(FDateFormatInfo, dtmkDate);
    if (!FAssignedRegExprDateEditMask) {
        FRegExprDateEditMask = dateExpr;
        if (smartInput) cxDateUtils::AddDateRegExprMaskSmartInput(FRegExprDateEditMask, false);
    }
    if (!FAssignedRegExprDateTimeEditMask) {
        FRegExprDateTimeEditMask =
            dateExpr + "' '(" + InternalGetDateTimeEditRegExprMask(FTimeFormatInfo, dtmkTime) + ")?";
        if (smartInput) cxDateUtils::AddDateRegExprMaskSmartInput(FRegExprDateTimeEditMask, true);
    }
    if (!FAssignedStandardDateTimeEditMask) {
        FStandardDateTimeEditMask = InternalGetDateTimeEditStandardMask(FDateTimeFormatInfo, dtmkDateTime);
    }
    FMaskedDateEditFormat = InternalGetMaskedDateEditFormat(FDateFormatInfo);
    FMaskedDateTimeEditFormat = InternalGetMaskedDateEditFormat(FDateTimeFormatInfo);
}

std::string TcxFormatController::InternalGetDateTimeEditRegExprMask(const TcxDateTimeFormatInfo& info,
                                                                    TcxDateTimeEditMaskKind kind) const
{
    if (kind == TcxDateTimeEditMaskKind::dtmkDateTime || info.Items.empty()) return {};
    const bool date = kind == TcxDateTimeEditMaskKind::dtmkDate;
    const auto& fs = hostlib::FormatSettings();
    const auto separator = [](char sep) -> std::string {
        if (sep == ' ') return "' '";
        if (sep == '\0') return {};
        return std::string("\\") + sep;
    };
    std::string mask;
    for (const auto& item : info.Items) {
        switch (item.Kind) {
        case Kind::dtikString: mask += cxRegExpr::QuotedText(item.Data); break;
        case Kind::dtikYear:
            if (date) mask += item.Data == "YY" ? "\\d\\d" : "\\d\\d\\d\\d";
            break;
        case Kind::dtikMonth:
            if (date) {
                const auto& names = item.Data == "MMMM" ? fs.LongMonthNames : fs.ShortMonthNames;
                mask += "((0?[1-9]|1[012])|(";
                for (std::size_t m = 0; m < names.size(); ++m) {
                    if (m > 0) mask += "|";
                    mask += cxRegExpr::QuotedText(names[m]);
                }
                mask += "))";
            }
            break;
        case Kind::dtikDay:
            if (date) mask += "([012]?[1-9]|[123]0|31)";
            break;
        case Kind::dtikDateSeparator:
            if (date) mask += separator(fs.DateSeparator);
            break;
        case Kind::dtikHour:
            if (!date) mask += item.Data.starts_with("12") ? "(0?[1-9]|1[012])" : "([01]?\\d|2[0-3])";
            break;
        case Kind::dtikMin:
        case Kind::dtikSec:
            if (!date) mask += "[0-5]?\\d";
            break;
        case Kind::dtikTimeSuffix:
            if (!date) {
                mask += "(";
                switch (SuffixKind(item.Data)) {
                case TcxTimeSuffixKind::tskAP: mask += "A|P"; break;
                case TcxTimeSuffixKind::tskAMPM: mask += "AM|PM"; break;
                case TcxTimeSuffixKind::tskAMPMString:
                    mask += cxRegExpr::QuotedText(fs.TimeAMString) + "|" + cxRegExpr::QuotedText(fs.TimePMString);
                    break;
                }
                mask += ")?";
            }
            break;
        case Kind::dtikTimeSeparator:
            if (!date) mask += separator(fs.TimeSeparator);
            break;
        case Kind::dtikMSec: break;
        }
    }
    return mask;
}

std::string TcxFormatController::InternalGetDateTimeEditStandardMask(const TcxDateTimeFormatInfo& info,
                                                                     TcxDateTimeEditMaskKind kind) const
{
    if (info.Items.empty()) return {};
    const bool time = kind == TcxDateTimeEditMaskKind::dtmkTime;
    std::string mask = time ? "" : "!";
    for (const auto& item : info.Items) {
        switch (item.Kind) {
        case Kind::dtikString:
            for (char ch : item.Data) {
                mask += '\\';
                mask += ch;
            }
            break;
        case Kind::dtikYear: mask += item.Data == "YY" ? "99" : "9999"; break;
        case Kind::dtikMonth:
        case Kind::dtikDay: mask += item.Data.size() > 2 ? "lll" : "99"; break;
        case Kind::dtikHour:
        case Kind::dtikMin:
        case Kind::dtikSec: mask += time ? "00" : "99"; break;
        case Kind::dtikMSec: break;
        case Kind::dtikTimeSuffix:
            switch (SuffixKind(item.Data)) {
            case TcxTimeSuffixKind::tskAP: mask += "c"; break;
            case TcxTimeSuffixKind::tskAMPM: mask += "cc"; break;
            case TcxTimeSuffixKind::tskAMPMString: mask += std::string(LongerAmPmLength(), 'c'); break;
            }
            break;
        case Kind::dtikDateSeparator: mask += "/"; break;
        case Kind::dtikTimeSeparator: mask += ":"; break;
        }
    }
    return mask + (time ? ";1;0" : ";1; ");
}

std::string TcxFormatController::InternalGetMaskedDateEditFormat(const TcxDateTimeFormatInfo& info) const
{
    std::string format;
    for (const auto& item : info.Items) {
        switch (item.Kind) {
        case Kind::dtikString: format += "'" + item.Data + "'"; break;
        case Kind::dtikYear:
        case Kind::dtikTimeSuffix: format += hostlib::LowerCase(item.Data); break;
        case Kind::dtikMonth: format += item.Data.size() > 2 ? "mmm" : "mm"; break;
        case Kind::dtikDay: format += item.Data.size() > 2 ? "ddd" : "dd"; break;
        case Kind::dtikHour: format += "hh"; break;
        case Kind::dtikMin: format += "nn"; break;
        case Kind::dtikSec: format += "ss"; break;
        case Kind::dtikDateSeparator: format += "/"; break;
        case Kind::dtikTimeSeparator: format += ":"; break;
        case Kind::dtikMSec: break;
        }
    }
    return format;
}

int TcxFormatController::GetDateTimeFormatItemStandardMaskZoneLength(const TcxDateTimeFormatItem& item)
{
    switch (item.Kind) {
    case Kind::dtikString: return static_cast<int>(item.Data.size());
    case Kind::dtikYear: return item.Data == "YY" ? 2 : 4;
    case Kind::dtikMonth:
    case Kind::dtikDay: return item.Data.size() > 2 ? 3 : 2;
    case Kind::dtikHour:
    case Kind::dtikMin:
    case Kind::dtikSec: return 2;
    case Kind::dtikTimeSuffix:
        switch (SuffixKind(item.Data)) {
        case TcxTimeSuffixKind::tskAP: return 1;
        case TcxTimeSuffixKind::tskAMPM: return 2;
        case TcxTimeSuffixKind::tskAMPMString: return LongerAmPmLength();
        }
        return 0;
    case Kind::dtikDateSeparator:
    case Kind::dtikTimeSeparator: return 1;
    case Kind::dtikMSec: return 0;
    }
    return 0;
}

bool TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(const TcxDateTimeFormatInfo& info, int position,
                                                                TcxDateTimeFormatItemInfo& itemInfo)
{
    if (position < 1 || info.Items.empty()) return false;
    int start = 1;
    for (const auto& item : info.Items) {
        const int length = GetDateTimeFormatItemStandardMaskZoneLength(item);
        if (position >= start && position < start + length) {
            itemInfo.Kind = item.Kind;
            itemInfo.ZoneStart = start;
            itemInfo.ZoneLength = length;
            if (item.Kind == Kind::dtikTimeSuffix) itemInfo.TimeSuffixKind = SuffixKind(item.Data);
            return true;
        }
        start += length;
    }
    return false;
}

int TcxFormatController::GetDateTimeStandardMaskStringLength(const TcxDateTimeFormatInfo& info)
{
    int length = 0;
    for (const auto& item : info.Items) length += GetDateTimeFormatItemStandardMaskZoneLength(item);
    return length;
}

LRESULT TcxFormatController::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WININICHANGE) {
        const auto* section = reinterpret_cast<const char*>(lParam);
        auto& update = cxFormatSettingsUpdate();
        if (wParam == 0 && section && std::strcmp(section, "intl") == 0 && update.UpdateFormatSettings) {
            if (update.Reload) update.Reload();
            GetFormats();
            NotifyListeners();
        }
        return 0;
    }
    if (message == WM_TIMECHANGE) {
        TimeChanged();
        return 0;
    }
    return 0;
}

LRESULT TcxFormatController::MainWndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return WndProc(message, wParam, lParam);
    } catch (const std::exception& error) {
        if (const auto& handler = cxFormatSettingsUpdate().HandleException) handler(error);
        return 0;
    }
}

// --- Setters -------------------------------------------------------------------

void TcxFormatController::SetAssigned(bool& flag, bool value)
{
    if (flag == value) return;
    flag = value;
    FormatChanged();
}

void TcxFormatController::SetValue(bool& flag, std::string& field, const std::string& value)
{
    flag = true;
    if (field == value) return;
    field = value;
    FormatChanged();
}

void TcxFormatController::SetCurrencyFormat(const std::string& value)
{
    SetValue(FAssignedCurrencyFormat, FCurrencyFormat, value);
}

void TcxFormatController::SetRegExprDateEditMask(const std::string& value)
{
    SetValue(FAssignedRegExprDateEditMask, FRegExprDateEditMask, value);
}

void TcxFormatController::SetRegExprDateTimeEditMask(const std::string& value)
{
    SetValue(FAssignedRegExprDateTimeEditMask, FRegExprDateTimeEditMask, value);
}

void TcxFormatController::SetStandardDateEditMask(const std::string& value)
{
    SetValue(FAssignedStandardDateEditMask, FStandardDateEditMask, value);
}

void TcxFormatController::SetStandardDateTimeEditMask(const std::string& value)
{
    SetValue(FAssignedStandardDateTimeEditMask, FStandardDateTimeEditMask, value);
}

void TcxFormatController::SetStartOfWeek(TDayOfWeek value)
{
    FAssignedStartOfWeek = true;
    if (FStartOfWeek == value) return;
    FStartOfWeek = value;
    FormatChanged();
}

void TcxFormatController::SetUseOstraDateTimeFormats(bool value)
{
    if (FUseOstraDateTimeFormats == value) return;
    FUseOstraDateTimeFormats = value;
    FormatChanged();
}

void TcxFormatController::SetAssignedCurrencyFormat(bool value) { SetAssigned(FAssignedCurrencyFormat, value); }

void TcxFormatController::SetAssignedRegExprDateEditMask(bool value) { SetAssigned(FAssignedRegExprDateEditMask, value); }

void TcxFormatController::SetAssignedRegExprDateTimeEditMask(bool value)
{
    SetAssigned(FAssignedRegExprDateTimeEditMask, value);
}

void TcxFormatController::SetAssignedStandardDateEditMask(bool value)
{
    SetAssigned(FAssignedStandardDateEditMask, value);
}

void TcxFormatController::SetAssignedStandardDateTimeEditMask(bool value)
{
    SetAssigned(FAssignedStandardDateTimeEditMask, value);
}

void TcxFormatController::SetAssignedStartOfWeek(bool value) { SetAssigned(FAssignedStartOfWeek, value); }
