#include "engine/ProgramOptions.h"

#include <algorithm>
#include <vector>

#include "engine/CIniFile.h"
#include "engine/ProcessWatcher.h"
#include "platform/system/paths.h"
#include "platform/system/shell.h"
#include "platform/system/winbase.h"

namespace {

constexpr const char* kSettings = "Settings";
constexpr const char* kRules = "Rules";
constexpr const char* kRuleStrings = "RuleStrings";
constexpr const char* kProductName = "Quelvo";
constexpr DWORD kLongestPath = 65536;

// Releases a COM-style object when it goes out of scope.
template <typename T>
class Released {
public:
    Released() = default;
    ~Released()
    {
        if (object_ != nullptr)
            object_->Release();
    }
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    void** out() { return reinterpret_cast<void**>(&object_); }
    T** typed() { return &object_; }

private:
    T* object_ = nullptr;
};

std::vector<WCHAR> Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<std::size_t>(std::max(length, 1)), 0);
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

std::string OwnFileName()
{
    std::vector<char> buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length < size || size >= kLongestPath)
            return std::string(buffer.data(), std::min(length, size - 1));
        buffer.assign(buffer.size() * 2, '\0');
    }
}

} // namespace

bool LoadOptions(ProgramOptions& options, const CIniFile& document)
{
    options.LeftClickLaunch = document.GetString(kSettings, "LeftClickLaunch", options.LeftClickLaunch);
    options.LaunchCaption = document.GetString(kSettings, "LaunchCaption", options.LaunchCaption);
    options.Logging = document.GetBool(kSettings, "Logging", options.Logging);
    options.BalloonTips = document.GetBool(kSettings, "BalloonTips", options.BalloonTips);
    if (ProcessWatcher* w = options.Watcher) {
        w->CpuTriggerHigh = std::clamp(document.GetInt(kSettings, "CpuTriggerHigh", w->CpuTriggerHigh), 0, 100);
        w->CpuTriggerLow = std::clamp(document.GetInt(kSettings, "CpuTriggerLow", w->CpuTriggerLow), 0, 100);
        w->CpuMinInterval = std::max(document.GetInt(kSettings, "CpuMinInterval", w->CpuMinInterval), 1);
        // At 100 the smoothed use would never move again: 99 is the most.
        w->CpuSmoothing = std::clamp(document.GetInt(kSettings, "CpuSmoothing", w->CpuSmoothing), 0, 99);
        w->SmoothingFactor = w->CpuSmoothing * 0.01;
    }
    options.DoubleClickMethod = document.GetInt(kSettings, "DoubleClickMethod", options.DoubleClickMethod);
    if (ProcessWatcher* w = options.Watcher) {
        w->DeleteAllRules();
        w->ParseRuleStrings(document.GetString(kRules, kRuleStrings, ""));
    }
    return true;
}

bool HasOptionSections(const CIniFile& document)
{
    return document.FindSection(kSettings) >= 0 || document.FindSection(kRules) >= 0;
}

bool SaveOptions(const ProgramOptions& options, CIniFile& document)
{
    document.SetString(kSettings, "LeftClickLaunch", options.LeftClickLaunch, true);
    document.SetString(kSettings, "LaunchCaption", options.LaunchCaption, true);
    document.SetBool(kSettings, "Logging", options.Logging);
    document.SetBool(kSettings, "BalloonTips", options.BalloonTips);
    std::string rules;
    if (const ProcessWatcher* w = options.Watcher) {
        document.SetInt(kSettings, "CpuTriggerHigh", w->CpuTriggerHigh);
        document.SetInt(kSettings, "CpuTriggerLow", w->CpuTriggerLow);
        document.SetInt(kSettings, "CpuMinInterval", w->CpuMinInterval);
        document.SetInt(kSettings, "CpuSmoothing", w->CpuSmoothing);
        w->BuildRuleStrings(rules);
    }
    document.SetInt(kSettings, "DoubleClickMethod", options.DoubleClickMethod);
    document.SetString(kRules, kRuleStrings, rules, true);
    return true;
}

std::string SpecialFolderPath(int folder)
{
    Released<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.typed())) || allocator.get() == nullptr)
        return {};
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &list)) || list == nullptr)
        return {};
    char path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListA(list, path) != FALSE;
    allocator->Free(list);
    path[MAX_PATH - 1] = '\0';
    return ok ? std::string(path) : std::string();
}

void CreateShortcut(const std::string& targetPath, const std::string& workingDirectory, const std::string& arguments,
                    const std::string& linkPath, const std::string& description)
{
    if (FAILED(CoInitialize(nullptr)))
        return;
    {
        Released<IShellLinkA> link;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.out())) &&
            link.get() != nullptr) {
            link->SetPath(targetPath.c_str());
            link->SetDescription(description.c_str());
            link->SetWorkingDirectory(workingDirectory.c_str());
            link->SetArguments(arguments.c_str());
            link->SetShowCmd(SW_SHOW);
            Released<IPersistFile> file;
            if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.out())) && file.get() != nullptr)
                file->Save(Wide(linkPath).data(), TRUE);
        }
    }
    CoUninitialize();
}

std::string StartupShortcutName()
{
    return std::string(kProductName) + quelvo::sys::kShortcutExtension;
}

void SetCurrentDirToExe()
{
    std::string folder = OwnFileName();
    const auto separator = folder.rfind(quelvo::sys::kPathSeparator);
    if (separator != std::string::npos)
        // A program in the root folder keeps the separator: "/" rather
        // than the empty text.
        folder.erase(separator == 0 ? 1 : separator);
    SetCurrentDirectoryA(folder.c_str());
}
