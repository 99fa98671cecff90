#pragma once
// The format controller: turns the locale's date, time and currency
// settings into the display formats and edit masks of the editors, and
// tells its listeners when the regional settings or the system time change.

#include <array>
#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/system/wintypes.h"
#include "platform/windows/windefs.h"

// 0 = Sunday .. 6 = Saturday.
using TDayOfWeek = int;

enum class TcxDateTimeEditMaskKind { dtmkDate, dtmkTime, dtmkDateTime };

enum class TcxDateTimeFormatItemKind {
    dtikString,
    dtikYear,
    dtikMonth,
    dtikDay,
    dtikHour,
    dtikMin,
    dtikSec,
    dtikMSec,
    dtikTimeSuffix,
    dtikDateSeparator,
    dtikTimeSeparator
};
inline constexpr std::size_t cxDateTimeFormatItemKindCount = 11;

// Data: the literal text of a string item; the normalised pattern letters
// otherwise ('YY', 'MMM', '12H', 'NN', ...); empty for the separators.
struct TcxDateTimeFormatItem {
    TcxDateTimeFormatItemKind Kind = TcxDateTimeFormatItemKind::dtikString;
    std::string Data;
};

struct TcxDateTimeFormatInfo {
    // Whether an item of each kind occurs, indexed by the kind.
    std::array<bool, cxDateTimeFormatItemKindCount> DefinedItems{};
    std::vector<TcxDateTimeFormatItem> Items;

    bool Defined(TcxDateTimeFormatItemKind kind) const { return DefinedItems[static_cast<std::size_t>(kind)]; }
};

enum class TcxTimeSuffixKind { tskAP, tskAMPM, tskAMPMString };

// The zone of a standard date-time mask that holds a position (1-based).
struct TcxDateTimeFormatItemInfo {
    TcxDateTimeFormatItemKind Kind = TcxDateTimeFormatItemKind::dtikString;
    int ZoneStart = 0;
    int ZoneLength = 0;
    TcxTimeSuffixKind TimeSuffixKind = TcxTimeSuffixKind::tskAMPMString;
};

class IcxFormatControllerListener {
public:
    virtual ~IcxFormatControllerListener() = default;
    virtual void FormatChanged() = 0;
};

// Asked of a registered listener when the system time changes.
class IcxFormatControllerListener2 {
public:
    virtual ~IcxFormatControllerListener2() = default;
    virtual void TimeChanged() = 0;
};

class TcxFormatController {
public:
    TcxFormatController();
    virtual ~TcxFormatController();
    TcxFormatController(const TcxFormatController&) = delete;
    TcxFormatController& operator=(const TcxFormatController&) = delete;

    virtual void AddListener(IcxFormatControllerListener* listener);
    virtual void RemoveListener(IcxFormatControllerListener* listener);
    void BeginUpdate() { ++FLockCount; }
    void EndUpdate();
    void FormatChanged();
    void NotifyListeners();
    void TimeChanged();
    void GetFormats();

    std::string GetCurrencyFormat() const;
    TDayOfWeek GetStartOfWeek() const;
    std::string GetDateEditFormat(bool forMaskEdit) const;
    std::string GetDateTimeDisplayFormat(TcxDateTimeEditMaskKind kind) const;
    void CalculateDateEditMasks(bool smartInput);

    std::string InternalGetDateTimeEditRegExprMask(const TcxDateTimeFormatInfo& info,
                                                   TcxDateTimeEditMaskKind kind) const;
    std::string InternalGetDateTimeEditStandardMask(const TcxDateTimeFormatInfo& info,
                                                    TcxDateTimeEditMaskKind kind) const;
    std::string InternalGetMaskedDateEditFormat(const TcxDateTimeFormatInfo& info) const;

    // Parses a format text ("C" when empty) into its items; an info that
    // cannot be parsed (era letter "G") comes back empty.
    static void GetDateTimeFormatInfo(const std::string& format, TcxDateTimeFormatInfo& info);
    static int GetDateTimeFormatItemStandardMaskZoneLength(const TcxDateTimeFormatItem& item);
    static bool GetDateTimeFormatItemStandardMaskInfo(const TcxDateTimeFormatInfo& info, int position,
                                                      TcxDateTimeFormatItemInfo& itemInfo);
    static int GetDateTimeStandardMaskStringLength(const TcxDateTimeFormatInfo& info);

    // The hidden window's message handling: WM_WININICHANGE for the locale
    // ("intl") and WM_TIMECHANGE. Returns the message result.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Hands a message to WndProc; an error raised there goes to the
    // application's error handler and does not leave.
    LRESULT MainWndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Whether the controller receives the broadcasts (it has listeners).
    bool HasWindow() const { return FWindow; }

    // Values, with their setters. A setter marks the value assigned: it is
    // then kept when the locale changes, until the flag is cleared.
    const std::string& CurrencyFormat() const { return FCurrencyFormat; }
    void SetCurrencyFormat(const std::string& value);
    const std::string& RegExprDateEditMask() const { return FRegExprDateEditMask; }
    void SetRegExprDateEditMask(const std::string& value);
    const std::string& RegExprDateTimeEditMask() const { return FRegExprDateTimeEditMask; }
    void SetRegExprDateTimeEditMask(const std::string& value);
    const std::string& StandardDateEditMask() const { return FStandardDateEditMask; }
    void SetStandardDateEditMask(const std::string& value);
    const std::string& StandardDateTimeEditMask() const { return FStandardDateTimeEditMask; }
    void SetStandardDateTimeEditMask(const std::string& value);
    TDayOfWeek StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TDayOfWeek value);
    bool UseOstraDateTimeFormats() const { return FUseOstraDateTimeFormats; }
    void SetUseOstraDateTimeFormats(bool value);

    bool AssignedCurrencyFormat() const { return FAssignedCurrencyFormat; }
    void SetAssignedCurrencyFormat(bool value);
    bool AssignedRegExprDateEditMask() const { return FAssignedRegExprDateEditMask; }
    void SetAssignedRegExprDateEditMask(bool value);
    bool AssignedRegExprDateTimeEditMask() const { return FAssignedRegExprDateTimeEditMask; }
    void SetAssignedRegExprDateTimeEditMask(bool value);
    bool AssignedStandardDateEditMask() const { return FAssignedStandardDateEditMask; }
    void SetAssignedStandardDateEditMask(bool value);
    bool AssignedStandardDateTimeEditMask() const { return FAssignedStandardDateTimeEditMask; }
    void SetAssignedStandardDateTimeEditMask(bool value);
    bool AssignedStartOfWeek() const { return FAssignedStartOfWeek; }
    void SetAssignedStartOfWeek(bool value);

    // Always recomputed from the locale.
    const std::string& DateEditFormat() const { return FDateEditFormat; }
    const std::string& DateEditMask() const { return FDateEditMask; }
    const std::string& MaskedDateEditFormat() const { return FMaskedDateEditFormat; }
    const std::string& MaskedDateTimeEditFormat() const { return FMaskedDateTimeEditFormat; }
    const TcxDateTimeFormatInfo& DateFormatInfo() const { return FDateFormatInfo; }
    const TcxDateTimeFormatInfo& DateTimeFormatInfo() const { return FDateTimeFormatInfo; }
    const TcxDateTimeFormatInfo& TimeFormatInfo() const { return FTimeFormatInfo; }

    int LockCount() const { return FLockCount; }
    std::size_t ListenerCount() const { return FListeners.size(); }

private:
    void SetAssigned(bool& flag, bool value);
    void SetValue(bool& flag, std::string& field, const std::string& value);
    void CreateWindow();
    void DestroyWindow();

    bool FAssignedCurrencyFormat = false;
    bool FAssignedRegExprDateEditMask = false;
    bool FAssignedRegExprDateTimeEditMask = false;
    bool FAssignedStandardDateEditMask = false;
    bool FAssignedStandardDateTimeEditMask = false;
    bool FAssignedStartOfWeek = false;
    std::string FCurrencyFormat;
    std::string FDateEditFormat;
    std::string FDateEditMask;
    TcxDateTimeFormatInfo FDateFormatInfo;
    TcxDateTimeFormatInfo FDateTimeFormatInfo;
    std::vector<IcxFormatControllerListener*> FListeners;
    int FLockCount = 0;
    std::string FMaskedDateEditFormat;
    std::string FMaskedDateTimeEditFormat;
    std::string FRegExprDateEditMask;
    std::string FRegExprDateTimeEditMask;
    std::string FStandardDateEditMask;
    std::string FStandardDateTimeEditMask;
    TDayOfWeek FStartOfWeek = 0;
    TcxDateTimeFormatInfo FTimeFormatInfo;
    bool FUseOstraDateTimeFormats = false;
    bool FWindow = false;
};

// The process's controller, created on first use. The first controller that
// computes its formats while none is registered becomes it.
TcxFormatController* cxFormatController();
// Unit shut-down: frees the controller created on first use.
void cxFormatsShutdown();

// What the platform tells the controllers that receive broadcasts (those
// with listeners): the user changed a section of the settings (the locale's
// is "intl"), or the system time changed.
void cxBroadcastSettingChange(const std::string& section);
void cxBroadcastTimeChange();

// The application's side of a locale change: whether it re-reads its format
// settings automatically, and how (the host library's locale reading by
// default). Tests replace the reader.
struct TcxFormatSettingsUpdate {
    bool UpdateFormatSettings = true;
    std::function<void()> Reload;
    // Receives errors raised while a broadcast is handled.
    std::function<void(const std::exception&)> HandleException;
};
TcxFormatSettingsUpdate& cxFormatSettingsUpdate();
