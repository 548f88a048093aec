#pragma once
// What the game's reading of a UCS string table silently loses or gets
// wrong, said as findings (base/finding.h) located in the table's text: a
// file that is not UTF-16 text, a missing byte order mark, lines whose id
// is not all digits or that have no TAB, line ends other than CR LF, the
// last line without its CR LF, an id given twice. The table itself is read
// as before (string_table.h); this is a second look at the same bytes.
//
// Lines are the table's text lines, 1-based, counted at each LF.

#include "base/finding.h"
#include "data/file_data.h"

#include <string>

namespace Mod {

// The findings about a table that loaded, each located in path (its disk
// file, as the mount reached it).
base::FindingList checkStringTable(const FileData& file, const std::string& path);

// The finding for a table that did not load (file may be none): its
// message, the table's own, and a hint when the bytes look like 8-bit text.
base::Finding unreadableStringTable(const FilePtr& file, const std::string& path, const std::string& message);

} // namespace Mod
