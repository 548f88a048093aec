#pragma once
// The line of the screen file on which each table of the screen's chunk was
// created: the line of its `{`, whether the chunk wrote it out, built it in
// a loop or returned it from a function. While the chunk runs, the view
// observes its state (assets::observeChunk): the lines it reaches and the
// tables it creates; the `{` of each table is found among those that Lua
// notes at that line (constructor_lines.h).
//
// Hostile chunks: at most MaxTables tables are remembered; a table created
// beyond that has no line.

#include "assets/lua_sandbox.h"
#include "screen/constructor_lines.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace screen {

class TableLines final : public assets::ChunkObserver {
public:
    static constexpr std::size_t MaxTables = 1'000'000;

    explicit TableLines(std::string_view chunk);

    // The line the table (as lua_topointer gives it) was created on, if the
    // chunk created it while observed.
    std::optional<int> lineOf(const void* table) const;

    void lineReached(int line) override;
    void returnedTo(int line) override;
    void tableCreated(const void* table) override;

private:
    ConstructorLines braces_;
    int line_ = 0;
    // How many tables were created at a line since execution reached it.
    std::unordered_map<int, std::size_t> madeAt_;
    std::unordered_map<const void*, int> tables_;
};

} // namespace screen
