#pragma once
// Where the table constructors of a Lua 5.2 chunk are, as the compiler
// records them and as a reader sees them. Lua notes each instruction at the
// line of the token before it: the instruction that creates the table of a
// `{` on its own line is noted at the line of the `,` or `{` above it. This
// scan of the chunk's tokens gives, for each such noted line, the lines of
// the `{` whose tables are noted there, in the order they appear, so that
// the table a chunk creates while on a line can be traced to its `{`.
//
// The scan follows Lua's lexical rules (comments, short and long strings
// and their escapes, CR, LF, CR LF and LF CR as one line end); text that Lua
// would refuse is scanned as far as it goes and never read out of bounds.

#include <span>
#include <string_view>
#include <vector>

namespace screen {

class ConstructorLines {
public:
    explicit ConstructorLines(std::string_view chunk);

    // The lines of the `{` whose tables Lua notes at line, in source order;
    // empty when none.
    std::span<const int> bracesNotedAt(int line) const;

private:
    // Parallel, sorted by the noted line, then in source order.
    std::vector<int> notedAt_; // the line Lua gives the table's creation
    std::vector<int> lines_;   // the line of the `{`
};

} // namespace screen
