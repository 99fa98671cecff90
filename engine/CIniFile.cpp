#include "engine/CIniFile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/system/file_replace.h"
#include "platform/system/regular_file.h"

namespace {

constexpr const char* kLineEnd = "\r\r\n";
// A settings file is a few kilobytes; anything this large is not one.
constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

} // namespace

CIniFile::CIniFile(std::string path) : path_(std::move(path)) {}

int CIniFile::AtoI(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(value);
}

std::string CIniFile::NormalizeCase(const std::string& name) const
{
    if (!caseInsensitive_)
        return name;
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

int CIniFile::FindSection(const std::string& name) const
{
    const auto found = sectionIndex_.find(NormalizeCase(name));
    return found == sectionIndex_.end() ? -1 : found->second;
}

int CIniFile::FindEntry(int section, const std::string& name) const
{
    if (section < 0 || static_cast<std::size_t>(section) >= sections_.size())
        return -1;
    const Index& entries = entryIndex_[static_cast<std::size_t>(section)];
    const auto found = entries.find(NormalizeCase(name));
    return found == entries.end() ? -1 : found->second;
}

int CIniFile::AddSection(const std::string& name)
{
    const int index = static_cast<int>(sections_.size());
    sectionNames_.push_back(name);
    sections_.emplace_back();
    entryIndex_.emplace_back();
    // The first section of a name keeps answering lookups.
    sectionIndex_.emplace(NormalizeCase(name), index);
    return index;
}

bool CIniFile::SetString(const std::string& section, const std::string& name, const std::string& value, bool create)
{
    int s = FindSection(section);
    if (s < 0) {
        if (!create)
            return false;
        s = AddSection(section);
    }
    auto& sec = sections_[static_cast<std::size_t>(s)];
    const int e = FindEntry(s, name);
    if (e < 0) {
        if (!create)
            return false;
        entryIndex_[static_cast<std::size_t>(s)].emplace(NormalizeCase(name), static_cast<int>(sec.names.size()));
        sec.names.push_back(name);
        sec.values.push_back(value);
        return true;
    }
    sec.values[static_cast<std::size_t>(e)] = value;
    return true;
}

bool CIniFile::SetInt(const std::string& section, const std::string& name, int number)
{
    return SetString(section, name, std::to_string(number), true);
}

bool CIniFile::SetBool(const std::string& section, const std::string& name, bool flag)
{
    return SetInt(section, name, flag ? 1 : 0);
}

std::string CIniFile::GetString(const std::string& section, const std::string& name, const std::string& def) const
{
    const int s = FindSection(section);
    const int e = FindEntry(s, name);
    if (e < 0)
        return def;
    return sections_[static_cast<std::size_t>(s)].values[static_cast<std::size_t>(e)];
}

int CIniFile::GetInt(const std::string& section, const std::string& name, int def) const
{
    return AtoI(GetString(section, name, std::to_string(def)));
}

bool CIniFile::GetBool(const std::string& section, const std::string& name, bool def) const
{
    return GetInt(section, name, def ? 1 : 0) != 0;
}

void CIniFile::AddFileComment(const std::string& text)
{
    fileComments_.push_back(text);
}

bool CIniFile::AddSectionComment(int section, const std::string& text)
{
    if (section < 0 || static_cast<std::size_t>(section) >= sections_.size())
        return false;
    sections_[static_cast<std::size_t>(section)].comments.push_back(text);
    return true;
}

bool CIniFile::AddSectionComment(const std::string& section, const std::string& text)
{
    return AddSectionComment(FindSection(section), text);
}

void CIniFile::Report(std::string problem)
{
    problem_ = std::move(problem);
    // Never fatal: standard error may be closed or a broken pipe.
    std::fprintf(stderr, "%s\n", problem_.c_str());
    std::fflush(stderr);
}

void CIniFile::ParseLine(const std::string& line, std::string& current)
{
    const auto mark = line.find_first_of(";#[=");
    if (mark == std::string::npos)
        return;
    switch (line[mark]) {
    case ';':
    case '#': {
        const std::string comment = line.substr(mark + 1);
        if (!sections_.empty())
            AddSectionComment(current, comment);
        else
            AddFileComment(comment);
        break;
    }
    case '=':
        SetString(current, line.substr(0, mark), line.substr(mark + 1), true);
        break;
    case '[': {
        const auto close = line.rfind(']');
        if (close == std::string::npos || close <= mark)
            break;
        current = line.substr(mark + 1, close - mark - 1);
        AddSection(current);
        break;
    }
    }
}

bool CIniFile::Parse(const std::string& contents)
{
    problem_.clear();
    std::size_t pos = 0;
    // A byte-order mark is an editor's addition, not part of the first line.
    if (contents.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;

    std::string current;
    int firstOdd = -1;
    while (pos < contents.size()) {
        // Every CR and LF ends a line; the empty lines between the bytes of
        // CR LF or CR CR LF are skipped below.
        std::size_t end = contents.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = contents.size();
        const std::string line = contents.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty())
            continue;
        const auto first = static_cast<unsigned char>(line[0]);
        if (first < 32 || first > 126) {
            // Skipped rather than ending the load, so one odd line cannot
            // silently empty the rules that follow it; told once per load.
            if (firstOdd < 0)
                firstOdd = first;
            continue;
        }
        ParseLine(line, current);
    }
    if (firstOdd >= 0)
        Report("Failing on char " + std::to_string(firstOdd));
    return !sections_.empty();
}

bool CIniFile::Load()
{
    std::string contents;
    const quelvo::sys::RegularFileRead read = quelvo::sys::ReadRegularFile(path_, kMaxFileSize, contents);
    if (!read.ok) {
        // A missing file is the usual first start, not worth a word.
        if (read.missing)
            problem_.clear();
        else
            Report(path_ + ": " + read.error);
        return false;
    }
    return Parse(contents);
}

std::string CIniFile::Serialize() const
{
    std::string out;
    for (const auto& c : fileComments_)
        out += ";" + c + kLineEnd;
    if (!fileComments_.empty())
        out += kLineEnd;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const auto& sec = sections_[s];
        out += "[" + sectionNames_[s] + "]" + kLineEnd;
        for (const auto& c : sec.comments)
            out += ";" + c + kLineEnd;
        for (std::size_t e = 0; e < sec.names.size(); ++e)
            out += sec.names[e] + "=" + sec.values[e] + kLineEnd;
        out += kLineEnd;
    }
    return out;
}

bool CIniFile::Save() const
{
    // Never a half-written settings file, even when the save fails.
    return !path_.empty() && quelvo::sys::ReplaceFileContents(path_, Serialize());
}
