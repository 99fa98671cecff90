// File names, file tests and folder listings.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>

#include "platform/hostlib/core/files.h"
#include "tests/common/TempFolder.h"

using namespace hostlib;

namespace {

TEST(Files, NamePartsSplitAtTheLastSlash)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"/opt/quelvo/QuelvoConfigurator.exe", "/opt/quelvo/", "QuelvoConfigurator.exe"},
        {"/opt/quelvo/", "/opt/quelvo/", ""},
        {"plain.exe", "", "plain.exe"},
        {"/", "/", ""},
        {"", "", ""},
        {"a\\b.exe", "", "a\\b.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.path), c.folder) << c.path;
        EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
    }
}

TEST(Files, ExistsIsForFilesAndDeleteRemovesThem)
{
    TempFolder folder;
    const std::string file = folder.Write("Quelvo.ini", "x");
    std::filesystem::create_directory(folder.File("sub"));
    std::filesystem::create_symlink(file, folder.File("link"));
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(folder.File("link")));
    EXPECT_FALSE(FileExists(folder.File("sub")));
    EXPECT_FALSE(FileExists(folder.File("missing")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(DeleteFile(folder.File("sub")));
    EXPECT_TRUE(std::filesystem::exists(folder.File("sub")));
    EXPECT_TRUE(DeleteFile(file));
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(DeleteFile(file));
}

TEST(Files, AgeIsTheModificationTimeInLocalTimeToTheMillisecond)
{
    TempFolder folder;
    const std::string file = folder.Write("Quelvo.log", "x");
    std::filesystem::create_directory(folder.File("sub"));
    std::filesystem::create_symlink(file, folder.File("link"));
    std::filesystem::create_symlink(folder.File("gone"), folder.File("dangling"));
    // 2026-03-04 05:06:07.891 local time, set on the file itself.
    std::tm local{};
    local.tm_year = 126;
    local.tm_mon = 2;
    local.tm_mday = 4;
    local.tm_hour = 5;
    local.tm_min = 6;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    const timespec times[2] = {{0, UTIME_OMIT}, {std::mktime(&local), 891'456'789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    const TDateTime expected = EncodeDateTime(2026, 3, 4, 5, 6, 7, 891);
    EXPECT_DOUBLE_EQ(FileAge(file), expected);
    EXPECT_DOUBLE_EQ(FileAge(folder.File("link")), expected) << "the link's target counts";
    for (const std::string& none : {folder.File("sub"), folder.File("missing"), folder.File("dangling"), std::string()})
        EXPECT_EQ(FileAge(none), -1) << none;
}

// Name -> attributes of every entry a listing reports.
std::map<std::string, int> List(const std::string& path, int attr)
{
    std::map<std::string, int> seen;
    TSearchRec rec;
    for (int r = FindFirst(path, attr, rec); r == 0; r = FindNext(rec)) {
        EXPECT_EQ(seen.count(rec.Name), 0u) << rec.Name << " twice";
        seen[rec.Name] = rec.Attr;
    }
    FindClose(rec);
    return seen;
}

TEST(Files, ListingsReportNamesAttributesAndSizes)
{
    TempFolder folder;
    folder.Write("a.exe", "12345");
    folder.Write("B.TXT", "");
    folder.Write(".hidden", "");
    std::filesystem::create_directory(folder.File("sub"));
    std::filesystem::create_directory_symlink(folder.File("sub"), folder.File("sublink"));
    std::filesystem::create_symlink(folder.File("gone"), folder.File("dangling"));

    const auto all = List(folder.Path() + "/*.*", faAnyFile);
    for (const char* name : {".", "..", "a.exe", "B.TXT", ".hidden", "sub", "sublink", "dangling"})
        EXPECT_EQ(all.count(name), 1u) << name;
    EXPECT_EQ(all.size(), 8u);
    EXPECT_TRUE(all.at("sub") & faDirectory);
    EXPECT_TRUE(all.at("sublink") & faDirectory) << "links are followed";
    EXPECT_FALSE(all.at("dangling") & faDirectory) << "a dangling link is a file";
    EXPECT_FALSE(all.at("a.exe") & faDirectory);
    EXPECT_TRUE(all.at(".hidden") & faHidden);

    // Plain files always; folders and hidden entries only when asked.
    const auto files = List(folder.Path() + "/*", 0);
    EXPECT_EQ(files.size(), 3u);
    EXPECT_EQ(files.count("a.exe") + files.count("B.TXT") + files.count("dangling"), 3u);
    const auto patterned = List(folder.Path() + "/*.txt", faAnyFile);
    ASSERT_EQ(patterned.size(), 1u) << "patterns ignore case";
    EXPECT_EQ(patterned.begin()->first, "B.TXT");

    TSearchRec rec;
    ASSERT_EQ(FindFirst(folder.File("a.exe"), faAnyFile, rec), 0);
    EXPECT_EQ(rec.Size, 5);
    EXPECT_NE(FindNext(rec), 0);
    FindClose(rec);
    EXPECT_NE(FindNext(rec), 0) << "a closed listing reports nothing";
}

TEST(Files, ListingsThatFindNothingOrCannotReadFail)
{
    TempFolder folder;
    TSearchRec rec;
    EXPECT_NE(FindFirst(folder.Path() + "/*.none", faAnyFile, rec), 0);
    EXPECT_NE(FindFirst(folder.File("missing") + "/*.*", faAnyFile, rec), 0);
    EXPECT_NE(FindFirst(folder.Write("file", "") + "/*.*", faAnyFile, rec), 0);
    if (::geteuid() != 0) {
        const std::string locked = folder.File("locked");
        std::filesystem::create_directory(locked);
        folder.Write("locked/x", "");
        ::chmod(locked.c_str(), 0);
        EXPECT_NE(FindFirst(locked + "/*.*", faAnyFile, rec), 0);
        ::chmod(locked.c_str(), 0700);
    }
}

}  // namespace
