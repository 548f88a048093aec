// The data states: the input run as the colour table and as a style sheet,
// each in its own sandboxed state under small limits, then looked up as
// screens look them up.

#include "fuzz_bytes.h"

#include "assets/colour_table.h"
#include "assets/style_sheets.h"

#include <cstdint>
#include <lua.hpp>

namespace {

assets::Limits limits()
{
    assets::Limits small;
    // Real colour tables and style sheets need kilobytes and a few thousand
    // instructions.
    small.memoryBytes = 4u << 20;
    small.instructions = 200'000;
    return small;
}

const char* const ColourKeys[] = {"white", "black", "gold", "steel_dark", "text_disabled", "", "1", "key"};
const char* const StyleNames[] = {"Panel", "Label", "Button", "CheckBox", "MenuTitle", "", "1", "name"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::InputSource files;
    files.set(data, size);
    float sum = 0;
    const assets::ColourTable colours(files, limits());
    for (const char* key : ColourKeys) {
        const gfx::Color c = colours.lookup(key);
        sum += c.r + c.g + c.b + c.a;
    }

    auto source = std::make_shared<Fuzz::InputSource>();
    source->set(data, size);
    assets::StyleSheets sheets(source, limits());
    int found = 0;
    for (const char* sheet : {"Common", "common"}) { // one sheet, read once
        for (const char* style : StyleNames) {
            if (lua_State* state = sheets.find(sheet, style)) {
                // The style table is on top: walk it as a widget's fallback
                // does, by raw reads of its keys.
                lua_pushnil(state);
                while (lua_next(state, -2)) {
                    found += lua_type(state, -1);
                    lua_pop(state, 1);
                }
                lua_pop(state, 1);
            }
        }
    }
    volatile float keep = sum + static_cast<float>(found);
    (void)keep;
    return 0;
}
