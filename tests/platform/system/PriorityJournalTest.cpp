// The record of lowered processes on the real system: written as a process
// is lowered, and given back by a later run after this one died, unless
// someone else changed the process since.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "platform/system/backend.h"
#include "platform/system/winbase.h"
#include "tests/platform/system/child_process.h"
#include "tests/common/TempFolder.h"

namespace {

using namespace quelvo;
using test::Child;
using test::HelperPath;

bool MayRaisePriorities()
{
    rlimit limit{};
    return geteuid() == 0 || (getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur >= 40);
}

int NiceOf(pid_t tid)
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    return errno == 0 ? nice : 99;
}

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void Lower(pid_t pid, DWORD priorityClass)
{
    HANDLE process = OpenProcess(PROCESS_SET_INFORMATION | PROCESS_QUERY_INFORMATION, FALSE, static_cast<DWORD>(pid));
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(SetPriorityClass(process, priorityClass));
    CloseHandle(process);
}

class PriorityJournal : public testing::Test {
protected:
    void SetUp() override
    {
        if (!MayRaisePriorities()) GTEST_SKIP() << "giving a nice value back needs CAP_SYS_NICE";
        const char* saved = std::getenv("XDG_STATE_HOME");
        if (saved != nullptr) saved_ = saved;
        hadSaved_ = saved != nullptr;
        setenv("XDG_STATE_HOME", state_.Path().c_str(), 1);
        char host[256] = {};
        gethostname(host, sizeof(host) - 1);
        file_ = state_.File("quelvo/lowered@") + host;
    }
    void TearDown() override
    {
        sys::ClosePriorityJournal();
        if (hadSaved_) setenv("XDG_STATE_HOME", saved_.c_str(), 1);
        else unsetenv("XDG_STATE_HOME");
    }
    // This run dies: the file stays as it was, and the next run adopts it.
    int DieAndAdoptAgain()
    {
        const std::string left = Read(file_);
        sys::ClosePriorityJournal();
        std::ofstream(file_, std::ios::binary) << left;
        return sys::AdoptPriorityJournal();
    }

    TempFolder state_;
    std::string file_;

private:
    std::string saved_;
    bool hadSaved_ = false;
};

TEST_F(PriorityJournal, ALaterRunGivesBackEveryThreadsNice)
{
    ASSERT_EQ(sys::AdoptPriorityJournal(), 0);
    EXPECT_EQ(Read(file_), "");
    Child child({HelperPath(), "nices", "0", "3", "1", "4"});
    std::map<pid_t, int> expected;
    for (std::string line = child.ReadLine(); line != "ready"; line = child.ReadLine()) {
        ASSERT_FALSE(line.empty());
        std::istringstream in(line);
        int tid = 0;
        int nice = 0;
        in >> tid >> nice;
        expected[tid] = nice;
    }
    Lower(child.Pid(), IDLE_PRIORITY_CLASS);
    EXPECT_EQ(Read(file_).rfind(std::to_string(child.Pid()) + " ", 0), 0u) << Read(file_);
    for (const auto& [tid, nice] : expected) ASSERT_EQ(NiceOf(tid), 19);

    EXPECT_EQ(DieAndAdoptAgain(), 1);
    for (const auto& [tid, nice] : expected) EXPECT_EQ(NiceOf(tid), nice) << "thread " << tid;
    EXPECT_EQ(Read(file_), "") << "the entries go once handled";
}

TEST_F(PriorityJournal, AProcessChangedSinceOrGoneIsLeftAlone)
{
    ASSERT_EQ(sys::AdoptPriorityJournal(), 0);
    Child changed({HelperPath(), "sleep"});
    Child gone({HelperPath(), "sleep"});
    Lower(changed.Pid(), IDLE_PRIORITY_CLASS);
    Lower(gone.Pid(), BELOW_NORMAL_PRIORITY_CLASS);
    ASSERT_EQ(setpriority(PRIO_PROCESS, static_cast<id_t>(changed.Pid()), 5), 0);  // someone else's choice
    gone.Kill();
    // Lines this program never writes are skipped, not trusted.
    {
        std::ofstream(file_, std::ios::app) << "garbage\n-1 2 3 4 -\n1 1 64 32 - 1:-99\n99999999999 0 64 32 -\n";
    }
    EXPECT_EQ(DieAndAdoptAgain(), 0);
    EXPECT_EQ(NiceOf(changed.Pid()), 5);
    EXPECT_EQ(Read(file_), "");
}

}  // namespace
