#pragma once
// Saving a whole file so that a failed or interrupted save never leaves
// half a file behind.

#include <string>
#include <string_view>

namespace quelvo::sys {

// Writes content to a new temporary file beside the target, flushes it to
// disk and renames it over the target. The new file keeps the mode of the
// one it replaces (a new one: 0666 less the umask). A path that is a
// symbolic link stays one: the file it points to gets the content. False,
// with the target untouched, no temporary file left and errno saying why,
// when any step fails.
bool ReplaceFileContents(const std::string& path, std::string_view content);

}  // namespace quelvo::sys
