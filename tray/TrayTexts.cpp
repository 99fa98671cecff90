#include "tray/TrayTexts.h"

#include <cstdio>
#include <ctime>

#include "platform/system/winbase.h"

namespace quelvo::tray {

namespace {

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string CutToCharacters(const std::string& text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    while (end > 0 && IsContinuationByte(static_cast<unsigned char>(text[end])))
        --end;
    return text.substr(0, end);
}

std::string ReplaceControlBytes(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) == 127)
            c = '?';
    return out;
}

std::string StatusText(bool enabled, int tamedCount, const std::string& tamedNames)
{
    std::string text;
    if (!enabled)
        text = "Currently disabled.";
    else if (tamedCount >= 2)
        text = "Taming " + std::to_string(tamedCount) + " processes (" + tamedNames + ").";
    else if (tamedCount == 1)
        text = "Taming 1 process (" + tamedNames + ").";
    else
        text = "Watching for processes to tame.";
    return CutToCharacters(text, kStatusBytes - 1);
}

std::string TipText(bool enabled, int tamedCount, const std::string& tamedNames)
{
    return CutToCharacters(std::string(kCaption) + " - " + StatusText(enabled, tamedCount, tamedNames),
                           kTipBytes - 1);
}

std::string AboutText()
{
    return std::string(kCaption) + " v" + kVersion + "\n\nReduces the priority of cpu-hogging programs.";
}

std::string AboutDialogText(const std::string& status)
{
    return AboutText() + "\r\n\r\n\r\n" + status;
}

std::string LogLine(const std::string& timeText, const std::string& event, const std::string& name)
{
    std::string time = ReplaceControlBytes(timeText);
    if (time.size() < 25)
        time.append(25 - time.size(), ' ');
    return time + " -> " + ReplaceControlBytes(event) + " | " + ReplaceControlBytes(name) + "\n";
}

std::string CtimeText()
{
    const std::time_t now = std::time(nullptr);
    char buffer[64] = {};  // ctime_r needs 26
    if (ctime_r(&now, buffer) == nullptr)
        return {};
    std::string text(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

SplitCommand SplitCommandLine(const std::string& command)
{
    SplitCommand result;
    if (command.empty())
        return result;
    if (command.front() == '"') {
        const auto close = command.find('"', 1);
        if (close == std::string::npos) {
            result.file = command.substr(1);
            return result;
        }
        result.file = command.substr(1, close - 1);
        const auto rest = command.find_first_not_of(' ', close + 1);
        if (rest != std::string::npos)
            result.parameters = command.substr(rest);
        return result;
    }
    std::string candidate = command;
    while (GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const auto blank = candidate.rfind(' ');
        if (blank == std::string::npos) {
            result.file = command;
            return result;
        }
        candidate.resize(blank);
    }
    result.file = candidate;
    if (candidate.size() < command.size())
        result.parameters = command.substr(candidate.size() + 1);
    return result;
}

}  // namespace quelvo::tray
