#include "screen/table_lines.h"

#include <algorithm>
#include <cstring>

namespace screen {

TableLines::TableLines(Mod::FilePtr chunk) : chunk_(std::move(chunk))
{
    // Room for about as many tables as the text has braces.
    std::size_t braces = 0;
    if (Mod::hasData(chunk_)) {
        const char* end = chunk_->data + chunk_->length;
        for (const char* at = chunk_->data;
             (at = static_cast<const char*>(std::memchr(at, '{', static_cast<std::size_t>(end - at))));)
            ++braces, ++at;
    }
    made_.reserve(std::min(braces, MaxTables));
}

TableLines::~TableLines() = default;

std::optional<TableMark> TableLines::markOf(const void* table) const
{
    if (!sorted_) {
        // A freed table's address may serve a new one: stable, so the newer stays after the older.
        std::stable_sort(made_.begin(), made_.end(), [](const Made& a, const Made& b) {
            return std::less<const void*>()(a.table, b.table);
        });
        sorted_ = true;
    }
    const auto after = std::upper_bound(made_.begin(), made_.end(), table, [](const void* t, const Made& m) {
        return std::less<const void*>()(t, m.table);
    });
    if (after == made_.begin() || (after - 1)->table != table)
        return std::nullopt;
    return (after - 1)->mark;
}

std::optional<int> TableLines::line(const void* table) const
{
    const std::optional<TableMark> mark = markOf(table);
    if (!mark)
        return std::nullopt;
    return line(*mark);
}

int TableLines::line(TableMark mark) const
{
    if (!braces_)
        braces_ = std::make_unique<ConstructorLines>(Mod::hasData(chunk_) ? chunk_->view() : std::string_view());
    const std::span<const int> braces = braces_->bracesNotedAt(mark.notedAt);
    if (braces.empty())
        return mark.notedAt;
    return braces[std::min<std::size_t>(mark.nth, braces.size() - 1)];
}

void TableLines::lineReached(int line)
{
    line_ = line;
    if (line >= 0 && static_cast<std::size_t>(line) < madeAt_.size())
        madeAt_[static_cast<std::size_t>(line)] = 0;
}

void TableLines::returnedTo(int line) { line_ = line; }

void TableLines::tableCreated(const void* table)
{
    // Called by Lua's allocator, which must not throw: out of memory, the
    // table goes without a line.
    try {
        if (line_ < 0 || made_.size() >= MaxTables)
            return;
        const auto at = static_cast<std::size_t>(line_);
        if (at >= madeAt_.size())
            madeAt_.resize(std::max<std::size_t>(at + 1, madeAt_.size() * 2), 0);
        // Within one pass over a line, its tables are created in the order
        // of their `{`; a loop that comes back to the line starts over.
        made_.push_back({table, TableMark{line_, madeAt_[at]++}});
    } catch (...) {
    }
}

} // namespace screen
