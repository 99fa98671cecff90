#include "tray/TrayFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/system/regular_file.h"

namespace quelvo::tray {

namespace {

bool OwnedAndClosed(const std::filesystem::path& path, bool wantDirectory)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    if (wantDirectory ? !S_ISDIR(info.st_mode) : !S_ISREG(info.st_mode))
        return false;
    const uid_t me = ::geteuid();
    if (info.st_uid != me && info.st_uid != 0)
        return false;
    return (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

bool AppendLogLine(const std::string& path, const std::string& line)
{
    // A pipe or device in the log's place is refused, never waited on.
    return quelvo::sys::AppendToRegularFile(path, line);
}

bool IsPrivateToUser(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec)
        return false;
    const std::filesystem::path folder = absolute.has_parent_path() ? absolute.parent_path() : absolute.root_path();
    return OwnedAndClosed(absolute, false) && OwnedAndClosed(folder, true);
}

}  // namespace quelvo::tray
