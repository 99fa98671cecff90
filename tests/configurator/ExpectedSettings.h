#pragma once
// What the first close in an empty program folder writes, each line
// (blank ones too) ending CR CR LF.

#include <string>

namespace configuratortest {

inline std::string IniText(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\r\r\n";
    return text;
}

inline const std::string kEmptyFolderSettings = IniText({
    "[General]", "Program=Quelvo", "",
    "[GuiConfig]", "FileVersion=1", "Window.Left=264", "Window.Top=338", "Window.Width=520", "Window.Height=320",
    "ActivePage=1", "HideLowCPUs=1", "StartWithWindows=0", "",
    "[Settings]", "LeftClickLaunch=", "LaunchCaption=", "Logging=0", "BalloonTips=1", "CpuTriggerHigh=70",
    "CpuTriggerLow=8", "CpuMinInterval=8", "CpuSmoothing=80", "DoubleClickMethod=0", "",
    "[Rules]", "RuleStrings=", "",
});

}  // namespace configuratortest
