// The options of the Configuration page as a user changes them: the two
// thresholds kept in order whatever is entered, the interval, smoothing,
// "Set Defaults", the launch tool typed, browsed for or dropped, and the
// switches; each reaching the engine at once and the file within a tick.
#include "tests/configurator/ConfiguratorFixture.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/stdctrls/comctrls.h"
#include "platform/hostlib/stdctrls/dialogs.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/hostlib/visual/clipboard.h"
#include "platform/windows/winuser.h"
#include "platform/windows/x11/dropfiles.h"

using namespace configuratortest;
using namespace hostlib;
namespace fs = std::filesystem;

namespace {

class OptionsTest : public ConfiguratorTest {
protected:
    void TearDown() override
    {
        SetFileDialogResponder(nullptr);
        ConfiguratorTest::TearDown();
    }
    // Select all, paste: the field's text replaced in one change.
    void Replace(TCustomEdit* field, const std::string& text)
    {
        ClickAt(field, 3, 3);
        KeyWith(VK_CONTROL, 'A');
        if (text.empty()) {
            Key(VK_DELETE);
            return;
        }
        Clipboard()->SetAsText(text);
        KeyWith(VK_CONTROL, 'V');
    }
    // The value a key has in the settings file ("" when it has none).
    std::string Setting(const std::string& key) const
    {
        const std::string text = Settings();
        const std::size_t at = text.find("\n" + key + "=");
        if (at == std::string::npos) return "";
        const std::size_t from = at + key.size() + 2;
        return text.substr(from, text.find('\r', from) - from);
    }
    static ino_t Inode(const std::string& path)
    {
        struct stat st{};
        return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
    }
};

TEST_F(OptionsTest, ThresholdsAreKeptInOrderAndTheFileHoldsWhatTheFieldsShow)
{
    struct Case {
        const char* what;
        std::vector<std::pair<char, const char*>> entered;  // 'l' low, 'h' high
        const char* low;
        const char* high;
    };
    const std::vector<Case> cases = {
        {"in order", {{'l', "20"}, {'h', "30"}}, "20", "30"},
        {"high below low", {{'h', "20"}, {'l', "30"}}, "30", "31"},
        {"low above a high of 50 or more", {{'h', "55"}, {'l', "60"}}, "54", "55"},
        {"both 99", {{'h', "99"}, {'l', "99"}}, "98", "99"},
        {"low 99 over a high below 50", {{'h', "20"}, {'l', "99"}}, "98", "99"},
        {"both 0", {{'l', "0"}, {'h', "0"}}, "00", "01"},
    };
    Open();
    // Every change event of either field, the re-entered ones too.
    int changes = 0;
    for (TCustomEdit* field : {static_cast<TCustomEdit*>(form->LowTriggerMaskEdit),
                               static_cast<TCustomEdit*>(form->HighTriggerMaskEdit)}) {
        const TNotifyEvent handler = field->OnChange;
        field->OnChange = TNotifyEvent::FromFunction([&changes, handler](TObject* sender) {
            ++changes;
            handler(sender);
        });
    }
    for (const Case& c : cases) {
        ClickControl(form, "DefaultsBitBtn");  // 08 and 70 to start from
        for (const auto& [which, text] : c.entered) {
            changes = 0;
            Replace(which == 'l' ? form->LowTriggerMaskEdit : form->HighTriggerMaskEdit, text);
            EXPECT_GE(changes, 1) << c.what;
            EXPECT_LE(changes, 3) << c.what << ": the correction must not feed on itself";
        }
        EXPECT_EQ(form->LowTriggerMaskEdit->Text(), c.low) << c.what;
        EXPECT_EQ(form->HighTriggerMaskEdit->Text(), c.high) << c.what;
        EXPECT_EQ(watcher->CpuTriggerLow, std::stoi(c.low)) << c.what;
        EXPECT_EQ(watcher->CpuTriggerHigh, std::stoi(c.high)) << c.what;
        Ticks(1);
        EXPECT_EQ(Setting("CpuTriggerLow"), std::to_string(std::stoi(c.low))) << c.what;
        EXPECT_EQ(Setting("CpuTriggerHigh"), std::to_string(std::stoi(c.high))) << c.what;
    }

    Replace(form->MinChangeIntervalMaskEdit, "");
    EXPECT_EQ(form->MinChangeIntervalMaskEdit->Text(), "00");
    EXPECT_EQ(watcher->CpuMinInterval, 0);
    Ticks(1);
    EXPECT_EQ(Setting("CpuMinInterval"), "0");
}

TEST_F(OptionsTest, TheTrackBarMovedByKeysSetsTheSmoothingAndSaysSo)
{
    Open();
    ASSERT_EQ(form->SmoothingTrackBar->Position(), 80);
    form->SmoothingTrackBar->SetFocus();
    Pump();
    for (int i = 0; i < 45; ++i) Key(VK_LEFT);
    ASSERT_EQ(form->SmoothingTrackBar->Position(), 35);
    EXPECT_EQ(form->StatusBar->SimpleText(), "CPU Smoothing at 35   ");
    EXPECT_EQ(watcher->CpuSmoothing, 35);
    EXPECT_DOUBLE_EQ(watcher->SmoothingFactor, 0.35);
    Ticks(1);
    EXPECT_EQ(Setting("CpuSmoothing"), "35");
}

TEST_F(OptionsTest, SetDefaultsOnTheLogPageResetsTheNumbersAndLeavesTheRest)
{
    folder.Write("Quelvo.ini",
                 "[GuiConfig]\nActivePage=2\n[Settings]\nCpuTriggerLow=30\nCpuTriggerHigh=40\nCpuMinInterval=5\n"
                 "CpuSmoothing=20\nBalloonTips=0\nLogging=1\nDoubleClickMethod=1\nLeftClickLaunch=/opt/t/tool\n"
                 "LaunchCaption=Tool\n");
    Open();
    ASSERT_EQ(form->PageControl->ActivePage(), form->LogTabSheet);
    ASSERT_TRUE(form->DefaultsBitBtn->Visible());
    ClickControl(form, "DefaultsBitBtn");
    EXPECT_EQ(form->LowTriggerMaskEdit->Text(), "08");
    EXPECT_EQ(form->HighTriggerMaskEdit->Text(), "70");
    EXPECT_EQ(form->MinChangeIntervalMaskEdit->Text(), "08");
    EXPECT_EQ(form->SmoothingTrackBar->Position(), 80);
    EXPECT_TRUE(form->BalloonCheckBox->Checked());
    EXPECT_EQ(form->DoubleClickOption->Text(), "Toggle Enable");
    EXPECT_EQ(form->StatusBar->SimpleText(), "CPU Smoothing at 80   ");
    EXPECT_TRUE(form->LogFileCheckBox->Checked());
    EXPECT_EQ(form->LaunchAppEdit->Text(), "/opt/t/tool");
    EXPECT_EQ(form->LaunchCaptionEdit->Text(), "Tool");
    EXPECT_DOUBLE_EQ(watcher->SmoothingFactor, 0.8);
    Ticks(1);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"CpuTriggerLow", "8"}, {"CpuTriggerHigh", "70"},   {"CpuMinInterval", "8"},
        {"CpuSmoothing", "80"}, {"DoubleClickMethod", "2"}, {"BalloonTips", "1"},
        {"Logging", "1"},       {"LeftClickLaunch", "/opt/t/tool"}, {"LaunchCaption", "Tool"},
        {"StartWithWindows", "0"},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(Setting(key), value) << key;
}

TEST_F(OptionsTest, TypingInTheLaunchEditMarksEachKeyAndWritesOncePerTick)
{
    Open();
    form->LaunchAppEdit->SetFocus();
    Pump();
    for (const char c : std::string("tools")) {
        form->Dirty = false;
        Screen().TypeText(std::string(1, c));
        Pump();
        EXPECT_TRUE(form->Dirty) << c;
    }
    EXPECT_FALSE(fs::exists(folder.File("Quelvo.ini"))) << "nothing written between ticks";
    Ticks(1);
    EXPECT_EQ(Setting("LeftClickLaunch"), "tools");
    const ino_t written = Inode(folder.File("Quelvo.ini"));
    Ticks(2);
    EXPECT_EQ(Inode(folder.File("Quelvo.ini")), written) << "nothing more to write";
}

TEST_F(OptionsTest, ABrowsedOrDroppedToolFillsBothEdits)
{
    folder.Write("Quelvo.ini", "[Settings]\nLeftClickLaunch=/opt/old/tool\nLaunchCaption=Old\n");
    fs::create_directories(folder.File("x"));
    const std::string app = folder.Write("x/app.exe", "#!/bin/sh\n");
    std::vector<TFileDialogRequest> asked;
    std::optional<std::string> answer;
    SetFileDialogResponder([&](const TFileDialogRequest& request) {
        asked.push_back(request);
        return answer;
    });
    Open();

    ClickControl(form, "LaunchAppOpenSpeedButton");  // cancelled
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Title, "Select Application File");
    EXPECT_EQ(asked[0].FileName, "/opt/old/tool") << "the dialog starts from the edit's text";
    EXPECT_EQ(form->LaunchAppEdit->Text(), "/opt/old/tool");
    EXPECT_FALSE(form->Dirty);

    answer = app;
    ClickControl(form, "LaunchAppOpenSpeedButton");
    EXPECT_EQ(form->LaunchAppEdit->Text(), app);
    EXPECT_EQ(form->LaunchCaptionEdit->Text(), "app.exe");
    Ticks(1);
    EXPECT_EQ(Setting("LeftClickLaunch"), app);
    EXPECT_EQ(Setting("LaunchCaption"), "app.exe");

    // The same by a drop, after the user emptied both edits.
    Replace(form->LaunchAppEdit, "");
    Replace(form->LaunchCaptionEdit, "");
    Ticks(1);
    ASSERT_EQ(Setting("LeftClickLaunch"), "");
    ASSERT_TRUE(quelvo::win::PostDroppedFiles(form->LaunchAppEdit->Handle(), {app}, POINT{5, 5}));
    Pump();
    EXPECT_EQ(form->LaunchAppEdit->Text(), app);
    EXPECT_EQ(form->LaunchCaptionEdit->Text(), "app.exe");
    Ticks(1);
    EXPECT_EQ(Setting("LeftClickLaunch"), app);
    EXPECT_EQ(Setting("LaunchCaption"), "app.exe");
}

TEST_F(OptionsTest, TheSwitchesAndTheDoubleClickActionReachTheFile)
{
    Open();
    ClickControl(form, "LogFileCheckBox");
    EXPECT_TRUE(form->Dirty);
    ClickControl(form, "BalloonCheckBox");
    form->DoubleClickOption->SetFocus();
    Pump();
    Key(VK_DOWN);
    EXPECT_EQ(form->DoubleClickOption->Text(), "3rd Party Tool");
    EXPECT_EQ(form->Options.DoubleClickMethod, 1) << "copied at once";
    Ticks(1);
    EXPECT_EQ(Setting("Logging"), "1");
    EXPECT_EQ(Setting("BalloonTips"), "0");
    EXPECT_EQ(Setting("DoubleClickMethod"), "1");
}

}  // namespace
