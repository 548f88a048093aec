#include "gfx/text_format.h"

#include "base/errors.h"

#include <cmath>

namespace gfx {

namespace {
template <typename Enum>
bool inRange(Enum value, int low, int high)
{
    const int v = static_cast<int>(value);
    return v >= low && v <= high;
}

void require(bool condition, const char* operation)
{
    if (!condition)
        throw Kestra::COMException(Kestra::Hr::InvalidArgument, operation);
}
} // namespace

TextAlignment checkedTextAlignment(TextAlignment value, const char* operation)
{
    require(inRange(value, 0, 2), operation);
    return value;
}

ParagraphAlignment checkedParagraphAlignment(ParagraphAlignment value, const char* operation)
{
    require(inRange(value, 0, 2), operation);
    return value;
}

WordWrapping checkedWordWrapping(WordWrapping value, const char* operation)
{
    require(inRange(value, 0, 1), operation);
    return value;
}

TextFormat::TextFormat(std::u16string familyName, std::shared_ptr<const FontCollection> collection,
                       FontWeight weight, FontStyle style, FontStretch stretch, float fontSize,
                       std::u16string localeName)
    : familyName_(std::move(familyName)), collection_(std::move(collection)), weight_(weight),
      style_(style), stretch_(stretch), fontSize_(fontSize), localeName_(std::move(localeName))
{
    const char* operation = "IDWriteFactory::CreateTextFormat";
    require(inRange(weight, 1, 999), operation);
    require(inRange(style, 0, 2), operation);
    require(inRange(stretch, 1, 9), operation);
    require(std::isfinite(fontSize) && fontSize > 0.0f, operation);
}

void TextFormat::setTextAlignment(TextAlignment alignment)
{
    textAlignment_ = checkedTextAlignment(alignment, "IDWriteTextFormat::SetTextAlignment");
}

void TextFormat::setParagraphAlignment(ParagraphAlignment alignment)
{
    paragraphAlignment_ =
        checkedParagraphAlignment(alignment, "IDWriteTextFormat::SetParagraphAlignment");
}

void TextFormat::setWordWrapping(WordWrapping wrapping)
{
    wordWrapping_ = checkedWordWrapping(wrapping, "IDWriteTextFormat::SetWordWrapping");
}

} // namespace gfx
