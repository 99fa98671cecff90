// The window's smaller duties as a user meets them: the tray program's
// status in red or green with starting and stopping it by a double click,
// the start-up shortcut check box, the log page following its file, the
// help button, and the controls below the pages on each page.
#include "tests/configurator/ScriptedFixture.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/controls/ctldefs.h"
#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/stdctrls/comctrls.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/stdctrls/richedit.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/system/shell.h"
#include "platform/windows/winuser.h"

using namespace configuratortest;
using namespace hostlib;
namespace fs = std::filesystem;

namespace {

constexpr const char* kRunningHint = "The main Quelvo tray tool is currently running.";
constexpr const char* kStoppedHint =
    "The main Quelvo tray tool is not currently running; double-click here to launch it.";

const std::uint32_t kRed = Rgb(255, 0, 0);
const std::uint32_t kGreen = Rgb(0, 128, 0);

// ---- tray status ----------------------------------------------------------------------------

class TrayStatusTest : public ScriptedConfiguratorTest {
protected:
    void ExpectStatus(bool running, const char* when)
    {
        for (TLabel* label : {form->QuelvoRunningLabel, form->QuelvoTrayProcOnlyStatus}) {
            EXPECT_EQ(label->Caption(), running ? "Running" : "Not Running") << when;
            EXPECT_EQ(label->Font()->Color(), running ? clGreen : clRed) << when;
            EXPECT_EQ(label->Hint(), running ? kRunningHint : kStoppedHint) << when;
        }
        // What the user sees of the label on the shown page.
        TLabel* shown = form->QuelvoRunningLabel->Visible() && form->PageControl->ActivePage() == form->ConfigTabSheet
                            ? form->QuelvoRunningLabel
                            : form->QuelvoTrayProcOnlyStatus;
        EXPECT_GT(CountPixels(form, shown, running ? kGreen : kRed), 10) << when;
        EXPECT_EQ(CountPixels(form, shown, running ? kRed : kGreen), 0) << when;
    }
    void DoubleClickStatus()
    {
        TLabel* label = form->QuelvoRunningLabel;
        Screen().DoubleClick(label->ClientToScreen(POINT{8, label->Height() / 2}));
        Pump();
    }
};

TEST_F(TrayStatusTest, TheLabelsFollowTheTrayRecordOneTickAfterItGoes)
{
    OpenScripted();
    Tick();
    ExpectStatus(false, "first tick without a tray");
    StartTray();
    Tick();
    ExpectStatus(true, "a tray record appeared");

    // An unchanged status leaves the labels alone.
    form->QuelvoRunningLabel->SetCaption("mark");
    Tick();
    EXPECT_EQ(form->QuelvoRunningLabel->Caption(), "mark");
    form->QuelvoRunningLabel->SetCaption("Running");

    fake.EndProcess(500);
    Tick();
    EXPECT_EQ(form->QuelvoRunningLabel->Caption(), "Running") << "its stale record is still found";
    Tick();
    ExpectStatus(false, "the record went");

    // The other label, on the Processes page.
    ClickTab(form, 0);
    Pump();
    ASSERT_TRUE(form->QuelvoTrayProcOnlyStatus->Visible());
    ExpectStatus(false, "on the Processes page");
    StartTray(501);
    Tick();
    ExpectStatus(true, "on the Processes page");
}

TEST_F(TrayStatusTest, ADoubleClickStartsTheTrayOrAsksItToClose)
{
    OpenScripted();
    Tick();
    DoubleClickStatus();
    ASSERT_EQ(fake.shellCalls.size(), 1u);
    EXPECT_EQ(fake.shellCalls[0].verb, "open");
    EXPECT_EQ(fake.shellCalls[0].file, "QuelvoTray.exe");
    EXPECT_EQ(fake.shellCalls[0].parameters, "");
    EXPECT_EQ(fake.shellCalls[0].directory, "");
    EXPECT_EQ(fake.shellCalls[0].showCommand, SW_SHOWNORMAL);

    // A running tray is asked to close and, closing, is not killed.
    StartTray();
    Tick();
    fake.ClearRecords();
    DoubleClickStatus();
    EXPECT_TRUE(fake.shellCalls.empty());
    ASSERT_FALSE(fake.messages.empty());
    EXPECT_EQ(fake.messages[0].window, trayWindow);
    EXPECT_EQ(fake.messages[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_TRUE(fake.terminations.empty()) << "a tray that closes gives back what it lowered";
    EXPECT_EQ(fake.Process(500), nullptr);
    Tick(2);
    ExpectStatus(false, "after stopping");

    // One that does not close when asked is killed after the wait.
    StartTray(600);
    fake.Process(600)->closesOnWmClose = false;
    fake.Process(600)->closesOnRequest = false;
    Tick();
    fake.ClearRecords();
    DoubleClickStatus();
    ASSERT_EQ(fake.terminations.size(), 1u);
    EXPECT_EQ(fake.terminations[0].pid, 600u);

    // A tray that went between ticks: nothing to close, nothing started.
    StartTray(700);
    Tick();
    fake.EndProcess(700);
    Tick();
    ASSERT_TRUE(form->TrayRunning);
    fake.ClearRecords();
    DoubleClickStatus();
    EXPECT_TRUE(fake.shellCalls.empty());
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(TrayStatusTest, HelpGoesToTheShellAndAMissingFileShowsNothing)
{
    OpenScripted();
    fake.SetShellResult(SE_ERR_FNF);
    ClickControl(form, "HelpBitBtn");
    ASSERT_EQ(fake.shellCalls.size(), 1u);
    EXPECT_EQ(fake.shellCalls[0].file, "Quelvo.chm");
    EXPECT_EQ(fake.shellCalls[0].showCommand, SW_SHOWNORMAL);
    EXPECT_TRUE(boxes.empty());
}

// ---- log page ---------------------------------------------------------------------------------

class LogPageTest : public ConfiguratorTest {
protected:
    void WriteLog(const std::string& text)
    {
        std::ofstream(folder.File("Quelvo.log"), std::ios::binary | std::ios::trunc) << text;
    }
    // Moves the file's time on, as a later write within the same tick
    // would on a file system with a coarse clock.
    void Touch(int secondsLater)
    {
        struct stat st{};
        ASSERT_EQ(::stat(folder.File("Quelvo.log").c_str(), &st), 0);
        const timespec times[2] = {{0, UTIME_OMIT}, {st.st_mtim.tv_sec + secondsLater, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, folder.File("Quelvo.log").c_str(), times, 0), 0);
    }
    std::string View() const { return form->LogRichEdit->Text(); }
    static std::string Lines(int from, int count)
    {
        std::string text;
        for (int i = from; i < from + count; ++i) text += "Fri Dec 11 10:00:00 2026  -> line " + std::to_string(i) + " | x\n";
        return text;
    }
};

TEST_F(LogPageTest, TheViewFollowsTheFileOnEveryTick)
{
    Open();
    ClickTab(form, 2);
    ASSERT_EQ(form->PageControl->ActivePage(), form->LogTabSheet);
    EXPECT_EQ(View(), "Log file is empty.");

    WriteLog(Lines(0, 3));
    Ticks(1);
    ASSERT_EQ(form->LogRichEdit->Lines()->Count(), 3);
    EXPECT_EQ(form->LogRichEdit->Lines()->Strings(2), "Fri Dec 11 10:00:00 2026  -> line 2 | x");

    // Grown past a screenful: reloaded, the caret at the end, the last
    // line in view.
    WriteLog(Lines(0, 200));
    Ticks(1);
    ASSERT_EQ(form->LogRichEdit->Lines()->Count(), 200);
    const HWND view = form->LogRichEdit->Handle();
    const LRESULT first = SendMessageA(view, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(first, 150) << "scrolled to the end";
    // Where the end is as the view counts: where Ctrl+End puts the caret.
    const int caret = form->LogRichEdit->SelStart();
    form->LogRichEdit->SetFocus();
    Pump();
    KeyWith(VK_CONTROL, VK_END);
    EXPECT_EQ(caret, form->LogRichEdit->SelStart());
    EXPECT_EQ(SendMessageA(view, EM_GETFIRSTVISIBLELINE, 0, 0), first) << "the last line was already in view";

    // Rewritten at the same size: its age tells.
    std::string same = Lines(0, 200);
    same.replace(same.find("line 0 "), 7, "LINE 0 ");
    WriteLog(same);
    Touch(5);
    Ticks(1);
    EXPECT_EQ(form->LogRichEdit->Lines()->Strings(0).find("LINE 0"), 29u) << form->LogRichEdit->Lines()->Strings(0);

    // Deleted, then written again at the size it had.
    fs::remove(folder.File("Quelvo.log"));
    Ticks(1);
    EXPECT_EQ(View(), "Log file is empty.");
    WriteLog(Lines(1000, 1).substr(0, 10) + std::string(same.size() - 10, 'z'));
    Ticks(1);
    EXPECT_EQ(View().substr(0, 10), "Fri Dec 11");
    EXPECT_NE(View().find("zzz"), std::string::npos);
}

TEST_F(LogPageTest, ClearLogFromThePopupMenuEmptiesFileAndView)
{
    WriteLog(Lines(0, 5));
    folder.Write("Quelvo.ini", "[GuiConfig]\nActivePage=2\n");
    Open();
    ASSERT_EQ(form->LogRichEdit->Lines()->Count(), 5) << "loaded as the page is shown";
    TPopupMenu::SetTracker([this](TPopupMenu* menu, int, int) -> TMenuItem* {
        EXPECT_EQ(menu->PopupComponent(), form->LogRichEdit);
        return static_cast<TMenuItem*>(form->FindComponent("ClearLogItem"));
    });
    Screen().Click(At(form->LogRichEdit, 20, 20), quelvo::win::MouseButton::Right);
    Pump();
    TPopupMenu::SetTracker(nullptr);
    EXPECT_EQ(fs::file_size(folder.File("Quelvo.log")), 0u);
    EXPECT_EQ(View(), "");

    // Also when there was no file at all.
    fs::remove(folder.File("Quelvo.log"));
    Ticks(1);
    static_cast<TMenuItem*>(form->FindComponent("ClearLogItem"))->Click();
    EXPECT_TRUE(fs::exists(folder.File("Quelvo.log")));
    EXPECT_EQ(View(), "");
}

TEST_F(LogPageTest, APipeInPlaceOfTheLogIsNeitherReadNorWritten)
{
    WriteLog(Lines(0, 2));
    folder.Write("Quelvo.ini", "[GuiConfig]\nActivePage=2\n");
    Open();
    ASSERT_EQ(form->LogRichEdit->Lines()->Count(), 2);
    fs::remove(folder.File("Quelvo.log"));
    ASSERT_EQ(::mkfifo(folder.File("Quelvo.log").c_str(), 0600), 0);
    // Opening it would wait for a writer (or a reader) for good.
    Ticks(2);
    EXPECT_EQ(form->LogRichEdit->Lines()->Count(), 2) << "left as it was";
    static_cast<TMenuItem*>(form->FindComponent("ClearLogItem"))->Click();
    EXPECT_TRUE(fs::is_fifo(folder.File("Quelvo.log")));
    EXPECT_EQ(form->LogRichEdit->Lines()->Count(), 2);
}

// ---- start-up shortcut ------------------------------------------------------------------------

class ShortcutTest : public ConfiguratorTest {
protected:
    std::string Entry() const { return StartupFolder() + "/Quelvo.desktop"; }
    bool SavedAsStarting() const { return Settings().find("StartWithWindows=1\r") != std::string::npos; }
};

TEST_F(ShortcutTest, TheBoxMakesRemovesAndReplacesTheEntry)
{
    Open();
    ASSERT_FALSE(fs::exists(StartupFolder()));
    ClickControl(form, "StartWindowsCheckBox");
    EXPECT_TRUE(form->StartWindowsCheckBox->Checked());
    const std::string entry = TempFolder::Read(Entry());
    EXPECT_NE(entry.find("\nExec=" + folder.Path() + "/QuelvoTray.exe\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nPath=" + folder.Path() + "/\n"), std::string::npos) << entry;
    Ticks(1);
    EXPECT_TRUE(SavedAsStarting());

    ClickControl(form, "StartWindowsCheckBox");
    EXPECT_FALSE(fs::exists(Entry()));
    Ticks(1);
    EXPECT_FALSE(SavedAsStarting());

    // Checked again over an entry of someone else's making.
    std::ofstream(Entry()) << "[Desktop Entry]\nExec=/somewhere/else\n";
    ClickControl(form, "StartWindowsCheckBox");
    EXPECT_NE(TempFolder::Read(Entry()).find(folder.Path() + "/QuelvoTray.exe"), std::string::npos);
    EXPECT_EQ(TempFolder::Read(Entry()).find("/somewhere/else"), std::string::npos);
}

TEST_F(ShortcutTest, AnEntryThatCannotBeMadeLeavesTheBoxClear)
{
    std::ofstream(StartupFolder()) << "a plain file where the folder belongs";
    Open();
    ClickControl(form, "StartWindowsCheckBox");
    EXPECT_FALSE(form->StartWindowsCheckBox->Checked());
    EXPECT_TRUE(form->Dirty);
    Ticks(1);
    EXPECT_FALSE(SavedAsStarting());
    EXPECT_TRUE(fs::is_regular_file(StartupFolder()));
}

// ---- the controls below the pages ---------------------------------------------------------

class PagesTest : public ConfiguratorTest {};

TEST_F(PagesTest, TheControlsBelowThePagesFollowTheActivePage)
{
    struct Case {
        int page;  // -1: none
        bool hideLow, defaults, label1;
        const char* label2;
        const char* hint2;
        bool trayStatus;
        bool logLoaded;
    };
    const Case cases[] = {
        {0, true, false, false, "Double-click on status to toggle.",
         "No priorities will be changed unless Quelvo Tray Tool is running.", true, false},
        {1, false, true, true, "Or drag-and-drop files from explorer.", "", false, false},
        {2, false, true, false, "Double-click on status to toggle.", "", true, true},
        {-1, false, true, false, "Double-click on status to toggle.", "", true, true},
    };
    for (const Case& c : cases) {
        folder.Write("Quelvo.log", "Fri Dec 11 10:00:00 2026  -> Starting Up | hello world!\n");
        if (c.page < 0) {
            folder.Write("Quelvo.ini", "[GuiConfig]\nActivePage=7\n");
            Open();
        } else {
            folder.Write("Quelvo.ini", "[GuiConfig]\nActivePage=1\n");
            Open();
            ClickTab(form, c.page);
        }
        EXPECT_EQ(form->HideLowCheckBox->Visible(), c.hideLow) << c.page;
        EXPECT_EQ(form->DefaultsBitBtn->Visible(), c.defaults) << c.page;
        EXPECT_EQ(form->ConfigLabel1->Visible(), c.label1) << c.page;
        EXPECT_EQ(form->ConfigLabel2->Caption(), c.label2) << c.page;
        EXPECT_EQ(form->ConfigLabel2->Hint(), c.hint2) << c.page;
        EXPECT_EQ(form->QuelvoTrayProcOnlyLabel->Visible(), c.trayStatus) << c.page;
        EXPECT_EQ(form->QuelvoTrayProcOnlyStatus->Visible(), c.trayStatus) << c.page;
        EXPECT_EQ(form->LogRichEdit->Text().find("hello world!") != std::string::npos, c.logLoaded) << c.page;
        form->Free();
        form = nullptr;
    }
}

}  // namespace
