#pragma once
// Result codes of the drawing and text calls of the graphics layer, with the
// values the platform's graphics interfaces use for the same conditions.
// None of them has a system text, so messages show them as "HR 0x...".

#include <cstdint>

namespace gfx::Hr {

inline constexpr std::int32_t WrongState = static_cast<std::int32_t>(0x88990001u);
inline constexpr std::int32_t RecreateTarget = static_cast<std::int32_t>(0x8899000Cu);
inline constexpr std::int32_t MaxTextureSizeExceeded = static_cast<std::int32_t>(0x8899000Fu);
inline constexpr std::int32_t BadNumber = static_cast<std::int32_t>(0x88990011u);
inline constexpr std::int32_t LayerAlreadyInUse = static_cast<std::int32_t>(0x88990013u);
inline constexpr std::int32_t PopCallDidNotMatchPush = static_cast<std::int32_t>(0x88990014u);
inline constexpr std::int32_t PushPopUnbalanced = static_cast<std::int32_t>(0x88990016u);
inline constexpr std::int32_t FontFileFormat = static_cast<std::int32_t>(0x88985000u);

} // namespace gfx::Hr
