#include "gfx/lay_queue.h"

#include <QThreadPool>

#include <algorithm>
#include <future>

namespace gfx {

namespace {

// Below this many pixels one thread lays them sooner than two can start.
constexpr std::size_t PixelsWorthTwoThreads = 256 * 1024;

} // namespace

void LayQueue::add(uchar* bits, qsizetype stride, const QRect& clip, const DrawingCache::Entry& entry)
{
    const QRect area = QRect(entry.at, QSize(entry.width, entry.height)).intersected(clip);
    // Pixels blended more than once may lie outside the picture's rows.
    const QRect reach = entry.overlaps.empty() ? area : clip;
    if (reach.isEmpty())
        return;
    top_ = pending_.empty() ? reach.top() : std::min(top_, reach.top());
    bottom_ = pending_.empty() ? reach.bottom() : std::max(bottom_, reach.bottom());
    pending_.push_back({bits, stride, clip, &entry});
    pixels_ += static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(area.height());
}

void LayQueue::layRows(int top, int bottom) const
{
    for (const Pending& p : pending_) {
        const QRect band = p.clip.intersected(QRect(QPoint(p.clip.left(), top), QPoint(p.clip.right(), bottom)));
        if (!band.isEmpty())
            DrawingCache::lay(p.bits, p.stride, band, *p.entry);
    }
}

void LayQueue::lay()
{
    if (pending_.empty())
        return;
    // The lower band on a pool thread when one is free, the upper one here.
    const int middle = top_ + (bottom_ - top_ + 1) / 2;
    std::promise<void> lowerDone;
    std::future<void> lower = lowerDone.get_future();
    const bool shared = pixels_ >= PixelsWorthTwoThreads && middle <= bottom_ &&
                        QThreadPool::globalInstance()->tryStart([&] {
                            layRows(middle, bottom_);
                            lowerDone.set_value();
                        });
    if (shared) {
        layRows(top_, middle - 1);
        lower.wait();
    } else {
        layRows(top_, bottom_);
    }
    pending_.clear();
    pixels_ = 0;
}

} // namespace gfx
