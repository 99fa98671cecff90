#include "platform/system/desktop_entry.h"

#include "platform/system/command_line.h"

namespace quelvo::sys {

std::string QuoteExecArgument(std::string_view argument)
{
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool needsQuotes = argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
    std::string out;
    if (needsQuotes) out += '"';
    for (const char c : argument) {
        if (c == '%') {
            out += "%%";
            continue;
        }
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
        out += c;
    }
    if (needsQuotes) out += '"';
    return out;
}

std::string EscapeDesktopString(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case ' ': out += i == 0 ? "\\s" : " "; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string FormatDesktopEntry(const DesktopEntry& entry)
{
    std::string exec = QuoteExecArgument(entry.target);
    for (const std::string& argument : SplitParameters(entry.arguments)) {
        exec += ' ';
        exec += QuoteExecArgument(argument);
    }
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=" + EscapeDesktopString(entry.name) + "\n";
    if (!entry.comment.empty()) text += "Comment=" + EscapeDesktopString(entry.comment) + "\n";
    text += "Exec=" + EscapeDesktopString(exec) + "\n";
    if (!entry.workingDirectory.empty()) text += "Path=" + EscapeDesktopString(entry.workingDirectory) + "\n";
    text += "Terminal=false\n";
    return text;
}

}  // namespace quelvo::sys
