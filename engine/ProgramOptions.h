#pragma once
// The options both programs share, their storage in the sections Settings
// and Rules of the settings file, and three small shell helpers.

#include <string>

class CIniFile;
class ProcessWatcher;

class ProgramOptions {
public:
    ProcessWatcher* Watcher = nullptr;  // not owned
    std::string LeftClickLaunch;        // a command line the tray can launch
    std::string LaunchCaption;          // caption of its menu item
    bool Logging = false;
    bool BalloonTips = true;
    int DoubleClickMethod = 0;          // 0 configurator, 1 launch, else toggle

    std::string GetLeftClickLaunch() const { return LeftClickLaunch; }
    std::string GetLaunchCaption() const { return LaunchCaption; }
};

// Reads every shared setting; a missing key keeps the value held now. The
// rules are replaced as a whole. Values that would break the watcher are
// brought into range (triggers 0..100, smoothing 0..99, interval at least 1).
bool LoadOptions(ProgramOptions& options, const CIniFile& document);
// Whether a document holds either section the programs write; one without
// them (a stray or damaged file) holds no settings to load.
bool HasOptionSections(const CIniFile& document);
// Writes the same keys in the same order, then the rule strings.
bool SaveOptions(const ProgramOptions& options, CIniFile& document);

// The path of a shell special folder ("" on failure).
std::string SpecialFolderPath(int folder);
// Writes a shell shortcut; failures are silent.
void CreateShortcut(const std::string& targetPath, const std::string& workingDirectory, const std::string& arguments,
                    const std::string& linkPath, const std::string& description);
// The file name of the program's start-up shortcut: the product name and the
// platform's shortcut extension.
std::string StartupShortcutName();
// Makes the running program's folder the current directory.
void SetCurrentDirToExe();
