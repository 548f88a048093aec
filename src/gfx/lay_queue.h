#pragma once
// Kept pictures waiting to be laid down (used only by the render target's
// implementation): a frame's pictures are laid in the order their calls came,
// all at once when something else is about to touch the pixels, on two
// threads that each take a band of rows. Every pixel still meets the same
// pictures in the same order, so the result is the same to the bit.
//
// The queue holds the entries by address: the cache's entries must stay as
// they are until the queue is laid (the cache says before it changes one,
// DrawingCache::setBeforeChange), and so must the images. What is still
// waiting when the queue goes is not laid.

#include "gfx/drawing_cache.h"

#include <QRect>

#include <cstddef>
#include <vector>

namespace gfx {

class LayQueue {
public:
    LayQueue() = default;
    LayQueue(const LayQueue&) = delete;
    LayQueue& operator=(const LayQueue&) = delete;

    // The entry's picture, to be laid into the premultiplied pixels (bits,
    // bytes per row stride) within clip.
    void add(uchar* bits, qsizetype stride, const QRect& clip, const DrawingCache::Entry& entry);
    // Lays everything added, in order; afterwards the queue is empty.
    void lay();
    bool empty() const { return pending_.empty(); }

private:
    struct Pending {
        uchar* bits;
        qsizetype stride;
        QRect clip;
        const DrawingCache::Entry* entry;
    };
    void layRows(int top, int bottom) const;

    std::vector<Pending> pending_;
    std::size_t pixels_ = 0; // of the pictures' areas, as much as the clips leave
    int top_ = 0, bottom_ = -1;
};

} // namespace gfx
