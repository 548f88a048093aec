#pragma once
// What a render target keeps between frames (used only by the render
// target's implementation): for each drawing call that it saw in an earlier
// frame, the picture that call made, at device resolution, cut out of a
// transparent frame.
//
// Why the pictures equal the drawing. The painter blends every pixel of a
// shape, glyph or image the same way: the source colour s (a texel sampled
// through the transform, a gradient's colour, a solid colour) is scaled by
// the pixel's coverage and the opacity, p = s·k, and laid over the
// destination, d' = p + d·(1 − alpha of p), in 8-bit steps with its own
// rounding. Drawn onto transparent pixels the same call leaves exactly p, so
// laying the kept p over the destination later, with the same arithmetic,
// gives the same d' to the bit, whatever the destination became in between.
// Only one call goes into a picture (a second call would blend into the
// first), drawn with the same transform, painter state and device size, so
// the coverage and the samples are those of the direct drawing.
//
// One call may blend a pixel more than once: a text blends glyph after
// glyph, and where two glyphs' edges share a pixel the second blends over
// the first. Such pixels are left out of the picture and kept as the colour
// and the coverage of each glyph, blended in the same order when the picture
// is laid down.
//
// Every picture is kept only after a trial: laid over random translucent
// pixels it must give exactly what the call draws over them. A call that
// fails it (one the painter blends in another way, such as an opaque
// gradient filling a shape) is drawn directly from then on.
//
// A text's or a one-coloured shape's picture is kept small where it can be:
// where each row has one colour (a solid colour, or a gradient down the
// rows), the picture is each pixel's coverage k and each row's colour s, and
// laying it down makes p = s·k pixel by pixel, exactly the pixels the call
// drew (checked pixel by pixel when the picture is made).
//
// A call is kept when it comes again: the first sight draws directly (a
// resize or a scroll changes every call and gains nothing), the second makes
// the picture, later ones lay it down. Pictures are dropped, least recently
// used first, when they exceed the budget.

#include "gfx/bitmap.h"
#include "gfx/brush.h"
#include "gfx/color.h"
#include "gfx/geometry.h"
#include "gfx/matrix.h"

#include <QBrush>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QTransform>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class QPainter;

namespace gfx {

// Everything that decides what one drawing call draws, as words.
class DrawKey {
public:
    void add(std::uint32_t word);
    void add(std::uint64_t word);
    void add(float value);
    void add(const Matrix& m);
    void add(const Rect& r);
    void add(Point p);
    void add(const Color& c);
    // A solid brush, a gradient brush with few stops, or a bitmap brush
    // (whose bitmap the call's find() must be given); false for others,
    // which the key cannot describe.
    bool add(const Brush& brush);

    // False when the key overflowed: the call cannot be kept.
    bool valid() const { return valid_; }
    std::size_t hash() const;
    friend bool operator==(const DrawKey& a, const DrawKey& b);

private:
    static constexpr std::size_t Capacity = 64;
    std::array<std::uint32_t, Capacity> words_{};
    std::size_t size_ = 0;
    bool valid_ = true;
};

// One drawing call: the painter's state for it and the drawing itself.
struct DrawCall {
    QTransform transform;
    bool antialiased = true;
    float opacity = 1.0f;
    bool smooth = false; // bilinear sampling of images and bitmap brushes
    QPen pen = Qt::NoPen;
    QBrush brush = Qt::NoBrush;
    std::function<void(QPainter&)> paint;
    // For calls that blend in steps (a text, glyph by glyph): the same
    // drawing, calling its argument after each step.
    std::function<void(QPainter&, const std::function<void()>&)> paintSteps;
    // The clip the call is drawn under, in device pixels; none for the
    // whole device. The painter blends a shape its clip cuts with other
    // arithmetic than one it holds whole, so a picture is made under the
    // very clip the call meets.
    std::optional<QRectF> clip;

    // Gives the painter this call's transform, antialiasing, opacity,
    // sampling, pen and brush.
    void prepare(QPainter& p) const;
};

class DrawingCache {
public:
    // What is kept for a call.
    struct Entry {
        // Where more than one step of the call blends: the colour, and
        // count coverages from first on in coverages, in step order.
        struct Overlap {
            QPoint at;
            quint32 colour = 0;
            std::uint32_t first = 0;
            std::uint32_t count = 0;
        };

        bool made = false; // false until the call came a second time
        // The picture, cut to where the call drew: width × height pixels
        // with their top left at `at` (device pixels), premultiplied, or,
        // for a coverage picture, coverage bytes and a colour per row.
        QPoint at;
        int width = 0;
        int height = 0;
        bool coverage = false;
        // All of it in one block, read in one go: per row the span
        // [first, end) it drew, then per row its colour (coverage pictures),
        // then the rows of pixels (coverage bytes four to a word).
        std::vector<std::uint32_t> data;
        std::vector<Overlap> overlaps;
        std::vector<std::uint8_t> coverages;
        std::weak_ptr<const Bitmap> bitmap; // the bitmap drawn, when a bitmap was
        std::uint64_t lastUse = 0;
        bool unkeepable = false; // its trial failed: drawn directly
        const DrawKey* key = nullptr; // its key in the cache

        std::uint32_t first(int row) const { return data[2 * static_cast<std::size_t>(row)]; }
        std::uint32_t end(int row) const { return data[2 * static_cast<std::size_t>(row) + 1]; }
        quint32 colour(int row) const { return data[2 * static_cast<std::size_t>(height) + row]; }
        const std::uint32_t* pixels() const { return data.data() + (coverage ? 3 : 2) * static_cast<std::size_t>(height); }
        const quint32* pixelRow(int row) const { return pixels() + static_cast<std::size_t>(row) * width; }
        const std::uint8_t* coverageRow(int row) const
        {
            return reinterpret_cast<const std::uint8_t*>(pixels()) + static_cast<std::size_t>(row) * width;
        }
        // The premultiplied pixels as an image (no copy); null for a
        // coverage picture.
        QImage image() const;
    };

    // budget: bytes of pictures kept at most.
    explicit DrawingCache(std::size_t budget) : budget_(budget) {}

    // A new frame begins: entries used in it count as the most recent.
    void nextFrame()
    {
        ++frame_;
        order_.swap(current_);
        current_.clear();
        next_ = 0;
    }

    // The entry of a call seen in an earlier frame, whose picture may still
    // have to be made; null on first sight (the call is remembered), for a
    // call of a bitmap other than the one remembered, and for calls that
    // cannot be kept.
    Entry* find(const DrawKey& key, const BitmapPtr* bitmap);

    // Makes the entry's picture of call, which draws within visible on a
    // device of that size (premultiplied, one pixel per DIP).
    void make(Entry& entry, const DrawCall& call, const QRect& visible, QSize deviceSize);

    // Lays the entry's picture into target (premultiplied) within clip
    // (device pixels), as the painter would have drawn its call there.
    static void lay(QImage& target, const QRect& clip, const Entry& entry);
    // The same into the pixels of such an image (bytes per row stride);
    // writes only the rows and columns of clip.
    static void lay(uchar* bits, qsizetype stride, const QRect& clip, const Entry& entry);

    // Called before an entry that find() returned may change or go (a
    // picture laid later than its call must be laid first, lay_queue.h).
    void setBeforeChange(std::function<void()> beforeChange) { beforeChange_ = std::move(beforeChange); }

    std::size_t bytes() const { return bytes_; }
    std::size_t size() const { return entries_.size(); }

private:
    struct KeyHash {
        std::size_t operator()(const DrawKey& key) const { return key.hash(); }
    };
    static std::size_t bytesOf(const Entry& entry);
    void counted(const Entry& entry, std::size_t previousBytes);
    void trim(const Entry* keep);
    QImage& scratch(QSize size);
    // What drawing a call in steps (or in one) shows: per pixel of visible
    // that one step alone covers, its coverage; and the colour the call
    // paints each pixel of visible with.
    struct Steps {
        std::vector<std::uint8_t> coverage;
        QImage colours;
    };
    Steps findOverlaps(Entry& entry, const DrawCall& call, const QRect& visible);
    // Makes the picture a coverage picture when each of its rows has one
    // colour and each pixel is that colour times its coverage.
    static void makeCompact(Entry& entry, const Steps& steps, const QRect& visible);
    // Puts the picture drawn on frame within drawn into the entry.
    static void keep(Entry& entry, const QImage& frame, const QRect& drawn, const std::vector<std::pair<int, int>>& spans);
    bool trial(const Entry& entry, const DrawCall& call, const QRect& visible);

    std::unordered_map<DrawKey, Entry, KeyHash> entries_;
    std::size_t budget_;
    std::size_t bytes_ = 0;
    std::uint64_t frame_ = 0;
    QImage scratch_; // transparent between uses
    // The entries in the order the frame before found them, and this
    // frame's: a repaint asks for them in the same order, so the next one
    // of the order before is tried first.
    std::vector<Entry*> order_;
    std::vector<Entry*> current_;
    std::size_t next_ = 0;
    std::function<void()> beforeChange_;
};

// Sets the painter's world transform to exactly t, unless it is already.
void syncTransform(QPainter& p, const QTransform& t);

} // namespace gfx
