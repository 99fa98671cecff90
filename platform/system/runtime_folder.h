#pragma once
// Per-user folders of the programs.
//
// The runtime folder holds named mutexes and published window lists:
// $XDG_RUNTIME_DIR/quelvo; without that variable /run/user/<uid>/quelvo
// when the system made that folder for the user, else the user's state
// folder's "run", and only when none of these can be used
// /tmp/quelvo-<uid>, which other users could have made first.
//
// The state folder ($XDG_STATE_HOME/quelvo, else ~/.local/state/quelvo)
// is the same for every session of the user on the machine, whatever its
// environment: it holds what must be one per user (the single-instance
// locks, the record of lowered processes).
//
// Both are created with mode 0700 and refused when they are not real
// folders owned by the user.

#include <string>
#include <sys/types.h>

namespace quelvo::sys {

struct RuntimeFolderResult {
    std::string path;   // empty on failure
    std::string error;  // why it was refused, empty on success
    explicit operator bool() const { return !path.empty(); }
};

// Where the folders may be; the environment's values by default.
struct UserPlaces {
    std::string xdgRuntimeDir;          // "" = unset
    std::string xdgStateHome;           // "" = unset
    std::string home;                   // "" = none
    std::string runUser = "/run/user";  // the system's per-user runtime folders
    std::string tmp = "/tmp";
};
UserPlaces PlacesFromEnvironment(uid_t uid);

// The user's home: $HOME when it is an absolute path, else the password
// database's entry for uid; "" when neither gives one.
std::string HomeFolderOf(uid_t uid);

// Computed on each call from the environment; creates the folder when
// missing and tightens its mode when it is ours but open to others.
RuntimeFolderResult RuntimeFolder();
RuntimeFolderResult RuntimeFolderFor(const UserPlaces& places, uid_t uid);
// The same for an explicit base ("" = no XDG_RUNTIME_DIR) and user id; the
// other places from the environment.
RuntimeFolderResult RuntimeFolderFor(const std::string& xdgRuntimeDir, uid_t uid);

RuntimeFolderResult StateFolder();
RuntimeFolderResult StateFolderFor(const UserPlaces& places, uid_t uid);

}  // namespace quelvo::sys
