#include "gfx/text_layout.h"

#include "base/errors.h"
#include "gfx/qt_bridge.h"
#include "gfx/resource_count.h"

#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <QGlyphRun>

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <cmath>
#include <vector>

namespace gfx {

namespace {

// Fonts are resolved against a device of exactly 96 DPI, so that a font size
// in DIPs is that many logical pixels on every target.
const QPaintDevice& referenceDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780); // 96.012 DPI, which Qt rounds to 96
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return device;
}

// Line feeds (LF, CR LF or CR) become line separators: Qt breaks lines at
// those, not at line feeds.
QString prepareText(std::u16string_view text)
{
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            result.append(QChar::LineSeparator);
        } else if (c == u'\n') {
            result.append(QChar::LineSeparator);
        } else {
            result.append(QChar(c));
        }
    }
    return result;
}

bool isBreakOrSeparator(QChar c)
{
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

void checkMaximum(float value, const char* operation)
{
    if (std::isnan(value) || value < 0.0f)
        throw Kestra::COMException(Kestra::Hr::InvalidArgument, operation);
}

struct LineInfo {
    float y;
    float width;              // without trailing whitespace
    float widthWithTrailing;  // without the line separator
    float height;
    QRectF ink;               // the glyphs' outlines, as laid out (before alignment)
};

std::uint64_t nextSerial()
{
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

} // namespace

struct TextLayout::Impl {
    std::u16string text;
    QString qtText;
    QFont font;
    float fontSize; // DIPs
    float maxWidth;
    float maxHeight;
    TextAlignment textAlignment;
    ParagraphAlignment paragraphAlignment;
    WordWrapping wordWrapping;
    std::uint64_t serial = nextSerial();
    float inkMargin = 0.0f; // a quarter of the font's size, and one more

    // The ink bounds of the last inkBounds(), for the maxima and alignments
    // it was found with.
    mutable std::optional<Rect> ink;
    mutable std::array<float, 4> inkFor{};

    // Line breaking depends on the text, the font, wrapping and (when
    // wrapping) the maximum width; alignment is applied when measuring or
    // drawing.
    mutable QTextLayout layout;
    mutable std::vector<LineInfo> lines;
    mutable float textHeight = 0.0f;
    mutable bool dirty = true;

    void ensureLayout() const;
    float lineOffset(const LineInfo& line) const;
    float blockOffset() const;
    // Calls draw(line, at) for each laid-out line that lies within reach,
    // at its position for a layout drawn at origin.
    template <class Draw>
    void forEachLine(Point origin, Draw&& draw) const
    {
        ensureLayout();
        const float top = origin.y + blockOffset();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const float x = origin.x + lineOffset(lines[i]);
            if (std::fabs(x) < FarAway && std::fabs(top + lines[i].y) < FarAway)
                draw(layout.lineAt(static_cast<int>(i)), QPointF(x, top));
        }
    }
};

void TextLayout::Impl::ensureLayout() const
{
    if (!dirty)
        return;
    const bool wrap = wordWrapping == WordWrapping::Wrap;
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    option.setUseDesignMetrics(true);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setTextDirection(Qt::LeftToRight);
    // Tab stops every four times the font size, so they grow with the text.
    option.setTabStopDistance(4.0 * fontSize);

    layout.clearLayout();
    layout.setText(qtText);
    layout.setFont(QFont(font, &referenceDevice()));
    layout.setTextOption(option);
    lines.clear();
    textHeight = 0.0f;

    const qreal lineWidth = wrap ? std::min<qreal>(maxWidth, FarAway) : FarAway;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0.0, textHeight));

        const int start = line.textStart();
        int end = start + line.textLength();
        while (end > start && isBreakOrSeparator(qtText.at(end - 1)))
            --end;
        int visibleEnd = end;
        while (visibleEnd > start && qtText.at(visibleEnd - 1).isSpace())
            --visibleEnd;
        const qreal left = line.cursorToX(start);
        const float widthWithTrailing = end > start ? static_cast<float>(line.cursorToX(end) - left) : 0.0f;
        const float width = visibleEnd > start ? static_cast<float>(line.cursorToX(visibleEnd) - left) : 0.0f;
        const float height =
            static_cast<float>(line.ascent() + line.descent() + std::max<qreal>(0.0, line.leading()));
        QRectF ink;
        for (const QGlyphRun& run : line.glyphRuns())
            ink |= run.boundingRect();
        lines.push_back({textHeight, width, widthWithTrailing, height, ink});
        textHeight += height;
    }
    layout.endLayout();
    dirty = false;
}

float TextLayout::Impl::lineOffset(const LineInfo& line) const
{
    if (!std::isfinite(maxWidth))
        return 0.0f;
    switch (textAlignment) {
    case TextAlignment::Trailing: return maxWidth - line.width;
    case TextAlignment::Center: return (maxWidth - line.width) / 2.0f;
    case TextAlignment::Leading: break;
    }
    return 0.0f;
}

float TextLayout::Impl::blockOffset() const
{
    if (!std::isfinite(maxHeight))
        return 0.0f;
    switch (paragraphAlignment) {
    case ParagraphAlignment::Far: return maxHeight - textHeight;
    case ParagraphAlignment::Center: return (maxHeight - textHeight) / 2.0f;
    case ParagraphAlignment::Near: break;
    }
    return 0.0f;
}

TextLayout::TextLayout(const GraphicsContext&, std::u16string text, const TextFormat& format,
                       float maxWidth, float maxHeight)
{
    checkMaximum(maxWidth, "IDWriteFactory::CreateTextLayout");
    checkMaximum(maxHeight, "IDWriteFactory::CreateTextLayout");
    impl_ = std::make_unique<Impl>();
    countResource(Resource::TextLayout);
    impl_->qtText = prepareText(text);
    impl_->text = std::move(text);
    impl_->font = toQFont(format);
    impl_->fontSize = format.fontSize();
    impl_->inkMargin = static_cast<float>(impl_->font.pointSizeF() * (96.0 / 72.0) / 4.0 + 1.0);
    impl_->maxWidth = maxWidth;
    impl_->maxHeight = maxHeight;
    impl_->textAlignment = format.textAlignment();
    impl_->paragraphAlignment = format.paragraphAlignment();
    impl_->wordWrapping = format.wordWrapping();
}

TextLayout::~TextLayout() = default;

const std::u16string& TextLayout::text() const { return impl_->text; }
float TextLayout::maxWidth() const { return impl_->maxWidth; }
float TextLayout::maxHeight() const { return impl_->maxHeight; }
TextAlignment TextLayout::textAlignment() const { return impl_->textAlignment; }
ParagraphAlignment TextLayout::paragraphAlignment() const { return impl_->paragraphAlignment; }
WordWrapping TextLayout::wordWrapping() const { return impl_->wordWrapping; }

void TextLayout::setMaxWidth(float maxWidth)
{
    checkMaximum(maxWidth, "IDWriteTextLayout::SetMaxWidth");
    if (maxWidth == impl_->maxWidth)
        return;
    impl_->maxWidth = maxWidth;
    if (impl_->wordWrapping == WordWrapping::Wrap)
        impl_->dirty = true;
}

void TextLayout::setMaxHeight(float maxHeight)
{
    checkMaximum(maxHeight, "IDWriteTextLayout::SetMaxHeight");
    impl_->maxHeight = maxHeight;
}

void TextLayout::setTextAlignment(TextAlignment alignment)
{
    impl_->textAlignment = checkedTextAlignment(alignment, "IDWriteTextFormat::SetTextAlignment");
}

void TextLayout::setParagraphAlignment(ParagraphAlignment alignment)
{
    impl_->paragraphAlignment =
        checkedParagraphAlignment(alignment, "IDWriteTextFormat::SetParagraphAlignment");
}

void TextLayout::setWordWrapping(WordWrapping wrapping)
{
    wrapping = checkedWordWrapping(wrapping, "IDWriteTextFormat::SetWordWrapping");
    if (wrapping != impl_->wordWrapping)
        impl_->dirty = true;
    impl_->wordWrapping = wrapping;
}

TextMetrics TextLayout::metrics() const
{
    impl_->ensureLayout();
    TextMetrics m;
    m.layoutWidth = impl_->maxWidth;
    m.layoutHeight = impl_->maxHeight;
    m.lineCount = static_cast<std::uint32_t>(impl_->lines.size());
    m.height = impl_->textHeight;
    m.top = impl_->blockOffset();
    bool first = true;
    for (const LineInfo& line : impl_->lines) {
        const float offset = impl_->lineOffset(line);
        m.left = first ? offset : std::min(m.left, offset);
        m.width = std::max(m.width, line.width);
        m.widthIncludingTrailingWhitespace = std::max(m.widthIncludingTrailingWhitespace, line.widthWithTrailing);
        first = false;
    }
    return m;
}

Rect TextLayout::inkBounds() const
{
    const bool wasDirty = impl_->dirty;
    impl_->ensureLayout();
    const std::array<float, 4> state{impl_->maxWidth, impl_->maxHeight, float(impl_->textAlignment),
                                     float(impl_->paragraphAlignment)};
    if (impl_->ink && !wasDirty && impl_->inkFor == state)
        return *impl_->ink;
    impl_->inkFor = state;
    QRectF ink;
    const float top = impl_->blockOffset();
    for (const LineInfo& line : impl_->lines)
        if (!line.ink.isEmpty())
            ink |= line.ink.translated(impl_->lineOffset(line), top);
    if (ink.isEmpty()) {
        impl_->ink = Rect{};
        return *impl_->ink;
    }
    const qreal margin = impl_->inkMargin;
    ink.adjust(-margin, -margin, margin, margin);
    impl_->ink = Rect{static_cast<float>(ink.left()), static_cast<float>(ink.top()), static_cast<float>(ink.right()),
                      static_cast<float>(ink.bottom())};
    return *impl_->ink;
}

std::uint64_t TextLayout::serial() const { return impl_->serial; }

void TextLayout::draw(QPainter& painter, Point origin) const
{
    impl_->forEachLine(origin, [&](const QTextLine& line, QPointF at) { line.draw(&painter, at); });
}

void TextLayout::drawGlyphByGlyph(QPainter& painter, Point origin, const std::function<void()>& drawn) const
{
    impl_->forEachLine(origin, [&](const QTextLine& line, QPointF at) {
        for (const QGlyphRun& run : line.glyphRuns()) {
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype g = 0; g < glyphs.size() && g < positions.size(); ++g) {
                QGlyphRun one = run;
                one.setGlyphIndexes({glyphs[g]});
                one.setPositions({positions[g]});
                painter.drawGlyphRun(at, one);
                drawn();
            }
        }
    });
}

} // namespace gfx
