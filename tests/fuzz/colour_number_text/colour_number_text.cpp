// The extended editors' readers of typed colour and number texts, and the
// progress bar's reading of a text value. Input: the text; its first byte
// also chooses the locale's decimal separator.

#include "components/editor-catalogue/cxExtEditUtils.h"
#include "components/editor-catalogue/cxProgressBar.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format_settings.h"
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(quelvo::fuzz::Text(data, size));
    hostlib::TFormatSettings settings = hostlib::FormatSettings();
    settings.DecimalSeparator = size > 0 && (data[0] & 1) ? ',' : '.';
    hostlib::ScopedFormatSettings scope(settings);
    bool valid = false;
    quelvo::fuzz::Guarded<hostlib::Exception>([&] { cxStringToColor(text, valid); });
    quelvo::fuzz::Guarded<hostlib::Exception>([&] { cxRGBStringColorToColor(text); });
    cxHexRGBStringColorToColor(text);
    IsValidStringForInt(text);
    // Never raises, whatever the text.
    if (IsValidStringForDouble(text)) cxStrToFloat(text, false);
    quelvo::fuzz::Guarded<hostlib::Exception>([&] { cxStrToInt(text, size > 1 && (data[1] & 1)); });
    quelvo::fuzz::Guarded<hostlib::Exception>([&] { cxStrToFloat(text, size > 1 && (data[1] & 2)); });
    GetWord(size > 2 ? data[2] % 8 : 1, text, ';');
    hostlib::ObjectPtr<TcxProgressBarProperties> properties = hostlib::MakeObject<TcxProgressBarProperties>(nullptr);
    properties->GetDisplayText(hostlib::Variant(text));
    return 0;
}
