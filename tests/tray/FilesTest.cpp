// The tray's files: log lines appended as they are, and the trust check of
// the settings file.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tray/TrayFiles.h"

namespace {

namespace fs = std::filesystem;
using namespace quelvo::tray;

class TrayFiles : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "quelvo-trayfiles-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        fs::permissions(folder, fs::perms::owner_all);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(folder, fs::perms::owner_all, ec);
        fs::remove_all(folder, ec);
    }
    std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }
    fs::path folder;
};

TEST_F(TrayFiles, LogLinesAreAppendedByteForByte)
{
    const fs::path log = folder / "Quelvo.log";
    EXPECT_TRUE(AppendLogLine(log.string(), "one\n"));
    EXPECT_TRUE(AppendLogLine(log.string(), "two\r\n"));
    EXPECT_EQ(Read(log), "one\ntwo\r\n");
    EXPECT_FALSE(AppendLogLine(folder.string(), "a folder is no log\n"));
    EXPECT_FALSE(AppendLogLine((folder / "missing" / "Quelvo.log").string(), "x\n"));
}

TEST_F(TrayFiles, APipeOrDeviceAsLogIsRefusedWithoutWaiting)
{
    const fs::path fifo = folder / "Quelvo.log";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(AppendLogLine(fifo.string(), "nobody reads this\n"));
    // With a reader at the other end it would not block either: refused.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(AppendLogLine(fifo.string(), "x\n"));
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "nothing was written to the pipe";
    ::close(reader);
    EXPECT_FALSE(AppendLogLine("/dev/null", "x\n"));
}

TEST_F(TrayFiles, SettingsAreTrustedOnlyWhenNobodyElseMayWriteThem)
{
    const fs::path ini = folder / "Quelvo.ini";
    std::ofstream(ini) << "[Settings]\n";
    const fs::perms mine = fs::perms::owner_read | fs::perms::owner_write;
    struct Case {
        const char* what;
        fs::perms file;
        fs::perms dir;
        bool trusted;
    };
    const Case cases[] = {
        {"private", mine, fs::perms::owner_all, true},
        {"readable by all", mine | fs::perms::group_read | fs::perms::others_read,
         fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec, true},
        {"group may write the file", mine | fs::perms::group_write, fs::perms::owner_all, false},
        {"others may write the file", mine | fs::perms::others_write, fs::perms::owner_all, false},
        {"group may write the folder", mine, fs::perms::owner_all | fs::perms::group_write | fs::perms::group_exec,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::permissions(ini, c.file);
        fs::permissions(folder, c.dir);
        EXPECT_EQ(IsPrivateToUser(ini.string()), c.trusted);
    }
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_FALSE(IsPrivateToUser((folder / "missing.ini").string()));
    EXPECT_FALSE(IsPrivateToUser(folder.string())) << "a folder is no settings file";
    fs::create_symlink(ini, folder / "link.ini");
    EXPECT_TRUE(IsPrivateToUser((folder / "link.ini").string())) << "a link the owner made to a private file";
}

}  // namespace
