#pragma once
// The per-user runtime folder where named mutexes and published window
// lists live: $XDG_RUNTIME_DIR/quelvo, else /tmp/quelvo-<uid>. Created with
// mode 0700; refused when it is not a real folder owned by this user.

#include <string>
#include <sys/types.h>

namespace quelvo::sys {

struct RuntimeFolderResult {
    std::string path;   // empty on failure
    std::string error;  // why it was refused, empty on success
    explicit operator bool() const { return !path.empty(); }
};

// Computed on each call from the environment; creates the folder when
// missing and tightens its mode when it is ours but open to others.
RuntimeFolderResult RuntimeFolder();

// The same for an explicit base ("" = no XDG_RUNTIME_DIR) and user id.
RuntimeFolderResult RuntimeFolderFor(const std::string& xdgRuntimeDir, uid_t uid);

}  // namespace quelvo::sys
