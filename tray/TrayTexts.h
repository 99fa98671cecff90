#pragma once
// Every text the tray shows or writes: status, tooltip, About text, balloon
// fields and log lines, and the splitting of the user's launch command.

#include <string>

namespace quelvo::tray {

inline constexpr const char* kCaption = "Quelvo";
inline constexpr const char* kVersion = "2.00.15";
inline constexpr std::size_t kTipBytes = 128;          // with the terminating zero
inline constexpr std::size_t kBalloonTextBytes = 256;
inline constexpr std::size_t kBalloonTitleBytes = 64;
inline constexpr std::size_t kStatusBytes = 500;

// At most `maxBytes` bytes of `text`, never ending inside a multi-byte
// (UTF-8) character.
std::string CutToCharacters(const std::string& text, std::size_t maxBytes);

// Control bytes (below 32, and 127) become '?', so a process name cannot
// forge lines in the log or break a balloon.
std::string ReplaceControlBytes(const std::string& text);

std::string StatusText(bool enabled, int tamedCount, const std::string& tamedNames);
// "Quelvo - " and the status, cut to what the tip field holds.
std::string TipText(bool enabled, int tamedCount, const std::string& tamedNames);
std::string AboutText();
// The About dialog's text: the About text, three blank lines, the status.
std::string AboutDialogText(const std::string& status);

// One log line: the time text left-aligned in 25 columns, " -> ", the
// event, " | ", the name, LF.
std::string LogLine(const std::string& timeText, const std::string& event, const std::string& name);
// The local time as ctime writes it, without its line end.
std::string CtimeText();

struct SplitCommand {
    std::string file;
    std::string parameters;
};
// The file and parameters of a command line. A leading double-quoted part
// is the file; otherwise the longest blank-separated prefix that names an
// existing file is, else the whole command.
SplitCommand SplitCommandLine(const std::string& command);

}  // namespace quelvo::tray
