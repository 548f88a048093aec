#include "cli/game_text.h"

#include "data/ansi_text.h"

namespace cli {

std::string displayText(std::string_view game) { return Mod::utf16ToUtf8(Mod::ansiToUtf16(game)); }

std::string oneLine(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

std::string displayField(std::string_view game) { return oneLine(displayText(game)); }

} // namespace cli
