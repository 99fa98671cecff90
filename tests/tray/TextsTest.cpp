// Texts of the tray: status, tooltip, About, log lines, cutting and the
// splitting of the user's command.

#include <gtest/gtest.h>

#include <string>

#include "platform/system/fake_system.h"
#include "tray/TrayTexts.h"

namespace {

using namespace quelvo::tray;

TEST(StatusTexts, ByStateAndCount)
{
    struct Case {
        bool enabled;
        int count;
        const char* names;
        const char* status;
    };
    const Case cases[] = {
        {false, 3, "a, b, c", "Currently disabled."},
        {true, 0, "", "Watching for processes to tame."},
        {true, -1, "", "Watching for processes to tame."},
        {true, 1, "hog", "Taming 1 process (hog)."},
        {true, 2, "hog, burn", "Taming 2 processes (hog, burn)."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusText(c.enabled, c.count, c.names), c.status);
        EXPECT_EQ(TipText(c.enabled, c.count, c.names), std::string("Quelvo - ") + c.status);
    }
}

TEST(StatusTexts, LongTextsAreCutBetweenCharacters)
{
    // "é" is two bytes; a cut in its middle must take it out whole.
    std::string names;
    for (int i = 0; i < 100; ++i)
        names += "\xC3\xA9";
    const std::string tip = TipText(true, 2, names);
    EXPECT_LE(tip.size(), 127u);
    const std::string head = "Quelvo - Taming 2 processes (";
    EXPECT_EQ(tip.substr(0, head.size()), head);
    EXPECT_EQ((tip.size() - head.size()) % 2, 0u) << "whole characters only";
    EXPECT_EQ(tip.substr(tip.size() - 2), "\xC3\xA9");

    std::string huge(2000, 'x');
    EXPECT_EQ(StatusText(true, 1, huge).size(), 499u);

    const std::pair<std::string, std::size_t> cuts[] = {
        {"abc", 3}, {"abcdef", 3}, {"a\xC3\xA9", 2}, {"a\xE2\x82\xAC" "b", 3}, {"a\xE2\x82\xAC" "b", 4}, {"", 0},
    };
    const char* expected[] = {"abc", "abc", "a", "a", "a\xE2\x82\xAC", ""};
    for (std::size_t i = 0; i < std::size(cuts); ++i)
        EXPECT_EQ(CutToCharacters(cuts[i].first, cuts[i].second), expected[i]) << i;
}

TEST(AboutTexts, VersionAndStatusUnderneath)
{
    EXPECT_EQ(AboutText(), "Quelvo v2.00.15\n\nReduces the priority of cpu-hogging programs.");
    EXPECT_EQ(AboutDialogText("Currently disabled."),
              "Quelvo v2.00.15\n\nReduces the priority of cpu-hogging programs.\r\n\r\n\r\nCurrently disabled.");
}

TEST(LogLines, FormatPaddingAndControlBytes)
{
    const std::string time = "Thu Dec 10 13:17:36 2026";  // 24 characters, as ctime gives
    EXPECT_EQ(LogLine(time, "Lowering Process Priority ", "hog"),
              "Thu Dec 10 13:17:36 2026  -> Lowering Process Priority  | hog\n");
    EXPECT_EQ(LogLine(time, "Starting Up", "hello world!"),
              "Thu Dec 10 13:17:36 2026  -> Starting Up | hello world!\n");
    EXPECT_EQ(LogLine("short", "E", "n"), "short                     -> E | n\n");
    // A name cannot add a forged line of its own.
    EXPECT_EQ(LogLine(time, "E", "evil\nThu Dec 10 -> Fake | x\r\x7f"),
              "Thu Dec 10 13:17:36 2026  -> E | evil?Thu Dec 10 -> Fake | x??\n");
    const std::string now = CtimeText();
    EXPECT_EQ(now.size(), 24u) << now;
    EXPECT_EQ(now.find('\n'), std::string::npos);
}

TEST(LogLines, ControlBytesBecomeQuestionMarks)
{
    EXPECT_EQ(ReplaceControlBytes(std::string("a\0b\tc\x1f\x7f\xC3\xA9", 9)), "a?b?c??\xC3\xA9");
}

class SplitCommand : public testing::Test {
protected:
    quelvo::sys::FakeSystem fake;
    quelvo::sys::FakeSystemScope scope{fake};
};

TEST_F(SplitCommand, FileAndParameters)
{
    fake.AddFile("/opt/My Tools/run tool");
    fake.AddFile("/usr/bin/top");
    fake.AddFile("/usr/bin/two words");
    struct Case {
        const char* command;
        const char* file;
        const char* parameters;
    };
    const Case cases[] = {
        {"", "", ""},
        {"/usr/bin/top", "/usr/bin/top", ""},
        {"/usr/bin/top -d 1", "/usr/bin/top", "-d 1"},
        {"/opt/My Tools/run tool --fast --quiet", "/opt/My Tools/run tool", "--fast --quiet"},
        {"/opt/My Tools/run tool", "/opt/My Tools/run tool", ""},
        {"missing program -x", "missing program -x", ""},
        {"/usr/bin/two words and more", "/usr/bin/two words", "and more"},
        // A leading quoted file name is taken as it stands.
        {"\"/opt/My Tools/run tool\" --fast", "/opt/My Tools/run tool", "--fast"},
        {"\"/not there/x y\"   -a  -b", "/not there/x y", "-a  -b"},
        {"\"/opt/My Tools/run tool\"", "/opt/My Tools/run tool", ""},
        {"\"unterminated name -x", "unterminated name -x", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const auto split = SplitCommandLine(c.command);
        EXPECT_EQ(split.file, c.file);
        EXPECT_EQ(split.parameters, c.parameters);
    }
}

}  // namespace
