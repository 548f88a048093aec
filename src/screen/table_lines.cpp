#include "screen/table_lines.h"

#include <algorithm>

namespace screen {

TableLines::TableLines(std::string_view chunk) : braces_(chunk) {}

std::optional<int> TableLines::lineOf(const void* table) const
{
    const auto found = tables_.find(table);
    if (found == tables_.end())
        return std::nullopt;
    return found->second;
}

void TableLines::lineReached(int line)
{
    line_ = line;
    try {
        madeAt_[line] = 0;
    } catch (...) {
        // Out of memory: the lines of later tables may be off, nothing more.
    }
}

void TableLines::returnedTo(int line) { line_ = line; }

void TableLines::tableCreated(const void* table)
{
    // Within one pass over a line, its tables are created in the order of
    // their `{`; a loop that comes back to the line starts over.
    try {
        const std::span<const int> braces = braces_.bracesNotedAt(line_);
        std::size_t& made = madeAt_[line_];
        const int line = braces.empty() ? line_ : braces[std::min(made, braces.size() - 1)];
        ++made;
        // A freed table's address may serve a new one: the newer line wins.
        if (const auto held = tables_.find(table); held != tables_.end())
            held->second = line;
        else if (tables_.size() < MaxTables)
            tables_.emplace(table, line);
    } catch (...) {
        // Called by Lua's allocator, which must not throw: out of memory,
        // the table goes without a line.
    }
}

} // namespace screen
