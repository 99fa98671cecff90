// The configuration window in-process: how it opens, what it reads from
// and writes to the settings file (and the legacy rules file), closing,
// hints in the status bar, a failing handler, a settings file that cannot
// be written, a missing engine library, and what the window shows.
#include "tests/configurator/ConfiguratorFixture.h"

#include <filesystem>
#include <fstream>
#include <utility>

#include "components/treelist/cxTL.h"
#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/system/fake_system.h"
#include "platform/windows/winuser.h"

using namespace configuratortest;
using namespace hostlib;
namespace fs = std::filesystem;

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(ConfiguratorTest, AnEmptyFolderOpensAsDesignedAndOnlyTheCloseWritesTheFile)
{
    Open();
    EXPECT_EQ(form->Caption(), "Quelvo Configuration GUI version G9");
    EXPECT_EQ(form->Left(), 264);
    EXPECT_EQ(form->Top(), 338);
    EXPECT_EQ(form->Width(), 520);
    EXPECT_EQ(form->Height(), 320);
    EXPECT_EQ(form->PageControl->ActivePage(), form->ConfigTabSheet);
    EXPECT_EQ(form->StatusBar->SimpleText(), "");
    EXPECT_FALSE(watcher->EnforceRules) << "the configurator never acts on processes itself";
    EXPECT_FALSE(std::as_const(*form).ShowHint()) << "hints go to the status bar only";
    Ticks(3);
    EXPECT_FALSE(fs::exists(folder.File("Quelvo.ini"))) << "nothing changed, nothing written";
    ClickControl(form, "OkBitBtn");
    EXPECT_EQ(Settings(), kEmptyFolderSettings);
}

TEST_F(ConfiguratorTest, LegacyRulesAreReadOnlyWithoutASettingsFileAndLeftAlone)
{
    const std::string legacy = "hog.exe|IDLE\n// x\nbar.exe|idle\nfoo.exe|HIGH\n";
    folder.Write("ApplicationOverrides.txt", legacy);
    Open();
    EXPECT_EQ(form->cxTreeListRules->Count(), 2);
    EXPECT_TRUE(form->Dirty) << "rules read at start are saved on the first tick";
    EXPECT_TRUE(form->RulesChanged);
    Ticks(1);
    EXPECT_TRUE(Has(Settings(), "RuleStrings=hog.exe?Force Low|foo.exe?Force High\r\r\n")) << Settings();
    EXPECT_EQ(TempFolder::Read(folder.File("ApplicationOverrides.txt")), legacy);
    CloseWindow();

    // With a settings file, the legacy file is not read at all.
    form->Free();
    form = nullptr;
    folder.Write("Quelvo.ini", "[Rules]\nRuleStrings=a.exe?Ignore\n");
    Open();
    ASSERT_EQ(form->cxTreeListRules->Count(), 1);
    EXPECT_EQ(form->cxTreeListRules->Items(0)->GetText(0), "a.exe");
    CloseWindow();
    EXPECT_TRUE(Has(Settings(), "RuleStrings=a.exe?Ignore\r\r\n")) << Settings();
}

TEST_F(ConfiguratorTest, AHandWrittenFileIsReadAndRewrittenInTheProgramsOwnForm)
{
    folder.Write("Quelvo.ini", "; my notes\n[Custom]\nKeep=me\n[settings]\ncputriggerhigh=55\n");
    Open();
    EXPECT_EQ(form->HighTriggerMaskEdit->Text(), "55");
    CloseWindow();
    const std::string written = Settings();
    EXPECT_TRUE(Has(written, "\r\r\nCpuTriggerHigh=55\r\r\n")) << written;
    EXPECT_FALSE(Has(written, "my notes"));
    EXPECT_FALSE(Has(written, "Custom"));
    EXPECT_EQ(written.find('\n'), written.find("\r\r\n") + 2) << "every line ends CR CR LF";
}

TEST_F(ConfiguratorTest, WindowPagesAndCheckBoxesComeFromTheFileWithinTheirLimits)
{
    struct Case {
        const char* gui;
        const char* expected;  // what the next save writes
    };
    const Case cases[] = {
        {"Window.Left=100\nWindow.Top=50\nWindow.Width=600\nWindow.Height=400\n",
         "Window.Left=100\r\r\nWindow.Top=50\r\r\nWindow.Width=600\r\r\nWindow.Height=400\r\r\n"},
        {"Window.Width=300\n", "Window.Width=510\r\r\n"},
        {"ActivePage=5\n", "ActivePage=-1\r\r\n"},
        {"ActivePage=2\nHideLowCPUs=0\n", "ActivePage=2\r\r\nHideLowCPUs=0\r\r\n"},
        {"StartWithWindows=1\n", "StartWithWindows=0\r\r\n"},
    };
    for (const Case& c : cases) {
        folder.Write("Quelvo.ini", std::string("[GuiConfig]\n") + c.gui + "[Settings]\n");
        Open();
        CloseWindow();
        EXPECT_TRUE(Has(Settings(), c.expected)) << c.gui << Settings();
        form->Free();
        form = nullptr;
    }
    folder.Write("Quelvo.ini", "[GuiConfig]\nActivePage=5\n[Settings]\n");
    Open();
    EXPECT_EQ(form->PageControl->ActivePage(), nullptr);
    EXPECT_FALSE(form->StartWindowsCheckBox->Checked());
    form->Free();
    form = nullptr;

    // The box follows the shortcut, whatever the file says.
    fs::create_directories(StartupFolder());
    std::ofstream(StartupFolder() + "/Quelvo.desktop") << "[Desktop Entry]\n";
    folder.Write("Quelvo.ini", "[GuiConfig]\nStartWithWindows=0\n[Settings]\n");
    Open();
    EXPECT_TRUE(form->StartWindowsCheckBox->Checked());
    CloseWindow();
    EXPECT_TRUE(Has(Settings(), "StartWithWindows=1\r\r\n"));
}

TEST_F(ConfiguratorTest, ThresholdsBeyondTwoDigitsAreBroughtIntoTheFields)
{
    folder.Write("Quelvo.ini",
                 "[Settings]\nCpuTriggerHigh=150\nCpuTriggerLow=-3\nCpuMinInterval=0\nCpuSmoothing=150\n");
    Open();
    EXPECT_EQ(form->HighTriggerMaskEdit->Text(), "99");
    EXPECT_EQ(form->LowTriggerMaskEdit->Text(), "00");
    EXPECT_EQ(form->MinChangeIntervalMaskEdit->Text(), "01");
    EXPECT_EQ(form->SmoothingTrackBar->Position(), 99);
    CloseWindow();
    const std::string written = Settings();
    for (const char* line : {"CpuTriggerHigh=99\r", "CpuTriggerLow=0\r", "CpuMinInterval=1\r", "CpuSmoothing=99\r"})
        EXPECT_TRUE(Has(written, line)) << line << written;
}

TEST_F(ConfiguratorTest, ASettingsFileThatCannotBeWrittenStaysDirtyAndClosingSaysWhy)
{
    fs::create_directory(folder.File("Quelvo.ini"));
    Open();
    form->Dirty = true;
    form->RulesChanged = true;
    Ticks(2);
    EXPECT_TRUE(form->Dirty) << "tried again on the next tick";
    EXPECT_FALSE(form->RequestPending) << "no reload for a file that was not written";
    EXPECT_TRUE(boxes.empty());
    CloseWindow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Has(boxes[0].text, folder.File("Quelvo.ini"))) << boxes[0].text;
    EXPECT_TRUE(Has(boxes[0].text, "Is a directory")) << boxes[0].text;
    EXPECT_TRUE(fs::is_directory(folder.File("Quelvo.ini")));
}

TEST_F(ConfiguratorTest, AFailingTickShowsTheErrorAndTheCycleGoesOn)
{
    Open();
    cfg::SetWatcher(nullptr);
    Ticks(1);
    ASSERT_EQ(boxes.size(), 1u);
    cfg::SetWatcher(watcher.get());
    form->Dirty = true;
    Ticks(1);
    EXPECT_TRUE(fs::exists(folder.File("Quelvo.ini")));
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(ConfiguratorTest, TheHintOfTheControlUnderTheMouseShowsInTheStatusBar)
{
    Open();
    TControl* ok = FindControlByName(form, "OkBitBtn");
    Screen().MoveMouse(At(ok, ok->Width() / 2, ok->Height() / 2));
    Pump();
    EXPECT_EQ(form->StatusBar->SimpleText(), "Apply settings and close");
    EXPECT_EQ(hostlib::Application->HintWindow(), nullptr) << "no tooltip";
}

TEST(ConfiguratorStart, WithoutTheProcessStatusLibraryTheProgramEndsWithOne)
{
    EXPECT_EXIT(
        {
            quelvo::sys::FakeSystem fake;
            fake.SetLibraryMissing("PSAPI.DLL");
            quelvo::sys::FakeSystemScope scope(fake);
            cfg::RunConfigurator();
            std::exit(7);
        },
        testing::ExitedWithCode(1), "");
}

// ---- what the window shows ---------------------------------------------------------------

class ConfiguratorPixels : public ConfiguratorTest {
protected:
    std::uint32_t Pixel(TControl* control, int x, int y)
    {
        const POINT p = form->ScreenToClient(control->ClientToScreen(POINT{x, y}));
        return Screen().ClientPixel(form->Handle(), p.x, p.y);
    }
    static std::uint32_t Rgb(TColor colour)
    {
        const COLORREF c = ColorToRGB(colour);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    // How many pixels of a control's rectangle differ from a colour.
    int Differing(TControl* control, const RECT& r, std::uint32_t colour)
    {
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) count += Pixel(control, x, y) != colour;
        return count;
    }
};

TEST_F(ConfiguratorPixels, TheConfigurationPageIsPressedWithItsGroupsAndTheProcessOnlyControlsGone)
{
    Open();
    Ticks(1);
    TPageControl* pages = form->PageControl;
    const std::uint32_t face = Rgb(clBtnFace);
    const std::uint32_t shadow = Rgb(clBtnShadow);
    for (int i = 0; i < 3; ++i) {
        const RECT tab = pages->TabRect(i);
        // Inside the tab, clear of its caption: pressed tabs are filled.
        EXPECT_EQ(Pixel(pages, tab.left + 2, tab.top + 2), i == 1 ? shadow : face) << "tab " << i;
    }
    for (const char* name : {"GroupBox1", "GroupBox2"}) {
        TControl* group = FindControlByName(form, name);
        ASSERT_TRUE(group->Visible());
        // The caption's text at its top left, the frame below it.
        EXPECT_GT(Differing(group, RECT{6, 0, 60, 12}, face), 10) << name << " caption";
        EXPECT_GT(Differing(group, RECT{0, 20, 2, group->Height() - 4}, face), group->Height() / 2) << name << " frame";
    }
    TControl* hideLow = form->HideLowCheckBox;
    EXPECT_FALSE(hideLow->Visible());
    EXPECT_EQ(Differing(hideLow, RECT{0, 0, hideLow->Width(), hideLow->Height()}, face), 0)
        << "the hidden check box leaves the window's background";
}

}  // namespace
