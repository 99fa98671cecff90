#include <gtest/gtest.h>

#include "components/foundation/cxClasses.h"

namespace {

constexpr TcxResourceString kOpen{100, "Open"};
constexpr TcxResourceString kOpenAgain{101, "Open"};
constexpr TcxResourceString kClose{102, "Close"};

class ResourceStrings : public ::testing::Test {
protected:
    void TearDown() override { cxClearResourceStrings(); }
};

TEST_F(ResourceStrings, TextWithoutReplacement)
{
    EXPECT_EQ(cxGetResourceString(kOpen), "Open");
    EXPECT_EQ(cxGetResourceStringNet("anything"), "anything");
}

TEST_F(ResourceStrings, ReplacementIsKeyedByTheLoadedText)
{
    cxSetResourceString(kOpen, "Offnen");
    EXPECT_EQ(cxGetResourceString(kOpen), "Offnen");
    EXPECT_EQ(cxGetResourceString(kOpenAgain), "Offnen");
    EXPECT_EQ(cxGetResourceString(kClose), "Close");
    // The source text is found ignoring case; a second replacement overwrites.
    EXPECT_EQ(cxGetResourceStringNet("OPEN"), "Offnen");
    cxSetResourceStringNet("open", "Auf");
    EXPECT_EQ(cxGetResourceString(kOpen), "Auf");
}

TEST_F(ResourceStrings, ShutdownDropsTheTable)
{
    cxSetResourceString(kClose, "Zu");
    cxClearResourceStrings();
    EXPECT_EQ(cxGetResourceString(kClose), "Close");
}

}  // namespace
