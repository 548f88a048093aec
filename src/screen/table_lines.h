#pragma once
// The line of the screen file on which each table of the screen's chunk was
// created: the line of its `{`, whether the chunk wrote it out, built it in
// a loop or returned it from a function. While the chunk runs, the view
// observes its state (assets::observeChunk): the lines it reaches and the
// tables it creates. Each table is marked with the line Lua notes for its
// creation and how many tables that pass over the line had made before it;
// the `{` it stands for is found among those Lua notes at that line
// (constructor_lines.h) only when a line is asked for, so a screen whose
// lines nobody asks for never has its text scanned.
//
// Recording costs a few nanoseconds per table and per line reached: tables
// are noted one after the other as they are made (no allocation, no random
// access per table) and sorted by address once, when the first is looked
// up. Widgets keep their table (which they hold alive, so its address is
// theirs) and ask for its line when someone needs it: building a screen
// looks nothing up. Hostile chunks: at most MaxTables tables are remembered;
// a table created beyond that has no line.

#include "assets/lua_sandbox.h"
#include "data/file_data.h"
#include "screen/constructor_lines.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace screen {

// Where a table was created, as the chunk ran: the line Lua notes for its
// creation and how many tables that pass over the line had made before it.
struct TableMark {
    int notedAt = 0;
    std::uint32_t nth = 0;
};

class TableLines final : public assets::ChunkObserver {
public:
    static constexpr std::size_t MaxTables = 1u << 20;

    // chunk: the screen file's text, kept for the scan.
    explicit TableLines(Mod::FilePtr chunk);
    ~TableLines();

    // The mark of a table (as lua_topointer gives it) that the chunk created
    // while observed. Only once the observation is over.
    std::optional<TableMark> markOf(const void* table) const;
    // The line of the `{` a mark stands for (the noted line when the scan
    // finds none). Scans the chunk on first use.
    int line(TableMark mark) const;
    // The line of a table the chunk created while observed; nothing for
    // another.
    std::optional<int> line(const void* table) const;

    void lineReached(int line) override;
    void returnedTo(int line) override;
    void tableCreated(const void* table) override;

private:
    struct Made {
        const void* table;
        TableMark mark;
    };

    Mod::FilePtr chunk_;
    mutable std::unique_ptr<ConstructorLines> braces_;
    int line_ = 0;
    // Per line: the tables made since execution last reached it.
    std::vector<std::uint32_t> madeAt_;
    // In the order made; sorted by address (the later of a reused address
    // last) when first looked in.
    mutable std::vector<Made> made_;
    mutable bool sorted_ = false;
};

} // namespace screen
