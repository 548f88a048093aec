#pragma once
// Findings as bytes, for handing them from one process to another: every
// field kept exactly (game text is any bytes). Reading what was not written
// by findingBytes throws std::runtime_error.

#include "base/finding.h"

#include <string>
#include <string_view>

namespace cli {

std::string findingBytes(const base::FindingList& findings);
base::FindingList findingsFromBytes(std::string_view bytes);

} // namespace cli
