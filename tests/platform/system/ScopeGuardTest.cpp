// The scope guard: its clean-up runs once on every way out, stands down when
// dismissed, and never hides the exception that is already on its way.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/system/scope_guard.h"

namespace {

using quelvo::sys::ScopeGuard;

TEST(ScopeGuard, CleansUpOnceOnEveryWayOut)
{
    struct Case {
        const char* what;
        bool fail;
        bool dismiss;
        int runs;
    };
    const Case cases[] = {
        {"normal exit", false, false, 1},
        {"exception", true, false, 1},
        {"dismissed, normal exit", false, true, 0},
        {"dismissed, then an exception", true, true, 0},
    };
    for (const Case& c : cases) {
        int runs = 0;
        bool thrown = false;
        try {
            ScopeGuard guard([&] { ++runs; });
            if (c.dismiss) guard.Dismiss();
            if (c.fail) throw std::runtime_error("work failed");
        } catch (const std::runtime_error&) {
            thrown = true;
        }
        EXPECT_EQ(runs, c.runs) << c.what;
        EXPECT_EQ(thrown, c.fail) << c.what << ": the work's exception reaches the caller";
    }
}

TEST(ScopeGuard, ACleanUpThatThrowsReachesTheCallerOnlyWhenNothingElseIsOnItsWay)
{
    auto run = [](bool fail) {
        try {
            ScopeGuard guard([] { throw std::runtime_error("clean-up"); });
            if (fail) throw std::runtime_error("work");
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("nothing");
    };
    EXPECT_EQ(run(false), "clean-up");
    EXPECT_EQ(run(true), "work") << "the first exception arrives, the program goes on";
}

}  // namespace
