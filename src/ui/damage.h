#pragma once
// What asked to be repainted since it was last taken: nothing, a few
// rectangles, or everything. Rectangles that touch are merged; past a few,
// all are merged into their bounds.

#include "gfx/geometry.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace ui {

struct Damage {
    static constexpr std::size_t MaxRects = 4;

    bool all = false;
    std::vector<gfx::Rect> rects;

    bool empty() const { return !all && rects.empty(); }
    void addAll() { all = true; }
    void add(gfx::Rect r)
    {
        if (!(r.left < r.right && r.top < r.bottom))
            return;
        // Merged with every rectangle it touches, until none is left.
        for (bool merged = true; merged;) {
            merged = false;
            for (auto it = rects.begin(); it != rects.end(); ++it) {
                if (it->left <= r.right && r.left <= it->right && it->top <= r.bottom && r.top <= it->bottom) {
                    r = unite(r, *it);
                    rects.erase(it);
                    merged = true;
                    break;
                }
            }
        }
        rects.push_back(r);
        if (rects.size() > MaxRects) {
            const gfx::Rect whole = bounds();
            rects.assign(1, whole);
        }
    }
    // The bounds of the rectangles (empty without any).
    gfx::Rect bounds() const
    {
        gfx::Rect b{};
        for (std::size_t i = 0; i < rects.size(); ++i)
            b = i == 0 ? rects[i] : unite(b, rects[i]);
        return b;
    }
    // Gives what was asked for and starts afresh.
    Damage take() { return std::exchange(*this, Damage{}); }

    static gfx::Rect unite(const gfx::Rect& a, const gfx::Rect& b)
    {
        return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
    }
};

// The rectangle widened to whole units (floor of left and top, ceiling of
// right and bottom).
inline gfx::Rect wholePixels(const gfx::Rect& r)
{
    return {std::floor(r.left), std::floor(r.top), std::ceil(r.right), std::ceil(r.bottom)};
}

} // namespace ui
