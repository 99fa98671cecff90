#pragma once
// The libraries LoadLibraryA and GetProcAddress know: tables of this
// platform's own functions under the library names programs bind.
// "PSAPI.DLL", "VDMDBG.DLL" and "KERNEL32.DLL" (its Toolhelp functions) are
// filled here; higher layers add theirs ("USER32.DLL", ...) at start-up.

#include <string>
#include <string_view>

#include "platform/system/wintypes.h"

namespace quelvo::sys {

// Upper case, folders dropped, ".DLL" added when no extension is given.
std::string CanonicalLibraryName(std::string_view name);

// Adds (or replaces) a function of a library, creating the library.
void RegisterLibraryFunction(std::string_view library, std::string_view function, FARPROC address);

}  // namespace quelvo::sys
