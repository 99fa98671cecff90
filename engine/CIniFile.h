#pragma once
// In-memory INI document: file comments, then sections with their comments
// and entries, all kept in the order met. Section and entry names keep their
// spelling and are compared case-insensitively (ASCII); values and comments
// are kept byte for byte. Every line written ends with CR CR LF; the reader
// takes every CR and LF as a line end, so LF, CR LF, CR CR LF and CR alone
// read alike. Lookups are hashed on the case-folded names, so loading is
// linear in the size of the file.

#include <string>
#include <unordered_map>
#include <vector>

class CIniFile {
public:
    struct key {
        std::vector<std::string> names;
        std::vector<std::string> values;
        std::vector<std::string> comments;
    };

    explicit CIniFile(std::string path = {});
    virtual ~CIniFile() = default;

    void SetPath(const std::string& path) { path_ = path; }
    const std::string& Path() const { return path_; }

    // Adds what the file holds to the document (it is not emptied first).
    // False when the file cannot be read or holds no section. Only a
    // regular file is read, without ever blocking in open; why a file was
    // refused or which odd line was skipped is printed once to standard
    // error and kept in Problem().
    bool Load();
    // Replaces the file through a temporary file in the same folder; false
    // when anything could not be written (the old file then stays).
    bool Save() const;

    std::string NormalizeCase(const std::string& name) const;
    int FindSection(const std::string& name) const;
    int FindEntry(int section, const std::string& name) const;
    int AddSection(const std::string& name);

    bool SetString(const std::string& section, const std::string& name, const std::string& value, bool create);
    bool SetInt(const std::string& section, const std::string& name, int number);
    bool SetBool(const std::string& section, const std::string& name, bool flag);

    std::string GetString(const std::string& section, const std::string& name, const std::string& def) const;
    int GetInt(const std::string& section, const std::string& name, int def) const;
    bool GetBool(const std::string& section, const std::string& name, bool def) const;

    void AddFileComment(const std::string& text);
    bool AddSectionComment(int section, const std::string& text);
    bool AddSectionComment(const std::string& section, const std::string& text);

    // The document as written to disk.
    std::string Serialize() const;
    // Reads a document from file contents; the result as for Load.
    bool Parse(const std::string& contents);
    // What went wrong in the last Load or Parse ("" when nothing): the
    // first skipped line as "Failing on char N", or why the file was refused.
    const std::string& Problem() const { return problem_; }

    const std::vector<std::string>& SectionNames() const { return sectionNames_; }
    const std::vector<key>& Sections() const { return sections_; }
    const std::vector<std::string>& FileComments() const { return fileComments_; }

    // The integer value of a text as the C library's atoi reads it, with
    // out-of-range numbers clamped instead of undefined.
    static int AtoI(const std::string& text);

private:
    using Index = std::unordered_map<std::string, int>;
    void ParseLine(const std::string& line, std::string& current);
    void Report(std::string problem);

    std::string path_;
    std::string problem_;
    Index sectionIndex_;              // folded name -> first section of it
    std::vector<Index> entryIndex_;   // per section: folded name -> entry
    bool caseInsensitive_ = true;
    std::vector<std::string> sectionNames_;
    std::vector<key> sections_;
    std::vector<std::string> fileComments_;
};
