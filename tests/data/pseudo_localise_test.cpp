#include "data/ansi_text.h"
#include "data/pseudo_localise.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string pseudo(const std::u16string& text) { return Mod::utf16ToUtf8(Mod::pseudoLocalise(text)); }

} // namespace

TEST(PseudoLocalise, AccentsLettersGrowsAboutFortyPercentAndBrackets)
{
    struct Case {
        std::u16string text;
        std::string expected;
    };
    const std::vector<Case> cases{
        {u"Options", "[Öpţîöñš~~~]"},
        {u"OK", "[ÖĶ~]"},
        {u"New Campaign", "[Ñéŵ Çámpáîĝñ~~~~~]"},
        // Placeholders and escapes stay, so the game still fills them in.
        {u"%1% of %PLAYER_NAME won", "[%1% öf %PLAYER_NAME ŵöñ~~~~~ ~~~~]"},
        {u"Line\\nnext", "[Ĺîñé\\nñéxţ~~~~]"},
        {u"100%", "[100%~~]"},
        // Line breaks stay where they are; letters already accented stay.
        {u"Caf\u00e9\r\nBar", "[Çáf\u00e9\r\nBáŕ~~~~]"},
        {u"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pseudo(c.text), c.expected) << Mod::utf16ToUtf8(c.text);
}

TEST(PseudoLocalise, EveryLetterBecomesOnePrecomposedCodeUnitAndLongTextGrowsByTwoFifths)
{
    std::u16string letters;
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        letters += {c, static_cast<char16_t>(c + 0x20)};
    const std::u16string result = Mod::pseudoLocalise(letters);
    ASSERT_EQ(result.substr(0, 1), u"[");
    int accented = 0;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const char16_t c = result[i + 1];
        // Latin-1 Supplement or Latin Extended-A, no combining marks.
        EXPECT_TRUE(c == letters[i] || (c >= 0x00C0 && c <= 0x017F)) << i;
        accented += c != letters[i] ? 1 : 0;
    }
    EXPECT_EQ(accented, 38) << "all but b, f, m, p, q, v and x in both cases";

    const std::u16string long_text(1000, u'e');
    EXPECT_EQ(Mod::pseudoLocalise(long_text).size(), 1000u + 400u + 2u);
}
