#include "platform/hostlib/core/inifiles.h"

#include <algorithm>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"
#include "platform/system/text_conversion.h"

namespace hostlib {

TClass TCustomIniFile::StaticClass()
{
    return DefineClass<TCustomIniFile, TObject>("TCustomIniFile");
}
TClass TMemIniFile::StaticClass()
{
    return DefineClass<TMemIniFile, TCustomIniFile>("TMemIniFile");
}
TClass TIniFile::StaticClass()
{
    return DefineClass<TIniFile, TMemIniFile>("TIniFile");
}

// ---- typed values over strings ---------------------------------------------------

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int def)
{
    std::string s = Trim(ReadString(section, ident, ""));
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
    return StrToIntDef(s, def);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool def)
{
    return StrToIntDef(Trim(ReadString(section, ident, "")), def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident, double def)
{
    double v = 0;
    return TryStrToFloat(ReadString(section, ident, ""), v) ? v : def;
}

void TCustomIniFile::WriteFloat(const std::string& section, const std::string& ident, double value)
{
    WriteString(section, ident, FloatToStr(value));
}

TDateTime TCustomIniFile::ReadDate(const std::string& section, const std::string& ident, TDateTime def)
{
    TDateTime v = 0;
    return TryStrToDate(ReadString(section, ident, ""), v) ? v : def;
}

TDateTime TCustomIniFile::ReadDateTime(const std::string& section, const std::string& ident, TDateTime def)
{
    TDateTime v = 0;
    return TryStrToDateTime(ReadString(section, ident, ""), v) ? v : def;
}

TDateTime TCustomIniFile::ReadTime(const std::string& section, const std::string& ident, TDateTime def)
{
    TDateTime v = 0;
    return TryStrToTime(ReadString(section, ident, ""), v) ? v : def;
}

void TCustomIniFile::WriteDate(const std::string& section, const std::string& ident, TDateTime value)
{
    WriteString(section, ident, DateToStr(value));
}

void TCustomIniFile::WriteDateTime(const std::string& section, const std::string& ident, TDateTime value)
{
    WriteString(section, ident, DateTimeToStr(value));
}

void TCustomIniFile::WriteTime(const std::string& section, const std::string& ident, TDateTime value)
{
    WriteString(section, ident, TimeToStr(value));
}

int TCustomIniFile::ReadBinaryStream(const std::string& section, const std::string& name, TStream& value)
{
    const std::string text = ReadString(section, name, "");
    if (text.size() % 2 != 0) return 0;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = quelvo::sys::HexDigitValue(text[i]);
        const int lo = quelvo::sys::HexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0) return 0;
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    if (!bytes.empty()) value.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return static_cast<int>(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const std::string& section, const std::string& name, TStream& value)
{
    std::string text;
    std::uint8_t buf[4096];
    while (true) {
        const std::int64_t n = value.Read(buf, sizeof buf);
        if (n <= 0) break;
        for (std::int64_t i = 0; i < n; ++i) text += IntToHex(buf[i], 2);
    }
    WriteString(section, name, text);
}

bool TCustomIniFile::SectionExists(const std::string& section)
{
    auto list = MakeObject<TStringList>();
    ReadSection(section, list.get());
    if (list->Count() > 0) return true;
    auto all = MakeObject<TStringList>();
    ReadSections(all.get());
    return all->IndexOf(section) >= 0;
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident)
{
    auto list = MakeObject<TStringList>();
    ReadSection(section, list.get());
    return list->IndexOf(ident) >= 0;
}

// ---- IniDocument ------------------------------------------------------------------------

void IniDocument::Parse(std::string_view text)
{
    Clear();
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.remove_prefix(3);
    Section* current = nullptr;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '\n' && text[j] != '\r') ++j;
        const std::string line = Trim(text.substr(i, j - i));
        if (j < text.size() && text[j] == '\r') ++j;
        if (j < text.size() && text[j] == '\n') ++j;
        i = j;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &AddSection(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        if (!current) continue;  // keys before any section belong nowhere
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) AddEntry(*current, {line, "", false});
        else AddEntry(*current, {Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)), true});
    }
}

std::string IniDocument::Text() const
{
    std::string out;
    bool first = true;
    for (const auto& s : sections_) {
        if (!first) out += '\n';
        first = false;
        out += "[" + s.name + "]\n";
        for (const auto& e : s.entries) {
            out += e.key;
            if (e.hasValue) out += "=" + e.value;
            out += '\n';
        }
    }
    return out;
}

IniDocument::Section* IniDocument::FindSection(std::string_view name)
{
    const auto it = index_.find(AnsiSameTextKey(name));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

IniDocument::Section& IniDocument::AddSection(std::string_view name)
{
    const auto [it, added] = index_.emplace(AnsiSameTextKey(name), sections_.size());
    if (added) sections_.push_back(Section{std::string(name), {}, {}});
    return sections_[it->second];
}

IniDocument::Entry* IniDocument::FindEntry(std::string_view section, std::string_view key)
{
    Section* s = FindSection(section);
    if (!s) return nullptr;
    const auto it = s->keys.find(AnsiSameTextKey(key));
    return it == s->keys.end() ? nullptr : &s->entries[it->second];
}

void IniDocument::AddEntry(Section& section, Entry entry)
{
    if (entry.hasValue) section.keys.emplace(AnsiSameTextKey(entry.key), section.entries.size());
    section.entries.push_back(std::move(entry));
}

void IniDocument::EraseSection(std::string_view name)
{
    const auto it = index_.find(AnsiSameTextKey(name));
    if (it == index_.end()) return;
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(it->second));
    index_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i) index_.emplace(AnsiSameTextKey(sections_[i].name), i);
}

void IniDocument::DeleteKey(std::string_view section, std::string_view key)
{
    Section* s = FindSection(section);
    if (!s) return;
    const std::string folded = AnsiSameTextKey(key);
    std::erase_if(s->entries, [&](const Entry& e) { return e.hasValue && AnsiSameTextKey(e.key) == folded; });
    IndexEntries(*s);
}

void IniDocument::Clear()
{
    sections_.clear();
    index_.clear();
}

void IniDocument::IndexEntries(Section& section)
{
    section.keys.clear();
    for (std::size_t i = 0; i < section.entries.size(); ++i)
        if (section.entries[i].hasValue) section.keys.emplace(AnsiSameTextKey(section.entries[i].key), i);
}

// ---- TMemIniFile -------------------------------------------------------------------------

TMemIniFile::TMemIniFile(std::string fileName) : TCustomIniFile(std::move(fileName))
{
    std::string content;
    if (ReadFileBytes(FileName(), content)) doc_.Parse(content);
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def)
{
    const IniDocument::Entry* e = doc_.FindEntry(section, ident);
    return e ? e->value : def;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value)
{
    // Line breaks would split the entry when the file is read back.
    std::string v = value;
    std::replace(v.begin(), v.end(), '\r', ' ');
    std::replace(v.begin(), v.end(), '\n', ' ');
    if (IniDocument::Entry* e = doc_.FindEntry(section, ident)) {
        e->value = v;
        return;
    }
    doc_.AddEntry(doc_.AddSection(section), {ident, v, true});
}

void TMemIniFile::ReadSection(const std::string& section, TStrings* strings)
{
    if (!strings) return;
    strings->BeginUpdate();
    strings->Clear();
    if (IniDocument::Section* s = doc_.FindSection(section))
        for (const auto& e : s->entries) strings->Add(e.key);
    strings->EndUpdate();
}

void TMemIniFile::ReadSections(TStrings* strings)
{
    if (!strings) return;
    strings->BeginUpdate();
    strings->Clear();
    for (const auto& s : doc_.Sections()) strings->Add(s.name);
    strings->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const std::string& section, TStrings* strings)
{
    if (!strings) return;
    strings->BeginUpdate();
    strings->Clear();
    if (IniDocument::Section* s = doc_.FindSection(section))
        for (const auto& e : s->entries) strings->Add(e.hasValue ? e.key + "=" + e.value : e.key);
    strings->EndUpdate();
}

void TMemIniFile::EraseSection(const std::string& section)
{
    doc_.EraseSection(section);
}

void TMemIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    doc_.DeleteKey(section, ident);
}

void TMemIniFile::UpdateFile()
{
    if (!WriteFileBytesAtomic(FileName(), doc_.Text()))
        throw EIniFileException(Format(messages::SIniFileWriteError, FileName()));
}

void TMemIniFile::GetStrings(TStrings* list)
{
    if (list) list->SetText(doc_.Text());
}

void TMemIniFile::SetStrings(TStrings* list)
{
    doc_.Parse(list ? list->Text() : std::string());
}

void TMemIniFile::Rename(const std::string& fileName, bool reload)
{
    SetFileName(fileName);
    if (reload) {
        std::string content;
        doc_.Clear();
        if (ReadFileBytes(FileName(), content)) doc_.Parse(content);
    }
}

// ---- TIniFile -----------------------------------------------------------------------------

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def)
{
    const IniDocument::Entry* e = doc_.FindEntry(section, ident);
    if (!e) return def;
    const std::string& v = e->value;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
    return v;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value)
{
    TMemIniFile::WriteString(section, ident, value);
    UpdateFile();
}

void TIniFile::EraseSection(const std::string& section)
{
    TMemIniFile::EraseSection(section);
    UpdateFile();
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    TMemIniFile::DeleteKey(section, ident);
    UpdateFile();
}

}  // namespace hostlib
