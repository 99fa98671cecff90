// The engine's INI reader as both programs load "Quelvo.ini": parse, take
// the options and rules out, and write a fresh document back.

#include "engine/CIniFile.h"
#include "engine/ProcessWatcher.h"
#include "engine/ProgramOptions.h"
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ProcessWatcher watcher;
    CIniFile document;
    document.Parse(std::string(quelvo::fuzz::Text(data, size)));
    ProgramOptions options;
    options.Watcher = &watcher;
    LoadOptions(options, document);
    CIniFile fresh;
    SaveOptions(options, fresh);
    CIniFile again;
    again.Parse(fresh.Serialize());
    document.Serialize();
    return 0;
}
