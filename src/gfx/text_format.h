#pragma once
// A text format: the font (family, optional custom collection, weight, style,
// stretch, size in DIPs, locale) and the paragraph settings (alignments, word
// wrapping) with which text layouts are made. Layouts copy what they need
// when they are made, so later changes to a format do not reach them.
// Formats are shared by pointer; copy one to change it privately.

#include "gfx/font_properties.h"

#include <memory>
#include <string>

namespace gfx {

class FontCollection;

// Horizontal placement of each line within the layout's maximum width.
enum class TextAlignment : int { Leading = 0, Trailing = 1, Center = 2 };
// Vertical placement of the text within the layout's maximum height.
enum class ParagraphAlignment : int { Near = 0, Far = 1, Center = 2 };
enum class WordWrapping : int { Wrap = 0, NoWrap = 1 };

class TextFormat {
public:
    // Throws Kestra::COMException (E_INVALIDARG, "IDWriteFactory::CreateTextFormat")
    // for a weight outside 1-999, a style or stretch outside
    // its range, or a size that is not a positive finite number.
    TextFormat(std::u16string familyName, std::shared_ptr<const FontCollection> collection,
               FontWeight weight, FontStyle style, FontStretch stretch, float fontSize,
               std::u16string localeName);

    const std::u16string& familyName() const { return familyName_; }
    // Null for the system's fonts.
    const std::shared_ptr<const FontCollection>& fontCollection() const { return collection_; }
    FontWeight fontWeight() const { return weight_; }
    FontStyle fontStyle() const { return style_; }
    FontStretch fontStretch() const { return stretch_; }
    float fontSize() const { return fontSize_; }
    const std::u16string& localeName() const { return localeName_; }

    TextAlignment textAlignment() const { return textAlignment_; }
    ParagraphAlignment paragraphAlignment() const { return paragraphAlignment_; }
    WordWrapping wordWrapping() const { return wordWrapping_; }

    // Each throws Kestra::COMException (E_INVALIDARG) named
    // "IDWriteTextFormat::SetTextAlignment", "...SetParagraphAlignment" or
    // "...SetWordWrapping" for a value outside the enumeration (as from a
    // number in game data).
    void setTextAlignment(TextAlignment alignment);
    void setParagraphAlignment(ParagraphAlignment alignment);
    void setWordWrapping(WordWrapping wrapping);

private:
    std::u16string familyName_;
    std::shared_ptr<const FontCollection> collection_;
    FontWeight weight_;
    FontStyle style_;
    FontStretch stretch_;
    float fontSize_;
    std::u16string localeName_;
    TextAlignment textAlignment_ = TextAlignment::Leading;
    ParagraphAlignment paragraphAlignment_ = ParagraphAlignment::Near;
    WordWrapping wordWrapping_ = WordWrapping::Wrap;
};

using TextFormatPtr = std::shared_ptr<TextFormat>;

// The range checks shared by formats and layouts; each throws
// Kestra::COMException (E_INVALIDARG) with the given operation name.
TextAlignment checkedTextAlignment(TextAlignment value, const char* operation);
ParagraphAlignment checkedParagraphAlignment(ParagraphAlignment value, const char* operation);
WordWrapping checkedWordWrapping(WordWrapping value, const char* operation);

} // namespace gfx
