#pragma once
// What checking a screen found, as bytes, for handing it from one process
// to another: the findings with every field kept exactly (game text is any
// bytes) and the diagnostics written meanwhile. Reading what was not written
// by findingBytes throws std::runtime_error.

#include "base/finding.h"

#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct Found {
    base::FindingList findings;
    std::vector<std::string> diagnostics;
};

std::string findingBytes(const Found& found);
Found findingsFromBytes(std::string_view bytes);

} // namespace cli
