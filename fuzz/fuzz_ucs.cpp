// The UCS string table reader, LocaliseText looking references up in the
// table read from the input (as written and pseudo-localised), and the
// second look that finds what the reading loses.

#include "fuzz_bytes.h"

#include "data/localise_text.h"
#include "data/mod_context.h"
#include "data/string_table_check.h"

#include <cstdint>
#include <stdexcept>

namespace {

// References as screens write them: found and missing numbers, the edges of
// the 32-bit range and beyond (saturating), signs, spaces and trailing text.
const char* const Texts[] = {
    "$0", "$1", "$2", "$7", "$10", "$30", "$100", "$1000", "$65535", "$2147483647", "$2147483648",
    "$4294967295", "$99999999999999999999", "$-1", "$+3", "$ 1", "$\t2", "$0x10", "$012", "$1abc",
    "$", "$$1", "", "plain text", "1",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Mod::ModContext context;
    const Mod::FilePtr file = Fuzz::heapFile(data, size);
    try {
        context.stringTables.push_back(std::make_unique<Mod::StringTable>(file));
    } catch (const std::runtime_error& error) {
        // Too short or an odd number of bytes: refused as promised.
        volatile std::size_t keep = Mod::unreadableStringTable(file, "fuzz.ucs", error.what()).message.size();
        (void)keep;
        return 0;
    }
    std::size_t length = context.stringTables.front()->size();
    const base::FindingList findings = Mod::checkStringTable(*file, "fuzz.ucs");
    for (const base::Finding& finding : findings.all())
        length += finding.message.size() + static_cast<std::size_t>(finding.line.value_or(0));
    for (const char* text : Texts) {
        length += Mod::LocaliseText(text, context).size();
        if (const auto found = Mod::FindLocalisedString(text, context))
            for (const char16_t c : *found)
                length += c;
    }
    context.pseudoLocalise = true;
    for (const char* text : Texts)
        length += Mod::LocaliseText(text, context).size();
    volatile std::size_t keep = length;
    (void)keep;
    return 0;
}
