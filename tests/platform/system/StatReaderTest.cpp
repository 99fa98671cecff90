// Sampling every process with kept descriptors: the same numbers as a
// fresh read, and a process that ends leaves the sample and its descriptor.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/system/stat_reader.h"
#include "tests/platform/system/child_process.h"

namespace {

using namespace quelvo::sys;
using quelvo::test::Child;
using quelvo::test::HelperPath;

// How many of this process's descriptors are open on that process's stat file.
int DescriptorsOn(pid_t pid)
{
    const std::string wanted = "/proc/" + std::to_string(pid) + "/stat";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(entry.path(), ec).string() == wanted) ++count;
    }
    return count;
}

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
    EXPECT_EQ(reader.Kept(), std::min(first.size(), reader.Budget()));
    EXPECT_EQ(DescriptorsOn(child.Pid()), 1);

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
    EXPECT_EQ(DescriptorsOn(ended), 0) << "closed once the process is gone";
}

}  // namespace
