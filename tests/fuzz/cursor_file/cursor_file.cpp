// The cursor-file reader, as cursors compiled into the program are loaded:
// the file is read and, when it reads, made into a cursor handle.

#include "platform/graphics/cursor_file.h"
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    if (HCURSOR cursor = quelvo::gfx::CreateCursorFromFile(quelvo::fuzz::Bytes(data, size), error))
        DestroyCursor(cursor);
    return 0;
}
