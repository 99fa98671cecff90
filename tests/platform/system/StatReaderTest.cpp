// Sampling every process with kept descriptors: the same numbers as a
// fresh read, and a process that ends leaves the sample and its descriptor.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <map>

#include "platform/system/stat_reader.h"
#include "tests/platform/system/child_process.h"

namespace {

using namespace quelvo::sys;
using quelvo::test::Child;
using quelvo::test::HelperPath;

std::map<pid_t, ProcStat> Sample(ProcStatReader& reader)
{
    std::map<pid_t, ProcStat> seen;
    reader.ForEach([&seen](pid_t pid, const ProcStat& stat) { seen[pid] = stat; });
    return seen;
}

TEST(ProcStatReader, KeepsOneDescriptorPerProcessAndLetsGoneOnesGo)
{
    rlimit before{};
    getrlimit(RLIMIT_NOFILE, &before);
    ProcStatReader reader;
    rlimit after{};
    getrlimit(RLIMIT_NOFILE, &after);
    EXPECT_EQ(after.rlim_cur, std::min<rlim_t>(after.rlim_max, rlim_t{1} << 20)) << "raised toward the hard limit";

    Child child({HelperPath(), "sleep"});
    const auto first = Sample(reader);
    ASSERT_EQ(first.count(child.Pid()), 1u);
    const std::size_t kept = reader.Kept();
    EXPECT_EQ(kept, std::min(first.size(), reader.Budget()));

    const auto second = Sample(reader);  // read again through the kept descriptors
    ASSERT_EQ(second.count(child.Pid()), 1u);
    ProcStat fresh;
    ASSERT_TRUE(ReadProcStat(child.Pid(), fresh));
    const ProcStat& kept2 = second.at(child.Pid());
    EXPECT_EQ(kept2.startTicks, fresh.startTicks);
    EXPECT_EQ(kept2.parentPid, fresh.parentPid);
    EXPECT_STREQ(kept2.comm, fresh.comm);
    EXPECT_EQ(second.count(getpid()), 1u);

    const pid_t ended = child.Pid();
    child.Kill();
    const auto third = Sample(reader);
    EXPECT_EQ(third.count(ended), 0u);
    EXPECT_LT(reader.Kept(), kept + 1);
}

}  // namespace
