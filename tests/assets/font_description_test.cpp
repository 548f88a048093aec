#include "assets/font_description.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace assets;

namespace {

Mod::FilePtr textFile(const std::string& text)
{
    void* buffer = std::malloc(text.size() + 1);
    std::memcpy(buffer, text.data(), text.size());
    return Mod::makeHeapFile(buffer, static_cast<std::uint32_t>(text.size()));
}

std::optional<FontDescription> read(const std::string& text)
{
    assets::Limits limits;
    limits.instructions = 1'000'000;
    return readFontDescription(textFile(text), limits);
}

} // namespace

TEST(FontDescriptionTest, SizeTableGivesFactorsPerWidth)
{
    const auto font = read("font = { name = 'Gill Sans Bold', sizeDefault = 16, size800 = 12, size1024 = '16' }");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->typeface, "Gill Sans Bold");
    EXPECT_FLOAT_EQ(font->sizeDefault, 16.0f);
    struct Case {
        float width, factor;
    };
    for (const Case& c : {Case{800, 0.75f}, Case{1024, 1.0f}, Case{912, 0.875f}, Case{1248, 1.25f}, Case{576, 0.5f}})
        EXPECT_FLOAT_EQ(sizeFactor(font->sizes, c.width), c.factor) << c.width;
}

TEST(FontDescriptionTest, OnlySizeKeysFollowedByANonLetterCount)
{
    const auto font = read("font = { name = 7, size = 1, sizeX = 2, sizeDefault = 10, size_5 = 20, Size640 = 3,"
                           " size1280abc = 15, ['size 32'] = 'big', [5] = 1 }");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->typeface, "7") << "a number converts to text";
    ASSERT_EQ(font->sizes.size(), 3u);
    EXPECT_FLOAT_EQ(font->sizes[0].width, 0.0f) << "size_5 reads as width 0, as atoi reads \"_5\"";
    EXPECT_FLOAT_EQ(font->sizes[0].factor, 2.0f);
    EXPECT_FLOAT_EQ(font->sizes[1].width, 32.0f);
    EXPECT_FLOAT_EQ(font->sizes[1].factor, 0.0f) << "a value that is no number counts as 0";
    EXPECT_FLOAT_EQ(font->sizes[2].width, 1280.0f);
    EXPECT_FLOAT_EQ(font->sizes[2].factor, 1.5f);
}

TEST(FontDescriptionTest, DefaultsAndFailures)
{
    const auto noName = read("font = { size640 = 12 }");
    ASSERT_TRUE(noName);
    EXPECT_FALSE(noName->typeface);
    EXPECT_FLOAT_EQ(noName->sizeDefault, 12.0f) << "sizeDefault absent means 12";
    EXPECT_FLOAT_EQ(sizeFactor(noName->sizes, 2000), 1.0f) << "one entry: its factor at any width";

    for (const std::string failing : {"font = 'Arial'", "fnt = {}", "font = {", "font = { sizeDefault = 'big' }",
                                      "font = { sizeDefault = {} }", "font = { sizeDefault = 0, size800 = 1 }",
                                      "font = { sizeDefault = -4 }", "while true do end", "next = 1 font = next({})"})
        EXPECT_FALSE(read(failing)) << failing;
    EXPECT_FALSE(readFontDescription(nullptr));
}

TEST(FontDescriptionTest, FactorsAreAlwaysFinite)
{
    const auto font = read("font = { sizeDefault = 10, size800 = 10, ['size800 '] = 20, size0800 = 30, size1024 = 20 }");
    ASSERT_TRUE(font);
    ASSERT_EQ(font->sizes.size(), 2u) << "one entry per width";
    for (float width : {0.0f, 800.0f, 900.0f, 1024.0f, 5000.0f})
        EXPECT_TRUE(std::isfinite(sizeFactor(font->sizes, width))) << width;
    EXPECT_TRUE(std::isfinite(sizeFactor({{800, 1}}, 800)));
    EXPECT_FLOAT_EQ(sizeFactor({}, 640), 1.0f);
}
