#pragma once
// A bitmap the render target can draw: premultiplied BGRA, 8 bits a channel,
// rows top to bottom, 4 × width bytes a row, at 96 DPI (one texel is one
// device-independent pixel). The layout is QImage's ARGB32_Premultiplied on
// little-endian machines, so the graphics layer draws it without conversion.

#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace gfx {

// An allocator whose default construction leaves bytes unset: pixels are
// written whole by whoever makes a bitmap, and filling 16 MiB with zeros
// first would cost as much as decoding it. resize(n, value) and assign fill.
template <class T>
struct UnsetAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UnsetAllocator<U>;
    };
    UnsetAllocator() = default;
    template <class U>
    UnsetAllocator(const UnsetAllocator<U>&) noexcept
    {
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(p)) U;
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// Pixel bytes: resize(n) leaves new bytes unset.
using PixelBytes = std::vector<std::uint8_t, UnsetAllocator<std::uint8_t>>;

struct Bitmap {
    int width = 0;
    int height = 0;
    PixelBytes pixels; // width * height * 4 bytes: B, G, R, A premultiplied

    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 4; }
    const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width * 4; }
};

using BitmapPtr = std::shared_ptr<const Bitmap>;

} // namespace gfx
