// Locale-derived helpers of the data layer and its messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "components/data/cxDataUtils.h"
#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/format_settings.h"

namespace {

hostlib::TFormatSettings Settings(const std::string& symbol, int decimals, int format)
{
    hostlib::TFormatSettings fs = hostlib::EnglishFormatSettings();
    fs.CurrencyString = symbol;
    fs.CurrencyDecimals = static_cast<unsigned char>(decimals);
    fs.CurrencyFormat = static_cast<unsigned char>(format);
    return fs;
}

hostlib::TFormatSettings WeekStartingOn(int localeFirstDay)
{
    hostlib::TFormatSettings fs = hostlib::EnglishFormatSettings();
    fs.FirstDayOfWeek = localeFirstDay;
    return fs;
}

} // namespace

TEST(DataUtils, DefaultCurrencyDisplayFormatFollowsTheLocale)
{
    struct Case {
        std::string symbol;
        int decimals;
        int format;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"$", 2, 0, "$,0.00"},
        {"$", 2, 1, ",0.00$"},
        {"$", 2, 2, "$ ,0.00"},
        {"kr.", 2, 3, ",0.00 kr'.'"},
        {"$", 0, 0, "$,0."},
        {"", 2, 3, ",0.00"},
        {"a,b", 1, 1, ",0.0a','b"},
        {"\xE2\x82\xAC", 3, 3, ",0.000 \xE2\x82\xAC"},
        {"$", 2, 9, "$,0.00"},
    };
    for (const auto& c : cases) {
        const hostlib::ScopedFormatSettings scoped(Settings(c.symbol, c.decimals, c.format));
        EXPECT_EQ(DefaultCurrencyDisplayFormat(), c.expected) << c.symbol << " " << c.decimals << " " << c.format;
    }
}

TEST(DataUtils, DateAndTimeParts)
{
    struct Case {
        double value;
        double date;
        double time;
    };
    const std::vector<Case> cases = {
        {45000.75, 45000.0, 0.75},
        {3.0, 3.0, 0.0},
        {0.25, 0.0, 0.25},
        {-1.25, -1.0, -0.25},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(DateOf(c.value), c.date) << c.value;
        EXPECT_DOUBLE_EQ(TimeOf(c.value), c.time) << c.value;
    }
}

TEST(DataUtils, WeekStartFromTheLocale)
{
    // The locale counts 0 = Monday .. 6 = Sunday; the result 0 = Sunday.
    struct Case {
        int localeFirstDay;
        int startOfWeek;
    };
    const std::vector<Case> cases = {{6, 0}, {0, 1}, {5, 6}, {2, 3}, {-3, 1}, {99, 1}};
    for (const auto& c : cases) {
        const hostlib::ScopedFormatSettings scoped(WeekStartingOn(c.localeFirstDay));
        EXPECT_EQ(GetStartOfWeek(), c.startOfWeek) << c.localeFirstDay;
    }

    const double sunday = hostlib::EncodeDate(2024, 6, 9) + 0.5;
    const double wednesday = hostlib::EncodeDate(2024, 6, 12);
    const double saturday = hostlib::EncodeDate(2024, 6, 15) + 0.9;
    struct DateCase {
        const char* name;
        int localeFirstDay;
        double date;
        double start;
    };
    const std::vector<DateCase> dates = {
        {"Sunday, Monday start", 0, sunday, hostlib::EncodeDate(2024, 6, 3)},
        {"Sunday, Sunday start", 6, sunday, hostlib::EncodeDate(2024, 6, 9)},
        {"Wednesday, Monday start", 0, wednesday, hostlib::EncodeDate(2024, 6, 10)},
        {"Wednesday, Sunday start", 6, wednesday, hostlib::EncodeDate(2024, 6, 9)},
        {"Wednesday, Saturday start", 5, wednesday, hostlib::EncodeDate(2024, 6, 8)},
        {"Saturday, Saturday start", 5, saturday, hostlib::EncodeDate(2024, 6, 15)},
        {"Saturday, Monday start", 0, saturday, hostlib::EncodeDate(2024, 6, 10)},
    };
    for (const auto& c : dates) {
        const hostlib::ScopedFormatSettings scoped(WeekStartingOn(c.localeFirstDay));
        EXPECT_DOUBLE_EQ(GetStartDateOfWeek(c.date), c.start) << c.name;
    }
}

TEST(DataUtils, DataCompareTextIgnoresCaseWithOptionalPrefix)
{
    struct Case {
        std::string s1;
        std::string s2;
        bool partial;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"Alpha", "al", true, true},
        {"Alpha", "al", false, false},
        {"Alpha", "ALPHA", false, true},
        {"", "", false, true},
        {"", "", true, true},
        {"Alpha", "", true, false},
        {"Alpha", "", false, false},
        {"al", "Alpha", true, false},
        {"\xC3\x89t\xC3\xA9", "\xC3\xA9T", true, true},
        {"beta", "al", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataCompareText(c.s1, c.s2, c.partial), c.expected) << c.s1 << " / " << c.s2 << " " << c.partial;
}

TEST(DataUtils, MessagesOfTheStringTable)
{
    const auto table = cxDataResourceStrings();
    ASSERT_EQ(table.size(), 12u);
    EXPECT_STREQ(table[0].Name, "cxSDataReadError");
    EXPECT_STREQ(table[0].Text, "Stream read error");
    EXPECT_STREQ(cxSDataRecordIndexError, "RecordIndex out of range");
    EXPECT_STREQ(table[11].Text, "Key Field not found");
}

namespace {

// Counts the hooks the base calls, and checks that Construct reaches it.
class ProbeBinding : public TcxCustomDataBinding {
public:
    void Construct(hostlib::TComponent* owner, hostlib::TComponent* dataComponent) override
    {
        TcxCustomDataBinding::Construct(owner, dataComponent);
        constructedLive = IsDataSourceLive();
    }
    bool IsDataSourceLive() override { return false; }
    void VisualControlChanged() override { ++visualChanges; }

    bool constructedLive = true;
    int visualChanges = 0;
};

} // namespace

TEST(DataBinding, BaseBehaviourAndNotifications)
{
    auto owner = hostlib::MakeObject<hostlib::TComponent>(nullptr);
    auto data = hostlib::MakeObject<hostlib::TComponent>(nullptr);
    auto binding = hostlib::MakeObject<TcxDataBinding>(owner.get(), data.get());
    EXPECT_EQ(binding->ClassName(), "TcxDataBinding");
    EXPECT_TRUE(binding->InheritsFrom(TcxCustomDataBinding::StaticClass()));
    EXPECT_EQ(binding->GetOwner(), owner.get());
    EXPECT_EQ(binding->DataComponent(), data.get());
    EXPECT_FALSE(binding->ExecuteAction(nullptr));
    EXPECT_FALSE(binding->UpdateAction(nullptr));
    EXPECT_FALSE(binding->GetModified());
    EXPECT_FALSE(binding->GetReadOnly());
    binding->SetReadOnly(true);
    EXPECT_FALSE(binding->GetReadOnly());
    EXPECT_TRUE(binding->CanModify());
    EXPECT_TRUE(binding->IsDataSourceLive());
    EXPECT_FALSE(binding->IsDataStorage());
    EXPECT_TRUE(binding->SetEditMode());
    binding->SetStoredValue(evsValue, hostlib::Variant("x"));
    EXPECT_TRUE(binding->GetStoredValue(evsText, true).IsNull());

    // Unassigned notifications do nothing; assigned ones fire once per call.
    binding->DataChange();
    std::vector<std::string> fired;
    binding->OnDataChange = TcxDataBindingNotifyEvent::FromFunction([&] { fired.push_back("data"); });
    binding->OnDataSetChange = TcxDataBindingNotifyEvent::FromFunction([&] { fired.push_back("dataset"); });
    binding->OnUpdateData = TcxDataBindingNotifyEvent::FromFunction([&] { fired.push_back("update"); });
    binding->DataChange();
    binding->DataSetChange();
    binding->UpdateData();
    EXPECT_EQ(fired, (std::vector<std::string>{"data", "dataset", "update"}));
}

TEST(DataBinding, VisualControlChangesAndTwoPhaseConstruction)
{
    auto control = hostlib::MakeObject<hostlib::TComponent>(nullptr);
    auto probe = hostlib::MakeObject<ProbeBinding>(nullptr, nullptr);
    EXPECT_FALSE(probe->constructedLive);
    probe->SetVisualControl(control.get());
    probe->SetVisualControl(control.get());
    EXPECT_EQ(probe->visualChanges, 1);
    EXPECT_EQ(probe->VisualControl(), control.get());
    probe->SetVisualControl(nullptr);
    EXPECT_EQ(probe->visualChanges, 2);
}
