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
// Recording costs a few nanoseconds per table and per line reached (no
// allocation per table). Hostile chunks: at most MaxTables tables are
// remembered; a table created beyond that has no line.

#include "assets/lua_sandbox.h"
#include "data/file_data.h"
#include "screen/constructor_lines.h"
#include "screen/model_values.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace screen {

class TableLines final : public assets::ChunkObserver {
public:
    static constexpr std::size_t MaxTables = 1u << 22;

    // chunk: the screen file's text, kept for the scan.
    explicit TableLines(Mod::FilePtr chunk);
    ~TableLines();

    // The mark of a table (as lua_topointer gives it) that the chunk created
    // while observed.
    std::optional<TableMark> markOf(const void* table) const;
    // The line of the `{` a mark stands for (the noted line when the scan
    // finds none). Scans the chunk on first use.
    int line(TableMark mark) const;

    void lineReached(int line) override;
    void returnedTo(int line) override;
    void tableCreated(const void* table) override;

private:
    struct Slot {
        const void* table = nullptr;
        TableMark mark;
    };
    std::size_t slotOf(const void* table) const;
    void grow();

    Mod::FilePtr chunk_;
    mutable std::unique_ptr<ConstructorLines> braces_;
    int line_ = 0;
    // Per line: the tables made since execution last reached it.
    std::vector<std::uint32_t> madeAt_;
    // Open addressing over table addresses; a power of two slots.
    std::vector<Slot> slots_;
    int shift_ = 64; // 64 - log2 of the slots: the top bits of the hash pick the slot
    std::size_t used_ = 0;
};

} // namespace screen
