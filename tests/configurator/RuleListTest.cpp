// The rule list over scripted processes: rows from the settings, the open
// dialog and dropped files, a row's rule changed or deleted, and both lists
// and the saved rules kept in step.
#include "tests/configurator/ListsFixture.h"

#include <filesystem>
#include <optional>

#include "platform/hostlib/stdctrls/dialogs.h"
#include "platform/windows/x11/dropfiles.h"

using namespace configuratortest;
using namespace hostlib;

namespace {

class RuleListTest : public ScriptedTest {
protected:
    void TearDown() override
    {
        SetFileDialogResponder(nullptr);
        ScriptedTest::TearDown();
    }
    void OpenWithProcesses()
    {
        fake.AddProcess(100, "/usr/bin/hog.exe");
        fake.AddProcess(101, "/usr/bin/hog.exe");
        fake.AddProcess(102, "/usr/bin/app.exe");
        AddTrayWithoutWindow();
        Open();
        form->HideLowCheckBox->SetChecked(false);
        Tick(2);
    }
    TcxTreeListNode* RuleRow(const std::string& name) const
    {
        for (int i = 0; i < Rules()->Count(); ++i)
            if (Rules()->Items(i)->GetText(0) == name) return Rules()->Items(i);
        return nullptr;
    }
    // Dropped from a file manager onto the rule list.
    void Drop(const std::string& path)
    {
        ASSERT_TRUE(quelvo::win::PostDroppedFiles(Rules()->Handle(), {path}, POINT{5, 5}));
        Pump();
    }
    void PickRule(const std::string& name, const std::string& text)
    {
        TcxTreeListNode* row = RuleRow(name);
        ASSERT_NE(row, nullptr) << name;
        row->SetFocused(true);
        row->SetValue(1, Variant(text));
        form->cxTreeListColumn_RuleRuleStringPropertiesChange(form);
    }
};

TEST_F(RuleListTest, TwoRulesOfOneProgramInTheFileShowAsOneRowAndAreSavedAsOne)
{
    folder.Write("Quelvo.ini", "[Rules]\nRuleStrings=a.exe?Force Low|b.exe?Ignore|a.exe?Ignore\n");
    OpenWithProcesses();
    EXPECT_EQ(RuleRows(), "a.exe=Force Low, b.exe=Ignore");
    EXPECT_EQ(RuleStrings(), "a.exe?Force Low|b.exe?Ignore") << "written by the first tick";
    EXPECT_EQ(WaitingRequest(), 1);
}

TEST_F(RuleListTest, ARuleChangedInItsRowReachesTheProcessRowsOfThatProgram)
{
    folder.Write("Quelvo.ini", "[Rules]\nRuleStrings=hog.exe?Ignore\n");
    OpenWithProcesses();
    EXPECT_EQ(Row(100)->GetText(4), "Ignore");
    PickRule("hog.exe", "Force High");
    EXPECT_EQ(Rules()->FocusedNode(), RuleRow("hog.exe")) << "the focus stays";
    EXPECT_EQ(RuleRows(), "hog.exe=Force High");
    for (DWORD pid : {100u, 101u}) EXPECT_EQ(Row(pid)->GetText(4), "Force High") << pid;
    EXPECT_EQ(Row(102)->GetText(4), "");
    Tick();
    EXPECT_EQ(RuleStrings(), "hog.exe?Force High");
    EXPECT_EQ(WaitingRequest(), 1);
}

TEST_F(RuleListTest, FilesFromTheDialogAndDropsMakeIgnoreRulesByFileName)
{
    OpenWithProcesses();
    TempFolder files;
    std::filesystem::create_directories(files.File("x"));
    std::filesystem::create_directories(files.File("dir"));
    const std::string app = files.Write("x/app.exe", "");
    std::vector<TFileDialogRequest> asked;
    SetFileDialogResponder([&](const TFileDialogRequest& request) -> std::optional<std::string> {
        asked.push_back(request);
        return app;
    });
    form->AddRuleClick(form);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Title, "Select Application File");
    EXPECT_EQ(RuleRows(), "app.exe=Ignore");
    EXPECT_EQ(Row(102)->GetText(4), "Ignore");
    form->AddRuleClick(form);
    EXPECT_EQ(asked[1].FileName, app) << "the dialog starts from the file it last showed";

    // The same path twice, after the row was set to another rule.
    PickRule("app.exe", "Force High");
    for (int i = 0; i < 2; ++i) Drop(app);
    EXPECT_EQ(RuleRows(), "app.exe=Ignore");
    Drop(files.File("dir"));
    EXPECT_EQ(RuleRows(), "app.exe=Ignore, dir=Ignore");
    // Names the settings could not hold make no rule, and no row.
    for (const char* refused : {"a?b", "a|b"}) Drop(files.Write(refused, ""));
    for (const std::string& refused : {files.Path() + "/", std::string()}) form->AddRuleForFile(refused, "Ignore");
    EXPECT_EQ(RuleRows(), "app.exe=Ignore, dir=Ignore");
    // Backslashes and colons are ordinary name characters here.
    Drop(files.Write("c:\\win\\app2.exe", ""));
    EXPECT_EQ(RuleRows(), "app.exe=Ignore, dir=Ignore, c:\\win\\app2.exe=Ignore");
    Tick();
    EXPECT_EQ(RuleStrings(), "app.exe?Ignore|dir?Ignore|c:\\win\\app2.exe?Ignore");
    // The first row again, once the list has been laid out: its new row
    // comes last and the old one goes.
    Pump();
    Drop(app);
    EXPECT_EQ(RuleRows(), "dir=Ignore, c:\\win\\app2.exe=Ignore, app.exe=Ignore");
    EXPECT_EQ(Rules()->FocusedNode(), RuleRow("app.exe"));
}

TEST_F(RuleListTest, ACancelledDialogChangesNothing)
{
    OpenWithProcesses();
    SetFileDialogResponder([](const TFileDialogRequest&) -> std::optional<std::string> { return std::nullopt; });
    form->AddRuleClick(form);
    EXPECT_EQ(Rules()->Count(), 0);
    EXPECT_FALSE(form->Dirty);
}

TEST_F(RuleListTest, ARefusedRuleTakesAwayTheRowsAndCellsOfThatName)
{
    OpenWithProcesses();
    form->AddRuleForFile("/opt/hog.exe", "Ignore");
    EXPECT_EQ(Row(100)->GetText(4), "Ignore");
    // A text the engine does not know: the name ends up without a rule.
    form->AddRuleForFile("/opt/hog.exe", "Force Sometimes");
    EXPECT_EQ(RuleRows(), "");
    EXPECT_EQ(Row(100)->GetText(4), "");
    EXPECT_EQ(watcher->FindRule("hog.exe"), nullptr);
}

TEST_F(RuleListTest, DeletingTheFocusedRuleRowDropsTheRuleAndClearsTheProcessCells)
{
    folder.Write("Quelvo.ini", "[Rules]\nRuleStrings=hog.exe?Force Low|app.exe?Ignore\n");
    OpenWithProcesses();
    ASSERT_EQ(WaitingRequest(), 1);
    Tick();  // the request stays waiting; the flag is what counts
    if (TcxTreeListNode* focused = Rules()->FocusedNode()) focused->SetFocused(false);
    form->RulesChanged = false;
    form->DeleteRuleClick(form);
    EXPECT_EQ(RuleRows(), "hog.exe=Force Low, app.exe=Ignore") << "no focused row: nothing";
    EXPECT_FALSE(form->RulesChanged);

    RuleRow("hog.exe")->SetFocused(true);
    form->DeleteRuleClick(form);
    EXPECT_EQ(RuleRows(), "app.exe=Ignore");
    EXPECT_EQ(watcher->FindRule("hog.exe"), nullptr);
    for (DWORD pid : {100u, 101u}) EXPECT_EQ(Row(pid)->GetText(4), "") << pid;
    EXPECT_EQ(Row(102)->GetText(4), "Ignore");
    Tick();
    EXPECT_EQ(RuleStrings(), "app.exe?Ignore");
    EXPECT_EQ(WaitingRequest(), 1);

    // A row whose rule was removed elsewhere deletes no other rule.
    watcher->RemoveRulesOf("app.exe");
    watcher->SetRule("other.exe", "Ignore");
    RuleRow("app.exe")->SetFocused(true);
    form->DeleteRuleClick(form);
    EXPECT_EQ(RuleRows(), "");
    EXPECT_NE(watcher->FindRule("other.exe"), nullptr);
}

}  // namespace
