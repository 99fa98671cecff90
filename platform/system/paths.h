#pragma once
// Platform constants of file naming that the programs' own code must not
// hard-code: the separator between folders and the extension of a shortcut.

namespace quelvo::sys {

inline constexpr char kPathSeparator = '/';
inline constexpr const char* kPathSeparatorText = "/";
// A start-up shortcut is a desktop entry on this platform.
inline constexpr const char* kShortcutExtension = ".desktop";

}  // namespace quelvo::sys
