#include "engine/CIniFile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/system/file_replace.h"

namespace {

constexpr const char* kLineEnd = "\r\r\n";
// A settings file is a few kilobytes; anything this large is not one.
constexpr std::streamoff kMaxFileSize = 16 * 1024 * 1024;

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
    const std::string wanted = NormalizeCase(name);
    for (std::size_t i = 0; i < sectionNames_.size(); ++i)
        if (NormalizeCase(sectionNames_[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

int CIniFile::FindEntry(int section, const std::string& name) const
{
    if (section < 0 || static_cast<std::size_t>(section) >= sections_.size())
        return -1;
    const std::string wanted = NormalizeCase(name);
    const auto& names = sections_[static_cast<std::size_t>(section)].names;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (NormalizeCase(names[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

int CIniFile::AddSection(const std::string& name)
{
    sectionNames_.push_back(name);
    sections_.emplace_back();
    return static_cast<int>(sections_.size() - 1);
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

bool CIniFile::Parse(const std::string& contents)
{
    std::size_t pos = 0;
    // A byte-order mark is an editor's addition, not part of the first line.
    if (contents.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;

    std::string current;
    while (pos < contents.size()) {
        std::size_t end = contents.find('\n', pos);
        if (end == std::string::npos)
            end = contents.size();
        std::string line = contents.substr(pos, end - pos);
        pos = end + 1;
        // CR before the LF, then one more CR: CR CR LF, CR LF and LF alike.
        for (int i = 0; i < 2 && !line.empty() && line.back() == '\r'; ++i)
            line.pop_back();
        if (line.empty())
            continue;

        const auto first = static_cast<unsigned char>(line[0]);
        if (first < 32 || first > 126) {
            // One odd line is skipped rather than ending the load, so it
            // cannot silently empty the rules that follow it.
            std::printf("Failing on char %d\n", static_cast<int>(first));
            std::fflush(stdout);
            continue;
        }

        const auto mark = line.find_first_of(";#[=");
        if (mark == std::string::npos)
            continue;
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
    return !sections_.empty();
}

bool CIniFile::Load()
{
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxFileSize)
        return false;
    in.seekg(0, std::ios::beg);
    std::string contents(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in.read(contents.data(), size))
        return false;
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
