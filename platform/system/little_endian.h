#pragma once
// Little-endian integers inside byte buffers (bitmap, cursor and clipboard
// formats); the caller has checked that the bytes are there.

#include <cstdint>

namespace quelvo::sys {

inline std::uint16_t ReadLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t ReadLe32(const std::uint8_t* p)
{
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

inline void WriteLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace quelvo::sys
