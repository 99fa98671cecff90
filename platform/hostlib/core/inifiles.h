#pragma once
// INI files: sections of key=value lines, names compared without regard to
// case. TMemIniFile keeps the file in memory until UpdateFile; TIniFile
// writes every change through to the file at once.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/object.h"

namespace hostlib {

class TStrings;
class TStream;

class TCustomIniFile : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    explicit TCustomIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    virtual std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) = 0;
    virtual void WriteString(const std::string& section, const std::string& ident, const std::string& value) = 0;
    // Decimal, "$hex" or "0xhex"; def for anything else.
    int ReadInteger(const std::string& section, const std::string& ident, int def);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    // A number: non-zero is true; def for anything else.
    bool ReadBool(const std::string& section, const std::string& ident, bool def);
    // "1" or "0".
    void WriteBool(const std::string& section, const std::string& ident, bool value);
    // With the locale's decimal separator; def for anything else.
    double ReadFloat(const std::string& section, const std::string& ident, double def);
    void WriteFloat(const std::string& section, const std::string& ident, double value);
    TDateTime ReadDate(const std::string& section, const std::string& ident, TDateTime def);
    TDateTime ReadDateTime(const std::string& section, const std::string& ident, TDateTime def);
    TDateTime ReadTime(const std::string& section, const std::string& ident, TDateTime def);
    void WriteDate(const std::string& section, const std::string& ident, TDateTime value);
    void WriteDateTime(const std::string& section, const std::string& ident, TDateTime value);
    void WriteTime(const std::string& section, const std::string& ident, TDateTime value);
    // Hexadecimal text; returns the bytes read (0 for missing or malformed).
    int ReadBinaryStream(const std::string& section, const std::string& name, TStream& value);
    void WriteBinaryStream(const std::string& section, const std::string& name, TStream& value);

    // Fill strings (cleared first) with the keys of a section / all section
    // names / the section's "key=value" lines.
    virtual void ReadSection(const std::string& section, TStrings* strings) = 0;
    virtual void ReadSections(TStrings* strings) = 0;
    virtual void ReadSectionValues(const std::string& section, TStrings* strings) = 0;
    virtual void EraseSection(const std::string& section) = 0;
    virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
    virtual void UpdateFile() = 0;
    bool SectionExists(const std::string& section);
    virtual bool ValueExists(const std::string& section, const std::string& ident);

protected:
    void SetFileName(std::string name) { fileName_ = std::move(name); }

private:
    std::string fileName_;
};

// The parsed content of an INI file, shared by both file classes. Sections
// and keys are found through indexes by case-folded name, so reading a file
// takes time in proportion to its size; the lists keep file order for
// writing back.
class IniDocument {
public:
    struct Entry {
        std::string key;
        std::string value;
        bool hasValue = true;  // a line without "=" is kept as it stands
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        // The first entry with a value, per folded key.
        std::unordered_map<std::string, std::size_t> keys;
    };

    // Lines are trimmed; ";" and "#" comment lines and lines before the
    // first section are dropped; repeated sections are merged.
    void Parse(std::string_view text);
    std::string Text() const;
    Section* FindSection(std::string_view name);
    Section& AddSection(std::string_view name);
    Entry* FindEntry(std::string_view section, std::string_view key);
    void AddEntry(Section& section, Entry entry);
    void EraseSection(std::string_view name);
    void DeleteKey(std::string_view section, std::string_view key);
    void Clear();
    const std::vector<Section>& Sections() const { return sections_; }

private:
    static void IndexEntries(Section& section);

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> index_;
};

class TMemIniFile : public TCustomIniFile {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    // Reads the file when it exists; a missing or unreadable file gives an
    // empty document.
    explicit TMemIniFile(std::string fileName);

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void ReadSection(const std::string& section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;
    void ReadSectionValues(const std::string& section, TStrings* strings) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    // Writes the whole document; raises EIniFileException when it cannot.
    void UpdateFile() override;
    void Clear() { doc_.Clear(); }
    // The document as lines / replaced by lines.
    void GetStrings(TStrings* list);
    void SetStrings(TStrings* list);
    void Rename(const std::string& fileName, bool reload);

protected:
    IniDocument doc_;
};

// Every write goes to the file at once; values in matching quotes are read
// without them.
class TIniFile : public TMemIniFile {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    explicit TIniFile(std::string fileName) : TMemIniFile(std::move(fileName)) {}

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
};

}  // namespace hostlib
