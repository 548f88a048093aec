#include "data/localise_text.h"

#include "data/ansi_text.h"
#include "data/pseudo_localise.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace Mod {

std::optional<std::u16string_view> FindLocalisedString(const char* text, const ModContext& context)
{
    if (text[0] != '$')
        return std::nullopt;
    long long number = std::strtoll(text + 1, nullptr, 10);
    number = number > INT32_MAX ? INT32_MAX : (number < INT32_MIN ? INT32_MIN : number);
    const auto id = static_cast<std::uint32_t>(static_cast<std::int32_t>(number));
    for (const auto& table : context.stringTables) {
        if (const auto found = table->find(id))
            return found;
    }
    return std::nullopt;
}

std::u16string LocaliseText(const char* text, const ModContext& context)
{
    if (const auto found = FindLocalisedString(text, context))
        return context.pseudoLocalise ? pseudoLocalise(*found) : std::u16string(*found);
    std::u16string result = ansiToUtf16(text);
    if (text[0] == '$')
        result += u" No String!";
    return result;
}

} // namespace Mod
