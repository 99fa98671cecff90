#pragma once
// File names, file tests and folder listings of the host library. Paths use
// '/'; a folder part keeps its trailing '/'.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/hostlib/core/datetime.h"

namespace hostlib {

inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;
inline constexpr int faSysFile = 0x04;
inline constexpr int faVolumeID = 0x08;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faAnyFile = 0x3F;

// The folder part up to and with the last '/' ("" when there is none).
std::string ExtractFilePath(const std::string& fileName);
// The part after the last '/'.
std::string ExtractFileName(const std::string& fileName);
// True for an existing file (following links); false for a folder.
bool FileExists(const std::string& fileName);
bool DeleteFile(const std::string& fileName);
// The file's last modification in local time, to the millisecond the file
// system keeps (links followed); -1 for a missing path or a folder.
TDateTime FileAge(const std::string& fileName);

// '*' any run, '?' one character, case-insensitive; "*" and "*.*" match
// every name, "*.exe" also every executable file.
bool MatchesFilePattern(const std::string& name, const std::string& pattern, bool executable);

struct FindState;

// One entry of a listing. Attr: faDirectory for a folder (links followed;
// a dangling link is a file), faHidden for a name beginning with '.',
// faReadOnly when it cannot be written, else faArchive.
struct TSearchRec {
    std::string Name;
    int Attr = 0;
    std::int64_t Size = 0;
    std::shared_ptr<FindState> State;  // the open listing; FindClose ends it
};

// Lists the folder of path whose names match its last part. Entries
// with attributes outside attr (faDirectory, faHidden, faSysFile) are
// skipped; plain files always match. 0 on success; non-zero when nothing
// matches or the folder cannot be listed. FindClose ends the listing.
int FindFirst(const std::string& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

}  // namespace hostlib
