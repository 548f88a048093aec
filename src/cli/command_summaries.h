#pragma once
// What tise-cli and each of its commands do, in words: the tool's --help and
// its man page print them, each command's sentence under its usage line. A
// command without a sentence here is still listed, with its usage alone.

#include <string_view>

namespace cli {

// The sentence for the command of that name ("sga list"), or "" when none.
std::string_view commandSummary(std::string_view name);

// What the tool does and what its arguments mean, one paragraph.
std::string_view toolDescription();

} // namespace cli
