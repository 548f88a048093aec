#pragma once
// How many brushes, text layouts, bitmaps and layers the process has made so
// far. Painting code caches what it draws with; tests and benchmarks read
// these counts around a paint to see that a repaint made nothing new.
// The counts only grow; they are atomic because fonts may be read on other
// threads, and cost one relaxed increment per resource.

#include <atomic>
#include <cstdint>

namespace gfx {

enum class Resource : int { Brush = 0, TextLayout = 1, Bitmap = 2, Layer = 3 };

struct ResourceCounts {
    std::uint64_t brushes = 0;
    std::uint64_t textLayouts = 0;
    std::uint64_t bitmaps = 0;
    std::uint64_t layers = 0;

    friend bool operator==(const ResourceCounts&, const ResourceCounts&) = default;
};

namespace detail {
inline std::atomic<std::uint64_t> resourcesMade[4];
} // namespace detail

// Called where a resource comes into being (constructors, bitmap factories).
inline void countResource(Resource kind)
{
    detail::resourcesMade[static_cast<int>(kind)].fetch_add(1, std::memory_order_relaxed);
}

inline ResourceCounts resourceCounts()
{
    auto read = [](Resource kind) { return detail::resourcesMade[static_cast<int>(kind)].load(std::memory_order_relaxed); };
    return {read(Resource::Brush), read(Resource::TextLayout), read(Resource::Bitmap), read(Resource::Layer)};
}

} // namespace gfx
