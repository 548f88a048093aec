#pragma once
// Little-endian integers read from bytes, whatever the byte order and
// alignment of the machine. The caller has checked that the bytes exist.

#include <cstdint>

namespace base {

inline std::uint16_t readLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

inline std::uint32_t readLe32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

} // namespace base
