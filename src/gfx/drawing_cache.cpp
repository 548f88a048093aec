#include "gfx/drawing_cache.h"

#include <QPainter>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

namespace {

// Entries kept at most, pictures or not: a window resized frame by frame
// sees new calls in every frame.
constexpr std::size_t MaxEntries = 32768;

enum BrushTag : std::uint32_t { SolidTag = 1, LinearTag = 2 };
constexpr std::size_t MaxStops = 4;

} // namespace

void DrawKey::add(std::uint32_t word)
{
    if (size_ == Capacity) {
        valid_ = false;
        return;
    }
    words_[size_++] = word;
}

void DrawKey::add(std::uint64_t word)
{
    add(static_cast<std::uint32_t>(word));
    add(static_cast<std::uint32_t>(word >> 32));
}

void DrawKey::add(float value) { add(std::bit_cast<std::uint32_t>(value)); }

void DrawKey::add(const Matrix& m)
{
    for (float value : {m.m11, m.m12, m.m21, m.m22, m.dx, m.dy})
        add(value);
}

void DrawKey::add(const Rect& r)
{
    for (float value : {r.left, r.top, r.right, r.bottom})
        add(value);
}

void DrawKey::add(Point p)
{
    add(p.x);
    add(p.y);
}

void DrawKey::add(const Color& c)
{
    for (float value : {c.r, c.g, c.b, c.a})
        add(value);
}

bool DrawKey::add(const Brush& brush)
{
    if (const auto* solid = dynamic_cast<const SolidColorBrush*>(&brush)) {
        add(std::uint32_t{SolidTag});
        add(solid->color());
    } else if (const auto* linear = dynamic_cast<const LinearGradientBrush*>(&brush)) {
        const std::vector<GradientStop>& stops = linear->gradientStops()->stops();
        if (stops.size() > MaxStops)
            return false;
        add(std::uint32_t{LinearTag});
        add(linear->startPoint());
        add(linear->endPoint());
        add(static_cast<std::uint32_t>(linear->gradientStops()->extendMode()));
        add(static_cast<std::uint32_t>(stops.size()));
        for (const GradientStop& stop : stops) {
            add(stop.position);
            add(stop.color);
        }
    } else {
        return false;
    }
    add(brush.opacity());
    add(brush.transform());
    return valid_;
}

std::size_t DrawKey::hash() const
{
    // FNV-1a over the words.
    std::uint64_t h = 14695981039346656037ull;
    for (std::size_t i = 0; i < size_; ++i) {
        h ^= words_[i];
        h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(h);
}

bool operator==(const DrawKey& a, const DrawKey& b)
{
    return a.size_ == b.size_ && std::memcmp(a.words_.data(), b.words_.data(), a.size_ * sizeof(std::uint32_t)) == 0;
}

void DrawCall::prepare(QPainter& p) const
{
    syncTransform(p, transform);
    if (p.testRenderHint(QPainter::Antialiasing) != antialiased)
        p.setRenderHint(QPainter::Antialiasing, antialiased);
    p.setOpacity(std::isfinite(opacity) ? std::clamp(opacity, 0.0f, 1.0f) : 0.0f);
    p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    p.setPen(pen);
    p.setBrush(brush);
}

void syncTransform(QPainter& p, const QTransform& t)
{
    const QTransform& w = p.worldTransform();
    if (w.m11() != t.m11() || w.m12() != t.m12() || w.m21() != t.m21() || w.m22() != t.m22() || w.dx() != t.dx() ||
        w.dy() != t.dy() || !w.isAffine())
        p.setWorldTransform(t);
}

namespace {

// The painter's product of a premultiplied pixel and an 8-bit factor, per
// channel, with its rounding: (c·a + (c·a >> 8) + 128) >> 8.
inline quint32 byteMul(quint32 x, quint32 a)
{
    quint32 t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080);
    x &= 0xff00ff00;
    return x | t;
}

// A premultiplied pixel laid over another: s + d·(255 − alpha of s).
inline void over(quint32& d, quint32 s)
{
    if (s >= 0xff000000)
        d = s;
    else if (s != 0)
        d = s + byteMul(d, qAlpha(~s));
}

// A row of premultiplied pixels laid over another, four at a time where
// the processor can: the same arithmetic as over(), lane by lane.
void overRow(quint32* d, const quint32* s, int n)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i colourMask = _mm_set1_epi32(0x00ff00ff);
    const __m128i half = _mm_set1_epi16(0x80);
    const __m128i full = _mm_set1_epi16(0xff);
    for (; i + 4 <= n; i += 4) {
        const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(source, _mm_setzero_si128())) == 0xffff)
            continue;
        const __m128i destination = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i alpha = _mm_srli_epi32(source, 24);
        alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
        const __m128i inverse = _mm_sub_epi16(full, alpha);
        __m128i rb = _mm_mullo_epi16(_mm_and_si128(destination, colourMask), inverse);
        __m128i ag = _mm_mullo_epi16(_mm_srli_epi16(destination, 8), inverse);
        rb = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(rb, _mm_srli_epi16(rb, 8)), half), 8);
        ag = _mm_andnot_si128(colourMask, _mm_add_epi16(_mm_add_epi16(ag, _mm_srli_epi16(ag, 8)), half));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_add_epi32(source, _mm_or_si128(rb, ag)));
    }
#endif
    for (; i < n; ++i)
        over(d[i], s[i]);
}

// One step of blending with coverage k, as the painter blends a glyph.
inline void blendStep(quint32& d, quint32 s, quint32 k)
{
    over(d, k == 255 ? s : byteMul(s, k));
}

void clearArea(QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memset(image.scanLine(y) + static_cast<std::size_t>(area.left()) * 4, 0,
                    static_cast<std::size_t>(area.width()) * 4);
}

// Draws call (or paint in its painter state) on image within area.
void drawWithin(QImage& image, const QRect& area, const DrawCall& call, const std::function<void(QPainter&)>& paint)
{
    QPainter p(&image);
    p.setClipRect(area);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    call.prepare(p);
    paint(p);
}

} // namespace

DrawingCache::Entry* DrawingCache::find(const DrawKey& key, const BitmapPtr* bitmap)
{
    if (entries_.size() >= MaxEntries && !entries_.count(key))
        trim(nullptr);
    auto [it, inserted] = entries_.try_emplace(key);
    Entry& entry = it->second;
    entry.lastUse = frame_;
    if (!inserted && (!bitmap || entry.bitmap.lock() == *bitmap))
        return entry.unkeepable ? nullptr : &entry;
    const std::size_t previous = bytesOf(entry);
    entry = Entry{};
    entry.lastUse = frame_;
    entry.bitmap = bitmap ? std::weak_ptr<const Bitmap>(*bitmap) : std::weak_ptr<const Bitmap>();
    counted(entry, previous);
    return nullptr;
}

void DrawingCache::make(Entry& entry, const DrawCall& call, const QRect& visible, QSize deviceSize)
{
    QImage& frame = scratch(deviceSize);
    entry.made = true;
    drawWithin(frame, visible, call, call.paint);
    if (call.paintSteps)
        findOverlaps(entry, call, visible);

    // Cut to the pixels drawn, and the span of each row.
    int top = -1, bottom = -1, left = visible.right() + 1, right = visible.left() - 1;
    std::vector<std::pair<int, int>> spans;
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(frame.constScanLine(y));
        int first = visible.left(), last = visible.right();
        while (first <= last && !row[first])
            ++first;
        while (last >= first && !row[last])
            --last;
        spans.emplace_back(first, last + 1);
        if (first <= last) {
            top = top < 0 ? y : top;
            bottom = y;
            left = std::min(left, first);
            right = std::max(right, last);
        }
    }
    if (top >= 0) {
        const QRect drawn(QPoint(left, top), QPoint(right, bottom));
        entry.picture = frame.copy(drawn);
        entry.at = drawn.topLeft();
        for (int y = top; y <= bottom; ++y) {
            const auto [first, end] = spans[static_cast<std::size_t>(y - visible.top())];
            entry.rows.emplace_back(std::max(first, left) - left, std::max(end, first) - left);
        }
    } else {
        entry.at = visible.topLeft();
    }
    clearArea(frame, visible);
    if (call.paintSteps && !trial(entry, call, visible)) {
        const std::uint64_t lastUse = entry.lastUse;
        entry = Entry{};
        entry.lastUse = lastUse;
        entry.unkeepable = true;
        return;
    }
    counted(entry, 0);
}

// Draws the call step by step in opaque white: pixels that two or more
// steps cover get their coverages, in order, and the colour the call gives
// them (its pen or brush filling them); they are cleared in the frame that
// holds the call's drawing.
void DrawingCache::findOverlaps(Entry& entry, const DrawCall& call, const QRect& visible)
{
    const int width = visible.width(), height = visible.height();
    QImage steps(visible.size(), QImage::Format_ARGB32_Premultiplied);
    steps.fill(Qt::transparent);
    std::vector<std::uint8_t> count(static_cast<std::size_t>(width) * height, 0);
    std::vector<std::pair<std::uint32_t, std::uint8_t>> touched; // pixel, coverage, in step order
    DrawCall white = call;
    white.opacity = 1.0f;
    white.pen = QPen(Qt::white, 1.0);
    QImage& frame = scratch_;
    // The steps go to the scratch frame too, which holds the call's drawing:
    // drawn on a copy of its area and read back step by step.
    const QImage drawing = frame.copy(visible);
    clearArea(frame, visible);
    drawWithin(frame, visible, white, [&](QPainter& p) {
        call.paintSteps(p, [&] {
            for (int y = 0; y < height; ++y) {
                auto* row = reinterpret_cast<quint32*>(frame.scanLine(visible.top() + y)) + visible.left();
                for (int x = 0; x < width; ++x) {
                    if (!row[x])
                        continue;
                    const auto index = static_cast<std::uint32_t>(y * width + x);
                    touched.emplace_back(index, static_cast<std::uint8_t>(qAlpha(row[x])));
                    if (count[index] < 255)
                        ++count[index];
                    row[x] = 0;
                }
            }
        });
    });
    std::vector<std::uint32_t> overlapOf(count.size(), 0); // 1 + index into overlaps
    std::vector<std::vector<std::uint8_t>> lists;
    for (const auto& [index, coverage] : touched) {
        if (count[index] < 2)
            continue;
        if (!overlapOf[index]) {
            Entry::Overlap overlap;
            overlap.at = visible.topLeft() + QPoint(static_cast<int>(index % width), static_cast<int>(index / width));
            entry.overlaps.push_back(overlap);
            lists.emplace_back();
            overlapOf[index] = static_cast<std::uint32_t>(entry.overlaps.size());
        }
        lists[overlapOf[index] - 1].push_back(coverage);
    }
    for (std::size_t i = 0; i < lists.size(); ++i) {
        entry.overlaps[i].first = static_cast<std::uint32_t>(entry.coverages.size());
        entry.overlaps[i].count = static_cast<std::uint32_t>(lists[i].size());
        entry.coverages.insert(entry.coverages.end(), lists[i].begin(), lists[i].end());
    }
    if (!entry.overlaps.empty()) {
        // The colours: the call's pen or brush replacing every pixel.
        DrawCall fill = call;
        fill.brush = call.pen.style() != Qt::NoPen ? call.pen.brush() : call.brush;
        fill.pen = Qt::NoPen;
        bool invertible = false;
        const QRectF area = call.transform.inverted(&invertible).mapRect(QRectF(visible).adjusted(-1, -1, 1, 1));
        drawWithin(frame, visible, fill, [&](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            if (invertible)
                p.drawRect(area);
        });
        for (Entry::Overlap& overlap : entry.overlaps)
            overlap.colour = reinterpret_cast<const quint32*>(frame.constScanLine(overlap.at.y()))[overlap.at.x()];
    }
    // The call's drawing back, without the overlap pixels.
    for (int y = 0; y < height; ++y)
        std::memcpy(frame.scanLine(visible.top() + y) + static_cast<std::size_t>(visible.left()) * 4,
                    drawing.constScanLine(y), static_cast<std::size_t>(width) * 4);
    for (const Entry::Overlap& overlap : entry.overlaps)
        reinterpret_cast<quint32*>(frame.scanLine(overlap.at.y()))[overlap.at.x()] = 0;
}

// Whether the entry laid over random pixels gives exactly what the call
// draws over them.
bool DrawingCache::trial(const Entry& entry, const DrawCall& call, const QRect& visible)
{
    QImage& frame = scratch_;
    auto fillRandom = [&] {
        std::uint32_t state = 2463534242u;
        for (int y = visible.top(); y <= visible.bottom(); ++y) {
            auto* row = reinterpret_cast<quint32*>(frame.scanLine(y));
            for (int x = visible.left(); x <= visible.right(); ++x) {
                state ^= state << 13, state ^= state >> 17, state ^= state << 5;
                row[x] = qPremultiply(state);
            }
        }
    };
    fillRandom();
    drawWithin(frame, visible, call, call.paint);
    const QImage drawn = frame.copy(visible);
    fillRandom();
    lay(frame, visible, entry);
    const bool same = frame.copy(visible) == drawn;
    clearArea(frame, visible);
    return same;
}

void DrawingCache::lay(QImage& target, const QRect& clip, const Entry& entry)
{
    uchar* const bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const QRect area = QRect(entry.at, entry.picture.size()).intersected(clip);
    if (!area.isEmpty()) {
        const uchar* const pictureBits = entry.picture.constBits();
        const qsizetype pictureStride = entry.picture.bytesPerLine();
        const int areaLeft = area.left() - entry.at.x(), areaEnd = area.right() + 1 - entry.at.x();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const int row = y - entry.at.y();
            const auto [first, end] = entry.rows[static_cast<std::size_t>(row)];
            const int from = std::max(first, areaLeft), to = std::min(end, areaEnd);
            if (from < to)
                overRow(reinterpret_cast<quint32*>(bits + y * stride) + entry.at.x() + from,
                        reinterpret_cast<const quint32*>(pictureBits + row * pictureStride) + from, to - from);
        }
    }
    for (const Entry::Overlap& overlap : entry.overlaps) {
        if (!clip.contains(overlap.at))
            continue;
        quint32& d = reinterpret_cast<quint32*>(bits + overlap.at.y() * stride)[overlap.at.x()];
        for (std::uint32_t i = 0; i < overlap.count; ++i)
            blendStep(d, overlap.colour, entry.coverages[overlap.first + i]);
    }
}

std::size_t DrawingCache::bytesOf(const Entry& entry)
{
    return static_cast<std::size_t>(entry.picture.sizeInBytes()) + entry.rows.size() * sizeof(entry.rows[0]) +
           entry.overlaps.size() * sizeof(Entry::Overlap) + entry.coverages.size();
}

void DrawingCache::counted(const Entry& entry, std::size_t previousBytes)
{
    bytes_ = bytes_ - previousBytes + bytesOf(entry);
    if (bytes_ > budget_)
        trim(&entry);
}

void DrawingCache::trim(const Entry* keep)
{
    // Down to three quarters of the budget and of the entries, the least
    // recently used first.
    std::vector<std::pair<std::uint64_t, const DrawKey*>> byAge;
    byAge.reserve(entries_.size());
    for (const auto& [key, entry] : entries_)
        if (&entry != keep)
            byAge.emplace_back(entry.lastUse, &key);
    std::sort(byAge.begin(), byAge.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const std::size_t byteGoal = budget_ / 4 * 3, countGoal = MaxEntries / 4 * 3;
    for (const auto& [age, key] : byAge) {
        if (bytes_ <= byteGoal && entries_.size() <= countGoal)
            break;
        const auto found = entries_.find(*key);
        bytes_ -= bytesOf(found->second);
        entries_.erase(found);
    }
}

QImage& DrawingCache::scratch(QSize size)
{
    if (scratch_.size() != size) {
        scratch_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        scratch_.fill(Qt::transparent);
    }
    return scratch_;
}

} // namespace gfx
