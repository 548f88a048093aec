#pragma once
// What each command of tise-cli does, in one sentence: the tool's --help and
// its man page print it under the command's usage line. A command without a
// sentence here is still listed, with its usage alone.

#include <string_view>

namespace cli {

// The sentence for the command of that name ("sga list"), or "" when none.
std::string_view commandSummary(std::string_view name);

} // namespace cli
