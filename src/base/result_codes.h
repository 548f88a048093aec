#pragma once
// The result codes (HRESULT values) that our own layers produce, with the
// values the platform's interfaces use for the same conditions. A negative
// code is a failure. The graphics codes have no system text, so messages show
// them as "HR 0x...".

#include <cstdint>

namespace Kestra::Hr {

inline constexpr std::int32_t Ok = 0;
inline constexpr std::int32_t Fail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t OutOfMemory = static_cast<std::int32_t>(0x8007000Eu);
inline constexpr std::int32_t InvalidArgument = static_cast<std::int32_t>(0x80070057u);

// The graphics layer's drawing and text calls.
inline constexpr std::int32_t WrongState = static_cast<std::int32_t>(0x88990001u);
inline constexpr std::int32_t MaxTextureSizeExceeded = static_cast<std::int32_t>(0x8899000Fu);
inline constexpr std::int32_t LayerAlreadyInUse = static_cast<std::int32_t>(0x88990013u);
inline constexpr std::int32_t PopCallDidNotMatchPush = static_cast<std::int32_t>(0x88990014u);
inline constexpr std::int32_t PushPopUnbalanced = static_cast<std::int32_t>(0x88990016u);

// The imaging calls: no decoder understands the data.
inline constexpr std::int32_t ComponentNotFound = static_cast<std::int32_t>(0x88982F50u);

} // namespace Kestra::Hr
