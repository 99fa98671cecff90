#include "platform/hostlib/core/files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string_view>

#include "platform/hostlib/core/format.h"
#include "platform/system/winbase.h"
#include "platform/system/winerror.h"

namespace hostlib {

std::string ExtractFilePath(const std::string& fileName)
{
    const std::size_t slash = fileName.find_last_of('/');
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& fileName)
{
    const std::size_t slash = fileName.find_last_of('/');
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

bool FileExists(const std::string& fileName)
{
    const DWORD attributes = GetFileAttributesA(fileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFile(const std::string& fileName) { return !fileName.empty() && ::unlink(fileName.c_str()) == 0; }

TDateTime FileAge(const std::string& fileName)
{
    struct stat st{};
    if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    std::tm local{};
    if (!localtime_r(&st.st_mtim.tv_sec, &local)) return -1;
    TDateTime age = 0;
    TDateTime time = 0;
    // A stamp outside the calendar (or a leap second) is no age to show.
    if (!TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, age) ||
        !TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec < 60 ? local.tm_sec : 59,
                       static_cast<int>(st.st_mtim.tv_nsec / 1000000), time))
        return -1;
    return age < 0 ? age - time : age + time;
}

namespace {

// '*' any run, '?' one character; both sides already folded.
bool Glob(std::string_view name, std::string_view pattern)
{
    std::size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool MatchesFilePattern(const std::string& name, const std::string& pattern, bool executable)
{
    const std::string p = AnsiLowerCase(pattern);
    if (p == "*" || p == "*.*") return true;
    if (p == "*.exe" && executable) return true;
    return Glob(AnsiLowerCase(name), p);
}

struct FindState {
    DIR* dir = nullptr;
    std::string folder;   // with its trailing '/'
    std::string pattern;
    int attr = 0;
    ~FindState()
    {
        if (dir) closedir(dir);
    }
};

namespace {

// Attributes as a listing reports them: links followed, a dangling link
// counting as a plain file.
int EntryAttributes(const std::string& path, std::int64_t& size)
{
    struct stat st{};
    size = 0;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return faArchive;
    if (stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) size = st.st_size;
    return static_cast<int>(attributes) & faAnyFile;
}

// The next entry that matches, in rec; non-zero at the end.
int ReadMatching(TSearchRec& rec)
{
    FindState& state = *rec.State;
    const int excluded = ~state.attr & (faDirectory | faHidden | faSysFile);
    while (dirent* entry = readdir(state.dir)) {
        const std::string name = entry->d_name;
        if (!MatchesFilePattern(name, state.pattern, false)) continue;
        std::int64_t size = 0;
        const int attr = EntryAttributes(state.folder + name, size);
        if (attr & excluded) continue;
        rec.Name = name;
        rec.Attr = attr;
        rec.Size = size;
        return 0;
    }
    return static_cast<int>(ERROR_NO_MORE_FILES);
}

}  // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& rec)
{
    FindClose(rec);
    auto state = std::make_shared<FindState>();
    state->folder = ExtractFilePath(path);
    state->pattern = ExtractFileName(path);
    state->attr = attr;
    state->dir = opendir(state->folder.empty() ? "." : state->folder.c_str());
    if (!state->dir) return static_cast<int>(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED);
    rec.State = std::move(state);
    const int result = ReadMatching(rec);
    if (result != 0) FindClose(rec);
    return result;
}

int FindNext(TSearchRec& rec)
{
    if (!rec.State) return static_cast<int>(ERROR_NO_MORE_FILES);
    return ReadMatching(rec);
}

void FindClose(TSearchRec& rec) { rec.State.reset(); }

}  // namespace hostlib
