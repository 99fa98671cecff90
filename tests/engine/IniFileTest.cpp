#include "engine/CIniFile.h"
#include "tests/common/TempFolder.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::string Eol(const std::string& lines, const std::string& eol)
{
    std::string out;
    std::size_t pos = 0;
    while (pos < lines.size()) {
        auto end = lines.find('\n', pos);
        if (end == std::string::npos)
            end = lines.size();
        out += lines.substr(pos, end - pos) + eol;
        pos = end + 1;
    }
    return out;
}

const char* const kSample =
    ";file comment\n"
    "\n"
    "[Settings]\n"
    "#section comment\n"
    "CpuTriggerHigh=70\n"
    "LeftClickLaunch=prog --a=b\n"
    "[Rules]\n"
    "RuleStrings=a?Ignore|b?Force Low\n";

TEST(IniFile, LineEndsReadAlike)
{
    for (const char* eol : {"\n", "\r\n", "\r\r\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(eol)));
        CIniFile ini;
        ASSERT_TRUE(ini.Parse(Eol(kSample, eol)));
        EXPECT_EQ(ini.FileComments(), std::vector<std::string>{"file comment"});
        EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Settings", "Rules"}));
        EXPECT_EQ(ini.Sections()[0].comments, std::vector<std::string>{"section comment"});
        EXPECT_EQ(ini.GetInt("Settings", "CpuTriggerHigh", 0), 70);
        EXPECT_EQ(ini.GetString("Settings", "LeftClickLaunch", ""), "prog --a=b");
        EXPECT_EQ(ini.GetString("Rules", "RuleStrings", ""), "a?Ignore|b?Force Low");
    }
}

TEST(IniFile, LastLineWithoutLineEndIsRead)
{
    CIniFile ini;
    ASSERT_TRUE(ini.Parse("[S]\r\r\nA=1\r\r\nB=2"));
    EXPECT_EQ(ini.GetInt("S", "B", 0), 2);
}

TEST(IniFile, NamesCompareCaseInsensitively)
{
    for (const char* text : {"[Settings]\nCpuTriggerHigh=70\n", "[settings]\ncputriggerhigh=70\n",
                             "[SETTINGS]\nCPUTRIGGERHIGH=70\n", "[sEtTiNgS]\ncPuTrIgGeRhIgH=70\n"}) {
        CIniFile ini;
        ASSERT_TRUE(ini.Parse(text));
        EXPECT_EQ(ini.GetInt("Settings", "CpuTriggerHigh", 0), 70) << text;
    }
}

// Each line is parsed on its own into a document that already has [S].
struct LineCase {
    const char* line;
    const char* section;  // where the lookup goes
    const char* name;
    const char* expected; // "<none>" when the lookup must miss
};

TEST(IniFile, LineForms)
{
    const LineCase cases[] = {
        {"Logging =1", "S", "Logging", "<none>"},
        {"Logging =1", "S", "Logging ", "1"},
        {"Logging= 1", "S", "Logging", " 1"},
        {"a=b=c", "S", "a", "b=c"},
        {"x;y=z", "S", "x", "<none>"},
        {"name[1]=value", "1", "name", "<none>"},
        {"noseparator", "S", "noseparator", "<none>"},
        {"=empty name", "S", "", "empty name"},
        {"k=", "S", "k", ""},
        {"k=  spaced  ", "S", "k", "  spaced  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CIniFile ini;
        ini.Parse(std::string("[S]\n") + c.line + "\n");
        EXPECT_EQ(ini.GetString(c.section, c.name, "<none>"), c.expected);
    }
}

TEST(IniFile, CommentsGoWhereTheyStand)
{
    CIniFile ini;
    ini.Parse("#first\nabc;second\n[S]\nx;y=z\n[T]\n#third\n");
    EXPECT_EQ(ini.FileComments(), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(ini.Sections()[0].comments, std::vector<std::string>{"y=z"});
    EXPECT_EQ(ini.Sections()[1].comments, std::vector<std::string>{"third"});
}

TEST(IniFile, HeadersNeedAClosingBracketAfterTheOpeningOne)
{
    CIniFile ini;
    ini.Parse("[Good]\n[Open\n]Wrong[\n[Last]]\n[]\n");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Good", "Last]", ""}));
}

TEST(IniFile, EntriesBeforeTheFirstHeaderGoToAnUnnamedSection)
{
    CIniFile ini;
    EXPECT_TRUE(ini.Parse("A=1\n[S]\nB=2\n"));
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"", "S"}));
    EXPECT_EQ(ini.GetInt("", "A", 0), 1);
}

TEST(IniFile, DuplicateSectionCollectsIntoTheFirst)
{
    CIniFile ini;
    ini.Parse("[Settings]\nA=1\n[Other]\n[Settings]\nB=2\n");
    ASSERT_EQ(ini.SectionNames(), (std::vector<std::string>{"Settings", "Other", "Settings"}));
    EXPECT_EQ(ini.Sections()[0].names, (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(ini.Sections()[2].names.empty());
    EXPECT_EQ(ini.Serialize(), "[Settings]\r\r\nA=1\r\r\nB=2\r\r\n\r\r\n[Other]\r\r\n\r\r\n[Settings]\r\r\n\r\r\n");
}

TEST(IniFile, ByteOrderMarkAndOddLinesAreSkipped)
{
    CIniFile ini;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(ini.Parse("\xEF\xBB\xBF[Rules]\n\tTabbed=1\n\x80odd=2\nRuleStrings=a?Ignore\n"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    // Once per load, however many lines were odd.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failing on char 9\n");
    EXPECT_EQ(ini.Problem(), "Failing on char 9");
    EXPECT_EQ(ini.SectionNames(), std::vector<std::string>{"Rules"});
    EXPECT_EQ(ini.GetString("Rules", "RuleStrings", ""), "a?Ignore");
    EXPECT_EQ(ini.GetString("Rules", "\tTabbed", "<none>"), "<none>");
}

TEST(IniFile, ManyKeysLoadInLinearTime)
{
    // Quadratic lookups made this take minutes; the test's time-out catches
    // a return to them.
    constexpr int kKeys = 100000;
    std::string text = "[Settings]\n";
    for (int i = 0; i < kKeys; ++i)
        text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    text += "[settings]\nKEY7=again\n";
    CIniFile ini;
    ASSERT_TRUE(ini.Parse(text));
    EXPECT_EQ(ini.Sections()[0].names.size(), static_cast<std::size_t>(kKeys));
    EXPECT_EQ(ini.GetInt("SETTINGS", "key99999", 0), 99999);
    EXPECT_EQ(ini.GetString("Settings", "key7", ""), "again") << "the first section of a name collects its entries";
    EXPECT_EQ(ini.FindEntry(1, "Key7"), -1);
}

TEST(IniFile, BinaryDataIsReportedOnceAndHoldsNoSection)
{
    std::string junk;
    for (int i = 0; i < 64 * 1024; ++i)
        junk += static_cast<char>((i * 7919) % 256);
    CIniFile ini;
    testing::internal::CaptureStderr();
    ini.Parse(junk);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed.substr(0, 200);
}

TEST(IniFile, ResultTellsWhetherASectionWasRead)
{
    CIniFile ini;
    EXPECT_FALSE(ini.Parse(""));
    EXPECT_FALSE(ini.Parse(";only a comment\nno separator\n"));
    EXPECT_TRUE(ini.Parse("[S]\n"));
}

TEST(IniFile, AtoIReadsLikeTheCLibrary)
{
    const std::pair<const char*, int> cases[] = {
        {"70", 70}, {" 70", 70}, {"\t-5", -5}, {"+8", 8}, {"12ab", 12}, {"abc", 0}, {"", 0},
        {"- 3", 0}, {"2147483647", INT_MAX}, {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN}, {"-99999999999999999999", INT_MIN},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(CIniFile::AtoI(text), value) << '"' << text << '"';
}

TEST(IniFile, GettersFallBackToTheirDefaults)
{
    CIniFile ini;
    ini.Parse("[Settings]\nLogging=yes\nCount=3x\nOn=1\n");
    EXPECT_EQ(ini.GetInt("Settings", "Missing", 42), 42);
    EXPECT_EQ(ini.GetInt("Nowhere", "Count", -1), -1);
    EXPECT_EQ(ini.GetInt("Settings", "Count", 0), 3);
    EXPECT_FALSE(ini.GetBool("Settings", "Logging", true));
    EXPECT_TRUE(ini.GetBool("Settings", "On", false));
    EXPECT_TRUE(ini.GetBool("Settings", "Missing", true));
    EXPECT_EQ(ini.GetString("Settings", "Missing", "dflt"), "dflt");
}

TEST(IniFile, SettersCreateOnlyWhenAsked)
{
    CIniFile ini;
    EXPECT_FALSE(ini.SetString("S", "A", "1", false));
    EXPECT_EQ(ini.FindSection("S"), -1);
    EXPECT_TRUE(ini.SetString("S", "A", "1", true));
    EXPECT_FALSE(ini.SetString("S", "B", "2", false));
    EXPECT_TRUE(ini.SetString("s", "a", "3", false));
    EXPECT_EQ(ini.Sections()[0].names, std::vector<std::string>{"A"});
    EXPECT_EQ(ini.Sections()[0].values, std::vector<std::string>{"3"});
    EXPECT_TRUE(ini.SetInt("S", "N", -12));
    EXPECT_TRUE(ini.SetBool("S", "F", true));
    EXPECT_EQ(ini.GetString("S", "N", ""), "-12");
    EXPECT_EQ(ini.GetString("S", "F", ""), "1");
    EXPECT_EQ(ini.FindEntry(-1, "A"), -1);
    EXPECT_EQ(ini.FindEntry(7, "A"), -1);
    EXPECT_FALSE(ini.AddSectionComment(3, "x"));
    EXPECT_FALSE(ini.AddSectionComment("Missing", "x"));
    EXPECT_TRUE(ini.AddSectionComment("S", "x"));
}

TEST(IniFile, SerializesEveryLineWithCrCrLf)
{
    CIniFile bare;
    bare.SetString("General", "A", "1", true);
    bare.SetString("Rules", "RuleStrings", "", true);
    EXPECT_EQ(bare.Serialize(), "[General]\r\r\nA=1\r\r\n\r\r\n[Rules]\r\r\nRuleStrings=\r\r\n\r\r\n");

    CIniFile full;
    full.AddFileComment("one");
    full.AddFileComment("");
    const int s = full.AddSection("S");
    full.AddSectionComment(s, "note");
    full.SetString("S", "K", "v v", true);
    EXPECT_EQ(full.Serialize(), ";one\r\r\n;\r\r\n\r\r\n[S]\r\r\n;note\r\r\nK=v v\r\r\n\r\r\n");

    EXPECT_EQ(CIniFile().Serialize(), "");
}

TEST(IniFile, SaveThenLoadGivesTheSameBytes)
{
    TempFolder dir;
    CIniFile ini(dir.File("Quelvo.ini"));
    ini.Parse(kSample);
    ASSERT_TRUE(ini.Save());
    const std::string written = TempFolder::Read(dir.File("Quelvo.ini"));
    EXPECT_EQ(written, ini.Serialize());

    CIniFile again(dir.File("Quelvo.ini"));
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Serialize(), written);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(IniFile, SaveReplacesAndKeepsTheFileMode)
{
    TempFolder dir;
    const std::string path = dir.Write("Quelvo.ini", "old contents that are longer than the new ones\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    CIniFile ini(path);
    ini.SetString("S", "A", "1", true);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(TempFolder::Read(path), "[S]\r\r\nA=1\r\r\n\r\r\n");
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(IniFile, SaveThroughALinkReplacesTheFileItPointsTo)
{
    TempFolder dir;
    std::filesystem::create_directory(dir.File("real"));
    const std::string real = dir.Write("real/Quelvo.ini", "[Old]\n");
    const std::string link = dir.File("Quelvo.ini");
    std::filesystem::create_symlink("real/Quelvo.ini", link);
    CIniFile ini(link);
    ini.SetString("S", "A", "1", true);
    ASSERT_TRUE(ini.Save());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(TempFolder::Read(real), "[S]\r\r\nA=1\r\r\n\r\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("real")), {}), 1);
}

TEST(IniFile, FailuresAreReported)
{
    TempFolder dir;
    CIniFile missing(dir.File("absent.ini"));
    EXPECT_FALSE(missing.Load());
    EXPECT_TRUE(missing.SectionNames().empty());

    // Far larger than any settings file: refused rather than read whole.
    const std::string huge = dir.Write("huge.ini", "[S]\nA=1\n");
    std::filesystem::resize_file(huge, 17 * 1024 * 1024);
    CIniFile tooLarge(huge);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(tooLarge.Load());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), huge + ": too large\n");
    EXPECT_TRUE(tooLarge.SectionNames().empty());
    std::filesystem::remove(huge);

    testing::internal::CaptureStderr();
    CIniFile folder(dir.Path());
    EXPECT_FALSE(folder.Load());
    EXPECT_EQ(folder.Problem(), dir.Path() + ": not a regular file");
    // A named pipe nobody writes to: refused at once instead of waited on.
    ASSERT_EQ(::mkfifo(dir.File("fifo.ini").c_str(), 0600), 0);
    CIniFile fifo(dir.File("fifo.ini"));
    EXPECT_FALSE(fifo.Load());
    EXPECT_EQ(fifo.Problem(), dir.File("fifo.ini") + ": not a regular file");
    std::filesystem::remove(dir.File("fifo.ini"));
    CIniFile device("/dev/zero");
    EXPECT_FALSE(device.Load());
    EXPECT_EQ(device.Problem(), "/dev/zero: not a regular file");
    testing::internal::GetCapturedStderr();

    CIniFile unwritable(dir.File("no/such/folder/Quelvo.ini"));
    unwritable.SetString("S", "A", "1", true);
    EXPECT_FALSE(unwritable.Save());
    EXPECT_FALSE(CIniFile().Save());

    // A folder in the file's place: the rename fails and nothing is left.
    std::filesystem::create_directory(dir.File("taken.ini"));
    std::filesystem::create_directory(dir.File("taken.ini/x"));
    CIniFile blocked(dir.File("taken.ini"));
    blocked.SetString("S", "A", "1", true);
    EXPECT_FALSE(blocked.Save());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(IniFile, LoadAddsToTheDocument)
{
    TempFolder dir;
    CIniFile ini(dir.Write("a.ini", "[S]\nA=1\n"));
    ini.SetString("S", "A", "0", true);
    ini.SetString("T", "B", "2", true);
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"S", "T", "S"}));
    EXPECT_EQ(ini.GetInt("S", "A", -1), 1);
}

} // namespace
