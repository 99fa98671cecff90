#include "engine/CIniFile.h"
#include "engine/ProgramOptions.h"
#include "tests/common/TempFolder.h"
#include "tests/engine/WatcherFixture.h"

#include "platform/system/shell.h"
#include "platform/system/winbase.h"

namespace {

std::vector<std::string> RuleLines(const ProcessWatcher& w)
{
    std::vector<std::string> lines;
    for (const auto& r : w.Rules())
        lines.push_back(r->Name + "=" + ProcessWatcher::RuleText(r.get()));
    return lines;
}

TEST(PriorityNames, BothDirections)
{
    const std::pair<DWORD, const char*> table[] = {
        {IDLE_PRIORITY_CLASS, "Low"},          {BELOW_NORMAL_PRIORITY_CLASS, "Below Normal"},
        {NORMAL_PRIORITY_CLASS, "Normal"},     {ABOVE_NORMAL_PRIORITY_CLASS, "Above Normal"},
        {HIGH_PRIORITY_CLASS, "High"},         {REALTIME_PRIORITY_CLASS, "Realtime"},
    };
    for (const auto& [cls, name] : table) {
        EXPECT_EQ(ProcessWatcher::PriorityName(cls), name);
        EXPECT_EQ(ProcessWatcher::PriorityClassOf(name), cls);
    }
    EXPECT_EQ(ProcessWatcher::PriorityName(0), "");
    EXPECT_EQ(ProcessWatcher::PriorityName(0x1234), "Unknown");
    for (const char* text : {"low", "", "Below normal", "Normal ", "Unknown"})
        EXPECT_EQ(ProcessWatcher::PriorityClassOf(text), 0u) << text;
}

TEST(RuleText, SetAcceptsExactlyTheRuleTexts)
{
    struct Case {
        const char* text;
        bool accepted;
        ProcessOverrideRule::Action action;
        DWORD cls;
    };
    const Case cases[] = {
        {"Ignore", true, ProcessOverrideRule::Ignore, 0},
        {"Force Low", true, ProcessOverrideRule::ForceClass, IDLE_PRIORITY_CLASS},
        {"Force Below Normal", true, ProcessOverrideRule::ForceClass, BELOW_NORMAL_PRIORITY_CLASS},
        {"Force Normal", true, ProcessOverrideRule::ForceClass, NORMAL_PRIORITY_CLASS},
        {"Force Above Normal", true, ProcessOverrideRule::ForceClass, ABOVE_NORMAL_PRIORITY_CLASS},
        {"Force High", true, ProcessOverrideRule::ForceClass, HIGH_PRIORITY_CLASS},
        {"Force Realtime", true, ProcessOverrideRule::ForceClass, REALTIME_PRIORITY_CLASS},
        {"Force Kill", true, ProcessOverrideRule::Kill, 0},
        {"force low", false, ProcessOverrideRule::Ignore, 0},
        {"Force ", false, ProcessOverrideRule::Ignore, 0},
        {"Force Unknown", false, ProcessOverrideRule::Ignore, 0},
        {"Force Restart", false, ProcessOverrideRule::Ignore, 0},
        {" Ignore", false, ProcessOverrideRule::Ignore, 0},
        {"", false, ProcessOverrideRule::Ignore, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ProcessOverrideRule rule;
        rule.PriorityClass = 0x99;
        EXPECT_EQ(rule.Set("app", c.text), c.accepted);
        EXPECT_EQ(rule.Name, "app");
        EXPECT_EQ(rule.RuleAction, c.action);
        if (c.action == ProcessOverrideRule::ForceClass) {
            EXPECT_EQ(rule.PriorityClass, c.cls);
        }
        if (c.accepted) {
            EXPECT_EQ(rule.Text(), c.text);
        }
    }
    ProcessOverrideRule restart;
    restart.RuleAction = ProcessOverrideRule::Restart;
    EXPECT_EQ(restart.Text(), "Force Restart");
    EXPECT_EQ(ProcessWatcher::RuleText(nullptr), "");
}

class Rules : public WatcherFixture {};

TEST_F(Rules, RuleStringsParse)
{
    struct Case {
        const char* text;
        std::vector<std::string> rules;
    };
    const Case cases[] = {
        {"", {}},
        {"a?Force Low|b?Ignore", {"a=Force Low", "b=Ignore"}},
        {"a?force low", {"a=Ignore"}},             // unknown text: an ignore rule
        {"a?", {"a=Ignore"}},
        {"noquestion|b?Force High", {"b=Force High"}},
        {"?Force Low", {}},                        // no name, no rule
        {"x?y?Force Kill", {"y=Force Kill"}},      // the piece between the last two
        {" a ?Force Low", {" a =Force Low"}},      // nothing is trimmed
        {"a?Force Low|", {"a=Force Low"}},
        {"||a?Ignore||", {"a=Ignore"}},
        {"A.exe?Force Normal|a.exe?Force Realtime", {"A.exe=Force Normal", "a.exe=Force Realtime"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        W().DeleteAllRules();
        W().ParseRuleStrings(c.text);
        EXPECT_EQ(RuleLines(W()), c.rules);
    }
}

TEST_F(Rules, RuleStringsRoundTrip)
{
    const char* const all[] = {"Ignore", "Force Low", "Force Below Normal", "Force Normal",
                               "Force Above Normal", "Force High", "Force Realtime", "Force Kill"};
    std::vector<std::string> expected;
    for (int i = 0; i < 8; ++i) {
        const std::string name = "prog" + std::to_string(7 - i) + ".exe";
        ASSERT_NE(W().SetRule(name, all[i]), nullptr);
        expected.push_back(name + "=" + all[i]);
    }
    std::string text;
    W().BuildRuleStrings(text);
    EXPECT_EQ(text.substr(0, 32), "prog7.exe?Ignore|prog6.exe?Force");
    W().DeleteAllRules();
    W().ParseRuleStrings(text);
    EXPECT_EQ(RuleLines(W()), expected);

    std::string empty = "kept";
    W().DeleteAllRules();
    W().BuildRuleStrings(empty);
    EXPECT_EQ(empty, "kept");  // appends nothing for an empty list
}

TEST_F(Rules, SetRuleReplacesTheProgramsRules)
{
    W().ParseRuleStrings("a?Force Low|b?Ignore|a?Force Kill|c?Ignore");
    ProcessOverrideRule* rule = W().SetRule("a", "Force High");
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(RuleLines(W()), (std::vector<std::string>{"b=Ignore", "c=Ignore", "a=Force High"}));
    EXPECT_EQ(W().FindRule("a"), rule);
    EXPECT_EQ(W().FindRule("A"), nullptr);

    EXPECT_EQ(W().SetRule("b", ""), nullptr);  // unknown text: the rules go
    EXPECT_EQ(W().SetRule("c", "ignore"), nullptr);
    EXPECT_EQ(RuleLines(W()), std::vector<std::string>{"a=Force High"});

    W().DeleteRule(rule);
    EXPECT_TRUE(W().Rules().empty());
}

TEST_F(Rules, SetRuleRefusesNamesThatCannotBeStored)
{
    W().SetRule("ok", "Ignore");
    for (const std::string& name : {std::string("a|b"), std::string("a?b"), std::string("tab\there"), std::string("nl\n"), std::string()}) {
        EXPECT_EQ(W().SetRule(name, "Force Low"), nullptr) << name;
    }
    EXPECT_EQ(RuleLines(W()), std::vector<std::string>{"ok=Ignore"});
    EXPECT_NE(W().SetRule("name with blanks and \xC3\xA9.exe", "Force Low"), nullptr);
}

TEST_F(Rules, RulesThatWouldBreakTheRuleStringsAreLeftOut)
{
    TempFolder dir;
    // Only the legacy file can give such names: quotes let a bar in.
    const std::string path = dir.Write("ApplicationOverrides.txt",
                                       "before.exe|IDLE\n"
                                       "\"we|ird\".exe|HIGH\n"
                                       "\"what?\".exe|KILL\n"
                                       "|NORMAL\n"
                                       "after.exe|IGNORE\n");
    ASSERT_TRUE(W().ReadOverridesFile(path));
    ASSERT_EQ(W().Rules().size(), 5u);
    W().ParseRuleStrings("tab\there?Force High");  // harmless to the text: kept
    std::string text;
    W().BuildRuleStrings(text);
    EXPECT_EQ(text, "before.exe?Force Low|after.exe?Ignore|tab\there?Force High");

    // Such a rule can still be removed by name, though never set again.
    EXPECT_EQ(W().SetRule("\"we|ird\".exe", "Force Low"), nullptr);
    EXPECT_EQ(W().SetRule("tab\there", ""), nullptr);
    EXPECT_EQ(RuleLines(W()), (std::vector<std::string>{"before.exe=Force Low", "\"what?\".exe=Force Kill",
                                                        "=Force Normal", "after.exe=Ignore"}));
}

TEST_F(Rules, RuleTextForARecord)
{
    Add(10, "a");
    Add(11, "b");
    W().ScanProcesses();
    W().EnforceRules = false;
    W().SetRule("a", "Force Kill");
    EXPECT_EQ(W().RuleTextFor(W().FindProcess(10)), "Force Kill");
    EXPECT_EQ(W().RuleTextFor(W().FindProcess(11)), "");
}

TEST(LegacyLine, SplitAtSeparator)
{
    struct Case {
        const char* source;
        const char* left;
        const char* rest;
    };
    const Case cases[] = {
        {"name|IDLE", "name", "IDLE"},
        {"  name \t|\t IDLE  ", "name", "IDLE"},
        {"\"a|b\"|HIGH", "\"a|b\"", "HIGH"},
        {"\"open|quote", "\"open|quote", ""},
        {"|KILL", "", "KILL"},
        {"name|", "name", ""},
        {"no separator ", "no separator", ""},
        {"", "", ""},
        {"a|b|c", "a", "b|c"},
    };
    for (const auto& c : cases) {
        std::string source = c.source;
        std::string left = "junk";
        ProcessOverrideRule::SplitAtSeparator(source, left, '|');
        EXPECT_EQ(left, c.left) << c.source;
        EXPECT_EQ(source, c.rest) << c.source;
    }
}

TEST_F(Rules, LegacyFile)
{
    TempFolder dir;
    const std::string longName(1030, 'n');
    const std::string path = dir.Write("ApplicationOverrides.txt",
                                       "// comment|IDLE\r\n"
                                       "  spaced.exe  |  IDLE \t\r\n"
                                       "\"we|ird\".exe|HIGH\n"
                                       "lower.exe|idle\n"
                                       "ab\n"
                                       "x|\n"
                                       "ign.exe|IGNORE\n"
                                       "k.exe|KILL\n"
                                       "n.exe|NORMAL\n"
                                       "bn.exe|BELOWNORMAL\n"
                                       "an.exe|ABOVENORMAL\n"
                                       "rt.exe|REALTIME\n"
                                       "nodirective.exe\n" +
                                           longName + "|IDLE\n" +
                                           std::string(1017, 'p') + "|IDLE\n"
                                           "last.exe|HIGH");
    W().SetRule("old", "Ignore");
    EXPECT_TRUE(W().ReadOverridesFile(path));
    EXPECT_EQ(RuleLines(W()), (std::vector<std::string>{
                                  "spaced.exe=Force Low",
                                  "\"we|ird\".exe=Force High",
                                  "ign.exe=Ignore",
                                  "k.exe=Force Kill",
                                  "n.exe=Force Normal",
                                  "bn.exe=Force Below Normal",
                                  "an.exe=Force Above Normal",
                                  "rt.exe=Force Realtime",
                                  // the 1022-byte pieces of the long lines
                                  "nnnnnnnn=Force Low",
                                  std::string(1017, 'p') + "=Force Low",
                                  "last.exe=Force High",
                              }));

    EXPECT_TRUE(W().ReadOverridesFile(dir.File("missing.txt")));
    EXPECT_TRUE(W().Rules().empty());
}

// ---- Options ---------------------------------------------------------------

class Options : public WatcherFixture {
protected:
    ProgramOptions options;
    void SetUp() override { options.Watcher = &W(); }
};

TEST_F(Options, FreshDocumentGetsEveryKeyInOrder)
{
    options.LeftClickLaunch = "tool --x";
    options.LaunchCaption = "Tool";
    options.Logging = true;
    options.DoubleClickMethod = 2;
    W().SetRule("b.exe", "Force Low");
    W().SetRule("a.exe", "Ignore");
    CIniFile ini;
    ini.SetString("General", "Version", "1", true);
    EXPECT_TRUE(SaveOptions(options, ini));
    EXPECT_EQ(ini.Serialize(),
              "[General]\r\r\nVersion=1\r\r\n\r\r\n"
              "[Settings]\r\r\n"
              "LeftClickLaunch=tool --x\r\r\n"
              "LaunchCaption=Tool\r\r\n"
              "Logging=1\r\r\n"
              "BalloonTips=1\r\r\n"
              "CpuTriggerHigh=70\r\r\n"
              "CpuTriggerLow=8\r\r\n"
              "CpuMinInterval=8\r\r\n"
              "CpuSmoothing=80\r\r\n"
              "DoubleClickMethod=2\r\r\n\r\r\n"
              "[Rules]\r\r\n"
              "RuleStrings=b.exe?Force Low|a.exe?Ignore\r\r\n\r\r\n");
}

TEST_F(Options, LoadReadsEveryKey)
{
    CIniFile ini;
    ini.Parse("[settings]\nleftclicklaunch=run me\nLaunchCaption=Run\nLogging=1\nBalloonTips=0\n"
              "CpuTriggerHigh=60\nCpuTriggerLow=5\nCpuMinInterval=3\nCpuSmoothing=50\nDoubleClickMethod=1\n"
              "[Rules]\nRuleStrings=x?Force High|y?Ignore\n");
    W().SetRule("old", "Ignore");
    EXPECT_TRUE(LoadOptions(options, ini));
    EXPECT_EQ(options.GetLeftClickLaunch(), "run me");
    EXPECT_EQ(options.GetLaunchCaption(), "Run");
    EXPECT_TRUE(options.Logging);
    EXPECT_FALSE(options.BalloonTips);
    EXPECT_EQ(options.DoubleClickMethod, 1);
    EXPECT_EQ(W().CpuTriggerHigh, 60);
    EXPECT_EQ(W().CpuTriggerLow, 5);
    EXPECT_EQ(W().CpuMinInterval, 3);
    EXPECT_EQ(W().CpuSmoothing, 50);
    EXPECT_EQ(W().SmoothingFactor, 0.5);
    EXPECT_EQ(RuleLines(W()), (std::vector<std::string>{"x=Force High", "y=Ignore"}));
}

TEST_F(Options, MissingKeysKeepTheirValuesAndRulesEmpty)
{
    options.LaunchCaption = "Keep";
    W().CpuTriggerHigh = 90;
    W().SetRule("old", "Ignore");
    CIniFile ini;
    ini.Parse("[Settings]\nCpuTriggerLow=5\n");
    LoadOptions(options, ini);
    EXPECT_EQ(W().CpuTriggerLow, 5);
    EXPECT_EQ(W().CpuTriggerHigh, 90);
    EXPECT_EQ(W().CpuMinInterval, 8);
    EXPECT_EQ(W().CpuSmoothing, 80);
    EXPECT_EQ(options.LaunchCaption, "Keep");
    EXPECT_TRUE(options.BalloonTips);
    EXPECT_TRUE(W().Rules().empty());
}

TEST_F(Options, ValuesThatWouldBreakTheWatcherAreBroughtIntoRange)
{
    struct Case {
        const char* key;
        const char* value;
        int ProcessWatcher::*field;
        int expected;
    };
    const Case cases[] = {
        {"CpuSmoothing", "150", &ProcessWatcher::CpuSmoothing, 99},
        {"CpuSmoothing", "100", &ProcessWatcher::CpuSmoothing, 99},
        {"CpuSmoothing", "99", &ProcessWatcher::CpuSmoothing, 99},
        {"CpuSmoothing", "-1", &ProcessWatcher::CpuSmoothing, 0},
        {"CpuSmoothing", "0", &ProcessWatcher::CpuSmoothing, 0},
        {"CpuTriggerHigh", "101", &ProcessWatcher::CpuTriggerHigh, 100},
        {"CpuTriggerHigh", "-5", &ProcessWatcher::CpuTriggerHigh, 0},
        {"CpuTriggerLow", "250", &ProcessWatcher::CpuTriggerLow, 100},
        {"CpuTriggerLow", "abc", &ProcessWatcher::CpuTriggerLow, 0},
        {"CpuMinInterval", "0", &ProcessWatcher::CpuMinInterval, 1},
        {"CpuMinInterval", "-100", &ProcessWatcher::CpuMinInterval, 1},
        {"CpuMinInterval", "99999999999", &ProcessWatcher::CpuMinInterval, 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        CIniFile ini;
        ini.SetString("Settings", c.key, c.value, true);
        LoadOptions(options, ini);
        EXPECT_EQ(W().*c.field, c.expected);
        EXPECT_EQ(W().SmoothingFactor, W().CpuSmoothing * 0.01);
    }
    CIniFile letters;
    letters.Parse("[Settings]\nLogging=yes\n");
    options.Logging = true;
    LoadOptions(options, letters);
    EXPECT_FALSE(options.Logging);
}

TEST_F(Options, SaveThenLoadReproducesTheRulesInOrder)
{
    TempFolder dir;
    W().ParseRuleStrings("z?Force Kill|a?Force Below Normal|m?Ignore|a?Force High");
    const auto before = RuleLines(W());
    CIniFile out(dir.File("Quelvo.ini"));
    SaveOptions(options, out);
    ASSERT_TRUE(out.Save());
    W().DeleteAllRules();
    CIniFile in(dir.File("Quelvo.ini"));
    ASSERT_TRUE(in.Load());
    LoadOptions(options, in);
    EXPECT_EQ(RuleLines(W()), before);
}

TEST_F(Options, DefaultSettingsFileIgnoresTheDesktop)
{
    CIniFile ini(QUELVO_SOURCE_DIR "/scripts/default-Quelvo.ini");
    ASSERT_TRUE(ini.Load());
    // Written as this program writes it.
    EXPECT_EQ(TempFolder::Read(ini.Path()), ini.Serialize());
    LoadOptions(options, ini);
    EXPECT_EQ(W().CpuTriggerHigh, 70);
    EXPECT_EQ(W().CpuTriggerLow, 8);
    EXPECT_EQ(W().CpuMinInterval, 8);
    EXPECT_EQ(W().CpuSmoothing, 80);
    EXPECT_TRUE(options.BalloonTips);
    EXPECT_FALSE(options.Logging);
    std::vector<std::string> names;
    for (const auto& r : W().Rules()) {
        EXPECT_EQ(r->RuleAction, ProcessOverrideRule::Ignore);
        names.push_back(r->Name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Xorg", "Xwayland", "gnome-shell", "kwin_x11", "kwin_wayland",
                                               "plasmashell", "xfwm4", "mutter", "cinnamon", "marco"}));
}

// ---- Shell helpers ---------------------------------------------------------

TEST_F(Options, SetCurrentDirToExe)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/quelvo/QuelvoTray.exe", "/opt/quelvo"},
        {"/QuelvoTray.exe", "/"},
        {"QuelvoTray.exe", "QuelvoTray.exe"},
    };
    for (const auto& [self, folder] : cases) {
        fake.ClearRecords();
        fake.SetSelfPath(self);
        SetCurrentDirToExe();
        EXPECT_EQ(fake.directoryChanges, std::vector<std::string>{folder}) << self;
    }
}

TEST_F(Options, SpecialFolderAndShortcut)
{
    TempFolder dir;
    fake.SetSpecialFolder(CSIDL_STARTUP, dir.Path());
    EXPECT_EQ(SpecialFolderPath(CSIDL_STARTUP), dir.Path());
    EXPECT_EQ(SpecialFolderPath(0x7777), "");

    EXPECT_EQ(StartupShortcutName(), "Quelvo.desktop");
    const std::string link = dir.File(StartupShortcutName());
    CreateShortcut("/opt/quelvo/QuelvoTray.exe", "/opt/quelvo", "", link, "");
    const std::string entry = TempFolder::Read(link);
    EXPECT_NE(entry.find("QuelvoTray.exe"), std::string::npos) << entry;
    EXPECT_NE(entry.find("/opt/quelvo"), std::string::npos) << entry;
}

} // namespace
