#pragma once
// Copying texts into callers' fixed buffers (internal).

#include <cstring>
#include <string_view>

#include "platform/system/wintypes.h"

namespace quelvo::sys {

// Copies at most size - 1 characters and a terminating zero; returns the
// number copied. Nothing is written when size is 0.
inline DWORD CopyTextOut(std::string_view text, char* buffer, DWORD size)
{
    if (buffer == nullptr || size == 0) return 0;
    const std::size_t count = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

}  // namespace quelvo::sys
