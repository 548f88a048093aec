#include "gfx/drawing_cache.h"

#include <QPainter>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <typeinfo>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace gfx {

namespace {

// Entries kept at most, pictures or not: a window resized frame by frame
// sees new calls in every frame.
constexpr std::size_t MaxEntries = 32768;

enum BrushTag : std::uint32_t { SolidTag = 1, LinearTag = 2, BitmapTag = 3 };
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
    // The brush classes are final: their type says which they are.
    if (typeid(brush) == typeid(SolidColorBrush)) {
        add(std::uint32_t{SolidTag});
        add(static_cast<const SolidColorBrush&>(brush).color());
    } else if (typeid(brush) == typeid(LinearGradientBrush)) {
        const auto* linear = static_cast<const LinearGradientBrush*>(&brush);
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
    } else if (typeid(brush) == typeid(BitmapBrush)) {
        // The bitmap by its address: the caller hands the bitmap to find(),
        // which tells one made where another was from it.
        const auto& bitmap = static_cast<const BitmapBrush&>(brush);
        add(std::uint32_t{BitmapTag});
        add(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(bitmap.bitmap().get())));
        add(static_cast<std::uint32_t>(bitmap.interpolationMode()));
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

// A row of premultiplied pixels laid over another, eight or four at a time
// where the processor can: the same arithmetic as over(), lane by lane.
#if defined(__x86_64__) && defined(__GNUC__)
// Which of eight lanes a row of count pixels (count < 8) holds.
__attribute__((target("avx2"))) inline __m256i lanesOf(int count)
{
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

__attribute__((target("avx2"))) void overRowWide(quint32* d, const quint32* s, int n)
{
    const __m256i colourMask = _mm256_set1_epi32(0x00ff00ff);
    const __m256i half = _mm256_set1_epi16(0x80);
    const __m256i full = _mm256_set1_epi16(0xff);
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xff000000));
    for (int i = 0; i < n; i += 8) {
        // The last pixels of the row, fewer than eight, through masks: the
        // lanes past the row read as nothing and are not written.
        const bool part = n - i < 8;
        const __m256i lanes = part ? lanesOf(n - i) : _mm256_set1_epi32(-1);
        auto* at = reinterpret_cast<__m256i*>(d + i);
        const __m256i source = part ? _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), lanes)
                                    : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        if (_mm256_testz_si256(source, source))
            continue;
        if (!part && _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(source, alphaMask), alphaMask)) == -1) {
            // Opaque: the source replaces the destination, unread.
            _mm256_storeu_si256(at, source);
            continue;
        }
        const __m256i destination =
            part ? _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i), lanes) : _mm256_loadu_si256(at);
        __m256i alpha = _mm256_srli_epi32(source, 24);
        alpha = _mm256_or_si256(alpha, _mm256_slli_epi32(alpha, 16));
        const __m256i inverse = _mm256_sub_epi16(full, alpha);
        __m256i rb = _mm256_mullo_epi16(_mm256_and_si256(destination, colourMask), inverse);
        __m256i ag = _mm256_mullo_epi16(_mm256_srli_epi16(destination, 8), inverse);
        rb = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(rb, _mm256_srli_epi16(rb, 8)), half), 8);
        ag = _mm256_andnot_si256(colourMask, _mm256_add_epi16(_mm256_add_epi16(ag, _mm256_srli_epi16(ag, 8)), half));
        const __m256i result = _mm256_add_epi32(source, _mm256_or_si256(rb, ag));
        if (part)
            _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), lanes, result);
        else
            _mm256_storeu_si256(at, result);
    }
}
#endif

void overRow(quint32* d, const quint32* s, int n)
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool wide = __builtin_cpu_supports("avx2");
    if (wide) {
        overRowWide(d, s, n);
        return;
    }
#endif
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

// A colour at each pixel's coverage laid over a row: p = s·k, then p over
// the destination, as the painter blends a glyph (s·255 is s itself, s·0
// nothing: one formula for every pixel), eight at a time where the
// processor can.
#if defined(__x86_64__) && defined(__GNUC__)
// Two channels (in 16-bit lanes) times factors, with the painter's rounding,
// before the final shift.
#define TISE_BYTE_MUL_LANES(channels, factor)                                                                       \
    _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(channels, factor),                                       \
                                      _mm256_srli_epi16(_mm256_mullo_epi16(channels, factor), 8)),                \
                     half)

__attribute__((target("avx2"))) void colourRowWide(quint32* d, quint32 s, const std::uint8_t* k, int n)
{
    const __m256i colourMask = _mm256_set1_epi32(0x00ff00ff);
    const __m256i half = _mm256_set1_epi16(0x80);
    const __m256i full = _mm256_set1_epi16(0xff);
    const __m256i sourceRB = _mm256_set1_epi32(static_cast<int>(s & 0x00ff00ff));
    const __m256i sourceAG = _mm256_set1_epi32(static_cast<int>((s >> 8) & 0x00ff00ff));
    // Eight pixels fully covered (the inside of a shape or a thick stem)
    // take the colour itself, over the destination with one factor.
    const __m256i whole = _mm256_set1_epi32(static_cast<int>(s));
    const __m256i wholeInverse = _mm256_set1_epi16(static_cast<short>(255 - (s >> 24)));
    const bool opaque = (s >> 24) == 255;
    const __m128i covered = _mm_set1_epi8(static_cast<char>(0xff));
    for (int i = 0; i < n; i += 8) {
        // As in overRowWide, the last pixels through masks.
        const bool part = n - i < 8;
        const __m256i lanes = part ? lanesOf(n - i) : _mm256_set1_epi32(-1);
        auto* at = reinterpret_cast<__m256i*>(d + i);
        __m128i bytes;
        if (part) {
            std::uint64_t word = 0;
            for (int j = 0; j < n - i; ++j)
                word |= std::uint64_t{k[i + j]} << (8 * j);
            bytes = _mm_cvtsi64_si128(static_cast<long long>(word));
        } else {
            bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k + i));
        }
        if (_mm_testz_si128(bytes, bytes))
            continue;
        const __m256i destination =
            part ? _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i), lanes) : _mm256_loadu_si256(at);
        __m256i result;
        if (!part && (_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, covered)) & 0xff) == 0xff) {
            if (opaque) {
                _mm256_storeu_si256(at, whole);
                continue;
            }
            const __m256i rb = _mm256_srli_epi16(
                TISE_BYTE_MUL_LANES(_mm256_and_si256(destination, colourMask), wholeInverse), 8);
            const __m256i ag = _mm256_andnot_si256(
                colourMask, TISE_BYTE_MUL_LANES(_mm256_srli_epi16(destination, 8), wholeInverse));
            result = _mm256_add_epi32(whole, _mm256_or_si256(rb, ag));
        } else {
            __m256i coverage = _mm256_cvtepu8_epi32(bytes);
            coverage = _mm256_or_si256(coverage, _mm256_slli_epi32(coverage, 16));
            const __m256i source =
                _mm256_or_si256(_mm256_srli_epi16(TISE_BYTE_MUL_LANES(sourceRB, coverage), 8),
                                _mm256_andnot_si256(colourMask, TISE_BYTE_MUL_LANES(sourceAG, coverage)));
            __m256i alpha = _mm256_srli_epi32(source, 24);
            alpha = _mm256_or_si256(alpha, _mm256_slli_epi32(alpha, 16));
            const __m256i inverse = _mm256_sub_epi16(full, alpha);
            const __m256i rb =
                _mm256_srli_epi16(TISE_BYTE_MUL_LANES(_mm256_and_si256(destination, colourMask), inverse), 8);
            const __m256i ag = _mm256_andnot_si256(
                colourMask, TISE_BYTE_MUL_LANES(_mm256_srli_epi16(destination, 8), inverse));
            result = _mm256_add_epi32(source, _mm256_or_si256(rb, ag));
        }
        if (part)
            _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), lanes, result);
        else
            _mm256_storeu_si256(at, result);
    }
}
#undef TISE_BYTE_MUL_LANES
#endif

void colourRow(quint32* d, quint32 s, const std::uint8_t* k, int n)
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool wide = __builtin_cpu_supports("avx2");
    if (wide) {
        colourRowWide(d, s, k, n);
        return;
    }
#endif
    for (int i = 0; i < n; ++i)
        if (k[i])
            over(d[i], byteMul(s, k[i]));
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

// Draws call (or paint in its painter state) on image under the call's
// clip.
void drawWithin(QImage& image, const DrawCall& call, const std::function<void(QPainter&)>& paint)
{
    QPainter p(&image);
    if (call.clip)
        p.setClipRect(*call.clip);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    call.prepare(p);
    paint(p);
}

} // namespace

DrawingCache::Entry* DrawingCache::find(const DrawKey& key, const BitmapPtr* bitmap)
{
    Entry* found = nullptr;
    bool inserted = false;
    if (next_ < order_.size() && *order_[next_]->key == key) {
        found = order_[next_++];
    } else {
        if (entries_.size() >= MaxEntries && !entries_.count(key))
            trim(nullptr);
        const auto [it, added] = entries_.try_emplace(key);
        found = &it->second;
        found->key = &it->first;
        inserted = added;
    }
    current_.push_back(found);
    Entry& entry = *found;
    entry.lastUse = frame_;
    if (!inserted && (!bitmap || entry.bitmap.lock() == *bitmap))
        return entry.unkeepable ? nullptr : &entry;
    if (!inserted && beforeChange_)
        beforeChange_();
    const std::size_t previous = bytesOf(entry);
    const DrawKey* ownKey = entry.key;
    entry = Entry{};
    entry.key = ownKey;
    entry.lastUse = frame_;
    entry.bitmap = bitmap ? std::weak_ptr<const Bitmap>(*bitmap) : std::weak_ptr<const Bitmap>();
    counted(entry, previous);
    return nullptr;
}

void DrawingCache::make(Entry& entry, const DrawCall& call, const QRect& visible, QSize deviceSize)
{
    QImage& frame = scratch(deviceSize);
    entry.made = true;
    drawWithin(frame, call, call.paint);
    // Texts (glyph by glyph), and shapes in one colour, may be kept as
    // coverage and colour.
    const QBrush& paint = call.pen.style() != Qt::NoPen ? call.pen.brush() : call.brush;
    const bool oneColour = paint.style() == Qt::SolidPattern;
    Steps steps;
    if (call.paintSteps || oneColour)
        steps = findOverlaps(entry, call, visible);

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
        std::vector<std::pair<int, int>> rows;
        for (int y = top; y <= bottom; ++y) {
            const auto [first, end] = spans[static_cast<std::size_t>(y - visible.top())];
            rows.emplace_back(std::max(first, left) - left, std::max(end, first) - left);
        }
        keep(entry, frame, QRect(QPoint(left, top), QPoint(right, bottom)), rows);
    } else {
        entry.at = visible.topLeft();
    }
    clearArea(frame, visible);
    if ((call.paintSteps || oneColour) && entry.height > 0)
        makeCompact(entry, steps, visible);
    if (!trial(entry, call, visible)) {
        Entry unkeepable;
        unkeepable.lastUse = entry.lastUse;
        unkeepable.key = entry.key;
        unkeepable.unkeepable = true;
        entry = std::move(unkeepable);
        return;
    }
    counted(entry, 0);
}

// Draws the call step by step in opaque white: pixels that two or more
// steps cover get their coverages, in order, and the colour the call gives
// them (its pen or brush filling them); they are cleared in the frame that
// holds the call's drawing.
DrawingCache::Steps DrawingCache::findOverlaps(Entry& entry, const DrawCall& call, const QRect& visible)
{
    const int width = visible.width(), height = visible.height();
    std::vector<std::uint8_t> count(static_cast<std::size_t>(width) * height, 0);
    std::vector<std::pair<std::uint32_t, std::uint8_t>> touched; // pixel, coverage, in step order
    // The same shapes, or glyphs, in opaque white.
    DrawCall white = call;
    white.opacity = 1.0f;
    if (white.pen.style() != Qt::NoPen)
        white.pen.setBrush(Qt::white);
    if (white.brush.style() != Qt::NoBrush)
        white.brush = Qt::white;
    QImage& frame = scratch_;
    // The steps go to the scratch frame too, which holds the call's drawing:
    // drawn on a copy of its area and read back step by step.
    const QImage drawing = frame.copy(visible);
    clearArea(frame, visible);
    drawWithin(frame, white, [&](QPainter& p) {
        auto step = [&] {
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
        };
        if (call.paintSteps) {
            call.paintSteps(p, step);
        } else {
            call.paint(p);
            step();
        }
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
    Steps steps;
    steps.coverage.assign(count.size(), 0);
    for (const auto& [index, coverage] : touched)
        if (count[index] == 1)
            steps.coverage[index] = coverage;
    // The colours: the call's pen or brush replacing every pixel.
    DrawCall fill = call;
    fill.brush = call.pen.style() != Qt::NoPen ? call.pen.brush() : call.brush;
    fill.pen = Qt::NoPen;
    bool invertible = false;
    const QRectF area = call.transform.inverted(&invertible).mapRect(QRectF(visible).adjusted(-1, -1, 1, 1));
    drawWithin(frame, fill, [&](QPainter& p) {
        const QTransform transform = p.worldTransform();
        p.resetTransform();
        p.setClipRect(visible, Qt::IntersectClip);
        p.setWorldTransform(transform);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        if (invertible)
            p.drawRect(area);
    });
    steps.colours = frame.copy(visible);
    for (Entry::Overlap& overlap : entry.overlaps)
        overlap.colour = reinterpret_cast<const quint32*>(frame.constScanLine(overlap.at.y()))[overlap.at.x()];
    // The call's drawing back, without the overlap pixels.
    for (int y = 0; y < height; ++y)
        std::memcpy(frame.scanLine(visible.top() + y) + static_cast<std::size_t>(visible.left()) * 4,
                    drawing.constScanLine(y), static_cast<std::size_t>(width) * 4);
    for (const Entry::Overlap& overlap : entry.overlaps)
        reinterpret_cast<quint32*>(frame.scanLine(overlap.at.y()))[overlap.at.x()] = 0;
    return steps;
}

void DrawingCache::keep(Entry& entry, const QImage& frame, const QRect& drawn,
                        const std::vector<std::pair<int, int>>& spans)
{
    entry.at = drawn.topLeft();
    entry.width = drawn.width();
    entry.height = drawn.height();
    entry.coverage = false;
    entry.data.assign(2 * static_cast<std::size_t>(entry.height) + static_cast<std::size_t>(entry.width) * entry.height, 0);
    for (int row = 0; row < entry.height; ++row) {
        entry.data[2 * static_cast<std::size_t>(row)] = static_cast<std::uint32_t>(spans[static_cast<std::size_t>(row)].first);
        entry.data[2 * static_cast<std::size_t>(row) + 1] =
            static_cast<std::uint32_t>(spans[static_cast<std::size_t>(row)].second);
        std::memcpy(entry.data.data() + 2 * static_cast<std::size_t>(entry.height) + static_cast<std::size_t>(row) * entry.width,
                    frame.constScanLine(drawn.top() + row) + static_cast<std::size_t>(drawn.left()) * 4,
                    static_cast<std::size_t>(entry.width) * 4);
    }
}

void DrawingCache::makeCompact(Entry& entry, const Steps& steps, const QRect& visible)
{
    const int width = entry.width, height = entry.height;
    std::vector<std::uint32_t> data(3 * static_cast<std::size_t>(height) +
                                    (static_cast<std::size_t>(width) * height + 3) / 4, 0);
    auto* coverage = reinterpret_cast<std::uint8_t*>(data.data() + 3 * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        const int y = entry.at.y() + row;
        const quint32* pixels = entry.pixelRow(row);
        const auto* paint = reinterpret_cast<const quint32*>(steps.colours.constScanLine(y - visible.top()));
        const std::uint8_t* covered = steps.coverage.data() + static_cast<std::size_t>(y - visible.top()) * visible.width();
        std::optional<quint32> colour;
        for (int column = 0; column < width; ++column) {
            const int x = entry.at.x() + column;
            const quint32 k = covered[x - visible.left()];
            const quint32 s = paint[x - visible.left()];
            if (k && !colour)
                colour = s;
            if (k && s != *colour)
                return; // more than one colour in the row
            const quint32 p = !k ? 0 : k == 255 ? s : byteMul(s, k);
            if (p != pixels[column])
                return; // not the colour times the coverage
            coverage[static_cast<std::size_t>(row) * width + column] = static_cast<std::uint8_t>(k);
        }
        data[2 * static_cast<std::size_t>(row)] = entry.first(row);
        data[2 * static_cast<std::size_t>(row) + 1] = entry.end(row);
        data[2 * static_cast<std::size_t>(height) + row] = colour.value_or(0);
    }
    entry.data = std::move(data);
    entry.coverage = true;
}

QImage DrawingCache::Entry::image() const
{
    if (coverage || !height)
        return QImage();
    return QImage(reinterpret_cast<const uchar*>(pixels()), width, height, width * 4,
                  QImage::Format_ARGB32_Premultiplied);
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
    drawWithin(frame, call, call.paint);
    const QImage drawn = frame.copy(visible);
    fillRandom();
    lay(frame, visible, entry);
    const bool same = frame.copy(visible) == drawn;
    clearArea(frame, visible);
    return same;
}

void DrawingCache::lay(QImage& target, const QRect& clip, const Entry& entry)
{
    lay(target.bits(), target.bytesPerLine(), clip, entry);
}

void DrawingCache::lay(uchar* const bits, const qsizetype stride, const QRect& clip, const Entry& entry)
{
    const QRect area = QRect(entry.at, QSize(entry.width, entry.height)).intersected(clip);
    if (!area.isEmpty()) {
        const int areaLeft = area.left() - entry.at.x(), areaEnd = area.right() + 1 - entry.at.x();
        // The destination's lines are asked for all at once: small pictures
        // all over the frame find them far from the processor, and waiting
        // for them one after the other is most of the time.
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const uchar* line = bits + y * stride + static_cast<std::size_t>(area.left()) * 4;
            for (int x = 0; x < area.width(); x += 16)
                __builtin_prefetch(line + static_cast<std::size_t>(x) * 4, 1);
            __builtin_prefetch(line + static_cast<std::size_t>(area.width() - 1) * 4, 1);
        }
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const int row = y - entry.at.y();
            const int from = std::max(static_cast<int>(entry.first(row)), areaLeft);
            const int to = std::min(static_cast<int>(entry.end(row)), areaEnd);
            if (from >= to)
                continue;
            quint32* destination = reinterpret_cast<quint32*>(bits + y * stride) + entry.at.x() + from;
            if (entry.coverage)
                colourRow(destination, entry.colour(row), entry.coverageRow(row) + from, to - from);
            else
                overRow(destination, entry.pixelRow(row) + from, to - from);
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
    return entry.data.size() * sizeof(std::uint32_t) +
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
    if (beforeChange_)
        beforeChange_();
    // Down to three quarters of the budget and of the entries, the least
    // recently used first.
    std::vector<std::pair<std::uint64_t, const DrawKey*>> byAge;
    byAge.reserve(entries_.size());
    for (const auto& [key, entry] : entries_)
        if (&entry != keep)
            byAge.emplace_back(entry.lastUse, &key);
    std::sort(byAge.begin(), byAge.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const std::size_t byteGoal = budget_ / 4 * 3, countGoal = MaxEntries / 4 * 3;
    // The orders may point at entries about to go.
    order_.clear();
    current_.clear();
    next_ = 0;
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
