#include "components/data/cxDataUtils.h"

#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/core/rounding.h"

#include <cmath>

std::string DefaultCurrencyDisplayFormat()
{
    const hostlib::TFormatSettings& fs = hostlib::FormatSettings();
    std::string result = ",0." + std::string(fs.CurrencyDecimals, '0');
    std::string symbol;
    for (const char c : fs.CurrencyString) {
        if (c == ',' || c == '.') {
            symbol += '\'';
            symbol += c;
            symbol += '\'';
        } else {
            symbol += c;
        }
    }
    if (symbol.empty())
        return result;
    // Formats outside 0..3 are not the locale's; they count as 0.
    switch (fs.CurrencyFormat) {
    case 1: return result + symbol;
    case 2: return symbol + " " + result;
    case 3: return result + " " + symbol;
    default: return symbol + result;
    }
}

double DateOf(double dateTime)
{
    return std::trunc(dateTime);
}

double TimeOf(double dateTime)
{
    return dateTime - std::trunc(dateTime);
}

int GetStartOfWeek()
{
    // The locale counts from Monday = 0; the result counts from Sunday = 0.
    int first = hostlib::FormatSettings().FirstDayOfWeek;
    if (first < 0 || first > 6)
        first = 0;
    return (first + 1) % 7;
}

double GetStartDateOfWeek(double dateTime)
{
    const int s = GetStartOfWeek();
    const int w = hostlib::DayOfWeek(dateTime) - 1;
    return w >= s ? DateOf(dateTime) - (w - s) : DateOf(dateTime) - 7 + (s - w);
}

bool DataCompareText(const std::string& S1, const std::string& S2, bool partial)
{
    // Every record's text meets this on each typed key of a search or
    // filter: compared as upper-cased, not upper-cased first.
    if (S2.empty() || !partial)
        return hostlib::AnsiUpperCaseEquals(S1, S2);
    return hostlib::AnsiUpperCaseStartsWith(S1, S2);
}

// ---- TcxCustomDataBinding ---------------------------------------------------

hostlib::TClass TcxCustomDataBinding::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataBinding, hostlib::TPersistent>("TcxCustomDataBinding");
}

hostlib::TClass TcxDataBinding::StaticClass()
{
    return hostlib::DefineClass<TcxDataBinding, TcxCustomDataBinding>("TcxDataBinding");
}

void TcxCustomDataBinding::Construct(hostlib::TComponent* owner, hostlib::TComponent* dataComponent)
{
    owner_ = owner;
    dataComponent_ = dataComponent;
}

void TcxCustomDataBinding::DataChange()
{
    OnDataChange();
}

void TcxCustomDataBinding::DataSetChange()
{
    OnDataSetChange();
}

bool TcxCustomDataBinding::ExecuteAction(hostlib::TComponent*)
{
    return false;
}

bool TcxCustomDataBinding::GetModified()
{
    return false;
}

bool TcxCustomDataBinding::GetReadOnly()
{
    return false;
}

void TcxCustomDataBinding::SetReadOnly(bool) {}

bool TcxCustomDataBinding::UpdateAction(hostlib::TComponent*)
{
    return false;
}

void TcxCustomDataBinding::UpdateData()
{
    OnUpdateData();
}

void TcxCustomDataBinding::VisualControlChanged() {}

bool TcxCustomDataBinding::CanModify()
{
    return true;
}

hostlib::Variant TcxCustomDataBinding::GetStoredValue(TcxDataEditValueSource, bool)
{
    return hostlib::Variant::Null();
}

bool TcxCustomDataBinding::IsDataSourceLive()
{
    return true;
}

bool TcxCustomDataBinding::IsDataStorage()
{
    return false;
}

void TcxCustomDataBinding::Reset() {}

bool TcxCustomDataBinding::SetEditMode()
{
    return true;
}

void TcxCustomDataBinding::SetStoredValue(TcxDataEditValueSource, const hostlib::Variant&) {}

void TcxCustomDataBinding::UpdateDataSource() {}

void TcxCustomDataBinding::SetVisualControl(hostlib::TComponent* control)
{
    if (visualControl_ == control)
        return;
    visualControl_ = control;
    VisualControlChanged();
}
