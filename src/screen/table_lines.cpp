#include "screen/table_lines.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace screen {

namespace {
constexpr std::size_t FirstSlots = 1u << 12;
} // namespace

TableLines::TableLines(Mod::FilePtr chunk) : chunk_(std::move(chunk))
{
    // Room for about as many tables as the text has braces, so that the
    // slots are seldom made again while the chunk runs.
    std::size_t braces = 0;
    if (Mod::hasData(chunk_)) {
        const char* end = chunk_->data + chunk_->length;
        for (const char* at = chunk_->data;
             (at = static_cast<const char*>(std::memchr(at, '{', static_cast<std::size_t>(end - at))));)
            ++braces, ++at;
    }
    slots_.resize(std::bit_ceil(std::max(FirstSlots, std::min(braces, MaxTables) * 2)));
    shift_ = 64 - std::countr_zero(slots_.size());
}

TableLines::~TableLines() = default;

std::size_t TableLines::slotOf(const void* table) const
{
    // Fibonacci hashing of the address (its low bits are alignment).
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(table));
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>(address * 0x9E3779B97F4A7C15ull >> shift_);
    while (slots_[slot].table && slots_[slot].table != table)
        slot = (slot + 1) & mask;
    return slot;
}

void TableLines::grow()
{
    const std::size_t size = std::max(FirstSlots, slots_.size() * 2);
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(size));
    shift_ = 64 - std::countr_zero(size);
    for (const Slot& s : old)
        if (s.table)
            slots_[slotOf(s.table)] = s;
}

std::optional<TableMark> TableLines::markOf(const void* table) const
{
    if (slots_.empty() || !table)
        return std::nullopt;
    const Slot& slot = slots_[slotOf(table)];
    if (!slot.table)
        return std::nullopt;
    return slot.mark;
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
        if (line_ < 0)
            return;
        const auto at = static_cast<std::size_t>(line_);
        if (at >= madeAt_.size())
            madeAt_.resize(std::max<std::size_t>(at + 1, madeAt_.size() * 2), 0);
        // Within one pass over a line, its tables are created in the order
        // of their `{`; a loop that comes back to the line starts over.
        const TableMark mark{line_, madeAt_[at]++};
        if ((used_ + 1) * 2 > slots_.size() && used_ < MaxTables)
            grow();
        Slot& slot = slots_[slotOf(table)];
        // A freed table's address may serve a new one: the newer mark wins.
        if (slot.table == nullptr) {
            if (used_ >= MaxTables)
                return;
            ++used_;
        }
        slot = {table, mark};
    } catch (...) {
    }
}

} // namespace screen
