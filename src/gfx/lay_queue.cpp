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
    if (area.isEmpty() && entry.overlaps.empty())
        return;
    pending_.push_back({bits, stride, clip, &entry});
    pixels_ += static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(area.height());
    if (!area.isEmpty()) {
        top_ = pending_.size() == 1 ? area.top() : std::min(top_, area.top());
        bottom_ = pending_.size() == 1 ? area.bottom() : std::max(bottom_, area.bottom());
    } else if (pending_.size() == 1) {
        top_ = clip.top(), bottom_ = clip.bottom();
    } else {
        top_ = std::min(top_, clip.top()), bottom_ = std::max(bottom_, clip.bottom());
    }
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
