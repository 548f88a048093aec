#include "data/localise_text.h"

#include "data/ansi_text.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace Mod {

std::u16string LocaliseText(const char* text, const ModContext& context)
{
    const bool reference = text[0] == '$';
    if (reference) {
        // The number reads as strtol reads it with the game's 32-bit long:
        // out-of-range values saturate.
        long long number = std::strtoll(text + 1, nullptr, 10);
        number = number > INT32_MAX ? INT32_MAX : (number < INT32_MIN ? INT32_MIN : number);
        const auto id = static_cast<std::uint32_t>(static_cast<std::int32_t>(number));
        for (const auto& table : context.stringTables) {
            if (const auto found = table->find(id))
                return std::u16string(*found);
        }
    }
    std::u16string result = ansiToUtf16(text);
    if (reference)
        result += u" No String!";
    return result;
}

} // namespace Mod
